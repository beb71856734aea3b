// The workbook import: the shipped example workbooks and workbooks the
// spreadsheet program writes from CSV, imported into each entity through
// the wizard's four pages; the automatic mapping, blank rows, the review's
// deletions, going back, the salesman looked up by name; every failure
// (a refused row, a save that fails or raises, a damaged workbook) leaving
// the database as it was.
#include "UiTestDb.h"

#include "ADODB.h"
#include "Bizs.h"
#include "ComCtrls.h"
#include "DataImport.h"
#include "Database.h"
#include "Streams.h"
#include "StringLists.h"
#include "Uis.h"
#include "ValEdit.h"
#include "XlsReader.h"
#include "XlsWorkbook.h"
#include "qzProj.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

const std::string kExamples = QZ_BINARY_DIR "/app/";

class DataImportTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        DataImport::StartUp();
        Exec("insert into employees (Id, Name, Duty) values (4, '李晓梅', '业务员'), (9, '王教练', '教练员')");
        Exec("insert into cars (Id, CarNo) values (6, '粤B00001')");
        Exec("insert into students (Id, Name) values (11, '老学员')");
    }
    void TearDown() override
    {
        Wizard.reset();
        DataImport::ShutDown();
        UiDbTest::TearDown();
    }

    // A wizard over the importer, shown but not modal, so the test drives it.
    TDataImportFrm* Open(TImporter& importer)
    {
        Wizard = std::make_unique<TDataImportFrm>(nullptr);
        importer.Attach(Wizard.get());
        Wizard->Show();
        GuiTest::ProcessEvents();
        return Wizard.get();
    }
    // File page to mapping page over the workbook's first sheet.
    void ToMapping(const std::string& file)
    {
        Wizard->edtExcelFile1->SetText(file);
        Wizard->Button3Click();
        ASSERT_EQ(Wizard->ActivePage(), Wizard->pnlTable1) << Rec.Messages().size();
        Wizard->NxtBtn1Click();
        ASSERT_EQ(Wizard->ActivePage(), Wizard->pnlFields1);
    }
    // The mapping as "target=source" lines.
    std::vector<std::string> Mapping() const
    {
        std::vector<std::string> out;
        TStrings* lines = Wizard->ValueListEditor1->Strings();
        for (int i = 0; i < lines->Count(); ++i) out.push_back(lines->Strings(i));
        return out;
    }
    int Count(const std::string& table) { return std::stoi(Value("select count(*) from " + table)); }
    std::string Counts() { return Value("select (select count(*) from students) || '/' || (select count(*) from cars) || '/' || (select count(*) from employees)"); }
    std::string KeepPicture(const std::string& name)
    {
        const char* dir = std::getenv("QZ_KEEP_PICTURES");
        return dir ? std::string(dir) + "/" + name : std::string();
    }
    // A workbook of the given rows (the first the titles) written by our writer.
    std::string Book(const std::string& name, const std::vector<std::vector<Variant>>& rows)
    {
        TXlsWorkbook book;
        TXlsStyle date;
        date.NumberFormat = "yyyy-mm-dd";
        const int dateStyle = book.AddStyle(date);
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const Variant& v = rows[r][c];
                if (v.IsNull()) continue;
                if (v.VType() == varDate) book.SetNumber(int(r), int(c), v.AsDate(), dateStyle);
                else if (VarIsNumeric(v)) book.SetNumber(int(r), int(c), v.AsDouble());
                else book.SetText(int(r), int(c), VarToStr(v));
            }
        const std::string file = Dir.File(name);
        book.SaveToFile(file);
        return file;
    }

    THostRecorder Rec;
    std::unique_ptr<TDataImportFrm> Wizard;
};

