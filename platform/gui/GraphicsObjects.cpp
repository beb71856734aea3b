// Fonts, pens, brushes, region objects, the canvas, bitmaps, icons and
// pictures.
#include "QzGuiPrivate.h"
#include "QzPropsPrivate.h"
#include "Metafile.h"
#include "Streams.h"
#include "SysUtils.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QFontMetrics>

#include <algorithm>
#include <map>

using namespace qzgui;

QZ_CLASS_IMPL(TGraphicsObject, TPersistent)
QZ_CLASS_IMPL_PROPS(TFont, TGraphicsObject, qzgui::DefineFontProps)
QZ_CLASS_IMPL_PROPS(TPen, TGraphicsObject, qzgui::DefinePenProps)
QZ_CLASS_IMPL_PROPS(TBrush, TGraphicsObject, qzgui::DefineBrushProps)
QZ_CLASS_IMPL_PROPS(TCanvas, TPersistent, qzgui::DefineCanvasProps)
QZ_CLASS_IMPL(TGraphic, TInterfacedPersistent)
QZ_CLASS_IMPL(TBitmap, TGraphic)
QZ_CLASS_IMPL(TIcon, TGraphic)
QZ_CLASS_IMPL(TPicture, TInterfacedPersistent)

void TGraphicsObject::Changed()
{
    if (OnChange) OnChange(this);
}

// ---- TFont -------------------------------------------------------------------------

TFont::TFont() : FName(DefaultFontName), FHeight(DefaultFontHeight), FColor(clWindowText) {}

