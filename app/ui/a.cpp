#include "a.h"

#include "HostServices.h"
#include "SysUtils.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TaFrm, TForm)
QZ_CLASS_IMPL(TADlgFrm, TaFrm)
QZ_CLASS_IMPL(TAInfoDlgFrm, TaFrm)

namespace {
constexpr TColor kWindowFont = clWindowText;
}

TaFrm::TaFrm(TComponent* owner) : TForm(owner)
{
    SetCaption("aFrm");
    SetKeyPreview(true);
    SetColor(clBtnFace);
    Font()->SetName("宋体");
    Font()->SetSize(9);
    Font()->SetColor(kWindowFont);
}

TPoint TaFrm::PlaceAtMouse(TPoint mouse, int screenWidth, int screenHeight, int width, int height)
{
    int top = mouse.Y - height / 2;
    if (top < 0) top = 20;
    else if (top + height > screenHeight - 50) top = screenHeight - height - 50;
    int left = mouse.X - width / 2;
    if (left < 0) left = 20;
    else if (left > screenWidth - width - 20) left = screenWidth - width - 20;
    return Point(left, top);
}

int TaFrm::BorderHitTest(int x, int y, int width, int height)
{
    if (x <= 9 && y <= 9) return HTTOPLEFT;
    if (x > width - 10 && y < 10) return HTTOPRIGHT;
    if (x > width - 10 && y > height - 10) return HTBOTTOMRIGHT;
    if (x < 10 && y > height - 10) return HTBOTTOMLEFT;
    if (x <= 4) return HTLEFT;
    if (y <= 4) return HTTOP;
    if (x > width - 5) return HTRIGHT;
    if (y > height - 5) return HTBOTTOM;
    return 0;
}

std::string TaFrm::HelpTopic(const std::string& formName)
{
    return formName.size() < 3 ? std::string() : formName.substr(0, formName.size() - 3);
}

void TaFrm::ShowHelp(const std::string& topic)
{
    // The help pages are HTML files in the help folder beside the program,
    // one per topic; the desktop's browser shows them.
    const std::string t = topic.empty() ? HelpTopic(Name()) : topic;
    ShellExecute("open", Format("%s/help/%s.htm", {qzProj::ProgramFolder(), t}), "", "", SW_SHOW);
}

void TaFrm::DoShow()
{
    // Only a form that leaves its position to the designer follows the mouse;
    // the others are placed by their position setting, which comes after.
    if ((FormStyle() == fsNormal || FormStyle() == fsStayOnTop) && Position() == poDesigned && Screen) {
        TPoint mouse;
        GetCursorPos(&mouse);
        const TPoint p = PlaceAtMouse(mouse, Screen->Width(), Screen->Height(), Width(), Height());
        SetTop(p.Y);
        SetLeft(p.X);
    }
    TForm::DoShow();
}

void TaFrm::KeyDown(WORD& key, TShiftState shift)
{
    TForm::KeyDown(key, shift);
    if (key == VK_F1) {
        ShowHelp("");
        key = 0;
    }
}

void TaFrm::Dispatch(TMessage& m)
{
    if (m.Msg == WM_NCHITTEST && BorderStyle() == fbsNone) {
        const TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        if (int hit = BorderHitTest(p.X, p.Y, Width(), Height())) {
            m.Result = hit;
            return;
        }
    }
    TForm::Dispatch(m);
}

// ---- dialogs -------------------------------------------------------------------------------

TADlgFrm::TADlgFrm(TComponent* owner) : TaFrm(owner)
{
    SetBorderStyle(fbsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientSize(380, 200);
    Bevel1 = new TBevel(this);
    Bevel1->SetParent(this);
    Bevel1->SetShape(bsTopLine);
    OkBtn1 = UiKit::MakeButton(this, this, "确定(&O)", 0, 0);
    OkBtn1->SetModalResult(mrOk);
    CancelBtn1 = UiKit::MakeButton(this, this, "取消", 0, 0);
    CancelBtn1->SetCancel(true);
    CancelBtn1->SetModalResult(mrCancel);
    HelpBtn1 = UiKit::MakeButton(this, this, "帮助", 0, 0);
    HelpBtn1->OnClick = [this](TObject*) { ShowHelp(""); };
    PlaceButtons();
}

void TADlgFrm::PlaceButtons()
{
    const int w = ClientWidth(), h = ClientHeight();
    Bevel1->SetBounds(8, h - 41, w - 16, 2);
    HelpBtn1->SetBounds(w - 83, h - 33, 75, 25);
    CancelBtn1->SetBounds(w - 163, h - 33, 75, 25);
    OkBtn1->SetBounds(w - 243, h - 33, 75, 25);
}

void TADlgFrm::Resize()
{
    TaFrm::Resize();
    if (HelpBtn1) PlaceButtons();
}

TAInfoDlgFrm::TAInfoDlgFrm(TComponent* owner) : TaFrm(owner)
{
    SetBorderStyle(fbsDialog);
    SetPosition(poMainFormCenter);
    SetClientSize(380, 200);
    CloseBtn1 = UiKit::MakeButton(this, this, "关闭", 0, 0);
    CloseBtn1->SetCancel(true);
    CloseBtn1->SetModalResult(mrCancel);
    HelpBtn1 = UiKit::MakeButton(this, this, "帮助", 0, 0);
    HelpBtn1->OnClick = [this](TObject*) { ShowHelp(""); };
    Resize();
}

void TAInfoDlgFrm::Resize()
{
    TaFrm::Resize();
    if (!HelpBtn1) return;
    const int w = ClientWidth(), h = ClientHeight();
    HelpBtn1->SetBounds(w - 83, h - 33, 75, 25);
    CloseBtn1->SetBounds(w - 163, h - 33, 75, 25);
}

namespace UiKit {

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top)
{
    auto* l = new TLabel(owner);
    l->SetParent(parent);
    l->SetLeft(left);
    l->SetTop(top);
    l->SetCaption(caption);
    return l;
}

void DrawBadge(TBitmap* bmp, TColor colour, bool person)
{
    bmp->SetSize(32, 32);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 32, 32));
    c->Brush()->SetColor(colour);
    c->Pen()->SetColor(colour);
    if (person) {
        c->Ellipse(10, 3, 22, 15);
        c->RoundRect(5, 16, 27, 31, 8, 8);
    } else {
        c->Ellipse(3, 8, 17, 22);
        c->Rectangle(15, 13, 30, 17);
        c->Rectangle(24, 17, 27, 22);
        c->Brush()->SetColor(clWhite);
        c->Ellipse(7, 12, 13, 18);
    }
}

TButton* MakeButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top,
                    int width, int height)
{
    auto* b = new TButton(owner);
    b->SetParent(parent);
    b->SetBounds(left, top, width, height);
    b->SetCaption(caption);
    return b;
}

}  // namespace UiKit
