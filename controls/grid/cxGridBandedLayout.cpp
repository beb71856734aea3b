#include "cxGridBandedLayout.h"

#include "cxGrid.h"
#include "cxGridBandedController.h"
#include "cxGridTableHitTests.h"
#include "cxLookAndFeelPainters.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxGridBandedColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)
QZ_CLASS_IMPL(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)
QZ_CLASS_IMPL(TcxGridBandedColumnContainerZone, TcxGridColumnContainerZone)
QZ_CLASS_IMPL(TcxGridBandRowViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridBandRowsViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridBandHeaderViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridBandViewInfo, TcxCustomGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridBandsViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridBandedHeaderViewInfoSpecific, TcxGridHeaderViewInfoSpecific)
QZ_CLASS_IMPL(TcxGridBandedHeaderViewInfo, TcxGridHeaderViewInfo)
QZ_CLASS_IMPL(TcxGridBandedFooterViewInfo, TcxGridFooterViewInfo)
QZ_CLASS_IMPL(TcxGridBandedDataRowCellsAreaItemViewInfo, TcxGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridBandedDataRowCellsAreaViewInfo, TcxGridDataRowCellsAreaViewInfo)
QZ_CLASS_IMPL(TcxGridBandedRowsViewInfo, TcxGridRowsViewInfo)
QZ_CLASS_IMPL(TcxGridBandedTableViewInfo, TcxGridTableViewInfo)

namespace {

// The layout's bands, or null while the view has no banded header.
TcxGridBandsViewInfo* BandsOf(TcxGridTableViewInfo* AViewInfo)
{
    auto* header = AViewInfo ? DynamicCast<TcxGridBandedHeaderViewInfo>(AViewInfo->HeaderViewInfo()) : nullptr;
    return header ? header->BandsViewInfo() : nullptr;
}

// The band view info showing a column (null: none).
TcxGridBandViewInfo* BandViewInfoOf(TcxGridBandsViewInfo* ABands, TcxGridBandedColumn* AColumn)
{
    if (!ABands || !AColumn) return nullptr;
    int index = AColumn->Position()->VisibleBandIndex();
    return index >= 0 && index < ABands->Count() ? ABands->Items(index) : nullptr;
}

// The widths an auto-width distribution gives.
template <class Fill, class Take>
void Distribute(int ACount, int AAvailable, Fill AFill, Take ATake)
{
    if (ACount == 0) return;
    TcxAutoWidthObject distributor(ACount);
    for (int i = 0; i < ACount; ++i) AFill(i, distributor.NewItem());
    distributor.AvailableSpace = AAvailable;
    distributor.Calculate();
    for (int i = 0; i < ACount; ++i) ATake(i, distributor.ItemAt(i)->ResultWidth);
}

using cxGridBandedTableView::InViewUpdate;

}  // namespace

// What the layout asks of the banded controller and its hit tests.
namespace cxGridBandedLayout {
enum TcxGridBandHitKind { bhkBand, bhkHeader, bhkHeaderSizingEdge };

TcxGridBandedTableController* ControllerOf(TcxGridBandedTableView* AView)
{
    return AView ? DynamicCast<TcxGridBandedTableController>(AView->Controller()) : nullptr;
}

TcxCustomGridHitTest* MakeBandHitTest(TcxGridBandHitKind AKind, TcxCustomGridCellViewInfo* AViewInfo, TcxGridBand* ABand,
                                      const TPoint& P)
{
    TClass cls = AKind == bhkHeaderSizingEdge ? TcxGridBandHeaderSizingEdgeHitTest::StaticClass()
                 : AKind == bhkHeader         ? TcxGridBandHeaderHitTest::StaticClass()
                                              : TcxGridBandHitTest::StaticClass();
    TcxGridBandHitTest* hit = TcxGridBandHitTest::Instance(cls, P, ABand);
    hit->ViewInfo = AViewInfo;
    return hit;
}

TcxGridBand* BandOfHitTest(TcxCustomGridHitTest* AHitTest)
{
    auto* hit = DynamicCast<TcxGridBandHitTest>(AHitTest);
    return hit && hit->BandPlace == bpHeader ? hit->Band : nullptr;
}

int BandHitTestRow(TcxCustomGridHitTest* AHitTest)
{
    auto* hit = DynamicCast<TcxGridBandHitTest>(AHitTest);
    return hit ? hit->VisibleRowIndex : -1;
}

bool IsBandPressed(TcxGridBand* ABand)
{
    TcxGridBandedTableController* controller = ControllerOf(ABand->GridView());
    return controller && controller->PressedBand() == ABand;
}

bool BandKeepsWidthWhileSizing(TcxGridBand* ABand)
{
    TcxGridBandedTableController* controller = ControllerOf(ABand->GridView());
    return controller && controller->BandBeingSized() && controller->BandKeepsWidthWhileSizing(ABand);
}

// A column header is being dragged over the view.
bool IsColumnMoving(TcxGridBandedTableView* AView)
{
    TcxGridSite* site = AView ? AView->Site() : nullptr;
    TcxDragAndDropObject* drag = site && site->DragAndDropState() != ddsNone ? site->DragAndDropObject() : nullptr;
    for (TClass cls = drag ? drag->ClassType() : nullptr; cls; cls = cls->Parent)
        if (cls->Name == "TcxGridColumnHeaderMovingObject") return true;
    return false;
}
}  // namespace cxGridBandedLayout

// ---- column headers ---------------------------------------------------------------------------------

bool TcxGridBandedColumnHeaderViewInfo::ShowsVertSizingEdge()
{
    return Container()->GetKind() == ckHeader && BandedColumn()->IsVertSizable();
}

void TcxGridBandedColumnHeaderViewInfo::GetAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& AClasses)
{
    TcxGridColumnHeaderViewInfo::GetAreaClasses(AClasses);
    if (ShowsVertSizingEdge())
        AClasses.push_back(TcxGridColumnHeaderAreaViewInfoClass::Of<TcxGridBandedColumnHeaderVertSizingEdgeViewInfo>());
}

TcxGridBandRowViewInfo* TcxGridBandedColumnHeaderViewInfo::RowViewInfo()
{
    if (Container()->GetKind() != ckHeader) return nullptr;
    TcxGridBandViewInfo* band = BandViewInfoOf(BandsOf(Container()->TableViewInfo()), BandedColumn());
    int row = BandedColumn()->Position()->VisibleRowIndex();
    if (!band || row < 0 || row >= band->RowsViewInfo()->Count()) return nullptr;
    return band->RowsViewInfo()->Items(row);
}

int TcxGridBandedColumnHeaderViewInfo::GetMaxWidth()
{
    TcxGridBand* band = BandedColumn()->Position()->Band();
    TcxGridBandRowViewInfo* row = RowViewInfo();
    // A band that takes its width from its columns lets them grow.
    if (!band || band->Width() == 0 || !row) return INT_MAX;
    int result = row->BandViewInfo()->InnerWidth();
    int index = row->IndexOf(this);
    bool last = index == row->Count() - 1;
    for (int i = 0; i < row->Count(); ++i) {
        if (i == index) continue;
        if (last || i > index)
            result -= row->Items(i)->GetMinWidth();
        else
            result -= row->Items(i)->GetWidth();
    }
    return std::max(result, GetMinWidth());
}

