#include "DataImport.h"

#include "ADODB.h"
#include "Bizs.h"
#include "ComCtrls.h"
#include "DB.h"
#include "Database.h"
#include "Dialogs.h"
#include "HostServices.h"
#include "Menus.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Uis.h"
#include "ValEdit.h"
#include "XlsReader.h"
#include "qzCtrls.h"
#include "qzLib.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TDataImportFrm, TaFrm)

namespace DataImport {

template <class TImp> bool Run()
{
    TImp importer;
    return importer.Execute();
}

void StartUp()
{
    XlsReader::Install();
    Uis::SetImportRoutine(TImportKind::Cars, Run<TCarImporter>);
    Uis::SetImportRoutine(TImportKind::Employees, Run<TEmployeeImporter>);
    Uis::SetImportRoutine(TImportKind::Students, Run<TStudentImporter>);
}

void ShutDown()
{
    for (TImportKind kind : {TImportKind::Cars, TImportKind::Employees, TImportKind::Students})
        Uis::SetImportRoutine(kind, nullptr);
    XlsReader::Uninstall();
}

std::string ExamplePath(const std::string& fileName) { return qzProj::ProgramFolder() + "/" + fileName; }

}  // namespace DataImport

namespace {

// Restores the screen cursor when it goes out of scope.
class THourGlass {
public:
    THourGlass() : FOld(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FOld); }

private:
    TCursor FOld;
};

TButton* PageButton(TDataImportFrm* f, TPanel* page, const std::string& caption, int left)
{
    return UiKit::MakeButton(f, page, caption, left, 380, 80);
}

TPanel* MakePage(TDataImportFrm* f)
{
    auto* p = new TPanel(f);
    p->SetParent(f);
    p->SetAlign(alClient);
    p->SetBevelOuter(bvNone);
    p->SetCaption("");
    return p;
}

int IndexOfText(TStrings* list, const std::string& text)
{
    for (int i = 0; i < list->Count(); ++i)
        if (SameText(list->Strings(i), text)) return i;
    return -1;
}

}  // namespace

