#include "BackupFiles.h"

#include "Exceptions.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

namespace {

struct TSqliteHandle {
    sqlite3* Db = nullptr;
    ~TSqliteHandle() { if (Db) sqlite3_close(Db); }
};

void OpenDb(TSqliteHandle& h, const std::string& file, int flags)
{
    if (sqlite3_open_v2(file.c_str(), &h.Db, flags, nullptr) != SQLITE_OK)
        throw Exception(h.Db ? sqlite3_errmsg(h.Db) : "out of memory");
}

// Copies one open database into another through the online backup.
void CopyDatabase(sqlite3* from, sqlite3* to)
{
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) throw Exception(sqlite3_errmsg(to));
    const int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) throw Exception(sqlite3_errstr(rc));
    const int fin = sqlite3_errcode(to);
    if (fin != SQLITE_OK) throw Exception(sqlite3_errmsg(to));
}

// Refuses a file that is no intact database.
void CheckIntact(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "pragma quick_check", -1, &st, nullptr) != SQLITE_OK)
        throw Exception(sqlite3_errmsg(db));
    const int rc = sqlite3_step(st);
    const unsigned char* t = rc == SQLITE_ROW ? sqlite3_column_text(st, 0) : nullptr;
    const std::string answer = t ? reinterpret_cast<const char*>(t) : sqlite3_errmsg(db);
    sqlite3_finalize(st);
    if (answer != "ok") throw Exception(answer);
}

// Whether the database holds the school's own tables: a backup of another
// program's data would replace the school's with it.
bool IsSchoolDatabase(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db,
                           "select count(*) from sqlite_master where type='table' and "
                           "lower(name) in ('operator', 'students', 'company', 'backup')",
                           -1, &st, nullptr) != SQLITE_OK)
        return false;
    const bool ok = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 4;
    sqlite3_finalize(st);
    return ok;
}

}  // namespace

namespace BackupFiles {

void SqliteCopy(const std::string& from, const std::string& to)
{
    const std::string scratch = to + ".part";
    std::remove(scratch.c_str());
    try {
        TSqliteHandle src, dst;
        OpenDb(src, from, SQLITE_OPEN_READONLY);
        OpenDb(dst, scratch, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        CopyDatabase(src.Db, dst.Db);
    } catch (...) {
        std::remove(scratch.c_str());
        throw;
    }
    std::error_code ec;
    std::filesystem::rename(scratch, to, ec);
    if (ec) {
        std::remove(scratch.c_str());
        throw Exception(ec.message());
    }
}

void CheckSchoolDatabase(const std::string& file)
{
    TSqliteHandle src;
    OpenDb(src, file, SQLITE_OPEN_READONLY);
    CheckIntact(src.Db);
    if (!IsSchoolDatabase(src.Db)) throw Exception("not the school's database");
}

void CopyInto(const std::string& from, const std::string& to)
{
    TSqliteHandle src, dst;
    OpenDb(src, from, SQLITE_OPEN_READONLY);
    OpenDb(dst, to, SQLITE_OPEN_READWRITE);
    CopyDatabase(src.Db, dst.Db);
}

}  // namespace BackupFiles
