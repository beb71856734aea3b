// The data-aware banded table view: the banded view over a data set, its
// columns bound to fields by name.
#pragma once

#include "cxGridBandedTableView.h"
#include "cxGridDBTableView.h"

class TcxGridDBBandedColumn : public TcxGridBandedColumn {
    QZ_CLASS(TcxGridDBBandedColumn, TcxGridBandedColumn)
public:
    explicit TcxGridDBBandedColumn(TComponent* AOwner = nullptr) : TcxGridBandedColumn(AOwner) {}
    TcxGridItemDBDataBinding* DataBinding() const
    {
        return static_cast<TcxGridItemDBDataBinding*>(TcxGridBandedColumn::DataBinding());
    }
    // ---- stored layout: the banded column's names, then "FieldName"
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
};

class TcxGridDBBandedTableSummaryItem : public TcxDBDataSummaryItem, public IcxStoredObject {
    QZ_CLASS(TcxGridDBBandedTableSummaryItem, TcxDBDataSummaryItem)
public:
    explicit TcxGridDBBandedTableSummaryItem(TCollection* ACollection = nullptr) : TcxDBDataSummaryItem(ACollection) {}
    TcxGridDBBandedColumn* Column() const;
    void SetColumn(TcxGridDBBandedColumn* AValue);
    // Stored without a name, with one property: "Column", the column's stored name.
    std::string GetStoredObjectName() override { return std::string(); }
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
};

class TcxGridDBBandedTableView : public TcxGridBandedTableView {
    QZ_CLASS(TcxGridDBBandedTableView, TcxGridBandedTableView)
public:
    explicit TcxGridDBBandedTableView(TComponent* AOwner = nullptr) : TcxGridBandedTableView(AOwner) {}
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TClass GetItemClass() override { return TcxGridDBBandedColumn::StaticClass(); }
    TClass GetSummaryItemClass() override { return TcxGridDBBandedTableSummaryItem::StaticClass(); }
    TcxGridDBDataController* DataController() const
    {
        return static_cast<TcxGridDBDataController*>(TcxGridBandedTableView::DataController());
    }
    TcxGridDBBandedColumn* Columns(int AIndex) const { return static_cast<TcxGridDBBandedColumn*>(GetItem(AIndex)); }
    TcxGridDBBandedColumn* CreateColumn() { return static_cast<TcxGridDBBandedColumn*>(CreateItem()); }
};

namespace cxGridDBBandedTableView {
// Unit start-up: "DB Banded Table" among the grid's views, the column class
// for streaming. Idempotent.
void Initialize();
void Finalize();
}  // namespace cxGridDBBandedTableView
