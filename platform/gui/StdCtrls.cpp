// The list box over Qt's list widget. The widget's own scroll bars stay
// hidden: the window's bars (drawn in its border by the layer) carry the
// scroll state, so GetScrollInfo and GetScrollBarInfo answer for the list as
// for any window, and WM_HSCROLL/WM_VSCROLL scroll it.
#include "StdCtrls.h"
#include "QzPropsPrivate.h"
#include "Forms.h"
#include "QzGuiPrivate.h"
#include "QzStdPrivate.h"
#include "TextUtils.h"

#include <array>

#include <QAbstractItemView>
#include <QEvent>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

using namespace qzgui;

QZ_CLASS_IMPL(TListBoxStrings, TStrings)
QZ_CLASS_IMPL_PROPS(TCustomListBox, TWinControl, qzgui::DefineCustomListBoxProps)
QZ_CLASS_IMPL(TListBox, TCustomListBox)

namespace qzgui {
// The layer's event translation (QzWindow.cpp).
bool HandleEvent(TWinControl* c, QWidget* w, QEvent* e);
}

namespace {

constexpr int ObjectRole = Qt::UserRole + 1;

class QzListDelegate : public QStyledItemDelegate {
public:
    QzListDelegate(TCustomListBox* lb, QObject* parent) : QStyledItemDelegate(parent), LB(lb) {}
    TCustomListBox* LB;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& idx) const override
    {
        int h = LB->ItemHeight();
        if (LB->Style() == lbOwnerDrawVariable) LB->MeasureItem(idx.row(), h);
        // Items are as wide as the scroll width: the horizontal bar scrolls over that, not the texts.
        // In columns each item takes its column's width.
        return QSize(LB->Columns() > 0 ? LB->ColumnWidth() : LB->ScrollWidth(), std::max(1, h));
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override
    {
        HDC dc = NewDC();
        dc->Device = p->device();
        dc->Painter = p;
        dc->OwnsPainter = false;
        dc->Size = QSize(p->device()->width(), p->device()->height());
        TDrawItemStruct ds;
        ds.ItemID = idx.row();
        ds.RcItem = TR(opt.rect);
        if (opt.state & QStyle::State_Selected) ds.ItemState |= ODS_SELECTED;
        if (opt.state & QStyle::State_HasFocus) ds.ItemState |= ODS_FOCUS;
        if (!(opt.state & QStyle::State_Enabled)) ds.ItemState |= ODS_DISABLED;
        ds.DC = dc;
        p->save();
        try {
            LB->Perform(CN_DRAWITEM, 0, LPARAM(&ds));
        } catch (...) {
            // Nothing may leave a paint handler: the application shows it.
            if (Application) Application->HandleException(LB);
        }
        p->restore();
        DeleteDC(dc);
    }
};

class QzListWidget : public QListWidget {
public:
    QzListWidget(TCustomListBox* lb, QWidget* parent) : QListWidget(parent), LB(lb)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        setItemDelegate(new QzListDelegate(lb, this));   // the list frees it
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
        viewport()->installEventFilter(this);
        setFocusPolicy(Qt::StrongFocus);
    }
    TCustomListBox* LB;
    int Programmatic = 0;

