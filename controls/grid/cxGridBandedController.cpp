#include "cxGridBandedController.h"

#include "Overlay.h"
#include "cxControls.h"
#include "cxGridBandedLayout.h"
#include "cxGridStrs.h"
#include "cxGridTableLayout.h"
#include "cxGridTablePainters.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridColumnHeaderVertSizingEdgeHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridBandHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridBandHeaderHitTest, TcxGridBandHitTest)
QZ_CLASS_IMPL(TcxGridBandHeaderSizingEdgeHitTest, TcxGridBandHitTest)
QZ_CLASS_IMPL(TcxGridBandedTableController, TcxGridTableController)
QZ_CLASS_IMPL(TcxGridBandedTableBandsListBox, TcxCustomGridTableItemsListBox)
QZ_CLASS_IMPL(TcxGridBandedTableCustomizationForm, TcxGridTableCustomizationForm)
QZ_CLASS_IMPL(TcxGridBandedColumnHeaderMovingObject, TcxGridColumnHeaderMovingObject)
QZ_CLASS_IMPL(TcxGridBandHeaderMovingObject, TcxCustomGridMovingObject)
QZ_CLASS_IMPL(TcxGridColumnVertSizingObject, TcxCustomGridColumnSizingObject)
QZ_CLASS_IMPL(TcxGridBandSizingObject, TcxCustomGridSizingObject)

using namespace cxGridBandedController;

namespace {
using cxGridBandedTableView::InViewUpdate;

// The layout's view of a shown band; null when the band does not show.
TcxGridBandViewInfo* BandViewInfoOf(TcxGridBandedTableViewInfo* AViewInfo, TcxGridBand* ABand)
{
    TcxGridBandsViewInfo* bands = AViewInfo ? AViewInfo->BandsViewInfo() : nullptr;
    const int index = ABand ? ABand->VisibleIndex() : -1;
    if (!bands || index < 0 || index >= bands->Count()) return nullptr;
    return bands->Items(index);
}

// Over the view's bounds; a band that scrolls keeps its marks to the area between the fixed bands.
TRect ClipToScrollableArea(TcxGridBandedTableViewInfo* AViewInfo, TRect ABounds, TcxGridBand* ABand)
{
    if (!AViewInfo || !ABand || ABand->FixedKind() != fkNone) return ABounds;
    const TRect area = AViewInfo->GetScrollableAreaBounds();
    ABounds.Left = std::max(ABounds.Left, area.Left);
    ABounds.Right = std::min(ABounds.Right, area.Right);
    return ABounds;
}
}  // namespace

// ---- hit tests --------------------------------------------------------------------------------------

TCursor TcxGridColumnHeaderVertSizingEdgeHitTest::Cursor() const { return crcxVertSize; }

TClass TcxGridColumnHeaderVertSizingEdgeHitTest::DragAndDropObjectClass() const
{
    auto* column = DynamicCast<TcxGridBandedColumn>(Column);
    return column && column->IsVertSizable() ? TcxGridColumnVertSizingObject::StaticClass() : nullptr;
}

TcxGridBandHitTest* TcxGridBandHitTest::Instance(TClass AClass, const TPoint& APos, TcxGridBand* ABand)
{
    auto* hit = static_cast<TcxGridBandHitTest*>(TcxCustomGridHitTest::Instance(AClass, APos));
    // The shared instance keeps what its last user stored: every field is set anew.
    hit->ViewInfo = nullptr;
    hit->Band = ABand;
    hit->GridView = ABand ? ABand->GridView() : nullptr;
    hit->BandPlace = bpHeader;
    hit->VisibleRowIndex = -1;
    return hit;
}

TClass TcxGridBandHeaderHitTest::DragAndDropObjectClass() const
{
    return Band && Band->IsMovable() ? TcxGridBandHeaderMovingObject::StaticClass() : nullptr;
}

TCursor TcxGridBandHeaderSizingEdgeHitTest::Cursor() const { return crcxHorzSize; }

TClass TcxGridBandHeaderSizingEdgeHitTest::DragAndDropObjectClass() const
{
    return Band && Band->IsSizable() ? TcxGridBandSizingObject::StaticClass() : nullptr;
}

// ---- the controller -----------------------------------------------------------------------------------

TcxGridBandedTableController::TcxGridBandedTableController(TcxCustomGridView* AGridView)
    : TcxGridTableController(AGridView)
{
}

TcxGridBandedTableView* TcxGridBandedTableController::GridView() const
{
    return static_cast<TcxGridBandedTableView*>(TcxGridTableController::GridView());
}

TcxGridBandedColumn* TcxGridBandedTableController::FocusedColumn() const
{
    return DynamicCast<TcxGridBandedColumn>(FocusedItem());
}

void TcxGridBandedTableController::PressBand(TcxGridBand* ABand)
{
    TcxGridBand* prev = PressedBand();
    if (prev == ABand) return;
    FPressedBand = ABand;
    // Both headers change their look; they stand in the header part.
    if (TcxGridTableViewInfo* viewInfo = ViewInfo())
        if (TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo()) header->Invalidate();
}

// ---- the navigation order -------------------------------------------------------------------------------

