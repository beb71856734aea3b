#include "Bizs.h"

#include "TestDb.h"

namespace {

const std::string Head =
    "select s.*, e1.Name as SalemanName  from ((((students s left join employees e1 on s.SalemanId=e1.Id) "
    "left join classes l on l.StudentId=s.Id)  left join graduates g on g.StudentId=s.Id)  left join dropouts p "
    "on p.StudentId=s.Id)  ";
const std::string Tail = " order by s.Id";

int AddStudent(const std::string& name, const Variant& signdate = Null(), const std::string& drivetype = "C1")
{
    RStudent r;
    r.Name = name;
    r.Signdate = signdate;
    r.Drivetype = drivetype;
    EXPECT_TRUE(TStudentSet::Save(r));
    return r.Id;
}

}  // namespace

class StudentSetTest : public DbTest {};

TEST_F(StudentSetTest, QueryTextForEachCriterion)
{
    TStudentSet set;
    TStudentWhere* w = set.Where();
    EXPECT_EQ(set.QuerySql(), Head + Tail);

    struct Case {
        std::function<void()> Set;
        std::string Where;
    };
    const TDateTime d1 = EncodeDateTime(2008, 3, 5, 14, 30, 0, 0);
    const Case cases[] = {
        {[&] { w->Signdate1Fld->SetAsDateTime(d1); }, " where s.Signdate>=#2008-03-05#"},
        {[&] { w->Signdate2Fld->SetAsDateTime(d1); }, " where s.Signdate<#2008-03-06#"},
        {[&] { w->ClassnameFld->SetAsString("周末班"); }, " where l.Classname='周末班'"},
        {[&] { w->StunameFld->SetAsString("O'Brien"); }, " where s.Name='O''Brien'"},
        {[&] { w->StutelFld->SetAsString("138"); }, " where s.LinkTel like '%138%'"},
        {[&] { w->StusexFld->SetAsString("男"); }, " where s.Sex='男'"},
        {[&] { w->ClassIfFld->SetAsBoolean(true); }, " where (not (l.Classdate is null))"},
        {[&] { w->ClassIfFld->SetAsBoolean(false); }, " where (l.Classdate is null)"},
        {[&] { w->GraduatedFld->SetAsBoolean(true); }, " where not (g.StudentId is null)"},
        {[&] { w->GraduatedFld->SetAsBoolean(false); }, " where (g.StudentId is null)"},
        {[&] { w->GraduateTakeIfFld->SetAsBoolean(true); }, " where not (g.Takedate is null)"},
        {[&] { w->GraduateTakeIfFld->SetAsBoolean(false); }, " where (g.Takedate is null)"},
        {[&] { w->GraduateGrantdate1Fld->SetAsDateTime(EncodeDate(2008, 1, 1)); }, " where g.Grantdate>=#2008-01-01#"},
        {[&] { w->GraduateGrantdate2Fld->SetAsDateTime(EncodeDate(2008, 1, 31)); }, " where g.Grantdate<#2008-02-01#"},
        {[&] { w->DropoutedFld->SetAsBoolean(true); }, " where not (p.StudentId is null)"},
        {[&] { w->DropoutedFld->SetAsBoolean(false); }, " where (p.StudentId is null)"},
        {[&] { w->IdFld->SetAsInteger(7); }, " where s.Id=7"},
        {[&] { w->SalemanIdFld->SetAsInteger(2); }, " where s.SalemanId=2"},
        {[&] { w->DrivetypeFld->SetAsString("C1"); }, " where s.Drivetype='C1'"},
        {[&] { w->PassItemIdFld->SetAsInteger(3); }, " where s.Passinfo like '%,3,%'"},
        {[&] { w->UnpassItemIdFld->SetAsInteger(3); }, " where ((s.Passinfo is null) or (s.Passinfo not like '%,3,%'))"},
        {[&] { w->AppItemIdFld->SetAsInteger(2); }, " where s.Appsinfo like '%,2,%'"},
        {[&] { w->UnappItemIdFld->SetAsInteger(2); }, " where ((s.Appsinfo is null) or (s.Appsinfo not like '%,2,%'))"},
        {[&] { w->TeacherIdFld->SetAsInteger(4); }, " where l.TeacherId=4"},
        {[&] { w->CarIdFld->SetAsInteger(5); }, " where l.CarId=5"},
        {[&] { w->StunameFld->SetAsString(""); }, ""},
    };
    for (const Case& c : cases) {
        w->Clear();
        c.Set();
        EXPECT_EQ(set.QuerySql(), Head + c.Where + Tail);
        set.Query();
        EXPECT_TRUE(set.DataSet()->Active()) << c.Where;
    }
    EXPECT_TRUE(Rec.Messages().empty());

    // The fixed order holds whatever the order the criteria were set in.
    w->Clear();
    w->StunameFld->SetAsString("张三");
    w->Signdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    EXPECT_EQ(set.QuerySql(), Head + " where s.Signdate>=#2008-03-05# and s.Name='张三'" + Tail);
}

