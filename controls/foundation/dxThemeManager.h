// One cached theme handle per themed object type, whether visual styles can
// be used at all, and the subscribers told when the user changes the theme.
#pragma once

#include "Classes.h"
#include "Components.h"
#include "dxUxTheme.h"

#include <functional>
#include <string>

enum TdxThemedObjectType {
    themeButton, themeClock, themeComboBox, themeEdit, themeExplorerBar, themeHeader, themeListView,
    themeMenu, themePage, themeProgress, themeRebar, themeScrollBar, themeSpin, themeStartPanel,
    themeStatus, themeTab, themeTaskBand, themeTaskBar, themeToolBar, themeToolTip, themeTrackBar,
    themeTrayNotify, themeTreeView, themeWindow
};
using TdxThemedObjectTypes = TSet<TdxThemedObjectType, 32>;
constexpr int dxThemedObjectTypeCount = 24;

struct TdxThemeData {
    HTHEME ThemeHandle = 0;
    std::u16string ClassList;
};

// One subscriber to theme changes.
class TdxThemeChangedNotificator : public TObject {
    QZ_CLASS(TdxThemeChangedNotificator, TObject)
public:
    TdxThemeChangedNotificator();
    ~TdxThemeChangedNotificator() override;
    TNotifyEvent OnThemeChanged;
};

// Receives the theme-changed message for the process (one exists while the
// library is loaded).
class TdxThemeChangedEventReceiver : public TObject {
    QZ_CLASS(TdxThemeChangedEventReceiver, TObject)
public:
    // The receiver's window procedure.
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
};

namespace dxThemeManager {

// Unit start-up and shutdown: call after dxUxTheme::LoadThemeLibrary and
// before unloading it.
void Initialize();
void Finalize();

bool AreVisualStylesAvailable(TdxThemedObjectTypes types = {});
// ClassList null: the cached class list, else the type's default class.
HTHEME OpenTheme(TdxThemedObjectType type, const std::u16string* classList = nullptr);
HRESULT CloseTheme(TdxThemedObjectType type);
void CloseAllThemes();

const TdxThemeData& ThemeData(TdxThemedObjectType type);
std::u16string DefaultClassName(TdxThemedObjectType type);
bool ThemesActive();
// The receiver, null while the library is not loaded.
TdxThemeChangedEventReceiver* EventReceiver();
// Where an exception raised while telling subscribers goes; by default the
// application's handler when one is installed.
void SetExceptionHandler(std::function<void(const std::exception&)> handler);

}  // namespace dxThemeManager
