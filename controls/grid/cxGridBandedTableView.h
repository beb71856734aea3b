// The banded table view: a table view whose columns stand under bands. A
// band is a titled block of columns with its own width, fixed to the left
// or right edge or scrolling with the view; inside a band the columns stand
// in rows, each column one or more lines high.
#pragma once

#include "Lists.h"
#include "cxGridTableView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxGridBand;
class TcxGridBands;
class TcxGridBandRow;
class TcxGridBandRows;
class TcxGridBandedColumn;
class TcxGridBandedTableView;

enum TcxGridBandFixedKind { fkNone, fkLeft, fkRight };

// ---- bands ------------------------------------------------------------------------------------------

class TcxGridBandOptions : public TPersistent {
    QZ_CLASS(TcxGridBandOptions, TPersistent)
public:
    explicit TcxGridBandOptions(TcxGridBand* ABand = nullptr) : FBand(ABand) {}
    void Assign(TPersistent* Source) override;
    TcxGridBand* Band() const { return FBand; }
    bool HoldOwnColumnsOnly = false;
    bool Moving = true;
    bool Sizing = true;

private:
    TcxGridBand* FBand;
};

// One row of a band: its columns in order, and those of them shown.
class TcxGridBandRow : public TObject {
    QZ_CLASS(TcxGridBandRow, TObject)
public:
    explicit TcxGridBandRow(TcxGridBandRows* AOwner = nullptr) : FOwner(AOwner) {}
    ~TcxGridBandRow() override;
    TcxGridBandRows* Owner() const { return FOwner; }
    int Count() const { return int(FColumns.size()); }
    TcxGridBandedColumn* Items(int AIndex) const { return FColumns[size_t(AIndex)]; }
    int VisibleCount() const { return int(FVisibleColumns.size()); }
    TcxGridBandedColumn* VisibleItems(int AIndex) const { return FVisibleColumns[size_t(AIndex)]; }
    int IndexOf(TcxGridBandedColumn* AColumn) const;
    int VisibleIndexOf(TcxGridBandedColumn* AColumn) const;
    int Index() const;
    int VisibleIndex() const;
    // Shown when a column of it shows, or when it has no column at all.
    bool Visible() const { return !FVisibleColumns.empty() || FColumns.empty(); }
    bool IsLast() const;
    int LineCount() const;
    int FirstLine() const;

    void Insert(int AIndex, TcxGridBandedColumn* AColumn);
    // ANewIndex counts places in the row as it was before the column left its own.
    void Move(int ACurIndex, int ANewIndex);
    // Takes the column at AIndex out; a row left without columns frees itself.
    void Delete(int AIndex);
    void RebuildVisibleList();

private:
    int ClampIndex(int AIndex, bool AMoving) const;
    TcxGridBandRows* FOwner;
    std::vector<TcxGridBandedColumn*> FColumns;
    std::vector<TcxGridBandedColumn*> FVisibleColumns;
};

class TcxGridBandRows : public TObject {
    QZ_CLASS(TcxGridBandRows, TObject)
public:
    explicit TcxGridBandRows(TcxGridBand* ABand = nullptr) : FBand(ABand) {}
    ~TcxGridBandRows() override;
    TcxGridBand* Band() const { return FBand; }
    int Count() const { return int(FRows.size()); }
    void SetCount(int AValue);
    TcxGridBandRow* Items(int AIndex) const { return FRows[size_t(AIndex)].get(); }
    int VisibleCount() const { return int(FVisibleRows.size()); }
    TcxGridBandRow* VisibleItems(int AIndex) const { return FVisibleRows[size_t(AIndex)]; }
    TcxGridBandRow* FirstVisible() const { return FVisibleRows.empty() ? nullptr : FVisibleRows.front(); }
    TcxGridBandRow* LastVisible() const { return FVisibleRows.empty() ? nullptr : FVisibleRows.back(); }
    TcxGridBandRow* Insert(int AIndex);
    int IndexOf(TcxGridBandedColumn* AColumn) const;
    int IndexOfRow(const TcxGridBandRow* ARow) const;
    int VisibleIndexOfRow(const TcxGridBandRow* ARow) const;
    int FirstLineOfRow(int AVisibleIndex) const { return VisibleItems(AVisibleIndex)->FirstLine(); }
    // The visible row holding line ALine of the band, -1 when none.
    int RowAtLine(int ALine) const;
    // The band's line count: the lines of its visible rows.
    int LineCount() const;
    // -1 for the row takes the column out of its row; -1 for the column index appends.
    void PlaceColumn(TcxGridBandedColumn* AColumn, int ARowIndex, int AColIndex);
    void ColumnShownChanged(TcxGridBandedColumn* AColumn);
    void FitToContent();
    void RebuildVisibleList();
    // A row that lost its last column goes.
    void RemoveRow(TcxGridBandRow* ARow);

private:
    TcxGridBand* FBand;
    std::vector<std::unique_ptr<TcxGridBandRow>> FRows;
    std::vector<TcxGridBandRow*> FVisibleRows;
};