std::vector<TcxGridBandedColumn*> TcxGridBandedTableController::LineOrder()
{
    // Every shown row enters the order at the line it starts on, bands left
    // to right within a line. A row several lines high is met once, so no
    // column is skipped or met twice, whatever the line counts are.
    struct TRowAt {
        int Line;
        int Band;
        TcxGridBandRow* Row;
    };
    std::vector<TRowAt> rows;
    TcxGridBands* bands = GridView()->Bands();
    for (int b = 0; b < bands->VisibleCount(); ++b) {
        TcxGridBandRows* bandRows = bands->VisibleItems(b)->Rows();
        for (int r = 0; r < bandRows->VisibleCount(); ++r)
            rows.push_back({bandRows->VisibleItems(r)->FirstLine(), b, bandRows->VisibleItems(r)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const TRowAt& A, const TRowAt& B) {
        return A.Line != B.Line ? A.Line < B.Line : A.Band < B.Band;
    });
    std::vector<TcxGridBandedColumn*> result;
    for (const TRowAt& at : rows)
        for (int c = 0; c < at.Row->VisibleCount(); ++c) result.push_back(at.Row->VisibleItems(c));
    return result;
}

TcxGridBandedColumn* TcxGridBandedTableController::AdjacentColumn(TcxGridBandedColumn* AColumn, bool AGoForward)
{
    const std::vector<TcxGridBandedColumn*> order = LineOrder();
    if (order.empty()) return nullptr;
    if (!AColumn) return AGoForward ? order.front() : order.back();
    const auto it = std::find(order.begin(), order.end(), AColumn);
    if (it == order.end()) return nullptr;
    if (AGoForward) return it + 1 == order.end() ? nullptr : *(it + 1);
    return it == order.begin() ? nullptr : *(it - 1);
}

void TcxGridBandedTableController::NavigationOrder(TcxGridBandedColumn* AItem, bool AGoForward,
                                                   std::vector<TcxGridBandedColumn*>& AList)
{
    AList.clear();
    if (AItem && AItem->VisibleIndex() < 0) return;
    std::vector<TcxGridBandedColumn*> order = LineOrder();
    if (!AGoForward) std::reverse(order.begin(), order.end());
    auto from = order.begin();
    if (AItem) {
        from = std::find(order.begin(), order.end(), AItem);
        if (from == order.end()) return;
        ++from;
    }
    AList.assign(from, order.end());
}

int TcxGridBandedTableController::FindNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle,
                                               bool& ACycleChanged)
{
    ACycleChanged = false;
    TcxGridBandedTableView* view = GridView();
    // Home and End ask from just outside the columns: that is a walk from the start.
    TcxGridBandedColumn* from = AFocusedItemIndex >= 0 && AFocusedItemIndex < view->VisibleItemCount()
                                    ? view->VisibleColumns(AFocusedItemIndex)
                                    : nullptr;
    std::vector<TcxGridBandedColumn*> order;
    NavigationOrder(from, AGoForward, order);
    for (TcxGridBandedColumn* column : order)
        if (column->CanFocus()) return column->VisibleIndex();
    if (!AGoOnCycle || !from) return -1;
    bool cycled = false;
    const int result = FindNextItem(-1, AGoForward, false, cycled);
    ACycleChanged = result != -1;
    return result;
}

int TcxGridBandedTableController::ItemAboveOrBelow(int AItemVisibleIndex, bool AGoForward, bool AGoOnCycle)
{
    TcxGridBandedTableView* view = GridView();
    if (AItemVisibleIndex < 0 || AItemVisibleIndex >= view->VisibleItemCount()) return -1;
    TcxGridBandedColumn* column = view->VisibleColumns(AItemVisibleIndex);
    TcxGridBand* band = column->Position()->Band();
    const int colPos = column->Position()->VisibleColIndex();
    if (!band || colPos < 0) return -1;
    // The column at the same place in every row of the band.
    std::vector<TcxGridBandedColumn*> list;
    int start = -1;
    for (int i = 0; i < band->Rows()->VisibleCount(); ++i) {
        TcxGridBandRow* row = band->Rows()->VisibleItems(i);
        if (row->VisibleCount() == 0) continue;
        TcxGridBandedColumn* c = row->VisibleItems(std::min(colPos, row->VisibleCount() - 1));
        if (c == column) start = int(list.size());
        list.push_back(c);
    }
    if (start < 0) return -1;
    const int count = int(list.size());
    const int step = AGoForward ? 1 : -1;
    // A search that goes round tries the starting column last.
    const int tries = AGoOnCycle ? count : (AGoForward ? count - 1 - start : start);
    for (int n = 1; n <= tries; ++n) {
        TcxGridBandedColumn* c = list[size_t(((start + n * step) % count + count) % count)];
        if (c->CanFocus()) return c->VisibleIndex();
    }
    return -1;
}

bool TcxGridBandedTableController::FocusItemAboveOrBelow(int AItemVisibleIndex, bool AGoForward, bool AGoOnCycle)
{
    const int index = ItemAboveOrBelow(AItemVisibleIndex, AGoForward, AGoOnCycle);
    if (index == -1) return false;
    SetFocusedItem(GridView()->VisibleColumns(index));
    return true;
}

// ---- sizing rules ------------------------------------------------------------------------------------------

bool TcxGridBandedTableController::IsColumnFixedDuringHorzSizing(TcxGridColumn* AColumn)
{
    auto* sized = DynamicCast<TcxGridBandedColumn>(ItemBeingSized);
    if (!sized || !AColumn) return false;
    if (AColumn == sized) return true;
    // The last column of its row gives and takes from all the others.
    if (sized->IsRight()) return false;
    auto* column = DynamicCast<TcxGridBandedColumn>(AColumn);
    TcxGridBandRow* row = sized->Position()->Row();
    return column && row && column->Position()->Row() == row &&
           column->Position()->VisibleColIndex() < sized->Position()->VisibleColIndex();
}

bool TcxGridBandedTableController::BandKeepsWidthWhileSizing(TcxGridBand* ABand)
{
    TcxGridBand* sized = SizingBand();
    if (!sized || !ABand) return false;
    if (ABand == sized) return true;
    if (sized->IsLast()) return false;
    return ABand->VisibleIndex() < sized->VisibleIndex();
}

void TcxGridBandedTableController::LeftPosChanged()
{
    TcxGridBandedTableView* view = GridView();
    TcxGridBands* bands = view->Bands();
    if (view->Preview()->Active() && bands->LeftFixedCount() + bands->RightFixedCount() > 0) {
        if (TcxGridSite* site = view->Site())
            site->SizeChangedLater();
        else
            view->SizeChanged();
        return;
    }
    TcxGridTableController::LeftPosChanged();
}

// ---- keys and mouse ----------------------------------------------------------------------------------------

