#include "cxGridTablePainters.h"

#include "cxGrid.h"

QZ_CLASS_IMPL(TcxCustomGridPartPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridColumnContainerPainter, TcxCustomGridPartPainter)
QZ_CLASS_IMPL(TcxGridHeaderPainter, TcxGridColumnContainerPainter)
QZ_CLASS_IMPL(TcxGridGroupByBoxPainter, TcxGridColumnContainerPainter)
QZ_CLASS_IMPL(TcxGridFooterPainter, TcxGridColumnContainerPainter)
QZ_CLASS_IMPL(TcxGridColumnHeaderPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridFooterCellPainter, TcxGridColumnHeaderPainter)
QZ_CLASS_IMPL(TcxGridColumnHeaderAreaPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridColumnHeaderSortingMarkPainter, TcxGridColumnHeaderAreaPainter)
QZ_CLASS_IMPL(TcxGridColumnHeaderFilterButtonPainter, TcxGridColumnHeaderAreaPainter)
QZ_CLASS_IMPL(TcxGridColumnHeaderGlyphPainter, TcxGridColumnHeaderAreaPainter)
QZ_CLASS_IMPL(TcxCustomGridFilterButtonPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridFilterCloseButtonPainter, TcxCustomGridFilterButtonPainter)
QZ_CLASS_IMPL(TcxGridFilterActivateButtonPainter, TcxCustomGridFilterButtonPainter)
QZ_CLASS_IMPL(TcxGridFilterCustomizeButtonPainter, TcxCustomGridFilterButtonPainter)
QZ_CLASS_IMPL(TcxGridFilterPainter, TcxCustomGridPartPainter)
QZ_CLASS_IMPL(TcxCustomGridIndicatorItemPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridIndicatorHeaderItemPainter, TcxCustomGridIndicatorItemPainter)
QZ_CLASS_IMPL(TcxGridIndicatorRowItemPainter, TcxCustomGridIndicatorItemPainter)
QZ_CLASS_IMPL(TcxGridIndicatorFooterItemPainter, TcxCustomGridIndicatorItemPainter)
QZ_CLASS_IMPL(TcxGridIndicatorPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridDataCellPainter, TcxGridTableDataCellPainter)
QZ_CLASS_IMPL(TcxCustomGridRowPainter, TcxCustomGridRecordPainter)
QZ_CLASS_IMPL(TcxGridDataRowPainter, TcxCustomGridRowPainter)
QZ_CLASS_IMPL(TcxGridMasterDataRowPainter, TcxGridDataRowPainter)
QZ_CLASS_IMPL(TcxGridNewItemRowPainter, TcxGridDataRowPainter)
QZ_CLASS_IMPL(TcxGridExpandButtonCellPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridGroupRowPainter, TcxCustomGridRowPainter)
QZ_CLASS_IMPL(TcxGridGroupCellPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxGridRowsPainter, TcxCustomGridRecordsPainter)
QZ_CLASS_IMPL(TcxGridTablePainter, TcxCustomGridTablePainter)

namespace {
TcxCustomLookAndFeelPainterClass LookOf(TcxCustomGridCellViewInfo* AViewInfo)
{
    auto* cell = DynamicCast<TcxCustomGridViewCellViewInfo>(AViewInfo);
    TcxCustomGridView* view = cell ? cell->GridView() : nullptr;
    return view ? view->LookAndFeelPainter() : TcxStandardLookAndFeelPainter::Instance();
}

TcxGridTableView* TableViewOf(TcxCustomGridCellViewInfo* AViewInfo)
{
    auto* cell = DynamicCast<TcxCustomGridViewCellViewInfo>(AViewInfo);
    return cell ? DynamicCast<TcxGridTableView>(cell->GridView()) : nullptr;
}

// Draws the background through the painter's bitmap drawing, so that a
// part's background bitmap shows through what the look draws.
TcxDrawBackgroundEvent BackgroundDrawer(TcxCustomGridCellPainter* APainter)
{
    return [APainter](TcxCanvas* ACanvas, const TRect& R) { return APainter->DrawBackgroundBitmap(ACanvas, R); };
}

TcxGridTablePainter* TablePainterOf(TcxCustomGridCellViewInfo* AViewInfo)
{
    TcxGridTableView* view = TableViewOf(AViewInfo);
    return view ? DynamicCast<TcxGridTablePainter>(view->Painter()) : nullptr;
}

template <class P> TcxCustomGridCellPainterClass ClassOf() { return TcxCustomGridCellPainterClass::Of<P>(); }
}  // namespace

