// The adapters between the controls' events and script procedures, one per
// event shape: each passes the event's arguments to the procedure and hands
// the var arguments back as the procedure left them. (The adapter of the
// plain notification, TfsNotifyEvent, lives with the interpreter.)
#pragma once

#include "fs_iinterpreter.h"

#define QZ_FS_EVENT(Cls)                                                        \
    class Cls : public TfsCustomEvent {                                         \
        QZ_CLASS(Cls, TfsCustomEvent)                                           \
    public:                                                                     \
        using TfsCustomEvent::TfsCustomEvent;                                   \
        void Install(const TPropInfo* prop) override;                           \
        static TfsCustomEvent* Make(TObject* instance, TfsProcVariable* handler) \
        {                                                                       \
            return new Cls(instance, handler);                                  \
        }                                                                       \
    };

QZ_FS_EVENT(TfsMouseEvent)        // (Sender, Button, Shift, X, Y)
QZ_FS_EVENT(TfsMouseMoveEvent)    // (Sender, Shift, X, Y)
QZ_FS_EVENT(TfsKeyEvent)          // (Sender, var Key, Shift)
QZ_FS_EVENT(TfsKeyPressEvent)     // (Sender, var Key: Char)
QZ_FS_EVENT(TfsCloseEvent)        // (Sender, var Action)
QZ_FS_EVENT(TfsCloseQueryEvent)   // (Sender, var CanClose)
QZ_FS_EVENT(TfsCanResizeEvent)    // (Sender, var NewWidth, var NewHeight, var Resize)

#undef QZ_FS_EVENT
