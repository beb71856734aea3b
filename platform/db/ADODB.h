// ADO-style data access: a connection named by an OLE DB connection string,
// commands, queries, data sets and tables with named parameters.
//
// The connection string chooses the engine. "Microsoft.Jet.OLEDB.4.0": the
// file named by Data Source is an SQLite database; statements may use the
// forms that provider accepts (#yyyy-mm-dd# dates, now, top N). Every other
// provider ("SQLOLEDB.1" and the rest) reaches SQL Server over ODBC: Data
// Source, Initial Catalog, User ID and Password become the driver's keys and
// the server's port comes from the client-alias store. "MSDASQL" strings
// pass their ODBC keys through unchanged.
//
// Data sets fetch every row when they open; with batch-optimistic locking
// (the only kind the program uses) edits, appends and deletes stay in the
// set and are never sent to the database.
#pragma once

#include "DB.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStrings;
class TStringList;
class TStream;
class TCustomADODataSet;
class TADOCommand;
namespace qzAdo { class TEngine; }

// A failure reported by the database engine; the message is the driver's own.
class EADOError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
    EADOError(std::string msg, bool duplicateKey) : EDatabaseError(std::move(msg)), DuplicateKey(duplicateKey) {}
    const char* ClassName() const override { return "EADOError"; }
    // The statement would have stored a second row with a key (primary key or
    // unique index) that a row already holds.
    bool DuplicateKey = false;
};

enum TConnectMode {
    cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive,
    cmShareDenyNone
};
enum TCursorLocation { clUseServer, clUseClient };
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };
enum TExecuteOption { eoAsyncExecute, eoAsyncFetch, eoAsyncFetchNonBlocking, eoExecuteNoRecords };
using TExecuteOptions = TSet<TExecuteOption, 8>;
enum TCommandType { cmdUnknown, cmdText, cmdTable, cmdStoredProc, cmdFile, cmdTableDirect };
enum TParameterDirection { pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue };

// ---- parameters ------------------------------------------------------------------------

class TParameter : public TCollectionItem {
    QZ_CLASS(TParameter, TCollectionItem)
public:
    explicit TParameter(TCollection* collection = nullptr);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType v) { FDataType = v; }
    TParameterDirection Direction() const { return FDirection; }
    void SetDirection(TParameterDirection v) { FDirection = v; }
    int Size() const { return FSize; }
    void SetSize(int v) { FSize = v; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int v) { FPrecision = v; }
    int NumericScale() const { return FNumericScale; }
    void SetNumericScale(int v) { FNumericScale = v; }
    const Variant& Value() const { return FValue; }
    // Sets the value; the data type follows the value's unless set before.
    void SetValue(const Variant& v);
    // The whole stream (from its start) becomes the value, of the given type
    // (ftBlob for bytes, ftMemo for text).
    void LoadFromStream(TStream* stream, TFieldType dataType);
    void LoadFromFile(const std::string& fileName, TFieldType dataType);
    void Assign(TPersistent* source) override;

protected:
    std::string GetDisplayName() const override { return FName; }

private:
    std::string FName;
    TFieldType FDataType = ftUnknown;
    TParameterDirection FDirection = pdInput;
    int FSize = 0;
    int FPrecision = 0;
    int FNumericScale = 0;
    Variant FValue;
};

class TParameters : public TOwnedCollection {
    QZ_CLASS(TParameters, TOwnedCollection)
public:
    explicit TParameters(TPersistent* owner = nullptr);

    TParameter* Items(int index) const { return static_cast<TParameter*>(TCollection::Items(index)); }
    TParameter* operator[](int index) const { return Items(index); }
    TParameter* AddParameter() { return static_cast<TParameter*>(TCollection::Add()); }
    TParameter* CreateParameter(const std::string& name, TFieldType dataType,
                                TParameterDirection direction, int size, const Variant& value);
    // Case-insensitive; null when absent.
    TParameter* FindParam(const std::string& name) const;
    // Raises EDatabaseError "Parameter '%s' not found".
    TParameter* ParamByName(const std::string& name) const;
    Variant ParamValues(const std::string& names) const;
    void SetParamValues(const std::string& names, const Variant& values);
    // Reads the ":name" markers of a statement (outside quotes, brackets and
    // comments; "::" is a colon). With doCreate the list becomes exactly
    // those names, keeping the values of names that stay. Returns the
    // statement with each marker replaced by "?".
    std::string ParseSQL(const std::string& sql, bool doCreate);
};

// ---- the connection -----------------------------------------------------------------------

class TADOConnection : public TComponent {
    QZ_CLASS(TADOConnection, TComponent)
public:
    explicit TADOConnection(TComponent* owner = nullptr);
    ~TADOConnection() override;

