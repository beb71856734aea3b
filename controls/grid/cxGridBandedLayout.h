// The layout of a banded table view. The header part becomes a row of
// bands, each a band header strip over its band rows of column headers;
// bands fixed to the left or right edge stay put while the others follow
// the horizontal scroll position; the columns of every band row fill their
// band's width, and with column auto width the bands (not the columns)
// share the client width; a data row is as many lines high as the deepest
// band, each cell at the line and height of its column. Everything here is
// rebuilt by every layout pass of the view.
#pragma once

#include "cxClasses.h"
#include "cxGridBandedTableView.h"
#include "cxGridTableLayout.h"

#include <memory>
#include <vector>

class TcxGridBandedTableViewInfo;
class TcxGridBandedHeaderViewInfo;
class TcxGridBandsViewInfo;
class TcxGridBandViewInfo;
class TcxGridBandHeaderViewInfo;
class TcxGridBandRowsViewInfo;
class TcxGridBandRowViewInfo;
class TcxGridBandedRowsViewInfo;

// ---- column headers ---------------------------------------------------------------------------------

// A column header of the banded view's header: it stands in a band row,
// may be several lines high, and may carry a vertical sizing edge.
class TcxGridBandedColumnHeaderViewInfo : public TcxGridColumnHeaderViewInfo {
    QZ_CLASS(TcxGridBandedColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)
public:
    using TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo;
    // The column may be sized vertically and the header stands in the view's header.
    virtual bool ShowsVertSizingEdge();
    void GetAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& AClasses) override;
    int GetMaxWidth() override;
    bool GetMultiLinePainting() override;
    TcxGridBandedColumn* BandedColumn() const { return static_cast<TcxGridBandedColumn*>(Column()); }
    // The band row that shows the header (null outside the view's header).
    TcxGridBandRowViewInfo* RowViewInfo();
};

// The strip along a column header's bottom edge that sizes the column in
// whole lines: as wide as the header, 4 pixels above and 4 below its
// bottom edge. It takes no room from the text and is not drawn.
class TcxGridBandedColumnHeaderVertSizingEdgeViewInfo : public TcxGridColumnHeaderAreaViewInfo {
    QZ_CLASS(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)
public:
    using TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo;
    static constexpr int Height = 8;
    bool OccupiesSpace() override { return false; }
    int CalculateWidth() override { return 0; }
    int CalculateHeight() override { return Height; }
    TcxAlignmentVert GetAlignmentVert() override { return vaBottom; }
    void CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds) override;
    TClass GetHitTestClass() override;
};

// Where a moved column would be dropped in a banded view: before the
// visible column ColIndex of the visible row RowIndex of Band, or, with a
// column index (ItemIndex) of -1, into a new row inserted at RowIndex.
class TcxGridBandedColumnContainerZone : public TcxGridColumnContainerZone {
    QZ_CLASS(TcxGridBandedColumnContainerZone, TcxGridColumnContainerZone)
public:
    TcxGridBandedColumnContainerZone(int AColumnIndex = -1, TcxGridBand* ABand = nullptr, int AColIndex = 0,
                                     int ARowIndex = 0)
        : TcxGridColumnContainerZone(AColumnIndex), Band(ABand), ColIndex(AColIndex), RowIndex(ARowIndex)
    {
    }
    // Equal when of the same class with the same four values.
    static bool IsEqual(const TcxGridColumnContainerZone* A, const TcxGridColumnContainerZone* B);
    TcxGridBand* Band;
    int ColIndex;
    int RowIndex;
};

// ---- band rows ----------------------------------------------------------------------------------------

// One visible row of a band: its column headers left to right.
class TcxGridBandRowViewInfo : public TObject {
    QZ_CLASS(TcxGridBandRowViewInfo, TObject)
public:
    TcxGridBandRowViewInfo(TcxGridBandRowsViewInfo* ARowsViewInfo, int AIndex);
    void AfterConstruction() override;

    virtual void CollectRowHeaders();
    virtual void Calculate(const TRect& ABounds);
    // The headers share the band's inner width.
    virtual void FitColumnWidths();
    virtual int CalculateHeight();
    virtual int CalculateLineCount();
    virtual int CalculateWidth();
    virtual void Offset(int DX, int DY);

