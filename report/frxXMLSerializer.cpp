#include "frxXMLSerializer.h"

#include "frxClass.h"
#include "frxFiler.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxXML.h"

#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Variants.h"

#include <set>

using namespace frxXML;

namespace {

// Brackets the being-written flag of a component.
class TWritingScope {
public:
    explicit TWritingScope(TObject* obj) : FComp(DynamicCast<TfrxComponent>(obj))
    {
        if (FComp) {
            FWas = FComp->IsWriting();
            FComp->SetIsWriting(true);
        }
    }
    ~TWritingScope()
    {
        if (FComp) FComp->SetIsWriting(FWas);
    }
private:
    TfrxComponent* FComp;
    bool FWas = false;
};

std::string StringListText(TStrings* list)
{
    std::string t = list->Text();
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
    return t;
}

}  // namespace

TfrxXMLSerializer::TfrxXMLSerializer(TStream* stream)
    : FStream(stream), FErrors(std::make_unique<TStringList>())
{
    frxClass::Initialize();
    FErrors->SetSorted(true);
    FErrors->SetDuplicates(dupIgnore);
}

TfrxXMLSerializer::~TfrxXMLSerializer() = default;

void TfrxXMLSerializer::AddError(const std::string& msg) { FErrors->Add(msg); }

// ---- writing ------------------------------------------------------------------------

std::string TfrxXMLSerializer::WriteProperties(TObject* obj, const std::string& prefix)
{
    if (!obj) return std::string();
    TWritingScope scope(obj);
    std::string result;
    const bool isComponent = obj->Is<TComponent>();
    auto add = [&](const std::string& name, const std::string& value) {
        if (!value.empty()) result += " " + prefix + name + "=\"" + value + "\"";
    };
    for (PPropInfo info : GetPropList(obj)) {
        if (isComponent && SameText(info->Name, "Name")) continue;
        if (info->Stored && !info->Stored(obj)) continue;
        switch (info->Kind) {
        case tkInteger:
        case tkChar:
        case tkWChar:
        case tkSet: {
            int64_t v = info->GetOrd(obj);
            if (SerializeDefaultValues || !info->HasDefault || v != info->Default)
                add(info->Name, IntToStr(v));
            break;
        }
        case tkEnumeration: {
            int64_t v = info->GetOrd(obj);
            if (SerializeDefaultValues || !info->HasDefault || v != info->Default)
                add(info->Name, info->TypeInfo ? GetEnumName(info->TypeInfo, int(v)) : IntToStr(v));
            break;
        }
        case tkFloat: add(info->Name, FloatToStr(info->GetFloat(obj))); break;
        case tkString:
        case tkLString:
        case tkWString: add(info->Name, EncodeXMLText(info->GetStr(obj))); break;
        case tkVariant: add(info->Name, EncodeXMLText(VarToStr(info->GetVar(obj)))); break;
        case tkClass: {
            TObject* value = info->GetObj(obj);
            if (!value) break;
            if (auto* list = DynamicCast<TStrings>(value)) {
                result += " " + prefix + info->Name + ".Text=\"" +
                          EncodeXMLText(StringListText(list)) + "\"";
            } else if (auto* comp = DynamicCast<TComponent>(value)) {
                add(info->Name, frxUtils::GetReferenceName(Owner, comp));
            } else {
                result += WriteProperties(value, prefix + info->Name + ".");
            }
            break;
        }
        default: break;
        }
    }
    if (auto* bin = dynamic_cast<IfrxBinaryProps*>(obj)) {
        std::string bytes = frxFiler::WriteBinaryProps(bin, Owner);
        if (!bytes.empty()) result += " " + prefix + "PropData=\"" + frxUtils::BytesToHexText(bytes) + "\"";
    }
    return result;
}

void TfrxXMLSerializer::WriteItem(TfrxComponent* c, TfrxXMLItem* item, bool saveChildren)
{
    item->Name = c->ClassName();
    item->Text = "Name=\"" + c->Name() + "\"" + WriteProperties(c);
    if (saveChildren)
        for (TfrxComponent* child : c->Objects()) WriteItem(child, item->Add(), true);
}

void TfrxXMLSerializer::WriteRootComponent(TfrxComponent* component, bool saveChildren,
                                           TfrxXMLItem* item)
{
    if (!Owner) Owner = component;
    if (item) {
        WriteItem(component, item, saveChildren);
        return;
    }
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    WriteItem(component, doc.Root(), saveChildren);
    doc.SaveToStream(FStream);
}

std::string TfrxXMLSerializer::WriteComponentText(TfrxComponent* component)
{
    return component->ClassName() + WriteProperties(component);
}

void TfrxXMLSerializer::WriteOneComponent(TfrxComponent* component)
{
    std::string s = frxXML::TextToGbk("<" + WriteComponentText(component) + "/>");
    FStream->WriteBuffer(s.data(), int(s.size()));
}

// ---- reading ------------------------------------------------------------------------

