#include "cxSpinEdit.h"

#include "Clipbrd.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "Windows.h"
#include "cxEditConsts.h"
#include "cxEditPaintUtils.h"
#include "cxVariants.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdlib>

using cxClasses::GetResourceString;

const TcxResourceStringRec cxSEditNumericValueConvertError = {"cxSEditNumericValueConvertError",
                                                                "Invalid numeric value"};
const TcxResourceStringRec scxSEditRepositorySpinItem = {"scxSEditRepositorySpinItem",
                                                           "SpinEdit|Represents a spin editor"};

QZ_ENUM_TYPEINFO(TcxSpinEditValueType, "vtInt", "vtFloat")
QZ_ENUM_TYPEINFO(TcxSpinEditButtonsPosition, "sbpHorzLeftRight", "sbpHorzRight", "sbpVert")

namespace {

void DefineSpinButtonsProps(std::vector<TPropInfo>& props)
{
    using B = TcxSpinEditButtons;
    props.push_back(PublishEnum<B>("Position", &B::Position, &B::SetPosition, sbpVert));
    props.push_back(PublishBool<B>("ShowFastButtons", &B::ShowFastButtons, &B::SetShowFastButtons, false));
}

void DefineSpinPropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomSpinEditProperties;
    props.push_back(PublishBool<P>("CanEdit", &P::CanEdit, &P::SetCanEdit, true));
    props.push_back(PublishFloat<P>("Increment", &P::Increment, &P::SetIncrement)
                        .StoredBy(StoredWhen(&P::IsIncrementStored)));
    props.push_back(PublishFloat<P>("LargeIncrement", &P::LargeIncrement, &P::SetLargeIncrement)
                        .StoredBy(StoredWhen(&P::IsLargeIncrementStored)));
    props.push_back(PublishObject<P>("SpinButtons", &P::SpinButtons, &P::SetSpinButtons));
    props.push_back(PublishBool<P>("UseCtrlIncrement", &P::UseCtrlIncrement, &P::SetUseCtrlIncrement, false));
    props.push_back(PublishEnum<P>("ValueType", &P::ValueType, &P::SetValueType, vtFloat)
                        .StoredBy(StoredWhen(&P::IsValueTypeStored)));
}

void DefineSpinEditProps(std::vector<TPropInfo>& props)
{
    using E = TcxCustomSpinEdit;
    props.push_back(PublishVariant<E>("Value", &E::Value, &E::SetValue).StoredBy([](TObject* o) {
        return static_cast<E*>(o)->IsValueStored();
    }));
}

bool IsSpinKey(WORD Key) { return Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT; }

bool IsEmptyValue(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V) || (VarIsStr(V) && VarToStr(V).empty()); }

bool IsNumber(const Variant& V) { return VarIsNumeric(V) || VarIsFloat(V); }

// The spin edit whose view info is being calculated: its view data shows
// the button the keyboard holds.
thread_local TcxCustomSpinEdit* GCalculating = nullptr;

}  // namespace

QZ_CLASS_IMPL_PROPS(TcxSpinEditButtons, TPersistent, DefineSpinButtonsProps)
QZ_CLASS_IMPL(TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues)
QZ_CLASS_IMPL(TcxSpinEditViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxSpinEditViewData, TcxCustomTextEditViewData)
QZ_CLASS_IMPL_PROPS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties, DefineSpinPropertiesProps)
QZ_CLASS_IMPL(TcxSpinEditProperties, TcxCustomSpinEditProperties)
QZ_CLASS_IMPL_PROPS(TcxCustomSpinEdit, TcxCustomMaskEdit, DefineSpinEditProps)
QZ_CLASS_IMPL(TcxSpinEdit, TcxCustomSpinEdit)

// ---- numbers ---------------------------------------------------------------------------------------

