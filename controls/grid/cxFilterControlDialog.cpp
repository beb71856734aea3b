#include "cxFilterControlDialog.h"

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "cxButtons.h"
#include "cxFilterControl.h"
#include "cxFilterControlUtils.h"
#include "cxFilterDialog.h"
#include "cxGridCustomTableView.h"
#include "cxLookAndFeels.h"

using cxClasses::GetResourceString;

QZ_CLASS_IMPL(TfmFilterControlDialog, TForm)

namespace {

TcxButton* MakeButton(TWinControl* AParent, int L, int T, int W, int H)
{
    auto* b = new TcxButton(AParent);
    b->SetParent(AParent);
    b->SetBounds(L, T, W, H);
    return b;
}

// Shows a failure of an action the way the program shows errors; false then.
template <class F> bool Guarded(F AAction)
{
    try {
        AAction();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
        return false;
    }
}

}  // namespace

TRect& TfmFilterControlDialog::LastBounds()
{
    static TRect bounds{-1, -1, -1, -1};
    return bounds;
}

TfmFilterControlDialog::TfmFilterControlDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetBounds(0, 0, 526, 363);
    Constraints()->SetMinWidth(520);
    Constraints()->SetMinHeight(165);
    pnlBottom = new TPanel(this);
    pnlBottom->SetParent(this);
    pnlBottom->SetHeight(38);
    pnlBottom->SetAlign(alBottom);
    pnlBottom->SetBevelOuter(bvNone);
    pnlBottom->SetCaption("");
    btOpen = MakeButton(pnlBottom, 6, 8, 74, 23);
    btOpen->SetHint("Open|Opens an existing filter");
    btSave = MakeButton(pnlBottom, 85, 8, 76, 23);
    btSave->SetHint("Save As|Saves the active filter with a new name");
    pnlBottomRight = new TPanel(this);
    pnlBottomRight->SetParent(pnlBottom);
    pnlBottomRight->SetWidth(248);
    pnlBottomRight->SetAlign(alRight);
    pnlBottomRight->SetBevelOuter(bvNone);
    pnlBottomRight->SetCaption("");
    btOk = MakeButton(pnlBottomRight, 7, 8, 74, 23);
    btCancel = MakeButton(pnlBottomRight, 88, 8, 75, 23);
    btCancel->SetCancel(true);
    btCancel->SetModalResult(mrCancel);
    btApply = MakeButton(pnlBottomRight, 167, 8, 75, 23);
    OpenDialog = new TOpenDialog(this);
    SaveDialog = new TSaveDialog(this);
    SaveDialog->Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofEnableSizing};
    // OK closes only once the filter was applied, so it has no modal result of its own.
    btOk->OnClick = [this](TObject*) { Ok(); };
    btApply->OnClick = [this](TObject*) { Apply(); };
    btOpen->OnClick = [this](TObject*) { Open(); };
    btSave->OnClick = [this](TObject*) { SaveAs(); };
}

TfmFilterControlDialog::~TfmFilterControlDialog()
{
    if (FFilterControl) FFilterControl->SetParent(nullptr);
    FFilterControl.reset();
}

void TfmFilterControlDialog::SetFilterControl(std::unique_ptr<TcxCustomFilterControl> AControl)
{
    FFilterControl = std::move(AControl);
    FFilterControl->SetParent(this);
    FFilterControl->SetAlign(alClient);
    FFilterControl->OnKeyPress = [this](TObject*, char& Key) {
        if (Key == 27) {
            Key = 0;
            SetModalResult(mrCancel);
        }
    };
}

void TfmFilterControlDialog::SetFileName(const std::string& AFileName)
{
    SaveDialog->FileName = AFileName;
    SetCaption(Format("%s - [%s]", {GetResourceString(&cxSFilterControlDialogCaption), ExtractFileName(AFileName)}));
}

bool TfmFilterControlDialog::Apply()
{
    return Guarded([this] { FFilterControl->ApplyFilter(); });
}

void TfmFilterControlDialog::Ok()
{
    if (Apply()) SetModalResult(mrOk);
}

void TfmFilterControlDialog::Open()
{
    OpenDialog->FileName.clear();
    if (!OpenDialog->Execute()) return;
    std::string name = OpenDialog->FileName;
    if (Guarded([&] { FFilterControl->LoadFromFile(name); })) SetFileName(name);
}

void TfmFilterControlDialog::SaveAs()
{
    if (!SaveDialog->Execute()) return;
    std::string name = SaveDialog->FileName;
    if (Guarded([&] { FFilterControl->SaveToFile(name); })) SetFileName(name);
}

