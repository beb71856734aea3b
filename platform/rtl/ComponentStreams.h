// The component stream: a component, its published properties, the extra
// data it defines through DefineProperties, its collections and nested
// persistent objects, and the child components it lists through GetChildren,
// written to a TStream and read back (TStream::WriteComponent and
// TStream::ReadComponent).
//
// Byte format (version 1). Every integer of the framing is little-endian;
// "uint" is an unsigned LEB128 varint of at most 10 bytes, "sint" a
// zigzag-coded varint; "str" is a uint byte length followed by that many
// bytes of UTF-8 text.
//
//   stream     = "HYCS" (4 bytes) version:byte(1) component
//   component  = className:str name:str props children
//   props      = { propName:str value } 00          a name is never empty, so
//                                                    the empty name closes the list
//   children   = { 15 component } 00
//   value      = one tag byte and its payload:
//     00 end       closes a list, a collection or the children
//     01 nil       nil object or component reference
//     02 false     03 true
//     04 int       sint (Integer, Int64, ordinals without names)
//     05 float     8 bytes IEEE double
//     06 string    str
//     07 ident     str: enumeration value name; component reference as the
//                  dot-separated owner path below the root ("" is the root)
//     08 set       uint count, then count element names as str
//     09 char      1 byte
//     0A list      values up to end (TWriter::WriteListBegin/End)
//     0B object    props of a nested persistent object, written in place
//     0C collection  { 0D props } 00, one 0D (item) per collection item
//     0E binary    uint length, then the bytes (DefineBinaryProperty)
//     0F empty     10 null          (Variant)
//     11 currency  8 bytes: the amount times 10000
//     12 date      8 bytes IEEE double (TDateTime)
//     13 widestring  str (a Variant's wide text)
//     14 array     sint low bound, uint count, count values (a Variant array
//                  of one dimension)
//     15 component opens a child component
//
// A property equal to its default (see IsDefaultPropValue) and a property
// whose stored flag says no are not written; events are not stored (a
// delegate has no name to write). Reading checks every tag, length and count
// against the bytes left in the stream: a truncated or corrupt stream raises
// EReadError and reads nothing past its end.
#pragma once

#include "Components.h"
#include "Streams.h"
#include "TypInfo.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TReader;
class TWriter;
class TCollection;

// The value tags of the component stream (see above).
enum class TStreamValue : uint8_t {
    End = 0x00, Nil = 0x01, False = 0x02, True = 0x03, Int = 0x04, Float = 0x05,
    String = 0x06, Ident = 0x07, Set = 0x08, Char = 0x09, List = 0x0A, Object = 0x0B,
    Collection = 0x0C, Item = 0x0D, Binary = 0x0E, Empty = 0x0F, Null = 0x10,
    Currency = 0x11, Date = 0x12, WideString = 0x13, Array = 0x14, Component = 0x15
};

// The common base of TReader and TWriter, handed to DefineProperties. A
// class names there the data it stores beyond its published properties:
// DefineProperty for values written with the writer's primitives,
// DefineBinaryProperty for raw bytes of its own format. hasData tells the
// writer whether there is anything to write (the reader ignores it).
class TFiler : public TObject {
    QZ_CLASS(TFiler, TObject)
public:
    using TReaderProc = std::function<void(TReader* reader)>;
    using TWriterProc = std::function<void(TWriter* writer)>;
    using TStreamProc = std::function<void(TStream* stream)>;

    explicit TFiler(TStream* stream) : FStream(stream) {}

    virtual void DefineProperty(const std::string& name, const TReaderProc& readData,
                                const TWriterProc& writeData, bool hasData) = 0;
    virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;

    TStream* Stream() const { return FStream; }
    // The component being written or read as a whole.
    TComponent* Root() const { return FRoot; }
    // Streams are always written against no ancestor.
    TPersistent* Ancestor() const { return nullptr; }

protected:
    TStream* FStream;
    TComponent* FRoot = nullptr;
};

