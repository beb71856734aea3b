// The data access layer: the one process-wide connection (TDatabase through
// GDatabase) with parameterised statements, transactions and the answers of
// the connected dialect; the row-set wrappers TQuerySet and TRecordSet on
// that connection; the unconnected TQzClientDataSet and the one-row criteria
// record TCustomWhere of every search.
#pragma once

#include "ADODB.h"
#include "Classes.h"
#include "DB.h"
#include "Variants.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TRecordSet;

// A named value passed with a statement (the name without its colon).
struct TDBParameter {
    std::string Name;
    Variant Value;
};

// A named blob passed with a statement; the caller owns the stream, whose
// whole content is the value.
struct TxDBParameter {
    std::string Name;
    TStream* Stream = nullptr;
};
using TxDBParameters = std::vector<TxDBParameter>;
using TDBParameters = std::vector<TDBParameter>;

// A statement the database refused. The message is the driver's message, a
// line break and the statement; the parts stay at hand for callers that
// word the failure their own way.
class EStatementError : public Exception {
public:
    EStatementError(const std::string& driverMessage, const std::string& sql, bool duplicateKey);
    std::string DriverMessage;
    // A row with the same key exists already (another workstation saved it
    // a moment before).
    bool DuplicateKey;
};

class TDatabase : public TObject {
    QZ_CLASS(TDatabase, TObject)
public:
    TDatabase();
    ~TDatabase() override;

    // Closes the connection, sets the string and opens it. A failure is shown
    // in the information box ("连接时失败,提示如下:…") and not raised; the
    // result is whether the connection is open afterwards.
    bool Connect(const std::string& connStr);

    // Runs a statement that returns no rows and returns the rows affected.
    // A parameter name the statement lacks raises the parameter error before
    // anything runs; a failure of the statement raises EStatementError with
    // the driver's message, "\r\n" and the statement.
    int ExecSQL(const std::string& sql, const TDBParameters& params = {},
                const TxDBParameters& blobs = {});
    // The same through a command; for statements whose row count nobody checks.
    void Execute(const std::string& sql, const TDBParameters& params = {},
                 const TxDBParameters& blobs = {});
    // The first column of the first row a query returns (Null when it
    // returns none). A failure raises EStatementError and shows nothing,
    // unlike the row sets' Open.
    Variant ReadValue(const std::string& sql, const TDBParameters& params = {});
    // A command on the connection (time-out 300 s) holding the statement;
    // the caller frees it.
    std::unique_ptr<TADOCommand> CreateCommand(const std::string& sql);

    bool GetConnected() const;
    void SetConnected(bool v);

    // The value of one key of the current connection string: the text after
    // the key and the one character following it, up to the next ";" (empty
    // when no ";" follows).
    std::string GetConnStrValue(const std::string& key) const;
    std::string GetDataSource() const { return GetConnStrValue("Data Source"); }
    std::string GetProvider() const { return GetConnStrValue("Provider"); }
    // Every provider but the Jet one counts as SQL Server.
    bool IsSqlServer() const;
    // The date (time dropped) as a literal of the connected dialect:
    // '2008-03-05' on SQL Server, #2008-03-05# on Jet.
    std::string DateToSql(TDateTime date) const;
    // The database server's clock.
    TDateTime ServerNow();

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    TADOConnection* Connection() const { return FConnection.get(); }

    // Give each named value (or blob) to the parameter of that name; names
    // compare without regard to ASCII case; a missing one raises.
    static void AssignParams(TParameters* params, const TDBParameters& values);
    static void AssignBlobParams(TParameters* params, const TxDBParameters& blobs);

private:
    void EnsureConnected();
    std::unique_ptr<TADOConnection> FConnection;
};

namespace Database {

TDBParameter MakeParam(const std::string& name, const Variant& value);

// Inserts a keyed row; when the key is taken already (another workstation
// inserted the row a moment before), updates that row instead. Returns the
// rows changed.
int InsertOrUpdate(const std::string& insertSql, const std::string& updateSql, const TDBParameters& params);

// Makes GDatabase (closed, no connection string) and GRecordSet; Finalize
// frees them. Called once at start-up and at exit.
void Initialize();
void Finalize();

// The message of a failed statement: the driver's message, a line break and
// the statement.
std::string StatementError(const std::string& driverMessage, const std::string& sql);

}  // namespace Database

