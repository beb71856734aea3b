// CalculatorEh: a small four-function calculator with a one-line display
// and 23 keys, and its drop-down form for number fields, which hands the
// result back when the user accepts it ("Ok" or Enter) and closes on Esc.
#pragma once

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "ToolCtrlsEh.h"
#include "Variants.h"

#include <functional>
#include <string>
#include <vector>

enum TCalcStateEh { csFirstEh, csValidEh, csErrorEh };

class TCalculatorEh : public TCustomControl {
    QZ_CLASS(TCalculatorEh, TCustomControl)
public:
    explicit TCalculatorEh(TComponent* owner = nullptr);
    ~TCalculatorEh() override;

    // Feeds one key's character: digits, the decimal separator, backspace (8),
    // Enter (13), % * + - / =, Ctrl+C (3), Ctrl+V (22), Esc (27) or C to
    // reset, I to negate, R for 1/x and S for the square root.
    virtual void HandleCalcKey(char key);

    TCalcStateEh EntryState() const { return FStatus; }
    char PendingOp() const { return FOperator; }
    double Accumulator() const { return FOperand; }
    // The display text, and its value (0 in the error state).
    std::string DisplayText() const { return TextBox->Caption(); }
    double DisplayValue() const;
    void SetDisplayValue(double v);
    void Reset();

    // The key whose tag is given (1..23, as laid out), and the equal key.
    TSpeedButtonEh* Key(int tag) const;
    TSpeedButtonEh* EqualKey() const { return spEqual; }
    // What the key of a tag feeds to HandleCalcKey.
    static char KeyChar(int tag);

    TPanel* Panel1 = nullptr;
    TLabel* TextBox = nullptr;

protected:
    void KeyPress(char& key) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void SpeedButtonClick(TObject* sender);
    void Error();
    void UpdateEqualCaption();

private:
    void CheckFirst();
    void SetDisplayText(const std::string& s) { TextBox->SetCaption(s); }
    TCalcStateEh FStatus = csFirstEh;
    char FOperator = '=';
    double FOperand = 0;
    std::vector<TSpeedButtonEh*> FKeys;
    TSpeedButtonEh* spEqual = nullptr;
};

// The calculator as a drop-down. Its owner sets CloseUp, which hears
// whether the value is accepted; without it nothing closes.
class TPopupCalculatorEh : public TCalculatorEh {
    QZ_CLASS(TPopupCalculatorEh, TCalculatorEh)
public:
    explicit TPopupCalculatorEh(TComponent* owner = nullptr);

    void HandleCalcKey(char key) override;
    // True when Enter would accept (the equal key says "Ok").
    bool EnterAccepts() const;
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // The value shown: a float, or an error value holding -1 after an error.
    Variant PopupValue() const;
    // Resets and shows the value; one that is not a number shows 0.
    void SetPopupValue(const Variant& v);
    int FrameWidth() const { return Ctl3D() ? 2 : 0; }

    std::function<void(bool accept)> CloseUp;

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void WndProc(TMessage& m) override;

private:
    void Close(bool accept);
    bool FFlat = true;
};

// Closes a popup calculator without accepting its value.
constexpr UINT WM_CLOSEPOPUPEH = WM_USER + 101;
