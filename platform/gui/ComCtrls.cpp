// Progress bar, up-down, status bar, tab control and page control.
#include "ComCtrls.h"
#include "QzStdPrivate.h"
#include "SysUtils.h"
#include "Themes.h"

#include <QProgressBar>

using namespace qzgui;

QZ_CLASS_IMPL(TProgressBar, TWinControl)
QZ_CLASS_IMPL(TUpDown, TCustomControl)
QZ_CLASS_IMPL(TStatusPanel, TCollectionItem)
QZ_CLASS_IMPL(TStatusPanels, TCollection)
QZ_CLASS_IMPL(TStatusBar, TCustomControl)
QZ_CLASS_IMPL(TTabStrings, TStringList)
QZ_CLASS_IMPL(TCustomTabControl, TCustomControl)
QZ_CLASS_IMPL(TTabControl, TCustomTabControl)
QZ_CLASS_IMPL(TTabSheet, TCustomControl)
QZ_CLASS_IMPL(TPageControl, TCustomTabControl)

namespace {
constexpr int HitBottomRight = 17;   // the hit-test code of a frame's bottom-right corner

TCanvas* MeasureCanvas(TFont* font)
{
    static TBitmap* b = new TBitmap(1, 1);
    b->Canvas()->Font()->Assign(font);
    return b->Canvas();
}
}

// ---- progress bar ----------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 17); }

QWidget* TProgressBar::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    auto* w = new QProgressBar(parent);
    w->setTextVisible(false);
    return w;
}

void TProgressBar::CreateWindowDone() { Push(); }

void TProgressBar::Push()
{
    if (!HandleAllocated()) return;
    auto* w = static_cast<QProgressBar*>(Window()->W);
    w->setRange(FMin, std::max(FMin, FMax));
    w->setValue(FPosition);
    w->setOrientation(FOrientation == pbVertical ? Qt::Vertical : Qt::Horizontal);
}

void TProgressBar::SetMin(int v)
{
    FMin = v;
    if (FMax < FMin) FMax = FMin;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Push();
}
void TProgressBar::SetMax(int v)
{
    FMax = v;
    if (FMin > FMax) FMin = FMax;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Push();
}
void TProgressBar::SetPosition(int v)
{
    FPosition = std::clamp(v, FMin, FMax);
    Push();
}
void TProgressBar::SetSmooth(bool v) { FSmooth = v; }
void TProgressBar::SetOrientation(TProgressBarOrientation v)
{
    FOrientation = v;
    Push();
}

// ---- up-down ---------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 17, 25);
    TControlStyle cs = ControlStyle();
    cs.Exclude(csClickEvents);
    cs.Exclude(csDoubleClicks);
    SetControlStyle(cs);
}

TUpDown::~TUpDown() { StopRepeat(); }

void TUpDown::SetMin(int v)
{
    FMin = v;
    SetPosition(Position());
}
void TUpDown::SetMax(int v)
{
    FMax = v;
    SetPosition(Position());
}

int TUpDown::Position() const
{
    // What the user typed into the associate counts.
    if (TWinControl* a = FAssociate.Get()) {
        std::string t = a->Text();
        t.erase(std::remove(t.begin(), t.end(), ','), t.end());
        int v = 0;
        if (TryStrToInt(Trim(t), v)) return std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    }
    return FPosition;
}

void TUpDown::SetPosition(int v)
{
    FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    UpdateAssociate();
}

void TUpDown::SetThousands(bool v)
{
    FThousands = v;
    UpdateAssociate();
}

void TUpDown::UpdateAssociate()
{
    TWinControl* a = FAssociate.Get();
    if (!a) return;
    std::string s = std::to_string(std::abs(FPosition));
    if (FThousands)
        for (int i = int(s.size()) - 3; i > 0; i -= 3) s.insert(size_t(i), ",");
    if (FPosition < 0) s.insert(0, "-");
    if (a->Text() != s) a->SetText(s);
}

void TUpDown::SetOrientation(TUDOrientation v)
{
    FOrientation = v;
    Invalidate();
}

void TUpDown::SetAlignButton(TUDAlignButton v)
{
    FAlignButton = v;
    SetAssociate(FAssociate.Get());
}

void TUpDown::SetAssociate(TWinControl* v)
{
    FAssociate = v;
    if (!v) return;
    // Beside the associate, as tall as it.
    if (v->Parent() == Parent()) {
        int left = FAlignButton == udRight ? v->Left() + v->Width() : v->Left() - Width();
        SetBounds(left, v->Top(), Width(), v->Height());
    }
    UpdateAssociate();
}

