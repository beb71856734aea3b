#include "cxTextEdit.h"

#include "ComponentStreams.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "cxEditConsts.h"
#include "cxEditPaintUtils.h"
#include "cxGraphics.h"
#include "cxRegExpr.h"
#include "cxTextEditLookupData.h"
#include "cxVariants.h"
#include "Clipbrd.h"
#include "Windows.h"

#include <algorithm>
#include <climits>

using cxClasses::GetResourceString;

QZ_ENUM_TYPEINFO(TcxEditEchoMode, "eemNormal", "eemPassword")
QZ_ENUM_TYPEINFO(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")

namespace {

void DefineTextPropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomTextEditProperties;
    props.push_back(PublishEnum<P>("CharCase", &P::CharCase, &P::SetCharCase, ecNormal));
    props.push_back(PublishEnum<P>("EchoMode", &P::EchoMode, &P::SetEchoMode, eemNormal));
    props.push_back(PublishBool<P>("HideSelection", &P::HideSelection, &P::SetHideSelection, true));
    props.push_back(PublishObject<P>("LookupItems", &P::LookupItems, &P::SetLookupItems));
    props.push_back(PublishBool<P>("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted, false));
    props.push_back(PublishInt<P>("MaxLength", &P::MaxLength, &P::SetMaxLength)
                        .StoredBy(StoredWhen(&P::IsMaxLengthStored)));
    props.push_back(PublishBool<P>("OEMConvert", &P::OEMConvert, &P::SetOEMConvert, false));
}

// Letters a..z only change case; everything else keeps its characters.
std::string ApplyCharCase(const std::string& AText, TEditCharCase ACase)
{
    if (ACase == ecNormal) return AText;
    std::string r = AText;
    for (char& c : r) {
        if (ACase == ecUpperCase && c >= 'a' && c <= 'z') c = char(c - 32);
        else if (ACase == ecLowerCase && c >= 'A' && c <= 'Z') c = char(c + 32);
    }
    return r;
}

bool IsEmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

}  // namespace

QZ_CLASS_IMPL(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
QZ_CLASS_IMPL_PROPS(TcxCustomTextEditProperties, TcxCustomEditProperties, DefineTextPropertiesProps)
QZ_CLASS_IMPL(TcxTextEditProperties, TcxCustomTextEditProperties)
QZ_CLASS_IMPL(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
QZ_CLASS_IMPL(TcxCustomTextEditViewData, TcxCustomEditViewData)

// ---- assigned values ------------------------------------------------------------------------

void TcxTextEditPropertiesValues::Assign(TPersistent* Source)
{
    if (auto* v = dynamic_cast<TcxTextEditPropertiesValues*>(Source)) {
        DisplayFormat = v->DisplayFormat;
        MaxLength = v->MaxLength;
        MaxValue = v->MaxValue;
        MinValue = v->MinValue;
    }
    TcxCustomEditPropertiesValues::Assign(Source);
}

void TcxTextEditPropertiesValues::RestoreDefaults()
{
    TcxCustomEditPropertiesValues::RestoreDefaults();
    DisplayFormat = MaxLength = MaxValue = MinValue = false;
}

// ---- properties --------------------------------------------------------------------------------

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner)
{
    // The base made the base class's assigned values; these properties keep
    // four more flags.
    ReplaceAssignedValues(std::make_unique<TcxTextEditPropertiesValues>(this));
    FLookupItems = std::make_unique<TStringList>();
    FLookupItems->OnChange = [this](TObject*) { LookupItemsChanged(); };
    cxFormats::GetFormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties()
{
    cxFormats::GetFormatController()->RemoveListener(this);
}

void TcxCustomTextEditProperties::FormatChanged()
{
    FFormatChanging = true;
    Changed();
    FFormatChanging = false;
}

void TcxCustomTextEditProperties::AlignmentChanged()
{
    BeginUpdate();
    TcxCustomEditProperties::AlignmentChanged();
    EndUpdate();
}

void TcxCustomTextEditProperties::SetAlignment(TcxEditAlignment* Value)
{
    BeginUpdate();
    TcxCustomEditProperties::SetAlignment(Value);
    EndUpdate();
}

std::string TcxCustomTextEditProperties::GetValidationErrorText(int AErrorKind)
{
    if (AErrorKind == 1) return GetResourceString(&cxSEditValueOutOfBounds);
    return TcxCustomEditProperties::GetValidationErrorText(AErrorKind);
}

TClass TcxCustomTextEditProperties::GetEditClass() const { return TcxTextEdit::StaticClass(); }

TClass TcxCustomTextEditProperties::GetLookupDataClass() const
{
    return TcxCustomTextEditLookupData::StaticClass();
}

TClass TcxCustomTextEditProperties::GetViewInfoClass() const { return TcxCustomTextEditViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomTextEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                   bool AIsInplace)
{
    return std::make_unique<TcxCustomTextEditViewData>(this, AStyle, AIsInplace);
}

int TcxCustomTextEditProperties::GetDefaultMaxLength()
{
    return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMaxLength() : 0;
}

int TcxCustomTextEditProperties::MaxLength()
{
    return AssignedValues_()->MaxLength ? FMaxLength : GetDefaultMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(int Value)
{
    if (Value < 0) Value = 0;
    if (AssignedValues_()->MaxLength && FMaxLength == Value) return;
    FMaxLength = Value;
    AssignedValues_()->MaxLength = true;
    Changed();
}

double TcxCustomTextEditProperties::MaxValue()
{
    if (AssignedValues_()->MaxValue) return FMaxValue;
    return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMaxValue() : 0;
}

double TcxCustomTextEditProperties::MinValue()
{
    if (AssignedValues_()->MinValue) return FMinValue;
    return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultMinValue() : 0;
}

void TcxCustomTextEditProperties::SetMaxValue(double Value)
{
    if (AssignedValues_()->MinValue && Value < FMinValue) Value = FMinValue;
    if (AssignedValues_()->MaxValue && FMaxValue == Value) return;
    FMaxValue = Value;
    AssignedValues_()->MaxValue = true;
    Changed();
}

void TcxCustomTextEditProperties::SetMinValue(double Value)
{
    if (AssignedValues_()->MaxValue && Value > FMaxValue) Value = FMaxValue;
    if (AssignedValues_()->MinValue && FMinValue == Value) return;
    FMinValue = Value;
    AssignedValues_()->MinValue = true;
    Changed();
}

std::string TcxCustomTextEditProperties::DisplayFormat()
{
    if (AssignedValues_()->DisplayFormat) return FDisplayFormat;
    if (DefaultValuesProvider()) {
        std::string f = DefaultValuesProvider()->DefaultDisplayFormat();
        if (!f.empty()) return f;
    }
    return GetDefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const std::string& Value)
{
    if (AssignedValues_()->DisplayFormat && FDisplayFormat == Value) return;
    FDisplayFormat = Value;
    AssignedValues_()->DisplayFormat = true;
    Changed();
}

#define QZ_TEXT_SETTER(Name, Type, Field)                         \
    void TcxCustomTextEditProperties::Set##Name(Type Value)       \
    {                                                             \
        if (Field == Value) return;                               \
        Field = Value;                                            \
        Changed();                                                \
    }
QZ_TEXT_SETTER(CharCase, TEditCharCase, FCharCase)
QZ_TEXT_SETTER(EchoMode, TcxEditEchoMode, FEchoMode)
QZ_TEXT_SETTER(HideCursor, bool, FHideCursor)
QZ_TEXT_SETTER(HideSelection, bool, FHideSelection)
QZ_TEXT_SETTER(OEMConvert, bool, FOEMConvert)
#undef QZ_TEXT_SETTER

void TcxCustomTextEditProperties::SetIncrementalSelection(bool Value)
{
    if (FIncrementalSelection == Value) return;
    FIncrementalSelection = Value;
    if (GetEditingStyle() == tesFixedList) Changed();
}

void TcxCustomTextEditProperties::DisplayValueToDisplayText(std::string& AText)
{
    if (FEchoMode == eemPassword) AText = std::string(size_t(Length(AText)), '*');
    else AText = ApplyCharCase(AText, FCharCase);
}

void TcxCustomTextEditProperties::DoNewLookupDisplayText(TObject* Sender, const std::string& AText)
{
    if (OnNewLookupDisplayText) OnNewLookupDisplayText(Sender, AText);
}

bool TcxCustomTextEditProperties::FindLookupText(const std::string& AText)
{
    std::string u = AnsiUpperCase(AText);
    for (int i = 0; i < FLookupItems->Count(); ++i)
        if (AnsiUpperCase(FLookupItems->Strings(i)) == u) return true;
    return false;
}

bool TcxCustomTextEditProperties::CheckDisplayValue(Variant& AValue, bool)
{
    std::string s = VarToStr(AValue);
    bool accepted = true;
    TcxTextEditingStyle style = GetEditingStyle();
    if (!s.empty() && (style == tesList || style == tesFixedList) && UseLookupData()) accepted = FindLookupText(s);
    if (accepted) AValue = Variant(ApplyCharCase(s, FCharCase));
    return accepted;
}

bool TcxCustomTextEditProperties::IsEditValueValid(const Variant& AEditValue, bool AEditFocused)
{
    if (VarIsNull(AEditValue) || !VarIsStr(AEditValue)) return true;
    Variant v = AEditValue;
    return CheckDisplayValue(v, AEditFocused);
}

std::string TcxCustomTextEditProperties::FormatNumber(double X, bool AEditFocused)
{
    IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
    if (!AEditFocused) {
        std::string f = DisplayFormat();
        return f.empty() ? FloatToStr(X) : FormatFloat(f, X);
    }
    std::string f;
    bool fixed = false;
    if (!p || !p->HasGetTextHandler()) {
        if (AssignedValues_()->DisplayFormat) f = FDisplayFormat;
        else if (p && !p->DefaultDisplayFormat().empty()) f = p->DefaultDisplayFormat();
        else if (p) fixed = p->HasDisplayFormat(!(GetDisplayFormatOptions() & dfoNoCurrencyValue));
    }
    int precision = p ? p->DefaultPrecision() : 15;
    if (fixed) return FloatToStrF(X, ffFixed, precision, FormatSettings.CurrencyDecimals);
    if (!f.empty()) return FormatFloat(f, X);
    return FloatToStrF(X, ffGeneral, precision, 0);
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused)
{
    if (!IsEditValueNumeric()) {
        DisplayValue = Variant(VarToStr(AEditValue));
        return;
    }
    if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) ||
        (VarIsStr(AEditValue) && VarToStr(AEditValue).empty())) {
        DisplayValue = Variant(std::string());
        return;
    }
    double x;
    if (VarIsNumeric(AEditValue) || VarIsFloat(AEditValue)) x = AEditValue.AsDouble();
    else if (VarIsStr(AEditValue) && TryStrToFloat(VarToStr(AEditValue), x)) {
    } else throw EConvertError("Could not convert to numeric value");
    DisplayValue = Variant(FormatNumber(x, AEditFocused));
}

std::string TcxCustomTextEditProperties::FormatEditValue(const Variant& AValue, bool AEditFocused)
{
    if (IsEditValueValid(AValue, AEditFocused)) {
        Variant d;
        PrepareDisplayValue(AValue, d, AEditFocused);
        return VarToStr(d);
    }
    if (cxVariants::IsDateVariant(AValue)) return DateTimeToStr(VarToDateTime(AValue));
    return VarToStr(AValue);
}

std::string TcxCustomTextEditProperties::ValueText(const Variant& AValue, bool AEditFocused)
{
    return IsValueTextFromDisplayFormat() ? VarToStr(AValue) : FormatEditValue(AValue, AEditFocused);
}

std::string TcxCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool)
{
    std::string text;
    try {
        text = ValueText(AEditValue, false);
    } catch (const EConvertError&) {
        // What was produced is still shown through the echo and case rules.
    }
    DisplayValueToDisplayText(text);
    return text;
}

bool TcxCustomTextEditProperties::IsDisplayTextEqual(const Variant& AEditValue1, TcxCustomEditProperties* AProperties2,
                                                     const Variant& AEditValue2)
{
    auto* other = dynamic_cast<TcxCustomTextEditProperties*>(AProperties2);
    if (!other) return false;
    return GetDisplayText(AEditValue1, true) == other->GetDisplayText(AEditValue2, true);
}

uint16_t TcxCustomTextEditProperties::GetSupportedOperations()
{
    return Buttons()->Count() > 0 ? 0xBE : 0xAE;
}

void TcxCustomTextEditProperties::ValidateRange(const Variant& ADisplayValue, std::string& AErrorText, bool& AError)
{
    Variant v = ADisplayValue;
    double x;
    bool numeric = VarIsNumeric(v) || VarIsFloat(v) || cxVariants::IsDateVariant(v);
    if (numeric) x = cxVariants::IsDateVariant(v) ? double(VarToDateTime(v)) : v.AsDouble();
    else if (VarIsStr(v) && TryStrToFloat(Trim(VarToStr(v)), x)) numeric = true;
    if (numeric && (x < MinValue() || x > MaxValue())) {
        AError = true;
        AErrorText = GetValidationErrorText(1);
    }
}

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    // Min = Max (0 and 0 included) means no range.
    if (IsEditValueNumeric() && MaxValue() > MinValue()) ValidateRange(DisplayValue, ErrorText, Error);
    TcxCustomEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

void TcxCustomTextEditProperties::ClampToRange(const Variant& AValue, Variant& AResult)
{
    AResult = AValue;
    if (!(VarIsNumeric(AValue) || VarIsFloat(AValue)) || !(MaxValue() > MinValue())) return;
    double x = AValue.AsDouble();
    if (x < MinValue()) AResult = Variant(MinValue());
    else if (x > MaxValue()) AResult = Variant(MaxValue());
}

void TcxCustomTextEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomTextEditProperties*>(Source);
    if (!s) { TcxCustomEditProperties::Assign(Source); return; }
    BeginUpdate();
    try {
        TcxCustomEditProperties::Assign(Source);
        FCharCase = s->FCharCase;
        FEchoMode = s->FEchoMode;
        FIncrementalSelection = s->FIncrementalSelection;
        FHideCursor = s->FHideCursor;
        FHideSelection = s->FHideSelection;
        SetMaxLength(s->MaxLength());
        ValidChars = s->ValidChars;
        auto* mine = AssignedValues_();
        auto* theirs = s->AssignedValues_();
        mine->DisplayFormat = mine->MaxValue = mine->MinValue = false;
        if (theirs->DisplayFormat) SetDisplayFormat(s->FDisplayFormat);
        if (theirs->MaxValue) SetMaxValue(s->FMaxValue);
        if (theirs->MinValue) SetMinValue(s->FMinValue);
        FOEMConvert = s->FOEMConvert;
        FImmediateUpdateText = s->FImmediateUpdateText;
        FLookupItems->SetSorted(false);
        FLookupItems->Assign(s->FLookupItems.get());
        FLookupItems->SetSorted(s->LookupItemsSorted());
        OnNewLookupDisplayText = s->OnNewLookupDisplayText;
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomTextEditProperties::DefineProperties(TFiler* Filer)
{
    TcxCustomEditProperties::DefineProperties(Filer);
    // An explicitly empty display format survives storing.
    Filer->DefineProperty(
        "IsDisplayFormatAssigned",
        [this](TReader* r) {
            AssignedValues_()->DisplayFormat = r->ReadBoolean();
            Changed();
        },
        [](TWriter* w) { w->WriteBoolean(true); },
        AssignedValues_()->DisplayFormat && FDisplayFormat.empty());
}

// ---- view data --------------------------------------------------------------------------------------

TcxCustomTextEditViewData::TcxCustomTextEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                                     bool AIsInplace)
    : TcxCustomEditViewData(AProperties, AStyle, AIsInplace)
{
    FIsValueTextFromDisplayFormat = AProperties->IsValueTextFromDisplayFormat();
}

void TcxCustomTextEditViewData::CacheProperties()
{
    TcxCustomEditViewData::CacheProperties();
    FIsValueTextFromDisplayFormat = Properties()->IsValueTextFromDisplayFormat();
}

std::string TcxCustomTextEditViewData::DrawText(const Variant& AEditValue)
{
    std::string text;
    try {
        text = FIsValueTextFromDisplayFormat ? VarToStr(AEditValue)
                                             : TextProperties()->FormatEditValue(AEditValue, Focused);
    } catch (const EConvertError&) {
    }
    TextProperties()->DisplayValueToDisplayText(text);
    return text;
}

int TcxCustomTextEditViewData::GetTextFlags()
{
    int f = 0;
    if (FHorzAlignment == taRightJustify) f |= cxAlignRight;
    else if (FHorzAlignment == taCenter) f |= cxAlignHCenter;
    if (FVertAlignment == taBottomJustify) f |= cxAlignBottom;
    else if (FVertAlignment == taVCenter) f |= cxAlignVCenter;
    return f | cxDontStartLeftOut | cxDontStartAboveTop | cxSingleLine;
}

TRect TcxCustomTextEditViewData::GetTextOffsets()
{
    TRect r = cxEditUtils::GetTextEditTextOffsets(IsInplace(), FHorzAlignment);
    TcxTextEditingStyle style = TextProperties()->GetEditingStyle();
    if (!IsInplace() && (style == tesFixedList || style == tesNoCaret)) {
        ++r.Left;
        if (FVertAlignment == taTopJustify) {
            ++r.Top;
            --r.Bottom;
        }
    }
    return r;
}

void TcxCustomTextEditViewData::PrepareTextFlags(TcxCanvas*, TcxCustomTextEditViewInfo* AViewInfo)
{
    int flags;
    if (!TextProperties()->IsMultiLine() && (TextProperties()->GetSupportedOperations() & 0x02) &&
        (EditorOptions & evoWordWrap))
        flags = (GetTextFlags() & ~cxSingleLine) | cxWordBreak | cxShowCharCutEllipsis;
    else
        flags = GetTextFlags();
    if (AViewInfo->EditorOptions & evoEndEllipsis) flags |= cxShowEndEllipsis;
    AViewInfo->TextFlags = flags;
    AViewInfo->ComboBoxFrame = HasComboBoxFrame();
}

void TcxCustomTextEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                          TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->TextHighlighted = false;
    vi->EditingStyle = TextProperties()->GetEditingStyle();
    vi->InnerEditVisible = InnerEditVisible;
    vi->PopupOpen = false;
    TRect o = GetTextOffsets();
    const TRect& c = vi->ContentRect;
    vi->TextRect = TRect{c.Left + o.Left, c.Top + o.Top, c.Right - o.Right, c.Bottom - o.Bottom};
    vi->MaxLineCount = MaxLineCount;
    vi->TextRowsCalculated = false;
    PrepareTextFlags(ACanvas, vi);
}

void TcxCustomTextEditViewData::CalculateSelectionViewInfo(TcxCustomTextEditViewInfo* AViewInfo)
{
    AViewInfo->SelStart = SelStart;
    AViewInfo->SelLength = SelLength;
    if (SelLength > 0) {
        AViewInfo->SelTextColor = SelTextColor == clDefault ? clHighlightText : SelTextColor;
        AViewInfo->SelBackgroundColor = SelBackgroundColor == clDefault ? clHighlight : SelBackgroundColor;
    }
}

void TcxCustomTextEditViewData::PrepareDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                 TcxCustomEditViewInfo* AViewInfo)
{
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->Text = DrawText(AEditValue);
    vi->TextRowsCalculated = false;
    CalculateSelectionViewInfo(vi);
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(const Variant& ADisplayValue,
                                                        TcxCustomTextEditViewInfo* AViewInfo)
{
    std::string text = VarToStr(ADisplayValue);
    TextProperties()->DisplayValueToDisplayText(text);
    AViewInfo->Text = text;
    AViewInfo->TextRowsCalculated = false;
}

TSize TcxCustomTextEditViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                            const TcxEditSizeProperties& AEditSizeProperties)
{
    TSize size{0, 0};
    if (!ACanvas) return size;
    std::string text = DrawText(AEditValue);
    ACanvas->SetFont(Style()->Font());
    int lineHeight = ACanvas->TextHeight("Zg");
    TSize off = cxEditUtils::GetTextEditContentOffsets(IsInplace());
    int flags = GetTextFlags();
    if (AEditSizeProperties.Width < 0) {
        size.cy = lineHeight;
        TRect r{0, 0, INT_MAX / 4, 0};
        size.cx = text.empty() ? 0 : (cxEditTextUtils::DrawText(ACanvas->Canvas(), text, r, 0, 0,
                                                                AEditSizeProperties.MaxLineCount, clNone, clNone, 0,
                                                                0, (flags & ~cxWordBreak) | cxCalcRect),
                                      r.Right - r.Left);
        size.cx += off.cx;
    } else {
        int w = AEditSizeProperties.Width - (IsInplace() ? 2 : 0);
        size.cx = AEditSizeProperties.Width;
        if (w > 0 && !text.empty()) {
            TRect r{0, 0, w, 0};
            int rows = cxEditTextUtils::DrawText(ACanvas->Canvas(), text, r, 0, 0, AEditSizeProperties.MaxLineCount,
                                                 clNone, clNone, 0, 0,
                                                 (flags & ~cxSingleLine) | cxWordBreak | cxCalcRect |
                                                     cxReturnRowCount);
            size.cy = std::max(1, rows) * lineHeight;
        } else {
            size.cy = text.empty() && (EditorOptions & evoEmptyTextNoHeight) ? 0 : lineHeight;
        }
    }
    if (size.cy > 0) size.cy += off.cy;
    return size;
}

