#include "cxCalc.h"

#include "Clipbrd.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "cxSpinEdit.h"

#include <algorithm>
#include <cmath>

using cxClasses::GetResourceString;

const TcxResourceStringRec scxSCalcError = {"scxSCalcError", "Error"};

QZ_CLASS_IMPL(TcxCustomCalculator, TcxControl)

namespace {

struct TButtonDef {
    const char* Text;
    TColor Color;
};
// clMaroon, clRed, clBlue and clNavy by button.
const TButtonDef GButtonDefs[cxCalcButtonCount] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},
    {"MC", clRed},      {"MR", clRed},    {"MS", clRed},   {"M+", clRed},
    {"0", clBlue},      {"1", clBlue},    {"2", clBlue},   {"3", clBlue},  {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},   {"8", clBlue},  {"9", clBlue},
    {"+/-", clBlue},    {".", clBlue},
    {"/", clRed},       {"*", clRed},     {"-", clRed},    {"+", clRed},
    {"sqrt", clNavy},   {"%", clNavy},    {"1/x", clNavy}, {"=", clRed},
};

bool IsArithmetic(TcxCalcButtonKind K) { return K == cbDiv || K == cbMul || K == cbSub || K == cbAdd; }

}  // namespace

namespace cxCalc {
std::string FormatValue(long double AValue, int APrecision)
{
    return FloatToStrF(double(AValue), ffGeneral, std::max(2, APrecision), 0);
}
}  // namespace cxCalc

TcxCustomCalculator::TcxCustomCalculator(TComponent* AOwner) : TcxControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetWantedKeys(TcxWantedKeys::FromInt(15));
    for (int i = 0; i < cxCalcButtonCount; ++i) {
        FButtons[size_t(i)].Kind = TcxCalcButtonKind(i);
        FButtons[size_t(i)].Text = GButtonDefs[i].Text;
        FButtons[size_t(i)].FontColor = GButtonDefs[i].Color;
    }
    SetBounds(Left(), Top(), FCalcWidth, FCalcHeight);
    CreateLayout();
}

TcxCustomLookAndFeelPainterClass TcxCustomCalculator::GetPainter() const { return LookAndFeelPainter(); }

void TcxCustomCalculator::HidePopup()
{
    if (OnHidePopup) OnHidePopup();
}

// ---- layout and size -------------------------------------------------------------------------------------

