// The ADO-style components over real database files: connections, commands,
// queries with named parameters, the file provider's statement forms, the
// school's schema, transactions, batch-optimistic sets, and bad input.
#include "ADODB.h"
#include "HostServices.h"
#include "Registry.h"
#include "StringLists.h"
#include "Streams.h"
#include "SysUtils.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string SchemaDir()
{
    // The compiler's idea of this file's path can be relative to the build
    // folder, which is not where the tests run: use the source root instead.
    return std::string(QZ_SOURCE_ROOT) + "/app/schema/";
}

// A scratch folder removed with the fixture.
class TScratch {
public:
    TScratch()
    {
        char tmpl[] = "/tmp/qzdbtestXXXXXX";
        Dir = mkdtemp(tmpl);
    }
    ~TScratch() { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Dir;
};

// Makes a database file from the built-in schema script.
void MakeSchoolDb(const std::string& file)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    std::string schema = ReadFile(SchemaDir() + "sqlite.sql");
    ASSERT_FALSE(schema.empty()) << "cannot read " << SchemaDir() << "sqlite.sql";
    std::string script = "pragma journal_mode=memory; pragma synchronous=off;" + schema;
    char* err = nullptr;
    int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

std::string JetString(const std::string& file)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Mode = ReadWrite;Jet OLEDB:Database Password=x;Data Source=" + file +
           ";Persist Security Info=True";
}

class AdoFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        File = Scratch.Dir + "/school.mdb";
        MakeSchoolDb(File);
        Conn.SetLoginPrompt(false);
        Conn.SetConnectionString(JetString(File));
        Conn.Open();
    }

    int Exec(const std::string& sql, std::vector<std::pair<std::string, Variant>> params = {})
    {
        TADOQuery q;
        q.SetConnection(&Conn);
        q.SQL()->SetText(sql);
        for (auto& [n, v] : params) q.Parameters()->ParamByName(n)->SetValue(v);
        return q.ExecSQL();
    }

    Variant Scalar(const std::string& sql)
    {
        TADOQuery q;
        q.SetConnection(&Conn);
        q.SQL()->SetText(sql);
        q.Open();
        return q.IsEmpty() ? Unassigned() : q.Fields()->Fields(0)->AsVariant();
    }

    void AddStudent(int id, const std::string& name, const Variant& signdate)
    {
        Exec("insert into students(Id, Name, Signdate) values (:Id, :Name, :Signdate)",
             {{"Id", id}, {"Name", name}, {"Signdate", signdate}});
    }

    TScratch Scratch;
    std::string File;
    TADOConnection Conn;
};

}

TEST_F(AdoFile, BuiltInRowsAndTables)
{
    TStringList names;
    Conn.GetTableNames(&names, false);
    for (const char* t : {"Company", "operator", "options", "keyvalue", "employees", "cars", "students",
                          "recitems", "examitems", "receipts", "exams", "classes", "graduates", "dropouts",
                          "report", "syscols", "backup"})
        EXPECT_GE(names.IndexOf(t), 0) << t;
    EXPECT_EQ(Scalar("select count(*) from operator where LoginId='sa' and [Password]=''").AsInteger(), 1);
    EXPECT_EQ(Scalar("select count(*) from [backup]").AsInteger(), 1);
    EXPECT_EQ(Conn.Provider(), "Microsoft.Jet.OLEDB.4.0");
}

