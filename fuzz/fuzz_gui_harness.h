// What the picture harnesses share: the application they need, started once,
// the check that stops a run when a property breaks, and the seeds the
// fuzzers make with the library's own writers: with FUZZ_SEED_OUT=<prefix>
// set, each writes <prefix><name> files once (tools/fuzz keeps them in
// fuzz/seeds/<fuzzer>/).
#pragma once

#include "Forms.h"
#include "Graphics.h"
#include "Streams.h"

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A small picture with every kind of pixel: a colour ramp, a diagonal and
// a few pure colours.
inline void PaintSeedPicture(TBitmap& b, int w, int h)
{
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Canvas()->SetPixels(x, y, TColor((x * 255 / w) | ((y * 255 / h) << 8) | (x == y ? 0xFF0000 : 0x400000)));
    b.Canvas()->SetPixels(0, 0, clWhite);
    b.Canvas()->SetPixels(w - 1, h - 1, clBlack);
}

inline void WriteSeed(const std::string& name, TGraphic& g)
{
    const char* prefix = std::getenv("FUZZ_SEED_OUT");
    if (!prefix) return;
    TMemoryStream m;
    g.SaveToStream(&m);
    if (FILE* f = std::fopen((std::string(prefix) + name).c_str(), "wb")) {
        std::fwrite(m.Memory(), 1, size_t(m.Size()), f);
        std::fclose(f);
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InitGui();
    return 0;
}
