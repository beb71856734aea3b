// Any bytes as a bitmap file: loading raises EInvalidGraphic or succeeds,
// never crashes. A refused load leaves the bitmap as it was; a picture that
// loads saves and loads again to the same size and pixels.
#include "fuzz_gui_harness.h"
#include "Graphics.h"
#include "Streams.h"

#include <cstdint>

namespace {

bool SamePixels(TBitmap& a, TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Canvas()->Pixels(x, y) != b.Canvas()->Pixels(x, y)) return false;
    return true;
}

void WriteSeeds()
{
    const struct {
        TPixelFormat Format;
        const char* Name;
    } formats[] = {{pf1bit, "1bit.bmp"}, {pf4bit, "4bit.bmp"}, {pf8bit, "8bit.bmp"}, {pf15bit, "15bit.bmp"},
                   {pf16bit, "16bit.bmp"}, {pf24bit, "24bit.bmp"}, {pf32bit, "32bit.bmp"}};
    for (const auto& f : formats) {
        TBitmap b;
        PaintSeedPicture(b, 13, 7);
        b.SetPixelFormat(f.Format);
        WriteSeed(f.Name, b);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool seeded = (WriteSeeds(), true);
    (void)seeded;
    TBitmap b(2, 1);
    b.Canvas()->SetPixels(1, 0, clRed);
    TMemoryStream m;
    if (size) m.WriteBuffer(data, int(size));
    m.SetPosition(0);
    try {
        b.LoadFromStream(&m);
    } catch (const EInvalidGraphic&) {
        Check(b.Width() == 2 && b.Height() == 1 && b.Canvas()->Pixels(1, 0) == clRed,
              "a refused load leaves the bitmap as it was");
        return 0;
    }
    if (b.Empty() || int64_t(b.Width()) * b.Height() > 1 << 20) return 0;
    TMemoryStream saved;
    b.SaveToStream(&saved);
    saved.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(&saved);
    Check(SamePixels(b, again), "a loaded bitmap saves and loads again to the same pixels");
    return 0;
}
