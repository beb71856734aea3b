#include "Backup.h"

#include "BackupFiles.h"
#include "DateUtils.h"
#include "DirPicker.h"
#include "Objs.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "qzLib.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

QZ_CLASS_IMPL(TFrmBackup, TADlgFrm)

namespace {

const char* const BackupFilter = "备份文件(*.bak)|*.bak|所有文件(*.*)|*.*";
const char* const BackupCopyFailed = "备份时,复制文件失败,请检查备份路径是否正确,或者目标文件已存在.";
const char* const RestoreCopyFailed = "恢复时,复制文件失败,请检查数据文件是否正在使用.";
const char* const RestoreNotABackup = "恢复时,所选文件不是本系统的有效备份文件.";

}  // namespace

namespace Backup {

std::string QuoteName(const std::string& name)
{
    return "[" + StringReplace(name, "]", "]]", {rfReplaceAll}) + "]";
}

std::string QuoteText(const std::string& text)
{
    return "'" + qzLib::SqlText(text) + "'";
}

std::string BackupSql(const std::string& database, const std::string& file)
{
    return "backup database " + QuoteName(database) + " to disk=" + QuoteText(file) + " WITH FORMAT";
}

std::string RestoreSql(const std::string& database, const std::string& file)
{
    return "restore database " + QuoteName(database) + " from disk=" + QuoteText(file);
}

}  // namespace Backup

TFrmBackup::TFrmBackup(TComponent* owner) : TADlgFrm(owner)
{
    SetName("FrmBackup");
    SetCaption("备份设置与恢复");
    SetClientSize(400, 290);
    RadioGroup1 = UiKit::Make<TRadioGroup>(this, this, 12, 10, 376, 100);
    RadioGroup1->SetCaption("备份计划");
    for (const char* s : {"不备份", "每次系统退出时备份", "每周星期一备份", "每月一号备份"})
        RadioGroup1->Items()->Add(s);
    RadioGroup1->SetColumns(2);
    GroupBox1 = UiKit::Make<TGroupBox>(this, this, 12, 118, 376, 80);
    GroupBox1->SetCaption("备份目录");
    edtBackDir1 = UiKit::Make<TqzEdit>(this, GroupBox1, 12, 22, 316, 21);
    Button2 = UiKit::MakeButton(this, GroupBox1, "...", 332, 21, 30, 23);
    Button2->OnClick = [this](TObject*) { PickDirClick(); };
    Label1 = UiKit::MakeLabel(this, GroupBox1, "注意：这里指的是数据库所在机器的目录.", 12, 52);
    Button1 = UiKit::MakeButton(this, this, "恢复", 12, 210);
    Button1->OnClick = [this](TObject*) { RestoreClick(); };
    Button3 = UiKit::MakeButton(this, this, "备份", 92, 210);
    Button3->OnClick = [this](TObject*) { BackupClick(); };
    PlaceButtons();
}

std::string TFrmBackup::BackDir() const
{
    std::string d = edtBackDir1->GetText();
    if (d.empty() || (d.back() != PathDelim && d.back() != '\\')) d += PathDelim;
    return d;
}

void TFrmBackup::ShowBackup()
{
    std::unique_ptr<TFrmBackup> f(new TFrmBackup(nullptr));
    {
        TRecordSet rs;
        rs.Open("select * from [backup]");
        TDataSet* ds = rs.DataSet();
        if (!ds->IsEmpty()) {
            f->SetPlan(ds->FieldByName("TypeId")->AsInteger());
            f->SetBackDir(ds->FieldByName("BackDir")->AsString());
        } else {
            f->SetPlan(0);
        }
    }
    while (f->ShowModal() == mrOk) {
        try {
            SavePlan(f->Plan(), f->BackDir());
            break;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
        }
    }
}

void TFrmBackup::SavePlan(int typeId, const std::string& backDir)
{
    const TDBParameters params{Database::MakeParam("TypeId", typeId), Database::MakeParam("BackDir", backDir)};
    // The table is meant to hold one row; one that lost it would swallow
    // every plan saved, so the row is made again.
    if (GDatabase->ExecSQL("update [backup] set TypeId=:TypeId, BackDir=:BackDir", params) == 0)
        GDatabase->ExecSQL("insert into [backup] (TypeId, BackDir) values (:TypeId, :BackDir)", params);
}