void TFont::Assign(TPersistent* source)
{
    if (auto* f = DynamicCast<TFont>(source)) {
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

void TFont::SetName(const std::string& v)
{
    if (v.empty() || v == FName) return;
    FName = v;
    Changed();
}
void TFont::SetHeight(int v)
{
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}
int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }
void TFont::SetColor(TColor v)
{
    if (v == FColor) return;
    FColor = v;
    Changed();
}
void TFont::SetStyle(TFontStyles v)
{
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}
void TFont::SetCharset(TFontCharset v)
{
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}
void TFont::SetPitch(TFontPitch v)
{
    if (v == FPitch) return;
    FPitch = v;
    Changed();
}
void TFont::SetOrientation(int v)
{
    if (v == FOrientation) return;
    FOrientation = v;
    Changed();
}
bool TFont::IsEqual(const TFont* o) const
{
    return o && FName == o->FName && FHeight == o->FHeight && FColor == o->FColor &&
           FStyle == o->FStyle && FCharset == o->FCharset && FPitch == o->FPitch &&
           FOrientation == o->FOrientation;
}

// ---- TPen, TBrush ---------------------------------------------------------------------

void TPen::Assign(TPersistent* source)
{
    if (auto* p = DynamicCast<TPen>(source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}
void TPen::SetColor(TColor v) { if (v != FColor) { FColor = v; Changed(); } }
void TPen::SetWidth(int v) { v = std::max(0, v); if (v != FWidth) { FWidth = v; Changed(); } }
void TPen::SetStyle(TPenStyle v) { if (v != FStyle) { FStyle = v; Changed(); } }
void TPen::SetMode(TPenMode v) { if (v != FMode) { FMode = v; Changed(); } }

TBrush::TBrush() = default;
TBrush::~TBrush() = default;
void TBrush::Assign(TPersistent* source)
{
    if (auto* b = DynamicCast<TBrush>(source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        if (b->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(b->FBitmap.get());
        } else {
            FBitmap.reset();
        }
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}
void TBrush::SetColor(TColor v)
{
    if (v == FColor && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;   // a colour makes a clear brush solid again
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) { if (v != FStyle) { FStyle = v; Changed(); } }
void TBrush::SetBitmap(TBitmap* v)
{
    if (v) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(v);
    } else {
        FBitmap.reset();
    }
    Changed();
}

// ---- TRegion ------------------------------------------------------------------------

TRegion::TRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}
TRegion::TRegion(const TRect& r) : FHandle(CreateRectRgnIndirect(r)) {}
TRegion::TRegion(HRGN h) : FHandle(ValidRgn(h) ? h : CreateRectRgn(0, 0, 0, 0)) {}
TRegion::~TRegion() { DeleteObject(FHandle); }
bool TRegion::IsEmpty() const { return FHandle->R.isEmpty(); }
TRect TRegion::BoundsRect() const { TRect r; GetRgnBox(FHandle, &r); return r; }
bool TRegion::PtInRegion(TPoint p) const { return ::PtInRegion(FHandle, p.X, p.Y); }
bool TRegion::RectInRegion(const TRect& r) const { return ::RectInRegion(FHandle, r); }
bool TRegion::IsEqual(const TRegion& o) const { return EqualRgn(FHandle, o.FHandle); }
void TRegion::Offset(int dx, int dy) { OffsetRgn(FHandle, dx, dy); }
void TRegion::Combine(const TRegion& o, int mode) { CombineRgn(FHandle, FHandle, o.FHandle, mode); }
void TRegion::Combine(const TRect& r, int mode)
{
    TRegion o(r);
    Combine(o, mode);
}
std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> out;
    for (const QRect& r : FHandle->R) out.push_back(TR(r));
    return out;
}

// ---- TCanvas ------------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle()
{
    if (!FHandle || !ValidDC(FHandle)) {
        FHandle = nullptr;
        CreateHandle();
    }
    return FHandle;
}

void TCanvas::SetHandle(HDC dc) { FHandle = dc; }

std::vector<TCanvasOp>* TCanvas::Recording() const
{
    return FHandle && ValidDC(FHandle) ? FHandle->Record : nullptr;
}

TCanvasState TCanvas::State() const
{
    TCanvasState s;
    if (FHandle && ValidDC(FHandle)) s = TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid};
    return s;
}

void TCanvas::Changing() { if (OnChanging) OnChanging(this); }
void TCanvas::Changed() { if (OnChange) OnChange(this); }

void TCanvas::RequiredState()
{
    HDC dc = Handle();
    if (!dc) return;
    auto& st = dc->St;
    st.Font = MakeQFont(FFont.get());
    st.Orientation = FFont->Orientation();
    st.TextColor = ColorToRGB(FFont->Color());
    QPen pen;
    if (FPen->Style() == psClear) {
        pen = QPen(Qt::NoPen);
    } else {
        pen = QPen(QCol(FPen->Color()));
        pen.setWidth(std::max(1, FPen->Width()));
        pen.setCosmetic(FPen->Width() <= 1);
        switch (FPen->Style()) {
        case psDash: pen.setStyle(Qt::DashLine); break;
        case psDot: pen.setStyle(Qt::DotLine); break;
        case psDashDot: pen.setStyle(Qt::DashDotLine); break;
        case psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
        default: pen.setStyle(Qt::SolidLine); break;
        }
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    st.Pen = pen;
    st.PenMode = FPen->Mode();
    QBrush brush;
    if (FBrush->Bitmap() && !FBrush->Bitmap()->Empty()) {
        FBrush->Bitmap()->FinishDrawing();
        brush = QBrush(FBrush->Bitmap()->Image()->Img);
    } else {
        switch (FBrush->Style()) {
        case bsClear: brush = QBrush(Qt::NoBrush); break;
        case bsSolid: brush = QBrush(QCol(FBrush->Color())); break;
        case bsHorizontal: brush = QBrush(QCol(FBrush->Color()), Qt::HorPattern); break;
        case bsVertical: brush = QBrush(QCol(FBrush->Color()), Qt::VerPattern); break;
        case bsFDiagonal: brush = QBrush(QCol(FBrush->Color()), Qt::FDiagPattern); break;
        case bsBDiagonal: brush = QBrush(QCol(FBrush->Color()), Qt::BDiagPattern); break;
        case bsCross: brush = QBrush(QCol(FBrush->Color()), Qt::CrossPattern); break;
        case bsDiagCross: brush = QBrush(QCol(FBrush->Color()), Qt::DiagCrossPattern); break;
        }
    }
    st.Brush = brush;
    // Text is drawn on the brush colour unless the brush is clear.
    st.BkMode = FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE;
    st.BkColor = ColorToRGB(FBrush->Color());
    st.PenPos = QP(FPenPos);
}

TRect TCanvas::ClipRect()
{
    TRect r;
    if (HDC dc = Handle()) GetClipBox(dc, &r);
    return r;
}

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = Point(x, y);
    if (HDC dc = Handle()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::LineTo(dc, x, y);
    FPenPos = Point(x, y);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& pts)
{
    if (pts.size() < 2) return;
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::Polyline(dc, pts.data(), int(pts.size()));
    Changed();
}

void TCanvas::PolyPolyline(const std::vector<std::vector<TPoint>>& lines)
{
    for (auto& l : lines) Polyline(l);
}

void TCanvas::Polygon(const std::vector<TPoint>& pts)
{
    if (pts.size() < 2) return;
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::Polygon(dc, pts.data(), int(pts.size()));
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::Rectangle(dc, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) {
        if (QPainter* p = dc->P()) {
            p->save();
            p->setPen(dc->St.Pen);
            p->setBrush(dc->St.Brush);
            p->drawRoundedRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1), x3 / 2.0, y3 / 2.0);
            p->restore();
        }
        TCanvasOp o;
        o.Op = "RoundRect";
        o.Rect = TR(dc->ToDevice(QRect(x1, y1, x2 - x1, y2 - y1)));
        o.Color = TC(dc->St.Brush.color());
        dc->Rec(std::move(o));
    }
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::Ellipse(dc, x1, y1, x2, y2);
    Changed();
}

static void ArcShape(TCanvas* c, HDC dc, const char* op, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, bool pie)
{
    QRectF box(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    QPointF ctr = box.center();
    auto angle = [&](int x, int y) { return std::atan2(-(y - ctr.y()), x - ctr.x()) * 180.0 / M_PI; };
    double a1 = angle(x3, y3), a2 = angle(x4, y4);
    double span = a2 - a1;
    if (span <= 0) span += 360;
    if (QPainter* p = dc->P()) {
        p->save();
        p->setPen(dc->St.Pen);
        p->setBrush(dc->St.Brush);
        if (pie) p->drawPie(box, int(a1 * 16), int(span * 16));
        else p->drawArc(box, int(a1 * 16), int(span * 16));
        p->restore();
    }
    TCanvasOp o;
    o.Op = op;
    o.Rect = TR(dc->ToDevice(QRect(x1, y1, x2 - x1, y2 - y1)));
    dc->Rec(std::move(o));
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    RequiredState();
    if (HDC dc = Handle()) ArcShape(this, dc, "Arc", x1, y1, x2, y2, x3, y3, x4, y4, false);
    Changed();
}
void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    RequiredState();
    if (HDC dc = Handle()) ArcShape(this, dc, "Pie", x1, y1, x2, y2, x3, y3, x4, y4, true);
    Changed();
}

void TCanvas::FillRect(const TRect& r)
{
    Changing();
    RequiredState();
    HDC dc = Handle();
    if (!dc || IsRectEmpty(r)) return;
    if (FBrush->Style() == bsClear && !FBrush->Bitmap()) return;
    if (QPainter* p = dc->P()) {
        p->save();
        p->fillRect(QR(r), dc->St.Brush);
        p->restore();
    }
    TCanvasOp o;
    o.Op = "FillRect";
    o.Rect = TR(dc->ToDevice(QR(r)));
    o.Color = ColorToRGB(FBrush->Color());
    dc->Rec(std::move(o));
    Changed();
}

void TCanvas::FrameRect(const TRect& r)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) {
        HBRUSH b = CreateSolidBrush(ColorToRGB(FBrush->Color()));
        ::FrameRect(dc, r, b);
        DeleteObject(b);
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::DrawFocusRect(dc, r);
    Changed();
}