bool TcxGridBandedColumnHeaderViewInfo::GetMultiLinePainting()
{
    return TcxGridColumnHeaderViewInfo::GetMultiLinePainting() || BandedColumn()->Position()->LineCount() > 1;
}

void TcxGridBandedColumnHeaderVertSizingEdgeViewInfo::CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds)
{
    TcxGridColumnHeaderAreaViewInfo::CalculateArea(AHeaderBounds, ATextAreaBounds);
    DoOffset(0, Height / 2);
}

TClass TcxGridBandedColumnHeaderVertSizingEdgeViewInfo::GetHitTestClass()
{
    return TcxGridColumnHeaderVertSizingEdgeHitTest::StaticClass();
}

bool TcxGridBandedColumnContainerZone::IsEqual(const TcxGridColumnContainerZone* A, const TcxGridColumnContainerZone* B)
{
    if (!A || !B || A->ClassType() != B->ClassType() || A->ItemIndex != B->ItemIndex) return false;
    auto* a = DynamicCast<TcxGridBandedColumnContainerZone>(const_cast<TcxGridColumnContainerZone*>(A));
    auto* b = DynamicCast<TcxGridBandedColumnContainerZone>(const_cast<TcxGridColumnContainerZone*>(B));
    if (!a || !b) return true;
    return a->Band == b->Band && a->ColIndex == b->ColIndex && a->RowIndex == b->RowIndex;
}

// ---- band rows ----------------------------------------------------------------------------------------

TcxGridBandRowViewInfo::TcxGridBandRowViewInfo(TcxGridBandRowsViewInfo* ARowsViewInfo, int AIndex)
    : FRowsViewInfo(ARowsViewInfo), FIndex(AIndex)
{
}

void TcxGridBandRowViewInfo::AfterConstruction()
{
    TObject::AfterConstruction();
    CollectRowHeaders();
}

TcxGridBandViewInfo* TcxGridBandRowViewInfo::BandViewInfo() const { return FRowsViewInfo->BandViewInfo(); }

TcxGridBandRow* TcxGridBandRowViewInfo::Row() const { return BandViewInfo()->Band()->Rows()->VisibleItems(FIndex); }

void TcxGridBandRowViewInfo::CollectRowHeaders()
{
    FItems.clear();
    TcxGridBandViewInfo* band = BandViewInfo();
    for (int i = 0; i < band->ColumnHeaderCount(); ++i) {
        TcxGridBandedColumnHeaderViewInfo* header = band->ColumnHeaders(i);
        if (header->BandedColumn()->Position()->VisibleRowIndex() == FIndex) FItems.push_back(header);
    }
}

int TcxGridBandRowViewInfo::IndexOf(const TcxGridColumnHeaderViewInfo* AItem) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)] == AItem) return i;
    return -1;
}

int TcxGridBandRowViewInfo::CalculateLineCount()
{
    int lines = 1;
    for (TcxGridBandedColumnHeaderViewInfo* item : FItems)
        lines = std::max(lines, item->BandedColumn()->Position()->LineCount());
    return lines;
}

int TcxGridBandRowViewInfo::LineCount()
{
    if (FLineCount == -1) FLineCount = CalculateLineCount();
    return FLineCount;
}

int TcxGridBandRowViewInfo::CalculateHeight()
{
    return LineCount() * BandViewInfo()->BandsViewInfo()->Header()->ItemHeight();
}

int TcxGridBandRowViewInfo::Height()
{
    if (FHeight == -1) FHeight = CalculateHeight();
    return FHeight;
}

int TcxGridBandRowViewInfo::FirstLine() const { return Row()->FirstLine(); }

int TcxGridBandRowViewInfo::CalculateWidth()
{
    int width = 0;
    for (TcxGridBandedColumnHeaderViewInfo* item : FItems) width += item->GetWidth();
    return width;
}

int TcxGridBandRowViewInfo::Width() { return CalculateWidth(); }

int TcxGridBandRowViewInfo::MinimumWidth()
{
    int width = 0;
    for (TcxGridBandedColumnHeaderViewInfo* item : FItems) width += item->GetMinWidth();
    return width;
}

void TcxGridBandRowViewInfo::FitColumnWidths()
{
    Distribute(
        Count(), BandViewInfo()->InnerWidth(),
        [this](int i, TcxAutoWidthItem* AItem) {
            TcxGridBandedColumnHeaderViewInfo* header = FItems[size_t(i)];
            AItem->MinimumWidth = header->GetMinWidth();
            AItem->Width = header->GetWidth();
            AItem->IsFixed = header->Column()->IsWidthFixed();
        },
        [this](int i, int AWidth) { FItems[size_t(i)]->SetWidth(AWidth); });
}

void TcxGridBandRowViewInfo::Calculate(const TRect& ABounds)
{
    Bounds = ABounds;
    FitColumnWidths();
    int lineHeight = BandViewInfo()->BandsViewInfo()->Header()->ItemHeight();
    int left = Bounds.Left;
    for (TcxGridBandedColumnHeaderViewInfo* item : FItems) {
        int width = item->GetWidth();
        item->Calculate(left, Bounds.Top, width, item->BandedColumn()->Position()->LineCount() * lineHeight);
        left += width;
    }
}

void TcxGridBandRowViewInfo::Offset(int DX, int DY)
{
    OffsetRect(Bounds, DX, DY);
    for (TcxGridBandedColumnHeaderViewInfo* item : FItems) item->Offset(DX, DY);
}

void TcxGridBandRowViewInfo::StoreColumnWidths()
{
    TcxCustomGridView* view = BandViewInfo()->BandedView();
    InViewUpdate(view, [this] {
        for (TcxGridBandedColumnHeaderViewInfo* item : FItems) item->Column()->SetWidth(item->DataWidth());
    });
}

TcxGridBandRowsViewInfo::TcxGridBandRowsViewInfo(TcxGridBandViewInfo* ABandViewInfo) : FBandViewInfo(ABandViewInfo) {}

TcxGridBandRowsViewInfo::~TcxGridBandRowsViewInfo() = default;

void TcxGridBandRowsViewInfo::AfterConstruction()
{
    TObject::AfterConstruction();
    int count = FBandViewInfo->Band()->Rows()->VisibleCount();
    for (int i = 0; i < count; ++i) FItems.emplace_back(RowViewInfoClass().Create(this, i));
}

TcxGridBandRowViewInfoClass TcxGridBandRowsViewInfo::RowViewInfoClass()
{
    return TcxGridBandRowViewInfoClass::Of<TcxGridBandRowViewInfo>();
}

int TcxGridBandRowsViewInfo::CalculateWidth()
{
    int width = 0;
    for (auto& row : FItems) width = std::max(width, row->Width());
    return width;
}

int TcxGridBandRowsViewInfo::Width()
{
    if (FWidth == -1) FWidth = CalculateWidth();
    return FWidth;
}

