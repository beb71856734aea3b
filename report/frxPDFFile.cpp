#include "frxPDFFile.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "FontFamilies.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxDrawText.h"
#include "frxGZip.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace frxPDFFile {

std::string Num(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string ColorText(TColor c)
{
    const uint32_t rgb = uint32_t(ColorToRGB(c));
    auto one = [](uint32_t b) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2g", double(b) / 255);
        return std::string(buf);
    };
    return one(rgb & 0xFF) + " " + one((rgb >> 8) & 0xFF) + " " + one((rgb >> 16) & 0xFF);
}

std::string InfoString(const std::string& utf8)
{
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c < 32 || c > 126) ascii = false;
    if (ascii) {
        std::string r = "(";
        for (char c : utf8) {
            if (c == '\\' || c == '(' || c == ')') r += '\\';
            r += c;
        }
        return r + ")";
    }
    std::string r = "<FEFF";
    char buf[8];
    for (char16_t u : Utf8ToUtf16(utf8)) {
        std::snprintf(buf, sizeof buf, "%04X", unsigned(u));
        r += buf;
    }
    return r + ">";
}

std::string Deflate(const std::string& data)
{
    TMemoryStream source, dest;
    constexpr size_t chunk = size_t(1) << 30;
    for (size_t at = 0; at < data.size(); at += chunk)
        source.WriteBuffer(data.data() + at, int(std::min(chunk, data.size() - at)));
    frxGZip::CompressStream(&source, &dest, zcMax);
    return std::string(static_cast<const char*>(dest.Memory()), size_t(dest.Size()));
}

}  // namespace frxPDFFile

using frxPDFFile::Num;

namespace {

// The code points of UTF-8 text; a broken sequence gives U+FFFD.
std::u32string CodePoints(const std::string& s)
{
    std::u32string r;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || i + size_t(n) >= s.size() + (n == 0 ? 1 : 0)) {
            if (n != 0) {
                r += U'\uFFFD';
                ++i;
                continue;
            }
        }
        if (n == 0) {
            r += char32_t(c);
            ++i;
            continue;
        }
        if (i + size_t(n) >= s.size() + 1) {
            r += U'\uFFFD';
            break;
        }
        char32_t cp = c & (0x3F >> n);
        bool ok = true;
        for (int k = 1; k <= n; ++k) {
            const unsigned char t = s[i + size_t(k)];
            if ((t & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (t & 0x3F);
        }
        r += ok ? cp : U'\uFFFD';
        i += ok ? size_t(n) + 1 : 1;
    }
    return r;
}

void Put16(std::string& s, int v)
{
    s += char((v >> 8) & 0xFF);
    s += char(v & 0xFF);
}
void Put32(std::string& s, uint32_t v)
{
    Put16(s, int(v >> 16));
    Put16(s, int(v & 0xFFFF));
}

uint32_t TableChecksum(const std::string& t)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < t.size(); i += 4) {
        uint32_t v = 0;
        for (size_t k = 0; k < 4; ++k) v = (v << 8) | (i + k < t.size() ? uint8_t(t[i + k]) : 0);
        sum += v;
    }
    return sum;
}

struct TPoint2 { int X, Y; bool On; };

// One glyph of the subset, in thousandths of an em.
struct TGlyph {
    char32_t Code = 0;
    int Advance = 0;
    std::vector<std::vector<TPoint2>> Contours;
};

