#include "DirPicker.h"
#include "QzStdPrivate.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

using namespace qzgui;

QZ_CLASS_IMPL(TDirectoryPicker, TWinControl)

namespace {

constexpr int PathRole = Qt::UserRole + 3;
constexpr int ListedRole = Qt::UserRole + 4;

class QzDirTree : public QzItemView<QTreeWidget> {
public:
    QzDirTree(TDirectoryPicker* p, QWidget* parent) : QzItemView<QTreeWidget>(p, parent), P(p)
    {
        setHeaderHidden(true);
        setColumnCount(1);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformRowHeights(true);
    }
    TDirectoryPicker* P;

    static QTreeWidgetItem* Make(const QString& name, const QString& path)
    {
        auto* it = new QTreeWidgetItem(QStringList{name});
        it->setData(0, PathRole, path);
        it->setData(0, ListedRole, false);
        // Whether it has sub-folders is found when it is opened.
        it->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        return it;
    }
    // Lists a folder's sub-folders under its item once (unreadable folders have none).
    void List(QTreeWidgetItem* it)
    {
        if (it->data(0, ListedRole).toBool()) return;
        it->setData(0, ListedRole, true);
        QDir d(it->data(0, PathRole).toString());
        const QStringList names =
            d.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
        int n = 0;
        for (const QString& name : names) {
            if (++n > TDirectoryPicker::MaxEntries) break;
            it->addChild(Make(name, d.filePath(name)));
        }
        it->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
};

} // namespace

struct TDirectoryPicker::TImpl {
    QzDirTree* W = nullptr;
};

TDirectoryPicker::TDirectoryPicker(TComponent* owner) : TWinControl(owner), FImpl(std::make_unique<TImpl>())
{
    SetBounds(0, 0, 200, 200);
    NativeDefaults(this, true);
    FDirectory = US(QDir::currentPath());
}

TDirectoryPicker::~TDirectoryPicker()
{
    if (FImpl->W) {
        FImpl->W->P = nullptr;
        FImpl->W->Ctrl = nullptr;
    }
}

QWidget* TDirectoryPicker::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    FImpl->W = new QzDirTree(this, parent);
    return FImpl->W;
}

void TDirectoryPicker::CreateWindowDone()
{
    QzDirTree* w = FImpl->W;
    ApplyFont(this, w);
    ++w->Programmatic;
    w->addTopLevelItem(QzDirTree::Make(QDir::rootPath(), QDir::rootPath()));
    --w->Programmatic;
    QObject::connect(w, &QTreeWidget::itemExpanded, w, [w](QTreeWidgetItem* it) { w->List(it); });
    QObject::connect(w, &QTreeWidget::itemSelectionChanged, w, [this, w] {
        if (FImpl->W != w || w->Programmatic) return;
        auto sel = w->selectedItems();
        if (sel.isEmpty()) return;
        std::string path = US(sel.front()->data(0, PathRole).toString());
        Guarded(this, [&] { NativeChosen(path); });
    });
    // The folder chosen before the window came shows chosen again (no change to tell of).
    if (!Open(FDirectory, false)) Open(US(QDir::rootPath()), false);
}

void TDirectoryPicker::DestroyWnd()
{
    if (FImpl->W) {
        FImpl->W->P = nullptr;
        FImpl->W->Ctrl = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

bool TDirectoryPicker::SetDirectory(const std::string& path) { return Open(path, true); }

bool TDirectoryPicker::Open(const std::string& path, bool notify)
{
    QFileInfo fi(QS(path));
    if (path.empty() || !fi.exists() || !fi.isDir()) return false;
    QString clean = QDir::cleanPath(fi.absoluteFilePath());
    if (!FImpl->W) {
        FDirectory = US(clean);
        return true;
    }
    QzDirTree* w = FImpl->W;
    QTreeWidgetItem* it = w->topLevelItem(0);
    const QStringList parts = clean.split('/', Qt::SkipEmptyParts);
    ++w->Programmatic;
    for (const QString& part : parts) {
        w->List(it);
        it->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < it->childCount() && !next; ++i)
            if (it->child(i)->text(0) == part) next = it->child(i);
        if (!next) {
            --w->Programmatic;
            return false;
        }
        it = next;
    }
    w->setCurrentItem(it);
    it->setSelected(true);
    w->scrollToItem(it);
    --w->Programmatic;
    if (notify) NativeChosen(US(clean));
    else FDirectory = US(clean);
    return true;
}

void TDirectoryPicker::NativeChosen(const std::string& path)
{
    if (path == FDirectory) return;
    FDirectory = path;
    Fire(OnChange, this);
}

void TDirectoryPicker::WMMouse(TMessage& m) { MouseToNative<TDirectoryPicker, TWinControl>(this, m); }
