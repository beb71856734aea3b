// The filter builder dialog: a filter control linked to a component, with
// opening and saving of *.flt files, Apply, OK and Cancel.
#pragma once

#include "Forms.h"

#include <memory>
#include <string>

class TOpenDialog;
class TPanel;
class TSaveDialog;
class TcxButton;
class TcxCustomFilterControl;
class TcxLookAndFeel;

class TfmFilterControlDialog : public TForm {
    QZ_CLASS(TfmFilterControlDialog, TForm)
public:
    explicit TfmFilterControlDialog(TComponent* AOwner = nullptr);
    ~TfmFilterControlDialog() override;

    // Takes the filter control (freed with the dialog) and places it over the form.
    void SetFilterControl(std::unique_ptr<TcxCustomFilterControl> AControl);
    TcxCustomFilterControl* FilterControl() const { return FFilterControl.get(); }
    // Shows the file name in the caption and as the save dialog's file name.
    void SetFileName(const std::string& AFileName);

    // The buttons' actions. Apply and OK refuse, with a message, a filter
    // that has an incomplete or invalid row (the row gets the focus and OK
    // leaves the dialog open); Save As and Open report a failure the same
    // way and change nothing.
    bool Apply();
    void Ok();
    void Open();
    void SaveAs();

    TPanel* pnlBottom = nullptr;
    TPanel* pnlBottomRight = nullptr;
    TcxButton* btOpen = nullptr;
    TcxButton* btSave = nullptr;
    TcxButton* btOk = nullptr;
    TcxButton* btCancel = nullptr;
    TcxButton* btApply = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog = nullptr;

    // Where the dialog was last closed in this process (all -1 before).
    static TRect& LastBounds();

protected:
    void DoClose(TCloseAction& Action) override;

private:
    std::unique_ptr<TcxCustomFilterControl> FFilterControl;
};

namespace cxFilterControlDialog {

// Runs the filter builder on a control of AFilterControlClass linked to
// ALinkComponent; true when closed with OK.
bool ExecuteFilterControlDialog(TClass AFilterControlClass, TComponent* ALinkComponent, TcxLookAndFeel* ALookAndFeel,
                                TColor AColor, const std::string& AInitialDir, TNotifyEvent AOnShow,
                                TNotifyEvent AOnApplyFilter);
bool ShowFilterControlDialog(TComponent* ALinkComponent, TcxLookAndFeel* ALookAndFeel, TColor AColor,
                             const std::string& AInitialDir, TNotifyEvent AOnShow, TNotifyEvent AOnApplyFilter);
// Unit start-up: record views open these dialogs from now on.
void Initialize();

}  // namespace cxFilterControlDialog
