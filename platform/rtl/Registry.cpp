#include "Registry.h"

#include "IniFiles.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cstdio>
#include <mutex>

QZ_CLASS_IMPL(TRegistry, TObject)
QZ_CLASS_IMPL(TRegistryIniFile, TCustomIniFile)

namespace {

std::mutex gStoreMutex;
std::string gStoreOverride;

const char* RootName(HKEY key)
{
    switch (key) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    default: return nullptr;
    }
}

// "a\\b\" and "/a/b" alike become "a\b".
std::string CleanPath(std::string_view path)
{
    std::string out;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

// The stored form of a value: a string in double quotes with '\' and '"'
// escaped, "expand:" before an expandable string, "dword:" and eight
// hexadecimal digits for an integer.
std::string EncodeString(const std::string& s)
{
    std::string r = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    return r + "\"";
}

bool DecodeString(std::string_view stored, std::string& out)
{
    if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"') return false;
    out.clear();
    for (size_t i = 1; i + 1 < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\\' && i + 2 < stored.size()) c = stored[++i];
        out += c;
    }
    return true;
}

struct StoredValue {
    TRegDataType Type = rdUnknown;
    std::string Text;
    int Int = 0;
};

StoredValue Decode(const std::string& stored)
{
    StoredValue v;
    if (stored.rfind("dword:", 0) == 0) {
        std::string hex = stored.substr(6);
        unsigned long n = 0;
        int used = 0;
        if (hex.size() == 8 && sscanf(hex.c_str(), "%8lx%n", &n, &used) == 1 && used == 8) {
            v.Type = rdInteger;
            v.Int = static_cast<int>(static_cast<uint32_t>(n));
        }
    } else if (stored.rfind("expand:", 0) == 0) {
        if (DecodeString(std::string_view(stored).substr(7), v.Text)) v.Type = rdExpandString;
    } else if (DecodeString(stored, v.Text)) {
        v.Type = rdString;
    }
    return v;
}

// The INI key that holds a value; the unnamed (default) value is "@".
std::string ValueKey(const std::string& name) { return name.empty() ? "@" : name; }

bool StorableName(const std::string& name)
{
    std::string t = Trim(name);
    return t == name && name.find_first_of(std::string_view("=\r\n\0", 4)) == std::string::npos &&
           (name.empty() || (name[0] != ';' && name[0] != '[' && name != "@"));
}

[[noreturn]] void RegError(const char* fmt, const std::string& arg)
{
    std::string msg = fmt;
    size_t at = msg.find("%s");
    if (at != std::string::npos) msg.replace(at, 2, arg);
    throw ERegistryException(msg);
}

} // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

void TRegistry::SetStoreFileName(const std::string& fileName)
{
    std::lock_guard<std::mutex> lock(gStoreMutex);
    gStoreOverride = fileName;
}

std::string TRegistry::StoreFileName()
{
    {
        std::lock_guard<std::mutex> lock(gStoreMutex);
        if (!gStoreOverride.empty()) return gStoreOverride;
    }
    return UserConfigDir() + "registry.ini";
}

TIniFile& TRegistry::Store() const
{
    std::string name = StoreFileName();
    if (!FStore || FStoreName != name) {
        FStore = std::make_unique<TIniFile>(name);
        FStoreName = name;
    }
    return *FStore;
}

void TRegistry::SetRootKey(HKEY key)
{
    CloseKey();
    FRootKey = key;
}

std::string TRegistry::SectionFor(const std::string& path) const
{
    const char* root = RootName(FRootKey);
    std::string r = root ? root : "HKEY_" + std::to_string(FRootKey);
    return path.empty() ? r : r + "\\" + path;
}

std::string TRegistry::Resolve(const std::string& key) const
{
    std::string k = key;
    for (char& c : k)
        if (c == '/') c = '\\';
    bool absolute = !k.empty() && k[0] == '\\';
    std::string p = CleanPath(k);
    if (absolute || !FOpen || FCurrentPath.empty()) return p;
    return p.empty() ? FCurrentPath : FCurrentPath + "\\" + p;
}

std::string TRegistry::CurrentSection() const { return SectionFor(FOpen ? FCurrentPath : ""); }

bool TRegistry::KeyExists(const std::string& key) const
{
    std::string sec = SectionFor(Resolve(key));
    if (Resolve(key).empty()) return true;   // a root always exists
    for (const auto& s : Store().SectionNames()) {
        if (SameText(s, sec)) return true;
        if (s.size() > sec.size() && s[sec.size()] == '\\' && SameText(std::string_view(s).substr(0, sec.size()), sec))
            return true;
    }
    return false;
}

