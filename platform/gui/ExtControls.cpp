// Panels, bevels, shapes, images, splitters, radio groups and notebooks.
#include "ExtCtrls.h"
#include "QzStdPrivate.h"

using namespace qzgui;

QZ_CLASS_IMPL(TCustomPanel, TCustomControl)
QZ_CLASS_IMPL(TPanel, TCustomPanel)
QZ_CLASS_IMPL(TBevel, TGraphicControl)
QZ_CLASS_IMPL(TShape, TGraphicControl)
QZ_CLASS_IMPL(TImage, TGraphicControl)
QZ_CLASS_IMPL(TSplitter, TGraphicControl)
QZ_CLASS_IMPL(TCustomRadioGroup, TCustomGroupBox)
QZ_CLASS_IMPL(TRadioGroup, TCustomRadioGroup)
QZ_CLASS_IMPL(TPage, TCustomControl)
QZ_CLASS_IMPL(TNotebook, TCustomControl)

// ---- panel -------------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    cs.Include(csSetCaption);
    cs.Include(csOpaque);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
    SetBounds(0, 0, 185, 41);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TBevelCut v)
{
    FBevelInner = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelOuter(TBevelCut v)
{
    FBevelOuter = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelWidth(int v)
{
    FBevelWidth = std::max(1, v);
    Realign();
    Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle v)
{
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    RecreateWnd();
    UpdateNonClient();
}
void TCustomPanel::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(TRect& r)
{
    int w = BorderWidth();
    if (FBevelOuter != bvNone) w += FBevelWidth;
    if (FBevelInner != bvNone) w += FBevelWidth;
    InflateRect(r, -w, -w);
}

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        if (cut == bvSpace) {
            InflateRect(r, -FBevelWidth, -FBevelWidth);
            return;
        }
        bool raised = cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, FBevelWidth);
    };
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    bevel(FBevelOuter);
    InflateRect(r, -BorderWidth(), -BorderWidth());
    bevel(FBevelInner);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    std::string text = Caption();
    if (text.empty()) return;
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    UINT f = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    f |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->DrawText(text, r, f);
}

// ---- bevel -------------------------------------------------------------------------------------

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csReplicatable);
    SetControlStyle(cs);
    SetBounds(0, 0, 50, 50);
}
void TBevel::SetShape(TBevelShape v)
{
    FShape = v;
    Invalidate();
}
void TBevel::SetStyle(TBevelStyle v)
{
    FStyle = v;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    TRect r = ClientRect();
    const int w = Width(), h = Height();
    auto line = [&](TColor col, int l, int t, int rr, int b) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(col);
        c->FillRect(Rect(l, t, rr, b));
    };
    switch (FShape) {
    case bsBox: Frame3D(c, r, c1, c2, 1); break;
    case bsFrame: {
        TRect a = Rect(0, 0, w - 1, h - 1);
        TRect b = Rect(1, 1, w, h);
        Frame3D(c, b, c2, c2, 1);
        Frame3D(c, a, c1, c1, 1);
        break;
    }
    case bsTopLine: line(c1, 0, 0, w, 1); line(c2, 0, 1, w, 2); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 1); line(c2, 0, h - 1, w, h); break;
    case bsLeftLine: line(c1, 0, 0, 1, h); line(c2, 1, 0, 2, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 1, h); line(c2, w - 1, 0, w, h); break;
    case bsSpacer: break;
    }
}

// ---- shape -------------------------------------------------------------------------------------

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}
TShape::~TShape() = default;

void TShape::SetShape(TShapeType v)
{
    FShape = v;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->Pen()->Assign(FPen.get());
    c->Brush()->Assign(FBrush.get());
    int pw = FPen->Width();
    int x = pw / 2, y = x;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h) {
        if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
            y += (h - w) / 2;
            h = w;
        }
    } else if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - h) / 2;
        w = h;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: {
        int s = std::min(w, h) / 4;
        c->RoundRect(x, y, x + w, y + h, s, s);
        break;
    }
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---- image -------------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>())
{
    TControlStyle cs = ControlStyle();
    cs.Include(csReplicatable);
    SetControlStyle(cs);
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
}
TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetStretch(bool v)
{
    FStretch = v;
    Invalidate();
}
void TImage::SetProportional(bool v)
{
    FProportional = v;
    Invalidate();
}
void TImage::SetCenter(bool v)
{
    FCenter = v;
    Invalidate();
}
void TImage::SetTransparent(bool v)
{
    FTransparent = v;
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(v);
    Invalidate();
}
void TImage::SetAutoSize(bool v)
{
    TGraphicControl::SetAutoSize(v);
    PictureChanged(nullptr);
}

