#include "frxUtils.h"

#include "frxClass.h"
#include "frxFiler.h"
#include "frxRes.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"
#include "frxrcExports.h"

#include "HostServices.h"
#include "Lists.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"
#include "Variants.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace frxUtils {

TfrxRect MakeRect(double left, double top, double right, double bottom)
{
    return {left, top, right, bottom};
}

TfrxPoint MakePoint(double x, double y) { return {x, y}; }

TComponent* FindComponentByPath(TComponent* root, const std::string& path)
{
    if (!root || path.empty()) return nullptr;
    try {
        std::vector<std::string> parts = SplitBySeparator(path, '.');
        for (auto& p : parts) p = p.substr(0, 255);
        if (parts.size() == 1) {
            TComponent* c = root->FindComponent(parts[0]);
            if (!c && root->Is<TfrxReport>() && root->Owner())
                c = root->Owner()->FindComponent(parts[0]);
            return c;
        }
        // A.B: A is found beside the root (its owner's component) or is the
        // root itself; deeper paths walk owned components.
        TComponent* c = nullptr;
        TComponent* owner = root->Owner();
        if (SameText(root->Name(), parts[0]))
            c = root;
        else if (owner && SameText(owner->Name(), parts[0]))
            c = owner;
        else if (owner)
            c = owner->FindComponent(parts[0]);
        if (!c) c = root->FindComponent(parts[0]);
        for (size_t i = 1; c && i < parts.size(); ++i) c = c->FindComponent(parts[i]);
        return c;
    } catch (const std::exception&) {
        throw EClassNotFound("Missing " + path);
    }
}

std::string GetReferenceName(TComponent* report, TComponent* component)
{
    if (!component) return std::string();
    TComponent* owner = component->Owner();
    if (!owner || owner == report || (report && owner == report->Owner())) return component->Name();
    return std::string();
}

void ListComponentsOfClass(TComponent* report, TClass c, TStrings* list, TComponent* excluded)
{
    list->Clear();
    if (!report) return;
    for (TComponent* owner : {report, report->Owner()}) {
        if (!owner) continue;
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* comp = owner->Components(i);
            if (comp == excluded || !comp->InheritsFrom(c)) continue;
            list->AddObject(GetReferenceName(report, comp), comp);
        }
    }
}

std::string ExtractUntil(const std::string& text, int& pos, char separator)
{
    if (pos < 1) pos = 1;
    size_t start = size_t(pos - 1);
    if (start >= text.size()) {
        pos = int(text.size()) + 1;
        return std::string();
    }
    size_t p = text.find(separator, start);
    if (p == std::string::npos) {
        pos = int(text.size()) + 1;
        return text.substr(start);
    }
    pos = int(p) + 2;
    return text.substr(start, p - start);
}

std::vector<std::string> SplitBySeparator(const std::string& text, char separator)
{
    std::vector<std::string> r;
    size_t start = 0;
    while (start < text.size()) {
        size_t p = text.find(separator, start);
        if (p == std::string::npos) {
            r.push_back(text.substr(start));
            break;
        }
        r.push_back(text.substr(start, p - start));
        start = p + 1;
    }
    return r;
}

void SplitBySeparator(const std::string& text, TStrings* list, char separator)
{
    list->Clear();
    for (const auto& s : SplitBySeparator(text, separator)) list->Add(s);
}

std::string BytesToHexText(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string r;
    r.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        r += digits[c >> 4];
        r += digits[c & 15];
    }
    return r;
}

std::string StreamToHexText(TStream* stream)
{
    int64_t n = stream->Size();
    std::string b(size_t(n), '\0');
    stream->SetPosition(0);
    if (n > 0) stream->ReadBuffer(b.data(), int(n));
    return BytesToHexText(b);
}

namespace {
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}

std::string HexTextToBytes(const std::string& text)
{
    std::string r;
    r.reserve(text.size() / 2);
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        int h = HexDigit(text[i]), l = HexDigit(text[i + 1]);
        if (h < 0 || l < 0) break;
        r += char(h * 16 + l);
    }
    return r;
}

void HexTextToStream(const std::string& text, TStream* stream)
{
    std::string b = HexTextToBytes(text);
    stream->SetPosition(0);
    if (!b.empty()) stream->WriteBuffer(b.data(), int(b.size()));
}

double StrToFloatAnySeparator(const std::string& text)
{
    std::string s;
    for (char c : text) {
        if (c == ' ') continue;
        s += (c == ',' || c == '.') ? FormatSettings.DecimalSeparator : c;
    }
    return StrToFloat(s);
}

std::string FloatToTextTwoDecimals(double value)
{
    if (Frac(value) != 0) return Format("%2.2f", {value});
    return FloatToStr(value);
}

