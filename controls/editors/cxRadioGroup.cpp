#include "cxRadioGroup.h"

#include "Forms.h"
#include "Windows.h"
#include "cxEditUtils.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxRadioGroupItem, TcxButtonGroupItem)
QZ_CLASS_IMPL(TcxRadioGroupItems, TcxButtonGroupItems)
QZ_CLASS_IMPL(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
QZ_CLASS_IMPL(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
QZ_CLASS_IMPL(TcxRadioButton, TRadioButton)
QZ_CLASS_IMPL(TcxCustomRadioGroupButton, TcxRadioButton)
QZ_CLASS_IMPL(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
QZ_CLASS_IMPL(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
QZ_CLASS_IMPL(TcxCustomRadioGroup, TcxCustomButtonGroup)
QZ_CLASS_IMPL(TcxRadioGroup, TcxCustomRadioGroup)

using cxClasses::GetResourceString;

namespace {
const TcxResourceStringRec scxSEditRepositoryRadioGroupItem = {"scxSEditRepositoryRadioGroupItem",
                                                               "RadioGroup|Represents a group of radio buttons"};
const TcxResourceStringRec cxSRadioGroupDefaultCaption = {"cxSRadioGroupDefaultCaption", ""};

TcxButtonState ToButtonState(int AGlyphState)
{
    switch (AGlyphState) {
    case 0: return cxbsDisabled;
    case 1: return cxbsHot;
    case 3: return cxbsPressed;
    default: return cxbsNormal;
    }
}
}  // namespace

namespace cxRadioGroup {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxRadioGroupProperties::StaticClass()) < 0)
        r->Register(TcxRadioGroupProperties::StaticClass(), GetResourceString(&scxSEditRepositoryRadioGroupItem));
}

TSize MeasureRadioGlyph() { return cxLookAndFeelPainters::RadioButtonSize(); }
}  // namespace cxRadioGroup

// ---- items ---------------------------------------------------------------------------------------------------------

TcxRadioGroupItem::TcxRadioGroupItem(TCollection* ACollection) : TcxButtonGroupItem(ACollection) { FValue = Null(); }

void TcxRadioGroupItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TcxRadioGroupItem*>(Source)) FValue = s->FValue;
    TcxButtonGroupItem::Assign(Source);
}

void TcxRadioGroupItem::SetValue(const Variant& AValue)
{
    if (cxEdit::VarEqualsExact(AValue, FValue)) return;
    FValue = AValue;
    ItemChanged();
}

// ---- properties -------------------------------------------------------------------------------------------------

TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties(TPersistent* AOwner)
    : TcxCustomButtonGroupProperties(AOwner)
{
    InitItems();
    FDefaultCaption = GetResourceString(&cxSRadioGroupDefaultCaption);
    FDefaultValue = Null();
}

