#include "Bizs.h"

#include "TestDb.h"

class ReceiptsExamsTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Exec("insert into students(Id, Name, Sex, LinkTel, Drivetype, Signdate) values (1, '张三', '男', '138', 'C1', '2008-01-01');"
             "insert into students(Id, Name) values (2, '李四');"
             "insert into classes(StudentId, Classname) values (1, '快班');"
             "insert into recitems values (1, '学费', ''); insert into examitems values (2, '科目二', '');");
    }
    RReceipt Receipt(int student, double fund, TDateTime date, const std::string& treasurer = "会计")
    {
        RReceipt r;
        r.StudentId = student;
        r.Recdate = Variant::FromDate(date);
        r.RecItemId = 1;
        r.RecSign = 1;
        r.Recfund = fund;
        r.Treasurer = treasurer;
        return r;
    }
};

TEST_F(ReceiptsExamsTest, ReceiptListOfAStudentCarriesHisClass)
{
    RReceipt a = Receipt(1, 500, EncodeDateTime(2008, 3, 5, 9, 15, 0, 0));
    RReceipt b = Receipt(2, 300, EncodeDate(2008, 3, 6), "O'Neil");
    RReceipt c = Receipt(1, -200, EncodeDate(2008, 3, 7));
    c.RecSign = -1;
    for (RReceipt* r : {&a, &b, &c}) ASSERT_TRUE(TReceiptSet::Save(*r));
    EXPECT_EQ(c.Id, 3);

    TReceiptSet set;
    set.Where()->StudentIdFld->SetAsInteger(1);
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "1,3");
    set.DataSet()->First();
    RReceipt back = set.AsData();
    EXPECT_EQ(back.StudentName, "张三");
    EXPECT_EQ(back.Classname, "快班");
    EXPECT_EQ(back.RecItemName, "学费");
    EXPECT_EQ(VarToDateTime(back.Recdate), EncodeDateTime(2008, 3, 5, 9, 15, 0, 0));
    EXPECT_EQ(back.Sex, "男");

    set.Where()->StudentIdFld->SetAsInteger(2);
    set.Query();
    EXPECT_EQ(set.ClassnameFld->AsString(), "") << "not placed: empty class name";
    EXPECT_EQ(set.TreasurerFld->AsString(), "O'Neil");

    set.Where()->Clear();
    set.Where()->TreasurerFld->SetAsString("O'Neil");
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "2");

    // The upper date bound takes in the receipt taken at 09:15 that day.
    set.Where()->Clear();
    set.Where()->Recdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    set.Where()->Recdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "1");

    a.Recfund = 550;
    ASSERT_TRUE(TReceiptSet::Save(a));
    EXPECT_EQ(Value("select Recfund from receipts where Id=1"), "550.0");
    EXPECT_TRUE(TReceiptSet::Delete(2));
    EXPECT_FALSE(TReceiptSet::Delete(2));
}

TEST_F(ReceiptsExamsTest, ReceiptQueryText)
{
    TReceiptSet set;
    TReceiptWhere* w = set.Where();
    const std::string head =
        "select r.*, s.Name as StudentName, s.Signdate, s.Sex, s.LinkTel, s.Drivetype, l.Classname, m.Name as "
        "RecItemName from (((receipts r left join students s on r.StudentId=s.Id) left join recitems m on "
        "r.RecitemId=m.Id)  left join classes l on l.StudentId=r.StudentId)  ";
    EXPECT_EQ(set.QuerySql(), head + " order by r.Id");
    w->Fund1Fld->SetAsFloat(100);
    EXPECT_EQ(set.QuerySql(), head + " where r.Recfund>=100.00 order by r.Id");
    w->StudentIdFld->SetAsInteger(1);
    w->FareItemIdFld->SetAsInteger(2);
    w->SignIdFld->SetAsInteger(-1);
    w->Fund2Fld->SetAsFloat(250.5);
    w->Recdate1Fld->SetAsDateTime(EncodeDate(2008, 1, 1));
    w->Recdate2Fld->SetAsDateTime(EncodeDate(2008, 1, 31));
    w->TreasurerFld->SetAsString("王");
    EXPECT_EQ(set.QuerySql(), head + " where r.StudentId=1 and r.RecItemId=2 and r.RecSign=-1 and r.Recfund>=100.00"
                                     " and r.Recfund<=250.50 and r.Recdate>=#2008-01-01# and r.Recdate<#2008-02-01#"
                                     " and r.Treasurer='王' order by r.Id");
    set.Query();
    EXPECT_TRUE(set.DataSet()->Active());
}