void TCanvas::InvertRect(const TRect& r)
{
    if (HDC dc = Handle()) ::InvertRect(dc, r);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    RequiredState();
    HDC dc = Handle();
    if (!dc || !dc->Image) return;
    dc->EndPainter();
    QImage& img = *dc->Image;
    QPoint start = dc->ToDevice(QPoint(x, y)) + dc->Org;
    if (!img.rect().contains(start)) return;
    const QRgb target = QCol(color).rgb() & 0xFFFFFF;
    const QRgb fill = dc->St.Brush.color().rgb() | 0xFF000000;
    const QRgb startColor = img.pixel(start) & 0xFFFFFF;
    // fsSurface fills the area of the given colour; fsBorder fills up to a border of it.
    auto inside = [&](QRgb c) { c &= 0xFFFFFF; return style == fsSurface ? c == target : c != target; };
    if (!inside(startColor) || (startColor == (fill & 0xFFFFFF))) return;
    QRegion clip = dc->EffectiveClip().translated(dc->Org);
    std::vector<QPoint> stack{start};
    while (!stack.empty()) {
        QPoint p = stack.back();
        stack.pop_back();
        if (!img.rect().contains(p) || !clip.contains(p)) continue;
        QRgb c = img.pixel(p);
        if (!inside(c) || (c & 0xFFFFFF) == (fill & 0xFFFFFF)) continue;
        img.setPixel(p, fill);
        stack.push_back(p + QPoint(1, 0));
        stack.push_back(p - QPoint(1, 0));
        stack.push_back(p + QPoint(0, 1));
        stack.push_back(p - QPoint(0, 1));
    }
    Changed();
}

TColor TCanvas::Pixels(int x, int y)
{
    HDC dc = Handle();
    if (!dc) return -1;
    COLORREF c = ::GetPixel(dc, x, y);
    return c == CLR_INVALID ? -1 : TColor(c);
}

