// A metafile is a list of drawing operations as the painter saw them (the
// geometry with its transform, pen, brush, font and clip). Three things make
// such lists: a canvas drawing on the recording device, and the players of
// the WMF and EMF records, which turn the records' device-context state
// machine into painter calls on that same device. Replaying draws the list
// onto any canvas; saving turns it into EMF or WMF records.
#include "Metafile.h"
#include "Forms.h"
#include "QzGuiPrivate.h"
#include "Streams.h"
#include "TextUtils.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <cstring>

using namespace qzgui;

QZ_CLASS_IMPL(TMetafile, TGraphic)
QZ_CLASS_IMPL(TMetafileCanvas, TCanvas)

// ---- the recorded operations ---------------------------------------------------------

struct TMfOp {
    enum TKind : uint8_t { Path, Text, Image };
    TKind Kind = Path;
    QTransform T;               // logical to picture pixels
    QPen Pen;
    QBrush Brush;
    QFont Font;
    QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver;
    bool Clipped = false;
    QPainterPath Clip;          // picture pixels
    QPainterPath Geometry;      // Path
    QPointF Pos;                // Text: the baseline start
    QString Str;
    QRectF Rect;                // Image: target; Src: the part of Img
    QRectF Src;
    QImage Img;
    bool IntStroke = false;     // drawn from whole-pixel coordinates
};

struct TMetafileData {
    std::vector<TMfOp> Ops;
};

namespace {

// The most operations one picture may hold, and the most records a file
// may have: a picture beyond that is refused rather than drawn for minutes.
constexpr size_t MaxOps = 500000;

// ---- recording: a paint device whose engine keeps what is drawn ------------------------

class TRecordEngine : public QPaintEngine {
public:
    TRecordEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    TMetafileData* Data = nullptr;
    QRectF Whole;   // a clip covering all of it is no clip
    bool Overflow = false;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState&) override {}

    void drawPath(const QPainterPath& path) override { AddPath(path); }
    void drawPolygon(const QPointF* pts, int n, PolygonDrawMode mode) override
    {
        QPainterPath p;
        p.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
        p.addPolygon(QPolygonF(QList<QPointF>(pts, pts + n)));
        if (mode == PolylineMode) {
            TMfOp& o = AddPath(p);
            o.Brush = Qt::NoBrush;
        } else {
            p.closeSubpath();
            AddPath(p);
        }
    }
    void drawPolygon(const QPoint* pts, int n, PolygonDrawMode mode) override
    {
        QList<QPointF> f;
        for (int i = 0; i < n; ++i) f.push_back(pts[i]);
        drawPolygon(f.constData(), n, mode);
        if (!Data->Ops.empty()) Data->Ops.back().IntStroke = true;
    }
    void drawRects(const QRectF* rects, int n) override
    {
        QPainterPath p;
        for (int i = 0; i < n; ++i) p.addRect(rects[i]);
        AddPath(p);
    }
    void drawRects(const QRect* rects, int n) override
    {
        QPainterPath p;
        for (int i = 0; i < n; ++i) p.addRect(QRectF(rects[i]));
        AddPath(p).IntStroke = true;
    }
    void drawEllipse(const QRect& r) override
    {
        QPainterPath p;
        p.addEllipse(QRectF(r));
        AddPath(p).IntStroke = true;
    }
    void drawLines(const QLineF* lines, int n) override
    {
        QPainterPath p;
        for (int i = 0; i < n; ++i) {
            p.moveTo(lines[i].p1());
            p.lineTo(lines[i].p2());
        }
        AddPath(p).Brush = Qt::NoBrush;
    }
    void drawLines(const QLine* lines, int n) override
    {
        QPainterPath p;
        for (int i = 0; i < n; ++i) {
            p.moveTo(lines[i].p1());
            p.lineTo(lines[i].p2());
        }
        TMfOp& o = AddPath(p);
        o.Brush = Qt::NoBrush;
        o.IntStroke = true;
    }
    void drawEllipse(const QRectF& r) override
    {
        QPainterPath p;
        p.addEllipse(r);
        AddPath(p);
    }
    void drawPoints(const QPointF* pts, int n) override
    {
        QPainterPath p;
        for (int i = 0; i < n; ++i) p.addRect(QRectF(pts[i], QSizeF(1, 1)));
        TMfOp& o = AddPath(p);
        o.Brush = QBrush(o.Pen.color());
        o.Pen = Qt::NoPen;
    }
    void drawTextItem(const QPointF& p, const QTextItem& ti) override
    {
        TMfOp* o = Add(TMfOp::Text);
        if (!o) return;
        o->Pos = p;
        o->Str = ti.text();
        o->Font = ti.font();
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override
    {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }
    void drawImage(const QRectF& r, const QImage& img, const QRectF& sr, Qt::ImageConversionFlags) override
    {
        TMfOp* o = Add(TMfOp::Image);
        if (!o) return;
        o->Rect = r;
        o->Src = sr;
        o->Img = img;
    }

private:
    TMfOp* Add(TMfOp::TKind kind)
    {
        if (Data->Ops.size() >= MaxOps) {
            Overflow = true;
            return nullptr;
        }
        QPainter* p = painter();
        TMfOp o;
        o.Kind = kind;
        o.T = p->combinedTransform();
        o.Pen = p->pen();
        o.Brush = p->brush();
        o.Font = p->font();
        o.Mode = p->compositionMode();
        if (p->hasClipping()) {
            QPainterPath clip = o.T.map(p->clipPath());
            if (!clip.contains(Whole)) {
                o.Clipped = true;
                o.Clip = clip;
            }
        }
        Data->Ops.push_back(std::move(o));
        return &Data->Ops.back();
    }
    TMfOp& AddPath(const QPainterPath& path)
    {
        static TMfOp spare;
        TMfOp* o = Add(TMfOp::Path);
        if (!o) return spare;
        o->Geometry = path;
        return *o;
    }
};

class TRecordDevice : public QPaintDevice {
public:
    TRecordDevice(int w, int h, int dpi) : FW(w), FH(h), FDpi(dpi) {}
    QPaintEngine* paintEngine() const override { return &FEngine; }
    TRecordEngine& Engine() { return FEngine; }
protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return FW;
        case PdmHeight: return FH;
        case PdmWidthMM: return int(FW * 25.4 / FDpi);
        case PdmHeightMM: return int(FH * 25.4 / FDpi);
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return FDpi;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }
private:
    int FW, FH, FDpi;
    mutable TRecordEngine FEngine;
};

// The picture pixels an operation covers.
QRectF OpBounds(const TMfOp& o)
{
    QRectF r;
    switch (o.Kind) {
    case TMfOp::Path: {
        r = o.Geometry.boundingRect();
        double w = o.Pen.style() == Qt::NoPen ? 0 : std::max(1.0, o.Pen.widthF());
        r = o.T.mapRect(r.adjusted(-w / 2, -w / 2, w / 2, w / 2));
        break;
    }
    case TMfOp::Text: {
        QFontMetricsF fm(o.Font);
        r = o.T.mapRect(fm.boundingRect(o.Str).translated(o.Pos));
        break;
    }
    case TMfOp::Image: r = o.T.mapRect(o.Rect); break;
    }
    if (o.Clipped) r &= o.Clip.boundingRect();
    return r;
}

// ---- replay -------------------------------------------------------------------------

// A thin outline on whole-pixel coordinates lies on the pixels right of and
// below them, as the canvas draws it; an outline path through those very
// coordinates would straddle two pixels.
bool ThinPen(const QPen& pen) { return pen.style() != Qt::NoPen && (pen.isCosmetic() || pen.widthF() <= 1); }

void StrokeAndFill(QPainter& p, const QPainterPath& path, const QPen& pen, const QBrush& brush,
                   const QTransform& t, bool wholePixels)
{
    if (!wholePixels || !ThinPen(pen)) {
        p.setTransform(t);
        p.setPen(pen);
        p.setBrush(brush);
        p.drawPath(path);
        return;
    }
    if (brush.style() != Qt::NoBrush) {
        p.setTransform(t);
        p.setPen(Qt::NoPen);
        p.setBrush(brush);
        p.drawPath(path);
    }
    p.setTransform(QTransform::fromTranslate(0.5, 0.5) * t);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void Replay(const TMetafileData& data, QPainter& p, const QTransform& base)
{
    for (const TMfOp& o : data.Ops) {
        p.save();
        if (o.Clipped) {
            p.setTransform(base);
            p.setClipPath(o.Clip, Qt::IntersectClip);
        }
        p.setTransform(o.T * base);
        p.setCompositionMode(o.Mode);
        p.setPen(o.Pen);
        p.setBrush(o.Brush);
        switch (o.Kind) {
        case TMfOp::Path: StrokeAndFill(p, o.Geometry, o.Pen, o.Brush, o.T * base, o.IntStroke); break;
        case TMfOp::Text:
            p.setFont(o.Font);
            p.drawText(o.Pos, o.Str);
            break;
        case TMfOp::Image: p.drawImage(o.Rect, o.Img, o.Src); break;
        }
        p.restore();
    }
}

// ---- reading bytes ------------------------------------------------------------------------

struct EBadMetafile {};

class TReader {
public:
    TReader(const std::string& b, size_t from, size_t to) : B(b), Pos(from), End(to) {}
    const std::string& B;
    size_t Pos, End;
    void Need(size_t n) const { if (n > End - Pos) throw EBadMetafile(); }
    uint8_t U8() { Need(1); return uint8_t(B[Pos++]); }
    uint16_t U16() { Need(2); uint16_t v = uint16_t(uint8_t(B[Pos]) | uint8_t(B[Pos + 1]) << 8); Pos += 2; return v; }
    int16_t I16() { return int16_t(U16()); }
    uint32_t U32() { uint32_t lo = U16(); return lo | uint32_t(U16()) << 16; }
    int32_t I32() { return int32_t(U32()); }
    float F32() { uint32_t u = U32(); float f; std::memcpy(&f, &u, 4); return std::isfinite(f) ? f : 0.f; }
    std::string Bytes(size_t n) { Need(n); std::string s = B.substr(Pos, n); Pos += n; return s; }
    void Skip(size_t n) { Need(n); Pos += n; }
    size_t Left() const { return End - Pos; }
};

QColor ColorRef(uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// A DIB (header, colours and bits) as an image, through the bitmap reader
// and its bounds.
QImage DibImage(const std::string& bmi, const std::string& bits)
{
    if (bmi.size() < 12) return QImage();
    std::string file = "BM";
    uint32_t total = uint32_t(14 + bmi.size() + bits.size());
    uint32_t off = uint32_t(14 + bmi.size());
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) file += char((v >> (8 * i)) & 0xFF); };
    put32(total);
    put32(0);
    put32(off);
    file += bmi;
    file += bits;
    try {
        TBitmap b;
        TStringStream s(file);
        b.LoadFromStream(&s);
        return b.Image()->Img.convertToFormat(QImage::Format_RGB32);
    } catch (Exception&) {
        return QImage();
    }
}

