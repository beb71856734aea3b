// The layout of a table view: its parts (group-by box, header, filter box,
// footer), the column header cells with their areas, the indicator column,
// the rows with their cells, preview and group footers, the new-item row,
// and the per-record layout cache. A layout pass builds the whole tree from
// nothing; painters and hit tests only read it.
#pragma once

#include "ExtCtrls.h"
#include "cxGridTableView.h"

#include <memory>
#include <string>
#include <vector>

class TcxGridTableViewInfo;
class TcxGridColumnContainerViewInfo;
class TcxGridColumnHeaderViewInfo;
class TcxGridHeaderViewInfo;
class TcxGridFooterViewInfo;
class TcxGridIndicatorViewInfo;
class TcxGridRowsViewInfo;
class TcxCustomGridRowViewInfo;
class TcxGridDataRowViewInfo;
class TcxGridRowFootersViewInfo;

// ---- parts ---------------------------------------------------------------------------------------------

// A part of the view stacked above (position 0) or below (1) the rows.
class TcxCustomGridPartViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxCustomGridPartViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxCustomGridPartViewInfo(TcxGridTableViewInfo* AGridViewInfo);
    ~TcxCustomGridPartViewInfo() override;
    // Joins the view info's part list once the part knows whether it belongs there.
    void AfterConstruction() override;

    virtual TRect GetPartBounds();
    virtual void CalculateInvisible();
    virtual void CalculateVisible();
    virtual int GetPosition() = 0;
    virtual bool IsFullWidth() = 0;
    virtual bool IsInPartList() { return true; }
    virtual bool IsHorzScrollable() = 0;
    // Visible parts are placed, the others emptied.
    virtual void MainCalculate();

    int GetHeight() override;
    // A full-width part is as wide as the view.
    int CalculateWidth() override;
    TClass GetHitTestClass() override;
    TcxGridTableViewInfo* TableViewInfo() const;
    TcxGridTableView* TableView() const;
    bool CustomDrawBackground(TcxCanvas* ACanvas) override;
    bool HasCustomDrawBackground() override;
    // The height found by the last calculation.
    int CalculatedHeight = 0;

private:
    bool FInPartList = false;
};

// Where a dragged column would be dropped: before the header cell at Index
// (the cell count for "at the end").
class TcxGridColumnContainerZone : public TObject {
    QZ_CLASS(TcxGridColumnContainerZone, TObject)
public:
    explicit TcxGridColumnContainerZone(int AItemIndex = -1) : ItemIndex(AItemIndex) {}
    static bool IsEqual(const TcxGridColumnContainerZone* A, const TcxGridColumnContainerZone* B)
    {
        return A && B && A->ItemIndex == B->ItemIndex;
    }
    int ItemIndex;
};

using TcxGridColumnHeaderViewInfoClass =
    TcxGridClassRef<TcxGridColumnHeaderViewInfo, TcxGridColumnContainerViewInfo*, TcxGridColumn*>;

// Container kinds stored into column hit tests.
constexpr int ckHeader = 1, ckGroupByBox = 2, ckFooter = 4;

// A part that holds one header cell per column.
class TcxGridColumnContainerViewInfo : public TcxCustomGridPartViewInfo {
    QZ_CLASS(TcxGridColumnContainerViewInfo, TcxCustomGridPartViewInfo)
public:
    using TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo;
    ~TcxGridColumnContainerViewInfo() override;

    virtual int CalculateItemHeight();
    virtual bool IsItemAutoHeight() { return false; }
    virtual TcxGridColumn* GetColumn(int AIndex) = 0;
    virtual int GetColumnCount() = 0;
    virtual int GetColumnMinWidth(TcxGridColumn* AColumn);
    virtual TcxNeighbors GetColumnNeighbors(TcxGridColumn* AColumn) { return {}; }
    virtual int GetColumnWidth(TcxGridColumn* AColumn);
    virtual TcxGridColumnHeaderViewInfoClass GetItemClass();
    virtual bool IsItemMultiLinePainting() { return false; }
    virtual TRect GetItemsAreaBounds() { return Bounds; }
    virtual int GetKind() = 0;
    virtual TRect GetZonesAreaBounds();
    // Null outside the zones area or while the container is hidden.
    std::unique_ptr<TcxGridColumnContainerZone> GetZone(const TPoint& P);

    // The cell of column slot AIndex, made on first use.
    TcxGridColumnHeaderViewInfo* Items(int AIndex);
    int Count();
    int ItemHeight();
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    // The font its texts are measured in.
    TFont* GetFont();

private:
    std::vector<std::unique_ptr<TcxGridColumnHeaderViewInfo>> FItems;
    bool FItemsMade = false;
    int FItemHeight = -1;
};

// The header's height; the banded view adds its band rows.
class TcxGridHeaderViewInfoSpecific : public TObject {
    QZ_CLASS(TcxGridHeaderViewInfoSpecific, TObject)
public:
    explicit TcxGridHeaderViewInfoSpecific(TcxGridHeaderViewInfo* AHeader) : FHeader(AHeader) {}
    virtual int GetItemHeight();
    virtual int GetHeight() { return GetItemHeight(); }
    TcxGridHeaderViewInfo* Header() const { return FHeader; }

private:
    TcxGridHeaderViewInfo* FHeader;
};
using TcxGridHeaderViewInfoSpecificClass = TcxGridClassRef<TcxGridHeaderViewInfoSpecific, TcxGridHeaderViewInfo*>;

class TcxGridHeaderViewInfo : public TcxGridColumnContainerViewInfo {
    QZ_CLASS(TcxGridHeaderViewInfo, TcxGridColumnContainerViewInfo)
public:
    using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;
    ~TcxGridHeaderViewInfo() override;
    void AfterConstruction() override;

    virtual void CalculateColumnAutoWidths();
    virtual void CheckColumnAutoWidths();
    virtual void CalculateItems();
    virtual bool IsAutoWidth();
    virtual TBitmap* GetItemsBackgroundBitmap();
    virtual bool IsAlwaysCalculated() { return true; }
    virtual bool IsHeightAssigned();
    // Every column takes the width its cell shows, less the level indents.
    void AssignColumnWidths();

