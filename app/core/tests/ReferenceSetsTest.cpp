#include "Bizs.h"

#include "TestDb.h"

class ReferenceSetsTest : public DbTest {};

TEST_F(ReferenceSetsTest, NewRowsTakeMaxPlusOneAndUpdatesNeedTheirRow)
{
    RRecitem a{0, "学费", ""};
    ASSERT_TRUE(TRecitemSet::Save(a));
    EXPECT_EQ(a.Id, 1);
    RRecitem b{0, "考试费", "x"};
    ASSERT_TRUE(TRecitemSet::Save(b));
    EXPECT_EQ(b.Id, 2);
    Exec("insert into recitems values (10, 'gap', '')");
    RRecitem c{0, "c", ""};
    ASSERT_TRUE(TRecitemSet::Save(c));
    EXPECT_EQ(c.Id, 11);

    b.Name = "补考费";
    EXPECT_TRUE(TRecitemSet::Save(b));
    EXPECT_EQ(Value("select Name from recitems where Id=2"), "补考费");

    RRecitem ghost{77, "ghost", ""};
    EXPECT_FALSE(TRecitemSet::Save(ghost)) << "a positive id that matches no row inserts nothing";
    EXPECT_EQ(ghost.Id, 77);
    EXPECT_EQ(Count("recitems"), 4);

    EXPECT_TRUE(TRecitemSet::Delete(2));
    EXPECT_FALSE(TRecitemSet::Delete(2));
}

TEST_F(ReferenceSetsTest, FailedInsertLeavesTheIdAlone)
{
    // Another workstation took the id between max(Id) and the insert: the
    // key refuses the duplicate instead of storing two rows.
    Exec("create trigger steal before insert on examitems when new.Name='late' begin "
         "insert into examitems values (new.Id, 'other', ''); end;");
    RExamitem late{0, "late", ""};
    EXPECT_THROW(TExamitemSet::Save(late), Exception);
    EXPECT_EQ(late.Id, 0);
    EXPECT_EQ(Count("examitems"), 0);
}

TEST_F(ReferenceSetsTest, EmployeesByDutyInIdOrder)
{
    const char* rows[][2] = {{"张教练", "教练员"}, {"李业务", "业务员"}, {"王教练", "教练员"}, {"O'Hara", "教练员"}};
    for (auto& r : rows) {
        REmployee e;
        e.Name = r[0];
        e.Duty = r[1];
        ASSERT_TRUE(TEmployeeSet::Save(e));
    }
    TEmployeeSet set;
    EXPECT_EQ(set.QuerySql(), "select * from employees  order by Id");
    set.Query();
    EXPECT_EQ(set.DataSet()->RecordCount(), 4);

    set.Where()->DutyFld->SetAsString("教练员");
    EXPECT_EQ(set.QuerySql(), "select * from employees  where Duty='教练员' order by Id");
    set.Query();
    EXPECT_EQ(set.JoinField(set.NameFld, ","), "张教练,王教练,O'Hara");

    set.Where()->IdFld->SetAsInteger(4);
    EXPECT_EQ(set.QuerySql(), "select * from employees  where Id=4 and Duty='教练员' order by Id");
    set.Where()->Clear();
    set.Where()->DutyFld->SetAsString("it's");
    set.Query();
    EXPECT_TRUE(set.DataSet()->Active()) << "an apostrophe in a criterion does not break the statement";
    EXPECT_EQ(set.DataSet()->RecordCount(), 0);
}

