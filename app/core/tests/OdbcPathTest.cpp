// The same core over the server kind of connection: statements travel
// through ODBC with positional parameters and the server's date literal.
// No SQL Server is at hand, so the SQLite ODBC driver stands behind the
// ODBC connection.
#include "Bizs.h"
#include "Objs.h"

#include "TestDb.h"

namespace {

class OdbcPathTest : public DbTest {
protected:
    void SetUp() override
    {
        File = Dir.File("server.db");
        const std::string schema = ReadFileBytes(SchemaFile());
        ASSERT_FALSE(schema.empty());
        RawExec(File, "begin;\n" + schema + "\ncommit;");
        if (!GDatabase->Connect("Provider=MSDASQL.1;Driver=SQLite3;Database=" + File + ";")) {
            GTEST_SKIP() << "no SQLite ODBC driver: " << (Rec.Messages().empty() ? "" : Rec.Messages()[0]);
        }
        ASSERT_TRUE(GDatabase->IsSqlServer());
    }
};

}  // namespace

TEST_F(OdbcPathTest, StudentsSavedQueriedAndDeleted)
{
    RStudent a;
    a.Name = "张三";
    a.Signdate = Variant::FromDate(EncodeDateTime(2008, 3, 5, 14, 30, 0, 0));
    ASSERT_TRUE(TStudentSet::Save(a));
    RStudent b;
    b.Name = "O'Brien";
    b.Signdate = Variant::FromDate(EncodeDate(2008, 3, 6));
    ASSERT_TRUE(TStudentSet::Save(b));
    EXPECT_EQ(b.Id, 2);

    TStudentSet set;
    set.Where()->Signdate1Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    set.Where()->Signdate2Fld->SetAsDateTime(EncodeDate(2008, 3, 5));
    EXPECT_NE(set.QuerySql().find(" where s.Signdate>='2008-03-05' and s.Signdate<'2008-03-06' "), std::string::npos);
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "张三");
    set.Where()->Clear();
    set.Where()->StunameFld->SetAsString("O'Brien");
    set.Query();
    EXPECT_EQ(Join(set.NameFld), "O'Brien");

    RExam e;
    e.StudentId = 1;
    e.ItemId = 3;
    e.IsPass = true;
    e.Examdate = Variant::FromDate(EncodeDate(2008, 4, 1));
    ASSERT_TRUE(TExamSet::Save(e));
    EXPECT_EQ(Value("select Passinfo from students where Id=1"), ",3,");

    Exec("insert into receipts(Id, StudentId) values (1, 1);"
         "create trigger keep before delete on classes begin select raise(abort, 'locked'); end;"
         "insert into classes(StudentId) values (1);");
    EXPECT_THROW(TStudentSet::Delete(1), Exception);
    EXPECT_EQ(Count("receipts"), 1) << "rolled back over ODBC too";
    EXPECT_EQ(Count("exams"), 1);
    Exec("drop trigger keep;");
    EXPECT_TRUE(TStudentSet::Delete(1));
    EXPECT_EQ(Count("students"), 1);
    EXPECT_EQ(Count("receipts"), 0);
}

TEST_F(OdbcPathTest, OperatorsAndSettings)
{
    TOperator op;
    EXPECT_TRUE(op.Load("sa"));
    EXPECT_FALSE(op.Load("ghost"));
    EXPECT_EQ(op.LoginId, "");
    TKeyValue2 kv;
    EXPECT_FALSE(kv.FeedbackPrompt());
    kv.SetFeedbackPrompt(true);
    EXPECT_TRUE(kv.FeedbackPrompt());
    EXPECT_TRUE(TPickListSet::SetList(0, "快班,慢班"));
    std::string list;
    EXPECT_TRUE(TPickListSet::GetList(0, list));
    EXPECT_EQ(list, "快班,慢班");
}
