#include "frxDock.h"

#include "Buttons.h"
#include "Docking.h"
#include "IniFiles.h"
#include "Streams.h"
#include "Windows.h"
#include "frxUtils.h"

#include <algorithm>

namespace {
void DefineDock(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TfrxDock>("RowSize", &TfrxDock::RowSize, &TfrxDock::SetRowSize, 26));
}
void DefineToolBar(std::vector<TPropInfo>& p)
{
    using B = TfrxToolBar;
    p.push_back(PublishBool<B>("CanFloat", &B::GetCanFloat, &B::SetCanFloat, true));
    p.push_back(PublishEnum<B>("Orientation", &B::GetOrientation, &B::SetOrientation, toAny));
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxDock, TPanel, DefineDock)
QZ_CLASS_IMPL(TfrxDragBox, TGraphicControl)
QZ_CLASS_IMPL(TfrxTBPanel, TPanel)
QZ_CLASS_IMPL(TfrxFloatWindow, TForm)
QZ_CLASS_IMPL_PROPS(TfrxToolBar, TPanel, DefineToolBar)
QZ_CLASS_IMPL(TfrxDockSite, TPanel)

namespace {
// A control's place along or across a dock: its near coordinate and extent.
int Near(const TControl* c, bool horz) { return horz ? c->Top() : c->Left(); }
int Extent(const TControl* c, bool horz) { return horz ? c->Height() : c->Width(); }
void SetNear(TControl* c, bool horz, int v)
{
    if (horz) c->SetTop(v);
    else c->SetLeft(v);
}
}  // namespace

// ---- TfrxDock -------------------------------------------------------------------------------

TfrxDock::TfrxDock(TComponent* owner) : TPanel(owner)
{
    SetAlign(alTop);
    SetBevelOuter(bvNone);
    SetHeight(1);
}

void TfrxDock::Paint()
{
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->FillRect(ClientRect());
}

void TfrxDock::AdjustBounds()
{
    // Rows are measured across the dock (the cross axis): Top in a
    // horizontal dock, Left in a vertical one. A bottom or right dock counts
    // them from its outer edge; its controls are handled as distances from
    // that edge, which makes every dock the same as a top dock.
    const bool horz = Horizontal();
    const bool outer = FromOuterEdge();
    const int thickness = horz ? Height() : Width();
    if (ControlCount() == 0) {
        if (horz) SetHeight(1);
        else SetWidth(1);
        return;
    }
    std::vector<TControl*> visible;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) visible.push_back(Controls(i));
    // Mirrored near coordinate for outer docks: distance from the outer edge.
    std::vector<int> pos(visible.size());
    for (size_t i = 0; i < visible.size(); ++i) {
        int n = Near(visible[i], horz), e = Extent(visible[i], horz);
        pos[i] = outer ? thickness - (n + e) : n;
    }
    const int rs = std::max(1, FRowSize);
    int rows = thickness / rs;
    for (int row = 0; row < rows;) {
        const int p = row * rs;
        bool used = false;
        for (size_t i = 0; i < visible.size() && !used; ++i) {
            int e = Extent(visible[i], horz);
            used = pos[i] == p || (pos[i] < p && p < pos[i] + e);
        }
        if (used) {
            ++row;
            continue;
        }
        // An empty row goes: what lies beyond it comes one row nearer.
        for (size_t i = 0; i < visible.size(); ++i)
            if (pos[i] > p) pos[i] -= rs;
        --rows;
    }
    int size = rows * rs + 1;
    // In a bottom or right dock a control dragged past the outer edge moves
    // every control inward; one that reaches past the rows makes the dock grow.
    for (size_t i = 0; i < visible.size() && outer; ++i) {
        if (pos[i] < 0) {
            int shift = -pos[i];
            for (int& q : pos) q += shift;
            size += shift;
            break;
        }
    }
    for (size_t i = 0; i < visible.size(); ++i) {
        int reach = pos[i] + Extent(visible[i], horz) + 1;
        if (reach > size) {
            size = reach;
            break;
        }
    }
    if (outer)
        for (size_t i = 0; i < visible.size(); ++i) size = std::max(size, pos[i] + Extent(visible[i], horz));
    for (size_t i = 0; i < visible.size(); ++i) {
        int e = Extent(visible[i], horz);
        SetNear(visible[i], horz, outer ? size - pos[i] - e : pos[i]);
    }
    if (horz) {
        if (outer) SetBounds(Left(), Top() + Height() - size, Width(), size);
        else SetHeight(size);
    } else {
        if (outer) SetBounds(Left() + Width() - size, Top(), size, Height());
        else SetWidth(size);
    }
}

