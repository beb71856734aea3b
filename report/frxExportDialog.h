// What the options dialogs of the export filters share: the page-range
// group (all pages, the current page, or the pages typed as "1,3,5-12"), the
// OK and Cancel buttons and the save dialog that asks for the file once the
// options are confirmed. Each filter's dialog adds its own option group.
#pragma once

#include "Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TSaveDialog;
class TfrxCustomExportFilter;

class TfrxExportDialog : public TForm {
    QZ_CLASS(TfrxExportDialog, TForm)
public:
    // okName and cancelName: the buttons' component names, which the
    // dialog's text block uses.
    TfrxExportDialog(TComponent* owner, const std::string& okName, const std::string& cancelName);

    TGroupBox* GroupPageRange;
    TRadioButton* AllRB;
    TRadioButton* CurPageRB;
    TRadioButton* PageNumbersRB;
    TEdit* PageNumbersE;
    TLabel* DescrL;
    TButton* OkButton;
    TButton* CancelButton;
    TSaveDialog* SaveDialog1;

    // Shows the dialog; after OK the page choice goes to the filter and the
    // save dialog asks for the file name. 1 when a file was chosen, else 2.
    // copyBack runs after OK, before the save dialog, to take the options.
    int Run(TfrxCustomExportFilter* filter, std::string& fileName, const std::function<void()>& copyBack);
    // OK with page numbers that are not a page list stays open with an error.
    bool CloseQuery() override;

protected:
    // The group of the filter's own options, below the page range, of the
    // given height; the buttons go below it (and below extraHeight more).
    TGroupBox* AddOptionsGroup(const std::string& name, int height, int extraHeight = 0);
    TCheckBox* AddCheckBox(TWinControl* parent, const std::string& name, int left, int top);
    // Applies the dialog's text block (named after its class).
    void Localize();
    int OptionsBottom() const { return FOptionsBottom; }

private:
    int FOptionsBottom = 0;
};
