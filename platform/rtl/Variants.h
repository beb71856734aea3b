// Variant: the dynamically typed value that data sets, the script engine and
// report expressions pass around. Type codes, conversions, comparison and
// operator promotion follow the class library's variant rules; variant arrays
// (any number of dimensions up to 64) are values copied on write.
#pragma once

#include "System.h"
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varStrArg = 0x0048;
constexpr TVarType varString = 0x0100;
constexpr TVarType varAny = 0x0101;
// The data layer's time-stamp and BCD kinds (codes of our own choosing). A
// time stamp behaves as a date, a BCD value as a float; neither counts for
// VarIsNumeric/VarIsFloat, as callers test them separately.
constexpr TVarType varSQLTimeStamp = 0x0110;
constexpr TVarType varFMTBcd = 0x0111;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varByRef = 0x4000;

class Variant;

// Any interface a variant can carry (varUnknown). Lifetime is shared: the
// object lives while a variant or other holder keeps a reference.
class IVarInterface {
public:
    virtual ~IVarInterface() = default;
};

// A late-bound automation object (varDispatch): members are reached by name at
// run time, which is what the script engine needs for objects it knows
// nothing about at compile time. Arguments are given in call order.
// Implementations raise EOleError (or a subclass) for unknown names.
class IVarDispatch : public IVarInterface {
public:
    // Calls a method; a method without result returns Unassigned().
    virtual Variant Invoke(const std::string& name, const std::vector<Variant>& args) = 0;
    // Reads a property, with arguments for indexed properties.
    virtual Variant GetProperty(const std::string& name, const std::vector<Variant>& args) = 0;
    // Writes a property, with arguments for indexed properties.
    virtual void SetProperty(const std::string& name, const std::vector<Variant>& args,
                             const Variant& value) = 0;
};

class Variant {
public:
    Variant() noexcept : FType(varEmpty) { FV.I = 0; }
    Variant(bool v) noexcept : FType(varBoolean) { FV.B = v; }
    Variant(int v) noexcept : FType(varInteger) { FV.I = v; }
    Variant(unsigned v) noexcept : FType(varLongWord) { FV.I = v; }
    Variant(long v) noexcept : FType(varInt64) { FV.I = v; }
    Variant(long long v) noexcept : FType(varInt64) { FV.I = v; }
    Variant(unsigned long v) noexcept : FType(varInt64) { FV.I = int64_t(v); }
    Variant(float v) noexcept : FType(varSingle) { FV.D = v; }
    Variant(double v) noexcept : FType(varDouble) { FV.D = v; }
    Variant(Currency v) noexcept : FType(varCurrency) { FV.I = v.Value; }
    Variant(const std::string& s);   // varString
    Variant(std::string&& s);        // varString
    Variant(const char* s);          // varString; null gives ''

    static Variant FromDate(TDateTime d);
    static Variant FromWide(const std::string& utf8);   // varOleStr
    static Variant FromSmallint(int16_t v);
    static Variant FromShortInt(int8_t v);
    static Variant FromByte(uint8_t v);
    static Variant FromWord(uint16_t v);
    static Variant FromLongWord(uint32_t v);
    static Variant FromInt64(int64_t v);
    static Variant FromSingle(float v);
    static Variant FromError(int32_t scode);
    static Variant FromSQLTimeStamp(TDateTime d);
    static Variant FromBcd(double v);   // held as a double
    static Variant FromDispatch(std::shared_ptr<IVarDispatch> obj);   // null gives a nil dispatch
    static Variant FromUnknown(std::shared_ptr<IVarInterface> obj);

    TVarType VType() const noexcept { return FType; }
    bool IsNull() const noexcept { return FType == varNull; }
    bool IsEmpty() const noexcept { return FType == varEmpty; }
    bool IsArray() const noexcept { return (FType & varArray) != 0; }

    // Conversions with the class library's rules; they raise
    // EVariantTypeCastError when the value cannot be converted and
    // EVariantOverflowError when it does not fit.
    bool AsBoolean() const;
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    TDateTime AsDate() const;
    std::string AsString() const;
    // The interface of a Dispatch/Unknown variant; null for a nil one.
    // Other types raise EVariantTypeCastError.
    std::shared_ptr<IVarDispatch> AsDispatch() const;
    std::shared_ptr<IVarInterface> AsUnknown() const;

    explicit operator bool() const { return AsBoolean(); }
    explicit operator int() const { return AsInteger(); }
    explicit operator int64_t() const { return AsInt64(); }
    explicit operator double() const { return AsDouble(); }
    explicit operator Currency() const { return AsCurrency(); }
    explicit operator std::string() const { return AsString(); }

