#include "cxGridDBBandedTableView.h"

#include "StringLists.h"

QZ_CLASS_IMPL(TcxGridDBBandedColumn, TcxGridBandedColumn)
QZ_CLASS_IMPL(TcxGridDBBandedTableSummaryItem, TcxDBDataSummaryItem)
QZ_CLASS_IMPL(TcxGridDBBandedTableView, TcxGridBandedTableView)

bool TcxGridDBBandedColumn::GetStoredProperties(TStrings* AProperties)
{
    TcxGridBandedColumn::GetStoredProperties(AProperties);
    AProperties->Add("FieldName");
    return true;
}

Variant TcxGridDBBandedColumn::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "FieldName") return Variant(DataBinding()->FieldName());
    return TcxGridBandedColumn::GetStoredPropertyValue(AName);
}

void TcxGridDBBandedColumn::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "FieldName")
        DataBinding()->SetFieldName(VarToStr(AValue));
    else
        TcxGridBandedColumn::SetStoredPropertyValue(AName, AValue);
}

TcxGridDBBandedColumn* TcxGridDBBandedTableSummaryItem::Column() const
{
    return DynamicCast<TcxGridDBBandedColumn>(ItemLink());
}

void TcxGridDBBandedTableSummaryItem::SetColumn(TcxGridDBBandedColumn* AValue) { SetItemLink(AValue); }

bool TcxGridDBBandedTableSummaryItem::GetStoredProperties(TStrings* AProperties)
{
    AProperties->Add("Column");
    return false;
}

Variant TcxGridDBBandedTableSummaryItem::GetStoredPropertyValue(const std::string& AName)
{
    return AName == "Column" ? cxGridTableView::GetSummaryColumnStoredValue(Column()) : Null();
}

void TcxGridDBBandedTableSummaryItem::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "Column")
        SetColumn(DynamicCast<TcxGridDBBandedColumn>(cxGridTableView::FindSummaryColumn(GetDataController(), AValue)));
}

TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridDBBandedTableView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridDBDataController>();
}

namespace cxGridDBBandedTableView {

namespace {
bool& Initialized()
{
    static bool value = false;
    return value;
}
}  // namespace

void Initialize()
{
    if (Initialized()) return;
    Initialized() = true;
    cxGridBandedTableView::Initialize();
    cxGridDBTableView::Initialize();
    RegisterClasses({TcxGridDBBandedColumn::StaticClass()});
    cxGridCustomView::cxGridRegisteredViews()->Register(TcxGridDBBandedTableView::StaticClass(), "DB Banded Table");
}

void Finalize()
{
    if (!Initialized()) return;
    Initialized() = false;
    cxGridCustomView::cxGridRegisteredViews()->Unregister(TcxGridDBBandedTableView::StaticClass());
}

}  // namespace cxGridDBBandedTableView
