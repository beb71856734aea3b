// A list box with a check box before each item.
#pragma once

#include "StdCtrls.h"

class TCheckListBox : public TCustomListBox {
    QZ_CLASS(TCheckListBox, TCustomListBox)
public:
    explicit TCheckListBox(TComponent* owner = nullptr);
    bool Checked(int index) const { return State(index) == cbChecked; }
    void SetChecked(int index, bool v) { SetState(index, v ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int index) const;
    void SetState(int index, TCheckBoxState v);
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool v);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // Called when the user changes a check (a click on the box or the space bar).
    TNotifyEvent OnClickCheck;
    virtual void ClickCheck();
    // The check box of an item in client coordinates.
    TRect CheckRect(int index) const;
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
protected:
    void LBInsert(TMessage& m);
    void LBDelete(TMessage& m);
    void LBReset(TMessage& m);
    void WMLButtonDown2(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(LB_ADDSTRING, LBInsert)
        QZ_MESSAGE_HANDLER(LB_INSERTSTRING, LBInsert)
        QZ_MESSAGE_HANDLER(LB_DELETESTRING, LBDelete)
        QZ_MESSAGE_HANDLER(LB_RESETCONTENT, LBReset)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMLButtonDown2)
    QZ_END_MESSAGE_MAP
private:
    void Toggle(int index);
    struct TItemState {
        TCheckBoxState State = cbUnchecked;
        bool Enabled = true;
    };
    TItemState& At(int index);
    const TItemState* Find(int index) const;
    std::vector<TItemState> FStates;
    bool FAllowGrayed = false;
    bool FFlat = true;
};
