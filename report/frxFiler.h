// Binary property data of report objects: the data an object keeps beyond
// its published properties (collections of the report, picture contents,
// icon positions), stored as one byte sequence that the layout writes as
// hexadecimal text in a PropData attribute.
//
// The byte form is a list of entries: the property name as a length byte
// and its characters, then the value. Value types:
//   00 list end, 01 list begin, 02/03/04 8/16/32-bit signed integer,
//   05 10-byte extended float, 06 short string (length byte), 07 identifier,
//   08 False, 09 True, 0A binary (32-bit length, bytes), 0B set (names up to
//   an empty one), 0C long string (32-bit length, bytes), 0D nil,
//   0E collection, 0F single, 12 wide string, 13 64-bit integer,
//   14 UTF-8 string, 15 double.
// Text inside the bytes is the system's 8-bit text (GBK). Every length is
// checked against the data: a value running past the end raises "Invalid
// file format".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStream;
class TComponent;
class TfrxBinaryReader;
class TfrxBinaryWriter;

enum TfrxValueType : uint8_t {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6,
    vaIdent = 7, vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13,
    vaCollection = 14, vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19,
    vaUTF8String = 20, vaDouble = 21
};

class TfrxBinaryWriter {
public:
    explicit TfrxBinaryWriter(TStream* stream, TComponent* root = nullptr)
        : FStream(stream), Root(root) {}
    void WriteValue(TfrxValueType v);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // The shortest of the three integer forms.
    void WriteInteger(int64_t v);
    // UTF-8 text written as its 8-bit form, always as a long string.
    void WriteLString(const std::string& utf8);
    void WriteBinary(const std::string& bytes);
    // A property name: a length byte and the characters.
    void WritePropName(const std::string& name);
    TStream* Stream() const { return FStream; }
private:
    void WriteBytes(const void* p, int n);
    TStream* FStream;
public:
    TComponent* Root;
};

class TfrxBinaryReader {
public:
    explicit TfrxBinaryReader(TStream* stream, TComponent* root = nullptr);
    bool AtEnd();
    TfrxValueType ReadValue();
    TfrxValueType NextValue();
    bool EndOfList();           // the next value is a list end (not consumed)
    void ReadListBegin();       // raises unless a list begin follows
    void ReadListEnd();
    int64_t ReadInteger();
    double ReadFloat();
    // Any string kind, as UTF-8.
    std::string ReadString();
    std::string ReadIdent();    // identifiers, False, True, nil
    std::string ReadBinary();
    // A set: its element names.
    std::vector<std::string> ReadSet();
    std::string ReadPropName();
    // Skips one value of any kind.
    void SkipValue();
    // n raw bytes; raises "Invalid file format" when fewer remain.
    std::string ReadBytes(int64_t n);
    TComponent* Root;
private:
    uint8_t ReadByte();
    uint32_t ReadLength();
    TStream* FStream;
    int64_t FSize;
};

// What an object hands its binary-property hook: define each property with
// the routines that read and write its value. While writing, the routine
// runs for properties that have data; while reading, for the entry whose
// name the reader has met.
class TfrxFiler {
public:
    using TReadProc = std::function<void(TfrxBinaryReader& reader)>;
    using TWriteProc = std::function<void(TfrxBinaryWriter& writer)>;
    // Binary properties read and write their bytes as a stream.
    using TStreamProc = std::function<void(TStream* stream)>;

    explicit TfrxFiler(TfrxBinaryWriter* writer) : FWriter(writer) {}
    TfrxFiler(TfrxBinaryReader* reader, const std::string& name) : FReader(reader), FName(name) {}

    bool IsWriting() const { return FWriter != nullptr; }
    TComponent* Root() const;
    void DefineProperty(const std::string& name, const TReadProc& read, const TWriteProc& write,
                        bool hasData);
    void DefineBinaryProperty(const std::string& name, const TStreamProc& read,
                              const TStreamProc& write, bool hasData);
    // Reading: whether an entry of that name was defined and read.
    bool Handled() const { return FHandled; }

private:
    TfrxBinaryWriter* FWriter = nullptr;
    TfrxBinaryReader* FReader = nullptr;
    std::string FName;
    bool FHandled = false;
};

// Objects with binary properties implement this.
class IfrxBinaryProps {
public:
    virtual ~IfrxBinaryProps() = default;
    virtual void DefineBinaryProperties(TfrxFiler& filer) = 0;
};

namespace frxFiler {
// The bytes of an object's binary properties ("" when it has none).
std::string WriteBinaryProps(IfrxBinaryProps* obj, TComponent* root);
// Reads entries from bytes into obj until the data ends or an entry is not
// defined by the object. A value running past the end of the data raises
// "Invalid file format"; other errors end the reading quietly.
void ReadBinaryProps(IfrxBinaryProps* obj, const std::string& bytes, TComponent* root);
}