namespace cxSpinEdit {

bool TextToExtended(const std::string& AText, long double& AValue)
{
    std::string s = Trim(AText);
    if (s.empty()) return false;
    std::string c;   // the C form for strtold
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') c += s[i++];
    int digits = 0;
    auto readDigits = [&] {
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            c += s[i++];
            ++digits;
        }
    };
    readDigits();
    if (i < s.size() && s[i] == FormatSettings.DecimalSeparator) {
        c += '.';
        ++i;
        readDigits();
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
        int expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            c += s[i++];
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    char* end = nullptr;
    long double v = std::strtold(c.c_str(), &end);
    if (end != c.c_str() + c.size()) return false;
    // Beyond even the extended range: a number all the same, out of bounds.
    AValue = v;
    return true;
}

double RoundHalfEven(double X)
{
    int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(X);
    std::fesetround(old);
    return r;
}

bool SpinValue(const Variant& AValue, double AStep, bool AIncreasing, double AMin, double AMax, int ABoundsAction,
               TcxSpinEditValueType AType, Variant& ANewValue)
{
    double v = IsNumber(AValue) ? AValue.AsDouble() : 0.0;
    auto sum = [&](Variant& R) {
        if (AType == vtInt && std::fabs(AStep) < 9.2e18) {
            int64_t a = IsNumber(AValue) ? (VarIsFloat(AValue) ? int64_t(RoundHalfEven(v)) : AValue.AsInt64()) : 0;
            int64_t r;
            if (__builtin_add_overflow(a, int64_t(AStep), &r)) return false;
            R = Variant::FromInt64(r);
            return true;
        }
        double r = v + AStep;
        if (!std::isfinite(r)) return false;
        R = Variant(r);
        return true;
    };
    auto asType = [&](double X) {
        return AType == vtInt ? Variant::FromInt64(int64_t(RoundHalfEven(X))) : Variant(X);
    };
    if (!(AMax > AMin)) return sum(ANewValue);
    if (v < AMin) {
        if (!AIncreasing) return false;
        ANewValue = asType(AMin);
        return true;
    }
    if (v > AMax) {
        if (AIncreasing) return false;
        ANewValue = asType(AMax);
        return true;
    }
    Variant r;
    if (!sum(r)) return false;
    double x = r.AsDouble();
    if (x >= AMin && x <= AMax) {
        ANewValue = r;
        return true;
    }
    if (ABoundsAction == 0) return false;
    ANewValue = asType(x < AMin ? AMin : AMax);
    return true;
}

TSpinButtonsLayout CalculateSpinButtonsLayout(const TRect& ARect, int W, TcxSpinEditButtonsPosition APosition,
                                              bool AShowFast, bool AThemed, bool AHotFlat, int AThemedHeight)
{
    TSpinButtonsLayout L;
    TRect R = ARect;
    int rh = R.Bottom - R.Top;
    int H;
    if (AThemed) {
        H = (AThemedHeight + 1) / 2;
    } else {
        TSize a = cxEditUtils::CalculateArrowSize(TSize{W + 2, rh / 2 + 2}, adUp);
        L.ArrowSize = a.cy;
        H = 4 * a.cy - 3;
    }
    int F = (3 * H + 1) / 2;
    int G = AThemed ? 1 : 0;
    TRect* b = L.Buttons;
    if (AShowFast) {
        b[3] = TRect{R.Right - F, R.Top, R.Right, R.Bottom};
        R.Right -= F;
    }
    if (APosition == sbpVert) {
        b[1] = TRect{R.Right - W, R.Top, R.Right, R.Top + (rh - G) / 2};
        b[0] = TRect{R.Right - W, b[1].Bottom + G, R.Right, R.Bottom};
        R.Right -= W;
        if (AHotFlat && b[1].Bottom - b[1].Top < b[0].Bottom - b[0].Top) {
            ++b[1].Bottom;
            ++b[0].Top;
        }
    } else {
        b[1] = TRect{R.Right - H, R.Top, R.Right, R.Bottom};
        R.Right -= H;
        if (AThemed) --R.Right;
        if (AHotFlat && APosition == sbpHorzLeftRight) --b[1].Left;
    }
    if (APosition == sbpHorzLeftRight) {
        if (AShowFast) {
            b[2] = TRect{R.Left, R.Top, R.Left + F, R.Bottom};
            R.Left += F;
        }
        b[0] = TRect{R.Left, R.Top, R.Left + H, R.Bottom};
        R.Left += H;
        if (AHotFlat) ++b[0].Right;
    } else if (APosition == sbpHorzRight) {
        b[0] = TRect{R.Right - H, R.Top, R.Right, R.Bottom};
        R.Right -= H;
        if (AHotFlat && !AShowFast) --b[0].Left;
    }
    if (APosition != sbpHorzLeftRight && AShowFast) {
        b[2] = TRect{R.Right - F, R.Top, R.Right, R.Bottom};
        R.Right -= F;
        if (AHotFlat) --b[2].Left;
    }
    if (AThemed) {
        if (APosition == sbpHorzRight) {
            L.SeparatorLine[0] = TPoint{b[0].Right, b[0].Top};
            L.SeparatorLine[1] = TPoint{b[0].Right, b[0].Bottom - 1};
        } else if (APosition == sbpVert) {
            L.SeparatorLine[0] = TPoint{b[1].Left, b[1].Bottom};
            L.SeparatorLine[1] = TPoint{b[1].Right - 1, b[1].Bottom};
        }
    }
    return L;
}

void Initialize()
{
    cxMaskEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxSpinEditProperties::StaticClass()) < 0)
        r->Register(TcxSpinEditProperties::StaticClass(), GetResourceString(&scxSEditRepositorySpinItem));
}

}  // namespace cxSpinEdit

