#include "frxDesgnDebug.h"

#include "ActnList.h"
#include "Controls.h"
#include "Forms.h"
#include "Lists.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "fs_iinterpreter.h"
#include "frxClass.h"
#include "frxCustomDesigner.h"
#include "frxDataTree.h"
#include "frxDesgn.h"
#include "frxEvaluateForm.h"
#include "frxRes.h"
#include "frxSearchDialog.h"
#include "frxSyntaxMemo.h"
#include "frxUtils.h"

#include <algorithm>
#include <set>

namespace {

// "line:column" as two numbers (0 for what is not a number).
void SplitPosition(const std::string& pos, int& line, int& column)
{
    size_t colon = pos.find(':');
    line = StrToIntDef(Trim(pos.substr(0, colon)), 0);
    column = colon == std::string::npos ? 0 : StrToIntDef(Trim(pos.substr(colon + 1)), 0);
}

int PageIndexOf(TfrxReport* report, TfrxPage* page)
{
    for (int i = 0; i < report->PagesCount(); ++i)
        if (report->PageAt(i) == page) return i;
    return 0;
}

bool Contains(const std::string& text, const std::string& part, bool caseSensitive)
{
    if (caseSensitive) return text.find(part) != std::string::npos;
    return UpperCase(text).find(UpperCase(part)) != std::string::npos;
}

}  // namespace

TfrxDesignerDebug::TfrxDesignerDebug(TfrxCustomDesigner* designer) : FDesigner(designer), FAlive(designer) {}

TfrxDesignerDebug::~TfrxDesignerDebug()
{
    if (TfsScript* s = FDesigner->Report() ? Script() : nullptr) s->OnRunLine = nullptr;
}

TfrxSyntaxMemo* TfrxDesignerDebug::Code() const { return FDesigner->CodeWindow(); }

TfsScript* TfrxDesignerDebug::Script() const { return FDesigner->Report()->Script(); }

void TfrxDesignerDebug::StateChanged()
{
    LockCommands(ScriptPaused);
    if (DebugStateChanged) DebugStateChanged();
}

// ---- preview ------------------------------------------------------------------------------------

void TfrxDesignerDebug::ShowCompileError(const std::string& position, const std::string& message)
{
    int line = 0, column = 0;
    SplitPosition(position, line, column);
    FDesigner->SetPage(nullptr);
    if (TfrxSyntaxMemo* code = Code()) {
        code->SetCaretPos(std::max(column, 1), std::max(line, 1));
        code->SetMessage(message);
    }
}

void TfrxDesignerDebug::Preview()
{
    if (!frxDesgn::IsAllowed(drDontPreviewReport)) return;
    TfrxReport* report = FDesigner->Report();
    if (BeforePreview) BeforePreview();
    report->ScriptText()->Assign(FDesigner->GetCode());
    if (!report->SetupScript()) {
        ShowCompileError(Script()->ErrorPosition, Script()->ErrorMessage);
        return;
    }

    bool onCode = FDesigner->Page() == nullptr;
    int pageIndex = onCode ? 0 : PageIndexOf(report, FDesigner->Page());
    bool modal = report->PreviewOptions()->Modal;
    bool restoreLayout = report->EngineOptions()->RestoreLayout;
    FDesigner->Lock();
    TfrxCustomPreview* preview = report->Preview();
    std::string failure;
    report->Errors()->Clear();
    try {
        report->SetPreview(nullptr);
        report->PreviewOptions()->Modal = true;
        report->EngineOptions()->RestoreLayout = true;
        if (ScriptRunning) {
            // A debug run builds the report before its preview opens: a
            // stop waits for the operator in the designer, which the modal
            // preview window would keep from him. The preview then shows
            // what was built, the script running on without stops; a run the
            // operator stopped shows nothing.
            if (report->PreviewPages()) report->PreviewPages()->Clear();
            bool built = report->PrepareReport(false);
            Script()->OnRunLine = nullptr;
            if (built && !report->Terminated()) report->ShowPreparedReport();
        } else {
            report->ShowReport(true);
        }
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        failure = e.what();
    }
    Script()->ClearItems(report);
    report->SetPreview(preview);
    report->PreviewOptions()->Modal = modal;
    report->EngineOptions()->RestoreLayout = restoreLayout;
    if (onCode) {
        FDesigner->ReloadPages(0);
        FDesigner->SetPage(nullptr);
    } else {
        FDesigner->ReloadPages(pageIndex);
    }
    // The designer is back on its page before the operator reads what went
    // wrong; a report that keeps its build errors quiet still shows them here.
    if (!failure.empty())
        frxUtils::ShowErrorBox(failure);
    else if (report->EngineOptions()->SilentMode && report->Errors()->Count() > 0)
        report->ShowErrors();
}

// ---- debug run ----------------------------------------------------------------------------------

