// Any bytes as the registry stand-in's file. Every key under every root is
// walked and every value read by type: a value of a type reads, one of
// another type raises ERegistryException, never anything else. A value read
// and written into a fresh store reads back the same with the same type;
// the settings interface over the registry reads every value as text, as a
// number and as a Boolean without fault.
#include "Registry.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

constexpr HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                           HKEY_CURRENT_CONFIG};
constexpr int kMaxDepth = 8;
constexpr int kMaxKeys = 200;

struct TWalk {
    const std::string& CopyFile;
    const std::string& StoreFile;
    int Keys = 0;

    // Writes the value into the copy store under the same root and path and
    // reads it back there.
    void CopyValue(HKEY root, const std::string& path, const std::string& name, TRegDataType type,
                   const std::string& text, int number)
    {
        TRegistry::SetStoreFileName(CopyFile);
        {
            TRegistry copy;
            copy.SetRootKey(root);
            bool wrote = false;
            try {
                if (copy.OpenKey("\\" + path, true)) {
                    if (type == rdString) copy.WriteString(name, text);
                    else if (type == rdExpandString) copy.WriteExpandString(name, text);
                    else copy.WriteInteger(name, number);
                    wrote = true;
                }
            } catch (const ERegistryException&) {
            }
            if (wrote) {
                Check(copy.GetDataType(name) == type, "a copied value keeps its type");
                if (type == rdInteger) Check(copy.ReadInteger(name) == number, "a copied number reads back");
                else Check(copy.ReadString(name) == text, "a copied text reads back");
            }
        }
        TRegistry::SetStoreFileName(StoreFile);
    }

    void Walk(HKEY root, const std::string& path, int depth)
    {
        if (depth > kMaxDepth || ++Keys > kMaxKeys) return;
        TRegistry reg;
        reg.SetRootKey(root);
        if (!reg.OpenKeyReadOnly("\\" + path)) return;
        TStringList values;
        reg.GetValueNames(values);
        for (int i = 0; i < values.Count(); ++i) {
            const std::string name = values[i];
            // A name whose bytes are no text of the system's is listed but
            // cannot be asked for again; it reads as missing.
            if (!reg.ValueExists(name)) continue;
            TRegDataInfo info;
            Check(reg.GetDataInfo(name, info), "data info for every value");
            const TRegDataType type = reg.GetDataType(name);
            std::string text;
            int number = 0;
            bool textRead = false, numberRead = false;
            try {
                text = reg.ReadString(name);
                textRead = true;
            } catch (const ERegistryException&) {
            }
            try {
                number = reg.ReadInteger(name);
                numberRead = true;
            } catch (const ERegistryException&) {
            }
            try {
                reg.ReadBool(name);
            } catch (const ERegistryException&) {
            }
            if (type == rdString || type == rdExpandString) Check(textRead, "a text value reads as text");
            if (type == rdInteger) Check(numberRead, "a number value reads as a number");
            if (type == rdUnknown) Check(!textRead && !numberRead, "a value of no type is refused");
            if (type != rdUnknown) CopyValue(root, path, name, type, text, number);
        }
        TStringList keys;
        reg.GetKeyNames(keys);
        for (int i = 0; i < keys.Count(); ++i)
            Walk(root, path.empty() ? keys[i] : path + "\\" + keys[i], depth + 1);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = FuzzScratchDir("registry");
    static const std::string storeFile = dir + "/registry.ini";
    static const std::string copyFile = dir + "/copy.ini";
    {
        std::ofstream out(storeFile, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    std::remove(copyFile.c_str());
    TRegistry::SetStoreFileName(storeFile);
    try {
        TWalk walk{copyFile, storeFile};
        for (HKEY root : kRoots) walk.Walk(root, "", 0);

        // The settings interface over a key: every section and value as text,
        // number and Boolean.
        TRegistryIniFile ini("\\Software", HKEY_CURRENT_USER);
        int seen = 0;
        for (const std::string& section : ini.SectionNames()) {
            for (const std::string& ident : ini.KeyNames(section)) {
                if (++seen > kMaxKeys) break;
                ini.ReadString(section, ident, "");
                ini.ReadStringRaw(section, ident, "");
                ini.ReadInteger(section, ident, 0);
                ini.ReadBool(section, ident, false);
            }
            TStringList lines;
            ini.ReadSectionValues(section, lines);
        }
    } catch (const ERegistryException&) {
    } catch (const EIniFileException&) {
    }
    TRegistry::SetStoreFileName("");
    return 0;
}
