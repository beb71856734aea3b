#include "cxDataUtils.h"

#include "DateUtils.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cmath>

namespace cxDataUtils {

int LocaleFirstDayOfWeek = 0;

bool IsTextMatched(const std::string& text, const std::string& pattern, bool prefixOnly)
{
    if (pattern.empty()) return text.empty();
    std::string t = AnsiUpperCase(text), p = AnsiUpperCase(pattern);
    if (!prefixOnly) return t == p;
    return t.size() >= p.size() && t.compare(0, p.size(), p) == 0;
}

TDateTime DatePart(TDateTime value) { return std::trunc(value); }

TDateTime TimePart(TDateTime value) { return value - std::trunc(value); }

int FirstWeekDay()
{
    int f = LocaleFirstDayOfWeek + 1;
    return f > 6 ? 0 : f;
}

int WeekDay(TDateTime value)
{
    // 1899-12-30, day 0, was a Saturday.
    int64_t d = int64_t(std::floor(value));
    return int(((d + 6) % 7 + 7) % 7);
}

TDateTime WeekStart(TDateTime value)
{
    int f = FirstWeekDay(), d = WeekDay(value);
    if (f > d) return DatePart(value) - 7 + (f - d);
    return DatePart(value) - (d - f);
}

std::string CurrencyDisplayFormat()
{
    std::string fmt = ",0.";
    for (int i = 0; i < FormatSettings.CurrencyDecimals; ++i) fmt += '0';
    std::string symbol;
    for (char c : FormatSettings.CurrencyString) {
        if (c == ',' || c == '.') {
            symbol += '\'';
            symbol += c;
            symbol += '\'';
        } else {
            symbol += c;
        }
    }
    if (!symbol.empty()) {
        switch (FormatSettings.CurrencyFormat) {
        case 0: fmt = symbol + fmt; break;
        case 1: fmt = fmt + symbol; break;
        case 2: fmt = symbol + " " + fmt; break;
        case 3: fmt = fmt + " " + symbol; break;
        default: break;
        }
    }
    return fmt;
}

TDateTime Today() { return DatePart(ClockNow()); }

}  // namespace cxDataUtils

QZ_CLASS_IMPL(TcxCustomDataBinding, TPersistent)
QZ_CLASS_IMPL(TcxDataBinding, TcxCustomDataBinding)

TcxCustomDataBinding::TcxCustomDataBinding(TPersistent* owner, TComponent* dataComponent)
    : FDataComponent(dataComponent), FOwner(owner)
{
}

void TcxCustomDataBinding::NotifyFirst()
{
    if (OnShowValue) OnShowValue();
}

void TcxCustomDataBinding::NotifySecond()
{
    if (OnSourceChange) OnSourceChange();
}

void TcxCustomDataBinding::NotifyThird()
{
    if (OnStoreValue) OnStoreValue();
}
