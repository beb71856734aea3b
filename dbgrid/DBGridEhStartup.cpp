#include "DBGridEhStartup.h"

#include "DBGridEhFindDlgs.h"
#include "DBGridEhImpExp.h"
#include "UnitSequence.h"

namespace DBGridEhStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {DBGridEhImpExp::Initialize, nullptr},
        {DBGridEhFindDlgs::Initialize, nullptr},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace DBGridEhStartup
