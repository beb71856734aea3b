// The calculator's keys, fed one character at a time, and its drop-down form.
#include "CalculatorEh.h"
#include "Clipbrd.h"
#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

void Feed(TCalculatorEh& c, const std::string& keys)
{
    for (char k : keys) c.HandleCalcKey(k);
}

TEST(Calculator, KeySequences)
{
    GuiTest::Init();
    struct Case {
        const char* Keys;
        const char* Display;
        const char* Equal;
    } cases[] = {
        {"2+3", "3", "="},
        {"2+3=", "5", "Ok"},
        {"2+3\r", "5", "Ok"},
        {"200+10%", "220", "Ok"},    // the percentage of the left operand is added at once
        {"200+10%=", "220", "Ok"},
        {"50*10%", "5", "Ok"},
        {"50/10%", "500", "Ok"},
        {"100-10%", "90", "Ok"},
        {"7-9=", "-2", "Ok"},
        {"1/4=", "0.25", "Ok"},
        {"2*3*4=", "24", "Ok"},      // each operator computes the pending one
        {"1234567890123456", "123456789012345", "Ok"},
        {"12345I6789012345678", "-123456789012345", "Ok"},
        {"5I\b", "0", "Ok"},         // backspace on "-5"
        {"12\b", "1", "Ok"},
        {"1.5.2", "1.52", "Ok"},     // a second separator is ignored
        {",5", "0.5", "Ok"},
        {"4R", "0.25", "Ok"},
        {"9S", "3", "Ok"},
        {"2+3C", "0", "Ok"},
        {"007", "7", "Ok"},
        {"1/3=", "0.333333333333333", "Ok"},
        {"1x2", "12", "Ok"},         // other characters do nothing
    };
    for (const Case& c : cases) {
        TCalculatorEh calc;
        Feed(calc, c.Keys);
        EXPECT_EQ(calc.DisplayText(), c.Display) << c.Keys;
        EXPECT_EQ(calc.EqualKey()->Caption(), c.Equal) << c.Keys;
    }
}

TEST(Calculator, ErrorsLockEveryKeyButC)
{
    GuiTest::Init();
    for (const char* keys : {"1/0=", "0R", "4IS"}) {
        TCalculatorEh calc;
        Feed(calc, keys);
        EXPECT_EQ(calc.DisplayText(), "Error") << keys;
        EXPECT_EQ(calc.EntryState(), csErrorEh);
        Feed(calc, "12+\x1b\bSRI=");
        EXPECT_EQ(calc.DisplayText(), "Error") << keys;
        EXPECT_EQ(calc.DisplayValue(), 0);
        calc.HandleCalcKey('c');
        EXPECT_EQ(calc.DisplayText(), "0");
        EXPECT_EQ(calc.EntryState(), csFirstEh);
        EXPECT_EQ(calc.PendingOp(), '=');
        EXPECT_EQ(calc.Accumulator(), 0);
        Feed(calc, "6*7=");
        EXPECT_EQ(calc.DisplayText(), "42");
    }
}

TEST(Calculator, ClipboardCopyAndPaste)
{
    GuiTest::Init();
    TCalculatorEh calc;
    Feed(calc, "12.5");
    calc.HandleCalcKey(3);
    EXPECT_EQ(Clipboard()->AsText(), "12.5");
    Clipboard()->SetAsText("  7.25 ");
    calc.HandleCalcKey(22);
    EXPECT_EQ(calc.DisplayText(), "7.25");
    // Text that is no number leaves the display as it was.
    Clipboard()->SetAsText("七");
    EXPECT_NO_THROW(calc.HandleCalcKey(22));
    EXPECT_EQ(calc.DisplayText(), "7.25");
}

