// Device contexts, regions and the flat drawing routines over QPainter, and
// the canvas and graphics built on them.
#include "QzGuiPrivate.h"
#include "FontFamilies.h"
#include "Forms.h"
#include "Streams.h"
#include "SysUtils.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <unordered_set>

using namespace qzgui;

// ---- object registry ---------------------------------------------------------------

namespace {
std::unordered_set<const void*>& LiveDCs() { static auto* s = new std::unordered_set<const void*>(); return *s; }
std::unordered_set<const void*>& LiveRgns() { static auto* s = new std::unordered_set<const void*>(); return *s; }
std::unordered_set<const void*>& LiveBrushes() { static auto* s = new std::unordered_set<const void*>(); return *s; }
}

bool qzgui::ValidDC(HDC dc) { return dc && LiveDCs().count(dc); }
bool qzgui::ValidRgn(HRGN r) { return r && LiveRgns().count(r); }
HDC qzgui::NewDC()
{
    HDC dc = new HDC__;
    LiveDCs().insert(dc);
    return dc;
}

static HRGN NewRgn(const QRegion& r)
{
    HRGN h = new HRGN__;
    h->R = r;
    LiveRgns().insert(h);
    return h;
}

// ---- fonts ------------------------------------------------------------------------

void qzgui::EnsureFontSubstitutions()
{
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList sans{"Noto Sans CJK SC", "DejaVu Sans"};
    const QStringList latinSans{"DejaVu Sans", "Noto Sans CJK SC"};
    const QStringList serif{"Noto Serif CJK SC", "DejaVu Serif", "Noto Sans CJK SC"};
    const QStringList mono{"DejaVu Sans Mono", "Noto Sans Mono CJK SC"};
    for (const char* n : {"宋体", "新宋体", "SimSun", "NSimSun", "黑体", "SimHei", "微软雅黑",
                          "Microsoft YaHei", "幼圆", "隶书"})
        QFont::insertSubstitutions(QString::fromUtf8(n), sans);
    for (const char* n : {"楷体_GB2312", "楷体", "仿宋_GB2312", "仿宋", "KaiTi", "FangSong"})
        QFont::insertSubstitutions(QString::fromUtf8(n), serif);
    for (const char* n : {"MS Sans Serif", "Tahoma", "Arial", "Verdana", "Segoe UI", "System",
                          "MS Shell Dlg", "MS Shell Dlg 2", "Small Fonts", "Arial Narrow"})
        QFont::insertSubstitutions(QString::fromUtf8(n), latinSans);
    for (const char* n : {"Times New Roman", "MS Serif", "Georgia"})
        QFont::insertSubstitutions(QString::fromUtf8(n), QStringList{"DejaVu Serif", "Noto Serif CJK SC"});
    for (const char* n : {"Courier New", "Courier", "Fixedsys", "Terminal", "Lucida Console",
                          "Consolas"})
        QFont::insertSubstitutions(QString::fromUtf8(n), mono);
}

std::vector<std::string> FontFamiliesOf(const std::string& name)
{
    InitGui();
    qzgui::EnsureFontSubstitutions();
    std::vector<std::string> r;
    auto add = [&](const QString& family) {
        const std::string s = US(family);
        if (!s.empty() && std::find(r.begin(), r.end(), s) == r.end()) r.push_back(s);
    };
    QFont q(QS(name));
    q.setPixelSize(100);
    add(QRawFont::fromFont(q).familyName());
    for (const QString& s : QFont::substitutes(QS(name))) add(s);
    return r;
}

namespace {
QFont BuildQFont(const TFont* f)
{
    QFont q(QS(f->Name()));
    int h = f->Height();
    int px;
    if (h < 0) {
        px = -h;
    } else if (h > 0) {
        // A positive height is the whole cell: scale the em size to fit it.
        QFont probe(q);
        probe.setPixelSize(100);
        QFontMetrics fm(probe);
        px = std::max(1, int(std::lround(h * 100.0 / std::max(1, fm.height()))));
    } else {
        px = -DefaultFontHeight;
    }
    q.setPixelSize(std::max(1, px));
    TFontStyles s = f->Style();
    q.setBold(s.Contains(fsBold));
    q.setItalic(s.Contains(fsItalic));
    q.setUnderline(s.Contains(fsUnderline));
    q.setStrikeOut(s.Contains(fsStrikeOut));
    if (f->Pitch() == fpFixed) q.setFixedPitch(true);
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}
}

// Canvases ask for their font before every drawing call: fonts already
// made are kept (a few hundred at most).
QFont qzgui::MakeQFont(const TFont* f)
{
    InitGui();   // fonts need the window system, even for drawing into bitmaps
    EnsureFontSubstitutions();
    static auto& cache = *new std::map<std::string, QFont>();
    std::string key = f->Name() + '\x01' + std::to_string(f->Height()) + '\x01' +
                      std::to_string(f->Style().ToInt()) + '\x01' + std::to_string(int(f->Pitch()));
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 512) cache.clear();
    QFont q = BuildQFont(f);
    cache.emplace(key, q);
    return q;
}

// ---- device contexts ---------------------------------------------------------------

HDC__::~HDC__() { EndPainter(); }

void HDC__::EndPainter()
{
    if (Painter && OwnsPainter) {
        Painter->end();
        delete Painter;
    }
    if (OwnsPainter) Painter = nullptr;
    OwnsPainter = false;
    Dirty = true;
}

QRegion HDC__::EffectiveClip() const
{
    QRegion r(QRect(QPoint(0, 0), Size));
    if (BaseClip) r &= *BaseClip;
    if (St.Clip) r &= *St.Clip;
    return r;
}

QPainter* HDC__::P()
{
    if (!Painter) {
        if (Image && !Image->isNull()) {
            // Palette images take drawing in full colour (their owner converts them back).
            if (Image->format() == QImage::Format_Mono || Image->format() == QImage::Format_MonoLSB ||
                Image->format() == QImage::Format_Indexed8)
                *Image = Image->convertToFormat(QImage::Format_RGB32);
            Painter = new QPainter(Image);
            OwnsPainter = true;
        } else {
            return nullptr;
        }
        Dirty = true;
    }
    if (Dirty) {
        Painter->resetTransform();
        if (HasClip() || Org != QPoint(0, 0) || Device)
            Painter->setClipRegion(EffectiveClip().translated(Org), Qt::ReplaceClip);
        else
            Painter->setClipping(false);
        Painter->setTransform(QTransform::fromTranslate(Org.x() + St.ViewportOrg.x() - St.WindowOrg.x(),
                                                        Org.y() + St.ViewportOrg.y() - St.WindowOrg.y()));
        Painter->setRenderHint(QPainter::Antialiasing, false);
        Painter->setRenderHint(QPainter::TextAntialiasing, true);
        Dirty = false;
    }
    return Painter;
}

