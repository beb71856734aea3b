#include "cxSpinEdit.h"

#include "Clipbrd.h"
#include "DateUtils.h"
#include "cxCalc.h"
#include "cxMemo.h"
#include "cxTimeEdit.h"
#include "EditOnForm.h"
#include "Windows.h"

#include <gtest/gtest.h>

namespace {

class SpinEditTest : public TEditOnForm<TcxSpinEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm<TcxSpinEdit>::SetUp();
        SetBeepSink([this](UINT) { ++Beeps; });
        Edit->SetWidth(120);
        GuiTest::ProcessEvents();
        // A stand-alone edit's provider reports no float field: integers
        // unless the type is set.
        EXPECT_EQ(Edit->Properties()->ValueType(), vtInt);
        Edit->Properties()->SetValueType(vtFloat);
    }
    void TearDown() override
    {
        TEditOnForm<TcxSpinEdit>::TearDown();
        SetBeepSink(nullptr);
    }
    void Focus()
    {
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Range(double AMin, double AMax)
    {
        Edit->Properties()->SetMinValue(AMin);
        Edit->Properties()->SetMaxValue(AMax);
    }
    TPoint ButtonCentre(int k)
    {
        Edit->ShortRefreshContainer(false);
        TRect b = Edit->EditViewInfo()->Button(k)->Bounds;
        return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    }
    double Number() { return Edit->Value().AsDouble(); }

    int Beeps = 0;
};

}  // namespace

TEST(SpinEditSteps, IntegerStepsRoundHalfToEven)
{
    struct Case {
        double Increment;
        double Up;
    };
    // Python's round() agrees: 0, 0, 2, 2, 3, -2.
    const Case cases[] = {{0.4, 0}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {2.6, 3}, {-2.5, -2}};
    for (const Case& c : cases) {
        TcxSpinEdit e(nullptr);
        e.Properties()->SetValueType(vtInt);
        e.Properties()->SetIncrement(c.Increment);
        e.Properties()->SetLargeIncrement(c.Increment * 10);
        EXPECT_EQ(e.GetIncrement(1), c.Up) << c.Increment;
        EXPECT_EQ(e.GetIncrement(0), -c.Up) << c.Increment;
        EXPECT_EQ(e.GetIncrement(3), cxSpinEdit::RoundHalfEven(c.Increment * 10)) << c.Increment;
        e.Properties()->SetValueType(vtFloat);
        EXPECT_EQ(e.GetIncrement(1), c.Increment) << c.Increment;
        EXPECT_EQ(e.GetIncrement(2), -c.Increment * 10) << c.Increment;
    }
}

TEST(SpinEditSteps, BoundsDecideEachStep)
{
    struct Case {
        const char* Name;
        double Value, Step, Min, Max;
        int BoundsAction;
        bool Accepted;
        double Result;
    };
    const Case cases[] = {
        {"inside", 5, 1, 0, 10, 1, true, 6},
        {"stops at the top", 9.5, 1, 0, 10, 1, true, 10},
        {"at the top it stays there", 10, 1, 0, 10, 1, true, 10},
        {"refused past the top", 9.5, 1, 0, 10, 0, false, 0},
        {"stops at the bottom", 0.5, -1, 0, 10, 1, true, 0},
        {"above: down jumps to the top", 15, -1, 0, 10, 1, true, 10},
        {"above: up refused", 15, 1, 0, 10, 1, false, 0},
        {"below: up jumps to the bottom", -3, 1, 0, 10, 0, true, 0},
        {"below: down refused", -3, -1, 0, 10, 1, false, 0},
        {"no range when equal", 1e6, 5, 3, 3, 1, true, 1e6 + 5},
        {"no range when reversed", -50, -1, 10, 0, 0, true, -51},
    };
    for (const Case& c : cases) {
        Variant r;
        bool ok = cxSpinEdit::SpinValue(Variant(c.Value), c.Step, c.Step > 0, c.Min, c.Max, c.BoundsAction, vtFloat, r);
        EXPECT_EQ(ok, c.Accepted) << c.Name;
        if (ok && c.Accepted) {
            EXPECT_DOUBLE_EQ(r.AsDouble(), c.Result) << c.Name;
        }
    }
}