TEST_F(DataImportTest, ExampleWorkbooksImportIntoEachEntityWithIdsFromMaxPlusOne)
{
    struct TCase {
        const char* File;
        std::function<std::unique_ptr<TImporter>()> Make;
        const char* Check;   // the new rows as the database holds them
        const char* Expected;
    } cases[] = {
        {"cars.xls", [] { return std::unique_ptr<TImporter>(new TCarImporter()); },
         "select group_concat(Id || ':' || CarNo || ':' || Seats || ':' || substr(Manudate, 1, 10) || ':' || BuyFund, '|') "
         "from (select * from cars where Id > 6 order by Id)",
         "7:粤A12345学:5:2005-06-01:128000.0|8:粤A23456学:5:2006-03-15:112000.0|9:粤A34567学:3:2004-11-20:96000.0"},
        {"employees.xls", [] { return std::unique_ptr<TImporter>(new TEmployeeImporter()); },
         "select group_concat(Id || ':' || Name || ':' || Duty || ':' || substr(Birthday, 1, 10), '|') "
         "from (select * from employees where Id > 9 order by Id)",
         "10:张国强:教练员:1970-05-12|11:李晓梅:业务员:1982-09-03|12:王建华:教练员:1975-01-28"},
        {"students.xls", [] { return std::unique_ptr<TImporter>(new TStudentImporter()); },
         "select group_concat(Id || ':' || Name || ':' || substr(Signdate, 1, 10) || ':' || ifnull(SalemanId, '-'), '|') "
         "from (select * from students where Id > 11 order by Id)",
         "12:陈小明:2008-03-05:4|13:刘芳:2008-03-06:4|14:赵磊:2008-03-08:-"},
    };
    for (const TCase& c : cases) {
        auto importer = c.Make();
        Open(*importer);
        EXPECT_EQ(Wizard->edtExample1->GetText(), qzProj::ProgramFolder() + "/" + c.File);
        ToMapping(kExamples + c.File);
        // The example's titles are the display labels: every target is mapped.
        for (const std::string& line : Mapping()) {
            const size_t eq = line.find('=');
            EXPECT_EQ(line.substr(eq + 1), line.substr(0, eq)) << c.File;
        }
        Wizard->Button9Click();
        ASSERT_EQ(Wizard->ActivePage(), Wizard->pnlDone1);
        EXPECT_EQ(importer->Staging()->RecordCount(), 3) << c.File;
        Wizard->Button6Click();
        EXPECT_EQ(Wizard->ModalResult(), mrOk);
        EXPECT_EQ(Rec.Messages().back(), "\r\n恭喜,数据导入成功.\t\t");
        EXPECT_EQ(Value(c.Check), c.Expected) << c.File;
        Wizard.reset();
    }
}

TEST_F(DataImportTest, WorkbooksTheSpreadsheetProgramWritesImportToo)
{
    // Titles in a column order of their own, a salesman who is an employee
    // and one who is not, dates as the spreadsheet program reads them.
    const std::string dir = Dir.Path();
    SaveFileWhole(dir + "/stu.csv", "报名日期,姓名,业务员,报名车型,联系电话\n"
                                    "2009-12-31,孙悟空,李晓梅,C1,13800000000\n"
                                    "2010-01-02,猪八戒,不认识,B2,020-1234\n");
    SaveFileWhole(dir + "/car.csv", "车牌号,座位数,购买日期\n粤C11111,7,2007-07-07\n");
    SaveFileWhole(dir + "/emp.csv", "姓名,职务,出生日期\n唐僧,教练员,1960-02-29\n");
    RunTool("cd '" + dir + "' && HOME='" + dir + "' timeout 120 soffice --headless --infilter=CSV:44,34,76,1 "
            "--convert-to 'xls:MS Excel 97' --outdir '" + dir + "/lo' stu.csv car.csv emp.csv >/dev/null 2>&1");
    {
        TStudentImporter importer;
        Open(importer);
        ToMapping(dir + "/lo/stu.xls");
        Wizard->Button9Click();
        Wizard->Button6Click();
        EXPECT_EQ(Wizard->ModalResult(), mrOk);
    }
    EXPECT_EQ(Value("select group_concat(Id || ':' || Name || ':' || substr(Signdate, 1, 10) || ':' || "
                    "ifnull(SalemanId, '-') || ':' || Drivetype || ':' || LinkTel, '|') from "
                    "(select * from students where Id > 11 order by Id)"),
              "12:孙悟空:2009-12-31:4:C1:13800000000|13:猪八戒:2010-01-02:-:B2:020-1234");
    {
        TCarImporter importer;
        Open(importer);
        ToMapping(dir + "/lo/car.xls");
        Wizard->Button9Click();
        Wizard->Button6Click();
    }
    EXPECT_EQ(Value("select Id || ':' || CarNo || ':' || Seats || ':' || substr(Buydate, 1, 10) from cars where Id = 7"),
              "7:粤C11111:7:2007-07-07");
    {
        TEmployeeImporter importer;
        Open(importer);
        ToMapping(dir + "/lo/emp.xls");
        Wizard->Button9Click();
        Wizard->Button6Click();
    }
    EXPECT_EQ(Value("select Id || ':' || Name || ':' || Duty || ':' || substr(Birthday, 1, 10) from employees where Id = 10"),
              "10:唐僧:教练员:1960-02-29");
}

