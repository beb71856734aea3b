#include "HostServices.h"

#include <chrono>
#include <ctime>
#include <iostream>
#include <mutex>

// ---- answers without a choice ------------------------------------------------

int MessageBoxDefaultAnswer(unsigned flags)
{
    static const int kButtons[][3] = {
        {IDOK, 0, 0},                    // MB_OK
        {IDOK, IDCANCEL, 0},             // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},    // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},         // MB_YESNOCANCEL
        {IDYES, IDNO, 0},                // MB_YESNO
        {IDRETRY, IDCANCEL, 0},          // MB_RETRYCANCEL
    };
    unsigned type = flags & MB_TYPEMASK;
    if (type > MB_RETRYCANCEL) type = MB_OK;
    const int* b = kButtons[type];
    for (int i = 0; i < 3; ++i)
        if (b[i] == IDCANCEL) return IDCANCEL;
    if (type == MB_OK) return IDOK;
    // No Cancel button: the default button answers.
    unsigned def = (flags & MB_DEFMASK) >> 8;
    if (def > 2 || b[def] == 0) def = 0;
    return b[def];
}

TModalResult ModalResultOf(TMsgDlgBtn b)
{
    switch (b) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

TModalResult MessageDlgDefaultAnswer(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbCancel)) return mrCancel;
    if (buttons.Contains(mbNo)) return mrNo;
    if (buttons.Contains(mbOK)) return mrOk;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (buttons.Contains(TMsgDlgBtn(b))) return ModalResultOf(TMsgDlgBtn(b));
    // A dialog without buttons still closes; it reports cancel.
    return mrCancel;
}

// ---- console host ------------------------------------------------------------

namespace {
const char* DlgTypeName(TMsgDlgType t)
{
    switch (t) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    case mtCustom: break;
    }
    return "";
}
}   // namespace

int TConsoleHost::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    std::cerr << (caption.empty() ? "" : caption + ": ") << text << std::endl;
    return MessageBoxDefaultAnswer(flags);
}

TModalResult TConsoleHost::MessageDlg(const std::string& msg, TMsgDlgType type,
                                      TMsgDlgButtons buttons, int)
{
    const char* t = DlgTypeName(type);
    std::cerr << (*t ? std::string(t) + ": " : std::string()) << msg << std::endl;
    return MessageDlgDefaultAnswer(buttons);
}

void TConsoleHost::ShowMessage(const std::string& msg) { std::cerr << msg << std::endl; }

bool TConsoleHost::InputQuery(const std::string&, const std::string&, std::string&) { return false; }
bool TConsoleHost::OpenFileDialog(const TFileDialogRequest&, TFileDialogResult&) { return false; }
bool TConsoleHost::SaveFileDialog(const TFileDialogRequest&, TFileDialogResult&) { return false; }
bool TConsoleHost::SelectDirectory(const std::string&, const std::string&, std::string&) { return false; }

int TConsoleHost::ShellExecute(const std::string& operation, const std::string& file,
                               const std::string&, const std::string&, int)
{
    std::cerr << "cannot open \"" << file << "\" without a desktop" << std::endl;
    return 31;   // no association: the shell's "no application" code
}

bool TConsoleHost::HelpCommand(const std::string&, unsigned, int64_t) { return false; }

// ---- current host ------------------------------------------------------------

namespace {
std::mutex gHostLock;
std::shared_ptr<IHostServices>& CurrentHost()
{
    static std::shared_ptr<IHostServices> host = std::make_shared<TConsoleHost>();
    return host;
}
}   // namespace

std::shared_ptr<IHostServices> SetHostServices(std::shared_ptr<IHostServices> host)
{
    std::lock_guard<std::mutex> g(gHostLock);
    if (!host) host = std::make_shared<TConsoleHost>();
    std::shared_ptr<IHostServices> prev = CurrentHost();
    CurrentHost() = std::move(host);
    return prev;
}

IHostServices& HostServices()
{
    std::lock_guard<std::mutex> g(gHostLock);
    return *CurrentHost();
}

namespace {
// The routines below hold the host for the length of the call, so a host
// replaced while a dialog is open stays alive until the dialog returns.
std::shared_ptr<IHostServices> Host()
{
    std::lock_guard<std::mutex> g(gHostLock);
    return CurrentHost();
}
}   // namespace

// ---- routines ----------------------------------------------------------------

int MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return Host()->MessageBox(text, caption, flags);
}

TModalResult MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx)
{
    return Host()->MessageDlg(msg, type, buttons, helpCtx);
}

void ShowMessage(const std::string& msg) { Host()->ShowMessage(msg); }

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& def)
{
    std::string v = def;
    if (!Host()->InputQuery(caption, prompt, v)) return def;
    return v;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    std::string v = value;
    if (!Host()->InputQuery(caption, prompt, v)) return false;
    value = v;
    return true;
}

bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory)
{
    std::string d = directory;
    if (!Host()->SelectDirectory(caption, root, d)) return false;
    directory = d;
    return true;
}

int ShellExecute(const std::string& operation, const std::string& file, const std::string& params,
                 const std::string& dir, int showCmd)
{
    return Host()->ShellExecute(operation, file, params, dir, showCmd);
}

bool HelpCommand(const std::string& helpFile, unsigned command, int64_t data)
{
    return Host()->HelpCommand(helpFile, command, data);
}

// ---- clock -------------------------------------------------------------------

TDateTime TSystemClock::Now()
{
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = std::time_t(ms / 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    // Local wall-clock seconds since 1970-01-01, then days since 1899-12-30.
    int64_t localSecs = int64_t(secs) + local.tm_gmtoff;
    int64_t days = localSecs / 86400;
    int64_t rem = localSecs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    double frac = (double(rem) + double(ms % 1000) / 1000.0) / 86400.0;
    return double(days + 25569) + frac;
}

namespace {
std::mutex gClockLock;
std::shared_ptr<IClock>& CurrentClock()
{
    static std::shared_ptr<IClock> clock = std::make_shared<TSystemClock>();
    return clock;
}
}   // namespace

std::shared_ptr<IClock> SetClock(std::shared_ptr<IClock> clock)
{
    std::lock_guard<std::mutex> g(gClockLock);
    if (!clock) clock = std::make_shared<TSystemClock>();
    std::shared_ptr<IClock> prev = CurrentClock();
    CurrentClock() = std::move(clock);
    return prev;
}

void ResetClock() { SetClock(nullptr); }

IClock& Clock()
{
    std::lock_guard<std::mutex> g(gClockLock);
    return *CurrentClock();
}

TDateTime ClockNow()
{
    std::shared_ptr<IClock> c;
    {
        std::lock_guard<std::mutex> g(gClockLock);
        c = CurrentClock();
    }
    return c->Now();
}