TEST(SpinEditSteps, IntegersStepExactlyAndRefuseOverflow)
{
    Variant r;
    const int64_t big = 9007199254740993LL;   // no double holds it
    ASSERT_TRUE(cxSpinEdit::SpinValue(Variant::FromInt64(big), 1, true, 0, 0, 1, vtInt, r));
    EXPECT_EQ(r.AsInt64(), big + 1);
    EXPECT_FALSE(cxSpinEdit::SpinValue(Variant::FromInt64(INT64_MAX), 1, true, 0, 0, 1, vtInt, r));
}

TEST(SpinEditSteps, ButtonLayouts)
{
    // R is 100 wide and 17 high, a button 16 wide: the arrow of a 18 x 10
    // area is 3 high, so a horizontal button is 9 wide and a fast one 14.
    const TRect R{0, 0, 100, 17};
    struct Case {
        const char* Name;
        TcxSpinEditButtonsPosition Position;
        bool Fast, HotFlat;
        TRect B0, B1, B2, B3;
    };
    const Case cases[] = {
        {"vertical", sbpVert, false, false, {84, 8, 100, 17}, {84, 0, 100, 8}, {}, {}},
        {"vertical, hot-flat: the edge moves down", sbpVert, false, true, {84, 9, 100, 17}, {84, 0, 100, 9}, {}, {}},
        {"vertical with fast buttons", sbpVert, true, false, {70, 8, 86, 17}, {70, 0, 86, 8}, {56, 0, 70, 17},
         {86, 0, 100, 17}},
        {"right", sbpHorzRight, false, false, {82, 0, 91, 17}, {91, 0, 100, 17}, {}, {}},
        {"right with fast buttons", sbpHorzRight, true, false, {68, 0, 77, 17}, {77, 0, 86, 17}, {54, 0, 68, 17},
         {86, 0, 100, 17}},
        {"left and right", sbpHorzLeftRight, false, false, {0, 0, 9, 17}, {91, 0, 100, 17}, {}, {}},
        {"left and right, hot-flat", sbpHorzLeftRight, false, true, {0, 0, 10, 17}, {90, 0, 100, 17}, {}, {}},
        {"left and right with fast buttons", sbpHorzLeftRight, true, false, {14, 0, 23, 17}, {77, 0, 86, 17},
         {0, 0, 14, 17}, {86, 0, 100, 17}},
    };
    for (const Case& c : cases) {
        auto L = cxSpinEdit::CalculateSpinButtonsLayout(R, 16, c.Position, c.Fast, false, c.HotFlat, 0);
        EXPECT_EQ(L.ArrowSize, 3) << c.Name;
        EXPECT_EQ(L.Buttons[0], c.B0) << c.Name;
        EXPECT_EQ(L.Buttons[1], c.B1) << c.Name;
        if (c.Fast) {
            EXPECT_EQ(L.Buttons[2], c.B2) << c.Name;
            EXPECT_EQ(L.Buttons[3], c.B3) << c.Name;
        }
    }
    // Themed, the vertical pair leaves a separator line under the up button.
    auto T = cxSpinEdit::CalculateSpinButtonsLayout(R, 16, sbpVert, false, true, false, 20);
    EXPECT_EQ(T.Buttons[1], (TRect{84, 0, 100, 8}));
    EXPECT_EQ(T.Buttons[0], (TRect{84, 9, 100, 17}));
    EXPECT_EQ(T.SeparatorLine[0], (TPoint{84, 8}));
    EXPECT_EQ(T.SeparatorLine[1], (TPoint{99, 8}));
}

