// The painters of a table view. They only read the layout: the view
// painter paints the parts (group-by box, filter box, indicator, header,
// footer), then the records, and draws the grid lines the cells handed in
// as one poly-polyline in the grid-line colour; the part, header, footer,
// filter box and indicator painters take what they painted out of the clip
// region, so nothing painted later covers it.
#pragma once

#include "cxGridTableLayout.h"
#include "cxGridTableRows.h"

#include <memory>
#include <vector>

// ---- parts and column containers ------------------------------------------------------------------

class TcxCustomGridPartPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxCustomGridPartPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    bool ExcludeFromClipRect() override { return true; }
};

// A row of column header cells: clipped to its bounds, its cells drawn
// before or after its own background as the look says.
class TcxGridColumnContainerPainter : public TcxCustomGridPartPainter {
    QZ_CLASS(TcxGridColumnContainerPainter, TcxCustomGridPartPainter)
public:
    using TcxCustomGridPartPainter::TcxCustomGridPartPainter;
    virtual bool DrawItemsFirst() { return true; }
    virtual void DrawItems();
    void DrawContent() override;
    TcxGridColumnContainerViewInfo* ContainerViewInfo() const
    {
        return static_cast<TcxGridColumnContainerViewInfo*>(ViewInfo());
    }
};

class TcxGridHeaderPainter : public TcxGridColumnContainerPainter {
    QZ_CLASS(TcxGridHeaderPainter, TcxGridColumnContainerPainter)
public:
    using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
    bool DrawItemsFirst() override;
};

// The group-by box joins its grouped columns' cells with connectors.
class TcxGridGroupByBoxPainter : public TcxGridColumnContainerPainter {
    QZ_CLASS(TcxGridGroupByBoxPainter, TcxGridColumnContainerPainter)
public:
    using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
    void DrawContent() override;
    virtual void DrawConnectors();
};

class TcxGridFooterPainter : public TcxGridColumnContainerPainter {
    QZ_CLASS(TcxGridFooterPainter, TcxGridColumnContainerPainter)
public:
    using TcxGridColumnContainerPainter::TcxGridColumnContainerPainter;
    bool DrawItemsFirst() override;
    // The separator over the footer, then the footer's frame.
    void DrawBorders() override;
    TcxGridFooterViewInfo* FooterViewInfo() const { return static_cast<TcxGridFooterViewInfo*>(ViewInfo()); }
};

// ---- header cells and their areas ---------------------------------------------------------------

class TcxGridColumnHeaderPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridColumnHeaderPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    // Normal, hot or pressed on the cell's own canvas; always normal on
    // another one (the picture dragged along when the column moves).
    virtual TcxButtonState GetButtonState();
    virtual void DrawAreas();
    void DrawContent() override;
    void DrawBorders() override {}
    void Paint() override;
    bool ExcludeFromClipRect() override { return true; }
    TcxGridColumnHeaderViewInfo* HeaderViewInfo() const
    {
        return static_cast<TcxGridColumnHeaderViewInfo*>(ViewInfo());
    }
};

class TcxGridFooterCellPainter : public TcxGridColumnHeaderPainter {
    QZ_CLASS(TcxGridFooterCellPainter, TcxGridColumnHeaderPainter)
public:
    using TcxGridColumnHeaderPainter::TcxGridColumnHeaderPainter;
    void DrawContent() override;
    void Paint() override { TcxCustomGridCellPainter::Paint(); }
};

class TcxGridColumnHeaderAreaPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridColumnHeaderAreaPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawBorders() override {}
    TcxGridColumnHeaderAreaViewInfo* AreaViewInfo() const
    {
        return static_cast<TcxGridColumnHeaderAreaViewInfo*>(ViewInfo());
    }
};

class TcxGridColumnHeaderSortingMarkPainter : public TcxGridColumnHeaderAreaPainter {
    QZ_CLASS(TcxGridColumnHeaderSortingMarkPainter, TcxGridColumnHeaderAreaPainter)
public:
    using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
    void DrawContent() override;
};

class TcxGridColumnHeaderFilterButtonPainter : public TcxGridColumnHeaderAreaPainter {
    QZ_CLASS(TcxGridColumnHeaderFilterButtonPainter, TcxGridColumnHeaderAreaPainter)
public:
    using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
    void DrawContent() override;
};

class TcxGridColumnHeaderGlyphPainter : public TcxGridColumnHeaderAreaPainter {
    QZ_CLASS(TcxGridColumnHeaderGlyphPainter, TcxGridColumnHeaderAreaPainter)
public:
    using TcxGridColumnHeaderAreaPainter::TcxGridColumnHeaderAreaPainter;
    void DrawContent() override;
};

// ---- the filter box ---------------------------------------------------------------------------------

class TcxCustomGridFilterButtonPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxCustomGridFilterButtonPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    TcxButtonState GetButtonState();
    void DrawBorders() override {}
    bool ExcludeFromClipRect() override { return true; }
};

class TcxGridFilterCloseButtonPainter : public TcxCustomGridFilterButtonPainter {
    QZ_CLASS(TcxGridFilterCloseButtonPainter, TcxCustomGridFilterButtonPainter)
public:
    using TcxCustomGridFilterButtonPainter::TcxCustomGridFilterButtonPainter;
    void DrawContent() override;
};

class TcxGridFilterActivateButtonPainter : public TcxCustomGridFilterButtonPainter {
    QZ_CLASS(TcxGridFilterActivateButtonPainter, TcxCustomGridFilterButtonPainter)
public:
    using TcxCustomGridFilterButtonPainter::TcxCustomGridFilterButtonPainter;
    void DrawContent() override;
};

class TcxGridFilterCustomizeButtonPainter : public TcxCustomGridFilterButtonPainter {
    QZ_CLASS(TcxGridFilterCustomizeButtonPainter, TcxCustomGridFilterButtonPainter)
public:
    using TcxCustomGridFilterButtonPainter::TcxCustomGridFilterButtonPainter;
    void DrawContent() override;
};

class TcxGridFilterPainter : public TcxCustomGridPartPainter {
    QZ_CLASS(TcxGridFilterPainter, TcxCustomGridPartPainter)
public:
    using TcxCustomGridPartPainter::TcxCustomGridPartPainter;
    void Paint() override;
};

// ---- the indicator ------------------------------------------------------------------------------------

class TcxCustomGridIndicatorItemPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxCustomGridIndicatorItemPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawBorders() override {}
    bool ExcludeFromClipRect() override { return true; }
};

class TcxGridIndicatorHeaderItemPainter : public TcxCustomGridIndicatorItemPainter {
    QZ_CLASS(TcxGridIndicatorHeaderItemPainter, TcxCustomGridIndicatorItemPainter)
public:
    using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
    void DrawContent() override;
};

class TcxGridIndicatorRowItemPainter : public TcxCustomGridIndicatorItemPainter {
    QZ_CLASS(TcxGridIndicatorRowItemPainter, TcxCustomGridIndicatorItemPainter)
public:
    using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
    void DrawContent() override;
};

class TcxGridIndicatorFooterItemPainter : public TcxCustomGridIndicatorItemPainter {
    QZ_CLASS(TcxGridIndicatorFooterItemPainter, TcxCustomGridIndicatorItemPainter)
public:
    using TcxCustomGridIndicatorItemPainter::TcxCustomGridIndicatorItemPainter;
    void DrawBorders() override;
};

class TcxGridIndicatorPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridIndicatorPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    virtual void DrawItems();
    void DrawContent() override;
    bool ExcludeFromClipRect() override { return true; }
    TcxGridIndicatorViewInfo* IndicatorViewInfo() const { return static_cast<TcxGridIndicatorViewInfo*>(ViewInfo()); }
};

// ---- rows ------------------------------------------------------------------------------------------------

// A data cell whose grid lines join the view's poly-polyline.
class TcxGridDataCellPainter : public TcxGridTableDataCellPainter {
    QZ_CLASS(TcxGridDataCellPainter, TcxGridTableDataCellPainter)
public:
    using TcxGridTableDataCellPainter::TcxGridTableDataCellPainter;
    void DrawBorder(TcxBorder ABorder) override;
};

// What every row has: its group footers, level indents, the last grid line and the separator.
class TcxCustomGridRowPainter : public TcxCustomGridRecordPainter {
    QZ_CLASS(TcxCustomGridRowPainter, TcxCustomGridRecordPainter)
public:
    using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
    virtual void DrawFooters();
    virtual void DrawLevelIndents();
    virtual void DrawLastHorzGridLine();
    virtual void DrawSeparator();
    void BeforePaint() override;
    TcxCustomGridRowViewInfo* RowViewInfo() const { return static_cast<TcxCustomGridRowViewInfo*>(ViewInfo()); }
};

// A data row: its cells one by one, then its preview.
class TcxGridDataRowPainter : public TcxCustomGridRowPainter {
    QZ_CLASS(TcxGridDataRowPainter, TcxCustomGridRowPainter)
public:
    using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
    void Paint() override;
};

// The new-item row: the info text in place of its cells until it takes the
// focus, then the separator band below it.
class TcxGridNewItemRowPainter : public TcxGridDataRowPainter {
    QZ_CLASS(TcxGridNewItemRowPainter, TcxGridDataRowPainter)
public:
    using TcxGridDataRowPainter::TcxGridDataRowPainter;
    void DrawBackground() override;
    virtual void DrawNewItemRowSeparator();
    void Paint() override;
    TcxGridNewItemRowViewInfo* NewItemRowViewInfo() const
    {
        return static_cast<TcxGridNewItemRowViewInfo*>(ViewInfo());
    }
};