bool TcxGridBandedTableController::IsCellMode()
{
    TcxCustomGridRecord* record = GetFocusedRecord();
    return record && record->HasCells() && GridView()->OptionsSelection()->CellSelect();
}

void TcxGridBandedTableController::DoKeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomDataController* dc = DataController();
    const int focusedRow = GetFocusedRowIndex();
    const bool cellMode = IsCellMode();
    // Whether Up or Down can still reach another record of a data set read in pieces.
    const bool canLeaveRecord = dc->IsGridMode() && (Key == VK_UP ? !dc->IsBOF() : !dc->IsEOF());
    if (cellMode && (Key == VK_UP || Key == VK_DOWN)) {
        TcxCustomGridTableItem* before = FocusedItem();
        if (FocusItemAboveOrBelow(GetFocusedItemIndex(), Key == VK_DOWN, false) && FocusedItem() != before) {
            Key = 0;
            return;
        }
    }
    TWeakRef<TcxGridBandedTableView> view(GridView());
    TcxGridTableController::DoKeyDown(Key, Shift);
    if (!view || !cellMode || (Key != VK_UP && Key != VK_DOWN)) return;
    if (GetFocusedRowIndex() == focusedRow && !canLeaveRecord) return;
    // On another record the focus enters at the far row of the band: Up
    // lands on the bottom row, Down on the top one.
    if (IsCellMode()) FocusItemAboveOrBelow(GetFocusedItemIndex(), Key == VK_DOWN, true);
}

TClass TcxGridBandedTableController::GetColumnHeaderMovingObjectClass()
{
    return TcxGridBandedColumnHeaderMovingObject::StaticClass();
}

bool TcxGridBandedTableController::BandHeaderMouseDown(TcxGridBandHitTest* AHitTest, TMouseButton AButton,
                                                       TShiftState AShift)
{
    if (FBandPressHandled || AButton != mbLeft || !AHitTest || AHitTest->GridView != GridView() || !AHitTest->Band)
        return false;
    const bool sizingEdge = AHitTest->ClassType() == TcxGridBandHeaderSizingEdgeHitTest::StaticClass();
    const bool header = AHitTest->ClassType() == TcxGridBandHeaderHitTest::StaticClass();
    if (!sizingEdge && !header) return false;
    FBandPressHandled = true;
    TWeakRef<TcxGridBand> band(AHitTest->Band);
    if (AShift.Contains(ssDouble)) {
        if (sizingEdge) band->FitToContent();
    } else if (header) {
        PressBand(band.Get());
        if (band) band->FireHeaderClick();
    }
    return true;
}

bool TcxGridBandedTableController::StartDragAndDrop(const TPoint& P)
{
    // A drag object asked for while no drag runs (the layout asks whether a
    // column is being moved) is made without a class: it must not stand in
    // for the one this press starts.
    if (TcxGridSite* site = Site(); site && site->DragAndDropState() == ddsNone) site->FinishDragAndDrop(false);
    return TcxGridTableController::StartDragAndDrop(P);
}

void TcxGridBandedTableController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FBandPressHandled = false;
    TWeakRef<TcxGridBandedTableView> view(GridView());
    TcxGridTableController::MouseDown(Button, Shift, X, Y);
    if (!view || FBandPressHandled || !ViewInfo()) return;
    BandHeaderMouseDown(DynamicCast<TcxGridBandHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y})), Button, Shift);
}

void TcxGridBandedTableController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxGridBandedTableView> view(GridView());
    TcxGridTableController::MouseUp(Button, Shift, X, Y);
    if (view) PressBand(nullptr);
}

void TcxGridBandedTableController::CancelMouseOperations()
{
    TcxGridTableController::CancelMouseOperations();
    PressBand(nullptr);
}

void TcxGridBandedTableController::EndDragAndDrop(bool Accepted)
{
    PressBand(nullptr);
    TcxGridTableController::EndDragAndDrop(Accepted);
}

// ---- moving a column -------------------------------------------------------------------------------------

TcxGridBandedTableView* TcxGridBandedColumnHeaderMovingObject::BandedView() const
{
    return DynamicCast<TcxGridBandedTableView>(GridView());
}

TcxGridBandedTableViewInfo* TcxGridBandedColumnHeaderMovingObject::BandedViewInfo() const
{
    return DynamicCast<TcxGridBandedTableViewInfo>(ViewInfo());
}

TcxGridBandedColumnContainerZone* TcxGridBandedColumnHeaderMovingObject::HeaderZone() const
{
    if (DropPlace() != dpHeader) return nullptr;
    auto* zone = DynamicCast<TcxGridBandedColumnContainerZone>(DropZone());
    // The band may have gone since the zone was found.
    if (!zone || !zone->Band || !BandedView() || zone->Band->GridView() != BandedView()) return nullptr;
    return zone;
}

TcxGridBandedColumnDrop TcxGridBandedColumnHeaderMovingObject::DropOfZone() const
{
    TcxGridBandedColumnDrop drop;
    if (TcxGridBandedColumnContainerZone* zone = HeaderZone()) {
        drop.Band = zone->Band;
        drop.NewRow = zone->ItemIndex == -1;
        drop.RowPos = zone->RowIndex;
        drop.ColPos = zone->ColIndex;
    }
    return drop;
}

bool TcxGridBandedColumnHeaderMovingObject::IsDropAllowed()
{
    if (DropPlace() != dpHeader) return true;
    return CanDropColumn(BandedColumn(), DropOfZone());
}

bool TcxGridBandedColumnHeaderMovingObject::ChangesSomething()
{
    if (DropPlace() != dpHeader) return TcxGridColumnHeaderMovingObject::ChangesSomething();
    TcxGridBandedColumn* column = BandedColumn();
    if (!column || !HeaderZone() || !IsDropAllowed()) return false;
    // A column shown from the form or taken out of the grouping changes wherever it lands.
    if (!column->Visible() || SourceKind() == ckGroupByBox || column->VisibleIndex() < 0) return true;
    return ColumnDropChangesPosition(column, DropOfZone());
}

void TcxGridBandedColumnHeaderMovingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxGridColumnHeaderMovingObject::DragAndDrop(P, Accepted);
    if (!IsDropAllowed()) Accepted = false;
}

TCursor TcxGridBandedColumnHeaderMovingObject::GetDragAndDropCursor(bool Accepted)
{
    // Over a band that refuses the column the drop neither moves nor hides it.
    if (!Accepted && DropPlace() == dpHeader) return crcxNoDrop;
    return TcxGridColumnHeaderMovingObject::GetDragAndDropCursor(Accepted);
}

void TcxGridBandedColumnHeaderMovingObject::CalculateDropPlace(const TPoint& P, TcxGridColumnDropPlace& APlace,
                                                                std::unique_ptr<TcxGridColumnContainerZone>& AZone)
{
    TcxGridColumnHeaderMovingObject::CalculateDropPlace(P, APlace, AZone);
    if (APlace == dpCustomizationForm || APlace == dpGroupByBox) return;
    APlace = dpNone;
    AZone.reset();
    TcxGridBandedTableViewInfo* viewInfo = BandedViewInfo();
    if (!viewInfo || !viewInfo->BandedHeaderViewInfo()) return;
    // The header's zones reach below a band's last row, where a new row would go.
    if (std::unique_ptr<TcxGridBandedColumnContainerZone> zone = viewInfo->BandedHeaderViewInfo()->ZoneAt(P)) {
        AZone = std::move(zone);
        APlace = dpHeader;
    }
}

bool TcxGridBandedColumnHeaderMovingObject::IsSameZone(const TcxGridColumnContainerZone* A,
                                                       const TcxGridColumnContainerZone* B)
{
    const TClass banded = TcxGridBandedColumnContainerZone::StaticClass();
    if ((A && A->ClassType()->InheritsFrom(banded)) || (B && B->ClassType()->InheritsFrom(banded)))
        return TcxGridBandedColumnContainerZone::IsEqual(A, B);
    return TcxGridColumnHeaderMovingObject::IsSameZone(A, B);
}

bool TcxGridBandedColumnHeaderMovingObject::ArrowsAboveAndBelow()
{
    TcxGridBandedColumnContainerZone* zone = HeaderZone();
    return !(zone && zone->ItemIndex == -1);
}

bool TcxGridBandedColumnHeaderMovingObject::GetArrowAreaBounds(TRect& R)
{
    TcxGridBandedColumnContainerZone* zone = HeaderZone();
    if (!zone) return TcxGridColumnHeaderMovingObject::GetArrowAreaBounds(R);
    TcxGridBandedTableViewInfo* viewInfo = BandedViewInfo();
    if (zone->ItemIndex == -1) {
        // A new row: the line between the rows above and below it.
        TcxGridBandViewInfo* band = BandViewInfoOf(viewInfo, zone->Band);
        if (!band) return false;
        R = band->RowsArea();
        TcxGridBandRowsViewInfo* rows = band->RowsViewInfo();
        if (zone->RowIndex > 0 && rows && zone->RowIndex - 1 < rows->Count())
            R.Top = rows->Items(zone->RowIndex - 1)->Bounds.Bottom;
        return true;
    }
    TcxGridHeaderViewInfo* header = viewInfo ? viewInfo->HeaderViewInfo() : nullptr;
    if (!header || zone->ItemIndex < 0 || zone->ItemIndex >= header->Count()) return false;
    R = header->Items(zone->ItemIndex)->Bounds;
    // Past the column the zone names: the line stands at its right edge.
    auto* column = DynamicCast<TcxGridBandedColumn>(header->Items(zone->ItemIndex)->Column());
    if (column && zone->ColIndex != column->Position()->VisibleColIndex()) R.Left = R.Right;
    return true;
}

TRect TcxGridBandedColumnHeaderMovingObject::GetArrowsClipBounds()
{
    TRect bounds = TcxGridColumnHeaderMovingObject::GetArrowsClipBounds();
    TcxGridBandedColumnContainerZone* zone = HeaderZone();
    return zone ? ClipToScrollableArea(BandedViewInfo(), bounds, zone->Band) : bounds;
}

void TcxGridBandedColumnHeaderMovingObject::MoveToHeaderZone(TcxGridColumn* AColumn)
{
    auto* column = DynamicCast<TcxGridBandedColumn>(AColumn);
    const TcxGridBandedColumnDrop drop = DropOfZone();
    if (column && drop.Band) ApplyColumnDrop(column, drop);
}

void TcxGridBandedColumnHeaderMovingObject::ApplyDrop()
{
    TcxGridBandedColumn* column = BandedColumn();
    TcxGridBandedTableView* view = BandedView();
    if (DropPlace() != dpHeader || !column || !view) {
        TcxGridColumnHeaderMovingObject::ApplyDrop();
        return;
    }
    if (!ChangesSomething()) return;
    // A move between bands or rows leaves the column's index as it is: the
    // place it stands in tells whether it moved.
    TcxGridBandedColumnPosition* pos = column->Position();
    const int oldBand = pos->BandIndex(), oldRow = pos->RowIndex(), oldCol = pos->ColIndex();
    const int oldGroupIndex = column->GroupIndex();
    const bool oldVisible = column->Visible();
    TWeakRef<TcxGridBandedTableView> viewRef(view);
    TWeakRef<TcxGridBandedColumn> columnRef(column);
    InViewUpdate(view, [&] {
        MoveToHeaderZone(column);
        if (SourceKind() == ckGroupByBox && column->CanGroup()) column->SetGroupIndex(-1);
        column->SetVisible(true);
    });
    if (!viewRef || !columnRef) return;
    const bool groupChanged = column->GroupIndex() != oldGroupIndex;
    const bool changed = groupChanged || column->Visible() != oldVisible || pos->BandIndex() != oldBand ||
                         pos->RowIndex() != oldRow || pos->ColIndex() != oldCol;
    if (groupChanged)
        if (TcxGridTableController* controller = Controller()) controller->MakeFocusedRecordVisible();
    if (changed && viewRef && columnRef) view->DoColumnPosChanged(column);
}