namespace frxXMLSerializer {

std::vector<TfrxAttribute> SplitAttributes(const std::string& text)
{
    std::vector<TfrxAttribute> result;
    size_t at = 0;
    while (at < text.size()) {
        size_t q = text.find('"', at);
        if (q == std::string::npos) break;
        // The name runs up to the "=" before the quote, whatever separates
        // it from the attribute before (a blank, a tab, a line break).
        std::string name = LowerCase(Trim(text.substr(at, q == at ? 0 : q - 1 - at)));
        if (name.empty()) break;
        size_t q2 = text.find('"', q + 1);
        result.push_back({name, text.substr(q + 1, q2 == std::string::npos ? std::string::npos : q2 - q - 1)});
        if (q2 == std::string::npos) break;
        at = q2 + 2;   // past the quote and the blank that follows it
    }
    return result;
}

}  // namespace frxXMLSerializer

void TfrxXMLSerializer::ReadProperties(const std::string& text, TObject* obj)
{
    // An attribute given twice is no well-formed element; reading it twice
    // would also free collection items that references still wait for.
    const std::vector<TfrxAttribute> attributes = frxXMLSerializer::SplitAttributes(text);
    std::set<std::string> seen;
    for (const TfrxAttribute& a : attributes)
        if (!seen.insert(a.Name).second) RaiseInvalidFileFormat();
    for (const TfrxAttribute& a : attributes) {
        try {
            ReadProperty(a.Name, a.Value, obj);
        } catch (const EfrxInvalidFileFormat&) {
            throw;
        } catch (const EfrxInvalidGraphic& e) {
            // Which object's picture could not be read.
            auto* c = DynamicCast<TComponent>(obj);
            AddError(c && !c->Name().empty() ? c->Name() + ": " + e.what() : std::string(e.what()));
        } catch (const std::exception& e) {
            AddError(e.what());
        }
    }
}

void TfrxXMLSerializer::ReadProperty(const std::string& name, const std::string& value, TObject* obj)
{
    std::string n = name;
    if (n.size() == 1) {
        switch (n[0]) {
        case 'l': n = "left"; break;
        case 't': n = "top"; break;
        case 'w': n = "width"; break;
        case 'h': n = "height"; break;
        case 'x':
            if (auto* memo = DynamicCast<TfrxCustomMemoView>(obj)) {
                memo->SetText(DecodeXMLText(value));
                return;
            }
            break;
        default: break;
        }
    }
    TObject* target = obj;
    std::vector<std::string> parts = frxUtils::SplitBySeparator(n, '.');
    if (parts.empty()) return;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        PPropInfo pi = GetPropInfo(target, parts[i]);
        if (!pi || pi->Kind != tkClass) return;
        target = pi->GetObj(target);
        if (!target) return;
    }
    const std::string& last = parts.back();
    if (last == "text" && parts.size() > 1) {
        if (auto* list = DynamicCast<TStrings>(target)) {
            // The stored text drops the line break after the last line (see
            // StringListText): put it back, so that an empty last line is
            // not lost.
            std::string text = DecodeXMLText(value);
            list->SetText(text.empty() ? text : text + "\r\n");
            return;
        }
    }
    if (last == "propdata") {
        if (auto* bin = dynamic_cast<IfrxBinaryProps*>(target))
            frxFiler::ReadBinaryProps(bin, frxUtils::HexTextToBytes(value), Owner);
        return;
    }
    PPropInfo info = GetPropInfo(target, last);
    if (!info) return;
    auto invalid = [&value]() { throw EPropertyConvertError("Invalid property value: " + value); };
    switch (info->Kind) {
    case tkInteger:
        // Integer properties are 32-bit: a number beyond that is refused,
        // not wrapped round.
        if (info->SetOrd) info->SetOrd(target, StrToInt(value));
        break;
    case tkChar:
    case tkWChar: {
        if (!info->SetOrd) break;
        int v = StrToInt(value);
        if (v < 0 || v > (info->Kind == tkChar ? 0xFF : 0xFFFF)) invalid();
        info->SetOrd(target, v);
        break;
    }
    case tkSet:
        if (info->SetOrd) info->SetOrd(target, StrToInt64(value));
        break;
    case tkEnumeration: {
        if (!info->SetOrd) break;
        int64_t v;
        if (TryStrToInt64(value, v)) {
            // An ordinal past the type's names is no value of the type (a
            // Boolean takes any number, non-zero being True).
            const bool boolean = info->TypeInfo == TypeInfoOf<bool>();
            if (!boolean && !info->ValueNames.empty() && (v < 0 || v >= int64_t(info->ValueNames.size())))
                invalid();
            info->SetOrd(target, v);
        } else {
            int e = info->TypeInfo ? GetEnumValue(info->TypeInfo, value) : -1;
            if (e < 0) invalid();
            info->SetOrd(target, e);
        }
        break;
    }
    case tkFloat:
        if (info->SetFloat) info->SetFloat(target, frxUtils::StrToFloatAnySeparator(value));
        break;
    case tkString:
    case tkLString:
    case tkWString:
        // The writer leaves empty texts out, so an empty attribute reads as an
        // absent one: a text whose default is not empty (the printer's
        // "缺省", the script language) keeps it, as it would after a save.
        if (info->SetStr && !value.empty()) info->SetStr(target, DecodeXMLText(value));
        break;
    case tkVariant:
        if (info->SetVar) info->SetVar(target, Variant(DecodeXMLText(value)));
        break;
    case tkClass:
        if (info->PropClass && info->PropClass->InheritsFrom(TComponent::StaticClass()))
            AddFixup(target, info, DecodeXMLText(value));
        break;
    default: break;
    }
}

