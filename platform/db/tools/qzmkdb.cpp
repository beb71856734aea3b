// Makes a database file for the built-in file engine from SQL scripts:
//   qzmkdb <database file> <script.sql>...
// The file is built under a temporary name and renamed into place, so a
// failed build never leaves a half-made database behind.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <database file> <script.sql>...\n", argv[0]);
        return 2;
    }
    std::string target = argv[1];
    std::string temp = target + ".tmp";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", temp.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    bool ok = sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int i = 2; ok && i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot read the script\n", argv[i]);
            ok = false;
            break;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        char* err = nullptr;
        if (sqlite3_exec(db, ss.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[i], err ? err : sqlite3_errmsg(db));
            sqlite3_free(err);
            ok = false;
        }
    }
    if (ok) ok = sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        if (ok) std::fprintf(stderr, "%s: cannot move the database into place\n", target.c_str());
        return 1;
    }
    return 0;
}
