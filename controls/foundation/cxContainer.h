// The style of a container (the framed host of an editor): border colour and
// style, background colour, bordered edges, font, hot tracking, shadow and
// transparent border, each assigned locally, taken from a style controller
// shared by many containers, or a default that may follow the look-and-feel.
#pragma once

#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <memory>
#include <string>
#include <vector>

class TcxStyleController;

enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat };
QZ_ENUM_TYPEINFO(TcxContainerBorderStyle, "cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat")

// Value numbers; descendants continue the numbering after the eight here.
using TcxContainerStyleValue = int;
constexpr TcxContainerStyleValue csvBorderColor = 0;
constexpr TcxContainerStyleValue csvBorderStyle = 1;
constexpr TcxContainerStyleValue csvColor = 2;
constexpr TcxContainerStyleValue csvEdges = 3;
constexpr TcxContainerStyleValue csvFont = 4;
constexpr TcxContainerStyleValue csvHotTrack = 5;
constexpr TcxContainerStyleValue csvShadow = 6;
constexpr TcxContainerStyleValue csvTransparentBorder = 7;
using TcxContainerStyleValues = TSet<TcxContainerStyleValue, 64>;

using TcxStyleChangedEvent = std::function<void(TObject* Sender, class TcxContainerStyle* AStyle)>;

class TcxContainerStyle : public TPersistent {
    QZ_CLASS(TcxContainerStyle, TPersistent)
public:
    explicit TcxContainerStyle(TPersistent* AOwner = nullptr, bool APaintOnly = false);
    ~TcxContainerStyle() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override { return FOwner; }
    // Made from a class reference (descendant styles of the editors).
    static TcxContainerStyle* CreateFromClass(TClass AClass, TPersistent* AOwner, bool APaintOnly);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void RestoreDefaults();

