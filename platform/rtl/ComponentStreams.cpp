#include "ComponentStreams.h"
#include "Lists.h"
#include "SysUtils.h"

#include <climits>
#include <cstring>

QZ_CLASS_IMPL(TFiler, TObject)
QZ_CLASS_IMPL(TWriter, TFiler)
QZ_CLASS_IMPL(TReader, TFiler)

namespace {

constexpr char Signature[4] = {'H', 'Y', 'C', 'S'};
constexpr uint8_t FormatVersion = 1;
// Nested objects, lists, arrays and children deeper than this are no tree
// anybody built: refuse them rather than exhaust the stack.
constexpr int MaxNesting = 200;

const char* const SInvalidPropertyValue = "Invalid property value";

[[noreturn]] void Corrupt(const std::string& what)
{
    throw EReadError("Invalid stream format: " + what);
}

bool IsBooleanProp(PPropInfo info)
{
    return info->Kind == tkEnumeration && info->TypeInfo == TypeInfoOf<bool>();
}

int IndexOfName(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], name)) return int(i);
    return -1;
}

// Counts one level of nesting for as long as it lives.
class TNesting {
public:
    template <class Raise> TNesting(int& depth, Raise raise) : FDepth(depth)
    {
        if (FDepth >= MaxNesting) raise();
        ++FDepth;
    }
    ~TNesting() { --FDepth; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

private:
    int& FDepth;
};

uint64_t ZigZag(int64_t v) { return (uint64_t(v) << 1) ^ uint64_t(v >> 63); }
int64_t UnZigZag(uint64_t v) { return int64_t(v >> 1) ^ -int64_t(v & 1); }

}   // namespace

// ---- TStream members ---------------------------------------------------------------

void TStream::WriteComponent(TComponent* instance)
{
    TWriter writer(this);
    writer.WriteRootComponent(instance);
}

TComponent* TStream::ReadComponent(TComponent* instance)
{
    TReader reader(this);
    return reader.ReadRootComponent(instance);
}

// ---- TWriter -------------------------------------------------------------------------

void TWriter::WriteValue(TStreamValue tag) { FStream->WriteByte(uint8_t(tag)); }

void TWriter::WriteUInt(uint64_t value)
{
    uint8_t buf[10];
    int n = 0;
    do {
        uint8_t b = value & 0x7F;
        value >>= 7;
        buf[n++] = value ? uint8_t(b | 0x80) : b;
    } while (value);
    FStream->WriteBuffer(buf, n);
}

void TWriter::WriteStr(const std::string& s)
{
    WriteUInt(s.size());
    FStream->WriteString(s);
}

void TWriter::WriteName(const std::string& name) { WriteStr(name); }

void TWriter::WriteInteger(int64_t value)
{
    WriteValue(TStreamValue::Int);
    WriteUInt(ZigZag(value));
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? TStreamValue::True : TStreamValue::False); }

void TWriter::WriteFloat(double value)
{
    WriteValue(TStreamValue::Float);
    FStream->WriteDouble(value);
}

void TWriter::WriteString(const std::string& value)
{
    WriteValue(TStreamValue::String);
    WriteStr(value);
}

void TWriter::WriteIdent(const std::string& value)
{
    WriteValue(TStreamValue::Ident);
    WriteStr(value);
}

void TWriter::WriteChar(char value)
{
    WriteValue(TStreamValue::Char);
    FStream->WriteByte(uint8_t(value));
}

void TWriter::WriteListBegin() { WriteValue(TStreamValue::List); }
void TWriter::WriteListEnd() { WriteValue(TStreamValue::End); }

