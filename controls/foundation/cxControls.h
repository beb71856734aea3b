// The custom-drawn control base of grids, editors and containers: its own
// painter-drawn scroll bars and size grip, a border drawn by the painter,
// focus-on-click rules, popup menus, mouse capture objects, font listeners,
// child components, destroy guards, the internal drag and drop and middle-
// button pan scrolling; and the process-wide services beside it (system
// scroll-bar size watcher, mouse-leave tracking, hourglass counter, popup
// routine, work area, cursors).
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "cxClasses.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"

#include <memory>
#include <vector>

class TcxControl;
class TcxDragAndDropObject;
class TcxDragImageList;

enum TcxControlBorderStyle { cxcbsNone, cxcbsDefault };
enum TcxDragAndDropState { ddsNone, ddsStarting, ddsInProcess };
enum TcxMouseWheelScrollingKind { mwskNone, mwskHorizontal, mwskVertical };
enum TcxDirection { dirNone, dirLeft, dirRight, dirUp, dirDown };
enum TcxWantedKey { wkAll, wkArrows, wkChars, wkTab };
using TcxWantedKeys = TSet<TcxWantedKey, 8>;

// The private message telling a control the system scroll-bar size may have changed.
constexpr UINT DXM_SCROLLBARSIZECHANGED = 0x8131;

// Cursor numbers registered with the screen.
constexpr TCursor crcxDragCopy = 2100;
constexpr TCursor crcxFullScroll = 2101;
constexpr TCursor crcxHorScroll = 2102;
constexpr TCursor crcxVerScroll = 2103;
constexpr TCursor crcxUpScroll = 2104;
constexpr TCursor crcxRightScroll = 2105;
constexpr TCursor crcxDownScroll = 2106;
constexpr TCursor crcxLeftScroll = 2107;
constexpr TCursor crcxRemove = 2108;
constexpr TCursor crcxVertSize = 2109;
constexpr TCursor crcxHorzSize = 2110;
constexpr TCursor crcxMultiDrag = 2111;
constexpr TCursor crcxNoDrop = 2112;
constexpr TCursor crcxDrag = 2113;

// ---- interfaces -----------------------------------------------------------------------------

class IcxMouseTrackingCaller {
public:
    virtual ~IcxMouseTrackingCaller() = default;
    virtual void MouseLeave() = 0;
};
class IcxMouseTrackingCaller2 {
public:
    virtual ~IcxMouseTrackingCaller2() = default;
    virtual bool PtInCaller(const TPoint& P) = 0;
};
class IcxMouseCaptureObject {
public:
    virtual ~IcxMouseCaptureObject() = default;
    virtual void DoCancelMode() = 0;
};
class IcxPopupMenu {
public:
    virtual ~IcxPopupMenu() = default;
    virtual void Popup(int X, int Y) = 0;
};
class IcxFontListener {
public:
    virtual ~IcxFontListener() = default;
    virtual void FontChanged(TObject* Sender, TFont* AFont) = 0;
};

// ---- parts of the control ------------------------------------------------------------------------

struct TcxScrollBarData {
    int Min = 0, Max = 100, Position = 0, PageSize = 0;
    TScrollBarInc SmallChange = 1, LargeChange = 1;
    bool Enabled = true, Visible = false, ShowAllowed = true, HideAllowed = true;
};

