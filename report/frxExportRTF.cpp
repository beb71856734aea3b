#include "frxExportRTF.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "DateUtils.h"
#include "Graphics.h"
#include "HostServices.h"
#include "StringLists.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"
#include "frxExportMatrix.h"
#include "frxProgress.h"
#include "frxRes.h"
#include "frxrcExports.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
using Props = std::vector<TPropInfo>;
void DefineRTFExport(Props& p)
{
    using E = TfrxRTFExport;
    p.push_back(PublishBool<E>("ExportPageBreaks", &E::ExportPageBreaks, &E::ExportPageBreaks, true));
    p.push_back(PublishBool<E>("ExportPictures", &E::ExportPictures, &E::ExportPictures, true));
    p.push_back(PublishString<E>("FileName", &E::FileName, &E::FileName));
    p.push_back(PublishBool<E>("OpenAfterExport", &E::OpenAfterExport, &E::OpenAfterExport, false));
    p.push_back(PublishBool<E>("ShowProgress", &E::ShowProgress, &E::ShowProgress));
    p.push_back(PublishBool<E>("ShowDialog", &TfrxCustomExportFilter::ShowDialog,
                               &TfrxCustomExportFilter::ShowDialog, true));
}

int RoundI(double v) { return int(Round(v)); }

int Register(std::vector<std::string>& list, const std::string& entry)
{
    auto it = std::find(list.begin(), list.end(), entry);
    if (it != list.end()) return int(it - list.begin());
    list.push_back(entry);
    return int(list.size()) - 1;
}

std::string ColorEntry(TColor c)
{
    const uint32_t rgb = uint32_t(ColorToRGB(c));
    return "\\red" + IntToStr(int(rgb & 0xFF)) + "\\green" + IntToStr(int((rgb >> 8) & 0xFF)) + "\\blue" +
           IntToStr(int((rgb >> 16) & 0xFF)) + ";";
}

std::string Hex2(int b)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b & 0xFF);
    return buf;
}
std::string HexLE(uint32_t v, int bytes)
{
    std::string r;
    for (int i = 0; i < bytes; ++i) r += Hex2(int((v >> (8 * i)) & 0xFF));
    return r;
}
}  // namespace

namespace frxExportRTF {

std::string EscapeText(const std::string& utf8)
{
    std::string r;
    const std::u16string u = Utf8ToUtf16(utf8);
    for (size_t i = 0; i < u.size(); ++i) {
        const char16_t c = u[i];
        if (c == '\r' && i + 1 < u.size() && u[i + 1] == '\n') {
            r += "\\line\r\n";
            ++i;
        } else if (c == '\n')
            r += "\\line\r\n";
        else if (c == '\\' || c == '{' || c == '}') {
            r += '\\';
            r += char(c);
        } else if (c < 0x80)
            r += char(c);
        else
            r += "\\u" + IntToStr(int(int16_t(c))) + "?";
    }
    return r;
}

}  // namespace frxExportRTF

QZ_CLASS_IMPL_PROPS(TfrxRTFExport, TfrxCustomExportFilter, DefineRTFExport)
QZ_CLASS_IMPL(TfrxRTFExportDialog, TfrxExportDialog)

TfrxRTFExport::TfrxRTFExport(TComponent* owner) : TfrxCustomExportFilter(owner) { frxrcExports::Initialize(); }
TfrxRTFExport::~TfrxRTFExport() = default;

std::string TfrxRTFExport::GetDescription() { return frxRes::Resources().Get("RTFexport"); }

bool TfrxRTFExport::Start()
{
    if (FileName.empty()) return false;
    FPageCount = 0;
    FMatrix = std::make_unique<TfrxIEMatrix>();
    FMatrix->ShowProgress = ShowProgress;
    FMatrix->Tolerance = Wysiwyg ? 0.5 : 10;
    FMatrix->RotatedAsImage = true;
    FMatrix->FillArea = true;
    FMatrix->CropFillArea = true;
    FMatrix->StripTags = true;
    FFontNames.clear();
    FColors.clear();
    return true;
}