TEST_F(DataImportTest, MappingBlankRowsReviewAndGoingBack)
{
    TCarImporter importer;
    importer.Set()->SeatsFld->SetDisplayLabel("Seats");
    const std::string file =
        Book("cars.xls", {{"车牌号", "SEATS", "车身颜色", "其他"},
                          {"粤A1", 5, "白", "x"},
                          {Null(), Null(), Null(), Null()},
                          {"  ", Null(), Null(), Null()},
                          {Null(), Null(), Null(), "只有这一格"},
                          {"粤A3", 7, "蓝", Null()}});
    Open(importer);
    ToMapping(file);
    // Titles like a label (case aside) are taken; "车身颜色" is not "颜色".
    const std::vector<std::string> mapping = Mapping();
    ASSERT_EQ(mapping.size(), 13u);
    EXPECT_EQ(mapping[0], "车牌号=车牌号");
    EXPECT_EQ(mapping[7], "颜色=");
    EXPECT_EQ(mapping[8], "Seats=Seats");
    for (int k : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12}) EXPECT_EQ(mapping[size_t(k)].back(), '=') << mapping[size_t(k)];
    EXPECT_EQ(Wizard->ValueListEditor1->ItemProps(0)->PickList()->Text(), "车牌号\r\nSEATS\r\n车身颜色\r\n其他\r\n");
    // The operator maps the colour by hand.
    Wizard->ValueListEditor1->Strings()->SetValueFromIndex(7, "车身颜色");
    Wizard->Button9Click();
    TDataSet* staged = importer.Staging();
    // Blank rows are not staged; a row with one cell is.
    ASSERT_EQ(staged->RecordCount(), 3);
    EXPECT_EQ(Wizard->ProgressBar1->Position(), 5);
    EXPECT_EQ(Wizard->DBGrid1->Columns()->Count(), 13);
    EXPECT_EQ(Wizard->DBGrid1->Columns()->Items(0)->Title()->Caption(), "车牌号");
    staged->First();
    EXPECT_EQ(staged->FieldByName("Color")->AsString(), "白");
    EXPECT_TRUE(staged->FieldByName("Brand")->IsNull()) << "an unmapped target stays empty";
    staged->Next();
    EXPECT_TRUE(staged->FieldByName("CarNo")->IsNull());

    // Deleting the selected rows (the first and the last) keeps the middle one.
    staged->First();
    Wizard->DBGrid1->Selection()->Rows()->SetCurrentRowSelected(true);
    staged->Last();
    Wizard->DBGrid1->Selection()->Rows()->SetCurrentRowSelected(true);
    EXPECT_EQ(Wizard->DBGrid1->Selection()->Rows()->Count(), 2);
    Rec.Host->QueueMessageBox(IDCANCEL);
    Wizard->N2Click();
    EXPECT_EQ(staged->RecordCount(), 3) << "cancelled";
    Rec.Host->QueueMessageBox(IDOK);
    Wizard->N2Click();
    EXPECT_EQ(Rec.Messages().back(), "确定要删除所选中的行吗?");
    ASSERT_EQ(staged->RecordCount(), 1);
    staged->First();
    EXPECT_TRUE(staged->FieldByName("CarNo")->IsNull());

    // Back drops the staged rows; staging again makes them anew.
    Wizard->Button11Click();
    EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlFields1);
    EXPECT_EQ(staged->RecordCount(), 0);
    EXPECT_EQ(Wizard->ProgressBar1->Position(), 0);
    Wizard->Button9Click();
    EXPECT_EQ(staged->RecordCount(), 3);
    EXPECT_EQ(Count("cars"), 1) << "nothing is written before the last page's OK";
    Wizard->Button6Click();
    EXPECT_EQ(Value("select group_concat(Id || ':' || ifnull(CarNo, '-') || ':' || ifnull(Seats, '-') || ':' || "
                    "ifnull(Color, '-'), '|') from (select * from cars order by Id)"),
              "6:粤B00001:-:-|7:粤A1:5:白|8::-:|9:粤A3:7:蓝");
}

