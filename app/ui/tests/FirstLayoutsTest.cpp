// The first layouts of the built-in database, printed over a small school:
// each report group's layout prepares without errors over the data sets its
// window hands over, and its PDF, read back by poppler's tools, shows the
// school's name, the students' Chinese names, the column captions and as
// many pages as the preview has (the page numbers say so too).
#include "Tots.h"
#include "UiTestDb.h"
#include "qzRep.h"

#include "Bizs.h"
#include "Objs.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxExportPDF.h"
#include "frxPreviewPages.h"

#include <cstdio>
#include <algorithm>
#include <filesystem>

namespace {

std::string BuiltInDatabase() { return std::string(QZ_BINARY_DIR) + "/app/pemtal.mdb"; }

class FirstLayoutsTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        // The school's own database as the build made it, with a term's records.
        GDatabase->SetConnected(false);
        ASSERT_TRUE(std::filesystem::exists(BuiltInDatabase())) << BuiltInDatabase();
        std::filesystem::copy_file(BuiltInDatabase(), File, std::filesystem::copy_options::overwrite_existing);
        std::string sql =
            "insert into Company (Id, CompanyName) values (1, '恒岳驾驶员培训学校');"
            "insert into examitems (Id, Name) values (3, '科目一'), (7, '科目二');"
            "insert into recitems (Id, Name) values (1, '报名费'), (2, '培训费');"
            "insert into employees (Id, Name) values (1, '王教练');";
        const char* family = "赵钱孙李周吴郑王冯陈";
        const char* given = "一二三四五六";
        for (int i = 1; i <= 60; ++i) {
            // Three-byte characters: the i-th family name and given name.
            const std::string name = std::string(family + 3 * ((i - 1) % 10), 3) +
                                     std::string(given + 3 * ((i - 1) / 10), 3) + "学员";
            sql += Format("insert into students (Id, Name, Sex, LinkTel, Signdate, Drivetype, Passinfo) values "
                          "(%d, '%s', '%s', '%s', '2008-03-%s', 'C1', '%s');",
                          {i, name, i % 2 ? "男" : "女", std::to_string(13900000000LL + i), (i % 28 < 9 ? "0" : "") + IntToStr(1 + i % 28),
                           i % 3 ? ",3," : ",3,7,"});
            sql += Format("insert into classes (StudentId, Classname, TeacherId) values (%d, '普通班', 1);", {i});
            sql += Format("insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund, Treasurer) "
                          "values (%d, %d, '2008-03-05', 2, 1, 3000, '张会计'), (%d, %d, '2008-03-06', 1, 1, 200, '张会计');",
                          {2 * i - 1, i, 2 * i, i});
            sql += Format("insert into exams (Id, StudentId, Appdate, Examdate, ItemId, Point, IsPass) values "
                          "(%d, %d, '2008-04-01', '2008-04-10', 3, %d, %d);",
                          {i, i, 60 + i % 40, i % 4 ? 1 : 0});
            if (i <= 20)
                sql += Format("insert into graduates (StudentId, Grantdate, Validate, DocumentNo, Drivetype, Handman) "
                              "values (%d, '2008-06-01', '2008-06-01', 'DA-%d', 'C1', '李');",
                              {i, i});
            if (i > 55)
                sql += Format("insert into dropouts (StudentId, Dropdate, Reasons, Retfund, Handman) values "
                              "(%d, '2008-05-02', '工作调动', 1500, '李');",
                              {i});
        }
        // A refund, so that the receipt list and the fee statistics net it out.
        sql += "insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund) values "
               "(500, 1, '2008-03-20', 2, -1, 1000);";
        RawExec(File, sql);
        ASSERT_TRUE(GDatabase->Connect(ConnStr()));
        GCompany->Load();
        Exec("insert or replace into operator (LoginId, Rights) values ('sa', '')");
        GOperator->Load("sa");
    }
    void TearDown() override
    {
        GOperator->Reset();
        UiDbTest::TearDown();
    }

    struct TPrinted {
        std::string Text;
        int Pages = 0;
        int PreviewPages = 0;
        std::string Errors;
    };

    // Prepares the group's first layout over the data sets and reads its PDF back.
    TPrinted Print(int group, const std::vector<TDataSet*>& dataSets)
    {
        TPrinted out;
        TProjRep rep;
        rep.AddDataSets(dataSets);
        const std::string id = Value(Format("select Id from report where GrpId=%d", {group}));
        rep.LoadReport(std::stoi(id));
        TfrxReport* r = rep.Report();
        r->EngineOptions()->SilentMode = true;
        if (!r->PrepareReport()) {
            out.Errors = r->Errors()->Text();
            return out;
        }
        out.PreviewPages = r->PreviewPages()->Count();
        const std::string pdf = Dir.File(Format("group%d.pdf", {group}));
        TfrxPDFExport filter;
        filter.ShowDialog = false;
        filter.FileName = pdf;
        EXPECT_TRUE(r->Export(&filter));
        out.Text = RunTool("pdftotext -layout '" + pdf + "' - 2>&1");
        const std::string info = RunTool("pdfinfo '" + pdf + "' 2>&1");
        const size_t at = info.find("Pages:");
        out.Pages = at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
        if (const char* keep = getenv("QZ_KEEP_PICTURES"))
            RunTool(Format("pdftoppm -png -r 60 -f 1 -l 1 '%s' '%s/first-layout-%d'", {pdf, std::string(keep), group}));
        return out;
    }
};

