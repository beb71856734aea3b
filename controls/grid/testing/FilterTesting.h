// A component that lends a filter control its items: captions, editor
// properties and value types, with links that are the item IDs (as a grid's
// are), and a filter of its own that Apply writes into.
#pragma once

#include "Components.h"
#include "cxFilter.h"
#include "cxFilterControl.h"

#include <memory>
#include <string>
#include <vector>

// The link's own filter: criteria IDs are the item links, as in a grid.
class TcxFilterTestCriteria : public TcxFilterCriteria {
    QZ_CLASS(TcxFilterTestCriteria, TcxFilterCriteria)
public:
    int GetIDByItemLink(TObject* AItemLink) override { return int(reinterpret_cast<intptr_t>(AItemLink)); }
    TObject* GetItemLinkByID(int AID) override { return reinterpret_cast<TObject*>(intptr_t(AID)); }
};

class TcxFilterTestLink : public TComponent, public IcxFilterControl {
    QZ_CLASS(TcxFilterTestLink, TComponent)
public:
    explicit TcxFilterTestLink(TComponent* AOwner = nullptr);
    ~TcxFilterTestLink() override;

    struct TItem {
        std::string Caption;
        int ID;
        std::unique_ptr<TcxCustomEditProperties> Properties;
        TcxValueTypeClass ValueType;
    };
    // Adds an item with properties of APropertiesClass (nil: none).
    void AddItem(const std::string& ACaption, int AID, TClass APropertiesClass, TcxValueTypeClass AValueType);
    std::vector<TItem>& Items() { return FItems; }
    TcxFilterTestCriteria* Filter() { return FFilter.get(); }
    // GetCriteria answers nil while set.
    bool NoCriteria = false;

    std::string GetItemCaption(int AIndex) override { return FItems.at(size_t(AIndex)).Caption; }
    int GetCount() override { return int(FItems.size()); }
    TcxFilterCriteria* GetCriteria() override { return NoCriteria ? nullptr : FFilter.get(); }
    int GetItemLink(int AIndex) override { return FItems.at(size_t(AIndex)).ID; }
    std::string GetFieldName(int AIndex) override { return std::string(); }
    TcxCustomEditProperties* GetProperties(int AIndex) override { return FItems.at(size_t(AIndex)).Properties.get(); }
    TcxValueTypeClass GetValueType(int AIndex) override { return FItems.at(size_t(AIndex)).ValueType; }

private:
    std::vector<TItem> FItems;
    std::unique_ptr<TcxFilterTestCriteria> FFilter;
};