bool TRegistry::CreateKey(const std::string& key)
{
    std::string path = Resolve(key);
    if (path.empty()) return true;
    if (KeyExists("\\" + path)) return true;
    try {
        ForceDirectories(ExtractFilePath(Store().FileName()));
        Store().AddSection(SectionFor(path));
    } catch (const EIniFileException&) {
        RegError("Failed to create key %s", key);
    }
    return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    std::string path = Resolve(key);
    if (!KeyExists("\\" + path)) {
        if (!canCreate) return false;
        // A key that cannot be made is a failure to open, not an error.
        try {
            CreateKey("\\" + path);
        } catch (const ERegistryException&) {
            return false;
        }
    }
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    std::string path = Resolve(key);
    if (!KeyExists("\\" + path)) return false;
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey()
{
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

bool TRegistry::DeleteKey(const std::string& key)
{
    std::string path = Resolve(key);
    if (path.empty() || !KeyExists("\\" + path)) return false;
    std::string sec = SectionFor(path);
    for (const auto& s : Store().SectionNames())
        if (SameText(s, sec) ||
            (s.size() > sec.size() && s[sec.size()] == '\\' && SameText(std::string_view(s).substr(0, sec.size()), sec)))
            Store().EraseSection(s);
    // The open key went with it.
    if (FOpen && (SameText(FCurrentPath, path) || StartsText(path + "\\", FCurrentPath))) CloseKey();
    return true;
}

void TRegistry::GetKeyNames(TStrings& strings) const
{
    strings.Clear();
    std::string prefix = CurrentSection() + "\\";
    std::vector<std::string> seen;
    for (const auto& s : Store().SectionNames()) {
        if (s.size() <= prefix.size() || !SameText(std::string_view(s).substr(0, prefix.size()), prefix)) continue;
        std::string rest = s.substr(prefix.size());
        std::string child = rest.substr(0, rest.find('\\'));
        if (child.empty()) continue;
        bool dup = false;
        for (const auto& c : seen) dup = dup || SameText(c, child);
        if (dup) continue;
        seen.push_back(child);
        strings.Add(child);
    }
}

bool TRegistry::HasSubKeys() const
{
    std::string prefix = CurrentSection() + "\\";
    for (const auto& s : Store().SectionNames())
        if (s.size() > prefix.size() && SameText(std::string_view(s).substr(0, prefix.size()), prefix)) return true;
    return false;
}

void TRegistry::GetValueNames(TStrings& strings) const
{
    strings.Clear();
    for (const auto& k : Store().KeyNames(CurrentSection())) strings.Add(k == "@" ? std::string() : k);
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return Store().ValueExists(CurrentSection(), ValueKey(name));
}

bool TRegistry::DeleteValue(const std::string& name)
{
    if (!ValueExists(name)) return false;
    if (FReadOnly) return false;
    Store().DeleteKey(CurrentSection(), ValueKey(name));
    return true;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info) const
{
    info = TRegDataInfo();
    if (!ValueExists(name)) return false;
    StoredValue v = Decode(Store().ReadString(CurrentSection(), ValueKey(name), ""));
    info.RegData = v.Type;
    if (v.Type == rdInteger) info.DataSize = 4;
    else if (v.Type == rdString || v.Type == rdExpandString) info.DataSize = GbkLength(v.Text) + 1;
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& name) const
{
    TRegDataInfo info;
    GetDataInfo(name, info);
    return info.RegData;
}

int TRegistry::GetDataSize(const std::string& name) const
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    if (!ValueExists(name)) return {};
    StoredValue v = Decode(Store().ReadString(CurrentSection(), ValueKey(name), ""));
    if (v.Type != rdString && v.Type != rdExpandString) RegError("Invalid data type for '%s'", name);
    return v.Text;
}

int TRegistry::ReadInteger(const std::string& name) const
{
    if (!ValueExists(name)) RegError("Failed to get data for '%s'", name);
    StoredValue v = Decode(Store().ReadString(CurrentSection(), ValueKey(name), ""));
    if (v.Type != rdInteger) RegError("Invalid data type for '%s'", name);
    return v.Int;
}

bool TRegistry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

void TRegistry::CheckWritable(const std::string& name) const
{
    if (FReadOnly || !StorableName(name)) RegError("Failed to set data for '%s'", name);
}

namespace {
void Put(TIniFile& store, const std::string& section, const std::string& name, const std::string& stored)
{
    try {
        ForceDirectories(ExtractFilePath(store.FileName()));
        store.WriteString(section, ValueKey(name), stored);
    } catch (const EIniFileException&) {
        RegError("Failed to set data for '%s'", name);
    }
}
} // namespace

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    CheckWritable(name);
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        RegError("Failed to set data for '%s'", name);
    Put(Store(), CurrentSection(), name, EncodeString(value));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value)
{
    CheckWritable(name);
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        RegError("Failed to set data for '%s'", name);
    Put(Store(), CurrentSection(), name, "expand:" + EncodeString(value));
}

