// Menus over the window system's menus: a popup is a native menu shown
// modally (its own loop runs until it closes), the menu bar a native bar in
// the form's top border. The items are made from the menu's items each time
// a menu opens, so what a program changed in between shows.
#include "Menus.h"
#include "ActnList.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "QzGuiPrivate.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidgetAction>

#include <algorithm>

using namespace qzgui;

QZ_CLASS_IMPL(TMenuItem, TComponent)
QZ_CLASS_IMPL(TMenu, TComponent)
QZ_CLASS_IMPL(TMainMenu, TMenu)
QZ_CLASS_IMPL(TPopupMenu, TMenu)

// ---- captions and short-cuts -------------------------------------------------------------

std::string StripHotkey(const std::string& caption)
{
    std::string r;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;   // "&&" leaves one '&'
        r += caption[i];
    }
    return r;
}

namespace {
struct TKeyName {
    uint16_t Key;
    const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};
}

std::string ShortCutToText(TShortCut sc)
{
    uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(sc, key, shift);
    std::string name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) name = std::string(1, char(key));
    else if (key >= VK_F1 && key <= VK_F12) name = "F" + std::to_string(key - VK_F1 + 1);
    else
        for (const auto& k : KeyNames)
            if (k.Key == key) name = k.Name;
    if (name.empty()) return {};
    std::string r;
    if (shift.Contains(ssShift)) r += "Shift+";
    if (shift.Contains(ssCtrl)) r += "Ctrl+";
    if (shift.Contains(ssAlt)) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::string& text)
{
    TShiftState shift;
    std::string rest = text;
    for (bool more = true; more;) {
        more = false;
        for (const char* p : {"Shift+", "Ctrl+", "Alt+"}) {
            size_t n = std::char_traits<char>::length(p);
            if (rest.size() > n && std::equal(p, p + n, rest.begin(), [](char a, char b) {
                    return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b));
                })) {
                shift.Include(p[0] == 'S' ? ssShift : p[0] == 'C' ? ssCtrl : ssAlt);
                rest = rest.substr(n);
                more = true;
            }
        }
    }
    uint16_t key = 0;
    if (rest.size() == 1 && std::isalnum(uint8_t(rest[0]))) key = uint16_t(std::toupper(uint8_t(rest[0])));
    else if (rest.size() >= 2 && (rest[0] == 'F' || rest[0] == 'f') && std::isdigit(uint8_t(rest[1]))) {
        int n = std::atoi(rest.c_str() + 1);
        if (n >= 1 && n <= 12) key = uint16_t(VK_F1 + n - 1);
    } else {
        for (const auto& k : KeyNames)
            if (rest == k.Name) key = k.Key;
    }
    return key ? ShortCut(key, shift) : TShortCut(0);
}

// ---- items ---------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem()
{
    // Sub-items go with their item (each leaves its owner's list as it goes).
    while (!FItems.empty()) {
        TMenuItem* c = FItems.back();
        FItems.pop_back();
        c->FParent = nullptr;
        delete c;
    }
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& v)
{
    if (v == FCaption) return;
    FCaption = v;
    Changed();
}

void TMenuItem::SetChecked(bool v)
{
    if (v == FChecked) return;
    FChecked = v;
    if (v && FRadioItem && FParent)
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) s->FChecked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool v)
{
    if (v == FEnabled) return;
    FEnabled = v;
    Changed();
}

void TMenuItem::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    Changed();
}

void TMenuItem::SetRadioItem(bool v)
{
    if (v == FRadioItem) return;
    FRadioItem = v;
    Changed();
}

void TMenuItem::SetDefault(bool v)
{
    if (v == FDefault) return;
    FDefault = v;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut v)
{
    if (v == FShortCut) return;
    FShortCut = v;
    Changed();
}

void TMenuItem::SetImageIndex(int v)
{
    if (v == FImageIndex) return;
    FImageIndex = v;
    Changed();
}

TBitmap* TMenuItem::Bitmap()
{
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* v)
{
    Bitmap()->Assign(v);
    Changed();
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
    return FItems[size_t(index)];
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item) return;
    if (item->FParent) throw EMenuError("Menu inserted twice");
    if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Remove(TMenuItem* item)
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) throw EMenuError("Sub-menu is not in menu");
    FItems.erase(it);
    item->FParent = nullptr;
    Changed();
}