class TcxControlScrollBar : public TcxScrollBar {
    QZ_CLASS(TcxControlScrollBar, TcxScrollBar)
public:
    explicit TcxControlScrollBar(TComponent* AOwner = nullptr);
    TcxScrollBarData Data;
    void ApplyData();

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TcxSizeGrip : public TCustomControl {
    QZ_CLASS(TcxSizeGrip, TCustomControl)
public:
    explicit TcxSizeGrip(TComponent* AOwner = nullptr);

protected:
    void Paint() override;
};

// A component that belongs to a control (a grid's view, a level…).
class TcxControlChildComponent : public TcxComponent {
    QZ_CLASS(TcxControlChildComponent, TcxComponent)
public:
    explicit TcxControlChildComponent(TComponent* AOwner = nullptr) : TcxComponent(AOwner) {}
    static TcxControlChildComponent* CreateForControl(TClass AClass, TcxControl* AControl, bool AAssignOwner = true);
    ~TcxControlChildComponent() override;
    TcxControl* Control() const { return FControl; }
    virtual bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    virtual void SetControl(TcxControl* Value) { FControl = Value; }
    bool HasParent() const override { return FControl != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    TcxControl* FControl = nullptr;
};

// ---- the control -----------------------------------------------------------------------------------

class TcxControl : public TCustomControl, public IcxLookAndFeelListener {
    QZ_CLASS(TcxControl, TCustomControl)
public:
    explicit TcxControl(TComponent* AOwner = nullptr);
    ~TcxControl() override;
    void BeforeDestruction() override;

    // The canvas: the window's when it exists, else one over the screen.
    TcxCanvas* Canvas();
    TcxControlBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TcxControlBorderStyle Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    TcxWantedKeys WantedKeys() const { return FWantedKeys; }
    void SetWantedKeys(TcxWantedKeys Value) { FWantedKeys = Value; }
    // Only menus (a menu component or anything offering IcxPopupMenu) are kept.
    TComponent* PopupMenu() const { return FPopupMenu.Get(); }
    void SetPopupMenu(TComponent* Value);
    TComponent* GetPopupMenu() const override { return PopupMenu(); }
    TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
    void SetMouseCaptureObject(TObject* Value);
    TcxControlScrollBar* HScrollBar() const { return FHScrollBar; }
    TcxControlScrollBar* VScrollBar() const { return FVScrollBar; }
    TcxSizeGrip* SizeGrip() const { return FSizeGrip; }
    TPoint MouseDownPos() const { return FMouseDownPos; }
    TCursor DefaultCursor() const { return FDefaultCursor; }
    bool IsPanScrolling() const { return FIsPanScrolling; }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    TRect ExplicitBounds;

    void SetScrollBarInfo(TScrollBarKind AKind, int AMin, int AMax, int AStep, int APage, int APos,
                          bool AShowAllowed, bool AHideAllowed);
    bool IsHScrollBarVisible() const;
    bool IsVScrollBarVisible() const;
    void ScrollContent(TcxDirection ADirection);
    void AddDestroyGuard(TcxControl** ARef);
    void RemoveDestroyGuard(TcxControl** ARef);
    void AddFontListener(IcxFontListener* AListener);
    void RemoveFontListener(IcxFontListener* AListener);
    void InvalidateRect(const TRect& R, bool AErase);
    bool IsWithinDragThreshold(int X, int Y) const;
    void DesignerModified() {}

