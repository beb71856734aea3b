// Forms, the screen and the application object.
#include "QzGuiPrivate.h"
#include "QzPropsPrivate.h"
#include "Forms.h"
#include "Jpeg.h"
#include "Menus.h"
#include "ActnList.h"
#include "TextUtils.h"

#include <QApplication>
#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <unistd.h>

namespace qzgui {
// The menu bar (Menus.cpp).
int BuildMenuBar(QWidget* formWidget, TMenu* menu);
void PlaceMenuBar(QWidget* formWidget);
bool OpenMenuBarItem(QWidget* formWidget, TMenuItem* item);
}

using namespace qzgui;

QZ_CLASS_IMPL_PROPS(TCustomForm, TWinControl, qzgui::DefineCustomFormProps)
QZ_CLASS_IMPL(TForm, TCustomForm)
QZ_CLASS_IMPL(TMonitor, TObject)
QZ_CLASS_IMPL(TScreen, TComponent)
QZ_CLASS_IMPL(TApplication, TComponent)
QZ_CLASS_IMPL(TDataModule, TComponent)

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// ---- TCustomForm -------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner), FIcon(std::make_unique<TIcon>())
{
    InitGui();
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    DoSetBounds(0, 0, 320, 240);
    if (Screen) Screen->AddForm(this);
}

TCustomForm* TCustomForm::CreateNew(TComponent* owner)
{
    auto* f = new TCustomForm(owner);
    f->AfterConstruction();
    return f;
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    FFormState.Include(fsCreating);
    DoCreate();
    FFormState.Exclude(fsCreating);
}

