#include "frxPassw.h"

#include "Graphics.h"
#include "StdCtrls.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxPasswordForm, TForm)

using frxCtrls::MakeControl;

TfrxPasswordForm::TfrxPasswordForm(TComponent* owner) : TForm(owner)
{
    SetName("frxPasswordForm");
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poDesktopCenter);
    Font()->SetName("Tahoma");
    Font()->SetSize(8);
    SetClientSize(249, 99);
    PasswordL = MakeControl<TLabel>(this, this, "PasswordL", 12, 10, 225, 16);
    PasswordL->SetCaption("Enter the password:");
    PasswordE = MakeControl<TEdit>(this, this, "PasswordE", 12, 30, 225, 21);
    PasswordE->SetPasswordChar('*');
    OkB = MakeControl<TButton>(this, this, "OkB", 82, 64, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 162, 64, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    SetActiveControl(PasswordE);
}

namespace frxPassw {

bool Execute(std::string& password)
{
    TfrxPasswordForm form(nullptr);
    if (form.ShowModal() != mrOk) return false;
    password = form.PasswordE->Text();
    return true;
}

void Initialize() { frxClass::PasswordPrompt = Execute; }

}  // namespace frxPassw
