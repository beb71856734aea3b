// The tool bar and its buttons, drawn by the layer.
#include "ComCtrls.h"
#include "ActnList.h"
#include "Menus.h"
#include "QzStdPrivate.h"
#include "Themes.h"

using namespace qzgui;

QZ_CLASS_IMPL(TToolButton, TGraphicControl)
QZ_CLASS_IMPL(TToolBar, TCustomControl)

namespace {
constexpr int DropDownWidth = 14;
constexpr int SeparatorWidth = 8;
}

// ---- tool button ---------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 23, 22);
    TControlStyle cs = ControlStyle();
    cs.Exclude(csClickEvents);
    cs.Include(csCaptureMouse);
    SetControlStyle(cs);
}

TToolBar* TToolButton::ToolBar() const { return DynamicCast<TToolBar>(Parent()); }

void TToolButton::SetParent(TWinControl* parent)
{
    if (TToolBar* old = ToolBar()) old->RemoveButton(this);
    TGraphicControl::SetParent(parent);
    if (TToolBar* bar = ToolBar()) bar->InsertButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle v)
{
    if (FStyle == v) return;
    FStyle = v;
    if ((v == tbsSeparator || v == tbsDivider) && Width() == 23) SetWidth(SeparatorWidth);
    if (TToolBar* b = ToolBar()) b->ArrangeButtons();
    Invalidate();
}
void TToolButton::SetImageIndex(int v)
{
    FImageIndex = v;
    Invalidate();
}
void TToolButton::SetIndeterminate(bool v)
{
    FIndeterminate = v;
    Invalidate();
}
void TToolButton::SetMarked(bool v)
{
    FMarked = v;
    Invalidate();
}
void TToolButton::SetWrap(bool v)
{
    FWrap = v;
    if (TToolBar* b = ToolBar()) b->ArrangeButtons();
}

void TToolButton::SetDown(bool v)
{
    if (FDown == v) return;
    // The button down in a group stays down unless all may be up.
    if (!v && FGrouped && FStyle == tbsCheck && !FAllowAllUp) {
        bool other = false;
        if (TToolBar* b = ToolBar())
            for (TToolButton* t : b->FButtons) other |= t != this && t->FGrouped && t->FDown;
        if (!other && FDown) return;
    }
    FDown = v;
    Invalidate();
    if (v) UpdateGroup();
}

// The neighbours of a grouped check button, up to a separator or a button
// that is not grouped, come up when it goes down.
void TToolButton::UpdateGroup()
{
    TToolBar* bar = ToolBar();
    if (!bar || !FGrouped || FStyle != tbsCheck) return;
    auto& all = bar->FButtons;
    auto me = std::find(all.begin(), all.end(), this);
    if (me == all.end()) return;
    auto lift = [&](TToolButton* t) {
        if (t->FDown) {
            t->FDown = false;
            t->Invalidate();
        }
    };
    for (auto it = me; it != all.begin();) {
        --it;
        if (!(*it)->FGrouped || (*it)->FStyle != tbsCheck) break;
        lift(*it);
    }
    for (auto it = me + 1; it != all.end(); ++it) {
        if (!(*it)->FGrouped || (*it)->FStyle != tbsCheck) break;
        lift(*it);
    }
}

TPopupMenu* TToolButton::DropdownMenu() const { return DynamicCast<TPopupMenu>(FDropdownMenu.Get()); }
void TToolButton::SetDropdownMenu(TPopupMenu* v) { FDropdownMenu = v; }

bool TToolButton::CheckMenuDropdown()
{
    TPopupMenu* menu = DropdownMenu();
    if (!menu) return false;
    // The mouse is the menu's now: the button lets go of it.
    if (MouseCapture()) SetMouseCapture(false);
    FPressed = false;
    FArrowPressed = false;
    TPoint p = ClientToScreen(Point(0, Height()));
    menu->SetPopupComponent(this);
    menu->Popup(p.X, p.Y);
    return true;
}

void TToolButton::ActionChange(TObject* sender, bool checkDefaults)
{
    TGraphicControl::ActionChange(sender, checkDefaults);
    auto* a = DynamicCast<TCustomAction>(sender);
    if (!a) return;
    if (!checkDefaults || FImageIndex < 0) SetImageIndex(a->ImageIndex());
    if (!checkDefaults || !FDown) {
        bool keep = FAllowAllUp;
        FAllowAllUp = true;
        SetDown(a->Checked());
        FAllowAllUp = keep;
    }
}

TRect TToolButton::DropDownRect() const
{
    if (FStyle != tbsDropDown) return TRect{};
    return Rect(Width() - DropDownWidth, 0, Width(), Height());
}

