// The combo box over Qt's combo box. The items live with the control (a
// window may come and go); the widget shows them.
#include "QzStdPrivate.h"
#include "QzPropsPrivate.h"
#include "StdCtrls.h"
#include "TextUtils.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QStyleOptionFrame>
#include <QPaintEvent>
#include <QStyledItemDelegate>
#include <QStylePainter>

using namespace qzgui;

QZ_CLASS_IMPL(TComboBoxStrings, TStrings)
QZ_CLASS_IMPL_PROPS(TCustomComboBox, TWinControl, qzgui::DefineCustomComboBoxProps)
QZ_CLASS_IMPL(TComboBox, TCustomComboBox)

namespace {

bool OwnerDraw(TComboBoxStyle s) { return s == csOwnerDrawFixed || s == csOwnerDrawVariable; }

// Sends the control CN_DRAWITEM for one item painted on p.
void DrawThrough(TCustomComboBox* cb, QPainter* p, const QRect& r, int index, UINT state)
{
    HDC dc = NewDC();
    dc->Device = p->device();
    dc->Painter = p;
    dc->OwnsPainter = false;
    dc->Size = QSize(p->device()->width(), p->device()->height());
    TDrawItemStruct ds;
    ds.CtlType = ODT_COMBOBOX;
    ds.ItemID = index;
    ds.ItemState = state;
    ds.RcItem = TR(r);
    ds.DC = dc;
    p->save();
    Guarded(cb, [&] { cb->Perform(CN_DRAWITEM, 0, LPARAM(&ds)); });
    p->restore();
    DeleteDC(dc);
}

class QzComboDelegate : public QStyledItemDelegate {
public:
    QzComboDelegate(TCustomComboBox* cb, QObject* parent) : QStyledItemDelegate(parent), CB(cb) {}
    TCustomComboBox* CB;
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& idx) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(opt, idx);
        if (!CB) return s;
        TMeasureItemStruct mi;
        mi.ItemID = idx.row();
        mi.ItemHeight = CB->ItemHeight();
        if (CB->Style() == csOwnerDrawVariable) CB->Perform(CN_MEASUREITEM, 0, LPARAM(&mi));
        return QSize(s.width(), std::max(1, mi.ItemHeight));
    }
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override
    {
        if (!CB || !OwnerDraw(CB->Style())) {
            QStyledItemDelegate::paint(p, opt, idx);
            return;
        }
        UINT st = 0;
        if (opt.state & (QStyle::State_Selected | QStyle::State_MouseOver)) st |= ODS_SELECTED;
        if (opt.state & QStyle::State_HasFocus) st |= ODS_FOCUS;
        DrawThrough(CB, p, opt.rect, idx.row(), st);
    }
};

class QzCombo : public QComboBox {
public:
    QzCombo(TCustomComboBox* cb, QWidget* parent) : QComboBox(parent), CB(cb)
    {
        setFocusPolicy(Qt::StrongFocus);
        setInsertPolicy(QComboBox::NoInsert);
        setItemDelegate(Delegate = new QzComboDelegate(cb, this));   // the combo frees it
    }
    TCustomComboBox* CB;
    QzComboDelegate* Delegate;
    int Programmatic = 0;
    bool Open = false;
    // A simple combo's list, always shown under its edit (null for the other styles).
    QListView* List = nullptr;

    void MakeSimple()
    {
        List = new QListView(this);
        List->setModel(model());
        List->setItemDelegate(Delegate);
        List->setFocusPolicy(Qt::NoFocus);
        List->setEditTriggers(QAbstractItemView::NoEditTriggers);
        QObject::connect(List, &QListView::clicked, this, [this](const QModelIndex& i) {
            // A click in the list chooses as the keys do.
            setCurrentIndex(i.row());
        });
        QObject::connect(List, &QListView::doubleClicked, this, [this](const QModelIndex&) {
            if (CB) NotifyCommand(CB, CBN_DBLCLK);
        });
        QObject::connect(this, &QComboBox::currentIndexChanged, List, [this](int i) {
            List->setCurrentIndex(model()->index(i, 0));
        });
        PlaceSimple();
    }
    // The edit along the top, the list below it.
    void PlaceSimple()
    {
        if (!List || !lineEdit()) return;
        const int h = std::min(height(), lineEdit()->sizeHint().height() + 4);
        lineEdit()->setGeometry(2, 2, width() - 4, h - 4);
        List->setGeometry(0, h, width(), std::max(0, height() - h));
    }

