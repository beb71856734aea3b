// The workbook export: the objects of the exported pages are laid onto the
// export matrix's grid, whose boundaries become row heights and column
// widths, whose styles become named workbook styles "S0", "S1"..., and each
// object a (merged) cell range with its text, or a picture over the cells of
// its place; the workbook is written as an .xls file.
#pragma once

#include "frxClass.h"
#include "frxExportDialog.h"

#include <memory>

class TfrxIEMatrix;
class TXlsWorkbook;

class TfrxXLSExport : public TfrxCustomExportFilter {
    QZ_CLASS(TfrxXLSExport, TfrxCustomExportFilter)
public:
    explicit TfrxXLSExport(TComponent* owner = nullptr);
    ~TfrxXLSExport() override;

    bool ExportStyles = true;
    bool ExportPictures = true;
    std::string FileName;
    bool MergeCells = true;
    bool OpenExcelAfterExport = false;
    bool ShowProgress = true;
    bool Wysiwyg = true;

    std::string GetDescription() override;
    // The options dialog, then the file name; 1 on OK, else 2.
    int ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    void FinishPage(TfrxReportPage* page, int index) override;
    // Fills and writes the workbook. A failed save raises; an existing file
    // is replaced only once the new one is written whole.
    void Finish() override;

    // The filled workbook (for callers that want it in memory).
    std::unique_ptr<TXlsWorkbook> BuildWorkbook();

private:
    std::unique_ptr<TfrxIEMatrix> FMatrix;
    bool FFirstPage = true;
    double FLeftMargin = 0, FTopMargin = 0, FRightMargin = 0, FBottomMargin = 0;
    int FOrientation = 0;
};

// The workbook export's options: the page range, merged cells, layout,
// styles, pictures, opening the workbook afterwards.
class TfrxXLSExportDialog : public TfrxExportDialog {
    QZ_CLASS(TfrxXLSExportDialog, TfrxExportDialog)
public:
    explicit TfrxXLSExportDialog(TComponent* owner = nullptr);
    TGroupBox* GroupQuality;
    TCheckBox* MergeCB;
    TCheckBox* WCB;
    TCheckBox* StylesCB;
    TCheckBox* PicturesCB;
    TCheckBox* OpenExcelCB;
};
