// Date routines of the date filter operators and summaries, the currency
// display format, the case-insensitive text match of incremental search and
// locating, and the data-binding base of data-aware controls.
#pragma once

#include "Components.h"
#include "Variants.h"

#include <functional>
#include <string>

namespace cxDataUtils {

// Upper-cased comparison; with prefixOnly the text need only begin with the
// pattern. An empty pattern matches the empty text only.
bool IsTextMatched(const std::string& text, const std::string& pattern, bool prefixOnly);

TDateTime DatePart(TDateTime value);
TDateTime TimePart(TDateTime value);

// The locale's first day of the week, 0 = Monday .. 6 = Sunday, as the
// locale stores it. A Chinese desktop starts its weeks on Monday.
extern int LocaleFirstDayOfWeek;
// The first weekday numbered 0 = Sunday .. 6 = Saturday.
int FirstWeekDay();
// The first day of the week that holds the date.
TDateTime WeekStart(TDateTime value);
// Weekday of a date, 0 = Sunday .. 6 = Saturday.
int WeekDay(TDateTime value);

// A number format for currency values built from the locale's currency
// symbol, decimals and placement.
std::string CurrencyDisplayFormat();

// Today (no time part) from the program's clock.
TDateTime Today();

// Binary search of the sorted positions lo..hi; compareAt(i) orders the entry
// at i against the sought one. Finds its position, or where it would be
// inserted. An answer that is never 0 still narrows the range, so the search
// always ends inside lo..hi+1.
template <class CompareAt> bool SortedFind(int lo, int hi, CompareAt compareAt, int& index)
{
    while (lo <= hi) {
        int mid = int((unsigned(lo) + unsigned(hi)) >> 1);
        int c = compareAt(mid);
        if (c == 0) {
            index = mid;
            return true;
        }
        if (c < 0) lo = mid + 1;
        else hi = mid - 1;
    }
    index = lo;
    return false;
}

}  // namespace cxDataUtils

using TcxDataBindingCallback = std::function<void()>;

// Ties a data-aware control to its data. The base answers as a control
// without a data source would.
class TcxCustomDataBinding : public TPersistent {
    QZ_CLASS(TcxCustomDataBinding, TPersistent)
public:
    TcxCustomDataBinding(TPersistent* owner, TComponent* dataComponent);

    TComponent* DataComponent() const { return FDataComponent; }
    TPersistent* GetOwner() const override { return FOwner; }

    virtual void NotifyFirst();    // OnShowValue
    virtual void NotifySecond();   // OnSourceChange
    virtual bool HandlesAction(TObject* action) { return false; }
    virtual bool UpdatesAction(TObject* action) { return false; }
    virtual void NotifyThird();    // OnStoreValue
    virtual void GetDefaultValue(bool flag, bool focused, Variant& value) { value = Null(); }
    virtual bool HasBoundValue() { return true; }
    virtual void ResetValue() {}
    virtual bool AllowsEditing() { return true; }
    virtual void WriteBoundValue(bool flag, const Variant& value) {}
    virtual void CommitValue() {}

    TcxDataBindingCallback OnShowValue;
    TcxDataBindingCallback OnSourceChange;
    TcxDataBindingCallback OnStoreValue;

private:
    TComponent* FDataComponent;
    TPersistent* FOwner;
};

class TcxDataBinding : public TcxCustomDataBinding {
    QZ_CLASS(TcxDataBinding, TcxCustomDataBinding)
public:
    using TcxCustomDataBinding::TcxCustomDataBinding;
};
