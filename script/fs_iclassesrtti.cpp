#include "fs_iclassesrtti.h"

#include "Exceptions.h"
#include "Lists.h"
#include "Streams.h"
#include "StringLists.h"
#include "fs_iinterpreter.h"
#include "fs_itools.h"
#include "fs_xml.h"

#include <algorithm>

QZ_CLASS_IMPL(TfsClassesFunctions, TObject)

using namespace fs_iinterpreter;

namespace {

TfsClassesFunctions* GInstance = nullptr;

template <class T> T* As(TObject* obj) { return static_cast<T*>(obj); }

// An object argument of a declared class; nil allowed where the routine allows it.
template <class T> T* ObjArg(const Variant& v, bool allowNil = false)
{
    TObject* o = VarToObject(v);
    if (!o) {
        if (allowNil) return nullptr;
        throw Exception(std::string(fs_itools::SNilObject) + T::StaticClass()->Name);
    }
    T* t = DynamicCast<T>(o);
    if (!t) throw Exception("Object of class " + o->ClassName() + " is not a " + T::StaticClass()->Name);
    return t;
}

Variant Int64Var(int64_t v) { return Variant::FromInt64(v); }

Variant CallObject(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    if (name == "FREE") {
        ScriptFreeObject(inst);
        return Variant(0);
    }
    if (name == "CLASSNAME") return Variant(inst->ClassName());
    return Variant(0);
}

Variant CallPersistent(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    if (name == "ASSIGN") As<TPersistent>(inst)->Assign(ObjArg<TPersistent>(p[0], true));
    return Variant(0);
}

Variant CallCollection(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* c = As<TCollection>(inst);
    if (name == "CLEAR") c->Clear();
    else if (name == "ITEMS.GET") return ObjectToVar(c->Items(p[0].AsInteger()));
    return Variant(0);
}

Variant CallList(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* l = As<TList>(inst);
    if (name == "ADD") return Variant(l->Add(ObjArg<TObject>(p[0], true)));
    if (name == "CLEAR") l->Clear();
    else if (name == "DELETE") l->Delete(p[0].AsInteger());
    else if (name == "INDEXOF") return Variant(l->IndexOf(ObjArg<TObject>(p[0], true)));
    else if (name == "INSERT") l->Insert(p[0].AsInteger(), ObjArg<TObject>(p[1], true));
    else if (name == "REMOVE") return Variant(l->Remove(ObjArg<TObject>(p[0], true)));
    else if (name == "ITEMS.GET") return ObjectPtrToVar(l->Items(p[0].AsInteger()));
    else if (name == "ITEMS.SET") l->SetItems(p[0].AsInteger(), ObjArg<TObject>(p[1], true));
    return Variant(0);
}

Variant CallStrings(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* s = As<TStrings>(inst);
    auto str = [&](size_t i) { return VarToStr(p[i]); };
    if (name == "ADD") return Variant(s->Add(str(0)));
    if (name == "ADDOBJECT") return Variant(s->AddObject(str(0), ObjArg<TObject>(p[1], true)));
    if (name == "CLEAR") s->Clear();
    else if (name == "DELETE") s->Delete(p[0].AsInteger());
    else if (name == "INDEXOF") return Variant(s->IndexOf(str(0)));
    else if (name == "INDEXOFNAME") return Variant(s->IndexOfName(str(0)));
    else if (name == "INDEXOFOBJECT") return Variant(s->IndexOfObject(ObjArg<TObject>(p[0], true)));
    else if (name == "INSERT") s->Insert(p[0].AsInteger(), str(1));
    else if (name == "INSERTOBJECT") s->InsertObject(p[0].AsInteger(), str(1), ObjArg<TObject>(p[2], true));
    else if (name == "LOADFROMFILE") s->LoadFromFile(str(0));
    else if (name == "LOADFROMSTREAM") s->LoadFromStream(ObjArg<TStream>(p[0]));
    else if (name == "SAVETOFILE") s->SaveToFile(str(0));
    else if (name == "SAVETOSTREAM") s->SaveToStream(ObjArg<TStream>(p[0]));
    else if (name == "NAMES.GET") return Variant(s->Names(p[0].AsInteger()));
    else if (name == "OBJECTS.GET") return ObjectPtrToVar(s->Objects(p[0].AsInteger()));
    else if (name == "OBJECTS.SET") s->SetObjects(p[0].AsInteger(), ObjArg<TObject>(p[1], true));
    else if (name == "VALUES.GET") return Variant(s->Values(str(0)));
    else if (name == "VALUES.SET") s->SetValues(str(0), str(1));
    else if (name == "STRINGS.GET") return Variant(s->Strings(p[0].AsInteger()));
    else if (name == "STRINGS.SET") s->SetStrings(p[0].AsInteger(), str(1));
    return Variant(0);
}

Variant CallStringList(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* s = As<TStringList>(inst);
    if (name == "FIND") {
        int index = 0;
        bool found = s->Find(VarToStr(p[0]), index);
        p[1] = Variant(index);
        return Variant(found);
    }
    if (name == "SORT") s->Sort();
    return Variant(0);
}

Variant CallStream(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* s = As<TStream>(inst);
    if (name == "READ") {
        int count = std::max(0, p[1].AsInteger());
        std::string buf(size_t(count), '\0');
        int n = count ? s->Read(buf.data(), count) : 0;
        buf.resize(size_t(std::max(0, n)));
        p[0] = Variant(buf);
        return Variant(std::max(0, n));
    }
    if (name == "WRITE") {
        std::string buf = VarToStr(p[0]);
        // Never more than the buffer holds.
        int count = std::clamp(p[1].AsInteger(), 0, int(buf.size()));
        return Variant(count ? s->Write(buf.data(), count) : 0);
    }
    if (name == "SEEK") return Int64Var(s->Seek(int64_t(p[0].AsInt64()), p[1].AsInteger()));
    if (name == "COPYFROM") return Int64Var(s->CopyFrom(ObjArg<TStream>(p[0]), p[1].AsInt64()));
    return Variant(0);
}

Variant CallFileStream(TObject*, TClass, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(new TFileStream(VarToStr(p[0]), uint16_t(p[1].AsInteger())));
    return Variant(0);
}

Variant CallMemoryStream(TObject* inst, TClass, const std::string& name, TfsParams& p)
{
    auto* m = As<TMemoryStream>(inst);
    if (name == "CLEAR") m->Clear();
    else if (name == "LOADFROMSTREAM") m->LoadFromStream(ObjArg<TStream>(p[0]));
    else if (name == "LOADFROMFILE") m->LoadFromFile(VarToStr(p[0]));
    else if (name == "SAVETOSTREAM") m->SaveToStream(ObjArg<TStream>(p[0]));
    else if (name == "SAVETOFILE") m->SaveToFile(VarToStr(p[0]));
    return Variant(0);
}

Variant CallComponent(TObject*, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(ObjArg<TComponent>(p[0], true)));
    return Variant(0);
}

