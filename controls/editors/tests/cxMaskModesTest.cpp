#include "MaskModeHost.h"

#include "SysUtils.h"

#include "EditorsTestSupport.h"

#include <gtest/gtest.h>

namespace {


struct ScriptCase {
    TcxEditMaskKind Kind;
    const char* Mask;
    const char* Initial;   // shown before the script, nullptr for the empty edit
    const char* Script;
    const char* Text;
    int SelStart;
    int SelLength;
    int Beeps;
};

void RunCases(const ScriptCase* ACases, size_t ACount)
{
    for (size_t i = 0; i < ACount; ++i) {
        const ScriptCase& c = ACases[i];
        TMaskModeHost h(c.Kind, c.Mask);
        if (c.Initial) h.Show(c.Initial);
        h.Run(c.Script);
        SCOPED_TRACE(std::string(c.Mask) + " / " + c.Script);
        EXPECT_EQ(h.TextUtf8(), c.Text);
        EXPECT_EQ(h.SelStartV(), c.SelStart);
        EXPECT_EQ(h.SelLengthV(), c.SelLength);
        EXPECT_EQ(h.Beeps, c.Beeps);
    }
}

}  // namespace

// ---- the standard mask -------------------------------------------------------------------

TEST(StandardMask, CompilesTemplates)
{
    SeparatorsScope seps('/', ':');
    struct Case {
        const char* Mask;
        const char* Template;
        const char* Empty;
    };
    const Case cases[] = {
        {"000-0000;1;_", "___-____", "   -    "},
        {"000-0000;0;_", "___-____", "       "},
        {"000-0000;0;*", "***-****", "       "},
        {"99/99", "__/__", "  /  "},
        {"00:00", "__:__", "  :  "},
        {"!\\0\\\\0;1", "0\\_", "0\\ "},
        {"a;b", "_;b", " ;b"},
        {"0;x;_", "_;x;_", " ;x;_"},
        {"\\", "", ""},
        {"#LlAaCc", "_______", "       "},
    };
    for (const Case& c : cases) {
        TcxStandardMask m;
        m.SetMask(c.Mask);
        EXPECT_EQ(m.GetTemplate(), c.Template) << c.Mask;
        EXPECT_EQ(m.GetEmptyValue(), c.Empty) << c.Mask;
    }
    TcxStandardMask m;
    m.SetMask("0;1;_");
    EXPECT_EQ(m.GetTemplate(), "_");   // a tail is not a literal
}

TEST(StandardMask, MergeValidateAndStrip)
{
    struct Case {
        const char* Mask;
        const char* Input;
        const char* Merged;
        bool Valid;   // of the merged text
        const char* Stripped;
    };
    const Case cases[] = {
        {"000-0000;1;_", "1234567", "123-4567", true, "123-4567"},
        {"000-0000;1;_", "123-4567", "123-4567", true, "123-4567"},
        {"000-0000;0;_", "123-4567", "123-4567", true, "1234567"},
        {"000-0000;1;_", "12", "12_-____", false, "12 -    "},
        {">LL<ll", "aBcD", "ABcd", true, "ABcd"},
        {"99-99", "1", "1_-__", true, "1 -  "},
        {"00-00", "1", "1_-__", false, "1 -  "},
        // Each character goes to the first position that takes it.
        {"L0", "1a", "a1", true, "a1"},
        {"#0", "-5", "-5", true, "-5"},
        {"000", "1x2", "12_", false, "12 "},
    };
    for (const Case& c : cases) {
        TcxStandardMask m;
        m.SetMask(c.Mask);
        std::string t = c.Input;
        m.Merge(t, true);
        EXPECT_EQ(t, c.Merged) << c.Mask << " " << c.Input;
        std::string v = t;
        EXPECT_EQ(m.IsValid(v), c.Valid) << c.Mask << " " << c.Input;
        m.Strip(t);
        EXPECT_EQ(t, c.Stripped) << c.Mask << " " << c.Input;
    }
    TcxStandardMask m;
    m.SetMask(">LL<ll");
    std::string typed = "aBcD";
    m.Merge(typed, false);   // as typed, when the edit converts case itself
    EXPECT_EQ(typed, "aBcD");
}