TEST_F(AdoFile, ParametersByNameAndRowsAffected)
{
    // Names are found without regard to case; the value types reach the file.
    EXPECT_EQ(Exec("insert into cars(Id, PartNo, Seats, Weight, Buydate) values (:Id, :PartNo, :Seats, :Weight, :Buydate)",
                   {{"id", 1}, {"Partno", "京A12345"}, {"SEATS", 5}, {"Weight", 1.25},
                    {"BuyDate", Variant::FromDate(EncodeDate(2008, 3, 5))}}),
              1);
    EXPECT_EQ(Exec("update cars set Seats=:Seats where Id=:Id", {{"Seats", 7}, {"Id", 99}}), 0);
    EXPECT_EQ(Exec("update cars set Seats=:Seats where Id=:Id", {{"Seats", 7}, {"Id", 1}}), 1);
    TADOQuery q;
    q.SetConnection(&Conn);
    q.SQL()->SetText("select * from cars where PartNo=:P");
    q.Parameters()->ParamByName("p")->SetValue("京A12345");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("Seats")->AsInteger(), 7);
    EXPECT_DOUBLE_EQ(q.FieldByName("Weight")->AsFloat(), 1.25);
    EXPECT_EQ(q.FieldByName("Buydate")->DataType(), ftDateTime);
    EXPECT_DOUBLE_EQ(q.FieldByName("Buydate")->AsDateTime(), EncodeDate(2008, 3, 5));
    EXPECT_EQ(q.FieldByName("PartNo")->DataType(), ftString);
    EXPECT_EQ(q.FieldByName("PartNo")->Size(), 50);
    EXPECT_EQ(q.FieldByName("Notes")->DataType(), ftMemo);
    // Stored as ISO text, so quoted date literals compare.
    EXPECT_EQ(Scalar("select '' || Buydate from cars").AsString(), "2008-03-05");
}

TEST_F(AdoFile, MissingParameterRaisesBeforeAnythingRuns)
{
    TADOQuery q;
    q.SetConnection(&Conn);
    q.SQL()->SetText("insert into recitems(Id, Name) values (:Id, :Name)");
    try {
        q.Parameters()->ParamByName("Nope");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Parameter 'Nope' not found"), std::string::npos);
    }
    // A marker whose parameter was taken away cannot run.
    q.SetParamCheck(false);
    q.SQL()->SetText("insert into recitems(Id, Name) values (:Id, :Name)");
    q.Parameters()->Clear();
    q.Parameters()->CreateParameter("Id", ftInteger, pdInput, 0, 1);
    EXPECT_THROW(q.ExecSQL(), EDatabaseError);
    EXPECT_EQ(Scalar("select count(*) from recitems").AsInteger(), 0);
}

TEST_F(AdoFile, FailingStatementsRaiseTheDriversMessageAndChangeNothing)
{
    AddStudent(1, "张三", Null());
    try {
        AddStudent(1, "李四", Null());   // duplicate key
        FAIL();
    } catch (const EADOError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
        EXPECT_TRUE(e.DuplicateKey) << "a second row of a key is told from other failures";
    }
    try {
        Exec("insert into students(Id, Name) values (null, 'x')");   // not null
        FAIL();
    } catch (const EADOError& e) {
        EXPECT_FALSE(e.DuplicateKey) << e.what();
    }
    EXPECT_THROW(Exec("select * from nosuchtable"), EADOError);
    EXPECT_THROW(Exec("delete from students; delete from cars"), EADOError);
    EXPECT_EQ(Scalar("select count(*) from students").AsInteger(), 1);
    EXPECT_EQ(Scalar("select Name from students").AsString(), "张三");
    TADOQuery q;
    q.SetConnection(&Conn);
    q.SQL()->SetText("select * from students where");
    EXPECT_THROW(q.Open(), EADOError);
    EXPECT_FALSE(q.Active());
    EXPECT_THROW(q.RecordCount(), EDatabaseError);
    // The per-student tables take one row per student.
    Exec("insert into graduates(StudentId) values (1)");
    EXPECT_THROW(Exec("insert into graduates(StudentId) values (1)"), EADOError);
}

TEST_F(AdoFile, FileProviderStatementForms)
{
    AddStudent(1, "a", Variant::FromDate(EncodeDate(2008, 3, 4)));
    AddStudent(2, "b", Variant::FromDate(EncodeDate(2008, 3, 5)));
    AddStudent(3, "c", Variant::FromDate(EncodeDateTime(2008, 3, 5, 14, 30, 0, 0)));
    AddStudent(4, "d", Variant::FromDate(EncodeDate(2008, 3, 6)));
    struct Case {
        std::string where;
        int count;
    };
    for (const Case& c : std::vector<Case>{{"Signdate>=#2008-03-05#", 3},
                                           {"Signdate<=#2008-03-05#", 2},
                                           {"Signdate='2008-03-05'", 1},
                                           {"Signdate>='2008-03-05' and Signdate<'2008-03-06'", 2},
                                           {"Signdate<#3/5/2008#", 1}})
        EXPECT_EQ(Scalar("select count(*) from students where " + c.where).AsInteger(), c.count) << c.where;
    EXPECT_EQ(Scalar("select top 1 Id from students order by Id desc").AsInteger(), 4);
    EXPECT_EQ(Scalar("select max(Id) from students").AsInteger(), 4);
    EXPECT_TRUE(Scalar("select max(Id) from recitems").IsNull());
    // The server's clock is the program's replaceable clock.
    SetClock(std::make_shared<TFixedClock>(EncodeDateTime(2013, 1, 15, 9, 30, 5, 0)));
    Variant now = Scalar("select now");
    ResetClock();
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", VarToDateTime(now)), "2013-01-15 09:30:05");
}

