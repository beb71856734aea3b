#include "frxFiler.h"

#include "frxGraphicData.h"
#include "frxXML.h"

#include "Streams.h"
#include "TextUtils.h"

#include <cstring>

// ---- writer ---------------------------------------------------------------------

void TfrxBinaryWriter::WriteBytes(const void* p, int n) { FStream->WriteBuffer(p, n); }

void TfrxBinaryWriter::WriteValue(TfrxValueType v)
{
    uint8_t b = v;
    WriteBytes(&b, 1);
}

void TfrxBinaryWriter::WriteInteger(int64_t v)
{
    if (v >= -128 && v <= 127) {
        WriteValue(vaInt8);
        int8_t b = int8_t(v);
        WriteBytes(&b, 1);
    } else if (v >= -32768 && v <= 32767) {
        WriteValue(vaInt16);
        FStream->WriteSmallInt(int16_t(v));
    } else if (v >= INT32_MIN && v <= INT32_MAX) {
        WriteValue(vaInt32);
        FStream->WriteInt32(int32_t(v));
    } else {
        WriteValue(vaInt64);
        FStream->WriteInt64(v);
    }
}

void TfrxBinaryWriter::WriteLString(const std::string& utf8)
{
    std::string bytes = frxXML::TextToGbk(utf8);
    WriteValue(vaLString);
    FStream->WriteInt32(int32_t(bytes.size()));
    if (!bytes.empty()) WriteBytes(bytes.data(), int(bytes.size()));
}

void TfrxBinaryWriter::WriteBinary(const std::string& bytes)
{
    WriteValue(vaBinary);
    FStream->WriteInt32(int32_t(bytes.size()));
    if (!bytes.empty()) WriteBytes(bytes.data(), int(bytes.size()));
}

void TfrxBinaryWriter::WritePropName(const std::string& name)
{
    std::string n = name.substr(0, 255);
    uint8_t len = uint8_t(n.size());
    WriteBytes(&len, 1);
    WriteBytes(n.data(), int(n.size()));
}

// ---- reader ---------------------------------------------------------------------

TfrxBinaryReader::TfrxBinaryReader(TStream* stream, TComponent* root)
    : Root(root), FStream(stream), FSize(stream->Size())
{
}

bool TfrxBinaryReader::AtEnd() { return FStream->Position() >= FSize; }

std::string TfrxBinaryReader::ReadBytes(int64_t n)
{
    if (n < 0 || FSize - FStream->Position() < n) RaiseInvalidFileFormat();
    std::string s(size_t(n), '\0');
    if (n > 0) FStream->ReadBuffer(s.data(), int(n));
    return s;
}

uint8_t TfrxBinaryReader::ReadByte() { return uint8_t(ReadBytes(1)[0]); }

uint32_t TfrxBinaryReader::ReadLength()
{
    std::string b = ReadBytes(4);
    uint32_t v;
    std::memcpy(&v, b.data(), 4);
    return v;
}

TfrxValueType TfrxBinaryReader::ReadValue() { return TfrxValueType(ReadByte()); }

TfrxValueType TfrxBinaryReader::NextValue()
{
    TfrxValueType v = ReadValue();
    FStream->Seek(-1, soCurrent);
    return v;
}

bool TfrxBinaryReader::EndOfList() { return NextValue() == vaNull; }

void TfrxBinaryReader::ReadListBegin()
{
    if (ReadValue() != vaList) throw EReadError("Invalid property value");
}

void TfrxBinaryReader::ReadListEnd()
{
    if (ReadValue() != vaNull) throw EReadError("Invalid property value");
}

int64_t TfrxBinaryReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8: return int8_t(ReadByte());
    case vaInt16: {
        std::string b = ReadBytes(2);
        int16_t v;
        std::memcpy(&v, b.data(), 2);
        return v;
    }
    case vaInt32: return int32_t(ReadLength());
    case vaInt64: {
        std::string b = ReadBytes(8);
        int64_t v;
        std::memcpy(&v, b.data(), 8);
        return v;
    }
    default: throw EReadError("Invalid property value");
    }
}

double TfrxBinaryReader::ReadFloat()
{
    TfrxValueType t = NextValue();
    switch (t) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return double(ReadInteger());
    default: break;
    }
    ReadValue();
    switch (t) {
    case vaExtended: {
        std::string b = ReadBytes(10);
        TMemoryStream m;
        m.WriteBuffer(b.data(), 10);
        m.SetPosition(0);
        return m.ReadExtended();
    }
    case vaSingle: {
        std::string b = ReadBytes(4);
        float f;
        std::memcpy(&f, b.data(), 4);
        return f;
    }
    case vaDouble:
    case vaDate: {
        std::string b = ReadBytes(8);
        double d;
        std::memcpy(&d, b.data(), 8);
        return d;
    }
    case vaCurrency: {
        std::string b = ReadBytes(8);
        int64_t c;
        std::memcpy(&c, b.data(), 8);
        return double(c) / 10000.0;
    }
    default: throw EReadError("Invalid property value");
    }
}