// ---- moving a band ---------------------------------------------------------------------------------------

TcxGridBandedTableView* TcxGridBandHeaderMovingObject::BandedView() const
{
    return DynamicCast<TcxGridBandedTableView>(GridView());
}

TcxGridBandedTableViewInfo* TcxGridBandHeaderMovingObject::BandedViewInfo() const
{
    return DynamicCast<TcxGridBandedTableViewInfo>(ViewInfo());
}

TcxGridBandedTableController* TcxGridBandHeaderMovingObject::BandedController() const
{
    return DynamicCast<TcxGridBandedTableController>(Controller());
}

void TcxGridBandHeaderMovingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridMovingObject::Init(AStartPoint, AHitTest);
    auto* hit = DynamicCast<TcxGridBandHitTest>(AHitTest);
    FBand = hit ? hit->Band : nullptr;
    FSourceKind = hit ? hit->BandPlace : bpHeader;
}

void TcxGridBandHeaderMovingObject::BeginDragAndDrop()
{
    if (TcxGridBandedTableController* controller = BandedController()) {
        if (auto* form = DynamicCast<TcxGridBandedTableCustomizationForm>(controller->CustomizationForm()))
            form->ActivatePage(form->BandsPage());
        controller->SetMovingBand(Band());
    }
    TcxCustomGridMovingObject::BeginDragAndDrop();
}

bool TcxGridBandHeaderMovingObject::OverCustomizationForm(const TPoint& P)
{
    TcxGridTableController* controller = Controller();
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    TForm* form = controller ? controller->CustomizationForm() : nullptr;
    return site && form && form->Visible() && PtInRect(form->BoundsRect(), site->ClientToScreen(P));
}

void TcxGridBandHeaderMovingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    int destKind = bdkView, destIndex = -1;
    if (OverCustomizationForm(P)) {
        destKind = bdkCustomizationForm;
    } else if (TcxGridBandedTableViewInfo* viewInfo = BandedViewInfo()) {
        if (TcxGridBandsViewInfo* bands = viewInfo->BandsViewInfo()) destIndex = bands->BandDropIndexAt(P);
    }
    if (destKind != FDestKind || destIndex != FDestIndex) {
        SetDirty(true);
        FDestKind = destKind;
        FDestIndex = destIndex;
    }
    Accepted = Band() && (FDestIndex != -1 || FDestKind == bdkCustomizationForm);
    TcxCustomGridMovingObject::DragAndDrop(P, Accepted);
}

TCursor TcxGridBandHeaderMovingObject::GetDragAndDropCursor(bool Accepted)
{
    if (Accepted) return crArrow;
    return CanRemove() ? crcxRemove : crcxNoDrop;
}

bool TcxGridBandHeaderMovingObject::CanRemove()
{
    TcxGridTableController* controller = Controller();
    return CanHideBand(Band(), FSourceKind, controller && controller->Customization());
}

bool TcxGridBandHeaderMovingObject::CanShowArrows()
{
    return FDestKind == bdkView && IsBandDropIndexValid(Band(), FDestIndex);
}

bool TcxGridBandHeaderMovingObject::GetArrowAreaBounds(TRect& R)
{
    TcxGridBand* band = Band();
    TcxGridBandedTableViewInfo* viewInfo = BandedViewInfo();
    TcxGridBandsViewInfo* bands = viewInfo ? viewInfo->BandsViewInfo() : nullptr;
    if (!band || !bands || FDestIndex < 0) return false;
    const int afterKind = band->Bands()->LastVisibleIndexOfKind(band->FixedKind()) + 1;
    if (FDestIndex == afterKind && FDestIndex != 0) {
        // After the last band of its kind: the line stands at that band's right edge.
        if (FDestIndex - 1 >= bands->Count()) return false;
        R = bands->Items(FDestIndex - 1)->HeaderViewInfo()->Bounds;
        R.Left = R.Right;
        return true;
    }
    if (FDestIndex >= bands->Count()) return false;
    R = bands->Items(FDestIndex)->HeaderViewInfo()->Bounds;
    return true;
}

TRect TcxGridBandHeaderMovingObject::GetArrowsClipBounds()
{
    TRect bounds = TcxCustomGridMovingObject::GetArrowsClipBounds();
    return FDestKind == bdkView ? ClipToScrollableArea(BandedViewInfo(), bounds, Band()) : bounds;
}

TRect TcxGridBandHeaderMovingObject::GetSourceItemBounds()
{
    TcxGridBand* band = Band();
    if (!band) return TRect{};
    if (FSourceKind == bpCustomizationForm) {
        TcxGridBandedTableController* controller = BandedController();
        auto* form = controller ? DynamicCast<TcxGridBandedTableCustomizationForm>(controller->CustomizationForm())
                                : nullptr;
        TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
        if (!form || !site) return TRect{};
        TcxGridBandedTableBandsListBox* list = form->BandsListBox();
        const int index = list->Items()->IndexOfObject(band);
        if (index < 0) return TRect{};
        TRect r = list->ItemRect(index);
        const TPoint topLeft = site->ScreenToClient(list->ClientToScreen(r.TopLeft()));
        OffsetRect(r, topLeft.X - r.Left, topLeft.Y - r.Top);
        return r;
    }
    TcxGridBandViewInfo* bandViewInfo = BandViewInfoOf(BandedViewInfo(), band);
    return bandViewInfo ? bandViewInfo->HeaderViewInfo()->Bounds : TRect{};
}