void TMenuItem::Delete(int index)
{
    TMenuItem* item = Items(index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear()
{
    while (!FItems.empty()) Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const
{
    std::string want = StripHotkey(caption);
    for (TMenuItem* i : FItems)
        if (StripHotkey(i->FCaption) == want) return i;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int v)
{
    if (!FParent) return;
    TMenuItem* p = FParent;
    auto it = std::find(p->FItems.begin(), p->FItems.end(), this);
    p->FItems.erase(it);
    v = std::clamp(v, 0, int(p->FItems.size()));
    p->FItems.insert(p->FItems.begin() + v, this);
    p->Changed();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

void TMenuItem::Changed()
{
    if (TMenu* m = GetParentMenu()) m->MenuChanged(this);
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* a)
{
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = std::make_unique<TBasicActionLink>(this);
        FActionLink->OnChange = [this](TObject*) {
            if (TBasicAction* act = Action()) ActionChange(act, false);
        };
    }
    FActionLink->SetAction(a);
    ActionChange(a, ComponentState().Contains(csLoading));
}

void TMenuItem::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* a = DynamicCast<TCustomAction>(sender);
    if (!a) return;
    if (!checkDefaults || FCaption.empty()) FCaption = a->Caption();
    if (!checkDefaults || !FChecked) FChecked = a->Checked();
    if (!checkDefaults || FEnabled) FEnabled = a->Enabled();
    if (!checkDefaults || FHint.empty()) FHint = a->Hint();
    if (!checkDefaults || FImageIndex < 0) FImageIndex = a->ImageIndex();
    if (!checkDefaults || FShortCut == 0) FShortCut = a->ShortCut();
    if (!checkDefaults || FVisible) FVisible = a->Visible();
    if (!checkDefaults || FGroupIndex == 0) FGroupIndex = a->GroupIndex();
    Changed();
}

void TMenuItem::InitiateAction()
{
    if (FActionLink) FActionLink->Update();
}

void TMenuItem::Click()
{
    if (!FEnabled) return;
    TWeakRef<TMenuItem> guard(this);
    // An item that checks itself does so before its handler runs; one
    // following an action leaves that to the action.
    if (FAutoCheck && !(FActionLink && FActionLink->Action())) SetChecked(!FChecked);
    if (!guard) return;
    if (!OnClick && FActionLink && FActionLink->Action()) {
        FActionLink->Execute(this);
        return;
    }
    qzgui::Fire(OnClick, this);
}

// ---- menus ----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    FItems->FMenu = nullptr;
}

void TMenu::SetImages(TCustomImageList* v)
{
    FImages = v;
    MenuChanged(nullptr);
}

namespace {
TMenuItem* FindShortCut(TMenuItem* parent, TShortCut sc)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible()) continue;
        if (it->ShortCut() == sc && !it->IsLine()) return it;
        if (it->Count() > 0 && it->Enabled())
            if (TMenuItem* f = FindShortCut(it, sc)) return f;
    }
    return nullptr;
}
}

TMenuItem* TMenu::FindItem(TShortCut sc) const { return sc ? FindShortCut(FItems.get(), sc) : nullptr; }

bool TMenu::IsShortCut(TShortCut sc)
{
    TMenuItem* item = FindItem(sc);
    if (!item) return false;
    TWeakRef<TMenuItem> guard(item);
    // The items above it get their say first (their OnClick sets up the submenu), then its action.
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = item->Parent(); p && p->Parent(); p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        TWeakRef<TMenuItem> g(*it);
        (*it)->InitiateAction();
        if (g) qzgui::Fire((*it)->OnClick, *it);
        if (!guard) return true;
    }
    item->InitiateAction();
    if (!guard) return true;
    if (!item->Enabled()) return false;
    item->Click();
    return true;
}

void TMenu::MenuChanged(TMenuItem*) { qzgui::Fire(OnChange, this); }

TMainMenu::~TMainMenu()
{
    if (!Screen) return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Menu() == this) Screen->Forms(i)->SetMenu(nullptr);
}

void TMainMenu::MenuChanged(TMenuItem* item)
{
    TMenu::MenuChanged(item);
    if (!Screen) return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Menu() == this) Screen->Forms(i)->MenuChanged();
}

// ---- the native menus ---------------------------------------------------------------------

namespace {

QIcon ItemIcon(TMenu* menu, TMenuItem* item)
{
    if (menu && menu->Images() && item->ImageIndex() >= 0 && item->ImageIndex() < menu->Images()->Count()) {
        TIcon icon;
        menu->Images()->GetIcon(item->ImageIndex(), &icon);
        if (!icon.Empty()) return QIcon(QPixmap::fromImage(icon.Image()->Img));
    }
    if (item->HasBitmap()) return QIcon(QPixmap::fromImage(item->Bitmap()->Image()->Img));
    return {};
}

QString ItemText(TMenuItem* item)
{
    QString t = QS(item->Caption());
    if (item->ShortCut()) t += QLatin1Char('\t') + QS(ShortCutToText(item->ShortCut()));
    return t;
}

// An item its owner draws: the menu gives it room and the item paints it
// through a canvas.
class QzOwnerDrawnItem : public QWidget {
public:
    QzOwnerDrawnItem(TMenuItem* item, QAction* action, QWidget* parent)
        : QWidget(parent), Item(item), Action(action)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
    }
    TWeakRef<TMenuItem> Item;
    QAction* Action;
    bool Hot = false;

