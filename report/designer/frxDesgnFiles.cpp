// The designer window's files (open, save, recent files, caption) and its
// settings in the report library's settings store.
#include "frxDesgnForm.h"

#include "ActnList.h"
#include "ComCtrls.h"
#include "DateUtils.h"
#include "Docking.h"
#include "Dialogs.h"
#include "IniFiles.h"
#include "Menus.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxDataTree.h"
#include "frxDock.h"
#include "frxInsp.h"
#include "frxRes.h"
#include "frxSyntaxMemo.h"

#include <algorithm>

namespace {

std::string Res(const char* key) { return frxRes::Resources().Get(key); }

constexpr int kMaxRecent = 8;
// The tag that marks a recent file's menu item.
constexpr intptr_t kRecentTag = 0x7EC3;

const char* const kForm = "Form.TfrxDesignerForm";

// Puts the engine's silent mode back on every way out.
class TSilentModeOff {
public:
    explicit TSilentModeOff(TfrxReport* r) : FReport(r), FWas(r->EngineOptions()->SilentMode)
    {
        r->EngineOptions()->SilentMode = false;
    }
    ~TSilentModeOff() { FReport->EngineOptions()->SilentMode = FWas; }

private:
    TfrxReport* FReport;
    bool FWas;
};

}  // namespace

namespace frxDesgnForm {
const char* const DefaultLayout =
    "[Form.TfrxObjectInspector];Width=159;SplitPos=75;Split1Pos=65;Dock=LeftDockSite2;"
    "[Form.TfrxDesignerForm];EditAfterInsert=1;Maximized=1;"
    "[Form.TfrxDataTreeForm];Width=143;Dock=RightDockSite;"
    "[Form.TfrxReportTreeForm];Width=159;Dock=LeftDockSite2;"
    "[ToolBar.AlignTB];Visible=0;"
    "[ToolBar.ExtraToolsTB];Visible=0;"
    "[Dock.LeftDockSite2];Data=515A444B01000200000011006672785265706F727454726565466F726DC8000000011200"
    "6672784F626A656374496E73706563746F729001000001;"
    "[Dock.RightDockSite];Data=515A444B0100010000000F006672784461746154726565466F726D0000000001";
}

// ---- open and save ----------------------------------------------------------------------------

void TfrxDesignerForm::OpenReport(const std::string& fileName, bool useHook)
{
    TSilentModeOff silent(Report());
    TfrxDesigner* d = frxDesgn::CurrentDesigner();

    // Unsaved changes are offered for saving first; Cancel, or a save that
    // did not happen, leaves everything as it is.
    auto saveFirst = [&]() {
        if (!Modified()) return true;
        const int answer = AskSave();
        if (answer == IDCANCEL) return false;
        if (answer == IDYES) {
            SaveReport(false, useHook);
            return !Modified();
        }
        return true;
    };

    // Loads into the report; a layout that cannot be loaded is said, with
    // why, and the layout that was open stays.
    auto load = [&](const std::string& name) {
        TMemoryStream kept;
        CopyFromCode();
        Report()->SaveToStream(&kept, true, false);
        const std::string keptName = Report()->FileName;
        const intptr_t keptTag = Report()->Tag();
        std::string why;
        bool ok = false;
        Lock();
        try {
            ok = Report()->LoadFromFile(name, false);
            if (!ok) why = name;
        } catch (const std::exception& e) {
            why = e.what();
        }
        if (!ok) {
            kept.SetPosition(0);
            Report()->LoadSnapshot(&kept);
            Report()->FileName = keptName;
            Report()->SetTag(keptTag);
            ::MessageBox(Res("dsCantLoad") + (why.empty() ? std::string() : "\r\n" + why), Res("mbError"),
                         MB_OK | MB_ICONERROR);
            const bool wasModified = Modified();
            ReloadPages(0);
            FCodeWindow->SetLines(Report()->ScriptText());
            TfrxCustomDesigner::SetModified(wasModified);
            SaveCmd->SetEnabled(wasModified && IsAllowed(drDontSaveReport));
            return;
        }
        ReloadReport();
    };

    if (!fileName.empty()) {
        if (!saveFirst()) return;
        load(fileName);
        return;
    }
    if (useHook && d && d->OnLoadReport) {
        if (!saveFirst()) return;
        Lock();
        bool loaded = false;
        try {
            loaded = d->OnLoadReport(Report());
        } catch (...) {
            ReloadPages(0);
            throw;
        }
        if (loaded) ReloadReport();
        else ReloadPages(0);
        return;
    }
    OpenDialog->Filter = Res("dsRepFilter");
    OpenDialog->InitialDir = d ? d->OpenDir : std::string();
    OpenDialog->FileName.clear();
    if (!OpenDialog->Execute()) return;
    if (!saveFirst()) return;
    load(OpenDialog->FileName);
}