void TUpDown::Press(TUDBtnType button)
{
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    int pos = Position();
    int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    // Min above Max turns the arrows round.
    int step = (button == btNext) == (FMin <= FMax) ? FIncrement : -FIncrement;
    int next = pos + step;
    if (next > hi) next = FWrap ? lo : hi;
    if (next < lo) next = FWrap ? hi : lo;
    FPosition = next;
    UpdateAssociate();
    TWeakRef<TUpDown> guard(this);
    if (OnClick) OnClick(this, button);
}

void TUpDown::StopRepeat()
{
    if (FRepeat) Timers::Stop(FRepeat);
    FRepeat = 0;
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    const bool vert = FOrientation == udVertical;
    // The first half is "up" (vertical) or "left" (horizontal): btNext is up or right.
    bool first = vert ? y < Height() / 2 : x < Width() / 2;
    TUDBtnType b = vert ? (first ? btNext : btPrev) : (first ? btPrev : btNext);
    FPressed = int(b);
    Invalidate();
    Press(b);
    // Held down: again after 400 ms, then every 100 ms.
    StopRepeat();
    TWeakRef<TUpDown> self(this);
    FRepeat = Timers::Start(400, [self, b] {
        TUpDown* u = self.Get();
        if (!u) return;
        Timers::Stop(u->FRepeat);
        u->FRepeat = Timers::Start(100, [self, b] {
            if (TUpDown* v = self.Get(); v && v->FPressed == int(b)) v->Press(b);
        });
        if (u->FPressed == int(b)) u->Press(b);
    });
}

void TUpDown::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TUpDown> guard(this);
    TCustomControl::MouseUp(button, shift, x, y);
    if (!guard) return;
    StopRepeat();
    FPressed = -1;
    Invalidate();
}

void TUpDown::Paint()
{
    TCanvas* c = Canvas();
    const bool vert = FOrientation == udVertical;
    TRect a = vert ? Rect(0, 0, Width(), Height() / 2) : Rect(0, 0, Width() / 2, Height());
    TRect b = vert ? Rect(0, Height() / 2, Width(), Height()) : Rect(Width() / 2, 0, Width(), Height());
    UINT dis = Enabled() ? 0 : DFCS_INACTIVE;
    UINT first = vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, second = vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
    int firstBtn = vert ? btNext : btPrev;
    DrawThemedFrameControl(c->Handle(), a, DFC_SCROLL, first | dis | (FPressed == firstBtn ? DFCS_PUSHED : 0));
    DrawThemedFrameControl(c->Handle(), b, DFC_SCROLL, second | dis | (FPressed >= 0 && FPressed != firstBtn ? DFCS_PUSHED : 0));
}

// ---- status bar --------------------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& v)
{
    if (FText == v) return;
    FText = v;
    Changed(false);
}
void TStatusPanel::SetWidth(int v)
{
    FWidth = std::max(0, v);
    Changed(true);
}
void TStatusPanel::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Changed(false);
}
void TStatusPanel::SetStyle(TStatusPanelStyle v)
{
    FStyle = v;
    Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel v)
{
    FBevel = v;
    Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* bar) : TCollection(TStatusPanel::StaticClass()), FBar(bar) {}
TPersistent* TStatusPanels::GetOwner() const { return FBar; }
void TStatusPanels::Update(TCollectionItem*)
{
    if (FBar) FBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), FPanels(std::make_unique<TStatusPanels>(this))
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    SetParentColor(false);
    SetColor(clBtnFace);
    TControlStyle cs = ControlStyle();
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
}

TStatusBar::~TStatusBar() { FPanels->Clear(); }

void TStatusBar::SetSimplePanel(bool v)
{
    FSimplePanel = v;
    Invalidate();
}
void TStatusBar::SetSimpleText(const std::string& v)
{
    FSimpleText = v;
    if (FSimplePanel) Invalidate();
}
void TStatusBar::SetSizeGrip(bool v)
{
    FSizeGrip = v;
    Invalidate();
}

TRect TStatusBar::PanelRect(int index) const
{
    int x = 0;
    const int n = FPanels->Count();
    if (index < 0 || index >= n) return TRect{};
    for (int i = 0; i < index; ++i) x += FPanels->Items(i)->Width();
    int right = index == n - 1 ? Width() : x + FPanels->Items(index)->Width();
    return Rect(x, 2, std::max(x, right - 2), Height());
}

