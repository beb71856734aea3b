// The built-in routines every script can call (conversion, formatting, date
// and time, strings, mathematics and a few others) and the variant type
// constants, registered into the global script.
#pragma once

#include "System.h"

// The registration object: every item it adds carries it as registrar.
class TfsSysFunctions : public TObject {
    QZ_CLASS(TfsSysFunctions, TObject)
};

namespace fs_isysrtti {
void Initialize();   // once; later calls do nothing
void Finalize();     // removes what Initialize added
}