std::string ExtractBracketedExpression(const std::string& text, const std::string& open,
                                       const std::string& close, int& startPos, int& endPos)
{
    endPos = startPos;
    const int len = int(text.size());
    if (text.empty() || len < startPos || startPos < 1 || open.empty() || close.empty())
        return std::string();
    int depth = 0;
    bool dq = false, sq = false, found = false;
    int i = startPos;
    int stop = len;
    while (i <= len) {
        unsigned char c = static_cast<unsigned char>(text[size_t(i - 1)]);
        int adv = 1;
        if (c >= 0x80) {
            // A character of more than one byte is never a delimiter or quote.
            while (i - 1 + adv < len &&
                   (static_cast<unsigned char>(text[size_t(i - 1 + adv)]) & 0xC0) == 0x80)
                ++adv;
        } else {
            if (!dq && !sq) {
                if (text.compare(size_t(i - 1), open.size(), open) == 0) {
                    if (depth == 0) startPos = i;
                    ++depth;
                } else if (text.compare(size_t(i - 1), close.size(), close) == 0) {
                    --depth;
                }
            }
            if (c == '"' && !sq)
                dq = !dq;
            else if (c == '\'' && !dq)
                sq = !sq;
        }
        if (depth == 0) {
            stop = i;
            found = true;
            break;
        }
        i += adv;
    }
    if (!found) {
        int from = startPos + int(open.size());
        endPos = len;
        return from <= len ? text.substr(size_t(from - 1), size_t(len - from)) : std::string();
    }
    int from = startPos + int(open.size());
    std::string r = stop > from ? text.substr(size_t(from - 1), size_t(stop - from)) : std::string();
    bool matched = stop > startPos;
    endPos = matched ? stop + int(close.size()) - 1 : stop;
    return r;
}

std::vector<int> ParsePageNumbers(const std::string& text, int lastPage)
{
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    std::vector<int> r;
    if (s.empty()) return r;
    if (s.back() == '-') s += IntToStr(lastPage);
    for (const auto& item : SplitBySeparator(s, ',')) {
        if (item.empty()) continue;
        size_t dash = item.find('-', 1);
        if (dash == std::string::npos) {
            r.push_back(StrToInt(item));
        } else {
            // A range is cut to the pages there are before it is expanded, so
            // "1-100000000" costs no more than the report's page count.
            int a = std::max(1, StrToInt(item.substr(0, dash)));
            int b = std::min(StrToInt(item.substr(dash + 1)), std::max(lastPage, 0));
            for (int n = a; n <= b; ++n) r.push_back(n);
        }
    }
    return r;
}

namespace {

// A page number of at most nine digits, 1 or above; false for anything else.
bool ReadPageNumber(const std::string& s, int& n)
{
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    n = std::atoi(s.c_str());
    return n >= 1;
}

}  // namespace

bool OpensInBrowser(const std::string& url)
{
    for (unsigned char c : url)
        if (c <= ' ' || c == 0x7F) return false;
    const std::string lower = LowerCase(url);
    for (const char* scheme : {"http://", "https://", "mailto:"}) {
        const size_t n = std::strlen(scheme);
        if (lower.size() > n && lower.compare(0, n, scheme) == 0) return true;
    }
    return false;
}

bool ValidPageNumbers(const std::string& text)
{
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    const std::vector<std::string> items = SplitBySeparator(s, ',');
    for (size_t k = 0; k < items.size(); ++k) {
        const std::string& item = items[k];
        if (item.empty()) continue;
        size_t dash = item.find('-');
        int a = 0, b = 0;
        if (dash == std::string::npos) {
            if (!ReadPageNumber(item, a)) return false;
            continue;
        }
        if (!ReadPageNumber(item.substr(0, dash), a)) return false;
        std::string rest = item.substr(dash + 1);
        // "5-" runs to the last page, and only at the end of the text.
        if (rest.empty()) {
            if (k + 1 != items.size()) return false;
            continue;
        }
        if (!ReadPageNumber(rest, b) || b < a) return false;
    }
    return true;
}

std::vector<int> SelectedPages(const std::string& text, int pageCount)
{
    std::vector<int> r;
    if (Trim(text).empty()) {
        for (int n = 1; n <= pageCount; ++n) r.push_back(n);
        return r;
    }
    frxrcExports::Initialize();
    const TfrxResources& res = frxRes::Resources();
    if (!ValidPageNumbers(text)) throw Exception(Format(res.Get("ExportBadPages"), {text}));
    for (int n : ParsePageNumbers(text, pageCount))
        if (n >= 1 && n <= pageCount) r.push_back(n);
    if (r.empty()) throw Exception(Format(res.Get("ExportNoPages"), {text, pageCount}));
    return r;
}

