// The print dialog: the printer (its kind and place, its properties, or a
// file), the pages (all, the current one, or a page list), copies and
// collation, odd or even pages, and reverse order.
#pragma once

#include "Forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TSaveDialog;
class TUpDown;
class TfrxReport;
struct TfrxPrintChoice;

class TfrxPrintDialog : public TForm {
    QZ_CLASS(TfrxPrintDialog, TForm)
public:
    explicit TfrxPrintDialog(TComponent* owner = nullptr);
    TGroupBox* Label12;
    TComboBox* PrintersCB;
    TLabel *TypeL, *TypeL1, *WhereL, *WhereL1;
    TButton* PropButton;
    TCheckBox *FileCB, *ReverseCB;
    TGroupBox* Label1;
    TRadioButton *AllRB, *CurPageRB, *PageNumbersRB;
    TEdit* PageNumbersE;
    TLabel* DescrL;
    TGroupBox* Label2;
    TLabel* CopiesL;
    TEdit* CopiesE;
    TUpDown* UpDown1;
    TCheckBox* CollateCB;
    TLabel* PrintL;
    TComboBox* PrintPagesCB;
    TButton *OkB, *CancelB;
    TSaveDialog* FileDlg;

    // OK with page numbers that are no page list, or copies that are no
    // number, stays open with an error; with printing to a file, the file
    // is asked for and cancelling it cancels.
    bool CloseQuery() override;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void PrinterChanged();
    int FOldPrinter = -1;
};

namespace frxPrintDialog {
// Asks through the dialog; on OK the choice holds what was chosen (the
// current page being the one the report's preview shows).
bool Execute(TfrxReport* report, TfrxPrintChoice& choice);
}