    TColor BorderColor() const;
    void SetBorderColor(TColor Value);
    TcxContainerBorderStyle BorderStyle() const;
    void SetBorderStyle(TcxContainerBorderStyle Value);
    TColor Color() const;
    void SetColor(TColor Value);
    TcxBorders Edges() const;
    void SetEdges(TcxBorders Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool HotTrack() const;
    void SetHotTrack(bool Value);
    bool Shadow() const;
    void SetShadow(bool Value);
    bool TransparentBorder() const;
    void SetTransparentBorder(bool Value);
    TcxContainerStyleValues AssignedValues() const;
    void SetAssignedValues(TcxContainerStyleValues Value);
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    TcxStyleController* StyleController() const;
    void SetStyleController(TcxStyleController* Value);
    bool PaintOnly() const { return FPaintOnly; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { FTextColor = Value; }
    TPersistent* Owner() const { return FOwner; }
    // Stored with the form: assigned here and not hidden by the owning container's class.
    bool IsValueStored(TcxContainerStyleValue AValue) const;
    bool IsBorderColorStored() const { return IsValueStored(csvBorderColor); }
    bool IsBorderStyleStored() const { return IsValueStored(csvBorderStyle); }
    bool IsColorStored() const { return IsValueStored(csvColor); }
    bool IsEdgesStored() const { return IsValueStored(csvEdges); }
    bool IsFontStored() const { return IsValueStored(csvFont); }
    bool IsHotTrackStored() const { return IsValueStored(csvHotTrack); }
    bool IsShadowStored() const { return IsValueStored(csvShadow); }
    bool IsTransparentBorderStored() const { return IsValueStored(csvTransparentBorder); }

    virtual void Changed();
    virtual void ControllerStyleChanged(TObject* Sender);
    virtual void ControllerFreeNotification(TcxStyleController* AController);
    virtual TColor GetDefaultBorderColor() const { return clWindowFrame; }
    virtual TcxContainerBorderStyle GetDefaultBorderStyle() const;
    virtual TColor GetDefaultColor() const { return clWindow; }
    virtual TcxBorders GetDefaultEdges() const { return cxBordersAll; }
    virtual bool GetDefaultHotTrack() const { return true; }
    virtual bool GetDefaultShadow() const { return false; }
    virtual bool GetDefaultTransparentBorder() const { return true; }
    virtual void FontChanged(TObject* Sender);
    virtual TColor GetEffectiveColor() const;
    virtual bool IsValueAssigned(TcxContainerStyleValue AValue) const;
    virtual void StyleControllerChanged();
    virtual TcxStyleController* GetDefaultStyleController() const { return nullptr; }
    virtual int GetStyleValueCount() const { return 8; }
    virtual bool GetStyleValueName(TcxContainerStyleValue AValue, std::string& AName) const;

    // The lookups: the value assigned here or along the controller chain.
    bool FindAssignedBorderColor(TColor& V) const;
    bool FindAssignedBorderStyle(TcxContainerBorderStyle& V) const;
    bool FindAssignedColor(TColor& V) const;
    bool FindAssignedEdges(TcxBorders& V) const;
    bool FindAssignedFont(TFont*& V) const;
    bool FindAssignedHotTrack(bool& V) const;
    bool FindAssignedShadow(bool& V) const;
    bool FindAssignedTransparentBorder(bool& V) const;

    TNotifyEvent OnChanged;

protected:
    void UpdateFont();
    template <class T, class F> bool Lookup(TcxContainerStyleValue AValue, T& V, F AGet) const;

private:
    TColor FBorderColor = clWindowFrame;
    TcxContainerBorderStyle FBorderStyle = cbsNone;
    TcxBorders FEdges = cxBordersAll;
    bool FHotTrack = true;
    bool FShadow = false;
    bool FTransparentBorder = true;
    bool FPaintOnly;
    bool FIsDestroying = false;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    bool FModified = false;
    TPersistent* FOwner;
    int FUpdateCount = 0;
    TcxContainerStyleValues FAssignedValues;
    bool FFontUpdating = false;
    TcxStyleController* FStyleController = nullptr;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FOwnFont;
    TFont* FFontRef = nullptr;   // a paint-only style's font
    TColor FTextColor = clWindowText;
};

class TcxStyleController : public TComponent {
    QZ_CLASS(TcxStyleController, TComponent)
public:
    explicit TcxStyleController(TComponent* AOwner = nullptr);
    ~TcxStyleController() override;
    void BeforeDestruction() override;
    void Loaded() override;

    TcxContainerStyle* Style() const;
    void AfterConstruction() override;
    void SetStyle(TcxContainerStyle* Value) { FStyle->Assign(Value); }
    const std::vector<TcxContainerStyle*>& Listeners() const { return FListeningStyles; }

    virtual void AddListener(TcxContainerStyle* AStyle);
    virtual void NotifyListener(TcxContainerStyle* AStyle);
    virtual TClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
    virtual void RemoveListener(TcxContainerStyle* AStyle);
    void Changed();

    TcxStyleChangedEvent OnStyleChanged;

private:
    std::vector<TcxContainerStyle*> FListeningStyles;
    mutable std::unique_ptr<TcxContainerStyle> FStyle;
    bool FIsBeingDestroyed = false;
};

// ---- the container ------------------------------------------------------------------------------------------

class TcxContainer;

enum TcxContainerStateItem { csNormal, csActive, csDisabled, csHotTrack };
// State flags of the view info: 1 focused, 2 disabled, 4 hot, 8 not focused.
constexpr int cxcsFocused = 1;
constexpr int cxcsDisabled = 2;
constexpr int cxcsHot = 4;
constexpr int cxcsNotFocused = 8;

class TcxContainerViewInfo : public TObject {
    QZ_CLASS(TcxContainerViewInfo, TObject)
public:
    TcxContainerViewInfo() = default;
    TColor FillColor = clWindow;
    TColor DrawnBorderColor = clWindowFrame;
    TRect InnerRect;
    TcxContainerBorderStyle DrawnBorderStyle = cbsNone;
    int DrawnBorderWidth = 0;
    TRect OuterRect;
    TRect ContentRect;
    int StateFlags = 0;
    TcxBorders BorderSides = cxBordersAll;
    int HotLevel = 0;
    bool DrawShadow = false;
    bool UseThemes = false;
    int ThemePart = 0;
    int ThemeState = 0;
    TdxThemedObjectType ThemeObjectType = themeEdit;

    virtual void DrawContainerBorder(TcxCanvas* ACanvas, const TRect& R);
    virtual void InternalPaint(TcxCanvas* ACanvas);
    virtual void SetFillColor(TColor Value) { FillColor = Value; }
    virtual void Assign(TObject* Source);
    virtual std::unique_ptr<TcxRegion> GetRepaintRegion(TcxContainerViewInfo* AViewInfo) { return TcxRegion::CreateEmpty(); }
    virtual void OffsetBounds(int DX, int DY);
    virtual void Paint(TcxCanvas* ACanvas) { InternalPaint(ACanvas); }
    TColor BackgroundColor() const { return FillColor; }
};

// Asks senders for free notification and tells of their going.
class TcxFreeNotificator : public TComponent {
    QZ_CLASS(TcxFreeNotificator, TComponent)
public:
    explicit TcxFreeNotificator(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    void AddSender(TComponent* ASender) { if (ASender) ASender->FreeNotification(this); }
    void RemoveSender(TComponent* ASender) { if (ASender) ASender->RemoveFreeNotification(this); }
    std::function<void(TComponent*)> OnFreeNotification;
protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// The control that really takes the keys of a container.
class IcxActiveControlProvider {
public:
    virtual ~IcxActiveControlProvider() = default;
    virtual TWinControl* GetActiveControl() = 0;
};
// Offered by an inner control: itself and its container.
class IcxContainerInnerControl {
public:
    virtual ~IcxContainerInnerControl() = default;
    virtual TWinControl* GetInnerControl() = 0;
    virtual TcxContainer* GetContainer() = 0;
};

class TcxContainer : public TcxControl, public IcxMouseTrackingCaller, public IcxActiveControlProvider {
    QZ_CLASS(TcxContainer, TcxControl)
public:
    TWinControl* GetActiveControl() override { return FInnerControl ? FInnerControl : this; }
    explicit TcxContainer(TComponent* AOwner = nullptr);
    ~TcxContainer() override;
    void BeforeDestruction() override;

    TcxContainerStyle* Style() const { return FStyle.get(); }
    void SetStyle(TcxContainerStyle* Value) { FStyle->Assign(Value); }
    TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TWinControl* InnerControl() const { return FInnerControl; }
    void SetInnerControl(TWinControl* Value);
    bool InnerMouseDownForwarding = false;

    void LockAlignControls(bool ALock);
    void ShortRefreshContainer(bool AIsMouseEvent);
    bool IsContainerDestroying() const { return ComponentState().Contains(csDestroying) || FIsDestroyingContainer; }

    virtual void UpdateInnerControlAppearance();
    virtual void CalculateViewInfo(const TPoint& P, bool AAllowHot);
    virtual void ClearInnerControlVisibleRect() { FHasInnerVisibleRect = false; }
    virtual void ContainerStyleChanged(TObject* Sender);
    virtual void DataBindingChanged() {}
    virtual void TrackedMouseLeave();
    virtual TRect GetBorderExtent() const;
    virtual void CalculateInnerControlVisibleRect(const TRect& AAreaRect, TControl* AControl, TRect& R, bool& AHasRect) const;
    virtual TClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
    virtual TClass GetViewInfoClass() const { return TcxContainerViewInfo::StaticClass(); }
    virtual TRect GetVisibleBounds() const;
    virtual bool HasShadow() const;
    virtual bool HasChildTabOrder() const { return false; }
    virtual bool IsPaintOnlyStyle() const { return false; }
    virtual bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent);
    virtual void AdjustInnerControl();
    // Lays the painter bars over the inner control's own scroll bars.
    virtual void SetScrollBarsParameters();
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    virtual bool HandlesTab() const { return false; }
    virtual void UpdateDataBinding() {}
    virtual TdxThemedObjectType GetThemedObjectType() const { return themeEdit; }
    virtual int GetThemePart() const { return 1; }
    virtual int GetThemeState() const;
    virtual bool InnerControlDefaultHandler(TMessage& Message) { return false; }
    virtual void FocusInnerControl();
    virtual TcxContainerStyleValues GetHiddenStyleValues() const { return {}; }
    virtual void EnabledChanged();
    void VisibleChanged() override;

    bool Focused() const override;
    void SetFocus() override;
    bool MayFocus() const override;
    bool CanFocusOnClick() const override;
    void FocusChanged() override;
    void AdjustClientRect(TRect& Rect) override { Rect = FViewInfo->ContentRect; }
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    bool AllowAutoDragAndDropAtDesignTime(int, int, TShiftState) override { return false; }
    void ColorChanged() override;
    void FontChanged() override;
    void CursorChanged() override;
    void WndProc(TMessage& Message) override;

    // IcxMouseTrackingCaller
    void MouseLeave() override { TrackedMouseLeave(); }

    static int MouseButtonCode(TMouseButton AButton) { return int(AButton) + 1; }
    // The region the window takes: the drawn border and the shadow.
    std::unique_ptr<TcxRegion> CalcWindowRegion() const;

protected:
    // Makes the style and the view info again from the class getters. The
    // base constructor only reaches its own getters; a descendant whose
    // style or view info is of another class calls this from its constructor.
    void RecreateStyleAndViewInfo();
    void Paint() override;
    void Resize() override;
    void Loaded() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void CreateHandle() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Gives the window the region CalcWindowRegion answers (when it differs).
    virtual void SetWindowShadowRegion();
    // Moves the focus to the next control of the form outside this container
    // (the previous one when AGoForward is false); when the container still
    // has the focus afterwards, its inner control takes it.
    void FocusNextControl(bool AGoForward);

private:
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMNCPaint(TMessage& Message) { Message.Result = 0; }
    void CMEnabledChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_SETFOCUS, WMSetFocus)
        QZ_MESSAGE_HANDLER(WM_KILLFOCUS, WMKillFocus)
        QZ_MESSAGE_HANDLER(WM_NCPAINT, WMNCPaint)
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged)
        QZ_MESSAGE_HANDLER(CM_PARENTCOLORCHANGED, CMParentColorChanged)
        QZ_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, CMSysColorChange)
    QZ_END_MESSAGE_MAP

