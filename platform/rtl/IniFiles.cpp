#include "IniFiles.h"

#include "Exceptions.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QZ_CLASS_IMPL(TCustomIniFile, TObject)
QZ_CLASS_IMPL(TIniFile, TCustomIniFile)
QZ_CLASS_IMPL(TMemIniFile, TCustomIniFile)

// One line of a section as it stands in the file (GBK bytes). Key lines
// also carry the parsed key and value; changing a value rewrites Raw.
struct TIniLine {
    std::string Raw;
    bool IsKey = false;
    std::string Key;     // trimmed
    std::string Value;   // exactly as after the first '='
};

struct TIniSection {
    std::string Header;  // the "[name]" line as written
    std::string Name;    // trimmed
    std::vector<TIniLine> Lines;
};

struct TIniDocument {
    std::vector<std::string> Preamble;   // lines before the first section
    std::vector<TIniSection> Sections;
};

namespace {

std::string TrimBytes(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

// Names compare with ASCII letters folded. Bytes are GBK: a trail byte
// (which may look like a letter) is compared as it is.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 0x81 && x <= 0xFE && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

// Position of an ASCII character in GBK bytes, skipping two-byte characters:
// their second byte may be ']' or '[' (as in "盷", B1 5D).
size_t FindAscii(std::string_view s, char c)
{
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char b = s[i];
        if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) { ++i; continue; }
        if (s[i] == c) return i;
    }
    return std::string_view::npos;
}

void Parse(const std::string& bytes, TIniDocument& doc)
{
    doc = TIniDocument();
    TIniSection* cur = nullptr;
    size_t i = 0, n = bytes.size();
    while (i < n) {
        size_t e = i;
        while (e < n && bytes[e] != '\r' && bytes[e] != '\n') ++e;
        std::string line = bytes.substr(i, e - i);
        if (e < n && bytes[e] == '\r' && e + 1 < n && bytes[e + 1] == '\n') i = e + 2;
        else i = e + 1;

        std::string t = TrimBytes(line);
        if (!t.empty() && t[0] == '[') {
            size_t close = FindAscii(t, ']');
            TIniSection sec;
            sec.Header = line;
            // A header without ']' still names a section, up to the line end.
            sec.Name = TrimBytes(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
            doc.Sections.push_back(std::move(sec));
            cur = &doc.Sections.back();
            continue;
        }
        TIniLine l;
        l.Raw = line;
        if (!t.empty() && t[0] != ';') {
            size_t eq = FindAscii(line, '=');
            if (eq != std::string::npos) {
                l.IsKey = true;
                l.Key = TrimBytes(std::string_view(line).substr(0, eq));
                l.Value = line.substr(eq + 1);
            }
        }
        if (cur) cur->Lines.push_back(std::move(l));
        else doc.Preamble.push_back(std::move(l.Raw));
    }
}

std::string Serialize(const TIniDocument& doc)
{
    std::string out;
    for (const auto& l : doc.Preamble) { out += l; out += "\r\n"; }
    for (const auto& s : doc.Sections) {
        out += s.Header;
        out += "\r\n";
        for (const auto& l : s.Lines) { out += l.Raw; out += "\r\n"; }
    }
    return out;
}

TIniSection* FindSection(TIniDocument& doc, std::string_view name)
{
    for (auto& s : doc.Sections)
        if (SameName(s.Name, name)) return &s;
    return nullptr;
}

TIniLine* FindKey(TIniSection* sec, std::string_view key)
{
    if (!sec) return nullptr;
    for (auto& l : sec->Lines)
        if (l.IsKey && SameName(l.Key, key)) return &l;
    return nullptr;
}

[[noreturn]] void Fail(const std::string& msg) { throw EIniFileException(msg); }

std::string SectionBytes(const std::string& section)
{
    std::string s = TrimBytes(Utf8ToGbk(section));
    return s;
}

std::string KeyBytes(const std::string& ident) { return TrimBytes(Utf8ToGbk(ident)); }

bool HasLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void CheckSectionName(const std::string& sec)
{
    if (sec.empty() || HasLineBreakOrNul(sec) || FindAscii(sec, ']') != std::string::npos)
        Fail("Invalid section name '" + GbkToUtf8(sec) + "'");
}

void CheckKeyName(const std::string& key)
{
    if (key.empty() || HasLineBreakOrNul(key) || FindAscii(key, '=') != std::string::npos || key[0] == ';' ||
        key[0] == '[')
        Fail("Invalid key name '" + GbkToUtf8(key) + "'");
}

// Blanks around the value are the file's layout, not part of the number.
bool ParseInt(const std::string& s, int& out)
{
    return TryStrToInt(TrimBytes(s), out);
}

bool StatFile(const std::string& name, int64_t& stamp, int64_t& size, int64_t& ino)
{
    struct stat st;
    if (stat(SetDirSeparators(name).c_str(), &st) != 0) return false;
    stamp = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    size = st.st_size;
    ino = int64_t(st.st_ino);
    return true;
}

// Adds name (GBK bytes) to out as UTF-8 unless a name equal to it under
// SameName is already there; raw keeps the bytes already taken.
void AddDistinctName(std::vector<std::string>& raw, std::vector<std::string>& out, const std::string& name)
{
    for (const auto& r : raw)
        if (SameName(r, name)) return;
    raw.push_back(name);
    out.push_back(GbkToUtf8(name));
}

} // namespace