// A master row: its expand button cell, its details while shown, then its cells.
class TcxGridMasterDataRowPainter : public TcxGridDataRowPainter {
    QZ_CLASS(TcxGridMasterDataRowPainter, TcxGridDataRowPainter)
public:
    using TcxGridDataRowPainter::TcxGridDataRowPainter;
    virtual void DrawDetailsSite();
    virtual void DrawDetailsArea();
    virtual void DrawExpandButtonCell();
    // The details reach outside the row's cells: either may need painting.
    bool IsVisible() override;
    void Paint() override;
    TcxGridMasterDataRowViewInfo* MasterRowViewInfo() const
    {
        return static_cast<TcxGridMasterDataRowViewInfo*>(ViewInfo());
    }
};

// The expand button column of a master row; its right line runs beside the details only.
class TcxGridExpandButtonCellPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridExpandButtonCellPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawBorder(TcxBorder ABorder) override;
    void DrawContent() override;
};

// A group row has no background of its own: its cell covers it.
class TcxGridGroupRowPainter : public TcxCustomGridRowPainter {
    QZ_CLASS(TcxGridGroupRowPainter, TcxCustomGridRowPainter)
public:
    using TcxCustomGridRowPainter::TcxCustomGridRowPainter;
    void DrawBackground() override {}
    void DrawSeparator() override;
    void Paint() override;
    TcxGridGroupRowViewInfo* GroupRowViewInfo() const { return static_cast<TcxGridGroupRowViewInfo*>(ViewInfo()); }
};

// The group cell; under the expand button of an expanded group its bottom
// line gives way to the group's colour.
class TcxGridGroupCellPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridGroupCellPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawBorder(TcxBorder ABorder) override;
    void DrawContent() override;
};

// The rows area: the new-item row first, then the rows.
class TcxGridRowsPainter : public TcxCustomGridRecordsPainter {
    QZ_CLASS(TcxGridRowsPainter, TcxCustomGridRecordsPainter)
public:
    TcxGridRowsPainter(TcxCanvas* ACanvas, TcxGridRowsViewInfo* AViewInfo)
        : TcxCustomGridRecordsPainter(ACanvas, AViewInfo), FCanvas(ACanvas), FRows(AViewInfo)
    {
    }
    void Paint() override;
    // A data row's cells, then its cells area when shown.
    virtual void DrawDataRowCells(TcxGridDataRowViewInfo* ARow);
    TcxCanvas* Canvas() const { return FCanvas; }
    TcxGridRowsViewInfo* RowsViewInfo() const { return FRows; }

private:
    TcxCanvas* FCanvas;
    TcxGridRowsViewInfo* FRows;
};

// ---- the view -----------------------------------------------------------------------------------------

class TcxGridTablePainter : public TcxCustomGridTablePainter {
    QZ_CLASS(TcxGridTablePainter, TcxCustomGridTablePainter)
public:
    using TcxCustomGridTablePainter::TcxCustomGridTablePainter;
    TcxGridTableView* GridView() const { return static_cast<TcxGridTableView*>(TcxCustomGridTablePainter::GridView()); }
    TcxGridTableViewInfo* TableViewInfo() const;
    void PaintContent() override;
    virtual void DrawParts();
    virtual void DrawGridLines();
    // Collects a grid line while the records paint; false when no
    // collection runs (the caller then fills the rectangle itself).
    bool AddGridLine(const TRect& R);
    // Whether scrolling may shift the painted image instead of repainting.
    virtual bool CanOffset(int ARecordCountDelta, int DX, int DY);
    // The painter of a view info of the view's layout (null: none).
    virtual TcxCustomGridCellPainterClass GetCellPainterClass(TcxCustomGridCellViewInfo* AViewInfo);
    virtual std::unique_ptr<TcxGridRowsPainter> CreateRowsPainter(TcxCanvas* ACanvas, TcxGridRowsViewInfo* ARows);

private:
    std::unique_ptr<std::vector<TRect>> FGridLines;
};

namespace cxGridTablePainters {
// Unit start-up: the table view paints through TcxGridTablePainter.
void Initialize();
// The painter class for a view info of the table's layout (null: none):
// what the view's painter answers.
TcxCustomGridCellPainterClass PainterClassFor(TcxCustomGridCellViewInfo* AViewInfo);
// What the table painter answers for the table's own view infos.
TcxCustomGridCellPainterClass TablePainterClassFor(TcxCustomGridCellViewInfo* AViewInfo);
// Paints a visible view info with its painter.
void PaintViewInfo(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo);
// The look's button state for a cell's state.
TcxButtonState ButtonStateOf(TcxGridCellState AState);
}  // namespace cxGridTablePainters
