#include "Exceptions.h"
#include "DiskFull.h"
#include "IniFiles.h"
#include "Streams.h"
#include "StringLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <iterator>
#include <limits>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Hex(const std::string& bytes)
{
    static const char* d = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : bytes) {
        if (!r.empty()) r += ' ';
        r += d[c >> 4];
        r += d[c & 15];
    }
    return r;
}

std::string Bytes(TMemoryStream& ms)
{
    return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
}

// A private folder for file tests, removed afterwards.
class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/qz-streams-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = tmpl;
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::string Path(const std::string& name) const { return Dir + "/" + name; }
    static std::string ReadAll(const std::string& path)
    {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    static void WriteAll(const std::string& path, const std::string& bytes)
    {
        std::ofstream f(path, std::ios::binary);
        f << bytes;
    }
    std::string Dir;
};

}  // namespace

// ---- typed reads and writes -------------------------------------------------

TEST(StreamTypedIO, WritesLittleEndianBytes)
{
    struct Case {
        const char* what;
        std::function<void(TStream&)> write;
        const char* hex;
    };
    const Case cases[] = {
        {"byte", [](TStream& s) { s.WriteByte(0xAB); }, "AB"},
        {"shortint", [](TStream& s) { s.WriteShortInt(-128); }, "80"},
        {"word", [](TStream& s) { s.WriteWord(0x1234); }, "34 12"},
        {"smallint", [](TStream& s) { s.WriteSmallInt(-129); }, "7F FF"},
        {"int32", [](TStream& s) { s.WriteInt32(-2); }, "FE FF FF FF"},
        {"cardinal", [](TStream& s) { s.WriteCardinal(0x80000001u); }, "01 00 00 80"},
        {"int64", [](TStream& s) { s.WriteInt64(0x0102030405060708LL); }, "08 07 06 05 04 03 02 01"},
        {"single", [](TStream& s) { s.WriteSingle(1.0f); }, "00 00 80 3F"},
        {"double", [](TStream& s) { s.WriteDouble(1.5); }, "00 00 00 00 00 00 F8 3F"},
        {"extended 1", [](TStream& s) { s.WriteExtended(1.0); }, "00 00 00 00 00 00 00 80 FF 3F"},
        {"extended -2.5", [](TStream& s) { s.WriteExtended(-2.5); }, "00 00 00 00 00 00 00 A0 00 C0"},
        {"extended 0", [](TStream& s) { s.WriteExtended(0.0); }, "00 00 00 00 00 00 00 00 00 00"},
        {"extended 0.1", [](TStream& s) { s.WriteExtended(0.1); }, "00 D0 CC CC CC CC CC CC FB 3F"},
        {"extended inf", [](TStream& s) { s.WriteExtended(INFINITY); }, "00 00 00 00 00 00 00 80 FF 7F"},
        {"raw string", [](TStream& s) { s.WriteString(std::string("a\0b", 3)); }, "61 00 62"},
    };
    for (const Case& c : cases) {
        TMemoryStream ms;
        c.write(ms);
        EXPECT_EQ(Hex(Bytes(ms)), c.hex) << c.what;
    }
}