extern TDatabase* GDatabase;
extern TRecordSet* GRecordSet;

// ---- row sets on the connection ---------------------------------------------------------

// A query on GDatabase's connection (command time-out 120 s, batch-optimistic).
class TQuerySet : public TComponent {
    QZ_CLASS(TQuerySet, TComponent)
public:
    explicit TQuerySet(TComponent* owner = nullptr);
    ~TQuerySet() override;

    TADOQuery* DataSet() const { return FQuery; }

    // Opens the statement with its named parameters and returns the record
    // count. A failure to open shows "SQL语句错误,原文如下:…" and then raises
    // the closed-data-set error, so a caller never goes on with a failed set.
    int Open(const std::string& sql, const TDBParameters& params = {});
    // A persistent field of the given class; size applies when 0 or more.
    TField* AddField(TClass fieldClass, const std::string& name, const std::string& label,
                     bool visible, int size = -1);

private:
    TADOQuery* FQuery;
};

// A data set on GDatabase's connection (command time-out 120 s,
// batch-optimistic). It never has an owner: its creator frees it.
class TRecordSet : public TComponent {
    QZ_CLASS(TRecordSet, TComponent)
public:
    explicit TRecordSet(TComponent* owner = nullptr);
    ~TRecordSet() override;

    TADODataSet* DataSet() const { return FDataSet; }
    const std::string& SqlText() const { return FDataSet->CommandText(); }

    int Open(const std::string& sql, const TDBParameters& params = {});
    TField* AddField(TClass fieldClass, const std::string& name, const std::string& label,
                     bool visible, int size = -1);
    // The field's text of every row joined by the separator (cursor left
    // after the last row); empty for a closed or empty set.
    std::string JoinField(TField* field, const std::string& separator);
    // Local only (batch-optimistic): nothing reaches the database.
    virtual void DeleteCurrent();
    virtual void DeleteAll();

private:
    TADODataSet* FDataSet;
};

// ---- unconnected sets ---------------------------------------------------------------------

using TProgressEvent = std::function<void(int count, int position)>;
using TProgressEvent2 = std::function<void(int count, int position, const std::string& hint)>;

// An ADO data set with no connection: its rows live in memory only.
class TQzClientDataSet : public TComponent {
    QZ_CLASS(TQzClientDataSet, TComponent)
public:
    explicit TQzClientDataSet(TComponent* owner = nullptr);
    ~TQzClientDataSet() override;

    TADODataSet* DataSet() const { return FDataSet.get(); }

    TField* AddField(TClass fieldClass, const std::string& name, bool visible, const std::string& label);
    // A field definition and its persistent field; a size above 20 is kept,
    // capped at 140.
    TField* AddFieldDef(TClass fieldClass, const std::string& name, int size, bool visible,
                        TFieldType dataType, const std::string& label);

    // For descendants that compute statistics; this layer never fires them.
    TProgressEvent OnProgress;
    TProgressEvent& CalcProgressEvent() { return OnProgress; }
    TProgressEvent2 OnProgress2;
    double LostTime() const { return FLostTime; }

protected:
    double FLostTime = 0;

private:
    std::unique_ptr<TADODataSet> FDataSet;
};

// The one-row criteria record of a search. Descendants declare their fields,
// then call CreateRecord, which opens the set and appends the single row
// that stays in insert state.
class TCustomWhere : public TQzClientDataSet {
    QZ_CLASS(TCustomWhere, TQzClientDataSet)
public:
    explicit TCustomWhere(TComponent* owner = nullptr);

    // A fresh empty criteria row: every criterion reads null or empty.
    virtual void Clear();
    // Moves values that bound controls hold into the row, without posting.
    void FlushEdits();

    // Helpers for the queries: whether a criterion holds a value.
    bool IsSet(TField* f) const;          // not null
    bool HasText(TField* f) const;        // not null and not empty

protected:
    void CreateRecord();
    TField* Def(const std::string& name, TFieldType type, int size = 0);
};
