#include "frxXML.h"

#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Variants.h"
#include "DateUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Deeper nesting than any layout holds is taken as a broken file, so that
// the recursive readers and writers above never run out of stack.
constexpr int MaxDepth = 1000;

// Position of name="..." in text, matched only at the start or after a
// blank; npos when absent.
size_t FindAttr(const std::string& text, const std::string& name)
{
    const std::string key = AnsiUpperCase(name) + "=\"";
    const std::string up = AnsiUpperCase(text);
    size_t from = 0;
    while (true) {
        size_t p = up.find(key, from);
        if (p == std::string::npos) return p;
        if (p == 0 || text[p - 1] == ' ') return p;
        from = p + 1;
    }
}

}  // namespace

void RaiseInvalidFileFormat() { throw EfrxInvalidFileFormat("Invalid file format"); }

// ---- escaping -----------------------------------------------------------------

namespace frxXML {

const char* const XMLHeader = "<?xml version=\"1.0\" encoding=\"GBK\"?>";

namespace {
constexpr uint32_t RawBase = 0xF780;

void AppendRaw(std::string& out, unsigned char b)
{
    uint32_t cp = RawBase + (b - 0x80);
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
}
}

std::string GbkToText(const std::string& gbk)
{
    if (IsValidGbk(gbk)) return GbkToUtf8(gbk);
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    size_t i = 0, runStart = 0;
    auto flush = [&](size_t end) {
        if (end > runStart) out += GbkToUtf8(gbk.substr(runStart, end - runStart));
    };
    while (i < gbk.size()) {
        unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 < gbk.size() && IsValidGbk(gbk.substr(i, 2))) {
            i += 2;
            continue;
        }
        flush(i);
        AppendRaw(out, b);
        ++i;
        runStart = i;
    }
    flush(i);
    return out;
}

std::string TextToGbk(const std::string& text)
{
    // U+F780..U+F7FF are EF 9E 80 .. EF 9F BF in UTF-8.
    size_t p = text.find('\xEF');
    bool any = false;
    while (p != std::string::npos && p + 2 < text.size()) {
        unsigned char b1 = static_cast<unsigned char>(text[p + 1]);
        if (b1 == 0x9E || b1 == 0x9F) {
            any = true;
            break;
        }
        p = text.find('\xEF', p + 1);
    }
    if (!any) return Utf8ToGbk(text);
    std::string out;
    size_t runStart = 0, i = 0;
    while (i < text.size()) {
        unsigned char b0 = static_cast<unsigned char>(text[i]);
        if (b0 == 0xEF && i + 2 < text.size()) {
            unsigned char b1 = static_cast<unsigned char>(text[i + 1]);
            unsigned char b2 = static_cast<unsigned char>(text[i + 2]);
            uint32_t cp = (uint32_t(b0 & 0x0F) << 12) | (uint32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
            if (cp >= RawBase && cp < RawBase + 0x80) {
                out += Utf8ToGbk(text.substr(runStart, i - runStart));
                out += char(0x80 + (cp - RawBase));
                i += 3;
                runStart = i;
                continue;
            }
        }
        ++i;
    }
    out += Utf8ToGbk(text.substr(runStart));
    return out;
}

std::string EncodeXMLText(const std::string& text)
{
    std::string r;
    r.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\n': r += "&#10;"; break;
        case '\r': r += "&#13;"; break;
        case '"': r += "&#34;"; break;
        case '&': r += "&#38;"; break;
        case '<': r += "&#60;"; break;
        case '>': r += "&#62;"; break;
        default: r += c;
        }
    }
    return r;
}

