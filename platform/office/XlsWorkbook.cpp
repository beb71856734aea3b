#include "XlsWorkbook.h"

#include "Exceptions.h"
#include "Streams.h"
#include "TextUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>

namespace {

void Put8(std::string& s, int v) { s += char(v & 0xFF); }
void Put16(std::string& s, int v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v)
{
    Put16(s, int(v & 0xFFFF));
    Put16(s, int(v >> 16));
}
void PutDouble(std::string& s, double v)
{
    char b[8];
    std::memcpy(b, &v, 8);
    s.append(b, 8);
}
void Set32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

// Text as UTF-16 with the BIFF8 string header: a one- or two-byte count of
// characters, then the flags byte (1: two bytes a character).
std::string UnicodeString(const std::string& utf8, bool shortCount, size_t maxChars = 32767)
{
    std::u16string u = Utf8ToUtf16(utf8);
    if (u.size() > maxChars) u.resize(maxChars);
    std::string r;
    if (shortCount)
        Put8(r, int(u.size()));
    else
        Put16(r, int(u.size()));
    Put8(r, 1);
    for (char16_t c : u) Put16(r, int(c));
    return r;
}

const size_t kMaxRecord = 8224;

void Record(std::string& out, int type, const std::string& data)
{
    // Longer data goes on in CONTINUE records.
    size_t at = 0;
    int t = type;
    do {
        const size_t n = std::min(kMaxRecord, data.size() - at);
        Put16(out, t);
        Put16(out, int(n));
        out.append(data, at, n);
        at += n;
        t = 0x003C;
    } while (at < data.size());
}

struct TCell {
    enum TKind { Text, Numeric, Blank } Kind = Blank;
    std::string Value;
    double Number = 0;
    int Style = -1;
};

uint32_t RGBOf(TColor c) { return uint32_t(ColorToRGB(c)) & 0xFFFFFF; }

}  // namespace

struct TXlsWorkbook::TImpl {
    std::vector<TXlsStyle> Styles;
    std::vector<std::string> StyleNames;
    std::map<std::pair<int, int>, TCell> Cells;
    std::vector<std::array<int, 4>> Merges;
    std::map<int, double> Widths;
    std::map<int, double> Heights;
    std::vector<int> Breaks;
    struct TPicture {
        int FirstRow, FirstCol, LastRow, LastCol;
        std::string Data;
        TXlsPictureFormat Format;
    };
    std::vector<TPicture> Pictures;
};

TXlsWorkbook::TXlsWorkbook() : F(std::make_unique<TImpl>()) {}
TXlsWorkbook::~TXlsWorkbook() = default;

int TXlsWorkbook::AddStyle(const TXlsStyle& style, const std::string& name)
{
    if (F->Styles.size() >= 4000) throw Exception("The workbook has too many cell styles");
    F->Styles.push_back(style);
    F->StyleNames.push_back(name);
    return int(F->Styles.size()) - 1;
}

namespace {
void CheckCell(int row, int col)
{
    if (row < 0 || row > 65535 || col < 0 || col > 255)
        throw Exception("Cell " + XlsWorkbook::ColumnName(col + 1) + std::to_string(row + 1) +
                        " lies outside a worksheet (65536 rows, 256 columns)");
}
}  // namespace

void TXlsWorkbook::SetText(int row, int col, const std::string& utf8, int style)
{
    CheckCell(row, col);
    TCell& c = F->Cells[{row, col}];
    // An empty text is a blank cell: readers refuse a whole workbook whose
    // shared strings hold a string of no characters.
    c.Kind = utf8.empty() ? TCell::Blank : TCell::Text;
    c.Value = utf8;
    c.Style = style;
}

void TXlsWorkbook::SetNumber(int row, int col, double value, int style)
{
    CheckCell(row, col);
    TCell& c = F->Cells[{row, col}];
    c.Kind = TCell::Numeric;
    c.Number = value;
    c.Style = style;
}

void TXlsWorkbook::SetBlank(int row, int col, int style)
{
    CheckCell(row, col);
    TCell& c = F->Cells[{row, col}];
    if (c.Kind == TCell::Blank) c.Style = style;
}