void TRegistry::WriteInteger(const std::string& name, int value)
{
    CheckWritable(name);
    char buf[16];
    snprintf(buf, sizeof buf, "dword:%08x", static_cast<uint32_t>(value));
    Put(Store(), CurrentSection(), name, buf);
}

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

// ---- TRegistryIniFile -------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(std::string fileName, HKEY rootKey)
    : TCustomIniFile(std::move(fileName)), FReg(std::make_unique<TRegistry>())
{
    FReg->SetRootKey(rootKey);
}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::OpenSection(const std::string& section, bool create) const
{
    std::string key = "\\" + CleanPath(FileName());
    if (!section.empty()) key += "\\" + section;
    return create ? FReg->OpenKey(key, true) : FReg->OpenKeyReadOnly(key);
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) const
{
    if (!OpenSection(section, false) || !FReg->ValueExists(ident)) return def;
    switch (FReg->GetDataType(ident)) {
    case rdString:
    case rdExpandString: return FReg->ReadString(ident);
    case rdInteger: return std::to_string(FReg->ReadInteger(ident));
    default: return def;
    }
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value)
{
    if (!OpenSection(section, true)) RegError("Failed to set data for '%s'", ident);
    FReg->WriteString(ident, value);
}

std::string TRegistryIniFile::ReadStringRaw(const std::string& section, const std::string& ident,
                                            const std::string& def) const
{
    if (!ValueExists(section, ident)) return def;
    return Utf8ToGbk(ReadString(section, ident, ""));
}

void TRegistryIniFile::WriteStringRaw(const std::string& section, const std::string& ident,
                                      const std::string& bytes)
{
    WriteString(section, ident, GbkToUtf8(bytes));
}

int TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const
{
    if (!OpenSection(section, false) || !FReg->ValueExists(ident)) return def;
    if (FReg->GetDataType(ident) == rdInteger) return FReg->ReadInteger(ident);
    // A number stored as text still reads as a number.
    std::string text = Trim(ReadString(section, ident, ""));
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
    return StrToIntDef(text, def);
}

void TRegistryIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    if (!OpenSection(section, true)) RegError("Failed to set data for '%s'", ident);
    FReg->WriteInteger(ident, value);
}

bool TRegistryIniFile::SectionExists(const std::string& section) const
{
    return OpenSection(section, false);
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    return OpenSection(section, false) && FReg->ValueExists(ident);
}

void TRegistryIniFile::ReadSectionValues(const std::string& section, TStrings& strings) const
{
    strings.Clear();
    for (const auto& k : KeyNames(section)) strings.Add(k + "=" + ReadString(section, k, ""));
}

std::vector<std::string> TRegistryIniFile::SectionNames() const
{
    std::vector<std::string> out;
    if (!OpenSection("", false)) return out;
    TStringList names;
    FReg->GetKeyNames(names);
    for (int i = 0; i < names.Count(); ++i) out.push_back(names[i]);
    return out;
}

std::vector<std::string> TRegistryIniFile::KeyNames(const std::string& section) const
{
    std::vector<std::string> out;
    if (!OpenSection(section, false)) return out;
    TStringList names;
    FReg->GetValueNames(names);
    for (int i = 0; i < names.Count(); ++i) out.push_back(names[i]);
    return out;
}

void TRegistryIniFile::EraseSection(const std::string& section)
{
    FReg->CloseKey();
    FReg->DeleteKey("\\" + CleanPath(FileName()) + "\\" + section);
}

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    if (OpenSection(section, true)) FReg->DeleteValue(ident);
}

void TRegistryIniFile::AddSection(const std::string& section)
{
    if (!OpenSection(section, true)) RegError("Failed to create key %s", section);
}