namespace {
// Replaces each reference by the byte it stands for; high tells whether one
// of them is above 127.
std::string DecodeReferences(const std::string& text, bool& high)
{
    std::string r;
    r.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&' && i + 2 < text.size() && text[i + 1] == '#') {
            size_t semi = text.find(';', i + 2);
            // A reference running to the end of the text is a cut-off file.
            if (semi == std::string::npos) RaiseInvalidFileFormat();
            int code = StrToInt(text.substr(i + 2, semi - i - 2));
            unsigned char b = static_cast<unsigned char>(code & 0xFF);
            if (b >= 0x80) high = true;
            r += char(b);
            i = semi + 1;
        } else {
            r += text[i++];
        }
    }
    return r;
}
}  // namespace

std::string DecodeXMLText(const std::string& text)
{
    if (text.find("&#") == std::string::npos) return text;
    bool high = false;
    std::string r = DecodeReferences(text, high);
    if (!high) return r;
    // The bytes above 127 are bytes of the 8-bit text: two of them may make
    // one character (&#214;&#208; is one GBK character), and one may pair
    // with the text around it, so they are decoded on the 8-bit form.
    return GbkToText(DecodeReferences(TextToGbk(text), high));
}

std::string VariantToXMLText(const Variant& value)
{
    switch (VarType(value) & varTypeMask) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64:
        return IntToStr(value.AsInt64());
    case varSingle:
    case varDouble:
    case varCurrency:
        return FloatToStr(value.AsDouble());
    case varDate:
        return DateToStr(value.AsDate());
    case varString:
    case varOleStr:
    case varStrArg:
        return EncodeXMLText(value.AsString());
    case varBoolean:
        return value.AsBoolean() ? "1" : "0";
    default:
        return std::string();
    }
}

}  // namespace frxXML

using namespace frxXML;

// ---- items ----------------------------------------------------------------------

TfrxXMLItem::~TfrxXMLItem()
{
    Clear();
    if (Parent) Parent->Detach(this);
}

void TfrxXMLItem::Detach(TfrxXMLItem* child)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [child](const auto& p) { return p.get() == child; });
    if (it == FItems.end()) return;
    it->release();   // the child is being freed by whoever freed it
    FItems.erase(it);
}

std::unique_ptr<TfrxXMLItem> TfrxXMLItem::Take(TfrxXMLItem* child)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [child](const auto& p) { return p.get() == child; });
    if (it == FItems.end()) return nullptr;
    std::unique_ptr<TfrxXMLItem> owned = std::move(*it);
    FItems.erase(it);
    owned->Parent = nullptr;
    return owned;
}

TfrxXMLItem* TfrxXMLItem::Add() { return AddItem(std::make_unique<TfrxXMLItem>()); }

TfrxXMLItem* TfrxXMLItem::AddItem(std::unique_ptr<TfrxXMLItem> item)
{
    TfrxXMLItem* raw = item.get();
    if (raw->Parent) raw->Parent->Detach(raw);
    raw->Parent = this;
    FItems.push_back(std::move(item));
    return raw;
}

void TfrxXMLItem::AddItem(TfrxXMLItem* item)
{
    std::unique_ptr<TfrxXMLItem> owned = item->Parent ? item->Parent->Take(item) : nullptr;
    if (!owned) throw EListError("An item without a parent is added by handing it over");
    AddItem(std::move(owned));
}

void TfrxXMLItem::InsertItem(int index, TfrxXMLItem* item)
{
    AddItem(item);
    if (index < 0) index = 0;
    if (index > int(FItems.size()) - 1) return;
    std::unique_ptr<TfrxXMLItem> last = std::move(FItems.back());
    FItems.pop_back();
    FItems.insert(FItems.begin() + index, std::move(last));
}

TfrxXMLItem* TfrxXMLItem::Items(int index) const
{
    if (index < 0 || index >= int(FItems.size()))
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[size_t(index)].get();
}

int TfrxXMLItem::Find(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FItems[size_t(i)]->Name, name)) return i;
    return -1;
}

TfrxXMLItem* TfrxXMLItem::FindItem(const std::string& name)
{
    int i = Find(name);
    if (i >= 0) return Items(i);
    TfrxXMLItem* item = Add();
    item->Name = name;
    return item;
}

