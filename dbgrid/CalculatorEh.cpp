#include "CalculatorEh.h"

#include "Clipbrd.h"
#include "SysUtils.h"

#include <cmath>

QZ_CLASS_IMPL(TCalculatorEh, TCustomControl)
QZ_CLASS_IMPL(TPopupCalculatorEh, TCalculatorEh)

namespace {

struct TCalcKeyDef {
    int Tag;
    const char* Caption;
    char Char;
    int Left, Top, Width, Height;
    bool Red;
};

// In the order they are made: "Cancel" first, so that "C" covers it.
const TCalcKeyDef CalcKeys[] = {
    {12, "Cancel", 'A', 151, 52, 27, 23, true}, {1, "7", '7', 6, 29, 27, 22, false},
    {2, "8", '8', 35, 29, 27, 22, false},       {3, "9", '9', 64, 29, 27, 22, false},
    {4, "/", '/', 93, 29, 27, 22, true},        {5, "sqrt", 'S', 122, 29, 27, 22, false},
    {6, "C", 'C', 151, 29, 27, 46, true},       {7, "4", '4', 6, 53, 27, 22, false},
    {8, "5", '5', 35, 53, 27, 22, false},       {9, "6", '6', 64, 53, 27, 22, false},
    {10, "*", '*', 93, 53, 27, 22, true},       {11, "%", '%', 122, 53, 27, 22, false},
    {13, "1", '1', 6, 77, 27, 22, false},       {14, "2", '2', 35, 77, 27, 22, false},
    {15, "3", '3', 64, 77, 27, 22, false},      {16, "-", '-', 93, 77, 27, 22, true},
    {17, "1/x", 'R', 122, 77, 27, 22, false},   {18, "<-", '\b', 151, 77, 27, 22, true},
    {19, "0", '0', 6, 101, 27, 22, false},      {20, "+/-", 'I', 35, 101, 27, 22, false},
    {21, ".", '.', 64, 101, 27, 22, false},     {22, "+", '+', 93, 101, 27, 22, true},
    {23, "Ok", '=', 122, 101, 56, 22, true},
};

constexpr int CalcClientWidth = 184;
constexpr int CalcClientHeight = 127;

std::string FormatCalcValue(double v) { return FloatToStrF(v, ffGeneral, 15, 0); }

}  // namespace

TCalculatorEh::TCalculatorEh(TComponent* owner) : TCustomControl(owner)
{
    SetColor(clBtnFace);
    Font()->SetHeight(-11);
    SetBounds(Left(), Top(), CalcClientWidth, CalcClientHeight);
    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBorderWidth(2);
    Panel1->SetColor(clHighlightText);
    Panel1->SetBounds(6, 4, 171, 19);
    TextBox = new TLabel(this);
    TextBox->SetParent(Panel1);
    TextBox->SetAutoSize(false);
    TextBox->SetAlignment(taRightJustify);
    TextBox->SetLayout(tlCenter);
    TextBox->SetBounds(2, 1, 166, 17);
    TextBox->SetCaption("0");
    FKeys.assign(24, nullptr);
    for (const TCalcKeyDef& d : CalcKeys) {
        auto* b = new TSpeedButtonEh(this);
        b->SetParent(this);
        b->SetBounds(d.Left, d.Top, d.Width, d.Height);
        b->SetTag(d.Tag);
        b->SetCaption(d.Caption);
        b->Font()->SetColor(d.Red ? clRed : clBlue);
        b->SetFlat(true);
        b->SetTransparent(false);
        b->SetLayout(blGlyphRight);
        b->SetStyle(ebsGlyphEh);
        b->SetActive(true);
        b->OnClick = [this](TObject* sender) { SpeedButtonClick(sender); };
        FKeys[size_t(d.Tag)] = b;
    }
    spEqual = FKeys[23];
}

TCalculatorEh::~TCalculatorEh() = default;

TSpeedButtonEh* TCalculatorEh::Key(int tag) const
{
    return tag >= 1 && tag <= 23 ? FKeys[size_t(tag)] : nullptr;
}

char TCalculatorEh::KeyChar(int tag)
{
    for (const TCalcKeyDef& d : CalcKeys)
        if (d.Tag == tag) return d.Char;
    return 0;
}

void TCalculatorEh::SpeedButtonClick(TObject* sender)
{
    if (auto* c = DynamicCast<TComponent>(sender)) HandleCalcKey(KeyChar(int(c->Tag())));
}

double TCalculatorEh::DisplayValue() const
{
    if (FStatus == csErrorEh) return 0;
    return StrToFloat(Trim(DisplayText()));
}

void TCalculatorEh::SetDisplayValue(double v) { SetDisplayText(FormatCalcValue(v)); }

void TCalculatorEh::Reset()
{
    FStatus = csFirstEh;
    SetDisplayText("0");
    FOperator = '=';
    FOperand = 0;
}

void TCalculatorEh::Error()
{
    FStatus = csErrorEh;
    SetDisplayText("Error");
}

void TCalculatorEh::CheckFirst()
{
    if (FStatus != csFirstEh) return;
    FStatus = csValidEh;
    SetDisplayText("0");
}

