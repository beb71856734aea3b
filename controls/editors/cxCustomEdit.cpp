// The edit control (declared in cxEdit.h): the edit value and its modified
// flags, the change events and their lock, the editing permission,
// validation and posting, and the keys every edit shares.
#include "cxEdit.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "ShortCuts.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxGraphics.h"
#include "cxEditConsts.h"
#include "cxVariants.h"

QZ_CLASS_IMPL(TcxCustomEdit, TcxContainer)
QZ_CLASS_IMPL(TcxCustomEditData, TObject)
QZ_CLASS_IMPL(TcxEditDataBinding, TPersistent)

// ---- the data binding -------------------------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit)
    : FEdit(AEdit), FProvider(std::make_unique<TcxCustomEditDefaultValuesProvider>())
{
}

TcxEditDataBinding::~TcxEditDataBinding() = default;

TPersistent* TcxEditDataBinding::GetOwner() const { return FEdit; }
bool TcxEditDataBinding::IsEditDesigning() { return FEdit && FEdit->IsDesigning(); }
void TcxEditDataBinding::DefaultValuesChanged()
{
    if (FProvider) FProvider->DoChanged();
}
Variant TcxEditDataBinding::GetDisplayValue() { return FEdit ? Variant(FEdit->GetDisplayText()) : Null(); }
bool TcxEditDataBinding::IsModified() { return FEdit && FEdit->ModifiedAfterEnter(); }
Variant TcxEditDataBinding::GetStoredValue() { return FEdit ? FEdit->GetEditValue() : Null(); }
void TcxEditDataBinding::Reset()
{
    if (FEdit) FEdit->Reset();
}
void TcxEditDataBinding::SetDisplayValue(const Variant& Value)
{
    if (FEdit) FEdit->SetInnerDisplayValue(Value);
}
void TcxEditDataBinding::UpdateDisplayValue()
{
    if (FEdit) FEdit->SynchronizeDisplayValue();
}
void TcxEditDataBinding::SetProvider(std::unique_ptr<TcxCustomEditDefaultValuesProvider> AProvider)
{
    FProvider = std::move(AProvider);
}

namespace {
// Class records make objects from an owner alone; an in-place edit made
// from its class learns its flag from here while its constructors run.
thread_local bool GCreatingInplace = false;

// Sets a flag for a scope and puts the old value back, also on an exception.
struct TFlagScope {
    bool& Flag;
    bool Old;
    TFlagScope(bool& AFlag, bool AValue) : Flag(AFlag), Old(AFlag) { Flag = AValue; }
    ~TFlagScope() { Flag = Old; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};
}  // namespace

class TcxCustomEdit::TRepositoryItemListener : public IcxEditRepositoryItemListener {
public:
    explicit TRepositoryItemListener(TcxCustomEdit* AEdit) : E(AEdit) {}
    void ItemRemoved(TObject*) override
    {
        // The item is going: the edit's own properties take over.
        E->FRepositoryItem = nullptr;
        if (E->IsContainerDestroying()) return;
        E->AfterItemDetached();
    }
    void PropertiesChanged(TObject*) override
    {
        if (E->ComponentState().Contains(csLoading) || E->IsContainerDestroying()) return;
        E->PropertiesChanged(E->ActiveProperties());
    }

private:
    TcxCustomEdit* E;
};

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace)
    : TcxContainer(AOwner), FIsInplace(AIsInplace || GCreatingInplace)
{
    FEditValue = Null();
    TControl::SetAutoSize(!FIsInplace);
}

TcxCustomEdit::~TcxCustomEdit()
{
    if (FProperties) FProperties->SetDefaultValuesProvider(nullptr);
    if (FRepositoryItem) FRepositoryItem->RemoveListener(FRepositoryItemListener.get());
    if (FProperties) FProperties->OnPropertiesChanged = nullptr;
}

