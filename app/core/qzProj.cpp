#include "qzProj.h"

#include "HostServices.h"
#include "Http.h"
#include "Registry.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "Objs.h"
#include "Variants.h"
#include "qzLib.h"

TCompany* GCompany = nullptr;
TKeyValue2* GKeyValue2 = nullptr;
TPickListSet* GPickListSet = nullptr;
TOperator* GOperator = nullptr;

namespace qzProj {

std::string ProductTitle;
std::string ProductEdition;
std::string ProductCode;
std::string ProductBuild;
std::string ProjectName;

namespace {
std::string GProgramFolderOverride;
}

std::string ProgramFolder()
{
    if (!GProgramFolderOverride.empty()) return GProgramFolderOverride;
    return ExcludeTrailingPathDelimiter(ApplicationDir());
}

void SetProgramFolder(const std::string& folder)
{
    GProgramFolderOverride = ExcludeTrailingPathDelimiter(folder);
}

void Initialize()
{
    ApplyProgramDateFormats(FormatSettings);
    // Null database values read as 0, an empty text or false everywhere.
    NullStrictConvert = false;
    if (!GCompany) GCompany = new TCompany();
    if (!GKeyValue2) GKeyValue2 = new TKeyValue2();
    if (!GPickListSet) GPickListSet = new TPickListSet();
    if (!GOperator) GOperator = new TOperator();
}

void Finalize()
{
    FreeAndNil(GCompany);
    FreeAndNil(GKeyValue2);
    FreeAndNil(GPickListSet);
    FreeAndNil(GOperator);
    ProductTitle.clear();
    ProductEdition.clear();
    ProductCode.clear();
    ProductBuild.clear();
    ProjectName.clear();
}

}  // namespace qzProj

// ---- TConfiger -----------------------------------------------------------------

QZ_CLASS_IMPL(TConfiger, TObject)

namespace {

constexpr const char* SecDb = "db";
// The SQL Server client's alias key; the database layer reads the port of a
// server from the same place.
constexpr const char* AliasKey = "\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
// The workstation name the SQL Server connection string announces.
constexpr const char* WorkstationId = "PEMTAL";

// A value as a connection string must hold it: the reader ends a bare value at
// ';', drops blanks around it and unquotes one that starts with a quote, so
// such a value is quoted (inner quotes doubled); any other stays as it is.
std::string ConnValue(const std::string& v)
{
    if (v.find(';') == std::string::npos && Trim(v) == v && (v.empty() || (v[0] != '"' && v[0] != '\'')))
        return v;
    return "\"" + StringReplace(v, "\"", "\"\"", TReplaceFlags{rfReplaceAll}) + "\"";
}

}  // namespace

TConfiger::TConfiger()
{
    OpenIni();
    TCustomIniFile& ini = *FIni;
    mssqlServer = ini.ReadString(SecDb, "mssqlServer", "");
    mssqlPort = ini.ReadInteger(SecDb, "mssqlPort", 1433);
    mssqlDb = ini.ReadString(SecDb, "mssqlDb", "");
    mssqlUser = ini.ReadString(SecDb, "mssqlUser", "");
    mssqlPw = ReadScrambled("mssqlPw");
    jetfile = ReadScrambled("jetfile");
    jetUser = ini.ReadString(SecDb, "jetUser", "");
    jetPw = ReadScrambled("jetPw");
    dipUrl = ini.ReadString(SecDb, "dipUrl", "");
    dipUser = ini.ReadString(SecDb, "dipUser", "");
    providerIdx = ini.ReadInteger(SecDb, "providerIdx", 0);
    defaultCon = ini.ReadBool(SecDb, "defaultCon", true);
    developer = ini.ReadBool("publish", "developer", false);
}

TConfiger::~TConfiger() = default;

std::string TConfiger::IniFileName()
{
    return qzProj::ProgramFolder() + PathDelim + "cfg.ini";
}

void TConfiger::OpenIni()
{
    FIni = std::make_unique<TIniFile>(IniFileName());
}

std::string TConfiger::ReadScrambled(const std::string& ident) const
{
    return GbkToUtf8(qzLib::Scramble(FIni->ReadStringRaw(SecDb, ident, "")));
}

void TConfiger::WriteScrambled(const std::string& ident, const std::string& value)
{
    FIni->WriteStringRaw(SecDb, ident, qzLib::Scramble(Utf8ToGbk(value)));
}

