// The list view over Qt's item views: a tree view for the report, a list
// view for icons and lists, both over one item model made from the items.
#include "ComCtrls.h"
#include "QzStdPrivate.h"

#include <QHeaderView>
#include <QListView>
#include <QStandardItemModel>
#include <QTreeView>

using namespace qzgui;

QZ_CLASS_IMPL(TListColumn, TCollectionItem)
QZ_CLASS_IMPL(TListColumns, TCollection)
QZ_CLASS_IMPL(TListItem, TPersistent)
QZ_CLASS_IMPL(TListItems, TPersistent)
QZ_CLASS_IMPL(TCustomListView, TWinControl)
QZ_CLASS_IMPL(TListView, TCustomListView)

namespace {
using QzReport = QzItemView<QTreeView>;
using QzIcons = QzItemView<QListView>;
}

struct TCustomListView::TImpl {
    QAbstractItemView* View = nullptr;
    QStandardItemModel* Model = nullptr;
    QzReport* Report = nullptr;
    int Programmatic = 0;
    bool Alive() const { return View != nullptr; }
};

namespace {
struct TProgrammatic {
    TCustomListView::TImpl* I;
    explicit TProgrammatic(TCustomListView::TImpl* i) : I(i) { ++I->Programmatic; }
    ~TProgrammatic() { --I->Programmatic; }
};
}

// ---- columns -------------------------------------------------------------------------------------

void TListColumn::SetCaption(const std::string& v)
{
    FCaption = v;
    Changed(false);
}

int TListColumn::Width() const
{
    // The user may have dragged the column's edge.
    auto* cols = static_cast<TListColumns*>(Collection());
    if (cols && cols->Owner()) {
        auto* impl = cols->Owner()->Impl();
        if (impl->Report && Index() < impl->Report->header()->count()) return impl->Report->header()->sectionSize(Index());
    }
    return FWidth;
}

void TListColumn::SetWidth(int v)
{
    FWidth = std::max(0, v);
    Changed(false);
}
void TListColumn::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Changed(false);
}

TListColumns::TListColumns(TCustomListView* owner) : TCollection(TListColumn::StaticClass()), FOwner(owner) {}
TPersistent* TListColumns::GetOwner() const { return FOwner; }
void TListColumns::Update(TCollectionItem*)
{
    if (FOwner) FOwner->ColumnsChanged();
}

// ---- items ---------------------------------------------------------------------------------------

TListItem::TListItem(TListItems* owner) : FOwner(owner), FSubItems(std::make_unique<TStringList>())
{
    FSubItems->OnChange = [this](TObject*) { Update(); };
}
TListItem::~TListItem() { FSubItems->OnChange = nullptr; }

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }
int TListItem::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

void TListItem::SetCaption(const std::string& v)
{
    if (FCaption == v) return;
    FCaption = v;
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctText);
}
void TListItem::SetImageIndex(int v)
{
    if (FImageIndex == v) return;
    FImageIndex = v;
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctImage);
}
void TListItem::SetChecked(bool v)
{
    if (FChecked == v) return;
    FChecked = v;
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctState);
}
void TListItem::Update()
{
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctText);
}

bool TListItem::Selected() const
{
    TCustomListView* lv = ListView();
    return lv && lv->ItemSelected(Index());
}
void TListItem::SetSelected(bool v)
{
    if (TCustomListView* lv = ListView()) lv->SetItemSelected(Index(), v);
}
bool TListItem::Focused() const
{
    TCustomListView* lv = ListView();
    return lv && lv->ItemFocused() == this;
}
void TListItem::SetFocused(bool v)
{
    TCustomListView* lv = ListView();
    if (!lv) return;
    if (v) lv->SetItemFocused(this);
    else if (lv->ItemFocused() == this) lv->SetItemFocused(nullptr);
}

void TListItem::MakeVisible(bool)
{
    TCustomListView* lv = ListView();
    if (!lv || !lv->Impl()->Alive()) return;
    lv->Impl()->View->scrollTo(lv->Impl()->Model->index(Index(), 0));
}

