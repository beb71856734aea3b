#include "cxCalc.h"

#include "cxMemo.h"
#include "cxTimeEdit.h"

#include "Clipbrd.h"
#include "EditOnForm.h"
#include "SysUtils.h"
#include "Windows.h"

#include <gtest/gtest.h>

namespace {

// A keypad with a display of its own, as the calc edit gives it one.
class TCalculatorWithDisplay : public TcxCustomCalculator {
public:
    explicit TCalculatorWithDisplay(TComponent* AOwner = nullptr) : TcxCustomCalculator(AOwner) {}
    std::string GetDisplayText() override { return Display; }
    void SetDisplayText(const std::string& AText) override { Display = AText; }
    std::string Display = "0";
};

// Keys of a script: digits, '.', + - * / % =; 's' square root, 'r'
// reciprocal, 'n' negate, 'b' Back, 'c' C, 'e' CE; 'S' MS, 'P' M+, 'R' MR, 'L' MC.
TcxCalcButtonKind ScriptButton(char c)
{
    if (c >= '0' && c <= '9') return TcxCalcButtonKind(cbNum0 + (c - '0'));
    switch (c) {
    case '.': return cbDecimal;
    case '+': return cbAdd;
    case '-': return cbSub;
    case '*': return cbMul;
    case '/': return cbDiv;
    case '%': return cbPercent;
    case '=': return cbEqual;
    case 's': return cbSqrt;
    case 'r': return cbRev;
    case 'n': return cbSign;
    case 'b': return cbBack;
    case 'c': return cbClear;
    case 'e': return cbCancel;
    case 'S': return cbMS;
    case 'P': return cbMP;
    case 'R': return cbMR;
    case 'L': return cbMC;
    default: return cbNone;
    }
}

struct BeepCounter {
    int Beeps = 0;
    BeepCounter() { SetBeepSink([this](UINT) { ++Beeps; }); }
    ~BeepCounter() { SetBeepSink(nullptr); }
};

}  // namespace

TEST(Calculator, KeySequences)
{
    struct Case {
        const char* Keys;
        const char* Display;
    };
    const Case cases[] = {
        {"2+3=", "5"},
        {"2+3*4=", "20"},                // left to right, no precedence
        {"200+10%", "220"},              // the percentage of the operand is added
        {"200+10%=", "220"},
        {"50*10%", "5"},
        {"50/10%", "500"},
        {"8/0=", "Error"},
        {"8/0=5", "Error"},              // only C and CE act on an error
        {"8/0=c1", "1"},
        {"8/0=e", "0"},
        {"9s", "3"},
        {"2+9s=", "5"},
        {"4s5", "5"},                    // after a root shown a digit starts anew
        {"1/3=", "0.333333333333333"},
        {"2r", "0.5"},
        {"0r", "Error"},
        {"9ns", "Error"},
        {"5n", "-5"},
        {"5n3", "-53"},
        {"2+*3=", "6"},                  // a second operator replaces the first
        {"12b", "1"},
        {"1b", "0"},
        {"5nb", "0"},
        {"1.5.2", "1.52"},               // one decimal separator
        {"007", "7"},
        {"3=4", "4"},
        {"2*=", "2"},                    // = replaces the pending operator
        {"5S0c", "0"},
        {"5S0cR", "5"},
        {"5S0cR1", "51"},                // the recalled number can be typed on
        {"5S3PcR", "8"},
        {"5SLcR", "0"},
    };
    for (const Case& c : cases) {
        BeepCounter beeps;
        TCalculatorWithDisplay calc;
        for (const char* k = c.Keys; *k; ++k) calc.ButtonClick(ScriptButton(*k));
        EXPECT_EQ(calc.Display, c.Display) << c.Keys;
    }
}

TEST(Calculator, DigitsStopAtThePrecision)
{
    BeepCounter beeps;
    TCalculatorWithDisplay calc;
    for (int i = 0; i < 20; ++i) calc.ButtonClick(cbNum7);
    EXPECT_EQ(calc.Display, std::string(15, '7'));
    EXPECT_EQ(beeps.Beeps, 5);
    calc.ButtonClick(cbClear);
    calc.ButtonClick(cbNum1);
    calc.ButtonClick(cbSign);
    calc.ButtonClick(cbDecimal);   // "-1." then 13 digits: the separator counts, the sign does not
    for (int i = 0; i < 20; ++i) calc.ButtonClick(cbNum2);
    EXPECT_EQ(calc.Display, "-1." + std::string(13, '2'));
    calc.SetPrecision(0);   // two digits at least
    calc.ButtonClick(cbClear);
    for (int i = 0; i < 5; ++i) calc.ButtonClick(cbNum3);
    EXPECT_EQ(calc.Display, "33");
    // Without BeepOnError the keypad keeps quiet.
    calc.SetBeepOnError(false);
    beeps.Beeps = 0;
    calc.ButtonClick(cbNum3);
    calc.ButtonClick(cbDiv);
    calc.ButtonClick(cbNum0);
    calc.ButtonClick(cbEqual);
    EXPECT_EQ(calc.Display, "Error");
    EXPECT_EQ(beeps.Beeps, 0);
}