void TcxGridBandHeaderMovingObject::PaintSourceItem(TcxCanvas* ACanvas, const TRect& ABounds)
{
    TcxGridBand* band = Band();
    if (!band) return;
    if (FSourceKind == bpCustomizationForm) {
        TcxGridBandedTableController* controller = BandedController();
        auto* form = controller ? DynamicCast<TcxGridBandedTableCustomizationForm>(controller->CustomizationForm())
                                : nullptr;
        if (!form) return;
        const int index = form->BandsListBox()->Items()->IndexOfObject(band);
        if (index >= 0) form->BandsListBox()->PaintItem(ACanvas, index, ABounds, false);
        return;
    }
    TcxGridBandViewInfo* bandViewInfo = BandViewInfoOf(BandedViewInfo(), band);
    if (!bandViewInfo) return;
    TcxGridBandHeaderViewInfo* header = bandViewInfo->HeaderViewInfo();
    const TPoint saved = ACanvas->WindowOrg();
    ACanvas->SetWindowOrg(header->Bounds.TopLeft());
    cxGridTablePainters::PaintViewInfo(ACanvas, header);
    ACanvas->SetWindowOrg(saved);
}

void TcxGridBandHeaderMovingObject::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridMovingObject::EndDragAndDrop(Accepted);
    if (TcxGridBandedTableController* controller = BandedController()) controller->SetMovingBand(nullptr);
    TcxGridBand* band = Band();
    TcxGridBandedTableView* view = BandedView();
    if (!Accepted || !band || !view) return;
    bool changed = false;
    TWeakRef<TcxGridBandedTableView> viewRef(view);
    if (FDestIndex == -1) {
        if (CanRemove()) {
            band->SetVisible(false);
            changed = true;
        }
    } else if (FDestKind == bdkView) {
        changed = DropBand(band, FDestIndex);
    }
    if (changed && viewRef && Band()) view->FireBandPosChanged(band);
}

// ---- sizing a column in lines ------------------------------------------------------------------------------

void TcxGridColumnVertSizingObject::BeginDragAndDrop()
{
    auto* column = DynamicCast<TcxGridBandedColumn>(Column());
    if (auto* controller = DynamicCast<TcxGridBandedTableController>(Controller()))
        controller->SetVertSizingColumn(column);
    TcxCustomGridColumnSizingObject::BeginDragAndDrop();
}

int TcxGridColumnVertSizingObject::GetOriginalSize()
{
    TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo();
    auto* column = DynamicCast<TcxGridBandedColumn>(Column());
    if (!cell || !column) return 0;
    const int height = cell->Bounds.Height();
    // A header is its column's lines high.
    FLineHeight = height / std::max(1, column->Position()->LineCount());
    return height;
}

void TcxGridColumnVertSizingObject::CheckSize(int& ASize) { ASize = SnapToLines(ASize, FLineHeight); }

void TcxGridColumnVertSizingObject::GetSizingLine(TPoint& A, TPoint& B)
{
    A = B = TPoint{0, 0};
    TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!cell || !viewInfo) return;
    const int y = cell->Bounds.Top + CurrentSize();
    A = TPoint{viewInfo->Bounds().Left, y};
    B = TPoint{viewInfo->Bounds().Right, y};
}

TCursor TcxGridColumnVertSizingObject::GetDragAndDropCursor(bool) { return crcxVertSize; }

void TcxGridColumnVertSizingObject::ForgetSizedColumn()
{
    if (auto* controller = DynamicCast<TcxGridBandedTableController>(Controller()))
        controller->SetVertSizingColumn(nullptr);
}

void TcxGridColumnVertSizingObject::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridColumnSizingObject::EndDragAndDrop(Accepted);
    ForgetSizedColumn();
    auto* column = DynamicCast<TcxGridBandedColumn>(Column());
    TcxGridTableView* view = GridView();
    if (!Accepted || !column || !view || FLineHeight <= 0) return;
    TWeakRef<TcxGridTableView> viewRef(view);
    column->Position()->SetLineCount(CurrentSize() / FLineHeight);
    // Told also when the line count stayed: the user sized the column.
    if (viewRef && Column()) view->DoColumnSizeChanged(column);
}

// ---- sizing a band -------------------------------------------------------------------------------------------

TcxGridBandSizingObject::~TcxGridBandSizingObject() { HideStrip(); }

void TcxGridBandSizingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridSizingObject::Init(AStartPoint, AHitTest);
    auto* hit = DynamicCast<TcxGridBandHitTest>(AHitTest);
    FBand = hit ? hit->Band : nullptr;
}

TcxGridBandViewInfo* TcxGridBandSizingObject::BandViewInfo()
{
    return BandViewInfoOf(DynamicCast<TcxGridBandedTableViewInfo>(ViewInfo()), Band());
}

void TcxGridBandSizingObject::BeginDragAndDrop()
{
    if (auto* controller = DynamicCast<TcxGridBandedTableController>(Controller())) controller->SetSizingBand(Band());
    TcxCustomGridSizingObject::BeginDragAndDrop();
    ShowStrip();
}

int TcxGridBandSizingObject::GetOriginalSize()
{
    TcxGridBandViewInfo* bandViewInfo = BandViewInfo();
    return bandViewInfo ? bandViewInfo->InnerWidth() : 0;
}

void TcxGridBandSizingObject::CheckSize(int& ASize)
{
    if (TcxGridBandViewInfo* bandViewInfo = BandViewInfo()) bandViewInfo->ClampWidth(ASize);
}

TRect TcxGridBandSizingObject::SizingStrip()
{
    TcxGridBandViewInfo* bandViewInfo = BandViewInfo();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!bandViewInfo || !viewInfo) return TRect{};
    const int x = bandViewInfo->ContentBounds().Left + CurrentSize();
    return Rect(x, bandViewInfo->Bounds.Top, x + 2, viewInfo->Bounds().Bottom);
}

void TcxGridBandSizingObject::ShowStrip()
{
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    if (FStripVisible || !site) return;
    const TRect r = SizingStrip();
    if (IsRectEmpty(r)) return;
    const TPoint topLeft = site->ClientToScreen(r.TopLeft());
    FStrip = Rect(topLeft.X, topLeft.Y, topLeft.X + r.Width(), topLeft.Y + r.Height());
    ScreenOverlay()->InvertRect(FStrip);
    FStripVisible = true;
}

