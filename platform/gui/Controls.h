// Controls: the base of everything on a form. TControl has bounds, a parent,
// colour and font, mouse handling and messages; TWinControl owns a window
// (a Qt widget, held privately) that turns the window system's events into
// messages; TCustomControl and TGraphicControl paint themselves through a
// canvas. Also the mouse, dragging inside the program, message filters and
// the program's timers.
#pragma once

#include "Graphics.h"
#include "Messages.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TCustomForm;
class TBasicAction;
class TBasicActionLink;
class QWidget;   // the window a control owns; only the layer itself sees its insides
struct TWinControlWindow;

// ---- enumerations ----------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TSet<TAlign, 8>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, 8>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
                imChinese, imSHanguel, imHanguel };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
                   scEndScroll };
enum TScrollBarKind { sbHorizontal, sbVertical };
using TScrollEvent = std::function<void(TObject* sender, TScrollCode scrollCode, int& scrollPos)>;

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
    csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem, 32>;
enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem, 16>;

// ---- edits, memos, menus and actions: what the control layer shares with them ----------

// Which of its own scroll bars a window shows (memos, grids, containers).
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---- cursors -----------------------------------------------------------------------

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

struct HCURSOR__;
using HCURSOR = HCURSOR__*;
// A cursor from an image (the hot spot in image coordinates).
HCURSOR CreateCursorFromBitmap(TBitmap* image, TPoint hotSpot);
HCURSOR LoadStandardCursor(TCursor standard);

// ---- events --------------------------------------------------------------------------

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, int wheelDelta,
                                            TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* sender, TShiftState shift, TPoint mousePos,
                                                  bool& handled)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;
using TConstrainedResizeEvent = std::function<void(TObject* sender, int& minWidth, int& minHeight,
                                                   int& maxWidth, int& maxHeight)>;