    void showPopup() override
    {
        if (List) return;   // the list is always there
        if (CB) NotifyCommand(CB, CBN_DROPDOWN);
        if (!CB) return;
        Open = true;
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        if (!Open) return;
        Open = false;
        if (CB) NotifyCommand(CB, CBN_CLOSEUP);
    }

protected:
    bool event(QEvent* e) override
    {
        bool r = QComboBox::event(e);
        // The combo places its edit for a one-line box: a simple one keeps it on top.
        if (List && (e->type() == QEvent::Resize || e->type() == QEvent::Show || e->type() == QEvent::FontChange ||
                     e->type() == QEvent::StyleChange || e->type() == QEvent::LayoutRequest))
            PlaceSimple();
        return r;
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (List) {
            // Only the edit's frame: the list draws itself.
            QPainter p(this);
            QStyleOptionFrame opt;
            opt.initFrom(this);
            opt.rect = QRect(0, 0, width(), lineEdit() ? lineEdit()->height() + 4 : height());
            opt.lineWidth = 1;
            opt.state |= QStyle::State_Sunken;
            style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);
            return;
        }
        if (!CB || !OwnerDraw(CB->Style())) {
            QComboBox::paintEvent(e);
            return;
        }
        // The frame and button as usual; the chosen item drawn by the control.
        QStylePainter sp(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        opt.currentIcon = QIcon();
        sp.drawComplexControl(QStyle::CC_ComboBox, opt);
        QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        UINT st = ODS_COMBOBOXEDIT;
        if (hasFocus()) st |= ODS_SELECTED | ODS_FOCUS;
        if (!isEnabled()) st |= ODS_DISABLED;
        sp.setClipRect(edit);
        DrawThrough(CB, &sp, edit, CB->ItemIndex(), st);
    }
};

} // namespace

struct TCustomComboBox::TImpl {
    QzCombo* W = nullptr;
    std::string Text;   // the edit's text (the chosen item's for a list-only box)
};

// ---- the strings ---------------------------------------------------------------------------

std::string TComboBoxStrings::Get(int index) const
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    return FCombo->FList[size_t(index)].first;
}
int TComboBoxStrings::GetCount() const { return int(FCombo->FList.size()); }
TObject* TComboBoxStrings::GetObject(int index) const
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    return FCombo->FList[size_t(index)].second;
}
void TComboBoxStrings::PutObject(int index, TObject* obj)
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    FCombo->Perform(CB_SETITEMDATA, WPARAM(index), LPARAM(obj));
}
int TComboBoxStrings::Add(const std::string& s)
{
    return int(FCombo->Perform(CB_ADDSTRING, 0, LPARAM(&s)));
}
void TComboBoxStrings::Insert(int index, const std::string& s)
{
    if (index < 0 || index > GetCount()) IndexError(index);
    FCombo->Perform(CB_INSERTSTRING, WPARAM(index), LPARAM(&s));
}
void TComboBoxStrings::Delete(int index)
{
    if (index < 0 || index >= GetCount()) IndexError(index);
    FCombo->Perform(CB_DELETESTRING, WPARAM(index));
}
void TComboBoxStrings::Clear()
{
    FCombo->Perform(CB_RESETCONTENT);
}

// ---- the combo box ---------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FItems(std::make_unique<TComboBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
    SetBounds(0, 0, 145, 21);
    NativeDefaults(this, true);
}

TCustomComboBox::~TCustomComboBox()
{
    if (FImpl->W) {
        FImpl->W->CB = nullptr;
        FImpl->W->Delegate->CB = nullptr;
    }
}

void TCustomComboBox::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style |= WS_TABSTOP;
}

QWidget* TCustomComboBox::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    auto* w = new QzCombo(this, parent);
    FImpl->W = w;
    const bool editable = FStyle == csDropDown || FStyle == csSimple;
    w->setEditable(editable);
    if (FStyle == csSimple) w->MakeSimple();
    return w;
}