void TcxGridBandRowsViewInfo::FitColumnWidths()
{
    for (auto& row : FItems) row->FitColumnWidths();
    FWidth = -1;
}

void TcxGridBandRowsViewInfo::Calculate(const TRect& ABounds)
{
    Bounds = ABounds;
    int top = Bounds.Top;
    for (auto& row : FItems) {
        int height = row->Height();
        row->Calculate(TRect{Bounds.Left, top, Bounds.Right, top + height});
        top += height;
    }
    FWidth = -1;
}

void TcxGridBandRowsViewInfo::Offset(int DX, int DY)
{
    OffsetRect(Bounds, DX, DY);
    for (auto& row : FItems) row->Offset(DX, DY);
}

int TcxGridBandRowsViewInfo::RowIndexAt(int Y) const
{
    for (int i = 0; i < Count(); ++i)
        if (Y >= FItems[size_t(i)]->Bounds.Top && Y < FItems[size_t(i)]->Bounds.Bottom) return i;
    return -1;
}

// ---- band headers -------------------------------------------------------------------------------------

TcxGridBandHeaderViewInfo::TcxGridBandHeaderViewInfo(TcxGridBandViewInfo* ABandViewInfo)
    : TcxCustomGridViewCellViewInfo(ABandViewInfo->BandsViewInfo()->Header()->GridViewInfo()),
      FBandViewInfo(ABandViewInfo)
{
}

TcxGridBand* TcxGridBandHeaderViewInfo::Band() const { return FBandViewInfo->Band(); }
TcxGridBandedTableView* TcxGridBandHeaderViewInfo::BandedView() const { return FBandViewInfo->BandedView(); }

int TcxGridBandHeaderViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    return GridViewInfo()->GetFontHeight(Params.Font) + 4 + 2 * BandedView()->LookAndFeelPainter()->HeaderFrameWidth();
}

int TcxGridBandHeaderViewInfo::CalculateWidth() { return FBandViewInfo->InnerWidth(); }
std::string TcxGridBandHeaderViewInfo::GetText() { return Band()->Caption(); }
TAlignment TcxGridBandHeaderViewInfo::GetAlignmentHorz() { return Band()->HeaderAlignmentHorz(); }
TcxAlignmentVert TcxGridBandHeaderViewInfo::GetAlignmentVert() { return Band()->HeaderAlignmentVert(); }
int TcxGridBandHeaderViewInfo::GetBorderWidth(TcxBorder) { return BandedView()->LookAndFeelPainter()->HeaderFrameWidth(); }
TBitmap* TcxGridBandHeaderViewInfo::GetBackgroundBitmap() { return FBandViewInfo->BandsViewInfo()->BandHeaderBitmap(); }
bool TcxGridBandHeaderViewInfo::GetHotTrack() { return BandedView()->LookAndFeelPainter()->HeaderHotTrack(); }
bool TcxGridBandHeaderViewInfo::GetMultiLine() { return BandedView()->OptionsView()->BandHeaderLineCount() > 1; }

bool TcxGridBandHeaderViewInfo::GetMultiLinePainting()
{
    // A header of a set height wraps its caption over the lines it has.
    return GetMultiLine() || FBandViewInfo->BandsViewInfo()->BandHeaderHeightSet();
}

bool TcxGridBandHeaderViewInfo::GetShowEndEllipsis() { return BandedView()->OptionsView()->BandHeaderEndEllipsis(); }
void TcxGridBandHeaderViewInfo::GetViewParams(TcxViewParams& AParams) { Band()->Styles()->GetHeaderParams(AParams); }

bool TcxGridBandHeaderViewInfo::IsPressed()
{
    return State() == gcsPressed || cxGridBandedLayout::IsBandPressed(Band());
}

TRect TcxGridBandHeaderViewInfo::SizingEdgeRect()
{
    return TRect{Bounds.Right - SizingEdgeHalfWidth, Bounds.Top, Bounds.Right + SizingEdgeHalfWidth, Bounds.Bottom};
}

bool TcxGridBandHeaderViewInfo::HasCustomDraw() { return BandedView()->BandHeaderCustomDrawn(); }

bool TcxGridBandHeaderViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = TcxCustomGridViewCellViewInfo::CustomDraw(ACanvas);
    TcxGridBandedTableView* view = BandedView();
    if (!done && view->OnCustomDrawBandHeader) view->OnCustomDrawBandHeader(view, ACanvas, this, done);
    return done;
}

TcxCustomGridHitTest* TcxGridBandHeaderViewInfo::GetHitTest(const TPoint& P)
{
    if (FBandViewInfo->IsSizable() && PtInRect(SizingEdgeRect(), P))
        return cxGridBandedLayout::MakeBandHitTest(cxGridBandedLayout::bhkHeaderSizingEdge, this, Band(), P);
    if (PtInRect(Bounds, P)) return cxGridBandedLayout::MakeBandHitTest(cxGridBandedLayout::bhkHeader, this, Band(), P);
    return nullptr;
}

void TcxGridBandHeaderViewInfo::StateChanged()
{
    TcxCustomGridViewCellViewInfo::StateChanged();
    // A pressed header follows the mouse until it is let go.
    if (State() == gcsPressed)
        SetMouseCapture(true);
    else if (State() == gcsNormal)
        SetMouseCapture(false);
}

// ---- bands -----------------------------------------------------------------------------------------------

TcxGridBandViewInfo::TcxGridBandViewInfo(TcxGridBandsViewInfo* ABandsViewInfo, int AIndex)
    : FBandsViewInfo(ABandsViewInfo), FIndex(AIndex)
{
}

TcxGridBandViewInfo::~TcxGridBandViewInfo()
{
    FRows.reset();
    FHeader.reset();
}

void TcxGridBandViewInfo::AfterConstruction()
{
    TcxCustomGridCellViewInfo::AfterConstruction();
    CollectColumnHeaders();
    FHeader.reset(HeaderViewInfoClass().Create(this));
    FRows.reset(RowsViewInfoClass().Create(this));
}

TcxGridBandedTableView* TcxGridBandViewInfo::BandedView() const { return FBandsViewInfo->BandedView(); }
TcxGridBand* TcxGridBandViewInfo::Band() const { return BandedView()->Bands()->VisibleItems(FIndex); }
TcxGridBandFixedKind TcxGridBandViewInfo::FixedKind() const { return Band()->FixedKind(); }
bool TcxGridBandViewInfo::IsLast() const { return FIndex == FBandsViewInfo->Count() - 1; }
int TcxGridBandViewInfo::LineCount() { return Band()->Rows()->LineCount(); }
int TcxGridBandViewInfo::RowCount() { return FRows->Count(); }

TcxGridBandHeaderViewInfoClass TcxGridBandViewInfo::HeaderViewInfoClass()
{
    return TcxGridBandHeaderViewInfoClass::Of<TcxGridBandHeaderViewInfo>();
}

TcxGridBandRowsViewInfoClass TcxGridBandViewInfo::RowsViewInfoClass()
{
    return TcxGridBandRowsViewInfoClass::Of<TcxGridBandRowsViewInfo>();
}