class TDragObject;
class TDragImageList;
using TDragOverEvent = std::function<void(TObject* sender, TObject* source, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TStartDockEvent = std::function<void(TObject* sender, TObject*& dragObject)>;

// The shift state of key flags (MK_ of mouse messages) and of the keyboard now.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState GetShiftState();

// ---- size constraints --------------------------------------------------------------------

class TSizeConstraints : public TPersistent {
    QZ_CLASS(TSizeConstraints, TPersistent)
public:
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;   // 0: no limit
    void SetMinWidth(int v) { MinWidth = std::max(0, v); Change(); }
    void SetMinHeight(int v) { MinHeight = std::max(0, v); Change(); }
    void SetMaxWidth(int v) { MaxWidth = std::max(0, v); Change(); }
    void SetMaxHeight(int v) { MaxHeight = std::max(0, v); Change(); }
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;
private:
    void Change() { if (OnChange) OnChange(this); }
};

// ---- TControl --------------------------------------------------------------------------

class TControl : public TComponent {
    QZ_CLASS(TControl, TComponent)
    friend class TWinControl;
public:
    explicit TControl(TComponent* owner = nullptr);
    ~TControl() override;
    void BeforeDestruction() override;

    // ---- messages
    // Sends a message straight to the control's window procedure.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control's window procedure; replace it to see (and pass on, or
    // not) every message. Empty means WndProc.
    std::function<void(TMessage&)> WindowProc;
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // ---- tree and geometry
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
    void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
    virtual void SetClientSize(int w, int h);
    // Where the client area's (0,0) lies on the screen.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TPoint ClientToParent(TPoint p, TWinControl* parent = nullptr) const;
    TPoint ParentToClient(TPoint p, TWinControl* parent = nullptr) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool v);

    // ---- state and appearance
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to a shown window.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    // Follows the parent while ParentShowHint is set.
    bool ShowHint() const;
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);
    // The caption of controls that show one; Text and Caption are the same.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string Text() const { return GetText(); }
    void SetTextValue(const std::string& v) { SetText(v); }
    virtual std::string GetText() const;
    virtual void SetText(const std::string& v);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState v) { FControlState = v; }
    bool IsRightToLeft() const { return false; }
    TBiDiMode BiDiMode() const { return bdLeftToRight; }
    // ---- actions: a control linked to an action shows its caption, enabled
    // state, hint and visibility, and a click runs it (unless OnClick is set).
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    TBasicActionLink* ActionLink() const { return FActionLink.get(); }
    // Takes the action's state; controls with more to show (checked, an
    // image) override it and add theirs.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    // Asks the linked action for its state now (its OnUpdate).
    virtual void InitiateAction();

    // The popup menu shown on a right click (a menu component; see
    // SetPopupMenuHandler).
    TComponent* PopupMenu() const { return FPopupMenu.Get(); }
    void SetPopupMenu(TComponent* menu) { FPopupMenu = menu; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind v) { FDragKind = v; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }

    // ---- painting
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- z-order
    void BringToFront();
    void SendToBack();

    // ---- mouse
    bool MouseCapture() const;
    void SetMouseCapture(bool v);
    bool MouseInClient() const { return FMouseInClient; }

    // ---- dragging
    void BeginDrag(bool immediate, int threshold = -1);
    void EndDrag(bool drop);
    bool Dragging() const;

    // ---- docking (Docking.h, Docking.cpp)
    // The dock site holding the control (null when floating or not docked).
    TWinControl* HostDockSite() const;
    // Floating: a form on its own, or a control in its float window.
    bool Floating() const;
    void ManualDock(TWinControl* newDockSite, TControl* dropControl = nullptr, TAlign controlSide = alNone);
    // Floats the control with its window at screenPos (the control's size when empty).
    void ManualFloat(const TRect& screenPos);
    // The size the control takes when it floats (its size when docked, 0: as it is).
    int UndockWidth() const;
    int UndockHeight() const;
    void SetUndockWidth(int v);
    void SetUndockHeight(int v);

    // ---- events
    TNotifyEvent OnClick, OnDblClick, OnResize, OnMouseEnter, OnMouseLeave;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown, OnMouseWheelUp;
    TContextPopupEvent OnContextPopup;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;

    // Overridable behaviour (the handlers call these).
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    virtual void DoContextPopup(TPoint mousePos, bool& handled);
    virtual TComponent* GetPopupMenu() const { return PopupMenu(); }
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);
    virtual void DoStartDrag(TDragObject*& dragObject);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DragCanceled() {}
    // The image a drag from this control shows beside the cursor, when the
    // control style has csDisplayDragImage; none by default.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    virtual void Resize();
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual bool CanAutoSize(int& newWidth, int& newHeight) { return true; }
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    virtual void Loaded() override;
    virtual void Changed() { Perform(CM_CHANGED, 0, LPARAM(this)); }
    // Whether the point (client coordinates) hits the control.
    virtual bool HitTest(int x, int y) { return true; }

    // The layer's own bookkeeping.
    void ParentChangedBounds();

protected:
    TRect FAnchorRules;   // distances kept by anchors, set when placed
    virtual void RequestAlign();
    virtual void VisibleChanging() {}
    virtual void Notification(TComponent* component, TOperation operation) override;
    void SendCancelMode(TControl* sender);
    void UpdateAnchorRules();
    void UpdateBoundsRect(const TRect& r);   // bounds without realigning
    void DoSetBounds(int l, int t, int w, int h);

    // Message handlers of every control.
    void WMLButtonDown(TMessage& m);
    void WMLButtonUp(TMessage& m);
    void WMLButtonDblClk(TMessage& m);
    void WMRButtonDown(TMessage& m);
    void WMRButtonUp(TMessage& m);
    void WMRButtonDblClk(TMessage& m);
    void WMMButtonDown(TMessage& m);
    void WMMButtonUp(TMessage& m);
    void WMMButtonDblClk(TMessage& m);
    void WMMouseMove(TMessage& m);
    void WMMouseWheel(TMessage& m);
    void WMContextMenu(TMessage& m);
    void WMCancelMode(TMessage& m);
    void CMMouseEnter(TMessage& m);
    void CMMouseLeave(TMessage& m);
    void CMColorChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMParentColorChanged(TMessage& m);
    void CMParentFontChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMTextChanged(TMessage& m);
    void CMHitTest(TMessage& m);
    void CMDrag(TMessage& m);
    void CMMouseWheel(TMessage& m);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    std::string FText;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    TWeakRef<TComponent> FPopupMenu;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TCursor FDragCursor = crDrag;
    bool FMouseInClient = false;
    bool FUpdatingFont = false;
    std::unique_ptr<TBasicActionLink> FActionLink;
    int FAnchorParentW = -1, FAnchorParentH = -1;

