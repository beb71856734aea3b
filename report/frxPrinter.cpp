#include "frxPrinter.h"

#include "Printers.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxPrinterCanvas, TCanvas)
QZ_CLASS_IMPL(TfrxCustomPrinter, TObject)
QZ_CLASS_IMPL(TfrxVirtualPrinter, TfrxCustomPrinter)
QZ_CLASS_IMPL(TfrxPrinter, TfrxCustomPrinter)

namespace {

// Runs a call of the platform's printing; its refusal becomes the job's
// error, so callers catch one kind whatever the printer.
template <class F>
void Spool(F&& call)
{
    try {
        call();
    } catch (const EPrinter& e) {
        throw EfrxPrintError(e.Message());
    }
}

const std::vector<TfrxPaperInfo>& Table()
{
    static const std::vector<TfrxPaperInfo> t = {
        {1, "Letter", 2159, 2794}, {2, "Letter Small", 2159, 2794}, {3, "Tabloid", 2794, 4318},
        {4, "Ledger", 4318, 2794}, {5, "Legal", 2159, 3556}, {6, "Statement", 1397, 2159},
        {7, "Executive", 1842, 2667}, {8, "A3", 2970, 4200}, {9, "A4", 2100, 2970},
        {10, "A4 Small", 2100, 2970}, {11, "A5", 1480, 2100}, {12, "B4 (JIS)", 2500, 3540},
        {13, "B5 (JIS)", 1820, 2570}, {14, "Folio", 2159, 3302}, {15, "Quarto", 2150, 2750},
        {16, "10x14", 2540, 3556}, {17, "11x17", 2794, 4318}, {18, "Note", 2159, 2794},
        {19, "Envelope #9", 984, 2254}, {20, "Envelope #10", 1048, 2413}, {21, "Envelope #11", 1143, 2635},
        {22, "Envelope #12", 1207, 2794}, {23, "Envelope #14", 1270, 2921}, {24, "C size sheet", 4318, 5588},
        {25, "D size sheet", 5588, 8636}, {26, "E size sheet", 8636, 11176}, {27, "Envelope DL", 1100, 2200},
        {28, "Envelope C5", 1620, 2290}, {29, "Envelope C3", 3240, 4580}, {30, "Envelope C4", 2290, 3240},
        {31, "Envelope C6", 1140, 1620}, {32, "Envelope C65", 1140, 2290}, {33, "Envelope B4", 2500, 3530},
        {34, "Envelope B5", 1760, 2500}, {35, "Envelope B6", 1760, 1250}, {36, "Envelope Italy", 1100, 2300},
        {37, "Envelope Monarch", 984, 1905}, {38, "6 3/4 Envelope", 920, 1651},
        {39, "US Std Fanfold", 3778, 2794}, {40, "German Std Fanfold", 2159, 3048},
        {41, "German Legal Fanfold", 2159, 3302}, {42, "B4 (ISO)", 2500, 3530},
        {43, "Japanese Postcard", 1000, 1480}, {44, "9x11", 2286, 2794}, {45, "10x11", 2540, 2794},
        {46, "15x11", 3810, 2794}, {47, "Envelope Invite", 2200, 2200}, {50, "Letter Extra", 2356, 3048},
        {51, "Legal Extra", 2356, 3810}, {52, "Tabloid Extra", 2969, 4572}, {53, "A4 Extra", 2355, 3223},
        {54, "Letter Transverse", 2102, 2794}, {55, "A4 Transverse", 2100, 2970},
        {56, "Letter Extra Transverse", 2356, 3048}, {57, "Super A", 2270, 3560}, {58, "Super B", 3050, 4870},
        {59, "Letter Plus", 2159, 3223}, {60, "A4 Plus", 2100, 3300}, {61, "A5 Transverse", 1480, 2100},
        {62, "B5 (JIS) Transverse", 1820, 2570}, {63, "A3 Extra", 3220, 4450}, {64, "A5 Extra", 1740, 2350},
        {65, "B5 (ISO) Extra", 2010, 2760}, {66, "A2", 4200, 5940}, {67, "A3 Transverse", 2970, 4200},
        {68, "A3 Extra Transverse", 3220, 4450}};
    return t;
}

frxPrinter::TPrinterSource& Source()
{
    static frxPrinter::TPrinterSource s = frxPrinter::PlatformPrinterSource();
    return s;
}

}  // namespace

