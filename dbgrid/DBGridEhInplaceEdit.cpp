// The data-aware grid's in-place editor and the popup month calendar.
#include "DBGridEhInplaceEdit.h"

#include "Clipbrd.h"
#include "DateUtils.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TPopupMonthCalendarEh, TMonthCalendar)
QZ_CLASS_IMPL(TDBGridInplaceEdit, TInplaceEdit)

namespace {

// The drop-downs show as windows of their own that never take the focus:
// the editor keeps it and hands them the keys that move in them.
template <class TBase>
class TDropDownWindowEh : public TBase {
public:
    using TBase::TBase;
    std::function<void(TMouseButton, TShiftState, int, int)> OnRelease;

protected:
    void CreateParams(TCreateParams& p) override
    {
        TBase::CreateParams(p);
        p.Style = WS_POPUP | WS_BORDER;
        p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        TWeakRef<TControl> guard(this);
        TBase::MouseUp(button, shift, x, y);
        if (guard && OnRelease) OnRelease(button, shift, x, y);
    }
};

using TDropDownListEh = TDropDownWindowEh<TPopupListboxEh>;
using TDropDownCalculatorEh = TDropDownWindowEh<TPopupCalculatorEh>;

int CharCount(const std::string& s) { return int(Utf8ToUtf16(s).size()); }

// The first n characters of a text.
std::string LeftChars(const std::string& s, int n)
{
    std::u16string u = Utf8ToUtf16(s);
    return Utf16ToUtf8(u.substr(0, size_t(std::clamp(n, 0, int(u.size())))));
}

std::string RightFrom(const std::string& s, int n)
{
    std::u16string u = Utf8ToUtf16(s);
    return Utf16ToUtf8(u.substr(size_t(std::clamp(n, 0, int(u.size())))));
}

// Whether the first characters of item equal prefix, ignoring case.
bool StartsWithText(const std::string& item, const std::string& prefix)
{
    std::string head = LeftChars(item, CharCount(prefix));
    return AnsiCompareText(head, prefix) == 0;
}

// Every key field of the column's lookup field may be changed.
bool LookupKeysOf(TColumnEh* c)
{
    TField* f = c ? c->Field() : nullptr;
    if (!f || f->FieldKind() != fkLookup || f->KeyFields().empty() || !f->DataSet()) return false;
    std::vector<TField*> keys;
    f->DataSet()->GetFieldList(keys, f->KeyFields());
    if (keys.empty()) return false;
    for (TField* k : keys)
        if (!k->CanModify()) return false;
    return true;
}

bool IsDateType(TFieldType t) { return t == ftDate || t == ftDateTime || t == ftTimeStamp; }

bool IsIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}

// Takes the character a key left in the queue, so that a key the editor
// handled does not also arrive as typing.
void DropQueuedChar(TWinControl* c)
{
    if (!c->HandleAllocated()) return;
    TMsg msg;
    PeekMessage(&msg, c->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
}

}  // namespace

// ---- popup month calendar ----------------------------------------------------------------

bool CalendarHitAccepts(int hit)
{
    if (hit == MCHT_CALENDARDAY || hit == MCHT_TITLEBTNNEXT || hit == MCHT_TITLEBTNPREV) return false;
    return (hit & MCHT_CALENDAR) != 0 || (hit & 1) != 0;
}

TPopupMonthCalendarEh::TPopupMonthCalendarEh(TComponent* owner) : TMonthCalendar(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetCtl3D(true);
    SetParentCtl3D(false);
    SetTabStop(false);
}

void TPopupMonthCalendarEh::CreateParams(TCreateParams& p)
{
    TMonthCalendar::CreateParams(p);
    p.Style = WS_POPUP | (Ctl3D() ? 0 : WS_BORDER);
    p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
}

void TPopupMonthCalendarEh::Close(bool accept)
{
    if (auto handler = CloseUp) handler(accept);
}

void TPopupMonthCalendarEh::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) {
            DropQueuedChar(this);
            Close(m.WParam == VK_RETURN);
            return;
        }
        break;
    case CM_WANTSPECIALKEY:
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) {
            Close(m.WParam == VK_RETURN);
            m.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN: {
        TPoint p = Point(int16_t(LOWORD(m.LParam)), int16_t(HIWORD(m.LParam)));
        if (!PtInRect(ClientRect(), p)) {
            Close(false);
            return;
        }
        break;
    }
    case WM_LBUTTONUP: {
        TPoint p = Point(int16_t(LOWORD(m.LParam)), int16_t(HIWORD(m.LParam)));
        TWeakRef<TControl> guard(this);
        TMonthCalendar::WndProc(m);
        if (guard && PtInRect(ClientRect(), p) && CalendarHitAccepts(HitTest(p))) Close(true);
        return;
    }
    case WM_KILLFOCUS: {
        // The focus went to another window: close once this message is done.
        TWinControl* to = FindControl(HWND(m.WParam));
        bool inside = to && (to == this || ContainsControl(to));
        if (!inside && HandleAllocated()) PostMessage(Handle(), WM_CLOSEPOPUPEH, 0, 0);
        break;
    }
    case WM_CLOSEPOPUPEH:
        Close(false);
        return;
    default:
        break;
    }
    TMonthCalendar::WndProc(m);
}

bool TPopupMonthCalendarEh::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    if (!TMonthCalendar::DoMouseWheelDown(shift, mousePos)) SetDate(Date() + 1);
    return true;
}

bool TPopupMonthCalendarEh::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    if (!TMonthCalendar::DoMouseWheelUp(shift, mousePos)) SetDate(Date() - 1);
    return true;
}

int ColumnEditStyleEh(TColumnEh* c)
{
    TCustomDBGridEh* g = c ? c->Grid() : nullptr;
    if (!g) return esSimple;
    int style = esSimple;
    switch (c->ButtonStyle()) {
    case TColumnButtonStyleEh::cbsEllipsis: style = esEllipsis; break;
    case TColumnButtonStyleEh::cbsUpDown: style = esUpDown; break;
    case TColumnButtonStyleEh::cbsDropDown: style = esDropDownButton; break;
    case TColumnButtonStyleEh::cbsNone: break;
    case TColumnButtonStyleEh::cbsAuto: {
        TField* f = c->Field();
        if (!f) break;
        if (f->FieldKind() == fkLookup) {
            bool columnWritable = !c->AssignedValues().Contains(cvReadOnly) || !c->ReadOnly();
            if (LookupKeysOf(c) && columnWritable && !g->ReadOnly() && g->DataLink()->Active() &&
                !g->DataLink()->ReadOnly())
                style = esLookupList;
        } else if (c->HasPickList() && !c->ReadOnly()) {
            style = esPickList;
        } else if (IsDateType(f->DataType()) && !c->ReadOnly()) {
            style = esDateCalendar;
        }
        break;
    }
    }
    return style;
}

