// The spin edit: a numeric mask edit with spin buttons beside its text. It
// steps an integer (64-bit) or floating value by Increment or LargeIncrement
// within MinValue..MaxValue through its buttons (held: again after 400 ms,
// then every 100 ms), the arrow and page keys and the mouse wheel, and
// checks typed text as a number.
#pragma once

#include "cxEditUtils.h"
#include "cxMaskEdit.h"

#include <memory>
#include <string>

class TTimer;
class TcxCustomSpinEditProperties;

enum TcxSpinEditValueType { vtInt, vtFloat };

// The spin buttons' placement and whether the fast buttons show.
class TcxSpinEditButtons : public TPersistent {
    QZ_CLASS(TcxSpinEditButtons, TPersistent)
public:
    explicit TcxSpinEditButtons(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override { return FOwner; }

    TcxSpinEditButtonsPosition Position() const { return FPosition; }
    void SetPosition(TcxSpinEditButtonsPosition Value);
    bool ShowFastButtons() const { return FShowFastButtons; }
    void SetShowFastButtons(bool Value);

private:
    void Changed();
    TPersistent* FOwner;
    TcxSpinEditButtonsPosition FPosition = sbpVert;
    bool FShowFastButtons = false;
};

class TcxSpinEditPropertiesValues : public TcxTextEditPropertiesValues {
    QZ_CLASS(TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues)
public:
    explicit TcxSpinEditPropertiesValues(TPersistent* AOwner = nullptr) : TcxTextEditPropertiesValues(AOwner) {}
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool ValueType = false;
};

class TcxSpinEditViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxSpinEditViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxSpinEditViewInfo() = default;
    void DrawButton(TcxCanvas* ACanvas, int AIndex) override;
    int ArrowSize = 0;
    TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;
    // The line between themed buttons (start, end); all zero when none.
    TPoint SeparatorLine[2] = {};
};

class TcxSpinEditViewData : public TcxCustomTextEditViewData {
    QZ_CLASS(TcxSpinEditViewData, TcxCustomTextEditViewData)
public:
    TcxSpinEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
        : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {}
    bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, int AIndex) override { return KeyHeldButton == 0; }
    bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, int AIndex) override
    {
        return KeyHeldButton != 0 && AIndex + 1 == KeyHeldButton;
    }
    void CalculateButtonNativeInfo(TcxEditButtonViewInfo* AButtonViewInfo) override {}
    void CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect,
                               int AIndex) override;
    void CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect,
                                 int AIndex) override;
    // The button the keyboard holds (its index + 1; 0 none), copied from
    // the edit when the data is made.
    int KeyHeldButton = 0;
    // Whether the spin theme parts are used (no theme service here: off).
    bool Themed = false;
    // The text height the themed layout measures ("Zg" in the edit's font).
    int ThemedTextHeight = 13;
};

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
    QZ_CLASS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties)
public:
    explicit TcxCustomSpinEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomSpinEditProperties() override;
    void Assign(TPersistent* Source) override;
    void Changed() override;

    // What a spin step beyond MinValue..MaxValue does.
    virtual bool ClampsAtBounds() { return true; }
    // 1 stops at the bound, 0 refuses the step.
    virtual int GetBoundsAction() { return ClampsAtBounds() ? 1 : 0; }
    virtual bool ChecksNumericText() { return true; }
    virtual bool KeepsSelectionOnSpin() { return false; }

    TClass GetAssignedValuesClass() const override { return TcxSpinEditPropertiesValues::StaticClass(); }
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override { return TcxSpinEditViewInfo::StaticClass(); }
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    bool IsEditValueValid(const Variant& AEditValue) override
    {
        Variant v = AEditValue;
        return IsEditValueValidEx(v, false);
    }
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    unsigned UsesDisplayFormatting(bool AFocused) override { return AFocused ? 0 : 1; }
    std::string GetDefaultDisplayValue() override;
    bool IsEditValueNumeric() override { return true; }
    bool CheckDisplayValue(Variant& AValue, bool AEditFocused) override;

    // A valid value is replaced by its number in the value type.
    virtual bool IsEditValueValidEx(Variant& EditValue, bool AEditFocused);
    // A numeric variant in the value type; others stay.
    void ConvertToValueType(Variant& Value);
    // 0 for Null or empty text, else the value as the value type's number.
    Variant ValueToNumber(const Variant& Value);
    // 0 brought into MinValue..MaxValue.
    Variant ClampedZero();

    TcxSpinEditButtons* SpinButtons() const { return FSpinButtons.get(); }
    void SetSpinButtons(TcxSpinEditButtons* Value) { FSpinButtons->Assign(Value); }
    bool CanEdit() const { return FCanEdit; }
    void SetCanEdit(bool Value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    bool IsIncrementStored() const { return FIncrement != 1.0; }
    double LargeIncrement() const { return FLargeIncrement; }
    void SetLargeIncrement(double Value) { FLargeIncrement = Value; }
    bool IsLargeIncrementStored() const { return FLargeIncrement != 10.0; }
    bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }
    // The assigned type; else a bound field's (float or not); else vtFloat.
    TcxSpinEditValueType ValueType() const;
    void SetValueType(TcxSpinEditValueType Value);
    bool IsValueTypeStored() const { return SpinValues()->ValueType; }