namespace frxPrinter {
const std::vector<TfrxPaperInfo>& PaperInfos() { return Table(); }

bool PaperSizeOf(int number, double& width, double& height)
{
    for (const TfrxPaperInfo& p : Table())
        if (p.Typ == number) {
            width = p.X / 10.0;
            height = p.Y / 10.0;
            return true;
        }
    return false;
}

TPrinterSource PlatformPrinterSource()
{
    TPrinterSource s;
    s.Enumerate = [] {
        std::vector<std::unique_ptr<TfrxCustomPrinter>> r;
        TStrings* names = ::Printer()->Printers();
        for (int i = 0; i < names->Count(); ++i)
            r.push_back(std::make_unique<TfrxPrinter>((*names)[i], std::string(), i));
        return r;
    };
    s.DefaultName = [] {
        TPrinter* p = ::Printer();
        int was = p->PrinterIndex();
        if (p->Printing()) return p->PrinterName();
        p->SetPrinterIndex(-1);
        std::string name = p->PrinterName();
        p->SetPrinterIndex(was);
        return name;
    };
    return s;
}

void SetPrinterSource(TPrinterSource source)
{
    Source() = std::move(source);
    Printers().FillPrinters();
}
}  // namespace frxPrinter

// ---- printers -------------------------------------------------------------------------------

TfrxCustomPrinter::TfrxCustomPrinter(const std::string& name, const std::string& port)
    : FCanvas(std::make_unique<TfrxPrinterCanvas>()), FName(name), FPort(port),
      FBins(std::make_unique<TStringList>()), FPapers(std::make_unique<TStringList>())
{
    FCanvas->Printer = this;
    AddBin(frxRes::Resources().Get("prDefault"), 7);
    AddPaper(frxRes::Resources().Get("prCustom"), 256);
}

TfrxCustomPrinter::~TfrxCustomPrinter() = default;

void TfrxCustomPrinter::AddPaper(const std::string& name, int number)
{
    FPapers->AddObject(name, reinterpret_cast<TObject*>(intptr_t(number)));
}

void TfrxCustomPrinter::AddBin(const std::string& name, int number)
{
    FBins->AddObject(name, reinterpret_cast<TObject*>(intptr_t(number)));
}

namespace {
int IndexOfNumber(TStringList* list, int number)
{
    for (int i = 0; i < list->Count(); ++i)
        if (int(reinterpret_cast<intptr_t>(list->Objects(i))) == number) return i;
    return -1;
}
int NumberOfName(TStringList* list, const std::string& name)
{
    int i = list->IndexOf(name);
    if (i < 0) i = 0;
    return list->Count() ? int(reinterpret_cast<intptr_t>(list->Objects(i))) : 0;
}
}

int TfrxCustomPrinter::IndexOfBin(int number) const { return IndexOfNumber(FBins.get(), number); }
int TfrxCustomPrinter::IndexOfPaper(int number) const { return IndexOfNumber(FPapers.get(), number); }
int TfrxCustomPrinter::BinNumberOf(const std::string& name) const { return NumberOfName(FBins.get(), name); }
int TfrxCustomPrinter::PaperNumberOf(const std::string& name) const { return NumberOfName(FPapers.get(), name); }

void TfrxVirtualPrinter::Prepare()
{
    if (Initialized) return;
    Initialized = true;
    DPIX = DPIY = 600;
    DefPaper = 9;
    DefOrientation = 0;
    DefPaperWidth = 210;
    DefPaperHeight = 297;
    for (const TfrxPaperInfo& p : Table()) AddPaper(p.Name, p.Typ);
    Bin = -1;
}