    int CalculateItemHeight() override;
    bool IsItemAutoHeight() override;
    bool IsItemMultiLinePainting() override;
    TcxGridColumn* GetColumn(int AIndex) override;
    int GetColumnCount() override;
    TcxNeighbors GetColumnNeighbors(TcxGridColumn* AColumn) override;
    int GetKind() override { return ckHeader; }
    TRect GetZonesAreaBounds() override;
    int GetPosition() override { return 0; }
    bool IsFullWidth() override { return false; }
    bool IsHorzScrollable() override { return true; }
    void MainCalculate() override;
    void CalculateVisible() override;
    int CalculateHeight() override;
    int CalculateWidth() override;
    bool GetVisible() override;
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override { return GetItemsBackgroundBitmap(); }
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxGridHeaderViewInfoSpecific* Specific() const { return FSpecific.get(); }

private:
    std::unique_ptr<TcxGridHeaderViewInfoSpecific> FSpecific;
};

// ---- header cells and their areas ---------------------------------------------------------------------------

class TcxGridColumnHeaderAreaViewInfo;
using TcxGridColumnHeaderAreaViewInfoClass =
    TcxGridClassRef<TcxGridColumnHeaderAreaViewInfo, TcxGridColumnHeaderViewInfo*>;

class TcxGridColumnHeaderViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxGridColumnHeaderViewInfo, TcxCustomGridViewCellViewInfo)
public:
    TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* AContainer, TcxGridColumn* AColumn);
    ~TcxGridColumnHeaderViewInfo() override;
    void AfterConstruction() override;

    virtual bool HasLeftAreas();
    virtual bool HasRightAreas();
    virtual void CalculateTextAreaBounds();
    // The caption's room within the content bounds: the margins and the
    // areas (sort mark, filter button) taken off.
    TRect TextAreaOf(TRect AContent);
    virtual void CalculateVisibility(int ALeft, int AWidth);
    virtual bool HasFilterButton();
    virtual bool HasHorzSizingEdge();
    virtual bool CanClick() { return true; }
    virtual bool HasSortingMark();
    virtual void CheckWidth(int& AWidth);
    virtual void GetAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& AClasses);
    virtual int GetHeaderBorderSize();
    virtual int GetDataLeft();
    virtual bool IsPressed();
    virtual int GetMaxWidth();
    virtual int GetMinWidth();
    virtual bool HasGlyph();
    virtual int GetNeededWidth();

    int CalculateHeight() override;
    int CalculateWidth() override;
    int GetWidth() override;
    void SetWidth(int AWidth) override;
    std::string GetText() override;
    TAlignment GetAlignmentHorz() override;
    TcxAlignmentVert GetAlignmentVert() override;
    TcxBorders GetBorders() override;
    int GetBorderWidth(TcxBorder ABorder) override;
    TBitmap* GetBackgroundBitmap() override;
    bool GetHotTrack() override;
    bool GetMultiLine() override;
    bool GetMultiLinePainting() override;
    bool GetShowEndEllipsis() override;
    void GetViewParams(TcxViewParams& AParams) override;
    TClass GetHitTestClass() override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    bool HasCustomDraw() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;
    void GetTextAreaBounds(TRect& R) override { R = TextAreaBounds; }
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    void DoOffset(int DX, int DY) override;

    TcxGridColumnContainerViewInfo* Container() const { return FContainer; }
    TcxGridColumn* Column() const { return FColumn; }
    TcxGridTableView* TableView() const;
    int AreaCount() const { return int(FAreas.size()); }
    TcxGridColumnHeaderAreaViewInfo* Areas(int AIndex) const { return FAreas[size_t(AIndex)].get(); }
    // The width less the level indents the first column carries.
    int DataWidth();
    // The left edge as drawn (the left overlap taken off).
    int VisibleLeft() const { return Bounds.Left + LeftOverlap; }
    // The cell's real bounds without the border overlap.
    TRect RealBounds() const;

    TRect TextAreaBounds;
    TcxNeighbors Neighbors;
    int LeftOverlap = 0;

private:
    TcxGridColumnContainerViewInfo* FContainer;
    TcxGridColumn* FColumn;
    std::vector<std::unique_ptr<TcxGridColumnHeaderAreaViewInfo>> FAreas;
    int FWidth = -1;
    int FDataWidth = 0;
    bool FHasLeftAreas = false;
    bool FHasRightAreas = false;
    bool FCalculatingParams = false;
};

// A small area inside a header cell, aligned right by default and centred vertically.
class TcxGridColumnHeaderAreaViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxGridColumnHeaderAreaViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* AColumnHeaderViewInfo);
    virtual bool OccupiesSpace() { return true; }
    // Places the area in the cell's bounds or its text area; a space-taking
    // area narrows the text area by itself.
    virtual void CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds);
    TAlignment GetAlignmentHorz() override { return taRightJustify; }
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    TcxCanvas* GetCanvas() override;
    TClass GetHitTestClass() override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    TcxGridColumnHeaderViewInfo* ColumnHeaderViewInfo() const { return FColumnHeaderViewInfo; }
    TcxGridColumn* Column() const { return FColumnHeaderViewInfo->Column(); }

private:
    TcxGridColumnHeaderViewInfo* FColumnHeaderViewInfo;
};

// The strip over a header cell's right edge that sizes the column.
class TcxGridColumnHeaderHorzSizingEdgeViewInfo : public TcxGridColumnHeaderAreaViewInfo {
    QZ_CLASS(TcxGridColumnHeaderHorzSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)
public:
    using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
    static constexpr int Width = 8;
    bool OccupiesSpace() override { return false; }
    int CalculateWidth() override { return Width; }
    int CalculateHeight() override { return 0; }
    void CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
};