    TcxGridBandRowsViewInfo* RowsViewInfo() const { return FRowsViewInfo; }
    TcxGridBandViewInfo* BandViewInfo() const;
    int VisibleIndex() const { return FIndex; }
    TcxGridBandRow* Row() const;
    int Count() const { return int(FItems.size()); }
    TcxGridBandedColumnHeaderViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)]; }
    int IndexOf(const TcxGridColumnHeaderViewInfo* AItem) const;
    int Height();
    int LineCount();
    int FirstLine() const;
    int Width();
    // The sum of its columns' minimum widths.
    int MinimumWidth();
    // Every column of the row takes the width its header shows.
    void StoreColumnWidths();
    TRect Bounds;

private:
    TcxGridBandRowsViewInfo* FRowsViewInfo;
    int FIndex;
    std::vector<TcxGridBandedColumnHeaderViewInfo*> FItems;
    int FHeight = -1;
    int FLineCount = -1;
};
using TcxGridBandRowViewInfoClass = TcxGridClassRef<TcxGridBandRowViewInfo, TcxGridBandRowsViewInfo*, int>;

// The visible rows of a band, stacked from the top.
class TcxGridBandRowsViewInfo : public TObject {
    QZ_CLASS(TcxGridBandRowsViewInfo, TObject)
public:
    explicit TcxGridBandRowsViewInfo(TcxGridBandViewInfo* ABandViewInfo);
    ~TcxGridBandRowsViewInfo() override;
    void AfterConstruction() override;

    virtual void Calculate(const TRect& ABounds);
    virtual void FitColumnWidths();
    virtual int CalculateWidth();
    virtual TcxGridBandRowViewInfoClass RowViewInfoClass();
    virtual void Offset(int DX, int DY);

    TcxGridBandViewInfo* BandViewInfo() const { return FBandViewInfo; }
    int Count() const { return int(FItems.size()); }
    TcxGridBandRowViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)].get(); }
    // The visible row containing P vertically (-1: none).
    int RowIndexAt(int Y) const;
    int Width();
    TRect Bounds;

private:
    TcxGridBandViewInfo* FBandViewInfo;
    std::vector<std::unique_ptr<TcxGridBandRowViewInfo>> FItems;
    int FWidth = -1;
};
using TcxGridBandRowsViewInfoClass = TcxGridClassRef<TcxGridBandRowsViewInfo, TcxGridBandViewInfo*>;

// ---- bands ---------------------------------------------------------------------------------------------

// A band's caption strip.
class TcxGridBandHeaderViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxGridBandHeaderViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxGridBandHeaderViewInfo(TcxGridBandViewInfo* ABandViewInfo);
    // Pressed itself or its band held down by the controller.
    virtual bool IsPressed();
    // Within 4 pixels either side of the right edge, over the header's height.
    virtual TRect SizingEdgeRect();

    TcxGridBandViewInfo* BandViewInfo() const { return FBandViewInfo; }
    TcxGridBand* Band() const;
    TcxGridBandedTableView* BandedView() const;
    int CalculateHeight() override;
    int CalculateWidth() override;
    std::string GetText() override;
    TAlignment GetAlignmentHorz() override;
    TcxAlignmentVert GetAlignmentVert() override;
    TcxBorders GetBorders() override { return cxBordersAll; }
    int GetBorderWidth(TcxBorder ABorder) override;
    TBitmap* GetBackgroundBitmap() override;
    bool GetHotTrack() override;
    bool GetMultiLine() override;
    bool GetMultiLinePainting() override;
    bool GetShowEndEllipsis() override;
    void GetViewParams(TcxViewParams& AParams) override;
    bool HasCustomDraw() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void StateChanged() override;

    static constexpr int SizingEdgeHalfWidth = 4;

private:
    TcxGridBandViewInfo* FBandViewInfo;
};
using TcxGridBandHeaderViewInfoClass = TcxGridClassRef<TcxGridBandHeaderViewInfo, TcxGridBandViewInfo*>;

// One visible band of the header: its header strip over its rows, with a
// border where it meets the unfixed bands.
class TcxGridBandViewInfo : public TcxCustomGridCellViewInfo {
    QZ_CLASS(TcxGridBandViewInfo, TcxCustomGridCellViewInfo)
public:
    TcxGridBandViewInfo(TcxGridBandsViewInfo* ABandsViewInfo, int AIndex);
    ~TcxGridBandViewInfo() override;
    void AfterConstruction() override;

    virtual void CollectColumnHeaders();
    virtual void FitColumnWidths();
    // The header strip and the rows area inside the band's content bounds.
    virtual TRect HeaderStrip();
    virtual TRect RowsArea();
    virtual bool IsSizable();
    virtual void ClampWidth(int& AWidth);
    // Every column of the band has a fixed width (false without columns).
    virtual bool AllColumnsLocked();
    virtual TcxGridBandHeaderViewInfoClass HeaderViewInfoClass();
    virtual int MaximumWidth();
    virtual int MinimumWidth();
    virtual TcxGridBandRowsViewInfoClass RowsViewInfoClass();

