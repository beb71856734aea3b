// The server path, run for real through unixODBC: a server connection string
// is translated to ODBC keys and reaches a driver named by its library (the
// SQLite ODBC driver, standing in for the server's).
#include "ADODB.h"
#include "StringLists.h"
#include "Streams.h"
#include "SysUtils.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string DriverLibrary()
{
    for (const char* p : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
                          "/usr/lib/odbc/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so"})
        if (access(p, R_OK) == 0) return p;
    return std::string();
}

class OdbcPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string lib = DriverLibrary();
        if (lib.empty()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
        char tmpl[] = "/tmp/qzodbcXXXXXX";
        Dir = mkdtemp(tmpl);
        // The driver is named by its library, so no driver list needs changing.
        setenv("QZ_ODBC_DRIVER", lib.c_str(), 1);
        File = Dir + "/school.db";
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(File.c_str(), &db), SQLITE_OK);
        const char* schema =
            "create table students (Id int not null primary key, Name varchar(30), Signdate datetime, "
            "Notes text, IsPass smallint, Fee float);"
            "create table report (Id int not null primary key, Title nvarchar(100), Fr3File blob);";
        ASSERT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        Conn.SetLoginPrompt(false);
        Conn.SetConnectionTimeout(5);
        Conn.SetConnectionString("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=;Initial Catalog=" +
                                 File + ";Data Source=localhost;Workstation ID=QZ");
        Conn.Open();
    }
    void TearDown() override
    {
        Conn.Close();
        unsetenv("QZ_ODBC_DRIVER");
        if (!Dir.empty()) std::system(("rm -rf '" + Dir + "'").c_str());
    }

    int Exec(const std::string& sql, std::vector<std::pair<std::string, Variant>> params = {})
    {
        TADOQuery q;
        q.SetConnection(&Conn);
        q.SQL()->SetText(sql);
        for (auto& [n, v] : params) q.Parameters()->ParamByName(n)->SetValue(v);
        return q.ExecSQL();
    }

    int Count(const std::string& table)
    {
        TADOQuery q;
        q.SetConnection(&Conn);
        q.SQL()->SetText("select count(*) from " + table);
        q.Open();
        return q.Fields()->Fields(0)->AsInteger();
    }

    std::string Dir, File;
    TADOConnection Conn;
};

}

TEST_F(OdbcPath, NamedParametersTravelAsPositionalOnes)
{
    EXPECT_TRUE(Conn.Connected());
    // The same name twice, names in any case, every value kind.
    EXPECT_EQ(Exec("insert into students(Id, Name, Signdate, Notes, IsPass, Fee) values (:Id, :Name, :Signdate, :Notes, :IsPass, :Fee)",
                   {{"ID", 1}, {"name", "张三"}, {"Signdate", Variant::FromDate(EncodeDateTime(2008, 3, 5, 14, 30, 0, 0))},
                    {"Notes", std::string(5000, 'n')}, {"IsPass", true}, {"Fee", 12.5}}),
              1);
    EXPECT_EQ(Exec("insert into students(Id, Name) values (:Id, :Name)", {{"Id", 2}, {"Name", Null()}}), 1);
    EXPECT_EQ(Exec("update students set Fee=:Fee where Id=:Id or Id=:Id", {{"Fee", 1.0}, {"Id", 77}}), 0);
    TADOQuery q;
    q.SetConnection(&Conn);
    q.SQL()->SetText("select * from students where Id>=:Low order by Id");
    q.Parameters()->ParamByName("low")->SetValue(1);
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("Name")->AsString(), "张三");
    EXPECT_EQ(q.FieldByName("Notes")->AsString().size(), 5000u);
    EXPECT_EQ(q.FieldByName("IsPass")->AsInteger(), 1);
    EXPECT_DOUBLE_EQ(q.FieldByName("Fee")->AsFloat(), 12.5);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", q.FieldByName("Signdate")->AsDateTime()), "2008-03-05 14:30");
    q.Next();
    EXPECT_TRUE(q.FieldByName("Name")->IsNull());
    EXPECT_TRUE(q.Locate("Name", "张三", {}));
}

TEST_F(OdbcPath, BlobsAndWideText)
{
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += char((i * 7) & 0xff);
    TStringStream src(bytes);
    TADOCommand cmd;
    cmd.SetConnection(&Conn);
    cmd.SetCommandText("insert into report(Id, Title, Fr3File) values (:Id, :Title, :Fr3File)");
    cmd.Parameters()->ParamByName("Id")->SetValue(1);
    cmd.Parameters()->ParamByName("Title")->SetValue(Variant::FromWide("学员名单"));
    cmd.Parameters()->ParamByName("Fr3File")->LoadFromStream(&src, ftBlob);
    EXPECT_EQ(cmd.Execute(), 1);
    TADODataSet ds;
    ds.SetConnection(&Conn);
    ds.SetCommandText("select * from report");
    ds.Open();
    EXPECT_EQ(ds.FieldByName("Title")->AsString(), "学员名单");
    TMemoryStream out;
    static_cast<TBlobField*>(ds.FieldByName("Fr3File"))->SaveToStream(&out);
    EXPECT_EQ(std::string(static_cast<char*>(out.Memory()), size_t(out.Size())), bytes);
}

TEST_F(OdbcPath, TransactionsAndFailures)
{
    Conn.BeginTrans();
    Exec("insert into students(Id) values (1)");
    Conn.RollbackTrans();
    EXPECT_EQ(Count("students"), 0);
    Conn.BeginTrans();
    Exec("insert into students(Id) values (1)");
    Conn.CommitTrans();
    EXPECT_EQ(Count("students"), 1);
    try {
        Exec("insert into students(Id) values (1)");
        FAIL();
    } catch (const EADOError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    EXPECT_THROW(Exec("select * from nosuch"), EADOError);
    EXPECT_EQ(Count("students"), 1);
    TStringList names;
    Conn.GetTableNames(&names, false);
    EXPECT_GE(names.IndexOf("students"), 0);
    EXPECT_GE(names.IndexOf("report"), 0);
}

TEST(OdbcConnect, UnreachableServerRaisesTheDriversMessage)
{
    unsetenv("QZ_ODBC_DRIVER");
    TADOConnection conn;
    conn.SetConnectionTimeout(2);
    conn.SetConnectionString("Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;Initial Catalog=x;User ID=sa;Password=");
    try {
        conn.Open();
        FAIL();
    } catch (const EADOError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    EXPECT_FALSE(conn.Connected());
    TADOConnection unknown;
    unknown.SetConnectionString("Provider=MSDASQL.1;DRIVER={No Such Driver};DATABASE=x");
    EXPECT_THROW(unknown.Open(), EADOError);
}
