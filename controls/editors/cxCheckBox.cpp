#include "cxCheckBox.h"

#include "ActnList.h"
#include "ComponentStreams.h"
#include "Forms.h"
#include "Windows.h"
#include "cxEditPaintUtils.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxCheckEditPropertiesValues, TcxCustomEditPropertiesValues)
QZ_CLASS_IMPL(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
QZ_CLASS_IMPL(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
QZ_CLASS_IMPL(TcxCheckBoxStyle, TcxCustomEditStyle)
QZ_CLASS_IMPL(TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
QZ_CLASS_IMPL(TcxCustomCheckBox, TcxCustomEdit)
QZ_CLASS_IMPL(TcxCheckBox, TcxCustomCheckBox)

using cxClasses::GetResourceString;

namespace {
const TcxResourceStringRec cxSEditCheckBoxChecked = {"cxSEditCheckBoxChecked", "True"};
const TcxResourceStringRec cxSEditCheckBoxUnchecked = {"cxSEditCheckBoxUnchecked", "False"};
const TcxResourceStringRec scxSEditRepositoryCheckBoxItem = {
    "scxSEditRepositoryCheckBoxItem", "CheckBox|Represents a check box control that allows selecting an option"};

bool IsExactlyBoolean(const Variant& V, bool AValue)
{
    return cxEdit::VarEqualsExact(V, Variant(AValue));
}
}  // namespace

// ---- assigned values ----------------------------------------------------------------------------------

void TcxCheckEditPropertiesValues::Assign(TPersistent* Source)
{
    TcxCustomEditPropertiesValues::Assign(Source);
    if (auto* s = dynamic_cast<TcxCheckEditPropertiesValues*>(Source)) Caption = s->Caption;
}

void TcxCheckEditPropertiesValues::RestoreDefaults()
{
    TcxCustomEditPropertiesValues::RestoreDefaults();
    Caption = false;
}

// ---- properties --------------------------------------------------------------------------------------------

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner)
{
    ReplaceAssignedValues(std::make_unique<TcxCheckEditPropertiesValues>(this));
    FDisplayChecked = GetResourceString(&cxSEditCheckBoxChecked);
    FDisplayUnchecked = GetResourceString(&cxSEditCheckBoxUnchecked);
    FValueChecked = Variant(true);
    FValueGrayed = Null();
    FValueUnchecked = Variant(false);
}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() = default;

TClass TcxCustomCheckBoxProperties::GetEditClass() const { return TcxCheckBox::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetStyleClass() const { return TcxCheckBoxStyle::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetViewInfoClass() const { return TcxCustomCheckBoxViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomCheckBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                    bool AIsInplace)
{
    auto d = std::make_unique<TcxCustomCheckBoxViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

void TcxCustomCheckBoxProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomCheckBoxProperties*>(Source);
    if (!s) {
        TcxCustomEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomEditProperties::Assign(Source);
        FAllowGrayed = s->FAllowGrayed;
        if (s->IsCaptionAssigned()) SetCaption(s->FCaption);
        else {
            AssignedValues_()->Caption = false;
            FCaption = s->FCaption;
        }
        FDisplayChecked = s->FDisplayChecked;
        FDisplayGrayed = s->FDisplayGrayed;
        FDisplayUnchecked = s->FDisplayUnchecked;
        SetFullFocusRect(s->FFullFocusRect);
        SetGlyph(s->FGlyph.get());
        SetGlyphCount(s->FGlyphCount);
        SetMultiLine(s->FMultiLine);
        SetNullStyle(s->FNullStyle);
        // Copied as a whole: one at a time a new value could clash with an
        // old one and be refused.
        FValueChecked = s->FValueChecked;
        FValueGrayed = s->FValueGrayed;
        FValueUnchecked = s->FValueUnchecked;
        Changed();
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomCheckBoxProperties::DefineProperties(TFiler* Filer)
{
    TcxCustomEditProperties::DefineProperties(Filer);
    // The caption is stored only when the user set it (the name fills in otherwise).
    Filer->DefineProperty(
        "Caption", [this](TReader* r) { SetCaption(r->ReadString()); },
        [this](TWriter* w) { w->WriteString(FCaption); }, IsCaptionAssigned());
}

void TcxCustomCheckBoxProperties::RestoreDefaults()
{
    AssignedValues_()->Caption = false;
    TcxCustomEditProperties::RestoreDefaults();
}

void TcxCustomCheckBoxProperties::SetCaption(const std::string& Value)
{
    AssignedValues_()->Caption = true;
    if (Value != FCaption) {
        FCaption = Value;
        Changed();
    }
}

bool TcxCustomCheckBoxProperties::IsDisplayCheckedStored() const
{
    return FDisplayChecked != GetResourceString(&cxSEditCheckBoxChecked);
}

bool TcxCustomCheckBoxProperties::IsDisplayUncheckedStored() const
{
    return FDisplayUnchecked != GetResourceString(&cxSEditCheckBoxUnchecked);
}

void TcxCustomCheckBoxProperties::SetFullFocusRect(bool Value)
{
    if (Value == FFullFocusRect) return;
    FFullFocusRect = Value;
    Changed();
}

TBitmap* TcxCustomCheckBoxProperties::Glyph()
{
    if (!FGlyph) {
        FGlyph = std::make_unique<TBitmap>();
        FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
    }
    return FGlyph.get();
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* Value)
{
    if (!Value) FGlyph.reset();
    else Glyph()->Assign(Value);
    Changed();
}

void TcxCustomCheckBoxProperties::SetGlyphCount(int Value)
{
    if (Value == FGlyphCount) return;
    FGlyphCount = Value;
    if (FGlyph) Changed();
}

void TcxCustomCheckBoxProperties::SetMultiLine(bool Value)
{
    if (Value == FMultiLine) return;
    FMultiLine = Value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetNullStyle(TcxCheckBoxNullValueShowingStyle Value)
{
    if (Value == FNullStyle) return;
    FNullStyle = Value;
    Changed();
}

bool TcxCustomCheckBoxProperties::IsUnusedStateValue(const Variant& AValue) const
{
    return !cxEdit::VarEqualsExact(AValue, FValueChecked) && !cxEdit::VarEqualsExact(AValue, FValueGrayed) &&
           !cxEdit::VarEqualsExact(AValue, FValueUnchecked);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& Value)
{
    // Two states with one value could not be told apart.
    if (Value.IsNull() || !IsUnusedStateValue(Value)) return;
    FValueChecked = Value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& Value)
{
    if (!IsUnusedStateValue(Value)) return;
    FValueGrayed = Value;
    Changed();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value)
{
    if (Value.IsNull() || !IsUnusedStateValue(Value)) return;
    FValueUnchecked = Value;
    Changed();
}

bool TcxCustomCheckBoxProperties::IsValueCheckedStored() const { return !IsExactlyBoolean(FValueChecked, true); }
bool TcxCustomCheckBoxProperties::IsValueUncheckedStored() const { return !IsExactlyBoolean(FValueUnchecked, false); }

TcxCheckBoxState TcxCustomCheckBoxProperties::GetState(const Variant& AEditValue) const
{
    if (cxVariants::VarEqualsEx(AEditValue, FValueChecked)) return cbsChecked;
    if (cxVariants::VarEqualsEx(AEditValue, FValueUnchecked)) return cbsUnchecked;
    return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::StateToValue(TcxCheckBoxState AState) const
{
    switch (AState) {
    case cbsUnchecked: return FValueUnchecked;
    case cbsChecked: return FValueChecked;
    default: return FValueGrayed;
    }
}

void TcxCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool)
{
    DisplayValue = Variant(int(GetState(AEditValue)));
}

std::string TcxCustomCheckBoxProperties::GetDisplayText(const Variant& AEditValue, bool)
{
    switch (GetState(AEditValue)) {
    case cbsUnchecked: return FDisplayUnchecked;
    case cbsChecked: return FDisplayChecked;
    default: return FDisplayGrayed;
    }
}

bool TcxCustomCheckBoxProperties::IsEditValueValid(const Variant& AEditValue)
{
    return !IsUnusedStateValue(AEditValue);
}

// ---- view info ------------------------------------------------------------------------------------------------

void TcxCustomCheckBoxViewInfo::Assign(TObject* Source)
{
    TcxCustomTextEditViewInfo::Assign(Source);
    if (auto* s = dynamic_cast<TcxCustomCheckBoxViewInfo*>(Source)) {
        CheckBoxState = s->CheckBoxState;
        CheckBoxThemeState = s->CheckBoxThemeState;
    }
}

void TcxCustomCheckBoxViewInfo::OffsetBounds(int DX, int DY)
{
    TcxCustomTextEditViewInfo::OffsetBounds(DX, DY);
    OffsetRect(CheckBoxRect, DX, DY);
    OffsetRect(CheckBoxFocusRect, DX, DY);
}

TcxCheckBoxPaintData TcxCustomCheckBoxViewInfo::PaintData() const
{
    TcxCheckBoxPaintData d;
    d.Bounds = ContentRect;
    d.CheckRect = CheckBoxRect;
    d.State = State;
    d.ButtonState = CheckBoxState;
    d.Focused = Focused && !IsInplace;
    d.AllowGrayed = AllowGrayed;
    d.NullValueShowingStyle = NullStyle;
    d.BorderStyle = CheckBorderStyle;
    d.HotTracked = HotTrackState == 2;
    d.BackgroundColor = FillColor;
    d.BorderColor = CheckBorderColor;
    d.Transparent = IsTransparentBackground || Transparent;
    d.Glyph = IsGlyphValid ? Glyph : nullptr;
    d.GlyphCount = GlyphCount;
    d.TextRect = TextRect;
    d.Font = Font;
    d.TextColor = TextColor;
    return d;
}

void TcxCustomCheckBoxViewInfo::Paint(TcxCanvas* ACanvas)
{
    // The mark and the background; the caption is drawn with its flags below.
    cxEditUtils::DrawCheckBox(ACanvas, PaintData());
    PaintText(ACanvas);
}

void TcxCustomCheckBoxViewInfo::PaintText(TcxCanvas* ACanvas)
{
    if (Text.empty() || IsRectEmpty(TextRect)) return;
    if (Font) ACanvas->SetFont(Font);
    TCanvas* c = ACanvas->Canvas();
    c->Brush()->SetStyle(bsClear);
    if (!Enabled) {
        c->Font()->SetColor(clBtnHighlight);
        ACanvas->DrawText(Text, TRect{TextRect.Left + 1, TextRect.Top + 1, TextRect.Right + 1, TextRect.Bottom + 1},
                          TextFlags);
        c->Font()->SetColor(clBtnShadow);
    } else {
        c->Font()->SetColor(TextColor);
    }
    ACanvas->DrawText(Text, TextRect, TextFlags);
    c->Brush()->SetStyle(bsSolid);
    if (Focused && !IsInplace) {
        TRect f = FullFocusRect ? ContentRect : CheckBoxFocusRect;
        if (!IsRectEmpty(f)) ACanvas->DrawFocusRect(f);
    }
}

// ---- view data ------------------------------------------------------------------------------------------------

TAlignment TcxCustomCheckBoxViewData::EffectiveAlignment()
{
    if (IsInplace() && !CheckProperties()->UseAlignmentInplace()) return taCenter;
    return Properties()->Alignment()->Horz();
}

int TcxCustomCheckBoxViewData::GetCaptionTextFlags()
{
    int f;
    switch (EffectiveAlignment()) {
    case taCenter: f = ctfCenterH; break;
    case taRightJustify: f = ctfRight; break;
    default: f = ctfLeft; break;
    }
    f |= ctfSingleLine | ctfShowPrefix;
    if (CheckProperties()->MultiLine()) f = (f & ~ctfSingleLine) | ctfNoClip | ctfWordBreak;
    f |= IsInplace() || !CheckProperties()->MultiLine() ? ctfCenterV : ctfTop;
    return f;
}

void TcxCustomCheckBoxViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas,
                                                                 const TcxEditSizeProperties& AEditSizeProperties,
                                                                 TSize& MinContentSize,
                                                                 TcxCustomEditViewInfo* AViewInfo, TSize& Size)
{
    TcxCustomEditViewData::InternalGetEditConstantPartSize(ACanvas, AEditSizeProperties, MinContentSize, AViewInfo,
                                                           Size);
    auto* p = CheckProperties();
    TSize check = cxEditUtils::GetCheckBoxSize(p->HasGlyph() ? p->Glyph() : nullptr, p->GlyphCount());
    if (!IsInplace()) {
        check.cx += 4;
        check.cy += 4;
    }
    int textWidth = 0, textHeight = 0;
    if (ACanvas) {
        ACanvas->SetFont(Style()->Font());
        std::string text = EffectiveAlignment() == taCenter || IsInplace()
                               ? std::string("Gg")
                               : cxEditUtils::RemoveAccelChars(p->Caption());
        if (!text.empty()) {
            TSize t = ACanvas->TextExtent(text);
            textWidth = t.cx + 3;
            textHeight = t.cy;
        }
    }
    Size.cx += check.cx + textWidth;
    Size.cy += std::max(check.cy, textHeight);
}

void TcxCustomCheckBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                          TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    auto* p = CheckProperties();
    TAlignment alignment = EffectiveAlignment();
    TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    // Measuring calculates a plain edit view info: the frame is all it needs.
    auto* vi = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->Font = Style()->Font();
    vi->TextHighlighted = false;
    vi->PopupOpen = false;
    vi->InnerEditVisible = true;
    vi->TextFlags = GetCaptionTextFlags();
    vi->Text = Edit ? Edit->GetCaptionText(true) : p->Caption();
    if (IsInplace()) vi->Text.clear();   // in place only the mark shows

    vi->EffectiveAlignment = alignment;
    vi->Glyph = p->HasGlyph() ? p->Glyph() : nullptr;
    vi->GlyphCount = p->GlyphCount();
    vi->FullFocusRect = p->FullFocusRect();
    vi->NullStyle = p->NullStyle();
    vi->AllowGrayed = true;
    vi->IsGlyphValid = vi->GlyphCount >= 1 && vi->Glyph && !vi->Glyph->Empty();
    TSize check = cxEditUtils::GetCheckBoxSize(vi->IsGlyphValid ? vi->Glyph : nullptr, vi->GlyphCount);

    // The caption and the mark share the client area.
    const TRect& c = vi->ContentRect;
    TRect t = c, k = c;
    if (!IsInplace()) {
        InflateRect(t, -2, -2);
        InflateRect(k, -2, -2);
    } else if (alignment == taLeftJustify) {
        t.Right -= 2;
    } else if (alignment == taRightJustify) {
        t.Left += 2;
    }
    if (check.cy < k.Bottom - k.Top) {
        k.Top += (k.Bottom - k.Top - check.cy) / 2;
        k.Bottom = k.Top + check.cy;
    }
    if (check.cx < k.Right - k.Left) {
        switch (alignment) {
        case taCenter:
            k.Left += (k.Right - k.Left - check.cx) / 2;
            k.Right = k.Left + check.cx;
            break;
        case taLeftJustify:
            k.Right = k.Left + check.cx;
            t.Left = k.Right + 3;
            break;
        case taRightJustify:
            k.Left = k.Right - check.cx;
            t.Right = k.Left - 3 + (IsInplace() ? 1 : 0);
            break;
        }
    } else {
        t.Right = t.Left;
    }
    if (!Enabled) {
        ++t.Right;
        ++t.Bottom;
    }
    vi->TextRect = t;
    vi->CheckBoxRect = k;

    // The mark's button state.
    int state;
    if (!Enabled) state = 3;
    else if (Edit && Edit->SpacePressed()) state = 2;
    else if (!IsDesigning && PtInRect(ABounds, P)) {
        if (AShift.Empty()) state = 1;
        else if (AShift == TShiftState{ssLeft} && (AButton == 1 || PrevCheckBoxState == 2)) state = 2;
        else state = 0;
    } else state = 0;
    vi->CheckBoxState = state;

    // The mark's frame follows the pressed look.
    static const TcxEditBorderStyle kPressed[6] = {ebsFlat, ebsThick, ebsThick, ebs3D, ebs3D, ebsUltraFlat};
    TcxEditBorderStyle bs = Style()->EditBorderStyle();
    vi->CheckBorderStyle = state == 2 ? kPressed[int(bs)] : bs;
    vi->CheckBorderColor =
        bs == ebsSingle && !Style()->IsValueAssigned(csvBorderColor) ? clBtnShadow : Style()->BorderColor();
    if (IsInplace() && vi->CheckBorderStyle == ebsSingle)
        vi->CheckBorderColor = state == 1 || (IsDesigning && state != 3) ? clHighlight : clBtnShadow;
    vi->CheckBoxThemeState = 0;

    TcxCheckBoxPaintData d = vi->PaintData();
    d.Caption = vi->Text;
    d.Focused = vi->Focused && !IsInplace();
    vi->CheckBoxFocusRect = cxEditUtils::CalculateCheckBoxFocusRect(d);
}

void TcxCustomCheckBoxViewData::PrepareDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                 TcxCustomEditViewInfo* AViewInfo)
{
    auto* vi = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
    if (!vi) return;
    Variant state;
    CheckProperties()->PrepareDisplayValue(AEditValue, state, Edit && Edit->Focused());
    vi->State = TcxCheckBoxState(state.AsInteger());
}

// ---- the edit ------------------------------------------------------------------------------------------------

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    TControlStyle cs = ControlStyle();
    cs.Exclude(csDoubleClicks);
    SetControlStyle(cs);
    SetParentColor(!IsInplace());
    SetWidth(121);
    SetHeight(21);
    // Directly: a new check box is unchecked without telling anyone.
    FEditValue = Properties()->StateToValue(cbsUnchecked);
    ShortRefreshContainer(false);
}

std::string TcxCustomCheckBox::GetCaptionText(bool AUseAction)
{
    if (Properties()->IsCaptionAssigned()) return Properties()->Caption();
    if (AUseAction) {
        if (auto* a = dynamic_cast<TCustomAction*>(Action())) return a->Caption();
    }
    return Name();
}

void TcxCustomCheckBox::UpdateCaption()
{
    if (FCaptionUpdating || IsContainerDestroying()) return;
    FCaptionUpdating = true;
    try {
        std::string text = GetCaptionText(true);
        if (!RepositoryItem() && !Properties()->IsCaptionAssigned()) Properties()->SetCaptionField(text);
        if (CheckViewInfo() && CheckViewInfo()->Text != text && !IsInplace()) ShortRefreshContainer(false);
    } catch (...) {
        FCaptionUpdating = false;
        throw;
    }
    FCaptionUpdating = false;
}

TcxCheckBoxState TcxCustomCheckBox::State()
{
    Variant v;
    Properties()->PrepareDisplayValue(GetEditValue(), v, Focused());
    return TcxCheckBoxState(v.AsInteger());
}

void TcxCustomCheckBox::SetState(TcxCheckBoxState Value)
{
    if (ComponentState().Contains(csLoading)) {
        FHasStoredState = true;
        FStoredState = Value;
        return;
    }
    if (Value != State()) ChangeEditValue(DisplayValueToEditValue(Value));
}

bool TcxCustomCheckBox::IsStateStored()
{
    TBasicAction* a = Action();
    if (!a) return State() != cbsUnchecked;
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca) return false;
    return State() == cbsGrayed || Checked() != ca->Checked();
}

void TcxCustomCheckBox::SetCheckedWithoutEvents(bool Value)
{
    LockChangeEvents(true);
    ++FClickLock;
    try {
        SetChecked(Value);
    } catch (...) {
        --FClickLock;
        LockChangeEvents(false, false);
        throw;
    }
    --FClickLock;
    LockChangeEvents(false, false);
}

void TcxCustomCheckBox::Toggle()
{
    TcxCheckBoxState next;
    switch (State()) {
    case cbsUnchecked: next = Properties()->AllowGrayed() ? cbsGrayed : cbsChecked; break;
    case cbsChecked: next = cbsUnchecked; break;
    default: next = cbsChecked; break;
    }
    LockChangeEvents(true);
    try {
        UserChange([&] { SetState(next); });
    } catch (...) {
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
    if (Properties()->ImmediatePost() && !IsInplace() && ValidateEdit(false)) PostEditValue(false);
}

void TcxCustomCheckBox::FireClick()
{
    if (FClickLock > 0 || FLoading) return;
    if (OnClick) OnClick(this);
}

void TcxCustomCheckBox::Click()
{
    // The platform's click on mouse-up does not reach the user: a click is
    // a change of state.
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& Value, bool AValidate)
{
    TcxCheckBoxState before = State();
    TcxCustomEdit::InternalSetEditValue(Value, AValidate);
    TcxCheckBoxState after = State();
    if (after != before) {
        if (CheckViewInfo()) CheckViewInfo()->State = after;
        FireClick();
        DoChange();
    }
    ShortRefreshContainer(false);
}

void TcxCustomCheckBox::PropertiesChanged(TObject* Sender)
{
    if (IsContainerDestroying()) return;
    UpdateCaption();
    TcxCheckBoxState s = State();
    if (CheckViewInfo() && CheckViewInfo()->State != s) {
        CheckViewInfo()->State = s;
        InvalidateCheck();
        FireClick();
        DoChange();
    }
    TcxCustomEdit::PropertiesChanged(Sender);
}

void TcxCustomCheckBox::InvalidateCheck()
{
    if (HandleAllocated() && CheckViewInfo()) InvalidateRect(CheckViewInfo()->CheckBoxRect, false);
}

void TcxCustomCheckBox::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    if (!ActiveProperties()) return;
    auto data = ActiveProperties()->CreateViewData(EditStyle(), IsInplace());
    auto* cd = static_cast<TcxCustomCheckBoxViewData*>(data.get());
    cd->Edit = this;
    cd->PrevCheckBoxState = CheckViewInfo() ? CheckViewInfo()->CheckBoxState : 0;
    cd->Enabled = Enabled();
    cd->Focused = Focused();
    cd->ReadOnly = ActiveProperties()->ReadOnly();
    cd->IsDesigning = IsDesigning();
    cd->Calculate(nullptr, TRect{0, 0, Width(), Height()}, AAllowHot || FCalcMouseEvent ? P : TPoint{-1, -1},
                  FCalcButton, FCalcShift, EditViewInfo(), FCalcMouseEvent);
    cd->PrepareDrawValue(nullptr, GetEditValue(), EditViewInfo());
}

bool TcxCustomCheckBox::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    int prev = CheckViewInfo() ? CheckViewInfo()->CheckBoxState : 0;
    FCalcButton = AButton;
    FCalcShift = AShift;
    FCalcMouseEvent = AIsMouseEvent;
    bool result;
    try {
        result = TcxContainer::RefreshContainer(P, AButton, AShift, AIsMouseEvent);
    } catch (...) {
        FCalcButton = 0;
        FCalcShift = TShiftState();
        FCalcMouseEvent = false;
        throw;
    }
    FCalcButton = 0;
    FCalcShift = TShiftState();
    FCalcMouseEvent = false;
    // Released over the box after pressing it: one click.
    if (AIsMouseEvent && CheckViewInfo() && prev == 2 && CheckViewInfo()->CheckBoxState == 1 && !FSpacePressed)
        Toggle();
    return result;
}

void TcxCustomCheckBox::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomEdit::DoEditKeyDown(Key, Shift);
    if (Key != VK_SPACE) return;
    int s = CheckViewInfo() ? CheckViewInfo()->CheckBoxState : 0;
    if (s == 0 || s == 1) {
        FSpacePressed = true;
        ShortRefreshContainer(false);
        Key = 0;
    }
}

