// What docking knows of a control (its site, its float window, its size
// when floating) and of a site (its arrangement) is kept here beside the
// controls, checked through weak references, so controls carry no docking
// state of their own.
#include "Docking.h"
#include "Forms.h"
#include "Overlay.h"
#include "Streams.h"
#include "TextUtils.h"

#include <map>
#include <memory>

QZ_CLASS_IMPL(TDragDockObject, TDragObject)
QZ_CLASS_IMPL(TDockManager, TObject)

// The window a control that is no form floats in: a tool window with the
// control's caption, which the control fills, and which goes when the
// control docks again or is freed.
class TFloatDockForm : public TForm {
    QZ_CLASS(TFloatDockForm, TForm)
public:
    explicit TFloatDockForm(TComponent* owner = nullptr) : TForm(owner)
    {
        SetBorderStyle(bsSizeToolWin);
        OnResize = [this](TObject*) { FitClient(); };
    }
    TControl* Client() const { return FClient.Get(); }
    void Take(TControl* c)
    {
        FClient = c;
        c->FreeNotification(this);
        SetCaption(c->Caption());
        c->SetParent(this);
        FitClient();
    }
    void Leave()
    {
        if (TControl* c = FClient.Get()) c->RemoveFreeNotification(this);
        FClient = nullptr;
        Hide();
        ReleaseLater(this);
    }
protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TForm::Notification(c, op);
        if (op == opRemove && c == FClient.Get()) {
            FClient = nullptr;
            Hide();
            ReleaseLater(this);
        }
    }
private:
    void FitClient()
    {
        if (TControl* c = FClient.Get()) c->SetBounds(0, 0, ClientWidth(), ClientHeight());
    }
    TWeakRef<TControl> FClient;
};
QZ_CLASS_IMPL(TFloatDockForm, TForm)

namespace {

struct TClientInfo {
    TWeakRef<TControl> Self;
    TWeakRef<TWinControl> Host;
    TWeakRef<TFloatDockForm> Float;
    int UndockWidth = 0, UndockHeight = 0;
};

struct TSiteInfo {
    TWeakRef<TWinControl> Self;
    std::unique_ptr<TDockManager> Manager;
};

std::map<const TControl*, TClientInfo>& Clients()
{
    static auto* m = new std::map<const TControl*, TClientInfo>();
    return *m;
}
std::map<const TWinControl*, TSiteInfo>& Sites()
{
    static auto* m = new std::map<const TWinControl*, TSiteInfo>();
    return *m;
}

// The entry of a live control; an entry left by a freed one at the same
// address starts over.
TClientInfo* ClientOf(const TControl* c, bool make)
{
    auto& m = Clients();
    auto it = m.find(c);
    if (it != m.end() && it->second.Self.Get() != c) {
        m.erase(it);
        it = m.end();
    }
    if (it == m.end()) {
        if (!make) return nullptr;
        it = m.emplace(c, TClientInfo{}).first;
        it->second.Self = const_cast<TControl*>(c);
    }
    return &it->second;
}

TSiteInfo* SiteOf(const TWinControl* c)
{
    auto& m = Sites();
    auto it = m.find(c);
    if (it == m.end()) return nullptr;
    if (it->second.Self.Get() != c) {
        m.erase(it);
        return nullptr;
    }
    return &it->second;
}

TDockControlFinder& Finder()
{
    static auto* f = new TDockControlFinder();
    return *f;
}

TControl* FindByName(const std::string& name)
{
    if (Finder()) return Finder()(name);
    if (name.empty()) return nullptr;
    auto asControl = [](TComponent* c) { return DynamicCast<TControl>(c); };
    if (Application)
        if (TControl* c = asControl(Application->FindComponent(name))) return c;
    if (Screen)
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (SameText(f->Name(), name)) return f;
            if (TControl* c = asControl(f->FindComponent(name))) return c;
        }
    return nullptr;
}

// Takes a control out of its site (asking the site) or its float window.
bool Leave(TControl* c, TWinControl* newTarget)
{
    TClientInfo* info = ClientOf(c, false);
    if (!info) return true;
    if (TWinControl* host = info->Host.Get()) {
        bool allow = true;
        if (host->OnUnDock) host->OnUnDock(host, c, newTarget, allow);
        if (!allow) return false;
        if (TDockManager* m = host->DockManager()) {
            m->RemoveControl(c);
            m->ResetBounds(true);
        }
        info->Host = nullptr;
    }
    if (TFloatDockForm* f = info->Float.Get()) {
        info->Float = nullptr;
        c->SetParent(nullptr);
        f->Leave();
    }
    return true;
}

} // namespace

void SetDockControlFinder(TDockControlFinder finder) { Finder() = std::move(finder); }

