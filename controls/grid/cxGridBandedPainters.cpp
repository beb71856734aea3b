#include "cxGridBandedPainters.h"

#include "cxLookAndFeelPainters.h"

QZ_CLASS_IMPL(TcxGridBandHeaderPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridBandPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridBandedHeaderPainter, TcxGridHeaderPainter)
QZ_CLASS_IMPL(TcxGridBandedFooterPainter, TcxGridFooterPainter)
QZ_CLASS_IMPL(TcxGridBandedDataRowCellsAreaItemPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridBandedRowsPainter, TcxGridRowsPainter)
QZ_CLASS_IMPL(TcxGridBandedTablePainter, TcxGridTablePainter)

using cxGridTablePainters::PaintViewInfo;

namespace {

template <class P> TcxCustomGridCellPainterClass ClassOf() { return TcxCustomGridCellPainterClass::Of<P>(); }

// Paints a view info with a painter of class P when it shows.
template <class P> void PaintWith(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo)
{
    if (!AViewInfo || !AViewInfo->GetVisible()) return;
    P painter(ACanvas, AViewInfo);
    painter.MainPaint();
}

TcxGridBandsViewInfo* BandsOfView(TcxGridBandedTableView* AView)
{
    auto* viewInfo = AView ? DynamicCast<TcxGridBandedTableViewInfo>(AView->ViewInfo()) : nullptr;
    return viewInfo ? viewInfo->BandsViewInfo() : nullptr;
}

// The bands of one fixed kind, in visible order.
template <class F> void ForBandsOfKind(TcxGridBandsViewInfo* ABands, TcxGridBandFixedKind AKind, F AStep)
{
    for (int i = 0; i < ABands->Count(); ++i)
        if (ABands->Items(i)->FixedKind() == AKind) AStep(i, ABands->Items(i));
}

constexpr TcxGridBandFixedKind PaintOrder[] = {fkLeft, fkRight, fkNone};

// What the table painter answers for the table's own view infos: its own
// query where it has one (it then routes the view's painting through this
// painter), the table's class lookup otherwise.
template <class P>
auto TablePainterClass(P* APainter, TcxCustomGridCellViewInfo* AViewInfo, int)
    -> decltype(APainter->P::GetCellPainterClass(AViewInfo))
{
    return APainter->P::GetCellPainterClass(AViewInfo);
}
template <class P> TcxCustomGridCellPainterClass TablePainterClass(P*, TcxCustomGridCellViewInfo* AViewInfo, long)
{
    return cxGridTablePainters::PainterClassFor(AViewInfo);
}

}  // namespace

// ---- band headers ---------------------------------------------------------------------------------------

TcxButtonState TcxGridBandHeaderPainter::GetButtonState()
{
    if (!IsMainCanvasInUse()) return cxbsNormal;
    if (HeaderViewInfo()->IsPressed()) return cxbsPressed;
    return cxGridTablePainters::ButtonStateOf(ViewInfo()->State());
}

void TcxGridBandHeaderPainter::DrawContent()
{
    TcxGridBandHeaderViewInfo* vi = HeaderViewInfo();
    TRect text;
    vi->GetTextAreaBounds(text);
    vi->BandedView()->LookAndFeelPainter()->DrawHeader(
        Canvas(), vi->Bounds, text, {}, cxBordersAll, GetButtonState(), vi->AlignmentHorz, vi->AlignmentVert,
        vi->MultiLinePainting, vi->GetShowEndEllipsis(), vi->Text, vi->Params.Font, vi->Params.TextColor,
        vi->Params.Color, [this](TcxCanvas* ACanvas, const TRect& R) { return DrawBackgroundBitmap(ACanvas, R); });
}

void TcxGridBandHeaderPainter::DrawPressed()
{
    HeaderViewInfo()->BandedView()->LookAndFeelPainter()->DrawHeaderPressed(Canvas(), ViewInfo()->Bounds);
}

void TcxGridBandHeaderPainter::Paint()
{
    TcxCustomGridCellPainter::Paint();
    if (IsMainCanvasInUse() && HeaderViewInfo()->IsPressed()) DrawPressed();
}

// ---- bands ----------------------------------------------------------------------------------------------

void TcxGridBandPainter::DrawHeader()
{
    PaintWith<TcxGridBandHeaderPainter>(Canvas(), BandViewInfo()->HeaderViewInfo());
}