void HDC__::Rec(TCanvasOp op)
{
    if (!Record) return;
    op.Clipped = HasClip();
    op.ClipBox = TR(EffectiveClip().boundingRect());
    Record->push_back(std::move(op));
}

static QPainter::CompositionMode PenModeOp(int mode)
{
    switch (mode) {
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

namespace {
// Sets the painter up for one operation and restores it after.
struct TOpScope {
    QPainter* p;
    explicit TOpScope(QPainter* painter) : p(painter) { if (p) p->save(); }
    ~TOpScope() { if (p) p->restore(); }
};
}

int SaveDC(HDC dc)
{
    if (!ValidDC(dc)) return 0;
    dc->Saved.push_back(dc->St);
    return int(dc->Saved.size());
}

BOOL RestoreDC(HDC dc, int level)
{
    if (!ValidDC(dc)) return 0;
    int n = int(dc->Saved.size());
    if (level < 0) level = n + 1 + level;
    if (level < 1 || level > n) return 0;
    dc->St = dc->Saved[size_t(level - 1)];
    dc->Saved.resize(size_t(level - 1));
    dc->Dirty = true;
    return 1;
}

BOOL GetWindowOrgEx(HDC dc, TPoint* p)
{
    if (!ValidDC(dc)) return 0;
    if (p) *p = TP(dc->St.WindowOrg);
    return 1;
}
BOOL SetWindowOrgEx(HDC dc, int x, int y, TPoint* old)
{
    if (!ValidDC(dc)) return 0;
    if (old) *old = TP(dc->St.WindowOrg);
    dc->St.WindowOrg = QPoint(x, y);
    dc->Dirty = true;
    return 1;
}
BOOL GetViewportOrgEx(HDC dc, TPoint* p)
{
    if (!ValidDC(dc)) return 0;
    if (p) *p = TP(dc->St.ViewportOrg);
    return 1;
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, TPoint* old)
{
    if (!ValidDC(dc)) return 0;
    if (old) *old = TP(dc->St.ViewportOrg);
    dc->St.ViewportOrg = QPoint(x, y);
    dc->Dirty = true;
    return 1;
}

int GetDeviceCaps(HDC dc, int index)
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return ValidDC(dc) ? dc->Dpi : 96;
    case BITSPIXEL: return 32;
    case HORZRES: return ValidDC(dc) ? dc->Size.width() : 0;
    case VERTRES: return ValidDC(dc) ? dc->Size.height() : 0;
    case HORZSIZE: return ValidDC(dc) ? int(std::lround(dc->Size.width() * 25.4 / dc->Dpi)) : 0;
    case VERTSIZE: return ValidDC(dc) ? int(std::lround(dc->Size.height() * 25.4 / dc->Dpi)) : 0;
    case PHYSICALWIDTH:
        return ValidDC(dc) ? (dc->Sheet.isValid() ? dc->Sheet.width() : dc->Size.width()) : 0;
    case PHYSICALHEIGHT:
        return ValidDC(dc) ? (dc->Sheet.isValid() ? dc->Sheet.height() : dc->Size.height()) : 0;
    case PHYSICALOFFSETX: return ValidDC(dc) ? dc->SheetOffset.x() : 0;
    case PHYSICALOFFSETY: return ValidDC(dc) ? dc->SheetOffset.y() : 0;
    default: return 0;
    }
}

HDC CreateCompatibleDC(HDC)
{
    HDC dc = NewDC();
    auto* img = new QImage(1, 1, QImage::Format_RGB32);
    img->fill(Qt::black);
    dc->Image = img;
    dc->OwnsImage = true;
    dc->Size = QSize(1, 1);
    dc->St.Font = MakeQFont(std::make_unique<TFont>().get());
    return dc;
}

BOOL DeleteDC(HDC dc)
{
    if (!ValidDC(dc)) return 0;
    LiveDCs().erase(dc);
    QImage* img = dc->OwnsImage ? dc->Image : nullptr;
    delete dc;
    delete img;
    return 1;
}

// ---- regions ------------------------------------------------------------------------

static int RegionKind(const QRegion& r)
{
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN CreateRectRgn(int l, int t, int r, int b)
{
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    return NewRgn(QRegion(QRect(l, t, r - l, b - t)));
}
HRGN CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }
HRGN CreateEllipticRgn(int l, int t, int r, int b)
{
    return NewRgn(QRegion(QRect(l, t, r - l, b - t), QRegion::Ellipse));
}
HRGN CreatePolygonRgn(const TPoint* pts, int count)
{
    QPolygon poly;
    for (int i = 0; i < count; ++i) poly << QP(pts[i]);
    return NewRgn(QRegion(poly, Qt::OddEvenFill));
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode)
{
    if (!ValidRgn(dest) || !ValidRgn(a)) return ERROR;
    if (mode != RGN_COPY && !ValidRgn(b)) return ERROR;
    QRegion r;
    switch (mode) {
    case RGN_AND: r = a->R & b->R; break;
    case RGN_OR: r = a->R | b->R; break;
    case RGN_XOR: r = a->R ^ b->R; break;
    case RGN_DIFF: r = a->R - b->R; break;
    case RGN_COPY: r = a->R; break;
    default: return ERROR;
    }
    dest->R = r;
    return RegionKind(r);
}
int OffsetRgn(HRGN rgn, int dx, int dy)
{
    if (!ValidRgn(rgn)) return ERROR;
    rgn->R.translate(dx, dy);
    return RegionKind(rgn->R);
}
int GetRgnBox(HRGN rgn, TRect* r)
{
    if (!ValidRgn(rgn)) return ERROR;
    if (r) *r = rgn->R.isEmpty() ? TRect{} : TR(rgn->R.boundingRect());
    return RegionKind(rgn->R);
}
BOOL PtInRegion(HRGN rgn, int x, int y) { return ValidRgn(rgn) && rgn->R.contains(QPoint(x, y)); }
BOOL RectInRegion(HRGN rgn, const TRect& r) { return ValidRgn(rgn) && rgn->R.intersects(QR(r)); }
BOOL EqualRgn(HRGN a, HRGN b) { return ValidRgn(a) && ValidRgn(b) && a->R == b->R; }
BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b)
{
    if (!ValidRgn(rgn)) return 0;
    rgn->R = QRegion(QRect(l, t, r - l, b - t));
    return 1;
}

BOOL DeleteObject(HGDIOBJ obj)
{
    if (!obj) return 0;
    if (LiveRgns().count(obj)) {
        LiveRgns().erase(obj);
        delete static_cast<HRGN>(obj);
        return 1;
    }
    if (LiveBrushes().count(obj)) {
        auto* b = static_cast<HBRUSH>(obj);
        if (b->Shared) return 1;
        LiveBrushes().erase(obj);
        delete b;
        return 1;
    }
    return 0;
}

// ---- clipping -----------------------------------------------------------------------

