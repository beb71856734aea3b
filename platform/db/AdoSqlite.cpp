// The file engine: an SQLite database standing in for the built-in file kind.
// Text is stored as UTF-8, dates as ISO text so that they compare with quoted
// date literals, Booleans as 0 and 1.
#include "AdoEngine.h"
#include "DBStoreImpl.h"
#include "SysUtils.h"
#include "HostServices.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>

namespace qzAdo {

std::string DateTimeToIso(TDateTime d)
{
    uint16_t y, mo, da, h, mi, s, ms;
    DecodeDateTime(d, y, mo, da, h, mi, s, ms);
    char buf[64];
    if (h == 0 && mi == 0 && s == 0 && ms == 0)
        snprintf(buf, sizeof buf, "%04u-%02u-%02u", unsigned(y), unsigned(mo), unsigned(da));
    else if (ms == 0)
        snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", unsigned(y), unsigned(mo), unsigned(da),
                 unsigned(h), unsigned(mi), unsigned(s));
    else
        snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned(y), unsigned(mo),
                 unsigned(da), unsigned(h), unsigned(mi), unsigned(s), unsigned(ms));
    return buf;
}

TFieldType TypeFromDecl(const std::string& declIn, int& size)
{
    size = 0;
    std::string decl = UpperCase(Trim(declIn));
    if (decl.empty()) return ftUnknown;
    size_t paren = decl.find('(');
    std::string base = Trim(decl.substr(0, paren));
    if (paren != std::string::npos) {
        // "VARCHAR(50)", "DECIMAL(10,2)": the first number is the size; a
        // declaration that spells none, or one out of range, has no size.
        size_t end = decl.find_first_of(",)", paren + 1);
        size = StrToIntDef(Trim(decl.substr(paren + 1, end == std::string::npos ? std::string::npos
                                                                                 : end - paren - 1)), 0);
        if (size < 0) size = 0;
    }
    auto has = [&](const char* w) { return base.find(w) != std::string::npos; };
    if (base == "BIGINT" || base == "INT64" || base == "LARGEINT") return ftLargeint;
    if (base == "SMALLINT" || base == "TINYINT" || base == "SHORT" || base == "BYTE") return ftSmallint;
    if (base == "COUNTER" || base == "AUTOINCREMENT" || base == "IDENTITY") return ftAutoInc;
    if (base == "BIT" || base == "BOOL" || base == "BOOLEAN" || base == "YESNO" || base == "LOGICAL")
        return ftBoolean;
    if (has("INT") || base == "LONG") return ftInteger;
    if (base == "MONEY" || base == "CURRENCY" || base == "SMALLMONEY") return ftCurrency;
    if (has("REAL") || has("FLOA") || has("DOUB") || base == "NUMERIC" || base == "DECIMAL" ||
        base == "SINGLE" || base == "NUMBER")
        return ftFloat;
    if (base == "TIME") return ftTime;
    if (has("DATE") || has("TIMESTAMP")) return ftDateTime;
    if (base == "GUID" || base == "UNIQUEIDENTIFIER") return ftGuid;
    if (has("BLOB") || has("BINARY") || base == "IMAGE" || base == "OLEOBJECT" || base == "GENERAL" ||
        base == "LONGBINARY")
        return ftBlob;
    if (base == "MEMO" || base == "NTEXT" || base == "LONGTEXT" || base == "CLOB" || base == "LONGCHAR" ||
        ((base == "TEXT" || base == "VARCHAR" || base == "NVARCHAR") && (size <= 0 || size > 8000))) {
        size = 0;
        return ftMemo;
    }
    if (base == "NVARCHAR" || base == "NCHAR" || base == "NATIONAL CHARACTER" || base == "WSTRING")
        return ftWideString;
    if (has("CHAR") || has("TEXT") || has("STRING")) return ftString;
    return ftUnknown;
}

