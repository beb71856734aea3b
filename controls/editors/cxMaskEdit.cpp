#include "cxMaskEdit.h"

#include "Clipbrd.h"
#include "SysUtils.h"
#include "Windows.h"
#include "cxEditConsts.h"
#include "cxRegExpr.h"
#include "cxRegExprMaskModes.h"
#include "cxStandardMask.h"

QZ_CLASS_IMPL(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
QZ_CLASS_IMPL(TcxMaskEditProperties, TcxCustomMaskEditProperties)
QZ_CLASS_IMPL(TcxCustomMaskEdit, TcxCustomTextEdit)
QZ_CLASS_IMPL(TcxMaskEdit, TcxCustomMaskEdit)

// ---- the properties ------------------------------------------------------------------------------

class TcxCustomMaskEditProperties::TModeProperties : public IcxMaskModeProperties {
public:
    explicit TModeProperties(TcxCustomMaskEditProperties* AOwner) : FOwner(AOwner) {}
    bool BeepOnError() const override { return FOwner->BeepOnError(); }
    bool CaseInsensitive() const override { return FOwner->CaseInsensitive(); }
    bool IgnoreMaskBlank() const override { return FOwner->IgnoreMaskBlank(); }
    int CharCaseValue() const override { return int(FOwner->CharCase()); }
    int EchoModeValue() const override { return int(FOwner->EchoMode()); }
    std::string PrepareDisplayText(const std::string& AEditValue, bool AEditFocused) override
    {
        Variant d;
        FOwner->PrepareDisplayValue(Variant(AEditValue), d, AEditFocused);
        return VarToStr(d);
    }

private:
    TcxCustomMaskEditProperties* FOwner;
};

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner), FModeProperties(std::make_unique<TModeProperties>(this))
{
    FValidateOnEnter = true;
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

IcxMaskModeProperties* TcxCustomMaskEditProperties::ModeProperties() { return FModeProperties.get(); }

TClass TcxCustomMaskEditProperties::GetEditClass() const { return TcxMaskEdit::StaticClass(); }

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode(TcxEditMaskKind AKind,
                                                                               IcxMaskModeEdit* AEdit)
{
    switch (AKind) {
    case emkRegExpr: return std::make_unique<TcxMaskEditRegExprMode>(AEdit, FModeProperties.get());
    case emkRegExprEx: return std::make_unique<TcxMaskEditRegExprExMode>(AEdit, FModeProperties.get());
    default: return std::make_unique<TcxMaskEditStandardMode>(AEdit, FModeProperties.get());
    }
}

std::string TcxCustomMaskEditProperties::EditMask()
{
    if (FMaskKind == emkStandard && cxMaskEditModes::IsBlankMask(FEditMask))
        return DefaultValuesProvider() ? DefaultValuesProvider()->DefaultEditMask() : std::string();
    return FEditMask;
}

void TcxCustomMaskEditProperties::SetEditMask(const std::string& Value)
{
    if (EditMask() == Value) {
        FEditMask = Value;
        return;
    }
    // A temporary mode of the current kind refuses a mask it cannot compile.
    CreateMode(FMaskKind, nullptr)->Compile(Value);
    FEditMask = Value;
    Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind Value)
{
    if (FMaskKind == Value) return;
    FMaskKind = Value;
    Changed();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool Value)
{
    // Upper- or lower-case editing always compares without regard to case.
    FCaseInsensitive = CharCase() != ecNormal || Value;
    Changed();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value)
{
    if (FAlwaysShowBlanksAndLiterals == Value) return;
    FAlwaysShowBlanksAndLiterals = Value;
    Changed();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase Value)
{
    if (Value != ecNormal) FCaseInsensitive = true;
    TcxCustomTextEditProperties::SetCharCase(Value);
}

void TcxCustomMaskEditProperties::SetMaxLength(int Value)
{
    // A mask sets the length itself.
    TcxCustomTextEditProperties::SetMaxLength(IsMasked() ? 0 : Value);
}

int TcxCustomMaskEditProperties::GetDisplayFormatOptions()
{
    return IsMasked() ? 0 : TcxCustomTextEditProperties::GetDisplayFormatOptions();
}

void TcxCustomMaskEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomMaskEditProperties*>(Source);
    if (!s) {
        TcxCustomTextEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomTextEditProperties::Assign(Source);
        SetMaskKind(s->MaskKind());
        SetEditMask(s->EditMask());
        FCaseInsensitive = s->FCaseInsensitive;
        FIgnoreMaskBlank = s->FIgnoreMaskBlank;
        SetAlwaysShowBlanksAndLiterals(s->FAlwaysShowBlanksAndLiterals);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::FormattingMode()
{
    std::string mask = EditMask();
    if (cxMaskEditModes::IsBlankMask(mask)) {
        FFormattingMode.reset();
        return nullptr;
    }
    if (!FFormattingMode || FFormattingMode->GetMaskKind() != FMaskKind || FFormattingMode->Mask() != mask) {
        FFormattingMode = CreateMode(FMaskKind, nullptr);
        FFormattingMode->Compile(mask);
    }
    if (auto* r = dynamic_cast<TcxMaskEditRegExprMode*>(FFormattingMode.get())) r->SetCaseInsensitive(FCaseInsensitive);
    return FFormattingMode.get();
}

std::string TcxCustomMaskEditProperties::MaskedDisplayText(TcxMaskEditCustomMode* AMode, const std::string& AValue,
                                                           bool AEditFocused)
{
    if (!AMode) return AValue;
    if (AEditFocused || AMode->GetMaskKind() != emkStandard || FAlwaysShowBlanksAndLiterals)
        return AMode->GetFormattedText(AValue);
    return AMode->GetValueFromText(AValue);
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused)
{
    if (!IsMasked()) {
        TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
        return;
    }
    DisplayValue = Variant(MaskedDisplayText(FormattingMode(), VarToStr(AEditValue), AEditFocused));
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                                       TObject* AEdit)
{
    if (!Error && IsMasked()) {
        auto* edit = dynamic_cast<TcxCustomMaskEdit*>(AEdit);
        TcxMaskEditCustomMode* mode = edit && edit->Mode() ? edit->Mode() : FormattingMode();
        if (mode && !mode->IsFullValidText(VarToStr(DisplayValue))) {
            Error = true;
            ErrorText = cxClasses::GetResourceString(&cxSMaskEditInvalidEditValue);
        }
    }
    TcxCustomTextEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ---- the edit ----------------------------------------------------------------------------------------

// The mode's view of the edit.
class TcxCustomMaskEdit::TModeEdit : public IcxMaskModeEdit {
public:
    explicit TModeEdit(TcxCustomMaskEdit* AEdit) : E(AEdit) {}
    bool IsEditAvailable() const override { return E->InnerEdit() != nullptr; }
    std::string InnerText() const override { return E->InnerEdit()->GetText(); }
    int SelStart() const override { return E->InnerEdit()->SelStart(); }
    int SelLength() const override { return E->InnerEdit()->SelLength(); }
    void SetSelStart(int AValue) override { E->InnerEdit()->SetSelStart(AValue); }
    void SetSelLength(int AValue) override { E->InnerEdit()->SetSelLength(AValue); }
    int GetCaretCharIndex() const override { return E->InnerEdit()->CaretIndex(); }
    void ReplaceInnerSelection(const std::string& AText) override
    {
        E->UserChange([&] { E->InnerEdit()->SetSelText(AText); });
    }
    void SendOwnKeyDown(uint16_t AKey, bool AShift) override { E->SendOwnKeyDown(AKey, AShift); }
    void SendOwnChar(char32_t ACh) override { E->SendOwnChar(ACh); }
    void SetDisplayValue(const std::string& AText) override { E->SetDisplayValue(Variant(AText)); }
    void ChangeEditValue(const std::string& AText) override { E->ChangeEditValue(Variant(AText)); }
    void SetInnerDisplayValue(const std::string& AText) override { E->SetInnerDisplayValue(Variant(AText)); }
    std::string EditValueText() const override { return VarToStr(E->EditValue()); }
    bool ModifiedAfterEnter() const override { return E->ModifiedAfterEnter(); }
    bool Focused() const override { return E->Focused(); }
    bool ShiftDown() const override { return E->FShiftOn; }
    void ClearShiftState() override { E->FShiftOn = false; }
    void Beep() override { MessageBeep(0); }

private:
    TcxCustomMaskEdit* E;
};

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace), FModeEdit(std::make_unique<TModeEdit>(this))
{
    // The text edit's constructor made text edit properties: these are mask
    // edit properties.
    InitializeEdit();
    FMode = Properties()->CreateMode(emkStandard, FModeEdit.get());
    Properties()->SetEmptyMaskText(IsMasked() ? FMode->GetEmptyString() : std::string());
    PropertiesChanged(Properties());
}

TcxCustomMaskEdit::~TcxCustomMaskEdit() = default;

std::string TcxCustomMaskEdit::ValueFromText(const std::string& AText)
{
    return FMode && IsMasked() ? FMode->GetValueFromText(AText) : AText;
}

void TcxCustomMaskEdit::PropertiesChanged(TObject* Sender)
{
    TcxCustomMaskEditProperties* p = Properties();
    if (!p || !FMode || IsContainerDestroying()) {
        TcxCustomTextEdit::PropertiesChanged(Sender);
        return;
    }
    bool kindChanged = false, maskChanged = false, caseChanged = false, echoChanged = false;
    int selStart = 0, selLength = 0;
    bool oldLock = p->IsChangeLocked();
    p->SetChangedLocked(true);
    try {
        std::string m = p->EditMask();
        maskChanged = FMode->Mask() != m;
        kindChanged = FMode->GetMaskKind() != p->MaskKind();
        caseChanged = int(p->CharCase()) != FMode->CharCase();
        bool maskCleared = false;
        if (kindChanged) {
            // Standard templates and expressions read masks differently.
            bool crosses = (FMode->GetMaskKind() == emkStandard) != (p->MaskKind() == emkStandard);
            FMode = p->CreateMode(p->MaskKind(), FModeEdit.get());
            if (crosses) {
                p->FEditMask.clear();
                maskCleared = true;
            }
            std::string effective = p->EditMask();
            FMode->Compile(effective);
            if (!cxMaskEditModes::IsBlankMask(effective)) FMode->SynchronizeEditValue();
            p->SetEmptyMaskText(FMode->GetEmptyString());
        }
        if (maskChanged) {
            p->SetMaxLength(0);
            FMode->Compile(m);
            if (maskCleared) p->FEditMask = m;
            if (!cxMaskEditModes::IsBlankMask(m)) FMode->SynchronizeEditValue();
            else if (FMode->GetMaskKind() == emkStandard && InnerEdit() && InnerEdit()->SelLength() == 1)
                InnerEdit()->SetSelLength(0);
            p->SetEmptyMaskText(FMode->GetEmptyString());
        }
        if (caseChanged) {
            if (p->CharCase() == ecNormal) {
                if (InnerEdit()) InnerEdit()->SetCharCase(ecNormal);
                FMode->SynchronizeEditValue();
            }
            FMode->SetCharCase(int(p->CharCase()));
        }
        echoChanged = int(p->EchoMode()) != FMode->EchoMode();
        if (echoChanged && InnerEdit()) {
            selStart = InnerEdit()->SelStart();
            selLength = InnerEdit()->SelLength();
        }
        if ((!InnerEdit() || !VarIsNull(EditValue())) && IsMasked()) FMode->UpdateEditValue();
    } catch (...) {
        p->SetChangedLocked(oldLock);
        throw;
    }
    p->SetChangedLocked(oldLock);
    if (auto* r = dynamic_cast<TcxMaskEditRegExprMode*>(FMode.get())) r->SetCaseInsensitive(p->CaseInsensitive());
    TcxCustomTextEdit::PropertiesChanged(Sender);
    if (echoChanged) {
        if (InnerEdit()) {
            InnerEdit()->SetSelStart(selStart);
            InnerEdit()->SetSelLength(selLength);
        }
        FMode->SetEchoMode(int(p->EchoMode()));
    }
    if ((kindChanged || maskChanged || caseChanged) && InnerEdit()) FText = ValueFromText(InnerEdit()->GetText());
}

void TcxCustomMaskEdit::AfterRepositoryItemChange()
{
    // The mode reads the settings of the properties now active; the
    // following PropertiesChanged compiles their mask into it.
    if (FMode) FMode = Properties()->CreateMode(Properties()->MaskKind(), FModeEdit.get());
}

Variant TcxCustomMaskEdit::DisplayValueToEditValue(const std::string& AText) { return Variant(ValueFromText(AText)); }

void TcxCustomMaskEdit::ChangeHandler(TObject* Sender)
{
    if (InnerEdit()) FText = ValueFromText(InnerEdit()->GetText());
    TcxCustomTextEdit::ChangeHandler(Sender);
}

std::string TcxCustomMaskEdit::GetTextForLookup() { return FText; }

bool TcxCustomMaskEdit::SetTextForLookup(const std::string& AText)
{
    if (!IsMasked()) return TcxCustomTextEdit::SetTextForLookup(AText);
    ChangeEditValue(Variant(AText));
    FEditValue = Variant(FText);
    return true;
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& Value)
{
    if (ComponentState().Contains(csLoading)) return;
    if (!IsMasked()) {
        TcxCustomTextEdit::InternalSetDisplayValue(Value);
        return;
    }
    TcxCustomTextEdit::InternalSetDisplayValue(
        Variant(Properties()->MaskedDisplayText(FMode.get(), VarToStr(Value), Focused())));
    if (InnerEdit()) {
        FText = ValueFromText(InnerEdit()->GetText());
        FMode->SetText(InnerEdit()->GetText());
    }
}

void TcxCustomMaskEdit::SynchronizeDisplayValue()
{
    TcxCustomTextEdit::SynchronizeDisplayValue();
    if (IsMasked() && InnerEdit()) {
        FText = ValueFromText(InnerEdit()->GetText());
        FMode->SetText(InnerEdit()->GetText());
    }
}

// ---- keys ---------------------------------------------------------------------------------------------

void TcxCustomMaskEdit::SendOwnKeyDown(uint16_t AKey, bool AShift)
{
    if (!InnerEdit()) return;
    bool old = FOwnMessage;
    FOwnMessage = true;
    try {
        bool shiftHeld = GetKeyState(VK_SHIFT) < 0;
        if (AShift != shiftHeld && (AKey == VK_LEFT || AKey == VK_RIGHT)) {
            // The shift state the mode asks for, whatever the keyboard holds:
            // the caret end moves, the anchor stays when extending.
            TCustomEdit* e = InnerEdit();
            int anchor = e->SelAnchor(), caret = e->CaretIndex();
            int len = e->GetTextLen();
            if (AShift) {
                caret = std::clamp(caret + (AKey == VK_LEFT ? -1 : 1), 0, len);
            } else {
                int s = e->SelStart(), n = e->SelLength();
                caret = n > 0 ? (AKey == VK_LEFT ? s : s + n) : std::clamp(caret + (AKey == VK_LEFT ? -1 : 1), 0, len);
                anchor = caret;
            }
            e->Perform(EM_SETSEL, WPARAM(anchor), LPARAM(caret));
        } else {
            InnerEdit()->Perform(WM_KEYDOWN, AKey, 0);
        }
    } catch (...) {
        FOwnMessage = old;
        throw;
    }
    FOwnMessage = old;
}

void TcxCustomMaskEdit::SendOwnChar(char32_t ACh)
{
    if (!InnerEdit()) return;
    bool old = FOwnMessage;
    FOwnMessage = true;
    try {
        InnerEdit()->Perform(WM_CHAR, WPARAM(ACh), 0);
    } catch (...) {
        FOwnMessage = old;
        throw;
    }
    FOwnMessage = old;
}

void TcxCustomMaskEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    if (!IsMasked() || !FMode) {
        TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
        return;
    }
    if (FOwnMessage) return;   // the edit's own key reaches the inner edit
    if (Key == VK_TAB) {
        TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
        return;
    }
    FShiftOn = Shift.Contains(ssShift);
    bool passOn = true;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
        DoAfterKeyDown(Key, Shift);
        Key = 0;
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        bool left = Key == VK_LEFT;
        bool atEdge = false;
        if (Shift.Contains(ssCtrl)) {
            SendOwnKeyDown(left ? VK_HOME : VK_END, FShiftOn);
            passOn = left ? FMode->PressHome() : FMode->PressEnd();
        } else {
            atEdge = left ? FMode->IsCursorBegin() : FMode->IsCursorEnd();
            passOn = left ? FMode->PressLeft() : FMode->PressRight();
        }
        if (!passOn) {
            // At the first or last position a host (a grid) moves on.
            if (atEdge) DoAfterKeyDown(Key, Shift);
            Key = 0;
        }
        break;
    }
    case VK_DELETE:
        if (!Shift.Contains(ssShift)) passOn = FMode->PressDelete();
        else if (InnerEdit() && InnerEdit()->SelLength() == 0) passOn = FMode->PressBackspace();
        if (!passOn) Key = 0;
        break;
    case VK_HOME:
        if (!FMode->PressHome()) Key = 0;
        break;
    case VK_END:
        if (!FMode->PressEnd()) Key = 0;
        break;
    }
    FShiftOn = false;
    if (Key != 0) TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char& Key)
{
    if (!IsMasked() || !FMode) {
        TcxCustomTextEdit::DoEditKeyPress(Key);
        return;
    }
    if (FOwnMessage) return;
    unsigned char c = static_cast<unsigned char>(Key);
    // Characters beyond ASCII went through InnerWideChar whole.
    if (c >= 0x80) return;
    if (Key == '\t' || Key == char(27)) {
        Key = 0;
        return;
    }
    if (Key == '\r') return;
    if (Key == 3 || Key == 22 || Key == 24) {   // Ctrl+C, Ctrl+V, Ctrl+X
        TcxCustomTextEdit::DoEditKeyPress(Key);
        return;
    }
    if ((c >= 32 || c == 8) && !DoEditing()) {
        Key = 0;
        return;
    }
    bool passOn;
    if (Key == 8) {
        passOn = FMode->PressBackspace();
    } else {
        char32_t ch = char32_t(c);
        passOn = FMode->PressSymbol(ch);
        if (passOn && ch != char32_t(c)) {
            if (ch < 0x80) Key = char(ch);
            else {
                SendOwnChar(ch);
                passOn = false;
            }
        }
    }
    if (!passOn) Key = 0;
}

