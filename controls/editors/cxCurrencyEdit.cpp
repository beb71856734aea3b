#include "cxCurrencyEdit.h"

#include "Clipbrd.h"
#include "SysUtils.h"
#include "Variants.h"
#include "Windows.h"
#include "cxFormats.h"

#include <cctype>
#include <cmath>

QZ_CLASS_IMPL(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)
QZ_CLASS_IMPL(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)
QZ_CLASS_IMPL(TcxCustomCurrencyEdit, TcxCustomTextEdit)
QZ_CLASS_IMPL(TcxCurrencyEdit, TcxCustomCurrencyEdit)

using cxClasses::GetResourceString;

namespace {
const TcxResourceStringRec scxSEditRepositoryCurrencyItem = {
    "scxSEditRepositoryCurrencyItem", "CurrencyEdit|Represents an editor enabling editing currency data"};

// Whether the digits before any exponent are all zeros.
bool IsZeroText(const std::string& AText)
{
    for (char c : AText) {
        if (c == 'e' || c == 'E') break;
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

bool IsEmptyValue(const Variant& V)
{
    return VarIsNull(V) || VarIsEmpty(V) || (VarIsStr(V) && VarToStr(V).empty());
}
}  // namespace

namespace cxCurrencyEdit {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxCurrencyEditProperties::StaticClass()) < 0)
        r->Register(TcxCurrencyEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryCurrencyItem));
}
}  // namespace cxCurrencyEdit

// ---- properties -----------------------------------------------------------------------------------------

TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner)
{
    FValidateOnEnter = true;
}

TClass TcxCustomCurrencyEditProperties::GetEditClass() const { return TcxCurrencyEdit::StaticClass(); }

void TcxCustomCurrencyEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomCurrencyEditProperties*>(Source);
    if (!s) {
        TcxCustomTextEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomTextEditProperties::Assign(Source);
        FDecimalPlaces = s->FDecimalPlaces;
        SetNullable(s->FNullable);
        SetNullString(s->FNullString);
        SetUseThousandSeparator(s->FUseThousandSeparator);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

bool TcxCustomCurrencyEditProperties::TryTextToValue(const std::string& AText, double& AValue)
{
    double x;
    if (TextToFloat(AText, x)) {
        double a = std::fabs(x);
        // A zero that is not written as one came from a number too small for a Double.
        if ((x == 0 && IsZeroText(AText)) || (a >= 5e-324 && a <= 1.7e308)) {
            AValue = x;
            return true;
        }
    }
    AValue = 0;
    return false;
}

void TcxCustomCurrencyEditProperties::SetNullable(bool Value)
{
    if (Value == FNullable) return;
    FNullable = Value;
    Changed();
}

void TcxCustomCurrencyEditProperties::SetNullString(const std::string& Value)
{
    if (Value == FNullString) return;
    FNullString = Value;
    Changed();
}

void TcxCustomCurrencyEditProperties::SetUseThousandSeparator(bool Value)
{
    if (Value == FUseThousandSeparator) return;
    FUseThousandSeparator = Value;
    Changed();
}

std::string TcxCustomCurrencyEditProperties::GetDefaultDisplayFormat()
{
    return cxFormats::GetFormatController()->CurrencyFormat();
}

unsigned TcxCustomCurrencyEditProperties::UsesDisplayFormatting(bool AFocused)
{
    return !AFocused && !IsDisplayFormatStored() ? 1 : 0;
}

void TcxCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                          bool AEditFocused)
{
    if (IsEmptyValue(AEditValue)) {
        if (AEditFocused) DisplayValue = Variant(std::string());
        else DisplayValue = Variant(FNullable ? FNullString : std::string("0"));
        return;
    }
    try {
        TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    } catch (const EConvertError&) {
        DisplayValue = AEditFocused ? Variant(std::string()) : AEditValue;
    } catch (const EVariantError&) {
        DisplayValue = AEditFocused ? Variant(std::string()) : AEditValue;
    }
}

void TcxCustomCurrencyEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                           TObject* AEdit)
{
    Error = false;
    TcxCustomTextEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ---- the edit ---------------------------------------------------------------------------------------------

TcxCustomCurrencyEdit::TcxCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace)
{
    TControlStyle cs = ControlStyle();
    cs.Exclude(csSetCaption);
    SetControlStyle(cs);
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

bool TcxCustomCurrencyEdit::IsValidChar(char C)
{
    const char dec = FormatSettings.DecimalSeparator, thousand = FormatSettings.ThousandSeparator;
    bool allowed = C == '+' || C == '-' || (C >= '0' && C <= '9') || C == 'E' || C == 'e' || C == dec ||
                   (Properties()->UseThousandSeparator() && C == thousand);
    if (!allowed) return false;
    std::string text = InnerEdit() ? InnerEdit()->Text() : GetDisplayText();
    int start = std::clamp(SelStart(), 0, int(text.size()));
    int len = std::clamp(SelLength(), 0, int(text.size()) - start);
    text.erase(size_t(start), size_t(len));
    if (C == '-' && text.empty()) return true;
    text.insert(size_t(start), 1, C);
    size_t p = text.find(dec);
    if (p != std::string::npos) {
        size_t e = p + 1;
        while (e < text.size() && std::toupper(static_cast<unsigned char>(text[e])) != 'E') ++e;
        if (int(e - p - 1) > Properties()->DecimalPlaces()) return false;
    }
    double v;
    return TcxCustomCurrencyEditProperties::TryTextToValue(text, v);
}

void TcxCustomCurrencyEdit::DoEditKeyPress(char& Key)
{
    const char dec = FormatSettings.DecimalSeparator, thousand = FormatSettings.ThousandSeparator;
    if (!(Properties()->UseThousandSeparator() && Key == thousand) && (Key == ',' || Key == '.')) Key = dec;
    if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(Key)) {
        Key = 0;
        Beep();
        return;
    }
    TcxCustomTextEdit::DoEditKeyPress(Key);
}

void TcxCustomCurrencyEdit::PasteFromClipboard()
{
    if (!CanModify()) return;
    std::string before = InnerEdit()->Text();
    TcxCustomTextEdit::PasteFromClipboard();
    double v;
    // A paste that does not leave a number is undone.
    if (!TryStrToFloat(InnerEdit()->Text(), v)) {
        ApplyDisplayText(before);
        SelectAll();
    }
}

Variant TcxCustomCurrencyEdit::DisplayValueToEditValue(const std::string& AText)
{
    double v;
    if (!AText.empty() && AText != Properties()->NullString() &&
        TcxCustomCurrencyEditProperties::TryTextToValue(AText, v))
        return Variant(v);
    return Properties()->Nullable() ? Null() : Variant(Currency::FromInt(0));
}

void TcxCustomCurrencyEdit::PropertiesChanged(TObject* Sender)
{
    if (!Focused() && DataBinding() && !IsContainerDestroying()) DataBinding()->UpdateDisplayValue();
    TcxCustomTextEdit::PropertiesChanged(Sender);
}

double TcxCustomCurrencyEdit::Value()
{
    Variant v = EditValue();
    if (VarIsNull(v) || VarIsEmpty(v)) return 0;
    if (VarIsStr(v) && StrToCurrDef(VarToStr(v), Currency::FromInt(0)) == Currency::FromInt(0)) return 0;
    return v.AsDouble();
}

void TcxCustomCurrencyEdit::SetValue(double AValue)
{
    double mn = Properties()->MinValue(), mx = Properties()->MaxValue();
    if (mn < mx) AValue = std::clamp(AValue, mn, mx);
    ChangeEditValue(Variant(AValue));
}
