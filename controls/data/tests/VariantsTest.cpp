#include "Streams.h"
#include "SysUtils.h"
#include "cxDataConsts.h"
#include "cxDataUtils.h"
#include "cxVariants.h"
#include "DateUtils.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace cxVariants;

namespace {

std::string Bytes(const Variant& v)
{
    TMemoryStream ms;
    WriteStreamVariant(&ms, v);
    return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
}

Variant FromBytes(const std::string& b)
{
    TMemoryStream ms;
    ms.WriteString(b);
    ms.SetPosition(0);
    return ReadStreamVariant(&ms);
}

std::string Hex(const std::string& s)
{
    std::string r;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        r += buf;
    }
    if (!r.empty()) r.pop_back();
    return r;
}

}  // namespace

TEST(cxVariants, VarCompareOrdersValues)
{
    struct Case {
        Variant a, b;
        int expected;
    } cases[] = {
        {Null(), Null(), 0},
        {Null(), Variant(0), -1},
        {Variant(0), Null(), 1},
        {Null(), Variant(""), -1},
        {Variant(2), Variant(10), -1},
        {Variant(2.5), Variant(2), 1},
        {Variant(Currency::FromRaw(25000)), Variant(2.5), 0},
        {Variant("abc"), Variant("abd"), -1},
        {Variant("B"), Variant("a"), -1},               // byte order: upper case first
        {Variant("张"), Variant("李"), 1},               // GBK order: zhang after li
        {Variant("a"), Variant("张"), -1},
        {Variant(int64_t(4294967296LL)), Variant(1), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(VarCompare(c.a, c.b), c.expected) << VarToStr(c.a) << " vs " << VarToStr(c.b);
}

TEST(cxVariants, TextMeetsDatesAndNumbersByItsValue)
{
    EXPECT_EQ(VarCompare(Variant("12"), Variant(5)), 1);
    EXPECT_EQ(VarCompare(Variant::FromDate(EncodeDate(2026, 1, 2)), Variant("2026-01-01")), 1);
    EXPECT_EQ(VarCompare(Variant("2026-01-02"), Variant::FromDate(EncodeDate(2026, 1, 2))), 0);
}

TEST(cxVariants, VarCompareOfUnorderablePairIsMinusOneBothWays)
{
    Variant text("abc"), number(5);
    EXPECT_EQ(VarCompare(text, number), -1);
    EXPECT_EQ(VarCompare(number, text), -1);
}

TEST(cxVariants, ArraysCompareByHighBoundThenElements)
{
    EXPECT_LT(VarCompare(VarArrayOf({1, 2}), VarArrayOf({1, 3})), 0);
    EXPECT_GT(VarCompare(VarArrayOf({1, 2, 3}), VarArrayOf({9, 9})), 0);
    EXPECT_EQ(VarCompare(VarArrayOf({1, 2}), VarArrayOf({1, 2})), 0);
    EXPECT_EQ(VarCompare(VarArrayOf({1}), Variant(100)), 1);
    EXPECT_EQ(VarCompare(Variant(100), VarArrayOf({1})), -1);
}

TEST(cxVariants, VarEqualsExMeetsBooleansAsText)
{
    EXPECT_TRUE(VarEqualsEx(Variant(true), Variant("True")));
    EXPECT_FALSE(VarEqualsEx(Variant(true), Variant(1)));
    EXPECT_TRUE(VarEqualsEx(Variant(3), Variant(3)));
    EXPECT_TRUE(VarEqualsEx(Null(), Null()));
}

TEST(cxVariants, IntegersTakeTheSmallestTag)
{
    struct Case {
        int value;
        std::string bytes;
    } cases[] = {
        {-128, "02 80"}, {127, "02 7F"}, {-129, "03 7F FF"}, {128, "03 80 00"}, {32767, "03 FF 7F"},
        {32768, "04 00 80 00 00"}, {-32769, "04 FF 7F FF FF"},
    };
    for (const auto& c : cases) EXPECT_EQ(Hex(Bytes(Variant(c.value))), c.bytes) << c.value;
    EXPECT_EQ(FromBytes(Bytes(Variant(100))).VType(), varShortInt);
    EXPECT_EQ(FromBytes(Bytes(Variant::FromByte(200))).VType(), varSmallint);
}

TEST(cxVariants, SimpleKindsHaveFixedBytes)
{
    EXPECT_EQ(Hex(Bytes(Null())), "00");
    EXPECT_EQ(Hex(Bytes(Unassigned())), "0D");
    EXPECT_EQ(Hex(Bytes(Variant(false))), "08");
    EXPECT_EQ(Hex(Bytes(Variant(true))), "09");
    EXPECT_EQ(Hex(Bytes(Variant("Wang"))), "06 04 57 61 6E 67");
    EXPECT_EQ(Hex(Bytes(Variant(Currency::FromRaw(12345)))), "10 39 30 00 00 00 00 00 00");
    EXPECT_EQ(Hex(Bytes(Variant::FromSingle(1.0f))), "0F 00 00 80 3F");
    // 1.0 as an 80-bit extended: mantissa 0x8000000000000000, exponent 0x3FFF.
    EXPECT_EQ(Hex(Bytes(Variant(1.0))), "05 00 00 00 00 00 00 00 80 FF 3F");
    EXPECT_EQ(Hex(Bytes(Variant::FromDate(2.5))), "11 00 00 00 00 00 00 04 40");
    EXPECT_EQ(Hex(Bytes(Variant::FromWide("Ab"))), "12 02 00 00 00 41 00 62 00");
    EXPECT_EQ(Hex(Bytes(VarArrayOf({1, "x"}))), "01 02 02 02 01 06 01 78");
}

TEST(cxVariants, StringsUseGbkBytesAndLengthPrefixBySize)
{
    EXPECT_EQ(Hex(Bytes(Variant("王"))), "06 02 CD F5");
    std::string s255(255, 'a'), s256(256, 'b');
    std::string b255 = Bytes(Variant(s255)), b256 = Bytes(Variant(s256));
    EXPECT_EQ(uint8_t(b255[0]), 6);
    EXPECT_EQ(uint8_t(b255[1]), 255);
    EXPECT_EQ(b255.size(), 257u);
    EXPECT_EQ(uint8_t(b256[0]), 12);
    EXPECT_EQ(Hex(b256.substr(1, 4)), "00 01 00 00");
    EXPECT_EQ(FromBytes(b256).AsString(), s256);
    EXPECT_EQ(FromBytes(Bytes(Variant("王"))).AsString(), "王");
}

TEST(cxVariants, ValuesRoundTrip)
{
    Variant d = FromBytes(Bytes(Variant(3.25)));
    EXPECT_EQ(d.VType(), varDouble);
    EXPECT_EQ(d.AsDouble(), 3.25);
    Variant i64 = FromBytes(Bytes(Variant::FromInt64(1234567890123LL)));
    EXPECT_EQ(i64.VType(), varString);
    EXPECT_EQ(i64.AsString(), "1234567890123");
    Variant arr = FromBytes(Bytes(VarArrayOf({Null(), 5, "z"})));
    ASSERT_TRUE(arr.IsArray());
    EXPECT_EQ(VarArrayLowBound(arr, 1), 0);
    EXPECT_EQ(VarArrayHighBound(arr, 1), 2);
    EXPECT_TRUE(VarArrayGet(arr, {0}).IsNull());
    EXPECT_EQ(VarArrayGet(arr, {2}).AsString(), "z");
    Variant wide = FromBytes(Bytes(Variant::FromWide("𝄞é")));
    EXPECT_EQ(wide.VType(), varOleStr);
    EXPECT_EQ(wide.AsString(), "𝄞é");
}

TEST(cxVariants, BadStreamsRaiseReadError)
{
    for (int tag : {7, 10, 11, 14, 19, 200}) {
        std::string b(1, char(tag));
        EXPECT_THROW(FromBytes(b), EReadError) << tag;
        try {
            FromBytes(b);
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
    }
    EXPECT_THROW(FromBytes(std::string("\x0C\xFF\xFF\x00\x00", 5)), EReadError);   // length past the end
    EXPECT_THROW(FromBytes(std::string("\x0C\xFF\xFF\xFF\xFF", 5)), EReadError);   // negative length
    EXPECT_THROW(FromBytes(std::string("\x04\x01", 2)), EReadError);               // truncated
    EXPECT_THROW(FromBytes(std::string("\x01\x04\xFF\xFF\xFF\x7F", 6)), EReadError);   // count past the end
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += std::string("\x01\x02\x01", 3);   // arrays of one array each
    EXPECT_THROW(FromBytes(deep + std::string(1, '\0')), EReadError);
}

TEST(cxVariants, ArraysNestRoundTripUpToTheLimitOnly)
{
    auto nested = [](int levels) {
        Variant v = 7;
        for (int i = 0; i < levels; ++i) v = VarArrayOf({v});
        return v;
    };
    Variant back = FromBytes(Bytes(nested(200)));
    for (int i = 0; i < 200; ++i) back = VarArrayGet(back, {0});
    EXPECT_EQ(back.AsInteger(), 7);
    TMemoryStream ms;
    EXPECT_THROW(WriteStreamVariant(&ms, nested(201)), EWriteError);
}

TEST(cxVariants, TwoDimensionalArrayRaisesWriteError)
{
    Variant a = VarArrayCreate({0, 1, 0, 1}, varVariant);
    TMemoryStream ms;
    EXPECT_THROW(WriteStreamVariant(&ms, a), EWriteError);
}

TEST(cxDataUtils, IsTextMatched)
{
    EXPECT_TRUE(cxDataUtils::IsTextMatched("Abc", "aB", true));
    EXPECT_FALSE(cxDataUtils::IsTextMatched("Abc", "aB", false));
    EXPECT_TRUE(cxDataUtils::IsTextMatched("abc", "ABC", false));
    EXPECT_TRUE(cxDataUtils::IsTextMatched("", "", true));
    EXPECT_FALSE(cxDataUtils::IsTextMatched("x", "", true));
    EXPECT_FALSE(cxDataUtils::IsTextMatched("a", "ab", true));
}

TEST(cxDataUtils, WeekStartFollowsTheLocale)
{
    TDateTime sunday = EncodeDate(2026, 12, 6);
    int saved = cxDataUtils::LocaleFirstDayOfWeek;
    cxDataUtils::LocaleFirstDayOfWeek = 0;   // Monday
    EXPECT_EQ(cxDataUtils::WeekStart(sunday + 0.5), EncodeDate(2026, 11, 30));
    cxDataUtils::LocaleFirstDayOfWeek = 6;   // Sunday
    EXPECT_EQ(cxDataUtils::WeekStart(sunday + 0.5), sunday);
    cxDataUtils::LocaleFirstDayOfWeek = saved;
}

TEST(cxDataUtils, CurrencyDisplayFormat)
{
    TFormatSettings saved = FormatSettings;
    FormatSettings.CurrencyDecimals = 2;
    FormatSettings.CurrencyString = "$";
    FormatSettings.CurrencyFormat = 0;
    EXPECT_EQ(cxDataUtils::CurrencyDisplayFormat(), "$,0.00");
    FormatSettings.CurrencyDecimals = 0;
    FormatSettings.CurrencyString = "kr.";
    FormatSettings.CurrencyFormat = 3;
    EXPECT_EQ(cxDataUtils::CurrencyDisplayFormat(), ",0. kr'.'");
    FormatSettings = saved;
}

TEST(cxDataUtils, DataBindingCallsItsCallbacks)
{
    TcxDataBinding b(nullptr, nullptr);
    int shown = 0, stored = 0;
    b.OnShowValue = [&] { ++shown; };
    b.OnStoreValue = [&] { ++stored; };
    b.NotifyFirst();
    b.NotifyThird();
    b.NotifySecond();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(stored, 1);
    Variant v;
    b.GetDefaultValue(false, false, v);
    EXPECT_TRUE(v.IsNull());
    EXPECT_TRUE(b.AllowsEditing());
}

TEST(cxResStrings, ReplacementTableWins)
{
    EXPECT_EQ(cxClasses::GetResourceString(&cxSDataRowIndexError), "RowIndex out of range");
    cxClasses::SetResourceString(&cxSDataRowIndexError, "行号越界");
    EXPECT_EQ(cxClasses::GetResourceString(&cxSDataRowIndexError), "行号越界");
    cxClasses::ResetResourceString();
    EXPECT_EQ(cxClasses::GetResourceString(&cxSDataRowIndexError), "RowIndex out of range");
}