// ---- view info -----------------------------------------------------------------------------------------

void TcxCustomTextEditViewInfo::OffsetBounds(int DX, int DY)
{
    TcxCustomEditViewInfo::OffsetBounds(DX, DY);
    TextRect.Left += DX;
    TextRect.Right += DX;
    TextRect.Top += DY;
    TextRect.Bottom += DY;
    TextRowsCalculated = false;
}

void TcxCustomTextEditViewInfo::Paint(TcxCanvas* ACanvas)
{
    cxEditUtils::DrawEditButtons(ACanvas, this, !Transparent && !TextHighlighted,
                                 EditingStyle == tesFixedList || EditingStyle == tesNoCaret ? 2 : 1);
    TRect r = ContentRect;
    if (!IsInplace) {
        if (!Native && !Transparent && EditingStyle != tesNoCaret) ACanvas->FrameRect(r, FillColor);
        InflateRect(r, -1, -1);
    }
    if (TextHighlighted) ACanvas->FillRect(r, clHighlight);
    if (!InnerEditVisible) PaintText(ACanvas);
}

void TcxCustomTextEditViewInfo::PaintText(TcxCanvas* ACanvas)
{
    if (Text.empty() || IsEmptyRect(TextRect)) return;
    if (Font) ACanvas->Font()->Assign(Font);
    TColor color = TextHighlighted ? clHighlightText : TextColor;
    ACanvas->Font()->SetColor(color);
    PrepareCanvasFont(ACanvas->Canvas());
    SetTextColor(ACanvas->Handle(), ColorToRGB(color));
    int oldMode = SetBkMode(ACanvas->Handle(), TRANSPARENT);
    TcxDCTextDevice device(ACanvas->Handle());
    cxEditTextUtils::PrepareTextOutData(device, Text, TextRect, TextFlags, MaxLineCount, SelStart, SelLength,
                                        SelBackgroundColor, SelTextColor, TextOutData);
    TextRowsCalculated = true;
    cxEditTextUtils::DrawTextOutData(device, TextOutData);
    SetBkMode(ACanvas->Handle(), oldMode);
}