class TcxGridColumnHeaderFilterButtonViewInfo : public TcxGridColumnHeaderAreaViewInfo {
    QZ_CLASS(TcxGridColumnHeaderFilterButtonViewInfo, TcxGridColumnHeaderAreaViewInfo)
public:
    using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
    ~TcxGridColumnHeaderFilterButtonViewInfo() override;
    int CalculateWidth() override;
    int CalculateHeight() override;
    bool GetHotTrack() override { return true; }
    bool IsHotTrackOnCalculate() override { return true; }
    // A press while hot presses it (and opens the drop-down), a press while pressed makes it hot.
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override { return false; }
    void StateChanged() override;
    // Its column has conditions in the view's filter.
    bool Active();
};

class TcxGridColumnHeaderSortingMarkViewInfo : public TcxGridColumnHeaderAreaViewInfo {
    QZ_CLASS(TcxGridColumnHeaderSortingMarkViewInfo, TcxGridColumnHeaderAreaViewInfo)
public:
    using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
    int CalculateWidth() override;
    int CalculateHeight() override;
    bool SortOrderAscending() { return Column()->SortOrder() == soAscending; }
};

class TcxGridColumnHeaderGlyphViewInfo : public TcxGridColumnHeaderAreaViewInfo {
    QZ_CLASS(TcxGridColumnHeaderGlyphViewInfo, TcxGridColumnHeaderAreaViewInfo)
public:
    using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
    int CalculateWidth() override;
    int CalculateHeight() override;
    TAlignment GetAlignmentHorz() override { return Column()->HeaderGlyphAlignmentHorz(); }
    TcxAlignmentVert GetAlignmentVert() override { return Column()->HeaderGlyphAlignmentVert(); }
    TBitmap* Glyph() { return Column()->HeaderGlyph(); }
};

// ---- group-by box, footer, filter box ------------------------------------------------------------------------

class TcxGridGroupByBoxViewInfo : public TcxGridColumnContainerViewInfo {
    QZ_CLASS(TcxGridGroupByBoxViewInfo, TcxGridColumnContainerViewInfo)
public:
    using TcxGridColumnContainerViewInfo::TcxGridColumnContainerViewInfo;
    static constexpr int CellLeftOffset = 6, CellTopOffset = 8, CellSpace = 4, BottomSpace = 8, TextOffset = 6;
    TcxGridColumn* GetColumn(int AIndex) override;
    int GetColumnCount() override;
    int GetColumnWidth(TcxGridColumn* AColumn) override;
    TcxGridColumnHeaderViewInfoClass GetItemClass() override;
    int GetKind() override { return ckGroupByBox; }
    int GetPosition() override { return 0; }
    bool IsFullWidth() override { return true; }
    bool IsHorzScrollable() override { return false; }
    int CalculateItemHeight() override;
    int CalculateHeight() override;
    bool GetVisible() override;
    std::string GetText() override;
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    void GetTextAreaBounds(TRect& R) override;
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    // The two pieces that join cell AIndex to the next.
    void GetConnectorBounds(int AIndex, TRect& AVert, TRect& AHorz);
};

class TcxGridGroupByBoxColumnHeaderViewInfo : public TcxGridColumnHeaderViewInfo {
    QZ_CLASS(TcxGridGroupByBoxColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)
public:
    using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
    int CalculateHeight() override;
};

class TcxGridFooterViewInfo : public TcxGridHeaderViewInfo {
    QZ_CLASS(TcxGridFooterViewInfo, TcxGridHeaderViewInfo)
public:
    using TcxGridHeaderViewInfo::TcxGridHeaderViewInfo;
    virtual void CalculateItem(int AIndex);
    virtual TRect GetItemsVisibleBounds();
    virtual int GetItemHeightAt(int AIndex);
    virtual int GetItemLeftBound(int AIndex);
    virtual int GetItemTopBound(int AIndex);
    virtual TRect GetFooterSeparatorBounds();
    virtual TColor GetFooterSeparatorColor();
    virtual int GetFooterSeparatorWidth() { return 1; }
    virtual bool HasFooterSeparator() { return true; }
    virtual bool IsItemVisible(int AIndex);

    TcxGridHeaderViewInfo* HeaderViewInfo();
    TcxGridColumnHeaderViewInfoClass GetItemClass() override;
    int GetKind() override { return ckFooter; }
    int GetPosition() override { return 1; }
    bool IsAutoWidth() override { return false; }
    bool IsHeightAssigned() override { return false; }
    bool IsItemAutoHeight() override { return false; }
    bool IsItemMultiLinePainting() override { return false; }
    TBitmap* GetItemsBackgroundBitmap() override;
    int CalculateItemHeight() override;
    int CalculateHeight() override;
    TcxBorders GetBorders() override;
    int GetBorderWidth(TcxBorder ABorder) override;
    TRect GetItemsAreaBounds() override { return GetItemsVisibleBounds(); }
    bool GetVisible() override;
    void GetViewParams(TcxViewParams& AParams) override;
    void CalculateItems() override;
    void CalculateVisible() override;
    void DoOffset(int DX, int DY) override;
};

class TcxGridFooterCellViewInfo : public TcxGridColumnHeaderViewInfo {
    QZ_CLASS(TcxGridFooterCellViewInfo, TcxGridColumnHeaderViewInfo)
public:
    using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
    virtual int GetSummaryItemIndex();
    TcxDataSummaryItem* SummaryItem();
    bool CanClick() override { return false; }
    bool HasFilterButton() override { return false; }
    bool HasHorzSizingEdge() override { return false; }
    bool HasSortingMark() override { return false; }
    bool HasGlyph() override { return false; }
    bool IsPressed() override { return false; }
    int CalculateHeight() override;
    int GetNeededWidth() override;
    std::string GetText() override;
    TAlignment GetAlignmentHorz() override;
    TcxBorders GetBorders() override { return cxBordersAll; }
    int GetBorderWidth(TcxBorder ABorder) override;
    bool GetVisible() override;
    void GetViewParams(TcxViewParams& AParams) override;
    bool HasCustomDraw() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    // The record whose group the cell sums (null in the view's footer).
    virtual TcxCustomGridRecord* GridRecord() { return nullptr; }
};

