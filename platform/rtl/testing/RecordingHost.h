// A host for tests: records every call to the host services and answers
// from queues. Only tests and fuzzers link it.
#pragma once

#include "HostServices.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

enum class THostCallKind { MessageBox, MessageDlg, ShowMessage, InputQuery, OpenFile, SaveFile,
                           SelectDirectory, ShellExecute, Help, PrintDialog, PrinterSetup, FontDialog,
                           ColorDialog, FindDialog };

struct THostCall {
    THostCallKind Kind;
    std::string Text;      // message, prompt, file to open, help file
    std::string Caption;   // caption, title, operation
    std::string Value;     // proposed input, initial dir, shell params
    std::string Dir;       // shell directory, file dialog proposed name
    int64_t Flags = 0;     // MB_ flags, dialog type, showCmd, help command
    uint64_t Buttons = 0;  // message dialog buttons as set bits; help data
    TFileDialogRequest Request;   // file dialogs
    TPrintDialogData Print;       // print dialogs, as asked
    TFontDialogData Font;         // the font dialog, as asked
    TColorDialogData Color;       // the colour dialog, as asked
    TFindDialogData Find;         // the find and replace dialogs, as asked
};

// Records every call; answers from a queue per kind, and when a queue is
// empty answers as the console host does (default button, cancel) without
// writing anything.
class TRecordingHost : public IHostServices {
public:
    std::vector<THostCall> Calls;

    void QueueMessageBox(int answer) { FBox.push_back(answer); }
    void QueueMessageDlg(TModalResult answer) { FDlg.push_back(answer); }
    // ok false answers Cancel.
    void QueueInput(bool ok, const std::string& value = {}) { FInput.push_back({ok, value}); }
    // An empty list answers Cancel.
    void QueueOpenFile(std::vector<std::string> files) { FOpen.push_back(std::move(files)); }
    void QueueSaveFile(std::vector<std::string> files) { FSave.push_back(std::move(files)); }
    void QueueDirectory(bool ok, const std::string& dir = {}) { FDir.push_back({ok, dir}); }
    void QueueShellExecute(int result) { FShell.push_back(result); }
    void QueueHelp(bool ok) { FHelp.push_back(ok); }
    // The print dialogs' answer: edits the data and returns OK or Cancel.
    using TPrintAnswer = std::function<bool(TPrintDialogData&)>;
    void QueuePrintDialog(TPrintAnswer a) { FPrint.push_back(std::move(a)); }
    void QueuePrinterSetup(TPrintAnswer a) { FSetup.push_back(std::move(a)); }
    // The font and colour dialogs' answers: edit the data, return OK or Cancel.
    using TFontAnswer = std::function<bool(TFontDialogData&)>;
    using TColorAnswer = std::function<bool(TColorDialogData&)>;
    void QueueFontDialog(TFontAnswer a) { FFont.push_back(std::move(a)); }
    void QueueColorDialog(TColorAnswer a) { FColor.push_back(std::move(a)); }
    // What the user does in the next find or replace dialog, in order; each
    // request comes back to the program as the dialog's callback while it is shown.
    void QueueFindRequests(std::vector<std::pair<TFindRequest, TFindDialogData>> requests)
    {
        FFind.push_back(std::move(requests));
    }
    bool FindDialogOpen() const { return bool(FFindCallback); }

    // The calls of one kind, in order.
    std::vector<THostCall> CallsOf(THostCallKind kind) const;
    // The texts of message boxes, message dialogs and ShowMessage, in order.
    std::vector<std::string> Messages() const;

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
    bool PrintDialog(TPrintDialogData& data) override;
    bool PrinterSetupDialog(TPrintDialogData& data) override;
    bool FontDialog(TFontDialogData& data) override;
    bool ColorDialog(TColorDialogData& data) override;
    bool ShowFindDialog(const TFindDialogData& data, TFindDialogCallback callback) override;
    void CloseFindDialog() override { FFindCallback = nullptr; }

private:
    std::deque<TPrintAnswer> FPrint, FSetup;
    std::deque<TFontAnswer> FFont;
    std::deque<TColorAnswer> FColor;
    std::deque<std::vector<std::pair<TFindRequest, TFindDialogData>>> FFind;
    TFindDialogCallback FFindCallback;
    std::deque<int> FBox;
    std::deque<TModalResult> FDlg;
    std::deque<std::pair<bool, std::string>> FInput;
    std::deque<std::vector<std::string>> FOpen, FSave;
    std::deque<std::pair<bool, std::string>> FDir;
    std::deque<int> FShell;
    std::deque<bool> FHelp;
};
