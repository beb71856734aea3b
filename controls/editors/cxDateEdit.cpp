#include "cxDateEdit.h"

#include "SysUtils.h"
#include "cxDateUtils.h"
#include "cxFormats.h"
#include "cxVariants.h"

#include <cmath>

const TcxResourceStringRec scxSEditRepositoryDateItem = {"scxSEditRepositoryDateItem",
                                                         "DateEdit|Represents an edit control with a dropdown calendar"};
const TcxResourceStringRec cxSDateError = {"cxSDateError", "Invalid Date"};
const TcxResourceStringRec cxSEditDateConvertError = {"cxSEditDateConvertError", "Could not convert to date"};

QZ_CLASS_IMPL(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)
QZ_CLASS_IMPL(TcxDateEditProperties, TcxCustomDateEditProperties)
QZ_CLASS_IMPL(TcxCustomDateEdit, TcxCustomPopupEdit)
QZ_CLASS_IMPL(TcxDateEdit, TcxCustomDateEdit)

namespace {

constexpr TDateTime kNullDate = cxDateUtils::NullDate;

// The whole day of a date plus a time of day taken with the date's sign.
TDateTime WithTime(TDateTime ADate, TDateTime ATime)
{
    const double day = std::trunc(ADate);
    return ADate < 0 ? day - ATime : day + ATime;
}

TDateTime Today() { return std::trunc(double(Now())); }

}  // namespace

// ---- properties ------------------------------------------------------------------------------------------

TcxCustomDateEditProperties::TcxCustomDateEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner)
{
    FDateButtons = TDateButtons{btnClear, btnToday};
    BeginUpdate();
    SetCaseInsensitive(true);
    SetImmediateDropDown(false);
    SetPopupSizeable(false);
    SetValidateOnEnter(true);
    EndUpdate(false);
    ApplyInputKindMask();
}

TClass TcxCustomDateEditProperties::GetEditClass() const { return TcxDateEdit::StaticClass(); }

void TcxCustomDateEditProperties::ApplyInputKindMask()
{
    if (FApplyingMask) return;
    FApplyingMask = true;
    const bool locked = IsChangeLocked();
    SetChangedLocked(true);
    try {
        TcxFormatController* f = cxFormats::GetFormatController();
        switch (FInputKind) {
        case ikStandard: SetEditMask(std::string()); break;
        case ikMask:
            SetMaskKind(emkStandard);
            SetEditMask(f->StandardDateEditMask());
            break;
        default:
            SetMaskKind(emkRegExprEx);
            SetEditMask(f->RegExprDateEditMask());
            break;
        }
    } catch (...) {
        SetChangedLocked(locked);
        FApplyingMask = false;
        throw;
    }
    SetChangedLocked(locked);
    FApplyingMask = false;
}

void TcxCustomDateEditProperties::Changed()
{
    if (IsChangeLocked()) return;
    ApplyInputKindMask();
    TcxCustomPopupEditProperties::Changed();
}

TDateButtons TcxCustomDateEditProperties::DateButtons() const
{
    return FDateButtonsAssigned ? FDateButtons : TDateButtons{btnClear, btnToday};
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons Value)
{
    if (FDateButtonsAssigned && FDateButtons == Value) return;
    FDateButtons = Value;
    FDateButtonsAssigned = true;
    Changed();
}

void TcxCustomDateEditProperties::SetDateOnError(TDateOnError Value)
{
    if (FDateOnError == Value) return;
    FDateOnError = Value;
    Changed();
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind Value)
{
    if (FInputKind == Value) return;
    FInputKind = Value;
    Changed();
}

void TcxCustomDateEditProperties::SetSaveTime(bool Value)
{
    if (FSaveTime == Value) return;
    FSaveTime = Value;
    Changed();
}

void TcxCustomDateEditProperties::SetShowTime(bool Value)
{
    if (FShowTime == Value) return;
    FShowTime = Value;
    Changed();
}

void TcxCustomDateEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomDateEditProperties*>(Source);
    if (!s) {
        TcxCustomPopupEditProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomPopupEditProperties::Assign(Source);
        FDateButtonsAssigned = false;
        if (s->FDateButtonsAssigned) SetDateButtons(s->FDateButtons);
        SetDateOnError(s->DateOnError());
        SetInputKind(s->InputKind());
        SetSaveTime(s->SaveTime());
        SetShowTime(s->ShowTime());
    });
}

