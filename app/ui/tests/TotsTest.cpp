// The statistics pivots over a small school: item columns in id order with
// their names, ticks from the students' pass lists, net fee sums per item
// and in the total, the criteria (quoted texts, whole-day upper bounds,
// receipt dates restricting the sums only) and a failed query.
#include "Tots.h"
#include "UiTestDb.h"

#include "DateUtils.h"
#include "SysUtils.h"

namespace {

class TotsTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        Exec("insert into examitems (Id, Name) values (7, '场地驾驶'), (3, '交规理论'), (12, '路考');"
             "insert into recitems (Id, Name) values (12, '培训费'), (2, '报名费');"
             "insert into employees (Id, Name) values (1, '王教练'), (2, '刘业务');"
             "insert into students (Id, Name, Sex, LinkTel, Signdate, Drivetype, SalemanId, Passinfo) values"
             " (1, '张三', '男', '1301', '2008-03-01', 'C1', 2, ',3,7,'),"
             " (2, '李四', '女', '1302', '2008-03-15 10:30:00', 'C1''X', null, null),"
             " (3, '王五', '男', '1303', '2008-04-02', 'B2', 2, '');"
             "insert into classes (StudentId, Classname, TeacherId) values (1, '普通班', 1), (2, '快班', 1);"
             "insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund) values"
             " (1, 1, '2008-03-02', 12, 1, 500), (2, 1, '2008-03-20', 12, -1, 200),"
             " (3, 1, '2008-03-02', 2, 1, 50), (4, 3, '2008-05-01', 12, 1, 800);");
    }

    // Each row's fields, "|"-joined, rows by StudentId.
    static std::map<int, std::string> Rows(TQzClientDataSet& pivot, const std::vector<std::string>& fields)
    {
        std::map<int, std::string> rows;
        TDataSet* ds = pivot.DataSet();
        for (ds->First(); !ds->Eof(); ds->Next()) {
            std::string line;
            for (size_t i = 0; i < fields.size(); ++i)
                line += (i ? "|" : "") + ds->FieldByName(fields[i])->DisplayText();
            rows[ds->FieldByName("StudentId")->AsInteger()] = line;
        }
        return rows;
    }
};

TEST_F(TotsTest, ColumnsFollowTheItemTablesInIdOrder)
{
    TExamTotal exam;
    TFareTotal fare;
    struct Expect {
        TQzClientDataSet* Pivot;
        std::vector<std::string> Names, Labels;
    };
    const std::vector<std::string> student{"StudentId", "StudentName", "Signdate", "Drivetype", "Sex", "LinkTel",
                                           "Classname"};
    const Expect cases[] = {
        {&exam, {"Item3", "Item7", "Item12"}, {"交规理论", "场地驾驶", "路考"}},
        {&fare, {"Item2", "Item12", "Amount"}, {"报名费", "培训费", "小计"}},
    };
    for (const auto& c : cases) {
        TFields* fields = c.Pivot->DataSet()->Fields();
        ASSERT_EQ(fields->Count(), int(student.size() + c.Names.size()));
        for (size_t i = 0; i < student.size(); ++i) {
            EXPECT_EQ(fields->Fields(int(i))->FieldName(), student[i]);
            EXPECT_EQ(fields->Fields(int(i))->Tag(), 0);
        }
        EXPECT_FALSE(fields->Fields(0)->Visible());
        EXPECT_EQ(fields->Fields(1)->DisplayLabel(), "学员姓名");
        for (size_t i = 0; i < c.Names.size(); ++i) {
            TField* f = fields->Fields(int(student.size() + i));
            EXPECT_EQ(f->FieldName(), c.Names[i]);
            EXPECT_EQ(f->DisplayLabel(), c.Labels[i]);
            EXPECT_TRUE(f->Visible());
            if (c.Names[i] != "Amount") {
                EXPECT_EQ(f->Tag(), std::stoi(c.Names[i].substr(4)));
                EXPECT_EQ(f->Alignment(), taCenter);
            } else {
                EXPECT_EQ(f->Tag(), 0);
            }
        }
    }
    EXPECT_TRUE(exam.DataSet()->FieldByName("Item12")->Is<TBooleanField>());
    EXPECT_TRUE(fare.DataSet()->FieldByName("Item12")->Is<TFloatField>());
    // Nothing is read until the window asks.
    EXPECT_EQ(exam.DataSet()->RecordCount(), 0);
}

TEST_F(TotsTest, ExamPivotTicksThePassedItems)
{
    TExamTotal exam;
    exam.Refresh();
    EXPECT_EQ(Rows(exam, {"StudentName", "Classname", "Item3", "Item7", "Item12"}),
              (std::map<int, std::string>{{1, "张三|普通班|√|√| "}, {2, "李四|快班| | | "}, {3, "王五|| | | "}}));
    exam.DataSet()->Locate("StudentId", 1, {});
    EXPECT_TRUE(exam.DataSet()->FieldByName("Item3")->AsBoolean());
    EXPECT_FALSE(exam.DataSet()->FieldByName("Item12")->AsBoolean());
    EXPECT_EQ(exam.DataSet()->FieldByName("Signdate")->AsDateTime(), EncodeDate(2008, 3, 1));
    // A second refresh replaces the rows.
    exam.Refresh();
    EXPECT_EQ(exam.DataSet()->RecordCount(), 3);
}

