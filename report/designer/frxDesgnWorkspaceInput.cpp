// Mouse and keyboard input of the design surface.
#include "frxDesgnWorkspace.h"

#include "Forms.h"
#include "Lists.h"
#include "Menus.h"
#include "ScrollBox.h"
#include "SysUtils.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxDMPClass.h"

#include <algorithm>
#include <cmath>

using frxDesgnWorkspace::AbsRect;
using frxDesgnWorkspace::Intersects;
using frxDesgnWorkspace::MirrorHandle;
using frxDesgnWorkspace::Round8;

namespace {

int RoundI(double v) { return int(std::nearbyint(v)); }

bool IsDiagonalLine(TfrxComponent* c)
{
    auto* l = DynamicCast<TfrxCustomLineView>(c);
    return l && l->Diagonal && c->Width() != 0 && c->Height() != 0;
}

TCursor HandleCursor(TfrxHandleKind h)
{
    switch (h) {
    case hkTopLeft: case hkBottomRight: return crSizeNWSE;
    case hkTopRight: case hkBottomLeft: return crSizeNESW;
    case hkRight: case hkLeft: return crSizeWE;
    case hkTop: case hkBottom: return crSizeNS;
    case hkLineStart: case hkLineEnd: return crCross;
    default: return crDefault;
    }
}

}  // namespace

// ---- hit tests --------------------------------------------------------------------------------

bool TfrxDesignerWorkspace::ObjectHit(TfrxComponent* c, double x, double y) const
{
    const TfrxRect r = AbsRect(c);
    if (IsDiagonalLine(c)) {
        if (x < r.Left - 5 || x > r.Right + 5 || y < r.Top - 5 || y > r.Bottom + 5) return false;
        const double k = c->Height() / c->Width();
        const double d = std::fabs((k * (x - c->AbsLeft()) - (y - c->AbsTop())) * std::cos(std::atan(k)));
        return d < 5;
    }
    double tl = 0, tr = 0, tt = 0, tb = 0;
    if (c->Width() == 0) tl = tr = 4;
    else if (c->Height() == 0) tt = tb = 4;
    if (auto* b = DynamicCast<TfrxBand>(c)) {
        if (b->Vertical) tl = FBandCaptionHeight;
        else tt = FBandCaptionHeight;
    }
    return r.Left - tl <= x && x <= r.Right + tr && r.Top - tt <= y && y <= r.Bottom + tb;
}

bool TfrxDesignerWorkspace::HandleHit(double hx, double hy, double x, double y)
{
    return hx - 2 <= x && x <= hx + 3 && hy - 2 <= y && y <= hy + 3;
}

TfrxHandleKind TfrxDesignerWorkspace::HandleAt(TfrxComponent* c, double x, double y) const
{
    const double l = c->AbsLeft(), t = c->AbsTop(), w = c->Width(), h = c->Height();
    struct P { TfrxHandleKind K; double X, Y; };
    const P points[] = {
        {hkTopLeft, l, t}, {hkBottomRight, l + w, t + h}, {hkTopRight, l + w, t}, {hkBottomLeft, l, t + h},
        {hkRight, l + w, t + h / 2}, {hkLeft, l, t + h / 2}, {hkTop, l + w / 2, t}, {hkBottom, l + w / 2, t + h},
    };
    TfrxHandleKind k = hkNone;
    for (const P& p : points)
        if (HandleHit(p.X, p.Y, x, y)) { k = p.K; break; }
    if (auto* line = DynamicCast<TfrxCustomLineView>(c)) {
        if (line->Diagonal) k = k == hkTopLeft ? hkLineStart : k == hkBottomRight ? hkLineEnd : hkNone;
        else if (w == 0) k = (k == hkTopLeft || k == hkTopRight) ? hkTop : (k == hkBottomRight || k == hkBottomLeft) ? hkBottom : hkNone;
        else if (h == 0) k = (k == hkTopLeft || k == hkBottomLeft) ? hkLeft : (k == hkBottomRight || k == hkTopRight) ? hkRight : hkNone;
    }
    return k;
}

// ---- drag steps -------------------------------------------------------------------------------

