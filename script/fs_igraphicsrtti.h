// Scripts' access to drawing: fonts, pens, brushes, canvases, graphics,
// pictures, metafiles and bitmaps, with the colour names and the font, pen
// and brush enumerations.
#pragma once

#include "System.h"

class TfsGraphicsFunctions : public TObject {
    QZ_CLASS(TfsGraphicsFunctions, TObject)
};

namespace fs_igraphicsrtti {
void Initialize();
void Finalize();
}
