// The overlay is a window of its own over the area its shapes and pictures
// cover. Its picture is computed from what the windows under it show: the
// inverted shapes become a mask (each shape toggles the pixels it covers),
// masked pixels show the inverse of what lies under them, and pictures are
// drawn over that.
#include "Overlay.h"
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <map>

using namespace qzgui;

QZ_CLASS_IMPL(TScreenOverlay, TObject)

namespace {

struct TShape {
    enum TKind { Line, Rect, Frame, Focus } Kind;
    QPoint A, B;
    QRect R;
    int Width = 1;
    bool operator==(const TShape& o) const
    {
        return Kind == o.Kind && A == o.A && B == o.B && R == o.R && Width == o.Width;
    }
    // The screen pixels the shape covers.
    QRect Area() const
    {
        if (Kind == Line) return QRect(A, B).normalized().adjusted(-Width, -Width, Width, Width);
        return R;
    }
    void Paint(QPainter& p) const
    {
        switch (Kind) {
        case Line: {
            if (A == B) return;
            // Lines one pixel wide run right of and below their coordinates.
            QPen pen(Qt::white, Width, Qt::SolidLine, Qt::SquareCap);
            if (Width <= 1) pen.setCosmetic(true);
            p.setPen(pen);
            QPointF off = Width <= 1 ? QPointF(0.5, 0.5) : QPointF(0, 0);
            QPoint end = B;
            // The end point is not drawn.
            if (A.x() == B.x()) end.ry() += B.y() > A.y() ? -1 : 1;
            else if (A.y() == B.y()) end.rx() += B.x() > A.x() ? -1 : 1;
            p.drawLine(QPointF(A) + off, QPointF(end) + off);
            break;
        }
        case Rect: p.fillRect(R, Qt::white); break;
        case Frame: {
            QPainterPath path;
            path.addRect(R);
            path.addRect(R.adjusted(Width, Width, -Width, -Width));
            path.setFillRule(Qt::OddEvenFill);
            p.fillPath(path, Qt::white);
            break;
        }
        case Focus:
            // Every other pixel of the frame.
            for (int x = R.left(); x <= R.right(); ++x) {
                if ((x + R.top()) % 2 == 0) p.fillRect(x, R.top(), 1, 1, Qt::white);
                if ((x + R.bottom()) % 2 == 0 && R.height() > 1) p.fillRect(x, R.bottom(), 1, 1, Qt::white);
            }
            for (int y = R.top() + 1; y < R.bottom(); ++y) {
                if ((R.left() + y) % 2 == 0) p.fillRect(R.left(), y, 1, 1, Qt::white);
                if ((R.right() + y) % 2 == 0 && R.width() > 1) p.fillRect(R.right(), y, 1, 1, Qt::white);
            }
            break;
        }
    }
};

struct TPictureItem {
    QImage Img;   // ARGB: transparent pixels let through
    QPoint Pos;
    QRect Area() const { return QRect(Pos, Img.size()); }
};

bool IsOverlayWindow(QWidget* w) { return w->property("qzOverlay").toBool(); }

// What the windows show in a screen rectangle, without the overlay: each
// visible top-level window in stacking order (as the program keeps it),
// windows that take no input (drag pictures, the overlay) left out.
QImage UnderScreen(const QRect& r)
{
    QImage out(r.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || IsOverlayWindow(top) || (top->windowFlags() & Qt::WindowTransparentForInput))
            continue;
        QRect g = top->geometry();
        QRect part = g & r;
        if (part.isEmpty()) continue;
        QImage img = QzGrabWidget(top, part.translated(-g.topLeft()));
        p.drawImage(part.topLeft() - r.topLeft(), img);
    }
    return out;
}

class TOverlayWindow : public QWidget {
public:
    std::function<QImage(const QRect&)> Layer;
    TOverlayWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setProperty("qzOverlay", true);
    }
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, Layer(geometry()));
    }
};

} // namespace

struct TScreenOverlay::TImpl {
    std::vector<TShape> Shapes;
    std::map<int, TPictureItem> Pictures;
    int NextId = 1;
    std::unique_ptr<TOverlayWindow> Window;