    // ---- overridable behaviour
    virtual bool DoShowPopupMenu(TComponent* AMenu, int X, int Y);
    virtual void ParentBackgroundChanged() {}
    virtual void AfterMouseDown(TMouseButton AButton, int X, int Y);
    virtual bool AllowAutoDragAndDropAtDesignTime(int X, int Y, TShiftState AShift) { return true; }
    virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual void FinishMouseOperations();
    virtual bool CanFocusOnClick() const;
    virtual bool CanFocusOnChildClick() const { return CanFocusOnClick(); }
    virtual int GetBorderWidth() const;
    virtual TRect GetBounds() const;
    virtual TRect GetClientBounds() const;
    virtual TCursor GetCurrentCursor(int X, int Y) { return FDefaultCursor; }
    virtual bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
    virtual bool IsFocused() const { return Focused(); }
    virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() const;
    virtual bool HasBackground() const { return false; }
    virtual void InitScrollBars();
    virtual bool IsInternalControl(TControl* AControl) const;
    virtual TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const { return FLookAndFeel->GetPainter(); }
    virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {}
    virtual TRect GetHScrollBarBounds() const;
    virtual TRect GetSizeGripBounds() const;
    virtual TRect GetVScrollBarBounds() const;
    virtual void InitScrollBarsParameters() {}
    virtual bool IsPixelScrollBar(TScrollBarKind AKind) const { return false; }
    virtual bool HasScrollBars() const { return true; }
    virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) {}
    virtual void SetInternalControlsBounds();
    virtual void UpdateScrollBars();
    virtual TClass GetDragAndDropObjectClass() const;
    virtual bool CanFocusEx() const;
    virtual bool MayDragAt(int X, int Y) const;
    virtual void ColorChanged() {}
    virtual void VisibleChanged() {}
    virtual void AddChildComponent(TcxControlChildComponent* AComponent);
    virtual void RemoveChildComponent(TcxControlChildComponent* AComponent);
    virtual bool CanProcessMouseDownUnfocused() const { return false; }
    virtual void BoundsChanged() { UpdateScrollBars(); }
    virtual bool CanDrag(int X, int Y) const { return FDragAndDropState == ddsNone; }
    virtual void CursorChanged() { FDefaultCursor = Cursor(); }
    virtual void CancelMouseOperations() { SetMouseCaptureObject(nullptr); }
    virtual void FocusChanged();
    virtual void FontChanged();
    virtual bool GetDesignHitTest(int X, int Y, TShiftState Shift) const { return FDragAndDropState != ddsNone; }
    virtual bool MayFocus() const { return true; }
    virtual void MouseEnter(TControl* AControl);
    virtual void MouseLeave(TControl* AControl);
    virtual void TextChanged() {}

    // ---- internal drag and drop
    TcxDragAndDropState DragAndDropState() const { return FDragAndDropState; }
    void SetDragAndDropState(TcxDragAndDropState Value);
    TcxDragAndDropObject* DragAndDropObject();
    TClass DragAndDropObjectClass = nullptr;
    virtual bool StartDragAndDrop(const TPoint& P) { return false; }
    virtual void BeginDragAndDrop();
    virtual void DragAndDrop(const TPoint& P, bool& Accepted);
    virtual void EndDragAndDrop(bool Accepted);
    void FinishDragAndDrop(bool Accepted);

    // ---- the framework drag
    virtual TClass GetDragObjectClass() const;
    virtual bool StartDrag(TDragObject*& ADragObject) { return true; }
    void DoStartDrag(TDragObject*& ADragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;

    // ---- the image a framework drag shows: a control with HasDragImages
    // draws it once per drag into a list of GetDragImagesSize
    virtual void DrawDragImage(TcxCanvas* ACanvas, const TRect& R) {}
    virtual TClass GetDragImagesClass() const;
    virtual TPoint GetDragImagesSize() const { return TPoint{0, 0}; }
    virtual bool HasDragImages() const { return false; }
    virtual void InitDragImages(TcxDragImageList* ADragImages);
    // Made on first use while HasDragImages, freed when the drag ends.
    TDragImageList* GetDragImages() override;
    TcxDragImageList* DragImages() const { return FDragImages.get(); }
    void AfterConstruction() override;

    // ---- pan scrolling: direction and speed for a cursor point
    static void CalcPanDirection(const TPoint& AAnchor, int AAnchorSize, const TPoint& P, bool AHVisible,
                                 bool AVVisible, const TRect& AScreen, TcxDirection& ADirection, int& ASpeed,
                                 bool& AMoved);
    static TCursor PanCursor(TcxDirection ADirection, bool AHVisible, bool AVVisible);

    // IcxLookAndFeelListener is not used: the look-and-feel tells through OnChanged.
    TObject* GetListenerObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
    void MasterLookAndFeelFreed(TcxLookAndFeel*) override {}

    TNotifyEvent OnFocusChanged;
    TNotifyEvent OnMouseEnterEvent, OnMouseLeaveEvent;

    void WndProc(TMessage& Message) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Resize() override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoPanScrolling();

private:
    void ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void WMCancelMode(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMCursorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void DXMScrollBarSizeChanged(TMessage& Message);
    void CMDesignHitTest(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_DESIGNHITTEST, CMDesignHitTest)
        QZ_MESSAGE_HANDLER(WM_CANCELMODE, WMCancelMode)
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_NCCALCSIZE, WMNCCalcSize)
        QZ_MESSAGE_HANDLER(WM_CONTEXTMENU, WMContextMenu)
        QZ_MESSAGE_HANDLER(CM_COLORCHANGED, CMColorChanged)
        QZ_MESSAGE_HANDLER(CM_CURSORCHANGED, CMCursorChanged)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged)
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged)
        QZ_MESSAGE_HANDLER(CM_VISIBLECHANGED, CMVisibleChanged)
        QZ_MESSAGE_HANDLER(DXM_SCROLLBARSIZECHANGED, DXMScrollBarSizeChanged)
    QZ_END_MESSAGE_MAP