Variant CallXMLItem(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    auto* x = As<TfsXMLItem>(inst);
    if (name == "ADDITEM") x->AddItem(ObjArg<TfsXMLItem>(p[0]));
    else if (name == "CLEAR") x->Clear();
    else if (name == "INSERTITEM") x->InsertItem(p[0].AsInteger(), ObjArg<TfsXMLItem>(p[1]));
    else if (name == "ADD") return ObjectToVar(x->Add());
    else if (name == "FIND") return Variant(x->Find(VarToStr(p[0])));
    else if (name == "FINDITEM") return ObjectToVar(x->FindItem(VarToStr(p[0])));
    else if (name == "PROP") return Variant(x->Prop(VarToStr(p[0])));
    else if (name == "ROOT") return ObjectToVar(x->Root());
    else if (name == "ITEMS.GET") return ObjectToVar(x->Items(p[0].AsInteger()));
    return Variant(0);
}

Variant CallXMLDocument(TObject* inst, TClass cls, const std::string& name, TfsParams& p)
{
    if (name == "CREATE") return ObjectToVar(cls->Create(nullptr));
    auto* d = As<TfsXMLDocument>(inst);
    if (name == "SAVETOSTREAM") d->SaveToStream(ObjArg<TStream>(p[0]));
    else if (name == "LOADFROMSTREAM") d->LoadFromStream(ObjArg<TStream>(p[0]));
    else if (name == "SAVETOFILE") d->SaveToFile(VarToStr(p[0]));
    else if (name == "LOADFROMFILE") d->LoadFromFile(VarToStr(p[0]));
    return Variant(0);
}

