#include "ImgList.h"
#include "QzGuiPrivate.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>

using namespace qzgui;

QZ_CLASS_IMPL(TChangeLink, TObject)
QZ_CLASS_IMPL(TCustomImageList, TComponent)
QZ_CLASS_IMPL(TImageList, TCustomImageList)
QZ_CLASS_IMPL(TDragImageList, TCustomImageList)

struct TImageListImages {
    // Each image with its alpha made from the mask: opaque where drawn.
    std::vector<QImage> Items;
};

TChangeLink::~TChangeLink()
{
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (OnChange) OnChange(FSender);
}

TCustomImageList::TCustomImageList(TComponent* owner)
    : TComponent(owner), FImages(std::make_unique<TImageListImages>())
{
}

TCustomImageList::TCustomImageList(int w, int h, TComponent* owner) : TCustomImageList(owner)
{
    FWidth = std::max(1, w);
    FHeight = std::max(1, h);
}

TCustomImageList::~TCustomImageList()
{
    for (TChangeLink* l : FLinks) l->SetSender(nullptr);
}

void TCustomImageList::Assign(TPersistent* source)
{
    if (auto* o = DynamicCast<TCustomImageList>(source)) {
        FWidth = o->FWidth;
        FHeight = o->FHeight;
        FMasked = o->FMasked;
        BkColor = o->BkColor;
        FImages->Items = o->FImages->Items;
        Change();
        return;
    }
    TComponent::Assign(source);
}

int TCustomImageList::Count() const { return int(FImages->Items.size()); }

void TCustomImageList::SetSize(int w, int h)
{
    w = std::max(1, w);
    h = std::max(1, h);
    if (w == FWidth && h == FHeight) return;
    FWidth = w;
    FHeight = h;
    FImages->Items.clear();
    Change();
}
void TCustomImageList::SetWidth(int v) { SetSize(v, FHeight); }
void TCustomImageList::SetHeight(int v) { SetSize(FWidth, v); }

void TCustomImageList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index " + std::to_string(index));
}

