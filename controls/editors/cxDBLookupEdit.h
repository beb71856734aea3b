// The data-aware lookup edit: the lookup editors' list comes from a data
// set. The edit value is the values of the key fields (";"-separated names;
// several give a variant array), the text shown is the display text of the
// list field. Editing a lookup field of a data set, the list is the one the
// field defines and its settings cannot be changed by hand. In grid mode
// only part of a large list is held in memory: texts are searched with the
// data set's Locate and key-to-text answers are cached until the next
// change of the settings.
#pragma once

#include "DB.h"
#include "cxLookupEdit.h"

#include <functional>
#include <memory>
#include <string>

class TcxDBDataController;
class TcxLookupList;

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
    QZ_CLASS(TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties)
public:
    explicit TcxCustomDBLookupEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomDBLookupEditProperties() override;
    void Assign(TPersistent* Source) override;

    TClass GetEditClass() const override;
    TClass GetLookupDataClass() const override;
    unsigned UsesDisplayFormatting(bool AFocused) override;
    TAlignment GetDefaultHorzAlignment() override;
    int GetDefaultMaxLength() override;
    void Changed() override;

    // ---- the lookup protocol ----
    TcxCustomDataController* GetListDataController() override;
    bool IsLookupField() override { return FLookupField.Get() != nullptr; }
    bool KeyIsListText() override;
    int FindByText(int AListIndex, const std::string& AText, bool APartial) override;
    std::string GetDisplayTextByKey(const Variant& AKey) override;
    int GetListFieldIndex() override;
    bool GetIncrementalFiltering() override;
    Variant GetNullKey() override;
    void BeginLocate() override;
    void EndLocate() override;
    // Runs AAction between BeginLocate and EndLocate.
    void InLocate(const std::function<void()>& AAction);
    // Raises "Property already defined by lookup field" while the list is
    // the lookup field's.
    void SetListFieldIndex(int Value) override;

    // ---- the list's columns, supplied by the editor that shows them ----
    virtual void BeginUpdateListColumns() {}
    virtual void AddListColumnForField(const std::string& AFieldName) {}
    virtual void CreateListColumns(const std::string& AFieldNames) {}
    virtual void EndUpdateListColumns() {}
    virtual TField* GetListColumnField(int AIndex) { return nullptr; }
    virtual std::string GetListColumnFieldName(int AIndex) { return std::string(); }
    virtual int FindListColumnByFieldName(const std::string& AFieldName) { return -1; }
    virtual TcxDBDataController* GetDBDataController() { return nullptr; }
    // Binds the lookup field of the edited field (or none), then checks the
    // list's data links.
    virtual void LookupFieldChanged();
    // A lookup field's result field has its own list column.
    virtual void AddLookupResultColumn();

    // The field the editor edits (nil when its value comes from no field).
    virtual TField* GetEditingField();
    // The edited field when it is a lookup field.
    TField* GetLookupField();
    // The field of the list column whose text is the edit's.
    TField* GetListField();

    std::string KeyFieldNames();
    void SetKeyFieldNames(const std::string& Value);
    std::string ListFieldNames();
    void SetListFieldNames(const std::string& Value);
    bool GridMode() const { return FLookupCache != nullptr; }
    void SetGridMode(bool Value);

protected:
    // Raises "Property already defined by lookup field" while the list is
    // the lookup field's (and is not being set from it).
    void CheckDefinedByLookup();
    // Raises "Circular datalinks are not allowed" when the edited field's
    // data set is (or depends on) the list's.
    void CheckCircularDataLinks(TDataSource* AListSource);

private:
    void SetLookupField(TField* AField);

    int FGridModeLocateCount = 0;
    TWeakRef<TField> FLookupField;
    std::unique_ptr<TcxLookupList> FLookupCache;
    std::unique_ptr<TDataSource> FLookupDataSource;
    bool FApplyingLookupField = false;
};

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
    QZ_CLASS(TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData)
public:
    TcxCustomDBLookupEditLookupData() = default;
    // The key fields' values of the record (a variant array for several).
    void SetCurrentKeyByRecord(int ARecordIndex) override;
    // A key that cannot be located leaves the focus where it was.
    void SyncFocusedRecord() override;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
    QZ_CLASS(TcxCustomDBLookupEdit, TcxCustomLookupEdit)
public:
    explicit TcxCustomDBLookupEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxCustomDBLookupEditProperties::StaticClass(); }
    TcxCustomDBLookupEditProperties* Properties() const
    {
        return static_cast<TcxCustomDBLookupEditProperties*>(ActiveProperties());
    }
    // The key is the value.
    Variant GetLookupItemValue(const Variant& AKey) override { return AKey; }
    // A character the list field accepts (any without a list field).
    bool IsValidChar(char32_t ACh);

protected:
    void DoEditKeyPress(char& Key) override;
    bool InnerWideChar(char32_t ACh) override;
};

namespace cxDBLookupEdit {
// Raises EDatabaseError "Circular datalinks are not allowed" when the data
// set of AEditingField is the data set of AListSource: the list would
// follow the very record the edit writes.
void CheckCircularDataLinks(TField* AEditingField, TDataSource* AListSource);
}  // namespace cxDBLookupEdit
