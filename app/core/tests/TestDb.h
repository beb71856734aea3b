// A real database for the tests: a fresh SQLite file made from the school's
// schema script in a scratch folder, connected through GDatabase as the
// built-in (Jet provider) kind.
#pragma once

#include "Database.h"
#include "TestSupport.h"
#include "qzProj.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

inline std::string SchemaFile()
{
    // The data folder need not exist: resolve the path by its text.
    return (std::filesystem::path(QZ_TEST_DATA_DIR) / "../../../schema/sqlite.sql").lexically_normal().string();
}

// Runs SQL straight on a file, beside the program's own connection.
inline void RawExec(const std::string& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    const std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << msg << "\n" << sql;
}

// The first column of every row, as text ("<null>" for Null).
inline std::vector<std::string> RawColumn(const std::string& file, const std::string& sql)
{
    std::vector<std::string> out;
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out.push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
        }
    } else {
        out.push_back(std::string("<error: ") + sqlite3_errmsg(db) + ">");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

inline std::string RawValue(const std::string& file, const std::string& sql)
{
    auto col = RawColumn(file, sql);
    return col.empty() ? "<no row>" : col[0];
}

// Makes the process-wide objects once, as the program's start-up does.
class TCoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Database::Initialize();
        qzProj::Initialize();
    }
    void TearDown() override
    {
        qzProj::Finalize();
        Database::Finalize();
    }
};

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        File = Dir.File("school.mdb");
        const std::string schema = ReadFileBytes(SchemaFile());
        ASSERT_FALSE(schema.empty()) << SchemaFile();
        RawExec(File, "begin;\n" + schema + "\ncommit;");
        ASSERT_TRUE(GDatabase->Connect(ConnStr())) << "see the recorded message boxes";
        ASSERT_TRUE(Rec.Messages().empty());
    }
    void TearDown() override { GDatabase->SetConnected(false); }

    std::string ConnStr() const
    {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + File +
               ";Jet OLEDB:Database Password=tidewarp;Persist Security Info=True";
    }
    void Exec(const std::string& sql) { RawExec(File, sql); }
    std::vector<std::string> Column(const std::string& sql) { return RawColumn(File, sql); }
    std::string Value(const std::string& sql) { return RawValue(File, sql); }
    int Count(const std::string& table) { return std::stoi(Value("select count(*) from " + table)); }

    TTempDir Dir;
    THostRecorder Rec;
    std::string File;
};

// The field's text of every row of an open set, joined by commas.
inline std::string Join(TField* field)
{
    TDataSet* ds = field->DataSet();
    std::string out;
    for (ds->First(); !ds->Eof(); ds->Next()) out += (out.empty() ? "" : ",") + field->AsString();
    return out;
}