std::string TConfiger::SqlServerConnStr() const
{
    return Format("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=%s;Password=%s;"
                  "Initial Catalog=%s;Data Source=%s;Use Procedure for Prepare=1;"
                  "Auto Translate=True;Packet Size=4096;Workstation ID=",
                  {ConnValue(mssqlUser), ConnValue(mssqlPw), ConnValue(mssqlDb), ConnValue(mssqlServer)}) +
           WorkstationId +
           ";Use Encryption for Data=False;Tag with column collation when possible=False";
}

std::string TConfiger::JetConnStr() const
{
    return Format("Provider=Microsoft.Jet.OLEDB.4.0;Mode = ReadWrite;Jet OLEDB:Database Password=%s;"
                  "Data Source=%s;Persist Security Info=True",
                  {ConnValue(jetPw), ConnValue(jetfile)});
}

std::string TConfiger::DefaultConnStr()
{
    std::string file;
    if (qzProj::ProjectName.empty())
        file = ChangeFileExt(ApplicationExeName(), ".mdb");
    else
        file = qzProj::ProgramFolder() + PathDelim + qzProj::ProjectName + ".mdb";
    return Format("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;"
                  "Jet OLEDB:Database Password=tidewarp;Persist Security Info=True",
                  {ConnValue(file)});
}

void TConfiger::Save()
{
    TCustomIniFile& ini = *FIni;
    ini.WriteString(SecDb, "mssqlServer", mssqlServer);
    ini.WriteInteger(SecDb, "mssqlPort", mssqlPort);
    ini.WriteString(SecDb, "mssqlDb", mssqlDb);
    ini.WriteString(SecDb, "mssqlUser", mssqlUser);
    WriteScrambled("mssqlPw", mssqlPw);
    WriteScrambled("jetfile", jetfile);
    ini.WriteString(SecDb, "jetUser", jetUser);
    WriteScrambled("jetPw", jetPw);
    ini.WriteString(SecDb, "dipUrl", dipUrl);
    ini.WriteString(SecDb, "dipUser", dipUser);
    ini.WriteInteger(SecDb, "providerIdx", providerIdx);
    ini.WriteBool(SecDb, "defaultCon", defaultCon);

    std::string connStr;
    if (providerIdx == kindSqlServer) {
        connStr = SqlServerConnStr();
        SetServerAlias(mssqlServer, IntToStr(mssqlPort), SmartConnect);
    } else if (providerIdx == kindJet) {
        connStr = JetConnStr();
    }
    WriteScrambled("ConnStr", connStr);
}

std::string TConfiger::GetConnStr()
{
    if (providerIdx == kindJet && defaultCon) return DefaultConnStr();
    if (providerIdx == kindDip) return GetDipConnStr();
    return ReadScrambled("ConnStr");
}

std::string TConfiger::GetDipConnStr()
{
    std::string reply;
    try {
        reply = Http::Get(Format("%s?user=%s", {dipUrl, dipUser}));
    } catch (const std::exception&) {
        qzLib::ShowInfo("无法获得DIP连接信息,请检查网络是否畅通.");
        return "";
    }
    return DipReplyConnStr(reply);
}

std::string TConfiger::DipReplyConnStr(const std::string& reply)
{
    TStringList lines;
    lines.SetText(reply);
    if (lines.Count() != 5) return "";
    SetServerAlias(lines[0], lines[1], false);
    return Format("Provider=SQLOLEDB.1;Data Source=%s;User ID=%s;Password=%s;Initial Catalog=%s;"
                  "Persist Security Info=True",
                  {ConnValue(lines[0]), ConnValue(lines[2]), ConnValue(lines[3]), ConnValue(lines[4])});
}

void TConfiger::SetServerAlias(const std::string& server, const std::string& port, bool deleteAlias)
{
    // Without a server name there is nothing to name an alias after.
    if (server.empty()) return;
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!reg.OpenKey(AliasKey, true)) return;
        if (deleteAlias) {
            reg.DeleteValue(server);
        } else {
            const std::string target = port.empty() ? server : Format("%s,%s", {server, port});
            reg.WriteString(server, Format("DBMSSOCN,%s", {target}));
        }
    } catch (const std::exception&) {
        // The alias is a convenience of the SQL Server client; without the
        // right to write it the connection is still attempted.
    }
}

std::string TConfiger::GetLastLoginId()
{
    TIniFile ini(IniFileName());
    return ini.ReadString("Login", "LastLoginId", "");
}

void TConfiger::SetLastLoginId(const std::string& loginId)
{
    TIniFile ini(IniFileName());
    ini.WriteString("Login", "LastLoginId", loginId);
}