// ---- the in-place editor: construction and contents ----------------------------------------

TDBGridInplaceEdit::TDBGridInplaceEdit(TComponent* owner) : TInplaceEdit(owner) {}

TDBGridInplaceEdit::~TDBGridInplaceEdit()
{
    // The lookup list is the column's and outlives the editor: it must not
    // keep calling back here nor keep showing the editor's list source.
    if (TPopupDataGridEh* list = FDataList.Get()) {
        list->OnMouseCloseUp = nullptr;
        list->OnColumnMoved = nullptr;
        if (FListVisible && FActiveList == list) ToolCtrlsEh::ShowDropDownWindow(list, false);
        list->SetListSource(nullptr);
    }
    FActiveList = nullptr;
    FButtons.Clear();
}

// The column's lookup list going away leaves the editor without a list.
void TDBGridInplaceEdit::Notification(TComponent* component, TOperation operation)
{
    TInplaceEdit::Notification(component, operation);
    if (operation != opRemove || !component) return;
    if (component == static_cast<TComponent*>(FDataList.Get()) || component == FActiveList) {
        if (FActiveList == component) {
            FActiveList = nullptr;
            FListVisible = false;
            if (FButtons.Count() > 0) FButtons.Control(0)->SetAlwaysPressed(false);
        }
        FDataList = nullptr;
        if (FDBEditStyle == esLookupList) FDBEditStyle = esSimple;
    }
}

TCustomDBGridEh* TDBGridInplaceEdit::DBGrid() const { return dynamic_cast<TCustomDBGridEh*>(Grid()); }

TColumnEh* TDBGridInplaceEdit::Column() const
{
    TCustomDBGridEh* g = DBGrid();
    return g ? g->CurrentColumn() : nullptr;
}

bool TDBGridInplaceEdit::IsKeyListColumn() const
{
    TColumnEh* c = Column();
    return c && c->HasKeyList();
}

bool TDBGridInplaceEdit::LookupKeysModifiable() const { return LookupKeysOf(Column()); }

bool TDBGridInplaceEdit::CalculatorApplies() const
{
    TColumnEh* c = Column();
    TField* f = c ? c->Field() : nullptr;
    return FDBEditStyle == esDropDownButton && f && f->InheritsFrom(TNumericField::StaticClass());
}

TCustomImageList* TDBGridInplaceEdit::ColumnImages() const
{
    TColumnEh* c = Column();
    return c ? c->ImageList() : nullptr;
}

void TDBGridInplaceEdit::SetDBEditStyle(int style)
{
    FDBEditStyle = style;
    SetEditStyle(style == esEllipsis ? esEllipsis : style == esPickList ? esPickList : esSimple);
    FActiveList = nullptr;
    switch (style) {
    case esPickList:
        if (!FPickList) {
            auto* list = new TDropDownListEh(this);
            list->OnRelease = [this](TMouseButton button, TShiftState, int x, int y) {
                if (button != mbLeft || !FPickList) return;
                CloseUp(PtInRect(FPickList->ClientRect(), Point(x, y)));
            };
            FPickList.reset(list);
            FPickList->SetVisible(false);
        }
        FPickList->SetImages(ColumnImages());
        FActiveList = FPickList.get();
        break;
    case esLookupList:
        if (TColumnEh* c = Column()) {
            TPopupDataGridEh* list = c->LookupPopupGrid();
            if (list != FDataList.Get()) {
                if (TPopupDataGridEh* old = FDataList.Get()) {
                    old->OnMouseCloseUp = nullptr;
                    RemoveFreeNotification(old);
                }
                FDataList = list;
                list->SetCtl3D(true);
                list->SetParentCtl3D(false);
                list->OnMouseCloseUp = [this](TObject*, bool accept) { CloseUp(accept); };
                FreeNotification(list);
            }
            if (!FLookupSource) FLookupSource = std::make_unique<TDataSource>();
            FActiveList = list;
        }
        break;
    case esDateCalendar:
        if (!FCalendar) {
            FCalendar = std::make_unique<TPopupMonthCalendarEh>(this);
            FCalendar->SetVisible(false);
            FCalendar->CloseUp = [this](bool accept) { CloseUp(accept); };
        }
        FActiveList = FCalendar.get();
        break;
    case esDropDownButton:
        if (CalculatorApplies()) {
            if (!FCalculator) {
                FCalculator.reset(new TDropDownCalculatorEh(this));
                FCalculator->SetVisible(false);
                FCalculator->CloseUp = [this](bool accept) { CloseUp(accept); };
            }
            FActiveList = FCalculator.get();
        }
        break;
    default:
        break;
    }
    Invalidate();
}

void TDBGridInplaceEdit::UpdateContents()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    CloseUp(false);
    if (!g || !c) {
        SetDBEditStyle(esSimple);
        TInplaceEdit::UpdateContents();
        return;
    }
    int style = ColumnEditStyleEh(c);
    SetDBEditStyle(style);
    Font()->Assign(c->Font());
    TColor background = c->Color();
    g->GetEditCellParams(c, Font(), background);
    SetColor(background);
    bool canEdit = c->CanModify(false) && g->Options().Contains(dgEditing);
    SetReadOnly(!canEdit);
    FReadOnlyOverridden = false;
    SetWordWrap(c->WordWrap() && g->RowLines() > 1);
    int col = g->Col(), row = g->Row();
    FSettingText = true;
    SetMaxLength(0);
    SetText("");
    SetEditMask(g->GetEditMask(col, row));
    SetText(g->GetEditText(col, row));
    SetMaxLength(g->GetEditLimit());
    SetModified(false);
    FSettingText = false;
    UpdateImageIndex();
    LayoutButtons();
}

void TDBGridInplaceEdit::SetWordWrap(bool v)
{
    if (v == FWordWrap) return;
    FWordWrap = v;
    if (HandleAllocated()) RecreateWnd();
}

void TDBGridInplaceEdit::CreateParams(TCreateParams& p)
{
    TInplaceEdit::CreateParams(p);
    if (FWordWrap) {
        p.Style &= ~DWORD(ES_AUTOHSCROLL);
        p.Style |= ES_MULTILINE;
    }
}

// ---- buttons -------------------------------------------------------------------------------------

TEditButtonControlEh* TDBGridInplaceEdit::NewEditButtonControl()
{
    auto* b = new TEditButtonControlEh(this);
    b->SetControlStyle(b->ControlStyle() + TControlStyle{csReplicatable});
    b->SetBounds(0, 0, 10, 17);
    return b;
}

