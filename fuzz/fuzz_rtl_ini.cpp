// Any bytes as an INI file: reading raises or succeeds, never crashes.
#include "IniFiles.h"
#include "StringLists.h"
#include "SysUtils.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        TMemIniFile ini("");
        TStringList lines;
        lines.SetText(std::string(reinterpret_cast<const char*>(data), size));
        ini.SetStrings(lines);
        TStringList sections;
        ini.ReadSections(sections);
        for (int i = 0; i < sections.Count(); ++i) {
            TStringList keys;
            ini.ReadSection(sections[i], keys);
            for (int k = 0; k < keys.Count(); ++k) ini.ReadString(sections[i], keys[k], "");
        }
    } catch (const Exception&) {
    }
    return 0;
}
