#include "frxDesgnWorkspace.h"

#include "Forms.h"
#include "Lists.h"
#include "Menus.h"
#include "SysUtils.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxGraphicData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int RoundI(double v) { return int(std::nearbyint(v)); }

bool IsHorizontalBand(TfrxComponent* c)
{
    auto* b = DynamicCast<TfrxBand>(c);
    return b && !b->Vertical;
}
bool IsVerticalBand(TfrxComponent* c)
{
    auto* b = DynamicCast<TfrxBand>(c);
    return b && b->Vertical;
}
bool IsDiagonalLine(TfrxComponent* c)
{
    auto* l = DynamicCast<TfrxCustomLineView>(c);
    return l && l->Diagonal;
}
bool IsHeaderBand(TfrxComponent* c)
{
    return DynamicCast<TfrxPageHeader>(c) || DynamicCast<TfrxReportTitle>(c) || DynamicCast<TfrxColumnHeader>(c);
}
bool IsFooterBand(TfrxComponent* c)
{
    return DynamicCast<TfrxPageFooter>(c) || DynamicCast<TfrxReportSummary>(c) || DynamicCast<TfrxColumnFooter>(c);
}

// Sets geometry even on objects restricted from moving or sizing.
template <class F> void Unrestricted(TfrxComponent* c, F f)
{
    TfrxRestrictions saved = c->Restrictions();
    c->SetRestrictions({});
    f();
    c->SetRestrictions(saved);
}

}  // namespace

namespace frxDesgnWorkspace {

TfrxHandleKind MirrorHandle(TfrxHandleKind h, bool w, bool hgt)
{
    struct Row { TfrxHandleKind H, W, Hh, Both; };
    static const Row rows[] = {
        {hkTopLeft, hkTopRight, hkBottomLeft, hkBottomRight},
        {hkBottomRight, hkBottomLeft, hkTopRight, hkTopLeft},
        {hkTopRight, hkTopLeft, hkBottomRight, hkBottomLeft},
        {hkBottomLeft, hkBottomRight, hkTopLeft, hkTopRight},
        {hkRight, hkLeft, hkNone, hkNone},
        {hkLeft, hkRight, hkNone, hkNone},
        {hkTop, hkNone, hkBottom, hkNone},
        {hkBottom, hkNone, hkTop, hkNone},
    };
    if (!w && !hgt) return h;
    for (const Row& r : rows)
        if (r.H == h) {
            TfrxHandleKind m = w && hgt ? r.Both : w ? r.W : r.Hh;
            return m == hkNone ? h : m;
        }
    return h;
}

double Round8(double v) { return std::nearbyint(v * 1e8) / 1e8; }

TfrxRect AbsRect(TfrxComponent* c)
{
    double l = c->AbsLeft(), t = c->AbsTop(), r = l + c->Width(), b = t + c->Height();
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return {l, t, r, b};
}

bool Intersects(const TfrxRect& a, const TfrxRect& b)
{
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

}  // namespace frxDesgnWorkspace

using frxDesgnWorkspace::AbsRect;
using frxDesgnWorkspace::Round8;

QZ_CLASS_IMPL(TMarginsPanel, TPanel)
QZ_CLASS_IMPL(TInplaceMemo, TMemo)
QZ_CLASS_IMPL(TfrxDesignerWorkspace, TPanel)

// ---- margins panel ----------------------------------------------------------------------------

TMarginsPanel::TMarginsPanel(TComponent* owner) : TPanel(owner)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
}

TfrxDesignerWorkspace* TMarginsPanel::Workspace() const { return FWorkspace.Get(); }
void TMarginsPanel::SetWorkspace(TfrxDesignerWorkspace* w) { FWorkspace = w; }

TPoint TMarginsPanel::ToWorkspace(int x, int y) const
{
    return ::Point(x - (FWorkspace->Left() - Left()), y - (FWorkspace->Top() - Top()));
}

void TMarginsPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FWorkspace) return;
    TPoint p = ToWorkspace(x, y);
    FWorkspace->DoMouseDown(button, shift, p.X, p.Y);
}

void TMarginsPanel::MouseMove(TShiftState shift, int x, int y)
{
    if (!FWorkspace) return;
    SetCursor(FWorkspace->Cursor());
    if (FWorkspace->Inserting()) {
        FWorkspace->HideInsertionMarker();
        return;
    }
    TPoint p = ToWorkspace(x, y);
    FWorkspace->DoMouseMove(shift, p.X, p.Y);
}

void TMarginsPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FWorkspace) return;
    TPoint p = ToWorkspace(x, y);
    FWorkspace->DoMouseUp(button, shift, p.X, p.Y);
}

