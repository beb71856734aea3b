// Every job is drawn into a PDF file first: the PDF printer's job is that
// file (written whole under a scratch name and renamed when the last page is
// done), a system printer's job is that file handed to the spooler, whose
// answer decides whether the job printed.
#include "Printers.h"
#include "QzPropsPrivate.h"
#include "QzGuiPrivate.h"
#include "Forms.h"
#include "SysUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace qzgui;

QZ_CLASS_IMPL(TPrinter, TObject)
QZ_CLASS_IMPL_PROPS(TPrintDialog, TComponent, qzgui::DefinePrintDialogProps)
QZ_CLASS_IMPL(TPrinterSetupDialog, TComponent)

namespace {

const char* const PdfPrinterName = "PDF 文件";

// The platform's paper codes run 1 to 68 (48 and 49 unused).
bool PageSizeOfCode(int number, QPageSize& out)
{
    if (number < 1 || number > 68 || number == 48 || number == 49) return false;
    QPageSize::PageSizeId id = QPageSize::id(number);
    if (id == QPageSize::Custom) return false;
    out = QPageSize(id);
    return true;
}

TPaperInfo PaperOf(int number, const QPageSize& ps)
{
    QSizeF mm = ps.size(QPageSize::Millimeter);
    return {number, US(ps.name()), std::round(mm.width() * 10) / 10, std::round(mm.height() * 10) / 10};
}

class TPrinterCanvas : public TCanvas {
    QZ_CLASS(TPrinterCanvas, TCanvas)
public:
    explicit TPrinterCanvas(HDC dc) : FDc(dc) {}
    ~TPrinterCanvas() override { SetHandle(nullptr); }
protected:
    void CreateHandle() override { SetHandle(FDc); }
private:
    HDC FDc;
};
QZ_CLASS_IMPL(TPrinterCanvas, TCanvas)

} // namespace

static void CheckQueueRuns(const std::string& queue);

bool StandardPaperSize(int number, double& widthMM, double& heightMM)
{
    QPageSize ps;
    if (!PageSizeOfCode(number, ps)) return false;
    TPaperInfo p = PaperOf(number, ps);
    widthMM = p.Width;
    heightMM = p.Height;
    return true;
}

struct TPrinter::TImpl {
    HDC Dc = nullptr;
    std::unique_ptr<TPrinterCanvas> Canvas;
    QImage Measure{1, 1, QImage::Format_RGB32};
    // The job.
    std::unique_ptr<QFile> File;
    std::unique_ptr<QPdfWriter> Writer;
    std::unique_ptr<QPainter> Painter;
    QString Scratch;     // the file being written
    QString Target;      // the PDF file asked for; empty: a system printer's job
    QString Queue;

    ~TImpl()
    {
        Canvas.reset();
        if (Dc) DeleteDC(Dc);
    }
    // Ends the painter and drops the writer; the file stays open.
    void Drop()
    {
        if (Painter && Painter->isActive()) Painter->end();
        Painter.reset();
        Writer.reset();
    }
    void Discard()
    {
        Drop();
        if (File) File->close();
        File.reset();
        if (!Scratch.isEmpty()) QFile::remove(Scratch);
        Scratch.clear();
    }
};

TPrinter::TPrinter() : F(std::make_unique<TImpl>()), FNames(std::make_unique<TStringList>())
{
    F->Measure.fill(Qt::white);
    F->Dc = NewDC();
    F->Dc->Image = &F->Measure;
    F->Canvas = std::make_unique<TPrinterCanvas>(F->Dc);
}

TPrinter::~TPrinter()
{
    if (FPrinting) {
        F->Discard();
        FPrinting = false;
    }
}

void TPrinter::EnsureList()
{
    if (FIndex != -2) return;
    InitGui();
    FNames->Clear();
    QStringList sys = QPrinterInfo::availablePrinterNames();
    for (const QString& n : sys) FNames->Add(US(n));
    FSystemCount = int(sys.size());
    FNames->Add(PdfPrinterName);
    FIndex = -1;
    ApplyPrinterDefaults();
}

