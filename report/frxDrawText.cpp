#include "frxDrawText.h"

#include "Graphics.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"
#include "frxPrinter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kRatio = 6.25;   // 600 / 96

int RoundI(double v)
{
    if (!std::isfinite(v)) return 0;
    double r = std::nearbyint(v);
    if (r > std::numeric_limits<int>::max() / 2) return std::numeric_limits<int>::max() / 2;
    if (r < std::numeric_limits<int>::min() / 2) return std::numeric_limits<int>::min() / 2;
    return int(r);
}

std::u32string ToU32(const std::string& s)
{
    std::u32string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
        else { r.push_back(U'\uFFFD'); ++i; continue; }
        if (i + n > s.size()) { r.push_back(U'\uFFFD'); break; }
        bool ok = true;
        for (int k = 1; k < n; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d >> 6) != 2) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { r.push_back(U'\uFFFD'); ++i; continue; }
        r.push_back(cp);
        i += size_t(n);
    }
    return r;
}

std::string ToU8(const std::u32string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char32_t c : s) {
        if (c < 0x80) r += char(c);
        else if (c < 0x800) { r += char(0xC0 | (c >> 6)); r += char(0x80 | (c & 0x3F)); }
        else if (c < 0x10000) {
            r += char(0xE0 | (c >> 12)); r += char(0x80 | ((c >> 6) & 0x3F)); r += char(0x80 | (c & 0x3F));
        } else {
            r += char(0xF0 | (c >> 18)); r += char(0x80 | ((c >> 12) & 0x3F));
            r += char(0x80 | ((c >> 6) & 0x3F)); r += char(0x80 | (c & 0x3F));
        }
    }
    return r;
}

char32_t Up(char32_t c)
{
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;   // Cyrillic а..я
    if (c == 0x451) return 0x401;                     // ё
    return c;
}

std::u32string UpperU32(std::u32string s)
{
    for (auto& c : s) c = Up(c);
    return s;
}

bool StartsWith(const std::u32string& s, size_t at, const char* ascii)
{
    for (size_t k = 0; ascii[k]; ++k)
        if (at + k >= s.size() || Up(s[at + k]) != char32_t(static_cast<unsigned char>(ascii[k]))) return false;
    return true;
}

TFontStyles ToFontStyles(int bits)
{
    TFontStyles s;
    if (bits & 1) s.Include(fsBold);
    if (bits & 2) s.Include(fsItalic);
    if (bits & 4) s.Include(fsUnderline);
    if (bits & 8) s.Include(fsStrikeOut);
    return s;
}

int FromFontStyles(TFontStyles s)
{
    return (s.Contains(fsBold) ? 1 : 0) | (s.Contains(fsItalic) ? 2 : 0) |
           (s.Contains(fsUnderline) ? 4 : 0) | (s.Contains(fsStrikeOut) ? 8 : 0);
}

// Pushes the canvas's font, pen and brush into its device context.
HDC Prepared(TCanvas* canvas)
{
    canvas->TextExtent(std::string());
    return canvas->Handle();
}

// The cyrillic letters of a word as the bytes of the Cyrillic code page the
// syllable rule is written for; anything else is 0 (neither set).
uint8_t CyrByte(char32_t c)
{
    if (c >= 0x410 && c <= 0x42F) return uint8_t(0xC0 + (c - 0x410));
    if (c == 0x401) return 0xA8;
    return 0;
}

bool IsVowel(uint8_t b)
{
    switch (b) {
    case 0xC0: case 0xC5: case 0xA8: case 0xC8: case 0xCE: case 0xD3: case 0xDB: case 0xDD: case 0xDE: case 0xDF:
        return true;
    default: return false;
    }
}

bool IsConsonant(uint8_t b)
{
    switch (b) {
    case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC6: case 0xC7: case 0xC9: case 0xCA: case 0xCB:
    case 0xCC: case 0xCD: case 0xCF: case 0xD0: case 0xD1: case 0xD2: case 0xD4: case 0xD5: case 0xD6:
    case 0xD7: case 0xD8: case 0xD9: case 0xDC: case 0xDA:
        return true;
    default: return false;
    }
}

}  // namespace

// ---- tag list -----------------------------------------------------------------------------------

void TfrxHTMLTagsList::SetDefaults(TColor color, int size, int style)
{
    BaseColor = CurColor = color;
    BaseSize = CurSize = size;
    BaseStyle = CurStyle = style;
    CurLowered = 0;
    NextPos = 1;
    FLines.clear();
}

void TfrxHTMLTagsList::AddRecord()
{
    TfrxHTMLTag t;
    t.SourcePos = NextPos;
    t.CharSize = CurSize;
    t.CharStyle = CurStyle;
    t.CharColor = CurColor;
    t.Lowered = CurLowered;
    t.Reduced = CurSize != BaseSize;
    if (!TagsEnabled) {
        t.SameAsPrevious = true;
    } else {
        const TfrxHTMLTag* prev = nullptr;
        for (int i = int(FLines.size()) - 1; i >= 0 && !prev; --i)
            if (!FLines[size_t(i)].empty()) prev = &FLines[size_t(i)].back();
        if (prev)
            t.SameAsPrevious = prev->CharStyle == t.CharStyle && prev->CharColor == t.CharColor &&
                               prev->CharSize == t.CharSize;
        else
            t.SameAsPrevious = BaseStyle == t.CharStyle && BaseColor == t.CharColor && BaseSize == t.CharSize;
    }
    if (FLines.empty()) FLines.emplace_back();
    FLines.back().push_back(t);
}