namespace cxGridTablePainters {

void Initialize()
{
    cxGridTableView::SetPainterClass(TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxGridTablePainter>());
}

TcxButtonState ButtonStateOf(TcxGridCellState AState)
{
    switch (AState) {
    case gcsHot: return cxbsHot;
    case gcsPressed: return cxbsPressed;
    default: return cxbsNormal;
    }
}

TcxCustomGridCellPainterClass PainterClassFor(TcxCustomGridCellViewInfo* AViewInfo)
{
    if (TcxGridTablePainter* painter = TablePainterOf(AViewInfo)) return painter->GetCellPainterClass(AViewInfo);
    return TablePainterClassFor(AViewInfo);
}

TcxCustomGridCellPainterClass TablePainterClassFor(TcxCustomGridCellViewInfo* AViewInfo)
{
    TClass cls = AViewInfo ? AViewInfo->ClassType() : nullptr;
    if (!cls) return {};
    auto is = [cls](TClass AClass) { return cls->InheritsFrom(AClass); };
    // Most derived first: footers are headers, row footers are footers.
    if (is(TcxGridFooterCellViewInfo::StaticClass())) return ClassOf<TcxGridFooterCellPainter>();
    if (is(TcxGridColumnHeaderViewInfo::StaticClass())) return ClassOf<TcxGridColumnHeaderPainter>();
    if (is(TcxGridColumnHeaderSortingMarkViewInfo::StaticClass()))
        return ClassOf<TcxGridColumnHeaderSortingMarkPainter>();
    if (is(TcxGridColumnHeaderFilterButtonViewInfo::StaticClass()))
        return ClassOf<TcxGridColumnHeaderFilterButtonPainter>();
    if (is(TcxGridColumnHeaderGlyphViewInfo::StaticClass())) return ClassOf<TcxGridColumnHeaderGlyphPainter>();
    if (is(TcxGridColumnHeaderAreaViewInfo::StaticClass())) return {};
    if (is(TcxGridFooterViewInfo::StaticClass())) return ClassOf<TcxGridFooterPainter>();
    if (is(TcxGridGroupByBoxViewInfo::StaticClass())) return ClassOf<TcxGridGroupByBoxPainter>();
    if (is(TcxGridHeaderViewInfo::StaticClass())) return ClassOf<TcxGridHeaderPainter>();
    if (is(TcxGridFilterViewInfo::StaticClass())) return ClassOf<TcxGridFilterPainter>();
    if (is(TcxGridFilterCloseButtonViewInfo::StaticClass())) return ClassOf<TcxGridFilterCloseButtonPainter>();
    if (is(TcxGridFilterActivateButtonViewInfo::StaticClass())) return ClassOf<TcxGridFilterActivateButtonPainter>();
    if (is(TcxGridFilterCustomizeButtonViewInfo::StaticClass()))
        return ClassOf<TcxGridFilterCustomizeButtonPainter>();
    if (is(TcxGridIndicatorHeaderItemViewInfo::StaticClass())) return ClassOf<TcxGridIndicatorHeaderItemPainter>();
    if (is(TcxGridIndicatorRowItemViewInfo::StaticClass())) return ClassOf<TcxGridIndicatorRowItemPainter>();
    if (is(TcxGridIndicatorFooterItemViewInfo::StaticClass())) return ClassOf<TcxGridIndicatorFooterItemPainter>();
    if (is(TcxGridIndicatorViewInfo::StaticClass())) return ClassOf<TcxGridIndicatorPainter>();
    if (is(TcxGridMasterDataRowViewInfo::StaticClass())) return ClassOf<TcxGridMasterDataRowPainter>();
    if (is(TcxGridNewItemRowViewInfo::StaticClass())) return ClassOf<TcxGridNewItemRowPainter>();
    if (is(TcxGridDataRowViewInfo::StaticClass())) return ClassOf<TcxGridDataRowPainter>();
    if (is(TcxGridGroupRowViewInfo::StaticClass())) return ClassOf<TcxGridGroupRowPainter>();
    if (is(TcxCustomGridRowViewInfo::StaticClass())) return ClassOf<TcxCustomGridRowPainter>();
    if (is(TcxGridDataCellViewInfo::StaticClass())) return ClassOf<TcxGridDataCellPainter>();
    if (is(TcxGridExpandButtonCellViewInfo::StaticClass())) return ClassOf<TcxGridExpandButtonCellPainter>();
    if (is(TcxGridGroupCellViewInfo::StaticClass())) return ClassOf<TcxGridGroupCellPainter>();
    return AViewInfo->GetPainterClass();
}

void PaintViewInfo(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo)
{
    if (!AViewInfo || !AViewInfo->GetVisible()) return;
    TcxCustomGridCellPainterClass cls = PainterClassFor(AViewInfo);
    if (!cls) return;
    std::unique_ptr<TcxCustomGridCellPainter> painter(cls.Create(ACanvas ? ACanvas : AViewInfo->GetCanvas(), AViewInfo));
    painter->MainPaint();
}

}  // namespace cxGridTablePainters

