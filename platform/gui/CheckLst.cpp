#include "CheckLst.h"
#include "Themes.h"

QZ_CLASS_IMPL(TCheckListBox, TCustomListBox)

namespace {
constexpr int CheckSize = 13;
}

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

// Item states follow the items: every change to the list comes as a list-box message.
void TCheckListBox::LBInsert(TMessage& m)
{
    inherited::Dispatch(m);
    int at = int(m.Result);
    if (at < 0) return;
    if (size_t(at) > FStates.size()) FStates.resize(size_t(at));
    FStates.insert(FStates.begin() + at, TItemState{});
}
void TCheckListBox::LBDelete(TMessage& m)
{
    int at = int(m.WParam);
    inherited::Dispatch(m);
    if (m.Result != LB_ERR && at >= 0 && size_t(at) < FStates.size()) FStates.erase(FStates.begin() + at);
}
void TCheckListBox::LBReset(TMessage& m)
{
    inherited::Dispatch(m);
    FStates.clear();
}

TCheckListBox::TItemState& TCheckListBox::At(int index)
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (FStates.size() < size_t(Count())) FStates.resize(size_t(Count()));
    return FStates[size_t(index)];
}
const TCheckListBox::TItemState* TCheckListBox::Find(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return size_t(index) < FStates.size() ? &FStates[size_t(index)] : nullptr;
}

TCheckBoxState TCheckListBox::State(int index) const
{
    const TItemState* s = Find(index);
    return s ? s->State : cbUnchecked;
}
void TCheckListBox::SetState(int index, TCheckBoxState v)
{
    TItemState& s = At(index);
    if (s.State == v) return;
    s.State = v;
    InvalidateRect(ItemRect(index));
}
bool TCheckListBox::ItemEnabled(int index) const
{
    const TItemState* s = Find(index);
    return s ? s->Enabled : true;
}
void TCheckListBox::SetItemEnabled(int index, bool v)
{
    TItemState& s = At(index);
    if (s.Enabled == v) return;
    s.Enabled = v;
    InvalidateRect(ItemRect(index));
}
void TCheckListBox::SetFlat(bool v)
{
    FFlat = v;
    Invalidate();
}

TRect TCheckListBox::CheckRect(int index) const
{
    TRect r = ItemRect(index);
    int top = r.Top + (r.Height() - CheckSize) / 2;
    return Bounds(r.Left + 2, top, CheckSize, CheckSize);
}

void TCheckListBox::DrawItem(int index, TRect rect, TOwnerDrawState state)
{
    TCanvas* c = Canvas();
    // The box on the window's colour, the text (selected or not) beside it.
    TRect box = rect;
    box.Right = box.Left + CheckSize + 4;
    TColor keep = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(box);
    c->Brush()->SetColor(keep);
    if (index >= 0 && index < Count()) {
        TCheckBoxState st = State(index);
        UINT flags = DFCS_BUTTONCHECK;
        if (st == cbChecked) flags |= DFCS_CHECKED;
        if (st == cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (!ItemEnabled(index) || !Enabled()) flags |= DFCS_INACTIVE;
        if (FFlat) flags |= DFCS_FLAT;
        DrawThemedFrameControl(c->Handle(), Bounds(rect.Left + 2, rect.Top + (rect.Height() - CheckSize) / 2, CheckSize,
                                                   CheckSize), DFC_BUTTON, flags);
        if (!ItemEnabled(index)) c->Font()->SetColor(clGrayText);
    }
    rect.Left = box.Right;
    TCustomListBox::DrawItem(index, rect, state);
}

void TCheckListBox::Toggle(int index)
{
    if (index < 0 || index >= Count() || !ItemEnabled(index)) return;
    switch (State(index)) {
    case cbUnchecked: SetState(index, FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(index, cbUnchecked); break;
    case cbGrayed: SetState(index, cbChecked); break;
    }
    ClickCheck();
}

void TCheckListBox::ClickCheck()
{
    if (!OnClickCheck) return;
    TNotifyEvent keep = OnClickCheck;   // the handler may free the list
    keep(this);
}

void TCheckListBox::WMLButtonDown2(TMessage& m)
{
    TWMMouse mm(m);
    int index = ItemAtPos(mm.Pos(), true);
    TWeakRef<TCheckListBox> guard(this);
    inherited::Dispatch(m);
    if (guard && index >= 0 && PtInRect(CheckRect(index), mm.Pos())) Toggle(index);
}

// The space bar toggles the current item; the native list never sees it
// (it would take the space as a search and move on).
void TCheckListBox::KeyDown(WORD& key, TShiftState shift)
{
    TCustomListBox::KeyDown(key, shift);
    if (key == VK_SPACE && shift.Empty()) {
        key = 0;
        Toggle(ItemIndex());
    }
}

void TCheckListBox::KeyPress(char& key)
{
    TCustomListBox::KeyPress(key);
    if (key == ' ') key = 0;
}
