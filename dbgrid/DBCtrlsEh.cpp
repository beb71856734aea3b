// The field data link of the data-aware controls.
#include "DBCtrlsEh.h"

#include "Controls.h"
#include "Forms.h"
#include "Windows.h"
#include "TextUtils.h"

QZ_CLASS_IMPL(TFieldDataLinkEh, TDataLink)
QZ_CLASS_IMPL(TCustomDBCheckBoxEh, TCustomCheckBox)
QZ_CLASS_IMPL(TDBCheckBoxEh, TCustomDBCheckBoxEh)
QZ_CLASS_IMPL(TCustomDBEditEh, TCustomEdit)
QZ_CLASS_IMPL(TDBEditEh, TCustomDBEditEh)
QZ_CLASS_IMPL(TCustomDBComboBoxEh, TCustomDBEditEh)
QZ_CLASS_IMPL(TDBComboBoxEh, TCustomDBComboBoxEh)
QZ_CLASS_IMPL(TDropDownBoxEh, TPersistent)

TFieldDataLinkEh::TFieldDataLinkEh() : FIndependentValue(Null()) { SetVisualControl(true); }

TFieldDataLinkEh::~TFieldDataLinkEh() = default;

bool TFieldDataLinkEh::HasField(const TField* field) const
{
    for (TField* f : FFields)
        if (f == field) return true;
    return false;
}

bool TFieldDataLinkEh::Active() const { return FIndependent || (TDataLink::Active() && !FFields.empty()); }

bool TFieldDataLinkEh::CanModify() const
{
    if (FIndependent) return true;
    TField* f = Field();
    return f && f->CanModify();
}

bool TFieldDataLinkEh::Edit()
{
    if (FIndependent) {
        if (!FEditing && !ReadOnly()) {
            FEditing = true;
            FModified = false;
            if (OnEditingChange) OnEditingChange(this);
        }
    } else if (CanModify()) {
        TDataLink::Edit();
    }
    return FEditing;
}

void TFieldDataLinkEh::Reset() { RecordChanged(nullptr); }

void TFieldDataLinkEh::DoDataChange()
{
    if (OnDataChange) OnDataChange(this);
    FModified = false;
}

void TFieldDataLinkEh::SetDataSource(TDataSource* v)
{
    if (v == DataSource()) return;
    TDataLink::SetDataSource(v);
    UpdateIndependence();
}

void TFieldDataLinkEh::SetFieldName(const std::string& v)
{
    if (v == FFieldName) return;
    FFieldName = v;
    RebindFields();
    UpdateIndependence();
}

void TFieldDataLinkEh::UpdateIndependence()
{
    bool independent = !DataSource() && FFieldName.empty();
    if (independent == FIndependent) return;
    FIndependent = independent;
    FIndependentValue = Null();
    RebindFields();
    if (independent) DoDataChange();
}

void TFieldDataLinkEh::RebindFields()
{
    std::vector<TField*> list;
    TDataSet* ds = TDataLink::Active() ? DataSet() : nullptr;
    if (ds && !FFieldName.empty()) {
        if (FAllowFieldList) {
            if (FControl) {
                size_t start = 0;
                for (;;) {
                    size_t end = FFieldName.find(';', start);
                    std::string name = Trim(FFieldName.substr(start, end == std::string::npos ? end : end - start));
                    if (!name.empty()) list.push_back(GetFieldProperty(ds, FControl, name));
                    if (end == std::string::npos) break;
                    start = end + 1;
                }
            } else {
                ds->GetFieldList(list, FFieldName);
            }
        } else if (FControl) {
            list.push_back(GetFieldProperty(ds, FControl, FFieldName));
        } else {
            list.push_back(ds->FieldByName(FFieldName));
        }
    }
    FFields.swap(list);
    EditingChanged();
    DoDataChange();
}

void TFieldDataLinkEh::SetFieldText(const std::string& text)
{
    if (FIndependent) {
        FIndependentValue = Variant(text);
        DoDataChange();
        return;
    }
    TField* f = Field();
    if (!f) return;
    // A memo takes the text as it is; other fields parse it by their type.
    if (f->DataType() == ftMemo) f->SetAsString(text);
    else f->SetText(text);
}

void TFieldDataLinkEh::SetFieldValue(const Variant& value)
{
    if (FIndependent) {
        FIndependentValue = value;
        DoDataChange();
        return;
    }
    if (FFields.size() > 1) {
        if (VarIsNull(value)) {
            for (TField* f : FFields) f->Clear();
            return;
        }
        int low = VarArrayLowBound(value, 1);
        for (size_t i = 0; i < FFields.size(); ++i) FFields[i]->SetValue(VarArrayGet(value, {low + int(i)}));
        return;
    }
    if (TField* f = Field()) f->SetValue(value);
}

