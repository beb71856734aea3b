// Any bytes as EMF records after a valid header (or, when they begin with
// an EMF header of their own, as a whole file), and as an .emf picture file.
#include "fuzz_gui_metafile_harness.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string body(reinterpret_cast<const char*>(data), size);
    if (size >= 44 && body.compare(40, 4, " EMF") == 0) {
        CheckMetafileBytes(body, ".emf");
        return 0;
    }
    // A header: bounds, a 50 x 30 mm frame, a 96-per-inch reference device.
    std::string h;
    auto put = [&](uint32_t v) { for (int i = 0; i < 4; ++i) h += char((v >> (8 * i)) & 0xFF); };
    for (uint32_t v : {1u, 88u, 0u, 0u, 189u, 113u, 0u, 0u, 5000u, 3000u, 0x464D4520u, 0x10000u,
                       uint32_t(88 + size), 0u, 16u, 0u, 0u, 0u, 960u, 960u, 254u, 254u})
        put(v);
    CheckMetafileBytes(h + body, ".emf");
    return 0;
}