TEST(StreamTypedIO, ReadsBackWhatWasWritten)
{
    TMemoryStream ms;
    ms.WriteByte(200);
    ms.WriteShortInt(-5);
    ms.WriteWord(65535);
    ms.WriteSmallInt(-32768);
    ms.WriteInt32(std::numeric_limits<int32_t>::min());
    ms.WriteCardinal(4000000000u);
    ms.WriteInt64(-1234567890123LL);
    ms.WriteSingle(-0.25f);
    ms.WriteDouble(3.141592653589793);
    const double extended[] = {1.0, -2.5, 0.1, 1e300, -1e-300, 4.9e-324, INFINITY, -INFINITY};
    for (double d : extended) ms.WriteExtended(d);
    ms.WriteExtended(NAN);
    ms.WriteString("尾巴");

    ms.SetPosition(0);
    EXPECT_EQ(ms.ReadByte(), 200);
    EXPECT_EQ(ms.ReadShortInt(), -5);
    EXPECT_EQ(ms.ReadWord(), 65535);
    EXPECT_EQ(ms.ReadSmallInt(), -32768);
    EXPECT_EQ(ms.ReadInt32(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ms.ReadCardinal(), 4000000000u);
    EXPECT_EQ(ms.ReadInt64(), -1234567890123LL);
    EXPECT_EQ(ms.ReadSingle(), -0.25f);
    EXPECT_EQ(ms.ReadDouble(), 3.141592653589793);
    for (double d : extended) EXPECT_EQ(ms.ReadExtended(), d);
    EXPECT_TRUE(std::isnan(ms.ReadExtended()));
    EXPECT_EQ(ms.ReadString(6), "尾巴");
    EXPECT_EQ(ms.Position(), ms.Size());
}

TEST(StreamTypedIO, ReadingPastTheEndRaisesReadError)
{
    TMemoryStream ms;
    ms.WriteWord(1);
    ms.WriteByte(2);
    ms.SetPosition(0);
    EXPECT_EQ(ms.ReadWord(), 1);
    try {
        ms.ReadInt32();
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    ms.SetPosition(0);
    EXPECT_THROW(ms.ReadString(4), EReadError);
    EXPECT_THROW(ms.ReadExtended(), EReadError);
    char buf[4];
    EXPECT_THROW(ms.ReadBuffer(buf, -1), EReadError);
    EXPECT_EQ(ms.Read(buf, -1), 0);
    EXPECT_EQ(ms.ReadString(0), "");
    ms.SetPosition(0);
    EXPECT_THROW(ms.ReadString(0x7FFFFFFF), EReadError) << "a damaged length fails, it does not allocate";
}

// ---- positioning -------------------------------------------------------------

TEST(StreamSeek, OriginsOldAndNew)
{
    struct Case {
        int64_t start, offset;
        int origin;   // word form; the enum form is checked alongside
        int64_t expected;
    };
    const Case cases[] = {
        {5, 3, soFromBeginning, 3}, {5, 3, soFromCurrent, 8}, {5, -2, soFromCurrent, 3},
        {5, 0, soFromEnd, 10},      {5, -4, soFromEnd, 6},     {5, 4, soFromEnd, 14},
    };
    for (const Case& c : cases) {
        TMemoryStream a, b;
        a.WriteString("0123456789");
        b.WriteString("0123456789");
        a.SetPosition(c.start);
        b.SetPosition(c.start);
        EXPECT_EQ(a.Seek(c.offset, c.origin), c.expected);
        EXPECT_EQ(b.Seek(c.offset, TSeekOrigin(c.origin)), c.expected);
        EXPECT_EQ(a.Position(), c.expected);
        EXPECT_EQ(a.Size(), 10) << "seeking never changes the size";
    }
    TMemoryStream ms;
    EXPECT_THROW(ms.Seek(0, 7), EStreamError);
}

TEST(StreamSeek, WritingPastTheEndFillsTheGapWithZeros)
{
    TMemoryStream ms;
    ms.WriteString("ab");
    ms.Seek(2, soFromEnd);
    ms.WriteByte('z');
    EXPECT_EQ(Hex(Bytes(ms)), "61 62 00 00 7A");
    char c;
    ms.SetPosition(100);
    EXPECT_EQ(ms.Read(&c, 1), 0);
    ms.SetPosition(-1);
    EXPECT_THROW(ms.WriteByte(1), EWriteError);
    EXPECT_EQ(ms.Size(), 5);
}

TEST(StreamSeek, PositionsBeyondWhatMemoryHoldsRaiseAndKeepTheData)
{
    // A damaged offset can send a stream to the far end of 64 bits; the sum
    // must not wrap and the write must fail cleanly with the data intact.
    const int64_t top = std::numeric_limits<int64_t>::max();
    TMemoryStream ms;
    ms.WriteString("abc");
    EXPECT_EQ(ms.Seek(top - 1, soBeginning), top - 1);
    EXPECT_EQ(ms.Seek(top, soCurrent), top);
    EXPECT_EQ(ms.Seek(std::numeric_limits<int64_t>::min(), soCurrent), -1);
    ms.SetPosition(top - 1);
    EXPECT_THROW(ms.WriteString("xy"), EOutOfMemory);
    EXPECT_THROW(ms.SetSize(top), EOutOfMemory);
    EXPECT_EQ(ms.Size(), 3);
    ms.SetPosition(0);
    EXPECT_EQ(ms.ReadString(3), "abc");

    TStringStream ss("abc");
    EXPECT_THROW(ss.SetSize(top), EOutOfMemory);
    EXPECT_EQ(ss.DataString(), "abc");
}

// ---- memory streams --------------------------------------------------------------

TEST(MemoryStream, SizeCapacityAndClear)
{
    TMemoryStream ms;
    EXPECT_EQ(ms.Memory(), nullptr);
    ms.SetSize(10);
    EXPECT_EQ(ms.Size(), 10);
    EXPECT_GE(ms.Capacity(), 10);
    EXPECT_EQ(Hex(Bytes(ms)), "00 00 00 00 00 00 00 00 00 00");
    ms.SetPosition(8);
    ms.SetSize(4);
    EXPECT_EQ(ms.Position(), 4) << "position follows a shrinking size";
    ms.SetCapacity(100000);
    EXPECT_EQ(ms.Capacity(), 100000);
    ms.SetCapacity(1);
    EXPECT_EQ(ms.Capacity(), 4) << "capacity never drops below the size";
    EXPECT_THROW(ms.SetSize(-1), EStreamError);
    ms.Clear();
    EXPECT_EQ(ms.Size(), 0);
    EXPECT_EQ(ms.Position(), 0);
    EXPECT_EQ(ms.Capacity(), 0);
}

TEST(MemoryStream, LoadFromStreamTakesTheWholeSourceAndSaveToStreamWritesAll)
{
    TStringStream src("hello world");
    src.SetPosition(6);
    TMemoryStream ms;
    ms.WriteString("old contents that are longer");
    ms.LoadFromStream(&src);
    EXPECT_EQ(Bytes(ms), "hello world");
    EXPECT_EQ(ms.Position(), 0);

    TStringStream dst(">");
    dst.Seek(0, soEnd);
    ms.SaveToStream(&dst);
    EXPECT_EQ(dst.DataString(), ">hello world");
}

TEST(MemoryStream, FailedLoadLeavesContentsAlone)
{
    // A source that claims more bytes than it delivers.
    class TShortStream : public TStringStream {
    public:
        using TStringStream::TStringStream;
        int64_t Size() override { return 100; }
    };
    TShortStream src("abc");
    TMemoryStream ms;
    ms.WriteString("keep");
    EXPECT_THROW(ms.LoadFromStream(&src), EReadError);
    EXPECT_EQ(Bytes(ms), "keep");
}

// ---- copying -------------------------------------------------------------------

TEST(StreamCopy, CountZeroCopiesTheWholeSourceFromItsStart)
{
    TStringStream src("0123456789");
    src.SetPosition(7);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(&src, 0), 10);
    EXPECT_EQ(Bytes(dst), "0123456789");
    EXPECT_EQ(src.Position(), 10);

    src.SetPosition(3);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(&src, 4), 4);
    EXPECT_EQ(Bytes(part), "3456");
    EXPECT_EQ(src.Position(), 7);

    EXPECT_THROW(part.CopyFrom(&src, 4), EReadError) << "only 3 bytes left";
    EXPECT_EQ(part.CopyFrom(&src, -1), 0);
}

