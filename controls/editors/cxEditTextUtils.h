// The editors' own text layout: text is broken into rows (word and character
// break, hard line breaks, tabs, end ellipsis), the rows are positioned
// (horizontal and vertical modes, justification, spreading) and drawn with
// an optional highlighted range. The same layout serves measuring, painting
// and the hint for cut text.
//
// Text is UTF-8 at the interface; rows count characters. The engine measures
// and draws through a text device, so it runs on a device context or, in
// tests, on a fake font.
#pragma once

#include "Types.h"
#include "Windows.h"

#include <string>
#include <string_view>
#include <vector>

class TCanvas;

// Text flags of the layout engine (not those of the canvas wrapper).
constexpr int cxAlignLeft = 0x0;
constexpr int cxAlignHCenter = 0x1;
constexpr int cxAlignRight = 0x2;
constexpr int cxAlignJustify = 0x3;          // the last row of a paragraph stays
constexpr int cxAlignJustifyAll = 0x4;
constexpr int cxAlignHorzMask = 0x7;
constexpr int cxAlignTop = 0x00;
constexpr int cxAlignVCenter = 0x10;
constexpr int cxAlignBottom = 0x20;
constexpr int cxAlignSpread = 0x30;
constexpr int cxAlignVertMask = 0x30;
constexpr int cxDontStartLeftOut = 0x40;
constexpr int cxDontStartAboveTop = 0x80;
constexpr int cxWordBreak = 0x100;
constexpr int cxSingleLine = 0x200;
constexpr int cxExpandTabs = 0x400;
constexpr int cxShowEndEllipsis = 0x800;
constexpr int cxExternalLeading = 0x2000;
constexpr int cxShowCharCutEllipsis = 0x4000;
constexpr int cxDontClip = 0x8000;
constexpr int cxCharBreak = 0x20000;
constexpr int cxCalcRect = 0x100000;
constexpr int cxReturnRowCount = 0x200000;

// What the engine measures and draws with.
class TcxTextDevice {
public:
    virtual ~TcxTextDevice() = default;
    virtual TTextMetric Metrics() = 0;
    // The width of a run; with ATabs, tabs expanded to the default stops.
    virtual int Width(std::u32string_view AText, bool ATabs) = 0;
    // Draws a run with its top-left corner at (X, Y), clipped to AClip when given.
    virtual void Draw(int X, int Y, std::u32string_view AText, bool ATabs, const TRect* AClip,
                      TColor AColor) = 0;
    virtual void Fill(const TRect& ARect, TColor AColor) = 0;
    virtual TColor TextColor() = 0;
};

// The text device over a device context (its selected font and text colour).
class TcxDCTextDevice : public TcxTextDevice {
public:
    explicit TcxDCTextDevice(HDC ADC) : FDC(ADC) {}
    TTextMetric Metrics() override;
    int Width(std::u32string_view AText, bool ATabs) override;
    void Draw(int X, int Y, std::u32string_view AText, bool ATabs, const TRect* AClip,
              TColor AColor) override;
    void Fill(const TRect& ARect, TColor AColor) override;
    TColor TextColor() override;

private:
    HDC FDC;
};

struct TcxTextLayoutParams {
    int LineHeight = 0;
    int ExternalLeading = 0;
    int RowHeight = 0;        // the pitch: line height plus leading
    int EllipsisWidth = 0;
    char32_t BreakChar = ' ';
    int HorzMode = 0;
    int VertMode = 0;
    bool WordBreak = false;
    bool SingleLine = false;
    bool ExpandTabs = false;
    bool EndEllipsis = false;
    bool UseExternalLeading = false;
    bool CharCutEllipsis = false;
    bool NoClip = false;
    bool DontStartLeftOut = false;
    bool DontStartAboveTop = false;
    bool CharBreak = false;
    bool ReturnRowCount = false;
    bool CalcOnly = false;
    int MaxCharWidth = 0;
};

struct TcxTextRowData {
    int Start = 0;         // index of the first character in the text
    int Length = 0;        // in characters
    int Width = 0;
    int Height = 0;
    int BreakCount = 0;
    int Left = 0;
    int Top = 0;
    int TextOffset = 0;    // the same as Start: the row's offset from the text start
};
using TcxTextRows = std::vector<TcxTextRowData>;

// What a text view info keeps of its laid-out text.
struct TcxTextOutData {
    bool LastRowEllipsis = false;
    bool Prepared = false;
    int RowCount = 0;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelBkColor = 0;
    TColor SelTextColor = 0;
    TcxTextLayoutParams TextParams;
    TRect TextRect;
    TcxTextRows TextRows;
    std::u32string Text;
};

namespace cxEditTextUtils {

void PrepareTextParams(TcxTextDevice& ADevice, int AFlags, TcxTextLayoutParams& AParams);
// False when AMaxLineCount (above 0) rows were made and text remains.
bool MakeTextRows(TcxTextDevice& ADevice, const std::u32string& AText, const TRect& ARect,
                  int AMaxLineCount, int& ARowCount, TcxTextRows& ARows,
                  const TcxTextLayoutParams& AParams);
void LayoutTextRows(const TRect& ARect, const TcxTextLayoutParams& AParams, int ARowCount,
                    TcxTextRows& ARows);
void DrawTextRows(TcxTextDevice& ADevice, const std::u32string& AText, const TRect& ARect,
                  const TcxTextLayoutParams& AParams, bool ALastRowEllipsis, TColor ASelBkColor,
                  TColor ASelTextColor, int ASelLength, int ASelStart, int ARowCount,
                  const TcxTextRows& ARows);
// Lays out and draws (or, with cxCalcRect, measures into ARect) the text;
// the text height, or the row count with cxReturnRowCount; 0 for an empty
// text or an unusable rectangle.
int DrawText(TcxTextDevice& ADevice, const std::string& AText, TRect& ARect, int ALeftIndent,
             int ARightIndent, int AMaxLineCount, TColor ASelBkColor, TColor ASelTextColor,
             int ASelLength, int ASelStart, int AFlags);
int DrawText(TCanvas* ACanvas, const std::string& AText, TRect& ARect, int ALeftIndent,
             int ARightIndent, int AMaxLineCount, TColor ASelBkColor, TColor ASelTextColor,
             int ASelLength, int ASelStart, int AFlags);
// In the canvas font's colour, without a selection.
int DrawEditText(TCanvas* ACanvas, const std::string& AText, TRect& ARect, int ALeftIndent,
                 int ARightIndent, int AMaxLineCount, int AFlags);
int GetMaxRowWidth(const TcxTextRows& ARows, int ACount);

// The editor side: the rows of a text view info, prepared once and drawn.
void PrepareTextOutData(TcxTextDevice& ADevice, const std::string& AText, const TRect& ARect,
                        int AFlags, int AMaxLineCount, int ASelStart, int ASelLength,
                        TColor ASelBkColor, TColor ASelTextColor, TcxTextOutData& AData);
void DrawTextOutData(TcxTextDevice& ADevice, TcxTextOutData& AData);

// The canvas wrapper's text flags to the engine's and back.
int CanvasTextFlagsToTextFlags(int AFlags);
int TextFlagsToCanvasTextFlags(int AFlags);

}  // namespace cxEditTextUtils
