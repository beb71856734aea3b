// Any bytes as a JPEG file: loading raises EInvalidGraphic or succeeds,
// never crashes. A refused load leaves the image as it was; a picture that
// loads saves its data again and that data loads to the same size.
#include "fuzz_gui_harness.h"
#include "Jpeg.h"
#include "Streams.h"

#include <cstdint>

namespace {

void CheckSavedSize(TJPEGImage& j, int w, int h, const char* what)
{
    TMemoryStream saved;
    j.SaveToStream(&saved);
    saved.SetPosition(0);
    TJPEGImage again;
    again.LoadFromStream(&saved);
    Check(again.Width() == w && again.Height() == h, what);
}

}  // namespace

void WriteSeeds()
{
    TBitmap b;
    PaintSeedPicture(b, 24, 16);
    for (int quality : {10, 90}) {
        for (bool grey : {false, true}) {
            TJPEGImage j;
            j.SetCompressionQuality(quality);
            j.SetGrayscale(grey);
            j.Assign(&b);
            WriteSeed("q" + std::to_string(quality) + (grey ? "-grey.jpg" : ".jpg"), j);
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool seeded = (WriteSeeds(), true);
    (void)seeded;
    TJPEGImage j;
    TMemoryStream m;
    if (size) m.WriteBuffer(data, int(size));
    m.SetPosition(0);
    try {
        j.LoadFromStream(&m);
    } catch (const EInvalidGraphic&) {
        Check(j.Empty() && j.Width() == 0, "a refused load leaves the image as it was");
        return 0;
    }
    Check(!j.Empty() && j.Width() > 0 && j.Height() > 0, "a loaded image has pixels");
    CheckSavedSize(j, j.Width(), j.Height(), "saved data loads to the same size");
    // Pixels give data again once the image is compressed anew.
    TJPEGImage copy;
    copy.Assign(j.Bitmap());
    if (int64_t(copy.Width()) * copy.Height() <= 1 << 18)
        CheckSavedSize(copy, j.Width(), j.Height(), "compressed pixels load to the same size");
    return 0;
}