void TImage::PictureChanged(TObject*)
{
    if (TGraphic* g = FPicture->Graphic(); g && FTransparent && !g->Transparent()) g->SetTransparent(true);
    if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

TRect TImage::DestRect() const
{
    int w = FPicture->Width(), h = FPicture->Height();
    const int cw = ClientWidth(), ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double xy = double(w) / h;
            if (cw / xy <= ch) {
                w = cw;
                h = int(cw / xy);
            } else {
                h = ch;
                w = int(ch * xy);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Bounds(x, y, w, h);
}

void TImage::Paint()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    Canvas()->StretchDraw(DestRect(), g);
}

// ---- splitter ------------------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

void TSplitter::RequestAlign()
{
    TGraphicControl::RequestAlign();
    TCursor want = Horizontal() ? crVSplit : crHSplit;
    if (Cursor() != want && (Cursor() == crHSplit || Cursor() == crVSplit || Cursor() == crDefault)) SetCursor(want);
}

TControl* TSplitter::FindControl() const
{
    TWinControl* p = Parent();
    if (!p) return nullptr;
    TPoint at;
    switch (Align()) {
    case alLeft: at = Point(Left() - 1, Top()); break;
    case alRight: at = Point(Left() + Width(), Top()); break;
    case alTop: at = Point(Left(), Top() - 1); break;
    case alBottom: at = Point(Left(), Top() + Height()); break;
    default: return nullptr;
    }
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        TRect r = c->BoundsRect();
        // The control the splitter touches on its aligned side.
        bool touches = Horizontal() ? (at.Y >= r.Top && at.Y < r.Bottom) : (at.X >= r.Left && at.X < r.Right);
        if (touches) return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    TControl* c = FindControl();
    FControl = c;
    if (!c) return;
    FDragging = true;
    FDownPos = ClientToScreen(Point(x, y));
    FOldSize = Horizontal() ? c->Height() : c->Width();
    FNewSize = FOldSize;
}

void TSplitter::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    TControl* c = FControl.Get();
    if (!FDragging || !c || !Parent()) return;
    TPoint p = ClientToScreen(Point(x, y));
    int delta = Horizontal() ? p.Y - FDownPos.Y : p.X - FDownPos.X;
    if (Align() == alRight || Align() == alBottom) delta = -delta;
    int size = FOldSize + delta;
    // Room left for the rest: the parent's client less the other controls aligned the same way.
    TRect client = Parent()->ClientRect();
    int room = Horizontal() ? client.Height() : client.Width();
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* o = Parent()->Controls(i);
        if (o == c || !o->Visible()) continue;
        if (Horizontal() && (o->Align() == alTop || o->Align() == alBottom)) room -= o->Height();
        if (!Horizontal() && (o->Align() == alLeft || o->Align() == alRight)) room -= o->Width();
    }
    size = std::min(size, room - FMinSize);
    size = std::max(size, FMinSize);
    bool accept = true;
    if (OnCanResize) OnCanResize(this, size, accept);
    if (!accept || size == FNewSize) return;
    FNewSize = size;
    if (FResizeStyle == rsUpdate || FResizeStyle == rsNone) {
        if (Horizontal()) c->SetHeight(size);
        else c->SetWidth(size);
    }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TSplitter> guard(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!guard || !FDragging) return;
    FDragging = false;
    if (TControl* c = FControl.Get()) {
        if (Horizontal()) c->SetHeight(FNewSize);
        else c->SetWidth(FNewSize);
        if (OnMoved) OnMoved(this);
    }
}

void TSplitter::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}

// ---- radio group ---------------------------------------------------------------------------------

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), FItems(std::make_unique<TStringList>())
{
    FItems->OnChange = [this](TObject* s) { ItemsChanged(s); };
}

TCustomRadioGroup::~TCustomRadioGroup()
{
    FItems->OnChange = nullptr;
    for (TRadioButton* b : FButtons) b->OnClick = nullptr;
}

void TCustomRadioGroup::ItemsChanged(TObject*)
{
    // As many buttons as items, captions from the items.
    while (FButtons.size() > size_t(FItems->Count())) {
        TRadioButton* b = FButtons.back();
        FButtons.pop_back();
        delete b;
    }
    while (FButtons.size() < size_t(FItems->Count())) {
        auto* b = new TRadioButton(this);
        b->SetParent(this);
        b->OnClick = [this](TObject* s) { ButtonClicked(s); };
        b->SetEnabled(Enabled());
        FButtons.push_back(b);
    }
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetCaption(FItems->Strings(int(i)));
        FButtons[i]->SetChecked(int(i) == FItemIndex);
    }
    FUpdating = false;
    if (FItemIndex >= int(FButtons.size())) FItemIndex = int(FButtons.size()) - 1;
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClicked(TObject* sender)
{
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), sender);
    if (it == FButtons.end()) return;
    FItemIndex = int(it - FButtons.begin());
    Changed();
    Click();
}