    TWinControl* FInnerControl = nullptr;
    TRect FInnerVisibleRect;
    bool FHasInnerVisibleRect = false;
    bool FIsDestroyingContainer = false;
    bool FAdjustingInnerControl = false;
    int FAlignLockCount = 0;
    int FContextMenuLockCount = 0;
    bool FStyleApplying = false;
    bool FUpdatingInnerScrollBars = false;
    bool FIsCreating = true;
    std::unique_ptr<TcxContainerStyle> FStyle;
    std::unique_ptr<TcxContainerViewInfo> FViewInfo;
};

namespace cxContainer {
void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R);
void InvalidateFrameArea(HWND AWindow, const TRect& AOuter, const TRect& AInner, bool AErase);
bool StringsEqual(const std::string& S1, const std::string& S2, bool ACaseSensitive);
int BorderWidthOf(TcxContainerBorderStyle AStyle);
TcxContainerBorderStyle DrawnBorderStyle(TcxContainerBorderStyle AStyle, int AHotLevel);
}  // namespace cxContainer

// ---- popup windows that open and close by themselves ------------------------------------------------------

constexpr UINT DXM_CLOSEPOPUPWINDOW = 0x8065;
constexpr UINT DXM_SHOWPOPUPWINDOW = 0x8066;

class TcxCustomPopupWindow : public TcxPopupWindow {
    QZ_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
public:
    explicit TcxCustomPopupWindow(TWinControl* AOwnerControl = nullptr);
    ~TcxCustomPopupWindow() override;

