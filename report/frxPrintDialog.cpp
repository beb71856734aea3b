#include "frxPrintDialog.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "StdCtrls.h"
#include "frxCtrls.h"
#include "SysUtils.h"
#include "frxPreviewPages.h"
#include "frxPrinter.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxrcExports.h"

QZ_CLASS_IMPL(TfrxPrintDialog, TForm)

using frxCtrls::MakeControl;

TfrxPrintDialog::TfrxPrintDialog(TComponent* owner) : TForm(owner)
{
    frxrcExports::Initialize();
    SetName("frxPrintDialog");
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(420, 330);
    Label12 = MakeControl<TGroupBox>(this, this, "Label12", 8, 4, 404, 116);
    PrintersCB = MakeControl<TComboBox>(this, Label12, "PrintersCB", 10, 20, 290, 22);
    PrintersCB->SetStyle(csDropDownList);
    PropButton = MakeControl<TButton>(this, Label12, "PropButton", 308, 18, 86, 25);
    TypeL = MakeControl<TLabel>(this, Label12, "TypeL", 10, 50, 50, 16);
    TypeL1 = MakeControl<TLabel>(this, Label12, "TypeL1", 64, 50, 330, 16);
    WhereL = MakeControl<TLabel>(this, Label12, "WhereL", 10, 68, 50, 16);
    WhereL1 = MakeControl<TLabel>(this, Label12, "WhereL1", 64, 68, 330, 16);
    FileCB = MakeControl<TCheckBox>(this, Label12, "FileCB", 10, 90, 180, 17);
    ReverseCB = MakeControl<TCheckBox>(this, Label12, "ReverseCB", 200, 90, 194, 17);
    Label1 = MakeControl<TGroupBox>(this, this, "Label1", 8, 126, 220, 158);
    AllRB = MakeControl<TRadioButton>(this, Label1, "AllRB", 10, 20, 200, 17);
    AllRB->SetChecked(true);
    CurPageRB = MakeControl<TRadioButton>(this, Label1, "CurPageRB", 10, 40, 200, 17);
    PageNumbersRB = MakeControl<TRadioButton>(this, Label1, "PageNumbersRB", 10, 60, 80, 17);
    PageNumbersE = MakeControl<TEdit>(this, Label1, "PageNumbersE", 92, 58, 118, 21);
    PageNumbersE->OnChange = [this](TObject*) {
        if (!PageNumbersE->Text().empty()) PageNumbersRB->SetChecked(true);
    };
    DescrL = MakeControl<TLabel>(this, Label1, "DescrL", 10, 86, 200, 66);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);
    Label2 = MakeControl<TGroupBox>(this, this, "Label2", 236, 126, 176, 158);
    CopiesL = MakeControl<TLabel>(this, Label2, "CopiesL", 10, 24, 70, 16);
    CopiesE = MakeControl<TEdit>(this, Label2, "CopiesE", 84, 20, 50, 21);
    CopiesE->SetText("1");
    UpDown1 = MakeControl<TUpDown>(this, Label2, "UpDown1", 134, 20, 16, 21);
    UpDown1->SetMin(1);
    UpDown1->SetMax(9999);
    UpDown1->SetAssociate(CopiesE);
    CollateCB = MakeControl<TCheckBox>(this, Label2, "CollateCB", 10, 52, 156, 17);
    PrintL = MakeControl<TLabel>(this, Label2, "PrintL", 10, 90, 156, 16);
    PrintPagesCB = MakeControl<TComboBox>(this, Label2, "PrintPagesCB", 10, 110, 156, 22);
    PrintPagesCB->SetStyle(csDropDownList);
    const TfrxResources& res = frxRes::Resources();
    for (const char* k : {"ppAll", "ppOdd", "ppEven"}) PrintPagesCB->Items()->Add(res.Get(k));
    PrintPagesCB->SetItemIndex(0);
    OkB = MakeControl<TButton>(this, this, "OkB", 256, 296, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 337, 296, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    FileDlg = new TSaveDialog(this);
    FileDlg->SetName("FileDlg");
    FileDlg->Filter = "Printer files (*.prn)|*.prn";
    FileDlg->Title = "Print To File";
    FileDlg->DefaultExt = "prn";
    PrintersCB->OnChange = [this](TObject*) { PrinterChanged(); };
    PropButton->OnClick = [](TObject*) {
        if (TfrxCustomPrinter* p = Printers().Printer()) p->ShowSetupDialog();
    };
    res.LocalizeForm(this);
}