// ---- TCustomIniFile ---------------------------------------------------------------

TCustomIniFile::TCustomIniFile(std::string fileName)
    : FFileName(std::move(fileName)), FDoc(std::make_unique<TIniDocument>())
{
}

TCustomIniFile::~TCustomIniFile() = default;

void TCustomIniFile::LoadFromDisk() const
{
    std::string bytes;
    if (FILE* f = fopen(SetDirSeparators(FFileName).c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        fclose(f);
    }
    Parse(bytes, *FDoc);
}

void TCustomIniFile::SaveToDisk() const
{
    try {
        SaveFileWhole(SetDirSeparators(FFileName), Serialize(*FDoc));
    } catch (const Exception&) {
        Fail("Unable to write to " + FFileName);
    }
}

std::string TCustomIniFile::ReadStringRaw(const std::string& section, const std::string& ident,
                                          const std::string& def) const
{
    BeforeRead();
    TIniLine* l = FindKey(FindSection(*FDoc, SectionBytes(section)), KeyBytes(ident));
    return l ? l->Value : def;
}

void TCustomIniFile::WriteStringRaw(const std::string& section, const std::string& ident,
                                    const std::string& bytes)
{
    std::string sec = SectionBytes(section), key = KeyBytes(ident);
    CheckSectionName(sec);
    CheckKeyName(key);
    if (HasLineBreakOrNul(bytes))
        Fail("Value of '" + ident + "' holds a line break or a NUL and cannot be stored");
    BeforeRead();
    TIniSection* s = FindSection(*FDoc, sec);
    if (!s) {
        TIniSection ns;
        ns.Header = "[" + sec + "]";
        ns.Name = sec;
        FDoc->Sections.push_back(std::move(ns));
        s = &FDoc->Sections.back();
    }
    if (TIniLine* l = FindKey(s, key)) {
        // Keep the key as it was written (spacing, case); replace the value.
        size_t eq = FindAscii(l->Raw, '=');
        l->Raw = l->Raw.substr(0, eq + 1) + bytes;
        l->Value = bytes;
    } else {
        TIniLine nl;
        nl.IsKey = true;
        nl.Key = key;
        nl.Value = bytes;
        nl.Raw = key + "=" + bytes;
        // After the last non-blank line of the section, so blank lines that
        // separate sections stay between them.
        size_t at = s->Lines.size();
        while (at > 0 && TrimBytes(s->Lines[at - 1].Raw).empty()) --at;
        s->Lines.insert(s->Lines.begin() + at, std::move(nl));
    }
    AfterWrite();
}

std::string TCustomIniFile::ReadString(const std::string& section, const std::string& ident,
                                       const std::string& def) const
{
    BeforeRead();
    TIniLine* l = FindKey(FindSection(*FDoc, SectionBytes(section)), KeyBytes(ident));
    return l ? GbkToUtf8(l->Value) : def;
}

void TCustomIniFile::WriteString(const std::string& section, const std::string& ident,
                                 const std::string& value)
{
    WriteStringRaw(section, ident, Utf8ToGbk(value));
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const
{
    int v;
    return ParseInt(ReadStringRaw(section, ident, ""), v) ? v : def;
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteStringRaw(section, ident, std::to_string(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteInteger(section, ident, value ? 1 : 0);
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) const
{
    std::string s = ReadString(section, ident, "");
    return s.empty() ? def : StrToFloatDef(s, def);
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value)
{
    WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const std::string& section, const std::string& ident, TDateTime def) const
{
    std::string s = ReadString(section, ident, "");
    return s.empty() ? def : StrToDateDef(s, def);
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& section, const std::string& ident, TDateTime def) const
{
    std::string s = ReadString(section, ident, "");
    return s.empty() ? def : StrToDateTimeDef(s, def);
}

TDateTime TCustomIniFile::ReadTime(const std::string& section, const std::string& ident, TDateTime def) const
{
    std::string s = ReadString(section, ident, "");
    return s.empty() ? def : StrToTimeDef(s, def);
}

void TCustomIniFile::WriteDate(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, DateToStr(value));
}

void TCustomIniFile::WriteDateTime(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, DateTimeToStr(value));
}

void TCustomIniFile::WriteTime(const std::string& section, const std::string& ident, TDateTime value)
{
    WriteString(section, ident, TimeToStr(value));
}

bool TCustomIniFile::SectionExists(const std::string& section) const
{
    BeforeRead();
    return FindSection(*FDoc, SectionBytes(section)) != nullptr;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    BeforeRead();
    return FindKey(FindSection(*FDoc, SectionBytes(section)), KeyBytes(ident)) != nullptr;
}

std::vector<std::string> TCustomIniFile::KeyNames(const std::string& section) const
{
    BeforeRead();
    std::vector<std::string> raw, out;
    if (TIniSection* s = FindSection(*FDoc, SectionBytes(section)))
        for (const auto& l : s->Lines)
            if (l.IsKey) AddDistinctName(raw, out, l.Key);
    return out;
}

std::vector<std::string> TCustomIniFile::SectionNames() const
{
    BeforeRead();
    std::vector<std::string> raw, out;
    for (const auto& s : FDoc->Sections) AddDistinctName(raw, out, s.Name);
    return out;
}

void TCustomIniFile::ReadSection(const std::string& section, TStrings& strings) const
{
    strings.Clear();
    for (const auto& k : KeyNames(section)) strings.Add(k);
}

void TCustomIniFile::ReadSections(TStrings& strings) const
{
    strings.Clear();
    for (const auto& s : SectionNames()) strings.Add(s);
}

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings& strings) const
{
    BeforeRead();
    strings.Clear();
    if (TIniSection* s = FindSection(*FDoc, SectionBytes(section)))
        for (const auto& l : s->Lines)
            if (l.IsKey) strings.Add(GbkToUtf8(l.Key) + "=" + GbkToUtf8(l.Value));
}

void TCustomIniFile::EraseSection(const std::string& section)
{
    BeforeRead();
    std::string name = SectionBytes(section);
    bool changed = false;
    // Every copy of a duplicated section goes, or the next would surface.
    for (size_t i = FDoc->Sections.size(); i-- > 0;)
        if (SameName(FDoc->Sections[i].Name, name)) {
            FDoc->Sections.erase(FDoc->Sections.begin() + i);
            changed = true;
        }
    if (changed) AfterWrite();
}

void TCustomIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    BeforeRead();
    TIniSection* s = FindSection(*FDoc, SectionBytes(section));
    if (!s) return;
    std::string key = KeyBytes(ident);
    bool changed = false;
    for (size_t i = s->Lines.size(); i-- > 0;)
        if (s->Lines[i].IsKey && SameName(s->Lines[i].Key, key)) {
            s->Lines.erase(s->Lines.begin() + i);
            changed = true;
        }
    if (changed) AfterWrite();
}

