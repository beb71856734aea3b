#include "frxSearchDialog.h"

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
    frxRes::Resources().LocalizeForm(this);
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