using cxGridTablePainters::ButtonStateOf;
using cxGridTablePainters::PaintViewInfo;

// ---- column containers ---------------------------------------------------------------------------------

void TcxGridColumnContainerPainter::DrawItems()
{
    TcxGridColumnContainerViewInfo* container = ContainerViewInfo();
    for (int i = 0; i < container->Count(); ++i) PaintViewInfo(Canvas(), container->Items(i));
}

void TcxGridColumnContainerPainter::DrawContent()
{
    Canvas()->SaveClipRegion();
    try {
        Canvas()->IntersectClipRect(ViewInfo()->Bounds);
        bool itemsFirst = DrawItemsFirst();
        if (itemsFirst) DrawItems();
        TcxCustomGridPartPainter::DrawContent();
        if (!itemsFirst) DrawItems();
    } catch (...) {
        Canvas()->RestoreClipRegion();
        throw;
    }
    Canvas()->RestoreClipRegion();
}

bool TcxGridHeaderPainter::DrawItemsFirst() { return LookOf(ViewInfo())->HeaderFlag(); }

void TcxGridGroupByBoxPainter::DrawContent()
{
    TcxGridColumnContainerPainter::DrawContent();
    DrawConnectors();
}

void TcxGridGroupByBoxPainter::DrawConnectors()
{
    auto* box = static_cast<TcxGridGroupByBoxViewInfo*>(ViewInfo());
    for (int i = 0; i + 1 < box->Count(); ++i) {
        TRect vert, horz;
        box->GetConnectorBounds(i, vert, horz);
        Canvas()->FillRect(vert, clBtnText);
        Canvas()->FillRect(horz, clBtnText);
    }
}

bool TcxGridFooterPainter::DrawItemsFirst() { return LookOf(ViewInfo())->FooterFlag(); }

void TcxGridFooterPainter::DrawBorders()
{
    TcxGridFooterViewInfo* footer = FooterViewInfo();
    TRect frame = footer->Bounds;
    if (footer->HasFooterSeparator()) {
        TRect separator = footer->GetFooterSeparatorBounds();
        Canvas()->FillRect(separator, footer->GetFooterSeparatorColor());
        frame.Top = separator.Bottom;
    }
    LookOf(footer)->DrawFooterFrame(Canvas(), frame);
}

// ---- header cells --------------------------------------------------------------------------------------

TcxButtonState TcxGridColumnHeaderPainter::GetButtonState()
{
    if (!IsMainCanvasInUse()) return cxbsNormal;
    if (HeaderViewInfo()->IsPressed()) return cxbsPressed;
    return ButtonStateOf(ViewInfo()->State());
}

void TcxGridColumnHeaderPainter::DrawAreas()
{
    TcxGridColumnHeaderViewInfo* header = HeaderViewInfo();
    for (int i = 0; i < header->AreaCount(); ++i) PaintViewInfo(Canvas(), header->Areas(i));
}

void TcxGridColumnHeaderPainter::DrawContent()
{
    TcxGridColumnHeaderViewInfo* vi = HeaderViewInfo();
    LookOf(vi)->DrawHeader(Canvas(), vi->Bounds, vi->TextAreaBounds, vi->Neighbors, vi->Borders, GetButtonState(),
                           vi->AlignmentHorz, vi->AlignmentVert, vi->MultiLinePainting, vi->GetShowEndEllipsis(),
                           vi->Text, vi->Params.Font, vi->Params.TextColor, vi->Params.Color,
                           BackgroundDrawer(this));
    DrawAreas();
}

