// Window, device-context and region handles, the window-message numbers and
// the flat drawing and windowing routines of the platform, answered by our
// own layer over Qt. Handles are opaque ids checked on every use: a stale
// handle does nothing and answers zero, it never reaches freed memory.
#pragma once

#include "Types.h"
#include <cstdint>
#include <functional>
#include <string>

// ---- scalar types ------------------------------------------------------------

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int;
using COLORREF = TColorRef;

struct HWND__;
struct HDC__;
struct HRGN__;
struct HBRUSH__;
struct HGDIOBJ__;
using HWND = HWND__*;        // a window: resolves to its TWinControl while it lives
using HDC = HDC__*;          // a device context: a canvas's drawing state
using HRGN = HRGN__*;        // a region object
using HBRUSH = HBRUSH__*;    // a solid brush object
using HGDIOBJ = void*;       // any of the drawing objects, for DeleteObject

constexpr WORD LOWORD(uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr int16_t GET_X_LPARAM(LPARAM l) { return int16_t(l & 0xFFFF); }
constexpr int16_t GET_Y_LPARAM(LPARAM l) { return int16_t((l >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)); }
constexpr LPARAM PointToLParam(TPoint p) { return MAKELPARAM(p.X, p.Y); }

// ---- window messages ----------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = WM_WININICHANGE;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_IME_CHAR = 0x0286;
// An input method starts and ends composing text over the window.
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D;
constexpr UINT WM_IME_ENDCOMPOSITION = 0x010E;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE states
constexpr int WA_INACTIVE = 0;
constexpr int WA_ACTIVE = 1;
constexpr int WA_CLICKACTIVE = 2;

// WM_SETTINGCHANGE parameters
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;

// WM_GETDLGCODE answers
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// Scroll codes (WM_HSCROLL, WM_VSCROLL)
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;
// Scroll-bar kinds
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// Mouse key flags (wParam of mouse messages)
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// Hit-test codes (WM_NCHITTEST, WM_SETCURSOR)
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTBORDER = 18;

// ---- forms, menus and dialog navigation -------------------------------------------
// Sizing answers of WM_NCHITTEST: a window without a frame of its own is
// moved and sized where it answers these.
constexpr int HTSYSMENU = 3;
constexpr int HTMENU = 5;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
// Moves the focus in a form: WParam the control's window when LParam is
// non-zero, else 0 for the next control and 1 for the previous one.
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_ENTERIDLE = 0x0121;

// ---- virtual keys ------------------------------------------------------------

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;
constexpr int VK_OEM_3 = 0xC0;
constexpr int VK_OEM_4 = 0xDB;
constexpr int VK_OEM_5 = 0xDC;
constexpr int VK_OEM_6 = 0xDD;
constexpr int VK_OEM_7 = 0xDE;
constexpr int VK_PROCESSKEY = 0xE5;

// ---- window styles -----------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_SAVEBITS = 0x0800;

// ShowWindow (SW_HIDE, SW_SHOWNORMAL, SW_SHOW… come with HostServices.h)
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// SetWindowPos
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

// WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// PeekMessage
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// ---- system metrics ------------------------------------------------------------

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CMONITORS = 80;
constexpr int SM_CXMINHTHUMB = SM_CXHTHUMB;
constexpr int SM_CYMINVTHUMB = SM_CYVTHUMB;

// ---- drawing flags -------------------------------------------------------------

// DrawText
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;

// ExtTextOut
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_RTLREADING = 0x0080;

// Background modes
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations (BitBlt, StretchBlt, CopyMode)
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// DrawEdge
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = 0x0003;
constexpr UINT BDR_INNER = 0x000C;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// DrawFrameControl
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// Regions
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// ScrollWindowEx
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// RedrawWindow
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ALLCHILDREN = 0x0080;

// GetDeviceCaps
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int HORZSIZE = 4;            // millimetres
constexpr int VERTSIZE = 6;
constexpr int PHYSICALWIDTH = 110;     // the whole sheet, device pixels
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;   // where the printable area starts
constexpr int PHYSICALOFFSETY = 113;

// ---- text metrics ----------------------------------------------------------------

struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    int tmOverhang = 0;
    char16_t tmFirstChar = 0x20;
    char16_t tmLastChar = 0xFFFF;
    char16_t tmDefaultChar = u'?';
    char16_t tmBreakChar = u' ';
    uint8_t tmItalic = 0;
    uint8_t tmUnderlined = 0;
    uint8_t tmStruckOut = 0;
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = 1;
};
constexpr uint8_t TMPF_FIXED_PITCH = 0x01;
constexpr uint8_t TMPF_VECTOR = 0x02;
constexpr uint8_t TMPF_TRUETYPE = 0x04;

// ---- drawing routines on device contexts (Graphics.cpp) --------------------------