// ---- TfrxDragBox ----------------------------------------------------------------------------

TfrxDragBox::TfrxDragBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 8, 8); }

void TfrxDragBox::Paint()
{
    auto* bar = DynamicCast<TfrxToolBar>(Parent());
    bool horz = !bar || !bar->Dock() || bar->Dock()->Horizontal();
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBtnShadow);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    if (horz) {
        for (int y = 1; y < Height(); y += 2) {
            c->MoveTo(2, y);
            c->LineTo(6, y);
        }
    } else {
        for (int x = 1; x < Width(); x += 2) {
            c->MoveTo(x, 2);
            c->LineTo(x, 6);
        }
    }
}

void TfrxDragBox::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (auto* bar = DynamicCast<TfrxToolBar>(Parent()); bar && button == mbLeft) bar->DragPress(x + Left(), y + Top());
}

void TfrxDragBox::MouseMove(TShiftState, int x, int y)
{
    if (auto* bar = DynamicCast<TfrxToolBar>(Parent())) bar->DragMove(x + Left(), y + Top());
}

void TfrxDragBox::MouseUp(TMouseButton, TShiftState, int, int)
{
    if (auto* bar = DynamicCast<TfrxToolBar>(Parent())) bar->DragRelease();
}

// ---- TfrxTBPanel ----------------------------------------------------------------------------

TfrxTBPanel::TfrxTBPanel(TComponent* owner) : TPanel(owner)
{
    SetBounds(0, 0, 8, 8);
    SetBevelOuter(bvNone);
    SetAlign(alLeft);
}

void TfrxTBPanel::SetParent(TWinControl* parent)
{
    TPanel::SetParent(parent);
    auto* bar = DynamicCast<TfrxToolBar>(parent);
    TfrxDock* dock = bar ? bar->Dock() : nullptr;
    SetAlign(dock && !dock->Horizontal() ? alTop : alLeft);
}

// ---- TfrxFloatWindow ------------------------------------------------------------------------

TfrxFloatWindow::TfrxFloatWindow(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(bsNone);
    FCloseBtn = new TSpeedButton(this);
    FCloseBtn->SetParent(this);
    FCloseBtn->SetFlat(true);
    FCloseBtn->SetCaption("x");
    FCloseBtn->SetBounds(0, 4, 11, 11);
    FCloseBtn->OnClick = [this](TObject* s) { CloseBtnClick(s); };
    OnPaint = [this](TObject* s) { FormPaint(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TfrxFloatWindow::~TfrxFloatWindow()
{
    if (FToolBar) FToolBar->FloatWindowGone();
}

void TfrxFloatWindow::FormShow(TObject*) { FCloseBtn->SetLeft(Width() - 14); }

void TfrxFloatWindow::CloseBtnClick(TObject*) { Hide(); }

void TfrxFloatWindow::FormPaint(TObject*)
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clGray);
    c->Pen()->SetWidth(3);
    c->Rectangle(1, 1, w - 1, h - 1);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clGray);
    c->FillRect(::Rect(3, 3, w - 3, 18));
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(3, 18);
    c->LineTo(w - 3, 18);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clCaptionText);
    c->TextOut(6, 3, Caption());
}

void TfrxFloatWindow::StartDrag()
{
    FLastPos = Mouse->CursorPos();
    FDragging = true;
    SetCaptureControl(this);
}

void TfrxFloatWindow::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (button != mbLeft) return;
    FLastPos = ClientToScreen(::Point(x, y));
    Application->ProcessMessages();
    FDragging = true;
}

void TfrxFloatWindow::MouseMove(TShiftState shift, int x, int y)
{
    if (!FDragging || !shift.Contains(ssLeft)) return;
    TPoint now = ClientToScreen(::Point(x, y));
    SetBounds(Left() + now.X - FLastPos.X, Top() + now.Y - FLastPos.Y, Width(), Height());
    FLastPos = now;
    auto* owner = DynamicCast<TWinControl>(Owner());
    if (FToolBar && owner) {
        TfrxToolBar* bar = FToolBar;
        if (bar->TryDockAt(owner, owner->ScreenToClient(now))) FDragging = false;
    }
}

