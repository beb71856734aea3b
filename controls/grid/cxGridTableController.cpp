#include "cxGridTableController.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "cxControls.h"
#include "cxGrid.h"
#include "cxGridEditingController.h"
#include "cxGridGuardPrivate.h"
#include "cxGridTableHitTests.h"
#include "cxGridTableLayout.h"
#include "cxGridTableMoving.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridTableController, TcxCustomGridTableController)

namespace {
TClass& MovingObjectClassSlot()
{
    static TClass cls = nullptr;
    return cls;
}
TcxGridCustomizationFormFactory& CustomizationFormFactorySlot()
{
    static TcxGridCustomizationFormFactory factory;
    return factory;
}

bool HasCtrl(TShiftState AShift) { return AShift.Contains(ssCtrl); }
}  // namespace

namespace cxGridTableController {
void Initialize()
{
    cxGridTableView::SetControllerClass(TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxGridTableController>());
}
void SetColumnHeaderMovingObjectClass(TClass AClass) { MovingObjectClassSlot() = AClass; }
void SetCustomizationFormFactory(const TcxGridCustomizationFormFactory& AFactory)
{
    CustomizationFormFactorySlot() = AFactory;
}
}  // namespace cxGridTableController

using namespace cxGridTableController;

TcxGridTableController::TcxGridTableController(TcxCustomGridView* AGridView) : TcxCustomGridTableController(AGridView)
{
}

TcxGridTableController::~TcxGridTableController() = default;

void TcxGridTableController::BeforeDestruction()
{
    FTableDragScrollTimer.reset();
    if (FCustomizationForm) {
        TForm* form = FCustomizationForm;
        FCustomizationForm = nullptr;
        if (!form->ComponentState().Contains(csDestroying)) delete form;
    }
    TcxCustomGridTableController::BeforeDestruction();
}

TcxGridTableView* TcxGridTableController::GridView() const
{
    return static_cast<TcxGridTableView*>(TcxCustomGridTableController::GridView());
}

TcxGridTableViewInfo* TcxGridTableController::ViewInfo() const
{
    return DynamicCast<TcxGridTableViewInfo>(TcxCustomGridTableController::ViewInfo());
}

TcxGridColumn* TcxGridTableController::FocusedColumn() const { return DynamicCast<TcxGridColumn>(FocusedItem()); }

// ---- LeftPos ------------------------------------------------------------------------------------------

int TcxGridTableController::GetMaxLeftPos()
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!viewInfo) return 0;
    return std::max(0, viewInfo->DataWidth() - viewInfo->ClientBounds.Width());
}

void TcxGridTableController::SetLeftPos(int AValue)
{
    AValue = std::max(0, std::min(AValue, GetMaxLeftPos()));
    if (AValue == FLeftPos) return;
    int delta = FLeftPos - AValue;
    FLeftPos = AValue;
    TcxGridTableView* view = GridView();
    if (TcxGridTableViewInfo* viewInfo = ViewInfo()) {
        viewInfo->HorzOffset = AValue;
        if (view->CanOffsetHorz())
            view->Offset(0, delta, 0);
        else
            LeftPosChanged();
    }
    view->DoLeftPosChanged();
}

void TcxGridTableController::LeftPosChanged() { GridView()->LayoutChanged(true); }

// ---- the pressed header ------------------------------------------------------------------------------

TcxGridColumn* TcxGridTableController::PressedColumn() const { return GridView()->PressedColumn; }

void TcxGridTableController::InvalidateColumnHeaders(TcxGridColumn* AColumn)
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!AColumn || !viewInfo) return;
    if (TcxGridGroupByBoxViewInfo* box = viewInfo->GroupByBoxViewInfo()) {
        int index = AColumn->GroupIndex();
        if (index >= 0 && index < box->Count()) box->Items(index)->Invalidate();
    }
    if (TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo()) {
        int index = AColumn->VisibleIndex();
        if (index >= 0 && index < header->Count()) header->Items(index)->Invalidate();
    }
}