void TfrxRTFExport::StartPage(TfrxReportPage* page, int index) { ++FPageCount; }

void TfrxRTFExport::ExportObject(TfrxComponent* obj)
{
    frxExportMatrix::AddFilteredObject(FMatrix.get(), obj, ExportPictures);
}

void TfrxRTFExport::FinishPage(TfrxReportPage* page, int index)
{
    frxExportMatrix::AddReportPage(FMatrix.get(), page);
}

std::string TfrxRTFExport::BuildDocument()
{
    TfrxIEMatrix& m = *FMatrix;
    m.Prepare();
    const int R = m.RowCount(), C = m.ColCount();
    // Pre-pass: the font and colour tables.
    for (int row = 0; row < R; ++row)
        for (int col = 0; col < C; ++col) {
            TfrxIEMObject* o = m.GetObject(col, row);
            if (!o || o->ExportMark == -1) continue;
            o->ExportMark = -1;
            if (!o->Style) continue;
            Register(FColors, ColorEntry(o->Style->Color));
            Register(FColors, ColorEntry(o->Style->FrameColor));
            if (o->IsText) {
                Register(FColors, ColorEntry(o->Style->Font->Color()));
                Register(FFontNames, o->Style->Font->Name());
            }
        }
    auto colorNo = [&](TColor c) { return Register(FColors, ColorEntry(c)) + 1; };
    auto fontNo = [&](const std::string& name) { return Register(FFontNames, name); };

    std::string out;
    auto line = [&](const std::string& s) {
        if (!s.empty()) out += s + "\r\n";
    };
    // Chinese text: the GBK code page and character set are declared, and
    // text beyond ASCII goes as Unicode escapes any reader understands.
    line("{\\rtf1\\ansi\\ansicpg936\\uc1");
    auto table = [&](const std::string& start, const std::vector<std::string>& entries) {
        std::string buf = start;
        for (const std::string& e : entries) {
            if (buf.size() + e.size() > 254) {
                line(buf);
                buf.clear();
            }
            buf += e;
        }
        line(buf + "}");
    };
    std::vector<std::string> fonts;
    for (size_t i = 0; i < FFontNames.size(); ++i)
        fonts.push_back("{\\f" + IntToStr(int(i)) + "\\fcharset134 " + frxExportRTF::EscapeText(FFontNames[i]) + ";}");
    table("{\\fonttbl", fonts);
    table("{\\colortbl;", FColors);
    const TDateTime now = Now();
    const std::string title = Report ? Report->ReportOptions()->Name : std::string();
    line("{\\info{\\title " + frxExportRTF::EscapeText(title) + "}{\\author Hengyue report library}{\\creatim\\yr" +
         FormatDateTime("yyyy", now) + "\\mo" + FormatDateTime("mm", now) + "\\dy" + FormatDateTime("dd", now) +
         "\\hr" + FormatDateTime("hh", now) + "\\min" + FormatDateTime("nn", now) + "}}");
    auto section = [&](int p) {
        // Each page's section starts a new page in every reader.
        line("\\sbkpage\\pgwsxn" + IntToStr(RoundI(m.GetPageWidth(p) * 15.02)) + "\\pghsxn" +
             IntToStr(RoundI(m.GetPageHeight(p) * 15.02)) + "\\marglsxn" +
             IntToStr(RoundI(m.GetPageLeftMargin(p) * 56.7)) + "\\margrsxn" +
             IntToStr(RoundI(m.GetPageRightMargin(p) * 56.7)) + "\\margtsxn" +
             IntToStr(RoundI(m.GetPageTopMargin(p) * 56.7)) + "\\margbsxn" +
             IntToStr(RoundI(m.GetPageBottomMargin(p) * 56.7)));
        if (m.GetPageOrientation(p) == frxEnums::poLandscape) line("\\lndscpsxn");
    };
    auto borders = [&](TfrxIEMStyle* s) {
        if (!s) return std::string();
        std::string words = "\\brdrs\\brdrw" + IntToStr(RoundI(s->FrameWidth * 20)) + "\\brdrcf" +
                            IntToStr(colorNo(s->FrameColor));
        if (s->FrameStyle == fsDouble)
            words += "\\brdrdashdd";
        else if (s->FrameStyle != fsSolid)
            words += "\\brdrdashsm";
        std::string r;
        if (s->FrameTyp.Contains(ftTop)) r += "\\clbrdrt" + words;
        if (s->FrameTyp.Contains(ftLeft)) r += "\\clbrdrl" + words;
        if (s->FrameTyp.Contains(ftBottom)) r += "\\clbrdrb" + words;
        if (s->FrameTyp.Contains(ftRight)) r += "\\clbrdrr" + words;
        return r;
    };
    TfrxStepProgress progress(ShowProgress);
    progress.Start(R - 2, "ProgressWait");
    section(0);
    int page = 0;
    const int x0 = RoundI(m.GetXPos(1));
    for (int i = 0; i + 1 < R; ++i) {
        progress.Step();
        if (ExportPageBreaks && page < m.PagesCount() && m.GetYPos(i) >= m.GetPageBreak(page)) {
            line("\\pard\\sect");
            ++page;
            if (page < m.PagesCount()) section(page);
        }
        const int h = RoundI((m.GetYPos(i + 1) - m.GetYPos(i)) * 14.2);
        const int emptySize = h < 336 ? h / 16 : 20;
        std::string def = "\\trrh" + IntToStr(h) + "\\trgaph15";
        std::string buf;
        for (int c = 1; c + 1 < C; ++c) {
            const int index = m.Cell(c, i);
            TfrxIEMObject* o = m.GetObjectById(index);
            if (!o) continue;
            int col, row, cs, rs;
            m.GetObjectPos(index, col, row, cs, rs);
            TfrxIEMStyle* s = o->Style;
            const std::string cellx = "\\cellx" + IntToStr(RoundI((o->Left + o->Width - x0) * 14.9));
            if (o->ExportMark == -1) {
                if (rs > 1) def += "\\clvmgf";
                if (s && (uint32_t(ColorToRGB(s->Color)) & 0xFFFFFF) != 0xFFFFFF && s->Color != clNone)
                    def += "\\clcbpat" + IntToStr(colorNo(s->Color));
                if (s) def += s->VAlign == frxClass::vaBottom ? "\\clvertalb"
                              : s->VAlign == frxClass::vaCenter ? "\\clvertalc" : "\\clvertalt";
                def += borders(s) + "\\cltxlrtb" + cellx;
                if (o->IsText || !ExportPictures || !o->Image || o->Image->Empty()) {
                    std::string text = o->Memo->Text();
                    text.erase(std::remove(text.begin(), text.end(), '\1'), text.end());
                    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
                    const std::string hal = !s ? "\\ql"
                                            : s->HAlign == frxClass::haRight ? "\\qr"
                                            : s->HAlign == frxClass::haCenter ? "\\qc" : "\\ql";
                    std::string chars;
                    if (s) {
                        chars = "\\f" + IntToStr(fontNo(s->Font->Name()));
                        chars += "\\fs" + IntToStr(text.empty() ? emptySize : s->Font->Size() * 2);
                        if (s->Font->Style() & TfrxFont::Italic) chars += "\\i";
                        if (s->Font->Style() & TfrxFont::Bold) chars += "\\b";
                        if (s->Font->Style() & TfrxFont::Underline) chars += "\\ul";
                        chars += "\\cf" + IntToStr(colorNo(s->Font->Color()));
                    } else
                        chars = "\\fs" + IntToStr(emptySize);
                    std::string para;
                    if (!Trim(text).empty() && s)
                        para = "\\sb" + IntToStr(RoundI(s->GapY * 14.2)) + "\\li" + IntToStr(RoundI(s->GapX / 2 * 14.9)) +
                               "\\sl" + IntToStr(RoundI((s->Font->Size() + s->LineSpacing) * 14.2)) + "\\slmult0";
                    buf += hal + "{" + chars + para + " " + frxExportRTF::EscapeText(text) + "\\cell}\r\n";
                } else {
                    // A picture: its device-independent bits in a Windows metafile.
                    TStringStream bmp;
                    o->Image->SaveToStream(&bmp);
                    const std::string bytes = bmp.DataString();
                    const uint32_t S = uint32_t(bytes.size() / 2 + 7);
                    const int W = RoundI(o->Width), H = RoundI(o->Height);
                    const int bw = o->Image->Width(), bh = o->Image->Height();
                    buf += "{\\sb0\\li0\\sl0\\slmult0 {\\pict\\wmetafile8\\picw" + IntToStr(RoundI(W * 25.3)) +
                           "\\pich" + IntToStr(RoundI(H * 25.3)) + "\\picbmp\\picbpp4\r\n";
                    buf += "010009000003" + HexLE(S + 36, 4) + "0000" + HexLE(S, 4) + "0000" +
                           "050000000b0200000000050000000c02" + HexLE(uint32_t(bh), 2) + HexLE(uint32_t(bw), 2) +
                           "05000000090200000000050000000102ffffff000400000007010300" + HexLE(S, 4) +
                           "430f2000cc000000" + HexLE(uint32_t(bh), 2) + HexLE(uint32_t(bw), 2) + "00000000" +
                           HexLE(uint32_t(bh), 2) + HexLE(uint32_t(bw), 2) + "00000000\r\n";
                    for (size_t k = 14; k < bytes.size(); k += 64) {
                        for (size_t j = k; j < std::min(bytes.size(), k + 64); ++j) buf += Hex2(uint8_t(bytes[j]));
                        buf += "\r\n";
                    }
                    buf += "030000000000}\\cell}\r\n";
                }
                o->ExportMark = i + 1;
            } else if (rs > 1 && o->ExportMark != i + 1) {
                def += "\\clvmrg" + borders(s) + "\\cltxlrtb" + cellx;
                buf += "{\\fs" + IntToStr(emptySize) + "\\cell}\r\n";
                o->ExportMark = i + 1;
            }
        }
        if (!buf.empty()) {
            line("\\trowd" + def + "\\pard\\intbl");
            out += buf;
            line("\\pard\\intbl{\\trowd" + def + "\\row}");
        }
    }
    line("}");
    return out;
}

