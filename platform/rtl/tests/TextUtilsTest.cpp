// Text routines. Expected values of the string and path routines come from
// golden/textroutines.pas (printed by an independent implementation); GBK
// bytes are those of the code page's published table.
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b) s += char(c);
    return s;
}

// ---- GBK ------------------------------------------------------------------------

TEST(Gbk, ConvertsBothWays)
{
    struct Case { const char* utf8; std::string gbk; } cases[] = {
        {"", ""},
        {"abc 123", "abc 123"},
        {"恒岳驾校", Bytes({0xBA, 0xE3, 0xD4, 0xC0, 0xBC, 0xDD, 0xD0, 0xA3})},
        {"€", Bytes({0x80})},
        {"·—", Bytes({0xA1, 0xA4, 0xA1, 0xAA})},
        {"丄乤", Bytes({0x81, 0x41, 0x81, 0x61})},   // trail bytes that look like letters
        {"ｚαя", Bytes({0xA3, 0xFA, 0xA6, 0xC1, 0xA7, 0xF1})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
        EXPECT_EQ(GbkLength(c.utf8), int(c.gbk.size())) << c.utf8;
        EXPECT_TRUE(IsValidGbk(c.gbk));
    }
    EXPECT_EQ(Utf8ToGbk(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Gbk, WhatGbkCannotHoldBecomesQuestionMark)
{
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToGbk("Ā"), "?");                 // U+0100 is not in the code page
    EXPECT_EQ(GbkLength("a😀b"), 3);                // counted as its 8-bit form
    // Broken UTF-8 does not crash and each bad byte stands as one '?'.
    EXPECT_EQ(Utf8ToGbk("x\xE6\xB1y"), "x??y");
    EXPECT_EQ(Utf8ToGbk("\xC0\xAF"), "??");          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // a surrogate
    EXPECT_TRUE(IsValidUtf8("恒岳"));
}

TEST(Gbk, InvalidGbkBytesDoNotSwallowTheirNeighbours)
{
    // A lone lead byte at the end, a lead followed by ASCII, and 0xFF.
    EXPECT_EQ(GbkToUtf8(Bytes({'a', 0xBA})), "a?");
    EXPECT_EQ(GbkToUtf8(Bytes({0xBA, 0x0A, 'b'})), "?\nb");
    EXPECT_EQ(GbkToUtf8(Bytes({0xFF, 'z'})), "?z");
    EXPECT_FALSE(IsValidGbk(Bytes({0xBA})));
    EXPECT_FALSE(IsValidGbk(Bytes({0xFF})));
}

TEST(Gbk, ByteLengthDecidesFieldLimits)
{
    EXPECT_EQ(GbkLength("恒岳驾校"), 8);
    EXPECT_EQ(GbkLength("恒岳驾a"), 7);
    EXPECT_EQ(Length("恒岳驾校"), 4);
}

TEST(Gbk, TruncationNeverSplitsACharacter)
{
    struct Case { const char* s; int max; const char* expected; } cases[] = {
        {"恒岳驾校", 8, "恒岳驾校"},
        {"恒岳驾校", 7, "恒岳驾"},
        {"a恒岳", 2, "a"},
        {"a恒岳", 3, "a恒"},
        {"abc", 0, ""},
        {"abc", -1, ""},
        {"abc", 10, "abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(GbkTruncate(c.s, c.max), c.expected) << c.s << " " << c.max;
    // A window starting inside a character skips it.
    EXPECT_EQ(GbkCopy("恒岳驾校", 2, 4), "岳");
    EXPECT_EQ(GbkCopy("恒岳驾校", 3, 4), "岳驾");
    EXPECT_EQ(GbkCopy("ab恒", 0, 2), "ab");
}

TEST(Gbk, ByteTypeWalksFromTheStart)
{
    // "a恒b" is 61 BA E3 62 in GBK; "驾A" has the trail byte 0x41 ('A'
    // as an ASCII byte) after a lead byte.
    std::string gbk = Utf8ToGbk("a恒b");
    ASSERT_EQ(gbk, "a\xBA\xE3" "b");
    std::string trailA = "\x81\x41\x41";
    struct Case {
        const std::string* Text;
        int Index;
        TMbcsByteType Expected;
    } cases[] = {
        {&gbk, 1, mbSingleByte},    {&gbk, 2, mbLeadByte},   {&gbk, 3, mbTrailByte},
        {&gbk, 4, mbSingleByte},    {&trailA, 1, mbLeadByte}, {&trailA, 2, mbTrailByte},
        {&trailA, 3, mbSingleByte},
        // Outside the text.
        {&gbk, 0, mbSingleByte},    {&gbk, 5, mbSingleByte}, {&gbk, -7, mbSingleByte},
    };
    for (const Case& c : cases) EXPECT_EQ(ByteType(*c.Text, c.Index), c.Expected) << c.Index;

    // Runs of lead bytes pair up from the start; a lead byte at the very
    // end stays a lead byte.
    const std::string run = "\xB0\xB0\xB0";
    EXPECT_EQ(ByteType(run, 1), mbLeadByte);
    EXPECT_EQ(ByteType(run, 2), mbTrailByte);
    EXPECT_EQ(ByteType(run, 3), mbLeadByte);
    EXPECT_TRUE(IsGbkLeadByte(0x81));
    EXPECT_TRUE(IsGbkLeadByte(0xFE));
    EXPECT_FALSE(IsGbkLeadByte(0x80));
    EXPECT_FALSE(IsGbkLeadByte(0xFF));
}

TEST(Utf16, RoundTripsIncludingSurrogatePairs)
{
    std::string s = "a恒😀";
    std::u16string w = Utf8ToUtf16(s);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[1], u'恒');
    EXPECT_EQ(w[2], 0xD83D);
    EXPECT_EQ(Utf16ToUtf8(w), s);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// ---- comparison --------------------------------------------------------------------

TEST(Compare, ChineseSortsInGbkOrder)
{
    // GBK order: pinyin for the common characters (a, ba, li, wang, zhang).
    // '€' is the single byte 0x80 and so before every two-byte character.
    const char* ordered[] = {"", "Z", "a", "€", "阿", "八", "李", "王", "张", "张三"};
    for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_LT(AnsiCompareStr(ordered[i], ordered[i + 1]), 0) << ordered[i] << " " << ordered[i + 1];
        EXPECT_GT(CompareStr(ordered[i + 1], ordered[i]), 0);
    }
    // In UTF-8 byte order 张 (E5 BC A0) would precede 李 (E6 9D 8E); GBK says otherwise.
    EXPECT_GT(AnsiCompareStr("张", "李"), 0);
}

TEST(Compare, CaseFoldingTouchesAsciiOnly)
{
    struct Case { const char* a; const char* b; int sign; } cases[] = {
        {"abc", "ABC", 0},
        {"abc", "ABD", -1},
        {"a_", "aZ", 1},         // folded to upper case, as the class library does
        {"丄", "乤", -1},          // trail bytes 'A'/'a' are not letters
        {"ｚ", "Ｚ", 1},          // full-width letters are not folded
        {"张A", "张a", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiCompareText(c.a, c.b), c.sign) << c.a << " " << c.b;
        EXPECT_EQ(AnsiSameText(c.a, c.b), c.sign == 0) << c.a << " " << c.b;
        int ct = CompareText(c.a, c.b);
        EXPECT_EQ(ct < 0 ? -1 : ct > 0 ? 1 : 0, c.sign) << c.a << " " << c.b;
    }
    EXPECT_FALSE(AnsiSameStr("abc", "ABC"));
    EXPECT_TRUE(SameText("Hello", "hELLO"));
}

TEST(Compare, CharactersOutsideGbkStayDistinct)
{
    // Both would be '?' in GBK; a sort with duplicates ignored must not merge them.
    EXPECT_NE(AnsiCompareStr("😀", "😁"), 0);
    EXPECT_LT(AnsiCompareStr("😀", "😁"), 0);
    EXPECT_GT(AnsiCompareStr("😀", "齄"), 0);   // after every GBK character
    EXPECT_NE(AnsiCompareStr("\xFF", "\xFE"), 0);
}

// ---- case ------------------------------------------------------------------------------

TEST(Case, UpperAndLower)
{
    EXPECT_EQ(UpperCase("abc恒xyzé"), "ABC恒XYZé");
    EXPECT_EQ(LowerCase("ABC恒XYZ"), "abc恒xyz");
    EXPECT_EQ(UpperCase("αｚ"), "αｚ");
    EXPECT_EQ(AnsiUpperCase("abc恒岳αβяё ｚ"), "ABC恒岳ΑΒЯЁ Ｚ");
    EXPECT_EQ(AnsiLowerCase("ABC恒岳ΑΒЯЁ Ｚ"), "abc恒岳αβяё ｚ");
    EXPECT_EQ(AnsiUpperCase("ς"), "ς");
    EXPECT_EQ(AnsiUpperCase("a\xFFz"), "A\xFFZ");   // stray bytes kept
}

// ---- trimming, replacing, quoting --------------------------------------------------------

TEST(Trim, RemovesControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("\x01 a "), "a ");
    EXPECT_EQ(TrimRight(std::string(" a \0", 4)), " a");
    EXPECT_EQ(Trim("　恒　"), "　恒　");   // the ideographic space is not a blank here
    EXPECT_EQ(Trim("   "), "");
}

TEST(StringReplace, Flags)
{
    struct Case { const char* s; const char* from; const char* to; TReplaceFlags flags; const char* expected; } cases[] = {
        {"aXbxcX", "x", "-", {rfReplaceAll, rfIgnoreCase}, "a-b-c-"},
        {"aXbxcX", "x", "-", {}, "aXb-cX"},
        {"aXbxcX", "x", "-", {rfIgnoreCase}, "a-bxcX"},
        {"aaaa", "aa", "b", {rfReplaceAll}, "bb"},
        {"abc", "", "z", {rfReplaceAll}, "abc"},
        {"恒岳驾校恒岳", "恒岳", "HY", {rfReplaceAll}, "HY驾校HY"},
        {"张三ABC", "abc", "甲", {rfIgnoreCase}, "张三甲"},
        {"ЯЯя", "я", "x", {rfReplaceAll, rfIgnoreCase}, "xxx"},
    };
    for (const auto& c : cases) EXPECT_EQ(StringReplace(c.s, c.from, c.to, c.flags), c.expected) << c.s;
}

TEST(StringReplace, MatchesOnlyOnCharacterBoundaries)
{
    // "岳" is E5 B2 B3; the two bytes "\xB2\xB3" alone must not match inside it.
    EXPECT_EQ(StringReplace("岳", "\xB2\xB3", "x", {rfReplaceAll}), "岳");
}

TEST(Quotes, QuoteAndDequote)
{
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
    struct Case { const char* s; const char* expected; } cases[] = {
        {"'abc'", "abc"}, {"'a''b'", "a'b"}, {"''", ""}, {"'abc", "abc"},
        {"abc'", "abc'"}, {"'a'b", "a"}, {"abc", "abc"}, {"", ""}, {"'", ""},
        {"'恒''岳'", "恒'岳"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiDequotedStr(c.s, '\''), c.expected) << c.s;
        EXPECT_EQ(DequotedStr(c.s), c.expected) << c.s;
    }
}

TEST(Quotes, ExtractLeavesTheRest)
{
    std::string src = "'ab''c'rest";
    EXPECT_EQ(AnsiExtractQuotedStr(src, '\''), "ab'c");
    EXPECT_EQ(src, "rest");
    src = "\"x\"\"y\"z";
    EXPECT_EQ(AnsiExtractQuotedStr(src, '"'), "x\"y");
    EXPECT_EQ(src, "z");
    src = "'abc";
    EXPECT_EQ(AnsiExtractQuotedStr(src, '\''), "abc");
    EXPECT_EQ(src, "");
    // Not quoted: nothing taken. (The independent implementation returns the
    // whole text here; the class library the program was written against
    // returns nothing, and that is what callers expect.)
    src = "abc'";
    EXPECT_EQ(AnsiExtractQuotedStr(src, '\''), "");
    EXPECT_EQ(src, "abc'");
}

// ---- character-counted routines ----------------------------------------------------------

TEST(CharRoutines, PosAndCopyCountCharacters)
{
    EXPECT_EQ(Pos("驾", "恒岳驾校"), 3);
    EXPECT_EQ(AnsiPos("校", "恒岳驾校"), 4);
    EXPECT_EQ(Pos("x", "恒岳驾校"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos('=', "名称=值"), 3);
    EXPECT_EQ(PosEx("a", "abca", 2), 4);
    EXPECT_EQ(PosEx("a", "abca", 5), 0);
    EXPECT_EQ(PosEx("恒", "恒a恒", 2), 3);
    EXPECT_EQ(Pos("\xB2\xB3", "岳"), 0);   // no match inside a character

    struct Case { const char* s; int index, count; const char* expected; } cases[] = {
        {"abcdef", 0, 2, "ab"}, {"abcdef", 5, 10, "ef"}, {"abcdef", 7, 1, ""},
        {"abcdef", 2, 0, ""}, {"恒岳驾校", 2, 2, "岳驾"}, {"a恒b", 2, 1, "恒"},
    };
    for (const auto& c : cases) EXPECT_EQ(Copy(c.s, c.index, c.count), c.expected) << c.s << c.index;
    EXPECT_EQ(Copy("恒岳驾校", 3), "驾校");
}

TEST(CharRoutines, DeleteAndInsert)
{
    std::string s = "恒岳驾校";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "恒校");
    Delete(s, 5, 1);   // past the end: nothing
    EXPECT_EQ(s, "恒校");
    Delete(s, 0, 1);   // before the start: nothing
    EXPECT_EQ(s, "恒校");
    Insert("岳驾", s, 2);
    EXPECT_EQ(s, "恒岳驾校");
    Insert("!", s, 99);   // past the end appends
    EXPECT_EQ(s, "恒岳驾校!");
    DeleteStr(s, 5, 100);
    InsertStr(">", s, 1);
    EXPECT_EQ(s, ">恒岳驾校");
}

TEST(CharRoutines, SmallHelpers)
{
    EXPECT_EQ(StringOfChar('-', 3), "---");
    EXPECT_EQ(StringOfChar('-', -1), "");
    EXPECT_EQ(DupeString("ab", 3), "ababab");
    EXPECT_EQ(ReverseString("abc"), "cba");
    EXPECT_EQ(ReverseString("恒岳a"), "a岳恒");
    EXPECT_EQ(LeftStr("恒岳驾校", 2), "恒岳");
    EXPECT_EQ(RightStr("恒岳驾校", 2), "驾校");
    EXPECT_EQ(RightStr("abc", 5), "abc");
    EXPECT_EQ(MidStr("abcdef", 2, 3), "bcd");
    EXPECT_TRUE(StartsStr("恒", "恒岳"));
    EXPECT_FALSE(StartsStr("岳", "恒岳"));
    EXPECT_TRUE(EndsStr("岳", "恒岳"));
    EXPECT_TRUE(AnsiStartsText("SELECT", "select * from t"));
    EXPECT_TRUE(EndsText(".INI", "cfg.ini"));
    EXPECT_TRUE(ContainsText("Hello 张三", "LO 张"));
    EXPECT_FALSE(ContainsText("abc", "abd"));
    // Empty affixes (golden/textedges.pas): contained nowhere, yet every text starts with one.
    EXPECT_FALSE(ContainsText("abc", ""));
    EXPECT_FALSE(ContainsStr("abc", ""));
    EXPECT_TRUE(AnsiStartsText("", "abc"));
    EXPECT_TRUE(EndsText("", "abc"));
    EXPECT_EQ(LeftStr("abc", -1), "");
    EXPECT_EQ(RightStr("abc", 0), "");
    EXPECT_EQ(MidStr("abc", 0, 2), "ab");
    EXPECT_EQ(PosEx("a", "abc", 0), 0);
}

TEST(CharRoutines, IsValidIdent)
{
    struct Case { const char* s; bool dots; bool expected; } cases[] = {
        {"_a1", false, true}, {"1a", false, false}, {"a.b", false, false}, {"a.b", true, true},
        {"a..b", true, true}, {"a.", true, true}, {"", false, false}, {"恒", false, false},
        {"a b", false, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidIdent(c.s, c.dots), c.expected) << c.s;
}

TEST(CharRoutines, AdjustLineBreaks)
{
    EXPECT_EQ(AdjustLineBreaks("a\nb\rc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(AdjustLineBreaks("a\r\nb\r", tlbsLF), "a\nb\n");
}

// ---- paths -------------------------------------------------------------------------------

TEST(Paths, SplitAndJoin)
{
    struct Case { const char* name; const char* path; const char* dir; const char* file; const char* ext; } cases[] = {
        {"/a/b.txt", "/a/", "/a", "b.txt", ".txt"},
        {"b.txt", "", "", "b.txt", ".txt"},
        {"/b.txt", "/", "/", "b.txt", ".txt"},
        {"/a.d/b", "/a.d/", "/a.d", "b", ""},
        {"/a/b.tar.gz", "/a/", "/a", "b.tar.gz", ".gz"},
        {"C:\\data\\pemtal.mdb", "C:\\data\\", "C:\\data", "pemtal.mdb", ".mdb"},
        {"rpt\\sub/x.fr3", "rpt\\sub/", "rpt\\sub", "x.fr3", ".fr3"},
        // The independent implementation gives "" for a dot file; the class
        // library the program was written against gives ".ini".
        {"/a/.ini", "/a/", "/a", ".ini", ".ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ExtractFileDrive(c.name), "");
    }
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".x"), "/a.d/b.x");
    EXPECT_EQ(ChangeFileExt("/a/b.txt", ".x"), "/a/b.x");
    EXPECT_EQ(ChangeFileExt("/a/b.txt", ""), "/a/b");
    EXPECT_EQ(ChangeFileExt("d:\\r\\a.fr3", ".bak"), "d:\\r\\a.bak");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a\\"), "/a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "");
    EXPECT_EQ(SetDirSeparators("C:\\data\\x/y"), "C:/data/x/y");
    EXPECT_TRUE(IsPathDelimiter("a\\b", 2));
    EXPECT_FALSE(IsPathDelimiter("a\\b", 4));
}

TEST(Paths, ExpandFileName)
{
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("\\a\\b\\..\\c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/../.."), "/");
    EXPECT_EQ(ExpandFileName("x/y"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "x/y");
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qz-text-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = std::string(tmpl) + "/";
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name)
    {
        std::ifstream f(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    std::string Dir;
};

TEST_F(FilesTest, FoldersAndFiles)
{
    std::string deep = Dir + "a\\b/c";
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(Dir + "a/b/c"));
    EXPECT_TRUE(ForceDirectories(deep + "/"));   // already there
    EXPECT_FALSE(FileExists(Dir + "a"));          // a folder is not a file

    std::string f = Dir + "a/恒岳.txt";
    Write(f, "hello");
    EXPECT_TRUE(FileExists(f));
    EXPECT_EQ(FileSize(f), 5);
    EXPECT_FALSE(ForceDirectories(f + "/x"));    // a file is in the way

    EXPECT_TRUE(CopyFile(f, Dir + "copy.txt", true));
    EXPECT_EQ(Read(Dir + "copy.txt"), "hello");
    Write(f, "changed");
    EXPECT_FALSE(CopyFile(f, Dir + "copy.txt", true));   // refuses to overwrite
    EXPECT_EQ(Read(Dir + "copy.txt"), "hello");
    EXPECT_TRUE(CopyFile(f, Dir + "copy.txt", false));
    EXPECT_EQ(Read(Dir + "copy.txt"), "changed");
    EXPECT_FALSE(CopyFile(Dir + "missing", Dir + "x", false));
    EXPECT_FALSE(FileExists(Dir + "x"));

    EXPECT_FALSE(RenameFile(f, Dir + "copy.txt"));   // target exists
    EXPECT_TRUE(RenameFile(f, Dir + "moved.txt"));
    EXPECT_FALSE(FileExists(f));
    EXPECT_TRUE(DeleteFile(Dir + "moved.txt"));
    EXPECT_FALSE(DeleteFile(Dir + "moved.txt"));
    EXPECT_FALSE(DeleteFile(Dir + "a"));             // folders are not deleted as files

    EXPECT_FALSE(RemoveDir(Dir + "a"));              // not empty
    EXPECT_TRUE(RemoveDir(Dir + "a/b/c"));
    EXPECT_TRUE(CreateDir(Dir + "a/b/c"));
    EXPECT_FALSE(CreateDir(Dir + "a/b/c"));
    EXPECT_FALSE(CreateDir(Dir + "x/y"));            // no parent
}

TEST(Environment, ProgramAndUserFolders)
{
    std::string exe = ApplicationExeName();
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(ApplicationDir(), ExtractFilePath(exe));
    EXPECT_TRUE(EndsStr("tests", exe));   // the test program itself

    std::string saved = GetEnvironmentVariable("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/tmp/cfgbase", 1);
    EXPECT_EQ(UserConfigDir(), "/tmp/cfgbase/pemtal/");
    setenv("XDG_CONFIG_HOME", "relative", 1);   // ignored: only absolute paths count
    EXPECT_EQ(UserConfigDir(), IncludeTrailingPathDelimiter(GetEnvironmentVariable("HOME")) + ".config/pemtal/");
    if (saved.empty()) unsetenv("XDG_CONFIG_HOME");
    else setenv("XDG_CONFIG_HOME", saved.c_str(), 1);

    EXPECT_EQ(GetEnvironmentVariable("QZ_SURELY_UNSET_VARIABLE"), "");
    EXPECT_EQ(GetTempDir().back(), '/');
}

// Runs this test program again with chosen arguments; the child checks
// what ParamCount and ParamStr make of them (blanks, Chinese, an empty one).
TEST(Environment, ParamStrReadsTheArgumentsAsGiven)
{
    const char* filter = "--gtest_filter=Environment.ParamStrReadsTheArgumentsAsGiven";
    if (GetEnvironmentVariable("QZ_PARAMS_CHILD") == "1") {
        ASSERT_EQ(ParamCount(), 4);
        EXPECT_EQ(ParamStr(0), ApplicationExeName());
        EXPECT_EQ(ParamStr(1), filter);
        EXPECT_EQ(ParamStr(2), "学员 名单.xls");
        EXPECT_EQ(ParamStr(3), "");
        EXPECT_EQ(ParamStr(4), "-x=1");
        EXPECT_EQ(ParamStr(5), "");
        EXPECT_EQ(ParamStr(-1), "");
        return;
    }
    std::string exe = ApplicationExeName();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("QZ_PARAMS_CHILD", "1", 1);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) dup2(devnull, 1);
        execl(exe.c_str(), exe.c_str(), filter, "学员 名单.xls", "", "-x=1", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // In this process the range checks hold whatever the arguments are.
    EXPECT_EQ(ParamStr(0), ApplicationExeName());
    EXPECT_EQ(ParamStr(ParamCount() + 1), "");
    EXPECT_GE(ParamCount(), 0);
}

} // namespace
