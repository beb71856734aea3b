#include "fs_xml.h"

#include "Exceptions.h"
#include "Streams.h"
#include "fs_common.h"

#include <algorithm>
#include <cstring>

using namespace fs_common;

QZ_CLASS_IMPL(TfsXMLItem, TObject)
QZ_CLASS_IMPL(TfsXMLDocument, TObject)

// ---- TfsXMLItem ---------------------------------------------------------------

TfsXMLItem::~TfsXMLItem()
{
    Clear();
    // A child freed on its own leaves its parent's list; the parent lets go
    // of it without freeing it again.
    if (FParent) FParent->Take(this).release();
}

std::unique_ptr<TfsXMLItem> TfsXMLItem::Take(TfsXMLItem* child)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& p) { return p.get() == child; });
    if (it == FItems.end()) return nullptr;
    std::unique_ptr<TfsXMLItem> owned = std::move(*it);
    FItems.erase(it);
    owned->FParent = nullptr;
    return owned;
}

TfsXMLItem* TfsXMLItem::Add() { return AddItem(std::make_unique<TfsXMLItem>()); }

TfsXMLItem* TfsXMLItem::AddItem(std::unique_ptr<TfsXMLItem> item)
{
    if (!item) return nullptr;
    item->FParent = this;
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

void TfsXMLItem::AddItem(TfsXMLItem* item)
{
    if (!item) return;
    // An item may not become its own descendant: the tree would own itself.
    for (TfsXMLItem* p = this; p; p = p->FParent)
        if (p == item) throw Exception("Cannot add an item to its own subtree");
    AddItem(item->FParent ? item->FParent->Take(item) : std::unique_ptr<TfsXMLItem>(item));
}

void TfsXMLItem::InsertItem(int index, TfsXMLItem* item)
{
    AddItem(item);
    if (!item) return;
    int n = Count();
    if (index < 0) index = 0;
    if (index > n - 1) index = n - 1;
    std::unique_ptr<TfsXMLItem> last = std::move(FItems.back());
    FItems.pop_back();
    FItems.insert(FItems.begin() + index, std::move(last));
}

int TfsXMLItem::Find(const std::string& name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameName(FItems[i]->FName, name)) return int(i);
    return -1;
}

TfsXMLItem* TfsXMLItem::FindItem(const std::string& name)
{
    int i = Find(name);
    if (i >= 0) return FItems[i].get();
    TfsXMLItem* item = Add();
    item->FName = name;
    return item;
}

TfsXMLItem* TfsXMLItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[index].get();
}

std::string TfsXMLItem::Prop(const std::string& name) const
{
    // Upper-casing folds ASCII only, so offsets in the folded text are those
    // of the original one.
    std::string hay = " " + Upper(FText);
    std::string needle = " " + Upper(name) + "=\"";
    size_t p = hay.find(needle);
    if (p == std::string::npos) return std::string();
    size_t start = p + needle.size() - 1;   // offset in FText (one blank prepended)
    size_t end = FText.find('"', start);
    std::string raw = end == std::string::npos ? FText.substr(start) : FText.substr(start, end - start);
    return fs_xml::UnescapeAttributeText(raw);
}

TfsXMLItem* TfsXMLItem::Root()
{
    TfsXMLItem* p = this;
    while (p->FParent) p = p->FParent;
    return p;
}

void TfsXMLItem::Clear()
{
    while (!FItems.empty()) {
        std::unique_ptr<TfsXMLItem> item = std::move(FItems.back());
        FItems.pop_back();
        item->FParent = nullptr;
    }
    FItems.shrink_to_fit();
}

void TfsXMLItem::Assign(const TfsXMLItem* source)
{
    if (source == this) return;
    Clear();
    if (!source) return;
    FName = source->FName;
    FText = source->FText;
    FData = source->FData;
    for (const auto& child : source->FItems) Add()->Assign(child.get());
}

// ---- escaping -------------------------------------------------------------------

std::string fs_xml::EscapeAttributeText(const std::string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\r': case '\n': case '"': case '<': case '>': case '&':
            r += "&#" + std::to_string(int(c)) + ";";
            break;
        default:
            r += c;
        }
    }
    return r;
}

std::string fs_xml::UnescapeAttributeText(const std::string& s)
{
    if (s.find("&#") == std::string::npos) return s;
    std::string r;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '&' && i + 2 < s.size() + 0 && s[i + 1] == '#' && i + 2 < s.size()) {
            size_t semi = s.find(';', i + 2);
            if (semi != std::string::npos) {
                std::string digits = s.substr(i + 2, semi - i - 2);
                bool ok = !digits.empty() && digits.size() <= 9;
                for (char c : digits) ok = ok && c >= '0' && c <= '9';
                if (!ok) throw EConvertError("'" + digits + "' is not a valid integer value");
                AppendCodePoint(r, uint32_t(std::stoul(digits)));
                i = semi + 1;
                continue;
            }
        }
        r += s[i++];
    }
    return r;
}

// ---- reading ----------------------------------------------------------------------

namespace {

[[noreturn]] void FormatError() { throw Exception(fs_xml::SInvalidFileFormat); }

class TfsXMLReader {
public:
    explicit TfsXMLReader(TStream* stream) : FStream(stream) {}
    ~TfsXMLReader()
    {
        // Give back what was read ahead into the buffer.
        try {
            if (FStream && FIndex < FFill) FStream->Seek(int64_t(FIndex) - FFill, soCurrent);
        } catch (...) {
        }
    }