int GetClipRgn(HDC dc, HRGN rgn)
{
    if (!ValidDC(dc) || !ValidRgn(rgn)) return -1;
    if (!dc->St.Clip) return 0;
    rgn->R = *dc->St.Clip;
    return 1;
}

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode)
{
    if (!ValidDC(dc)) return ERROR;
    if (!rgn) {
        if (mode != RGN_COPY) return ERROR;
        dc->St.Clip.reset();
    } else {
        if (!ValidRgn(rgn)) return ERROR;
        QRegion cur = dc->St.Clip ? *dc->St.Clip : QRegion(QRect(QPoint(0, 0), dc->Size));
        switch (mode) {
        case RGN_COPY: cur = rgn->R; break;
        case RGN_AND: cur &= rgn->R; break;
        case RGN_OR: cur |= rgn->R; break;
        case RGN_DIFF: cur -= rgn->R; break;
        case RGN_XOR: cur ^= rgn->R; break;
        default: return ERROR;
        }
        dc->St.Clip = cur;
    }
    dc->Dirty = true;
    return RegionKind(dc->EffectiveClip());
}
int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExcludeClipRect(HDC dc, int l, int t, int r, int b)
{
    if (!ValidDC(dc)) return ERROR;
    QRect dev = dc->ToDevice(QRect(l, t, r - l, b - t));
    QRegion cur = dc->St.Clip ? *dc->St.Clip : QRegion(QRect(QPoint(0, 0), dc->Size));
    dc->St.Clip = cur - QRegion(dev);
    dc->Dirty = true;
    return RegionKind(dc->EffectiveClip());
}
int IntersectClipRect(HDC dc, int l, int t, int r, int b)
{
    if (!ValidDC(dc)) return ERROR;
    QRect dev = dc->ToDevice(QRect(l, t, r - l, b - t));
    QRegion cur = dc->St.Clip ? *dc->St.Clip : QRegion(QRect(QPoint(0, 0), dc->Size));
    dc->St.Clip = cur & QRegion(dev);
    dc->Dirty = true;
    return RegionKind(dc->EffectiveClip());
}
int GetClipBox(HDC dc, TRect* r)
{
    if (!ValidDC(dc)) return ERROR;
    QRegion c = dc->EffectiveClip();
    QRect b = c.boundingRect().translated(dc->St.WindowOrg - dc->St.ViewportOrg);
    if (r) *r = c.isEmpty() ? TRect{} : TR(b);
    return RegionKind(c);
}
BOOL RectVisible(HDC dc, const TRect& r)
{
    if (!ValidDC(dc)) return 0;
    return dc->EffectiveClip().intersects(dc->ToDevice(QR(r)));
}
BOOL PtVisible(HDC dc, int x, int y)
{
    if (!ValidDC(dc)) return 0;
    return dc->EffectiveClip().contains(dc->ToDevice(QPoint(x, y)));
}

// ---- brushes and fills ----------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF color)
{
    HBRUSH b = new HBRUSH__;
    b->Color = color & 0xFFFFFF;
    LiveBrushes().insert(b);
    return b;
}
HBRUSH GetSysColorBrush(int index)
{
    static auto& brushes = *new std::map<int, HBRUSH>();
    HBRUSH& b = brushes[index];
    if (!b) {
        b = CreateSolidBrush(GetSysColor(index));
        b->Shared = true;
    }
    b->Color = GetSysColor(index);
    return b;
}
static bool ValidBrush(HBRUSH b) { return b && LiveBrushes().count(b); }

static void FillDeviceRect(HDC dc, const QRect& logical, const QColor& c, const char* op)
{
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->fillRect(logical, c);
    }
    TCanvasOp o;
    o.Op = op;
    o.Rect = TR(dc->ToDevice(logical));
    o.Color = TC(c);
    dc->Rec(std::move(o));
}

int FillRect(HDC dc, const TRect& r, HBRUSH brush)
{
    if (!ValidDC(dc) || !ValidBrush(brush)) return 0;
    if (IsRectEmpty(r)) return 1;
    FillDeviceRect(dc, QR(r), QC(brush->Color), "FillRect");
    return 1;
}

static void FrameDevice(HDC dc, const QRect& q, const QColor& c, int w = 1)
{
    QPainter* p = dc->P();
    if (!p || q.isEmpty()) return;
    TOpScope s(p);
    w = std::min({w, q.width(), q.height()});
    p->fillRect(QRect(q.left(), q.top(), q.width(), w), c);
    p->fillRect(QRect(q.left(), q.bottom() - w + 1, q.width(), w), c);
    p->fillRect(QRect(q.left(), q.top(), w, q.height()), c);
    p->fillRect(QRect(q.right() - w + 1, q.top(), w, q.height()), c);
}

int FrameRect(HDC dc, const TRect& r, HBRUSH brush)
{
    if (!ValidDC(dc) || !ValidBrush(brush)) return 0;
    FrameDevice(dc, QR(r), QC(brush->Color));
    TCanvasOp o;
    o.Op = "FrameRect";
    o.Rect = TR(dc->ToDevice(QR(r)));
    o.Color = brush->Color;
    dc->Rec(std::move(o));
    return 1;
}

BOOL InvertRect(HDC dc, const TRect& r)
{
    if (!ValidDC(dc)) return 0;
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(QR(r), Qt::black);
    }
    TCanvasOp o;
    o.Op = "InvertRect";
    o.Rect = TR(dc->ToDevice(QR(r)));
    dc->Rec(std::move(o));
    return 1;
}

BOOL DrawFocusRect(HDC dc, const TRect& r)
{
    if (!ValidDC(dc)) return 0;
    if (QPainter* p = dc->P()) {
        // Every other pixel of the frame inverted, so drawing twice removes it.
        TOpScope s(p);
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QRect q = QR(r);
        auto dot = [&](int x, int y) { p->fillRect(QRect(x, y, 1, 1), Qt::white); };
        for (int x = q.left(); x <= q.right(); x += 2) {
            dot(x, q.top());
            if (q.bottom() != q.top()) dot(x, q.bottom());
        }
        for (int y = q.top() + 2; y < q.bottom(); y += 2) {
            dot(q.left(), y);
            if (q.right() != q.left()) dot(q.right(), y);
        }
    }
    TCanvasOp o;
    o.Op = "DrawFocusRect";
    o.Rect = TR(dc->ToDevice(QR(r)));
    dc->Rec(std::move(o));
    return 1;
}