bool TcxCustomTextEditViewInfo::NeedShowHintInRect(TcxCanvas* ACanvas, const TPoint& P, std::string& AText,
                                                   TRect& ARect)
{
    if (Text.empty() || P.X < TextRect.Left || P.X >= TextRect.Right || P.Y < TextRect.Top ||
        P.Y >= TextRect.Bottom)
        return false;
    if (Font) ACanvas->Font()->Assign(Font);
    TcxDCTextDevice device(ACanvas->Handle());
    int flags = TextFlags & ~cxAlignVertMask;
    TRect r{TextRect.Left, TextRect.Top, (flags & cxSingleLine) ? INT_MAX / 4 : TextRect.Right, INT_MAX / 4};
    TcxTextLayoutParams params;
    cxEditTextUtils::PrepareTextParams(device, flags | cxCalcRect, params);
    TcxTextRows rows;
    int count = 0;
    bool fits = cxEditTextUtils::MakeTextRows(device, cxRegExpr::ToU32(Text), r, MaxLineCount, count, rows, params);
    bool cut = !fits || count * params.RowHeight > TextRect.Bottom - TextRect.Top;
    std::u32string t = cxRegExpr::ToU32(Text);
    for (int i = 0; i < count && !cut; ++i) {
        std::u32string row = t.substr(size_t(rows[size_t(i)].Start), size_t(rows[size_t(i)].Length));
        while (!row.empty() && row.back() == ' ') row.pop_back();
        cut = device.Width(row, params.ExpandTabs) > TextRect.Right - TextRect.Left;
    }
    if (cut) {
        AText = Text;
        ARect = TextRect;
    }
    return cut;
}

