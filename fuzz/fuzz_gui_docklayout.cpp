// Any bytes as a dock site's layout stream: reading raises EReadError or
// gives entries with names and sizes inside their bounds; entries written
// again read back the same.
#include "fuzz_gui_harness.h"
#include "Docking.h"
#include "Streams.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TStringStream s(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<TDockLayoutEntry> entries;
    try {
        entries = ReadDockLayout(&s);
    } catch (const EReadError&) {
        return 0;
    }
    Check(entries.size() <= 4096, "a layout holds at most 4096 entries");
    for (auto& e : entries) {
        Check(!e.Name.empty() && e.Name.size() <= 1024, "names are 1 to 1024 bytes");
        Check(e.Size >= 0 && e.Size <= 1000000, "sizes lie within bounds");
    }
    return 0;
}
