// The framed rectangle in which a level's active view shows, with a tab for
// every visible child level on its left or top side: sizing, layout, hit
// testing and painting of the frame, the tabs and the background.
#pragma once

#include "cxGridCustomView.h"
#include "cxGridLevel.h"

#include <memory>
#include <vector>

class TcxCustomGridDetailsSiteViewInfo;
class TcxCustomGridDetailsSiteTabsViewInfo;
class TcxCustomGridDetailsSiteTabViewInfo;

// A tab under the point (code 50).
class TcxGridDetailsSiteTabHitTest : public TcxCustomGridHitTest {
    QZ_CLASS(TcxGridDetailsSiteTabHitTest, TcxCustomGridHitTest)
public:
    int HitTestCode() const override { return 50; }
    TcxGridLevel* Level = nullptr;
    TObject* Owner = nullptr;
};
constexpr int htTab = 50;

class TcxCustomGridDetailsSiteTabViewInfo : public TcxCustomGridCellViewInfo {
    QZ_CLASS(TcxCustomGridDetailsSiteTabViewInfo, TcxCustomGridCellViewInfo)
public:
    TcxCustomGridDetailsSiteTabViewInfo(TcxCustomGridDetailsSiteTabsViewInfo* ATabsViewInfo, TcxGridLevel* ALevel);
    virtual TcxGridCellState GetActualState();
    bool IsActive();
    TcxGridLevel* Level() const { return FLevel; }
    int Index() const { return FIndex; }
    TcxCustomGridDetailsSiteTabsViewInfo* TabsViewInfo() const { return FTabsViewInfo; }
    TcxCustomGridDetailsSiteViewInfo* SiteViewInfo() const;
    int BorderWidthB();
    bool IsVertical();

    int CalculateHeight() override;
    int CalculateWidth() override;
    int GetBorderWidth(TcxBorder ABorder) override { return BorderWidthB(); }
    TColor GetBorderColor(TcxBorder ABorder) override { return clBtnShadow; }
    TcxCanvas* GetCanvas() override;
    TClass GetHitTestClass() override { return TcxGridDetailsSiteTabHitTest::StaticClass(); }
    bool GetHotTrack() override { return false; }
    TcxCustomGridCellPainterClass GetPainterClass() override;
    std::string GetText() override;
    void GetTextAreaBounds(TRect& R) override;
    void GetViewParams(TcxViewParams& AParams) override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;

protected:
    bool PreviousIsActive();
    bool NextIsActive();

private:
    TcxCustomGridDetailsSiteTabsViewInfo* FTabsViewInfo;
    TcxGridLevel* FLevel;
    int FIndex;
};

class TcxGridDetailsSiteLeftTabViewInfo : public TcxCustomGridDetailsSiteTabViewInfo {
    QZ_CLASS(TcxGridDetailsSiteLeftTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)
public:
    using TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    TcxBorders GetBorders() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
};

class TcxGridDetailsSiteTopTabViewInfo : public TcxCustomGridDetailsSiteTabViewInfo {
    QZ_CLASS(TcxGridDetailsSiteTopTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)
public:
    using TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxBorders GetBorders() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
};

using TcxGridDetailsSiteTabViewInfoClass =
    TcxGridClassRef<TcxCustomGridDetailsSiteTabViewInfo, TcxCustomGridDetailsSiteTabsViewInfo*, TcxGridLevel*>;

// The strip of tabs.
class TcxCustomGridDetailsSiteTabsViewInfo : public TObject {
    QZ_CLASS(TcxCustomGridDetailsSiteTabsViewInfo, TObject)
public:
    explicit TcxCustomGridDetailsSiteTabsViewInfo(TcxCustomGridDetailsSiteViewInfo* ASiteViewInfo);
    ~TcxCustomGridDetailsSiteTabsViewInfo() override;
    void AfterConstruction() override;