    std::unique_ptr<TcxScreenCanvas> FScreenCanvas;
    TcxControlBorderStyle FBorderStyle = cxcbsDefault;
    bool FComputingScrollBars = false;
    std::unique_ptr<TcxCanvas> FCanvas;
    TCursor FDefaultCursor = crDefault;
    std::unique_ptr<TcxDragAndDropObject> FDragAndDropObject;
    std::unique_ptr<TcxDragImageList> FDragImages;
    TCursor FSavedScreenCursor = crDefault;
    TcxDragAndDropState FDragAndDropState = ddsNone;
    bool FFinishingDragAndDrop = false;
    std::vector<IcxFontListener*> FFontListeners;
    TcxControlScrollBar* FHScrollBar = nullptr;
    bool FSavedHScrollBarVisible = false, FSavedVScrollBarVisible = false;
    bool FScrollBarsLocked = false;
    TcxWantedKeys FWantedKeys;
    std::vector<TcxControl**> FDestroyGuards;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    TObject* FMouseCaptureObject = nullptr;
    TPoint FMouseDownPos;
    TWeakRef<TComponent> FPopupMenu;
    TScrollStyle FScrollBars = ssBoth;
    TcxSizeGrip* FSizeGrip = nullptr;
    bool FUpdatingScrollBars = false;
    TcxControlScrollBar* FVScrollBar = nullptr;
    bool FIsPanScrolling = false;
    bool FLastParentBackground = true;
};

// The internal drag and drop's moving part.
class TcxDragAndDropObject : public TObject {
    QZ_CLASS(TcxDragAndDropObject, TObject)
public:
    explicit TcxDragAndDropObject(TcxControl* AControl = nullptr);
    // Made from a class reference for a control.
    static TcxDragAndDropObject* CreateFor(TClass AClass, TcxControl* AControl);

    virtual void RepaintNeededChanged() {}
    virtual TCursor GetDragAndDropCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }
    virtual bool GetImmediateStart() { return false; }
    virtual void EndDragAndDrop(bool Accepted) {}
    virtual void BeginDragAndDrop() { RepaintNeededChanged(); }
    virtual void DragAndDrop(const TPoint& P, bool& Accepted);
    virtual void BeforeEndDragAndDrop(bool Accepted) { SetRepaintNeeded(true); }

    void DoBegin();
    void Move(const TPoint& P, bool& Accepted);
    void Finish(bool Accepted);
    TcxControl* Control() const { return FControl; }
    bool RepaintNeeded() const { return FRepaintNeeded; }
    void SetRepaintNeeded(bool Value);
    TPoint CurMousePos{-1, -1};
    TPoint PrevMousePos{-1, -1};

protected:
    void SetControl(TcxControl* AControl) { FControl = AControl; }

private:
    TcxControl* FControl;
    bool FRepaintNeeded = false;
};

// The drag image list of the control base.
class TcxDragImageList : public TDragImageList {
    QZ_CLASS(TcxDragImageList, TDragImageList)
public:
    using TDragImageList::TDragImageList;
};

