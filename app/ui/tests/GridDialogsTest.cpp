// The grids' dialogs (column choice, sort, batch update, the export wizard)
// and the export files: golden bytes per format, read back by the programs
// that read them (Python's csv module, LibreOffice, libfreexl, xmllint),
// and files that are replaced only once the new one is whole.
#include "GridWrapFixture.h"

#include "BatchUpdateFrm.h"
#include "DBGridTesting.h"
#include "DataExporter.h"
#include "DiskFull.h"
#include "ExtCtrls.h"
#include "SortFrm.h"
#include "StdCtrls.h"
#include "TextUtils.h"
#include "qzGridcx.h"
#include "xVisible.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// ---- column choice ------------------------------------------------------------------------------------

TEST_F(GridWrapTest, ColumnChoiceWritesTheMarksBackIntoTheCallersEntries)
{
    RColItems items{{0, "编号", true}, {1, "姓名", false}, {2, "性别", true}};
    TxVisibleFrm f(nullptr);
    f.SetColItems(items);
    EXPECT_EQ(f.Items(), &items);
    EXPECT_EQ(f.StringGrid1->Cells(0, 1), "姓名");
    EXPECT_EQ(f.StringGrid1->Cells(1, 0), "√");
    EXPECT_EQ(f.StringGrid1->Cells(1, 1), "");
    f.Show();
    GuiTest::ProcessEvents();
    ClickCell(f.StringGrid1, 1, 1);
    ClickCell(f.StringGrid1, 1, 0);
    f.StringGrid1->MoveRow(2, 0);   // 性别 dragged to the top keeps its mark
    f.Button3Click();
    EXPECT_EQ(f.ModalResult(), mrOk);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].ColumnIndex, 2);
    EXPECT_TRUE(items[0].Visible);
    EXPECT_EQ(items[1].ColumnIndex, 0);
    EXPECT_FALSE(items[1].Visible);
    EXPECT_EQ(items[2].ColumnIndex, 1);
    EXPECT_TRUE(items[2].Visible);
}

// ---- sort ---------------------------------------------------------------------------------------------

TEST_F(GridWrapTest, SortDialogListsSortableFieldsOnly)
{
    TSortFrm f(nullptr);
    Data()->FieldByName("Sex")->SetVisible(false);
    f.Init(Data(), false);
    // Notes is a memo; Sex is hidden.
    EXPECT_EQ(f.FieldNames(), (std::vector<std::string>{"Id", "Name", "Signdate"}));
    f.Init(Data(), true);
    EXPECT_EQ(f.FieldNames(), (std::vector<std::string>{"Id", "Name", "Sex", "Signdate"}));
    EXPECT_EQ(f.StringGrid1->RowCount(), 4);

    // Calculated and looked-up fields never sort.
    DBGridTest::TCoachLookup lookup = DBGridTest::MakeCoachLookup({"王教练"}, {1});
    f.Init(lookup.Students.get(), true);
    EXPECT_EQ(f.FieldNames(), (std::vector<std::string>{"Id", "CoachId"}));
}

TEST_F(GridWrapTest, SortDialogReadsAndWritesSortTexts)
{
    TSortFrm f(nullptr);
    f.Init(Data(), true);
    struct Case {
        std::string Text;
        std::string Read;
        std::vector<std::string> Order;   // the first rows
    };
    const Case cases[] = {
        {"Name ASC,Signdate DESC", "Name ASC,Signdate DESC", {"Name", "Signdate"}},
        {"", "", {}},
        // The title clicks' text: ascending columns carry no direction, DESC a blank after it.
        {"Signdate, Name DESC ", "Signdate ASC,Name DESC", {"Signdate", "Name"}},
        // Names the list lacks are passed over; case is ignored.
        {"Phone DESC,sex desc", "Sex DESC", {"Sex"}},
    };
    for (const Case& c : cases) {
        f.Init(Data(), true);
        f.SetSortString(c.Text);
        EXPECT_EQ(f.SortString(), c.Read) << c.Text;
        for (size_t i = 0; i < c.Order.size(); ++i) EXPECT_EQ(f.FieldNames()[i], c.Order[i]) << c.Text;
    }
    f.Init(Data(), true);
    f.SetSortString("Name ASC,Signdate DESC");
    EXPECT_EQ(f.StringGrid1->Cells(0, 0), "Name");
    EXPECT_EQ(f.StringGrid1->Cells(1, 0), "升序");
    EXPECT_EQ(f.StringGrid1->Cells(1, 1), "降序");
    EXPECT_EQ(f.SortLabels(), "Name 升序,Signdate 降序");
}