void TCanvas::SetPixels(int x, int y, TColor c)
{
    Changing();
    if (HDC dc = Handle()) ::SetPixel(dc, x, y, ColorToRGB(c));
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    Changing();
    RequiredState();
    if (HDC dc = Handle()) ::ExtTextOut(dc, x, y, 0, nullptr, text, nullptr);
    FPenPos = Point(x + TextWidth(text), y);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    Changing();
    RequiredState();
    HDC dc = Handle();
    if (!dc) return;
    UINT opts = ETO_CLIPPED;
    if (FBrush->Style() != bsClear) opts |= ETO_OPAQUE;
    ::ExtTextOut(dc, x, y, opts, &r, text, nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text)
{
    RequiredState();
    TSize s;
    if (HDC dc = Handle()) GetTextExtentPoint32(dc, text, &s);
    return s;
}

int TCanvas::DrawText(const std::string& text, TRect& r, UINT format)
{
    Changing();
    RequiredState();
    HDC dc = Handle();
    int h = dc ? ::DrawText(dc, text, -1, &r, format) : 0;
    Changed();
    return h;
}

void TCanvas::Draw(int x, int y, TGraphic* g)
{
    if (!g || g->Empty()) return;
    StretchDraw(Bounds(x, y, g->Width(), g->Height()), g);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* g)
{
    if (!g || g->Empty()) return;
    Changing();
    RequiredState();
    g->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src)
{
    if (!source) return;
    Changing();
    RequiredState();
    source->RequiredState();
    HDC d = Handle(), s = source->Handle();
    if (d && s)
        StretchBlt(d, dest.Left, dest.Top, dest.Width(), dest.Height(), s, src.Left, src.Top, src.Width(),
                   src.Height(), FCopyMode);
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* source, const TRect& src, TColor transparent)
{
    if (!source || source->Empty()) return;
    Changing();
    RequiredState();
    HDC dc = Handle();
    if (!dc) return;
    source->FinishDrawing();
    QImage img = source->Image()->Img.copy(QR(src)).convertToFormat(QImage::Format_RGB32);
    const QRgb key = QCol(transparent).rgb() & 0xFFFFFF;
    const QRgb fill = QCol(FBrush->Color()).rgb();
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = fill;
    }
    if (QPainter* p = dc->P()) {
        p->save();
        p->drawImage(QR(dest), img);
        p->restore();
    }
    TCanvasOp o;
    o.Op = "BrushCopy";
    o.Rect = TR(dc->ToDevice(QR(dest)));
    o.Color = ColorToRGB(transparent);
    dc->Rec(std::move(o));
    Changed();
}

void TCanvas::Refresh()
{
    if (FHandle && ValidDC(FHandle)) FHandle->Dirty = true;
}

// ---- TGraphic -----------------------------------------------------------------------

void TGraphic::SetTransparent(bool v)
{
    if (v == FTransparent) return;
    FTransparent = v;
    Changed();
}
void TGraphic::SetModified(bool v)
{
    FModified = v;
    if (v) Changed();
}
void TGraphic::Changed()
{
    FModified = true;
    if (OnChange) OnChange(this);
}
void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream s(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&s);
}
void TGraphic::SaveToFile(const std::string& fileName)
{
    SaveFileWhole(fileName, [&](TStream* s) { SaveToStream(s); });
}

// ---- TBitmap ------------------------------------------------------------------------

namespace {

uint32_t Le32(const std::string& d, size_t at)
{
    return uint32_t(uint8_t(d[at])) | uint32_t(uint8_t(d[at + 1])) << 8 | uint32_t(uint8_t(d[at + 2])) << 16 |
           uint32_t(uint8_t(d[at + 3])) << 24;
}
uint16_t Le16(const std::string& d, size_t at) { return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8); }
void PutLe32(std::string& d, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) d[at + i] = char(v >> (8 * i));
}