void TfrxFloatWindow::MouseUp(TMouseButton, TShiftState, int, int)
{
    FDragging = false;
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
}

// ---- TfrxToolBar ----------------------------------------------------------------------------

TfrxToolBar::TfrxToolBar(TComponent* owner) : TPanel(owner)
{
    SetBevelOuter(bvNone);
    SetHeight(26);
    FGrip = new TfrxDragBox(this);
    FGrip->SetParent(this);
    FGrip->SetAlign(alLeft);
}

TfrxToolBar::~TfrxToolBar()
{
    if (FFloatWindow) {
        TfrxFloatWindow* w = FFloatWindow;
        FFloatWindow = nullptr;
        w->SetToolBar(nullptr);
        w->Hide();
        SetParent(nullptr);
        delete w;
    }
}

TfrxDock* TfrxToolBar::Dock() const { return DynamicCast<TfrxDock>(Parent()); }

bool TfrxToolBar::DockHorizontal() const
{
    TfrxDock* d = Dock();
    return !d || d->Horizontal();
}

bool TfrxToolBar::IsVisible() const { return FFloating && FFloatWindow ? FFloatWindow->Visible() : Visible(); }

void TfrxToolBar::SetBarVisible(bool v)
{
    if (FFloating && FFloatWindow) FFloatWindow->SetVisible(v);
    else SetVisible(v);
}

void TfrxToolBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    if (!FFloating) {
        TRect r = ClientRect();
        Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    }
}

void TfrxToolBar::Resize()
{
    TPanel::Resize();
    if (!FGrip) return;
    FGrip->SetBounds(FGrip->Left(), FGrip->Top(), 8, 8);
    FGrip->SetAlign(DockHorizontal() ? alLeft : alTop);
}

void TfrxToolBar::AdjustControls()
{
    const bool horz = DockHorizontal();
    DisableAlign();
    FGrip->SetAlign(alNone);
    FGrip->SetBounds(0, 0, 8, 8);
    std::vector<TControl*> kids;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i) != FGrip && Controls(i)->Visible()) kids.push_back(Controls(i));
    std::stable_sort(kids.begin(), kids.end(), [horz](TControl* a, TControl* b) {
        return horz ? a->Left() < b->Left() : a->Top() < b->Top();
    });
    if (horz ? Height() > Width() : Width() > Height()) SetBounds(Left(), Top(), Height(), Width());
    for (TControl* k : kids) {
        if (horz) {
            if (k->Align() == alLeft || k->Align() == alRight) continue;
            TAlign a = k->Align() == alBottom ? alRight : alLeft;
            int was = k->Top();
            k->SetAlign(alNone);
            k->SetLeft(was);
            k->SetAlign(a);
        } else {
            if (k->Align() == alTop || k->Align() == alBottom) continue;
            TAlign a = k->Align() == alRight ? alBottom : alTop;
            int was = k->Left();
            k->SetAlign(alNone);
            k->SetTop(was);
            k->SetAlign(a);
        }
    }
    FGrip->SetAlign(horz ? alLeft : alTop);
    EnableAlign();
}

void TfrxToolBar::AdjustSize()
{
    AdjustControls();
    const bool horz = DockHorizontal();
    int sum = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) sum += horz ? Controls(i)->Width() : Controls(i)->Height();
    if (horz) SetWidth(sum + 4);
    else SetHeight(sum + 4);
}

void TfrxToolBar::DockTo(TfrxDock* dock, int x, int y)
{
    Hide();
    TfrxDock* old = Dock();
    if (FFloatWindow) {
        TfrxFloatWindow* w = FFloatWindow;
        FFloatWindow = nullptr;
        w->SetToolBar(nullptr);
        w->Hide();
        SetParent(dock);
        w->Release();
    } else {
        SetParent(dock);
    }
    if (old && old != dock) old->AdjustBounds();
    FFloating = false;
    FGrip->Show();
    AdjustControls();
    SetBounds(x, y, Width(), Height());
    Show();
    AdjustSize();
    dock->AdjustBounds();
}

void TfrxToolBar::AddToDock(TfrxDock* dock)
{
    switch (dock->Align()) {
    case alBottom: DockTo(dock, 0, 1 - Height()); break;
    case alLeft: DockTo(dock, dock->Width() - 1, 0); break;
    case alRight: DockTo(dock, 1 - Width(), 0); break;
    default: DockTo(dock, 0, dock->Height() - 1); break;
    }
}