bool TfrxDesignerWorkspace::DragStep(double& dx, double& dy, TShiftState shift)
{
    bool cancel = false;
    if (GridAlign != shift.Contains(ssAlt)) {
        if (std::fabs(dx) >= GridX || std::fabs(dy) >= GridY) {
            dx = std::trunc(dx / GridX) * GridX;
            dy = std::trunc(dy / GridY) * GridY;
        } else
            cancel = true;
    }
    AdjustMove(dx, dy, cancel);
    return !cancel;
}

bool TfrxDesignerWorkspace::SelectionIs(const std::vector<void*>& copy) const
{
    return std::vector<void*>(FSelectedObjects->begin(), FSelectedObjects->end()) == copy;
}

void TfrxDesignerWorkspace::StartRubberBand(int x, int y)
{
    SelectPage();
    FMode = wmRubberBand;
    FSelectionRect = ::Rect(x, y, x, y);
}

// ---- mouse ------------------------------------------------------------------------------------

void TfrxDesignerWorkspace::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (FLocked) return;
    if (IgnoreNextMouseDown) {
        IgnoreNextMouseDown = false;
        return;
    }
    if (button != mbLeft && button != mbRight) return;
    if (FInplaceMemo->Editing()) FInplaceMemo->EditDone(true);
    const std::vector<void*> before(FSelectedObjects->begin(), FSelectedObjects->end());
    // Report pages take their keys through the scroll box around the surface.
    if (TCustomForm* form = GetParentForm(this)) {
        TWinControl* keys = DynamicCast<TfrxReportPage>(FPage) ? Parent() : nullptr;
        if (keys != form && (!keys || keys->CanFocus())) form->SetActiveControl(keys);
    }
    FMouseDown = true;
    const double x = X / FScale, y = Y / FScale;
    LastX = x;
    LastY = y;
    bool picked = false;
    if (FMode == wmIdle && shift.Contains(ssCtrl)) {
        StartRubberBand(X, Y);
        picked = true;
    } else if (FMode == wmIdle) {
        picked = true;
        TfrxComponent* hit = nullptr;
        for (int i = FObjects->Count() - 1; i >= 0 && !hit; --i) {
            auto* c = DynamicCast<TfrxReportComponent>(static_cast<TObject*>(FObjects->Items(i)));
            if (c && ObjectHit(c, x, y)) hit = c;
        }
        if (!hit)
            StartRubberBand(X, Y);
        else {
            const bool selected = FSelectedObjects->IndexOf(hit) >= 0;
            if (shift.Contains(ssShift)) {
                if (selected) FSelectedObjects->Remove(hit);
                else {
                    if (SelectionCount() == 0) FSelectedObjects->Clear();
                    FSelectedObjects->Add(hit);
                }
            } else if (!selected)
                Select(hit);
            if (FSelectedObjects->Count() == 0) SelectPage();
            else FMode = wmMove;
        }
    } else if (FMode == wmResizeGroup) {
        const TfrxRect b = SelectionBounds();
        GroupRect = GroupRectAtStart = {b.Left, b.Top, b.Left + b.Right, b.Top + b.Bottom};
        FSavedBounds.clear();
        for (int i = 0; i < SelectionCount(); ++i) {
            TfrxComponent* c = Selected(i);
            FSavedBounds[c] = {c->AbsLeft(), c->AbsTop(), c->Width(), c->Height()};
        }
    } else if (FMode == wmPlaceLine) {
        FInsertion.Width = FInsertion.Height = 0;
    }
    if (picked) {
        if (SelectionIs(before)) Invalidate();
        else SelectionChanged();
    }
    if (button == mbRight && WorkspacePopup) {
        FMode = wmIdle;
        FMouseDown = false;
        Invalidate();
        const TPoint p = ClientToScreen(::Point(X, Y));
        WorkspacePopup->Popup(p.X, p.Y);
    }
}