// ---- TControl's and TWinControl's docking members ------------------------------------------

TWinControl* TControl::HostDockSite() const
{
    TClientInfo* info = ClientOf(this, false);
    TWinControl* h = info ? info->Host.Get() : nullptr;
    return h && Parent() == h ? h : nullptr;
}

bool TControl::Floating() const
{
    TClientInfo* info = ClientOf(this, false);
    if (info && info->Float.Get()) return true;
    return DynamicCast<TCustomForm>(const_cast<TControl*>(this)) && !Parent();
}

int TControl::UndockWidth() const
{
    TClientInfo* info = ClientOf(this, false);
    return info && info->UndockWidth > 0 ? info->UndockWidth : Width();
}
int TControl::UndockHeight() const
{
    TClientInfo* info = ClientOf(this, false);
    return info && info->UndockHeight > 0 ? info->UndockHeight : Height();
}
void TControl::SetUndockWidth(int v) { ClientOf(this, true)->UndockWidth = std::max(0, v); }
void TControl::SetUndockHeight(int v) { ClientOf(this, true)->UndockHeight = std::max(0, v); }

void TControl::ManualDock(TWinControl* site, TControl* dropControl, TAlign side)
{
    if (!site) {
        ManualFloat(TRect());
        return;
    }
    if (site == this || (DynamicCast<TWinControl>(this) && static_cast<TWinControl*>(this)->ContainsControl(site)))
        throw EInvalidOperation("A control cannot be docked into itself");
    TClientInfo* info = ClientOf(this, true);
    if (info->Host.Get() == site && Parent() == site) return;
    bool wasFloating = Floating();
    int w = Width(), h = Height();
    if (!Leave(this, site)) return;
    info = ClientOf(this, true);
    if (wasFloating || info->UndockWidth == 0) {
        // The size it had floating is the size it floats again with.
        info->UndockWidth = w;
        info->UndockHeight = h;
    }
    SetParent(site);
    info->Host = site;
    if (TDockManager* m = site->DockManager()) {
        m->InsertControl(this, side, dropControl);
        m->ResetBounds(true);
    }
    if (site->OnDockDrop) {
        TDragDockObject obj(this);
        obj.DockTarget = site;
        obj.DropAlign = side;
        obj.DropOnControl = dropControl;
        TPoint p = site->ScreenToClient(ClientToScreen(Point(0, 0)));
        site->OnDockDrop(site, &obj, p.X, p.Y);
    }
}

void TControl::ManualFloat(const TRect& screenPos)
{
    if (!Leave(this, nullptr)) return;
    TClientInfo* info = ClientOf(this, true);
    int w = screenPos.Width() > 0 ? screenPos.Width() : UndockWidth();
    int h = screenPos.Height() > 0 ? screenPos.Height() : UndockHeight();
    TPoint at{screenPos.Left, screenPos.Top};
    if (IsRectEmpty(screenPos) && screenPos.Left == 0 && screenPos.Top == 0)
        at = Parent() ? ClientToScreen(Point(0, 0)) : Point(Left(), Top());
    if (auto* form = DynamicCast<TCustomForm>(this)) {
        bool shown = Visible();
        SetParent(nullptr);
        SetBounds(at.X, at.Y, w, h);
        // Its window was a child's: it shows again as a window of its own.
        if (shown) {
            form->Hide();
            form->Show();
        }
        return;
    }
    auto* f = new TFloatDockForm(nullptr);
    f->SetBounds(at.X, at.Y, w, h);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    f->Take(this);
    info->Float = f;
    info->UndockWidth = w;
    info->UndockHeight = h;
    if (Visible()) f->Show();
}

bool TWinControl::DockSite() const
{
    return SiteOf(this) != nullptr;
}

void TWinControl::SetDockSite(bool v)
{
    if (v == DockSite()) return;
    if (v) {
        TSiteInfo& s = Sites()[this];
        s.Self = this;
        s.Manager = std::make_unique<TDockManager>(this);
    } else {
        Sites().erase(this);
    }
}

TDockManager* TWinControl::DockManager() const
{
    TSiteInfo* s = SiteOf(this);
    return s ? s->Manager.get() : nullptr;
}

int TWinControl::DockClientCount() const
{
    TDockManager* m = DockManager();
    return m ? m->Count() : 0;
}

