#include "cxEditConsts.h"

#define RS(Name, Text) const TcxResourceStringRec Name = {#Name, Text};

RS(cxSEditInvalidRepositoryItem, "The repository item is not acceptable")
RS(cxSEditValidateErrorText, "Invalid input value. Use escape key to abandon changes")
RS(cxSEditValueOutOfBounds, "Value out of bounds")
RS(cxSMaskEditInvalidEditValue, "The edit value is invalid")
RS(cxSMaskEditRegExprError, "Regular expression errors:")

RS(scxRegExprLine, "Line")
RS(scxRegExprChar, "Char")
RS(scxRegExprMissing, "Missing '%s'")
RS(scxRegExprIllegalSymbol, "Illegal '%s'")
RS(scxRegExprNotAssignedSourceStream, "The source stream is not assigned")
RS(scxRegExprEmptySourceStream, "The source stream is empty")
RS(scxRegExprCantUsePlusQuantifier, "The '+' quantifier cannot be applied here")
RS(scxRegExprCantUseStarQuantifier, "The '*' quantifier cannot be applied here")
RS(scxRegExprCantCreateEmptyAlt, "The alternative should not be empty")
RS(scxRegExprCantCreateEmptyBlock, "The block should not be empty")
RS(scxRegExprIllegalQuantifier, "Illegal quantifier '%s'")
RS(scxRegExprNotSupportQuantifier, "The parameter quantifier cannot be applied here")
RS(scxRegExprIncorrectParameterQuantifier, "Incorrect parameter quantifier")
RS(scxRegExprUnnecessarySymbol, "Unnecessary '%s'")
RS(scxRegExprHexNumberExpected, "Hexadecimal number expected but '%s' found")
RS(scxRegExprHexNumberExpected0, "Hexadecimal number expected")
RS(scxRegExprIllegalIntegerValue, "Illegal integer value")
RS(scxRegExprTooBigReferenceNumber, "Too big reference number")
RS(scxRegExprSubrangeOrder, "The starting character of the subrange must be less than the finishing one")
RS(scxRegExprEmptyEnumeration, "Can't create empty enumeration")
RS(scxRegExprNotCompiled, "Regular expression is not compiled")
RS(scxRegExprTooComplex, "The expression is too complex")

RS(scxSEditRepositoryTextItem, "TextEdit|Represents a single line text editor")
RS(scxSEditRepositoryMaskItem, "MaskEdit|Represents a generic masked edit control.")

RS(cxSDateToday, "today")
RS(cxSDateYesterday, "yesterday")
RS(cxSDateTomorrow, "tomorrow")
RS(cxSDateSunday, "Sunday")
RS(cxSDateMonday, "Monday")
RS(cxSDateTuesday, "Tuesday")
RS(cxSDateWednesday, "Wednesday")
RS(cxSDateThursday, "Thursday")
RS(cxSDateFriday, "Friday")
RS(cxSDateSaturday, "Saturday")
RS(cxSDateFirst, "first")
RS(cxSDateSecond, "second")
RS(cxSDateThird, "third")
RS(cxSDateFourth, "fourth")
RS(cxSDateFifth, "fifth")
RS(cxSDateSixth, "sixth")
RS(cxSDateSeventh, "seventh")
RS(cxSDateBOM, "bom")
RS(cxSDateEOM, "eom")
RS(cxSDateNow, "now")

const TcxResourceStringRec* const cxSDateWords[20] = {
    &cxSDateToday, &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday, &cxSDateMonday,
    &cxSDateTuesday, &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday, &cxSDateSaturday,
    &cxSDateFirst, &cxSDateSecond, &cxSDateThird, &cxSDateFourth, &cxSDateFifth,
    &cxSDateSixth, &cxSDateSeventh, &cxSDateBOM, &cxSDateEOM, &cxSDateNow};