TEST(StreamCopy, LargeCopiesGoThroughInPieces)
{
    TMemoryStream src;
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + i / 251);
    src.WriteString(big);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(&src, 0), 200000);
    EXPECT_EQ(Bytes(dst), big);
}

// ---- string streams ----------------------------------------------------------------

TEST(StringStream, ReadsWritesAndStaysInsideTheString)
{
    TStringStream ss("abcdef");
    EXPECT_EQ(ss.Size(), 6);
    EXPECT_EQ(ss.ReadString(4), "abcd");
    EXPECT_EQ(ss.ReadString(10), "ef") << "a short read at the end is no error";
    EXPECT_EQ(ss.ReadString(1), "");
    ss.SetPosition(2);
    ss.WriteString("XY");
    EXPECT_EQ(ss.DataString(), "abXYef") << "writing in the middle overwrites, keeps the rest";
    ss.WriteString("1234");
    EXPECT_EQ(ss.DataString(), "abXY1234");
    EXPECT_EQ(ss.Seek(100, soBeginning), 8);
    EXPECT_EQ(ss.Seek(-100, soCurrent), 0);
    ss.SetSize(3);
    EXPECT_EQ(ss.DataString(), "abX");
    // The typed reads of the base class still raise at the end.
    TStream& base = ss;
    base.SetPosition(2);
    EXPECT_THROW(base.ReadWord(), EReadError);
}

