#include "cxTimeEdit.h"

#include "DateUtils.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "Windows.h"
#include "cxDateUtils.h"
#include "cxVariants.h"

#include <cmath>
#include <memory>

using cxClasses::GetResourceString;

const TcxResourceStringRec cxSEditTimeConvertError = {"cxSEditTimeConvertError", "Could not convert to time"};
const TcxResourceStringRec scxSEditRepositoryTimeItem = {"scxSEditRepositoryTimeItem",
                                                           "TimeEdit|Represents an editor displaying time values"};

QZ_ENUM_TYPEINFO(TcxTimeEditTimeFormat, "tfHourMinSec", "tfHourMin", "tfHour")

namespace {

void DefineTimePropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomTimeEditProperties;
    props.push_back(PublishBool<P>("ShowDate", &P::ShowDate, &P::SetShowDate, false));
    props.push_back(PublishEnum<P>("TimeFormat", &P::TimeFormat, &P::SetTimeFormat, tfHourMinSec));
    props.push_back(PublishBool<P>("Use24HourFormat", &P::Use24HourFormat, &P::SetUse24HourFormat, true));
}

// [layout][0: 24-hour, 1: 12-hour]
cxTimeEdit::TTimeEditFormat GFormats[3][2] = {
    {{"hh:nn:ss", "00:00:00;1;0"}, {"hh:nn:ss ampm", "00:00:00;1;0"}},
    {{"hh:nn", "00:00;1;0"}, {"hh:nn ampm", "00:00;1;0"}},
    {{"hh", "00;1;0"}, {"hh ampm", "00;1;0"}},
};
bool GMasksBuilt = false;

// Rebuilds the masks whenever the locale's formats change.
class TcxTimeEditFormatListener : public IcxFormatControllerListener {
public:
    TcxTimeEditFormatListener()
    {
        cxFormats::GetFormatController()->AddListener(this);
        cxTimeEdit::BuildAmPmMasks();
    }
    ~TcxTimeEditFormatListener() override { cxFormats::GetFormatController()->RemoveListener(this); }
    void FormatChanged() override { cxTimeEdit::BuildAmPmMasks(); }
};
std::unique_ptr<TcxTimeEditFormatListener> GListener;

bool IsEmptyValue(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V); }

int DigitsAt(const std::string& AText, size_t APos, size_t ACount)
{
    int r = 0;
    for (size_t i = APos; i < APos + ACount && i < AText.size(); ++i)
        if (AText[i] >= '0' && AText[i] <= '9') r = r * 10 + (AText[i] - '0');
    return r;
}

std::string TrimRightBlanks(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties, DefineTimePropertiesProps)
QZ_CLASS_IMPL(TcxTimeEditProperties, TcxCustomTimeEditProperties)
QZ_CLASS_IMPL(TcxCustomTimeEdit, TcxCustomSpinEdit)
QZ_CLASS_IMPL(TcxTimeEdit, TcxCustomTimeEdit)

// ---- the format table -----------------------------------------------------------------------------------

namespace cxTimeEdit {

int TimeDigitsLength(TcxTimeEditTimeFormat AFormat)
{
    static const int lengths[3] = {8, 5, 2};
    return lengths[AFormat];
}

std::string AmPmMask()
{
    // Noon of day 1, from its ninth character on.
    std::string s = FormatDateTime("hh:mm:ss AMPM", 1.5);
    std::string tail = s.size() > 8 ? s.substr(8) : std::string();
    std::string r;
    size_t i = 0;
    while (i < tail.size()) {
        // One mask character per character, however many bytes it takes.
        unsigned char c = static_cast<unsigned char>(tail[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        r += c == ' ' ? ' ' : 'c';
        i += n;
    }
    return TrimRightBlanks(r);
}

void BuildAmPmMasks()
{
    std::string am = AmPmMask();
    for (int f = 0; f < 3; ++f) {
        std::string digits = GFormats[f][0].Mask.substr(0, size_t(TimeDigitsLength(TcxTimeEditTimeFormat(f))));
        GFormats[f][1].Mask = digits + am + ";1;0";
    }
    GMasksBuilt = true;
}

const TTimeEditFormat& TimeEditFormats(TcxTimeEditTimeFormat AFormat, bool AUse24HourFormat)
{
    if (!GMasksBuilt) BuildAmPmMasks();
    return GFormats[AFormat][AUse24HourFormat ? 0 : 1];
}

void Initialize()
{
    cxSpinEdit::Initialize();
    if (!GListener) GListener = std::make_unique<TcxTimeEditFormatListener>();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxTimeEditProperties::StaticClass()) < 0)
        r->Register(TcxTimeEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryTimeItem));
}

