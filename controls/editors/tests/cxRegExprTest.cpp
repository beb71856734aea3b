#include "cxRegExpr.h"

#include "SysUtils.h"

#include "EditorsTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using cxRegExpr::ToU32;

namespace {


// The compile errors of a source, one text per error, or "" when it compiles.
std::string Errors(const std::string& ASource)
{
    TcxRegExpr r;
    try {
        r.Compile(ASource);
        return "";
    } catch (const EcxRegExprError& e) {
        std::string s;
        for (int i = 0; i < e.Errors.Count(); ++i) {
            if (i) s += " | ";
            s += e.Errors.Items(i).GetFullMessage();
        }
        return s;
    }
}

// Feeds the text; true when every character is accepted.
bool FeedAll(TcxRegExpr& r, const std::string& AText)
{
    r.Reset();
    for (char32_t c : ToU32(AText))
        if (!r.Next(c)) return false;
    return true;
}

}  // namespace

TEST(RegExpr, AgreesWithARealEngineOnRecordedCases)
{
    SeparatorsScope seps;
    std::ifstream in(QZ_TEST_DATA_DIR "/regexpr_cases.txt");
    ASSERT_TRUE(in.good());
    std::string line;
    TcxRegExpr r;
    std::string pattern;
    bool compiled = false;
    int patterns = 0, inputs = 0, failures = 0;
    while (std::getline(in, line)) {
        if (line.rfind("P\t", 0) == 0) {
            pattern = line.substr(2);
            ++patterns;
            compiled = true;
            try {
                r.Compile(pattern);
            } catch (const EcxRegExprError& e) {
                compiled = false;
                ADD_FAILURE() << "does not compile: " << pattern << ": "
                              << e.Errors.Items(0).GetFullMessage();
            }
            continue;
        }
        if (!compiled || line.rfind("I\t", 0) != 0) continue;
        std::istringstream f(line.substr(2));
        std::string text, full, prefix;
        std::getline(f, text, '\t');
        std::getline(f, full, '\t');
        std::getline(f, prefix, '\t');
        ++inputs;
        bool accepted = FeedAll(r, text);
        bool isFull = accepted && r.IsFinal();
        if (isFull != (full == "1") || accepted != (prefix == "1")) {
            if (++failures <= 20)
                ADD_FAILURE() << "pattern " << pattern << " input '" << text << "': full "
                              << isFull << " (expected " << full << "), prefix " << accepted
                              << " (expected " << prefix << ")";
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(patterns, 100);
    EXPECT_GT(inputs, 10000);
}

TEST(RegExpr, CompileErrorsCarryMessageLineAndPosition)
{
    struct Case {
        const char* Source;
        const char* Expected;
    };
    const Case cases[] = {
        {"'abc", "Line1, Char5: Missing ' ' '"},
        {"[ab", "Line1, Char4: Missing ']'"},
        {"a{2", "Line1, Char4: Missing '}'"},
        {"a{2'}", "Line1, Char4: Illegal ' ' '"},
        {"a{x}", "Line1, Char3: Illegal 'x'"},
        {"\\x4", "Line1, Char4: Hexadecimal number expected"},
        {"\\x4g", "Line1, Char4: Hexadecimal number expected but 'g' found"},
        {"(a", "Missing ')'"},
        {"a)", "Unnecessary ')'"},
        {"a|", "Line1, Char2: The alternative should not be empty"},
        {"|a", "Line1, Char1: The alternative should not be empty"},
        {"()", "Line1, Char2: The block should not be empty"},
        // A reference to a refused group is refused too; later groups keep
        // their numbers.
        {"()\\1",
         "Line1, Char2: The block should not be empty | Line1, Char4: The block should not be empty"},
        {"()(a)\\2", "Line1, Char2: The block should not be empty"},
        {"()(a)\\3",
         "Line1, Char2: The block should not be empty | Line1, Char7: Too big reference number"},
        {"[a-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one"},
        {"[]", "Line1, Char2: Can't create empty enumeration"},
        {"(a)\\2", "Line1, Char5: Too big reference number"},
        {"*a", "Line1, Char1: Illegal quantifier '*'"},
        {"a**", "Line1, Char3: The '*' quantifier cannot be applied here"},
        {"a?+", "Line1, Char3: The '+' quantifier cannot be applied here"},
        {"a{3,2}", "Line1, Char2: Incorrect parameter quantifier"},
        {"{2}", "Line1, Char1: Incorrect parameter quantifier"},
        {"a?{2}", "Line1, Char3: The parameter quantifier cannot be applied here"},
        {"a{1,2,3}", "Line1, Char7: Illegal integer value"},
        {"a)(", "Line1, Char2: Illegal ')' | Line1, Char3: The alternative should not be empty"},
        {"   \t\r\n ", "The source stream is empty"},
        // CR counts a line, LF starts the count of positions again.
        {"ab\r\ncd\r\n[x", "Line3, Char3: Missing ']'"},
        {"a{99999}", "Line1, Char2: The expression is too complex"},
    };
    for (const Case& c : cases) EXPECT_EQ(Errors(c.Source), c.Expected) << c.Source;
    EXPECT_EQ(Errors("a??"), "");
    EXPECT_EQ(Errors("[-a][a-]"), "");
    EXPECT_EQ(Errors("a\\"), "");
}

TEST(RegExpr, ErrorsAreCollectedAndCompileRaisesWithoutSource)
{
    TcxRegExpr r;
    try {
        r.Compile(static_cast<TStream*>(nullptr));
        FAIL();
    } catch (const EcxRegExprError& e) {
        ASSERT_EQ(e.Errors.Count(), 1);
        EXPECT_EQ(e.Errors.Items(0).GetFullMessage(), "The source stream is not assigned");
    }
    EXPECT_EQ(Errors("[b-a] [c-b]"),
              "Line1, Char4: The starting character of the subrange must be less than the "
              "finishing one | Line1, Char10: The starting character of the subrange must be "
              "less than the finishing one");
    EXPECT_FALSE(r.IsCompiled());
    char32_t c = 'a';
    EXPECT_THROW(r.Next(c), Exception);
    EXPECT_THROW(r.IsFinal(), Exception);
    try {
        r.Prev();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Regular expression is not compiled");
    }
}

TEST(RegExpr, MatchesThePatternsOwnCases)
{
    SeparatorsScope seps('/', ':');
    struct Case {
        const char* Pattern;
        const char* Text;
        bool Accepted;
        bool Final;
    };
    const Case cases[] = {
        {"'a''b'", "a'b", true, true},
        {"[-a]+", "-a-", true, true},
        {"[a-]", "-", true, true},
        {"a{2,4}", "aa", true, true},
        {"a{2,4}", "aaaa", true, true},
        {"a{2,4}", "aaaaa", false, false},
        {"a{2,4}", "a", true, false},
        {"(ab|cd)\\1", "abcd", true, true},
        {"(ab|cd)\\1", "cdcd", true, true},
        {"a b  c", "abc", true, true},
        {"\\d\\d/\\d\\d", "12/34", true, true},
        {"\\d\\d:\\d\\d", "12:3", true, false},
        {"a{0}b", "b", true, true},
        {"b(a?)", "b", true, true},
        {"(a?)", "", true, true},
        {"\\x41\\t", "A\t", true, true},
        {"\\s\\S", "\tx", true, true},
        {"[^a-c]", "b", false, false},
        {"\\w+", "中", false, false},
        {".中", "a中", true, true},
    };
    for (const Case& c : cases) {
        TcxRegExpr r;
        r.Compile(c.Pattern);
        bool accepted = FeedAll(r, c.Text);
        EXPECT_EQ(accepted, c.Accepted) << c.Pattern << " / " << c.Text;
        if (accepted) EXPECT_EQ(r.IsFinal(), c.Final) << c.Pattern << " / " << c.Text;
    }
}

TEST(RegExpr, CaseInsensitiveInputTakesTheExpressionsCase)
{
    TcxRegExpr r;
    r.Compile("ab[a-z]");
    r.SetCaseInsensitive(true);
    char32_t c = 'A';
    EXPECT_TRUE(r.Next(c));
    EXPECT_EQ(c, U'a');
    c = 'B';
    EXPECT_TRUE(r.Next(c));
    EXPECT_EQ(c, U'b');
    c = 'C';
    EXPECT_FALSE(r.Next(c));   // ranges compare case-sensitively
    std::string accepted;
    r.Reset();
    r.NextEx("AxBq", accepted);
    EXPECT_EQ(accepted, "ABq");   // NextEx keeps the letter case of the text
}

TEST(RegExpr, RefusedCharacterLeavesTheStateAndPrevStepsBack)
{
    TcxRegExpr r;
    r.Compile("ab");
    EXPECT_TRUE(r.IsStart());
    EXPECT_FALSE(r.Prev());
    char32_t c = 'x';
    EXPECT_FALSE(r.Next(c));
    EXPECT_TRUE(r.IsStart());
    c = 'a';
    EXPECT_TRUE(r.Next(c));
    EXPECT_FALSE(r.IsStart());
    c = 'a';
    EXPECT_FALSE(r.Next(c));
    c = 'b';
    EXPECT_TRUE(r.Next(c));
    EXPECT_TRUE(r.IsFinal());
    EXPECT_TRUE(r.Prev());
    EXPECT_FALSE(r.IsFinal());
    c = 'b';
    EXPECT_TRUE(r.Next(c));
    EXPECT_TRUE(r.IsFinal());
}

TEST(RegExpr, LiteralCompletionAnnouncesForcedCharacters)
{
    SeparatorsScope seps('/', ':');
    TcxRegExpr r;
    std::string log;
    r.OnLiteralAdded = [&](char32_t c) { log += "+" + cxRegExpr::ToUtf8(c); };
    r.OnLiteralRemoved = [&] { log += "-"; };
    r.SetLiteralCompletion(true);
    r.Compile("\\d\\d/\\d\\d");
    char32_t c = '1';
    r.Next(c);
    EXPECT_EQ(log, "");
    c = '2';
    r.Next(c);
    EXPECT_EQ(log, "+/");
    c = '3';
    EXPECT_TRUE(r.Next(c));   // the separator counts as fed
    EXPECT_TRUE(r.Prev());
    EXPECT_TRUE(r.Prev());    // announces the separator's removal, steps back over '2'
    EXPECT_EQ(log, "+/-");
    c = '9';
    EXPECT_TRUE(r.Next(c));
    EXPECT_EQ(log, "+/-+/");

    // Forced leading literals are announced at compile time and when the
    // completion is switched on.
    std::string lead;
    TcxRegExpr p;
    p.OnLiteralAdded = [&](char32_t c) { lead += cxRegExpr::ToUtf8(c); };
    p.Compile("'+86-'\\d+");
    EXPECT_EQ(lead, "");
    p.SetLiteralCompletion(true);
    EXPECT_EQ(lead, "+86-");
}

TEST(RegExpr, DumpShowsTheParseTree)
{
    TcxRegExpr r;
    r.Compile("a(b)?");
    EXPECT_EQ(r.Dump(),
              "<Start_Alt>\r\nitem --> \r\n<Start_Block>\r\n<Start_Alt>\r\nitem --> \r\n"
              "<Finish_Alt>\r\n<Finish_Block> --> ?\r\n<Finish_Alt>\r\n");
}

TEST(RegExpr, HostileExpressionsAreBounded)
{
    EXPECT_NE(Errors(std::string(300, '(') + "a" + std::string(300, ')')), "");
    EXPECT_EQ(Errors("((a{200}){200}){200}"), "Line1, Char10: The expression is too complex");
    EXPECT_EQ(Errors("(a)\\1\\1"), "");
}