    TcxGridBandsViewInfo* BandsViewInfo() const { return FBandsViewInfo; }
    TcxGridBandedTableView* BandedView() const;
    int VisibleIndex() const { return FIndex; }
    TcxGridBand* Band() const;
    TcxGridBandFixedKind FixedKind() const;
    bool IsLast() const;
    int LineCount();
    int RowCount();
    int ColumnHeaderCount() const { return int(FColumnHeaders.size()); }
    TcxGridBandedColumnHeaderViewInfo* ColumnHeaders(int AIndex) const { return FColumnHeaders[size_t(AIndex)]; }
    TcxGridBandHeaderViewInfo* HeaderViewInfo() const { return FHeader.get(); }
    TcxGridBandRowsViewInfo* RowsViewInfo() const { return FRows.get(); }
    int Width();
    // The width less the separator borders.
    int InnerWidth();
    // Fills an item of the band auto-width distributor.
    void FillWidthItem(TcxAutoWidthItem* AItem);
    // Keeps its width while the bands share the client width.
    bool BandWidthLocked();
    // A fixed-band separator on that side.
    bool HasSeparator(TcxBorder ASide);

    int CalculateWidth() override;
    int GetWidth() override { return Width(); }
    // The width the band auto width gives it.
    void AssignWidth(int AWidth) { FWidth = AWidth; }
    TcxBorders GetBorders() override;
    int GetBorderWidth(TcxBorder ABorder) override;
    TColor GetBorderColor(TcxBorder ABorder) override;
    TBitmap* GetBackgroundBitmap() override;
    void GetViewParams(TcxViewParams& AParams) override;
    bool HasCustomDrawBackground() override;
    bool CustomDrawBackground(TcxCanvas* ACanvas) override;
    TcxCanvas* GetCanvas() override;
    TcxControl* GetControl() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;

private:
    TcxGridBandsViewInfo* FBandsViewInfo;
    int FIndex;
    std::vector<TcxGridBandedColumnHeaderViewInfo*> FColumnHeaders;
    std::unique_ptr<TcxGridBandHeaderViewInfo> FHeader;
    std::unique_ptr<TcxGridBandRowsViewInfo> FRows;
    int FWidth = -1;
};
using TcxGridBandViewInfoClass = TcxGridClassRef<TcxGridBandViewInfo, TcxGridBandsViewInfo*, int>;

// The bands of the header, one slot per visible band made on first use.
class TcxGridBandsViewInfo : public TObject {
    QZ_CLASS(TcxGridBandsViewInfo, TObject)
public:
    explicit TcxGridBandsViewInfo(TcxGridBandedHeaderViewInfo* AHeader);
    ~TcxGridBandsViewInfo() override;

    // Places the bands in the header part's bounds.
    virtual void Calculate(const TRect& ABounds);
    // The band headers' height.
    virtual int CalculateHeight();
    virtual void FitColumnWidths();
    // The band headers and, when shown, the column rows.
    virtual int GetHeight();
    // The sum of the band widths.
    virtual int GetWidth();
    virtual TBitmap* BandBackgroundBitmap();
    virtual TBitmap* BandHeaderBitmap();
    virtual TcxGridBandViewInfoClass BandViewInfoClass();
    virtual bool BandHeaderHeightSet();
    virtual bool BandHeadersShown();
    virtual bool ColumnHeadersShown();
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    virtual void Offset(int DX, int DY);

    TcxGridBandedHeaderViewInfo* Header() const { return FHeader; }
    TcxGridBandedTableView* BandedView() const;
    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    int Count() const { return int(FItems.size()); }
    TcxGridBandViewInfo* Items(int AIndex);
    // The last left-fixed band (fkLeft) or the first right-fixed one (fkRight); null otherwise.
    TcxGridBandViewInfo* SeparatorBand(TcxGridBandFixedKind AFixedKind);
    int BandHeaderHeight();
    int MaxLineCount();
    int MaxRowCount();
    // With column auto width the bands share the client width.
    void CalculateAutoWidths();
    // Every band takes the width it shows, less its separator borders.
    void StoreBandWidths();
    // Where a moved band would go: before visible band i (the count: at the end), -1 nowhere.
    int BandDropIndexAt(const TPoint& P);

private:
    TcxGridBandedHeaderViewInfo* FHeader;
    std::vector<std::unique_ptr<TcxGridBandViewInfo>> FItems;
    int FBandHeaderHeight = -1;
    int FMaxLineCount = -1;
    int FMaxRowCount = -1;
};
using TcxGridBandsViewInfoClass = TcxGridClassRef<TcxGridBandsViewInfo, TcxGridBandedHeaderViewInfo*>;

