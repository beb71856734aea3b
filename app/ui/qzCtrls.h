// The application's basic input controls: an edit with typed input and
// typed values, a date-time picker whose unchecked box means Null, a combo
// box and a memo. They colour themselves while they hold the focus and let
// Enter move on to the next control, so the forms need no default button
// for it.
#pragma once

#include "ComCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Variants.h"

#include <string>

enum TEditType { etFree, etNumber, etInteger };

namespace qzCtrls {

// Whether a typed character may go into an edit of the type holding text.
// The checks look at the whole text, not at the caret.
bool AcceptKey(TEditType type, const std::string& text, char key);

// Where Enter sends the focus: posts the next-control message to the
// owner's window (the previous control with Shift) when the owner is a
// windowed control; true when it did, and the key is then swallowed.
bool EnterAsTab(TControl* control, TShiftState shift);

}  // namespace qzCtrls

class TqzEdit : public TEdit {
    QZ_CLASS(TqzEdit, TEdit)
public:
    explicit TqzEdit(TComponent* owner = nullptr);

    TColor ColorOnEnter() const { return FColorOnEnter; }
    void SetColorOnEnter(TColor v) { FColorOnEnter = v; }
    TColor ColorOnReadOnly() const { return FColorOnReadOnly; }
    void SetColorOnReadOnly(TColor v) { FColorOnReadOnly = v; }
    bool TabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool v) { FTabOnEnter = v; }
    TEditType EditType() const { return FEditType; }
    void SetEditType(TEditType v) { FEditType = v; }

    // Typed views of the text, which is the only storage. Reads of text that
    // does not convert raise EConvertError naming the text.
    double AsDouble() const;
    void SetAsDouble(double v);
    int AsInteger() const;
    void SetAsInteger(int v);
    Variant AsDate() const;
    void SetAsDate(const Variant& v);
    Variant AsDateTime() const;
    void SetAsDateTime(const Variant& v);
    Variant AsVariant() const;
    void SetAsVariant(const Variant& v);

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    TColor FColorOnEnter = TColor(0xFFFF00);
    TColor FColorOnReadOnly = TColor(0x00FFFF);
    TColor FSavedColor = clWindow;
    bool FTabOnEnter = true;
    TEditType FEditType = etFree;
};

class TqzDateTimePicker : public TDateTimePicker {
    QZ_CLASS(TqzDateTimePicker, TDateTimePicker)
public:
    explicit TqzDateTimePicker(TComponent* owner = nullptr);

    // Null while a picker with a check box is unchecked.
    Variant AsDate() const;
    void SetAsDate(const Variant& v);
    Variant AsTime() const;
    void SetAsTime(const Variant& v);
    Variant AsDateTime() const;
    void SetAsDateTime(const Variant& v);
    // The current date and time, then no date (the search form's reset).
    void Reset();

protected:
    void DoEnter() override;
    void DoExit() override;
};

class TqzComboBox : public TComboBox {
    QZ_CLASS(TqzComboBox, TComboBox)
public:
    explicit TqzComboBox(TComponent* owner = nullptr);

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& key, TShiftState shift) override;
};

class TqzMemo : public TMemo {
    QZ_CLASS(TqzMemo, TMemo)
public:
    explicit TqzMemo(TComponent* owner = nullptr);

protected:
    void DoEnter() override;
    void DoExit() override;
};

class TBasicAction;

// The popup menu of the grid wrappers, with the routines that build menus.
class TqzPopupMenu : public TPopupMenu {
    QZ_CLASS(TqzPopupMenu, TPopupMenu)
public:
    explicit TqzPopupMenu(TComponent* owner = nullptr) : TPopupMenu(owner) {}

    // An item owned by the menu and bound to the action (caption, image,
    // enabled state and execution follow it), inserted at index (-1: at the
    // end) into the parent item, or into the top level without one.
    static TMenuItem* AddActionItem(TMenu* menu, TBasicAction* action, int index, TMenuItem* parent);
    // A captioned item with the handler: first with atTop, else last.
    static TMenuItem* AddClickItem(TMenu* menu, const std::string& caption, bool atTop, TNotifyEvent onClick);
    // A separator line at index (-1: at the end) of the parent or the top level.
    static TMenuItem* AddSeparator(TMenu* menu, int index, TMenuItem* parent);
    // Frees every top-level item, from the last to the first.
    static void ClearItems(TMenu* menu);
};