void TFrmBackup::BackupTo(const std::string& file)
{
    if (GDatabase->IsSqlServer()) {
        GDatabase->Execute(Backup::BackupSql(GDatabase->Connection()->DefaultDatabase(), file));
        return;
    }
    try {
        BackupFiles::SqliteCopy(GDatabase->GetDataSource(), file);
    } catch (const Exception&) {
        throw Exception(BackupCopyFailed);
    }
}

void TFrmBackup::RestoreFrom(const std::string& file)
{
    if (GDatabase->IsSqlServer()) {
        TADOConnection* c = GDatabase->Connection();
        const std::string db = c->DefaultDatabase();
        c->SetDefaultDatabase("master");
        try {
            GDatabase->Execute(Backup::RestoreSql(db, file));
        } catch (...) {
            c->SetDefaultDatabase(db);
            throw;
        }
        c->SetDefaultDatabase(db);
        return;
    }
    // The file is looked at before anything is closed or replaced: one that
    // is no intact backup of this system is refused and changes nothing.
    try {
        BackupFiles::CheckSchoolDatabase(file);
    } catch (const Exception&) {
        throw Exception(RestoreNotABackup);
    }
    GDatabase->SetConnected(false);
    try {
        BackupFiles::CopyInto(file, GDatabase->GetDataSource());
    } catch (const Exception&) {
        GDatabase->SetConnected(true);
        throw Exception(RestoreCopyFailed);
    }
    GDatabase->SetConnected(true);
}

bool TFrmBackup::AutoBackupDue(int typeId, TDateTime today)
{
    uint16_t y, m, d;
    DecodeDate(today, y, m, d);
    switch (typeId) {
    case 1: return true;
    case 2: return DayOfWeek(today) == 2;   // Monday
    case 3: return d == 1;
    default: return false;
    }
}

std::string TFrmBackup::AutoBackupFile(const std::string& backDir, TDateTime today)
{
    return Format("%sbak%s.bak", {backDir, FormatDateTime("yyyymmdd", today)});
}

void TFrmBackup::AutoBackup()
{
    try {
        TRecordSet rs;
        rs.Open("select * from [backup]");
        TDataSet* ds = rs.DataSet();
        if (ds->IsEmpty()) return;
        const int typeId = ds->FieldByName("TypeId")->AsInteger();
        const std::string dir = ds->FieldByName("BackDir")->AsString();
        const TDateTime today = Date();
        if (AutoBackupDue(typeId, today)) BackupTo(AutoBackupFile(dir, today));
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        qzLib::ShowInfo(e.what());
    }
}

void TFrmBackup::BackupClick()
{
    TFileDialogRequest req;
    req.InitialDir = BackDir();
    req.Filter = BackupFilter;
    req.DefaultExt = "bak";
    TFileDialogResult res;
    if (!HostServices().SaveFileDialog(req, res) || res.Files.empty()) return;
    try {
        BackupTo(res.Files[0]);
        qzLib::ShowInfo("\r\n备份操作执行成功!");
    } catch (const Exception& e) {
        qzLib::ShowInfo(std::string("\r\n") + e.what());
    }
}

void TFrmBackup::RestoreClick()
{
    TFileDialogRequest req;
    req.InitialDir = BackDir();
    req.Filter = BackupFilter;
    req.DefaultExt = "bak";
    TFileDialogResult res;
    if (!HostServices().OpenFileDialog(req, res) || res.Files.empty()) return;
    if (MessageBox("\r\n您确定要进行数据恢复操作吗?\t", "警告", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
    try {
        RestoreFrom(res.Files[0]);
        qzLib::ShowInfo("\r\n恢复操作执行成功!");
    } catch (const Exception& e) {
        qzLib::ShowInfo(std::string("\r\n") + e.what());
    }
}

void TFrmBackup::PickDirClick()
{
    std::string dir;
    DirPicker::PickDirectory(edtBackDir1->GetText(), dir);
    edtBackDir1->SetText(dir);
}
