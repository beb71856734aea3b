// The application core with any text: cfg.ini of any bytes is read; settings of
// any text written and read back come back the same; scrambling round-trips;
// a criterion of any text reaches SQL without breaking the statement and finds
// exactly its rows in a real database file made from the school's schema.
#include "ADODB.h"
#include "Bizs.h"
#include "Database.h"
#include "RecordingHost.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "qzLib.h"
#include "qzProj.h"
#include "fuzz_scratch.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const std::string& what)
{
    if (!ok) {
        fprintf(stderr, "property failed: %s\n", what.c_str());
        abort();
    }
}

std::shared_ptr<TRecordingHost> GHost;

std::string Folder()
{
    static std::string dir = [] {
        std::string d = FuzzScratchDir("appcore");
        GHost = std::make_shared<TRecordingHost>();
        SetHostServices(GHost);
        Database::Initialize();
        qzProj::Initialize();
        qzProj::SetProgramFolder(d);
        // The school's database, made from its schema script.
        std::string file = d + "/school.mdb";
        unlink(file.c_str());
        const std::string schema = std::string(QZ_SOURCE_ROOT) + "/app/schema/sqlite.sql";
        std::ifstream in(schema, std::ios::binary);
        if (!in) {
            fprintf(stderr, "cannot read the schema %s\n", schema.c_str());
            abort();
        }
        std::stringstream ss;
        ss << in.rdbuf();
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        char* err = nullptr;
        if (sqlite3_exec(db, ("begin;\n" + ss.str() + "\ncommit;").c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            fprintf(stderr, "schema: %s\n", err ? err : "?");
            abort();
        }
        sqlite3_close(db);
        if (!GDatabase->Connect("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file)) abort();
        return d;
    }();
    return dir;
}

std::vector<std::string> Parts(const std::string& text, size_t n)
{
    std::vector<std::string> out(n);
    size_t k = 0;
    for (char c : text) {
        if (c == '\x01' && k + 1 < n) ++k;
        else out[k] += c;
    }
    return out;
}

void AnyIniFile(const std::string& bytes)
{
    std::string file = Folder() + "/cfg.ini";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    try {
        TConfiger cfg;
        // The service kind would ask the network.
        if (cfg.providerIdx != TConfiger::kindDip) cfg.GetConnStr();
        TConfiger::GetLastLoginId();
    } catch (const Exception&) {
    }
}

void SettingsRoundTrip(const std::string& text)
{
    std::vector<std::string> p = Parts(text, 8);
    for (const std::string& s : p)
        if (!IsValidUtf8(s)) return;
    unlink((Folder() + "/cfg.ini").c_str());
    TConfiger cfg;
    cfg.mssqlServer = p[0];
    cfg.mssqlDb = p[1];
    cfg.mssqlUser = p[2];
    cfg.mssqlPw = p[3];
    cfg.jetfile = p[4];
    cfg.jetPw = p[5];
    cfg.dipUrl = p[6];
    cfg.jetUser = p[7];
    cfg.providerIdx = TConfiger::kindJet;
    cfg.defaultCon = false;
    try {
        cfg.Save();
    } catch (const Exception&) {
        return;   // a value the file cannot hold is refused
    }
    TConfiger back;
    auto same = [&](const std::string& a, const std::string& b, const char* what) {
        // Text the 8-bit file form cannot hold comes back as that form reads.
        if (GbkToUtf8(Utf8ToGbk(a)) != a) return;
        Check(a == b, std::string(what) + ": [" + a + "] came back as [" + b + "]");
    };
    same(p[0], back.mssqlServer, "mssqlServer");
    same(p[1], back.mssqlDb, "mssqlDb");
    same(p[2], back.mssqlUser, "mssqlUser");
    same(p[3], back.mssqlPw, "mssqlPw");
    same(p[4], back.jetfile, "jetfile");
    same(p[5], back.jetPw, "jetPw");
    same(p[6], back.dipUrl, "dipUrl");
    same(p[7], back.jetUser, "jetUser");
    same(cfg.JetConnStr(), back.GetConnStr(), "ConnStr");
    // Every value reads back out of the connection strings made from it.
    const std::string jet = cfg.JetConnStr(), sql = cfg.SqlServerConnStr();
    Check(qzAdo::ConnStrValue(jet, "Data Source") == p[4], "jet file in " + jet);
    Check(qzAdo::ConnStrValue(jet, "Jet OLEDB:Database Password") == p[5], "jet password in " + jet);
    Check(qzAdo::ConnStrValue(sql, "Data Source") == p[0], "server in " + sql);
    Check(qzAdo::ConnStrValue(sql, "Initial Catalog") == p[1], "database in " + sql);
    Check(qzAdo::ConnStrValue(sql, "User ID") == p[2], "user in " + sql);
    Check(qzAdo::ConnStrValue(sql, "Password") == p[3], "password in " + sql);
}

void ScrambleRoundTrip(const std::string& text)
{
    Check(qzLib::Scramble(qzLib::Scramble(text)) == text, "scramble round trip");
    Check(qzLib::Scramble(text).size() == text.size(), "scramble keeps the length");
}

void DutyCriterion(const std::string& text)
{
    if (!IsValidUtf8(text) || text.find('\0') != std::string::npos) return;
    Folder();
    GDatabase->ExecSQL("delete from employees");
    TEmployeeSet set;
    set.Where()->DutyFld->SetAsString(text);
    set.Where()->FlushEdits();
    const std::string duty = set.Where()->DutyFld->AsString();
    if (duty.empty()) return;
    REmployee a, b;
    a.Name = "a";
    a.Duty = duty;
    b.Name = "b";
    b.Duty = "教练";
    Check(TEmployeeSet::Save(a) && TEmployeeSet::Save(b), "saving employees");
    size_t before = GHost->Messages().size();
    set.Query();
    Check(GHost->Messages().size() == before, "criterion broke the statement: " + set.QuerySql());
    TDataSet* ds = set.DataSet();
    Check(ds->RecordCount() == (duty == "教练" ? 2 : 1), "criterion rows: " + set.QuerySql());
    for (ds->First(); !ds->Eof(); ds->Next()) Check(set.DutyFld->AsString() == duty, "criterion row text");
    ds->Close();
}

void CarKeyword(const std::string& text)
{
    if (!IsValidUtf8(text) || text.find('\0') != std::string::npos) return;
    Folder();
    GDatabase->ExecSQL("delete from cars");
    TCarSet set;
    set.Where()->KeywordFld->SetAsString(text);
    set.Where()->FlushEdits();
    const std::string key = set.Where()->KeywordFld->AsString();
    if (key.empty()) return;
    RCar a;
    a.CarNo = "x" + key + "y";
    Check(TCarSet::Save(a), "saving a car");
    size_t before = GHost->Messages().size();
    set.Query();
    Check(GHost->Messages().size() == before, "keyword broke the statement: " + set.QuerySql());
    Check(set.DataSet()->RecordCount() == 1, "keyword finds its car: " + set.QuerySql());
    set.DataSet()->Close();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 5) {
    case 0: AnyIniFile(text); break;
    case 1: SettingsRoundTrip(text); break;
    case 2: ScrambleRoundTrip(text); break;
    case 3: DutyCriterion(text); break;
    default: CarKeyword(text); break;
    }
    return 0;
}
