#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

namespace {

// Runs each test under the library's default settings and restores the
// process-wide ones afterwards.
class SysUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Default();
    }
    void TearDown() override { FormatSettings = FSaved; }
    TFormatSettings FSaved;
};

struct GoldenCase {
    const char* Expr;
    std::function<std::string()> Run;
    const char* Expected;
};

// Expected values printed by golden/format_cases.pas.
const GoldenCase GoldenCases[] = {
#include "GoldenFormatCases.inc"
};

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("other exception: ") + e.what();
    }
    return "no error";
}

}   // namespace

TEST_F(SysUtilsTest, MatchesTheIndependentImplementation)
{
    for (const auto& c : GoldenCases) EXPECT_EQ(c.Run(), c.Expected) << c.Expr;
}

// ---- Format -----------------------------------------------------------------

TEST_F(SysUtilsTest, FormatRejectsMismatchedAndMissingArguments)
{
    const std::string bad = "Format '%d' invalid or incompatible with argument";
    EXPECT_EQ(ErrorOf([] { Format("%d", {"x"}); }), bad);
    EXPECT_EQ(ErrorOf([] { Format("%d", {true}); }), bad);
    EXPECT_EQ(ErrorOf([] { Format("%d", {1.5}); }), bad);
    EXPECT_EQ(ErrorOf([] { Format("%f", {1}); }), "Format '%f' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("%s", {42}); }), "Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("%p", {1}); }), "Format '%p' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("a %z", {1}); }), "Format 'a %z' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("%*d", {"w", 1}); }), "Format '%*d' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("%d %d", {1}); }), "No argument for format '%d %d'");
    EXPECT_EQ(ErrorOf([] { Format("%3:s", {"a"}); }), "No argument for format '%3:s'");
    EXPECT_EQ(ErrorOf([] { Format("100%", {}); }), "Format '100%' invalid or incompatible with argument");
    // A width or precision no text needs is refused, whether written out or
    // taken from "*" (where the smallest integer, left-justifying, cannot be
    // negated).
    for (int w : {INT_MIN, -100000001, 100000001, INT_MAX}) {
        EXPECT_EQ(ErrorOf([w] { Format("%*d", {w, 1}); }), "Format '%*d' invalid or incompatible with argument") << w;
        EXPECT_EQ(ErrorOf([w] { Format("%.*f", {w, 1.5}); }), "Format '%.*f' invalid or incompatible with argument")
            << w;
    }
    EXPECT_EQ(ErrorOf([] { Format("%999999999d", {1}); }), "Format '%999999999d' invalid or incompatible with argument");
    EXPECT_EQ(Format("%*d|%-*d", {-3, 7, 3, 8}), "7  |8  ");
    // The format is quoted cut to 31 characters, never inside a character.
    std::string longFmt = std::string(29, 'x') + "中文%d";
    EXPECT_EQ(ErrorOf([&] { Format(longFmt, {"s"}); }),
              "Format '" + std::string(29, 'x') + "中文' invalid or incompatible with argument");
}

// Callers can name the argument of the wrong kind; a bad format names none.
TEST_F(SysUtilsTest, FormatTellsWhichArgumentIsWrong)
{
    auto argumentOf = [](const std::string& fmt, std::initializer_list<TVarRec> args) {
        try {
            Format(fmt, args);
        } catch (const EFormatArgumentError& e) {
            return e.Argument;
        } catch (const EConvertError&) {
            return -1;
        }
        return -2;
    };
    EXPECT_EQ(argumentOf("%d", {"x"}), 0);
    EXPECT_EQ(argumentOf("%s %d %f", {"a", 1, 2}), 2);
    EXPECT_EQ(argumentOf("%1:d %0:s", {"a", "b"}), 1);
    EXPECT_EQ(argumentOf("%*d", {"w", 1}), 0);
    EXPECT_EQ(argumentOf("a %z", {1}), -1);
    EXPECT_EQ(argumentOf("%d %d", {1}), -1);
}

TEST_F(SysUtilsTest, FormatCountsCharactersOfText)
{
    EXPECT_EQ(Format("[%5s][%-4s][%.1s]", {"中文", "驾校", "恒岳"}), "[   中文][驾校  ][恒]");
    EXPECT_EQ(Format("%s%s", {std::string("a"), 'b'}), "ab");
    EXPECT_EQ(Format("[%*s][%.*s]", {-4, "ab", -1, "abc"}), "[ab  ][abc]");
}

