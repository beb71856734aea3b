#include "cxGridEditingController.h"

#include "ExtCtrls.h"
#include "cxControls.h"
#include "cxGridCustomTableView.h"
#include "cxGridGuardPrivate.h"

QZ_CLASS_IMPL(TcxGridEditingController, TObject)

namespace {

// Sets a flag for the length of a scope.
class TFlagGuard {
public:
    TFlagGuard(bool& AFlag, bool AValue) : FFlag(AFlag), FOld(AFlag) { AFlag = AValue; }
    ~TFlagGuard() { FFlag = FOld; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// The editor's operations name in-place mouse work with bit 0.
constexpr uint16_t esoMouseInplace = 0x01;

}  // namespace

TcxGridEditingController::TcxGridEditingController(TcxCustomGridTableController* AController)
    : FController(AController), FEditList(std::make_unique<TcxInplaceEditList>())
{
}

TcxGridEditingController::~TcxGridEditingController()
{
    FShowTimer.reset();
    // The edits go with the list; none keeps a handler that reaches back here.
    if (FEdit) ReleaseEdit();
    FEditList.reset();
}

TcxCustomGridTableView* TcxGridEditingController::GridView() const { return FController->GridView(); }

bool TcxGridEditingController::IsEditFocused() const { return FEdit && FEdit->Focused(); }

TcxCustomGridTableItem* TcxGridEditingController::ResolveItem(TcxCustomGridTableItem* AItem) const
{
    return AItem ? AItem : FController->FocusedItem();
}

// ---- the editing item

void TcxGridEditingController::SetEditingItem(TcxCustomGridTableItem* AValue)
{
    if (AValue == FEditingItem || FSettingEditingItem) return;
    TFlagGuard setting(FSettingEditingItem, true);
    if (AValue) {
        if (!AValue->CanEdit() || !GridView()->DoEditing(AValue)) return;
        AValue->SetFocused(true);
        // Focusing may have ended in the item refusing the focus.
        if (!AValue->Focused()) return;
    }
    HideEdit(false);
    FEditingItem = AValue;
    if (!AValue) return;
    try {
        ShowEdit(AValue);
    } catch (...) {
        FEditingItem = nullptr;
        throw;
    }
    if (!FEdit && !FPreparing) FEditingItem = nullptr;
}

void TcxGridEditingController::ItemRemoved(TcxCustomGridTableItem* AItem)
{
    if (FShowTimerItem == AItem) StopEditShowingTimer();
    if (FEditingItem == AItem) {
        FSettingEditingItem = false;
        HideEdit(false);
        FEditingItem = nullptr;
    }
}

// ---- showing

void TcxGridEditingController::ShowEdit(TcxCustomGridTableItem* AItem)
{
    AItem = ResolveItem(AItem);
    if (PrepareEdit(AItem, false)) FEdit->Activate(AItem->EditData());
}

void TcxGridEditingController::ShowEditByKey(TcxCustomGridTableItem* AItem, char32_t AKey)
{
    AItem = ResolveItem(AItem);
    if (PrepareEdit(AItem, false)) FEdit->ActivateByKey(AKey, AItem->EditData());
}

void TcxGridEditingController::ShowEditByMouse(TcxCustomGridTableItem* AItem, TShiftState AShift, int X, int Y)
{
    AItem = ResolveItem(AItem);
    if (PrepareEdit(AItem, true)) FEdit->ActivateByMouse(AShift, X, Y, AItem->EditData());
}

bool TcxGridEditingController::PrepareEdit(TcxCustomGridTableItem* AItem, bool AIsMouseEvent)
{
    FController->EditorCheckPending = false;
    if (FPreparing || FHiding || !AItem) return false;
    TcxGridSite* site = FController->Site();
    bool siteFocused = site && site->Focused();
    bool result;
    if (AItem == FEditingItem && !FSettingEditingItem) {
        // Already edited: only a focus that went back to the site, or a
        // click, activates the edit again.
        result = FEdit && ((siteFocused && !FEdit->Focused()) || AIsMouseEvent);
    } else {
        FPreparing = true;
        try {
            if (!siteFocused) {
                FPreparing = false;
                return false;
            }
            AItem->SetEditing(true);
            if (FEditingItem != AItem) {
                FPreparing = false;
                return false;
            }
            TcxCustomEditProperties* properties = AItem->GetProperties(FController->GetFocusedRecord());
            if (!properties) {
                // Nothing to edit with: the item is not edited.
                FPreparing = false;
                AItem->SetEditing(false);
                return false;
            }
            try {
                FEdit = FEditList->GetEdit(properties);
                FEditProperties = properties;
            } catch (...) {
                FPreparing = false;
                FEdit = nullptr;
                FEditProperties = nullptr;
                AItem->SetEditing(false);
                throw;
            }
            // The cell under the edit draws itself as the one being edited.
            if (TcxCustomGridRecord* record = FController->GetFocusedRecord()) record->Invalidate(AItem);
            InitEdit();
        } catch (...) {
            FPreparing = false;
            throw;
        }
        FPreparing = false;
        result = true;
    }
    if (result) GridView()->UpdateSiteTabStop(false);
    return result;
}

void TcxGridEditingController::InitEdit()
{
    TcxCustomEditProperties* properties = FEdit->ActiveProperties();
    // The properties' own handlers wait while the grid's are installed.
    FSavedChange = properties->OnChange;
    FSavedEditValueChanged = properties->OnEditValueChanged;
    properties->OnChange = nullptr;
    properties->OnEditValueChanged = nullptr;
    FEdit->SetParent(FController->Site());
    UpdateEditPosition();
    UpdateEditValue();
    FEdit->OnAfterKeyDown = [this](TObject* S, WORD& K, TShiftState Sh) { EditAfterKeyDown(S, K, Sh); };
    FEdit->OnEditing = [this](TObject* S, bool& C) { EditEditing(S, C); };
    FEdit->OnPostEditValue = [this](TObject* S) { EditPostEditValue(S); };
    properties->OnChange = [this](TObject* S) { EditChanged(S); };
    properties->OnEditValueChanged = [this](TObject* S) { EditValueChanged(S); };
    FEdit->OnExit = [this](TObject* S) { EditExit(S); };
    FEdit->OnFocusChanged = [this](TObject* S) { EditFocusChanged(S); };
    FEdit->OnKeyDown = [this](TObject* S, WORD& K, TShiftState Sh) { EditKeyDown(S, K, Sh); };
    GridView()->DoInitEdit(FEditingItem, FEdit);
}

void TcxGridEditingController::ReleaseEdit(bool AKeepParent)
{
    TcxCustomEdit* edit = FEdit;
    FEdit = nullptr;
    FEditProperties = nullptr;
    edit->OnAfterKeyDown = nullptr;
    edit->OnEditing = nullptr;
    edit->OnPostEditValue = nullptr;
    edit->OnExit = nullptr;
    edit->OnFocusChanged = nullptr;
    edit->OnKeyDown = nullptr;
    if (TcxCustomEditProperties* properties = edit->ActiveProperties()) {
        properties->OnChange = FSavedChange;
        properties->OnEditValueChanged = FSavedEditValueChanged;
    }
    FSavedChange = nullptr;
    FSavedEditValueChanged = nullptr;
    // Hidden before it leaves the site, so that it never shows as a window of its own.
    edit->SetVisible(false);
    if (!AKeepParent) edit->SetParent(nullptr);
}

// ---- placing and loading

void TcxGridEditingController::UpdateEditPosition()
{
    if (!FEdit || !FEditingItem) return;
    auto* cell = DynamicCast<TcxGridTableDataCellViewInfo>(FEditingItem->GetFocusedCellViewInfo());
    if (!cell || IsRectEmpty(cell->Bounds)) return;
    if (!FInitiatingEditing) {
        if (FPreparing)
            ApplyEditUpdate();
        else
            FEditUpdateNeeded = true;
    }
    FEditPlaced = true;
}

void TcxGridEditingController::ApplyEditUpdate()
{
    FEditUpdateNeeded = false;
    if (!FEdit || !FEditingItem) return;
    auto* cell = DynamicCast<TcxGridTableDataCellViewInfo>(FEditingItem->GetFocusedCellViewInfo());
    if (!cell || IsRectEmpty(cell->Bounds)) return;
    TRect r;
    cell->GetEditBounds(r);
    cell->InitStyle();
    if (TcxCustomEditStyle* style = FEditingItem->EditStyle()) FEdit->Style()->Assign(style);
    FEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TcxGridEditingController::HideEditOnScroll()
{
    if (!IsEditing() || !FEdit) return;
    if (FEditPlaced && !FEditingItem->IsFocusedCellViewInfoPartVisible()) return;
    FEditUpdateNeeded = false;
    if (!FPreparing) FEdit->SetBounds(ParkedLeft, FEdit->Top(), FEdit->Width(), FEdit->Height());
}

void TcxGridEditingController::UpdateEditValue()
{
    if (!IsEditing() || !FEdit || FHiding || FInitiatingEditing || FUpdatingValue) return;
    FEdit->SetEditValue(FEditingItem->GetEditValue());
    FEdit->SelectAll();
}

void TcxGridEditingController::UpdateValue()
{
    if (!IsEditing() || !FEdit || !FEdit->ModifiedAfterEnter()) return;
    FEdit->ValidateEdit(true);
    Variant value = FEdit->EditValue();
    {
        TFlagGuard updating(FUpdatingValue, true);
        FEditingItem->SetEditValue(value);
    }
    if (FEdit) FEdit->SetModifiedAfterEnter(false);
}

// ---- hiding

void TcxGridEditingController::HideEdit(bool AAccept)
{
    FController->EditorCheckPending = false;
    FEditUpdateNeeded = false;
    StopEditShowingTimer();
    if (!IsEditing() || FHiding) return;
    TFlagGuard hiding(FHiding, true);
    TcxCustomGridTableView* view = GridView();
    if (AAccept && FEdit) {
        if (!FEdit->Deactivate()) Abort();
        FController->DataController()->PostEditingData();
        if (!FEdit || !FEditingItem) return;
        if (TcxCustomEditProperties* properties = FEditingItem->GetProperties(FController->GetFocusedRecord()))
            FEdit->ActiveProperties()->Update(properties);
    }
    SetEditingItem(nullptr);
    FEditingItem = nullptr;
    if (view->IsFocusedView()) view->UpdateSiteTabStop(true);
    if (!FEdit) return;
    if (FEdit->Focused() && view->IsFocusedView() && !FExiting) {
        FEdit->SetModified(false);
        FEdit->OnFocusChanged = nullptr;
        // Leaving the edit must not hide it a second time.
        FEdit->OnExit = nullptr;
        TFlagGuard checks(FController->EditorCheckAllowed, false);
        if (TcxGridSite* site = FController->Site(); site && site->CanFocus()) site->SetFocus();
    } else {
        FController->InvalidateFocusedRecord();
    }
    if (FEdit) ReleaseEdit(FExiting);
    FErrorOnExit = false;
}

void TcxGridEditingController::RemoveEdit(TcxCustomEditProperties* AProperties)
{
    if (!AProperties) return;
    if (FEdit && FEditProperties == AProperties) SetEditingItem(nullptr);
    if (FEdit && FEditProperties == AProperties) {
        // Still shown (editing could not end by the setter): it goes now.
        FEditingItem = nullptr;
        ReleaseEdit();
    }
    FEditList->RemoveItem(AProperties);
}

// ---- questions

bool TcxGridEditingController::CanRemoveEditFocus()
{
    if (!IsEditing()) return true;
    return !(FEdit && FEdit->Focused() && !FHiding);
}

bool TcxGridEditingController::IsEditHideNeededOnRecordChange()
{
    TcxCustomGridTableView* view = GridView();
    if (!view->OptionsBehavior()->AlwaysShowEditor) return true;
    if (!FEditingItem) return false;
    if (FEditingItem->OnGetProperties || FEditingItem->ShowButtons(false)) return true;
    TcxCustomEditProperties* properties = FEditingItem->GetProperties();
    if (properties && (properties->GetSupportedOperations() & esoMouseInplace)) return true;
    return static_cast<bool>(view->OnEditing) || static_cast<bool>(view->OnInitEdit);
}

// ---- the edit's events

void TcxGridEditingController::EditAfterKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (FController->IsKeyForController(Key, Shift)) FController->KeyDown(Key, Shift);
}

void TcxGridEditingController::EditChanged(TObject* Sender)
{
    if (FSavedChange) FSavedChange(Sender);
    if (FEditingItem) GridView()->DoEditChanged(FEditingItem);
}

void TcxGridEditingController::EditValueChanged(TObject* Sender)
{
    if (FSavedEditValueChanged) FSavedEditValueChanged(Sender);
    if (FEditingItem) GridView()->DoEditValueChanged(FEditingItem);
}

void TcxGridEditingController::EditEditing(TObject*, bool& CanEdit)
{
    if (!FEditingItem) {
        CanEdit = false;
        return;
    }
    // The record enters its edit state: what the data controller reports
    // meanwhile must not reload the edit being typed into.
    TFlagGuard initiating(FInitiatingEditing, true);
    CanEdit = FEditingItem->InitEditing();
}

void TcxGridEditingController::EditExit(TObject*)
{
    if (!CanHideEditOnExit()) return;
    TFlagGuard exiting(FExiting, true);
    try {
        HideEdit(!FController->IsUnchangedNewRecordCancelledOnExit());
    } catch (...) {
        if (FEdit && FEdit->CanFocus()) FEdit->SetFocus();
        FErrorOnExit = true;
        throw;
    }
}

void TcxGridEditingController::EditFocusChanged(TObject*)
{
    if (TcxGridSite* site = FController->Site()) site->FocusChanged();
}

void TcxGridEditingController::EditKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    FController->MakeFocusedItemVisible();
    TcxGridViewGuard guard(GridView());
    switch (Key) {
    case VK_RETURN: {
        HideEdit(true);
        if (!guard.Alive()) return;
        if (GridView()->OptionsBehavior()->GoToNextCellOnEnter) {
            WORD key = VK_RETURN;
            {
                TFlagGuard fromEditor(FController->KeyFromEditor, true);
                FController->KeyDown(key, Shift);
            }
            if (guard.Alive()) ShowEdit();
        } else {
            FController->UpdateEditor();
        }
        Key = 0;
        break;
    }
    case VK_ESCAPE: {
        bool modified = FEdit && FEdit->ModifiedAfterEnter();
        HideEdit(false);
        if (!guard.Alive()) return;
        FController->UpdateEditor();
        if (!modified && guard.Alive()) {
            // An unchanged editor closes and the table controller takes the
            // Esc as well (cancelling the record being edited).
            WORD key = VK_ESCAPE;
            FController->KeyDown(key, Shift);
        }
        Key = 0;
        break;
    }
    case VK_DELETE:
        if (Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt)) FController->KeyDown(Key, Shift);
        break;
    default: break;
    }
}

void TcxGridEditingController::EditPostEditValue(TObject*) { UpdateValue(); }

// ---- the delayed show

void TcxGridEditingController::StartEditShowingTimer(TcxCustomGridTableItem* AItem)
{
    StopEditShowingTimer();
    FShowTimerItem = AItem;
    FShowTimer = std::make_unique<TTimer>();
    FShowTimer->SetInterval(cxControls::GetDblClickInterval());
    FShowTimer->OnTimer = [this](TObject*) {
        TcxCustomGridTableItem* item = FShowTimerItem;
        StopEditShowingTimer();
        if (item) item->SetEditing(true);
    };
    FShowTimer->SetEnabled(true);
}

void TcxGridEditingController::StopEditShowingTimer()
{
    FShowTimer.reset();
    FShowTimerItem = nullptr;
}
