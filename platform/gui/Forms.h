// Forms, the application object (message loop, exceptions, modal loops) and
// the screen (forms, cursors, monitors, fonts).
#pragma once

#include "Controls.h"
#include "HostServices.h"
#include "StringLists.h"

enum TFormBorderStyle { fbsNone = bsNone, fbsSingle = bsSingle, fbsSizeable = bsSizeable,
                        fbsDialog = bsDialog, fbsToolWindow = bsToolWindow,
                        fbsSizeToolWin = bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon, 8>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem, 8>;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
// A key message (WM_KEYDOWN) before anything else of the form sees it as a short-cut.
using TShortCutEvent = std::function<void(TMessage& msg, bool& handled)>;

// Whether the character is the accelerator ('&' before it) of a caption,
// letters compared without case.
bool IsAccel(WORD charCode, const std::string& caption);

class TMainMenu;

// The largest width and height a form takes.
inline constexpr int kMaxFormExtent = 8192;

class TCustomForm : public TWinControl {
    QZ_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* owner = nullptr);
    // A form without stored contents (the only kind here); same as the plain constructor.
    static TCustomForm* CreateNew(TComponent* owner);
    ~TCustomForm() override;
    void BeforeDestruction() override;
    void AfterConstruction() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    void SetBorderStyle(TBorderStyle v) { SetBorderStyle(TFormBorderStyle(v)); }
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
    void SetDefaultMonitor(TDefaultMonitor v) { FDefaultMonitor = v; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    TFormState FormState() const { return FFormState; }
    bool Active() const { return FActive; }
    TIcon* Icon() const { return FIcon.get(); }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool v);
    int AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(int v);
    bool TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(bool v) { FTransparentColor = v; }
    TColor TransparentColorValue() const { return FTransparentColorValue; }
    void SetTransparentColorValue(TColor v) { FTransparentColorValue = v; }

    // The control with the focus in this form (kept while the form is inactive).
    TWinControl* ActiveControl() const { return FActiveControl.Get(); }
    void SetActiveControl(TWinControl* c);
    TWinControl* FocusedControlInternal() const { return FFocusedControl.Get(); }
    // Records that c got the focus: sends CM_EXIT and CM_ENTER along the way.
    bool SetFocusedControl(TWinControl* c);
    void DefocusControl(TWinControl* c, bool removing);
    void FocusControl(TWinControl* c);

    // The menu bar at the top of the form.
    TMainMenu* Menu() const;
    void SetMenu(TMainMenu* menu);
    // For the menu: its items changed, the bar is made again.
    void MenuChanged();
    // A key down as a short-cut: OnShortCut, the main menu's items, then
    // the actions of the form's action lists. True when one took it.
    virtual bool IsShortCut(TMessage& keyMessage);
    TShortCutEvent OnShortCut;

    void Show();
    void Hide();
    void Close();
    virtual bool CloseQuery();
    virtual TModalResult ShowModal();
    void Release();          // frees the form once the loop is idle
    void BringToFront();
    void SetFocus() override;
    bool CanFocus() const override;
    bool IsTopLevel() const override { return true; }

    TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // For the layer.
    void Activated(bool active);
    bool NoActivate() const;   // made with WS_EX_NOACTIVATE
    void UpdateWindowFlags();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void PaintWindow(HDC dc) override;
    // Paint on the form's canvas, bound to dc with the form's font and colour
    // for the length of the call.
    void PaintThroughCanvas(HDC dc);
    void Notification(TComponent* component, TOperation operation) override;
    // A form grows no larger than kMaxFormExtent a side, as the window system
    // keeps a window to what a display can show: a window's whole surface is
    // kept in memory, and a size typed or scripted by mistake must not take
    // gigabytes.
    void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void CloseModal();
    void PlaceForm();
    TCanvas* Canvas();

    void WMClose(TMessage& m);
    void WMNextDlgCtl(TMessage& m);
    void WMNCHitTest(TMessage& m);
    void WMNCCalcSize(TMessage& m);
    void WMSize(TMessage& m);
    // Moving and sizing a form by its own hit-test answers (forms without a frame).
    void WMFrameMouse(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMShowingChanged(TMessage& m);
    void CMActivate(TMessage& m);
    void CMDeactivate(TMessage& m);
    void CMRelease(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_CLOSE, WMClose)
        QZ_MESSAGE_HANDLER(WM_NEXTDLGCTL, WMNextDlgCtl)
        QZ_MESSAGE_HANDLER(WM_NCHITTEST, WMNCHitTest)
        QZ_MESSAGE_HANDLER(WM_NCCALCSIZE, WMNCCalcSize)
        QZ_MESSAGE_HANDLER(WM_SIZE, WMSize)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMFrameMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMFrameMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMFrameMouse)
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
        QZ_MESSAGE_HANDLER(CM_DIALOGKEY, CMDialogKey)
        QZ_MESSAGE_HANDLER(CM_ACTIVATE, CMActivate)
        QZ_MESSAGE_HANDLER(CM_DEACTIVATE, CMDeactivate)
        QZ_MESSAGE_HANDLER(CM_RELEASE, CMRelease)
        QZ_MESSAGE_HANDLER(CM_VISIBLECHANGED, CMShowingChanged)
    QZ_END_MESSAGE_MAP

protected:
    TFormBorderStyle FBorderStyle = fbsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TDefaultMonitor FDefaultMonitor = dmActiveForm;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    TFormState FFormState;
    bool FActive = false;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TControlCanvas> FCanvas;
    TWeakRef<TWinControl> FActiveControl;
    TWeakRef<TWinControl> FFocusedControl;
    bool FAlphaBlend = false;
    int FAlphaBlendValue = 255;
    bool FTransparentColor = false;
    TColor FTransparentColorValue = clNone;
    bool FPlaced = false;
    // A move or size by the hit-test answer FFrameHit, from where the button went down.
    TWeakRef<TComponent> FMenu;
    int FMenuBarHeight = 0;
    int FFrameHit = 0;
    TPoint FFrameStart;
    TRect FFrameBounds;
};