void TfrxDesignerWorkspace::MouseMove(TShiftState shift, int X, int Y)
{
    if (FLocked) return;
    const double x = X / FScale, y = Y / FScale;
    TfrxRect report = SelectionCount() > 0 ? SelectionBounds() : TfrxRect{x, y, 0, 0};
    const bool up = !FMouseDown;

    // 1. hover over handles
    if (up && !FInserting) {
        const int n = SelectionCount();
        if (n == 1) {
            FMode = wmResize;
            FHandle = HandleAt(Selected(0), x, y);
            if (FHandle == hkNone) FMode = wmIdle;
            SetCursor(HandleCursor(FHandle));
        } else if (n == 0) {
            SetCursor(crDefault);
        } else {
            TfrxComponent* a = GroupAnchor();
            if (HandleHit(a->AbsLeft() + a->Width(), a->AbsTop() + a->Height(), x, y)) {
                FMode = wmResizeGroup;
                SetCursor(crSizeNWSE);
            } else {
                FMode = wmIdle;
                SetCursor(crDefault);
            }
        }
    }
    // 2. hover over band edges
    if (up && !FInserting && FMode != wmResize && FMode != wmResizeGroup) {
        SetCursor(crDefault);
        FMode = wmIdle;
        for (void* p : *FObjects) {
            auto* b = DynamicCast<TfrxBand>(static_cast<TObject*>(p));
            if (!b) continue;
            const bool near = b->Vertical ? std::fabs(x - (b->Left() + b->Width())) <= 2
                                          : std::fabs(y - (b->Top() + b->Height())) <= 2;
            if (near) {
                SetCursor(b->Vertical ? crHSplit : crVSplit);
                FMode = wmResizeBand;
                FSizedBand = b;
                break;
            }
        }
    }
    // 3. band resize
    if (FMode == wmResizeBand && FMouseDown && FSizedBand) {
        double dx = x - LastX, dy = y - LastY;
        if (DragStep(dx, dy, shift)) {
            Modified = true;
            if (FSizedBand->Vertical) FSizedBand->SetWidth(FSizedBand->Width() + dx);
            else FSizedBand->SetHeight(FSizedBand->Height() + dy);
            FitBandToChildren(FSizedBand);
            ArrangeBands();
            LastX += dx;
            LastY += dy;
            Invalidate();
            report = {FSizedBand->Left(), FSizedBand->Top(), FSizedBand->Width(), FSizedBand->Height()};
        }
    }
    // 4. text-edit hover
    if (up && shift.Contains(ssAlt)) {
        SetCursor(crDefault);
        FMode = wmIdle;
        FEditedMemo = nullptr;
        for (void* p : *FObjects) {
            auto* m = DynamicCast<TfrxCustomMemoView>(static_cast<TObject*>(p));
            if (!m) continue;
            const TfrxRect r = AbsRect(m);
            const double tv = m->Width() != 0 ? 4 : 0, th = m->Width() == 0 ? 4 : 0;
            if (r.Left - th <= x && x <= r.Right + th && r.Top - tv <= y && y <= r.Bottom + tv) {
                FEditedMemo = m;
                SetCursor(crIBeam);
                FMode = wmTextEdit;
                break;
            }
        }
    }
    // 5, 6. placing an object
    if (FMode == wmPlaceObject && FInserting) {
        double dx = x - FInsertion.Left, dy = y - FInsertion.Top;
        if (!up) {
            dx = x - FInsertion.Left;
            dy = y - FInsertion.Top;
        }
        if (DragStep(dx, dy, shift)) {
            if (up) {
                FInsertion.Left += dx;
                FInsertion.Top += dy;
            } else {
                FInsertion.Width = dx;
                FInsertion.Height = dy;
            }
            Invalidate();
        }
        report = {FInsertion.Left, FInsertion.Top, FInsertion.Width, FInsertion.Height};
    }
    // 7. moving the selection
    if (FMode == wmMove && FMouseDown) {
        double dx = x - LastX, dy = y - LastY;
        if (DragStep(dx, dy, shift)) {
            if (!Modified && SelectionCount() == 1) {
                auto* vb = DynamicCast<TfrxBand>(Selected(0));
                if (vb && vb->Vertical)
                    for (void* p : *FObjects) {
                        auto* v = DynamicCast<TfrxView>(static_cast<TObject*>(p));
                        if (v && v->Left() >= vb->Left() - 0.0001 && v->Left() + v->Width() <= vb->Left() + vb->Width() + 0.0001 &&
                            FSelectedObjects->IndexOf(v) < 0)
                            FSelectedObjects->Add(v);
                    }
            }
            if (auto* b = DynamicCast<TfrxBand>(Selected(0)); b && b->Vertical) dy = 0;
            Modified = true;
            for (int i = 0; i < FSelectedObjects->Count(); ++i) {
                TfrxComponent* c = Selected(i);
                c->SetLeft(c->Left() + dx);
                if (FSelectedObjects->IndexOf(c->Parent()) < 0) c->SetTop(c->Top() + dy);
            }
            LastX += dx;
            LastY += dy;
            Invalidate();
            report = SelectionBounds();
        }
    }
    // 8. resizing the only selected object
    if (FMode == wmResize && FMouseDown && SelectionCount() == 1) {
        double dx = x - LastX, dy = y - LastY;
        if (DragStep(dx, dy, shift)) {
            Modified = true;
            TfrxComponent* c = Selected(0);
            double l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            switch (FHandle) {
            case hkTopLeft: case hkLineStart: l += dx; w -= dx; t += dy; h -= dy; break;
            case hkBottomRight: case hkLineEnd: w += dx; h += dy; break;
            case hkTopRight: t += dy; w += dx; h -= dy; break;
            case hkBottomLeft: l += dx; w -= dx; h += dy; break;
            case hkRight: w += dx; break;
            case hkLeft: l += dx; w -= dx; break;
            case hkTop: t += dy; h -= dy; break;
            case hkBottom: h += dy; break;
            default: break;
            }
            auto* line = DynamicCast<TfrxCustomLineView>(c);
            if (!(line && line->Diagonal)) {
                const bool wn = w < 0, hn = h < 0;
                if (wn) { l += w; w = -w; }
                if (hn) { t += h; h = -h; }
                FHandle = MirrorHandle(FHandle, wn, hn);
            }
            SetCursor(HandleCursor(FHandle));
            if (l < 0) l = 0;
            c->SetBounds(l, t, w, h);
            if (auto* band = DynamicCast<TfrxBand>(c)) {
                if (FHandle == hkTopLeft || FHandle == hkTopRight || FHandle == hkTop)
                    for (TfrxComponent* child : band->Objects()) child->SetTop(child->Top() - dy);
                FitBandToChildren(band);
                ArrangeBands();
            }
            LastX += dx;
            LastY += dy;
            Invalidate();
            report = {c->Left(), c->Top(), c->Width(), c->Height()};
        }
    }
    // 9. resizing a group
    if (FMode == wmResizeGroup && FMouseDown) {
        double dx = x - LastX, dy = y - LastY;
        if (DragStep(dx, dy, shift)) {
            Modified = true;
            const double right = GroupRect.Right + dx, bottom = GroupRect.Bottom + dy;
            if (right >= GroupRect.Left) GroupRect.Right = right;
            if (bottom >= GroupRect.Top) GroupRect.Bottom = bottom;
            const TfrxRect& s = GroupRectAtStart;
            // A group of zero extent on an axis (lines in one row) keeps its scale there.
            const double sw = s.Right - s.Left, sh = s.Bottom - s.Top;
            const double kx = sw != 0 ? (GroupRect.Right - GroupRect.Left) / sw : 1;
            const double ky = sh != 0 ? (GroupRect.Bottom - GroupRect.Top) / sh : 1;
            for (auto& [c, sb] : FSavedBounds) {
                if (FSelectedObjects->IndexOf(c) < 0) continue;
                double l = (sb.Left - s.Left) * kx + s.Left, t = (sb.Top - s.Top) * ky + s.Top;
                if (c->Parent()) {
                    l -= c->Parent()->AbsLeft();
                    t -= c->Parent()->AbsTop();
                }
                c->SetBounds(l, t, sb.Right * kx, sb.Bottom * ky);
            }
            LastX += dx;
            LastY += dy;
            Invalidate();
            report = {GroupRect.Right - GroupRect.Left, GroupRect.Bottom - GroupRect.Top, kx, ky};
        }
    }
    // 10. rubber band
    if (FMode == wmRubberBand && FMouseDown) {
        FSelectionRect.Right = X;
        FSelectionRect.Bottom = Y;
        Invalidate();
    }
    // 11, 12. placing a line
    if (FMode == wmPlaceLine && FInserting) {
        double dx = up ? x - FInsertion.Left : x - (FInsertion.Left + FInsertion.Width);
        double dy = up ? y - FInsertion.Top : y - (FInsertion.Top + FInsertion.Height);
        if (DragStep(dx, dy, shift)) {
            if (up) {
                FInsertion.Left += dx;
                FInsertion.Top += dy;
            } else {
                FInsertion.Width += dx;
                FInsertion.Height += dy;
            }
            Invalidate();
        }
        report = up ? TfrxRect{FInsertion.Left, FInsertion.Top, 0, 0}
                    : TfrxRect{FInsertion.Left, FInsertion.Top, FInsertion.Width, FInsertion.Height};
    }
    // 13. auto-scroll
    if (FMouseDown && Cursor() != 50)
        if (auto* box = DynamicCast<TScrollBox>(Parent())) {
            const int px = X + RoundI(FMargins.Left * FScale) + (FMarginsPanel ? FMarginsPanel->Left() : 0);
            const int py = Y + RoundI(FMargins.Top * FScale) + (FMarginsPanel ? FMarginsPanel->Top() : 0);
            TControlScrollBar* hs = box->HorzScrollBar();
            TControlScrollBar* vs = box->VertScrollBar();
            if (px > box->ClientWidth() + hs->Position()) hs->SetPosition(px - box->ClientWidth());
            else if (px < hs->Position()) hs->SetPosition(px);
            if (py > box->ClientHeight() + vs->Position()) vs->SetPosition(py - box->ClientHeight());
            else if (py < vs->Position()) vs->SetPosition(py);
        }
    // 14.
    if (!(SelectionCount() > 0 && up)) FirePositionChanged(report);
}

