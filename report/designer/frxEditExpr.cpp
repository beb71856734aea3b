#include "frxEditExpr.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "IniFiles.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxDataTree.h"
#include "frxDock.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxExprEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditExpr {

TfrxDataTreeForm* EmbedDataTree(TfrxCustomDesigner* designer, TWinControl* parent, TMemo* memo)
{
    auto* tree = new TfrxDataTreeForm(designer ? static_cast<TComponent*>(designer) : parent);
    tree->SetReport(designer ? designer->Report() : nullptr);
    tree->Tabs->SetParent(parent);
    tree->OnTreeDblClick = [tree, memo](TObject*) {
        const std::string s = tree->GetInsertText();
        if (s.empty()) return;
        memo->SetSelText(s);
        if (memo->CanFocus()) memo->SetFocus();
    };
    memo->OnDragOver = [tree](TObject*, TObject* source, int, int, TDragState, bool& accept) {
        accept = !tree->GetInsertText().empty();
    };
    memo->OnDragDrop = [tree, memo](TObject*, TObject*, int, int) {
        memo->SetSelText(tree->GetInsertText());
        if (memo->CanFocus()) memo->SetFocus();
    };
    if (tree->FunctionNameL) {
        tree->FunctionNameL->SetHeight(17);
        if (TWinControl* hint = tree->FunctionNameL->Parent()) hint->SetHeight(60);
    }
    tree->UpdateItems();
    return tree;
}

std::string EditExpression(TfrxCustomDesigner* designer, const std::string& text)
{
    TfrxExprEditorForm f(designer);
    f.ExprMemo->SetText(text);
    if (f.ShowModal() != mrOk) return std::string();
    // The memo's text without the line end the last line may carry.
    std::string s = f.ExprMemo->Text();
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

}  // namespace frxEditExpr

namespace {
std::unique_ptr<TCustomIniFile> StoreOf(TfrxCustomDesigner* d)
{
    return d && d->Report() ? d->Report()->OpenSettingsStore() : nullptr;
}
}  // namespace

TfrxExprEditorForm::TfrxExprEditorForm(TfrxCustomDesigner* designer) : TForm(designer), FDesigner(designer)
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(560, 380);
    ExprPanel = MakeControl<TPanel>(this, this, "ExprPanel", 0, 0, 560, 110);
    ExprPanel->SetAlign(alTop);
    ExprPanel->SetBevelOuter(bvNone);
    ExprL = MakeControl<TLabel>(this, ExprPanel, "ExprL", 8, 6, 200, 16);
    ExprMemo = MakeControl<TMemo>(this, ExprPanel, "ExprMemo", 8, 24, 382, 80);
    ExprMemo->SetScrollBars(ssVertical);
    OKB = MakeControl<TButton>(this, ExprPanel, "OKB", 398, 24, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, ExprPanel, "CancelB", 478, 24, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    FDataTree = frxEditExpr::EmbedDataTree(designer, this, ExprMemo);
    FDataTree->Tabs->SetAlign(alClient);
}

TfrxExprEditorForm::~TfrxExprEditorForm()
{
    // The tabs live in this dialog: they go back to the tree before it is freed.
    if (FDataTree) {
        FDataTree->Tabs->SetParent(FDataTree);
        delete FDataTree;
    }
}

void TfrxExprEditorForm::DoShow()
{
    TForm::DoShow();
    if (auto store = StoreOf(FDesigner)) {
        store->WriteBool("Form.TfrxExprEditorForm", "Visible", true);
        frxDock::RestoreFormPosition(store.get(), this);
    }
}

void TfrxExprEditorForm::DoHide()
{
    TForm::DoHide();
    if (auto store = StoreOf(FDesigner)) frxDock::SaveFormPosition(store.get(), this);
}
