// The lookup grid bound to a data set: its columns name fields, its data
// controller reads the records of a data source, and with a sequenced data
// set in grid mode the scroll bar follows the record number.
#pragma once

#include "DB.h"
#include "cxDBData.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxLookupGrid.h"

#include <string>
#include <vector>

class TcxCustomLookupDBGrid;
class TcxLookupDBGridColumn;

class TcxLookupGridDBDataController : public TcxDBDataController {
    QZ_CLASS(TcxLookupGridDBDataController, TcxDBDataController)
public:
    explicit TcxLookupGridDBDataController(TComponent* AOwner = nullptr) : TcxDBDataController(AOwner) {}
    void AfterConstruction() override;
    TObject* GetItem(int Index) override;
    int GetItemID(TObject* AItem) override;
    // Every scroll of the data set arrives here, within the buffer too.
    void LayoutChanged() override;
    // Grid mode over a data set that knows its record numbers.
    bool IsDataSetSequenced();
    // Tells the grid that a sequenced data set scrolled.
    virtual void SequencedScrollChanged();
    TPersistent* GetOwner() const override;
    TcxCustomLookupDBGrid* Grid() const { return FGrid; }
    // A controller made from its class record gets its grid after.
    void SetGrid(TcxCustomLookupDBGrid* AGrid) { FGrid = AGrid; }

private:
    TcxCustomLookupDBGrid* FGrid = nullptr;
};

// Answers the field's defaults; whether values carry a display format is the
// data controller's stored-text flag of the column's item.
class TcxLookupDBGridDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
    QZ_CLASS(TcxLookupDBGridDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
public:
    explicit TcxLookupDBGridDefaultValuesProvider(TPersistent* AOwner = nullptr)
        : TcxCustomDBEditDefaultValuesProvider(AOwner) {}
    bool HasDisplayFormat(bool AIsCurrencyValueAccepted) override;
    void SetColumn(TcxLookupDBGridColumn* AColumn);
    TcxLookupDBGridColumn* Column() const;
};

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
    QZ_CLASS(TcxLookupDBGridColumn, TcxLookupGridColumn)
public:
    explicit TcxLookupDBGridColumn(TCollection* ACollection = nullptr) : TcxLookupGridColumn(ACollection) {}
    void Assign(TPersistent* Source) override;
    std::string GetDefaultCaption() override;
    TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
    int GetDefaultWidth() override;
    TClass GetDefaultValuesProviderClass() const override;
    // Binds the column's provider to the column's field.
    void InitDefaultValuesProvider();

    std::string FieldName() const;
    void SetFieldName(const std::string& Value);
    TField* Field() const;
    TcxLookupGridDBDataController* DBDataController() const;

protected:
    void AttachDefaultValuesProvider(TcxCustomEditDefaultValuesProvider* AProvider) override;
};

class TcxLookupDBGridColumns : public TcxLookupGridColumns {
    QZ_CLASS(TcxLookupDBGridColumns, TcxLookupGridColumns)
public:
    explicit TcxLookupDBGridColumns(TcxCustomLookupGrid* AGrid = nullptr, TClass AColumnClass = nullptr)
        : TcxLookupGridColumns(AGrid, AColumnClass ? AColumnClass : TcxLookupDBGridColumn::StaticClass()) {}
    TcxLookupDBGridColumn* Items(int Index) const { return ItemAs<TcxLookupDBGridColumn>(Index); }
    TcxLookupDBGridColumn* operator[](int Index) const { return Items(Index); }
    TcxLookupDBGridColumn* Add() { return AddAs<TcxLookupDBGridColumn>(); }
    // The first column of that field name, compared without regard to case; null when none.
    TcxLookupDBGridColumn* ColumnByFieldName(const std::string& AFieldName) const;
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
    QZ_CLASS(TcxCustomLookupDBGrid, TcxCustomLookupGrid)
public:
    explicit TcxCustomLookupDBGrid(TComponent* AOwner = nullptr) : TcxCustomLookupGrid(AOwner) {}

    TClass GetColumnClass() const override;
    TClass GetColumnsClass() const override;
    TClass GetDataControllerClass() const override;
    void CreateDataController() override;
    void DataChanged() override;
    void InitScrollBarsParameters() override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    // One column per name, in order, inside one update.
    virtual void CreateColumnsByFieldNames(const std::vector<std::string>& AFieldNames);
    // The columns again, from ";"-separated names.
    void CreateColumnsByFieldNames(const std::string& AFieldNames);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    std::string KeyFieldNames() const;
    void SetKeyFieldNames(const std::string& Value);
    TcxLookupDBGridColumns* Columns() const { return static_cast<TcxLookupDBGridColumns*>(TcxCustomLookupGrid::Columns()); }
    void SetColumns(TcxLookupDBGridColumns* Value) { TcxCustomLookupGrid::SetColumns(Value); }
    TcxLookupGridDBDataController* DataController() const
    {
        return static_cast<TcxLookupGridDBDataController*>(TcxCustomLookupGrid::DataController());
    }
    // Grid mode over a sequenced data set: the scroll bar is the record number.
    bool IsSequencedScrolling();

protected:
    TcxLookupGridColumns* CreateColumns() override;
};

class TcxLookupDBGrid : public TcxCustomLookupDBGrid {
    QZ_CLASS(TcxLookupDBGrid, TcxCustomLookupDBGrid)
public:
    explicit TcxLookupDBGrid(TComponent* AOwner = nullptr) : TcxCustomLookupDBGrid(AOwner) {}
};
