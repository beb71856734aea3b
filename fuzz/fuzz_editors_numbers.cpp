// The numeric editors' readers of pasted and typed text. The input is read
// as a number the way the spin and calc edits read it, as a text whose line
// breaks the memo stores, and as a key script for the calculator keypad
// (each byte a button). A number read is made only of number characters;
// stored line breaks are all CR LF pairs and storing again changes nothing;
// the keypad shows "Error" exactly in its error state and never a text
// longer than a number can be; a spin step within a range stays in it.
#include "fuzz_gui_harness.h"

#include "SysUtils.h"
#include "cxCalc.h"
#include "cxMemo.h"
#include "cxSpinEdit.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

class TFuzzCalculator : public TcxCustomCalculator {
public:
    std::string GetDisplayText() override { return Display; }
    void SetDisplayText(const std::string& AText) override { Display = AText; }
    std::string Display = "0";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);

    long double x;
    if (cxSpinEdit::TextToExtended(text, x)) {
        for (char c : Trim(text))
            Check((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' ||
                      c == FormatSettings.DecimalSeparator,
                  "a number read holds only number characters");
    }

    std::string stored = cxMemo::NormalizeLineBreaks(text);
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r') Check(i + 1 < stored.size() && stored[i + 1] == '\n', "CR stands before LF");
        if (stored[i] == '\n') Check(i > 0 && stored[i - 1] == '\r', "LF stands after CR");
    }
    Check(cxMemo::NormalizeLineBreaks(stored) == stored, "storing again changes nothing");

    static TFuzzCalculator* calc = new TFuzzCalculator();
    calc->ButtonClick(cbClear);
    calc->SetPrecision(size > 0 ? data[0] % 17 : 15);
    for (size_t i = 1; i < size && i < 4096; ++i) {
        calc->ButtonClick(TcxCalcButtonKind(data[i] % cxCalcButtonCount));
        Check((calc->Display == "Error") == (calc->State() == csError), "Error shows in the error state only");
        Check(calc->Display.size() <= 32, "the display holds a number");
    }

    if (size >= 3 * sizeof(double)) {
        double v, lo, hi;
        std::memcpy(&v, data, sizeof v);
        std::memcpy(&lo, data + sizeof v, sizeof lo);
        std::memcpy(&hi, data + 2 * sizeof v, sizeof hi);
        if (std::isfinite(v) && std::isfinite(lo) && std::isfinite(hi) && lo < hi && v >= lo && v <= hi) {
            Variant r;
            if (cxSpinEdit::SpinValue(Variant(v), 1, true, lo, hi, 1, vtFloat, r))
                Check(r.AsDouble() >= lo && r.AsDouble() <= hi, "a step within a range stays in it");
        }
    }
    return 0;
}
