// Any bytes as an icon file, and as a picture file by extension: loading
// raises EInvalidGraphic or succeeds, never crashes, and a refused load
// leaves the icon or the picture as it was. A loaded icon saves and loads
// again to the same size and pixels.
#include "fuzz_gui_harness.h"
#include "Graphics.h"
#include "Streams.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <string>
#include <unistd.h>

namespace {

void WriteSeeds()
{
    for (int side : {16, 32}) {
        TBitmap b;
        PaintSeedPicture(b, side, side);
        TIcon icon;
        icon.Assign(&b);
        WriteSeed(std::to_string(side) + ".ico", icon);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool seeded = (WriteSeeds(), true);
    (void)seeded;
    TIcon icon;
    TMemoryStream m;
    if (size) m.WriteBuffer(data, int(size));
    m.SetPosition(0);
    bool loaded = true;
    try {
        icon.LoadFromStream(&m);
    } catch (const EInvalidGraphic&) {
        Check(icon.Empty(), "a refused load leaves the icon as it was");
        loaded = false;
    }
    if (loaded && int64_t(icon.Width()) * icon.Height() <= 1 << 18) {
        TMemoryStream saved;
        icon.SaveToStream(&saved);
        saved.SetPosition(0);
        TIcon again;
        again.LoadFromStream(&saved);
        Check(again.Width() == icon.Width() && again.Height() == icon.Height(), "a saved icon loads to the same size");
        TBitmap a, b;
        a.Assign(&icon);
        b.Assign(&again);
        for (int y = 0; y < a.Height(); ++y)
            Check(std::string(reinterpret_cast<char*>(a.ScanLine(y)), size_t(a.Width()) * 4) ==
                      std::string(reinterpret_cast<char*>(b.ScanLine(y)), size_t(b.Width()) * 4),
                  "a saved icon loads to the same pixels");
    }

    // The same bytes through a picture, by each extension it reads.
    static const std::string base = FuzzScratchDir("icon") + "/pic";
    static const char* exts[] = {".bmp", ".ico", ".jpg"};
    const char* ext = exts[size % 3];
    std::string path = base + ext;
    {
        TFileStream f(path, fmCreate);
        if (size) f.WriteBuffer(data, int(size));
    }
    TPicture p;
    p.Bitmap()->SetSize(3, 2);
    try {
        p.LoadFromFile(path);
    } catch (const EInvalidGraphic&) {
        Check(p.Width() == 3 && p.Height() == 2, "a refused load leaves the picture as it was");
    }
    return 0;
}