void TMarginsPanel::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(::Rect(0, 0, w, h));
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(TColor(0x505050));
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, w - 1, h - 1);
    c->Polyline({::Point(1, h - 1), ::Point(w - 1, h - 1), ::Point(w - 1, 0)});
    c->SetPixels(0, h - 1, TColor(0x808080));
    c->SetPixels(w - 1, 0, TColor(0x808080));
    if (!FWorkspace) return;
    const double s = FWorkspace->Scale();
    const TRect m = FWorkspace->Margins();
    const int l = RoundI(m.Left * s), t = RoundI(m.Top * s);
    const int r = w - RoundI(m.Right * s), b = h - RoundI(m.Bottom * s);
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetColor(TColor(0xC0C0C0));
    c->Polyline({::Point(l - 1, t - 1), ::Point(l - 1, b), ::Point(r, b), ::Point(r, t - 1), ::Point(l - 1, t - 1)});
}

// ---- in-place editor --------------------------------------------------------------------------

TInplaceMemo::TInplaceMemo(TComponent* owner) : TMemo(owner)
{
    SetWordWrap(false);
    SetVisible(false);
}

TfrxDesignerWorkspace* TInplaceMemo::Surface() const { return DynamicCast<TfrxDesignerWorkspace>(Owner()); }

void TInplaceMemo::Edit(TfrxCustomMemoView* memo)
{
    TfrxDesignerWorkspace* w = Surface();
    const double s = w ? w->Scale() : 1;
    FMemo = memo;
    std::string text = memo->Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    FOriginal = text;
    Lines()->SetText(text);
    FPixelWidth = RoundI(memo->Width() * s + 1);
    FPixelHeight = RoundI(memo->Height() * s + 1);
    SetBounds(RoundI(memo->AbsLeft() * s), RoundI(memo->AbsTop() * s), FPixelWidth, FPixelHeight);
    const TfrxFont* f = memo->Font();
    Font()->SetName(f->Name());
    Font()->SetColor(f->Color());
    Font()->SetCharset(TFontCharset(f->Charset()));
    Font()->SetStyle(TFontStyles::FromInt(uint64_t(f->Style())));
    Font()->SetHeight(RoundI(f->Height() * s));
    SetColor(memo->Color == clNone ? clWhite : memo->Color);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
    SetVisible(true);
    if (CanFocus()) SetFocus();
    SelectAll();
}

void TInplaceMemo::GrowToText()
{
    TfrxDesignerWorkspace* w = Surface();
    if (!w) return;
    TCanvas* c = w->Canvas();
    c->Font()->Assign(Font());
    const int fh = std::abs(Font()->Height());
    const int need = Lines()->Count() * (fh + 3) + 4;
    if (need > Height() + fh) SetHeight(need);
    int widest = 0;
    for (int i = 0; i < Lines()->Count(); ++i) widest = std::max(widest, c->TextWidth(Lines()->Strings(i)));
    if (Width() < widest + 6) SetWidth(widest + 6);
}

void TInplaceMemo::KeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_ESCAPE) {
        key = 0;
        EditDone(false);
        return;
    }
    TMemo::KeyDown(key, shift);
}

void TInplaceMemo::KeyUp(WORD& key, TShiftState shift)
{
    TMemo::KeyUp(key, shift);
    if (FMemo) GrowToText();
}

void TInplaceMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TMemo::MouseDown(button, shift, x, y);
}

void TInplaceMemo::EditDone(bool commit)
{
    if (!FMemo) return;
    TfrxDesignerWorkspace* w = Surface();
    const double s = w ? w->Scale() : 1;
    TfrxCustomMemoView* memo = FMemo;
    FMemo = nullptr;
    std::string text = Lines()->Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    else if (!text.empty() && text.back() == '\n') text.pop_back();
    const bool sized = Width() != FPixelWidth || Height() != FPixelHeight;
    if (commit && (text != FOriginal || sized)) {
        memo->SetText(text);
        if (Width() != FPixelWidth) memo->SetWidth((Width() + 5) / s);
        if (Height() != FPixelHeight) memo->SetHeight((Height() + 5) / s);
        if (w) {
            w->Modified = true;
            w->NotifyModified();
        }
    }
    SetVisible(false);
    if (w) {
        w->Invalidate();
        w->SetCursor(crDefault);
    }
}

// ---- the surface: state -----------------------------------------------------------------------