int TfrxXMLItem::IndexOf(const TfrxXMLItem* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].get() == item) return i;
    return -1;
}

void TfrxXMLItem::Clear()
{
    std::vector<std::unique_ptr<TfrxXMLItem>> items = std::move(FItems);
    FItems.clear();
    for (auto& c : items) c->Parent = nullptr;
    items.clear();
    if (Deferred) ChildrenLoaded = false;
}

std::string TfrxXMLItem::GetAttribute(const std::string& name) const
{
    size_t p = FindAttr(Text, name);
    if (p == std::string::npos) return std::string();
    size_t start = p + name.size() + 2;
    size_t end = Text.find('"', start);
    if (end == std::string::npos) return std::string();
    return DecodeXMLText(Text.substr(start, end - start));
}

void TfrxXMLItem::SetAttribute(const std::string& name, const std::string& value)
{
    size_t at = Text.size();
    size_t p = FindAttr(Text, name);
    if (p != std::string::npos) {
        size_t end = Text.find('"', p + name.size() + 2);
        size_t stop = end == std::string::npos ? Text.size() : end + 1;
        Text.erase(p, stop - p);
        at = p;
    }
    std::string ins = name + "=\"" + EncodeXMLText(value) + "\"";
    if (at > 0 && Text[at - 1] != ' ') ins = " " + ins;
    Text.insert(at, ins);
}

// ---- reader ---------------------------------------------------------------------

TfrxXMLReader::TfrxXMLReader(TStream* stream) : FStream(stream), FBuffer(4096)
{
    FPosition = stream->Position();
    FSize = stream->Size();
}

TfrxXMLReader::~TfrxXMLReader()
{
    try {
        FStream->SetPosition(FPosition);
    } catch (...) {
    }
}

void TfrxXMLReader::SetPosition(int64_t pos)
{
    FStream->SetPosition(pos);
    FPosition = pos;
    FBufLen = FBufPos = 0;
}

bool TfrxXMLReader::ReadChar(char& c)
{
    if (FBufPos >= FBufLen) {
        if (FPosition >= FSize) return false;
        FBufLen = FStream->Read(FBuffer.data(), int(FBuffer.size()));
        FBufPos = 0;
        if (FBufLen <= 0) {
            FBufLen = 0;
            return false;
        }
    }
    c = FBuffer[size_t(FBufPos++)];
    ++FPosition;
    return true;
}

void TfrxXMLReader::ReadTag(std::string& name, std::string& text)
{
    name.clear();
    text.clear();
    std::string tag;
    int state = 1;   // 1 outside, 2 in a tag, 3 in a comment
    int dashes = 0;
    char c;
    bool done = false;
    while (!done && ReadChar(c)) {
        switch (state) {
        case 1:
            if (c == '<') state = 2;
            break;
        case 2:
            if (c == '>') {
                done = true;
            } else if (c == '<') {
                RaiseInvalidFileFormat();
            } else {
                tag += c;
                if (tag.size() == 3 && tag == "!--") {
                    tag.clear();
                    state = 3;
                    dashes = 0;
                }
            }
            break;
        case 3:
            if (dashes >= 2) {
                if (c == '>') state = 1;
            } else if (c == '-') {
                ++dashes;
            } else {
                dashes = 0;
            }
            break;
        }
    }
    if (!done && state == 2) RaiseInvalidFileFormat();
    if (!tag.empty() && tag.back() == ' ') tag.pop_back();
    // Bytes that are not UTF-8 in a file marked as UTF-8 are kept as the
    // GBK reading keeps stray bytes, so the text stays valid UTF-8.
    if (!FUtf8 || !IsValidUtf8(tag)) tag = GbkToText(tag);
    size_t sp = tag.find(' ');
    if (sp == std::string::npos) {
        name = tag;
    } else {
        name = tag.substr(0, sp);
        text = tag.substr(sp + 1);
    }
}

