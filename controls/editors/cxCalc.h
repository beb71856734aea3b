// A pocket calculator drawn as a keypad of 27 buttons. The keypad has no
// display of its own: the text it shows and edits comes from a descendant
// (the calc edit's popup calculator edits the edit's text). Operators apply
// left to right as they are pressed, without precedence; a number in
// progress, a result shown and the error state decide what the next key does.
#pragma once

#include "cxControls.h"
#include "cxDropDownEdit.h"
#include "cxLookAndFeelPainters.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>

extern const TcxResourceStringRec scxSCalcError;

// The keypad's buttons, in their fixed order.
enum TcxCalcButtonKind {
    cbBack, cbCancel, cbClear,
    cbMC, cbMR, cbMS, cbMP,
    cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
    cbSign, cbDecimal,
    cbDiv, cbMul, cbSub, cbAdd,
    cbSqrt, cbPercent, cbRev, cbEqual,
    cbNone
};
constexpr int cxCalcButtonCount = 27;

// A result is shown (the next digit starts a number), a number is being
// entered, or the error shows.
enum TcxCalcState { csValue, csFirst, csError };

struct TcxCalcButtonInfo {
    TcxCalcButtonKind Kind = cbNone;
    std::string Text;
    TColor FontColor = clBtnText;
    TRect Bounds;
    bool Down = false;
    bool Grayed = false;
};

using TcxButtonClickEvent = std::function<void(TObject* Sender, TcxCalcButtonKind& AButton)>;

class TcxCustomCalculator : public TcxControl {
    QZ_CLASS(TcxCustomCalculator, TcxControl)
public:
    explicit TcxCustomCalculator(TComponent* AOwner = nullptr);

    // What the keypad shows and edits; none here.
    virtual std::string GetDisplayText() { return std::string(); }
    virtual void SetDisplayText(const std::string& AText) {}
    virtual TcxCustomLookAndFeelPainterClass GetPainter() const;
    virtual void HidePopup();

    // Clicks a button as the mouse or a key would.
    void ButtonClick(TcxCalcButtonKind AButton);
    // The button under a point (cbNone when none).
    TcxCalcButtonKind GetButtonKindAt(const TPoint& P) const;
    // Puts the display text on the clipboard; pastes a number from it.
    void CopyToClipboard();
    void PasteFromClipboard();
    // The button a key maps to, by key code (key down) or character.
    static TcxCalcButtonKind ButtonOfKey(WORD AKey, TShiftState AShift);
    TcxCalcButtonKind ButtonOfChar(char AChar) const;

    const TcxCalcButtonInfo& Button(TcxCalcButtonKind AKind) const { return FButtons[size_t(AKind)]; }
    TcxCalcState State() const { return FState; }
    long double Memory() const { return FMemory; }
    TcxCalcButtonKind HotButton() const { return FHotButton; }
    TcxCalcButtonKind KeyPressedButton() const { return FKeyPressedButton; }
    int ButtonHeight() const { return FButtonHeight; }
    int FontSize() const { return FFontSize; }
    // The keypad's own size for its button height.
    TSize CalcSize() const { return TSize{FCalcWidth, FCalcHeight}; }

    bool AutoFontSize() const { return FAutoFontSize; }
    void SetAutoFontSize(bool Value);
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    // The significant digits shown (and typed), 2 at least; 15 at most.
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = std::clamp(Value, 0, 15); }

    TNotifyEvent OnDisplayChange;
    TcxButtonClickEvent OnButtonClick;
    TNotifyEvent OnError;
    TNotifyEvent OnResult;
    // Set by an owner that shows the keypad in a popup.
    std::function<void()> OnHidePopup;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void Resize() override;
    void FontChanged() override;
    void FocusChanged() override;
    void MouseLeave(TControl* AControl) override;
    // The keypad is a popup's (focus stays with its edit).
    bool FIsPopup = false;

    void CMEnabledChanged(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged)
    QZ_END_MESSAGE_MAP

private:
    void CreateLayout();
    void CalcSizeFor(int AButtonHeight);
    void InvalidateButton(TcxCalcButtonKind AKind);
    void PressKeyButton(TcxCalcButtonKind AKind);
    void ReleaseKeyButton();
    void UpdateMemoryButtons();
    TcxButtonState ButtonState(TcxCalcButtonKind AKind) const;

    // The arithmetic.
    long double DisplayValue();
    void SetDisplay(const std::string& AText);
    void ShowValue(long double AValue);
    void StartNumber();
    void Error();

    bool FAutoFontSize = true;
    bool FBeepOnError = true;
    bool FShowFocusRect = true;
    int FFontSize = 8;
    int FButtonWidth = 28;
    int FButtonHeight = 22;
    int FWideButtonWidth = 47;
    int FHorzGap = 3;
    int FVertGap = 3;
    int FCalcWidth = 198;
    int FCalcHeight = 131;
    long double FMemory = 0;
    TcxCalcButtonKind FLastOperator = cbEqual;
    std::array<TcxCalcButtonInfo, cxCalcButtonCount> FButtons;
    int FPrecision = 15;
    TcxCalcState FState = csValue;
    long double FOperand = 0;
    TcxCalcButtonKind FMousePressedButton = cbNone;
    TcxCalcButtonKind FHotButton = cbNone;
    TcxCalcButtonKind FKeyPressedButton = cbNone;
    bool FTracking = false;
    bool FSizing = false;
};

