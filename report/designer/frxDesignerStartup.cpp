#include "frxDesignerStartup.h"

#include "UnitSequence.h"
#include "frxCodeUtils.h"
#include "frxDesgnEditors.h"
#include "frxDesgnForm.h"
#include "frxEditorDialogs.h"
#include "frxrcDesgn.h"
#include "frxrcInsp.h"

namespace frxDesignerStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {frxrcDesgn::Initialize, nullptr},
        {frxrcInsp::Initialize, nullptr},
        {frxCodeUtils::Initialize, nullptr},
        {frxDesgnEditors::Initialize, nullptr},
        {frxDesgnForm::Initialize, frxDesgnForm::Finalize},
        {frxEditorDialogs::Initialize, frxEditorDialogs::Finalize},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace frxDesignerStartup
