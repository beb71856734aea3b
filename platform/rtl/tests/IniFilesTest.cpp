// INI files: the platform's rules (case-insensitive names, first match wins,
// ';' comments, any line end), byte-exact values, GBK on disk, raw access,
// write-through and broken files.
#include "IniFiles.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qz-ini-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = std::string(tmpl) + "/";
        File = Dir + "cfg.ini";
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    void Write(const std::string& bytes) { std::ofstream(File, std::ios::binary) << bytes; }
    std::string Read()
    {
        std::ifstream f(File, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    std::string Dir, File;
};

TEST_F(IniTest, ReadsThePlatformsRules)
{
    Write("; leading comment\n"
          "[DB]\r\n"
          "Server=srv1\r\n"
          "  Port = 1433\n"
          "server=second\r"
          ";Server=commented\n"
          "noequals\n"
          "Empty=\n"
          "[db]\n"
          "Server=other section\n"
          "[Login]\n"
          "LastId=7\n");
    TIniFile ini(File);
    EXPECT_EQ(ini.ReadString("db", "SERVER", "x"), "srv1");          // names ignore case, first wins
    EXPECT_EQ(ini.ReadString("DB", "Port", "x"), " 1433");           // value as it stands
    EXPECT_EQ(ini.ReadInteger("db", "port", 0), 1433);
    EXPECT_EQ(ini.ReadString("DB", "Empty", "x"), "");                // present but empty
    EXPECT_EQ(ini.ReadString("DB", "noequals", "def"), "def");
    EXPECT_EQ(ini.ReadString("DB", ";Server", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nope", "Server", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("login", "lastid", 0), 7);
    EXPECT_TRUE(ini.SectionExists("LOGIN"));
    EXPECT_FALSE(ini.SectionExists("publish"));
    EXPECT_TRUE(ini.ValueExists("db", "empty"));
    EXPECT_FALSE(ini.ValueExists("db", "missing"));

    TStringList keys;
    ini.ReadSection("db", keys);
    EXPECT_EQ(keys.Text(), "Server\r\nPort\r\nEmpty\r\n");   // duplicates once, file order
    ini.ReadSections(keys);
    EXPECT_EQ(keys.Text(), "DB\r\nLogin\r\n");
    ini.ReadSectionValues("db", keys);
    EXPECT_EQ(keys.Count(), 4);
    EXPECT_EQ(keys[1], "Port= 1433");
}

TEST_F(IniTest, ScrambledValuesRoundTripByteForByte)
{
    // Values that begin or end with blanks or quotes, and arbitrary bytes
    // other than CR, LF and NUL, read back exactly as written.
    std::string odd;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') odd += char(b);
    const std::string values[] = {" lead", "trail  ", "\"quoted\"", "'single'", "=eq=", ";semi",
                                  "[x]", "\t", "", "\xFF\x80\x81", odd};
    {
        TIniFile ini(File);
        int i = 0;
        for (const auto& v : values) ini.WriteStringRaw("db", "K" + std::to_string(i++), v);
    }
    TIniFile again(File);
    int i = 0;
    for (const auto& v : values) EXPECT_EQ(again.ReadStringRaw("db", "K" + std::to_string(i++), "?"), v) << i;
    TMemIniFile mem(File);
    EXPECT_EQ(mem.ReadStringRaw("db", "K0", "?"), " lead");
    EXPECT_EQ(mem.ReadStringRaw("db", "K10", "?"), odd);
}

TEST_F(IniTest, TextIsGbkOnDisk)
{
    {
        TIniFile ini(File);
        ini.WriteString("公司", "名称", "恒岳驾校");
    }
    EXPECT_EQ(Read(), Utf8ToGbk("[公司]\r\n名称=恒岳驾校\r\n"));
    TIniFile ini(File);
    EXPECT_EQ(ini.ReadString("公司", "名称", ""), "恒岳驾校");
    EXPECT_EQ(ini.ReadStringRaw("公司", "名称", ""), Utf8ToGbk("恒岳驾校"));
}

TEST_F(IniTest, NameFoldingDoesNotTouchGbkTrailBytes)
{
    // 丄 is 81 41 and 乤 is 81 61: the second bytes look like 'A' and 'a'.
    TIniFile ini(File);
    ini.WriteString("s", "丄", "one");
    ini.WriteString("s", "乤", "two");
    EXPECT_EQ(ini.ReadString("s", "丄", ""), "one");
    EXPECT_EQ(ini.ReadString("S", "乤", ""), "two");
    // 盷 (B1 5D) and 誡 (D5 5D) end in the byte of ']': still whole names.
    ini.WriteString("盷", "誡", "three");
    TIniFile again(File);
    EXPECT_EQ(again.ReadString("盷", "誡", ""), "three");
    EXPECT_TRUE(again.SectionExists("盷"));
    EXPECT_FALSE(again.SectionExists(GbkToUtf8("\xB1")));
}

TEST_F(IniTest, WritesKeepTheRestOfTheFile)
{
    Write("; settings\n[db]\nServer = old\n\n[Login]\nLastId=1\n");
    TIniFile ini(File);
    ini.WriteString("DB", "server", "new");   // keeps the key as written
    ini.WriteString("db", "Port", "1433");    // after the last line of the section
    ini.WriteInteger("publish", "Kind", 2);   // new section at the end
    EXPECT_EQ(Read(),
              "; settings\r\n[db]\r\nServer =new\r\nPort=1433\r\n\r\n[Login]\r\nLastId=1\r\n"
              "[publish]\r\nKind=2\r\n");
    ini.DeleteKey("db", "port");
    ini.EraseSection("LOGIN");
    EXPECT_EQ(Read(), "; settings\r\n[db]\r\nServer =new\r\n\r\n[publish]\r\nKind=2\r\n");
    ini.DeleteKey("nope", "x");   // nothing to do
    ini.EraseSection("nope");
}

TEST_F(IniTest, IniFileSeesOtherWritersAndWritesThrough)
{
    TIniFile a(File), b(File);
    a.WriteString("s", "k", "1");
    EXPECT_EQ(b.ReadString("s", "k", ""), "1");
    b.WriteString("s", "k", "2");
    EXPECT_EQ(a.ReadString("s", "k", ""), "2");
    Write("[s]\nk=3\n");   // replaced behind their backs
    EXPECT_EQ(a.ReadString("s", "k", ""), "3");
}

TEST_F(IniTest, MemIniFileWritesOnlyOnUpdate)
{
    Write("[s]\nk=1\n");
    TMemIniFile mem(File);
    mem.WriteString("s", "k", "2");
    mem.WriteBool("s", "flag", true);
    EXPECT_EQ(Read(), "[s]\nk=1\n");
    mem.UpdateFile();
    EXPECT_EQ(Read(), "[s]\r\nk=2\r\nflag=1\r\n");

    TStringList lines;
    mem.GetStrings(lines);
    EXPECT_EQ(lines.Text(), "[s]\r\nk=2\r\nflag=1\r\n");
    lines.SetStrings({"[a]", "x=1"});
    mem.SetStrings(lines);
    EXPECT_FALSE(mem.SectionExists("s"));
    EXPECT_EQ(mem.ReadInteger("a", "x", 0), 1);
}

TEST_F(IniTest, NumbersAndBooleans)
{
    Write("[n]\na=42\nb=0x1F\nc=$ff\nd=-7\ne=12abc\nf=\ng=$FFFFFFFF\nh=99999999999\n"
          "t=1\nz=0\nw=yes\nx= 3.5\ny=1e3\nbad=1,5\nk=-$80000000\nm=-$FFFFFFFF\n"
          "lo=-2147483648\nlo1=-2147483649\nsp= 12 \n");
    TIniFile ini(File);
    struct Case { const char* key; int expected; } ints[] = {
        {"a", 42}, {"b", 31}, {"c", 255}, {"d", -7}, {"e", -1}, {"f", -1}, {"g", -1}, {"h", -1}, {"none", -1},
        // The negated smallest integer is out of range like any other value.
        {"k", -1}, {"m", 1}, {"lo", -2147483647 - 1}, {"lo1", -1}, {"sp", 12},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger("n", c.key, -1), c.expected) << c.key;
    EXPECT_TRUE(ini.ReadBool("n", "t", false));
    EXPECT_FALSE(ini.ReadBool("n", "z", true));
    EXPECT_TRUE(ini.ReadBool("n", "w", true));    // not a number: the default
    EXPECT_FALSE(ini.ReadBool("n", "w", false));
    EXPECT_TRUE(ini.ReadBool("n", "a", false));   // any non-zero number
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "x", 0), 3.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "y", 0), 1000);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "bad", -2), -2);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "none", -3), -3);
    ini.WriteFloat("n", "x", 0.1);
    EXPECT_EQ(ini.ReadString("n", "x", ""), "0.1");
    ini.WriteInteger("n", "a", -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("n", "a", 0), -2147483647 - 1);
}

