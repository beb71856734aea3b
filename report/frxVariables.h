// The report's list of named variables. Items whose names begin with a
// blank are category headings; the variables after one belong to it.
#pragma once

#include "Lists.h"
#include "Variants.h"

#include <string>

class TStream;
class TStrings;
class TfrxXMLItem;

class TfrxVariable : public TCollectionItem {
    QZ_CLASS(TfrxVariable, TCollectionItem)
public:
    explicit TfrxVariable(TCollection* collection = nullptr);
    void Assign(TPersistent* source) override;
    std::string Name;
    Variant Value;
};

class TfrxVariables : public TCollection {
    QZ_CLASS(TfrxVariables, TCollection)
public:
    TfrxVariables();
    TfrxVariable* Add();
    TfrxVariable* Insert(int index);
    TfrxVariable* Items(int index) const { return ItemAs<TfrxVariable>(index); }
    int IndexOf(const std::string& name) const;
    // Null for a name no item bears (nothing is added).
    Variant Variables(const std::string& name) const;
    // Appends an item when the name is new.
    void SetVariables(const std::string& name, const Variant& value);

    void ListCategories(TStrings* list, bool clearList = true) const;
    void ListCategoryVariables(const std::string& category, TStrings* list) const;
    void RemoveCategory(const std::string& category);
    void RemoveVariable(const std::string& name);
    void AddToCategory(const std::string& category, const std::string& name, const Variant& value);

    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream* stream);
    void LoadFromXMLItem(TfrxXMLItem* item);
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TStream* stream);
    void SaveToXMLItem(TfrxXMLItem* item);
};