Variant GetProp(TObject* inst, TClass cls, const std::string& name)
{
    if (cls == TCollection::StaticClass() && name == "COUNT") return Variant(As<TCollection>(inst)->Count());
    if (cls == TList::StaticClass() && name == "COUNT") return Variant(As<TList>(inst)->Count());
    if (cls == TStrings::StaticClass()) {
        auto* s = As<TStrings>(inst);
        if (name == "COMMATEXT") return Variant(s->CommaText());
        if (name == "COUNT") return Variant(s->Count());
        if (name == "TEXT") return Variant(s->Text());
    }
    if (cls == TStringList::StaticClass()) {
        auto* s = As<TStringList>(inst);
        if (name == "DUPLICATES") return Variant(int(s->Duplicates()));
        if (name == "SORTED") return Variant(s->Sorted());
    }
    if (cls == TStream::StaticClass()) {
        auto* s = As<TStream>(inst);
        if (name == "POSITION") return Int64Var(s->Position());
        if (name == "SIZE") return Int64Var(s->Size());
    }
    if (cls == TComponent::StaticClass() && name == "OWNER") return ObjectToVar(As<TComponent>(inst)->Owner());
    if (cls == TfsXMLItem::StaticClass()) {
        auto* x = As<TfsXMLItem>(inst);
        if (name == "DATA") return Variant(int(intptr_t(x->Data())));
        if (name == "COUNT") return Variant(x->Count());
        if (name == "NAME") return Variant(x->Name());
        if (name == "PARENT") return ObjectToVar(x->Parent());
        if (name == "TEXT") return Variant(x->Text());
    }
    if (cls == TfsXMLDocument::StaticClass() && name == "ROOT") return ObjectToVar(As<TfsXMLDocument>(inst)->Root());
    return Null();
}

void SetProp(TObject* inst, TClass cls, const std::string& name, const Variant& v)
{
    if (cls == TStrings::StaticClass()) {
        auto* s = As<TStrings>(inst);
        if (name == "COMMATEXT") s->SetCommaText(VarToStr(v));
        else if (name == "TEXT") s->SetText(VarToStr(v));
    } else if (cls == TStringList::StaticClass()) {
        auto* s = As<TStringList>(inst);
        if (name == "DUPLICATES") {
            int d = v.AsInteger();
            if (d < dupIgnore || d > dupError) throw ERangeError("Range check error");
            s->SetDuplicates(TDuplicates(d));
        } else if (name == "SORTED") {
            s->SetSorted(v.AsBoolean());
        }
    } else if (cls == TStream::StaticClass() && name == "POSITION") {
        As<TStream>(inst)->SetPosition(v.AsInt64());
    } else if (cls == TfsXMLItem::StaticClass()) {
        auto* x = As<TfsXMLItem>(inst);
        if (name == "DATA") x->SetData(reinterpret_cast<void*>(intptr_t(v.AsInteger())));
        else if (name == "NAME") x->SetName(VarToStr(v));
        else if (name == "TEXT") x->SetText(VarToStr(v));
    }
}

}  // namespace

