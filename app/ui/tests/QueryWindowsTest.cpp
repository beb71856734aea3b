// The query and statistics windows over a small school: every control's
// criterion (and the rows it finds) as one table per window, the reset,
// nothing queried before "查找", quoted texts and whole last days, the fee
// window's footer sums against SQL, printing through the report centre, the
// grid's menu, and the facade opening each window.
#include "DropoutQry.h"
#include "ExamQry.h"
#include "Facade.h"
#include "GraduateQry.h"
#include "RecQry.h"
#include "Reporter.h"
#include "TotalQry.h"
#include "Tots.h"
#include "UisGrids.h"
#include "UiTestDb.h"

#include "ComCtrls.h"
#include "DB.h"
#include "DBGridEh.h"
#include "DateUtils.h"
#include "Objs.h"
#include "SysUtils.h"
#include "qzProj.h"
#include "frxDBSet.h"
#include "qzRep.h"

#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

// One control's value and the criterion it must give.
template <class F> struct TMapCase {
    std::string Control;
    std::function<void(F&)> Set;
    std::string Criterion;   // the field of the criteria row
    std::string Value;       // as the test shows criteria
    int Rows;                // what "查找" lists then
};

class QueryWindowsTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        GOperator->Load("sa");
        Exec("insert into employees (Id, Name, Duty) values (1, '王教练', '教练员'), (2, 'O''Neil', '业务员'),"
             " (3, '刘教练', '教练员'), (4, '张业务', '业务员');"
             "insert into examitems (Id, Name) values (1, '科目一'), (2, '科目二');"
             "insert into recitems (Id, Name) values (1, '学费'), (2, '补考费');"
             "insert into options ([Key], [Label], [List]) values (0, ' ', '普通班,快班,O''K班'), (1, ' ', '张会计,O''Hara');"
             "insert into students (Id, Name, Sex, LinkTel, Signdate, Drivetype, SalemanId, Passinfo) values"
             " (1, '张三', '男', '1301', '2008-03-01', 'C1', 2, ',1,'),"
             " (2, '李四', '女', '1302', '2008-03-31 10:30:00', 'C1''X', 4, ',1,2,'),"
             " (3, '王五', '男', '1303', '2008-04-01', 'B2', 2, null);"
             "insert into classes (StudentId, Classname, TeacherId) values (1, '普通班', 1), (2, 'O''K班', 3),"
             " (3, '快班', 1);"
             "insert into exams (Id, StudentId, Appdate, Examdate, ItemId, Point, IsPass) values"
             " (1, 1, '2008-03-05', '2008-03-10', 1, 90, 1), (2, 2, '2008-03-20', '2008-03-31 09:00:00', 2, 85, 1),"
             " (3, 3, '2008-04-02', null, 1, 40, 0);"
             "insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund, Treasurer) values"
             " (1, 1, '2008-03-02', 1, 1, 500, '张会计'), (2, 1, '2008-03-20', 1, -1, 200, '张会计'),"
             " (3, 2, '2008-03-31 15:20:00', 2, 1, 80, 'O''Hara'), (4, 3, '2008-04-01', 1, 1, 800, '张会计');"
             "insert into graduates (StudentId, Grantdate, Drivetype, Takedate) values"
             " (1, '2008-05-31 11:00:00', 'C1', '2008-06-02'), (2, '2008-06-01', 'C1''X', null);"
             "insert into dropouts (StudentId, Dropdate, Reasons, Retfund) values"
             " (3, '2008-04-30 16:00:00', '家''里有事', 300), (2, '2008-05-02', '工作调动', 50);");
    }
    void TearDown() override
    {
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            if (auto* f = dynamic_cast<TQryWinFrm*>(Screen->Forms(i))) delete f;
        GOperator->Reset();
        UiDbTest::TearDown();
    }

    static void Choose(TComboBox* c, const std::string& item)
    {
        const int i = c->Items()->IndexOf(item);
        ASSERT_GE(i, 0) << item;
        c->SetItemIndex(i);
    }
    static TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }
    // A picker on the day, at a time of day the criterion must not keep.
    static void PickDay(Uis::TDateTimePicker* p, TDateTime day) { p->SetAsDateTime(day + 0.6); }
    // A criterion as the table shows it: "Null", a date, or the value's text.
    static std::string Shown(TField* f)
    {
        if (f->IsNull()) return "Null";
        if (f->DataType() == ftDateTime || f->DataType() == ftDate) return FormatDateTime("yyyy-mm-dd hh:nn", f->AsDateTime());
        return f->AsString();
    }

    // Each case from a reset window: only its criterion holds a value, and
    // the search finds its rows.
    template <class F> void CheckMapping(const std::vector<TMapCase<F>>& cases, int allRows)
    {
        F f(nullptr);
        for (const auto& c : cases) {
            f.btnReset1Click(nullptr);
            c.Set(f);
            f.Button1Click(nullptr);
            TFields* fields = f.CriteriaDataSet()->Fields();
            bool found = false;
            for (int i = 0; i < fields->Count(); ++i) {
                TField* field = fields->Fields(i);
                const bool mine = field->FieldName() == c.Criterion;
                found = found || mine;
                EXPECT_EQ(Shown(field), mine ? c.Value : "Null") << f.Caption() << " " << c.Control << " → " << field->FieldName();
            }
            EXPECT_TRUE(found) << c.Criterion;
            EXPECT_EQ(f.ResultDataSet()->RecordCount(), c.Rows) << f.Caption() << " " << c.Control;
        }
        // After a reset the search lists every record.
        f.btnReset1Click(nullptr);
        f.Button1Click(nullptr);
        EXPECT_EQ(f.ResultDataSet()->RecordCount(), allRows) << f.Caption();
        EXPECT_TRUE(Rec.Messages().empty());
    }
};