private:
    void DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra);
    void DoMouseUp(TMessage& m, TMouseButton button);
};

// ---- TWinControl --------------------------------------------------------------------------

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT WindowClassStyle = CS_DBLCLKS;
    std::string WinClassName;
};

class TWinControl : public TControl {
    QZ_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* owner = nullptr);
    // A control made inside a window it does not own (the parent's handle).
    static TWinControl* CreateParented(HWND parentWindow);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // ---- the window
    HWND Handle();
    bool HandleAllocated() const;
    void HandleNeeded();
    void RecreateWnd();
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND w);
    // The Qt widget of the window (made on demand); for the layer and the
    // controls that wrap a native widget.
    QWidget* Widget();

    // ---- children
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(size_t(index)); }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    bool ContainsControl(TControl* c) const;
    TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false) const;
    TWinControl* FindChildControl(const std::string& name) const;
    int IndexOfControl(TControl* c) const;
    void SetChildZOrder(TControl* c, bool top);

    // ---- alignment
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    virtual void AlignControls(TControl* control, TRect& rect);
    virtual void AdjustClientRect(TRect& rect) { }
    TRect ClientRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    TPoint ClientOrigin() const override;
    // The non-client border widths (left, top, right, bottom), as the
    // window's WM_NCCALCSIZE answered them.
    TRect NonClientInsets() const { return FInsets; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);

    // ---- focus
    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    virtual bool CanFocus() const;
    virtual void SetFocus();
    virtual bool Focused() const;
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    void SelectFirst();

    // ---- appearance
    TBrush* Brush() const { return FBrush.get(); }
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool v);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool v);
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode v) { FImeMode = v; }
    std::string ImeName;

    // ---- painting
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void InvalidateRect(const TRect& clientRect);
    // Paints the control and its children into a canvas, (x, y) being where
    // the control's top-left corner goes.
    void PaintTo(TCanvas* canvas, int x, int y);
    void PaintTo(HDC dc, int x, int y);
    void ScrollBy(int dx, int dy);
    // Changes the window's shape; null restores the rectangle.
    void SetWindowRegion(const TRegion* region);

    // ---- docking (Docking.h, Docking.cpp)
    bool DockSite() const;
    void SetDockSite(bool v);
    int DockClientCount() const;
    TControl* DockClients(int index) const;
    // The arrangement of the site's docked controls (null unless a dock site).
    class TDockManager* DockManager() const;
    std::function<void(TObject* sender, class TDragDockObject* source, int x, int y)> OnDockDrop;
    std::function<void(TObject* sender, class TDragDockObject* source, int x, int y, TDragState state,
                       bool& accept)> OnDockOver;
    std::function<void(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow)> OnUnDock;
    std::function<void(TObject* sender, TControl* dockClient, TRect& influenceRect, TPoint mousePos,
                       bool& canDock)> OnGetSiteInfo;

    // ---- messages to all children
    void Broadcast(TMessage& message);
    void NotifyControls(UINT msg);

    // ---- keys
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    // Characters come as the bytes of their 8-bit (GBK) form: a Chinese
    // character is two calls, lead byte first; zeroing the lead byte drops
    // the character. WM_CHAR itself carries the UTF-16 code unit.
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    // Returns true when the key was taken (zeroed) by the form's preview or a handler.
    bool DoKeyDown(TMessage& m);
    bool DoKeyUp(TMessage& m);
    bool DoKeyPress(TMessage& m);

    void SetParent(TWinControl* parent) override;
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void SetEnabled(bool v) override;

    // ---- for the layer
    TWinControlWindow* Window() const { return FWindow.get(); }
    void UpdateWidgetGeometry();
    void UpdateShowing();
    // Asks the window for its borders again (WM_NCCALCSIZE), after a style
    // or scroll-bar change.
    void UpdateNonClient();
    virtual bool IsTopLevel() const { return false; }

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateHandle();
    virtual void CreateWnd();
    // Makes the window; descendants that wrap a native widget return it here
    // instead of the layer's own painting widget.
    virtual QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget);
    virtual void DestroyHandle();
    virtual void DestroyWnd();
    virtual void CreateWindowDone() {}
    virtual void PaintWindow(HDC dc);
    void PaintHandler(TMessage& m);
    void PaintControls(HDC dc, TControl* first);
    virtual void CreateSubClass(TCreateParams&, const char*) {}

    void WMPaint(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMNCPaint(TMessage& m);
    void WMNCCalcSize(TMessage& m);
    void WMSetFocus(TMessage& m);
    void WMKillFocus(TMessage& m);
    void WMKeyDown(TMessage& m);
    void WMKeyUp(TMessage& m);
    void WMChar(TMessage& m);
    void WMSysKeyDown(TMessage& m);
    void WMSysKeyUp(TMessage& m);
    void WMSize(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = 0; }
    void CNKeyDown(TMessage& m);
    void CNKeyUp(TMessage& m);
    void CNChar(TMessage& m);
    void CMEnter(TMessage& m);
    void CMExit(TMessage& m);
    void CMFocusChanged(TMessage& m) {}
    void CMColorChanged2(TMessage& m);
    void CMShowingChanged(TMessage& m);
    void CMCtl3DChanged(TMessage& m);
    // Key down and key up differ only in which preview and handler they call.
    bool DoKey(TMessage& m, bool (TWinControl::*viaForm)(TMessage&),
               void (TWinControl::*handler)(WORD&, TShiftState));

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TWinControlWindow> FWindow;
    HWND FParentWindow = nullptr;
    TRect FInsets;
    int FBorderWidth = 0;
    int FAlignLevel = 0;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDoubleBuffered = false;
    TImeMode FImeMode = imDontCare;
    bool FAligning = false;
    bool FRealignPending = false;
};

