// Workbooks read back by the libraries and programs that read .xls files:
// libfreexl for cells and the compound file, LibreOffice for the whole.
#include "Exceptions.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Streams.h"
#include "XlsWorkbook.h"

#include <freexl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Scratch(const std::string& name)
{
    const std::string dir = GetTempDir() + "qz_office_" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(dir);
    return dir + name;
}

std::string RunTool(const std::string& cmd)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    char buf[4096];
    size_t n;
    while (p && (n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
    return out;
}

struct TRead {
    unsigned rows = 0, cols = 0;
    std::map<std::pair<int, int>, std::string> text;
    std::map<std::pair<int, int>, double> numbers;
};

TRead ReadWithFreexl(const std::string& file)
{
    TRead r;
    const void* h = nullptr;
    EXPECT_EQ(freexl_open(file.c_str(), &h), FREEXL_OK);
    if (!h) return r;
    unsigned count = 0;
    EXPECT_EQ(freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count), FREEXL_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(freexl_select_active_worksheet(h, 0), FREEXL_OK);
    unsigned short cols = 0;
    EXPECT_EQ(freexl_worksheet_dimensions(h, &r.rows, &cols), FREEXL_OK);
    r.cols = cols;
    for (unsigned row = 0; row < r.rows; ++row)
        for (unsigned short col = 0; col < cols; ++col) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, row, col, &v) != FREEXL_OK) continue;
            if (v.type == FREEXL_CELL_SST_TEXT || v.type == FREEXL_CELL_TEXT)
                r.text[std::make_pair(int(row), int(col))] = v.value.text_value;
            else if (v.type == FREEXL_CELL_DOUBLE)
                r.numbers[std::make_pair(int(row), int(col))] = v.value.double_value;
            else if (v.type == FREEXL_CELL_INT)
                r.numbers[std::make_pair(int(row), int(col))] = v.value.int_value;
        }
    freexl_close(h);
    return r;
}

}  // namespace

TEST(XlsWorkbook, ColumnNames)
{
    const std::pair<int, const char*> cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {256, "IV"}};
    for (auto& [n, name] : cases) EXPECT_EQ(XlsWorkbook::ColumnName(n), name);
}