void TDBGridInplaceEdit::BoundsChanged()
{
    TInplaceEdit::BoundsChanged();
    if (HandleAllocated()) {
        TMsg msg;
        PeekMessage(&msg, Handle(), WM_MENUCLOSEDEH, WM_MENUCLOSEDEH, PM_REMOVE);
    }
    LayoutButtons();
}

void TDBGridInplaceEdit::LayoutButtons()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    int extra = c ? c->EditButtons()->Count() : 0;
    FButtons.Resize(this, size_t(extra) + 1, [this] { return NewEditButtonControl(); });
    FButtons.Route([this](TObject* sender, bool top, bool& autoRepeat,
                          bool& handled) { ButtonPressed(sender, top, autoRepeat, handled); },
                   [this](TObject* sender) { ButtonClicked(sender); },
                   [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
                       ButtonMouseReleased(sender, button, shift, x, y);
                   });
    bool flat = g && g->Flat();
    int defWidth = flat ? ToolCtrlsEh::FlatEditButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
    int clientHeight = ClientHeight();
    auto heightFor = [&](int w, bool isDefault) {
        if (clientHeight <= int(std::lround(1.5 * w))) return clientHeight;
        return isDefault ? ToolCtrlsEh::EditButtonHeightFor(w, flat) : w;
    };
    std::vector<int> widths(FButtons.Count(), 0);
    int height = clientHeight;
    for (size_t i = 0; i < FButtons.Count(); ++i) {
        TEditButtonControlEh* b = FButtons.Control(i);
        bool visible;
        if (i == 0) {
            visible = FDBEditStyle != esSimple;
            b->SetStyle(FDBEditStyle == esEllipsis ? ebsEllipsisEh
                        : FDBEditStyle == esUpDown ? ebsUpDownEh
                                                   : ebsDropDownEh);
            b->SetHint("");
            widths[i] = visible ? defWidth : 0;
        } else {
            TEditButtonEh* eb = c->EditButtons()->Items(int(i) - 1);
            visible = eb->Visible();
            b->SetStyle(eb->Style());
            b->SetHint(eb->Hint());
            b->SetGlyph(eb->Glyph());
            b->SetNumGlyphs(eb->NumGlyphs());
            widths[i] = visible ? (eb->Width() > 0 ? eb->Width() : defWidth) : 0;
        }
        b->SetFlat(flat);
        b->SetVisible(visible);
        b->SetTag(0);
        if (visible) height = std::min(height, heightFor(widths[i], i == 0));
    }
    FButtonsWidth = FButtons.Place(widths, ClientWidth(), height, flat, IsRightToLeft());
    FButtonHeight = height;
    if (HandleAllocated()) {
        TRect r = GetEditRect();
        Perform(EM_SETRECTNP, 0, LPARAM(&r));
    }
    Invalidate();
}

TRect TDBGridInplaceEdit::GetEditRect() const
{
    TCustomDBGridEh* g = DBGrid();
    bool flat = g && g->Flat();
    TRect r = flat ? Rect(2, 1, Width() - 2, Height() - 1) : Rect(2, 2, Width() - 2, Height());
    bool rtl = IsRightToLeft();
    if (rtl) r.Left += FButtonsWidth;
    else r.Right -= FButtonsWidth;
    TColumnEh* c = Column();
    TCustomImageList* images = ColumnImages();
    if (c && images && c->ShowImageAndText()) {
        if (rtl) r.Right -= images->Width() + 5;
        else r.Left += images->Width() + 5;
    }
    // The text starts after the node's boxes, which the editor draws over its cell as the grid does.
    if (int indent = TreeIndent(); indent > 0) {
        if (rtl) r.Right -= indent + 1;
        else r.Left += indent + 1;
    }
    return r;
}

int TDBGridInplaceEdit::TreeIndent() const
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c || !g->MemTableIsTree() || g->VisibleColumns().empty() || g->VisibleColumns().front() != c) return 0;
    return g->TreeIndent();
}

TEditButtonEh* TDBGridInplaceEdit::ButtonForShortCut(TShortCut shortCut) const
{
    TColumnEh* c = Column();
    if (!c || shortCut == 0) return nullptr;
    for (int i = 0; i < c->EditButtons()->Count(); ++i)
        if (c->EditButtons()->Items(i)->ShortCut() == shortCut) return c->EditButtons()->Items(i);
    return nullptr;
}

void TDBGridInplaceEdit::ButtonPressed(TObject* sender, bool topButton, bool& autoRepeat, bool& handled)
{
    if (CanFocus() && !Focused()) SetFocus();
    handled = false;
    size_t index = FButtons.Count();
    for (size_t i = 0; i < FButtons.Count(); ++i)
        if (FButtons.Control(i) == sender) index = i;
    if (index == FButtons.Count()) return;
    TEditButtonControlEh* ctl = FButtons.Control(index);
    // The press that closed this button's menu does not open it again.
    if (HandleAllocated()) {
        TMsg msg;
        if (PeekMessage(&msg, Handle(), WM_MENUCLOSEDEH, WM_MENUCLOSEDEH, PM_NOREMOVE) &&
            int(msg.wParam) == int(index)) {
            PeekMessage(&msg, Handle(), WM_MENUCLOSEDEH, WM_MENUCLOSEDEH, PM_REMOVE);
            return;
        }
    }
    TColumnEh* c = Column();
    if (!c) return;
    if (index == 0) {
        if (c->OnEditButtonDown) c->OnEditButtonDown(sender, topButton, autoRepeat, handled);
        if (!handled) DefaultButtonDown(topButton);
        return;
    }
    TEditButtonEh* b = c->EditButtons()->Items(int(index) - 1);
    if (b->OnDown) b->OnDown(b, topButton, autoRepeat, handled);
    if (handled || !b->DropdownMenu()) return;
    TPopupMenu* menu = b->DropdownMenu();
    TPoint at = ctl->ClientToScreen(Point(0, ctl->Height()));
    menu->SetPopupComponent(ctl);
    menu->Popup(at.X, at.Y);
    if (HandleAllocated()) PostMessage(Handle(), WM_MENUCLOSEDEH, WPARAM(index), 0);
    ctl->Perform(WM_LBUTTONUP, 0, 0);
}

void TDBGridInplaceEdit::DefaultButtonDown(bool topButton)
{
    if (FDBEditStyle == esUpDown) {
        UpDownStep(topButton);
        return;
    }
    if (!FListVisible) {
        DropDown();
        FNoClickCloseUp = FListVisible;
    }
}

