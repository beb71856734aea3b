#include "frxDialogForm.h"

#include "Graphics.h"

QZ_CLASS_IMPL(TfrxDialogForm, TForm)

TfrxDialogForm::TfrxDialogForm(TComponent* owner) : TForm(owner)
{
    SetCaption(" ");
    Font()->SetName("Tahoma");
    Font()->SetSize(8);
    SetKeyPreview(true);
    // The dialog page puts its own handler here; until then the window stays.
    OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
}

void TfrxDialogForm::WMExitSizeMove(TMessage& m)
{
    TForm::Dispatch(m);
    if (OnModify) OnModify(this);
}