TEST(Calculator, EventsAndMemoryGraying)
{
    BeepCounter beeps;
    TCalculatorWithDisplay calc;
    int changes = 0, results = 0, errors = 0;
    std::vector<TcxCalcButtonKind> clicked;
    calc.OnDisplayChange = [&](TObject*) { ++changes; };
    calc.OnResult = [&](TObject*) { ++results; };
    calc.OnError = [&](TObject*) { ++errors; };
    calc.OnButtonClick = [&](TObject*, TcxCalcButtonKind& b) {
        clicked.push_back(b);
        if (b == cbNum9) b = cbNum1;   // a handler may change the button
    };
    EXPECT_TRUE(calc.Button(cbMC).Grayed);
    EXPECT_TRUE(calc.Button(cbMR).Grayed);
    calc.ButtonClick(cbMS);   // 0 stored: still grayed
    EXPECT_TRUE(calc.Button(cbMR).Grayed);
    calc.ButtonClick(cbNum9);
    EXPECT_EQ(calc.Display, "1");
    calc.ButtonClick(cbMP);
    EXPECT_FALSE(calc.Button(cbMC).Grayed);
    EXPECT_FALSE(calc.Button(cbMR).Grayed);
    EXPECT_EQ(double(calc.Memory()), 1.0);
    calc.ButtonClick(cbEqual);
    calc.ButtonClick(cbPercent);
    EXPECT_EQ(results, 2);
    calc.ButtonClick(cbNum0);
    calc.ButtonClick(cbRev);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(calc.State(), csError);
    EXPECT_EQ(changes, 3);   // "1", "0", "Error"
    EXPECT_EQ(clicked.front(), cbMS);
    calc.ButtonClick(cbMC);   // ignored in the error state
    EXPECT_FALSE(calc.Button(cbMR).Grayed);
    calc.ButtonClick(cbClear);
    calc.ButtonClick(cbMC);
    EXPECT_TRUE(calc.Button(cbMR).Grayed);
}

TEST(Calculator, PasteTakesANumberWithoutTheCurrencySign)
{
    std::string oldCurrency = FormatSettings.CurrencyString;
    FormatSettings.CurrencyString = "¥";
    TCalculatorWithDisplay calc;
    struct Case {
        const char* Text;
        const char* Display;
    };
    const Case cases[] = {{" ¥12.50 ", "12.5"}, {"1e3", "1000"}, {"abc", "0"}, {"1e999", "0"}};
    for (const Case& c : cases) {
        Clipboard()->SetAsText(c.Text);
        calc.PasteFromClipboard();
        EXPECT_EQ(calc.Display, c.Display) << c.Text;
    }
    Clipboard()->SetAsText("4");
    calc.PasteFromClipboard();
    calc.ButtonClick(cbNum2);   // a pasted number goes on as typed
    EXPECT_EQ(calc.Display, "42");
    calc.CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "42");
    FormatSettings.CurrencyString = oldCurrency;
}

TEST(Calculator, KeypadLayout)
{
    TCalculatorWithDisplay calc;
    calc.SetBounds(0, 0, 396, 262);
    // Button height 45: buttons 57 wide, gaps of 6, wide buttons 97 (57 x 1.7, rounded).
    ASSERT_EQ(calc.ButtonHeight(), 45);
    const int gap = 6, bw = 57, bh = 45, wide = 97;
    auto row = [&](int r) { return std::pair<int, int>{r * (bh + gap) + gap, (r + 1) * (bh + gap)}; };
    EXPECT_EQ(calc.Button(cbMC).Bounds, (TRect{gap, row(1).first, gap + bw, row(1).second}));
    EXPECT_EQ(calc.Button(cbMP).Bounds, (TRect{gap, row(4).first, gap + bw, row(4).second}));
    const int block = gap + bw + 2 * gap + 4;   // the main block's first column
    EXPECT_EQ(calc.Button(cbNum7).Bounds, (TRect{block, row(1).first, block + bw, row(1).second}));
    int eqLeft = block + 4 * (bw + gap);
    EXPECT_EQ(calc.Button(cbEqual).Bounds, (TRect{eqLeft, row(4).first, eqLeft + bw, row(4).second}));
    EXPECT_EQ(calc.Button(cbPercent).Bounds.Left, eqLeft);
    EXPECT_EQ(calc.Button(cbClear).Bounds, (TRect{eqLeft + bw - wide, row(0).first, eqLeft + bw, row(0).second}));
    EXPECT_EQ(calc.Button(cbCancel).Bounds.Right, calc.Button(cbClear).Bounds.Left - gap);
    EXPECT_EQ(calc.Button(cbBack).Bounds.Right, calc.Button(cbCancel).Bounds.Left - gap);
    EXPECT_EQ(calc.Button(cbBack).Bounds.Right - calc.Button(cbBack).Bounds.Left, wide);
    EXPECT_EQ(calc.CalcSize(), (TSize{6 * bw + 8 * gap + 4, 5 * bh + 6 * gap}));
    TPoint in7{block + 5, row(1).first + 5};
    EXPECT_EQ(calc.GetButtonKindAt(in7), cbNum7);
    EXPECT_EQ(calc.GetButtonKindAt(TPoint{block - 2, row(1).first + 5}), cbNone);
    EXPECT_EQ(calc.Button(cbDecimal).Text, std::string(1, FormatSettings.DecimalSeparator));
}