TEST_F(StudentSetTest, SqlServerDateLiterals)
{
    TStudentSet set;
    const std::string prev = GDatabase->Connection()->ConnectionString();
    GDatabase->Connection()->SetConnectionString("Provider=SQLOLEDB.1;Data Source=db1;");
    set.Where()->Signdate1Fld->SetAsDateTime(EncodeDate(2008, 12, 1));
    set.Where()->Signdate2Fld->SetAsDateTime(EncodeDate(2008, 12, 31));
    const std::string sql = set.QuerySql();
    GDatabase->Connection()->SetConnectionString(prev);
    EXPECT_EQ(sql, Head + " where s.Signdate>='2008-12-01' and s.Signdate<'2009-01-01'" + Tail);
}

TEST_F(StudentSetTest, ListsAndFindsStudents)
{
    EXPECT_EQ(AddStudent("张三", Variant::FromDate(EncodeDateTime(2008, 3, 5, 14, 30, 0, 0))), 1)
        << "the first student of an empty table gets id 1";
    EXPECT_EQ(AddStudent("O'Brien", Variant::FromDate(EncodeDate(2008, 3, 6))), 2);
    EXPECT_EQ(AddStudent("李四", Null(), "B2"), 3);
    TStudentSet set;
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "张三,O'Brien,李四");

    set.Where()->StunameFld->SetAsString("O'Brien");
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "O'Brien");
    // A colon inside a quoted criterion is text, not a parameter.
    EXPECT_EQ(AddStudent("Mr:Smith's"), 4);
    set.Where()->StunameFld->SetAsString("Mr:Smith's");
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "Mr:Smith's");
    EXPECT_TRUE(TStudentSet::Delete(4));

    // The upper bound takes in the whole day: 14:30 on the 5th is on the 5th.
    set.Where()->Clear();
    set.Where()->Signdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "张三");
    set.Where()->Signdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    set.Where()->Signdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 6));
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "张三,O'Brien");

    RDrivetypes types;
    EXPECT_EQ(TStudentSet::GetDrivetypes(types), 2);
    std::sort(types.begin(), types.end());
    EXPECT_EQ(types, (RDrivetypes{"B2", "C1"}));
}