void TcxCustomCalculator::CreateLayout()
{
    const int bw = FButtonWidth, bh = FButtonHeight, gx = FHorzGap, gy = FVertGap;
    auto row = [&](int r) { return std::pair<int, int>{r * (bh + gy) + gy, (r + 1) * (bh + gy)}; };
    const TcxCalcButtonKind memory[4] = {cbMC, cbMR, cbMS, cbMP};
    for (int r = 1; r <= 4; ++r) {
        auto [top, bottom] = row(r);
        FButtons[memory[r - 1]].Bounds = TRect{gx, top, gx + bw, bottom};
    }
    const TcxCalcButtonKind grid[4][5] = {
        {cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
        {cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
        {cbNum1, cbNum2, cbNum3, cbSub, cbRev},
        {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual},
    };
    const int offset = bw + 2 * gx + 4;
    for (int r = 1; r <= 4; ++r) {
        auto [top, bottom] = row(r);
        for (int c = 0; c < 5; ++c) {
            int left = gx + offset + c * (bw + gx);
            FButtons[grid[r - 1][c]].Bounds = TRect{left, top, left + bw, bottom};
        }
    }
    auto [top, bottom] = row(0);
    int right = FButtons[cbEqual].Bounds.Right;
    FButtons[cbClear].Bounds = TRect{right - FWideButtonWidth, top, right, bottom};
    right = FButtons[cbClear].Bounds.Left - gy;
    FButtons[cbCancel].Bounds = TRect{right - FWideButtonWidth, top, right, bottom};
    right = FButtons[cbCancel].Bounds.Left - gy;
    FButtons[cbBack].Bounds = TRect{right - FWideButtonWidth, top, right, bottom};
    FButtons[cbDecimal].Text = std::string(1, FormatSettings.DecimalSeparator);
    FState = csValue;
    FLastOperator = cbEqual;
    FMemory = 0;
    UpdateMemoryButtons();
}

void TcxCustomCalculator::CalcSizeFor(int AButtonHeight)
{
    FButtonHeight = AButtonHeight;
    FButtonWidth = MulDiv(FButtonHeight, 28, 22);
    FHorzGap = FVertGap = MulDiv(FButtonHeight, 3, 22);
    FWideButtonWidth = MulDiv(FButtonWidth, 17, 10);
    FFontSize = MulDiv(FButtonHeight, 8, 22);
    FCalcHeight = 5 * FButtonHeight + 6 * FVertGap;
    FCalcWidth = 6 * FButtonWidth + 8 * FHorzGap + 4;
}

void TcxCustomCalculator::Resize()
{
    if (FSizing) return;
    int bh;
    if (FAutoFontSize) {
        // The button height (never below 22) whose keypad comes closest to
        // the height the client offers.
        int target = std::min(ClientHeight(), MulDiv(ClientWidth(), 131, 198));
        auto total = [](int b) { return 5 * b + 6 * MulDiv(b, 3, 22); };
        bh = 22;
        while (std::abs(total(bh + 1) - target) < std::abs(total(bh) - target)) ++bh;
    } else {
        bh = 2 * std::abs(Canvas()->FontHeight(Font()));
        if (bh <= 0) bh = 22;
    }
    CalcSizeFor(bh);
    long double memory = FMemory;
    TcxCalcState state = FState;
    TcxCalcButtonKind last = FLastOperator;
    CreateLayout();
    // Sizing is no calculation: what was pending stays.
    FMemory = memory;
    FState = state;
    FLastOperator = last;
    UpdateMemoryButtons();
    FSizing = true;
    try {
        if (ClientWidth() != FCalcWidth || ClientHeight() != FCalcHeight)
            SetBounds(Left(), Top(), FCalcWidth + Width() - ClientWidth(), FCalcHeight + Height() - ClientHeight());
    } catch (...) {
        FSizing = false;
        throw;
    }
    FSizing = false;
    TcxControl::Resize();
    Invalidate();
}

void TcxCustomCalculator::SetAutoFontSize(bool Value)
{
    if (FAutoFontSize == Value) return;
    FAutoFontSize = Value;
    Resize();
}

void TcxCustomCalculator::SetShowFocusRect(bool Value)
{
    if (FShowFocusRect == Value) return;
    FShowFocusRect = Value;
    InvalidateButton(cbEqual);
}

void TcxCustomCalculator::FontChanged()
{
    TcxControl::FontChanged();
    if (!ComponentState().Contains(csLoading)) SetParentFont(false);
    Resize();
}

void TcxCustomCalculator::FocusChanged()
{
    TcxControl::FocusChanged();
    InvalidateButton(cbEqual);
}

void TcxCustomCalculator::CMEnabledChanged(TMessage& Message)
{
    TcxControl::Dispatch(Message);
    Invalidate();
}

// ---- painting ---------------------------------------------------------------------------------------------------

TcxButtonState TcxCustomCalculator::ButtonState(TcxCalcButtonKind AKind) const
{
    const TcxCalcButtonInfo& b = FButtons[AKind];
    if (b.Grayed || !Enabled()) return cxbsDisabled;
    if (b.Down) return cxbsPressed;
    if (AKind == FHotButton && AKind != FMousePressedButton) return cxbsHot;
    if (AKind == cbEqual && Focused()) return cxbsDefault;
    return cxbsNormal;
}

void TcxCustomCalculator::Paint()
{
    TcxCanvas* c = Canvas();
    c->FillRect(FIsPopup ? ClientRect() : TRect{0, 0, Width(), Height()}, Color());
    c->SetFont(Font());
    if (FAutoFontSize) c->Font()->SetSize(FFontSize);
    if (c->Font()->Size() >= 10) c->Font()->SetStyle(TFontStyles(c->Font()->Style()).Include(fsBold));
    TcxCustomLookAndFeelPainterClass painter = GetPainter();
    for (const TcxCalcButtonInfo& b : FButtons) {
        TcxButtonState state = ButtonState(b.Kind);
        painter->PaintButton(c, b.Bounds, b.Text, state, true, clDefault,
                             state == cxbsDisabled ? clBtnShadow : b.FontColor);
        if (b.Kind == cbEqual && FShowFocusRect && Focused()) {
            TRect r = b.Bounds;
            InflateRect(r, -3, -3);
            c->DrawFocusRect(r);
        }
    }
}

void TcxCustomCalculator::InvalidateButton(TcxCalcButtonKind AKind)
{
    if (AKind != cbNone && HandleAllocated()) InvalidateRect(FButtons[AKind].Bounds, false);
}

// ---- mouse -----------------------------------------------------------------------------------------------------

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindAt(const TPoint& P) const
{
    for (const TcxCalcButtonInfo& b : FButtons)
        if (PtInRect(b.Bounds, P)) return b.Kind;
    return cbNone;
}

void TcxCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!IsDesigning() && !FIsPopup && CanFocus() && !Focused()) SetFocus();
    TcxControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    TcxCalcButtonKind k = GetButtonKindAt(TPoint{X, Y});
    if (k == cbNone || FButtons[k].Grayed) return;
    SetMouseCapture(true);
    FTracking = true;
    FMousePressedButton = k;
    FButtons[k].Down = true;
    InvalidateButton(k);
}

