// The editors' user-visible texts, read through cxClasses::GetResourceString
// so that a replacement text can stand in for each.
#pragma once

#include "cxResStrings.h"

// Validation and masks.
extern const TcxResourceStringRec cxSEditInvalidRepositoryItem;
extern const TcxResourceStringRec cxSEditValidateErrorText;
extern const TcxResourceStringRec cxSEditValueOutOfBounds;
extern const TcxResourceStringRec cxSMaskEditInvalidEditValue;
extern const TcxResourceStringRec cxSMaskEditRegExprError;

// Regular-expression compiler.
extern const TcxResourceStringRec scxRegExprLine;
extern const TcxResourceStringRec scxRegExprChar;
extern const TcxResourceStringRec scxRegExprMissing;
extern const TcxResourceStringRec scxRegExprIllegalSymbol;
extern const TcxResourceStringRec scxRegExprNotAssignedSourceStream;
extern const TcxResourceStringRec scxRegExprEmptySourceStream;
extern const TcxResourceStringRec scxRegExprCantUsePlusQuantifier;
extern const TcxResourceStringRec scxRegExprCantUseStarQuantifier;
extern const TcxResourceStringRec scxRegExprCantCreateEmptyAlt;
extern const TcxResourceStringRec scxRegExprCantCreateEmptyBlock;
extern const TcxResourceStringRec scxRegExprIllegalQuantifier;
extern const TcxResourceStringRec scxRegExprNotSupportQuantifier;
extern const TcxResourceStringRec scxRegExprIncorrectParameterQuantifier;
extern const TcxResourceStringRec scxRegExprUnnecessarySymbol;
extern const TcxResourceStringRec scxRegExprHexNumberExpected;
extern const TcxResourceStringRec scxRegExprHexNumberExpected0;
extern const TcxResourceStringRec scxRegExprIllegalIntegerValue;
extern const TcxResourceStringRec scxRegExprTooBigReferenceNumber;
extern const TcxResourceStringRec scxRegExprSubrangeOrder;
extern const TcxResourceStringRec scxRegExprEmptyEnumeration;
extern const TcxResourceStringRec scxRegExprNotCompiled;
extern const TcxResourceStringRec scxRegExprTooComplex;

// Editor registry descriptions.
extern const TcxResourceStringRec scxSEditRepositoryTextItem;
extern const TcxResourceStringRec scxSEditRepositoryMaskItem;

// Date words, in the order the date conversion reads them.
extern const TcxResourceStringRec* const cxSDateWords[20];