class TcxGridFilterViewInfo;
class TcxGridFilterButtonsViewInfo;

class TcxCustomGridFilterButtonViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxCustomGridFilterButtonViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* AButtonsViewInfo);
    virtual bool IsRightAligned() { return false; }
    virtual void DoClick() {}
    TcxCanvas* GetCanvas() override;
    bool GetHotTrack() override { return true; }
    bool IsHotTrackOnCalculate() override { return true; }
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    TClass GetHitTestClass() override;
    TcxGridFilterButtonsViewInfo* ButtonsViewInfo() const { return FButtonsViewInfo; }
    TcxGridTableView* TableView() const;

private:
    TcxGridFilterButtonsViewInfo* FButtonsViewInfo;
};

class TcxGridFilterCloseButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
    QZ_CLASS(TcxGridFilterCloseButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
public:
    using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
    int CalculateWidth() override;
    int CalculateHeight() override;
    bool GetVisible() override;
    void DoClick() override;
};

class TcxGridFilterActivateButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
    QZ_CLASS(TcxGridFilterActivateButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
public:
    using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
    int CalculateWidth() override;
    int CalculateHeight() override;
    bool GetVisible() override;
    void DoClick() override;
    bool Checked();
};

class TcxGridFilterCustomizeButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
    QZ_CLASS(TcxGridFilterCustomizeButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
public:
    using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
    bool IsRightAligned() override { return true; }
    int CalculateWidth() override;
    int CalculateHeight() override;
    bool GetVisible() override;
    std::string GetText() override;
    TAlignment GetAlignmentHorz() override { return taCenter; }
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    TcxBorders GetBorders() override { return cxBordersAll; }
    int GetBorderWidth(TcxBorder ABorder) override;
    void GetViewParams(TcxViewParams& AParams) override;
    void GetTextAreaBounds(TRect& R) override;
    void DoClick() override;
};

class TcxGridFilterButtonsViewInfo : public TObject {
    QZ_CLASS(TcxGridFilterButtonsViewInfo, TObject)
public:
    explicit TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* AFilterViewInfo);
    ~TcxGridFilterButtonsViewInfo() override;
    virtual void CreateButtons();
    virtual void Calculate(const TRect& ABounds);
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    // The height of the tallest visible button + 8; 0 without one.
    int GetHeight();
    // What one side's visible buttons take from the text.
    int GetSideWidth(bool ARight);
    int Count() const { return int(FItems.size()); }
    TcxCustomGridFilterButtonViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)].get(); }
    TcxGridFilterViewInfo* FilterViewInfo() const { return FFilterViewInfo; }

protected:
    std::vector<std::unique_ptr<TcxCustomGridFilterButtonViewInfo>> FItems;

private:
    TcxGridFilterViewInfo* FFilterViewInfo;
};
using TcxGridFilterButtonsViewInfoClass = TcxGridClassRef<TcxGridFilterButtonsViewInfo, TcxGridFilterViewInfo*>;

class TcxGridFilterViewInfo : public TcxCustomGridPartViewInfo {
    QZ_CLASS(TcxGridFilterViewInfo, TcxCustomGridPartViewInfo)
public:
    using TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo;
    ~TcxGridFilterViewInfo() override;
    void AfterConstruction() override;
    virtual TRect GetButtonsAreaBounds() { return Bounds; }
    virtual TcxGridFilterButtonsViewInfoClass GetButtonsViewInfoClass();
    int GetPosition() override { return 1; }
    bool IsFullWidth() override { return true; }
    bool IsHorzScrollable() override { return false; }
    int CalculateHeight() override;
    int CalculateWidth() override;
    bool GetVisible() override;
    std::string GetText() override;
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    void GetTextAreaBounds(TRect& R) override;
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    TcxGridFilterButtonsViewInfo* ButtonsViewInfo() const { return FButtons.get(); }

private:
    std::unique_ptr<TcxGridFilterButtonsViewInfo> FButtons;
};

// ---- indicator ---------------------------------------------------------------------------------------------------

class TcxCustomGridIndicatorItemViewInfo;
using TcxGridIndicatorItemViewInfoClass = TcxGridClassRef<TcxCustomGridIndicatorItemViewInfo, TcxGridIndicatorViewInfo*>;

class TcxGridIndicatorViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxGridIndicatorViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxGridIndicatorViewInfo(TcxGridTableViewInfo* AGridViewInfo);
    ~TcxGridIndicatorViewInfo() override;
    TcxCustomGridIndicatorItemViewInfo* AddItem(const TcxGridIndicatorItemViewInfoClass& AClass);
    void RemoveItem(TcxCustomGridIndicatorItemViewInfo* AItem);
    // The cell of a row, placed with the row.
    void CalculateRowItem(TcxCustomGridRowViewInfo* ARowViewInfo, TcxCustomGridIndicatorItemViewInfo* AItem);
    TRect GetRowItemBounds(TcxCustomGridRecord* ARecord);
    int Count() const { return int(FItems.size()); }
    TcxCustomGridIndicatorItemViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)]; }

    int CalculateWidth() override;
    int CalculateHeight() override;
    bool GetVisible() override;
    void GetViewParams(TcxViewParams& AParams) override;
    TBitmap* GetBackgroundBitmap() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TClass GetHitTestClass() override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    TcxGridTableViewInfo* TableViewInfo() const;

private:
    std::vector<TcxCustomGridIndicatorItemViewInfo*> FItems;
    bool FDestroyingItems = false;
};

class TcxCustomGridIndicatorItemViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxCustomGridIndicatorItemViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* AIndicatorViewInfo);
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    ~TcxCustomGridIndicatorItemViewInfo() override;
    TcxGridIndicatorViewInfo* IndicatorViewInfo() const { return FIndicatorViewInfo; }
    TcxGridTableView* TableView() const;
    int CalculateWidth() override;
    void GetViewParams(TcxViewParams& AParams) override;
    bool HasCustomDraw() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;

