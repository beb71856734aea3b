#include "frxEditUtils.h"

#include "ComCtrls.h"
#include "frxUtils.h"

#include <cmath>

namespace frxEditUtils {

namespace {
// Round half to even, as the unit conversions do.
double RoundEven(double v) { return std::nearbyint(v); }
}  // namespace

double ToUnits(int units, double mm, bool horizontal)
{
    switch (units) {
    case 0: return mm / 10;
    case 1: return mm / 25.4;
    case 2: return mm * 96 / 25.4;
    case 3: return RoundEven(mm * 3.77953 / (horizontal ? 9.6 : 17));
    default: return 0;
    }
}

double FromUnits(int units, double value, bool horizontal)
{
    switch (units) {
    case 0: return value * 10;
    case 1: return value * 25.4;
    case 2: return value / 96 * 25.4;
    case 3: return RoundEven(value) * (horizontal ? 9.6 : 17) / 3.77953;
    default: return 0;
    }
}

std::string UnitText(double value)
{
    // Lengths converted from millimetres carry noise far below what is shown.
    const double v = std::round(value * 1e6) / 1e6;
    return frxUtils::FloatToTextTwoDecimals(v);
}

TToolButton* AddToolButton(TComponent* owner, TToolBar* bar, const char* name, int tag)
{
    auto* b = new TToolButton(owner);
    b->SetName(name);
    b->SetTag(tag);
    // A bar orders its buttons by where they stand: this one goes last.
    b->SetLeft(bar->ButtonCount() > 0 ? bar->Buttons(bar->ButtonCount() - 1)->Left() + 1000 : 0);
    b->SetParent(bar);
    return b;
}

void CaptionButtonsFromHints(TToolBar* bar)
{
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        TToolButton* b = bar->Buttons(i);
        if (!b->Hint().empty()) b->SetCaption(b->Hint());
    }
}

}  // namespace frxEditUtils
