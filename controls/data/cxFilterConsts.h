// Captions of the filter operators and filter words. Every caption is read
// through GetFilterString, whose lookup the editor framework replaces by the
// resource-string lookup when it starts.
#pragma once

#include "cxResStrings.h"

#include <string>

extern const TcxResourceStringRec cxSFilterOperatorEqual;
extern const TcxResourceStringRec cxSFilterOperatorNotEqual;
extern const TcxResourceStringRec cxSFilterOperatorLess;
extern const TcxResourceStringRec cxSFilterOperatorLessEqual;
extern const TcxResourceStringRec cxSFilterOperatorGreater;
extern const TcxResourceStringRec cxSFilterOperatorGreaterEqual;
extern const TcxResourceStringRec cxSFilterOperatorLike;
extern const TcxResourceStringRec cxSFilterOperatorNotLike;
extern const TcxResourceStringRec cxSFilterOperatorBetween;
extern const TcxResourceStringRec cxSFilterOperatorNotBetween;
extern const TcxResourceStringRec cxSFilterOperatorInList;
extern const TcxResourceStringRec cxSFilterOperatorNotInList;
extern const TcxResourceStringRec cxSFilterOperatorYesterday;
extern const TcxResourceStringRec cxSFilterOperatorToday;
extern const TcxResourceStringRec cxSFilterOperatorTomorrow;
extern const TcxResourceStringRec cxSFilterOperatorLastWeek;
extern const TcxResourceStringRec cxSFilterOperatorLastMonth;
extern const TcxResourceStringRec cxSFilterOperatorLastYear;
extern const TcxResourceStringRec cxSFilterOperatorThisWeek;
extern const TcxResourceStringRec cxSFilterOperatorThisMonth;
extern const TcxResourceStringRec cxSFilterOperatorThisYear;
extern const TcxResourceStringRec cxSFilterOperatorNextWeek;
extern const TcxResourceStringRec cxSFilterOperatorNextMonth;
extern const TcxResourceStringRec cxSFilterOperatorNextYear;
extern const TcxResourceStringRec cxSFilterOperatorIsNull;
extern const TcxResourceStringRec cxSFilterOperatorIsNotNull;
extern const TcxResourceStringRec cxSFilterOperatorBeginsWith;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotBeginWith;
extern const TcxResourceStringRec cxSFilterOperatorEndsWith;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotEndWith;
extern const TcxResourceStringRec cxSFilterOperatorContains;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotContain;
extern const TcxResourceStringRec cxSFilterAndCaption;
extern const TcxResourceStringRec cxSFilterOrCaption;
extern const TcxResourceStringRec cxSFilterNotCaption;
extern const TcxResourceStringRec cxSFilterBlankCaption;
extern const TcxResourceStringRec cxSFilterBoxAllCaption;
extern const TcxResourceStringRec cxSFilterBoxCustomCaption;
extern const TcxResourceStringRec cxSFilterBoxBlanksCaption;
extern const TcxResourceStringRec cxSFilterBoxNonBlanksCaption;

namespace cxFilterConsts {

using TcxGetResourceStringFunc = std::string (*)(TcxResourceStringID);

// The caption through the installed lookup; the built-in text until one is.
std::string GetFilterString(TcxResourceStringID ident);
// Installs the lookup (null returns to the built-in texts).
void SetGetResourceStringFunc(TcxGetResourceStringFunc func);

}  // namespace cxFilterConsts