void TWriter::WriteVariant(const Variant& value)
{
    if (value.IsArray()) {
        if (VarArrayDimCount(value) != 1)
            throw EWriteError("Cannot store a variant array of more than one dimension");
        TNesting nest(FDepth, [] { throw EWriteError("Values nest too deep to store"); });
        int lo = VarArrayLowBound(value, 1), hi = VarArrayHighBound(value, 1);
        WriteValue(TStreamValue::Array);
        WriteUInt(ZigZag(lo));
        WriteUInt(uint64_t(int64_t(hi) - lo + 1));
        for (int i = lo; i <= hi; ++i) WriteVariant(VarArrayGet(value, {i}));
        return;
    }
    switch (value.VType() & varTypeMask) {
    case varEmpty: WriteValue(TStreamValue::Empty); return;
    case varNull: WriteValue(TStreamValue::Null); return;
    case varBoolean: WriteBoolean(value.RawBool()); return;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
        WriteInteger(value.RawInt());
        return;
    case varSingle: case varDouble: case varFMTBcd:
        WriteFloat(value.RawDouble());
        return;
    case varCurrency:
        WriteValue(TStreamValue::Currency);
        FStream->WriteInt64(value.RawInt());
        return;
    case varDate: case varSQLTimeStamp:
        WriteValue(TStreamValue::Date);
        FStream->WriteDouble(value.RawDouble());
        return;
    case varString:
        WriteString(value.RawString());
        return;
    case varOleStr:
        WriteValue(TStreamValue::WideString);
        WriteStr(value.RawString());
        return;
    default:
        throw EWriteError("Cannot store a variant of type " + VarTypeAsText(value.VType()));
    }
}

void TWriter::WriteCollection(TCollection* collection)
{
    TNesting nest(FDepth, [] { throw EWriteError("Values nest too deep to store"); });
    WriteValue(TStreamValue::Collection);
    for (int i = 0; i < collection->Count(); ++i) {
        WriteValue(TStreamValue::Item);
        WriteProperties(collection->Items(i));
    }
    WriteValue(TStreamValue::End);
}

