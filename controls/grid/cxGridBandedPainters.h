// The painters of a banded table view. Bands are painted left-fixed first,
// then right-fixed, then the scrolling ones, each taking itself out of the
// clip region, so that a band scrolled under a fixed one stays hidden
// there; footers and data rows keep to the same order. A data row's band
// areas draw the band's content background, its grid lines between band
// rows and lines, and the fixed-band separators.
#pragma once

#include "cxGridBandedLayout.h"
#include "cxGridTablePainters.h"

#include <memory>

// One band header, drawn as a header button of the look and feel.
class TcxGridBandHeaderPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridBandHeaderPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    // Normal, hot or pressed on the grid itself; normal on another canvas
    // (the picture dragged along while the band moves).
    virtual TcxButtonState GetButtonState();
    virtual void DrawPressed();
    void DrawContent() override;
    void DrawBorders() override {}
    bool ExcludeFromClipRect() override { return true; }
    void Paint() override;
    TcxGridBandHeaderViewInfo* HeaderViewInfo() const { return static_cast<TcxGridBandHeaderViewInfo*>(ViewInfo()); }
};

// One band: its header, its column headers, then its background where
// they leave room, and its separator border.
class TcxGridBandPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridBandPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    virtual void DrawColumnHeaders();
    virtual void DrawHeader();
    void DrawContent() override;
    bool ExcludeFromClipRect() override { return true; }
    TcxGridBandViewInfo* BandViewInfo() const { return static_cast<TcxGridBandViewInfo*>(ViewInfo()); }
};

// The header part: its items are the bands.
class TcxGridBandedHeaderPainter : public TcxGridHeaderPainter {
    QZ_CLASS(TcxGridBandedHeaderPainter, TcxGridHeaderPainter)
public:
    using TcxGridHeaderPainter::TcxGridHeaderPainter;
    virtual void DrawBands();
    void DrawItems() override { DrawBands(); }
};

// The footer: scrolling cells never cover the fixed bands' cells, and
// right-fixed cells never the left-fixed ones.
class TcxGridBandedFooterPainter : public TcxGridFooterPainter {
    QZ_CLASS(TcxGridBandedFooterPainter, TcxGridFooterPainter)
public:
    using TcxGridFooterPainter::TcxGridFooterPainter;
    void DrawItems() override;
};

// A data row's band area: separator strip, grid lines, background.
class TcxGridBandedDataRowCellsAreaItemPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridBandedDataRowCellsAreaItemPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    virtual void DrawSeparator();
    virtual void DrawLines();
    void DrawContent() override;
    void Paint() override;
    bool ExcludeFromClipRect() override { return true; }
    TcxGridBandedDataRowCellsAreaItemViewInfo* ItemViewInfo() const
    {
        return static_cast<TcxGridBandedDataRowCellsAreaItemViewInfo*>(ViewInfo());
    }
};

// A data row's cells band by band: left-fixed, right-fixed, then scrolling
// bands, each band's cells followed by its band area.
class TcxGridBandedRowsPainter : public TcxGridRowsPainter {
    QZ_CLASS(TcxGridBandedRowsPainter, TcxGridRowsPainter)
public:
    TcxGridBandedRowsPainter(TcxCanvas* ACanvas, TcxGridRowsViewInfo* ARows)
        : TcxGridRowsPainter(ACanvas, ARows), FCanvas(ACanvas)
    {
    }
    // The table painter's query for the cells of a data row.
    virtual void DrawDataRowCells(TcxGridDataRowViewInfo* ARow);

private:
    TcxCanvas* FCanvas;
};

class TcxGridBandedTablePainter : public TcxGridTablePainter {
    QZ_CLASS(TcxGridBandedTablePainter, TcxGridTablePainter)
public:
    using TcxGridTablePainter::TcxGridTablePainter;
    // A sideways shift also repaints with band bitmaps, and with fixed bands
    // over grouped rows or a preview.
    bool CanOffset(int ARecordCountDelta, int DX, int DY) override;
    // The table painter's queries for the painters of its view infos and of its rows.
    virtual TcxCustomGridCellPainterClass GetCellPainterClass(TcxCustomGridCellViewInfo* AViewInfo);
    virtual std::unique_ptr<TcxGridRowsPainter> CreateRowsPainter(TcxCanvas* ACanvas, TcxGridRowsViewInfo* ARows);
};