TDataImportFrm::TDataImportFrm(TComponent* AOwner) : TaFrm(AOwner)
{
    SetName("DataImportFrm");
    SetCaption("导入");
    SetClientSize(600, 415);
    SetBorderStyle(bsDialog);

    ADOConnection1 = new TADOConnection(this);
    ADOConnection1->SetLoginPrompt(false);
    ADOConnection1->SetMode(cmShareDenyNone);
    SourceTable1 = new TADOTable(this);
    SourceTable1->SetConnection(ADOConnection1);
    SourceTable1->SetReadOnly(true);
    SourceDataSource1 = new TDataSource(this);
    SourceDataSource1->SetDataSet(SourceTable1);
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter = "Excel文件(*.xls)|*.xls";

    // 1. the file
    pnlExcel1 = MakePage(this);
    UiKit::MakeLabel(this, pnlExcel1, "欢迎使用数据导入向导。", 24, 24)->Font()->SetStyle({fsBold});
    UiKit::MakeLabel(this, pnlExcel1, "请选择将要导入的 Excel 文件", 24, 80);
    edtExcelFile1 = UiKit::Make<TEdit>(this, pnlExcel1, 24, 100, 470, 22);
    Button1 = UiKit::MakeButton(this, pnlExcel1, "...", 500, 99, 30, 24);
    UiKit::MakeLabel(this, pnlExcel1, "您可以参照此 Excel 模版来制作源文件", 24, 160);
    edtExample1 = UiKit::Make<TEdit>(this, pnlExcel1, 24, 180, 470, 22);
    edtExample1->SetReadOnly(true);
    Button2 = UiKit::MakeButton(this, pnlExcel1, "打开", 500, 179, 60, 24);
    Button3 = PageButton(this, pnlExcel1, "下一步", 420);
    Button4 = PageButton(this, pnlExcel1, "取消", 508);

    // 2. the sheet
    pnlTable1 = MakePage(this);
    UiKit::MakeLabel(this, pnlTable1, "请选择一个表名：", 12, 14);
    cmbTables1 = UiKit::Make<TComboBox>(this, pnlTable1, 120, 10, 220, 22);
    cmbTables1->SetStyle(csDropDownList);
    SourceDBGrid1 = UiKit::Make<DataImport::TDBGrid>(this, pnlTable1, 12, 40, 576, 300);
    SourceDBGrid1->DataSource()->SetDataSet(SourceTable1);
    SourceDBGrid1->SetReadOnly(true);
    UiKit::MakeLabel(this, pnlTable1, "提示：以上是将要导入的数据，请检查是否有误。", 12, 350);
    PriBtn1 = PageButton(this, pnlTable1, "上一步(&P)", 332);
    NxtBtn1 = PageButton(this, pnlTable1, "下一步(&N)", 420);
    Button5 = PageButton(this, pnlTable1, "取消", 508);

    // 3. the mapping
    pnlFields1 = MakePage(this);
    UiKit::MakeLabel(this, pnlFields1, "指定对应关系", 12, 12)->Font()->SetStyle({fsBold});
    int y = 44;
    for (const char* note : {"目标字段", "是指本系统中该资料的项目名称(中文)", "源字段", "是指源文件中各列的标题名称",
                             "请从源字段列表中选择相应的项目来匹配目标字段", "但是有些目标字段是必须的",
                             "若没有对应的源字段,则将该源字段设为空白即可"}) {
        TLabel* l = UiKit::MakeLabel(this, pnlFields1, note, 12, y);
        l->SetWordWrap(true);
        l->SetAutoSize(false);
        l->SetBounds(12, y, 240, 34);
        y += 38;
    }
    ValueListEditor1 = UiKit::Make<TValueListEditor>(this, pnlFields1, 262, 12, 326, 330);
    {
        TStringList titles;
        titles.Add("目标字段");
        titles.Add("源字段");
        ValueListEditor1->SetTitleCaptions(&titles);
    }
    ValueListEditor1->SetColWidths(0, 150);
    ValueListEditor1->SetColWidths(1, 165);
    ProgressBar1 = UiKit::Make<TProgressBar>(this, pnlFields1, 12, 352, 576, 16);
    Button8 = PageButton(this, pnlFields1, "上一步", 332);
    Button9 = PageButton(this, pnlFields1, "下一步", 420);
    Button10 = PageButton(this, pnlFields1, "取消", 508);

    // 4. the result
    pnlDone1 = MakePage(this);
    UiKit::MakeLabel(this, pnlDone1, "确认导入以下数据:", 12, 14);
    DBGrid1 = UiKit::Make<DataImport::TDBGrid>(this, pnlDone1, 12, 36, 576, 312);
    DBGrid1->SetOptions(DBGrid1->Options() + TDBGridOptions{dgEditing, dgMultiSelect});
    PopupMenu1 = new TqzPopupMenu(this);
    N2 = TqzPopupMenu::AddClickItem(PopupMenu1, "删除", false, [this](TObject*) { N2Click(); });
    DBGrid1->SetPopupMenu(PopupMenu1);
    ProgressBar2 = UiKit::Make<TProgressBar>(this, pnlDone1, 12, 356, 576, 16);
    Button11 = PageButton(this, pnlDone1, "上一步", 332);
    Button6 = PageButton(this, pnlDone1, "确定", 420);
    Button7 = PageButton(this, pnlDone1, "取消", 508);

    for (TButton* cancel : {Button4, Button5, Button10, Button7}) cancel->SetModalResult(mrCancel);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2->OnClick = [this](TObject*) { Button2Click(); };
    Button3->OnClick = [this](TObject*) { Button3Click(); };
    cmbTables1->OnSelect = [this](TObject*) { cmbTables1Select(); };
    NxtBtn1->OnClick = [this](TObject*) { NxtBtn1Click(); };
    PriBtn1->OnClick = [this](TObject*) { PriBtn1Click(); };
    Button8->OnClick = [this](TObject*) { Button8Click(); };
    Button9->OnClick = [this](TObject*) { Button9Click(); };
    Button11->OnClick = [this](TObject*) { Button11Click(); };
    Button6->OnClick = [this](TObject*) { Button6Click(); };

    edtExcelFile1->SetText("");
    edtExample1->SetText("");
    ShowPage(pnlExcel1);
}

TDataImportFrm::~TDataImportFrm()
{
    // The grids let go of what they show before the sets and the connection go.
    DBGrid1->DataSource()->SetDataSet(nullptr);
    SourceDBGrid1->DataSource()->SetDataSet(nullptr);
    SourceTable1->Close();
    ADOConnection1->Close();
}

