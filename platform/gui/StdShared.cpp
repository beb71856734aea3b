#include "QzStdPrivate.h"

#include <QPalette>

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

void NotifyCommand(TWinControl* c, WPARAM code)
{
    if (!c || !c->HandleAllocated()) return;
    TControl* self = c;
    Guarded(self, [&] { c->Perform(CN_COMMAND, MAKEWPARAM(0, int(code)), LPARAM(HandleOf(c))); });
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
