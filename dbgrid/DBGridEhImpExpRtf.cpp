// The RTF table exporter: the body is written to a cache while the colour
// and font tables fill up, then header, tables and body go out together.
#include "DBGridEhImpExp.h"

#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cmath>
#include <cstdlib>

QZ_CLASS_IMPL(TDBGridEhExportAsRTF, TDBGridEhExport)

namespace {

// The device resolution the column widths are measured in.
constexpr int RtfPixelsPerInch = 96;

int Twips(int pixels) { return int(std::trunc(double(pixels) / RtfPixelsPerInch * 1440.0)); }

// 8-bit text as RTF literal text: the group characters and the backslash are
// escaped; double-byte characters go out as \'hh pairs, since a trail byte
// may look like a backslash or a brace to a reader.
std::string RtfEscaped(const std::string& utf8)
{
    static const char* hex = "0123456789abcdef";
    std::string gbk = Utf8ToGbk(utf8);
    std::string out;
    out.reserve(gbk.size());
    for (size_t i = 0; i < gbk.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b >= 0x80) {
            size_t n = IsGbkLeadByte(b) && i + 1 < gbk.size() ? 2 : 1;
            for (size_t k = 0; k < n; ++k) {
                unsigned char x = static_cast<unsigned char>(gbk[i + k]);
                out += "\\'";
                out += hex[x >> 4];
                out += hex[x & 15];
            }
            i += n - 1;
            continue;
        }
        if (b == '\\' || b == '{' || b == '}') out += '\\';
        out += char(b);
    }
    return out;
}

bool HasNonAscii(const std::string& s)
{
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

enum : unsigned { NoLeft = 1, NoTop = 2, NoBottom = 4, NoRight = 8 };

} // namespace

TDBGridEhExportAsRTF::TDBGridEhExportAsRTF() = default;
TDBGridEhExportAsRTF::~TDBGridEhExportAsRTF() = default;

int TDBGridEhExportAsRTF::ColorIndex(TColor color)
{
    TColorRef rgb = ColorToRGB(color);
    std::string key = Format("%3d%3d%3d", {int(GetRValue(rgb)), int(GetGValue(rgb)), int(GetBValue(rgb))});
    for (size_t i = 0; i < FColors.size(); ++i)
        if (FColors[i] == key) return int(i);
    FColors.push_back(key);
    return int(FColors.size()) - 1;
}

int TDBGridEhExportAsRTF::FontIndex(const std::string& name)
{
    for (size_t i = 0; i < FFonts.size(); ++i)
        if (AnsiSameText(FFonts[i], name)) return int(i);
    FFonts.push_back(name);
    return int(FFonts.size()) - 1;
}

void TDBGridEhExportAsRTF::ExportStream(TStream* stream, bool exportAll)
{
    FColors.clear();
    FFonts.clear();
    ColorIndex(clBlack);
    ColorIndex(clWhite);
    ColorIndex(clBtnFace);
    TStringStream body;
    TDBGridEhExport::ExportStream(&body, exportAll);
    // Nothing was selected: nothing is written, as by the other formats.
    if (body.DataString().empty()) return;
    bool chinese = HasNonAscii(body.DataString());
    for (const std::string& f : FFonts) chinese = chinese || HasNonAscii(f);
    std::string head = chinese ? "{\\rtf0\\ansi\\ansicpg936\r\n" : "{\\rtf0\\ansi\r\n";
    head += "{\\colortbl";
    for (const std::string& key : FColors) {
        int r = std::atoi(key.substr(0, 3).c_str()), g = std::atoi(key.substr(3, 3).c_str()),
            b = std::atoi(key.substr(6, 3).c_str());
        head += "\\red" + std::to_string(r) + "\\green" + std::to_string(g) + "\\blue" + std::to_string(b) + ";";
    }
    head += "}\r\n{\\fonttbl";
    for (size_t i = 0; i < FFonts.size(); ++i)
        head += "\\f" + std::to_string(i) + (chinese ? "\\fnil\\fcharset134 " : "\\fnil ") + RtfEscaped(FFonts[i]) + ";";
    head += "}\r\n";
    stream->WriteBuffer(head.data(), int(head.size()));
    const std::string& data = body.DataString();
    stream->WriteBuffer(data.data(), int(data.size()));
}

void TDBGridEhExportAsRTF::WriteTrailer() { WriteBytes("}"); }

int TDBGridEhExportAsRTF::Spacing() const { return DBGridEh()->Flat() ? 12 : 24; }