void TDBGridInplaceEdit::ButtonClicked(TObject* sender)
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    bool isDefault = FButtons.Count() > 0 && FButtons.Control(0) == sender;
    if (g && isDefault && (FDBEditStyle == esEllipsis || FDBEditStyle == esDropDownButton)) g->DoEditButtonClick();
    bool handled = false;
    if (c && isDefault) {
        if (c->OnEditButtonClick) c->OnEditButtonClick(sender, handled);
    } else if (c) {
        for (size_t i = 1; i < FButtons.Count(); ++i) {
            if (FButtons.Control(i) != sender) continue;
            TEditButtonEh* b = c->EditButtons()->Items(int(i) - 1);
            if (b->OnClick) b->OnClick(b, handled);
        }
    }
    if (!handled && FListVisible && !FNoClickCloseUp && isDefault) CloseUp(false);
    FNoClickCloseUp = false;
}

void TDBGridInplaceEdit::ButtonMouseReleased(TObject* sender, TMouseButton, TShiftState, int x, int y)
{
    auto* ctl = dynamic_cast<TControl*>(sender);
    if (ctl && !PtInRect(ctl->ClientRect(), Point(x, y))) FNoClickCloseUp = false;
}

void TDBGridInplaceEdit::UpDownStep(bool topButton)
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c || !c->CanModify(true)) return;
    if (g->EditorText() != Text()) {
        g->SetEditorText(Text());
        g->PostEditText();
    }
    TCellKindEh kind = c->CellKind();
    double k = kind == ckPickList || kind == ckKeyList || kind == ckLookup || kind == ckKeyImageList ? -1 : 1;
    c->StepCellValue(topButton ? c->Increment() * k : -c->Increment() * k);
}

void TDBGridInplaceEdit::StepValue(bool forward)
{
    TColumnEh* c = Column();
    if (c) c->StepCellValue(forward ? 1 : -1);
}

// ---- dropping down and closing ---------------------------------------------------------------------

void TDBGridInplaceEdit::ShowList(TWinControl* list, int width, int height)
{
    list->SetBounds(list->Left(), list->Top(), width, height);
    TPoint at = ToolCtrlsEh::PlaceDropDownByControl(this, list, taLeftJustify);
    list->SetBounds(at.X, at.Y, list->Width(), list->Height());
    ToolCtrlsEh::ShowDropDownWindow(list, true);
}

void TDBGridInplaceEdit::DropDown()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (FListVisible || !FActiveList || !g || !c) return;
    CloseUpMRUList(false);
    std::string text = Text();
    if (FActiveList == FDataList.Get()) {
        TDataSet* list = c->LookupListDataSet();
        TField* f = c->Field();
        if (!list || !f) return;
        FDataList->SetColor(Color());
        FDataList->Font()->Assign(Font());
        int rows = c->DropDownRows();
        if (list->IsSequenced() && list->RecordCount() >= 1 && list->RecordCount() < rows) rows = list->RecordCount();
        FDataList->SetSpecRow(c->DropDownSpecRow());
        FDataList->SetShowTitleRow(c->DropDownShowTitles());
        FLookupSource->SetDataSet(list);
        FDataList->SetKeyField(f->LookupKeyFields());
        FDataList->SetListFieldIndex(0);
        FDataList->SetListField(c->LookupDisplayFields());
        FDataList->SetAutoFitList(false);
        FDataList->SetUseMultiTitle(c->DropDownBox()->UseMultiTitle());
        FDataList->SetListSource(FLookupSource.get());
        FDataList->HandleNeeded();
        FDataList->SetListRowCount(std::max(1, rows));
        int width = c->DropDownWidth() == -1 ? FDataList->TotalColumnWidth() + 4
                    : c->DropDownWidth() <= 0 ? Width()
                                              : c->DropDownWidth();
        FDataList->SetKeyValue(g->EditorValue());
        FListColumnsMoved = false;
        FDataList->OnColumnMoved = [this](TObject*, int, int) { FListColumnsMoved = true; };
        FDataList->SetAutoFitList(c->DropDownBox()->AutoFitColWidths());
        ShowList(FDataList.Get(), std::max(width, Width()), FDataList->Height());
        FDataList->SetSizeChanged(false);
    } else if (FActiveList == FCalendar.get()) {
        FCalendar->SetColor(Color());
        FCalendar->Font()->Assign(Font());
        TDateTime d = 0;
        TField* f = c->Field();
        if (text.empty()) d = Date();
        else if (!TryStrToDate(text, d)) d = f && !f->IsNull() && f->AsDateTime() != 0 ? f->AsDateTime() : Date();
        FCalendar->SetDate(d);
        FCalendar->HandleNeeded();
        TPoint size = FCalendar->MinimalSize();
        ShowList(FCalendar.get(), size.X + 2 * FCalendar->FrameWidth(), size.Y + 2 * FCalendar->FrameWidth());
    } else if (FActiveList == FCalculator.get()) {
        FCalculator->SetPopupValue(text.empty() ? Variant(0.0) : Variant(text));
        FCalculator->SetFlat(g->Flat());
        SetSelLength(0);
        ShowList(FCalculator.get(), FCalculator->Width(), FCalculator->Height());
    } else if (FActiveList == FPickList.get()) {
        FPickList->SetColor(Color());
        FPickList->Font()->Assign(Font());
        FPickList->SetImages(ColumnImages());
        TStrings* pick = c->PickList();
        int count = pick->Count();
        if (c->HasKeyList()) count = std::min(count, c->KeyList()->Count());
        FPickList->Items()->BeginUpdate();
        FPickList->Items()->Clear();
        for (int i = 0; i < count; ++i) FPickList->Items()->AddObject(pick->Strings(i), pick->Objects(i));
        FPickList->Items()->EndUpdate();
        int rows = count < c->DropDownRows() ? count : c->DropDownRows();
        TField* f = c->Field();
        int index = -1;
        if (f && !f->IsNull()) index = c->HasKeyList() ? pick->IndexOf(text) : FPickList->Items()->IndexOf(text);
        TBitmap probe(1, 1);
        probe.Canvas()->Font()->Assign(Font());
        int widest = 0;
        for (int i = 0; i < count; ++i) widest = std::max(widest, probe.Canvas()->TextWidth(pick->Strings(i)));
        TCustomImageList* images = ColumnImages();
        if (images) widest += images->Width() + 5;
        int width = std::max(Width(), widest + 4 + 2 * FPickList->FrameWidth());
        if (c->DropDownWidth() > 0) width = std::max(width, c->DropDownWidth());
        FPickList->SetVisible(false);
        FPickList->HandleNeeded();
        FPickList->SetBounds(0, 0, width, 100);
        FPickList->SetShownRows(std::max(1, rows));
        FPickList->SetItemIndex(index);
        ShowList(FPickList.get(), FPickList->Width(), FPickList->Height());
        FPickList->SetResized(false);
    } else {
        return;
    }
    FListVisible = true;
    Invalidate();
    if (CanFocus() && !Focused()) SetFocus();
    if (FButtons.Count() > 0) FButtons.Control(0)->SetAlwaysPressed(true);
}

