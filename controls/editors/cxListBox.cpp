#include "cxListBox.h"

#include "Forms.h"
#include "SysUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxInnerListBox, TcxCustomInnerListBox)
QZ_CLASS_IMPL(TcxListBox, TcxContainer)

// ---- the inner list -----------------------------------------------------------------------------------------

TcxInnerListBox::TcxInnerListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {}

TcxListBox* TcxInnerListBox::ListBox() const { return dynamic_cast<TcxListBox*>(Container); }

bool TcxInnerListBox::CanFocus() const
{
    TcxListBox* l = ListBox();
    return l ? l->CanFocus() : TcxCustomInnerListBox::CanFocus();
}

void TcxInnerListBox::Click()
{
    TcxListBox* l = ListBox();
    if (l && !l->DataBinding()->AllowsEditing()) return;
    TcxCustomInnerListBox::Click();
}

void TcxInnerListBox::DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState)
{
    TcxListBox* l = ListBox();
    if (l && l->DoDrawItem(CxCanvas(), AIndex, AState, ARect)) return;
    TcxCustomInnerListBox::DrawItem(AIndex, ARect, AState);
}

void TcxInnerListBox::WndProc(TMessage& Message)
{
    // A binding that refuses editing keeps the selection: the press only
    // focuses the list and reports the mouse.
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && ListBox() &&
        !ListBox()->DataBinding()->AllowsEditing()) {
        if (CanFocus()) SetFocus();
        const int x = int16_t(LOWORD(Message.LParam)), y = int16_t(HIWORD(Message.LParam));
        MouseDown(mbLeft, GetShiftState(), x, y);
        return;
    }
    TcxCustomInnerListBox::WndProc(Message);
}

// ---- the list box ------------------------------------------------------------------------------------------

void TcxListBox::RecreateDataBinding()
{
    FDataBinding = CreateDataBinding();
    FDataBinding->OnShowValue = [this] { DataChange(); };
    FDataBinding->OnSourceChange = [] {};
    FDataBinding->OnStoreValue = [this] { UpdateData(); };
}

TcxListBox::TcxListBox(TComponent* AOwner) : TcxContainer(AOwner)
{
    RecreateDataBinding();
    TObject* o = GetInnerListBoxClass()->Create(this);
    FInnerListBox = dynamic_cast<TcxInnerListBox*>(o);
    if (!FInnerListBox) {
        delete o;
        FInnerListBox = new TcxInnerListBox(this);
    }
    FInnerListBox->SetBorderStyle(bsNone);
    FInnerListBox->SetParent(this);
    FInnerListBox->Container = this;
    FInnerListBox->SetTabStop(false);
    SetInnerControl(FInnerListBox);
    FInnerListBox->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
    SetBounds(Left(), Top(), 121, 97);
}

TcxListBox::~TcxListBox()
{
    if (FInnerListBox) FInnerListBox->Container = nullptr;
    FDataBinding.reset();
}

int TcxListBox::Count() const { return FInnerListBox->Count(); }
void TcxListBox::Clear() { FInnerListBox->Clear(); }

int TcxListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    TPoint p{Pos.X - FInnerListBox->Left(), Pos.Y - FInnerListBox->Top()};
    return FInnerListBox->ItemAtPos(p, Existing);
}

bool TcxListBox::ExtendedSelect() const { return FInnerListBox->ExtendedSelect(); }
void TcxListBox::SetExtendedSelect(bool Value) { FInnerListBox->SetExtendedSelect(Value); }
int TcxListBox::ItemHeight() const { return FInnerListBox->ItemHeight(); }
void TcxListBox::SetItemHeight(int Value) { FInnerListBox->SetItemHeight(Value); }
int TcxListBox::ItemIndex() const { return FInnerListBox->ItemIndex(); }
void TcxListBox::SetItemIndex(int Value) { FInnerListBox->SetItemIndex(Value); }
TStrings* TcxListBox::Items() const { return FInnerListBox->Items(); }
TListBoxStyle TcxListBox::ListStyle() const { return FInnerListBox->Style(); }
void TcxListBox::SetListStyle(TListBoxStyle Value) { FInnerListBox->SetStyle(Value); }
bool TcxListBox::MultiSelect() const { return FInnerListBox->MultiSelect(); }
void TcxListBox::SetMultiSelect(bool Value) { FInnerListBox->SetMultiSelect(Value); }
int TcxListBox::ScrollWidth() const { return FInnerListBox->ScrollWidth(); }
void TcxListBox::SetScrollWidth(int Value) { FInnerListBox->SetScrollWidth(Value); }
bool TcxListBox::Sorted() const { return FInnerListBox->Sorted(); }
void TcxListBox::SetSorted(bool Value) { FInnerListBox->SetSorted(Value); }
bool TcxListBox::AutoComplete() const { return FInnerListBox->AutoComplete(); }
void TcxListBox::SetAutoComplete(bool Value) { FInnerListBox->SetAutoComplete(Value); }
int TcxListBox::Columns() const { return FInnerListBox->Columns(); }
void TcxListBox::SetColumns(int Value)
{
    FInnerListBox->SetColumns(Value);
    FInnerListBox->SetScrollBarsParameters();
}
int TcxListBox::TabWidth() const { return FInnerListBox->TabWidth(); }
void TcxListBox::SetTabWidth(int Value) { FInnerListBox->SetTabWidth(Value); }

void TcxListBox::SetItems(TStrings* Value)
{
    FInnerListBox->Items()->Assign(Value);
    DataChange();
}

void TcxListBox::SetOnMeasureItem(TcxListBoxMeasureItemEvent Value)
{
    FOnMeasureItem = std::move(Value);
    if (FOnMeasureItem)
        FInnerListBox->OnMeasureItem = [this](TWinControl*, int i, int& h) {
            if (FOnMeasureItem) FOnMeasureItem(this, i, h);
        };
    else
        FInnerListBox->OnMeasureItem = nullptr;
}

bool TcxListBox::DoDrawItem(TcxCanvas* ACanvas, int AIndex, TOwnerDrawState AState, const TRect& ARect)
{
    if (!OnDrawItem) return false;
    OnDrawItem(this, ACanvas, AIndex, ARect, AState);
    return true;
}

void TcxListBox::DataChange()
{
    if (!FDataBinding->HasBoundValue()) {
        SetItemIndex(-1);
        return;
    }
    Variant v;
    FDataBinding->GetDefaultValue(false, true, v);
    SetItemIndex(Items()->IndexOf(VarToStr(v)));
}

void TcxListBox::UpdateData()
{
    const int i = ItemIndex();
    FDataBinding->WriteBoundValue(false, Variant(i >= 0 ? Items()->Strings(i) : std::string()));
}

void TcxListBox::DoExit()
{
    if (IsContainerDestroying() || FIsExitProcessing) return;
    FIsExitProcessing = true;
    try {
        FDataBinding->CommitValue();
    } catch (...) {
        FIsExitProcessing = false;
        SetFocus();
        throw;
    }
    FIsExitProcessing = false;
    TcxContainer::DoExit();
}

void TcxListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxContainer::KeyDown(Key, Shift);
    if (Key >= VK_PRIOR && Key <= VK_DOWN && !FDataBinding->AllowsEditing()) Key = 0;
}

void TcxListBox::KeyPress(char& Key)
{
    TcxContainer::KeyPress(Key);
    if (Key == char(VK_ESCAPE)) FDataBinding->ResetValue();
    else if (static_cast<unsigned char>(Key) >= 32 && !FDataBinding->AllowsEditing()) Key = 0;
}

void TcxListBox::UpdateInnerControlAppearance()
{
    TcxContainer::UpdateInnerControlAppearance();
    if (!FInnerListBox) return;
    FInnerListBox->SetColor(ViewInfo()->FillColor);
    FInnerListBox->Font()->Assign(Font());
    FInnerListBox->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
}