    bool TakesFocus() const { return FTakesFocus; }
    void SetTakesFocus(bool Value);
    bool TopMostWithOwner() const { return FTopMostWithOwner; }
    void SetTopMostWithOwner(bool Value);
    bool Modal = true;
    TWinControl* OwnerControl() const { return FOwnerControl.Get(); }
    TWinControl* FocusedControl() const { return FFocusedControl.Get(); }
    bool ClosingExternally() const { return FClosingExternally; }
    TcxContainerStyle* Style() const { return FStyle.get(); }
    TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
    bool IsPoppedUp() const;
    void PostClosePopup();
    bool CanFocus() const override { return Visible(); }
    bool Focused() const override;

    virtual void DoClosed() { if (OnClosed) OnClosed(this); }
    virtual void DoClosing() { if (OnClosing) OnClosing(this); }
    virtual void DoShowed() { if (OnShowed) OnShowed(this); }
    virtual bool HasBackground() const { return false; }
    virtual void PopupStyleChanged() {}
    virtual bool IsSysKeyAccepted(WORD Key) const { return (Key >= 33 && Key <= 40) || Key == 115; }
    virtual void ClosePopup(bool ACallCloseQuery = false);
    virtual TClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
    virtual TClass GetViewInfoClass() const { return TcxContainerViewInfo::StaticClass(); }
    virtual void Popup(TWinControl* AFocusedControl);
    virtual void MouseEnter(TControl* AControl) {}
    virtual void MouseLeave(TControl* AControl) {}
    void InitPopup() override {}
    void HidePopup() override;
    void VisibleChanged() override;

