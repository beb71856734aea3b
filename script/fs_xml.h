// The interpreter's own small XML dialect: tag-only elements whose attribute
// text is kept raw and read on demand. It holds the grammars, the program
// trees and the contents tree, and scripts reach it as TfsXMLItem and
// TfsXMLDocument.
#pragma once

#include "System.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

class TfsXMLItem : public TObject {
    QZ_CLASS(TfsXMLItem, TObject)
public:
    TfsXMLItem() = default;
    ~TfsXMLItem() override;

    // Children belong to their parent: a child freed leaves its parent's
    // list, and Clear or the parent's end frees them.
    TfsXMLItem* Add();
    TfsXMLItem* AddItem(std::unique_ptr<TfsXMLItem> item);
    // The parent takes the item over (scripts hand items made on their own
    // or taken from another tree).
    void AddItem(TfsXMLItem* item);
    void InsertItem(int index, TfsXMLItem* item);
    // The child leaves this item's list and belongs to the caller.
    std::unique_ptr<TfsXMLItem> Take(TfsXMLItem* child);
    int Find(const std::string& name) const;        // -1 when none
    TfsXMLItem* FindItem(const std::string& name);  // adds the child when none
    std::string Prop(const std::string& name) const;
    TfsXMLItem* Root();
    void Clear();
    void Assign(const TfsXMLItem* source);

    int Count() const { return int(FItems.size()); }
    TfsXMLItem* Items(int index) const;
    TfsXMLItem* operator[](int index) const { return Items(index); }
    TfsXMLItem* Parent() const { return FParent; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { FText = v; }
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }

private:
    std::string FName;
    std::string FText;
    void* FData = nullptr;
    TfsXMLItem* FParent = nullptr;
    std::vector<std::unique_ptr<TfsXMLItem>> FItems;
};

class TfsXMLDocument : public TObject {
    QZ_CLASS(TfsXMLDocument, TObject)
public:
    TfsXMLDocument();
    ~TfsXMLDocument() override;

    TfsXMLItem* Root() const { return FRoot.get(); }
    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool v) { FAutoIndent = v; }

    // Raise EFOpenError/EFCreateError for files and Exception
    // "Invalid file format" for malformed text.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Loads from a text held in memory (grammars, program trees).
    void LoadFromString(const std::string& text);
    std::string SaveToString() const;

private:
    std::unique_ptr<TfsXMLItem> FRoot;
    bool FAutoIndent = false;
};

namespace fs_xml {
// Attribute values: CR, LF, '"', '<', '>' and '&' become "&#code;", so that
// UnescapeAttributeText gives back exactly the text that was escaped.
std::string EscapeAttributeText(const std::string& s);
// Every "&#digits;" becomes the character of that code; raises EConvertError
// when the text between "&#" and ";" is not a number.
std::string UnescapeAttributeText(const std::string& s);
// The message of every malformed document.
inline constexpr const char* SInvalidFileFormat = "Invalid file format";
}