private:
    TcxGridIndicatorViewInfo* FIndicatorViewInfo;
};

class TcxGridIndicatorHeaderItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
    QZ_CLASS(TcxGridIndicatorHeaderItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
public:
    using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
};

class TcxGridIndicatorRowItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
    QZ_CLASS(TcxGridIndicatorRowItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
public:
    using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
    ~TcxGridIndicatorRowItemViewInfo() override;
    // 0 none, 1 focused, 2 editing, 3 inserting or the new-item row, 4 selected, 5 focused and selected.
    virtual int GetIndicatorKind();
    virtual TRect GetSizingEdgeBounds();
    TBitmap* GetBackgroundBitmap() override;
    TcxCustomGridRowViewInfo* RowViewInfo = nullptr;
};

class TcxGridIndicatorFooterItemViewInfo : public TcxCustomGridIndicatorItemViewInfo {
    QZ_CLASS(TcxGridIndicatorFooterItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
public:
    using TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo;
    virtual TRect GetFooterContentBounds();
    virtual TRect GetFooterSeparatorBounds();
    TcxBorders GetBorders() override;
    int GetBorderWidth(TcxBorder ABorder) override;
    TBitmap* GetBackgroundBitmap() override;
};

// ---- group footers -------------------------------------------------------------------------------------------------

class TcxGridRowFooterViewInfo;
using TcxGridRowFooterViewInfoClass = TcxGridClassRef<TcxGridRowFooterViewInfo, TcxGridRowFootersViewInfo*, int>;

class TcxGridRowFootersViewInfo : public TObject {
    QZ_CLASS(TcxGridRowFootersViewInfo, TObject)
public:
    explicit TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* ARowViewInfo);
    ~TcxGridRowFootersViewInfo() override;
    void AfterConstruction() override;
    virtual void ResetCalculated() { FHeight = -1; }
    virtual void Calculate(int ALeft, int ATop);
    virtual int CalculateHeight();
    virtual TcxGridRowFooterViewInfoClass GetFooterViewInfoClass();
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    virtual void Offset(int DX, int DY);
    int Height();
    int Count() const { return int(FItems.size()); }
    TcxGridRowFooterViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)].get(); }
    // The footer with index AIndex (0: the innermost group), or null.
    TcxGridRowFooterViewInfo* FindFooter(int AIndex) const;
    TcxCustomGridRowViewInfo* RowViewInfo() const { return FRowViewInfo; }
    void Paint(TcxCanvas* ACanvas);

private:
    TcxCustomGridRowViewInfo* FRowViewInfo;
    std::vector<std::unique_ptr<TcxGridRowFooterViewInfo>> FItems;
    int FHeight = -1;
};

class TcxGridRowFooterViewInfo : public TcxGridFooterViewInfo {
    QZ_CLASS(TcxGridRowFooterViewInfo, TcxGridFooterViewInfo)
public:
    TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* AContainer, int AIndex);
    TcxGridRowFootersViewInfo* Footers() const { return FContainer; }
    int Index() const { return FIndex; }
    int Indent();
    // The summaries' group level.
    int GroupLevel();
    TcxCustomGridRowViewInfo* RowViewInfo() const { return FContainer->RowViewInfo(); }
    bool IsInPartList() override { return false; }
    bool GetVisible() override { return true; }
    bool HasFooterSeparator() override { return false; }
    TRect GetPartBounds() override { return Bounds; }
    int CalculateWidth() override;
    int GetItemLeftBound(int AIndex) override;
    TcxGridColumnHeaderViewInfoClass GetItemClass() override;
    void GetViewParams(TcxViewParams& AParams) override;
    void CalculateItem(int AIndex) override;

private:
    TcxGridRowFootersViewInfo* FContainer;
    int FIndex;
};

class TcxGridRowFooterCellViewInfo : public TcxGridFooterCellViewInfo {
    QZ_CLASS(TcxGridRowFooterCellViewInfo, TcxGridFooterCellViewInfo)
public:
    using TcxGridFooterCellViewInfo::TcxGridFooterCellViewInfo;
    TcxGridRowFooterViewInfo* FooterViewInfo() const { return static_cast<TcxGridRowFooterViewInfo*>(Container()); }
    int GetSummaryItemIndex() override;
    std::string GetText() override;
    void GetViewParams(TcxViewParams& AParams) override;
    TcxCustomGridRecord* GridRecord() override;
};

// ---- rows ----------------------------------------------------------------------------------------------------------

using TcxGridRowFootersViewInfoClassRef = TcxGridClassRef<TcxGridRowFootersViewInfo, TcxCustomGridRowViewInfo*>;

// What every row of the table has: level indents, its indicator cell,
// group footers, the separator and the closing grid line.
class TcxCustomGridRowViewInfo : public TcxCustomGridRecordViewInfo {
    QZ_CLASS(TcxCustomGridRowViewInfo, TcxCustomGridRecordViewInfo)
public:
    TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo, TcxCustomGridRecord* ARecord);
    ~TcxCustomGridRowViewInfo() override;
    void AfterConstruction() override;

    virtual bool CanSize() { return false; }
    virtual void CheckHeight(int& AHeight) {}
    virtual int GetCellsHeight() { return GetDataHeight(); }
    virtual int GetBottomPartHeight();
    virtual int GetContentLeft();
    virtual int GetDataHeight() { return Bounds.Height() - GetBottomPartHeight(); }
    virtual int GetCellsAreaLeft() { return GetContentLeft(); }
    virtual int GetCellsAreaWidth() { return GetContentWidth(); }
    virtual TcxGridRowFootersViewInfoClassRef GetFootersViewInfoClass();
    virtual TRect GetLastHorzGridLineBounds();
    virtual int GetFullHeight() { return GetHeight(); }
    virtual int GetNonCellsHeight() { return Bounds.Height() - GetCellsHeight(); }
    virtual int GetHeightForSizing() { return GetHeight(); }
    virtual TRect GetSeparatorBounds();
    virtual TColor GetSeparatorColor();
    virtual bool HasSeparator() { return true; }
    virtual bool HasFooter(int ALevel);
    virtual bool HasLastHorzGridLine();
    virtual void SetSizedHeight(int AHeight) {}

    int CalculateWidth() override;
    int GetContentWidth() override;
    void GetFocusRectBounds(TRect& R) override;
    void GetExpandButtonAreaBounds(TRect& R) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;

    // Indent column k (k = -1: the whole indent area).
    TRect GetLevelIndentBounds(int AIndex);
    // The row is the last of its level-k group.
    bool IsLastOfGroup(int ALevel);
    void GetLevelIndentLines(int AIndex, TRect& AInner, TRect& AHorzLine, TRect& AVertLine);
    int LevelIndent();
    TcxGridRowsViewInfo* RowsViewInfo() const;
    TcxGridTableViewInfo* TableViewInfo() const;
    TcxGridTableView* TableView() const;
    TcxGridIndicatorRowItemViewInfo* IndicatorItem() const { return FIndicatorItem; }
    void IndicatorItemGone() { FIndicatorItem = nullptr; }
    TcxGridRowFootersViewInfo* FootersViewInfo() const { return FFooters.get(); }

