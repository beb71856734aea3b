// Printing: the system's printers (through CUPS) and a printer that writes
// PDF files, each with its sheets, resolution and margins; a print job draws
// its pages on one canvas. A job that fails raises with the reason and
// leaves nothing that looks printed.
#pragma once

#include "Graphics.h"
#include "HostServices.h"
#include "StringLists.h"

#include <memory>
#include <string>
#include <vector>

enum TPrinterOrientation { poPortrait, poLandscape };
enum TPrinterCapability { pcCopies, pcOrientation, pcCollation };
using TPrinterCapabilities = TSet<TPrinterCapability, 8>;

QZ_EXCEPTION(EPrinter, Exception)

// A sheet the printer takes: its number (the platform's paper codes, 256 for
// a size of one's own), name and portrait size in millimetres.
struct TPaperInfo {
    int Number = 0;
    std::string Name;
    double Width = 0, Height = 0;
};
constexpr int DMPAPER_LETTER = 1;
constexpr int DMPAPER_A3 = 8;
constexpr int DMPAPER_A4 = 9;
constexpr int DMPAPER_A5 = 11;
constexpr int DMPAPER_B5 = 13;
constexpr int DMPAPER_USER = 256;
// The portrait size of a standard paper code; false for an unknown one.
bool StandardPaperSize(int number, double& widthMM, double& heightMM);

class TPrinter : public TObject {
    QZ_CLASS(TPrinter, TObject)
public:
    TPrinter();
    ~TPrinter() override;

    // ---- the printers
    // The system's printers, then the PDF-file printer (always there).
    TStrings* Printers();
    // -1 chooses the default printer (the system's default, else the PDF one).
    int PrinterIndex();
    void SetPrinterIndex(int index);
    std::string PrinterName();
    bool IsPdfPrinter();
    bool HasPhysicalPrinters();
    // Reads the system's printers again.
    void Refresh();
    TPrinterCapabilities Capabilities() { return {pcCopies, pcOrientation, pcCollation}; }

    // ---- the sheet
    std::vector<TPaperInfo> Papers();
    int PaperSize() const { return FPaper; }
    // A paper the printer does not list raises EPrinter.
    void SetPaperSize(int number);
    void SetCustomPaperSize(double widthMM, double heightMM);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation v);
    // The sheet as it lies (landscape exchanges the sides), millimetres.
    double PaperWidthMM() const;
    double PaperHeightMM() const;
    // The unprintable margins, millimetres.
    double LeftMarginMM() const { return FMargins[0]; }
    double TopMarginMM() const { return FMargins[1]; }
    double RightMarginMM() const { return FMargins[2]; }
    double BottomMarginMM() const { return FMargins[3]; }
    int XDPI() const { return FDpi; }
    int YDPI() const { return FDpi; }
    // The printable area in device pixels, and the whole sheet.
    int PageWidth() const;
    int PageHeight() const;
    int PhysicalWidth() const;
    int PhysicalHeight() const;
    int Copies() const { return FCopies; }
    void SetCopies(int v);
    bool Collate() const { return FCollate; }
    void SetCollate(bool v) { FCollate = v; }
    // 1 one-sided, 2 long edge, 3 short edge.
    int Duplex() const { return FDuplex; }
    void SetDuplex(int v) { FDuplex = v >= 1 && v <= 3 ? v : 1; }

    // ---- the job
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    // The output file: set, the job goes to that PDF file whatever the
    // printer; the PDF-file printer needs one.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v);
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The page being drawn; outside a job a canvas for measuring with the
    // printer's resolution.
    TCanvas* Canvas();

    // The printer's own dialogs (through the host services).
    bool ExecuteSetupDialog();

private:
    struct TImpl;
    void EnsureList();
    void ApplyPrinterDefaults();
    void CheckNotPrinting(const char* what);
    void FailJob(const std::string& reason);
    std::unique_ptr<TImpl> F;
    std::unique_ptr<TStringList> FNames;
    int FIndex = -2;   // not read yet
    int FSystemCount = 0;
    int FPaper = DMPAPER_A4;
    double FCustomW = 210, FCustomH = 297;
    double FMargins[4] = {5, 5, 5, 5};
    TPrinterOrientation FOrientation = poPortrait;
    int FDpi = 600;
    int FCopies = 1;
    bool FCollate = false;
    int FDuplex = 1;
    std::string FTitle;
    std::string FFileName;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// Sends a file to a system printer queue as one job (raw: the bytes go to
// the printer untouched, for printers driven by their own codes). Raises
// EPrinter with the spooler's reason when the job is refused.
void PrintFileToQueue(const std::string& queue, const std::string& fileName,
                      const std::string& title, int copies = 1, bool raw = false);

// The program's printer.
TPrinter* Printer();
// Replaces it (the old one is freed); returns the new one.
TPrinter* SetPrinter(std::unique_ptr<TPrinter> printer);

// ---- dialogs ----------------------------------------------------------------------

enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp,
                          poDisablePrintToFile };
using TPrintDialogOptions = TSet<TPrintDialogOption, 8>;

// The print dialog: chooses the printer, the copies and the pages; on OK the
// choice goes to Printer().
class TPrintDialog : public TComponent {
    QZ_CLASS(TPrintDialog, TComponent)
public:
    explicit TPrintDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    bool Execute();
    int Copies = 1;
    bool Collate = false;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    TPrintRange PrintRange = prAllPages;
    bool PrintToFile = false;
    TPrintDialogOptions Options;
};

// The printer set-up dialog: printer, paper and orientation, into Printer().
class TPrinterSetupDialog : public TComponent {
    QZ_CLASS(TPrinterSetupDialog, TComponent)
public:
    explicit TPrinterSetupDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    bool Execute();
};