TEST_F(ReceiptsExamsTest, ExamSavesKeepTheStudentsSummaries)
{
    RExam passed;
    passed.StudentId = 1;
    passed.ItemId = 2;
    passed.Examdate = Variant::FromDate(EncodeDate(2008, 4, 1));
    passed.Point = 90;
    passed.IsPass = true;
    ASSERT_TRUE(TExamSet::Save(passed));
    EXPECT_EQ(passed.Id, 1);
    EXPECT_EQ(Value("select Passinfo from students where Id=1"), ",2,");

    RExam booked;
    booked.StudentId = 1;
    booked.ItemId = 3;
    booked.Appdate = Variant::FromDate(EncodeDate(2008, 5, 1));
    ASSERT_TRUE(TExamSet::Save(booked));
    EXPECT_EQ(Value("select Passinfo || ' ' || Appsinfo from students where Id=1"), ",2, ,3,");

    booked.Examdate = Variant::FromDate(EncodeDate(2008, 5, 1));
    ASSERT_TRUE(TExamSet::Save(booked));
    EXPECT_EQ(Value("select Appsinfo from students where Id=1"), ",") << "taken: no longer booked";

    EXPECT_TRUE(TExamSet::Delete(passed.Id));
    EXPECT_EQ(Value("select Passinfo from students where Id=1"), ",");

    Exec("update students set Passinfo='keep' where Id=2");
    EXPECT_FALSE(TExamSet::Delete(99));
    EXPECT_EQ(Value("select Passinfo from students where Id=2"), "keep");

    RExam ghost;
    ghost.Id = 42;
    ghost.StudentId = 2;
    EXPECT_FALSE(TExamSet::Save(ghost));
    EXPECT_EQ(Value("select Passinfo from students where Id=2"), "keep") << "a failed save leaves the summaries";
}

TEST_F(ReceiptsExamsTest, ExamListAndIsPassOnEitherStoredTrue)
{
    Exec("insert into exams(Id, StudentId, ItemId, IsPass, Point, Examdate) values (1, 1, 2, 1, 90, '2008-06-01 10:00:00');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Point, Examdate) values (2, 1, 2, -1, 80, '2008-06-02');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Point, Appdate) values (3, 2, 2, 0, 40, '2008-06-03');");
    TExamSet set;
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "1,2,3");
    set.DataSet()->First();
    RExam r = set.AsData();
    EXPECT_EQ(r.StudentName, "张三");
    EXPECT_EQ(r.ItemName, "科目二");
    EXPECT_TRUE(r.IsPass);
    EXPECT_EQ(set.ClassnameFld->AsString(), "快班");
    EXPECT_EQ(set.IsPassFld->DisplayText(), "√");
    set.DataSet()->Last();
    EXPECT_EQ(set.IsPassFld->DisplayText(), "-");

    set.Where()->IsPassFld->SetAsBoolean(true);
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "1,2");
    set.Where()->IsPassFld->SetAsBoolean(false);
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "3");

    set.Where()->Clear();
    set.Where()->Examdate2Fld->SetAsDateTime(EncodeDate(2008, 6, 1));
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "1") << "the exam at 10:00 on the last day counts";

    set.Where()->Clear();
    set.Where()->Point1Fld->SetAsFloat(50);
    set.Where()->Point2Fld->SetAsFloat(85);
    EXPECT_NE(set.QuerySql().find(" where x.Point>=50.00 and x.Point<=85.00 order by x.Id"), std::string::npos);
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "2");

    set.Where()->Clear();
    set.Where()->StudentIdFld->SetAsInteger(2);
    set.Where()->ItemIdFld->SetAsInteger(2);
    set.Where()->Appdate1Fld->SetAsDateTime(EncodeDate(2008, 6, 3));
    set.Where()->Appdate2Fld->SetAsDateTime(EncodeDate(2008, 6, 3));
    EXPECT_NE(set.QuerySql().find(" where x.StudentId=2 and x.Itemid=2 and x.Appdate>=#2008-06-03# and "
                                  "x.Appdate<#2008-06-04# order by x.Id"),
              std::string::npos);
    set.Query();
    EXPECT_EQ(Join(set.IdFld), "3");
}