// ---- the header and the footer ----------------------------------------------------------------------

class TcxGridBandedHeaderViewInfoSpecific : public TcxGridHeaderViewInfoSpecific {
    QZ_CLASS(TcxGridBandedHeaderViewInfoSpecific, TcxGridHeaderViewInfoSpecific)
public:
    using TcxGridHeaderViewInfoSpecific::TcxGridHeaderViewInfoSpecific;
    // The column rows: as many lines as the deepest band.
    int GetHeight() override;
};

class TcxGridBandedHeaderViewInfo : public TcxGridHeaderViewInfo {
    QZ_CLASS(TcxGridBandedHeaderViewInfo, TcxGridHeaderViewInfo)
public:
    using TcxGridHeaderViewInfo::TcxGridHeaderViewInfo;
    ~TcxGridBandedHeaderViewInfo() override;
    void AfterConstruction() override;
    virtual TcxGridBandsViewInfoClass BandsViewInfoClass();

    TcxGridBandsViewInfo* BandsViewInfo() const { return FBands.get(); }
    TcxGridBandedTableView* BandedView() const;
    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    // Where a column dragged over P (client coordinates) would be dropped; null: nowhere.
    std::unique_ptr<TcxGridBandedColumnContainerZone> ZoneAt(const TPoint& P);

    void CalculateColumnAutoWidths() override;
    void CalculateItems() override;
    bool IsHeightAssigned() override;
    bool IsItemAutoHeight() override;
    TcxNeighbors GetColumnNeighbors(TcxGridColumn* AColumn) override;
    TcxGridColumnHeaderViewInfoClass GetItemClass() override;
    bool IsHorzScrollable() override;
    int CalculateHeight() override;
    int CalculateWidth() override;
    bool GetVisible() override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    void DoOffset(int DX, int DY) override;

private:
    std::unique_ptr<TcxGridBandsViewInfo> FBands;
};

// The footer has as many lines as the header's column rows.
class TcxGridBandedFooterViewInfo : public TcxGridFooterViewInfo {
    QZ_CLASS(TcxGridBandedFooterViewInfo, TcxGridFooterViewInfo)
public:
    using TcxGridFooterViewInfo::TcxGridFooterViewInfo;
    int CalculateItemHeight() override;
};

// ---- data rows ------------------------------------------------------------------------------------------

class TcxGridBandedDataRowCellsAreaViewInfo;

// The part of a data row's cells area under one band: the band's content
// background where its cells leave room, its grid lines between band rows
// and lines, and its fixed-band separator.
class TcxGridBandedDataRowCellsAreaItemViewInfo : public TcxGridCellViewInfo {
    QZ_CLASS(TcxGridBandedDataRowCellsAreaItemViewInfo, TcxGridCellViewInfo)
public:
    TcxGridBandedDataRowCellsAreaItemViewInfo(TcxGridBandedDataRowCellsAreaViewInfo* ACellsArea,
                                              TcxGridBandViewInfo* ABandViewInfo);
    virtual void CollectGridLines();
    virtual TRect SeparatorStrip();

    TcxGridBandedDataRowCellsAreaViewInfo* CellsArea() const { return FCellsArea; }
    TcxGridBandViewInfo* BandViewInfo() const { return FBandViewInfo; }
    int GridLineCount() const { return int(FGridLines.size()); }
    const TRect& GridLines(int AIndex) const { return FGridLines[size_t(AIndex)]; }
    bool HasSeparator();

    int CalculateWidth() override { return 0; }
    int CalculateHeight() override { return 0; }
    TcxBorders GetBorders() override;
    void GetViewParams(TcxViewParams& AParams) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    void DoOffset(int DX, int DY) override;

private:
    TcxGridBandedDataRowCellsAreaViewInfo* FCellsArea;
    TcxGridBandViewInfo* FBandViewInfo;
    std::vector<TRect> FGridLines;
};
using TcxGridBandedDataRowCellsAreaItemViewInfoClass =
    TcxGridClassRef<TcxGridBandedDataRowCellsAreaItemViewInfo, TcxGridBandedDataRowCellsAreaViewInfo*,
                    TcxGridBandViewInfo*>;