TfrxDesignerWorkspace::TfrxDesignerWorkspace(TComponent* owner) : TPanel(owner)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    FMarginsPanel = new TMarginsPanel(owner);
    FMarginsPanel->SetWorkspace(this);
    FMarginsPanel->SetColor(FColor);
    FInplaceMemo = new TInplaceMemo(this);
    FInplaceMemo->SetParent(this);
    FBandIcon = std::make_unique<TBitmap>(16, 16);
    TCanvas* ic = FBandIcon->Canvas();
    ic->Brush()->SetColor(clFuchsia);
    ic->FillRect(::Rect(0, 0, 16, 16));
    ic->Brush()->SetColor(TColor(0x808000));
    for (int row = 0; row < 3; ++row) ic->FillRect(::Rect(2, 3 + row * 4, 14, 5 + row * 4));
    FBandIcon->SetTransparent(true);
    // The pencil shown while placing lines: a diagonal stroke, the tip at the bottom left.
    if (Screen && !Screen->Cursors(crPencil)) {
        TBitmap pencil(16, 16);
        TCanvas* pc = pencil.Canvas();
        pc->Brush()->SetColor(clWhite);
        pc->FillRect(::Rect(0, 0, 16, 16));
        pc->Pen()->SetColor(clBlack);
        for (int i = 0; i < 3; ++i) {
            pc->MoveTo(1 + i, 14);
            pc->LineTo(14, 1 + i);
        }
        Screen->SetCursors(crPencil, CreateCursorFromBitmap(&pencil, ::Point(0, 15)));
    }
    RecalcCaptionHeight();
}

TfrxDesignerWorkspace::~TfrxDesignerWorkspace() = default;

void TfrxDesignerWorkspace::SetParent(TWinControl* parent)
{
    if (FMarginsPanel && !ComponentState().Contains(csDestroying)) FMarginsPanel->SetParent(parent);
    TPanel::SetParent(parent);
}

void TfrxDesignerWorkspace::SetBounds(int left, int top, int width, int height)
{
    const bool moved = left != Left() || top != Top();
    TPanel::SetBounds(left, top, width, height);
    if (moved && OnMove) OnMove(this);
}

void TfrxDesignerWorkspace::RecalcCaptionHeight()
{
    static const double heights[] = {16, 18.89765, 19.2, 16, 17};
    FBandCaptionHeight = FShowBandCaptions ? heights[FGridType] : 0;
}

double TfrxDesignerWorkspace::BandGroupGap() const
{
    static const double gaps[] = {40, 37.7953, 38.4, 0, 17};
    return gaps[FGridType];
}

TfrxPoint TfrxDesignerWorkspace::KeyStep() const
{
    return FGridType == gtChar ? TfrxPoint{9.6, 17} : TfrxPoint{1, 1};
}

void TfrxDesignerWorkspace::SetGridType(TfrxGridType v)
{
    FGridType = v;
    RecalcCaptionHeight();
    ArrangeBands();
    Invalidate();
    if (SelectionCount() > 0) MouseMove({}, 0, 0);
}

void TfrxDesignerWorkspace::SetShowBandCaptions(bool v)
{
    FShowBandCaptions = v;
    RecalcCaptionHeight();
    ArrangeBands();
    Invalidate();
}

void TfrxDesignerWorkspace::SetShowGrid(bool v)
{
    FShowGrid = v;
    Invalidate();
}

void TfrxDesignerWorkspace::SetColor(TColor v)
{
    FColor = v;
    if (FMarginsPanel) FMarginsPanel->SetColor(v);
    Invalidate();
}

void TfrxDesignerWorkspace::SetPageDimensions(int paperWidth, int paperHeight, const TRect& margins)
{
    FPaperWidth = paperWidth;
    FPaperHeight = paperHeight;
    FMargins = margins;
    SetScale(FScale);
    ArrangeBands();
}

void TfrxDesignerWorkspace::SetScale(double v)
{
    FScale = v;
    TMarginsPanel* p = FMarginsPanel.Get();
    if (!p) return;
    p->SetBounds(p->Left(), p->Top(), RoundI(FPaperWidth * v), RoundI(FPaperHeight * v));
    if (FPaperWidth > 0 || FPaperHeight > 0)
        SetBounds(p->Left() + RoundI(FMargins.Left * v), p->Top() + RoundI(FMargins.Top * v),
                  p->Width() - RoundI((FMargins.Left + FMargins.Right) * v),
                  p->Height() - RoundI((FMargins.Top + FMargins.Bottom) * v));
    p->Invalidate();
    Invalidate();
}

void TfrxDesignerWorkspace::SetOrigin(TPoint p)
{
    if (FMarginsPanel) FMarginsPanel->SetBounds(p.X, p.Y, FMarginsPanel->Width(), FMarginsPanel->Height());
}

void TfrxDesignerWorkspace::Lock()
{
    FLocked = true;
    FInserting = false;
    FMode = wmIdle;
}

void TfrxDesignerWorkspace::FirePositionChanged(const TfrxRect& r)
{
    if (OnPositionChanged) OnPositionChanged(this, r);
}

