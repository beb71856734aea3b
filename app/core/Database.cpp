#include "Database.h"

#include "HostServices.h"
#include "Streams.h"
#include "SysUtils.h"
#include "qzLib.h"

TDatabase* GDatabase = nullptr;
TRecordSet* GRecordSet = nullptr;

QZ_CLASS_IMPL(TDatabase, TObject)
QZ_CLASS_IMPL(TQuerySet, TComponent)
QZ_CLASS_IMPL(TRecordSet, TComponent)
QZ_CLASS_IMPL(TQzClientDataSet, TComponent)
QZ_CLASS_IMPL(TCustomWhere, TQzClientDataSet)

namespace {

constexpr const char* JetProvider = "Microsoft.Jet.OLEDB.4.0";
constexpr int StatementTimeout = 300;
constexpr int SetTimeout = 120;

TADOConnection* SharedConnection()
{
    if (!GDatabase) throw Exception("数据访问层尚未初始化");
    return GDatabase->Connection();
}

// Opens the shared connection when it is closed (with the string last set).
void OpenShared()
{
    TADOConnection* c = SharedConnection();
    if (!c->Connected()) c->Open();
}

void ShowOpenError(const std::string& sql, const std::string& message)
{
    qzLib::ShowInfo("SQL语句错误,原文如下:\r\n" + sql + "\r\n\r\n错误提示:\r\n" + message);
}

TField* MakeField(TDataSet* ds, TClass fieldClass, const std::string& name)
{
    if (!fieldClass || !fieldClass->InheritsFrom(TField::StaticClass()))
        throw Exception(Format("'%s' 不是字段类", {fieldClass ? fieldClass->Name : std::string("nil")}));
    TField* f = static_cast<TField*>(fieldClass->Create(ds));
    f->SetFieldName(name);
    return f;
}

}  // namespace

// ---- TDatabase -------------------------------------------------------------------------------

TDatabase::TDatabase() : FConnection(std::make_unique<TADOConnection>())
{
    FConnection->SetLoginPrompt(false);
    FConnection->SetCommandTimeout(StatementTimeout);
    FConnection->SetConnectionTimeout(120);
}

TDatabase::~TDatabase() = default;

bool TDatabase::Connect(const std::string& connStr)
{
    try {
        FConnection->Close();
        FConnection->SetConnectionString(connStr);
        FConnection->Open();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        qzLib::ShowInfo(Format("连接时失败,提示如下:\r\n%s", {e.Message()}));
    }
    return FConnection->Connected();
}

void TDatabase::EnsureConnected()
{
    if (!FConnection->Connected()) FConnection->Open();
}

void TDatabase::AssignParams(TParameters* params, const TDBParameters& values)
{
    for (const TDBParameter& p : values) params->ParamByName(p.Name)->SetValue(p.Value);
}

void TDatabase::AssignBlobParams(TParameters* params, const TxDBParameters& blobs)
{
    for (const TxDBParameter& p : blobs) params->ParamByName(p.Name)->LoadFromStream(p.Stream, ftBlob);
}

EStatementError::EStatementError(const std::string& driverMessage, const std::string& sql, bool duplicateKey)
    : Exception(Database::StatementError(driverMessage, sql)), DriverMessage(driverMessage), DuplicateKey(duplicateKey)
{
}

namespace {

// Runs one step of a statement; a failure (other than the silent one)
// becomes the statement error.
template <class Fn> auto StatementStep(const std::string& sql, Fn&& step)
{
    try {
        return step();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        const auto* ado = dynamic_cast<const EADOError*>(&e);
        throw EStatementError(e.Message(), sql, ado && ado->DuplicateKey);
    }
}

}  // namespace

int TDatabase::ExecSQL(const std::string& sql, const TDBParameters& params, const TxDBParameters& blobs)
{
    StatementStep(sql, [&] { EnsureConnected(); });
    TADOQuery q;
    q.SetConnection(FConnection.get());
    q.SQL()->SetText(sql);
    q.SetExecuteOptions(TExecuteOptions{eoExecuteNoRecords});
    q.SetCommandTimeout(StatementTimeout);
    AssignParams(q.Parameters(), params);
    AssignBlobParams(q.Parameters(), blobs);
    return StatementStep(sql, [&] {
        q.SetPrepared(true);
        return q.ExecSQL();
    });
}

Variant TDatabase::ReadValue(const std::string& sql, const TDBParameters& params)
{
    StatementStep(sql, [&] { EnsureConnected(); });
    TADOQuery q;
    q.SetConnection(FConnection.get());
    q.SetCommandTimeout(SetTimeout);
    q.SQL()->SetText(sql);
    AssignParams(q.Parameters(), params);
    StatementStep(sql, [&] { q.Open(); });
    if (q.IsEmpty() || q.Fields()->Count() == 0) return Null();
    TField* f = q.Fields()->Fields(0);
    return f->IsNull() ? Null() : f->Value();
}