    // Reads the next tag; false at the end of the stream outside a tag.
    bool ReadTag(std::string& name, std::string& text)
    {
        name.clear();
        text.clear();
        int c;
        for (;;) {
            // character data up to the next '<'
            do {
                c = Next();
                if (c < 0) {
                    FEnded = true;
                    return false;
                }
            } while (c != '<');
            std::string tag;
            bool comment = false;
            for (;;) {
                c = Next();
                if (c < 0) FormatError();
                if (c == '>') break;
                if (c == '<') FormatError();
                tag += char(c);
                if (tag.size() == 3 && tag == "!--") {
                    comment = true;
                    break;
                }
            }
            if (comment) {
                int dashes = 0;
                bool seen = false;
                for (;;) {
                    c = Next();
                    if (c < 0) FormatError();
                    if (seen && c == '>') break;
                    if (c == '-') {
                        if (++dashes >= 2) seen = true;
                    } else {
                        dashes = 0;
                    }
                }
                continue;
            }
            if (!tag.empty() && tag.back() == ' ') tag.pop_back();
            size_t blank = tag.find(' ');
            if (blank == std::string::npos) {
                name = tag;
            } else {
                name = tag.substr(0, blank);
                text = tag.substr(blank + 1);
            }
            return true;
        }
    }

    // Reads one element into item; false when the element is "end".
    bool ReadItem(TfsXMLItem* item)
    {
        // Nesting is bounded so that a hostile document cannot exhaust the stack.
        struct Depth {
            int& d;
            explicit Depth(int& v) : d(v)
            {
                if (++d > 4096) FormatError();
            }
            ~Depth() { --d; }
        } depth(FDepth);
        std::string name, text;
        ReadTag(name, text);
        item->SetName(name);
        item->SetText(text);
        FLastTag = name;
        if (name.empty() || name[0] == '/') return false;
        if (name.back() == '/') {
            name.pop_back();
            item->SetName(name);
            return true;
        }
        if (!text.empty() && text.back() == '/') {
            text.pop_back();
            item->SetText(text);
            return true;
        }
        for (;;) {
            TfsXMLItem* child = item->Add();
            if (!ReadItem(child)) {
                item->Take(child);   // the end tag is no child: dropped
                break;
            }
        }
        // An element still open where the data ends is a cut-off document.
        if (FEnded || !SameName(FLastTag, "/" + item->Name())) FormatError();
        return true;
    }

    // The data ended outside a tag.
    bool Ended() const { return FEnded; }

private:
    int Next()
    {
        if (FIndex >= FFill) {
            FFill = FStream->Read(FBuffer, sizeof(FBuffer));
            FIndex = 0;
            if (FFill <= 0) {
                FFill = 0;
                return -1;
            }
        }
        return (unsigned char)FBuffer[FIndex++];
    }

    TStream* FStream;
    char FBuffer[4096];
    int FFill = 0;
    int FIndex = 0;
    std::string FLastTag;
    int FDepth = 0;
    bool FEnded = false;
};

class TfsXMLWriter {
public:
    TfsXMLWriter(TStream* stream, bool autoIndent) : FStream(stream), FAutoIndent(autoIndent) {}
    void WriteLine(const std::string& line)
    {
        FBuffer += line;
        if (FAutoIndent) FBuffer += "\r\n";
        if (FBuffer.size() > 4096) Flush();
    }
    void WriteItem(const TfsXMLItem* item, int depth)
    {
        std::string line;
        if (FAutoIndent) line.assign(size_t(depth) * 2, ' ');
        line += '<';
        line += item->Name();
        if (!item->Text().empty()) {
            if (item->Text()[0] != ' ') line += ' ';
            line += item->Text();
        }
        if (item->Count() == 0) {
            line += "/>";
            WriteLine(line);
            return;
        }
        line += '>';
        WriteLine(line);
        for (int i = 0; i < item->Count(); ++i) WriteItem(item->Items(i), depth + 1);
        std::string close;
        if (FAutoIndent) close.assign(size_t(depth) * 2, ' ');
        WriteLine(close + "</" + item->Name() + ">");
    }
    void Flush()
    {
        if (!FBuffer.empty()) FStream->WriteBuffer(FBuffer.data(), int(FBuffer.size()));
        FBuffer.clear();
    }

private:
    TStream* FStream;
    bool FAutoIndent;
    std::string FBuffer;
};

}  // namespace

// ---- TfsXMLDocument -------------------------------------------------------------------

TfsXMLDocument::TfsXMLDocument() : FRoot(std::make_unique<TfsXMLItem>()) {}

TfsXMLDocument::~TfsXMLDocument() = default;

void TfsXMLDocument::LoadFromStream(TStream* stream)
{
    FRoot->Clear();
    FRoot->SetName("");
    FRoot->SetText("");
    TfsXMLReader reader(stream);
    std::string name, text;
    if (!reader.ReadTag(name, text) || name.compare(0, 4, "?xml") != 0) FormatError();
    // Data that ends before its top element is a cut-off document too.
    if (!reader.ReadItem(FRoot.get()) && reader.Ended()) FormatError();
}

void TfsXMLDocument::SaveToStream(TStream* stream) const
{
    TfsXMLWriter writer(stream, FAutoIndent);
    writer.WriteLine("<?xml version=\"1.0\"?>");
    writer.WriteItem(FRoot.get(), 0);
    writer.Flush();
}

void TfsXMLDocument::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TfsXMLDocument::SaveToFile(const std::string& fileName) const
{
    SaveFileWhole(fileName, [&](TStream* s) { SaveToStream(s); });
}

void TfsXMLDocument::LoadFromString(const std::string& text)
{
    TStringStream stream(text);
    LoadFromStream(&stream);
}

std::string TfsXMLDocument::SaveToString() const
{
    TStringStream stream;
    SaveToStream(&stream);
    return stream.DataString();
}