// Windows bitmap data made ready for the image reader, which leaves unset the
// pixels it finds no data for: run-length compressed pixels are expanded to
// plain 8-bit rows here (pixels a run skips take index 0), and plain pixels
// cut short are refused (only the last row's padding may be missing). False
// for data to refuse; anything not a Windows bitmap passes as it is.
bool PrepareBmp(std::string& data)
{
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') return true;
    if (data.size() < 26) return false;
    int64_t header = Le32(data, 14), w, h;
    uint32_t bpp, compression = 0, colours = 0, entry = 4;
    if (header == 12) {
        w = int16_t(Le16(data, 18));
        h = int16_t(Le16(data, 20));
        bpp = Le16(data, 24);
        entry = 3;
    } else if (data.size() >= 14 + 40) {   // the reader takes any other header size for the 40-byte one
        header = std::max<int64_t>(header, 40);
        w = int32_t(Le32(data, 18));
        h = int32_t(Le32(data, 22));
        bpp = Le16(data, 28);
        compression = Le32(data, 30);
        colours = Le32(data, 46);
    } else {
        return false;   // cut short inside the header
    }
    if (w <= 0 || h == 0) return true;
    const int64_t rows = h < 0 ? -h : h;
    if (!PictureSizeAllowed(w, rows)) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return true;
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    int64_t start = 14 + header + (bpp <= 8 ? int64_t(colours) * entry : 0);
    if (compression == 3 && header == 40) start += 12;   // the colour masks
    start = std::max(start, int64_t(Le32(data, 10)));
    const int64_t size = int64_t(data.size());

    if (compression == 0 || compression == 3) {
        const int64_t rowBytes = (w * bpp + 31) / 32 * 4;
        if (size < start + rowBytes * (rows - 1) + (w * bpp + 7) / 8) return false;
        if (size < start + rowBytes * rows) data.resize(size_t(start + rowBytes * rows), '\0');
        return true;
    }
    const bool rle8 = compression == 1 && bpp == 8, rle4 = compression == 2 && bpp == 4;
    if (!rle8 && !rle4) return true;
    if (h < 0 || start > size || colours > 256) return false;
    const int64_t rowBytes = (w + 3) / 4 * 4;
    std::string px(size_t(rowBytes * rows), '\0');
    auto at = [&](int64_t i) { return uint8_t(data[size_t(i)]); };
    int64_t x = 0, y = 0, p = start;
    auto put = [&](uint8_t v) {
        if (x < w && y < rows) px[size_t(y * rowBytes + x)] = char(v);
        ++x;
    };
    while (p + 1 < size && y < rows) {
        const uint8_t n = at(p), c = at(p + 1);
        p += 2;
        if (n > 0) {   // a run of one value (two alternating ones for 4 bits)
            for (int i = 0; i < n; ++i) put(rle8 ? c : i % 2 ? c & 15 : c >> 4);
        } else if (c == 0) {   // end of the row
            x = 0;
            ++y;
        } else if (c == 1) {   // end of the picture
            break;
        } else if (c == 2) {   // skip right and up
            if (p + 1 >= size) break;
            x += at(p);
            y += at(p + 1);
            p += 2;
        } else {   // c values as they are, padded to a whole word
            const int64_t bytes = rle8 ? c : (c + 1) / 2;
            if (p + bytes > size) break;
            for (int i = 0; i < c; ++i) put(rle8 ? at(p + i) : i % 2 ? at(p + i / 2) & 15 : at(p + i / 2) >> 4);
            p += (bytes + 1) / 2 * 2;
        }
    }
    data.resize(size_t(start));
    data[28] = 8;
    data[29] = 0;
    PutLe32(data, 30, 0);
    PutLe32(data, 34, uint32_t(px.size()));
    PutLe32(data, 46, colours);
    PutLe32(data, 10, uint32_t(start));
    data += px;
    PutLe32(data, 2, uint32_t(data.size()));
    return true;
}

// Reads a picture in any format the program reads: false for data that is
// none, and for a picture too large, refused before its pixels are allocated.
bool ReadPicture(std::string data, QImage& img)
{
    if (!PrepareBmp(data)) return false;
    QByteArray bytes = QByteArray::fromRawData(data.data(), qsizetype(data.size()));
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    const QSize size = reader.size();
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) return false;
    return reader.read(&img) && !img.isNull();
}


QImage::Format FormatOf(TPixelFormat pf)
{
    switch (pf) {
    case pf1bit: return QImage::Format_Mono;
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_BGR888;
    case pf32bit: return QImage::Format_ARGB32_Premultiplied;
    default: return QImage::Format_RGB32;
    }
}

bool Drawable(QImage::Format f)
{
    return f != QImage::Format_Mono && f != QImage::Format_Indexed8 && f != QImage::Format_MonoLSB;
}

// A canvas over a bitmap's pixels: a context made on first use.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner) {}
    ~TBitmapCanvas() override { Release(); }
    void Release()
    {
        if (FHandle && ValidDC(FHandle)) {
            std::vector<TCanvasOp>* rec = FHandle->Record;
            FKeptRecord = rec;
            DeleteDC(FHandle);
        }
        FHandle = nullptr;
    }
    void Finish()
    {
        if (FHandle && ValidDC(FHandle)) FHandle->EndPainter();
    }
    std::vector<TCanvasOp>* FKeptRecord = nullptr;

protected:
    void CreateHandle() override
    {
        QImage& img = FOwner->Image()->Img;
        if (!Drawable(img.format())) {
            // Palette images are drawn on in full colour; their format comes back on change.
            img = img.convertToFormat(QImage::Format_RGB32);
        }
        HDC dc = qzgui::NewDC();
        dc->Image = &img;
        dc->Size = img.size();
        dc->Record = FKeptRecord;
        FHandle = dc;
        RequiredState();
    }

private:
    TBitmap* FOwner;
};

} // namespace

// The pixels in the layout of a pixel format. Monochrome: index 0 black and
// 1 white, as the platform's monochrome bitmaps have them.
static QImage ConvertTo(const QImage& src, TPixelFormat pf)
{
    QImage::Format f = FormatOf(pf);
    if (src.format() == f) return src;
    if (f == QImage::Format_Mono) {
        QImage mono(src.size(), QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) mono.setPixel(x, y, qGray(src.pixel(x, y)) >= 128 ? 1 : 0);
        return mono;
    }
    return src.convertToFormat(f);
}

TBitmap::TBitmap() : FImage(std::make_unique<TBitmapImage>()) {}
TBitmap::TBitmap(int w, int h) : TBitmap() { SetSize(w, h); }
TBitmap::~TBitmap()
{
    FCanvas.reset();
}