void TcxGridTableController::SetPressedColumn(TcxGridColumn* AValue)
{
    TcxGridColumn* prev = GridView()->PressedColumn;
    if (prev == AValue) return;
    GridView()->PressedColumn = AValue;
    InvalidateColumnHeaders(prev);
    InvalidateColumnHeaders(AValue);
}

// ---- sorting by a header click ------------------------------------------------------------------------

void TcxGridTableController::DoColumnHeaderSorting(TcxGridColumn* AColumn, TShiftState AShift)
{
    if (!AColumn || !AColumn->CanSort()) return;
    TcxGridTableView* view = GridView();
    TcxGridViewGuard guard(view);
    TcxCustomGrid* grid = view->Grid();
    if (grid) grid->BeginUpdate();
    view->BeginUpdate();
    cxControls::ShowHourglassCursor();
    try {
        if (HasCtrl(AShift)) {
            AColumn->SetSortOrder(soNone);
        } else {
            TcxDataSortOrder prev = AColumn->SortOrder();
            if (!AShift.Contains(ssShift) && AColumn->GroupIndex() < 0) DataController()->ClearSorting(true);
            AColumn->SetSortOrder(prev == soAscending ? soDescending : soAscending);
        }
    } catch (...) {
        cxControls::HideHourglassCursor();
        if (guard.Alive()) view->EndUpdate();
        if (grid && guard.Alive()) grid->EndUpdate();
        throw;
    }
    cxControls::HideHourglassCursor();
    if (guard.Alive()) view->EndUpdate();
    if (grid && guard.Alive()) grid->EndUpdate();
    if (guard.Alive()) MakeFocusedRecordVisible();
}

// ---- customization form -------------------------------------------------------------------------------

TRect TcxGridTableController::GetCustomizationFormBounds()
{
    if (!IsRectEmpty(CustomizationFormBounds)) return CustomizationFormBounds;
    TcxGridSite* site = Site();
    if (!site) return TRect{};
    TRect client = site->ClientRect();
    TPoint bottomRight = site->ClientToScreen(TPoint{client.Right, client.Bottom});
    TRect r{bottomRight.X - 180, bottomRight.Y - 300, bottomRight.X, bottomRight.Y};
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (viewInfo && viewInfo->HeaderViewInfo() && viewInfo->HeaderViewInfo()->GetVisible()) {
        int headerBottom = site->ClientToScreen(TPoint{0, viewInfo->HeaderViewInfo()->Bounds.Bottom}).Y;
        if (r.Top < headerBottom) OffsetRect(r, 0, headerBottom - r.Top);
    }
    return r;
}

void TcxGridTableController::SetCustomization(bool AValue)
{
    if (FCustomization == AValue) return;
    FCustomization = AValue;
    if (AValue) {
        if (const TcxGridCustomizationFormFactory& factory = CustomizationFormFactorySlot()) {
            FCustomizationForm = factory(this);
            if (FCustomizationForm) {
                TRect r = GetCustomizationFormBounds();
                FCustomizationForm->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                FCustomizationForm->Show();
            }
        }
    } else if (FCustomizationForm) {
        TForm* form = FCustomizationForm;
        FCustomizationForm = nullptr;
        if (!form->ComponentState().Contains(csDestroying)) delete form;
    }
    if (TcxCustomGrid* grid = GridView()->Grid()) grid->LayoutChanged();
    GridView()->DoCustomization();
}

void TcxGridTableController::CustomizationFormDestroying(TForm* AForm)
{
    if (AForm != FCustomizationForm) return;
    SetCustomization(false);
}

// ---- classes and the sizing rule ------------------------------------------------------------------------

TClass TcxGridTableController::GetColumnHeaderMovingObjectClass() { return MovingObjectClassSlot(); }

bool TcxGridTableController::IsColumnFixedDuringHorzSizing(TcxGridColumn* AColumn)
{
    auto* sized = DynamicCast<TcxGridColumn>(ItemBeingSized);
    if (!sized || !AColumn) return false;
    if (AColumn == sized) return true;
    return !sized->IsRight() && AColumn->VisibleIndex() < sized->VisibleIndex();
}

