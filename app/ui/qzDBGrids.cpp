#include "qzDBGrids.h"

#include "ADODB.h"
#include "ActnList.h"
#include "BatchUpdateFrm.h"
#include "DBSumLst.h"
#include "DataExporter.h"
#include "FltrDlg.h"
#include "Objs.h"
#include "SortFrm.h"
#include "StringLists.h"
#include "qzCtrls.h"
#include "qzLib.h"
#include "qzProj.h"
#include "xVisible.h"

#include <memory>

QZ_CLASS_IMPL(TqzDBGrid, TDBGridEh)

TqzDBGrid::TqzDBGrid(TComponent* AOwner) : TDBGridEh(AOwner)
{
    SetFlat(true);
    SetTitleHeight(20);
    SetRowHeight(16);
    TDBGridEhOptions options = OptionsEh();
    options.Include(dghMultiSortMarking);
    SetOptionsEh(options);
    TDBGridEhAllowedSelections selections = AllowedSelections();
    selections.Exclude(gstRectangle);
    selections.Exclude(gstColumns);
    selections.Exclude(gstAll);
    SetAllowedSelections(selections);
    HorzScrollBar()->SetTracking(true);
    VertScrollBar()->SetTracking(true);
    SetDrawMemoText(true);

    FPopupMenuQz = new TqzPopupMenu(nullptr);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "排序", false, [this](TObject*) { SortClick(); });
    TqzPopupMenu::AddSeparator(FPopupMenuQz, -1, nullptr);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "列选择", false, [this](TObject*) { PickColumnsClick(); });
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "保存表格样式", false, [this](TObject*) { SaveLayoutClick(); });
    TqzPopupMenu::AddSeparator(FPopupMenuQz, -1, nullptr);
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "导出到Excel文档", false, [this](TObject*) { SaveToExcelClick(); });
    TqzPopupMenu::AddClickItem(FPopupMenuQz, "导出到Html网页文件", false, [this](TObject*) { SaveToHtmlClick(); });
    SetPopupMenu(FPopupMenuQz);

    FOwnDataSource = new TDataSource(nullptr);
    SetDataSource(FOwnDataSource);
    SetFooterColor(clWindow);

    FActionExport = qzGridcx::MakeAction(this, "导出", [this] { ExportClick(); });
    FActionExport2Excel = qzGridcx::MakeAction(this, "导出到Excel文档", [this] { SaveToExcelClick(); });
    FActionExport2Html = qzGridcx::MakeAction(this, "导出到Html网页文件", [this] { SaveToHtmlClick(); });
    FActionColVisible = qzGridcx::MakeAction(this, "列选择", [this] { PickColumnsClick(); });
    FActionTableStyleSave = qzGridcx::MakeAction(this, "保存表格样式", [this] { SaveLayoutClick(); });
    FActionSort = qzGridcx::MakeAction(this, "排序", [this] { SortClick(); });
}

TqzDBGrid::~TqzDBGrid()
{
    if (DataSource() == FOwnDataSource) SetDataSource(nullptr);
    FreeAndNil(FOwnDataSource);
    SetPopupMenu(nullptr);
    FreeAndNil(FPopupMenuQz);
}

// ---- cells and titles ---------------------------------------------------------------------------------

void TqzDBGrid::CellClick(TColumnEh* AColumn)
{
    if (OnColumnFieldClick) OnColumnFieldClick(AColumn ? AColumn->Field() : nullptr);
    TDBGridEh::CellClick(AColumn);
}

void TqzDBGrid::DrawColumnCell(const TRect& ARect, int ADataCol, TColumnEh* AColumn, TGridDrawState AState)
{
    TDBGridEh::DrawColumnCell(ARect, ADataCol, AColumn, AState);
    if (!OnDrawFieldCell) return;
    OnDrawFieldCell(ARect, ADataCol, AColumn ? AColumn->Field() : nullptr, AState);
    DefaultDrawColumnCell(ARect, ADataCol, AColumn, AState);
}

void TqzDBGrid::TitleBtnClick(int ACol, TColumnEh* AColumn)
{
    TDBGridEh::TitleBtnClick(ACol, AColumn);
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!data || !data->Active() || !AColumn) return;
    TColumnTitleEh* title = AColumn->Title();
    switch (title->SortMarker()) {
    case smNoneEh: title->SetSortMarker(smDownEh); break;
    case smDownEh: title->SetSortMarker(smUpEh); break;
    case smUpEh: title->SetSortMarker(smNoneEh); break;
    }
    ApplySortMarkers();
}

std::string TqzDBGrid::SortMarkersText() const
{
    std::string text;
    for (TColumnEh* column : SortColumnList()) {
        TField* field = column->Field();
        const std::string name = field && field->Lookup() ? field->KeyFields() : column->FieldName();
        text += column->Title()->SortMarker() == smUpEh ? name + " DESC , " : name + ", ";
    }
    if (!text.empty()) text.resize(text.size() - 2);
    return text;
}

