#include "cxTextEditLookupData.h"

#include "SysUtils.h"
#include "cxRegExpr.h"

QZ_CLASS_IMPL(TcxCustomTextEditLookupData, TcxInterfacedPersistent)

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData()
{
    // The list stays with its popup window, which goes with the edit; it
    // must not call back into data that is gone.
    if (TcxCustomEditListBox* l = FList.Get()) l->OnSelectItem = nullptr;
}

std::string TcxCustomTextEditLookupData::GetItem(int AIndex)
{
    TcxCustomTextEditProperties* p = FOwner ? FOwner->LookupProperties() : nullptr;
    if (!p || AIndex < 0 || AIndex >= p->LookupItems()->Count()) return std::string();
    return p->LookupItems()->Strings(AIndex);
}

int TcxCustomTextEditLookupData::GetItemCount()
{
    TcxCustomTextEditProperties* p = FOwner ? FOwner->LookupProperties() : nullptr;
    return p ? p->LookupItems()->Count() : 0;
}

TcxTextEditingStyle TcxCustomTextEditLookupData::EditingStyle()
{
    TcxCustomTextEditProperties* p = FOwner ? FOwner->LookupProperties() : nullptr;
    return p ? p->GetEditingStyle() : tesFree;
}

bool TcxCustomTextEditLookupData::ContainsText(const std::string& AText)
{
    std::string u = AnsiUpperCase(AText);
    for (int i = 0; i < GetItemCount(); ++i)
        if (AnsiUpperCase(GetItem(i)) == u) return true;
    return false;
}

std::string TcxCustomTextEditLookupData::GetDisplayText(const Variant& AKey)
{
    if (VarIsNull(AKey) || VarIsEmpty(AKey) || !VarIsNumeric(AKey)) return std::string();
    int k = int(AKey.AsDouble());
    return k >= 0 && k < GetItemCount() ? GetItem(k) : std::string();
}

bool TcxCustomTextEditLookupData::Locate(std::string& AText, std::string& ATail, bool ANext, bool AResetOnFail)
{
    int count = GetItemCount();
    if (count == 0) return false;
    std::u32string text = cxRegExpr::ToU32(AText);
    size_t l = text.size();
    if (l > 0) {
        std::string upper = AnsiUpperCase(AText);
        for (int i = ANext ? FItemIndex + 1 : 0; i < count; ++i) {
            std::u32string item = cxRegExpr::ToU32(GetItem(i));
            if (item.size() < l) continue;
            std::string head = cxRegExpr::ToUtf8(item.substr(0, l));
            if (AnsiUpperCase(head) != upper) continue;
            AText = head;   // the item's own letter case
            ATail = cxRegExpr::ToUtf8(item.substr(l));
            SetCurrentKey(i);
            return true;
        }
    }
    bool reset;
    switch (EditingStyle()) {
    case tesList: {
        bool emptyItem = false;
        for (int i = 0; i < count && !emptyItem; ++i) emptyItem = GetItem(i).empty();
        reset = AResetOnFail || (AText.empty() && !emptyItem);
        break;
    }
    case tesFixedList: reset = AResetOnFail; break;
    default: reset = true;
    }
    if (reset) SetCurrentKey(-1);
    return false;
}

void TcxCustomTextEditLookupData::SetCurrentKey(int AKey)
{
    if (AKey < -1 || AKey >= GetItemCount()) return;
    FCurrentKey = AKey;
    SetItemIndex(AKey);
}

void TcxCustomTextEditLookupData::SetItemIndex(int AIndex)
{
    if (AIndex < -1 || AIndex >= GetItemCount()) return;
    if (AIndex == FItemIndex && AIndex != -1) return;
    if (TcxCustomEditListBox* l = FList.Get(); l && GetItemCount() > 0) {
        // To the top first, so that no highlight leaves the list scrolled there.
        if (AIndex == -1) l->SetItemIndex(0);
        l->SetItemIndex(AIndex);
    }
    FItemIndex = AIndex;
}

void TcxCustomTextEditLookupData::InitializeList(TWinControl* AParent)
{
    TcxCustomEditListBox* l = FList.Get();
    if (!l) {
        TClass c = GetListBoxClass();
        if (!c) return;
        TObject* o = c->Create(AParent);
        l = dynamic_cast<TcxCustomEditListBox*>(o);
        if (!l) {
            delete o;
            return;
        }
        FList = l;
    }
    if (TcxCustomTextEdit* e = FOwner ? FOwner->LookupEdit() : nullptr) {
        l->SetColor(e->Style()->GetEffectiveColor());
        l->Font()->Assign(e->Style()->Font());
        l->Canvas()->Font()->Assign(l->Font());
    }
    l->SetParent(AParent);
    l->OnSelectItem = [this](TObject*) { ListSelectionChanged(); };
    UpdateListItemCount();
    l->SetItemIndex(FItemIndex);
    UpdateItemHeights();
    TextChanged();
}

void TcxCustomTextEditLookupData::PositionList(const TRect& ARect)
{
    if (TcxCustomEditListBox* l = FList.Get()) l->SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
}

bool TcxCustomTextEditLookupData::IsMouseOverList(const TPoint& P)
{
    TcxCustomEditListBox* l = FList.Get();
    if (!l || !l->HandleAllocated() || !l->Visible()) return false;
    TPoint p = l->ScreenToClient(P);
    return p.X >= 0 && p.Y >= 0 && p.X < l->Width() && p.Y < l->Height();
}