void TfrxXMLReader::ReadHeader()
{
    int64_t start = FPosition;
    char b0 = 0, b1 = 0, b2 = 0;
    FUtf8 = ReadChar(b0) && ReadChar(b1) && ReadChar(b2) && b0 == '\xEF' && b1 == '\xBB' && b2 == '\xBF';
    if (!FUtf8) SetPosition(start);
    std::string name, text;
    ReadTag(name, text);
    if (name.compare(0, 4, "?xml") != 0) RaiseInvalidFileFormat();
}

bool TfrxXMLReader::ReadItem(TfrxXMLItem* item, bool noPartial, int depth)
{
    if (depth > MaxDepth) RaiseInvalidFileFormat();
    int64_t p = FPosition;
    ReadTag(item->Name, item->Text);
    FLastName = item->Name;
    if (item->Name.empty() || item->Name[0] == '/') return false;
    if (item->Name.back() == '/') {
        item->Name.pop_back();
        return true;
    }
    if (!item->Text.empty() && item->Text.back() == '/') {
        item->Text.pop_back();
        return true;
    }
    while (true) {
        auto child = std::make_unique<TfrxXMLItem>();
        if (!ReadItem(child.get(), noPartial, depth + 1)) break;
        item->AddItem(std::move(child));
    }
    // An element still open at the end of the data is a cut-off file.
    if (FLastName.empty()) RaiseInvalidFileFormat();
    if (!AnsiSameText(FLastName, "/" + item->Name)) RaiseInvalidFileFormat();
    const std::string up = AnsiUpperCase(item->Text);
    size_t m = up.find("LD=\"0\"");
    if (m != std::string::npos) {
        item->Text.erase(m, 6);
        if (!item->Text.empty() && m > 0 && m == item->Text.size() && item->Text.back() == ' ')
            item->Text.pop_back();
        if (!noPartial) {
            item->Clear();
            item->SetOffset(p);
            item->Deferred = true;
            item->ChildrenLoaded = false;
            item->InSwapFile = false;
        }
    }
    return true;
}

void TfrxXMLReader::ReadRootItem(TfrxXMLItem* item, bool noPartial)
{
    FLastName.clear();
    if (!ReadItem(item, noPartial, 0)) RaiseInvalidFileFormat();
}

bool TfrxXMLReader::ReadOneItem(TfrxXMLItem* item)
{
    std::string name, text;
    ReadTag(name, text);
    if (name.empty()) return false;
    if (name.back() == '/') name.pop_back();
    if (!text.empty() && text.back() == '/') text.pop_back();
    item->Name = name;
    item->Text = text;
    return true;
}

// ---- writer ---------------------------------------------------------------------

TfrxXMLWriter::TfrxXMLWriter(TStream* stream) : FStream(stream) {}

TfrxXMLWriter::~TfrxXMLWriter() = default;

void TfrxXMLWriter::Flush()
{
    if (FBuffer.empty()) return;
    std::string bytes = TextToGbk(FBuffer);
    FBuffer.clear();
    FStream->WriteBuffer(bytes.data(), int(bytes.size()));
}

void TfrxXMLWriter::WriteLn(const std::string& s)
{
    FBuffer += s;
    if (AutoIndent) FBuffer += "\r\n";
    if (FBuffer.size() > 4096) Flush();
}

void TfrxXMLWriter::WriteHeader() { WriteLn(XMLHeader); }

void TfrxXMLWriter::WriteItem(TfrxXMLItem* item, int depth)
{
    bool reload = item->Deferred && !item->ChildrenLoaded && Document;
    if (reload) Document->LoadItem(item);
    std::string indent = AutoIndent ? std::string(size_t(depth) * 2, ' ') : std::string();
    std::string s = indent + "<" + item->Name;
    if (!item->Text.empty() || item->Deferred) {
        if (item->Text.empty() || item->Text[0] != ' ') s += ' ';
        s += item->Text;
        if (item->Deferred) s += " ld=\"0\"";
    }
    if (item->Count() == 0) {
        WriteLn(s + "/>");
    } else {
        WriteLn(s + ">");
        for (int i = 0; i < item->Count(); ++i) WriteItem(item->Items(i), depth + 1);
        WriteLn(indent + "</" + item->Name + ">");
    }
    if (reload) item->Clear();
}