TClass TcxCustomRadioGroupProperties::GetEditClass() const { return TcxRadioGroup::StaticClass(); }
TClass TcxCustomRadioGroupProperties::GetViewInfoClass() const { return TcxCustomRadioGroupViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomRadioGroupProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                      bool AIsInplace)
{
    auto d = std::make_unique<TcxCustomRadioGroupViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

std::unique_ptr<TcxButtonGroupItems> TcxCustomRadioGroupProperties::CreateItems()
{
    return std::make_unique<TcxRadioGroupItems>(this);
}

void TcxCustomRadioGroupProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomRadioGroupProperties*>(Source);
    if (!s) {
        TcxCustomButtonGroupProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomButtonGroupProperties::Assign(Source);
        SetDefaultCaption(s->FDefaultCaption);
        SetDefaultValue(s->FDefaultValue);
        SetWordWrap(s->WordWrap());
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

int TcxCustomRadioGroupProperties::GetColumnCount()
{
    return std::max(1, std::min(Columns(), Items()->Count()));
}

int TcxCustomRadioGroupProperties::FindItemIndex(const Variant& AEditValue)
{
    for (int i = 0; i < Items()->Count(); ++i) {
        TcxRadioGroupItem* item = Items()->Items(i);
        if (item->Value().IsNull()) {
            if (!AEditValue.IsNull() && item->Caption() == VarToStr(AEditValue)) return i;
        } else if (cxVariants::VarEqualsEx(item->Value(), AEditValue)) {
            return i;
        }
    }
    return -1;
}

Variant TcxCustomRadioGroupProperties::ItemIndexToEditValue(int AIndex)
{
    if (AIndex < 0 || AIndex >= Items()->Count()) return FDefaultValue;
    TcxRadioGroupItem* item = Items()->Items(AIndex);
    return item->Value().IsNull() ? Variant(item->Caption()) : item->Value();
}

std::string TcxCustomRadioGroupProperties::GetDisplayText(const Variant& AEditValue, bool)
{
    int i = FindItemIndex(AEditValue);
    return i >= 0 ? Items()->Items(i)->Caption() : FDefaultCaption;
}

uint16_t TcxCustomRadioGroupProperties::GetSupportedOperations()
{
    uint16_t ops = 0x1 | 0x2 | 0x4 | 0x8 | 0x80 | 0x100;
    if (Items()->Count() > 0) ops |= 0x10;
    return ops;
}

void TcxCustomRadioGroupProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool)
{
    DisplayValue = Variant(FindItemIndex(AEditValue));
}

void TcxCustomRadioGroupProperties::SetDefaultCaption(const std::string& Value)
{
    if (Value == FDefaultCaption) return;
    FDefaultCaption = Value;
    Changed();
}

bool TcxCustomRadioGroupProperties::IsDefaultCaptionStored() const
{
    return FDefaultCaption != GetResourceString(&cxSRadioGroupDefaultCaption);
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& Value)
{
    if (cxEdit::VarEqualsExact(Value, FDefaultValue)) return;
    FDefaultValue = Value;
    Changed();
}

// ---- the radio button --------------------------------------------------------------------------------------------

TcxRadioButton::TcxRadioButton(TComponent* AOwner) : TRadioButton(AOwner), FLookAndFeel(new TcxLookAndFeel(this))
{
    FLookAndFeel->AfterConstruction();
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { LookAndFeelChanged(); };
    TControlStyle cs = ControlStyle();
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
}

TcxRadioButton::~TcxRadioButton()
{
    if (FLookAndFeel) FLookAndFeel->OnChanged = nullptr;
}

void TcxRadioButton::CreateParams(TCreateParams& Params)
{
    TRadioButton::CreateParams(Params);
    // Painted here, through the painters.
    Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

TRect TcxRadioButton::GetTextMargins(bool ANative)
{
    if (IsInplace()) return ANative ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0};
    bool left = Alignment() == taLeftJustify;
    if (!ANative) {
        if (!WordWrap()) return left ? TRect{2, -1, 1, 0} : TRect{5, -1, 0, 0};
        return left ? TRect{2, -1, 6, 0} : TRect{5, -1, 2, 0};
    }
    if (!WordWrap()) return left ? TRect{0, -1, 1, 0} : TRect{3, -1, 0, 0};
    return left ? TRect{0, -1, 3, 0} : TRect{3, -1, 0, 0};
}

void TcxRadioButton::UpdateButtonState(int, TShiftState AShift, const TPoint& P)
{
    int state;
    bool inside = PtInRect(TRect{0, 0, Width(), Height()}, P);
    if (!Enabled()) state = 0;
    else if (ComponentState().Contains(csDesigning)) state = 2;
    else if (FCaptured) state = inside ? 3 : 1;
    else state = inside && AShift.Empty() ? 1 : 2;
    if (state == FGlyphState) return;
    FGlyphState = state;
    Invalidate();
}

void TcxRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TRadioButton::MouseDown(Button, Shift, X, Y);
    FCaptured = Button == mbLeft;
    UpdateButtonState(int(Button) + 1, Shift, TPoint{X, Y});
}

void TcxRadioButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TRadioButton::MouseMove(Shift, X, Y);
    UpdateButtonState(0, Shift, TPoint{X, Y});
}

void TcxRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TRadioButton::MouseUp(Button, Shift, X, Y);
    FCaptured = false;
    UpdateButtonState(int(Button) + 1, Shift, TPoint{X, Y});
}

