// The text renderer of text objects: lays paragraphs out at a fixed
// measuring resolution of 600 dots per inch, so a text breaks the same way
// on screen, in print and in exports, understands a few inline tags (bold,
// italic, underline, strike-out, subscript, superscript, font colour),
// measures the result and draws it on any canvas at any scale and rotation,
// fitting the device's glyph advances to the 600-dpi widths.
//
// Text is handled in characters (code points), never in bytes: a line
// break, a hyphen or a cut never falls inside a character. Every buffer
// grows with its text, so neither long lines nor long words have a limit.
#pragma once

#include "frxClass.h"

#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TBitmap;
class TfrxFont;

// Style bits of a tag record: bold 1, italic 2, underline 4, strike-out 8.
struct TfrxHTMLTag {
    int SourcePos = 0;       // 1-based character position in SourceText
    int CharSize = 0;        // points
    int Lowered = 0;         // 1 inside a subscript
    int CharStyle = 0;
    TColor CharColor = 0;
    bool SameAsPrevious = true;
    bool Reduced = false;
};

// One tag record per character of one laid-out line.
using TfrxHTMLTags = std::vector<TfrxHTMLTag>;

class TfrxHTMLTagsList {
public:
    bool TagsEnabled = true;
    TColor BaseColor = 0, CurColor = 0;
    int BaseSize = 10, CurSize = 10;
    int BaseStyle = 0, CurStyle = 0;
    int CurLowered = 0;
    int NextPos = 1;

    int Count() const { return int(FLines.size()); }
    TfrxHTMLTags& Items(int i) { return FLines.at(size_t(i)); }
    void Clear() { FLines.clear(); }
    void NewLine() { FLines.emplace_back(); }
    void SetDefaults(TColor color, int size, int style);
    // Parses the tags out of text (in place), appending one record per
    // remaining character to the last tag line.
    void ExpandHTMLTags(std::u32string& text);
    // Moves the records from n onward into a new line after index; with
    // hyphen a copy of record n-1 stays appended to the old line.
    void SplitLine(int index, int n, bool hyphen);

private:
    void AddRecord();
    std::vector<TfrxHTMLTags> FLines;
};

// A laid-out line as drawing shows it, in the units of the area the
// renderer was given: the characters that show, the left edge and advance
// of each, the top of the line and its base line.
struct TfrxShownLine {
    std::string Text;                 // tags removed
    std::vector<double> CharLeft;     // one per character (code point)
    std::vector<double> CharWidth;
    double Top = 0, Baseline = 0;
};

// What drawing shows of a layout: the box it clips the text to and the
// lines that show in it (those whose base line lies inside the box, with
// the characters whose middle does).
struct TfrxShownText {
    double ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;
    double Ascent = 0, LineHeight = 0;
    std::vector<TfrxShownLine> Lines;
    // The lines joined by line feeds.
    std::string Text() const;
};

class TfrxDrawText {
public:
    TfrxDrawText();
    ~TfrxDrawText();
    TfrxDrawText(const TfrxDrawText&) = delete;
    TfrxDrawText& operator=(const TfrxDrawText&) = delete;

    // Take and give back the renderer around a whole sequence of calls.
    void Acquire();
    void Release();
    bool Busy() const { return FBusy; }

    void ApplyFont(const TfrxFont* font);
    void SetLayoutOptions(bool wordWrap, bool allowHTMLTags, int rotation, bool wordBreak, bool rtlReading);
    void SetSpacing(double lineSpacing, double charSpacing, double paragraphGap);
    void SetArea(const TRect& layoutRect, const TRect& deviceRect, double scaleX, double scaleY);
    // Lays the paragraphs (UTF-8 text, one per entry) out into LaidLines.
    void BuildLines(const std::vector<std::string>& paragraphs);
    void DrawLines(TCanvas* canvas, frxClass::TfrxHAlign hAlign, frxClass::TfrxVAlign vAlign);
    // What DrawLines shows of the lines on a screen at the area's scale:
    // each line and character where drawing puts it, those outside the box
    // it clips to left out. Turned text gives every line, without places.
    TfrxShownText ShownText(frxClass::TfrxHAlign hAlign, frxClass::TfrxVAlign vAlign);

