// Any bytes as WMF records after a placeable header (or, when they begin
// with a header of their own, as a whole file), and as a .wmf picture file.
#include "fuzz_gui_metafile_harness.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string body(reinterpret_cast<const char*>(data), size);
    if (size >= 4 && data[0] == 0xD7 && data[1] == 0xCD) {
        CheckMetafileBytes(body, ".wmf");
        return 0;
    }
    // Placeable header (0,0)-(200,100) at 96 units per inch, then the metafile header.
    static const uint8_t head[] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 200, 0, 100, 0, 96, 0,
                                   0, 0, 0, 0, 0, 0, 1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 8, 0, 0, 0,
                                   0, 0, 0, 0};
    CheckMetafileBytes(std::string(reinterpret_cast<const char*>(head), sizeof head) + body, ".wmf");
    return 0;
}