// ---- controls that paint themselves ------------------------------------------------------

// A canvas over a control: in its paint handler the paint context, elsewhere
// a context made for it (drawing there is not kept by windows that repaint
// from their own painting).
class TControlCanvas : public TCanvas {
    QZ_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* c);
    void FreeHandle();
protected:
    void CreateHandle() override;
private:
    TControl* FControl = nullptr;
    bool FOwnsDC = false;
};

class TCustomControl : public TWinControl {
    QZ_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner = nullptr);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;
    std::unique_ptr<TControlCanvas> FCanvas;
};

class TGraphicControl : public TControl {
    QZ_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner = nullptr);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
protected:
    virtual void Paint() {}
    void WMPaint(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_PAINT, WMPaint)
    QZ_END_MESSAGE_MAP
protected:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A control of the layer's own with a canvas and a paint event.
class TPaintBox : public TGraphicControl {
    QZ_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* owner = nullptr);
    TNotifyEvent OnPaint;
protected:
    void Paint() override;
};

// ---- hint windows ----------------------------------------------------------------------------

// What CM_HINTSHOW carries in LParam: a control may change the text, the
// place (screen) or the area of its client the hint belongs to, or answer
// non-zero to show none.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint CursorPos;          // client coordinates
    TRect CursorRect;          // leaving it starts the hint over
    TPoint HintPos;            // screen coordinates
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    std::string HintStr;
    int ReshowTimeout = 0;
    int HideTimeout = 0;
};

// The small window a hint shows in: a border, the info colour and the text,
// over everything, never taking the focus. Bounds are in screen coordinates.
class THintWindow : public TCustomControl {
    QZ_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* owner = nullptr);
    // The size the text needs, wrapped at maxWidth, with the border and margins.
    virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
    virtual void ActivateHint(const TRect& r, const std::string& hint);
    void ReleaseHandle();
    bool Active() const { return FActive; }
protected:
    void CreateParams(TCreateParams& p) override;
    void Paint() override;
    void NCPaint(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_NCPAINT, NCPaint)
    QZ_END_MESSAGE_MAP
private:
    bool FActive = false;
};

// ---- dragging ------------------------------------------------------------------------------

class TDragObject : public TObject {
    QZ_CLASS(TDragObject, TObject)
public:
    virtual TCursor GetDragCursor(bool accepted, int x, int y) { return accepted ? crDrag : crNoDrop; }
    virtual void Finished(TObject* target, int x, int y, bool accepted) {}
    virtual TControl* Control() const { return nullptr; }
    // The image shown during the drag (none here), and taking it down and
    // up again around painting under it.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    virtual void HideDragImage();
    virtual void ShowDragImage();
    TPoint DragPos;              // screen
    TObject* DragTarget = nullptr;
    TPoint DragTargetPos;        // in the target's client coordinates
    bool Cancelling = false;
    bool Dropped = false;
};