using TcxGridBandGetHeaderStyle =
    std::function<void(TcxGridBandedTableView* Sender, TcxGridBand* ABand, TcxStyle*& AStyle)>;

class TcxGridBandStyles : public TcxCustomGridStyles {
    QZ_CLASS(TcxGridBandStyles, TcxCustomGridStyles)
public:
    static constexpr int bsBackground = 0, bsContent = 1, bsHeader = 2;
    explicit TcxGridBandStyles(TPersistent* AOwner = nullptr) : TcxCustomGridStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxGridBand* Band() const;
    TcxCustomGridView* GetGridView() const;
    void GetHeaderParams(TcxViewParams& AParams);
    TcxStyle* Background() const { return DynamicCast<TcxStyle>(GetValue(bsBackground)); }
    void SetBackground(TcxStyle* AValue) { SetValue(bsBackground, AValue); }
    TcxStyle* Content() const { return DynamicCast<TcxStyle>(GetValue(bsContent)); }
    void SetContent(TcxStyle* AValue) { SetValue(bsContent, AValue); }
    TcxStyle* Header() const { return DynamicCast<TcxStyle>(GetValue(bsHeader)); }
    void SetHeader(TcxStyle* AValue) { SetValue(bsHeader, AValue); }
    TcxGridBandGetHeaderStyle OnGetHeaderStyle;
};

class TcxGridBand : public TCollectionItem, public IcxStoredObject {
    QZ_CLASS(TcxGridBand, TCollectionItem)
public:
    explicit TcxGridBand(TCollection* ACollection = nullptr);
    ~TcxGridBand() override;
    void Assign(TPersistent* Source) override;

    TcxGridBands* Bands() const;
    TcxGridBandedTableView* GridView() const;
    TcxGridBandRows* Rows() const { return FRows.get(); }
    int ColumnCount() const { return int(FColumns.size()); }
    TcxGridBandedColumn* Columns(int AIndex) const { return FColumns[size_t(AIndex)]; }
    int VisibleIndex() const;
    bool IsFirst() const { return VisibleIndex() == 0; }
    bool IsLast() const;
    bool IsFirstWithRows() const;
    bool IsLastWithRows() const;