TCustomForm::~TCustomForm()
{
    if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::BeforeDestruction()
{
    if (!ComponentState().Contains(csDestroying)) {
        try {
            DoDestroy();
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    if (Screen) Screen->RemoveForm(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate()
{
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
}
void TCustomForm::DoDestroy()
{
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::ConstrainedResize(int& minW, int& minH, int& maxW, int& maxH)
{
    TWinControl::ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW <= 0 || maxW > kMaxFormExtent) maxW = kMaxFormExtent;
    if (maxH <= 0 || maxH > kMaxFormExtent) maxH = kMaxFormExtent;
}

void TCustomForm::DoShow()
{
    if (OnShow) OnShow(this);
}
void TCustomForm::DoHide()
{
    if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& a)
{
    if (OnClose) OnClose(this, a);
}
void TCustomForm::Activate()
{
    if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate()
{
    if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::Paint()
{
    if (OnPaint) OnPaint(this);
}

TCanvas* TCustomForm::Canvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TControlCanvas>();
        FCanvas->SetControl(this);
    }
    return FCanvas.get();
}

void TCustomForm::PaintWindow(HDC dc)
{
    if (OnPaint) PaintThroughCanvas(dc);
}

void TCustomForm::PaintThroughCanvas(HDC dc)
{
    TCanvas* c = Canvas();
    static_cast<TControlCanvas*>(c)->FreeHandle();
    c->SetHandle(dc);
    c->Font()->Assign(FFont.get());
    c->Brush()->SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        c->SetHandle(nullptr);
        throw;
    }
    c->SetHandle(nullptr);
}

void TCustomForm::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN;
    p.WndParent = nullptr;
    switch (FBorderStyle) {
    case fbsNone: p.Style |= WS_POPUP; break;
    case fbsSingle:
    case fbsToolWindow: p.Style |= WS_CAPTION | WS_BORDER; break;
    case fbsSizeable:
    case fbsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case fbsDialog: p.Style |= WS_POPUP | WS_CAPTION; p.ExStyle |= WS_EX_DLGMODALFRAME; break;
    }
    if (FBorderStyle == fbsToolWindow || FBorderStyle == fbsSizeToolWin) p.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderIcons.Contains(biSystemMenu)) p.Style |= WS_SYSMENU;
    if (FBorderIcons.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
    if (FBorderIcons.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
    if (FFormStyle == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    if (Parent()) {
        // A form placed inside another control (a drop-down, a page) is a
        // plain child window there: no frame, no caption, no activation.
        p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        p.ExStyle &= ~(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_TOPMOST);
        p.WndParent = Parent()->Handle();
    }
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateWindowFlags();
    if (FMenu) MenuChanged();
}

void TCustomForm::UpdateWindowFlags()
{
    if (!HandleAllocated()) return;
    QWidget* w = FWindow->W;
    // The styles as the form now asks for them.
    TCreateParams params;
    CreateParams(params);
    FWindow->Params.Style = params.Style;
    FWindow->Params.ExStyle = params.ExStyle;
    if (Parent()) return;   // a child window: no frame or title of its own
    Qt::WindowFlags f = Qt::Window;
    switch (FBorderStyle) {
    case fbsNone: f = Qt::Window | Qt::FramelessWindowHint; break;
    case fbsDialog: f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    case fbsToolWindow:
    case fbsSizeToolWin: f = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    default: f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    }
    if (FBorderIcons.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (FBorderIcons.Contains(biMinimize) && FBorderStyle != fbsDialog) f |= Qt::WindowMinimizeButtonHint;
    if (FBorderIcons.Contains(biMaximize) && FBorderStyle != fbsDialog) f |= Qt::WindowMaximizeButtonHint;
    if (FFormStyle == fsStayOnTop || (FWindow->Params.ExStyle & WS_EX_TOPMOST)) f |= Qt::WindowStaysOnTopHint;
    if (NoActivate()) {
        // Never takes the activation: a popup over its owner.
        f = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | (f & Qt::WindowStaysOnTopHint);
        w->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    bool vis = w->isVisible();
    if (w->windowFlags() != f) {
        w->setWindowFlags(f);
        UpdateWidgetGeometry();
        if (vis) w->show();
    }
    if (FBorderStyle == fbsSingle || FBorderStyle == fbsDialog || FBorderStyle == fbsToolWindow)
        w->setFixedSize(std::max(1, FWidth), std::max(1, FHeight));
    else {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    w->setWindowTitle(QS(FText));
    w->setWindowOpacity(FAlphaBlend ? FAlphaBlendValue / 255.0 : 1.0);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v)
{
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    UpdateWindowFlags();
}
void TCustomForm::SetBorderIcons(TBorderIcons v)
{
    FBorderIcons = v;
    UpdateWindowFlags();
}
void TCustomForm::SetFormStyle(TFormStyle v)
{
    if (v == FFormStyle) return;
    FFormStyle = v;
    UpdateWindowFlags();
}
void TCustomForm::SetAlphaBlend(bool v)
{
    FAlphaBlend = v;
    UpdateWindowFlags();
}
void TCustomForm::SetAlphaBlendValue(int v)
{
    FAlphaBlendValue = std::clamp(v, 0, 255);
    UpdateWindowFlags();
}

TWindowState TCustomForm::WindowState() const
{
    if (FWindow && FWindow->W) {
        if (FWindow->W->isMaximized()) return wsMaximized;
        if (FWindow->W->isMinimized()) return wsMinimized;
    }
    return FWindowState;
}
void TCustomForm::SetWindowState(TWindowState v)
{
    FWindowState = v;
    if (!HandleAllocated() || !FWindow->W->isVisible()) return;
    if (v == wsMaximized) FWindow->W->showMaximized();
    else if (v == wsMinimized) FWindow->W->showMinimized();
    else FWindow->W->showNormal();
}

void TCustomForm::PlaceForm()
{
    TRect area = Screen ? Screen->WorkAreaRect() : Rect(0, 0, 1024, 768);
    TCustomForm* ref = nullptr;
    if (FPosition == poMainFormCenter && Application) ref = Application->MainForm();
    if (FPosition == poOwnerFormCenter) ref = DynamicCast<TCustomForm>(Owner());
    if (ref == this || (ref && !ref->Visible())) ref = nullptr;
    int l = FLeft, t = FTop;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        l = area.Left + (area.Width() - FWidth) / 2;
        t = area.Top + (area.Height() - FHeight) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (ref) {
            l = ref->Left() + (ref->Width() - FWidth) / 2;
            t = ref->Top() + (ref->Height() - FHeight) / 2;
        } else {
            l = area.Left + (area.Width() - FWidth) / 2;
            t = area.Top + (area.Height() - FHeight) / 2;
        }
        break;
    default: break;
    }
    if (FPosition != poDesigned && FPosition != poDefault && FPosition != poDefaultPosOnly &&
        FPosition != poDefaultSizeOnly) {
        // Kept on the work area.
        l = std::max(area.Left, std::min(l, area.Right - FWidth));
        t = std::max(area.Top, std::min(t, area.Bottom - FHeight));
    }
    SetBounds(l, t, FWidth, FHeight);
}

// Showing a form places it, runs OnShow and shows the window; hiding runs OnHide.
void TCustomForm::CMShowingChanged(TMessage&)
{
    TWeakRef<TCustomForm> guard(this);
    if (Parent()) {
        // A child form shows and hides in its parent like any control; the
        // window that holds it keeps the activation and the focus.
        if (FVisible) {
            DoShow();
            if (!guard || !FVisible) return;
            FFormState.Include(fsVisible);
            if (Parent()->HandleAllocated()) {
                HandleNeeded();
                UpdateWidgetGeometry();
                UpdateShowing();
            }
        } else {
            FFormState.Exclude(fsVisible);
            if (HandleAllocated() && FWindow->W->isVisible()) {
                DoHide();
                if (!guard) return;
                UpdateShowing();
            }
        }
        return;
    }
    if (FVisible) {
        HandleNeeded();
        if (!FPlaced) {
            FPlaced = true;
            PlaceForm();
        }
        DoShow();
        if (!guard || !FVisible) return;
        FFormState.Include(fsVisible);
        QWidget* w = FWindow->W;
        UpdateWidgetGeometry();
        if (!FIcon->Empty()) w->setWindowIcon(QIcon(QPixmap::fromImage(FIcon->Image()->Img)));
        if (NoActivate()) {
            // Shown over its owner; the owner keeps the activation and the focus.
            w->show();
            w->raise();
            return;
        }
        if (FWindowState == wsMaximized) w->showMaximized();
        else if (FWindowState == wsMinimized) w->showMinimized();
        else w->show();
        w->raise();
        w->activateWindow();
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(w);
        QT_WARNING_POP
        if (!FActiveControl.Get()) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
        }
        if (TWinControl* a = ActiveControl(); a && a->CanFocus()) {
            ::SetFocus(a->Handle());
            SetFocusedControl(a);
        }
    } else {
        FFormState.Exclude(fsVisible);
        if (HandleAllocated() && FWindow->W->isVisible()) {
            DoHide();
            if (!guard) return;
            if (FActive) Activated(false);
            FWindow->W->hide();
        }
    }
}

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }


void TCustomForm::BringToFront()
{
    if (Parent()) {
        TWinControl::BringToFront();
        return;
    }
    if (!HandleAllocated() || !FWindow->W->isVisible()) return;
    FWindow->W->raise();
    if (!NoActivate()) FWindow->W->activateWindow();
}

bool TCustomForm::NoActivate() const
{
    return FWindow && (FWindow->Params.ExStyle & WS_EX_NOACTIVATE);
}

void TCustomForm::SetFocus()
{
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (Parent()) {
        // Inside another window: the focus goes to its control, the activation stays where it is.
        TWinControl* a = ActiveControl();
        if (!a || !a->CanFocus()) a = FindNextControl(nullptr, true, true, false);
        if (TCustomForm* top = GetParentForm(this); top && top != this) top->FocusControl(a ? a : this);
        return;
    }
    ::SetActiveWindow(Handle());
    if (TWinControl* a = ActiveControl(); a && a->CanFocus()) ::SetFocus(a->Handle());
    else ::SetFocus(Handle());
}

bool TCustomForm::CanFocus() const { return FVisible && FEnabled; }

void TCustomForm::SetActiveControl(TWinControl* c)
{
    if (c == FActiveControl.Get()) return;
    if (c && (c == this || GetParentForm(c) != this)) throw EInvalidOperation("Invalid control for this form");
    FActiveControl = c;
    if (c && FActive && c->CanFocus()) c->SetFocus();
}

namespace {
// Counts the changes of any form's focused control.
unsigned GFocusChanges = 0;
}  // namespace

void TCustomForm::FocusControl(TWinControl* c)
{
    if (!c) return;
    if (!c->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (!FVisible || !HandleAllocated() || !FWindow->W->isVisible()) {
        // Kept for when the form shows.
        FActiveControl = c;
        return;
    }
    const unsigned changes = GFocusChanges;
    TWinControl* before = FFocusedControl.Get();
    ::SetFocus(c->Handle());
    // The window system told the form at once, and the control that had the
    // focus took it back as it left (an edit refusing to let an invalid value
    // go): the focus stays there.
    if (GFocusChanges != changes && before) {
        TWinControl* now = FindControl(::GetFocus());
        if (now && now != c && !c->ContainsControl(now) && (now == before || before->ContainsControl(now))) return;
    }
    // The window system may give the focus later (when the window activates):
    // the form knows now.
    SetFocusedControl(c);
}

bool TCustomForm::SetFocusedControl(TWinControl* c)
{
    TWinControl* old = FFocusedControl.Get();
    if (c == old) return true;
    ++GFocusChanges;
    FFocusedControl = c;
    FActiveControl = c == this ? nullptr : c;
    // CM_EXIT up from the old control to the first parent the two share, CM_ENTER down to the new.
    TWinControl* common = nullptr;
    if (old && c) {
        for (TWinControl* p = old; p && !common; p = p->Parent())
            if (p == c || p->ContainsControl(c)) common = p;
    }
    TWeakRef<TWinControl> guardNew(c);
    for (TWinControl* p = old; p && p != common && p != this; p = p->Parent()) p->Perform(CM_EXIT);
    if (guardNew) {
        std::vector<TWinControl*> chain;
        for (TWinControl* p = c; p && p != common && p != this; p = p->Parent()) chain.push_back(p);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->Perform(CM_ENTER);
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(c));
    if (Screen) Screen->ActiveControlChanged();
    return true;
}

void TCustomForm::DefocusControl(TWinControl* c, bool removing)
{
    if (removing && FActiveControl.Get() && c->ContainsControl(FActiveControl.Get())) FActiveControl = nullptr;
    if (FActiveControl.Get() == c) FActiveControl = nullptr;
    if (FFocusedControl.Get() == c || (FFocusedControl.Get() && c->ContainsControl(FFocusedControl.Get()))) {
        FFocusedControl = nullptr;
        if (!removing && c->Focused() && HandleAllocated()) ::SetFocus(Handle());
    }
}

void TCustomForm::Notification(TComponent* component, TOperation op)
{
    TWinControl::Notification(component, op);
}

void TCustomForm::Activated(bool active)
{
    if (active == FActive) return;
    FActive = active;
    if (active) {
        if (Screen) Screen->SetActiveForm(this);
        if (Application && !Application->Active()) Application->SetActive(true);
        Perform(CM_ACTIVATE);
    } else {
        Perform(CM_DEACTIVATE);
    }
}

void TCustomForm::CMActivate(TMessage&)
{
    FFormState.Include(fsActivated);
    if (TWinControl* a = ActiveControl(); a && a->CanFocus() && !a->Focused()) ::SetFocus(a->Handle());
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::CMRelease(TMessage&) { ReleaseLater(this); }

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

void ReleaseForm(TCustomForm* f)
{
    if (f) f->Release();
}

bool TCustomForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close()
{
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Hide();
        Release();
    }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
    }
}

TModalResult TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    FFormState.Include(fsModal);
    HandleNeeded();
    FWindow->W->setWindowModality(Qt::ApplicationModal);
    TWeakRef<TCustomForm> guard(this);
    if (Application) Application->ModalStarted();
    FModalResult = mrNone;
    TModalResult result = mrCancel;
    try {
        Show();
        Perform(CM_ACTIVATE);
        while (guard) {
            Application->HandleMessage();
            if (!guard) break;
            if (Application->Terminated()) FModalResult = mrCancel;
            else if (FModalResult != mrNone) CloseModal();
            if (FModalResult != mrNone) break;
        }
        if (guard) {
            result = FModalResult;
            Perform(CM_DEACTIVATE);
            Hide();
        }
    } catch (...) {
        if (guard) {
            FFormState.Exclude(fsModal);
            if (FWindow->W) FWindow->W->setWindowModality(Qt::NonModal);
        }
        if (Application) Application->ModalFinished();
        throw;
    }
    if (guard) {
        FFormState.Exclude(fsModal);
        if (FWindow->W) FWindow->W->setWindowModality(Qt::NonModal);
    }
    if (Application) Application->ModalFinished();
    return result;
}

void TCustomForm::CMDialogKey(TMessage& m)
{
    if (GetKeyState(VK_MENU) >= 0) {
        switch (int(m.WParam)) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(ActiveControl(), GetKeyState(VK_SHIFT) >= 0, true);
                m.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (TWinControl* a = ActiveControl(); a && a->Parent()) {
                a->Parent()->SelectNext(a, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
                m.Result = 1;
                return;
            }
            break;
        default: break;
        }
    }
    TWinControl::Dispatch(m);
}

// The form offers a character to its controls (accelerators of captions).
void TCustomForm::CMDialogChar(TMessage& m)
{
    TWinControl::Dispatch(m);
    if (m.Result != 0) return;
    // Alt and a letter of the menu bar opens that menu.
    const bool alt = (m.LParam & (LPARAM(1) << 29)) != 0;
    TMainMenu* menu = Menu();
    if (!alt || !menu || !HandleAllocated()) return;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (item->Visible() && item->Enabled() && IsAccel(WORD(m.WParam), item->Caption())) {
            if (OpenMenuBarItem(FWindow->W, item)) m.Result = 1;
            return;
        }
    }
}

TMainMenu* TCustomForm::Menu() const { return DynamicCast<TMainMenu>(FMenu.Get()); }

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu == Menu()) return;
    if (menu && Screen)
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i) != this && Screen->Forms(i)->Menu() == menu)
                throw EInvalidOperation("Menu '" + menu->Name() + "' is already being used by another form");
    FMenu = menu;
    MenuChanged();
}