TEST_F(ReferenceSetsTest, EmployeeRecordKeepsNull)
{
    REmployee e;
    e.Name = "赵";
    e.Tel = "138";
    ASSERT_TRUE(TEmployeeSet::Save(e));
    REmployee f;
    f.Name = "钱";
    f.Birthday = Variant::FromDate(EncodeDate(1980, 5, 17));
    ASSERT_TRUE(TEmployeeSet::Save(f));
    TEmployeeSet set;
    set.Query();
    REmployee r = set.AsData();
    EXPECT_EQ(r.Id, 1);
    EXPECT_EQ(r.Tel, "138");
    EXPECT_TRUE(r.Birthday.IsNull());
    set.DataSet()->Next();
    r = set.AsData();
    EXPECT_EQ(VarToDateTime(r.Birthday), EncodeDate(1980, 5, 17));
    EXPECT_EQ(set.NameFld->DisplayLabel(), "姓名");
    EXPECT_FALSE(set.IdFld->Visible());
}

TEST_F(ReferenceSetsTest, CarKeywordSearchesSevenColumns)
{
    struct Car { const char* No; const char* BedNo; const char* Notes; };
    const Car cars[] = {{"京A12345", "", ""}, {"津B1", "京A-bed", ""}, {"沪C2", "", "原京A车"}, {"冀D3", "", ""}};
    for (const Car& c : cars) {
        RCar r;
        r.CarNo = c.No;
        r.BedNo = c.BedNo;
        r.Notes = c.Notes;
        r.PartNo = "捷达";
        r.Seats = 5;
        ASSERT_TRUE(TCarSet::Save(r));
    }
    EXPECT_EQ(Value("select PartNo || Seats from cars where Id=1"), "捷达5") << "Partno binds :PartNo";
    TCarSet set;
    EXPECT_EQ(set.QuerySql(), "select * from cars");
    set.Where()->KeywordFld->SetAsString("京A");
    EXPECT_EQ(set.QuerySql(),
              "select * from cars where (CarNo like '%京A%' or Brand like '%京A%' or PartNo like '%京A%' or "
              "Engino like '%京A%' or Cartype like '%京A%' or BedNo like '%京A%' or Notes like '%京A%')");
    set.Query();
    EXPECT_EQ(set.JoinField(set.CarNoFld, ","), "京A12345,津B1,沪C2");
    set.Where()->KeywordFld->SetAsString("'");
    set.Query();
    EXPECT_EQ(set.DataSet()->RecordCount(), 0);
}

TEST_F(ReferenceSetsTest, CarSaveToListShowsTheChangeWithoutANewQuery)
{
    RCar first;
    first.CarNo = "京A1";
    ASSERT_TRUE(TCarSet::Save(first));
    TCarSet set;
    set.Query();
    RCar added;
    added.CarNo = "京A2";
    added.Weight = 1.5;
    added.Buydate = Variant::FromDate(EncodeDate(2007, 1, 2));
    ASSERT_TRUE(set.SaveToList(added));
    EXPECT_EQ(added.Id, 2);
    EXPECT_EQ(set.DataSet()->RecordCount(), 2);
    EXPECT_EQ(set.IdFld->AsInteger(), 2);
    EXPECT_EQ(set.CarNoFld->AsString(), "京A2");

    first.Color = "红";
    ASSERT_TRUE(set.SaveToList(first));
    EXPECT_EQ(set.DataSet()->RecordCount(), 2);
    EXPECT_EQ(set.ColorFld->AsString(), "红");
    EXPECT_EQ(Value("select Color from cars where Id=1"), "红");

    RCars cars;
    EXPECT_EQ(TCarSet::GetCars(cars), 2);
    EXPECT_EQ(cars[1].CarNo, "京A2");
    EXPECT_DOUBLE_EQ(cars[1].Weight.AsDouble(), 1.5);
    EXPECT_EQ(VarToDateTime(cars[1].Buydate), EncodeDate(2007, 1, 2));
    EXPECT_TRUE(cars[0].Seats.IsNull());
}

TEST_F(ReferenceSetsTest, ExamItemsInIdOrder)
{
    Exec("insert into examitems values (3,'科目三',''); insert into examitems values (1,'科目一','');");
    RExamitems items;
    EXPECT_EQ(TExamitemSet::GetExamitems(items), 2);
    EXPECT_EQ(items[0].Name, "科目一");
    EXPECT_EQ(items[1].Id, 3);
}