void TWriter::DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData)
{
    if (!hasData || !writeData) return;
    WriteName(name);
    writeData(this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const TStreamProc&,
                                   const TStreamProc& writeData, bool hasData)
{
    if (!hasData || !writeData) return;
    // The length goes before the bytes, so they are gathered first.
    TMemoryStream data;
    writeData(&data);
    WriteName(name);
    WriteValue(TStreamValue::Binary);
    WriteUInt(uint64_t(data.Size()));
    if (data.Size() > 0) FStream->CopyFrom(&data, 0);
}

void TWriter::WriteRootComponent(TComponent* root)
{
    if (!root) throw EWriteError("Cannot store a nil component");
    // The whole tree is put together first: a property that cannot be
    // stored leaves the target stream as it was.
    TMemoryStream buffer;
    TStream* target = FStream;
    FStream = &buffer;
    FRoot = root;
    try {
        FStream->WriteBuffer(Signature, 4);
        FStream->WriteByte(FormatVersion);
        WriteComponentData(root);
    } catch (...) {
        FStream = target;
        FRoot = nullptr;
        throw;
    }
    FStream = target;
    FRoot = nullptr;
    target->CopyFrom(&buffer, 0);
}

void TWriter::WriteComponentData(TComponent* component)
{
    TNesting nest(FDepth, [] { throw EWriteError("Components nest too deep to store"); });
    bool wasWriting = component->ComponentState().Contains(csWriting);
    component->SetComponentStateFlag(csWriting, true);
    try {
        WriteStr(component->ClassName());
        WriteStr(component->Name());
        WriteProperties(component);
        component->GetChildren(
            [this](TComponent* child) {
                WriteValue(TStreamValue::Component);
                WriteComponentData(child);
            },
            FRoot);
        WriteValue(TStreamValue::End);
    } catch (...) {
        if (!wasWriting) component->SetComponentStateFlag(csWriting, false);
        throw;
    }
    if (!wasWriting) component->SetComponentStateFlag(csWriting, false);
}

void TWriter::WriteProperties(TPersistent* instance)
{
    TNesting nest(FDepth, [] { throw EWriteError("Objects nest too deep to store"); });
    for (PPropInfo info : GetPropList(instance)) WriteProperty(instance, info);
    instance->DefineProperties(this);
    WriteValue(TStreamValue::End);   // the empty name
}

void TWriter::WriteProperty(TPersistent* instance, PPropInfo info)
{
    if (!IsStoredProp(instance, info)) return;
    switch (info->Kind) {
    case tkMethod:
        return;   // a delegate has no name to store
    case tkClass: {
        TObject* obj = info->GetObj ? info->GetObj(instance) : nullptr;
        if (!obj) return;   // nil is the default
        if (auto* c = DynamicCast<TComponent>(obj)) {
            if (!info->SetObj) return;
            WriteName(info->Name);
            WriteReference(c, info);
        } else if (auto* coll = DynamicCast<TCollection>(obj)) {
            WriteName(info->Name);
            WriteCollection(coll);
        } else if (auto* p = DynamicCast<TPersistent>(obj)) {
            WriteName(info->Name);
            WriteValue(TStreamValue::Object);
            WriteProperties(p);
        }
        return;
    }
    case tkInteger: case tkInt64: case tkChar: case tkWChar: case tkEnumeration: case tkSet:
        if (!info->GetOrd) return;
        break;
    case tkFloat:
        if (!info->GetFloat) return;
        break;
    case tkString: case tkLString: case tkWString:
        if (!info->GetStr) return;
        break;
    case tkVariant:
        if (!info->GetVar) return;
        break;
    default:
        return;   // no stored form
    }
    // What cannot be read back is not written.
    if (!IsWritableProp(info) || IsDefaultPropValue(instance, info)) return;
    WriteName(info->Name);
    switch (info->Kind) {
    case tkInteger: case tkInt64: case tkWChar:
        WriteInteger(info->GetOrd(instance));
        break;
    case tkChar:
        WriteChar(char(info->GetOrd(instance)));
        break;
    case tkEnumeration: {
        int64_t v = info->GetOrd(instance);
        if (IsBooleanProp(info))
            WriteBoolean(v != 0);
        else if (v >= 0 && v < int64_t(info->ValueNames.size()))
            WriteIdent(info->ValueNames[size_t(v)]);
        else
            WriteInteger(v);
        break;
    }
    case tkSet: {
        uint64_t bits = uint64_t(info->GetOrd(instance));
        std::vector<const std::string*> names;
        for (size_t i = 0; i < info->ValueNames.size() && i < 64; ++i)
            if (bits & (uint64_t(1) << i)) names.push_back(&info->ValueNames[i]);
        WriteValue(TStreamValue::Set);
        WriteUInt(names.size());
        for (const std::string* n : names) WriteStr(*n);
        break;
    }
    case tkFloat:
        WriteFloat(info->GetFloat(instance));
        break;
    case tkVariant:
        WriteVariant(info->GetVar(instance));
        break;
    default:
        WriteString(info->GetStr(instance));
        break;
    }
}

void TWriter::WriteReference(TComponent* target, PPropInfo info)
{
    // The path of owners below the root: only what is read with the root
    // can be found again when it is read.
    std::string path;
    TComponent* c = target;
    while (c && c != FRoot) {
        if (c->Name().empty()) break;
        path = path.empty() ? c->Name() : c->Name() + "." + path;
        c = c->Owner();
    }
    if (c != FRoot)
        throw EWriteError("Cannot store the reference of " + info->Name + " to " +
                          (target->Name().empty() ? "an unnamed " + target->ClassName()
                                                  : target->Name()) +
                          ": it is not part of the component being written");
    WriteIdent(path);
}

// ---- TReader -------------------------------------------------------------------------

struct TReader::TFixup {
    TWeakRef<TObject> Instance;
    PPropInfo Info;
    std::string Path;
};

struct TReader::TReadState {
    std::vector<TWeakRef<TComponent>> Loading;   // every component read, in order
    std::vector<TWeakRef<TComponent>> Created;   // those this read made
    std::vector<TFixup> Fixups;
};

TReader::TReader(TStream* stream) : TFiler(stream), FSize(stream->Size()), FPos(stream->Position()) {}
TReader::~TReader() = default;

void TReader::Need(uint64_t count)
{
    if (count > uint64_t(FSize - FPos)) Corrupt("the component stream ends early");
}

void TReader::ReadRaw(void* buffer, uint64_t count)
{
    Need(count);
    if (count > uint64_t(INT_MAX)) Corrupt("a value is too long");
    FStream->ReadBuffer(buffer, int(count));
    FPos += int64_t(count);
}

uint8_t TReader::ReadByteChecked()
{
    uint8_t b;
    ReadRaw(&b, 1);
    return b;
}

uint64_t TReader::ReadUInt()
{
    uint64_t v = 0;
    for (int shift = 0; shift < 70; shift += 7) {
        uint8_t b = ReadByteChecked();
        if (shift == 63 && b > 1) Corrupt("a number is out of range");
        v |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80)) return v;
    }
    Corrupt("a number is out of range");
}

