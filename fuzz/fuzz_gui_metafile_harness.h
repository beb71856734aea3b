// What the WMF and EMF harnesses share: a file that loads (or is refused
// with EInvalidGraphic), draws, and saves in both formats to files that load
// again at the same size; the same file loads through a picture by its
// extension, and a refused one leaves the picture as it was.
#pragma once

#include "fuzz_gui_harness.h"
#include "Metafile.h"
#include "Streams.h"
#include "fuzz_scratch.h"

#include <cstdlib>
#include <string>

inline void CheckPictureFile(const std::string& bytes, const char* ext)
{
    static const std::string base = FuzzScratchDir("metafile") + "/pic";
    const std::string path = base + ext;
    {
        TFileStream f(path, fmCreate);
        if (!bytes.empty()) f.WriteBuffer(bytes.data(), int(bytes.size()));
    }
    TPicture p;
    p.Bitmap()->SetSize(3, 2);
    try {
        p.LoadFromFile(path);
    } catch (const EInvalidGraphic&) {
        Check(p.Width() == 3 && p.Height() == 2, "a refused load leaves the picture as it was");
        return;
    }
    TBitmap b(16, 16);
    if (p.Graphic()) b.Canvas()->StretchDraw(Rect(0, 0, 16, 16), p.Graphic());
}

inline void CheckMetafileBytes(const std::string& bytes, const char* ext)
{
    CheckPictureFile(bytes, ext);
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