Variant ConvertTo(TFieldType t, Variant&& v)
{
    if (v.IsNull() || v.IsEmpty()) return Null();
    TVarType vt = v.VType();
    bool text = vt == varString || vt == varOleStr;
    try {
        switch (t) {
        case ftString: case ftMemo: case ftFmtMemo: case ftGuid: case ftFixedChar:
            return text ? std::move(v) : Variant(v.AsString());
        case ftWideString:
            return Variant::FromWide(v.AsString());
        case ftInteger: case ftAutoInc:
            if (vt == varInteger) return std::move(v);
            if (text) {
                double d;
                return TryStrToFloat(v.RawString(), d) ? Variant(int(std::llround(d))) : Null();
            }
            return Variant(int(v.AsInt64()));
        case ftSmallint: case ftWord:
            if (text) return Variant(StrToIntDef(v.RawString(), 0));
            return Variant(int(v.AsInt64()));
        case ftLargeint:
            if (text) return Variant::FromInt64(StrToInt64Def(v.RawString(), 0));
            return Variant::FromInt64(v.AsInt64());
        case ftFloat: case ftCurrency:
            if (vt == varDouble) return std::move(v);
            if (text) {
                double d;
                return TryStrToFloat(v.RawString(), d) ? Variant(d) : Null();
            }
            return Variant(v.AsDouble());
        case ftBCD: case ftFMTBcd:
            return Variant(v.AsCurrency());
        case ftBoolean:
            if (text) {
                const std::string& s = v.RawString();
                return Variant(!(s.empty() || s == "0" || SameText(s, "false") || SameText(s, "no")));
            }
            return Variant(v.AsDouble() != 0);
        case ftDate: case ftTime: case ftDateTime: case ftTimeStamp: {
            if (text) {
                TDateTime d;
                if (qzDB::TryParseDateTimeText(v.RawString(), d)) return Variant::FromDate(d);
                return Null();
            }
            return Variant::FromDate(v.AsDouble());
        }
        case ftBlob: case ftGraphic: case ftBytes: case ftVarBytes: case ftTypedBinary:
            return text ? std::move(v) : Variant(v.AsString());
        default:
            return std::move(v);
        }
    } catch (const Exception&) {
        return Null();
    }
}

namespace {

std::string FileEngineMessage(sqlite3* db, int rc)
{
    const char* m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return m ? m : sqlite3_errstr(rc);
}

// The clock the program reads (replaceable in tests), as ISO text.
void NowFunction(sqlite3_context* ctx, int, sqlite3_value**)
{
    std::string s = DateTimeToIso(ClockNow());
    if (s.size() == 10) s += " 00:00:00";
    sqlite3_result_text(ctx, s.c_str(), int(s.size()), SQLITE_TRANSIENT);
}

void DateFunction(sqlite3_context* ctx, int, sqlite3_value**)
{
    std::string s = DateTimeToIso(DateOf(ClockNow()));
    sqlite3_result_text(ctx, s.c_str(), int(s.size()), SQLITE_TRANSIENT);
}

class TStmt {
public:
    TStmt(sqlite3* db, const std::string& sql) : FDb(db)
    {
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &FStmt, &tail);
        if (rc != SQLITE_OK) throw EADOError(FileEngineMessage(db, rc));
        // A second statement in the same text would be silently ignored.
        while (tail && *tail && (isspace(static_cast<unsigned char>(*tail)) || *tail == ';')) ++tail;
        if (tail && *tail) {
            sqlite3_finalize(FStmt);
            FStmt = nullptr;
            throw EADOError("Characters found after end of SQL statement.");
        }
        if (!FStmt) throw EADOError("The statement is empty.");
    }
    ~TStmt()
    {
        if (FStmt) sqlite3_finalize(FStmt);
    }
    sqlite3_stmt* Get() const { return FStmt; }