TEST_F(DataImportTest, SalesmanNamesMatchExactly)
{
    Exec("insert into employees (Id, Name, Duty) values (5, '李晓梅', '业务员')");   // a namesake: the first wins
    TStudentImporter importer;
    const std::string file = Book("s.xls", {{"姓名", "业务员"}, {"甲", "李晓梅"}, {"乙", "李晓"}, {"丙", " 李晓梅"}, {"丁", Null()}});
    Open(importer);
    ToMapping(file);
    Wizard->Button9Click();
    Wizard->Button6Click();
    EXPECT_EQ(Value("select group_concat(Name || ':' || ifnull(SalemanId, '-'), '|') from "
                    "(select * from students where Id > 11 order by Id)"),
              "甲:4|乙:-|丙:-|丁:-");
}

TEST_F(DataImportTest, AFailingSaveLeavesTheDatabaseAsItWas)
{
    const std::string file = Book("s.xls", {{"姓名"}, {"甲"}, {"坏"}, {"丙"}});
    const std::string before = Counts();
    struct {
        const char* Trigger;
        bool Raises;
    } cases[] = {
        // The database takes no row: the save is false, nothing said.
        {"create trigger t before insert on students when new.Name = '坏' begin select raise(ignore); end", false},
        // The database refuses the row: the error goes on to the caller.
        {"create trigger t before insert on students when new.Name = '坏' begin select raise(abort, 'no'); end", true},
    };
    for (const auto& c : cases) {
        Exec("drop trigger if exists t");
        Exec(c.Trigger);
        TStudentImporter importer;
        Open(importer);
        ToMapping(file);
        Wizard->Button9Click();
        const size_t said = Rec.Messages().size();
        if (c.Raises)
            EXPECT_THROW(Wizard->Button6Click(), Exception);
        else
            Wizard->Button6Click();
        EXPECT_EQ(Rec.Messages().size(), said) << c.Trigger;
        EXPECT_EQ(Wizard->ModalResult(), mrNone);
        EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlDone1);
        EXPECT_EQ(Counts(), before) << c.Trigger;
        EXPECT_FALSE(GDatabase->InTransaction());
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
}