    void LayoutNow() { executeDelayedItemsLayout(); }
    // The horizontal bar scrolls over the list's scroll width, which the
    // items' own widths do not decide: the offset is kept here.
    int HorzPos = 0;
    // Columns laid out, from where the last item stands.
    int ColumnCount()
    {
        if (!LB || LB->Columns() <= 0 || count() == 0) return 0;
        int cw = std::max(1, LB->ColumnWidth());
        return (visualItemRect(item(count() - 1)).left() + HorzPos) / cw + 1;
    }
    // Multi-column lists scroll a whole column at a time, as far as the last column shows.
    int HorzMax()
    {
        if (!LB) return 0;
        if (LB->Columns() > 0) return std::max(0, ColumnCount() - LB->Columns()) * std::max(1, LB->ColumnWidth());
        return std::max(0, LB->ScrollWidth() - viewport()->width());
    }
    void SetHorzPos(int v)
    {
        v = std::clamp(v, 0, HorzMax());
        if (v == HorzPos) return;
        HorzPos = v;
        viewport()->update();
    }
    int horizontalOffset() const override { return HorzPos; }
    void SetFlow(int columns)
    {
        // A list runs top to bottom anyway; columns only wrap it.
        setWrapping(columns > 0);
        HorzPos = 0;
        verticalScrollBar()->setValue(0);
        doItemsLayout();
    }
    // Qt scrolls its own horizontal bar, which the list does not use: a
    // column out of view is brought in here, whole.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override
    {
        if (!LB || LB->Columns() <= 0 || !index.isValid()) {
            QListWidget::scrollTo(index, hint);
            return;
        }
        LayoutNow();
        const int cw = std::max(1, LB->ColumnWidth());
        const int column = (visualRect(index).left() + HorzPos) / cw;
        int pos = HorzPos;
        if (column * cw < pos) pos = column * cw;
        else if ((column + 1) * cw > pos + LB->Columns() * cw) pos = (column - LB->Columns() + 1) * cw;
        SetHorzPos(pos);
        LB->UpdateScrollState();
    }
    void keyboardSearch(const QString& search) override
    {
        // Qt gathers what is typed in quick succession; without completion
        // each character finds the next item starting with it by itself.
        if (!LB || LB->AutoComplete()) {
            QListWidget::keyboardSearch(search);
            return;
        }
        const int n = count();
        if (search.isEmpty() || n == 0) return;
        const int from = currentRow();
        for (int k = 1; k <= n; ++k) {
            const int i = ((from < 0 ? -1 : from) + k) % n;
            if (item(i)->text().startsWith(search, Qt::CaseInsensitive)) {
                const QModelIndex idx = model()->index(i, 0);
                setCurrentIndex(idx);
                scrollTo(idx);
                return;
            }
        }
    }
    void SetMargins(const TRect& in) { setViewportMargins(in.Left, in.Top, in.Right, in.Bottom); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        // The list's client area is its viewport: its input takes the layer's road first.
        if (o == viewport() && LB && e->type() != QEvent::Paint) {
            switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
                return HandleEvent(LB, viewport(), e);
            default:
                return false;
            }
        }
        return QListWidget::eventFilter(o, e);
    }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Paint && LB) {
            // The border and the window's scroll bars, as the layer paints them for its own windows.
            TRect in = LB->NonClientInsets();
            if (in.Left || in.Top || in.Right || in.Bottom) {
                QPainter painter(this);
                HDC dc = NewDC();
                dc->Device = this;
                dc->Painter = &painter;
                dc->OwnsPainter = false;
                dc->Size = size();
                dc->BaseClip = static_cast<QPaintEvent*>(e)->region();
                dc->Window = HandleOf(LB);
                TMessage nc{WM_NCPAINT, WPARAM(dc), 0, 0};
                Deliver(LB, nc, TMessageFilterKind::CallWndProc);   // shows its own failures
                DeleteDC(dc);
            }
            return true;
        }
        return QListWidget::event(e);
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QListWidget::resizeEvent(e);
        // The column width follows the client width.
        if (LB && LB->Columns() > 0) doItemsLayout();
        if (LB) LB->UpdateScrollState();
    }
};

std::string TextOf(LPARAM l) { return l ? *reinterpret_cast<const std::string*>(l) : std::string(); }

} // namespace

struct TCustomListBox::TImpl {
    QzListWidget* W = nullptr;
    bool Updating = false;
};

// ---- the strings ---------------------------------------------------------------------------

std::string TListBoxStrings::Get(int index) const
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    std::string s;
    FListBox->Perform(LB_GETTEXT, WPARAM(index), LPARAM(&s));
    return s;
}
int TListBoxStrings::GetCount() const { return int(FListBox->Perform(LB_GETCOUNT)); }
TObject* TListBoxStrings::GetObject(int index) const
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    return reinterpret_cast<TObject*>(FListBox->Perform(LB_GETITEMDATA, WPARAM(index)));
}
void TListBoxStrings::PutObject(int index, TObject* obj)
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    FListBox->Perform(LB_SETITEMDATA, WPARAM(index), LPARAM(obj));
}
void TListBoxStrings::Put(int index, const std::string& s)
{
    // Replacing keeps the object and the selection of the place.
    int sel = FListBox->ItemIndex();
    TObject* obj = GetObject(index);
    Delete(index);
    InsertObject(index, s, obj);
    if (sel == index) FListBox->SetItemIndex(index);
}
int TListBoxStrings::Add(const std::string& s)
{
    LRESULT r = FListBox->Perform(LB_ADDSTRING, 0, LPARAM(&s));
    if (r < 0) throw EListError("Out of system resources");
    return int(r);
}
void TListBoxStrings::Insert(int index, const std::string& s)
{
    if (index < 0 || index > GetCount()) IndexError(index);
    FListBox->Perform(LB_INSERTSTRING, WPARAM(index), LPARAM(&s));
}
void TListBoxStrings::Delete(int index)
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    FListBox->Perform(LB_DELETESTRING, WPARAM(index));
}
void TListBoxStrings::Clear() { FListBox->Perform(LB_RESETCONTENT); }
int TListBoxStrings::IndexOf(const std::string& s) const
{
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (AnsiCompareText(Get(i), s) == 0) return i;
    return -1;
}

// ---- the list box ----------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    // Clicks come from choosing an item, not from the mouse button going up.
    TControlStyle cs = ControlStyle();
    cs.Exclude(csClickEvents);
    // The native list holds the mouse itself while a button is down.
    cs.Exclude(csCaptureMouse);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
}

TCustomListBox::~TCustomListBox()
{
    if (FImpl->W) FImpl->W->LB = nullptr;
}

void TCustomListBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style |= WS_TABSTOP;
    if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

QWidget* TCustomListBox::CreateWindowHandle(const TCreateParams&, QWidget* parentWidget)
{
    auto* w = new QzListWidget(this, parentWidget);
    FImpl->W = w;
    w->setSelectionMode(!FMultiSelect ? QAbstractItemView::SingleSelection
                        : FExtendedSelect ? QAbstractItemView::ExtendedSelection
                                          : QAbstractItemView::MultiSelection);
    // Item sizes are asked each layout: the item height and the scroll width may change.
    w->setUniformItemSizes(false);
    if (FColumns > 0) w->SetFlow(FColumns);
    QObject::connect(w, &QListWidget::itemSelectionChanged, w, [this, w] {
        if (w->Programmatic || !w->LB) return;
        NotifyCommand(this, LBN_SELCHANGE);
    });
    QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, w, [this, w] {
        if (w->LB) UpdateScrollState();
    });
    QObject::connect(w->horizontalScrollBar(), &QScrollBar::valueChanged, w, [this, w] {
        if (w->LB) UpdateScrollState();
    });
    return w;
}

void TCustomListBox::CreateWindowDone()
{
    auto saved = std::move(FSaved);
    FSaved.clear();
    auto* w = FImpl->W;
    ++w->Programmatic;
    for (auto& [s, obj] : saved) {
        auto* it = new QListWidgetItem(QS(s));
        it->setData(ObjectRole, QVariant::fromValue<quintptr>(quintptr(obj)));
        w->addItem(it);
    }
    --w->Programmatic;
    if (FSavedIndex >= 0) SetItemIndex(FSavedIndex);
    UpdateScrollState();
    if (FSavedTopIndex > 0) SetTopIndex(FSavedTopIndex);
}