void TfrxDesignerWorkspace::UpdateView()
{
    Invalidate();
    FirePositionChanged(SelectionCount() > 0 ? SelectionBounds() : TfrxRect{});
}

TfrxComponent* TfrxDesignerWorkspace::Selected(int i) const
{
    return static_cast<TfrxComponent*>(FSelectedObjects->Items(i));
}

int TfrxDesignerWorkspace::SelectionCount() const
{
    if (!FSelectedObjects) return 0;
    const int n = FSelectedObjects->Count();
    if (n == 1) {
        TObject* only = Selected(0);
        if (only == FPage || DynamicCast<TfrxReport>(only)) return 0;
    }
    return n;
}

TfrxRect TfrxDesignerWorkspace::SelectionBounds() const
{
    const int n = SelectionCount();
    if (n == 0) return {};
    if (n == 1) {
        TfrxComponent* c = Selected(0);
        return {c->Left(), c->Top(), c->Width(), c->Height()};
    }
    TfrxRect r{1e10, 1e10, -1e10, -1e10};
    for (int i = 0; i < n; ++i) {
        TfrxRect a = AbsRect(Selected(i));
        r.Left = std::min(r.Left, a.Left);
        r.Top = std::min(r.Top, a.Top);
        r.Right = std::max(r.Right, a.Right);
        r.Bottom = std::max(r.Bottom, a.Bottom);
    }
    return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top};
}

TfrxComponent* TfrxDesignerWorkspace::GroupAnchor() const
{
    TfrxComponent* best = nullptr;
    double br = 0, bb = 0;
    for (int i = 0; i < SelectionCount(); ++i) {
        TfrxComponent* c = Selected(i);
        const double r = c->AbsLeft() + c->Width(), b = c->AbsTop() + c->Height();
        if (!best || r > br || (r == br && b > bb)) {
            best = c;
            br = r;
            bb = b;
        }
    }
    return best;
}

void TfrxDesignerWorkspace::NotifyModified()
{
    if (!Modified) return;
    Modified = false;
    if (OnModify) OnModify(this);
}

void TfrxDesignerWorkspace::Select(TfrxComponent* c)
{
    FSelectedObjects->Clear();
    FSelectedObjects->Add(c);
}

void TfrxDesignerWorkspace::SelectPage() { Select(FPage); }

void TfrxDesignerWorkspace::SelectionChanged()
{
    if (FObjects && FSelectedObjects) {
        for (int i = 0; i < FSelectedObjects->Count(); ++i) {
            auto* c = DynamicCast<TfrxReportComponent>(static_cast<TObject*>(FSelectedObjects->Items(i)));
            if (!c || c->GroupIndex() == 0) continue;
            for (void* p : *FObjects) {
                auto* o = static_cast<TfrxComponent*>(p);
                if (o->GroupIndex() == c->GroupIndex() && FSelectedObjects->IndexOf(o) < 0) FSelectedObjects->Add(o);
            }
        }
    }
    if (OnSelectionChanged) OnSelectionChanged(this);
    Invalidate();
}

void TfrxDesignerWorkspace::GroupSelection()
{
    const int n = SelectionCount();
    if (n == 0) return;
    for (int i = 0; i < n; ++i) Selected(i)->SetGroupIndex(0);
    int index = 1;
    for (bool used = true; used; ) {
        used = false;
        for (void* p : *FObjects)
            if (static_cast<TfrxComponent*>(p)->GroupIndex() == index) { used = true; ++index; break; }
    }
    for (int i = 0; i < n; ++i) Selected(i)->SetGroupIndex(index);
    Modified = true;
    NotifyModified();
}

void TfrxDesignerWorkspace::UngroupSelection()
{
    for (int i = 0; i < SelectionCount(); ++i) Selected(i)->SetGroupIndex(0);
    Modified = true;
    NotifyModified();
}

void TfrxDesignerWorkspace::EditObject()
{
    if (SelectionCount() == 1 && OnEdit) OnEdit(this);
}

// ---- bands ------------------------------------------------------------------------------------

void TfrxDesignerWorkspace::FitBandToChildren(TfrxBand* band)
{
    if (band->Objects().empty()) return;
    double b = 0, a = -1e300;
    for (TfrxComponent* c : band->Objects()) {
        b = std::min(b, c->Top());
        a = std::max(a, c->Top() + c->Height());
    }
    if (band->Height() < a - b) band->SetHeight(a - b);
    if (b < 0)
        for (TfrxComponent* c : band->Objects()) Unrestricted(c, [&] { c->SetTop(c->Top() - b); });
}

