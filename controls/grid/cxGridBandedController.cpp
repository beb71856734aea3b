#include "cxGridBandedController.h"

#include "cxControls.h"
#include "cxGridStrs.h"
#include "cxGridTableLayout.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridColumnHeaderVertSizingEdgeHitTest, TcxCustomGridColumnHitTest)
QZ_CLASS_IMPL(TcxGridBandHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridBandHeaderHitTest, TcxGridBandHitTest)
QZ_CLASS_IMPL(TcxGridBandHeaderSizingEdgeHitTest, TcxGridBandHitTest)
QZ_CLASS_IMPL(TcxGridBandedTableController, TcxGridTableController)
QZ_CLASS_IMPL(TcxGridBandedTableBandsListBox, TcxCustomGridTableItemsListBox)
QZ_CLASS_IMPL(TcxGridBandedTableCustomizationForm, TcxGridTableCustomizationForm)

// ---- hit tests --------------------------------------------------------------------------------------

TCursor TcxGridColumnHeaderVertSizingEdgeHitTest::Cursor() const { return crcxVertSize; }

TClass TcxGridColumnHeaderVertSizingEdgeHitTest::DragAndDropObjectClass() const { return nullptr; }

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

TClass TcxGridBandHeaderHitTest::DragAndDropObjectClass() const { return nullptr; }

TCursor TcxGridBandHeaderSizingEdgeHitTest::Cursor() const { return crcxHorzSize; }

TClass TcxGridBandHeaderSizingEdgeHitTest::DragAndDropObjectClass() const { return nullptr; }

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

void TcxGridBandedTableController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxGridBandedTableView> view(GridView());
    TcxGridTableController::MouseDown(Button, Shift, X, Y);
    if (!view || Button != mbLeft || !ViewInfo()) return;
    auto* hit = DynamicCast<TcxGridBandHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y}));
    if (!hit || hit->GridView != view.Get() || !hit->Band) return;
    TWeakRef<TcxGridBand> band(hit->Band);
    if (Shift.Contains(ssDouble)) {
        if (hit->ClassType() == TcxGridBandHeaderSizingEdgeHitTest::StaticClass()) band->FitToContent();
    } else if (hit->ClassType() == TcxGridBandHeaderHitTest::StaticClass()) {
        PressBand(band.Get());
        band->FireHeaderClick();
    }
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

void Initialize()
{
    cxGridTableController::SetCustomizationFormFactory([](TcxGridTableController* AController) -> TForm* {
        TcxGridTableCustomizationForm* form;
        if (auto* banded = DynamicCast<TcxGridBandedTableController>(AController))
            form = new TcxGridBandedTableCustomizationForm(banded);
        else
            form = new TcxGridTableCustomizationForm(AController);
        form->OnCustomizationEnded = [AController, form](TObject*) { AController->CustomizationFormDestroying(form); };
        return form;
    });
}

void Finalize() { cxGridTableController::SetCustomizationFormFactory(nullptr); }

}  // namespace cxGridBandedController