void TFieldDataLinkEh::ActiveChanged()
{
    RebindFields();
    if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLinkEh::EditingChanged()
{
    if (FIndependent) return;
    bool editing = TDataLink::Editing() && CanModify();
    if (editing == FEditing) return;
    FEditing = editing;
    FModified = false;
    if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLinkEh::RecordChanged(TField* field)
{
    if (field && !HasField(field)) return;
    DoDataChange();
}

void TFieldDataLinkEh::LayoutChanged() { RebindFields(); }

void TFieldDataLinkEh::FocusControl(TField*& field)
{
    if (!field || !HasField(field)) return;
    auto* c = DynamicCast<TWinControl>(FControl);
    if (c && c->CanFocus()) {
        field = nullptr;
        c->SetFocus();
    }
}

void TFieldDataLinkEh::UpdateData()
{
    if (FIndependent) {
        if (FModified && OnUpdateData) OnUpdateData(this);
        FEditing = false;
    } else {
        if (!FModified) return;
        if (Field() && OnUpdateData) OnUpdateData(this);
    }
    FModified = false;
}

void TFieldDataLinkEh::DataEvent(TDataEvent event, intptr_t info)
{
    TDataLink::DataEvent(event, info);
    if (event != deDisabledStateChange) return;
    // Fields may be made anew while the controls are off: bind afresh.
    if (info) RebindFields();
    else FFields.clear();
}

// ---- the check box -----------------------------------------------------------------------------

namespace {
// Runs a control's OnUpdateData with its in-update flag set during the call;
// true when the handler did the writing.
bool UpdateDataHandled(const TUpdateDataEventEh& handler, TObject* sender, bool& inUpdate)
{
    bool handled = false;
    if (!handler) return false;
    inUpdate = true;
    try {
        handler(sender, handled);
    } catch (...) {
        inUpdate = false;
        throw;
    }
    inUpdate = false;
    return handled;
}

// Whether text is one of the ';'-separated entries, ignoring case.
bool InValueList(const std::string& list, const std::string& text)
{
    size_t start = 0;
    for (;;) {
        size_t end = list.find(';', start);
        if (AnsiSameText(list.substr(start, end == std::string::npos ? end : end - start), text)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

std::string FirstEntry(const std::string& list) { return list.substr(0, list.find(';')); }
} // namespace

TCustomDBCheckBoxEh::TCustomDBCheckBoxEh(TComponent* owner)
    : TCustomCheckBox(owner), FDataLink(std::make_unique<TFieldDataLinkEh>())
{
    SetBounds(Left(), Top(), 97, 17);
    SetTabStop(true);
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TFieldDataLinkEh*) { Reload(); };
    FDataLink->OnUpdateData = [this](TFieldDataLinkEh*) { CommitState(); };
    FDataLink->SetFieldValue(false);
}

TCustomDBCheckBoxEh::~TCustomDBCheckBoxEh()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
}

void TCustomDBCheckBoxEh::Notification(TComponent* component, TOperation operation)
{
    TCustomCheckBox::Notification(component, operation);
    if (operation == opRemove && FDataLink && component == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TCustomDBCheckBoxEh::SetDataSource(TDataSource* v)
{
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
}

void TCustomDBCheckBoxEh::SetValueChecked(const std::string& v)
{
    FValueCheck = v;
    Reload();
}

void TCustomDBCheckBoxEh::SetValueUnchecked(const std::string& v)
{
    FValueUncheck = v;
    Reload();
}

TCheckBoxState TCustomDBCheckBoxEh::FieldState() const
{
    if (FDataLink->Independent()) {
        const Variant& v = FDataLink->IndependentValue();
        if (VarType(v) == varBoolean) return bool(v) ? cbChecked : cbUnchecked;
        return cbGrayed;
    }
    TField* f = FDataLink->Field();
    if (!f) return cbUnchecked;
    if (f->IsNull()) return cbGrayed;
    if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
    std::string text = f->Text();
    if (InValueList(FValueCheck, text)) return cbChecked;
    if (InValueList(FValueUncheck, text)) return cbUnchecked;
    return cbGrayed;
}

void TCustomDBCheckBoxEh::Reload()
{
    ChangeState(FieldState());
    FModified = false;
}

void TCustomDBCheckBoxEh::ChangeState(TCheckBoxState v)
{
    if (v == State()) return;
    TCustomCheckBox::SetState(v);
    Invalidate();
    FModified = true;
}

void TCustomDBCheckBoxEh::SetState(TCheckBoxState v)
{
    if (!FDataLink->Independent()) FDataLink->Edit();
    ChangeState(v);
    if (FInUpdateData) return;
    try {
        CommitState();
    } catch (...) {
        Reload();
        throw;
    }
}

void TCustomDBCheckBoxEh::ToggleState()
{
    if (!FDataLink->Edit()) {
        UpdateNative();   // a native click that may not stand
        return;
    }
    switch (State()) {
    case cbUnchecked: ChangeState(AllowGrayed() ? cbGrayed : cbChecked); break;
    case cbChecked: ChangeState(cbUnchecked); break;
    case cbGrayed: ChangeState(cbChecked); break;
    }
    FDataLink->MarkModified();
}

void TCustomDBCheckBoxEh::CommitState()
{
    if (!UpdateDataHandled(OnUpdateData, this, FInUpdateData)) PostToDataLink();
}

void TCustomDBCheckBoxEh::PostToDataLink()
{
    TCheckBoxState st = State();
    if (FDataLink->Independent()) {
        FDataLink->SetFieldValue(st == cbGrayed ? Variant(Null()) : Variant(st == cbChecked));
        return;
    }
    TField* f = FDataLink->Field();
    if (!f) return;
    if (st == cbGrayed) f->Clear();
    else if (f->DataType() == ftBoolean) f->SetAsBoolean(st == cbChecked);
    else f->SetText(FirstEntry(st == cbChecked ? FValueCheck : FValueUncheck));
}

void TCustomDBCheckBoxEh::KeyPress(char& key)
{
    TCustomCheckBox::KeyPress(key);
    if (key == '\b' || key == ' ') FDataLink->Edit();
    else if (key == 27) FDataLink->Reset();
}

void TCustomDBCheckBoxEh::DoExit()
{
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TCustomCheckBox::DoExit();
}

// ---- the edit ----------------------------------------------------------------------------------

namespace {
int CharCount(const std::string& utf8) { return int(Utf8ToUtf16(utf8).size()); }

// The first count characters of the text.
std::string CharPrefix(const std::string& utf8, int count)
{
    std::u16string w = Utf8ToUtf16(utf8);
    return Utf16ToUtf8(w.substr(0, size_t(std::max(count, 0))));
}

bool IsStringField(const TField* f) { return f && (f->DataType() == ftString || f->DataType() == ftWideString); }

// A variant as the edit shows it: empty for an array or what does not convert.
std::string VariantText(const Variant& v)
{
    if (VarIsArray(v)) return {};
    try {
        return VarToStr(v);
    } catch (const Exception&) {
        return {};
    }
}
} // namespace

TCustomDBEditEh::TCustomDBEditEh(TComponent* owner)
    : TCustomEdit(owner), FDataLink(std::make_unique<TFieldDataLinkEh>())
{
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TFieldDataLinkEh*) { DataChanged(); };
    FDataLink->OnEditingChange = [this](TFieldDataLinkEh*) { UpdateReadOnlyState(); };
    FDataLink->OnUpdateData = [this](TFieldDataLinkEh*) { CommitEdit(); };
    FDataLink->OnActiveChange = [this](TFieldDataLinkEh*) {
        ResetFieldMaxLength();
        UpdateButtonsState();
    };
    FEditButton = std::make_unique<TEditButtonEh>(this);
    FEditButton->OnButtonChanged = [this](TEditButtonEh*) { ButtonsChanged(); };
    FEditButtons = std::make_unique<TEditButtonsEh>(this);
    FEditButtons->OnButtonsChanged = [this](TCollectionItem*) { ButtonsChanged(); };
    FMRUList = std::make_unique<TMRUListEh>(this);
    UpdateReadOnlyState();
}

TCustomDBEditEh::~TCustomDBEditEh()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->OnActiveChange = nullptr;
    FEditButton->OnButtonChanged = nullptr;
    FEditButtons->OnButtonsChanged = nullptr;
    FButtons.Clear();
}

void TCustomDBEditEh::Notification(TComponent* component, TOperation operation)
{
    TCustomEdit::Notification(component, operation);
    if (operation == opRemove && FDataLink && component == FDataLink->DataSource()) SetDataSource(nullptr);
}

void TCustomDBEditEh::SetDataSource(TDataSource* v)
{
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
    DataChanged();
}

void TCustomDBEditEh::SetDataField(const std::string& v)
{
    ResetFieldMaxLength();
    FDataLink->SetFieldName(v);
}

void TCustomDBEditEh::SetReadOnly(bool v)
{
    FReadOnly = v;
    UpdateReadOnlyState();
}

void TCustomDBEditEh::SetAlignment(TAlignment v)
{
    if (FAlignmentAssigned && v == FAlignment) return;
    FAlignment = v;
    FAlignmentAssigned = true;
    TCustomEdit::SetAlignment(v);
}

void TCustomDBEditEh::SetEditMask(const std::string& v)
{
    FEditMask = v;
    if (IsDataIndependent()) PostToDataLink();
    else DataChanged();
}

TAlignment TCustomDBEditEh::FieldAlignment() const
{
    TField* f = FDataLink->Field();
    return f ? f->Alignment() : taLeftJustify;
}

bool TCustomDBEditEh::IsValidChar(char key) const
{
    TField* f = FDataLink->Field();
    return !f || f->IsValidChar(char32_t(static_cast<unsigned char>(key)));
}

void TCustomDBEditEh::ResetFieldMaxLength()
{
    if (MaxLength() <= 0) return;
    TDataSet* ds = FDataLink->DataSource() ? FDataLink->DataSource()->DataSet() : nullptr;
    TField* f = ds && !DataField().empty() ? ds->FindField(DataField()) : nullptr;
    if (IsStringField(f) && f->Size() == MaxLength()) SetMaxLength(0);
}

void TCustomDBEditEh::DataChanged()
{
    TField* f = FDataLink->Field();
    if (f) {
        if (TCustomEdit::Alignment() != Alignment()) TCustomEdit::SetAlignment(Alignment());
        if (IsStringField(f) && MaxLength() == 0) SetMaxLength(f->Size());
        bool memo = f->DataType() == ftMemo;
        if (FFocusedState && FDataLink->CanModify()) StoreText(memo ? f->AsString() : f->Text());
        else StoreText(memo ? f->AsString() : f->DisplayText());
    } else if (IsDataIndependent()) {
        StoreText(VariantText(FDataLink->IndependentValue()));
    } else {
        StoreText(std::string());
    }
    UpdateReadOnlyState();
    SetModified(false);
}

void TCustomDBEditEh::UpdateReadOnlyState()
{
    bool holderRefuses = Hosted() && !FHolder->InplaceEditCanModify(this);
    TCustomEdit::SetReadOnly(FReadOnly || holderRefuses || (!FDataLink->Editing() && !OnUpdateData));
}

// ---- hosting -------------------------------------------------------------------------------------

void TCustomDBEditEh::SetInplaceEditHolder(TComponent* v)
{
    if (v == FHolderComponent.Get()) return;
    auto* holder = dynamic_cast<IInplaceEditHolderEh*>(v);
    if (v && !holder) throw Exception(DBCtrlsEh::SHolderNotSupported);
    FHolderComponent = v;
    FHolder = holder;
    UpdateReadOnlyState();
}

void TCustomDBEditEh::ShowHosted(const TRect& r, bool redraw)
{
    if (IsRectEmpty(r)) {
        HideHosted();
        return;
    }
    HandleNeeded();
    bool wasHidden = !Visible();
    Perform(WM_CANCELMODE);
    TCustomEdit::SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetVisible(true);
    if (redraw || wasHidden) Invalidate();
    auto* holder = dynamic_cast<TWinControl*>(FHolderComponent.Get());
    if (holder && holder->Focused() && CanFocus()) SetFocus();
}

void TCustomDBEditEh::HideHosted()
{
    if (!Hosted()) {
        SetVisible(false);
        return;
    }
    if (!Visible()) return;
    bool hadFocus = Focused();
    Invalidate();
    SetVisible(false);
    auto* holder = dynamic_cast<TWinControl*>(FHolderComponent.Get());
    if (hadFocus && holder && holder->CanFocus()) holder->SetFocus();
}

void TCustomDBEditEh::SetHostedBounds(const TRect& r)
{
    if (Hosted()) ShowHosted(r, true);
    else TCustomEdit::SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomDBEditEh::KeyUp(WORD& key, TShiftState shift)
{
    if (Hosted()) {
        FHolder->InplaceEditKeyUp(this, key, shift);
        if (key == 0) return;
    }
    TCustomEdit::KeyUp(key, shift);
}

void TCustomDBEditEh::EditIfWritable()
{
    if (!FReadOnly) FDataLink->Edit();
}

void TCustomDBEditEh::WriteThrough(const std::function<void()>& store)
{
    if (!IsDataIndependent()) FDataLink->Edit();
    store();
    if (FInUpdateData) return;
    try {
        CommitEdit();
    } catch (...) {
        FDataLink->Reset();
        throw;
    }
}

void TCustomDBEditEh::SetText(const std::string& v)
{
    WriteThrough([&] { StoreText(v); });
}

void TCustomDBEditEh::SetValue(const Variant& v)
{
    WriteThrough([&] { StoreValue(v); });
}

void TCustomDBEditEh::PostToDataLink() { FDataLink->SetFieldText(Text()); }

void TCustomDBEditEh::CommitEdit()
{
    if (!UpdateDataHandled(OnUpdateData, this, FInUpdateData)) PostToDataLink();
    SetModified(false);
}

void TCustomDBEditEh::Change()
{
    FDataLink->MarkModified();
    TCustomEdit::Change();
}

void TCustomDBEditEh::KeyDown(WORD& key, TShiftState shift)
{
    if (Hosted()) {
        FHolder->InplaceEditKeyDown(this, key, shift);
        if (key == 0) return;
    }
    TCustomEdit::KeyDown(key, shift);
    if (key == 0) return;
    // A button's shortcut presses and clicks it.
    if (TEditButtonEh* b = ButtonForShortCut(ShortCut(key, shift))) {
        int index = b == FEditButton.get() ? 0 : b->Index() + 1;
        if (index < int(FButtons.Count()) && ButtonsEnabled()) {
            TEditButtonControlEh* ctl = FButtons.Control(size_t(index));
            bool autoRepeat = false, handled = false;
            HandleButtonDown(ctl, false, autoRepeat, handled);
            HandleButtonClick(ctl);
        }
        key = 0;
        return;
    }
    if (key == 'A' && shift == TShiftState{ssCtrl}) {
        SelectAll();
        key = 0;
    } else if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift))) {
        EditIfWritable();
    }
}

void TCustomDBEditEh::KeyPress(char& key)
{
    if (Hosted()) {
        FHolder->InplaceEditKeyPress(this, key);
        if (key == 0) return;
    }
    TCustomEdit::KeyPress(key);
    if (key == 0) return;
    unsigned char k = static_cast<unsigned char>(key);
    if (k > 31 && k < 128 && FDataLink->Field() && !IsValidChar(key)) {
        MessageBeep(0);
        key = 0;
        return;
    }
    if (key == '\b' || key == 22 || key == 24 || k > 31) {
        EditIfWritable();
    } else if (key == 27) {
        FDataLink->Reset();
        SelectAll();
        key = 0;
    }
}

void TCustomDBEditEh::SetFocusedState(bool v)
{
    if (v == FFocusedState) return;
    FFocusedState = v;
    FDataLink->Reset();
}

void TCustomDBEditEh::DoEnter()
{
    SetFocusedState(true);
    TCustomEdit::DoEnter();
}

void TCustomDBEditEh::DoExit()
{
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SelectAll();
        SetFocus();
        throw;
    }
    SetFocusedState(false);
    TCustomEdit::DoExit();
}