void TcxGridColumnHeaderPainter::Paint()
{
    TcxCustomGridCellPainter::Paint();
    // Drawn as held down only where the user sees the grid, never into a drag image.
    if (IsMainCanvasInUse() && HeaderViewInfo()->IsPressed())
        LookOf(ViewInfo())->DrawHeaderPressed(Canvas(), ViewInfo()->Bounds);
}

void TcxGridFooterCellPainter::DrawContent()
{
    TcxCustomGridCellViewInfo* vi = ViewInfo();
    LookOf(vi)->DrawFooterCell(Canvas(), vi->Bounds, vi->AlignmentHorz, vi->AlignmentVert, vi->MultiLinePainting,
                               vi->Text, vi->Params.Font, vi->Params.TextColor, vi->Params.Color,
                               BackgroundDrawer(this));
}

void TcxGridColumnHeaderSortingMarkPainter::DrawContent()
{
    auto* area = static_cast<TcxGridColumnHeaderSortingMarkViewInfo*>(ViewInfo());
    LookOf(area)->DrawSortMark(Canvas(), area->Bounds, area->SortOrderAscending());
}

void TcxGridColumnHeaderFilterButtonPainter::DrawContent()
{
    auto* area = static_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(ViewInfo());
    LookOf(area)->DrawFilterDropDownButton(Canvas(), area->Bounds, ButtonStateOf(area->State()), area->Active());
}

void TcxGridColumnHeaderGlyphPainter::DrawContent()
{
    auto* area = static_cast<TcxGridColumnHeaderGlyphViewInfo*>(ViewInfo());
    if (TBitmap* glyph = area->Glyph()) Canvas()->DrawGlyph(area->Bounds.Left, area->Bounds.Top, glyph, true, clNone);
}

// ---- the filter box ------------------------------------------------------------------------------------------

TcxButtonState TcxCustomGridFilterButtonPainter::GetButtonState() { return ButtonStateOf(ViewInfo()->State()); }

void TcxGridFilterCloseButtonPainter::DrawContent()
{
    LookOf(ViewInfo())->DrawFilterCloseButton(Canvas(), ViewInfo()->Bounds, GetButtonState());
}

void TcxGridFilterActivateButtonPainter::DrawContent()
{
    auto* button = static_cast<TcxGridFilterActivateButtonViewInfo*>(ViewInfo());
    LookOf(button)->DrawFilterActivateButton(Canvas(), button->Bounds, GetButtonState(), button->Checked());
}

void TcxGridFilterCustomizeButtonPainter::DrawContent()
{
    TcxCustomGridCellViewInfo* vi = ViewInfo();
    LookOf(vi)->PaintButton(Canvas(), vi->Bounds, vi->Text, GetButtonState(), true, clDefault, clDefault);
}

void TcxGridFilterPainter::Paint()
{
    TcxCustomGridPartPainter::Paint();
    TcxGridFilterButtonsViewInfo* buttons = static_cast<TcxGridFilterViewInfo*>(ViewInfo())->ButtonsViewInfo();
    if (!buttons) return;
    for (int i = 0; i < buttons->Count(); ++i) PaintViewInfo(Canvas(), buttons->Items(i));
}

// ---- the indicator -----------------------------------------------------------------------------------------

void TcxGridIndicatorHeaderItemPainter::DrawContent()
{
    TcxCustomGridCellViewInfo* vi = ViewInfo();
    TcxGridTableView* view = TableViewOf(vi);
    TcxGridTableViewInfo* viewInfo = view ? view->ViewInfo() : nullptr;
    TcxGridHeaderViewInfo* header = viewInfo ? viewInfo->HeaderViewInfo() : nullptr;
    TcxDrawBackgroundEvent background;
    if (header && header->GetBackgroundBitmap()) {
        TBitmap* bitmap = header->GetBackgroundBitmap();
        background = [bitmap](TcxCanvas* ACanvas, const TRect& R) {
            ACanvas->FillRect(R, bitmap);
            return true;
        };
    }
    LookOf(vi)->DrawHeader(Canvas(), vi->Bounds, vi->Bounds, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false,
                           false, std::string(), nullptr, clNone, vi->Params.Color, background);
}

void TcxGridIndicatorRowItemPainter::DrawContent()
{
    auto* vi = static_cast<TcxGridIndicatorRowItemViewInfo*>(ViewInfo());
    LookOf(vi)->DrawIndicatorCell(Canvas(), vi->Bounds, TcxIndicatorKind(vi->GetIndicatorKind()), vi->Params.Color,
                                  BackgroundDrawer(this));
}