TEST(SpinEditText, NumbersErrorsAndEmptyText)
{
    struct Case {
        const char* Text;
        TcxSpinEditValueType Type;
        bool Ok;
        const char* Error;
        double Value;
    };
    const Case cases[] = {
        {"12.5", vtFloat, true, "", 12.5},
        {"1e3", vtInt, true, "", 1000},
        {"-7", vtInt, true, "", -7},
        {"abc", vtFloat, false, "Invalid numeric value", 0},
        {"1.2.3", vtFloat, false, "Invalid numeric value", 0},
        {"1e400", vtFloat, false, "Value out of bounds", 0},
        {"1e19", vtInt, false, "Value out of bounds", 0},
        {"1e19", vtFloat, true, "", 1e19},
    };
    for (const Case& c : cases) {
        TcxSpinEdit e(nullptr);
        e.Properties()->SetValueType(c.Type);
        Variant v;
        std::string error;
        EXPECT_EQ(e.TextToValue(c.Text, v, error, false), c.Ok) << c.Text;
        EXPECT_EQ(error, c.Error) << c.Text;
        if (c.Ok) {
            EXPECT_DOUBLE_EQ(v.AsDouble(), c.Value) << c.Text;
            EXPECT_EQ(VarType(v), c.Type == vtInt ? varInt64 : varDouble) << c.Text;
        } else {
            try {
                e.TextToValue(c.Text, v, error, true);
                ADD_FAILURE() << c.Text << " did not raise";
            } catch (const Exception& x) {
                EXPECT_EQ(std::string(x.what()), c.Error);
            }
        }
    }
    // An empty text is Null, or the range-clamped 0 for a required field.
    class TRequired : public TcxCustomEditDefaultValuesProvider {
    public:
        bool DefaultRequired() override { return true; }
        bool DefaultIsFloatValue() override { return false; }
    } required;
    TcxSpinEdit e(nullptr);
    Variant v;
    std::string error;
    ASSERT_TRUE(e.TextToValue("", v, error, false));
    EXPECT_TRUE(VarIsNull(v));
    e.Properties()->SetDefaultValuesProvider(&required);
    e.Properties()->SetMinValue(5);
    e.Properties()->SetMaxValue(9);
    ASSERT_TRUE(e.TextToValue("", v, error, false));
    EXPECT_EQ(v.AsInt64(), 5);
    EXPECT_EQ(e.Properties()->ValueType(), vtInt);   // from the field
    e.Properties()->SetDefaultValuesProvider(nullptr);
    EXPECT_EQ(e.Properties()->ValueType(), vtFloat);
}

TEST_F(SpinEditTest, StartsAtZeroNotStored)
{
    EXPECT_EQ(Edit->GetDisplayText(), "0");
    EXPECT_EQ(Number(), 0);
    EXPECT_FALSE(Edit->IsValueStored());
    Edit->SetValue(Variant(3.5));
    EXPECT_TRUE(Edit->IsValueStored());
    EXPECT_EQ(Edit->GetDisplayText(), "3.5");
    Edit->SetValue(Variant("7"));   // not numeric: ignored
    EXPECT_EQ(Number(), 3.5);
}

TEST_F(SpinEditTest, ButtonsStopAtTheBoundsThenRefuse)
{
    Range(0, 10);
    Edit->SetValue(Variant(9.5));
    Focus();
    EXPECT_TRUE(Edit->DoSpin(1));
    EXPECT_EQ(Edit->GetDisplayText(), "10");
    EXPECT_FALSE(Edit->DoSpin(1));
    EXPECT_EQ(Number(), 10);
    Edit->SetValue(Variant(15.0));
    EXPECT_FALSE(Edit->DoSpin(1));
    EXPECT_TRUE(Edit->DoSpin(0));
    EXPECT_EQ(Number(), 10);
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
}

TEST_F(SpinEditTest, KeysSpinAndUseCtrlIncrementWantsCtrl)
{
    Edit->Properties()->SetLargeIncrement(5);
    int changes = 0;
    Edit->Properties()->OnChange = [&](TObject*) { ++changes; };
    Focus();
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Number(), 1);
    EXPECT_EQ(changes, 1);
    GuiTest::KeyPress(VK_PRIOR);
    EXPECT_EQ(Number(), 6);
    GuiTest::KeyPress(VK_NEXT);
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Number(), 0);
    EXPECT_EQ(Edit->SelStart(), 1);   // the caret at the end of the text

    Edit->Properties()->SetUseCtrlIncrement(true);
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Number(), 0);
    GuiTest::KeyPress(VK_UP, TShiftState{ssCtrl});
    EXPECT_EQ(Number(), 1);
}

TEST_F(SpinEditTest, HeldKeyDrawsItsButtonPressedUntilReleased)
{
    Focus();
    GuiTest::KeyDown(VK_UP);
    EXPECT_EQ(Edit->KeyHeldButton(), 2);
    Edit->ShortRefreshContainer(false);
    EXPECT_EQ(Edit->EditViewInfo()->Button(1)->State, ebsPressed);
    GuiTest::KeyDown(VK_UP);   // the keyboard's own repeat
    EXPECT_EQ(Number(), 2);
    GuiTest::KeyUp(VK_UP);
    EXPECT_EQ(Edit->KeyHeldButton(), 0);
    Edit->ShortRefreshContainer(false);
    EXPECT_NE(Edit->EditViewInfo()->Button(1)->State, ebsPressed);
}