void TCustomForm::MenuChanged()
{
    if (!HandleAllocated()) return;
    int h = BuildMenuBar(FWindow->W, Menu());
    if (h != FMenuBarHeight) {
        FMenuBarHeight = h;
        UpdateNonClient();
    }
}

void TCustomForm::WMNCCalcSize(TMessage& m)
{
    TWinControl::Dispatch(m);
    // The menu bar takes the top of the window.
    if (auto* r = reinterpret_cast<TRect*>(m.LParam); r && FMenuBarHeight > 0) r->Top += FMenuBarHeight;
}

void TCustomForm::WMSize(TMessage& m)
{
    TWinControl::Dispatch(m);
    if (FMenuBarHeight > 0 && HandleAllocated()) PlaceMenuBar(FWindow->W);
}

bool TCustomForm::IsShortCut(TMessage& m)
{
    bool handled = false;
    if (OnShortCut) {
        TShortCutEvent keep = OnShortCut;
        keep(m, handled);
        if (handled) return true;
    }
    TWMKey k(m);
    TShortCut sc = ::ShortCut(k.CharCode(), KeyDataToShiftState(k.KeyData()) + (GetShiftState() * TShiftState{ssShift, ssCtrl}));
    if (sc == 0) return false;
    TWeakRef<TCustomForm> guard(this);
    if (TMainMenu* menu = Menu(); menu && menu->IsShortCut(sc)) return true;
    if (!guard) return true;
    // The form's action lists.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = DynamicCast<TCustomActionList>(Components(i)); list && list->IsShortCut(sc)) return true;
    return false;
}

