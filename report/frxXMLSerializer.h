// Report objects to XML elements and back, through the published-property
// information of their classes: one element per component (class name,
// Name first, published properties as attributes, sub-objects as dotted
// attributes such as Font.Name, string lists as X.Text, binary properties
// as hexadecimal PropData), references resolved once the whole tree exists.
#pragma once

#include "TypInfo.h"

#include <memory>
#include <string>
#include <vector>

class TObject;
class TComponent;
class TStream;
class TStringList;
class TCollectionItem;
class TfrxComponent;
class TfrxXMLItem;

// One attribute of an attribute text: the name lower-cased, the value as
// written (escaped).
struct TfrxAttribute {
    std::string Name;
    std::string Value;
};

namespace frxXMLSerializer {
// The attributes of an attribute text as reading applies them: each name is
// what stands before its "=" and opening quote, trimmed of blanks, tabs and
// line breaks; each value runs to the next quote; one character after the
// closing quote separates the next attribute. Stops at an empty name.
std::vector<TfrxAttribute> SplitAttributes(const std::string& text);
}

struct TfrxFixupItem {
    TObject* Obj = nullptr;
    PPropInfo PropInfo = nullptr;
    std::string Value;
};

class TfrxXMLSerializer {
public:
    explicit TfrxXMLSerializer(TStream* stream);
    ~TfrxXMLSerializer();
    TfrxXMLSerializer(const TfrxXMLSerializer&) = delete;
    TfrxXMLSerializer& operator=(const TfrxXMLSerializer&) = delete;

    // The attribute text of one object's published and binary properties,
    // each attribute preceded by a blank.
    std::string WriteProperties(TObject* obj, const std::string& prefix = std::string());
    // Applies an attribute text; errors of single attributes go to Errors.
    void ReadProperties(const std::string& text, TObject* obj);

    // Writes component (and with saveChildren its subtree) into item; with
    // item null, into an indented document saved to the stream.
    void WriteRootComponent(TfrxComponent* component, bool saveChildren = true,
                            TfrxXMLItem* item = nullptr);
    // Reads item (null: a document loaded from the stream) into component,
    // creating its children.
    void ReadRootComponent(TfrxComponent* component, TfrxXMLItem* item = nullptr);

    // Class name and attribute text, without Name and children.
    std::string WriteComponentText(TfrxComponent* component);
    // A new object of the class named at the start of text, owned by owner;
    // null for a blank text. Raises EClassNotFound for an unknown class.
    TfrxComponent* ReadComponentText(TComponent* owner, const std::string& text);
    void WriteOneComponent(TfrxComponent* component);
    TfrxComponent* ReadOneComponent(TComponent* owner);
    void ReadCollectionItem(TComponent* component, TCollectionItem* item, const std::string& text);

    void AddFixup(TObject* obj, PPropInfo propInfo, const std::string& value);
    void FixupReferences();
    void ClearFixups() { FFixups.clear(); }

    TStringList* Errors() const { return FErrors.get(); }
    TComponent* Owner = nullptr;
    bool SerializeDefaultValues = false;
    TStream* Stream() const { return FStream; }

private:
    void ReadProperty(const std::string& name, const std::string& value, TObject* obj);
    void ReadItem(TfrxXMLItem* item, TfrxComponent* parent, TfrxComponent* root,
                  std::vector<TfrxComponent*>& created);
    void WriteItem(TfrxComponent* c, TfrxXMLItem* item, bool saveChildren);
    void AddError(const std::string& msg);

    TStream* FStream;
    std::unique_ptr<TStringList> FErrors;
    std::vector<TfrxFixupItem> FFixups;
};
