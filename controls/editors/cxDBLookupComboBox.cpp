#include "cxDBLookupComboBox.h"

#include "TypInfo.h"
#include "cxClasses.h"
#include "cxEditDBRegisteredRepositoryItems.h"

QZ_CLASS_IMPL(TcxLookupComboBoxGrid, TcxLookupDBGrid)
QZ_CLASS_IMPL(TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties)
QZ_CLASS_IMPL(TcxCustomLookupComboBox, TcxCustomDBLookupEdit)
QZ_CLASS_IMPL(TcxLookupComboBox, TcxCustomLookupComboBox)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryLookupComboBoxItem, TcxLookupComboBoxProperties)

namespace {

const TcxResourceStringRec scxSEditRepositoryLookupComboBoxItem = {
    "scxSEditRepositoryLookupComboBoxItem", "LookupComboBox|Represents a lookup combo box control"};

}  // namespace

// ---- the properties --------------------------------------------------------------------------------------

TcxLookupComboBoxProperties::TcxLookupComboBoxProperties(TPersistent* AOwner)
    : TcxCustomDBLookupEditProperties(AOwner), FGrid(std::make_unique<TcxLookupComboBoxGrid>(nullptr))
{
    FGrid->AfterConstruction();
    FGrid->SetIsPopupControl(true);
    FGrid->Options()->OnChanged = [this](TObject* s) { ListOptionsChanged(s); };
    SubscribeDataChanged();
}

TcxLookupComboBoxProperties::~TcxLookupComboBoxProperties()
{
    UnsubscribeDataChanged();
    FGrid->Options()->OnChanged = nullptr;
    FGrid.reset();
}

TClass TcxLookupComboBoxProperties::GetEditClass() const { return TcxLookupComboBox::StaticClass(); }

void TcxLookupComboBoxProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxLookupComboBoxProperties*>(Source);
    if (!s) {
        TcxCustomDBLookupEditProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        SetGridMode(s->GridMode());
        SetListOptions(s->ListOptions());
        if (!IsDefinedByLookup()) {
            SetListSource(s->ListSource());
            SetListColumns(s->ListColumns());
        }
        SetOnSortingChanged(s->OnSortingChanged());
        TcxCustomDBLookupEditProperties::Assign(Source);
        if (IsDefinedByLookup()) SetListColumns(s->ListColumns());
    });
}

int TcxLookupComboBoxProperties::GetListColumnCount() { return FGrid ? FGrid->Columns()->Count() : 0; }

TcxDBDataController* TcxLookupComboBoxProperties::GetDBDataController()
{
    return FGrid ? FGrid->DataController() : nullptr;
}

int TcxLookupComboBoxProperties::GetListPreferredWidth()
{
    int width = 0;
    for (int i = 0; i < GetListColumnCount(); ++i) width += FGrid->Columns()->Items(i)->Width();
    return width;
}

int TcxLookupComboBoxProperties::AdjustListHeight(int AHeight) { return FGrid->AdjustHeight(AHeight); }

int TcxLookupComboBoxProperties::GetListHeight(int ARowCount) { return FGrid->GetHeightForRows(ARowCount); }

bool TcxLookupComboBoxProperties::IsPointOverList(const TPoint& P) { return FGrid->IsRowAtPoint(P); }

void TcxLookupComboBoxProperties::SetListEvents(TcxLookupEditListCloseUpEvent ACloseUp,
                                                TNotifyEvent AFocusedRowChanged, TNotifyEvent AClick)
{
    FGrid->OnCloseUp = std::move(ACloseUp);
    FGrid->OnFocusedRowChanged = std::move(AFocusedRowChanged);
    FGrid->OnClick = std::move(AClick);
}

void TcxLookupComboBoxProperties::InitListAppearance(TcxLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont)
{
    FGrid->LookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    FGrid->SetColor(AColor);
    if (AFont) FGrid->Font()->Assign(AFont);
}

void TcxLookupComboBoxProperties::LockListMouseMove() { FGrid->SetPopupMouseMoveLocked(true); }

void TcxLookupComboBoxProperties::MakeFocusedRowVisible() { FGrid->MakeFocusedRowVisible(); }

void TcxLookupComboBoxProperties::ReleaseListMouse()
{
    if (FGrid->MouseCapture()) FGrid->SetMouseCapture(false);
    FGrid->SetPopupMouseMoveLocked(false);
}