TEST(XlsWorkbook, CellsReadBackWithStylesMergesAndChinese)
{
    TXlsWorkbook wb;
    TXlsStyle head;
    head.Font.Name = "宋体";
    head.Font.Bold = true;
    head.Font.Size = 14;
    head.Font.Color = clRed;
    head.Fill = clYellow;
    head.Borders = xbLeft | xbRight | xbTop | xbBottom;
    head.HAlign = xhCenter;
    head.Wrap = true;
    const int s0 = wb.AddStyle(head, "S0");
    TXlsStyle money;
    money.NumberFormat = "0.00";
    const int s1 = wb.AddStyle(money, "S1");
    wb.SetText(0, 0, "学员名单", s0);
    wb.MergeCells(0, 0, 2, 1);
    wb.SetBlank(2, 1, s0);
    wb.SetText(3, 0, "张三");
    wb.SetNumber(3, 1, 1234.5, s1);
    wb.SetText(4, 0, "a\nb");
    // Many strings, so that the shared strings run on in continuation records.
    for (int i = 0; i < 3000; ++i) wb.SetText(5 + i, 2, "行" + std::to_string(i) + std::string(i % 7, 'x'));
    wb.SetColumnWidth(0, 20);
    wb.SetRowHeight(0, 30);
    wb.SetRowHeight(1, 1000);   // capped at 409
    wb.AddPageBreak(100);
    wb.Landscape = true;
    wb.LeftMargin = 10 / 25.4;
    const std::string file = Scratch("list.xls");
    wb.SaveToFile(file);

    TRead r = ReadWithFreexl(file);
    EXPECT_EQ(r.rows, 3005u);
    EXPECT_EQ(r.text[std::make_pair(0, 0)], "学员名单");
    EXPECT_EQ(r.text[std::make_pair(3, 0)], "张三");
    EXPECT_EQ(r.text[std::make_pair(4, 0)], "a\nb");
    EXPECT_EQ(r.text[std::make_pair(2999 + 5, 2)], "行2999" + std::string(2999 % 7, 'x'));
    EXPECT_DOUBLE_EQ(r.numbers[std::make_pair(3, 1)], 1234.5);

    // LibreOffice reads the same values.
    const std::string dir = std::filesystem::path(file).parent_path().string();
    RunTool("cd '" + dir + "' && HOME='" + dir + "' timeout 120 soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
            dir + "' '" + file + "' >/dev/null 2>&1");
    std::ifstream csv(dir + "/list.csv");
    std::stringstream all;
    all << csv.rdbuf();
    const std::string text = all.str();
    EXPECT_EQ(text.rfind("学员名单,", 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("张三,1234.50"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find(",,行2999xxx\n"), std::string::npos);
    // Merged cells, widths and the named styles survive a round trip to the
    // spreadsheet program's own format.
    RunTool("cd '" + dir + "' && HOME='" + dir + "' timeout 120 soffice --headless --convert-to fods --outdir '" +
            dir + "' '" + file + "' >/dev/null 2>&1");
    std::ifstream fods(dir + "/list.fods");
    std::stringstream doc;
    doc << fods.rdbuf();
    const std::string xml = doc.str();
    EXPECT_NE(xml.find("table:number-rows-spanned=\"3\""), std::string::npos);
    EXPECT_NE(xml.find("table:number-columns-spanned=\"2\""), std::string::npos);
    EXPECT_NE(xml.find("style:name=\"S0\""), std::string::npos);
    EXPECT_NE(xml.find("fo:background-color=\"#ffff00\""), std::string::npos);
    EXPECT_NE(xml.find("style:print-orientation=\"landscape\""), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(XlsWorkbook, BadCellsAndFailedSavesRaise)
{
    TXlsWorkbook wb;
    EXPECT_THROW(wb.SetText(65536, 0, "x"), Exception);
    EXPECT_THROW(wb.SetText(0, 256, "x"), Exception);
    wb.SetText(0, 0, "x");
    // A folder that does not exist: the save raises.
    EXPECT_ANY_THROW(wb.SaveToFile("/nonexistent-folder/x.xls"));
}

TEST(XlsWorkbook, LargeStreamsGetAnExtendedAllocationTable)
{
    // Over 109 sectors of allocation table (some 7 MB of stream).
    const std::string stream(8 * 1024 * 1024, 'z');
    const std::string file = XlsWorkbook::CompoundFile("Workbook", stream);
    ASSERT_GE(file.size(), stream.size() + 512);
    // The header counts the extension sectors.
    const uint32_t dif = uint8_t(file[0x48]) | uint8_t(file[0x49]) << 8;
    EXPECT_GE(dif, 1u);
    // freexl opens it as a compound file (then finds no workbook records).
    const std::string name = Scratch("big.xls");
    std::ofstream(name, std::ios::binary) << file;
    const void* h = nullptr;
    const int rc = freexl_open(name.c_str(), &h);
    if (h) freexl_close(h);
    EXPECT_NE(rc, FREEXL_CFBF_INVALID_SIGNATURE);
    EXPECT_NE(rc, FREEXL_CFBF_ILLEGAL_FAT_ENTRY);
    std::filesystem::remove(name);
}

TEST(XlsWorkbook, PicturesLieOverTheirCells)
{
    // Two pictures: a small one, and one whose bytes need more than one
    // record of the drawing group.
    auto jpegOf = [](int w, int h, uint32_t seed) {
        // Noise, so the file does not shrink to a few bytes.
        TBitmap bmp;
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w, h);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = bmp.ScanLine(y);
            for (int x = 0; x < 3 * w; ++x) row[x] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        }
        bmp.ImageChanged();
        TJPEGImage jpeg;
        jpeg.SetCompressionQuality(100);
        jpeg.Assign(&bmp);
        TMemoryStream ms;
        jpeg.SaveToStream(&ms);
        return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
    };
    const std::string small = jpegOf(40, 30, 1), large = jpegOf(200, 150, 2);
    ASSERT_GT(large.size(), 8224u);
    TXlsWorkbook wb;
    wb.SetText(0, 0, "照片");
    wb.AddPicture(1, 1, 2, 3, small, xpJPEG);
    wb.AddPicture(5, 0, 9, 4, large, xpJPEG);
    wb.SetText(10, 0, "后");
    for (int row = 0; row <= 10; ++row) wb.SetRowHeight(row, 20);
    EXPECT_THROW(wb.AddPicture(3, 3, 2, 3, small, xpJPEG), Exception);
    EXPECT_THROW(wb.AddPicture(0, 0, 0, 256, small, xpJPEG), Exception);
    const std::string file = Scratch("pictures.xls");
    wb.SaveToFile(file);

    // The cells still read back.
    TRead r = ReadWithFreexl(file);
    EXPECT_EQ(r.text[std::make_pair(0, 0)], "照片");
    EXPECT_EQ(r.text[std::make_pair(10, 0)], "后");

    // LibreOffice finds both pictures with their bytes, each over its cells.
    const std::string dir = std::filesystem::path(file).parent_path().string();
    RunTool("cd '" + dir + "' && HOME='" + dir + "' timeout 120 soffice --headless --convert-to fods --outdir '" + dir +
            "' '" + file + "' >/dev/null 2>&1");
    std::ifstream fods(dir + "/pictures.fods");
    std::stringstream doc;
    doc << fods.rdbuf();
    const std::string xml = doc.str();
    ASSERT_FALSE(xml.empty());
    // Each frame: its size in inches and its picture's bytes.
    auto attr = [](const std::string& tag, const std::string& name) {
        const size_t a = tag.find(name + "=\"");
        if (a == std::string::npos) return 0.0;
        return std::atof(tag.c_str() + a + name.size() + 2);
    };
    auto base64 = [](const std::string& text) {
        std::string out;
        uint32_t acc = 0;
        int bits = 0;
        for (char c : text) {
            const char* at = std::strchr(kBase64, c);
            if (!at || !c) continue;
            acc = (acc << 6) | uint32_t(at - kBase64);
            bits += 6;
            if (bits >= 8) {
                bits -= 8;
                out += char((acc >> bits) & 0xFF);
            }
        }
        return out;
    };
    std::vector<double> widths, heights;
    std::vector<std::string> bytes;
    for (size_t at = xml.find("<draw:frame"); at != std::string::npos; at = xml.find("<draw:frame", at + 1)) {
        const std::string tag = xml.substr(at, xml.find('>', at) - at);
        widths.push_back(attr(tag, "svg:width"));
        heights.push_back(attr(tag, "svg:height"));
        const size_t b = xml.find("<office:binary-data>", at), e = xml.find("</office:binary-data>", at);
        ASSERT_NE(b, std::string::npos);
        bytes.push_back(base64(xml.substr(b + 20, e - b - 20)));
    }
    ASSERT_EQ(bytes.size(), 2u) << xml.substr(0, 400);
    // Every byte of each picture comes back (LibreOffice's copy may run on a
    // few bytes past the picture's end, which picture readers ignore).
    EXPECT_EQ(bytes[0].compare(0, small.size(), small), 0);
    EXPECT_EQ(bytes[1].compare(0, large.size(), large), 0);
    // Rows of 20 points: two rows and five rows; three columns against five.
    EXPECT_NEAR(heights[0], 40.0 / 72, 0.01);
    EXPECT_NEAR(heights[1], 100.0 / 72, 0.01);
    EXPECT_NEAR(widths[0] / widths[1], 0.6, 0.01);
    std::filesystem::remove_all(dir);
}
