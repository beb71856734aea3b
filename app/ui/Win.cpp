#include "Win.h"

QZ_CLASS_IMPL(TWinFrm, TaFrm)

TWinFrm::TWinFrm(TComponent* owner) : TaFrm(owner)
{
    SetCaption("WinFrm");
    SetClientSize(638, 437);
    SetFormStyle(fsStayOnTop);
}

void TWinFrm::DoClose(TCloseAction& action)
{
    TaFrm::DoClose(action);
    action = caFree;
}