TEST(AdoSql, JetTranslation)
{
    struct Case {
        std::string in, out;
    };
    for (const Case& c : std::vector<Case>{
             {"select now", "select qz_now()"},
             {"select GetDate()", "select qz_now()"},
             {"select top 1 Id from report order by Id desc", "select Id from report order by Id desc limit 1"},
             {"select * from t where d>=#2008-03-05# and d<=#2008-03-31#",
              "select * from t where d>='2008-03-05' and d<='2008-03-31'"},
             {"select '#2008-03-05#', [now], s.now from t", "select '#2008-03-05#', [now], s.now from t"},
             {"select Notes from t where Name like '%now%'", "select Notes from t where Name like '%now%'"},
             {"select (select top 2 x from y) from z", "select (select top 2 x from y) from z"},
             {"select /* it's now */ now from t /* #2008-03-05#", "select /* it's now */ qz_now() from t /* #2008-03-05#"},
         })
        EXPECT_EQ(qzAdo::TranslateJetSql(c.in), c.out) << c.in;
}

TEST(AdoSql, ParameterParsing)
{
    TParameters p;
    std::string sql = p.ParseSQL(
        "select ':no', [a:b] from t where x=:Id and y=:name and z=:ID and t='12:30' and w=::x -- :c\n and v=:v2", true);
    ASSERT_EQ(p.Count(), 3);
    EXPECT_EQ(p[0]->Name(), "Id");
    EXPECT_EQ(p[1]->Name(), "name");
    EXPECT_EQ(p[2]->Name(), "v2");
    EXPECT_EQ(sql, "select ':no', [a:b] from t where x=? and y=? and z=? and t='12:30' and w=:x -- :c\n and v=?");
    // A comment's text is no marker, and a quote inside it opens no literal.
    EXPECT_EQ(p.ParseSQL("select /* don't :c */ :d /* :e", true), "select /* don't :c */ ? /* :e");
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p[0]->Name(), "d");
    sql = p.ParseSQL(
        "select ':no', [a:b] from t where x=:Id and y=:name and z=:ID and t='12:30' and w=::x -- :c\n and v=:v2", true);
    p[1]->SetValue("kept");
    p.ParseSQL("select :Name, :Other", true);
    ASSERT_EQ(p.Count(), 2);
    EXPECT_EQ(p.ParamByName("NAME")->Value().AsString(), "kept");
    EXPECT_TRUE(p.ParamByName("other")->Value().IsEmpty());
}

