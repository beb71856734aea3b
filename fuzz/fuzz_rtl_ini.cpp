// Any bytes as an INI file: reading raises or succeeds, never crashes. The
// input is "file \0 section \0 key \0 value": the value is written into the
// file read, and what the file then holds reads back the same once saved to
// disk and read again, the written value included (raw values are bytes, so
// the round trip goes through the file, not through a list of text).
#include "IniFiles.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// Every section, key and raw value the file answers, in order.
std::vector<std::string> Dump(const TMemIniFile& ini)
{
    std::vector<std::string> out;
    for (const std::string& s : ini.SectionNames()) {
        out.push_back("[" + s + "]");
        for (const std::string& k : ini.KeyNames(s)) out.push_back(k + "=" + ini.ReadStringRaw(s, k, "\x01"));
    }
    return out;
}

std::vector<std::string> Split(const std::string& s)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        size_t nul = s.find('\0', from);
        parts.push_back(s.substr(from, nul == std::string::npos ? std::string::npos : nul - from));
        if (nul == std::string::npos) break;
        from = nul + 1;
    }
    parts.resize(4);
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts = Split(std::string(reinterpret_cast<const char*>(data), size));
    try {
        TMemIniFile ini("");
        TStringList lines;
        lines.SetText(parts[0]);
        ini.SetStrings(lines);
        TStringList sections;
        ini.ReadSections(sections);
        for (int i = 0; i < sections.Count(); ++i) {
            TStringList keys;
            ini.ReadSection(sections[i], keys);
            for (int k = 0; k < keys.Count(); ++k) ini.ReadString(sections[i], keys[k], "");
        }

        bool written = false;
        try {
            ini.WriteStringRaw(parts[1], parts[2], parts[3]);
            written = true;
        } catch (const EIniFileException&) {
        }
        static const std::string path = FuzzScratchDir("ini") + "/f.ini";
        ini.Rename(path, false);
        ini.UpdateFile();
        TMemIniFile again(path);
        Check(Dump(again) == Dump(ini), "what a file holds reads back the same once saved");
        if (written) Check(again.ReadStringRaw(parts[1], parts[2], "\x01") == parts[3], "a written value reads back");
    } catch (const Exception&) {
    }
    return 0;
}