    virtual int CalculateHeight();
    virtual int CalculateWidth();
    virtual void AdjustSiteHeight(int& AHeight) {}
    virtual void AdjustSiteWidth(int& AWidth) {}
    virtual int GetActiveTabOffset() = 0;
    virtual TColor GetBkColor();
    virtual bool IsVertical() = 0;
    virtual TcxGridDetailsSiteTabViewInfoClass GetTabViewInfoClass() = 0;
    virtual int GetTabLength(TcxCustomGridDetailsSiteTabViewInfo* ATab) { return ATab->CalculateHeight(); }
    virtual int GetTabThickness(TcxCustomGridDetailsSiteTabViewInfo* ATab) { return ATab->CalculateWidth(); }
    virtual TcxBorders GetRootBorders() = 0;
    virtual void GetRootBounds(TRect& R) = 0;
    virtual void Calculate(const TRect& ABounds);
    virtual void AdjustClientBounds(TRect& R) = 0;
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    void Paint(TcxCanvas* ACanvas);

    int Height();
    int Width();
    int Thickness() { return IsVertical() ? Width() : Height(); }
    int Count() const { return int(FItems.size()); }
    TcxCustomGridDetailsSiteTabViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)].get(); }
    TcxCustomGridDetailsSiteViewInfo* SiteViewInfo() const { return FSiteViewInfo; }
    TcxGridLevel* Level() const;
    TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
    TRect Bounds;

private:
    int FHeight = 0;
    int FWidth = 0;
    std::vector<std::unique_ptr<TcxCustomGridDetailsSiteTabViewInfo>> FItems;
    TcxCustomGridDetailsSiteViewInfo* FSiteViewInfo;
};

class TcxGridDetailsSiteLeftTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
    QZ_CLASS(TcxGridDetailsSiteLeftTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
public:
    using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
    void AdjustSiteHeight(int& AHeight) override;
    int GetActiveTabOffset() override { return 3; }
    bool IsVertical() override { return true; }
    TcxGridDetailsSiteTabViewInfoClass GetTabViewInfoClass() override;
    TcxBorders GetRootBorders() override { return {bLeft, bTop, bBottom}; }
    void GetRootBounds(TRect& R) override;
    void Calculate(const TRect& ABounds) override;
    void AdjustClientBounds(TRect& R) override { R.Left += Width(); }
};

class TcxGridDetailsSiteTopTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
    QZ_CLASS(TcxGridDetailsSiteTopTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
public:
    using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
    int CalculateHeight() override;
    int CalculateWidth() override;
    void AdjustSiteWidth(int& AWidth) override;
    int GetActiveTabOffset() override { return 2; }
    bool IsVertical() override { return false; }
    int GetTabLength(TcxCustomGridDetailsSiteTabViewInfo* ATab) override { return ATab->CalculateWidth(); }
    int GetTabThickness(TcxCustomGridDetailsSiteTabViewInfo* ATab) override { return ATab->CalculateHeight(); }
    TcxGridDetailsSiteTabViewInfoClass GetTabViewInfoClass() override;
    TcxBorders GetRootBorders() override { return {bLeft, bTop, bRight}; }
    void GetRootBounds(TRect& R) override;
    void Calculate(const TRect& ABounds) override;
    void AdjustClientBounds(TRect& R) override { R.Top += Height(); }
};

using TcxGridDetailsSiteTabsViewInfoClass =
    TcxGridClassRef<TcxCustomGridDetailsSiteTabsViewInfo, TcxCustomGridDetailsSiteViewInfo*>;