BOOL DrawEdge(HDC dc, TRect& r, UINT edge, UINT flags)
{
    if (!ValidDC(dc)) return 0;
    TCanvasOp o;
    o.Op = "DrawEdge";
    o.Rect = TR(dc->ToDevice(QR(r)));
    o.Flags = (edge & 0xFFFF) | (flags << 16);
    dc->Rec(std::move(o));
    QPainter* p = dc->P();
    const bool flat = flags & BF_FLAT, mono = flags & BF_MONO;
    auto band = [&](UINT raisedBit, UINT sunkenBit, bool outer) {
        if (!(edge & (raisedBit | sunkenBit))) return;
        bool raised = edge & raisedBit;
        TColor tl, br;
        if (mono) {
            tl = br = clWindowFrame;
        } else if (flat) {
            tl = br = outer ? clBtnShadow : clBtnFace;
        } else if (outer) {
            tl = raised ? cl3DLight : clBtnShadow;
            br = raised ? cl3DDkShadow : clBtnHighlight;
        } else {
            tl = raised ? clBtnHighlight : cl3DDkShadow;
            br = raised ? clBtnShadow : cl3DLight;
        }
        QRect q = QR(r);
        if (q.isEmpty()) return;
        if (p) {
            TOpScope s(p);
            if (flags & BF_TOP) p->fillRect(QRect(q.left(), q.top(), q.width(), 1), QCol(tl));
            if (flags & BF_LEFT) p->fillRect(QRect(q.left(), q.top(), 1, q.height()), QCol(tl));
            if (flags & BF_BOTTOM) p->fillRect(QRect(q.left(), q.bottom(), q.width(), 1), QCol(br));
            if (flags & BF_RIGHT) p->fillRect(QRect(q.right(), q.top(), 1, q.height()), QCol(br));
        }
        if (flags & BF_LEFT) ++r.Left;
        if (flags & BF_TOP) ++r.Top;
        if (flags & BF_RIGHT) --r.Right;
        if (flags & BF_BOTTOM) --r.Bottom;
    };
    TRect orig = r;
    band(BDR_RAISEDOUTER, BDR_SUNKENOUTER, true);
    band(BDR_RAISEDINNER, BDR_SUNKENINNER, false);
    if ((flags & BF_MIDDLE) && p && !IsRectEmpty(r)) {
        TOpScope s(p);
        p->fillRect(QR(r), QCol(mono ? clWindow : clBtnFace));
    }
    if (!(flags & BF_ADJUST)) r = orig;
    return 1;
}

BOOL DrawFrameControl(HDC dc, const TRect& rr, UINT type, UINT state)
{
    if (!ValidDC(dc)) return 0;
    TCanvasOp o;
    o.Op = "DrawFrameControl";
    o.Rect = TR(dc->ToDevice(QR(rr)));
    o.Flags = (type << 16) | (state & 0xFFFF);
    dc->Rec(std::move(o));
    QPainter* p = dc->P();
    if (!p) return 1;
    TOpScope s(p);
    QRect q = QR(rr);
    const bool flat = state & DFCS_FLAT, inactive = state & DFCS_INACTIVE,
               pushed = state & DFCS_PUSHED, checked = state & DFCS_CHECKED;
    const UINT kind = state & 0xFF;
    auto edge = [&](UINT e) { TRect t = rr; DrawEdge(dc, t, e, BF_RECT | (flat ? BF_FLAT : 0)); };
    if (type == DFC_SCROLL) {
        p->fillRect(q, QCol(clBtnFace));
        if (kind != DFCS_SCROLLSIZEGRIP) edge(pushed ? EDGE_SUNKEN : EDGE_RAISED);
        if (kind == DFCS_SCROLLSIZEGRIP) {
            // Three ridges across the bottom-right corner, each a light line over two shadow lines.
            int n = std::min(q.width(), q.height());
            for (int k = 0; k < 3; ++k) {
                int d = n - 1 - k * 4;
                for (int line = 0; line < 3 && d - line > 0; ++line) {
                    p->setPen(QCol(line == 0 ? clBtnHighlight : clBtnShadow));
                    int o = d - line;
                    p->drawLine(QPoint(q.right() - o, q.bottom()), QPoint(q.right(), q.bottom() - o));
                }
            }
            return 1;
        }
        // A triangle scaled to the button, centred, moved by one when pushed.
        int size = std::max(2, std::min(q.width(), q.height()) / 3);
        QPoint c = q.center() + (pushed ? QPoint(1, 1) : QPoint(0, 0));
        QPolygon tri;
        switch (kind) {
        case DFCS_SCROLLUP: tri << QPoint(c.x() - size, c.y() + size / 2) << QPoint(c.x() + size, c.y() + size / 2) << QPoint(c.x(), c.y() - size / 2 - 1); break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX: tri << QPoint(c.x() - size, c.y() - size / 2) << QPoint(c.x() + size, c.y() - size / 2) << QPoint(c.x(), c.y() + size / 2 + 1); break;
        case DFCS_SCROLLLEFT: tri << QPoint(c.x() + size / 2, c.y() - size) << QPoint(c.x() + size / 2, c.y() + size) << QPoint(c.x() - size / 2 - 1, c.y()); break;
        case DFCS_SCROLLRIGHT: tri << QPoint(c.x() - size / 2, c.y() - size) << QPoint(c.x() - size / 2, c.y() + size) << QPoint(c.x() + size / 2 + 1, c.y()); break;
        default: break;
        }
        if (!tri.isEmpty()) {
            QColor col = QCol(inactive ? clGrayText : clBtnText);
            if (inactive) {
                p->setPen(Qt::NoPen);
                p->setBrush(QCol(clBtnHighlight));
                p->drawPolygon(tri.translated(1, 1));
            }
            p->setPen(col);
            p->setBrush(col);
            p->drawPolygon(tri);
        }
    } else if (type == DFC_BUTTON) {
        if (kind & DFCS_BUTTONPUSH) {
            p->fillRect(q, QCol(clBtnFace));
            edge(pushed ? EDGE_SUNKEN : EDGE_RAISED);
        } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            p->setRenderHint(QPainter::Antialiasing, false);
            QRect c = q.adjusted(0, 0, -1, -1);
            if (kind & DFCS_BUTTONRADIOMASK) {
                // The mask: the radio's round shape in white, the rest left as it is
                // (drawn on black, its extent gives the glyph's place and size).
                p->setPen(Qt::white);
                p->setBrush(Qt::white);
                p->drawEllipse(c);
            } else {
                p->setPen(QCol(flat ? clBtnShadow : clBtnShadow));
                p->setBrush(QCol(inactive || pushed ? clBtnFace : clWindow));
                p->drawEllipse(c);
                if (checked) {
                    p->setPen(Qt::NoPen);
                    p->setBrush(QCol(inactive ? clGrayText : clWindowText));
                    int d = std::max(2, c.width() / 3);
                    p->drawEllipse(QRect(c.center().x() - d / 2, c.center().y() - d / 2, d, d));
                }
            }
        } else {   // check box (also 3-state)
            p->fillRect(q, QCol(inactive || pushed ? clBtnFace : clWindow));
            if (flat) {
                FrameDevice(dc, q, QCol(clBtnShadow));
            } else {
                edge(EDGE_SUNKEN);
            }
            if (checked) {
                QColor col = QCol(inactive || (kind & DFCS_BUTTON3STATE) ? clGrayText : clWindowText);
                int x = q.left() + q.width() / 4, y = q.top() + q.height() / 2;
                for (int i = 0; i < 3; ++i) {
                    p->fillRect(QRect(x, y - 1 + i, 1, 3), col);
                    ++x;
                }
                for (int i = 0; i < q.width() / 2 - 1 && x < q.right() - 1; ++i, ++x)
                    p->fillRect(QRect(x, y + 1 - i, 1, 3), col);
            }
        }
    } else if (type == DFC_CAPTION) {
        p->fillRect(q, QCol(clBtnFace));
        edge(pushed ? EDGE_SUNKEN : EDGE_RAISED);
        p->setPen(QPen(QCol(inactive ? clGrayText : clBtnText), 2));
        QRect c = q.adjusted(q.width() / 4, q.height() / 4, -q.width() / 4, -q.height() / 4);
        p->drawLine(c.topLeft(), c.bottomRight());
        p->drawLine(c.topRight(), c.bottomLeft());
    }
    return 1;
}

