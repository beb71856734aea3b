// The server engine: any ODBC driver through unixODBC (the SQL Server driver
// in the field). Text crosses as UTF-16 so that the driver's client
// character set does not matter.
#include "AdoEngine.h"
#include "SysUtils.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace qzAdo {

namespace {

std::u16string ToWide(const std::string& s) { return Utf8ToUtf16(IsValidUtf8(s) ? s : GbkToUtf8(s)); }

std::string Diagnostics(SQLSMALLINT type, SQLHANDLE h)
{
    std::string out;
    for (SQLSMALLINT i = 1; i <= 20; ++i) {
        SQLCHAR state[8] = {0};
        SQLINTEGER native = 0;
        SQLCHAR msg[2048] = {0};
        SQLSMALLINT len = 0;
        SQLRETURN rc = SQLGetDiagRecA(type, h, i, state, &native, msg, sizeof msg, &len);
        if (!SQL_SUCCEEDED(rc)) break;
        std::string m(reinterpret_cast<char*>(msg), size_t(std::min<int>(len, int(sizeof msg) - 1)));
        // Drivers put their own names in brackets before the text.
        while (!m.empty() && m[0] == '[') {
            size_t close = m.find(']');
            if (close == std::string::npos) break;
            m.erase(0, close + 1);
        }
        if (!IsValidUtf8(m)) m = GbkToUtf8(m);
        m = Trim(m);
        // Drivers repeat a message on several records; it is shown once.
        if (m.empty() || out == m || out.find(m + "\r\n") == 0 || EndsStr("\r\n" + m, out) ||
            out.find("\r\n" + m + "\r\n") != std::string::npos)
            continue;
        if (!out.empty()) out += "\r\n";
        out += m;
    }
    return out.empty() ? std::string("The ODBC driver reported an error without a message.") : out;
}

// Whether the diagnostics report a duplicate key: SQL Server's errors 2627
// (primary key or unique constraint) and 2601 (unique index), of the
// integrity-violation class 23000, or the standard state of a unique
// violation, 23505, of other servers.
bool DuplicateKeyReported(SQLSMALLINT type, SQLHANDLE h)
{
    for (SQLSMALLINT i = 1; i <= 20; ++i) {
        SQLCHAR state[8] = {0};
        SQLINTEGER native = 0;
        SQLSMALLINT len = 0;
        SQLCHAR msg[8];
        SQLRETURN rc = SQLGetDiagRecA(type, h, i, state, &native, msg, sizeof msg, &len);
        if (!SQL_SUCCEEDED(rc)) break;
        const char* st = reinterpret_cast<char*>(state);
        if (std::strcmp(st, "23505") == 0 || (std::strncmp(st, "23", 2) == 0 && (native == 2627 || native == 2601)))
            return true;
    }
    return false;
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h)
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) throw EADOError(Diagnostics(type, h), DuplicateKeyReported(type, h));
}

TDateTime FromTimestamp(const SQL_TIMESTAMP_STRUCT& ts)
{
    TDateTime d;
    if (!TryEncodeDateTime(ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second,
                           int(ts.fraction / 1000000), d))
        return 0;
    return d;
}

SQL_TIMESTAMP_STRUCT ToTimestamp(TDateTime d)
{
    uint16_t y, mo, da, h, mi, s, ms;
    DecodeDateTime(d, y, mo, da, h, mi, s, ms);
    SQL_TIMESTAMP_STRUCT ts{};
    ts.year = SQLSMALLINT(y);
    ts.month = mo;
    ts.day = da;
    ts.hour = h;
    ts.minute = mi;
    ts.second = s;
    ts.fraction = SQLUINTEGER(ms) * 1000000u;
    return ts;
}

class THStmt {
public:
    THStmt(SQLHDBC dbc)
    {
        Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &H), SQL_HANDLE_DBC, dbc);
    }
    ~THStmt()
    {
        if (H) SQLFreeHandle(SQL_HANDLE_STMT, H);
    }
    SQLHSTMT H = SQL_NULL_HSTMT;
};

