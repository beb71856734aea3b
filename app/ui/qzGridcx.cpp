#include "qzGridcx.h"

#include "ActnList.h"
#include "BatchUpdateFrm.h"
#include "DataExporter.h"
#include "Database.h"
#include "Objs.h"
#include "SortFrm.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "cxGridDBTableView.h"
#include "cxGridLevel.h"
#include "cxGridTableController.h"
#include "cxGridTableLayout.h"
#include "cxLookAndFeelPainters.h"
#include "cxTextEdit.h"
#include "qzCtrls.h"
#include "qzLib.h"
#include "qzProj.h"
#include "xVisible.h"

#include <memory>

QZ_CLASS_IMPL(TqzGridcx, TcxGrid)

// ---- the stored layout ----------------------------------------------------------------------------

namespace qzGridLayout {

std::string LineValue(bool visible, int width)
{
    return (visible ? "True" : "False") + std::to_string(width);
}

void ParseValue(const std::string& value, bool& visible, int& width)
{
    visible = value.find("True") != std::string::npos;
    std::string digits = StringReplace(value, "True", "", {rfReplaceAll, rfIgnoreCase});
    digits = StringReplace(digits, "False", "", {rfReplaceAll, rfIgnoreCase});
    width = StrToInt(digits);
}

bool Load(int layoutId, std::string& text)
{
    const int rows = GRecordSet->Open("select F06 from syscols where F02=:KeyId",
                                      {Database::MakeParam("KeyId", layoutId)});
    TDataSet* data = GRecordSet->DataSet();
    text = rows > 0 && !data->Eof() ? data->Fields()->Fields(0)->AsString() : std::string();
    return rows > 0;
}

bool Save(int layoutId, const std::string& text)
{
    const int rows = GRecordSet->Open("select 1 from syscols where F02=:Id", {Database::MakeParam("Id", layoutId)});
    int written;
    if (rows == 1)
        written = GDatabase->ExecSQL("update syscols set F06=:Value where F02=:KeyId",
                                     {Database::MakeParam("Value", text), Database::MakeParam("KeyId", layoutId)});
    else
        written = GDatabase->ExecSQL("insert into syscols (F02,F06) values (:Id, :S)",
                                     {Database::MakeParam("Id", layoutId), Database::MakeParam("S", text)});
    return written == 1;
}

}  // namespace qzGridLayout

// ---- construction ---------------------------------------------------------------------------------

TAction* qzGridcx::MakeAction(TComponent* owner, const char* caption, std::function<void()> run)
{
    auto* action = new TAction(owner);
    action->SetCaption(caption);
    action->OnExecute = [run = std::move(run)](TObject*) { run(); };
    return action;
}

TqzGridcx::TqzGridcx(TComponent* AOwner) : TcxGrid(AOwner)
{
    FActionExport = qzGridcx::MakeAction(this, "导出", [this] { ExportClick(); });
    FActionExport2Excel = qzGridcx::MakeAction(this, "导出到Excel文档", [this] { SaveToExcelClick(); });
    FActionExport2Html = qzGridcx::MakeAction(this, "导出到Html网页文件", [this] { SaveToHtmlClick(); });
    FActionColVisible = qzGridcx::MakeAction(this, "列选择", [this] { PickColumnsClick(); });
    FActionTableStyleSave = qzGridcx::MakeAction(this, "保存表格样式", [this] { SaveLayoutClick(); });
    FActionSort = qzGridcx::MakeAction(this, "排序", [this] { SortClick(); });
}

