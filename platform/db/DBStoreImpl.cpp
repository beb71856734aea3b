#include "DBStoreImpl.h"

#include <algorithm>
#include <cstring>

namespace {

// The kind byte of a stored value.
enum : uint8_t {
    kEmpty, kNull, kFalse, kTrue, kInt32, kInt64, kDouble, kDate, kCurrency, kText, kWide,
    kSmallint, kShortInt, kByte, kWord, kLongWord, kSingle, kTimeStamp, kBcd, kError, kAside
};

constexpr size_t kBlockSize = size_t(1) << 16;

void PutCount(std::string& out, uint64_t n)
{
    while (n >= 0x80) {
        out.push_back(char(uint8_t(n) | 0x80));
        n >>= 7;
    }
    out.push_back(char(uint8_t(n)));
}

uint64_t GetCount(const uint8_t*& p)
{
    uint64_t n = 0;
    for (int shift = 0;; shift += 7) {
        uint8_t b = *p++;
        n |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80)) return n;
    }
}

template <class T> void PutRaw(std::string& out, T v)
{
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.append(b, sizeof(T));
}

template <class T> T GetRaw(const uint8_t*& p)
{
    T v;
    std::memcpy(&v, p, sizeof(T));
    p += sizeof(T);
    return v;
}

// The bytes of the payload that follows a kind byte of fixed size; -1 for texts and aside values.
int FixedSize(uint8_t kind)
{
    switch (kind) {
    case kEmpty: case kNull: case kFalse: case kTrue: return 0;
    case kShortInt: case kByte: return 1;
    case kSmallint: case kWord: return 2;
    case kInt32: case kLongWord: case kSingle: case kError: return 4;
    case kInt64: case kDouble: case kDate: case kCurrency: case kTimeStamp: case kBcd: return 8;
    default: return -1;
    }
}

}  // namespace

void TRowStore::clear()
{
    FRows.clear();
    FRows.shrink_to_fit();
    FBlocks.clear();
    FAside.clear();
    FHeld = FStale = 0;
}

void TRowStore::Encode(const TRowValues& values, std::string& out)
{
    out.clear();
    PutCount(out, values.size());
    for (const Variant& v : values) {
        switch (v.VType()) {
        case varEmpty: out.push_back(char(kEmpty)); break;
        case varNull: out.push_back(char(kNull)); break;
        case varBoolean: out.push_back(char(v.RawBool() ? kTrue : kFalse)); break;
        case varInteger: out.push_back(char(kInt32)); PutRaw(out, int32_t(v.RawInt())); break;
        case varInt64: out.push_back(char(kInt64)); PutRaw(out, int64_t(v.RawInt())); break;
        case varDouble: out.push_back(char(kDouble)); PutRaw(out, v.RawDouble()); break;
        case varDate: out.push_back(char(kDate)); PutRaw(out, v.RawDouble()); break;
        case varCurrency: out.push_back(char(kCurrency)); PutRaw(out, int64_t(v.RawInt())); break;
        case varSmallint: out.push_back(char(kSmallint)); PutRaw(out, int16_t(v.RawInt())); break;
        case varShortInt: out.push_back(char(kShortInt)); PutRaw(out, int8_t(v.RawInt())); break;
        case varByte: out.push_back(char(kByte)); PutRaw(out, uint8_t(v.RawInt())); break;
        case varWord: out.push_back(char(kWord)); PutRaw(out, uint16_t(v.RawInt())); break;
        case varLongWord: out.push_back(char(kLongWord)); PutRaw(out, uint32_t(v.RawInt())); break;
        case varSingle: out.push_back(char(kSingle)); PutRaw(out, float(v.RawDouble())); break;
        case varSQLTimeStamp: out.push_back(char(kTimeStamp)); PutRaw(out, v.RawDouble()); break;
        case varFMTBcd: out.push_back(char(kBcd)); PutRaw(out, v.RawDouble()); break;
        case varError: out.push_back(char(kError)); PutRaw(out, int32_t(v.RawInt())); break;
        case varString:
        case varOleStr: {
            const std::string& t = v.RawString();
            out.push_back(char(v.VType() == varString ? kText : kWide));
            PutCount(out, t.size());
            out.append(t);
            break;
        }
        default:
            out.push_back(char(kAside));
            PutCount(out, FAside.size());
            FAside.push_back(v);
            break;
        }
    }
}