TEST_F(QueryWindowsTest, ExamDetailsCriteria)
{
    using C = TMapCase<TExamQryFrm>;
    CheckMapping<TExamQryFrm>(
        {
            C{"edtItem1", [](auto& f) { Choose(f.edtItem1, "科目一"); }, "ItemId", "1", 2},
            C{"edtIsPass1", [](auto& f) { Choose(f.edtIsPass1, "已通过"); }, "IsPass", "True", 2},
            C{"edtIsPass1", [](auto& f) { Choose(f.edtIsPass1, "未通过"); }, "IsPass", "False", 1},
            C{"edtIsPass1", [](auto& f) { Choose(f.edtIsPass1, "不限"); }, "IsPass", "Null", 3},
            C{"edtExamdate1", [](auto& f) { PickDay(f.edtExamdate1, Day(2008, 3, 11)); }, "Examdate1", "2008-03-11 00:00", 1},
            // The exam at nine on the last day is in.
            C{"edtExamdate2", [](auto& f) { PickDay(f.edtExamdate2, Day(2008, 3, 31)); }, "Examdate2", "2008-03-31 00:00", 2},
            C{"edtAppdate1", [](auto& f) { PickDay(f.edtAppdate1, Day(2008, 3, 20)); }, "Appdate1", "2008-03-20 00:00", 2},
            C{"edtAppdate2", [](auto& f) { PickDay(f.edtAppdate2, Day(2008, 3, 5)); }, "Appdate2", "2008-03-05 00:00", 1},
            C{"edtPoint1", [](auto& f) { f.edtPoint1->SetText("85"); }, "Point1", "85", 2},
            C{"edtPoint2", [](auto& f) { f.edtPoint2->SetText("85.5"); }, "Point2", "85.5", 2},
        },
        3);
}

TEST_F(QueryWindowsTest, ReceiptDetailsCriteria)
{
    using C = TMapCase<TRecQryFrm>;
    CheckMapping<TRecQryFrm>(
        {
            C{"edtFareItem1", [](auto& f) { Choose(f.edtFareItem1, "补考费"); }, "FareItemId", "2", 1},
            C{"edtSign1", [](auto& f) { Choose(f.edtSign1, "收款"); }, "SignId", "1", 3},
            C{"edtSign1", [](auto& f) { Choose(f.edtSign1, "退款"); }, "SignId", "-1", 1},
            C{"edtSign1", [](auto& f) { Choose(f.edtSign1, "不限"); }, "SignId", "Null", 4},
            C{"edtFund1", [](auto& f) { f.edtFund1->SetText("300"); }, "Fund1", "300", 2},
            C{"edtFund2", [](auto& f) { f.edtFund2->SetText("200"); }, "Fund2", "200", 2},
            C{"edtRecdate1", [](auto& f) { PickDay(f.edtRecdate1, Day(2008, 3, 20)); }, "Recdate1", "2008-03-20 00:00", 3},
            // The receipt at 15:20 on the last day is in.
            C{"edtRecdate2", [](auto& f) { PickDay(f.edtRecdate2, Day(2008, 3, 31)); }, "Recdate2", "2008-03-31 00:00", 3},
            C{"edtTreasurer1", [](auto& f) { Choose(f.edtTreasurer1, "O'Hara"); }, "Treasurer", "O'Hara", 1},
            C{"edtTreasurer1", [](auto& f) { f.edtTreasurer1->SetText("张会计"); }, "Treasurer", "张会计", 3},
        },
        4);
}