void TcxListBox::FontChanged()
{
    TcxContainer::FontChanged();
    AdjustInnerControl();
}

void TcxListBox::SetIntegralHeight(bool Value)
{
    if (FIntegralHeight == Value) return;
    FIntegralHeight = Value;
    AdjustInnerControl();
}

bool TcxListBox::IntegralHeightApplies() const
{
    if (!FIntegralHeight || ComponentState().Contains(csLoading)) return false;
    TAlign a = Align();
    return a != alLeft && a != alRight && a != alClient;
}

int TcxListBox::GetRowHeight(int AIndex)
{
    switch (ListStyle()) {
    case lbOwnerDrawFixed: return ItemHeight();
    case lbOwnerDrawVariable: {
        int h = ItemHeight();
        if (AIndex < Count() && FInnerListBox->OnMeasureItem) FInnerListBox->OnMeasureItem(FInnerListBox, AIndex, h);
        return h;
    }
    default: {
        TCanvas* c = FInnerListBox->Canvas();
        c->Font()->Assign(Font());
        return c->TextHeight("Wg");
    }
    }
}

int TcxListBox::GetIntegralHeight(int ARequestedHeight)
{
    if (!IntegralHeightApplies()) return ARequestedHeight;
    const TRect ext = GetBorderExtent();
    const int vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
    const int scrollWidth = ScrollWidth() > 0 ? ScrollWidth() + 4 : ScrollWidth();
    const int available = Width() - ext.Left - ext.Right;
    // The height of the first ARows rows, with a horizontal bar when the
    // list is narrower than what it scrolls over.
    auto needed = [&](int ARows, int ARowsSum) {
        int w = available - (Count() > ARows ? vbar : 0);
        return ext.Top + ext.Bottom + ARowsSum + (w < scrollWidth ? hbar : 0);
    };
    int sum = 0, prevNeeded = -1, prevSum = 0;
    for (int rows = 1; rows < 100000; ++rows) {
        const int h = GetRowHeight(rows - 1);
        if (h <= 0) break;
        sum += h;
        int n = needed(rows, sum);
        if (n == ARequestedHeight) return n;
        if (n > ARequestedHeight) return rows == 1 ? n : needed(rows - 1, prevSum);
        prevNeeded = n;
        prevSum = sum;
    }
    return prevNeeded > 0 ? prevNeeded : ARequestedHeight;
}

bool TcxListBox::CanResize(int& NewWidth, int& NewHeight)
{
    bool result = TcxContainer::CanResize(NewWidth, NewHeight);
    if (result && IntegralHeightApplies()) {
        // Measured for the width being set.
        const int oldWidth = Width();
        if (NewWidth != oldWidth) SetBounds(Left(), Top(), NewWidth, Height());
        NewHeight = GetIntegralHeight(NewHeight);
    }
    return result;
}

void TcxListBox::AdjustInnerControl()
{
    if (FAdjusting) return;
    FAdjusting = true;
    try {
        TRect before = FInnerListBox ? FInnerListBox->BoundsRect() : TRect{};
        TcxContainer::AdjustInnerControl();
        if (IntegralHeightApplies()) {
            int h = GetIntegralHeight(Height());
            if (h != Height()) SetHeight(h);
        }
        if (FInnerListBox && FInnerListBox->HandleAllocated() && FInnerListBox->BoundsRect() != before) {
            // The list moved under a resting pointer: no stale move reaches it.
            TMsg m;
            while (PeekMessage(&m, FInnerListBox->Handle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
            }
        }
    } catch (...) {
        FAdjusting = false;
        throw;
    }
    FAdjusting = false;
}

void TcxListBox::WndProc(TMessage& Message)
{
    if (FInnerListBox && Message.Msg >= LB_ADDSTRING && Message.Msg <= 0x01B0) {
        Message.Result = FInnerListBox->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TcxContainer::WndProc(Message);
    if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) == LBN_SELCHANGE && FInnerListBox)
        FInnerListBox->SetScrollBarsParameters();
}