bool TcxCustomMaskEdit::InnerWideChar(char32_t ACh)
{
    if (FOwnMessage) return false;
    if (!IsMasked() || !FMode) return TcxCustomTextEdit::InnerWideChar(ACh);
    if (!DoEditing()) return true;
    char32_t ch = ACh;
    if (FMode->PressSymbol(ch)) SendOwnChar(ch);
    return true;
}

// ---- selection, mouse, clipboard ---------------------------------------------------------------------------

void TcxCustomMaskEdit::SetSelStart(int Value)
{
    TcxCustomTextEdit::SetSelStart(Value);
    if (IsMasked() && FMode) FMode->CorrectSelection();
}

void TcxCustomMaskEdit::SetSelLength(int Value)
{
    TcxCustomTextEdit::SetSelLength(Value);
    if (IsMasked() && FMode) FMode->CorrectSelection();
}

void TcxCustomMaskEdit::InnerMouseEvent(UINT AMsg, WPARAM AKeys)
{
    if (!IsMasked() || !FMode) return;
    if (AMsg == WM_LBUTTONDBLCLK) {
        FMode->GotoEnd();
    } else if (AMsg == WM_LBUTTONDOWN) {
        FMode->CorrectSelection();
    } else if (AMsg == WM_MOUSEMOVE && (AKeys & MK_LBUTTON)) {
        // Selecting with the mouse extends like Shift does.
        FShiftOn = true;
        FMode->CorrectSelection();
        FShiftOn = false;
    }
}

