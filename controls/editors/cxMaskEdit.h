// The mask edit: a text edit whose keys, mouse actions, pastes and value
// conversions go to a mask mode chosen by the mask kind (standard templates,
// regular expressions, regular expressions with literal completion). Without
// a mask (empty or only blanks) it behaves as the text edit. The properties
// hold the mask settings and format values for painting through a mode of
// their own, which works without an edit.
#pragma once

#include "cxMaskEditModes.h"
#include "cxTextEdit.h"

#include <memory>
#include <string>

class TcxCustomMaskEdit;

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
    QZ_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
public:
    explicit TcxCustomMaskEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomMaskEditProperties() override;
    void Assign(TPersistent* Source) override;

    TClass GetEditClass() const override;
    bool UseLookupData() override { return !IsMasked() && TcxCustomTextEditProperties::UseLookupData(); }
    int GetDisplayFormatOptions() override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    void SetCharCase(TEditCharCase Value) override;
    void SetMaxLength(int Value) override;

    // The effective mask: a standard mask left blank takes the bound field's
    // edit mask.
    std::string EditMask();
    // Compiles the new mask first: an invalid expression raises
    // EcxMaskEditError and nothing is stored.
    void SetEditMask(const std::string& Value);
    const std::string& StoredEditMask() const { return FEditMask; }
    bool IsMasked() { return !cxMaskEditModes::IsBlankMask(EditMask()); }
    TcxEditMaskKind MaskKind() const { return FMaskKind; }
    void SetMaskKind(TcxEditMaskKind Value);
    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool Value);
    bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
    bool AlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
    void SetAlwaysShowBlanksAndLiterals(bool Value);
    // What an empty masked edit shows; the edit writes it whenever its mode
    // is compiled.
    const std::string& EmptyMaskText() const { return FEmptyString; }
    void SetEmptyMaskText(const std::string& Value) { FEmptyString = Value; }

    // What a mode reads of these properties.
    IcxMaskModeProperties* ModeProperties();
    // A mode of a kind for an edit (nil for none).
    std::unique_ptr<TcxMaskEditCustomMode> CreateMode(TcxEditMaskKind AKind, IcxMaskModeEdit* AEdit);
    // The text a mode shows for a value: while editing, and always in the
    // expression kinds, the value placed into the mask; an unfocused
    // standard mask shows the plain value unless blanks and literals are
    // always shown.
    std::string MaskedDisplayText(TcxMaskEditCustomMode* AMode, const std::string& AValue, bool AEditFocused);

private:
    class TModeProperties;
    friend class TcxCustomMaskEdit;
    TcxMaskEditCustomMode* FormattingMode();

    bool FCaseInsensitive = true;
    std::string FEditMask;
    std::string FEmptyString;
    bool FIgnoreMaskBlank = false;
    TcxEditMaskKind FMaskKind = emkStandard;
    std::unique_ptr<TcxMaskEditCustomMode> FFormattingMode;
    bool FAlwaysShowBlanksAndLiterals = false;
    std::unique_ptr<TModeProperties> FModeProperties;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
    QZ_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
public:
    explicit TcxMaskEditProperties(TPersistent* AOwner = nullptr) : TcxCustomMaskEditProperties(AOwner) {}
};

class TcxCustomMaskEdit : public TcxCustomTextEdit {
    QZ_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)
public:
    explicit TcxCustomMaskEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomMaskEdit() override;

    TClass GetPropertiesClass() const override { return TcxMaskEditProperties::StaticClass(); }
    TcxCustomMaskEditProperties* Properties() const
    {
        return static_cast<TcxCustomMaskEditProperties*>(ActiveProperties());
    }
    TcxMaskEditCustomMode* Mode() const { return FMode.get(); }
    // The displayed text as a value (literals and blanks as the mask saves them).
    const std::string& TextValue() const { return FText; }

    void PropertiesChanged(TObject* Sender) override;
    void SynchronizeDisplayValue() override;
    void SetSelText(const std::string& AText) override;
    void PasteFromClipboard() override;
    void CutToClipboard() override;
    std::string GetTextForLookup() override;
    bool SetTextForLookup(const std::string& AText) override;
    void SetSelStart(int Value);
    void SetSelLength(int Value);

protected:
    void ChangeHandler(TObject* Sender) override;
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    bool InnerWideChar(char32_t ACh) override;
    void InternalSetDisplayValue(const Variant& Value) override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    void AfterRepositoryItemChange() override;
    void DoEnter() override;
    void InnerMouseEvent(UINT AMsg, WPARAM AKeys) override;

private:
    class TModeEdit;
    friend class TModeEdit;
    bool IsMasked() { return Properties()->IsMasked(); }
    void SendOwnKeyDown(uint16_t AKey, bool AShift);
    void SendOwnChar(char32_t ACh);
    // Runs a paste or replacement between the mode's paste hooks.
    void WithPasteHooks(int AInsertedLength, const std::function<void()>& AAction);
    std::string ValueFromText(const std::string& AText);

    std::unique_ptr<TModeEdit> FModeEdit;
    std::unique_ptr<TcxMaskEditCustomMode> FMode;
    bool FOwnMessage = false;
    bool FShiftOn = false;
    std::string FText;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
    QZ_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
public:
    explicit TcxMaskEdit(TComponent* AOwner = nullptr) : TcxCustomMaskEdit(AOwner) {}
};

namespace cxMaskEdit {
// Registers the mask edit properties with the editor registry.
void Initialize();
}