void TDBGridInplaceEdit::CloseUp(bool accept)
{
    if (!FListVisible) return;
    if (FButtons.Count() > 0) FButtons.Control(0)->SetAlwaysPressed(false);
    if (FLockCloseList) return;
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    TWinControl* list = FActiveList;
    if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
    Variant value = Null();
    std::string chosenText;
    int pickIndex = -1;
    if (list && list == FDataList.Get()) {
        value = FDataList->KeyValue();
        chosenText = FDataList->SelectedText();
        if (FDataList->SizeChanged() && c && c->DropDownSizing()) {
            c->SetDropDownRows(FDataList->ListRowCount());
            c->SetDropDownWidth(FDataList->Width());
        }
        if (FListColumnsMoved && c) c->DropDownSpecRow()->SetCellsText(FDataList->SpecRow()->CellsText());
        FDataList->OnColumnMoved = nullptr;
    }
    if (list && list == FPickList.get()) {
        pickIndex = FPickList->ItemIndex();
        if (pickIndex >= 0 && c) {
            value = c->HasKeyList() && pickIndex < c->KeyList()->Count() ? Variant(c->KeyList()->Strings(pickIndex))
                                                                         : Variant(FPickList->Items()->Strings(pickIndex));
        }
        if (FPickList->Resized() && c && c->DropDownSizing()) {
            int itemHeight = std::max(1, FPickList->ItemHeight());
            c->SetDropDownRows(FPickList->ClientHeight() / itemHeight);
            c->SetDropDownWidth(FPickList->Width());
        }
    }
    if (list) ToolCtrlsEh::ShowDropDownWindow(list, false);
    FListVisible = false;
    if (list && list == FDataList.Get()) {
        FDataList->SetAutoFitList(false);
        FDataList->SetListSource(nullptr);
        FLookupSource->SetDataSet(nullptr);
    }
    if (g && c) {
        if (!accept) {
            if (list == FPickList.get() || list == FDataList.Get()) {
                FSettingText = true;
                SetText(g->EditorText());
                FSettingText = false;
            }
        } else if (list == FDataList.Get()) {
            if (LookupKeysModifiable() && c->CanModify(false) && g->PrepareEdit()) {
                g->SetEditorValue(value);
                g->SetEditorText(chosenText);
            }
            FSettingText = true;
            SetText(chosenText);
            FSettingText = false;
            SetModified(true);
            SelectAll();
        } else if (list == FCalendar.get()) {
            if (c->CanModify(false) && g->PrepareEdit()) {
                TDateTime d = FCalendar->Date();
                c->WriteCellValue(DateToStr(d), Variant(d), false);
                SelectAll();
            }
        } else if (list == FCalculator.get()) {
            if (c->CanModify(false) && g->PrepareEdit()) {
                Variant v = FCalculator->PopupValue();
                // An error value (the calculator's error state) writes nothing.
                if (VarIsNumeric(v)) {
                    std::string s = FloatToStr(double(v));
                    SetText(s);
                    SetModified(true);
                    g->SetEditorText(s);
                    SelectAll();
                }
            }
        } else if (list == FPickList.get()) {
            if (!VarIsNull(value) && g->PrepareEdit()) {
                std::string s = c->HasKeyList() ? c->PickList()->Strings(pickIndex) : VarToStr(value);
                SetText(s);
                SetModified(true);
                g->SetEditorText(s);
                if (c->HasKeyList()) g->SetEditorValue(value);
                SelectAll();
                UpdateImageIndex();
            }
        }
    }
    Invalidate();
}

// ---- keys --------------------------------------------------------------------------------------

// Keys of an open (or closed) list: Enter, Esc, Ctrl+Enter, Alt+Up and
// Alt+Down, typing with AutoDropDown, and the moves inside the list.
bool TDBGridInplaceEdit::ListKeys(TMessage& m)
{
    bool isKey = m.Msg != WM_CHAR;
    WORD key = WORD(m.WParam);
    TShiftState shift = isKey ? KeyDataToShiftState(m.LParam) : TShiftState{};
    bool calc = FActiveList && FActiveList == FCalculator.get();
    if (isKey) {
        if ((key == VK_RETURN || key == VK_ESCAPE) && FListVisible && !shift.Contains(ssAlt) && !calc) {
            DropQueuedChar(this);
            CloseUp(key == VK_RETURN);
            return true;
        }
        if (key == VK_RETURN && shift == TShiftState{ssCtrl} && !FListVisible) {
            DropQueuedChar(this);
            DropDown();
            return true;
        }
        if ((key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt)) {
            if (FListVisible) CloseUp(true);
            else DropDown();
            return true;
        }
    } else if (m.WParam >= 32 && !FListVisible && Column() && Column()->AutoDropDown()) {
        DropDown();
    }
    if (!FListVisible || !FActiveList) return false;
    if (calc) {
        if (isKey && key == VK_ESCAPE) {
            DropQueuedChar(this);
            FCalculator->Perform(WM_KEYDOWN, VK_ESCAPE, m.LParam);
            return true;
        }
        if (isKey && key == VK_RETURN) {
            DropQueuedChar(this);
            FCalculator->Perform(WM_CHAR, 13, m.LParam);
            return true;
        }
        if (!isKey && m.WParam >= 32 && m.WParam <= 126) {
            FCalculator->Perform(WM_CHAR, m.WParam, m.LParam);
            return true;
        }
        return false;
    }
    if (!isKey) return false;
    if (FActiveList == FCalendar.get()) {
        int days = 0;
        switch (key) {
        case VK_LEFT: days = -1; break;
        case VK_RIGHT: days = 1; break;
        case VK_UP: days = -7; break;
        case VK_DOWN: days = 7; break;
        default: break;
        }
        if (days != 0 && !shift.Contains(ssAlt)) {
            FCalendar->SetDate(FCalendar->Date() + days);
            return true;
        }
        if (key == VK_PRIOR || key == VK_NEXT) {
            FCalendar->SetDate(IncMonth(FCalendar->Date(), key == VK_PRIOR ? -1 : 1));
            return true;
        }
        return false;
    }
    if (FActiveList == FDataList.Get()) {
        bool plain = !shift.Contains(ssShift) && !shift.Contains(ssAlt) &&
                     (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT);
        if (!plain && !(shift.Contains(ssCtrl) && (key == VK_HOME || key == VK_END))) return false;
        WORD k = key;
        FDataList->KeyDown(k, shift);
        FSettingText = true;
        SetText(FDataList->SelectedText());
        FSettingText = false;
        SelectAll();
        return true;
    }
    if (FActiveList == FPickList.get() && FPickList->MoveByKey(key, shift)) {
        int sel = FPickList->ItemIndex();
        if (sel >= 0 && FPickList->Items()->Strings(sel) != Text()) {
            FSettingText = true;
            SetText(FPickList->Items()->Strings(sel));
            FSettingText = false;
            SelectAll();
        }
        return true;
    }
    return false;
}

