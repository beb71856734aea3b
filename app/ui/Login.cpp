#include "Login.h"

#include "Graphics.h"
#include "Objs.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TLoginFrm, TADlgFrm)

namespace Login {

void CopyOperator(const TOperator& from, TOperator& to)
{
    to.LoginId = from.LoginId;
    to.Password = from.Password;
    to.Name = from.Name;
    to.Contact = from.Contact;
    to.Note = from.Note;
    to.Rights = from.Rights;
}

bool RunLogin()
{
    std::unique_ptr<TLoginFrm> f(new TLoginFrm(Application));
    return f->ShowModal() == mrOk;
}

bool LoginStep(bool firstTime, const std::vector<std::string>& args)
{
    if (firstTime && args.size() == 3) {
        // Checked on a scratch operator: the logged-in one changes only
        // once the password matched.
        TOperator candidate;
        if (candidate.Load(args[0]) && candidate.LoginId == args[0] && candidate.CheckPassword(args[1])) {
            CopyOperator(candidate, *GOperator);
            return true;
        }
    }
    return RunLogin();
}

}  // namespace Login

namespace {

void SetBadge(TImage* img, TColor colour, bool person)
{
    TBitmap bmp;
    UiKit::DrawBadge(&bmp, colour, person);
    img->Picture()->SetGraphic(&bmp);
}

}  // namespace

TLoginFrm::TLoginFrm(TComponent* owner) : TADlgFrm(owner), FOperator(std::make_unique<TOperator>())
{
    SetName("LoginFrm");
    SetCaption("登陆");
    SetBorderIcons({});
    SetPosition(poScreenCenter);
    SetClientSize(351, 226);
    Shape1 = UiKit::Make<TShape>(this, this, 0, 0, 351, 56);
    Shape1->Brush()->SetColor(clWhite);
    Shape1->Pen()->SetColor(clWhite);
    Image1 = UiKit::Make<TImage>(this, this, 14, 12, 32, 32);
    SetBadge(Image1, TColor(0x00A0E0), false);
    Image2 = UiKit::Make<TImage>(this, this, 305, 12, 32, 32);
    SetBadge(Image2, TColor(0xC08040), true);
    Label5 = UiKit::MakeLabel(this, this, "请输入您的用户名和密码:", 60, 22);
    Label5->SetTransparent(true);
    Label5->Font()->SetStyle({fsBold});
    Bevel2 = UiKit::Make<TBevel>(this, this, 0, 56, 351, 2);
    Bevel2->SetShape(bsTopLine);
    Label1 = UiKit::MakeLabel(this, this, "用户名(&U)", 60, 84);
    edtLoginId1 = UiKit::Make<TComboBox>(this, this, 140, 80, 160, 21);
    Label1->SetFocusControl(edtLoginId1);
    Label2 = UiKit::MakeLabel(this, this, "密码(&P)", 60, 120);
    edtPassword1 = UiKit::Make<TEdit>(this, this, 140, 116, 160, 21);
    edtPassword1->SetPasswordChar('*');
    Label2->SetFocusControl(edtPassword1);
    edtPassword1->OnKeyPress = [this](TObject*, char& key) {
        if (key == '\r') {
            key = 0;
            OkBtn1->Click();
        }
    };
    edtPassword1->SetTabOrder(0);
    PlaceButtons();

    TOperatorSet ops;
    ops.Open();
    edtLoginId1->Items()->SetText(ops.JoinField(ops.UserIdField, "\n"));
    const std::string last = TConfiger::GetLastLoginId();
    edtLoginId1->SetText(last.empty() ? std::string("sa") : last);
    SetActiveControl(edtPassword1);
}

TLoginFrm::~TLoginFrm() = default;

bool TLoginFrm::CloseQuery()
{
    if (!TADlgFrm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    const std::string id = edtLoginId1->GetText();
    // The operator loaded must be the one typed: a failed load must never
    // leave an earlier attempt's operator to check the password against.
    const bool ok = FOperator->Load(id) && FOperator->LoginId == id &&
                    FOperator->CheckPassword(edtPassword1->GetText());
    if (!ok) {
        if (edtPassword1->CanFocus()) edtPassword1->SetFocus();
        edtPassword1->SelectAll();
        return false;
    }
    Login::CopyOperator(*FOperator, *GOperator);
    TConfiger::SetLastLoginId(id);
    return true;
}