void TXlsWorkbook::MergeCells(int firstRow, int firstCol, int lastRow, int lastCol)
{
    CheckCell(firstRow, firstCol);
    CheckCell(lastRow, lastCol);
    F->Merges.push_back({firstRow, firstCol, lastRow, lastCol});
}

void TXlsWorkbook::SetColumnWidth(int col, double characters)
{
    CheckCell(0, col);
    F->Widths[col] = std::clamp(characters, 0.0, 255.0);
}

void TXlsWorkbook::SetRowHeight(int row, double points)
{
    CheckCell(row, 0);
    F->Heights[row] = std::clamp(points, 0.0, 409.0);
}

void TXlsWorkbook::AddPageBreak(int row)
{
    CheckCell(row, 0);
    if (F->Breaks.size() < 1026) F->Breaks.push_back(row);
}

void TXlsWorkbook::AddPicture(int firstRow, int firstCol, int lastRow, int lastCol, const std::string& data,
                             TXlsPictureFormat format)
{
    CheckCell(firstRow, firstCol);
    CheckCell(lastRow, lastCol);
    if (lastRow < firstRow || lastCol < firstCol) throw Exception("A picture needs at least one cell");
    if (data.empty()) throw Exception("A picture without data");
    // A picture's bytes travel in records of 32-bit lengths.
    if (data.size() > 0x7FFFFF00u) throw Exception("A picture larger than a workbook holds");
    F->Pictures.push_back({firstRow, firstCol, lastRow, lastCol, data, format});
}

namespace {

// One drawing record: version and instance, type, length, body.
std::string Art(int ver, int inst, int type, const std::string& body)
{
    std::string r;
    Put16(r, (ver & 0xF) | (inst << 4));
    Put16(r, type);
    Put32(r, uint32_t(body.size()));
    return r + body;
}

// Sixteen bytes that tell pictures apart (readers use them to share equal
// pictures): two FNV-1a hashes of the bytes.
std::string PictureId(const std::string& data)
{
    std::string r;
    for (uint64_t h : {uint64_t(0xcbf29ce484222325ull), uint64_t(0x84222325cbf29ce4ull)}) {
        for (unsigned char c : data) h = (h ^ c) * 0x100000001b3ull;
        for (int i = 0; i < 8; ++i) r += char((h >> (8 * i)) & 0xFF);
    }
    return r;
}

}  // namespace

// The drawing group of the workbook globals: the picture store, one entry
// per picture, each holding the picture's file bytes.
std::string TXlsWorkbook::DrawingGroup() const
{
    const uint32_t n = uint32_t(F->Pictures.size());
    std::string dgg;
    Put32(dgg, 1024 + n + 1);   // the next free shape id
    Put32(dgg, 2);              // one id cluster, counted plus one
    Put32(dgg, n + 1);          // shapes: the group and the pictures
    Put32(dgg, 1);              // drawings
    Put32(dgg, 1);              // the cluster: drawing 1
    Put32(dgg, n + 1);
    std::string store;
    for (const auto& p : F->Pictures) {
        const bool jpeg = p.Format == xpJPEG;
        const std::string id = PictureId(p.Data);
        const std::string blip = Art(0, jpeg ? 0x46A : 0x6E0, jpeg ? 0xF01D : 0xF01E, id + char(0xFF) + p.Data);
        std::string bse;
        Put8(bse, jpeg ? 5 : 6);
        Put8(bse, jpeg ? 5 : 6);
        bse += id;
        Put16(bse, 0x00FF);
        Put32(bse, uint32_t(blip.size()));
        Put32(bse, 1);   // one shape uses it
        Put32(bse, 0);
        Put32(bse, 0);   // no name, nothing unused
        store += Art(2, jpeg ? 5 : 6, 0xF007, bse + blip);
    }
    return Art(0xF, 0, 0xF000, Art(0, 0, 0xF006, dgg) + Art(0xF, int(n), 0xF001, store));
}