TRect TListItem::DisplayRect() const
{
    TCustomListView* lv = ListView();
    if (!lv || !lv->Impl()->Alive()) return TRect{};
    QAbstractItemView* v = lv->Impl()->View;
    QRect r = v->visualRect(lv->Impl()->Model->index(Index(), 0));
    return TR(r.translated(v->viewport()->mapTo(v, QPoint(0, 0))));
}

void TListItem::Delete()
{
    if (FOwner) FOwner->Delete(Index());
}

TListItems::~TListItems()
{
    for (TListItem* i : FItems) delete i;
}

int TListItems::IndexOf(const TListItem* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto* item = new TListItem(this);
    FItems.insert(FItems.begin() + index, item);
    if (FOwner) FOwner->ItemInserted(index);
    return item;
}

void TListItems::Delete(int index)
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (FOwner) FOwner->ItemDeleting(index);
    TListItem* item = FItems[size_t(index)];
    FItems.erase(FItems.begin() + index);
    delete item;
}

void TListItems::Clear()
{
    BeginUpdate();
    while (Count() > 0) Delete(Count() - 1);
    EndUpdate();
}

void TListItems::EndUpdate()
{
    if (FUpdating > 0) --FUpdating;
}

// ---- the list view --------------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FItems(std::make_unique<TListItems>(this)),
      FColumns(std::make_unique<TListColumns>(this)), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
    SetBounds(0, 0, 250, 150);
    NativeDefaults(this, true);
}

TCustomListView::~TCustomListView()
{
    if (FImpl->View) {
        if (auto* r = dynamic_cast<QzReport*>(FImpl->View)) r->Ctrl = nullptr;
        if (auto* l = dynamic_cast<QzIcons*>(FImpl->View)) l->Ctrl = nullptr;
        FImpl->View->disconnect();
        FImpl->Model->disconnect();
    }
    FImpl->View = nullptr;
    // Every item goes through OnDeletion.
    FItems->Clear();
}

void TCustomListView::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style |= WS_TABSTOP;
}

QWidget* TCustomListView::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    QAbstractItemView* v;
    if (FViewStyle == vsReport) {
        auto* t = new QzReport(this, parent);
        t->setRootIsDecorated(false);
        t->setItemsExpandable(false);
        t->setUniformRowHeights(true);
        FImpl->Report = t;
        v = t;
    } else {
        auto* l = new QzIcons(this, parent);
        l->setViewMode(FViewStyle == vsIcon ? QListView::IconMode : QListView::ListMode);
        l->setFlow(FViewStyle == vsList ? QListView::TopToBottom : QListView::LeftToRight);
        l->setWrapping(true);
        l->setResizeMode(QListView::Adjust);
        l->setMovement(QListView::Static);
        if (FViewStyle == vsIcon) l->setWordWrap(true);
        FImpl->Report = nullptr;
        v = l;
    }
    FImpl->View = v;
    FImpl->Model = new QStandardItemModel(v);
    v->setModel(FImpl->Model);
    return v;
}

void TCustomListView::CreateWindowDone()
{
    QAbstractItemView* v = FImpl->View;
    ApplyFont(this, v);
    v->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(FReadOnly ? QAbstractItemView::NoEditTriggers
                                 : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    TCustomImageList* img = FViewStyle == vsIcon ? FLargeImages.Get() : FSmallImages.Get();
    if (img) v->setIconSize(QSize(img->Width(), img->Height()));
    if (FImpl->Report) {
        FImpl->Report->setHeaderHidden(!FShowColumnHeaders);
        QObject::connect(FImpl->Report->header(), &QHeaderView::sectionClicked, v, [this, v](int c) {
            if (FImpl->View == v) Guarded(this, [&] { NativeColumnClick(c); });
        });
    }
    Rebuild();
    QObject::connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, v, [this, v] {
        if (FImpl->View == v && !FImpl->Programmatic) Guarded(this, [&] { NativeSelectionChanged(); });
    });
    QObject::connect(v->selectionModel(), &QItemSelectionModel::currentChanged, v, [this, v](const QModelIndex& i) {
        if (FImpl->View == v && !FImpl->Programmatic) FFocused = i.isValid() ? i.row() : -1;
    });
    QObject::connect(FImpl->Model, &QStandardItemModel::itemChanged, v, [this, v](QStandardItem* it) {
        if (FImpl->View != v || FImpl->Programmatic || it->column() != 0) return;
        int row = it->row();
        if (row < 0 || row >= FItems->Count()) return;
        Guarded(this, [&] {
            TListItem* item = FItems->Item(row);
            bool checked = it->checkState() == Qt::Checked;
            if (FCheckboxes && checked != item->FChecked) NativeChecked(row, checked);
            std::string text = US(it->text());
            if (text != item->FCaption) NativeEdited(row, text);
        });
    });
}