int64_t TReader::ReadSInt() { return UnZigZag(ReadUInt()); }

std::string TReader::ReadStr()
{
    uint64_t len = ReadUInt();
    Need(len);
    std::string s(size_t(len), '\0');
    if (len) ReadRaw(s.data(), len);
    return s;
}

double TReader::ReadDoubleRaw()
{
    Need(8);
    double d = FStream->ReadDouble();
    FPos += 8;
    return d;
}

int64_t TReader::ReadInt64Raw()
{
    Need(8);
    int64_t v = FStream->ReadInt64();
    FPos += 8;
    return v;
}

namespace {
bool IsKnownTag(uint8_t b) { return b <= uint8_t(TStreamValue::Component); }
}

TStreamValue TReader::ReadValue()
{
    uint8_t b = ReadByteChecked();
    if (!IsKnownTag(b)) Corrupt("unknown value tag " + IntToStr(int(b)));
    return TStreamValue(b);
}

TStreamValue TReader::NextValue()
{
    TStreamValue tag = ReadValue();
    FStream->Seek(-1, soCurrent);
    --FPos;
    return tag;
}

void TReader::BadValue() { throw EReadError(SInvalidPropertyValue); }

void TReader::ExpectValue(TStreamValue tag)
{
    if (ReadValue() != tag) BadValue();
}

int64_t TReader::ReadInt64()
{
    ExpectValue(TStreamValue::Int);
    return ReadSInt();
}

int TReader::ReadInteger()
{
    int64_t v = ReadInt64();
    if (v < INT_MIN || v > INT_MAX) BadValue();
    return int(v);
}

bool TReader::ReadBoolean()
{
    TStreamValue tag = ReadValue();
    if (tag != TStreamValue::False && tag != TStreamValue::True) BadValue();
    return tag == TStreamValue::True;
}

double TReader::ReadFloat()
{
    TStreamValue tag = ReadValue();
    if (tag == TStreamValue::Int) return double(ReadSInt());
    if (tag != TStreamValue::Float) BadValue();
    return ReadDoubleRaw();
}

std::string TReader::ReadString()
{
    ExpectValue(TStreamValue::String);
    return ReadStr();
}

std::string TReader::ReadIdent()
{
    ExpectValue(TStreamValue::Ident);
    return ReadStr();
}

char TReader::ReadChar()
{
    ExpectValue(TStreamValue::Char);
    return char(ReadByteChecked());
}

void TReader::ReadListBegin() { ExpectValue(TStreamValue::List); }
void TReader::ReadListEnd() { ExpectValue(TStreamValue::End); }

Variant TReader::ReadVariant() { return ReadVariantValue(ReadValue()); }

Variant TReader::ReadVariantValue(TStreamValue tag)
{
    switch (tag) {
    case TStreamValue::Empty: return Unassigned();
    case TStreamValue::Null: return Null();
    case TStreamValue::False: return Variant(false);
    case TStreamValue::True: return Variant(true);
    case TStreamValue::Int: {
        int64_t v = ReadSInt();
        if (v >= INT_MIN && v <= INT_MAX) return Variant(int(v));
        return Variant::FromInt64(v);
    }
    case TStreamValue::Float: return Variant(ReadDoubleRaw());
    case TStreamValue::Currency: return Variant(Currency::FromRaw(ReadInt64Raw()));
    case TStreamValue::Date: return Variant::FromDate(ReadDoubleRaw());
    case TStreamValue::String: return Variant(ReadStr());
    case TStreamValue::WideString: return Variant::FromWide(ReadStr());
    case TStreamValue::Array: {
        TNesting nest(FDepth, [] { Corrupt("values nest too deep"); });
        int64_t lo = ReadSInt();
        uint64_t count = ReadUInt();
        Need(count);   // every element takes a byte at least
        if (lo < INT_MIN || lo > INT_MAX || int64_t(count) > int64_t(INT_MAX) - lo + 1)
            Corrupt("an array's bounds are out of range");
        Variant a = VarArrayCreate({int(lo), int(lo + int64_t(count) - 1)}, varVariant);
        for (uint64_t i = 0; i < count; ++i) VarArrayPut(a, ReadVariant(), {int(lo + int64_t(i))});
        return a;
    }
    default:
        BadValue();
    }
}

