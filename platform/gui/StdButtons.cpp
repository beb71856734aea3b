// Labels, push buttons, check boxes, radio buttons and group boxes.
#include "ActnList.h"
#include "QzStdPrivate.h"
#include "QzPropsPrivate.h"
#include "StdCtrls.h"
#include "Themes.h"

#include <QCheckBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>

using namespace qzgui;

QZ_CLASS_IMPL_PROPS(TCustomLabel, TGraphicControl, qzgui::DefineCustomLabelProps)
QZ_CLASS_IMPL(TLabel, TCustomLabel)
QZ_CLASS_IMPL_PROPS(TButtonControl, TWinControl, qzgui::DefineButtonControlProps)
QZ_CLASS_IMPL_PROPS(TCustomButton, TButtonControl, qzgui::DefineCustomButtonProps)
QZ_CLASS_IMPL(TButton, TCustomButton)
QZ_CLASS_IMPL_PROPS(TCustomCheckBox, TButtonControl, qzgui::DefineCustomCheckBoxProps)
QZ_CLASS_IMPL(TCheckBox, TCustomCheckBox)
QZ_CLASS_IMPL_PROPS(TRadioButton, TButtonControl, qzgui::DefineRadioButtonProps)
QZ_CLASS_IMPL_PROPS(TCustomGroupBox, TCustomControl, qzgui::DefineCustomGroupBoxProps)
QZ_CLASS_IMPL(TGroupBox, TCustomGroupBox)

// ---- label ---------------------------------------------------------------------------------

namespace {
// A canvas to measure text on without a window.
TCanvas* MeasureCanvas()
{
    static TBitmap* b = new TBitmap(1, 1);
    return b->Canvas();
}
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csOpaque);
    cs.Include(csReplicatable);
    SetControlStyle(cs);
    SetBounds(0, 0, 65, 17);
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment v)
{
    if (FAlignment == v) return;
    FAlignment = v;
    Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout v)
{
    if (FLayout == v) return;
    FLayout = v;
    Invalidate();
}
void TCustomLabel::SetWordWrap(bool v)
{
    if (FWordWrap == v) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}
void TCustomLabel::SetTransparent(bool v)
{
    if (FTransparent == v) return;
    FTransparent = v;
    TControlStyle cs = ControlStyle();
    if (v) cs.Exclude(csOpaque);
    else cs.Include(csOpaque);
    SetControlStyle(cs);
    Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool v)
{
    if (FShowAccelChar == v) return;
    FShowAccelChar = v;
    AdjustBounds();
    Invalidate();
}
void TCustomLabel::SetAutoSize(bool v)
{
    TGraphicControl::SetAutoSize(v);
    AdjustBounds();
}

void TCustomLabel::SetLinkStyle(bool v)
{
    FLink = v;
    TFontStyles st = Font()->Style();
    if (v) st.Include(fsUnderline);
    else st.Exclude(fsUnderline);
    Font()->SetStyle(st);
    Font()->SetColor(v ? clHotLight : clWindowText);
    SetCursor(v ? crHandPoint : crDefault);
}

UINT TCustomLabel::DrawTextFlags() const
{
    UINT f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    else f |= DT_SINGLELINE;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    if (FAlignment == taRightJustify) f |= DT_RIGHT;
    else if (FAlignment == taCenter) f |= DT_CENTER;
    return f;
}