void TPrinter::Refresh()
{
    CheckNotPrinting("Refresh");
    std::string was = FIndex >= 0 ? PrinterName() : std::string();
    FIndex = -2;
    EnsureList();
    int i = was.empty() ? -1 : FNames->IndexOf(was);
    if (i >= 0) SetPrinterIndex(i);
}

TStrings* TPrinter::Printers()
{
    EnsureList();
    return FNames.get();
}

bool TPrinter::HasPhysicalPrinters()
{
    EnsureList();
    return FSystemCount > 0;
}

int TPrinter::PrinterIndex()
{
    EnsureList();
    if (FIndex >= 0) return FIndex;
    QString def = QPrinterInfo::defaultPrinterName();
    int i = def.isEmpty() ? -1 : FNames->IndexOf(US(def));
    return i >= 0 && i < FSystemCount ? i : FNames->Count() - 1;
}

void TPrinter::SetPrinterIndex(int index)
{
    EnsureList();
    CheckNotPrinting("SetPrinterIndex");
    if (index < -1 || index >= FNames->Count()) throw EPrinter("Printer selected is not valid");
    FIndex = index;
    ApplyPrinterDefaults();
}

std::string TPrinter::PrinterName() { return Printers()->Strings(PrinterIndex()); }

bool TPrinter::IsPdfPrinter() { return PrinterIndex() >= FSystemCount; }

// A system printer brings its default sheet and its unprintable margins; the
// PDF printer has none, and starts on A4.
void TPrinter::ApplyPrinterDefaults()
{
    if (IsPdfPrinter()) {
        FPaper = DMPAPER_A4;
        for (double& m : FMargins) m = 0;
        FDpi = 600;
        return;
    }
    QPrinterInfo info = QPrinterInfo::printerInfo(QS(PrinterName()));
    QPageSize def = info.defaultPageSize();
    FPaper = def.windowsId() > 0 ? def.windowsId() : DMPAPER_A4;
    QPrinter probe(info, QPrinter::HighResolution);
    QPageLayout layout = probe.pageLayout();
    QMarginsF m = layout.minimumMargins();
    double toMM = layout.units() == QPageLayout::Millimeter ? 1.0 : 25.4 / 72.0;
    if (layout.units() == QPageLayout::Inch) toMM = 25.4;
    FMargins[0] = m.left() * toMM;
    FMargins[1] = m.top() * toMM;
    FMargins[2] = m.right() * toMM;
    FMargins[3] = m.bottom() * toMM;
    FDpi = 600;
}

std::vector<TPaperInfo> TPrinter::Papers()
{
    std::vector<TPaperInfo> out;
    if (IsPdfPrinter()) {
        for (int n = 1; n <= 68; ++n) {
            QPageSize ps;
            if (PageSizeOfCode(n, ps)) out.push_back(PaperOf(n, ps));
        }
        return out;
    }
    for (const QPageSize& ps : QPrinterInfo::printerInfo(QS(PrinterName())).supportedPageSizes()) {
        int n = ps.windowsId();
        bool seen = false;
        for (auto& p : out) seen = seen || p.Number == n;
        if (n > 0 && n < DMPAPER_USER && !seen) out.push_back(PaperOf(n, ps));
    }
    return out;
}

void TPrinter::SetPaperSize(int number)
{
    CheckNotPrinting("SetPaperSize");
    if (number == DMPAPER_USER) {
        FPaper = number;
        return;
    }
    for (auto& p : Papers())
        if (p.Number == number) {
            FPaper = number;
            return;
        }
    throw EPrinter(Format("The printer has no paper %d", {number}));
}

void TPrinter::SetCustomPaperSize(double w, double h)
{
    CheckNotPrinting("SetCustomPaperSize");
    if (!(w >= 10 && h >= 10 && w <= 5000 && h <= 5000))
        throw EPrinter(Format("Paper size %.1f x %.1f mm is not valid", {w, h}));
    FCustomW = w;
    FCustomH = h;
    FPaper = DMPAPER_USER;
}

void TPrinter::SetOrientation(TPrinterOrientation v)
{
    CheckNotPrinting("SetOrientation");
    FOrientation = v;
}