struct TOutlineSink {
    double Scale;
    std::vector<std::vector<TPoint2>>* Contours;
    double LastX = 0, LastY = 0;
    void Add(double x, double y, bool on)
    {
        Contours->back().push_back({int(std::lround(x * Scale)), int(std::lround(y * Scale)), on});
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<TOutlineSink*>(user);
    s->Contours->emplace_back();
    s->Add(to->x, to->y, true);
    s->LastX = to->x;
    s->LastY = to->y;
    return 0;
}
int LineTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<TOutlineSink*>(user);
    s->Add(to->x, to->y, true);
    s->LastX = to->x;
    s->LastY = to->y;
    return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user)
{
    auto* s = static_cast<TOutlineSink*>(user);
    s->Add(c->x, c->y, false);
    s->Add(to->x, to->y, true);
    s->LastX = to->x;
    s->LastY = to->y;
    return 0;
}
// A cubic becomes four quadratic pieces, close enough at any print size.
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* s = static_cast<TOutlineSink*>(user);
    const double p0x = s->LastX, p0y = s->LastY;
    auto at = [&](double t, double& x, double& y) {
        const double u = 1 - t;
        x = u * u * u * p0x + 3 * u * u * t * c1->x + 3 * u * t * t * c2->x + t * t * t * to->x;
        y = u * u * u * p0y + 3 * u * u * t * c1->y + 3 * u * t * t * c2->y + t * t * t * to->y;
    };
    auto slope = [&](double t, double& x, double& y) {
        const double u = 1 - t;
        x = 3 * (u * u * (c1->x - p0x) + 2 * u * t * (c2->x - c1->x) + t * t * (to->x - c2->x));
        y = 3 * (u * u * (c1->y - p0y) + 2 * u * t * (c2->y - c1->y) + t * t * (to->y - c2->y));
    };
    const int n = 4;
    for (int i = 0; i < n; ++i) {
        const double t0 = double(i) / n, t1 = double(i + 1) / n;
        double ax, ay, bx, by, dax, day, dbx, dby;
        at(t0, ax, ay);
        at(t1, bx, by);
        slope(t0, dax, day);
        slope(t1, dbx, dby);
        // The control point where the end tangents meet; their middle when parallel.
        const double h = t1 - t0;
        dax *= h; day *= h; dbx *= h; dby *= h;
        const double det = dax * dby - day * dbx;
        double cx, cy;
        if (std::fabs(det) > 1e-9) {
            const double k = ((bx - ax) * dby - (by - ay) * dbx) / det;
            cx = ax + dax * k;
            cy = ay + day * k;
            // A far intersection means a nearly straight piece.
            if (std::hypot(cx - ax, cy - ay) > 4 * std::hypot(bx - ax, by - ay) + 1) {
                cx = (ax + bx) / 2;
                cy = (ay + by) / 2;
            }
        } else {
            cx = (ax + bx) / 2;
            cy = (ay + by) / 2;
        }
        s->Add(cx, cy, false);
        s->Add(bx, by, true);
    }
    s->LastX = to->x;
    s->LastY = to->y;
    return 0;
}

std::string PostScriptSafe(const std::string& s)
{
    std::string r;
    for (char c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') r += c;
    return r.empty() ? "Font" : r;
}

}  // namespace

// ---- fonts --------------------------------------------------------------------------------------

struct TfrxPDFFont::TImpl {
    FT_Library Library = nullptr;
    struct TFace { std::string File; int Index = 0; FT_Face Face = nullptr; };
    std::vector<TFace> Faces;   // the face first, then fallbacks
    bool Resolved = false;
    std::map<char32_t, int> Codes;   // code point -> glyph number in the subset
    std::vector<TGlyph> Glyphs;      // glyph 0 is the empty .notdef
    std::map<char32_t, std::pair<int, unsigned>> Source;   // face, glyph index
    int Ascent = 880, Descent = -120;

    ~TImpl()
    {
        for (TFace& f : Faces)
            if (f.Face) FT_Done_Face(f.Face);
        if (Library) FT_Done_FreeType(Library);
    }