void TBitmap::FinishDrawing()
{
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Finish();
    // Palette formats are drawn on in full colour: the pixels go back to their format.
    if (!Empty() && !Drawable(FormatOf(FPixelFormat)) && FImage->Img.format() != FormatOf(FPixelFormat))
        FImage->Img = ConvertTo(FImage->Img, FPixelFormat);
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = [this](TObject*) { Changed(); };
    }
    return FCanvas.get();
}

bool TBitmap::Empty() const { return FImage->Img.isNull() || FImage->Img.width() == 0 || FImage->Img.height() == 0; }
// An empty bitmap keeps the size asked for, so setting the width and then
// the height makes a bitmap of both.
int TBitmap::Width() const { return FImage->Img.isNull() ? FEmptyWidth : FImage->Img.width(); }
int TBitmap::Height() const { return FImage->Img.isNull() ? FEmptyHeight : FImage->Img.height(); }

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height()) return;
    FEmptyWidth = w;
    FEmptyHeight = h;
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
    QImage old = FImage->Img;
    if (w == 0 || h == 0) {
        FImage->Img = QImage();
    } else {
        QImage img(w, h, FormatOf(FPixelFormat));
        if (img.format() == QImage::Format_Mono) {
            img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            img.fill(1);
        } else if (img.format() == QImage::Format_Indexed8) {
            QVector<QRgb> table;
            for (int i = 0; i < 256; ++i) table << qRgb(i, i, i);
            img.setColorTable(table);
            img.fill(255);
        } else {
            img.fill(Qt::white);
        }
        // What was there stays in the corner.
        if (!old.isNull() && Drawable(img.format())) {
            QPainter p(&img);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, old);
        }
        FImage->Img = img;
    }
    Changed();
}
void TBitmap::SetWidth(int v) { SetSize(v, Height()); }
void TBitmap::SetHeight(int v) { SetSize(Width(), v); }

void TBitmap::SetPixelFormat(TPixelFormat v)
{
    if (v == FPixelFormat && (Empty() || FImage->Img.format() == FormatOf(v))) return;
    FPixelFormat = v;
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
    if (!Empty()) FImage->Img = ConvertTo(FImage->Img, v);
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return TColor(TC(FImage->Img.pixelColor(0, Height() - 1)));
}
void TBitmap::SetTransparentColor(TColor c)
{
    FTransparentColor = c;
    FTransparentMode = c == clDefault ? tmAuto : tmFixed;
    Changed();
}
void TBitmap::SetTransparentMode(TTransparentMode v)
{
    if (v == FTransparentMode) return;
    FTransparentMode = v;
    if (v == tmAuto) FTransparentColor = clDefault;
    else if (FTransparentColor == clDefault) FTransparentColor = TransparentColor();
    Changed();
}

uint8_t* TBitmap::ScanLine(int y)
{
    if (Empty() || y < 0 || y >= Height())
        throw EInvalidGraphicOperation("Scan line index out of range");
    FinishDrawing();
    uint8_t* row = FImage->Img.scanLine(y);
    return row;
}
int TBitmap::BytesPerLine() const { return Empty() ? 0 : int(FImage->Img.bytesPerLine()); }

