// The PDF export filter: every exported view of a page becomes PDF drawing
// operators (filled rectangles, frame lines, text lines, JPEG pictures for
// everything else), and the document is written whole at the end.
#pragma once

#include "frxClass.h"
#include "frxExportDialog.h"

#include <memory>

class TfrxPDFFile;
class TfrxPDFPage;

class TfrxPDFExport : public TfrxCustomExportFilter {
    QZ_CLASS(TfrxPDFExport, TfrxCustomExportFilter)
public:
    explicit TfrxPDFExport(TComponent* owner = nullptr);
    ~TfrxPDFExport() override;

    bool Compressed = true;
    // Fonts are always embedded as subsets (the text addresses glyphs by
    // number); the option is kept for stored settings.
    bool EmbeddedFonts = false;
    std::string FileName;
    bool OpenAfterExport = false;

    std::string GetDescription() override;
    // The options dialog, then the file name; 1 on OK, else 2.
    int ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    // Writes the file whole: an existing file is replaced only once the new
    // one is complete.
    void Finish() override;

private:
    std::unique_ptr<TfrxPDFFile> FPDF;
    TfrxPDFPage* FPage = nullptr;
};

// The PDF export's options: the page range, compression, fonts, opening
// the file afterwards.
class TfrxPDFExportDialog : public TfrxExportDialog {
    QZ_CLASS(TfrxPDFExportDialog, TfrxExportDialog)
public:
    explicit TfrxPDFExportDialog(TComponent* owner = nullptr);
    TGroupBox* GroupQuality;
    TCheckBox* CompressedCB;
    TCheckBox* EmbeddedCB;
    TCheckBox* OpenCB;
};