// ---- the button strip -----------------------------------------------------------------------------

void TCustomDBEditEh::ReplaceEditButton(TEditButtonEh* button)
{
    FEditButton.reset(button);
    FEditButton->OnButtonChanged = [this](TEditButtonEh*) { ButtonsChanged(); };
    ButtonsChanged();
}

void TCustomDBEditEh::SetFlat(bool v)
{
    if (v == FFlat) return;
    FFlat = v;
    ButtonsChanged();
}

void TCustomDBEditEh::ButtonsChanged()
{
    if (!HandleAllocated()) return;
    UpdateButtonControls();
    UpdateButtonsState();
    Invalidate();
}

bool TCustomDBEditEh::ButtonsEnabled() const { return Enabled() && FDataLink->Active(); }

TEditButtonEh* TCustomDBEditEh::ButtonForShortCut(TShortCut shortCut) const
{
    if (shortCut == 0) return nullptr;
    if (FEditButton->ShortCut() == shortCut) return FEditButton.get();
    for (int i = 0; i < FEditButtons->Count(); ++i)
        if (FEditButtons->Items(i)->ShortCut() == shortCut) return FEditButtons->Items(i);
    return nullptr;
}

TEditButtonControlEh* TCustomDBEditEh::NewEditButtonControl()
{
    auto* b = new TEditButtonControlEh(this);
    b->SetControlStyle(b->ControlStyle() + TControlStyle{csReplicatable});
    b->SetBounds(0, 0, 10, 17);
    return b;
}