void TfrxVirtualPrinter::ApplyViewSettings(int paper, int orientation, double width, double height)
{
    double w = width, h = height;
    if (paper != 256 && frxPrinter::PaperSizeOf(paper, w, h)) {
        if (orientation == 1) std::swap(w, h);
    } else {
        paper = 256;
        w = width;
        h = height;
    }
    PaperSize = paper;
    PaperWidth = w;
    PaperHeight = h;
    Orientation = orientation;
    LeftMargin = TopMargin = RightMargin = BottomMargin = 5;
}

void TfrxVirtualPrinter::ApplyPrintSettings(int paper, int orientation, double width, double height, int bin,
                                            int copies, int duplex)
{
    ApplyViewSettings(paper, orientation, width, height);
    Bin = bin;
}

// ---- platform printers -------------------------------------------------------------------------

TfrxPrinter::TfrxPrinter(const std::string& name, const std::string& port, int index)
    : TfrxCustomPrinter(name, port), FIndex(index)
{
}

void TfrxPrinter::Select()
{
    TPrinter* p = ::Printer();
    if (!p->Printing() && p->PrinterIndex() != FIndex) p->SetPrinterIndex(FIndex);
}

void TfrxPrinter::ReadGeometry()
{
    TPrinter* p = ::Printer();
    DPIX = p->XDPI();
    DPIY = p->YDPI();
    PaperWidth = p->PaperWidthMM();
    PaperHeight = p->PaperHeightMM();
    LeftMargin = p->LeftMarginMM();
    TopMargin = p->TopMarginMM();
    RightMargin = p->RightMarginMM();
    BottomMargin = p->BottomMarginMM();
}

void TfrxPrinter::Prepare()
{
    if (Initialized) return;
    Select();
    TPrinter* p = ::Printer();
    DefPaper = p->PaperSize();
    DefOrientation = p->Orientation() == poLandscape ? 1 : 0;
    DefPaperWidth = p->PaperWidthMM();
    DefPaperHeight = p->PaperHeightMM();
    for (const TPaperInfo& info : p->Papers())
        if (info.Number != DMPAPER_USER) AddPaper(info.Name, info.Number);
    PaperSize = DefPaper;
    Orientation = DefOrientation;
    ReadGeometry();
    Initialized = true;
}

void TfrxPrinter::ApplyViewSettings(int paper, int orientation, double width, double height)
{
    Select();
    TPrinter* p = ::Printer();
    if (!p->Printing()) {
        p->SetOrientation(orientation == 1 ? poLandscape : poPortrait);
        bool known = false;
        if (paper != DMPAPER_USER) {
            for (const TPaperInfo& info : p->Papers())
                if (info.Number == paper) known = true;
        }
        if (known) {
            p->SetPaperSize(paper);
        } else {
            // A size of the page's own, given as it lies; the printer takes it upright.
            double w = width, h = height;
            if (orientation == 1) std::swap(w, h);
            p->SetCustomPaperSize(w, h);
            p->SetPaperSize(DMPAPER_USER);
            paper = DMPAPER_USER;
        }
    }
    ReadGeometry();
    PaperSize = paper;
    Orientation = orientation;
}

void TfrxPrinter::ApplyPrintSettings(int paper, int orientation, double width, double height, int bin, int copies,
                                     int duplex)
{
    ApplyViewSettings(paper, orientation, width, height);
    TPrinter* p = ::Printer();
    p->SetCopies(copies);
    p->SetDuplex(duplex);
    if (Bin == -1) Bin = bin;
}

void TfrxPrinter::StartJob()
{
    Select();
    TPrinter* p = ::Printer();
    p->SetTitle(Title);
    p->SetFileName(FileName);
    Spool([p] { p->BeginDoc(); });
    Printing = true;
    FSheets = 0;
}