// ---- spin buttons and assigned values ------------------------------------------------------------------

void TcxSpinEditButtons::Changed()
{
    if (auto* p = dynamic_cast<TcxCustomEditProperties*>(FOwner)) p->Changed();
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition Value)
{
    if (FPosition == Value) return;
    FPosition = Value;
    Changed();
}

void TcxSpinEditButtons::SetShowFastButtons(bool Value)
{
    if (FShowFastButtons == Value) return;
    FShowFastButtons = Value;
    Changed();
}

void TcxSpinEditButtons::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxSpinEditButtons*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    auto* p = dynamic_cast<TcxCustomEditProperties*>(FOwner);
    if (p) p->BeginUpdate();
    FPosition = s->FPosition;
    FShowFastButtons = s->FShowFastButtons;
    if (p) {
        p->Changed();
        p->EndUpdate();
    }
}

void TcxSpinEditPropertiesValues::Assign(TPersistent* Source)
{
    TcxTextEditPropertiesValues::Assign(Source);
    if (auto* s = dynamic_cast<TcxSpinEditPropertiesValues*>(Source)) ValueType = s->ValueType;
}

void TcxSpinEditPropertiesValues::RestoreDefaults()
{
    TcxTextEditPropertiesValues::RestoreDefaults();
    ValueType = false;
}

// ---- view data and view info ------------------------------------------------------------------------

void TcxSpinEditViewData::CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect,
                                                  int AIndex)
{
    TcxCustomTextEditViewData::CalculateButtonViewInfo(ACanvas, AViewInfo, ARect, AIndex);
    auto* p = static_cast<TcxCustomSpinEditProperties*>(Properties());
    TcxEditButtonViewInfo* b = AViewInfo->Button(AIndex);
    b->LeftAlignment = p->SpinButtons()->Position() == sbpHorzLeftRight && (b->ButtonIndex == 0 || b->ButtonIndex == 2);
}

void TcxSpinEditViewData::CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect,
                                                int AIndex)
{
    // Buttons are asked for from the last to the first: all are laid out
    // at the first call.
    if (AIndex != AViewInfo->ButtonCount() - 1) return;
    auto* p = static_cast<TcxCustomSpinEditProperties*>(Properties());
    TcxCustomEditViewInfo* vi = AViewInfo;
    // The other buttons are not set up yet: the width is the first item's
    // in this button's style (every spin button has the same).
    TcxEditButtonViewInfo first;
    first.Assign(vi->Button(AIndex));
    TcxEditButton* item = p->Buttons()->Items(0);
    first.Kind = item->Kind();
    first.Width = item->Width();
    first.Glyph = item->HasGlyph() ? item->Glyph() : nullptr;
    int W = cxEditUtils::GetEditButtonWidth(ACanvas, &first);
    bool hotFlat = !Themed && vi->Button(AIndex)->ButtonStyle == btsHotFlat;
    bool fast = p->SpinButtons()->ShowFastButtons() && vi->ButtonCount() >= 4;
    cxSpinEdit::TSpinButtonsLayout L = cxSpinEdit::CalculateSpinButtonsLayout(
        ARect, W, p->SpinButtons()->Position(), fast, Themed, hotFlat, ThemedTextHeight);
    // Measuring calculates a plain view info.
    if (auto* svi = dynamic_cast<TcxSpinEditViewInfo*>(vi)) {
        svi->ArrowSize = L.ArrowSize;
        svi->ButtonsPosition = p->SpinButtons()->Position();
        svi->SeparatorLine[0] = L.SeparatorLine[0];
        svi->SeparatorLine[1] = L.SeparatorLine[1];
    }
    // Spin buttons are always visible: the view's index is the button's.
    for (int k = 0; k < vi->ButtonCount() && k < 4; ++k) {
        vi->Button(k)->Bounds = L.Buttons[k];
        vi->Button(k)->VisibleBounds = L.Buttons[k];
    }
}

