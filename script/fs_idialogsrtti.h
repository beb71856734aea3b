// The common dialogs and the message and input boxes for scripts. The boxes
// go through the host services, so a program without windows (and the
// tests) answer them too.
#pragma once

#include "System.h"

class TfsDialogFunctions : public TObject {
    QZ_CLASS(TfsDialogFunctions, TObject)
};

namespace fs_idialogsrtti {
void Initialize();
void Finalize();
}