// The student criteria both statistics windows share; the pivots list one
// row per student.
template <class F> std::vector<TMapCase<F>> StudentCases()
{
    using C = TMapCase<F>;
    auto day = [](int y, int m, int d) { return EncodeDate(y, m, d) + 0.6; };
    return {
        C{"edtSigndate1", [=](F& f) { f.edtSigndate1->SetAsDateTime(day(2008, 3, 2)); }, "Signdate1", "2008-03-02 00:00", 2},
        // Signed up at 10:30 on the last day: in.
        C{"edtSigndate2", [=](F& f) { f.edtSigndate2->SetAsDateTime(day(2008, 3, 31)); }, "Signdate2", "2008-03-31 00:00", 2},
        C{"edtTeacher1", [](F& f) { f.edtTeacher1->SetItemIndex(f.edtTeacher1->Items()->IndexOf("王教练")); }, "TeacherId", "1", 2},
        C{"edtSalesman1", [](F& f) { f.edtSalesman1->SetItemIndex(f.edtSalesman1->Items()->IndexOf("张业务")); }, "SalesmanId", "4", 1},
        C{"edtDrivetype1", [](F& f) { f.edtDrivetype1->SetText("C1'X"); }, "Drivetype", "C1'X", 1},
        C{"edtClassname1", [](F& f) { f.edtClassname1->SetText("O'K班"); }, "Classname", "O'K班", 1},
    };
}

TEST_F(QueryWindowsTest, StatisticsCriteria)
{
    CheckMapping<TExamTotalFrm>(StudentCases<TExamTotalFrm>(), 3);

    using C = TMapCase<TFareTotalFrm>;
    auto fare = StudentCases<TFareTotalFrm>();
    // The receipt period limits the sums, never the students.
    fare.push_back(C{"edtRecdate1", [](auto& f) { PickDay(f.edtRecdate1, Day(2008, 3, 20)); }, "Recdate1", "2008-03-20 00:00", 3});
    fare.push_back(C{"edtRecdate2", [](auto& f) { PickDay(f.edtRecdate2, Day(2008, 3, 31)); }, "Recdate2", "2008-03-31 00:00", 3});
    CheckMapping<TFareTotalFrm>(fare, 3);
}

TEST_F(QueryWindowsTest, GraduatesCriteria)
{
    using C = TMapCase<TGraduateQryFrm>;
    CheckMapping<TGraduateQryFrm>(
        {
            C{"edtGrantdate1", [](auto& f) { PickDay(f.edtGrantdate1, Day(2008, 6, 1)); }, "Grantdate1", "2008-06-01 00:00", 1},
            // Granted at 11:00 on the last day: in.
            C{"edtGrantdate2", [](auto& f) { PickDay(f.edtGrantdate2, Day(2008, 5, 31)); }, "Grantdate2", "2008-05-31 00:00", 1},
            C{"edtDrivetype1", [](auto& f) { f.edtDrivetype1->SetText("C1'X"); }, "Drivetype", "C1'X", 1},
            C{"edtTakeIf1", [](auto& f) { Choose(f.edtTakeIf1, "已领取"); }, "TakeIf", "True", 1},
            C{"edtTakeIf1", [](auto& f) { Choose(f.edtTakeIf1, "未领取"); }, "TakeIf", "False", 1},
            C{"edtTakeIf1", [](auto& f) { Choose(f.edtTakeIf1, "不限"); }, "TakeIf", "Null", 2},
            C{"edtSaleman1", [](auto& f) { Choose(f.edtSaleman1, "O'Neil"); }, "SalesmanId", "2", 1},
            C{"edtTeacher1", [](auto& f) { Choose(f.edtTeacher1, "刘教练"); }, "TeacherId", "3", 1},
            C{"edtClassname1", [](auto& f) { Choose(f.edtClassname1, "普通班"); }, "Classname", "普通班", 1},
        },
        2);
}