TEST_F(SysUtilsTest, FormatTakesPointersUnsignedAndSettings)
{
    int x = 0;
    const void* p = &x;
    std::string hex = Format("%p", {p});
    EXPECT_EQ(hex.size(), sizeof(void*) * 2);
    EXPECT_EQ(StrToInt64("$" + hex), static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)));
    EXPECT_EQ(Format("%p", {nullptr}), std::string(sizeof(void*) * 2, '0'));
    EXPECT_EQ(Format("%u %d %x", {4000000000u, size_t(5), uint64_t(255)}), "4000000000 5 FF");

    TFormatSettings de = TFormatSettings::Default();
    de.DecimalSeparator = ',';
    de.ThousandSeparator = '.';
    de.CurrencyString = "EUR";
    de.CurrencyFormat = 3;
    de.NegCurrFormat = 8;
    EXPECT_EQ(Format("%.2f|%n|%m|%m", {1.5, 1234567.25, 9.5, -9.5}, de),
              "1,50|1.234.567,25|9,50 EUR|-9,50 EUR");
    std::vector<TVarRec> args{1, "two"};
    EXPECT_EQ(Format("%d-%s", args), "1-two");
}

TEST_F(SysUtilsTest, CurrencyPatternsFollowTheSettings)
{
    // Every negative pattern of the class library, with "$" for the symbol.
    const char* expected[16] = {"($1.50)", "-$1.50", "$-1.50", "$1.50-", "(1.50$)", "-1.50$",
                                "1.50-$", "1.50$-", "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-",
                                "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
    TFormatSettings fs = TFormatSettings::Default();
    fs.CurrencyString = "$";
    for (int i = 0; i < 16; ++i) {
        fs.NegCurrFormat = static_cast<uint8_t>(i);
        EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), expected[i]) << i;
    }
    const char* positive[4] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
    for (int i = 0; i < 4; ++i) {
        fs.CurrencyFormat = static_cast<uint8_t>(i);
        EXPECT_EQ(CurrToStrF(Currency::FromRaw(15000), ffCurrency, 2, fs), positive[i]) << i;
    }
}

// ---- integers -------------------------------------------------------------------