void TcxGridBandSizingObject::HideStrip()
{
    if (!FStripVisible) return;
    // Inverting the same strip again takes it away.
    ScreenOverlay()->InvertRect(FStrip);
    FStripVisible = false;
}

void TcxGridBandSizingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxCustomGridSizingObject::DragAndDrop(P, Accepted);
    // The strip lies on the overlay, over the site's own painting: it moves
    // only when the size does, and a repaint underneath leaves it alone.
    HideStrip();
    ShowStrip();
}

TCursor TcxGridBandSizingObject::GetDragAndDropCursor(bool) { return crcxHorzSize; }

void TcxGridBandSizingObject::ForgetSizedBand()
{
    if (auto* controller = DynamicCast<TcxGridBandedTableController>(Controller())) controller->SetSizingBand(nullptr);
}

void TcxGridBandSizingObject::EndDragAndDrop(bool Accepted)
{
    HideStrip();
    TcxCustomGridSizingObject::EndDragAndDrop(Accepted);
    TcxGridBand* band = Band();
    auto* view = DynamicCast<TcxGridBandedTableView>(GridView());
    if (!Accepted || !band || !view) {
        ForgetSizedBand();
        return;
    }
    const int size = CurrentSize();
    if (size == OriginalSize()) {
        ForgetSizedBand();
        return;
    }
    TWeakRef<TcxGridBandedTableView> viewRef(view);
    try {
        band->ImposeWidth(size);
    } catch (...) {
        if (viewRef) ForgetSizedBand();
        throw;
    }
    if (!viewRef) return;
    ForgetSizedBand();
    if (Band()) view->FireBandSizeChanged(band);
}

// ---- the customization form ------------------------------------------------------------------------------

TcxGridBandedTableBandsListBox::TcxGridBandedTableBandsListBox(TComponent* AOwner)
    : TcxCustomGridTableItemsListBox(AOwner)
{
    // Bands keep the order of their collection.
    SetSorted(false);
}

TcxGridBandedTableView* TcxGridBandedTableBandsListBox::BandedView() const
{
    return DynamicCast<TcxGridBandedTableView>(GridView());
}

TcxGridBand* TcxGridBandedTableBandsListBox::Band(int AIndex) const
{
    if (AIndex < 0 || AIndex >= Items()->Count()) return nullptr;
    return DynamicCast<TcxGridBand>(Items()->Objects(AIndex));
}

void TcxGridBandedTableBandsListBox::RefreshItems()
{
    TcxGridBandedTableView* view = BandedView();
    Items()->BeginUpdate();
    try {
        Items()->Clear();
        if (view)
            for (int i = 0; i < view->Bands()->Count(); ++i) {
                TcxGridBand* band = view->Bands()->Items(i);
                if (!band->Visible() && !band->Hidden()) Items()->AddObject(band->Caption(), band);
            }
    } catch (...) {
        Items()->EndUpdate();
        throw;
    }
    Items()->EndUpdate();
    CalculateItemHeight();
}

void TcxGridBandedTableBandsListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    FDraggedIndex = DragItemIndex();
    TcxCustomGridTableItemsListBox::MouseMove(Shift, X, Y);
    FDraggedIndex = -1;
}

void TcxGridBandedTableBandsListBox::StartItemDrag(TcxCustomGridTableItem*, const TPoint& APressPoint)
{
    TcxGridBand* band = Band(FDraggedIndex);
    TcxGridBandedTableView* view = BandedView();
    auto* form = DynamicCast<TcxGridBandedTableCustomizationForm>(Form());
    if (!band || !view || !view->Site() || !form || !form->OnStartBandDrag) return;
    // The press point as the view's site sees it.
    const TPoint p = view->Site()->ScreenToClient(ClientToScreen(APressPoint));
    form->OnStartBandDrag(form, band, p);
}

TcxGridBandedTableCustomizationForm::TcxGridBandedTableCustomizationForm(TcxGridBandedTableController* AController)
    : TcxGridTableCustomizationForm(AController)
{
    FBandsPage = new TTabSheet(this);
    FBandsPage->SetPageControl(PageControl());
    FBandsPage->SetCaption(cxClasses::GetResourceString(&cxSGridCustomizationFormBandsPageCaption));
    FBandsPage->SetPageIndex(0);
    FBandsListBox = static_cast<TcxGridBandedTableBandsListBox*>(BandsListBoxClass()->Create(this));
    FBandsListBox->SetParent(FBandsPage);
    FBandsListBox->SetAlign(alClient);
    RefreshData();
    ActivatePage(FBandsPage);
}

TcxGridBandedTableView* TcxGridBandedTableCustomizationForm::BandedView() const
{
    return static_cast<TcxGridBandedTableView*>(GridView());
}

void TcxGridBandedTableCustomizationForm::RefreshData()
{
    TcxGridTableCustomizationForm::RefreshData();
    if (!FBandsPage) return;
    FBandsPage->SetTabVisible(BandedView()->OptionsCustomize()->BandMoving);
    FBandsListBox->RefreshItems();
}

// ---- drop arithmetic ------------------------------------------------------------------------------------------

