#include "qzLib.h"

#include "DB.h"
#include "TestSupport.h"

namespace {

std::string Hex(const std::string& s)
{
    static const char* d = "0123456789abcdef";
    std::string r;
    for (unsigned char c : s) {
        if (!r.empty()) r += ' ';
        r += d[c >> 4];
        r += d[c & 15];
    }
    return r;
}

}  // namespace

TEST(QzLibScramble, KnownVectors)
{
    struct Case { std::string In, OutHex; };
    const Case cases[] = {
        {"password", "77 64 7b 7b 7f 6b 75 64"},
        {"sa", "74 64"},
        {"1234567890ab", Hex("67;<=20893fg")},
        {Utf8ToGbk("密码"), "c4 d9 ca e3"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string out = qzLib::Scramble(c.In);
        EXPECT_EQ(Hex(out), c.OutHex) << c.In;
        EXPECT_EQ(out.size(), c.In.size());
        EXPECT_EQ(qzLib::Scramble(out), c.In) << "scrambling twice gives the input back";
    }
}

TEST(QzLibScramble, KeyRepeatsEveryTenBytes)
{
    // Only the low four bits change; the eleventh byte takes the same key
    // value as the first.
    const std::string zeros(21, '\x40');
    const std::string s = qzLib::Scramble(zeros);
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(s[i], s[i + 10]) << i;
    for (unsigned char c : s) EXPECT_EQ(c & 0xF0, 0x40);
}

TEST(QzLibBoxes, ShowInfoFramesTheText)
{
    THostRecorder rec;
    qzLib::ShowInfo("你好");
    auto calls = rec.Host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Text, "\r\n你好\t");
    EXPECT_EQ(calls[0].Caption, "信息");
    EXPECT_EQ(calls[0].Flags & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(calls[0].Flags & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST(QzLibBoxes, ConfirmDeleteNamesTheRecordAndAnswersOkOnly)
{
    THostRecorder rec;
    rec.Host->QueueMessageBox(IDOK);
    rec.Host->QueueMessageBox(IDCANCEL);
    EXPECT_TRUE(qzLib::ConfirmDelete("张三"));
    EXPECT_FALSE(qzLib::ConfirmDelete(""));
    auto calls = rec.Host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Text, "\r您确定要删除 张三 吗?\t\t");
    EXPECT_EQ(calls[1].Text, "\r您确定要删除 当前记录 吗?\t\t");
    EXPECT_EQ(calls[0].Caption, "警告");
    EXPECT_EQ(calls[0].Flags & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(calls[0].Flags & MB_ICONMASK, MB_ICONWARNING);
}

TEST(QzLibDates, MonthBoundsFollowTheClock)
{
    struct Case { TDateTime Now; TDateTime First, Last; };
    const Case cases[] = {
        {EncodeDateTime(2008, 2, 14, 15, 30, 0, 0), EncodeDate(2008, 2, 1), EncodeDate(2008, 2, 29)},
        {EncodeDateTime(2007, 2, 1, 0, 0, 0, 0), EncodeDate(2007, 2, 1), EncodeDate(2007, 2, 28)},
        {EncodeDateTime(2013, 12, 31, 23, 59, 59, 0), EncodeDate(2013, 12, 1), EncodeDate(2013, 12, 31)},
    };
    for (const Case& c : cases) {
        auto clock = std::make_shared<TFixedClock>(c.Now);
        auto prev = SetClock(clock);
        EXPECT_EQ(qzLib::FirstDayOfMonth(), c.First);
        EXPECT_EQ(qzLib::LastDayOfMonth(), c.Last);
        SetClock(prev);
    }
}

TEST(QzLibCheckActive, ClosedSetIsReported)
{
    THostRecorder rec;
    TDataSet ds;
    EXPECT_FALSE(qzLib::CheckActive(&ds));
    EXPECT_FALSE(qzLib::CheckActive(nullptr));
    ASSERT_EQ(rec.Messages().size(), 2u);
    EXPECT_EQ(rec.Messages()[0], "\r\n\r\n系统提示：请先打开数据集再操作.\t");
    ds.FieldDefs()->Add("A", ftInteger);
    ds.CreateDataSet();
    EXPECT_TRUE(qzLib::CheckActive(&ds));
    EXPECT_EQ(rec.Messages().size(), 2u);
}

TEST(QzLibSqlText, DoublesSingleQuotes)
{
    EXPECT_EQ(qzLib::SqlText("O'Brien"), "O''Brien");
    EXPECT_EQ(qzLib::SqlText("'; drop table students; --"), "''; drop table students; --");
    EXPECT_EQ(qzLib::SqlText("张三"), "张三");
}