void TReader::SkipValue(TStreamValue tag)
{
    TNesting nest(FDepth, [] { Corrupt("values nest too deep"); });
    switch (tag) {
    case TStreamValue::Nil: case TStreamValue::False: case TStreamValue::True:
    case TStreamValue::Empty: case TStreamValue::Null:
        return;
    case TStreamValue::Int: ReadUInt(); return;
    case TStreamValue::Float: case TStreamValue::Currency: case TStreamValue::Date:
        ReadInt64Raw();
        return;
    case TStreamValue::String: case TStreamValue::Ident: case TStreamValue::WideString:
        ReadStr();
        return;
    case TStreamValue::Char: ReadByteChecked(); return;
    case TStreamValue::Set: {
        uint64_t n = ReadUInt();
        Need(n);
        for (uint64_t i = 0; i < n; ++i) ReadStr();
        return;
    }
    case TStreamValue::List:
        for (TStreamValue t = ReadValue(); t != TStreamValue::End; t = ReadValue()) SkipValue(t);
        return;
    case TStreamValue::Object:
        while (!ReadStr().empty()) SkipValue(ReadValue());
        return;
    case TStreamValue::Collection:
        for (TStreamValue t = ReadValue(); t != TStreamValue::End; t = ReadValue()) {
            if (t != TStreamValue::Item) BadValue();
            SkipValue(TStreamValue::Object);
        }
        return;
    case TStreamValue::Binary: {
        uint64_t n = ReadUInt();
        Need(n);
        FStream->Seek(int64_t(n), soCurrent);
        FPos += int64_t(n);
        return;
    }
    case TStreamValue::Array: {
        ReadSInt();
        uint64_t n = ReadUInt();
        Need(n);
        for (uint64_t i = 0; i < n; ++i) SkipValue(ReadValue());
        return;
    }
    default:
        BadValue();
    }
}

void TReader::DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc&,
                             bool)
{
    if (!FPropName || FPropHandled || !SameText(name, *FPropName)) return;
    FPropHandled = true;
    FPropName = nullptr;
    if (readData)
        readData(this);
    else
        SkipValue(ReadValue());
    // Reading nested objects (a collection) reads their properties through
    // ReadProperty, which clears the flag: this property was handled still.
    FPropHandled = true;
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                                   const TStreamProc&, bool)
{
    if (!FPropName || FPropHandled || !SameText(name, *FPropName)) return;
    FPropHandled = true;
    FPropName = nullptr;
    ExpectValue(TStreamValue::Binary);
    uint64_t len = ReadUInt();
    Need(len);
    TMemoryStream data;
    if (len) {
        data.SetSize(int64_t(len));
        ReadRaw(data.Memory(), len);
    }
    data.SetPosition(0);
    if (readData) readData(&data);
}

TComponent* TReader::ReadRootComponent(TComponent* root)
{
    FState = std::make_unique<TReadState>();
    FSize = FStream->Size();
    FPos = FStream->Position();
    FDepth = 0;
    try {
        char sig[4];
        Need(sizeof sig + 1);
        ReadRaw(sig, sizeof sig);
        if (std::memcmp(sig, Signature, sizeof sig) != 0) Corrupt("not a component stream");
        uint8_t version = ReadByteChecked();
        if (version != FormatVersion)
            Corrupt("component stream version " + IntToStr(int(version)) + " is not supported");
        TComponent* result = ReadComponentData(root, nullptr);
        ResolveFixups();
        for (const auto& w : FState->Loading)
            if (TComponent* c = w.Get()) c->SetComponentStateFlag(csReading, false);
        for (const auto& w : FState->Loading)
            if (TComponent* c = w.Get()) {
                c->Loaded();
                c->SetComponentStateFlag(csLoading, false);
            }
        FState.reset();
        FRoot = nullptr;
        return result;
    } catch (...) {
        for (const auto& w : FState->Loading)
            if (TComponent* c = w.Get()) {
                c->SetComponentStateFlag(csReading, false);
                c->SetComponentStateFlag(csLoading, false);
            }
        // Last made first: children go before the root that owns them.
        for (auto it = FState->Created.rbegin(); it != FState->Created.rend(); ++it)
            if (TComponent* c = it->Get()) FreeObject(c);
        FState.reset();
        FRoot = nullptr;
        throw;
    }
}