// The size of a DIB's header and colour table, as its header tells.
size_t DibHeaderSize(const std::string& b, size_t at, size_t end)
{
    TReader r(b, at, end);
    uint32_t hs = r.U32();
    if (hs < 12 || hs > 1024) throw EBadMetafile();
    int bpp;
    uint32_t used = 0, compression = 0;
    if (hs == 12) {
        r.Skip(6);
        bpp = r.U16();
    } else {
        r.Skip(10);
        bpp = r.U16();
        compression = r.U32();
        r.Skip(12);
        used = r.U32();
    }
    size_t colours = used ? std::min<uint32_t>(used, 256) : bpp <= 8 ? (1u << bpp) : 0;
    if (compression == 3 && hs == 40) colours = 3;   // bit-field masks
    return hs + colours * (hs == 12 ? 3 : 4);
}

// ---- the device-context machine both formats share -------------------------------------

struct TGdiObject {
    enum TKind { None, KPen, KBrush, KFont, Other } Kind = None;
    QPen Pen;
    QBrush Brush;
    QFont Font;
    int Escapement = 0;
    int Charset = 0;
};

struct TGdiState {
    QPen Pen{QColor(0, 0, 0)};
    QBrush Brush{QColor(255, 255, 255)};
    QFont Font;
    int Escapement = 0;
    int Charset = 0;
    QColor TextColor{0, 0, 0};
    QColor BkColor{255, 255, 255};
    bool BkOpaque = true;
    int TextAlign = 0;
    QPointF Cur;
    Qt::FillRule Fill = Qt::OddEvenFill;
    int Rop2 = 13;   // R2_COPYPEN
    int MapMode = 1;
    QPointF WinOrg, VpOrg;
    QSizeF WinExt{1, 1}, VpExt{1, 1};
    bool WinExtSet = false;
    QTransform World;
    bool Clipped = false;
    QPainterPath Clip;   // picture pixels
};

class TGdiPlayer {
public:
    TGdiPlayer(QPainter& p, bool wmf) : P(p), Wmf(wmf)
    {
        St.Font = DefaultFont();
    }
    QPainter& P;
    bool Wmf;
    TGdiState St;
    std::vector<TGdiState> Saved;
    std::vector<TGdiObject> Objects;
    QTransform Outer;     // device (WMF: logical) units to picture pixels
    bool InPath = false;
    QPainterPath CurPath;   // picture pixels

    static QFont DefaultFont()
    {
        QFont f(QString::fromUtf8("宋体"));
        f.setPixelSize(12);
        return f;
    }

    // Logical units to picture pixels.
    QTransform Xf() const
    {
        QTransform m = St.World;
        if (Wmf) {
            if (St.WinExtSet && St.WinExt.width() != 0 && St.WinExt.height() != 0)
                m *= QTransform::fromTranslate(-St.WinOrg.x(), -St.WinOrg.y());
            return m * Outer;
        }
        m *= QTransform::fromTranslate(-St.WinOrg.x(), -St.WinOrg.y());
        if ((St.MapMode == 7 || St.MapMode == 8) && St.WinExt.width() != 0 && St.WinExt.height() != 0)
            m *= QTransform::fromScale(St.VpExt.width() / St.WinExt.width(), St.VpExt.height() / St.WinExt.height());
        m *= QTransform::fromTranslate(St.VpOrg.x(), St.VpOrg.y());
        return m * Outer;
    }

    void Prepare(bool fill, bool stroke)
    {
        P.setTransform(QTransform());
        P.setClipping(false);
        if (St.Clipped) P.setClipPath(St.Clip);
        P.setTransform(Xf());
        P.setPen(stroke ? St.Pen : QPen(Qt::NoPen));
        P.setBrush(fill ? St.Brush : QBrush(Qt::NoBrush));
        P.setCompositionMode(St.Rop2 == 7 ? QPainter::RasterOp_SourceXorDestination
                             : St.Rop2 == 6 ? QPainter::RasterOp_NotDestination
                                            : QPainter::CompositionMode_SourceOver);
    }

    void Shape(QPainterPath path, bool fill, bool stroke = true)
    {
        path.setFillRule(St.Fill);
        if (InPath) {
            CurPath.addPath(Xf().map(path));
            return;
        }
        if (St.Pen.style() == Qt::NoPen) stroke = false;
        if (St.Brush.style() == Qt::NoBrush) fill = false;
        if (!fill && !stroke) return;
        Prepare(fill, stroke);
        StrokeAndFill(P, path, stroke ? St.Pen : QPen(Qt::NoPen), fill ? St.Brush : QBrush(Qt::NoBrush), Xf(), true);
    }

    static QRectF Box(double l, double t, double r, double b)
    {
        return QRectF(QPointF(std::min(l, r), std::min(t, b)), QPointF(std::max(l, r), std::max(t, b)));
    }

    void Rectangle(double l, double t, double r, double b)
    {
        QPainterPath p;
        p.addRect(Box(l, t, r, b).adjusted(0, 0, -1, -1));
        Shape(p, true);
    }
    void Ellipse(double l, double t, double r, double b)
    {
        QPainterPath p;
        p.addEllipse(Box(l, t, r, b).adjusted(0, 0, -1, -1));
        Shape(p, true);
    }
    void RoundRect(double l, double t, double r, double b, double w, double h)
    {
        QPainterPath p;
        p.addRoundedRect(Box(l, t, r, b).adjusted(0, 0, -1, -1), w / 2, h / 2);
        Shape(p, true);
    }
    // kind: 0 arc, 1 pie, 2 chord. GDI runs counter-clockwise from the
    // start radial to the end radial.
    void ArcShape(int kind, double l, double t, double r, double b, double xs, double ys, double xe, double ye)
    {
        QRectF box = Box(l, t, r, b);
        QPointF c = box.center();
        double a0 = std::atan2(-(ys - c.y()), xs - c.x()) * 180 / M_PI;
        double a1 = std::atan2(-(ye - c.y()), xe - c.x()) * 180 / M_PI;
        double span = a1 - a0;
        while (span <= 0) span += 360;
        QPainterPath p;
        if (kind == 1) {
            p.moveTo(c);
            p.arcTo(box, a0, span);
            p.closeSubpath();
        } else {
            p.arcMoveTo(box, a0);
            p.arcTo(box, a0, span);
            if (kind == 2) p.closeSubpath();
        }
        Shape(p, kind != 0);
    }
    void Poly(const std::vector<QPolygonF>& polys, bool closed)
    {
        QPainterPath p;
        for (auto& poly : polys) {
            if (poly.isEmpty()) continue;
            p.addPolygon(poly);
            if (closed) p.closeSubpath();
        }
        Shape(p, closed);
    }
    void MoveTo(QPointF pt)
    {
        St.Cur = pt;
        if (InPath) CurPath.moveTo(Xf().map(pt));
    }
    void LineTo(QPointF pt)
    {
        QPainterPath p;
        p.moveTo(St.Cur);
        p.lineTo(pt);
        if (InPath) CurPath.lineTo(Xf().map(pt));
        else Shape(p, false);
        St.Cur = pt;
    }

    void Text(QPointF at, const QString& s, uint32_t options, const QRectF* rect)
    {
        if (InPath) return;
        Prepare(false, false);
        QFont f = St.Font;
        QFontMetricsF fm(f);
        if (options & 0x0002 && rect) {   // ETO_OPAQUE
            P.fillRect(*rect, St.BkColor);
        }
        if (options & 0x0004 && rect) P.setClipRect(*rect, Qt::IntersectClip);   // ETO_CLIPPED
        if (St.TextAlign & 1) at = St.Cur;   // TA_UPDATECP
        double w = fm.horizontalAdvance(s);
        int h = St.TextAlign & 6;
        double dx = h == 6 ? -w / 2 : h == 2 ? -w : 0;   // TA_CENTER, TA_RIGHT
        int v = St.TextAlign & 24;
        double dy = v == 24 ? 0 : v == 8 ? -fm.descent() : fm.ascent();   // baseline, bottom, top
        P.translate(at);
        if (St.Escapement) P.rotate(-St.Escapement / 10.0);
        if (St.BkOpaque && !(options & 0x0002))
            P.fillRect(QRectF(dx, dy - fm.ascent(), w, fm.height()), St.BkColor);
        P.setFont(f);
        P.setPen(St.TextColor);
        P.drawText(QPointF(dx, dy), s);
        P.resetTransform();
        if (St.TextAlign & 1) St.Cur = at + QPointF(w, 0);
    }