TEST_F(IniTest, DatesInTheProgramsFormats)
{
    TFormatSettings saved = FormatSettings;
    ApplyProgramDateFormats();
    Write("[d]\nday=2026-03-01\nstamp=2026-03-01 08:30:00\nbad=2026-02-30\nt=08:30:00\n");
    TIniFile ini(File);
    EXPECT_DOUBLE_EQ(ini.ReadDate("d", "day", 0), EncodeDate(2026, 3, 1));
    EXPECT_DOUBLE_EQ(ini.ReadDateTime("d", "stamp", 0), EncodeDate(2026, 3, 1) + EncodeTime(8, 30, 0, 0));
    EXPECT_DOUBLE_EQ(ini.ReadTime("d", "t", 0), EncodeTime(8, 30, 0, 0));
    EXPECT_DOUBLE_EQ(ini.ReadDate("d", "bad", -1), -1);
    EXPECT_DOUBLE_EQ(ini.ReadDate("d", "none", -1), -1);
    ini.WriteDate("d", "w", EncodeDate(2025, 12, 31));
    EXPECT_EQ(ini.ReadString("d", "w", ""), "2025-12-31");
    ini.WriteDateTime("d", "w", EncodeDate(2025, 12, 31) + EncodeTime(23, 59, 58, 0));
    EXPECT_EQ(ini.ReadString("d", "w", ""), "2025-12-31 23:59:58");
    FormatSettings = saved;
}