void TDBGridEhExportAsRTF::WriteRowStart(const std::vector<TColor>& shading, const std::vector<unsigned>& noBorders,
                                         const TColumnsEhList& columns)
{
    std::string s = "\\trowd\\trgaph40\r\n";
    int edge = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        unsigned no = i < noBorders.size() ? noBorders[i] : 0;
        if (!(no & NoLeft)) s += "\\clbrdrl\\brdrs\\brdrcf0\r\n";
        if (!(no & NoTop)) s += "\\clbrdrt\\brdrs\\brdrcf0\r\n";
        if (!(no & NoBottom)) s += "\\clbrdrb\\brdrs\\brdrcf0\r\n";
        if (!(no & NoRight)) s += "\\clbrdrr\\brdrs\\brdrcf0\r\n";
        edge += Twips(columns[i]->Width());
        s += "\\clshdng10000\\clcfpat" + std::to_string(ColorIndex(shading[i])) + "\\cellx" + std::to_string(edge) +
             "\r\n";
    }
    s += "{\\trrh0\r\n";
    WriteBytes(s);
}

void TDBGridEhExportAsRTF::WriteRowEnd() { WriteBytes("\\pard\\intbl\\row}\r\n"); }

void TDBGridEhExportAsRTF::EmitRun(TFont* font, const std::string& text, TColor background)
{
    std::string s = "\\fs" + std::to_string(2 * font->Size());
    TFontStyles st = font->Style();
    if (st.Contains(fsBold)) s += "\\b";
    if (st.Contains(fsItalic)) s += "\\i";
    if (st.Contains(fsStrikeOut)) s += "\\strike";
    if (st.Contains(fsUnderline)) s += "\\ul";
    s += "\\f" + std::to_string(FontIndex(font->Name()));
    s += "\\cf" + std::to_string(ColorIndex(font->Color()));
    s += "\\cb" + std::to_string(ColorIndex(background));
    s += " ";
    s += RtfEscaped(text);
    WriteBytes(s);
}

namespace {
const char* AlignWord(TAlignment a)
{
    switch (a) {
    case taRightJustify: return "\\qr";
    case taCenter: return "\\qc";
    default: return "\\ql";
    }
}
} // namespace

void TDBGridEhExportAsRTF::WriteCellLine(TAlignment alignment, TFont* font, const std::string& text, TColor background)
{
    std::string s = std::to_string(Spacing());
    WriteBytes(std::string("\\pard\\intbl{") + AlignWord(alignment) + "\\sb" + s + "\\sa" + s);
    EmitRun(font, text, background);
    WriteBytes("\\cell}\r\n");
}

void TDBGridEhExportAsRTF::WriteDataRow(const TColumnsEhList& columns)
{
    TCustomDBGridEh* g = DBGridEh();
    std::vector<TColor> shading;
    TFont font;
    TColCellParamsEh params;
    for (TColumnEh* c : columns) {
        font.Assign(c->Font());
        c->FillCellParams(&params);
        params.Font = &font;
        if (g->OnGetCellParams) g->OnGetCellParams(g, c, &font, params.Background, TGridDrawState());
        c->DoGetCellParams(false, &params);
        shading.push_back(params.Background);
    }
    WriteRowStart(shading, {}, columns);
    TDBGridEhExport::WriteDataRow(columns);
    WriteRowEnd();
}

void TDBGridEhExportAsRTF::WriteDataValue(TColumnEh*, TDBGridEhExportCellParams& params)
{
    WriteCellLine(params.Alignment, params.Font, params.Text, params.Background);
}

void TDBGridEhExportAsRTF::WriteFooterRow(const TColumnsEhList& columns, int footerIndex)
{
    TCustomDBGridEh* g = DBGridEh();
    std::vector<TColor> shading;
    TFont font;
    for (size_t i = 0; i < columns.size(); ++i) {
        TColumnEh* c = columns[i];
        TColumnFooterEh* f = c->FooterForRow(footerIndex);
        TColor bg = f->Color();
        TAlignment al = f->Alignment();
        font.Assign(f->Font());
        std::string text = f->ValueType() == fvtSum || f->ValueType() == fvtCount
                               ? ExportedFooterText(c, footerIndex, int(i))
                               : g->FooterValueText(c, footerIndex);
        if (g->OnGetFooterParams)
            g->OnGetFooterParams(g, c->Index(), footerIndex, c, &font, bg, al, TGridDrawState(), text);
        shading.push_back(bg);
    }
    WriteRowStart(shading, {}, columns);
    TDBGridEhExport::WriteFooterRow(columns, footerIndex);
    WriteRowEnd();
}

void TDBGridEhExportAsRTF::WriteFooterValue(int, int, const std::string& text, TAlignment alignment,
                                            TColor background, TFont* font, TColumnEh*)
{
    WriteCellLine(alignment, font, text, background);
}

