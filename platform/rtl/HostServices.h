// Services of the host the program runs in: message boxes, message and input
// dialogs, file and folder dialogs, the shell, the help viewer and the clock.
// Libraries below the GUI call the routines here; the GUI installs a real
// host at start-up, tests install a recording host with queued answers
// (RecordingHost.h, in the test-support library).
#pragma once

#include "System.h"
#include <cstdint>
#include <deque>
#include <memory>
#include <functional>
#include <string>
#include <vector>

// ---- message box flags and results -----------------------------------------

constexpr unsigned MB_OK = 0x00000000;
constexpr unsigned MB_OKCANCEL = 0x00000001;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x00000002;
constexpr unsigned MB_YESNOCANCEL = 0x00000003;
constexpr unsigned MB_YESNO = 0x00000004;
constexpr unsigned MB_RETRYCANCEL = 0x00000005;
constexpr unsigned MB_TYPEMASK = 0x0000000F;
constexpr unsigned MB_ICONHAND = 0x00000010;
constexpr unsigned MB_ICONQUESTION = 0x00000020;
constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
constexpr unsigned MB_ICONASTERISK = 0x00000040;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_ICONMASK = 0x000000F0;
constexpr unsigned MB_DEFBUTTON1 = 0x00000000;
constexpr unsigned MB_DEFBUTTON2 = 0x00000100;
constexpr unsigned MB_DEFBUTTON3 = 0x00000200;
constexpr unsigned MB_DEFBUTTON4 = 0x00000300;
constexpr unsigned MB_DEFMASK = 0x00000F00;
constexpr unsigned MB_APPLMODAL = 0x00000000;
constexpr unsigned MB_SYSTEMMODAL = 0x00001000;
constexpr unsigned MB_TASKMODAL = 0x00002000;
constexpr unsigned MB_SETFOREGROUND = 0x00010000;
constexpr unsigned MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;

// The answer a message box gives when closed without a choice (Esc, or a
// host that cannot ask): Cancel where the box has one, otherwise the
// default button.
int MessageBoxDefaultAnswer(unsigned flags);

// ---- message dialogs -------------------------------------------------------

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
                  mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn, 16>;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The modal result a button gives.
TModalResult ModalResultOf(TMsgDlgBtn b);
// The answer of a dialog closed without a choice: mrCancel when it has a
// Cancel button, mrNo with No, mrOk with OK, else the result of the first button.
TModalResult MessageDlgDefaultAnswer(TMsgDlgButtons buttons);

// ---- file dialogs ----------------------------------------------------------

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
    ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
    ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
    ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption, 32>;

struct TFileDialogRequest {
    std::string Title;
    std::string Filter;       // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    int FilterIndex = 1;      // counts from 1
    std::string DefaultExt;   // without the dot
    std::string InitialDir;
    std::string FileName;     // proposed name
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
};

struct TFileDialogResult {
    std::vector<std::string> Files;   // one unless ofAllowMultiSelect
    int FilterIndex = 1;
};

// ---- shell and help --------------------------------------------------------

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;

// Help commands.
constexpr unsigned HELP_CONTEXT = 0x0001;
constexpr unsigned HELP_QUIT = 0x0002;
constexpr unsigned HELP_CONTENTS = 0x0003;
constexpr unsigned HELP_FINDER = 0x000B;
constexpr unsigned HELP_KEY = 0x0101;

// ---- print dialogs ---------------------------------------------------------

enum TPrintRange { prAllPages, prSelection, prPageNums };

// What the print and printer set-up dialogs show and give back: the
// printer chosen from the list, the sheet and, for printing, the copies and
// the pages.
struct TPrintDialogData {
    std::vector<std::string> Printers;
    int PrinterIndex = 0;
    int Copies = 1;
    bool Collate = false;
    TPrintRange PrintRange = prAllPages;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    bool PrintToFile = false;
    bool AllowPageNums = false, AllowSelection = false, AllowPrintToFile = false;
    // The sheet: paper number and landscape.
    std::vector<std::pair<int, std::string>> Papers;
    int PaperSize = 0;
    bool Landscape = false;
};

// ---- font, colour, find and replace dialogs -----------------------------------

// What the font dialog shows and gives back (size in points, colour as RGB).
struct TFontDialogData {
    std::string Name;
    int Size = 9;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    uint32_t Color = 0;
    bool Effects = true;          // underline, strike-out and colour offered
    bool ExistingOnly = false;    // only installed fonts may be chosen
    int MinSize = 0, MaxSize = 0; // 0: no limit
};

struct TColorDialogData {
    uint32_t Color = 0;                     // RGB
    std::vector<uint32_t> CustomColors;     // up to 16
    bool FullOpen = false;
};

// The find and replace dialogs stay open while the program works: each
// request of the user comes back through a callback.
enum class TFindRequest { FindNext, Replace, ReplaceAll, Close };
struct TFindDialogData {
    std::string FindText, ReplaceText;
    bool Replace = false;                 // the replace dialog
    bool Down = true, MatchCase = false, WholeWord = false;
    bool HideUpDown = false, HideMatchCase = false, HideWholeWord = false;
    bool DisableUpDown = false, DisableMatchCase = false, DisableWholeWord = false;
};
using TFindDialogCallback = std::function<void(TFindRequest request, const TFindDialogData& data)>;