// Parameter buffers stay alive until the statement has run.
struct TParamBuffers {
    std::vector<std::u16string> Texts;
    std::vector<std::string> Bytes;
    std::vector<int64_t> Ints;
    std::vector<double> Doubles;
    std::vector<SQL_TIMESTAMP_STRUCT> Stamps;
    std::vector<SQLLEN> Lens;
};

void BindParams(SQLHSTMT st, const std::vector<TBind>& params, TParamBuffers& buf)
{
    size_t n = params.size();
    buf.Texts.reserve(n);
    buf.Bytes.reserve(n);
    buf.Ints.reserve(n);
    buf.Doubles.reserve(n);
    buf.Stamps.reserve(n);
    buf.Lens.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const TBind& b = params[i];
        const Variant& v = b.Value;
        SQLUSMALLINT no = SQLUSMALLINT(i + 1);
        SQLLEN* ind = &buf.Lens[i];
        SQLRETURN rc;
        bool blob = b.Type == ftBlob || b.Type == ftGraphic || b.Type == ftBytes ||
                    b.Type == ftVarBytes || b.Type == ftTypedBinary;
        if (v.IsNull() || v.IsEmpty()) {
            *ind = SQL_NULL_DATA;
            rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, blob ? SQL_C_BINARY : SQL_C_CHAR,
                                  blob ? SQL_VARBINARY : SQL_VARCHAR, 1, 0, nullptr, 0, ind);
        } else if (blob) {
            buf.Bytes.push_back(v.AsString());
            std::string& s = buf.Bytes.back();
            *ind = SQLLEN(s.size());
            rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                  std::max<SQLULEN>(s.size(), 1), 0, s.data(), SQLLEN(s.size()), ind);
        } else {
            switch (v.VType() & varTypeMask) {
            case varBoolean:
                buf.Ints.push_back(v.RawBool() ? 1 : 0);
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_INTEGER, 0, 0,
                                      &buf.Ints.back(), 0, nullptr);
                break;
            case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
                buf.Ints.push_back(v.AsInt64());
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_INTEGER, 0, 0,
                                      &buf.Ints.back(), 0, nullptr);
                break;
            case varLongWord: case varInt64:
                buf.Ints.push_back(v.AsInt64());
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                      &buf.Ints.back(), 0, nullptr);
                break;
            case varSingle: case varDouble: case varCurrency:
                buf.Doubles.push_back(v.AsDouble());
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0,
                                      &buf.Doubles.back(), 0, nullptr);
                break;
            case varDate:
                buf.Stamps.push_back(ToTimestamp(v.AsDate()));
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                                      23, 3, &buf.Stamps.back(), 0, nullptr);
                break;
            default: {
                buf.Texts.push_back(ToWide(v.AsString()));
                std::u16string& w = buf.Texts.back();
                *ind = SQLLEN(w.size() * sizeof(char16_t));
                SQLSMALLINT sqlType = w.size() > 4000 || b.Type == ftMemo ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
                rc = SQLBindParameter(st, no, SQL_PARAM_INPUT, SQL_C_WCHAR, sqlType,
                                      std::max<SQLULEN>(w.size(), 1), 0, w.data(), *ind, ind);
                break;
            }
            }
        }
        Check(rc, SQL_HANDLE_STMT, st);
    }
}

TFieldType TypeOfSql(SQLSMALLINT t, SQLULEN size, SQLSMALLINT digits)
{
    switch (t) {
    case SQL_BIT: return ftBoolean;
    case SQL_TINYINT: case SQL_SMALLINT: return ftSmallint;
    case SQL_INTEGER: return ftInteger;
    case SQL_BIGINT: return ftLargeint;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: return ftFloat;
    case SQL_DECIMAL: case SQL_NUMERIC:
        return digits == 0 && size > 0 && size <= 9 ? ftInteger : ftFloat;
    case SQL_TYPE_DATE: case SQL_TYPE_TIMESTAMP: case SQL_DATETIME: return ftDateTime;
    case SQL_TYPE_TIME: return ftTime;
    case SQL_CHAR: case SQL_VARCHAR:
        return size == 0 || size > 8000 ? ftMemo : ftString;
    case SQL_WCHAR: case SQL_WVARCHAR:
        return size == 0 || size > 4000 ? ftMemo : ftWideString;
    case SQL_LONGVARCHAR: case SQL_WLONGVARCHAR: return ftMemo;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY: return ftBlob;
    case SQL_GUID: return ftGuid;
    default: return ftString;
    }
}

