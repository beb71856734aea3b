// The tree view over Qt's tree widget. Nodes live with the control and carry
// their native item while the window lives.
#include "ComCtrls.h"
#include "QzStdPrivate.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPaintEvent>
#include <QStyledItemDelegate>
#include <QTreeWidget>

using namespace qzgui;

QZ_CLASS_IMPL(TTreeNode, TPersistent)
QZ_CLASS_IMPL(TTreeNodes, TPersistent)
QZ_CLASS_IMPL(TCustomTreeView, TWinControl)
QZ_CLASS_IMPL(TTreeView, TCustomTreeView)

namespace {

constexpr int NodeRole = Qt::UserRole + 7;

TTreeNode* NodeOf(QTreeWidgetItem* it)
{
    return it ? reinterpret_cast<TTreeNode*>(it->data(0, NodeRole).value<quintptr>()) : nullptr;
}
QTreeWidgetItem* ItemOf(const TTreeNode* n) { return n ? static_cast<QTreeWidgetItem*>(n->FItemPtr()) : nullptr; }

class QzTreeDelegate : public QStyledItemDelegate {
public:
    QzTreeDelegate(TCustomTreeView* tv, QTreeWidget* tree) : QStyledItemDelegate(tree), TV(tv), Tree(tree) {}
    TCustomTreeView* TV;
    QTreeWidget* Tree;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override
    {
        if (!TV || TV->ReadOnly()) return nullptr;
        QTreeWidget* w = Tree;
        TTreeNode* node = NodeOf(w->itemFromIndex(idx));
        bool allow = true;
        if (node && TV->OnEditing) Guarded(TV, [&] { TV->OnEditing(TV, node, allow); });
        if (!allow) return nullptr;
        return QStyledItemDelegate::createEditor(parent, opt, idx);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& idx) const override
    {
        QTreeWidget* w = Tree;
        TTreeNode* node = NodeOf(w->itemFromIndex(idx));
        auto* e = qobject_cast<QLineEdit*>(editor);
        if (TV && node && e) Guarded(TV, [&] { TV->NativeEdited(node, US(e->text())); });
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& idx) const override
    {
        if (!TV || !TV->OnCustomDrawItem) {
            QStyledItemDelegate::paint(p, option, idx);
            return;
        }
        QTreeWidget* w = Tree;
        TTreeNode* node = NodeOf(w->itemFromIndex(idx));
        QStyleOptionViewItem opt = option;
        TCustomDrawState st;
        if (opt.state & QStyle::State_Selected) st.Include(cdsSelected);
        if (opt.state & QStyle::State_HasFocus) st.Include(cdsFocused);
        if (opt.state & QStyle::State_MouseOver) st.Include(cdsHot);
        HDC dc = NewDC();
        dc->Device = p->device();
        dc->Painter = p;
        dc->OwnsPainter = false;
        dc->Size = QSize(p->device()->width(), p->device()->height());
        bool defaultDraw = true;
        TCanvas* c = TV->Canvas();
        c->SetHandle(dc);
        c->Font()->Assign(TV->Font());
        c->Brush()->SetColor(TV->Color());
        p->save();
        Guarded(TV, [&] { TV->OnCustomDrawItem(TV, node, st, defaultDraw); });
        p->restore();
        // The font the handler chose (bold nodes, colours) draws the item.
        QFont f = MakeQFont(c->Font());
        QColor textColour = QCol(c->Font()->Color());
        c->SetHandle(nullptr);
        DeleteDC(dc);
        if (!defaultDraw) return;
        opt.font = f;
        opt.fontMetrics = QFontMetrics(f);
        if (!(opt.state & QStyle::State_Selected)) opt.palette.setColor(QPalette::Text, textColour);
        QStyledItemDelegate::paint(p, opt, idx);
    }
    void initStyleOption(QStyleOptionViewItem* opt, const QModelIndex& idx) const override
    {
        QStyledItemDelegate::initStyleOption(opt, idx);
    }
};

class QzTree : public QzItemView<QTreeWidget> {
public:
    QzTree(TCustomTreeView* tv, QWidget* parent) : QzItemView<QTreeWidget>(tv, parent), TV(tv)
    {
        setHeaderHidden(true);
        setColumnCount(1);
        setItemDelegate(Delegate = new QzTreeDelegate(tv, this));
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformRowHeights(true);
        setExpandsOnDoubleClick(true);
    }
    TCustomTreeView* TV;
    QzTreeDelegate* Delegate;
    bool Editing() const { return state() == QAbstractItemView::EditingState; }
};

} // namespace

