// Inside the GUI layer only: what the standard controls over native
// widgets share (fonts and colours on the widget, notifications, owner
// drawing, accelerators).
#pragma once

#include "Forms.h"
#include "QzGuiPrivate.h"

#include <QDateTime>
#include <QEvent>
#include <QIcon>
#include <QWidget>

class TCustomImageList;

namespace qzgui {

// The control's font (and, with fill, its colour as the widget's background) on its native widget.
void ApplyFont(TControl* c, QWidget* w);
void ApplyColor(TControl* c, QWidget* w);

// Runs fn from a native widget's signal: an exception goes to the application, never into Qt.
template <class F>
void Guarded(TControl* c, F&& fn)
{
    try {
        fn();
    } catch (...) {
        if (Application) Application->HandleException(c);
    }
}

// What a control over a native widget starts with: the widget holds the
// mouse while a button is down and tells of clicks itself, double clicks
// reach the control, Tab stops at it; a list or an edit has the window's colour.
void NativeDefaults(TWinControl* c, bool windowColour);

// Sends the control its own notification (CN_COMMAND with the code).
void NotifyCommand(TWinControl* c, WPARAM code);

// A device context over a widget inside its paint event (free with DeleteDC).
HDC WidgetPaintDC(QWidget* w, QPainter& p, const QRegion& region);

// One image of an image list as a Qt icon (null for none).
QIcon ImageListIcon(TCustomImageList* images, int index);

// A TDateTime as Qt's date and time, and back.
QDateTime ToQDateTime(TDateTime v);
TDateTime FromQDateTime(const QDateTime& v);

// Whether ch is the accelerator of a caption (the character after a single '&'; case folded).
bool IsAccelChar(WORD ch, const std::string& caption);

// A mouse message that goes through the control's own handling and then on
// to its native widget (native controls hold the mouse themselves).
template <class C, class Inherited>
void MouseToNative(C* c, TMessage& m)
{
    TWeakRef<TControl> guard(c);
    c->Inherited::Dispatch(m);
    if (guard) c->DefaultHandler(m);
}

// The layer's event translation (QzWindow.cpp).
bool HandleEvent(TWinControl* c, QWidget* w, QEvent* e);

// A native item view whose viewport's mouse and wheel take the layer's road
// first (the widget's own filter never sees its viewport's events).
template <class Base>
class QzItemView : public Base {
public:
    QzItemView(TWinControl* c, QWidget* parent) : Base(parent), Ctrl(c)
    {
        this->setMouseTracking(true);
        this->viewport()->setMouseTracking(true);
        this->viewport()->installEventFilter(this);
        this->setFocusPolicy(Qt::StrongFocus);
    }
    TWinControl* Ctrl;
    int Programmatic = 0;
    // Client coordinates (the widget's) to the viewport's, and back.
    QPoint ToViewport(TPoint p) const { return this->viewport()->mapFrom(this, QP(p)); }
    TRect FromViewport(const QRect& r) const
    {
        return TR(r.translated(this->viewport()->mapTo(this, QPoint(0, 0))));
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == this->viewport() && Ctrl) {
            switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
                return HandleEvent(Ctrl, this->viewport(), e);
            default: break;
            }
        }
        return Base::eventFilter(o, e);
    }
};

} // namespace qzgui
