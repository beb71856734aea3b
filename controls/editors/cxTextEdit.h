// The settings of every text editor (character case, password echo, maximum
// length, numeric range, display format, lookup items), the conversion of an
// edit value into the text shown, and the view data and view info that
// paint a value where no live inner edit shows it (grid cells, the filter
// control, an edit whose inner edit is hidden).
#pragma once

#include "StdCtrls.h"
#include "StringLists.h"
#include "cxEdit.h"
#include "cxEditTextUtils.h"
#include "cxFormats.h"

#include <bitset>
#include <string>

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditingStyle : uint8_t { tesFree, tesList, tesFixedList, tesNoCaret };

using TcxNewLookupDisplayTextEvent = std::function<void(TObject* Sender, const std::string& AText)>;

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
    QZ_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
public:
    explicit TcxTextEditPropertiesValues(TPersistent* AOwner = nullptr) : TcxCustomEditPropertiesValues(AOwner) {}
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool DisplayFormat = false;
    bool MaxLength = false;
    bool MaxValue = false;
    bool MinValue = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatControllerListener {
    QZ_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
public:
    explicit TcxCustomTextEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomTextEditProperties() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    void FormatChanged() override;
    virtual void ValidateRange(const Variant& ADisplayValue, std::string& AErrorText, bool& AError);
    virtual std::string GetDefaultDisplayValue() { return std::string(); }
    virtual void DisplayValueToDisplayText(std::string& AText);
    virtual void DoNewLookupDisplayText(TObject* Sender, const std::string& AText);
    virtual bool FindLookupText(const std::string& AText);
    virtual std::string GetDefaultDisplayFormat() { return std::string(); }
    virtual int GetDefaultMaxLength();
    virtual int GetDropDownRowCount() { return 8; }
    virtual TcxTextEditingStyle GetEditingStyle() { return FHideCursor ? tesNoCaret : tesFree; }
    virtual bool IsEditValueNumeric() { return false; }
    virtual bool IsLookupDataVisual() { return false; }
    virtual bool IsMultiLine() { return false; }
    virtual bool IsPopupKey(uint16_t AKey, TShiftState AShift) { return false; }
    virtual void LookupItemsChanged() { Changed(); }
    virtual void SetCharCase(TEditCharCase Value);
    virtual void SetMaxLength(int Value);
    // The class of the edit's lookup data (incremental search over the
    // lookup items); descendants name other sources.
    virtual TClass GetLookupDataClass() const;
    virtual bool UseLookupData() { return GetLookupDataClass() != nullptr; }
    virtual bool CheckDisplayValue(Variant& AValue, bool AEditFocused);
    TClass GetEditClass() const override;

    void AlignmentChanged() override;
    void SetAlignment(TcxEditAlignment* Value) override;
    bool CanValidate() override { return true; }
    bool CanCompareEditValue() override { return true; }
    TClass GetAssignedValuesClass() const override { return TcxTextEditPropertiesValues::StaticClass(); }
    int GetDisplayFormatOptions() override { return dfoSupports; }
    std::string GetValidationErrorText(int AErrorKind) override;
    bool SuppressChangeOnEditValue() override { return true; }
    TClass GetViewInfoClass() const override;
    bool IsDisplayTextEqual(const Variant& AEditValue1, TcxCustomEditProperties* AProperties2,
                            const Variant& AEditValue2) override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    uint16_t GetSupportedOperations() override;
    bool IsEditValueValid(const Variant& AEditValue) override { return IsEditValueValid(AEditValue, false); }
    virtual bool IsEditValueValid(const Variant& AEditValue, bool AEditFocused);
    bool CanResetEditValue() override { return GetEditingStyle() != tesNoCaret; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    unsigned UsesDisplayFormatting(bool AFocused) override { return 1; }
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;

    std::string FormatEditValue(const Variant& AValue, bool AEditFocused);
    std::string FormatNumber(double X, bool AEditFocused);
    void ClampToRange(const Variant& AValue, Variant& AResult);

    TEditCharCase CharCase() const { return FCharCase; }
    std::string DisplayFormat();
    void SetDisplayFormat(const std::string& Value);
    bool IsDisplayFormatStored() const { return AssignedValues_()->DisplayFormat; }
    TcxEditEchoMode EchoMode() const { return FEchoMode; }
    void SetEchoMode(TcxEditEchoMode Value);
    bool IncrementalSelection() const { return FIncrementalSelection; }
    void SetIncrementalSelection(bool Value);
    bool HideCursor() const { return FHideCursor; }
    void SetHideCursor(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ImmediateUpdateText() const { return FImmediateUpdateText; }
    void SetImmediateUpdateText(bool Value) { FImmediateUpdateText = Value; }
    TStringList* LookupItems() const { return FLookupItems.get(); }
    void SetLookupItems(TStrings* Value) { FLookupItems->Assign(Value); }
    bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
    void SetLookupItemsSorted(bool Value) { FLookupItems->SetSorted(Value); }
    int MaxLength();
    bool IsMaxLengthStored() const { return AssignedValues_()->MaxLength; }
    double MaxValue();
    void SetMaxValue(double Value);
    double MinValue();
    void SetMinValue(double Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    // Characters a numeric descendant accepts besides the inherited rule.
    std::bitset<256> ValidChars;

    TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

protected:
    bool FFormatChanging = false;

private:
    TcxTextEditPropertiesValues* AssignedValues_() const
    {
        return static_cast<TcxTextEditPropertiesValues*>(AssignedValues());
    }
    std::string ValueText(const Variant& AValue, bool AEditFocused);

    TEditCharCase FCharCase = ecNormal;
    std::string FDisplayFormat;
    TcxEditEchoMode FEchoMode = eemNormal;
    bool FIncrementalSelection = true;
    bool FHideCursor = false;
    bool FHideSelection = true;
    bool FImmediateUpdateText = false;
    std::unique_ptr<TStringList> FLookupItems;
    int FMaxLength = 0;
    double FMaxValue = 0;
    double FMinValue = 0;
    bool FOEMConvert = false;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
    QZ_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
public:
    explicit TcxTextEditProperties(TPersistent* AOwner = nullptr) : TcxCustomTextEditProperties(AOwner) {}
};

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
    QZ_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
public:
    TcxCustomTextEditViewInfo() = default;
    void Paint(TcxCanvas* ACanvas) override;
    void OffsetBounds(int DX, int DY) override;
    virtual void PaintText(TcxCanvas* ACanvas);
    // Whether the text at P (view-info coordinates) is cut off, so a hint
    // should show it whole.
    bool NeedShowHintInRect(TcxCanvas* ACanvas, const TPoint& P, std::string& AText, TRect& ARect);

    bool ComboBoxFrame = false;
    bool TextHighlighted = false;
    int TextFlags = 0;
    TcxTextEditingStyle EditingStyle = tesFree;
    bool PopupOpen = false;
    int MaxLineCount = 0;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelTextColor = clHighlightText;
    TColor SelBackgroundColor = clHighlight;
    std::string Text;
    bool TextRowsCalculated = false;
    TcxTextOutData TextOutData;
    TRect TextRect;
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
    QZ_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
public:
    TcxCustomTextEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace);
    void CacheProperties() override;
    TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                     const TcxEditSizeProperties& AEditSizeProperties) override;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    virtual bool HasComboBoxFrame() { return false; }
    virtual void PrepareTextFlags(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);
    virtual int GetTextFlags();
    virtual TRect GetTextOffsets();
    void DisplayValueToDrawValue(const Variant& ADisplayValue, TcxCustomTextEditViewInfo* AViewInfo);
    void CalculateSelectionViewInfo(TcxCustomTextEditViewInfo* AViewInfo);
    int MaxLineCount = 0;

private:
    TcxCustomTextEditProperties* TextProperties() const
    {
        return static_cast<TcxCustomTextEditProperties*>(Properties());
    }
    std::string DrawText(const Variant& AEditValue);
    bool FIsValueTextFromDisplayFormat = false;
};