void TcxGridBandPainter::DrawColumnHeaders()
{
    TcxGridBandRowsViewInfo* rows = BandViewInfo()->RowsViewInfo();
    for (int r = 0; r < rows->Count(); ++r) {
        TcxGridBandRowViewInfo* row = rows->Items(r);
        for (int c = 0; c < row->Count(); ++c)
            if (row->Items(c)->Calculated) PaintViewInfo(Canvas(), row->Items(c));
    }
}

void TcxGridBandPainter::DrawContent()
{
    DrawHeader();
    DrawColumnHeaders();
    TcxCustomGridCellPainter::DrawContent();
}

void TcxGridBandedHeaderPainter::DrawBands()
{
    auto* header = static_cast<TcxGridBandedHeaderViewInfo*>(ViewInfo());
    TcxGridBandsViewInfo* bands = header->BandsViewInfo();
    // Each band takes itself out of the clip region: a scrolled band stays hidden under a fixed one.
    for (TcxGridBandFixedKind kind : PaintOrder)
        ForBandsOfKind(bands, kind, [this](int, TcxGridBandViewInfo* ABand) {
            if (ABand->Calculated) PaintWith<TcxGridBandPainter>(Canvas(), ABand);
        });
}

// ---- the footer ------------------------------------------------------------------------------------------

void TcxGridBandedFooterPainter::DrawItems()
{
    TcxGridFooterViewInfo* footer = FooterViewInfo();
    TcxGridBandsViewInfo* bands = BandsOfView(DynamicCast<TcxGridBandedTableView>(footer->GridView()));
    if (!bands) {
        TcxGridFooterPainter::DrawItems();
        return;
    }
    TRect leftArea, rightArea;
    if (TcxGridBandViewInfo* band = bands->SeparatorBand(fkLeft)) {
        leftArea = footer->Bounds;
        leftArea.Right = band->Bounds.Right;
    }
    if (TcxGridBandViewInfo* band = bands->SeparatorBand(fkRight)) {
        rightArea = footer->Bounds;
        rightArea.Left = band->Bounds.Left;
    }
    TcxCanvas* canvas = Canvas();
    std::unique_ptr<TcxRegion> saved;
    auto addBack = [&](const TRect& R) {
        if (!IsRectEmpty(R)) canvas->SetClipRegion(new TcxRegion(R), rcmUnion);
    };
    auto restoreSaved = [&] {
        auto copy = std::make_unique<TcxRegion>();
        copy->Combine(saved.get(), rcmCopy, false);
        canvas->SetClipRegion(copy.release(), rcmIntersect);
    };
    // The cells come left-fixed, right-fixed, then scrolling.
    TcxGridBandFixedKind current = fkLeft;
    for (int i = 0; i < footer->Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = footer->Items(i);
        auto* column = DynamicCast<TcxGridBandedColumn>(cell->Column());
        TcxGridBand* band = column ? column->Position()->Band() : nullptr;
        TcxGridBandFixedKind kind = band ? band->FixedKind() : fkNone;
        if (kind != current) {
            if (current == fkLeft) {
                saved = canvas->GetClipRegion();
                canvas->ExcludeClipRect(leftArea);
            } else if (current == fkRight) {
                addBack(leftArea);
                restoreSaved();
                saved = canvas->GetClipRegion();
                canvas->ExcludeClipRect(leftArea);
                canvas->ExcludeClipRect(rightArea);
            }
            current = kind;
        }
        if (cell->Calculated) PaintViewInfo(canvas, cell);
    }
    if (saved) {
        addBack(leftArea);
        addBack(rightArea);
        restoreSaved();
    }
}

// ---- data rows --------------------------------------------------------------------------------------------

void TcxGridBandedDataRowCellsAreaItemPainter::DrawSeparator()
{
    TcxGridBandedDataRowCellsAreaItemViewInfo* item = ItemViewInfo();
    TRect strip = item->SeparatorStrip();
    if (IsRectEmpty(strip)) return;
    Canvas()->FillRect(strip, item->CellsArea()->BandedViewInfo()->GetFixedBandSeparatorColor());
    Canvas()->ExcludeClipRect(strip);
}

void TcxGridBandedDataRowCellsAreaItemPainter::DrawLines()
{
    TcxGridBandedDataRowCellsAreaItemViewInfo* item = ItemViewInfo();
    TColor color = item->CellsArea()->BandedViewInfo()->GetGridLineColor();
    for (int i = 0; i < item->GridLineCount(); ++i) {
        Canvas()->FillRect(item->GridLines(i), color);
        Canvas()->ExcludeClipRect(item->GridLines(i));
    }
}