void TToolButton::Click()
{
    if (FStyle == tbsCheck) {
        if (FDown && (!FGrouped || FAllowAllUp)) SetDown(false);
        else if (!FDown) SetDown(true);
    }
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled() || FStyle == tbsSeparator || FStyle == tbsDivider) return;
    FArrowPressed = FStyle == tbsDropDown && PtInRect(DropDownRect(), Point(x, y));
    FPressed = true;
    Invalidate();
    if (FArrowPressed) {
        // The arrow acts at once (the menu opens under the button).
        TWeakRef<TToolButton> guard(this);
        if (OnDropDownClick) OnDropDownClick(this);
        if (guard) CheckMenuDropdown();
        if (!guard) return;
        FPressed = false;
        FArrowPressed = false;
        Invalidate();
    }
}

void TToolButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TToolButton> guard(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!guard || !FPressed) return;
    FPressed = false;
    Invalidate();
    if (x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
}

void TToolButton::CMMouseEnter2(TMessage& m)
{
    inherited::Dispatch(m);
    FMouseInControl = true;
    Invalidate();
}
void TToolButton::CMMouseLeave2(TMessage& m)
{
    inherited::Dispatch(m);
    FMouseInControl = false;
    Invalidate();
}
void TToolButton::CMTextChanged2(TMessage&)
{
    if (TToolBar* b = ToolBar(); b && b->ShowCaptions()) b->ArrangeButtons();
    Invalidate();
}

void TToolButton::Paint()
{
    TCanvas* c = Canvas();
    TToolBar* bar = ToolBar();
    TRect r = ClientRect();
    if (FStyle == tbsSeparator) return;
    if (FStyle == tbsDivider) {
        int x = Width() / 2 - 1;
        TRect e = Rect(x, 2, x + 2, Height() - 2);
        DrawEdge(c->Handle(), e, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const bool flat = !bar || bar->Flat();
    const bool pushed = FPressed || FDown;
    TRect face = r;
    if (FStyle == tbsDropDown) face.Right -= DropDownWidth;
    // Down check buttons show a lighter face; flat buttons show an edge only when hot or pushed.
    if (FDown && !FPressed) {
        c->Brush()->SetColor(clBtnHighlight);
        c->FillRect(face);
    }
    auto edge = [&](TRect e, bool sunken) {
        DrawEdge(c->Handle(), e, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    };
    if (!flat) {
        DrawThemedFrameControl(c->Handle(), face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
        if (FDown && !FPressed) {
            TRect in = face;
            InflateRect(in, -2, -2);
            c->Brush()->SetColor(clBtnHighlight);
            c->FillRect(in);
        }
    } else if (pushed || (FMouseInControl && Enabled())) {
        edge(face, pushed);
    }
    if (FStyle == tbsDropDown) {
        TRect a = DropDownRect();
        if (!flat || FMouseInControl || pushed) edge(a, FArrowPressed);
        // The small arrow.
        int cx = a.Left + a.Width() / 2, cy = a.Top + a.Height() / 2;
        c->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
        for (int i = 0; i < 3; ++i) c->FillRect(Rect(cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i));
    }
    // The picture (disabled, hot or plain) and the caption.
    const int off = pushed ? 1 : 0;
    TCustomImageList* images = bar ? bar->Images() : nullptr;
    if (bar && !Enabled() && bar->DisabledImages()) images = bar->DisabledImages();
    else if (bar && FMouseInControl && bar->HotImages()) images = bar->HotImages();
    const bool captions = bar && bar->ShowCaptions();
    const bool list = bar && bar->List();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    int iw = images && FImageIndex >= 0 ? images->Width() : 0, ih = images && FImageIndex >= 0 ? images->Height() : 0;
    TSize ts{0, 0};
    std::string text = captions ? Caption() : std::string();
    if (!text.empty()) {
        TRect t = Rect(0, 0, 0, 0);
        c->DrawText(text, t, DT_SINGLELINE | DT_CALCRECT);
        ts = TSize{t.Width(), t.Height()};
    }
    int gx, gy, tx, ty;
    if (list) {
        int total = iw + (iw && ts.cx ? 4 : 0) + ts.cx;
        gx = face.Left + (face.Width() - total) / 2;
        gy = face.Top + (face.Height() - ih) / 2;
        tx = gx + iw + (iw ? 4 : 0);
        ty = face.Top + (face.Height() - ts.cy) / 2;
    } else {
        int total = ih + (ih && ts.cy ? 2 : 0) + ts.cy;
        gx = face.Left + (face.Width() - iw) / 2;
        gy = face.Top + (face.Height() - total) / 2;
        tx = face.Left + (face.Width() - ts.cx) / 2;
        ty = gy + ih + (ih ? 2 : 0);
    }
    if (images && FImageIndex >= 0 && FImageIndex < images->Count())
        images->Draw(c, gx + off, gy + off, FImageIndex, Enabled() || images == (bar ? bar->DisabledImages() : nullptr));
    if (!text.empty()) {
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        TRect tr = Bounds(tx + off, ty + off, ts.cx, ts.cy);
        c->DrawText(text, tr, DT_SINGLELINE | DT_CENTER);
    }
    c->Brush()->SetStyle(bsSolid);
}

// ---- tool bar ------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    SetControlStyle(cs);
    SetParentColor(false);
    SetColor(clBtnFace);
}

TToolBar::~TToolBar()
{
    FButtons.clear();
}

void TToolBar::InsertButton(TToolButton* b)
{
    // Placed where it was put: after the buttons to its left.
    auto at = std::find_if(FButtons.begin(), FButtons.end(), [&](TToolButton* o) {
        return o->Top() > b->Top() + b->Height() / 2 || (o->Top() <= b->Top() + b->Height() / 2 && o->Left() > b->Left());
    });
    FButtons.insert(at, b);
    b->FreeNotification(this);
    ArrangeButtons();
}

void TToolBar::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove)
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), component), FButtons.end());
}