TEST_F(StudentSetTest, RecordRoundTripWithTheSalesman)
{
    Exec("insert into employees(Id, Name, Duty) values (9, '业务王', '业务员')");
    RStudent r;
    r.Name = "王五";
    r.Sex = "男";
    r.Idcode = "110";
    r.LinkTel = "139";
    r.Addr = "addr";
    r.Native = "河北";
    r.Notes = "notes";
    r.Signdate = Variant::FromDate(EncodeDate(2009, 9, 9));
    r.Drivetype = "C1";
    r.SalemanId = 9;
    ASSERT_TRUE(TStudentSet::Save(r));
    TStudentSet set;
    set.Query();
    RStudent b = set.AsData();
    EXPECT_EQ(b.Id, r.Id);
    EXPECT_EQ(b.Native, "河北");
    EXPECT_EQ(b.SalemanId.AsInteger(), 9);
    EXPECT_EQ(b.SalemanName, "业务王");
    EXPECT_EQ(VarToDateTime(b.Signdate), EncodeDate(2009, 9, 9));
    EXPECT_EQ(set.SalemanNameFld->DisplayLabel(), "业务员");

    b.SalemanId = Null();
    b.Signdate = Null();
    ASSERT_TRUE(TStudentSet::Save(b));
    EXPECT_EQ(Value("select ifnull(SalemanId,'null') || ifnull(Signdate,'null') from students"), "nullnull");

    RStudent ghost;
    ghost.Id = 50;
    EXPECT_FALSE(TStudentSet::Save(ghost));
    EXPECT_EQ(Count("students"), 1);
}

TEST_F(StudentSetTest, ExamSummariesAndTheirCriteria)
{
    const int a = AddStudent("a");
    const int b = AddStudent("b");
    Exec("insert into exams(Id, StudentId, ItemId, IsPass, Examdate) values (1, 1, 1, 1, '2008-01-01');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Examdate) values (2, 1, 3, -1, '2008-01-02');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Examdate) values (3, 1, 3, 1, '2008-01-03');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Appdate) values (4, 1, 2, 0, '2008-02-01');"
         "insert into exams(Id, StudentId, ItemId, IsPass, Examdate) values (5, 1, 4, 0, '2008-02-02');");
    ASSERT_TRUE(TStudentSet::RefreshExamInfo(a));
    ASSERT_TRUE(TStudentSet::RefreshExamInfo(b));
    EXPECT_EQ(Value("select Passinfo || ' ' || Appsinfo from students where Id=1"), ",1,3, ,2,");
    EXPECT_EQ(Value("select Passinfo || ' ' || Appsinfo from students where Id=2"), ", ,");
    EXPECT_FALSE(TStudentSet::RefreshExamInfo(99));
    const int c = AddStudent("c");   // never refreshed: Passinfo stays null

    TStudentSet set;
    set.Where()->PassItemIdFld->SetAsInteger(3);
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "a");
    set.Where()->Clear();
    set.Where()->UnpassItemIdFld->SetAsInteger(3);
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "b,c") << "a null Passinfo counts as not passed";
    set.Where()->Clear();
    set.Where()->AppItemIdFld->SetAsInteger(2);
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "a");
    (void)c;
}

TEST_F(StudentSetTest, PlacementGraduationAndDropOutCriteria)
{
    for (const char* n : {"a", "b", "c", "d"}) AddStudent(n);
    Exec("insert into classes(StudentId, Classdate, Classname, TeacherId, CarId) values (1, '2008-01-01', '快班', 7, 8);"
         "insert into classes(StudentId, Classdate, Classname, TeacherId, CarId) values (2, '2008-01-01', '慢班', 6, 8);"
         "insert into graduates(StudentId, Grantdate, Takedate) values (2, '2008-06-30 10:00:00', null);"
         "insert into graduates(StudentId, Grantdate, Takedate) values (3, '2008-07-01', '2008-07-02');"
         "insert into dropouts(StudentId, Dropdate) values (4, '2008-05-05');");
    TStudentSet set;
    TStudentWhere* w = set.Where();
    struct Case { std::function<void()> Set; std::string Names; };
    const Case cases[] = {
        {[&] { w->ClassIfFld->SetAsBoolean(true); }, "a,b"},
        {[&] { w->ClassIfFld->SetAsBoolean(false); }, "c,d"},
        {[&] { w->ClassnameFld->SetAsString("快班"); }, "a"},
        {[&] { w->TeacherIdFld->SetAsInteger(7); }, "a"},
        {[&] { w->CarIdFld->SetAsInteger(8); }, "a,b"},
        {[&] { w->GraduatedFld->SetAsBoolean(true); }, "b,c"},
        {[&] { w->GraduatedFld->SetAsBoolean(false); }, "a,d"},
        {[&] { w->GraduatedFld->SetAsBoolean(true); w->GraduateTakeIfFld->SetAsBoolean(false); }, "b"},
        {[&] { w->GraduateGrantdate1Fld->SetAsDateTime(EncodeDate(2008, 6, 1));
               w->GraduateGrantdate2Fld->SetAsDateTime(EncodeDate(2008, 6, 30)); }, "b"},
        {[&] { w->DropoutedFld->SetAsBoolean(true); }, "d"},
        {[&] { w->DropoutedFld->SetAsBoolean(false); }, "a,b,c"},
    };
    for (const Case& k : cases) {
        w->Clear();
        k.Set();
        set.Query();
        EXPECT_EQ(Join(set.NameFld), k.Names) << set.QuerySql();
    }
}

