// The form class behind the dialog pages of a report.
#pragma once

#include "Forms.h"

#include <functional>

// A dialog page's window: its key presses reach the page first, arrow and
// tab keys go to its controls, and it closes only when the page's own
// close-query handler agrees (none installed: never).
class TfrxDialogForm : public TForm {
    QZ_CLASS(TfrxDialogForm, TForm)
public:
    explicit TfrxDialogForm(TComponent* owner = nullptr);
    // After the user moved or resized the window (the designer follows it).
    std::function<void(TObject* sender)> OnModify;

protected:
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTTAB; }
    void WMExitSizeMove(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_EXITSIZEMOVE, WMExitSizeMove)
    QZ_END_MESSAGE_MAP
};

