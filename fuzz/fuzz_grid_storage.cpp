// Any bytes as stored layout values: hex text, Booleans and set lists either
// convert or raise the conversion errors, never crash; a converted hex text
// written back reads the same bytes.
#include "cxStorage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        std::string bytes = cxStorage::HexStringToString(text);
        if (cxStorage::HexStringToString(cxStorage::StringToHexString(bytes)) != bytes) {
            std::fprintf(stderr, "hex round trip broken\n");
            std::abort();
        }
    } catch (const EcxHexStringConvertError&) {
    }
    try {
        cxStorage::StringToBoolean(text);
    } catch (const EPropertyConvertError&) {
    }
    static const std::vector<std::string> names{"a", "B", "c,", "", "dd"};
    for (int setSize = 1; setSize <= 4; ++setSize) {
        try {
            uint32_t value = 0;
            cxStorage::StringToSet(text, value, setSize, names);
            uint32_t again = 0;
            cxStorage::StringToSet(cxStorage::SetToString(value, setSize, names), again, setSize, names);
            (void)again;
        } catch (const EPropertyConvertError&) {
        }
    }
    return 0;
}