void TCustomForm::WMNextDlgCtl(TMessage& m)
{
    if (m.LParam != 0) {
        // A given control.
        if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.WParam)); c && c != this && c->CanFocus())
            c->SetFocus();
        return;
    }
    SelectNext(ActiveControl(), m.WParam == 0, true);
}

void TCustomForm::WMNCHitTest(TMessage& m)
{
    TWinControl::Dispatch(m);
    if (m.Result == HTNOWHERE) {
        TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        m.Result = PtInRect(ClientRect(), p) ? HTCLIENT : HTNOWHERE;
    }
}

namespace {
TCursor HitCursor(int hit)
{
    switch (hit) {
    case HTLEFT:
    case HTRIGHT: return crSizeWE;
    case HTTOP:
    case HTBOTTOM: return crSizeNS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return crSizeNWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return crSizeNESW;
    default: return crDefault;
    }
}
bool MovesOrSizes(int hit) { return hit == HTCAPTION || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT); }
}

// A form without a frame of its own is moved and sized where its
// WM_NCHITTEST answers say: the edges, the corners, a caption.
void TCustomForm::WMFrameMouse(TMessage& m)
{
    if (FBorderStyle != fbsNone || NoActivate()) {
        TWinControl::Dispatch(m);
        return;
    }
    const TPoint screen = ClientToScreen(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
    switch (m.Msg) {
    case WM_LBUTTONDOWN: {
        int hit = int(Perform(WM_NCHITTEST, 0, PointToLParam(screen)));
        if (!MovesOrSizes(hit)) break;
        FFrameHit = hit;
        FFrameStart = screen;
        FFrameBounds = BoundsRect();
        SetCapture(Handle());
        return;
    }
    case WM_MOUSEMOVE: {
        if (FFrameHit == 0) {
            // The cursor tells where the form can be sized.
            if (FWindow && FWindow->W) {
                int hit = int(Perform(WM_NCHITTEST, 0, PointToLParam(screen)));
                TCursor c = HitCursor(hit);
                FWindow->W->setCursor(QtCursor(c != crDefault ? c : FCursor));
            }
            break;
        }
        const int dx = screen.X - FFrameStart.X, dy = screen.Y - FFrameStart.Y;
        TRect r = FFrameBounds;
        const int minW = std::max(1, FConstraints->MinWidth), minH = std::max(1, FConstraints->MinHeight);
        auto left = [&] { r.Left = std::min(r.Left + dx, r.Right - minW); };
        auto right = [&] { r.Right = std::max(r.Right + dx, r.Left + minW); };
        auto top = [&] { r.Top = std::min(r.Top + dy, r.Bottom - minH); };
        auto bottom = [&] { r.Bottom = std::max(r.Bottom + dy, r.Top + minH); };
        switch (FFrameHit) {
        case HTCAPTION: r = Bounds(r.Left + dx, r.Top + dy, r.Width(), r.Height()); break;
        case HTLEFT: left(); break;
        case HTRIGHT: right(); break;
        case HTTOP: top(); break;
        case HTBOTTOM: bottom(); break;
        case HTTOPLEFT: top(); left(); break;
        case HTTOPRIGHT: top(); right(); break;
        case HTBOTTOMLEFT: bottom(); left(); break;
        case HTBOTTOMRIGHT: bottom(); right(); break;
        default: break;
        }
        SetBoundsRect(r);
        return;
    }
    case WM_LBUTTONUP:
        if (FFrameHit == 0) break;
        FFrameHit = 0;
        if (GetCapture() == Handle()) ReleaseCapture();
        return;
    default: break;
    }
    TWinControl::Dispatch(m);
}

bool IsAccel(WORD charCode, const std::string& caption)
{
    // The character after a single '&' ("&&" is a plain ampersand).
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        std::u16string next = Utf8ToUtf16(caption.substr(i + 1, 4));
        if (next.empty()) return false;
        char16_t a = next[0], b = char16_t(charCode);
        if (a < 0x80 && b < 0x80) return std::tolower(int(a)) == std::tolower(int(b));
        return a == b;
    }
    return false;
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

// ---- TScreen -------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner)
    : TComponent(owner), FHintFont(std::make_unique<TFont>()), FMenuFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>())
{
}
TScreen::~TScreen() = default;

