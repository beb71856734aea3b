// The data-aware table view: the table view over a data set reached through
// a data source. Its data controller asks the view what it needs of the
// grid, its columns are bound to fields by name (the name lives in the data
// controller's field list), and it is registered under "DB Table".
#pragma once

#include "cxDBData.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxGridTableView.h"

#include <string>

class TcxGridDBTableView;
class TcxGridDBColumn;

// The editor defaults of a data-aware column, from its bound field.
class TcxGridDBDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
    QZ_CLASS(TcxGridDBDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
public:
    explicit TcxGridDBDefaultValuesProvider(TPersistent* AOwner = nullptr)
        : TcxCustomDBEditDefaultValuesProvider(AOwner)
    {
    }
    // A display format counts as given when the data controller keeps the
    // item's display texts or the item computes its own.
    bool HasDisplayFormat(bool AIsCurrencyValueAccepted) override;
};

class TcxGridItemDBDataBinding : public TcxGridItemDataBinding {
    QZ_CLASS(TcxGridItemDBDataBinding, TcxGridItemDataBinding)
public:
    using TcxGridItemDataBinding::TcxGridItemDataBinding;
    void Assign(TPersistent* Source) override;
    TcxDBDataController* DBDataController() const;
    // Kept in the data controller's field list at the item's index.
    std::string FieldName() const;
    void SetFieldName(const std::string& AValue);
    // The field the data controller bound to the item, or null.
    TField* Field() const;
    // The field's display name, else the field name.
    std::string GetDefaultCaption() override;
    // The field's display width in "0"s of the column's content font plus 4;
    // without a field the usual 64. Never below the column's minimum width.
    int GetDefaultWidth() override;
    // The default editor of the field's type.
    TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
    void DataChanged() override;
    // The provider follows the field the item is bound to now.
    void FieldChanged();

protected:
    TcxCustomEditDefaultValuesProvider* CreateDefaultValuesProvider() override;
};

class TcxGridDBDataController : public TcxDBDataController, public IcxGridDataController {
    QZ_CLASS(TcxGridDBDataController, TcxDBDataController)
public:
    explicit TcxGridDBDataController(TComponent* AOwner = nullptr) : TcxDBDataController(AOwner) {}
    TcxCustomGridTableView* GridView() const;

    TObject* GetItem(int AIndex) override;
    int GetItemID(TObject* AItem) override;
    bool CanSelectRow(int ARow) override;
    int GetDefaultActiveRelationIndex() override;
    std::string GetFilterItemDisplayText(TObject* AItem) override;
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex) override
    {
        return cxGridCustomTableView::CreateDetailLinkObject(ARelation, ARecordIndex);
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* ALinkObject) override
    {
        return cxGridCustomTableView::GetDetailDataControllerByLinkObject(ALinkObject);
    }
    TClass GetSummaryItemClass() override;
    int GetDefaultGridModeBufferCount() override;
    // Fields bound anew: the columns take their fields' editors and defaults.
    // While the controller is updating, the view's records may name rows its
    // storage no longer holds, so the columns follow once the update has
    // been reported to the view.
    void UpdateFields() override;
    void UpdateControl(TcxUpdateControlInfo* AInfo) override;

    // The data set's own record numbers drive the vertical scroll bar: grid
    // mode over a sequenced data set in a view whose records are all as high.
    bool IsDataSetScrolling();

    void CheckGridModeBufferCount() override;
    bool DoScroll(bool AForward) override;
    bool DoScrollPage(bool AForward) override;
    TcxGridItemDataBindingClass GetItemDataBindingClass() override;
    TClass GetItemDefaultValuesProviderClass() override { return TcxGridDBDefaultValuesProvider::StaticClass(); }
    bool IsFirstRecord() override;
    bool IsLastRecord() override;
    bool GetFilterPropertyValue(const std::string& AName, Variant& AValue) override;
    int GetScrollBarPos() override;
    int GetScrollBarRecordCount() override;
    bool SetFilterPropertyValue(const std::string& AName, const Variant& AValue) override;
    bool SetScrollBarPos(int APos) override;

private:
    void BindColumnsToFields();
    bool FColumnsFieldsPending = false;
};

class TcxGridDBTableSummaryItem : public TcxDBDataSummaryItem, public IcxStoredObject {
    QZ_CLASS(TcxGridDBTableSummaryItem, TcxDBDataSummaryItem)
public:
    explicit TcxGridDBTableSummaryItem(TCollection* ACollection = nullptr) : TcxDBDataSummaryItem(ACollection) {}
    TcxGridDBColumn* Column() const;
    void SetColumn(TcxGridDBColumn* AValue);
    std::string GetStoredObjectName() override { return std::string(); }
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
};

class TcxGridDBColumn : public TcxGridColumn {
    QZ_CLASS(TcxGridDBColumn, TcxGridColumn)
public:
    explicit TcxGridDBColumn(TComponent* AOwner = nullptr) : TcxGridColumn(AOwner) {}
    TcxGridItemDBDataBinding* DataBinding() const
    {
        return static_cast<TcxGridItemDBDataBinding*>(TcxGridColumn::DataBinding());
    }
};

class TcxGridDBTableView : public TcxGridTableView {
    QZ_CLASS(TcxGridDBTableView, TcxGridTableView)
public:
    explicit TcxGridDBTableView(TComponent* AOwner = nullptr) : TcxGridTableView(AOwner) {}
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TClass GetItemClass() override { return TcxGridDBColumn::StaticClass(); }
    TClass GetSummaryItemClass() override { return TcxGridDBTableSummaryItem::StaticClass(); }

    TcxGridDBDataController* DataController() const
    {
        return static_cast<TcxGridDBDataController*>(TcxGridTableView::DataController());
    }
    TcxGridDBColumn* Columns(int AIndex) const { return static_cast<TcxGridDBColumn*>(GetItem(AIndex)); }
    TcxGridDBColumn* CreateColumn() { return static_cast<TcxGridDBColumn*>(CreateItem()); }
    // The first column, in index order, bound to the field name (case folded); null when none.
    TcxGridDBColumn* GetColumnByFieldName(const std::string& AFieldName) const;
};

namespace cxGridDBTableView {
// Unit start-up: "DB Table" among the grid's views, the column and binding
// classes for streaming. Idempotent.
void Initialize();
void Finalize();
}  // namespace cxGridDBTableView