void TCustomComboBox::CreateWindowDone()
{
    QzCombo* w = FImpl->W;
    ApplyFont(this, w);
    PushItems();
    w->setMaxVisibleItems(std::max(1, FDropDownCount));
    if (QLineEdit* e = w->lineEdit()) {
        ++w->Programmatic;
        e->setText(QS(FImpl->Text));
        --w->Programmatic;
        e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
        if (!FAutoComplete) w->setCompleter(nullptr);
        QObject::connect(e, &QLineEdit::textEdited, w, [this, w](const QString& t) {
            if (FImpl->W != w || w->Programmatic) return;
            FImpl->Text = US(t);
            NotifyCommand(this, CBN_EDITCHANGE);
        });
    }
    QObject::connect(w, &QComboBox::currentIndexChanged, w, [this, w](int i) {
        if (FImpl->W != w || w->Programmatic) return;
        FItemIndex = i;
        if (i >= 0) FImpl->Text = FList[size_t(i)].first;
        NotifyCommand(this, CBN_SELCHANGE);
    });
}

void TCustomComboBox::PushItems()
{
    QzCombo* w = FImpl->W;
    if (!w) return;
    ++w->Programmatic;
    w->clear();
    for (auto& it : FList) w->addItem(QS(it.first));
    w->setCurrentIndex(FItemIndex);
    if (w->lineEdit()) w->lineEdit()->setText(QS(FImpl->Text));
    --w->Programmatic;
}