void TcxCustomMaskEdit::DoEnter()
{
    if (IsMasked() && FMode && Properties()->AutoSelect()) FMode->GotoEnd();
    TcxCustomTextEdit::DoEnter();
}

void TcxCustomMaskEdit::WithPasteHooks(int AInsertedLength, const std::function<void()>& AAction)
{
    FMode->InsertedLength = AInsertedLength;
    FMode->BeforePaste();
    AAction();
    FMode->AfterPaste();
}

void TcxCustomMaskEdit::SetSelText(const std::string& AText)
{
    if (!IsMasked() || !FMode) {
        TcxCustomTextEdit::SetSelText(AText);
        return;
    }
    WithPasteHooks(Length(AText), [&] { TcxCustomTextEdit::SetSelText(AText); });
}

void TcxCustomMaskEdit::PasteFromClipboard()
{
    if (!IsMasked() || !FMode) {
        TcxCustomTextEdit::PasteFromClipboard();
        return;
    }
    if (!Clipboard()->HasFormat(CF_TEXT)) return;
    std::string text = Clipboard()->AsText();
    WithPasteHooks(Length(text), [&] { TcxCustomTextEdit::PasteFromClipboard(); });
}

void TcxCustomMaskEdit::CutToClipboard()
{
    if (!IsMasked() || !FMode) {
        TcxCustomTextEdit::CutToClipboard();
        return;
    }
    CopyToClipboard();
    if (FMode->PressDelete() && InnerEdit()) SendOwnKeyDown(VK_DELETE, false);
}

namespace cxMaskEdit {
void Initialize()
{
    cxTextEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxMaskEditProperties::StaticClass()) < 0)
        r->Register(TcxMaskEditProperties::StaticClass(), cxClasses::GetResourceString(&scxSEditRepositoryMaskItem));
}
}  // namespace cxMaskEdit