void TcxCustomEdit::InitializeEdit()
{
    TObject* o = GetPropertiesClass()->Create(nullptr);
    auto* p = dynamic_cast<TcxCustomEditProperties*>(o);
    if (!p) {
        delete o;
        throw EConvertError("Invalid editor properties class");
    }
    // The properties' class record makes them without an owner; they belong
    // to this edit.
    if (FProperties) FProperties->SetDefaultValuesProvider(nullptr);
    FProperties.reset(p);
    FProperties->SetOwnerEdit(this);
    if (!FDataBinding || FDataBinding->ClassType() != GetDataBindingClass()) {
        TObject* b = GetDataBindingClass()->Create(nullptr);
        FDataBinding.reset(dynamic_cast<TcxEditDataBinding*>(b));
        if (!FDataBinding) {
            delete b;
            FDataBinding = std::make_unique<TcxEditDataBinding>(this);
        }
        FDataBinding->FEdit = this;
    }
    // A stand-alone edit's defaults come from its value's source.
    if (!FIsInplace) FProperties->SetDefaultValuesProvider(FDataBinding->GetIDefaultValuesProvider());
    if (!FRepositoryItem) FProperties->OnPropertiesChanged = [this](TObject* s) { PropertiesChanged(s); };
    RecreateStyleAndViewInfo();
}

TClass TcxCustomEdit::GetViewInfoClass() const
{
    return FProperties ? ActiveProperties()->GetViewInfoClass() : TcxCustomEditViewInfo::StaticClass();
}

void TcxCustomEdit::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    if (!ActiveProperties()) {
        TcxContainer::CalculateViewInfo(P, AAllowHot);
        return;
    }
    auto data = ActiveProperties()->CreateViewData(EditStyle(), FIsInplace);
    InitializeViewData(data.get());
    data->Calculate(nullptr, TRect{0, 0, Width(), Height()}, AAllowHot || FMouseEvent ? P : TPoint{-1, -1},
                    FMouseButton, FMouseShift, EditViewInfo(), FMouseEvent);
    data->PrepareDrawValue(nullptr, GetEditValue(), EditViewInfo());
}

void TcxCustomEdit::InitializeViewData(TcxCustomEditViewData* AViewData)
{
    AViewData->Enabled = Enabled();
    AViewData->Focused = Focused();
    AViewData->ReadOnly = ActiveProperties()->ReadOnly();
    AViewData->IsDesigning = IsDesigning();
    AViewData->InnerEditVisible = InnerControl() != nullptr && InnerControl()->Visible();
    AViewData->IsInnerTextEdit = InnerControl() != nullptr;
    AViewData->CaptureButtonIndex = FCaptureButtonIndex;
}

// ---- size and region --------------------------------------------------------------------------------------

TSize TcxCustomEdit::MeasureEditSize()
{
    if (!ActiveProperties()) return TSize{Width(), Height()};
    auto data = ActiveProperties()->CreateViewData(EditStyle(), FIsInplace);
    InitializeViewData(data.get());
    TcxScreenCanvas canvas;
    return data->GetEditSize(&canvas, GetEditValue(), GetEditSizeProperties());
}

void TcxCustomEdit::AdjustInnerControl()
{
    if (HandleAllocated() && !FAdjustingSize && !IsContainerDestroying() && AutoSize() && CanAutoSize()) {
        TSize size = MeasureEditSize();
        TFlagScope adjusting(FAdjustingSize, true);
        SetBounds(Left(), Top(), CanAutoWidth() ? size.cx : Width(), size.cy);
    }
    AdjustInnerEditPosition();
}

bool TcxCustomEdit::CanResize(int& NewWidth, int& NewHeight)
{
    bool result = TcxContainer::CanResize(NewWidth, NewHeight);
    if (result && AutoSize() && CanAutoSize() && !ComponentState().Contains(csLoading) && !IsContainerDestroying() &&
        FProperties) {
        TSize size = MeasureEditSize();
        NewHeight = size.cy;
        if (CanAutoWidth()) NewWidth = size.cx;
    }
    return result;
}

void TcxCustomEdit::SetAutoSize(bool Value)
{
    // The host sizes an in-place edit.
    if (FIsInplace || Value == AutoSize()) return;
    TControl::SetAutoSize(Value);
    if (Value) {
        if (HandleAllocated()) ShortRefreshContainer(false);
        else if (FProperties) {
            TSize size = MeasureEditSize();
            SetBounds(Left(), Top(), CanAutoWidth() ? size.cx : Width(), size.cy);
        }
    }
}

void TcxCustomEdit::SetWindowShadowRegion()
{
    // The window keeps its borders while its region is replaced.
    TFlagScope changing(FChangingRegion, true);
    TcxContainer::SetWindowShadowRegion();
}

void TcxCustomEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_NCCALCSIZE && FChangingRegion) {
        Message.Result = 0;
        return;
    }
    TcxContainer::WndProc(Message);
}

void TcxCustomEdit::PropertiesChanged(TObject*)
{
    if (IsContainerDestroying()) return;
    ShortRefreshContainer(false);
}

// ---- modified flags and change events -------------------------------------------------------------

void TcxCustomEdit::SetModified(bool Value)
{
    FModified = Value;
    if (!Value) FModifiedAfterEnter = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool Value)
{
    FModifiedAfterEnter = Value;
    if (Value) {
        FValidated = false;
        FModified = true;
    }
}

void TcxCustomEdit::PopModifiedState()
{
    if (FModifiedStack.empty()) return;
    FModified = FModifiedStack.back().first;
    FModifiedAfterEnter = FModifiedStack.back().second;
    FModifiedStack.pop_back();
}

void TcxCustomEdit::UserChange(const std::function<void()>& AAction)
{
    bool old = FUserChange;
    FUserChange = true;
    try {
        AAction();
    } catch (...) {
        FUserChange = old;
        throw;
    }
    FUserChange = old;
}

void TcxCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock)
{
    if (ALock) {
        if (FChangeEventsLock == 0) FPendingChange = FPendingEditValueChanged = false;
        ++FChangeEventsLock;
        return;
    }
    if (FChangeEventsLock <= 0) return;
    if (--FChangeEventsLock > 0 || !AInvokeChangedOnUnlock) return;
    if (ComponentState().Contains(csLoading) || IsContainerDestroying()) return;
    if (FPendingChange && FProperties && ActiveProperties()->OnChange) ActiveProperties()->OnChange(this);
    if (FPendingEditValueChanged && FProperties && ActiveProperties()->OnEditValueChanged)
        ActiveProperties()->OnEditValueChanged(this);
}

void TcxCustomEdit::DoChange()
{
    if (ComponentState().Contains(csLoading) || IsContainerDestroying() || !ActiveProperties()) return;
    if (ActiveProperties()->OnChange) {
        if (FChangeEventsLock > 0) FPendingChange = true;
        else if (FIsInplace) {
            PushModifiedState();
            FModified = FModifiedAfterEnter = true;
            try {
                ActiveProperties()->OnChange(this);
            } catch (...) {
                PopModifiedState();
                throw;
            }
            PopModifiedState();
        } else {
            ActiveProperties()->OnChange(this);
        }
    }
    if (!ActiveProperties()->SuppressChangeOnEditValue() && !ActiveProperties()->CanCompareEditValue()) DoEditValueChanged();
}

void TcxCustomEdit::DoEditValueChanged()
{
    if (ComponentState().Contains(csLoading) || IsContainerDestroying() || !ActiveProperties()) return;
    if (!ActiveProperties()->OnEditValueChanged) return;
    if (FChangeEventsLock > 0) FPendingEditValueChanged = true;
    else ActiveProperties()->OnEditValueChanged(this);
}

void TcxCustomEdit::ChangeHandler(TObject*)
{
    if (Focused()) SetModifiedAfterEnter(true);
    DoChange();
}

// ---- value -------------------------------------------------------------------------------------------

void TcxCustomEdit::SetEditValue(const Variant& Value)
{
    if (FEditValueChangingLock > 0) return;
    if (FUserChange && !DoEditing()) return;
    InternalSetEditValue(Value, true);
}

void TcxCustomEdit::ChangeEditValue(const Variant& Value) { SetEditValue(Value); }

void TcxCustomEdit::InternalSetEditValue(const Variant& Value, bool)
{
    if (FUserChange && !DoEditing()) return;
    bool changed = FProperties && ActiveProperties()->CanCompareEditValue() && !cxEdit::VarEqualsExact(FEditValue, Value);
    FEditValue = Value;
    SynchronizeDisplayValue();
    if (FUserChange) SetModifiedAfterEnter(true);
    else SetModified(false);
    if (changed) {
        DoEditValueChanged();
        if (!ActiveProperties()->SuppressChangeOnEditValue()) DoChange();
    }
}

void TcxCustomEdit::SetDisplayValue(const Variant& Value)
{
    PushModifiedState();
    try {
        InternalSetDisplayValue(Value);
    } catch (...) {
        PopModifiedState();
        throw;
    }
    PopModifiedState();
}