TEST_F(GridWrapTest, SortDialogRowsCycleAndMove)
{
    TSortFrm f(nullptr);
    f.Init(Data(), true);
    f.StringGrid1->SetRow(1);
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        f.StringGrid1DblClick();
        shown.push_back(f.StringGrid1->Cells(1, 1) + "/" + f.Directions()[1]);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"升序/ASC", "降序/DESC", "/", "升序/ASC"}));
    f.downBtn1Click();
    EXPECT_EQ(f.StringGrid1->Row(), 2);
    EXPECT_EQ(f.FieldNames()[2], "Name");
    EXPECT_EQ(f.StringGrid1->Cells(0, 2), "Name");
    f.StringGrid1->SetRow(0);
    f.downBtn1Click();
    f.upBtn1Click();
    f.upBtn1Click();   // at the top: nothing
    EXPECT_EQ(f.FieldNames()[0], "Id");
    EXPECT_FALSE(f.upBtn1->Enabled());
    EXPECT_EQ(f.SortString(), "Name ASC");
    // A row dragged takes its name and direction along.
    f.StringGrid1->MoveRow(2, 0);
    EXPECT_EQ(f.SortString(), "Name ASC");
    EXPECT_EQ(f.FieldNames()[0], "Name");
    EXPECT_EQ(f.Directions()[0], "ASC");
}

// ---- batch update -------------------------------------------------------------------------------------

TEST_F(GridWrapTest, BatchUpdateRefusesOkWithoutAnItem)
{
    TBatchUpdateFrm f(nullptr);
    EXPECT_EQ(f.Caption(), "修改");
    f.AddItem("姓名", "Name");
    f.SetModalResult(mrOk);
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_TRUE(Rec.Messages().empty());
    f.ComboBox1->SetItemIndex(0);
    EXPECT_TRUE(f.CloseQuery());
    EXPECT_EQ(f.ItemFieldName(), "Name");
    f.ComboBox1->SetItemIndex(-1);
    f.SetModalResult(mrCancel);
    EXPECT_TRUE(f.CloseQuery());
}

// ---- export files -------------------------------------------------------------------------------------

class ExportTest : public GridWrapTest {
protected:
    std::vector<DataExporter::TExportColumn> Columns() const
    {
        return {{"编号", Data()->FieldByName("Id")}, {"姓名", Data()->FieldByName("Name")},
                {"备注", Data()->FieldByName("Notes")}};
    }
    std::string Read(const std::string& file) const { return ReadFileBytes(file); }
};

TEST_F(ExportTest, FilesHoldTheirGoldenBytes)
{
    Data()->SetRecNo(3);
    const std::string text = "编号\t姓名\t备注\t\r\n"
                             "1\t王伟\t<b>A&B</b>\t\r\n"
                             "2\t李娜\tsay \"hi\", ok\t\r\n"
                             "3\t张敏\t\t\r\n"
                             "4\tO'Neil\tline1 line2 x\t\r\n"
                             "5\t陈静\t\t\r\n";
    const std::string csv = "编号,姓名,备注,\r\n"
                            "1,王伟,<b>A&B</b>,\r\n"
                            "2,李娜,\"say \"\"hi\"\", ok\",\r\n"
                            "3,张敏,,\r\n"
                            "4,O'Neil,\"line1\r\nline2\tx\",\r\n"
                            "5,陈静,,\r\n";
    auto row = [](const char* a, const char* b, const char* c) {
        return std::string("<tr>\r\n<td nowrap>") + a + "&nbsp;</td>\r\n<td nowrap>" + b + "&nbsp;</td>\r\n<td nowrap>" +
               c + "&nbsp;</td>\r\n</tr>\r\n";
    };
    const std::string html = "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\r\n"
                              "<title></title>\r\n</head>\r\n<body>\r\n<table>\r\n" +
                              row("编号", "姓名", "备注") + row("1", "王伟", "&lt;b&gt;A&amp;B&lt;/b&gt;") +
                              row("2", "李娜", "say &quot;hi&quot;, ok") + row("3", "张敏", "") +
                              row("4", "O'Neil", "line1\r\nline2\tx") + row("5", "陈静", "") +
                              "</table>\r\n</body>\r\n</html>\r\n";
    const std::pair<DataExporter::TExportFormat, std::string> cases[] = {
        {DataExporter::efText, text}, {DataExporter::efExcel, text}, {DataExporter::efCsv, csv},
        {DataExporter::efHtml, html}};
    for (const auto& [format, expected] : cases) {
        const std::string file = Dir.File("out" + std::to_string(int(format)));
        DataExporter::WriteFile(file, Data(), Columns(), format);
        EXPECT_EQ(Read(file), Utf8ToGbk(expected)) << "format " << int(format);
        EXPECT_EQ(Data()->RecNo(), 3) << "the position comes back";
    }
}

