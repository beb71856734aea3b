// What the designer window does with the report as a whole: the preview
// (the script compiled first, its error shown at its place in the code),
// the script's debug run (run, step, run to the caret's line, stop and
// evaluate, a stop waiting in a loop of its own inside the script's line
// hook), and find and replace in the text objects of a page or in the code.
// The window owns one and calls it from its commands; what only the window
// has (its selection's refresh, its commands, its status bar and dialogs)
// it lends through the hooks.
#pragma once

#include "System.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;
class TfsScript;
class TfrxCustomDesigner;
class TfrxDataTreeForm;
class TfrxSyntaxMemo;

class TfrxDesignerDebug {
public:
    explicit TfrxDesignerDebug(TfrxCustomDesigner* designer);
    ~TfrxDesignerDebug();
    TfrxDesignerDebug(const TfrxDesignerDebug&) = delete;
    TfrxDesignerDebug& operator=(const TfrxDesignerDebug&) = delete;

    // ---- state ------------------------------------------------------------------------------
    // A debug run is in progress / waits at a line / has not stopped yet.
    bool ScriptRunning = false;
    bool ScriptPaused = false;
    bool FirstStop = false;
    std::string FindText, ReplaceText;
    bool CaseSensitive = false;
    // The next object (index into the window's objects) or code position to search from.
    int SearchPos = 0;
    bool ReplaceMode = false;

    // ---- what the window lends ------------------------------------------------------------------
    // The selection was set by a search: the window shows it.
    std::function<void()> SelectionChanged;
    // Before a preview: the window keeps the current tab's scroll position.
    std::function<void()> BeforePreview;
    // The debug state changed (the window refreshes its code tool bar).
    std::function<void()> DebugStateChanged;
    // Find next may be used now.
    std::function<void()> FindNextEnabled;
    // The status bar's position text on the code page.
    std::function<void(const std::string& text)> ShowCodePosition;
    // The report-data dialog (a double click on the empty data tree).
    std::function<void()> ReportData;
    // Names of the window's commands that stay usable while a run waits at
    // a line; everything else the window owns is disabled meanwhile, as
    // undo, deleting a page, opening a layout or a dialog could free what
    // the waiting script and engine still use.
    std::vector<std::string> CommandsWhilePaused = {"RunScriptB", "StepScriptB", "StopScriptB", "EvaluateB"};

    // ---- preview ------------------------------------------------------------------------------
    // Compiles the code and shows the built report in a modal preview; a
    // compile error shows on the code page instead. Whatever fails while
    // the report is built or shown, the window comes back to its page and
    // the error is shown.
    void Preview();

    // ---- debug run ----------------------------------------------------------------------------
    // Run (step false) or Step: starts a run, or lets a waiting one go on
    // (Run without further stops, Step to the next line).
    void RunScriptBClick(bool step);
    // Run to the caret's line: as Step, stopping only at that line.
    void RunToCaret();
    // Ends the run: the script stops, the build ends.
    void StopScriptBClick();
    // The evaluate window on the report's script.
    void EvaluateBClick();
    // The script's line hook: sourcePos is "line:column".
    void ScriptRunLine(TfsScript* sender, const std::string& unitName, const std::string& sourcePos);
    // Marks every line of the code executable or not, as the compiled script knows it.
    void MarkExecutableLines();

    // ---- find and replace ---------------------------------------------------------------------
    // The search dialog (replace: with the replacement's panel), then the search.
    void FindMIClick(bool replace);
    // The search again with the last texts.
    void FindNextMIClick() { DoFind(); }
    void DoFind();
    // Whether to replace this match: asked unless "All" was answered in this search.
    bool ConfirmReplace();

    // ---- notifications of the code editor and the data tree ---------------------------------------
    void CodeCaretMoved();
    void DataTreeDblClick(TfrxDataTreeForm* tree);

private:
    TfrxSyntaxMemo* Code() const;
    TfsScript* Script() const;
    void StateChanged();
    // Disables (lock) every command of the window but those usable while a
    // run waits, or gives each back the state it had.
    void LockCommands(bool lock);
    void ShowCompileError(const std::string& position, const std::string& message);

    TfrxCustomDesigner* FDesigner;
    TWeakRef<TfrxCustomDesigner> FAlive;
    bool FReplaceAll = false;
    struct TLocked {
        TWeakRef<TComponent> Item;
        bool Enabled;
    };
    std::vector<TLocked> FLocked;
    bool FCommandsLocked = false;
};
