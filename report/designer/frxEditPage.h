// The page dialog: paper, orientation, margins and trays of the page being
// designed, and its columns and printing options, in the designer's unit.
#pragma once

#include "Forms.h"

#include <string>
#include <vector>

class TfrxCustomDesigner;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TMemo;
class TPageControl;
class TRadioButton;
class TTabSheet;
class TUpDown;
class TfrxReportPage;

// The page's settings as the dialog reads them, lengths in millimetres.
struct TfrxPageEditValues {
    int Orientation = 0;
    double PaperWidth = 0, PaperHeight = 0;
    int PaperSize = 256;
    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    int Bin = 7, BinOtherPages = 7;
    int Columns = 0;
    double ColumnWidth = 0;
    std::vector<std::string> ColumnPositions;   // millimetres, two decimals
    bool PrintOnPreviousPage = false, MirrorMargins = false, LargeDesignHeight = false;
    int Duplex = 0;
};

class TfrxPageEditorForm : public TForm {
    QZ_CLASS(TfrxPageEditorForm, TForm)
public:
    TfrxPageEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    TPageControl* PageControl1;
    TTabSheet *PaperTS, *OtherTS;
    TGroupBox *PaperL, *OrientationL, *MarginsL, *SourceL, *ColumnsL, *OtherL;
    TComboBox *SizeCB, *Tray1CB, *Tray2CB, *DuplexCB;
    TLabel *WidthL, *HeightL, *LeftL, *TopL, *RightL, *BottomL, *FirstPageL, *OtherPagesL, *ColumnsNumberL,
        *ColumnWidthL, *ColumnPositionsL, *DuplexL;
    TLabel *UnitL1, *UnitL2, *UnitL3, *UnitL4, *UnitL5, *UnitL6, *UnitL7;
    TEdit *WidthE, *HeightE, *MarginLeftE, *MarginTopE, *MarginRightE, *MarginBottomE, *ColumnsNumberE,
        *ColumnWidthE;
    TUpDown* UpDown1;
    TRadioButton *PortraitRB, *LandscapeRB;
    TImage *PortraitImg, *LandscapeImg;
    TMemo* ColumnPositionsM;
    TCheckBox *PrintOnPrevCB, *MirrorMarginsCB, *LargeHeightCB;
    TButton *OKB, *CancelB;

    // Every field read and checked: the values to apply (raises the
    // conversion error for a field that is no number).
    TfrxPageEditValues ReadValues() const;
    void ColumnsChanged();
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void OrientationClick();
    void SizeClick();
    void SizeEdited();
    std::string Units(double mm, bool horizontal) const;
    double Mm(const std::string& text, bool horizontal) const;
    TfrxCustomDesigner* FDesigner;
    bool FUpdating = false;
};

namespace frxEditPage {
// The positions of n equal columns across the printable width (in the
// unit the width is in); no columns count as one.
std::vector<double> ColumnPositions(int n, double width, double leftMargin, double rightMargin,
                                    double& columnWidth);
// The settings applied to a page, in the order the page takes them.
void ApplyValues(const TfrxPageEditValues& v, TfrxReportPage* page);
// The dialog over the designer's page; true after OK.
bool EditPage(TComponent* owner, TfrxCustomDesigner* designer);
}  // namespace frxEditPage
