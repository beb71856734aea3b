// The element-and-attribute XML tree under every file of the report
// library: layouts, prepared reports, variable lists and style sets.
//
// In memory names and attribute texts are UTF-8 like every string of the
// program; in streams they are the system's 8-bit text (GBK), converted tag
// by tag by the reader and writer. Attribute texts are kept as written
// (escaped); GetAttribute/SetAttribute escape and unescape.
#pragma once

#include "Exceptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
class Variant;

// A structural error of a report file: "Invalid file format".
QZ_EXCEPTION(EfrxInvalidFileFormat, EReadError)
[[noreturn]] void RaiseInvalidFileFormat();

// An element. An item owns its children; freeing a child takes it out of
// its parent's list.
class TfrxXMLItem {
public:
    TfrxXMLItem() = default;
    ~TfrxXMLItem();
    TfrxXMLItem(const TfrxXMLItem&) = delete;
    TfrxXMLItem& operator=(const TfrxXMLItem&) = delete;

    TfrxXMLItem* Add();
    // Appends an item that has no parent yet, or moves a child of another
    // item here (raising EListError for an item with no parent that is not
    // handed over).
    TfrxXMLItem* AddItem(std::unique_ptr<TfrxXMLItem> item);
    void AddItem(TfrxXMLItem* item);
    void InsertItem(int index, TfrxXMLItem* item);
    int Count() const { return int(FItems.size()); }
    TfrxXMLItem* Items(int index) const;
    TfrxXMLItem* operator[](int index) const { return Items(index); }
    // Index of the first child of that name (case-insensitive); -1 when none.
    int Find(const std::string& name) const;
    // The child found by Find, or a new child of that name.
    TfrxXMLItem* FindItem(const std::string& name);
    int IndexOf(const TfrxXMLItem* item) const;
    // Frees the children; a deferred item becomes not loaded.
    void Clear();

    std::string GetAttribute(const std::string& name) const;
    void SetAttribute(const std::string& name, const std::string& value);

    int64_t Offset() const { return FOffset; }
    void SetOffset(int64_t value) { FOffset = value; }

    std::string Name;
    std::string Text;              // attribute text as written, escaped
    TfrxXMLItem* Parent = nullptr;
    bool ChildrenLoaded = true;
    bool Deferred = false;
    // Which stream holds a swapped-out item: the document's swap file (true)
    // or the stream of a partial load (false).
    bool InSwapFile = false;

private:
    // Takes child out of the list without freeing it (it is being freed).
    void Detach(TfrxXMLItem* child);
    std::unique_ptr<TfrxXMLItem> Take(TfrxXMLItem* child);
    std::vector<std::unique_ptr<TfrxXMLItem>> FItems;
    int64_t FOffset = 0;
};

class TfrxXMLDocument {
public:
    TfrxXMLDocument();
    ~TfrxXMLDocument();
    TfrxXMLDocument(const TfrxXMLDocument&) = delete;
    TfrxXMLDocument& operator=(const TfrxXMLDocument&) = delete;

    // Empties the root and drops the swap file and a kept load stream.
    void Clear();
    // With allowPartialLoading the document takes the stream over (frees it
    // when cleared) and leaves elements marked ld="0" on it until LoadItem.
    void LoadFromStream(TStream* stream, bool allowPartialLoading = false);
    void SaveToStream(TStream* stream);
    void LoadItem(TfrxXMLItem* item);
    void UnloadItem(TfrxXMLItem* item);

    TfrxXMLItem* Root() const { return FRoot.get(); }
    bool AutoIndent = false;
    std::string TempDir;
    const std::string& SwapFileName() const { return FSwapName; }

private:
    void DropStreams();
    void CreateSwap();
    TStream* StreamOf(const TfrxXMLItem* item) const;

    std::unique_ptr<TfrxXMLItem> FRoot;
    std::unique_ptr<TStream> FLoadStream;   // kept by a partial load
    bool FLoadUtf8 = false;                   // the loaded stream had a UTF-8 byte-order mark
    std::unique_ptr<TStream> FSwapStream;
    std::string FSwapName;
};

class TfrxXMLReader {
public:
    explicit TfrxXMLReader(TStream* stream);
    // Leaves the stream right after the last character consumed.
    ~TfrxXMLReader();
    TfrxXMLReader(const TfrxXMLReader&) = delete;
    TfrxXMLReader& operator=(const TfrxXMLReader&) = delete;

    void SetPosition(int64_t pos);
    int64_t Position() const { return FPosition; }
    // Reads the "<?xml ...?>" header; a UTF-8 byte-order mark before it
    // makes the reader take the text as UTF-8 in place of the system's GBK.
    void ReadHeader();
    bool Utf8() const { return FUtf8; }
    void SetUtf8(bool utf8) { FUtf8 = utf8; }
    // Reads one element with its children into item. noPartial: elements
    // marked ld="0" are read whole.
    void ReadRootItem(TfrxXMLItem* item, bool noPartial = true);
    // Reads one element with no header expected and no children required
    // (a one-element text); false at the end of the stream.
    bool ReadOneItem(TfrxXMLItem* item);

private:
    bool ReadChar(char& c);
    // Reads the next tag; name and attribute text split at the first blank.
    void ReadTag(std::string& name, std::string& text);
    // False when the element read was an end tag or the end of the stream.
    bool ReadItem(TfrxXMLItem* item, bool noPartial, int depth);

    TStream* FStream;
    std::vector<char> FBuffer;
    int FBufLen = 0;
    int FBufPos = 0;
    int64_t FPosition = 0;
    int64_t FSize = 0;
    std::string FLastName;
    bool FUtf8 = false;
};

class TfrxXMLWriter {
public:
    explicit TfrxXMLWriter(TStream* stream);
    ~TfrxXMLWriter();
    TfrxXMLWriter(const TfrxXMLWriter&) = delete;
    TfrxXMLWriter& operator=(const TfrxXMLWriter&) = delete;

    void WriteHeader();
    void WriteRootItem(TfrxXMLItem* item);
    bool AutoIndent = false;
    // Where swapped-out deferred items are read back from while writing.
    TfrxXMLDocument* Document = nullptr;

private:
    void WriteLn(const std::string& s);
    void WriteItem(TfrxXMLItem* item, int depth);
    void Flush();
    TStream* FStream;
    std::string FBuffer;
};

namespace frxXML {
// Escapes line feed, carriage return, '"', '&', '<' and '>' as &#n;.
std::string EncodeXMLText(const std::string& text);
// Undoes numeric references (the low 8 bits of the number as a byte of the
// 8-bit text). A reference not closed by ';' raises "Invalid file format";
// a reference that is no number raises the integer conversion error.
std::string DecodeXMLText(const std::string& text);
std::string VariantToXMLText(const Variant& value);
// The header line the writer puts first.
extern const char* const XMLHeader;
// The system's 8-bit text to UTF-8 and back, losing nothing: a byte that
// forms no GBK character is kept as a private-use character (U+F780 plus
// the byte less 128) and written back as that byte.
std::string GbkToText(const std::string& gbk);
std::string TextToGbk(const std::string& text);
}
