// DBCtrlsEh: the data-aware controls of the grid suite and the field data
// link they share. A control bound through the link shows and writes a
// field (or a list of fields); with neither a data source nor a field name
// it works on its own, holding its value in the link.
#pragma once

#include "DB.h"
#include "StdCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFieldDataLinkEh;
using TFieldDataLinkEhEvent = std::function<void(TFieldDataLinkEh* link)>;

class TFieldDataLinkEh : public TDataLink {
    QZ_CLASS(TFieldDataLinkEh, TDataLink)
public:
    TFieldDataLinkEh();
    ~TFieldDataLinkEh() override;

    // Independent: starts editing unless read-only. Bound: puts the data set
    // into edit state when the field may be changed. True when editing.
    bool Edit();
    // Independent, or bound to at least one field of an active data set.
    bool Active() const;
    bool CanModify() const;
    bool Editing() const { return FEditing; }
    bool Modified() const { return FModified; }
    void MarkModified() { FModified = true; }
    // Makes the control reload its value.
    void Reset();

    TField* Field() const { return FFields.empty() ? nullptr : FFields.front(); }
    int FieldCount() const { return int(FFields.size()); }
    TField* FieldAt(int index) const { return FFields.at(size_t(index)); }
    bool HasField(const TField* field) const;

    void SetDataSource(TDataSource* v);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    // FieldName names several fields, separated by ';'.
    bool AllowFieldList() const { return FAllowFieldList; }
    void SetAllowFieldList(bool v) { FAllowFieldList = v; }
    // The owning control: focused for its field, named in errors.
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* c) { FControl = c; }
    bool Independent() const { return FIndependent; }
    const Variant& IndependentValue() const { return FIndependentValue; }

    // Writes text: the independent value, a memo's whole text, or the
    // field's text setter (which parses it by the field's type).
    void SetFieldText(const std::string& text);
    // Writes a value: the independent value, the field's value, or with
    // several fields Null to all or element i of an array to field i.
    void SetFieldValue(const Variant& value);

    void DataEvent(TDataEvent event, intptr_t info) override;

    TFieldDataLinkEhEvent OnDataChange, OnEditingChange, OnUpdateData, OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void LayoutChanged() override;
    void FocusControl(TField*& field) override;
    void UpdateData() override;

private:
    void UpdateIndependence();
    void RebindFields();
    void DoDataChange();
    std::vector<TField*> FFields;
    std::string FFieldName;
    TComponent* FControl = nullptr;
    bool FAllowFieldList = false;
    bool FIndependent = true;
    bool FEditing = false;
    bool FModified = false;
    Variant FIndependentValue;
};

using TUpdateDataEventEh = std::function<void(TObject* sender, bool& handled)>;

// A check box bound to a field: a Boolean field directly, any other field
// through ';'-separated texts meaning checked and unchecked; Null shows
// grayed. Unbound it keeps its state as a Boolean value of its own.
class TCustomDBCheckBoxEh : public TCustomCheckBox {
    QZ_CLASS(TCustomDBCheckBoxEh, TCustomCheckBox)
public:
    explicit TCustomDBCheckBoxEh(TComponent* owner = nullptr);
    ~TCustomDBCheckBoxEh() override;

    // A bound box puts its data set into edit state and writes the state;
    // a failed write reloads the box from its field and passes the error on.
    void SetState(TCheckBoxState v);
    TCheckBoxState State() const { return TCustomCheckBox::State(); }
    void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* v);
    const std::string& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& v) { FDataLink->SetFieldName(v); }
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool v) { FDataLink->SetReadOnly(v); }
    const std::string& ValueChecked() const { return FValueCheck; }
    void SetValueChecked(const std::string& v);
    const std::string& ValueUnchecked() const { return FValueUncheck; }
    void SetValueUnchecked(const std::string& v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; Invalidate(); }
    bool AlwaysShowBorder() const { return FAlwaysShowBorder; }
    void SetAlwaysShowBorder(bool v) { FAlwaysShowBorder = v; Invalidate(); }
    bool Modified() const { return FModified; }
    TFieldDataLinkEh* DataLink() const { return FDataLink.get(); }
    bool IsDataIndependent() const { return FDataLink->Independent(); }

    // What the field (or the box's own value) says the state is.
    TCheckBoxState FieldState() const;
    // A click, Space: the next state, when the data link may edit.
    virtual void ToggleState();
    // Writes the state: OnUpdateData first, which may do it instead.
    virtual void CommitState();

    void Toggle() override { ToggleState(); }
    void KeyPress(char& key) override;
    void DoExit() override;

    TUpdateDataEventEh OnUpdateData;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    virtual void ChangeState(TCheckBoxState v);
    virtual void PostToDataLink();

private:
    void Reload();
    std::unique_ptr<TFieldDataLinkEh> FDataLink;
    std::string FValueCheck = "True", FValueUncheck = "False";
    bool FFlat = false, FAlwaysShowBorder = false;
    bool FModified = false;
    bool FInUpdateData = false;
};

class TDBCheckBoxEh : public TCustomDBCheckBoxEh {
    QZ_CLASS(TDBCheckBoxEh, TCustomDBCheckBoxEh)
public:
    explicit TDBCheckBoxEh(TComponent* owner = nullptr) : TCustomDBCheckBoxEh(owner) {}
};