// What CM_DRAG carries in LParam (WParam: the TDragMessage).
struct TDragRec {
    TPoint Pos;                  // client coordinates of the receiver
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    bool Accept = false;
    TDragState State = dsDragMove;
};

class TDragControlObject : public TDragObject {
    QZ_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* control = nullptr) : FControl(control) {}
    TControl* Control() const override { return FControl.Get(); }
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    // The control's image, while its style asks for one.
    TDragImageList* GetDragImages() override;
private:
    TWeakRef<TControl> FControl;
};

// The drag in progress; null when none.
TDragObject* DragObject();
// The control under a screen point that takes drops (disabled ones too when asked).
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
// The window control under a screen point.
TWinControl* FindVCLWindow(TPoint screenPos);
TWinControl* FindControl(HWND wnd);
TCustomForm* GetParentForm(TControl* control);
TWinControl* GetCaptureControlWindow();
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// ---- the mouse ----------------------------------------------------------------------------

class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(TPoint p);
    HWND Capture() const { return GetCapture(); }
    void SetCapture(HWND w) { ::SetCapture(w); }
    int DragThreshold() const { return FDragThreshold; }
    void SetDragThreshold(int v) { FDragThreshold = std::max(1, v); }
    bool DragImmediate() const { return FDragImmediate; }
    void SetDragImmediate(bool v) { FDragImmediate = v; }
    int WheelScrollLines() const;
    bool MousePresent() const { return true; }
    bool WheelPresent() const { return true; }
private:
    int FDragThreshold = 5;
    bool FDragImmediate = true;
};
extern TMouse* Mouse;

// ---- message filters ----------------------------------------------------------------------

// Filters run by the dispatcher before a message reaches a window:
//  - CallWndProc: before a window procedure gets a message from the window
//    system or SendMessage (destroy, close, show, position, activation…);
//  - GetMessage: before a key message or a posted message is taken from the queue;
//  - Mouse: before a mouse message is delivered (target: the window under the mouse).
// A filter returning true stops the message (its Result is the answer).
enum class TMessageFilterKind { CallWndProc, GetMessage, Mouse };
using TMessageFilter = std::function<bool(HWND target, TMessage& message)>;
int AddMessageFilter(TMessageFilterKind kind, TMessageFilter filter);
void RemoveMessageFilter(int id);
bool RunMessageFilters(TMessageFilterKind kind, HWND target, TMessage& message);

// ---- timers ------------------------------------------------------------------------------

// All timers of the program run on one schedule: from the real clock, or,
// for tests, from a manual clock that AdvanceTimers moves.
namespace Timers {
using TTimerProc = std::function<void()>;
uintptr_t Start(UINT interval, TTimerProc proc);   // returns an id, never 0
void Stop(uintptr_t id);
bool Active(uintptr_t id);
void SetManualClock(bool manual);
bool ManualClock();
// Moves the manual clock on, firing every timer that falls due in order.
void Advance(UINT milliseconds);
uint64_t NowMs();
}

// The popup-menu hook: the menu issue installs how a menu component pops up.
using TPopupMenuHandler = std::function<bool(TComponent* menu, TControl* control, TPoint screenPos)>;
void SetPopupMenuHandler(TPopupMenuHandler h);

// How a hint shows: in the program's hint window unless a handler is set
// (tests, another look). Called with an empty hint to take it away.
using THintHandler = std::function<void(TControl* control, const std::string& hint, TPoint screenPos)>;
void SetHintHandler(THintHandler h);
// The parts of a hint "short|long".
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
// The control whose hint shows (or waits to), if any.
TControl* HintControl();

// A window that is never shown, only to receive messages (posted ones,
// timers, system changes) through proc.
HWND AllocateHWnd(std::function<void(TMessage&)> proc);
void DeallocateHWnd(HWND wnd);

// Tells every window of the program that a system setting changed
// (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED…): top-level windows
// and hidden ones get the message; forms pass it on to their controls as the
// CM_ notification (CM_SYSCOLORCHANGE, CM_WININICHANGE).
void BroadcastSystemChange(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Puts off deleting a control until the message loop is idle again (a
// control freed from inside its own handler).
void ReleaseLater(TObject* obj);