void TcxSpinEditViewInfo::DrawButton(TcxCanvas* ACanvas, int AIndex)
{
    TcxEditButtonViewInfo* b = Button(AIndex);
    TcxSpinButtonPaintData d;
    d.BorderRect = InnerRect;
    d.Index = b->ButtonIndex;
    d.ButtonCount = ButtonCount();
    d.Position = ButtonsPosition;
    static const TcxButtonState states[4] = {cxbsDisabled, cxbsNormal, cxbsPressed, cxbsHot};
    d.State = states[std::clamp(b->State, 0, 3)];
    d.Inplace = IsInplace;
    d.Transparent = b->Transparent;
    d.BackgroundColor = FillColor;
    d.ArrowSize = std::max(1, ArrowSize);
    cxEditUtils::DrawSpinEditButton(ACanvas, d, b->Bounds, b->ButtonStyle);
}

// ---- the properties -------------------------------------------------------------------------------------

TcxCustomSpinEditProperties::TcxCustomSpinEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner), FSpinButtons(std::make_unique<TcxSpinEditButtons>(this))
{
    ReplaceAssignedValues(std::make_unique<TcxSpinEditPropertiesValues>(this));
    SyncButtons();
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() = default;

TClass TcxCustomSpinEditProperties::GetEditClass() const { return TcxSpinEdit::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomSpinEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                    bool AIsInplace)
{
    auto d = std::make_unique<TcxSpinEditViewData>(this, AStyle, AIsInplace);
    if (GCalculating) d->KeyHeldButton = GCalculating->KeyHeldButton();
    return d;
}

void TcxCustomSpinEditProperties::SyncButtons()
{
    // Adding or freeing a button reports a change, which comes back here.
    if (FSyncingButtons) return;
    int want = FSpinButtons && FSpinButtons->ShowFastButtons() ? 4 : 2;
    if (Buttons()->Count() == want) return;
    FSyncingButtons = true;
    BeginUpdate();
    try {
        while (Buttons()->Count() < want) Buttons()->Add();
        while (Buttons()->Count() > want) delete Buttons()->Items(Buttons()->Count() - 1);
    } catch (...) {
        EndUpdate(false);
        FSyncingButtons = false;
        throw;
    }
    EndUpdate(false);
    FSyncingButtons = false;
}

void TcxCustomSpinEditProperties::Changed()
{
    // Two buttons, four with the fast ones.
    SyncButtons();
    TcxCustomMaskEditProperties::Changed();
}

void TcxCustomSpinEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomSpinEditProperties*>(Source);
    if (!s) {
        TcxCustomMaskEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        SetDefaultValuesProvider(s->DefaultValuesProvider());
        SpinValues()->ValueType = false;
        if (s->SpinValues()->ValueType) SetValueType(s->FValueType);
        TcxCustomMaskEditProperties::Assign(Source);
        FCanEdit = s->FCanEdit;
        FIncrement = s->FIncrement;
        FLargeIncrement = s->FLargeIncrement;
        FSpinButtons->Assign(s->FSpinButtons.get());
        FUseCtrlIncrement = s->FUseCtrlIncrement;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomSpinEditProperties::SetCanEdit(bool Value)
{
    if (FCanEdit == Value) return;
    FCanEdit = Value;
    Changed();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::ValueType() const
{
    if (SpinValues()->ValueType) return FValueType;
    if (IcxEditDefaultValuesProvider* p = DefaultValuesProvider()) return p->DefaultIsFloatValue() ? vtFloat : vtInt;
    return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType Value)
{
    if (SpinValues()->ValueType && FValueType == Value) return;
    SpinValues()->ValueType = true;
    FValueType = Value;
    Changed();
}

void TcxCustomSpinEditProperties::ConvertToValueType(Variant& Value)
{
    if (!IsNumber(Value)) return;
    if (ValueType() == vtFloat) Value = Variant(Value.AsDouble());
    else if (VarIsFloat(Value)) Value = Variant::FromInt64(int64_t(cxSpinEdit::RoundHalfEven(Value.AsDouble())));
    else Value = Variant::FromInt64(Value.AsInt64());
}

Variant TcxCustomSpinEditProperties::ValueToNumber(const Variant& Value)
{
    Variant r;
    if (IsEmptyValue(Value)) r = Variant::FromInt64(0);
    else if (VarIsStr(Value)) {
        long double x;
        if (!cxSpinEdit::TextToExtended(VarToStr(Value), x)) throw EConvertError(GetResourceString(&cxSEditNumericValueConvertError));
        r = Variant(double(x));
    } else if (cxVariants::IsDateVariant(Value)) r = Variant(double(VarToDateTime(Value)));
    else r = Variant(Value.AsDouble());
    ConvertToValueType(r);
    return r;
}

Variant TcxCustomSpinEditProperties::ClampedZero()
{
    Variant r;
    ClampToRange(Variant(0.0), r);
    ConvertToValueType(r);
    return r;
}

bool TcxCustomSpinEditProperties::IsEditValueValidEx(Variant& EditValue, bool)
{
    bool valid;
    if (VarIsStr(EditValue)) {
        long double x;
        valid = VarToStr(EditValue).empty() ||
                (cxSpinEdit::TextToExtended(VarToStr(EditValue), x) && std::fabs(x) < 1.7e308L);
    } else {
        valid = IsNumber(EditValue) || VarIsNull(EditValue) || VarIsEmpty(EditValue) ||
                cxVariants::IsDateVariant(EditValue);
    }
    if (!valid) return false;
    try {
        EditValue = ValueToNumber(EditValue);
    } catch (const EConvertError&) {
        return false;
    } catch (const EVariantError&) {
        return false;
    }
    return true;
}

bool TcxCustomSpinEditProperties::CheckDisplayValue(Variant& AValue, bool AEditFocused)
{
    if (!TcxCustomMaskEditProperties::CheckDisplayValue(AValue, AEditFocused)) return false;
    if (!ChecksNumericText()) return true;
    std::string s = VarToStr(AValue);
    if (s.empty()) return true;
    long double x;
    if (!cxSpinEdit::TextToExtended(s, x) || !std::isfinite(double(x))) return false;
    // A number beyond the range shows as its plain text (it is clamped or
    // refused when the value is validated).
    if (MaxValue() != MinValue() && (x < MinValue() || x > MaxValue())) AValue = Variant(FloatToStr(double(x)));
    return true;
}

std::string TcxCustomSpinEditProperties::GetDefaultDisplayValue()
{
    Variant d;
    PrepareDisplayValue(ClampedZero(), d, true);
    return VarToStr(d);
}

void TcxCustomSpinEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    auto* edit = dynamic_cast<TcxCustomSpinEdit*>(AEdit);
    Variant value;
    if (edit && edit->TypedText()) {
        std::string text;
        Variant v;
        Error = !edit->TextToValue(VarToStr(DisplayValue), v, text, false);
        if (Error) ErrorText = text;
        value = v;
    } else {
        value = Variant(edit ? edit->CurrentValue() : 0.0);
    }
    if (!Error) {
        if (IsEmptyValue(value)) value = ClampedZero();
        DisplayValue = Variant(FloatToStr(value.AsDouble()));
        if (MaxValue() > MinValue() && (value.AsDouble() < MinValue() || value.AsDouble() > MaxValue())) {
            Error = true;
            ErrorText = GetResourceString(&cxSEditValueOutOfBounds);
        }
    }
    bool changed;
    DoValidate(DisplayValue, ErrorText, Error, AEdit, changed);
}

// ---- the edit -----------------------------------------------------------------------------------------------

TcxCustomSpinEdit::TcxCustomSpinEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace)
{
    // The base's properties go now: what they report while freed (their
    // buttons) must not reach an edit whose mask mode still reads them.
    ActiveProperties()->OnPropertiesChanged = nullptr;
    InitializeEdit();
    // The mask mode reads the properties now in place.
    AfterRepositoryItemChange();
    PropertiesChanged(Properties());
    SetEditValue(Variant::FromInt64(0));
    FKeyHeldButton = 0;
}

TcxCustomSpinEdit::~TcxCustomSpinEdit() = default;

bool TcxCustomSpinEdit::IsValueStored()
{
    return !cxVariants::VarEqualsEx(Value(), Variant(0));
}

double TcxCustomSpinEdit::GetIncrement(int AButton)
{
    TcxCustomSpinEditProperties* p = Properties();
    double step = AButton >= 2 ? p->LargeIncrement() : p->Increment();
    if (p->ValueType() == vtInt) step = cxSpinEdit::RoundHalfEven(step);
    if (AButton == 0 || AButton == 2) step = -step;
    return step;
}

bool TcxCustomSpinEdit::TextToValue(const std::string& AText, Variant& AValue, std::string& AErrorText, bool ARaise)
{
    TcxCustomSpinEditProperties* p = Properties();
    AErrorText.clear();
    if (Trim(AText).empty()) {
        IcxEditDefaultValuesProvider* d = p->DefaultValuesProvider();
        if (d && d->DefaultRequired()) AValue = p->ClampedZero();
        else AValue = Null();
        return true;
    }
    long double x;
    bool ok = cxSpinEdit::TextToExtended(AText, x);
    if (ok) {
        bool inRange = p->ValueType() == vtInt ? (x > -9223372036854775808.0L && x < 9223372036854775807.0L)
                                               : (x > -1.7e308L && x < 1.7e308L);
        if (!inRange) {
            ok = false;
            AErrorText = GetResourceString(&cxSEditValueOutOfBounds);
        }
    }
    if (!ok) {
        if (AErrorText.empty()) AErrorText = GetResourceString(&cxSEditNumericValueConvertError);
        if (ARaise) throw Exception(AErrorText);
        AValue = Variant(FCurrentValue);
        p->ConvertToValueType(AValue);
        return false;
    }
    if (p->ValueType() == vtInt) AValue = Variant::FromInt64(int64_t(std::nearbyint(x)));
    else AValue = Variant(double(x));
    p->ConvertToValueType(AValue);
    return true;
}

Variant TcxCustomSpinEdit::DisplayValueToEditValue(const std::string& AText)
{
    // Typing passes through here at every change: an unfinished number
    // ("-", "1e") keeps the value last shown; reading Value reports it.
    Variant v;
    std::string error;
    TextToValue(AText, v, error, false);
    return v;
}

Variant TcxCustomSpinEdit::GetValue()
{
    TcxCustomSpinEditProperties* p = Properties();
    Variant r;
    if (Focused()) {
        if (FTypedText) {
            std::string error;
            TextToValue(GetDisplayText(), r, error, true);
        } else {
            r = Variant(FCurrentValue);
        }
        if (!IsNumber(r)) r = Variant::FromInt64(0);
    } else {
        Variant v = GetEditValue();
        if (IsNumber(v)) r = v;
        else if (VarIsStr(v)) return v;
        else r = p->ClampedZero();
    }
    p->ConvertToValueType(r);
    return r;
}

void TcxCustomSpinEdit::SetValue(const Variant& AValue)
{
    if (!IsNumber(AValue)) return;
    Variant v = AValue;
    if (Properties()->IsEditValueValidEx(v, Focused())) SetEditValue(v);
}

std::string TcxCustomSpinEdit::ValueToDisplayText(const Variant& AValue)
{
    Variant d;
    Properties()->PrepareDisplayValue(AValue, d, Focused());
    return VarToStr(d);
}

bool TcxCustomSpinEdit::CalculateNewValue(int AButton, Variant& ANewValue)
{
    TcxCustomSpinEditProperties* p = Properties();
    Variant v;
    try {
        v = GetValue();
    } catch (const Exception&) {
        // Typed text that is no number: the step starts from the value last shown.
        v = Variant(FCurrentValue);
    }
    if (VarIsStr(v)) v = p->ValueToNumber(v);
    bool up = AButton == 1 || AButton == 3;
    if (!cxSpinEdit::SpinValue(v, GetIncrement(AButton), up, p->MinValue(), p->MaxValue(), p->GetBoundsAction(),
                               p->ValueType(), ANewValue))
        return false;
    p->ConvertToValueType(ANewValue);
    return true;
}

bool TcxCustomSpinEdit::DoSpin(int AButton)
{
    bool result = false;
    LockChangeEvents(true);
    try {
        Variant nv;
        if (CalculateNewValue(AButton, nv) && DoEditing()) {
            std::string before = GetDisplayText();
            std::string text = ValueToDisplayText(nv);
            int selStart = SelStart(), selLength = SelLength();
            FCurrentValue = nv.AsDouble();
            UserChange([&] {
                InternalSetDisplayValue(Variant(text));
                ChangeHandler(this);
            });
            result = GetDisplayText() != before;
            if (result) {
                SetModifiedAfterEnter(true);
                if (Properties()->KeepsSelectionOnSpin()) {
                    SetSelStart(selStart);
                    SetSelLength(selLength);
                } else {
                    SetSelStart(Length(GetDisplayText()));
                    SetSelLength(0);
                }
                if (Properties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) {
                    PostEditValue(false);
                    SynchronizeDisplayValue();
                }
            }
        }
    } catch (...) {
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
    return result;
}

void TcxCustomSpinEdit::SynchronizeDisplayValue()
{
    Variant v = GetEditValue();
    if (Properties()->IsEditValueValidEx(v, Focused())) FCurrentValue = v.AsDouble();
    else FCurrentValue = Properties()->ClampedZero().AsDouble();
    TcxCustomMaskEdit::SynchronizeDisplayValue();
}

void TcxCustomSpinEdit::SynchronizeEditValue()
{
    TcxCustomMaskEdit::SynchronizeEditValue();
    // An empty value counts as 0, as everywhere else in the edit.
    Variant v = GetEditValue();
    FCurrentValue = IsNumber(v) ? v.AsDouble() : 0.0;
}

void TcxCustomSpinEdit::ChangeHandler(TObject* Sender)
{
    FTypedText = FKeyTyped;
    TcxCustomMaskEdit::ChangeHandler(Sender);
    FKeyTyped = false;
}

void TcxCustomSpinEdit::KeepEditValueInBounds()
{
    TcxCustomSpinEditProperties* p = Properties();
    if (!(p->MaxValue() > p->MinValue())) return;
    bool old = FUserChange;
    FUserChange = ModifiedAfterEnter();
    try {
        Variant v;
        try {
            v = GetValue();
        } catch (const Exception&) {
            // Unfinished typed text stays for the user to finish; it is
            // checked when the value is validated.
            FUserChange = old;
            return;
        }
        double x = IsNumber(v) ? v.AsDouble() : 0.0;
        if (x < p->MinValue()) SetValue(Variant(p->MinValue()));
        else if (x > p->MaxValue()) SetValue(Variant(p->MaxValue()));
    } catch (...) {
        FUserChange = old;
        throw;
    }
    FUserChange = old;
}

void TcxCustomSpinEdit::PropertiesChanged(TObject* Sender)
{
    TcxCustomMaskEdit::PropertiesChanged(Sender);
    if (!IsDesigning() && ModifiedAfterEnter() && Properties()) KeepEditValueInBounds();
}

// ---- keys and characters ----------------------------------------------------------------------------------

bool TcxCustomSpinEdit::CanKeyDownModifyEdit(WORD Key, TShiftState Shift)
{
    if (Key == VK_DELETE) return true;
    if (Key == VK_INSERT && Shift.Contains(ssShift)) return true;
    return false;
}

void TcxCustomSpinEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    FKeyTyped = false;
    TcxCustomSpinEditProperties* p = Properties();
    if (IsSpinKey(Key) && (!p->UseCtrlIncrement() || Shift.Contains(ssCtrl))) {
        if (!DataBinding()->IsModified() && !DoEditing()) {
            Key = 0;
            return;
        }
        int button = Key == VK_PRIOR ? 3 : Key == VK_UP ? 1 : Key == VK_DOWN ? 0 : 2;
        if (FKeyHeldButton != button + 1) {
            FKeyHeldButton = button + 1;
            RepaintButtons();
        }
        if (MouseCapture()) SetMouseCapture(false);
        Key = 0;
        DoSpin(button);
        return;
    }
    StopSpinning();
    if (Key != VK_ESCAPE) FKeyTyped = true;
    if (!p->CanEdit() && CanKeyDownModifyEdit(Key, Shift)) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    TcxCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomSpinEdit::KeyUp(WORD& Key, TShiftState Shift)
{
    FKeyTyped = false;
    WORD key = Key;
    TcxCustomMaskEdit::KeyUp(Key, Shift);
    if (IsSpinKey(key)) StopSpinning();
}

bool TcxCustomSpinEdit::IsValidChar(char AChar)
{
    unsigned char c = static_cast<unsigned char>(AChar);
    TcxCustomSpinEditProperties* p = Properties();
    bool valid = AChar == '+' || AChar == '-' || (AChar >= '0' && AChar <= '9') || AChar == 'E' || AChar == 'e' ||
                 (p->ValueType() == vtFloat && AChar == FormatSettings.DecimalSeparator) || c < 32 ||
                 p->ValidChars.test(c);
    if (valid && !p->CanEdit() && (c == 8 || c >= 32)) valid = false;
    return valid;
}

void TcxCustomSpinEdit::DoEditKeyPress(char& Key)
{
    if (Key == ',' || Key == '.') Key = FormatSettings.DecimalSeparator;
    unsigned char c = static_cast<unsigned char>(Key);
    if ((c == 8 || c >= 32) && !IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    // A character typed (not only a key gone down) makes the next change typing.
    if (c >= 32 || c == 8) FKeyTyped = true;
    TcxCustomMaskEdit::DoEditKeyPress(Key);
}

bool TcxCustomSpinEdit::InnerWideChar(char32_t ACh)
{
    // No character beyond ASCII is part of a number.
    MessageBeep(0);
    return true;
}

void TcxCustomSpinEdit::PasteFromClipboard()
{
    if (FUserChange && !Properties()->CanEdit()) return;
    TcxCustomMaskEdit::PasteFromClipboard();
}

void TcxCustomSpinEdit::CutToClipboard()
{
    if (FUserChange && !Properties()->CanEdit()) return;
    TcxCustomMaskEdit::CutToClipboard();
}

// ---- mouse and spinning ---------------------------------------------------------------------------------------

int TcxCustomSpinEdit::PressedViewButton() const
{
    TcxCustomEditViewInfo* vi = EditViewInfo();
    if (!vi || vi->PressedButtonIndex < 0 || vi->PressedButtonIndex >= vi->ButtonCount()) return -1;
    return vi->Button(vi->PressedButtonIndex)->ButtonIndex;
}

UINT TcxCustomSpinEdit::RepeatInterval() const { return FRepeatTimer ? FRepeatTimer->Interval() : 0; }

void TcxCustomSpinEdit::DoButtonDown(int AButtonIndex)
{
    TcxCustomMaskEdit::DoButtonDown(AButtonIndex);
    if (FKeyHeldButton != 0) return;
    int pressed = PressedViewButton();
    if (pressed < 0) return;
    DoSpin(pressed);
    if (Properties()->ReadOnly()) return;
    FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->OnTimer = [this](TObject* s) { RepeatTimerHandler(s); };
    FRepeatTimer->SetEnabled(true);
}

void TcxCustomSpinEdit::RepeatTimerHandler(TObject*)
{
    if (!FRepeatTimer) return;
    if (FRepeatTimer->Interval() == 400) FRepeatTimer->SetInterval(100);
    int pressed = PressedViewButton();
    if (pressed >= 0) DoSpin(pressed);
}

void TcxCustomSpinEdit::RepaintButtons()
{
    if (!IsContainerDestroying()) ShortRefreshContainer(false);
}

void TcxCustomSpinEdit::StopSpinning()
{
    bool keyHeld = FKeyHeldButton != 0;
    FKeyHeldButton = 0;
    FRepeatTimer.reset();
    TcxCustomEditViewInfo* vi = EditViewInfo();
    bool pressedDrawn = false;
    if (vi)
        for (int k = 0; k < vi->ButtonCount() && k < 2; ++k)
            if (vi->Button(k)->State == ebsPressed) {
                vi->Button(k)->State = ebsNormal;
                if (vi->PressedButtonIndex == k) vi->PressedButtonIndex = -1;
                pressedDrawn = true;
            }
    if (keyHeld) RepaintButtons();
    else if (pressedDrawn && HandleAllocated()) Invalidate();
    if (MouseCapture()) SetMouseCapture(false);
}

void TcxCustomSpinEdit::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    TcxCustomSpinEdit* old = GCalculating;
    GCalculating = this;
    try {
        TcxCustomMaskEdit::CalculateViewInfo(P, AAllowHot);
    } catch (...) {
        GCalculating = old;
        throw;
    }
    GCalculating = old;
}

bool TcxCustomSpinEdit::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    bool result = TcxCustomMaskEdit::RefreshContainer(P, AButton, AShift, AIsMouseEvent);
    TcxCustomEditViewInfo* vi = EditViewInfo();
    if (vi && vi->ButtonCount() > 0 && vi->PressedButtonIndex < 0 && FRepeatTimer) StopSpinning();
    return result;
}

void TcxCustomSpinEdit::FocusChanged()
{
    TcxCustomMaskEdit::FocusChanged();
    StopSpinning();
}

void TcxCustomSpinEdit::DblClick()
{
    TcxCustomMaskEdit::DblClick();
    if (PressedViewButton() < 0) StopSpinning();
}

bool TcxCustomSpinEdit::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    if (TcxCustomMaskEdit::DoMouseWheelDown(Shift, MousePos)) return true;
    if (!CanProcessMouseWheel(Shift)) return false;
    DoSpin(0);
    return true;
}

bool TcxCustomSpinEdit::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    if (TcxCustomMaskEdit::DoMouseWheelUp(Shift, MousePos)) return true;
    if (!CanProcessMouseWheel(Shift)) return false;
    DoSpin(1);
    return true;
}

void TcxCustomSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomMaskEdit::MouseUp(Button, Shift, X, Y);
    StopSpinning();
}