    // ---- stored properties
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& AValue);
    TcxGridBandFixedKind FixedKind() const { return FFixedKind; }
    void SetFixedKind(TcxGridBandFixedKind AValue);
    TAlignment HeaderAlignmentHorz() const { return FHeaderAlignmentHorz; }
    void SetHeaderAlignmentHorz(TAlignment AValue);
    // The older name of the header alignment, read from stored forms.
    TAlignment Alignment() const { return FHeaderAlignmentHorz; }
    void SetAlignment(TAlignment AValue) { SetHeaderAlignmentHorz(AValue); }
    TcxAlignmentVert HeaderAlignmentVert() const { return FHeaderAlignmentVert; }
    void SetHeaderAlignmentVert(TcxAlignmentVert AValue);
    // Keeps the band out of the customization form's list only.
    bool Hidden() const { return FHidden; }
    void SetHidden(bool AValue);
    TcxGridBandOptions* Options() const { return FOptions.get(); }
    void SetOptions(TcxGridBandOptions* AValue) { FOptions->Assign(AValue); }
    TcxGridBandStyles* Styles() const { return FStyles.get(); }
    void SetStyles(TcxGridBandStyles* AValue) { FStyles->Assign(AValue); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool AValue);
    // 0: as wide as the widest row needs.
    int Width() const { return FWidth; }
    void SetWidth(int AValue);
    void SetIndex(int AValue);
    TNotifyEvent StylesEvents;
    TNotifyEvent OnHeaderClick;

    // ---- columns
    void AttachColumn(TcxGridBandedColumn* AColumn);
    void DetachColumn(TcxGridBandedColumn* AColumn);
    // Forgets every column at once, telling nobody (the view is going).
    void ReleaseColumns();
    void PlaceColumn(TcxGridBandedColumn* AColumn, int ARowIndex, int AColIndex);
    int RowIndexOfColumn(TcxGridBandedColumn* AColumn) const { return FRows->IndexOf(AColumn); }
    int ColIndexOfColumn(TcxGridBandedColumn* AColumn) const;

    // ---- what the user may do
    virtual bool IsHidable();
    virtual bool IsMovable();
    virtual bool IsSizable();
    // The user sized the band; under auto width every band first keeps the width it shows.
    virtual void ImposeWidth(int AValue);
    virtual void RefreshCustomization();
    virtual void FireHeaderClick();
    virtual void FitToContent();

    // ---- stored layout: "Band<index>" with "Caption", "Width", "Visible", "Hidden", "Index"
    std::string GetStoredObjectName() override;
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;

protected:
    virtual TClass GetOptionsClass() const { return TcxGridBandOptions::StaticClass(); }
    virtual TClass GetStylesClass() const { return TcxGridBandStyles::StaticClass(); }

private:
    friend class TcxGridBands;
    void Changed(bool ASize);
    std::string FCaption;
    std::vector<TcxGridBandedColumn*> FColumns;
    TcxGridBandFixedKind FFixedKind = fkNone;
    TAlignment FHeaderAlignmentHorz = taCenter;
    TcxAlignmentVert FHeaderAlignmentVert = vaCenter;
    bool FHidden = false;
    std::unique_ptr<TcxGridBandOptions> FOptions;
    std::unique_ptr<TcxGridBandRows> FRows;
    std::unique_ptr<TcxGridBandStyles> FStyles;
    bool FVisible = true;
    int FWidth = 0;
};

class TcxGridBands : public TOwnedCollection, public IcxStoredObject, public IcxStoredParent {
    QZ_CLASS(TcxGridBands, TOwnedCollection)
public:
    explicit TcxGridBands(TcxGridBandedTableView* AGridView = nullptr);
    ~TcxGridBands() override;
    void Assign(TPersistent* Source) override;
    TcxGridBandedTableView* GridView() const { return FGridView; }
    TcxGridBand* Add() { return AddAs<TcxGridBand>(); }
    TcxGridBand* Items(int AIndex) const { return ItemAs<TcxGridBand>(AIndex); }
    int VisibleCount() const { return int(FVisibleItems.size()); }
    TcxGridBand* VisibleItems(int AIndex) const { return FVisibleItems[size_t(AIndex)]; }
    int VisibleIndexOf(const TcxGridBand* ABand) const;
    int LeftFixedCount() const { return FLeftFixedCount; }
    int RightFixedCount() const { return FRightFixedCount; }
    int FirstVisibleIndexOfKind(TcxGridBandFixedKind AKind) const;
    int LastVisibleIndexOfKind(TcxGridBandFixedKind AKind) const;
    // 0 none, 1 left only, 2 right only, 3 both.
    int FixedSidesPresent() const;
    int MaxVisibleRowCount() const;
    TcxGridBand* FirstBandWithRows() const;
    TcxGridBand* LastBandWithRows() const;
    // Left-fixed, then unfixed, then right-fixed bands, each in collection order.
    void RebuildVisibleList();

    // ---- stored layout: "Bands" holding one child per band
    std::string GetStoredObjectName() override { return "Bands"; }
    bool GetStoredProperties(TStrings*) override { return true; }
    Variant GetStoredPropertyValue(const std::string&) override { return Null(); }
    void SetStoredPropertyValue(const std::string&, const Variant&) override {}
    TObject* CreateStoredChild(const std::string& AObjectName, const std::string& AClassName) override;
    void DeleteStoredChild(const std::string& AObjectName, TObject* AObject) override;
    void GetStoredChildren(std::vector<TObject*>& AChildren) override;

protected:
    void Added(TCollectionItem* AItem) override;
    void Notify(TCollectionItem* AItem, TCollectionNotification AAction) override;

private:
    TcxGridBandedTableView* FGridView;
    std::vector<TcxGridBand*> FVisibleItems;
    int FLeftFixedCount = 0;
    int FRightFixedCount = 0;
    bool FConstructed = false;
};