TEST_F(DataImportTest, BadWorkbooksAndRowsAreRefusedClearly)
{
    const std::string before = Counts();
    TStudentImporter importer;
    Open(importer);
    // No such file: the warning, and the file page stays.
    Wizard->edtExcelFile1->SetText(Dir.File("none.xls"));
    Wizard->Button3Click();
    EXPECT_EQ(Rec.Messages().back(), "\r\n源文件" + Dir.File("none.xls") + "不存在,请检查.");
    EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlExcel1);
    // A damaged workbook: the reader's error, and the file page stays.
    const std::string good = Book("good.xls", {{"姓名"}, {"甲"}});
    SaveFileWhole(Dir.File("cut.xls"), ReadFileBytes(good).substr(0, 3000));
    Wizard->edtExcelFile1->SetText(Dir.File("cut.xls"));
    try {
        Wizard->Button3Click();
        ADD_FAILURE() << "a cut workbook opened";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlExcel1);
    // A sheet without rows has nothing to map.
    Wizard->edtExcelFile1->SetText(Book("titles.xls", {{"姓名", "性别"}}));
    Wizard->Button3Click();
    Wizard->NxtBtn1Click();
    EXPECT_EQ(Rec.Messages().back(), "\r\n工作表Sheet1$中没有可以导入的数据,请检查.");
    EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlTable1);

    // Rows the fields cannot take: the refusal names the row and the field;
    // the rows before it stay staged, the refused one does not.
    struct {
        std::vector<std::vector<Variant>> Rows;
        const char* Says;
    } cases[] = {
        {{{"姓名", "报名日期"}, {"甲", Variant::FromDate(39500)}, {"乙", "下个月"}}, "源文件第 3 行不能导入(报名日期)"},
        {{{"姓名", "性别"}, {"甲", "男"}, {"乙", "男男男男男男男"}}, "源文件第 3 行不能导入(性别):\r\n内容\"男男男男男男男\"超过了 6 个字"},
    };
    for (const auto& c : cases) {
        Wizard->Button11Click();
        ToMapping(Book("rows.xls", c.Rows));
        try {
            Wizard->Button9Click();
            ADD_FAILURE() << c.Says;
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
        }
        EXPECT_EQ(importer.Staging()->RecordCount(), 1) << c.Says;
        EXPECT_EQ(importer.Staging()->State(), dsBrowse);
        EXPECT_EQ(Wizard->ActivePage(), Wizard->pnlFields1);
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
    EXPECT_EQ(Counts(), before);
}

TEST_F(DataImportTest, TheListsOpenTheWizardAndTheExampleGoesToTheShell)
{
    // Through a list's Import, modally, cancelled on the first page.
    bool shown = false;
    TDialogScript script({[&] {
        auto* f = ShownForm<TDataImportFrm>();
        shown = f && f->ActivePage() == f->pnlExcel1 && f->Caption() == "导入" &&
                f->edtExample1->GetText() == qzProj::ProgramFolder() + "/students.xls";
        Rec.Host->QueueShellExecute(42);
        f->Button2Click();
        f->Button4->Click();
    }});
    TStudentList list;
    EXPECT_FALSE(list.Import());
    EXPECT_TRUE(shown);
    const auto calls = Rec.Host->CallsOf(THostCallKind::ShellExecute);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Caption, "open");
    EXPECT_EQ(calls[0].Text, qzProj::ProgramFolder() + "/students.xls");
    EXPECT_EQ(calls[0].Flags, SW_SHOWNORMAL);
}

TEST_F(DataImportTest, PicturesOfTheFourPages)
{
    if (KeepPicture("").empty()) GTEST_SKIP() << "QZ_KEEP_PICTURES is not set";
    TStudentImporter importer;
    Open(importer);
    Wizard->edtExample1->SetText(kExamples + "students.xls");
    Wizard->edtExcelFile1->SetText(kExamples + "students.xls");
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Wizard.get(), KeepPicture("DataImport1.png")));
    Wizard->Button3Click();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Wizard.get(), KeepPicture("DataImport2.png")));
    Wizard->NxtBtn1Click();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Wizard.get(), KeepPicture("DataImport3.png")));
    Wizard->Button9Click();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Wizard.get(), KeepPicture("DataImport4s.png")));
}

}  // namespace