TComponent* TReader::CreateComponent(const std::string& className, TComponent* owner)
{
    TClass cls = FindClass(className);   // raises EClassNotFound
    if (!cls->InheritsFrom(TComponent::StaticClass()))
        throw EReadError("Cannot read a " + className + ": it is not a component class");
    TObject* o = cls->Create(owner);
    if (!o) throw EReadError("Cannot create an instance of " + className);
    auto* c = static_cast<TComponent*>(o);
    FState->Created.emplace_back(c);
    return c;
}

TComponent* TReader::ReadComponentData(TComponent* instance, TComponent* parent)
{
    TNesting nest(FDepth, [] { Corrupt("components nest too deep"); });
    std::string className = ReadStr();
    std::string name = ReadStr();
    if (className.empty()) Corrupt("a component has no class name");
    // A name no component may carry is damage, not a rename to refuse later.
    if (!name.empty() && !IsValidIdent(name)) Corrupt("'" + name + "' is not a valid component name");
    if (!parent) {
        if (!instance) {
            instance = CreateComponent(className, nullptr);
        } else if (!SameText(instance->ClassName(), className)) {
            TClass cls = GetClass(className);
            if (!cls || !instance->InheritsFrom(cls))
                throw EReadError("The stream holds a " + className + ", which cannot be read into a " +
                                 instance->ClassName());
        }
        FRoot = instance;
    } else {
        instance = name.empty() ? nullptr : FRoot->FindComponent(name);
        if (instance && !SameText(instance->ClassName(), className))
            throw EReadError("The stream holds " + name + " as a " + className + ", but " + name +
                             " is a " + instance->ClassName());
        if (!instance) instance = CreateComponent(className, FRoot);
    }
    FState->Loading.emplace_back(instance);
    instance->SetComponentStateFlag(csLoading, true);
    instance->SetComponentStateFlag(csReading, true);
    if (instance->Name() != name) instance->SetName(name);
    if (parent && instance->HasParent()) instance->SetParentComponent(parent);
    ReadProperties(instance);
    for (TStreamValue tag = ReadValue(); tag != TStreamValue::End; tag = ReadValue()) {
        if (tag != TStreamValue::Component) Corrupt("a component's children are damaged");
        ReadComponentData(nullptr, instance);
    }
    return instance;
}

void TReader::ReadProperties(TPersistent* instance)
{
    TNesting nest(FDepth, [] { Corrupt("objects nest too deep"); });
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) ReadProperty(instance, name);
}

void TReader::ReadProperty(TPersistent* instance, const std::string& name)
{
    // The defined properties come first: the class's DefineProperties hands
    // the one of this name its reader.
    FPropName = &name;
    FPropHandled = false;
    try {
        instance->DefineProperties(this);
    } catch (...) {
        FPropName = nullptr;
        FPropHandled = false;
        throw;
    }
    bool handled = FPropHandled;
    FPropName = nullptr;
    FPropHandled = false;
    if (handled) return;
    PPropInfo info = GetPropInfo(instance, name);
    if (!info) throw EReadError("Property " + name + " does not exist");
    ReadPublished(instance, info);
}