TEST(Calculator, KeysAndWheel)
{
    GuiTest::Init();
    TCalculatorEh calc;
    // "Cancel" lies under "C"; the equal key is wide.
    EXPECT_EQ(calc.Key(6)->BoundsRect(), Bounds(151, 29, 27, 46));
    EXPECT_EQ(calc.Key(23)->BoundsRect(), Bounds(122, 101, 56, 22));
    EXPECT_EQ(calc.Key(5)->Caption(), "sqrt");
    EXPECT_EQ(calc.Key(4)->Font()->Color(), clRed);
    EXPECT_EQ(calc.Key(1)->Font()->Color(), clBlue);
    EXPECT_EQ(calc.Key(1)->Style(), ebsGlyphEh);
    EXPECT_TRUE(calc.Key(1)->Active());
    // Clicking keys feeds their characters.
    for (int tag : {13, 19, 22, 14, 23}) calc.Key(tag)->Click();   // 10 + 2 =
    EXPECT_EQ(calc.DisplayText(), "12");
    calc.Key(20)->Click();
    EXPECT_EQ(calc.DisplayText(), "-12");
    calc.Key(6)->Click();
    EXPECT_EQ(calc.DisplayText(), "0");
    // The wheel steps the shown value by one.
    Feed(calc, "5");
    GuiTest::Wheel(&calc, Point(50, 10), -120);
    EXPECT_EQ(calc.DisplayText(), "4");
    GuiTest::Wheel(&calc, Point(50, 10), 240);
    EXPECT_EQ(calc.DisplayText(), "5");
}

TEST(PopupCalculator, EnterAcceptsOnlyWhenNothingIsPending)
{
    GuiTest::Init();
    TPopupCalculatorEh calc;
    std::vector<bool> closes;
    calc.CloseUp = [&](bool accept) { closes.push_back(accept); };
    calc.SetPopupValue(Variant(2.0));
    EXPECT_EQ(calc.DisplayText(), "2");
    EXPECT_TRUE(calc.EnterAccepts());
    Feed(calc, "+3");
    EXPECT_FALSE(calc.EnterAccepts());
    calc.HandleCalcKey('\r');   // computes instead of closing
    EXPECT_TRUE(closes.empty());
    EXPECT_EQ(calc.DisplayText(), "5");
    calc.HandleCalcKey('\r');
    EXPECT_EQ(closes, std::vector<bool>{true});
    EXPECT_EQ(double(calc.PopupValue()), 5.0);
    calc.Key(23)->Click();
    EXPECT_EQ(closes, (std::vector<bool>{true, true}));
    // The close message and the special keys Enter and Esc.
    calc.Perform(WM_CLOSEPOPUPEH, 0, 0);
    EXPECT_EQ(closes.back(), false);
    closes.clear();
    EXPECT_EQ(calc.Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(calc.Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(closes, (std::vector<bool>{true, false}));
    // Esc reaching the key handling closes without accepting, and goes no further.
    closes.clear();
    Feed(calc, "7");
    calc.Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(closes, std::vector<bool>{false});
    EXPECT_EQ(calc.DisplayText(), "7");
}

TEST(PopupCalculator, PopupValueInAndOut)
{
    GuiTest::Init();
    TPopupCalculatorEh calc;
    struct Case {
        Variant In;
        const char* Shown;
    } cases[] = {
        {Variant(12.5), "12.5"}, {Variant(7), "7"}, {Variant("3.75"), "3.75"},
        {Null(), "0"},            {Variant("abc"), "0"},   // text that is no number opens at 0
    };
    for (const Case& c : cases) {
        Feed(calc, "9+");
        ASSERT_NO_THROW(calc.SetPopupValue(c.In));
        EXPECT_EQ(calc.DisplayText(), c.Shown);
        EXPECT_EQ(calc.PendingOp(), '=');
        EXPECT_EQ(calc.EntryState(), csFirstEh);
    }
    Feed(calc, "1/0=");
    const Variant v = calc.PopupValue();
    EXPECT_EQ(VarType(v), varError);
    // Flat reaches every key.
    EXPECT_TRUE(calc.Flat());
    EXPECT_TRUE(calc.Key(7)->Flat());
    calc.SetFlat(false);
    EXPECT_FALSE(calc.Key(7)->Flat());
    EXPECT_FALSE(calc.TabStop());
    EXPECT_EQ(calc.Width(), 184 + 2 * calc.FrameWidth());
}

}  // namespace

namespace {

TEST(Calculator, ShowsItsDisplayAndKeys)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(40, 40, 220, 160);
    auto* calc = new TCalculatorEh(&form);
    calc->SetParent(&form);
    calc->SetBounds(10, 10, 184, 127);
    form.Show();
    Feed(*calc, "3.25");
    GuiTest::SavePng(&form, "/tmp/dg3-calculator.png");
    // The display panel shows the highlighted-text colour at its edge, the
    // keys their face.
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(&form, Point(10 + 7, 10 + 5))), ColorToRGB(clHighlightText));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(&form, Point(10 + 8, 10 + 45))), ColorToRGB(clBtnFace));
}

}  // namespace