const uint8_t* TRowStore::Skip(const uint8_t* p)
{
    uint8_t kind = *p++;
    int n = FixedSize(kind);
    if (n >= 0) return p + n;
    uint64_t count = GetCount(p);
    return kind == kAside ? p : p + count;
}

size_t TRowStore::EncodedSize(const uint8_t* p)
{
    const uint8_t* start = p;
    uint64_t n = GetCount(p);
    for (uint64_t i = 0; i < n; ++i) {
        uint8_t kind = *p++;
        int f = FixedSize(kind);
        if (f >= 0) {
            p += f;
            continue;
        }
        uint64_t count = GetCount(p);
        if (kind != kAside) p += count;
    }
    return size_t(p - start);
}

Variant TRowStore::Decode(const uint8_t*& p, const std::vector<Variant>& aside)
{
    uint8_t kind = *p++;
    switch (kind) {
    case kEmpty: return Variant();
    case kNull: return Null();
    case kFalse: return Variant(false);
    case kTrue: return Variant(true);
    case kInt32: return Variant(int(GetRaw<int32_t>(p)));
    case kInt64: return Variant::FromInt64(GetRaw<int64_t>(p));
    case kDouble: return Variant(GetRaw<double>(p));
    case kDate: return Variant::FromDate(GetRaw<double>(p));
    case kCurrency: return Variant(Currency::FromRaw(GetRaw<int64_t>(p)));
    case kSmallint: return Variant::FromSmallint(GetRaw<int16_t>(p));
    case kShortInt: return Variant::FromShortInt(GetRaw<int8_t>(p));
    case kByte: return Variant::FromByte(GetRaw<uint8_t>(p));
    case kWord: return Variant::FromWord(GetRaw<uint16_t>(p));
    case kLongWord: return Variant::FromLongWord(GetRaw<uint32_t>(p));
    case kSingle: return Variant::FromSingle(GetRaw<float>(p));
    case kTimeStamp: return Variant::FromSQLTimeStamp(GetRaw<double>(p));
    case kBcd: return Variant::FromBcd(GetRaw<double>(p));
    case kError: return Variant::FromError(GetRaw<int32_t>(p));
    case kText:
    case kWide: {
        size_t n = size_t(GetCount(p));
        std::string t(reinterpret_cast<const char*>(p), n);
        p += n;
        return kind == kText ? Variant(std::move(t)) : Variant::FromWide(t);
    }
    default:
        return aside[size_t(GetCount(p))];
    }
}

const uint8_t* TRowStore::Write(const TRowValues& values)
{
    Encode(values, FScratch);
    const size_t n = FScratch.size();
    if (FBlocks.empty() || FBlocks.back().Size - FBlocks.back().Used < n) {
        // A row larger than a block gets a block of its own.
        TBlock b;
        b.Size = std::max(n, kBlockSize);
        b.Data.reset(new uint8_t[b.Size]);
        FBlocks.push_back(std::move(b));
    }
    TBlock& b = FBlocks.back();
    uint8_t* at = b.Data.get() + b.Used;
    std::memcpy(at, FScratch.data(), n);
    b.Used += n;
    FHeld += n;
    return at;
}

void TRowStore::push_back(const TRowValues& values) { FRows.push_back(Write(values)); }

void TRowStore::pop_back()
{
    FStale += EncodedSize(FRows.back());
    FRows.pop_back();
}

TRowValues TRowStore::Row(size_t row) const
{
    return Values(FRows[row], FAside);
}

Variant TRowStore::Get(size_t row, size_t slot) const
{
    const uint8_t* p = FRows[row];
    if (slot >= GetCount(p)) return Null();
    for (size_t i = 0; i < slot; ++i) p = Skip(p);
    return Decode(p, FAside);
}

void TRowStore::Set(size_t row, const TRowValues& values)
{
    FStale += EncodedSize(FRows[row]);
    FRows[row] = Write(values);
    if (FStale > kBlockSize && FStale * 2 > FHeld) Compact();
}

TRowValues TRowStore::Values(const uint8_t* p, const std::vector<Variant>& aside)
{
    TRowValues values(size_t(GetCount(p)));
    for (Variant& v : values) v = Decode(p, aside);
    return values;
}

void TRowStore::Compact()
{
    // Row by row from the old blocks into new ones.
    std::vector<TBlock> old;
    old.swap(FBlocks);
    std::vector<Variant> oldAside;
    oldAside.swap(FAside);
    FHeld = FStale = 0;
    for (const uint8_t*& p : FRows) p = Write(Values(p, oldAside));
}