// ---- file streams -------------------------------------------------------------------

TEST_F(FileStreamTest, CreateWriteReopenAndRead)
{
    const std::string name = Path("data.bin");
    {
        TFileStream f(name, fmCreate);
        EXPECT_EQ(f.FileName(), name);
        f.WriteInt32(0x01020304);
        f.WriteString("学员");
        EXPECT_EQ(f.Size(), 10);
    }
    EXPECT_EQ(Hex(ReadAll(name)).substr(0, 11), "04 03 02 01");
    {
        TFileStream f(name, fmOpenReadWrite);
        EXPECT_EQ(f.ReadInt32(), 0x01020304);
        EXPECT_EQ(f.ReadString(6), "学员");
        f.Seek(0, soBeginning);
        f.WriteByte(0xFF);
        f.SetSize(2);
        EXPECT_EQ(f.Size(), 2);
    }
    EXPECT_EQ(Hex(ReadAll(name)), "FF 03");
    {
        TFileStream f(name, fmCreate);   // truncates
        EXPECT_EQ(f.Size(), 0);
    }
    EXPECT_EQ(ReadAll(name), "");
}

TEST_F(FileStreamTest, ReadOnlyStreamRefusesWrites)
{
    const std::string name = Path("ro.txt");
    WriteAll(name, "abc");
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.Write("x", 1), 0);
    EXPECT_THROW(f.WriteByte('x'), EWriteError);
    EXPECT_EQ(ReadAll(name), "abc");
}

TEST_F(FileStreamTest, OpenAndCreateErrorsNameTheFileAndTheReason)
{
    const std::string missing = Path("missing.dat");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
    }
    const std::string noDir = Path("no/such/dir.dat");
    try {
        TFileStream f(noDir, fmCreate);
        FAIL() << "created in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + noDir + "\". No such file or directory");
    }
    EXPECT_THROW(TFileStream(Dir, fmOpenRead), EFOpenError) << "a folder is not a file";
}

TEST_F(FileStreamTest, BackslashesInPathsAreFolderSeparators)
{
    WriteAll(Path("win.txt"), "ok");
    std::string name = Dir + "\\win.txt";
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.ReadString(2), "ok");
    EXPECT_EQ(f.FileName(), name);
}