void TfrxHTMLTagsList::ExpandHTMLTags(std::u32string& s)
{
    size_t i = 0;
    auto take = [&](size_t n) {
        s.erase(i, n);
        NextPos += int(n);
    };
    while (i < s.size()) {
        if (s[i] == U'<' && TagsEnabled) {
            // <b> <i> <u>
            if (i + 2 < s.size() && s[i + 2] == U'>') {
                char32_t l = Up(s[i + 1]);
                int bit = l == U'B' ? 1 : l == U'I' ? 2 : l == U'U' ? 4 : 0;
                if (bit) { CurStyle |= bit; take(3); continue; }
            }
            // <sub> <sup>
            if (i + 4 < s.size() && s[i + 4] == U'>') {
                if (StartsWith(s, i + 1, "SUB>")) { CurSize = int(std::nearbyint(BaseSize / 1.5)); CurLowered = 1; take(5); continue; }
                if (StartsWith(s, i + 1, "SUP>")) { CurSize = int(std::nearbyint(BaseSize / 1.5)); CurLowered = 0; take(5); continue; }
            }
            if (StartsWith(s, i + 1, "STRIKE>")) { CurStyle |= 8; take(8); continue; }
            // </b> </i> </u>
            if (i + 3 < s.size() && s[i + 1] == U'/' && s[i + 3] == U'>') {
                char32_t l = Up(s[i + 2]);
                int bit = l == U'B' ? 1 : l == U'I' ? 2 : l == U'U' ? 4 : 0;
                if (bit) { CurStyle &= ~bit; take(4); continue; }
            }
            if (i + 1 < s.size() && s[i + 1] == U'/') {
                if (StartsWith(s, i + 2, "STRIKE>")) { CurStyle &= ~8; take(9); continue; }
                if (StartsWith(s, i + 2, "FONT>")) { CurColor = BaseColor; take(7); continue; }
                if (StartsWith(s, i + 2, "SUB>") || StartsWith(s, i + 2, "SUP>")) {
                    CurSize = BaseSize; CurLowered = 0; take(6); continue;
                }
            }
            if (StartsWith(s, i + 1, "FONT COLOR")) {
                size_t eq = s.find(U'=', i + 11);
                size_t gt = s.find(U'>', i + 11);
                if (eq != std::u32string::npos && gt != std::u32string::npos && eq < gt) {
                    size_t v = eq + 1;
                    while (v < gt && s[v] == U' ') ++v;
                    std::string value = ToU8(s.substr(v, gt - v));
                    bool ok = false;
                    TColor c = 0;
                    if (value.size() > 3 && value[0] == '"' && value[1] == '#' && value.back() == '"') {
                        // A malformed number leaves the tag as text: data text
                        // must never stop a page from drawing.
                        std::string hex = value.substr(2, value.size() - 3);
                        if (!hex.empty() && hex.size() <= 8 &&
                            hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
                            uint32_t rgb = uint32_t(std::stoul(hex, nullptr, 16));
                            c = TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
                            ok = true;
                        }
                    } else if (!value.empty()) {
                        ok = IdentToColor("cl" + value, c);
                    }
                    if (ok) {
                        CurColor = c;
                        take(gt - i + 1);
                        continue;
                    }
                }
            }
        }
        AddRecord();
        ++i;
        ++NextPos;
    }
}

void TfrxHTMLTagsList::SplitLine(int index, int n, bool hyphen)
{
    TfrxHTMLTags& line = FLines.at(size_t(index));
    if (n < 0) n = 0;
    if (size_t(n) >= line.size()) return;
    TfrxHTMLTags rest(line.begin() + n, line.end());
    line.erase(line.begin() + n, line.end());
    if (hyphen && n > 0) line.push_back(line[size_t(n - 1)]);
    FLines.insert(FLines.begin() + index + 1, std::move(rest));
}

// ---- renderer -------------------------------------------------------------------------------------

TfrxDrawText::TfrxDrawText() : FMeasureBitmap(std::make_unique<TBitmap>(1, 1)) {}

TfrxDrawText::~TfrxDrawText() = default;

TfrxDrawText& TfrxDrawText::Global()
{
    static TfrxDrawText* g = new TfrxDrawText();
    return *g;
}

// The renderer serves one caller at a time on the user-interface thread; a
// nested user (a paint handler while a layout is under way) gets the state
// as it finds it, which every caller rebuilds before use anyway.
void TfrxDrawText::Acquire() { FBusy = true; }
void TfrxDrawText::Release() { FBusy = false; }

TCanvas* TfrxDrawText::MeasureCanvas() const { return FMeasureBitmap->Canvas(); }