void TcxRadioButton::CMMouseEnter(TMessage& Message)
{
    inherited::Dispatch(Message);
    UpdateButtonState(0, GetShiftState(), ScreenToClient(Mouse ? Mouse->CursorPos() : TPoint{-1, -1}));
}

void TcxRadioButton::CMMouseLeave(TMessage& Message)
{
    inherited::Dispatch(Message);
    UpdateButtonState(0, TShiftState{}, TPoint{-1, -1});
}

void TcxRadioButton::CMEnabledChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    UpdateButtonState(0, TShiftState{}, TPoint{-1, -1});
}

void TcxRadioButton::DoEnter()
{
    TRadioButton::DoEnter();
    // Focus checks a radio button.
    if (!Checked() && !ComponentState().Contains(csLoading)) {
        bool keep = FClicksDisabled;
        FClicksDisabled = true;
        SetChecked(true);
        FClicksDisabled = keep;
        Click();
    }
}

void TcxRadioButton::CNDrawItem(TMessage& Message)
{
    auto* ds = reinterpret_cast<TDrawItemStruct*>(Message.LParam);
    if (!ds || !ds->DC) return;
    TCanvas canvas;
    canvas.SetHandle(ds->DC);
    TcxCanvas cx(&canvas);
    Paint(&cx);
    canvas.SetHandle(nullptr);
    Message.Result = 1;
}