void TfrxDesignerWorkspace::ArrangeBands()
{
    if (!FObjects) return;
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    std::vector<TfrxBand*> bands;
    for (void* p : *FObjects)
        if (IsHorizontalBand(static_cast<TfrxComponent*>(p))) bands.push_back(static_cast<TfrxBand*>(p));

    // Sort keys compared as their "%9.2f" text, which is numeric order below a million.
    auto key = [&](TfrxBand* b) -> double {
        const bool titleFirst = page && page->TitleBeforeHeader;
        if (DynamicCast<TfrxPageHeader>(b)) return titleFirst ? 0.01 : 0;
        if (DynamicCast<TfrxReportTitle>(b)) return titleFirst ? 0 : 0.01;
        if (DynamicCast<TfrxColumnHeader>(b)) return 0.02;
        if (DynamicCast<TfrxReportSummary>(b)) return 99999;
        if (DynamicCast<TfrxColumnFooter>(b)) return 100000;
        if (DynamicCast<TfrxPageFooter>(b)) return 100001;
        return std::fabs(b->Top());
    };
    std::vector<std::pair<std::string, TfrxBand*>> sorted;
    for (TfrxBand* b : bands) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%9.2f", key(b));
        sorted.emplace_back(buf, b);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](auto& x, auto& y) { return x.first < y.first; });

    if (!FreeBands) {
        TfrxBand* prev = nullptr;
        for (auto& [k, b] : sorted) {
            double top;
            if (!prev) top = FBandCaptionHeight;
            else {
                top = std::nearbyint((prev->Top() + prev->Height() + FBandCaptionHeight + BandsGap) / GridY) * GridY;
                if ((IsHeaderBand(prev) && !IsHeaderBand(b)) || (IsFooterBand(b) && !IsFooterBand(prev)))
                    top += BandGroupGap();
            }
            TfrxBand* band = b;
            Unrestricted(band, [&] { band->SetTop(Round8(top)); });
            prev = b;
        }
    }

    // Views go to the band their absolute top lies in, the others back to the page.
    if (FPage) {
        for (TfrxBand* b : bands)
            for (TfrxComponent* c : std::vector<TfrxComponent*>(b->Objects())) {
                const double abs = c->AbsTop();
                Unrestricted(c, [&] {
                    c->SetParent(FPage);
                    c->SetTop(abs);
                });
            }
        for (TfrxBand* b : bands)
            for (void* p : *FObjects) {
                auto* v = DynamicCast<TfrxView>(static_cast<TObject*>(p));
                if (!v || v->Parent() != FPage) continue;
                const double t = v->AbsTop();
                if (t >= b->Top() - 0.0001 && t < b->Top() + b->Height())
                    Unrestricted(v, [&] {
                        v->SetParent(b);
                        v->SetTop(t - b->Top());
                    });
            }
    }

    // Bands first, each group in its previous order.
    std::vector<void*> bandItems, others;
    for (void* p : *FObjects)
        (DynamicCast<TfrxBand>(static_cast<TObject*>(p)) ? bandItems : others).push_back(p);
    FObjects->Clear();
    for (void* p : bandItems) FObjects->Add(p);
    for (void* p : others) FObjects->Add(p);
}

void TfrxDesignerWorkspace::DeleteSelection()
{
    if (SelectionCount() == 0) return;
    std::vector<TfrxComponent*> doomed;
    for (int i = FSelectedObjects->Count() - 1; i >= 0; --i) {
        TfrxComponent* c = Selected(i);
        if (c->Restrictions().Contains(rfDontDelete)) continue;
        FSelectedObjects->Delete(i);
        doomed.push_back(c);
    }
    // A band and its separately selected children may both be on the list:
    // take every doomed object and its descendants off both lists before
    // freeing anything, and free only those whose parent is not doomed too.
    auto forget = [&](TfrxComponent* c) {
        FObjects->Remove(c);
        FSelectedObjects->Remove(c);
    };
    for (TfrxComponent* c : doomed) {
        forget(c);
        for (TfrxComponent* child : c->AllObjects()) forget(child);
    }
    auto isDoomed = [&](TfrxComponent* c) { return std::find(doomed.begin(), doomed.end(), c) != doomed.end(); };
    std::vector<TfrxComponent*> roots;
    for (TfrxComponent* c : doomed) {
        bool under = false;
        for (TfrxComponent* p = c->Parent(); p; p = p->Parent()) under = under || isDoomed(p);
        if (!under) roots.push_back(c);
    }
    for (TfrxComponent* c : roots) delete c;
    if (FSelectedObjects->Count() == 0) SelectPage();
    ArrangeBands();
    Modified = true;
    NotifyModified();
    SelectionChanged();
}

// ---- insertion --------------------------------------------------------------------------------

