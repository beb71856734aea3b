// The page-settings dialog of the preview: paper (from the current
// printer's list, or a size of one's own), orientation and margins of one
// page, all shown in centimetres, and whether they go to every page.
#pragma once

#include "Forms.h"

#include <string>

class TButton;
class TComboBox;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TRadioButton;
class TfrxReportPage;

class TfrxPageSettingsForm : public TForm {
    QZ_CLASS(TfrxPageSettingsForm, TForm)
public:
    explicit TfrxPageSettingsForm(TComponent* owner = nullptr);

    // The page the dialog shows and, after OK, has changed.
    void SetPage(TfrxReportPage* page) { FPage = page; }
    TfrxReportPage* Page() const { return FPage; }
    bool ApplyToAll() const;

    TGroupBox* SizeL;
    TComboBox* SizeCB;
    TLabel *WidthL, *HeightL, *cmL1, *cmL2;
    TEdit *WidthE, *HeightE;
    TGroupBox* OrientationL;
    TRadioButton *PortraitRB, *LandscapeRB;
    TImage *PortraitImg, *LandscapeImg;
    TGroupBox* MarginsL;
    TLabel *LeftL, *TopL, *RightL, *BottomL, *cmL3, *cmL4, *cmL5, *cmL6;
    TEdit *MarginLeftE, *MarginTopE, *MarginRightE, *MarginBottomE;
    TGroupBox* OtherL;
    TRadioButton *ApplyToCurRB, *ApplyToAllRB;
    TButton *OKB, *CancelB;

    // OK with a length that is no number (or a paper of no size) stays
    // open with an error; nothing of the page has changed then.
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void OrientationChanged();
    void PaperChanged();
    void SizeEdited();
    TfrxReportPage* FPage = nullptr;
    bool FUpdating = false;
};

namespace frxPreviewPageSettings {
// Millimetres as the dialog shows them: centimetres, two decimals when there
// is a fraction ("21", "29.70").
std::string MmToCmText(double mm);
// Centimetres typed with either decimal separator, as millimetres; raises
// the conversion error on text that is no number.
double CmTextToMm(const std::string& text);
}  // namespace frxPreviewPageSettings
