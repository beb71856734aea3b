// The password prompt of a layout stored with a password.
#pragma once

#include "Forms.h"

#include <string>

class TButton;
class TEdit;
class TLabel;

class TfrxPasswordForm : public TForm {
    QZ_CLASS(TfrxPasswordForm, TForm)
public:
    explicit TfrxPasswordForm(TComponent* owner = nullptr);
    TLabel* PasswordL;
    TEdit* PasswordE;
    TButton *OkB, *CancelB;
};

namespace frxPassw {
// Asks for the password in the password form; false when cancelled.
bool Execute(std::string& password);
// Makes the form the way reports ask for a layout's password (until then
// the host's input box asks).
void Initialize();
}  // namespace frxPassw
