#include "cxCurrencyEdit.h"

#include "Clipbrd.h"
#include "EditOnForm.h"
#include "SysUtils.h"

namespace {

class CurrencyEditTest : public TEditOnForm<TcxCurrencyEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void SetText(const std::string& t, int selStart, int selLength = 0)
    {
        Edit->InnerEdit()->SetText(t);
        Edit->SetSelStart(selStart);
        Edit->SetSelLength(selLength);
    }
};

}  // namespace

TEST(CurrencyEdit, TextToValue)
{
    struct Case {
        const char* Text;
        bool Ok;
        double Value;
    };
    const Case cases[] = {
        {"0", true, 0},      {"-0", true, 0},          {"12.5", true, 12.5},   {"1.5E3", true, 1500},
        {"1e308", true, 1e308}, {"1e309", false, 0},   {"1e-400", false, 0},   {"abc", false, 0},
        {"", false, 0},      {"1,000", false, 0},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(TcxCustomCurrencyEditProperties::TryTextToValue(c.Text, v), c.Ok) << c.Text;
        EXPECT_EQ(v, c.Value) << c.Text;
    }
}

TEST_F(CurrencyEditTest, TypingKeepsANumberWithinTheDecimals)
{
    struct Case {
        const char* Text;
        int SelStart, SelLength;
        char C;
        bool Valid;
    };
    const Case cases[] = {
        {"1.23", 4, 0, '4', false},      // a third decimal
        {"1.23", 0, 0, '4', true},       // before the separator
        {"1.2", 3, 0, '3', true},
        {"1.5E3", 5, 0, '3', true},      // digits after E are not decimals
        {"", 0, 0, '-', true},
        {"12", 2, 0, '-', false},
        {"12", 0, 2, '-', true},         // the selection goes first
        {"12", 2, 0, 'x', false},
        {"12", 2, 0, ',', false},        // a thousand separator never parses
        {"12", 2, 0, '.', true},
    };
    for (const Case& c : cases) {
        SetText(c.Text, c.SelStart, c.SelLength);
        EXPECT_EQ(Edit->IsValidChar(c.C), c.Valid) << c.Text << " + " << c.C;
    }
    // Typed for real: the third decimal is dropped, a comma becomes the separator.
    SetText("", 0);
    GuiTest::TypeText("3,456");
    EXPECT_EQ(Edit->InnerEdit()->Text(), "3.45");
}

TEST_F(CurrencyEditTest, EmptyValueAndNullString)
{
    auto* p = Edit->Properties();
    p->SetNullString("none");
    struct Case {
        bool Nullable;
        const char* Text;
        bool IsNull;
        double Value;
    };
    const Case cases[] = {
        {true, "", true, 0}, {true, "none", true, 0}, {true, "abc", true, 0}, {true, "2.5", false, 2.5},
        {false, "", false, 0}, {false, "none", false, 0},
    };
    for (const Case& c : cases) {
        p->SetNullable(c.Nullable);
        Variant v = Edit->DisplayValueToEditValue(c.Text);
        EXPECT_EQ(VarIsNull(v), c.IsNull) << c.Text;
        if (!c.IsNull) EXPECT_EQ(v.AsDouble(), c.Value) << c.Text;
    }
    Variant shown;
    p->SetNullable(true);
    p->PrepareDisplayValue(Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), "none");
    p->PrepareDisplayValue(Null(), shown, true);
    EXPECT_EQ(VarToStr(shown), "");
    p->SetNullable(false);
    p->PrepareDisplayValue(Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), "0");
    // A value the format cannot take shows as it is when not focused, empty when focused.
    p->PrepareDisplayValue(Variant("驾校"), shown, false);
    EXPECT_EQ(VarToStr(shown), "驾校");
    p->PrepareDisplayValue(Variant("驾校"), shown, true);
    EXPECT_EQ(VarToStr(shown), "");
}

TEST_F(CurrencyEditTest, ValueIsKeptInRangeAndBadPastesAreUndone)
{
    Edit->Properties()->SetMinValue(0);
    Edit->Properties()->SetMaxValue(100);
    Edit->SetValue(500);
    EXPECT_EQ(Edit->Value(), 100);
    Edit->SetValue(-3);
    EXPECT_EQ(Edit->Value(), 0);
    Edit->SetEditValue(Null());
    EXPECT_EQ(Edit->Value(), 0);

    SetText("12", 2);
    Clipboard()->SetAsText("元");
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Edit->InnerEdit()->Text(), "12");
    EXPECT_EQ(Edit->SelLength(), 2);
    Clipboard()->SetAsText("5");
    Edit->SetSelStart(2);
    Edit->InnerEdit()->Perform(WM_PASTE);
    EXPECT_EQ(Edit->InnerEdit()->Text(), "125");
}
