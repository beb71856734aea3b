// Workbooks read back as sheets of values: those our writer makes, 8-bit
// workbooks with a code page built record by record, and files that are
// damaged, truncated or past the limits of the format.
#include "ADODB.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "XlsReader.h"
#include "XlsWorkbook.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class TScratchDir {
public:
    TScratchDir() : FDir(GetTempDir() + "qz_xlsread_" + std::to_string(getpid())) { std::filesystem::create_directories(FDir); }
    ~TScratchDir() { std::filesystem::remove_all(FDir); }
    std::string File(const std::string& name) const { return FDir + "/" + name; }

private:
    std::string FDir;
};

// Workbook records written one by one, for the files our writer never
// makes: 8-bit texts under a code page, declared sizes past the format's
// limits, formula cells.
struct TBiff {
    int Version;   // 5 or 8
    std::string Globals, Sheet;

    static void P16(std::string& s, int v)
    {
        s += char(v & 0xFF);
        s += char((v >> 8) & 0xFF);
    }
    static void P32(std::string& s, uint32_t v)
    {
        P16(s, int(v & 0xFFFF));
        P16(s, int(v >> 16));
    }
    static void Rec(std::string& out, int type, const std::string& data)
    {
        P16(out, type);
        P16(out, int(data.size()));
        out += data;
    }
    static std::string Bof(int version, int kind)
    {
        std::string b;
        P16(b, version == 8 ? 0x0600 : 0x0500);
        P16(b, kind);
        P16(b, 0);
        P16(b, 0);
        if (version == 8) {
            P32(b, 0);
            P32(b, 0);
        }
        return b;
    }
    // codePage 936 is GBK; texts are UTF-8 here and go into the file in the
    // workbook's own form.
    TBiff(int version, int codePage, const std::string& sheetName, uint32_t rows, int columns) : Version(version)
    {
        Rec(Globals, 0x0809, Bof(version, 0x0005));
        std::string cp;
        P16(cp, codePage);
        Rec(Globals, 0x0042, cp);
        std::string bs;
        P32(bs, 0);   // the sheet's position, set in Bytes
        bs += char(0);
        bs += char(0);
        bs += Short(sheetName);
        Rec(Globals, 0x0085, bs);
        Rec(Globals, 0x000A, "");
        Rec(Sheet, 0x0809, Bof(version, 0x0010));
        std::string dim;
        if (version == 8) {
            P32(dim, 0);
            P32(dim, rows);
        } else {
            P16(dim, 0);
            P16(dim, int(rows));
        }
        P16(dim, 0);
        P16(dim, columns);
        P16(dim, 0);
        Rec(Sheet, 0x0200, dim);
    }
    std::string Short(const std::string& utf8) const
    {
        std::string s;
        if (Version == 8) {
            const std::u16string u = Utf8ToUtf16(utf8);
            s += char(u.size());
            s += char(1);
            for (char16_t c : u) P16(s, int(c));
        } else {
            const std::string g = Utf8ToGbk(utf8);
            s += char(g.size());
            s += g;
        }
        return s;
    }
    // A cell record's start: row, column and the default cell format.
    static std::string Cell(int row, int col)
    {
        std::string d;
        P16(d, row);
        P16(d, col);
        P16(d, 15);
        return d;
    }
    void Label(int row, int col, const std::string& utf8)
    {
        // An 8-bit text cell (BIFF5), in GBK.
        const std::string g = Utf8ToGbk(utf8);
        std::string d = Cell(row, col);
        P16(d, int(g.size()));
        d += g;
        Rec(Sheet, 0x0204, d);
    }
    void Number(int row, int col, double v)
    {
        std::string d = Cell(row, col);
        d.append(reinterpret_cast<const char*>(&v), 8);
        Rec(Sheet, 0x0203, d);
    }
    // A formula cell (=7) with its computed value.
    void Formula(int row, int col, double cached)
    {
        std::string d = Cell(row, col);
        d.append(reinterpret_cast<const char*>(&cached), 8);
        P16(d, 0);
        P32(d, 0);
        P16(d, 3);
        d += char(0x1E);
        P16(d, 7);
        Rec(Sheet, 0x0006, d);
    }
    std::string Bytes() const
    {
        std::string g = Globals;
        const uint32_t at = uint32_t(g.size());
        const size_t pos = g.find(std::string("\x85\x00", 2)) + 4;
        for (int i = 0; i < 4; ++i) g[pos + size_t(i)] = char((at >> (8 * i)) & 0xFF);
        std::string s = Sheet;
        Rec(s, 0x000A, "");
        std::string stream = g + s;
        stream.resize(std::max<size_t>(stream.size(), 4096), '\0');
        return XlsWorkbook::CompoundFile(Version == 8 ? "Workbook" : "Book", stream);
    }
};