TControl* TWinControl::DockClients(int index) const
{
    TDockManager* m = DockManager();
    if (!m || index < 0 || index >= m->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return m->Client(index);
}

// ---- the arrangement of a site ------------------------------------------------------------

bool TDockManager::Vertical() const
{
    return FSite->Align() != alTop && FSite->Align() != alBottom;
}

void TDockManager::Prune()
{
    std::erase_if(FZones, [this](const TZone& z) { return !z.Control.Get() || z.Control->Parent() != FSite; });
}

void TDockManager::InsertControl(TControl* c, TAlign insertAt, TControl* drop)
{
    Prune();
    RemoveControl(c);
    TZone z;
    z.Control = c;
    z.Size = Vertical() ? c->Height() : c->Width();
    auto at = FZones.end();
    for (auto it = FZones.begin(); it != FZones.end(); ++it)
        if (drop && it->Control.Get() == drop) {
            at = insertAt == alLeft || insertAt == alTop ? it : it + 1;
            break;
        }
    FZones.insert(at, z);
}

void TDockManager::RemoveControl(TControl* c)
{
    std::erase_if(FZones, [c](const TZone& z) { return z.Control.Get() == c; });
}

void TDockManager::SetZoneSize(int i, int size)
{
    if (i < 0 || i >= Count()) return;
    FZones[size_t(i)].Size = std::max(0, size);
    ResetBounds(true);
}

void TDockManager::ResetBounds(bool)
{
    Prune();
    TRect r = FSite->ClientRect();
    bool vert = Vertical();
    int total = vert ? r.Height() : r.Width();
    std::vector<TZone*> shown;
    for (auto& z : FZones)
        if (z.Control->Visible()) shown.push_back(&z);
    if (shown.empty()) return;
    // The last takes what is left; the others keep their sizes while they fit.
    int want = 0;
    for (size_t i = 0; i + 1 < shown.size(); ++i) want += shown[i]->Size;
    double scale = want > total && want > 0 ? double(total) / want : 1.0;
    int pos = vert ? r.Top : r.Left;
    for (size_t i = 0; i < shown.size(); ++i) {
        int size = i + 1 < shown.size() ? int(shown[i]->Size * scale)
                                        : std::max(0, (vert ? r.Bottom : r.Right) - pos);
        TControl* c = shown[i]->Control.Get();
        if (vert) c->SetBounds(r.Left, pos, r.Width(), size);
        else c->SetBounds(pos, r.Top, size, r.Height());
        pos += size;
    }
}

// The stream: "QZDK", version 1, the count, then per control its name
// (16-bit length and UTF-8 bytes), its size and whether it shows.
void TDockManager::SaveToStream(TStream* s) const
{
    s->WriteString("QZDK");
    s->WriteWord(1);
    std::vector<const TZone*> live;
    for (auto& z : FZones)
        if (z.Control.Get() && !z.Control->Name().empty()) live.push_back(&z);
    s->WriteInt32(int32_t(live.size()));
    for (const TZone* z : live) {
        const std::string& n = z->Control->Name();
        s->WriteWord(uint16_t(n.size()));
        s->WriteString(n);
        s->WriteInt32(z->Size);
        s->WriteByte(z->Control->Visible() ? 1 : 0);
    }
}

std::vector<TDockLayoutEntry> ReadDockLayout(TStream* s)
{
    auto bad = []() { return EReadError("The dock layout is not valid"); };
    auto need = [&](int64_t n) { if (s->Size() - s->Position() < n) throw bad(); };
    need(4 + 2 + 4);
    if (s->ReadString(4) != "QZDK") throw bad();
    if (s->ReadWord() != 1) throw bad();
    int32_t count = s->ReadInt32();
    if (count < 0 || count > 4096) throw bad();
    std::vector<TDockLayoutEntry> out;
    for (int32_t i = 0; i < count; ++i) {
        need(2);
        uint16_t len = s->ReadWord();
        if (len == 0 || len > 1024) throw bad();
        need(int64_t(len) + 5);
        TDockLayoutEntry e;
        e.Name = s->ReadString(len);
        e.Size = std::clamp(s->ReadInt32(), 0, 1000000);
        e.Visible = s->ReadByte() != 0;
        out.push_back(std::move(e));
    }
    return out;
}

void TDockManager::LoadFromStream(TStream* s)
{
    std::vector<TDockLayoutEntry> entries = ReadDockLayout(s);
    for (auto& e : entries) {
        TControl* c = FindByName(e.Name);
        if (!c || c == FSite) continue;
        if (auto* w = DynamicCast<TWinControl>(c); w && w->ContainsControl(FSite)) continue;
        c->ManualDock(FSite);
        c->SetVisible(e.Visible);
        for (auto& z : FZones)
            if (z.Control.Get() == c) z.Size = e.Size;
    }
    // The named controls in the stream's order; others docked here before
    // stay, after them.
    std::vector<TZone> ordered;
    for (auto& e : entries)
        for (auto& z : FZones)
            if (z.Control.Get() && z.Control->Name() == e.Name) ordered.push_back(z);
    for (auto& z : FZones)
        if (std::none_of(ordered.begin(), ordered.end(), [&](const TZone& o) { return o.Control.Get() == z.Control.Get(); }))
            ordered.push_back(z);
    FZones = std::move(ordered);
    ResetBounds(true);
}

// ---- dragging to dock ---------------------------------------------------------------------

namespace {

struct TDockDrag {
    TWeakRef<TControl> Control;
    int MouseFilter = 0, KeyFilter = 0;
    TRect Shown;
    bool Showing = false;
    TWeakRef<TWinControl> Target;
};
std::unique_ptr<TDockDrag>& Drag()
{
    static auto* d = new std::unique_ptr<TDockDrag>();
    return *d;
}

void ShowFrame(TDockDrag& d, const TRect& r)
{
    if (d.Showing && r == d.Shown) return;
    if (d.Showing) ScreenOverlay()->InvertFrame(d.Shown, 3);
    d.Shown = r;
    d.Showing = !IsRectEmpty(r);
    if (d.Showing) ScreenOverlay()->InvertFrame(r, 3);
}

TRect ScreenRectOf(TControl* c)
{
    TPoint o = c->ClientToScreen(Point(0, 0));
    return Bounds(o.X, o.Y, c->ClientWidth(), c->ClientHeight());
}

// The site under the point that takes the control, and where it would lie.
TWinControl* SiteAt(TControl* c, TPoint screen, TRect& rect)
{
    for (TWinControl* w = FindVCLWindow(screen); w; w = w->Parent()) {
        if (!w->DockSite() || w == c) continue;
        if (auto* cw = DynamicCast<TWinControl>(c); cw && cw->ContainsControl(w)) continue;
        TRect influence = ScreenRectOf(w);
        bool can = true;
        if (w->OnGetSiteInfo) w->OnGetSiteInfo(w, c, influence, screen, can);
        if (!can || !PtInRect(influence, screen)) continue;
        bool accept = true;
        if (w->OnDockOver) {
            TDragDockObject obj(c);
            obj.DockTarget = w;
            obj.DockRect = ScreenRectOf(w);
            TPoint p = w->ScreenToClient(screen);
            w->OnDockOver(w, &obj, p.X, p.Y, dsDragMove, accept);
        }
        if (!accept) continue;
        rect = ScreenRectOf(w);
        return w;
    }
    rect = Bounds(screen.X, screen.Y, c->UndockWidth(), c->UndockHeight());
    return nullptr;
}

TPoint ScreenPointOf(HWND target, const TMessage& m)
{
    TWinControl* w = FindControl(target);
    TPoint p{GET_X_LPARAM(m.LParam), int16_t((m.LParam >> 16) & 0xFFFF)};
    return w ? w->ClientToScreen(p) : Mouse->CursorPos();
}

void EndDockDrag(bool drop, TPoint screen)
{
    std::unique_ptr<TDockDrag> d = std::move(Drag());
    if (!d) return;
    RemoveMessageFilter(d->MouseFilter);
    RemoveMessageFilter(d->KeyFilter);
    ShowFrame(*d, TRect());
    if (GetCaptureControl()) SetCaptureControl(nullptr);
    TControl* c = d->Control.Get();
    if (!drop || !c) return;
    TRect r;
    if (TWinControl* site = SiteAt(c, screen, r)) c->ManualDock(site);
    else c->ManualFloat(r);
}

} // namespace

void BeginDockDrag(TControl* control)
{
    CancelDockDrag();
    if (!control) return;
    auto d = std::make_unique<TDockDrag>();
    d->Control = control;
    d->MouseFilter = AddMessageFilter(TMessageFilterKind::Mouse, [](HWND target, TMessage& m) {
        if (!Drag()) return false;
        if (m.Msg == WM_MOUSEMOVE) {
            TDockDrag& dd = *Drag();
            TControl* c = dd.Control.Get();
            if (!c) {
                CancelDockDrag();
                return false;
            }
            TRect r;
            dd.Target = SiteAt(c, ScreenPointOf(target, m), r);
            ShowFrame(dd, r);
            return true;
        }
        if (m.Msg == WM_LBUTTONUP) {
            EndDockDrag(true, ScreenPointOf(target, m));
            return true;
        }
        if (m.Msg == WM_RBUTTONDOWN) {
            CancelDockDrag();
            return true;
        }
        return m.Msg == WM_LBUTTONDOWN;
    });
    d->KeyFilter = AddMessageFilter(TMessageFilterKind::GetMessage, [](HWND, TMessage& m) {
        if (m.Msg == WM_KEYDOWN && m.WParam == VK_ESCAPE && Drag()) {
            CancelDockDrag();
            return true;
        }
        return false;
    });
    Drag() = std::move(d);
}

bool DockDragging() { return Drag() != nullptr; }

void CancelDockDrag() { EndDockDrag(false, TPoint()); }