TEST_F(SpinEditTest, TypingIsCheckedAsANumber)
{
    Edit->Properties()->SetValueType(vtInt);
    Focus();
    Edit->SelectAll();
    GuiTest::TypeText("12");
    EXPECT_EQ(Edit->GetDisplayText(), "12");
    EXPECT_TRUE(Edit->TypedText());
    EXPECT_EQ(Edit->Value().AsInt64(), 12);
    // The decimal separator is refused for integers, after ',' became it.
    Beeps = 0;
    GuiTest::TypeText(".,x中");
    EXPECT_EQ(Edit->GetDisplayText(), "12");
    EXPECT_EQ(Beeps, 4);
    // A float takes ',' as the separator.
    Edit->Properties()->SetValueType(vtFloat);
    GuiTest::TypeText(",5");
    EXPECT_EQ(Edit->GetDisplayText(), "12.5");
    EXPECT_EQ(Number(), 12.5);
    // A spin after typing starts from the typed number and is no typing.
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Edit->GetDisplayText(), "13.5");
    EXPECT_FALSE(Edit->TypedText());
}

TEST_F(SpinEditTest, InvalidTypedTextRaisesOnReadAndFailsValidation)
{
    Focus();
    Edit->SelectAll();
    GuiTest::TypeText("1e");
    EXPECT_THROW(Edit->Value(), Exception);
    try {
        Edit->ValidateEdit(true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& x) {
        EXPECT_EQ(std::string(x.what()), "Invalid numeric value");
    }
    // Out of the range on validation.
    Range(0, 10);
    Edit->SelectAll();
    GuiTest::TypeText("20");
    try {
        Edit->ValidateEdit(true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& x) {
        EXPECT_EQ(std::string(x.what()), "Value out of bounds");
    }
}

TEST_F(SpinEditTest, CanEditOffRefusesTypingButStillSpins)
{
    Edit->Properties()->SetCanEdit(false);
    Focus();
    Edit->SelectAll();
    GuiTest::TypeText("5");
    GuiTest::KeyPress(VK_BACK);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(Edit->GetDisplayText(), "0");
    Clipboard()->SetAsText("42");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Edit->GetDisplayText(), "0");
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(Number(), 1);
    GuiTest::Wheel(Edit, TPoint{30, 10}, 120);
    EXPECT_EQ(Number(), 2);
    GuiTest::Wheel(Edit, TPoint{30, 10}, -120);
    EXPECT_EQ(Number(), 1);
    GuiTest::MouseDown(Edit, mbLeft, ButtonCentre(1), TShiftState{ssLeft});
    GuiTest::MouseUp(Edit, mbLeft, ButtonCentre(1));
    EXPECT_EQ(Number(), 2);
}

TEST_F(SpinEditTest, HeldButtonRepeatsAfter400ThenEvery100ms)
{
    GuiTest::TManualTime clock;
    Focus();
    TPoint up = ButtonCentre(1);
    GuiTest::MouseDown(Edit, mbLeft, up, TShiftState{ssLeft});
    EXPECT_EQ(Number(), 1);
    EXPECT_TRUE(Edit->IsRepeating());
    clock.Advance(399);
    EXPECT_EQ(Number(), 1);
    clock.Advance(1);
    EXPECT_EQ(Number(), 2);
    EXPECT_EQ(Edit->RepeatInterval(), 100u);
    clock.Advance(100);
    clock.Advance(100);
    EXPECT_EQ(Number(), 4);
    GuiTest::MouseUp(Edit, mbLeft, up);
    EXPECT_FALSE(Edit->IsRepeating());
    clock.Advance(1000);
    EXPECT_EQ(Number(), 4);
    // The down button, and a key stops a held button at once.
    TPoint down = ButtonCentre(0);
    GuiTest::MouseDown(Edit, mbLeft, down, TShiftState{ssLeft});
    EXPECT_EQ(Number(), 3);
    GuiTest::KeyPress('A');
    EXPECT_FALSE(Edit->IsRepeating());
    clock.Advance(1000);
    EXPECT_EQ(Number(), 3);
    GuiTest::MouseUp(Edit, mbLeft, down);
}

TEST_F(SpinEditTest, ImmediatePostPostsEachStep)
{
    Edit->Properties()->SetImmediatePost(true);
    Range(0, 3);
    int posts = 0;
    Edit->OnPostEditValue = [&](TObject*) { ++posts; };
    Focus();
    GuiTest::KeyPress(VK_UP);
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(Number(), 2);
    Edit->SetValue(Variant(3.0));
    posts = 0;
    GuiTest::KeyPress(VK_UP);   // at the top: the text stays, nothing to post
    EXPECT_EQ(posts, 0);
}

TEST_F(SpinEditTest, FastButtonsComeAndGo)
{
    Edit->Properties()->SpinButtons()->SetShowFastButtons(true);
    EXPECT_EQ(Edit->Properties()->Buttons()->Count(), 4);
    Edit->Properties()->SetLargeIncrement(25);
    Focus();
    GuiTest::MouseDown(Edit, mbLeft, ButtonCentre(3), TShiftState{ssLeft});
    GuiTest::MouseUp(Edit, mbLeft, ButtonCentre(3));
    EXPECT_EQ(Number(), 25);
    Edit->Properties()->SpinButtons()->SetShowFastButtons(false);
    EXPECT_EQ(Edit->Properties()->Buttons()->Count(), 2);
}

TEST_F(SpinEditTest, AssignCopiesTheSpinSettings)
{
    TcxSpinEditProperties a, b;
    a.SetValueType(vtInt);
    a.SetIncrement(2.5);
    a.SetCanEdit(false);
    a.SpinButtons()->SetPosition(sbpHorzRight);
    a.SpinButtons()->SetShowFastButtons(true);
    b.Assign(&a);
    EXPECT_EQ(b.ValueType(), vtInt);
    EXPECT_TRUE(b.IsValueTypeStored());
    EXPECT_EQ(b.Increment(), 2.5);
    EXPECT_FALSE(b.CanEdit());
    EXPECT_EQ(b.SpinButtons()->Position(), sbpHorzRight);
    EXPECT_EQ(b.Buttons()->Count(), 4);
    TcxSpinEditProperties c;
    b.Assign(&c);
    EXPECT_FALSE(b.IsValueTypeStored());
}

// Spin, time and calc edits in the four looks, a memo with Chinese text and
// the keypad, for the eye: editors_spin.png in the build folder.
TEST_F(SpinEditTest, ShowsTheFourLooks)
{
    Form->SetBounds(100, 100, 520, 330);
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    const TcxSpinEditButtonsPosition positions[4] = {sbpVert, sbpHorzRight, sbpHorzLeftRight, sbpVert};
    std::vector<TcxCustomEdit*> edits;
    for (int i = 0; i < 4; ++i) {
        auto* spin = i == 0 ? Edit : new TcxSpinEdit(Form);
        spin->SetParent(Form);
        spin->SetBounds(10, 10 + i * 30, 150, 22);
        spin->EditStyle()->LookAndFeel()->SetKind(kinds[i]);
        if (i == 3) spin->EditStyle()->LookAndFeel()->SetNativeStyle(true);
        spin->Properties()->SpinButtons()->SetPosition(positions[i]);
        spin->Properties()->SpinButtons()->SetShowFastButtons(i == 1);
        spin->Properties()->SetValueType(vtFloat);
        spin->SetValue(Variant(1234.5 * (i + 1)));
        auto* time = new TcxTimeEdit(Form);
        time->SetParent(Form);
        time->SetBounds(170, 10 + i * 30, 130, 22);
        time->EditStyle()->LookAndFeel()->SetKind(kinds[i]);
        time->Properties()->SetUse24HourFormat(i % 2 == 0);
        time->SetTime(EncodeTime(8 + 3 * i, 15 * i, 30, 0));
        edits.push_back(time);
    }
    auto* calcEdit = new TcxCalcEdit(Form);
    calcEdit->SetParent(Form);
    calcEdit->SetBounds(10, 130, 150, 22);
    calcEdit->SetValue(3.14159);
    auto* memo = new TcxMemo(Form);
    memo->SetParent(Form);
    memo->SetBounds(10, 160, 290, 150);
    memo->Lines()->SetText("学员：张三\r\n科目二 倒车入库 已通过\r\n备注：周六上午练车，教练李四负责。这一行很长，会自动换行显示。");
    auto* calc = new TcxCustomCalculator(Form);
    calc->SetParent(Form);
    calc->SetLeft(310);
    calc->SetTop(10);
    GuiTest::ProcessEvents();
    Form->Repaint();
    GuiTest::ProcessEvents();
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_TRUE(calc->Button(cbMR).Grayed);   // nothing in the memory
    EXPECT_TRUE(GuiTest::SavePng(Form, std::string(QZ_BINARY_DIR) + "/editors_spin.png"));
}
