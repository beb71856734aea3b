// Connections, commands, parameters, and the ADO-style data sets.
#include "AdoEngine.h"
#include "DBStoreImpl.h"
#include "SysUtils.h"
#include "StringLists.h"
#include "Streams.h"
#include "Registry.h"

#include <algorithm>
#include <cstdlib>

QZ_CLASS_IMPL(TParameter, TCollectionItem)
QZ_CLASS_IMPL(TParameters, TOwnedCollection)
QZ_CLASS_IMPL(TADOConnection, TComponent)
QZ_CLASS_IMPL(TADOCommand, TComponent)
QZ_CLASS_IMPL(TCustomADODataSet, TDataSet)
QZ_CLASS_IMPL(TADODataSet, TCustomADODataSet)
QZ_CLASS_IMPL(TADOQuery, TCustomADODataSet)
QZ_CLASS_IMPL(TADOTable, TCustomADODataSet)

namespace qzAdo {

// ---- connection strings -----------------------------------------------------------------

namespace {

struct TKeyValue {
    std::string Key, Value;
};

std::vector<TKeyValue> SplitConnStr(const std::string& s)
{
    std::vector<TKeyValue> out;
    size_t i = 0, n = s.size();
    while (i < n) {
        size_t start = i;
        std::string key, value;
        bool inValue = false;
        std::string cur;
        while (i < n) {
            char c = s[i];
            if (inValue && (c == '"' || c == '\'') && Trim(cur).empty()) {
                // A quoted value runs to its closing quote (doubled quotes inside).
                char q = c;
                ++i;
                std::string v;
                while (i < n) {
                    if (s[i] == q) {
                        if (i + 1 < n && s[i + 1] == q) {
                            v += q;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    v += s[i++];
                }
                cur = v;
                while (i < n && s[i] != ';') ++i;
                value = cur;
                cur.clear();
                inValue = false;
                key += '\0';   // mark: value taken
                break;
            }
            if (c == ';') break;
            if (c == '=' && !inValue) {
                key = cur;
                cur.clear();
                inValue = true;
                ++i;
                continue;
            }
            cur += c;
            ++i;
        }
        if (!key.empty() && key.back() == '\0') {
            key.pop_back();
        } else if (inValue) {
            value = Trim(cur);
        } else {
            key = cur;   // a bare word such as "Excel 8.0"
        }
        if (i < n && s[i] == ';') ++i;
        key = Trim(key);
        if (!key.empty() || !value.empty()) out.push_back({key, value});
        if (i == start) ++i;
    }
    return out;
}

std::string OdbcQuote(const std::string& v)
{
    if (v.find_first_of(";{}=") == std::string::npos && Trim(v) == v) return v;
    return "{" + StringReplace(v, "}", "}}", {rfReplaceAll}) + "}";
}

bool HasBareWord(const std::string& connStr, const std::string& word)
{
    for (const TKeyValue& kv : SplitConnStr(connStr))
        if (kv.Value.empty() && ContainsText(kv.Key, word)) return true;
    return ContainsText(ConnStrValue(connStr, "Extended Properties"), word);
}

}

std::string ConnStrValue(const std::string& connStr, const std::string& key)
{
    for (const TKeyValue& kv : SplitConnStr(connStr))
        if (SameText(kv.Key, key)) return kv.Value;
    return std::string();
}

bool IsJetProvider(const std::string& connStr)
{
    std::string p = ConnStrValue(connStr, "Provider");
    return StartsText("Microsoft.Jet.OLEDB", p) || StartsText("Microsoft.ACE.OLEDB", p);
}

std::string OdbcConnectionString(const std::string& oleDb)
{
    std::string provider = ConnStrValue(oleDb, "Provider");
    if (StartsText("MSDASQL", provider)) {
        std::string ext = ConnStrValue(oleDb, "Extended Properties");
        if (!ext.empty()) return ext;
        std::string out;
        for (const TKeyValue& kv : SplitConnStr(oleDb)) {
            if (SameText(kv.Key, "Provider") || kv.Key.empty()) continue;
            out += kv.Key + "=" + OdbcQuote(kv.Value) + ";";
        }
        return out;
    }
    std::string server = ConnStrValue(oleDb, "Data Source");
    if (server.empty()) server = ConnStrValue(oleDb, "Server");
    std::string host = server, port;
    size_t comma = server.find(',');
    if (comma != std::string::npos) {
        host = Trim(server.substr(0, comma));
        port = Trim(server.substr(comma + 1));
    } else if (!server.empty()) {
        // The client alias names the host and port the server is reached at.
        try {
            TRegistry reg;
            reg.SetRootKey(HKEY_LOCAL_MACHINE);
            if (reg.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo") &&
                reg.ValueExists(server)) {
                std::string alias = reg.ReadString(server);
                std::vector<std::string> parts;
                size_t start = 0;
                while (start <= alias.size()) {
                    size_t p = alias.find(',', start);
                    if (p == std::string::npos) p = alias.size();
                    parts.push_back(Trim(alias.substr(start, p - start)));
                    start = p + 1;
                }
                if (parts.size() >= 2 && !parts[1].empty()) host = parts[1];
                if (parts.size() >= 3) port = parts[2];
            }
        } catch (const Exception&) {
            // An unreadable alias store leaves the name as it is.
        }
    }
    std::string driver = GetEnvironmentVariable("QZ_ODBC_DRIVER");
    if (driver.empty()) driver = "FreeTDS";
    std::string out = "DRIVER={" + driver + "};SERVER=" + OdbcQuote(host) + ";";
    if (!port.empty()) out += "PORT=" + OdbcQuote(port) + ";";
    std::string db = ConnStrValue(oleDb, "Initial Catalog");
    if (db.empty()) db = ConnStrValue(oleDb, "Database");
    if (!db.empty()) out += "DATABASE=" + OdbcQuote(db) + ";";
    std::string uid = ConnStrValue(oleDb, "User ID");
    if (!uid.empty()) out += "UID=" + OdbcQuote(uid) + ";";
    std::string pwd = ConnStrValue(oleDb, "Password");
    if (!uid.empty() || !pwd.empty()) out += "PWD=" + OdbcQuote(pwd) + ";";
    std::string ws = ConnStrValue(oleDb, "Workstation ID");
    if (!ws.empty()) out += "WSID=" + OdbcQuote(ws) + ";";
    out += "ClientCharset=UTF-8;";
    return out;
}

// ---- the file provider's statement forms -------------------------------------------------------

namespace {

// A letter, digit, '_' or a byte of a multi-byte character: part of a name in a statement.
bool IsSqlNameChar(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// Copies a quoted literal, a [bracketed name] or a "--" or "/* */" comment starting at sql[i] to out
// unchanged and moves i past it, so that the statement scanners never rewrite their insides.
// Returns false, leaving i alone, when sql[i] starts none of them.
bool CopyQuotedOrComment(const std::string& sql, size_t& i, std::string& out)
{
    size_t n = sql.size();
    char c = sql[i];
    if (c == '\'' || c == '"' || c == '[') {
        char close = c == '[' ? ']' : c;
        size_t j = i + 1;
        while (j < n) {
            if (sql[j] == close) {
                if (close != ']' && j + 1 < n && sql[j + 1] == close) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        out.append(sql, i, std::min(j + 1, n) - i);
        i = j + 1;
        return true;
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
        size_t j = sql.find('\n', i);
        if (j == std::string::npos) j = n;
        out.append(sql, i, j - i);
        i = j;
        return true;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
        // An unclosed comment runs to the end, as the engines read it.
        size_t j = sql.find("*/", i + 2);
        j = j == std::string::npos ? n : j + 2;
        out.append(sql, i, j - i);
        i = j;
        return true;
    }
    return false;
}

}

std::string TranslateJetSql(const std::string& sql)
{
    std::string out;
    out.reserve(sql.size() + 16);
    size_t i = 0, n = sql.size();
    std::string topCount;      // "top N" taken from the start, appended as "limit N"
    bool sawSelect = false;
    int depth = 0;
    while (i < n) {
        char c = sql[i];
        if (CopyQuotedOrComment(sql, i, out)) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == '#') {
            // #yyyy-mm-dd#, #yyyy-mm-dd hh:nn:ss# or #m/d/yyyy#: a date literal.
            size_t j = sql.find('#', i + 1);
            if (j != std::string::npos && j - i <= 25) {
                std::string inner = Trim(sql.substr(i + 1, j - i - 1));
                TDateTime d;
                bool ok = false;
                int mo, da, y;
                if (sscanf(inner.c_str(), "%d/%d/%d", &mo, &da, &y) == 3 && inner.find('-') == std::string::npos)
                    ok = TryEncodeDate(y, mo, da, d);
                else
                    ok = qzDB::TryParseDateTimeText(inner, d);
                if (ok) {
                    out += "'" + DateTimeToIso(d) + "'";
                    i = j + 1;
                    continue;
                }
            }
        }
        if (IsSqlNameChar(c) && (i == 0 || !IsSqlNameChar(sql[i - 1]))) {
            size_t j = i;
            while (j < n && IsSqlNameChar(sql[j])) ++j;
            std::string word = sql.substr(i, j - i);
            size_t k = j;
            while (k < n && isspace(static_cast<unsigned char>(sql[k]))) ++k;
            bool call = k < n && sql[k] == '(';
            bool afterDot = i > 0 && sql[i - 1] == '.';
            if (!afterDot && (SameText(word, "now") || SameText(word, "GetDate"))) {
                out += "qz_now()";
                if (call) {
                    size_t close = sql.find(')', k);
                    i = close == std::string::npos ? n : close + 1;
                } else {
                    i = j;
                }
                continue;
            }
            if (!afterDot && SameText(word, "date") && call) {
                size_t m = k + 1;
                while (m < n && isspace(static_cast<unsigned char>(sql[m]))) ++m;
                if (m < n && sql[m] == ')') {
                    out += "qz_date()";
                    i = m + 1;
                    continue;
                }
            }
            if (SameText(word, "select") && depth == 0) sawSelect = true;
            if (SameText(word, "top") && sawSelect && depth == 0 && topCount.empty()) {
                size_t m = k;
                while (m < n && isdigit(static_cast<unsigned char>(sql[m]))) ++m;
                if (m > k) {
                    topCount = sql.substr(k, m - k);
                    i = m;
                    while (i < n && isspace(static_cast<unsigned char>(sql[i]))) ++i;
                    continue;
                }
            }
            out += word;
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    if (!topCount.empty()) {
        std::string trimmed = TrimRight(out);
        bool semi = !trimmed.empty() && trimmed.back() == ';';
        if (semi) trimmed.pop_back();
        out = trimmed + " limit " + topCount + (semi ? ";" : "");
    }
    return out;
}

}   // namespace qzAdo

using namespace qzAdo;

// ---- TParameter / TParameters --------------------------------------------------------

TParameter::TParameter(TCollection* collection) : TCollectionItem(collection) {}

void TParameter::SetValue(const Variant& v)
{
    FValue = v;
    if (FDataType == ftUnknown || (FDataType != ftBlob && FDataType != ftMemo && FDataType != ftGraphic)) {
        switch (v.VType() & varTypeMask) {
        case varBoolean: FDataType = ftBoolean; break;
        case varSmallint: case varShortInt: case varByte: FDataType = ftSmallint; break;
        case varInteger: case varWord: FDataType = ftInteger; break;
        case varLongWord: case varInt64: FDataType = ftLargeint; break;
        case varSingle: case varDouble: FDataType = ftFloat; break;
        case varCurrency: FDataType = ftCurrency; break;
        case varDate: FDataType = ftDateTime; break;
        case varOleStr: FDataType = ftWideString; break;
        case varString: FDataType = ftString; break;
        default: break;
        }
    }
}

void TParameter::LoadFromStream(TStream* stream, TFieldType dataType)
{
    std::string bytes;
    if (stream) {
        int64_t size = stream->Size();
        stream->SetPosition(0);
        if (size > 0) {
            bytes.resize(size_t(size));
            stream->ReadBuffer(bytes.data(), int(size));
        }
    }
    FDataType = dataType == ftUnknown ? ftBlob : dataType;
    FValue = Variant(std::move(bytes));
    FSize = int(FValue.RawString().size());
}

void TParameter::LoadFromFile(const std::string& fileName, TFieldType dataType)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs, dataType);
}

void TParameter::Assign(TPersistent* source)
{
    if (auto* p = DynamicCast<TParameter>(source)) {
        FName = p->FName;
        FDataType = p->FDataType;
        FDirection = p->FDirection;
        FSize = p->FSize;
        FPrecision = p->FPrecision;
        FNumericScale = p->FNumericScale;
        FValue = p->FValue;
        return;
    }
    TCollectionItem::Assign(source);
}

TParameters::TParameters(TPersistent* owner) : TOwnedCollection(owner, TParameter::StaticClass()) {}

TParameter* TParameters::CreateParameter(const std::string& name, TFieldType dataType,
                                         TParameterDirection direction, int size, const Variant& value)
{
    TParameter* p = AddParameter();
    p->SetName(name);
    p->SetDataType(dataType);
    p->SetDirection(direction);
    p->SetSize(size);
    if (!value.IsEmpty()) p->SetValue(value);
    return p;
}

TParameter* TParameters::FindParam(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), name)) return Items(i);
    return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& name) const
{
    TParameter* p = FindParam(name);
    if (!p) DatabaseErrorFmt(DBConsts::SParameterNotFound, {name}, DynamicCast<TComponent>(GetOwner()));
    return p;
}

Variant TParameters::ParamValues(const std::string& names) const
{
    std::vector<std::string> list = SplitFieldNames(names);
    if (list.size() == 1) return ParamByName(list[0])->Value();
    std::vector<Variant> values;
    for (const std::string& n : list) values.push_back(ParamByName(n)->Value());
    return VarArrayOf(values);
}

void TParameters::SetParamValues(const std::string& names, const Variant& values)
{
    std::vector<std::string> list = SplitFieldNames(names);
    if (list.size() == 1) {
        ParamByName(list[0])->SetValue(values);
        return;
    }
    for (size_t i = 0; i < list.size(); ++i)
        ParamByName(list[i])->SetValue(VarArrayGet(values, {VarArrayLowBound(values, 1) + int(i)}));
}

namespace {

// The ":name" markers of a statement, in order, and the statement with "?"
// in their place.
std::string ScanParams(const std::string& sql, std::vector<std::string>& names)
{
    std::string out;
    out.reserve(sql.size());
    size_t i = 0, n = sql.size();
    while (i < n) {
        char c = sql[i];
        if (CopyQuotedOrComment(sql, i, out)) continue;
        if (c == ':') {
            if (i + 1 < n && sql[i + 1] == ':') {
                out += ':';
                i += 2;
                continue;
            }
            unsigned char f = i + 1 < n ? static_cast<unsigned char>(sql[i + 1]) : 0;
            if (f && (isalpha(f) || f == '_' || f >= 0x80)) {
                size_t j = i + 1;
                while (j < n && IsSqlNameChar(sql[j])) ++j;
                names.push_back(sql.substr(i + 1, j - i - 1));
                out += '?';
                i = j;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

}

std::string TParameters::ParseSQL(const std::string& sql, bool doCreate)
{
    std::vector<std::string> names;
    std::string out = ScanParams(sql, names);
    if (doCreate) {
        // Keep the parameters that stay (with their values), in statement order.
        std::vector<std::unique_ptr<TParameter>> kept;
        std::vector<std::string> order;
        for (const std::string& nm : names) {
            bool dup = false;
            for (const std::string& o : order) dup = dup || SameText(o, nm);
            if (!dup) order.push_back(nm);
        }
        std::vector<std::pair<std::string, TParameter*>> old;
        BeginUpdate();
        try {
            std::vector<TParameter> saved;
            std::vector<std::tuple<std::string, TFieldType, Variant, int>> values;
            for (int i = 0; i < Count(); ++i)
                values.emplace_back(Items(i)->Name(), Items(i)->DataType(), Items(i)->Value(), Items(i)->Size());
            Clear();
            for (const std::string& nm : order) {
                TParameter* p = AddParameter();
                p->SetName(nm);
                for (auto& [on, ot, ov, os] : values)
                    if (SameText(on, nm)) {
                        p->SetDataType(ot);
                        p->SetValue(ov);
                        p->SetDataType(ot);
                        p->SetSize(os);
                        break;
                    }
            }
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    return out;
}

namespace {

// The statement in the engine's form with one value per marker. A marker
// whose parameter is missing raises before anything runs.
std::string PrepareStatement(TEngine& engine, const std::string& sql, TParameters* params,
                             std::vector<TBind>& binds, TComponent* owner)
{
    std::vector<std::string> names;
    std::string text = ScanParams(sql, names);
    binds.clear();
    for (const std::string& n : names) {
        TParameter* p = params ? params->FindParam(n) : nullptr;
        if (!p) DatabaseErrorFmt(DBConsts::SParameterNotFound, {n}, owner);
        binds.push_back({p->Value(), p->DataType()});
    }
    return engine.Translate(text);
}

std::string StatementText(TStrings* lines)
{
    std::string s;
    for (int i = 0; i < lines->Count(); ++i) {
        if (i) s += "\r\n";
        s += lines->Strings(i);
    }
    return s;
}

}

// ---- TADOConnection ----------------------------------------------------------------------

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner) {}

TADOConnection::~TADOConnection()
{
    Destroying();
    try {
        Close();
    } catch (...) {
    }
    std::vector<TCustomADODataSet*> sets = FDataSets;
    for (TCustomADODataSet* ds : sets) ds->SetConnection(nullptr);
}

std::string TADOConnection::Provider() const { return ConnStrValue(FConnectionString, "Provider"); }

void TADOConnection::SetConnectionString(const std::string& v)
{
    if (Connected()) Close();
    FConnectionString = v;
}

bool TADOConnection::Connected() const { return FEngine && FEngine->Connected(); }

void TADOConnection::SetConnected(bool v)
{
    if (v) Open();
    else Close();
}

void TADOConnection::Open()
{
    if (Connected()) return;
    if (BeforeConnect) BeforeConnect(this);
    if (Trim(FConnectionString).empty()) throw EADOError("Missing Connection or ConnectionString");
    std::unique_ptr<TEngine> engine;
    if (IsJetProvider(FConnectionString)) {
        std::string file = ConnStrValue(FConnectionString, "Data Source");
        if (file.empty()) file = ConnStrValue(FConnectionString, "DATABASE");
        file = StringReplace(file, "\\", "/", {rfReplaceAll});
        if (HasBareWord(FConnectionString, "Excel")) engine = CreateWorkbookEngine(file);
        else engine = CreateSqliteEngine(file);
    } else {
        engine = CreateOdbcEngine(OdbcConnectionString(FConnectionString));
    }
    engine->Open(FConnectionTimeout, FCommandTimeout);
    FEngine = std::move(engine);
    FTransLevel = 0;
    if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Open(const std::string& userId, const std::string& password)
{
    if (Connected()) return;
    std::string cs = FConnectionString;
    if (!userId.empty()) cs += ";User ID=" + userId;
    if (!password.empty()) cs += ";Password=" + password;
    std::string saved = FConnectionString;
    FConnectionString = cs;
    try {
        Open();
    } catch (...) {
        FConnectionString = saved;
        throw;
    }
    FConnectionString = saved;
}

void TADOConnection::Close()
{
    if (!FEngine) return;
    bool notify = !ComponentState().Contains(csDestroying);
    if (notify && BeforeDisconnect) BeforeDisconnect(this);
    // The sets on this connection close with it.
    std::vector<TCustomADODataSet*> sets = FDataSets;
    for (TCustomADODataSet* ds : sets)
        if (ds->Active() && !ds->ComponentState().Contains(csDestroying)) ds->Close();
    if (FTransLevel > 0) {
        try {
            FEngine->RollbackTrans(1);
        } catch (...) {
        }
        FTransLevel = 0;
    }
    FEngine->Close();
    FEngine.reset();
    if (notify && AfterDisconnect) AfterDisconnect(this);
}

qzAdo::TEngine& TADOConnection::Engine()
{
    if (!Connected()) Open();
    return *FEngine;
}

int TADOConnection::BeginTrans()
{
    Engine().BeginTrans(FTransLevel + 1);
    return ++FTransLevel;
}

void TADOConnection::CommitTrans()
{
    if (FTransLevel == 0 || !Connected()) throw EADOError("No transaction is active.");
    FEngine->CommitTrans(FTransLevel);
    --FTransLevel;
}

void TADOConnection::RollbackTrans()
{
    if (FTransLevel == 0 || !Connected()) throw EADOError("No transaction is active.");
    int level = FTransLevel--;
    FEngine->RollbackTrans(level);
}

std::string TADOConnection::DefaultDatabase() const
{
    return Connected() ? FEngine->DefaultDatabase() : std::string();
}

void TADOConnection::SetDefaultDatabase(const std::string& v) { Engine().SetDefaultDatabase(v); }

void TADOConnection::GetTableNames(TStrings* list, bool systemTables)
{
    std::vector<std::string> names;
    Engine().GetTableNames(names, systemTables);
    list->BeginUpdate();
    list->Clear();
    for (const std::string& n : names) list->Add(n);
    list->EndUpdate();
}

void TADOConnection::GetFieldNames(const std::string& tableName, TStrings* list)
{
    TResult r;
    std::string name = tableName;
    if (name.empty() || name.front() != '[') name = "[" + name + "]";
    Engine().Query("select * from " + name, {}, FCommandTimeout, r, true);
    list->BeginUpdate();
    list->Clear();
    for (const TColumn& c : r.Columns) list->Add(c.Name);
    list->EndUpdate();
}

int TADOConnection::Execute(const std::string& commandText)
{
    TEngine& e = Engine();
    return e.Execute(e.Translate(commandText), {}, FCommandTimeout);
}

void TADOConnection::RegisterDataSet(TCustomADODataSet* ds)
{
    if (std::find(FDataSets.begin(), FDataSets.end(), ds) == FDataSets.end()) FDataSets.push_back(ds);
}

void TADOConnection::UnregisterDataSet(TCustomADODataSet* ds)
{
    FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), ds), FDataSets.end());
}

// ---- TADOCommand ----------------------------------------------------------------------------

TADOCommand::TADOCommand(TComponent* owner) : TComponent(owner), FParameters(new TParameters(this)) {}

TADOCommand::~TADOCommand()
{
    if (FConnection) FConnection->RemoveFreeNotification(this);
}

void TADOCommand::SetConnection(TADOConnection* c)
{
    if (c == FConnection) return;
    if (FConnection) FConnection->RemoveFreeNotification(this);
    FConnection = c;
    if (c) c->FreeNotification(this);
}

void TADOCommand::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FConnection) FConnection = nullptr;
}

void TADOCommand::SetCommandText(const std::string& v)
{
    FCommandText = v;
    if (FParamCheck) FParameters->ParseSQL(v, true);
}

int TADOCommand::Execute()
{
    if (!FConnection) throw EADOError("Missing Connection or ConnectionString");
    TEngine& engine = FConnection->Engine();
    std::vector<TBind> binds;
    std::string sql = PrepareStatement(engine, FCommandText, FParameters.get(), binds, this);
    return engine.Execute(sql, binds, FCommandTimeout);
}

// ---- TCustomADODataSet ---------------------------------------------------------------------

TCustomADODataSet::TCustomADODataSet(TComponent* owner)
    : TDataSet(owner), FParameters(new TParameters(this))
{
    // Filters on these sets compare texts without regard to case, as the
    // provider's filters do.
    SetFilterOptions({foCaseInsensitive});
}

TCustomADODataSet::~TCustomADODataSet()
{
    if (FConnection) {
        FConnection->UnregisterDataSet(this);
        FConnection->RemoveFreeNotification(this);
    }
}

void TCustomADODataSet::SetConnection(TADOConnection* c)
{
    if (c == FConnection) return;
    if (Active()) Close();
    if (FConnection) {
        FConnection->UnregisterDataSet(this);
        FConnection->RemoveFreeNotification(this);
    }
    FConnection = c;
    if (c) {
        c->RegisterDataSet(this);
        c->FreeNotification(this);
    }
}

void TCustomADODataSet::Notification(TComponent* component, TOperation operation)
{
    TDataSet::Notification(component, operation);
    if (operation == opRemove && component == FConnection) {
        FConnection = nullptr;
        if (Active() && !ComponentState().Contains(csDestroying)) Close();
    }
}

void TCustomADODataSet::SetCommandText(const std::string& v)
{
    if (Active()) Close();
    FCommandText = v;
    ParseParams(v);
}

void TCustomADODataSet::ParseParams(const std::string& sql)
{
    if (FParamCheck) FParameters->ParseSQL(sql, true);
}

void TCustomADODataSet::SetLockType(TADOLockType v)
{
    CheckInactive();
    FLockType = v;
}

bool TCustomADODataSet::CanModify() const { return TDataSet::CanModify() && FLockType != ltReadOnly; }

void TCustomADODataSet::FetchRows(bool describeOnly)
{
    TEngine& engine = FConnection->Engine();
    std::vector<TBind> binds;
    std::string sql = PrepareStatement(engine, SelectText(), FParameters.get(), binds, this);
    TResult r;
    engine.Query(sql, binds, FCommandTimeout, r, describeOnly);
    if (!describeOnly && InOpen()) {
        FieldDefs()->Clear();
        for (const TColumn& c : r.Columns) {
            TFieldDef* d = FieldDefs()->AddFieldDef();
            d->SetName(c.Name);
            d->SetDataType(c.Type);
            d->SetSize(c.Size);
            d->SetRequired(false);
        }
    } else if (describeOnly) {
        FieldDefs()->Clear();
        for (const TColumn& c : r.Columns) {
            TFieldDef* d = FieldDefs()->AddFieldDef();
            d->SetName(c.Name);
            d->SetDataType(c.Type);
            d->SetSize(c.Size);
        }
        return;
    }
    ReserveRows(r.Rows.size());
    for (auto& row : r.Rows) AddRow(std::move(row));
}

void TCustomADODataSet::InternalOpen()
{
    if (!FConnection) {
        // An unconnected set keeps its rows in memory only.
        TDataSet::InternalOpen();
        return;
    }
    FetchRows(false);
}

void TCustomADODataSet::InternalInitFieldDefs()
{
    if (FConnection && !Trim(SelectText()).empty()) FetchRows(true);
}

void TCustomADODataSet::InternalRefresh()
{
    if (!FConnection) return;
    TEngine& engine = FConnection->Engine();
    std::vector<TBind> binds;
    std::string sql = PrepareStatement(engine, SelectText(), FParameters.get(), binds, this);
    TResult r;
    engine.Query(sql, binds, FCommandTimeout, r, false);
    ClearRows();
    ReserveRows(r.Rows.size());
    for (auto& row : r.Rows) AddRow(std::move(row));
}

void TCustomADODataSet::Requery()
{
    // The statement runs again and the set starts over at its first row.
    Refresh();
    First();
}

// ---- TADODataSet, TADOQuery, TADOTable --------------------------------------------------------

TADODataSet::TADODataSet(TComponent* owner) : TCustomADODataSet(owner) {}

TADOQuery::TADOQuery(TComponent* owner) : TCustomADODataSet(owner), FSQL(new TStringList)
{
    FSQL->OnChange = [this](TObject*) {
        if (Active()) Close();
        ParseParams(StatementText(FSQL.get()));
    };
}

TADOQuery::~TADOQuery() { FSQL->OnChange = nullptr; }

TStrings* TADOQuery::SQL() const { return FSQL.get(); }

void TADOQuery::SetSQL(TStrings* v) { FSQL->Assign(v); }

std::string TADOQuery::SelectText() const { return StatementText(FSQL.get()); }

int TADOQuery::ExecSQL()
{
    if (!Connection()) throw EADOError("Missing Connection or ConnectionString");
    TEngine& engine = Connection()->Engine();
    std::vector<TBind> binds;
    std::string sql = PrepareStatement(engine, SelectText(), FParameters.get(), binds, this);
    FRowsAffected = engine.Execute(sql, binds, CommandTimeout());
    return FRowsAffected;
}

TADOTable::TADOTable(TComponent* owner) : TCustomADODataSet(owner) { SetCommandType(cmdTable); }

void TADOTable::SetTableName(const std::string& v)
{
    if (Active()) Close();
    FTableName = v;
}

void TADOTable::SetReadOnly(bool v)
{
    CheckInactive();
    FReadOnly = v;
}

bool TADOTable::CanModify() const { return TCustomADODataSet::CanModify() && !FReadOnly; }

std::string TADOTable::SelectText() const
{
    std::string name = Trim(FTableName.empty() ? CommandText() : FTableName);
    if (name.empty()) return std::string();
    if (name.front() != '[') name = "[" + name + "]";
    return "select * from " + name;
}