void TfrxDesignerDebug::RunScriptBClick(bool step)
{
    TfsScript* script = Script();
    if (ScriptRunning) {
        if (!step) script->OnRunLine = nullptr;
        ScriptPaused = false;
        return;
    }
    if (step)
        script->OnRunLine = [this](TfsScript* sender, const std::string& unitName, const std::string& pos) {
            ScriptRunLine(sender, unitName, pos);
        };
    else
        script->OnRunLine = nullptr;
    ScriptRunning = true;
    FirstStop = true;
    StateChanged();
    TWeakRef<TfrxCustomDesigner> alive(FDesigner);
    try {
        Preview();
    } catch (...) {
        // Preview shows what it can; nothing may leave the run marked as running.
    }
    if (!alive) return;
    ScriptRunning = false;
    ScriptPaused = false;
    Script()->OnRunLine = nullptr;
    if (TfrxSyntaxMemo* code = Code()) {
        code->SetActiveLine(-1);
        code->SetRunToLine(0);
    }
    StateChanged();
}

void TfrxDesignerDebug::RunToCaret()
{
    TfrxSyntaxMemo* code = Code();
    if (!code) return;
    code->SetRunToLine(code->GetCaretPos().Y);
    RunScriptBClick(true);
}

void TfrxDesignerDebug::StopScriptBClick()
{
    if (!ScriptRunning) return;
    Script()->OnRunLine = nullptr;
    Script()->Terminate();
    FDesigner->Report()->SetTerminated(true);
    ScriptPaused = false;
    // The script runs no more: its line mark goes now, not when the preview closes.
    if (TfrxSyntaxMemo* code = Code()) code->SetActiveLine(-1);
}

void TfrxDesignerDebug::EvaluateBClick() { frxEvaluateForm::Execute(Application, Script()); }

void TfrxDesignerDebug::MarkExecutableLines()
{
    TfrxSyntaxMemo* code = Code();
    if (!code) return;
    TfsScript* script = Script();
    int count = script->Lines()->Count();
    for (int n = 1; n <= count; ++n) code->SetExecutableLine(n, script->IsExecutableLine(n));
}

void TfrxDesignerDebug::ScriptRunLine(TfsScript*, const std::string&, const std::string& sourcePos)
{
    TfrxSyntaxMemo* code = Code();
    if (!code) return;
    int line = 0, column = 0;
    SplitPosition(sourcePos, line, column);
    int runTo = code->Model()->RunToLine;
    if (runTo >= 1 && runTo != line) return;
    code->SetRunToLine(0);
    if (FirstStop) {
        MarkExecutableLines();
        FirstStop = false;
    }

    TWeakRef<TCustomForm> active(Screen ? Screen->ActiveForm() : nullptr);
    if (FDesigner->HandleAllocated()) EnableWindow(FDesigner->Handle(), true);
    if (FDesigner->CanFocus()) FDesigner->SetFocus();
    code->SetActiveLine(line);
    code->SetCaretPos(std::max(column, 1), line);

    ScriptPaused = true;
    StateChanged();
    // The wait: the operator's Run, Step, run to the caret or Stop ends it.
    TWeakRef<TfrxCustomDesigner> alive(FDesigner);
    while (alive && ScriptPaused && Application && !Application->Terminated()) Application->HandleMessage();
    if (!alive) return;
    ScriptPaused = false;
    StateChanged();
    if (TCustomForm* f = active.Get(); f && f != FDesigner && f->CanFocus()) f->SetFocus();
}

void TfrxDesignerDebug::LockCommands(bool lock)
{
    if (lock == FCommandsLocked) return;
    FCommandsLocked = lock;
    if (!lock) {
        for (TLocked& l : FLocked) {
            TComponent* c = l.Item.Get();
            if (auto* a = DynamicCast<TCustomAction>(c)) a->SetEnabled(l.Enabled);
            else if (auto* m = DynamicCast<TMenuItem>(c)) m->SetEnabled(l.Enabled);
            else if (auto* k = DynamicCast<TControl>(c)) k->SetEnabled(l.Enabled);
        }
        FLocked.clear();
        return;
    }
    // What stays usable: the commands named, the code editor, and the
    // controls that hold them (a disabled tool bar disables its buttons).
    std::set<const TComponent*> keep;
    auto keepWithParents = [&](TControl* c) {
        for (TControl* p = c; p && p != FDesigner; p = p->Parent()) keep.insert(p);
    };
    if (TfrxSyntaxMemo* code = Code()) keepWithParents(code);
    std::vector<TComponent*> all;
    std::vector<TComponent*> todo{FDesigner};
    while (!todo.empty()) {
        TComponent* owner = todo.back();
        todo.pop_back();
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            all.push_back(c);
            todo.push_back(c);
        }
    }
    for (TComponent* c : all)
        if (std::find(CommandsWhilePaused.begin(), CommandsWhilePaused.end(), c->Name()) != CommandsWhilePaused.end())
            if (auto* k = DynamicCast<TControl>(c)) keepWithParents(k);
    for (TComponent* c : all) {
        if (keep.count(c) ||
            std::find(CommandsWhilePaused.begin(), CommandsWhilePaused.end(), c->Name()) != CommandsWhilePaused.end())
            continue;
        if (auto* a = DynamicCast<TCustomAction>(c)) {
            FLocked.push_back({c, a->Enabled()});
            a->SetEnabled(false);
        } else if (auto* m = DynamicCast<TMenuItem>(c)) {
            FLocked.push_back({c, m->Enabled()});
            m->SetEnabled(false);
        } else if (auto* k = DynamicCast<TControl>(c)) {
            FLocked.push_back({c, k->Enabled()});
            k->SetEnabled(false);
        }
    }
}