    double LineStep() const;
    double TextBlockHeight() const;
    double WidestLine();
    double SpareHeight() const;
    std::string TakeOverflow();
    std::string FittingText() const;
    std::string StripTags(const std::string& text);
    static bool IsPrinterCanvas(TCanvas* canvas);

    // The laid-out lines (tags removed) and their flags: bit 0 first line
    // of a paragraph, bit 1 last line.
    int LineCount() const { return int(FLines.size()); }
    std::string Line(int i) const;
    int LineFlags(int i) const { return FLineFlags.at(size_t(i)); }
    std::vector<std::string> LaidLines() const;
    const std::string& SourceText() const;
    TfrxHTMLTagsList& Tags() { return FTags; }
    int PointSize() const { return FPointSize; }
    int Rotation() const { return FRotation; }
    TCanvas* MeasureCanvas() const;
    // Per-character advances of the line measured last.
    const std::vector<int>& CharWidths() const { return FCharWidths; }

    // Adds delta to count elements of a[first..last] (1-based), evenly.
    static void SpreadUnits(std::vector<int>& a, int first, int last, int delta, int count);
    // Break positions of an upper-case Cyrillic word (after which it may be hyphenated).
    static std::vector<int> SyllableBreaks(const std::u32string& word);

    // The process-wide renderer, for objects outside a report.
    static TfrxDrawText& Global();

private:
    // Where the lines go on a device: the first line's origin, the width
    // they are aligned in, the steps from line to line and the direction.
    struct TPlacement {
        int X = 0, Y = 0, Width = 0;
        double Cos = 1, Sin = 0;
        std::vector<int> Steps;
    };
    // Each line's origin, width and alignment (a paragraph's first line
    // indented, a justified paragraph's last line not justified).
    struct TLineFrame {
        int X = 0, Y = 0, Width = 0;
        frxClass::TfrxHAlign Align = frxClass::haLeft;
    };
    TPlacement Place(bool printer, int ppiY, int fontHeight, frxClass::TfrxVAlign vAlign) const;
    std::vector<TLineFrame> Frames(const TPlacement& pl, frxClass::TfrxHAlign hAlign) const;
    int MeasureChars(const std::u32string& text, bool cumulative, int spacing, int lineIndex, TCanvas* canvas);
    void MeasureExtents(const std::u32string& text, TCanvas* canvas, std::vector<int>& ext);
    void WrapParagraph(std::u32string p, int fullWidth, int spacing, int firstWidth);
    void AddLine(const std::u32string& s) { FLines.push_back(s); FLineFlags.push_back(0); }
    std::u32string HyphenatePrefix(const std::u32string& s, int from, int at);
    void DrawLine(TCanvas* canvas, int j, frxClass::TfrxHAlign align, int width, int x, int y);
    void ApplyTagFont(TCanvas* canvas, const TfrxHTMLTag& tag, bool printer, int ppi);
    int MeasureHeight() const;

    std::unique_ptr<TBitmap> FMeasureBitmap;
    bool FBusy = false;
    int FPointSize = 10;
    TfrxHTMLTagsList FTags;
    double FCharSpacing = 0, FLineSpacing = 2, FParagraphGap = 0;
    int FTextOutOptions = 4;
    TRect FLayoutRect{0, 0, 0, 0}, FDeviceRect{0, 0, 0, 0};
    int FRotation = 0;
    bool FRTLReading = false, FWordBreak = false, FWordWrap = true;
    double FScaleX = 1, FScaleY = 1;
    std::u32string FSourceText;
    std::vector<std::u32string> FLines;
    std::vector<int> FLineFlags;
    std::vector<int> FCharWidths;
    std::vector<int> FExtents;
    mutable std::string FSourceUtf8;
    int FFontStyle = 0;   // the measuring font's style, outside tags
};

// Holds a renderer for a scope: Acquire on entry, Release on every exit.
class TfrxDrawTextLock {
public:
    explicit TfrxDrawTextLock(TfrxDrawText& d) : FD(d) { FD.Acquire(); }
    ~TfrxDrawTextLock() { FD.Release(); }
    TfrxDrawTextLock(const TfrxDrawTextLock&) = delete;
    TfrxDrawTextLock& operator=(const TfrxDrawTextLock&) = delete;
private:
    TfrxDrawText& FD;
};