    QSize sizeHint() const override
    {
        int w = 120, h = 20;
        if (Item && Item->OnMeasureItem) {
            TBitmap b;
            b.SetSize(1, 1);
            Item->OnMeasureItem(Item.Get(), b.Canvas(), w, h);
        }
        return QSize(std::max(1, w), std::max(1, h));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!Item) return;
        QPainter p(this);
        HDC dc = NewDC();
        dc->Device = this;
        dc->Painter = &p;
        dc->OwnsPainter = false;
        dc->Size = size();
        TCanvas canvas;
        canvas.SetHandle(dc);
        if (Screen) canvas.Font()->Assign(Screen->MenuFont());
        canvas.Brush()->SetColor(Hot ? clHighlight : clMenu);
        canvas.Font()->SetColor(Hot ? clHighlightText : clMenuText);
        try {
            if (Item->OnDrawItem) Item->OnDrawItem(Item.Get(), &canvas, Rect(0, 0, width(), height()), Hot);
        } catch (...) {
            if (Application) Application->HandleException(Item.Get());
        }
        canvas.SetHandle(nullptr);
        DeleteDC(dc);
    }
    void enterEvent(QEnterEvent*) override
    {
        Hot = true;
        update();
    }
    void leaveEvent(QEvent*) override
    {
        Hot = false;
        update();
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        if (!Action->isEnabled()) return;
        Action->trigger();
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
            if (auto* m = qobject_cast<QMenu*>(w)) m->close();
        if (QWidget* top = QApplication::activePopupWidget()) top->close();
    }
};

// Fills a native menu with the items below parent; the item chosen is kept in *chosen.
void FillMenu(QMenu* qm, TMenu* menu, TMenuItem* parent, std::shared_ptr<TWeakRef<TMenuItem>> chosen)
{
    qm->clear();
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            qm->addSeparator();
            continue;
        }
        QAction* a = nullptr;
        if (item->Count() > 0) {
            QMenu* sub = qm->addMenu(ItemIcon(menu, item), QS(item->Caption()));
            TWeakRef<TMenuItem> it(item);
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, menu, it, chosen] {
                if (!it) return;
                // The item's OnClick runs as its submenu opens (it may fill it).
                it->InitiateAction();
                if (it) qzgui::Fire(it->OnClick, it.Get());
                if (it) FillMenu(sub, menu, it.Get(), chosen);
            });
            // Made now too, so that what it holds can be looked at before it opens.
            FillMenu(sub, menu, item, chosen);
            a = sub->menuAction();
        } else if (menu && menu->OwnerDraw() && item->OnDrawItem) {
            auto* wa = new QWidgetAction(qm);
            wa->setText(QS(item->Caption()));
            wa->setDefaultWidget(new QzOwnerDrawnItem(item, wa, nullptr));
            qm->addAction(wa);
            a = wa;
        } else {
            a = qm->addAction(ItemIcon(menu, item), ItemText(item));
        }
        a->setEnabled(item->Enabled());
        if (item->Checked() || item->RadioItem() || item->AutoCheck()) {
            a->setCheckable(true);
            a->setChecked(item->Checked());
        }
        if (item->Default()) {
            QFont f = a->font();
            f.setBold(true);
            a->setFont(f);
        }
        if (item->Count() == 0) {
            TWeakRef<TMenuItem> it(item);
            QObject::connect(a, &QAction::triggered, a, [it, chosen] { *chosen = it; });
        }
    }
}

// Runs a native menu modally at a screen point; the window that was active
// and its focus come back when it closes (not every window system does that).
void ExecMenu(QMenu& qm, TPoint at)
{
    QPointer<QWidget> active = QApplication::activeWindow();
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (GetCapture()) ReleaseCapture();
    qm.exec(QP(at));
    qm.hide();
    if (active && QApplication::activeWindow() != active && active->isVisible()) {
        active->activateWindow();
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(active);
        QT_WARNING_POP
    }
    if (focus && focus->isVisible() && QApplication::focusWidget() != focus) focus->setFocus(Qt::PopupFocusReason);
}

// A popup of native items run modally; returns the item chosen (or null).
TMenuItem* RunPopup(TMenu* menu, TMenuItem* root, TPoint at)
{
    QMenu qm;
    auto chosen = std::make_shared<TWeakRef<TMenuItem>>();
    FillMenu(&qm, menu, root, chosen);
    if (qm.isEmpty()) return nullptr;
    ExecMenu(qm, at);
    return chosen->Get();
}

} // namespace

void TPopupMenu::DoPopup() { qzgui::Fire(OnPopup, this); }

