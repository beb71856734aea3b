#include "ToolCtrlsEh.h"

#include "Forms.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Themes.h"

#include <algorithm>
#include <cmath>

namespace ToolCtrlsEh {

namespace {

bool Themed() { return ThemeServices()->Available(); }

TRect Inflated(TRect r, int d)
{
    r.Left -= d;
    r.Top -= d;
    r.Right += d;
    r.Bottom += d;
    return r;
}

void FillColor(HDC dc, const TRect& r, TColor color)
{
    HBRUSH b = CreateSolidBrush(ColorToRGB(color));
    FillRect(dc, r, b);
    DeleteObject(b);
}

void FrameColor(HDC dc, const TRect& r, TColor color)
{
    HBRUSH b = CreateSolidBrush(ColorToRGB(color));
    FrameRect(dc, r, b);
    DeleteObject(b);
}

// Keeps the context's clip region and puts it back, or removes the clip
// when there was none.
class TClipKeeper {
public:
    explicit TClipKeeper(HDC dc) : FDC(dc), FSaved(CreateRectRgn(0, 0, 0, 0))
    {
        FHad = GetClipRgn(dc, FSaved) == 1;
    }
    ~TClipKeeper()
    {
        SelectClipRgn(FDC, FHad ? FSaved : nullptr);
        DeleteObject(FSaved);
    }
    TClipKeeper(const TClipKeeper&) = delete;
    TClipKeeper& operator=(const TClipKeeper&) = delete;

private:
    HDC FDC;
    HRGN FSaved;
    bool FHad = false;
};

void IntersectClip(HDC dc, const TRect& r) { IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom); }

// Theme state of a button-like element: disabled, pressed, hot or normal.
int ElementState(bool enabled, bool active, bool down)
{
    return !enabled ? PBS_DISABLED : down ? PBS_PRESSED : active ? PBS_HOT : PBS_NORMAL;
}

UINT ClassicFlags(bool enabled, bool flat, bool down)
{
    UINT f = 0;
    if (down) f |= DFCS_PUSHED;
    if (flat) f |= DFCS_FLAT;
    if (!enabled) f |= DFCS_INACTIVE;
    return f;
}

// The face shared by the ellipsis and the plus-minus buttons; returns the
// area the glyph goes in.
TRect DrawPushFace(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down, bool refill)
{
    if (Themed()) {
        const int state = ElementState(enabled, active, down);
        const bool drawn = flat ? ThemeServices()->DrawBackground(dc, "TOOLBAR", 1, state, r)
                                : ThemeServices()->DrawBackground(dc, "BUTTON", BP_PUSHBUTTON, state, r);
        if (drawn) return Inflated(r, flat ? -1 : -2);
    }
    if (flat) {
        FillColor(dc, r, clBtnFace);
        return Inflated(r, -1);
    }
    TRect edge = r;
    DrawEdge(dc, edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    TRect inner = Inflated(r, -2);
    if (refill) FillColor(dc, inner, clBtnFace);
    return inner;
}

void DrawGlyph(HDC dc, const std::vector<TRect>& parts, bool enabled)
{
    if (!enabled) {
        for (TRect p : parts) FillColor(dc, Bounds(p.Left + 1, p.Top + 1, p.Width(), p.Height()), clBtnHighlight);
        for (const TRect& p : parts) FillColor(dc, p, clBtnShadow);
        return;
    }
    for (const TRect& p : parts) FillColor(dc, p, clBtnText);
}

// The square of a rectangle's smaller side, centred along the longer one.
TRect CentredSquare(TRect r)
{
    const int w = r.Width(), h = r.Height();
    if (w > h) {
        r.Left += (w - h) / 2;
        r.Right = r.Left + h;
    } else if (h > w) {
        r.Top += (h - w) / 2;
        r.Bottom = r.Top + w;
    }
    return r;
}

void CopyStretched(HDC dc, const TRect& r, TBitmap* b)
{
    if (!b || r.Width() <= 0 || r.Height() <= 0) return;
    StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(),
               SRCCOPY);
}

struct TCheckBoxSize {
    int Width;
    int Height;
};

const TCheckBoxSize& CheckBoxSize()
{
    static const TCheckBoxSize size = [] {
        std::unique_ptr<TBitmap> strip = LoadCheckBoxesBitmap();
        return TCheckBoxSize{strip->Width() / 4, strip->Height() / 3};
    }();
    return size;
}

}  // namespace

TButtonsBitmapCache& SharedButtonBitmaps()
{
    static TButtonsBitmapCache cache;
    return cache;
}

int CheckBoxWidth() { return CheckBoxSize().Width; }
int CheckBoxHeight() { return CheckBoxSize().Height; }

void RenderCheckBox(HDC dc, TRect r, TCheckBoxState state, bool enabled, bool flat, bool down, bool active)
{
    TRect square = CentredSquare(r);
    UINT flags = DFCS_BUTTONCHECK;
    if (state == cbChecked) flags |= DFCS_CHECKED;
    if (state == cbGrayed) flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (!enabled) flags |= DFCS_INACTIVE;
    if (down) flags |= DFCS_PUSHED;
    std::unique_ptr<TClipKeeper> clip;
    if (flat) {
        // The classic box's two-pixel 3-D border falls outside the clip.
        clip = std::make_unique<TClipKeeper>(dc);
        IntersectClip(dc, Inflated(square, -1));
        square = Inflated(square, 1);
    }
    bool drawn = false;
    if (Themed()) {
        const int base = state == cbChecked ? CBS_CHECKEDNORMAL : state == cbGrayed ? CBS_MIXEDNORMAL
                                                                                     : CBS_UNCHECKEDNORMAL;
        drawn = ThemeServices()->DrawBackground(dc, "BUTTON", BP_CHECKBOX, base + (enabled ? 0 : 3), r);
    }
    if (!drawn) DrawFrameControl(dc, square, DFC_BUTTON, flags);
    if (flat) {
        clip.reset();
        square = Inflated(square, -1);
        FrameColor(dc, square, active ? clBtnFace : clBtnShadow);
    }
}

void RenderDropDownButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down)
{
    if (Themed() &&
        ThemeServices()->DrawBackground(dc, "COMBOBOX", CP_DROPDOWNBUTTON, ElementState(enabled, active, down), r))
        return;
    DrawFrameControl(dc, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | ClassicFlags(enabled, flat, down));
}

void RenderUpDownButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down, bool lowerHalf)
{
    if (Themed() && ThemeServices()->DrawBackground(dc, "SPIN", lowerHalf ? SPNP_DOWN : SPNP_UP,
                                                    ElementState(enabled, active, down), r))
        return;
    DrawFrameControl(dc, r, DFC_SCROLL, (lowerHalf ? DFCS_SCROLLDOWN : DFCS_SCROLLUP) | ClassicFlags(enabled, flat, down));
}

std::vector<TRect> EllipsisDots(const TRect& inner, bool down)
{
    const int w = inner.Width(), h = inner.Height();
    const int s = w > 7 ? 2 : 1;
    const int g = w < 12 ? 1 : 2;
    const int d = down ? 1 : 0;
    const int x = inner.Left + w / 2 + d - s / 2;
    const int y = inner.Top + h / 2 + d - s / 2;
    return {Bounds(x - g - s, y, s, s), Bounds(x, y, s, s), Bounds(x + s + g, y, s, s)};
}

std::vector<TRect> PlusMinusBars(const TRect& inner, bool flat, bool plus, bool down)
{
    const int w = inner.Width(), h = inner.Height();
    const int m = std::min(w, h);
    int len = std::max(1, m * 4 / 7);
    const int thick = std::max(1, len / 3);
    if (flat) --len;
    if (len % 2 != m % 2) ++len;
    if (plus && len % 2 != thick % 2) len += m < 12 ? 1 : -1;
    const int d = down ? 1 : 0;
    const int left = inner.Left + (w - len) / 2 + d;
    const int top = inner.Top + (h - thick) / 2 + d;
    std::vector<TRect> bars{Bounds(left, top, len, thick)};
    if (plus) {
        const int p = len / 2 - thick / 2;
        bars.push_back(Bounds(left + p, top - p, thick, len));
    }
    return bars;
}

void RenderEllipsisButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down)
{
    const TRect inner = DrawPushFace(dc, r, enabled, flat, active, down, false);
    DrawGlyph(dc, EllipsisDots(inner, down), enabled);
}

void RenderPlusMinusButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down, bool plus)
{
    const TRect inner = DrawPushFace(dc, r, enabled, flat, active, down, true);
    DrawGlyph(dc, PlusMinusBars(inner, flat, plus, down), enabled);
}