int TfrxDrawText::MeasureHeight() const { return -MeasureCanvas()->Font()->Height(); }

void TfrxDrawText::ApplyFont(const TfrxFont* font)
{
    FPointSize = font->Size();
    TFont* f = MeasureCanvas()->Font();
    if (f->Name() != font->Name()) f->SetName(font->Name());
    int h = -RoundI(font->Size() * 600.0 / 72);
    if (f->Height() != h) f->SetHeight(h);
    TFontStyles st = ToFontStyles(font->Style());
    if (!(f->Style() == st)) f->SetStyle(st);
    if (f->Charset() != TFontCharset(font->Charset())) f->SetCharset(TFontCharset(font->Charset()));
    if (f->Color() != font->Color()) f->SetColor(font->Color());
    FFontStyle = font->Style();
}

void TfrxDrawText::SetLayoutOptions(bool wordWrap, bool allowHTMLTags, int rotation, bool wordBreak,
                                    bool rtlReading)
{
    FWordWrap = wordWrap;
    FTags.TagsEnabled = allowHTMLTags;
    FRotation = ((rotation % 360) + 360) % 360;
    FWordBreak = wordBreak;
    FRTLReading = rtlReading;
    FTextOutOptions = ETO_CLIPPED | (rtlReading ? ETO_RTLREADING : 0);
}

void TfrxDrawText::SetSpacing(double lineSpacing, double charSpacing, double paragraphGap)
{
    FLineSpacing = lineSpacing;
    FCharSpacing = charSpacing;
    FParagraphGap = paragraphGap;
}

void TfrxDrawText::SetArea(const TRect& layoutRect, const TRect& deviceRect, double scaleX, double scaleY)
{
    FLayoutRect = layoutRect;
    FDeviceRect = deviceRect;
    FScaleX = scaleX;
    FScaleY = scaleY;
}

void TfrxDrawText::MeasureExtents(const std::u32string& text, TCanvas* canvas, std::vector<int>& ext)
{
    ext.assign(text.size(), 0);
    if (text.empty()) return;
    HDC dc = Prepared(canvas);
    // The platform measures every prefix of what it is given, so a long text
    // goes in pieces, each piece's extents carried on from the last.
    constexpr size_t kPiece = 256;
    int carried = 0;
    std::vector<int> dx;
    for (size_t from = 0; from < text.size(); from += kPiece) {
        std::u32string piece = text.substr(from, kPiece);
        std::string u8 = ToU8(piece);
        std::u16string u16 = Utf8ToUtf16(u8);
        dx.assign(u16.size() + 1, 0);
        TSize sz;
        GetTextExtentExPoint(dc, u8, 0, nullptr, dx.data(), &sz);
        // Partial extents come per UTF-16 unit; a character outside the basic
        // plane takes the extent of its second unit.
        size_t u = 0;
        for (size_t k = 0; k < piece.size(); ++k) {
            u += piece[k] >= 0x10000 ? 2 : 1;
            ext[from + k] = carried + dx[std::min(u, dx.size()) - 1];
        }
        carried = ext[from + piece.size() - 1];
    }
}

int TfrxDrawText::MeasureChars(const std::u32string& text, bool cumulative, int spacing, int lineIndex,
                               TCanvas* canvas)
{
    FCharWidths.assign(text.size(), 0);
    if (text.empty()) return 0;
    TfrxHTMLTags* tags = lineIndex >= 0 && lineIndex < FTags.Count() ? &FTags.Items(lineIndex) : nullptr;
    auto rec = [&](size_t k) -> const TfrxHTMLTag* { return tags && k < tags->size() ? &(*tags)[k] : nullptr; };
    TFont* font = canvas->Font();
    const TFontStyles saved = font->Style();
    if (const TfrxHTMLTag* r = rec(0); r && !r->SameAsPrevious) font->SetStyle(ToFontStyles(r->CharStyle));
    MeasureExtents(text, canvas, FExtents);
    int total = 0;
    for (size_t k = 0; k < text.size(); ++k) {
        const TfrxHTMLTag* r = rec(k);
        if (k > 0 && r && !r->SameAsPrevious) {
            font->SetStyle(ToFontStyles(r->CharStyle));
            MeasureExtents(text, canvas, FExtents);
        }
        int adv = FExtents[k] + spacing - (k > 0 ? FExtents[k - 1] : 0);
        if (r && r->Reduced) adv = RoundI(adv / 1.5);
        FCharWidths[k] = cumulative && k > 0 ? FCharWidths[k - 1] + adv : adv;
        total += adv;
    }
    if (!(font->Style() == saved)) font->SetStyle(saved);
    return total;
}

void TfrxDrawText::SpreadUnits(std::vector<int>& a, int first, int last, int delta, int count)
{
    if (count <= 0 || last < first) return;
    int half = std::max(1, (last - first + 1) / 2);
    if (count == 1) {
        size_t idx = size_t(first + half - 1 - 1);
        if (idx < a.size()) a[idx] += delta;
        return;
    }
    SpreadUnits(a, first, first + half - 1, delta, count / 2);
    SpreadUnits(a, first + half, last, delta, count - count / 2);
}