// Blanks aside: the reader keeps or drops them between characters as it likes.
std::string Squeezed(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

void ExpectHas(const std::string& text, const std::vector<std::string>& parts, const std::string& what)
{
    const std::string squeezed = Squeezed(text);
    for (const std::string& p : parts)
        EXPECT_NE(squeezed.find(Squeezed(p)), std::string::npos) << what << ": " << p << "\n" << text;
}

TEST_F(FirstLayoutsTest, TheBuiltInDatabaseHoldsOneTitledLayoutPerGroup)
{
    EXPECT_EQ(Column("select GrpId || ' ' || Title from report order by GrpId"),
              (std::vector<std::string>{"1001 退学学员记录表", "1002 毕业学员名册", "1003 收费明细表", "1004 考试明细表",
                                        "1005 学员考试情况表", "1006 学员收费一览表"}));
    EXPECT_EQ(Value("select count(*) from report where Fr3File is null or length(Fr3File) < 100"), "0");
}

TEST_F(FirstLayoutsTest, EveryGroupPrints)
{
    TDropoutSet dropouts;
    dropouts.Query();
    TGraduateSet graduates;
    graduates.Query();
    TReceiptSet receipts;
    receipts.Where()->Recdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 1));
    receipts.Query();
    TExamSet exams;
    exams.Query();
    TExamTotal examTotal;
    examTotal.Refresh();
    TFareTotal fareTotal;
    fareTotal.Refresh();

    struct Case {
        int Group;
        std::vector<TDataSet*> Data;
        std::vector<std::string> Shows;
        int Pages;
    };
    const std::vector<Case> cases{
        {1001, {dropouts.DataSet(), dropouts.Where()->DataSet()},
         {"退学学员记录表", "学员姓名", "退学原因", "吴六学员", "工作调动", "合计", "7,500.00"}, 1},
        {1002, {graduates.DataSet(), graduates.Where()->DataSet()},
         {"毕业学员名册", "档案编号", "赵一学员", "DA-20", "2008-06-01", "13900000001"}, 1},
        {1003, {receipts.DataSet(), receipts.Where()->DataSet()},
         {"收费明细表", "收费日期: 2008-03-01 至", "钱一学员", "培训费", "退款", "-1,000.00", "合计", "191,000.00"}, 3},
        {1004, {exams.DataSet(), exams.Where()->DataSet()},
         {"考试明细表", "科目一", "孙一学员", "2008-04-10", "通过"}, 2},
        {1005, {examTotal.DataSet(), examTotal.Where()->DataSet()},
         {"学员考试情况表", "科目一", "科目二", "李一学员", "√"}, 2},
        {1006, {fareTotal.DataSet(), fareTotal.Where()->DataSet()},
         {"学员收费一览表", "报名费", "培训费", "小计", "赵一学员", "2,000.00", "12,000.00", "179,000.00", "191,000.00"}, 2},
    };
    for (const Case& c : cases) {
        const TPrinted p = Print(c.Group, c.Data);
        ASSERT_EQ(p.Errors, "") << c.Group;
        EXPECT_EQ(p.Pages, c.Pages) << c.Group;
        EXPECT_EQ(p.Pages, p.PreviewPages) << c.Group;
        ExpectHas(p.Text, c.Shows, Format("group %d", {c.Group}));
        ExpectHas(p.Text, {"恒岳驾驶员培训学校", "制表: sa", Format("第 1 页 / 共 %d 页", {c.Pages})},
                  Format("group %d", {c.Group}));
    }
}

}  // namespace
