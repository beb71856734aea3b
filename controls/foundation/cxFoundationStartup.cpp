#include "cxFoundationStartup.h"

#include "UnitSequence.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxStyles.h"
#include "dxThemeManager.h"

namespace cxFoundationStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {cxControls::Initialize, cxControls::Finalize},
        {cxStyles::Initialize, nullptr},
        {dxThemeManager::Initialize, dxThemeManager::Finalize},
        {cxLookAndFeelPainters::Initialize, cxLookAndFeelPainters::Finalize},
        {cxLookAndFeels::Initialize, cxLookAndFeels::Finalize},
        {cxContainer::Initialize, cxContainer::Finalize},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace cxFoundationStartup
