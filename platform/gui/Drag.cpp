// Dragging inside the program: a drag starts at once or after the mouse
// moves past the threshold, follows the mouse over the controls (which
// accept or refuse through DragOver) and ends in a drop, or in nothing on
// Esc or a release over a control that refuses.
#include "QzGuiPrivate.h"
#include "Forms.h"
#include "ImgList.h"

#include <QApplication>

using namespace qzgui;

namespace {
struct TDragState_ {
    TWeakRef<TControl> Source;
    TDragObject* Object = nullptr;
    bool OwnsObject = false;
    bool Active = false;          // past the threshold
    bool Pending = false;         // waiting for the threshold
    TPoint Start;
    int Threshold = 5;
    TWeakRef<TControl> Target;
    bool Accepted = false;
    bool HadOverride = false;
    TWeakRef<TDragImageList> Images;   // the image following the cursor, when shown
} Drag;

LRESULT SendDrag(TControl* target, TDragMessage msg, TPoint screen, TDragState state, bool& accept,
                 TDragObject* obj = nullptr)
{
    TDragRec rec;
    rec.Pos = target->ScreenToClient(screen);
    rec.Source = obj ? obj : Drag.Object;
    rec.Target = target;
    rec.State = state;
    LRESULT r = target->Perform(CM_DRAG, WPARAM(msg), LPARAM(&rec));
    accept = rec.Accept;
    return r;
}

void SetDragCursor(bool accepted, TPoint p)
{
    TCursor c = Drag.Object ? Drag.Object->GetDragCursor(accepted, p.X, p.Y) : crNoDrop;
    if (Drag.HadOverride) QApplication::restoreOverrideCursor();
    QApplication::setOverrideCursor(QtCursor(c));
    Drag.HadOverride = true;
}

void Begin()
{
    TControl* src = Drag.Source.Get();
    if (!src) return;
    Drag.Pending = false;
    Drag.Active = true;
    TDragObject* obj = nullptr;
    src->DoStartDrag(obj);
    if (!obj) {
        obj = new TDragControlObject(src);
        Drag.OwnsObject = true;
    } else {
        Drag.OwnsObject = false;
    }
    Drag.Object = obj;
    GetCursorPos(&obj->DragPos);
    SetCaptureControl(src);
    SetDragCursor(false, obj->DragPos);
    if (TDragImageList* images = obj->GetDragImages()) {
        if (images->BeginDrag(nullptr, obj->DragPos.X, obj->DragPos.Y)) Drag.Images = images;
    }
}

void Finish(bool drop, TPoint p)
{
    TWeakRef<TControl> src = Drag.Source;
    TControl* target = Drag.Target.Get();
    TDragObject* obj = Drag.Object;
    bool owns = Drag.OwnsObject;
    bool wasActive = Drag.Active;
    bool accepted = Drag.Accepted;
    // The image goes first: the source may free its list when it hears the end.
    if (TDragImageList* images = Drag.Images.Get()) images->EndDrag();
    Drag = TDragState_{};
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (GetCaptureControl() == src.Get()) SetCaptureControl(nullptr);
    if (!wasActive || !obj) return;
    TPoint tp;
    try {
        if (target) {
            bool acc = false;
            if (drop && accepted) {
                obj->DragTarget = target;
                obj->Dropped = true;
                tp = target->ScreenToClient(p);
                obj->DragTargetPos = tp;
                SendDrag(target, dmDragDrop, p, dsDragMove, acc, obj);
            } else {
                SendDrag(target, dmDragLeave, p, dsDragLeave, acc, obj);
                target = nullptr;
            }
        }
        if (TControl* s = src.Get()) {
            if (!(drop && accepted)) {
                obj->Cancelling = true;
                s->DragCanceled();
                target = nullptr;
            }
            s->DoEndDrag(target, tp.X, tp.Y);
        }
        obj->Finished(target, tp.X, tp.Y, drop && accepted);
    } catch (...) {
        if (owns) delete obj;
        throw;
    }
    if (owns) delete obj;
}

void Move(TPoint p)
{
    if (Drag.Pending) {
        if (std::abs(p.X - Drag.Start.X) >= Drag.Threshold || std::abs(p.Y - Drag.Start.Y) >= Drag.Threshold) Begin();
        else return;
    }
    if (!Drag.Active || !Drag.Object) return;
    Drag.Object->DragPos = p;
    if (TDragImageList* images = Drag.Images.Get()) images->DragMove(p.X, p.Y);
    TControl* target = FindDragTarget(p, false);
    TControl* old = Drag.Target.Get();
    bool accept = false;
    if (target != old) {
        if (old) SendDrag(old, dmDragLeave, p, dsDragLeave, accept);
        Drag.Target = target;
        if (target) SendDrag(target, dmDragEnter, p, dsDragEnter, accept);
    } else if (target) {
        SendDrag(target, dmDragMove, p, dsDragMove, accept);
    }
    Drag.Accepted = target && accept;
    if (target) Drag.Object->DragTargetPos = target->ScreenToClient(p);
    SetDragCursor(Drag.Accepted, p);
}
}