// Cuts the strip into images of the list's size, the mask giving alpha.
static std::vector<QImage> Slice(const QImage& strip, const QImage* mask, int w, int h, bool masked)
{
    std::vector<QImage> out;
    if (strip.isNull() || strip.height() < h) return out;
    int n = strip.width() / w;
    for (int i = 0; i < n; ++i) {
        QImage img = strip.copy(i * w, 0, w, h).convertToFormat(QImage::Format_ARGB32);
        if (masked && mask && !mask->isNull()) {
            for (int y = 0; y < h; ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    int mx = i * w + x;
                    bool drawn = mx < mask->width() && y < mask->height() && (qGray(mask->pixel(mx, y)) < 128);
                    row[x] = drawn ? (row[x] | 0xFF000000) : 0;
                }
            }
        } else {
            for (int y = 0; y < h; ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < w; ++x) row[x] |= 0xFF000000;
            }
        }
        out.push_back(img);
    }
    return out;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty()) return -1;
    image->FinishDrawing();
    if (mask) mask->FinishDrawing();
    auto imgs = Slice(image->Image()->Img, mask && !mask->Empty() ? &mask->Image()->Img : nullptr, FWidth, FHeight,
                      FMasked && mask);
    if (imgs.empty()) return -1;
    int first = Count();
    FImages->Items.insert(FImages->Items.end(), imgs.begin(), imgs.end());
    Change();
    return first;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty()) return -1;
    image->FinishDrawing();
    const QImage& src = image->Image()->Img;
    TColorRef key = maskColor == clDefault ? TC(src.pixelColor(0, src.height() - 1)) : ColorToRGB(maskColor);
    QImage mask(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            mask.setPixel(x, y, (TC(src.pixelColor(x, y)) == key) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    TBitmap m;
    m.SetSize(src.width(), src.height());
    m.Image()->Img = mask;
    bool was = FMasked;
    FMasked = true;
    int r = Add(image, &m);
    FMasked = was;
    return r;
}

int TCustomImageList::AddIcon(TIcon* icon)
{
    if (!icon || icon->Empty()) return -1;
    QImage img = icon->Image()->Img.convertToFormat(QImage::Format_ARGB32).scaled(FWidth, FHeight);
    FImages->Items.push_back(img);
    Change();
    return Count() - 1;
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask)
{
    if (index < 0 || index > Count()) throw EInvalidOperation("Invalid image list index " + std::to_string(index));
    int first = Count();
    BeginUpdate();
    int added = Add(image, mask);
    if (added >= 0) {
        auto& v = FImages->Items;
        std::rotate(v.begin() + index, v.begin() + first, v.end());
    }
    EndUpdate();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask)
{
    CheckIndex(index);
    if (!image || image->Empty()) return;
    image->FinishDrawing();
    auto imgs = Slice(image->Image()->Img, mask && !mask->Empty() ? &mask->Image()->Img : nullptr, FWidth, FHeight,
                      FMasked && mask);
    if (imgs.empty()) return;
    FImages->Items[size_t(index)] = imgs[0];
    Change();
}

void TCustomImageList::Delete(int index)
{
    if (index == -1) {
        Clear();
        return;
    }
    CheckIndex(index);
    FImages->Items.erase(FImages->Items.begin() + index);
    Change();
}

void TCustomImageList::Move(int cur, int to)
{
    CheckIndex(cur);
    CheckIndex(to);
    QImage img = FImages->Items[size_t(cur)];
    FImages->Items.erase(FImages->Items.begin() + cur);
    FImages->Items.insert(FImages->Items.begin() + to, img);
    Change();
}

void TCustomImageList::Clear()
{
    if (FImages->Items.empty()) return;
    FImages->Items.clear();
    Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) const
{
    if (!image || index < 0 || index >= Count()) return false;
    image->SetSize(FWidth, FHeight);
    image->Canvas()->Brush()->SetColor(BkColor == clNone ? clBtnFace : BkColor);
    image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    Draw(image->Canvas(), 0, 0, index, true);
    image->FinishDrawing();
    return true;
}

void TCustomImageList::GetIcon(int index, TIcon* icon) const
{
    if (!icon || index < 0 || index >= Count()) return;
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(FWidth, FHeight);
    b.Image()->Img = FImages->Items[size_t(index)].convertToFormat(QImage::Format_ARGB32_Premultiplied);
    icon->Assign(&b);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const
{
    if (!canvas || index < 0 || index >= Count()) return;
    HDC dc = canvas->Handle();
    if (!dc) return;
    const QImage& img = FImages->Items[size_t(index)];
    if (QPainter* p = dc->P()) {
        p->save();
        if (BkColor != clNone) p->fillRect(QRect(x, y, FWidth, FHeight), QCol(BkColor));
        if (enabled) {
            p->drawImage(QPoint(x, y), img);
        } else {
            // Embossed: the shape in highlight one pixel down and right, then in shadow.
            auto shape = [&](TColor c) {
                QImage s(img.size(), QImage::Format_ARGB32);
                QRgb col = QCol(c).rgb();
                for (int yy = 0; yy < img.height(); ++yy) {
                    auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(yy));
                    auto* dst = reinterpret_cast<QRgb*>(s.scanLine(yy));
                    for (int xx = 0; xx < img.width(); ++xx) {
                        // Dark parts of the image make the shape; light ones stay out.
                        bool on = qAlpha(src[xx]) >= 128 && qGray(src[xx]) < 192;
                        dst[xx] = on ? (col | 0xFF000000) : 0;
                    }
                }
                return s;
            };
            p->drawImage(QPoint(x + 1, y + 1), shape(clBtnHighlight));
            p->drawImage(QPoint(x, y), shape(clBtnShadow));
        }
        p->restore();
    }
    TCanvasOp o;
    o.Op = "ImageListDraw";
    o.Rect = TR(dc->ToDevice(QRect(x, y, FWidth, FHeight)));
    o.Flags = UINT(index) | (enabled ? 0 : 0x80000000u);
    dc->Rec(std::move(o));
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, int overlay, bool enabled) const
{
    Draw(canvas, x, y, imageIndex, enabled);
    Draw(canvas, x, y, overlay, enabled);
}

void TCustomImageList::RegisterChanges(TChangeLink* link)
{
    if (!link || std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) return;
    link->SetSender(this);
    FLinks.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link)
{
    auto it = std::find(FLinks.begin(), FLinks.end(), link);
    if (it == FLinks.end()) return;
    (*it)->SetSender(nullptr);
    FLinks.erase(it);
}

void TCustomImageList::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change()
{
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    FChanged = false;
    for (TChangeLink* l : std::vector<TChangeLink*>(FLinks)) l->Change();
    if (OnChange) OnChange(this);
}

// ---- the drag image ------------------------------------------------------------------------------

namespace {
// How much of the picture below shows through the dragged image.
constexpr double DragImageOpacity = 0.6;

class TDragImageWidget : public QWidget {
public:
    TDragImageWidget()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    {
        setObjectName(QStringLiteral("qzDragImage"));
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    QImage Img;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setOpacity(DragImageOpacity);
        p.drawImage(QPoint(0, 0), Img);
    }
};
}

struct TDragImageWindow {
    std::unique_ptr<TDragImageWidget> W = std::make_unique<TDragImageWidget>();
    // Cleared when the list goes, so a sync still queued does nothing.
    std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
    bool SyncQueued = false;
    ~TDragImageWindow() { *Alive = false; }
};

TDragImageList::TDragImageList(TComponent* owner) : TCustomImageList(owner) {}
TDragImageList::TDragImageList(int w, int h, TComponent* owner) : TCustomImageList(w, h, owner) {}
TDragImageList::~TDragImageList() { EndDrag(); }

bool TDragImageList::SetDragImage(int index, int hx, int hy)
{
    if (index < 0 || index >= Count()) return false;
    FDragIndex = index;
    FHotSpot = Point(hx, hy);
    if (FWindow) {
        FWindow->W->Img = FImages->Items[size_t(index)];
        PlaceWindow();
        FWindow->W->update();
    }
    return true;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y)
{
    if (FDragIndex < 0 || FDragIndex >= Count()) return false;
    if (!FWindow) FWindow = std::make_unique<TDragImageWindow>();
    FWindow->W->Img = FImages->Items[size_t(FDragIndex)];
    FWindow->W->resize(FWidth, FHeight);
    FDragging = true;
    FUnlocked = false;
    FHideCount = 0;
    FLockWindow = window;
    FPos = Point(x, y);
    PlaceWindow();
    SyncWindow();
    return true;
}

bool TDragImageList::DragMove(int x, int y)
{
    if (!FDragging) return false;
    FPos = Point(x, y);
    PlaceWindow();
    return true;
}

bool TDragImageList::DragLock(HWND window, int x, int y)
{
    if (!FDragging) return false;
    FLockWindow = window;
    FUnlocked = false;
    FPos = Point(x, y);
    PlaceWindow();
    SyncWindow();
    return true;
}

void TDragImageList::DragUnlock()
{
    if (!FDragging) return;
    FUnlocked = true;
    FLockWindow = nullptr;
    SyncWindow();
}

void TDragImageList::HideDragImage()
{
    if (!FDragging) return;
    ++FHideCount;
    SyncWindowLater();
}

void TDragImageList::ShowDragImage()
{
    if (!FDragging || FHideCount == 0) return;
    --FHideCount;
    SyncWindowLater();
}

bool TDragImageList::EndDrag()
{
    bool was = FDragging;
    FDragging = false;
    FUnlocked = false;
    FHideCount = 0;
    FLockWindow = nullptr;
    FWindow.reset();
    return was;
}

TRect TDragImageList::DragImageBounds() const
{
    if (!FWindow) return TRect{};
    return TR(FWindow->W->geometry());
}

void TDragImageList::Change()
{
    TCustomImageList::Change();
    if (!FWindow) return;
    // The list changed under a running drag: show what it holds now.
    if (FDragIndex >= 0 && FDragIndex < Count()) FWindow->W->Img = FImages->Items[size_t(FDragIndex)];
    else FWindow->W->Img = QImage();
    FWindow->W->resize(FWidth, FHeight);
    PlaceWindow();
    FWindow->W->update();
}

void TDragImageList::PlaceWindow()
{
    if (!FWindow) return;
    TPoint p = FPos;
    // A window gone meanwhile leaves the coordinates as they are (screen).
    if (FLockWindow && IsWindow(FLockWindow)) ClientToScreen(FLockWindow, &p);
    FWindow->W->move(p.X - FHotSpot.X, p.Y - FHotSpot.Y);
}

void TDragImageList::SyncWindow()
{
    if (!FWindow) return;
    if (DragImageShown()) {
        if (!FWindow->W->isVisible()) FWindow->W->show();
    } else if (FWindow->W->isVisible()) {
        FWindow->W->hide();
    }
}

void TDragImageList::SyncWindowLater()
{
    if (!FWindow || FWindow->SyncQueued) return;
    FWindow->SyncQueued = true;
    std::weak_ptr<bool> alive = FWindow->Alive;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, alive] {
            auto a = alive.lock();
            if (!a || !*a || !FWindow) return;
            FWindow->SyncQueued = false;
            SyncWindow();
        },
        Qt::QueuedConnection);
}
