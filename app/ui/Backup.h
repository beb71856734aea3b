// Backing up and restoring the school's database: the backup window (plan
// and directory kept in table [backup], back up now, restore) and the
// automatic backup the exit road runs.
#pragma once

#include "a.h"
#include "qzCtrls.h"

#include <string>

class TFrmBackup : public TADlgFrm {
    QZ_CLASS(TFrmBackup, TADlgFrm)
public:
    explicit TFrmBackup(TComponent* owner = nullptr);

    TRadioGroup* RadioGroup1 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TqzEdit* edtBackDir1 = nullptr;
    TButton* Button2 = nullptr;   // "..."
    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;   // restore
    TButton* Button3 = nullptr;   // back up now

    // The plan: 0 never, 1 at every exit, 2 on Mondays, 3 on the first of the month.
    int Plan() const { return RadioGroup1->ItemIndex(); }
    void SetPlan(int v) { RadioGroup1->SetItemIndex(v); }
    // The directory, always read back with a final delimiter.
    std::string BackDir() const;
    void SetBackDir(const std::string& v) { edtBackDir1->SetText(v); }

    // The window, run after the backup right was checked.
    static void ShowBackup();
    // Stores the plan; a table without its row gets one.
    static void SavePlan(int typeId, const std::string& backDir);
    // A copy of the database into the file (on SQL Server the server writes it).
    static void BackupTo(const std::string& file);
    // The database replaced by the backup in the file.
    static void RestoreFrom(const std::string& file);
    // The exit backup, when the stored plan says today is a backup day.
    static void AutoBackup();
    static bool AutoBackupDue(int typeId, TDateTime today);
    static std::string AutoBackupFile(const std::string& backDir, TDateTime today);

private:
    void BackupClick();
    void RestoreClick();
    void PickDirClick();
};

namespace Backup {

// Text quoted for the server's statements: a name in brackets, a path in quotes.
std::string QuoteName(const std::string& name);
std::string QuoteText(const std::string& text);
// The server's statements backing the database up into the file (replacing
// what the file held) and restoring it from there, names and paths quoted.
std::string BackupSql(const std::string& database, const std::string& file);
std::string RestoreSql(const std::string& database, const std::string& file);


}  // namespace Backup
