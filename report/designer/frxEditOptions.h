// The designer options dialog: units and grid steps, fonts of the code and
// memo editors, colours, band options. It edits a copy of the options; the
// designer window applies the result as one change.
#pragma once

#include "Forms.h"
#include "Graphics.h"

#include <functional>
#include <string>

class TButton;
class TCheckBox;
class TColorDialog;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPaintBox;
class TRadioButton;

struct TfrxDesignerOptions {
    int Units = 0;                          // 0 cm, 1 inch, 2 pixels, 3 characters
    double Grid1 = 0.1, Grid2 = 0.1, Grid3 = 4, Grid4 = 4;
    bool ShowGrid = true, GridAlign = true;
    bool EditAfterInsert = true, ShowBandCaptions = true, FreeBands = false;
    int BandsGap = 4;
    std::string CodeFontName = "Courier New";
    int CodeFontSize = 10;
    std::string MemoFontName = "Arial";
    int MemoFontSize = 10;
    bool UseObjectFont = true;
    TColor WorkspaceColor = clWhite, ToolsColor = clWindow;
    bool GridLCD = false;
    // False on dialog pages and character grids: units and the three unit
    // grid steps stay as they are.
    bool UnitsEditable = true;
};

// The texts of the dialog's number fields.
struct TfrxOptionTexts {
    std::string Grid1, Grid2, Grid3, Grid4, BandsGap, CodeFontSize, MemoFontSize;
};

class TfrxOptionsEditor : public TForm {
    QZ_CLASS(TfrxOptionsEditor, TForm)
public:
    explicit TfrxOptionsEditor(TComponent* owner = nullptr);

    // In: the designer's options; out, after OK: the options to apply.
    TfrxDesignerOptions Options;
    // Makes the designer reload its default settings and answers the
    // options now in force; the dialog then ends with those.
    std::function<TfrxDesignerOptions()> OnRestoreDefaults;

    TGroupBox *GridGB, *FontsGB, *ColorsGB, *OtherGB;
    TRadioButton *CMRB, *InchesRB, *PixelsRB;
    TEdit *CME, *InchesE, *PixelsE, *DialogFormE, *GapE;
    TLabel *DialogFormL, *CodeWindowL, *MemoEditorL, *SizeL1, *SizeL2, *GapL;
    TCheckBox *ShowGridCB, *AlignGridCB, *ObjectFontCB, *LCDCB, *EditAfterInsCB, *FreeBandsCB, *BandsCaptionsCB;
    TComboBox *CodeWindowFontCB, *CodeWindowSizeCB, *MemoEditorFontCB, *MemoEditorSizeCB;
    TPaintBox *WorkspacePB, *ToolPB;
    TButton *WorkspaceB, *ToolB, *RestoreDefaultsB, *OKB, *CancelB;
    TColorDialog* ColorDialog;

    void RestoreDefaults();
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void ShowOptions();
    TfrxOptionTexts Texts() const;
    TfrxDesignerOptions Read() const;
    void PickColor(TColor& c, TPaintBox* box);
    TColor FWorkspaceColor = clWhite, FToolsColor = clWindow;
    bool FRestored = false;
};

namespace frxEditOptions {
// The options with the dialog's choices: every number read first (either
// decimal separator; a field that is no number raises the conversion error
// and nothing changes), then all set together. Units and the unit grid
// steps only when editable.
TfrxDesignerOptions Apply(const TfrxDesignerOptions& base, const TfrxOptionTexts& texts, int units);
// The dialog over the options: true and the options to apply after OK.
bool EditOptions(TComponent* owner, TfrxDesignerOptions& options,
                 std::function<TfrxDesignerOptions()> restoreDefaults = {});
}  // namespace frxEditOptions