void TfrxDesignerWorkspace::ParkInsertion()
{
    if (FMode == wmPlaceLine) {
        const double f = FGridType == gtChar ? 0.5 : 1;
        FInsertion.Left = -GridX * f;
        FInsertion.Top = -GridY * f;
    } else {
        FInsertion.Left = -1000 * GridX;
        FInsertion.Top = -1000 * GridY;
    }
}

void TfrxDesignerWorkspace::SetInsertion(TClass cls, uint16_t flags, double defaultWidth, double defaultHeight)
{
    if (!cls) {
        FInserting = false;
        FInsertion.ComponentClass = nullptr;
        FMode = wmIdle;
        Invalidate();
        return;
    }
    FInsertion.ComponentClass = cls;
    FInsertion.Flags = flags;
    FInsertion.Width = FInsertion.DefaultWidth = defaultWidth;
    FInsertion.Height = FInsertion.DefaultHeight = defaultHeight;
    FInserting = true;
    if (cls->InheritsFrom(TfrxCustomLineView::StaticClass())) {
        SetCursor(crPencil);
        FMode = wmPlaceLine;
    } else {
        SetCursor(crCross);
        FMode = wmPlaceObject;
    }
    ParkInsertion();
    Invalidate();
}

void TfrxDesignerWorkspace::HideInsertionMarker()
{
    if (FMouseDown || !FInserting) return;
    if (FMode == wmPlaceObject || FMode == wmPlaceLine) {
        ParkInsertion();
        Invalidate();
    }
}

// ---- painting ---------------------------------------------------------------------------------

void TfrxDesignerWorkspace::Paint()
{
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    TBitmap bmp(w, h);
    PaintTo(bmp.Canvas());
    Canvas()->Draw(0, 0, &bmp);
}

void TfrxDesignerWorkspace::PaintTo(TCanvas* canvas)
{
    DrawBackground(canvas);
    if (FLocked) return;
    if (auto* page = DynamicCast<TfrxReportPage>(FPage)) {
        if (page->Color() != clNone) {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(page->Color());
            canvas->FillRect(::Rect(0, 0, Width(), Height()));
        }
    }
    DrawObjects(canvas);
    DrawOverlays(canvas);
}

void TfrxDesignerWorkspace::DrawBackground(TCanvas* c)
{
    const int w = Width(), h = Height();
    c->Pen()->SetMode(pmCopy);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FColor);
    c->FillRect(::Rect(0, 0, w, h));
    if (!FShowGrid) return;
    if (FGridType == gtCm || FGridType == gtInch) {
        const int base = GridLCD ? 0xE2E2E2 : 0xE8E8E8;
        const double step = FScale * (FGridType == gtCm ? 3.77953 : 9.6);
        const int limit = std::max(w, h);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        for (int k = 0; k * step < limit; ++k) {
            if (k % 10 == 0) c->Pen()->SetColor(TColor(base));
            else if (FGridType == gtCm && k % 5 != 0) continue;
            else c->Pen()->SetColor(TColor(base + 0x101010));
            const int p = RoundI(k * step);
            c->MoveTo(p, 0);
            c->LineTo(p, h);
            c->MoveTo(0, p);
            c->LineTo(w, p);
        }
        return;
    }
    if (GridX * FScale <= 2 || GridY * FScale <= 2) return;
    // One prepared row of dots stamped at every grid line.
    TBitmap row(w, 1);
    TCanvas* rc = row.Canvas();
    rc->Brush()->SetColor(FColor);
    rc->FillRect(::Rect(0, 0, w, 1));
    const TColor dot = FGridType == gtDialog ? clBlack : TColor(0x808080);
    for (int k = 0; RoundI(k * GridX * FScale) < w; ++k) rc->SetPixels(RoundI(k * GridX * FScale), 0, dot);
    for (int k = 0; RoundI(k * GridY * FScale) < h; ++k) c->Draw(0, RoundI(k * GridY * FScale), &row);
}

void TfrxDesignerWorkspace::DrawObjects(TCanvas* canvas)
{
    if (!FObjects) return;
    if (auto* page = DynamicCast<TfrxReportPage>(FPage)) page->AlignChildren();
    for (void* p : *FObjects) {
        auto* c = DynamicCast<TfrxReportComponent>(static_cast<TObject*>(p));
        if (!c) continue;
        if (auto* b = DynamicCast<TfrxBand>(c)) {
            if (b->Vertical) Unrestricted(b, [&] { b->SetTop(0); });
            else Unrestricted(b, [&] { b->SetLeft(0); });
        }
        c->SetIsDesigning(true);
        c->Draw(canvas, FScale, FScale, OffsetX, OffsetY);
        DrawDecorations(canvas, c);
    }
    if (!FMouseDown) DrawHandles(canvas);
}

