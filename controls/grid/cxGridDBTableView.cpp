#include "cxGridDBTableView.h"

#include "SysUtils.h"
#include "TextUtils.h"
#include "cxStorage.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridDBDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
QZ_CLASS_IMPL(TcxGridItemDBDataBinding, TcxGridItemDataBinding)
QZ_CLASS_IMPL(TcxGridDBDataController, TcxDBDataController)
QZ_CLASS_IMPL(TcxGridDBTableSummaryItem, TcxDBDataSummaryItem)
QZ_CLASS_IMPL(TcxGridDBColumn, TcxGridColumn)
QZ_CLASS_IMPL(TcxGridDBTableView, TcxGridTableView)

namespace {
bool& Initialized()
{
    static bool done = false;
    return done;
}
}  // namespace

namespace cxGridDBTableView {
void Initialize()
{
    if (Initialized()) return;
    Initialized() = true;
    cxGridTableView::Initialize();
    RegisterClasses({TcxGridItemDBDataBinding::StaticClass(), TcxGridDBColumn::StaticClass()});
    cxGridCustomView::cxGridRegisteredViews()->Register(TcxGridDBTableView::StaticClass(), "DB Table");
}

void Finalize()
{
    if (!Initialized()) return;
    Initialized() = false;
    cxGridCustomView::cxGridRegisteredViews()->Unregister(TcxGridDBTableView::StaticClass());
}
}  // namespace cxGridDBTableView

// ---- the binding and its defaults ----------------------------------------------------------------------

bool TcxGridDBDefaultValuesProvider::HasDisplayFormat(bool AIsCurrencyValueAccepted)
{
    auto* binding = DynamicCast<TcxGridItemDataBinding>(Owner());
    if (binding && binding->DataController()) {
        TcxCustomGridTableItem* item = binding->Item();
        if (binding->DataController()->GetItemTextStored(item->Index()) || item->OnGetDisplayText) return true;
    }
    return TcxCustomDBEditDefaultValuesProvider::HasDisplayFormat(AIsCurrencyValueAccepted);
}

TcxCustomEditDefaultValuesProvider* TcxGridItemDBDataBinding::CreateDefaultValuesProvider()
{
    auto* provider = new TcxGridDBDefaultValuesProvider(this);
    provider->SetField(Field());
    return provider;
}

TcxDBDataController* TcxGridItemDBDataBinding::DBDataController() const
{
    return DynamicCast<TcxDBDataController>(DataController());
}

std::string TcxGridItemDBDataBinding::FieldName() const
{
    TcxDBDataController* dc = DBDataController();
    return dc && Item()->Index() >= 0 ? dc->GetItemFieldName(Item()->Index()) : std::string();
}

void TcxGridItemDBDataBinding::SetFieldName(const std::string& AValue)
{
    TcxDBDataController* dc = DBDataController();
    if (!dc || Item()->Index() < 0) return;
    dc->ChangeItemFieldName(Item()->Index(), AValue);
    FieldChanged();
}

TField* TcxGridItemDBDataBinding::Field() const
{
    TcxDBDataController* dc = DBDataController();
    return dc && Item()->Index() >= 0 ? dc->GetItemField(Item()->Index()) : nullptr;
}

void TcxGridItemDBDataBinding::FieldChanged()
{
    if (auto* provider = DynamicCast<TcxGridDBDefaultValuesProvider>(DefaultValuesProvider()))
        provider->SetField(Field());
    Item()->ValueTypeClassChanged();
}

void TcxGridItemDBDataBinding::DataChanged()
{
    TcxGridItemDataBinding::DataChanged();
    if (auto* provider = DynamicCast<TcxGridDBDefaultValuesProvider>(DefaultValuesProvider()))
        if (provider->Field() != Field()) provider->SetField(Field());
}

std::string TcxGridItemDBDataBinding::GetDefaultCaption()
{
    TField* field = Field();
    return field ? field->DisplayName() : FieldName();
}