namespace {
class CalculatorOnFormTest : public TEditOnForm<TCalculatorWithDisplay> {
protected:
    TPoint Centre(TcxCalcButtonKind k)
    {
        TRect r = Edit->Button(k).Bounds;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    BeepCounter Beeps;
};
}  // namespace

TEST_F(CalculatorOnFormTest, AutoFontSizeGrowsTheKeypadWithItsSpace)
{
    // The height whose keypad comes closest to the space: 23 in 198 x 131.
    EXPECT_EQ(Edit->ButtonHeight(), 23);
    Edit->SetBounds(0, 0, 396, 262);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ButtonHeight(), 45);
    EXPECT_EQ(Edit->FontSize(), 16);
    EXPECT_EQ(Edit->ClientWidth(), Edit->CalcSize().cx);
    EXPECT_EQ(Edit->ClientHeight(), Edit->CalcSize().cy);
    // Never below 22.
    Edit->SetBounds(0, 0, 50, 30);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ButtonHeight(), 22);
    EXPECT_EQ(Edit->Width(), 6 * 28 + 8 * 3 + 4);
}

TEST_F(CalculatorOnFormTest, MouseClicksWhereItIsReleased)
{
    GuiTest::Click(Edit, Centre(cbNum7));
    EXPECT_EQ(Edit->Display, "7");
    // Pressed, dragged off and released elsewhere: nothing.
    GuiTest::MouseDown(Edit, mbLeft, Centre(cbNum8), TShiftState{ssLeft});
    EXPECT_TRUE(Edit->Button(cbNum8).Down);
    GuiTest::MouseMove(Edit, Centre(cbNum9), TShiftState{ssLeft});
    EXPECT_FALSE(Edit->Button(cbNum8).Down);
    GuiTest::MouseUp(Edit, mbLeft, Centre(cbNum9));
    EXPECT_EQ(Edit->Display, "7");
    // A grayed button does not press.
    GuiTest::Click(Edit, Centre(cbMR));
    EXPECT_FALSE(Edit->Button(cbMR).Down);
    EXPECT_EQ(Edit->Display, "7");
}

TEST_F(CalculatorOnFormTest, KeysPressTheirButtons)
{
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::TypeText("12+3");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(Edit->Display, "15");
    GuiTest::TypeText("*2=");
    EXPECT_EQ(Edit->Display, "30");
    GuiTest::KeyPress('R');
    EXPECT_EQ(Edit->Display, "0.0333333333333333");
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(Edit->Display, "0");
    GuiTest::TypeText("456");
    GuiTest::KeyPress(VK_BACK);
    EXPECT_EQ(Edit->Display, "45");
    GuiTest::KeyPress(VK_F9);
    EXPECT_EQ(Edit->Display, "-45");
    GuiTest::KeyPress('M', TShiftState{ssCtrl});
    GuiTest::KeyPress(VK_DELETE);
    GuiTest::KeyPress('R', TShiftState{ssCtrl});
    EXPECT_EQ(Edit->Display, "-45");
    // A held key shows its button down until it comes up.
    GuiTest::KeyDown(VK_F9);
    EXPECT_TRUE(Edit->Button(cbSign).Down);
    GuiTest::KeyDown(VK_F9);   // the keyboard's repeat clicks no more
    EXPECT_EQ(Edit->Display, "45");
    GuiTest::KeyUp(VK_F9);
    EXPECT_FALSE(Edit->Button(cbSign).Down);
}