// ---- routines and registration --------------------------------------------------------------------------

namespace cxEditUtils {

TRect GetTextEditTextOffsets(bool AIsInplace, TAlignment AAlignment)
{
    int right = AAlignment == taRightJustify ? 2 : 1;
    return TRect{1, 1, right, AIsInplace ? 1 : 3};
}

TSize GetTextEditContentOffsets(bool AIsInplace) { return TSize{3, AIsInplace ? 2 : 4}; }

}  // namespace cxEditUtils

namespace cxTextEdit {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxTextEditProperties::StaticClass()) < 0)
        r->Register(TcxTextEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryTextItem));
}

bool ReplaceSelectionLimited(const std::string& AText, int ASelStart, int ASelLength,
                             const std::string& AInserted, int AMaxLength, std::string& ANewText,
                             int& ACaret)
{
    std::u32string text = cxRegExpr::ToU32(AText), ins = cxRegExpr::ToU32(AInserted);
    int n = int(text.size());
    int start = std::clamp(ASelStart, 0, n);
    int len = std::clamp(ASelLength, 0, n - start);
    if (AMaxLength > 0) {
        // Room left once the selection is gone; the text after the selection
        // is never given up for what is pasted.
        int room = AMaxLength - (n - len);
        if (room <= 0 && !ins.empty()) return false;
        if (int(ins.size()) > room) ins.resize(size_t(std::max(0, room)));
    }
    std::u32string r = text.substr(0, size_t(start)) + ins + text.substr(size_t(start + len));
    ANewText = cxRegExpr::ToUtf8(r);
    ACaret = start + int(ins.size());
    return true;
}

