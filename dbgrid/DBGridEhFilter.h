// The filter row's expression language: the text a user types in a column's
// filter cell («> 100», «~ 'Sm%'», «In ('A','B') OR = Null») parsed into at
// most two terms joined by AND or OR, and rendered back to text.
#pragma once

#include "DB.h"
#include "SysUtils.h"
#include "Variants.h"

#include <cstdint>
#include <string>

// The kinds of lexeme and the operators of a term; the order is stored.
enum TFilterLexemeEh : uint8_t {
    flNone, flEqual, flNotEqual, flGreater, flLess, flGreaterOrEqual, flLessOrEqual, flLike,
    flNotLike, flIn, flNotIn, flNull, flNotNull, flAnd, flOr, flValue
};

// How operands are converted: 0 other, 1 string, 2 number, 3 date and time, 4 Boolean.
using TFilterValueKindEh = uint8_t;
constexpr TFilterValueKindEh fvkOtherEh = 0;
constexpr TFilterValueKindEh fvkStringEh = 1;
constexpr TFilterValueKindEh fvkNumberEh = 2;
constexpr TFilterValueKindEh fvkDateTimeEh = 3;
constexpr TFilterValueKindEh fvkBooleanEh = 4;

struct TSTFilterExpressionEh {
    TFilterValueKindEh ValueKind = fvkOtherEh;
    TFilterLexemeEh FirstOp = flNone;
    Variant FirstOperand = Null();
    TFilterLexemeEh Junction = flNone;
    TFilterLexemeEh SecondOp = flNone;
    Variant SecondOperand = Null();
};

namespace DBGridEhFilter {

extern const char* const FilterOperatorTexts[16];
extern const char* const FilterOperatorSqlTexts[16];
extern const char* const FilterMarkerComment;

// The value kind a field of this data type filters by.
TFilterValueKindEh FilterValueKindOf(TFieldType dataType);

// Both operators and the junction flNone, both operands Null; ValueKind stays.
void ClearFilterExpression(TSTFilterExpressionEh& expression);

// Parses Text into Expression (its ValueKind chooses how operands convert).
// Returns True when a junction was followed by a second term. Errors raise
// Exception with the message followed by the whole text; a number or date
// that does not convert raises EConvertError. A text that goes on after the
// second term is refused rather than cut, so the filter applied is always
// the one typed.
bool ParseFilterExpression(const std::string& text, TSTFilterExpressionEh& expression,
                           const TFormatSettings& settings = FormatSettings);

// The expression as text («> 5 AND <= 10»). With a list source the first
// operand is shown as its comma text instead.
std::string ExpressionAsText(const TSTFilterExpressionEh& expression, bool hasListSource = false,
                             const TFormatSettings& settings = FormatSettings);

} // namespace DBGridEhFilter