void TPrinter::SetCopies(int v)
{
    FCopies = std::clamp(v, 1, 999);
}

double TPrinter::PaperWidthMM() const
{
    double w = FCustomW, h = FCustomH;
    StandardPaperSize(FPaper, w, h);
    return FOrientation == poLandscape ? h : w;
}

double TPrinter::PaperHeightMM() const
{
    double w = FCustomW, h = FCustomH;
    StandardPaperSize(FPaper, w, h);
    return FOrientation == poLandscape ? w : h;
}

static int MMToPx(double mm, int dpi) { return int(std::lround(mm * dpi / 25.4)); }

int TPrinter::PhysicalWidth() const { return MMToPx(PaperWidthMM(), FDpi); }
int TPrinter::PhysicalHeight() const { return MMToPx(PaperHeightMM(), FDpi); }
int TPrinter::PageWidth() const
{
    // Margins follow the sheet as it lies.
    double l = FOrientation == poLandscape ? FMargins[1] + FMargins[3] : FMargins[0] + FMargins[2];
    return PhysicalWidth() - MMToPx(l, FDpi);
}
int TPrinter::PageHeight() const
{
    double t = FOrientation == poLandscape ? FMargins[0] + FMargins[2] : FMargins[1] + FMargins[3];
    return PhysicalHeight() - MMToPx(t, FDpi);
}

void TPrinter::SetFileName(const std::string& v)
{
    CheckNotPrinting("SetFileName");
    FFileName = v;
}

void TPrinter::CheckNotPrinting(const char*)
{
    if (FPrinting) throw EPrinter("Printing in progress");
}

TCanvas* TPrinter::Canvas()
{
    HDC dc = F->Dc;
    if (!FPrinting) {
        // Outside a job the canvas measures at the printer's resolution.
        dc->EndPainter();
        dc->Device = nullptr;
        dc->Painter = nullptr;
        dc->Image = &F->Measure;
        dc->Size = QSize(PageWidth(), PageHeight());
        dc->Sheet = QSize(PhysicalWidth(), PhysicalHeight());
        dc->Dpi = FDpi;
        dc->Dirty = true;
    }
    TFont* font = F->Canvas->Font();
    if (font->PixelsPerInch() != FDpi) {
        int size = font->Size();
        font->SetPixelsPerInch(FDpi);
        font->SetSize(size);
    }
    return F->Canvas.get();
}

