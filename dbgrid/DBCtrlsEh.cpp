// The field data link of the data-aware controls.
#include "DBCtrlsEh.h"

#include "Controls.h"
#include "TextUtils.h"

QZ_CLASS_IMPL(TFieldDataLinkEh, TDataLink)
QZ_CLASS_IMPL(TCustomDBCheckBoxEh, TCustomCheckBox)
QZ_CLASS_IMPL(TDBCheckBoxEh, TCustomDBCheckBoxEh)

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
    bool handled = false;
    if (OnUpdateData) {
        FInUpdateData = true;
        try {
            OnUpdateData(this, handled);
        } catch (...) {
            FInUpdateData = false;
            throw;
        }
        FInUpdateData = false;
    }
    if (!handled) PostToDataLink();
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