Variant TcxCustomDateEditProperties::TextToEditValue(const std::string& AText)
{
    if (AText == EmptyMaskText()) return Null();
    TDateTime d = kNullDate;
    const bool runtime = cxFormats::GetFormatController()->UseRuntimeDateFormats();
    cxDateUtils::TryTextToDateTime(AText, !runtime, d);
    if (d != kNullDate) return VarFromDateTime(d);
    if (FDateOnError == deToday) return VarFromDateTime(Today());
    return Null();
}

bool TcxCustomDateEditProperties::IsEditValueValid(const Variant& AEditValue)
{
    if (VarIsStr(AEditValue)) {
        if (VarToStr(AEditValue).empty()) return true;
        TDateTime d = kNullDate;
        return cxDateUtils::TryTextToDateTime(VarToStr(AEditValue), true, d) && d != kNullDate;
    }
    return VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || cxVariants::IsDateVariant(AEditValue) ||
           VarIsNumeric(AEditValue) || VarIsFloat(AEditValue);
}

void TcxCustomDateEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused)
{
    if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || (VarIsStr(AEditValue) && VarToStr(AEditValue).empty())) {
        DisplayValue = Variant(EmptyMaskText());
        return;
    }
    TDateTime d;
    if (VarIsStr(AEditValue)) {
        Variant v = TextToEditValue(VarToStr(AEditValue));
        if (VarIsNull(v)) throw EConvertError(cxClasses::GetResourceString(&cxSEditDateConvertError));
        d = VarToDateTime(v);
    } else if (cxVariants::IsDateVariant(AEditValue) || VarIsNumeric(AEditValue) || VarIsFloat(AEditValue)) {
        d = cxVariants::IsDateVariant(AEditValue) ? VarToDateTime(AEditValue) : AEditValue.AsDouble();
    } else {
        throw EConvertError(cxClasses::GetResourceString(&cxSEditDateConvertError));
    }
    if (d == kNullDate) throw EConvertError(cxClasses::GetResourceString(&cxSEditDateConvertError));
    std::string text;
    if (AEditFocused)
        text = cxDateUtils::DateTimeToTextEx(std::trunc(d), FInputKind == ikMask);
    else
        text = cxDateUtils::DateTimeToTextEx(FShowTime ? d : std::trunc(d), false);
    if (AEditFocused && IsMasked()) TcxCustomMaskEditProperties::PrepareDisplayValue(Variant(text), DisplayValue, true);
    else DisplayValue = Variant(text);
}

bool TcxCustomDateEditProperties::CheckDisplayValue(Variant& AValue, bool AEditFocused)
{
    if (FInputKind != ikStandard) return TcxCustomPopupEditProperties::CheckDisplayValue(AValue, AEditFocused);
    TDateTime d = kNullDate;
    return cxDateUtils::TextToDateEx(VarToStr(AValue), d) && d != kNullDate;
}

void TcxCustomDateEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    auto* edit = dynamic_cast<TcxCustomDateEdit*>(AEdit);
    const std::string empty = EmptyMaskText();
    const std::string original = VarToStr(DisplayValue);
    const std::string current = edit ? edit->GetDisplayText() : original;
    TDateTime d = 0;
    ErrorText = cxClasses::GetResourceString(&cxSDateError);
    bool handlerChanged = false;
    try {
        if (original != empty) {
            if (!cxDateUtils::TextToDateEx(original, d) || d == kNullDate) {
                Error = true;
                d = kNullDate;
            }
            if (!Error && !FSaveTime) d = cxDateUtils::TruncWithTolerance(d);
            DisplayValue = Variant(Error ? std::string() : cxDateUtils::DateTimeToTextEx(d, FInputKind == ikMask));
        }
        if (!OnValidate) {
            if (Error && FDateOnError == deToday) {
                d = Today();
                Error = false;
            } else if (Error && FDateOnError == deNull) {
                d = kNullDate;
                Error = false;
            }
        } else {
            const std::string before = VarToStr(DisplayValue);
            bool changed = false;
            DoValidate(DisplayValue, ErrorText, Error, AEdit, changed);
            handlerChanged = changed || VarToStr(DisplayValue) != before;
            if (!Error) {
                const std::string t = VarToStr(DisplayValue);
                TDateTime x = kNullDate;
                if (t == empty) d = original == empty ? 0 : kNullDate;
                else if (cxDateUtils::TextToDateEx(t, x) && x != kNullDate) d = x;
                else Error = true;
            }
        }
    } catch (const Exception&) {
        Error = true;
    }
    if (Error) {
        if (!handlerChanged) DisplayValue = Variant(current);
        return;
    }
    if (!edit) return;
    // The user emptied the text (a failed conversion also leaves it empty,
    // but DateOnError has decided that date).
    const bool emptyText = original == empty || (VarToStr(DisplayValue) == empty && d == kNullDate);
    if (d != kNullDate && !emptyText) {
        try {
            if (!FSaveTime) d = cxDateUtils::TruncWithTolerance(d);
            if (MaxDate() > MinDate()) {
                ValidateRange(VarFromDateTime(d), ErrorText, Error);
                if (Error) {
                    DisplayValue = Variant(current);
                    return;
                }
            }
        } catch (const Exception&) {
            Error = true;
            DisplayValue = Variant(current);
            return;
        }
    }
    edit->ApplyValidatedDate(d, emptyText, DisplayValue);
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomDateEdit::TcxCustomDateEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    TControlStyle s = ControlStyle();
    s.Exclude(csSetCaption);
    SetControlStyle(s);
    FCalendar = new TcxPopupCalendar(this);
    FCalendar->SetVisible(false);
    FCalendar->OnHidePopup = [this](TObject*) {
        if (PopupWindow()) PopupWindow()->PostClosePopup();
    };
    Properties()->SetPopupControl(FCalendar);
    PropertiesChanged(ActiveProperties());
}

TcxCustomDateEdit::~TcxCustomDateEdit()
{
    if (HasPopupWindow() && PopupWindow()) PopupWindow()->ClosePopup(false);
}

TcxCustomEditPopupWindow* TcxCustomDateEdit::CreatePopupWindow()
{
    TcxCustomEditPopupWindow* w = TcxCustomPopupEdit::CreatePopupWindow();
    w->Modal = false;
    return w;
}

TDateTime TcxCustomDateEdit::Date()
{
    Variant v = GetEditValue();
    if (VarIsNull(v) || VarIsEmpty(v)) return kNullDate;
    if (cxVariants::IsDateVariant(v)) return VarToDateTime(v);
    if (VarIsNumeric(v) || VarIsFloat(v)) return v.AsDouble();
    if (VarIsStr(v)) {
        Variant x = Properties()->TextToEditValue(VarToStr(v));
        return VarIsNull(x) ? kNullDate : VarToDateTime(x);
    }
    return kNullDate;
}

void TcxCustomDateEdit::SetDate(TDateTime Value)
{
    if (Value == kNullDate) {
        ChangeEditValue(Null());
        return;
    }
    TDateTime d = std::trunc(Value);
    if (Properties()->SaveTime()) d = WithTime(Value, FSavedTime);
    ChangeEditValue(VarFromDateTime(d));
}

void TcxCustomDateEdit::Clear() { SetDate(kNullDate); }

Variant TcxCustomDateEdit::DisplayValueToEditValue(const std::string& AText)
{
    if (!dynamic_cast<TcxCustomDateEditProperties*>(ActiveProperties()))
        return TcxCustomPopupEdit::DisplayValueToEditValue(AText);
    Variant v = Properties()->TextToEditValue(AText);
    if (VarIsNull(v)) return v;
    TDateTime d = VarToDateTime(v);
    if (d != kNullDate && Properties()->SaveTime()) d = WithTime(d, FSavedTime);
    return VarFromDateTime(d);
}

void TcxCustomDateEdit::InternalSetEditValue(const Variant& Value, bool AValidate)
{
    TcxCustomPopupEdit::InternalSetEditValue(Value, AValidate);
    if (IsContainerDestroying() || !dynamic_cast<TcxCustomDateEditProperties*>(ActiveProperties())) return;
    if (!Properties()->SaveTime()) {
        FSavedTime = 0;
        return;
    }
    Variant v = Value;
    if (VarIsStr(v)) v = Properties()->TextToEditValue(VarToStr(v));
    if (cxVariants::IsDateVariant(v) || VarIsNumeric(v) || VarIsFloat(v)) {
        double d = cxVariants::IsDateVariant(v) ? double(VarToDateTime(v)) : v.AsDouble();
        FSavedTime = std::fabs(d - std::trunc(d));
    } else {
        FSavedTime = 0;
    }
}

