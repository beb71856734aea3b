#include "QzStdPrivate.h"

#include "DateUtils.h"
#include "ImgList.h"

#include <QPalette>
#include <QPixmap>

#include <cmath>

namespace qzgui {

void ApplyFont(TControl* c, QWidget* w)
{
    if (!c || !w) return;
    QFont f = MakeQFont(c->Font());
    w->setFont(f);
    QPalette pal = w->palette();
    QColor text = QCol(c->Font()->Color());
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    w->setPalette(pal);
}

void ApplyColor(TControl* c, QWidget* w)
{
    if (!c || !w) return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QCol(c->Color()));
    w->setPalette(pal);
    // Buttons fill with their button colour by default; check boxes and radio buttons take the control's.
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

void NativeDefaults(TWinControl* c, bool windowColour)
{
    c->SetTabStop(true);
    if (windowColour) {
        c->SetParentColor(false);
        c->SetColor(clWindow);
    }
    TControlStyle cs = c->ControlStyle();
    cs.Exclude(csClickEvents);
    cs.Exclude(csCaptureMouse);
    cs.Include(csDoubleClicks);
    c->SetControlStyle(cs);
}

void NotifyCommand(TWinControl* c, WPARAM code)
{
    if (!c || !c->HandleAllocated()) return;
    TControl* self = c;
    // Through the parent, as the window system tells a control's owner; the
    // parent hands it back to the control as CN_COMMAND.
    Guarded(self, [&] {
        const WPARAM w = MAKEWPARAM(0, int(code));
        if (TWinControl* p = c->Parent(); p && p->HandleAllocated())
            SendMessage(p->Handle(), WM_COMMAND, w, LPARAM(HandleOf(c)));
        else
            c->Perform(CN_COMMAND, w, LPARAM(HandleOf(c)));
    });
}

HDC WidgetPaintDC(QWidget* w, QPainter& p, const QRegion& region)
{
    HDC dc = NewDC();
    dc->Device = w;
    dc->Painter = &p;
    dc->OwnsPainter = false;
    dc->Size = w->size();
    dc->BaseClip = region;
    return dc;
}

QIcon ImageListIcon(TCustomImageList* images, int index)
{
    if (!images || index < 0 || index >= images->Count()) return QIcon();
    // Drawn over a colour no picture uses, which then becomes see-through.
    const TColor key = TColor(RGB(1, 254, 3));
    TBitmap b(images->Width(), images->Height());
    b.Canvas()->Brush()->SetColor(key);
    b.Canvas()->FillRect(Rect(0, 0, b.Width(), b.Height()));
    images->Draw(b.Canvas(), 0, 0, index, true);
    b.FinishDrawing();
    QImage img = b.Image()->Img.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = QCol(key).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0xFFFFFF) == k) row[x] = 0;
    }
    return QIcon(QPixmap::fromImage(img));
}

QDateTime ToQDateTime(TDateTime v)
{
    uint16_t y, mo, d, h, mi, s, ms;
    DecodeDate(v, y, mo, d);
    DecodeTime(v, h, mi, s, ms);
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

TDateTime FromQDateTime(const QDateTime& v)
{
    QDate d = v.date();
    QTime t = v.time();
    TDateTime r = 0;
    TryEncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec(), r);
    return r;
}

bool IsAccelChar(WORD ch, const std::string& caption)
{
    auto fold = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return fold(uint8_t(caption[i + 1])) == fold(ch);
    }
    return false;
}

} // namespace qzgui