void TCustomDBEditEh::CreateWnd()
{
    TCustomEdit::CreateWnd();
    UpdateButtonControls();
    UpdateButtonsState();
}

void TCustomDBEditEh::Resize()
{
    TCustomEdit::Resize();
    if (HandleAllocated()) UpdateButtonControls();
}

void TCustomDBEditEh::UpdateButtonControls()
{
    size_t count = size_t(FEditButtons->Count()) + 1;
    FButtons.Resize(this, count, [this] { return NewEditButtonControl(); });
    FButtons.Route([this](TObject* sender, bool top, bool& autoRepeat,
                          bool& handled) { HandleButtonDown(sender, top, autoRepeat, handled); },
                   [this](TObject* sender) { HandleButtonClick(sender); },
                   [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
                       HandleButtonMouseUp(sender, button, shift, x, y);
                   });
    int clientHeight = ClientHeight();
    std::vector<int> widths(count, 0);
    int height = clientHeight;
    for (size_t i = 0; i < count; ++i) {
        TEditButtonEh* stored = i == 0 ? FEditButton.get() : FEditButtons->Items(int(i) - 1);
        TEditButtonControlEh* b = FButtons.Control(i);
        b->SetVisible(stored->Visible());
        b->SetStyle(stored->Style());
        b->SetGlyph(stored->Glyph());
        b->SetNumGlyphs(stored->NumGlyphs());
        b->SetHint(stored->Hint());
        b->SetFlat(FFlat);
        b->SetTag(int(i));
        widths[i] = ToolCtrlsEh::EditButtonWidth(stored, FFlat);
        if (widths[i] > 0) height = std::min(height, ToolCtrlsEh::EditButtonHeight(widths[i], clientHeight, FFlat));
    }
    bool rtl = IsRightToLeft();
    FButtonsWidth = FButtons.Place(widths, ClientWidth(), height, FFlat, rtl);
    FButtonHeight = height;
    if (HandleAllocated()) {
        TRect r = ClientRect();
        if (rtl) r.Left += FButtonsWidth;
        else r.Right -= FButtonsWidth;
        Perform(EM_SETRECTNP, 0, LPARAM(&r));
    }
}