void TfrxXMLWriter::WriteRootItem(TfrxXMLItem* item)
{
    WriteItem(item, 0);
    Flush();
}

// ---- document -------------------------------------------------------------------

TfrxXMLDocument::TfrxXMLDocument() : FRoot(std::make_unique<TfrxXMLItem>()) {}

TfrxXMLDocument::~TfrxXMLDocument()
{
    try {
        Clear();
    } catch (...) {
    }
}

void TfrxXMLDocument::DropStreams()
{
    if (FSwapStream) {
        FSwapStream.reset();
        DeleteFile(FSwapName);
        FSwapName.clear();
    }
    FLoadStream.reset();
}

void TfrxXMLDocument::Clear()
{
    FRoot->Clear();
    DropStreams();
}

void TfrxXMLDocument::LoadFromStream(TStream* stream, bool allowPartialLoading)
{
    std::unique_ptr<TStream> owned(allowPartialLoading ? stream : nullptr);
    FRoot->Clear();
    FRoot->Name.clear();
    FRoot->Text.clear();
    DropStreams();
    {
        TfrxXMLReader reader(stream);
        reader.ReadHeader();
        FLoadUtf8 = reader.Utf8();
        reader.ReadRootItem(FRoot.get(), !allowPartialLoading);
    }
    FLoadStream = std::move(owned);
}

void TfrxXMLDocument::SaveToStream(TStream* stream)
{
    TfrxXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.Document = this;
    writer.WriteHeader();
    writer.WriteRootItem(FRoot.get());
}

TStream* TfrxXMLDocument::StreamOf(const TfrxXMLItem* item) const
{
    return item->InSwapFile ? FSwapStream.get() : FLoadStream.get();
}

void TfrxXMLDocument::LoadItem(TfrxXMLItem* item)
{
    TStream* s = StreamOf(item);
    if (!s || !item->Deferred || item->ChildrenLoaded) return;
    std::string text = item->Text;
    {
        TfrxXMLReader reader(s);
        // The swap file is written as GBK whatever the loaded file was.
        reader.SetUtf8(FLoadUtf8 && !item->InSwapFile);
        reader.SetPosition(item->Offset());
        reader.ReadRootItem(item, true);
    }
    item->Text = text;
    item->ChildrenLoaded = true;
}

void TfrxXMLDocument::CreateSwap()
{
    if (FSwapStream) return;
    std::string dir = TempDir.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(TempDir.substr(0, 64));
    std::string templ = SetDirSeparators(dir) + "frXXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    int fd = mkstemp(buf.data());
    if (fd < 0) throw EFCreateError("Cannot create file \"" + templ + "\"");
    close(fd);
    FSwapName = buf.data();
    FSwapStream = std::make_unique<TFileStream>(FSwapName, fmOpenReadWrite);
}

void TfrxXMLDocument::UnloadItem(TfrxXMLItem* item)
{
    if (!item->ChildrenLoaded || !item->Deferred) return;
    CreateSwap();
    int64_t offset = FSwapStream->Size();
    FSwapStream->SetPosition(offset);
    {
        TfrxXMLWriter writer(FSwapStream.get());
        writer.AutoIndent = false;
        bool deferred = item->Deferred;
        item->Deferred = false;   // the swapped copy carries no marker
        try {
            writer.WriteRootItem(item);
        } catch (...) {
            item->Deferred = deferred;
            throw;
        }
        item->Deferred = deferred;
    }
    item->SetOffset(offset);
    item->InSwapFile = true;
    item->Clear();
}
