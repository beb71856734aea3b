// Messages as controls receive them: the message record, the framework's own
// notification numbers (CM_, CN_), typed views of the common records and the
// macros that map message numbers to handler methods.
#pragma once

#include "Windows.h"

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(uintptr_t(LParam)); }
    WORD LParamHi() const { return HIWORD(uintptr_t(LParam)); }
};

// ---- framework notifications -------------------------------------------------

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_INVALIDATEDOCKHOST = CM_BASE + 70;
constexpr UINT CM_SETACTIVECONTROL = CM_BASE + 71;
constexpr UINT CM_POPUPHWNDDESTROY = CM_BASE + 72;
constexpr UINT CM_CREATEPOPUP = CM_BASE + 73;
constexpr UINT CM_DESTROYHANDLE = CM_BASE + 74;
constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 75;
constexpr UINT CM_CONTROLLISTCHANGING = CM_BASE + 76;
constexpr UINT CM_BUFFEREDPRINTCLIENT = CM_BASE + 77;
constexpr UINT CM_UNTHEMECONTROL = CM_BASE + 78;

// Notifications a window reflects back to the control that made it.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137;

// CM_MOUSEENTER/CM_MOUSELEAVE carry the control in LParam (null: the
// receiver itself).

// ---- typed views -----------------------------------------------------------------

// Reads and writes the fields of a message in the shape a message kind has;
// each view refers to the message it was made from.
struct TWMMouse {
    TMessage& M;
    explicit TWMMouse(TMessage& m) : M(m) {}
    WPARAM Keys() const { return M.WParam; }
    int XPos() const { return GET_X_LPARAM(M.LParam); }
    int YPos() const { return GET_Y_LPARAM(M.LParam); }
    TPoint Pos() const { return {XPos(), YPos()}; }
    LRESULT& Result() { return M.Result; }
};
struct TWMMouseWheel {
    TMessage& M;
    explicit TWMMouseWheel(TMessage& m) : M(m) {}
    WPARAM Keys() const { return LOWORD(M.WParam); }
    int WheelDelta() const { return int16_t(HIWORD(M.WParam)); }
    int XPos() const { return GET_X_LPARAM(M.LParam); }   // screen coordinates
    int YPos() const { return GET_Y_LPARAM(M.LParam); }
    LRESULT& Result() { return M.Result; }
};
// WM_KEYDOWN, WM_KEYUP, WM_CHAR and their CN_ reflections. WM_CHAR carries
// one UTF-16 code unit (a character outside the basic plane comes as two).
struct TWMKey {
    TMessage& M;
    explicit TWMKey(TMessage& m) : M(m) {}
    WORD CharCode() const { return WORD(M.WParam); }
    void SetCharCode(WORD c) { M.WParam = c; }
    LPARAM KeyData() const { return M.LParam; }
    bool AltDown() const { return (M.LParam & (1 << 29)) != 0; }
    LRESULT& Result() { return M.Result; }
};
struct TWMScroll {
    TMessage& M;
    explicit TWMScroll(TMessage& m) : M(m) {}
    int ScrollCode() const { return int16_t(LOWORD(M.WParam)); }
    int Pos() const { return int16_t(HIWORD(M.WParam)); }
    HWND ScrollBar() const { return reinterpret_cast<HWND>(M.LParam); }
    LRESULT& Result() { return M.Result; }
};
struct TWMSize {
    TMessage& M;
    explicit TWMSize(TMessage& m) : M(m) {}
    int SizeType() const { return int(M.WParam); }
    int Width() const { return LOWORD(uintptr_t(M.LParam)); }
    int Height() const { return HIWORD(uintptr_t(M.LParam)); }
};
// WM_PAINT, WM_ERASEBKGND, WM_NCPAINT: WParam may carry a device context to
// paint into (null: the window's own).
struct TWMPaint {
    TMessage& M;
    explicit TWMPaint(TMessage& m) : M(m) {}
    HDC DC() const { return reinterpret_cast<HDC>(M.WParam); }
    LRESULT& Result() { return M.Result; }
};
// WM_NCCALCSIZE: LParam points to the window rectangle (in parent
// coordinates); a handler shrinks it to the client rectangle.
struct TWMNCCalcSize {
    TMessage& M;
    explicit TWMNCCalcSize(TMessage& m) : M(m) {}
    TRect& Rect() const { return *reinterpret_cast<TRect*>(M.LParam); }
};
struct TWMSetFocus {
    TMessage& M;
    explicit TWMSetFocus(TMessage& m) : M(m) {}
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(M.WParam); }
};
struct TWMActivate {
    TMessage& M;
    explicit TWMActivate(TMessage& m) : M(m) {}
    int Active() const { return LOWORD(M.WParam); }
    bool Minimized() const { return HIWORD(M.WParam) != 0; }
    HWND ActiveWindow() const { return reinterpret_cast<HWND>(M.LParam); }
};
struct TWMTimer {
    TMessage& M;
    explicit TWMTimer(TMessage& m) : M(m) {}
    uintptr_t TimerID() const { return M.WParam; }
};
// WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED: LParam points to this.
struct TWindowPos {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};
// WM_CONTEXTMENU: the position in screen coordinates, -1,-1 from the keyboard.
struct TWMContextMenu {
    TMessage& M;
    explicit TWMContextMenu(TMessage& m) : M(m) {}
    HWND Wnd() const { return reinterpret_cast<HWND>(M.WParam); }
    int XPos() const { return GET_X_LPARAM(M.LParam); }
    int YPos() const { return GET_Y_LPARAM(M.LParam); }
};

// ---- message maps ------------------------------------------------------------------

// In a control's class body, maps message numbers to handler methods that
// take TMessage&:
//     QZ_BEGIN_MESSAGE_MAP
//         QZ_MESSAGE_HANDLER(WM_PAINT, WMPaint)
//     QZ_END_MESSAGE_MAP
// It overrides Dispatch; messages without a handler here go to the parent
// class's Dispatch, and so on up to DefaultHandler. Inside a handler,
// inherited::Dispatch(Message) runs what the parent class does for the same
// message.
#define QZ_BEGIN_MESSAGE_MAP                         \
public:                                              \
    void Dispatch(TMessage& Message) override        \
    {                                                \
        switch (Message.Msg) {
#define QZ_MESSAGE_HANDLER(Msg, Method) \
        case (Msg): Method(Message); return;
#define QZ_END_MESSAGE_MAP                           \
        default: break;                              \
        }                                            \
        inherited::Dispatch(Message);                \
    }                                                \
                                                     \
private:
