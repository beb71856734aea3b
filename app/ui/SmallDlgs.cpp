#include "SmallDlgs.h"

#include "Objs.h"
#include "SysUtils.h"
#include "qzLib.h"

QZ_CLASS_IMPL(TCompanyInfoFrm, TADlgFrm)
QZ_CLASS_IMPL(TPasswordChangerFrm, TADlgFrm)
QZ_CLASS_IMPL(TOperatorEditorFrm, TADlgFrm)
QZ_CLASS_IMPL(TListItemEditFrm, TForm)

namespace {

// A captioned edit in a column of the dialog.
TqzEdit* Field(TForm* f, const std::string& caption, int top, int labelWidth = 70, int width = 250)
{
    UiKit::MakeLabel(f, f, caption, 16, top + 3);
    return UiKit::Make<TqzEdit>(f, f, 16 + labelWidth, top, width, 21);
}

}  // namespace

// ---- company -------------------------------------------------------------------------------

TCompanyInfoFrm::TCompanyInfoFrm(TComponent* owner) : TADlgFrm(owner)
{
    SetName("CompanyInfoFrm");
    SetCaption("公司信息");
    SetClientSize(420, 340);
    edtCompanyName1 = Field(this, "企业名称", 14);
    edtLawman1 = Field(this, "负责人", 42);
    edtTel1 = Field(this, "联系电话", 70);
    edtFax1 = Field(this, "传真号码", 98);
    edtAddress1 = Field(this, "地址", 126);
    edtZip1 = Field(this, "邮编", 154);
    UiKit::MakeLabel(this, this, "公司简介", 16, 185);
    mmProfile1 = UiKit::Make<TqzMemo>(this, this, 86, 182, 318, 100);
    PlaceButtons();
}

void TCompanyInfoFrm::LoadFrom(const TCompany& c)
{
    edtCompanyName1->SetText(c.CompanyName);
    edtLawman1->SetText(c.Manager);
    edtTel1->SetText(c.Tel);
    edtFax1->SetText(c.Fax);
    edtAddress1->SetText(c.Address);
    edtZip1->SetText(c.Zip);
    mmProfile1->SetText(c.Profile);
}

void TCompanyInfoFrm::SaveTo(TCompany& c) const
{
    c.CompanyName = edtCompanyName1->GetText();
    c.Manager = edtLawman1->GetText();
    c.Tel = edtTel1->GetText();
    c.Fax = edtFax1->GetText();
    c.Address = edtAddress1->GetText();
    c.Zip = edtZip1->GetText();
    c.Profile = mmProfile1->GetText();
}

namespace CompanyInfo {

void Edit(TCompany* company, bool readOnly)
{
    std::unique_ptr<TCompanyInfoFrm> f(new TCompanyInfoFrm(nullptr));
    f->OkBtn1->SetEnabled(!readOnly);
    f->LoadFrom(*company);
    while (f->ShowModal() == mrOk) {
        f->SaveTo(*company);
        try {
            company->Save();
            break;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
            // The object goes back to what is stored; the dialog keeps what was typed.
            company->Load();
        }
    }
}

}  // namespace CompanyInfo

// ---- password ------------------------------------------------------------------------------

TPasswordChangerFrm::TPasswordChangerFrm(TComponent* owner) : TADlgFrm(owner)
{
    SetName("PasswordChangerFrm");
    SetCaption("更改密码");
    SetClientSize(330, 180);
    edtUser1 = Field(this, "当前用户", 14, 80, 220);
    edtUser1->SetEnabled(false);
    edtPassword1 = Field(this, "当前密码", 42, 80, 220);
    edtNewPassword1 = Field(this, "新密码", 70, 80, 220);
    edtNewPassword2 = Field(this, "新密码验证", 98, 80, 220);
    for (auto* e : {edtPassword1, edtNewPassword1, edtNewPassword2}) e->SetPasswordChar('*');
    PlaceButtons();
}

bool TPasswordChangerFrm::CloseQuery()
{
    if (!TADlgFrm::CloseQuery()) return false;
    if (ModalResult() == mrOk && edtNewPassword1->GetText() != edtNewPassword2->GetText()) {
        ShowMessage("两次输入的新密码不一样,请确认并重新输入.");
        edtNewPassword1->SetText("");
        edtNewPassword2->SetText("");
        if (edtNewPassword1->CanFocus()) edtNewPassword1->SetFocus();
        return false;
    }
    return true;
}

namespace PasswordChanger {

bool ChangePassword(TOperator* op)
{
    std::unique_ptr<TPasswordChangerFrm> f(new TPasswordChangerFrm(nullptr));
    f->edtUser1->SetText(op->LoginId);
    while (f->ShowModal() == mrOk) {
        if (f->edtPassword1->GetText() != op->Password) {
            qzLib::ShowInfo("当前密码验证失败,请确认并重新输入.");
            continue;
        }
        const std::string pw = f->edtNewPassword1->GetText();
        try {
            op->SavePassword(pw);
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
            continue;
        }
        op->Password = pw;
        qzLib::ShowInfo("密码更改成功! 下次登陆时请使用新密码.");
        return true;
    }
    return false;
}

}  // namespace PasswordChanger