// The drag object of the framework drag; a copy cursor while Ctrl is held.
class TcxDragControlObject : public TDragControlObject {
    QZ_CLASS(TcxDragControlObject, TDragControlObject)
public:
    explicit TcxDragControlObject(TControl* AControl = nullptr) : TDragControlObject(AControl) {}
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    // Frees itself once the drag is over (the control made it).
    void Finished(TObject* Target, int X, int Y, bool Accepted) override;
};

// ---- popup windows: placement and frame ---------------------------------------------------------------

enum TcxPopupHorzAlignment { phaLeft, phaCenter, phaRight };
enum TcxPopupVertAlignment { pvaTop, pvaCenter, pvaBottom };
enum TcxPopupFrameStyle { pfsNone, pfsSingle, pfsRaised, pfsRaised3D };
enum TcxPopupDirection { pdrHorizontal, pdrVertical };

// A borderless form that opens next to an anchor rectangle, flips to the
// side with more room and stays inside the monitor's work area.
class TcxPopupWindow : public TForm {
    QZ_CLASS(TcxPopupWindow, TForm)
public:
    TcxPopupWindow();
    ~TcxPopupWindow() override;

    bool SizeToControls = true;
    TcxPopupHorzAlignment HorzAlignment = phaLeft;
    TcxPopupVertAlignment VertAlignment = pvaBottom;
    int FrameSpace = 0;
    TcxPopupDirection DropDirection = pdrVertical;
    TColor FrameLineColor = clWindowText;
    TRect AnchorBounds;
    TControl* AnchorParent = nullptr;
    HWND PreviousActiveWindow = nullptr;

    TcxPopupFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TcxPopupFrameStyle Value);
    TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }
    int GetHorzFramesWidth() const { return GetPopupFrameWidth(bLeft) + GetPopupFrameWidth(bRight); }

    virtual void CalculatePosition(TPoint& P);
    virtual void CalculateSize();
    virtual int GetPopupFrameWidth(TcxBorder ASide) const { return GetFrameStyleWidth(ASide) + FrameSpace; }
    virtual int GetFrameStyleWidth(TcxBorder ASide) const;
    virtual void InitPopup();
    virtual void DrawPopupFrame();
    virtual void HidePopup() { Hide(); }
    virtual void ShowPopup();
    virtual void VisibleChanged() {}

protected:
    void Paint() override;
    void PaintWindow(HDC DC) override;
    void Deactivate() override;
    void WMActivate(TMessage& Message);
    void WMActivateApp(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_ACTIVATE, WMActivate)
        QZ_MESSAGE_HANDLER(WM_ACTIVATEAPP, WMActivateApp)
        QZ_MESSAGE_HANDLER(CM_VISIBLECHANGED, CMVisibleChanged)
    QZ_END_MESSAGE_MAP

private:
    TcxPopupFrameStyle FFrameStyle = pfsNone;
    std::unique_ptr<TcxCanvas> FcxCanvas;
};

namespace cxControls {
// The framework drag object last seen over a control (null when none).
TDragObject* GetDragObject();
// Unit start-up: the cursors. Shutdown: raises when tracking timers remain.
void Initialize();
void Finalize();

UINT GetDblClickInterval();
TRect GetDesktopWorkArea(const TPoint& P);
TPoint GetMouseCursorPos();
bool IsCtrlPressed();
bool IsWithinDragThreshold(const TPoint& ADownPos, int X, int Y);
TRect MapWindowRect(HWND AFrom, HWND ATo, const TRect& R);
int TranslateKey(int Key);
bool IsComponentLoading(TComponent* AComponent);
void ShowHourglassCursor();
void HideHourglassCursor();
bool ShowPopupMenu(TComponent* ACaller, TComponent* AMenu, int X, int Y);
// Whether a component may serve as a popup menu.
bool IsPopupMenu(TComponent* AComponent);
void BeginMouseTracking(TControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller);
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);
void PostMouseMove(TControl* AControl, const TPoint* P = nullptr);
int SettingsControllerCount();   // controls with scroll bars that hear of size changes
HWND SettingsControllerWindow();
}  // namespace cxControls