private:
    TcxGridIndicatorRowItemViewInfo* FIndicatorItem = nullptr;
    std::unique_ptr<TcxGridRowFootersViewInfo> FFooters;
};

class TcxGridCellViewInfo : public TcxGridTableCellViewInfo {
    QZ_CLASS(TcxGridCellViewInfo, TcxGridTableCellViewInfo)
public:
    using TcxGridTableCellViewInfo::TcxGridTableCellViewInfo;
    TColor GetBorderColor(TcxBorder ABorder) override;
    int GetBorderWidth(TcxBorder ABorder) override;
    void GetViewParams(TcxViewParams& AParams) override;
    TcxCustomGridRowViewInfo* RowViewInfo() const
    {
        return static_cast<TcxCustomGridRowViewInfo*>(RecordViewInfo());
    }
};

class TcxGridDataRowCellsAreaViewInfo : public TcxGridCellViewInfo {
    QZ_CLASS(TcxGridDataRowCellsAreaViewInfo, TcxGridCellViewInfo)
public:
    using TcxGridCellViewInfo::TcxGridCellViewInfo;
    virtual bool CalculateVisible();
    virtual bool HasBottomBorder();
    int CalculateHeight() override { return 0; }
    int CalculateWidth() override { return 0; }
    TcxBorders GetBorders() override;
    bool GetVisible() override { return FVisibleCalculated; }
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;

private:
    bool FVisibleCalculated = false;
};

class TcxGridDataCellViewInfo : public TcxGridTableDataCellViewInfo {
    QZ_CLASS(TcxGridDataCellViewInfo, TcxGridTableDataCellViewInfo)
public:
    using TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo;
    TcxGridDataRowViewInfo* RowViewInfo() const;
    int CalculateWidth() override;
    TcxBorders GetBorders() override;
    TColor GetBorderColor(TcxBorder ABorder) override;
    int GetBorderWidth(TcxBorder ABorder) override;
    bool GetMultiLine() override;
    void BeforeRecalculation() override;
};

class TcxGridPreviewCellViewInfo : public TcxGridDataCellViewInfo {
    QZ_CLASS(TcxGridPreviewCellViewInfo, TcxGridDataCellViewInfo)
public:
    using TcxGridDataCellViewInfo::TcxGridDataCellViewInfo;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxBorders GetBorders() override;
    bool GetMultiLine() override { return true; }
    int GetMaxLineCount() override;
    bool GetAutoHeight() override;
    void GetTextAreaBounds(TRect& R) override;
    void GetEditViewDataContentOffsets(TRect& R) override;
    TBitmap* GetBackgroundBitmap() override;
    TClass GetHitTestClass() override;
};

// A preview cell under the point.
class TcxGridPreviewHitTest : public TcxGridRecordCellHitTest {
    QZ_CLASS(TcxGridPreviewHitTest, TcxGridRecordCellHitTest)
public:
    int HitTestCode() const override { return 231; }
};

class TcxGridDataRowViewInfo : public TcxCustomGridRowViewInfo {
    QZ_CLASS(TcxGridDataRowViewInfo, TcxCustomGridRowViewInfo)
public:
    TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo, TcxCustomGridRecord* ARecord);
    ~TcxGridDataRowViewInfo() override;
    void AfterConstruction() override;

    virtual void CalculateCell(int AIndex);
    virtual int GetCellViewInfoHeight(int AIndex);
    virtual int CalculateCellsHeight();
    virtual int GetCellLeftBound(int AIndex);
    virtual int GetCellTopBound(int AIndex);
    virtual TRect GetCellsAreaBounds();
    virtual int GetCellWidth(int AIndex);
    virtual bool HasPreview();
    virtual bool IsCellVisible(int AIndex);
    virtual void CellReset(TcxGridDataCellViewInfo* ACell) {}
    virtual TcxBorders GetCellBorders(bool AIsLastColumn, bool AHasBottomBorder);

    bool CanSize() override;
    void CheckHeight(int& AHeight) override;
    int GetCellsHeight() override;
    void SetSizedHeight(int AHeight) override;
    bool GetAutoHeight() override;
    int CalculateHeight() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;
    TcxCustomGridViewCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* AItem) override;
    void GetItemBounds(TcxCustomGridTableItem* AItem, TRect& R) override;
    void Paint(TcxCanvas* ACanvas = nullptr) override;

    int CellCount() const { return int(FCells.size()); }
    // The cell of visible column AIndex as it stands (null when not made).
    TcxGridDataCellViewInfo* Cells(int AIndex) const { return FCells[size_t(AIndex)].get(); }
    TcxGridDataRowCellsAreaViewInfo* CellsAreaViewInfo() const { return FCellsArea.get(); }
    TcxGridPreviewCellViewInfo* PreviewViewInfo() const { return FPreview.get(); }
    TRect CellsAreaBounds;
    int CellsHeight = 0;

