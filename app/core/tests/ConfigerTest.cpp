#include "ADODB.h"
#include "qzProj.h"

#include "Http.h"
#include "Registry.h"
#include "TestHttpServer.h"
#include "TestSupport.h"
#include "qzLib.h"

namespace {

constexpr const char* AliasKey = "\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";

class ConfigerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qzProj::SetProgramFolder(Dir.Path());
        FPrevProject = qzProj::ProjectName;
        qzProj::ProjectName = "pemtal";
        TRegistry::SetStoreFileName(Dir.File("registry.ini"));
    }
    void TearDown() override
    {
        qzProj::SetProgramFolder("");
        qzProj::ProjectName = FPrevProject;
        TRegistry::SetStoreFileName("");
    }
    std::string Alias(const std::string& server)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!reg.OpenKeyReadOnly(AliasKey) || !reg.ValueExists(server)) return "<none>";
        return reg.ReadString(server);
    }
    std::string Ini() { return ReadFileBytes(Dir.File("cfg.ini")); }
    std::string RawValue(const std::string& key)
    {
        TIniFile ini(Dir.File("cfg.ini"));
        return ini.ReadStringRaw("db", key, "<missing>");
    }

    TTempDir Dir;
    THostRecorder Rec;
    std::string FPrevProject;
};

}  // namespace

TEST_F(ConfigerTest, MissingFileReadsDefaults)
{
    TConfiger c;
    EXPECT_EQ(c.providerIdx, 0);
    EXPECT_TRUE(c.defaultCon);
    EXPECT_EQ(c.mssqlPort, 1433);
    EXPECT_EQ(c.mssqlServer, "");
    EXPECT_EQ(c.mssqlPw, "");
    EXPECT_FALSE(c.SmartConnect);
    EXPECT_FALSE(c.developer);
    EXPECT_EQ(c.GetConnStr(), "");
}

TEST_F(ConfigerTest, SqlServerKindSavesScrambledValuesAndTheAlias)
{
    {
        TConfiger c;
        c.providerIdx = 0;
        c.mssqlServer = "db1";
        c.mssqlPort = 1500;
        c.mssqlDb = "school";
        c.mssqlUser = "sa";
        c.mssqlPw = "password";
        c.jetfile = "/data/驾校.mdb";
        c.jetPw = "'quoted ";
        c.Save();
    }
    EXPECT_EQ(RawValue("mssqlPw"), qzLib::Scramble("password"));
    EXPECT_EQ(RawValue("mssqlPw"), "\x77\x64\x7b\x7b\x7f\x6b\x75\x64");
    EXPECT_EQ(RawValue("jetfile"), qzLib::Scramble(Utf8ToGbk("/data/驾校.mdb")));
    EXPECT_EQ(RawValue("mssqlPort"), "1500");
    EXPECT_EQ(RawValue("providerIdx"), "0");
    EXPECT_EQ(RawValue("defaultCon"), "1");
    EXPECT_EQ(Alias("db1"), "DBMSSOCN,db1,1500");

    const std::string expected =
        "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=password;"
        "Initial Catalog=school;Data Source=db1;Use Procedure for Prepare=1;Auto Translate=True;"
        "Packet Size=4096;Workstation ID=PEMTAL;Use Encryption for Data=False;"
        "Tag with column collation when possible=False";
    EXPECT_EQ(qzLib::Scramble(RawValue("ConnStr")), expected);

    TConfiger back;
    EXPECT_EQ(back.mssqlServer, "db1");
    EXPECT_EQ(back.mssqlPort, 1500);
    EXPECT_EQ(back.mssqlPw, "password");
    EXPECT_EQ(back.jetfile, "/data/驾校.mdb");
    EXPECT_EQ(back.jetPw, "'quoted ") << "a value starting with a quote and ending in a blank survives";
    EXPECT_EQ(back.GetConnStr(), expected);
}

