// The operator's way in: the login dialog and the login step of start-up
// and re-login, with the automatic login from the command line.
#pragma once

#include "a.h"

#include <memory>
#include <string>
#include <vector>

class TOperator;

class TLoginFrm : public TADlgFrm {
    QZ_CLASS(TLoginFrm, TADlgFrm)
public:
    explicit TLoginFrm(TComponent* owner = nullptr);
    ~TLoginFrm() override;

    TComboBox* edtLoginId1 = nullptr;
    TEdit* edtPassword1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label5 = nullptr;
    TShape* Shape1 = nullptr;
    TBevel* Bevel2 = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;

    // Checks the typed operator when the dialog closes with OK; a wrong
    // login id or password keeps it open, without a message.
    bool CloseQuery() override;

private:
    std::unique_ptr<TOperator> FOperator;
};

namespace Login {

// The dialog; true when an operator logged in (GOperator then holds them).
bool RunLogin();

// The login step: on the first start with exactly three arguments (login
// id, password, anything) the operator logs in without the dialog; else, or
// when that fails, the dialog. args are the program's arguments after its name.
bool LoginStep(bool firstTime, const std::vector<std::string>& args);

// Copies every field of an operator.
void CopyOperator(const TOperator& from, TOperator& to);

}  // namespace Login