TEST_F(QueryWindowsTest, DropoutsCriteria)
{
    using C = TMapCase<TDropoutQryFrm>;
    CheckMapping<TDropoutQryFrm>(
        {
            C{"edtDropdate1", [](auto& f) { PickDay(f.edtDropdate1, Day(2008, 5, 1)); }, "Dropdate1", "2008-05-01 00:00", 1},
            // Dropped out at 16:00 on the last day: in.
            C{"edtDropdate2", [](auto& f) { PickDay(f.edtDropdate2, Day(2008, 4, 30)); }, "Dropdate2", "2008-04-30 00:00", 1},
            C{"edtDrivetype1", [](auto& f) { f.edtDrivetype1->SetText("B2"); }, "Drivetype", "B2", 1},
            C{"edtClassname1", [](auto& f) { Choose(f.edtClassname1, "快班"); }, "Classname", "快班", 1},
            C{"edtSalesman1", [](auto& f) { Choose(f.edtSalesman1, "张业务"); }, "SalesmanId", "4", 1},
            C{"edtTeacher1", [](auto& f) { Choose(f.edtTeacher1, "王教练"); }, "TeacherId", "1", 1},
            C{"edtReason1", [](auto& f) { f.edtReason1->SetText("家'里"); }, "Reasons", "家'里", 1},
            C{"edtRetfund1", [](auto& f) { f.edtRetfund1->SetText("100"); }, "Retfund1", "100", 1},
            C{"edtRetfund2", [](auto& f) { f.edtRetfund2->SetText("100"); }, "Retfund2", "100", 1},
        },
        2);
}

// Every window, made by the facade's class, with what it prints and where.
struct TWindowKind {
    const char* Caption;
    const char* Help;
    std::function<TQryWinFrm*()> Make;
    void (*Show)();
    int Layout, Group;
};

std::vector<TWindowKind> Kinds()
{
    return {
        {"考试明细表", "ExamQry", [] { return new TExamQryFrm(nullptr); }, Facade::ShowExamQuery, 1014, 1004},
        {"收费明细表", "RecQry", [] { return new TRecQryFrm(nullptr); }, Facade::ShowReceiptQuery, 1015, 1003},
        {"学员考试情况表", "ExamTotal", [] { return new TExamTotalFrm(nullptr); }, Facade::ShowExamTotal, 1016, 1005},
        {"学员收费一览表", "FareTotal", [] { return new TFareTotalFrm(nullptr); }, Facade::ShowFareTotal, 1017, 1006},
        {"毕业学员", "GraduateQry", [] { return new TGraduateQryFrm(nullptr); }, Facade::ShowGraduates, 1018, 1002},
        {"退学学员记录表", "DropoutQry", [] { return new TDropoutQryFrm(nullptr); }, Facade::ShowDropouts, 1019, 1001},
    };
}

TEST_F(QueryWindowsTest, NothingIsQueriedBeforeTheSearch)
{
    // Without the tables the results come from, making a window still
    // works; only "查找" reaches them.
    Exec("alter table exams rename to exams0; alter table receipts rename to receipts0;"
         "alter table graduates rename to graduates0; alter table dropouts rename to dropouts0;"
         "alter table classes rename to classes0;");
    for (const TWindowKind& k : Kinds()) {
        const size_t before = Rec.Messages().size();
        std::unique_ptr<TQryWinFrm> f(k.Make());
        EXPECT_EQ(f->Caption(), k.Caption);
        EXPECT_EQ(f->DBGrid1->LayoutId(), k.Layout);
        EXPECT_EQ(Rec.Messages().size(), before) << k.Caption;
        EXPECT_TRUE(!f->ResultDataSet()->Active() || f->ResultDataSet()->RecordCount() == 0) << k.Caption;
        EXPECT_GT(f->DBGrid1->Columns()->Count(), 0) << k.Caption;
        EXPECT_ANY_THROW(f->Button1Click(nullptr)) << k.Caption;
        ASSERT_EQ(Rec.Messages().size(), before + 1) << k.Caption;
        EXPECT_NE(Rec.Messages().back().find("SQL语句错误"), std::string::npos) << Rec.Messages().back();
    }
}