protected:
    // Cell AIndex, made on first use.
    TcxGridDataCellViewInfo* InternalGetCell(int AIndex);
    std::vector<std::unique_ptr<TcxGridDataCellViewInfo>> FCells;
    std::unique_ptr<TcxGridDataRowCellsAreaViewInfo> FCellsArea;
    std::unique_ptr<TcxGridPreviewCellViewInfo> FPreview;
};

class TcxGridNewItemRowViewInfo : public TcxGridDataRowViewInfo {
    QZ_CLASS(TcxGridNewItemRowViewInfo, TcxGridDataRowViewInfo)
public:
    using TcxGridDataRowViewInfo::TcxGridDataRowViewInfo;
    virtual TRect GetNewItemRowSeparatorBounds();
    virtual bool ShowInfoText();
    // Not one of the records area's rows: shown whenever the area shows it.
    bool GetVisible() override;
    int GetHeight() override;
    int CalculateHeight() override;
    bool GetAutoHeight() override { return false; }
    bool HasPreview() override { return false; }
    bool HasSeparator() override { return false; }
    bool HasLastHorzGridLine() override { return false; }
    int GetBottomPartHeight() override;
    int GetCellLeftBound(int AIndex) override;
    int GetCellWidth(int AIndex) override;
    bool CalculateSelected() override;
    std::string GetText() override;
    void GetTextAreaBounds(TRect& R) override;
    TAlignment GetAlignmentHorz() override { return taCenter; }
    TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
    void GetViewParams(TcxViewParams& AParams) override;

private:
    int FHeight = -1;
};

using TcxGridDataRowCellsAreaViewInfoClass = TcxGridClassRef<TcxGridDataRowCellsAreaViewInfo, TcxCustomGridRecordViewInfo*>;

// The rows area: the visible rows, their heights and the new-item row.
class TcxGridRowsViewInfo : public TcxCustomGridRecordsViewInfo {
    QZ_CLASS(TcxGridRowsViewInfo, TcxCustomGridRecordsViewInfo)
public:
    explicit TcxGridRowsViewInfo(TcxCustomGridTableViewInfo* AGridViewInfo);
    ~TcxGridRowsViewInfo() override;

    virtual void CalculateConstantHeights();
    virtual TRect GetRowsAreaBounds();
    virtual int GetDataRowHeight() { return FDataRowHeight; }
    virtual int CalculateGroupRowHeight();
    virtual int GetAvailableHeight(int ATop) { return RowsAreaBounds.Bottom - ATop; }
    virtual int CalculateDataRowHeight();
    virtual int GetRowStep();
    virtual TBitmap* GetGroupBackgroundBitmap();
    virtual bool IsHeaderScrollable() { return true; }
    virtual int GetDataWidth();
    virtual int GetRowSeparatorWidth();
    virtual bool IsNewItemRowVisible();
    virtual bool HasLastHorzGridLine(TcxCustomGridRowViewInfo* ARow);
    virtual int GetTextRowHeight(const TcxViewParams& AParams);
    virtual bool CanSizeDataRows();
    virtual TcxGridDataRowCellsAreaViewInfoClass GetCellsAreaViewInfoClass();
    virtual int GetLastRowAvailableHeight(int ATop);
    virtual bool IsDataRowHeightAssigned();
    // +1 with horizontal grid lines.
    int AdjustHeight(int AHeight);

    void BeforeCalculate() override;
    void Calculate() override;
    void CalculateVisibleCount() override;
    bool GetAutoCellHeight() override;
    int GetItemLeftBound(int AIndex) override;
    int GetItemTopBound(int AIndex) override;
    int GetPixelScrollSize(int ARecordCountDelta) override;
    void OffsetItem(int AIndex, int AOffset) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    TcxCustomGridRecordViewInfo* GetRealItem(int ARecordIndex) override;

    TcxGridTableViewInfo* TableViewInfo() const;
    TcxGridTableView* TableView() const;
    TcxGridNewItemRowViewInfo* NewItemRowViewInfo() const { return FNewItemRow.get(); }
    int GroupRowHeight() const { return FGroupRowHeight; }
    // Rows laid out in this pass, partly visible ones included.
    int PartVisibleCount() const { return FPartVisibleCount; }
    // The index of the row view info among the laid-out ones, or -1.
    int IndexOfRow(const TcxCustomGridRowViewInfo* ARow) const;
    TRect RowsAreaBounds;

private:
    int FDataRowHeight = 0;
    int FGroupRowHeight = 0;
    int FPartVisibleCount = 0;
    std::vector<int> FAvailableHeights;
    bool FCounting = false;
    int FCountingIndex = -1;
    std::unique_ptr<TcxGridNewItemRowViewInfo> FNewItemRow;
};

// ---- the view's layout ---------------------------------------------------------------------------------------------

using TcxGridHeaderViewInfoClass = TcxGridClassRef<TcxGridHeaderViewInfo, TcxGridTableViewInfo*>;
using TcxGridFooterViewInfoClass = TcxGridClassRef<TcxGridFooterViewInfo, TcxGridTableViewInfo*>;

class TcxGridTableViewInfo : public TcxCustomGridTableViewInfo {
    QZ_CLASS(TcxGridTableViewInfo, TcxCustomGridTableViewInfo)
public:
    explicit TcxGridTableViewInfo(TcxCustomGridView* AGridView) : TcxCustomGridTableViewInfo(AGridView) {}
    ~TcxGridTableViewInfo() override;