void TcxCustomCalculator::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl::MouseMove(Shift, X, Y);
    TcxCalcButtonKind k = GetButtonKindAt(TPoint{X, Y});
    if (FTracking) {
        // Down while the pointer is over it.
        bool down = k == FMousePressedButton;
        if (FButtons[FMousePressedButton].Down != down) {
            FButtons[FMousePressedButton].Down = down;
            InvalidateButton(FMousePressedButton);
        }
        return;
    }
    if (GetPainter()->HotTrackButtons() && Enabled() && !Dragging() && k != FHotButton) {
        TcxCalcButtonKind old = FHotButton;
        FHotButton = k;
        InvalidateButton(old);
        InvalidateButton(k);
    }
}

void TcxCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl::MouseUp(Button, Shift, X, Y);
    if (!FTracking) return;
    FTracking = false;
    SetMouseCapture(false);
    TcxCalcButtonKind k = FMousePressedButton;
    FMousePressedButton = cbNone;
    bool over = FButtons[k].Down;
    FButtons[k].Down = false;
    InvalidateButton(k);
    if (over && Button == mbLeft) ButtonClick(k);
}

void TcxCustomCalculator::MouseLeave(TControl* AControl)
{
    TcxControl::MouseLeave(AControl);
    TcxCalcButtonKind old = FHotButton;
    FHotButton = cbNone;
    InvalidateButton(old);
}

// ---- keys ---------------------------------------------------------------------------------------------------------

TcxCalcButtonKind TcxCustomCalculator::ButtonOfKey(WORD AKey, TShiftState AShift)
{
    bool ctrl = AShift.Contains(ssCtrl);
    switch (AKey) {
    case VK_DELETE: return cbCancel;
    case VK_ESCAPE: return cbClear;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'L': return ctrl ? cbMC : cbNone;
    case 'R': return ctrl ? cbMR : cbRev;
    case 'M': return ctrl ? cbMS : cbNone;
    case 'P': return ctrl ? cbMP : cbNone;
    case VK_F9: return cbSign;
    case VK_RETURN: return cbEqual;
    default: return cbNone;
    }
}

