#include "frxSearchDialog.h"

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "frxCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxSearchDialog, TForm)

namespace frxSearchDialog {
std::string& LastText()
{
    static std::string text;
    return text;
}
}  // namespace frxSearchDialog

using frxCtrls::MakeControl;

TfrxSearchDialog::TfrxSearchDialog(TComponent* owner) : TForm(owner)
{
    SetName("frxSearchDialog");
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(300, 150);
    TextL = MakeControl<TLabel>(this, this, "TextL", 8, 10, 284, 16);
    TextE = MakeControl<TEdit>(this, this, "TextE", 8, 28, 284, 21);
    SearchL = MakeControl<TGroupBox>(this, this, "SearchL", 8, 56, 284, 56);
    CaseCB = MakeControl<TCheckBox>(this, SearchL, "CaseCB", 10, 16, 264, 17);
    TopCB = MakeControl<TCheckBox>(this, SearchL, "TopCB", 10, 34, 264, 17);
    OkB = MakeControl<TButton>(this, this, "OkB", 136, 118, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 217, 118, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    ReplacePanel = MakeControl<TPanel>(this, this, "ReplacePanel", 8, 52, 284, 44);
    ReplacePanel->SetBevelOuter(bvNone);
    ReplacePanel->SetVisible(false);
    ReplaceL = MakeControl<TLabel>(this, ReplacePanel, "ReplaceL", 0, 2, 284, 16);
    ReplaceE = MakeControl<TEdit>(this, ReplacePanel, "ReplaceE", 0, 20, 284, 21);
    frxRes::Resources().LocalizeForm(this);
}

TModalResult TfrxSearchDialog::ShowModal()
{
    // The replacement's panel, when shown, sits below the search text and
    // pushes the options and the buttons down.
    int shift = ReplacePanel->Visible() ? ReplacePanel->Height() : 0;
    SearchL->SetTop(56 + shift);
    OkB->SetTop(118 + shift);
    CancelB->SetTop(118 + shift);
    SetClientHeight(150 + shift);
    return TForm::ShowModal();
}

void TfrxSearchDialog::DoShow()
{
    TForm::DoShow();
    TextE->SetText(frxSearchDialog::LastText());
    SetActiveControl(TextE);
    TextE->SelectAll();
}

void TfrxSearchDialog::DoHide()
{
    TForm::DoHide();
    if (ModalResult() == mrOk) frxSearchDialog::LastText() = TextE->Text();
}