void TCustomComboBox::DestroyWnd()
{
    if (FImpl->W) {
        if (FImpl->W->lineEdit()) FImpl->Text = US(FImpl->W->lineEdit()->text());
        FImpl->W->CB = nullptr;
        FImpl->W->Delegate->CB = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v)
{
    if (FStyle == v) return;
    FStyle = v;
    RecreateWnd();
}

void TCustomComboBox::SetItemIndex(int v)
{
    Perform(CB_SETCURSEL, WPARAM(v));
}

void TCustomComboBox::SetSorted(bool v)
{
    if (FSorted == v) return;
    FSorted = v;
    if (!v) return;
    std::string chosen = FItemIndex >= 0 ? FList[size_t(FItemIndex)].first : std::string();
    std::stable_sort(FList.begin(), FList.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
    if (FItemIndex >= 0) FItemIndex = FItems->IndexOf(chosen);
    PushItems();
}

void TCustomComboBox::SetDropDownCount(int v)
{
    FDropDownCount = std::max(1, v);
    if (FImpl->W) FImpl->W->setMaxVisibleItems(FDropDownCount);
}

bool TCustomComboBox::DroppedDown() const { return FImpl->W && FImpl->W->Open; }
void TCustomComboBox::SetDroppedDown(bool v) { Perform(CB_SHOWDROPDOWN, WPARAM(v)); }

void TCustomComboBox::SetItemHeight(int v)
{
    if (v <= 0) return;
    Perform(CB_SETITEMHEIGHT, 0, v);
}

void TCustomComboBox::SetMaxLength(int v)
{
    FMaxLength = std::max(0, v);
    if (FImpl->W && FImpl->W->lineEdit()) FImpl->W->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

void TCustomComboBox::SetAutoComplete(bool v)
{
    FAutoComplete = v;
    RecreateWnd();
}

namespace {
QLineEdit* EditOf(const TCustomComboBox*, TCustomComboBox::TImpl* impl)
{
    return impl->W ? impl->W->lineEdit() : nullptr;
}
}

int TCustomComboBox::SelStart() const
{
    QLineEdit* e = EditOf(this, FImpl.get());
    if (!e) return 0;
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void TCustomComboBox::SetSelStart(int v)
{
    if (QLineEdit* e = EditOf(this, FImpl.get())) e->setCursorPosition(v);
}
int TCustomComboBox::SelLength() const
{
    QLineEdit* e = EditOf(this, FImpl.get());
    return e ? int(e->selectedText().size()) : 0;
}
void TCustomComboBox::SetSelLength(int v)
{
    if (QLineEdit* e = EditOf(this, FImpl.get())) e->setSelection(SelStart(), v);
}
std::string TCustomComboBox::SelText() const
{
    QLineEdit* e = EditOf(this, FImpl.get());
    return e ? US(e->selectedText()) : std::string();
}
void TCustomComboBox::SelectAll()
{
    if (QLineEdit* e = EditOf(this, FImpl.get())) e->selectAll();
}
void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetText("");
}

std::string TCustomComboBox::GetText() const
{
    if (QLineEdit* e = EditOf(this, FImpl.get())) return US(e->text());
    return FImpl->Text;
}

void TCustomComboBox::SetText(const std::string& v)
{
    if (FStyle == csDropDown || FStyle == csSimple) {
        // The edit takes the text; an item spelled so becomes the chosen one.
        FImpl->Text = v;
        int i = -1;
        for (size_t k = 0; k < FList.size(); ++k)
            if (FList[k].first == v) i = int(k);
        FItemIndex = i;
        if (QzCombo* w = FImpl->W) {
            ++w->Programmatic;
            w->setCurrentIndex(i);
            w->lineEdit()->setText(QS(v));
            --w->Programmatic;
        }
    } else {
        // A list-only box chooses the item spelled so (none when there is none).
        SetItemIndex(FItems->IndexOf(v));
    }
    Perform(CM_TEXTCHANGED);
}

void TCustomComboBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas->FillRect(rect);
    if (index >= 0 && index < int(FList.size())) FCanvas->TextOut(rect.Left + 2, rect.Top, FList[size_t(index)].first);
}

void TCustomComboBox::Change() { Fire(OnChange, this); }
void TCustomComboBox::Select()
{
    if (OnSelect) Fire(OnSelect, this);
    else Change();
}
void TCustomComboBox::DropDown() { Fire(OnDropDown, this); }
void TCustomComboBox::CloseUp() { Fire(OnCloseUp, this); }

void TCustomComboBox::CNCommand(TMessage& m)
{
    switch (HIWORD(m.WParam)) {
    case CBN_SELCHANGE: {
        TWeakRef<TCustomComboBox> guard(this);
        Click();
        if (guard) Select();
        break;
    }
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& m)
{
    auto* ds = reinterpret_cast<TDrawItemStruct*>(m.LParam);
    if (!ds) return;
    TOwnerDrawState state;
    if (ds->ItemState & ODS_SELECTED) state.Include(odSelected);
    if (ds->ItemState & ODS_FOCUS) state.Include(odFocused);
    if (ds->ItemState & ODS_DISABLED) state.Include(odDisabled);
    if (ds->ItemState & ODS_COMBOBOXEDIT) state.Include(odComboBoxEdit);
    FCanvas->SetHandle(ds->DC);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->Assign(Brush());
    if (state.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    try {
        if (ds->ItemID >= 0) DrawItem(ds->ItemID, ds->RcItem, state);
        else FCanvas->FillRect(ds->RcItem);
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    m.Result = 1;
}

void TCustomComboBox::CNMeasureItem(TMessage& m)
{
    auto* mi = reinterpret_cast<TMeasureItemStruct*>(m.LParam);
    if (!mi) return;
    int h = FItemHeight;
    MeasureItem(mi->ItemID, h);
    mi->ItemHeight = h;
    m.Result = 1;
}

void TCustomComboBox::WMMouse(TMessage& m) { MouseToNative<TCustomComboBox, TWinControl>(this, m); }

void TCustomComboBox::CMFontChanged2(TMessage& m)
{
    inherited::Dispatch(m);
    ApplyFont(this, FImpl->W);
}
void TCustomComboBox::CMColorChanged3(TMessage& m)
{
    inherited::Dispatch(m);
    if (FImpl->W) {
        QPalette pal = FImpl->W->palette();
        pal.setColor(QPalette::Base, QCol(Color()));
        FImpl->W->setPalette(pal);
    }
}

void TCustomComboBox::DefaultHandler(TMessage& m)
{
    QzCombo* w = FImpl->W;
    const int count = int(FList.size());
    auto valid = [&](int i) { return i >= 0 && i < count; };
    auto text = [&]() { return m.LParam ? *reinterpret_cast<const std::string*>(m.LParam) : std::string(); };
    switch (m.Msg) {
    case CB_GETCOUNT: m.Result = count; return;
    case CB_GETCURSEL: m.Result = FItemIndex; return;
    case CB_GETLBTEXT: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = CB_ERR; return; }
        if (m.LParam) *reinterpret_cast<std::string*>(m.LParam) = FList[size_t(i)].first;
        m.Result = LRESULT(FList[size_t(i)].first.size());
        return;
    }
    case CB_GETITEMDATA:
        m.Result = valid(int(m.WParam)) ? LRESULT(FList[m.WParam].second) : CB_ERR;
        return;
    case CB_SETITEMDATA:
        if (!valid(int(m.WParam))) { m.Result = CB_ERR; return; }
        FList[m.WParam].second = reinterpret_cast<TObject*>(m.LParam);
        m.Result = 0;
        return;
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
        std::string s = text();
        int at = count;
        if (m.Msg == CB_INSERTSTRING && int(m.WParam) >= 0) at = std::min(int(m.WParam), count);
        if (m.Msg == CB_ADDSTRING && FSorted) {
            at = 0;
            for (int i = count - 1; i >= 0; --i)
                if (AnsiCompareText(FList[size_t(i)].first, s) <= 0) { at = i + 1; break; }
        }
        FList.insert(FList.begin() + at, {s, nullptr});
        if (FItemIndex >= at) ++FItemIndex;
        if (w) {
            ++w->Programmatic;
            w->insertItem(at, QS(s));
            if (w->currentIndex() != FItemIndex) w->setCurrentIndex(FItemIndex);
            if (w->lineEdit()) w->lineEdit()->setText(QS(FImpl->Text));
            --w->Programmatic;
        }
        m.Result = at;
        return;
    }
    case CB_DELETESTRING: {
        int i = int(m.WParam);
        if (!valid(i)) { m.Result = CB_ERR; return; }
        FList.erase(FList.begin() + i);
        if (FItemIndex == i) FItemIndex = -1;
        else if (FItemIndex > i) --FItemIndex;
        if (w) {
            ++w->Programmatic;
            w->removeItem(i);
            w->setCurrentIndex(FItemIndex);
            if (w->lineEdit()) w->lineEdit()->setText(QS(FImpl->Text));
            --w->Programmatic;
        }
        if (FStyle != csDropDown && FStyle != csSimple && FItemIndex < 0) FImpl->Text.clear();
        m.Result = int(FList.size());
        return;
    }
    case CB_RESETCONTENT:
        FList.clear();
        FItemIndex = -1;
        if (FStyle != csDropDown && FStyle != csSimple) FImpl->Text.clear();
        PushItems();
        m.Result = 0;
        return;
    case CB_SETCURSEL: {
        int i = valid(int(m.WParam)) ? int(m.WParam) : -1;
        FItemIndex = i;
        if (i >= 0) FImpl->Text = FList[size_t(i)].first;
        else if (FStyle != csDropDown && FStyle != csSimple) FImpl->Text.clear();
        if (w) {
            ++w->Programmatic;
            w->setCurrentIndex(i);
            if (w->lineEdit()) w->lineEdit()->setText(QS(i >= 0 ? FImpl->Text : std::string()));
            --w->Programmatic;
        }
        if (i < 0 && (FStyle == csDropDown || FStyle == csSimple)) FImpl->Text.clear();
        m.Result = i >= 0 ? i : CB_ERR;
        return;
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
        std::string s = text();
        int start = int(m.WParam);
        for (int k = 1; k <= count; ++k) {
            int i = (start + k) % std::max(1, count);
            const std::string& t = FList[size_t(i)].first;
            bool hit = m.Msg == CB_FINDSTRINGEXACT ? AnsiCompareText(t, s) == 0
                                                     : AnsiCompareText(t.substr(0, s.size()), s) == 0;
            if (hit) { m.Result = i; return; }
        }
        m.Result = CB_ERR;
        return;
    }
    case CB_SETITEMHEIGHT:
        FItemHeight = std::clamp(int(m.LParam), 1, 255);
        if (w) w->view()->doItemsLayout();
        Invalidate();
        m.Result = 0;
        return;
    case CB_GETITEMHEIGHT: {
        int h = FItemHeight;
        if (FStyle == csOwnerDrawVariable && valid(int(m.WParam))) MeasureItem(int(m.WParam), h);
        m.Result = h;
        return;
    }
    case CB_SHOWDROPDOWN:
        if (w) {
            if (m.WParam && !w->Open) w->showPopup();
            else if (!m.WParam && w->Open) w->hidePopup();
        }
        m.Result = 1;
        return;
    case CB_GETDROPPEDSTATE: m.Result = DroppedDown() ? 1 : 0; return;
    case CB_LIMITTEXT: SetMaxLength(int(m.WParam)); m.Result = 1; return;
    default: TWinControl::DefaultHandler(m);
    }
}