// ---- copies -------------------------------------------------------------------------

QImage qzgui::DCImage(HDC dc, const QRect& devRect)
{
    if (!ValidDC(dc)) return {};
    QRect r = devRect.translated(dc->Org);
    if (dc->Image) return dc->Image->copy(r);
    if (dc->Device) {
        if (auto* w = dynamic_cast<QWidget*>(dc->Device)) {
            return QzGrabWidget(w, r);
        }
    }
    QImage img(devRect.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

static bool RopToMode(DWORD rop, QPainter::CompositionMode& mode)
{
    switch (rop) {
    case SRCCOPY: mode = QPainter::CompositionMode_Source; return true;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; return true;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; return true;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; return true;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; return true;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; return true;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; return true;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; return true;
    case MERGECOPY: mode = QPainter::RasterOp_SourceAndDestination; return true;
    default: return false;
    }
}

static BOOL PatternOp(HDC dc, const QRect& r, DWORD rop)
{
    QPainter* p = dc->P();
    if (!p) return 1;
    TOpScope s(p);
    switch (rop) {
    case BLACKNESS: p->fillRect(r, Qt::black); break;
    case WHITENESS: p->fillRect(r, Qt::white); break;
    case DSTINVERT:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(r, Qt::black);
        break;
    case PATCOPY: p->fillRect(r, dc->St.Brush); break;
    case PATINVERT:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->fillRect(r, dc->St.Brush);
        break;
    default: break;
    }
    return 1;
}

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    if (!ValidDC(dc)) return 0;
    TCanvasOp o;
    o.Op = "PatBlt";
    o.Rect = TR(dc->ToDevice(QRect(x, y, w, h)));
    o.Flags = rop;
    dc->Rec(std::move(o));
    return PatternOp(dc, QRect(x, y, w, h), rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (!ValidDC(dest)) return 0;
    TCanvasOp o;
    o.Op = "BitBlt";
    o.Rect = TR(dest->ToDevice(QRect(x, y, w, h)));
    o.Flags = rop;
    dest->Rec(std::move(o));
    QPainter::CompositionMode mode;
    if (!RopToMode(rop, mode)) return PatternOp(dest, QRect(x, y, w, h), rop);
    if (!ValidDC(src)) return 0;
    QImage img = DCImage(src, src->ToDevice(QRect(sx, sy, sw, sh)));
    if (img.isNull()) return 0;
    // Block copies ignore the source's alpha, as the platform's do.
    if (img.hasAlphaChannel()) img = img.convertToFormat(QImage::Format_RGB32);
    QPainter* p = dest->P();
    if (!p) return 1;
    TOpScope s(p);
    p->setCompositionMode(mode);
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    QRect target(x, y, w, h);
    if (w < 0 || h < 0) {
        // A negative extent mirrors the copy.
        img = img.mirrored(w < 0, h < 0);
        target = QRect(w < 0 ? x + w + 1 : x, h < 0 ? y + h + 1 : y, std::abs(w), std::abs(h));
    }
    p->drawImage(target, img);
    return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
{
    return StretchBlt(dest, x, y, w, h, src, sx, sy, w, h, rop);
}

// ---- lines and shapes ---------------------------------------------------------------

BOOL MoveToEx(HDC dc, int x, int y, TPoint* old)
{
    if (!ValidDC(dc)) return 0;
    if (old) *old = TP(dc->St.PenPos);
    dc->St.PenPos = QPoint(x, y);
    return 1;
}

static void SetupPen(HDC dc, QPainter* p)
{
    p->setPen(dc->St.Pen);
    p->setBrush(Qt::NoBrush);
    p->setCompositionMode(PenModeOp(dc->St.PenMode));
}

// A line without its last point, as the platform draws it: thin lines end
// one step short of the end point, whichever way they run.
static void DrawLineExcl(QPainter* p, QPoint a, QPoint b, int width)
{
    if (a == b) return;
    if (width > 1) {
        p->drawLine(a, b);
        return;
    }
    QPen pen = p->pen();
    pen.setCapStyle(Qt::SquareCap);
    p->setPen(pen);
    int dx = b.x() - a.x(), dy = b.y() - a.y();
    int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 1) {
        p->drawPoint(a);
        return;
    }
    QPoint e(a.x() + int(std::lround(dx * double(steps - 1) / steps)),
             a.y() + int(std::lround(dy * double(steps - 1) / steps)));
    p->drawLine(a, e);
}

BOOL LineTo(HDC dc, int x, int y)
{
    if (!ValidDC(dc)) return 0;
    QPoint a = dc->St.PenPos, b(x, y);
    if (QPainter* p = dc->P(); p && dc->St.Pen.style() != Qt::NoPen) {
        TOpScope s(p);
        SetupPen(dc, p);
        DrawLineExcl(p, a, b, dc->St.Pen.width());
    }
    dc->St.PenPos = b;
    TCanvasOp o;
    o.Op = "LineTo";
    o.Points = {TP(dc->ToDevice(a)), TP(dc->ToDevice(b))};
    o.Color = TC(dc->St.Pen.color());
    dc->Rec(std::move(o));
    return 1;
}

BOOL Polyline(HDC dc, const TPoint* pts, int count)
{
    if (!ValidDC(dc) || count < 2) return 0;
    if (QPainter* p = dc->P(); p && dc->St.Pen.style() != Qt::NoPen) {
        TOpScope s(p);
        SetupPen(dc, p);
        for (int i = 1; i < count; ++i) DrawLineExcl(p, QP(pts[i - 1]), QP(pts[i]), dc->St.Pen.width());
    }
    TCanvasOp o;
    o.Op = "Polyline";
    for (int i = 0; i < count; ++i) o.Points.push_back(TP(dc->ToDevice(QP(pts[i]))));
    o.Color = TC(dc->St.Pen.color());
    dc->Rec(std::move(o));
    return 1;
}

BOOL Polygon(HDC dc, const TPoint* pts, int count)
{
    if (!ValidDC(dc) || count < 2) return 0;
    QPolygon poly;
    for (int i = 0; i < count; ++i) poly << QP(pts[i]);
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->setCompositionMode(PenModeOp(dc->St.PenMode));
        p->setPen(dc->St.Pen);
        p->setBrush(dc->St.Brush);
        p->drawPolygon(poly, Qt::OddEvenFill);
    }
    TCanvasOp o;
    o.Op = "Polygon";
    for (int i = 0; i < count; ++i) o.Points.push_back(TP(dc->ToDevice(QP(pts[i]))));
    o.Color = TC(dc->St.Brush.color());
    dc->Rec(std::move(o));
    return 1;
}

static void ShapeRect(HDC dc, const char* op, int l, int t, int r, int b,
                      const std::function<void(QPainter*, const QRect&, const QRect&)>& draw)
{
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    QRect fill(l, t, r - l, b - t);
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->setCompositionMode(PenModeOp(dc->St.PenMode));
        p->setPen(dc->St.Pen);
        p->setBrush(dc->St.Brush);
        // The outline lies inside the rectangle: its right and bottom edges are excluded.
        draw(p, fill, QRect(l, t, r - l - 1, b - t - 1));
    }
    TCanvasOp o;
    o.Op = op;
    o.Rect = TR(dc->ToDevice(fill));
    o.Color = TC(dc->St.Brush.style() == Qt::NoBrush ? dc->St.Pen.color() : dc->St.Brush.color());
    dc->Rec(std::move(o));
}