TEST(AdoSql, ConnectionStringKeysAndServerTranslation)
{
    std::string jet = "Provider=Microsoft.Jet.OLEDB.4.0;Mode = ReadWrite;Jet OLEDB:Database Password=pw;Data Source=C:\\a.mdb;Persist Security Info=True";
    EXPECT_EQ(qzAdo::ConnStrValue(jet, "data source"), "C:\\a.mdb");
    EXPECT_EQ(qzAdo::ConnStrValue(jet, "Mode"), "ReadWrite");
    EXPECT_TRUE(qzAdo::IsJetProvider(jet));
    EXPECT_EQ(qzAdo::ConnStrValue("Provider=X;Extended Properties=\"DSN=a;UID=b\";User ID=u", "Extended Properties"), "DSN=a;UID=b");

    TScratch scratch;
    TRegistry::SetStoreFileName(scratch.Dir + "/registry.ini");
    unsetenv("QZ_ODBC_DRIVER");
    std::string sql = "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=p;w}d;Initial Catalog=school;"
                      "Data Source=DBHOST;Use Procedure for Prepare=1;Workstation ID=QZWS";
    // No alias: the server name as it is, the driver's default port.
    EXPECT_EQ(qzAdo::OdbcConnectionString(sql),
              "DRIVER={FreeTDS};SERVER=DBHOST;DATABASE=school;UID=sa;PWD=p;WSID=QZWS;ClientCharset=UTF-8;");
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo", true));
        reg.WriteString("DBHOST", "DBMSSOCN,10.0.0.7,1500");
    }
    EXPECT_EQ(qzAdo::OdbcConnectionString("Provider=SQLOLEDB.1;Data Source=DBHOST;Password=a;b;User ID=u"),
              "DRIVER={FreeTDS};SERVER=10.0.0.7;PORT=1500;UID=u;PWD=a;ClientCharset=UTF-8;");
    EXPECT_EQ(qzAdo::OdbcConnectionString("Provider=SQLOLEDB.1;Data Source=h,1444;User ID=u;Password=x;y"),
              "DRIVER={FreeTDS};SERVER=h;PORT=1444;UID=u;PWD=x;ClientCharset=UTF-8;");
    EXPECT_EQ(qzAdo::OdbcConnectionString("Provider=SQLOLEDB.1;Data Source=h;User ID=u;Password=\"a;b\""),
              "DRIVER={FreeTDS};SERVER=h;UID=u;PWD={a;b};ClientCharset=UTF-8;");
    EXPECT_EQ(qzAdo::OdbcConnectionString("Provider=MSDASQL.1;DSN=school;UID=u"), "DSN=school;UID=u;");
    TRegistry::SetStoreFileName("");
}

TEST_F(AdoFile, TransactionsRolledBackLeaveNoTrace)
{
    EXPECT_EQ(Conn.BeginTrans(), 1);
    AddStudent(1, "a", Null());
    EXPECT_EQ(Conn.BeginTrans(), 2);
    AddStudent(2, "b", Null());
    Conn.RollbackTrans();
    AddStudent(3, "c", Null());
    Conn.CommitTrans();
    EXPECT_EQ(Scalar("select count(*) from students").AsInteger(), 2);
    Conn.BeginTrans();
    Exec("delete from students");
    Exec("update [backup] set TypeId=3");
    Conn.RollbackTrans();
    EXPECT_EQ(Scalar("select count(*) from students").AsInteger(), 2);
    EXPECT_EQ(Scalar("select TypeId from [backup]").AsInteger(), 0);
    EXPECT_FALSE(Conn.InTransaction());
    EXPECT_THROW(Conn.CommitTrans(), EADOError);
    // A transaction still open when the connection closes is rolled back.
    Conn.BeginTrans();
    AddStudent(9, "z", Null());
    Conn.Close();
    Conn.Open();
    EXPECT_EQ(Scalar("select count(*) from students where Id=9").AsInteger(), 0);
}

TEST_F(AdoFile, BatchOptimisticSetsKeepChangesLocal)
{
    for (int i = 1; i <= 3; ++i) AddStudent(i, "s" + std::to_string(i), Null());
    TADODataSet ds;
    ds.SetConnection(&Conn);
    ds.SetLockType(ltBatchOptimistic);
    ds.SetCommandTimeout(120);
    ds.SetCommandText("select * from students order by Id");
    ds.Open();
    EXPECT_EQ(ds.RecordCount(), 3);
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("changed");
    ds.Post();
    ds.Last();
    ds.Delete();
    ds.Append();
    ds.FieldByName("Id")->SetAsInteger(10);
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(Scalar("select Name from students where Id=1").AsString(), "s1");
    EXPECT_EQ(Scalar("select count(*) from students").AsInteger(), 3);
    ds.Requery();
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), "s1");
    ds.SetSort("Id DESC");
    ds.First();
    EXPECT_EQ(ds.FieldByName("Id")->AsInteger(), 3);
    ds.SetSort("Name ASC,Id DESC");
    ds.First();
    EXPECT_EQ(ds.FieldByName("Id")->AsInteger(), 1);
    EXPECT_THROW(ds.SetSort("Nope"), EDatabaseError);
    ds.SetSort("");
    ds.First();
    EXPECT_EQ(ds.FieldByName("Id")->AsInteger(), 1);
    // The sets on a connection close with it.
    Conn.Close();
    EXPECT_FALSE(ds.Active());
}

