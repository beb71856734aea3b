// Any bytes as the clipboard's picture block: reading raises EInvalidGraphic
// and leaves the picture as it was, or gives a graphic whose block reads
// back to the same class and size.
#include "fuzz_gui_harness.h"
#include "Clipbrd.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPicture p;
    TBitmap keep(2, 1);
    p.SetGraphic(&keep);
    std::string block(reinterpret_cast<const char*>(data), size);
    try {
        ReadPictureClipboardBlock(block, &p);
    } catch (const EInvalidGraphic&) {
        Check(p.Graphic() && p.Width() == 2 && p.Height() == 1, "a refused block leaves the picture as it was");
        return 0;
    }
    if (!p.Graphic() || int64_t(p.Width()) * p.Height() > 1 << 20) return 0;
    TPicture again;
    ReadPictureClipboardBlock(PictureClipboardBlock(p.Graphic()), &again);
    Check(again.Graphic() && again.Graphic()->ClassType() == p.Graphic()->ClassType(),
          "a picture block reads back to the same class");
    Check(again.Width() == p.Width() && again.Height() == p.Height(), "a picture block reads back to the same size");
    return 0;
}