TcxCalcButtonKind TcxCustomCalculator::ButtonOfChar(char AChar) const
{
    if (AChar >= '0' && AChar <= '9') return TcxCalcButtonKind(cbNum0 + (AChar - '0'));
    if (AChar == FormatSettings.DecimalSeparator) return cbDecimal;
    switch (AChar) {
    case 8: return cbBack;
    case '/': return cbDiv;
    case '*': return cbMul;
    case '-': return cbSub;
    case '+': return cbAdd;
    case '@': return cbSqrt;
    case '%': return cbPercent;
    case '=': return cbEqual;
    default: return cbNone;
    }
}

void TcxCustomCalculator::PressKeyButton(TcxCalcButtonKind AKind)
{
    // A key's own repeat does not click its button again.
    if (AKind == FKeyPressedButton) return;
    ReleaseKeyButton();
    FKeyPressedButton = AKind;
    FButtons[AKind].Down = true;
    InvalidateButton(AKind);
    if (AKind != cbBack) ButtonClick(AKind);
}

void TcxCustomCalculator::ReleaseKeyButton()
{
    if (FKeyPressedButton == cbNone) return;
    FButtons[FKeyPressedButton].Down = false;
    InvalidateButton(FKeyPressedButton);
    FKeyPressedButton = cbNone;
}

void TcxCustomCalculator::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyDown(Key, Shift);
    TcxCalcButtonKind k = ButtonOfKey(Key, Shift);
    if (k != cbNone) PressKeyButton(k);
}

void TcxCustomCalculator::KeyPress(char& Key)
{
    TcxControl::KeyPress(Key);
    if (Key == 22) PasteFromClipboard();        // Ctrl+V
    else if (Key == 3) CopyToClipboard();       // Ctrl+C
    else {
        TcxCalcButtonKind k = ButtonOfChar(Key);
        if (k != cbNone) PressKeyButton(k);
    }
    // Backspace clicks on every character its key sends, so it repeats.
    if (FKeyPressedButton == cbBack) ButtonClick(cbBack);
}

void TcxCustomCalculator::KeyUp(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyUp(Key, Shift);
    ReleaseKeyButton();
}

// ---- clipboard --------------------------------------------------------------------------------------------------

void TcxCustomCalculator::CopyToClipboard() { Clipboard()->SetAsText(GetDisplayText()); }

void TcxCustomCalculator::PasteFromClipboard()
{
    if (!Clipboard()->HasFormat(CF_TEXT)) return;
    std::string s = Clipboard()->AsText();
    if (!FormatSettings.CurrencyString.empty()) s = StringReplace(s, FormatSettings.CurrencyString, "", {rfReplaceAll});
    long double v;
    if (cxSpinEdit::TextToExtended(Trim(s), v) && std::isfinite(double(v))) {
        ShowValue(v);
        FState = csFirst;
    } else {
        ShowValue(0);
    }
}

// ---- arithmetic ----------------------------------------------------------------------------------------------------

long double TcxCustomCalculator::DisplayValue()
{
    if (FState == csError) return 0;
    std::string s = Trim(GetDisplayText());
    long double v = 0;
    if (s.empty() || !cxSpinEdit::TextToExtended(s, v) || !std::isfinite(double(v))) v = 0;
    return v;
}

void TcxCustomCalculator::SetDisplay(const std::string& AText)
{
    if (AText == GetDisplayText()) return;
    SetDisplayText(AText);
    if (OnDisplayChange) OnDisplayChange(this);
}

void TcxCustomCalculator::ShowValue(long double AValue)
{
    // A result beyond the range of numbers is an error, not "INF".
    if (!std::isfinite(double(AValue))) {
        Error();
        return;
    }
    if (AValue == 0) AValue = 0;   // no "-0"
    SetDisplay(cxCalc::FormatValue(AValue, FPrecision));
}

void TcxCustomCalculator::StartNumber()
{
    if (FState != csValue) return;
    FState = csFirst;
    SetDisplay("0");
}