Variant ReadText(SQLHSTMT st, SQLUSMALLINT col)
{
    std::u16string all;
    char16_t chunk[2048];
    for (;;) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(st, col, SQL_C_WCHAR, chunk, sizeof chunk, &ind);
        if (rc == SQL_NO_DATA) break;
        Check(rc, SQL_HANDLE_STMT, st);
        if (ind == SQL_NULL_DATA) return Null();
        size_t got;
        if (ind == SQL_NO_TOTAL || ind >= SQLLEN(sizeof chunk)) got = sizeof chunk / sizeof(char16_t) - 1;
        else got = size_t(ind) / sizeof(char16_t);
        all.append(chunk, got);
        if (rc == SQL_SUCCESS) break;
    }
    return Variant(Utf16ToUtf8(all));
}

Variant ReadBytes(SQLHSTMT st, SQLUSMALLINT col)
{
    std::string all;
    char chunk[8192];
    for (;;) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(st, col, SQL_C_BINARY, chunk, sizeof chunk, &ind);
        if (rc == SQL_NO_DATA) break;
        Check(rc, SQL_HANDLE_STMT, st);
        if (ind == SQL_NULL_DATA) return Null();
        size_t got = (ind == SQL_NO_TOTAL || ind > SQLLEN(sizeof chunk)) ? sizeof chunk : size_t(ind);
        all.append(chunk, got);
        if (rc == SQL_SUCCESS) break;
    }
    return Variant(std::move(all));
}

class TOdbcEngine : public TEngine {
public:
    explicit TOdbcEngine(std::string connStr) : FConnStr(std::move(connStr)) {}
    ~TOdbcEngine() override { Close(); }