    // Raw payload for code that switches on VType() itself.
    int64_t RawInt() const noexcept { return FV.I; }   // ordinal kinds, Currency raw, error code
    double RawDouble() const noexcept { return FV.D; } // Single, Double, Date, time stamp, BCD
    bool RawBool() const noexcept { return FV.B; }
    const std::string& RawString() const;              // varString/varOleStr text (UTF-8)

    // Element access of a one-dimensional array.
    Variant operator[](int index) const;

    void Clear() noexcept { FType = varEmpty; FV.I = 0; FRef.reset(); }

private:
    friend struct VariantAccess;
    TVarType FType;
    union {
        int64_t I;
        double D;
        bool B;
    } FV;
    std::shared_ptr<const void> FRef;   // text, array data or interface
};

// ---- globals ---------------------------------------------------------------

// When true, converting Null to a number, Boolean or text raises
// EVariantTypeCastError, as the class library does by default; when false
// Null converts to 0, '' and False. The program runs with false.
extern bool NullStrictConvert;

Variant Null();
Variant Unassigned();

// ---- type tests ------------------------------------------------------------

TVarType VarType(const Variant& v);
bool VarIsType(const Variant& v, TVarType t);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);   // Empty, or a nil Dispatch/Unknown
bool VarIsNumeric(const Variant& v); // ordinal or float (Boolean counts as ordinal)
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsEmptyParam(const Variant& v);  // varError with the "parameter missing" code
std::string VarTypeAsText(TVarType t);   // "Integer", "Array Variant", "String"…

// ---- conversions -----------------------------------------------------------

Variant VarAsType(const Variant& v, TVarType t);
std::string VarToStr(const Variant& v);   // '' for Null
std::string VarToStrDef(const Variant& v, const std::string& def);   // def for Null
std::string VarToWideStr(const Variant& v);
TDateTime VarToDateTime(const Variant& v);
Variant VarFromDateTime(TDateTime d);
// The value, or def when Null or Empty.
Variant VarToValue(const Variant& v, const Variant& def);

// ---- comparison ------------------------------------------------------------

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// vrNotEqual when exactly one side is Null or Empty; raises the variant
// errors of the comparison operators for pairs that cannot be compared
// (text that is not a number against a number, arrays, interfaces).
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// Both Null, both Empty, or equal values; false when only one is Null/Empty.
bool VarSameValue(const Variant& a, const Variant& b);

// ---- operators -------------------------------------------------------------

enum TVarOp {
    opAdd, opSubtract, opMultiply, opDivide, opIntDivide, opModulus, opShiftLeft,
    opShiftRight, opAnd, opOr, opXor, opCompare, opNegate, opNot,
    opCmpEQ, opCmpNE, opCmpLT, opCmpLE, opCmpGT, opCmpGE
};

// Binary arithmetic and logic (opAdd..opXor); Null propagates.
Variant VarBinaryOp(const Variant& a, const Variant& b, TVarOp op);
// opNegate or opNot.
Variant VarUnaryOp(const Variant& a, TVarOp op);
// opCmpEQ..opCmpGE with the class library's Null/Empty rules.
bool VarCmpOp(const Variant& a, const Variant& b, TVarOp op);
Variant VarIntDiv(const Variant& a, const Variant& b);   // div

Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator%(const Variant& a, const Variant& b);    // mod
Variant operator&(const Variant& a, const Variant& b);    // and
Variant operator|(const Variant& a, const Variant& b);    // or
Variant operator^(const Variant& a, const Variant& b);    // xor
Variant operator<<(const Variant& a, const Variant& b);   // shl
Variant operator>>(const Variant& a, const Variant& b);   // shr
Variant operator-(const Variant& a);                      // negate
Variant operator~(const Variant& a);                      // not (bitwise, or logical for Boolean)
Variant operator!(const Variant& a);                      // not
Variant& operator+=(Variant& a, const Variant& b);
Variant& operator-=(Variant& a, const Variant& b);
bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

// ---- variant arrays --------------------------------------------------------

// bounds holds low/high pairs, one pair per dimension (1 to 64). The element
// type may be any simple type or varVariant; elements start Empty (or 0/''
// for typed arrays). Raises EVariantArrayCreateError for bad bounds or type.
Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elemType);
// A one-dimensional array of variants, indexed from 0.
Variant VarArrayOf(const std::vector<Variant>& values);
int VarArrayDimCount(const Variant& a);   // 0 for a non-array
int VarArrayLowBound(const Variant& a, int dim);    // dim counts from 1
int VarArrayHighBound(const Variant& a, int dim);
Variant VarArrayGet(const Variant& a, const std::vector<int>& indices);
void VarArrayPut(Variant& a, const Variant& value, const std::vector<int>& indices);
// Changes the high bound of the last dimension, keeping the elements that remain.
void VarArrayRedim(Variant& a, int highBound);
TVarType VarArrayElementType(const Variant& a);