std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TSheet {
    std::vector<std::string> Titles;
    std::vector<std::vector<Variant>> Rows;
};

TSheet ReadFirstSheet(const std::string& file)
{
    TXlsReader reader(file);
    TSheet s;
    const auto names = reader.SheetNames();
    if (names.empty()) throw Exception("no sheets");
    reader.ReadSheet(names[0], s.Titles, s.Rows);
    return s;
}

// The workbook the import's example files are like: a title row of
// Chinese labels, then texts, dates, amounts and whole numbers.
std::string WriteStudents(const std::string& file)
{
    TXlsWorkbook book;
    book.SheetName = "学员";
    TXlsStyle dateStyle;
    dateStyle.NumberFormat = "yyyy-mm-dd";
    const int date = book.AddStyle(dateStyle);
    const char* titles[] = {"姓名", "报名日期", "费用", "座位数", "备注"};
    for (int c = 0; c < 5; ++c) book.SetText(0, c, titles[c]);
    book.SetText(1, 0, "王五");
    book.SetNumber(1, 1, EncodeDate(2008, 3, 5), date);
    book.SetNumber(1, 2, 1200.5);
    book.SetNumber(1, 3, 5);
    book.SetText(1, 4, "");   // an empty text is an empty cell
    book.SetText(2, 0, "Lee \"Jr\" O'Neil");
    book.SetText(2, 4, "第一行\n第二行");
    // A styled cell with nothing in it, right of the last title.
    book.SetBlank(2, 7, date);
    book.SaveToFile(file);
    return file;
}

}  // namespace

TEST(XlsReader, OurWorkbookReadsBackAsTitlesAndValues)
{
    TScratchDir dir;
    const TSheet s = ReadFirstSheet(WriteStudents(dir.File("students.xls")));
    EXPECT_EQ(s.Titles, (std::vector<std::string>{"姓名", "报名日期", "费用", "座位数", "备注"}));
    ASSERT_EQ(s.Rows.size(), 2u);
    ASSERT_EQ(s.Rows[0].size(), 5u) << "the styled blank past the titles adds no column";
    EXPECT_EQ(VarToStr(s.Rows[0][0]), "王五");
    EXPECT_EQ(s.Rows[0][1].VType(), varDate);
    EXPECT_EQ(s.Rows[0][1].AsDate(), EncodeDate(2008, 3, 5));
    EXPECT_DOUBLE_EQ(s.Rows[0][2].AsDouble(), 1200.5);
    EXPECT_EQ(s.Rows[0][3].AsInteger(), 5);
    EXPECT_TRUE(s.Rows[0][4].IsNull());
    EXPECT_EQ(VarToStr(s.Rows[1][0]), "Lee \"Jr\" O'Neil");
    EXPECT_TRUE(s.Rows[1][1].IsNull());
    EXPECT_EQ(VarToStr(s.Rows[1][4]), "第一行\n第二行");
}

TEST(XlsReader, SheetsAreTablesOfTheWorkbookConnection)
{
    TScratchDir dir;
    const std::string file = WriteStudents(dir.File("students.xls"));
    XlsReader::Install();
    TADOConnection conn;
    conn.SetLoginPrompt(false);
    conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Excel 8.0;DATABASE=" + file);
    conn.Open();
    TStringList names;
    conn.GetTableNames(&names, false);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "学员$");
    // The bracketed name is the key, with or without the sheet mark.
    for (const std::string key : {"[学员$]", "[学员]"}) {
        TADOTable t;
        t.SetConnection(&conn);
        t.SetReadOnly(true);
        t.SetTableName(key);
        t.Open();
        EXPECT_EQ(t.RecordCount(), 2) << key;
        EXPECT_EQ(t.FieldByName("报名日期")->DataType(), ftDateTime);
        EXPECT_EQ(t.FieldByName("姓名")->AsString(), "王五");
        EXPECT_EQ(t.FieldByName("费用")->AsFloat(), 1200.5);
    }
    conn.Close();
    XlsReader::Uninstall();
}