// Ends the job, leaving nothing behind, and raises with the reason.
void TPrinter::FailJob(const std::string& reason)
{
    F->Discard();
    FPrinting = false;
    FPageNumber = 0;
    Canvas();
    throw EPrinter(reason);
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting("BeginDoc");
    EnsureList();
    FAborted = false;
    F->Target = QS(FFileName);
    F->Queue.clear();
    if (F->Target.isEmpty()) {
        if (IsPdfPrinter()) throw EPrinter("No file name given for the PDF printer");
        // A stopped queue fails the job before any page is drawn.
        CheckQueueRuns(PrinterName());
        F->Queue = QS(PrinterName());
        F->Scratch = QDir(QDir::tempPath()).filePath(
            QStringLiteral("qzprint-%1-%2.pdf").arg(getpid()).arg(quintptr(this), 0, 16));
    } else {
        QFileInfo fi(F->Target);
        F->Scratch = fi.absoluteDir().filePath(QStringLiteral(".%1.%2.part").arg(fi.fileName()).arg(getpid()));
    }
    F->File = std::make_unique<QFile>(F->Scratch);
    if (!F->File->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::string why = US(F->File->errorString());
        F->File.reset();
        F->Scratch.clear();
        throw EPrinter("Cannot write " + US(F->Target.isEmpty() ? F->Scratch : F->Target) + ": " + why);
    }
    FPrinting = true;
    F->Writer = std::make_unique<QPdfWriter>(F->File.get());
    F->Writer->setResolution(FDpi);
    F->Writer->setTitle(QS(FTitle));
    F->Writer->setCreator(QCoreApplication::applicationName());
    QPageSize ps = FPaper == DMPAPER_USER ? QPageSize(QSizeF(FCustomW, FCustomH), QPageSize::Millimeter)
                                          : QPageSize(QPageSize::id(FPaper));
    QMarginsF margins(FMargins[0], FMargins[1], FMargins[2], FMargins[3]);
    if (FOrientation == poLandscape) margins = QMarginsF(FMargins[1], FMargins[2], FMargins[3], FMargins[0]);
    QPageLayout layout(ps, FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       margins, QPageLayout::Millimeter);
    if (!F->Writer->setPageLayout(layout)) FailJob("The paper or its margins do not fit the printer");
    F->Painter = std::make_unique<QPainter>();
    if (!F->Painter->begin(F->Writer.get())) FailJob("The printer could not start the document");
    HDC dc = F->Dc;
    dc->EndPainter();
    dc->Image = nullptr;
    dc->Device = F->Writer.get();
    dc->Painter = F->Painter.get();
    dc->OwnsPainter = false;
    dc->Size = QSize(PageWidth(), PageHeight());
    dc->Sheet = QSize(PhysicalWidth(), PhysicalHeight());
    QRect paint = F->Writer->pageLayout().paintRectPixels(FDpi);
    dc->SheetOffset = paint.topLeft();
    dc->Dpi = FDpi;
    dc->St = HDC__::TDCState();
    dc->Saved.clear();
    dc->Dirty = true;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    if (!F->Writer->newPage()) FailJob("The printer could not start a new page");
    if (F->File->error() != QFileDevice::NoError) FailJob("Cannot write the document: " + US(F->File->errorString()));
    F->Dc->Dirty = true;
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    F->Dc->Painter = nullptr;
    F->Dc->Device = nullptr;
    F->Drop();
    QFile& file = *F->File;
    bool flushed = file.flush();
    if (!flushed || file.error() != QFileDevice::NoError) FailJob("Cannot write the document: " + US(file.errorString()));
    file.close();
    // Text copied or searched in the document reads as printed; a map that
    // cannot be mended leaves the document as written.
    MendPdfTextMaps(F->Scratch, FTitle);
    if (!F->Target.isEmpty()) {
        // The finished file replaces the old one in one step.
        if (std::rename(QFile::encodeName(F->Scratch).constData(), QFile::encodeName(F->Target).constData()) != 0)
            FailJob("Cannot write " + US(F->Target) + ": " + std::string(std::strerror(errno)));
        F->Scratch.clear();
    } else {
        try {
            PrintFileToQueue(US(F->Queue), US(F->Scratch), FTitle, FCopies);
        } catch (EPrinter& e) {
            FailJob(e.Message());
        }
    }
    F->Discard();
    FPrinting = false;
    FPageNumber = 0;
    Canvas();
}

void TPrinter::Abort()
{
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    F->Dc->Painter = nullptr;
    F->Dc->Device = nullptr;
    F->Discard();
    FPrinting = false;
    FAborted = true;
    FPageNumber = 0;
    Canvas();
}

// A stopped queue takes a job and holds it: the job would look printed while
// nothing comes out, so it is refused here with the spooler's reason. A
// queue that takes no jobs at all is refused by the spooler itself.
static void CheckQueueRuns(const std::string& queue)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (!dest) return;
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    std::string why;
    if (state && std::atoi(state) == IPP_PSTATE_STOPPED) {
        const char* message = cupsGetOption("printer-state-message", dest->num_options, dest->options);
        const char* reasons = cupsGetOption("printer-state-reasons", dest->num_options, dest->options);
        why = message && *message ? message : reasons && *reasons ? reasons : "stopped";
    }
    cupsFreeDests(1, dest);
    if (!why.empty()) throw EPrinter("The printer " + queue + " is stopped: " + why);
}