TEST_F(QueryWindowsTest, ResetClearsEveryControl)
{
    for (const TWindowKind& k : Kinds()) {
        std::unique_ptr<TQryWinFrm> f(k.Make());
        // Every control given a value ...
        for (int i = 0; i < f->ComponentCount(); ++i) {
            TComponent* c = f->Components(i);
            if (auto* combo = dynamic_cast<Uis::TComboBox*>(c)) {
                ASSERT_GT(combo->Items()->Count(), 0) << k.Caption;
                combo->SetItemIndex(0);
            } else if (auto* edit = dynamic_cast<Uis::TEdit*>(c)) {
                edit->SetText("12");
            } else if (auto* picker = dynamic_cast<Uis::TDateTimePicker*>(c)) {
                picker->SetAsDateTime(Day(2001, 2, 3));
            }
        }
        f->btnReset1->Click();
        const TDateTime now = Now();
        int controls = 0;
        for (int i = 0; i < f->ComponentCount(); ++i) {
            TComponent* c = f->Components(i);
            if (auto* combo = dynamic_cast<Uis::TComboBox*>(c)) {
                EXPECT_EQ(combo->ItemIndex(), -1) << k.Caption;
                EXPECT_EQ(combo->GetText(), "") << k.Caption;
                ++controls;
            } else if (auto* edit = dynamic_cast<Uis::TEdit*>(c)) {
                EXPECT_EQ(edit->GetText(), "") << k.Caption;
                ++controls;
            } else if (auto* picker = dynamic_cast<Uis::TDateTimePicker*>(c)) {
                EXPECT_FALSE(picker->Checked()) << k.Caption;
                EXPECT_TRUE(VarIsNull(picker->AsDate())) << k.Caption;
                EXPECT_LT(std::abs(picker->DateTime() - now), 1.0 / 24) << k.Caption;
                ++controls;
            }
        }
        EXPECT_GE(controls, 6) << k.Caption;
        // ... and the search after it chooses nothing.
        f->Button1Click(nullptr);
        TFields* criteria = f->CriteriaDataSet()->Fields();
        for (int i = 0; i < criteria->Count(); ++i)
            EXPECT_TRUE(criteria->Fields(i)->IsNull()) << k.Caption << " " << criteria->Fields(i)->FieldName();
    }
}

TEST_F(QueryWindowsTest, ANumberEditHoldingTextStopsTheSearch)
{
    TRecQryFrm f(nullptr);
    f.edtFund1->SetText("12x");
    EXPECT_THROW(f.Button1Click(nullptr), EConvertError);
    EXPECT_FALSE(f.ResultDataSet()->Active());
}

TEST_F(QueryWindowsTest, FeeFooterSumsEqualTheReceiptsOfTheListedStudents)
{
    struct Case {
        std::function<void(TFareTotalFrm&)> Set;
        std::string Students;   // the students the criteria list, as SQL
        std::string Period;     // the receipts counted, as SQL
    };
    const Case cases[] = {
        {[](TFareTotalFrm& f) { Choose(f.edtSalesman1, "O'Neil"); }, "SalemanId=2", "1=1"},
        {[](TFareTotalFrm& f) { PickDay(f.edtRecdate2, Day(2008, 3, 31)); }, "1=1", "Recdate<'2008-04-01'"},
        {[](TFareTotalFrm&) {}, "1=1", "1=1"},
    };
    TFareTotalFrm f(nullptr);
    EXPECT_EQ(f.DBGrid1->FooterRowCount(), 1);
    EXPECT_TRUE(f.DBGrid1->SumList()->Active());
    for (const Case& c : cases) {
        f.btnReset1Click(nullptr);
        c.Set(f);
        f.Button1Click(nullptr);
        const std::string where = " from receipts where StudentId in (select Id from students where " + c.Students +
                                  ") and " + c.Period;
        for (const char* field : {"Item1", "Item2", "Amount"}) {
            TColumnEh* column = f.DBGrid1->FindColumnByField(f.Pivot()->DataSet()->FieldByName(field));
            ASSERT_NE(column, nullptr) << field;
            EXPECT_EQ(column->Footer()->ValueType(), fvtSum) << field;
            std::string sql = "select coalesce(sum(RecSign*Recfund), 0)" + where;
            if (std::string(field) != "Amount") sql += " and RecItemId=" + std::string(field).substr(4);
            EXPECT_DOUBLE_EQ(StrToFloat(StringReplace(f.DBGrid1->FooterValueText(column, 0), ",", "", TReplaceFlags{rfReplaceAll})),
                             StrToFloat(Value(sql)))
                << field << " " << c.Students << " " << c.Period;
        }
    }
    // The student columns show no sum.
    EXPECT_EQ(f.DBGrid1->FindColumnByField(f.Pivot()->DataSet()->FieldByName("StudentName"))->Footer()->ValueType(), fvtNon);
}