int CopyTextToBuffer(const std::string& AText, char16_t* ABuffer, int ABufferSize)
{
    if (!ABuffer || ABufferSize < 1) return 0;
    std::u16string t = Utf8ToUtf16(AText);
    int n = std::min(int(t.size()), ABufferSize - 1);
    // Never ends inside a surrogate pair.
    if (n > 0 && n < int(t.size()) && t[size_t(n - 1)] >= 0xD800 && t[size_t(n - 1)] <= 0xDBFF) --n;
    std::copy(t.begin(), t.begin() + n, ABuffer);
    ABuffer[n] = 0;
    return n;
}

}  // namespace cxTextEdit

// ---- the text edit control -------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomInnerTextEdit, TCustomEdit)
QZ_CLASS_IMPL(TcxCustomTextEdit, TcxCustomEdit)
QZ_CLASS_IMPL(TcxTextEdit, TcxCustomTextEdit)

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    SetTabStop(false);
    SetParentColor(true);
    SetBorderStyle(bsNone);
}

TcxCustomTextEdit* TcxCustomInnerTextEdit::Container() const { return dynamic_cast<TcxCustomTextEdit*>(Owner()); }

void TcxCustomInnerTextEdit::Change()
{
    TCustomEdit::Change();
    if (TcxCustomTextEdit* c = Container()) c->InnerTextChanged();
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    if (TcxCustomTextEdit* c = Container()) c->AdjustInnerEditParams(Params);
}

void TcxCustomInnerTextEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    KeyConsumed = false;
    if (TcxCustomTextEdit* c = Container()) c->KeyDown(Key, Shift);
    if (Key == 0) {
        KeyConsumed = true;
        return;
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& Key)
{
    KeyConsumed = false;
    if (Key == '\t') {
        Key = 0;
        return;
    }
    TcxCustomTextEdit* c = Container();
    if (c) c->KeyPress(Key);
    if (Key == 0) {
        KeyConsumed = true;
        return;
    }
    // Enter and Esc do nothing in a single line; in place they are the host's.
    if (c && (Key == '\r' || Key == char(27)) && (c->IsInplace() || (Key == '\r' && !c->BeepOnEnter))) {
        Key = 0;
        return;
    }
    TCustomEdit::KeyPress(Key);
}

void TcxCustomInnerTextEdit::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_TAB) Key = 0;
    if (TcxCustomTextEdit* c = Container()) c->KeyUp(Key, Shift);
    if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomInnerTextEdit::WndProc(TMessage& Message)
{
    TcxCustomTextEdit* c = Container();
    if (c) switch (Message.Msg) {
        case WM_PASTE:
            if (!ReadOnly()) c->UserChange([c] { c->PasteFromClipboard(); });
            return;
        case WM_CUT:
            if (ReadOnly()) c->CopyToClipboard();
            else c->UserChange([c] { c->CutToClipboard(); });
            return;
        case WM_CLEAR:
            if (!ReadOnly()) c->UserChange([c] { c->ClearSelection(); });
            return;
        case WM_CHAR:
        case WM_IME_CHAR: {
            char32_t old = c->FTypedChar;
            c->FTypedChar = char32_t(Message.WParam);
            try {
                // Typed keys are the user's changes.
                bool wide = Message.Msg == WM_IME_CHAR || Message.WParam >= 0x80;
                if (!wide || !c->InnerWideChar(c->FTypedChar))
                    c->UserChange([&] { TCustomEdit::WndProc(Message); });
            } catch (...) {
                c->FTypedChar = old;
                throw;
            }
            c->FTypedChar = old;
            return;
        }
        case WM_KEYDOWN: {
            // A navigation key the edit had no use for (the caret and the
            // text stayed as they were) goes on to the host, as a grid
            // moves to the next cell.
            WORD key = WORD(Message.WParam);
            bool navigation = key >= VK_PRIOR && key <= VK_DOWN;
            std::string text = navigation ? GetText() : std::string();
            int anchor = navigation ? SelAnchor() : 0, caret = navigation ? CaretIndex() : 0;
            KeyConsumed = false;
            c->UserChange([&] { TCustomEdit::WndProc(Message); });
            if (navigation && !KeyConsumed && c->InnerEdit() == this && AnsiCompareText(GetText(), text) == 0 &&
                SelAnchor() == anchor && CaretIndex() == caret) {
                c->DoAfterKeyDown(key, GetShiftState());
            }
            return;
        }
        case WM_LBUTTONDOWN:
            // The click after the one that activated an in-place edit makes
            // a double click.
            if (c->TakeActivationClick()) {
                Message.Msg = WM_LBUTTONDBLCLK;
                TCustomEdit::WndProc(Message);
                c->InnerMouseEvent(Message.Msg, Message.WParam);
                c->DblClick();
                return;
            }
            [[fallthrough]];
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
            TCustomEdit::WndProc(Message);
            c->InnerMouseEvent(Message.Msg, Message.WParam);
            return;
        case WM_GETDLGCODE:
            // Tab reaches the edit, which moves the focus itself (or lets an
            // in-place host have it); in place, and while the popup is open,
            // every key does.
            TCustomEdit::WndProc(Message);
            Message.Result |= DLGC_WANTCHARS;
            if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
            if (c->IsInplace() || c->HasPopupWindow()) Message.Result |= DLGC_WANTALLKEYS;
            return;
        }
    TCustomEdit::WndProc(Message);
}

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    FInnerEdit = new TcxCustomInnerTextEdit(this);
    FInnerEdit->SetParent(this);
    SetInnerControl(FInnerEdit);
    SetParentColor(false);
    SetBounds(Left(), Top(), 121, 21);
    PropertiesChanged(ActiveProperties());
}

class TcxCustomTextEdit::TLookupOwner : public IcxTextEditLookupOwner {
public:
    explicit TLookupOwner(TcxCustomTextEdit* AEdit) : E(AEdit) {}
    TcxCustomTextEditProperties* LookupProperties() override { return E->Properties(); }
    std::string LookupText() override { return E->GetDisplayText(); }
    bool LookupTextLock() override { return E->FLookupTextLock; }
    void SetLookupTextLock(bool AValue) override { E->FLookupTextLock = AValue; }
    TcxCustomTextEdit* LookupEdit() override { return E; }

private:
    TcxCustomTextEdit* E;
};

TcxCustomTextEdit::~TcxCustomTextEdit() = default;

TcxCustomTextEditLookupData* TcxCustomTextEdit::LookupData()
{
    if (!Properties() || !Properties()->UseLookupData()) return nullptr;
    // The data of the class the properties name (the drop-down editors name
    // data that shows a list).
    TClass c = Properties()->GetLookupDataClass();
    if (FLookupData && c && FLookupData->ClassType() != c) FLookupData.reset();
    if (!FLookupData) {
        FLookupOwner = std::make_unique<TLookupOwner>(this);
        TObject* o = c ? c->Create(nullptr) : nullptr;
        auto* d = dynamic_cast<TcxCustomTextEditLookupData*>(o);
        if (!d) {
            delete o;
            d = new TcxCustomTextEditLookupData();
        }
        d->SetLookupOwner(FLookupOwner.get());
        FLookupData.reset(d);
    }
    return FLookupData.get();
}