std::vector<int> TfrxDrawText::SyllableBreaks(const std::u32string& word)
{
    std::vector<int> r;
    const int len = int(word.size());
    if (len <= 3) return r;
    std::vector<uint8_t> b(size_t(len) + 1, 0);   // 1-based
    for (int i = 0; i < len; ++i) b[size_t(i + 1)] = CyrByte(word[size_t(i)]);
    auto hasVowel = [&](int from, int to) {
        for (int k = from; k <= to; ++k)
            if (IsVowel(b[size_t(k)])) return true;
        return false;
    };
    for (int p = 1; p <= len; ++p) {
        uint8_t c = b[size_t(p)];
        bool hasN = p < len;
        uint8_t n = hasN ? b[size_t(p + 1)] : 0;
        bool cand = false;
        if (IsConsonant(c))
            cand = !(hasN && (IsVowel(n) || n == 0xDA || n == 0xDC));
        else if (IsVowel(c))
            cand = !((hasN && n == 0xC9) ||
                     (p < len - 2 && IsConsonant(n) && n == b[size_t(p + 2)] && IsVowel(b[size_t(p + 3)])));
        if (!cand) continue;
        if (p >= 2 && len - p >= 2 && hasVowel(1, p) && hasVowel(p + 1, len)) r.push_back(p);
    }
    return r;
}

std::u32string TfrxDrawText::HyphenatePrefix(const std::u32string& s, int from, int at)
{
    int e = at;
    while (e <= int(s.size())) {
        char32_t c = s[size_t(e - 1)];
        if (c == U' ' || c == U'.' || c == U',' || c == U'-' || c == U';') break;
        ++e;
    }
    if (from < 1 || e - from <= 0) return {};
    std::u32string word = s.substr(size_t(from - 1), size_t(e - from));
    std::vector<int> breaks = SyllableBreaks(UpperU32(word));
    int fit = at - from;
    int best = 0;
    for (int p : breaks)
        if (p < fit && p > best) best = p;
    return best > 0 ? word.substr(0, size_t(best)) : std::u32string();
}

void TfrxDrawText::WrapParagraph(std::u32string s, int fullWidth, int spacing, int firstWidth)
{
    FTags.NewLine();
    FTags.ExpandHTMLTags(s);
    FTags.NextPos += 2;
    const int tagLine0 = FTags.Count() - 1;
    const int n = int(s.size());
    if (n <= 1 || !FWordWrap) {
        AddLine(s);
        return;
    }
    int total = MeasureChars(s, true, spacing, tagLine0, MeasureCanvas());
    if (total < firstWidth) {
        AddLine(s);
        return;
    }
    std::vector<int> cum = FCharWidths;   // C(i) = cum[i - 1]
    auto C = [&](int i) { return i >= 1 ? cum[size_t(i - 1)] : 0; };
    auto sub = [&](int a, int b) { return b >= a ? s.substr(size_t(a - 1), size_t(b - a + 1)) : std::u32string(); };
    // The tag line is cut once the breaks are known: cutting the rest off at
    // every break would copy it again and again on a long paragraph.
    std::vector<std::pair<int, bool>> cuts;
    auto split = [&](int k, bool hyphen) { cuts.emplace_back(k, hyphen); };
    int lineStart = 1, lastSpace = 1, base = 0, limit = firstWidth;
    for (int i = 1; i <= n; ++i) {
        if (s[size_t(i - 1)] == U' ') lastSpace = i;
        if (C(i) - base <= limit) continue;
        if (lastSpace == lineStart) {
            if (i == lineStart) {
                AddLine(sub(i, i));
                split(1, false);
            } else if (FWordBreak) {
                std::u32string h = HyphenatePrefix(s, lineStart, i);
                if (!h.empty()) {
                    AddLine(h + U"-");
                    split(int(h.size()), true);
                    lastSpace = lineStart + int(h.size()) - 1;
                } else {
                    AddLine(sub(lineStart, i - 1));
                    split(i - lineStart, false);
                    lastSpace = i - 1;
                }
            } else {
                AddLine(sub(lineStart, i - 1));
                split(i - lineStart, false);
                lastSpace = i - 1;
            }
        } else if (FWordBreak) {
            std::u32string h = HyphenatePrefix(s, lastSpace + 1, i);
            if (!h.empty()) {
                AddLine(sub(lineStart, lastSpace) + h + U"-");
                split(lastSpace - lineStart + int(h.size()) + 1, true);
                lastSpace += int(h.size());
            } else {
                AddLine(sub(lineStart, lastSpace - 1));
                split(lastSpace - lineStart + 1, false);
            }
        } else {
            AddLine(sub(lineStart, lastSpace - 1));
            split(lastSpace - lineStart + 1, false);
        }
        i = lastSpace;
        base = C(i);
        lineStart = lastSpace = i + 1;
        limit = fullWidth;
    }
    if (lineStart <= n) AddLine(sub(lineStart, n));
    TfrxHTMLTags all = std::move(FTags.Items(tagLine0));
    FTags.Items(tagLine0).clear();
    size_t pos = 0;
    int line = tagLine0;
    for (auto [k, hyphen] : cuts) {
        size_t count = size_t(std::max(0, k));
        if (pos + count >= all.size()) break;   // nothing left to move on
        TfrxHTMLTags& t = FTags.Items(line);
        t.insert(t.end(), all.begin() + long(pos), all.begin() + long(pos + count));
        if (hyphen && count > 0) t.push_back(all[pos + count - 1]);
        pos += count;
        FTags.NewLine();
        line = FTags.Count() - 1;
    }
    TfrxHTMLTags& last = FTags.Items(line);
    last.insert(last.end(), all.begin() + long(pos), all.end());
}

