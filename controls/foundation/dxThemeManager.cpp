#include "dxThemeManager.h"

#include "Forms.h"

#include <algorithm>
#include <memory>
#include <vector>

QZ_CLASS_IMPL(TdxThemeChangedNotificator, TObject)
QZ_CLASS_IMPL(TdxThemeChangedEventReceiver, TObject)

namespace dxThemeManager {

namespace {
const char* const DefaultNames[dxThemedObjectTypeCount] = {
    "Button", "Clock", "ComboBox", "Edit", "ExplorerBar", "Header", "ListView", "Menu",
    "Page", "Progress", "Rebar", "ScrollBar", "Spin", "StartPanel", "Status", "Tab",
    "TaskBand", "TaskBar", "ToolBar", "ToolTip", "TrackBar", "TrayNotify", "TreeView", "Window"};

struct TState {
    TdxThemeData Data[dxThemedObjectTypeCount];
    bool ThemesActive = false;
    std::unique_ptr<TdxThemeChangedEventReceiver> Receiver;
    std::vector<TdxThemeChangedNotificator*> Subscribers;
    std::function<void(const std::exception&)> OnException;
};

TState& State()
{
    static TState s;
    return s;
}

std::u16string Widen(const char* s)
{
    std::u16string r;
    for (; *s; ++s) r.push_back(char16_t(uint8_t(*s)));
    return r;
}

bool SameTextW(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size()) return false;
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}
}  // namespace

void Initialize()
{
    TState& s = State();
    for (auto& d : s.Data) d = TdxThemeData{};
    s.Subscribers.clear();
    if (dxUxTheme::ThemeLibraryLoaded()) {
        s.ThemesActive = dxUxTheme::IsThemeActive() != 0;
        s.Receiver = std::make_unique<TdxThemeChangedEventReceiver>();
    } else {
        s.ThemesActive = false;
    }
}

void Finalize()
{
    TState& s = State();
    if (dxUxTheme::ThemeLibraryLoaded()) {
        s.Receiver.reset();
        CloseAllThemes();
    }
    s.Receiver.reset();
    s.Subscribers.clear();
    for (auto& d : s.Data) d = TdxThemeData{};
    s.ThemesActive = false;
}

std::u16string DefaultClassName(TdxThemedObjectType type)
{
    return Widen(DefaultNames[type]);
}

bool ThemesActive() { return State().ThemesActive; }

TdxThemeChangedEventReceiver* EventReceiver() { return State().Receiver.get(); }

const TdxThemeData& ThemeData(TdxThemedObjectType type) { return State().Data[type]; }

void SetExceptionHandler(std::function<void(const std::exception&)> handler)
{
    State().OnException = std::move(handler);
}

bool AreVisualStylesAvailable(TdxThemedObjectTypes types)
{
    if (!State().ThemesActive || !dxUxTheme::ThemeLibraryLoaded()) return false;
    for (int t = 0; t < dxThemedObjectTypeCount; ++t)
        if (types.Contains(TdxThemedObjectType(t)) && OpenTheme(TdxThemedObjectType(t)) == 0) return false;
    return true;
}

HTHEME OpenTheme(TdxThemedObjectType type, const std::u16string* classList)
{
    if (!AreVisualStylesAvailable()) return 0;
    TdxThemeData& d = State().Data[type];
    if (d.ThemeHandle != 0) {
        if (!classList || SameTextW(*classList, d.ClassList)) return d.ThemeHandle;
        CloseTheme(type);
    }
    std::u16string cls;
    if (classList)
        cls = *classList;
    else
        cls = d.ClassList.empty() ? DefaultClassName(type) : d.ClassList;
    HTHEME h = dxUxTheme::OpenThemeData(nullptr, cls);
    d.ThemeHandle = h;
    if (h != 0)
        d.ClassList = cls;
    else
        d.ClassList.clear();
    return h;
}

HRESULT CloseTheme(TdxThemedObjectType type)
{
    if (!AreVisualStylesAvailable()) return 1;
    TdxThemeData& d = State().Data[type];
    if (d.ThemeHandle == 0) return 0;
    HRESULT r = dxUxTheme::CloseThemeData(d.ThemeHandle);
    d.ThemeHandle = 0;
    d.ClassList.clear();
    return r;
}

void CloseAllThemes()
{
    for (auto& d : State().Data)
        if (d.ThemeHandle != 0) {
            dxUxTheme::CloseThemeData(d.ThemeHandle);
            d.ThemeHandle = 0;   // the class list stays for reopening
        }
}

namespace detail {
void AddSubscriber(TdxThemeChangedNotificator* n) { State().Subscribers.push_back(n); }
void RemoveSubscriber(TdxThemeChangedNotificator* n)
{
    auto& v = State().Subscribers;
    v.erase(std::remove(v.begin(), v.end(), n), v.end());
}
void NotifySubscribers()
{
    // A copy, so a handler may free its own or another subscriber.
    std::vector<TdxThemeChangedNotificator*> list = State().Subscribers;
    for (TdxThemeChangedNotificator* n : list) {
        auto& live = State().Subscribers;
        if (std::find(live.begin(), live.end(), n) == live.end()) continue;
        if (n->OnThemeChanged) n->OnThemeChanged(n);
    }
}
void RefreshThemesActive() { State().ThemesActive = dxUxTheme::IsThemeActive() != 0; }
void HandleException(const std::exception& e)
{
    if (State().OnException)
        State().OnException(e);
    else if (Application)
        Application->ShowException(e);
}
}  // namespace detail

}  // namespace dxThemeManager

TdxThemeChangedNotificator::TdxThemeChangedNotificator()
{
    if (dxUxTheme::ThemeLibraryLoaded()) dxThemeManager::detail::AddSubscriber(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator()
{
    // Removing is harmless when never added; it also covers a library that
    // went away while the subscriber lived.
    dxThemeManager::detail::RemoveSubscriber(this);
}

LRESULT TdxThemeChangedEventReceiver::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_THEMECHANGED) return 0;   // no default handling is needed without a window
    try {
        dxThemeManager::CloseAllThemes();
        dxThemeManager::detail::RefreshThemesActive();
        dxThemeManager::detail::NotifySubscribers();
    } catch (const std::exception& e) {
        dxThemeManager::detail::HandleException(e);
    }
    return 0;
}
