// Run-time access to the platform's visual-styles library. On a platform
// without it nothing is bound: ThemeLibraryLoaded() is false and every
// forwarder answers a failure, so the classic painters draw. A library
// object can be installed (tests install a fake one) to serve the calls.
#pragma once

#include "Windows.h"

#include <cstdint>
#include <string>

using HTHEME = uintptr_t;
using HRESULT = int32_t;

constexpr HRESULT dxS_OK = 0;
constexpr HRESULT dxE_FAIL = HRESULT(0x80004005u);

// The entry points of the visual-styles library this system calls. A method
// left as in this base stands for an entry point the library lacks.
class TdxThemeLibrary {
public:
    virtual ~TdxThemeLibrary() = default;
    virtual HTHEME OpenThemeData(HWND wnd, const std::u16string& classList) { return 0; }
    virtual HRESULT CloseThemeData(HTHEME theme) { return dxE_FAIL; }
    virtual HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r,
                                        const TRect* clip) { return dxE_FAIL; }
    virtual HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::u16string& text,
                                  int length, DWORD flags, DWORD flags2, const TRect& r) { return dxE_FAIL; }
    virtual HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                  const TRect& bounds, TRect& content) { return dxE_FAIL; }
    virtual HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const TRect* r,
                                     int sizeKind, TSize& size) { return dxE_FAIL; }
    virtual HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const TRect& r,
                                             HRGN& region) { return dxE_FAIL; }
    virtual HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& r, UINT edge,
                                  UINT flags, TRect* content) { return dxE_FAIL; }
    virtual BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) { return 0; }
    virtual HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const TRect* r) { return dxE_FAIL; }
    virtual HRESULT GetThemeColor(HTHEME theme, int part, int state, int propId, TColorRef& color)
    {
        return dxE_FAIL;
    }
    virtual BOOL IsThemeActive() { return 0; }
};

namespace dxUxTheme {

// Binds a library for an OS of the given version; only 5.1 and later load
// it. Null (the default on this platform) leaves the library unloaded.
void LoadThemeLibrary(TdxThemeLibrary* library, int osMajor = 5, int osMinor = 1);
void UnloadThemeLibrary();

bool ThemeLibraryLoaded();
bool IsOSVersionXPOrLater();

HTHEME OpenThemeData(HWND wnd, const std::u16string& classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const TRect& r, const TRect* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::u16string& text, int length,
                      DWORD flags, DWORD flags2, const TRect& r);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const TRect& bounds,
                                      TRect& content);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const TRect* r, int sizeKind, TSize& size);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const TRect& r, HRGN& region);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const TRect& r, UINT edge, UINT flags,
                      TRect* content);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const TRect* r);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int propId, TColorRef& color);
BOOL IsThemeActive();

}  // namespace dxUxTheme