void TCustomLabel::AdjustBounds()
{
    if (!AutoSize() || ComponentState().Contains(csLoading)) return;
    TCanvas* c = MeasureCanvas();
    c->Font()->Assign(Font());
    TRect r = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    std::string text = Caption();
    if (text.empty() || (FShowAccelChar && text == "&")) text = " ";   // an empty label keeps a line's height
    c->DrawText(text, r, DrawTextFlags() | DT_CALCRECT);
    int left = Left();
    if (FAlignment == taRightJustify) left += Width() - r.Width();
    else if (FAlignment == taCenter) left += (Width() - r.Width()) / 2;
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TCustomLabel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    std::string text = Caption();
    UINT flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = Rect(0, 0, r.Width(), 0);
        c->DrawText(text.empty() ? " " : text, calc, flags | DT_CALCRECT);
        int dy = FLayout == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += dy;
    }
    if (!Enabled()) {
        TRect o = r;
        OffsetRect(o, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(text, o, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(text, r, flags);
}

void TCustomLabel::CMTextChanged2(TMessage&)
{
    Invalidate();
    AdjustBounds();
}
void TCustomLabel::CMFontChanged2(TMessage& m)
{
    inherited::Dispatch(m);
    AdjustBounds();
}
void TCustomLabel::CMDialogChar(TMessage& m)
{
    TWinControl* fc = FFocusControl.Get();
    if (fc && Enabled() && FShowAccelChar && IsAccelChar(WORD(m.WParam), Caption()) && fc->CanFocus()) {
        fc->SetFocus();
        m.Result = 1;
    }
}

// ---- the native button ------------------------------------------------------------------

namespace {

template <class Base>
class QzButton : public Base {
public:
    QzButton(TButtonControl* c, QWidget* parent) : Base(parent), Ctrl(c)
    {
        this->setFocusPolicy(Qt::StrongFocus);
        this->setMouseTracking(true);
    }
    TButtonControl* Ctrl;

protected:
    // The control decides the check state; the widget only shows it.
    void nextCheckState() override {}
    void paintEvent(QPaintEvent* e) override
    {
        if (Ctrl && Ctrl->OwnerDrawn()) {
            QPainter p(this);
            HDC dc = WidgetPaintDC(this, p, e->region());
            Guarded(Ctrl, [&] { Ctrl->PaintOwnerDrawn(dc, this->isDown(), this->hasFocus()); });
            DeleteDC(dc);
            return;
        }
        Base::paintEvent(e);
    }
};

} // namespace

struct TButtonControl::TImpl {
    QAbstractButton* W = nullptr;
    int Kind = 0;   // 0 push, 1 check, 2 radio
};

TButtonControl::TButtonControl(TComponent* owner)
    : TWinControl(owner), FImpl(std::make_unique<TImpl>()), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
    // The click comes from the native button's notification, not from the mouse going up.
    NativeDefaults(this, false);
}

TButtonControl::~TButtonControl()
{
    if (auto* w = dynamic_cast<QzButton<QPushButton>*>(FImpl->W)) w->Ctrl = nullptr;
    if (auto* w = dynamic_cast<QzButton<QCheckBox>*>(FImpl->W)) w->Ctrl = nullptr;
    if (auto* w = dynamic_cast<QzButton<QRadioButton>*>(FImpl->W)) w->Ctrl = nullptr;
}

void TButtonControl::SetWordWrap(bool v)
{
    if (FWordWrap == v) return;
    FWordWrap = v;
    RecreateWnd();
}

void TButtonControl::SetAlignment(TAlignment v)
{
    if (FAlignment == v) return;
    FAlignment = v;
    RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    if (FWordWrap) p.Style |= BS_MULTILINE;
    if (FImpl->Kind != 0 && FAlignment == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

QWidget* TButtonControl::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    switch (FImpl->Kind) {
    case 1: return new QzButton<QCheckBox>(this, parent);
    case 2: return new QzButton<QRadioButton>(this, parent);
    default: return new QzButton<QPushButton>(this, parent);
    }
}

void TButtonControl::WMMouse(TMessage& m) { MouseToNative<TButtonControl, TWinControl>(this, m); }

bool TButtonControl::OwnerDrawn() const
{
    return FWindow && (FWindow->Params.Style & BS_TYPEMASK) == BS_OWNERDRAW;
}

void TButtonControl::CreateWindowDone()
{
    QAbstractButton* w = nullptr;
    QWidget* made = Window()->W;
    w = qobject_cast<QAbstractButton*>(made);
    FImpl->W = w;
    if (!w) return;
    QObject::connect(w, &QAbstractButton::clicked, w, [this, w] {
        if (FImpl->W == w) NotifyCommand(this, BN_CLICKED);
    });
    ApplyFont(this, w);
    UpdateNative();
}

void TButtonControl::DestroyWnd()
{
    FImpl->W = nullptr;
    TWinControl::DestroyWnd();
}

void TButtonControl::UpdateNative()
{
    if (!FImpl->W) return;
    std::string caption = Caption();
    FImpl->W->setText(QS(caption));
    if (FImpl->Kind != 0)
        FImpl->W->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TButtonControl::NativeClicked() { Click(); }

void TButtonControl::ActionChange(TObject* sender, bool checkDefaults)
{
    TWinControl::ActionChange(sender, checkDefaults);
    if (auto* a = DynamicCast<TCustomAction>(sender); a && FImpl->Kind != 0)
        if (!checkDefaults || !Checked()) {
            // Following the action is no click of the user's.
            bool keep = FClicksDisabled;
            FClicksDisabled = true;
            SetChecked(a->Checked());
            FClicksDisabled = keep;
        }
}

void TButtonControl::PaintOwnerDrawn(HDC dc, bool down, bool focused)
{
    TDrawItemStruct ds;
    ds.CtlType = ODT_BUTTON;
    ds.ItemID = 0;
    if (down) ds.ItemState |= ODS_SELECTED;
    if (focused) ds.ItemState |= ODS_FOCUS;
    if (!Enabled()) ds.ItemState |= ODS_DISABLED;
    ds.DC = dc;
    ds.RcItem = ClientRect();
    Perform(CN_DRAWITEM, 0, LPARAM(&ds));
}

void TButtonControl::CNCommand(TMessage& m)
{
    switch (HIWORD(m.WParam)) {
    case BN_CLICKED: NativeClicked(); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
    }
}

void TButtonControl::CMTextChanged2(TMessage&)
{
    UpdateNative();
    Invalidate();
}
void TButtonControl::CMFontChanged2(TMessage& m)
{
    inherited::Dispatch(m);
    ApplyFont(this, FImpl->W);
}
void TButtonControl::CMColorChanged3(TMessage& m)
{
    inherited::Dispatch(m);
    if (FImpl->W && FImpl->Kind != 0) ApplyColor(this, FImpl->W);
}

void TButtonControl::WMLButtonDblClk(TMessage& m)
{
    // The native button takes the second press as a press; radio and
    // owner-drawn buttons also tell of the double click.
    TWeakRef<TButtonControl> guard(this);
    TWinControl::Dispatch(m);
    if (guard) DefaultHandler(m);
    if (guard && (FImpl->Kind == 2 || OwnerDrawn())) NotifyCommand(this, BN_DOUBLECLICKED);
}

void TButtonControl::CMDialogChar(TMessage& m)
{
    if (IsAccelChar(WORD(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) NativeClicked();
        m.Result = 1;
        return;
    }
    inherited::Dispatch(m);
}

void TButtonControl::DefaultHandler(TMessage& m)
{
    switch (m.Msg) {
    case CN_DRAWITEM: {
        // No owner drawing taken: the classic push button with the caption.
        auto* ds = reinterpret_cast<TDrawItemStruct*>(m.LParam);
        if (!ds || !ds->DC) return;
        UINT st = DFCS_BUTTONPUSH;
        if (ds->ItemState & ODS_SELECTED) st |= DFCS_PUSHED;
        if (ds->ItemState & ODS_DISABLED) st |= DFCS_INACTIVE;
        DrawThemedFrameControl(ds->DC, ds->RcItem, DFC_BUTTON, st);
        FCanvas->SetHandle(ds->DC);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetStyle(bsClear);
        TRect r = ds->RcItem;
        if (ds->ItemState & ODS_SELECTED) OffsetRect(r, 1, 1);
        if (ds->ItemState & ODS_DISABLED) FCanvas->Font()->SetColor(clGrayText);
        FCanvas->DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (ds->ItemState & ODS_FOCUS) {
            TRect f = ds->RcItem;
            InflateRect(f, -4, -4);
            FCanvas->DrawFocusRect(f);
        }
        FCanvas->SetHandle(nullptr);
        m.Result = 1;
        return;
    }
    case BM_CLICK:
        NativeClicked();
        m.Result = 0;
        return;
    case BM_GETSTATE: {
        LRESULT r = Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (FImpl->W && FImpl->W->isDown()) r |= BST_PUSHED;
        if (Focused()) r |= BST_FOCUS;
        m.Result = r;
        return;
    }
    case BM_SETSTATE:
        if (FImpl->W) FImpl->W->setDown(m.WParam != 0);
        m.Result = 0;
        return;
    default: TWinControl::DefaultHandler(m);
    }
}

// ---- push button ---------------------------------------------------------------------------

TCustomButton::TCustomButton(TComponent* owner) : TButtonControl(owner)
{
    SetBounds(0, 0, 75, 25);
}

void TCustomButton::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TCustomButton::SetDefault(bool v)
{
    if (FDefault == v) return;
    FDefault = v;
    UpdateNative();
}

void TCustomButton::UpdateNative()
{
    TButtonControl::UpdateNative();
    if (auto* b = qobject_cast<QPushButton*>(FImpl->W)) b->setDefault(FDefault);
}

void TCustomButton::Click()
{
    if (FModalResult != mrNone)
        if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TCustomButton::CMDialogKey(TMessage& m)
{
    const WPARAM key = m.WParam;
    bool active = FDefault;
    // A button with the focus is the default while it has it.
    if (TCustomForm* f = GetParentForm(this))
        if (auto* focused = DynamicCast<TCustomButton>(f->ActiveControl())) active = focused == this;
    if (((key == VK_RETURN && active) || (key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    inherited::Dispatch(m);
}

// ---- check box -------------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner)
{
    FImpl->Kind = 1;
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.Style |= BS_3STATE;
}

void TCustomCheckBox::SetAllowGrayed(bool v)
{
    FAllowGrayed = v;
    UpdateNative();
}

void TCustomCheckBox::SetState(TCheckBoxState v)
{
    if (FState == v) return;
    FState = v;
    UpdateNative();
    if (!FClicksDisabled) Click();
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::BMSetCheck(TMessage& m)
{
    FState = m.WParam == BST_CHECKED ? cbChecked : m.WParam == BST_INDETERMINATE ? cbGrayed : cbUnchecked;
    UpdateNative();
    m.Result = 0;
}

void TCustomCheckBox::UpdateNative()
{
    TButtonControl::UpdateNative();
    if (auto* b = qobject_cast<QCheckBox*>(FImpl->W)) {
        b->setTristate(FAllowGrayed || FState == cbGrayed);
        b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        ApplyColor(this, b);
    }
}

// ---- radio button ---------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner)
{
    FImpl->Kind = 2;
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& p)
{
    TButtonControl::CreateParams(p);
    p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::SetChecked(bool v)
{
    if (FChecked == v) return;
    FChecked = v;
    SetTabStop(v);
    UpdateNative();
    if (!v) return;
    // The others beside it go off.
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* r = DynamicCast<TRadioButton>(p->Controls(i)); r && r != this) r->SetChecked(false);
    }
    if (!FClicksDisabled) Click();
}

void TRadioButton::NativeClicked()
{
    if (!FChecked) SetChecked(true);
}

void TRadioButton::BMSetCheck(TMessage& m)
{
    FChecked = m.WParam == BST_CHECKED;
    UpdateNative();
    m.Result = 0;
}

void TRadioButton::UpdateNative()
{
    TButtonControl::UpdateNative();
    if (auto* b = qobject_cast<QRadioButton*>(FImpl->W)) {
        b->setAutoExclusive(false);
        b->setChecked(FChecked);
        ApplyColor(this, b);
    }
}

// ---- group box -------------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner)
{
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    cs.Include(csSetCaption);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& r)
{
    TCanvas* c = MeasureCanvas();
    c->Font()->Assign(Font());
    r.Top += c->TextHeight("0");
    InflateRect(r, -2, -2);
}

void TCustomGroupBox::Paint()
{
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    const int h = c->TextHeight("0");
    TRect frame = Rect(0, h / 2 - 1, Width(), Height());
    if (!ThemeServices()->Available() ||
        !ThemeServices()->DrawBackground(c->Handle(), "BUTTON", BP_GROUPBOX, Enabled() ? 1 : 2, frame)) {
        DrawEdge(c->Handle(), frame, EDGE_ETCHED, BF_RECT);
    }
    std::string text = Caption();
    if (text.empty()) return;
    TRect tr = Rect(0, 0, 0, 0);
    c->DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
    OffsetRect(tr, 8, 0);
    tr.Right += 2;
    c->FillRect(tr);
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    OffsetRect(tr, 1, 0);
    c->DrawText(text, tr, DT_SINGLELINE | DT_LEFT);
}

void TCustomGroupBox::CMTextChanged2(TMessage&)
{
    Invalidate();
    Realign();
}

void TCustomGroupBox::CMDialogChar(TMessage& m)
{
    if (IsAccelChar(WORD(m.WParam), Caption()) && CanFocus()) {
        SelectFirst();
        m.Result = 1;
        return;
    }
    inherited::Dispatch(m);
}