// ---- find and replace ---------------------------------------------------------------------------

void TfrxDesignerDebug::FindMIClick(bool replace)
{
    TfrxSearchDialog dialog(nullptr);
    ReplaceMode = replace;
    dialog.ReplacePanel->SetVisible(replace);
    bool onCode = FDesigner->Page() == nullptr;
    if (!onCode) dialog.TopCB->SetEnabled(false);
    if (dialog.ShowModal() != mrOk) return;
    FindText = dialog.TextE->Text();
    ReplaceText = dialog.ReplaceE->Text();
    CaseSensitive = dialog.CaseCB->Checked();
    SearchPos = 0;
    if (onCode && !dialog.TopCB->Checked() && Code()) SearchPos = Code()->GetCaretOffset();
    if (FindNextEnabled) FindNextEnabled();
    DoFind();
}

bool TfrxDesignerDebug::ConfirmReplace()
{
    if (FReplaceAll) return true;
    TModalResult answer = MessageDlg(Format(frxRes::Resources().Get("dsReplace"), {FindText}), mtConfirmation,
                                     TMsgDlgButtons{mbYes, mbNo, mbCancel, mbAll});
    if (answer == mrAll) FReplaceAll = true;
    return answer == mrYes || answer == mrAll;
}

void TfrxDesignerDebug::DoFind()
{
    // Nothing to look for finds nothing, and must not match every object.
    if (FindText.empty()) return;
    FReplaceAll = false;
    bool foundAny = false;
    bool found = false;
    do {
        found = false;
        if (TfrxPage* page = FDesigner->Page()) {
            (void)page;
            TList* objects = FDesigner->Objects();
            for (int i = std::max(SearchPos, 0); i < objects->Count(); ++i) {
                auto* memo = DynamicCast<TfrxCustomMemoView>(static_cast<TObject*>(objects->Items(i)));
                if (!memo || !Contains(memo->Text(), FindText, CaseSensitive)) continue;
                found = true;
                SearchPos = i + 1;
                FDesigner->SelectedObjects()->Clear();
                FDesigner->SelectedObjects()->Add(memo);
                if (SelectionChanged) SelectionChanged();
                if (ReplaceMode && ConfirmReplace()) {
                    TReplaceFlags flags{rfReplaceAll};
                    if (!CaseSensitive) flags.Include(rfIgnoreCase);
                    memo->SetText(StringReplace(memo->Text(), FindText, ReplaceText, flags));
                    FDesigner->SetModified(true);
                }
                break;
            }
        } else if (TfrxSyntaxMemo* code = Code()) {
            found = code->Find(FindText, CaseSensitive, SearchPos);
            if (found && ReplaceMode && ConfirmReplace()) {
                // The editor goes on after the replacement, so a replacement
                // that holds the text looked for is not found again.
                code->SetSelText(ReplaceText);
                FDesigner->SetModified(true);
            }
        }
        foundAny = foundAny || found;
    } while (FReplaceAll && found);
    FReplaceAll = false;
    if (!foundAny)
        MessageBox(Format(frxRes::Resources().Get("dsTextNotFound"), {FindText}), frxRes::Resources().Get("mbInfo"),
                   MB_ICONINFORMATION | MB_OK);
}

// ---- notifications ------------------------------------------------------------------------------

void TfrxDesignerDebug::CodeCaretMoved()
{
    TfrxSyntaxMemo* code = Code();
    if (FDesigner->Page() != nullptr || !code || !ShowCodePosition) return;
    TPoint p = code->GetCaretPos();
    ShowCodePosition(Format("%d; %d", {p.Y, p.X}));
}

void TfrxDesignerDebug::DataTreeDblClick(TfrxDataTreeForm* tree)
{
    if (!tree) return;
    if (FDesigner->Page() == nullptr) {
        TfrxSyntaxMemo* code = Code();
        if (!code) return;
        code->SetSelText(tree->GetInsertText());
        if (code->CanFocus()) code->SetFocus();
    } else if (tree->IsDataPageActive() && FDesigner->Report()->DataSets()->Count() == 0 && ReportData) {
        ReportData();
    }
}