void TCustomRadioGroup::SetItemIndex(int v)
{
    v = std::clamp(v, -1, int(FButtons.size()) - 1);
    if (v == FItemIndex) return;
    if (FItemIndex >= 0) {
        FUpdating = true;
        FButtons[size_t(FItemIndex)]->SetChecked(false);
        FUpdating = false;
    }
    FItemIndex = v;
    // Checking the button tells the group as a click would.
    if (v >= 0) FButtons[size_t(v)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int v)
{
    v = std::clamp(v, 1, 16);
    if (v == FColumns) return;
    FColumns = v;
    ArrangeButtons();
}

void TCustomRadioGroup::Resize()
{
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons()
{
    if (FButtons.empty()) return;
    TCanvas* c = Canvas();
    int textH = 13;
    if (c) {
        TBitmap probe(1, 1);
        probe.Canvas()->Font()->Assign(Font());
        textH = probe.Canvas()->TextHeight("0");
    }
    const int perCol = (int(FButtons.size()) + FColumns - 1) / FColumns;
    const int w = std::max(1, (Width() - 10) / FColumns);
    const int top = textH + 1;
    const int h = std::max(1, (Height() - top - 5) / perCol);
    const TRect client = ClientRect();
    for (size_t i = 0; i < FButtons.size(); ++i) {
        int col = int(i) / perCol, row = int(i) % perCol;
        // Client coordinates of the group start below the caption: place in the whole box.
        FButtons[i]->SetBounds(col * w + 8 - client.Left, row * h + top - client.Top, w - 8,
                               std::max(textH + 4, std::min(h, textH + 8)));
        FButtons[i]->SetTop(row * h + top - client.Top + (h - FButtons[i]->Height()) / 2);
    }
}

void TCustomRadioGroup::CMEnabledChanged2(TMessage& m)
{
    inherited::Dispatch(m);
    for (TRadioButton* b : FButtons) b->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged3(TMessage& m)
{
    inherited::Dispatch(m);
    ArrangeButtons();
}

// ---- notebook ------------------------------------------------------------------------------------

namespace {

class TNotebookStrings : public TStrings {
public:
    explicit TNotebookStrings(TNotebook* nb) : NB(nb) {}
    TNotebook* NB;
    std::string Get(int index) const override
    {
        if (index < 0 || index >= GetCount()) IndexError(index);
        return NB->Page(index)->Caption();
    }
    int GetCount() const override { return NB->PageCount(); }
    void Put(int index, const std::string& s) override
    {
        if (index < 0 || index >= GetCount()) IndexError(index);
        NB->Page(index)->SetCaption(s);
    }
    void Insert(int index, const std::string& s) override
    {
        if (index < 0 || index > GetCount()) IndexError(index);
        NB->InsertPage(index, s);
    }
    void Delete(int index) override
    {
        if (index < 0 || index >= GetCount()) IndexError(index);
        NB->DeletePage(index);
    }
    void Clear() override
    {
        while (GetCount() > 0) NB->DeletePage(GetCount() - 1);
    }
};

} // namespace

TPage::TPage(TComponent* owner) : TCustomControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    SetControlStyle(cs);
    SetVisible(false);
    SetAlign(alClient);
}

void TPage::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

TNotebook::TNotebook(TComponent* owner) : TCustomControl(owner)
{
    FPageNames = std::make_unique<TNotebookStrings>(this);
    SetBounds(0, 0, 150, 150);
    InsertPage(0, "Default");
    SetPageIndex(0);
}

TNotebook::~TNotebook() = default;

TPage* TNotebook::InsertPage(int index, const std::string& name)
{
    auto* p = new TPage(this);
    p->SetCaption(name);
    p->SetParent(this);
    FPages.insert(FPages.begin() + index, p);
    if (FPageIndex >= index && FPageIndex >= 0 && PageCount() > 1) ++FPageIndex;
    return p;
}

void TNotebook::DeletePage(int index)
{
    TPage* p = FPages.at(size_t(index));
    FPages.erase(FPages.begin() + index);
    delete p;
    if (FPageIndex == index) {
        FPageIndex = -1;
        if (!FPages.empty()) SetPageIndex(std::min(index, PageCount() - 1));
    } else if (FPageIndex > index) {
        --FPageIndex;
    }
}

void TNotebook::SetPageIndex(int v)
{
    if (v < 0 || v >= PageCount() || v == FPageIndex) return;
    TPage* next = FPages[size_t(v)];
    next->BringToFront();
    next->SetVisible(true);
    for (TPage* p : FPages)
        if (p != next) p->SetVisible(false);
    FPageIndex = v;
    if (OnPageChanged) OnPageChanged(this);
}

std::string TNotebook::ActivePage() const
{
    return FPageIndex >= 0 ? FPages[size_t(FPageIndex)]->Caption() : std::string();
}

void TNotebook::SetActivePage(const std::string& name)
{
    for (int i = 0; i < PageCount(); ++i)
        if (FPages[size_t(i)]->Caption() == name) {
            SetPageIndex(i);
            return;
        }
}
