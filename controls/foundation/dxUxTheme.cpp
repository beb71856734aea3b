#include "dxUxTheme.h"

namespace dxUxTheme {

namespace {
TdxThemeLibrary* GLibrary = nullptr;   // not owned: the installer keeps it
bool GOSIsXPOrLater = false;
}  // namespace

void LoadThemeLibrary(TdxThemeLibrary* library, int osMajor, int osMinor)
{
    GOSIsXPOrLater = osMajor > 5 || (osMajor == 5 && osMinor > 0);
    GLibrary = GOSIsXPOrLater ? library : nullptr;
}

void UnloadThemeLibrary()
{
    GLibrary = nullptr;
}

bool ThemeLibraryLoaded() { return GLibrary != nullptr; }
bool IsOSVersionXPOrLater() { return GOSIsXPOrLater; }

HTHEME OpenThemeData(HWND wnd, const std::u16string& classList)
{
    return GLibrary ? GLibrary->OpenThemeData(wnd, classList) : 0;
}

HRESULT CloseThemeData(HTHEME theme)
{
    return GLibrary ? GLibrary->CloseThemeData(theme) : dxE_FAIL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect* clip)
{
    return GLibrary ? GLibrary->DrawThemeBackground(theme, dc, part, state, r, clip) : dxE_FAIL;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::u16string& text, int length,
                      DWORD flags, DWORD flags2, const TRect& r)
{
    return GLibrary ? GLibrary->DrawThemeText(theme, dc, part, state, text, length, flags, flags2, r) : dxE_FAIL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const TRect& bounds,
                                      TRect& content)
{
    return GLibrary ? GLibrary->GetThemeBackgroundContentRect(theme, dc, part, state, bounds, content) : dxE_FAIL;
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const TRect* r, int sizeKind, TSize& size)
{
    return GLibrary ? GLibrary->GetThemePartSize(theme, dc, part, state, r, sizeKind, size) : dxE_FAIL;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const TRect& r, HRGN& region)
{
    return GLibrary ? GLibrary->GetThemeBackgroundRegion(theme, dc, part, state, r, region) : dxE_FAIL;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& r, UINT edge, UINT flags,
                      TRect* content)
{
    return GLibrary ? GLibrary->DrawThemeEdge(theme, dc, part, state, r, edge, flags, content) : dxE_FAIL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    return GLibrary ? GLibrary->IsThemeBackgroundPartiallyTransparent(theme, part, state) : 0;
}

HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const TRect* r)
{
    return GLibrary ? GLibrary->DrawThemeParentBackground(wnd, dc, r) : dxE_FAIL;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int propId, TColorRef& color)
{
    return GLibrary ? GLibrary->GetThemeColor(theme, part, state, propId, color) : dxE_FAIL;
}

BOOL IsThemeActive()
{
    return GLibrary ? GLibrary->IsThemeActive() : 0;
}

}  // namespace dxUxTheme