void TcxRadioButton::Paint(TcxCanvas* ACanvas)
{
    TRect client{0, 0, Width(), Height()};
    TSize g = cxRadioGroup::MeasureRadioGlyph();
    int top = (client.Bottom - g.cy) / 2;
    // taRightJustify: the glyph left of the caption.
    bool glyphLeft = Alignment() == taRightJustify;
    int left = glyphLeft ? (IsInplace() ? 0 : 1) : client.Right - g.cx;
    FGlyphRect = TRect{left, top, left + g.cx, top + g.cy};
    TColor bg = Color();
    TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainter();
    painter->DrawRadioButton(ACanvas, FGlyphRect.Left, FGlyphRect.Top, ToButtonState(FGlyphState), Checked(),
                             Focused(), bg, ComponentState().Contains(csDesigning));
    ACanvas->SaveClipRegion();
    ACanvas->ExcludeClipRect(FGlyphRect);
    ACanvas->FillRect(client, bg);
    ACanvas->RestoreClipRegion();

    std::string caption = Caption();
    TRect text = glyphLeft ? TRect{FGlyphRect.Right, 0, client.Right, client.Bottom}
                           : TRect{0, 0, FGlyphRect.Left, client.Bottom};
    TRect m = GetTextMargins(false);
    text = TRect{text.Left + m.Left, text.Top + m.Top, text.Right - m.Right, text.Bottom - m.Bottom};
    TCanvas* c = ACanvas->Canvas();
    c->Font()->Assign(Font());
    c->Font()->SetColor(Enabled() ? Font()->Color() : clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    int flags = WordWrap() ? ctfLeft | ctfCenterV | ctfWordBreak | ctfNoClip | ctfShowPrefix
                           : ctfLeft | ctfCenterV | ctfSingleLine | ctfShowPrefix;
    if (!Enabled() && !dynamic_cast<TcxCustomRadioGroupButton*>(this)) {
        // A stand-alone button is embossed when disabled.
        c->Font()->SetColor(clBtnHighlight);
        ACanvas->DrawText(caption, TRect{text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1}, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    ACanvas->DrawText(caption, text, flags);
    c->Brush()->SetStyle(bsSolid);
    if (Focused() && !caption.empty()) {
        TSize ext = ACanvas->TextExtent(cxEditUtils::RemoveAccelChars(caption));
        TRect f{text.Left - 1, text.Top + (text.Bottom - text.Top - ext.cy) / 2 - 1, text.Left + ext.cx + 1,
                text.Top + (text.Bottom - text.Top - ext.cy) / 2 + ext.cy + 2};
        f.Left = std::max(f.Left, 0);
        f.Top = std::max(f.Top, 0);
        f.Right = std::min(f.Right, glyphLeft ? client.Right : FGlyphRect.Left);
        f.Bottom = std::min(f.Bottom, client.Bottom);
        c->Brush()->SetColor(bg);
        ACanvas->DrawFocusRect(f);
    }
}

// ---- a group's button ---------------------------------------------------------------------------------------------

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(TComponent* AOwner) : TcxRadioButton(AOwner)
{
    FRadioGroup = dynamic_cast<TcxCustomRadioGroup*>(AOwner);
    if (FRadioGroup) {
        FRadioGroup->AddButton(this);
        LookAndFeel()->SetMasterLookAndFeel(FRadioGroup->EditStyle()->LookAndFeel());
    }
}

TcxCustomRadioGroupButton::~TcxCustomRadioGroupButton()
{
    if (FRadioGroup) FRadioGroup->RemoveButton(this);
}

bool TcxCustomRadioGroupButton::IsInplace() const { return FRadioGroup && FRadioGroup->IsInplace(); }

void TcxCustomRadioGroupButton::NativeClicked()
{
    if (FInClick || !FRadioGroup) return;
    // A click may check the button only when the group may change.
    if (!FRadioGroup->CanCheckButton(this)) return;
    FInClick = true;
    try {
        TcxRadioButton::NativeClicked();
        FRadioGroup->ButtonEntered(this);
    } catch (...) {
        FInClick = false;
        throw;
    }
    FInClick = false;
}

void TcxCustomRadioGroupButton::DoEnter()
{
    // The group decides whether the focus may check this button.
    TRadioButton::DoEnter();
    if (FRadioGroup) FRadioGroup->ButtonEntered(this);
}

void TcxCustomRadioGroupButton::DoExit()
{
    TcxRadioButton::DoExit();
    if (FRadioGroup) FRadioGroup->ShortRefreshContainer(false);
}

void TcxCustomRadioGroupButton::CNKeyDown(TMessage& Message)
{
    // Taken before the platform's button sees the arrow (it would move the
    // focus to the next control in the tab order as well).
    WORD key = WORD(Message.WParam);
    if (FRadioGroup && GetShiftState().Empty() && key >= VK_LEFT && key <= VK_DOWN) {
        FRadioGroup->MoveFocusByKey(key);
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TcxCustomRadioGroupButton::WMGetDlgCode(TMessage& Message)
{
    inherited::Dispatch(Message);
    // The group moves through its columns itself.
    Message.Result |= DLGC_WANTARROWS;
}

void TcxCustomRadioGroupButton::KeyPress(char& Key)
{
    if ((Key == ' ' || Key == 8) && FRadioGroup && !FRadioGroup->CanModify()) {
        Key = 0;
        return;
    }
    TcxRadioButton::KeyPress(Key);
}

// ---- view data and view info -------------------------------------------------------------------------------------

TcxButtonGroupButtonMetrics TcxCustomRadioGroupViewData::GetButtonMetrics()
{
    TcxButtonGroupButtonMetrics m;
    bool inplace = IsInplace();
    TSize g = cxRadioGroup::MeasureRadioGlyph();
    m.TextGap = 3;
    m.WidthAdjustment = inplace ? -5 : -6;
    m.HorizontalSpace = 7;
    m.ExtraTotalWidth = inplace ? 1 : 6;
    m.LeftMargin = inplace ? 1 : 6;
    m.PositionWidthAdjustment = inplace ? -2 : -6;
    m.ColumnSpacing = 0;
    m.GlyphWidth = g.cx;
    m.GlyphHeight = g.cy;
    return m;
}

void TcxCustomRadioGroupViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                            TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    if (auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo)) {
        vi->GlyphOnLeft = true;
        vi->GlyphSize = cxRadioGroup::MeasureRadioGlyph();
    }
    TcxButtonGroupViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
}

void TcxCustomRadioGroupViewData::PrepareDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                   TcxCustomEditViewInfo* AViewInfo)
{
    auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
    if (!vi) return;
    Variant index;
    Properties()->PrepareDisplayValue(AEditValue, index, Focused);
    vi->ItemIndex = index.AsInteger();
}

void TcxCustomRadioGroupViewInfo::DrawGroupButton(TcxCanvas* ACanvas, int AIndex)
{
    // Stand-alone, the child buttons paint themselves.
    if (!IsInplace) return;
    const TcxGroupBoxButtonViewInfo* b = GroupButtons[size_t(AIndex)].get();
    const TRect& r = b->Bounds;
    int top = r.Top + (r.Bottom - r.Top - GlyphSize.cy) / 2;
    int left = GlyphOnLeft ? r.Left : r.Right - GlyphSize.cx;
    TRect glyph{left, top, left + GlyphSize.cx, top + GlyphSize.cy};
    TcxCustomLookAndFeelPainterClass painter = b->ButtonStyle == btsFlat       ? TcxFlatLookAndFeelPainter::Instance()
                                               : b->ButtonStyle == btsUltraFlat ? TcxUltraFlatLookAndFeelPainter::Instance()
                                                                                : TcxStandardLookAndFeelPainter::Instance();
    TcxButtonState state = b->State == ebsDisabled ? cxbsDisabled
                           : b->State == ebsPressed ? cxbsPressed
                           : b->State == ebsHot     ? cxbsHot
                                                    : cxbsNormal;
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(r);
    painter->DrawRadioButton(ACanvas, glyph.Left, glyph.Top, state, AIndex == ItemIndex, false, FillColor);
    ACanvas->ExcludeClipRect(glyph);
    ACanvas->FillRect(r, FillColor);
    ACanvas->RestoreClipRegion();
    TRect text = GlyphOnLeft ? TRect{glyph.Right + 5, r.Top, r.Right - 1, r.Bottom}
                             : TRect{r.Left + 5, r.Top, glyph.Left - 1, r.Bottom};
    TCanvas* c = ACanvas->Canvas();
    c->Font()->Assign(Font);
    c->Font()->SetColor(TextColor);
    c->Brush()->SetStyle(bsClear);
    ACanvas->DrawText(b->Caption, text, TextFlags);
    c->Brush()->SetStyle(bsSolid);
}

// ---- the radio group -----------------------------------------------------------------------------------------------

TcxCustomRadioGroup::TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace) : TcxCustomButtonGroup(AOwner, AIsInplace)
{
    InitializeEdit();
    TControlStyle cs{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable};
    if (ControlStyle().Contains(csParentBackground)) cs.Include(csParentBackground);
    SetControlStyle(cs);
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 105);
    SetParentColor(!IsInplace());
    UpdateCaptionFont();
    UpdateButtons();
}