bool TcxCustomTextEdit::LocateText(std::string& AText)
{
    TcxCustomTextEditLookupData* data = LookupData();
    std::string t = AText, tail;
    bool found = data && data->Locate(t, tail, false);
    if (found) AText = t;
    FLookupSelection = found;
    if (AText.empty()) {
        if (Properties()->GetEditingStyle() != tesFixedList) InternalSetDisplayValue(Variant(std::string()));
        FLookupSelection = false;
    }
    if (found) {
        InternalSetDisplayValue(Variant(AText + tail));
        SetSelStart(Length(AText));
        SetSelLength(Length(tail));
    }
    return found;
}

bool TcxCustomTextEdit::IncrementalSearch(char32_t ACh)
{
    TcxCustomTextEditLookupData* data = LookupData();
    if (!data || data->IsEmpty()) return false;
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    bool incremental = Properties()->IncrementalSelection();
    if (style == tesFixedList && !incremental && ACh == 8) {
        FLookupSelection = false;
        return true;   // dropped
    }
    std::u32string text = cxRegExpr::ToU32(GetDisplayText());
    int selStart = SelStart(), selLength = SelLength();
    bool hadSelection = FLookupSelection, found = false, consumed = false;
    FLookupTextLock = true;
    LockChangeEvents(true);
    try {
        if (ACh == 8) {
            if (style == tesList && !text.empty() && !FLookupSelection) {
                int caret = FInnerEdit->CaretIndex();
                SetSelStart(caret);
                SetSelLength(int(text.size()) - caret);
                selStart = caret;
                selLength = int(text.size()) - caret;
                FLookupSelection = true;
            }
            if (FLookupSelection) {
                // The typed part less its last character, searched again.
                std::u32string head = text.substr(0, size_t(std::min(selStart, int(text.size()))));
                if (!head.empty()) head.pop_back();
                std::string s = cxRegExpr::ToUtf8(head);
                found = LocateText(s);
                consumed = true;
            }
            if (style == tesFixedList) consumed = true;
        } else if (ACh >= 32) {
            bool atEnd = selLength == 0 && FInnerEdit->CaretIndex() == int(text.size());
            if (style == tesList || style == tesFixedList || atEnd || selLength > 0 || FLookupSelection) {
                std::u32string head;
                if (selLength > 0) {
                    head = text.substr(0, size_t(selStart)) + ACh;
                } else if (style != tesFixedList) {
                    head = text;
                    head.insert(size_t(std::min(selStart, int(head.size()))), 1, ACh);
                } else {
                    head = std::u32string(1, ACh);
                }
                std::string s = cxRegExpr::ToUtf8(head);
                found = LocateText(s);
                if (!found && style == tesFixedList) {
                    s = cxRegExpr::ToUtf8(std::u32string(1, ACh));
                    found = LocateText(s);
                }
                if (found) consumed = true;
                else if (style == tesList || style == tesFixedList) {
                    // No item goes on with it: the character is refused.
                    consumed = true;
                    FLookupSelection = style == tesList ? !text.empty() : (incremental && hadSelection);
                    if (Properties()->BeepOnError()) MessageBeep(0);
                }
            }
        }
    } catch (...) {
        FLookupTextLock = false;
        LockChangeEvents(false, true);
        throw;
    }
    FLookupTextLock = false;
    if (found && Properties()->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
    LockChangeEvents(false, true);
    return consumed;
}

TWinControl* TcxCustomTextEdit::ActivationTarget()
{
    if (FInnerEdit) return FInnerEdit;
    return TcxCustomEdit::ActivationTarget();
}

std::string TcxCustomTextEdit::GetDisplayText() { return FInnerEdit ? FInnerEdit->GetText() : std::string(); }

void TcxCustomTextEdit::SetInnerDisplayValue(const Variant& Value)
{
    if (!FInnerEdit) return;
    bool old = FSynchronizing;
    FSynchronizing = true;
    FInnerEdit->SetText(VarToStr(Value));
    FSynchronizing = old;
}

void TcxCustomTextEdit::SynchronizeDisplayValue()
{
    Variant d;
    try {
        d = Variant(Properties()->FormatEditValue(GetEditValue(), Focused()));
    } catch (const EConvertError&) {
        d = Variant(std::string());   // a value that cannot be shown shows nothing
    }
    SetInnerDisplayValue(d);
    if (!IsInnerEditVisible()) ShortRefreshContainer(false);
}

void TcxCustomTextEdit::SynchronizeEditValue()
{
    Variant old = FEditValue;
    FEditValue = DisplayValueToEditValue(GetDisplayText());
    if (FUserChange || Focused()) SetModifiedAfterEnter(true);
    else SetModified(false);
    if (!cxEdit::VarEqualsExact(old, FEditValue)) {
        DoEditValueChanged();
        if (!Properties()->SuppressChangeOnEditValue()) DoChange();
    }
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& Value)
{
    SetInnerDisplayValue(Value);
    SynchronizeEditValue();
}

void TcxCustomTextEdit::InnerTextChanged()
{
    if (FSynchronizing) return;
    // Typing: the value follows the text, the change event fires once.
    LockChangeEvents(true);
    try {
        SynchronizeEditValue();
        ChangeHandler(this);
    } catch (...) {
        LockChangeEvents(false, true);
        throw;
    }
    LockChangeEvents(false, true);
}

bool TcxCustomTextEdit::ApplyDisplayText(const std::string& AText)
{
    std::string text = AText.substr(0, AText.find('\0'));
    Variant v(text);
    bool ok = Properties()->CheckDisplayValue(v, Focused());
    if (ok && FUserChange) ok = DoEditing();
    if (ok) InternalSetDisplayValue(v);
    return ok;
}

void TcxCustomTextEdit::SetSelText(const std::string& AText)
{
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    if (FUserChange && style == tesNoCaret) return;
    if (style == tesFixedList || style == tesNoCaret) SelectAll();
    std::string text = GetDisplayText(), result;
    int caret = 0;
    int limit = FUserChange && (style == tesFree || style == tesNoCaret) ? Properties()->MaxLength() : 0;
    if (style == tesFixedList) {
        result = AText;
        caret = Length(AText);
    } else if (!cxTextEdit::ReplaceSelectionLimited(text, SelStart(), SelLength(), AText, limit, result, caret)) {
        return;   // no room
    }
    if (ApplyDisplayText(result)) {
        SetSelStart(caret);
        SetSelLength(0);
    }
}

void TcxCustomTextEdit::PasteFromClipboard()
{
    if (Clipboard()->HasFormat(CF_TEXT)) SetSelText(Clipboard()->AsText());
}

void TcxCustomTextEdit::CopyToClipboard()
{
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    if (style == tesFixedList || style == tesNoCaret) SelectAll();
    if (SelLength() > 0 && Properties()->EchoMode() != eemPassword) Clipboard()->SetAsText(FInnerEdit->SelText());
}

void TcxCustomTextEdit::CutToClipboard()
{
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    if (FUserChange && style == tesNoCaret) return;
    if (style == tesFixedList || style == tesNoCaret) SelectAll();
    if (SelLength() == 0 || Properties()->EchoMode() == eemPassword) return;
    Clipboard()->SetAsText(FInnerEdit->SelText());
    ClearSelection();
}

void TcxCustomTextEdit::ClearSelection()
{
    int start = SelStart();
    std::string text = GetDisplayText();
    std::string r = Copy(text, 1, start) + Copy(text, start + SelLength() + 1);
    if (ApplyDisplayText(r)) {
        SetSelStart(start);
        SetSelLength(0);
    }
}

void TcxCustomTextEdit::SelectAll()
{
    if (FInnerEdit) FInnerEdit->SelectAll();
}

bool TcxCustomTextEdit::CanModify() { return TcxCustomEdit::CanModify(); }

void TcxCustomTextEdit::DoEditKeyPress(char& Key)
{
    // A character that would change the text asks for the editing permission first.
    unsigned char c = static_cast<unsigned char>(Key);
    bool modifies = c >= 32 || c == 8 || c == 22 || c == 24;
    if (modifies && !DoEditing()) {
        Key = 0;
        return;
    }
    // Completion from the lookup items; characters beyond ASCII searched in
    // InnerWideChar, whole.
    if ((c >= 32 && c < 0x80) || c == 8) {
        bool consumed = false;
        UserChange([&] { consumed = IncrementalSearch(char32_t(c)); });
        if (consumed) Key = 0;
    }
}

bool TcxCustomTextEdit::InnerWideChar(char32_t ACh)
{
    TcxCustomTextEditLookupData* data = LookupData();
    if (!data || data->IsEmpty()) return false;
    if (!DoEditing()) return true;
    bool consumed = false;
    UserChange([&] { consumed = IncrementalSearch(ACh); });
    return consumed;
}

bool TcxCustomTextEdit::IsInnerEditVisible()
{
    if (!FInnerEdit || IsDesigning()) return false;
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    if (style == tesFixedList || style == tesNoCaret) return false;
    TAlignment a = Properties()->Alignment()->Horz();
    return Focused() || a == taLeftJustify || (Properties()->UseLeftAlignmentOnEditing() && Focused());
}

void TcxCustomTextEdit::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    TcxCustomEdit::CalculateViewInfo(P, AAllowHot);
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(EditViewInfo());
    bool visible = IsInnerEditVisible();
    if (vi) {
        vi->InnerEditVisible = visible;
        vi->Text = GetDisplayText();
        Properties()->DisplayValueToDisplayText(vi->Text);
    }
    if (FInnerEdit && FInnerEdit->Visible() != visible) FInnerEdit->SetVisible(visible);
}