TEST(XlsReader, EightBitAndUnicodeTextsBothArriveAsTheSameText)
{
    TScratchDir dir;
    TBiff gbk(5, 936, "学员", 2, 2);
    gbk.Label(0, 0, "姓名");
    gbk.Label(0, 1, "地址");
    gbk.Label(1, 0, "欧阳娜娜");
    gbk.Label(1, 1, "广州市天河区（东）");
    SaveFileWhole(dir.File("gbk.xls"), gbk.Bytes());
    TXlsReader reader(dir.File("gbk.xls"));
    EXPECT_EQ(reader.SheetNames(), std::vector<std::string>{"学员"});
    const TSheet a = ReadFirstSheet(dir.File("gbk.xls"));

    TXlsWorkbook book;
    book.SetText(0, 0, "姓名");
    book.SetText(0, 1, "地址");
    book.SetText(1, 0, "欧阳娜娜");
    book.SetText(1, 1, "广州市天河区（东）");
    book.SaveToFile(dir.File("unicode.xls"));
    const TSheet b = ReadFirstSheet(dir.File("unicode.xls"));
    for (const TSheet* s : {&a, &b}) {
        EXPECT_EQ(s->Titles, (std::vector<std::string>{"姓名", "地址"}));
        ASSERT_EQ(s->Rows.size(), 1u);
        EXPECT_EQ(VarToStr(s->Rows[0][0]), "欧阳娜娜");
        EXPECT_EQ(VarToStr(s->Rows[0][1]), "广州市天河区（东）");
    }
}

TEST(XlsReader, DamagedOrOversizedWorkbooksRaiseAClearError)
{
    TScratchDir dir;
    const std::string good = ReadBytes(WriteStudents(dir.File("good.xls")));
    TBiff wide(5, 936, "宽", 2, 10000);
    wide.Label(0, 0, "姓名");
    TBiff wide8(8, 1200, "Wide", 2, 300);
    wide8.Number(0, 0, 1);
    TBiff tall(8, 1200, "Tall", 0x7FFFFFFF, 2);
    tall.Number(0, 0, 1);
    struct TCase {
        const char* Name;
        std::string Bytes;   // empty: no file at all
        const char* Says;
    } cases[] = {
        {"missing", "", "cannot be found"},
        {"empty file", std::string(), "cannot be read"},
        {"not a workbook", "name,sex\r\n王五,男\r\n", "cannot be read"},
        {"truncated to the header", good.substr(0, 512), "cannot be read"},
        {"truncated in the middle", good.substr(0, good.size() / 2), "cannot be read"},
        {"zeroed allocation table", [&] {
             std::string b = good;
             std::memset(&b[512 + 4096], 0, 512);
             return b;
         }(), "cannot be read"},
        {"compound file without a workbook", XlsWorkbook::CompoundFile("Other", std::string(4096, 'x')),
         "cannot be read"},
        {"ten thousand columns", wide.Bytes(), "10000 columns"},
        {"three hundred columns", wide8.Bytes(), "300 columns"},
        {"two thousand million rows", tall.Bytes(), ""},
        // Makes the library write past one of its stack buffers.
        {"overrunning the library", ReadBytes(QZ_TEST_DATA_DIR "/overrun.xls"), "cannot be read"},
    };
    for (const TCase& c : cases) {
        const std::string file = dir.File(std::string(c.Name) + ".xls");
        if (std::string(c.Name) != "missing") SaveFileWhole(file, c.Bytes);
        try {
            ReadFirstSheet(file);
            ADD_FAILURE() << c.Name << " was read";
        } catch (const EXlsReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << c.Name << ": " << e.what();
        }
    }
}

TEST(XlsReader, FormulaAndMergedCellsNeverBreakTheSheet)
{
    TScratchDir dir;
    // A formula cell arrives empty: the library reads no computed values.
    TBiff f(8, 1200, "F", 2, 2);
    f.Number(0, 0, 1);
    f.Formula(0, 1, 7);
    f.Number(1, 0, 2);
    f.Formula(1, 1, 8);
    SaveFileWhole(dir.File("formula.xls"), f.Bytes());
    const TSheet a = ReadFirstSheet(dir.File("formula.xls"));
    ASSERT_EQ(a.Rows.size(), 1u);
    EXPECT_EQ(a.Rows[0][0].AsInteger(), 2);
    // A merged range keeps its value in its first cell; the others are empty.
    TXlsWorkbook book;
    book.SetText(0, 0, "姓名");
    book.SetText(0, 1, "备注");
    book.SetText(1, 0, "合并");
    book.MergeCells(1, 0, 2, 1);
    book.SetText(3, 0, "李四");
    book.SaveToFile(dir.File("merged.xls"));
    const TSheet b = ReadFirstSheet(dir.File("merged.xls"));
    ASSERT_EQ(b.Rows.size(), 3u);
    EXPECT_EQ(VarToStr(b.Rows[0][0]), "合并");
    EXPECT_TRUE(b.Rows[1][0].IsNull());
    EXPECT_EQ(VarToStr(b.Rows[2][0]), "李四");
    // A sheet with nothing in it has neither titles nor rows.
    TXlsWorkbook empty;
    empty.SaveToFile(dir.File("empty.xls"));
    const TSheet e = ReadFirstSheet(dir.File("empty.xls"));
    EXPECT_TRUE(e.Titles.empty());
    EXPECT_TRUE(e.Rows.empty());
}