void TcxCustomCalculator::Error()
{
    FState = csError;
    SetDisplay(GetResourceString(&scxSCalcError));
    if (FBeepOnError) MessageBeep(0);
    if (OnError) OnError(this);
}

void TcxCustomCalculator::UpdateMemoryButtons()
{
    bool gray = FMemory == 0;
    for (TcxCalcButtonKind k : {cbMC, cbMR})
        if (FButtons[k].Grayed != gray) {
            FButtons[k].Grayed = gray;
            InvalidateButton(k);
        }
}

void TcxCustomCalculator::ButtonClick(TcxCalcButtonKind AButton)
{
    if (OnButtonClick) OnButtonClick(this, AButton);
    if (AButton < 0 || AButton >= cxCalcButtonCount) return;
    if (FState == csError && AButton != cbCancel && AButton != cbClear) {
        Error();
        return;
    }
    long double value = DisplayValue();
    const int limit = std::max(2, FPrecision);
    switch (AButton) {
    case cbNum0: case cbNum1: case cbNum2: case cbNum3: case cbNum4:
    case cbNum5: case cbNum6: case cbNum7: case cbNum8: case cbNum9: {
        StartNumber();
        std::string s = GetDisplayText();
        if (s == "0") s.clear();
        int room = limit + (!s.empty() && s[0] == '-' ? 1 : 0);
        if (int(s.size()) < room) SetDisplay(s + char('0' + (AButton - cbNum0)));
        else {
            if (s.empty()) SetDisplay("0");
            if (FBeepOnError) MessageBeep(0);
        }
        break;
    }
    case cbDecimal: {
        StartNumber();
        std::string s = GetDisplayText();
        if (s.find(FormatSettings.DecimalSeparator) == std::string::npos)
            SetDisplay(s + FormatSettings.DecimalSeparator);
        break;
    }
    case cbBack: {
        StartNumber();
        std::string s = GetDisplayText();
        if (s.size() <= 1 || (s.size() == 2 && s[0] == '-')) SetDisplay("0");
        else SetDisplay(s.substr(0, s.size() - 1));
        break;
    }
    case cbSign:
        ShowValue(-value);
        break;
    case cbSqrt:
    case cbRev:
        FState = IsArithmetic(FLastOperator) ? csFirst : csValue;
        if (AButton == cbSqrt && value < 0) Error();
        else if (AButton == cbRev && value == 0) Error();
        else ShowValue(AButton == cbSqrt ? std::sqrt(value) : 1.0L / value);
        break;
    case cbDiv: case cbMul: case cbSub: case cbAdd: case cbPercent: case cbEqual: {
        if (FState == csFirst) {
            FState = csValue;
            long double v = value;
            if (AButton == cbPercent) {
                if (FLastOperator == cbDiv || FLastOperator == cbMul) v = v / 100;
                else if (FLastOperator == cbSub || FLastOperator == cbAdd) v = FOperand * v / 100;
            }
            long double r = v;
            switch (FLastOperator) {
            case cbDiv:
                if (v == 0) {
                    Error();
                    return;
                }
                r = FOperand / v;
                break;
            case cbMul: r = FOperand * v; break;
            case cbSub: r = FOperand - v; break;
            case cbAdd: r = FOperand + v; break;
            default: break;
            }
            ShowValue(r);
            if (FState == csError) return;
        }
        FLastOperator = AButton;
        FOperand = DisplayValue();
        if ((AButton == cbPercent || AButton == cbEqual) && OnResult) OnResult(this);
        break;
    }
    case cbCancel:
    case cbClear:
        FState = csValue;
        ShowValue(0);
        FLastOperator = cbEqual;
        break;
    case cbMC:
        FMemory = 0;
        UpdateMemoryButtons();
        break;
    case cbMS:
        FState = csValue;
        FMemory = value;
        UpdateMemoryButtons();
        break;
    case cbMP:
        FState = csValue;
        FMemory += value;
        UpdateMemoryButtons();
        break;
    case cbMR:
        FState = csValue;
        StartNumber();
        ShowValue(FMemory);
        break;
    default:
        break;
    }
}