    QRect Area() const
    {
        QRect a;
        for (auto& s : Shapes) a |= s.Area();
        for (auto& [id, pic] : Pictures) a |= pic.Area();
        return a;
    }
    void Toggle(const TShape& s)
    {
        for (auto it = Shapes.begin(); it != Shapes.end(); ++it)
            if (*it == s) {
                Shapes.erase(it);
                return;
            }
        Shapes.push_back(s);
    }
    // The overlay's own pixels over r: transparent where it shows nothing.
    QImage Layer(const QRect& r, const QImage& under) const
    {
        QImage layer(r.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        if (!Shapes.empty()) {
            QImage mask(r.size(), QImage::Format_RGB32);
            mask.fill(Qt::black);
            {
                QPainter m(&mask);
                m.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
                for (auto& s : Shapes) {
                    // Each shape is drawn alone, then toggled into the mask.
                    QImage one(r.size(), QImage::Format_RGB32);
                    one.fill(Qt::black);
                    QPainter o(&one);
                    o.translate(-r.topLeft());
                    s.Paint(o);
                    o.end();
                    m.drawImage(0, 0, one);
                }
            }
            for (int y = 0; y < r.height(); ++y) {
                const QRgb* mk = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                const QRgb* un = reinterpret_cast<const QRgb*>(under.constScanLine(y));
                QRgb* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
                for (int x = 0; x < r.width(); ++x)
                    if (mk[x] & 0xFFFFFF) out[x] = 0xFF000000u | (~un[x] & 0xFFFFFF);
            }
        }
        QPainter p(&layer);
        for (auto& [id, pic] : Pictures) p.drawImage(pic.Pos - r.topLeft(), pic.Img);
        return layer;
    }
};

TScreenOverlay::TScreenOverlay() : F(std::make_unique<TImpl>()) {}
TScreenOverlay::~TScreenOverlay() = default;

void TScreenOverlay::Changed()
{
    InitGui();
    QRect a = F->Area();
    if (a.isEmpty() || FHideLevel > 0) {
        if (F->Window) F->Window->hide();
        return;
    }
    if (!F->Window) {
        F->Window = std::make_unique<TOverlayWindow>();
        TImpl* impl = F.get();
        F->Window->Layer = [impl](const QRect& r) { return impl->Layer(r, UnderScreen(r)); };
    }
    F->Window->setGeometry(a);
    if (!F->Window->isVisible()) F->Window->show();
    F->Window->raise();
    F->Window->update();
}

void TScreenOverlay::InvertLine(TPoint a, TPoint b, int width)
{
    TShape s{TShape::Line, QP(a), QP(b), QRect(), std::max(1, width)};
    F->Toggle(s);
    Changed();
}

void TScreenOverlay::InvertRect(const TRect& r)
{
    if (IsRectEmpty(r)) return;
    F->Toggle({TShape::Rect, {}, {}, QR(r).normalized(), 1});
    Changed();
}

void TScreenOverlay::InvertFrame(const TRect& r, int width)
{
    if (IsRectEmpty(r)) return;
    F->Toggle({TShape::Frame, {}, {}, QR(r).normalized(), std::max(1, width)});
    Changed();
}

void TScreenOverlay::DrawFocusRect(const TRect& r)
{
    if (IsRectEmpty(r)) return;
    F->Toggle({TShape::Focus, {}, {}, QR(r).normalized(), 1});
    Changed();
}

int TScreenOverlay::ShowPicture(TBitmap* picture, TPoint topLeft, TColor transparent)
{
    if (!picture || picture->Empty()) return 0;
    picture->FinishDrawing();
    QImage img = picture->Image()->Img.convertToFormat(QImage::Format_ARGB32);
    if (transparent != clNone) {
        QRgb key = QCol(transparent).rgb() & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
        }
    }
    int id = F->NextId++;
    F->Pictures[id] = {img.convertToFormat(QImage::Format_ARGB32_Premultiplied), QP(topLeft)};
    Changed();
    return id;
}

void TScreenOverlay::MovePicture(int id, TPoint topLeft)
{
    auto it = F->Pictures.find(id);
    if (it == F->Pictures.end() || it->second.Pos == QP(topLeft)) return;
    it->second.Pos = QP(topLeft);
    Changed();
}

void TScreenOverlay::HidePicture(int id)
{
    if (F->Pictures.erase(id)) Changed();
}

void TScreenOverlay::HideAll()
{
    ++FHideLevel;
    Changed();
}

void TScreenOverlay::ShowAll()
{
    if (FHideLevel > 0) --FHideLevel;
    Changed();
}

void TScreenOverlay::Clear()
{
    F->Shapes.clear();
    F->Pictures.clear();
    Changed();
}

int TScreenOverlay::ShapeCount() const { return int(F->Shapes.size()); }
int TScreenOverlay::PictureCount() const { return int(F->Pictures.size()); }
TRect TScreenOverlay::Bounds() const { return FHideLevel > 0 ? TRect() : TR(F->Area()); }

TBitmap* TScreenOverlay::Grab(const TRect& rect)
{
    InitGui();
    QRect r = QR(rect).normalized();
    auto* b = new TBitmap(std::max(1, r.width()), std::max(1, r.height()));
    QImage under = UnderScreen(r);
    if (FHideLevel == 0) {
        QPainter p(&under);
        p.drawImage(0, 0, F->Layer(r, under));
    }
    b->Image()->Img = under;
    b->ImageChanged();
    return b;
}

TColor TScreenOverlay::PixelAt(TPoint p)
{
    std::unique_ptr<TBitmap> b(Grab(::Bounds(p.X, p.Y, 1, 1)));
    return b->Canvas()->Pixels(0, 0);
}

TScreenOverlay* ScreenOverlay()
{
    static auto* o = new TScreenOverlay();
    return o;
}