TEST_F(SysUtilsTest, IntegerText)
{
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToStr(int64_t(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(UIntToStr(4294967295u), "4294967295");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 0), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0, 0), "0");

    struct Case {
        const char* Text;
        bool Ok;
        int Value;
    } cases[] = {
        {"123", true, 123},         {"  -45", true, -45},    {"+7", true, 7},
        {"45 ", false, 0},          {"x10", true, 16},
        {"$FF", true, 255},         {"0x1f", true, 31},      {"-$10", true, -16},
        {"$FFFFFFFF", true, -1},    {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},   {"-2147483649", false, 0}, {"$100000000", false, 0},
        {"", false, 0},             {"  ", false, 0},        {"12a", false, 0},
        {"1 2", false, 0},          {"$", false, 0},         {"1.0", false, 0},
        {"-", false, 0},            {"0x", false, 0},        {"-$80000000", false, 0},
        {"-$FFFFFFFF", true, 1},
    };
    for (const auto& c : cases) {
        int v = -999;
        EXPECT_EQ(TryStrToInt(c.Text, v), c.Ok) << c.Text;
        if (c.Ok) {
            EXPECT_EQ(v, c.Value) << c.Text;
            EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;
        } else {
            EXPECT_EQ(v, -999) << "left unchanged: " << c.Text;
            EXPECT_EQ(StrToIntDef(c.Text, 77), 77) << c.Text;
            EXPECT_EQ(ErrorOf([&] { StrToInt(c.Text); }),
                      std::string("'") + c.Text + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$7FFFFFFFFFFFFFFF"), INT64_MAX);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 5), 5);
    // Hex is the bit pattern; negating the smallest 64-bit integer leaves the range.
    EXPECT_EQ(StrToInt64Def("-$8000000000000000", 5), 5);
    EXPECT_EQ(StrToInt64("-$7FFFFFFFFFFFFFFF"), -INT64_MAX);
    EXPECT_EQ(StrToInt64("$8000000000000000"), INT64_MIN);
    int64_t ranged = 0;
    EXPECT_TRUE(TryStrToIntRange("250", 0, 255, ranged));
    EXPECT_EQ(ranged, 250);
    EXPECT_FALSE(TryStrToIntRange("256", 0, 255, ranged));
    EXPECT_FALSE(TryStrToIntRange("-1", 0, 255, ranged));
    int64_t v64 = 0;
    EXPECT_TRUE(TryStrToInt64(" 1234567890123", v64));
    EXPECT_EQ(v64, 1234567890123);
    EXPECT_EQ(ErrorOf([] { StrToInt64("x"); }), "'x' is not a valid integer value");
}

// ---- floats ------------------------------------------------------------------------

TEST_F(SysUtilsTest, FloatParsing)
{
    struct Case {
        const char* Text;
        bool Ok;
        double Value;
    } cases[] = {
        {"1.5", true, 1.5},    {" -2.25 ", true, -2.25}, {"1e3", true, 1000},
        {"1E+3", true, 1000},  {".5", true, 0.5},        {"5.", true, 5},
        {"0", true, 0},        {"", false, 0},           {"abc", false, 0},
        {"1,5", false, 0},     {"1e", false, 0},         {"1.2.3", false, 0},
        {".", false, 0},       {"e5", false, 0},         {"1e999", false, 0},
        {"--1", false, 0},     {"1 5", false, 0},        {"INF", false, 0},
        {"nan", false, 0},     {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        double v = -7;
        EXPECT_EQ(TryStrToFloat(c.Text, v), c.Ok) << c.Text;
        if (c.Ok) EXPECT_DOUBLE_EQ(v, c.Value) << c.Text;
        else {
            EXPECT_EQ(v, -7) << c.Text;
            EXPECT_EQ(ErrorOf([&] { StrToFloat(c.Text); }),
                      std::string("'") + c.Text + "' is not a valid floating point value");
        }
    }
    TFormatSettings comma = TFormatSettings::Default();
    comma.DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(StrToFloat("1,5", comma), 1.5);
    EXPECT_EQ(StrToFloatDef("1.5", -1, comma), -1);
    EXPECT_EQ(FloatToStr(2.5, comma), "2,5");
    // Text written by FloatToStr reads back to the same text.
    for (double d : {0.1, 1.0 / 3, -123456.789, 1e-7, 6.02214076e23})
        EXPECT_EQ(FloatToStr(StrToFloat(FloatToStr(d))), FloatToStr(d));
}

// Where we deliberately differ from the independent implementation, the
// class library's documented behaviour holds.
TEST_F(SysUtilsTest, DeliberateDifferences)
{
    // An empty negative section means "use the positive one with a sign".
    EXPECT_EQ(FormatFloat("0.00;;", -3.0), "-3.00");
    // A value that rounds to zero is zero: no lone minus sign.
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("#", -0.4), "");
    EXPECT_EQ(FormatFloat("0.00;(0.00);nil", -0.001), "nil");
    // More integer digits than the precision: scientific form.
    EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2), "1E20");
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 3, 2), "1.23E3");
    // Non-finite values, in the class library's spelling.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FloatToStr(inf), "INF");
    EXPECT_EQ(FloatToStr(-inf), "-INF");
    EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
    EXPECT_EQ(FormatFloat("0.00", inf), "INF");
    // Default precision of %e and %g is 15 digits.
    EXPECT_EQ(Format("%e|%g", {1.5, 0.1 + 0.2}), "1.50000000000000E+000|0.3");
}

TEST_F(SysUtilsTest, CurrencyText)
{
    struct Case {
        const char* Text;
        bool Ok;
        int64_t Raw;
    } cases[] = {
        {"12.34", true, 123400},        {"-0.5", true, -5000},
        {"12.34565", true, 123456},     {"12.34575", true, 123458},
        {"12.345651", true, 123457},    {"922337203685477", true, 9223372036854770000},
        {"1e2", true, 1000000},         {"abc", false, 0},
        {"1e20", false, 0},             {"", false, 0},
        // The two ends of the range are amounts; one more is not. These and
        // the exponent forms below are checked against golden/strtocurr_cases.pas.
        {"922337203685477.5807", true, INT64_MAX},
        {"-922337203685477.5808", true, INT64_MIN},
        {"922337203685477.5808", false, 0},
        {"-922337203685477.5809", false, 0},
        {"922337203685477.58075", false, 0},   // rounds past the largest
        {"999999999999999.9999", false, 0},
        {"9.22337203685477e14", true, 9223372036854770000},
        {"1.23456789e5", true, 1234567890}, {"-12345e-8", true, -1},
        {"5e-5", true, 0},              {"1.5e-4", true, 2},
        {"0e999999", true, 0},          {"12.3456E+002", true, 12345600},
    };
    for (const auto& c : cases) {
        Currency v = Currency::FromRaw(-1);
        EXPECT_EQ(TryStrToCurr(c.Text, v), c.Ok) << c.Text;
        if (c.Ok) EXPECT_EQ(v.Value, c.Raw) << c.Text;
    }
    EXPECT_EQ(ErrorOf([] { StrToCurr("x1"); }), "'x1' is not a valid floating point value");
    EXPECT_EQ(StrToCurrDef("?", Currency::FromRaw(7)).Value, 7);
    EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MIN)), "-922337203685477.5808");
    EXPECT_EQ(FormatCurr("#,##0.0000", Currency::FromRaw(INT64_MAX)), "922,337,203,685,477.5807");
}