void TcxCustomEdit::Reset()
{
    if (!FModifiedAfterEnter || !ActiveProperties() || !ActiveProperties()->CanResetEditValue()) return;
    LockChangeEvents(true);
    try {
        // Back to the value on entry, which still differs from the source's.
        FModifiedAfterEnter = false;
        {
            // The edit undoes the user's change itself.
            TFlagScope notUser(FUserChange, false);
            ChangeEditValue(FPrevEditValue);
        }
        SynchronizeDisplayValue();
        SetModified(true);
        SelectAll();
        if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) PostEditValue(false);
    } catch (...) {
        LockChangeEvents(false, true);
        throw;
    }
    LockChangeEvents(false, true);
}

bool TcxCustomEdit::CanModify()
{
    if (!ActiveProperties()) return true;
    if (FIsInplace) return ActiveProperties()->CanModify();
    if (ActiveProperties()->IsReadOnlyStored()) return !ActiveProperties()->ReadOnly();
    if (ActiveProperties()->DefaultValuesProvider() && !ActiveProperties()->DefaultValuesProvider()->CanModify())
        return false;
    return !FDataBinding || FDataBinding->CanModify();
}

bool TcxCustomEdit::DoEditing()
{
    if (!IsEditingAllowed()) return false;
    if (FModifiedAfterEnter) return true;
    ++FEditValueChangingLock;
    bool result;
    try {
        result = CanModify();
        if (result && OnEditing) OnEditing(this, result);
        // The source agrees to be edited.
        if (result && !FIsInplace && FDataBinding) result = FDataBinding->SetEditMode();
    } catch (...) {
        --FEditValueChangingLock;
        throw;
    }
    --FEditValueChangingLock;
    return result;
}

// ---- validation and posting -----------------------------------------------------------------------------

bool TcxCustomEdit::ValidateEdit(bool ARaiseExceptionOnError)
{
    if (!FModifiedAfterEnter || FValidated) return true;
    Variant display(GetDisplayText());
    bool error = false;
    std::string errorText;
    if (ActiveProperties() && ActiveProperties()->CanValidate())
        ActiveProperties()->ValidateDisplayValue(display, errorText, error, this);
    if (error) {
        auto restore = [&] {
            if (VarToStr(display) != GetDisplayText()) {
                SetInnerDisplayValue(display);
                if (Visible()) SelectAll();
                RefreshDisplay();
            }
        };
        if (ARaiseExceptionOnError) {
            try {
                HandleValidationError(errorText);
            } catch (...) {
                restore();
                throw;
            }
        }
        restore();
        return false;
    }
    if (FUserChange && !DoEditing()) return true;
    SetDisplayValue(display);
    if (!FIsInplace && !Focused()) FModifiedAfterEnter = false;
    FValidated = true;
    return true;
}

void TcxCustomEdit::HandleValidationError(const std::string& AErrorText)
{
    if (!Focused() && Visible() && CanFocus()) {
        // The focus comes back without the edit being entered again: the
        // value on entry and the modified state stay as they are.
        TFlagScope focusing(FFocusingByError, true);
        if (InnerControl() && InnerControl()->CanFocus()) InnerControl()->SetFocus();
        else SetFocus();
    }
    if (Visible()) SelectAll();
    if (ActiveProperties() && ActiveProperties()->BeepOnError()) MessageBeep(0);
    if (!AErrorText.empty()) throw Exception(AErrorText);
}

void TcxCustomEdit::PostEditValue(bool AValidate)
{
    if (AValidate) {
        bool old = FUserChange;
        FUserChange = false;
        bool ok;
        try {
            ok = ValidateEdit(true);
        } catch (...) {
            FUserChange = old;
            throw;
        }
        FUserChange = old;
        if (!ok) return;
    }
    try {
        if (OnPostEditValue) OnPostEditValue(this);
        if (FIsInplace) SetModified(false);
        else if (FDataBinding) FDataBinding->SetStoredValue(GetEditValue());
    } catch (const Exception&) {
        if (FIsInplace) return;   // the host tries again on hide
        HandleValidationError(std::string());
        throw;
    }
}

// ---- keys ------------------------------------------------------------------------------------------------