void TReader::ReadPublished(TPersistent* instance, PPropInfo info)
{
    TStreamValue tag = ReadValue();
    if (info->Kind == tkClass) {
        ReadObjectValue(instance, info, tag);
        return;
    }
    if (!IsWritableProp(info)) throw EReadError("Property " + info->Name + " is read-only");
    switch (info->Kind) {
    case tkInteger: case tkInt64: case tkWChar: {
        if (tag != TStreamValue::Int) BadValue();
        int64_t v = ReadSInt();
        if (info->Kind == tkInteger && (v < INT_MIN || v > INT_MAX)) BadValue();
        if (info->Kind == tkWChar && (v < 0 || v > 0xFFFF)) BadValue();
        info->SetOrd(instance, v);
        return;
    }
    case tkChar:
        if (tag != TStreamValue::Char) BadValue();
        info->SetOrd(instance, ReadByteChecked());
        return;
    case tkEnumeration: {
        int64_t v;
        if (IsBooleanProp(info) && (tag == TStreamValue::False || tag == TStreamValue::True)) {
            v = tag == TStreamValue::True;
        } else if (tag == TStreamValue::Ident) {
            std::string s = ReadStr();
            v = IndexOfName(info->ValueNames, s);
            if (v < 0) throw EReadError("Invalid property value " + s + " for " + info->Name);
        } else if (tag == TStreamValue::Int) {
            v = ReadSInt();
            if (v < 0 || v >= int64_t(info->ValueNames.size())) BadValue();
        } else {
            BadValue();
        }
        info->SetOrd(instance, v);
        return;
    }
    case tkSet: {
        if (tag != TStreamValue::Set) BadValue();
        uint64_t n = ReadUInt();
        Need(n);
        uint64_t bits = 0;
        for (uint64_t i = 0; i < n; ++i) {
            std::string s = ReadStr();
            int e = IndexOfName(info->ValueNames, s);
            if (e < 0 || e >= 64) throw EReadError("Invalid property element: " + s);
            bits |= uint64_t(1) << e;
        }
        info->SetOrd(instance, int64_t(bits));
        return;
    }
    case tkFloat:
        if (tag == TStreamValue::Int)
            info->SetFloat(instance, double(ReadSInt()));
        else if (tag == TStreamValue::Float)
            info->SetFloat(instance, ReadDoubleRaw());
        else
            BadValue();
        return;
    case tkString: case tkLString: case tkWString:
        if (tag != TStreamValue::String) BadValue();
        info->SetStr(instance, ReadStr());
        return;
    case tkVariant:
        info->SetVar(instance, ReadVariantValue(tag));
        return;
    default:
        BadValue();
    }
}

void TReader::ReadObjectValue(TPersistent* instance, PPropInfo info, TStreamValue tag)
{
    bool isComponentClass = info->PropClass && info->PropClass->InheritsFrom(TComponent::StaticClass());
    switch (tag) {
    case TStreamValue::Nil:
        if (!info->SetObj) BadValue();
        info->SetObj(instance, nullptr);
        return;
    case TStreamValue::Ident: {
        std::string path = ReadStr();
        if (!info->SetObj || !isComponentClass) BadValue();
        FState->Fixups.push_back({TWeakRef<TObject>(instance), info, path});
        return;
    }
    case TStreamValue::Object: {
        auto* p = info->GetObj ? DynamicCast<TPersistent>(info->GetObj(instance)) : nullptr;
        if (!p || p->Is<TComponent>() || p->Is<TCollection>())
            throw EReadError("Property " + info->Name + " has no object to read into");
        ReadProperties(p);
        return;
    }
    case TStreamValue::Collection: {
        auto* c = info->GetObj ? DynamicCast<TCollection>(info->GetObj(instance)) : nullptr;
        if (!c) throw EReadError("Property " + info->Name + " has no collection to read into");
        ReadCollectionItems(c);
        return;
    }
    default:
        BadValue();
    }
}

void TReader::ReadCollection(TCollection* collection)
{
    ExpectValue(TStreamValue::Collection);
    ReadCollectionItems(collection);
}

void TReader::ReadCollectionItems(TCollection* collection)
{
    TNesting nest(FDepth, [] { Corrupt("objects nest too deep"); });
    collection->BeginUpdate();
    try {
        collection->Clear();
        for (TStreamValue tag = ReadValue(); tag != TStreamValue::End; tag = ReadValue()) {
            if (tag != TStreamValue::Item) BadValue();
            ReadProperties(collection->Add());
        }
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
}

TComponent* TReader::FindReference(const std::string& path) const
{
    TComponent* c = FRoot;
    size_t start = 0;
    while (c && start < path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos) dot = path.size();
        c = c->FindComponent(path.substr(start, dot - start));
        start = dot + 1;
    }
    return c;
}

void TReader::ResolveFixups()
{
    for (const TFixup& f : FState->Fixups) {
        TObject* o = f.Instance.Get();
        if (!o) continue;   // its holder went while reading
        TComponent* target = FindReference(f.Path);
        if (!target)
            throw EReadError("Component " + (f.Path.empty() ? std::string("(root)") : f.Path) +
                             " named by property " + f.Info->Name + " was not found");
        if (f.Info->PropClass && !target->InheritsFrom(f.Info->PropClass))
            throw EReadError("Invalid property value: " + f.Path + " is not a " + f.Info->PropClass->Name);
        f.Info->SetObj(o, target);
    }
}
