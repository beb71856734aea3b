#include "RecordingHost.h"

std::vector<THostCall> TRecordingHost::CallsOf(THostCallKind kind) const
{
    std::vector<THostCall> r;
    for (const auto& c : Calls)
        if (c.Kind == kind) r.push_back(c);
    return r;
}

std::vector<std::string> TRecordingHost::Messages() const
{
    std::vector<std::string> r;
    for (const auto& c : Calls)
        if (c.Kind == THostCallKind::MessageBox || c.Kind == THostCallKind::MessageDlg ||
            c.Kind == THostCallKind::ShowMessage)
            r.push_back(c.Text);
    return r;
}

int TRecordingHost::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    THostCall c{THostCallKind::MessageBox};
    c.Text = text;
    c.Caption = caption;
    c.Flags = flags;
    Calls.push_back(c);
    if (FBox.empty()) return MessageBoxDefaultAnswer(flags);
    int a = FBox.front();
    FBox.pop_front();
    return a;
}

TModalResult TRecordingHost::MessageDlg(const std::string& msg, TMsgDlgType type,
                                        TMsgDlgButtons buttons, int helpCtx)
{
    THostCall c{THostCallKind::MessageDlg};
    c.Text = msg;
    c.Flags = type;
    c.Buttons = buttons.ToInt();
    c.Value = std::to_string(helpCtx);
    Calls.push_back(c);
    if (FDlg.empty()) return MessageDlgDefaultAnswer(buttons);
    TModalResult a = FDlg.front();
    FDlg.pop_front();
    return a;
}

void TRecordingHost::ShowMessage(const std::string& msg)
{
    THostCall c{THostCallKind::ShowMessage};
    c.Text = msg;
    Calls.push_back(c);
}

bool TRecordingHost::InputQuery(const std::string& caption, const std::string& prompt,
                                std::string& value)
{
    THostCall c{THostCallKind::InputQuery};
    c.Text = prompt;
    c.Caption = caption;
    c.Value = value;
    Calls.push_back(c);
    if (FInput.empty()) return false;
    auto a = FInput.front();
    FInput.pop_front();
    if (a.first) value = a.second;
    return a.first;
}

namespace {
bool AnswerFileDialog(std::deque<std::vector<std::string>>& queue, TFileDialogResult& result,
                      const TFileDialogRequest& req)
{
    if (queue.empty()) return false;
    std::vector<std::string> files = std::move(queue.front());
    queue.pop_front();
    if (files.empty()) return false;
    if (!req.Options.Contains(ofAllowMultiSelect)) files.resize(1);
    result.Files = std::move(files);
    result.FilterIndex = req.FilterIndex;
    return true;
}
}   // namespace

bool TRecordingHost::OpenFileDialog(const TFileDialogRequest& req, TFileDialogResult& result)
{
    THostCall c{THostCallKind::OpenFile};
    c.Caption = req.Title;
    c.Value = req.InitialDir;
    c.Dir = req.FileName;
    c.Request = req;
    Calls.push_back(c);
    return AnswerFileDialog(FOpen, result, req);
}

bool TRecordingHost::SaveFileDialog(const TFileDialogRequest& req, TFileDialogResult& result)
{
    THostCall c{THostCallKind::SaveFile};
    c.Caption = req.Title;
    c.Value = req.InitialDir;
    c.Dir = req.FileName;
    c.Request = req;
    Calls.push_back(c);
    return AnswerFileDialog(FSave, result, req);
}

bool TRecordingHost::SelectDirectory(const std::string& caption, const std::string& root,
                                     std::string& directory)
{
    THostCall c{THostCallKind::SelectDirectory};
    c.Caption = caption;
    c.Text = root;
    c.Value = directory;
    Calls.push_back(c);
    if (FDir.empty()) return false;
    auto a = FDir.front();
    FDir.pop_front();
    if (a.first) directory = a.second;
    return a.first;
}

int TRecordingHost::ShellExecute(const std::string& operation, const std::string& file,
                                 const std::string& params, const std::string& dir, int showCmd)
{
    THostCall c{THostCallKind::ShellExecute};
    c.Caption = operation;
    c.Text = file;
    c.Value = params;
    c.Dir = dir;
    c.Flags = showCmd;
    Calls.push_back(c);
    if (FShell.empty()) return 42;   // opened
    int a = FShell.front();
    FShell.pop_front();
    return a;
}

bool TRecordingHost::HelpCommand(const std::string& helpFile, unsigned command, int64_t data)
{
    THostCall c{THostCallKind::Help};
    c.Text = helpFile;
    c.Flags = command;
    c.Buttons = uint64_t(data);
    Calls.push_back(c);
    if (FHelp.empty()) return true;
    bool a = FHelp.front();
    FHelp.pop_front();
    return a;
}

// Print dialogs the test queued no answer for are cancelled, as by a user.
static bool AnswerPrint(std::vector<THostCall>& calls, THostCallKind kind,
                        std::deque<TRecordingHost::TPrintAnswer>& queue, TPrintDialogData& data)
{
    THostCall c{kind};
    c.Print = data;
    calls.push_back(c);
    if (queue.empty()) return false;
    TRecordingHost::TPrintAnswer a = std::move(queue.front());
    queue.pop_front();
    return a && a(data);
}

bool TRecordingHost::PrintDialog(TPrintDialogData& data)
{
    return AnswerPrint(Calls, THostCallKind::PrintDialog, FPrint, data);
}

bool TRecordingHost::PrinterSetupDialog(TPrintDialogData& data)
{
    return AnswerPrint(Calls, THostCallKind::PrinterSetup, FSetup, data);
}

bool TRecordingHost::FontDialog(TFontDialogData& data)
{
    THostCall c{THostCallKind::FontDialog};
    c.Font = data;
    Calls.push_back(c);
    if (FFont.empty()) return false;
    TFontAnswer a = std::move(FFont.front());
    FFont.pop_front();
    return a && a(data);
}

bool TRecordingHost::ColorDialog(TColorDialogData& data)
{
    THostCall c{THostCallKind::ColorDialog};
    c.Color = data;
    Calls.push_back(c);
    if (FColor.empty()) return false;
    TColorAnswer a = std::move(FColor.front());
    FColor.pop_front();
    return a && a(data);
}

bool TRecordingHost::ShowFindDialog(const TFindDialogData& data, TFindDialogCallback callback)
{
    THostCall c{THostCallKind::FindDialog};
    c.Find = data;
    Calls.push_back(c);
    FFindCallback = callback;
    if (FFind.empty()) return true;
    auto requests = std::move(FFind.front());
    FFind.pop_front();
    // The user's requests, as the dialog would send them while it is up.
    for (auto& [request, d] : requests) {
        if (!FFindCallback) break;
        TFindDialogCallback keep = FFindCallback;
        if (request == TFindRequest::Close) FFindCallback = nullptr;
        keep(request, d);
    }
    return true;
}