    virtual int CalculateDataWidth();
    virtual TRect GetPartBounds(TcxCustomGridPartViewInfo* APart);
    virtual int GetLevelIndentsWidth();
    virtual int GetGridLineWidth() { return 1; }
    virtual TColor GetGridLineColor();
    virtual TcxGridHeaderViewInfoSpecificClass GetHeaderViewInfoSpecificClass();
    virtual TcxGridHeaderViewInfoClass GetHeaderViewInfoClass();
    virtual TcxGridFooterViewInfoClass GetFooterViewInfoClass();
    virtual int GetNonRecordsAreaHeight(bool ACheckScrollBar);
    virtual TcxBorders GetCellBorders(bool AAddRight);
    virtual int GetCellHeight(int AIndex, int ALineHeight) { return ALineHeight; }
    virtual int GetCellTopOffset(int AIndex, int ALineHeight) { return 0; }
    virtual void CalculateVertScrollRects(int ADelta, TRect& AScrollRect, TRect& AUpdateRect);
    virtual void CalculateHorzScrollRects(int ADelta, TRect& AScrollRect, TRect& AUpdateRect);

    TcxCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() override;
    void CreateViewInfos() override;
    void DestroyViewInfos(bool AIsRecreating) override;
    void DoCalculate() override;
    void BeforeCalculating() override;
    void AfterCalculating() override;
    TRect GetClientBounds() override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    int GetRecordsPerPage() override;
    void GetHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible) override;
    void GetWidth(const TPoint& AMaxSize, int& AWidth) override;
    void DoOffset(int ARecordCountDelta, int DX, int DY) override;

    // Rows per page: whole rows and the pixels left over.
    void GetRowsPerPage(int& ACount, int& ARemainder);
    int GetRecordBufferEstimate();
    // The height showing whole rows for a wanted height and an allowance of rows.
    int GetNearestPopupHeight(int AHeight, bool AAdditionalRecord) override;
    int GetPopupHeight(int ARecordCount) override;
    // The rectangle scrolled sideways and the one scrolled up and down.
    TRect GetHorzScrollArea();
    TRect GetVertScrollArea();

    int DataWidth();
    int LevelIndent() const { return ExpandButtonAreaWidth(); }
    int LeftPos();
    // The view's rectangle in the site.
    TRect ViewBounds;

    int PartCount() const { return int(FParts.size()); }
    TcxCustomGridPartViewInfo* Parts(int AIndex) const { return FParts[size_t(AIndex)]; }
    void AddPart(TcxCustomGridPartViewInfo* APart) { FParts.push_back(APart); }
    void RemovePart(TcxCustomGridPartViewInfo* APart);
    TcxGridGroupByBoxViewInfo* GroupByBoxViewInfo() const { return FGroupByBox.get(); }
    TcxGridHeaderViewInfo* HeaderViewInfo() const { return FHeader.get(); }
    TcxGridFilterViewInfo* FilterViewInfo() const { return FFilter.get(); }
    TcxGridFooterViewInfo* FooterViewInfo() const { return FFooter.get(); }
    TcxGridIndicatorViewInfo* IndicatorViewInfo() const { return FIndicator.get(); }
    TcxGridRowsViewInfo* RowsViewInfo() const;
    TcxGridTableView* TableView() const;
    // Set by the controller while it scrolls sideways (LeftPos).
    int HorzOffset = 0;
    // A grid-mode buffer follows a changed row height once, on a 1 ms timer,
    // outside the layout pass that found the change.
    void RequestGridModeBufferRefresh();
    TTimer* GridModeRefreshTimer() const { return FGridModeRefreshTimer.get(); }

private:
    std::unique_ptr<TTimer> FGridModeRefreshTimer;
    std::vector<TcxCustomGridPartViewInfo*> FParts;
    std::unique_ptr<TcxGridGroupByBoxViewInfo> FGroupByBox;
    std::unique_ptr<TcxGridHeaderViewInfo> FHeader;
    std::unique_ptr<TcxGridFilterViewInfo> FFilter;
    std::unique_ptr<TcxGridFooterViewInfo> FFooter;
    std::unique_ptr<TcxGridIndicatorViewInfo> FIndicator;
    int FDataWidth = 0;
    bool FClientBoundsFrozen = false;
    TRect FFrozenClientBounds;
    int FPrevDataRowHeight = 0;
};

// Per record: its height (the base), its preview's height.
class TcxGridTableViewInfoCacheItem : public TcxCustomGridTableViewInfoCacheItem {
    QZ_CLASS(TcxGridTableViewInfoCacheItem, TcxCustomGridTableViewInfoCacheItem)
public:
    using TcxCustomGridTableViewInfoCacheItem::TcxCustomGridTableViewInfoCacheItem;
    void UnassignValues(bool APreserveMasterCache) override;
    int PreviewHeight = 0;
    bool IsPreviewHeightAssigned = false;
};

// Per master record also the sizes of its details site.
class TcxGridMasterTableViewInfoCacheItem : public TcxGridTableViewInfoCacheItem {
    QZ_CLASS(TcxGridMasterTableViewInfoCacheItem, TcxGridTableViewInfoCacheItem)
public:
    using TcxGridTableViewInfoCacheItem::TcxGridTableViewInfoCacheItem;
    void UnassignValues(bool APreserveMasterCache) override;
    int DetailsSiteHeight = 0, DetailsSiteNormalHeight = 0, DetailsSiteWidth = 0;
    bool IsDetailsSiteHeightAssigned = false, IsDetailsSiteNormalHeightAssigned = false,
         IsDetailsSiteWidthAssigned = false;
    // Measured with the height: the detail showed whole in the room it had.
    bool DetailsSiteFullyVisible = false;

private:
    bool FUnassigning = false;
};

class TcxGridTableViewInfoCache : public TcxCustomGridTableViewInfoCache {
    QZ_CLASS(TcxGridTableViewInfoCache, TcxCustomGridTableViewInfoCache)
public:
    using TcxCustomGridTableViewInfoCache::TcxCustomGridTableViewInfoCache;
    TcxCustomGridViewInfoCacheItemClass GetItemClass() override;
};

namespace cxGridTableLayout {
// The column filter drop-down is shown for a pressed filter button by its
// own unit, which sets this at start-up.
void SetShowFilterPopup(const std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& AProc);
void SetHideFilterPopup(const std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& AProc);
}  // namespace cxGridTableLayout