void TfrxDrawText::BuildLines(const std::vector<std::string>& paragraphs)
{
    FSourceText.clear();
    FSourceUtf8.clear();
    FLines.clear();
    FLineFlags.clear();
    TFont* mf = MeasureCanvas()->Font();
    FTags.SetDefaults(mf->Color(), FPointSize, FromFontStyles(mf->Style()));
    if (paragraphs.empty()) return;
    const TFontStyles saved = mf->Style();
    int w = FLayoutRect.Right - FLayoutRect.Left;
    if ((FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359))
        w = FLayoutRect.Bottom - FLayoutRect.Top;
    const int full = RoundI(600.0 * w / 96);
    const int spacing = RoundI(600.0 * FCharSpacing / 96);
    const int first = RoundI((w - FParagraphGap) * 600 / 96);
    for (const std::string& para : paragraphs) {
        std::u32string p = para.empty() ? std::u32string(U" ") : ToU32(para);
        size_t before = FLines.size();
        FSourceText += p;
        FSourceText += U"\r\n";
        WrapParagraph(p, full, spacing, first);
        size_t added = FLines.size() - before;
        if (added == 1) FLineFlags[before] = 3;
        else if (added > 1) {
            FLineFlags[before] = 1;
            FLineFlags.back() = 2;
        }
    }
    // A paragraph made only of tags shows no characters but still takes a
    // line: keep one tag line per laid-out line.
    while (FTags.Count() < int(FLines.size())) FTags.NewLine();
    mf->SetStyle(saved);
}

std::string TfrxDrawText::Line(int i) const { return ToU8(FLines.at(size_t(i))); }

std::vector<std::string> TfrxDrawText::LaidLines() const
{
    std::vector<std::string> r;
    r.reserve(FLines.size());
    for (const auto& l : FLines) r.push_back(ToU8(l));
    return r;
}

const std::string& TfrxDrawText::SourceText() const
{
    FSourceUtf8 = ToU8(FSourceText);
    return FSourceUtf8;
}

double TfrxDrawText::LineStep() const { return MeasureHeight() / kRatio + FLineSpacing; }

double TfrxDrawText::TextBlockHeight() const { return FLines.empty() ? 0 : FLines.size() * LineStep(); }

double TfrxDrawText::WidestLine()
{
    if (FLines.empty()) return 0;
    TCanvas* c = MeasureCanvas();
    int widest = 0;
    for (size_t i = 0; i < FLines.size(); ++i) {
        int w = c->TextWidth(ToU8(FLines[i])) + RoundI(FLines[i].size() * FCharSpacing * kRatio);
        if (FLineFlags[i] & 1) w += RoundI(FParagraphGap * kRatio);
        widest = std::max(widest, w);
    }
    return widest / kRatio;
}

double TfrxDrawText::SpareHeight() const
{
    double step = LineStep();
    double avail = FLayoutRect.Bottom - FLayoutRect.Top + 1;
    if (step <= 0) return 0;
    double n = std::trunc(avail / step);
    if (n == 0) return 0;
    double r = avail - n * step;
    return r == 0 ? 0.0001 : r;
}

std::string TfrxDrawText::TakeOverflow()
{
    if (FLines.empty()) return {};
    double step = LineStep();
    int n = step > 0 ? int(std::min<double>(std::trunc((FLayoutRect.Bottom - FLayoutRect.Top + 1) / step),
                                             double(FLines.size())))
                     : int(FLines.size());
    n = std::max(0, n);
    if (n >= FTags.Count()) return {};
    FLines.resize(size_t(n));
    FLineFlags.resize(size_t(n));
    TfrxHTMLTags& t = FTags.Items(n);
    if (t.empty()) return {};
    const TfrxHTMLTag first = t.front();
    size_t p = size_t(std::max(1, first.SourcePos) - 1);
    if (p > FSourceText.size()) p = FSourceText.size();
    std::string rest = ToU8(FSourceText.substr(p));
    FSourceText.erase(p);
    FSourceUtf8.clear();
    if (FTags.TagsEnabled) {
        TColor c = first.CharColor;
        std::string prefix = "<font color=\"#" +
                             Format("%.2X%.2X%.2X", {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}) +
                             "\">";
        if (first.CharStyle & 4) prefix += "<u>";
        if (first.CharStyle & 2) prefix += "<i>";
        if (first.CharStyle & 1) prefix += "<b>";
        rest = prefix + rest;
    }
    return rest;
}