TEST_F(IniTest, RefusesWhatALineCannotHold)
{
    TIniFile ini(File);
    ini.WriteString("s", "k", "kept");
    std::string before = Read();
    EXPECT_THROW(ini.WriteString("s", "k", "two\r\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteStringRaw("s", "k", std::string("a\0b", 3)), EIniFileException);
    EXPECT_THROW(ini.WriteString("s", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("s", "", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("a]b", "k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("", "k", "v"), EIniFileException);
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(ini.ReadString("s", "k", ""), "kept");
}

TEST_F(IniTest, UnwritableFileRaisesAndLeavesNoDebris)
{
    TIniFile ini(Dir + "missing-folder/cfg.ini");
    try {
        ini.WriteString("s", "k", "v");
        FAIL() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + Dir + "missing-folder/cfg.ini");
    }
    EXPECT_FALSE(DirectoryExists(Dir + "missing-folder"));
    // The failed change is not kept in memory either.
    EXPECT_EQ(ini.ReadString("s", "k", "def"), "def");
    EXPECT_FALSE(ini.SectionExists("s"));
}

TEST_F(IniTest, BrokenFilesReadWithoutCrashing)
{
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += char((i * 7919) % 256);
    std::string huge(2 * 1024 * 1024, 'x');
    Write("[unclosed\nk=1\n" + junk + "\n[ok]\nbig=" + huge + "\n[]\n=novalue\n[\n");
    TIniFile ini(File);
    EXPECT_EQ(ini.ReadString("unclosed", "k", ""), "1");   // a missing ']' still names the section
    EXPECT_EQ(ini.ReadStringRaw("ok", "big", "").size(), huge.size());
    ini.ReadSections(*std::make_unique<TStringList>());
    // The file stays usable for writing.
    ini.WriteString("ok", "small", "v");
    TIniFile again(File);
    EXPECT_EQ(again.ReadString("ok", "small", ""), "v");
    EXPECT_EQ(again.ReadStringRaw("ok", "big", "").size(), huge.size());
}

TEST_F(IniTest, BackslashNamesReachTheSameFile)
{
    // The program names its file as folder + "\\cfg.ini".
    TIniFile ini(ExcludeTrailingPathDelimiter(Dir) + "\\cfg.ini");
    ini.WriteString("Login", "LastLoginId", "3");
    EXPECT_EQ(Read(), "[Login]\r\nLastLoginId=3\r\n");
    EXPECT_EQ(ini.ReadString("login", "lastloginid", ""), "3");
}

TEST_F(IniTest, MissingFileReadsAsEmpty)
{
    TIniFile ini(Dir + "none.ini");
    EXPECT_EQ(ini.ReadString("s", "k", "def"), "def");
    EXPECT_FALSE(ini.SectionExists("s"));
    TStringList l;
    ini.ReadSections(l);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_FALSE(FileExists(Dir + "none.ini"));   // reading creates nothing
}

} // namespace