void TfrxPrintDialog::DoShow()
{
    TForm::DoShow();
    TfrxPrinters& printers = Printers();
    PrintersCB->Items()->Assign(printers.PrinterNames());
    FOldPrinter = printers.PrinterIndex();
    PrintersCB->SetItemIndex(FOldPrinter);
    PrinterChanged();
}

void TfrxPrintDialog::PrinterChanged()
{
    TfrxPrinters& printers = Printers();
    if (PrintersCB->ItemIndex() >= 0) printers.SetPrinterIndex(PrintersCB->ItemIndex());
    TfrxCustomPrinter* p = printers.Printer();
    TypeL1->SetCaption(p ? p->Name() : std::string());
    WhereL1->SetCaption(p ? p->Port() : std::string());
}

bool TfrxPrintDialog::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk) return true;
    const TfrxResources& res = frxRes::Resources();
    if (PageNumbersRB->Checked() && !frxUtils::ValidPageNumbers(PageNumbersE->Text())) {
        frxUtils::ShowErrorBox(Format(res.Get("ExportBadPages"), {PageNumbersE->Text()}));
        return false;
    }
    int copies = 0;
    if (!TryStrToInt(Trim(CopiesE->Text()), copies) || copies < 1) {
        frxUtils::ShowErrorBox(Format(res.Get("PrintBadCopies"), {CopiesE->Text()}));
        return false;
    }
    TfrxCustomPrinter* p = Printers().Printer();
    if (p) p->FileName.clear();
    if (FileCB->Checked()) {
        if (!FileDlg->Execute()) {
            SetModalResult(mrCancel);
            return true;
        }
        // A name without an extension prints to a .prn file; one with its
        // own (the PDF-file printer's .pdf) keeps it.
        std::string name = FileDlg->FileName;
        if (ExtractFileExt(name).empty()) name += ".prn";
        if (p) p->FileName = name;
    }
    return true;
}

void TfrxPrintDialog::DoHide()
{
    TForm::DoHide();
    // Cancelled: the printer chosen before stays the current one.
    if (ModalResult() != mrOk && FOldPrinter >= 0) Printers().SetPrinterIndex(FOldPrinter);
}

namespace frxPrintDialog {
bool Execute(TfrxReport* report, TfrxPrintChoice& choice)
{
    TfrxPrintDialog dlg(nullptr);
    dlg.UpDown1->SetPosition(std::max(choice.Copies, 1));
    dlg.CopiesE->SetText(IntToStr(std::max(choice.Copies, 1)));
    dlg.CollateCB->SetChecked(choice.Collate);
    dlg.PageNumbersE->SetText(choice.PageNumbers);
    dlg.PrintPagesCB->SetItemIndex(int(choice.PrintPages));
    if (dlg.ShowModal() != mrOk) return false;
    choice.Copies = StrToInt(Trim(dlg.CopiesE->Text()));
    choice.Collate = dlg.CollateCB->Checked();
    choice.Reverse = dlg.ReverseCB->Checked();
    choice.PrintPages = TfrxPrintPages(std::clamp(dlg.PrintPagesCB->ItemIndex(), 0, 2));
    if (dlg.CurPageRB->Checked()) {
        const int shown = report && report->PreviewPages() ? report->PreviewPages()->ShownPage : 0;
        choice.PageNumbers = IntToStr(shown > 0 ? shown : 1);
    } else if (dlg.PageNumbersRB->Checked()) {
        choice.PageNumbers = dlg.PageNumbersE->Text();
    } else {
        choice.PageNumbers.clear();
    }
    return true;
}
}  // namespace frxPrintDialog