void TToolBar::RemoveButton(TToolButton* b)
{
    FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), b), FButtons.end());
    ArrangeButtons();
}

TSize TToolBar::ButtonSize() const
{
    TSize s{FButtonWidth, FButtonHeight};
    TCustomImageList* img = FImages.Get();
    int iw = img ? img->Width() : 16, ih = img ? img->Height() : 16;
    s.cx = std::max(s.cx, iw + 7);
    s.cy = std::max(s.cy, ih + 6);
    if (FShowCaptions) {
        TBitmap probe(1, 1);
        probe.Canvas()->Font()->Assign(Font());
        int tw = 0, th = probe.Canvas()->TextHeight("Wg");
        for (TToolButton* b : FButtons)
            if (b->Style() != tbsSeparator && b->Style() != tbsDivider) tw = std::max(tw, probe.Canvas()->TextWidth(b->Caption()));
        if (FList) {
            s.cx = std::max(s.cx, iw + tw + 4 + 8);
            s.cy = std::max(s.cy, std::max(ih, th) + 6);
        } else {
            s.cx = std::max(s.cx, std::max(iw, tw) + 8);
            s.cy = std::max(s.cy, ih + th + 2 + 6);
        }
    }
    return s;
}

void TToolBar::ArrangeButtons()
{
    if (FArranging) return;
    FArranging = true;
    const TSize bs = ButtonSize();
    int x = FIndent, y = 0;
    const int right = ClientWidth();
    for (TToolButton* b : FButtons) {
        if (!b->Visible()) continue;
        const bool sep = b->Style() == tbsSeparator || b->Style() == tbsDivider;
        int w = sep ? b->Width() : bs.cx + (b->Style() == tbsDropDown ? DropDownWidth : 0);
        if (FWrapable && x > FIndent && x + w > right && !sep) {
            x = FIndent;
            y += bs.cy;
        }
        b->SetBounds(x, y, w, bs.cy);
        x += w;
        if (b->Wrap()) {
            x = FIndent;
            y += bs.cy;
        }
    }
    // A bar along an edge is as tall as its rows of buttons.
    if ((Align() == alTop || Align() == alBottom) && !FButtons.empty()) {
        int rows = y + (x > FIndent ? bs.cy : 0);
        if (rows > 0 && rows + 2 != Height()) SetHeight(rows + 2);
    }
    FArranging = false;
    Invalidate();
}

void TToolBar::Resize()
{
    TCustomControl::Resize();
    ArrangeButtons();
}

void TToolBar::SetButtonWidth(int v)
{
    FButtonWidth = std::max(1, v);
    ArrangeButtons();
}
void TToolBar::SetButtonHeight(int v)
{
    FButtonHeight = std::max(1, v);
    ArrangeButtons();
}
void TToolBar::SetImages(TCustomImageList* v)
{
    FImages = v;
    ArrangeButtons();
}
void TToolBar::SetDisabledImages(TCustomImageList* v)
{
    FDisabledImages = v;
    Invalidate();
}
void TToolBar::SetHotImages(TCustomImageList* v)
{
    FHotImages = v;
    Invalidate();
}
void TToolBar::SetFlat(bool v)
{
    FFlat = v;
    Invalidate();
    for (TToolButton* b : FButtons) b->Invalidate();
}
void TToolBar::SetShowCaptions(bool v)
{
    FShowCaptions = v;
    ArrangeButtons();
}
void TToolBar::SetList(bool v)
{
    FList = v;
    ArrangeButtons();
}
void TToolBar::SetWrapable(bool v)
{
    FWrapable = v;
    ArrangeButtons();
}
void TToolBar::SetIndent(int v)
{
    FIndent = std::max(0, v);
    ArrangeButtons();
}

void TToolBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
}
