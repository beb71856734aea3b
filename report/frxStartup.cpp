#include "frxStartup.h"

#include "UnitSequence.h"
#include "frxBarcode.h"
#include "frxClass.h"
#include "frxClassRTTI.h"
#include "frxDMPClass.h"
#include "frxEngine.h"
#include "frxPassw.h"
#include "frxPreview.h"
#include "frxrcExports.h"

namespace frxStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {frxClass::Initialize, nullptr},
        {frxDMPClass::Initialize, nullptr},
        {frxPreview::Initialize, nullptr},
        {frxEngine::Initialize, nullptr},
        {frxPassw::Initialize, nullptr},
        {frxrcExports::Initialize, nullptr},
        {frxClassRTTI::Initialize, frxClassRTTI::Finalize},
        // After the report classes: the barcode view derives from TfrxView there.
        {frxBarcode::Initialize, nullptr},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace frxStartup
