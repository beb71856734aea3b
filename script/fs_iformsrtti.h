// Scripts' access to windows: the controls, forms, their events, the
// application object and the constants of modal results, cursors, border
// styles and keys.
#pragma once

#include "System.h"

class TfsFormsFunctions : public TObject {
    QZ_CLASS(TfsFormsFunctions, TObject)
};

namespace fs_iformsrtti {
void Initialize();
void Finalize();
}
