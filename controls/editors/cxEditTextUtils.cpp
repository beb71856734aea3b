#include "cxEditTextUtils.h"

#include "Graphics.h"
#include "SysUtils.h"
#include "cxGraphics.h"
#include "cxRegExpr.h"

#include <algorithm>

using cxRegExpr::ToU32;
using cxRegExpr::ToUtf8;

// ---- the device-context text device ---------------------------------------------------------

TTextMetric TcxDCTextDevice::Metrics()
{
    TTextMetric tm;
    GetTextMetrics(FDC, &tm);
    return tm;
}

int TcxDCTextDevice::Width(std::u32string_view AText, bool ATabs)
{
    if (AText.empty()) return 0;
    std::string t = ToUtf8(std::u32string(AText));
    if (ATabs) return int(GetTabbedTextExtent(FDC, t, 0, nullptr) & 0xFFFF);
    TSize s{0, 0};
    GetTextExtentPoint32(FDC, t, &s);
    return s.cx;
}

void TcxDCTextDevice::Draw(int X, int Y, std::u32string_view AText, bool ATabs, const TRect* AClip,
                           TColor AColor)
{
    std::string t = ToUtf8(std::u32string(AText));
    COLORREF old = SetTextColor(FDC, ColorToRGB(AColor));
    if (ATabs) {
        int saved = 0;
        if (AClip) {
            saved = SaveDC(FDC);
            IntersectClipRect(FDC, AClip->Left, AClip->Top, AClip->Right, AClip->Bottom);
        }
        TabbedTextOut(FDC, X, Y, t, 0, nullptr, X);
        if (AClip) RestoreDC(FDC, saved);
    } else {
        ExtTextOut(FDC, X, Y, AClip ? ETO_CLIPPED : 0, AClip, t);
    }
    SetTextColor(FDC, old);
}

void TcxDCTextDevice::Fill(const TRect& ARect, TColor AColor)
{
    HBRUSH b = CreateSolidBrush(ColorToRGB(AColor));
    FillRect(FDC, ARect, b);
    DeleteObject(reinterpret_cast<HGDIOBJ>(b));
}

TColor TcxDCTextDevice::TextColor() { return TColor(GetTextColor(FDC)); }

// ---- the layout engine ------------------------------------------------------------------------

namespace cxEditTextUtils {

namespace {

const std::u32string kEllipsis = U"...";

bool IsJustify(int AMode) { return AMode == cxAlignJustify || AMode == cxAlignJustifyAll; }

struct TRowBreaker {
    TcxTextDevice& Device;
    const std::u32string& Text;
    const TcxTextLayoutParams& P;
    int Width;