void TqzGridcx::AfterConstruction()
{
    // The grid makes its root level here, so the view can only join it now.
    TcxGrid::AfterConstruction();
    LookAndFeel()->SetKind(lfStandard);

    FView = static_cast<TcxGridDBTableView*>(TcxGridDBTableView::StaticClass()->Create(nullptr));
    AddChildComponent(FView);
    FView->OptionsCustomize()->SetColumnFiltering(false);
    FView->OptionsData()->SetDeleting(false);
    FView->OptionsData()->SetInserting(false);
    FView->OptionsData()->SetEditing(false);
    FView->OptionsSelection()->SetMultiSelect(false);
    FView->OptionsView()->SetCellAutoHeight(true);
    FView->OptionsView()->SetCellEndEllipsis(true);
    FView->OptionsView()->SetGroupByBox(false);
    FView->OptionsView()->SetHeaderAutoHeight(true);
    FView->OptionsView()->SetIndicatorWidth(30);

    FView->OnCellClick = [this](TcxCustomGridTableView*, TcxGridTableDataCellViewInfo* ACell, TMouseButton,
                                TShiftState, bool& AHandled) { ViewCellClick(ACell, AHandled); };
    FView->SetOnDblClick([this](TObject*) { ViewDblClick(); });
    FView->OnFocusedRecordChanged = [this](TcxCustomGridTableView*, TcxCustomGridRecord*,
                                           TcxCustomGridRecord* AFocused, bool) { ViewFocusedRecordChanged(AFocused); };
    FView->OnFocusedItemChanged = [this](TcxCustomGridTableView*, TcxCustomGridTableItem*,
                                         TcxCustomGridTableItem*) { ViewFocusedItemChanged(); };
    FView->OnEditChanged = [this](TcxCustomGridTableView*, TcxCustomGridTableItem* AItem) { ViewEditChanged(AItem); };
    FView->OnEditValueChanged = [this](TcxCustomGridTableView*, TcxCustomGridTableItem*) { ViewEditValueChanged(); };
    FView->OnCustomDrawIndicatorCell = [this](TcxGridTableView* Sender, TcxCanvas* ACanvas,
                                              TcxCustomGridIndicatorItemViewInfo* AViewInfo, bool& ADone) {
        DrawIndicatorCell(Sender, ACanvas, AViewInfo, ADone);
    };
    FView->OnCustomDrawCell = [this](TcxCustomGridTableView* Sender, TcxCanvas* ACanvas,
                                     TcxGridTableDataCellViewInfo* AViewInfo, bool& ADone) {
        DrawZebraCell(Sender, ACanvas, AViewInfo, ADone);
    };

    TcxGridLevel* level = RootLevel()->Add();
    level->SetGridView(FView);
    FLevel = level;

    FDataSource = new TDataSource(nullptr);
    FView->DataController()->SetDataSource(FDataSource);

    FPopupMenuQz = new TqzPopupMenu(nullptr);
    SetPopupMenu(FPopupMenuQz);
    BuildPopupMenu();
}

TqzGridcx* TqzGridcx::CreateWithLayout(TComponent* AOwner, int ALayoutId, TDataSet* ADataSet, TWinControl* AParent,
                                       TClass AClass)
{
    auto* grid = DynamicCast<TqzGridcx>((AClass ? AClass : StaticClass())->Create(AOwner));
    if (!grid) throw EConvertError("Invalid grid class");
    grid->SetParent(AParent);
    grid->SetAlign(alClient);
    grid->FDataSource->SetDataSet(ADataSet);
    grid->SetTag(ALayoutId);
    grid->LoadLayout(ALayoutId);
    return grid;
}

void TqzGridcx::BeforeDestruction()
{
    // Handlers hear nothing of the view going away with the grid.
    Destroying();
    FreeOwnObjects();
    TcxGrid::BeforeDestruction();
}

TqzGridcx::~TqzGridcx()
{
    Destroying();
    FreeOwnObjects();
}

void TqzGridcx::FreeOwnObjects()
{
    if (FView) {
        FView->DataController()->SetDataSource(nullptr);
        FreeAndNil(FView);
    }
    if (TcxGridLevel* level = FLevel.Get()) {
        FLevel = nullptr;
        FreeObject(level);
    }
    FreeAndNil(FDataSource);
    if (FPopupMenuQz) SetPopupMenu(nullptr);
    FreeAndNil(FPopupMenuQz);
}

void TqzGridcx::BuildPopupMenu()
{
    TqzPopupMenu::ClearItems(FPopupMenuQz);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "排序", false, [this](TObject*) { SortClick(); });
    TqzPopupMenu::AddSeparator(FPopupMenuQz, -1, nullptr);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "列选择", false, [this](TObject*) { PickColumnsClick(); });
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "保存表格样式", false, [this](TObject*) { SaveLayoutClick(); });
    TqzPopupMenu::AddSeparator(FPopupMenuQz, -1, nullptr);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "导出到Excel文档", false, [this](TObject*) { SaveToExcelClick(); });
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "导出到Html网页文件", false, [this](TObject*) { SaveToHtmlClick(); });
}

