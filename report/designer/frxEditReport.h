// The report settings dialog: printer, copies and engine options; name,
// author, description, picture and version of the report.
#pragma once

#include "Forms.h"

#include <memory>

class TButton;
class TCheckBox;
class TEdit;
class TImage;
class TLabel;
class TListBox;
class TMemo;
class TPageControl;
class TTabSheet;
class TfrxPicture;
class TfrxReport;

class TfrxReportEditorForm : public TForm {
    QZ_CLASS(TfrxReportEditorForm, TForm)
public:
    TfrxReportEditorForm(TComponent* owner, TfrxReport* report);
    ~TfrxReportEditorForm() override;

    TPageControl* PageControl;
    TTabSheet *GeneralTS, *DescriptionTS;
    TListBox* PrintersLB;
    TEdit *CopiesE, *PasswordE, *NameE, *AuthorE, *MajorE, *MinorE, *ReleaseE, *BuildE;
    TCheckBox *CollateCB, *DoublePassCB, *PrintIfEmptyCB;
    TMemo* DescriptionE;
    TImage* PictureImg;
    TButton *PictureB, *OKB, *CancelB;
    TLabel *CopiesL, *PasswordL, *NameL, *AuthorL, *Description1L, *PictureL, *MajorL, *MinorL, *ReleaseL,
        *BuildL, *CreatedL, *ModifiedL, *Created1L, *Modified1L;

    // Copies checked first: text that is no number keeps the dialog open
    // and nothing of the report changes.
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void ShowPicture();
    TfrxReport* FReport;
    std::unique_ptr<TfrxPicture> FPicture;
};

namespace frxEditReport {
bool EditReportSettings(TComponent* owner, TfrxReport* report);
}