// ---- the text edit control ------------------------------------------------------------------------

class TcxCustomTextEdit;
class TcxCustomTextEditLookupData;

// The platform edit placed in a text edit's client area: keys reach the
// owning edit first, text changes and clipboard messages go through it.
class TcxCustomInnerTextEdit : public TCustomEdit {
    QZ_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
public:
    explicit TcxCustomInnerTextEdit(TComponent* AOwner = nullptr);
    TcxCustomTextEdit* Container() const;
    void WndProc(TMessage& Message) override;
    bool KeyConsumed = false;

protected:
    void Change() override;
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
};

class TcxCustomTextEdit : public TcxCustomEdit {
    QZ_CLASS(TcxCustomTextEdit, TcxCustomEdit)
public:
    explicit TcxCustomTextEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomTextEdit() override;
    TClass GetPropertiesClass() const override { return TcxTextEditProperties::StaticClass(); }
    TcxCustomTextEditProperties* Properties() const
    {
        return static_cast<TcxCustomTextEditProperties*>(ActiveProperties());
    }
    TcxCustomInnerTextEdit* InnerEdit() const { return FInnerEdit; }

    std::string GetDisplayText() override;
    void SetInnerDisplayValue(const Variant& Value) override;
    void SynchronizeDisplayValue() override;
    void SelectAll() override;
    void PropertiesChanged(TObject* Sender) override;
    bool CanModify() override;
    // One line in an unlimited width.
    TcxEditSizeProperties GetEditSizeProperties() override { return TcxEditSizeProperties{1, -1}; }