TEST(StandardMaskMode, KeyScripts)
{
    const ScriptCase cases[] = {
        // The empty edit shows the template; the caret selects one character.
        {emkStandard, "000-0000;1;_", nullptr, "", "___-____", 0, 1, 0},
        {emkStandard, "000-0000;1;_", nullptr, "1234567", "123-4567", 8, 0, 0},
        {emkStandard, "000-0000;1;_", nullptr, "123", "123-____", 4, 1, 0},
        {emkStandard, ">LL<ll", nullptr, "aBcD", "ABcd", 4, 0, 0},
        // A refused character beeps and stays put.
        {emkStandard, "000", nullptr, "1x2", "12_", 2, 1, 1},
        // A literal typed at a literal position moves on and is tried there.
        {emkStandard, "000-0000;1;_", nullptr, "123-", "123-____", 4, 1, 1},
        {emkStandard, "000-0000;1;_", nullptr, "{CLICK:3}5", "___-5___", 5, 1, 0},
        // Backspace on the first editable position blanks it and stays.
        {emkStandard, "000;1;_", "123", "{BS}", "_23", 0, 1, 0},
        {emkStandard, "000-0000;1;_", "123-4567", "{CLICK:5}{BS}", "123-_567", 4, 1, 0},
        {emkStandard, "000-0000;1;_", "123-4567", "{CLICK:4}{BS}", "12_-4567", 2, 1, 0},
        // Delete blanks the editable positions of the selection, literals stay.
        {emkStandard, "000-0000;1;_", "123-4567", "{SEL:2,4}{DEL}", "12_-__67", 2, 4, 0},
        {emkStandard, "000-0000;1;_", "123-4567", "{CLICK:5}{LEFT}{LEFT}", "123-4567", 2, 1, 0},
        {emkStandard, "000-0000;1;_", "123-4567", "{CLICK:2}{RIGHT}", "123-4567", 4, 1, 0},
        {emkStandard, "000-0000;1;_", "123-4567", "{END}", "123-4567", 8, 0, 0},
        {emkStandard, "-00;1;_", "-12", "{END}{HOME}", "-12", 1, 1, 0},
        // A paste overwrites as many characters as it holds.
        {emkStandard, "000-0000;1;_", nullptr, "{CLICK:1}{PASTE:45}", "_45-____", 4, 1, 0},
    };
    RunCases(cases, std::size(cases));
}

TEST(StandardMaskMode, ValueAndValidity)
{
    TMaskModeHost h(emkStandard, "000-0000;0;_");
    h.Run("1234567");
    EXPECT_EQ(h.Mode->GetValueFromText(h.TextUtf8()), "1234567");
    TMaskModeHost k(emkStandard, "000-0000;1;_");
    EXPECT_EQ(k.Mode->GetValueFromText("1234567"), "123-4567");
    EXPECT_EQ(k.Mode->GetEmptyString(), "   -    ");

    TMaskModeHost o(emkStandard, "99-99");
    EXPECT_TRUE(o.Mode->IsFullValidText("1_-__"));
    TMaskModeHost r(emkStandard, "00-00");
    EXPECT_FALSE(r.Mode->IsFullValidText("1_-__"));
    EXPECT_FALSE(r.Mode->IsFullValidText("__-__"));
    r.IgnoreMaskBlankValue = true;
    EXPECT_TRUE(r.Mode->IsFullValidText("__-__"));
    EXPECT_FALSE(r.Mode->IsFullValidText("1_-__"));
}

// ---- the regular-expression modes ------------------------------------------------------------

TEST(RegExprMaskMode, KeyScripts)
{
    const ScriptCase cases[] = {
        // Typing at the end is refused when the expression cannot go on.
        {emkRegExpr, "\\d\\d", "12", "{END}3", "12", 2, 0, 1},
        // At the start, the tail that no longer fits is cut off.
        {emkRegExpr, "\\d\\d", "12", "{HOME}3", "3", 1, 0, 0},
        // Case-insensitive input takes the expression's letter case.
        {emkRegExpr, "ab", nullptr, "AB", "ab", 2, 0, 0},
        {emkRegExpr, "[a-z]+", nullptr, "A", "", 0, 0, 1},
        // A paste between 12 and 5 leaves the caret after what it inserted.
        {emkRegExpr, "(\\d)+", "125", "{CLICK:2}{PASTE:34}", "12345", 4, 0, 0},
        {emkRegExpr, "(\\d)+", "125", "{CLICK:2}{PASTE:34}6", "123465", 5, 0, 0},
        {emkRegExpr, "\\d+'-'\\d+", "12-34", "{CLICK:3}{BS}", "1234", 2, 0, 0},
        {emkRegExpr, "\\d+'-'\\d+", "12-34", "{CLICK:2}{DEL}", "1234", 2, 0, 0},
        // A deletion that leaves a tail the expression cannot go on with
        // removes the whole tail.
        {emkRegExpr, "\\d'-'\\d+", "1-23", "{CLICK:1}{DEL}", "1", 1, 0, 0},
        {emkRegExpr, "a\\d*", "a12", "{CLICK:1}{DEL}", "a2", 1, 0, 0},
        {emkRegExpr, "\\d\\d", "12", "{SEL:0,1}3", "32", 1, 0, 0},
        {emkRegExpr, "\\d\\d", "12", "{SEL:0,1}x", "12", 0, 1, 1},
    };
    RunCases(cases, std::size(cases));
}