bool TDBGridInplaceEdit::MRUKeys(TMessage& m)
{
    if (!MRUListDroppedDown()) return false;
    if (m.Msg == WM_CHAR) {
        if (m.WParam == 13 || m.WParam == 27) {
            CloseUpMRUList(m.WParam == 13);
            return true;
        }
        return false;
    }
    return FMRUListControl->MoveByKey(WORD(m.WParam), KeyDataToShiftState(m.LParam));
}

void TDBGridInplaceEdit::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR: {
        bool listStyle = FDBEditStyle == esPickList || FDBEditStyle == esLookupList ||
                         FDBEditStyle == esDateCalendar || CalculatorApplies();
        if (listStyle && ListKeys(m)) return;
        if (MRUKeys(m)) return;
        break;
    }
    case WM_PASTE:
        if (HandlePaste()) return;
        break;
    case WM_MENUCLOSEDEH:
        return;
    case WM_KILLFOCUS:
        CloseUp(false);
        CloseUpMRUList(false);
        break;
    case WM_CANCELMODE:
        CloseUp(false);
        CloseUpMRUList(false);
        break;
    case CM_VISIBLECHANGED:
        if (!m.WParam) {
            CloseUp(false);
            CloseUpMRUList(false);
        }
        break;
    default:
        break;
    }
    TWeakRef<TControl> guard(this);
    TInplaceEdit::WndProc(m);
    if (!guard || !FUserTextChanged) return;
    FUserTextChanged = false;
    TColumnEh* c = Column();
    TMRUListEh* mru = c ? c->MRUList() : nullptr;
    if (MRUListDroppedDown() && Text().empty()) CloseUpMRUList(false);
    else if (mru && mru->Active() && Showing() && !FListVisible && !Text().empty()) DropDownMRUList();
}

void TDBGridInplaceEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c) {
        TInplaceEdit::KeyDown(key, shift);
        return;
    }
    bool listColumn = FDBEditStyle == esLookupList || IsKeyListColumn();
    if (key == VK_RETURN && shift == TShiftState{ssCtrl} &&
        (FDBEditStyle == esEllipsis || FDBEditStyle == esDropDownButton)) {
        DropQueuedChar(this);
        g->DoEditButtonClick();
        key = 0;
        return;
    }
    if (key == VK_DELETE && shift.Empty() && listColumn && c->CanModify(false)) {
        DeleteOnList(key);
        if (key == 0) return;
    } else if (key == VK_BACK && listColumn) {
        BackspaceOnList(key);
        return;
    }
    if (FWordWrap && (key == VK_UP || key == VK_DOWN) && shift.Empty()) {
        std::string t = Text();
        int caret = CaretIndex();
        bool firstLine = LeftChars(t, caret).find('\n') == std::string::npos;
        bool lastLine = RightFrom(t, caret).find('\n') == std::string::npos;
        bool allSelected = SelLength() == GetTextLen();
        bool leave = g->Options().Contains(dgAlwaysShowEditor) &&
                     ((key == VK_UP && firstLine) || (key == VK_DOWN && lastLine) || allSelected);
        if (!leave) {
            TCustomEdit::KeyDown(key, shift);
            return;
        }
    }
    TShortCut sc = ShortCut(key, shift);
    if (FDBEditStyle == esLookupList && sc == c->DropDownSpecRow()->ShortCut() && c->DropDownSpecRow()->Visible()) {
        ChooseSpecRow();
        key = 0;
        return;
    }
    // The find dialog opens on the text selected in the editor.
    const bool incSearch = sc == DBGridEh::IncSearchShortCut && g->OptionsEh().Contains(dghIncSearch);
    const bool findKey = sc == DBGridEh::FindDialogShortCut && g->OptionsEh().Contains(dghDialogFind);
    if (findKey && (!incSearch || (g->IncSearching() && DBGridEh::FindDialogShortCut == DBGridEh::IncSearchShortCut))) {
        if (g->IncSearching()) g->StopIncrementalSearch();
        std::string selected = SelText();
        key = 0;
        if (DBGridEh::FindDialogProc) DBGridEh::FindDialogProc(g, selected);
        return;
    }
    if ((key == VK_RETURN && shift.Empty() && g->OptionsEh().Contains(dghEnterAsTab)) ||
        sc == DBGridEh::CopyPriorValueShortCut || incSearch || findKey) {
        WORD k = key;
        g->KeyDown(k, shift);
        key = 0;
        return;
    }
    if (TEditButtonEh* b = ButtonForShortCut(sc)) {
        for (size_t i = 1; i < FButtons.Count(); ++i) {
            if (c->EditButtons()->Items(int(i) - 1) != b) continue;
            bool autoRepeat = false, handled = false;
            ButtonPressed(FButtons.Control(i), true, autoRepeat, handled);
            ButtonClicked(FButtons.Control(i));
        }
        key = 0;
        return;
    }
    TInplaceEdit::KeyDown(key, shift);
}

// The special row's shortcut (Alt+Del) on a lookup column takes the value
// the row stands for, shown by the row's first cell text.
void TDBGridInplaceEdit::ChooseSpecRow()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!c->CanModify(false) || !c->CanModify(true) || !LookupKeysModifiable()) return;
    TSpecRowEh* row = c->DropDownSpecRow();
    std::string text = row->CellText(0);
    g->SetEditorValue(row->Value());
    g->SetEditorText(text);
    FSettingText = true;
    SetText(text);
    FSettingText = false;
    SetModified(true);
    if (TPopupDataGridEh* list = FDataList.Get(); list && FListVisible) list->SetKeyValue(row->Value());
    SelectAll();
}

// Delete on a lookup or key-list column: all text selected clears the
// value; otherwise only a column that takes texts outside its list lets
// part of the text go.
void TDBGridInplaceEdit::DeleteOnList(WORD& key)
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    bool allSelected = SelStart() == 0 && SelLength() == GetTextLen();
    if (allSelected && c->CanModify(true)) {
        if (FDBEditStyle == esLookupList && LookupKeysModifiable()) {
            g->SetEditorValue(Null());
            g->SetEditorText("");
            SetText("");
            SetModified(true);
        } else if (IsKeyListColumn()) {
            SetText("");
            SetModified(true);
            g->SetEditorText("");
            g->SetEditorValue(Null());
        }
        key = 0;
        return;
    }
    if (!c->OnNotInList) {
        key = 0;
        return;
    }
    if (c->CanModify(true)) {
        int start = SelStart();
        std::string t = Text();
        std::string rest = LeftChars(t, start) + RightFrom(t, start + SelLength());
        SetTextKeepingList(rest, start);
        SetSelLength(0);
        SyncListToText();
    }
}