void TCustomListBox::DestroyWnd()
{
    if (FImpl->W) {
        // The items outlive the window.
        FSaved.clear();
        for (int i = 0; i < FImpl->W->count(); ++i) {
            auto* it = FImpl->W->item(i);
            FSaved.emplace_back(US(it->text()), reinterpret_cast<TObject*>(it->data(ObjectRole).value<quintptr>()));
        }
        FSavedIndex = ItemIndex();
        FSavedTopIndex = TopIndex();
        FImpl->W->LB = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TCustomListBox::UpdateScrollState()
{
    auto* w = FImpl->W;
    if (!w || !w->LB || FImpl->Updating) return;
    FImpl->Updating = true;
    auto snapshot = [this] {
        std::array<int, 8> v{};
        for (int bar : {SB_HORZ, SB_VERT}) {
            TScrollInfo si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            GetScrollInfo(Handle(), bar, &si);
            v[size_t(bar * 4)] = si.nMin;
            v[size_t(bar * 4 + 1)] = si.nMax;
            v[size_t(bar * 4 + 2)] = int(si.nPage);
            v[size_t(bar * 4 + 3)] = si.nPos;
        }
        return v;
    };
    const auto before = snapshot();
    try {
        // The bars' visibility changes the client area, which changes the range: settle it.
        for (int round = 0; round < 3; ++round) {
            w->SetMargins(NonClientInsets());
            w->LayoutNow();
            TRect before = NonClientInsets();
            for (int bar : {SB_VERT, SB_HORZ}) {
                QScrollBar* sb = w->verticalScrollBar();
                TScrollInfo si;
                si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
                int page = std::max(1, sb->pageStep());
                if (bar == SB_HORZ && FColumns > 0) {
                    w->SetHorzPos(w->HorzPos);
                    const int cw = std::max(1, ColumnWidth());
                    page = FColumns * cw;
                    const int content = w->ColumnCount() * cw;
                    si.nMax = std::max(0, content - 1);
                    si.nPage = UINT(page);
                    si.nPos = w->HorzPos;
                    if (content <= page) si.nMax = 0, si.nPage = 1, si.nPos = 0;
                } else if (bar == SB_VERT && FColumns > 0) {
                    // The columns take all the items: nothing is left to scroll down to.
                    si.nMin = 0;
                    si.nMax = 0;
                    si.nPage = 1;
                    si.nPos = 0;
                } else if (bar == SB_HORZ) {
                    w->SetHorzPos(w->HorzPos);
                    page = std::max(1, w->viewport()->width());
                    si.nMax = std::max(0, FScrollWidth - 1);
                    si.nPage = UINT(page);
                    si.nPos = w->HorzPos;
                    if (FScrollWidth <= page) si.nMax = 0, si.nPage = 1, si.nPos = 0;
                } else if (sb->maximum() > sb->minimum()) {
                    si.nMin = 0;
                    si.nMax = sb->maximum() + page - 1;
                    si.nPage = UINT(page);
                    si.nPos = sb->value();
                } else {
                    si.nMin = 0;
                    si.nMax = 0;
                    si.nPage = 1;
                    si.nPos = 0;
                }
                SetScrollInfo(Handle(), bar, &si, 1);
            }
            if (NonClientInsets() == before) break;
        }
        w->SetMargins(NonClientInsets());
    } catch (...) {
        FImpl->Updating = false;
        throw;
    }
    FImpl->Updating = false;
    // The list scrolled or its range changed by itself (keys, the mouse):
    // the frame is worked out again, so that a control watching its window
    // hears of it as when a bar comes or goes.
    if (snapshot() != before) UpdateNonClient();
}

// ---- properties ------------------------------------------------------------------------------

int TCustomListBox::ItemIndex() const
{
    if (!FImpl->W) return FSavedIndex;
    return int(const_cast<TCustomListBox*>(this)->Perform(FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int v)
{
    if (!FImpl->W) {
        FSavedIndex = v < int(FSaved.size()) ? v : -1;
        return;
    }
    if (FMultiSelect) Perform(LB_SETCARETINDEX, WPARAM(v));
    else Perform(LB_SETCURSEL, WPARAM(v));
}

void TCustomListBox::SetMultiSelect(bool v)
{
    if (FMultiSelect == v) return;
    FMultiSelect = v;
    RecreateWnd();
}
void TCustomListBox::SetExtendedSelect(bool v)
{
    if (FExtendedSelect == v) return;
    FExtendedSelect = v;
    RecreateWnd();
}

bool TCustomListBox::Selected(int index) const
{
    LRESULT r = const_cast<TCustomListBox*>(this)->Perform(LB_GETSEL, WPARAM(index));
    if (r < 0) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return r > 0;
}

void TCustomListBox::SetSelected(int index, bool v)
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (FMultiSelect) Perform(LB_SETSEL, WPARAM(v), LPARAM(index));
    else if (v) SetItemIndex(index);
    else if (ItemIndex() == index) SetItemIndex(-1);
}

int TCustomListBox::SelCount() const
{
    return int(const_cast<TCustomListBox*>(this)->Perform(LB_GETSELCOUNT));
}

void TCustomListBox::ClearSelection()
{
    if (FMultiSelect) Perform(LB_SETSEL, 0, -1);
    else SetItemIndex(-1);
}
void TCustomListBox::SelectAll()
{
    if (FMultiSelect) Perform(LB_SETSEL, 1, -1);
}

int TCustomListBox::TopIndex() const
{
    if (!FImpl->W) return FSavedTopIndex;
    return int(const_cast<TCustomListBox*>(this)->Perform(LB_GETTOPINDEX));
}
void TCustomListBox::SetTopIndex(int v)
{
    if (!FImpl->W) {
        FSavedTopIndex = std::max(0, v);
        return;
    }
    Perform(LB_SETTOPINDEX, WPARAM(v));
}

int TCustomListBox::ItemHeight() const { return FItemHeight; }
void TCustomListBox::SetItemHeight(int v)
{
    if (v <= 0 || v == FItemHeight) return;
    FItemHeight = std::min(v, 255);
    if (FImpl->W) {
        FImpl->W->doItemsLayout();
        UpdateScrollState();
        Invalidate();
    }
}

void TCustomListBox::SetStyle(TListBoxStyle v)
{
    if (FStyle == v) return;
    FStyle = v;
    RecreateWnd();
}

void TCustomListBox::SetSorted(bool v)
{
    if (FSorted == v) return;
    FSorted = v;
    if (!v) return;
    // Items already there take their places.
    std::vector<std::pair<std::string, TObject*>> all;
    for (int i = 0; i < Count(); ++i) all.emplace_back(FItems->Get(i), FItems->GetObject(i));
    std::stable_sort(all.begin(), all.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
    FItems->BeginUpdate();
    FItems->Clear();
    for (auto& [s, o] : all) FItems->AddObject(s, o);
    FItems->EndUpdate();
}

int TCustomListBox::ScrollWidth() const { return FScrollWidth; }
void TCustomListBox::SetScrollWidth(int v)
{
    v = std::max(0, v);
    if (v == FScrollWidth) return;
    if (FImpl->W) Perform(LB_SETHORIZONTALEXTENT, WPARAM(v));
    else FScrollWidth = v;
}

void TCustomListBox::SetColumns(int v)
{
    v = std::max(0, v);
    if (v == FColumns) return;
    FColumns = v;
    if (!FImpl->W) return;
    FImpl->W->SetFlow(v);
    UpdateScrollState();
    Invalidate();
}

int TCustomListBox::ColumnWidth() const
{
    if (FColumns <= 0) return 0;
    int client = FImpl->W ? FImpl->W->viewport()->width() : ClientWidth();
    return std::max(1, client / FColumns);
}

void TCustomListBox::SetTabWidth(int v)
{
    v = std::max(0, v);
    if (v == FTabWidth) return;
    FTabWidth = v;
    Invalidate();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v)
{
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    RecreateWnd();
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const
{
    int n = Count();
    if (FImpl->W) {
        QModelIndex idx = FImpl->W->indexAt(QP(p));
        if (idx.isValid()) return idx.row();
    }
    if (existing) return -1;
    return n;
}

TRect TCustomListBox::ItemRect(int index) const
{
    TRect r;
    if (!FImpl->W) return r;
    const_cast<TCustomListBox*>(this)->Perform(LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    return r;
}

void TCustomListBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state)
{
    // A standard list draws its items itself, whatever handler is set.
    if (OnDrawItem && FStyle != lbStandard) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas->FillRect(rect);
    if (index < 0 || index >= Count()) return;
    const std::string text = FItems->Get(index);
    const int x0 = rect.Left + 2;
    if (text.find('\t') == std::string::npos) {
        FCanvas->TextOut(x0, rect.Top, text);
        return;
    }
    // Tab stops count from the text's start, in dialog units of the list's font.
    const int baseUnit = std::max(1, (FCanvas->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2);
    const int stop = std::max(1, (FTabWidth > 0 ? FTabWidth : 32) * baseUnit / 4);
    int x = 0;
    size_t from = 0;
    for (;;) {
        size_t tab = text.find('\t', from);
        std::string run = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
        if (!run.empty()) FCanvas->TextOut(x0 + x, rect.Top, run);
        if (tab == std::string::npos) break;
        x += FCanvas->TextWidth(run);
        x = (x / stop + 1) * stop;
        from = tab + 1;
    }
}

// ---- messages --------------------------------------------------------------------------------

void TCustomListBox::CNCommand(TMessage& m)
{
    switch (HIWORD(m.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomListBox::WMMouse(TMessage& m)
{
    TWeakRef<TCustomListBox> guard(this);
    inherited::Dispatch(m);
    if (guard) DefaultHandler(m);
}

void TCustomListBox::WMLButtonDblClk(TMessage& m)
{
    TWeakRef<TCustomListBox> guard(this);
    inherited::Dispatch(m);
    if (guard) DefaultHandler(m);
    // The double click comes back from the parent as the list's notification.
    if (guard) NotifyCommand(this, LBN_DBLCLK);
}

void TCustomListBox::WMMouseWheel(TMessage& m)
{
    TWMMouseWheel w(m);
    if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), Point(w.XPos(), w.YPos()))) {
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
    m.Result = 1;
}

void TCustomListBox::CNDrawItem(TMessage& m)
{
    auto* ds = reinterpret_cast<TDrawItemStruct*>(m.LParam);
    if (!ds) return;
    TOwnerDrawState state;
    if (ds->ItemState & ODS_SELECTED) state.Include(odSelected);
    if (ds->ItemState & ODS_FOCUS) state.Include(odFocused);
    if (ds->ItemState & ODS_DISABLED) state.Include(odDisabled);
    FCanvas->SetHandle(ds->DC);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->Assign(Brush());
    if (ds->ItemID >= 0 && state.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    try {
        if (ds->ItemID >= 0) DrawItem(ds->ItemID, ds->RcItem, state);
        else FCanvas->FillRect(ds->RcItem);
        if (state.Contains(odFocused) && !OnDrawItem) FCanvas->DrawFocusRect(ds->RcItem);
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    m.Result = 1;
}

void TCustomListBox::DefaultHandler(TMessage& m)
{
    QzListWidget* w = FImpl->W;
    auto count = [&]() { return w ? w->count() : int(FSaved.size()); };
    auto valid = [&](int i) { return i >= 0 && i < count(); };
    switch (m.Msg) {
    case LB_GETCOUNT: m.Result = count(); return;
    case LB_GETTEXT: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = LB_ERR; return; }
        std::string s = w ? US(w->item(i)->text()) : FSaved[size_t(i)].first;
        if (m.LParam) *reinterpret_cast<std::string*>(m.LParam) = s;
        m.Result = LRESULT(s.size());
        return;
    }
    case LB_GETITEMDATA: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = LB_ERR; return; }
        m.Result = w ? LRESULT(w->item(i)->data(ObjectRole).value<quintptr>()) : LRESULT(FSaved[size_t(i)].second);
        return;
    }
    case LB_SETITEMDATA: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = LB_ERR; return; }
        if (w) w->item(i)->setData(ObjectRole, QVariant::fromValue<quintptr>(quintptr(m.LParam)));
        else FSaved[size_t(i)].second = reinterpret_cast<TObject*>(m.LParam);
        m.Result = 0;
        return;
    }
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        std::string s = TextOf(m.LParam);
        int at = count();
        if (m.Msg == LB_INSERTSTRING && int(m.WParam) >= 0) at = std::min(int(m.WParam), count());
        if (m.Msg == LB_ADDSTRING && FSorted) {
            // After the last item that sorts before or with it.
            at = 0;
            for (int i = count() - 1; i >= 0; --i) {
                std::string t = w ? US(w->item(i)->text()) : FSaved[size_t(i)].first;
                if (AnsiCompareText(t, s) <= 0) { at = i + 1; break; }
            }
        }
        if (w) {
            ++w->Programmatic;
            auto* it = new QListWidgetItem(QS(s));
            it->setData(ObjectRole, QVariant::fromValue<quintptr>(0));
            w->insertItem(at, it);
            --w->Programmatic;
            UpdateScrollState();
        } else {
            FSaved.insert(FSaved.begin() + at, {s, nullptr});
            if (FSavedIndex >= at) ++FSavedIndex;
        }
        m.Result = at;
        return;
    }
    case LB_DELETESTRING: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = LB_ERR; return; }
        if (w) {
            ++w->Programmatic;
            delete w->takeItem(i);
            --w->Programmatic;
            UpdateScrollState();
        } else {
            FSaved.erase(FSaved.begin() + i);
            if (FSavedIndex == i) FSavedIndex = -1;
            else if (FSavedIndex > i) --FSavedIndex;
        }
        m.Result = count();
        return;
    }
    case LB_RESETCONTENT:
        if (w) {
            ++w->Programmatic;
            w->clear();
            --w->Programmatic;
            UpdateScrollState();
        } else {
            FSaved.clear();
            FSavedIndex = -1;
        }
        m.Result = 0;
        return;
    default: break;
    }
    if (!w) {
        TWinControl::DefaultHandler(m);
        return;
    }
    switch (m.Msg) {
    case LB_SETCURSEL: {
        int i = int(m.WParam);
        ++w->Programmatic;
        if (valid(i)) {
            w->setCurrentRow(i);
            w->scrollToItem(w->item(i));
        } else {
            w->clearSelection();
            w->setCurrentRow(-1);
        }
        --w->Programmatic;
        UpdateScrollState();
        m.Result = valid(i) ? i : LB_ERR;
        return;
    }
    case LB_GETCURSEL:
        if (FMultiSelect) m.Result = w->currentRow();
        else m.Result = w->currentItem() && w->currentItem()->isSelected() ? w->currentRow() : LB_ERR;
        return;
    case LB_SETCARETINDEX: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = LB_ERR; return; }
        ++w->Programmatic;
        w->setCurrentRow(i, QItemSelectionModel::NoUpdate);
        w->scrollToItem(w->item(i));
        --w->Programmatic;
        UpdateScrollState();
        m.Result = 0;
        return;
    }
    case LB_GETCARETINDEX: m.Result = w->currentRow(); return;
    case LB_SETSEL: {
        if (!FMultiSelect) { m.Result = LB_ERR; return; }
        int i = int(m.LParam);
        ++w->Programmatic;
        if (i == -1) {
            for (int k = 0; k < w->count(); ++k) w->item(k)->setSelected(m.WParam != 0);
        } else if (valid(i)) {
            w->item(i)->setSelected(m.WParam != 0);
        }
        --w->Programmatic;
        m.Result = i == -1 || valid(i) ? 0 : LB_ERR;
        return;
    }
    case LB_GETSEL: {
        int i = int(m.WParam);
        m.Result = valid(i) ? (w->item(i)->isSelected() ? 1 : 0) : LB_ERR;
        return;
    }
    case LB_GETSELCOUNT:
        // A single-selection list has no selection count to give.
        m.Result = FMultiSelect ? LRESULT(w->selectedItems().size()) : LB_ERR;
        return;
    case LB_GETTOPINDEX:
        w->LayoutNow();
        m.Result = w->verticalScrollBar()->value();
        return;
    case LB_SETTOPINDEX: {
        int i = int(m.WParam);
        if (!valid(i) && !(i == 0 && count() == 0)) { m.Result = LB_ERR; return; }
        w->LayoutNow();
        w->verticalScrollBar()->setValue(i);
        UpdateScrollState();
        m.Result = 0;
        return;
    }
    case LB_GETITEMHEIGHT: {
        int h = FItemHeight;
        if (FStyle == lbOwnerDrawVariable && valid(int(m.WParam))) MeasureItem(int(m.WParam), h);
        m.Result = h;
        return;
    }
    case LB_SETITEMHEIGHT: SetItemHeight(int(LOWORD(m.LParam))); m.Result = 0; return;
    case LB_SETHORIZONTALEXTENT:
        FScrollWidth = int(m.WParam);
        w->doItemsLayout();
        UpdateScrollState();
        m.Result = 0;
        return;
    case LB_GETHORIZONTALEXTENT: m.Result = FScrollWidth; return;
    case LB_GETITEMRECT: {
        int i = int(m.WParam);
        if (!valid(i) || !m.LParam) { m.Result = LB_ERR; return; }
        w->LayoutNow();
        QRect r = w->visualItemRect(w->item(i));
        // Items span the client width, as the platform's list draws them; in columns, their column's.
        if (FColumns > 0) r.setWidth(ColumnWidth());
        else r.setWidth(std::max(r.width(), ClientWidth()));
        *reinterpret_cast<TRect*>(m.LParam) = TR(r);
        m.Result = 1;
        return;
    }
    case LB_ITEMFROMPOINT: {
        TPoint p = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        int i = ItemAtPos(p, true);
        m.Result = i >= 0 ? i : MAKELPARAM(std::max(0, count() - 1), 1);
        return;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
        bool vert = m.Msg == WM_VSCROLL;
        QScrollBar* sb = w->verticalScrollBar();
        w->LayoutNow();
        int line = vert ? 1 : std::max(1, w->fontMetrics().averageCharWidth());
        int pos = vert ? sb->value() : w->HorzPos;
        int page = vert ? sb->pageStep() : w->viewport()->width();
        int maxPos = vert ? sb->maximum() : w->HorzMax();
        const bool byColumn = !vert && FColumns > 0;
        if (byColumn) {
            line = std::max(1, ColumnWidth());
            page = FColumns * line;
        }
        switch (int16_t(LOWORD(m.WParam))) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = HIWORD(m.WParam); break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = maxPos; break;
        default: break;
        }
        if (byColumn) pos = (pos + line / 2) / line * line;
        pos = std::clamp(pos, 0, maxPos);
        if (vert) sb->setValue(pos);
        else w->SetHorzPos(pos);
        UpdateScrollState();
        m.Result = 0;
        return;
    }
    case WM_MOUSEWHEEL: {
        int delta = int16_t(HIWORD(m.WParam));
        int lines = Mouse ? Mouse->WheelScrollLines() : 3;
        w->LayoutNow();
        if (FColumns > 0) {
            // Columns have nothing below: the wheel turns them a column a notch.
            w->SetHorzPos(w->HorzPos - delta / WHEEL_DELTA * std::max(1, ColumnWidth()));
            UpdateScrollState();
            m.Result = 0;
            return;
        }
        QScrollBar* sb = w->verticalScrollBar();
        sb->setValue(std::clamp(sb->value() - delta * lines / WHEEL_DELTA, sb->minimum(), sb->maximum()));
        UpdateScrollState();
        m.Result = 0;
        return;
    }
    default:
        TWinControl::DefaultHandler(m);
    }
}