// ---- banded columns ---------------------------------------------------------------------------------

// Where a column stands: its band, the row of the band and its place in the row.
class TcxGridBandedColumnPosition : public TcxCustomGridTableItemCustomOptions {
    QZ_CLASS(TcxGridBandedColumnPosition, TcxCustomGridTableItemCustomOptions)
public:
    explicit TcxGridBandedColumnPosition(TcxCustomGridTableItem* AItem);
    void Assign(TPersistent* Source) override;
    TcxGridBandedColumn* Column() const;
    TcxGridBand* Band() const { return FBand; }
    int BandIndex() const;
    void SetBandIndex(int AValue);
    int RowIndex() const;
    void SetRowIndex(int AValue);
    int ColIndex() const;
    void SetColIndex(int AValue);
    int LineCount() const { return FLineCount; }
    void SetLineCount(int AValue);
    TcxGridBandRow* Row() const;
    int VisibleBandIndex() const;
    int VisibleRowIndex() const;
    int VisibleColIndex() const;
    // What was read or remembered, applied by the view's ApplySavedPositions.
    int SavedBandIndex = 0;
    int SavedColIndex = -1;
    int SavedRowIndex = -1;
    void RememberIndexes();

private:
    friend class TcxGridBand;
    void ColumnPlaced();
    TcxGridBand* FBand = nullptr;
    int FLineCount = 1;
};

class TcxGridBandedColumnOptions : public TcxGridColumnOptions {
    QZ_CLASS(TcxGridBandedColumnOptions, TcxGridColumnOptions)
public:
    using TcxGridColumnOptions::TcxGridColumnOptions;
    void Assign(TPersistent* Source) override;
    bool VertSizing() const { return FVertSizing; }
    void SetVertSizing(bool AValue);

private:
    bool FVertSizing = true;
};

class TcxGridBandedColumnStyles : public TcxGridColumnStyles {
    QZ_CLASS(TcxGridBandedColumnStyles, TcxGridColumnStyles)
public:
    explicit TcxGridBandedColumnStyles(TPersistent* AOwner = nullptr) : TcxGridColumnStyles(AOwner) {}
    // A column in a band takes its band's content by default.
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
};

class TcxGridBandedColumn : public TcxGridColumn {
    QZ_CLASS(TcxGridBandedColumn, TcxGridColumn)
public:
    explicit TcxGridBandedColumn(TComponent* AOwner = nullptr);
    ~TcxGridBandedColumn() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    TcxGridBandedTableView* BandedView() const;
    TcxGridBandedColumnPosition* Position() const { return FPosition.get(); }
    void SetPosition(TcxGridBandedColumnPosition* AValue) { FPosition->Assign(AValue); }
    TcxGridBandedColumnOptions* Options() const
    {
        return static_cast<TcxGridBandedColumnOptions*>(TcxCustomGridTableItem::Options());
    }
    // Set while ApplySavedPositions places the column: it then does not count as loading.
    bool RestoringPosition = false;
    bool BeingLoaded() const;
    bool BeingUpdated() const;

    virtual bool IsVertSizable();
    bool GetActuallyVisible() const override;
    bool CanScroll() override;
    void ForceWidthHook() override;
    bool IsBottom() override;
    bool IsLeft() override;
    bool IsMostBottom() override;
    bool IsMostLeft() override;
    bool IsMostRight() override;
    bool IsRight() override;

    // ---- stored layout: the table column's names, then "BandIndex", "ColIndex", "RowIndex", "LineCount"
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;

    TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> GetOptionsClass() override;
    TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> GetStylesClass() override;

private:
    std::unique_ptr<TcxGridBandedColumnPosition> FPosition;
};

// ---- the view ---------------------------------------------------------------------------------------