    void Bind(const std::vector<TBind>& params)
    {
        int n = sqlite3_bind_parameter_count(FStmt);
        if (n != int(params.size()))
            throw EADOError("The statement has " + std::to_string(n) + " parameters but " +
                            std::to_string(params.size()) + " values were given.");
        for (int i = 0; i < n; ++i) BindOne(i + 1, params[size_t(i)]);
    }

private:
    void Check(int rc)
    {
        if (rc != SQLITE_OK) throw EADOError(FileEngineMessage(FDb, rc));
    }
    void BindText(int i, const std::string& s)
    {
        // Text reaches the file as UTF-8; 8-bit text that slipped in is GBK.
        if (IsValidUtf8(s)) Check(sqlite3_bind_text(FStmt, i, s.data(), int(s.size()), SQLITE_TRANSIENT));
        else {
            std::string u = GbkToUtf8(s);
            Check(sqlite3_bind_text(FStmt, i, u.data(), int(u.size()), SQLITE_TRANSIENT));
        }
    }
    void BindOne(int i, const TBind& b)
    {
        const Variant& v = b.Value;
        if (v.IsNull() || v.IsEmpty()) {
            Check(sqlite3_bind_null(FStmt, i));
            return;
        }
        if (b.Type == ftBlob || b.Type == ftGraphic || b.Type == ftBytes || b.Type == ftVarBytes ||
            b.Type == ftTypedBinary) {
            std::string bytes = v.AsString();
            Check(sqlite3_bind_blob(FStmt, i, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT));
            return;
        }
        switch (v.VType() & varTypeMask) {
        case varBoolean:
            Check(sqlite3_bind_int(FStmt, i, v.RawBool() ? 1 : 0));
            break;
        case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
        case varLongWord: case varInt64:
            Check(sqlite3_bind_int64(FStmt, i, v.AsInt64()));
            break;
        case varSingle: case varDouble: case varCurrency:
            Check(sqlite3_bind_double(FStmt, i, v.AsDouble()));
            break;
        case varDate:
            BindText(i, DateTimeToIso(v.AsDate()));
            break;
        default:
            BindText(i, v.AsString());
            break;
        }
    }

    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

class TSqliteEngine : public TEngine {
public:
    explicit TSqliteEngine(std::string fileName) : FFileName(std::move(fileName)) {}
    ~TSqliteEngine() override { Close(); }

    void Open(int connectTimeout, int commandTimeout) override
    {
        Close();
        if (FFileName.empty()) throw EADOError("The connection string names no database file.");
        if (!FileExists(FFileName)) throw EADOError("Could not find file '" + FFileName + "'.");
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(FFileName.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            std::string msg = FileEngineMessage(db, rc);
            sqlite3_close(db);
            throw EADOError("Could not open the database file '" + FFileName + "': " + msg);
        }
        sqlite3_busy_timeout(db, std::max(1, commandTimeout) * 1000);
        sqlite3_extended_result_codes(db, 0);
        // A file that is not a database (or a damaged one) shows here, not
        // at the first statement.
        char* err = nullptr;
        rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            std::string msg = err ? err : FileEngineMessage(db, rc);
            sqlite3_free(err);
            sqlite3_close(db);
            throw EADOError("Could not open the database file '" + FFileName + "': " + msg);
        }
        sqlite3_create_function(db, "qz_now", 0, SQLITE_UTF8, nullptr, NowFunction, nullptr, nullptr);
        sqlite3_create_function(db, "qz_date", 0, SQLITE_UTF8, nullptr, DateFunction, nullptr, nullptr);
        FDb = db;
    }

    void Close() override
    {
        if (FDb) {
            sqlite3_close_v2(FDb);
            FDb = nullptr;
        }
    }

    bool Connected() const override { return FDb != nullptr; }