// ---- the new-item row -----------------------------------------------------------------------------------

bool TcxGridTableController::HasNewItemRow() { return ViewData()->NewItemRecord() != nullptr; }

bool TcxGridTableController::IsNewItemRowFocused()
{
    return HasNewItemRow() && DataController()->IsNewItemRowFocused();
}

void TcxGridTableController::FocusNewItemRow()
{
    if (TcxCustomGridRecord* record = ViewData()->NewItemRecord()) SetFocusedRecord(record);
}

bool TcxGridTableController::CanAppend() { return !HasNewItemRow() && TcxCustomGridTableController::CanAppend(); }

bool TcxGridTableController::CanDelete(bool ACheckOptions)
{
    return !IsNewItemRowFocused() && TcxCustomGridTableController::CanDelete(ACheckOptions);
}

void TcxGridTableController::DoExit()
{
    if (IsNewItemRowFocused()) DataController()->SetNewItemRowFocused(false);
    TcxCustomGridTableController::DoExit();
}

// ---- keys -----------------------------------------------------------------------------------------------------

// True when the key is handled (and consumed) before the base handler.
bool TcxGridTableController::BeforeBaseKeyDown(WORD& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_PRIOR:
        if (IsNewItemRowFocused()) return true;
        if (HasNewItemRow() && IsFocusedRecordFirst()) {
            FocusNewItemRow();
            return true;
        }
        break;
    case VK_NEXT:
        if (IsNewItemRowFocused() && ViewData()->RecordCount() > 0) {
            FocusRecord(TopRecordIndex(), false);
            if (!IsNewItemRowFocused()) return true;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        TcxCustomGridRecord* record = GetFocusedRecord();
        if (record && record->HasCells() && FocusNextCell(Key == VK_RIGHT, true)) return true;
        break;
    }
    default: break;
    }
    return false;
}

void TcxGridTableController::AfterBaseKeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomGridRecord* record = GetFocusedRecord();
    bool cellKeys = record && record->HasCells() && GridView()->OptionsSelection()->CellSelect();
    switch (Key) {
    case VK_END:
    case VK_HOME: {
        bool end = Key == VK_END;
        if (!HasCtrl(Shift) && cellKeys) {
            FocusNextItem(end ? GridView()->VisibleItemCount() : -1, !end, false, false);
        } else if (DataController()->IsGridMode()) {
            if (end)
                DataController()->GotoLast();
            else
                DataController()->GotoFirst();
        } else if (end) {
            GoToLast();
        } else {
            GoToFirst();
        }
        break;
    }
    case VK_LEFT: SetLeftPos(FLeftPos - HorzScrollStep); break;
    case VK_RIGHT: SetLeftPos(FLeftPos + HorzScrollStep); break;
    case VK_UP:
        if (HasNewItemRow() && !IsNewItemRowFocused() && IsFocusedRecordFirst())
            FocusNewItemRow();
        else
            GoToPrev(false);
        break;
    case VK_DOWN:
        if (IsNewItemRowFocused() && ViewData()->RecordCount() > 0)
            FocusRecord(TopRecordIndex(), false);
        else
            GoToNext(false);
        break;
    default: break;
    }
}

void TcxGridTableController::DoKeyDown(WORD& Key, TShiftState Shift)
{
    if (BeforeBaseKeyDown(Key, Shift)) {
        Key = 0;
        return;
    }
    TcxGridViewGuard guard(GridView());
    TcxCustomGridTableController::DoKeyDown(Key, Shift);
    if (!guard.Alive() || Key == 0) return;
    AfterBaseKeyDown(Key, Shift);
}

bool TcxGridTableController::IsKeyForMultiSelect(WORD AKey, TShiftState AShift, bool AFocusedRecordChanged)
{
    if (TcxCustomGridTableController::IsKeyForMultiSelect(AKey, AShift, AFocusedRecordChanged)) return true;
    if (AKey == VK_UP || AKey == VK_DOWN) return true;
    if (AKey == VK_HOME || AKey == VK_END) {
        TcxCustomGridRecord* record = GetFocusedRecord();
        return !(record && record->HasCells() && GridView()->OptionsSelection()->CellSelect());
    }
    return false;
}