std::string TfrxDrawText::FittingText() const { return SourceText(); }

std::string TfrxDrawText::StripTags(const std::string& text)
{
    std::u32string s = ToU32(text);
    FTags.ExpandHTMLTags(s);
    return ToU8(s);
}

bool TfrxDrawText::IsPrinterCanvas(TCanvas* canvas)
{
    return canvas && canvas->InheritsFrom(TfrxPrinterCanvas::StaticClass());
}

void TfrxDrawText::ApplyTagFont(TCanvas* canvas, const TfrxHTMLTag& tag, bool printer, int ppi)
{
    TFont* f = canvas->Font();
    f->SetHeight(printer ? -RoundI(ppi * tag.CharSize / 72.0) : -RoundI(tag.CharSize * FScaleY * 96 / 72));
    f->SetStyle(ToFontStyles(tag.CharStyle));
    f->SetColor(tag.CharColor);
}

TfrxDrawText::TPlacement TfrxDrawText::Place(bool printer, int ppiY, int fontHeight, frxClass::TfrxVAlign vAlign) const
{
    TPlacement pl;
    const int h = fontHeight;
    const double M = MeasureHeight();
    const int N = int(FLines.size());
    int T;
    if (printer) {
        double k = 600.0 / ppiY;
        T = RoundI((FLineSpacing * FScaleY * k * N + M * N) / k);
    } else {
        T = RoundI((FLineSpacing * kRatio * N + M * N) / kRatio * FScaleY);
    }
    const int step = RoundI(FLineSpacing * FScaleY) - h;
    pl.Steps.assign(size_t(std::max(0, N - 1)), step);
    if (N > 1) {
        int E = T - N * step;
        int sgn = E < 0 ? -1 : 1, e = std::abs(E);
        if (e < N) {
            SpreadUnits(pl.Steps, 1, N - 1, sgn, e);
        } else {
            for (auto& v : pl.Steps) v += sgn * (e / (N - 1));
            SpreadUnits(pl.Steps, 1, N - 1, sgn, e % (N - 1));
        }
    }

    const int r = FRotation;
    const double rad = r * M_PI / 180;
    const double c = std::cos(rad), sn = std::sin(rad);
    pl.Cos = c;
    pl.Sin = sn;
    const int L0 = FDeviceRect.Left, T0 = FDeviceRect.Top, R0 = FDeviceRect.Right, B0 = FDeviceRect.Bottom;
    const int H = T;
    int X = L0, Y = T0, Lw = R0 - L0, A = B0 - T0;
    double u = 0, v = 1;
    switch (r) {
    case 0: X = L0; Y = T0; Lw = R0 - L0; A = B0 - T0; u = 0; v = 1; break;
    case 90: X = L0; Y = B0; Lw = B0 - T0; A = R0 - L0; u = 1; v = 0; break;
    case 180: X = R0; Y = B0; Lw = R0 - L0; A = B0 - T0; u = 0; v = -1; break;
    case 270: X = R0; Y = T0; Lw = B0 - T0; A = R0 - L0; u = -1; v = 0; break;
    default: {
        double ac = std::fabs(c), as = std::fabs(sn);
        Lw = ac > 1e-9 ? RoundI((R0 - L0 - as * H) / ac) : 0;
        if (r < 90) {
            X = L0; Y = T0 + RoundI(as * Lw); A = H + B0 - Y - RoundI(ac * H); u = 0; v = 1;
        } else if (r < 180) {
            X = L0 + RoundI(ac * Lw); Y = B0; A = H + B0 - T0 - RoundI(ac * H + as * Lw); u = 0; v = -1;
        } else if (r < 270) {
            X = R0; Y = B0 - RoundI(as * Lw); A = H + Y - T0 - RoundI(ac * H); u = 0; v = -1;
        } else {
            X = L0 + RoundI(as * H); Y = T0; A = H + B0 - T0 - RoundI(as * Lw + ac * H); u = 0; v = 1;
        }
    }
    }
    int D = A - H;
    if (vAlign == frxClass::vaBottom) { Y += RoundI(D * v); X += RoundI(D * u); }
    else if (vAlign == frxClass::vaCenter) { Y += RoundI(D / 2.0 * v); X += RoundI(D / 2.0 * u); }
    pl.X = X;
    pl.Y = Y;
    pl.Width = Lw;
    return pl;
}

std::vector<TfrxDrawText::TLineFrame> TfrxDrawText::Frames(const TPlacement& pl, frxClass::TfrxHAlign hAlign) const
{
    std::vector<TLineFrame> r(FLines.size());
    int X = pl.X, Y = pl.Y;
    for (size_t j = 0; j < FLines.size(); ++j) {
        TLineFrame& f = r[j];
        const int flags = FLineFlags[j];
        const int indent = (flags & 1) && (hAlign == frxClass::haLeft || hAlign == frxClass::haBlock)
                               ? RoundI(FParagraphGap * FScaleX) : 0;
        f.Align = hAlign;
        if (hAlign == frxClass::haBlock && (flags & 2)) f.Align = FRTLReading ? frxClass::haRight : frxClass::haLeft;
        f.Width = pl.Width - indent;
        f.X = X + indent;
        f.Y = Y;
        if (j < pl.Steps.size()) {
            Y += RoundI(pl.Steps[j] * pl.Cos);
            X += RoundI(pl.Steps[j] * pl.Sin);
        }
    }
    return r;
}