    const std::string& ConnectionString() const { return FConnectionString; }
    // Closes an open connection first.
    void SetConnectionString(const std::string& v);
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool v) { FLoginPrompt = v; }
    int CommandTimeout() const { return FCommandTimeout; }
    void SetCommandTimeout(int v) { FCommandTimeout = v; }
    int ConnectionTimeout() const { return FConnectionTimeout; }
    void SetConnectionTimeout(int v) { FConnectionTimeout = v; }
    TConnectMode Mode() const { return FMode; }
    void SetMode(TConnectMode v) { FMode = v; }
    TCursorLocation CursorLocation() const { return FCursorLocation; }
    void SetCursorLocation(TCursorLocation v) { FCursorLocation = v; }
    // The Provider key of the connection string.
    std::string Provider() const;

    bool Connected() const;
    void SetConnected(bool v);
    // Raises EADOError with the driver's message when the engine cannot open.
    void Open();
    void Open(const std::string& userId, const std::string& password);
    void Close();

    // Nesting level after the call (1 for the outermost).
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return FTransLevel > 0; }

    // The current catalog (the database of a server connection; "main" for a file).
    std::string DefaultDatabase() const;
    void SetDefaultDatabase(const std::string& v);
    void GetTableNames(TStrings* list, bool systemTables = false);
    void GetFieldNames(const std::string& tableName, TStrings* list);
    // Runs a statement without parameters; returns the rows affected.
    int Execute(const std::string& commandText);

    int DataSetCount() const { return int(FDataSets.size()); }
    TCustomADODataSet* DataSets(int i) const { return FDataSets[size_t(i)]; }

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    // Used by commands and data sets.
    qzAdo::TEngine& Engine();
    void RegisterDataSet(TCustomADODataSet* ds);
    void UnregisterDataSet(TCustomADODataSet* ds);

private:
    std::string FConnectionString;
    std::unique_ptr<qzAdo::TEngine> FEngine;
    std::vector<TCustomADODataSet*> FDataSets;
    TConnectMode FMode = cmUnknown;
    TCursorLocation FCursorLocation = clUseClient;
    int FCommandTimeout = 30;
    int FConnectionTimeout = 15;
    int FTransLevel = 0;
    bool FLoginPrompt = true;
};

// ---- commands ------------------------------------------------------------------------------

class TADOCommand : public TComponent {
    QZ_CLASS(TADOCommand, TComponent)
public:
    explicit TADOCommand(TComponent* owner = nullptr);
    ~TADOCommand() override;

    TADOConnection* Connection() const { return FConnection; }
    void SetConnection(TADOConnection* c);
    const std::string& CommandText() const { return FCommandText; }
    // Re-reads the parameters when ParamCheck is on.
    void SetCommandText(const std::string& v);
    TCommandType CommandType() const { return FCommandType; }
    void SetCommandType(TCommandType v) { FCommandType = v; }
    int CommandTimeout() const { return FCommandTimeout; }
    void SetCommandTimeout(int v) { FCommandTimeout = v; }
    TExecuteOptions ExecuteOptions() const { return FExecuteOptions; }
    void SetExecuteOptions(TExecuteOptions v) { FExecuteOptions = v; }
    bool ParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool v) { FParamCheck = v; }
    bool Prepared() const { return FPrepared; }
    void SetPrepared(bool v) { FPrepared = v; }
    TParameters* Parameters() const { return FParameters.get(); }
    // Runs the command; returns the rows affected.
    int Execute();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TADOConnection* FConnection = nullptr;
    std::string FCommandText;
    std::unique_ptr<TParameters> FParameters;
    TCommandType FCommandType = cmdText;
    TExecuteOptions FExecuteOptions;
    int FCommandTimeout = 30;
    bool FParamCheck = true;
    bool FPrepared = false;
};

// ---- data sets ------------------------------------------------------------------------------

class TCustomADODataSet : public TDataSet {
    QZ_CLASS(TCustomADODataSet, TDataSet)
public:
    explicit TCustomADODataSet(TComponent* owner = nullptr);
    ~TCustomADODataSet() override;

