#include "fs_istartup.h"

#include "UnitSequence.h"
#include "fs_iinit.h"
#include "fs_iinterpreter.h"

namespace fs_istartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {fs_iinterpreter::RestoreGlobalScript, nullptr},
        {fs_iinit::InitializeScriptEngine, fs_iinit::FinalizeScriptEngine},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace fs_istartup
