#include "Database.h"

#include "TestDb.h"
#include "Streams.h"
#include "qzLib.h"

using Database::MakeParam;

namespace {

// Sets the connection string without opening it: the dialect questions
// read only the string.
struct TConnStrScope {
    explicit TConnStrScope(const std::string& s) : Prev(GDatabase->Connection()->ConnectionString())
    {
        GDatabase->Connection()->SetConnectionString(s);
    }
    ~TConnStrScope() { GDatabase->Connection()->SetConnectionString(Prev); }
    std::string Prev;
};

}  // namespace

TEST(DatabaseDialect, ProviderDecidesTheDateLiteral)
{
    struct Case { std::string ConnStr; bool SqlServer; std::string Date; };
    const Case cases[] = {
        {"Provider=SQLOLEDB.1;Data Source=db1;", true, "'2008-03-05'"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/a.mdb;", false, "#2008-03-05#"},
        {"Provider=microsoft.jet.oledb.4.0;Data Source=/x/a.mdb;", true, "'2008-03-05'"},
        {"Provider=MSDASQL.1;DSN=x;", true, "'2008-03-05'"},
    };
    const TDateTime d = EncodeDateTime(2008, 3, 5, 14, 30, 0, 0);
    for (const Case& c : cases) {
        TConnStrScope s(c.ConnStr);
        EXPECT_EQ(GDatabase->IsSqlServer(), c.SqlServer) << c.ConnStr;
        EXPECT_EQ(GDatabase->DateToSql(d), c.Date) << c.ConnStr;
    }
}

TEST(DatabaseDialect, ConnectionStringValues)
{
    {
        TConnStrScope s("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a.mdb;Persist Security Info=False");
        EXPECT_EQ(GDatabase->GetDataSource(), "C:\\a.mdb");
        EXPECT_EQ(GDatabase->GetProvider(), "Microsoft.Jet.OLEDB.4.0");
        EXPECT_EQ(GDatabase->GetConnStrValue("Persist Security Info"), "")
            << "the last key without a following ';' reads empty";
        EXPECT_EQ(GDatabase->GetConnStrValue("User ID"), "");
    }
    {
        TConnStrScope s("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a.mdb");
        EXPECT_EQ(GDatabase->GetDataSource(), "");
    }
    {
        // Values the settings quote come back as they were given.
        TConnStrScope s("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"p;\"\"w\";"
                        "Data Source=\"/srv/a;b.mdb\";Persist Security Info=True");
        EXPECT_EQ(GDatabase->GetDataSource(), "/srv/a;b.mdb");
        EXPECT_EQ(GDatabase->GetConnStrValue("Jet OLEDB:Database Password"), "p;\"w");
        EXPECT_EQ(GDatabase->GetProvider(), "Microsoft.Jet.OLEDB.4.0");
    }
}

TEST(ClientDataSet, FieldDefSizesAreCapped)
{
    struct Case { int Size; int Expected; };
    TQzClientDataSet cds;
    const int classDefault = TStringField().Size();
    const Case cases[] = {{10, classDefault}, {21, 21}, {139, 139}, {140, 140}, {255, 140}};
    int i = 0;
    for (const Case& c : cases) {
        TField* f = cds.AddFieldDef(TStringField::StaticClass(), "F" + std::to_string(i++), c.Size, true, ftString,
                                    "label");
        EXPECT_EQ(f->Size(), c.Expected) << c.Size;
        EXPECT_EQ(f->DisplayLabel(), "label");
    }
    cds.DataSet()->CreateDataSet();
    cds.DataSet()->Append();
    cds.DataSet()->FieldByName("F3")->SetAsString("x");
    cds.DataSet()->Post();
    EXPECT_EQ(cds.DataSet()->RecordCount(), 1);
}

class DatabaseTest : public DbTest {};

TEST_F(DatabaseTest, ExecSqlReturnsRowsAffectedAndBindsNamesWithoutCase)
{
    EXPECT_EQ(GDatabase->ExecSQL("insert into recitems(Id, Name, Notes) values (:Id, :Name, :NOTES)",
                                 {MakeParam("id", 1), MakeParam("Name", "学费"), MakeParam("notes", "it's")}),
              1);
    EXPECT_EQ(Value("select Name || '|' || Notes from recitems"), "学费|it's");
    EXPECT_EQ(GDatabase->ExecSQL("update recitems set Name=:Name where Id=:Id",
                                 {MakeParam("Name", "x"), MakeParam("Id", 99)}),
              0);
    EXPECT_EQ(GDatabase->ExecSQL("update recitems set Name=Name"), 1);
}

TEST_F(DatabaseTest, UnknownParameterRaisesBeforeAnythingRuns)
{
    const std::string sql = "insert into recitems(Id, Name) values (:Id, :Name)";
    for (int viaCommand = 0; viaCommand < 2; ++viaCommand) {
        try {
            if (viaCommand)
                GDatabase->Execute(sql, {MakeParam("Id", 1), MakeParam("Nmae", "x")});
            else
                GDatabase->ExecSQL(sql, {MakeParam("Id", 1), MakeParam("Nmae", "x")});
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find("Nmae"), std::string::npos) << e.Message();
            EXPECT_EQ(e.Message().find(sql), std::string::npos) << "the parameter error carries no statement";
        }
    }
    EXPECT_EQ(Count("recitems"), 0);
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(DatabaseTest, StatementFailureCarriesDriverMessageAndStatement)
{
    GDatabase->ExecSQL("insert into recitems(Id, Name) values (1, 'a')");
    const std::string dup = "insert into recitems(Id, Name) values (1, 'b')";
    const std::string bad = "update nosuchtable set x=1";
    for (const std::string& sql : {dup, bad}) {
        for (int viaCommand = 0; viaCommand < 2; ++viaCommand) {
            try {
                if (viaCommand)
                    GDatabase->Execute(sql);
                else
                    GDatabase->ExecSQL(sql);
                ADD_FAILURE() << "no error for " << sql;
            } catch (const Exception& e) {
                const std::string m = e.Message();
                ASSERT_GT(m.size(), sql.size() + 2);
                EXPECT_EQ(m.substr(m.size() - sql.size() - 2), "\r\n" + sql);
                EXPECT_FALSE(m.substr(0, m.size() - sql.size() - 2).empty()) << "the driver's message comes first";
            }
        }
    }
    EXPECT_EQ(Value("select Name from recitems"), "a");
    EXPECT_TRUE(Rec.Messages().empty()) << "the data layer shows nothing for a failed statement";
}

TEST_F(DatabaseTest, FailedOpenShowsTheStatementThenRaisesClosedSet)
{
    const std::string sql = "select * from nosuchtable";
    for (int kind = 0; kind < 2; ++kind) {
        try {
            if (kind) {
                TQuerySet q;
                q.Open(sql);
            } else {
                TRecordSet r;
                r.Open(sql);
            }
            ADD_FAILURE() << "no error";
        } catch (const EAbort&) {
            ADD_FAILURE() << "silent abort";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed dataset");
        }
    }
    auto msgs = Rec.Messages();
    ASSERT_EQ(msgs.size(), 2u);
    const std::string head = "\r\nSQL语句错误,原文如下:\r\n" + sql + "\r\n\r\n错误提示:\r\n";
    EXPECT_EQ(msgs[0].substr(0, head.size()), head);
    EXPECT_GT(msgs[0].size(), head.size() + 1) << "the driver's message follows";
}

TEST_F(DatabaseTest, OpenReturnsTheRecordCountAndBindsParameters)
{
    Exec("insert into recitems values (1,'a',''); insert into recitems values (2,'b',''); "
         "insert into recitems values (3,'c','');");
    TRecordSet rs;
    EXPECT_EQ(rs.Open("select * from recitems where Id>=:Low", {MakeParam("low", 2)}), 2);
    EXPECT_EQ(rs.SqlText(), "select * from recitems where Id>=:Low");
    TQuerySet qs;
    EXPECT_EQ(qs.Open("select * from recitems"), 3);
    EXPECT_EQ(qs.Open("select * from recitems where Name=:Name", {MakeParam("Name", "none")}), 0);
}

TEST_F(DatabaseTest, JoinFieldListsEveryRow)
{
    TRecordSet rs;
    EXPECT_EQ(rs.JoinField(nullptr, ","), "");
    rs.Open("select Name from recitems");
    EXPECT_EQ(rs.JoinField(rs.DataSet()->Fields()->Fields(0), ","), "");
    Exec("insert into recitems values (1,'a',''); insert into recitems values (2,'b',''); "
         "insert into recitems values (3,'c','');");
    rs.Open("select Name from recitems order by Id");
    EXPECT_EQ(rs.JoinField(rs.DataSet()->Fields()->Fields(0), ","), "a,b,c");
    EXPECT_TRUE(rs.DataSet()->Eof());
}

TEST_F(DatabaseTest, AddFieldMakesThePersistentFields)
{
    TQuerySet qs;
    TField* id = qs.AddField(TIntegerField::StaticClass(), "Id", "Id", false);
    TField* name = qs.AddField(TWideStringField::StaticClass(), "Name", "名称", true, 30);
    EXPECT_FALSE(id->Visible());
    EXPECT_EQ(name->Size(), 30);
    EXPECT_EQ(name->DisplayWidth(), 75);
    EXPECT_EQ(name->DisplayLabel(), "名称");
    Exec("insert into recitems values (1,'a','n')");
    qs.Open("select * from recitems");
    EXPECT_EQ(qs.DataSet()->FieldCount(), 2) << "the set's fields are exactly its persistent ones";
    EXPECT_EQ(name->AsString(), "a");

    TRecordSet rs;
    TField* n2 = rs.AddField(TWideStringField::StaticClass(), "Name", "名称", true, 30);
    EXPECT_NE(n2->DisplayWidth(), 75);
}

TEST_F(DatabaseTest, LocalDeletesNeverReachTheDatabase)
{
    Exec("insert into recitems values (1,'a',''); insert into recitems values (2,'b','');");
    TRecordSet rs;
    rs.Open("select * from recitems");
    rs.DeleteCurrent();
    EXPECT_EQ(rs.DataSet()->RecordCount(), 1);
    rs.DeleteAll();
    EXPECT_EQ(rs.DataSet()->RecordCount(), 0);
    rs.DeleteCurrent();   // nothing left: no error
    EXPECT_EQ(Count("recitems"), 2);
}

TEST_F(DatabaseTest, TransactionsRollBack)
{
    GDatabase->BeginTrans();
    EXPECT_TRUE(GDatabase->InTransaction());
    GDatabase->ExecSQL("insert into recitems(Id, Name) values (1, 'a')");
    GDatabase->RollbackTrans();
    EXPECT_EQ(Count("recitems"), 0);
    GDatabase->BeginTrans();
    GDatabase->ExecSQL("insert into recitems(Id, Name) values (1, 'a')");
    GDatabase->CommitTrans();
    EXPECT_EQ(Count("recitems"), 1);
}

TEST_F(DatabaseTest, ServerNowReadsTheDatabaseClock)
{
    const TDateTime t = GDatabase->ServerNow();
    const TDateTime local = TSystemClock().Now();
    EXPECT_LT(std::abs(t - local), 10.0 / MinsPerDay) << FormatDateTime("yyyy-mm-dd hh:nn:ss", t);
}

TEST_F(DatabaseTest, DatesReachTheFileAsTheJetLiteralMeansThem)
{
    Exec("insert into students(Id, Name, Signdate) values (1, 'a', '2008-03-05 14:30:00');"
         "insert into students(Id, Name, Signdate) values (2, 'b', '2008-03-06');");
    TRecordSet rs;
    EXPECT_EQ(rs.Open("select * from students where Signdate>=" + GDatabase->DateToSql(EncodeDate(2008, 3, 5)) +
                      " and Signdate<" + GDatabase->DateToSql(EncodeDate(2008, 3, 6))),
              1);
}

TEST_F(DatabaseTest, ConnectFailureIsShownAndReported)
{
    GDatabase->SetConnected(false);
    const std::string folder = Dir.File("nofolder/deeper/x.mdb");
    EXPECT_FALSE(GDatabase->Connect("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + ";"));
    EXPECT_FALSE(GDatabase->GetConnected());
    auto msgs = Rec.Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].rfind("\r\n连接时失败,提示如下:\r\n", 0), 0u) << msgs[0];
    // Connecting again with a good string works.
    EXPECT_TRUE(GDatabase->Connect(ConnStr()));
}

TEST_F(DatabaseTest, SetsReopenAClosedConnection)
{
    GDatabase->SetConnected(false);
    Exec("insert into recitems values (1,'a','')");
    TRecordSet rs;
    EXPECT_EQ(rs.Open("select * from recitems"), 1);
    EXPECT_TRUE(GDatabase->GetConnected());
    GDatabase->SetConnected(false);
    EXPECT_EQ(GDatabase->ExecSQL("delete from recitems"), 1);
}

namespace {

class TTestWhere : public TCustomWhere {
public:
    TTestWhere()
    {
        Id = Def("Id", ftInteger);
        Name = Def("Name", ftWideString, 30);
        CreateRecord();
    }
    TField* Id;
    TField* Name;
};

}  // namespace

TEST(CustomWhere, OneRowInInsertStateClearedAfresh)
{
    TTestWhere w;
    EXPECT_EQ(w.DataSet()->State(), dsInsert);
    EXPECT_FALSE(w.IsSet(w.Id));
    w.Id->SetAsInteger(5);
    w.Name->SetAsString("x");
    EXPECT_TRUE(w.IsSet(w.Id));
    EXPECT_TRUE(w.HasText(w.Name));
    w.Name->SetAsString("");
    EXPECT_FALSE(w.HasText(w.Name));
    w.Clear();
    EXPECT_EQ(w.DataSet()->State(), dsInsert);
    EXPECT_TRUE(w.Id->IsNull());
    EXPECT_TRUE(w.Name->IsNull());
    EXPECT_EQ(w.DataSet()->RecordCount(), 0) << "the criteria row is never posted";
}

TEST(CustomWhere, FlushEditsTakesWhatABoundControlHolds)
{
    TTestWhere w;
    TDataSource src;
    src.SetDataSet(w.DataSet());
    TFieldDataLink link;
    link.SetDataSource(&src);
    link.SetFieldName("Name");
    link.OnUpdateData = [&](TObject*) { link.Field()->SetAsString("typed"); };
    link.SetModified();
    w.FlushEdits();
    EXPECT_EQ(w.Name->AsString(), "typed");
    EXPECT_EQ(w.DataSet()->State(), dsInsert) << "nothing is posted";
}

TEST_F(DatabaseTest, BlobParametersCarryTheWholeStream)
{
    std::string bytes("<?xml?>\0\x01\xff layout", 17);
    TStringStream stream(bytes);
    stream.SetPosition(5);   // the whole content counts, wherever the stream stands
    GDatabase->Execute("insert into report(Id, GrpId, Title, Fr3File) values (:Id, :GrpId, :Title, :Fr3File)",
                       {MakeParam("Id", 1), MakeParam("GrpId", 1003), MakeParam("Title", "收据")},
                       {TxDBParameter{"Fr3File", &stream}});
    EXPECT_EQ(Value("select length(Fr3File) from report"), "17");
    EXPECT_EQ(Value("select hex(Fr3File) from report"), "3C3F786D6C3F3E0001FF206C61796F7574");
}