// ---- mouse ----------------------------------------------------------------------------------------------------

void TcxGridTableController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxGridViewGuard guard(GridView());
    TcxCustomGridTableController::MouseUp(Button, Shift, X, Y);
    if (!guard.Alive()) return;
    TcxGridColumn* pressed = PressedColumn();
    bool click = pressed && Site() && Site()->IsWithinDragThreshold(X, Y);
    SetPressedColumn(nullptr);
    if (click) DoColumnHeaderSorting(pressed, Shift);
}

void TcxGridTableController::CancelMouseOperations()
{
    TcxCustomGridTableController::CancelMouseOperations();
    SetPressedColumn(nullptr);
}

// ---- scroll bars and paging ------------------------------------------------------------------------------------

void TcxGridTableController::InitScrollBarsParameters()
{
    TcxGridSite* site = Site();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!site || !viewInfo) return;
    site->SetScrollBarInfo(sbHorizontal, 0, viewInfo->DataWidth() - 1, HorzScrollStep, viewInfo->ClientBounds.Width(),
                           FLeftPos, true, CanHScrollBarHide());
    site->SetScrollBarInfo(sbVertical, 0, GetScrollBarRecordCount() - 1, 1, VisibleRecordCount(), GetScrollBarPos(),
                           true, true);
}

void TcxGridTableController::Scroll(TScrollBarKind AKind, TScrollCode ACode, int& APosition)
{
    if (AKind == sbHorizontal) {
        TcxGridTableViewInfo* viewInfo = ViewInfo();
        int page = viewInfo ? viewInfo->ClientBounds.Width() : 0;
        switch (ACode) {
        case scLineUp: SetLeftPos(FLeftPos - HorzScrollStep); break;
        case scLineDown: SetLeftPos(FLeftPos + HorzScrollStep); break;
        case scPageUp: SetLeftPos(FLeftPos - page); break;
        case scPageDown: SetLeftPos(FLeftPos + page); break;
        case scTrack: SetLeftPos(APosition); break;
        default: break;
        }
        APosition = FLeftPos;
        return;
    }
    switch (ACode) {
    case scLineUp: ScrollRecords(false, 1); break;
    case scLineDown: ScrollRecords(true, 1); break;
    case scPageUp: ScrollPage(false); break;
    case scPageDown: ScrollPage(true); break;
    case scTrack:
        if (!DataController()->IsGridMode()) SetScrollBarPos(APosition);
        break;
    case scPosition:
        if (DataController()->IsGridMode()) SetScrollBarPos(APosition);
        break;
    default: break;
    }
    APosition = GetScrollBarPos();
}

void TcxGridTableController::ScrollPageDown()
{
    int count = VisibleRecordCount();
    SetTopRecordIndex(TopRecordIndex() + (count <= 1 ? 1 : count - 1));
}

void TcxGridTableController::ScrollPageUp()
{
    int top = TopRecordIndex();
    if (top == -1) return;
    bool gridMode = DataController()->IsGridMode();
    int visible = VisibleRecordCount();
    int above;
    if (top == 0) {
        if (!gridMode) return;
        above = visible;
    } else {
        above = GetVisibleRecordCount(top, false);
        if (gridMode && above == top + 1 && above < visible) above = visible;
    }
    int newTop = above <= 1 ? top - 1 : top - above + 1;
    if (gridMode)
        ScrollRecords(false, top - newTop);
    else
        SetTopRecordIndex(newTop);
}

// ---- making a column visible -----------------------------------------------------------------------------