void TfrxRTFExport::Finish()
{
    if (!FMatrix) return;
    std::string doc;
    try {
        doc = BuildDocument();
    } catch (const EAbort&) {
        // Cancelled in the progress window: a document without its last rows
        // is not written over an existing file.
        FMatrix.reset();
        if (Report) Report->SetTerminated(true);
        return;
    } catch (...) {
        FMatrix.reset();
        throw;
    }
    FMatrix.reset();
    SaveFileWhole(FileName, doc);
    if (OpenAfterExport) ShellExecute("open", FileName, "", "", 1);
}

TfrxRTFExportDialog::TfrxRTFExportDialog(TComponent* owner) : TfrxExportDialog(owner, "OkB", "CancelB")
{
    SetName("frxRTFExportDialog");
    GroupQuality = AddOptionsGroup("GroupQuality", 84, 22);
    WCB = AddCheckBox(GroupQuality, "WCB", 12, 20);
    PageBreaksCB = AddCheckBox(GroupQuality, "PageBreaksCB", 12, 40);
    PicturesCB = AddCheckBox(GroupQuality, "PicturesCB", 12, 60);
    OpenCB = AddCheckBox(this, "OpenCB", 20, OptionsBottom());
    SaveDialog1->DefaultExt = "rtf";
    Localize();
}

int TfrxRTFExport::ShowModal()
{
    TfrxRTFExportDialog dlg(nullptr);
    dlg.PicturesCB->SetChecked(ExportPictures);
    dlg.PageBreaksCB->SetChecked(ExportPageBreaks);
    dlg.WCB->SetChecked(Wysiwyg);
    dlg.OpenCB->SetChecked(OpenAfterExport);
    return dlg.Run(this, FileName, [&] {
        ExportPictures = dlg.PicturesCB->Checked();
        ExportPageBreaks = dlg.PageBreaksCB->Checked();
        Wysiwyg = dlg.WCB->Checked();
        OpenAfterExport = dlg.OpenCB->Checked();
    });
}