void TcxLookupComboBoxProperties::BeginUpdateListColumns() { FGrid->BeginUpdate(); }

void TcxLookupComboBoxProperties::EndUpdateListColumns() { FGrid->EndUpdate(); }

void TcxLookupComboBoxProperties::CreateListColumns(const std::string& AFieldNames)
{
    FGrid->CreateColumnsByFieldNames(AFieldNames);
}

void TcxLookupComboBoxProperties::AddListColumnForField(const std::string& AFieldName)
{
    if (AFieldName.empty() || FGrid->Columns()->ColumnByFieldName(AFieldName)) return;
    TcxLookupDBGridColumn* c = FGrid->Columns()->Add();
    c->SetFieldName(AFieldName);
    c->SetIndex(0);
}

TField* TcxLookupComboBoxProperties::GetListColumnField(int AIndex)
{
    return FGrid->Columns()->Items(AIndex)->Field();
}

std::string TcxLookupComboBoxProperties::GetListColumnFieldName(int AIndex)
{
    return FGrid->Columns()->Items(AIndex)->FieldName();
}

int TcxLookupComboBoxProperties::FindListColumnByFieldName(const std::string& AFieldName)
{
    TcxLookupDBGridColumn* c = FGrid ? FGrid->Columns()->ColumnByFieldName(AFieldName) : nullptr;
    return c ? c->Index() : -1;
}

TDataSource* TcxLookupComboBoxProperties::ListSource()
{
    return IsDefinedByLookup() ? nullptr : FGrid->DataSource();
}

void TcxLookupComboBoxProperties::SetListSource(TDataSource* Value)
{
    CheckDefinedByLookup();
    if (Value) CheckCircularDataLinks(Value);
    FGrid->SetDataSource(Value);
    Changed();
}

void TcxLookupComboBoxProperties::SetListColumns(TcxLookupDBGridColumns* Value)
{
    FGrid->SetColumns(Value);
    AddLookupResultColumn();
    int count = GetListColumnCount();
    if (StoredListFieldIndex() >= count) SetListFieldIndex(count - 1);
}

TNotifyEvent TcxLookupComboBoxProperties::OnSortingChanged() const
{
    return FGrid->DataController()->OnSortingChanged;
}

void TcxLookupComboBoxProperties::SetOnSortingChanged(TNotifyEvent Value)
{
    FGrid->DataController()->OnSortingChanged = std::move(Value);
}

// ---- the edits -------------------------------------------------------------------------------------------

TcxCustomLookupComboBox::TcxCustomLookupComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomDBLookupEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

namespace cxDBLookupComboBox {

void Initialize()
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxLookupComboBoxProperties::StaticClass()) < 0)
        r->Register(TcxLookupComboBoxProperties::StaticClass(),
                    cxClasses::GetResourceString(&scxSEditRepositoryLookupComboBoxItem));
    cxEditRepositoryItems::RegisterItemClasses({TcxEditRepositoryLookupComboBoxItem::StaticClass()});
    cxEditDBRegisteredRepositoryItems::RegisterLookupItemClass(
        TcxEditRepositoryLookupComboBoxItem::StaticClass(), [](TcxEditRepositoryItem* AItem) {
            auto* p = static_cast<TcxEditRepositoryLookupComboBoxItem*>(AItem)->Properties();
            p->ListOptions()->SetGridLines(glNone);
            p->SetDropDownListStyle(lsEditFixedList);
            p->ListOptions()->SetShowHeader(false);
        });
}

void Finalize()
{
    using namespace cxEditDBRegisteredRepositoryItems;
    TcxDefaultLookupItemClass old = RegisterLookupItemClass(nullptr);
    if (old.ItemClass != TcxEditRepositoryLookupComboBoxItem::StaticClass())
        RegisterLookupItemClass(old.ItemClass, old.SetUp);
    // Items the registry made and left in the default repository go now,
    // while the data-set registries their lists use are still there.
    TcxEditRepository* r = cxEdit::GetDefaultEditRepository();
    for (int i = r->Count() - 1; i >= 0; --i)
        if (dynamic_cast<TcxEditRepositoryLookupComboBoxItem*>(r->Items(i))) delete r->Items(i);
}

}  // namespace cxDBLookupComboBox
