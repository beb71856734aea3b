#include "DataExporter.h"

#include "DB.h"
#include "ExtCtrls.h"
#include "HostServices.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "XlsWorkbook.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>

QZ_CLASS_IMPL(TDataExporterFrm, TaFrm)

namespace DataExporter {

namespace {

std::string FieldText(const TExportColumn& column)
{
    return column.Field ? column.Field->AsString() : std::string();
}

void AppendHtmlCell(std::string& out, const std::string& text)
{
    out += "<td nowrap>";
    out += HtmlText(text);
    out += "&nbsp;</td>\r\n";
}

void AppendSeparated(std::string& out, const std::string& text, TExportFormat format)
{
    if (format == efCsv) {
        out += CsvField(text);
        out += ',';
    } else {
        out += TabField(text);
        out += '\t';
    }
}

}  // namespace

void ForEachRecord(TDataSet* data, const std::function<void()>& step)
{
    data->CheckActive();
    const TBookmark mark = data->Bookmark();
    data->DisableControls();
    struct TRestore {
        TDataSet* Data;
        const TBookmark& Mark;
        ~TRestore()
        {
            try {
                if (Data->Active() && !Mark.empty() && Data->BookmarkValid(Mark)) Data->GotoBookmark(Mark);
            } catch (const Exception&) {
                // The record went away meanwhile; the position stays where the walk ended.
            }
            Data->EnableControls();
        }
    } restore{data, mark};
    for (data->First(); !data->Eof(); data->Next()) step();
}

std::string HtmlText(const std::string& text)
{
    if (text.find_first_of("&<>\"") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string TabField(const std::string& text)
{
    if (text.find_first_of("\t\r\n") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;   // CR LF is one break
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string Render(TDataSet* data, const std::vector<TExportColumn>& columns, TExportFormat format, bool withRecords)
{
    std::string out;
    if (format == efHtml) {
        out += "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\r\n"
               "<title></title>\r\n</head>\r\n<body>\r\n<table>\r\n<tr>\r\n";
        for (const TExportColumn& c : columns) AppendHtmlCell(out, c.Caption);
        out += "</tr>\r\n";
        if (withRecords)
            ForEachRecord(data, [&] {
                out += "<tr>\r\n";
                for (const TExportColumn& c : columns) AppendHtmlCell(out, FieldText(c));
                out += "</tr>\r\n";
            });
        out += "</table>\r\n</body>\r\n</html>\r\n";
    } else {
        for (const TExportColumn& c : columns) AppendSeparated(out, c.Caption, format);
        out += "\r\n";
        if (withRecords)
            ForEachRecord(data, [&] {
                for (const TExportColumn& c : columns) AppendSeparated(out, FieldText(c), format);
                out += "\r\n";
            });
    }
    return Utf8ToGbk(out);
}

void WriteFile(const std::string& fileName, TDataSet* data, const std::vector<TExportColumn>& columns,
               TExportFormat format, bool withRecords)
{
    SaveFileWhole(fileName, Render(data, columns, format, withRecords));
}

std::string WorkbookBytes(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords)
{
    // A workbook of this format holds 65536 rows; the caption takes one.
    constexpr int kMaxRecords = 65535;
    if (withRecords) {
        data->CheckActive();
        if (data->RecordCount() > kMaxRecords)
            throw Exception(Format("共 %d 条记录, 超过了Excel文档能容纳的 %d 行, 请先筛选数据再导出.",
                                   {data->RecordCount(), kMaxRecords}));
    }
    TXlsWorkbook book;
    TXlsStyle textStyle;
    textStyle.NumberFormat = "@";
    const int style = book.AddStyle(textStyle);
    for (size_t c = 0; c < columns.size(); ++c) book.SetText(0, int(c), columns[c].Caption, style);
    if (withRecords) {
        int row = 1;
        ForEachRecord(data, [&] {
            for (size_t c = 0; c < columns.size(); ++c) book.SetText(row, int(c), FieldText(columns[c]), style);
            ++row;
        });
    }
    return book.SaveToString();
}

std::string ExportToWorkbook(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords)
{
    const std::string bytes = WorkbookBytes(data, columns, withRecords);
    static std::atomic<int> serial{0};
    const std::string fileName = (std::filesystem::temp_directory_path() /
                                  ("导出-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".xls"))
                                     .string();
    SaveFileWhole(fileName, bytes);
    if (ShellExecute("Open", fileName, "", ExtractFileDir(fileName), SW_SHOWNORMAL) <= 32)
        MessageDlg("Excel 没有正确安装!", mtError, {mbOK});
    return fileName;
}

std::string ExportToHtmlFile(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords,
                             bool countInQuestion)
{
    TSaveDialog dialog(nullptr);
    dialog.Filter = "网页文件(*.htm;*.html)|*.htm;*.html";
    dialog.DefaultExt = "html";
    if (!dialog.Execute()) return std::string();
    const std::string fileName = dialog.FileName;
    WriteFile(fileName, data, columns, efHtml, withRecords);
    const std::string question =
        countInQuestion ? "\r\n导出成功, 共 " + std::to_string(data ? data->RecordCount() : 0) +
                              " 条记录,是否现在就打开?    "
                        : std::string("\r\n导出成功,是否现在就打开?    ");
    if (MessageDlg(question, mtConfirmation, mbOKCancel) == mrOk) OpenFile(fileName);
    return fileName;
}

void OpenFile(const std::string& fileName)
{
    ShellExecute("Open", fileName, "", ExtractFileDir(fileName), SW_SHOWNORMAL);
}

}  // namespace DataExporter

// ---- the wizard ---------------------------------------------------------------------------------------

using namespace DataExporter;

namespace {

const char* const kFilters[] = {"文本文件(*.txt)|*.txt", "Microsoft Excel 电子表格 (*.xls)|*.xls",
                                "网页文件(*.htm;*.html)|*.htm;*.html", "CSV文件(*.csv)|*.csv"};
const char* const kExtensions[] = {"txt", "xls", "html", "csv"};

// Moves entry index of one list (texts and attached field indexes) to the end of the other.
void MoveEntry(TListBox* from, std::vector<int>& fromIndexes, TListBox* to, std::vector<int>& toIndexes, int index)
{
    to->Items()->Add(from->Items()->Strings(index));
    toIndexes.push_back(fromIndexes[size_t(index)]);
    from->Items()->Delete(index);
    fromIndexes.erase(fromIndexes.begin() + index);
}

}  // namespace

TDataExporterFrm::TDataExporterFrm(TComponent* AOwner, TDataSet* ADataSet) : TaFrm(AOwner), FDataSet(ADataSet)
{
    SetName("DataExporterFrm");
    SetCaption("导出...");
    SetClientSize(460, 330);
    PageControl1 = UiKit::Make<TPageControl>(this, this, 8, 8, 444, 276);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetCaption("选择数据列");
    TabSheet2 = new TTabSheet(this);
    TabSheet2->SetPageControl(PageControl1);
    TabSheet2->SetCaption("输出");

    UiKit::MakeLabel(this, TabSheet1, "可选项", 8, 6);
    ListBox1 = UiKit::Make<TListBox>(this, TabSheet1, 8, 24, 160, 170);
    UiKit::MakeLabel(this, TabSheet1, "已选项", 236, 6);
    ListBox2 = UiKit::Make<TListBox>(this, TabSheet1, 236, 24, 160, 170);
    AddBtn1 = UiKit::MakeButton(this, TabSheet1, " >", 176, 60, 52);
    RemoveBtn1 = UiKit::MakeButton(this, TabSheet1, "< ", 176, 96, 52);
    upBtn1 = UiKit::MakeButton(this, TabSheet1, "上移", 402, 60, 34);
    downBtn1 = UiKit::MakeButton(this, TabSheet1, "下移", 402, 96, 34);
    UiKit::MakeLabel(this, TabSheet1, "请从左边列表框中双击或点击\" >\"按钮选择要导出的数据列,用\"上移\"\"下移\"按钮调整它们的顺序.",
                     8, 202)
        ->SetWordWrap(true);

    RadioGroup1 = UiKit::Make<TRadioGroup>(this, TabSheet2, 8, 8, 420, 130);
    RadioGroup1->SetCaption("输出格式");
    for (const char* item : {"文本文件 (*.txt)", "Microsoft Excel电子表格 (*.xls)", "网页 (*.html)", "CSV文件 (*.csv)"})
        RadioGroup1->Items()->Add(item);
    auto* place = UiKit::Make<TGroupBox>(this, TabSheet2, 8, 146, 420, 70);
    place->SetCaption("输出位置");
    UiKit::MakeLabel(this, place, "文件", 10, 28);
    edtFileName1 = UiKit::Make<TEdit>(this, place, 44, 24, 270, 22);
    Button2 = UiKit::MakeButton(this, place, "浏览...", 322, 22);
    SaveDialog1 = new TSaveDialog(this);

    PriBtn1 = UiKit::MakeButton(this, this, "上一步(&P)", 56, 294);
    NxtBtn1 = UiKit::MakeButton(this, this, "下一步(&N)", 136, 294);
    Button1 = UiKit::MakeButton(this, this, "取消", 216, 294);
    Button1->SetCancel(true);
    Button1->SetModalResult(mrCancel);
    Button6 = UiKit::MakeButton(this, this, "帮助", 296, 294);

    ListBox1->OnClick = [this](TObject*) { UpdateButtons(); };
    ListBox1->OnDblClick = [this](TObject*) { AddBtn1Click(); };
    ListBox2->OnClick = [this](TObject*) { UpdateButtons(); };
    ListBox2->OnDblClick = [this](TObject*) { RemoveBtn1Click(); };
    AddBtn1->OnClick = [this](TObject*) { AddBtn1Click(); };
    RemoveBtn1->OnClick = [this](TObject*) { RemoveBtn1Click(); };
    upBtn1->OnClick = [this](TObject*) { MoveSelected(-1); };
    downBtn1->OnClick = [this](TObject*) { MoveSelected(1); };
    NxtBtn1->OnClick = [this](TObject*) { NxtBtn1Click(); };
    PriBtn1->OnClick = [this](TObject*) { PriBtn1Click(); };
    RadioGroup1->OnClick = [this](TObject*) { FormatChanged(); };
    Button2->OnClick = [this](TObject*) { Button2Click(); };
    Button6->OnClick = [this](TObject*) { ShowHelp(""); };

    if (FDataSet)
        for (int i = 0; i < FDataSet->FieldCount(); ++i) {
            ListBox1->Items()->Add(FDataSet->Fields()->Fields(i)->DisplayLabel());
            FAvailable.push_back(i);
        }
    for (TButton* b : {AddBtn1, RemoveBtn1, upBtn1, downBtn1}) b->SetEnabled(false);
    PriBtn1->SetEnabled(false);
    TabSheet2->SetTabVisible(false);
    TabSheet1->SetTabVisible(false);
    PageControl1->SetActivePage(TabSheet1);
}

void TDataExporterFrm::UpdateButtons()
{
    AddBtn1->SetEnabled(ListBox1->ItemIndex() >= 0);
    const bool chosen = ListBox2->ItemIndex() >= 0;
    RemoveBtn1->SetEnabled(chosen);
    upBtn1->SetEnabled(chosen);
    downBtn1->SetEnabled(chosen);
}

void TDataExporterFrm::AddBtn1Click(bool AFromControl)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0) return;
    MoveEntry(ListBox1, FAvailable, ListBox2, FChosen, index);
    const int count = ListBox1->Count();
    AddBtn1->SetEnabled(count > 0);
    if (count > 0) ListBox1->SetItemIndex(std::min(index, count - 1));
    if (AFromControl && ListBox1->CanFocus()) ListBox1->SetFocus();
}

void TDataExporterFrm::RemoveBtn1Click(bool AFromControl)
{
    const int index = ListBox2->ItemIndex();
    if (index < 0) return;
    MoveEntry(ListBox2, FChosen, ListBox1, FAvailable, index);
    const int count = ListBox2->Count();
    for (TButton* b : {RemoveBtn1, upBtn1, downBtn1}) b->SetEnabled(count > 0);
    if (count > 0) ListBox2->SetItemIndex(std::min(index, count - 1));
    if (AFromControl && ListBox2->CanFocus()) ListBox2->SetFocus();
}

void TDataExporterFrm::MoveSelected(int ADelta)
{
    const int index = ListBox2->ItemIndex();
    const int target = index + ADelta;
    if (index < 0 || target < 0 || target >= ListBox2->Count()) return;
    ListBox2->Items()->Move(index, target);
    std::swap(FChosen[size_t(index)], FChosen[size_t(target)]);
    ListBox2->SetItemIndex(target);
}

void TDataExporterFrm::NxtBtn1Click()
{
    const int page = PageControl1->ActivePageIndex();
    if (page >= PageControl1->PageCount() - 1) {
        SetModalResult(mrOk);
        return;
    }
    PageControl1->SetActivePageIndex(page + 1);
    PriBtn1->SetEnabled(true);
    if (page + 1 == PageControl1->PageCount() - 1) NxtBtn1->SetCaption("确定(&N)");
}

void TDataExporterFrm::PriBtn1Click()
{
    const int page = PageControl1->ActivePageIndex();
    if (page <= 0) return;
    PageControl1->SetActivePageIndex(page - 1);
    NxtBtn1->SetCaption("下一步(&N)");
    NxtBtn1->SetModalResult(mrNone);
    PriBtn1->SetEnabled(page - 1 > 0);
}

void TDataExporterFrm::FormatChanged()
{
    const int format = RadioGroup1->ItemIndex();
    if (format < 0 || format > efCsv) return;
    SaveDialog1->Filter = kFilters[format];
    SaveDialog1->DefaultExt = kExtensions[format];
    if (!edtFileName1->GetText().empty())
        edtFileName1->SetText(ChangeFileExt(edtFileName1->GetText(), std::string(".") + kExtensions[format]));
}

void TDataExporterFrm::Button2Click()
{
    if (SaveDialog1->Execute()) edtFileName1->SetText(SaveDialog1->FileName);
}

std::string TDataExporterFrm::SelectedFields() const
{
    return ListBox2->Items()->Text();
}

void TDataExporterFrm::SetSelectedFields(const std::string& AValue)
{
    TStringList lines;
    lines.SetText(AValue);
    for (int i = 0; i < lines.Count(); ++i) {
        const int index = ListBox1->Items()->IndexOf(lines.Strings(i));
        if (index < 0) continue;
        ListBox1->SetItemIndex(index);
        AddBtn1Click(false);
    }
}

bool TDataExporterFrm::CloseQuery()
{
    if (!TaFrm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    if (FChosen.empty()) {
        ShowMessage("没有选择任何要导出的列,请返回上一步并选择.");
        return false;
    }
    const int format = RadioGroup1->ItemIndex();
    if (format < 0) {
        ShowMessage("必须指定要导出的格式.");
        return false;
    }
    const std::string fileName = Trim(edtFileName1->GetText());
    if (fileName.empty()) {
        ShowMessage("必须指定要导出的文件位置.");
        if (edtFileName1->CanFocus()) edtFileName1->SetFocus();
        return false;
    }
    if (FileExists(fileName) &&
        MessageDlg("\r\n该文件已经存在,是否继续执行并覆盖文件?", mtWarning, mbYesNo) != mrYes)
        return false;
    std::vector<TExportColumn> columns;
    for (size_t i = 0; i < FChosen.size(); ++i)
        columns.push_back({ListBox2->Items()->Strings(int(i)), FDataSet->Fields()->Fields(FChosen[i])});
    WriteFile(fileName, FDataSet, columns, TExportFormat(format));
    if (MessageDlg("\r\n数据导出成功,共 " + std::to_string(FDataSet->RecordCount()) + "条记录,是否现在就打开?    ",
                   mtConfirmation, mbOKCancel) == mrOk)
        OpenFile(fileName);
    return true;
}
