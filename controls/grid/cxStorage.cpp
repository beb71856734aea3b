#include "cxStorage.h"

#include "TextUtils.h"

namespace {
uint32_t SizeMask(int ASize)
{
    if (ASize < 1 || ASize > 4) throw EPropertyConvertError("");
    return ASize == 4 ? 0xFFFFFFFFu : (uint32_t(1) << (8 * ASize)) - 1;
}
}  // namespace

namespace cxStorage {

std::string StringToHexString(const std::string& S)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(S.size() * 2);
    for (unsigned char c : S) {
        result += Digits[c >> 4];
        result += Digits[c & 15];
    }
    return result;
}

int HexCharToValue(char C)
{
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    throw EcxHexStringConvertError("");
}

std::string HexStringToString(const std::string& S)
{
    std::string result;
    result.reserve(S.size() / 2);
    for (size_t i = 0; i + 1 < S.size(); i += 2)
        result += char(HexCharToValue(S[i]) * 16 + HexCharToValue(S[i + 1]));
    return result;
}

bool StringToBoolean(const std::string& S)
{
    if (SameText(S, "TRUE")) return true;
    if (SameText(S, "FALSE")) return false;
    throw EPropertyConvertError("");
}

std::string SetToString(uint32_t AValue, int ASize, const std::vector<std::string>& ANames)
{
    AValue &= SizeMask(ASize);
    std::string result = "[";
    bool first = true;
    for (int i = 0; i < 32; ++i) {
        if (!(AValue & (uint32_t(1) << i))) continue;
        if (size_t(i) >= ANames.size()) throw EPropertyConvertError("");
        if (!first) result += ",";
        result += ANames[size_t(i)];
        first = false;
    }
    return result + "]";
}

void StringToSet(const std::string& S, uint32_t& AValue, int ASize, const std::vector<std::string>& ANames)
{
    uint32_t mask = SizeMask(ASize);
    if (S.size() < 2 || S.front() != '[' || S.back() != ']') throw EPropertyConvertError("");
    std::string body = S.substr(1, S.size() - 2);
    uint32_t result = 0;
    size_t start = 0;
    while (start <= body.size()) {
        size_t comma = body.find(',', start);
        if (comma == std::string::npos) comma = body.size();
        std::string piece = body.substr(start, comma - start);
        if (!piece.empty()) {
            int index = IndexOfName(piece, ANames);
            if (index >= 0 && index < 32) result |= uint32_t(1) << index;
        }
        start = comma + 1;
    }
    AValue = (AValue & ~mask) | (result & mask);
}

int IndexOfName(const std::string& AName, const std::vector<std::string>& ANames)
{
    for (size_t i = 0; i < ANames.size(); ++i)
        if (SameText(AName, ANames[i])) return int(i);
    return -1;
}

}  // namespace cxStorage