void TCustomListView::DestroyWnd()
{
    if (FImpl->View) {
        FSelection.assign(size_t(FItems->Count()), false);
        for (int i = 0; i < FItems->Count(); ++i) FSelection[size_t(i)] = ItemSelected(i);
        FImpl->View->disconnect();
        FImpl->Model->disconnect();
        if (auto* r = dynamic_cast<QzReport*>(FImpl->View)) r->Ctrl = nullptr;
        if (auto* l = dynamic_cast<QzIcons*>(FImpl->View)) l->Ctrl = nullptr;
        FImpl->View = nullptr;
        FImpl->Model = nullptr;
        FImpl->Report = nullptr;
    }
    TWinControl::DestroyWnd();
}

namespace {
// One row of the model made from an item.
void FillRow(QStandardItemModel* m, int row, TListItem* item, int columns, TCustomImageList* images, bool checkboxes,
             bool readOnly)
{
    TProgrammatic hold(item->ListView()->Impl());
    auto* first = new QStandardItem(QS(item->Caption()));
    first->setIcon(ImageListIcon(images, item->ImageIndex()));
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!readOnly) f |= Qt::ItemIsEditable;
    if (checkboxes) {
        f |= Qt::ItemIsUserCheckable;
        first->setCheckState(item->Checked() ? Qt::Checked : Qt::Unchecked);
    }
    first->setFlags(f);
    m->setItem(row, 0, first);
    for (int c = 1; c < columns; ++c) {
        auto* sub = new QStandardItem(c - 1 < item->SubItems()->Count() ? QS(item->SubItems()->Strings(c - 1)) : QString());
        sub->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m->setItem(row, c, sub);
    }
}
}

void TCustomListView::Rebuild()
{
    QStandardItemModel* m = FImpl->Model;
    if (!m) return;
    TProgrammatic hold(FImpl.get());
    const int cols = std::max(1, FColumns->Count());
    m->clear();
    m->setColumnCount(cols);
    m->setRowCount(FItems->Count());
    if (FImpl->Report) {
        QStringList titles;
        for (int c = 0; c < FColumns->Count(); ++c) titles << QS(FColumns->Items(c)->Caption());
        m->setHorizontalHeaderLabels(titles);
        for (int c = 0; c < FColumns->Count(); ++c) FImpl->Report->setColumnWidth(c, FColumns->Items(c)->FWidthRaw());
    }
    TCustomImageList* img = FViewStyle == vsIcon ? FLargeImages.Get() : FSmallImages.Get();
    for (int i = 0; i < FItems->Count(); ++i) FillRow(m, i, FItems->Item(i), cols, img, FCheckboxes, FReadOnly);
    FSelection.resize(size_t(FItems->Count()), false);
    QItemSelection sel;
    for (int i = 0; i < FItems->Count(); ++i)
        if (FSelection[size_t(i)]) sel.select(m->index(i, 0), m->index(i, cols - 1));
    FImpl->View->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    if (FFocused >= 0 && FFocused < FItems->Count())
        FImpl->View->selectionModel()->setCurrentIndex(m->index(FFocused, 0), QItemSelectionModel::NoUpdate);
}

void TCustomListView::ColumnsChanged()
{
    if (FImpl->Model) Rebuild();
}

void TCustomListView::ItemInserted(int index)
{
    FSelection.insert(FSelection.begin() + std::min<size_t>(size_t(index), FSelection.size()), false);
    if (FFocused >= index) ++FFocused;
    if (QStandardItemModel* m = FImpl->Model) {
        TProgrammatic hold(FImpl.get());
        m->insertRow(index);
        FillRow(m, index, FItems->Item(index), std::max(1, FColumns->Count()),
                FViewStyle == vsIcon ? FLargeImages.Get() : FSmallImages.Get(), FCheckboxes, FReadOnly);
    }
    if (OnInsert) OnInsert(this, FItems->Item(index));
}