void RenderSingleButton(HDC dc, TButtonDrawStyleEh style, TRect r, bool enabled, bool flat, bool active, bool down,
                        bool lowerHalf)
{
    const bool themed = Themed();
    std::unique_ptr<TClipKeeper> clip;
    if (active && flat && !themed) {
        clip = std::make_unique<TClipKeeper>(dc);
        IntersectClip(dc, Inflated(r, -1));
    }
    // A flat face pushes the 3-D border out: past the clip when active, out
    // of the face's own area when not.
    const int grow = flat && !themed ? (active ? 1 : 2) : 0;
    const TRect face = Inflated(r, grow);
    switch (style) {
    case bdsDropDownEh:
        RenderDropDownButton(dc, face, enabled, flat, active, down);
        break;
    case bdsEllipsisEh:
        RenderEllipsisButton(dc, face, enabled, flat, active, down);
        break;
    case bdsUpDownEh:
        RenderUpDownButton(dc, face, enabled, flat, active, down, lowerHalf);
        break;
    case bdsPlusEh:
    case bdsMinusEh:
        RenderPlusMinusButton(dc, face, enabled, flat, active, down, style == bdsPlusEh);
        break;
    default:
        break;
    }
    if (clip) {
        clip.reset();
        TRect edge = r;
        DrawEdge(dc, edge, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
}

}  // namespace ToolCtrlsEh

TBitmap* TButtonsBitmapCache::GetButtonBitmap(ButtonBitmapKey key)
{
    key.Width = std::max(0, key.Width);
    key.Height = std::max(0, key.Height);
    for (const auto& item : FItems)
        if (item->Key == key) return item->Bitmap.get();
    auto item = std::make_unique<TButtonBitmapInfoBitmapEh>();
    item->Key = key;
    item->Bitmap = std::make_unique<TBitmap>(key.Width, key.Height);
    HDC dc = item->Bitmap->Canvas()->Handle();
    const TRect whole{0, 0, key.Width, key.Height};
    const auto style = static_cast<TButtonDrawStyleEh>(key.DrawStyle);
    switch (style) {
    case bdsCheckBoxEh:
        ToolCtrlsEh::RenderCheckBox(dc, whole, static_cast<TCheckBoxState>(key.CheckState), key.Enabled, key.Flat, key.Down,
                       key.Active);
        break;
    case bdsDropDownEh:
    case bdsEllipsisEh:
    case bdsUpDownEh:
    case bdsPlusEh:
    case bdsMinusEh:
        ToolCtrlsEh::RenderSingleButton(dc, style, whole, key.Enabled, key.Flat, key.Active, key.Down, key.LowerHalf);
        break;
    default:
        break;
    }
    FItems.push_back(std::move(item));
    return FItems.back()->Bitmap.get();
}

namespace ToolCtrlsEh {

TBitmap* GetCachedButtonBitmap(const ButtonBitmapKey& key) { return SharedButtonBitmaps().GetButtonBitmap(key); }

void FlushButtonBitmapCache() { SharedButtonBitmaps().Clear(); }

void RenderButtonControl(HDC dc, TRect r, TColor parentColor, TButtonDrawStyleEh style, int heldButton, bool flat,
                         bool active, bool enabled, TCheckBoxState state)
{
    if (style == bdsCheckBoxEh) {
        TRect square = CentredSquare(r);
        if (flat) square = Inflated(square, -1);
        if (UseButtonBitmapCache) {
            ButtonBitmapKey key{square.Width(), square.Height(), bdsCheckBoxEh, flat, heldButton != 0, active,
                                enabled, false, static_cast<uint8_t>(state)};
            CopyStretched(dc, square, GetCachedButtonBitmap(key));
        } else {
            RenderCheckBox(dc, square, state, enabled, flat, heldButton != 0, active);
        }
        if (flat) {
            square = Inflated(square, 1);
            if (active) {
                DrawEdge(dc, square, BDR_SUNKENOUTER, BF_RECT);
            } else {
                FrameColor(dc, square, parentColor);
            }
        }
        return;
    }
    // A flat button of an inactive owner shows no border: its outer pixel
    // takes the parent's colour.
    const bool framed = flat && !active && !Themed();
    const TRect whole = r;
    if (framed) r = Inflated(r, -1);
    std::unique_ptr<TClipKeeper> clip;
    if (framed && !UseButtonBitmapCache) {
        clip = std::make_unique<TClipKeeper>(dc);
        IntersectClip(dc, Inflated(r, -1));
    }
    auto face = [&](const TRect& at, bool down, bool lowerHalf) {
        if (UseButtonBitmapCache) {
            ButtonBitmapKey key{at.Width(), at.Height(), static_cast<uint8_t>(style), flat, down, active, enabled,
                                lowerHalf, cbUnchecked};
            CopyStretched(dc, at, GetCachedButtonBitmap(key));
        } else {
            RenderSingleButton(dc, style, at, enabled, flat, active, down, lowerHalf);
        }
    };
    if (style == bdsUpDownEh) {
        const int half = whole.Height() / 2;
        TRect upper{whole.Left, whole.Top, whole.Right, whole.Top + half};
        TRect lower{whole.Left, whole.Bottom - half, whole.Right, whole.Bottom};
        if (framed) {
            upper = Inflated(upper, -1);
            lower = Inflated(lower, -1);
        }
        face(upper, heldButton == 1, false);
        face(lower, heldButton == 2, true);
        TRect band{r.Left, whole.Top + half, r.Right, whole.Bottom - half};
        if (framed) band = TRect{band.Left, band.Top - 1, band.Right, band.Bottom + 1};
        if (band.Height() > 0) FillColor(dc, band, parentColor);
    } else {
        face(r, heldButton != 0, false);
    }
    if (framed) {
        clip.reset();
        FrameColor(dc, whole, parentColor);
    }
}

TRect PlaceCheckBoxRect(const TRect& cell, TAlignment alignment, TTextLayout layout)
{
    const int w = std::min(CheckBoxWidth(), cell.Width());
    const int h = std::min(CheckBoxHeight(), cell.Height());
    int left = cell.Left, top = cell.Top;
    if (cell.Width() > w) {
        if (alignment == taRightJustify) left = cell.Right - w;
        else if (alignment == taCenter) left = cell.Left + cell.Width() / 2 - w / 2;
    }
    if (cell.Height() > h) {
        if (layout == tlCenter) top = cell.Top + cell.Height() / 2 - h / 2;
        else if (layout == tlBottom) top = cell.Bottom - h;
    }
    return Bounds(left, top, w, h);
}

int FlatButtonWidthFor(int fontHeight, int scrollBarWidth)
{
    int w = static_cast<int>(std::lround(fontHeight * 2.0 / 3.0));
    if (w % 2 == 0) ++w;
    return std::min(w, scrollBarWidth);
}

int MeasureFlatButtonWidth()
{
    HDC dc = GetDC(nullptr);
    TTextMetric tm;
    GetTextMetrics(dc, &tm);
    ReleaseDC(nullptr, dc);
    return FlatButtonWidthFor(tm.tmHeight, GetSystemMetrics(SM_CXVSCROLL));
}

int FlatEditButtonWidth()
{
    static const int width = MeasureFlatButtonWidth();
    return width;
}

int EditButtonHeightFor(int width, bool flat)
{
    // Halves go to the even neighbour, as the rounding of the platform does.
    return flat ? static_cast<int>(std::nearbyint(width * 3.0 / 2.0)) : width;
}

}  // namespace ToolCtrlsEh

// ---- edit buttons ------------------------------------------------------------

QZ_CLASS_IMPL_PROPS(TEditButtonEh, TCollectionItem, [](std::vector<TPropInfo>& p) {
    TEditButtonEh::DefineStoredProps(p, false);
})
QZ_CLASS_IMPL_PROPS(TVisibleEditButtonEh, TEditButtonEh, [](std::vector<TPropInfo>& p) {
    TEditButtonEh::DefineStoredProps(p, true);
})
QZ_CLASS_IMPL(TEditButtonsEh, TCollection)
QZ_CLASS_IMPL(TEditButtonControlEh, TSpeedButton)
QZ_CLASS_IMPL(TSpeedButtonEh, TEditButtonControlEh)

namespace {

std::unique_ptr<TBitmap> NewGlyph()
{
    auto g = std::make_unique<TBitmap>();
    g->SetTransparent(true);
    return g;
}

}  // namespace

void TEditButtonEh::DefineStoredProps(std::vector<TPropInfo>& p, bool visibleDefaults)
{
    using C = TEditButtonEh;
    p.push_back(PublishObject<C>("DropdownMenu", &C::DropdownMenu, [](C* b, TPopupMenu* v) { b->SetDropdownMenu(v); }));
    p.push_back(PublishObject<C>("Glyph", &C::Glyph, [](C* b, TBitmap* v) { b->SetGlyph(v); }));
    p.back().StoredBy([](TObject* o) { return !static_cast<C*>(o)->Glyph()->Empty(); });
    p.push_back(PublishString<C>("Hint", &C::Hint, [](C* b, const std::string& v) { b->SetHint(v); }));
    p.push_back(PublishInt<C>("NumGlyphs", &C::NumGlyphs, [](C* b, int v) { b->SetNumGlyphs(v); }, 1));
    p.push_back(PublishInt<C>("ShortCut", &C::ShortCut, [](C* b, TShortCut v) { b->SetShortCut(v); },
                              visibleDefaults ? DefaultEditButtonShortCut : 0));
    p.push_back(PublishEnum<C>("Style", &C::Style, [](C* b, TEditButtonStyleEh v) { b->SetStyle(v); }, ebsDropDownEh));
    p.push_back(PublishBool<C>("Visible", &C::Visible, [](C* b, bool v) { b->SetVisible(v); }, visibleDefaults));
    p.push_back(PublishInt<C>("Width", &C::Width, [](C* b, int v) { b->SetWidth(v); }, 0));
    p.push_back(PublishEvent("OnClick", &C::OnClick, "TButtonClickEventEh"));
    p.push_back(PublishEvent("OnDown", &C::OnDown, "TButtonDownEventEh"));
}

TEditButtonEh::TEditButtonEh(TCollection* collection) : TCollectionItem(collection), FGlyph(NewGlyph()) {}

TEditButtonEh::TEditButtonEh(TWinControl* editControl) : FGlyph(NewGlyph()), FEditControl(editControl) {}

TEditButtonEh::~TEditButtonEh() = default;

void TEditButtonEh::Assign(TPersistent* source)
{
    auto* b = DynamicCast<TEditButtonEh>(source);
    if (!b) {
        inherited::Assign(source);
        return;
    }
    SetDropdownMenu(b->DropdownMenu());
    SetGlyph(b->Glyph());
    SetHint(b->Hint());
    SetNumGlyphs(b->NumGlyphs());
    SetShortCut(b->ShortCut());
    SetStyle(b->Style());
    SetVisible(b->Visible());
    SetWidth(b->Width());
    OnClick = b->OnClick;
    OnDown = b->OnDown;
}

void TEditButtonEh::SetGlyph(TBitmap* v)
{
    if (v != FGlyph.get()) {
        if (v) {
            FGlyph->Assign(v);
        } else {
            FGlyph = NewGlyph();
        }
    }
    NotifyChanged();
}

void TEditButtonEh::SetHint(const std::string& v)
{
    if (v == FHint) return;
    FHint = v;
    NotifyChanged();
}

void TEditButtonEh::SetNumGlyphs(int v)
{
    v = std::clamp(v, 1, 4);
    if (v == FNumGlyphs) return;
    FNumGlyphs = v;
    NotifyChanged();
}

void TEditButtonEh::SetStyle(TEditButtonStyleEh v)
{
    if (v == FStyle) return;
    FStyle = v;
    NotifyChanged();
}

void TEditButtonEh::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    NotifyChanged();
}

