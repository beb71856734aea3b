// Barcodes: element strings and check characters of the symbologies, data
// refused where a symbology cannot carry it, and codes drawn into images that
// a real barcode reader decodes back to their text.
#include "ExportTestSupport.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "GuiTesting.h"
#include "frxBarcode.h"

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

std::vector<std::string> SplitLines(const std::string& s)
{
    std::vector<std::string> r(1);
    for (char c : s) {
        if (c == '\n')
            r.emplace_back();
        else if (c != '\r')
            r.back() += c;
    }
    return r;
}

std::string Encode(TfrxBarcodeType t, const std::string& text, bool checksum = false)
{
    TfrxBarcode b;
    b.Typ = t;
    b.Text = text;
    b.Checksum = checksum;
    return b.Encode();
}

std::string Encoded(TfrxBarcodeType t, const std::string& text, bool checksum = false)
{
    TfrxBarcode b;
    b.Typ = t;
    b.Text = text;
    b.Checksum = checksum;
    b.Encode();
    EXPECT_EQ(b.Text, text) << "encoding changed Text";
    return b.EncodedText();
}

std::string ErrorOf(TfrxBarcodeType t, const std::string& text)
{
    try {
        Encode(t, text);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(Barcode, CheckDigitsGoIntoTheDataNotTheText)
{
    struct Case { TfrxBarcodeType t; const char* text; bool check; const char* data; };
    const Case cases[] = {
        {bcCodeEAN13, "590123412345", true, "5901234123457"},
        {bcCodeEAN13, "5901234123457", true, "5901234123457"},   // complete: used as it is
        {bcCodeEAN8, "9638507", true, "96385074"},
        {bcCodeEAN8, "96385074", false, "96385074"},
        {bcCodeUPC_A, "036000291450", true, "036000291452"},
        // The UPC-E check digit is that of the UPC-A number the code stands
        // for: 123450 is 0 12000 00345, check digit 5.
        {bcCodeUPC_E0, "1234500", true, "1234505"},
        {bcCodeUPC_E0, "0425261", true, "0425261"},
        {bcCodeEAN128C, "1234", true, "12348"},
        {bcCodeMSI, "1234", false, "12344"},
    };
    for (const Case& c : cases) EXPECT_EQ(Encoded(c.t, c.text, c.check), c.data) << c.text;
    // Encoding twice draws the same code.
    TfrxBarcode b;
    b.Typ = bcCodeEAN128B;
    b.Text = "12";
    b.Checksum = true;
    const int w = b.Width();
    EXPECT_EQ(b.Width(), w);
    EXPECT_EQ(b.Text, "12");
}

TEST(Barcode, ElementStrings)
{
    // Guards and digits of EAN-8 (L code then R code).
    EXPECT_EQ(Encode(bcCodeEAN8, "00000000"), "505" "2605260526052605" "05050" "7150715071507150" "505");
    // Interleaved 2 of 5: "12" = bars of 1 (wide, narrow...), spaces of 2.
    EXPECT_EQ(Encode(bcCode_2_5_interleaved, "12"), "5050" "6051505061" "605");
    // Code 128 C "123" is encoded as the pairs 01 and 23.
    TfrxBarcode c;
    c.Typ = bcCode128C;
    c.Text = "123";
    const std::string code = c.Encode();
    EXPECT_EQ(code.substr(0, 6), "605171");    // start C: 211232
    EXPECT_EQ(code.substr(6, 6), "616061");    // value 1: 222122
    EXPECT_EQ(code.substr(12, 6), "706070");   // value 23: 312131
    // Code 93: the C and K check characters of a long text (standard values).
    TfrxBarcode n;
    n.Typ = bcCode93;
    n.Text = "TEST93";
    std::string e = n.Encode();
    // start, 6 characters, C, K, stop (7 elements): 9 characters of 6 + 7.
    EXPECT_EQ(e.size(), 9u * 6 + 7);
    // Code 39 Extended carries lower case through shift pairs.
    EXPECT_EQ(Encode(bcCode39Extended, "abc"), Encode(bcCode39, "+A+B+C"));
    // PostNet: two tall and three short bars per digit.
    EXPECT_EQ(Encode(bcCodePostNet, "0"), "51" "5151A1A1A1" "5");
}

TEST(Barcode, RefusesDataItCannotCarry)
{
    EXPECT_EQ(ErrorOf(bcCode_2_5_interleaved, "12345"), "TfrxBarcode:2_5_interleaved bad Data <12345>");
    EXPECT_EQ(ErrorOf(bcCode39, "abc"), "TfrxBarcode:Code39 bad Data <abc>");
    EXPECT_EQ(ErrorOf(bcCode128A, "ab"), "TfrxBarcode:Code128A bad Data <ab>");
    EXPECT_EQ(ErrorOf(bcCode128C, "12a4"), "TfrxBarcode:Code128C bad Data <12a4>");
    EXPECT_EQ(ErrorOf(bcCode93, "abc"), "TfrxBarcode:Code93 bad Data <abc>");
    EXPECT_EQ(ErrorOf(bcCodeCodabar, "12X"), "TfrxBarcode:Codebar bad Data <12X>");
    EXPECT_EQ(ErrorOf(bcCodeEAN13, "12a"), "Barcode must be numeric");
    EXPECT_EQ(ErrorOf(bcCodeEAN8, "123456789"), "Invalid Text len (EAN8)");
    EXPECT_EQ(ErrorOf(bcCodeEAN13, "12345678901234"), "Invalid Text len (EAN13)");
    EXPECT_EQ(ErrorOf(bcCode39Extended, "中"), "TfrxBarcode:Code39 Extended bad Data <中>");
}

TEST(Barcode, RatioIsCorrectedPerSymbology)
{
    TfrxBarcode b;
    b.Text = "1";
    b.Ratio = 1.5;
    b.Typ = bcCode39;
    b.Encode();
    EXPECT_EQ(b.ClassWidth(1), 2);
    b.Typ = bcCode128B;
    b.Ratio = 1.5;
    b.Encode();
    EXPECT_EQ(b.ClassWidth(1), 2);   // round(1.5): not corrected, distorts the code
    b.Ratio = 5;
    b.Typ = bcCode_2_5_matrix;
    b.Encode();
    EXPECT_EQ(b.ClassWidth(1), 3);
}

// Each code drawn into an image at four pixels a module, read by zbarimg.
TEST(Barcode, RealReaderDecodesEverySymbologyItKnows)
{
    TScratch dir("barcode");
    struct Case { TfrxBarcodeType t; const char* text; bool check; const char* read; int angle; };
    const Case cases[] = {
        {bcCodeEAN13, "590123412345", true, "EAN-13:5901234123457", 0},
        {bcCodeEAN8, "9638507", true, "EAN-8:96385074", 0},
        {bcCodeUPC_A, "036000291450", true, "UPC-A:036000291452", 0},
        {bcCodeUPC_E0, "1234500", true, "UPC-E:01234505", 0},
        {bcCode39, "12345678", false, "CODE-39:12345678", 0},
        {bcCode39Extended, "Drive", false, "CODE-39:D+R+I+V+E", 90},   // the reader shows the shift pairs,
        {bcCode93, "CODE 93", false, "CODE-93:CODE 93", 0},
        {bcCode128A, "ABC-12", false, "CODE-128:ABC-12", 180},
        {bcCode128B, "Hello, world", false, "CODE-128:Hello, world", 0},
        {bcCode128C, "123", false, "CODE-128:0123", 270},
        {bcCode_2_5_interleaved, "12345678", false, "I2/5:12345678", 0},
        {bcCodeCodabar, "40156", false, "Codabar:A40156B", 0},
    };
    for (const Case& c : cases) {
        TfrxBarcode b;
        b.Typ = c.t;
        b.Text = c.text;
        b.Checksum = c.check;
        b.Angle = c.angle;
        const int w = b.Width() * 4;
        const bool vertical = c.angle == 90 || c.angle == 270;
        const int across = 140;
        TBitmap bmp(vertical ? across + 80 : w + 80, vertical ? w + 80 : across + 40);
        bmp.Canvas()->Brush()->SetColor(clWhite);
        bmp.Canvas()->FillRect(Rect(0, 0, bmp.Width(), bmp.Height()));
        const TRect r = vertical ? Rect(40, 40, 40 + across, 40 + w) : Rect(40, 20, 40 + w, 20 + across);
        b.DrawBarcode(bmp.Canvas(), r, true);
        const std::string file = dir.Dir + "code" + std::to_string(int(c.t)) + ".bmp";
        bmp.SaveToFile(file);
        GuiTest::SavePng(&bmp, "barcode-" + std::to_string(int(c.t)) + ".png");
        std::string out = exporttest::RunTool("zbarimg -q -Supca.enable -Supce.enable '" + file + "' 2>&1");
        // zbarimg may first complain about the missing system bus.
        std::string read;
        for (const std::string& line : SplitLines(out))
            if (!line.empty() && line.rfind("Connection", 0) != 0) read += line;
        out = read;
        EXPECT_EQ(out, c.read) << frxBarcode::BarcodeData(c.t).Name << " at " << c.angle;
        EXPECT_EQ(b.Text, c.text);
    }
}

TEST(Barcode, ViewSizesItselfToTheCode)
{
    TfrxBarCodeView v;
    v.BarType = bcCode39;
    v.Text = "12345678";
    v.SetBounds(100, 10, 500, 60);
    v.HAlign = frxClass::haRight;
    TBitmap bmp(800, 100);
    v.Draw(bmp.Canvas(), 1, 1, 0, 0);
    TfrxBarcode b;
    b.Typ = bcCode39;
    b.Text = "12345678";
    EXPECT_DOUBLE_EQ(v.Width(), b.Width());
    EXPECT_DOUBLE_EQ(v.Left() + v.Width(), 600);   // right edge kept
}