void TfrxDesignerWorkspace::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (FLocked || button != mbLeft) return;
    const std::vector<void*> before(FSelectedObjects->begin(), FSelectedObjects->end());
    FMouseDown = false;
    const double x = X / FScale, y = Y / FScale;
    if (FInserting && FInsertion.ComponentClass) {
        TfrxInsertion& in = FInsertion;
        double l = in.Left, t = in.Top, r = in.Left + in.Width, b = in.Top + in.Height;
        const bool isLine = in.ComponentClass->InheritsFrom(TfrxCustomLineView::StaticClass());
        if (isLine && in.Flags == 0) {
            if (in.Width < 0) r = in.Left - in.Width;
            if (in.Height < 0) b = in.Top - in.Height;
            if (in.Width < 0 && std::fabs(in.Width) > std::fabs(in.Height)) { l = in.Left + in.Width; r = in.Left; }
            if (in.Height < 0 && std::fabs(in.Height) > std::fabs(in.Width)) { t = in.Top + in.Height; b = in.Top; }
            // A straight line runs along its dominant axis only.
            if (std::fabs(in.Width) > std::fabs(in.Height)) b = t;
            else r = l;
        } else if (!isLine) {
            if ((in.Width >= 0 && in.Width < 4) || (in.Height > 0 && in.Height < 4)) {
                r = l + in.DefaultWidth;
                b = t + in.DefaultHeight;
            }
            if (l > r) std::swap(l, r);
            if (t > b) std::swap(t, b);
        }
        in.Left = Round8(l);
        in.Top = Round8(t);
        in.Width = Round8(r - l);
        in.Height = Round8(b - t);
        if (OnInsert) OnInsert(this);
    } else if (FMode == wmRubberBand) {
        TRect sr = FSelectionRect;
        if (sr.Left > sr.Right) std::swap(sr.Left, sr.Right);
        if (sr.Top > sr.Bottom) std::swap(sr.Top, sr.Bottom);
        FSelectionRect = sr;
        const TfrxRect band{sr.Left / FScale, sr.Top / FScale, sr.Right / FScale, sr.Bottom / FScale};
        FSelectedObjects->Clear();
        for (void* p : *FObjects) {
            auto* c = DynamicCast<TfrxReportComponent>(static_cast<TObject*>(p));
            if (!c || DynamicCast<TfrxBand>(c) || !Intersects(AbsRect(c), band)) continue;
            if (IsDiagonalLine(c)) {
                const double k = c->Height() / c->Width();
                auto side = [&](double px, double py) { return (py - c->AbsTop()) - k * (px - c->AbsLeft()) > 0; };
                const bool s0 = side(band.Left, band.Top);
                if (side(band.Right, band.Top) == s0 && side(band.Left, band.Bottom) == s0 && side(band.Right, band.Bottom) == s0)
                    continue;
            }
            FSelectedObjects->Add(c);
        }
        if (FSelectedObjects->Count() == 0) SelectPage();
    } else if (FMode == wmTextEdit && FEditedMemo) {
        Select(FEditedMemo);
        SelectionChanged();
        FInplaceMemo->Edit(FEditedMemo);
        FMode = wmIdle;
    } else if (FMode == wmMove || FMode == wmResize) {
        for (int i = 0; i < SelectionCount(); ++i) {
            TfrxComponent* c = Selected(i);
            c->SetBounds(Round8(c->Left()), Round8(c->Top()), Round8(c->Width()), Round8(c->Height()));
        }
    } else if (FMode == wmResizeBand && FSizedBand) {
        FSizedBand->SetHeight(Round8(FSizedBand->Height()));
    }
    ArrangeBands();
    if (SelectionIs(before)) Invalidate();
    else SelectionChanged();
    NotifyModified();
    FHandle = hkNone;
    if (!(FInserting && FInsertion.ComponentClass)) FMode = wmIdle;
    FirePositionChanged(SelectionCount() > 0 ? SelectionBounds() : TfrxRect{x, y, 0, 0});
}