void TDBGridInplaceEdit::BackspaceOnList(WORD& key)
{
    TColumnEh* c = Column();
    key = 0;
    if (!c->OnNotInList) {
        // Backspace moves the caret; a closed list loses no part of its text.
        int at = std::max(0, SelStart() - 1);
        SetSelLength(0);
        SetSelStart(at);
        return;
    }
    std::string t = Text();
    int start = SelStart();
    int len = SelLength();
    if (len == 0 && start > 0) {
        --start;
        len = 1;
    }
    if (!c->CanModify(true)) return;
    SetTextKeepingList(LeftChars(t, start) + RightFrom(t, start + len), start);
    SetSelLength(0);
    SyncListToText();
}

// Sets the text the user is typing (marked modified) with the caret at
// selStart and the rest selected.
void TDBGridInplaceEdit::SetTextKeepingList(const std::string& text, int selStart)
{
    FSettingText = true;
    SetText(text);
    FSettingText = false;
    SetModified(true);
    int len = CharCount(text);
    SetSelStart(std::min(selStart, len));
    SetSelLength(len - std::min(selStart, len));
    UpdateImageIndex();
}

void TDBGridInplaceEdit::SyncListToText()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c || !c->CanModify(false)) return;
    g->SetEditorText(Text());
    if (FDBEditStyle == esLookupList) {
        TDataSet* list = c->LookupListDataSet();
        TField* f = c->Field();
        if (!list || !f) return;
        if (list->Locate(f->LookupResultField(), Text(), TLocateOptions{loCaseInsensitive}))
            g->SetEditorValue(list->FieldValues(f->LookupKeyFields()));
        else g->SetEditorValue(Null());
        if (FDataList && FListVisible) FDataList->SetKeyValue(g->EditorValue());
    } else if (FPickList && FListVisible) {
        FPickList->SetItemIndex(StringsLocate(FPickList->Items(), Text(), false));
    }
}

void TDBGridInplaceEdit::KeyPress(char& key)
{
    // A Chinese character arrives as its two bytes; completion takes it whole.
    std::string typed(1, key);
    if (FPendingLead) {
        typed = GbkToUtf8(std::string{FPendingLead, key});
        FPendingLead = 0;
    } else if (uint8_t(key) >= 0x81 && uint8_t(key) <= 0xFE) {
        FPendingLead = key;
        TInplaceEdit::KeyPress(key);
        if (key == 0) FPendingLead = 0;
        return;
    }
    if (key != 0 && TypeAhead(typed)) {
        key = 0;
        return;
    }
    if (key == 10 && !FWordWrap) {
        key = 0;
        return;
    }
    TInplaceEdit::KeyPress(key);
}

void TDBGridInplaceEdit::KeyUp(WORD& key, TShiftState shift) { TInplaceEdit::KeyUp(key, shift); }

int TDBGridInplaceEdit::StringsLocate(TStrings* strings, const std::string& text, bool partial)
{
    if (!strings) return -1;
    for (int i = 0; i < strings->Count(); ++i) {
        const std::string& s = strings->Strings(i);
        if (AnsiCompareText(s, text) == 0 || (partial && StartsWithText(s, text))) return i;
    }
    return -1;
}

bool TDBGridInplaceEdit::TypeAhead(const std::string& text)
{
    if (text.size() == 1 && uint8_t(text[0]) < 32 && text[0] != 8) return false;
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c) return false;
    bool back = text == "\b";
    std::string candidate = LeftChars(Text(), SelStart()) + text;
    if (FDBEditStyle == esLookupList) {
        TDataSet* list = c->LookupListDataSet();
        TField* f = c->Field();
        if (!list || !f || !g->CanEditCurrentRecord() || !g->PrepareEdit()) return false;
        if (back) return true;
        if (list->Locate(f->LookupResultField(), candidate, TLocateOptions{loCaseInsensitive, loPartialKey})) {
            std::string full = list->FieldByName(f->LookupResultField())->Text();
            SetTextKeepingList(full, CharCount(candidate));
            g->SetEditorValue(list->FieldValues(f->LookupKeyFields()));
            g->SetEditorText(full);
            if (FDataList && FListVisible) FDataList->SetKeyValue(g->EditorValue());
        } else if (c->OnNotInList) {
            SetTextKeepingList(candidate, CharCount(candidate));
            g->SetEditorValue(Null());
            g->SetEditorText(candidate);
        }
        return true;
    }
    bool keyList = IsKeyListColumn();
    if (!keyList && FDBEditStyle != esPickList) return false;
    if (!g->PrepareEdit()) return false;
    if (back) return keyList;
    TStrings* pick = c->PickList();
    int i = StringsLocate(pick, candidate, true);
    if (keyList && i >= c->KeyList()->Count()) i = -1;
    if (i >= 0) {
        std::string full = pick->Strings(i);
        SetTextKeepingList(full, CharCount(candidate));
        g->SetEditorText(full);
        if (keyList) g->SetEditorValue(c->KeyList()->Strings(i));
        if (FPickList && FListVisible) FPickList->SetItemIndex(i);
        return true;
    }
    if (keyList && c->OnNotInList) {
        SetTextKeepingList(candidate, CharCount(candidate));
        g->SetEditorValue(Null());
        g->SetEditorText(candidate);
        if (FPickList && FListVisible) FPickList->SetItemIndex(-1);
    }
    return keyList;
}

// Paste into a lookup or key-list column takes only what the list holds
// (or what OnNotInList may add); other columns paste as any edit does.
bool TDBGridInplaceEdit::HandlePaste()
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (!g || !c) return false;
    if (!g->CanEditCurrentRecord() || !c->CanModify(false)) return true;
    bool lookup = FDBEditStyle == esLookupList;
    if (!lookup && !IsKeyListColumn()) return false;
    if (!Clipboard()->HasFormat(CF_TEXT)) return true;
    std::string t = Text();
    int start = SelStart();
    std::string head = LeftChars(t, start) + Clipboard()->AsText();
    std::string candidate = head + RightFrom(t, start + SelLength());
    std::string text;
    Variant key = Null();
    bool found = false;
    if (lookup) {
        TDataSet* list = c->LookupListDataSet();
        TField* f = c->Field();
        if (!list || !f) return true;
        found = list->Locate(f->LookupResultField(), candidate, TLocateOptions{loCaseInsensitive, loPartialKey});
        if (found) {
            text = list->FieldByName(f->LookupResultField())->Text();
            key = list->FieldValues(f->LookupKeyFields());
        } else if (c->OnNotInList) {
            text = candidate;
        } else {
            return true;
        }
    } else {
        int i = StringsLocate(c->PickList(), candidate, true);
        if (i >= c->KeyList()->Count()) i = -1;
        found = i >= 0 && g->PrepareEdit();
        if (found) {
            text = c->PickList()->Strings(i);
            key = c->KeyList()->Strings(i);
            if (FPickList && FListVisible) FPickList->SetItemIndex(i);
        } else if (c->OnNotInList) {
            text = candidate;
        } else {
            return true;
        }
    }
    if (!g->PrepareEdit()) return true;
    SetTextKeepingList(text, found ? CharCount(candidate) : CharCount(text));
    if (!found) SetSelLength(0);
    g->SetEditorValue(key);
    g->SetEditorText(text);
    return true;
}