TEST_F(FileStreamTest, ShareModes)
{
    struct Case {
        uint16_t first, second;
        bool secondOpens;
    };
    const Case cases[] = {
        {fmOpenRead | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
        {fmOpenRead | fmShareDenyWrite, fmOpenReadWrite, false},
        {fmOpenRead | fmShareDenyWrite, fmCreate, false},
        {fmOpenReadWrite | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
        {fmOpenReadWrite | fmShareExclusive, fmOpenRead, false},
        {fmOpenRead | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
        {fmOpenRead | fmShareDenyNone, fmOpenRead | fmShareExclusive, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareExclusive, false},
        {fmOpenRead, fmOpenReadWrite, true},   // compatibility mode locks nothing
    };
    const std::string name = Path("shared.dat");
    for (const Case& c : cases) {
        WriteAll(name, "content");
        auto first = std::make_unique<TFileStream>(name, c.first);
        bool opened = true;
        try {
            TFileStream second(name, c.second);
        } catch (const EStreamError& e) {
            opened = false;
            EXPECT_NE(std::string(e.what()).find("in use"), std::string::npos) << e.what();
        }
        EXPECT_EQ(opened, c.secondOpens) << std::hex << c.first << " then " << c.second;
        EXPECT_EQ(ReadAll(name), "content") << "a refused create truncates nothing";
        first.reset();
        TFileStream again(name, c.second);   // free once the first is closed
    }
}

TEST_F(FileStreamTest, MemoryStreamFileRoundTrip)
{
    TMemoryStream ms;
    ms.WriteString("line 1\r\n");
    ms.WriteDouble(2.5);
    const std::string name = Path("mem.bin");
    ms.SaveToFile(name);
    TMemoryStream back;
    back.LoadFromFile(name);
    EXPECT_EQ(Bytes(back), Bytes(ms));
    EXPECT_THROW(back.LoadFromFile(Path("nope")), EFOpenError);
    EXPECT_EQ(Bytes(back), Bytes(ms)) << "a failed load keeps the contents";
}

TEST(HandleStream, WrapsADescriptorWithoutClosingIt)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        THandleStream w(fds[1]);
        w.WriteWord(0x4142);
    }
    {
        THandleStream r(fds[0]);
        EXPECT_EQ(r.ReadWord(), 0x4142);
    }
    EXPECT_EQ(::close(fds[0]), 0) << "the stream left the descriptor open";
    EXPECT_EQ(::close(fds[1]), 0);
}

// ---- whole-file saves ------------------------------------------------------------

TEST_F(FileStreamTest, SavesReplaceTheFileWholeOrLeaveItAsItWas)
{
    const std::string big(200000, 'x');
    struct Writer {
        const char* Name;
        std::function<void(const std::string& file, const std::string& text)> Save;
    } writers[] = {
        {"string list", [](const std::string& file, const std::string& text) {
             TStringList sl;
             sl.SetText(text);
             sl.SaveToFile(file);
         }},
        {"memory stream", [](const std::string& file, const std::string& text) {
             TMemoryStream ms;
             ms.WriteString(text);
             ms.SaveToFile(file);
         }},
        {"ini file", [](const std::string& file, const std::string& text) {
             TMemIniFile ini(file);
             ini.WriteString("s", "k", text);
             ini.UpdateFile();
         }},
        {"helper", [](const std::string& file, const std::string& text) { SaveFileWhole(file, text); }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.Name);
        const std::string name = Path("target.txt");
        WriteAll(name, "old");
        chmod(name.c_str(), 0640);

        // The disk fills up halfway through: the old file stays whole.
        EXPECT_THROW(WithFileSizeLimit(4096, [&] { w.Save(name, big); }), Exception);
        EXPECT_EQ(ReadAll(name), "old");

        // Another stream keeps writers out: the file is not touched.
        {
            TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
            EXPECT_THROW(w.Save(name, "new"), Exception);
        }
        EXPECT_EQ(ReadAll(name), "old");

        // A save that works replaces the file and keeps its rights.
        w.Save(name, "new");
        EXPECT_NE(ReadAll(name).find("new"), std::string::npos);
        struct stat st;
        ASSERT_EQ(stat(name.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);

        // No scratch file is left behind, whatever happened.
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(Dir)) left.push_back(e.path().filename());
        EXPECT_EQ(left, std::vector<std::string>{"target.txt"});
        fs::remove(name);
    }
}

TEST_F(FileStreamTest, WholeSaveRaisesWhatTheWriterRaisesAndKeepsTheOldFile)
{
    const std::string name = Path("w.bin");
    WriteAll(name, "old");
    EXPECT_THROW(SaveFileWhole(name, [](TStream* s) {
                     s->WriteString("half");
                     throw EWriteError("Stream write error");
                 }),
                 EWriteError);
    EXPECT_EQ(ReadAll(name), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
    // A new file gets the usual rights; a folder or a missing folder is refused.
    SaveFileWhole(Path("new.bin"), std::string("abc"));
    EXPECT_EQ(ReadAll(Path("new.bin")), "abc");
    try {
        SaveFileWhole(Dir, std::string("abc"));
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file \"" + Dir + "\""), std::string::npos);
    }
    EXPECT_THROW(SaveFileWhole(Path("no/such/dir.bin"), std::string("abc")), EFCreateError);
}