void TfrxDesignerWorkspace::DrawDecorations(TCanvas* c, TfrxComponent* obj)
{
    const double s = FScale;
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    auto* band = DynamicCast<TfrxBand>(obj);
    auto* rc = DynamicCast<TfrxReportComponent>(obj);
    if (band && !band->Vertical) {
        const int y0 = RoundI((band->Top() - FBandCaptionHeight) * s);
        const int right = RoundI(band->Width() * s);
        c->Pen()->SetColor(TColor(0x808080));
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, y0, right, RoundI((band->Top() + band->Height()) * s) + 1);
        auto* data = DynamicCast<TfrxDataBand>(band);
        if (FShowBandCaptions) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(data ? TColor(0xEEBB00) : clBtnFace);
            const TRect strip = ::Rect(1, y0 + 1, right - 1, RoundI(band->Top() * s));
            c->FillRect(strip);
            c->Brush()->SetStyle(bsClear);
            c->Font()->SetName("Tahoma");
            c->Font()->SetSize(std::max(1, RoundI(8 * s)));
            c->Font()->SetColor(clBlack);
            c->Font()->SetStyle({fsBold});
            const std::string base = band->BaseBandName();
            c->TextOut(6, y0 + 2, base);
            const int bw = c->TextWidth(base);
            c->Font()->SetStyle({});
            c->TextOut(6 + bw, y0 + 2, ": " + band->Name());
            std::string right_text;
            if (data) {
                if (data->DataSet()) {
                    right_text = data->DataSet()->UserName();
                } else if (data->RowCount() != 0)
                    right_text = std::to_string(data->RowCount());
            } else if (DynamicCast<TfrxGroupHeader>(band))
                right_text = band->Condition;
            if (!right_text.empty()) {
                const int tw = c->TextWidth(right_text);
                c->TextOut(right - 3 - tw, y0 + 3, right_text);
                if (data && s > 0.7) c->Draw(RoundI(band->Width() * s - tw - 20), RoundI(4 * s) + y0, FBandIcon.get());
            }
        }
        if (data && data->Columns > 1) {
            c->Pen()->SetColor(clBlack);
            c->Pen()->SetStyle(psDot);
            c->Brush()->SetStyle(bsClear);
            for (int i = 0; i < data->Columns; ++i) {
                const double x = i * (data->ColumnWidth + data->ColumnGap);
                c->Rectangle(RoundI(x * s), RoundI(band->Top() * s), RoundI((x + data->ColumnWidth) * s),
                             RoundI((band->Top() + band->Height()) * s));
            }
            c->Pen()->SetStyle(psSolid);
        }
    } else if (band) {
        const int x0 = RoundI((band->Left() - FBandCaptionHeight) * s);
        const int bottom = RoundI(band->Height() * s);
        c->Pen()->SetColor(TColor(0x808080));
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(x0, 0, RoundI((band->Left() + band->Width()) * s) + 1, bottom);
        if (FShowBandCaptions) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(DynamicCast<TfrxDataBand>(band) ? TColor(0xEEBB00) : clBtnFace);
            c->FillRect(::Rect(x0 + 1, 1, RoundI(band->Left() * s), bottom));
            c->Brush()->SetStyle(bsClear);
            c->Font()->SetName("Tahoma");
            c->Font()->SetSize(std::max(1, RoundI(8 * s)));
            c->Font()->SetColor(clBlack);
            c->Font()->SetOrientation(900);
            c->Font()->SetStyle({});
            const int nw = c->TextWidth(band->Name());
            c->TextOut(x0 + 2, nw + 4, band->Name());
            c->Font()->SetStyle({fsBold});
            const std::string base = band->BaseBandName() + ": ";
            c->TextOut(x0 + 2, nw + 4 + c->TextWidth(base), base);
            c->Font()->SetOrientation(0);
            c->Font()->SetStyle({});
        }
    } else if (auto* v = DynamicCast<TfrxView>(obj)) {
        const bool fullFrame = v->Frame()->Typ.Contains(ftLeft) && v->Frame()->Typ.Contains(ftRight) &&
                               v->Frame()->Typ.Contains(ftTop) && v->Frame()->Typ.Contains(ftBottom);
        if (ShowEdges && !DynamicCast<TfrxCustomLineView>(v) && !fullFrame) {
            const int x = RoundI(v->AbsLeft() * s), y = RoundI(v->AbsTop() * s);
            const int x1 = RoundI((v->AbsLeft() + v->Width()) * s) - 1, y1 = RoundI((v->AbsTop() + v->Height()) * s) - 1;
            c->Pen()->SetColor(clBlack);
            c->Polyline({::Point(x, y + 3), ::Point(x, y), ::Point(x + 4, y)});
            c->Polyline({::Point(x1 - 4, y), ::Point(x1, y), ::Point(x1, y + 3)});
            c->Polyline({::Point(x, y1 - 3), ::Point(x, y1), ::Point(x + 4, y1)});
            c->Polyline({::Point(x1 - 4, y1), ::Point(x1, y1), ::Point(x1, y1 - 3)});
        }
    }
    const bool hasEvent = rc && (!rc->OnBeforePrint.empty() || !rc->OnAfterPrint.empty() || !rc->OnAfterData.empty() ||
                                 !rc->OnPreviewClick.empty() || (band && !band->OnAfterCalcHeight.empty()));
    if (hasEvent) {
        int x = RoundI(obj->AbsLeft() * s), y = RoundI(obj->AbsTop() * s);
        if (band && !band->Vertical) y -= RoundI((FBandCaptionHeight - 2) * s);
        c->Pen()->SetColor(clRed);
        const int len[] = {7, 5, 3, 1};
        for (int i = 0; i < 4; ++i) {
            c->MoveTo(x + 2 + i, y + 1 + i);
            c->LineTo(x + 2 + i, y + 1 + i + len[i]);
        }
    }
}