bool TfrxToolBar::TryDockAt(TWinControl* parent, TPoint pt)
{
    TfrxDock* dock = nullptr;
    for (int i = 0; i < parent->ControlCount() && !dock; ++i) {
        auto* d = DynamicCast<TfrxDock>(parent->Controls(i));
        if (d && d->Visible() && pt.X >= d->Left() && pt.X <= d->Left() + d->Width() && pt.Y >= d->Top() &&
            pt.Y <= d->Top() + d->Height())
            dock = d;
    }
    if (!dock) return false;
    if (Orientation == toHorzOnly && !dock->Horizontal()) return false;
    if (Orientation == toVertOnly && dock->Horizontal()) return false;
    // The bar's length along the dock and thickness across it once it has turned.
    const int length = std::max(Width(), Height()), thick = std::min(Width(), Height());
    int x, y;
    if (dock->Horizontal()) {
        x = std::clamp(pt.X - dock->Left(), 0, std::max(0, dock->Width() - length));
        y = dock->Align() == alBottom ? 1 - thick : dock->Height() - 1;
    } else {
        y = std::clamp(pt.Y - dock->Top(), 0, std::max(0, dock->Height() - length));
        x = dock->Align() == alRight ? 1 - thick : dock->Width() - 1;
    }
    DockTo(dock, x, y);
    // The drag goes on with the bar in its dock, as after a press on it.
    SetCaptureControl(this);
    FLastPos = Mouse->CursorPos();
    FDragging = true;
    return true;
}

void TfrxToolBar::MakeFloat(int x, int y)
{
    FFloating = true;
    if (FFloatWindow) {
        FFloatWindow->SetBounds(x, y, FFloatWindow->Width(), FFloatWindow->Height());
        return;
    }
    TfrxDock* old = Dock();
    Hide();
    FGrip->Hide();
    auto* w = new TfrxFloatWindow(GetParentForm(this) ? static_cast<TComponent*>(GetParentForm(this)) : Owner());
    w->SetToolBar(this);
    w->SetCaption(Caption());
    w->SetBounds(x, y, 40, 40);
    FFloatWindow = w;
    SetParent(w);
    AdjustControls();
    AdjustSize();
    if (old) old->AdjustBounds();
    w->SetClientWidth(Width() + 6);
    w->SetClientHeight(Height() + 21);
    SetBounds(3, 18, Width(), Height());
    Show();
    w->Show();
}

void TfrxToolBar::FloatAtCursor()
{
    TPoint p = Mouse->CursorPos();
    FDragging = false;
    MakeFloat(p.X, p.Y);
    if (FFloatWindow) FFloatWindow->StartDrag();
}

bool TfrxToolBar::MoveTo(int x, int y)
{
    if (FFloating) return true;
    TfrxDock* dock = Dock();
    if (!dock) return false;
    const bool horz = dock->Horizontal();
    const int len = horz ? dock->Width() : dock->Height();
    const int ext = horz ? Width() : Height();
    const int crossFrom = horz ? y : x, crossExt = horz ? Height() : Width();
    int a = horz ? x : y;
    bool floating = false;
    int passes = 0;
    while (passes < 4) {
        ++passes;
        bool changed = false;
        if (a < -20 && CanFloat) {
            floating = true;
            break;
        }
        if (a < 0) {
            a = 0;
            changed = true;
        }
        if (a + ext > len) {
            a = std::max(0, len - ext);
            changed = changed || a != (horz ? x : y);
        }
        for (int i = 0; i < dock->ControlCount(); ++i) {
            TControl* c = dock->Controls(i);
            if (c == this || !c->Visible()) continue;
            int cf = horz ? c->Top() : c->Left(), ce = horz ? c->Height() : c->Width();
            if (cf + ce <= crossFrom || crossFrom + crossExt <= cf) continue;   // another row
            int cs = horz ? c->Left() : c->Top(), cl = horz ? c->Width() : c->Height();
            if (a >= cs && a < cs + cl) {
                a = cs + cl;
                changed = true;
            } else if (cs >= a && cs < a + ext) {
                a = cs - ext;
                changed = true;
            }
        }
        if (!changed) break;
    }
    if (floating) {
        FloatAtCursor();
        return true;
    }
    if (passes >= 3) return false;
    const int crossBefore = horz ? dock->Height() : dock->Width();
    if (horz) SetBounds(a, y, Width(), Height());
    else SetBounds(x, a, Width(), Height());
    dock->AdjustBounds();
    const int crossAfter = horz ? dock->Height() : dock->Width();
    if (CanFloat && (crossFrom < 0 || crossFrom >= crossBefore) && crossAfter == crossBefore) FloatAtCursor();
    return true;
}