void TcxCustomDateEdit::ApplyValidatedDate(TDateTime ADate, bool AEmptyText, Variant& DisplayValue)
{
    TcxCustomDateEditProperties* p = Properties();
    if (ADate == kNullDate || AEmptyText) {
        // No date: the emptied text is no date, whatever time was kept.
        const bool wasNull = VarIsNull(GetEditValue());
        FSavedTime = 0;
        FEditValue = Null();
        if (!wasNull) DoEditValueChanged();
        DisplayValue = Variant(p->EmptyMaskText());
        return;
    }
    if (IsContainerDestroying()) return;
    TDateTime d = ADate;
    if (std::trunc(d) == d) d = WithTime(d, FSavedTime);
    if (p->SaveTime()) FSavedTime = std::fabs(d - std::trunc(d));
    else {
        FSavedTime = 0;
        d = cxDateUtils::TruncWithTolerance(d);
    }
    DisplayValue = Variant(cxDateUtils::DateTimeToTextEx(d, p->InputKind() == ikMask));
}

void TcxCustomDateEdit::KeepEditValueInBounds()
{
    TcxCustomDateEditProperties* p = Properties();
    if (!(p->MaxDate() > p->MinDate())) return;
    TDateTime d = Date();
    if (d == kNullDate) return;
    const bool user = ModifiedAfterEnter();
    auto apply = [&](TDateTime x) {
        if (user) UserChange([&] { SetDate(x); });
        else SetDate(x);
    };
    if (d < p->MinDate()) apply(p->MinDate());
    else if (d > p->MaxDate()) apply(p->MaxDate());
}

void TcxCustomDateEdit::DropDown()
{
    Properties()->SetPopupControl(FCalendar);
    TcxCustomPopupEdit::DropDown();
}

void TcxCustomDateEdit::SetupPopupWindow()
{
    TcxCustomPopupEdit::SetupPopupWindow();
    FCalendar->OnDateChosen = nullptr;
    FCalendar->HandleNeeded();
    FCalendar->SetColor(EditStyle()->GetEffectiveColor());
    FCalendar->SetFlat(PopupControlsLookAndFeel()->GetEffectiveKind() != lfStandard);
    FCalendar->SetDateButtons(Properties()->DateButtons());
    FDateDropDown = Date();
    TDateTime day = FDateDropDown == kNullDate ? Today() : std::trunc(FDateDropDown);
    FCalendar->EditDate = day;
    FCalendar->SetFirstDate(day);
    FCalendar->SetSelectDate(day);
    FCalendar->Font()->Assign(EditStyle()->Font());
    TSize s = FCalendar->GetSize();
    FCalendar->SetBounds(FCalendar->Left(), FCalendar->Top(), s.cx, s.cy);
    FCalendar->OnDateChosen = [this](TObject*, TDateTime d) { DateChosen(d); };
}

void TcxCustomDateEdit::PopupWindowShowed(TObject* Sender)
{
    TcxCustomPopupEdit::PopupWindowShowed(Sender);
    FCalendar->CalculateLayout();
    FCalendar->Invalidate();
}

void TcxCustomDateEdit::DateChosen(TDateTime ADate)
{
    TDateTime d = ADate;
    if (d != kNullDate && Properties()->SaveTime() && FDateDropDown != kNullDate)
        d = WithTime(d, std::fabs(FDateDropDown - std::trunc(FDateDropDown)));
    Variant shown;
    Properties()->PrepareDisplayValue(d == kNullDate ? Null() : VarFromDateTime(d), shown, Focused());
    if (Date() == d && GetDisplayText() == VarToStr(shown)) return;
    if (!DoEditing()) return;
    if (d == kNullDate) {
        ChangeEditValue(Null());
    } else {
        ChangeEditValue(VarFromDateTime(d));
        SelectAll();
    }
    SetModifiedAfterEnter(true);
}

namespace cxDateEdit {

void Initialize()
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxDateEditProperties::StaticClass()) < 0)
        r->Register(TcxDateEditProperties::StaticClass(), cxClasses::GetResourceString(&scxSEditRepositoryDateItem));
}

}  // namespace cxDateEdit