BOOL Rectangle(HDC dc, int l, int t, int r, int b)
{
    if (!ValidDC(dc)) return 0;
    ShapeRect(dc, "Rectangle", l, t, r, b, [&](QPainter* p, const QRect& fill, const QRect& outline) {
        if (dc->St.Pen.style() == Qt::NoPen) {
            p->fillRect(fill, dc->St.Brush);
        } else {
            p->drawRect(outline);
        }
    });
    return 1;
}

BOOL Ellipse(HDC dc, int l, int t, int r, int b)
{
    if (!ValidDC(dc)) return 0;
    ShapeRect(dc, "Ellipse", l, t, r, b, [](QPainter* p, const QRect&, const QRect& outline) {
        p->drawEllipse(outline);
    });
    return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    if (!ValidDC(dc)) return CLR_INVALID;
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->fillRect(QRect(x, y, 1, 1), QC(color));
    }
    TCanvasOp o;
    o.Op = "SetPixel";
    o.Rect = TR(dc->ToDevice(QRect(x, y, 1, 1)));
    o.Color = color;
    dc->Rec(std::move(o));
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    if (!ValidDC(dc) || !dc->Image) return CLR_INVALID;
    QPoint d = dc->ToDevice(QPoint(x, y)) + dc->Org;
    if (!dc->Image->rect().contains(d)) return CLR_INVALID;
    return TC(dc->Image->pixelColor(d));
}

COLORREF SetTextColor(HDC dc, COLORREF c)
{
    if (!ValidDC(dc)) return CLR_INVALID;
    COLORREF old = dc->St.TextColor;
    dc->St.TextColor = c & 0xFFFFFF;
    return old;
}
COLORREF GetTextColor(HDC dc) { return ValidDC(dc) ? dc->St.TextColor : CLR_INVALID; }
COLORREF SetBkColor(HDC dc, COLORREF c)
{
    if (!ValidDC(dc)) return CLR_INVALID;
    COLORREF old = dc->St.BkColor;
    dc->St.BkColor = c & 0xFFFFFF;
    return old;
}
COLORREF GetBkColor(HDC dc) { return ValidDC(dc) ? dc->St.BkColor : CLR_INVALID; }
int SetBkMode(HDC dc, int mode)
{
    if (!ValidDC(dc) || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    int old = dc->St.BkMode;
    dc->St.BkMode = mode;
    return old;
}
int GetBkMode(HDC dc) { return ValidDC(dc) ? dc->St.BkMode : 0; }
// True colour throughout: every colour is displayable as it is.
COLORREF GetNearestColor(HDC, COLORREF c) { return c & 0xFFFFFF; }

// ---- text ---------------------------------------------------------------------------

namespace {

struct TTextLine {
    QString Text;
    int Underline = -1;   // index of the prefixed character
};

QString ExpandTabs(const QString& s, const QFontMetrics& fm, bool expand)
{
    if (!s.contains(QLatin1Char('\t'))) return s;
    if (!expand) {
        QString r = s;
        r.remove(QLatin1Char('\t'));
        return r;
    }
    // Tab stops every eight average character widths.
    const int stop = std::max(1, fm.averageCharWidth() * 8);
    const int space = std::max(1, fm.horizontalAdvance(QLatin1Char(' ')));
    QString out;
    for (QChar c : s) {
        if (c == QLatin1Char('\t')) {
            int w = fm.horizontalAdvance(out);
            int next = (w / stop + 1) * stop;
            int n = std::max(1, (next - w + space - 1) / space);
            out += QString(n, QLatin1Char(' '));
        } else {
            out += c;
        }
    }
    return out;
}

// Strips "&" prefixes: "&&" is one ampersand, "&x" underlines x.
QString StripPrefix(const QString& s, int& underline)
{
    QString out;
    underline = -1;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 < s.size()) {
                ++i;
                if (s[i] != QLatin1Char('&') && underline < 0) underline = int(out.size());
                out += s[i];
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

bool IsCjk(QChar c)
{
    ushort u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF) || (u >= 0x3000 && u <= 0x303F);
}

// Breaks one paragraph into lines no wider than width: at blanks, between
// Chinese characters and, for edit-control rules, inside a word too long.
std::vector<QString> WrapParagraph(const QString& para, const QFontMetrics& fm, int width, bool breakWords)
{
    std::vector<QString> lines;
    if (para.isEmpty()) {
        lines.push_back(QString());
        return lines;
    }
    // Tokens: runs of non-blank non-CJK characters, single CJK characters, runs of blanks.
    std::vector<QString> tokens;
    QString cur;
    auto flush = [&] { if (!cur.isEmpty()) { tokens.push_back(cur); cur.clear(); } };
    for (QChar c : para) {
        if (c == QLatin1Char(' ')) {
            if (!cur.isEmpty() && cur.back() != QLatin1Char(' ')) flush();
            cur += c;
        } else if (IsCjk(c)) {
            flush();
            tokens.push_back(QString(c));
        } else {
            if (!cur.isEmpty() && cur.back() == QLatin1Char(' ')) flush();
            cur += c;
        }
    }
    flush();
    QString line;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        const bool blank = t.front() == QLatin1Char(' ');
        if (line.isEmpty() && blank && !lines.empty()) continue;   // blanks at a break vanish
        QString trial = line + t;
        if (fm.horizontalAdvance(trial) <= width || line.isEmpty()) {
            if (line.isEmpty() && !blank && fm.horizontalAdvance(t) > width && breakWords) {
                // Break the word itself, character by character.
                QString part;
                for (QChar c : t) {
                    if (!part.isEmpty() && fm.horizontalAdvance(part + c) > width) {
                        lines.push_back(part);
                        part.clear();
                    }
                    part += c;
                }
                line = part;
            } else {
                line = trial;
            }
        } else if (blank) {
            lines.push_back(line);
            line.clear();
        } else {
            // Trailing blanks stay with the line they end.
            lines.push_back(line);
            line.clear();
            --i;
        }
    }
    lines.push_back(line);
    for (QString& l : lines)
        while (l.endsWith(QLatin1Char(' ')) && fm.horizontalAdvance(l) > width) l.chop(1);
    return lines;
}

QString EndEllipsis(const QString& s, const QFontMetrics& fm, int width)
{
    if (fm.horizontalAdvance(s) <= width) return s;
    const QString dots = QStringLiteral("...");
    QString t = s;
    while (!t.isEmpty() && fm.horizontalAdvance(t + dots) > width) t.chop(1);
    return t + dots;
}

QString PathEllipsis(const QString& s, const QFontMetrics& fm, int width)
{
    if (fm.horizontalAdvance(s) <= width) return s;
    int slash = std::max(s.lastIndexOf(QLatin1Char('\\')), s.lastIndexOf(QLatin1Char('/')));
    if (slash < 0) return EndEllipsis(s, fm, width);
    QString head = s.left(slash), tail = s.mid(slash);
    const QString dots = QStringLiteral("...");
    while (!head.isEmpty() && fm.horizontalAdvance(head + dots + tail) > width) head.chop(1);
    return head + dots + tail;
}

} // namespace