void TfrxDrawText::DrawLines(TCanvas* canvas, frxClass::TfrxHAlign hAlign, frxClass::TfrxVAlign vAlign)
{
    if (FLines.empty() || !canvas) return;
    HDC dc = canvas->Handle();
    if (!dc) return;
    const bool printer = IsPrinterCanvas(canvas);
    const int ppiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    TFont* cf = canvas->Font();
    TFont saved;
    saved.Assign(cf);
    cf->Assign(MeasureCanvas()->Font());
    cf->SetHeight(printer ? -RoundI(ppiY * FPointSize / 72.0) : -RoundI(FPointSize * FScaleY * 96 / 72));
    if (FTags.Count() > 0 && !FTags.Items(0).empty() && !FTags.Items(0)[0].SameAsPrevious) {
        ApplyTagFont(canvas, FTags.Items(0)[0], printer, ppiY);
        FTags.Items(0)[0].SameAsPrevious = true;
    }
    cf->SetOrientation(FRotation * 10);
    const TPlacement pl = Place(printer, ppiY, cf->Height(), vAlign);
    SetBkMode(Prepared(canvas), TRANSPARENT);
    const std::vector<TLineFrame> frames = Frames(pl, hAlign);
    for (int j = 0; j < int(frames.size()); ++j)
        DrawLine(canvas, j, frames[size_t(j)].Align, frames[size_t(j)].Width, frames[size_t(j)].X, frames[size_t(j)].Y);
    cf->Assign(&saved);
}

// The same lines and places as DrawLines on a screen canvas at the area's
// scale; the characters take their 600-dpi advances, stretched or shrunk
// together to the width drawing gives the line.
TfrxShownText TfrxDrawText::ShownText(frxClass::TfrxHAlign hAlign, frxClass::TfrxVAlign vAlign)
{
    TfrxShownText r;
    r.ClipLeft = FDeviceRect.Left;
    r.ClipTop = FDeviceRect.Top;
    r.ClipRight = FDeviceRect.Right;
    r.ClipBottom = FDeviceRect.Bottom;
    if (FLines.empty()) return r;
    if (FRotation != 0) {
        // Turned text keeps its lines whole, without places.
        for (const auto& l : FLines) {
            TfrxShownLine line;
            line.Text = ToU8(l);
            r.Lines.push_back(std::move(line));
        }
        return r;
    }
    int size = FPointSize;
    if (FTags.Count() > 0 && !FTags.Items(0).empty() && !FTags.Items(0)[0].SameAsPrevious)
        size = FTags.Items(0)[0].CharSize;
    const TPlacement pl = Place(false, 96, -RoundI(size * FScaleY * 96 / 72), vAlign);
    TTextMetric tm;
    GetTextMetrics(Prepared(MeasureCanvas()), &tm);
    const double ascent = tm.tmAscent / kRatio * FScaleY;
    TFont* mf = MeasureCanvas()->Font();
    const TFontStyles measureStyle = mf->Style();
    const std::vector<TLineFrame> frames = Frames(pl, hAlign);
    for (int j = 0; j < int(frames.size()); ++j) {
        const TLineFrame& f = frames[size_t(j)];
        const double baseline = f.Y + ascent;
        // A line shows when its base line lies inside the box: below it, at
        // most the tops of its tallest letters would.
        if (baseline < r.ClipTop || baseline > r.ClipBottom) continue;
        const std::u32string& text = FLines[size_t(j)];
        FTags.BaseStyle = FromFontStyles(measureStyle);
        const int w600 = MeasureChars(text, false, RoundI(600 * FCharSpacing / 96), j, MeasureCanvas());
        mf->SetStyle(measureStyle);
        const double target = RoundI(w600 / kRatio * FScaleX);
        std::vector<double> adv(text.size());
        for (size_t k = 0; k < text.size(); ++k)
            adv[k] = w600 > 0 ? FCharWidths[k] * target / w600 : 0;
        double x = f.X;
        if (f.Align == frxClass::haRight) x += f.Width - target + 1;
        else if (f.Align == frxClass::haCenter) x += std::trunc((f.Width - target) / 2);
        else if (f.Align == frxClass::haBlock) {
            int blanks = 0;
            for (char32_t ch : text)
                if (ch == U' ' || ch == 0xA0) ++blanks;
            if (blanks > 0)
                for (size_t k = 0; k < text.size(); ++k)
                    if (text[k] == U' ' || text[k] == 0xA0) adv[k] += (std::abs(f.Width) - target) / blanks;
        }
        TfrxShownLine line;
        line.Top = f.Y;
        line.Baseline = baseline;
        std::u32string shown;
        for (size_t k = 0; k < text.size(); ++k) {
            // A character shows when its middle lies inside the box.
            const double middle = x + adv[k] / 2;
            if (middle >= r.ClipLeft && middle <= r.ClipRight) {
                shown += text[k];
                line.CharLeft.push_back(x);
                line.CharWidth.push_back(adv[k]);
            }
            x += adv[k];
        }
        if (shown.empty()) continue;
        line.Text = ToU8(shown);
        r.Lines.push_back(std::move(line));
    }
    r.Ascent = ascent;
    r.LineHeight = LineStep() * FScaleY;
    return r;
}

