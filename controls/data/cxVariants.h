// Comparison of values, value tests, variant-array builders and the variant
// stream: one value as a tag byte and a little-endian payload. Saved filters
// (*.flt files and stored view filters) hold values in this form.
#pragma once

#include "Variants.h"
#include <string>

class TStream;

namespace cxVariants {

// Three-way comparison: Null sorts first, numbers compare numerically and
// text byte by byte in its GBK form. A pair that cannot be ordered answers -1.
int VarCompare(const Variant& a, const Variant& b);
int CompareVarArrays(const Variant& a, const Variant& b);
bool VarEquals(const Variant& a, const Variant& b);
// Equality in which a Boolean meets the other value as text ("True"/"False").
bool VarEqualsEx(const Variant& a, const Variant& b);

bool IsDateVarType(TVarType t);
bool IsDateVariant(const Variant& v);
bool IsNumericVariant(const Variant& v);
bool IsEmptyTextVariant(const Variant& v);
bool IsStringVariant(const Variant& v);

Variant VarBetweenArray(const Variant& low, const Variant& high);
Variant VarSingleArray(const Variant& value);
void AppendToVarArray(Variant& array, const Variant& value);

// The variant stream. Reading raises EReadError "Stream read error" for an
// unknown tag, a negative length or a length past the end of the stream;
// writing raises EWriteError "Stream write error" for a value it cannot hold.
void ReadStreamVariant(TStream* stream, Variant& value);
Variant ReadStreamVariant(TStream* stream);
void WriteStreamVariant(TStream* stream, const Variant& value);

// Int32 byte length, then the bytes of the text's GBK form.
std::string ReadCountedString(TStream* stream);
void WriteCountedString(TStream* stream, const std::string& s);
// Int32 count of UTF-16 units, then the units (little-endian).
std::u16string ReadCountedWideString(TStream* stream);
void WriteCountedWideString(TStream* stream, const std::u16string& s);

// Fixed-width values without a tag.
bool ReadBooleanProc(TStream* stream);
void WriteBooleanProc(TStream* stream, bool v);
uint8_t ReadByteProc(TStream* stream);
void WriteByteProc(TStream* stream, uint8_t v);
int16_t ReadSmallIntProc(TStream* stream);
void WriteSmallIntProc(TStream* stream, int16_t v);
uint16_t ReadWordProc(TStream* stream);
void WriteWordProc(TStream* stream, uint16_t v);
int32_t ReadIntegerProc(TStream* stream);
void WriteIntegerProc(TStream* stream, int32_t v);
Currency ReadCurrencyProc(TStream* stream);
void WriteCurrencyProc(TStream* stream, Currency v);
double ReadDateTimeProc(TStream* stream);
void WriteDateTimeProc(TStream* stream, double v);
int64_t ReadLargeIntProc(TStream* stream);
void WriteLargeIntProc(TStream* stream, int64_t v);
void WriteExtendedProc(TStream* stream, double v);

// Text compared byte by byte in GBK order (ASCII takes a fast path).
int CompareGbkStr(const std::string& a, const std::string& b);

}  // namespace cxVariants