void TCustomDBEditEh::UpdateButtonsState()
{
    bool enabled = ButtonsEnabled();
    bool active = Focused() || !FFlat;
    for (size_t i = 0; i < FButtons.Count(); ++i) {
        FButtons.Control(i)->SetEnabled(enabled);
        FButtons.Control(i)->SetActive(active);
        FButtons.Separator(i)->Pen()->SetColor(active ? clBtnFace : Color());
    }
}

void TCustomDBEditEh::HandleButtonDown(TObject* sender, bool topButton, bool& autoRepeat, bool& handled)
{
    if (CanFocus() && !Focused()) SetFocus();
    handled = false;
    auto* ctl = dynamic_cast<TEditButtonControlEh*>(sender);
    if (!ctl) return;
    int index = ctl->Tag();
    // The press that closed this button's menu does not open it again.
    if (HandleAllocated()) {
        TMsg msg;
        if (PeekMessage(&msg, Handle(), WM_MENUCLOSEDEH, WM_MENUCLOSEDEH, PM_NOREMOVE) &&
            int(msg.wParam) == index) {
            PeekMessage(&msg, Handle(), WM_MENUCLOSEDEH, WM_MENUCLOSEDEH, PM_REMOVE);
            return;
        }
    }
    TEditButtonEh* stored = index == 0 ? FEditButton.get() : FEditButtons->Items(index - 1);
    if (index == 0) {
        if (OnButtonDown) OnButtonDown(this, topButton, autoRepeat, handled);
    } else if (stored->OnDown) {
        stored->OnDown(stored, topButton, autoRepeat, handled);
    }
    if (handled) return;
    if (TPopupMenu* menu = stored->DropdownMenu()) {
        TPoint at = ctl->ClientToScreen(Point(0, ctl->Height()));
        menu->SetPopupComponent(this);
        menu->Popup(at.X, at.Y);
        if (HandleAllocated()) PostMessage(Handle(), WM_MENUCLOSEDEH, WPARAM(index), 0);
        ctl->Perform(WM_LBUTTONUP, 0, 0);
    } else if (index == 0) {
        DoButtonAction(topButton);
    }
}

void TCustomDBEditEh::DoButtonAction(bool)
{
    if (FEditButton->Style() == ebsUpDownEh || DropDownOpen()) return;
    OpenDropDown();
    FDroppedByPress = DropDownOpen();
}

void TCustomDBEditEh::HandleButtonClick(TObject* sender)
{
    auto* ctl = dynamic_cast<TEditButtonControlEh*>(sender);
    if (!ctl) return;
    int index = ctl->Tag();
    bool handled = false;
    if (index == 0) {
        if (OnButtonClick) OnButtonClick(this, handled);
    } else if (TEditButtonEh* stored = FEditButtons->Items(index - 1); stored->OnClick) {
        stored->OnClick(stored, handled);
    }
    if (!handled && DropDownOpen() && !FDroppedByPress && index == 0) CloseUp(false);
    FDroppedByPress = false;
}

void TCustomDBEditEh::HandleButtonMouseUp(TObject* sender, TMouseButton, TShiftState, int x, int y)
{
    auto* ctl = dynamic_cast<TControl*>(sender);
    if (ctl && !PtInRect(ctl->ClientRect(), Point(x, y))) FDroppedByPress = false;
}

void TCustomDBEditEh::OpenDropDown()
{
    if (FDropDownOpen) return;
    CloseUpMRUList(false);
    FDropDownOpen = true;
    if (FButtons.Count() > 0) FButtons.Control(0)->SetAlwaysPressed(true);
}

void TCustomDBEditEh::CloseUp(bool)
{
    if (!FDropDownOpen) return;
    FDropDownOpen = false;
    if (FButtons.Count() > 0) FButtons.Control(0)->SetAlwaysPressed(false);
}

// ---- recent values ---------------------------------------------------------------------------------

bool TCustomDBEditEh::MRUListDroppedDown() const { return FMRUListControl && FMRUListControl->Visible(); }

void TCustomDBEditEh::TextEdited()
{
    if (MRUListDroppedDown() && Text().empty()) CloseUpMRUList(false);
    else if (FMRUList->Active() && Showing() && !DropDownOpen() && !Text().empty()) DropDownMRUList();
}

void TCustomDBEditEh::DropDownMRUList()
{
    if (!FMRUListControl) {
        FMRUListControl = std::make_unique<TMRUListboxEh>(this);
        FMRUListControl->OnRelease = [this](bool inside) { CloseUpMRUList(inside); };
    }
    TStrings* items = FMRUListControl->Items();
    if (!FMRUList->CollectMatches(items, Text()) || items->Count() == 0) {
        CloseUpMRUList(false);
        return;
    }
    bool first = !MRUListDroppedDown();
    TPoint topLeft = ClientToScreen(Point(0, 0));
    TRect owner = Rect(topLeft.X, topLeft.Y, topLeft.X + Width(), topLeft.Y + Height());
    int rows = std::min(items->Count(), std::max(1, FMRUList->Rows()));
    FMRUListControl->ShowUnder(owner, first, Color(), Font(), Width(), rows);
    if (first) {
        FMRUList->SetDroppedDown(true);
        FMRUList->NotifyDropDown();
    }
}

void TCustomDBEditEh::CloseUpMRUList(bool accept)
{
    if (!MRUListDroppedDown()) return;
    if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
    FMRUListControl->HideList();
    // The size a user gave the list stays for the next time.
    if (FMRUListControl->Resized()) {
        FMRUList->SetRows(FMRUListControl->ShownRows());
        FMRUList->SetWidth(FMRUListControl->Width());
    }
    FMRUList->SetDroppedDown(false);
    FMRUList->NotifyCloseUp(accept);
    if (accept && !ReadOnly() && FMRUListControl->ItemIndex() >= 0 && FDataLink->Edit()) {
        StoreText(FMRUListControl->SelectedText());
        FDataLink->MarkModified();
        if (Focused()) SelectAll();
    }
}

