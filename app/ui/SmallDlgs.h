// The application's small dialogs: company information, password change,
// operator properties with the rights list, and the list-item editor.
#pragma once

#include "a.h"
#include "CheckLst.h"
#include "ComCtrls.h"
#include "qzCtrls.h"

#include <string>
#include <vector>

class TCompany;
class TOperator;
class TStrings;

class TCompanyInfoFrm : public TADlgFrm {
    QZ_CLASS(TCompanyInfoFrm, TADlgFrm)
public:
    explicit TCompanyInfoFrm(TComponent* owner = nullptr);
    TqzEdit* edtCompanyName1 = nullptr;
    TqzEdit* edtLawman1 = nullptr;
    TqzEdit* edtTel1 = nullptr;
    TqzEdit* edtFax1 = nullptr;
    TqzEdit* edtAddress1 = nullptr;
    TqzEdit* edtZip1 = nullptr;
    TqzMemo* mmProfile1 = nullptr;
    // The company's fields as the dialog shows them.
    void LoadFrom(const TCompany& c);
    void SaveTo(TCompany& c) const;
};

namespace CompanyInfo {
// The company dialog: shown again with the typed values when the save fails;
// read-only shows the data with OK disabled.
void Edit(TCompany* company, bool readOnly);
}

class TPasswordChangerFrm : public TADlgFrm {
    QZ_CLASS(TPasswordChangerFrm, TADlgFrm)
public:
    explicit TPasswordChangerFrm(TComponent* owner = nullptr);
    TqzEdit* edtUser1 = nullptr;
    TqzEdit* edtPassword1 = nullptr;
    TqzEdit* edtNewPassword1 = nullptr;
    TqzEdit* edtNewPassword2 = nullptr;
    bool CloseQuery() override;
};

namespace PasswordChanger {
// The logged-in operator's password change; true when it was saved.
bool ChangePassword(TOperator* op);
}

class TOperatorEditorFrm : public TADlgFrm {
    QZ_CLASS(TOperatorEditorFrm, TADlgFrm)
public:
    explicit TOperatorEditorFrm(TComponent* owner = nullptr);
    TqzEdit* edtUserId1 = nullptr;
    TqzEdit* edtPassword1 = nullptr;
    TqzEdit* edtPassword2 = nullptr;
    TqzEdit* edtName1 = nullptr;
    TqzEdit* edtContact1 = nullptr;
    TqzEdit* edtNote1 = nullptr;
    TCheckListBox* CheckListBox1 = nullptr;

    void AddRight(const std::string& caption, int id);
    void ClearRights();
    void Reset();

    std::string UserId() const { return edtUserId1->GetText(); }
    void SetUserId(const std::string& v);
    std::string Passwd() const { return edtPassword1->GetText(); }
    void SetPasswd(const std::string& v);
    // The checked rights as ",id," one after another, in list order.
    std::string Rights() const;
    void SetRights(const std::string& v);
    std::string EmpName() const { return edtName1->GetText(); }
    void SetEmpName(const std::string& v) { edtName1->SetText(v); }
    std::string EmpTel() const { return edtContact1->GetText(); }
    void SetEmpTel(const std::string& v) { edtContact1->SetText(v); }
    std::string EmpNote() const { return edtNote1->GetText(); }
    void SetEmpNote(const std::string& v) { edtNote1->SetText(v); }

    bool CloseQuery() override;

private:
    std::vector<int> FRightIds;
};

class TListItemEditFrm : public TForm {
    QZ_CLASS(TListItemEditFrm, TForm)
public:
    explicit TListItemEditFrm(TComponent* owner = nullptr);
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TqzMemo* Memo1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;   // kind OK
    TButton* CancelBtn1 = nullptr;
    // The list edited one item a line; true and the list replaced on OK.
    static bool Execute(const std::string& title, TStrings* list);
};