TEST_F(StudentSetTest, DeleteCascadesToEveryDependentRow)
{
    AddStudent("keep");
    const int id = AddStudent("gone");
    Exec("insert into dropouts(StudentId) values (2); insert into graduates(StudentId) values (2);"
         "insert into receipts(Id, StudentId) values (1, 2); insert into receipts(Id, StudentId) values (2, 1);"
         "insert into exams(Id, StudentId) values (1, 2); insert into classes(StudentId) values (2);"
         "insert into classes(StudentId) values (1);");
    EXPECT_TRUE(TStudentSet::Delete(id));
    for (const char* t : {"dropouts", "graduates", "receipts", "exams", "classes"})
        EXPECT_EQ(Value(std::string("select count(*) from ") + t + " where StudentId=2"), "0") << t;
    EXPECT_EQ(Count("students"), 1);
    EXPECT_EQ(Count("receipts"), 1);
    EXPECT_EQ(Count("classes"), 1);
    EXPECT_FALSE(TStudentSet::Delete(id)) << "an id that does not exist";
    EXPECT_FALSE(GDatabase->InTransaction());
}

TEST_F(StudentSetTest, FailedCascadeDeletesNothing)
{
    const int id = AddStudent("locked");
    Exec("insert into receipts(Id, StudentId) values (1, 1); insert into exams(Id, StudentId) values (1, 1);"
         "insert into classes(StudentId) values (1);"
         "create trigger keep_classes before delete on classes begin select raise(abort, 'classes are locked'); end;");
    try {
        TStudentSet::Delete(id);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("classes are locked"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("delete from classes where StudentId=:StudentId"), std::string::npos);
    }
    EXPECT_FALSE(GDatabase->InTransaction());
    EXPECT_EQ(Count("receipts"), 1) << "the receipts deleted before the failure come back";
    EXPECT_EQ(Count("exams"), 1);
    EXPECT_EQ(Count("students"), 1);
}

TEST_F(StudentSetTest, CascadeInsideACallersTransactionLeavesTheDecisionToTheCaller)
{
    const int id = AddStudent("x");
    GDatabase->BeginTrans();
    EXPECT_TRUE(TStudentSet::Delete(id));
    EXPECT_TRUE(GDatabase->InTransaction());
    GDatabase->RollbackTrans();
    EXPECT_EQ(Count("students"), 1);
}

TEST_F(StudentSetTest, PerStudentTablesRefuseASecondRow)
{
    AddStudent("x");
    for (const char* t : {"classes", "graduates", "dropouts"}) {
        GDatabase->ExecSQL(std::string("insert into ") + t + "(StudentId) values (1)");
        EXPECT_THROW(GDatabase->ExecSQL(std::string("insert into ") + t + "(StudentId) values (1)"), Exception) << t;
    }
}