void TfrxDesignerWorkspace::DblClick()
{
    EditObject();
    IgnoreNextMouseDown = true;
}

// ---- keyboard ---------------------------------------------------------------------------------

void TfrxDesignerWorkspace::KeyDown(WORD& key, TShiftState shift)
{
    if (FLocked) return;
    if (shift.Contains(ssAlt)) {
        const TPoint p = ScreenToClient(Mouse->CursorPos());
        MouseMove(shift, p.X, p.Y);
    }
    if (key == VK_RETURN) {
        EditObject();
        return;
    }
    if (key == VK_DELETE) {
        DeleteSelection();
        return;
    }
    int dx = 0, dy = 0;
    switch (key) {
    case VK_LEFT: dx = -1; break;
    case VK_UP: dy = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_DOWN: dy = 1; break;
    default: return;
    }
    const TfrxPoint step = KeyStep();
    const int n = SelectionCount();
    if (shift.Contains(ssCtrl)) {
        for (int i = 0; i < n; ++i) {
            TfrxComponent* c = Selected(i);
            c->SetLeft(c->Left() + dx * step.X);
            c->SetTop(c->Top() + dy * step.Y);
        }
    } else if (shift.Contains(ssShift)) {
        for (int i = 0; i < n; ++i) {
            TfrxComponent* c = Selected(i);
            const double w = c->Width() + dx * step.X, h = c->Height() + dy * step.Y;
            if (w >= 0) c->SetWidth(w);
            if (h >= 0) c->SetHeight(h);
        }
    } else if (shift.Contains(ssAlt)) {
        SnapToNeighbour(dx, dy);
        return;
    } else {
        SelectNeighbour(dx, dy);
        return;
    }
    if (n == 0) return;
    Modified = true;
    FirePositionChanged(SelectionBounds());
    Invalidate();
}