// ---- operator editor -----------------------------------------------------------------------

TOperatorEditorFrm::TOperatorEditorFrm(TComponent* owner) : TADlgFrm(owner)
{
    SetName("OperatorEditorFrm");
    SetCaption("操作员属性");
    SetClientSize(520, 260);
    edtUserId1 = Field(this, "登陆名", 14, 60, 170);
    edtPassword1 = Field(this, "密码", 42, 60, 170);
    edtPassword2 = Field(this, "验证密码", 70, 60, 170);
    edtPassword1->SetPasswordChar('*');
    edtPassword2->SetPasswordChar('*');
    edtName1 = Field(this, "姓名", 98, 60, 170);
    edtContact1 = Field(this, "联系方式", 126, 60, 170);
    edtNote1 = Field(this, "备注", 154, 60, 170);
    UiKit::MakeLabel(this, this, "权限", 264, 14);
    CheckListBox1 = UiKit::Make<TCheckListBox>(this, this, 264, 32, 240, 160);
    CheckListBox1->OnDblClick = [this](TObject*) {
        const int i = CheckListBox1->ItemIndex();
        if (i >= 0) CheckListBox1->SetChecked(i, !CheckListBox1->Checked(i));
    };
    PlaceButtons();
    ClearRights();
    Reset();
}

void TOperatorEditorFrm::AddRight(const std::string& caption, int id)
{
    CheckListBox1->Items()->Add(caption);
    FRightIds.push_back(id);
}

void TOperatorEditorFrm::ClearRights()
{
    CheckListBox1->Items()->Clear();
    FRightIds.clear();
}

void TOperatorEditorFrm::Reset()
{
    for (auto* e : {edtUserId1, edtPassword1, edtPassword2, edtName1, edtContact1, edtNote1}) e->SetText("");
    for (int i = 0; i < CheckListBox1->Items()->Count(); ++i) CheckListBox1->SetChecked(i, false);
    edtUserId1->SetEnabled(true);
    edtUserId1->SetColor(clWindow);
}

void TOperatorEditorFrm::SetUserId(const std::string& v)
{
    edtUserId1->SetText(v);
    if (!v.empty()) {
        edtUserId1->SetEnabled(false);
        edtUserId1->SetColor(Color());
    }
}

void TOperatorEditorFrm::SetPasswd(const std::string& v)
{
    edtPassword1->SetText(v);
    edtPassword2->SetText(v);
}

std::string TOperatorEditorFrm::Rights() const
{
    std::string s;
    for (size_t i = 0; i < FRightIds.size(); ++i)
        if (CheckListBox1->Checked(int(i))) s = Format("%s,%d,", {s, FRightIds[i]});
    return s;
}

void TOperatorEditorFrm::SetRights(const std::string& v)
{
    for (size_t i = 0; i < FRightIds.size(); ++i)
        CheckListBox1->SetChecked(int(i), v.find(Format(",%d,", {FRightIds[i]})) != std::string::npos);
}

bool TOperatorEditorFrm::CloseQuery()
{
    if (!TADlgFrm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    if (edtUserId1->GetText().empty()) {
        qzLib::ShowInfo("必须填写登陆名.");
        if (edtUserId1->CanFocus()) edtUserId1->SetFocus();
        return false;
    }
    if (edtPassword1->GetText() != edtPassword2->GetText()) {
        qzLib::ShowInfo("两次输入的密码不一样,请重新输入.");
        edtPassword1->SetText("");
        edtPassword2->SetText("");
        if (edtPassword1->CanFocus()) edtPassword1->SetFocus();
        return false;
    }
    return true;
}

// ---- list item editor ----------------------------------------------------------------------

TListItemEditFrm::TListItemEditFrm(TComponent* owner) : TForm(owner)
{
    SetName("ListItemEditFrm");
    SetCaption("选项");
    SetBorderStyle(fbsDialog);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    SetClientSize(300, 320);
    PageControl1 = UiKit::Make<TPageControl>(this, this, 8, 8, 284, 266);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetPageControl(PageControl1);
    Memo1 = UiKit::Make<TqzMemo>(this, TabSheet1, 4, 4, 268, 228);
    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetParent(this);
    BitBtn1->SetKind(::bkOK);
    BitBtn1->SetBounds(128, 284, 75, 25);
    BitBtn1->SetModalResult(mrOk);
    CancelBtn1 = UiKit::MakeButton(this, this, "取消", 214, 284);
    CancelBtn1->SetModalResult(mrCancel);
    CancelBtn1->SetCancel(true);
}

bool TListItemEditFrm::Execute(const std::string& title, TStrings* list)
{
    std::unique_ptr<TListItemEditFrm> f(new TListItemEditFrm(nullptr));
    f->TabSheet1->SetCaption(title);
    f->Memo1->Lines()->Assign(list);
    if (f->ShowModal() != mrOk) return false;
    list->Assign(f->Memo1->Lines());
    return true;
}