int DrawText(HDC dc, const std::string& text8, int count, TRect* r, UINT fmt)
{
    if (!ValidDC(dc) || !r) return 0;
    std::string src = count >= 0 && size_t(count) < text8.size() ? text8.substr(0, size_t(count)) : text8;
    QString text = QS(src);
    QFontMetrics fm(dc->St.Font);
    const int lineH = fm.height() + ((fmt & DT_EXTERNALLEADING) ? fm.leading() : 0);
    const int width = r->Right - r->Left;
    const bool single = fmt & DT_SINGLELINE;

    std::vector<TTextLine> lines;
    std::vector<QString> paras;
    if (single) {
        QString t = text;
        t.replace(QLatin1String("\r\n"), QLatin1String(" "));
        t.replace(QLatin1Char('\r'), QLatin1Char(' '));
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        paras.push_back(t);
    } else {
        QString t = text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString& p : t.split(QLatin1Char('\n'))) paras.push_back(p);
        if (!text.isEmpty() && paras.size() > 1 && paras.back().isEmpty()) paras.pop_back();
    }
    for (QString para : paras) {
        TTextLine tl;
        if (!(fmt & DT_NOPREFIX)) {
            int u;
            para = StripPrefix(para, u);
            if (!(fmt & DT_HIDEPREFIX)) tl.Underline = u;
        }
        para = ExpandTabs(para, fm, fmt & DT_EXPANDTABS);
        if ((fmt & DT_WORDBREAK) && !single) {
            auto wrapped = WrapParagraph(para, fm, std::max(1, width), fmt & DT_EDITCONTROL);
            int offset = 0;
            for (auto& w : wrapped) {
                TTextLine l;
                l.Text = w;
                if (tl.Underline >= offset && tl.Underline < offset + w.size()) l.Underline = tl.Underline - offset;
                offset += int(w.size());
                lines.push_back(l);
            }
        } else {
            tl.Text = para;
            lines.push_back(tl);
        }
    }
    if (lines.empty()) lines.push_back(TTextLine{});
    if (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (auto& l : lines) {
            QString e = (fmt & DT_PATH_ELLIPSIS) ? PathEllipsis(l.Text, fm, width) : EndEllipsis(l.Text, fm, width);
            if (e != l.Text) {
                if (l.Underline >= e.size() - 3) l.Underline = -1;
                l.Text = e;
            }
        }
        if (fmt & DT_MODIFYSTRING) { /* the caller's text stays as given: strings are values here */ }
    }
    int textW = 0;
    for (auto& l : lines) textW = std::max(textW, int(fm.horizontalAdvance(l.Text)));
    const int textH = lineH * int(lines.size());

    if (fmt & DT_CALCRECT) {
        // Several wrapped lines keep the given width (wider only for a word
        // that does not fit); otherwise the rectangle bounds the text.
        const bool wrappedLines = (fmt & DT_WORDBREAK) && !single && lines.size() > 1;
        if (!wrappedLines || textW > width) r->Right = r->Left + textW;
        r->Bottom = r->Top + textH;
        return textH;
    }

    int y = r->Top;
    if (single && (fmt & DT_VCENTER)) y = r->Top + (r->Bottom - r->Top - textH) / 2;
    else if (single && (fmt & DT_BOTTOM)) y = r->Bottom - textH;

    TCanvasOp o;
    o.Op = "DrawText";
    o.Rect = TR(dc->ToDevice(QR(*r)));
    o.Text = src;
    o.Flags = fmt;
    o.Color = dc->St.TextColor;
    o.BkColor = dc->St.BkColor;
    dc->Rec(std::move(o));

    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        if (!(fmt & DT_NOCLIP)) p->setClipRect(QR(*r), Qt::IntersectClip);
        p->setFont(dc->St.Font);
        int ly = y;
        for (auto& l : lines) {
            int w = fm.horizontalAdvance(l.Text);
            int x = r->Left;
            if (fmt & DT_CENTER) x = r->Left + (width - w) / 2;
            else if (fmt & DT_RIGHT) x = r->Right - w;
            if (dc->St.BkMode == OPAQUE) p->fillRect(QRect(x, ly, w, lineH), QC(dc->St.BkColor));
            p->setPen(QC(dc->St.TextColor));
            p->drawText(QPoint(x, ly + fm.ascent()), l.Text);
            if (l.Underline >= 0 && l.Underline < l.Text.size()) {
                int ux = x + fm.horizontalAdvance(l.Text.left(l.Underline));
                int uw = fm.horizontalAdvance(l.Text.at(l.Underline));
                p->fillRect(QRect(ux, ly + fm.ascent() + 1, uw, 1), QC(dc->St.TextColor));
            }
            ly += lineH;
        }
    }
    return (y - r->Top) + textH;
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const TRect* r, const std::string& text8, const int* dx)
{
    if (!ValidDC(dc)) return 0;
    QString text = QS(text8);
    QFontMetrics fm(dc->St.Font);
    TCanvasOp o;
    o.Op = "TextOut";
    o.Points = {TP(dc->ToDevice(QPoint(x, y)))};
    if (r) o.Rect = TR(dc->ToDevice(QR(*r)));
    o.Text = text8;
    o.Flags = options;
    o.Color = dc->St.TextColor;
    o.BkColor = dc->St.BkColor;
    dc->Rec(std::move(o));
    QPainter* p = dc->P();
    if (!p) return 1;
    TOpScope s(p);
    if (r && (options & ETO_OPAQUE)) p->fillRect(QR(*r), QC(dc->St.BkColor));
    if (r && (options & ETO_CLIPPED)) p->setClipRect(QR(*r), Qt::IntersectClip);
    p->setFont(dc->St.Font);
    int w = fm.horizontalAdvance(text);
    if (dx) {
        w = 0;
        for (int i = 0; i < text.size(); ++i) w += dx[i];
    }
    if (dc->St.BkMode == OPAQUE && !(options & ETO_OPAQUE) && dc->St.Orientation == 0)
        p->fillRect(QRect(x, y, w, fm.height()), QC(dc->St.BkColor));
    p->setPen(QC(dc->St.TextColor));
    if (dc->St.Orientation != 0) {
        // Rotated text turns about its starting point, counter-clockwise.
        p->translate(x, y);
        p->rotate(-dc->St.Orientation / 10.0);
        if (dc->St.BkMode == OPAQUE) p->fillRect(QRect(0, 0, w, fm.height()), QC(dc->St.BkColor));
        p->drawText(QPoint(0, fm.ascent()), text);
        return 1;
    }
    if (dx) {
        int cx = x;
        for (int i = 0; i < text.size(); ++i) {
            p->drawText(QPoint(cx, y + fm.ascent()), QString(text[i]));
            cx += dx[i];
        }
    } else {
        p->drawText(QPoint(x, y + fm.ascent()), text);
    }
    return 1;
}