void TfrxDesignerWorkspace::KeyUp(WORD& key, TShiftState shift)
{
    NotifyModified();
}

namespace {

struct TNeighbour {
    TfrxComponent* Found = nullptr;
    double Distance = 1e300;
};

// The distance of c from s moving in (dx, dy): the near-edge difference for
// objects in the corridor, or (corridorOnly false) a heavily weighted
// distance for objects beside it; false when c does not qualify.
bool NeighbourDistance(const TfrxRect& s, const TfrxRect& c, int dx, int dy, bool corridorOnly, double weight,
                       double& dist)
{
    TfrxRect corridor, half;
    if (dx > 0) { corridor = {s.Left, s.Top, 1e10, s.Bottom}; half = {s.Left, 0, 1e10, 1e10}; }
    else if (dx < 0) { corridor = {-1e10, s.Top, s.Right, s.Bottom}; half = {-1e10, 0, s.Right, 1e10}; }
    else if (dy > 0) { corridor = {s.Left, s.Top, s.Right, 1e10}; half = {0, s.Top, 1e10, 1e10}; }
    else { corridor = {s.Left, -1e10, s.Right, s.Bottom}; half = {0, -1e10, 1e10, s.Bottom}; }
    if (Intersects(c, corridor)) {
        dist = dx > 0 ? c.Left - s.Left : dx < 0 ? s.Right - c.Right : dy > 0 ? c.Top - s.Top : s.Bottom - c.Bottom;
        return true;
    }
    if (corridorOnly || !Intersects(c, half)) return false;
    const double along = dx > 0 ? c.Left - s.Right : dx < 0 ? s.Left - c.Right : dy > 0 ? c.Top - s.Bottom : s.Top - c.Bottom;
    const double across = dx != 0 ? std::max(c.Top - s.Bottom, s.Top - c.Bottom) : std::max(c.Left - s.Right, s.Left - c.Right);
    if (along < across || (along == 0 && across == 0)) return false;
    dist = std::sqrt(along * along + across * across) * weight;
    return true;
}

}  // namespace