void TcxGridIndicatorFooterItemPainter::DrawBorders()
{
    auto* vi = static_cast<TcxGridIndicatorFooterItemViewInfo*>(ViewInfo());
    TcxGridTableView* view = TableViewOf(vi);
    TcxGridTableViewInfo* viewInfo = view ? view->ViewInfo() : nullptr;
    TcxGridFooterViewInfo* footer = viewInfo ? viewInfo->FooterViewInfo() : nullptr;
    TRect frame = vi->Bounds;
    if (footer && footer->HasFooterSeparator()) {
        Canvas()->FillRect(vi->GetFooterSeparatorBounds(), footer->GetFooterSeparatorColor());
        frame = vi->GetFooterContentBounds();
    }
    LookOf(vi)->DrawFooterFrame(Canvas(), frame);
}

void TcxGridIndicatorPainter::DrawItems()
{
    TcxGridIndicatorViewInfo* indicator = IndicatorViewInfo();
    for (int i = 0; i < indicator->Count(); ++i) PaintViewInfo(Canvas(), indicator->Items(i));
}

void TcxGridIndicatorPainter::DrawContent()
{
    bool itemsFirst = LookOf(ViewInfo())->IndicatorFlag();
    if (itemsFirst) DrawItems();
    TcxCustomGridCellPainter::DrawContent();
    if (!itemsFirst) DrawItems();
}

// ---- rows -------------------------------------------------------------------------------------------------------

void TcxGridDataCellPainter::DrawBorder(TcxBorder ABorder)
{
    TRect r;
    ViewInfo()->GetBorderBounds(ABorder, r);
    if (IsRectEmpty(r)) return;
    TcxGridTablePainter* painter = TablePainterOf(ViewInfo());
    if (!painter || !painter->AddGridLine(r)) TcxGridTableDataCellPainter::DrawBorder(ABorder);
}

void TcxCustomGridRowPainter::DrawFooters()
{
    if (TcxGridRowFootersViewInfo* footers = RowViewInfo()->FootersViewInfo())
        for (int i = 0; i < footers->Count(); ++i) PaintViewInfo(Canvas(), footers->Items(i));
}

void TcxCustomGridRowPainter::DrawLevelIndents()
{
    TcxCustomGridRowViewInfo* row = RowViewInfo();
    TcxCustomGridRecord* record = row->GridRecord();
    TcxGridTableView* view = row->TableView();
    if (!record || !view) return;
    TColor lineColor = row->TableViewInfo()->GetGridLineColor();
    TBitmap* bitmap = row->RowsViewInfo()->GetGroupBackgroundBitmap();
    for (int level = 0; level < record->Level(); ++level) {
        TRect inner, horz, vert;
        row->GetLevelIndentLines(level, inner, horz, vert);
        if (bitmap) {
            Canvas()->FillRect(inner, bitmap);
        } else {
            TcxViewParams params;
            view->Styles()->GetGroupParams(record, level, params);
            Canvas()->FillRect(inner, params.Color);
        }
        if (!IsRectEmpty(horz)) Canvas()->FillRect(horz, lineColor);
        if (!IsRectEmpty(vert)) Canvas()->FillRect(vert, lineColor);
    }
}

void TcxCustomGridRowPainter::DrawLastHorzGridLine()
{
    TcxCustomGridRowViewInfo* row = RowViewInfo();
    if (row->HasLastHorzGridLine())
        Canvas()->FillRect(row->GetLastHorzGridLineBounds(), row->TableViewInfo()->GetGridLineColor());
}

void TcxCustomGridRowPainter::DrawSeparator()
{
    TcxCustomGridRowViewInfo* row = RowViewInfo();
    if (!row->HasSeparator()) return;
    TRect r = row->GetSeparatorBounds();
    if (!IsRectEmpty(r)) Canvas()->FillRect(r, row->GetSeparatorColor());
}

void TcxCustomGridRowPainter::BeforePaint()
{
    DrawFooters();
    DrawLevelIndents();
    DrawLastHorzGridLine();
    DrawSeparator();
    TcxCustomGridRecordPainter::BeforePaint();
}