int TcxGridItemDBDataBinding::GetDefaultWidth()
{
    TField* field = Field();
    if (!field) return TcxGridItemDataBinding::GetDefaultWidth();
    TcxCustomGridTableView* view = Item()->GridView();
    TcxViewParams params;
    if (view) view->Styles()->GetContentParams(nullptr, Item(), params);
    TcxScreenCanvas canvas;
    if (params.Font) canvas.Font()->Assign(params.Font);
    int width = canvas.TextWidth("0") * field->DisplayWidth() + 4;
    return std::max(width, Item()->MinWidth());
}

TcxEditRepositoryItem* TcxGridItemDBDataBinding::GetDefaultRepositoryItem()
{
    return cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetItemByField(Field());
}

void TcxGridItemDBDataBinding::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridItemDBDataBinding>(Source)) SetFieldName(src->FieldName());
    TcxGridItemDataBinding::Assign(Source);
}

// ---- data controller ------------------------------------------------------------------------------------

TcxCustomGridTableView* TcxGridDBDataController::GridView() const
{
    return DynamicCast<TcxCustomGridTableView>(Owner());
}

TObject* TcxGridDBDataController::GetItem(int AIndex)
{
    TcxCustomGridTableView* view = GridView();
    return view && AIndex >= 0 && AIndex < view->ItemCount() ? view->GetItem(AIndex) : nullptr;
}

int TcxGridDBDataController::GetItemID(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->ID() : -1;
}

bool TcxGridDBDataController::CanSelectRow(int ARow)
{
    TcxCustomGridTableView* view = GridView();
    return !view || view->DoCanSelectRecord(ARow);
}

int TcxGridDBDataController::GetDefaultActiveRelationIndex()
{
    TcxCustomGridTableView* view = GridView();
    return view ? view->GetDefaultActiveDetailIndex() : TcxDBDataController::GetDefaultActiveRelationIndex();
}

std::string TcxGridDBDataController::GetFilterItemDisplayText(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->Caption() : std::string();
}

TClass TcxGridDBDataController::GetSummaryItemClass()
{
    TcxCustomGridTableView* view = GridView();
    TClass cls = view ? view->GetSummaryItemClass() : nullptr;
    return cls ? cls : TcxDBDataController::GetSummaryItemClass();
}

int TcxGridDBDataController::GetDefaultGridModeBufferCount()
{
    TcxCustomGridTableView* view = GridView();
    TcxCustomGridTableViewInfo* viewInfo = view ? view->TableViewInfo() : nullptr;
    int count = viewInfo ? viewInfo->VisibleRecordCount() : 0;
    return count > 0 ? count : TcxDBDataController::GetDefaultGridModeBufferCount();
}

void TcxGridDBDataController::UpdateFields()
{
    TcxDBDataController::UpdateFields();
    if (GetLockCount() > 0) {
        // A column that changes now lays the view out over records of the
        // storage before this update (a closed data set has none left): the
        // columns follow the fields once the view has heard of the update.
        FColumnsFieldsPending = true;
        Change(dcfLayout);
        return;
    }
    BindColumnsToFields();
}

void TcxGridDBDataController::UpdateControl(TcxUpdateControlInfo* AInfo)
{
    TcxDBDataController::UpdateControl(AInfo);
    if (FColumnsFieldsPending && GetLockCount() == 0) BindColumnsToFields();
}

void TcxGridDBDataController::BindColumnsToFields()
{
    FColumnsFieldsPending = false;
    TcxCustomGridTableView* view = GridView();
    if (!view) return;
    for (int i = 0; i < view->ItemCount(); ++i)
        if (auto* binding = DynamicCast<TcxGridItemDBDataBinding>(view->GetItem(i)->DataBinding())) binding->FieldChanged();
}

bool TcxGridDBDataController::IsDataSetScrolling()
{
    auto* view = DynamicCast<TcxGridTableView>(GridView());
    TDataSet* dataSet = DataSet();
    return IsGridMode() && dataSet && dataSet->IsSequenced() && view && view->HasFixedRecordHeights();
}