class TcxGridBandedTableOptionsCustomize : public TcxGridTableOptionsCustomize {
    QZ_CLASS(TcxGridBandedTableOptionsCustomize, TcxGridTableOptionsCustomize)
public:
    using TcxGridTableOptionsCustomize::TcxGridTableOptionsCustomize;
    void Assign(TPersistent* Source) override;
    bool BandHiding = false;
    bool BandMoving = true;
    bool BandSizing = true;
    bool ColumnVertSizing() const { return FColumnVertSizing; }
    void SetColumnVertSizing(bool AValue);

private:
    bool FColumnVertSizing = true;
};

class TcxGridBandedTableOptionsView : public TcxGridTableOptionsView {
    QZ_CLASS(TcxGridBandedTableOptionsView, TcxGridTableOptionsView)
public:
    using TcxGridTableOptionsView::TcxGridTableOptionsView;
    void Assign(TPersistent* Source) override;
    bool BandHeaderEndEllipsis() const { return FBandHeaderEndEllipsis; }
    void SetBandHeaderEndEllipsis(bool AValue);
    // 0: as high as the band captions need.
    int BandHeaderHeight() const { return FBandHeaderHeight; }
    void SetBandHeaderHeight(int AValue);
    int BandHeaderLineCount() const { return FBandHeaderLineCount; }
    void SetBandHeaderLineCount(int AValue);
    bool BandHeaders() const { return FBandHeaders; }
    void SetBandHeaders(bool AValue);
    TColor FixedBandSeparatorColor() const { return FFixedBandSeparatorColor; }
    void SetFixedBandSeparatorColor(TColor AValue);
    int FixedBandSeparatorWidth() const { return FFixedBandSeparatorWidth; }
    void SetFixedBandSeparatorWidth(int AValue);
    // The colour separators are drawn in: the painter's unless one is set.
    TColor GetFixedBandSeparatorColor() const;

private:
    void Changed(bool ASize);
    bool FBandHeaderEndEllipsis = false;
    int FBandHeaderHeight = 0;
    int FBandHeaderLineCount = 1;
    bool FBandHeaders = true;
    TColor FFixedBandSeparatorColor = clDefault;
    int FFixedBandSeparatorWidth = 2;
};

class TcxGridBandedTableViewStyles : public TcxGridTableViewStyles {
    QZ_CLASS(TcxGridBandedTableViewStyles, TcxGridTableViewStyles)
public:
    static constexpr int vsBandBackground = 15, vsBandHeader = 16;
    explicit TcxGridBandedTableViewStyles(TPersistent* AOwner = nullptr) : TcxGridTableViewStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    void GetBandHeaderParams(TcxGridBand* ABand, TcxViewParams& AParams);
    TcxStyle* BandBackground() const { return Style(vsBandBackground); }
    void SetBandBackground(TcxStyle* AValue) { SetStyle(vsBandBackground, AValue); }
    TcxStyle* BandHeader() const { return Style(vsBandHeader); }
    void SetBandHeader(TcxStyle* AValue) { SetStyle(vsBandHeader, AValue); }
    TcxGridBandGetHeaderStyle OnGetBandHeaderStyle;
};

class TcxGridBandedTableViewStyleSheet : public TcxCustomStyleSheet {
    QZ_CLASS(TcxGridBandedTableViewStyleSheet, TcxCustomStyleSheet)
public:
    explicit TcxGridBandedTableViewStyleSheet(TComponent* AOwner = nullptr) : TcxCustomStyleSheet(AOwner) {}
    TClass StylesClass() const override { return TcxGridBandedTableViewStyles::StaticClass(); }
    TcxGridBandedTableViewStyles* Styles() const
    {
        return DynamicCast<TcxGridBandedTableViewStyles>(TcxCustomStyleSheet::Styles());
    }
};

class TcxGridBandedTableBackgroundBitmaps : public TcxGridTableBackgroundBitmaps {
    QZ_CLASS(TcxGridBandedTableBackgroundBitmaps, TcxGridTableBackgroundBitmaps)
public:
    static constexpr int bbBandBackground = 9, bbBandHeader = 10;
    using TcxGridTableBackgroundBitmaps::TcxGridTableBackgroundBitmaps;
    void Assign(TPersistent* Source) override;
    int GetBitmapStyleIndex(int AIndex) override;
    TBitmap* BandBackground() { return Bitmaps(bbBandBackground); }
    TBitmap* BandHeader() { return Bitmaps(bbBandHeader); }
};