// ---- the calc edit ----------------------------------------------------------------------------------------

const TcxResourceStringRec scxSEditRepositoryCalcItem = {
    "scxSEditRepositoryCalcItem", "CalcEdit|Represents an edit control with a dropdown calculator window"};

QZ_CLASS_IMPL(TcxPopupCalculator, TcxCustomCalculator)
QZ_CLASS_IMPL(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)
QZ_CLASS_IMPL(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
QZ_CLASS_IMPL(TcxCalcEditProperties, TcxCustomCalcEditProperties)
QZ_CLASS_IMPL(TcxCustomCalcEdit, TcxCustomPopupEdit)
QZ_CLASS_IMPL(TcxCalcEdit, TcxCustomCalcEdit)

namespace {
bool IsEmptyEditValue(const Variant& V)
{
    return VarIsNull(V) || VarIsEmpty(V) || (VarIsStr(V) && Trim(VarToStr(V)).empty());
}
// A value as a number: numbers as they are, texts read as typed numbers.
bool EditValueNumber(const Variant& V, long double& AResult)
{
    if (VarIsNumeric(V) || VarIsFloat(V)) {
        AResult = V.AsDouble();
        return true;
    }
    return VarIsStr(V) && cxSpinEdit::TextToExtended(Trim(VarToStr(V)), AResult) && std::isfinite(double(AResult));
}
}  // namespace

namespace cxCalc {
void Initialize()
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxCalcEditProperties::StaticClass()) < 0)
        r->Register(TcxCalcEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryCalcItem));
}
}  // namespace cxCalc

TcxPopupCalculator::TcxPopupCalculator(TComponent* AOwner) : TcxCustomCalculator(AOwner)
{
    FIsPopup = true;
    FEdit = dynamic_cast<TcxCustomCalcEdit*>(AOwner);
}

std::string TcxPopupCalculator::GetDisplayText() { return FEdit ? FEdit->GetDisplayText() : std::string(); }

void TcxPopupCalculator::SetDisplayText(const std::string& AText)
{
    if (FEdit) FEdit->SetTextFromCalculator(AText);
}

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::GetPainter() const
{
    return FEdit ? FEdit->PopupControlsLookAndFeel()->GetPainter() : TcxCustomCalculator::GetPainter();
}

void TcxPopupCalculator::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE) {
        HidePopup();
        Key = 0;
        return;
    }
    if (Key == VK_INSERT && Shift.Contains(ssShift)) PasteFromClipboard();
    else if (Key == VK_INSERT && Shift.Contains(ssCtrl)) CopyToClipboard();
    bool alt = Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
    if (Key == VK_F4 || (alt && (Key == VK_UP || Key == VK_DOWN))) {
        HidePopup();
        Key = 0;
        return;
    }
    TcxCustomCalculator::KeyDown(Key, Shift);
}

void TcxPopupCalculator::KeyPress(char& Key)
{
    char key = Key;
    TcxCustomCalculator::KeyPress(Key);
    // Enter clicked "=" as it went down.
    if (key == '\r' || (key == '=' && FEdit && FEdit->Properties()->QuickClose())) HidePopup();
}

void TcxCalcEditPropertiesValues::Assign(TPersistent* Source)
{
    TcxTextEditPropertiesValues::Assign(Source);
    if (auto* s = dynamic_cast<TcxCalcEditPropertiesValues*>(Source)) Precision = s->Precision;
}

void TcxCalcEditPropertiesValues::RestoreDefaults()
{
    TcxTextEditPropertiesValues::RestoreDefaults();
    Precision = false;
}

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner)
{
    ReplaceAssignedValues(std::make_unique<TcxCalcEditPropertiesValues>(this));
    BeginUpdate();
    SetPopupSizeable(false);
    SetImmediateDropDown(false);
    EndUpdate(false);
}