HDC GetDC(HWND wnd);                 // GetDC(0): the screen's context
int ReleaseDC(HWND wnd, HDC dc);
HDC CreateCompatibleDC(HDC dc);      // a memory context over a 1×1 bitmap
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);                  // the new level, 0 on failure
BOOL RestoreDC(HDC dc, int savedDC); // a negative level counts back from the current
BOOL GetWindowOrgEx(HDC dc, TPoint* point);
BOOL SetWindowOrgEx(HDC dc, int x, int y, TPoint* oldPoint);
BOOL GetViewportOrgEx(HDC dc, TPoint* point);
BOOL SetViewportOrgEx(HDC dc, int x, int y, TPoint* oldPoint);
int GetDeviceCaps(HDC dc, int index);

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const TPoint* points, int count);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);   // region kind or ERROR
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, TRect* r);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const TRect& r);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
BOOL DeleteObject(HGDIOBJ obj);      // false for an unknown or deleted object

// Clip regions are in device coordinates; the rectangles given to
// ExcludeClipRect and IntersectClipRect are logical (the window origin applies).
int GetClipRgn(HDC dc, HRGN rgn);    // 1 with a clip region copied, 0 when none, -1 on error
int SelectClipRgn(HDC dc, HRGN rgn); // null removes the clip region
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, TRect* r);
BOOL RectVisible(HDC dc, const TRect& r);
BOOL PtVisible(HDC dc, int x, int y);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH GetSysColorBrush(int index);  // shared; DeleteObject ignores it
int FillRect(HDC dc, const TRect& r, HBRUSH brush);
int FrameRect(HDC dc, const TRect& r, HBRUSH brush);
BOOL InvertRect(HDC dc, const TRect& r);
BOOL DrawFocusRect(HDC dc, const TRect& r);
BOOL DrawEdge(HDC dc, TRect& r, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, const TRect& r, UINT type, UINT state);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
BOOL MoveToEx(HDC dc, int x, int y, TPoint* old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const TPoint* points, int count);
BOOL Polygon(HDC dc, const TPoint* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);   // CLR_INVALID outside
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF GetNearestColor(HDC dc, COLORREF color);

// Text takes UTF-8; count is in bytes of that text, -1 for all of it.
int DrawText(HDC dc, const std::string& text, int count, TRect* r, UINT format);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const TRect* r, const std::string& text,
                const int* dx = nullptr);
BOOL TextOut(HDC dc, int x, int y, const std::string& text);
BOOL GetTextExtentPoint32(HDC dc, const std::string& text, TSize* size);
BOOL GetTextMetrics(HDC dc, TTextMetric* tm);
// Extents per character: dx[i] is the width of the first i+1 characters
// (UTF-16 units); fit gets how many fit in maxExtent (when fit is given).
BOOL GetTextExtentExPoint(HDC dc, const std::string& text, int maxExtent, int* fit, int* dx, TSize* size);
// Text with tabs expanded to the given stops (none: every eight average
// character widths; one: that distance); returns MAKELONG(width, height).
DWORD GetTabbedTextExtent(HDC dc, const std::string& text, int tabCount, const int* tabStops);
DWORD TabbedTextOut(HDC dc, int x, int y, const std::string& text, int tabCount, const int* tabStops,
                    int tabOrigin);

// ---- system settings ---------------------------------------------------------------

int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
BOOL SystemParametersInfo(UINT action, UINT param, void* pvParam, UINT winIni);
BOOL GetCursorPos(TPoint* p);
BOOL SetCursorPos(int x, int y);
// Bit 15 set while the key is down, bit 0 toggled (caps lock…).
int16_t GetKeyState(int vkey);
int16_t GetAsyncKeyState(int vkey);
BOOL GetKeyboardState(uint8_t* keyState);   // 256 bytes; 0x80 marks a key that is down
uint32_t GetTickCount();
void MessageBeep(UINT type);
void Beep();

// ---- windows -----------------------------------------------------------------------

// Sent messages run at once through the target's window procedure; posted
// ones wait in the program's queue until its loop takes them.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt;
};
// Looks at the queue of posted messages (wnd null: any window; min and max 0:
// any message) and, with PM_REMOVE, takes the first match out.
BOOL PeekMessage(TMsg* msg, HWND wnd, UINT msgFilterMin, UINT msgFilterMax, UINT removeMsg);
LRESULT DispatchMessage(const TMsg* msg);

BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);
BOOL IsWindowEnabled(HWND wnd);
BOOL EnableWindow(HWND wnd, BOOL enable);
BOOL IsChild(HWND parent, HWND wnd);
HWND GetParent(HWND wnd);
HWND SetParent(HWND wnd, HWND newParent);
BOOL ShowWindow(HWND wnd, int cmd);
BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND wnd, int x, int y, int w, int h, BOOL repaint);
BOOL GetWindowRect(HWND wnd, TRect* r);   // screen coordinates
BOOL GetClientRect(HWND wnd, TRect* r);
BOOL ClientToScreen(HWND wnd, TPoint* p);
BOOL ScreenToClient(HWND wnd, TPoint* p);
int MapWindowPoints(HWND from, HWND to, TPoint* points, int count);
HWND WindowFromPoint(TPoint p);
HWND GetFocus();
HWND SetFocus(HWND wnd);
HWND GetActiveWindow();
HWND SetActiveWindow(HWND wnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND wnd);
HWND GetCapture();
HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
BOOL InvalidateRect(HWND wnd, const TRect* r, BOOL erase);
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND wnd, const TRect* r);
BOOL UpdateWindow(HWND wnd);
BOOL RedrawWindow(HWND wnd, const TRect* r, HRGN rgn, UINT flags);
int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN update,
                   TRect* updateRect, UINT flags);
// The window takes a copy of the region (or none, for null) as its shape.
int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND wnd, HRGN rgn);
DWORD GetWindowLong(HWND wnd, int index);   // GWL_STYLE, GWL_EXSTYLE
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

// Window timers: WM_TIMER with the id in wParam every elapse milliseconds,
// or a call of proc (window, WM_TIMER, id, tick count) when one is given. A
// timer without a window gets an id of its own (the one returned).
using TTimerProc = std::function<void(HWND wnd, UINT msg, uintptr_t id, DWORD time)>;
uintptr_t SetTimer(HWND wnd, uintptr_t id, UINT elapse, TTimerProc proc = nullptr);
BOOL KillTimer(HWND wnd, uintptr_t id);

// The caret: one per program, in the window that made it.
BOOL CreateCaret(HWND wnd, void* bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND wnd);
BOOL HideCaret(HWND wnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(TPoint* p);
UINT GetCaretBlinkTime();

// Mouse-leave tracking: WM_MOUSELEAVE once the mouse leaves the window.
constexpr DWORD TME_LEAVE = 0x0002;
constexpr DWORD TME_CANCEL = 0x80000000;
struct TTrackMouseEvent {
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
};
BOOL TrackMouseEvent(TTrackMouseEvent* tme);

// A window's own scroll bars (SB_HORZ, SB_VERT; WS_HSCROLL/WS_VSCROLL
// show them at first). They send WM_HSCROLL/WM_VSCROLL with the codes.
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
struct TScrollInfo {
    UINT cbSize = sizeof(TScrollInfo);
    UINT fMask = SIF_ALL;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};
int SetScrollInfo(HWND wnd, int bar, const TScrollInfo* info, BOOL redraw);   // the new position
BOOL GetScrollInfo(HWND wnd, int bar, TScrollInfo* info);
int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw);                  // the old position
int GetScrollPos(HWND wnd, int bar);
BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND wnd, int bar, BOOL show);
constexpr UINT ESB_ENABLE_BOTH = 0;
constexpr UINT ESB_DISABLE_BOTH = 3;
BOOL EnableScrollBar(HWND wnd, int bar, UINT arrows);
constexpr int OBJID_HSCROLL = -6;
constexpr int OBJID_VSCROLL = -5;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001;
constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;
constexpr DWORD STATE_SYSTEM_OFFSCREEN = 0x00010000;
struct TScrollBarInfo {
    DWORD cbSize = sizeof(TScrollBarInfo);
    TRect rcScrollBar;          // screen coordinates
    int dxyLineButton = 0;
    int xyThumbTop = 0;         // from the bar's start
    int xyThumbBottom = 0;
    int reserved = 0;
    DWORD rgstate[6] = {};      // the bar, up arrow, page up, thumb, page down, down arrow
};
BOOL GetScrollBarInfo(HWND wnd, int objectId, TScrollBarInfo* info);

// Registered clipboard formats and window messages share one number space.
UINT RegisterWindowMessage(const std::string& name);

// ---- standard controls: button notifications, system settings for tests ------------

constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_LEFTTEXT = 0x0020;
constexpr DWORD BS_MULTILINE = 0x2000;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr LRESULT BST_PUSHED = 4;
constexpr LRESULT BST_FOCUS = 8;
constexpr WPARAM BN_CLICKED = 0;
constexpr WPARAM BN_DOUBLECLICKED = 5;
constexpr int OBM_CHECKBOXES = 32759;

// System metrics answer fixed values; a test (or a look) may put others in
// their place, and take them out again.
void SetSystemMetric(int index, int value);
void ResetSystemMetrics();
// Where MessageBeep goes: the window system's bell unless a sink is set (a
// test counts the beeps). Null restores the bell.
using TBeepSink = std::function<void(UINT type)>;
void SetBeepSink(TBeepSink sink);