private:
    TcxSpinEditPropertiesValues* SpinValues() const
    {
        return static_cast<TcxSpinEditPropertiesValues*>(AssignedValues());
    }
    void SyncButtons();
    std::unique_ptr<TcxSpinEditButtons> FSpinButtons;
    bool FSyncingButtons = false;
    bool FCanEdit = true;
    double FIncrement = 1.0;
    double FLargeIncrement = 10.0;
    bool FUseCtrlIncrement = false;
    TcxSpinEditValueType FValueType = vtFloat;
};

class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
    QZ_CLASS(TcxSpinEditProperties, TcxCustomSpinEditProperties)
public:
    explicit TcxSpinEditProperties(TPersistent* AOwner = nullptr) : TcxCustomSpinEditProperties(AOwner) {}
};

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
    QZ_CLASS(TcxCustomSpinEdit, TcxCustomMaskEdit)
public:
    explicit TcxCustomSpinEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomSpinEdit() override;

    TClass GetPropertiesClass() const override { return TcxSpinEditProperties::StaticClass(); }
    TcxCustomSpinEditProperties* Properties() const
    {
        return static_cast<TcxCustomSpinEditProperties*>(ActiveProperties());
    }

    // The step of a button (0 down, 1 up, 2 fast down, 3 fast up).
    virtual double GetIncrement(int AButton);
    // The number shown: focused, the typed text (raising on an invalid one)
    // or the value last shown; not focused, the edit value.
    virtual Variant GetValue();
    virtual std::string ValueToDisplayText(const Variant& AValue);
    // A numeric value the properties accept becomes the edit value.
    virtual void SetValue(const Variant& AValue);
    // One spin step; true when the text changed.
    virtual bool DoSpin(int AButton);

    Variant Value() { return GetValue(); }
    bool IsValueStored();
    // The button the keyboard holds, index + 1 (0: none).
    int KeyHeldButton() const { return FKeyHeldButton; }
    bool TypedText() const { return FTypedText; }
    double CurrentValue() const { return FCurrentValue; }
    // Whether a held mouse button is repeating now.
    bool IsRepeating() const { return FRepeatTimer != nullptr; }
    UINT RepeatInterval() const;
    void StopSpinning();
    // Text to a number of the value type; an empty text gives Null (a
    // required field's 0 within range). False with AErrorText on failure
    // (the value is then the one last shown), raising it when asked.
    bool TextToValue(const std::string& AText, Variant& AValue, std::string& AErrorText, bool ARaise);

    void PropertiesChanged(TObject* Sender) override;
    void SynchronizeDisplayValue() override;
    void PasteFromClipboard() override;
    void CutToClipboard() override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    void DoButtonDown(int AButtonIndex) override;

protected:
    void ChangeHandler(TObject* Sender) override;
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    bool InnerWideChar(char32_t ACh) override;
    void SynchronizeEditValue() override;
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
    bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent) override;
    void FocusChanged() override;
    void DblClick() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    virtual bool IsValidChar(char AChar);
    // Whether a key going down would change the text.
    virtual bool CanKeyDownModifyEdit(WORD Key, TShiftState Shift);
    void KeepEditValueInBounds();
    bool FKeyTyped = false;

private:
    // The new value of a step, false when refused.
    bool CalculateNewValue(int AButton, Variant& ANewValue);
    void RepaintButtons();
    void RepeatTimerHandler(TObject* Sender);
    int PressedViewButton() const;

    bool FTypedText = false;
    int FKeyHeldButton = 0;
    std::unique_ptr<TTimer> FRepeatTimer;
    double FCurrentValue = 0;
};

class TcxSpinEdit : public TcxCustomSpinEdit {
    QZ_CLASS(TcxSpinEdit, TcxCustomSpinEdit)
public:
    explicit TcxSpinEdit(TComponent* AOwner = nullptr) : TcxCustomSpinEdit(AOwner) {}
};

namespace cxSpinEdit {
// Registers the spin edit properties with the editor registry.
void Initialize();

// Reads a number as the editors read typed text (sign, digits, the
// decimal separator, an exponent), in extended precision, so a number too
// large for a double is still a number (and out of bounds, not invalid).
bool TextToExtended(const std::string& AText, long double& AValue);
// The nearest integer, a half going to the even neighbour.
double RoundHalfEven(double X);

// One spin step from AValue by AStep: ABoundsAction 1 stops at a bound, 0
// refuses a step leaving AMin..AMax; no range when AMax <= AMin. Integers
// step as 64-bit integers (a step past their range is refused). False
// when the step is refused.
bool SpinValue(const Variant& AValue, double AStep, bool AIncreasing, double AMin, double AMax,
               int ABoundsAction, TcxSpinEditValueType AType, Variant& ANewValue);

// The bounds of the spin buttons in a rectangle R (indexes 0 to 3; the
// fast ones only with AShowFast), and the arrow size.
struct TSpinButtonsLayout {
    TRect Buttons[4] = {};
    int ArrowSize = 0;
    TPoint SeparatorLine[2] = {};
};
TSpinButtonsLayout CalculateSpinButtonsLayout(const TRect& R, int AButtonWidth, TcxSpinEditButtonsPosition APosition,
                                              bool AShowFast, bool AThemed, bool AHotFlat, int AThemedHeight);
}  // namespace cxSpinEdit