TClass TcxCustomCalcEditProperties::GetEditClass() const { return TcxCalcEdit::StaticClass(); }

void TcxCustomCalcEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomCalcEditProperties*>(Source);
    if (!s) {
        TcxCustomPopupEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomPopupEditProperties::Assign(Source);
        SetBeepOnError(s->FBeepOnError);
        CalcValues()->Precision = false;
        if (s->IsPrecisionStored()) SetPrecision(s->FPrecision);
        SetQuickClose(s->FQuickClose);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomCalcEditProperties::SetBeepOnError(bool Value)
{
    if (FBeepOnError == Value) return;
    FBeepOnError = Value;
    Changed();
}

int TcxCustomCalcEditProperties::Precision() const
{
    int p = 15;
    if (CalcValues()->Precision) p = FPrecision;
    else if (IcxEditDefaultValuesProvider* d = DefaultValuesProvider()) p = d->DefaultPrecision();
    return std::min(p, 15);
}

void TcxCustomCalcEditProperties::SetPrecision(int Value)
{
    if (CalcValues()->Precision && FPrecision == Value) return;
    CalcValues()->Precision = true;
    FPrecision = std::clamp(Value, 0, 255);
    Changed();
}

void TcxCustomCalcEditProperties::SetQuickClose(bool Value)
{
    if (FQuickClose == Value) return;
    FQuickClose = Value;
    Changed();
}

bool TcxCustomCalcEditProperties::IsEditValueValid(const Variant& AEditValue)
{
    long double v;
    return IsEmptyEditValue(AEditValue) || EditValueNumber(AEditValue, v);
}

void TcxCustomCalcEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool)
{
    if (IsEmptyEditValue(AEditValue)) {
        DisplayValue = Variant(std::string());
        return;
    }
    long double v;
    if (!EditValueNumber(AEditValue, v)) throw EConvertError("Could not convert to numeric value");
    DisplayValue = Variant(FloatToStrF(double(v), ffGeneral, Precision(), 0));
}

void TcxCustomCalcEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    Error = false;
    TcxCustomPopupEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

unsigned TcxCustomCalcEditProperties::UsesDisplayFormatting(bool AFocused)
{
    if (AFocused) return 0;
    IcxEditDefaultValuesProvider* d = DefaultValuesProvider();
    return d && d->HasDisplayFormat(true) ? 1 : 0;
}

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace)
{
    // The base's properties go now: what they report while freed must not
    // reach this edit.
    ActiveProperties()->OnPropertiesChanged = nullptr;
    InitializeEdit();
    FCalculator = new TcxPopupCalculator(this);
    FCalculator->SetVisible(false);
    FCalculator->SetAutoFontSize(false);
    FCalculator->OnHidePopup = [this] {
        if (PopupWindow()) PopupWindow()->PostClosePopup();
    };
    FSettingPopupControl = true;
    Properties()->SetPopupControl(FCalculator);
    FSettingPopupControl = false;
    PropertiesChanged(ActiveProperties());
    SetEditValue(Variant(0.0));
}

TcxCustomCalcEdit::~TcxCustomCalcEdit()
{
    if (HasPopupWindow() && PopupWindow()) PopupWindow()->ClosePopup(false);
}

TcxCustomEditPopupWindow* TcxCustomCalcEdit::CreatePopupWindow()
{
    // The keypad works within the program's own loop.
    TcxCustomEditPopupWindow* w = TcxCustomPopupEdit::CreatePopupWindow();
    w->Modal = false;
    return w;
}

double TcxCustomCalcEdit::Value()
{
    Variant v = GetEditValue();
    long double x;
    if (IsEmptyEditValue(v) || !EditValueNumber(v, x)) return 0;
    return double(x);
}