void TcxGridDataRowPainter::Paint()
{
    auto* row = static_cast<TcxGridDataRowViewInfo*>(ViewInfo());
    // The view's rows painter knows the order its cells go in.
    if (TcxGridTablePainter* painter = TablePainterOf(row))
        painter->CreateRowsPainter(Canvas(), row->RowsViewInfo())->DrawDataRowCells(row);
    else
        TcxGridRowsPainter(Canvas(), row->RowsViewInfo()).DrawDataRowCells(row);
    if (TcxGridPreviewCellViewInfo* preview = row->PreviewViewInfo())
        if (preview->Calculated && preview->Bounds.Height() > 0) PaintViewInfo(Canvas(), preview);
}

void TcxGridNewItemRowPainter::DrawBackground()
{
    TcxGridNewItemRowViewInfo* row = NewItemRowViewInfo();
    if (row->ShowInfoText() && !row->HasBackgroundBitmap()) Canvas()->FillRect(row->ContentBounds(), row->Params.Color);
    else TcxGridDataRowPainter::DrawBackground();
}

void TcxGridNewItemRowPainter::DrawNewItemRowSeparator()
{
    TcxGridNewItemRowViewInfo* row = NewItemRowViewInfo();
    TRect r = row->GetNewItemRowSeparatorBounds();
    if (IsRectEmpty(r)) return;
    LookOf(row)->DrawHeader(Canvas(), r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false,
                            std::string(), nullptr, clBtnText,
                            row->TableView()->OptionsView()->GetNewItemRowSeparatorColor());
}

void TcxGridNewItemRowPainter::Paint()
{
    // The row's text is the info text exactly while it shows no cells.
    if (NewItemRowViewInfo()->ShowInfoText()) DrawText();
    else TcxGridDataRowPainter::Paint();
    DrawNewItemRowSeparator();
}

namespace {
// The expand button of a row, drawn over the cell that holds it.
void DrawRowExpandButton(TcxCanvas* ACanvas, TcxCustomGridRecordViewInfo* ARow)
{
    TcxCustomGridRecord* record = ARow->GridRecord();
    if (!record || !record->GetExpandable() || IsRectEmpty(ARow->ExpandButtonBounds)) return;
    if (TcxCustomLookAndFeelPainterClass look = ARow->GridView()->LookAndFeelPainter())
        look->DrawExpandBox(ACanvas, ARow->ExpandButtonBounds, record->GetExpanded(), clDefault);
}

// A piece of a row in its level's indent colours: the group bitmap, or the group style's colour.
void FillAsLevelIndent(TcxCanvas* ACanvas, TcxCustomGridRowViewInfo* ARow, const TRect& R)
{
    if (IsRectEmpty(R)) return;
    if (TBitmap* bitmap = ARow->RowsViewInfo()->GetGroupBackgroundBitmap()) {
        ACanvas->FillRect(R, bitmap);
        return;
    }
    TcxCustomGridRecord* record = ARow->GridRecord();
    TcxViewParams params;
    ARow->TableView()->Styles()->GetGroupParams(record, record ? record->Level() : 0, params);
    ACanvas->FillRect(R, params.Color);
}
}  // namespace

bool TcxGridMasterDataRowPainter::IsVisible()
{
    TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
    if (Canvas()->RectVisible(row->Bounds)) return true;
    TcxGridDetailsAreaViewInfo* area = row->DetailsAreaViewInfo();
    return row->DetailsSiteVisible() && area && area->Calculated && Canvas()->RectVisible(area->Bounds);
}

void TcxGridMasterDataRowPainter::DrawExpandButtonCell()
{
    TcxGridExpandButtonCellViewInfo* cell = MasterRowViewInfo()->ExpandButtonCellViewInfo();
    if (cell && cell->Calculated) PaintViewInfo(Canvas(), cell);
}

void TcxGridMasterDataRowPainter::DrawDetailsSite()
{
    TcxGridDetailsSiteViewInfo* site = MasterRowViewInfo()->DetailsSiteViewInfo();
    if (site && !IsRectEmpty(site->Bounds)) site->Paint(Canvas());
}

void TcxGridMasterDataRowPainter::DrawDetailsArea()
{
    TcxGridDetailsAreaViewInfo* area = MasterRowViewInfo()->DetailsAreaViewInfo();
    if (area && area->Calculated) PaintViewInfo(Canvas(), area);
}

void TcxGridMasterDataRowPainter::Paint()
{
    DrawExpandButtonCell();
    if (MasterRowViewInfo()->DetailsSiteVisible()) {
        DrawDetailsSite();
        DrawDetailsArea();
    }
    TcxGridDataRowPainter::Paint();
}