void TCustomDBEditEh::WndProc(TMessage& m)
{
    if (Hosted()) {
        FHolder->InplaceEditWndProc(this, m);
        if (m.Result != 0) return;
        // A press that follows the holder's own press closely is a double click.
        if (m.Msg == WM_LBUTTONDOWN) {
            TPoint first;
            uint32_t firstTime = 0;
            FHolder->GetMouseDownInfo(first, firstTime);
            TPoint here = ClientToScreen(Point(int16_t(LOWORD(m.LParam)), int16_t(HIWORD(m.LParam))));
            if (ToolCtrlsEh::IsDoubleClickPair(first, here, GetTickCount() - firstTime)) m.Msg = WM_LBUTTONDBLCLK;
        }
    }
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (MRUListDroppedDown() && FMRUListControl->MoveByKey(WORD(m.WParam), KeyDataToShiftState(m.LParam))) return;
        break;
    case WM_CHAR:
        if (MRUListDroppedDown() && (m.WParam == 13 || m.WParam == 27)) {
            CloseUpMRUList(m.WParam == 13);
            return;
        }
        break;
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
        CloseUpMRUList(false);
        break;
    case WM_MENUCLOSEDEH:
        return;
    default:
        break;
    }
    bool edits = m.Msg == WM_CHAR || m.Msg == WM_KEYDOWN || m.Msg == WM_PASTE || m.Msg == WM_CUT || m.Msg == WM_CLEAR;
    std::string before = edits ? Text() : std::string();
    TWeakRef<TControl> guard(this);
    TCustomEdit::WndProc(m);
    if (guard && edits && Text() != before) TextEdited();
}

// ---- the combo box -----------------------------------------------------------------------------

void TDropDownBoxEh::Assign(TPersistent* source)
{
    if (auto* b = DynamicCast<TDropDownBoxEh>(source)) {
        FAlign = b->FAlign;
        FRows = b->FRows;
        FWidth = b->FWidth;
        FSizable = b->FSizable;
        return;
    }
    TPersistent::Assign(source);
}

// The dropped-down list of a combo box: a top-most window that never takes
// the focus, painting its rows itself; the box sends it the keys.
class TComboListEh : public TCustomControl {
public:
    explicit TComboListEh(TCustomDBComboBoxEh* box) : TCustomControl(nullptr), FBox(box) {}
    TStrings* Items = nullptr;
    int Count = 0;
    int ItemHeight = 16;
    int Rows = 1;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v)
    {
        FItemIndex = v < 0 || v >= Count ? -1 : v;
        if (FItemIndex >= 0) {
            if (FItemIndex < FTop) FTop = FItemIndex;
            if (FItemIndex >= FTop + Rows) FTop = FItemIndex - Rows + 1;
        }
        Invalidate();
    }
    int TopIndex() const { return FTop; }
    void SetTopIndex(int v) { FTop = std::max(0, std::min(v, Count - Rows)); }
    // Up, Down, Page Up and Page Down move the selection.
    bool MoveByKey(WORD key)
    {
        int i = FItemIndex;
        switch (key) {
        case VK_UP: i = i < 0 ? Count - 1 : std::max(0, i - 1); break;
        case VK_DOWN: i = std::min(Count - 1, i + 1); break;
        case VK_PRIOR: i = std::max(0, i - Rows + 1); break;
        case VK_NEXT: i = std::min(Count - 1, std::max(i, 0) + Rows - 1); break;
        default: return false;
        }
        SetItemIndex(i);
        return true;
    }
    int RowAt(int y) const
    {
        int r = FTop + (y - 1) / std::max(1, ItemHeight);
        return y < 1 || r >= Count ? -1 : r;
    }

protected:
    void CreateParams(TCreateParams& p) override
    {
        TCustomControl::CreateParams(p);
        p.Style = WS_POPUP | WS_BORDER;
        p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    }
    void Paint() override
    {
        TCanvas* c = Canvas();
        c->Font()->Assign(Font());
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
        for (int r = 0; r < Rows && FTop + r < Count; ++r) {
            int i = FTop + r;
            TRect rc = Rect(0, r * ItemHeight, ClientWidth(), (r + 1) * ItemHeight);
            bool selected = i == FItemIndex;
            c->Brush()->SetColor(selected ? clHighlight : Color());
            c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
            c->FillRect(rc);
            c->TextRect(rc, rc.Left + 2, rc.Top + 1, Items->Strings(i));
        }
    }
    void MouseMove(TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseMove(shift, x, y);
        int r = RowAt(y);
        if (r >= 0 && r != FItemIndex) SetItemIndex(r);
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseUp(button, shift, x, y);
        if (button != mbLeft) return;
        int r = RowAt(y);
        if (r >= 0) SetItemIndex(r);
        // A release inside the list chooses; outside it leaves the box as it was.
        FBox->CloseUp(x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight() && r >= 0);
    }

private:
    TCustomDBComboBoxEh* FBox;
    int FItemIndex = -1;
    int FTop = 0;
};

TCustomDBComboBoxEh::TCustomDBComboBoxEh(TComponent* owner)
    : TCustomDBEditEh(owner), FItems(std::make_unique<TStringList>()), FKeyItems(std::make_unique<TStringList>()),
      FDropDownBox(std::make_unique<TDropDownBoxEh>()), FKeyValue(Null())
{
    ReplaceEditButton(new TVisibleEditButtonEh(this));
    FItems->OnChange = [this](TObject*) { ItemsChanged(false); };
    FKeyItems->OnChange = [this](TObject*) { ItemsChanged(true); };
}

TCustomDBComboBoxEh::~TCustomDBComboBoxEh()
{
    FItems->OnChange = nullptr;
    FKeyItems->OnChange = nullptr;
}

TCustomControl* TCustomDBComboBoxEh::ListControl() const { return FList.get(); }

int TCustomDBComboBoxEh::ListItemIndex() const { return FList ? FList->ItemIndex() : -1; }

