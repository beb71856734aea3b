// What the WMF and EMF harnesses share: a file that loads (or is refused
// with EInvalidGraphic), draws, and saves in both formats to files that load
// again at the same size.
#pragma once

#include "fuzz_gui_harness.h"
#include "Metafile.h"
#include "Streams.h"

#include <cstdlib>
#include <string>

inline void CheckMetafileBytes(const std::string& bytes)
{
    TMetafile m;
    TStringStream in(bytes);
    try {
        m.LoadFromStream(&in);
    } catch (const EInvalidGraphic&) {
        Check(m.Empty(), "a refused metafile leaves the picture empty");
        return;
    }
    TBitmap b(32, 32);
    b.Canvas()->StretchDraw(Rect(0, 0, 32, 32), &m);
    if (m.Width() > 4000 || m.Height() > 4000) return;
    for (bool enhanced : {true, false}) {
        m.SetEnhanced(enhanced);
        TStringStream out;
        m.SaveToStream(&out);
        TMetafile again;
        TStringStream back(out.DataString());
        again.LoadFromStream(&back);
        Check(std::abs(again.Width() - m.Width()) <= 1 && std::abs(again.Height() - m.Height()) <= 1,
              "a saved metafile loads again at its size");
    }
}
