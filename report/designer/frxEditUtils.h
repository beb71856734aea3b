// What the designer's editor dialogs share: lengths in the designer's unit
// and the tool bars that show words.
#pragma once

#include <string>

class TComponent;
class TToolBar;
class TToolButton;

namespace frxEditUtils {
// Millimetres in the unit (horizontal lengths run across the page: widths,
// left and right), and back; 0 for an unknown unit.
double ToUnits(int units, double mm, bool horizontal);
double FromUnits(int units, double value, bool horizontal);
// A length as the dialogs show it: two decimals when it has a fraction.
std::string UnitText(double value);
// A button at the end of a dialog's tool bar, captioned with its hint
// once the form's texts are applied (see CaptionButtonsFromHints).
TToolButton* AddToolButton(TComponent* owner, TToolBar* bar, const char* name, int tag = 0);
// The bars of the dialogs show words: each button's caption is its hint.
void CaptionButtonsFromHints(TToolBar* bar);
}  // namespace frxEditUtils