    void Open(int connectTimeout, int commandTimeout) override
    {
        Close();
        SQLHENV env = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
            throw EADOError("The ODBC driver manager could not be started.");
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLHDBC dbc = SQL_NULL_HDBC;
        SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
        if (!SQL_SUCCEEDED(rc)) {
            std::string m = Diagnostics(SQL_HANDLE_ENV, env);
            SQLFreeHandle(SQL_HANDLE_ENV, env);
            throw EADOError(m);
        }
        if (connectTimeout > 0)
            SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                              reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(connectTimeout)), 0);
        std::string cs = FConnStr;
        SQLCHAR outStr[1024];
        SQLSMALLINT outLen = 0;
        rc = SQLDriverConnectA(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()), SQLSMALLINT(cs.size()),
                               outStr, sizeof outStr, &outLen, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            std::string m = Diagnostics(SQL_HANDLE_DBC, dbc);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
            SQLFreeHandle(SQL_HANDLE_ENV, env);
            throw EADOError(m);
        }
        FEnv = env;
        FDbc = dbc;
        FCommandTimeout = commandTimeout;
    }

    void Close() override
    {
        if (FDbc) {
            SQLDisconnect(FDbc);
            SQLFreeHandle(SQL_HANDLE_DBC, FDbc);
            FDbc = SQL_NULL_HDBC;
        }
        if (FEnv) {
            SQLFreeHandle(SQL_HANDLE_ENV, FEnv);
            FEnv = SQL_NULL_HENV;
        }
    }

    bool Connected() const override { return FDbc != SQL_NULL_HDBC; }

    int Execute(const std::string& sql, const std::vector<TBind>& params, int timeout) override
    {
        CheckOpen();
        THStmt st(FDbc);
        Run(st.H, sql, params, timeout);
        SQLLEN count = 0;
        SQLRowCount(st.H, &count);
        // Servers send progress of long statements (backup, restore) as
        // further results; the statement has finished only when all are read.
        for (;;) {
            SQLRETURN rc = SQLMoreResults(st.H);
            if (rc == SQL_NO_DATA) break;
            Check(rc, SQL_HANDLE_STMT, st.H);
        }
        return count > 0 ? int(count) : 0;
    }

    void Query(const std::string& sql, const std::vector<TBind>& params, int timeout, TResult& out,
               bool describeOnly) override
    {
        CheckOpen();
        THStmt st(FDbc);
        if (describeOnly) {
            std::u16string w = ToWide(sql);
            Check(SQLPrepareW(st.H, reinterpret_cast<SQLWCHAR*>(w.data()), SQLINTEGER(w.size())),
                  SQL_HANDLE_STMT, st.H);
            Describe(st.H, out);
            out.Rows.clear();
            return;
        }
        Run(st.H, sql, params, timeout);
        // Skip results without columns (row counts of earlier statements).
        SQLSMALLINT nc = 0;
        Check(SQLNumResultCols(st.H, &nc), SQL_HANDLE_STMT, st.H);
        while (nc == 0) {
            SQLRETURN rc = SQLMoreResults(st.H);
            if (rc == SQL_NO_DATA) break;
            Check(rc, SQL_HANDLE_STMT, st.H);
            Check(SQLNumResultCols(st.H, &nc), SQL_HANDLE_STMT, st.H);
        }
        Describe(st.H, out);
        out.Rows.clear();
        if (out.Columns.empty()) return;
        size_t n = out.Columns.size();
        for (;;) {
            SQLRETURN rc = SQLFetch(st.H);
            if (rc == SQL_NO_DATA) break;
            Check(rc, SQL_HANDLE_STMT, st.H);
            std::vector<Variant> row(n);
            for (size_t c = 0; c < n; ++c) row[c] = ReadValue(st.H, SQLUSMALLINT(c + 1), out.Columns[c].Type);
            out.Rows.push_back(std::move(row));
        }
    }

    void BeginTrans(int level) override
    {
        CheckOpen();
        if (level > 1) throw EADOError("Nested transactions are not supported on this connection.");
        Check(SQLSetConnectAttr(FDbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
              SQL_HANDLE_DBC, FDbc);
    }
    void CommitTrans(int level) override { EndTrans(SQL_COMMIT); }
    void RollbackTrans(int level) override { EndTrans(SQL_ROLLBACK); }

    void GetTableNames(std::vector<std::string>& names, bool systemTables) override
    {
        CheckOpen();
        THStmt st(FDbc);
        std::string types = systemTables ? "TABLE,VIEW,SYSTEM TABLE" : "TABLE,VIEW";
        Check(SQLTablesA(st.H, nullptr, 0, nullptr, 0, nullptr, 0,
                         reinterpret_cast<SQLCHAR*>(types.data()), SQLSMALLINT(types.size())),
              SQL_HANDLE_STMT, st.H);
        for (;;) {
            SQLRETURN rc = SQLFetch(st.H);
            if (rc == SQL_NO_DATA) break;
            Check(rc, SQL_HANDLE_STMT, st.H);
            Variant v = ReadText(st.H, 3);
            if (!v.IsNull()) names.push_back(v.AsString());
        }
    }

    std::string DefaultDatabase() override
    {
        CheckOpen();
        SQLCHAR buf[512] = {0};
        SQLINTEGER len = 0;
        SQLRETURN rc = SQLGetConnectAttrA(FDbc, SQL_ATTR_CURRENT_CATALOG, buf, sizeof buf - 1, &len);
        if (!SQL_SUCCEEDED(rc)) return std::string();
        return std::string(reinterpret_cast<char*>(buf), size_t(std::max<SQLINTEGER>(0, std::min<SQLINTEGER>(len, 511))));
    }

    void SetDefaultDatabase(const std::string& name) override
    {
        CheckOpen();
        std::string n = name;
        Check(SQLSetConnectAttrA(FDbc, SQL_ATTR_CURRENT_CATALOG, reinterpret_cast<SQLCHAR*>(n.data()),
                                 SQLINTEGER(n.size())),
              SQL_HANDLE_DBC, FDbc);
    }

private:
    void CheckOpen()
    {
        if (!FDbc) throw EADOError("Operation is not allowed when the object is closed.");
    }

    void EndTrans(SQLSMALLINT how)
    {
        CheckOpen();
        SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, FDbc, how);
        std::string err = SQL_SUCCEEDED(rc) ? std::string() : Diagnostics(SQL_HANDLE_DBC, FDbc);
        SQLSetConnectAttr(FDbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        if (!err.empty()) throw EADOError(err);
    }

    void Run(SQLHSTMT st, const std::string& sql, const std::vector<TBind>& params, int timeout)
    {
        if (timeout > 0)
            SQLSetStmtAttr(st, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(timeout)), 0);
        std::u16string w = ToWide(sql);
        Check(SQLPrepareW(st, reinterpret_cast<SQLWCHAR*>(w.data()), SQLINTEGER(w.size())), SQL_HANDLE_STMT, st);
        SQLSMALLINT expected = 0;
        if (SQL_SUCCEEDED(SQLNumParams(st, &expected)) && expected != SQLSMALLINT(params.size()))
            throw EADOError("The statement has " + std::to_string(expected) + " parameters but " +
                            std::to_string(params.size()) + " values were given.");
        TParamBuffers buf;
        BindParams(st, params, buf);
        SQLRETURN rc = SQLExecute(st);
        if (rc != SQL_NO_DATA) Check(rc, SQL_HANDLE_STMT, st);
    }

    void Describe(SQLHSTMT st, TResult& out)
    {
        SQLSMALLINT nc = 0;
        Check(SQLNumResultCols(st, &nc), SQL_HANDLE_STMT, st);
        out.Columns.assign(size_t(nc), TColumn());
        for (SQLSMALLINT c = 1; c <= nc; ++c) {
            SQLWCHAR name[256] = {0};
            SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            Check(SQLDescribeColW(st, SQLUSMALLINT(c), name, 255, &nameLen, &type, &size, &digits, &nullable),
                  SQL_HANDLE_STMT, st);
            TColumn& col = out.Columns[size_t(c - 1)];
            col.Name = Utf16ToUtf8(std::u16string(reinterpret_cast<char16_t*>(name), size_t(std::min<int>(nameLen, 255))));
            if (col.Name.empty()) col.Name = "Expr" + std::to_string(999 + c);
            col.Type = TypeOfSql(type, size, digits);
            if (col.Type == ftString || col.Type == ftWideString) col.Size = int(size);
            col.Required = nullable == SQL_NO_NULLS;
        }
    }

    Variant ReadValue(SQLHSTMT st, SQLUSMALLINT col, TFieldType t)
    {
        SQLLEN ind = 0;
        switch (t) {
        case ftBoolean: case ftSmallint: case ftInteger: case ftLargeint: {
            int64_t n = 0;
            Check(SQLGetData(st, col, SQL_C_SBIGINT, &n, sizeof n, &ind), SQL_HANDLE_STMT, st);
            if (ind == SQL_NULL_DATA) return Null();
            if (t == ftBoolean) return Variant(n != 0);
            if (t == ftLargeint) return Variant::FromInt64(n);
            return Variant(int(n));
        }
        case ftFloat: {
            double d = 0;
            Check(SQLGetData(st, col, SQL_C_DOUBLE, &d, sizeof d, &ind), SQL_HANDLE_STMT, st);
            if (ind == SQL_NULL_DATA) return Null();
            return Variant(d);
        }
        case ftDateTime: case ftTime: {
            SQL_TIMESTAMP_STRUCT ts{};
            Check(SQLGetData(st, col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind), SQL_HANDLE_STMT, st);
            if (ind == SQL_NULL_DATA) return Null();
            TDateTime d = FromTimestamp(ts);
            return Variant::FromDate(t == ftTime ? TimeOf(d) : d);
        }
        case ftBlob:
            return ReadBytes(st, col);
        case ftWideString: {
            Variant v = ReadText(st, col);
            return v.IsNull() ? v : Variant::FromWide(v.RawString());
        }
        default:
            return ReadText(st, col);
        }
    }

    std::string FConnStr;
    SQLHENV FEnv = SQL_NULL_HENV;
    SQLHDBC FDbc = SQL_NULL_HDBC;
    int FCommandTimeout = 30;
};

}

std::unique_ptr<TEngine> CreateOdbcEngine(const std::string& odbcConnStr)
{
    return std::make_unique<TOdbcEngine>(odbcConnStr);
}

}