TEST_F(TotsTest, FeePivotSumsReceiptsLessRefundsPerItemAndInTheTotal)
{
    TFareTotal fare;
    fare.Refresh();
    EXPECT_EQ(Rows(fare, {"Item2", "Item12", "Amount"}),
              (std::map<int, std::string>{{1, "50|300|350"}, {2, "||0"}, {3, "|800|800"}}));

    // Receipt dates restrict the sums only: every student keeps a row.
    fare.Where()->Recdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 1));
    fare.Where()->Recdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 2));
    fare.Refresh();
    EXPECT_EQ(Rows(fare, {"Item2", "Item12", "Amount"}),
              (std::map<int, std::string>{{1, "50|500|550"}, {2, "||0"}, {3, "||0"}}));
}

TEST_F(TotsTest, CriteriaChooseTheStudents)
{
    struct Case {
        std::string Name;
        std::function<void(TTotalWhere*)> Set;
        std::string Students;
    };
    const Case cases[] = {
        {"none", [](TTotalWhere*) {}, "1,2,3"},
        // The upper bound takes in its whole day, time of day or not.
        {"sign-up period", [](TTotalWhere* w) {
             w->Signdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 2));
             w->Signdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 15));
         }, "2"},
        {"trainer", [](TTotalWhere* w) { w->TeacherIdFld->SetAsInteger(1); }, "1,2"},
        {"salesman", [](TTotalWhere* w) { w->SalesmanIdFld->SetAsInteger(2); }, "1,3"},
        {"class", [](TTotalWhere* w) { w->ClassnameFld->SetAsString("快班"); }, "2"},
        // Texts reach the statement quoted: an apostrophe is a letter, and
        // what looks like SQL matches nothing.
        {"apostrophe", [](TTotalWhere* w) { w->DrivetypeFld->SetAsString("C1'X"); }, "2"},
        {"injection", [](TTotalWhere* w) { w->DrivetypeFld->SetAsString("x' or '1'='1"); }, ""},
    };
    for (const auto& c : cases) {
        for (TQzClientDataSet* pivot : std::initializer_list<TQzClientDataSet*>{new TExamTotal, new TFareTotal}) {
            std::unique_ptr<TQzClientDataSet> owned(pivot);
            auto* total = static_cast<TCustomTotal*>(pivot);
            total->Where()->Clear();
            c.Set(total->Where());
            total->Refresh();
            EXPECT_EQ(Join(pivot->DataSet()->FieldByName("StudentId")), c.Students)
                << c.Name << " " << pivot->ClassName() << "\n" << total->StudentSql();
        }
    }
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(TotsTest, StatementsOfTheCriteria)
{
    TFareTotal fare;
    EXPECT_EQ(fare.StudentSql(), "select t.*, l.Classname from (students t left join classes l on l.StudentId=t.Id)  ");
    EXPECT_EQ(fare.ReceiptSql(),
              "select StudentId, RecItemId, sum(RecSign*Recfund) as Fundt from receipts  group by StudentId, RecItemId");
    fare.Where()->Recdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 31));
    fare.Where()->ClassnameFld->SetAsString("o'k");
    EXPECT_EQ(fare.StudentSql(), "select t.*, l.Classname from (students t left join classes l on l.StudentId=t.Id) "
                                 " where l.Classname='o''k' ");
    EXPECT_EQ(fare.ReceiptSql(), "select StudentId, RecItemId, sum(RecSign*Recfund) as Fundt from receipts  where "
                                 "Recdate<#2008-04-01# group by StudentId, RecItemId");
}

TEST_F(TotsTest, AFailedQueryLeavesNoRows)
{
    TFareTotal fare;
    fare.Refresh();
    ASSERT_EQ(fare.DataSet()->RecordCount(), 3);
    Exec("drop table receipts");
    EXPECT_ANY_THROW(fare.Refresh());
    EXPECT_TRUE(fare.DataSet()->Active());
    EXPECT_EQ(fare.DataSet()->RecordCount(), 0);
    EXPECT_FALSE(fare.DataSet()->ControlsDisabled());
    ASSERT_EQ(Rec.Messages().size(), 1u);
    EXPECT_NE(Rec.Messages()[0].find("receipts"), std::string::npos) << Rec.Messages()[0];
}

TEST_F(TotsTest, CriteriaRowsHoldTheirFields)
{
    TTotalWhere exam;
    TFareTotalWhere fare;
    EXPECT_EQ(exam.DataSet()->Fields()->Count(), 6);
    ASSERT_EQ(fare.DataSet()->Fields()->Count(), 8);
    EXPECT_EQ(fare.DataSet()->Fields()->Fields(6)->FieldName(), "Recdate1");
    EXPECT_EQ(fare.DataSet()->Fields()->Fields(7)->FieldName(), "Recdate2");
    EXPECT_EQ(fare.DataSet()->State(), dsInsert);
    EXPECT_TRUE(fare.Recdate1Fld->IsNull());
    EXPECT_FALSE(fare.Recdate1Fld->Visible());
    EXPECT_TRUE(fare.DrivetypeFld->Visible());
}

}  // namespace