// ---- the calc edit ------------------------------------------------------------------------------------

class TcxCustomCalcEdit;

// The keypad of a calc edit's popup: it shows and edits the edit's text.
class TcxPopupCalculator : public TcxCustomCalculator {
    QZ_CLASS(TcxPopupCalculator, TcxCustomCalculator)
public:
    explicit TcxPopupCalculator(TComponent* AOwner = nullptr);
    TcxCustomCalcEdit* Edit() const { return FEdit; }
    std::string GetDisplayText() override;
    void SetDisplayText(const std::string& AText) override;
    TcxCustomLookAndFeelPainterClass GetPainter() const override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    friend class TcxCustomCalcEdit;
    TcxCustomCalcEdit* FEdit = nullptr;
};

class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
    QZ_CLASS(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)
public:
    explicit TcxCalcEditPropertiesValues(TPersistent* AOwner = nullptr) : TcxTextEditPropertiesValues(AOwner) {}
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool Precision = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
    QZ_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
public:
    explicit TcxCustomCalcEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    TClass GetAssignedValuesClass() const override { return TcxCalcEditPropertiesValues::StaticClass(); }
    TClass GetEditClass() const override;
    bool PostEditValueOnClosed() override { return true; }
    bool IsEditValueNumeric() override { return true; }
    bool CheckDisplayValue(Variant& AValue, bool AEditFocused) override { return true; }
    bool IsEditValueValid(const Variant& AEditValue) override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    unsigned UsesDisplayFormatting(bool AFocused) override;

    // The keypad's own beep, apart from the edit's.
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value);
    // The assigned precision; else a bound field's; else 15; 15 at most.
    int Precision() const;
    void SetPrecision(int Value);
    bool IsPrecisionStored() const { return CalcValues()->Precision; }
    bool QuickClose() const { return FQuickClose; }
    void SetQuickClose(bool Value);

private:
    TcxCalcEditPropertiesValues* CalcValues() const
    {
        return static_cast<TcxCalcEditPropertiesValues*>(AssignedValues());
    }
    bool FBeepOnError = true;
    int FPrecision = 15;
    bool FQuickClose = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
    QZ_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)
public:
    explicit TcxCalcEditProperties(TPersistent* AOwner = nullptr) : TcxCustomCalcEditProperties(AOwner) {}
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
    QZ_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)
public:
    explicit TcxCustomCalcEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomCalcEdit() override;
    TClass GetPropertiesClass() const override { return TcxCalcEditProperties::StaticClass(); }
    TcxCustomCalcEditProperties* Properties() const
    {
        return static_cast<TcxCustomCalcEditProperties*>(ActiveProperties());
    }
    TcxPopupCalculator* Calculator() const { return FCalculator; }

    // 0 for an empty value.
    double Value();
    void SetValue(double AValue);

    Variant DisplayValueToEditValue(const std::string& AText) override;
    void PropertiesChanged(TObject* Sender) override;
    void PasteFromClipboard() override;
    void PopupWindowClosed(TObject* Sender) override;
    // Whether a typed character keeps the text a number in range.
    bool IsValidChar(char AChar);

protected:
    bool CanDropDown() override;
    void DoInitPopup() override;
    void SetupPopupWindow() override;
    TcxCustomEditPopupWindow* CreatePopupWindow() override;
    void DoEditKeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;

private:
    friend class TcxPopupCalculator;
    // The keypad's text becomes the edit's, as typed.
    void SetTextFromCalculator(const std::string& AText);
    TcxPopupCalculator* FCalculator = nullptr;
    bool FSettingPopupControl = false;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
    QZ_CLASS(TcxCalcEdit, TcxCustomCalcEdit)
public:
    explicit TcxCalcEdit(TComponent* AOwner = nullptr) : TcxCustomCalcEdit(AOwner) {}
};

namespace cxCalc {
// The text of a number as the keypad shows it: general format with
// max(2, APrecision) significant digits.
std::string FormatValue(long double AValue, int APrecision);
// Registers the calc edit properties with the editor registry.
void Initialize();
}  // namespace cxCalc