void TcxGridBandViewInfo::CollectColumnHeaders()
{
    FColumnHeaders.clear();
    TcxGridBandedHeaderViewInfo* header = FBandsViewInfo->Header();
    TcxGridBand* band = Band();
    for (int i = 0; i < header->Count(); ++i) {
        auto* item = DynamicCast<TcxGridBandedColumnHeaderViewInfo>(header->Items(i));
        if (item && item->BandedColumn()->Position()->Band() == band) FColumnHeaders.push_back(item);
    }
    std::stable_sort(FColumnHeaders.begin(), FColumnHeaders.end(),
                     [](TcxGridBandedColumnHeaderViewInfo* A, TcxGridBandedColumnHeaderViewInfo* B) {
                         TcxGridBandedColumnPosition* a = A->BandedColumn()->Position();
                         TcxGridBandedColumnPosition* b = B->BandedColumn()->Position();
                         if (a->VisibleRowIndex() != b->VisibleRowIndex()) return a->VisibleRowIndex() < b->VisibleRowIndex();
                         return a->VisibleColIndex() < b->VisibleColIndex();
                     });
}

bool TcxGridBandViewInfo::HasSeparator(TcxBorder ASide)
{
    if (ASide == bRight) return FBandsViewInfo->SeparatorBand(fkLeft) == this;
    if (ASide == bLeft) return FBandsViewInfo->SeparatorBand(fkRight) == this;
    return false;
}

TcxBorders TcxGridBandViewInfo::GetBorders()
{
    TcxBorders result;
    if (FBandsViewInfo->BandedViewInfo()->GetFixedBandSeparatorWidth() == 0) return result;
    if (HasSeparator(bLeft)) result.Include(bLeft);
    if (HasSeparator(bRight)) result.Include(bRight);
    return result;
}

int TcxGridBandViewInfo::GetBorderWidth(TcxBorder ABorder)
{
    return HasSeparator(ABorder) ? FBandsViewInfo->BandedViewInfo()->GetFixedBandSeparatorWidth() : 0;
}

TColor TcxGridBandViewInfo::GetBorderColor(TcxBorder) { return FBandsViewInfo->BandedViewInfo()->GetFixedBandSeparatorColor(); }

int TcxGridBandViewInfo::InnerWidth() { return Width() - GetBorderWidth(bLeft) - GetBorderWidth(bRight); }

int TcxGridBandViewInfo::MinimumWidth()
{
    int rows = 0;
    for (int i = 0; i < FRows->Count(); ++i) rows = std::max(rows, FRows->Items(i)->MinimumWidth());
    int width = GetBorderWidth(bLeft) + rows + GetBorderWidth(bRight);
    // The first band holds the level indents of grouped rows.
    if (FIndex == 0) width = std::max(width, FBandsViewInfo->BandedViewInfo()->GetLevelIndentsWidth());
    return width;
}

int TcxGridBandViewInfo::MaximumWidth()
{
    TcxGridBandedTableView* view = BandedView();
    if (!view->OptionsView()->ColumnAutoWidth()) return INT_MAX;
    int result = FBandsViewInfo->BandedViewInfo()->ClientBounds.Width();
    for (int i = 0; i < FBandsViewInfo->Count(); ++i) {
        if (i == FIndex) continue;
        TcxGridBandViewInfo* other = FBandsViewInfo->Items(i);
        if (IsLast() || i > FIndex)
            result -= other->MinimumWidth();
        else
            result -= other->Width();
    }
    return std::max(result, MinimumWidth());
}

void TcxGridBandViewInfo::ClampWidth(int& AWidth)
{
    AWidth = std::max(AWidth, MinimumWidth());
    AWidth = std::min(AWidth, MaximumWidth());
}

bool TcxGridBandViewInfo::IsSizable() { return Band()->IsSizable(); }

bool TcxGridBandViewInfo::AllColumnsLocked()
{
    if (FColumnHeaders.empty()) return false;
    for (TcxGridBandedColumnHeaderViewInfo* header : FColumnHeaders)
        if (!header->Column()->IsWidthFixed()) return false;
    return true;
}

int TcxGridBandViewInfo::CalculateWidth()
{
    int width;
    if (Band()->Width() != 0)
        width = Band()->Width();
    else if (RowCount() > 0)
        width = FRows->Width();
    else
        width = 50;
    width += GetBorderWidth(bLeft) + GetBorderWidth(bRight);
    return std::max(width, MinimumWidth());
}

int TcxGridBandViewInfo::Width()
{
    if (FWidth == -1) FWidth = CalculateWidth();
    return FWidth;
}

void TcxGridBandViewInfo::FillWidthItem(TcxAutoWidthItem* AItem)
{
    AItem->MinimumWidth = MinimumWidth();
    AItem->Width = Width();
    AItem->IsFixed = BandWidthLocked();
}

bool TcxGridBandViewInfo::BandWidthLocked()
{
    if (!Band()->Options()->Sizing) return true;
    return cxGridBandedLayout::BandKeepsWidthWhileSizing(Band());
}

void TcxGridBandViewInfo::FitColumnWidths() { FRows->FitColumnWidths(); }

TRect TcxGridBandViewInfo::HeaderStrip()
{
    TRect r = ContentBounds();
    r.Bottom = r.Top + FBandsViewInfo->BandHeaderHeight();
    return r;
}

TRect TcxGridBandViewInfo::RowsArea()
{
    TRect r = ContentBounds();
    r.Top = std::min(r.Top + FBandsViewInfo->BandHeaderHeight(), r.Bottom);
    return r;
}

TBitmap* TcxGridBandViewInfo::GetBackgroundBitmap() { return FBandsViewInfo->BandBackgroundBitmap(); }

void TcxGridBandViewInfo::GetViewParams(TcxViewParams& AParams)
{
    Band()->Styles()->GetViewParams(TcxGridBandStyles::bsBackground, nullptr, nullptr, AParams);
}

bool TcxGridBandViewInfo::HasCustomDrawBackground() { return BandedView()->HasCustomDrawPartBackground(); }

bool TcxGridBandViewInfo::CustomDrawBackground(TcxCanvas* ACanvas)
{
    bool done = false;
    BandedView()->DoCustomDrawPartBackground(ACanvas, this, done);
    return done;
}

TcxCanvas* TcxGridBandViewInfo::GetCanvas() { return FBandsViewInfo->Header()->GetCanvas(); }
TcxControl* TcxGridBandViewInfo::GetControl() { return FBandsViewInfo->Header()->GetControl(); }

void TcxGridBandViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxCustomGridCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    FHeader->Calculate(HeaderStrip());
    TRect rows = RowsArea();
    FRows->Calculate(rows);
}

TcxCustomGridHitTest* TcxGridBandViewInfo::GetHitTest(const TPoint& P)
{
    TcxCustomGridHitTest* hit = nullptr;
    if (FBandsViewInfo->BandHeadersShown()) hit = FHeader->GetHitTest(P);
    if (!hit && PtInRect(Bounds, P)) hit = cxGridBandedLayout::MakeBandHitTest(cxGridBandedLayout::bhkBand, this, Band(), P);
    TRect rows = FRows->Bounds;
    // A column dragged below the last row may start a new one there.
    if (cxGridBandedLayout::IsColumnMoving(BandedView())) rows.Bottom += 20;
    if (!PtInRect(rows, P)) return hit;
    if (!hit) hit = cxGridBandedLayout::MakeBandHitTest(cxGridBandedLayout::bhkBand, this, Band(), P);
    int row = FRows->RowIndexAt(P.Y);
    if (auto* bandHit = DynamicCast<TcxGridBandHitTest>(hit)) bandHit->VisibleRowIndex = row == -1 ? RowCount() : row;
    return hit;
}

void TcxGridBandViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridCellViewInfo::DoOffset(DX, DY);
    FHeader->Offset(DX, DY);
    FRows->Offset(DX, DY);
}

// ---- the bands ----------------------------------------------------------------------------------------

TcxGridBandsViewInfo::TcxGridBandsViewInfo(TcxGridBandedHeaderViewInfo* AHeader) : FHeader(AHeader)
{
    FItems.resize(size_t(BandedView()->Bands()->VisibleCount()));
}

TcxGridBandsViewInfo::~TcxGridBandsViewInfo() = default;

TcxGridBandedTableView* TcxGridBandsViewInfo::BandedView() const { return FHeader->BandedView(); }
TcxGridBandedTableViewInfo* TcxGridBandsViewInfo::BandedViewInfo() const { return FHeader->BandedViewInfo(); }

TcxGridBandViewInfoClass TcxGridBandsViewInfo::BandViewInfoClass()
{
    return TcxGridBandViewInfoClass::Of<TcxGridBandViewInfo>();
}

TcxGridBandViewInfo* TcxGridBandsViewInfo::Items(int AIndex)
{
    if (AIndex < 0 || AIndex >= Count()) return nullptr;
    auto& slot = FItems[size_t(AIndex)];
    if (!slot) slot.reset(BandViewInfoClass().Create(this, AIndex));
    return slot.get();
}

TcxGridBandViewInfo* TcxGridBandsViewInfo::SeparatorBand(TcxGridBandFixedKind AFixedKind)
{
    TcxGridBands* bands = BandedView()->Bands();
    switch (AFixedKind) {
    case fkLeft: return bands->LeftFixedCount() > 0 ? Items(bands->LastVisibleIndexOfKind(fkLeft)) : nullptr;
    case fkRight: return bands->RightFixedCount() > 0 ? Items(bands->FirstVisibleIndexOfKind(fkRight)) : nullptr;
    default: return nullptr;
    }
}

bool TcxGridBandsViewInfo::BandHeadersShown() { return BandedView()->OptionsView()->BandHeaders(); }
bool TcxGridBandsViewInfo::ColumnHeadersShown() { return BandedView()->OptionsView()->Header(); }
bool TcxGridBandsViewInfo::BandHeaderHeightSet() { return BandedView()->OptionsView()->BandHeaderHeight() != 0; }

TBitmap* TcxGridBandsViewInfo::BandBackgroundBitmap()
{
    return BandedView()->BackgroundBitmaps()->GetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandBackground);
}

TBitmap* TcxGridBandsViewInfo::BandHeaderBitmap()
{
    return BandedView()->BackgroundBitmaps()->GetBitmap(TcxGridBandedTableBackgroundBitmaps::bbBandHeader);
}

int TcxGridBandsViewInfo::CalculateHeight()
{
    if (!BandHeadersShown()) return 0;
    TcxGridBandedTableOptionsView* options = BandedView()->OptionsView();
    if (BandHeaderHeightSet()) return options->BandHeaderHeight();
    int height = 0;
    for (int i = 0; i < Count(); ++i) height = std::max(height, Items(i)->HeaderViewInfo()->CalculateHeight());
    return height * options->BandHeaderLineCount();
}

int TcxGridBandsViewInfo::BandHeaderHeight()
{
    if (FBandHeaderHeight == -1) FBandHeaderHeight = CalculateHeight();
    return FBandHeaderHeight;
}

int TcxGridBandsViewInfo::MaxLineCount()
{
    if (FMaxLineCount == -1) {
        FMaxLineCount = 0;
        for (int i = 0; i < Count(); ++i) FMaxLineCount = std::max(FMaxLineCount, Items(i)->LineCount());
    }
    return FMaxLineCount;
}

int TcxGridBandsViewInfo::MaxRowCount()
{
    if (FMaxRowCount == -1) {
        FMaxRowCount = 0;
        for (int i = 0; i < Count(); ++i) FMaxRowCount = std::max(FMaxRowCount, Items(i)->RowCount());
    }
    return FMaxRowCount;
}

int TcxGridBandsViewInfo::GetHeight()
{
    return BandHeaderHeight() + (ColumnHeadersShown() ? FHeader->Specific()->GetHeight() : 0);
}

int TcxGridBandsViewInfo::GetWidth()
{
    int width = 0;
    for (int i = 0; i < Count(); ++i) width += Items(i)->Width();
    return width;
}

void TcxGridBandsViewInfo::FitColumnWidths()
{
    for (int i = 0; i < Count(); ++i) Items(i)->FitColumnWidths();
}

void TcxGridBandsViewInfo::CalculateAutoWidths()
{
    Distribute(
        Count(), BandedViewInfo()->ClientBounds.Width(),
        [this](int i, TcxAutoWidthItem* AItem) { Items(i)->FillWidthItem(AItem); },
        [this](int i, int AWidth) { Items(i)->AssignWidth(AWidth); });
}

void TcxGridBandsViewInfo::Calculate(const TRect& ABounds)
{
    TcxGridBands* bands = BandedView()->Bands();
    TRect r = ABounds;
    auto place = [&](int AIndex, int ALeft) {
        TcxGridBandViewInfo* band = Items(AIndex);
        band->Calculate(ALeft, r.Top, band->Width(), r.Height());
    };
    int left = r.Left;
    for (int i = 0; i < Count(); ++i)
        if (bands->VisibleItems(i)->FixedKind() == fkLeft) {
            place(i, left);
            left += Items(i)->Width();
        }
    int right = r.Right;
    for (int i = Count() - 1; i >= 0; --i)
        if (bands->VisibleItems(i)->FixedKind() == fkRight) {
            right -= Items(i)->Width();
            place(i, right);
        }
    // The scrolling bands follow the scroll position themselves when the
    // header stays put for the left-fixed ones.
    if (bands->LeftFixedCount() > 0) left -= BandedViewInfo()->LeftPos();
    for (int i = 0; i < Count(); ++i)
        if (bands->VisibleItems(i)->FixedKind() == fkNone) {
            place(i, left);
            left += Items(i)->Width();
        }
}

void TcxGridBandsViewInfo::Offset(int DX, int)
{
    for (auto& band : FItems)
        if (band) band->Offset(DX, 0);
}

TcxCustomGridHitTest* TcxGridBandsViewInfo::GetHitTest(const TPoint& P)
{
    // Fixed bands lie over the scrolled ones.
    for (TcxGridBandFixedKind kind : {fkLeft, fkRight, fkNone})
        for (int i = 0; i < Count(); ++i) {
            TcxGridBandViewInfo* band = Items(i);
            if (band->FixedKind() != kind || !band->Calculated) continue;
            if (TcxCustomGridHitTest* hit = band->GetHitTest(P)) return hit;
        }
    return nullptr;
}