namespace {
class CalcEditTest : public TEditOnForm<TcxCalcEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm<TcxCalcEdit>::SetUp();
        Edit->SetWidth(150);
    }
    void Focus()
    {
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Open()
    {
        Focus();
        Edit->DropDown();
        GuiTest::ProcessEvents();
        ASSERT_TRUE(Edit->DroppedDown());
    }
    std::string Text() { return Edit->GetDisplayText(); }
    BeepCounter Beeps;
};
}  // namespace

TEST_F(CalcEditTest, TypingKeepsTheTextANumber)
{
    Edit->Clear();
    Focus();
    struct Step {
        const char* Typed;
        const char* Text;
    };
    const Step steps[] = {
        {"-", "-"},     // a lone minus in an empty edit
        {"x", "-"},
        {"12", "-12"},
        {",", "-12."},  // ',' and '.' are the decimal separator
        {".", "-12."},
        {"5", "-12.5"},
        {"e", "-12.5"}, // "-12.5e" is no number
    };
    for (const Step& s : steps) {
        GuiTest::TypeText(s.Typed);
        EXPECT_EQ(Text(), s.Text) << s.Typed;
    }
    EXPECT_DOUBLE_EQ(Edit->Value(), -12.5);
    EXPECT_GE(Beeps.Beeps, 3);
    Edit->Properties()->SetBeepOnError(false);
    Beeps.Beeps = 0;
    GuiTest::TypeText("q");
    EXPECT_EQ(Beeps.Beeps, 0);
}

TEST_F(CalcEditTest, TheKeypadEditsTheTextAndEnterCloses)
{
    Edit->SetValue(12);
    EXPECT_EQ(Text(), "12");
    Open();
    TcxPopupCalculator* calc = Edit->Calculator();
    calc->ButtonClick(cbAdd);
    calc->ButtonClick(cbNum3);
    EXPECT_EQ(Text(), "3");
    calc->ButtonClick(cbEqual);
    EXPECT_EQ(Text(), "15");
    EXPECT_DOUBLE_EQ(Edit->Value(), 15);
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_DOUBLE_EQ(Edit->Value(), 15);
}

TEST_F(CalcEditTest, AnErrorLeftInTheTextBecomesZero)
{
    Open();
    Edit->Calculator()->ButtonClick(cbNum0);
    Edit->Calculator()->ButtonClick(cbRev);
    EXPECT_EQ(Text(), "Error");
    GuiTest::KeyPress(VK_ESCAPE);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Text(), "0");
    EXPECT_DOUBLE_EQ(Edit->Value(), 0);
}

TEST_F(CalcEditTest, QuickCloseClosesOnEquals)
{
    Edit->Properties()->SetQuickClose(true);
    Open();
    GuiTest::TypeText("2*4=");
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_DOUBLE_EQ(Edit->Value(), 8);
    Edit->Properties()->SetQuickClose(false);
    Open();
    GuiTest::TypeText("=");
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->DroppedDown());
    GuiTest::KeyPress(VK_F4);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(CalcEditTest, PrecisionShapesTheText)
{
    EXPECT_EQ(Edit->Properties()->Precision(), 15);
    EXPECT_FALSE(Edit->Properties()->IsPrecisionStored());
    Edit->Properties()->SetPrecision(4);
    Edit->SetValue(3.14159);
    EXPECT_EQ(Text(), "3.142");
    Edit->Properties()->SetPrecision(40);
    EXPECT_EQ(Edit->Properties()->Precision(), 15);
    Edit->Clear();
    EXPECT_EQ(Text(), "");
    EXPECT_DOUBLE_EQ(Edit->Value(), 0);
    Edit->Properties()->SetReadOnly(true);
    Edit->DropDown();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST(EditorRegistry, TheNumericEditorsAndTheMemoAreRegistered)
{
    cxSpinEdit::Initialize();
    cxTimeEdit::Initialize();
    cxMemo::Initialize();
    cxCalc::Initialize();
    cxTimeEdit::Finalize();
    struct Case {
        TClass Class;
        const char* Description;
    };
    const Case cases[] = {
        {TcxSpinEditProperties::StaticClass(), "SpinEdit|Represents a spin editor"},
        {TcxTimeEditProperties::StaticClass(), "TimeEdit|Represents an editor displaying time values"},
        {TcxMemoProperties::StaticClass(), "Memo|Represents an edit control that allows editing memo data"},
        {TcxCalcEditProperties::StaticClass(), "CalcEdit|Represents an edit control with a dropdown calculator window"},
    };
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    for (const Case& c : cases) {
        int i = r->IndexOfClass(c.Class);
        ASSERT_GE(i, 0) << c.Description;
        EXPECT_EQ(r->GetDescription(i), c.Description);
    }
}
