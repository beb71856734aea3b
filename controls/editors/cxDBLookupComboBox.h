// The lookup combo box: a data-aware lookup edit whose drop-down is a
// lookup grid over the list source. Its properties own the grid and publish
// the list settings (source, key and list fields, columns, grid options,
// grid mode); the field registry gives it to lookup fields.
#pragma once

#include "cxDBLookupEdit.h"
#include "cxEditRepositoryItems.h"
#include "cxLookupDBGrid.h"

#include <memory>
#include <string>

// The combo box's drop-down grid. A click into it leaves the focus in the
// edit, which keeps taking the typing while the user picks with the mouse.
class TcxLookupComboBoxGrid : public TcxLookupDBGrid {
    QZ_CLASS(TcxLookupComboBoxGrid, TcxLookupDBGrid)
public:
    explicit TcxLookupComboBoxGrid(TComponent* AOwner = nullptr) : TcxLookupDBGrid(AOwner) {}
    bool MayFocus() const override { return !IsPopupControl(); }
};

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties {
    QZ_CLASS(TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties)
public:
    explicit TcxLookupComboBoxProperties(TPersistent* AOwner = nullptr);
    ~TcxLookupComboBoxProperties() override;
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;

    // ---- the lookup protocol, on the grid ----
    int GetListColumnCount() override;
    TWinControl* GetLookupGrid() override { return FGrid.get(); }
    TcxDBDataController* GetDBDataController() override;
    int GetListPreferredWidth() override;
    int AdjustListHeight(int AHeight) override;
    int GetListHeight(int ARowCount) override;
    bool IsPointOverList(const TPoint& P) override;
    void SetListEvents(TcxLookupEditListCloseUpEvent ACloseUp, TNotifyEvent AFocusedRowChanged,
                       TNotifyEvent AClick) override;
    void InitListAppearance(TcxLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) override;
    void LockListMouseMove() override;
    void MakeFocusedRowVisible() override;
    void ReleaseListMouse() override;
    void BeginUpdateListColumns() override;
    void AddListColumnForField(const std::string& AFieldName) override;
    void CreateListColumns(const std::string& AFieldNames) override;
    void EndUpdateListColumns() override;
    TField* GetListColumnField(int AIndex) override;
    std::string GetListColumnFieldName(int AIndex) override;
    int FindListColumnByFieldName(const std::string& AFieldName) override;
    // The grid's options changed.
    virtual void ListOptionsChanged(TObject* Sender) { Changed(); }

    TcxLookupDBGrid* Grid() const { return FGrid.get(); }
    // Nil while the list is defined by a lookup field.
    TDataSource* ListSource();
    // Raises "Property already defined by lookup field" while the list is a
    // lookup field's, and "Circular datalinks are not allowed" for a source
    // over the edited field's data set.
    void SetListSource(TDataSource* Value);
    TcxLookupDBGridColumns* ListColumns() const { return FGrid->Columns(); }
    void SetListColumns(TcxLookupDBGridColumns* Value);
    TcxLookupGridOptions* ListOptions() const { return FGrid->Options(); }
    void SetListOptions(TcxLookupGridOptions* Value) { FGrid->SetOptions(Value); }
    TNotifyEvent OnSortingChanged() const;
    void SetOnSortingChanged(TNotifyEvent Value);

private:
    std::unique_ptr<TcxLookupComboBoxGrid> FGrid;
};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
    QZ_CLASS(TcxCustomLookupComboBox, TcxCustomDBLookupEdit)
public:
    explicit TcxCustomLookupComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxLookupComboBoxProperties::StaticClass(); }
    TcxLookupComboBoxProperties* Properties() const
    {
        return static_cast<TcxLookupComboBoxProperties*>(ActiveProperties());
    }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
    QZ_CLASS(TcxLookupComboBox, TcxCustomLookupComboBox)
public:
    explicit TcxLookupComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false)
        : TcxCustomLookupComboBox(AOwner, AIsInplace)
    {
    }
    // Setting assigns the given properties to the edit's own.
    void SetProperties(TcxLookupComboBoxProperties* Value) { Properties()->Assign(Value); }
};

#define CX_EDIT_REPOSITORY_ITEM_EXTRA
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryLookupComboBoxItem, TcxLookupComboBoxProperties)
#undef CX_EDIT_REPOSITORY_ITEM_EXTRA

namespace cxDBLookupComboBox {
// Registers the properties with the editor registry, the repository item
// class for streaming, and the item that the field registry gives to lookup
// fields: a list without grid lines or header, limited to its texts.
void Initialize();
// Takes the lookup item out of the field registry (a lookup field gets the
// default item again) and frees the lookup items of the default repository:
// shut-down runs it before the program's static objects go.
void Finalize();
}  // namespace cxDBLookupComboBox