// The worksheet's drawing: a drawing record holding the drawing's start, the
// group shape and the first picture's shape, then one per further picture,
// each followed by the object record of its picture.
void TXlsWorkbook::WriteDrawing(std::string& out) const
{
    const int n = int(F->Pictures.size());
    std::vector<std::string> shapes;
    for (int k = 0; k < n; ++k) {
        const auto& p = F->Pictures[size_t(k)];
        std::string fsp;
        Put32(fsp, uint32_t(1025 + k));
        Put32(fsp, 0x0A00);   // has an anchor and a shape type
        std::string opt;
        Put16(opt, 0x4104);   // the picture: an entry of the store, from 1
        Put32(opt, uint32_t(k + 1));
        std::string anchor;
        // Moves with the cells; the corner cells and offsets within them
        // (1/1024 of a column, 1/256 of a row), to the far edge of the last.
        Put16(anchor, 0);
        Put16(anchor, p.FirstCol);
        Put16(anchor, 0);
        Put16(anchor, p.FirstRow);
        Put16(anchor, 0);
        Put16(anchor, p.LastCol);
        Put16(anchor, 1023);
        Put16(anchor, p.LastRow);
        Put16(anchor, 255);
        shapes.push_back(Art(0xF, 0, 0xF004,
                             Art(2, 75, 0xF00A, fsp) + Art(3, 1, 0xF00B, opt) + Art(0, 0, 0xF010, anchor) +
                                 Art(0, 0, 0xF011, "")));
    }
    std::string groupFsp;
    Put32(groupFsp, 1024);
    Put32(groupFsp, 0x0005);   // the group that holds every shape of the sheet
    const std::string group =
        Art(0xF, 0, 0xF004, Art(1, 0, 0xF009, std::string(16, '\0')) + Art(2, 0, 0xF00A, groupFsp));
    std::string all = group;
    for (const auto& sp : shapes) all += sp;
    std::string fdg;
    Put32(fdg, uint32_t(n + 1));
    Put32(fdg, uint32_t(1024 + n));
    const std::string dg = Art(0xF, 0, 0xF002, Art(0, 1, 0xF008, fdg) + Art(0xF, 0, 0xF003, all));
    size_t at = 0, end = dg.size() - all.size() + group.size();
    for (int k = 0; k < n; ++k) {
        end += shapes[size_t(k)].size();
        Record(out, 0x00EC, dg.substr(at, end - at));
        at = end;
        std::string obj;
        Put16(obj, 0x0015);   // common data: a picture, its id
        Put16(obj, 0x0012);
        Put16(obj, 0x0008);
        Put16(obj, k + 1);
        Put16(obj, 0x6011);
        obj += std::string(12, '\0');
        Put16(obj, 0x0007);   // clipboard format
        Put16(obj, 0x0002);
        Put16(obj, 0xFFFF);
        Put16(obj, 0x0008);   // picture flags
        Put16(obj, 0x0002);
        Put16(obj, 0x0001);
        Put32(obj, 0);        // end
        Record(out, 0x005D, obj);
    }
}