void WriteCollection(TCollection* collection, TfrxBinaryWriter& writer, TComponent* owner)
{
    writer.WriteListBegin();
    TfrxXMLSerializer ser(nullptr);
    ser.Owner = owner;
    for (int i = 0; i < collection->Count(); ++i) {
        writer.WriteListBegin();
        // Each attribute with its blank before it, the first one too.
        writer.WriteLString(ser.WriteProperties(collection->Items(i)));
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

namespace {

// Strings of older layouts keep characters above 127 as a byte 1 followed
// by the character's code less 128.
std::string DecodeSevenBit(const std::string& s)
{
    std::string gbk;
    std::string raw = frxXML::TextToGbk(s);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == 1 && i + 1 < raw.size())
            gbk += char(uint8_t(raw[++i]) + 128);
        else
            gbk += raw[i];
    }
    return frxXML::GbkToText(gbk);
}

void ReadStandardProperty(TfrxBinaryReader& r, TObject* obj, const std::string& path)
{
    TObject* target = obj;
    std::vector<std::string> parts = SplitBySeparator(path, '.');
    for (size_t i = 0; target && i + 1 < parts.size(); ++i) {
        PPropInfo pi = GetPropInfo(target, parts[i]);
        target = pi && pi->Kind == tkClass ? GetObjectProp(target, pi) : nullptr;
    }
    PPropInfo info = target && !parts.empty() ? GetPropInfo(target, parts.back()) : nullptr;
    if (!info || !info->IsWritable()) {
        r.SkipValue();
        return;
    }
    switch (info->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkInt64: SetOrdProp(target, info, r.ReadInteger()); break;
    case tkEnumeration: {
        TfrxValueType t = r.NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32)
            SetOrdProp(target, info, r.ReadInteger());
        else
            SetEnumProp(target, info, r.ReadIdent());
        break;
    }
    case tkSet: {
        int64_t bits = 0;
        for (const auto& n : r.ReadSet()) {
            int v = info->TypeInfo ? GetEnumValue(info->TypeInfo, n) : -1;
            if (v >= 0) bits |= int64_t(1) << v;
        }
        SetOrdProp(target, info, bits);
        break;
    }
    case tkFloat: SetFloatProp(target, info, r.ReadFloat()); break;
    case tkString:
    case tkLString:
    case tkWString: SetStrProp(target, info, DecodeSevenBit(r.ReadString())); break;
    case tkVariant: {
        TfrxValueType t = r.NextValue();
        if (t == vaString || t == vaLString || t == vaWString || t == vaUTF8String)
            SetVariantProp(target, info, Variant(DecodeSevenBit(r.ReadString())));
        else if (t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64)
            SetVariantProp(target, info, Variant(r.ReadInteger()));
        else if (t == vaExtended || t == vaDouble || t == vaSingle)
            SetVariantProp(target, info, Variant(r.ReadFloat()));
        else if (t == vaTrue || t == vaFalse)
            SetVariantProp(target, info, Variant(r.ReadIdent() == "True"));
        else {
            r.SkipValue();
            SetVariantProp(target, info, Null());
        }
        break;
    }
    default: r.SkipValue();
    }
}

}  // namespace

void ReadCollection(TCollection* collection, TfrxBinaryReader& reader, TComponent* owner)
{
    if (reader.NextValue() == vaCollection) {
        reader.ReadValue();
        collection->Clear();
        while (!reader.EndOfList()) {
            TfrxValueType t = reader.NextValue();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32) reader.ReadInteger();
            TCollectionItem* item = collection->Add();
            reader.ReadListBegin();
            while (!reader.EndOfList()) {
                std::string name = reader.ReadPropName();
                ReadStandardProperty(reader, item, name);
            }
            reader.ReadListEnd();
        }
        reader.ReadListEnd();
        return;
    }
    collection->Clear();
    reader.ReadListBegin();
    auto* report = DynamicCast<TfrxReport>(owner);
    TfrxXMLSerializer* active = report ? report->ActiveSerializer() : nullptr;
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        TCollectionItem* item = collection->Add();
        while (!reader.EndOfList()) {
            std::string text = reader.ReadString();
            if (active) {
                active->ReadProperties(text, item);
            } else {
                TfrxXMLSerializer ser(nullptr);
                ser.Owner = owner;
                ser.ReadCollectionItem(owner, item, text);
            }
        }
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

std::string TempFileName(const std::string& folder)
{
    std::string dir = folder.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(folder);
    std::string templ = (SetDirSeparators(dir) + "frXXXXXX").substr(0, 255);
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    int fd = mkstemp(buf.data());
    if (fd < 0) throw EFCreateError("Cannot create file \"" + templ + "\"");
    close(fd);
    return buf.data();
}

void SaveToFileWhole(TStream* stream, const std::string& fileName)
{
    ::SaveFileWhole(fileName, [&](TStream* f) {
        stream->SetPosition(0);
        f->CopyFrom(stream, 0);
    });
}

void ShowErrorBox(const std::string& text)
{
    MessageBox(text, frxRes::Resources().Get("mbError"), MB_ICONERROR | MB_OK);
}

}  // namespace frxUtils