static QScreen* Primary()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? app->primaryScreen() : nullptr;
}

int TScreen::Width() const { return Primary() ? Primary()->geometry().width() : 1024; }
int TScreen::Height() const { return Primary() ? Primary()->geometry().height() : 768; }
TRect TScreen::DesktopRect() const { return Primary() ? TR(Primary()->virtualGeometry()) : Rect(0, 0, 1024, 768); }
TRect TScreen::WorkAreaRect() const { return Primary() ? TR(Primary()->availableGeometry()) : Rect(0, 0, 1024, 768); }

int TScreen::MonitorCount() const
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? std::max<int>(1, int(QGuiApplication::screens().size())) : 1;
}

TMonitor* TScreen::Monitors(int index) const
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    QList<QScreen*> screens = app ? QGuiApplication::screens() : QList<QScreen*>{};
    FMonitors.resize(std::max<size_t>(1, size_t(screens.size())));
    if (index < 0 || index >= int(FMonitors.size())) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    auto& m = FMonitors[size_t(index)];
    if (!m) m = std::make_unique<TMonitor>();
    m->MonitorNum = index;
    if (index < screens.size()) {
        m->BoundsRect = TR(screens[index]->geometry());
        m->WorkareaRect = TR(screens[index]->availableGeometry());
        m->Primary = screens[index] == Primary();
    } else {
        m->BoundsRect = m->WorkareaRect = Rect(0, 0, 1024, 768);
        m->Primary = true;
    }
    return m.get();
}