    void Resolve(const TfrxFont* font)
    {
        if (Resolved) return;
        Resolved = true;
        if (FT_Init_FreeType(&Library) != 0) {
            Library = nullptr;
            return;
        }
        FcPattern* pat = FcPatternCreate();
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(font->Name().c_str()));
        FcPatternAddInteger(pat, FC_WEIGHT, (font->Style() & TfrxFont::Bold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pat, FC_SLANT, (font->Style() & TfrxFont::Italic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result;
        FcFontSet* set = FcFontSort(nullptr, pat, FcTrue, nullptr, &result);
        // Chinese text falls back to a Chinese font when the face has none.
        FcPattern* zh = FcPatternDuplicate(pat);
        FcPatternDel(zh, FC_FAMILY);
        FcPatternDel(zh, FC_LANG);
        FcLangSet* ls = FcLangSetCreate();
        FcLangSetAdd(ls, reinterpret_cast<const FcChar8*>("zh-cn"));
        FcPatternAddLangSet(zh, FC_LANG, ls);
        FcLangSetDestroy(ls);
        FcPattern* zhMatch = FcFontMatch(nullptr, zh, &result);
        auto add = [&](FcPattern* p) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) return;
            FcPatternGetInteger(p, FC_INDEX, 0, &index);
            for (const TFace& f : Faces)
                if (f.File == reinterpret_cast<const char*>(file) && f.Index == index) return;
            if (Faces.size() < 12) Faces.push_back({reinterpret_cast<const char*>(file), index, nullptr});
        };
        // The families drawing takes for the name come first, so the text
        // shows in the glyphs it was measured with.
        for (const std::string& family : FontFamiliesOf(font->Name())) {
            FcPattern* fp = FcPatternDuplicate(pat);
            FcPatternDel(fp, FC_FAMILY);
            FcPatternAddString(fp, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            FcPattern* m = FcFontMatch(nullptr, fp, &result);
            FcChar8* got = nullptr;
            if (m && FcPatternGetString(m, FC_FAMILY, 0, &got) == FcResultMatch &&
                SameText(reinterpret_cast<const char*>(got), family))
                add(m);
            if (m) FcPatternDestroy(m);
            FcPatternDestroy(fp);
        }
        if (set && set->nfont > 0) add(set->fonts[0]);
        if (zhMatch) add(zhMatch);
        for (int i = 1; set && i < set->nfont && Faces.size() < 8; ++i) add(set->fonts[i]);
        if (zhMatch) FcPatternDestroy(zhMatch);
        FcPatternDestroy(zh);
        if (set) FcFontSetDestroy(set);
        FcPatternDestroy(pat);
        if (FT_Face f = FaceAt(0)) {
            const double k = 1000.0 / std::max<int>(1, f->units_per_EM);
            Ascent = int(std::lround(f->ascender * k));
            Descent = int(std::lround(f->descender * k));
        }
        Glyphs.emplace_back();   // .notdef
        Glyphs.back().Advance = 500;
    }

    FT_Face FaceAt(size_t i)
    {
        if (i >= Faces.size() || !Library) return nullptr;
        TFace& f = Faces[i];
        if (!f.Face && FT_New_Face(Library, f.File.c_str(), f.Index, &f.Face) != 0) {
            f.Face = nullptr;
            f.File.clear();
        }
        return f.Face;
    }

    int GlyphOf(char32_t cp)
    {
        auto it = Codes.find(cp);
        if (it != Codes.end()) return it->second;
        int number = 0;
        for (size_t i = 0; i < Faces.size(); ++i) {
            FT_Face face = FaceAt(i);
            if (!face) continue;
            const FT_UInt g = FT_Get_Char_Index(face, FT_ULong(cp));
            if (g == 0) continue;
            TGlyph glyph;
            glyph.Code = cp;
            const double scale = 1000.0 / std::max<int>(1, face->units_per_EM);
            if (FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
                glyph.Advance = int(std::lround(face->glyph->metrics.horiAdvance * scale));
                if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
                    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
                    TOutlineSink sink{scale, &glyph.Contours};
                    FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
                    for (auto& c : glyph.Contours)
                        if (c.size() > 1 && c.back().On && c.back().X == c.front().X && c.back().Y == c.front().Y)
                            c.pop_back();
                    glyph.Contours.erase(std::remove_if(glyph.Contours.begin(), glyph.Contours.end(),
                                                        [](const auto& c) { return c.size() < 2; }),
                                         glyph.Contours.end());
                }
            }
            number = int(Glyphs.size());
            if (number > 65534) return 0;
            Glyphs.push_back(std::move(glyph));
            break;
        }
        Codes[cp] = number;
        return number;
    }