void TfrxToolBar::DragPress(int x, int y)
{
    FLastPos = ClientToScreen(::Point(x, y));
    FDragging = true;
}

void TfrxToolBar::DragMove(int x, int y)
{
    if (!FDragging) return;
    if (FFloating) {
        FDragging = false;
        return;
    }
    TfrxDock* dock = Dock();
    if (!dock) return;
    TPoint now = ClientToScreen(::Point(x, y));
    int dx = now.X - FLastPos.X, dy = now.Y - FLastPos.Y;
    const int rs = std::max(1, dock->RowSize());
    if (dock->Horizontal()) dy = dy / rs * rs;
    else dx = dx / rs * rs;
    if (dx == 0 && dy == 0) return;
    if (MoveTo(Left() + dx, Top() + dy)) {
        if (dx != 0) FLastPos.X += dx;
        if (dy != 0) FLastPos.Y += dy;
    }
}

void TfrxToolBar::DragRelease()
{
    FDragging = false;
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
}

void TfrxToolBar::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (button == mbLeft) DragPress(x, y);
}

void TfrxToolBar::MouseMove(TShiftState, int x, int y) { DragMove(x, y); }

void TfrxToolBar::MouseUp(TMouseButton, TShiftState, int, int) { DragRelease(); }

// ---- TfrxDockSite ---------------------------------------------------------------------------

namespace {
// The 3-pixel bar beside a dock site that sizes it.
class TfrxDockSplitter : public TGraphicControl {
public:
    explicit TfrxDockSplitter(TfrxDockSite* site) : TGraphicControl(site), FSite(site)
    {
        SetWidth(3);
        SetCursor(crHSplit);
        Hide();
    }

protected:
    void MouseDown(TMouseButton, TShiftState, int x, int) override
    {
        FFrom = x;
        FSite->SplitterPress();
    }
    void MouseMove(TShiftState, int x, int) override
    {
        if (FSite->Resizing()) FSite->SplitterMove(x - FFrom);
    }
    void MouseUp(TMouseButton, TShiftState, int, int) override { FSite->SplitterRelease(); }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(ClientRect());
    }

private:
    TfrxDockSite* FSite;
    int FFrom = 0;
};
}  // namespace

TfrxDockSite::TfrxDockSite(TComponent* owner) : TPanel(owner)
{
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetCaption(" ");
    SetAlign(alLeft);
    SetWidth(10);
    SetAutoSize(true);
    SetDockSite(true);
    FSplitter = new TfrxDockSplitter(this);
    OnDockOver = [this](TObject*, TDragDockObject* source, int, int, TDragState, bool& accept) {
        if (source && source->Control()) FDraggedWidth = source->Control()->Width();
        accept = true;
    };
    OnDockDrop = [this](TObject*, TDragDockObject* source, int, int) {
        if (Width() < FDraggedWidth && source && source->Control()) source->Control()->SetWidth(FDraggedWidth);
        PlaceSplitter();
        FSplitter->Show();
    };
    OnUnDock = [this](TObject*, TControl*, TWinControl*, bool& allow) {
        allow = true;
        if (DockClientCount() <= 1) FSplitter->Hide();
    };
}

void TfrxDockSite::SetParent(TWinControl* parent)
{
    TPanel::SetParent(parent);
    if (FSplitter) FSplitter->SetParent(parent);
    PlaceSplitter();
}

void TfrxDockSite::SetBounds(int left, int top, int width, int height)
{
    TPanel::SetBounds(left, top, width, height);
    if (FSplitter && FSplitter->Align() != Align()) PlaceSplitter();
}

void TfrxDockSite::PlaceSplitter()
{
    if (!FSplitter || !Parent()) return;
    // Beside the site's inner edge: right of a left site, left of a right one.
    int x = Align() == alRight ? Left() - 3 : Left() + Width() + 3;
    FSplitter->SetAlign(alNone);
    FSplitter->SetBounds(x, Top(), 3, Height());
    FSplitter->SetAlign(Align());
}

void TfrxDockSite::SplitterMove(int dx)
{
    SetAutoSize(false);
    SetWidth(Align() == alRight ? Width() - dx : Width() + dx);
    SetAutoSize(true);
}