TMonitor* TScreen::MonitorFromPoint(TPoint p) const
{
    TMonitor* best = nullptr;
    long bestDist = -1;
    for (int i = 0; i < MonitorCount(); ++i) {
        TMonitor* m = Monitors(i);
        const TRect& b = m->BoundsRect;
        long dx = p.X < b.Left ? b.Left - p.X : p.X >= b.Right ? p.X - b.Right + 1 : 0;
        long dy = p.Y < b.Top ? b.Top - p.Y : p.Y >= b.Bottom ? p.Y - b.Bottom + 1 : 0;
        long d = dx * dx + dy * dy;
        if (bestDist < 0 || d < bestDist) {
            best = m;
            bestDist = d;
        }
    }
    return best;
}

TMonitor* TScreen::MonitorFromRect(const TRect& r) const { return MonitorFromPoint(CenterPoint(r)); }

namespace {
std::map<int, HCURSOR>& CursorMap() { static auto* m = new std::map<int, HCURSOR>(); return *m; }
}

HCURSOR TScreen::Cursors(int index) const
{
    auto it = CursorMap().find(index);
    if (it != CursorMap().end()) return it->second;
    if (index <= 0) {
        HCURSOR h = LoadStandardCursor(index);
        CursorMap()[index] = h;
        return h;
    }
    return nullptr;
}