void TcxCustomCheckBox::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE && FSpacePressed) {
        FSpacePressed = false;
        ShortRefreshContainer(false);
        InvalidateCheck();
        Toggle();
        Key = 0;
        return;
    }
    TcxCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomCheckBox::DoEditKeyPress(char& Key)
{
    // In place, the Space that started the editing toggles.
    if (IsInplace() && Key == ' ' && CheckViewInfo() && CheckViewInfo()->CheckBoxState == 0) {
        Toggle();
        Key = 0;
        return;
    }
    TcxCustomEdit::DoEditKeyPress(Key);
}

void TcxCustomCheckBox::DoExit()
{
    // Leaving while Space is held: no toggle on its release.
    FSpacePressed = false;
    TcxCustomEdit::DoExit();
    ShortRefreshContainer(false);
}

void TcxCustomCheckBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(WORD(Message.WParam), Properties()->Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TcxCustomCheckBox::Loaded()
{
    FLoading = true;
    LockChangeEvents(true);
    ++FClickLock;
    try {
        TcxCustomEdit::Loaded();
        if (FHasStoredState) {
            FHasStoredState = false;
            SetState(FStoredState);
        } else {
            auto* provider = DataBinding() ? DataBinding()->GetIDefaultValuesProvider() : nullptr;
            if (!provider || !provider->IsDataAware()) SetState(cbsUnchecked);
        }
    } catch (...) {
        --FClickLock;
        LockChangeEvents(false, false);
        FLoading = false;
        throw;
    }
    --FClickLock;
    LockChangeEvents(false, false);
    FLoading = false;
}

void TcxCustomCheckBox::SetName(const std::string& Value)
{
    TcxCustomEdit::SetName(Value);
    UpdateCaption();
}

void TcxCustomCheckBox::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TcxCustomEdit::ActionChange(Sender, CheckDefaults);
    if (auto* a = dynamic_cast<TCustomAction*>(Sender)) {
        if (!(FLoading && FHasStoredState) && (!CheckDefaults || !Checked())) SetCheckedWithoutEvents(a->Checked());
    }
    UpdateCaption();
}

TcxEditSizeProperties TcxCustomCheckBox::GetEditSizeProperties()
{
    TcxEditSizeProperties p;
    p.MaxLineCount = Properties()->MultiLine() ? 0 : 1;
    p.Width = CheckViewInfo() ? CheckViewInfo()->TextRect.Right - CheckViewInfo()->TextRect.Left : -1;
    return p;
}

void TcxCustomCheckBox::Paint()
{
    bool transparent = !IsInplace() && ParentBackground() && Parent();
    if (CheckViewInfo()) CheckViewInfo()->IsTransparentBackground = transparent;
    // The parent's background here is its colour: it shows through the box.
    if (transparent) Canvas()->FillRect(TRect{0, 0, Width(), Height()}, Parent()->Color());
    TcxCustomEdit::Paint();
}

namespace cxCheckBox {
void Initialize()
{
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxCheckBoxProperties::StaticClass()) < 0)
        r->Register(TcxCheckBoxProperties::StaticClass(), GetResourceString(&scxSEditRepositoryCheckBoxItem));
}
}  // namespace cxCheckBox
