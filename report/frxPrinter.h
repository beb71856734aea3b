// The report library's printers: one process-wide list, each printer with
// its papers, bins, resolution, page geometry in millimetres, a canvas to
// draw pages on and the operations of a print job. Without any platform
// printer a virtual printer (600 dpi, A4, 5 mm margins, the standard paper
// table) stands in, so pages can still be laid out.
#pragma once

#include "Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStringList;
class TfrxCustomPrinter;

struct TfrxPaperInfo {
    int Typ;
    const char* Name;
    int X, Y;   // tenths of a millimetre, portrait
};

// A canvas that draws on a printer's page; fonts keep their point size and
// take the printer's resolution.
class TfrxPrinterCanvas : public TCanvas {
    QZ_CLASS(TfrxPrinterCanvas, TCanvas)
public:
    TfrxPrinterCanvas() = default;
    TfrxCustomPrinter* Printer = nullptr;
    // Attaches the context the printer draws into (null detaches).
    void Attach(HDC dc) { SetHandle(dc); }
};

// A print job failed (start, page or end): the job is aborted and the
// message says why.
QZ_EXCEPTION(EfrxPrintError, Exception)

class TfrxCustomPrinter : public TObject {
    QZ_CLASS(TfrxCustomPrinter, TObject)
public:
    TfrxCustomPrinter(const std::string& name, const std::string& port);
    ~TfrxCustomPrinter() override;

    virtual void Prepare() = 0;
    virtual void AbortJob() = 0;
    // Job operations raise EfrxPrintError when the platform refuses them.
    virtual void StartJob() = 0;
    virtual void StartSheet() = 0;
    virtual void StartRawJob() = 0;
    virtual void EndJob() = 0;
    virtual void EndSheet() = 0;
    virtual void EndRawJob() = 0;
    virtual void WriteRaw(const std::string& text) = 0;
    virtual void ApplyViewSettings(int paper, int orientation, double width, double height) = 0;
    virtual void ApplyPrintSettings(int paper, int orientation, double width, double height, int bin,
                                    int copies, int duplex) = 0;
    virtual bool ShowSetupDialog() { return false; }

    int IndexOfBin(int number) const;
    int IndexOfPaper(int number) const;
    int BinNumberOf(const std::string& name) const;
    int PaperNumberOf(const std::string& name) const;

    const std::string& Name() const { return FName; }
    const std::string& Port() const { return FPort; }
    int Bin = -1;
    TStringList* Bins() const { return FBins.get(); }
    TStringList* Papers() const { return FPapers.get(); }
    TfrxPrinterCanvas* Canvas() const { return FCanvas.get(); }
    int DefOrientation = 0;
    int DefPaper = 9;
    double DefPaperWidth = 210, DefPaperHeight = 297;
    int DPIX = 600, DPIY = 600;
    std::string FileName;
    int PaperSize = 9;
    double PaperWidth = 210, PaperHeight = 297;
    double LeftMargin = 5, TopMargin = 5, RightMargin = 5, BottomMargin = 5;
    int Orientation = 0;
    bool Printing = false;
    std::string Title;
    bool Initialized = false;

protected:
    void AddPaper(const std::string& name, int number);
    void AddBin(const std::string& name, int number);
    std::unique_ptr<TfrxPrinterCanvas> FCanvas;

private:
    std::string FName, FPort;
    std::unique_ptr<TStringList> FBins, FPapers;
};

// Stands in when the platform has no printer: every job operation does nothing.
class TfrxVirtualPrinter : public TfrxCustomPrinter {
    QZ_CLASS(TfrxVirtualPrinter, TfrxCustomPrinter)
public:
    using TfrxCustomPrinter::TfrxCustomPrinter;
    void Prepare() override;
    void AbortJob() override {}
    void StartJob() override {}
    void StartSheet() override {}
    void StartRawJob() override {}
    void EndJob() override {}
    void EndSheet() override {}
    void EndRawJob() override {}
    void WriteRaw(const std::string&) override {}
    void ApplyViewSettings(int paper, int orientation, double width, double height) override;
    void ApplyPrintSettings(int paper, int orientation, double width, double height, int bin, int copies,
                            int duplex) override;
};

// A printer of the platform's printing (a system printer, or the printer
// that writes PDF files), reached through the program's TPrinter. A sheet
// takes the paper and orientation the job started with; copies and duplex
// follow each page.
class TfrxPrinter : public TfrxCustomPrinter {
    QZ_CLASS(TfrxPrinter, TfrxCustomPrinter)
public:
    TfrxPrinter(const std::string& name, const std::string& port, int index);
    void Prepare() override;
    void AbortJob() override;
    void StartJob() override;
    void StartSheet() override;
    void StartRawJob() override;
    void EndJob() override;
    void EndSheet() override {}
    void EndRawJob() override;
    void WriteRaw(const std::string& text) override;
    void ApplyViewSettings(int paper, int orientation, double width, double height) override;
    void ApplyPrintSettings(int paper, int orientation, double width, double height, int bin, int copies,
                            int duplex) override;
    bool ShowSetupDialog() override;

private:
    void Select();
    void ReadGeometry();
    int FIndex;
    int FSheets = 0;
    std::string FRaw;
    bool FRawJob = false;
};

class TfrxPrinters {
public:
    TfrxPrinters();
    ~TfrxPrinters();
    int Count() const { return int(FList.size()); }
    TfrxCustomPrinter* Items(int i) const { return FList.at(size_t(i)).get(); }
    // The current printer; never null (the first printer when none is chosen).
    TfrxCustomPrinter* Printer() const;
    int IndexOf(const std::string& name) const;
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int i);
    TStringList* PrinterNames() const { return FNames.get(); }
    bool HasPhysicalPrinters() const { return FHasPhysical; }
    // Rebuilds the list from the platform (or the installed source).
    void FillPrinters();
    void Clear();

private:
    std::vector<std::unique_ptr<TfrxCustomPrinter>> FList;
    std::unique_ptr<TStringList> FNames;
    int FPrinterIndex = -1;
    bool FHasPhysical = false;
};

namespace frxPrinter {
// The 66 standard paper sizes.
const std::vector<TfrxPaperInfo>& PaperInfos();
// Width and height in millimetres of a paper number; false (outputs
// untouched) for a number not in the table.
bool PaperSizeOf(int number, double& width, double& height);
// Where the list finds the platform's printers: each entry a printer made
// for a name, and the default printer's name. Installed by the platform's
// printing back end (and by tests); none means only the virtual printer.
struct TPrinterSource {
    std::function<std::vector<std::unique_ptr<TfrxCustomPrinter>>()> Enumerate;
    std::function<std::string()> DefaultName;
};
void SetPrinterSource(TPrinterSource source);
// The platform's printers (the source in force until another is set).
TPrinterSource PlatformPrinterSource();
}

// The process-wide printer list, made on first use.
TfrxPrinters& Printers();
