#include "cxLookupDBGrid.h"

#include "TextUtils.h"
#include "TypInfo.h"
#include "cxDB.h"

#include <algorithm>

namespace {

void DefineDBColumnProps(std::vector<TPropInfo>& props)
{
    using C = TcxLookupDBGridColumn;
    props.push_back(PublishString<C>("FieldName", &C::FieldName, &C::SetFieldName));
}

void DefineDBGridProps(std::vector<TPropInfo>& props)
{
    using G = TcxLookupDBGrid;
    props.push_back(PublishObject<G>("Columns", &G::Columns, &G::SetColumns));
    props.push_back(PublishObject<G>("Options", &G::Options, &G::SetOptions));
    props.push_back(PublishObject<G>("DataSource", &G::DataSource, &G::SetDataSource));
    props.push_back(PublishString<G>("KeyFieldNames", &G::KeyFieldNames, &G::SetKeyFieldNames));
}

}  // namespace

QZ_CLASS_IMPL(TcxLookupGridDBDataController, TcxDBDataController)
QZ_CLASS_IMPL(TcxLookupDBGridDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
QZ_CLASS_IMPL_PROPS(TcxLookupDBGridColumn, TcxLookupGridColumn, DefineDBColumnProps)
QZ_CLASS_IMPL(TcxLookupDBGridColumns, TcxLookupGridColumns)
QZ_CLASS_IMPL(TcxCustomLookupDBGrid, TcxCustomLookupGrid)
QZ_CLASS_IMPL_PROPS(TcxLookupDBGrid, TcxCustomLookupDBGrid, DefineDBGridProps)

// ---- data controller -------------------------------------------------------------------------------------

void TcxLookupGridDBDataController::AfterConstruction()
{
    TcxDBDataController::AfterConstruction();
    // A list shows the data set; it neither follows its current record nor
    // mirrors the records being inserted into it.
    DataModeController()->SetSyncMode(false);
    DataModeController()->MirrorInserts = false;
}

TPersistent* TcxLookupGridDBDataController::GetOwner() const
{
    return FGrid ? static_cast<TPersistent*>(FGrid) : TcxDBDataController::GetOwner();
}

TObject* TcxLookupGridDBDataController::GetItem(int Index)
{
    TcxCustomLookupDBGrid* grid = Grid();
    return grid ? grid->Columns()->Items(Index) : nullptr;
}

int TcxLookupGridDBDataController::GetItemID(TObject* AItem)
{
    auto* column = DynamicCast<TcxLookupGridColumn>(AItem);
    return column ? column->ID() : -1;
}

bool TcxLookupGridDBDataController::IsDataSetSequenced()
{
    TDataSet* ds = DataSet();
    return IsGridMode() && ds && ds->Active() && ds->IsSequenced();
}

void TcxLookupGridDBDataController::LayoutChanged()
{
    TcxDBDataController::LayoutChanged();
    if (IsDataSetSequenced()) SequencedScrollChanged();
}

void TcxLookupGridDBDataController::SequencedScrollChanged()
{
    if (TcxCustomLookupDBGrid* grid = Grid()) grid->UpdateScrollBars();
}

// ---- columns ---------------------------------------------------------------------------------------------

void TcxLookupDBGridDefaultValuesProvider::SetColumn(TcxLookupDBGridColumn* AColumn) { SetOwner(AColumn); }

TcxLookupDBGridColumn* TcxLookupDBGridDefaultValuesProvider::Column() const
{
    return DynamicCast<TcxLookupDBGridColumn>(Owner());
}

bool TcxLookupDBGridDefaultValuesProvider::HasDisplayFormat(bool)
{
    TcxLookupDBGridColumn* column = Column();
    TcxCustomDataController* dc = column ? column->DataController() : nullptr;
    if (!dc || column->ItemIndex() < 0 || column->ItemIndex() >= dc->GetItemCount()) return false;
    return dc->GetItemTextStored(column->ItemIndex());
}

TcxLookupGridDBDataController* TcxLookupDBGridColumn::DBDataController() const
{
    return DynamicCast<TcxLookupGridDBDataController>(DataController());
}

std::string TcxLookupDBGridColumn::FieldName() const
{
    TcxLookupGridDBDataController* dc = DBDataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return std::string();
    return dc->GetItemFieldName(Index());
}

void TcxLookupDBGridColumn::SetFieldName(const std::string& Value)
{
    TcxLookupGridDBDataController* dc = DBDataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return;
    dc->ChangeItemFieldName(Index(), Value);
    InitDefaultValuesProvider();
    Changed();
}

TField* TcxLookupDBGridColumn::Field() const
{
    TcxLookupGridDBDataController* dc = DBDataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return nullptr;
    return dc->GetItemField(Index());
}

void TcxLookupDBGridColumn::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxLookupDBGridColumn>(Source)) SetFieldName(src->FieldName());
    TcxLookupGridColumn::Assign(Source);
}

std::string TcxLookupDBGridColumn::GetDefaultCaption()
{
    TField* field = Field();
    return field ? field->DisplayName() : FieldName();
}

TcxEditRepositoryItem* TcxLookupDBGridColumn::GetDefaultRepositoryItem()
{
    return cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetItemByField(Field());
}