// The details site; derived sites say what it shows and where its limits are.
class TcxCustomGridDetailsSiteViewInfo : public TcxComponent {
    QZ_CLASS(TcxCustomGridDetailsSiteViewInfo, TcxComponent)
public:
    explicit TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* ALevel);
    ~TcxCustomGridDetailsSiteViewInfo() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    virtual int CalculateHeight();
    virtual int CalculateWidth();
    virtual TColor GetBkColor();
    virtual TcxCanvas* GetCanvas() = 0;
    virtual void GetClientBounds(TRect& R);
    virtual int GetEmptyClientHeight() { return 100; }
    virtual int GetEmptyClientWidth() { return 200; }
    virtual TColor GetFrameColor();
    virtual int GetFrameWidth();
    virtual int GetHeight() { return CalculateHeight(); }
    virtual TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() = 0;
    virtual int GetMaxHeight() = 0;
    virtual int GetMaxNormalHeight();
    virtual int GetMaxWidth() = 0;
    virtual int GetMinWidth() { return GetMaxWidth(); }
    virtual int GetNormalHeight() { return NormalHeight; }
    virtual int GetWidth() { return CalculateWidth(); }
    virtual TcxGridDetailsSiteTabsViewInfoClass GetTabsViewInfoClass();
    virtual TcxCustomGridView* GetActiveGridViewValue() = 0;
    virtual bool GetActiveGridViewExists();
    virtual TcxCustomGridView* GetActiveGridView();
    virtual TcxGridLevel* GetActiveLevel() = 0;
    virtual bool GetVisible() { return true; }
    virtual void InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest) = 0;
    virtual void Calculate(int ALeft, int ATop);
    virtual void SetActiveLevel(TcxGridLevel* ALevel) = 0;
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    virtual void VisibilityChanged(bool AVisible);
    void Paint(TcxCanvas* ACanvas);

    TRect GetClientBounds()
    {
        TRect R;
        GetClientBounds(R);
        return R;
    }
    TcxGridLevel* Level() const { return FLevel; }
    TcxCustomGridDetailsSiteTabsViewInfo* TabsViewInfo() const { return FTabsViewInfo.get(); }
    bool FullyVisible() const { return FFullyVisible; }
    TRect Bounds;
    int NormalHeight = 0;

protected:
    void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
    TcxGridLevel* FLevel;
    std::unique_ptr<TcxCustomGridDetailsSiteTabsViewInfo> FTabsViewInfo;
    TcxCustomGridView* FActiveGridView = nullptr;
    bool FFullyVisible = false;
};

class TcxGridDetailsSitePainter : public TObject {
    QZ_CLASS(TcxGridDetailsSitePainter, TObject)
public:
    TcxGridDetailsSitePainter(TcxCanvas* ACanvas, TcxCustomGridDetailsSiteViewInfo* AViewInfo)
        : FCanvas(ACanvas), FViewInfo(AViewInfo)
    {
    }
    virtual void DrawBackground();
    virtual void DrawFrame();
    virtual void DrawTabs();
    virtual void Paint();
    TcxCanvas* Canvas() const { return FCanvas; }
    TcxCustomGridDetailsSiteViewInfo* ViewInfo() const { return FViewInfo; }

private:
    TcxCanvas* FCanvas;
    TcxCustomGridDetailsSiteViewInfo* FViewInfo;
};

class TcxGridDetailsSiteTabsPainter : public TObject {
    QZ_CLASS(TcxGridDetailsSiteTabsPainter, TObject)
public:
    TcxGridDetailsSiteTabsPainter(TcxCanvas* ACanvas, TcxCustomGridDetailsSiteTabsViewInfo* AViewInfo)
        : FCanvas(ACanvas), FViewInfo(AViewInfo)
    {
    }
    virtual void DrawBackground();
    virtual void DrawItems();
    virtual void DrawRoot();
    virtual void Paint();
    // Paints clipped to the strip, restoring the clip region afterwards.
    void MainPaint();

private:
    TcxCanvas* FCanvas;
    TcxCustomGridDetailsSiteTabsViewInfo* FViewInfo;
};

class TcxGridDetailsSiteTabPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridDetailsSiteTabPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawBorder(TcxBorder ABorder) override;
    void DrawContent() override;
};