    void Picture(const QRectF& dest, const QImage& img, QRectF src)
    {
        if (img.isNull() || InPath) return;
        Prepare(false, false);
        if (src.isEmpty()) src = img.rect();
        P.drawImage(dest, img, src);
    }
    // A block transfer without a picture: the brush, white or black.
    void Fill(const QRectF& dest, uint32_t rop)
    {
        if (InPath) return;
        Prepare(false, false);
        if (rop == 0x00FF0062) P.fillRect(dest, Qt::white);
        else if (rop == 0x00000042) P.fillRect(dest, Qt::black);
        else if (rop == 0x00550009) {   // DSTINVERT
            P.setCompositionMode(QPainter::RasterOp_NotDestination);
            P.fillRect(dest, Qt::black);
        } else if (St.Brush.style() != Qt::NoBrush) P.fillRect(dest, St.Brush);
    }

    void SaveDC()
    {
        if (Saved.size() > 1000) throw EBadMetafile();
        Saved.push_back(St);
    }
    void RestoreDC(int n)
    {
        if (n < 0) n = int(Saved.size()) + 1 + n;
        else n = int(Saved.size()) - n + 1;   // a positive level counts from the first save
        if (n < 1 || n > int(Saved.size())) return;
        St = Saved[size_t(n - 1)];
        Saved.resize(size_t(n - 1));
    }
    void ClipRect(double l, double t, double r, double b, bool exclude)
    {
        QPainterPath rp;
        rp.addRect(Xf().mapRect(Box(l, t, r, b)));
        if (exclude) {
            QPainterPath all;
            all.addRect(St.Clipped ? St.Clip.boundingRect().united(rp.boundingRect())
                                   : QRectF(-1e6, -1e6, 2e6, 2e6));
            rp = all.subtracted(rp);
        }
        St.Clip = St.Clipped ? St.Clip.intersected(rp) : rp;
        St.Clipped = true;
    }

    void Select(uint32_t index)
    {
        if (index & 0x80000000u) {   // stock objects
            switch (index & 0x7FFFFFFF) {
            case 0: St.Brush = QBrush(Qt::white); break;
            case 1: St.Brush = QBrush(QColor(192, 192, 192)); break;
            case 2: St.Brush = QBrush(QColor(128, 128, 128)); break;
            case 3: St.Brush = QBrush(QColor(64, 64, 64)); break;
            case 4: St.Brush = QBrush(Qt::black); break;
            case 5: St.Brush = QBrush(Qt::NoBrush); break;
            case 6: St.Pen = QPen(Qt::white); break;
            case 7: St.Pen = QPen(Qt::black); break;
            case 8: St.Pen = QPen(Qt::NoPen); break;
            default:
                if ((index & 0x7FFFFFFF) >= 10 && (index & 0x7FFFFFFF) <= 17) {
                    St.Font = DefaultFont();
                    St.Escapement = 0;
                }
                break;
            }
            return;
        }
        if (index >= Objects.size()) return;
        const TGdiObject& o = Objects[index];
        switch (o.Kind) {
        case TGdiObject::KPen: St.Pen = o.Pen; break;
        case TGdiObject::KBrush: St.Brush = o.Brush; break;
        case TGdiObject::KFont:
            St.Font = o.Font;
            St.Escapement = o.Escapement;
            St.Charset = o.Charset;
            break;
        default: break;
        }
    }
    void Delete(uint32_t index)
    {
        if (index < Objects.size()) Objects[index] = TGdiObject();
    }
    void Store(uint32_t index, TGdiObject o)
    {
        if (index >= Objects.size()) throw EBadMetafile();
        Objects[index] = std::move(o);
    }
    // WMF objects take the lowest free slot.
    void StoreFirstFree(TGdiObject o)
    {
        for (auto& slot : Objects)
            if (slot.Kind == TGdiObject::None) {
                slot = std::move(o);
                return;
            }
    }