void TPopupMenu::Popup(int x, int y)
{
    TWeakRef<TPopupMenu> guard(this);
    FPopupPoint = Point(x, y);
    DoPopup();
    if (!guard) return;
    // The items' actions say whether they can run now.
    std::function<void(TMenuItem*)> update = [&](TMenuItem* p) {
        for (int i = 0; i < p->Count(); ++i) {
            p->Items(i)->InitiateAction();
            update(p->Items(i));
        }
    };
    update(FItems.get());
    TPoint at = Point(x, y);
    TMenuItem* chosen = RunPopup(this, FItems.get(), at);
    if (!guard) return;
    TWeakRef<TMenuItem> item(chosen);
    qzgui::Fire(OnClose, this);
    if (item) item->Click();
}

// ---- the form's menu bar -----------------------------------------------------------------------

namespace qzgui {

// Makes (or takes away) the native bar of a form's menu; returns its height.
int BuildMenuBar(QWidget* formWidget, TMenu* menu)
{
    auto* bar = formWidget->findChild<QMenuBar*>(QStringLiteral("qzMenuBar"), Qt::FindDirectChildrenOnly);
    bool any = false;
    if (menu)
        for (int i = 0; i < menu->Items()->Count(); ++i) any = any || menu->Items()->Items(i)->Visible();
    if (!any) {
        delete bar;
        return 0;
    }
    if (!bar) {
        bar = new QMenuBar(formWidget);
        bar->setObjectName(QStringLiteral("qzMenuBar"));
        bar->setNativeMenuBar(false);
    }
    bar->clear();
    auto chosen = std::make_shared<TWeakRef<TMenuItem>>();
    TMenuItem* root = menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible() || item->IsLine()) continue;
        TWeakRef<TMenuItem> it(item);
        QAction* a;
        if (item->Count() > 0) {
            QMenu* sub = bar->addMenu(QS(item->Caption()));
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, menu, it, chosen] {
                if (!it) return;
                it->InitiateAction();
                if (it) qzgui::Fire(it->OnClick, it.Get());
                if (it) FillMenu(sub, menu, it.Get(), chosen);
            });
            // Choosing in a bar's menu runs the item once the menu has closed.
            QObject::connect(sub, &QMenu::aboutToHide, sub, [chosen] {
                QMetaObject::invokeMethod(qApp, [chosen] {
                    TWeakRef<TMenuItem> c = *chosen;
                    *chosen = nullptr;
                    if (c) c->Click();
                }, Qt::QueuedConnection);
            });
            FillMenu(sub, menu, item, chosen);
            a = sub->menuAction();
        } else {
            a = bar->addAction(QS(item->Caption()));
            QObject::connect(a, &QAction::triggered, a, [it] {
                if (it) it->Click();
            });
        }
        a->setEnabled(item->Enabled());
    }
    bar->setGeometry(0, 0, formWidget->width(), bar->sizeHint().height());
    bar->show();
    bar->raise();
    return bar->sizeHint().height();
}

void PlaceMenuBar(QWidget* formWidget)
{
    if (auto* bar = formWidget->findChild<QMenuBar*>(QStringLiteral("qzMenuBar"), Qt::FindDirectChildrenOnly))
        bar->setGeometry(0, 0, formWidget->width(), bar->sizeHint().height());
}

// Opens the bar's menu of a top item (Alt and its accelerator).
bool OpenMenuBarItem(QWidget* formWidget, TMenuItem* item)
{
    auto* bar = formWidget->findChild<QMenuBar*>(QStringLiteral("qzMenuBar"), Qt::FindDirectChildrenOnly);
    if (!bar) return false;
    const QString text = QS(item->Caption());
    for (QAction* a : bar->actions())
        if (a->text() == text && a->isEnabled()) {
            if (a->menu()) bar->setActiveAction(a);
            else a->trigger();
            return true;
        }
    return false;
}

} // namespace qzgui

// ---- installing ---------------------------------------------------------------------------------

void Menus::InitMenus()
{
    SetPopupMenuHandler([](TComponent* menu, TControl* control, TPoint pt) {
        auto* pm = DynamicCast<TPopupMenu>(menu);
        if (!pm || !pm->AutoPopup()) return false;
        pm->SetPopupComponent(control);
        pm->Popup(pt.X, pt.Y);
        return true;
    });
    SetEditMenuHandler([](TWinControl*, const std::vector<TEditMenuItem>& items, TPoint pt) {
        QMenu qm;
        auto chosen = std::make_shared<int>(-1);
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].Caption == "-") {
                qm.addSeparator();
                continue;
            }
            QAction* a = qm.addAction(QS(items[i].Caption));
            a->setEnabled(items[i].Enabled);
            QObject::connect(a, &QAction::triggered, a, [chosen, i] { *chosen = int(i); });
        }
        ExecMenu(qm, pt);
        return *chosen;
    });
}