void TfrxXMLSerializer::AddFixup(TObject* obj, PPropInfo propInfo, const std::string& value)
{
    FFixups.push_back({obj, propInfo, value});
}

void TfrxXMLSerializer::FixupReferences()
{
    std::vector<TfrxFixupItem> fixups = std::move(FFixups);
    FFixups.clear();
    for (const auto& f : fixups) {
        if (!f.PropInfo || !f.PropInfo->SetObj) continue;
        TComponent* found = nullptr;
        if (auto* owner = DynamicCast<TfrxComponent>(Owner)) found = owner->FindObject(f.Value);
        if (!found) {
            try {
                found = frxUtils::FindComponentByPath(Owner, f.Value);
            } catch (const std::exception&) {
                found = nullptr;
            }
        }
        if (!found || !found->InheritsFrom(f.PropInfo->PropClass)) continue;
        try {
            f.PropInfo->SetObj(f.Obj, found);
        } catch (const std::exception& e) {
            AddError(e.what());
        }
    }
}

void TfrxXMLSerializer::ReadItem(TfrxXMLItem* item, TfrxComponent* parent, TfrxComponent* root,
                                 std::vector<TfrxComponent*>& created)
{
    TClass cls = GetClass(item->Name);
    if (!cls || !cls->InheritsFrom(TfrxComponent::StaticClass()) || (parent && !cls->Factory)) {
        AddError(frxRes::Resources().Get("xrCantFindClass") + " " + item->Name);
        return;
    }
    TfrxComponent* obj = root;
    if (parent) {
        TObject* o = cls->Create(parent);
        obj = DynamicCast<TfrxComponent>(o);
        if (!obj) {
            FreeObject(o);
            return;
        }
    }
    ReadProperties(item->Text, obj);
    created.push_back(obj);
    for (int i = 0; i < item->Count(); ++i) ReadItem(item->Items(i), obj, root, created);
}

void TfrxXMLSerializer::ReadRootComponent(TfrxComponent* component, TfrxXMLItem* item)
{
    if (!Owner) Owner = component;
    std::unique_ptr<TfrxXMLDocument> doc;
    if (!item) {
        doc = std::make_unique<TfrxXMLDocument>();
        doc->LoadFromStream(FStream, false);
        item = doc->Root();
    }
    std::vector<TfrxComponent*> created;
    ReadItem(item, nullptr, component, created);
    FixupReferences();
    for (TfrxComponent* c : created)
        if (!c->Is<TfrxReport>()) c->Loaded();
}

TfrxComponent* TfrxXMLSerializer::ReadComponentText(TComponent* owner, const std::string& text)
{
    std::string t = Trim(text);
    if (t.empty()) return nullptr;
    size_t sp = t.find(' ');
    std::string cls = t.substr(0, sp);
    TClass c = FindClass(cls);
    if (!c->InheritsFrom(TfrxComponent::StaticClass()))
        throw EClassNotFound("Class " + cls + " not found");
    auto* obj = DynamicCast<TfrxComponent>(c->Create(owner));
    if (!obj) throw EClassNotFound("Class " + cls + " not found");
    if (!Owner) Owner = obj->Report() ? static_cast<TComponent*>(obj->Report()) : obj;
    try {
        if (sp != std::string::npos) ReadProperties(t.substr(sp + 1), obj);
        FixupReferences();
    } catch (...) {
        FreeObject(obj);
        throw;
    }
    if (!obj->Is<TfrxReport>()) obj->Loaded();
    return obj;
}

TfrxComponent* TfrxXMLSerializer::ReadOneComponent(TComponent* owner)
{
    TfrxXMLItem item;
    {
        TfrxXMLReader reader(FStream);
        if (!reader.ReadOneItem(&item)) return nullptr;
    }
    return ReadComponentText(owner, item.Name + " " + item.Text);
}

void TfrxXMLSerializer::ReadCollectionItem(TComponent* component, TCollectionItem* item,
                                           const std::string& text)
{
    TComponent* was = Owner;
    if (!Owner) Owner = component;
    ReadProperties(text, item);
    FixupReferences();
    Owner = was ? was : Owner;
}
