// What report scripts and expressions see of the report's object model: the
// report classes with their ancestry and the members beyond their published
// properties, the library's enumerations and unit constants, three date
// routines and the global declarations of IIF and the aggregate functions.
#pragma once

#include "System.h"

// The registration object: the global script's items it added carry it.
class TfrxClassRTTIFunctions : public TObject {
    QZ_CLASS(TfrxClassRTTIFunctions, TObject)
public:
    TfrxClassRTTIFunctions() = default;
};

namespace frxClassRTTI {
// Registers everything in the global script, once (after the classes binding).
void Initialize();
// Removes it again.
void Finalize();
}
