#include "frxExportDialog.h"

#include "Dialogs.h"
#include "StdCtrls.h"
#include "frxCtrls.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxrcExports.h"

QZ_CLASS_IMPL(TfrxExportDialog, TForm)

using frxCtrls::MakeControl;

TfrxExportDialog::TfrxExportDialog(TComponent* owner, const std::string& okName, const std::string& cancelName)
    : TForm(owner)
{
    frxrcExports::Initialize();
    SetBorderStyle(fbsDialog);
    SetPosition(poScreenCenter);
    SetClientSize(277, 245);
    GroupPageRange = MakeControl<TGroupBox>(this, this, "GroupPageRange", 8, 4, 261, 126);
    AllRB = MakeControl<TRadioButton>(this, GroupPageRange, "AllRB", 12, 20, 237, 17);
    AllRB->SetChecked(true);
    CurPageRB = MakeControl<TRadioButton>(this, GroupPageRange, "CurPageRB", 12, 40, 237, 17);
    PageNumbersRB = MakeControl<TRadioButton>(this, GroupPageRange, "PageNumbersRB", 12, 60, 80, 17);
    PageNumbersE = MakeControl<TEdit>(this, GroupPageRange, "PageNumbersE", 96, 58, 153, 21);
    // Typing page numbers means they are wanted.
    PageNumbersE->OnChange = [this](TObject*) {
        if (!PageNumbersE->Text().empty()) PageNumbersRB->SetChecked(true);
    };
    DescrL = MakeControl<TLabel>(this, GroupPageRange, "DescrL", 12, 84, 237, 36);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);
    FOptionsBottom = 138;
    OkButton = MakeControl<TButton>(this, this, okName, 110, 212, 75, 25);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    CancelButton = MakeControl<TButton>(this, this, cancelName, 194, 212, 75, 25);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
}

TGroupBox* TfrxExportDialog::AddOptionsGroup(const std::string& name, int height, int extraHeight)
{
    TGroupBox* g = MakeControl<TGroupBox>(this, this, name, 8, 136, 261, height);
    FOptionsBottom = 136 + height + 4;
    const int buttons = FOptionsBottom + extraHeight + 4;
    OkButton->SetTop(buttons);
    CancelButton->SetTop(buttons);
    SetClientSize(277, buttons + 25 + 8);
    return g;
}

TCheckBox* TfrxExportDialog::AddCheckBox(TWinControl* parent, const std::string& name, int left, int top)
{
    return MakeControl<TCheckBox>(this, parent, name, left, top, 237, 17);
}

void TfrxExportDialog::Localize() { frxRes::Resources().LocalizeForm(this); }

bool TfrxExportDialog::CloseQuery()
{
    if (!TForm::CloseQuery()) return false;
    if (ModalResult() != mrOk || !PageNumbersRB->Checked()) return true;
    const std::string text = PageNumbersE->Text();
    if (!Trim(text).empty() && frxUtils::ValidPageNumbers(text)) return true;
    frxUtils::ShowErrorBox(Format(frxRes::Resources().Get("ExportBadPages"), {text}));
    PageNumbersE->SetFocus();
    return false;
}

int TfrxExportDialog::Run(TfrxCustomExportFilter* filter, std::string& fileName,
                          const std::function<void()>& copyBack)
{
    if (ShowModal() != mrOk) return mrCancel;
    filter->CurPage = CurPageRB->Checked();
    filter->PageNumbers = PageNumbersRB->Checked() ? PageNumbersE->Text() : std::string();
    if (copyBack) copyBack();
    if (!SaveDialog1->Execute()) return mrCancel;
    fileName = SaveDialog1->FileName;
    return mrOk;
}