// ---- properties ---------------------------------------------------------------------------------------

TDataSet* TqzGridcx::DataSet() const
{
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TqzGridcx::SetDataSet(TDataSet* AValue)
{
    FDataSource->SetDataSet(AValue);
}

int TqzGridcx::RowCount() const
{
    return FView->ViewData()->RowCount();
}

int TqzGridcx::SelectedCount() const
{
    return FView->Controller()->GetSelectedRecordCount();
}

// ---- events -------------------------------------------------------------------------------------------

bool TqzGridcx::Destroyed() const
{
    return ComponentState().Contains(csDestroying);
}

TField* TqzGridcx::ColumnField(TcxCustomGridTableItem* AItem) const
{
    auto* column = DynamicCast<TcxGridDBColumn>(AItem);
    return column ? column->DataBinding()->Field() : nullptr;
}

void TqzGridcx::ViewCellClick(TcxGridTableDataCellViewInfo* ACellViewInfo, bool& AHandled)
{
    if (Destroyed()) return;
    if (!OnCellClick) return;
    OnCellClick(ColumnField(ACellViewInfo->Item()));
    AHandled = true;
}

void TqzGridcx::ViewDblClick()
{
    if (Destroyed()) return;
    // The handler may free the grid (a picker closing its form).
    TWeakRef<TqzGridcx> self(this);
    if (OnDblClick) OnDblClick(this);
    if (!self || !OnCellDblClick) return;
    if (TcxCustomGridTableItem* item = FView->Controller()->FocusedItem()) OnCellDblClick(ColumnField(item));
}

void TqzGridcx::ViewFocusedRecordChanged(TcxCustomGridRecord* AFocusedRecord)
{
    if (Destroyed()) return;
    if (OnSelectChanged) OnSelectChanged(AFocusedRecord && AFocusedRecord->HasValidRecordIndex());
}

void TqzGridcx::ViewEditChanged(TcxCustomGridTableItem* AItem)
{
    if (Destroyed()) return;
    if (OnEditChanged && AItem && AItem->Editing()) OnEditChanged(this);
}

void TqzGridcx::ViewEditValueChanged()
{
    if (Destroyed()) return;
    if (OnEditValueChanged) OnEditValueChanged(this);
}

void TqzGridcx::ViewFocusedItemChanged()
{
    if (Destroyed()) return;
    if (OnFocusedItemChanged) OnFocusedItemChanged(FView);
}

// ---- drawing ------------------------------------------------------------------------------------------

void TqzGridcx::DrawZebraCell(TcxCustomGridTableView*, TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* AViewInfo,
                              bool&)
{
    if (AViewInfo->Selected()) return;
    TcxCustomGridRecord* record = AViewInfo->GridRecord();
    if (!record || record->RecordIndex() % 2 != 0) return;
    ACanvas->Brush()->SetColor(ZebraColor);
}

void TqzGridcx::DrawIndicatorCell(TcxGridTableView* Sender, TcxCanvas* ACanvas,
                                  TcxCustomGridIndicatorItemViewInfo* AViewInfo, bool& ADone)
{
    TRect bounds;
    TcxBorders borders;
    std::string text;
    if (AViewInfo->InheritsFrom(TcxGridIndicatorHeaderItemViewInfo::StaticClass())) {
        bounds = AViewInfo->Bounds;
        borders = cxBordersAll;
        text = "NO";
    } else if (auto* row = DynamicCast<TcxGridIndicatorRowItemViewInfo>(AViewInfo)) {
        TcxCustomGridRecord* record = row->RowViewInfo ? row->RowViewInfo->GridRecord() : nullptr;
        if (!record) return;
        TFontStyles style = ACanvas->Font()->Style();
        if (record->GetSelected()) style.Include(fsBold);
        else style.Exclude(fsBold);
        ACanvas->Font()->SetStyle(style);
        bounds = AViewInfo->ContentBounds();
        borders = TcxBorders{bLeft, bRight, bBottom};
        text = std::to_string(record->Index() + 1);
    } else {
        return;
    }
    TRect textArea = bounds;
    InflateRect(textArea, -1, -1);
    Sender->LookAndFeelPainter()->DrawHeader(ACanvas, bounds, textArea, {}, borders, cxbsNormal, taCenter, vaCenter,
                                             false, false, text, ACanvas->Font(), clWindowText, clBtnFace);
    ADone = true;
}

// ---- columns and layout ------------------------------------------------------------------------------------

void TqzGridcx::CreateDefaultColumns(bool AVisible)
{
    FView->BeginUpdate();
    FView->ClearItems();
    TDataSource* source = FView->DataController()->DataSource();
    if (TDataSet* data = source ? source->DataSet() : nullptr) {
        for (int i = 0; i < data->FieldCount(); ++i) {
            TField* field = data->Fields()->Fields(i);
            if (!field->Visible()) continue;
            TcxGridDBColumn* column = FView->CreateColumn();
            column->SetCaption(field->DisplayLabel());
            column->DataBinding()->SetFieldName(field->FieldName());
            column->SetWidth(field->DisplayWidth());
            column->SetVisible(AVisible);
        }
    }
    FView->EndUpdate();
}

std::string TqzGridcx::GetLayout() const
{
    TStringList lines;
    for (int i = 0; i < FView->ColumnCount(); ++i) {
        TcxGridDBColumn* column = FView->Columns(i);
        lines.SetValues(column->DataBinding()->FieldName(),
                        qzGridLayout::LineValue(column->Visible(), column->Width()));
    }
    return lines.Text();
}

void TqzGridcx::SetLayout(const std::string& AValue)
{
    CreateDefaultColumns(AValue.empty());
    if (AValue.empty()) return;
    TStringList lines;
    lines.SetText(AValue);
    FView->BeginUpdate();
    try {
        for (int i = 0; i < FView->ColumnCount(); ++i) {
            TcxGridDBColumn* column = FView->Columns(i);
            const std::string value = lines.Values(column->DataBinding()->FieldName());
            if (value.empty()) continue;
            bool visible;
            int width;
            qzGridLayout::ParseValue(value, visible, width);
            column->SetVisible(visible);
            column->SetWidth(width);
        }
        for (int line = lines.Count() - 1; line >= 0; --line) {
            const std::string name = lines.Names(line);
            for (int i = 0; i < FView->ColumnCount(); ++i)
                if (FView->Columns(i)->DataBinding()->FieldName() == name) {
                    FView->Columns(i)->SetIndex(line);
                    break;
                }
        }
    } catch (const Exception&) {
        // A damaged stored layout ends here: what was applied stays, the
        // columns not reached stay hidden.
    }
    FView->EndUpdate();
}

bool TqzGridcx::LoadLayout(int ALayoutId)
{
    std::string text;
    const bool found = qzGridLayout::Load(ALayoutId, text);
    SetLayout(text);
    return found;
}

bool TqzGridcx::SaveLayout(int ALayoutId)
{
    return qzGridLayout::Save(ALayoutId, GetLayout());
}

void TqzGridcx::SetTextEditColumn(TField* AField, bool AFocusing)
{
    if (!AField) return;
    TcxGridDBColumn* column = FView->GetColumnByFieldName(AField->FieldName());
    if (!column) return;
    column->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    column->Options()->SetFocusing(AFocusing);
}

bool TqzGridcx::CheckDataSet()
{
    TDataSet* data = DataSet();
    if (!data) {
        qzLib::ShowInfo("系统错误: 没有为TqzGridcx.DataSource指定DataSet对象,请与作者联系!");
        return false;
    }
    if (!data->Active()) {
        qzLib::ShowInfo("系统提示: 请先打开数据再操作!");
        return false;
    }
    return true;
}

// ---- commands ------------------------------------------------------------------------------------------

void TqzGridcx::SaveLayoutClick()
{
    GOperator->CheckRight(10006, true);
    if (SaveLayout(int(Tag()))) qzLib::ShowInfo("列样式保存成功.");
}

void TqzGridcx::PickColumnsClick()
{
    GOperator->CheckRight(10008, true);
    RColItems items;
    for (int i = 0; i < FView->ColumnCount(); ++i) {
        TcxGridDBColumn* column = FView->Columns(i);
        items.push_back({column->Index(), column->Caption(), column->Visible()});
    }
    std::unique_ptr<TxVisibleFrm> dialog(new TxVisibleFrm(this));
    dialog->SetColItems(items);
    if (dialog->ShowModal() != mrOk) return;
    FView->BeginUpdate();
    for (const RColItem& item : items)
        if (item.ColumnIndex >= 0 && item.ColumnIndex < FView->ColumnCount())
            FView->Columns(item.ColumnIndex)->SetVisible(item.Visible);
    FView->EndUpdate();
}

void TqzGridcx::SortClick()
{
    if (!CheckDataSet()) return;
    auto* data = DynamicCast<TCustomADODataSet>(DataSet());
    if (!data) return;
    std::unique_ptr<TSortFrm> dialog(new TSortFrm(nullptr));
    dialog->Init(data, true);
    dialog->SetSortString(data->Sort());
    if (dialog->ShowModal() != mrOk) return;
    data->SetSort(dialog->SortString());
    FView->DataController()->ClearSorting(false);
    FView->ViewData()->RefreshRecords();
}

void TqzGridcx::SaveToExcelClick()
{
    GOperator->CheckRight(10004, true);
    ExportToExcel();
}

void TqzGridcx::SaveToHtmlClick()
{
    GOperator->CheckRight(10004, true);
    ExportToHtml();
}

void TqzGridcx::ExportClick()
{
    GOperator->CheckRight(10004, true);
    TDataSet* data = DataSet();
    if (!data || !data->Active()) return;
    std::unique_ptr<TDataExporterFrm> dialog(new TDataExporterFrm(nullptr, data));
    dialog->ShowModal();
}

std::vector<DataExporter::TExportColumn> TqzGridcx::VisibleColumns() const
{
    std::vector<DataExporter::TExportColumn> columns;
    TDataSet* data = DataSet();
    for (int i = 0; i < FView->ColumnCount(); ++i) {
        TcxGridDBColumn* column = FView->Columns(i);
        if (!column->Visible()) continue;
        TField* field = column->DataBinding()->Field();
        if (!field && data) field = data->FindField(column->DataBinding()->FieldName());
        columns.push_back({column->Caption(), field});
    }
    return columns;
}

void TqzGridcx::ExportToExcel()
{
    // Without a data set there are no records to walk: say so.
    if (!DataSet()) {
        CheckDataSet();
        return;
    }
    DataExporter::ExportToWorkbook(DataSet(), VisibleColumns(), true);
}

void TqzGridcx::ExportToHtml()
{
    if (!DataSet()) {
        CheckDataSet();
        return;
    }
    DataExporter::ExportToHtmlFile(DataSet(), VisibleColumns(), true, true);
}

void TqzGridcx::BatchUpdateClick()
{
    if (!CheckDataSet()) return;
    if (!BatchProc) {
        qzLib::ShowInfo("没有指定BatchUpdate更新过程, 操作被取消.");
        return;
    }
    TDataSet* data = DataSet();
    std::unique_ptr<TBatchUpdateFrm> dialog(new TBatchUpdateFrm(nullptr));
    for (int i = 0; i < FView->ColumnCount(); ++i) {
        TField* field = FView->Columns(i)->DataBinding()->Field();
        if (field && field->Visible() && field->CanModify()) dialog->AddItem(field->DisplayLabel(), field->FieldName());
    }
    if (dialog->ShowModal() != mrOk) return;
    TField* field = data->FieldByName(dialog->ItemFieldName());
    const Variant value(dialog->Value());
    // The records to change, known before the first change moves anything.
    std::vector<int> recNos;
    for (int i = 0; i < FView->Controller()->GetSelectedRecordCount(); ++i)
        if (TcxCustomGridRecord* record = FView->Controller()->GetSelectedRecord(i))
            recNos.push_back(record->RecordIndex() + 1);
    for (int recNo : recNos) {
        data->SetRecNo(recNo);
        data->Edit();
        field->SetValue(value);
        data->Post();
        BatchProc();
    }
}