namespace cxGridBandedController {

int BandDropCollectionIndex(TcxGridBand* ABand, int ADropVisibleIndex)
{
    TcxGridBands* bands = ABand->Bands();
    const int visibleCount = bands->VisibleCount();
    int result;
    if (ADropVisibleIndex <= 0)
        result = 0;
    else if (ADropVisibleIndex >= visibleCount)
        result = bands->Count();
    else if (TcxGridBand* at = bands->VisibleItems(ADropVisibleIndex); at->FixedKind() == ABand->FixedKind())
        result = at->Index();
    else
        result = bands->VisibleItems(ADropVisibleIndex - 1)->Index() + 1;
    // The band leaves its own place first.
    if (ABand->Index() < result) --result;
    return result;
}

bool IsBandDropIndexValid(TcxGridBand* ABand, int ADropVisibleIndex)
{
    TcxGridBands* bands = ABand ? ABand->Bands() : nullptr;
    if (!bands || ADropVisibleIndex < 0) return false;
    const TcxGridBandFixedKind kind = ABand->FixedKind();
    if (ADropVisibleIndex < bands->FirstVisibleIndexOfKind(kind) ||
        ADropVisibleIndex > bands->LastVisibleIndexOfKind(kind) + 1)
        return false;
    if (ABand->Visible()) {
        const int own = ABand->VisibleIndex();
        if (ADropVisibleIndex == own || ADropVisibleIndex == own + 1) return false;
    }
    return true;
}

bool DropBand(TcxGridBand* ABand, int ADropVisibleIndex)
{
    if (!IsBandDropIndexValid(ABand, ADropVisibleIndex)) return false;
    ABand->SetIndex(BandDropCollectionIndex(ABand, ADropVisibleIndex));
    ABand->SetVisible(true);
    return true;
}

bool CanHideBand(TcxGridBand* ABand, int ASourcePlace, bool ACustomizationFormOpen)
{
    TcxGridBandedTableView* view = ABand ? ABand->GridView() : nullptr;
    if (!view || ASourcePlace != bpHeader || !ABand->IsHidable()) return false;
    return view->OptionsCustomize()->BandHiding || ACustomizationFormOpen;
}

int SnapToLines(int ADraggedHeight, int ALineHeight)
{
    if (ALineHeight <= 0) return 0;
    return std::max(1, MulDiv(ADraggedHeight, 1, ALineHeight)) * ALineHeight;
}

bool CanDropColumn(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop)
{
    if (!AColumn || !ADrop.Band) return false;
    TcxGridBand* own = AColumn->Position()->Band();
    if (ADrop.Band == own) return true;
    if (ADrop.Band->Options()->HoldOwnColumnsOnly) return false;
    return !(own && own->Options()->HoldOwnColumnsOnly);
}

bool ColumnDropChangesPosition(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop)
{
    TcxGridBandedColumnPosition* pos = AColumn->Position();
    if (ADrop.Band != pos->Band()) return true;
    const int row = pos->VisibleRowIndex();
    if (ADrop.NewRow) {
        TcxGridBandRow* ownRow = pos->Row();
        const bool alone = !ownRow || ownRow->VisibleCount() <= 1;
        return !alone || (ADrop.RowPos != row && ADrop.RowPos != row + 1);
    }
    const int col = pos->VisibleColIndex();
    return ADrop.RowPos != row || (ADrop.ColPos != col && ADrop.ColPos != col + 1);
}

namespace {
// The model index of the row at a visible row position (the row count past the last).
int RowIndexAt(TcxGridBand* ABand, int ARowPos)
{
    TcxGridBandRows* rows = ABand->Rows();
    if (ARowPos >= 0 && ARowPos < rows->VisibleCount()) return rows->VisibleItems(ARowPos)->Index();
    return rows->Count();
}
}  // namespace

void ApplyColumnDrop(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop)
{
    TcxGridBand* band = ADrop.Band;
    TcxGridBandedColumnPosition* pos = AColumn->Position();
    pos->SetBandIndex(band->Index());
    if (ADrop.NewRow) band->Rows()->Insert(RowIndexAt(band, ADrop.RowPos));
    // Visible rows are counted again: an inserted row is empty and shows.
    pos->SetRowIndex(RowIndexAt(band, ADrop.RowPos));
    TcxGridBandRow* row = pos->Row();
    if (!row) return;
    const int colIndex = ADrop.ColPos >= 0 && ADrop.ColPos < row->VisibleCount()
                             ? row->IndexOf(row->VisibleItems(ADrop.ColPos))
                             : row->Count();
    pos->SetColIndex(colIndex);
}

bool StartBandDragFromCustomizationForm(TcxGridBandedTableController* AController, TcxGridBand* ABand,
                                        const TPoint& ASitePoint)
{
    TcxGridBandedTableView* view = AController ? AController->GridView() : nullptr;
    TcxGridSite* site = view ? view->Site() : nullptr;
    if (!site || !ABand || ABand->GridView() != view || site->DragAndDropState() != ddsNone) return false;
    TcxGridBandHitTest* hit =
        TcxGridBandHitTest::Instance(TcxGridBandHeaderHitTest::StaticClass(), TPoint{-1, -1}, ABand);
    hit->BandPlace = bpCustomizationForm;
    TClass cls = hit->DragAndDropObjectClass();
    if (!cls) return false;
    site->DragAndDropObjectClass = cls;
    if (auto* obj = DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject())) obj->Init(ASitePoint, hit);
    site->BeginDragAndDrop();
    return true;
}

void Initialize()
{
    cxGridTableController::SetCustomizationFormFactory([](TcxGridTableController* AController) -> TForm* {
        TcxGridTableCustomizationForm* form;
        if (auto* banded = DynamicCast<TcxGridBandedTableController>(AController)) {
            auto* bandedForm = new TcxGridBandedTableCustomizationForm(banded);
            bandedForm->OnStartBandDrag = [banded](TcxGridBandedTableCustomizationForm*, TcxGridBand* ABand,
                                                   const TPoint& P) {
                StartBandDragFromCustomizationForm(banded, ABand, P);
            };
            form = bandedForm;
        } else {
            form = new TcxGridTableCustomizationForm(AController);
        }
        form->OnStartColumnDrag = [AController](TcxGridTableCustomizationForm*, TcxGridColumn* AColumn,
                                                const TPoint& P) {
            cxGridTableMoving::StartColumnDragFromCustomizationForm(AController, AColumn, P);
        };
        form->OnCustomizationEnded = [AController, form](TObject*) { AController->CustomizationFormDestroying(form); };
        return form;
    });
}

void Finalize() { cxGridTableController::SetCustomizationFormFactory(nullptr); }

}  // namespace cxGridBandedController