// A data row's cells area, shown when the rows need band areas: one item per visible band.
class TcxGridBandedDataRowCellsAreaViewInfo : public TcxGridDataRowCellsAreaViewInfo {
    QZ_CLASS(TcxGridBandedDataRowCellsAreaViewInfo, TcxGridDataRowCellsAreaViewInfo)
public:
    using TcxGridDataRowCellsAreaViewInfo::TcxGridDataRowCellsAreaViewInfo;
    ~TcxGridBandedDataRowCellsAreaViewInfo() override;
    void AfterConstruction() override;
    virtual TcxGridBandedDataRowCellsAreaItemViewInfoClass AreaItemClass();

    TcxGridDataRowViewInfo* DataRowViewInfo() const
    {
        return static_cast<TcxGridDataRowViewInfo*>(RecordViewInfo());
    }
    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    int Count() const { return int(FItems.size()); }
    TcxGridBandedDataRowCellsAreaItemViewInfo* Items(int AIndex) const { return FItems[size_t(AIndex)].get(); }

    bool CalculateVisible() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    void DoOffset(int DX, int DY) override;
    void Invalidate() override;

private:
    std::vector<std::unique_ptr<TcxGridBandedDataRowCellsAreaItemViewInfo>> FItems;
};

class TcxGridBandedRowsViewInfo : public TcxGridRowsViewInfo {
    QZ_CLASS(TcxGridBandedRowsViewInfo, TcxGridRowsViewInfo)
public:
    using TcxGridRowsViewInfo::TcxGridRowsViewInfo;
    void AfterConstruction() override;
    // Data rows show band areas: more than one line, or a band without
    // columns, fixed, or of fixed-width columns only.
    virtual bool UsesBandAreas() { return FUsesBandAreas; }
    virtual bool DrawsVertLines();
    virtual bool DrawsHorzLines();

    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    int CalculateDataRowHeight() override;
    bool IsDataRowHeightAssigned() override;
    bool GetAutoCellHeight() override;
    bool CanSizeDataRows() override;
    TcxGridDataRowCellsAreaViewInfoClass GetCellsAreaViewInfoClass() override;

private:
    bool CalculateUsesBandAreas();
    bool FUsesBandAreas = false;
};

// ---- the view's layout -------------------------------------------------------------------------------

using TcxGridHeaderViewInfoClass = TcxGridClassRef<TcxGridHeaderViewInfo, TcxGridTableViewInfo*>;
using TcxGridFooterViewInfoClass = TcxGridClassRef<TcxGridFooterViewInfo, TcxGridTableViewInfo*>;

class TcxGridBandedTableViewInfo : public TcxGridTableViewInfo {
    QZ_CLASS(TcxGridBandedTableViewInfo, TcxGridTableViewInfo)
public:
    using TcxGridTableViewInfo::TcxGridTableViewInfo;
    TcxGridBandedTableView* BandedView() const { return static_cast<TcxGridBandedTableView*>(GridView()); }
    TcxGridBandedHeaderViewInfo* BandedHeaderViewInfo() const
    {
        return static_cast<TcxGridBandedHeaderViewInfo*>(HeaderViewInfo());
    }
    TcxGridBandsViewInfo* BandsViewInfo() const;
    TcxGridBandedRowsViewInfo* BandedRowsViewInfo() const
    {
        return static_cast<TcxGridBandedRowsViewInfo*>(RowsViewInfo());
    }
    TColor GetFixedBandSeparatorColor();
    int GetFixedBandSeparatorWidth();
    // The view's horizontal scroll area between the fixed bands.
    TRect GetScrollableAreaBounds();
    // The client area narrowed the same way.
    TRect GetScrollableClientBounds();
    // The deepest band's line count (at least 1).
    int MaxLineCount();

    // The table layout's queries for its header and footer classes.
    virtual TcxGridHeaderViewInfoClass GetHeaderViewInfoClass();
    virtual TcxGridFooterViewInfoClass GetFooterViewInfoClass();
    TcxGridHeaderViewInfoSpecificClass GetHeaderViewInfoSpecificClass() override;
    TcxCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() override;
    int CalculateDataWidth() override;
    // AHeight is the height of all lines of a row; a cell is its column's lines of it.
    int GetCellHeight(int AIndex, int AHeight) override;
    int GetCellTopOffset(int AIndex, int AHeight) override;
    // Fixed bands stay where they are: a sideways scroll is laid out anew.
    bool CanOffsetView(int ARecordCountDelta, int DX, int DY) override;
};