TEST_F(QueryWindowsTest, PrintHandsTheRowsTheCriteriaAndTheGroupToTheReportCentre)
{
    for (const TWindowKind& k : Kinds()) {
        std::unique_ptr<TQryWinFrm> f(k.Make());
        f->Button1Click(nullptr);
        int group = 0;
        std::vector<std::string> names;
        std::vector<TDataSet*> sets;
        TDialogScript script({[&] {
            auto* r = ShownForm<TReporterFrm>();
            ASSERT_NE(r, nullptr);
            group = r->GroupId();
            for (TfrxDBDataset* link : r->Reper()->DataSetLinks()) {
                names.push_back(link->Name());
                sets.push_back(link->DataSet());
            }
            r->SetModalResult(mrCancel);
        }});
        f->ToolButton1->Click();
        EXPECT_EQ(group, k.Group) << k.Caption;
        EXPECT_EQ(names, (std::vector<std::string>{"d0", "d1"})) << k.Caption;
        EXPECT_EQ(sets, (std::vector<TDataSet*>{f->ResultDataSet(), f->CriteriaDataSet()})) << k.Caption;
        EXPECT_NE(f->CriteriaDataSet(), nullptr);
    }
    // Without the print right nothing shows.
    GOperator->LoginId = "bob";
    GOperator->Rights = ",10004,";
    TExamQryFrm f(nullptr);
    const size_t before = Rec.Messages().size();
    EXPECT_THROW(f.ToolButton1Click(nullptr), EAbort);
    ASSERT_EQ(Rec.Messages().size(), before + 1);
    EXPECT_NE(Rec.Messages().back().find("(10002)"), std::string::npos);
}

TEST_F(QueryWindowsTest, FacadeOpensEachWindowAndExitFreesIt)
{
    for (const TWindowKind& k : Kinds()) {
        k.Show();
        GuiTest::ProcessEvents();
        TQryWinFrm* shown = nullptr;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* f = dynamic_cast<TQryWinFrm*>(Screen->Forms(i)); f && f->Visible()) shown = f;
        ASSERT_NE(shown, nullptr) << k.Caption;
        EXPECT_EQ(shown->Caption(), k.Caption);
        EXPECT_EQ(shown->FormStyle(), fsStayOnTop);
        EXPECT_EQ(shown->ToolButton3->Caption(), "  退出  ");
        // F1 opens the window's own help page.
        shown->ShowHelp("");
        const auto opened = Rec.Host->CallsOf(THostCallKind::ShellExecute);
        ASSERT_FALSE(opened.empty());
        EXPECT_EQ(opened.back().Text, qzProj::ProgramFolder() + "/help/" + k.Help + ".htm");

        // "高级" drops the grid's menu down under the button.
        std::vector<std::string> menu;
        GuiTest::Later([&] {
            for (const auto& item : GuiTest::ShownPopupMenu()) menu.push_back(item.Caption);
            GuiTest::ClosePopupMenu();
        });
        shown->ToolButton2->Click();
        EXPECT_FALSE(menu.empty()) << k.Caption;
        EXPECT_EQ(shown->ToolButton2->DropdownMenu(), shown->DBGrid1->PopupMenuQz());

        if (const char* dir = std::getenv("QZ_KEEP_PICTURES")) {
            shown->Button1->Click();
            GuiTest::ProcessEvents();
            EXPECT_TRUE(GuiTest::SavePng(shown, std::string(dir) + "/" + shown->ClassName() + ".png")) << k.Caption;
        }

        shown->ToolButton3->Click();
        GuiTest::ProcessEvents();
        for (int i = 0; i < Screen->FormCount(); ++i)
            EXPECT_EQ(dynamic_cast<TQryWinFrm*>(Screen->Forms(i)), nullptr) << k.Caption << " is still there";
    }
}

}  // namespace