std::string TXlsWorkbook::SaveToString() const
{
    // Palette: black and white first, then every colour used, 56 at most
    // (further colours take the nearest one).
    std::vector<uint32_t> palette = {0x000000, 0xFFFFFF};
    auto colorIndex = [&](TColor c) -> int {
        const uint32_t rgb = RGBOf(c);
        for (size_t i = 0; i < palette.size(); ++i)
            if (palette[i] == rgb) return 8 + int(i);
        if (palette.size() < 56) {
            palette.push_back(rgb);
            return 8 + int(palette.size()) - 1;
        }
        size_t best = 0;
        long bestD = -1;
        for (size_t i = 0; i < palette.size(); ++i) {
            const long dr = long(palette[i] & 0xFF) - long(rgb & 0xFF);
            const long dg = long((palette[i] >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
            const long db = long((palette[i] >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (bestD < 0 || d < bestD) {
                bestD = d;
                best = i;
            }
        }
        return 8 + int(best);
    };

    // Fonts: four defaults (index 4 does not exist for readers), then ours.
    std::vector<TXlsFont> fonts;
    auto fontIndex = [&](const TXlsFont& f) {
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == f) return int(i) + 5;
        fonts.push_back(f);
        return int(fonts.size()) + 4;
    };
    std::vector<std::string> formats;
    auto formatIndex = [&](const std::string& f) {
        if (f.empty()) return 0;
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i] == f) return 164 + int(i);
        formats.push_back(f);
        return 164 + int(formats.size()) - 1;
    };

    struct TXF { int Font, Format, Align, Border1, Border2, Fill; };
    std::vector<TXF> xfs;
    for (const TXlsStyle& s : F->Styles) {
        TXF x{};
        x.Font = fontIndex(s.Font);
        x.Format = formatIndex(s.NumberFormat);
        x.Align = int(s.HAlign) | (s.Wrap ? 8 : 0) | (int(s.VAlign) << 4);
        const int bc = colorIndex(s.BorderColor);
        uint32_t b1 = 0, b2 = 0;
        if (s.Borders & xbLeft) b1 |= 1u | (uint32_t(bc) << 16);
        if (s.Borders & xbRight) b1 |= (1u << 4) | (uint32_t(bc) << 23);
        if (s.Borders & xbTop) b1 |= 1u << 8, b2 |= uint32_t(bc);
        if (s.Borders & xbBottom) b1 |= 1u << 12, b2 |= uint32_t(bc) << 7;
        x.Border1 = int(b1);
        x.Border2 = int(b2);
        if (s.Fill != clNone) {
            x.Border2 = int(uint32_t(x.Border2) | (1u << 26));
            x.Fill = colorIndex(s.Fill) | (0x41 << 7);
        } else
            x.Fill = 0x40 | (0x41 << 7);
        xfs.push_back(x);
    }
    for (const TXlsStyle& s : F->Styles) colorIndex(s.Font.Color);
    std::vector<int> fontColors;
    for (const TXlsFont& f : fonts) fontColors.push_back(colorIndex(f.Color));

    std::string g;   // workbook globals
    auto bof = [](std::string& out, int dt) {
        std::string d;
        Put16(d, 0x0600);
        Put16(d, dt);
        Put16(d, 0x0DBB);
        Put16(d, 0x07CC);
        Put32(d, 0);
        Put32(d, 0x06);
        Record(out, 0x0809, d);
    };
    bof(g, 0x0005);
    {
        std::string d;
        Put16(d, 1200);   // text is UTF-16
        Record(g, 0x0042, d);
    }
    {
        std::string d;
        Put16(d, 0); Put16(d, 0); Put16(d, 0x4000); Put16(d, 0x3000);
        Put16(d, 0x0038); Put16(d, 0); Put16(d, 0); Put16(d, 1); Put16(d, 0x0258);
        Record(g, 0x003D, d);
    }
    auto fontRecord = [&](const TXlsFont& f, int color) {
        std::string d;
        Put16(d, int(std::lround(std::clamp(f.Size, 1.0, 409.0) * 20)));
        Put16(d, (f.Italic ? 2 : 0) | (f.StrikeOut ? 8 : 0));
        Put16(d, color);
        Put16(d, f.Bold ? 700 : 400);
        Put16(d, 0);
        Put8(d, f.Underline ? 1 : 0);
        Put8(d, 0);
        Put8(d, 1);   // default character set
        Put8(d, 0);
        d += UnicodeString(f.Name, true, 255);
        Record(g, 0x0031, d);
    };
    const TXlsFont defaultFont;
    for (int i = 0; i < 4; ++i) fontRecord(defaultFont, 0x7FFF);
    for (size_t i = 0; i < fonts.size(); ++i) fontRecord(fonts[i], fontColors[i]);
    for (size_t i = 0; i < formats.size(); ++i) {
        std::string d;
        Put16(d, 164 + int(i));
        d += UnicodeString(formats[i], false, 255);
        Record(g, 0x041E, d);
    }
    auto xfRecord = [&](int font, int format, int typeParent, int align, int used, int b1, int b2, int fill) {
        std::string d;
        Put16(d, font);
        Put16(d, format);
        Put16(d, typeParent);
        Put8(d, align);
        Put8(d, 0);
        Put8(d, 0);
        Put8(d, used);
        Put32(d, uint32_t(b1));
        Put32(d, uint32_t(b2));
        Put16(d, fill);
        Record(g, 0x00E0, d);
    };
    // Fifteen style records (the Normal style first), the default cell
    // style, then a style record per named style and a cell record per style.
    for (int i = 0; i < 15; ++i) xfRecord(0, 0, 0xFFF5, 0x20, i == 0 ? 0 : 0xF4, 0, 0, 0x20C0);
    xfRecord(0, 0, 0x0001, 0x20, 0, 0, 0, 0x20C0);
    std::vector<int> styleXf(F->Styles.size(), 0);
    int next = 16;
    for (size_t i = 0; i < F->Styles.size(); ++i) {
        if (F->StyleNames[i].empty()) continue;
        const TXF& x = xfs[i];
        xfRecord(x.Font, x.Format, 0xFFF5, x.Align, 0, x.Border1, x.Border2, x.Fill);
        styleXf[i] = next++;
    }
    std::vector<int> cellXf(F->Styles.size());
    for (size_t i = 0; i < F->Styles.size(); ++i) {
        const TXF& x = xfs[i];
        xfRecord(x.Font, x.Format, 1 | (styleXf[i] << 4), x.Align, 0xFC, x.Border1, x.Border2, x.Fill);
        cellXf[i] = next++;
    }
    {
        std::string d;
        Put16(d, 0x8000);
        Put8(d, 0);
        Put8(d, 0xFF);
        Record(g, 0x0293, d);
    }
    for (size_t i = 0; i < F->Styles.size(); ++i) {
        if (F->StyleNames[i].empty()) continue;
        std::string d;
        Put16(d, styleXf[i]);
        d += UnicodeString(F->StyleNames[i], false, 255);
        Record(g, 0x0293, d);
    }
    {
        std::string d;
        Put16(d, 56);
        for (int i = 0; i < 56; ++i) {
            const uint32_t rgb = i < int(palette.size()) ? palette[size_t(i)] : 0xFFFFFF;
            Put8(d, int(rgb & 0xFF));
            Put8(d, int((rgb >> 8) & 0xFF));
            Put8(d, int((rgb >> 16) & 0xFF));
            Put8(d, 0);
        }
        Record(g, 0x0092, d);
    }
    const size_t sheetPosAt = g.size() + 4;
    {
        std::string d;
        Put32(d, 0);   // set below
        Put8(d, 0);
        Put8(d, 0);
        d += UnicodeString(SheetName, true, 31);
        Record(g, 0x0085, d);
    }
    // Shared strings; a string never splits inside a character, and a
    // CONTINUE record that starts inside a string repeats its flags byte.
    std::vector<std::string> strings;
    std::map<std::string, int> stringIndex;
    uint32_t total = 0;
    for (auto& [pos, cell] : F->Cells)
        if (cell.Kind == TCell::Text) {
            ++total;
            if (stringIndex.emplace(cell.Value, int(strings.size())).second) strings.push_back(cell.Value);
        }
    {
        std::vector<std::string> parts(1);
        Put32(parts[0], total);
        Put32(parts[0], uint32_t(strings.size()));
        for (const std::string& s : strings) {
            const std::string u = UnicodeString(s, false);
            const size_t headerLen = 3;
            if (parts.back().size() + headerLen + 2 > kMaxRecord) parts.emplace_back();
            parts.back() += u.substr(0, headerLen);
            size_t at = headerLen;
            while (at < u.size()) {
                size_t room = (kMaxRecord - parts.back().size()) & ~size_t(1);
                if (room == 0) {
                    parts.emplace_back();
                    Put8(parts.back(), 1);
                    room = (kMaxRecord - 1) & ~size_t(1);
                }
                const size_t n = std::min(room, u.size() - at);
                parts.back() += u.substr(at, n);
                at += n;
            }
        }
        if (!F->Pictures.empty()) Record(g, 0x00EB, DrawingGroup());
        for (size_t i = 0; i < parts.size(); ++i) {
            Put16(g, i == 0 ? 0x00FC : 0x003C);
            Put16(g, int(parts[i].size()));
            g += parts[i];
        }
    }
    Record(g, 0x000A, "");

    std::string s;   // the worksheet
    bof(s, 0x0010);
    int lastRow = 0, lastCol = 0;
    for (auto& [pos, cell] : F->Cells) {
        lastRow = std::max(lastRow, pos.first + 1);
        lastCol = std::max(lastCol, pos.second + 1);
    }
    if (!F->Breaks.empty()) {
        std::vector<int> breaks = F->Breaks;
        std::sort(breaks.begin(), breaks.end());
        breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
        std::string d;
        Put16(d, int(breaks.size()));
        for (int r : breaks) {
            Put16(d, r);
            Put16(d, 0);
            Put16(d, 255);
        }
        Record(s, 0x001B, d);
    }
    auto margin = [&](int type, double inches) {
        std::string d;
        PutDouble(d, std::clamp(inches, 0.0, 49.0));
        Record(s, type, d);
    };
    margin(0x0026, LeftMargin);
    margin(0x0027, RightMargin);
    margin(0x0028, TopMargin);
    margin(0x0029, BottomMargin);
    {
        std::string d;
        Put16(d, PaperSize);
        Put16(d, 100);
        Put16(d, 1);
        Put16(d, 1);
        Put16(d, 1);
        Put16(d, Landscape ? 0 : 2);
        Put16(d, 600);
        Put16(d, 600);
        PutDouble(d, 0.5);
        PutDouble(d, 0.5);
        Put16(d, 1);
        Record(s, 0x00A1, d);
    }
    for (auto& [col, width] : F->Widths) {
        std::string d;
        Put16(d, col);
        Put16(d, col);
        Put16(d, int(std::lround(width * 256)));
        Put16(d, 15);
        Put16(d, 0);
        Put16(d, 0);
        Record(s, 0x007D, d);
    }
    {
        std::string d;
        Put32(d, 0);
        Put32(d, uint32_t(lastRow));
        Put16(d, 0);
        Put16(d, lastCol);
        Put16(d, 0);
        Record(s, 0x0200, d);
    }
    std::map<int, std::pair<int, int>> rows;   // row -> first and last column + 1
    for (auto& [pos, cell] : F->Cells) {
        auto it = rows.find(pos.first);
        if (it == rows.end())
            rows[pos.first] = {pos.second, pos.second + 1};
        else
            it->second.second = pos.second + 1;
    }
    for (auto& [row, h] : F->Heights)
        if (!rows.count(row)) rows[row] = {0, 0};
    for (auto& [row, span] : rows) {
        std::string d;
        Put16(d, row);
        Put16(d, span.first);
        Put16(d, span.second);
        auto h = F->Heights.find(row);
        const bool custom = h != F->Heights.end();
        Put16(d, custom ? int(std::lround(h->second * 20)) : 255);
        Put16(d, 0);
        Put16(d, 0);
        Put32(d, 0x0100 | (custom ? 0x40 : 0) | (15u << 16));
        Record(s, 0x0208, d);
    }
    for (auto& [pos, cell] : F->Cells) {
        const int xf = cell.Style >= 0 && cell.Style < int(cellXf.size()) ? cellXf[size_t(cell.Style)] : 15;
        std::string d;
        Put16(d, pos.first);
        Put16(d, pos.second);
        Put16(d, xf);
        if (cell.Kind == TCell::Text) {
            Put32(d, uint32_t(stringIndex[cell.Value]));
            Record(s, 0x00FD, d);
        } else if (cell.Kind == TCell::Numeric) {
            PutDouble(d, cell.Number);
            Record(s, 0x0203, d);
        } else
            Record(s, 0x0201, d);
    }
    if (!F->Pictures.empty()) WriteDrawing(s);
    {
        std::string d;
        Put16(d, 0x06B6);
        Put16(d, 0);
        Put16(d, 0);
        Put32(d, 0x40);
        Put16(d, 0);
        Put16(d, 0);
        Put32(d, 0);
        Record(s, 0x023E, d);
    }
    for (size_t i = 0; i < F->Merges.size(); i += 1026) {
        const size_t n = std::min<size_t>(1026, F->Merges.size() - i);
        std::string d;
        Put16(d, int(n));
        for (size_t k = 0; k < n; ++k) {
            const auto& m = F->Merges[i + k];
            Put16(d, m[0]);
            Put16(d, m[2]);
            Put16(d, m[1]);
            Put16(d, m[3]);
        }
        Record(s, 0x00E5, d);
    }
    Record(s, 0x000A, "");

    Set32(g, sheetPosAt, uint32_t(g.size()));
    std::string stream = g + s;
    // Streams under 4096 bytes would go to the compound file's mini stream;
    // the workbook stream is padded past that, after its last record.
    if (stream.size() < 4096) stream.resize(4096, '\0');
    return XlsWorkbook::CompoundFile("Workbook", stream);
}

void TXlsWorkbook::SaveToFile(const std::string& fileName) const { SaveFileWhole(fileName, SaveToString()); }

namespace XlsWorkbook {

std::string ColumnName(int n)
{
    std::string r;
    while (n > 0) {
        const int d = (n - 1) % 26;
        r.insert(r.begin(), char('A' + d));
        n = (n - 1) / 26;
    }
    return r;
}

std::string CompoundFile(const std::string& streamName, const std::string& stream)
{
    const uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFat = 0xFFFFFFFD, kDif = 0xFFFFFFFC;
    const size_t dataSectors = (stream.size() + 511) / 512;
    // Sectors: the stream, one directory sector, the FAT, then DIFAT sectors
    // when the FAT has more than 109 sectors.
    size_t fat = 1, dif = 0;
    for (;;) {
        const size_t total = dataSectors + 1 + fat + dif;
        const size_t needFat = (total + 127) / 128;
        const size_t needDif = needFat > 109 ? (needFat - 109 + 126) / 127 : 0;
        if (needFat == fat && needDif == dif) break;
        fat = needFat;
        dif = needDif;
    }
    const uint32_t dirSector = uint32_t(dataSectors);
    const uint32_t firstFat = dirSector + 1;
    const uint32_t firstDif = firstFat + uint32_t(fat);
    std::vector<uint32_t> table(fat * 128, kFree);
    for (size_t i = 0; i < dataSectors; ++i) table[i] = i + 1 < dataSectors ? uint32_t(i + 1) : kEnd;
    table[dirSector] = kEnd;
    for (size_t i = 0; i < fat; ++i) table[firstFat + i] = kFat;
    for (size_t i = 0; i < dif; ++i) table[firstDif + i] = kDif;

    std::string h;
    h += std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    h += std::string(16, '\0');
    Put16(h, 0x003E);
    Put16(h, 0x0003);
    Put16(h, 0xFFFE);
    Put16(h, 9);
    Put16(h, 6);
    h += std::string(6, '\0');
    Put32(h, 0);
    Put32(h, uint32_t(fat));
    Put32(h, dirSector);
    Put32(h, 0);
    Put32(h, 4096);
    Put32(h, kEnd);
    Put32(h, 0);
    Put32(h, dif ? firstDif : kEnd);
    Put32(h, uint32_t(dif));
    for (size_t i = 0; i < 109; ++i) Put32(h, i < fat ? firstFat + uint32_t(i) : kFree);

    std::string out = h;
    out += stream;
    out.resize(512 + dataSectors * 512, '\0');
    auto entry = [](const std::string& name, int type, uint32_t child, uint32_t start, uint32_t size) {
        std::string e;
        for (char c : name) Put16(e, (unsigned char)c);
        if (!name.empty()) Put16(e, 0);
        e.resize(64, '\0');
        Put16(e, name.empty() ? 0 : int(name.size() + 1) * 2);
        Put8(e, type);
        Put8(e, 1);
        Put32(e, 0xFFFFFFFF);
        Put32(e, 0xFFFFFFFF);
        Put32(e, child);
        e += std::string(16 + 4 + 16, '\0');
        Put32(e, start);
        Put32(e, size);
        Put32(e, 0);
        return e;
    };
    out += entry("Root Entry", 5, 1, kEnd, 0);
    out += entry(streamName, 2, 0xFFFFFFFF, 0, uint32_t(stream.size()));
    out += entry("", 0, 0xFFFFFFFF, 0, 0);
    out += entry("", 0, 0xFFFFFFFF, 0, 0);
    for (uint32_t v : table) Put32(out, v);
    for (size_t i = 0; i < dif; ++i) {
        for (size_t k = 0; k < 127; ++k) {
            const size_t n = 109 + i * 127 + k;
            Put32(out, n < fat ? firstFat + uint32_t(n) : kFree);
        }
        Put32(out, i + 1 < dif ? firstDif + uint32_t(i + 1) : kEnd);
    }
    return out;
}

}  // namespace XlsWorkbook