TDataSet* TDataImportFrm::StagingSet() const { return DBGrid1->DataSource()->DataSet(); }

void TDataImportFrm::ShowPage(TPanel* page)
{
    for (TPanel* p : {pnlExcel1, pnlTable1, pnlFields1, pnlDone1}) p->SetVisible(p == page);
    page->BringToFront();
    FActivePage = page;
}

void TDataImportFrm::Button1Click()
{
    if (OpenDialog1->Execute()) edtExcelFile1->SetText(OpenDialog1->FileName);
}

void TDataImportFrm::Button2Click()
{
    // The workbook is not held open while the spreadsheet program has it.
    SourceTable1->Close();
    ADOConnection1->Close();
    ShellExecute("open", edtExample1->GetText(), "", "", SW_SHOWNORMAL);
}

void TDataImportFrm::Button3Click()
{
    const std::string fileName = edtExcelFile1->GetText();
    if (!FileExists(fileName)) {
        MessageBox("\r\n源文件" + fileName + "不存在,请检查.", "警告", MB_OK | MB_ICONWARNING);
        if (edtExcelFile1->CanFocus()) edtExcelFile1->SetFocus();
        return;
    }
    SourceTable1->Close();
    ADOConnection1->Close();
    ADOConnection1->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Excel 8.0;DATABASE=" + fileName);
    ADOConnection1->Open();
    TStringList names;
    ADOConnection1->GetTableNames(&names, false);
    cmbTables1->Items()->Assign(&names);
    if (names.Count() == 0) {
        MessageBox("\r\n源文件" + fileName + "中没有工作表,请检查.", "警告", MB_OK | MB_ICONWARNING);
        return;
    }
    cmbTables1->SetItemIndex(0);
    cmbTables1Select();
    ShowPage(pnlTable1);
}

void TDataImportFrm::cmbTables1Select()
{
    SourceTable1->SetActive(false);
    const int index = cmbTables1->ItemIndex();
    if (index < 0) return;
    SourceTable1->SetCommandText("[" + cmbTables1->Items()->Strings(index) + "]");
    SourceTable1->SetActive(true);
    // The sheet's own columns, each wide enough for a few words (a text
    // column of a workbook may hold 255 characters).
    for (int i = 0; i < SourceTable1->FieldCount(); ++i) {
        TField* f = SourceTable1->Fields()->Fields(i);
        f->SetDisplayWidth(std::min(f->DisplayWidth(), 14));
    }
    SourceDBGrid1->Columns()->Clear();
}

void TDataImportFrm::NxtBtn1Click()
{
    // A sheet without a title row or without rows under it has nothing to map.
    if (!SourceTable1->Active() || SourceTable1->FieldCount() == 0 || SourceTable1->IsEmpty()) {
        MessageBox("\r\n工作表" + cmbTables1->Text() + "中没有可以导入的数据,请检查.", "警告", MB_OK | MB_ICONWARNING);
        return;
    }
    FFields.clear();
    if (OnGetFields) OnGetFields(FFields);
    TStringList lines;
    if (DBGrid1->Tag() <= 0) DBGrid1->Columns()->Clear();
    for (TField* field : FFields) {
        lines.AddObject(field->DisplayLabel() + "=", field);
        if (DBGrid1->Tag() <= 0) {
            TColumnEh* column = DBGrid1->Columns()->Add();
            column->SetFieldName(field->FieldName());
            column->SetWidth(100);
            column->Title()->SetCaption(field->DisplayLabel());
        }
    }
    ValueListEditor1->Strings()->Assign(&lines);
    TStringList sources;
    for (int i = 0; i < SourceTable1->FieldCount(); ++i) sources.Add(SourceTable1->Fields()->Fields(i)->FieldName());
    for (int k = 0; k < ValueListEditor1->Strings()->Count(); ++k) {
        TItemProp* prop = ValueListEditor1->ItemProps(k);
        prop->SetEditStyle(esPickList);
        prop->SetPickList(&sources);
        const std::string key = ValueListEditor1->Strings()->Names(k);
        // A source column titled like the target is taken by default.
        if (IndexOfText(&sources, key) >= 0) ValueListEditor1->Strings()->SetValueFromIndex(k, key);
    }
    ShowPage(pnlFields1);
}