void Finalize() { GListener.reset(); }

}  // namespace cxTimeEdit

// ---- the properties ----------------------------------------------------------------------------------------

TcxCustomTimeEditProperties::TcxCustomTimeEditProperties(TPersistent* AOwner) : TcxCustomSpinEditProperties(AOwner)
{
    BeginUpdate();
    SetValueType(vtFloat);
    UpdateEditMask();
    SetIgnoreMaskBlank(true);
    SetIncrement(1);
    SetMinValue(0);
    SetMaxValue(86399);
    SetAlwaysShowBlanksAndLiterals(true);
    EndUpdate(false);
}

TClass TcxCustomTimeEditProperties::GetEditClass() const { return TcxTimeEdit::StaticClass(); }

void TcxCustomTimeEditProperties::UpdateEditMask() { SetEditMask(CurrentFormat().Mask); }

void TcxCustomTimeEditProperties::SetShowDate(bool Value)
{
    if (FShowDate == Value) return;
    FShowDate = Value;
    Changed();
}

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat Value)
{
    if (FTimeFormat == Value) return;
    FTimeFormat = Value;
    UpdateEditMask();
    Changed();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(bool Value)
{
    if (FUse24HourFormat == Value) return;
    FUse24HourFormat = Value;
    UpdateEditMask();
    Changed();
}

void TcxCustomTimeEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomTimeEditProperties*>(Source);
    if (!s) {
        TcxCustomSpinEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomSpinEditProperties::Assign(Source);
        SetShowDate(s->FShowDate);
        SetTimeFormat(s->FTimeFormat);
        SetUse24HourFormat(s->FUse24HourFormat);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomTimeEditProperties::FormatChanged()
{
    BeginUpdate();
    try {
        UpdateEditMask();
        TcxCustomSpinEditProperties::FormatChanged();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TcxCustomTimeEditProperties::FormatTime(TDateTime ATime) const
{
    return TrimRightBlanks(FormatDateTime(CurrentFormat().Format, ATime));
}

std::string TcxCustomTimeEditProperties::GetDefaultDisplayValue() { return FormatTime(0); }

bool TcxCustomTimeEditProperties::CheckDisplayValue(Variant& AValue, bool)
{
    TDateTime t;
    if (!TryStrToDateTime(VarToStr(AValue), t)) return false;
    AValue = Variant(FormatTime(t));
    return true;
}

bool TcxCustomTimeEditProperties::IsEditValueValidEx(Variant& EditValue, bool AEditFocused)
{
    if (VarIsStr(EditValue)) {
        Variant v = EditValue;
        return CheckDisplayValue(v, AEditFocused);
    }
    return cxVariants::IsDateVariant(EditValue) || VarIsNumeric(EditValue) || VarIsFloat(EditValue);
}

void TcxCustomTimeEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused)
{
    if (IsEmptyValue(AEditValue)) {
        DisplayValue = Variant(AEditFocused ? FormatTime(0) : std::string());
        return;
    }
    if (!cxVariants::IsDateVariant(AEditValue) && !VarIsNumeric(AEditValue) && !VarIsFloat(AEditValue) &&
        !VarIsStr(AEditValue))
        throw EConvertError(GetResourceString(&cxSEditTimeConvertError));
    auto format = [&](TDateTime v) {
        if (AEditFocused) return FormatTime(v);
        IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
        if (p && p->IsDataAware()) return TrimRightBlanks(FShowDate ? DateTimeToStr(v) : TimeToStr(v));
        if (v != 0 && FShowDate && std::trunc(v) != 0) return TrimRightBlanks(DateTimeToStr(v));
        return FormatTime(v);
    };
    try {
        TDateTime v = VarIsStr(AEditValue) ? StrToDateTime(VarToStr(AEditValue)) : VarToDateTime(AEditValue);
        DisplayValue = Variant(format(v));
    } catch (const Exception&) {
        // A text that is no date-time shows today's date, as the value
        // would after the next edit.
        DisplayValue = Variant(format(Date()));
    }
}

void TcxCustomTimeEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    if (ErrorText.empty()) ErrorText = GetResourceString(&cxSEditTimeConvertError);
    bool changed;
    DoValidate(DisplayValue, ErrorText, Error, AEdit, changed);
}

// ---- the edit ---------------------------------------------------------------------------------------------------

TcxCustomTimeEdit::TcxCustomTimeEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomSpinEdit(AOwner, AIsInplace)
{
    // The base's properties go now: what they report while freed (their
    // buttons) must not reach an edit whose mask mode still reads them.
    ActiveProperties()->OnPropertiesChanged = nullptr;
    InitializeEdit();
    AfterRepositoryItemChange();
    PropertiesChanged(Properties());
    SetEditValue(Variant::FromInt64(0));
}

Variant TcxCustomTimeEdit::JoinDate(double ATime) const
{
    double v = FDatePart < 0 ? FDatePart - ATime : FDatePart + ATime;
    return v != 0 ? Variant::FromDate(v) : Variant(0);
}

void TcxCustomTimeEdit::Clear() { SetTime(0); }

TcxTimePart TcxCustomTimeEdit::GetTimePartAtCaret()
{
    TcxCustomTimeEditProperties* p = Properties();
    int pos = SelStart() + SelLength();
    if (p->MaxLength() > 0) pos = std::min(pos, p->MaxLength());
    if (pos > cxTimeEdit::TimeDigitsLength(p->TimeFormat())) return tpAMPM;
    std::string f = UpperCase(p->CurrentFormat().Format);
    auto at = [&](int i) { return i >= 1 && i <= int(f.size()) ? f[size_t(i - 1)] : ' '; };
    char c = at(std::max(pos, 1));
    if (c != 'H' && c != 'N' && c != 'S') c = at(std::max(pos - 1, 1));
    return c == 'H' ? tpHour : c == 'N' ? tpMin : tpSec;
}

double TcxCustomTimeEdit::GetIncrement(int AButton)
{
    bool up = AButton == 1 || AButton == 3;
    double step;
    switch (GetTimePartAtCaret()) {
    case tpHour: step = cxTimeEdit::HourStep; break;
    case tpMin: step = cxTimeEdit::MinuteStep; break;
    case tpSec: step = cxTimeEdit::SecondStep; break;
    default: {
        // The designator toggles between morning and afternoon.
        int v = GetValue().AsInteger();
        step = (up && v < cxTimeEdit::AmPmStep) || (!up && v >= cxTimeEdit::AmPmStep) ? cxTimeEdit::AmPmStep
                                                                                       : -cxTimeEdit::AmPmStep;
        break;
    }
    }
    TcxTimePart part = GetTimePartAtCaret();
    if (AButton >= 2 && (part == tpMin || part == tpSec)) step *= 10;
    return up ? step : -step;
}

Variant TcxCustomTimeEdit::GetValue()
{
    TcxCustomTimeEditProperties* p = Properties();
    std::string text = GetDisplayText();
    int hours = DigitsAt(text, 0, 2);
    bool twelve = !p->Use24HourFormat();
    if (twelve) hours %= 12;
    int seconds = hours * 3600;
    if (p->TimeFormat() != tfHour) seconds += 60 * DigitsAt(text, 3, 2);
    if (p->TimeFormat() == tfHourMinSec) seconds += DigitsAt(text, 6, 2);
    const std::string& pm = FormatSettings.TimePMString;
    if (twelve && !pm.empty() && text.size() >= pm.size() && text.compare(text.size() - pm.size(), pm.size(), pm) == 0)
        seconds += cxTimeEdit::AmPmStep;
    return Variant(seconds);
}

void TcxCustomTimeEdit::SetValue(const Variant& AValue)
{
    if (!(VarIsNumeric(AValue) || VarIsFloat(AValue))) return;
    SetTime(AValue.AsDouble() * 1000 / 86400000);
}

std::string TcxCustomTimeEdit::ValueToDisplayText(const Variant& AValue)
{
    return TcxCustomSpinEdit::ValueToDisplayText(Variant::FromDate(AValue.AsDouble() * 1000 / 86400000));
}

bool TcxCustomTimeEdit::DoSpin(int AButton)
{
    if (HandleAllocated()) {
        TcxCustomTimeEditProperties* p = Properties();
        std::string text = GetDisplayText();
        TcxTimePart part = GetTimePartAtCaret();
        if (part == tpAMPM) {
            size_t i = size_t(cxTimeEdit::TimeDigitsLength(p->TimeFormat()));
            while (i < text.size() && text[i] == ' ') ++i;
            SetSelStart(Length(text.substr(0, i)));
            SetSelLength(Length(text) - SelStart());
        } else {
            SetSelStart(part == tpHour ? 1 : part == tpMin ? 4 : 7);
            SetSelLength(1);
        }
    }
    return TcxCustomSpinEdit::DoSpin(AButton);
}

Variant TcxCustomTimeEdit::DisplayValueToEditValue(const std::string& AText)
{
    TcxCustomTimeEditProperties* p = Properties();
    bool twelve = !p->Use24HourFormat();
    size_t len = size_t(cxTimeEdit::TimeDigitsLength(p->TimeFormat()));
    std::string s = twelve ? AText.substr(0, std::min(len, AText.size())) : AText;
    if (s.size() == 2) s += std::string(1, FormatSettings.TimeSeparator) + "00";
    if (twelve && AText.size() > len) s += AText.substr(len);
    TDateTime t = 0;
    if (!Trim(s).empty() && !TryStrToTime(Trim(s), t)) t = 0;
    return JoinDate(std::fabs(t - std::trunc(t)));
}

void TcxCustomTimeEdit::InternalSetEditValue(const Variant& Value, bool AValidate)
{
    Variant v = Value;
    bool valid = !IsEmptyValue(v) && (!AValidate || Properties()->IsEditValueValidEx(v, Focused()));
    if (!valid) FDatePart = 0;
    else if (VarIsStr(Value)) FDatePart = std::trunc(StrToDateTime(VarToStr(Value)));
    else FDatePart = cxDateUtils::TruncWithTolerance(VarToDateTime(Value));
    TcxCustomSpinEdit::InternalSetEditValue(Value, AValidate);
}

TDateTime TcxCustomTimeEdit::Time()
{
    TDateTime v;
    if (Focused()) {
        v = DisplayValueToEditValue(GetDisplayText()).AsDouble();
    } else {
        Variant e = GetEditValue();
        // An empty value is the empty time, 00:00:00.
        if (IsEmptyValue(e)) return 0;
        if (VarIsStr(e)) {
            if (!TryStrToDateTime(VarToStr(e), v)) return 0;
        } else {
            v = VarToDateTime(e);
        }
    }
    return std::fabs(v - std::trunc(v));
}

void TcxCustomTimeEdit::SetTime(TDateTime Value)
{
    double t = std::fabs(Value - std::trunc(Value));
    double v = FDatePart < 0 ? FDatePart - t : FDatePart + t;
    SetEditValue(Variant::FromDate(v));
}

void TcxCustomTimeEdit::PropertiesChanged(TObject* Sender)
{
    TcxCustomSpinEdit::PropertiesChanged(Sender);
    if (!Properties() || !InnerEdit()) return;
    if (!Focused()) DataBinding()->UpdateDisplayValue();
    SetSelStart(Length(GetDisplayText()));
    SetSelLength(0);
}

// ---- keys and characters ------------------------------------------------------------------------------------------

void TcxCustomTimeEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    if (GetTimePartAtCaret() == tpAMPM) {
        std::string text = GetDisplayText();
        size_t first = size_t(cxTimeEdit::TimeDigitsLength(Properties()->TimeFormat()));
        while (first < text.size() && text[first] == ' ') ++first;
        if (Key == VK_BACK && SelStart() > Length(text.substr(0, first))) {
            Key = VK_LEFT;
            FSkipBackspace = true;
        } else if (Key == VK_DELETE) {
            DoAfterKeyDown(Key, Shift);
            Key = 0;
            return;
        }
    }
    TcxCustomSpinEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomTimeEdit::DoEditKeyPress(char& Key)
{
    if (FSkipBackspace && Key == 8) {
        FSkipBackspace = false;
        Key = 0;
        return;
    }
    TcxCustomSpinEdit::DoEditKeyPress(Key);
}

bool TcxCustomTimeEdit::IsValidChar(char AChar)
{
    if (AChar == 8 || AChar == '.') return true;
    bool digit = AChar >= '0' && AChar <= '9';
    int start = SelStart();
    switch (GetTimePartAtCaret()) {
    case tpHour: {
        if (!digit) return false;
        if (start >= 2) return AChar <= '5';   // past both hour digits: it starts the minutes
        std::string h = GetDisplayText().substr(0, 2);
        if (h.size() < 2) h.resize(2, '0');
        h[size_t(start)] = AChar;
        int hour = DigitsAt(h, 0, 2);
        return Properties()->Use24HourFormat() ? hour <= 23 : hour >= 1 && hour <= 12;
    }
    case tpMin:
        if (!digit) return false;
        return start != 3 || AChar <= '5';
    case tpSec:
        if (!digit) return false;
        return start != 6 || AChar <= '5';
    default:
        return static_cast<unsigned char>(AChar) < 32;
    }
}

void TcxCustomTimeEdit::InternalSetDisplayValue(const Variant& Value)
{
    // An empty text goes in as it is: the 12-hour mask would fill in blanks.
    if (!Properties()->Use24HourFormat() && VarToStr(Value).empty()) {
        TcxCustomTextEdit::InternalSetDisplayValue(Value);
        return;
    }
    TcxCustomSpinEdit::InternalSetDisplayValue(Value);
}
