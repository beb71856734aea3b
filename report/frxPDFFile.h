// The PDF document the PDF export builds: pages with their content streams,
// the fonts met while drawing, and the writer of the whole file (catalog,
// information, page tree, fonts, pages, cross-reference table, trailer).
//
// Text is shown through composite fonts: every font is a CID font with an
// embedded subset made of the glyphs the document uses (taken from the
// installed fonts that fontconfig gives for the face, falling back to the
// next installed font for characters the face lacks, Chinese among them),
// addressed by glyph number (Identity-H), with a map back to Unicode, so the
// text shows and copies right in any reader.
#pragma once

#include "frxClass.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TfrxPDFFile;

class TfrxPDFElement {
public:
    virtual ~TfrxPDFElement() = default;
    int64_t Offset = 0;
};

class TfrxPDFFont : public TfrxPDFElement {
public:
    TfrxPDFFont(TfrxPDFFile* owner, TfrxFont* font);
    ~TfrxPDFFont() override;
    int Index = 0;   // 5k + 1 for font k
    TfrxFont* Font() const { return FFont.get(); }
    // The glyph codes of text (UTF-8), each code four hex digits; the glyphs
    // join the subset.
    std::string Encode(const std::string& text);
    // A text array for TJ that shows text with each character taking its
    // own width (points, one per character) at the font size.
    std::string PlacedText(const std::string& text, const std::vector<double>& widths, double size);
    // The advance of text in thousandths of the font size.
    double TextWidth(const std::string& text);
    // Writes the five objects from number base + 1 on.
    void Write(TfrxPDFFile& file, int base);

private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
    std::unique_ptr<TfrxFont> FFont;
    TfrxPDFFile* FOwner;
};

class TfrxPDFPage : public TfrxPDFElement {
public:
    TfrxPDFPage(TfrxPDFFile* owner, TfrxReportPage* page);
    int Number = 0;
    std::string Content;
    double Width = 0, Height = 0;
    // Object positions already include the page margins (the export driver
    // moves the page to them), so no margin is added again.
    double MarginLeft = 0, MarginTop = 0;
    void DrawObject(TfrxView* view);

private:
    double X(double x) const;
    double Y(double y) const;
    void DrawMemo(TfrxCustomMemoView* memo);
    void DrawFrameLines(TfrxView* view);
    void DrawPicture(TfrxView* view);
    TfrxPDFFile* FOwner;
};

class TfrxPDFFile : public TfrxPDFElement {
public:
    TfrxPDFFile();
    ~TfrxPDFFile() override;
    std::vector<std::unique_ptr<TfrxPDFPage>> Pages;
    std::vector<std::unique_ptr<TfrxPDFFont>> Fonts;
    int FirstFontObject = 4;
    int FirstPageObject = 0;
    std::string Title;
    std::string Creator;
    bool Compressed = true;
    bool EmbeddedFonts = false;

    TfrxPDFPage* AddPage(TfrxReportPage* page);
    int AddFont(TfrxFont* font);
    void Clear();
    // The whole document.
    std::string SaveToString();

    // Writing helpers for the document's objects.
    void BeginObject(int number);
    void WriteLn(const std::string& line);
    void Write(const std::string& text);
    // A stream object's dictionary entries, data (deflated when compressed).
    void WriteStream(const std::string& extraEntries, const std::string& data, bool compress);
    std::string& Out() { return FOut; }

private:
    std::string FOut;
    std::map<int, int64_t> FXRef;
};

namespace frxPDFFile {
// "%.4f" with a point.
std::string Num(double v);
// A colour as "r g b" in 0..1, two significant digits.
std::string ColorText(TColor c);
// A text string of the information dictionary: (escaped) for ASCII,
// <FEFF...> UTF-16 for anything else.
std::string InfoString(const std::string& utf8);
// Deflates bytes at the best compression; raises on a zlib error.
std::string Deflate(const std::string& data);
}