void TDataImportFrm::PriBtn1Click() { ShowPage(pnlExcel1); }

void TDataImportFrm::Button8Click() { ShowPage(pnlTable1); }

bool TDataImportFrm::SourceRowBlank() const
{
    for (int i = 0; i < SourceTable1->FieldCount(); ++i) {
        TField* f = SourceTable1->Fields()->Fields(i);
        if (!f->IsNull() && !Trim(f->AsString()).empty()) return false;
    }
    return true;
}

int TDataImportFrm::ChosenSource(int k) const
{
    const std::string chosen = ValueListEditor1->Strings()->ValueFromIndex(k);
    if (chosen.empty()) return -1;
    return IndexOfText(ValueListEditor1->ItemProps(k)->PickList(), chosen);
}

void TDataImportFrm::Button9Click()
{
    TDataSet* staging = StagingSet();
    if (!staging) return;
    THourGlass wait;
    staging->DisableControls();
    struct TAfter {
        TDataSet* Data;
        ~TAfter()
        {
            Data->EnableControls();
            if (Data->Active()) Data->First();
        }
    } after{staging};
    ProgressBar1->SetMax(SourceTable1->RecordCount());
    int row = 0;
    for (SourceTable1->First(); !SourceTable1->Eof(); SourceTable1->Next()) {
        ++row;
        ProgressBar1->SetPosition(row);
        if (SourceRowBlank()) continue;
        staging->Append();
        TField* target = nullptr;
        try {
            for (int k = 0; k < int(FFields.size()) && k < ValueListEditor1->Strings()->Count(); ++k) {
                const int source = ChosenSource(k);
                if (source < 0 || source >= SourceTable1->FieldCount()) continue;
                target = FFields[size_t(k)];
                const Variant value = SourceTable1->Fields()->Fields(source)->Value();
                // A text the field cannot hold is refused, not cut short.
                if (target->Size() > 0 && (target->DataType() == ftString || target->DataType() == ftWideString) &&
                    !value.IsNull() && Length(VarToStr(value)) > target->Size())
                    throw Exception(Format("内容\"%s\"超过了 %d 个字", {VarToStr(value), target->Size()}));
                if (OnSetValue) OnSetValue(target, value);
            }
            target = nullptr;
            staging->Post();
        } catch (const Exception& e) {
            staging->Cancel();
            // The row as the spreadsheet numbers it: the titles are row 1.
            throw Exception(Format("\r\n源文件第 %d 行不能导入%s:\r\n%s", {row + 1,
                                   target ? "(" + target->DisplayLabel() + ")" : std::string(), e.Message()}));
        }
    }
    ProgressBar2->SetVisible(false);
    ShowPage(pnlDone1);
}

void TDataImportFrm::Button11Click()
{
    if (TDataSet* staging = StagingSet()) {
        staging->Close();
        staging->Open();
    }
    ProgressBar1->SetPosition(0);
    ShowPage(pnlFields1);
}

void TDataImportFrm::Button6Click()
{
    ProgressBar2->SetVisible(true);
    THourGlass wait;
    if (OnSave && OnSave()) {
        MessageBox("\r\n恭喜,数据导入成功.\t\t", "信息", MB_OK | MB_ICONINFORMATION);
        SetModalResult(mrOk);
    }
}