void TfrxDesignerWorkspace::DrawHandles(TCanvas* c)
{
    const int n = SelectionCount();
    if (n == 0) return;
    const int size = FScale < 0.7 ? 3 : FScale > 1.7 ? 7 : 5;
    TfrxComponent* anchor = n > 1 ? GroupAnchor() : nullptr;
    c->Brush()->SetStyle(bsSolid);
    auto handle = [&](double x, double y, TColor col) {
        const int cx = RoundI(x * FScale), cy = RoundI(y * FScale);
        // XOR in the colour: drawing one twice leaves nothing.
        for (int yy = cy - size / 2; yy <= cy + size / 2; ++yy)
            for (int xx = cx - size / 2; xx <= cx + size / 2; ++xx) {
                const TColor old = c->Pixels(xx, yy);
                if (old >= 0) c->SetPixels(xx, yy, TColor((old ^ col) & 0xFFFFFF));
            }
    };
    for (int i = 0; i < n; ++i) {
        TfrxComponent* o = Selected(i);
        const double l = o->AbsLeft(), t = o->AbsTop(), w = o->Width(), h = o->Height();
        const bool line = DynamicCast<TfrxCustomLineView>(o) != nullptr;
        handle(l, t, clWhite);
        if (!line) {
            handle(l + w, t, clWhite);
            handle(l, t + h, clWhite);
        }
        handle(l + w, t + h, o == anchor ? TColor(0x808000) : clWhite);
        if (n == 1 && !line) {
            handle(l + w / 2, t, clWhite);
            handle(l + w / 2, t + h, clWhite);
            handle(l, t + h / 2, clWhite);
            handle(l + w, t + h / 2, clWhite);
        }
    }
}

void TfrxDesignerWorkspace::DrawOverlays(TCanvas* c)
{
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetMode(pmXor);
    if (FMode == wmRubberBand && FMouseDown) {
        c->Pen()->SetStyle(psDot);
        c->Pen()->SetColor(clSilver);
        TRect r = FSelectionRect;
        if (r.Left > r.Right) std::swap(r.Left, r.Right);
        if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
        c->Rectangle(r);
    } else if (FInserting && FMode == wmPlaceObject) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(clSilver);
        double l = FInsertion.Left, t = FInsertion.Top, r = l + FInsertion.Width, b = t + FInsertion.Height;
        if (l > r) std::swap(l, r);
        if (t > b) std::swap(t, b);
        c->Rectangle(RoundI(l * FScale), RoundI(t * FScale), RoundI(r * FScale) + 1, RoundI(b * FScale) + 1);
    } else if (FInserting && FMode == wmPlaceLine) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(clSilver);
        const int sx = RoundI(FInsertion.Left * FScale), sy = RoundI(FInsertion.Top * FScale);
        int ex = sx, ey = sy;
        if (FMouseDown) {
            double w = FInsertion.Width, h = FInsertion.Height;
            if (FInsertion.Flags == 0) {
                if (std::fabs(w) > std::fabs(h)) h = 0;
                else w = 0;
            }
            ex = RoundI((FInsertion.Left + w) * FScale);
            ey = RoundI((FInsertion.Top + h) * FScale);
            c->MoveTo(sx, sy);
            c->LineTo(ex, ey);
        }
        c->MoveTo(ex - 4, ey);
        c->LineTo(ex + 5, ey);
        c->MoveTo(ex, ey - 4);
        c->LineTo(ex, ey + 5);
    }
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetStyle(psSolid);
}
