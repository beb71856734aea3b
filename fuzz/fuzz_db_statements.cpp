// Any text through the statement scanners (parameter markers, the file engine's
// statement forms) and the connection-string reader; any text as a quoted
// literal, a bracketed name or a quoted connection-string value comes back
// exactly, and a literal put into a real statement finds exactly that text.
#include "ADODB.h"
#include "AdoEngine.h"
#include "SysUtils.h"
#include "fuzz_scratch.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string Doubled(const std::string& s, char q)
{
    std::string out;
    for (char c : s) {
        out += c;
        if (c == q) out += q;
    }
    return out;
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "property failed: %s\n", what);
        abort();
    }
}

void AnyStatement(const std::string& text)
{
    TParameters params(nullptr);
    try {
        params.ParseSQL(text, true);
    } catch (const Exception&) {
    }
    qzAdo::TranslateJetSql(text);
    qzAdo::ConnStrValue(text, "Data Source");
    qzAdo::IsJetProvider(text);
}

void QuotedText(const std::string& t)
{
    const std::string lit = "'" + Doubled(t, '\'') + "'";
    {
        TParameters params(nullptr);
        std::string out = params.ParseSQL("select " + lit + " from t where a=:p", true);
        Check(out == "select " + lit + " from t where a=?", "literal through the parameter scan");
        Check(params.Count() == 1 && params.Items(0)->Name() == "p", "one parameter after a literal");
    }
    Check(qzAdo::TranslateJetSql("select " + lit + ", now from t") == "select " + lit + ", qz_now() from t",
          "literal through the statement forms");
    if (t.find(']') == std::string::npos) {
        const std::string name = "[" + t + "]";
        TParameters params(nullptr);
        Check(params.ParseSQL("select " + name + " from t where a=:p", true) ==
                  "select " + name + " from t where a=?",
              "bracketed name through the parameter scan");
        Check(qzAdo::TranslateJetSql("select " + name + ", now from t") == "select " + name + ", qz_now() from t",
              "bracketed name through the statement forms");
    }
    const std::string cs = "Provider=P;Data Source=\"" + Doubled(t, '"') + "\";User ID=u";
    Check(qzAdo::ConnStrValue(cs, "Data Source") == t, "quoted connection-string value");
    Check(qzAdo::ConnStrValue(cs, "User ID") == "u", "key after a quoted value");
    Check(qzAdo::ConnStrValue(cs, "Provider") == "P", "key before a quoted value");
}

TADOConnection* Conn()
{
    static TADOConnection* c = [] {
        std::string file = FuzzScratchDir("statements") + "/stmt.db";
        unlink(file.c_str());
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, "create table t(s text)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        auto* conn = new TADOConnection(nullptr);
        conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
        conn->Open();
        return conn;
    }();
    return c;
}

void LiteralFinds(const std::string& t)
{
    if (!IsValidUtf8(t) || t.find('\0') != std::string::npos) return;
    TADOConnection* conn = Conn();
    conn->Execute("delete from t");
    TADOCommand ins(nullptr);
    ins.SetConnection(conn);
    ins.SetCommandText("insert into t(s) values(:s)");
    ins.Parameters()->ParamByName("s")->SetValue(Variant(t));
    ins.Execute();
    conn->Execute("insert into t(s) values('other')");
    // A data set keeps its statement text as given (a query's lines would join with CR LF).
    TADODataSet q(nullptr);
    q.SetConnection(conn);
    q.SetCommandText("select s from t where s = '" + Doubled(t, '\'') + "'");
    q.Open();
    Check(q.RecordCount() == (t == "other" ? 2 : 1), "literal finds its rows");
    for (q.First(); !q.Eof(); q.Next()) Check(q.Fields()->Fields(0)->AsString() == t, "literal finds only its rows");
    q.Close();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0: AnyStatement(text); break;
    case 1: QuotedText(text); break;
    default: LiteralFinds(text); break;
    }
    return 0;
}