void TcxGridExpandButtonCellPainter::DrawBorder(TcxBorder ABorder)
{
    TcxCustomGridCellPainter::DrawBorder(ABorder);
    if (ABorder != bRight) return;
    // Beside the data part the right line is left out: the cell's colour goes on there.
    auto* cell = static_cast<TcxGridExpandButtonCellViewInfo*>(ViewInfo());
    TRect drawn, full;
    cell->GetBorderBounds(bRight, drawn);
    cell->GetFullBorderBounds(bRight, full);
    TRect gap{drawn.Left, full.Top, drawn.Right, drawn.Top};
    if (!IsRectEmpty(gap)) Canvas()->FillRect(gap, cell->Params.Color);
}

void TcxGridExpandButtonCellPainter::DrawContent()
{
    TcxCustomGridCellPainter::DrawContent();
    auto* cell = static_cast<TcxGridExpandButtonCellViewInfo*>(ViewInfo());
    DrawRowExpandButton(Canvas(), cell->MasterRowViewInfo());
}

void TcxGridGroupRowPainter::DrawSeparator()
{
    FillAsLevelIndent(Canvas(), GroupRowViewInfo(), GroupRowViewInfo()->GetExpandButtonSeparatorBounds());
    TcxCustomGridRowPainter::DrawSeparator();
}

void TcxGridGroupRowPainter::Paint()
{
    if (TcxGridGroupCellViewInfo* cell = GroupRowViewInfo()->CellViewInfo())
        if (cell->Calculated) PaintViewInfo(Canvas(), cell);
    TcxCustomGridRowPainter::Paint();
}

void TcxGridGroupCellPainter::DrawBorder(TcxBorder ABorder)
{
    TcxCustomGridCellPainter::DrawBorder(ABorder);
    auto* cell = static_cast<TcxGridGroupCellViewInfo*>(ViewInfo());
    TcxCustomGridRecord* record = cell->GridRecord();
    if (ABorder != bBottom || !record || !record->GetExpanded()) return;
    TRect drawn, full;
    cell->GetBorderBounds(bBottom, drawn);
    cell->GetFullBorderBounds(bBottom, full);
    FillAsLevelIndent(Canvas(), cell->GroupRowViewInfo(), TRect{full.Left, drawn.Top, drawn.Left, drawn.Bottom});
}

void TcxGridGroupCellPainter::DrawContent()
{
    TcxCustomGridCellPainter::DrawContent();
    DrawRowExpandButton(Canvas(), static_cast<TcxGridGroupCellViewInfo*>(ViewInfo())->GroupRowViewInfo());
}

void TcxGridRowsPainter::DrawDataRowCells(TcxGridDataRowViewInfo* ARow)
{
    for (int i = 0; i < ARow->CellCount(); ++i) {
        TcxGridDataCellViewInfo* cell = ARow->Cells(i);
        if (cell && cell->Calculated) PaintViewInfo(FCanvas, cell);
    }
    if (TcxGridDataRowCellsAreaViewInfo* area = ARow->CellsAreaViewInfo())
        if (area->GetVisible()) PaintViewInfo(FCanvas, area);
}

void TcxGridRowsPainter::Paint()
{
    if (TcxGridNewItemRowViewInfo* newItemRow = FRows->NewItemRowViewInfo())
        if (newItemRow->Calculated && FRows->IsNewItemRowVisible()) PaintViewInfo(FCanvas, newItemRow);
    for (int i = 0; i < FRows->Count() && i < FRows->VisibleCount(); ++i)
        if (TcxCustomGridRecordViewInfo* row = FRows->ItemAt(i)) PaintViewInfo(FCanvas, row);
}

// ---- the view ------------------------------------------------------------------------------------------------------

TcxGridTableViewInfo* TcxGridTablePainter::TableViewInfo() const
{
    return DynamicCast<TcxGridTableViewInfo>(ViewInfo());
}

TcxCustomGridCellPainterClass TcxGridTablePainter::GetCellPainterClass(TcxCustomGridCellViewInfo* AViewInfo)
{
    return cxGridTablePainters::TablePainterClassFor(AViewInfo);
}

std::unique_ptr<TcxGridRowsPainter> TcxGridTablePainter::CreateRowsPainter(TcxCanvas* ACanvas, TcxGridRowsViewInfo* ARows)
{
    return std::make_unique<TcxGridRowsPainter>(ACanvas, ARows);
}