TEST_F(ConfigerTest, ConnectionStringsKeepValuesWithSemicolonsQuotesAndBlanks)
{
    TConfiger c;
    c.mssqlServer = "db1";
    c.mssqlUser = " sa";
    c.mssqlPw = "p;w\"x";
    c.mssqlDb = "'school";
    c.jetfile = "/data/a;b.mdb";
    c.jetPw = "'quoted ";
    const std::string sql = c.SqlServerConnStr(), jet = c.JetConnStr();
    EXPECT_EQ(qzAdo::ConnStrValue(sql, "User ID"), " sa") << sql;
    EXPECT_EQ(qzAdo::ConnStrValue(sql, "Password"), "p;w\"x") << sql;
    EXPECT_EQ(qzAdo::ConnStrValue(sql, "Initial Catalog"), "'school") << sql;
    EXPECT_EQ(qzAdo::ConnStrValue(sql, "Data Source"), "db1") << sql;
    EXPECT_EQ(qzAdo::ConnStrValue(jet, "Jet OLEDB:Database Password"), "'quoted ") << jet;
    EXPECT_EQ(qzAdo::ConnStrValue(jet, "Data Source"), "/data/a;b.mdb") << jet;
    EXPECT_EQ(qzAdo::ConnStrValue(jet, "Persist Security Info"), "True") << jet;
}

TEST_F(ConfigerTest, SmartConnectionDeletesTheAliasButKeepsThePort)
{
    TConfiger::SetServerAlias("db1", "1433", false);
    ASSERT_EQ(Alias("db1"), "DBMSSOCN,db1,1433");
    TConfiger c;
    c.mssqlServer = "db1";
    c.mssqlPort = 2433;
    c.SmartConnect = true;
    c.Save();
    EXPECT_EQ(Alias("db1"), "<none>");
    EXPECT_EQ(RawValue("mssqlPort"), "2433");
}

TEST_F(ConfigerTest, AliasWithoutPortNamesTheServerAlone)
{
    TConfiger::SetServerAlias("srv", "", false);
    EXPECT_EQ(Alias("srv"), "DBMSSOCN,srv");
    TConfiger::SetServerAlias("", "1433", false);
    EXPECT_EQ(Alias(""), "<none>") << "no alias without a server name";
}

TEST_F(ConfigerTest, AliasStoreThatCannotBeWrittenIsSilent)
{
    // The store's folder is a file: nothing can be written there.
    WriteFileBytes(Dir.File("blocked"), "x");
    TRegistry::SetStoreFileName(Dir.File("blocked/registry.ini"));
    TConfiger c;
    c.mssqlServer = "db1";
    EXPECT_NO_THROW(c.Save());
    EXPECT_NO_THROW(TConfiger::SetServerAlias("db1", "1", true));
    EXPECT_TRUE(Rec.Messages().empty());
    EXPECT_NE(qzLib::Scramble(RawValue("ConnStr")).find("Data Source=db1;"), std::string::npos);
}

TEST_F(ConfigerTest, JetKindWithTheBuiltInDatabaseIgnoresTheStoredValues)
{
    TConfiger c;
    c.providerIdx = 1;
    c.defaultCon = true;
    c.jetfile = "/elsewhere/x.mdb";
    c.jetPw = "pw";
    c.Save();
    const std::string builtIn = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Dir.Path() +
                                "/pemtal.mdb;Jet OLEDB:Database Password=tidewarp;Persist Security Info=True";
    EXPECT_EQ(c.GetConnStr(), builtIn);
    // The file string is still stored, unused.
    EXPECT_EQ(qzLib::Scramble(RawValue("ConnStr")),
              "Provider=Microsoft.Jet.OLEDB.4.0;Mode = ReadWrite;Jet OLEDB:Database Password=pw;"
              "Data Source=/elsewhere/x.mdb;Persist Security Info=True");
    TConfiger back;
    EXPECT_EQ(back.GetConnStr(), builtIn);

    back.defaultCon = false;
    EXPECT_EQ(back.GetConnStr(), qzLib::Scramble(RawValue("ConnStr")));
}