void TScreen::SetCursors(int index, HCURSOR cursor)
{
    auto& m = CursorMap();
    if (auto it = m.find(index); it != m.end() && it->second != cursor) delete it->second;
    if (cursor) m[index] = cursor;
    else m.erase(index);
}

void TScreen::SetCursor(TCursor v)
{
    if (v == FCursor) return;
    FCursor = v;
    UpdateCursor();
}

void TScreen::UpdateCursor()
{
    if (!QCoreApplication::instance()) return;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (FCursor != crDefault) QApplication::setOverrideCursor(QtCursor(FCursor));
}

TCustomForm* TScreen::ActiveForm() const { return FActiveForm.Get(); }
TWinControl* TScreen::ActiveControl() const
{
    TCustomForm* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

void TScreen::AddForm(TCustomForm* f)
{
    if (std::find(FForms.begin(), FForms.end(), f) == FForms.end()) FForms.push_back(f);
}
void TScreen::RemoveForm(TCustomForm* f)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
    if (FActiveForm.Get() == f) FActiveForm = nullptr;
}
void TScreen::SetActiveForm(TCustomForm* f)
{
    if (f == FActiveForm.Get()) return;
    FActiveForm = f;
    // The most recently active form comes first.
    auto it = std::find(FForms.begin(), FForms.end(), f);
    if (it != FForms.end()) {
        FForms.erase(it);
        FForms.insert(FForms.begin(), f);
    }
    if (OnActiveFormChange) OnActiveFormChange(this);
}
void TScreen::ActiveControlChanged()
{
    if (OnActiveControlChange) OnActiveControlChange(this);
}