void TCustomIniFile::AddSection(const std::string& section)
{
    std::string sec = SectionBytes(section);
    CheckSectionName(sec);
    BeforeRead();
    if (FindSection(*FDoc, sec)) return;
    TIniSection ns;
    ns.Header = "[" + sec + "]";
    ns.Name = sec;
    FDoc->Sections.push_back(std::move(ns));
    AfterWrite();
}

// ---- TIniFile ---------------------------------------------------------------------

TIniFile::TIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {}

void TIniFile::BeforeRead() const
{
    int64_t stamp = -1, size = -1, ino = -1;
    StatFile(FileName(), stamp, size, ino);
    if (stamp == FStamp && size == FSize && ino == FIno) return;
    LoadFromDisk();
    FStamp = stamp;
    FSize = size;
    FIno = ino;
}

void TIniFile::AfterWrite()
{
    try {
        SaveToDisk();
    } catch (const EIniFileException&) {
        // The change did not reach the file: forget it, so that reads keep
        // telling what the file holds.
        FStamp = FSize = FIno = -2;
        throw;
    }
    StatFile(FileName(), FStamp, FSize, FIno);
}

// ---- TMemIniFile ------------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName))
{
    LoadFromDisk();
}

void TMemIniFile::UpdateFile() { SaveToDisk(); }

void TMemIniFile::GetStrings(TStrings& list) const
{
    list.Clear();
    for (const auto& l : Doc().Preamble) list.Add(GbkToUtf8(l));
    for (const auto& s : Doc().Sections) {
        list.Add(GbkToUtf8(s.Header));
        for (const auto& l : s.Lines) list.Add(GbkToUtf8(l.Raw));
    }
}

void TMemIniFile::SetStrings(const TStrings& list)
{
    std::string bytes;
    for (int i = 0; i < list.Count(); ++i) {
        bytes += Utf8ToGbk(list.Strings(i));
        bytes += "\r\n";
    }
    Parse(bytes, Doc());
}

void TMemIniFile::Clear() { Doc() = TIniDocument(); }

void TMemIniFile::Rename(const std::string& fileName, bool reload)
{
    SetFileName(fileName);
    if (reload) LoadFromDisk();
}