void TcxGridBandsViewInfo::StoreBandWidths()
{
    InViewUpdate(BandedView(), [this] {
        for (int i = 0; i < Count(); ++i) Items(i)->Band()->SetWidth(Items(i)->InnerWidth());
    });
}

int TcxGridBandsViewInfo::BandDropIndexAt(const TPoint& P)
{
    if (Count() == 0) return -1;
    TRect r = Items(0)->HeaderViewInfo()->Bounds;
    InflateRect(r, 0, 20);
    for (int i = 0; i <= Count(); ++i) {
        if (i < Count()) {
            TRect header = Items(i)->HeaderViewInfo()->Bounds;
            r.Right = (header.Left + header.Right) / 2;
        } else {
            r.Right = BandedViewInfo()->ClientBounds.Right;
        }
        if (PtInRect(r, P)) return i;
        r.Left = r.Right;
    }
    return -1;
}

// ---- the header -----------------------------------------------------------------------------------------

int TcxGridBandedHeaderViewInfoSpecific::GetHeight()
{
    auto* header = static_cast<TcxGridBandedHeaderViewInfo*>(Header());
    return header->BandsViewInfo()->MaxLineCount() * GetItemHeight();
}

TcxGridBandedHeaderViewInfo::~TcxGridBandedHeaderViewInfo() { FBands.reset(); }

void TcxGridBandedHeaderViewInfo::AfterConstruction()
{
    TcxGridHeaderViewInfo::AfterConstruction();
    FBands.reset(BandsViewInfoClass().Create(this));
}

TcxGridBandsViewInfoClass TcxGridBandedHeaderViewInfo::BandsViewInfoClass()
{
    return TcxGridBandsViewInfoClass::Of<TcxGridBandsViewInfo>();
}

TcxGridBandedTableView* TcxGridBandedHeaderViewInfo::BandedView() const
{
    return static_cast<TcxGridBandedTableView*>(TableView());
}

TcxGridBandedTableViewInfo* TcxGridBandedHeaderViewInfo::BandedViewInfo() const
{
    return static_cast<TcxGridBandedTableViewInfo*>(TableViewInfo());
}

TcxGridColumnHeaderViewInfoClass TcxGridBandedHeaderViewInfo::GetItemClass()
{
    return TcxGridColumnHeaderViewInfoClass::Of<TcxGridBandedColumnHeaderViewInfo>();
}

bool TcxGridBandedHeaderViewInfo::IsHeightAssigned()
{
    return TcxGridHeaderViewInfo::IsHeightAssigned() && FBands->MaxLineCount() <= 1;
}

bool TcxGridBandedHeaderViewInfo::IsItemAutoHeight()
{
    return TcxGridHeaderViewInfo::IsItemAutoHeight() && FBands->MaxLineCount() <= 1;
}

TcxNeighbors TcxGridBandedHeaderViewInfo::GetColumnNeighbors(TcxGridColumn* AColumn)
{
    TcxNeighbors result;
    auto* column = DynamicCast<TcxGridBandedColumn>(AColumn);
    TcxGridBandRow* row = column ? column->Position()->Row() : nullptr;
    if (!row) return result;
    int index = column->Position()->VisibleColIndex();
    if (index > 0) result.Include(nLeft);
    if (index < row->VisibleCount() - 1) result.Include(nRight);
    return result;
}

bool TcxGridBandedHeaderViewInfo::IsHorzScrollable() { return BandedView()->Bands()->LeftFixedCount() == 0; }

bool TcxGridBandedHeaderViewInfo::GetVisible()
{
    return FBands->BandHeadersShown() || FBands->ColumnHeadersShown();
}

int TcxGridBandedHeaderViewInfo::CalculateHeight() { return FBands->GetHeight(); }

int TcxGridBandedHeaderViewInfo::CalculateWidth()
{
    int data = FBands->GetWidth();
    int client = BandedViewInfo()->ClientBounds.Width();
    if (data <= client) return data;
    TcxGridBands* bands = BandedView()->Bands();
    bool left = bands->LeftFixedCount() > 0, right = bands->RightFixedCount() > 0;
    int leftPos = BandedViewInfo()->LeftPos();
    if (left && !right) return data - leftPos;
    if (right && !left) return client + leftPos;
    if (left && right) return client;
    return data;
}

void TcxGridBandedHeaderViewInfo::CalculateColumnAutoWidths() { FBands->CalculateAutoWidths(); }

void TcxGridBandedHeaderViewInfo::CalculateItems() { FBands->Calculate(Bounds); }

TcxCustomGridHitTest* TcxGridBandedHeaderViewInfo::GetHitTest(const TPoint& P)
{
    TcxCustomGridHitTest* hit = FBands->GetHitTest(P);
    TcxGridBand* band = cxGridBandedLayout::BandOfHitTest(hit);
    if (!band || !FBands->ColumnHeadersShown()) return hit;
    // A column of the same band under the point answers instead.
    TcxGridBandViewInfo* bandViewInfo = nullptr;
    for (int i = 0; i < FBands->Count() && !bandViewInfo; ++i)
        if (FBands->Items(i)->Band() == band) bandViewInfo = FBands->Items(i);
    if (!bandViewInfo) return hit;
    for (int i = 0; i < bandViewInfo->ColumnHeaderCount(); ++i) {
        TcxGridBandedColumnHeaderViewInfo* column = bandViewInfo->ColumnHeaders(i);
        if (!column->Calculated) continue;
        if (TcxCustomGridHitTest* columnHit = column->GetHitTest(P)) return columnHit;
    }
    // The column headers asked the shared instances; ask the bands again.
    return FBands->GetHitTest(P);
}

void TcxGridBandedHeaderViewInfo::DoOffset(int DX, int DY)
{
    // The bands move their column headers with them.
    TcxCustomGridPartViewInfo::DoOffset(DX, DY);
    FBands->Offset(DX, DY);
}

namespace {
// The column zone of a column header hit test at P.
std::unique_ptr<TcxGridBandedColumnContainerZone> ColumnZone(TcxGridBandedColumnHeaderViewInfo* AHeader, const TPoint& P)
{
    TcxGridBandedColumnPosition* position = AHeader->BandedColumn()->Position();
    int colIndex = position->VisibleColIndex();
    if (P.X >= (AHeader->Bounds.Left + AHeader->Bounds.Right) / 2) ++colIndex;
    return std::make_unique<TcxGridBandedColumnContainerZone>(AHeader->Column()->VisibleIndex(), position->Band(),
                                                              colIndex, position->VisibleRowIndex());
}
}  // namespace

