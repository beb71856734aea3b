// The level tree of a grid: the root level the grid owns, the top levels
// below it (one shown at a time, as tabs) and detail levels below those,
// each naming the view that shows its data, its detail frame and tabs, and
// whether it is shown.
#pragma once

#include "Components.h"
#include "cxCustomData.h"
#include "cxStyles.h"

#include <functional>
#include <string>
#include <vector>

class TcxCustomGrid;
class TcxCustomGridView;
class TcxGridLevel;

enum TcxGridDetailTabsPosition { dtpNone, dtpLeft, dtpTop };

class TcxGridLevelOptions : public TPersistent {
    QZ_CLASS(TcxGridLevelOptions, TPersistent)
public:
    explicit TcxGridLevelOptions(TcxGridLevel* ALevel) : FLevel(ALevel) {}
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    TColor DetailFrameColor() const { return FDetailFrameColor; }
    void SetDetailFrameColor(TColor AValue);
    // clDefault resolves to the grid painter's frame colour.
    TColor GetDetailFrameColor() const;
    int DetailFrameWidth() const { return FDetailFrameWidth; }
    void SetDetailFrameWidth(int AValue);
    bool IsDetailFrameWidthStored() const;
    TcxGridDetailTabsPosition DetailTabsPosition() const { return FDetailTabsPosition; }
    void SetDetailTabsPosition(TcxGridDetailTabsPosition AValue);
    bool IsDetailTabsPositionStored() const { return FDetailTabsPosition != dtpNone; }

private:
    TcxGridLevel* FLevel;
    TColor FDetailFrameColor = clDefault;
    int FDetailFrameWidth = 1;
    TcxGridDetailTabsPosition FDetailTabsPosition = dtpNone;
};

using TcxGridLevelGetTabStyleEvent =
    std::function<void(TcxGridLevel* Sender, TcxGridLevel* ATabLevel, TcxStyle*& AStyle)>;

class TcxGridLevelStyles : public TcxStyles {
    QZ_CLASS(TcxGridLevelStyles, TcxStyles)
public:
    static constexpr int lsTab = 0;
    static constexpr int lsTabsBackground = 1;
    explicit TcxGridLevelStyles(TPersistent* AOwner = nullptr) : TcxStyles(AOwner) {}
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    // The parameters of ATabLevel's tab: the handler's style, the Tab style, the defaults.
    void GetTabParams(TcxGridLevel* ATabLevel, TcxStyleParams& AParams);
    TcxGridLevel* Level() const;
    TcxStyle* Tab() const { return DynamicCast<TcxStyle>(GetValue(lsTab)); }
    void SetTab(TcxStyle* AValue) { SetValue(lsTab, AValue); }
    TcxStyle* TabsBackground() const { return DynamicCast<TcxStyle>(GetValue(lsTabsBackground)); }
    void SetTabsBackground(TcxStyle* AValue) { SetValue(lsTabsBackground, AValue); }
    TcxGridLevelGetTabStyleEvent OnGetTabStyle;

protected:
    void Changed(int Index) override;
};

class TcxCustomGridRecord;
using TcxGridLevelGetGridViewEvent =
    std::function<void(TcxGridLevel* Sender, TObject* AMasterRecord, TcxCustomGridView*& AGridView)>;

class TcxGridLevel : public TComponent {
    QZ_CLASS(TcxGridLevel, TComponent)
public:
    explicit TcxGridLevel(TComponent* AOwner = nullptr);
    ~TcxGridLevel() override;
    void BeforeDestruction() override;

    TcxGridLevel* Add();
    int Count() const { return int(FItems.size()); }
    TcxGridLevel* Items(int AIndex) const { return FItems[size_t(AIndex)]; }
    int VisibleCount() const { return int(FVisibleItems.size()); }
    TcxGridLevel* VisibleItems(int AIndex) const { return FVisibleItems[size_t(AIndex)]; }
    int Index() const;
    int VisibleIndex() const;
    TcxGridLevel* Parent() const { return FParent; }
    TcxCustomGrid* Control() const { return FControl; }
    bool IsRoot() const;
    bool IsTop() const;
    bool IsMaster() const { return VisibleCount() > 0; }
    bool IsActive() const;
    bool ActuallyVisible() const;
    bool VisibleWithParents() const;
    void SetActive(bool AValue);
    TcxGridLevel* GetFirstVisibleChild() const;
    virtual TcxCustomGridView* CreateLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex);
    virtual void Changed(bool ASize);
    virtual void CheckHeight(int& AHeight);
    virtual void VisibleItemsChanged(TcxGridLevel* AChild);
    TcxCustomDataRelation* DataRelation() const { return FDataRelation; }

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& AValue);
    TcxCustomGridView* GridView() const { return FGridView; }
    void SetGridView(TcxCustomGridView* AValue);
    int MaxDetailHeight() const { return FMaxDetailHeight; }
    void SetMaxDetailHeight(int AValue);
    TcxGridLevelOptions* Options() const { return FOptions.get(); }
    void SetOptions(TcxGridLevelOptions* AValue) { FOptions->Assign(AValue); }
    TcxGridLevelStyles* Styles() const { return FStyles.get(); }
    void SetStyles(TcxGridLevelStyles* AValue) { FStyles->Assign(AValue); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool AValue);

    // Streaming: a top level's parent is the grid, a detail's its level.
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(TComponent* AValue) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetName(const std::string& AValue) override;

    TNotifyEvent StylesEvents;
    TcxGridLevelGetGridViewEvent OnGetGridView;

    // Used by the grid for its root level.
    void SetControl(TcxCustomGrid* AControl);

protected:
    void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
    void AddChild(TcxGridLevel* AChild);
    void RemoveChild(TcxGridLevel* AChild);
    void RefreshVisibleItems();
    void SetMasterRelation();
    void ClearMasterRelation(TcxCustomGridView* AView);
    void AddDataRelation(TcxGridLevel* AChild);
    void RemoveDataRelation();
    void TreeChanged();

    std::string FCaption;
    TcxCustomGrid* FControl = nullptr;
    TcxCustomDataRelation* FDataRelation = nullptr;
    TcxCustomGridView* FGridView = nullptr;
    std::vector<TcxGridLevel*> FItems;
    std::vector<TcxGridLevel*> FVisibleItems;
    int FMaxDetailHeight = 0;
    std::unique_ptr<TcxGridLevelOptions> FOptions;
    TcxGridLevel* FParent = nullptr;
    std::unique_ptr<TcxGridLevelStyles> FStyles;
    bool FVisible = true;
    bool FTornDown = false;
};