TEST_F(ExportTest, RealReadersReadTheFilesBack)
{
    // Python's csv module finds the same fields, the quoted ones whole.
    const std::string csv = Dir.File("list.csv");
    DataExporter::WriteFile(csv, Data(), Columns(), DataExporter::efCsv);
    const std::string py = RunTool("python3 -c \"import csv,sys\nfor r in csv.reader(open(sys.argv[1], encoding='gbk', "
                                   "newline='')): print('|'.join(r).replace('\\r','<CR>').replace('\\n','<LF>'))\" '" +
                                   csv + "'");
    EXPECT_EQ(py, "编号|姓名|备注|\n1|王伟|<b>A&B</b>|\n2|李娜|say \"hi\", ok|\n3|张敏||\n"
                  "4|O'Neil|line1<CR><LF>line2\tx|\n5|陈静||\n");

    // xmllint parses the page without complaint and finds the cells' text.
    const std::string html = Dir.File("list.html");
    DataExporter::WriteFile(html, Data(), Columns(), DataExporter::efHtml);
    const std::string lint =
        RunTool("xmllint --html --noout '" + html + "' 2>&1; xmllint --html --xpath 'string(//tr[2]/td[3])' '" + html +
                "' 2>/dev/null | iconv -f utf-8 -t utf-8");
    EXPECT_EQ(lint, "<b>A&B</b>\u00a0\n");

    // The grids' workbook: a caption row and text cells, read by LibreOffice.
    const std::string xls = Dir.File("list.xls");
    SaveFileWhole(xls, DataExporter::WorkbookBytes(Data(), Columns(), true));
    const std::string dir = Dir.Path();
    RunTool("cd '" + dir + "' && HOME='" + dir +
            "' timeout 120 soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
            dir + "/lo' '" + xls + "' >/dev/null 2>&1");
    const std::string fromWorkbook = ReadFileBytes(dir + "/lo/list.csv");
    EXPECT_EQ(fromWorkbook.rfind("编号,姓名,备注\n1,王伟,<b>A&B</b>\n", 0), 0u) << fromWorkbook;
    RunTool("cd '" + dir + "' && HOME='" + dir +
            "' timeout 120 soffice --headless --infilter='HTML (StarCalc)' --convert-to "
            "'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
            dir + "/lo2' '" + html + "' >/dev/null 2>&1");
    const std::string fromPage = ReadFileBytes(dir + "/lo2/list.csv");
    EXPECT_NE(fromPage.find("王伟"), std::string::npos) << fromPage;
    EXPECT_NE(fromPage.find("<b>A&B</b>"), std::string::npos) << fromPage;
}

TEST_F(ExportTest, AFailedExportLeavesTheOldFile)
{
    const std::string file = Dir.File("keep.csv");
    SaveFileWhole(file, "old");
    // The disk fills up part way.
    WithFileSizeLimit(40, [&] {
        EXPECT_ANY_THROW(DataExporter::WriteFile(file, Data(), Columns(), DataExporter::efCsv));
    });
    EXPECT_EQ(Read(file), "old");
    // The data set is closed.
    Data()->Close();
    EXPECT_ANY_THROW(DataExporter::WriteFile(file, Data(), Columns(), DataExporter::efHtml));
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 2);   // the database and the file
}

TEST_F(ExportTest, WorkbookExportOpensTheFileOrSaysNothingCanOpenIt)
{
    Rec.Host->QueueShellExecute(42);
    const std::string opened = DataExporter::ExportToWorkbook(Data(), Columns(), true);
    ASSERT_EQ(Rec.Host->CallsOf(THostCallKind::ShellExecute).size(), 1u);
    EXPECT_EQ(Rec.Host->CallsOf(THostCallKind::ShellExecute)[0].Text, opened);
    EXPECT_TRUE(Rec.Messages().empty());
    Rec.Host->QueueShellExecute(2);
    const std::string second = DataExporter::ExportToWorkbook(Data(), Columns(), true);
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{"Excel 没有正确安装!"});
    std::filesystem::remove(opened);
    std::filesystem::remove(second);
}

TEST_F(ExportTest, GridHtmlExportAsksForTheFileAndOffersToOpenIt)
{
    const std::string file = Dir.File("page.html");
    Rec.Host->QueueSaveFile({file});
    Rec.Host->QueueMessageDlg(mrOk);
    EXPECT_EQ(DataExporter::ExportToHtmlFile(Data(), Columns(), true, true), file);
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{"\r\n导出成功, 共 5 条记录,是否现在就打开?    "});
    EXPECT_EQ(Rec.Host->CallsOf(THostCallKind::ShellExecute).size(), 1u);
    EXPECT_NE(Read(file).find(Utf8ToGbk("王伟")), std::string::npos);
    Rec.Host->QueueSaveFile({});
    EXPECT_EQ(DataExporter::ExportToHtmlFile(Data(), Columns(), true, false), "");
}

