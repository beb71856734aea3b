// The project unit: product globals, the program folder, the configuration
// file cfg.ini with its three connection kinds (TConfiger), and the
// process-wide company, settings, pick lists and operator objects with the
// start-up settings the whole program relies on.
#pragma once

#include "IniFiles.h"
#include "System.h"
#include <memory>
#include <string>

class TCompany;
class TKeyValue2;
class TPickListSet;
class TOperator;

namespace qzProj {

// Product globals, set once by the program's main block.
extern std::string ProductTitle;
extern std::string ProductEdition;
extern std::string ProductCode;
extern std::string ProductBuild;
extern std::string ProjectName;

// The folder of the program file, without a trailing delimiter.
std::string ProgramFolder();
// Points ProgramFolder elsewhere (tests); an empty text restores the real one.
void SetProgramFolder(const std::string& folder);

// Applies the start-up settings (date formats, lenient Null conversion) and
// makes GCompany, GKeyValue2, GPickListSet and GOperator, in this order.
// Runs after Database::Initialize.
void Initialize();
// Frees those objects in the same order and clears the product globals.
void Finalize();

}  // namespace qzProj

extern TCompany* GCompany;
extern TKeyValue2* GKeyValue2;
extern TPickListSet* GPickListSet;
extern TOperator* GOperator;

// Reads and writes cfg.ini and turns it into the connection string of the
// chosen connection kind. The object always holds plain values; the secret
// keys are scrambled in the file.
class TConfiger : public TObject {
    QZ_CLASS(TConfiger, TObject)
public:
    // Connection kinds (providerIdx).
    static constexpr int kindSqlServer = 0;
    static constexpr int kindJet = 1;
    static constexpr int kindDip = 2;

    // Opens cfg.ini in the program folder and reads every key but the stored
    // connection string and the last login id.
    TConfiger();
    ~TConfiger() override;

    std::string mssqlServer;
    int mssqlPort = 1433;
    std::string mssqlDb;
    std::string mssqlUser;
    std::string mssqlPw;
    // Set by the connection dialog only; never stored.
    bool SmartConnect = false;
    std::string jetfile;
    std::string jetUser;
    std::string jetPw;
    std::string dipUrl;
    std::string dipUser;
    int providerIdx = 0;
    bool defaultCon = true;
    bool developer = false;

    // Writes every setting back, then the connection string of the chosen
    // kind (scrambled) as ConnStr.
    void Save();
    // The connection string to use now.
    std::string GetConnStr();
    // Asks the connection-information service; empty when the answer is
    // unusable or the request fails (the latter is reported).
    std::string GetDipConnStr();
    // The connection string of the service's reply: five lines (server,
    // port, user, password, database), the server's alias written on the
    // way; empty for any other reply.
    static std::string DipReplyConnStr(const std::string& reply);
    // Writes (or with deleteAlias removes) the SQL Server client alias of a server.
    static void SetServerAlias(const std::string& server, const std::string& port, bool deleteAlias);

    static std::string GetLastLoginId();
    static void SetLastLoginId(const std::string& loginId);

    // The connection strings of the two stored kinds, from the current values.
    std::string SqlServerConnStr() const;
    std::string JetConnStr() const;
    // The built-in database beside the program.
    static std::string DefaultConnStr();
    static std::string IniFileName();

    TCustomIniFile* Ini() const { return FIni.get(); }

private:
    void OpenIni();
    std::string ReadScrambled(const std::string& ident) const;
    void WriteScrambled(const std::string& ident, const std::string& value);

    std::unique_ptr<TCustomIniFile> FIni;
};