    // Whether a window belongs to this popup (its children, or a popup opened from it).
    bool BelongsToPopup(HWND AWindow) const;
    // Closing by the mouse rule: marked as closed from outside.
    void DXMClosePopupForHook()
    {
        FClosingExternally = true;
        ClosePopup(false);
        FClosingExternally = false;
    }

    TNotifyEvent OnClosed, OnClosing, OnShowing, OnShowed;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void AdjustClientRect(TRect& Rect) override { Rect = FViewInfo->ContentRect; }

private:
    void DXMClosePopupWindow(TMessage& Message);
    void DXMShowPopupWindow(TMessage& Message);
    void WMActivateApp(TMessage& Message) { Message.Result = 0; }
    void WMEraseBkgnd(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(DXM_CLOSEPOPUPWINDOW, DXMClosePopupWindow)
        QZ_MESSAGE_HANDLER(DXM_SHOWPOPUPWINDOW, DXMShowPopupWindow)
        QZ_MESSAGE_HANDLER(WM_ACTIVATEAPP, WMActivateApp)
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
    QZ_END_MESSAGE_MAP

    bool FTakesFocus = true;
    TWeakRef<TWinControl> FFocusedControl;
    bool FClosingExternally = false;
    bool FTopMostWithOwner = false;
    TWeakRef<TWinControl> FOwnerControl;
    std::unique_ptr<TcxContainerStyle> FStyle;
    std::unique_ptr<TcxContainerViewInfo> FViewInfo;
};

namespace cxContainer {
// Unit start-up and shutdown: the dispatcher filters that close popups.
void Initialize();
void Finalize();
// The open popups, oldest first.
const std::vector<TcxCustomPopupWindow*>& OpenPopups();
// Closes the popups of an owner control that went out of sight, with every newer one.
void CloseOwnedPopups(TWinControl* AOwner);
}