// ---- the host --------------------------------------------------------------

class IHostServices {
public:
    virtual ~IHostServices() = default;
    // Returns one of IDOK…IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Returns one of the mr results.
    virtual TModalResult MessageDlg(const std::string& msg, TMsgDlgType type,
                                    TMsgDlgButtons buttons, int helpCtx) = 0;
    virtual void ShowMessage(const std::string& msg) = 0;
    // value holds the proposed text on entry and the entered text when true
    // is returned; it is left unchanged on cancel.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    virtual bool OpenFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) = 0;
    virtual bool SaveFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) = 0;
    // directory holds the start folder on entry and the chosen one on true.
    virtual bool SelectDirectory(const std::string& caption, const std::string& root,
                                 std::string& directory) = 0;
    // Opens a document or program; returns a value above 32 on success, as
    // the platform's shell does, and an error code (2: file not found…) otherwise.
    virtual int ShellExecute(const std::string& operation, const std::string& file,
                             const std::string& params, const std::string& dir, int showCmd) = 0;
    // Shows a help topic; false when the help could not be shown.
    virtual bool HelpCommand(const std::string& helpFile, unsigned command, int64_t data) = 0;
    // The print and printer set-up dialogs edit data; false when cancelled.
    // A host that cannot show them cancels.
    virtual bool PrintDialog(TPrintDialogData& data) { return false; }
    virtual bool PrinterSetupDialog(TPrintDialogData& data) { return false; }
    // The font and colour dialogs edit data; false when cancelled. A host
    // that cannot show them cancels.
    virtual bool FontDialog(TFontDialogData& data) { return false; }
    virtual bool ColorDialog(TColorDialogData& data) { return false; }
    // Shows the find (data.Replace: replace) dialog and returns at once; the
    // host calls back for every request until the dialog closes (Close) or
    // CloseFindDialog takes it down. False when no dialog could be shown.
    virtual bool ShowFindDialog(const TFindDialogData& data, TFindDialogCallback callback) { return false; }
    virtual void CloseFindDialog() {}
};

// The host without a GUI: message texts go to stderr, dialogs answer with
// their default or cancel, the shell and help report failure.
class TConsoleHost : public IHostServices {
public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    TModalResult MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpCtx) override;
    void ShowMessage(const std::string& msg) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    bool OpenFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) override;
    bool SaveFileDialog(const TFileDialogRequest& req, TFileDialogResult& result) override;
    bool SelectDirectory(const std::string& caption, const std::string& root,
                         std::string& directory) override;
    int ShellExecute(const std::string& operation, const std::string& file,
                     const std::string& params, const std::string& dir, int showCmd) override;
    bool HelpCommand(const std::string& helpFile, unsigned command, int64_t data) override;
};

// Installs a host; null restores the console host. Returns the previous one.
std::shared_ptr<IHostServices> SetHostServices(std::shared_ptr<IHostServices> host);
IHostServices& HostServices();

// ---- routines the program calls --------------------------------------------

int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
TModalResult MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpCtx = 0);
void ShowMessage(const std::string& msg);
// The entered text, or def when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& def);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory);
int ShellExecute(const std::string& operation, const std::string& file, const std::string& params,
                 const std::string& dir, int showCmd = SW_SHOWNORMAL);
bool HelpCommand(const std::string& helpFile, unsigned command, int64_t data);

// Installs a host for the life of a scope (tests), restoring the previous one.
class THostScope {
public:
    explicit THostScope(std::shared_ptr<IHostServices> host) : FPrev(SetHostServices(std::move(host))) {}
    ~THostScope() { SetHostServices(FPrev); }
    THostScope(const THostScope&) = delete;
    THostScope& operator=(const THostScope&) = delete;
private:
    std::shared_ptr<IHostServices> FPrev;
};

// ---- the clock -------------------------------------------------------------

// The source of "now" (local time as a TDateTime). Now/Date/Time of
// DateUtils.h read it.
class IClock {
public:
    virtual ~IClock() = default;
    virtual TDateTime Now() = 0;
};

// The machine's local time, to the millisecond.
class TSystemClock : public IClock {
public:
    TDateTime Now() override;
};

// A clock that reads a set time, for tests; Advance moves it on.
class TFixedClock : public IClock {
public:
    explicit TFixedClock(TDateTime t = 0) : FTime(t) {}
    TDateTime Now() override { return FTime; }
    void Set(TDateTime t) { FTime = t; }
    void Advance(double days) { FTime += days; }
private:
    TDateTime FTime;
};

// Installs a clock (null restores the system clock); returns the previous one.
std::shared_ptr<IClock> SetClock(std::shared_ptr<IClock> clock);
void ResetClock();
IClock& Clock();
TDateTime ClockNow();