void PrintFileToQueue(const std::string& queue, const std::string& fileName, const std::string& title,
                      int copies, bool raw)
{
    CheckQueueRuns(queue);
    cups_option_t* options = nullptr;
    int n = 0;
    std::string c = std::to_string(std::clamp(copies, 1, 999));
    n = cupsAddOption("copies", c.c_str(), n, &options);
    if (raw) n = cupsAddOption("raw", "true", n, &options);
    int job = cupsPrintFile(queue.c_str(), fileName.c_str(), title.c_str(), n, options);
    cupsFreeOptions(n, options);
    if (job <= 0) {
        const char* why = cupsLastErrorString();
        throw EPrinter("The printer " + queue + " refused the job: " + (why && *why ? why : "unknown error"));
    }
}

static std::unique_ptr<TPrinter>& ThePrinter()
{
    static auto* p = new std::unique_ptr<TPrinter>();
    return *p;
}

TPrinter* Printer()
{
    auto& p = ThePrinter();
    if (!p) p = std::make_unique<TPrinter>();
    return p.get();
}

TPrinter* SetPrinter(std::unique_ptr<TPrinter> printer)
{
    ThePrinter() = std::move(printer);
    return Printer();
}

// ---- dialogs --------------------------------------------------------------------------

static TPrintDialogData DialogData(TPrinter* p)
{
    TPrintDialogData d;
    for (int i = 0; i < p->Printers()->Count(); ++i) d.Printers.push_back(p->Printers()->Strings(i));
    d.PrinterIndex = p->PrinterIndex();
    for (auto& paper : p->Papers()) d.Papers.push_back({paper.Number, paper.Name});
    d.PaperSize = p->PaperSize();
    d.Landscape = p->Orientation() == poLandscape;
    d.Copies = p->Copies();
    d.Collate = p->Collate();
    return d;
}

// The printer first: a new printer brings its own defaults, which the
// dialog's sheet then overrides.
static void TakeSheet(TPrinter* p, const TPrintDialogData& d)
{
    if (d.PrinterIndex != p->PrinterIndex()) p->SetPrinterIndex(d.PrinterIndex);
    p->SetOrientation(d.Landscape ? poLandscape : poPortrait);
    if (d.PaperSize > 0 && d.PaperSize != p->PaperSize()) p->SetPaperSize(d.PaperSize);
}

bool TPrintDialog::Execute()
{
    TPrinter* p = Printer();
    TPrintDialogData d = DialogData(p);
    d.Copies = Copies;
    d.Collate = Collate;
    d.FromPage = FromPage;
    d.ToPage = ToPage;
    d.MinPage = MinPage;
    d.MaxPage = MaxPage;
    d.PrintRange = PrintRange;
    d.PrintToFile = PrintToFile;
    d.AllowPageNums = Options.Contains(poPageNums);
    d.AllowSelection = Options.Contains(poSelection);
    d.AllowPrintToFile = Options.Contains(poPrintToFile) && !Options.Contains(poDisablePrintToFile);
    if (!HostServices().PrintDialog(d)) return false;
    if (d.PrinterIndex < 0 || d.PrinterIndex >= p->Printers()->Count()) return false;
    TakeSheet(p, d);
    Copies = std::clamp(d.Copies, 1, 999);
    Collate = d.Collate;
    PrintRange = d.PrintRange;
    if (PrintRange == prPageNums) {
        // Pages outside what the caller allows are brought inside it.
        int lo = MinPage, hi = MaxPage > 0 ? MaxPage : std::max(d.FromPage, d.ToPage);
        FromPage = std::clamp(std::min(d.FromPage, d.ToPage), lo, std::max(lo, hi));
        ToPage = std::clamp(std::max(d.FromPage, d.ToPage), lo, std::max(lo, hi));
    }
    PrintToFile = d.PrintToFile;
    p->SetCopies(Copies);
    p->SetCollate(Collate);
    return true;
}

bool TPrinterSetupDialog::Execute()
{
    TPrinter* p = Printer();
    TPrintDialogData d = DialogData(p);
    if (!HostServices().PrinterSetupDialog(d)) return false;
    if (d.PrinterIndex < 0 || d.PrinterIndex >= p->Printers()->Count()) return false;
    TakeSheet(p, d);
    return true;
}

bool TPrinter::ExecuteSetupDialog()
{
    TPrinterSetupDialog dlg;
    return dlg.Execute();
}