    TADOConnection* Connection() const { return FConnection; }
    void SetConnection(TADOConnection* c);
    const std::string& CommandText() const { return FCommandText; }
    void SetCommandText(const std::string& v);
    TCommandType CommandType() const { return FCommandType; }
    void SetCommandType(TCommandType v) { FCommandType = v; }
    int CommandTimeout() const { return FCommandTimeout; }
    void SetCommandTimeout(int v) { FCommandTimeout = v; }
    TADOLockType LockType() const { return FLockType; }
    void SetLockType(TADOLockType v);
    TCursorLocation CursorLocation() const { return FCursorLocation; }
    void SetCursorLocation(TCursorLocation v) { FCursorLocation = v; }
    TCursorType CursorType() const { return FCursorType; }
    void SetCursorType(TCursorType v) { FCursorType = v; }
    TExecuteOptions ExecuteOptions() const { return FExecuteOptions; }
    void SetExecuteOptions(TExecuteOptions v) { FExecuteOptions = v; }
    bool ParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool v) { FParamCheck = v; }
    bool Prepared() const { return FPrepared; }
    void SetPrepared(bool v) { FPrepared = v; }
    TParameters* Parameters() const { return FParameters.get(); }
    // Client-side order: "A ASC,B DESC" or "A, B DESC "; empty for the
    // order the rows came in. Raises "Field '%s' not found" for a bad name.
    const std::string& Sort() const { return SortText(); }
    void SetSort(const std::string& v) { SetSortText(v); }
    // Runs the statement again and reads its rows afresh.
    void Requery();
    bool CanModify() const override;

protected:
    void InternalOpen() override;
    void InternalRefresh() override;
    void InternalInitFieldDefs() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The statement the set runs (the command text; a table's select).
    virtual std::string SelectText() const { return FCommandText; }
    // Re-reads the parameter list from the statement when ParamCheck is on.
    void ParseParams(const std::string& sql);
    void FetchRows(bool describeOnly);

    std::unique_ptr<TParameters> FParameters;

private:
    TADOConnection* FConnection = nullptr;
    std::string FCommandText;
    TCommandType FCommandType = cmdText;
    TADOLockType FLockType = ltOptimistic;
    TCursorLocation FCursorLocation = clUseClient;
    TCursorType FCursorType = ctKeyset;
    TExecuteOptions FExecuteOptions;
    int FCommandTimeout = 30;
    bool FParamCheck = true;
    bool FPrepared = false;
};

class TADODataSet : public TCustomADODataSet {
    QZ_CLASS(TADODataSet, TCustomADODataSet)
public:
    explicit TADODataSet(TComponent* owner = nullptr);
};

class TADOQuery : public TCustomADODataSet {
    QZ_CLASS(TADOQuery, TCustomADODataSet)
public:
    explicit TADOQuery(TComponent* owner = nullptr);
    ~TADOQuery() override;

    // The statement's lines; changing them re-reads the parameters.
    TStrings* SQL() const;
    void SetSQL(TStrings* v);
    // Runs the statement without reading rows; returns the rows affected.
    int ExecSQL();
    int RowsAffected() const { return FRowsAffected; }

protected:
    std::string SelectText() const override;

private:
    std::unique_ptr<TStringList> FSQL;
    int FRowsAffected = 0;
};

class TADOTable : public TCustomADODataSet {
    QZ_CLASS(TADOTable, TCustomADODataSet)
public:
    explicit TADOTable(TComponent* owner = nullptr);

    const std::string& TableName() const { return FTableName; }
    void SetTableName(const std::string& v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool CanModify() const override;

protected:
    std::string SelectText() const override;

private:
    std::string FTableName;
    bool FReadOnly = false;
};

// Workbooks behind a file-provider connection string that names "Excel 8.0"
// ("Provider=Microsoft.Jet.OLEDB.4.0;Excel 8.0;DATABASE=<file>"). The
// spreadsheet layer installs the reader; each sheet is a read-only table
// named "<sheet>$" whose first row holds the column titles.
class IWorkbookReader {
public:
    virtual ~IWorkbookReader() = default;
    virtual std::vector<std::string> SheetNames() = 0;
    // The sheet's column titles and its rows (numbers, texts, dates or Null).
    virtual void ReadSheet(const std::string& sheet, std::vector<std::string>& titles,
                           std::vector<std::vector<Variant>>& rows) = 0;
};
// Opens a workbook; raises with a clear message when the file cannot be read.
using TWorkbookOpener = std::function<std::unique_ptr<IWorkbookReader>(const std::string& fileName)>;

namespace qzAdo {
// Installs the workbook reader (null removes it).
void SetWorkbookOpener(TWorkbookOpener opener);
// The value of one key of an OLE DB connection string (keys compared
// without case, blanks around keys and values dropped, "quoted" values
// unquoted); empty when absent.
std::string ConnStrValue(const std::string& connStr, const std::string& key);
// The ODBC connection string that an OLE DB string of a server provider
// stands for (driver, server and port from the alias store, database, user,
// password).
std::string OdbcConnectionString(const std::string& oleDbConnStr);
// Whether the string names the built-in file engine.
bool IsJetProvider(const std::string& connStr);
// Rewrites the forms the file provider accepts into the file engine's SQL:
// #date# literals, now, GetDate(), top N.
std::string TranslateJetSql(const std::string& sql);
}