void TEditButtonEh::SetWidth(int v)
{
    if (v == FWidth) return;
    FWidth = v;
    NotifyChanged();
}

void TEditButtonEh::NotifyChanged()
{
    if (auto handler = OnButtonChanged) {
        handler(this);
    } else if (Collection()) {
        Changed(false);
    }
}

TEditButtonControlEh* TEditButtonEh::MakeButtonControl()
{
    TWinControl* edit = EditControl();
    auto* c = new TEditButtonControlEh(edit);
    c->SetControlStyle(c->ControlStyle() + TControlStyle{csReplicatable});
    c->SetParent(edit);
    c->SetBounds(0, 0, 10, 17);
    c->SetVisible(true);
    c->SetTransparent(false);
    return c;
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TCollection* collection) : TEditButtonEh(collection)
{
    SetVisible(true);
    SetShortCut(DefaultEditButtonShortCut);
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TWinControl* editControl) : TEditButtonEh(editControl)
{
    SetVisible(true);
    SetShortCut(DefaultEditButtonShortCut);
}

TEditButtonsEh::TEditButtonsEh(TPersistent* owner, TCollectionItemClass itemClass)
    : TCollection(itemClass ? itemClass : TVisibleEditButtonEh::StaticClass()), FOwner(owner)
{
}

void TEditButtonsEh::Update(TCollectionItem* item)
{
    inherited::Update(item);
    if (auto handler = OnButtonsChanged) handler(item);
}

TEditButtonControlEh::TEditButtonControlEh(TComponent* owner) : TSpeedButton(owner) {}

TEditButtonControlEh::~TEditButtonControlEh() = default;

void TEditButtonControlEh::SetActive(bool v)
{
    if (v == FActive) return;
    FActive = v;
    Invalidate();
}

void TEditButtonControlEh::SetStyle(TEditButtonStyleEh v)
{
    if (v == FStyle) return;
    FStyle = v;
    Invalidate();
}

void TEditButtonControlEh::SetAlwaysPressed(bool v)
{
    if (v == FAlwaysPressed) return;
    FAlwaysPressed = v;
    if (v) {
        SetGroupIndex(1);
        SetDown(true);
        SetAllowAllUp(false);
        FDownButton = 1;
    } else {
        SetAllowAllUp(true);
        SetDown(false);
        SetGroupIndex(0);
        FDownButton = 0;
    }
    Invalidate();
}

void TEditButtonControlEh::DoDown(bool topButton, bool& autoRepeat)
{
    if (auto handler = OnDown) handler(this, topButton, autoRepeat);
}

void TEditButtonControlEh::UpdateDownButton(int y)
{
    const TButtonState s = ButtonState();
    int v = 0;
    if (s == bsDown || s == bsExclusive) {
        if (FStyle == ebsUpDownEh) {
            // The middle row (two of an odd height) belongs to neither half.
            const int half = Height() / 2;
            v = y < half ? 1 : y > Height() - half ? 2 : 0;
        } else {
            v = 1;
        }
    }
    if (v == FDownButton) return;
    FDownButton = v;
    Invalidate();
}

void TEditButtonControlEh::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    bool autoRepeat = FStyle == ebsUpDownEh;
    TWeakRef<TEditButtonControlEh> guard(this);
    inherited::MouseDown(button, shift, x, y);
    if (!guard || button != mbLeft) return;
    FHeld = true;
    FReleased = false;
    UpdateDownButton(y);
    if (FDownButton == 0) return;
    DoDown(FDownButton == 1, autoRepeat);
    if (guard && autoRepeat) StartRepeat(400);
}

void TEditButtonControlEh::MouseMove(TShiftState shift, int x, int y)
{
    inherited::MouseMove(shift, x, y);
    if (!FHeld || FStyle != ebsUpDownEh) return;
    // Leaving the held half lets the button up; it never takes the other half.
    bool released = false;
    if (State() == bsDown) {
        const int half = Height() / 2;
        released = (FDownButton == 2 && y < half) || (FDownButton == 1 && y > Height() - half);
    }
    if (released == FReleased) return;
    FReleased = released;
    Invalidate();
}

void TEditButtonControlEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TEditButtonControlEh> guard(this);
    // A release after the pointer left the held half is no click.
    FSuppressClick = FStyle == ebsUpDownEh && FHeld && ButtonState() == bsUp;
    inherited::MouseUp(button, shift, x, y);
    if (!guard) return;
    FSuppressClick = false;
    if (button == mbLeft) {
        FHeld = false;
        FReleased = false;
    }
    UpdateDownButton(y);
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TEditButtonControlEh::Click()
{
    if (!FSuppressClick) inherited::Click();
}

void TEditButtonControlEh::StartRepeat(UINT interval)
{
    if (!FRepeatTimer) {
        FRepeatTimer = std::make_unique<TTimer>();
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->OnTimer = [this](TObject*) { RepeatTick(); };
    }
    if (FRepeatTimer->Enabled() && FRepeatTimer->Interval() == interval) return;
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(interval);
    FRepeatTimer->SetEnabled(true);
}

