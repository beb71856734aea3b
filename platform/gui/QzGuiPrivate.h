// Inside the GUI layer only: the Qt side of handles, device contexts,
// regions and images. Never included by headers other libraries see.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "Messages.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QBrush>
#include <QRegion>
#include <QString>
#include <optional>
#include <utility>

class QWidget;

namespace qzgui {

inline QString QS(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string US(const QString& s) { QByteArray b = s.toUtf8(); return std::string(b.constData(), size_t(b.size())); }
inline QRect QR(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect TR(const QRect& r) { return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
inline QPoint QP(TPoint p) { return QPoint(p.X, p.Y); }
inline TPoint TP(QPoint p) { return Point(p.x(), p.y()); }
inline QColor QC(TColorRef c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline QColor QCol(TColor c) { return QC(ColorToRGB(c)); }
inline TColorRef TC(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The most pixels a picture read from bytes may have (8192 x 8192): a header
// claiming more is refused before anything is allocated for it.
constexpr int64_t MaxPicturePixels = int64_t(1) << 26;
inline bool PictureSizeAllowed(int64_t w, int64_t h) { return w > 0 && h > 0 && w * h <= MaxPicturePixels; }

// Mends the text maps of a PDF the writer made, so that text copied out of
// it reads as drawn (radical forms back to their ideographs); false when
// the file could not be read or written again (it is then left as it was).
bool MendPdfTextMaps(const QString& fileName, const std::string& title);

// Makes the Qt font a TFont stands for (pixel sized, names resolved).
QFont MakeQFont(const TFont* f);
// Installs the substitutions of the system's font names once.
void EnsureFontSubstitutions();

} // namespace qzgui

// The pixels of a bitmap or icon.
struct TBitmapImage {
    QImage Img;
};

// A region object.
struct HRGN__ {
    uint32_t Magic = 0x5247524E;
    QRegion R;
};
struct HBRUSH__ {
    uint32_t Magic = 0x48425255;
    TColorRef Color = 0;
    bool Shared = false;
};

// A device context: a target, the painter over it and the drawing state.
struct HDC__ {
    struct TDCState {
        QPoint WindowOrg;
        QPoint ViewportOrg;
        std::optional<QRegion> Clip;   // device coordinates of this context
        TColorRef TextColor = 0;
        TColorRef BkColor = 0xFFFFFF;
        int BkMode = OPAQUE;
        QPen Pen{QColor(0, 0, 0)};
        QBrush Brush{QColor(255, 255, 255)};
        QFont Font;
        int Orientation = 0;           // text rotation, tenths of a degree
        int PenMode = 4;               // pmCopy
        QPoint PenPos;                 // logical
    };

    uint32_t Magic = 0x48444321;
    QImage* Image = nullptr;           // image target: pixels can be read
    QPaintDevice* Device = nullptr;    // other target (a widget being painted)
    QPainter* Painter = nullptr;       // open painter (own or borrowed)
    bool OwnsPainter = false;
    QPoint Org;                        // where this context's (0,0) lies on the device
    QSize Size;                        // the context's area, from its origin
    std::optional<QRegion> BaseClip;   // what the target allows (update region…), context coordinates
    TDCState St;
    std::vector<TDCState> Saved;
    std::vector<TCanvasOp>* Record = nullptr;
    bool Dirty = true;
    bool IsScreen = false;
    bool OwnsImage = false;            // the image goes with the context
    HWND Window = nullptr;             // window of a GetDC context
    int Dpi = 96;                      // a printer's page: its resolution,
    QSize Sheet;                       // the whole sheet and where the
    QPoint SheetOffset;                // printable area (Size) starts on it

    ~HDC__();
    QPainter* P();                     // the painter, opened and set up
    void EndPainter();
    QRegion EffectiveClip() const;     // context coordinates; the whole area when unclipped
    bool HasClip() const { return St.Clip.has_value() || BaseClip.has_value(); }
    QPoint ToDevice(QPoint logical) const { return logical - St.WindowOrg + St.ViewportOrg; }
    QRect ToDevice(const QRect& r) const { return r.translated(St.ViewportOrg - St.WindowOrg); }
    void Rec(TCanvasOp op);
};

namespace qzgui {
bool ValidDC(HDC dc);
HDC NewDC();                           // registered; free with DeleteDC
bool ValidRgn(HRGN r);
// An image copy of what a context shows (for copies out of it).
QImage DCImage(HDC dc, const QRect& deviceRect);
}

#include <QCursor>
class TWinControl;
class TControl;

struct HCURSOR__ {
    uint32_t Magic = 0x43555253;
    QCursor Cursor;
};

// The window of a TWinControl: its widget and what the dispatcher keeps for it.
struct TWinControlWindow {
    QWidget* W = nullptr;
    bool Native = false;            // a wrapped Qt control: unhandled input goes on to it
    uintptr_t Id = 0;               // the HWND value
    TCreateParams Params;
    std::optional<QRegion> Shape;
    bool PassedToDefault = false;   // the last message reached DefaultHandler
    bool TrackLeave = false;        // WM_MOUSELEAVE asked for
    bool MouseInside = false;
    bool Composing = false;         // an input method composes text over the window
    TControl* Hover = nullptr;      // graphic child under the mouse
    int RedrawLocks = 0;
    // The window's own scroll bars (SB_HORZ, SB_VERT), drawn in its border.
    struct TBar {
        int Min = 0, Max = 100, Page = 0, Pos = 0, TrackPos = 0;
        bool Visible = false;
        bool Enabled = true;
    } Bars[2];
};

namespace qzgui {
QImage QzGrabWidget(QWidget* w, const QRect& r);
QCursor QtCursor(TCursor c);
// Runs a message through filters and the control's window procedure,
// showing any exception through the application.
LRESULT Deliver(TWinControl* c, TMessage& m, TMessageFilterKind filter);
// passedText gets the characters that reached default handling (what a
// wrapped native control should still see).
bool DeliverKey(TWinControl* c, UINT msg, WPARAM vk, LPARAM keyData, const std::u16string& text,
                std::u16string* passedText = nullptr);
void ProcessPosted();
HWND CaretWindow();
void NoteCursorPos(QPoint screen);
void DrawCaret(TWinControl* c, QPainter& p, const QPoint& clientOrg);
int QtKeyToVK(int key, Qt::KeyboardModifiers mods);
void SetKeyDown(int vk, bool down);
HWND HandleOf(TWinControl* c);
TWinControl* ControlOfWidget(QWidget* w);
void InstallHostServices();
// The widget under a screen point; windows that take no input are looked through.
QWidget* WidgetAtPoint(QPoint p);
void CancelDrag();
bool DragMouseEvent(UINT msg, TPoint screenPos);
bool DragKeyEvent(int vk);
void DragTick(TPoint screenPos, TControl* source, bool buttonDown);
// The window's scroll bars: space, painting, hit test and mouse tracking.
void ScrollBarsNCCalc(TWinControl* c, TRect& r);
void ScrollBarsPaint(TWinControl* c, HDC dc, const TRect& inside);
int ScrollBarHitTest(TWinControl* c, TPoint widgetPt);   // HTVSCROLL, HTHSCROLL or 0
void ScrollBarPress(TWinControl* c, int hit, TPoint widgetPt);
bool ScrollBarMouseEvent(UINT msg, TPoint screenPos);      // true while tracking
// Calls an event handler through a copy: a handler may free the object
// that holds it, and with it the handler being run.
template <class F, class... A>
void Fire(const F& handler, A&&... args)
{
    if (!handler) return;
    F keep = handler;
    keep(std::forward<A>(args)...);
}
}