BOOL TextOut(HDC dc, int x, int y, const std::string& text) { return ExtTextOut(dc, x, y, 0, nullptr, text, nullptr); }

BOOL GetTextExtentPoint32(HDC dc, const std::string& text, TSize* size)
{
    if (!ValidDC(dc) || !size) return 0;
    QFontMetrics fm(dc->St.Font);
    size->cx = fm.horizontalAdvance(QS(text));
    size->cy = fm.height();
    return 1;
}

BOOL GetTextMetrics(HDC dc, TTextMetric* tm)
{
    if (!ValidDC(dc) || !tm) return 0;
    QFontMetrics fm(dc->St.Font);
    *tm = TTextMetric{};
    tm->tmAscent = fm.ascent();
    tm->tmDescent = fm.descent();
    tm->tmHeight = fm.height();
    tm->tmInternalLeading = std::max(0, fm.height() - dc->St.Font.pixelSize());
    tm->tmExternalLeading = std::max(0, fm.leading());
    tm->tmAveCharWidth = fm.averageCharWidth();
    tm->tmMaxCharWidth = fm.maxWidth();
    tm->tmWeight = dc->St.Font.bold() ? 700 : 400;
    tm->tmItalic = dc->St.Font.italic();
    tm->tmUnderlined = dc->St.Font.underline();
    tm->tmStruckOut = dc->St.Font.strikeOut();
    tm->tmPitchAndFamily = TMPF_TRUETYPE | TMPF_VECTOR | (QFontInfo(dc->St.Font).fixedPitch() ? 0 : TMPF_FIXED_PITCH);
    tm->tmCharSet = GB2312_CHARSET;
    return 1;
}

BOOL GetTextExtentExPoint(HDC dc, const std::string& text8, int maxExtent, int* fit, int* dx, TSize* size)
{
    if (!ValidDC(dc)) return 0;
    QFontMetrics fm(dc->St.Font);
    QString text = QS(text8);
    int n = 0;
    for (int i = 0; i < text.size(); ++i) {
        int w = fm.horizontalAdvance(text.left(i + 1));
        if (dx) dx[i] = w;
        if (w <= maxExtent) n = i + 1;
    }
    if (fit) *fit = n;
    if (size) *size = TSize{fm.horizontalAdvance(text), fm.height()};
    return 1;
}

namespace {
// Lays out text with tabs: the width, and what to draw where.
int TabbedLayout(HDC dc, const QString& text, int tabCount, const int* stops, int origin, int x,
                 std::vector<std::pair<int, QString>>* runs)
{
    QFontMetrics fm(dc->St.Font);
    int def = fm.averageCharWidth() * 8;
    if (tabCount == 1 && stops && stops[0] > 0) def = stops[0];
    int pos = 0;
    QString run;
    int runStart = 0;
    auto flush = [&] {
        if (runs && !run.isEmpty()) runs->push_back({runStart, run});
        pos = runStart + fm.horizontalAdvance(run);
        run.clear();
    };
    for (QChar c : text) {
        if (c != QLatin1Char('\t')) {
            if (run.isEmpty()) runStart = pos;
            run += c;
            continue;
        }
        flush();
        int abs = x + pos - origin;   // the stops count from the origin
        int next = -1;
        if (tabCount > 1 && stops) {
            for (int i = 0; i < tabCount; ++i)
                if (stops[i] > abs) { next = stops[i]; break; }
        }
        if (next < 0) next = def > 0 ? (abs / def + 1) * def : abs;
        pos = next + origin - x;
        runStart = pos;
    }
    flush();
    return pos;
}
}

DWORD GetTabbedTextExtent(HDC dc, const std::string& text, int tabCount, const int* tabStops)
{
    if (!ValidDC(dc)) return 0;
    QFontMetrics fm(dc->St.Font);
    int w = TabbedLayout(dc, QS(text), tabCount, tabStops, 0, 0, nullptr);
    return DWORD(MAKELPARAM(w, fm.height()));
}

DWORD TabbedTextOut(HDC dc, int x, int y, const std::string& text, int tabCount, const int* tabStops, int origin)
{
    if (!ValidDC(dc)) return 0;
    std::vector<std::pair<int, QString>> runs;
    QFontMetrics fm(dc->St.Font);
    int w = TabbedLayout(dc, QS(text), tabCount, tabStops, origin, x, &runs);
    TCanvasOp o;
    o.Op = "TextOut";
    o.Points = {TP(dc->ToDevice(QPoint(x, y)))};
    o.Text = text;
    o.Color = dc->St.TextColor;
    dc->Rec(std::move(o));
    if (QPainter* p = dc->P()) {
        TOpScope s(p);
        p->setFont(dc->St.Font);
        if (dc->St.BkMode == OPAQUE) p->fillRect(QRect(x, y, w, fm.height()), QC(dc->St.BkColor));
        p->setPen(QC(dc->St.TextColor));
        for (auto& [off, run] : runs) p->drawText(QPoint(x + off, y + fm.ascent()), run);
    }
    return DWORD(MAKELPARAM(w, fm.height()));
}