std::unique_ptr<TcxGridBandedColumnContainerZone> TcxGridBandedHeaderViewInfo::ZoneAt(const TPoint& P)
{
    auto* hit = DynamicCast<TcxCustomGridViewHitTest>(TableViewInfo()->GetHitTest(P));
    if (!hit || hit->GridView != GridView()) return nullptr;
    if (auto* columnHit = DynamicCast<TcxCustomGridColumnHitTest>(hit)) {
        if (columnHit->ColumnContainerKind != ckHeader || !columnHit->Column) return nullptr;
        int index = columnHit->Column->VisibleIndex();
        auto* header = DynamicCast<TcxGridBandedColumnHeaderViewInfo>(Items(index));
        return header ? ColumnZone(header, P) : nullptr;
    }
    TcxGridBand* band = cxGridBandedLayout::BandOfHitTest(hit);
    int row = cxGridBandedLayout::BandHitTestRow(hit);
    if (!band || row < 0) return nullptr;
    int rowCount = band->Rows()->VisibleCount();
    return std::make_unique<TcxGridBandedColumnContainerZone>(-1, band, 0, row == rowCount ? row : row + 1);
}

int TcxGridBandedFooterViewInfo::CalculateItemHeight()
{
    int offset = 2 * TableView()->LookAndFeelPainter()->FooterCellOffset();
    int lines = std::max(BandsOf(TableViewInfo()) ? BandsOf(TableViewInfo())->MaxLineCount() : 1, 1);
    return (TcxGridFooterViewInfo::CalculateItemHeight() - offset) * lines + offset;
}

// ---- data rows -----------------------------------------------------------------------------------------

TcxGridBandedDataRowCellsAreaItemViewInfo::TcxGridBandedDataRowCellsAreaItemViewInfo(
    TcxGridBandedDataRowCellsAreaViewInfo* ACellsArea, TcxGridBandViewInfo* ABandViewInfo)
    : TcxGridCellViewInfo(ACellsArea->RecordViewInfo()), FCellsArea(ACellsArea), FBandViewInfo(ABandViewInfo)
{
}

bool TcxGridBandedDataRowCellsAreaItemViewInfo::HasSeparator()
{
    return FCellsArea->BandedViewInfo()->GetFixedBandSeparatorWidth() > 0 &&
           (FBandViewInfo->HasSeparator(bLeft) || FBandViewInfo->HasSeparator(bRight));
}