std::unique_ptr<TADOCommand> TDatabase::CreateCommand(const std::string& sql)
{
    auto cmd = std::make_unique<TADOCommand>();
    cmd->SetConnection(FConnection.get());
    cmd->SetCommandTimeout(StatementTimeout);
    cmd->SetCommandText(sql);
    return cmd;
}

void TDatabase::Execute(const std::string& sql, const TDBParameters& params, const TxDBParameters& blobs)
{
    StatementStep(sql, [&] { EnsureConnected(); });
    auto cmd = CreateCommand(sql);
    cmd->SetExecuteOptions(TExecuteOptions{eoExecuteNoRecords});
    AssignParams(cmd->Parameters(), params);
    AssignBlobParams(cmd->Parameters(), blobs);
    StatementStep(sql, [&] { cmd->Execute(); });
}

bool TDatabase::GetConnected() const { return FConnection->Connected(); }

void TDatabase::SetConnected(bool v)
{
    if (v)
        FConnection->Open();
    else
        FConnection->Close();
}

std::string TDatabase::GetConnStrValue(const std::string& key) const
{
    const std::string& s = FConnection->ConnectionString();
    const size_t p = s.find(key);
    if (p == std::string::npos || key.empty()) return "";
    const size_t start = p + key.size() + 1;   // past the key and its "="
    if (start > s.size()) return "";
    if (start < s.size() && s[start] == '"') {
        // A value the settings had to quote (it holds ';', a leading quote or
        // blanks at an end): the text inside, doubled quotes made single.
        std::string v;
        for (size_t i = start + 1; i < s.size(); ++i) {
            if (s[i] != '"') {
                v += s[i];
            } else if (i + 1 < s.size() && s[i + 1] == '"') {
                v += '"';
                ++i;
            } else {
                return v;
            }
        }
        return "";   // no closing quote: nothing sound to read
    }
    const size_t end = s.find(';', start);
    if (end == std::string::npos) return "";
    return s.substr(start, end - start);
}

bool TDatabase::IsSqlServer() const { return GetProvider() != JetProvider; }

std::string TDatabase::DateToSql(TDateTime date) const
{
    const std::string text = FormatDateTime("yyyy-mm-dd", date);
    return IsSqlServer() ? "'" + text + "'" : "#" + text + "#";
}

TDateTime TDatabase::ServerNow()
{
    TRecordSet rs;
    rs.Open(IsSqlServer() ? "select GetDate()" : "select now");
    return rs.DataSet()->Fields()->Fields(0)->AsDateTime();
}

void TDatabase::BeginTrans() { FConnection->BeginTrans(); }
void TDatabase::CommitTrans() { FConnection->CommitTrans(); }
void TDatabase::RollbackTrans() { FConnection->RollbackTrans(); }
bool TDatabase::InTransaction() const { return FConnection->InTransaction(); }

namespace Database {

TDBParameter MakeParam(const std::string& name, const Variant& value) { return TDBParameter{name, value}; }

int InsertOrUpdate(const std::string& insertSql, const std::string& updateSql, const TDBParameters& params)
{
    try {
        return GDatabase->ExecSQL(insertSql, params);
    } catch (const EStatementError& e) {
        if (!e.DuplicateKey) throw;
    }
    return GDatabase->ExecSQL(updateSql, params);
}

std::string StatementError(const std::string& driverMessage, const std::string& sql)
{
    return driverMessage + "\r\n" + sql;
}

void Initialize()
{
    if (GDatabase) return;
    GDatabase = new TDatabase();
    GRecordSet = new TRecordSet();
}

void Finalize()
{
    // The shared set first lets go of the connection it is bound to.
    if (GRecordSet) GRecordSet->DataSet()->Close();
    delete GDatabase;
    GDatabase = nullptr;
    FreeAndNil(GRecordSet);
}

}  // namespace Database

// ---- TQuerySet -------------------------------------------------------------------------------

TQuerySet::TQuerySet(TComponent* owner) : TComponent(owner), FQuery(new TADOQuery(this))
{
    FQuery->SetConnection(SharedConnection());
    FQuery->SetCommandTimeout(SetTimeout);
    FQuery->SetLockType(ltBatchOptimistic);
}

TQuerySet::~TQuerySet() = default;