TEST_F(AdoFile, JoinedQueryWithPersistentFields)
{
    Exec("insert into employees(Id, Name) values (7, '李教练')");
    Exec("insert into students(Id, Name, SalemanId) values (1, '王五', 7)");
    Exec("insert into students(Id, Name) values (2, '赵六')");
    Exec("insert into classes(StudentId, Classname) values (1, '一班')");
    TADOQuery q;
    q.SetConnection(&Conn);
    auto* id = new TIntegerField(&q);
    id->SetFieldName("Id");
    id->SetDataSet(&q);
    auto* saleman = new TStringField(&q);
    saleman->SetFieldName("SalemanName");
    saleman->SetDisplayLabel("业务员");
    saleman->SetDisplayWidth(75);
    saleman->SetDataSet(&q);
    q.SQL()->SetText("select s.*, e1.Name as SalemanName  from ((((students s left join employees e1 on s.SalemanId=e1.Id) "
                     "left join classes l on l.StudentId=s.Id)  left join graduates g on g.StudentId=s.Id)  left join "
                     "dropouts p on p.StudentId=s.Id)   order by s.Id");
    q.Open();
    EXPECT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(saleman->AsString(), "李教练");
    q.Next();
    EXPECT_TRUE(saleman->IsNull());
    EXPECT_TRUE(q.Locate("Id", 1, {}));
    EXPECT_EQ(saleman->DisplayLabel(), "业务员");
}

TEST_F(AdoFile, BlobParameterFromStreamAndBack)
{
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += char(i & 0xff);
    TStringStream src(bytes);
    TADOCommand cmd;
    cmd.SetConnection(&Conn);
    cmd.SetCommandText("insert into report(Id,GrpId,Title,Fr3File)values(:Id,:GrpId,:Title,:Fr3File)");
    cmd.Parameters()->ParamByName("Id")->SetValue(1);
    cmd.Parameters()->ParamByName("GrpId")->SetValue(1003);
    cmd.Parameters()->ParamByName("Title")->SetValue(Variant::FromWide("收费单"));
    cmd.Parameters()->ParamByName("Fr3File")->LoadFromStream(&src, ftBlob);
    EXPECT_EQ(cmd.Execute(), 1);
    TADODataSet ds;
    ds.SetConnection(&Conn);
    ds.SetCommandText("select * from report where Id=:Id");
    ds.Parameters()->ParamByName("Id")->SetValue(1);
    ds.Open();
    auto* blob = DynamicCast<TBlobField>(ds.FieldByName("Fr3File"));
    ASSERT_NE(blob, nullptr);
    TMemoryStream out;
    blob->SaveToStream(&out);
    EXPECT_EQ(std::string(static_cast<char*>(out.Memory()), size_t(out.Size())), bytes);
    EXPECT_EQ(ds.FieldByName("Title")->DataType(), ftWideString);
    EXPECT_EQ(ds.FieldByName("Title")->AsString(), "收费单");
}

TEST_F(AdoFile, FieldDefsWithoutOpening)
{
    TADOTable t;
    t.SetConnection(&Conn);
    t.SetTableName("exams");
    t.FieldDefs()->Update();
    EXPECT_FALSE(t.Active());
    ASSERT_GE(t.FieldDefs()->IndexOf("Examdate"), 0);
    EXPECT_EQ(t.FieldDefs()->Find("Examdate")->DataType(), ftDateTime);
    EXPECT_EQ(t.FieldDefs()->Find("IsPass")->DataType(), ftBoolean);
    t.SetReadOnly(true);
    t.Open();
    EXPECT_FALSE(t.CanModify());
    EXPECT_THROW(t.Append(), EDatabaseError);
}

