// Inside the GUI layer only: what the standard controls over native
// widgets share (fonts and colours on the widget, notifications, owner
// drawing, accelerators).
#pragma once

#include "Forms.h"
#include "QzGuiPrivate.h"

#include <QWidget>

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

// Sends the control its own notification (CN_COMMAND with the code).
void NotifyCommand(TWinControl* c, WPARAM code);

// A device context over a widget inside its paint event (free with DeleteDC).
HDC WidgetPaintDC(QWidget* w, QPainter& p, const QRegion& region);

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

} // namespace qzgui