void TqzDBGrid::ApplySortMarkers()
{
    if (auto* data = DynamicCast<TCustomADODataSet>(DataSource() ? DataSource()->DataSet() : nullptr))
        data->SetSort(SortMarkersText());
}

// ---- keys ----------------------------------------------------------------------------------------------

void TqzDBGrid::KeyDown(WORD& AKey, TShiftState AShift)
{
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    const int count = Columns()->Count();
    switch (AKey) {
    case VK_LEFT:
        for (int i = SelectedIndex() - 1; i >= 0; --i)
            if (Columns()->Items(i)->Visible()) {
                SetSelectedIndex(i);
                break;
            }
        break;
    case VK_RIGHT:
        for (int i = SelectedIndex() + 1; i < count; ++i)
            if (Columns()->Items(i)->Visible()) {
                SetSelectedIndex(i);
                break;
            }
        break;
    case VK_UP:
        if (data && data->Active()) data->Prior();
        break;
    case VK_DOWN:
        if (data && data->Active()) data->Next();
        break;
    default: break;
    }
    if (OnKeyDown) OnKeyDown(this, AKey, AShift);
}

// ---- layout --------------------------------------------------------------------------------------------

void TqzDBGrid::SetLayoutId(int AValue)
{
    FLayoutId = AValue;
    LoadLayout(AValue);
}

void TqzDBGrid::LoadLayout(int ALayoutId)
{
    std::string text;
    qzGridLayout::Load(ALayoutId, text);
    SetLayout(text);
}

bool TqzDBGrid::SaveLayout(int ALayoutId)
{
    return qzGridLayout::Save(ALayoutId, GetLayout());
}

std::string TqzDBGrid::GetLayout() const
{
    TStringList lines;
    for (int i = 0; i < Columns()->Count(); ++i) {
        TColumnEh* column = Columns()->Items(i);
        lines.SetValues(column->FieldName(), qzGridLayout::LineValue(column->Visible(), column->Width()));
    }
    return lines.Text();
}

void TqzDBGrid::CreateDefaultColumns()
{
    Columns()->BeginUpdate();
    Columns()->Clear();
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    if (data)
        for (int i = 0; i < data->FieldCount(); ++i) {
            TField* field = data->Fields()->Fields(i);
            if (!field->Visible()) continue;
            TColumnEh* column = Columns()->Add();
            column->SetCheckboxes(false);
            column->Title()->SetTitleButton(!field->Calculated());
            column->Title()->SetCaption(field->DisplayLabel());
            column->SetFieldName(field->FieldName());
            column->SetWidth(field->DisplayWidth());
        }
    Columns()->EndUpdate();
}

void TqzDBGrid::SetLayout(const std::string& AValue)
{
    CreateDefaultColumns();
    if (AValue.empty()) return;
    TStringList lines;
    lines.SetText(AValue);
    Columns()->BeginUpdate();
    try {
        for (int i = 0; i < Columns()->Count(); ++i) {
            TColumnEh* column = Columns()->Items(i);
            const std::string value = lines.Values(column->FieldName());
            if (value.empty()) continue;
            bool visible;
            int width;
            qzGridLayout::ParseValue(value, visible, width);
            column->SetVisible(visible);
            column->SetWidth(width);
        }
        for (int line = lines.Count() - 1; line >= 0; --line) {
            const std::string name = lines.Names(line);
            for (int i = 0; i < Columns()->Count(); ++i)
                if (Columns()->Items(i)->FieldName() == name) {
                    Columns()->Items(i)->SetIndex(std::min(line, Columns()->Count() - 1));
                    break;
                }
        }
    } catch (const Exception&) {
        // A damaged stored layout ends here; what was applied stays.
    }
    Columns()->EndUpdate();
}

bool TqzDBGrid::CheckDataSet()
{
    if (!DataSource()) {
        qzLib::ShowInfo("系统错误: 没有为DBGrid指定DataSource对象,请与作者联系!");
        return false;
    }
    TDataSet* data = DataSource()->DataSet();
    if (!data) {
        qzLib::ShowInfo("系统错误: 没有为DBGrid.DataSource指定DataSet对象,请与作者联系!");
        return false;
    }
    if (!data->Active()) {
        qzLib::ShowInfo("系统提示: 请先打开数据再操作!");
        return false;
    }
    return true;
}

// ---- commands ------------------------------------------------------------------------------------------

void TqzDBGrid::PopupButtonClick(TControl* Sender)
{
    auto* control = DynamicCast<TWinControl>(Sender);
    if (!control) return;
    const TPoint p = control->ClientToScreen(TPoint{0, control->ClientHeight()});
    FPopupMenuQz->Popup(p.X, p.Y);
}