void TcxGridDBDataController::CheckGridModeBufferCount()
{
    if (IsGridMode()) RefreshGridModeBuffer();
}

bool TcxGridDBDataController::DoScroll(bool AForward)
{
    if (!IsDataSetScrolling()) return false;
    if (AForward)
        GotoNext();
    else
        GotoPrev();
    return true;
}

bool TcxGridDBDataController::DoScrollPage(bool AForward)
{
    if (!IsDataSetScrolling()) return false;
    TcxCustomGridTableView* view = GridView();
    int page = view && view->Controller() ? std::max(view->Controller()->VisibleRecordCount(), 1) : 1;
    MoveBy(AForward ? page : -page);
    return true;
}

TcxGridItemDataBindingClass TcxGridDBDataController::GetItemDataBindingClass()
{
    return TcxGridItemDataBindingClass::Of<TcxGridItemDBDataBinding>();
}

bool TcxGridDBDataController::IsFirstRecord()
{
    if (IsGridMode()) return IsBOF();
    return GetFocusedRowIndex() <= 0;
}

bool TcxGridDBDataController::IsLastRecord()
{
    if (IsGridMode()) return IsEOF();
    return GetFocusedRowIndex() >= GetRowCount() - 1;
}

bool TcxGridDBDataController::GetFilterPropertyValue(const std::string& AName, Variant& AValue)
{
    if (AName != "FilterAutoDataSetFilter") return false;
    AValue = Variant(DBFilter()->AutoDataSetFilter());
    return true;
}

bool TcxGridDBDataController::SetFilterPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName != "FilterAutoDataSetFilter") return false;
    DBFilter()->SetAutoDataSetFilter(cxStorage::StringToBoolean(VarToStr(AValue)));
    return true;
}

int TcxGridDBDataController::GetScrollBarPos()
{
    if (!IsDataSetScrolling()) return -1;
    return DataSet()->RecNo() - 1;
}

int TcxGridDBDataController::GetScrollBarRecordCount()
{
    if (!IsDataSetScrolling()) return -1;
    TcxCustomGridTableView* view = GridView();
    int shown = view && view->Controller() ? view->Controller()->VisibleRecordCount() : 0;
    return DataSet()->RecordCount() + shown - 1;
}

bool TcxGridDBDataController::SetScrollBarPos(int APos)
{
    if (!IsDataSetScrolling()) return false;
    DataSet()->SetRecNo(APos + 1);
    return true;
}

// ---- summary items ------------------------------------------------------------------------------------------

TcxGridDBColumn* TcxGridDBTableSummaryItem::Column() const { return DynamicCast<TcxGridDBColumn>(ItemLink()); }
void TcxGridDBTableSummaryItem::SetColumn(TcxGridDBColumn* AValue) { SetItemLink(AValue); }

bool TcxGridDBTableSummaryItem::GetStoredProperties(TStrings* AProperties)
{
    AProperties->Add("Column");
    return true;
}

Variant TcxGridDBTableSummaryItem::GetStoredPropertyValue(const std::string& AName)
{
    return AName == "Column" ? cxGridTableView::GetSummaryColumnStoredValue(Column()) : Null();
}

void TcxGridDBTableSummaryItem::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "Column")
        SetColumn(DynamicCast<TcxGridDBColumn>(cxGridTableView::FindSummaryColumn(GetDataController(), AValue)));
}

// ---- the view ---------------------------------------------------------------------------------------------------

TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridDBTableView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridDBDataController>();
}

TcxGridDBColumn* TcxGridDBTableView::GetColumnByFieldName(const std::string& AFieldName) const
{
    for (int i = 0; i < ColumnCount(); ++i) {
        TcxGridDBColumn* column = Columns(i);
        if (AnsiSameText(column->DataBinding()->FieldName(), AFieldName)) return column;
    }
    return nullptr;
}