int TStatusBar::PanelAt(TPoint p) const
{
    if (FSimplePanel || p.Y < 0 || p.Y >= Height()) return -1;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TRect r = PanelRect(i);
        if (p.X >= r.Left && p.X < r.Right + 2) return i;
    }
    return -1;
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect)
{
    if (OnDrawPanel) OnDrawPanel(this, panel, rect);
}

void TStatusBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    auto text = [&](TRect r, const std::string& s, TAlignment al) {
        InflateRect(r, -2, -1);
        c->Brush()->SetStyle(bsClear);
        UINT f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        f |= al == taCenter ? DT_CENTER : al == taRightJustify ? DT_RIGHT : DT_LEFT;
        c->DrawText(s, r, f);
        c->Brush()->SetStyle(bsSolid);
    };
    const int grip = FSizeGrip ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (FSimplePanel || FPanels->Count() == 0) {
        TRect r = Rect(0, 2, Width() - grip, Height());
        text(r, FSimplePanel ? FSimpleText : std::string(), taLeftJustify);
    } else {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TStatusPanel* p = FPanels->Items(i);
            TRect r = PanelRect(i);
            if (i == FPanels->Count() - 1) r.Right = std::max(r.Left, r.Right - grip);
            if (p->Bevel() != pbNone) {
                TRect e = r;
                DrawEdge(c->Handle(), e, p->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            }
            TRect in = r;
            InflateRect(in, -1, -1);
            if (p->Style() == psOwnerDraw) {
                DrawPanel(p, in);
                c->Brush()->SetColor(Color());
                c->Font()->Assign(Font());
            } else {
                text(in, p->Text(), p->Alignment());
            }
        }
    }
    if (FSizeGrip) {
        int s = std::min(grip, Height() - 2);
        DrawThemedFrameControl(c->Handle(), Bounds(Width() - s, Height() - s, s, s), DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void TStatusBar::WMNCHitTest(TMessage& m)
{
    // The grip sizes the form.
    inherited::Dispatch(m);
    if (!FSizeGrip) return;
    TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
    int s = GetSystemMetrics(SM_CXVSCROLL);
    if (p.X >= Width() - s && p.Y >= Height() - s) m.Result = HitBottomRight;
}

// ---- tab control --------------------------------------------------------------------------------

void TTabStrings::Changed()
{
    TStringList::Changed();
    if (FOwner) FOwner->TabsChanged();
}

TCustomTabControl::TCustomTabControl(TComponent* owner)
    : TCustomControl(owner), FTabs(std::make_unique<TTabStrings>(this))
{
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
    SetParentColor(false);
    SetColor(clBtnFace);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::TabsChanged()
{
    if (FTabIndex >= TabCount()) FTabIndex = TabCount() - 1;
    if (FTabIndex < 0 && TabCount() > 0 && !DynamicCast<TPageControl>(this)) FTabIndex = 0;
    FLayoutValid = false;
    Realign();
    Invalidate();
}

void TCustomTabControl::SetTabHeight(int v)
{
    FTabHeight = std::max(0, v);
    TabsChanged();
}
void TCustomTabControl::SetTabWidth(int v)
{
    FTabWidth = std::max(0, v);
    TabsChanged();
}
void TCustomTabControl::SetMultiLine(bool v)
{
    FMultiLine = v;
    TabsChanged();
}
void TCustomTabControl::SetStyle(TTabStyle v)
{
    FStyle = v;
    TabsChanged();
}
void TCustomTabControl::SetTabPosition(TTabPosition v)
{
    FTabPosition = v;
    TabsChanged();
}
void TCustomTabControl::SetImages(TCustomImageList* v)
{
    FImages = v;
    TabsChanged();
}

int TCustomTabControl::GetImageIndex(int tabIndex)
{
    int i = tabIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, i);
    return i;
}

// Tabs run left to right from the top; with MultiLine they wrap into rows,
// the row with the chosen tab nearest the pages.
void TCustomTabControl::LayoutTabs() const
{
    if (FLayoutValid) return;
    auto* self = const_cast<TCustomTabControl*>(this);
    FTabRects.assign(size_t(TabCount()), TRect{});
    TCanvas* c = MeasureCanvas(Font());
    const int h = FTabHeight > 0 ? FTabHeight : c->TextHeight("Wg") + 6;
    const int imgW = FImages.Get() ? FImages.Get()->Width() + 3 : 0;
    std::vector<std::vector<int>> rows(1);
    int x = 2;
    const int limit = std::max(10, Width() - 4);
    std::vector<int> widths(FTabRects.size());
    for (int i = 0; i < TabCount(); ++i) {
        int w = FTabWidth > 0 ? FTabWidth : c->TextWidth(self->TabCaption(i)) + 12 + imgW;
        widths[size_t(i)] = w;
        if (FMultiLine && x + w > limit && !rows.back().empty()) {
            rows.emplace_back();
            x = 2;
        }
        rows.back().push_back(i);
        x += w;
    }
    // The row holding the chosen tab goes last (next to the display area).
    int cur = CurrentTab();
    if (rows.size() > 1 && cur >= 0) {
        for (size_t r = 0; r < rows.size(); ++r)
            if (std::find(rows[r].begin(), rows[r].end(), cur) != rows[r].end()) {
                auto row = rows[r];
                rows.erase(rows.begin() + long(r));
                rows.push_back(row);
                break;
            }
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        int xx = 2;
        for (int i : rows[r]) {
            int top = FTabPosition == tpBottom ? Height() - int(rows.size() - r) * h : int(r) * h + 2;
            FTabRects[size_t(i)] = Bounds(xx, top, widths[size_t(i)], h);
            xx += widths[size_t(i)];
        }
    }
    FRows = TabCount() > 0 ? int(rows.size()) : 0;
    FLayoutValid = true;
}

TRect TCustomTabControl::TabRect(int index) const
{
    LayoutTabs();
    if (index < 0 || index >= int(FTabRects.size())) return TRect{};
    return FTabRects[size_t(index)];
}

int TCustomTabControl::RowCount() const
{
    LayoutTabs();
    return FRows;
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const
{
    LayoutTabs();
    for (size_t i = 0; i < FTabRects.size(); ++i)
        if (PtInRect(FTabRects[i], Point(x, y))) return int(i);
    return -1;
}

TRect TCustomTabControl::DisplayRect() const
{
    LayoutTabs();
    TRect r = Rect(0, 0, Width(), Height());
    if (FRows > 0) {
        int strip = FRows * (FTabRects.empty() ? 0 : FTabRects[0].Height()) + 2;
        if (FTabPosition == tpBottom) r.Bottom -= strip;
        else r.Top += strip;
    }
    InflateRect(r, -2, -2);
    return r;
}

void TCustomTabControl::AdjustClientRect(TRect& r)
{
    r = DisplayRect();
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() { Fire(OnChange, this); }

bool TCustomTabControl::SelectTab(int index)
{
    if (index == FTabIndex) return false;
    if (!CanChange()) return false;
    FTabIndex = index;
    FLayoutValid = false;
    Invalidate();
    Change();
    return true;
}

void TCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        int i = IndexOfTabAt(x, y);
        if (i >= 0) {
            if (CanFocus()) SetFocus();
            TWeakRef<TCustomTabControl> guard(this);
            SelectTab(i);
            if (!guard) return;
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomTabControl::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    int n = TabCount();
    if (n == 0) return;
    int cur = CurrentTab();
    if (key == VK_RIGHT || key == VK_DOWN) {
        if (cur + 1 < n) SelectTab(cur + 1);
        key = 0;
    } else if (key == VK_LEFT || key == VK_UP) {
        if (cur > 0) SelectTab(cur - 1);
        key = 0;
    }
}

void TCustomTabControl::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    LayoutTabs();
    TRect page = DisplayRect();
    InflateRect(page, 2, 2);
    if (FStyle == tsTabs) {
        TRect e = page;
        DrawEdge(c->Handle(), e, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    const int cur = CurrentTab();
    for (int i = 0; i < TabCount(); ++i) {
        TRect r = FTabRects[size_t(i)];
        const bool chosen = i == cur;
        if (FStyle == tsTabs) {
            // The chosen tab stands out and joins the page.
            if (chosen) {
                InflateRect(r, 2, 0);
                r.Top -= 2;
                r.Bottom += 1;
            }
            c->Brush()->SetColor(Color());
            c->FillRect(r);
            TRect e = r;
            DrawEdge(c->Handle(), e, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        } else {
            TRect e = r;
            InflateRect(e, -1, -1);
            if (chosen || FStyle == tsButtons)
                DrawEdge(c->Handle(), e, chosen ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        }
        TRect tr = r;
        if (TCustomImageList* img = FImages.Get()) {
            int ii = GetImageIndex(i);
            if (ii >= 0 && ii < img->Count()) {
                img->Draw(c, tr.Left + 5, tr.Top + (tr.Height() - img->Height()) / 2, ii, Enabled());
                tr.Left += img->Width() + 3;
            }
        }
        c->Brush()->SetStyle(bsClear);
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        c->DrawText(TabCaption(i), tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        c->Brush()->SetStyle(bsSolid);
        if (chosen && Focused()) {
            TRect f = r;
            InflateRect(f, -3, -3);
            c->DrawFocusRect(f);
        }
    }
}

void TTabControl::SetTabIndex(int v)
{
    if (v < -1 || v >= TabCount()) v = -1;
    FTabIndex = v;
    TabsChanged();
}

// ---- tab sheets and page control ------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    SetControlStyle(cs);
    SetVisible(false);
    SetAlign(alClient);
}

TTabSheet::~TTabSheet()
{
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v)
{
    if (FPageControl == v) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(v);
    if (v) v->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool v)
{
    if (FTabVisible == v) return;
    FTabVisible = v;
    if (FPageControl) FPageControl->TabsChanged();
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl) return -1;
    auto& p = FPageControl->FPages;
    return int(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int v)
{
    if (!FPageControl) return;
    auto& p = FPageControl->FPages;
    p.erase(std::find(p.begin(), p.end(), this));
    v = std::clamp(v, 0, int(p.size()));
    p.insert(p.begin() + v, this);
    FPageControl->TabsChanged();
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible) return -1;
    int n = 0;
    for (TTabSheet* s : FPageControl->FPages) {
        if (s == this) return n;
        if (s->FTabVisible) ++n;
    }
    return -1;
}

void TTabSheet::SetImageIndex(int v)
{
    FImageIndex = v;
    if (FPageControl) FPageControl->Invalidate();
}

void TTabSheet::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TTabSheet::CMTextChanged2(TMessage&)
{
    if (FPageControl) FPageControl->TabsChanged();
}

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl()
{
    for (TTabSheet* s : FPages) s->FPageControl = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page)
{
    page->FPageControl = this;
    FPages.push_back(page);
    if (!FActivePage) SetActivePage(page);
    TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    TTabSheet* next = FActivePage == page ? FindNextPage(page, true, true) : FActivePage;
    if (next == page) next = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        FActivePage = nullptr;
        SetActivePage(next);
    }
    TabsChanged();
}

int TPageControl::TabCount() const
{
    return int(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* s) { return s->TabVisible(); }));
}

TTabSheet* TPageControl::TabSheet(int tabIndex) const
{
    int n = 0;
    for (TTabSheet* s : FPages)
        if (s->TabVisible() && n++ == tabIndex) return s;
    return nullptr;
}

std::string TPageControl::TabCaption(int index) const
{
    TTabSheet* s = TabSheet(index);
    return s ? s->Caption() : std::string();
}

int TPageControl::CurrentTab() const { return FActivePage ? FActivePage->TabIndex() : -1; }

int TPageControl::GetImageIndex(int tabIndex)
{
    TTabSheet* s = TabSheet(tabIndex);
    int i = s ? s->ImageIndex() : -1;
    if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, i);
    return i;
}

bool TPageControl::SelectTab(int index)
{
    TTabSheet* s = TabSheet(index);
    if (!s || s == FActivePage) return false;
    if (!CanChange()) return false;
    SetActivePage(s);
    Change();
    return true;
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl != this) return;
    if (page == FActivePage) return;
    FActivePage = page;
    ShowActive();
    TabsChanged();
}

void TPageControl::ShowActive()
{
    if (FActivePage) {
        FActivePage->BringToFront();
        FActivePage->SetVisible(true);
    }
    for (TTabSheet* s : FPages)
        if (s != FActivePage) s->SetVisible(false);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v)
{
    SetActivePage(v >= 0 && v < PageCount() ? FPages[size_t(v)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const
{
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = current ? current->PageIndex() : (goForward ? n - 1 : 0);
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* s = FPages[size_t(i)];
        if (!checkTabVisible || s->TabVisible()) return s;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible)
{
    TTabSheet* s = FindNextPage(FActivePage, goForward, checkTabVisible);
    if (!s || s == FActivePage || !CanChange()) return;
    SetActivePage(s);
    Change();
}

void TPageControl::AlignControls(TControl* control, TRect& rect)
{
    // Every sheet fills the display area, shown or not.
    TRect r = DisplayRect();
    for (TTabSheet* s : FPages) s->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    TCustomTabControl::AlignControls(control, rect);
}