    // Puts a text in place of the selection, as the clipboard and typing
    // do; a positive MaxLength takes only what fits.
    virtual void SetSelText(const std::string& AText);
    // Shows a text if the properties accept it (and, for a user change, the
    // edit may be edited); false leaves everything as it was.
    virtual bool ApplyDisplayText(const std::string& AText);
    virtual bool IsInnerEditVisible();
    // The completion items' data (nil when the properties use none).
    TcxCustomTextEditLookupData* LookupData();
    // Whether the completed tail of an incremental search is shown selected.
    bool LookupSelection() const { return FLookupSelection; }
    // The text-fetch and text-setting messages' text (the Text property).
    virtual std::string GetTextForLookup() { return GetDisplayText(); }
    virtual bool SetTextForLookup(const std::string& AText) { return ApplyDisplayText(AText); }
    // The edit value of a displayed text.
    virtual Variant DisplayValueToEditValue(const std::string& AText) { return Variant(AText); }
    virtual void PasteFromClipboard();
    virtual void CutToClipboard();
    void CopyToClipboard();
    void ClearSelection();
    int SelStart() const { return FInnerEdit->SelStart(); }
    void SetSelStart(int Value) { FInnerEdit->SetSelStart(Value); }
    int SelLength() const { return FInnerEdit->SelLength(); }
    void SetSelLength(int Value) { FInnerEdit->SetSelLength(Value); }
    bool BeepOnEnter = true;

    void WndProc(TMessage& Message) override;

protected:
    friend class TcxCustomInnerTextEdit;
    void InternalSetDisplayValue(const Variant& Value) override;
    virtual void SynchronizeEditValue();
    virtual void InnerTextChanged();
    void DoEditKeyPress(char& Key) override;
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
    void FocusChanged() override;
    // The inner edit's own keys: navigation keys it has no use for reach
    // DoAfterKeyDown from there.
    bool WantNavigationKeys() const override { return FInnerEdit != nullptr; }
    // A character beyond ASCII (typed, or composed by the input method)
    // before the inner edit inserts it: true when the edit took care of it.
    virtual bool InnerWideChar(char32_t ACh);
    // After the inner edit handled a mouse message (AKeys: its mouse-key flags).
    virtual void InnerMouseEvent(UINT AMsg, WPARAM AKeys) {}
    // The window style of the inner edit as it is made (a memo's is multi-line).
    virtual void AdjustInnerEditParams(TCreateParams& Params) {}
    TWinControl* ActivationTarget() override;
    // The character of the key message being handled.
    char32_t FTypedChar = 0;

    // One step of the incremental search: finds the item AText starts
    // (AText takes the item's case), shows it with the completed tail
    // selected; true when found.
    bool LocateText(std::string& AText);
    // The incremental search of a typed character or Backspace; true when
    // the search consumed it.
    bool IncrementalSearch(char32_t ACh);

private:
    class TLookupOwner;
    TcxCustomInnerTextEdit* FInnerEdit = nullptr;
    bool FSynchronizing = false;
    std::unique_ptr<TLookupOwner> FLookupOwner;
    std::unique_ptr<TcxCustomTextEditLookupData> FLookupData;
    bool FLookupSelection = false;
    bool FLookupTextLock = false;
};

class TcxTextEdit : public TcxCustomTextEdit {
    QZ_CLASS(TcxTextEdit, TcxCustomTextEdit)
public:
    explicit TcxTextEdit(TComponent* AOwner = nullptr) : TcxCustomTextEdit(AOwner) {}
};

namespace cxTextEdit {
// Registers the text edit properties with the editor registry.
void Initialize();

// The text after replacing the selection [ASelStart, ASelStart + ASelLength)
// of AText by AInserted, and where the caret goes. With a positive
// AMaxLength (in characters) only as much of AInserted goes in as there is
// room for; the text after the selection always stays. False when nothing
// fits (the text is left as it is).
bool ReplaceSelectionLimited(const std::string& AText, int ASelStart, int ASelLength,
                             const std::string& AInserted, int AMaxLength, std::string& ANewText,
                             int& ACaret);
// The text-fetch message: copies at most ABufferSize - 1 characters of
// AText and a terminator into ABuffer, and returns the number of characters
// copied, not counting the terminator (0 for a buffer of no room).
int CopyTextToBuffer(const std::string& AText, char16_t* ABuffer, int ABufferSize);
}

namespace cxEditUtils {
// The text's offsets inside the client rectangle (left, top, right, bottom).
TRect GetTextEditTextOffsets(bool AIsInplace, TAlignment AAlignment);
// 3 pixels across; 4 down stand-alone, 2 in place.
TSize GetTextEditContentOffsets(bool AIsInplace);
}  // namespace cxEditUtils
