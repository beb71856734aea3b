#include "cxFormats.h"

#include "Controls.h"
#include "Forms.h"
#include "Messages.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxDateUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>

QZ_CLASS_IMPL(TcxFormatController, TObject)

namespace {

// The first day of the week of the Chinese (PRC) locale the program runs
// under, as the locale numbers it (0 Monday).
constexpr int LocaleFirstDayOfWeek = 0;

std::string QuoteSeparators(const std::string& ACurrency)
{
    std::string r;
    for (char c : ACurrency) {
        if (c == ',' || c == '.') r += std::string("'") + c + "'";
        else r += c;
    }
    return r;
}

}  // namespace

TcxFormatController::TcxFormatController() { GetFormats(); }

TcxFormatController::~TcxFormatController()
{
    if (FWindow) DeallocateHWnd(static_cast<HWND>(FWindow));
}

std::string TcxFormatController::GetCurrencyFormatFromSettings()
{
    const TFormatSettings& fs = FormatSettings;
    std::string n = ",0." + std::string(fs.CurrencyDecimals, '0');
    std::string c = QuoteSeparators(fs.CurrencyString);
    std::string pos;
    if (c.empty()) pos = n;
    else switch (fs.CurrencyFormat) {
        case 0: pos = c + n; break;
        case 1: pos = n + c; break;
        case 2: pos = c + " " + n; break;
        default: pos = n + " " + c; break;
        }
    std::string neg;
    switch (fs.NegCurrFormat) {
    case 0: neg = "(" + c + n + ")"; break;
    case 1: neg = "-" + c + n; break;
    case 2: neg = c + "-" + n; break;
    case 3: neg = c + n + "-"; break;
    case 4: neg = "(" + n + c + ")"; break;
    case 5: neg = "-" + n + c; break;
    case 6: neg = n + "-" + c; break;
    case 7: neg = n + c + "-"; break;
    case 8: neg = "-" + n + " " + c; break;
    case 9: neg = "-" + c + " " + n; break;
    case 10: neg = n + " " + c + "-"; break;
    case 11: neg = c + " " + n + "-"; break;
    case 12: neg = c + " -" + n; break;
    case 13: neg = n + "- " + c; break;
    case 14: neg = "(" + c + " " + n + ")"; break;
    default: neg = "(" + n + " " + c + ")"; break;
    }
    return pos + ";" + neg;
}

std::string TcxFormatController::GetDateEditFormat(const std::string& AShortDateFormat)
{
    std::string r;
    const std::string& f = AShortDateFormat;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        bool single = (c == 'd' || c == 'M') && (i == 0 || f[i - 1] != c) &&
                      (i + 1 >= f.size() || f[i + 1] != c);
        r += c;
        if (single) r += c;
    }
    return r;
}

std::string TcxFormatController::GetDateEditMaskCorrection(const std::string& ADateEditFormat)
{
    std::string r = ADateEditFormat;
    size_t p = r.find('M');
    if (p == std::string::npos) return r;
    size_t e = p;
    while (e < r.size() && r[e] == 'M') ++e;
    if (e - p > 3) r.erase(p + 3, e - p - 3);
    return r;
}

std::string TcxFormatController::GetStandardDateEditMask(const std::string& AShortDateFormat)
{
    const std::string& f = AShortDateFormat;
    if (f.find('g') != std::string::npos) return std::string();
    std::string r = "!";
    // Month, day, era and year letters in either case: the program's own
    // format writes the month as "mm".
    auto kind = [](char c) -> char {
        char l = char(c | 0x20);
        return (l == 'm' || l == 'd' || l == 'e' || l == 'y') ? l : 0;
    };
    for (size_t i = 0; i < f.size();) {
        char k = kind(f[i]);
        if (!k) { r += f[i++]; continue; }
        size_t j = i;
        while (j < f.size() && kind(f[j]) == k) ++j;
        size_t run = j - i;
        if (run > 2) r += k == 'e' ? "99" : k == 'y' ? "9999" : "lll";
        else r += "99";
        i = j;
    }
    return r + ";1; ";
}

void TcxFormatController::GetFormats()
{
    if (!FCurrencyFormatAssigned) FCurrencyFormat = GetCurrencyFormatFromSettings();
    if (!FStartOfWeekAssigned) FStartOfWeek = (LocaleFirstDayOfWeek + 1) % 7;
    FStandardDateEditMask = GetStandardDateEditMask(FormatSettings.ShortDateFormat);
    if (!FStandardDateEditMaskAssigned) FAssignedStandardDateEditMask = FStandardDateEditMask;
    FDateEditFormat = GetDateEditFormat(FormatSettings.ShortDateFormat);
    FDateEditMask = GetDateEditMaskCorrection(FDateEditFormat);
    if (!FRegExprDateEditMaskAssigned)
        FRegExprDateEditMask = cxDateUtils::GetDateRegExprMask(FDateEditFormat, true);
}

void TcxFormatController::SetCurrencyFormat(const std::string& AValue)
{
    FCurrencyFormat = AValue;
    FCurrencyFormatAssigned = true;
}

void TcxFormatController::SetRegExprDateEditMask(const std::string& AValue)
{
    FRegExprDateEditMask = AValue;
    FRegExprDateEditMaskAssigned = true;
}

void TcxFormatController::SetAssignedStandardDateEditMask(const std::string& AValue)
{
    FAssignedStandardDateEditMask = AValue;
    FStandardDateEditMaskAssigned = true;
}

void TcxFormatController::SetStartOfWeek(int AValue)
{
    FStartOfWeek = AValue;
    FStartOfWeekAssigned = true;
}

void TcxFormatController::AddListener(IcxFormatControllerListener* AListener)
{
    if (!AListener) return;
    if (std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
    FListeners.push_back(AListener);
    if (!FWindow)
        FWindow = AllocateHWnd([this](TMessage& m) { WndProc(&m); });
}

void TcxFormatController::RemoveListener(IcxFormatControllerListener* AListener)
{
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), AListener),
                     FListeners.end());
    if (FListeners.empty() && FWindow) {
        DeallocateHWnd(static_cast<HWND>(FWindow));
        FWindow = nullptr;
    }
}

void TcxFormatController::NotifyListeners()
{
    // A listener may remove itself while it is told.
    std::vector<IcxFormatControllerListener*> listeners = FListeners;
    for (auto* l : listeners)
        if (std::find(FListeners.begin(), FListeners.end(), l) != FListeners.end())
            l->FormatChanged();
}

void TcxFormatController::RegionalSettingsChanged()
{
    GetFormats();
    NotifyListeners();
}

void TcxFormatController::WndProc(void* AMessage)
{
    TMessage& m = *static_cast<TMessage*>(AMessage);
    if (m.Msg != WM_WININICHANGE) return;
    // Only the regional section concerns the formats (no section: any).
    const char* section = reinterpret_cast<const char*>(m.LParam);
    if (section && std::strcmp(section, "intl") != 0) return;
    try {
        RegionalSettingsChanged();
    } catch (const Exception&) {
        if (Application) Application->HandleException(this);
    }
}

namespace cxFormats {

namespace {
std::unique_ptr<TcxFormatController>& Controller()
{
    static std::unique_ptr<TcxFormatController> c;
    return c;
}
}  // namespace

TcxFormatController* GetFormatController()
{
    auto& c = Controller();
    if (!c) c = std::make_unique<TcxFormatController>();
    return c.get();
}

void FreeFormatController() { Controller().reset(); }

}  // namespace cxFormats