TEST(RegExprMaskMode, ValidityAndErrors)
{
    TMaskModeHost h(emkRegExpr, "\\d\\d");
    EXPECT_FALSE(h.Mode->IsFullValidText("1"));
    EXPECT_TRUE(h.Mode->IsFullValidText("12"));
    EXPECT_TRUE(h.Mode->IsFullValidText(""));
    h.IgnoreMaskBlankValue = true;
    EXPECT_TRUE(h.Mode->IsFullValidText("1"));
    EXPECT_FALSE(h.Mode->IsFullValidText("1x"));
    try {
        h.Mode->Compile("a**\r\n(");
        FAIL();
    } catch (const EcxMaskEditError& e) {
        EXPECT_EQ(e.Message(), "Regular expression errors:\r\nMissing ')'");
    }
    try {
        h.Mode->Compile("a**");
        FAIL();
    } catch (const EcxMaskEditError& e) {
        EXPECT_EQ(e.Message(),
                  "Regular expression errors:\r\nLine1, Char3: The '*' quantifier cannot be "
                  "applied here");
    }
}

TEST(RegExprExMaskMode, KeyScripts)
{
    SeparatorsScope seps('-', ':');
    const ScriptCase cases[] = {
        // Forced literals are inserted; the caret goes after them.
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "12", "12:", 3, 0, 0},
        // Backspace removes the literal together with the digit before it.
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "12{BS}", "1", 1, 0, 0},
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "12{BS}2", "12:", 3, 0, 0},
        // Left from after the colon jumps before the 2.
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "12{LEFT}", "12:", 1, 0, 0},
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "1234{HOME}{RIGHT}{RIGHT}", "12:34", 3, 0, 0},
        {emkRegExprEx, "\\d\\d':'\\d\\d", nullptr, "1234x", "12:34", 5, 0, 1},
        // The empty edit shows the forced leading literal, which stays.
        {emkRegExprEx, "'+'\\d+", nullptr, "", "+", 0, 0, 0},
        {emkRegExprEx, "'+'\\d+", nullptr, "{HOME}{DEL}", "+", 0, 0, 1},
        {emkRegExprEx, "'+'\\d+", nullptr, "{END}5{BS}{BS}", "+", 1, 0, 1},
        {emkRegExprEx, "'+'\\d+", nullptr, "{END}56{SEL:0,2}7", "+76", 2, 0, 0},
        // The date separator in force.
        {emkRegExprEx, "\\d\\d/\\d\\d", nullptr, "1231", "12-31", 5, 0, 0},
        // A typed character in the middle: the tail still fits.
        {emkRegExprEx, "\\d+'-'\\d+", "1-2", "{CLICK:1}3", "13-2", 2, 0, 0},
    };
    RunCases(cases, std::size(cases));
}

TEST(RegExprExMaskMode, EmptyTextAndValidity)
{
    TMaskModeHost h(emkRegExprEx, "'+86-'\\d+");
    EXPECT_EQ(h.Mode->GetEmptyString(), "+86-");
    EXPECT_EQ(h.TextUtf8(), "+86-");
    EXPECT_TRUE(h.Mode->IsFullValidText("+86-"));   // nothing typed
    EXPECT_FALSE(h.Mode->IsFullValidText("+86-x"));
    EXPECT_TRUE(h.Mode->IsFullValidText("+86-1"));
    EXPECT_EQ(h.Mode->GetFormattedText("+86"), "+86-");
    h.Run("{END}13800{HOME}{SEL:0,5}9");
    EXPECT_EQ(h.TextUtf8(), "+86-93800");
}