int TQuerySet::Open(const std::string& sql, const TDBParameters& params)
{
    FQuery->Close();
    FQuery->SQL()->SetText(sql);
    TDatabase::AssignParams(FQuery->Parameters(), params);
    try {
        OpenShared();
        FQuery->Open();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        ShowOpenError(sql, e.Message());
    }
    return FQuery->RecordCount();
}

TField* TQuerySet::AddField(TClass fieldClass, const std::string& name, const std::string& label,
                            bool visible, int size)
{
    TField* f = MakeField(FQuery, fieldClass, name);
    f->SetDisplayLabel(label);
    f->SetDataSet(FQuery);
    f->SetVisible(visible);
    if (size >= 0) f->SetSize(size);
    f->SetDisplayWidth(75);
    return f;
}

// ---- TRecordSet ------------------------------------------------------------------------------

TRecordSet::TRecordSet(TComponent*) : TComponent(nullptr), FDataSet(new TADODataSet(this))
{
    FDataSet->SetConnection(SharedConnection());
    FDataSet->SetCommandTimeout(SetTimeout);
    FDataSet->SetLockType(ltBatchOptimistic);
}

TRecordSet::~TRecordSet() = default;

int TRecordSet::Open(const std::string& sql, const TDBParameters& params)
{
    FDataSet->Close();
    FDataSet->SetCommandText(sql);
    TDatabase::AssignParams(FDataSet->Parameters(), params);
    try {
        OpenShared();
        FDataSet->Open();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        ShowOpenError(sql, e.Message());
    }
    return FDataSet->RecordCount();
}

TField* TRecordSet::AddField(TClass fieldClass, const std::string& name, const std::string& label,
                             bool visible, int size)
{
    TField* f = MakeField(FDataSet, fieldClass, name);
    f->SetDisplayLabel(label);
    f->SetDataSet(FDataSet);
    f->SetVisible(visible);
    if (size >= 0) f->SetSize(size);
    return f;
}

std::string TRecordSet::JoinField(TField* field, const std::string& separator)
{
    if (!FDataSet->Active() || FDataSet->IsEmpty() || !field) return "";
    std::string out;
    bool first = true;
    FDataSet->First();
    while (!FDataSet->Eof()) {
        if (!first) out += separator;
        out += field->AsString();
        first = false;
        FDataSet->Next();
    }
    return out;
}

void TRecordSet::DeleteCurrent()
{
    if (!FDataSet->IsEmpty()) FDataSet->Delete();
}

void TRecordSet::DeleteAll()
{
    while (FDataSet->RecordCount() > 0) FDataSet->Delete();
}

// ---- TQzClientDataSet ------------------------------------------------------------------------

TQzClientDataSet::TQzClientDataSet(TComponent* owner)
    : TComponent(owner), FDataSet(std::make_unique<TADODataSet>())
{
    FDataSet->SetLockType(ltBatchOptimistic);
}

TQzClientDataSet::~TQzClientDataSet()
{
    Destroying();
    try {
        FDataSet->Close();
    } catch (...) {
    }
}

TField* TQzClientDataSet::AddField(TClass fieldClass, const std::string& name, bool visible,
                                   const std::string& label)
{
    TField* f = MakeField(FDataSet.get(), fieldClass, name);
    f->SetDisplayLabel(label);
    f->SetDataSet(FDataSet.get());
    f->SetVisible(visible);
    return f;
}

TField* TQzClientDataSet::AddFieldDef(TClass fieldClass, const std::string& name, int size, bool visible,
                                      TFieldType dataType, const std::string& label)
{
    FDataSet->FieldDefs()->Add(name, dataType, size, false);
    TField* f = AddField(fieldClass, name, visible, label);
    if (size > 20) f->SetSize(size < 140 ? size : 140);
    return f;
}

// ---- TCustomWhere ----------------------------------------------------------------------------

TCustomWhere::TCustomWhere(TComponent* owner) : TQzClientDataSet(owner) {}

TField* TCustomWhere::Def(const std::string& name, TFieldType type, int size)
{
    TClass cls = DefaultFieldClass(type);
    return AddFieldDef(cls, name, size, true, type, name);
}

void TCustomWhere::CreateRecord()
{
    DataSet()->CreateDataSet();
    DataSet()->Append();
}

void TCustomWhere::Clear()
{
    DataSet()->Cancel();
    DataSet()->Append();
}

void TCustomWhere::FlushEdits()
{
    if (IsEditState(DataSet()->State())) DataSet()->UpdateRecord();
}

bool TCustomWhere::IsSet(TField* f) const { return f && !f->IsNull(); }

bool TCustomWhere::HasText(TField* f) const { return f && !f->IsNull() && !f->AsString().empty(); }