// ---- layout persistence ---------------------------------------------------------------------

namespace frxDock {

void SaveToolbarPosition(TCustomIniFile* store, TfrxToolBar* bar)
{
    const std::string s = "ToolBar." + bar->Name();
    store->WriteBool(s, "Float", bar->Floating());
    store->WriteBool(s, "Visible", bar->IsVisible());
    TControl* placed = bar->Floating() && bar->FloatWindow() ? static_cast<TControl*>(bar->FloatWindow()) : bar;
    store->WriteInteger(s, "Left", placed->Left());
    store->WriteInteger(s, "Top", placed->Top());
    store->WriteInteger(s, "Width", bar->Width());
    store->WriteInteger(s, "Height", bar->Height());
    if (TfrxDock* d = bar->Dock()) store->WriteString(s, "Dock", d->Name());
}

void RestoreToolbarPosition(TCustomIniFile* store, TfrxToolBar* bar)
{
    const std::string s = "ToolBar." + bar->Name();
    bar->SetBarVisible(false);
    int left = store->ReadInteger(s, "Left", bar->Left());
    int top = store->ReadInteger(s, "Top", bar->Top());
    if (store->ReadBool(s, "Float", false)) {
        bar->MakeFloat(left, top);
    } else {
        bar->SetBounds(left, top, bar->Width(), bar->Height());
        TfrxDock* current = bar->Dock();
        std::string name = store->ReadString(s, "Dock", current ? current->Name() : std::string());
        TComponent* found = bar->Owner() && !name.empty() ? bar->Owner()->FindComponent(name) : nullptr;
        auto* dock = DynamicCast<TfrxDock>(found);
        if (dock && dock != current) bar->DockTo(dock, left, top);
    }
    bar->SetBounds(bar->Left(), bar->Top(), store->ReadInteger(s, "Width", bar->Width()),
                   store->ReadInteger(s, "Height", bar->Height()));
    bar->AdjustSize();
    bar->SetBarVisible(store->ReadBool(s, "Visible", true));
}

void SaveDockSite(TCustomIniFile* store, TfrxDockSite* site)
{
    TMemoryStream m;
    if (TDockManager* dm = site->DockManager()) dm->SaveToStream(&m);
    m.SetPosition(0);
    store->WriteString("Dock." + site->Name(), "Data", frxUtils::StreamToHexText(&m));
}

void RestoreDockSite(TCustomIniFile* store, TfrxDockSite* site)
{
    std::string hex = store->ReadString("Dock." + site->Name(), "Data", "");
    TMemoryStream m;
    frxUtils::HexTextToStream(hex, &m);
    if (m.Size() == 0) return;
    m.SetPosition(0);
    if (TDockManager* dm = site->DockManager()) dm->LoadFromStream(&m);
    if (site->DockClientCount() > 0) {
        site->PlaceSplitter();
        site->Splitter()->Show();
    }
}

void SaveFormPosition(TCustomIniFile* store, TCustomForm* form)
{
    const std::string s = "Form." + std::string(form->ClassName());
    store->WriteInteger(s, "Left", form->Left());
    store->WriteInteger(s, "Top", form->Top());
    store->WriteInteger(s, "Width", form->Width());
    store->WriteInteger(s, "Height", form->Height());
    store->WriteBool(s, "Maximized", form->WindowState() == wsMaximized);
    store->WriteBool(s, "Visible", form->Visible());
    TWinControl* host = form->HostDockSite();
    store->WriteString(s, "Dock", host ? host->Name() : std::string());
}

void RestoreFormPosition(TCustomIniFile* store, TCustomForm* form)
{
    const std::string s = "Form." + std::string(form->ClassName());
    if (store->ReadBool(s, "Maximized", false)) {
        form->SetWindowState(wsMaximized);
    } else {
        form->SetBounds(store->ReadInteger(s, "Left", form->Left()), store->ReadInteger(s, "Top", form->Top()),
                        store->ReadInteger(s, "Width", form->Width()), store->ReadInteger(s, "Height", form->Height()));
    }
    std::string dock = store->ReadString(s, "Dock", "");
    if (!dock.empty()) {
        auto* host = DynamicCast<TWinControl>(frxUtils::FindComponentByPath(form->Owner(), dock));
        if (host) form->ManualDock(host);
    }
    form->SetVisible(store->ReadBool(s, "Visible", true));
}

}  // namespace frxDock