void TcxCustomEdit::DoAfterKeyDown(WORD& Key, TShiftState Shift)
{
    if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
}

void TcxCustomEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    FEscHandled = false;
    if (!IsClickKey(Key, Shift)) TcxContainer::KeyDown(Key, Shift);
    if (Key != 0) DoEditKeyDown(Key, Shift);
}

void TcxCustomEdit::KeyPress(char& Key)
{
    if (Key == char(VK_ESCAPE) && FEscHandled) {
        FEscHandled = false;
        Key = 0;
        return;
    }
    TcxContainer::KeyPress(Key);
    if (Key != 0) DoEditKeyPress(Key);
}

bool TcxCustomEdit::IsClickKey(WORD Key, TShiftState Shift)
{
    return ActiveProperties() && EditViewInfo()->ButtonCount() > 0 && ShortCut(Key, Shift) == ActiveProperties()->ClickKey();
}

void TcxCustomEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == 0 || !ActiveProperties()) return;
    TShortCut s = ShortCut(Key, Shift);
    if (ActiveProperties()->ClearKey() != 0 && s == ActiveProperties()->ClearKey()) {
        UserChange([&] { ChangeEditValue(Null()); });
        FValidated = true;
        Key = 0;
        return;
    }
    if (TcxCustomEdit::IsClickKey(Key, Shift)) {
        // The click key clicks the default button.
        TcxCustomEditViewInfo* vi = EditViewInfo();
        for (int k = 0; k < vi->ButtonCount(); ++k)
            if (vi->Button(k)->Default) {
                DoButtonClick(vi->Button(k)->ButtonIndex);
                break;
            }
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_TAB:
        if (Focused() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !ActiveProperties()->HandlesTabKey()) {
            // An in-place host may take Tab (a grid moves to the next cell).
            DoAfterKeyDown(Key, Shift);
            if (Key == 0) return;
            Key = 0;
            // An open popup keeps a stand-alone edit's Tab.
            if (FIsInplace || !HasPopupWindow()) FocusNextControl(!Shift.Contains(ssShift));
        }
        return;
    case VK_RETURN:
        if (ActiveProperties()->ValidateOnEnter()) {
            Key = 0;
            LockChangeEvents(true);
            try {
                if (ValidateEdit(true) && FModifiedAfterEnter) PostEditValue(false);
            } catch (...) {
                LockChangeEvents(false, true);
                throw;
            }
            LockChangeEvents(false, true);
        }
        return;
    case VK_ESCAPE:
        if (FModifiedAfterEnter) {
            Reset();
            FEscHandled = true;
            Key = 0;
        }
        return;
    default:
        if (!WantNavigationKeys() && Key >= 33 && Key <= 40) {
            DoAfterKeyDown(Key, Shift);
        }
    }
}

bool TcxCustomEdit::CanProcessMouseWheel(TShiftState Shift)
{
    return !FIsInplace || ActiveProperties()->InplaceWheel() || Shift.Contains(ssCtrl);
}

void TcxCustomEdit::DoEnter()
{
    if (IsContainerDestroying()) return;
    if (!FFocusingByError) {
        PushModifiedState();
        try {
            TcxContainer::DoEnter();
            // The value shows in its editing form, and Esc goes back to it.
            if (NeedsDisplayResetOnExit() && FDataBinding) FDataBinding->UpdateDisplayValue();
            FPrevEditValue = GetEditValue();
            if (NeedsDisplayResetOnExit()) SynchronizeDisplayValue();
        } catch (...) {
            PopModifiedState();
            throw;
        }
        PopModifiedState();
        FModifiedAfterEnter = false;
    }
    ShortRefreshContainer(false);
}

void TcxCustomEdit::FocusChanged()
{
    if (IsContainerDestroying() || FFocusingByError) return;
    // Entering (the inner edit taking the focus counts): Esc goes back to this value.
    bool focused = Focused();
    if (focused && !FFocusedAndActive) FPrevEditValue = FEditValue;
    bool changed = focused != FFocusedAndActive;
    FFocusedAndActive = focused;
    TcxContainer::FocusChanged();
    if (!changed || focused) return;
    // A modal form closing with a result takes the value as it stands: it is
    // validated, quietly, as the form is gone and cannot keep the focus here.
    TCustomForm* form = GetParentForm(this);
    if (form && form->FormState().Contains(fsModal) && !form->Visible() && form->ModalResult() != 0 &&
        form->ModalResult() != mrCancel)
        ValidateEdit(false);
}