struct TCustomTreeView::TImpl {
    QzTree* W = nullptr;
};

// ---- nodes -----------------------------------------------------------------------------------

TTreeNode::~TTreeNode()
{
    for (TTreeNode* c : FChildren) delete c;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TTreeNode::SetText(const std::string& v)
{
    FText = v;
    if (TCustomTreeView* tv = TreeView()) tv->ApplyNode(this);
}
void TTreeNode::SetImageIndex(int v)
{
    FImageIndex = v;
    if (TCustomTreeView* tv = TreeView()) tv->ApplyNode(this);
}
void TTreeNode::SetSelectedIndex(int v)
{
    FSelectedIndex = v;
    if (TCustomTreeView* tv = TreeView()) tv->ApplyNode(this);
}
void TTreeNode::SetStateIndex(int v)
{
    FStateIndex = v;
    if (TCustomTreeView* tv = TreeView()) tv->ApplyNode(this);
}
void TTreeNode::SetHasChildren(bool v)
{
    FHasChildren = v;
    if (TCustomTreeView* tv = TreeView()) tv->ApplyNode(this);
}

int TTreeNode::Index() const
{
    if (!FOwner) return -1;
    auto& sib = FOwner->SiblingsOf(FParent);
    return int(std::find(sib.begin(), sib.end(), this) - sib.begin());
}

int TTreeNode::Level() const
{
    int l = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++l;
    return l;
}

int TTreeNode::AbsoluteIndex() const
{
    int i = 0;
    for (const TTreeNode* n = FOwner ? FOwner->GetFirstNode() : nullptr; n; n = n->GetNext(), ++i)
        if (n == this) return i;
    return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    if (!FOwner) return nullptr;
    auto& sib = FOwner->SiblingsOf(FParent);
    int i = Index();
    return i + 1 < int(sib.size()) ? sib[size_t(i + 1)] : nullptr;
}
TTreeNode* TTreeNode::GetPrevSibling() const
{
    if (!FOwner) return nullptr;
    int i = Index();
    return i > 0 ? FOwner->SiblingsOf(FParent)[size_t(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (!FChildren.empty()) return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    TTreeNode* p = GetPrevSibling();
    if (!p) return FParent;
    while (!p->FChildren.empty()) p = p->FChildren.back();
    return p;
}

bool TTreeNode::IsVisible() const
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded) return false;
    return true;
}

void TTreeNode::SetExpanded(bool v)
{
    if (v) Expand(false);
    else Collapse(false);
}

void TTreeNode::Expand(bool recurse)
{
    TCustomTreeView* tv = TreeView();
    if (!FExpanded && (HasChildren())) {
        bool allow = true;
        if (tv && tv->OnExpanding) tv->OnExpanding(tv, this, allow);
        if (allow) {
            FExpanded = true;
            if (QTreeWidgetItem* it = ItemOf(this)) {
                ++tv->Impl()->W->Programmatic;
                it->setExpanded(true);
                --tv->Impl()->W->Programmatic;
            }
            if (tv && tv->OnExpanded) tv->OnExpanded(tv, this);
        }
    }
    if (recurse)
        for (TTreeNode* c : std::vector<TTreeNode*>(FChildren)) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse)
{
    TCustomTreeView* tv = TreeView();
    if (FExpanded) {
        bool allow = true;
        if (tv && tv->OnCollapsing) tv->OnCollapsing(tv, this, allow);
        if (allow) {
            FExpanded = false;
            if (QTreeWidgetItem* it = ItemOf(this)) {
                ++tv->Impl()->W->Programmatic;
                it->setExpanded(false);
                --tv->Impl()->W->Programmatic;
            }
            if (tv && tv->OnCollapsed) tv->OnCollapsed(tv, this);
        }
    }
    if (recurse)
        for (TTreeNode* c : std::vector<TTreeNode*>(FChildren)) c->Collapse(true);
}

bool TTreeNode::Selected() const
{
    TCustomTreeView* tv = TreeView();
    return tv && tv->Selected() == this;
}

void TTreeNode::SetSelected(bool v)
{
    TCustomTreeView* tv = TreeView();
    if (!tv) return;
    if (v) tv->SetSelected(const_cast<TTreeNode*>(this));
    else if (tv->Selected() == this) tv->SetSelected(nullptr);
}

void TTreeNode::MakeVisible()
{
    for (TTreeNode* p = FParent; p; p = p->FParent) p->Expand(false);
    if (QTreeWidgetItem* it = ItemOf(this)) TreeView()->Impl()->W->scrollToItem(it);
}

TRect TTreeNode::DisplayRect(bool textOnly) const
{
    QTreeWidgetItem* it = ItemOf(this);
    if (!it) return TRect{};
    QzTree* w = TreeView()->Impl()->W;
    QRect r = w->visualItemRect(it);
    if (!textOnly) r = QRect(0, r.top(), w->viewport()->width(), r.height());
    return w->FromViewport(r);
}

bool TTreeNode::EditText()
{
    TCustomTreeView* tv = TreeView();
    QTreeWidgetItem* it = ItemOf(this);
    if (!tv || !it || tv->ReadOnly()) return false;
    tv->Impl()->W->editItem(it, 0);
    return tv->IsEditing();
}

void TTreeNode::Delete()
{
    if (FOwner) FOwner->Delete(this);
    else delete this;
}

void TTreeNode::DeleteChildren()
{
    while (!FChildren.empty()) FChildren.back()->Delete();
}

void* TTreeNode::FItemPtr() const { return FItem; }

// ---- the node list ------------------------------------------------------------------------------

TTreeNodes::~TTreeNodes()
{
    for (TTreeNode* n : FRoots) delete n;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, int index, const std::string& text, void* data)
{
    auto* n = new TTreeNode();
    n->FOwner = this;
    n->FParent = parent;
    n->FText = text;
    n->FData = data;
    auto& sib = SiblingsOf(parent);
    index = std::clamp(index, 0, int(sib.size()));
    sib.insert(sib.begin() + index, n);
    if (FOwner) FOwner->Attach(n);
    return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) { return AddObject(sibling, text, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data)
{
    TTreeNode* parent = sibling ? sibling->FParent : nullptr;
    return InsertAt(parent, int(SiblingsOf(parent).size()), text, data);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text)
{
    return InsertAt(sibling ? sibling->FParent : nullptr, 0, text, nullptr);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text)
{
    return AddChildObject(parent, text, nullptr);
}
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data)
{
    return InsertAt(parent, int(SiblingsOf(parent).size()), text, data);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text)
{
    return InsertAt(parent, 0, text, nullptr);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) { return InsertObject(sibling, text, nullptr); }
TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& text, void* data)
{
    if (!sibling) return AddObject(nullptr, text, data);
    return InsertAt(sibling->FParent, sibling->Index(), text, data);
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node || node->FOwner != this) return;
    // Children first, so that each hears OnDeletion while its parent still stands.
    while (!node->FChildren.empty()) Delete(node->FChildren.back());
    if (FOwner) FOwner->Detach(node);
    auto& sib = SiblingsOf(node->FParent);
    sib.erase(std::remove(sib.begin(), sib.end(), node), sib.end());
    delete node;
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    while (!FRoots.empty()) Delete(FRoots.back());
    EndUpdate();
}