void TCustomListView::ItemDeleting(int index)
{
    TListItem* item = FItems->Item(index);
    if (OnDeletion) OnDeletion(this, item);
    bool wasSelected = ItemSelected(index);
    if (QStandardItemModel* m = FImpl->Model) {
        TProgrammatic hold(FImpl.get());
        m->removeRow(index);
    }
    if (size_t(index) < FSelection.size()) FSelection.erase(FSelection.begin() + index);
    if (FFocused == index) FFocused = -1;
    else if (FFocused > index) --FFocused;
    (void)wasSelected;
}

void TCustomListView::ItemChanged(TListItem* item, TItemChange change)
{
    int row = item->Index();
    if (QStandardItemModel* m = FImpl->Model; m && row >= 0) {
        TProgrammatic hold(FImpl.get());
        FillRow(m, row, item, std::max(1, FColumns->Count()), FViewStyle == vsIcon ? FLargeImages.Get() : FSmallImages.Get(),
                FCheckboxes, FReadOnly);
        if (size_t(row) < FSelection.size() && FSelection[size_t(row)])
            FImpl->View->selectionModel()->select(m->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (OnChange) OnChange(this, item, change);
}

bool TCustomListView::ItemSelected(int index) const
{
    if (index < 0 || index >= FItems->Count()) return false;
    if (FImpl->View) return FImpl->View->selectionModel()->isRowSelected(index, QModelIndex());
    return size_t(index) < FSelection.size() && FSelection[size_t(index)];
}

// What the view's selection is now, against what it was: each item that
// changed is reported, those that lost it first.
void TCustomListView::NativeSelectionChanged()
{
    const int n = FItems->Count();
    FSelection.resize(size_t(n), false);
    std::vector<bool> now(size_t(n), false);
    for (int i = 0; i < n; ++i) now[size_t(i)] = ItemSelected(i);
    std::vector<int> lost, gained;
    for (int i = 0; i < n; ++i) {
        if (FSelection[size_t(i)] && !now[size_t(i)]) lost.push_back(i);
        if (!FSelection[size_t(i)] && now[size_t(i)]) gained.push_back(i);
    }
    FSelection = now;
    TWeakRef<TCustomListView> guard(this);
    for (bool selected : {false, true}) {
        for (int i : selected ? gained : lost) {
            if (!guard || i >= FItems->Count()) return;
            TListItem* item = FItems->Item(i);
            if (OnChange) OnChange(this, item, ctState);
            if (guard && OnSelectItem) OnSelectItem(this, item, selected);
        }
    }
}

void TCustomListView::SetItemSelected(int index, bool v)
{
    if (index < 0 || index >= FItems->Count()) return;
    if (v && !FMultiSelect) {
        // One at a time: the others go first.
        for (int i = 0; i < FItems->Count(); ++i)
            if (i != index && ItemSelected(i)) SetItemSelected(i, false);
    }
    if (QAbstractItemView* view = FImpl->View) {
        auto flags = (v ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows;
        {
            TProgrammatic hold(FImpl.get());
            view->selectionModel()->select(FImpl->Model->index(index, 0), flags);
            if (v) view->selectionModel()->setCurrentIndex(FImpl->Model->index(index, 0), QItemSelectionModel::NoUpdate);
        }
        if (v) FFocused = index;
        NativeSelectionChanged();
        return;
    }
    FSelection.resize(size_t(FItems->Count()), false);
    if (v) FFocused = index;
    // Without a window the change is reported the same way.
    if (FSelection[size_t(index)] == v) return;
    FSelection[size_t(index)] = v;
    TListItem* item = FItems->Item(index);
    if (OnChange) OnChange(this, item, ctState);
    if (OnSelectItem) OnSelectItem(this, item, v);
}

TListItem* TCustomListView::Selected() const
{
    // The focused item when it is selected, else the first selected one.
    if (FFocused >= 0 && ItemSelected(FFocused)) return FItems->Item(FFocused);
    for (int i = 0; i < FItems->Count(); ++i)
        if (ItemSelected(i)) return FItems->Item(i);
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* item)
{
    if (!item) {
        ClearSelection();
        return;
    }
    if (FMultiSelect) ClearSelection();
    SetItemSelected(item->Index(), true);
}

TListItem* TCustomListView::ItemFocused() const
{
    return FFocused >= 0 && FFocused < FItems->Count() ? FItems->Item(FFocused) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item)
{
    FFocused = item ? item->Index() : -1;
    if (QAbstractItemView* v = FImpl->View) {
        TProgrammatic hold(FImpl.get());
        v->selectionModel()->setCurrentIndex(FFocused >= 0 ? FImpl->Model->index(FFocused, 0) : QModelIndex(),
                                             QItemSelectionModel::NoUpdate);
    }
}

int TCustomListView::ItemIndex() const
{
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}
void TCustomListView::SetItemIndex(int v)
{
    SetSelected(v >= 0 && v < FItems->Count() ? FItems->Item(v) : nullptr);
}

int TCustomListView::SelCount() const
{
    int n = 0;
    for (int i = 0; i < FItems->Count(); ++i) n += ItemSelected(i) ? 1 : 0;
    return n;
}

void TCustomListView::ClearSelection()
{
    for (int i = 0; i < FItems->Count(); ++i)
        if (ItemSelected(i)) SetItemSelected(i, false);
}

void TCustomListView::SelectAll()
{
    if (!FMultiSelect) return;
    for (int i = 0; i < FItems->Count(); ++i)
        if (!ItemSelected(i)) SetItemSelected(i, true);
}

TListItem* TCustomListView::GetItemAt(int x, int y) const
{
    QAbstractItemView* v = FImpl->View;
    if (!v) return nullptr;
    QModelIndex i = v->indexAt(v->viewport()->mapFrom(v, QPoint(x, y)));
    return i.isValid() && i.row() < FItems->Count() ? FItems->Item(i.row()) : nullptr;
}

void TCustomListView::NativeEdited(int row, std::string text)
{
    TListItem* item = FItems->Item(row);
    if (OnEdited) OnEdited(this, item, text);
    item->FCaption.clear();   // forces the change through
    item->SetCaption(text);
}

void TCustomListView::NativeChecked(int row, bool checked)
{
    FItems->Item(row)->SetChecked(checked);
}

void TCustomListView::NativeColumnClick(int column)
{
    if (column >= 0 && column < FColumns->Count() && OnColumnClick) OnColumnClick(this, FColumns->Items(column));
}

void TCustomListView::SetViewStyle(TViewStyle v)
{
    if (FViewStyle == v) return;
    FViewStyle = v;
    RecreateWnd();
}
void TCustomListView::SetMultiSelect(bool v)
{
    FMultiSelect = v;
    RecreateWnd();
}
void TCustomListView::SetReadOnly(bool v)
{
    FReadOnly = v;
    RecreateWnd();
}
void TCustomListView::SetRowSelect(bool v) { FRowSelect = v; }
void TCustomListView::SetGridLines(bool v) { FGridLines = v; }
void TCustomListView::SetCheckboxes(bool v)
{
    FCheckboxes = v;
    if (FImpl->Model) Rebuild();
}
void TCustomListView::SetShowColumnHeaders(bool v)
{
    FShowColumnHeaders = v;
    if (FImpl->Report) FImpl->Report->setHeaderHidden(!v);
}
void TCustomListView::SetHideSelection(bool v) { FHideSelection = v; }
void TCustomListView::SetLargeImages(TCustomImageList* v)
{
    FLargeImages = v;
    RecreateWnd();
}
void TCustomListView::SetSmallImages(TCustomImageList* v)
{
    FSmallImages = v;
    RecreateWnd();
}

void TCustomListView::WMMouse(TMessage& m) { MouseToNative<TCustomListView, TWinControl>(this, m); }

void TCustomListView::WMLButtonDblClk2(TMessage& m)
{
    TWeakRef<TCustomListView> guard(this);
    TWinControl::Dispatch(m);
    if (guard) DefaultHandler(m);
    if (guard) DblClick();
}

void TCustomListView::DefaultHandler(TMessage& m) { TWinControl::DefaultHandler(m); }