TEST_F(ConfigerTest, BuiltInDatabaseWithoutProjectNameFollowsTheProgramName)
{
    qzProj::ProjectName = "";
    EXPECT_EQ(TConfiger::DefaultConnStr(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + ChangeFileExt(ApplicationExeName(), ".mdb") +
                  ";Jet OLEDB:Database Password=tidewarp;Persist Security Info=True");
}

TEST_F(ConfigerTest, DipKindStoresAnEmptyStringAndSwitchingBackRestoresIt)
{
    TConfiger c;
    c.mssqlServer = "db1";
    c.providerIdx = 2;
    c.Save();
    EXPECT_EQ(RawValue("ConnStr"), "");
    c.providerIdx = 0;
    c.Save();
    EXPECT_NE(qzLib::Scramble(RawValue("ConnStr")).find("Data Source=db1;"), std::string::npos);
}

TEST_F(ConfigerTest, DipReplyOfFiveLinesGivesTheStringAndTheAlias)
{
    TTestHttpServer server;
    TConfiger c;
    c.providerIdx = 2;
    c.dipUrl = server.Url("/dip");
    c.dipUser = "school7";
    struct Case { std::string Reply; std::string Result; };
    const std::string good =
        "Provider=SQLOLEDB.1;Data Source=10.0.0.5;User ID=u1;Password=p1;Initial Catalog=drv;"
        "Persist Security Info=True";
    const Case cases[] = {
        {"10.0.0.5\r\n1444\r\nu1\r\np1\r\ndrv", good},
        {"10.0.0.5\r\n1444\r\nu1\r\np1\r\ndrv\r\n", good},   // a final break makes no sixth line
        {"10.0.0.5\n1444\nu1\np1\ndrv\n", good},
        {"10.0.0.5\r\n1444\r\nu1\r\np1", ""},
        {"10.0.0.5\r\n1444\r\nu1\r\np1\r\ndrv\r\nextra", ""},
        {"10.0.0.5\r\n1444\r\nu1\r\np;1\r\ndrv",
         "Provider=SQLOLEDB.1;Data Source=10.0.0.5;User ID=u1;Password=\"p;1\";Initial Catalog=drv;"
         "Persist Security Info=True"},
        {"", ""},
    };
    for (const Case& k : cases) {
        server.Reply(200, k.Reply);
        EXPECT_EQ(c.GetConnStr(), k.Result) << k.Reply;
    }
    EXPECT_TRUE(Rec.Messages().empty()) << "unusable replies are not reported";
    EXPECT_EQ(Alias("10.0.0.5"), "DBMSSOCN,10.0.0.5,1444");
    auto reqs = server.Requests();
    ASSERT_FALSE(reqs.empty());
    EXPECT_EQ(reqs[0].Method, "GET");
    EXPECT_EQ(reqs[0].Target, "/dip?user=school7");
}

TEST_F(ConfigerTest, DipRequestFailureIsReported)
{
    TTestHttpServer server;
    server.Reply(500, "10.0.0.5\r\n1444\r\nu1\r\np1\r\ndrv");
    TConfiger c;
    c.providerIdx = 2;
    c.dipUrl = server.Url("/dip");
    EXPECT_EQ(c.GetConnStr(), "");
    c.dipUrl = "http://127.0.0.1:" + std::to_string(TTestHttpServer::ClosedPort()) + "/dip";
    EXPECT_EQ(c.GetConnStr(), "");
    auto msgs = Rec.Messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0], "\r\n无法获得DIP连接信息,请检查网络是否畅通.\t");
    EXPECT_EQ(Alias("10.0.0.5"), "<none>");
}

TEST_F(ConfigerTest, LastLoginIdLivesInItsOwnSection)
{
    EXPECT_EQ(TConfiger::GetLastLoginId(), "");
    TConfiger::SetLastLoginId("张三");
    EXPECT_EQ(TConfiger::GetLastLoginId(), "张三");
    EXPECT_NE(Ini().find("[Login]"), std::string::npos);
    // Saving the connection settings keeps it.
    TConfiger c;
    c.Save();
    EXPECT_EQ(TConfiger::GetLastLoginId(), "张三");
}

TEST_F(ConfigerTest, ReadsAFileWrittenByHand)
{
    WriteFileBytes(Dir.File("cfg.ini"),
                   "[db]\r\nproviderIdx=1\r\ndefaultCon=0\r\nmssqlPort=abc\r\njetUser=admin\r\n"
                   "jetPw=" + qzLib::Scramble("secret") + "\r\n[publish]\r\ndeveloper=1\r\n");
    TConfiger c;
    EXPECT_EQ(c.providerIdx, 1);
    EXPECT_FALSE(c.defaultCon);
    EXPECT_EQ(c.mssqlPort, 1433) << "a malformed number reads as the default";
    EXPECT_EQ(c.jetUser, "admin");
    EXPECT_EQ(c.jetPw, "secret");
    EXPECT_TRUE(c.developer);
}