void TCustomDBComboBoxEh::OpenDropDown()
{
    if (FListVisible) return;
    if (OnDropDown) OnDropDown(this);
    if (!FList) FList = std::make_unique<TComboListEh>(this);
    FList->Font()->Assign(Font());
    FList->SetColor(Color());
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(Font());
    FList->ItemHeight = std::max(1, probe.Canvas()->TextHeight("Wg") + 2);
    FList->Items = FItems.get();
    FList->Count = FItemCount;
    FList->Rows = std::max(1, std::min(FDropDownBox->Rows(), FItemCount));
    int width = FDropDownBox->Width();
    if (width == -1) {
        width = 0;
        for (int i = 0; i < FItemCount; ++i) width = std::max(width, probe.Canvas()->TextWidth(FItems->Strings(i)) + 5);
        width += 2;   // the border
    } else if (width < 1) {
        width = Width();
    }
    width = std::max(width, Width());
    int height = FList->Rows * FList->ItemHeight + 2;
    TPoint at = ClientToScreen(Point(0, Height()));
    if (FDropDownBox->Align() == daRight) at.X += Width() - width;
    else if (FDropDownBox->Align() == daCenter) at.X += (Width() - width) / 2;
    // Above the box when the list does not fit below it and there is more room above.
    if (Screen) {
        TRect work = Screen->WorkAreaRect();
        int above = ClientToScreen(Point(0, 0)).Y;
        if (at.Y + height > work.Bottom && above - work.Top > work.Bottom - at.Y) at.Y = above - height;
    }
    FList->SetBounds(at.X, at.Y, width, height);
    FList->SetTopIndex(FItemIndex);
    FList->SetItemIndex(FItemIndex);
    CloseUpMRUList(false);
    ToolCtrlsEh::ShowDropDownWindow(FList.get(), true);
    FListVisible = true;
    if (ButtonCount() > 0) ButtonControl(0)->SetAlwaysPressed(true);
}

void TCustomDBComboBoxEh::CloseUp(bool accept)
{
    if (!FListVisible) return;
    ToolCtrlsEh::ShowDropDownWindow(FList.get(), false);
    FListVisible = false;
    if (ButtonCount() > 0) ButtonControl(0)->SetAlwaysPressed(false);
    if (accept && !ReadOnly() && DataLink()->Edit()) {
        int chosen = FList->ItemIndex();
        if (chosen >= 0 && chosen != FItemIndex) {
            SelectItem(chosen);
            DataLink()->MarkModified();
        }
        if (Focused()) SelectAll();
    }
    if (OnCloseUp) OnCloseUp(this, accept);
}

void TCustomDBComboBoxEh::DoExit()
{
    CloseUp(false);
    TCustomDBEditEh::DoExit();
}

void TCustomDBComboBoxEh::ItemsChanged(bool keys)
{
    FItemCount = FItems->Count();
    FUseKeys = FKeyItems->Count() > 0;
    if (FUseKeys) {
        FItemCount = std::min(FItemCount, FKeyItems->Count());
        TCustomDBEditEh::StoreText(std::string());
    }
    UpdateReadOnlyState();
    SyncItemIndex();
    ResetFieldMaxLength();
    if (keys) DataLink()->Reset();
}

bool TCustomDBComboBoxEh::CanModifyBox() const { return DataLink()->CanModify() && !ReadOnly(); }

void TCustomDBComboBoxEh::SelectItem(int index)
{
    if (index == FItemIndex) return;
    if (index < 0 || index >= FItemCount) {
        FItemIndex = -1;
        FKeyValue = Null();
    } else {
        FItemIndex = index;
        if (FUseKeys) FKeyValue = Variant(FKeyItems->Strings(index));
    }
    FSyncing = true;
    TCustomDBEditEh::StoreText(FItemIndex < 0 ? std::string() : FItems->Strings(FItemIndex));
    FSyncing = false;
}

void TCustomDBComboBoxEh::SyncItemIndex()
{
    if (FUseKeys) return;
    int i = FItems->IndexOf(Text());
    FItemIndex = i < FItemCount ? i : -1;
}

void TCustomDBComboBoxEh::Change()
{
    if (!FSyncing) SyncItemIndex();
    TCustomDBEditEh::Change();
}

void TCustomDBComboBoxEh::SetItemIndex(int v)
{
    if (!IsDataIndependent()) DataLink()->Edit();
    SelectItem(v);
    try {
        CommitEdit();
    } catch (...) {
        DataLink()->Reset();
        throw;
    }
}

void TCustomDBComboBoxEh::StoreValue(const Variant& v)
{
    if (!FUseKeys) {
        TCustomDBEditEh::StoreValue(v);
        SyncItemIndex();
        return;
    }
    FKeyValue = v;
    int i = VarIsNull(v) ? -1 : FKeyItems->IndexOf(VarToStr(v));
    FItemIndex = i >= 0 && i < FItemCount ? i : -1;
    FSyncing = true;
    TCustomDBEditEh::StoreText(FItemIndex < 0 ? std::string() : FItems->Strings(FItemIndex));
    FSyncing = false;
}

void TCustomDBComboBoxEh::StoreText(const std::string& v)
{
    if (!FUseKeys) {
        TCustomDBEditEh::StoreText(v);
        SyncItemIndex();
        return;
    }
    // A key box shows only its items: other texts are ignored.
    int i = FItems->IndexOf(v);
    if (i < 0 || i >= FItemCount) return;
    FItemIndex = i;
    FKeyValue = Variant(FKeyItems->Strings(i));
    FSyncing = true;
    TCustomDBEditEh::StoreText(v);
    FSyncing = false;
}

void TCustomDBComboBoxEh::DataChanged()
{
    TField* f = Field();
    if (f) {
        if (IsStringField(f) && MaxLength() == 0 && !FUseKeys) SetMaxLength(f->Size());
        if ((FocusedState() && DataLink()->CanModify()) || FUseKeys) StoreValue(f->IsNull() ? Variant(Null()) : Variant(f->Text()));
        else TCustomDBEditEh::StoreText(f->DisplayText()), SyncItemIndex();
    } else if (IsDataIndependent()) {
        if (FUseKeys) StoreValue(DataLink()->IndependentValue());
        else TCustomDBEditEh::StoreText(VariantText(DataLink()->IndependentValue())), SyncItemIndex();
    } else {
        TCustomDBEditEh::StoreText(std::string());
        SyncItemIndex();
    }
    UpdateReadOnlyState();
    SetModified(false);
}

void TCustomDBComboBoxEh::PostToDataLink()
{
    if (FUseKeys && VarIsNull(FKeyValue)) DataLink()->SetFieldValue(Null());   // no item: no key
    else if (!IsDataIndependent() || FUseKeys) DataLink()->SetFieldText(VarToStr(GetValue()));
    else DataLink()->SetFieldText(Text());
}