using TcxGridBandEvent = std::function<void(TcxGridBandedTableView* Sender, TcxGridBand* ABand)>;

class TcxGridBandedTableView : public TcxGridTableView {
    QZ_CLASS(TcxGridBandedTableView, TcxGridTableView)
public:
    explicit TcxGridBandedTableView(TComponent* AOwner = nullptr);
    ~TcxGridBandedTableView() override;
    void CreateOptions() override;
    void DestroyOptions() override;
    TClass GetItemClass() override { return TcxGridBandedColumn::StaticClass(); }
    TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> GetOptionsCustomizeClass() override;
    TcxGridOptionsClass<TcxCustomGridOptionsView> GetOptionsViewClass() override;
    TcxGridViewHandlerClass<TcxCustomGridController> GetControllerClass() override;
    TcxGridViewHandlerClass<TcxCustomGridPainter> GetPainterClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfo> GetViewInfoClass() override;
    TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> GetStylesClass() override;
    TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> GetBackgroundBitmapsClass() override;
    virtual TcxGridBands* CreateBands();

    TcxGridBands* Bands() const { return FBands.get(); }
    void SetBands(TcxGridBands* AValue) { FBands->Assign(AValue); }
    TcxGridBandedColumn* Columns(int AIndex) const { return static_cast<TcxGridBandedColumn*>(GetItem(AIndex)); }
    TcxGridBandedColumn* VisibleColumns(int AIndex) const
    {
        return static_cast<TcxGridBandedColumn*>(GetVisibleItem(AIndex));
    }
    TcxGridBandedColumn* CreateColumn() { return static_cast<TcxGridBandedColumn*>(CreateItem()); }
    TcxGridBandedTableOptionsCustomize* OptionsCustomize() const;
    TcxGridBandedTableOptionsView* OptionsView() const;
    TcxGridBandedTableViewStyles* Styles() const;

    // Builds the band rows from the columns' saved row and column indexes.
    void ApplySavedPositions();
    // The view was read from a stream: the columns join their saved bands, then their rows.
    void ReadingComplete();
    // The form reader is about to update the view, and has done so.
    void Updating();
    void Updated();

    void AddItem(TcxCustomGridTableItem* AItem) override;
    void ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible) override;
    void OrderVisibleItems(std::vector<TcxCustomGridTableItem*>& AItems) override;
    void AssignLayout(TcxCustomGridView* ASource) override;
    void LoadingComplete() override;
    bool IsBandsLoading() const;

    virtual void FireBandPosChanged(TcxGridBand* ABand);
    virtual void FireBandSizeChanged(TcxGridBand* ABand);
    bool BandHeaderCustomDrawn() const { return bool(OnCustomDrawBandHeader); }
    TcxGridBandEvent OnBandPosChanged;
    TcxGridBandEvent OnBandSizeChanged;
    std::function<void(TcxGridBandedTableView* Sender, TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo,
                       bool& ADone)>
        OnCustomDrawBandHeader;

    // ---- stored layout: the bands first, then the items and summaries
    TObject* CreateStoredChild(const std::string& AObjectName, const std::string& AClassName) override;
    void GetStoredChildren(std::vector<TObject*>& AChildren) override;

private:
    std::unique_ptr<TcxGridBands> FBands;
};

namespace cxGridBandedTableView {
// Runs AStep between the view's begin and end of an update (without a view, just runs it).
// A step that frees the view leaves no update to end.
template <class F> void InViewUpdate(TcxCustomGridView* AView, F AStep)
{
    if (!AView) {
        AStep();
        return;
    }
    TWeakRef<TcxCustomGridView> view(AView);
    AView->BeginUpdate();
    try {
        AStep();
    } catch (...) {
        if (view) AView->EndUpdate();
        throw;
    }
    if (view) AView->EndUpdate();
}

// Unit start-up: "Banded Table" among the grid's views, the column and
// style sheet classes for streaming. Idempotent.
void Initialize();
void Finalize();
}  // namespace cxGridBandedTableView