void TcxCustomCalcEdit::SetValue(double AValue) { ChangeEditValue(Variant(AValue)); }

void TcxCustomCalcEdit::SetTextFromCalculator(const std::string& AText)
{
    if (!DoEditing()) return;
    UserChange([&] { InternalSetDisplayValue(Variant(AText)); });
    SetModifiedAfterEnter(true);
}

Variant TcxCustomCalcEdit::DisplayValueToEditValue(const std::string& AText)
{
    long double v;
    if (!Trim(AText).empty() && cxSpinEdit::TextToExtended(Trim(AText), v) && std::isfinite(double(v)))
        return Variant(double(v));
    return Null();
}

bool TcxCustomCalcEdit::IsValidChar(char AChar)
{
    bool candidate = AChar == '+' || AChar == '-' || (AChar >= '0' && AChar <= '9') || AChar == 'E' ||
                     AChar == 'e' || AChar == FormatSettings.DecimalSeparator;
    if (!candidate) return false;
    std::string t = GetDisplayText();
    int s = SelStart(), l = SelLength();
    std::string before = Copy(t, 1, s), after = Copy(t, s + l + 1);
    if (AChar == '-' && before.empty() && after.empty()) return true;
    long double v;
    if (!cxSpinEdit::TextToExtended(before + AChar + after, v)) return false;
    v = std::fabs(v);
    return v == 0 || (v >= 5.0e-324L && v <= 1.7e308L);
}

void TcxCustomCalcEdit::DoEditKeyPress(char& Key)
{
    if (Key == ',' || Key == '.') Key = FormatSettings.DecimalSeparator;
    if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
        Key = 0;
        if (Properties()->BeepOnError()) MessageBeep(0);
        return;
    }
    TcxCustomPopupEdit::DoEditKeyPress(Key);
}

bool TcxCustomCalcEdit::CanDropDown() { return !Properties()->ReadOnly(); }

void TcxCustomCalcEdit::DoInitPopup()
{
    TcxCustomPopupEdit::DoInitPopup();
    FSettingPopupControl = true;
    Properties()->SetPopupControl(FCalculator);
    FSettingPopupControl = false;
}

void TcxCustomCalcEdit::SetupPopupWindow()
{
    TcxCustomPopupEdit::SetupPopupWindow();
    FCalculator->HandleNeeded();
    FCalculator->Font()->Assign(EditStyle()->Font());
    FCalculator->SetBounds(FCalculator->Left(), FCalculator->Top(), FCalculator->CalcSize().cx,
                           FCalculator->CalcSize().cy);
}

void TcxCustomCalcEdit::PopupWindowClosed(TObject* Sender)
{
    if (GetDisplayText() == GetResourceString(&scxSCalcError)) ChangeEditValue(Variant(0.0));
    if (Properties()->AutoSelect()) SelectAll();
    else {
        SetSelStart(Length(GetDisplayText()));
        SetSelLength(0);
    }
    TcxCustomPopupEdit::PopupWindowClosed(Sender);
}

void TcxCustomCalcEdit::PropertiesChanged(TObject* Sender)
{
    if (FSettingPopupControl) return;
    TcxCustomPopupEdit::PropertiesChanged(Sender);
    if (!FCalculator || !Properties()) return;
    FCalculator->SetBeepOnError(Properties()->BeepOnError());
    FCalculator->SetPrecision(Properties()->Precision());
    FSettingPopupControl = true;
    Properties()->SetPopupControl(FCalculator);
    FSettingPopupControl = false;
}

void TcxCustomCalcEdit::PasteFromClipboard()
{
    if (DoEditing()) FCalculator->PasteFromClipboard();
}

void TcxCustomCalcEdit::DoEnter()
{
    SynchronizeDisplayValue();
    TcxCustomPopupEdit::DoEnter();
}

void TcxCustomCalcEdit::DoExit()
{
    TcxCustomPopupEdit::DoExit();
    DataBinding()->UpdateDisplayValue();
}