TStrings* TScreen::Fonts()
{
    if (!FFonts) {
        FFonts = std::make_unique<TStringList>();
        EnsureFontSubstitutions();
        for (const QString& fam : QFontDatabase::families()) FFonts->Add(US(fam));
        // The system's names resolve to installed fonts: they are offered too.
        for (const char* n : {"宋体", "黑体", "楷体_GB2312", "仿宋_GB2312", "Arial", "Courier New", "Tahoma",
                              "Times New Roman", "MS Sans Serif"})
            if (FFonts->IndexOf(n) < 0) FFonts->Add(n);
        FFonts->SetSorted(true);
    }
    return FFonts.get();
}

// ---- TApplication -----------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) FExeName.assign(buf, size_t(n));
    std::string base = FExeName.substr(FExeName.find_last_of('/') + 1);
    FTitle = base.substr(0, base.find('.'));
}

TApplication::~TApplication() = default;

void TApplication::Initialize()
{
    if (FInitialized) return;
    FInitialized = true;
    InstallHostServices();
}

void TApplication::Run()
{
    if (TCustomForm* f = MainForm()) f->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate()
{
    FTerminated = true;
    if (QCoreApplication::instance()) QCoreApplication::instance()->thread()->eventDispatcher()->wakeUp();
}

void TApplication::ProcessMessages()
{
    if (!QCoreApplication::instance()) return;
    ProcessPosted();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ProcessPosted();
}

void TApplication::HandleMessage()
{
    if (!QCoreApplication::instance()) return;
    ProcessPosted();
    if (Timers::ManualClock()) {
        // Tests drive the clock: never wait for a timer that will not come.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    } else {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    Idle();
}

void TApplication::Idle()
{
    // Actions say whether they can run now (their OnUpdate), and their clients follow.
    try {
        ActnList::UpdateAllActions();
    } catch (...) {
        HandleException(this);
    }
    bool done = true;
    if (OnIdle) {
        try {
            OnIdle(this, done);
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::SetActive(bool v)
{
    if (v == FActive) return;
    FActive = v;
    if (Screen)
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->HandleAllocated()) SendMessage(Screen->Forms(i)->Handle(), WM_ACTIVATEAPP, WPARAM(v), 0);
    if (v && OnActivate) OnActivate(this);
    if (!v && OnDeactivate) OnDeactivate(this);
}

void TApplication::HandleException(TObject* sender)
{
    std::exception_ptr ep = std::current_exception();
    if (!ep) return;
    try {
        std::rethrow_exception(ep);
    } catch (const EAbort&) {
        // The silent exception.
    } catch (const std::exception& e) {
        if (OnException) {
            try {
                OnException(sender, e);
            } catch (...) {
                ShowException(e);
            }
        } else {
            ShowException(e);
        }
    } catch (...) {
        Exception e("Unknown exception");
        if (OnException) OnException(sender, e);
        else ShowException(e);
    }
}

void TApplication::ShowException(const std::exception& e)
{
    std::string msg = e.what();
    // A period ends the sentence unless it ends in punctuation already (or in Chinese).
    if (!msg.empty() && uint8_t(msg.back()) < 0x80 && msg.back() > '.') msg += '.';
    ::MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return ::MessageBox(text, caption.empty() ? FTitle : caption, flags);
}

void TApplication::BringToFront()
{
    if (TCustomForm* f = Screen ? Screen->ActiveForm() : nullptr) f->BringToFront();
    else if (TCustomForm* m = MainForm()) m->BringToFront();
}

// ---- start-up ------------------------------------------------------------------------------------

void InitGui()
{
    static bool done = false;
    if (done) return;
    done = true;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "qz";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    EnsureFontSubstitutions();
    RegisterJpegFormat();
    QFont f(QString::fromUtf8(DefaultFontName));
    f.setPixelSize(-DefaultFontHeight);
    QApplication::setFont(f);
    if (!Screen) Screen = new TScreen(nullptr);
    if (!Application) Application = new TApplication(nullptr);
    Menus::InitMenus();
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState s) {
        if (Application) Application->SetActive(s == Qt::ApplicationActive);
    });
}