// ---- recent values --------------------------------------------------------------------------------

void TDBGridInplaceEdit::Change()
{
    TInplaceEdit::Change();
    if (!FSettingText) UserTextChanged();
}

void TDBGridInplaceEdit::UserTextChanged()
{
    FUserTextChanged = true;
    UpdateImageIndex();
}

bool TDBGridInplaceEdit::MRUListDroppedDown() const { return FMRUListControl && FMRUListControl->Visible(); }

void TDBGridInplaceEdit::DropDownMRUList()
{
    TColumnEh* c = Column();
    TMRUListEh* mru = c ? c->MRUList() : nullptr;
    if (!mru) return;
    if (!FMRUListControl) {
        FMRUListControl = std::make_unique<TMRUListboxEh>(this);
        FMRUListControl->OnRelease = [this](bool inside) { CloseUpMRUList(inside); };
    }
    TStrings* items = FMRUListControl->Items();
    if (!mru->CollectMatches(items, Text()) || items->Count() == 0) {
        CloseUpMRUList(false);
        return;
    }
    bool first = !MRUListDroppedDown();
    TRect er = GetEditRect();
    TPoint topLeft = ClientToScreen(Point(er.Left, 0));
    TRect owner = Rect(topLeft.X, topLeft.Y, topLeft.X + er.Width(), topLeft.Y + Height());
    int width = mru->Width() > er.Width() ? mru->Width() : er.Width();
    FMRUListControl->ShowUnder(owner, first, Color(), Font(), width, std::min(items->Count(), std::max(1, mru->Rows())));
    if (first) {
        mru->SetDroppedDown(true);
        mru->NotifyDropDown();
    }
}

void TDBGridInplaceEdit::CloseUpMRUList(bool accept)
{
    if (!MRUListDroppedDown()) return;
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
    FMRUListControl->HideList();
    TMRUListEh* mru = c ? c->MRUList() : nullptr;
    if (mru) {
        // The size a user gave the list stays for the next time.
        if (FMRUListControl->Resized()) {
            mru->SetRows(FMRUListControl->ShownRows());
            mru->SetWidth(FMRUListControl->Width());
        }
        mru->SetDroppedDown(false);
        mru->NotifyCloseUp(accept);
    }
    std::string chosen = FMRUListControl->SelectedText();
    if (accept && g && !ReadOnly() && FMRUListControl->ItemIndex() >= 0 && g->PrepareEdit()) {
        FSettingText = true;
        SetText(chosen);
        FSettingText = false;
        SetModified(true);
        g->SetEditorText(chosen);
        if (Focused()) SelectAll();
    }
}

// ---- image, required mark, mouse -----------------------------------------------------------------

void TDBGridInplaceEdit::UpdateImageIndex()
{
    TColumnEh* c = Column();
    TCustomImageList* images = ColumnImages();
    int index = -1;
    if (c && images) {
        TField* f = c->Field();
        if (!c->HasPickList() && f && IsIntegerType(f->DataType())) index = f->IsNull() ? -1 : f->AsInteger();
        else index = c->PickList()->IndexOf(Text());
        if (index < 0) index = c->NotInKeyListIndex();
    }
    if (index == FImageIndex) return;
    FImageIndex = index;
    Invalidate();
}

bool TDBGridInplaceEdit::RequiredStateShown() const
{
    TCustomDBGridEh* g = DBGrid();
    TColumnEh* c = Column();
    TField* f = c ? c->Field() : nullptr;
    if (!g || !f || !c->HighlightRequired() || !g->DataLink()->Active()) return false;
    bool draw = g->DataLink()->DataSet()->State() == dsInsert && f->Required() && f->IsNull();
    if (c->OnCheckDrawRequiredState) c->OnCheckDrawRequiredState(c, Text(), draw);
    return draw;
}

void TDBGridInplaceEdit::DrawRequiredState(TCanvas* canvas)
{
    if (!RequiredStateShown()) return;
    TRect r = GetEditRect();
    canvas->Pen()->SetColor(clRed);
    canvas->Pen()->SetWidth(1);
    int length = r.Right - 3 - (r.Left + 2);
    if (length > 0) ToolCtrlsEh::DrawDottedLine(canvas, Point(r.Left + 2, ClientHeight() - 1), length, false, true);
}

void TDBGridInplaceEdit::PaintWindow(HDC dc)
{
    TInplaceEdit::PaintWindow(dc);
    TCanvas canvas;
    canvas.SetHandle(dc);
    int indent = TreeIndent();
    if (indent > 0) {
        TRect boxes = IsRightToLeft() ? Rect(Width() - indent, 0, Width(), Height()) : Rect(0, 0, indent, Height());
        DBGrid()->DrawTreeBoxes(&canvas, boxes, Color(), false);
    }
    DrawRequiredState(&canvas);
    TColumnEh* c = Column();
    TCustomImageList* images = ColumnImages();
    if (c && images && c->ShowImageAndText() && FImageIndex >= 0 && Visible()) {
        TRect r = Rect(2 + indent, 0, images->Width() + 2 + indent, Height());
        canvas.Brush()->SetColor(Color());
        canvas.FillRect(r);
        ToolCtrlsEh::PaintCentredImage(&canvas, r, images, false, FImageIndex);
    }
    canvas.SetHandle(nullptr);
}

void TDBGridInplaceEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TWeakRef<TControl> guard(this);
    // A press on the node's own box (the last before the text) shows or hides its children.
    int indent = TreeIndent();
    if (indent > 0 && button == mbLeft && x >= indent - DBGridEh::TreeBoxWidth && x < indent) {
        DBGrid()->ExpandCurrentNode(0);
        if (!guard) return;
    }
    TInplaceEdit::MouseDown(button, shift, x, y);
    if (!guard) return;
    TColumnEh* c = Column();
    if (button == mbLeft && shift.Contains(ssDouble) && c && c->DblClickNextVal()) StepValue(!shift.Contains(ssShift));
}

bool TDBGridInplaceEdit::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (FListVisible) return true;
    return TInplaceEdit::DoMouseWheel(shift, wheelDelta, mousePos);
}