namespace fs_iclassesrtti {

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = GetGlobalScript();
    if (!g) return;
    GInstance = new TfsClassesFunctions;
    g->Registrar = GInstance;
    static const std::pair<const char*, int> consts[] = {
        {"fmCreate", 65535}, {"fmOpenRead", 0}, {"fmOpenWrite", 1}, {"fmOpenReadWrite", 2},
        {"fmShareExclusive", 16}, {"fmShareDenyWrite", 32}, {"fmShareDenyNone", 64},
        {"soFromBeginning", 0}, {"soFromCurrent", 1}, {"soFromEnd", 2}};
    for (auto& c : consts) g->AddConst(c.first, "Integer", Variant(c.second));
    g->AddEnum("TDuplicates", "dupIgnore, dupAccept, dupError");

    TfsClassVariable* c = g->AddClass(TObject::StaticClass(), "");
    c->AddConstructor("constructor Create", CallObject);
    c->AddMethod("procedure Free", CallObject);
    static_cast<TfsMethodHelper*>(c->FindMember("Free"))->NilSafe = true;
    c->AddMethod("function ClassName: String", CallObject);

    c = g->AddClass(TPersistent::StaticClass(), "TObject");
    c->AddMethod("procedure Assign(Source: TPersistent)", CallPersistent);

    g->AddClass(TCollectionItem::StaticClass(), "TPersistent");

    c = g->AddClass(TCollection::StaticClass(), "TPersistent");
    c->AddMethod("procedure Clear", CallCollection);
    c->AddProperty("Count", "Integer", GetProp);
    c->AddDefaultProperty("Items", "Integer", "TCollectionItem", CallCollection, true);

    c = g->AddClass(TList::StaticClass(), "TObject");
    c->AddMethod("function Add(Item: TObject): Integer", CallList);
    c->AddMethod("procedure Clear", CallList);
    c->AddMethod("procedure Delete(Index: Integer)", CallList);
    c->AddMethod("function IndexOf(Item: TObject): Integer", CallList);
    c->AddMethod("procedure Insert(Index: Integer; Item: TObject)", CallList);
    c->AddMethod("function Remove(Item: TObject): Integer", CallList);
    c->AddProperty("Count", "Integer", GetProp);
    c->AddDefaultProperty("Items", "Integer", "TObject", CallList);

    c = g->AddClass(TStrings::StaticClass(), "TPersistent");
    c->AddMethod("function Add(const S: string): Integer", CallStrings);
    c->AddMethod("function AddObject(const S: string; AObject: TObject): Integer", CallStrings);
    c->AddMethod("procedure Clear", CallStrings);
    c->AddMethod("procedure Delete(Index: Integer)", CallStrings);
    c->AddMethod("function IndexOf(const S: string): Integer", CallStrings);
    c->AddMethod("function IndexOfName(const Name: string): Integer", CallStrings);
    c->AddMethod("function IndexOfObject(AObject: TObject): Integer", CallStrings);
    c->AddMethod("procedure Insert(Index: Integer; const S: string)", CallStrings);
    c->AddMethod("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)", CallStrings);
    c->AddMethod("procedure LoadFromFile(const FileName: string)", CallStrings);
    c->AddMethod("procedure LoadFromStream(Stream: TStream)", CallStrings);
    c->AddMethod("procedure SaveToFile(const FileName: string)", CallStrings);
    c->AddMethod("procedure SaveToStream(Stream: TStream)", CallStrings);
    c->AddProperty("CommaText", "string", GetProp, SetProp);
    c->AddProperty("Count", "Integer", GetProp);
    c->AddProperty("Text", "string", GetProp, SetProp);
    c->AddIndexProperty("Names", "Integer", "string", CallStrings, true);
    c->AddIndexProperty("Objects", "Integer", "TObject", CallStrings);
    c->AddIndexProperty("Values", "String", "string", CallStrings);
    c->AddDefaultProperty("Strings", "Integer", "string", CallStrings);