TWinControl* TcxCustomRadioGroup::CreateButton() { return new TcxCustomRadioGroupButton(this); }

void TcxCustomRadioGroup::CheckButton(int AIndex, bool AChecked)
{
    if (AIndex < 0 || AIndex >= ButtonCount()) return;
    TcxCustomRadioGroupButton* b = RadioButton(AIndex);
    bool keep = FInternalUpdate;
    FInternalUpdate = true;
    b->FInternalCheck = true;
    try {
        // Without the button's own click: the group tells of the change.
        TMessage m{BM_SETCHECK, WPARAM(AChecked ? BST_CHECKED : BST_UNCHECKED), 0, 0};
        b->Dispatch(m);
        b->Invalidate();
    } catch (...) {
        b->FInternalCheck = false;
        FInternalUpdate = keep;
        throw;
    }
    b->FInternalCheck = false;
    FInternalUpdate = keep;
}

void TcxCustomRadioGroup::UpdateButtons()
{
    TcxCustomButtonGroup::UpdateButtons();
    if (!dynamic_cast<TcxCustomRadioGroupProperties*>(ActiveProperties())) return;
    TcxButtonGroupViewInfo* vi = ButtonGroupViewInfo();
    TcxLookAndFeelKind kind = lfStandard;
    if (vi && !vi->GroupButtons.empty()) {
        TcxEditButtonStyle s = vi->GroupButtons[0]->ButtonStyle;
        kind = s == btsFlat ? lfFlat : s == btsUltraFlat ? lfUltraFlat : lfStandard;
    }
    for (int i = 0; i < ButtonCount(); ++i) {
        TcxCustomRadioGroupButton* b = RadioButton(i);
        b->SetCaption(Properties()->Items()->Items(i)->Caption());
        b->LookAndFeel()->SetKind(kind);
        b->SetWordWrap(Properties()->WordWrap());
        CheckButton(i, i == FItemIndex);
    }
}

