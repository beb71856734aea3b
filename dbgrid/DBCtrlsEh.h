// DBCtrlsEh: the data-aware controls of the grid suite and the field data
// link they share. A control bound through the link shows and writes a
// field (or a list of fields); with neither a data source nor a field name
// it works on its own, holding its value in the link.
#pragma once

#include "DB.h"

#include <functional>
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