    c = g->AddClass(TStringList::StaticClass(), "TStrings");
    c->AddMethod("function Find(s: String; var Index: Integer): Boolean", CallStringList);
    c->AddMethod("procedure Sort", CallStringList);
    c->AddProperty("Duplicates", "TDuplicates", GetProp, SetProp);
    c->AddProperty("Sorted", "Boolean", GetProp, SetProp);

    c = g->AddClass(TStream::StaticClass(), "TObject");
    c->AddMethod("function Read(var Buffer: string; Count: Longint): Longint", CallStream);
    c->AddMethod("function Write(Buffer: string; Count: Longint): Longint", CallStream);
    c->AddMethod("function Seek(Offset: Longint; Origin: Word): Longint", CallStream);
    c->AddMethod("function CopyFrom(Source: TStream; Count: Longint): Longint", CallStream);
    c->AddProperty("Position", "Longint", GetProp, SetProp);
    c->AddProperty("Size", "Longint", GetProp);

    c = g->AddClass(TFileStream::StaticClass(), "TStream");
    c->AddConstructor("constructor Create(Filename: String; Mode: Word)", CallFileStream);

    c = g->AddClass(TMemoryStream::StaticClass(), "TStream");
    c->AddMethod("procedure Clear", CallMemoryStream);
    c->AddMethod("procedure LoadFromStream(Stream: TStream)", CallMemoryStream);
    c->AddMethod("procedure LoadFromFile(Filename: String)", CallMemoryStream);
    c->AddMethod("procedure SaveToStream(Stream: TStream)", CallMemoryStream);
    c->AddMethod("procedure SaveToFile(Filename: String)", CallMemoryStream);

    c = g->AddClass(TComponent::StaticClass(), "TPersistent");
    c->AddConstructor("constructor Create(AOwner: TComponent)", CallComponent);
    c->AddProperty("Owner", "TComponent", GetProp);

    c = g->AddClass(TfsXMLItem::StaticClass(), "TObject");
    c->AddConstructor("constructor Create", CallXMLItem);
    c->AddMethod("procedure AddItem(Item: TfsXMLItem)", CallXMLItem);
    c->AddMethod("procedure Clear", CallXMLItem);
    c->AddMethod("procedure InsertItem(Index: Integer; Item: TfsXMLItem)", CallXMLItem);
    c->AddMethod("function Add: TfsXMLItem", CallXMLItem);
    c->AddMethod("function Find(const Name: String): Integer", CallXMLItem);
    c->AddMethod("function FindItem(const Name: String): TfsXMLItem", CallXMLItem);
    c->AddMethod("function Prop(const Name: String): String", CallXMLItem);
    c->AddMethod("function Root: TfsXMLItem", CallXMLItem);
    c->AddProperty("Data", "Integer", GetProp, SetProp);
    c->AddProperty("Count", "Integer", GetProp);
    c->AddProperty("Name", "String", GetProp, SetProp);
    c->AddProperty("Parent", "TfsXMLItem", GetProp);
    c->AddProperty("Text", "String", GetProp, SetProp);
    c->AddDefaultProperty("Items", "Integer", "TfsXMLItem", CallXMLItem, true);

    c = g->AddClass(TfsXMLDocument::StaticClass(), "TObject");
    c->AddConstructor("constructor Create", CallXMLDocument);
    c->AddMethod("procedure SaveToStream(Stream: TStream)", CallXMLDocument);
    c->AddMethod("procedure LoadFromStream(Stream: TStream)", CallXMLDocument);
    c->AddMethod("procedure SaveToFile(const FileName: String)", CallXMLDocument);
    c->AddMethod("procedure LoadFromFile(const FileName: String)", CallXMLDocument);
    c->AddProperty("Root", "TfsXMLItem", GetProp);
    g->Registrar = nullptr;
}

void Finalize()
{
    fs_iinterpreter::RemoveRegistration(GInstance);
    GInstance = nullptr;
}

}  // namespace fs_iclassesrtti