void TcxCustomEdit::DoExit()
{
    TFlagScope notUser(FUserChange, false);
    HandleExit(true);
}

void TcxCustomEdit::HandleExit(bool ACallDoExit)
{
    if (IsContainerDestroying() || FFocusingByError) return;
    PushModifiedState();
    try {
        if (FModifiedAfterEnter) {
            LockChangeEvents(true);
            try {
                // An invalid value raises here and the focus stays in the edit.
                if (ValidateEdit(true) && !FIsInplace && CanPostEditValue()) PostEditValue(false);
            } catch (...) {
                LockChangeEvents(false, true);
                throw;
            }
            LockChangeEvents(false, true);
        }
        if (NeedsDisplayResetOnExit() && FDataBinding) FDataBinding->UpdateDisplayValue();
        RefreshDisplay();
        ShortRefreshContainer(false);
    } catch (...) {
        PopModifiedState();
        throw;
    }
    PopModifiedState();
    if (ACallDoExit) TcxContainer::DoExit();
    FModifiedAfterEnter = false;
}

bool TcxCustomEdit::CanPostEditValue()
{
    return FDataBinding && FDataBinding->IsModified() && !IsDesigning();
}

// ---- in-place editing -----------------------------------------------------------------------------------

TcxCustomEdit* TcxCustomEdit::CreateInplace(TClass AEditClass)
{
    if (!AEditClass || !AEditClass->InheritsFrom(TcxCustomEdit::StaticClass()))
        throw EConvertError("Invalid editor class");
    bool old = GCreatingInplace;
    GCreatingInplace = true;
    TObject* o;
    try {
        o = AEditClass->Create(nullptr);
    } catch (...) {
        GCreatingInplace = old;
        throw;
    }
    GCreatingInplace = old;
    auto* e = dynamic_cast<TcxCustomEdit*>(o);
    if (!e) {
        delete o;
        throw EConvertError("Invalid editor class");
    }
    return e;
}

void TcxCustomEdit::Activate(std::unique_ptr<TcxCustomEditData>& AEditData)
{
    if (!AEditData && GetEditDataClass()) {
        TObject* o = GetEditDataClass()->Create(nullptr);
        AEditData.reset(dynamic_cast<TcxCustomEditData*>(o));
        if (!AEditData) delete o;
    }
    FEditData = AEditData.get();
    if (FEditData) {
        FEditData->Edit = this;
        if (FEditData->Cleared) {
            ResetEditData(FEditData);
            FEditData->Cleared = false;
        }
    }
    SetVisible(true);
    if (HandleAllocated() && CanFocus()) {
        SetFocus();
        if (ActiveProperties() && ActiveProperties()->AutoSelect()) SelectAll();
    }
    SynchronizeDisplayValue();
    SetModified(false);
}