void TcxCustomTextEdit::FocusChanged()
{
    TcxCustomEdit::FocusChanged();
    ShortRefreshContainer(false);
}

void TcxCustomTextEdit::PropertiesChanged(TObject* Sender)
{
    if (FInnerEdit && Properties()) {
        TcxCustomTextEditProperties* p = Properties();
        FInnerEdit->SetAlignment(p->UseLeftAlignmentOnEditing() ? taLeftJustify : p->Alignment()->Horz());
        FInnerEdit->SetAutoSelect(p->AutoSelect() && !IsInplace());
        FInnerEdit->SetCharCase(p->CharCase());
        FInnerEdit->SetPasswordChar(p->EchoMode() == eemPassword ? '*' : 0);
        FInnerEdit->SetHideSelection(p->HideSelection());
        FInnerEdit->SetMaxLength(p->MaxLength());
        FInnerEdit->SetOEMConvert(p->OEMConvert());
        FInnerEdit->SetReadOnly(p->ReadOnly());
    }
    TcxCustomEdit::PropertiesChanged(Sender);
}

void TcxCustomTextEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETTEXT: {
        // WParam: the room in characters, terminator included (0: all). The
        // result counts the characters copied, not the terminator.
        std::string text = GetTextForLookup();
        int n = Length(text);
        if (Message.WParam > 0) n = std::min(n, int(Message.WParam) - 1);
        if (auto* out = reinterpret_cast<std::string*>(Message.LParam)) *out = Copy(text, 1, n);
        Message.Result = n;
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = Length(GetTextForLookup());
        return;
    case WM_SETTEXT: {
        auto* in = reinterpret_cast<const std::string*>(Message.LParam);
        Message.Result = SetTextForLookup(in ? *in : std::string()) ? 1 : 0;
        return;
    }
    case WM_CLEAR:
        if (!Properties()->ReadOnly()) UserChange([this] { ClearSelection(); });
        return;
    }
    TcxCustomEdit::WndProc(Message);
}