    int Execute(const std::string& sql, const std::vector<TBind>& params, int timeout) override
    {
        CheckOpen();
        sqlite3_busy_timeout(FDb, std::max(1, timeout) * 1000);
        TStmt st(FDb, sql);
        st.Bind(params);
        int before = sqlite3_total_changes(FDb);
        int rc;
        while ((rc = sqlite3_step(st.Get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            const int ext = sqlite3_extended_errcode(FDb);
            throw EADOError(FileEngineMessage(FDb, rc),
                            ext == SQLITE_CONSTRAINT_PRIMARYKEY || ext == SQLITE_CONSTRAINT_UNIQUE);
        }
        if (sqlite3_stmt_readonly(st.Get())) return 0;
        // Rows affected by this statement: the change count when it wrote.
        int changed = sqlite3_total_changes(FDb) - before;
        return changed >= 0 ? changed : 0;
    }

    void Query(const std::string& sql, const std::vector<TBind>& params, int timeout, TResult& out,
               bool describeOnly) override
    {
        CheckOpen();
        sqlite3_busy_timeout(FDb, std::max(1, timeout) * 1000);
        TStmt st(FDb, sql);
        st.Bind(params);
        sqlite3_stmt* s = st.Get();
        int nc = sqlite3_column_count(s);
        out.Columns.assign(size_t(nc), TColumn());
        std::vector<bool> declared(size_t(nc), false);
        for (int c = 0; c < nc; ++c) {
            TColumn& col = out.Columns[size_t(c)];
            const char* name = sqlite3_column_name(s, c);
            col.Name = name ? name : "";
            const char* decl = sqlite3_column_decltype(s, c);
            int size = 0;
            col.Type = decl ? TypeFromDecl(decl, size) : ftUnknown;
            col.Size = size;
            declared[size_t(c)] = col.Type != ftUnknown;
        }
        // Unnamed and repeated column names get the provider's "Expr1000" style.
        for (int c = 0; c < nc; ++c) {
            TColumn& col = out.Columns[size_t(c)];
            bool dup = col.Name.empty();
            for (int k = 0; k < c && !dup; ++k) dup = SameText(out.Columns[size_t(k)].Name, col.Name);
            if (dup) col.Name = "Expr" + std::to_string(1000 + c);
        }
        out.Rows.clear();
        if (describeOnly) {
            for (TColumn& col : out.Columns)
                if (col.Type == ftUnknown) {
                    col.Type = ftString;
                    col.Size = 255;
                }
            return;
        }
        int rc;
        std::vector<int> maxLen(size_t(nc), 0);
        std::vector<int> kinds(size_t(nc), 0);   // bit 1 integer, 2 real, 4 text, 8 blob, 16 large integer
        // Values that arrive in their declared column's type are stored as
        // they come; dates (ISO text) and Booleans are converted right here.
        // Anything else is converted once all rows are in.
        std::vector<uint8_t> converted(size_t(nc), 0);
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            std::vector<Variant> row(static_cast<size_t>(nc));
            for (int c = 0; c < nc; ++c) {
                TFieldType target = out.Columns[size_t(c)].Type;
                int t = sqlite3_column_type(s, c);
                switch (t) {
                case SQLITE_INTEGER: {
                    sqlite3_int64 n = sqlite3_column_int64(s, c);
                    if (target == ftBoolean) {
                        row[size_t(c)] = Variant(n != 0);
                        converted[size_t(c)] = 1;
                        break;
                    }
                    row[size_t(c)] = n >= INT32_MIN && n <= INT32_MAX ? Variant(int(n)) : Variant::FromInt64(n);
                    kinds[size_t(c)] |= n >= INT32_MIN && n <= INT32_MAX ? 1 : 16;
                    break;
                }
                case SQLITE_FLOAT:
                    row[size_t(c)] = Variant(sqlite3_column_double(s, c));
                    kinds[size_t(c)] |= 2;
                    break;
                case SQLITE_TEXT: {
                    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
                    int len = sqlite3_column_bytes(s, c);
                    if ((target == ftDateTime || target == ftDate || target == ftTime) && len <= 40) {
                        TDateTime d;
                        row[size_t(c)] = qzDB::TryParseDateTimeText(std::string(p ? p : "", size_t(len)), d)
                                             ? Variant::FromDate(target == ftTime ? TimeOf(d) : d)
                                             : Null();
                        converted[size_t(c)] = 1;
                        break;
                    }
                    row[size_t(c)] = Variant(std::string(p ? p : "", size_t(len)));
                    kinds[size_t(c)] |= 4;
                    if (!declared[size_t(c)] && len > maxLen[size_t(c)]) maxLen[size_t(c)] = len;
                    break;
                }
                case SQLITE_BLOB: {
                    const char* p = static_cast<const char*>(sqlite3_column_blob(s, c));
                    int len = sqlite3_column_bytes(s, c);
                    row[size_t(c)] = Variant(std::string(p ? p : "", size_t(len)));
                    kinds[size_t(c)] |= 8;
                    break;
                }
                default:
                    row[size_t(c)] = Null();
                    break;
                }
            }
            out.Rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) throw EADOError(FileEngineMessage(FDb, rc));
        // Columns without a declared type (expressions) take the type of their values.
        for (int c = 0; c < nc; ++c) {
            TColumn& col = out.Columns[size_t(c)];
            if (declared[size_t(c)]) continue;
            int k = kinds[size_t(c)];
            if (k == 0) {
                col.Type = ftString;
                col.Size = 1;
            } else if (k & 8) {
                col.Type = ftBlob;
            } else if (k & 4) {
                // Text lengths count GBK bytes; a length in UTF-8 bytes is an upper bound.
                int n = 0;
                for (auto& row : out.Rows) {
                    const Variant& v = row[size_t(c)];
                    if (v.VType() == varString) n = std::max(n, GbkLength(v.RawString()));
                }
                if (n > 8000) col.Type = ftMemo;
                else {
                    col.Type = ftString;
                    col.Size = std::max(n, 1);
                }
            } else if (k & 2) {
                col.Type = ftFloat;
            } else if (k & 16) {
                col.Type = ftLargeint;
            } else {
                col.Type = ftInteger;
            }
        }
        // Stored values follow their column's declared type.
        for (int c = 0; c < nc; ++c) {
            TFieldType t = out.Columns[size_t(c)].Type;
            int k = kinds[size_t(c)];
            if (converted[size_t(c)] && k == 0) continue;
            bool same = (t == ftInteger || t == ftAutoInc) ? k == 1
                      : (t == ftString || t == ftMemo)   ? k == 4 || (k == 0)
                      : t == ftFloat                     ? k == 2
                      : t == ftLargeint                  ? (k & ~17) == 0
                                                         : false;
            if (t == ftLargeint && same) {
                for (auto& row : out.Rows)
                    if (!row[size_t(c)].IsNull()) row[size_t(c)] = Variant::FromInt64(row[size_t(c)].AsInt64());
                continue;
            }
            if (same) continue;
            for (auto& row : out.Rows) row[size_t(c)] = ConvertTo(t, std::move(row[size_t(c)]));
        }
    }

    void BeginTrans(int level) override
    {
        CheckOpen();
        Exec(level <= 1 ? "begin" : "savepoint qz_sp" + std::to_string(level));
    }
    void CommitTrans(int level) override
    {
        CheckOpen();
        Exec(level <= 1 ? "commit" : "release qz_sp" + std::to_string(level));
    }
    void RollbackTrans(int level) override
    {
        CheckOpen();
        if (level <= 1) Exec("rollback");
        else {
            Exec("rollback to qz_sp" + std::to_string(level));
            Exec("release qz_sp" + std::to_string(level));
        }
    }

    void GetTableNames(std::vector<std::string>& names, bool systemTables) override
    {
        TResult r;
        Query("select name from sqlite_master where type in ('table','view') order by name", {}, 30, r, false);
        for (auto& row : r.Rows) {
            std::string n = row[0].AsString();
            if (!systemTables && StartsText("sqlite_", n)) continue;
            names.push_back(n);
        }
    }

    std::string DefaultDatabase() override { return "main"; }
    void SetDefaultDatabase(const std::string& name) override
    {
        if (!SameText(name, "main") && !SameText(name, "master"))
            throw EADOError("A database file has no catalog '" + name + "'.");
    }

    std::string Translate(const std::string& sql) override { return TranslateJetSql(sql); }

private:
    void CheckOpen()
    {
        if (!FDb) throw EADOError("Operation is not allowed when the object is closed.");
    }
    void Exec(const std::string& sql)
    {
        char* err = nullptr;
        int rc = sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            std::string msg = err ? err : FileEngineMessage(FDb, rc);
            sqlite3_free(err);
            throw EADOError(msg);
        }
    }

    std::string FFileName;
    sqlite3* FDb = nullptr;
};

}

std::unique_ptr<TEngine> CreateSqliteEngine(const std::string& fileName)
{
    return std::make_unique<TSqliteEngine>(fileName);
}

}