void TcxCustomTextEditLookupData::ListSelectionChanged()
{
    if (TcxCustomEditListBox* l = FList.Get()) FItemIndex = l->ItemIndex();
}

void TcxCustomTextEditLookupData::UpdateListItemCount()
{
    TcxCustomEditListBox* l = FList.Get();
    if (!l) return;
    int count = GetItemCount();
    TStrings* items = l->Items();
    items->BeginUpdate();
    try {
        while (items->Count() > count) items->Delete(items->Count() - 1);
        for (int i = 0; i < count; ++i) {
            std::string t = GetItem(i);
            if (i < items->Count()) {
                if (items->Strings(i) != t) items->SetStrings(i, t);
            } else {
                items->Add(t);
            }
        }
    } catch (...) {
        items->EndUpdate();
        throw;
    }
    items->EndUpdate();
}

void TcxCustomTextEditLookupData::DoSelectItem()
{
    if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomTextEditLookupData::SelectItemByKey(const Variant& AKey)
{
    int before = FCurrentKey;
    int key = VarIsNumeric(AKey) ? int(AKey.AsDouble()) : -1;
    SetCurrentKey(key);
    if (!FOwner) {
        if (FCurrentKey != before) DoSelectItem();
        return;
    }
    FOwner->SetLookupTextLock(true);
    try {
        if (FCurrentKey != before) DoSelectItem();
        else if (key >= 0 && key < GetItemCount() && FOwner->LookupText() != GetItem(key)) DoSelectItem();
    } catch (...) {
        FOwner->SetLookupTextLock(false);
        throw;
    }
    FOwner->SetLookupTextLock(false);
}

void TcxCustomTextEditLookupData::SelectItem()
{
    if (FItemIndex == -1) return;
    int before = FCurrentKey;
    SelectItemByKey(Variant(FItemIndex));
    if (FCurrentKey == before) DoSelectItem();
}

void TcxCustomTextEditLookupData::Go(TcxLookupDirection ADirection, bool ACycle)
{
    int count = GetItemCount();
    if (count == 0) return;
    int i = FItemIndex != -1 ? FItemIndex : FCurrentKey;
    TcxCustomTextEditProperties* p = FOwner ? FOwner->LookupProperties() : nullptr;
    int r = p ? p->GetDropDownRowCount() : 8;
    int n = i;
    switch (ADirection) {
    case ldFirst: n = 0; break;
    case ldLast: n = count - 1; break;
    case ldNext: n = i + 1 >= count ? (ACycle ? 0 : i) : i + 1; break;
    case ldPrevious: n = i - 1 < 0 ? (ACycle ? count - 1 : i) : i - 1; break;
    case ldPageUp:
        if (i == -1) n = ACycle ? count - 1 : -1;
        else {
            n = i - r + 1;
            if (n < 0) n = (i == 0 && ACycle) ? count - 1 : 0;
        }
        break;
    case ldPageDown:
        n = i == -1 ? r - 1 : i + r - 1;
        if (n >= count) n = (i == count - 1 && ACycle) ? 0 : count - 1;
        break;
    }
    bool immediate = p && p->ImmediateUpdateText();
    if (ListVisible && !immediate) SetItemIndex(n);
    else SelectItemByKey(Variant(n));
}

void TcxCustomTextEditLookupData::TextChanged()
{
    std::string text = FOwner ? FOwner->LookupText() : std::string();
    if (FItemIndex >= 0 && FItemIndex < GetItemCount() &&
        AnsiUpperCase(GetItem(FItemIndex)) == AnsiUpperCase(text))
        return;
    std::string tail;
    Locate(text, tail, false, true);
}

// ---- the edit list box ----------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomEditListBox, TcxCustomInnerListBox)

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner)
{
    SetStyle(lbOwnerDrawVariable);
}

int TcxCustomEditListBox::GetItemHeight(int)
{
    Canvas()->Font()->Assign(Font());
    return Canvas()->TextHeight("Wg") + 2;
}

void TcxCustomEditListBox::SelectItemIndex(int AIndex)
{
    SetItemIndex(AIndex);
    if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomEditListBox::Click()
{
    TcxCustomInnerListBox::Click();
    if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomEditListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxCustomEditListBox> guard(this);
    TcxCustomInnerListBox::MouseMove(Shift, X, Y);
    if (!guard || !HotTrack || GetCaptureControl() == this) return;
    int i = ItemAtPos(TPoint{X, Y}, true);
    if (i >= 0 && i != ItemIndex()) SelectItemIndex(i);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TcxCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    for (UINT i = 0; i < lines; ++i) Perform(WM_VSCROLL, WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    return true;
}

void TcxCustomEditListBox::DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState)
{
    if (DoDrawItem(AIndex, ARect, AState)) return;
    TCanvas* c = Canvas();
    c->FillRect(ARect);
    if (AIndex < 0 || AIndex >= Items()->Count()) return;
    TRect r = ARect;
    r.Left += 2;
    std::string text = Items()->Strings(AIndex);
    c->TextRect(r, r.Left, r.Top + (r.Bottom - r.Top - c->TextHeight(text)) / 2, text);
}

void TcxCustomEditListBox::MeasureItem(int AIndex, int& AHeight) { AHeight = GetItemHeight(AIndex); }
