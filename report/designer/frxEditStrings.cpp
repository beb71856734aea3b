#include "frxEditStrings.h"

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxStringsEditorForm, TForm)

using frxCtrls::MakeControl;

TfrxStringsEditorForm::TfrxStringsEditorForm(TComponent* owner) : TForm(owner)
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(360, 280);
    ToolBar = MakeControl<TToolBar>(this, this, "ToolBar", 0, 0, 360, 26);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetList(true);
    ToolBar->SetButtonWidth(60);
    CancelB = frxEditUtils::AddToolButton(this, ToolBar, "CancelB");
    OkB = frxEditUtils::AddToolButton(this, ToolBar, "OkB");
    // The text block names these two by their captions.
    CancelB->SetCaption("取消");
    OkB->SetCaption("确定");
    Memo = MakeControl<TMemo>(this, this, "Memo", 0, 26, 360, 254);
    Memo->SetAlign(alClient);
    Memo->SetScrollBars(ssBoth);
    Memo->SetWordWrap(false);
    frxRes::Resources().LocalizeForm(this);
    OkB->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    CancelB->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
    Memo->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) {
        if (key == VK_RETURN && shift.Contains(ssCtrl)) {
            key = 0;
            SetModalResult(mrOk);
        } else if (key == VK_ESCAPE) {
            key = 0;
            SetModalResult(mrCancel);
        }
    };
    // The character of the key that closed the dialog stays out of the text.
    Memo->OnKeyPress = [this](TObject*, char& key) {
        if (ModalResult() != mrNone) key = 0;
    };
}

namespace frxEditStrings {

bool EditStrings(TComponent* owner, TStrings* lines)
{
    TfrxStringsEditorForm f(owner);
    f.Memo->Lines()->Assign(lines);
    if (f.ShowModal() != mrOk) return false;
    lines->Assign(f.Memo->Lines());
    return true;
}

}  // namespace frxEditStrings