TcxBorders TcxGridBandedDataRowCellsAreaItemViewInfo::GetBorders()
{
    TcxBorders result =
        FCellsArea->DataRowViewInfo()->GetCellBorders(FBandViewInfo->IsLast(), FCellsArea->HasBottomBorder());
    if (FCellsArea->BandedViewInfo()->GetFixedBandSeparatorWidth() > 0) {
        if (FBandViewInfo->HasSeparator(bLeft)) result.Exclude(bLeft);
        if (FBandViewInfo->HasSeparator(bRight)) result.Exclude(bRight);
    }
    return result;
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::GetViewParams(TcxViewParams& AParams)
{
    // A selected record keeps the selection's colours.
    if (Selected()) {
        TcxGridCellViewInfo::GetViewParams(AParams);
        return;
    }
    FBandViewInfo->Band()->Styles()->GetViewParams(TcxGridBandStyles::bsContent, GridRecord(), nullptr, AParams);
}

TRect TcxGridBandedDataRowCellsAreaItemViewInfo::SeparatorStrip()
{
    int width = FCellsArea->BandedViewInfo()->GetFixedBandSeparatorWidth();
    TRect r = ContentBounds();
    if (FBandViewInfo->HasSeparator(bLeft))
        r.Right = r.Left + width;
    else if (FBandViewInfo->HasSeparator(bRight))
        r.Left = r.Right - width;
    else
        r = TRect{};
    return r;
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::CollectGridLines()
{
    FGridLines.clear();
    TcxGridDataRowViewInfo* row = FCellsArea->DataRowViewInfo();
    TcxGridBandedRowsViewInfo* rows = FCellsArea->BandedViewInfo()->BandedRowsViewInfo();
    bool vert = rows->DrawsVertLines(), horz = rows->DrawsHorzLines();
    if (!vert && !horz) return;
    int lineWidth = FCellsArea->BandedViewInfo()->GetGridLineWidth();
    for (int i = 0; i < FBandViewInfo->ColumnHeaderCount(); ++i) {
        TcxGridBandedColumn* column = FBandViewInfo->ColumnHeaders(i)->BandedColumn();
        int index = column->VisibleIndex();
        if (index < 0 || index >= row->CellCount()) continue;
        TcxGridDataCellViewInfo* cell = row->Cells(index);
        if (!cell || !cell->Calculated) continue;
        const TRect& r = cell->Bounds;
        if (vert && column->Position()->VisibleColIndex() >= 1)
            FGridLines.push_back(TRect{r.Left - lineWidth, r.Top, r.Left, r.Bottom});
        if (horz && column->Position()->VisibleRowIndex() >= 1)
            FGridLines.push_back(TRect{r.Left, r.Top - lineWidth, r.Right, r.Top});
    }
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    CollectGridLines();
}

void TcxGridBandedDataRowCellsAreaItemViewInfo::DoOffset(int DX, int DY)
{
    TcxGridCellViewInfo::DoOffset(DX, DY);
    CollectGridLines();
}

TcxGridBandedDataRowCellsAreaViewInfo::~TcxGridBandedDataRowCellsAreaViewInfo() { FItems.clear(); }

void TcxGridBandedDataRowCellsAreaViewInfo::AfterConstruction()
{
    TcxGridDataRowCellsAreaViewInfo::AfterConstruction();
    TcxGridBandsViewInfo* bands = BandsOf(BandedViewInfo());
    if (!bands) return;
    for (int i = 0; i < bands->Count(); ++i) FItems.emplace_back(AreaItemClass().Create(this, bands->Items(i)));
}

TcxGridBandedDataRowCellsAreaItemViewInfoClass TcxGridBandedDataRowCellsAreaViewInfo::AreaItemClass()
{
    return TcxGridBandedDataRowCellsAreaItemViewInfoClass::Of<TcxGridBandedDataRowCellsAreaItemViewInfo>();
}

TcxGridBandedTableViewInfo* TcxGridBandedDataRowCellsAreaViewInfo::BandedViewInfo() const
{
    return static_cast<TcxGridBandedTableViewInfo*>(DataRowViewInfo()->TableViewInfo());
}

bool TcxGridBandedDataRowCellsAreaViewInfo::CalculateVisible()
{
    return BandedViewInfo()->BandedRowsViewInfo()->UsesBandAreas();
}

void TcxGridBandedDataRowCellsAreaViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridDataRowCellsAreaViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    for (int i = 0; i < Count(); ++i) {
        TRect band = FItems[size_t(i)]->BandViewInfo()->Bounds;
        int left = i == 0 ? Bounds.Left : band.Left;
        FItems[size_t(i)]->Calculate(left, Bounds.Top, band.Right - left, Bounds.Height());
    }
}

void TcxGridBandedDataRowCellsAreaViewInfo::DoOffset(int DX, int DY)
{
    TcxGridDataRowCellsAreaViewInfo::DoOffset(DX, DY);
    for (auto& item : FItems) item->Offset(DX, 0);
}

void TcxGridBandedDataRowCellsAreaViewInfo::Invalidate()
{
    TcxGridDataRowCellsAreaViewInfo::Invalidate();
    for (auto& item : FItems) item->Invalidate();
}

void TcxGridBandedRowsViewInfo::AfterConstruction()
{
    TcxGridRowsViewInfo::AfterConstruction();
    FUsesBandAreas = CalculateUsesBandAreas();
}

TcxGridBandedTableViewInfo* TcxGridBandedRowsViewInfo::BandedViewInfo() const
{
    return static_cast<TcxGridBandedTableViewInfo*>(TableViewInfo());
}

bool TcxGridBandedRowsViewInfo::CalculateUsesBandAreas()
{
    TcxGridBandsViewInfo* bands = BandsOf(BandedViewInfo());
    if (!bands) return false;
    if (bands->MaxLineCount() > 1) return true;
    for (int i = 0; i < bands->Count(); ++i) {
        TcxGridBandViewInfo* band = bands->Items(i);
        if (band->ColumnHeaderCount() == 0 || band->FixedKind() != fkNone || band->AllColumnsLocked()) return true;
    }
    return false;
}

bool TcxGridBandedRowsViewInfo::DrawsVertLines()
{
    TcxGridLines lines = TableView()->OptionsView()->GridLines();
    return BandedViewInfo()->MaxLineCount() > 1 && (lines == glBoth || lines == glVertical);
}

bool TcxGridBandedRowsViewInfo::DrawsHorzLines()
{
    TcxGridBandsViewInfo* bands = BandsOf(BandedViewInfo());
    return bands && bands->MaxRowCount() >= 2 && TableView()->OptionsView()->GridLines() == glBoth;
}

int TcxGridBandedRowsViewInfo::CalculateDataRowHeight()
{
    int height = TcxGridRowsViewInfo::CalculateDataRowHeight();
    TcxGridBandsViewInfo* bands = BandsOf(BandedViewInfo());
    if (bands && bands->MaxLineCount() > 0) height *= bands->MaxLineCount();
    return height;
}

bool TcxGridBandedRowsViewInfo::IsDataRowHeightAssigned()
{
    return TcxGridRowsViewInfo::IsDataRowHeightAssigned() && BandedViewInfo()->MaxLineCount() == 1;
}

bool TcxGridBandedRowsViewInfo::GetAutoCellHeight()
{
    return TcxGridRowsViewInfo::GetAutoCellHeight() && BandedViewInfo()->MaxLineCount() == 1;
}

bool TcxGridBandedRowsViewInfo::CanSizeDataRows()
{
    return TcxGridRowsViewInfo::CanSizeDataRows() && BandedViewInfo()->MaxLineCount() == 1;
}

TcxGridDataRowCellsAreaViewInfoClass TcxGridBandedRowsViewInfo::GetCellsAreaViewInfoClass()
{
    return TcxGridDataRowCellsAreaViewInfoClass::Of<TcxGridBandedDataRowCellsAreaViewInfo>();
}

// ---- the view's layout ----------------------------------------------------------------------------------

TcxGridBandsViewInfo* TcxGridBandedTableViewInfo::BandsViewInfo() const { return BandsOf(const_cast<TcxGridBandedTableViewInfo*>(this)); }

TColor TcxGridBandedTableViewInfo::GetFixedBandSeparatorColor() { return BandedView()->OptionsView()->GetFixedBandSeparatorColor(); }
int TcxGridBandedTableViewInfo::GetFixedBandSeparatorWidth() { return BandedView()->OptionsView()->FixedBandSeparatorWidth(); }

int TcxGridBandedTableViewInfo::MaxLineCount()
{
    TcxGridBandsViewInfo* bands = BandsViewInfo();
    return std::max(bands ? bands->MaxLineCount() : 1, 1);
}

TcxGridHeaderViewInfoClass TcxGridBandedTableViewInfo::GetHeaderViewInfoClass()
{
    return TcxGridHeaderViewInfoClass::Of<TcxGridBandedHeaderViewInfo>();
}

TcxGridFooterViewInfoClass TcxGridBandedTableViewInfo::GetFooterViewInfoClass()
{
    return TcxGridFooterViewInfoClass::Of<TcxGridBandedFooterViewInfo>();
}

TcxGridHeaderViewInfoSpecificClass TcxGridBandedTableViewInfo::GetHeaderViewInfoSpecificClass()
{
    return TcxGridHeaderViewInfoSpecificClass::Of<TcxGridBandedHeaderViewInfoSpecific>();
}

TcxCustomGridRecordsViewInfoClass TcxGridBandedTableViewInfo::GetRecordsViewInfoClass()
{
    return TcxCustomGridRecordsViewInfoClass::Of<TcxGridBandedRowsViewInfo>();
}

int TcxGridBandedTableViewInfo::CalculateDataWidth()
{
    TcxGridBandsViewInfo* bands = BandsViewInfo();
    int width = bands ? bands->GetWidth() : 0;
    if (width == 0 && TableView()->OptionsView()->ColumnAutoWidth()) width = ClientBounds.Width();
    return width;
}

namespace {
int LineHeightOf(TcxGridBandedTableViewInfo* AViewInfo, int AHeight) { return AHeight / AViewInfo->MaxLineCount(); }

TcxGridBandedColumn* VisibleColumnOf(TcxGridBandedTableViewInfo* AViewInfo, int AIndex)
{
    TcxGridBandedTableView* view = AViewInfo->BandedView();
    if (AIndex < 0 || AIndex >= view->VisibleItemCount()) return nullptr;
    return view->VisibleColumns(AIndex);
}
}  // namespace

int TcxGridBandedTableViewInfo::GetCellHeight(int AIndex, int AHeight)
{
    TcxGridBandedColumn* column = VisibleColumnOf(this, AIndex);
    if (!column || MaxLineCount() == 1) return AHeight;
    return LineHeightOf(this, AHeight) * column->Position()->LineCount();
}

int TcxGridBandedTableViewInfo::GetCellTopOffset(int AIndex, int AHeight)
{
    TcxGridBandedColumn* column = VisibleColumnOf(this, AIndex);
    TcxGridBandRow* row = column ? column->Position()->Row() : nullptr;
    if (!row) return 0;
    return LineHeightOf(this, AHeight) * row->FirstLine();
}

TRect TcxGridBandedTableViewInfo::GetScrollableAreaBounds()
{
    TRect r = GetHorzScrollArea();
    if (TcxGridBandsViewInfo* bands = BandsViewInfo()) {
        if (TcxGridBandViewInfo* left = bands->SeparatorBand(fkLeft)) r.Left = left->Bounds.Right;
        if (TcxGridBandViewInfo* right = bands->SeparatorBand(fkRight)) r.Right = right->Bounds.Left;
    }
    return r;
}

TRect TcxGridBandedTableViewInfo::GetScrollableClientBounds()
{
    TRect r = ClientBounds;
    TRect area = GetScrollableAreaBounds();
    r.Left = area.Left;
    r.Right = area.Right;
    return r;
}

bool TcxGridBandedTableViewInfo::CanOffsetView(int ARecordCountDelta, int DX, int DY)
{
    if (DX != 0 && BandedView()->Bands()->FixedSidesPresent() != 0) return false;
    return TcxGridTableViewInfo::CanOffsetView(ARecordCountDelta, DX, DY);
}
