#include "frxVariables.h"

#include "frxUtils.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"

#include "Streams.h"
#include "StringLists.h"
#include "TextUtils.h"

TfrxVariable::TfrxVariable(TCollection* collection) : TCollectionItem(collection), Value(Null()) {}

void TfrxVariable::Assign(TPersistent* source)
{
    auto* v = DynamicCast<TfrxVariable>(source);
    if (!v) return TCollectionItem::Assign(source);
    Name = v->Name;
    Value = v->Value;
}

TfrxVariables::TfrxVariables() : TCollection(TfrxVariable::StaticClass()) {}

TfrxVariable* TfrxVariables::Add() { return AddAs<TfrxVariable>(); }

TfrxVariable* TfrxVariables::Insert(int index) { return static_cast<TfrxVariable*>(TCollection::Insert(index)); }

int TfrxVariables::IndexOf(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name, name)) return i;
    return -1;
}

Variant TfrxVariables::Variables(const std::string& name) const
{
    int i = IndexOf(name);
    return i < 0 ? Null() : Items(i)->Value;
}

void TfrxVariables::SetVariables(const std::string& name, const Variant& value)
{
    int i = IndexOf(name);
    TfrxVariable* v = i < 0 ? Add() : Items(i);
    if (i < 0) v->Name = name;
    v->Value = value;
}

namespace {
bool IsCategory(const std::string& name) { return !name.empty() && name[0] == ' '; }
}

void TfrxVariables::ListCategories(TStrings* list, bool clearList) const
{
    if (clearList) list->Clear();
    for (int i = 0; i < Count(); ++i)
        if (IsCategory(Items(i)->Name)) list->Add(Items(i)->Name.substr(1, 255));
}

void TfrxVariables::ListCategoryVariables(const std::string& category, TStrings* list) const
{
    list->Clear();
    int start = 0;
    if (!category.empty()) {
        int i = IndexOf(" " + category);
        if (i < 0) return;
        start = i + 1;
    }
    for (int i = start; i < Count(); ++i) {
        const std::string& n = Items(i)->Name;
        if (n.empty() || IsCategory(n)) break;
        list->Add(n);
    }
}

void TfrxVariables::RemoveCategory(const std::string& category)
{
    int i = IndexOf(" " + category);
    if (i < 0) return;
    Delete(i);
    while (i < Count() && !IsCategory(Items(i)->Name)) Delete(i);
}

void TfrxVariables::RemoveVariable(const std::string& name)
{
    int i = IndexOf(name);
    if (i >= 0) Delete(i);
}

void TfrxVariables::AddToCategory(const std::string& category, const std::string& name,
                                  const Variant& value)
{
    int i = IndexOf(" " + category);
    if (i < 0) return;
    int at = i + 1;
    while (at < Count() && !IsCategory(Items(at)->Name)) ++at;
    TfrxVariable* v = at < Count() ? Insert(at) : Add();
    v->Name = name;
    v->Value = value;
}

void TfrxVariables::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TfrxVariables::LoadFromStream(TStream* stream)
{
    Clear();
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    if (AnsiSameText(doc.Root()->Name, "variables")) LoadFromXMLItem(doc.Root());
}

void TfrxVariables::LoadFromXMLItem(TfrxXMLItem* item)
{
    Clear();
    TfrxXMLSerializer ser(nullptr);
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* child = item->Items(i);
        if (AnsiSameText(child->Name, "item")) ser.ReadProperties(child->Text, Add());
    }
}

void TfrxVariables::SaveToFile(const std::string& fileName)
{
    TMemoryStream m;
    SaveToStream(&m);
    frxUtils::SaveToFileWhole(&m, fileName);
}

void TfrxVariables::SaveToStream(TStream* stream)
{
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "variables";
    SaveToXMLItem(doc.Root());
    doc.SaveToStream(stream);
}

void TfrxVariables::SaveToXMLItem(TfrxXMLItem* item)
{
    TfrxXMLSerializer ser(nullptr);
    for (int i = 0; i < Count(); ++i) {
        TfrxXMLItem* child = item->Add();
        child->Name = "item";
        std::string text = ser.WriteProperties(Items(i));
        child->Text = !text.empty() && text[0] == ' ' ? text.substr(1) : text;
    }
}