bool TfrxDesignerForm::SaveReport(bool saveAs, bool useHook)
{
    CopyFromCode();
    Report()->ReportOptions()->LastChange = Now();
    TfrxDesigner* d = frxDesgn::CurrentDesigner();
    if (useHook && d && d->OnSaveReport) {
        if (!d->OnSaveReport(Report(), saveAs)) return false;
        UpdateRecentFiles(Report()->FileName);
        UpdateCaption();
        SetModified(false);
        return true;
    }
    std::string name = Report()->FileName;
    if (saveAs || name.empty()) {
        SaveDialog->Filter = Res("dsRepFilter");
        SaveDialog->FilterIndex = Report()->ReportOptions()->Compressed ? 2 : 1;
        SaveDialog->DefaultExt = "fr3";
        SaveDialog->InitialDir = d ? d->SaveDir : std::string();
        SaveDialog->FileName = name;
        if (!SaveDialog->Execute()) return false;
        Report()->ReportOptions()->Compressed = SaveDialog->FilterIndex == 2;
        name = ChangeFileExt(SaveDialog->FileName, ".fr3");
        // The question is asked of the name the layout is written to, after
        // its extension was put right.
        if (FileExists(name) &&
            ::MessageBox(name + " 已存在.\r\n要替换它吗?", Res("mbConfirm"), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }
    Report()->SaveToFile(name);
    Report()->FileName = name;
    UpdateRecentFiles(name);
    UpdateCaption();
    SetModified(false);
    return true;
}

// ---- recent files and caption ---------------------------------------------------------------------

void TfrxDesignerForm::UpdateRecentFiles(const std::string& fileName)
{
    if (!fileName.empty()) {
        for (int i = RecentFiles->Count() - 1; i >= 0; --i)
            if (SameText(RecentFiles->Strings(i), fileName)) RecentFiles->Delete(i);
        RecentFiles->Add(fileName);
        while (RecentFiles->Count() > kMaxRecent) RecentFiles->Delete(0);
    }
    SepMI11->SetVisible(RecentFiles->Count() > 0);
    // Every recent-file item goes, also the one whose name just left the
    // list, so that the menu shows exactly the list.
    for (int i = FileMenu->Count() - 1; i >= 0; --i)
        if (FileMenu->Items(i)->Tag() == kRecentTag) FileMenu->Delete(i);
    for (int i = RecentFiles->Count() - 1; i >= 0; --i) {
        auto* mi = new TMenuItem(this);
        mi->SetCaption(RecentFiles->Strings(i));
        mi->SetTag(kRecentTag);
        mi->SetEnabled(IsAllowed(drDontLoadReport));
        mi->OnClick = [this](TObject* s) { RecentFileClick(s); };
        FileMenu->Insert(FileMenu->IndexOf(SepMI4), mi);
    }
}

std::vector<TMenuItem*> TfrxDesignerForm::RecentFileItems() const
{
    std::vector<TMenuItem*> out;
    for (int i = 0; i < FileMenu->Count(); ++i)
        if (FileMenu->Items(i)->Tag() == kRecentTag) out.push_back(FileMenu->Items(i));
    return out;
}

void TfrxDesignerForm::RecentFileClick(TObject* sender)
{
    auto* mi = DynamicCast<TMenuItem>(sender);
    if (!mi || !IsAllowed(drDontLoadReport)) return;
    // The item goes away when the list is rebuilt: its name is taken first.
    const std::string name = StripHotkey(mi->Caption());
    OpenReport(name, true);
}

std::string TfrxDesignerForm::ReportFileTitle() const
{
    return Report()->FileName.empty() ? std::string("Untitled.fr3") : ExtractFileName(Report()->FileName);
}

void TfrxDesignerForm::UpdateCaption() { SetCaption("报表设计器 - " + ReportFileTitle()); }

// ---- settings -----------------------------------------------------------------------------------

std::unique_ptr<TCustomIniFile> TfrxDesignerForm::UseDefaultLayout() const
{
    auto store = std::make_unique<TMemIniFile>(std::string());
    TStringList lines;
    for (const std::string& l : frxUtils::SplitBySeparator(frxDesgnForm::DefaultLayout, ';')) lines.Add(l);
    store->SetStrings(lines);
    return store;
}

void TfrxDesignerForm::RestoreSettings(bool useDefault)
{
    std::unique_ptr<TCustomIniFile> store;
    try {
        store = Report()->OpenSettingsStore();
    } catch (...) {
        store.reset();
    }
    // An ini file is read once, whole; what the restoring writes stays in memory.
    if (DynamicCast<TIniFile>(store.get())) store = std::make_unique<TMemIniFile>(Report()->IniFile);
    if (!store || useDefault || store->ReadFloat(kForm, "Scale", 0) == 0) store = UseDefaultLayout();
    try {
        LoadSettings(store.get(), useDefault);
    } catch (...) {
        store = UseDefaultLayout();
        LoadSettings(store.get(), useDefault);
    }
}

void TfrxDesignerForm::LoadSettings(TCustomIniFile* store, bool useDefault)
{
    auto nonZero = [](double v, double def) { return v == 0 ? def : v; };
    Inspector->SetSplitPos(store->ReadInteger("Form.TfrxObjectInspector", "SplitPos", Inspector->Width() / 2));
    Inspector->SetSplit1Pos(store->ReadInteger("Form.TfrxObjectInspector", "Split1Pos", 65));
    SetScale(store->ReadFloat(kForm, "Scale", 0.75));
    SetShowGrid(store->ReadBool(kForm, "ShowGrid", true));
    SetGridAlign(store->ReadBool(kForm, "GridAlign", true));
    SetShowRulers(store->ReadBool(kForm, "ShowRulers", true));
    SetShowGuides(store->ReadBool(kForm, "ShowGuides", true));
    Grid1 = nonZero(store->ReadFloat(kForm, "Grid1", 0.1), 0.1);
    Grid2 = nonZero(store->ReadFloat(kForm, "Grid2", 0.1), 0.1);
    Grid3 = nonZero(store->ReadFloat(kForm, "Grid3", 4), 4);
    Grid4 = nonZero(store->ReadFloat(kForm, "Grid4", 4), 4);
    SavedUnits = std::clamp(store->ReadInteger(kForm, "Units", 0), 0, 2);
    SetUnits(SavedUnits);
    FCodeWindow->Font()->SetName(store->ReadString(kForm, "ScriptFontName", "Courier New"));
    FCodeWindow->Font()->SetSize(store->ReadInteger(kForm, "ScriptFontSize", 10));
    MemoFontName = store->ReadString(kForm, "MemoFontName", "Arial");
    MemoFontSize = store->ReadInteger(kForm, "MemoFontSize", 10);
    UseObjectFont = store->ReadBool(kForm, "UseObjectFont", true);
    SetWorkspaceColor(TColor(store->ReadInteger(kForm, "WorkspaceColor", int(clWindow))));
    SetToolsColor(TColor(store->ReadInteger(kForm, "ToolsColor", int(clWindow))));
    Workspace->GridLCD = store->ReadBool(kForm, "GridLCD", false);
    EditAfterInsert = store->ReadBool(kForm, "EditAfterInsert", false);
    LocalizedOI = false;
    RecentFiles->SetCommaText(store->ReadString(kForm, "RecentFiles", ""));
    while (RecentFiles->Count() > 8) RecentFiles->Delete(0);
    UpdateRecentFiles(std::string());
    Workspace->FreeBands = store->ReadBool(kForm, "FreeBands", false);
    Workspace->BandsGap = store->ReadInteger(kForm, "BandsGap", 4);
    Workspace->SetShowBandCaptions(store->ReadBool(kForm, "ShowBandCaptions", true));
    if (!useDefault) {
        // Restoring the window's place must not show it yet.
        store->WriteBool(kForm, "Visible", false);
        frxDock::RestoreFormPosition(store, this);
        frxDock::RestoreFormPosition(store, Inspector);
        if (!PreviewPageMode()) {
            frxDock::RestoreFormPosition(store, DataTreeForm);
            frxDock::RestoreFormPosition(store, ReportTreeForm);
        }
        for (TfrxToolBar* tb : {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB})
            frxDock::RestoreToolbarPosition(store, tb);
    }
    if (!PreviewPageMode()) {
        // The sites' streams name the tool windows, which are this window's own.
        SetDockControlFinder([this](const std::string& name) { return DynamicCast<TControl>(FindComponent(name)); });
        struct TFinderBack {
            ~TFinderBack() { SetDockControlFinder(nullptr); }
        } finderBack;
        for (TfrxDockSite* site : {LeftDockSite1, LeftDockSite2, RightDockSite}) frxDock::RestoreDockSite(store, site);
    }
    // A site that took tool windows by name is as wide as they were floating.
    for (TfrxDockSite* site : {LeftDockSite1, LeftDockSite2, RightDockSite}) {
        int w = 0;
        for (int i = 0; i < site->DockClientCount(); ++i) w = std::max(w, site->DockClients(i)->UndockWidth());
        if (site->DockClientCount() > 0 && site->Width() < w) {
            site->SetAutoSize(false);
            site->SetWidth(w);
            site->SetAutoSize(true);
            if (TDockManager* m = site->DockManager()) m->ResetBounds(true);
            site->PlaceSplitter();
            site->Splitter()->Show();
        }
    }
    for (TfrxDock* dock : {DockTop, DockRight, DockBottom}) dock->AdjustBounds();
}

void TfrxDesignerForm::SaveSettings()
{
    if (PreviewPageMode() || !Report()) return;
    std::unique_ptr<TCustomIniFile> store = Report()->OpenSettingsStore();
    // An ini file is written once, whole, rather than on every key.
    if (DynamicCast<TIniFile>(store.get())) store = std::make_unique<TMemIniFile>(Report()->IniFile);
    store->WriteInteger("Form.TfrxObjectInspector", "SplitPos", Inspector->SplitPos());
    store->WriteInteger("Form.TfrxObjectInspector", "Split1Pos", Inspector->Split1Pos());
    store->WriteFloat(kForm, "Scale", Scale);
    store->WriteBool(kForm, "ShowGrid", ShowGrid);
    store->WriteBool(kForm, "GridAlign", GridAlign);
    store->WriteBool(kForm, "ShowRulers", ShowRulers);
    store->WriteBool(kForm, "ShowGuides", ShowGuides);
    store->WriteFloat(kForm, "Grid1", Grid1);
    store->WriteFloat(kForm, "Grid2", Grid2);
    store->WriteFloat(kForm, "Grid3", Grid3);
    store->WriteFloat(kForm, "Grid4", Grid4);
    Units = TfrxDesignerUnits(SavedUnits);
    store->WriteInteger(kForm, "Units", SavedUnits);
    store->WriteString(kForm, "ScriptFontName", FCodeWindow->Font()->Name());
    store->WriteInteger(kForm, "ScriptFontSize", FCodeWindow->Font()->Size());
    store->WriteString(kForm, "MemoFontName", MemoFontName);
    store->WriteInteger(kForm, "MemoFontSize", MemoFontSize);
    store->WriteBool(kForm, "UseObjectFont", UseObjectFont);
    store->WriteInteger(kForm, "WorkspaceColor", int(WorkspaceColor));
    store->WriteInteger(kForm, "ToolsColor", int(ToolsColor));
    store->WriteBool(kForm, "GridLCD", Workspace->GridLCD);
    store->WriteBool(kForm, "EditAfterInsert", EditAfterInsert);
    store->WriteBool(kForm, "LocalizedOI", LocalizedOI);
    store->WriteString(kForm, "RecentFiles", RecentFiles->CommaText());
    store->WriteBool(kForm, "FreeBands", Workspace->FreeBands);
    store->WriteInteger(kForm, "BandsGap", Workspace->BandsGap);
    store->WriteBool(kForm, "ShowBandCaptions", Workspace->ShowBandCaptions());
    frxDock::SaveFormPosition(store.get(), this);
    frxDock::SaveFormPosition(store.get(), Inspector);
    frxDock::SaveFormPosition(store.get(), DataTreeForm);
    frxDock::SaveFormPosition(store.get(), ReportTreeForm);
    for (TfrxToolBar* tb : {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB})
        frxDock::SaveToolbarPosition(store.get(), tb);
    for (TfrxDockSite* site : {LeftDockSite1, LeftDockSite2, RightDockSite}) frxDock::SaveDockSite(store.get(), site);
    store->UpdateFile();
}
