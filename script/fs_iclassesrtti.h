// Scripts' access to the basic classes: objects, persistent objects,
// collections, lists, string lists, streams, components and the
// interpreter's own XML document.
#pragma once

#include "System.h"

class TfsClassesFunctions : public TObject {
    QZ_CLASS(TfsClassesFunctions, TObject)
};

namespace fs_iclassesrtti {
void Initialize();
void Finalize();
}