void TcxGridBandedDataRowCellsAreaItemPainter::DrawContent()
{
    DrawLines();
    TcxCustomGridCellPainter::DrawContent();
}

void TcxGridBandedDataRowCellsAreaItemPainter::Paint()
{
    if (ItemViewInfo()->HasSeparator()) DrawSeparator();
    TcxCustomGridCellPainter::Paint();
}

void TcxGridBandedRowsPainter::DrawDataRowCells(TcxGridDataRowViewInfo* ARow)
{
    auto* area = DynamicCast<TcxGridBandedDataRowCellsAreaViewInfo>(ARow->CellsAreaViewInfo());
    TcxGridBandsViewInfo* bands = BandsOfView(DynamicCast<TcxGridBandedTableView>(ARow->GridView()));
    TcxCanvas* canvas = FCanvas;
    if (!bands) {
        for (int i = 0; i < ARow->CellCount(); ++i)
            if (ARow->Cells(i) && ARow->Cells(i)->Calculated) PaintViewInfo(canvas, ARow->Cells(i));
        if (ARow->CellsAreaViewInfo() && ARow->CellsAreaViewInfo()->GetVisible())
            PaintViewInfo(canvas, ARow->CellsAreaViewInfo());
        return;
    }
    bool areas = area && area->GetVisible();
    canvas->SaveClipRegion();
    try {
        if (areas) canvas->IntersectClipRect(area->Bounds);
        for (TcxGridBandFixedKind kind : PaintOrder)
            ForBandsOfKind(bands, kind, [&](int AIndex, TcxGridBandViewInfo* ABand) {
                for (int c = 0; c < ABand->ColumnHeaderCount(); ++c) {
                    int index = ABand->ColumnHeaders(c)->Column()->VisibleIndex();
                    TcxGridDataCellViewInfo* cell = index >= 0 && index < ARow->CellCount() ? ARow->Cells(index) : nullptr;
                    if (cell && cell->Calculated) PaintViewInfo(canvas, cell);
                }
                if (areas && AIndex < area->Count())
                    PaintWith<TcxGridBandedDataRowCellsAreaItemPainter>(canvas, area->Items(AIndex));
            });
    } catch (...) {
        canvas->RestoreClipRegion();
        throw;
    }
    canvas->RestoreClipRegion();
}

// ---- the view ----------------------------------------------------------------------------------------------

TcxCustomGridCellPainterClass TcxGridBandedTablePainter::GetCellPainterClass(TcxCustomGridCellViewInfo* AViewInfo)
{
    TClass cls = AViewInfo ? AViewInfo->ClassType() : nullptr;
    if (cls) {
        if (cls->InheritsFrom(TcxGridBandedHeaderViewInfo::StaticClass())) return ClassOf<TcxGridBandedHeaderPainter>();
        if (cls->InheritsFrom(TcxGridBandedFooterViewInfo::StaticClass())) return ClassOf<TcxGridBandedFooterPainter>();
        if (cls->InheritsFrom(TcxGridBandViewInfo::StaticClass())) return ClassOf<TcxGridBandPainter>();
        if (cls->InheritsFrom(TcxGridBandHeaderViewInfo::StaticClass())) return ClassOf<TcxGridBandHeaderPainter>();
        if (cls->InheritsFrom(TcxGridBandedDataRowCellsAreaItemViewInfo::StaticClass()))
            return ClassOf<TcxGridBandedDataRowCellsAreaItemPainter>();
    }
    return TablePainterClass<TcxGridTablePainter>(this, AViewInfo, 0);
}

std::unique_ptr<TcxGridRowsPainter> TcxGridBandedTablePainter::CreateRowsPainter(TcxCanvas* ACanvas,
                                                                                 TcxGridRowsViewInfo* ARows)
{
    return std::make_unique<TcxGridBandedRowsPainter>(ACanvas, ARows);
}

bool TcxGridBandedTablePainter::CanOffset(int ARecordCountDelta, int DX, int DY)
{
    if (!TcxGridTablePainter::CanOffset(ARecordCountDelta, DX, DY)) return false;
    if (ARecordCountDelta != 0 || DX == 0) return true;
    auto* view = static_cast<TcxGridBandedTableView*>(GridView());
    TcxGridTableBackgroundBitmaps* bitmaps = view->BackgroundBitmaps();
    if (bitmaps->GetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandBackground) ||
        bitmaps->GetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader))
        return false;
    bool fixed = view->Bands()->FixedSidesPresent() != 0;
    return !(fixed && (view->GroupedItemCount() > 0 || (view->Preview() && view->Preview()->Active())));
}
