#include "frxSearchDialog.h"

#include "StdCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxSearchDialog, TForm)

namespace frxSearchDialog {
std::string& LastText()
{
    static std::string text;
    return text;
}
}  // namespace frxSearchDialog

namespace {
template <class C> C* Make(TForm* form, TWinControl* parent, const std::string& name, int l, int t, int w, int h)
{
    C* c = new C(form);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}
}  // namespace

TfrxSearchDialog::TfrxSearchDialog(TComponent* owner) : TForm(owner)
{
    SetName("frxSearchDialog");
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(300, 150);
    TextL = Make<TLabel>(this, this, "TextL", 8, 10, 284, 16);
    TextE = Make<TEdit>(this, this, "TextE", 8, 28, 284, 21);
    SearchL = Make<TGroupBox>(this, this, "SearchL", 8, 56, 284, 56);
    CaseCB = Make<TCheckBox>(this, SearchL, "CaseCB", 10, 16, 264, 17);
    TopCB = Make<TCheckBox>(this, SearchL, "TopCB", 10, 34, 264, 17);
    OkB = Make<TButton>(this, this, "OkB", 136, 118, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = Make<TButton>(this, this, "CancelB", 217, 118, 75, 25);
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
