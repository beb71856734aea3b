// The tokenizer: one token kind at a time, under a grammar's settings.
#include "fs_iparser.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

struct TokenCase {
    const char* Name;
    std::function<void(TfsParser&)> Setup;
    const char* Text;
    std::function<std::string(TfsParser&)> Read;
    const char* Token;
    int PositionAfter;
};

void Defaults(TfsParser&) {}
void CStyle(TfsParser& p)
{
    p.StringQuotes = "\"";
    p.HexSequence = "0x";
    p.SetCommentBlock1("/*,*/");
    p.SetCommentBlock2("/*,*/");
}
void Basic(TfsParser& p)
{
    CStyle(p);
    p.CommentLine1 = "'";
    p.CommentLine2 = "rem";
    p.SkipEOL = false;
    p.SkipChar = "_";
}

std::string Number(TfsParser& p) { return p.GetNumber(); }
std::string String(TfsParser& p) { return p.GetString(); }
std::string Ident(TfsParser& p) { return p.GetIdent(); }
std::string Word(TfsParser& p) { return p.GetWord(); }
std::string Angle(TfsParser& p) { return p.GetAngleText(); }
std::string Skip(TfsParser& p)
{
    p.SkipSpaces();
    return p.Text().substr(size_t(p.Position() - 1), 1);
}

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.Name; }

class Tokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, ReadsTheToken)
{
    const TokenCase& c = GetParam();
    TfsParser p;
    c.Setup(p);
    p.AddKeyword("begin");
    p.SetText(c.Text);
    EXPECT_EQ(c.Read(p), c.Token);
    EXPECT_EQ(p.Position(), c.PositionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Tokens,
    ::testing::Values(
        TokenCase{"comments", Defaults, "{ a } (* b *) // c\nx", Skip, "x", 20},
        TokenCase{"open_brace_comment", Defaults, "{ never closed", Skip, "", 15},
        TokenCase{"range_is_not_a_float", Defaults, "1..10", Number, "1", 2},
        TokenCase{"point_without_digit", Defaults, "1.e5", Number, "1", 2},
        TokenCase{"exponent_without_digits", Defaults, "2E+", Number, "2", 2},
        TokenCase{"float", Defaults, " 1.5e-3;", Number, "1.5e-3", 8},
        TokenCase{"pascal_hex", Defaults, "$1F", Number, "$1F", 4},
        TokenCase{"c_hex_normalised", CStyle, "0x1F", Number, "$1F", 5},
        TokenCase{"leading_zero_is_decimal", CStyle, "010", Number, "010", 4},
        TokenCase{"pascal_string", Defaults, "'It''s'#13#10'x'", String, "'It's\r\nx'", 17},
        TokenCase{"char_codes", Defaults, "'A'#66#$43", String, "'ABC'", 11},
        TokenCase{"c_escapes", CStyle, "\"a\\\"b\\x41\\n\\t\"", String, "'a\"bA\nt'", 15},
        TokenCase{"unterminated_string", Defaults, "'abc\nd'", String, "", 1},
        TokenCase{"keyword_is_no_ident", Defaults, "BEGIN", Ident, "", 6},
        TokenCase{"word_reads_keywords", Defaults, "begin", Word, "begin", 6},
        TokenCase{"ident_may_not_start_with_digit", Defaults, "1abc", Ident, "", 1},
        TokenCase{"angle_text", Defaults, "a<b>\">\"c>d", Angle, "a<b>\">\"c", 9},
        TokenCase{"angle_text_stops_at_line_end", Defaults, "abc\n>", Angle, "", 1},
        TokenCase{"basic_rem_comment", Basic, "rem note\nx", Skip, "\n", 9},
        TokenCase{"basic_rem_any_case", Basic, "REM note\nx", Skip, "\n", 9},
        TokenCase{"basic_rem_needs_word_end", Basic, "remaining = 1", Word, "remaining", 10},
        TokenCase{"basic_continuation", Basic, "_  \r\nx", Skip, "x", 6},
        TokenCase{"basic_underscore_ident", Basic, "_x", Word, "_x", 3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Tokenizer, SignificantLineEnds)
{
    for (const char* text : {"a ' comment\r\nb", "a ' comment\nb", "a\r\n\r\nb"}) {
        TfsParser p;
        Basic(p);
        p.SetText(text);
        EXPECT_EQ(p.GetWord(), "a");
        EXPECT_TRUE(p.GetEOL()) << text;
        EXPECT_EQ(p.GetWord(), "b");
        EXPECT_TRUE(p.GetEOL()) << "the end of the text ends the last line";
    }
    TfsParser p;
    p.SetText("a\nb");
    p.GetWord();
    EXPECT_FALSE(p.GetEOL()) << "line ends are blanks when not significant";
}

TEST(Tokenizer, LineAndColumn)
{
    TfsParser p;
    p.SetText("ab\ncd\r\nef");
    EXPECT_EQ(p.GetLineColumn(1), "1:1");
    EXPECT_EQ(p.GetLineColumn(3), "1:3") << "a line feed belongs to the line it ends";
    EXPECT_EQ(p.GetLineColumn(4), "2:1");
    EXPECT_EQ(p.GetLineColumn(8), "3:1");
    EXPECT_EQ(p.LineColumnToPosition(1, 3), 8);
    EXPECT_EQ(p.LineColumnToPosition(1, 4), -1);
    EXPECT_EQ(p.LineColumnToPosition(1, 0), -1);
}

TEST(Tokenizer, KeywordsAndCharacters)
{
    TfsParser p;
    p.AddKeyword("begin");
    EXPECT_TRUE(p.IsKeyword("BEGIN"));
    EXPECT_FALSE(p.IsKeyword("end"));
    p.SetText("_+a");
    EXPECT_EQ(p.GetChar(), "_");
    EXPECT_EQ(p.GetChar(), "+");
    EXPECT_EQ(p.GetChar(), "");
    EXPECT_EQ(p.Position(), 3);
}

}  // namespace