TAlignment TCustomDBComboBoxEh::FieldAlignment() const
{
    return FUseKeys ? taLeftJustify : TCustomDBEditEh::FieldAlignment();
}

void TCustomDBComboBoxEh::ResetFieldMaxLength()
{
    if (FUseKeys && MaxLength() > 0) SetMaxLength(0);
    else TCustomDBEditEh::ResetFieldMaxLength();
}

void TCustomDBComboBoxEh::UpdateReadOnlyState()
{
    TCustomEdit::SetReadOnly(!DataLink()->Editing() || ReadOnly() || FUseKeys);
}

void TCustomDBComboBoxEh::CommitEdit()
{
    if (OnNotInList && FItemIndex == -1) {
        bool recheck = false;
        OnNotInList(this, Text(), recheck);
    }
    TCustomDBEditEh::CommitEdit();
}

void TCustomDBComboBoxEh::Clear()
{
    if (FUseKeys) SetValue(Null());
    else TCustomDBEditEh::StoreText(std::string());
}

void TCustomDBComboBoxEh::StepItem(bool up)
{
    if (!CanModifyBox() || !DataLink()->Edit()) return;
    int old = FItemIndex;
    int next = old;
    if (up) {
        if (old > 0) next = old - 1;
        else if (old < 0) next = FItemCount - 1;
    } else if (old < FItemCount - 1) {
        next = old + 1;
    }
    if (next == old) return;
    SelectItem(next);
    DataLink()->MarkModified();
    SelectAll();
}

bool TCustomDBComboBoxEh::SelectByPrefix(const std::string& text, bool partial)
{
    if (!CanModifyBox()) return false;
    int old = FItemIndex;
    std::u16string want = Utf8ToUtf16(AnsiUpperCase(text));
    int found = -1;
    for (int i = 0; i < FItemCount && found < 0; ++i) {
        std::u16string item = Utf8ToUtf16(AnsiUpperCase(FItems->Strings(i)));
        if (partial ? item.compare(0, want.size(), want) == 0 : item == want) found = i;
    }
    if (found < 0) {
        if (!FUseKeys) FItemIndex = -1;
        return FItemIndex != old;
    }
    try {
        SelectItem(found);
    } catch (const Exception&) {
        SelectItem(old);
        return false;
    }
    DataLink()->MarkModified();
    int typed = CharCount(text);
    SetSelStart(typed);
    SetSelLength(std::max(0, CharCount(Text()) - typed));
    return FItemIndex != old;
}

bool TCustomDBComboBoxEh::TypeAhead(const std::string& text)
{
    if ((!IsDataIndependent() && !Field()) || !CanModifyBox()) return false;
    if (!DataLink()->Edit()) return false;
    if (text == "\b") {
        int len = CharCount(Text());
        if (SelStart() == 0 && SelLength() == len) {
            SetSelStart(std::max(0, len - 1));
            SetSelLength(len > 0 ? 1 : 0);
        } else {
            int start = std::max(0, SelStart() - 1);
            SetSelStart(start);
            SetSelLength(len - start);
        }
        return false;
    }
    return SelectByPrefix(CharPrefix(Text(), SelStart()) + text, true);
}

void TCustomDBComboBoxEh::KeyDown(WORD& key, TShiftState shift)
{
    if ((key == VK_DOWN || key == VK_UP) && shift == TShiftState{ssAlt}) {
        if (FListVisible) CloseUp(true);
        else OpenDropDown();
        key = 0;
        return;
    }
    if (FListVisible && shift.Empty() && FList->MoveByKey(key)) {
        key = 0;
        return;
    }
    TCustomDBEditEh::KeyDown(key, shift);
    if (key == 0) return;
    if ((key == VK_UP || key == VK_DOWN) && !shift.Contains(ssAlt)) {
        if (CanModifyBox()) {
            StepItem(key == VK_UP);
            key = 0;
        }
    } else if (key == VK_DELETE && FUseKeys && CanModifyBox() && (IsDataIndependent() || !Field() || !Field()->Required())) {
        // A required field keeps its value.
        DataLink()->Edit();
        StoreValue(Null());
        DataLink()->MarkModified();
        key = 0;
    }
}

void TCustomDBComboBoxEh::KeyPress(char& key)
{
    // Characters come as their GBK bytes. The lead byte of a Chinese character
    // waits for its trail so that completion sees the whole character; a
    // control character after a lead (which no trail byte is) forgets it.
    const char lead = FPendingLead;
    FPendingLead = 0;
    const bool trail = lead != 0 && static_cast<unsigned char>(key) >= 0x40;
    unsigned char k = static_cast<unsigned char>(key);
    if (FListVisible && (key == '\r' || key == 27)) {
        CloseUp(key == '\r');
        key = 0;
        return;
    }
    if (k > 31 && FDropDownBox->AutoDrop() && !FListVisible) OpenDropDown();
    if (!trail && IsGbkLeadByte(k)) {
        // Left standing, so that the trail byte follows.
        if (!FUseKeys || ReadOnly()) TCustomDBEditEh::KeyPress(key);
        if (key != 0) FPendingLead = key;
        return;
    }
    const std::string ch = trail ? GbkToUtf8(std::string{lead, key}) : std::string(1, key);
    if (FUseKeys && !ReadOnly() && (key == '\b' || k > 31)) {
        TypeAhead(ch);
        key = 0;
        return;
    }
    TCustomDBEditEh::KeyPress(key);
    if (key == 0 || FUseKeys || k <= 31 || key == '.') return;
    // Typing that reaches the end of the text completes it from the items.
    std::u16string w = Utf8ToUtf16(Text());
    size_t start = size_t(std::max(0, SelStart())), end = start + size_t(std::max(0, SelLength()));
    if (end >= w.size()) {
        std::string typed = Utf16ToUtf8(w.substr(0, std::min(start, w.size()))) + ch;
        TCustomDBEditEh::StoreText(typed);
        DataLink()->MarkModified();
        SetSelStart(CharCount(typed));
        key = 0;
        SelectByPrefix(typed, true);
    }
}
