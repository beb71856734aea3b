// Private to the ADO layer: the database engines behind a connection.
#pragma once

#include "ADODB.h"

#include <memory>
#include <string>
#include <vector>

namespace qzAdo {

struct TColumn {
    std::string Name;
    TFieldType Type = ftUnknown;
    int Size = 0;
    bool Required = false;
};

// A positional parameter value; Type ftBlob sends bytes, ftMemo long text.
struct TBind {
    Variant Value;
    TFieldType Type = ftUnknown;
};

struct TResult {
    std::vector<TColumn> Columns;
    std::vector<std::vector<Variant>> Rows;   // values already in the columns' field types
};

class TEngine {
public:
    virtual ~TEngine() = default;
    // Raise EADOError with the driver's message.
    virtual void Open(int connectTimeout, int commandTimeout) = 0;
    virtual void Close() = 0;
    virtual bool Connected() const = 0;
    // Statements carry "?" markers, one bind per marker.
    virtual int Execute(const std::string& sql, const std::vector<TBind>& params, int timeout) = 0;
    virtual void Query(const std::string& sql, const std::vector<TBind>& params, int timeout,
                       TResult& out, bool describeOnly) = 0;
    virtual void BeginTrans(int level) = 0;
    virtual void CommitTrans(int level) = 0;
    virtual void RollbackTrans(int level) = 0;
    virtual void GetTableNames(std::vector<std::string>& names, bool systemTables) = 0;
    virtual std::string DefaultDatabase() = 0;
    virtual void SetDefaultDatabase(const std::string& name) = 0;
    // The engine's form of a statement the program wrote.
    virtual std::string Translate(const std::string& sql) { return sql; }
};

std::unique_ptr<TEngine> CreateSqliteEngine(const std::string& fileName);
std::unique_ptr<TEngine> CreateOdbcEngine(const std::string& odbcConnStr);
std::unique_ptr<TEngine> CreateWorkbookEngine(const std::string& fileName);

// Date-time text as the file engine stores it: "yyyy-mm-dd" at midnight,
// "yyyy-mm-dd hh:nn:ss" (with ".zzz" when there are milliseconds) otherwise.
std::string DateTimeToIso(TDateTime d);
// Field type of a declared column type ("varchar(50)", "datetime", "int"…);
// ftUnknown when the declaration says nothing.
TFieldType TypeFromDecl(const std::string& decl, int& size);
// Converts fetched values of one column to the column's field type.
Variant ConvertTo(TFieldType t, Variant&& v);

}
