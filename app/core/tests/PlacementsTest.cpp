#include "Bizs.h"

#include "TestDb.h"

class PlacementsTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Exec("insert into students(Id, Name, Drivetype, SalemanId) values (1, '张三', 'C1', 5);"
             "insert into students(Id, Name, Drivetype) values (2, '李四', 'B2');"
             "insert into students(Id, Name, Drivetype) values (3, '王五', 'C1');"
             "insert into employees(Id, Name, Duty) values (7, '刘教练', '教练员');"
             "insert into cars(Id, CarNo) values (8, '京A8888');");
    }
};

TEST_F(PlacementsTest, ClassPlacementInsertsThenUpdatesAndLoadsTheNames)
{
    RClass c;
    c.StudentId = 1;
    c.Classdate = Variant::FromDate(EncodeDateTime(2008, 1, 2, 8, 0, 0, 0));
    c.Classname = "快班";
    c.TeacherId = 7;
    ASSERT_TRUE(TClassSet::Save(c));
    c.CarId = 8;
    c.Notes = "n";
    ASSERT_TRUE(TClassSet::Save(c));
    EXPECT_EQ(Count("classes"), 1);

    RClass back;
    back.Notes = "stale";
    ASSERT_TRUE(TClassSet::LoadByStudent(1, back));
    EXPECT_EQ(back.StudentName, "张三");
    EXPECT_EQ(back.TeacherName, "刘教练");
    EXPECT_EQ(back.CarNo, "京A8888");
    EXPECT_EQ(back.Notes, "n");
    EXPECT_EQ(VarToDateTime(back.Classdate), EncodeDateTime(2008, 1, 2, 8, 0, 0, 0));

    EXPECT_FALSE(TClassSet::LoadByStudent(2, back));
    EXPECT_EQ(back.Classname, "");
    EXPECT_TRUE(back.TeacherId.IsNull());

    EXPECT_TRUE(TClassSet::Delete(1));
    EXPECT_FALSE(TClassSet::Delete(1));
}

TEST_F(PlacementsTest, GraduationsAndTheirQuery)
{
    RGraduate g;
    g.StudentId = 1;
    g.Grantdate = Variant::FromDate(EncodeDateTime(2008, 6, 30, 16, 0, 0, 0));
    g.Valimonth = 72;
    g.Drivetype = "C1";
    g.Handman = "O'Hara";
    ASSERT_TRUE(TGraduateSet::Save(g));
    g.DocumentNo = "D-1";
    ASSERT_TRUE(TGraduateSet::Save(g));
    RGraduate h;
    h.StudentId = 2;
    h.Grantdate = Variant::FromDate(EncodeDate(2008, 7, 1));
    h.Takedate = Variant::FromDate(EncodeDate(2008, 7, 2));
    ASSERT_TRUE(TGraduateSet::Save(h));
    EXPECT_EQ(Count("graduates"), 2);

    RGraduate back;
    ASSERT_TRUE(TGraduateSet::LoadByStudent(1, back));
    EXPECT_EQ(back.StudentName, "张三");
    EXPECT_EQ(back.DocumentNo, "D-1");
    EXPECT_EQ(back.Valimonth.AsInteger(), 72);
    EXPECT_TRUE(back.Takedate.IsNull());
    EXPECT_FALSE(TGraduateSet::LoadByStudent(3, back)) << "not graduated";
    EXPECT_EQ(back.StudentName, "");

    TGraduateSet set;
    EXPECT_EQ(set.QuerySql(),
              "select g.*, t.Signdate, t.Sex, t.LinkTel, t.Name as StudentName, l.Classname  from ((graduates g "
              "left join students t on t.Id=g.StudentId) left join classes l on l.StudentId=g.StudentId)   ");
    set.Query();
    EXPECT_EQ(set.DataSet()->RecordCount(), 2);

    set.Where()->TakeIfFld->SetAsBoolean(false);
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "张三") << "licence not yet collected";

    set.Where()->Clear();
    set.Where()->Grantdate1Fld->SetAsDateTime(EncodeDate(2008, 6, 1));
    set.Where()->Grantdate2Fld->SetAsDateTime(EncodeDate(2008, 6, 30));
    set.Where()->DrivetypeFld->SetAsString("C1");
    set.Where()->SalesmanIdFld->SetAsInteger(5);
    EXPECT_NE(set.QuerySql().find(")   where g.Grantdate>=#2008-06-01# and g.Grantdate<#2008-07-01# and "
                                  "t.Drivetype='C1' and t.SalemanId=5 "),
              std::string::npos)
        << set.QuerySql();
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "张三") << "granted at 16:00 on the last day of the range";

    EXPECT_TRUE(TGraduateSet::Delete(2));
    EXPECT_FALSE(TGraduateSet::Delete(2));
}

TEST_F(PlacementsTest, DropOutsAndTheirQuery)
{
    RDropout d;
    d.StudentId = 1;
    d.Dropdate = Variant::FromDate(EncodeDate(2008, 5, 5));
    d.Reasons = "因搬家退学";
    d.Retfund = 800.0;
    ASSERT_TRUE(TDropoutSet::Save(d));
    RDropout e;
    e.StudentId = 2;
    e.Reasons = "工作忙, can't come";
    e.Retfund = 100.0;
    ASSERT_TRUE(TDropoutSet::Save(e));
    e.Handman = "x";
    ASSERT_TRUE(TDropoutSet::Save(e));
    EXPECT_EQ(Count("dropouts"), 2);

    RDropout back;
    ASSERT_TRUE(TDropoutSet::LoadByStudent(1, back));
    EXPECT_EQ(back.StudentName, "张三");
    EXPECT_DOUBLE_EQ(back.Retfund.AsDouble(), 800);
    EXPECT_FALSE(TDropoutSet::LoadByStudent(3, back));

    TDropoutSet set;
    set.Where()->ReasonsFld->SetAsString("搬家");
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "张三");
    set.Where()->ReasonsFld->SetAsString("can't");
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "李四");

    set.Where()->Clear();
    set.Where()->Retfund1Fld->SetAsFloat(500);
    EXPECT_NE(set.QuerySql().find(" where p.Retfund>=500.00 "), std::string::npos);
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "张三");

    set.Where()->Clear();
    set.Where()->DrivetypeFld->SetAsString("B2");
    set.Query();
    EXPECT_EQ(Join(set.StudentNameFld), "李四") << "the licence class restricts the list";

    set.Where()->Clear();
    EXPECT_EQ(set.QuerySql(),
              "select p.*, t.Signdate, t.Sex, t.LinkTel, t.Drivetype, t.Name as StudentName, l.Classname  from "
              "((dropouts p left join students t on t.Id=p.StudentId)  left join classes l on "
              "l.StudentId=p.StudentId)   ");

    EXPECT_TRUE(TDropoutSet::Delete(1));
    EXPECT_FALSE(TDropoutSet::Delete(1));
}