TfrxComponent* TfrxDesignerWorkspace::FindNeighbour(int dx, int dy, bool corridorOnly) const
{
    if (SelectionCount() != 1) return nullptr;
    TfrxComponent* sel = Selected(0);
    const TfrxRect s = AbsRect(sel);
    // Objects beside the corridor weigh so much that corridor objects always win.
    const double weight = Width() + Height();
    TNeighbour best;
    for (void* p : *FObjects) {
        auto* c = DynamicCast<TfrxReportComponent>(static_cast<TObject*>(p));
        if (!c || c == sel || DynamicCast<TfrxBand>(c)) continue;
        double d;
        if (NeighbourDistance(s, AbsRect(c), dx, dy, corridorOnly, weight, d) && d < best.Distance) {
            best.Distance = d;
            best.Found = c;
        }
    }
    return best.Found;
}

void TfrxDesignerWorkspace::SelectNeighbour(int dx, int dy)
{
    TfrxComponent* found = FindNeighbour(dx, dy, false);
    if (!found) return;
    Select(found);
    FirePositionChanged(SelectionBounds());
    SelectionChanged();
}

void TfrxDesignerWorkspace::SnapToNeighbour(int dx, int dy)
{
    TfrxComponent* c = FindNeighbour(dx, dy, true);
    if (!c) return;
    TfrxComponent* sel = Selected(0);
    double gap = 0;
    auto* a = DynamicCast<TfrxDMPMemoView>(sel);
    auto* b = DynamicCast<TfrxDMPMemoView>(c);
    if (a && b) {
        auto has = [](TfrxDMPMemoView* m, TfrxFrameType t) { return m->Frame()->Typ.Contains(t); };
        if (dx > 0 && (has(a, ftRight) || has(b, ftLeft))) gap = 9.6;
        if (dx < 0 && (has(a, ftLeft) || has(b, ftRight))) gap = 9.6;
        if (dy > 0 && (has(a, ftBottom) || has(b, ftTop))) gap = 17;
        if (dy < 0 && (has(a, ftTop) || has(b, ftBottom))) gap = 17;
    }
    if (dx > 0) sel->SetLeft(c->Left() - sel->Width() - gap);
    else if (dx < 0) sel->SetLeft(c->Left() + c->Width() + gap);
    else if (dy > 0) sel->SetTop(c->Top() - sel->Height() - gap);
    else sel->SetTop(c->Top() + c->Height() + gap);
    Modified = true;
    FirePositionChanged(SelectionBounds());
    Invalidate();
}
