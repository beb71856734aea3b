#include "frxExportXLS.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Streams.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "StringLists.h"
#include "TypInfo.h"
#include "XlsWorkbook.h"
#include "frxExportMatrix.h"
#include "frxProgress.h"
#include "frxRes.h"
#include "frxrcExports.h"

#include <algorithm>

namespace {
using Props = std::vector<TPropInfo>;
void DefineXLSExport(Props& p)
{
    using E = TfrxXLSExport;
    p.push_back(PublishBool<E>("ExportStyles", &E::ExportStyles, &E::ExportStyles, true));
    p.push_back(PublishBool<E>("ExportPictures", &E::ExportPictures, &E::ExportPictures, true));
    p.push_back(PublishString<E>("FileName", &E::FileName, &E::FileName));
    p.push_back(PublishBool<E>("MergeCells", &E::MergeCells, &E::MergeCells, true));
    p.push_back(PublishBool<E>("OpenExcelAfterExport", &E::OpenExcelAfterExport, &E::OpenExcelAfterExport, false));
    p.push_back(PublishBool<E>("ShowProgress", &E::ShowProgress, &E::ShowProgress));
    p.push_back(PublishBool<E>("Wysiwyg", &E::Wysiwyg, &E::Wysiwyg, true));
    p.push_back(PublishBool<E>("ShowDialog", &TfrxCustomExportFilter::ShowDialog,
                               &TfrxCustomExportFilter::ShowDialog, true));
}

TXlsHAlign HAlignOf(TfrxHAlign a)
{
    switch (a) {
    case frxClass::haRight: return xhRight;
    case frxClass::haCenter: return xhCenter;
    case frxClass::haBlock: return xhJustify;
    default: return xhLeft;
    }
}

TXlsVAlign VAlignOf(TfrxVAlign a)
{
    switch (a) {
    case frxClass::vaBottom: return xvBottom;
    case frxClass::vaCenter: return xvCenter;
    default: return xvTop;
    }
}

// The cell text: no CR, no character 1, no trailing line feeds.
std::string CellText(const std::string& s)
{
    std::string r;
    for (char c : s)
        if (c != '\r' && c != '\1') r += c;
    while (!r.empty() && r.back() == '\n') r.pop_back();
    return r;
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxXLSExport, TfrxCustomExportFilter, DefineXLSExport)
QZ_CLASS_IMPL(TfrxXLSExportDialog, TfrxExportDialog)

TfrxXLSExport::TfrxXLSExport(TComponent* owner) : TfrxCustomExportFilter(owner) { frxrcExports::Initialize(); }
TfrxXLSExport::~TfrxXLSExport() = default;

std::string TfrxXLSExport::GetDescription() { return frxRes::Resources().Get("XlsOLEexport"); }

bool TfrxXLSExport::Start()
{
    if (FileName.empty()) return false;
    FFirstPage = true;
    FMatrix = std::make_unique<TfrxIEMatrix>();
    FMatrix->ShowProgress = ShowProgress;
    FMatrix->MaxCellHeight = 535.79;
    FMatrix->Tolerance = Wysiwyg ? 0.5 : 10;
    FMatrix->RotatedAsImage = true;
    FMatrix->StripTags = true;
    return true;
}

void TfrxXLSExport::StartPage(TfrxReportPage* page, int index)
{
    if (!FFirstPage) return;
    FFirstPage = false;
    FLeftMargin = page->LeftMargin;
    FTopMargin = page->TopMargin;
    FRightMargin = page->RightMargin;
    FBottomMargin = page->BottomMargin;
    FOrientation = page->Orientation();
}

void TfrxXLSExport::ExportObject(TfrxComponent* obj)
{
    frxExportMatrix::AddFilteredObject(FMatrix.get(), obj, ExportPictures);
}

void TfrxXLSExport::FinishPage(TfrxReportPage* page, int index)
{
    frxExportMatrix::AddReportPage(FMatrix.get(), page);
}

namespace {

// A picture's bytes as a JPEG file at the best quality.
std::string JpegBytes(TBitmap* bmp)
{
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(100);
    jpeg.Assign(bmp);
    TMemoryStream ms;
    jpeg.SaveToStream(&ms);
    return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
}

}  // namespace

std::unique_ptr<TXlsWorkbook> TfrxXLSExport::BuildWorkbook()
{
    auto wb = std::make_unique<TXlsWorkbook>();
    TfrxIEMatrix& m = *FMatrix;
    m.Prepare();
    // Margins are millimetres on the page; the workbook keeps inches.
    wb->Landscape = FOrientation == frxEnums::poLandscape;
    wb->LeftMargin = FLeftMargin / 25.4;
    wb->RightMargin = FRightMargin / 25.4;
    wb->TopMargin = FTopMargin / 25.4;
    wb->BottomMargin = FBottomMargin / 25.4;
    const int R = m.RowCount(), C = m.ColCount();
    if (R > 65537 || C > 257)
        throw Exception("The report needs " + IntToStr(R - 1) + " rows and " + IntToStr(C - 1) +
                        " columns; a worksheet holds 65536 rows and 256 columns");
    TfrxStepProgress progress(ShowProgress);
    progress.Start(R - 1, "ProgressRows");
    int page = 0;
    for (int r = 1; r < R; ++r) {
        progress.Step();
        wb->SetRowHeight(r - 1, (m.GetYPos(r) - m.GetYPos(r - 1)) / 1.31);
        // The break goes above the first row of the next page (matrix row r).
        // The last page's end needs no break.
        if (page < m.PagesCount() - 1 && m.GetPageBreak(page) <= m.GetYPos(r)) {
            if (r < 65536) wb->AddPageBreak(r);
            ++page;
        }
    }
    progress.Start(C - 1, "ProgressColumns");
    for (int c = 1; c < C; ++c) {
        progress.Step();
        wb->SetColumnWidth(c - 1, (m.GetXPos(c) - m.GetXPos(c - 1)) / 8);
    }
    progress.Start(m.StylesCount() - 1, "ProgressStyles");
    std::vector<int> cellStyle(size_t(m.StylesCount()));
    for (int n = 0; n < m.StylesCount(); ++n) {
        progress.Step();
        TfrxIEMStyle* s = m.GetStyleById(n);
        TXlsStyle x;
        x.Font.Name = s->Font->Name();
        x.Font.Size = s->Font->Size();
        x.Font.Bold = s->Font->Style() & TfrxFont::Bold;
        x.Font.Italic = s->Font->Style() & TfrxFont::Italic;
        x.Font.Underline = s->Font->Style() & TfrxFont::Underline;
        x.Font.Color = s->Font->Color();
        x.Fill = s->Color;
        x.HAlign = HAlignOf(s->HAlign);
        x.VAlign = VAlignOf(s->VAlign);
        x.Wrap = true;
        if (s->FrameTyp.Contains(ftLeft)) x.Borders |= xbLeft;
        if (s->FrameTyp.Contains(ftRight)) x.Borders |= xbRight;
        if (s->FrameTyp.Contains(ftTop)) x.Borders |= xbTop;
        if (s->FrameTyp.Contains(ftBottom)) x.Borders |= xbBottom;
        x.BorderColor = s->FrameColor == clNone ? clBlack : s->FrameColor;
        cellStyle[size_t(n)] = wb->AddStyle(x, "S" + IntToStr(n));
    }
    TXlsStyle plain;
    plain.Wrap = true;
    const int plainStyle = wb->AddStyle(plain);
    progress.Start(R, "ProgressObjects");
    for (int r = 1; r <= R; ++r) {
        progress.Step();
        for (int t = 1; t <= C; ++t) {
            const int index = m.Cell(t - 1, r - 1);
            TfrxIEMObject* o = m.GetObjectById(index);
            if (!o || o->ExportMark != 0) continue;
            o->ExportMark = 1;
            int col, row, cs, rs;
            m.GetObjectPos(index, col, row, cs, rs);
            if (r - 1 > 65535 || t - 1 > 255) continue;
            const int lastRow = std::min(r - 1 + rs - 1, 65535), lastCol = std::min(t - 1 + cs - 1, 255);
            if (!o->IsText) {
                // A picture lies over the cells of its object, so it takes the
                // object's place and size.
                if (ExportPictures && o->Image && !o->Image->Empty())
                    wb->AddPicture(r - 1, t - 1, lastRow, lastCol, JpegBytes(o->Image.get()), xpJPEG);
                continue;
            }
            const int style = ExportStyles && o->StyleIndex >= 0 ? cellStyle[size_t(o->StyleIndex)] : plainStyle;
            const std::string text = CellText(o->Memo->Text());
            if (!text.empty())
                wb->SetText(r - 1, t - 1, text, style);
            else if (ExportStyles)
                wb->SetBlank(r - 1, t - 1, style);
            if (ExportStyles)
                for (int y = r - 1; y <= lastRow; ++y)
                    for (int x = t - 1; x <= lastCol; ++x)
                        if (y != r - 1 || x != t - 1) wb->SetBlank(y, x, style);
            if (MergeCells && (cs > 1 || rs > 1)) wb->MergeCells(r - 1, t - 1, lastRow, lastCol);
        }
    }
    return wb;
}

void TfrxXLSExport::Finish()
{
    if (!FMatrix) return;
    std::unique_ptr<TXlsWorkbook> wb;
    try {
        wb = BuildWorkbook();
    } catch (const EAbort&) {
        // Cancelled in the progress window: nothing is written, an existing
        // file stays as it was, and the export reports it did not finish.
        FMatrix.reset();
        if (Report) Report->SetTerminated(true);
        return;
    } catch (...) {
        FMatrix.reset();
        throw;
    }
    FMatrix.reset();
    wb->SaveToFile(FileName);
    if (OpenExcelAfterExport) ShellExecute("open", FileName, "", "", 1);
}

TfrxXLSExportDialog::TfrxXLSExportDialog(TComponent* owner) : TfrxExportDialog(owner, "OkB", "CancelB")
{
    SetName("frxXLSExportDialog");
    GroupQuality = AddOptionsGroup("GroupQuality", 64, 22);
    MergeCB = AddCheckBox(GroupQuality, "MergeCB", 12, 20);
    WCB = AddCheckBox(GroupQuality, "WCB", 136, 20);
    StylesCB = AddCheckBox(GroupQuality, "StylesCB", 12, 40);
    PicturesCB = AddCheckBox(GroupQuality, "PicturesCB", 136, 40);
    for (TCheckBox* c : {MergeCB, WCB, StylesCB, PicturesCB}) c->SetWidth(116);
    OpenExcelCB = AddCheckBox(this, "OpenExcelCB", 20, OptionsBottom());
    SaveDialog1->DefaultExt = "xls";
    Localize();
}

int TfrxXLSExport::ShowModal()
{
    TfrxXLSExportDialog dlg(nullptr);
    dlg.StylesCB->SetChecked(ExportStyles);
    dlg.PicturesCB->SetChecked(ExportPictures);
    dlg.MergeCB->SetChecked(MergeCells);
    dlg.WCB->SetChecked(Wysiwyg);
    dlg.OpenExcelCB->SetChecked(OpenExcelAfterExport);
    return dlg.Run(this, FileName, [&] {
        MergeCells = dlg.MergeCB->Checked();
        ExportPictures = dlg.PicturesCB->Checked();
        ExportStyles = dlg.StylesCB->Checked();
        Wysiwyg = dlg.WCB->Checked();
        OpenExcelAfterExport = dlg.OpenExcelCB->Checked();
    });
}
