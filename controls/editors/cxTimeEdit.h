// The time edit: a spin edit over the time of day of a date-time value,
// shown through a fixed mask per layout (hours, minutes and seconds; hours
// and minutes; hours) on a 12- or 24-hour clock. Spinning changes the part
// under the caret (the AM/PM designator toggles); the date part stays.
#pragma once

#include "cxFormats.h"
#include "cxSpinEdit.h"

#include <string>

enum TcxTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };
// The part of the time at the caret.
enum TcxTimePart { tpHour, tpMin, tpSec, tpAMPM };

extern const TcxResourceStringRec cxSEditTimeConvertError;

namespace cxTimeEdit {
// Seconds a step of each part moves.
constexpr int HourStep = 3600;
constexpr int MinuteStep = 60;
constexpr int SecondStep = 1;
constexpr int AmPmStep = 43200;

struct TTimeEditFormat {
    std::string Format;   // the display format
    std::string Mask;     // the edit mask
};
// The format and mask of a layout and clock; the 12-hour masks follow the
// locale's designators.
const TTimeEditFormat& TimeEditFormats(TcxTimeEditTimeFormat AFormat, bool AUse24HourFormat);
// The designator part of the 12-hour masks for the current AM/PM texts: a
// blank stays a blank, any other character becomes 'c', trailing blanks
// go ("" for empty designators).
std::string AmPmMask();
// Rebuilds the 12-hour masks (done at start-up and on every locale change).
void BuildAmPmMasks();
// The length of the time digits of a layout: 8, 5 or 2.
int TimeDigitsLength(TcxTimeEditTimeFormat AFormat);

// Sets up the format table and its locale listener and registers the time
// edit properties; Finalize frees the listener.
void Initialize();
void Finalize();
}  // namespace cxTimeEdit

class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
    QZ_CLASS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties)
public:
    explicit TcxCustomTimeEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    TClass GetEditClass() const override;
    int GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
    bool IsEditValueValidEx(Variant& EditValue, bool AEditFocused) override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    unsigned UsesDisplayFormatting(bool AFocused) override { return IsDisplayFormatDefined(AFocused) ? 1 : 0; }
    void FormatChanged() override;
    std::string GetDefaultDisplayValue() override;
    bool IsEditValueNumeric() override { return false; }
    bool CheckDisplayValue(Variant& AValue, bool AEditFocused) override;
    bool ClampsAtBounds() override { return false; }
    bool ChecksNumericText() override { return false; }
    bool KeepsSelectionOnSpin() override { return true; }

    // The table's display format and mask of the current settings.
    const cxTimeEdit::TTimeEditFormat& CurrentFormat() const
    {
        return cxTimeEdit::TimeEditFormats(FTimeFormat, FUse24HourFormat);
    }
    // A time of day in the table format, trailing blanks removed.
    std::string FormatTime(TDateTime ATime) const;
    void UpdateEditMask();

    bool ShowDate() const { return FShowDate; }
    void SetShowDate(bool Value);
    TcxTimeEditTimeFormat TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(TcxTimeEditTimeFormat Value);
    bool Use24HourFormat() const { return FUse24HourFormat; }
    void SetUse24HourFormat(bool Value);

private:
    bool FShowDate = false;
    TcxTimeEditTimeFormat FTimeFormat = tfHourMinSec;
    bool FUse24HourFormat = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
    QZ_CLASS(TcxTimeEditProperties, TcxCustomTimeEditProperties)
public:
    explicit TcxTimeEditProperties(TPersistent* AOwner = nullptr) : TcxCustomTimeEditProperties(AOwner) {}
};

class TcxCustomTimeEdit : public TcxCustomSpinEdit {
    QZ_CLASS(TcxCustomTimeEdit, TcxCustomSpinEdit)
public:
    explicit TcxCustomTimeEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);

    TClass GetPropertiesClass() const override { return TcxTimeEditProperties::StaticClass(); }
    TcxCustomTimeEditProperties* Properties() const
    {
        return static_cast<TcxCustomTimeEditProperties*>(ActiveProperties());
    }

    // Sets the time of day to 00:00:00; the date stays.
    void Clear() override;
    double GetIncrement(int AButton) override;
    // Seconds since midnight of the time shown.
    Variant GetValue() override;
    void SetValue(const Variant& AValue) override;
    std::string ValueToDisplayText(const Variant& AValue) override;
    bool DoSpin(int AButton) override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    std::string GetTextForLookup() override { return GetDisplayText(); }
    bool SetTextForLookup(const std::string& AText) override { return ApplyDisplayText(AText); }
    void PropertiesChanged(TObject* Sender) override;

    TcxTimePart GetTimePartAtCaret();
    // The time of day as a fraction of a day (0 for an empty value).
    TDateTime Time();
    void SetTime(TDateTime Value);
    double DatePart() const { return FDatePart; }

protected:
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    bool IsValidChar(char AChar) override;
    void InternalSetDisplayValue(const Variant& Value) override;
    void InternalSetEditValue(const Variant& Value, bool AValidate) override;

private:
    // DatePart plus a time of day (the time subtracted for a negative date).
    Variant JoinDate(double ATime) const;
    bool FSkipBackspace = false;
    double FDatePart = 0;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
    QZ_CLASS(TcxTimeEdit, TcxCustomTimeEdit)
public:
    explicit TcxTimeEdit(TComponent* AOwner = nullptr) : TcxCustomTimeEdit(AOwner) {}
};