int TTreeNodes::Count() const
{
    int n = 0;
    for (TTreeNode* t = GetFirstNode(); t; t = t->GetNext()) ++n;
    return n;
}

TTreeNode* TTreeNodes::Item(int index) const
{
    int i = 0;
    for (TTreeNode* t = GetFirstNode(); t; t = t->GetNext(), ++i)
        if (i == index) return t;
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TTreeNodes::EndUpdate()
{
    if (FUpdating > 0) --FUpdating;
}

// ---- the tree view -------------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FNodes(std::make_unique<TTreeNodes>(this)),
      FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
    SetBounds(0, 0, 121, 97);
    NativeDefaults(this, true);
}

TCustomTreeView::~TCustomTreeView()
{
    if (FImpl->W) {
        FImpl->W->Ctrl = nullptr;
        FImpl->W->TV = nullptr;
        FImpl->W->Delegate->TV = nullptr;
    }
    // Every node goes through OnDeletion, as when the program deletes them.
    FNodes->Clear();
}

void TCustomTreeView::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style |= WS_TABSTOP;
}

QWidget* TCustomTreeView::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    auto* w = new QzTree(this, parent);
    FImpl->W = w;
    return w;
}

void TCustomTreeView::CreateWindowDone()
{
    QzTree* w = FImpl->W;
    ApplyFont(this, w);
    w->setFrameShape(FBorderStyle == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
    w->setRootIsDecorated(FShowRoot);
    w->setIndentation(FIndent);
    w->setItemsExpandable(FShowButtons);
    w->setEditTriggers(FReadOnly ? QAbstractItemView::NoEditTriggers
                                 : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    if (FImages.Get() || FStateImages.Get()) w->setIconSize(IconSize());
    Rebuild();
    // The user's choice is the selection (the current item alone may be
    // just where the keyboard focus rests).
    QObject::connect(w, &QTreeWidget::itemSelectionChanged, w, [this, w] {
        if (FImpl->W != w || w->Programmatic) return;
        auto sel = w->selectedItems();
        TTreeNode* n = sel.isEmpty() ? nullptr : NodeOf(sel.front());
        if (n == FSelected) return;
        Guarded(this, [&] {
            bool allow = true;
            if (OnChanging) OnChanging(this, n, allow);
            if (!allow) {
                // Refused: the old node stays chosen.
                ++w->Programmatic;
                w->clearSelection();
                if (QTreeWidgetItem* old = ItemOf(FSelected)) {
                    w->setCurrentItem(old);
                    old->setSelected(true);
                }
                --w->Programmatic;
                return;
            }
            NativeSelected(n);
        });
    });
    QObject::connect(w, &QTreeWidget::itemExpanded, w, [this, w](QTreeWidgetItem* it) {
        if (FImpl->W != w || w->Programmatic) return;
        TTreeNode* n = NodeOf(it);
        Guarded(this, [&] {
            if (n && !NativeExpanding(n, true)) {
                ++w->Programmatic;
                it->setExpanded(false);
                --w->Programmatic;
            }
        });
    });
    QObject::connect(w, &QTreeWidget::itemCollapsed, w, [this, w](QTreeWidgetItem* it) {
        if (FImpl->W != w || w->Programmatic) return;
        TTreeNode* n = NodeOf(it);
        Guarded(this, [&] {
            if (n && !NativeExpanding(n, false)) {
                ++w->Programmatic;
                it->setExpanded(true);
                --w->Programmatic;
            }
        });
    });
}

void TCustomTreeView::DestroyWnd()
{
    if (QzTree* w = FImpl->W) {
        for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext()) n->FItem = nullptr;
        w->Ctrl = nullptr;
        w->TV = nullptr;
        w->Delegate->TV = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TCustomTreeView::Rebuild()
{
    QzTree* w = FImpl->W;
    if (!w) return;
    ++w->Programmatic;
    w->clear();
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext()) n->FItem = nullptr;
    for (TTreeNode* n : FNodes->FRoots) Attach(n);
    if (QTreeWidgetItem* it = ItemOf(FSelected)) w->setCurrentItem(it);
    --w->Programmatic;
}

void TCustomTreeView::Attach(TTreeNode* node)
{
    QzTree* w = FImpl->W;
    if (!w) return;
    ++w->Programmatic;
    auto* it = new QTreeWidgetItem();
    it->setData(0, NodeRole, QVariant::fromValue<quintptr>(quintptr(node)));
    it->setFlags(it->flags() | Qt::ItemIsEditable);
    node->FItem = it;
    int index = node->Index();
    if (QTreeWidgetItem* p = ItemOf(node->FParent)) p->insertChild(index, it);
    else w->insertTopLevelItem(index, it);
    ApplyNode(node);
    for (TTreeNode* c : node->FChildren) Attach(c);
    if (node->FExpanded) it->setExpanded(true);
    --w->Programmatic;
}

void TCustomTreeView::Detach(TTreeNode* node)
{
    if (OnDeletion) OnDeletion(this, node);
    if (FSelected == node) FSelected = nullptr;
    QTreeWidgetItem* it = ItemOf(node);
    node->FItem = nullptr;
    if (!it || !FImpl->W) return;
    QzTree* w = FImpl->W;
    ++w->Programmatic;
    delete it;
    --w->Programmatic;
    // The native tree moved its selection on: that becomes the selection, as the user would see it.
    auto sel = w->selectedItems();
    TTreeNode* now = sel.isEmpty() ? nullptr : NodeOf(sel.front());
    if (now != FSelected && !FNodes->FUpdating) NativeSelected(now);
}

void TCustomTreeView::ApplyNode(TTreeNode* node)
{
    QTreeWidgetItem* it = ItemOf(node);
    if (!it) return;
    QzTree* w = FImpl->W;
    ++w->Programmatic;
    it->setText(0, QS(node->FText));
    int image = node->FImageIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, node);
    image = node->FImageIndex;
    if (node == FSelected) {
        if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
        image = node->FSelectedIndex >= 0 ? node->FSelectedIndex : node->FImageIndex;
    }
    it->setIcon(0, NodeIcon(image, node->FStateIndex));
    it->setChildIndicatorPolicy(node->FHasChildren && node->FChildren.empty()
                                    ? QTreeWidgetItem::ShowIndicator
                                    : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    --w->Programmatic;
}

// The node's picture; with state images, the state image (index 1 and up;
// 0 is none, as the platform counts them) goes before it.
QIcon TCustomTreeView::NodeIcon(int image, int state) const
{
    TCustomImageList* img = FImages.Get();
    TCustomImageList* st = FStateImages.Get();
    if (!st) return ImageListIcon(img, image);
    QSize s = IconSize();
    QPixmap pm(s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (state > 0) ImageListIcon(st, state).paint(&p, QRect(0, 0, st->Width(), s.height()));
    if (img) ImageListIcon(img, image).paint(&p, QRect(st->Width() + 2, 0, img->Width(), s.height()));
    p.end();
    return QIcon(pm);
}

QSize TCustomTreeView::IconSize() const
{
    TCustomImageList* img = FImages.Get();
    TCustomImageList* st = FStateImages.Get();
    int w = (img ? img->Width() : 0) + (st ? st->Width() + (img ? 2 : 0) : 0);
    int h = std::max(img ? img->Height() : 0, st ? st->Height() : 0);
    return QSize(w, h);
}

void TCustomTreeView::NativeSelected(TTreeNode* node)
{
    TTreeNode* old = FSelected;
    FSelected = node;
    if (old && old->FOwner) ApplyNode(old);
    if (node) ApplyNode(node);
    if (node && FAutoExpand) node->Expand(false);
    if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::NativeExpanding(TTreeNode* node, bool expand)
{
    bool allow = true;
    if (expand && OnExpanding) OnExpanding(this, node, allow);
    if (!expand && OnCollapsing) OnCollapsing(this, node, allow);
    if (!allow) return false;
    node->FExpanded = expand;
    if (expand && OnExpanded) OnExpanded(this, node);
    if (!expand && OnCollapsed) OnCollapsed(this, node);
    return true;
}

void TCustomTreeView::NativeEdited(TTreeNode* node, std::string text)
{
    if (OnEdited) OnEdited(this, node, text);
    node->SetText(text);
}

void TCustomTreeView::SetSelected(TTreeNode* node)
{
    if (node == FSelected) return;
    if (QzTree* w = FImpl->W) {
        ++w->Programmatic;
        if (QTreeWidgetItem* it = ItemOf(node)) {
            w->setCurrentItem(it);
            it->setSelected(true);
        } else {
            w->clearSelection();
            w->setCurrentItem(nullptr);
        }
        --w->Programmatic;
    }
    NativeSelected(node);
}

TTreeNode* TCustomTreeView::TopItem() const
{
    if (!FImpl->W) return FNodes->GetFirstNode();
    return NodeOf(FImpl->W->itemAt(QPoint(1, 1)));
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const
{
    if (!FImpl->W) return nullptr;
    return NodeOf(FImpl->W->itemAt(FImpl->W->ToViewport(Point(x, y))));
}

bool TCustomTreeView::IsEditing() const
{
    return FImpl->W && FImpl->W->Editing();
}

void TCustomTreeView::FullExpand()
{
    for (TTreeNode* n : std::vector<TTreeNode*>(FNodes->FRoots)) n->Expand(true);
}
void TCustomTreeView::FullCollapse()
{
    for (TTreeNode* n : std::vector<TTreeNode*>(FNodes->FRoots)) n->Collapse(true);
}

void TCustomTreeView::SetReadOnly(bool v)
{
    FReadOnly = v;
    if (FImpl->W)
        FImpl->W->setEditTriggers(v ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}
void TCustomTreeView::SetShowRoot(bool v)
{
    FShowRoot = v;
    if (FImpl->W) FImpl->W->setRootIsDecorated(v);
}
void TCustomTreeView::SetShowLines(bool v) { FShowLines = v; }
void TCustomTreeView::SetShowButtons(bool v)
{
    FShowButtons = v;
    if (FImpl->W) FImpl->W->setItemsExpandable(v);
}
void TCustomTreeView::SetIndent(int v)
{
    FIndent = std::max(0, v);
    if (FImpl->W) FImpl->W->setIndentation(FIndent);
}
void TCustomTreeView::SetHideSelection(bool v) { FHideSelection = v; }
void TCustomTreeView::SetRowSelect(bool v) { FRowSelect = v; }
void TCustomTreeView::SetImages(TCustomImageList* v)
{
    FImages = v;
    ImagesChanged();
}
void TCustomTreeView::SetStateImages(TCustomImageList* v)
{
    FStateImages = v;
    ImagesChanged();
}
void TCustomTreeView::ImagesChanged()
{
    if (!FImpl->W) return;
    FImpl->W->setIconSize(IconSize());
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext()) ApplyNode(n);
}
void TCustomTreeView::SetBorderStyle(TBorderStyle v)
{
    FBorderStyle = v;
    if (FImpl->W) FImpl->W->setFrameShape(v == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TCustomTreeView::WMMouse(TMessage& m) { MouseToNative<TCustomTreeView, TWinControl>(this, m); }

void TCustomTreeView::WMLButtonDblClk2(TMessage& m)
{
    TWeakRef<TCustomTreeView> guard(this);
    TWinControl::Dispatch(m);   // the control's own handling: DblClick comes below, once
    if (guard) DefaultHandler(m);
    if (guard) DblClick();
}

void TCustomTreeView::DefaultHandler(TMessage& m) { TWinControl::DefaultHandler(m); }