    // A TrueType font of the subset's glyphs, numbered as in the PDF.
    std::string BuildFontFile() const
    {
        std::string glyf, loca;
        std::string hmtx;
        int xMin = 0, yMin = 0, xMax = 0, yMax = 0, maxPoints = 0, maxContours = 0, maxAdvance = 0;
        bool first = true;
        Put32(loca, 0);
        for (const TGlyph& g : Glyphs) {
            int gx0 = 0, gy0 = 0, gx1 = 0, gy1 = 0;
            int points = 0;
            bool any = false;
            for (const auto& c : g.Contours)
                for (const TPoint2& p : c) {
                    if (!any) {
                        gx0 = gx1 = p.X;
                        gy0 = gy1 = p.Y;
                        any = true;
                    }
                    gx0 = std::min(gx0, p.X);
                    gx1 = std::max(gx1, p.X);
                    gy0 = std::min(gy0, p.Y);
                    gy1 = std::max(gy1, p.Y);
                    ++points;
                }
            if (any) {
                Put16(glyf, int(g.Contours.size()));
                Put16(glyf, gx0);
                Put16(glyf, gy0);
                Put16(glyf, gx1);
                Put16(glyf, gy1);
                int end = -1;
                for (const auto& c : g.Contours) {
                    end += int(c.size());
                    Put16(glyf, end);
                }
                Put16(glyf, 0);   // no instructions
                for (const auto& c : g.Contours)
                    for (const TPoint2& p : c) glyf += char(p.On ? 1 : 0);
                int last = 0;
                for (const auto& c : g.Contours)
                    for (const TPoint2& p : c) {
                        Put16(glyf, p.X - last);
                        last = p.X;
                    }
                last = 0;
                for (const auto& c : g.Contours)
                    for (const TPoint2& p : c) {
                        Put16(glyf, p.Y - last);
                        last = p.Y;
                    }
                while (glyf.size() % 4) glyf += '\0';
                if (first) {
                    xMin = gx0; yMin = gy0; xMax = gx1; yMax = gy1;
                    first = false;
                }
                xMin = std::min(xMin, gx0);
                yMin = std::min(yMin, gy0);
                xMax = std::max(xMax, gx1);
                yMax = std::max(yMax, gy1);
                maxPoints = std::max(maxPoints, points);
                maxContours = std::max(maxContours, int(g.Contours.size()));
            }
            Put32(loca, uint32_t(glyf.size()));
            Put16(hmtx, g.Advance);
            Put16(hmtx, any ? gx0 : 0);
            maxAdvance = std::max(maxAdvance, g.Advance);
        }
        const int n = int(Glyphs.size());
        std::string head;
        Put32(head, 0x00010000);
        Put32(head, 0x00010000);
        Put32(head, 0);   // checksum adjustment, set below
        Put32(head, 0x5F0F3CF5);
        Put16(head, 0x000B);
        Put16(head, 1000);
        for (int i = 0; i < 4; ++i) Put32(head, 0);   // created, modified
        Put16(head, xMin);
        Put16(head, yMin);
        Put16(head, xMax);
        Put16(head, yMax);
        Put16(head, 0);
        Put16(head, 8);
        Put16(head, 2);
        Put16(head, 1);   // long offsets
        Put16(head, 0);
        std::string hhea;
        Put32(hhea, 0x00010000);
        Put16(hhea, Ascent);
        Put16(hhea, Descent);
        Put16(hhea, 0);
        Put16(hhea, maxAdvance);
        Put16(hhea, xMin);
        Put16(hhea, 0);
        Put16(hhea, xMax);
        Put16(hhea, 1);
        Put16(hhea, 0);
        Put16(hhea, 0);
        for (int i = 0; i < 4; ++i) Put16(hhea, 0);
        Put16(hhea, 0);
        Put16(hhea, n);
        std::string maxp;
        Put32(maxp, 0x00010000);
        Put16(maxp, n);
        Put16(maxp, maxPoints);
        Put16(maxp, maxContours);
        Put16(maxp, 0);
        Put16(maxp, 0);
        Put16(maxp, 2);
        for (int i = 0; i < 8; ++i) Put16(maxp, 0);
        std::string post;
        Put32(post, 0x00030000);
        for (int i = 0; i < 7; ++i) Put32(post, 0);

        const std::pair<const char*, const std::string*> tables[] = {
            {"glyf", &glyf}, {"head", &head}, {"hhea", &hhea}, {"hmtx", &hmtx},
            {"loca", &loca}, {"maxp", &maxp}, {"post", &post}};
        const int count = 7;
        std::string out;
        Put32(out, 0x00010000);
        Put16(out, count);
        Put16(out, 64);   // search range: 4 tables fit the largest power of two
        Put16(out, 2);
        Put16(out, count * 16 - 64);
        uint32_t offset = 12 + 16 * count;
        std::string body;
        size_t headAt = 0;
        for (const auto& t : tables) {
            out += t.first;
            Put32(out, TableChecksum(*t.second));
            Put32(out, offset);
            Put32(out, uint32_t(t.second->size()));
            if (std::string(t.first) == "head") headAt = 12 + 16 * count + body.size();
            body += *t.second;
            while (body.size() % 4) body += '\0';
            offset = uint32_t(12 + 16 * count + body.size());
        }
        out += body;
        const uint32_t adjust = 0xB1B0AFBA - TableChecksum(out);
        for (int i = 0; i < 4; ++i) out[headAt + 8 + size_t(i)] = char((adjust >> (24 - 8 * i)) & 0xFF);
        return out;
    }
};

TfrxPDFFont::TfrxPDFFont(TfrxPDFFile* owner, TfrxFont* font)
    : F(std::make_unique<TImpl>()), FFont(std::make_unique<TfrxFont>()), FOwner(owner)
{
    FFont->Assign(font);
}

TfrxPDFFont::~TfrxPDFFont() = default;

std::string TfrxPDFFont::Encode(const std::string& text)
{
    F->Resolve(FFont.get());
    std::string r;
    char buf[8];
    for (char32_t cp : CodePoints(text)) {
        if (cp < 32) continue;
        std::snprintf(buf, sizeof buf, "%04X", unsigned(F->GlyphOf(cp)));
        r += buf;
    }
    return r;
}

