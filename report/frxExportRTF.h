// The RTF export: one document whose sections are the exported pages and
// whose rows are the export matrix's grid rows, each a table row of cells
// with their text, font, colours, borders and alignment, or a picture.
#pragma once

#include "frxClass.h"
#include "frxExportDialog.h"

#include <memory>

class TfrxIEMatrix;
class TStringList;

class TfrxRTFExport : public TfrxCustomExportFilter {
    QZ_CLASS(TfrxRTFExport, TfrxCustomExportFilter)
public:
    explicit TfrxRTFExport(TComponent* owner = nullptr);
    ~TfrxRTFExport() override;

    bool ExportPageBreaks = true;
    bool ExportPictures = true;
    std::string FileName;
    bool OpenAfterExport = false;
    bool ShowProgress = true;
    bool Wysiwyg = true;

    std::string GetDescription() override;
    // The options dialog, then the file name; 1 on OK, else 2.
    int ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    void FinishPage(TfrxReportPage* page, int index) override;
    // Writes the document whole.
    void Finish() override;
    // The document text.
    std::string BuildDocument();

private:
    std::unique_ptr<TfrxIEMatrix> FMatrix;
    std::vector<std::string> FFontNames, FColors;
    int FPageCount = 0;
};

namespace frxExportRTF {
// Text escaped for RTF: \ { } escaped, line ends as \line, characters
// beyond ASCII as \uN? escapes.
std::string EscapeText(const std::string& utf8);
}

// The RTF export's options: the page range, layout, page breaks, pictures,
// opening the file afterwards.
class TfrxRTFExportDialog : public TfrxExportDialog {
    QZ_CLASS(TfrxRTFExportDialog, TfrxExportDialog)
public:
    explicit TfrxRTFExportDialog(TComponent* owner = nullptr);
    TGroupBox* GroupQuality;
    TCheckBox* WCB;
    TCheckBox* PageBreaksCB;
    TCheckBox* PicturesCB;
    TCheckBox* OpenCB;
};
