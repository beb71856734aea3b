#include "qzCtrls.h"

#include "DateUtils.h"
#include "Forms.h"
#include "SysUtils.h"

#include <cmath>

QZ_CLASS_IMPL(TqzEdit, TEdit)
QZ_CLASS_IMPL(TqzDateTimePicker, TDateTimePicker)
QZ_CLASS_IMPL(TqzComboBox, TComboBox)
QZ_CLASS_IMPL(TqzMemo, TMemo)
QZ_CLASS_IMPL(TqzPopupMenu, TPopupMenu)

namespace {

constexpr TColor kFocusColor = TColor(0xFFFF00);
constexpr TColor kReadOnlyColor = TColor(0x00FFFF);
constexpr TColor kLeaveColor = TColor(0xFFFFFF);

[[noreturn]] void RaiseNotA(const char* what, const std::string& text)
{
    throw EConvertError(Format("\"%s\" 不是有效的%s.", {text, std::string(what)}));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

namespace qzCtrls {

bool AcceptKey(TEditType type, const std::string& text, char key)
{
    if (type == etFree || key == '\b' || key == '\r') return true;
    if (type == etInteger) return IsDigit(key);
    // etNumber: digits and one decimal point, never first; no second leading zero.
    if (key == '.') return !text.empty() && text.find('.') == std::string::npos;
    if (key == '0') return !(text.find('.') == std::string::npos && !text.empty() && text[0] == '0');
    return IsDigit(key);
}

bool EnterAsTab(TControl* control, TShiftState shift)
{
    auto* owner = dynamic_cast<TWinControl*>(control->Owner());
    if (!owner) return false;
    PostMessage(owner->Handle(), WM_NEXTDLGCTL, shift.Contains(ssShift) ? 1 : 0, 0);
    return true;
}

}  // namespace qzCtrls

// ---- TqzEdit -------------------------------------------------------------------------------

TqzEdit::TqzEdit(TComponent* owner) : TEdit(owner) {}

double TqzEdit::AsDouble() const
{
    const std::string t = GetText();
    if (t.empty()) return 0;
    double v = 0;
    if (!TryStrToFloat(t, v)) RaiseNotA("数字", t);
    return v;
}

void TqzEdit::SetAsDouble(double v) { SetText(v == 0 ? std::string() : FloatToStr(v)); }

int TqzEdit::AsInteger() const
{
    const std::string t = GetText();
    if (t.empty()) return 0;
    int v = 0;
    if (!TryStrToInt(t, v)) RaiseNotA("整数", t);
    return v;
}

void TqzEdit::SetAsInteger(int v) { SetText(v == 0 ? std::string() : IntToStr(v)); }

Variant TqzEdit::AsDate() const
{
    const std::string t = GetText();
    if (t.empty()) return Null();
    TDateTime d = 0;
    if (!TryStrToDate(t, d)) RaiseNotA("日期", t);
    return VarFromDateTime(d);
}

namespace {
// A value that cannot be shown as a date (text that is none, a number far
// outside the calendar) gives the edit's date message.
TDateTime DateValue(const Variant& v)
{
    try {
        const TDateTime d = VarToDateTime(v);
        if (!std::isfinite(d) || d < -693593 || d > 2958465) throw EConvertError("");
        return d;
    } catch (const Exception&) {
        RaiseNotA("日期", VarToStr(v));
    }
}
}  // namespace

void TqzEdit::SetAsDate(const Variant& v)
{
    if (VarIsNull(v)) { SetText(""); return; }
    SetText(DateToStr(DateValue(v)));
}

Variant TqzEdit::AsDateTime() const
{
    const std::string t = GetText();
    if (t.empty()) return Null();
    TDateTime d = 0;
    if (!TryStrToDateTime(t, d)) RaiseNotA("日期", t);
    return VarFromDateTime(d);
}

void TqzEdit::SetAsDateTime(const Variant& v)
{
    if (VarIsNull(v)) { SetText(""); return; }
    SetText(DateTimeToStr(DateValue(v)));
}

Variant TqzEdit::AsVariant() const
{
    const std::string t = GetText();
    if (t.empty()) return Null();
    switch (FEditType) {
    case etNumber: return Variant(t).AsDouble();
    case etInteger: return Variant(t).AsInteger();
    default: return t;
    }
}

void TqzEdit::SetAsVariant(const Variant& v)
{
    if (VarIsNull(v)) { SetText(""); return; }
    switch (FEditType) {
    case etNumber: SetText(FloatToStr(v.AsDouble())); break;
    case etInteger: SetText(IntToStr(v.AsInteger())); break;
    default: SetText(VarToStr(v)); break;
    }
}

void TqzEdit::DoEnter()
{
    FSavedColor = Color();
    if (!ParentColor()) SetColor(ReadOnly() ? FColorOnReadOnly : FColorOnEnter);
    TEdit::DoEnter();
}

void TqzEdit::DoExit()
{
    SetColor(FSavedColor);
    TEdit::DoExit();
}

void TqzEdit::KeyDown(WORD& key, TShiftState shift)
{
    TEdit::KeyDown(key, shift);
    if (key == VK_RETURN && FTabOnEnter && qzCtrls::EnterAsTab(this, shift)) key = 0;
}

void TqzEdit::KeyPress(char& key)
{
    TEdit::KeyPress(key);
    if (key == '\r' && FTabOnEnter) { key = 0; return; }
    if (key && !qzCtrls::AcceptKey(FEditType, GetText(), key)) key = 0;
}

// ---- TqzDateTimePicker ---------------------------------------------------------------------

TqzDateTimePicker::TqzDateTimePicker(TComponent* owner) : TDateTimePicker(owner)
{
    SetChecked(false);
    SetDateTime(Now());
}

Variant TqzDateTimePicker::AsDateTime() const
{
    if (ShowCheckbox() && !Checked()) return Null();
    return VarFromDateTime(DateTime());
}

Variant TqzDateTimePicker::AsDate() const
{
    if (ShowCheckbox() && !Checked()) return Null();
    return VarFromDateTime(std::trunc(DateTime()));
}

Variant TqzDateTimePicker::AsTime() const
{
    if (ShowCheckbox() && !Checked()) return Null();
    const TDateTime d = DateTime();
    return VarFromDateTime(std::fabs(d - std::trunc(d)));
}

void TqzDateTimePicker::SetAsDateTime(const Variant& v)
{
    if (VarIsNull(v)) {
        SetDateTime(Now());
        if (ShowCheckbox()) SetChecked(false);
        return;
    }
    SetDateTime(VarToDateTime(v));
    // A value written is a value read back: a box left unchecked would read Null.
    if (ShowCheckbox()) SetChecked(true);
}

void TqzDateTimePicker::SetAsDate(const Variant& v) { SetAsDateTime(v); }

void TqzDateTimePicker::SetAsTime(const Variant& v)
{
    if (VarIsNull(v)) {
        if (ShowCheckbox()) SetChecked(false);
        else SetDateTime(Now());
        return;
    }
    SetDateTime(VarToDateTime(v));
    if (ShowCheckbox()) SetChecked(true);
}

void TqzDateTimePicker::Reset()
{
    SetDateTime(Now());
    SetAsDate(Null());
}

void TqzDateTimePicker::DoEnter()
{
    SetColor(kFocusColor);
    TDateTimePicker::DoEnter();
}

void TqzDateTimePicker::DoExit()
{
    SetColor(kLeaveColor);
    TDateTimePicker::DoExit();
}

// ---- TqzComboBox ---------------------------------------------------------------------------

TqzComboBox::TqzComboBox(TComponent* owner) : TComboBox(owner) { SetAutoComplete(false); }

void TqzComboBox::DoEnter()
{
    SetColor(kFocusColor);
    TComboBox::DoEnter();
}

void TqzComboBox::DoExit()
{
    SetColor(kLeaveColor);
    TComboBox::DoExit();
}

void TqzComboBox::KeyDown(WORD& key, TShiftState shift)
{
    TComboBox::KeyDown(key, shift);
    if (key == VK_RETURN && qzCtrls::EnterAsTab(this, shift)) {
        key = 0;
    } else if (key == VK_DELETE && Style() == csDropDownList) {
        SetItemIndex(-1);
        Change();
    }
}

// ---- TqzMemo -------------------------------------------------------------------------------

TqzMemo::TqzMemo(TComponent* owner) : TMemo(owner) {}

void TqzMemo::DoEnter()
{
    SetColor(ReadOnly() ? kReadOnlyColor : kFocusColor);
    TMemo::DoEnter();
}

void TqzMemo::DoExit()
{
    SetColor(kLeaveColor);
    TMemo::DoExit();
}

// ---- TqzPopupMenu --------------------------------------------------------------------------

namespace {
void Place(TMenu* menu, TMenuItem* item, int index, TMenuItem* parent)
{
    TMenuItem* into = parent ? parent : menu->Items();
    if (index == -1) into->Add(item);
    else into->Insert(index, item);
}
}  // namespace

TMenuItem* TqzPopupMenu::AddActionItem(TMenu* menu, TBasicAction* action, int index, TMenuItem* parent)
{
    auto* item = new TMenuItem(menu);
    item->SetAction(action);
    Place(menu, item, index, parent);
    return item;
}

TMenuItem* TqzPopupMenu::AddClickItem(TMenu* menu, const std::string& caption, bool atTop, TNotifyEvent onClick)
{
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    Place(menu, item, atTop ? 0 : -1, nullptr);
    return item;
}

TMenuItem* TqzPopupMenu::AddSeparator(TMenu* menu, int index, TMenuItem* parent)
{
    auto* item = new TMenuItem(menu);
    item->SetCaption("-");
    Place(menu, item, index, parent);
    return item;
}

void TqzPopupMenu::ClearItems(TMenu* menu)
{
    for (int i = menu->Items()->Count() - 1; i >= 0; --i) menu->Items()->Delete(i);
}