class TWriter : public TFiler {
    QZ_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    void DefineProperty(const std::string& name, const TReaderProc& readData,
                        const TWriterProc& writeData, bool hasData) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                              const TStreamProc& writeData, bool hasData) override;

    // Writes the signature, the version and root with its whole tree.
    void WriteRootComponent(TComponent* root);

    void WriteInteger(int64_t value);
    void WriteBoolean(bool value);
    void WriteFloat(double value);
    void WriteString(const std::string& value);
    void WriteIdent(const std::string& value);
    void WriteChar(char value);
    // Raises EWriteError for interfaces, errors and arrays of more than one
    // dimension, which have no stored form.
    void WriteVariant(const Variant& value);
    void WriteListBegin();
    void WriteListEnd();
    void WriteCollection(TCollection* collection);

private:
    void WriteComponentData(TComponent* component);
    void WriteProperties(TPersistent* instance);
    void WriteProperty(TPersistent* instance, PPropInfo info);
    void WriteReference(TComponent* target, PPropInfo info);
    void WriteValue(TStreamValue tag);
    void WriteUInt(uint64_t value);
    void WriteStr(const std::string& s);
    void WriteName(const std::string& name);

    int FDepth = 0;
};

class TReader : public TFiler {
    QZ_CLASS(TReader, TFiler)
public:
    explicit TReader(TStream* stream);
    ~TReader() override;

    void DefineProperty(const std::string& name, const TReaderProc& readData,
                        const TWriterProc& writeData, bool hasData) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                              const TStreamProc& writeData, bool hasData) override;

    // Reads the component the stream holds into root, or, when root is nil,
    // into a new component of the class the stream names (found through the
    // class registry). The stream's child components are found among root's
    // owned components by name, or made (owned by root) by class name.
    // References are resolved once the whole tree is read, then Loaded runs
    // on every component read. On failure the components this read made are
    // freed again, no component is left loading, and the error goes on.
    TComponent* ReadRootComponent(TComponent* root);

    // The tag of the next value, without reading it.
    TStreamValue NextValue();
    // Whether the next value is the end of a list (which it does not read).
    bool EndOfList() { return NextValue() == TStreamValue::End; }

    // Each raises EReadError when the next value is of another kind.
    int ReadInteger();          // raises when outside Integer's range
    int64_t ReadInt64();
    bool ReadBoolean();
    double ReadFloat();         // accepts an integer value too
    std::string ReadString();
    std::string ReadIdent();
    char ReadChar();
    Variant ReadVariant();
    void ReadListBegin();
    void ReadListEnd();
    // Replaces the items of collection by those of the stream.
    void ReadCollection(TCollection* collection);

private:
    struct TFixup;
    struct TReadState;

    TComponent* CreateComponent(const std::string& className, TComponent* owner);
    TComponent* ReadComponentData(TComponent* instance, TComponent* parent);
    void ReadProperties(TPersistent* instance);
    void ReadProperty(TPersistent* instance, const std::string& name);
    void ReadPublished(TPersistent* instance, PPropInfo info);
    void ReadObjectValue(TPersistent* instance, PPropInfo info, TStreamValue tag);
    void ReadCollectionItems(TCollection* collection);
    void ResolveFixups();
    TComponent* FindReference(const std::string& path) const;

    TStreamValue ReadValue();                  // raises for an unknown tag
    Variant ReadVariantValue(TStreamValue tag);
    void SkipValue(TStreamValue tag);
    void ExpectValue(TStreamValue tag);
    void Need(uint64_t count);                 // raises when fewer bytes are left
    void ReadRaw(void* buffer, uint64_t count);
    uint8_t ReadByteChecked();
    uint64_t ReadUInt();
    int64_t ReadSInt();
    std::string ReadStr();
    double ReadDoubleRaw();
    int64_t ReadInt64Raw();
    [[noreturn]] static void BadValue();

    std::unique_ptr<TReadState> FState;
    // Where the stream ends and where the reader is: every length is checked
    // against the bytes left before anything is read.
    int64_t FSize = 0;
    int64_t FPos = 0;
    int FDepth = 0;
    // DefineProperties lookup: the property name being read and whether a
    // defined property took it.
    const std::string* FPropName = nullptr;
    bool FPropHandled = false;
};