void TcxCustomRadioGroup::UpdateButtonBounds()
{
    TcxCustomButtonGroup::UpdateButtonBounds();
    TcxButtonGroupViewInfo* vi = ButtonGroupViewInfo();
    if (!vi) return;
    for (int i = 0; i < ButtonCount() && i < int(vi->GroupButtons.size()); ++i) {
        RadioButton(i)->Column = vi->GroupButtons[size_t(i)]->Column;
        RadioButton(i)->Row = vi->GroupButtons[size_t(i)]->Row;
    }
}

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& Value, bool AValidate)
{
    TcxCustomButtonGroup::InternalSetEditValue(Value, AValidate);
    Variant index;
    Properties()->PrepareDisplayValue(Value, index, Focused());
    int i = index.AsInteger();
    if (i != FItemIndex) {
        CheckButton(FItemIndex, false);
        FItemIndex = i;
        CheckButton(i, true);
        if (auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(ViewInfo())) vi->ItemIndex = i;
        if (i >= 0 && OnClick) OnClick(this);
        DoChange();
    }
    ShortRefreshContainer(false);
}

void TcxCustomRadioGroup::SetItemIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FHasStoredItemIndex = true;
        FStoredItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == FItemIndex) {
        if (!FUserSelection) SetModified(false);
        return;
    }
    CheckButton(FItemIndex, false);
    try {
        ChangeEditValue(Properties()->ItemIndexToEditValue(Value));
    } catch (...) {
        CheckButton(FItemIndex, true);
        throw;
    }
    // Two items may share a value: the index asked for is the one chosen.
    if (FItemIndex != Value) {
        CheckButton(FItemIndex, false);
        FItemIndex = Value;
        if (auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(ViewInfo())) vi->ItemIndex = Value;
    }
    CheckButton(Value, true);
}

bool TcxCustomRadioGroup::CanCheckButton(TcxCustomRadioGroupButton* AButton)
{
    int i = IndexOfButton(AButton);
    if (i == FItemIndex) return true;
    return CanModify() && DoEditing();
}

void TcxCustomRadioGroup::ButtonEntered(TcxCustomRadioGroupButton* AButton)
{
    int i = IndexOfButton(AButton);
    if (i < 0 || i == FItemIndex || FInternalUpdate) return;
    LockChangeEvents(true);
    try {
        if (CanModify() && (!AButton->Focused() || DoEditing())) {
            FUserSelection = AButton->Focused();
            UserChange([&] { SetItemIndex(i); });
            FUserSelection = false;
        }
    } catch (...) {
        FUserSelection = false;
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
    // A button unchecked by the platform when the change was refused checks again.
    for (int k = 0; k < ButtonCount(); ++k)
        if (RadioButton(k)->Checked() != (k == FItemIndex)) CheckButton(k, k == FItemIndex);
    if (AButton->Focused() && Properties()->ImmediatePost() && ModifiedAfterEnter() && ValidateEdit(false))
        PostEditValue(false);
}

void TcxCustomRadioGroup::Activate(std::unique_ptr<TcxCustomEditData>& AEditData)
{
    TcxCustomButtonGroup::Activate(AEditData);
    if (ButtonCount() == 0) return;
    TcxCustomRadioGroupButton* b = RadioButton(FItemIndex >= 0 && FItemIndex < ButtonCount() ? FItemIndex : 0);
    // Focusing the first button of a group without a choice must not choose it.
    bool keep = FInternalUpdate;
    FInternalUpdate = FItemIndex < 0;
    if (b->CanFocus()) b->SetFocus();
    FInternalUpdate = keep;
}

void TcxCustomRadioGroup::CMFocusButton(TMessage& Message)
{
    int i = int(Message.WParam);
    if (i >= 0 && i < ButtonCount() && RadioButton(i)->CanFocus()) RadioButton(i)->SetFocus();
}

void TcxCustomRadioGroup::Loaded()
{
    TcxCustomButtonGroup::Loaded();
    if (FHasStoredItemIndex) {
        FHasStoredItemIndex = false;
        SetItemIndex(FStoredItemIndex);
    }
}