void TcxGridTablePainter::DrawParts()
{
    TcxGridTableViewInfo* viewInfo = TableViewInfo();
    PaintViewInfo(Canvas(), viewInfo->GroupByBoxViewInfo());
    PaintViewInfo(Canvas(), viewInfo->FilterViewInfo());
    PaintViewInfo(Canvas(), viewInfo->IndicatorViewInfo());
    PaintViewInfo(Canvas(), viewInfo->HeaderViewInfo());
    PaintViewInfo(Canvas(), viewInfo->FooterViewInfo());
}

bool TcxGridTablePainter::AddGridLine(const TRect& R)
{
    if (!FGridLines) return false;
    FGridLines->push_back(R);
    return true;
}

void TcxGridTablePainter::DrawGridLines()
{
    if (!FGridLines || FGridLines->empty()) return;
    std::vector<std::vector<TPoint>> lines;
    lines.reserve(FGridLines->size());
    for (const TRect& r : *FGridLines) {
        if (r.Height() == 1)
            lines.push_back({TPoint{r.Left, r.Top}, TPoint{r.Right, r.Top}});
        else
            lines.push_back({TPoint{r.Left, r.Top}, TPoint{r.Left, r.Bottom}});
    }
    TCanvas* canvas = Canvas()->Canvas();
    canvas->Pen()->SetColor(TableViewInfo()->GetGridLineColor());
    canvas->Pen()->SetWidth(1);
    canvas->PolyPolyline(lines);
}

void TcxGridTablePainter::PaintContent()
{
    TcxGridTableViewInfo* viewInfo = TableViewInfo();
    if (!viewInfo) {
        TcxCustomGridTablePainter::PaintContent();
        return;
    }
    DrawParts();
    // The grid lines of the records are gathered while they paint and
    // drawn in one go; the list goes also when painting fails.
    FGridLines = std::make_unique<std::vector<TRect>>();
    // The cells take themselves out of the clip region as they paint, and
    // their grid lines lie inside them: the lines are drawn with the clip
    // region the records started with.
    Canvas()->SaveClipRegion();
    try {
        if (TcxGridRowsViewInfo* rows = viewInfo->RowsViewInfo()) {
            CreateRowsPainter(Canvas(), rows)->Paint();
            for (int i = 0; i < rows->Count() && i < rows->VisibleCount(); ++i)
                if (TcxCustomGridRecordViewInfo* row = rows->ItemAt(i)) ExcludeFromBackground(row->Bounds);
            if (TcxGridNewItemRowViewInfo* newItemRow = rows->NewItemRowViewInfo())
                if (newItemRow->Calculated && rows->IsNewItemRowVisible()) ExcludeFromBackground(newItemRow->Bounds);
        }
        TcxNavigatorSiteViewInfo* site = viewInfo->NavigatorSiteViewInfo();
        if (site && site->GetVisible() && viewInfo->NavigatorViewInfo()) viewInfo->NavigatorViewInfo()->Paint();
    } catch (...) {
        Canvas()->RestoreClipRegion();
        FGridLines.reset();
        throw;
    }
    Canvas()->RestoreClipRegion();
    try {
        DrawGridLines();
    } catch (...) {
        FGridLines.reset();
        throw;
    }
    FGridLines.reset();
}

bool TcxGridTablePainter::CanOffset(int ARecordCountDelta, int DX, int DY)
{
    TcxGridTableView* view = GridView();
    TcxGridTableBackgroundBitmaps* bitmaps = view->BackgroundBitmaps();
    if (ViewInfo()->GetBackgroundBitmap()) return false;
    if (ARecordCountDelta != 0 && !view->CanOffset(ARecordCountDelta)) return false;
    if (bitmaps->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroup) ||
        bitmaps->GetBitmap(TcxGridTableBackgroundBitmaps::bbFooter))
        return false;
    if (DX != 0) {
        if (view->IsMaster() || bitmaps->GetBitmap(TcxGridTableBackgroundBitmaps::bbHeader)) return false;
        TcxGridTableViewInfo* viewInfo = TableViewInfo();
        TcxGridRowsViewInfo* rows = viewInfo ? viewInfo->RowsViewInfo() : nullptr;
        TcxGridNewItemRowViewInfo* newItemRow = rows ? rows->NewItemRowViewInfo() : nullptr;
        if (newItemRow && rows->IsNewItemRowVisible() && newItemRow->ShowInfoText() && !newItemRow->GetText().empty())
            return false;
    }
    return true;
}