void TCalculatorEh::HandleCalcKey(char key)
{
    key = char(std::toupper(static_cast<unsigned char>(key)));
    // After an error only C brings the calculator back.
    if (FStatus == csErrorEh && key != 'C') key = 0;
    const char sep = FormatSettings.DecimalSeparator;
    std::string text = DisplayText();
    if (key != 0 && (key == sep || key == ',' || key == '.')) {
        CheckFirst();
        if (DisplayText().find(sep) == std::string::npos) SetDisplayText(DisplayText() + sep);
    } else if (key >= '0' && key <= '9') {
        CheckFirst();
        if (DisplayText() == "0") SetDisplayText("");
        text = DisplayText();
        const size_t limit = !text.empty() && text[0] == '-' ? 16 : 15;
        if (text.find('E') == std::string::npos && text.size() < limit) SetDisplayText(text + key);
    } else if (key == '\b') {
        CheckFirst();
        text = DisplayText();
        if (text.size() > 1 && !(text.size() == 2 && text[0] == '-')) {
            text.pop_back();
            SetDisplayText(text);
        } else {
            SetDisplayText("0");
        }
    } else if (key == '\r' || key == '%' || key == '*' || key == '+' || key == '-' || key == '/' || key == '=') {
        if (FStatus == csValidEh) {
            FStatus = csFirstEh;
            double x = DisplayValue();
            if (key == '%') {
                if (FOperator == '*' || FOperator == '/') x /= 100;
                else if (FOperator == '+' || FOperator == '-') x = FOperand * x / 100;
            }
            switch (FOperator) {
            case '*':
                SetDisplayValue(FOperand * x);
                break;
            case '+':
                SetDisplayValue(FOperand + x);
                break;
            case '-':
                SetDisplayValue(FOperand - x);
                break;
            case '/':
                if (x != 0) SetDisplayValue(FOperand / x);
                else Error();
                break;
            default:
                break;
            }
        }
        FOperator = key;
        FOperand = DisplayValue();
    } else if (key == 3) {
        Clipboard()->SetAsText(DisplayText());
    } else if (key == 22) {
        // Text that is no number leaves the display as it was.
        double v = 0;
        if (Clipboard()->HasFormat(CF_TEXT) && TryStrToFloat(Trim(Clipboard()->AsText()), v)) {
            SetDisplayValue(v);
        } else {
            MessageBeep(0);
        }
    } else if (key == 27 || key == 'C') {
        Reset();
    } else if (key == 'I') {
        SetDisplayValue(-DisplayValue());
    } else if (key == 'R') {
        FStatus = csFirstEh;
        const double v = DisplayValue();
        if (v == 0) Error();
        else SetDisplayValue(1 / v);
    } else if (key == 'S') {
        FStatus = csFirstEh;
        const double v = DisplayValue();
        if (v < 0) Error();
        else SetDisplayValue(std::sqrt(v));
    }
    UpdateEqualCaption();
}

void TCalculatorEh::UpdateEqualCaption()
{
    const bool pending = FOperator == '*' || FOperator == '+' || FOperator == '-' || FOperator == '/';
    spEqual->SetCaption(FOperand != 0 && FStatus == csValidEh && pending ? "=" : "Ok");
}

void TCalculatorEh::KeyPress(char& key)
{
    inherited::KeyPress(key);
    if (key) HandleCalcKey(key);
}

bool TCalculatorEh::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    if (FStatus != csErrorEh && wheelDelta != 0) SetDisplayValue(DisplayValue() + (wheelDelta < 0 ? -1 : 1));
    return true;
}

TPopupCalculatorEh::TPopupCalculatorEh(TComponent* owner) : TCalculatorEh(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetCtl3D(true);
    SetParentCtl3D(false);
    SetTabStop(false);
    for (int tag = 1; tag <= 23; ++tag) Key(tag)->SetFlat(FFlat);
    SetBounds(Left(), Top(), CalcClientWidth + 2 * FrameWidth(), CalcClientHeight + 2 * FrameWidth());
}

bool TPopupCalculatorEh::EnterAccepts() const { return EqualKey()->Caption() == "Ok"; }

void TPopupCalculatorEh::SetFlat(bool v)
{
    if (v == FFlat) return;
    FFlat = v;
    for (int tag = 1; tag <= 23; ++tag) Key(tag)->SetFlat(v);
}

Variant TPopupCalculatorEh::PopupValue() const
{
    if (EntryState() == csErrorEh) return Variant::FromError(-1);
    return Variant(DisplayValue());
}

void TPopupCalculatorEh::SetPopupValue(const Variant& v)
{
    Reset();
    double d = 0;
    // A value that is no number (a text a user typed) starts from 0 rather
    // than failing to open.
    if (VarIsNull(v) || VarIsEmpty(v)) {
        d = 0;
    } else if (VarIsNumeric(v)) {
        d = double(v);
    } else if (!TryStrToFloat(Trim(VarToStr(v)), d)) {
        d = 0;
    }
    SetDisplayValue(d);
    UpdateEqualCaption();
}

void TPopupCalculatorEh::Close(bool accept)
{
    if (auto handler = CloseUp) handler(accept);
}

void TPopupCalculatorEh::HandleCalcKey(char key)
{
    if ((key == '\r' || key == '=') && EnterAccepts()) {
        Close(true);
        return;
    }
    TCalculatorEh::HandleCalcKey(key);
}

void TPopupCalculatorEh::KeyDown(WORD& key, TShiftState shift)
{
    inherited::KeyDown(key, shift);
    if (key == VK_ESCAPE) {
        key = 0;
        Close(false);
    }
}

void TPopupCalculatorEh::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return;
    case WM_CLOSEPOPUPEH:
        Close(false);
        return;
    case CM_WANTSPECIALKEY:
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) {
            Close(m.WParam == VK_RETURN);
            m.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::WndProc(m);
}
