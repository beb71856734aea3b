// The date edit: a date or date-time value edited as text (free text, a
// standard mask or a regular-expression mask), with the date words and
// formats of the date conversion, a range, a choice of what an invalid text
// becomes, the time of day kept while only the date is edited, and a popup
// calendar with "Today" and "Clear".
//
// Clearing the edit or emptying its text gives no date (Null), never day 0.
#pragma once

#include "cxCalendar.h"
#include "cxDropDownEdit.h"

#include <memory>

enum TDateOnError { deNoChange, deToday, deNull };
enum TcxInputKind { ikStandard, ikMask, ikRegExpr };

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
    QZ_CLASS(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)
public:
    explicit TcxCustomDateEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    void Changed() override;
    TClass GetEditClass() const override;
    bool PostEditValueOnClosed() override { return true; }
    int GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
    bool IsEditValueNumeric() override { return true; }
    unsigned UsesDisplayFormatting(bool AFocused) override { return IsDisplayFormatDefined(AFocused) ? 1 : 0; }
    bool IsEditValueValid(const Variant& AEditValue) override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    bool CheckDisplayValue(Variant& AValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;

    // The value of a text: a date, today or Null as DateOnError says, Null
    // for the mask's empty text.
    Variant TextToEditValue(const std::string& AText);

    TDateButtons DateButtons() const;
    void SetDateButtons(TDateButtons Value);
    bool IsDateButtonsAssigned() const { return FDateButtonsAssigned; }
    TDateOnError DateOnError() const { return FDateOnError; }
    void SetDateOnError(TDateOnError Value);
    TcxInputKind InputKind() const { return FInputKind; }
    void SetInputKind(TcxInputKind Value);
    bool SaveTime() const { return FSaveTime; }
    void SetSaveTime(bool Value);
    bool ShowTime() const { return FShowTime; }
    void SetShowTime(bool Value);
    TDateTime MinDate() { return MinValue(); }
    void SetMinDate(TDateTime Value) { SetMinValue(Value); }
    TDateTime MaxDate() { return MaxValue(); }
    void SetMaxDate(TDateTime Value) { SetMaxValue(Value); }

private:
    void ApplyInputKindMask();
    TDateButtons FDateButtons;
    bool FDateButtonsAssigned = false;
    TDateOnError FDateOnError = deNoChange;
    TcxInputKind FInputKind = ikRegExpr;
    bool FSaveTime = true;
    bool FShowTime = true;
    bool FApplyingMask = false;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
    QZ_CLASS(TcxDateEditProperties, TcxCustomDateEditProperties)
public:
    explicit TcxDateEditProperties(TPersistent* AOwner = nullptr) : TcxCustomDateEditProperties(AOwner) {}
};

class TcxCustomDateEdit : public TcxCustomPopupEdit {
    QZ_CLASS(TcxCustomDateEdit, TcxCustomPopupEdit)
public:
    explicit TcxCustomDateEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomDateEdit() override;
    TClass GetPropertiesClass() const override { return TcxDateEditProperties::StaticClass(); }
    TcxCustomDateEditProperties* Properties() const
    {
        return static_cast<TcxCustomDateEditProperties*>(ActiveProperties());
    }
    TcxPopupCalendar* Calendar() const { return FCalendar; }

    // The null date when there is no date.
    TDateTime Date();
    void SetDate(TDateTime Value);
    // No date (Null).
    void Clear() override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    void DropDown() override;
    void PopupWindowShowed(TObject* Sender) override;
    // The time of day kept while the date is edited (0: none).
    TDateTime SavedTime() const { return FSavedTime; }
    // The value after validation of the typed text (steps the properties
    // cannot take alone).
    void ApplyValidatedDate(TDateTime ADate, bool AEmptyText, Variant& DisplayValue);
    // The calendar chose a date (the null date: Clear).
    void DateChosen(TDateTime ADate);
    // Keeps Date within MinDate and MaxDate.
    void KeepEditValueInBounds();

protected:
    TcxCustomEditPopupWindow* CreatePopupWindow() override;
    void SetupPopupWindow() override;
    void InternalSetEditValue(const Variant& Value, bool AValidate) override;

private:
    TcxPopupCalendar* FCalendar = nullptr;
    TDateTime FDateDropDown = -700000.0;
    TDateTime FSavedTime = 0;
};

class TcxDateEdit : public TcxCustomDateEdit {
    QZ_CLASS(TcxDateEdit, TcxCustomDateEdit)
public:
    explicit TcxDateEdit(TComponent* AOwner = nullptr, bool AIsInplace = false) : TcxCustomDateEdit(AOwner, AIsInplace) {}
};

extern const TcxResourceStringRec scxSEditRepositoryDateItem;
extern const TcxResourceStringRec cxSDateError;
extern const TcxResourceStringRec cxSEditDateConvertError;

namespace cxDateEdit {
// Registers the date edit properties with the editor registry.
void Initialize();
}
