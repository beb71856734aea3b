// Image export: every exported page drawn into a bitmap at one pixel a
// screen unit, optionally cut to the area its objects cover and optionally
// black and white, saved as one picture file per page ("report.1.jpg",
// "report.2.jpg"...).
#pragma once

#include "frxClass.h"
#include "frxExportDialog.h"

#include <memory>

class TBitmap;

class TfrxCustomImageExport : public TfrxCustomExportFilter {
    QZ_CLASS(TfrxCustomImageExport, TfrxCustomExportFilter)
public:
    explicit TfrxCustomImageExport(TComponent* owner = nullptr);
    ~TfrxCustomImageExport() override;

    int JPEGQuality() const { return FJPEGQuality; }
    // Kept within 1..100.
    void SetJPEGQuality(int v);
    bool CropImages = true;
    bool Monochrome = false;
    std::string FileName;

    // The options dialog, then the file name; 1 on OK, else 2.
    int ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    void FinishPage(TfrxReportPage* page, int index) override;

protected:
    // The picture file of the current page: FileName with its extension
    // replaced by "." + page number + ext.
    std::string PageFileName(const std::string& ext) const;
    virtual void SaveImage() = 0;
    std::unique_ptr<TBitmap> FBitmap;
    int FPageCounter = 0;

private:
    int FJPEGQuality = 90;
    int FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = 0;
};

class TfrxJPEGExport : public TfrxCustomImageExport {
    QZ_CLASS(TfrxJPEGExport, TfrxCustomImageExport)
public:
    explicit TfrxJPEGExport(TComponent* owner = nullptr);
    std::string GetDescription() override;
protected:
    void SaveImage() override;
};

class TfrxBMPExport : public TfrxCustomImageExport {
    QZ_CLASS(TfrxBMPExport, TfrxCustomImageExport)
public:
    explicit TfrxBMPExport(TComponent* owner = nullptr);
    std::string GetDescription() override;
protected:
    void SaveImage() override;
};

// The image export's options: the page range, then black and white,
// cropping and (for JPEG only) the quality.
class TfrxIMGExportDialog : public TfrxExportDialog {
    QZ_CLASS(TfrxIMGExportDialog, TfrxExportDialog)
public:
    explicit TfrxIMGExportDialog(TComponent* owner = nullptr);
    TGroupBox* GroupBox1;
    TCheckBox* Mono;
    TCheckBox* CropPage;
    TLabel* Label2;
    TEdit* Quality;
};