std::string TfrxPDFFont::PlacedText(const std::string& text, const std::vector<double>& widths, double size)
{
    F->Resolve(FFont.get());
    std::string r = "[";
    char buf[8];
    // What the glyphs shown so far fall short of their places, in
    // thousandths of the size; a number in the array moves the next glyph.
    double carry = 0;
    size_t k = 0;
    for (char32_t cp : CodePoints(text)) {
        const double want = k < widths.size() && size > 0 ? widths[k] * 1000 / size : 0;
        ++k;
        if (cp < 32) {
            carry += want;
            continue;
        }
        if (std::fabs(carry) > 0.005) r += Num(-carry) + " ";
        const int glyph = F->GlyphOf(cp);
        std::snprintf(buf, sizeof buf, "<%04X>", unsigned(glyph));
        r += buf;
        carry = want - F->Glyphs[size_t(glyph)].Advance;
    }
    return r + "]";
}

double TfrxPDFFont::TextWidth(const std::string& text)
{
    F->Resolve(FFont.get());
    double w = 0;
    for (char32_t cp : CodePoints(text)) {
        if (cp < 32) continue;
        w += F->Glyphs[size_t(F->GlyphOf(cp))].Advance;
    }
    return w;
}

void TfrxPDFFont::Write(TfrxPDFFile& file, int base)
{
    F->Resolve(FFont.get());
    std::string name = "Font";
    if (FT_Face face = F->FaceAt(0)) {
        const char* ps = FT_Get_Postscript_Name(face);
        name = PostScriptSafe(ps ? ps : face->family_name ? face->family_name : "Font");
    }
    // A subset's name carries six capital letters of its own.
    std::string tag;
    for (int k = Index, i = 0; i < 6; ++i, k /= 26) tag += char('A' + k % 26);
    name = tag + "+" + name;
    const bool bold = FFont->Style() & TfrxFont::Bold, italic = FFont->Style() & TfrxFont::Italic;
    if (bold || italic) name += std::string(",") + (bold ? "Bold" : "") + (italic ? "Italic" : "");

    file.BeginObject(base + 1);
    file.WriteLn("<<");
    file.WriteLn("/Type /Font");
    file.WriteLn("/Subtype /Type0");
    file.WriteLn("/Name /F" + IntToStr(Index - 1));
    file.WriteLn("/BaseFont /" + name);
    file.WriteLn("/Encoding /Identity-H");
    file.WriteLn("/DescendantFonts [" + IntToStr(base + 2) + " 0 R]");
    file.WriteLn("/ToUnicode " + IntToStr(base + 4) + " 0 R");
    file.WriteLn(">>");
    file.WriteLn("endobj");

    std::string widths = "/W [0 [";
    for (const TGlyph& g : F->Glyphs) widths += IntToStr(g.Advance) + " ";
    widths += "]]";
    file.BeginObject(base + 2);
    file.WriteLn("<<");
    file.WriteLn("/Type /Font");
    file.WriteLn("/Subtype /CIDFontType2");
    file.WriteLn("/BaseFont /" + name);
    file.WriteLn("/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
    file.WriteLn("/FontDescriptor " + IntToStr(base + 3) + " 0 R");
    file.WriteLn("/DW 1000");
    file.WriteLn(widths);
    file.WriteLn("/CIDToGIDMap /Identity");
    file.WriteLn(">>");
    file.WriteLn("endobj");

    const std::string fontFile = F->BuildFontFile();
    file.BeginObject(base + 3);
    file.WriteLn("<<");
    file.WriteLn("/Type /FontDescriptor");
    file.WriteLn("/FontName /" + name);
    file.WriteLn("/Flags " + std::string(italic ? "68" : "4"));
    file.WriteLn("/FontBBox [0 " + IntToStr(F->Descent) + " 1000 " + IntToStr(F->Ascent) + " ]");
    file.WriteLn("/ItalicAngle " + std::string(italic ? "-12" : "0"));
    file.WriteLn("/Ascent " + IntToStr(F->Ascent));
    file.WriteLn("/Descent " + IntToStr(F->Descent));
    file.WriteLn("/CapHeight " + IntToStr(F->Ascent));
    file.WriteLn("/StemV " + std::string(bold ? "120" : "80"));
    file.WriteLn("/FontFile2 " + IntToStr(base + 5) + " 0 R");
    file.WriteLn(">>");
    file.WriteLn("endobj");

    std::string cmap =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::string> entries;
    char buf[64];
    for (size_t i = 1; i < F->Glyphs.size(); ++i) {
        std::string u;
        const char32_t cp = F->Glyphs[i].Code;
        std::u16string units;
        if (cp >= 0x10000) {
            units += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else
            units += char16_t(cp);
        for (char16_t c : units) {
            std::snprintf(buf, sizeof buf, "%04X", unsigned(c));
            u += buf;
        }
        std::snprintf(buf, sizeof buf, "<%04X> <", unsigned(i));
        entries.push_back(buf + u + ">");
    }
    for (size_t i = 0; i < entries.size(); i += 100) {
        const size_t n = std::min<size_t>(100, entries.size() - i);
        cmap += IntToStr(int(n)) + " beginbfchar\n";
        for (size_t k = 0; k < n; ++k) cmap += entries[i + k] + "\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    file.BeginObject(base + 4);
    file.WriteStream("", cmap, file.Compressed);
    file.WriteLn("endobj");

    file.BeginObject(base + 5);
    file.WriteStream("/Length1 " + IntToStr(int64_t(fontFile.size())), fontFile, true);
    file.WriteLn("endobj");
}

// ---- pages -------------------------------------------------------------------------------------

TfrxPDFPage::TfrxPDFPage(TfrxPDFFile* owner, TfrxReportPage* page) : FOwner(owner)
{
    Width = page->Width() * 0.75;
    Height = page->Height() * 0.75;
}

double TfrxPDFPage::X(double x) const { return x * 0.75 + MarginLeft; }
double TfrxPDFPage::Y(double y) const { return Height - (y * 0.75 + MarginTop); }

void TfrxPDFPage::DrawFrameLines(TfrxView* view)
{
    TfrxFrame* f = view->Frame();
    if (f->Typ.ToInt() == 0 || f->Color == clNone) return;
    const double l = view->AbsLeft(), t = view->AbsTop(), w = view->Width(), h = view->Height();
    Content += frxPDFFile::ColorText(f->Color) + " RG\r\n" + Num(f->Width * 0.75) + " w\r\n";
    auto line = [&](double x1, double y1, double x2, double y2) {
        Content += Num(X(x1)) + " " + Num(Y(y1)) + " m\r\n" + Num(X(x2)) + " " + Num(Y(y2)) + " l\r\nS\r\n";
    };
    if (f->Typ.Contains(ftTop)) line(l, t, l + w, t);
    if (f->Typ.Contains(ftLeft)) line(l, t, l, t + h);
    if (f->Typ.Contains(ftBottom)) line(l, t + h, l + w, t + h);
    if (f->Typ.Contains(ftRight)) line(l + w, t, l + w, t + h);
}

void TfrxPDFPage::DrawMemo(TfrxCustomMemoView* memo)
{
    // The text as the preview shows it: its lines, each character where
    // drawing puts it, inside the box drawing clips it to. Laid out first,
    // as drawing does: a memo that sizes itself to its text takes its width.
    const TfrxShownText shown = memo->ShownText();
    TColor color = memo->Color;
    TfrxFont* font = memo->Font();
    if (memo->Highlight()->Active && memo->Highlight()->Font()) {
        font = memo->Highlight()->Font();
        color = memo->Highlight()->Color;
    }
    const double l = memo->AbsLeft(), t = memo->AbsTop(), w = memo->Width(), h = memo->Height();
    if (color != clNone)
        Content += frxPDFFile::ColorText(color) + " rg\r\n" + Num(X(l)) + " " + Num(Y(t + h)) + " " +
                   Num(w * 0.75) + " " + Num(h * 0.75) + " re\r\nf\r\n";
    DrawFrameLines(memo);
    if (shown.Lines.empty()) return;
    const int k = FOwner->AddFont(font);
    TfrxPDFFont* pf = FOwner->Fonts[size_t(k)].get();
    const double size = font->Size();
    Content += "q\r\n" + Num(X(shown.ClipLeft)) + " " + Num(Y(shown.ClipBottom)) + " " +
               Num((shown.ClipRight - shown.ClipLeft) * 0.75) + " " + Num((shown.ClipBottom - shown.ClipTop) * 0.75) +
               " re\r\nW\r\nn\r\n";
    Content += "/F" + IntToStr(5 * k) + " " + Num(size) + " Tf\r\n" + frxPDFFile::ColorText(font->Color()) + " rg\r\n";
    for (const TfrxShownLine& line : shown.Lines) {
        std::vector<double> widths;
        for (double w : line.CharWidth) widths.push_back(w * 0.75);
        const double base = Y(line.Baseline);
        Content += "BT\r\n" + Num(X(line.CharLeft.front())) + " " + Num(base) + " Td\r\n" +
                   pf->PlacedText(line.Text, widths, size) + " TJ\r\nET\r\n";
        if (font->Style() & TfrxFont::Underline) {
            const double right = line.CharLeft.back() + line.CharWidth.back();
            Content += frxPDFFile::ColorText(font->Color()) + " RG\r\n" + Num(size * 0.08) + " w\r\n" +
                       Num(X(line.CharLeft.front())) + " " + Num(base - size * 0.12) + " m\r\n" + Num(X(right)) + " " +
                       Num(base - size * 0.12) + " l\r\nS\r\n";
        }
    }
    Content += "Q\r\n";
}

void TfrxPDFPage::DrawPicture(TfrxView* view)
{
    const int bw = int(std::clamp<int64_t>(Round(view->Width()) + 1, 1, 20000));
    const int bh = int(std::clamp<int64_t>(Round(view->Height()) + 1, 1, 20000));
    TBitmap bmp(bw, bh);
    bmp.SetPixelFormat(pf24bit);
    bmp.Canvas()->Brush()->SetStyle(bsSolid);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, bw, bh));
    const double l = view->AbsLeft(), t = view->AbsTop();
    view->Draw(bmp.Canvas(), 1, 1, -l, -t);
    bmp.FinishDrawing();
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(100);
    jpeg.Assign(&bmp);
    jpeg.JPEGNeeded();
    Content += "q\r\n" + Num(view->Width() * 0.75) + " 0 0 " + Num(view->Height() * 0.75) + " " + Num(X(l)) + " " +
               Num(Y(t + view->Height())) + " cm\r\nBI\r\n/W " + IntToStr(bw) + "\r\n/H " + IntToStr(bh) +
               "\r\n/CS /RGB\r\n/BPC 8\r\n/I true\r\n/F [/DCT]\r\nID\r\n" + jpeg.Data() + "\r\nEI\r\nQ\r\n";
}

void TfrxPDFPage::DrawObject(TfrxView* view)
{
    auto* memo = DynamicCast<TfrxCustomMemoView>(view);
    if (memo && memo->Rotation() == 0 &&
        (memo->BrushStyle == frxEnums::bsSolid || memo->BrushStyle == frxEnums::bsClear)) {
        DrawMemo(memo);
        return;
    }
    const double l = view->AbsLeft(), t = view->AbsTop(), w = view->Width(), h = view->Height();
    if (auto* line = DynamicCast<TfrxCustomLineView>(view)) {
        (void)line;
        Content += frxPDFFile::ColorText(view->Frame()->Color) + " RG\r\n" + Num(view->Frame()->Width * 0.75) +
                   " w\r\n" + Num(X(l)) + " " + Num(Y(t)) + " m\r\n" + Num(X(l + w)) + " " + Num(Y(t + h)) +
                   " l\r\nS\r\n";
        return;
    }
    auto* shape = DynamicCast<TfrxShapeView>(view);
    if (shape && shape->Shape == skRectangle) {
        Content += frxPDFFile::ColorText(view->Frame()->Color) + " RG\r\n" + Num(view->Frame()->Width * 0.75) +
                   " w\r\n";
        const std::string re = Num(X(l)) + " " + Num(Y(t + h)) + " " + Num(w * 0.75) + " " + Num(h * 0.75) + " re\r\n";
        if (view->Color != clNone)
            Content += frxPDFFile::ColorText(view->Color) + " rg\r\n" + re + "B\r\n";
        else
            Content += re + "S\r\n";
        return;
    }
    DrawPicture(view);
}

// ---- document ----------------------------------------------------------------------------------

TfrxPDFFile::TfrxPDFFile() = default;
TfrxPDFFile::~TfrxPDFFile() = default;

TfrxPDFPage* TfrxPDFFile::AddPage(TfrxReportPage* page)
{
    Pages.push_back(std::make_unique<TfrxPDFPage>(this, page));
    Pages.back()->Number = int(Pages.size());
    return Pages.back().get();
}

int TfrxPDFFile::AddFont(TfrxFont* font)
{
    for (size_t i = 0; i < Fonts.size(); ++i) {
        TfrxFont* f = Fonts[i]->Font();
        if (f->Name() == font->Name() && f->Style() == font->Style() && f->Charset() == font->Charset())
            return int(i);
    }
    Fonts.push_back(std::make_unique<TfrxPDFFont>(this, font));
    Fonts.back()->Index = 5 * int(Fonts.size() - 1) + 1;
    return int(Fonts.size()) - 1;
}

void TfrxPDFFile::Clear()
{
    Pages.clear();
    Fonts.clear();
    FXRef.clear();
}

void TfrxPDFFile::BeginObject(int number)
{
    FXRef[number] = int64_t(FOut.size());
    WriteLn(IntToStr(number) + " 0 obj");
}

void TfrxPDFFile::WriteLn(const std::string& line)
{
    FOut += line;
    FOut += "\r\n";
}

void TfrxPDFFile::Write(const std::string& text) { FOut += text; }

void TfrxPDFFile::WriteStream(const std::string& extraEntries, const std::string& data, bool compress)
{
    const std::string body = compress ? frxPDFFile::Deflate(data) : data;
    WriteLn("<<");
    WriteLn(compress ? "/Filter [/FlateDecode ]" : "/Filter [ ]");
    if (!extraEntries.empty()) WriteLn(extraEntries);
    WriteLn("/Length " + IntToStr(int64_t(body.size())));
    WriteLn(">>");
    WriteLn("stream");
    FOut += body;
    WriteLn("");
    WriteLn("endstream");
}

std::string TfrxPDFFile::SaveToString()
{
    FOut.clear();
    FXRef.clear();
    WriteLn("%PDF-1.3");
    WriteLn("%\xE2\xE3\xCF\xD3");
    BeginObject(1);
    for (const char* s : {"<<", "/Type /Catalog", "/Pages 3 0 R", "/PageMode /UseNone", "/PageLayout /SinglePage",
                          ">>", "endobj"})
        WriteLn(s);
    const std::string date = FormatDateTime("yyyymmddhhnnss", Now());
    BeginObject(2);
    WriteLn("<<");
    WriteLn("/Producer (Hengyue report library)");
    WriteLn("/Author (Hengyue report library)");
    WriteLn("/Subject (Hengyue report)");
    WriteLn("/Creator " + frxPDFFile::InfoString(Creator));
    WriteLn("/Title " + frxPDFFile::InfoString(Title));
    WriteLn("/CreationDate (D:" + date + ")");
    WriteLn("/ModDate (D:" + date + ")");
    WriteLn(">>");
    WriteLn("endobj");
    FirstPageObject = FirstFontObject + 5 * int(Fonts.size());
    BeginObject(3);
    WriteLn("<<");
    WriteLn("/Type /Pages");
    std::string kids = "/Kids [";
    for (auto& p : Pages) kids += IntToStr(FirstPageObject + 2 * p->Number - 1) + " 0 R ";
    WriteLn(kids + "]");
    WriteLn("/Count " + IntToStr(int(Pages.size())));
    WriteLn(">>");
    WriteLn("endobj");
    for (size_t k = 0; k < Fonts.size(); ++k) Fonts[k]->Write(*this, FirstFontObject + 5 * int(k));
    for (auto& p : Pages) {
        const int n = FirstPageObject + 2 * p->Number - 1;
        BeginObject(n);
        WriteLn("<<");
        WriteLn("/Type /Page");
        WriteLn("/Parent 3 0 R");
        WriteLn("/MediaBox [0 0 " + Num(p->Width) + " " + Num(p->Height) + " ]");
        WriteLn("/Resources <<");
        WriteLn("/Font <<");
        for (size_t k = 0; k < Fonts.size(); ++k)
            WriteLn("/F" + IntToStr(5 * int(k)) + " " + IntToStr(FirstFontObject + 5 * int(k) + 1) + " 0 R");
        WriteLn(">>");
        WriteLn("/XObject <<");
        WriteLn(">>");
        WriteLn("/ProcSet [/PDF /Text /ImageC ]");
        WriteLn(">>");
        WriteLn("/Contents " + IntToStr(n + 1) + " 0 R");
        WriteLn(">>");
        WriteLn("endobj");
        BeginObject(n + 1);
        WriteStream("", p->Content, Compressed);
        WriteLn("endobj");
    }
    const int64_t startXRef = int64_t(FOut.size());
    const int highest = FXRef.empty() ? 0 : FXRef.rbegin()->first;
    WriteLn("xref");
    WriteLn("0 " + IntToStr(highest + 1));
    char buf[32];
    for (int i = 0; i <= highest; ++i) {
        auto it = FXRef.find(i);
        if (it == FXRef.end())
            WriteLn("0000000000 65535 f");
        else {
            std::snprintf(buf, sizeof buf, "%010lld 00000 n", static_cast<long long>(it->second));
            WriteLn(buf);
        }
    }
    WriteLn("trailer");
    WriteLn("<<");
    WriteLn("/Size " + IntToStr(highest + 1));
    WriteLn("/Root 1 0 R");
    WriteLn("/Info 2 0 R");
    WriteLn(">>");
    WriteLn("startxref");
    WriteLn(IntToStr(startXRef));
    WriteLn("%%EOF");
    return std::move(FOut);
}