void TfrxPrinter::StartSheet()
{
    TPrinter* p = ::Printer();
    if (FSheets++ > 0) Spool([p] { p->NewPage(); });
    FCanvas->Attach(p->Canvas()->Handle());
}

void TfrxPrinter::EndJob()
{
    FCanvas->Attach(nullptr);
    Printing = false;
    Bin = -1;
    TPrinter* p = ::Printer();
    if (p->Printing()) Spool([p] { p->EndDoc(); });
}

void TfrxPrinter::AbortJob()
{
    FCanvas->Attach(nullptr);
    Printing = false;
    Bin = -1;
    TPrinter* p = ::Printer();
    if (p->Printing()) p->Abort();
}

void TfrxPrinter::StartRawJob()
{
    FRaw.clear();
    FRawJob = true;
}

void TfrxPrinter::WriteRaw(const std::string& text)
{
    if (FRawJob) FRaw += text;
}

void TfrxPrinter::EndRawJob()
{
    if (!FRawJob) return;
    FRawJob = false;
    // The bytes go to the queue untouched, as one job.
    std::string file = frxUtils::TempFileName("");
    {
        TFileStream fs(file, fmCreate);
        if (!FRaw.empty()) fs.WriteBuffer(FRaw.data(), int(FRaw.size()));
    }
    try {
        Spool([&] { PrintFileToQueue(Name(), file, Title, 1, true); });
    } catch (...) {
        DeleteFile(file);
        throw;
    }
    DeleteFile(file);
}

bool TfrxPrinter::ShowSetupDialog()
{
    Select();
    if (!::Printer()->ExecuteSetupDialog()) return false;
    ReadGeometry();
    return true;
}

// ---- the list ---------------------------------------------------------------------------------

TfrxPrinters::TfrxPrinters() : FNames(std::make_unique<TStringList>()) { FillPrinters(); }

TfrxPrinters::~TfrxPrinters() = default;

void TfrxPrinters::Clear()
{
    FList.clear();
    FNames->Clear();
    FPrinterIndex = -1;
    FHasPhysical = false;
}

void TfrxPrinters::FillPrinters()
{
    Clear();
    auto& src = Source();
    if (src.Enumerate) {
        try {
            FList = src.Enumerate();
        } catch (const std::exception&) {
            FList.clear();   // a print system that cannot be asked counts as none
        }
    }
    for (auto& p : FList) FNames->Add(p->Name());
    if (!FList.empty()) {
        FHasPhysical = true;
        std::string def;
        if (src.DefaultName) {
            try {
                def = src.DefaultName();
            } catch (const std::exception&) {
            }
        }
        def = def.substr(0, def.find(','));
        // A default that names no printer of the list (or none at all)
        // leaves the first printer current: every caller needs one.
        int i = IndexOf(def);
        SetPrinterIndex(i < 0 ? 0 : i);
    } else {
        FList.push_back(std::make_unique<TfrxVirtualPrinter>(frxRes::Resources().Get("prVirtual"), ""));
        FNames->Add(FList.back()->Name());
        FHasPhysical = false;
        SetPrinterIndex(0);
    }
}

TfrxCustomPrinter* TfrxPrinters::Printer() const
{
    if (FList.empty()) return nullptr;
    int i = FPrinterIndex >= 0 && FPrinterIndex < Count() ? FPrinterIndex : 0;
    return FList[size_t(i)].get();
}

int TfrxPrinters::IndexOf(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(FList[size_t(i)]->Name(), name)) return i;
    return -1;
}

void TfrxPrinters::SetPrinterIndex(int i)
{
    if (i < -1 || i >= Count()) return;
    FPrinterIndex = i;
    if (i != -1) FList[size_t(i)]->Prepare();
}

TfrxPrinters& Printers()
{
    static TfrxPrinters* p = new TfrxPrinters();
    return *p;
}
