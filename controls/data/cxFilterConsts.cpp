#include "cxFilterConsts.h"

#define CX_RS(Name, Text) const TcxResourceStringRec Name{#Name, Text};
CX_RS(cxSFilterOperatorEqual, "equals")
CX_RS(cxSFilterOperatorNotEqual, "does not equal")
CX_RS(cxSFilterOperatorLess, "is less than")
CX_RS(cxSFilterOperatorLessEqual, "is less than or equal to")
CX_RS(cxSFilterOperatorGreater, "is greater than")
CX_RS(cxSFilterOperatorGreaterEqual, "is greater than or equal to")
CX_RS(cxSFilterOperatorLike, "like")
CX_RS(cxSFilterOperatorNotLike, "not like")
CX_RS(cxSFilterOperatorBetween, "between")
CX_RS(cxSFilterOperatorNotBetween, "not between")
CX_RS(cxSFilterOperatorInList, "in")
CX_RS(cxSFilterOperatorNotInList, "not in")
CX_RS(cxSFilterOperatorYesterday, "is yesterday")
CX_RS(cxSFilterOperatorToday, "is today")
CX_RS(cxSFilterOperatorTomorrow, "is tomorrow")
CX_RS(cxSFilterOperatorLastWeek, "is last week")
CX_RS(cxSFilterOperatorLastMonth, "is last month")
CX_RS(cxSFilterOperatorLastYear, "is last year")
CX_RS(cxSFilterOperatorThisWeek, "is this week")
CX_RS(cxSFilterOperatorThisMonth, "is this month")
CX_RS(cxSFilterOperatorThisYear, "is this year")
CX_RS(cxSFilterOperatorNextWeek, "is next week")
CX_RS(cxSFilterOperatorNextMonth, "is next month")
CX_RS(cxSFilterOperatorNextYear, "is next year")
CX_RS(cxSFilterOperatorIsNull, "is blank")
CX_RS(cxSFilterOperatorIsNotNull, "is not blank")
CX_RS(cxSFilterOperatorBeginsWith, "begins with")
CX_RS(cxSFilterOperatorDoesNotBeginWith, "does not begin with")
CX_RS(cxSFilterOperatorEndsWith, "ends with")
CX_RS(cxSFilterOperatorDoesNotEndWith, "does not end with")
CX_RS(cxSFilterOperatorContains, "contains")
CX_RS(cxSFilterOperatorDoesNotContain, "does not contain")
CX_RS(cxSFilterAndCaption, "and")
CX_RS(cxSFilterOrCaption, "or")
CX_RS(cxSFilterNotCaption, "not")
CX_RS(cxSFilterBlankCaption, "blank")
CX_RS(cxSFilterBoxAllCaption, "(All)")
CX_RS(cxSFilterBoxCustomCaption, "(Custom...)")
CX_RS(cxSFilterBoxBlanksCaption, "(Blanks)")
CX_RS(cxSFilterBoxNonBlanksCaption, "(NonBlanks)")
#undef CX_RS

namespace cxFilterConsts {

namespace {
TcxGetResourceStringFunc& Lookup()
{
    static TcxGetResourceStringFunc func = nullptr;
    return func;
}
}

std::string GetFilterString(TcxResourceStringID ident)
{
    if (TcxGetResourceStringFunc f = Lookup()) return f(ident);
    return ident && ident->Text ? std::string(ident->Text) : std::string();
}

void SetGetResourceStringFunc(TcxGetResourceStringFunc func) { Lookup() = func; }

}  // namespace cxFilterConsts