    static QPen MakePen(uint32_t style, double width, uint32_t color)
    {
        if ((style & 0x0F) == 5) return QPen(Qt::NoPen);
        QPen pen(ColorRef(color));
        pen.setWidthF(width <= 1 ? 0 : width);
        pen.setCosmetic(width <= 1);
        switch (style & 0x0F) {
        case 1: pen.setStyle(Qt::DashLine); break;
        case 2: pen.setStyle(Qt::DotLine); break;
        case 3: pen.setStyle(Qt::DashDotLine); break;
        case 4: pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    }
    static TGdiObject PenObject(uint32_t style, double width, uint32_t color)
    {
        TGdiObject o;
        o.Kind = TGdiObject::KPen;
        o.Pen = MakePen(style, width, color);
        return o;
    }
    static TGdiObject BrushObject(uint32_t style, uint32_t color, uint32_t hatch)
    {
        TGdiObject o;
        o.Kind = TGdiObject::KBrush;
        o.Brush = MakeBrush(style, color, hatch);
        return o;
    }
    static QBrush MakeBrush(uint32_t style, uint32_t color, uint32_t hatch)
    {
        if (style == 1) return QBrush(Qt::NoBrush);
        if (style == 2) {
            static const Qt::BrushStyle hs[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(ColorRef(color), hatch < 6 ? hs[hatch] : Qt::SolidPattern);
        }
        if (style != 0) return QBrush(QColor(128, 128, 128));   // pattern brushes: a grey stand-in
        return QBrush(ColorRef(color));
    }
    static TGdiObject MakeFont(int height, int escapement, int weight, bool italic, bool underline,
                               bool strike, int charset, const QString& face)
    {
        TGdiObject o;
        o.Kind = TGdiObject::KFont;
        QFont f(face.isEmpty() ? QString::fromUtf8("宋体") : face);
        int px = std::abs(height);
        if (height > 0) px = std::max(1, int(std::lround(px * 0.86)));   // a cell height: the em is smaller
        if (px == 0) px = 12;
        f.setPixelSize(std::clamp(px, 1, 4000));
        f.setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
        f.setItalic(italic);
        f.setUnderline(underline);
        f.setStrikeOut(strike);
        o.Font = f;
        o.Escapement = escapement;
        o.Charset = charset;
        return o;
    }
    // 8-bit text in the font's character set: GBK for Chinese fonts (and the
    // default set), Latin-1 otherwise.
    QString Text8(const std::string& bytes) const
    {
        if (St.Charset == 0 && std::all_of(bytes.begin(), bytes.end(), [](char c) { return uint8_t(c) < 0x80; }))
            return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        if (St.Charset == 0 || St.Charset == 1 || St.Charset == 134 || St.Charset == 136)
            return QS(GbkToUtf8(bytes));
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    }
};

// ---- WMF ----------------------------------------------------------------------------------

struct TWmfInfo {
    bool Placeable = false;
    QRect Box;
    int Inch = 96;
};

void PlayWmf(const std::string& b, QPainter& painter, TWmfInfo& info, QSize& size)
{
    TReader r(b, 0, b.size());
    size_t start = 0;
    if (b.size() >= 22 && uint8_t(b[0]) == 0xD7 && uint8_t(b[1]) == 0xCD && uint8_t(b[2]) == 0xC6 &&
        uint8_t(b[3]) == 0x9A) {
        r.Skip(6);
        int l = r.I16(), t = r.I16(), rr = r.I16(), bb = r.I16();
        int inch = r.U16();
        r.Skip(6);
        info.Placeable = true;
        info.Box = QRect(QPoint(std::min(l, rr), std::min(t, bb)), QPoint(std::max(l, rr), std::max(t, bb)));
        info.Inch = inch ? inch : 1440;
        start = 22;
    }
    r.Pos = start;
    uint16_t type = r.U16(), headerWords = r.U16();
    if ((type != 1 && type != 2) || headerWords != 9) throw EBadMetafile();
    r.Skip(2 + 4);   // version, size
    uint16_t objects = r.U16();
    r.Skip(4 + 2);

    TGdiPlayer g(painter, true);
    g.Objects.resize(objects);
    if (info.Placeable) {
        double scale = 96.0 / info.Inch;
        g.Outer = QTransform::fromTranslate(-info.Box.left(), -info.Box.top()) * QTransform::fromScale(scale, scale);
        size = QSize(std::max(1, int(std::lround(info.Box.width() * scale))),
                     std::max(1, int(std::lround(info.Box.height() * scale))));
    }
    size_t records = 0;
    while (r.Left() >= 6) {
        if (++records > MaxOps) throw EBadMetafile();
        size_t recStart = r.Pos;
        uint32_t words = r.U32();
        uint16_t fn = r.U16();
        if (words < 3 || words > (r.End - recStart) / 2) throw EBadMetafile();
        TReader p(b, r.Pos, recStart + size_t(words) * 2);
        r.Pos = recStart + size_t(words) * 2;
        if (fn == 0) break;   // META_EOF
        auto pt = [&](int16_t x, int16_t y) { return QPointF(x, y); };
        switch (fn) {
        case 0x0103: g.St.MapMode = p.I16(); break;
        case 0x0102: g.St.BkOpaque = p.I16() == 2; break;
        case 0x0201: g.St.BkColor = ColorRef(p.U32()); break;
        case 0x0209: g.St.TextColor = ColorRef(p.U32()); break;
        case 0x0104: g.St.Rop2 = p.I16(); break;
        case 0x0106: g.St.Fill = p.I16() == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case 0x012E: g.St.TextAlign = p.U16(); break;
        case 0x020B: { int16_t y = p.I16(), x = p.I16(); g.St.WinOrg = pt(x, y); break; }
        case 0x020C: {
            int16_t y = p.I16(), x = p.I16();
            g.St.WinExt = QSizeF(x, y);
            g.St.WinExtSet = true;
            if (!info.Placeable && x != 0 && y != 0) {
                // Without a placeable header the window is the picture, at screen resolution.
                g.Outer = QTransform::fromScale(x < 0 ? -1 : 1, y < 0 ? -1 : 1);
                size = QSize(std::abs(x), std::abs(y));
            }
            break;
        }
        case 0x020D: { int16_t y = p.I16(), x = p.I16(); g.St.VpOrg = pt(x, y); break; }
        case 0x020E: { int16_t y = p.I16(), x = p.I16(); g.St.VpExt = QSizeF(x, y); break; }
        case 0x0211: { int16_t y = p.I16(), x = p.I16(); g.St.WinOrg += pt(x, y); break; }   // OFFSETWINDOWORG
        case 0x0214: { int16_t y = p.I16(), x = p.I16(); g.MoveTo(pt(x, y)); break; }
        case 0x0213: { int16_t y = p.I16(), x = p.I16(); g.LineTo(pt(x, y)); break; }
        case 0x041B: { int16_t bb = p.I16(), rr = p.I16(), t = p.I16(), l = p.I16(); g.Rectangle(l, t, rr, bb); break; }
        case 0x0418: { int16_t bb = p.I16(), rr = p.I16(), t = p.I16(), l = p.I16(); g.Ellipse(l, t, rr, bb); break; }
        case 0x061C: {
            int16_t h = p.I16(), w = p.I16(), bb = p.I16(), rr = p.I16(), t = p.I16(), l = p.I16();
            g.RoundRect(l, t, rr, bb, w, h);
            break;
        }
        case 0x0817: case 0x081A: case 0x0830: {
            int16_t ye = p.I16(), xe = p.I16(), ys = p.I16(), xs = p.I16();
            int16_t bb = p.I16(), rr = p.I16(), t = p.I16(), l = p.I16();
            g.ArcShape(fn == 0x0817 ? 0 : fn == 0x081A ? 1 : 2, l, t, rr, bb, xs, ys, xe, ye);
            break;
        }
        case 0x041F: {   // SETPIXEL
            uint32_t c = p.U32();
            int16_t y = p.I16(), x = p.I16();
            QPainterPath path;
            path.addRect(QRectF(x, y, 1, 1));
            QBrush keep = g.St.Brush;
            QPen keepPen = g.St.Pen;
            g.St.Brush = QBrush(ColorRef(c));
            g.St.Pen = QPen(Qt::NoPen);
            g.Shape(path, true, false);
            g.St.Brush = keep;
            g.St.Pen = keepPen;
            break;
        }
        case 0x0324: case 0x0325: {
            int n = p.I16();
            if (n < 0 || size_t(n) * 4 > p.Left()) throw EBadMetafile();
            QPolygonF poly;
            for (int i = 0; i < n; ++i) { int16_t x = p.I16(), y = p.I16(); poly << pt(x, y); }
            g.Poly({poly}, fn == 0x0324);
            break;
        }
        case 0x0538: {
            int n = p.U16();
            if (size_t(n) * 2 > p.Left()) throw EBadMetafile();
            std::vector<int> counts;
            size_t total = 0;
            for (int i = 0; i < n; ++i) { counts.push_back(p.U16()); total += size_t(counts.back()); }
            if (total * 4 > p.Left()) throw EBadMetafile();
            std::vector<QPolygonF> polys;
            for (int c : counts) {
                QPolygonF poly;
                for (int i = 0; i < c; ++i) { int16_t x = p.I16(), y = p.I16(); poly << pt(x, y); }
                polys.push_back(poly);
            }
            g.Poly(polys, true);
            break;
        }
        case 0x0521: {   // TEXTOUT
            int n = p.I16();
            if (n < 0) throw EBadMetafile();
            std::string s = p.Bytes(size_t(n));
            if (n & 1) p.Skip(1);
            int16_t y = p.I16(), x = p.I16();
            g.Text(pt(x, y), g.Text8(s), 0, nullptr);
            break;
        }
        case 0x0A32: {   // EXTTEXTOUT
            int16_t y = p.I16(), x = p.I16();
            int n = p.I16();
            uint16_t opts = p.U16();
            QRectF rect;
            bool hasRect = (opts & 0x0006) && p.Left() >= 8;
            if (hasRect) {
                int16_t l = p.I16(), t = p.I16(), rr = p.I16(), bb = p.I16();
                rect = TGdiPlayer::Box(l, t, rr, bb);
            }
            if (n < 0) throw EBadMetafile();
            std::string s = p.Bytes(std::min(size_t(n), p.Left()));
            g.Text(pt(x, y), g.Text8(s), opts, hasRect ? &rect : nullptr);
            break;
        }
        case 0x02FA: {
            uint16_t style = p.U16();
            int16_t w = p.I16();
            p.Skip(2);
            uint32_t c = p.U32();
            g.StoreFirstFree(TGdiPlayer::PenObject(style, w, c));
            break;
        }
        case 0x02FC: {
            uint16_t style = p.U16();
            uint32_t c = p.U32();
            uint16_t hatch = p.U16();
            g.StoreFirstFree(TGdiPlayer::BrushObject(style, c, hatch));
            break;
        }
        case 0x02FB: {
            int16_t h = p.I16();
            p.Skip(2);
            int16_t esc = p.I16();
            p.Skip(2);
            int16_t weight = p.I16();
            uint8_t italic = p.U8(), under = p.U8(), strike = p.U8(), charset = p.U8();
            p.Skip(4);
            std::string face = p.Bytes(std::min<size_t>(32, p.Left()));
            face = face.substr(0, face.find('\0'));
            QString qface = charset == 0 ? QString::fromLatin1(face.c_str()) : QS(GbkToUtf8(face));
            g.StoreFirstFree(TGdiPlayer::MakeFont(h, esc, weight, italic, under, strike, charset, qface));
            break;
        }
        case 0x00F7: case 0x0142: case 0x01F9: case 0x06FF: case 0x06FE: case 0x01FC: case 0x0762: {
            // Palettes, regions and pattern brushes take a slot too.
            TGdiObject o;
            o.Kind = fn == 0x0142 || fn == 0x01F9 ? TGdiObject::KBrush : TGdiObject::Other;
            o.Brush = QBrush(QColor(128, 128, 128));
            g.StoreFirstFree(o);
            break;
        }
        case 0x012D: g.Select(p.U16()); break;
        case 0x01F0: g.Delete(p.U16()); break;
        case 0x001E: g.SaveDC(); break;
        case 0x0127: g.RestoreDC(p.I16()); break;
        case 0x0416: case 0x0415: {
            int16_t bb = p.I16(), rr = p.I16(), t = p.I16(), l = p.I16();
            g.ClipRect(l, t, rr, bb, fn == 0x0415);
            break;
        }
        case 0x0F43: {   // STRETCHDIB
            uint32_t rop = p.U32();
            p.Skip(2);
            int16_t sh = p.I16(), sw = p.I16(), sy = p.I16(), sx = p.I16();
            int16_t dh = p.I16(), dw = p.I16(), dy = p.I16(), dx = p.I16();
            size_t at = p.Pos;
            size_t hs = DibHeaderSize(b, at, p.End);
            if (hs > p.Left()) throw EBadMetafile();
            QImage img = DibImage(b.substr(at, hs), b.substr(at + hs, p.End - at - hs));
            (void)rop;
            g.Picture(TGdiPlayer::Box(dx, dy, dx + dw, dy + dh), img,
                      QRectF(sx, img.height() - sy - sh, sw, sh));
            break;
        }
        case 0x0B41: case 0x0940: {   // DIBSTRETCHBLT, DIBBITBLT
            uint32_t rop = p.U32();
            bool stretch = fn == 0x0B41;
            int16_t sh = 0, sw = 0;
            bool withBits = words * 2 > (stretch ? 28u : 24u);
            if (stretch) { sh = p.I16(); sw = p.I16(); }
            int16_t sy = p.I16(), sx = p.I16();
            if (!withBits) p.Skip(2);
            int16_t dh = p.I16(), dw = p.I16(), dy = p.I16(), dx = p.I16();
            if (!stretch) { sw = dw; sh = dh; }
            QRectF dest = TGdiPlayer::Box(dx, dy, dx + dw, dy + dh);
            if (!withBits) {
                g.Fill(dest, rop);
                break;
            }
            size_t at = p.Pos;
            size_t hs = DibHeaderSize(b, at, p.End);
            if (hs > p.Left()) throw EBadMetafile();
            QImage img = DibImage(b.substr(at, hs), b.substr(at + hs, p.End - at - hs));
            g.Picture(dest, img, QRectF(sx, sy, sw, sh));
            break;
        }
        default: break;   // records that draw nothing (escapes, palettes, mapper flags…)
        }
    }
    if (!info.Placeable && size.isEmpty()) size = QSize(100, 100);
}

// ---- EMF ----------------------------------------------------------------------------------

struct TEmfInfo {
    QRect Frame;    // 0.01 mm
    QSize Device;   // reference device pixels
    QSize Millimeters;
};

void PlayEmf(const std::string& b, QPainter& painter, TEmfInfo& info, QSize& size)
{
    TReader h(b, 0, b.size());
    if (h.U32() != 1) throw EBadMetafile();
    uint32_t hsize = h.U32();
    if (hsize < 88 || hsize > b.size()) throw EBadMetafile();
    h.Skip(16);   // bounds
    int fl = h.I32(), ft = h.I32(), fr = h.I32(), fb = h.I32();
    if (h.U32() != 0x464D4520) throw EBadMetafile();
    h.Skip(4 + 4 + 4);   // version, bytes, records
    uint32_t handles = h.U16();
    h.Skip(2 + 4 + 4 + 4);
    int dw = h.I32(), dh = h.I32(), mw = h.I32(), mh = h.I32();
    if (dw <= 0 || dh <= 0 || mw <= 0 || mh <= 0) { dw = dh = 96; mw = mh = 254 / 10; }
    info.Frame = QRect(QPoint(fl, ft), QPoint(fr, fb));
    info.Device = QSize(dw, dh);
    info.Millimeters = QSize(mw, mh);
    // The frame in reference-device pixels becomes the picture at 96 per inch.
    double pxPerUnitX = double(dw) / (mw * 100.0), pxPerUnitY = double(dh) / (mh * 100.0);
    // The frame's sides as doubles: corners far apart must not overflow.
    double fw = double(fr) - double(fl), fh = double(fb) - double(ft);
    if (fw <= 0 || fh <= 0 || fw > 1e8 || fh > 1e8) throw EBadMetafile();
    QRectF frameDev(fl * pxPerUnitX, ft * pxPerUnitY, fw * pxPerUnitX, fh * pxPerUnitY);
    int w = int(std::lround(fw / 100.0 * 96.0 / 25.4)), hh = int(std::lround(fh / 100.0 * 96.0 / 25.4));
    if (w <= 0 || hh <= 0 || frameDev.width() <= 0 || frameDev.height() <= 0) throw EBadMetafile();
    size = QSize(w, hh);

    TGdiPlayer g(painter, false);
    g.Objects.resize(std::max<uint32_t>(handles, 1));
    g.Outer = QTransform::fromTranslate(-frameDev.left(), -frameDev.top()) *
              QTransform::fromScale(w / frameDev.width(), hh / frameDev.height());

    TReader r(b, hsize, b.size());
    size_t records = 0;
    while (r.Left() >= 8) {
        if (++records > MaxOps) throw EBadMetafile();
        size_t recStart = r.Pos;
        uint32_t type = r.U32(), sz = r.U32();
        if (sz < 8 || sz > r.End - recStart || (sz & 3)) throw EBadMetafile();
        TReader p(b, r.Pos, recStart + sz);
        r.Pos = recStart + sz;
        if (type == 14) break;   // EOF
        auto points = [&](bool small, uint32_t n) {
            if (size_t(n) * (small ? 4 : 8) > p.Left()) throw EBadMetafile();
            QPolygonF poly;
            for (uint32_t i = 0; i < n; ++i) {
                if (small) { int16_t x = p.I16(), y = p.I16(); poly << QPointF(x, y); }
                else { int32_t x = p.I32(), y = p.I32(); poly << QPointF(x, y); }
            }
            return poly;
        };
        auto rectl = [&]() { int l = p.I32(), t = p.I32(), rr = p.I32(), bb = p.I32(); return std::array<int, 4>{l, t, rr, bb}; };
        switch (type) {
        case 2: case 85: case 3: case 86: case 4: case 87: case 5: case 88: case 6: case 89: {
            bool small = type >= 85;
            p.Skip(16);
            uint32_t n = p.U32();
            QPolygonF poly = points(small, n);
            int kind = small ? int(type) - 83 : int(type);   // 2 bezier, 3 polygon, 4 polyline, 5 bezierto, 6 polylineto
            if (kind == 3) g.Poly({poly}, true);
            else if (kind == 4) g.Poly({poly}, false);
            else if (kind == 6) for (auto& q : poly) g.LineTo(q);
            else {
                QPainterPath path;
                int i = 0;
                if (kind == 2) {
                    if (poly.isEmpty()) break;
                    path.moveTo(poly[0]);
                    i = 1;
                } else {
                    path.moveTo(g.St.Cur);
                }
                for (; i + 2 < poly.size(); i += 3) path.cubicTo(poly[i], poly[i + 1], poly[i + 2]);
                if (kind == 5 && !poly.isEmpty()) g.St.Cur = poly.back();
                if (g.InPath) g.CurPath.addPath(g.Xf().map(path));
                else g.Shape(path, false);
            }
            break;
        }
        case 7: case 90: case 8: case 91: {
            bool small = type >= 90;
            p.Skip(16);
            uint32_t n = p.U32(), total = p.U32();
            if (size_t(n) * 4 > p.Left()) throw EBadMetafile();
            std::vector<uint32_t> counts;
            uint64_t sum = 0;
            for (uint32_t i = 0; i < n; ++i) { counts.push_back(p.U32()); sum += counts.back(); }
            if (sum != total) throw EBadMetafile();
            std::vector<QPolygonF> polys;
            for (uint32_t c : counts) polys.push_back(points(small, c));
            g.Poly(polys, type == 8 || type == 91);
            break;
        }
        case 9: { int x = p.I32(), y = p.I32(); g.St.WinExt = QSizeF(x, y); break; }
        case 10: { int x = p.I32(), y = p.I32(); g.St.WinOrg = QPointF(x, y); break; }
        case 11: { int x = p.I32(), y = p.I32(); g.St.VpExt = QSizeF(x, y); break; }
        case 12: { int x = p.I32(), y = p.I32(); g.St.VpOrg = QPointF(x, y); break; }
        case 17: g.St.MapMode = p.I32(); break;
        case 18: g.St.BkOpaque = p.U32() == 2; break;
        case 19: g.St.Fill = p.U32() == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case 20: g.St.Rop2 = p.I32(); break;
        case 22: g.St.TextAlign = int(p.U32()); break;
        case 24: g.St.TextColor = ColorRef(p.U32()); break;
        case 25: g.St.BkColor = ColorRef(p.U32()); break;
        case 27: { int x = p.I32(), y = p.I32(); g.MoveTo(QPointF(x, y)); break; }
        case 29: case 30: { auto a = rectl(); g.ClipRect(a[0], a[1], a[2], a[3], type == 29); break; }
        case 33: g.SaveDC(); break;
        case 34: g.RestoreDC(p.I32()); break;
        case 35: case 36: {
            double m11 = p.F32(), m12 = p.F32(), m21 = p.F32(), m22 = p.F32(), dx = p.F32(), dy = p.F32();
            QTransform t(m11, m12, m21, m22, dx, dy);
            uint32_t mode = type == 36 ? p.U32() : 4;
            if (mode == 1) g.St.World = QTransform();
            else if (mode == 2) g.St.World = t * g.St.World;
            else if (mode == 3) g.St.World = g.St.World * t;
            else g.St.World = t;
            break;
        }
        case 37: g.Select(p.U32()); break;
        case 38: {
            uint32_t ih = p.U32(), style = p.U32();
            int width = p.I32();
            p.Skip(4);
            uint32_t c = p.U32();
            g.Store(ih, TGdiPlayer::PenObject(style, width, c));
            break;
        }
        case 95: {   // EXTCREATEPEN
            uint32_t ih = p.U32();
            p.Skip(16);
            uint32_t style = p.U32(), width = p.U32(), bstyle = p.U32(), c = p.U32();
            (void)bstyle;
            g.Store(ih, TGdiPlayer::PenObject(style, std::min<uint32_t>(width, 10000), c));
            break;
        }
        case 39: {
            uint32_t ih = p.U32(), style = p.U32(), c = p.U32(), hatch = p.U32();
            g.Store(ih, TGdiPlayer::BrushObject(style, c, hatch));
            break;
        }
        case 93: case 94: {   // pattern brushes
            uint32_t ih = p.U32();
            TGdiObject o;
            o.Kind = TGdiObject::KBrush;
            o.Brush = QBrush(QColor(128, 128, 128));
            g.Store(ih, o);
            break;
        }
        case 82: {
            uint32_t ih = p.U32();
            int height = p.I32();
            p.Skip(4);
            int esc = p.I32();
            p.Skip(4);
            int weight = p.I32();
            uint8_t italic = p.U8(), under = p.U8(), strike = p.U8(), charset = p.U8();
            p.Skip(4);
            std::u16string face;
            for (int i = 0; i < 32 && p.Left() >= 2; ++i) {
                char16_t c = char16_t(p.U16());
                if (!c) break;
                face += c;
            }
            g.Store(ih, TGdiPlayer::MakeFont(height, esc, weight, italic, under, strike, charset,
                                             QString::fromUtf16(face.data(), qsizetype(face.size()))));
            break;
        }
        case 40: g.Delete(p.U32()); break;
        case 42: { auto a = rectl(); g.Ellipse(a[0], a[1], a[2], a[3]); break; }
        case 43: { auto a = rectl(); g.Rectangle(a[0], a[1], a[2], a[3]); break; }
        case 44: { auto a = rectl(); int cx = p.I32(), cy = p.I32(); g.RoundRect(a[0], a[1], a[2], a[3], cx, cy); break; }
        case 45: case 46: case 47: case 55: {
            auto a = rectl();
            int xs = p.I32(), ys = p.I32(), xe = p.I32(), ye = p.I32();
            g.ArcShape(type == 47 ? 1 : type == 46 ? 2 : 0, a[0], a[1], a[2], a[3], xs, ys, xe, ye);
            break;
        }
        case 54: { int x = p.I32(), y = p.I32(); g.LineTo(QPointF(x, y)); break; }
        case 59: g.InPath = true; g.CurPath = QPainterPath(); g.CurPath.moveTo(g.Xf().map(g.St.Cur)); break;
        case 60: g.InPath = false; break;
        case 61: if (g.InPath) g.CurPath.closeSubpath(); break;
        case 68: g.InPath = false; g.CurPath = QPainterPath(); break;
        case 62: case 63: case 64: {
            g.InPath = false;
            QPainterPath path = g.CurPath;
            path.setFillRule(g.St.Fill);
            bool fill = type != 64 && g.St.Brush.style() != Qt::NoBrush;
            bool stroke = type != 62 && g.St.Pen.style() != Qt::NoPen;
            if (fill || stroke) {
                QTransform keep = g.St.World;
                g.Prepare(fill, stroke);
                g.P.setTransform(QTransform());
                // The pen keeps its logical width.
                QPen pen = g.P.pen();
                if (!pen.isCosmetic()) pen.setWidthF(pen.widthF() * std::sqrt(std::abs(g.Xf().determinant())));
                g.P.setPen(stroke ? pen : QPen(Qt::NoPen));
                g.P.drawPath(path);
                g.St.World = keep;
            }
            g.CurPath = QPainterPath();
            break;
        }
        case 67: {   // SELECTCLIPPATH
            g.St.Clip = g.St.Clipped ? g.St.Clip.intersected(g.CurPath) : g.CurPath;
            g.St.Clipped = true;
            g.CurPath = QPainterPath();
            g.InPath = false;
            break;
        }
        case 83: case 84: {   // EXTTEXTOUTA, EXTTEXTOUTW
            p.Skip(16 + 4 + 4 + 4);
            int x = p.I32(), y = p.I32();
            uint32_t n = p.U32(), off = p.U32(), opts = p.U32();
            auto a = rectl();
            QRectF rect = TGdiPlayer::Box(a[0], a[1], a[2], a[3]);
            size_t bytes = size_t(n) * (type == 84 ? 2 : 1);
            if (off < 8 || off > sz || bytes > sz - off) throw EBadMetafile();
            TReader s(b, recStart + off, recStart + off + bytes);
            QString text;
            if (type == 84) {
                std::u16string u;
                for (uint32_t i = 0; i < n; ++i) u += char16_t(s.U16());
                text = QString::fromUtf16(u.data(), qsizetype(u.size()));
            } else {
                text = g.Text8(s.Bytes(n));
            }
            g.Text(QPointF(x, y), text, opts, (opts & 6) ? &rect : nullptr);
            break;
        }
        case 81: case 76: case 77: case 80: {
            p.Skip(16);
            int xd = p.I32(), yd = p.I32();
            int xs = 0, ys = 0, cxs = 0, cys = 0, cxd = 0, cyd = 0;
            uint32_t offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0, rop = 0xCC0020;
            if (type == 81 || type == 80) {
                xs = p.I32(); ys = p.I32(); cxs = p.I32(); cys = p.I32();
                offBmi = p.U32(); cbBmi = p.U32(); offBits = p.U32(); cbBits = p.U32();
                p.Skip(4);
                if (type == 81) { rop = p.U32(); cxd = p.I32(); cyd = p.I32(); }
                else { cxd = cxs; cyd = cys; }
            } else {
                cxd = p.I32(); cyd = p.I32();
                rop = p.U32();
                xs = p.I32(); ys = p.I32();
                p.Skip(24 + 4 + 4);
                offBmi = p.U32(); cbBmi = p.U32(); offBits = p.U32(); cbBits = p.U32();
                if (type == 77) { cxs = p.I32(); cys = p.I32(); } else { cxs = cxd; cys = cyd; }
            }
            // Sizes and positions are the file's: summed as doubles, they cannot overflow.
            QRectF dest = TGdiPlayer::Box(xd, yd, double(xd) + cxd, double(yd) + cyd);
            if (cbBmi == 0) {
                g.Fill(dest, rop);
                break;
            }
            if (offBmi > sz || cbBmi > sz - offBmi || offBits > sz || cbBits > sz - offBits) throw EBadMetafile();
            QImage img = DibImage(b.substr(recStart + offBmi, cbBmi), b.substr(recStart + offBits, cbBits));
            g.Picture(dest, img, QRectF(xs, type == 81 ? double(img.height()) - ys - cys : ys, cxs, cys));
            break;
        }
        default: break;   // records that draw nothing here (comments, palettes, colour spaces…)
        }
    }
}

// ---- writing -------------------------------------------------------------------------------

// A rectangle in whole pixels for a record, kept within 2^29 of the origin so
// that its far edge plus one and its size still fit an int (a picture read
// from a file may clip or place things anywhere).
QRect RecordRect(const QRectF& r)
{
    constexpr double lim = double(1 << 29);
    return r.intersected(QRectF(-lim, -lim, 2 * lim, 2 * lim)).toAlignedRect();
}

class TWriter {
public:
    std::string B;
    void U8(uint8_t v) { B += char(v); }
    void U16(uint16_t v) { U8(uint8_t(v)); U8(uint8_t(v >> 8)); }
    void I16(int v) { U16(uint16_t(int16_t(std::clamp(v, -32768, 32767)))); }
    void U32(uint32_t v) { U16(uint16_t(v)); U16(uint16_t(v >> 16)); }
    void I32(int v) { U32(uint32_t(v)); }
    void Put32(size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) B[at + size_t(i)] = char((v >> (8 * i)) & 0xFF); }
    void Pad4() { while (B.size() % 4) U8(0); }
};

uint32_t RefOf(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

// The DIB form of an image: a 40-byte header and 24-bit rows, bottom up.
std::pair<std::string, std::string> DibOf(const QImage& src)
{
    QImage img = src.convertToFormat(QImage::Format_RGB888);
    TWriter h, bits;
    int stride = (img.width() * 3 + 3) & ~3;
    h.U32(40); h.I32(img.width()); h.I32(img.height()); h.U16(1); h.U16(24);
    h.U32(0); h.U32(uint32_t(stride * img.height())); h.I32(3780); h.I32(3780); h.U32(0); h.U32(0);
    for (int y = img.height() - 1; y >= 0; --y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) { bits.U8(row[3 * x + 2]); bits.U8(row[3 * x + 1]); bits.U8(row[3 * x]); }
        while (bits.B.size() % 4) bits.U8(0);
    }
    return {h.B, bits.B};
}

// What both writers need of an operation, in picture pixels.
struct TFlatOp {
    const TMfOp* Op;
    std::vector<QPolygonF> Polys;
    bool Closed = true;
    double PenWidth = 0;
    QPointF TextPos;
    int FontPx = 12;
    int Escapement = 0;
    QRectF Target;
};

std::vector<TFlatOp> Flatten(const TMetafileData& d)
{
    std::vector<TFlatOp> out;
    for (const TMfOp& o : d.Ops) {
        TFlatOp f{&o};
        double scale = std::sqrt(std::abs(o.T.determinant()));
        if (scale <= 0) continue;
        switch (o.Kind) {
        case TMfOp::Path: {
            QPainterPath p = o.T.map(o.Geometry);
            bool closed = o.Brush.style() != Qt::NoBrush;
            for (const QPolygonF& poly : p.toSubpathPolygons()) f.Polys.push_back(poly);
            f.Closed = closed;
            f.PenWidth = o.Pen.isCosmetic() || o.Pen.widthF() <= 1 ? 0 : o.Pen.widthF() * scale;
            break;
        }
        case TMfOp::Text: {
            f.TextPos = o.T.map(o.Pos);
            int px = o.Font.pixelSize() > 0 ? o.Font.pixelSize() : int(std::lround(o.Font.pointSizeF() * 96 / 72));
            f.FontPx = std::max(1, int(std::lround(px * scale)));
            double angle = std::atan2(o.T.m12(), o.T.m11()) * 180 / M_PI;
            f.Escapement = int(std::lround(-angle * 10));
            break;
        }
        case TMfOp::Image: f.Target = o.T.mapRect(o.Rect); break;
        }
        out.push_back(std::move(f));
    }
    return out;
}

int PenStyleOf(const QPen& p)
{
    switch (p.style()) {
    case Qt::NoPen: return 5;
    case Qt::DashLine: return 1;
    case Qt::DotLine: return 2;
    case Qt::DashDotLine: return 3;
    case Qt::DashDotDotLine: return 4;
    default: return 0;
    }
}
uint32_t BrushStyleOf(const QBrush& b) { return b.style() == Qt::NoBrush ? 1 : 0; }

std::string WriteEmf(const TMetafileData& d, int w, int h, const std::string& description)
{
    TWriter o;
    uint32_t records = 0;
    auto begin = [&](uint32_t type) { size_t at = o.B.size(); o.U32(type); o.U32(0); ++records; return at; };
    auto end = [&](size_t at) { o.Pad4(); o.Put32(at + 4, uint32_t(o.B.size() - at)); };
    // The header; sizes are filled in at the end.
    size_t hdr = begin(1);
    o.I32(0); o.I32(0); o.I32(std::max(0, w - 1)); o.I32(std::max(0, h - 1));
    o.I32(0); o.I32(0); o.I32(int(std::lround(w * 2540.0 / 96))); o.I32(int(std::lround(h * 2540.0 / 96)));
    o.U32(0x464D4520); o.U32(0x10000); o.U32(0); o.U32(0);
    o.U16(4); o.U16(0);
    std::u16string desc;
    for (QChar c : QS(description)) desc += char16_t(c.unicode());
    if (!desc.empty()) desc += u'\0';
    o.U32(uint32_t(desc.size())); o.U32(desc.empty() ? 0 : 108); o.U32(0);
    o.I32(960); o.I32(960); o.I32(254); o.I32(254);
    o.U32(0); o.U32(0); o.U32(0);   // pixel format, OpenGL
    o.I32(254000); o.I32(254000);   // micrometres
    for (char16_t c : desc) o.U16(c);
    end(hdr);
    auto simple = [&](uint32_t type, std::initializer_list<uint32_t> vals) {
        size_t at = begin(type);
        for (uint32_t v : vals) o.U32(v);
        end(at);
    };
    simple(18, {1});    // transparent text background
    simple(22, {24});   // baseline alignment
    simple(19, {1});
    // Handles 1 pen, 2 brush, 3 font: made anew whenever they change.
    QPen pen(Qt::NoPen);
    double penWidth = -1;
    QBrush brush;
    bool haveBrush = false;
    QFont font;
    int fontPx = -1, fontEsc = 0;
    QColor textColor(0, 0, 0);
    simple(24, {0});
    auto setPen = [&](const QPen& p, double width) {
        if (penWidth >= 0 && p.style() == pen.style() && p.color() == pen.color() && width == penWidth) return;
        if (penWidth >= 0) simple(40, {1});
        simple(38, {1, uint32_t(PenStyleOf(p)), uint32_t(std::lround(width)), 0, RefOf(p.color())});
        simple(37, {1});
        pen = p;
        penWidth = width;
    };
    auto setBrush = [&](const QBrush& b) {
        if (haveBrush && b.style() == brush.style() && b.color() == brush.color()) return;
        if (haveBrush) simple(40, {2});
        simple(39, {2, BrushStyleOf(b), RefOf(b.color()), 0});
        simple(37, {2});
        brush = b;
        haveBrush = true;
    };
    for (const TFlatOp& f : Flatten(d)) {
        const TMfOp& op = *f.Op;
        bool clip = op.Clipped;
        if (clip) {
            simple(33, {});
            QRect c = RecordRect(op.Clip.boundingRect());
            simple(30, {uint32_t(c.left()), uint32_t(c.top()), uint32_t(c.right() + 1), uint32_t(c.bottom() + 1)});
        }
        switch (op.Kind) {
        case TMfOp::Path: {
            if (f.Polys.empty()) break;
            setPen(op.Pen, f.PenWidth);
            setBrush(f.Closed ? op.Brush : QBrush(Qt::NoBrush));
            size_t at = begin(f.Closed ? 91 : 90);
            QRect bb;
            for (auto& poly : f.Polys) bb |= RecordRect(poly.boundingRect());
            o.I32(bb.left()); o.I32(bb.top()); o.I32(bb.right()); o.I32(bb.bottom());
            uint32_t total = 0;
            for (auto& poly : f.Polys) total += uint32_t(poly.size());
            o.U32(uint32_t(f.Polys.size())); o.U32(total);
            for (auto& poly : f.Polys) o.U32(uint32_t(poly.size()));
            for (auto& poly : f.Polys)
                for (QPointF q : poly) { o.I16(int(std::lround(q.x()))); o.I16(int(std::lround(q.y()))); }
            end(at);
            break;
        }
        case TMfOp::Text: {
            if (fontPx != f.FontPx || fontEsc != f.Escapement || !(font == op.Font)) {
                if (fontPx >= 0) simple(40, {3});
                size_t at = begin(82);
                o.U32(3);
                o.I32(-f.FontPx); o.I32(0); o.I32(f.Escapement); o.I32(f.Escapement);
                o.I32(op.Font.bold() ? 700 : 400);
                o.U8(op.Font.italic()); o.U8(op.Font.underline()); o.U8(op.Font.strikeOut()); o.U8(134);
                o.U8(0); o.U8(0); o.U8(0); o.U8(0);
                QString face = op.Font.family().left(31);
                for (int i = 0; i < 32; ++i) o.U16(i < face.size() ? face[i].unicode() : 0);
                end(at);
                simple(37, {3});
                font = op.Font;
                fontPx = f.FontPx;
                fontEsc = f.Escapement;
            }
            if (op.Pen.color() != textColor) {
                textColor = op.Pen.color();
                simple(24, {RefOf(textColor)});
            }
            size_t at = begin(84);
            QFont scaled = op.Font;
            scaled.setPixelSize(f.FontPx);
            QFontMetricsF fm(scaled);
            QRect bb = RecordRect(fm.boundingRect(op.Str).translated(f.TextPos));
            o.I32(bb.left()); o.I32(bb.top()); o.I32(bb.right()); o.I32(bb.bottom());
            o.U32(1); o.U32(0); o.U32(0);   // advanced mode, no scaling
            o.I32(int(std::lround(f.TextPos.x()))); o.I32(int(std::lround(f.TextPos.y())));
            uint32_t n = uint32_t(op.Str.size());
            o.U32(n); o.U32(76); o.U32(0);
            o.I32(0); o.I32(0); o.I32(-1); o.I32(-1);
            size_t offDx = 76 + ((n * 2 + 3) & ~3u);
            o.U32(uint32_t(offDx));
            for (QChar c : op.Str) o.U16(c.unicode());
            o.Pad4();
            for (QChar c : op.Str) o.I32(int(std::lround(fm.horizontalAdvance(c))));
            end(at);
            break;
        }
        case TMfOp::Image: {
            QImage img = op.Img.copy(op.Src.toAlignedRect());
            if (img.isNull()) break;
            auto [bmi, bits] = DibOf(img);
            QRect t = RecordRect(f.Target);
            size_t at = begin(81);
            o.I32(t.left()); o.I32(t.top()); o.I32(t.right()); o.I32(t.bottom());
            o.I32(t.left()); o.I32(t.top()); o.I32(0); o.I32(0); o.I32(img.width()); o.I32(img.height());
            o.U32(80); o.U32(uint32_t(bmi.size())); o.U32(uint32_t(80 + bmi.size())); o.U32(uint32_t(bits.size()));
            o.U32(0); o.U32(0x00CC0020); o.I32(t.width()); o.I32(t.height());
            o.B += bmi;
            o.B += bits;
            end(at);
            break;
        }
        }
        if (clip) {
            simple(34, {uint32_t(-1)});
            penWidth = -1;   // the restore brought back earlier objects
            haveBrush = false;
            fontPx = -1;
            textColor = QColor(0, 0, 0);
            simple(24, {0});
        }
    }
    simple(14, {0, 16, 20});
    o.Put32(hdr + 48, uint32_t(o.B.size()));
    o.Put32(hdr + 52, records);
    return o.B;
}

std::string WriteWmf(const TMetafileData& d, int w, int h)
{
    TWriter o;
    // The placeable header: 96 units per inch, so units are picture pixels.
    o.U32(0x9AC6CDD7); o.U16(0);
    o.I16(0); o.I16(0); o.I16(w); o.I16(h);
    o.U16(96); o.U32(0);
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(uint8_t(o.B[i]) | uint8_t(o.B[i + 1]) << 8);
    o.U16(sum);
    size_t meta = o.B.size();
    o.U16(1); o.U16(9); o.U16(0x0300); o.U32(0); o.U16(4); o.U32(0); o.U16(0);
    uint32_t maxRec = 0;
    auto rec = [&](uint16_t fn, std::initializer_list<int> params) {
        o.U32(uint32_t(3 + params.size())); o.U16(fn);
        for (int v : params) o.I16(v);
        maxRec = std::max<uint32_t>(maxRec, uint32_t(3 + params.size()));
    };
    auto recBytes = [&](uint16_t fn, const std::string& params) {
        uint32_t words = uint32_t(3 + (params.size() + 1) / 2);
        o.U32(words); o.U16(fn); o.B += params;
        if (params.size() & 1) o.U8(0);
        maxRec = std::max(maxRec, words);
    };
    rec(0x020B, {0, 0});
    rec(0x020C, {h, w});
    rec(0x0102, {1});
    rec(0x012E, {24});
    // Slots: the pen, the brush and the font are made before the old one
    // is deleted, so each takes the lowest free slot of three.
    bool used[4] = {};
    auto create = [&]() { for (int i = 0; i < 4; ++i) if (!used[i]) { used[i] = true; return i; } return 3; };
    int penSlot = -1, brushSlot = -1, fontSlot = -1;
    QPen pen;
    double penWidth = -1;
    QBrush brush;
    QFont font;
    int fontPx = -1, fontEsc = 0;
    QColor textColor(0, 0, 0);
    rec(0x0209, {0, 0});
    auto swap = [&](int& slot, int made) {
        rec(0x012D, {made});
        if (slot >= 0) { rec(0x01F0, {slot}); used[slot] = false; }
        slot = made;
    };
    for (const TFlatOp& f : Flatten(d)) {
        const TMfOp& op = *f.Op;
        if (op.Clipped) {
            rec(0x001E, {});
            QRect c = RecordRect(op.Clip.boundingRect());
            rec(0x0416, {c.bottom() + 1, c.right() + 1, c.top(), c.left()});
        }
        switch (op.Kind) {
        case TMfOp::Path: {
            if (f.Polys.empty()) break;
            if (penWidth < 0 || op.Pen.style() != pen.style() || op.Pen.color() != pen.color() || penWidth != f.PenWidth) {
                TWriter p;
                p.U16(uint16_t(PenStyleOf(op.Pen))); p.I16(int(std::lround(f.PenWidth))); p.I16(0); p.U32(RefOf(op.Pen.color()));
                recBytes(0x02FA, p.B);
                swap(penSlot, create());
                pen = op.Pen;
                penWidth = f.PenWidth;
            }
            QBrush b = f.Closed ? op.Brush : QBrush(Qt::NoBrush);
            if (brushSlot < 0 || b.style() != brush.style() || b.color() != brush.color()) {
                TWriter p;
                p.U16(uint16_t(BrushStyleOf(b))); p.U32(RefOf(b.color())); p.U16(0);
                recBytes(0x02FC, p.B);
                swap(brushSlot, create());
                brush = b;
            }
            TWriter p;
            if (f.Closed) {
                p.U16(uint16_t(f.Polys.size()));
                for (auto& poly : f.Polys) p.U16(uint16_t(std::min<qsizetype>(poly.size(), 16000)));
                for (auto& poly : f.Polys)
                    for (qsizetype i = 0; i < std::min<qsizetype>(poly.size(), 16000); ++i) {
                        p.I16(int(std::lround(poly[i].x()))); p.I16(int(std::lround(poly[i].y())));
                    }
                recBytes(0x0538, p.B);
            } else {
                for (auto& poly : f.Polys) {
                    TWriter q;
                    q.I16(int(std::min<qsizetype>(poly.size(), 16000)));
                    for (qsizetype i = 0; i < std::min<qsizetype>(poly.size(), 16000); ++i) {
                        q.I16(int(std::lround(poly[i].x()))); q.I16(int(std::lround(poly[i].y())));
                    }
                    recBytes(0x0325, q.B);
                }
            }
            break;
        }
        case TMfOp::Text: {
            if (fontPx != f.FontPx || fontEsc != f.Escapement || !(font == op.Font)) {
                TWriter p;
                p.I16(-f.FontPx); p.I16(0); p.I16(f.Escapement); p.I16(f.Escapement); p.I16(op.Font.bold() ? 700 : 400);
                p.U8(op.Font.italic()); p.U8(op.Font.underline()); p.U8(op.Font.strikeOut()); p.U8(134);
                p.U8(0); p.U8(0); p.U8(0); p.U8(0);
                std::string face = Utf8ToGbk(US(op.Font.family())).substr(0, 31);
                face.resize(32, '\0');
                p.B += face;
                recBytes(0x02FB, p.B);
                swap(fontSlot, create());
                font = op.Font;
                fontPx = f.FontPx;
                fontEsc = f.Escapement;
            }
            if (op.Pen.color() != textColor) {
                textColor = op.Pen.color();
                uint32_t c = RefOf(textColor);
                rec(0x0209, {int(int16_t(c & 0xFFFF)), int(int16_t(c >> 16))});
            }
            std::string s = Utf8ToGbk(US(op.Str)).substr(0, 8000);
            TWriter p;
            p.I16(int(std::lround(f.TextPos.y()))); p.I16(int(std::lround(f.TextPos.x())));
            p.I16(int(s.size())); p.U16(0);
            p.B += s;
            recBytes(0x0A32, p.B);
            break;
        }
        case TMfOp::Image: {
            QImage img = op.Img.copy(op.Src.toAlignedRect());
            if (img.isNull() || img.width() * img.height() > 4000000) break;
            auto [bmi, bits] = DibOf(img);
            QRect t = RecordRect(f.Target);
            TWriter p;
            p.U32(0x00CC0020); p.U16(0);
            p.I16(img.height()); p.I16(img.width()); p.I16(0); p.I16(0);
            p.I16(t.height()); p.I16(t.width()); p.I16(t.top()); p.I16(t.left());
            p.B += bmi;
            p.B += bits;
            recBytes(0x0F43, p.B);
            break;
        }
        }
        if (op.Clipped) {
            rec(0x0127, {-1});
            // The restore brings back the objects selected before the save.
        }
    }
    rec(0x0000, {});
    o.Put32(meta + 6, uint32_t((o.B.size() - meta) / 2));
    o.Put32(meta + 12, maxRec);
    return o.B;
}

bool IsWmf(const std::string& b)
{
    if (b.size() >= 4 && uint8_t(b[0]) == 0xD7 && uint8_t(b[1]) == 0xCD && uint8_t(b[2]) == 0xC6 && uint8_t(b[3]) == 0x9A)
        return true;
    return b.size() >= 18 && (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0;
}
bool IsEmf(const std::string& b) { return b.size() >= 88 && b[0] == 1 && b[1] == 0 && b[2] == 0 && b[3] == 0 && b.compare(40, 4, " EMF") == 0; }

} // namespace

bool IsMetafileData(const std::string& bytes) { return IsWmf(bytes) || IsEmf(bytes); }

// ---- TMetafile ----------------------------------------------------------------------------

TMetafile::TMetafile() : FData(std::make_shared<TMetafileData>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::Clear()
{
    FData = std::make_shared<TMetafileData>();
    FBytes.clear();
    FWidth = FHeight = 0;
    FInch = 96;
    Changed();
}

bool TMetafile::Empty() const { return FData->Ops.empty() && FWidth == 0 && FHeight == 0; }
int TMetafile::OperationCount() const { return int(FData->Ops.size()); }

void TMetafile::SetWidth(int v) { FWidth = std::max(0, v); FBytes.clear(); Changed(); }
void TMetafile::SetHeight(int v) { FHeight = std::max(0, v); FBytes.clear(); Changed(); }
int TMetafile::MMWidth() const { return int(std::lround(FWidth * 2540.0 / 96)); }
int TMetafile::MMHeight() const { return int(std::lround(FHeight * 2540.0 / 96)); }
void TMetafile::SetMMWidth(int v) { SetWidth(int(std::lround(v * 96 / 2540.0))); }
void TMetafile::SetMMHeight(int v) { SetHeight(int(std::lround(v * 96 / 2540.0))); }

void TMetafile::Assign(TPersistent* source)
{
    if (source == this) return;
    if (auto* m = DynamicCast<TMetafile>(source)) {
        FData = m->FData;   // recordings are never changed in place, so they can be shared
        FBytes = m->FBytes;
        FBytesEnhanced = m->FBytesEnhanced;
        FWidth = m->FWidth;
        FHeight = m->FHeight;
        FEnhanced = m->FEnhanced;
        FInch = m->FInch;
        Description = m->Description;
        CreatedBy = m->CreatedBy;
        Changed();
        return;
    }
    if (!source) {
        Clear();
        return;
    }
    if (auto* g = DynamicCast<TGraphic>(source)) {
        // Any other graphic becomes a recording of it drawn at its size.
        auto data = std::make_shared<TMetafileData>();
        int w = g->Width(), h = g->Height();
        {
            TMetafile tmp;
            tmp.SetWidth(w);
            tmp.SetHeight(h);
            TMetafileCanvas c(&tmp);
            c.Draw(0, 0, g);
            c.Finish();
            data = tmp.FData;
        }
        FData = data;
        FBytes.clear();
        FWidth = w;
        FHeight = h;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TMetafile::Recorded(std::shared_ptr<TMetafileData> data, int width, int height)
{
    FData = std::move(data);
    FBytes.clear();
    FWidth = width;
    FHeight = height;
    Changed();
}

void TMetafile::LoadFromStream(TStream* stream)
{
    int64_t n = stream->Size() - stream->Position();
    if (n <= 0 || n > (int64_t(1) << 30)) throw EInvalidGraphic("Metafile is not valid");
    std::string b = stream->ReadString(int(n));
    bool emf = IsEmf(b);
    if (!emf && !IsWmf(b)) throw EInvalidGraphic("Metafile is not valid");
    InitGui();
    auto data = std::make_shared<TMetafileData>();
    QSize size;
    int inch = 96;
    try {
        TRecordDevice dev(32767, 32767, 96);
        dev.Engine().Data = data.get();
        dev.Engine().Whole = QRectF(-1e7, -1e7, 2e7, 2e7);
        QPainter p(&dev);
        if (emf) {
            TEmfInfo info;
            PlayEmf(b, p, info, size);
        } else {
            TWmfInfo info;
            PlayWmf(b, p, info, size);
            inch = info.Inch;
        }
        p.end();
        if (dev.Engine().Overflow) throw EBadMetafile();
    } catch (EBadMetafile&) {
        throw EInvalidGraphic("Metafile is not valid");
    }
    if (!PictureSizeAllowed(size.width(), size.height())) throw EInvalidGraphic("Metafile is not valid");
    FData = data;
    FBytes = std::move(b);
    FBytesEnhanced = emf;
    FEnhanced = emf;
    FWidth = size.width();
    FHeight = size.height();
    FInch = inch;
    Changed();
}

void TMetafile::SaveToStream(TStream* stream)
{
    std::string out;
    if (!FBytes.empty() && FBytesEnhanced == FEnhanced) out = FBytes;
    else if (FEnhanced) out = WriteEmf(*FData, FWidth, FHeight, CreatedBy.empty() && Description.empty()
                                                                   ? std::string()
                                                                   : CreatedBy + '\0' + Description);
    else out = WriteWmf(*FData, FWidth, FHeight);
    if (!out.empty()) stream->WriteBuffer(out.data(), int(out.size()));
}

void TMetafile::Draw(TCanvas* canvas, const TRect& r)
{
    if (!canvas || FWidth <= 0 || FHeight <= 0) return;
    HDC dc = canvas->Handle();
    if (!dc) return;
    if (QPainter* p = dc->P()) {
        p->save();
        QTransform base = QTransform::fromScale(double(r.Width()) / FWidth, double(r.Height()) / FHeight) *
                          QTransform::fromTranslate(r.Left, r.Top) * p->transform();
        p->setRenderHint(QPainter::Antialiasing, false);
        Replay(*FData, *p, base);
        p->restore();
    }
    TCanvasOp o;
    o.Op = "Metafile";
    o.Rect = TR(dc->ToDevice(QR(r)));
    dc->Rec(std::move(o));
}

// ---- the recording canvas -----------------------------------------------------------------

struct TMetafileCanvas::TImpl {
    std::shared_ptr<TMetafileData> Data = std::make_shared<TMetafileData>();
    std::unique_ptr<TRecordDevice> Device;
    std::unique_ptr<QPainter> Painter;
    HDC Dc = nullptr;
    int W = 0, H = 0;
    bool Done = false;
};

TMetafileCanvas::TMetafileCanvas(TMetafile* mf, HDC ref) : F(std::make_unique<TImpl>()), FMetafile(mf)
{
    InitGui();
    F->W = mf ? mf->Width() : 0;
    F->H = mf ? mf->Height() : 0;
    int dpi = ref && ValidDC(ref) ? ref->Dpi : 96;
    int dw = F->W > 0 ? F->W : 32767, dh = F->H > 0 ? F->H : 32767;
    F->Device = std::make_unique<TRecordDevice>(dw, dh, dpi);
    F->Device->Engine().Data = F->Data.get();
    F->Device->Engine().Whole = QRectF(0, 0, dw, dh);
    F->Painter = std::make_unique<QPainter>(F->Device.get());
    F->Dc = NewDC();
    F->Dc->Device = F->Device.get();
    F->Dc->Painter = F->Painter.get();
    F->Dc->OwnsPainter = false;
    F->Dc->Size = QSize(dw, dh);
    F->Dc->Dpi = dpi;
    F->Dc->St.Font = MakeQFont(Font());
}

TMetafileCanvas::TMetafileCanvas(TMetafile* mf, HDC ref, const std::string& createdBy, const std::string& description)
    : TMetafileCanvas(mf, ref)
{
    if (mf) {
        mf->CreatedBy = createdBy;
        mf->Description = description;
    }
}

TMetafileCanvas::~TMetafileCanvas()
{
    Finish();
}

void TMetafileCanvas::CreateHandle()
{
    if (!F->Done) SetHandle(F->Dc);
}

void TMetafileCanvas::Finish()
{
    if (F->Done) return;
    F->Done = true;
    SetHandle(nullptr);
    F->Dc->Painter = nullptr;
    F->Dc->Device = nullptr;
    if (F->Painter->isActive()) F->Painter->end();
    DeleteDC(F->Dc);
    F->Dc = nullptr;
    if (!FMetafile) return;
    int w = F->W, h = F->H;
    if (w <= 0 || h <= 0) {
        QRectF all;
        for (const TMfOp& o : F->Data->Ops) all |= OpBounds(o);
        w = int(std::clamp(std::ceil(all.right()), 1.0, 32767.0));
        h = int(std::clamp(std::ceil(all.bottom()), 1.0, 32767.0));
    }
    FMetafile->Recorded(F->Data, w, h);
}