int TcxLookupDBGridColumn::GetDefaultWidth()
{
    TField* field = Field();
    TcxCustomLookupGrid* grid = Grid();
    if (!field || !grid) return 64;
    TcxCanvas* canvas = grid->Painter()->Canvas();
    if (TFont* font = GetFont()) canvas->SetFont(font);
    int width = canvas->TextWidth("0") * field->DisplayWidth() + 4;
    if (grid->Options()->ShowHeader())
        width = std::max(width, grid->GetLookAndFeelPainter()->HeaderWidth(canvas, cxBordersAll, Caption(), GetFont()));
    return std::max(width, MinWidth());
}

TClass TcxLookupDBGridColumn::GetDefaultValuesProviderClass() const
{
    return TcxLookupDBGridDefaultValuesProvider::StaticClass();
}

void TcxLookupDBGridColumn::AttachDefaultValuesProvider(TcxCustomEditDefaultValuesProvider* AProvider)
{
    if (auto* p = DynamicCast<TcxLookupDBGridDefaultValuesProvider>(AProvider)) p->SetColumn(this);
    else TcxLookupGridColumn::AttachDefaultValuesProvider(AProvider);
}

void TcxLookupDBGridColumn::InitDefaultValuesProvider()
{
    if (auto* p = DynamicCast<TcxLookupDBGridDefaultValuesProvider>(DefaultValuesProvider())) p->SetField(Field());
}

TcxLookupDBGridColumn* TcxLookupDBGridColumns::ColumnByFieldName(const std::string& AFieldName) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(Items(i)->FieldName(), AFieldName) == 0) return Items(i);
    return nullptr;
}

// ---- the grid --------------------------------------------------------------------------------------------

TClass TcxCustomLookupDBGrid::GetColumnClass() const { return TcxLookupDBGridColumn::StaticClass(); }
TClass TcxCustomLookupDBGrid::GetColumnsClass() const { return TcxLookupDBGridColumns::StaticClass(); }
TClass TcxCustomLookupDBGrid::GetDataControllerClass() const { return TcxLookupGridDBDataController::StaticClass(); }

void TcxCustomLookupDBGrid::CreateDataController()
{
    TcxCustomLookupGrid::CreateDataController();
    if (auto* own = DynamicCast<TcxLookupGridDBDataController>(TcxCustomLookupGrid::DataController()))
        own->SetGrid(this);
}

TcxLookupGridColumns* TcxCustomLookupDBGrid::CreateColumns()
{
    return new TcxLookupDBGridColumns(this, GetColumnClass());
}

TDataSource* TcxCustomLookupDBGrid::DataSource() const { return DataController()->DataSource(); }
void TcxCustomLookupDBGrid::SetDataSource(TDataSource* Value) { DataController()->SetDataSource(Value); }
std::string TcxCustomLookupDBGrid::KeyFieldNames() const { return DataController()->KeyFieldNames(); }
void TcxCustomLookupDBGrid::SetKeyFieldNames(const std::string& Value) { DataController()->SetKeyFieldNames(Value); }

void TcxCustomLookupDBGrid::DataChanged()
{
    for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->InitDefaultValuesProvider();
    TcxCustomLookupGrid::DataChanged();
}

void TcxCustomLookupDBGrid::CreateColumnsByFieldNames(const std::vector<std::string>& AFieldNames)
{
    BeginUpdate();
    try {
        for (const std::string& name : AFieldNames) Columns()->Add()->SetFieldName(name);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomLookupDBGrid::CreateColumnsByFieldNames(const std::string& AFieldNames)
{
    Columns()->Clear();
    std::vector<std::string> names;
    cxDB::GetFieldNames(AFieldNames, names);
    CreateColumnsByFieldNames(names);
}

bool TcxCustomLookupDBGrid::IsSequencedScrolling()
{
    return DataController() && DataController()->IsDataSetSequenced();
}

void TcxCustomLookupDBGrid::InitScrollBarsParameters()
{
    if (!IsSequencedScrolling() || !ViewInfo()) {
        TcxCustomLookupGrid::InitScrollBarsParameters();
        return;
    }
    SetScrollBarInfo(sbHorizontal, 0, -1, 1, 1, 0, false, true);
    const int visible = std::max(1, ViewInfo()->VisibleRowCount);
    SetScrollBarInfo(sbVertical, 0, DataController()->GetDataSetRecordCount() + visible - 2, 1, visible,
                     DataController()->GetDataSetRecNo() - 1, true, true);
}

void TcxCustomLookupDBGrid::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (AScrollBarKind != sbVertical || !IsSequencedScrolling()) {
        TcxCustomLookupGrid::Scroll(AScrollBarKind, AScrollCode, AScrollPos);
        return;
    }
    WORD key = 0;
    switch (AScrollCode) {
    case scLineUp: key = VK_UP; break;
    case scLineDown: key = VK_DOWN; break;
    case scPageUp: key = VK_PRIOR; break;
    case scPageDown: key = VK_NEXT; break;
    case scPosition:
        if (TDataSet* ds = DataController()->DataSet()) ds->SetRecNo(AScrollPos + 1);
        break;
    default: break;
    }
    if (key != 0) DoKeyDown(key, {});
    AScrollPos = DataController()->GetDataSetRecNo() - 1;
}