void TBitmap::Assign(TPersistent* source)
{
    if (source == this) return;
    if (auto* b = DynamicCast<TBitmap>(source)) {
        b->FinishDrawing();
        if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
        FImage->Img = b->FImage->Img.copy();
        FEmptyWidth = b->FEmptyWidth;
        FEmptyHeight = b->FEmptyHeight;
        FPixelFormat = b->FPixelFormat;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        FTransparent = b->FTransparent;
        Changed();
        return;
    }
    if (auto* ic = DynamicCast<TIcon>(source)) {
        if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
        FImage->Img = ic->Image()->Img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        FPixelFormat = pf32bit;
        Changed();
        return;
    }
    if (auto* g = DynamicCast<TGraphic>(source)) {
        // Any other graphic is drawn onto a bitmap of its size.
        if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
        FImage->Img = QImage();
        SetSize(g->Width(), g->Height());
        if (!Empty()) Canvas()->StretchDraw(Rect(0, 0, Width(), Height()), g);
        FinishDrawing();
        Changed();
        return;
    }
    if (auto* p = DynamicCast<TPicture>(source)) {
        if (p->Graphic()) Assign(p->Graphic());
        else { FImage->Img = QImage(); FEmptyWidth = FEmptyHeight = 0; Changed(); }
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::LoadFromStream(TStream* stream)
{
    int64_t size = stream->Size() - stream->Position();
    if (size <= 0) throw EInvalidGraphic("Bitmap image is not valid");
    std::string data = stream->ReadString(int(size));
    QImage img;
    if (!ReadPicture(std::move(data), img)) throw EInvalidGraphic("Bitmap image is not valid");
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Release();
    switch (img.depth()) {
    case 1: FPixelFormat = pf1bit; img = img.convertToFormat(QImage::Format_Mono); break;
    case 8:
        FPixelFormat = pf8bit;
        // A file's pixels may point past its palette: such a pixel shows
        // black, here and in every copy saved from it.
        if (img.format() == QImage::Format_Indexed8 && img.colorCount() < 256) {
            QList<QRgb> table = img.colorTable();
            table.resize(256, qRgb(0, 0, 0));
            img.setColorTable(table);
        }
        break;
    case 24: FPixelFormat = pf24bit; img = img.convertToFormat(QImage::Format_BGR888); break;
    case 32:
        FPixelFormat = img.hasAlphaChannel() ? pf32bit : pfDevice;
        img = img.convertToFormat(FormatOf(FPixelFormat));
        break;
    default: FPixelFormat = pfDevice; img = img.convertToFormat(QImage::Format_RGB32); break;
    }
    FImage->Img = img;
    FEmptyWidth = FEmptyHeight = 0;
    Changed();
}

void TBitmap::SaveToStream(TStream* stream)
{
    FinishDrawing();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImage img = FImage->Img;
    if (img.isNull()) img = QImage(0, 0, QImage::Format_RGB32);
    if (!img.isNull() && !img.save(&buf, "BMP")) throw EInvalidGraphicOperation("Cannot save the bitmap");
    stream->WriteBuffer(bytes.constData(), int(bytes.size()));
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty() || !canvas) return;
    FinishDrawing();
    HDC dc = canvas->Handle();
    if (!dc) return;
    QImage img = FImage->Img;
    if (FTransparent) {
        // The transparent colour becomes see-through.
        QImage a = img.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = QCol(TransparentColor()).rgb() & 0xFFFFFF;
        for (int y = 0; y < a.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(a.scanLine(y));
            for (int x = 0; x < a.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
        }
        img = a;
    } else if (img.hasAlphaChannel() && FPixelFormat != pf32bit) {
        img = img.convertToFormat(QImage::Format_RGB32);
    }
    if (QPainter* p = dc->P()) {
        p->save();
        if (!FTransparent && FPixelFormat != pf32bit) p->setCompositionMode(QPainter::CompositionMode_Source);
        p->drawImage(QR(r), img);
        p->restore();
    }
    TCanvasOp o;
    o.Op = "Draw";
    o.Rect = TR(dc->ToDevice(QR(r)));
    o.Flags = FTransparent ? 1 : 0;
    dc->Rec(std::move(o));
}

// ---- TIcon --------------------------------------------------------------------------

TIcon::TIcon() : FImage(std::make_unique<TBitmapImage>()) { FTransparent = true; }
TIcon::~TIcon() = default;
bool TIcon::Empty() const { return FImage->Img.isNull(); }
int TIcon::Width() const { return FImage->Img.isNull() ? 0 : FImage->Img.width(); }
int TIcon::Height() const { return FImage->Img.isNull() ? 0 : FImage->Img.height(); }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::Assign(TPersistent* source)
{
    if (auto* i = DynamicCast<TIcon>(source)) {
        FImage->Img = i->FImage->Img.copy();
        Changed();
        return;
    }
    if (auto* b = DynamicCast<TBitmap>(source)) {
        b->FinishDrawing();
        FImage->Img = b->Image()->Img.convertToFormat(QImage::Format_ARGB32);
        Changed();
        return;
    }
    TGraphic::Assign(source);
}
void TIcon::LoadFromStream(TStream* stream)
{
    int64_t size = stream->Size() - stream->Position();
    std::string data = size > 0 ? stream->ReadString(int(size)) : std::string();
    QImage img;
    if (data.empty() || !ReadPicture(std::move(data), img)) throw EInvalidGraphic("Icon image is not valid");
    FImage->Img = img.convertToFormat(QImage::Format_ARGB32);
    Changed();
}
void TIcon::SaveToStream(TStream* stream)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    // The icon format holds at most 256 x 256 pixels (the writer would scale a
    // larger picture down): larger icons, or without an icon writer, keep
    // their pixels as PNG data, which icons read back.
    const bool fits = FImage->Img.width() <= 256 && FImage->Img.height() <= 256;
    if (FImage->Img.isNull() || !fits || !FImage->Img.save(&buf, "ICO")) {
        bytes.clear();
        buf.seek(0);
        if (!FImage->Img.isNull()) FImage->Img.save(&buf, "PNG");
    }
    stream->WriteBuffer(bytes.constData(), int(bytes.size()));
}
void TIcon::Draw(TCanvas* canvas, const TRect& r)
{
    if (Empty() || !canvas) return;
    HDC dc = canvas->Handle();
    if (!dc) return;
    if (QPainter* p = dc->P()) {
        p->save();
        p->drawImage(QR(r), FImage->Img);
        p->restore();
    }
    TCanvasOp o;
    o.Op = "Draw";
    o.Rect = TR(dc->ToDevice(QR(r)));
    o.Flags = 1;
    dc->Rec(std::move(o));
}

// ---- TPicture -----------------------------------------------------------------------

namespace {
struct TFileFormat {
    std::string Ext;
    std::string Description;
    TGraphicClass Class;
};
std::vector<TFileFormat>& Formats()
{
    static std::vector<TFileFormat> f{{"bmp", "Bitmaps", TBitmap::StaticClass()},
                                      {"ico", "Icons", TIcon::StaticClass()},
                                      {"emf", "Enhanced Metafiles", TMetafile::StaticClass()},
                                      {"wmf", "Metafiles", TMetafile::StaticClass()}};
    return f;
}
}

void TPicture::RegisterFileFormat(const std::string& ext, const std::string& desc, TGraphicClass c)
{
    std::string e = LowerCase(ext);
    for (auto& f : Formats())
        if (f.Ext == e) { f.Description = desc; f.Class = c; return; }
    Formats().push_back({e, desc, c});
}

std::string GraphicFilter(TGraphicClass c)
{
    std::string all, parts, exts;
    for (auto& f : Formats()) {
        if (c && !f.Class->InheritsFrom(c)) continue;
        if (!exts.empty()) exts += ";";
        exts += "*." + f.Ext;
        parts += "|" + f.Description + " (*." + f.Ext + ")|*." + f.Ext;
    }
    if (exts.empty()) return {};
    return "All (" + exts + ")|" + exts + parts;
}

std::string GraphicExtension(TGraphicClass c)
{
    for (auto& f : Formats())
        if (f.Class == c) return f.Ext;
    for (auto& f : Formats())
        if (c && f.Class->InheritsFrom(c)) return f.Ext;
    return {};
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*)
{
    if (OnChange) OnChange(this);
}

void TPicture::Take(TGraphic* g)
{
    FGraphic.reset(g);
    if (FGraphic) FGraphic->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (!value) {
        Take(nullptr);
        return;
    }
    auto* g = static_cast<TGraphic*>(value->ClassType()->Create());
    if (!g) throw EInvalidGraphic("Cannot copy a graphic of class " + value->ClassName());
    g->Assign(value);
    Take(g);
}

TBitmap* TPicture::Bitmap()
{
    if (!DynamicCast<TBitmap>(FGraphic.get()) || FGraphic->ClassType() != TBitmap::StaticClass()) {
        if (!DynamicCast<TBitmap>(FGraphic.get())) Take(new TBitmap());
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon()
{
    if (!DynamicCast<TIcon>(FGraphic.get())) Take(new TIcon());
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) {
        Take(nullptr);
    } else if (auto* p = DynamicCast<TPicture>(source)) {
        SetGraphic(p->Graphic());
    } else if (auto* g = DynamicCast<TGraphic>(source)) {
        SetGraphic(g);
    } else {
        TInterfacedPersistent::Assign(source);
    }
}

void TPicture::AssignTo(TPersistent* dest)
{
    if (auto* g = DynamicCast<TGraphic>(dest); g && FGraphic) {
        g->Assign(FGraphic.get());
        return;
    }
    TInterfacedPersistent::AssignTo(dest);
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    std::string ext = LowerCase(ExtractFileExt(fileName));
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    TGraphicClass cls = nullptr;
    for (auto& f : Formats())
        if (f.Ext == ext) cls = f.Class;
    if (!cls) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> g(static_cast<TGraphic*>(cls->Create()));
    g->LoadFromFile(fileName);   // a bad file raises and leaves the picture as it was
    Take(g.release());
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

// ---- the screen canvas ----------------------------------------------------

namespace {
// Lives as long as the program: windows may measure with it while they go.
class TScreenCanvas : public TCanvas {
protected:
    void CreateHandle() override
    {
        static auto* surface = new QImage();
        QSize sz(1024, 768);
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            if (QScreen* s = app->primaryScreen()) sz = s->geometry().size();
        if (surface->size() != sz) {
            *surface = QImage(sz, QImage::Format_RGB32);
            surface->fill(Qt::white);
        }
        HDC dc = NewDC();
        dc->Image = surface;
        dc->Size = sz;
        dc->IsScreen = true;
        FHandle = dc;
    }
};
}

TCanvas* ScreenCanvas()
{
    static auto* c = new TScreenCanvas();
    return c;
}

// ---- helpers ------------------------------------------------------------------------

TColor ColorToGray(TColor c)
{
    TColorRef rgb = ColorToRGB(c);
    int g = (GetRValue(rgb) * 30 + GetGValue(rgb) * 59 + GetBValue(rgb) * 11) / 100;
    return TColor(RGB(g, g, g));
}

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width)
{
    for (int i = 0; i < width; ++i) {
        canvas->Brush()->SetColor(topColor);
        canvas->FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1));
        canvas->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1));
        canvas->Brush()->SetColor(bottomColor);
        canvas->FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
        canvas->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        InflateRect(r, -1, -1);
    }
}