std::string TfrxShownText::Text() const
{
    std::string s;
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i) s += "\n";
        s += Lines[i].Text;
    }
    return s;
}

void TfrxDrawText::DrawLine(TCanvas* canvas, int j, frxClass::TfrxHAlign align, int width, int x, int y)
{
    const std::u32string& text = FLines[size_t(j)];
    if (text.empty()) return;
    const bool printer = IsPrinterCanvas(canvas);
    HDC dc = canvas->Handle();
    const int ppiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
    const int ppiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    TFont* cf = canvas->Font();
    TFont* mf = MeasureCanvas()->Font();
    const TFontStyles canvasStyle = cf->Style();
    const TFontStyles measureStyle = mf->Style();
    FTags.BaseStyle = FromFontStyles(canvasStyle);
    mf->SetStyle(canvasStyle);
    int w600 = MeasureChars(text, false, RoundI(600 * FCharSpacing / 96), j, MeasureCanvas());
    int wDev = MeasureChars(text, false, RoundI(FCharSpacing * FScaleX), j, canvas);
    mf->SetStyle(measureStyle);
    cf->SetStyle(canvasStyle);
    std::vector<int> adv = FCharWidths;
    const int target = printer ? RoundI(w600 / (600.0 / ppiX)) : RoundI(w600 / kRatio * FScaleX);
    const double rad = FRotation * M_PI / 180;
    const double c = std::cos(rad), sn = std::sin(rad);
    if (align == frxClass::haRight || align == frxClass::haCenter) {
        int U = align == frxClass::haRight ? width - target + 1 : (width - target) / 2;
        y -= RoundI(sn * U);
        x += RoundI(c * U);
    }
    const int count = int(text.size());
    int diff = target - wDev;
    bool block = align == frxClass::haBlock;
    int blanks = 0;
    if (block) {
        for (char32_t ch : text)
            if (ch == U' ' || ch == 0xA0) ++blanks;
        if (blanks == 0) block = false;
        else diff = std::abs(width) - wDev;
    }
    const int sgn = diff < 0 ? -1 : 1, e = std::abs(diff);
    if (block) {
        int each = e / blanks, extra = e % blanks;
        for (int k = 0; k < count; ++k) {
            if (text[size_t(k)] != U' ' && text[size_t(k)] != 0xA0) continue;
            adv[size_t(k)] += sgn * each;
            if (extra > 0) { adv[size_t(k)] += sgn; --extra; }
        }
    } else if (e < count) {
        SpreadUnits(adv, 1, count, sgn, e);
    } else {
        for (auto& a : adv) a += sgn * (e / count);
        SpreadUnits(adv, 1, count, sgn, e % count);
    }

    TfrxHTMLTags* tags = j < FTags.Count() ? &FTags.Items(j) : nullptr;
    auto rec = [&](int k) -> TfrxHTMLTag* { return tags && size_t(k) < tags->size() ? &(*tags)[size_t(k)] : nullptr; };
    auto lowered = [&](int k) {
        TfrxHTMLTag* t = rec(k);
        return t ? RoundI(t->Lowered * t->CharSize * FScaleY) : 0;
    };
    int B = lowered(0);
    int start = 0;
    for (int k = 1; k <= count; ++k) {
        TfrxHTMLTag* t = k < count ? rec(k) : nullptr;
        if (k < count && !(t && !t->SameAsPrevious)) continue;
        // Draw the run start..k-1.
        std::u32string run = text.substr(size_t(start), size_t(k - start));
        std::string u8 = ToU8(run);
        std::u16string u16 = Utf8ToUtf16(u8);
        std::vector<int> dx;
        dx.reserve(u16.size());
        int R = 0;
        for (int q = start; q < k; ++q) {
            dx.push_back(adv[size_t(q)]);
            if (text[size_t(q)] >= 0x10000) dx.push_back(0);
            R += adv[size_t(q)];
        }
        HDC h = Prepared(canvas);
        SetBkMode(h, TRANSPARENT);
        ExtTextOut(h, x + RoundI(sn * B), y + RoundI(c * B), UINT(FTextOutOptions), &FDeviceRect, u8, dx.data());
        if (k < count) {
            t->SameAsPrevious = true;
            ApplyTagFont(canvas, *t, printer, printer ? ppiX : ppiY);
            B = lowered(k);
        }
        if (FRotation != 0) {
            y -= RoundI(sn * R);
            x += RoundI(c * R);
        } else {
            x += R;
        }
        start = k;
    }
}