void TcxCustomEdit::ActivateByKey(char32_t AKey, std::unique_ptr<TcxCustomEditData>& AEditData)
{
    Activate(AEditData);
    // The key that started the editing types into the edit.
    if (CanSendActivationKey(AKey)) ActivationTarget()->Perform(WM_CHAR, WPARAM(AKey), 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState AShift, int X, int Y, std::unique_ptr<TcxCustomEditData>& AEditData)
{
    Activate(AEditData);
    TWinControl* target = ActivationTarget();
    TPoint p{X - Left(), Y - Top()};
    if (target != this) p = target->ScreenToClient(ClientToScreen(p));
    LPARAM pos = LPARAM((uint32_t(uint16_t(p.Y)) << 16) | uint16_t(p.X));
    WPARAM keys = cxEdit::ShiftStateToMouseKeys(AShift);
    if (AShift.Contains(ssLeft)) {
        target->Perform(WM_LBUTTONDOWN, keys, pos);
        // The host's press is over already: no capture stays behind.
        if (GetCapture() && GetKeyState(VK_LBUTTON) >= 0) ReleaseCapture();
    } else {
        target->Perform(WM_LBUTTONUP, keys, pos);
    }
    if (!FActivateTimer) {
        FActivateTimer = std::make_unique<TTimer>(nullptr);
        FActivateTimer->OnTimer = [this](TObject*) { FActivateTimer->SetEnabled(false); };
    }
    FActivateTimer->SetEnabled(false);
    FActivateTimer->SetInterval(GetDoubleClickTime());
    FActivateTimer->SetEnabled(true);
}

bool TcxCustomEdit::TakeActivationClick()
{
    if (!FActivateTimer || !FActivateTimer->Enabled()) return false;
    FActivateTimer->SetEnabled(false);
    return true;
}

bool TcxCustomEdit::Deactivate()
{
    bool valid = ValidateEdit(true);
    if (valid) {
        SynchronizeDisplayValue();
        FValidated = true;
    }
    return valid;
}

// ---- repository items ----------------------------------------------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() const
{
    if (FRepositoryItem && !ComponentState().Contains(csReading) && !ComponentState().Contains(csWriting))
        return FRepositoryItem->Properties();
    return FProperties.get();
}

bool TcxCustomEdit::CanUseRepositoryItem(TcxEditRepositoryItem* AItem)
{
    return AItem->Properties() && AItem->Properties()->ClassType()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::AfterItemDetached()
{
    FProperties->OnPropertiesChanged = [this](TObject* s) { PropertiesChanged(s); };
    AfterRepositoryItemChange();
    PropertiesChanged(FProperties.get());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value)
{
    if (Value == FRepositoryItem) return;
    if (Value && !CanUseRepositoryItem(Value))
        throw Exception(cxClasses::GetResourceString(&cxSEditInvalidRepositoryItem));
    BeforeRepositoryItemChange();
    if (!FRepositoryItemListener) FRepositoryItemListener = std::make_unique<TRepositoryItemListener>(this);
    if (FRepositoryItem) FRepositoryItem->RemoveListener(FRepositoryItemListener.get());
    FRepositoryItem = Value;
    if (FRepositoryItem) {
        FRepositoryItem->AddListener(FRepositoryItemListener.get());
        FProperties->OnPropertiesChanged = nullptr;
        AfterRepositoryItemChange();
        PropertiesChanged(FRepositoryItem->Properties());
    } else {
        AfterItemDetached();
    }
}

// ---- buttons -----------------------------------------------------------------------------------------------

bool TcxCustomEdit::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    if (IsContainerDestroying()) return false;
    TcxCustomEditViewInfo* vi = EditViewInfo();
    int prevPressed = vi ? vi->PressedButtonIndex : -1, prevHot = vi ? vi->HotButtonIndex : -1;
    FMouseButton = AButton;
    FMouseShift = AShift;
    FMouseEvent = AIsMouseEvent;
    bool result;
    try {
        result = TcxContainer::RefreshContainer(P, AButton, AShift, AIsMouseEvent);
    } catch (...) {
        FMouseButton = 0;
        FMouseShift = TShiftState();
        FMouseEvent = false;
        throw;
    }
    FMouseButton = 0;
    FMouseShift = TShiftState();
    FMouseEvent = false;
    if (AIsMouseEvent) ProcessButtonStateChanges(prevPressed, prevHot);
    return result;
}

void TcxCustomEdit::ProcessButtonStateChanges(int APrevPressed, int APrevHot)
{
    TcxCustomEditViewInfo* vi = EditViewInfo();
    if (!vi || (vi->PressedButtonIndex == APrevPressed && vi->HotButtonIndex == APrevHot)) return;
    int pressed = vi->PressedButtonIndex, hot = vi->HotButtonIndex;
    auto buttonIndex = [vi](int k) { return k >= 0 && k < vi->ButtonCount() ? vi->Button(k)->ButtonIndex : -1; };
    if (APrevPressed >= 0 && pressed != APrevPressed) {
        FCaptureButtonIndex = -1;
        DoButtonUp(buttonIndex(APrevPressed));
        // Released over itself: a click.
        if (hot == APrevPressed) DoButtonClick(buttonIndex(APrevPressed));
    }
    if (pressed >= 0 && APrevPressed < 0) {
        FCaptureButtonIndex = pressed;
        DoButtonDown(buttonIndex(pressed));
    }
}

void TcxCustomEdit::DoButtonClick(int AButtonIndex)
{
    if (ActiveProperties() && ActiveProperties()->OnButtonClick) ActiveProperties()->OnButtonClick(this, AButtonIndex);
}