// ---- the export wizard --------------------------------------------------------------------------------

TEST_F(ExportTest, WizardChoosesOrdersAndWritesColumns)
{
    TDataExporterFrm f(nullptr, Data());
    EXPECT_EQ(f.ListBox1->Count(), 5);
    EXPECT_FALSE(f.AddBtn1->Enabled());
    EXPECT_FALSE(f.PriBtn1->Enabled());
    f.SetSelectedFields("notes\r\nName\r\nPhone\r\n");
    EXPECT_EQ(f.SelectedFields(), "Notes\r\nName\r\n");
    EXPECT_EQ(f.ListBox1->Count(), 3);
    f.ListBox2->SetItemIndex(1);
    f.MoveSelected(-1);
    EXPECT_EQ(f.SelectedFields(), "Name\r\nNotes\r\n");
    EXPECT_EQ(f.ListBox2->ItemIndex(), 0);
    f.ListBox1->SetItemIndex(2);   // Signdate, the last available
    f.AddBtn1Click(false);
    EXPECT_EQ(f.ListBox1->ItemIndex(), 1);
    f.ListBox2->SetItemIndex(2);
    f.RemoveBtn1Click(false);
    EXPECT_EQ(f.SelectedFields(), "Name\r\nNotes\r\n");

    f.NxtBtn1Click();
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);
    EXPECT_EQ(f.NxtBtn1->Caption(), "确定(&N)");
    EXPECT_TRUE(f.PriBtn1->Enabled());
    f.PriBtn1Click();
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet1);
    EXPECT_EQ(f.NxtBtn1->Caption(), "下一步(&N)");
    f.NxtBtn1Click();

    const std::string file = Dir.File("chosen.txt");
    f.edtFileName1->SetText(file);
    f.RadioGroup1->SetItemIndex(3);
    f.FormatChanged();
    EXPECT_EQ(f.edtFileName1->GetText(), Dir.File("chosen.csv"));
    EXPECT_EQ(f.SaveDialog1->DefaultExt, "csv");
    Rec.Host->QueueMessageDlg(mrCancel);
    f.NxtBtn1Click();
    EXPECT_EQ(f.ModalResult(), mrOk);
    EXPECT_TRUE(f.CloseQuery());
    EXPECT_EQ(Read(Dir.File("chosen.csv")),
              Utf8ToGbk("Name,Notes,\r\n王伟,<b>A&B</b>,\r\n李娜,\"say \"\"hi\"\", ok\",\r\n张敏,,\r\n"
                        "O'Neil,\"line1\r\nline2\tx\",\r\n陈静,,\r\n"));
    EXPECT_EQ(Rec.Messages(), std::vector<std::string>{"\r\n数据导出成功,共 5条记录,是否现在就打开?    "});
    EXPECT_TRUE(Rec.Host->CallsOf(THostCallKind::ShellExecute).empty());
}

TEST_F(ExportTest, WizardRefusesToCloseUntilEverythingIsGiven)
{
    TDataExporterFrm f(nullptr, Data());
    f.SetModalResult(mrOk);
    EXPECT_FALSE(f.CloseQuery());
    f.SetSelectedFields("Name");
    EXPECT_FALSE(f.CloseQuery());
    f.RadioGroup1->SetItemIndex(0);
    f.edtFileName1->SetText("   ");
    EXPECT_FALSE(f.CloseQuery());
    const std::string file = Dir.File("there.txt");
    SaveFileWhole(file, "old");
    f.edtFileName1->SetText(file);
    Rec.Host->QueueMessageDlg(mrNo);
    EXPECT_FALSE(f.CloseQuery());
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"没有选择任何要导出的列,请返回上一步并选择.",
                                                        "必须指定要导出的格式.", "必须指定要导出的文件位置.",
                                                        "\r\n该文件已经存在,是否继续执行并覆盖文件?"}));
    Rec.Host->QueueMessageDlg(mrYes);
    Rec.Host->QueueMessageDlg(mrOk);
    EXPECT_TRUE(f.CloseQuery());
    EXPECT_EQ(Read(file), Utf8ToGbk("Name\t\r\n王伟\t\r\n李娜\t\r\n张敏\t\r\nO'Neil\t\r\n陈静\t\r\n"));
    EXPECT_EQ(Rec.Host->CallsOf(THostCallKind::ShellExecute).size(), 1u);
    // Cancel runs none of it.
    f.SetModalResult(mrCancel);
    EXPECT_TRUE(f.CloseQuery());
}

}  // namespace
