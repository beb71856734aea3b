#include "frxExportPDF.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "HostServices.h"
#include "Streams.h"
#include "TypInfo.h"
#include "frxPDFFile.h"
#include "frxRes.h"
#include "frxrcExports.h"

namespace {
using Props = std::vector<TPropInfo>;
void DefinePDFExport(Props& p)
{
    using E = TfrxPDFExport;
    p.push_back(PublishBool<E>("Compressed", &E::Compressed, &E::Compressed, true));
    p.push_back(PublishBool<E>("EmbeddedFonts", &E::EmbeddedFonts, &E::EmbeddedFonts, false));
    p.push_back(PublishString<E>("FileName", &E::FileName, &E::FileName));
    p.push_back(PublishBool<E>("OpenAfterExport", &E::OpenAfterExport, &E::OpenAfterExport, false));
    p.push_back(PublishBool<E>("ShowDialog", &TfrxCustomExportFilter::ShowDialog,
                               &TfrxCustomExportFilter::ShowDialog, true));
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxPDFExport, TfrxCustomExportFilter, DefinePDFExport)
QZ_CLASS_IMPL(TfrxPDFExportDialog, TfrxExportDialog)

TfrxPDFExport::TfrxPDFExport(TComponent* owner) : TfrxCustomExportFilter(owner) { frxrcExports::Initialize(); }

TfrxPDFExport::~TfrxPDFExport() = default;

std::string TfrxPDFExport::GetDescription() { return frxRes::Resources().Get("PDFexport"); }

bool TfrxPDFExport::Start()
{
    if (FileName.empty()) return false;
    FPDF = std::make_unique<TfrxPDFFile>();
    FPDF->Compressed = Compressed;
    FPDF->EmbeddedFonts = EmbeddedFonts;
    FPage = nullptr;
    return true;
}

void TfrxPDFExport::StartPage(TfrxReportPage* page, int index)
{
    if (FPDF) FPage = FPDF->AddPage(page);
}

void TfrxPDFExport::ExportObject(TfrxComponent* obj)
{
    auto* view = DynamicCast<TfrxView>(obj);
    if (!view || !FPage || view->Name() == "_pagebackground") return;
    FPage->DrawObject(view);
}

void TfrxPDFExport::Finish()
{
    if (!FPDF) return;
    std::unique_ptr<TfrxPDFFile> pdf = std::move(FPDF);
    FPage = nullptr;
    if (Report) pdf->Title = Report->ReportOptions()->Name;
    pdf->Creator = "pemtal";
    SaveFileWhole(FileName, pdf->SaveToString());
    if (OpenAfterExport) ShellExecute("open", FileName, "", "", 1);
}

TfrxPDFExportDialog::TfrxPDFExportDialog(TComponent* owner) : TfrxExportDialog(owner, "OkB", "CancelB")
{
    SetName("frxPDFExportDialog");
    GroupQuality = AddOptionsGroup("GroupQuality", 64, 22);
    CompressedCB = AddCheckBox(GroupQuality, "CompressedCB", 12, 20);
    EmbeddedCB = AddCheckBox(GroupQuality, "EmbeddedCB", 12, 40);
    OpenCB = AddCheckBox(this, "OpenCB", 20, OptionsBottom());
    SaveDialog1->DefaultExt = "pdf";
    Localize();
}

int TfrxPDFExport::ShowModal()
{
    TfrxPDFExportDialog dlg(nullptr);
    dlg.OpenCB->SetChecked(OpenAfterExport);
    dlg.CompressedCB->SetChecked(Compressed);
    dlg.EmbeddedCB->SetChecked(EmbeddedFonts);
    return dlg.Run(this, FileName, [&] {
        OpenAfterExport = dlg.OpenCB->Checked();
        Compressed = dlg.CompressedCB->Checked();
        EmbeddedFonts = dlg.EmbeddedCB->Checked();
    });
}