void TEditButtonControlEh::RepeatTick()
{
    bool autoRepeat = FStyle == ebsUpDownEh;
    // Held outside the button: wait for the pointer to come back or the release.
    if (ButtonState() != bsDown) return;
    if (FRepeatTimer->Interval() == 400) StartRepeat(100);
    TWeakRef<TEditButtonControlEh> guard(this);
    DoDown(FDownButton == 1, autoRepeat);
    if (guard && !autoRepeat) FRepeatTimer->SetEnabled(false);
}

void TEditButtonControlEh::Paint()
{
    const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
    const TButtonState s = ButtonState();
    const bool pressed = s == bsDown || s == bsExclusive;
    HDC dc = Canvas()->Handle();
    if (FStyle != ebsGlyphEh) {
        ToolCtrlsEh::RenderButtonControl(dc, ClientRect(), parentColor, ToolCtrlsEh::ButtonDrawStyle(FStyle),
                                         pressed ? FDownButton : 0, Flat(), FActive, Enabled(), cbUnchecked);
        return;
    }
    if (ThemeServices()->Available() || !Flat()) {
        inherited::Paint();
        return;
    }
    const TRect r = ClientRect();
    {
        ToolCtrlsEh::TClipKeeper clip(dc);
        IntersectClipRect(dc, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        inherited::Paint();
    }
    if (FActive) {
        TRect edge = r;
        DrawEdge(dc, edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
        ToolCtrlsEh::FrameColor(dc, r, parentColor);
    }
}

namespace ToolCtrlsEh {

int EditButtonWidth(const TEditButtonEh* button, bool flatEdit)
{
    if (!button->Visible()) return 0;
    if (button->Width() > 0) return button->Width();
    return flatEdit ? FlatEditButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

int EditButtonHeight(int width, int clientHeight, bool flatEdit)
{
    if (static_cast<int>(std::nearbyint(width * 3.0 / 2.0)) >= clientHeight) return clientHeight;
    return EditButtonHeightFor(width, flatEdit);
}

TButtonDrawStyleEh ButtonDrawStyle(TEditButtonStyleEh style)
{
    switch (style) {
    case ebsEllipsisEh:
        return bdsEllipsisEh;
    case ebsUpDownEh:
        return bdsUpDownEh;
    case ebsPlusEh:
        return bdsPlusEh;
    case ebsMinusEh:
        return bdsMinusEh;
    default:
        return bdsDropDownEh;
    }
}

}  // namespace ToolCtrlsEh

// ---- drop-down placement and drawing utilities ---------------------------------

namespace ToolCtrlsEh {

TPoint PlaceDropDownInWorkArea(const TRect& r, const TRect& work, TControl* d, TAlignment alignment)
{
    const bool fitsBelow = r.Bottom + d->Height() <= work.Bottom;
    const bool fitsAbove = r.Top - d->Height() >= work.Top;
    const bool above = (!fitsBelow && fitsAbove) || (!fitsAbove && r.Top - work.Top > work.Bottom - r.Bottom);
    int top;
    if (above) {
        if (!fitsAbove) d->SetHeight(r.Top - work.Top);
        top = r.Top - d->Height();
        d->Perform(WM_GRIPFLIPEH, gfToTopEh, 0);
    } else {
        if (!fitsBelow) d->SetHeight(work.Bottom - r.Bottom);
        top = r.Bottom;
        d->Perform(WM_GRIPFLIPEH, gfToBottomEh, 0);
    }
    int left = alignment == taRightJustify ? r.Right - d->Width()
               : alignment == taCenter    ? r.Left - (d->Width() - r.Width()) / 2
                                          : r.Left;
    if (work.Width() < d->Width()) d->SetWidth(work.Width());
    // The grip goes to the side the window grows toward.
    TGripFlipEh side = alignment == taRightJustify ? gfToLeftEh : gfToRightEh;
    if (left + d->Width() > work.Right) {
        left = work.Right - d->Width();
        side = gfToLeftEh;
    } else if (left < work.Left) {
        left = work.Left;
        side = gfToRightEh;
    }
    d->Perform(WM_GRIPFLIPEH, side, 0);
    return Point(left, top);
}

TPoint PlaceDropDownByRect(const TRect& ownerRect, TControl* dropDown, TAlignment alignment)
{
    TRect work = Screen ? Screen->WorkAreaRect() : ownerRect;
    if (Screen)
        if (TMonitor* m = Screen->MonitorFromRect(ownerRect)) work = m->WorkareaRect;
    return PlaceDropDownInWorkArea(ownerRect, work, dropDown, alignment);
}

TPoint PlaceDropDownByControl(TControl* owner, TControl* dropDown, TAlignment alignment)
{
    TPoint p{owner->Left(), owner->Top()};
    if (owner->Parent()) p = owner->Parent()->ClientToScreen(p);
    return PlaceDropDownByRect(Bounds(p.X, p.Y, owner->Width(), owner->Height()), dropDown, alignment);
}

TColorRef ImageListColor(TColor color)
{
    if (color == clNone) return ImageListNoColor;
    if (color == clDefault) return ImageListDefaultColor;
    return ColorToRGB(color);
}

void PaintImageListItem(TCanvas* canvas, TCustomImageList* images, TPoint at, bool selected, int index)
{
    if (!images || index < 0 || index >= images->Count()) return;
    const int w = images->Width(), h = images->Height();
    std::vector<TColorRef> before;
    if (selected) {
        before.reserve(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) before.push_back(ColorToRGB(canvas->Pixels(at.X + x, at.Y + y)));
    }
    images->Draw(canvas, at.X, at.Y, index, true);
    if (!selected) return;
    // The selected look: what the image covered, half in the highlight colour.
    const TColorRef hl = ColorToRGB(clHighlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColorRef c = ColorToRGB(canvas->Pixels(at.X + x, at.Y + y));
            if (c == before[size_t(y) * w + x]) continue;
            canvas->SetPixels(at.X + x, at.Y + y,
                              TColor(RGB((GetRValue(c) + GetRValue(hl)) / 2, (GetGValue(c) + GetGValue(hl)) / 2,
                                         (GetBValue(c) + GetBValue(hl)) / 2)));
        }
}

void PaintCentredImage(TCanvas* canvas, const TRect& r, TCustomImageList* images, bool selected, int index)
{
    if (!images) return;
    const TRect image = Bounds((r.Left + r.Right - images->Width()) / 2, (r.Top + r.Bottom - images->Height()) / 2,
                               images->Width(), images->Height());
    const TPoint at{image.Left, image.Top};
    if (image.Left >= r.Left && image.Top >= r.Top && image.Right <= r.Right && image.Bottom <= r.Bottom) {
        PaintImageListItem(canvas, images, at, selected, index);
        return;
    }
    HDC dc = canvas->Handle();
    TClipKeeper clip(dc);
    IntersectClip(dc, r);
    PaintImageListItem(canvas, images, at, selected, index);
}

void DrawDottedLine(TCanvas* canvas, TPoint start, int length, bool parity, bool horizontal)
{
    if (((start.X + start.Y) % 2 != 0) != parity) {
        if (horizontal) ++start.X;
        else ++start.Y;
        --length;
    }
    if (length <= 0) return;
    const int step = 2 * std::max(1, canvas->Pen()->Width());
    const int count = length / step + (length % 2 == 1 ? 1 : 0);
    std::vector<std::vector<TPoint>> dots;
    dots.reserve(size_t(count));
    TPoint p = start;
    for (int i = 0; i < count; ++i) {
        dots.push_back({p, horizontal ? Point(p.X + 1, p.Y) : Point(p.X, p.Y + 1)});
        if (horizontal) p.X += step;
        else p.Y += step;
    }
    canvas->PolyPolyline(dots);
}

void DrawTreeElement(TCanvas* canvas, const TRect& r, int kind, bool parity, double scaleX, double scaleY)
{
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    auto sx = [&](double n) { return static_cast<int>(n * scaleX); };
    auto sy = [&](double n) { return static_cast<int>(n * scaleY); };
    TPen* pen = canvas->Pen();
    pen->SetStyle(psSolid);
    pen->SetColor(clBtnShadow);
    if (kind >= 0 && kind <= 5) {
        const TRect box{cx - sx(4), cy - sy(4), cx + sx(4) + 1, cy + sy(4) + 1};
        canvas->Brush()->SetColor(clWindow);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Rectangle(box);
        pen->SetColor(clWindowText);
        canvas->MoveTo(box.Left + sx(2), cy);
        canvas->LineTo(box.Right - sx(2), cy);
        if (kind >= 3) {
            canvas->MoveTo(cx, box.Top + sy(2));
            canvas->LineTo(cx, box.Bottom - sy(2));
        }
        pen->SetColor(clBtnShadow);
        DrawDottedLine(canvas, Point(box.Right + sx(1), cy), r.Right - box.Right, false, true);
        if (kind == 0 || kind == 1 || kind == 3 || kind == 4)
            DrawDottedLine(canvas, Point(cx, r.Top), box.Top - r.Top, parity, false);
        if (kind == 0 || kind == 2 || kind == 3 || kind == 5)
            DrawDottedLine(canvas, Point(cx, box.Bottom + sy(1)), r.Bottom - box.Bottom, parity, false);
        return;
    }
    if (kind == 6 || kind == 9) DrawDottedLine(canvas, Point(cx, r.Top), r.Height(), parity, false);
    if (kind == 6 || kind == 7 || kind == 8) DrawDottedLine(canvas, Point(cx, cy), r.Right - cx, false, true);
    if (kind == 8) DrawDottedLine(canvas, Point(cx, cy), r.Bottom - cy, parity, false);
    if (kind == 7) DrawDottedLine(canvas, Point(cx, r.Top), cy - r.Top, parity, false);
}

bool IsDoubleClickPair(TPoint first, TPoint second, uint32_t interval)
{
    return interval <= GetDoubleClickTime() && std::abs(first.X - second.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
           std::abs(first.Y - second.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

bool SameVariantValue(const Variant& a, const Variant& b)
{
    try {
        const bool arrayA = VarIsArray(a), arrayB = VarIsArray(b);
        if (arrayA != arrayB) return false;
        if (arrayA && VarArrayDimCount(a) == VarArrayDimCount(b) && VarArrayLowBound(a, 1) == VarArrayLowBound(b, 1) &&
            VarArrayHighBound(a, 1) == VarArrayHighBound(b, 1)) {
            for (int i = VarArrayLowBound(a, 1); i <= VarArrayHighBound(a, 1); ++i)
                if (!SameVariantValue(VarArrayGet(a, {i}), VarArrayGet(b, {i}))) return false;
            return true;
        }
        if (VarIsEmpty(a) != VarIsEmpty(b)) return false;
        return a == b;
    } catch (const std::exception&) {
        // Values that cannot be compared (text against a number, arrays of
        // other shapes) are not the same.
        return false;
    }
}

}  // namespace ToolCtrlsEh

// ---- recent values and distinct values ------------------------------------------

QZ_CLASS_IMPL(TMRUListEh, TPersistent)
QZ_CLASS_IMPL(TDataLinkEh, TDataLink)
QZ_CLASS_IMPL(TDatasetFieldValueListEh, TObject)

TMRUListEh::TMRUListEh(TPersistent* owner) : FOwner(owner), FItems(std::make_unique<TStringList>()) {}

TMRUListEh::~TMRUListEh() = default;

void TMRUListEh::Assign(TPersistent* source)
{
    auto* m = DynamicCast<TMRUListEh>(source);
    if (!m) {
        inherited::Assign(source);
        return;
    }
    SetActive(m->Active());
    SetItems(m->Items());
    SetLimit(m->Limit());
    SetRows(m->Rows());
    SetCaseSensitive(m->CaseSensitive());
}

void TMRUListEh::SetActive(bool v)
{
    if (v == FActive) return;
    FActive = v;
    if (auto handler = OnActiveChanged) handler(this);
}

void TMRUListEh::SetItems(TStrings* v)
{
    FItems->Assign(v);
}

void TMRUListEh::SetLimit(int v)
{
    FLimit = std::max(0, v);
    Trim();
}

void TMRUListEh::Trim()
{
    while (FItems->Count() > FLimit) FItems->Delete(0);
}

void TMRUListEh::AddItem(const std::string& s)
{
    if (::Trim(s).empty()) return;
    for (int i = 0; i < FItems->Count(); ++i) {
        const std::string& item = FItems->Strings(i);
        if (FCaseSensitive ? AnsiSameStr(item, s) : AnsiSameText(item, s)) {
            // The stored letters and case are kept.
            FItems->Move(i, FItems->Count() - 1);
            return;
        }
    }
    FItems->Add(s);
    Trim();
}

bool TMRUListEh::CollectMatches(TStrings* target, const std::string& prefix)
{
    target->BeginUpdate();
    target->Clear();
    bool complete = true;
    for (int i = 0; i < FItems->Count(); ++i) {
        const std::string& item = FItems->Strings(i);
        const std::string head = item.substr(0, prefix.size());
        bool accept = FCaseSensitive ? AnsiSameStr(head, prefix) : AnsiSameText(head, prefix);
        if (auto filter = OnFilterItem) filter(this, accept);
        if (accept) target->Add(item);
        // A long list gives way to the user's next key.
        if (i % 100 == 0 && FGiveWay) {
            TMsg msg;
            if (PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) {
                complete = false;
                break;
            }
        }
    }
    target->EndUpdate();
    return complete;
}

void TMRUListEh::NotifyCloseUp(bool accept)
{
    if (auto handler = OnSetCloseUpEh) handler(this, accept);
}

void TMRUListEh::NotifyDropDown()
{
    if (auto handler = OnSetDropDownEh) handler(this);
}

void TDataLinkEh::DataEvent(TDataEvent event, intptr_t info)
{
    inherited::DataEvent(event, info);
    if (auto handler = OnDataEvent) handler(event, info);
}

TDatasetFieldValueListEh::TDatasetFieldValueListEh()
    : FValues(std::make_unique<TStringList>()), FDataSource(std::make_unique<TDataSource>()),
      FDataLink(std::make_unique<TDataLinkEh>())
{
    FValues->SetCaseSensitive(false);
    FValues->SetDuplicates(dupIgnore);
    FValues->SetSorted(true);
    FDataLink->SetDataSource(FDataSource.get());
    FDataLink->OnDataEvent = [this](TDataEvent event, intptr_t info) { DataSetEvent(event, info); };
}

TDatasetFieldValueListEh::~TDatasetFieldValueListEh()
{
    FDataLink->SetDataSource(nullptr);
}

void TDatasetFieldValueListEh::SetValueFieldName(const std::string& v)
{
    if (v == FValueFieldName) return;
    FValueFieldName = v;
    FObsolete = true;
}

void TDatasetFieldValueListEh::SetSourceDataSet(TDataSet* v)
{
    if (v == FDataSource->DataSet()) return;
    FDataSource->SetDataSet(v);
    FObsolete = true;
}

void TDatasetFieldValueListEh::DataSetEvent(TDataEvent event, intptr_t info)
{
    if (event == deDataSetChange || event == dePropertyChange || event == deFieldListChange) FObsolete = true;
}

TStrings* TDatasetFieldValueListEh::DistinctValues()
{
    if (FObsolete) RefreshValues();
    return FValues.get();
}

void TDatasetFieldValueListEh::RefreshValues()
{
    FValues->Clear();
    TDataSet* ds = SourceDataSet();
    if (!ds || !ds->Active()) return;
    TField* field = ds->FindField(FValueFieldName);
    if (!field) return;
    ds->DisableControls();
    // The walk leaves the user's record current again.
    const TBookmark saved = ds->Bookmark();
    try {
        ds->First();
        while (!ds->Eof()) {
            FValues->Add(field->Text());
            ds->Next();
        }
        if (!saved.empty() && ds->BookmarkValid(saved)) ds->GotoBookmark(saved);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
    FObsolete = false;
}

// ---- popup list box ---------------------------------------------------------------

QZ_CLASS_IMPL(TPopupListboxEh, TCustomListBox)
QZ_CLASS_IMPL(TMRUListboxEh, TPopupListboxEh)

namespace {
constexpr uint32_t PopupListIncSearchTimeout = 2000;
constexpr size_t PopupListIncSearchMax = 32;
}  // namespace

TPopupListboxEh::TPopupListboxEh(TComponent* owner) : TCustomListBox(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetStyle(lbOwnerDrawFixed);
    SetBorderStyle(bsNone);
    SetCtl3D(true);
    SetParentCtl3D(false);
}

int TPopupListboxEh::NonClientHeight() const
{
    return (BorderStyle() == bsSingle ? 4 : 0) + 2 * FrameWidth();
}

int TPopupListboxEh::RowHeight() const
{
    if (ItemHeight() > 0) return ItemHeight();
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(Font());
    return std::max(1, probe.Canvas()->TextHeight("0"));
}

void TPopupListboxEh::SetShownRows(int rows)
{
    SetBounds(Left(), Top(), Width(), std::max(rows, 1) * RowHeight() + NonClientHeight());
}

void TPopupListboxEh::SetBounds(int left, int top, int width, int height)
{
    const int nonClient = NonClientHeight(), row = RowHeight();
    FRowCount = std::max(1, (height - nonClient) / row);
    height = nonClient + row * FRowCount;
    if (!ComponentState().Contains(csReading) && !ComponentState().Contains(csDestroying)) {
        width = std::max(width, GetSystemMetrics(SM_CXVSCROLL));
        height = std::max(height, GetSystemMetrics(SM_CYHSCROLL));
    }
    inherited::SetBounds(left, top, width, height);
    FResized = true;
}

void TPopupListboxEh::SetImages(TCustomImageList* v)
{
    FImages = v;
    Invalidate();
}

void TPopupListboxEh::SetVirtualItems(TStrings* v)
{
    FVirtualItems = v;
    // The platform's list box keeps its own texts: it shows a copy.
    if (v) Items()->Assign(v);
    else Items()->Clear();
}

void TPopupListboxEh::KeyPress(char& key)
{
    if (key == '\b' || key == 27) {
        FIncSearchText.clear();
    } else if (static_cast<unsigned char>(key) >= 32) {
        const uint32_t now = GetTickCount();
        if (now - FIncSearchTick > PopupListIncSearchTimeout) FIncSearchText.clear();
        FIncSearchTick = now;
        if (FIncSearchText.size() < PopupListIncSearchMax) FIncSearchText += key;
        for (int i = 0; i < Count(); ++i) {
            const std::string item = Items()->Strings(i);
            if (AnsiSameText(item.substr(0, FIncSearchText.size()), FIncSearchText)) {
                SetItemIndex(i);
                break;
            }
        }
        key = 0;
        return;
    }
    inherited::KeyPress(key);
}

void TPopupListboxEh::MouseMove(TShiftState shift, int x, int y)
{
    inherited::MouseMove(shift, x, y);
    const TPoint p{x, y};
    if (p == FLastMousePos) return;
    FLastMousePos = p;
    if (shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle)) return;
    const int index = ItemAtPos(p, true);
    if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
}

bool TPopupListboxEh::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    if (!inherited::DoMouseWheelDown(shift, mousePos)) SetTopIndex(TopIndex() + 1);
    return true;
}

bool TPopupListboxEh::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    if (!inherited::DoMouseWheelUp(shift, mousePos)) SetTopIndex(std::max(0, TopIndex() - 1));
    return true;
}

void TPopupListboxEh::DrawItem(int index, TRect rect, TOwnerDrawState state)
{
    TCustomImageList* images = Images();
    if (!images) {
        inherited::DrawItem(index, rect, state);
        return;
    }
    TCanvas* c = Canvas();
    const bool selected = state.Contains(odSelected);
    const TRect imageArea{rect.Left, rect.Top, rect.Left + images->Width() + 4, rect.Bottom};
    c->Brush()->SetColor(Color());
    c->FillRect(imageArea);
    int imageIndex = index;
    if (auto handler = OnGetImageIndex) handler(Owner(), index, imageIndex);
    ToolCtrlsEh::PaintCentredImage(c, imageArea, images, selected, imageIndex);
    TRect text{rect.Left + images->Width() + 5, rect.Top, rect.Right, rect.Bottom};
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->Font()->Assign(Font());
    if (selected) c->Font()->SetColor(clHighlightText);
    c->FillRect(TRect{imageArea.Right, rect.Top, rect.Right, rect.Bottom});
    c->TextRect(text, text.Left, text.Top, Items()->Strings(index));
    if (state.Contains(odFocused)) c->DrawFocusRect(text);
}

// ---- button strip --------------------------------------------------------------------------

void TEditButtonStripEh::Resize(TWinControl* edit, size_t count, const std::function<TEditButtonControlEh*()>& make)
{
    while (FEntries.size() > count) FEntries.pop_back();
    while (FEntries.size() < count) {
        TEntry e;
        e.Control.reset(make());
        e.Control->SetParent(edit);
        e.Separator = std::make_unique<TShape>(edit);
        e.Separator->SetParent(edit);
        e.Separator->Pen()->SetColor(clBtnFace);
        FEntries.push_back(std::move(e));
    }
    Route(FDown, FClick, FMouseUp);
}

void TEditButtonStripEh::Route(TDownHandler down, TNotifyEvent click, TMouseEvent mouseUp)
{
    FDown = std::move(down);
    FClick = std::move(click);
    FMouseUp = std::move(mouseUp);
    for (TEntry& e : FEntries) {
        e.Control->OnDown = [this](TObject* sender, bool top, bool& autoRepeat) {
            bool handled = false;
            if (FDown) FDown(sender, top, autoRepeat, handled);
        };
        e.Control->OnClick = FClick;
        e.Control->OnMouseUp = FMouseUp;
    }
}

int TEditButtonStripEh::Place(const std::vector<int>& widths, int clientWidth, int height, bool flat, bool rightToLeft)
{
    int edge = rightToLeft ? 0 : clientWidth;
    auto place = [&](TControl* ctl, int w) {
        if (rightToLeft) {
            ctl->SetBounds(edge, 0, w, height);
            edge += w;
        } else {
            ctl->SetBounds(edge - w, 0, w, height);
            edge -= w;
        }
    };
    for (size_t k = FEntries.size(); k-- > 0;) {
        int w = k < widths.size() ? widths[k] : 0;
        place(FEntries[k].Control.get(), w);
        bool sep = flat && w > 0;
        FEntries[k].Separator->SetVisible(sep);
        place(FEntries[k].Separator.get(), sep ? 1 : 0);
    }
    return rightToLeft ? edge : clientWidth - edge;
}

// ---- recent-values list box -----------------------------------------------------------------

void ToolCtrlsEh::ShowDropDownWindow(TWinControl* w, bool show)
{
    w->SetVisible(show);
    if (show || w->HandleAllocated()) ShowWindow(w->Handle(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

TMRUListboxEh::TMRUListboxEh(TComponent* owner) : TPopupListboxEh(owner)
{
    SetCtl3D(false);
    SetVisible(false);
}

void TMRUListboxEh::CreateParams(TCreateParams& p)
{
    TPopupListboxEh::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
}

void TMRUListboxEh::ShowUnder(const TRect& ownerRect, bool first, TColor color, TFont* font, int width, int rows)
{
    if (first) {
        SetColor(color);
        Font()->Assign(font);
        SetItemIndex(-1);
        HandleNeeded();
        SetBounds(Left(), Top(), width, 100);
        SetShownRows(rows);
        SetResized(false);
    }
    TPoint at = ToolCtrlsEh::PlaceDropDownByRect(ownerRect, this, taLeftJustify);
    bool resized = Resized();
    SetBounds(at.X, at.Y, Width(), Height());
    SetResized(resized);
    if (first) ToolCtrlsEh::ShowDropDownWindow(this, true);
}

void TMRUListboxEh::HideList() { ToolCtrlsEh::ShowDropDownWindow(this, false); }

bool TPopupListboxEh::MoveByKey(WORD key, TShiftState shift)
{
    bool plain = !shift.Contains(ssAlt) && !shift.Contains(ssShift);
    bool move = (plain && (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT)) ||
                (shift.Contains(ssCtrl) && (key == VK_HOME || key == VK_END));
    if (!move) return false;
    int n = Count();
    int i = ItemIndex();
    int page = std::max(1, ShownRows() - 1);
    switch (key) {
    case VK_UP: i = i < 0 ? n - 1 : std::max(0, i - 1); break;
    case VK_DOWN: i = std::min(n - 1, i + 1); break;
    case VK_PRIOR: i = std::max(0, i - page); break;
    case VK_NEXT: i = std::min(n - 1, std::max(i, 0) + page); break;
    case VK_HOME: i = 0; break;
    case VK_END: i = n - 1; break;
    default: break;
    }
    if (n > 0) SetItemIndex(i);
    return true;
}

std::string TMRUListboxEh::SelectedText() const
{
    int i = ItemIndex();
    return i >= 0 && i < Count() ? Items()->Strings(i) : std::string();
}

void TMRUListboxEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TControl> guard(this);
    TPopupListboxEh::MouseUp(button, shift, x, y);
    if (guard && button == mbLeft && OnRelease) OnRelease(PtInRect(ClientRect(), Point(x, y)));
}