void TqzDBGrid::SortClick()
{
    if (!CheckDataSet()) return;
    auto* data = DynamicCast<TCustomADODataSet>(DataSource()->DataSet());
    if (!data) return;
    std::unique_ptr<TSortFrm> dialog(new TSortFrm(nullptr));
    dialog->Init(data, true);
    dialog->SetSortString(data->Sort());
    if (dialog->ShowModal() == mrOk) data->SetSort(dialog->SortString());
}

void TqzDBGrid::FilterClick()
{
    if (CheckDataSet()) TFltrDlgFrm::Execute(DataSource()->DataSet());
}

void TqzDBGrid::PickColumnsClick()
{
    GOperator->CheckRight(10008, true);
    RColItems items;
    for (int i = 0; i < Columns()->Count(); ++i) {
        TColumnEh* column = Columns()->Items(i);
        items.push_back({column->Index(), column->Title()->Caption(), column->Visible()});
    }
    std::unique_ptr<TxVisibleFrm> dialog(new TxVisibleFrm(this));
    dialog->SetColItems(items);
    if (dialog->ShowModal() != mrOk) return;
    for (const RColItem& item : items)
        if (item.ColumnIndex >= 0 && item.ColumnIndex < Columns()->Count())
            Columns()->Items(item.ColumnIndex)->SetVisible(item.Visible);
}

void TqzDBGrid::SaveLayoutClick()
{
    GOperator->CheckRight(10006, true);
    const int id = FLayoutId > 0 ? FLayoutId : int(Tag());
    // Success is told only when the row was written.
    if (SaveLayout(id)) qzLib::ShowInfo("列样式保存成功.");
}

void TqzDBGrid::SaveToExcelClick()
{
    GOperator->CheckRight(10004, true);
    ExportToExcel();
}

void TqzDBGrid::SaveToHtmlClick()
{
    GOperator->CheckRight(10004, true);
    ExportToHtml();
}

void TqzDBGrid::ExportClick()
{
    GOperator->CheckRight(10004, true);
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!data || !data->Active()) return;
    std::unique_ptr<TDataExporterFrm> dialog(new TDataExporterFrm(nullptr, data));
    dialog->ShowModal();
}

std::vector<DataExporter::TExportColumn> TqzDBGrid::VisibleExportColumns() const
{
    std::vector<DataExporter::TExportColumn> columns;
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    for (int i = 0; i < Columns()->Count(); ++i) {
        TColumnEh* column = Columns()->Items(i);
        if (!column->Visible()) continue;
        columns.push_back({column->Title()->Caption(), data ? data->FindField(column->FieldName()) : nullptr});
    }
    return columns;
}

void TqzDBGrid::ExportToExcel()
{
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    DataExporter::ExportToWorkbook(data, VisibleExportColumns(), data && data->Active());
}

void TqzDBGrid::ExportToHtml()
{
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    DataExporter::ExportToHtmlFile(data, VisibleExportColumns(), data && data->Active(), false);
}

void TqzDBGrid::BatchUpdateClick()
{
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!data) {
        qzLib::ShowInfo("没有指定数据集DataSet, 操作被取消.");
        return;
    }
    if (!BatchProc) {
        qzLib::ShowInfo("没有指定更新过程BatchProc, 操作被取消.");
        return;
    }
    std::unique_ptr<TBatchUpdateFrm> dialog(new TBatchUpdateFrm(nullptr));
    for (int i = 0; i < Columns()->Count(); ++i) {
        TField* field = Columns()->Items(i)->Field();
        if (field && field->Visible() && field->CanModify()) dialog->AddItem(field->DisplayLabel(), field->FieldName());
    }
    if (dialog->ShowModal() != mrOk) return;
    TField* field = data->FieldByName(dialog->ItemFieldName());
    const Variant value(dialog->Value());
    // The rows the grid holds selected, changed one by one.
    DataExporter::ForEachRecord(data, [&] {
        if (!Selection()->Rows()->CurrentRowSelected()) return;
        data->Edit();
        field->SetValue(value);
        data->Post();
        BatchProc();
    });
}

// ---- footer sums ---------------------------------------------------------------------------------------

TColumnEh* TqzDBGrid::FindColumnByField(TField* AField) const
{
    if (!AField) return nullptr;
    TColumnEh* found = nullptr;
    for (int i = 0; i < Columns()->Count(); ++i) {
        TColumnEh* column = Columns()->Items(i);
        if (column->Field() && column->Field()->FieldName() == AField->FieldName()) found = column;
    }
    return found;
}

void TqzDBGrid::SetFooterSum(TField* AField)
{
    if (TColumnEh* column = FindColumnByField(AField)) {
        column->Footer()->SetValueType(fvtSum);
        SumList()->SetActive(true);
    }
}