std::string TfrxBinaryReader::ReadString()
{
    switch (ReadValue()) {
    case vaString: return frxXML::GbkToText(ReadBytes(ReadByte()));
    case vaLString: return frxXML::GbkToText(ReadBytes(ReadLength()));
    case vaUTF8String: return ReadBytes(ReadLength());
    case vaWString: {
        uint32_t n = ReadLength();
        std::string b = ReadBytes(int64_t(n) * 2);
        std::u16string w(n, u'\0');
        std::memcpy(w.data(), b.data(), b.size());
        std::string r;
        for (size_t i = 0; i < w.size(); ++i) {
            uint32_t cp = w[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 &&
                w[i + 1] < 0xE000)
                cp = 0x10000 + ((cp - 0xD800) << 10) + (w[++i] - 0xDC00);
            if (cp < 0x80) {
                r += char(cp);
            } else if (cp < 0x800) {
                r += char(0xC0 | (cp >> 6));
                r += char(0x80 | (cp & 0x3F));
            } else if (cp < 0x10000) {
                r += char(0xE0 | (cp >> 12));
                r += char(0x80 | ((cp >> 6) & 0x3F));
                r += char(0x80 | (cp & 0x3F));
            } else {
                r += char(0xF0 | (cp >> 18));
                r += char(0x80 | ((cp >> 12) & 0x3F));
                r += char(0x80 | ((cp >> 6) & 0x3F));
                r += char(0x80 | (cp & 0x3F));
            }
        }
        return r;
    }
    default: throw EReadError("Invalid property value");
    }
}

std::string TfrxBinaryReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent: return ReadBytes(ReadByte());
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: throw EReadError("Invalid property value");
    }
}

std::string TfrxBinaryReader::ReadBinary()
{
    if (ReadValue() != vaBinary) throw EReadError("Invalid property value");
    return ReadBytes(ReadLength());
}

std::vector<std::string> TfrxBinaryReader::ReadSet()
{
    if (ReadValue() != vaSet) throw EReadError("Invalid property value");
    std::vector<std::string> names;
    while (true) {
        std::string n = ReadBytes(ReadByte());
        if (n.empty()) break;
        names.push_back(n);
    }
    return names;
}

std::string TfrxBinaryReader::ReadPropName() { return ReadBytes(ReadByte()); }

void TfrxBinaryReader::SkipValue()
{
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: break;
    case vaList:
        while (!EndOfList()) SkipValue();
        ReadListEnd();
        break;
    case vaInt8: ReadBytes(1); break;
    case vaInt16: ReadBytes(2); break;
    case vaInt32:
    case vaSingle: ReadBytes(4); break;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency: ReadBytes(8); break;
    case vaExtended: ReadBytes(10); break;
    case vaString:
    case vaIdent: ReadBytes(ReadByte()); break;
    case vaBinary:
    case vaLString:
    case vaUTF8String: ReadBytes(ReadLength()); break;
    case vaWString: ReadBytes(int64_t(ReadLength()) * 2); break;
    case vaSet:
        while (!ReadBytes(ReadByte()).empty()) {
        }
        break;
    case vaCollection:
        while (!EndOfList()) {
            TfrxValueType t = NextValue();
            if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                ReadPropName();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    default: throw EReadError("Invalid property value");
    }
}

// ---- filer ------------------------------------------------------------------------

TComponent* TfrxFiler::Root() const { return FWriter ? FWriter->Root : FReader->Root; }

void TfrxFiler::DefineProperty(const std::string& name, const TReadProc& read,
                               const TWriteProc& write, bool hasData)
{
    if (FWriter) {
        if (hasData && write) {
            FWriter->WritePropName(name);
            write(*FWriter);
        }
    } else if (!FHandled && read && SameText(name, FName)) {
        FHandled = true;
        read(*FReader);
    }
}

void TfrxFiler::DefineBinaryProperty(const std::string& name, const TStreamProc& read,
                                     const TStreamProc& write, bool hasData)
{
    DefineProperty(
        name,
        read ? TReadProc([read](TfrxBinaryReader& r) {
            std::string bytes = r.ReadBinary();
            TMemoryStream m;
            if (!bytes.empty()) m.WriteBuffer(bytes.data(), int(bytes.size()));
            m.SetPosition(0);
            read(&m);
        })
             : TReadProc(),
        write ? TWriteProc([write](TfrxBinaryWriter& w) {
            TMemoryStream m;
            write(&m);
            std::string bytes(size_t(m.Size()), '\0');
            m.SetPosition(0);
            if (!bytes.empty()) m.ReadBuffer(bytes.data(), int(bytes.size()));
            w.WriteBinary(bytes);
        })
              : TWriteProc(),
        hasData);
}

namespace frxFiler {

std::string WriteBinaryProps(IfrxBinaryProps* obj, TComponent* root)
{
    if (!obj) return std::string();
    TMemoryStream m;
    TfrxBinaryWriter w(&m, root);
    TfrxFiler filer(&w);
    obj->DefineBinaryProperties(filer);
    std::string bytes(size_t(m.Size()), '\0');
    m.SetPosition(0);
    if (!bytes.empty()) m.ReadBuffer(bytes.data(), int(bytes.size()));
    return bytes;
}

void ReadBinaryProps(IfrxBinaryProps* obj, const std::string& bytes, TComponent* root)
{
    if (!obj || bytes.empty()) return;
    TMemoryStream m;
    m.WriteBuffer(bytes.data(), int(bytes.size()));
    m.SetPosition(0);
    TfrxBinaryReader r(&m, root);
    try {
        while (!r.AtEnd()) {
            std::string name = r.ReadPropName();
            TfrxFiler filer(&r, name);
            obj->DefineBinaryProperties(filer);
            if (!filer.Handled()) break;
        }
    } catch (const EfrxInvalidFileFormat&) {
        throw;
    } catch (const EfrxInvalidGraphic&) {
        // A picture that cannot be read is reported with the layout's errors.
        throw;
    } catch (const std::exception&) {
        // Any other fault of the data ends this object's binary properties.
    }
}

}  // namespace frxFiler