class TForm : public TCustomForm {
    QZ_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* owner = nullptr);
    using TCustomForm::Canvas;
};
using TFormClass = TClass;

// ---- the screen ---------------------------------------------------------------------

class TMonitor : public TObject {
    QZ_CLASS(TMonitor, TObject)
public:
    int MonitorNum = 0;
    bool Primary = false;
    TRect BoundsRect;
    TRect WorkareaRect;
    int Left() const { return BoundsRect.Left; }
    int Top() const { return BoundsRect.Top; }
    int Width() const { return BoundsRect.Width(); }
    int Height() const { return BoundsRect.Height(); }
};

class TScreen : public TComponent {
    QZ_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* owner = nullptr);
    ~TScreen() override;

    int Width() const;
    int Height() const;
    TRect DesktopRect() const;
    TRect WorkAreaRect() const;
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }
    int MonitorCount() const;
    TMonitor* Monitors(int index) const;
    TMonitor* MonitorFromPoint(TPoint p) const;   // the nearest
    TMonitor* MonitorFromRect(const TRect& r) const;

    // The program-wide cursor; crDefault lets each control show its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    HCURSOR Cursors(int index) const;
    void SetCursors(int index, HCURSOR cursor);

    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int index) const { return FForms.at(size_t(index)); }
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    TStrings* Fonts();
    TFont* HintFont() const { return FHintFont.get(); }
    TFont* MenuFont() const { return FMenuFont.get(); }
    TFont* IconFont() const { return FIconFont.get(); }

    TNotifyEvent OnActiveControlChange, OnActiveFormChange;

    // For the layer.
    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void SetActiveForm(TCustomForm* f);
    void ActiveControlChanged();
    // Settles which cursor the screen shows.
    void UpdateCursor();

private:
    std::vector<TCustomForm*> FForms;
    TWeakRef<TCustomForm> FActiveForm;
    TCursor FCursor = crDefault;
    std::unique_ptr<TStringList> FFonts;
    std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
    mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

// ---- the application -------------------------------------------------------------------

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;
// A container of non-visual components (connections, data sets), without a window.
class TDataModule : public TComponent {
    QZ_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* owner = nullptr) : TComponent(owner) {}
};

using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TMessageEvent = std::function<void(TMsg& msg, bool& handled)>;
using TShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, THintInfo& hintInfo)>;

class TApplication : public TComponent {
    QZ_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;

    // Makes the window system ready (once) and installs the real host services.
    void Initialize();
    // Makes a form of a class, owned by the application; the first one is the main form.
    template <class F> F* CreateForm(F** reference = nullptr)
    {
        F* f = new F(this);
        f->AfterConstruction();
        if (!FMainForm) FMainForm = f;
        if (reference) *reference = f;
        return f;
    }
    void SetMainForm(TCustomForm* f) { FMainForm = f; }
    TCustomForm* MainForm() const { return FMainForm.Get(); }
    // Shows the main form and runs the loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles what is waiting and returns; ProcessMessages does not wait,
    // HandleMessage waits for something to happen first.
    void ProcessMessages();
    void HandleMessage();
    // Shows the exception being handled (call from a catch block): EAbort
    // silently, others through OnException or a message box.
    void HandleException(TObject* sender);
    void ShowException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK);
    void BringToFront();
    void Minimize() {}
    void Restore() {}

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    const std::string& ExeName() const { return FExeName; }
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& v) { FHelpFile = v; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    int HintPause = 500;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    bool Active() const { return FActive; }
    HWND Handle() const { return nullptr; }
    int ModalLevel() const { return FModalLevel; }

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TNotifyEvent OnActivate, OnDeactivate, OnHint;
    TShowHintEvent OnShowHint;

    // For the layer.
    void ModalStarted() { ++FModalLevel; }
    void ModalFinished() { if (FModalLevel > 0) --FModalLevel; }
    void SetActive(bool v);
    void Idle();

private:
    TWeakRef<TCustomForm> FMainForm;
    bool FTerminated = false;
    bool FActive = false;
    bool FShowHint = true;
    int FModalLevel = 0;
    std::string FTitle;
    std::string FExeName;
    std::string FHelpFile;
    bool FInitialized = false;
};

extern TApplication* Application;
extern TScreen* Screen;

// Makes the application, the screen and the window system ready; safe to call again.
void InitGui();

// The host services over the window system's dialogs (what
// TApplication::Initialize installs).
std::shared_ptr<IHostServices> MakeWindowSystemHost();

// Frees a form or a control later, when the loop is idle.
void ReleaseForm(TCustomForm* f);