void TControl::BeginDrag(bool immediate, int threshold)
{
    if (Drag.Active || Drag.Pending) return;
    Drag = TDragState_{};
    Drag.Source = this;
    GetCursorPos(&Drag.Start);
    Drag.Threshold = threshold >= 0 ? threshold : Mouse->DragThreshold();
    if (immediate) Begin();
    else Drag.Pending = true;
}

void TControl::EndDrag(bool drop)
{
    if (Drag.Source.Get() != this) return;
    TPoint p;
    GetCursorPos(&p);
    Finish(drop, p);
}

bool TControl::Dragging() const { return Drag.Source.Get() == this && (Drag.Active || Drag.Pending); }

TDragObject* DragObject() { return Drag.Active ? Drag.Object : nullptr; }

void TControl::CMDrag(TMessage& m)
{
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    if (!rec) return;
    TObject* source = rec->Source;
    // Controls see the dragged control itself when the drag object carries one.
    if (auto* dc = DynamicCast<TDragControlObject>(rec->Source); dc && dc->Control()) source = dc->Control();
    switch (TDragMessage(m.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        bool accept = false;
        TDragState st = m.WParam == dmDragEnter ? dsDragEnter : m.WParam == dmDragLeave ? dsDragLeave : dsDragMove;
        DragOver(source, rec->Pos.X, rec->Pos.Y, st, accept);
        rec->Accept = accept;
        m.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop:
        DragDrop(source, rec->Pos.X, rec->Pos.Y);
        break;
    default: break;
    }
}

TCursor TDragControlObject::GetDragCursor(bool accepted, int x, int y)
{
    if (!accepted) return crNoDrop;
    TControl* c = Control();
    return c ? c->DragCursor() : crDrag;
}

TDragImageList* TDragControlObject::GetDragImages()
{
    TControl* c = Control();
    return c && c->ControlStyle().Contains(csDisplayDragImage) ? c->GetDragImages() : nullptr;
}

void TDragObject::HideDragImage()
{
    if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage()
{
    if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

void qzgui::CancelDrag()
{
    if (Drag.Active || Drag.Pending) {
        TPoint p;
        GetCursorPos(&p);
        Finish(false, p);
    }
}

// The dispatcher hands mouse messages here first while a drag runs.
bool qzgui::DragMouseEvent(UINT msg, TPoint p)
{
    if (!Drag.Active && !Drag.Pending) return false;
    switch (msg) {
    case WM_MOUSEMOVE:
        Move(p);
        return Drag.Active;
    case WM_LBUTTONUP:
        if (Drag.Pending) {
            Drag = TDragState_{};
            return false;   // never started: the release is an ordinary one
        }
        Finish(true, p);
        return true;
    case WM_RBUTTONDOWN:
        if (Drag.Active) {
            Finish(false, p);
            return true;
        }
        return false;
    default:
        return Drag.Active;
    }
}

bool qzgui::DragKeyEvent(int vk)
{
    if (!Drag.Active) return false;
    if (vk == VK_ESCAPE) {
        TPoint p;
        GetCursorPos(&p);
        Finish(false, p);
    }
    return true;
}

void qzgui::DragTick(TPoint, TControl*, bool) {}
