// Mask modes: the objects a mask edit hands every key, mouse action, paste
// and value conversion to while a mask is set. A mode works on its edit
// through IcxMaskModeEdit (the inner edit's text and selection, own key
// messages, the edit value) and reads its settings through
// IcxMaskModeProperties, so the same mode runs inside a mask edit, inside the
// properties (formatting values for painting, without an edit) and in tests.
//
// Text is UTF-8; positions and lengths count characters.
#pragma once

#include "Exceptions.h"
#include "System.h"

#include <cstdint>
#include <string>

enum TcxEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };

// The error of an invalid regular-expression mask.
QZ_EXCEPTION(EcxMaskEditError, Exception)

// What a mode reads of the mask edit's properties.
class IcxMaskModeProperties {
public:
    virtual ~IcxMaskModeProperties() = default;
    virtual bool BeepOnError() const = 0;
    virtual bool CaseInsensitive() const = 0;
    virtual bool IgnoreMaskBlank() const = 0;
    // 0 normal, 1 upper case, 2 lower case (the edit's character case).
    virtual int CharCaseValue() const = 0;
    // 0 normal, 1 password.
    virtual int EchoModeValue() const = 0;
    // The text an unmasked display of the value shows (PrepareDisplayValue).
    virtual std::string PrepareDisplayText(const std::string& AEditValue, bool AEditFocused) = 0;
};

// What a mode does to its edit.
class IcxMaskModeEdit {
public:
    virtual ~IcxMaskModeEdit() = default;
    // The edit exists, its inner edit is available and has its window.
    virtual bool IsEditAvailable() const = 0;
    virtual std::string InnerText() const = 0;
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelStart(int AValue) = 0;
    virtual void SetSelLength(int AValue) = 0;
    // The caret's character index (it may sit at either end of the selection).
    virtual int GetCaretCharIndex() const = 0;
    // Replaces the selection of the inner edit (no mask logic involved).
    virtual void ReplaceInnerSelection(const std::string& AText) = 0;
    // Own messages: a key-down or a character the edit sends itself, which
    // reaches the inner edit past the mask logic.
    virtual void SendOwnKeyDown(uint16_t AKey, bool AShift = false) = 0;
    virtual void SendOwnChar(char32_t ACh) = 0;
    // Puts a text into the edit through its data binding.
    virtual void SetDisplayValue(const std::string& AText) = 0;
    // Changes the edit value (by code).
    virtual void ChangeEditValue(const std::string& AText) = 0;
    // Shows a text in the inner edit.
    virtual void SetInnerDisplayValue(const std::string& AText) = 0;
    virtual std::string EditValueText() const = 0;
    virtual bool ModifiedAfterEnter() const = 0;
    virtual bool Focused() const = 0;
    // The shift state the edit holds for the key being handled (also set
    // while the mouse selects), and clearing it.
    virtual bool ShiftDown() const = 0;
    virtual void ClearShiftState() = 0;
    virtual void Beep() = 0;
};

class TcxMaskEditCustomMode : public TObject {
    QZ_CLASS(TcxMaskEditCustomMode, TObject)
public:
    TcxMaskEditCustomMode(IcxMaskModeEdit* AEdit, IcxMaskModeProperties* AProperties);

    virtual TcxEditMaskKind GetMaskKind() const = 0;
    virtual void AfterPaste() {}
    virtual void Compile(const std::string& AMask) = 0;
    virtual std::string GetEmptyString() = 0;
    virtual std::string GetFormattedText(const std::string& AText) = 0;
    virtual void GotoEnd() {}
    virtual bool IsCursorBegin() = 0;
    virtual bool IsCursorEnd() = 0;
    virtual bool IsFullValidText(const std::string& AText) = 0;
    virtual void CorrectSelection() {}
    virtual void BeforePaste() {}
    // Key handlers: false when the mode handled the key (it is consumed),
    // true when it goes on to the inner edit.
    virtual bool PressBackspace() = 0;
    virtual bool PressDelete() = 0;
    virtual bool PressEnd() = 0;
    virtual bool PressHome() = 0;
    virtual bool PressLeft() = 0;
    virtual bool PressRight() = 0;
    virtual bool PressSymbol(char32_t& AKey) = 0;
    virtual void SetText(const std::string& AText) {}
    virtual void SynchronizeEditValue();
    virtual void UpdateEditValue() {}
    virtual std::string GetValueFromText(const std::string& AText) = 0;

    void Beep();
    bool IsEditAvailable() const { return FEdit && FEdit->IsEditAvailable(); }
    void SetSelStart(int AValue) { if (FEdit) FEdit->SetSelStart(AValue); }
    void SetSelLength(int AValue) { if (FEdit) FEdit->SetSelLength(AValue); }

    const std::string& Mask() const { return FMask; }
    int CharCase() const { return FCharCase; }
    void SetCharCase(int AValue) { FCharCase = AValue; }
    int EchoMode() const { return FEchoMode; }
    void SetEchoMode(int AValue) { FEchoMode = AValue; }
    // The length of the text being inserted, set by the edit before a paste.
    int InsertedLength = 0;
    bool NeedsEmptyText() const { return FNeedsEmptyText; }
    IcxMaskModeEdit* Edit() const { return FEdit; }
    IcxMaskModeProperties* Properties() const { return FProperties; }

protected:
    std::string FMask;
    int FCharCase = 0;
    int FEchoMode = 0;
    IcxMaskModeEdit* FEdit;
    bool FNeedsEmptyText = false;
    IcxMaskModeProperties* FProperties;
};

namespace cxMaskEditModes {
// Empty or only #0, #9, #10, #12, #13 and blanks: no mask.
bool IsBlankMask(const std::string& AMask);
}