void TDBGridEhExportAsRTF::WriteTitleRow(const TColumnsEhList& columns)
{
    TCustomDBGridEh* g = DBGridEh();
    if (g->UseMultiTitle()) {
        WriteMultiTitle(columns);
        return;
    }
    std::vector<TColor> shading;
    for (TColumnEh* c : columns) shading.push_back(c->Title()->Color());
    WriteRowStart(shading, {}, columns);
    for (TColumnEh* c : columns) {
        TColumnTitleEh* t = c->Title();
        WriteCellLine(t->Alignment(), t->Font(), t->Caption(), t->Color());
    }
    WriteRowEnd();
}

void TDBGridEhExportAsRTF::WriteMultiTitle(const TColumnsEhList& columns)
{
    TCustomDBGridEh* g = DBGridEh();
    size_t n = columns.size();
    // The title matrix: levels from the leaves (0) upward, a node per column.
    std::vector<std::vector<THeadTreeNode*>> levels;
    std::vector<THeadTreeNode*> cur(n);
    std::vector<long long> acc(n, 0);
    for (size_t c = 0; c < n; ++c) {
        cur[c] = g->LeafNode(columns[c]->Index());
        acc[c] = cur[c] ? cur[c]->NodeHeight : 0;
    }
    // A tree is never deeper than its nodes; the bound keeps a broken one finite.
    for (int pass = 0; pass < 64; ++pass) {
        std::vector<THeadTreeNode*> notes = cur;
        long long least = 0;
        bool any = false;
        for (size_t c = 0; c < n; ++c)
            if (cur[c] && (!any || acc[c] < least)) {
                least = acc[c];
                any = true;
            }
        bool moved = false;
        for (size_t c = 0; c < n; ++c)
            if (cur[c] && acc[c] == least && cur[c]->ParentNode) {
                cur[c] = cur[c]->ParentNode;
                acc[c] += cur[c]->NodeHeight;
                moved = true;
            }
        if (pass == 0 || moved) levels.push_back(notes);
        if (!moved) break;
    }
    size_t depth = levels.size();
    std::vector<std::vector<bool>> blank(depth, std::vector<bool>(n, false));
    std::vector<std::vector<unsigned>> noBorder(depth, std::vector<unsigned>(n, 0));
    for (size_t c = 0; c < n; ++c)
        for (size_t l = 0; l < depth; ++l)
            if (!levels[l][c]) blank[l][c] = true;
    int s = std::abs(int(std::trunc(double(g->VTitleMargin()) / 2 / RtfPixelsPerInch * 1440 - 20)));
    std::string sp = std::to_string(s);
    for (size_t li = depth; li-- > 0;) {
        // Spans of this row: a node's cell covers the levels below and the
        // columns to its right that hold the same node.
        for (size_t c = 0; c < n; ++c) {
            if (blank[li][c]) continue;
            THeadTreeNode* node = levels[li][c];
            size_t rs = 1;
            while (rs <= li && levels[li - rs][c] == node) {
                blank[li - rs][c] = true;
                ++rs;
            }
            size_t cs = 1;
            while (c + cs < n && levels[li][c + cs] == node) {
                blank[li][c + cs] = true;
                ++cs;
            }
            for (size_t k = 1; k < rs; ++k)
                for (size_t cc = c + 1; cc < c + cs; ++cc) blank[li - k][cc] = true;
            for (size_t k = 0; k < rs; ++k)
                for (size_t cc = c; cc < c + cs; ++cc) {
                    unsigned& m = noBorder[li - k][cc];
                    if (cc != c) m |= NoLeft;
                    if (cc != c + cs - 1) m |= NoRight;
                    if (k != 0) m |= NoTop;
                    if (k != rs - 1) m |= NoBottom;
                }
        }
        std::vector<TColor> shading;
        for (size_t c = 0; c < n; ++c) shading.push_back(li > 0 ? g->FixedColor() : columns[c]->Title()->Color());
        WriteRowStart(shading, noBorder[li], columns);
        for (size_t c = 0; c < n; ++c) {
            TFont* font = li > 0 ? g->TitleFont() : columns[c]->Title()->Font();
            TColor bg = shading[c];
            bool shown = levels[li][c] && !blank[li][c];
            // A cell the span above covers is blank, without spacing.
            if (shown) {
                WriteBytes("\\pard\\intbl{\\qc\\sb" + sp + "\\sa" + sp);
                EmitRun(font, levels[li][c]->NodeText, bg);
            } else {
                WriteBytes("\\pard\\intbl{\\qc");
                EmitRun(font, std::string(), bg);
            }
            WriteBytes("\\cell}\r\n");
        }
        WriteRowEnd();
    }
}