TEST(AdoBadInput, BrokenForeignAndMissingFiles)
{
    TScratch s;
    struct Case {
        std::string name;
        std::string content;   // empty: the file does not exist
        std::string expect;
    };
    std::string header = std::string("SQLite format 3") + '\0';
    std::string garbage = header + std::string(4000, '\x5a');
    std::vector<Case> cases = {
        {"missing.mdb", "", "Could not find file"},
        {"text.mdb", "this is not a database, just some text\n", "Could not open the database file"},
        {"broken.mdb", garbage, "Could not open the database file"},
    };
    for (const Case& c : cases) {
        std::string file = s.Dir + "/" + c.name;
        if (!c.content.empty()) {
            std::ofstream out(file, std::ios::binary);
            out << c.content;
        }
        TADOConnection conn;
        conn.SetConnectionString(JetString(file));
        try {
            conn.Open();
            FAIL() << c.name;
        } catch (const EADOError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expect), std::string::npos) << c.name << ": " << e.what();
        }
        EXPECT_FALSE(conn.Connected());
    }
    TADOConnection none;
    EXPECT_THROW(none.Open(), EADOError);
}

namespace {
class TFakeWorkbook : public IWorkbookReader {
public:
    std::vector<std::string> SheetNames() override { return {"学员", "Sheet2"}; }
    void ReadSheet(const std::string& sheet, std::vector<std::string>& titles,
                   std::vector<std::vector<Variant>>& rows) override
    {
        if (sheet != "学员") return;
        titles = {"姓名", "报名日期", "费用", ""};
        rows = {{Variant("王五"), Variant::FromDate(EncodeDate(2008, 3, 5)), Variant(1200.0), Variant(1.0)},
                {Variant("李四"), Null(), Variant(800.5), Variant("备注")}};
    }
};
}

TEST(AdoWorkbook, SheetsAreReadOnlyTables)
{
    TScratch s;
    std::string file = s.Dir + "/students.xls";
    std::ofstream(file) << "x";
    TADOConnection conn;
    conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Excel 8.0;DATABASE=" + file);
    qzAdo::SetWorkbookOpener(nullptr);
    EXPECT_THROW(conn.Open(), EADOError);
    qzAdo::SetWorkbookOpener([](const std::string&) { return std::make_unique<TFakeWorkbook>(); });
    conn.SetMode(cmShareDenyNone);
    conn.Open();
    TStringList sheets;
    conn.GetTableNames(&sheets, false);
    ASSERT_EQ(sheets.Count(), 2);
    EXPECT_EQ(sheets[0], "学员$");
    TADOTable t;
    t.SetConnection(&conn);
    t.SetReadOnly(true);
    t.SetCommandText("[" + sheets[0] + "]");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.Fields()->Fields(0)->FieldName(), "姓名");
    EXPECT_EQ(t.Fields()->Fields(3)->FieldName(), "F4");
    EXPECT_EQ(t.FieldByName("报名日期")->DataType(), ftDateTime);
    EXPECT_EQ(t.FieldByName("费用")->DataType(), ftFloat);
    EXPECT_EQ(t.FieldByName("F4")->AsString(), "1");
    t.Next();
    EXPECT_EQ(t.FieldByName("姓名")->AsString(), "李四");
    EXPECT_TRUE(t.FieldByName("报名日期")->IsNull());
    EXPECT_THROW(conn.Execute("delete from [学员$]"), EADOError);
    TADOTable missing;
    missing.SetConnection(&conn);
    missing.SetTableName("Nope$");
    EXPECT_THROW(missing.Open(), EADOError);
    qzAdo::SetWorkbookOpener(nullptr);
}

TEST_F(AdoFile, EightBitTextReachesTheFileAsUtf8AndFiltersIgnoreCase)
{
    // A GBK byte string (from an 8-bit file or control) is stored as UTF-8.
    Exec("insert into recitems(Id, Name, Notes) values (:Id, :Name, :Notes)",
         {{"Id", 1}, {"Name", Utf8ToGbk("学费")}, {"Notes", "Tuition"}});
    EXPECT_EQ(Scalar("select Name from recitems").AsString(), "学费");
    EXPECT_EQ(Scalar("select count(*) from recitems where Name='学费'").AsInteger(), 1);
    TADODataSet ds;
    ds.SetConnection(&Conn);
    ds.SetCommandText("select * from recitems");
    ds.Open();
    ds.SetFilter("Notes like '%TUITION%'");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 1);
    ds.SetFilter("Name like '%学%'");
    EXPECT_EQ(ds.RecordCount(), 1);
}