TEST_F(SysUtilsTest, TextToFloatReadsAsTryStrToFloat)
{
    TFormatSettings comma = TFormatSettings::Default();
    comma.DecimalSeparator = ',';
    struct Case {
        const char* Text;
        bool Ok;
        double Value;
    } cases[] = {
        {"1.5", true, 1.5}, {" -2.5E3 ", true, -2500}, {"+3", true, 3}, {"", false, 0},
        {"1,5", false, 0},  {"1e400", false, 0},       {"5e-324", true, 5e-324},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(TextToFloat(c.Text, v), c.Ok) << c.Text;
        if (c.Ok) EXPECT_EQ(v, c.Value) << c.Text;
    }
    double v = 0;
    EXPECT_TRUE(TextToFloat("1,5", v, comma));
    EXPECT_EQ(v, 1.5);
}

TEST_F(SysUtilsTest, Rounding)
{
    struct Case {
        double Value;
        int64_t Rounded, Truncated;
    } cases[] = {
        {0.5, 0, 0},  {1.5, 2, 1},   {2.5, 2, 2},    {-0.5, 0, 0},
        {-1.5, -2, -1}, {-2.5, -2, -2}, {2.4999, 2, 2}, {-2.6, -3, -2},
        {1e15 + 0.5, 1000000000000000, 1000000000000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.Value), c.Rounded) << c.Value;
        EXPECT_EQ(Trunc(c.Value), c.Truncated) << c.Value;
    }
    EXPECT_DOUBLE_EQ(Int(-2.75), -2.0);
    EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
    EXPECT_DOUBLE_EQ(Frac(3.25), 0.25);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Trunc(1e19), EInvalidOp);
    EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST_F(SysUtilsTest, ProgramSettings)
{
    TFormatSettings fs = TFormatSettings::Default();
    ApplyProgramDateFormats(fs);
    EXPECT_EQ(fs.ShortDateFormat, "yyyy-mm-dd");
    EXPECT_EQ(fs.LongDateFormat, "yyyy-mm-dd hh:nn:ss");
    EXPECT_EQ(fs.DateSeparator, '-');
    EXPECT_EQ(fs.TimeSeparator, ':');
    // Numbers keep "." whatever the date settings: SQL text relies on it.
    EXPECT_EQ(fs.DecimalSeparator, '.');
}

TEST_F(SysUtilsTest, WidthsCountCharactersOfTheCurrencySymbol)
{
    // The symbol is one character however many bytes it takes.
    EXPECT_EQ(Format("%8m", {3.25}), "   ￥3.25");
}

// A sweep of doubles, half of them near a rounding boundary (x.5, x.xx5),
// against the independent implementation's text (golden/float_sweep.pas).
TEST_F(SysUtilsTest, FloatSweep)
{
    std::ifstream in(std::string(QZ_TEST_DATA_DIR) + "/float_sweep.txt");
    ASSERT_TRUE(in) << "missing data/float_sweep.txt";
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t')) f.push_back(field);
        ASSERT_EQ(f.size(), 9u) << line;
        uint64_t bits = std::stoull(f[0], nullptr, 16);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        // A value rounded to zero shows no sign here (see DeliberateDifferences).
        std::string picture = f[2];
        if (picture.find_first_of("123456789") == std::string::npos && picture[0] == '-')
            picture.erase(0, 1);
        EXPECT_EQ(FloatToStr(d), f[1]) << f[0];
        EXPECT_EQ(FormatFloat("#,##0.00", d), picture) << f[0];
        EXPECT_EQ(FloatToStrF(d, ffFixed, 15, 2), f[3]) << f[0];
        EXPECT_EQ(FloatToStrF(d, ffExponent, 6, 2), f[4]) << f[0];
        EXPECT_EQ(Format("%.3f", {d}), f[5]) << f[0];
        EXPECT_EQ(FormatFloat("0.###E+00", d), f[6]) << f[0];
        EXPECT_EQ(FloatToStrF(d, ffGeneral, 7, 0), f[7]) << f[0];
        EXPECT_EQ(FloatToStrF(d, ffNumber, 15, 1), f[8]) << f[0];
        ++rows;
    }
    EXPECT_GT(rows, 0);
}
