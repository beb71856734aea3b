#include "frxPopupForm.h"

#include "Windows.h"

QZ_CLASS_IMPL(TfrxPopupForm, TForm)

namespace frxPopupForm {
namespace {
uint32_t GLastCloseTick = 0;
}
uint32_t LastCloseTick() { return GLastCloseTick; }
void SetLastCloseTick(uint32_t tick) { GLastCloseTick = tick; }
}  // namespace frxPopupForm

TfrxPopupForm::TfrxPopupForm(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TfrxPopupForm::FormDeactivate(TObject*)
{
    frxPopupForm::SetLastCloseTick(GetTickCount());
    Close();
}

void TfrxPopupForm::FormClose(TObject*, TCloseAction& action) { action = caFree; }