void TfmFilterControlDialog::DoClose(TCloseAction& Action)
{
    LastBounds() = TRect{Left(), Top(), Left() + Width(), Top() + Height()};
    TForm::DoClose(Action);
}

namespace cxFilterControlDialog {

bool ExecuteFilterControlDialog(TClass AFilterControlClass, TComponent* ALinkComponent, TcxLookAndFeel* ALookAndFeel,
                                TColor AColor, const std::string& AInitialDir, TNotifyEvent AOnShow,
                                TNotifyEvent AOnApplyFilter)
{
    std::unique_ptr<TfmFilterControlDialog> dialog(new TfmFilterControlDialog(nullptr));
    TObject* made = AFilterControlClass ? AFilterControlClass->Create(nullptr) : nullptr;
    std::unique_ptr<TcxCustomFilterControl> control(dynamic_cast<TcxCustomFilterControl*>(made));
    if (!control) {
        delete made;
        return false;
    }
    TcxCustomFilterControl* c = control.get();
    dialog->SetFilterControl(std::move(control));
    if (ALookAndFeel) {
        for (TcxButton* b : {dialog->btOk, dialog->btCancel, dialog->btApply, dialog->btOpen, dialog->btSave})
            b->LookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
        c->LookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    }
    if (auto* target = dynamic_cast<IcxFilterLinkTarget*>(c)) target->SetLinkComponent(ALinkComponent);
    if (AColor != clDefault) c->SetColor(AColor);
    c->OnApplyFilter = AOnApplyFilter;

    dialog->SetFileName(GetResourceString(&cxSFilterControlDialogNewFile));
    for (TOpenDialog* d : {dialog->OpenDialog, static_cast<TOpenDialog*>(dialog->SaveDialog)}) {
        d->InitialDir = AInitialDir;
        d->DefaultExt = GetResourceString(&cxSFilterControlDialogFileExt);
        d->Filter = GetResourceString(&cxSFilterControlDialogFileFilter);
    }
    dialog->OpenDialog->Title = GetResourceString(&cxSFilterControlDialogOpenDialogCaption);
    dialog->SaveDialog->Title = GetResourceString(&cxSFilterControlDialogSaveDialogCaption);
    dialog->btSave->SetCaption(GetResourceString(&cxSFilterControlDialogActionSaveCaption));
    dialog->btOpen->SetCaption(GetResourceString(&cxSFilterControlDialogActionOpenCaption));
    dialog->btApply->SetCaption(GetResourceString(&cxSFilterControlDialogActionApplyCaption));
    dialog->btOk->SetCaption(GetResourceString(&cxSFilterControlDialogActionOkCaption));
    dialog->btCancel->SetCaption(GetResourceString(&cxSFilterControlDialogActionCancelCaption));

    const TRect& last = TfmFilterControlDialog::LastBounds();
    if (last.Left == -1 || last.Top == -1)
        dialog->SetPosition(poScreenCenter);
    else {
        dialog->SetPosition(poDesigned);
        dialog->SetLeft(last.Left);
        dialog->SetTop(last.Top);
    }
    if (last.Width() > 0 && last.Left != -1) dialog->SetWidth(last.Width());
    if (last.Height() > 0 && last.Top != -1) dialog->SetHeight(last.Height());
    dialog->OnShow = AOnShow;
    return dialog->ShowModal() == mrOk;
}

bool ShowFilterControlDialog(TComponent* ALinkComponent, TcxLookAndFeel* ALookAndFeel, TColor AColor,
                             const std::string& AInitialDir, TNotifyEvent AOnShow, TNotifyEvent AOnApplyFilter)
{
    return ExecuteFilterControlDialog(TcxFilterControl::StaticClass(), ALinkComponent, ALookAndFeel, AColor,
                                      AInitialDir, AOnShow, AOnApplyFilter);
}

void Initialize()
{
    TcxGridFilterDialogs dialogs;
    dialogs.IsComplexFilter = &cxFilterDialog::IsComplexFilter;
    dialogs.ShowFilterDialog = &cxFilterDialog::ShowFilterDialog;
    dialogs.ShowFilterControlDialog = [](TComponent* ALink, TcxLookAndFeel* ALookAndFeel, TColor AColor,
                                         const std::string& AInitialDir, const TNotifyEvent& AOnShow,
                                         const TNotifyEvent& AOnApplyFilter) {
        return ShowFilterControlDialog(ALink, ALookAndFeel, AColor, AInitialDir, AOnShow, AOnApplyFilter);
    };
    cxGridCustomTableView::SetFilterDialogs(dialogs);
}

}  // namespace cxFilterControlDialog