    // One row from APos; ANext receives where the next row starts.
    TcxTextRowData Make(int APos, bool ALast, int& ANext)
    {
        int n = int(Text.size());
        bool wordBreak = !P.SingleLine && (P.WordBreak || IsJustify(P.HorzMode));
        bool charBreak = wordBreak && P.CharBreak;
        bool ellipsisCut = ALast && P.EndEllipsis && !P.CharCutEllipsis && !P.NoClip &&
                           !IsJustify(P.HorzMode);
        bool measure = wordBreak || ellipsisCut || P.SingleLine;
        int start = APos, end = n, breaks = 0, lastBreakEnd = -1, breaksAtLastBreak = 0;
        // A row that does not break inside runs to the end of the text unless it
        // overflows: when the whole rest fits, it is not measured character by character.
        int whole = -1;
        if (measure && !wordBreak && !P.ExpandTabs) {
            whole = Device.Width(std::u32string_view(Text).substr(size_t(start)), false);
            if (whole <= Width) measure = false;
        }
        int w = 0;
        bool hardBreak = false;
        for (int i = start; i < n; ++i) {
            char32_t c = Text[size_t(i)];
            if ((c == '\r' || c == '\n') && !(ellipsisCut || P.SingleLine)) {
                end = i;
                hardBreak = true;
                break;
            }
            if (c == P.BreakChar || c == '\t') {
                ++breaks;
                lastBreakEnd = i + 1;
                breaksAtLastBreak = breaks;
            }
            if (!measure) continue;
            if (P.ExpandTabs)
                w = Device.Width(std::u32string_view(Text).substr(size_t(start), size_t(i - start + 1)), true);
            else
                w += Device.Width(std::u32string_view(Text).substr(size_t(i), 1), false);
            if (w <= Width) continue;
            if (ellipsisCut || P.SingleLine) { end = i + 1; break; }
            if (lastBreakEnd > start) { end = lastBreakEnd; breaks = breaksAtLastBreak; break; }
            if (charBreak) { end = std::max(i, start + 1); break; }
            // The word stays whole; the walk goes on to its end.
        }
        if (end == n) hardBreak = true;
        int len = end - start;
        if (IsJustify(P.HorzMode))
            while (len > 0 && (Text[size_t(start + len - 1)] == P.BreakChar ||
                               Text[size_t(start + len - 1)] == '\t')) {
                --len;
                --breaks;
            }
        TcxTextRowData row;
        row.Start = row.TextOffset = start;
        row.Length = len;
        row.Width = whole >= 0 && end == n && len == n - start
                        ? whole
                        : Device.Width(std::u32string_view(Text).substr(size_t(start), size_t(len)), P.ExpandTabs);
        row.Height = P.LineHeight;
        row.BreakCount = std::max(0, breaks);
        int p = end;
        while (p < n && Text[size_t(p)] == P.BreakChar) ++p;
        if (p < n && Text[size_t(p)] == '\t') ++p;
        if (p < n && Text[size_t(p)] == '\r') ++p;
        if (p < n && Text[size_t(p)] == '\n') ++p;
        if (P.HorzMode == cxAlignJustify && (hardBreak || p >= n)) row.BreakCount = 0;
        ANext = p;
        return row;
    }
};

}  // namespace

void PrepareTextParams(TcxTextDevice& ADevice, int AFlags, TcxTextLayoutParams& AParams)
{
    TTextMetric tm = ADevice.Metrics();
    AParams = TcxTextLayoutParams();
    AParams.LineHeight = tm.tmHeight;
    AParams.UseExternalLeading = (AFlags & cxExternalLeading) != 0;
    AParams.ExternalLeading = AParams.UseExternalLeading ? tm.tmExternalLeading : 0;
    AParams.RowHeight = AParams.LineHeight + AParams.ExternalLeading;
    AParams.EndEllipsis = (AFlags & cxShowEndEllipsis) != 0;
    AParams.EllipsisWidth = AParams.EndEllipsis ? ADevice.Width(kEllipsis, false) : 0;
    AParams.BreakChar = tm.tmBreakChar;
    AParams.HorzMode = AFlags & cxAlignHorzMask;
    AParams.VertMode = (AFlags & cxAlignVertMask) >> 4;
    AParams.WordBreak = (AFlags & cxWordBreak) != 0;
    AParams.SingleLine = (AFlags & cxSingleLine) != 0;
    AParams.ExpandTabs = (AFlags & cxExpandTabs) != 0;
    AParams.CharCutEllipsis = (AFlags & cxShowCharCutEllipsis) != 0;
    AParams.NoClip = (AFlags & cxDontClip) != 0;
    AParams.DontStartLeftOut = (AFlags & cxDontStartLeftOut) != 0;
    AParams.DontStartAboveTop = (AFlags & cxDontStartAboveTop) != 0;
    // A far-east system locale breaks long words between characters always.
    AParams.CharBreak = (AFlags & cxCharBreak) != 0 || SysLocale.FarEast;
    AParams.ReturnRowCount = (AFlags & cxReturnRowCount) != 0;
    AParams.CalcOnly = (AFlags & cxCalcRect) != 0;
    AParams.MaxCharWidth = tm.tmMaxCharWidth;
}

bool MakeTextRows(TcxTextDevice& ADevice, const std::u32string& AText, const TRect& ARect,
                  int AMaxLineCount, int& ARowCount, TcxTextRows& ARows,
                  const TcxTextLayoutParams& AParams)
{
    ARows.clear();
    ARowCount = 0;
    if (AText.empty()) return true;
    TRowBreaker breaker{ADevice, AText, AParams, ARect.Right - ARect.Left};
    if (AParams.CalcOnly && AParams.SingleLine) {
        TcxTextRowData row;
        row.Length = int(AText.size());
        row.Width = ADevice.Width(AText, AParams.ExpandTabs);
        row.Height = AParams.LineHeight;
        ARows.push_back(row);
        ARowCount = 1;
        return true;
    }
    int height = ARect.Bottom - ARect.Top;
    int pos = 0, n = int(AText.size());
    while (pos < n) {
        int count = int(ARows.size()) + 1;
        bool last;
        if (AParams.SingleLine) last = true;
        else {
            last = AMaxLineCount > 0 && count >= AMaxLineCount;
            if (AParams.VertMode == 0 && !AParams.CalcOnly) {
                int total = count * AParams.RowHeight;
                if (!AParams.CharCutEllipsis || AParams.NoClip) last = last || total > height;
                else last = last || total + AParams.RowHeight > height;
            }
        }
        int next = n;
        if (ARows.size() == ARows.capacity()) ARows.reserve(ARows.size() + 4);
        ARows.push_back(breaker.Make(pos, last, next));
        pos = next;
        if (last) break;
    }
    ARows.shrink_to_fit();
    ARowCount = int(ARows.size());
    return !(AMaxLineCount > 0 && ARowCount >= AMaxLineCount && pos < n && !AParams.SingleLine &&
             !AParams.CalcOnly);
}

void LayoutTextRows(const TRect& ARect, const TcxTextLayoutParams& AParams, int ARowCount,
                    TcxTextRows& ARows)
{
    if (ARowCount <= 0) return;
    int pitch = AParams.RowHeight;
    int spread = 0;
    int height = ARect.Bottom - ARect.Top;
    if (AParams.VertMode == 3 && ARowCount > 1) {
        int free = height - AParams.LineHeight;
        if (free / (ARowCount - 1) > AParams.LineHeight) {
            pitch = free / (ARowCount - 1);
            spread = free % (ARowCount - 1);
        }
    }
    int top = ARect.Top;
    if (AParams.VertMode == 1) top = ARect.Top + (height - ARowCount * pitch) / 2;
    else if (AParams.VertMode == 2) top = ARect.Bottom - ARowCount * pitch + AParams.ExternalLeading;
    if (AParams.DontStartAboveTop) top = std::max(top, ARect.Top);
    int width = ARect.Right - ARect.Left;
    for (int i = 0; i < ARowCount; ++i) {
        TcxTextRowData& r = ARows[size_t(i)];
        if (AParams.HorzMode == cxAlignHCenter) r.Left = ARect.Left + (width - r.Width) / 2;
        else if (AParams.HorzMode == cxAlignRight) r.Left = ARect.Right - r.Width;
        else r.Left = ARect.Left;
        if (AParams.DontStartLeftOut) r.Left = std::max(r.Left, ARect.Left);
        r.Top = top;
        top += pitch + (spread > 0 ? 1 : 0);
        if (spread > 0) --spread;
    }
}

namespace {

// The x of each character boundary of a row as drawn: the run widths plus
// the justification's extra pixels after each break character.
std::vector<int> RowOffsets(TcxTextDevice& ADevice, std::u32string_view ARow,
                            const TcxTextLayoutParams& AParams, int AExtra, int ABreaks)
{
    std::vector<int> x(ARow.size() + 1, 0);
    int seen = 0;
    int run = 0;
    for (size_t k = 1; k <= ARow.size(); ++k) {
        // Tabs depend on where the run stands: the run so far is measured.
        run = AParams.ExpandTabs ? ADevice.Width(ARow.substr(0, k), true)
                                 : run + ADevice.Width(ARow.substr(k - 1, 1), false);
        x[k] = run;
        char32_t c = ARow[k - 1];
        if (ABreaks > 0 && (c == AParams.BreakChar || c == '\t')) ++seen;
        if (ABreaks > 0) x[k] += AExtra / ABreaks * seen + std::min(seen, AExtra % ABreaks);
    }
    return x;
}

// Draws the row piece by piece when justified, so the breaks take the spare width.
void DrawRow(TcxTextDevice& ADevice, int X, int Y, std::u32string_view ARow,
             const std::vector<int>& AX, const TcxTextLayoutParams& AParams, bool AJustified,
             const TRect* AClip, TColor AColor)
{
    if (!AJustified) {
        ADevice.Draw(X, Y, ARow, AParams.ExpandTabs, AClip, AColor);
        return;
    }
    size_t from = 0;
    for (size_t k = 0; k <= ARow.size(); ++k) {
        if (k < ARow.size() && ARow[k] != AParams.BreakChar && ARow[k] != '\t') continue;
        if (k > from) ADevice.Draw(X + AX[from], Y, ARow.substr(from, k - from), AParams.ExpandTabs, AClip, AColor);
        from = k + 1;
    }
}

}  // namespace

void DrawTextRows(TcxTextDevice& ADevice, const std::u32string& AText, const TRect& ARect,
                  const TcxTextLayoutParams& AParams, bool ALastRowEllipsis, TColor ASelBkColor,
                  TColor ASelTextColor, int ASelLength, int ASelStart, int ARowCount,
                  const TcxTextRows& ARows)
{
    TColor color = ADevice.TextColor();
    int width = ARect.Right - ARect.Left;
    for (int i = 0; i < ARowCount; ++i) {
        const TcxTextRowData& r = ARows[size_t(i)];
        bool lastRow = i == ARowCount - 1;
        bool ellipsisRow = AParams.EndEllipsis && lastRow && (ALastRowEllipsis || r.Width > width);
        TRect box{r.Left, r.Top, r.Left + r.Width, r.Top + AParams.RowHeight};
        bool clip = !AParams.NoClip &&
                    (r.Width > width || box.Top < ARect.Top || box.Bottom > ARect.Bottom);
        TRect clipRect = box;
        if (clip) {
            clipRect.Left = std::max(clipRect.Left, ARect.Left);
            clipRect.Top = std::max(clipRect.Top, ARect.Top);
            clipRect.Right = std::min(clipRect.Right, ARect.Right);
            clipRect.Bottom = std::min(clipRect.Bottom, ARect.Bottom);
        }
        std::u32string_view row = std::u32string_view(AText).substr(size_t(r.Start), size_t(r.Length));
        if (row.empty()) {
            if (ellipsisRow) ADevice.Draw(r.Left, r.Top, kEllipsis, false, clip ? &clipRect : nullptr, color);
            continue;
        }
        if (ellipsisRow) {
            // The characters that fit before the ellipsis, at least one.
            size_t fit = row.size();
            while (fit > 1 && ADevice.Width(row.substr(0, fit), AParams.ExpandTabs) >
                                  width - AParams.EllipsisWidth)
                --fit;
            row = row.substr(0, fit);
        }
        bool justified = IsJustify(AParams.HorzMode) && !ellipsisRow && r.BreakCount > 0 &&
                         r.Width < width;
        int extra = justified ? width - r.Width : 0;
        // The characters' places are measured only for what needs them: a
        // plain row is drawn in one piece.
        std::vector<int> x;
        if (justified || ellipsisRow || ASelLength > 0)
            x = RowOffsets(ADevice, row, AParams, extra, justified ? r.BreakCount : 0);
        const TRect* clipArg = clip ? &clipRect : nullptr;
        DrawRow(ADevice, r.Left, r.Top, row, x, AParams, justified, clipArg, color);
        if (ASelLength > 0) {
            int s = std::max(ASelStart, r.Start) - r.Start;
            int e = std::min(ASelStart + ASelLength, r.Start + int(row.size())) - r.Start;
            if (s < e) {
                TRect sel{r.Left + x[size_t(s)], r.Top, r.Left + x[size_t(e)], r.Top + AParams.RowHeight};
                if (clip) {
                    sel.Left = std::max(sel.Left, clipRect.Left);
                    sel.Right = std::min(sel.Right, clipRect.Right);
                    sel.Top = std::max(sel.Top, clipRect.Top);
                    sel.Bottom = std::min(sel.Bottom, clipRect.Bottom);
                }
                ADevice.Fill(sel, ASelBkColor);
                DrawRow(ADevice, r.Left, r.Top, row, x, AParams, justified, &sel, ASelTextColor);
            }
        }
        if (ellipsisRow) {
            int ex = r.Left + x.back();
            TRect eclip{ex, r.Top, ex + AParams.EllipsisWidth, r.Top + AParams.RowHeight};
            bool cut = !AParams.NoClip && eclip.Right > ARect.Right;
            if (cut) eclip.Right = ARect.Right;
            ADevice.Draw(ex, r.Top, kEllipsis, false, cut ? &eclip : nullptr, color);
        }
    }
}

int GetMaxRowWidth(const TcxTextRows& ARows, int ACount)
{
    int w = 0;
    for (int i = 0; i < ACount && i < int(ARows.size()); ++i) w = std::max(w, ARows[size_t(i)].Width);
    return w;
}

namespace {
// The last-row ellipsis: the line limit cut text off, and end ellipsis,
// char-cut ellipsis and several lines are asked.
bool LastRowEllipsis(bool AFits, const TcxTextLayoutParams& P)
{
    return !AFits && P.EndEllipsis && P.CharCutEllipsis && !P.SingleLine;
}
}  // namespace

int DrawText(TcxTextDevice& ADevice, const std::string& AText, TRect& ARect, int ALeftIndent,
             int ARightIndent, int AMaxLineCount, TColor ASelBkColor, TColor ASelTextColor,
             int ASelLength, int ASelStart, int AFlags)
{
    if (AText.empty()) return 0;
    std::u32string text = ToU32(AText);
    TcxTextLayoutParams p;
    PrepareTextParams(ADevice, AFlags, p);
    TRect r = ARect;
    r.Left += ALeftIndent;
    r.Right -= ARightIndent;
    if (p.CalcOnly ? r.Right <= r.Left : (r.Right <= r.Left || r.Bottom <= r.Top)) return 0;
    TcxTextRows rows;
    int count = 0;
    bool fits = MakeTextRows(ADevice, text, r, AMaxLineCount, count, rows, p);
    if (count == 0) return 0;
    if (p.CalcOnly) {
        r.Right = r.Left + GetMaxRowWidth(rows, count);
        if (!p.SingleLine) MakeTextRows(ADevice, text, r, AMaxLineCount, count, rows, p);
        LayoutTextRows(r, p, count, rows);
        r.Bottom = rows[size_t(count - 1)].Top + p.LineHeight;
        r.Left -= ALeftIndent;
        r.Right += ARightIndent;
        ARect = r;
    } else {
        int selStart = std::clamp(ASelStart, 0, int(text.size()));
        int selLength = std::clamp(ASelLength, 0, int(text.size()) - selStart);
        LayoutTextRows(r, p, count, rows);
        DrawTextRows(ADevice, text, r, p, LastRowEllipsis(fits, p), ASelBkColor, ASelTextColor,
                     selLength, selStart, count, rows);
    }
    if (p.ReturnRowCount) return count;
    return rows[size_t(count - 1)].Top + p.LineHeight - r.Top;
}

int DrawText(TCanvas* ACanvas, const std::string& AText, TRect& ARect, int ALeftIndent,
             int ARightIndent, int AMaxLineCount, TColor ASelBkColor, TColor ASelTextColor,
             int ASelLength, int ASelStart, int AFlags)
{
    TcxDCTextDevice device(ACanvas->Handle());
    int oldMode = SetBkMode(ACanvas->Handle(), TRANSPARENT);
    int r = DrawText(device, AText, ARect, ALeftIndent, ARightIndent, AMaxLineCount, ASelBkColor,
                     ASelTextColor, ASelLength, ASelStart, AFlags);
    SetBkMode(ACanvas->Handle(), oldMode);
    return r;
}

int DrawEditText(TCanvas* ACanvas, const std::string& AText, TRect& ARect, int ALeftIndent,
                 int ARightIndent, int AMaxLineCount, int AFlags)
{
    SetTextColor(ACanvas->Handle(), ColorToRGB(ACanvas->Font()->Color()));
    return DrawText(ACanvas, AText, ARect, ALeftIndent, ARightIndent, AMaxLineCount, clNone, clNone,
                    0, 0, AFlags);
}

void PrepareTextOutData(TcxTextDevice& ADevice, const std::string& AText, const TRect& ARect,
                        int AFlags, int AMaxLineCount, int ASelStart, int ASelLength,
                        TColor ASelBkColor, TColor ASelTextColor, TcxTextOutData& AData)
{
    AData.TextRows.clear();
    AData.RowCount = 0;
    AData.Text = ToU32(AText);
    AData.TextRect = ARect;
    if (!AData.Text.empty()) {
        PrepareTextParams(ADevice, AFlags, AData.TextParams);
        bool fits = MakeTextRows(ADevice, AData.Text, ARect, AMaxLineCount, AData.RowCount,
                                 AData.TextRows, AData.TextParams);
        AData.LastRowEllipsis = LastRowEllipsis(fits, AData.TextParams);
        LayoutTextRows(ARect, AData.TextParams, AData.RowCount, AData.TextRows);
        int n = int(AData.Text.size());
        AData.SelStart = std::clamp(ASelStart, 0, n);
        AData.SelLength = std::clamp(ASelLength, 0, n - AData.SelStart);
        AData.SelBkColor = ASelBkColor;
        AData.SelTextColor = ASelTextColor;
    }
    AData.Prepared = true;
}

void DrawTextOutData(TcxTextDevice& ADevice, TcxTextOutData& AData)
{
    if (!AData.Prepared) return;
    DrawTextRows(ADevice, AData.Text, AData.TextRect, AData.TextParams, AData.LastRowEllipsis,
                 AData.SelBkColor, AData.SelTextColor, AData.SelLength, AData.SelStart,
                 AData.RowCount, AData.TextRows);
}

int CanvasTextFlagsToTextFlags(int AFlags)
{
    int r = 0;
    if (AFlags & ctfRight) r |= cxAlignRight;
    if (AFlags & ctfCenterH) r |= cxAlignHCenter;
    if (AFlags & ctfBottom) r |= cxAlignBottom;
    if (AFlags & ctfCenterV) r |= cxAlignVCenter;
    if (AFlags & ctfSingleLine) r |= cxSingleLine;
    return r;
}

int TextFlagsToCanvasTextFlags(int AFlags)
{
    int r = 0;
    int h = AFlags & cxAlignHorzMask, v = AFlags & cxAlignVertMask;
    if (h == cxAlignHCenter) r |= ctfCenterH;
    else if (h == cxAlignRight) r |= ctfRight;
    else r |= ctfLeft;
    if (v == cxAlignVCenter) r |= ctfCenterV;
    else if (v == cxAlignBottom) r |= ctfBottom;
    else r |= ctfTop;
    if (AFlags & cxSingleLine) r |= ctfSingleLine;
    return r;
}

}  // namespace cxEditTextUtils