void TcxGridTableController::MakeItemVisible(TcxCustomGridTableItem* AItem)
{
    auto* column = DynamicCast<TcxGridColumn>(AItem);
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!column || !viewInfo || !viewInfo->HeaderViewInfo()) return;
    TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo();
    int index = column->VisibleIndex();
    if (index < 0 || index >= header->Count()) return;
    TRect area = viewInfo->ClientBounds;
    TRect r = header->Items(index)->Bounds;
    if (r.Width() < area.Width() && r.Right > area.Right) {
        SetLeftPos(FLeftPos + r.Right - area.Right);
        r = header->Items(index)->Bounds;
    }
    if (r.Left < area.Left) SetLeftPos(FLeftPos - (area.Left - r.Left));
}

// ---- drag scrolling --------------------------------------------------------------------------------------

TcxGridDragScrollDirection TcxGridTableController::GetDragScrollDirectionAt(int X, int Y)
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!viewInfo) return dsdNone;
    switch (GetDragScrollDirection(X, Y)) {
    case -1: return dsdUp;
    case 1: return dsdDown;
    default: break;
    }
    TRect area = viewInfo->GetHorzScrollArea();
    if (!PtInRect(area, TPoint{X, Y})) return dsdNone;
    if (X < area.Left + DragScrollZoneWidth) return dsdLeft;
    if (X >= area.Right - DragScrollZoneWidth) return dsdRight;
    return dsdNone;
}

void TcxGridTableController::SetDragScrollDirection(TcxGridDragScrollDirection AValue)
{
    if (AValue == FDragScrollDirection && (AValue == dsdNone) == !FTableDragScrollTimer) return;
    FTableDragScrollTimer.reset();
    FDragScrollDirection = AValue;
    if (AValue == dsdNone) return;
    FTableDragScrollTimer = std::make_unique<TTimer>();
    FTableDragScrollTimer->SetInterval(DragScrollInterval);
    FTableDragScrollTimer->OnTimer = [this](TObject*) { DragScrollTimerTick(); };
    FTableDragScrollTimer->SetEnabled(true);
}

bool TcxGridTableController::CanScrollInDirection(TcxGridDragScrollDirection ADirection)
{
    switch (ADirection) {
    case dsdLeft: return FLeftPos != 0;
    case dsdRight: return std::min(FLeftPos + HorzScrollStep, GetMaxLeftPos()) != FLeftPos;
    case dsdUp: return TopRecordIndex() != 0;
    case dsdDown: return std::min(TopRecordIndex() + 1, GetMaxTopRecordIndex()) != TopRecordIndex();
    default: return false;
    }
}

void TcxGridTableController::DragScrollTimerTick()
{
    TcxGridDragScrollDirection direction = FDragScrollDirection;
    if (!CanScrollInDirection(direction)) return;
    TcxGridSite* site = Site();
    auto* dragObject = site ? DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject()) : nullptr;
    TcxGridViewGuard guard(GridView());
    auto* tableDragObject = DynamicCast<TcxGridDragAndDropObject>(dragObject);
    if (dragObject) dragObject->SetDirty(true);
    if (tableDragObject) tableDragObject->BeforeScrolling();
    switch (direction) {
    case dsdLeft: SetLeftPos(FLeftPos - HorzScrollStep); break;
    case dsdRight: SetLeftPos(FLeftPos + HorzScrollStep); break;
    case dsdUp: ScrollRecords(false, 1); break;
    case dsdDown: ScrollRecords(true, 1); break;
    default: break;
    }
    if (!guard.Alive()) return;
    if (site) site->Update();
    if (tableDragObject) tableDragObject->AfterScrolling();
    if (dragObject) {
        dragObject->SetDirty(false);
        TPoint p = site->ScreenToClient(Mouse->CursorPos());
        bool accepted = false;
        dragObject->Move(p, accepted);
    }
}

void TcxGridTableController::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxCustomGridTableController::DragAndDrop(P, Accepted);
    SetDragScrollDirection(GetDragScrollDirectionAt(P.X, P.Y));
}

void TcxGridTableController::EndDragAndDrop(bool Accepted)
{
    SetDragScrollDirection(dsdNone);
    TcxCustomGridTableController::EndDragAndDrop(Accepted);
    SetPressedColumn(nullptr);
}