void TDataImportFrm::N2Click()
{
    TDataSet* staging = StagingSet();
    if (!staging || !staging->Active()) return;
    if (MessageBox("确定要删除所选中的行吗?", "警告", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
    // The selected rows go last first, so that no bookmark of a row still
    // to go moves while the others are deleted.
    staging->DisableControls();
    try {
        DBGrid1->Selection()->Rows()->DeleteSelectedRecords();
    } catch (...) {
        staging->EnableControls();
        throw;
    }
    staging->EnableControls();
}

// ---- the importers ------------------------------------------------------------------------

TImporter::~TImporter() = default;

bool TImporter::Execute()
{
    std::unique_ptr<TDataImportFrm> wizard(new TDataImportFrm(nullptr));
    Attach(wizard.get());
    return wizard->ShowModal() == mrOk;
}

void TImporter::Attach(TDataImportFrm* wizard)
{
    wizard->OnSave = [this] { return Save(); };
    wizard->OnSetValue = [this](TField* target, const Variant& value) { SetValue(target, value); };
    wizard->OnGetFields = [this](TTargetFields& fields) { GetFields(fields); };
    wizard->edtExample1->SetText(DataImport::ExamplePath(FExampleFile));
    wizard->DBGrid1->DataSource()->SetDataSet(FStaging);
}

void TImporter::SetValue(TField* target, const Variant& value) { target->SetValue(value); }

bool TImporter::Save()
{
    GDatabase->BeginTrans();
    bool ok = true;
    try {
        FStaging->First();
        while (ok && !FStaging->Eof()) {
            ok = SaveCurrent();
            FStaging->Next();
        }
    } catch (...) {
        GDatabase->RollbackTrans();
        throw;
    }
    if (ok)
        GDatabase->CommitTrans();
    else
        GDatabase->RollbackTrans();
    return ok;
}

namespace {
template <class TSet> std::unique_ptr<TSet> StagingOf()
{
    auto set = std::make_unique<TSet>();
    // Id -1 matches no row: an empty, open set of the entity's shape.
    set->Where()->IdFld->SetAsInteger(-1);
    set->Query();
    return set;
}
}  // namespace

TCarImporter::TCarImporter() : TImporter(nullptr, "cars.xls"), FSet(StagingOf<TCarSet>()) { FStaging = FSet->DataSet(); }
TCarImporter::~TCarImporter() { FSet->DataSet()->Close(); }

void TCarImporter::GetFields(TTargetFields& fields)
{
    TCarSet* s = FSet.get();
    fields.insert(fields.end(), {s->CarNoFld, s->BrandFld, s->PartNoFld, s->EnginoFld, s->CartypeFld, s->ManudateFld,
                                 s->BedNoFld, s->ColorFld, s->SeatsFld, s->WeightFld, s->NotesFld, s->BuydateFld,
                                 s->BuyFundFld});
}

bool TCarImporter::SaveCurrent()
{
    RCar r = FSet->GetData();
    return TCarSet::Save(r);
}

TEmployeeImporter::TEmployeeImporter() : TImporter(nullptr, "employees.xls"), FSet(StagingOf<TEmployeeSet>())
{
    FStaging = FSet->DataSet();
}
TEmployeeImporter::~TEmployeeImporter() { FSet->DataSet()->Close(); }

void TEmployeeImporter::GetFields(TTargetFields& fields)
{
    TEmployeeSet* s = FSet.get();
    fields.insert(fields.end(),
                  {s->NameFld, s->DutyFld, s->SexFld, s->TelFld, s->BirthdayFld, s->AddrFld, s->NotesFld});
}

bool TEmployeeImporter::SaveCurrent()
{
    REmployee r = FSet->AsData();
    return TEmployeeSet::Save(r);
}

TStudentImporter::TStudentImporter()
    : TImporter(nullptr, "students.xls"), FSet(StagingOf<TStudentSet>()), FEmployees(std::make_unique<TEmployeeSet>())
{
    FStaging = FSet->DataSet();
}
TStudentImporter::~TStudentImporter()
{
    FSet->DataSet()->Close();
    FEmployees->DataSet()->Close();
}

void TStudentImporter::GetFields(TTargetFields& fields)
{
    TStudentSet* s = FSet.get();
    fields.insert(fields.end(), {s->NameFld, s->SexFld, s->IdcodeFld, s->LinkTelFld, s->AddrFld, s->NativeFld,
                                 s->NotesFld, s->SigndateFld, s->DrivetypeFld, s->SalemanNameFld});
}

void TStudentImporter::SetValue(TField* target, const Variant& value)
{
    if (target->FieldName() != FSet->SalemanNameFld->FieldName()) {
        target->SetValue(value);
        return;
    }
    if (!FEmployees->DataSet()->Active()) FEmployees->Query();
    if (!value.IsNull() && FEmployees->DataSet()->Locate("Name", value, {})) {
        FSet->SalemanIdFld->SetValue(FEmployees->IdFld->Value());
        FSet->SalemanNameFld->SetValue(FEmployees->NameFld->Value());
    } else {
        FSet->SalemanIdFld->Clear();
    }
}

bool TStudentImporter::SaveCurrent()
{
    RStudent r = FSet->AsData();
    return TStudentSet::Save(r);
}
