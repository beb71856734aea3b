// The text forms of stored layout values: byte strings as hexadecimal
// digits, Booleans as TRUE/FALSE and small sets as bracketed name lists.
#pragma once

#include "Exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

// A character that is not a hexadecimal digit.
QZ_EXCEPTION(EcxHexStringConvertError, Exception)

namespace cxStorage {
// Every byte as two upper-case digits.
std::string StringToHexString(const std::string& S);
// Pairs of digits to bytes; a last single digit is ignored.
std::string HexStringToString(const std::string& S);
int HexCharToValue(char C);
// "TRUE" or "FALSE" in any case; anything else raises EPropertyConvertError.
bool StringToBoolean(const std::string& S);
// A set of up to 32 elements held in ASize bytes (1 to 4), as "[name,name]".
std::string SetToString(uint32_t AValue, int ASize, const std::vector<std::string>& ANames);
// Reads "[name,…]" into the first ASize bytes of AValue; unknown names are ignored.
void StringToSet(const std::string& S, uint32_t& AValue, int ASize, const std::vector<std::string>& ANames);
// The first position of the name, ignoring ASCII case; -1 when none.
int IndexOfName(const std::string& AName, const std::vector<std::string>& ANames);
}  // namespace cxStorage
