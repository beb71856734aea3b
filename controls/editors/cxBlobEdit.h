// The blob edit: a large value (a memo text, a picture, an OLE object or raw
// binary data) shown in one line as an icon or a short text. Memo texts and
// pictures are edited in a popup made anew for each opening: a memo or an
// image editor with OK and Cancel buttons in the popup's system panel. OLE
// and binary values are only shown.
#pragma once

#include "cxDropDownEdit.h"
#include "cxEditRepositoryItems.h"
#include "cxImage.h"
#include "cxMemo.h"

#include <memory>
#include <string>

class TcxButton;
class TcxCustomBlobEdit;
class TcxCustomBlobEditProperties;

enum TcxBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TcxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
    QZ_CLASS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties)
public:
    explicit TcxCustomBlobEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    int GetDisplayFormatOptions() override { return 0; }
    bool SuppressChangeOnEditValue() override { return false; }
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    uint16_t GetSupportedOperations() override;
    bool IsEditValueValid(const Variant&) override { return true; }
    unsigned UsesDisplayFormatting(bool AFocused) override;
    bool DropDownOnClick() override { return true; }
    TClass GetPopupWindowClass() const override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    // The first class of the graphic class list.
    virtual TGraphicClass GetDefaultPictureGraphicClass() const;
    // An automatic kind becomes the one the value's source names (a blob
    // without a source), and stays so.
    void ResolveBlobEditKind();
    // The picture graphic class, or TBitmap when it is null and a picture is being pasted.
    TGraphicClass GetPictureGraphicClass(bool AIsPasting) const;

    bool AlwaysSaveData() const { return FAlwaysSaveData; }
    void SetAlwaysSaveData(bool Value) { FAlwaysSaveData = Value; }
    TcxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
    // Also makes the first button a drop-down arrow (memo, picture) or an ellipsis.
    void SetBlobEditKind(TcxBlobEditKind Value);
    TcxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TcxBlobPaintStyle Value);
    bool MemoAutoReplace() const { return FMemoAutoReplace; }
    void SetMemoAutoReplace(bool Value) { FMemoAutoReplace = Value; }
    TEditCharCase MemoCharCase() const { return FMemoCharCase; }
    void SetMemoCharCase(TEditCharCase Value) { FMemoCharCase = Value; }
    int MemoMaxLength() const { return FMemoMaxLength; }
    void SetMemoMaxLength(int Value) { FMemoMaxLength = Value; }
    bool MemoOEMConvert() const { return FMemoOEMConvert; }
    void SetMemoOEMConvert(bool Value) { FMemoOEMConvert = Value; }
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    bool MemoWantReturns() const { return FMemoWantReturns; }
    void SetMemoWantReturns(bool Value) { FMemoWantReturns = Value; }
    bool MemoWantTabs() const { return FMemoWantTabs; }
    void SetMemoWantTabs(bool Value) { FMemoWantTabs = Value; }
    bool MemoWordWrap() const { return FMemoWordWrap; }
    void SetMemoWordWrap(bool Value) { FMemoWordWrap = Value; }
    bool PictureAutoSize() const { return FPictureAutoSize; }
    void SetPictureAutoSize(bool Value) { FPictureAutoSize = Value; }
    const std::string& PictureFilter() const { return FPictureFilter; }
    void SetPictureFilter(const std::string& Value) { FPictureFilter = Value; }
    TGraphicClass PictureGraphicClass() const { return FPictureGraphicClass; }
    void SetPictureGraphicClass(TGraphicClass Value);
    std::string PictureGraphicClassName() const;
    void SetPictureGraphicClassName(const std::string& Value);
    bool IsPictureGraphicClassNameStored() const { return FPictureGraphicClass != GetDefaultPictureGraphicClass(); }
    TcxImageTransparency PictureTransparency() const { return FPictureTransparency; }
    void SetPictureTransparency(TcxImageTransparency Value) { FPictureTransparency = Value; }
    bool ShowExPopupItems() const { return FShowExPopupItems; }
    void SetShowExPopupItems(bool Value) { FShowExPopupItems = Value; }
    bool ShowPicturePopup() const { return FShowPicturePopup; }
    void SetShowPicturePopup(bool Value) { FShowPicturePopup = Value; }

    TcxImageAssignPictureEvent OnAssignPicture;

private:
    bool FAlwaysSaveData = true;
    TcxBlobEditKind FBlobEditKind = bekAuto;
    TcxBlobPaintStyle FBlobPaintStyle = bpsIcon;
    bool FMemoAutoReplace = false;
    TEditCharCase FMemoCharCase = ecNormal;
    int FMemoMaxLength = 0;
    bool FMemoOEMConvert = false;
    TScrollStyle FMemoScrollBars = ssNone;
    bool FMemoWantReturns = true;
    bool FMemoWantTabs = true;
    bool FMemoWordWrap = true;
    bool FPictureAutoSize = true;
    std::string FPictureFilter;
    TGraphicClass FPictureGraphicClass = nullptr;
    TcxImageTransparency FPictureTransparency = gtDefault;
    bool FShowExPopupItems = true;
    bool FShowPicturePopup = true;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
    QZ_CLASS(TcxBlobEditProperties, TcxCustomBlobEditProperties)
public:
    explicit TcxBlobEditProperties(TPersistent* AOwner = nullptr) : TcxCustomBlobEditProperties(AOwner) {}
};

// The memo and the image editor of the popup: closing keys end the popup.
class TcxPopupMemo : public TcxMemo {
    QZ_CLASS(TcxPopupMemo, TcxMemo)
public:
    explicit TcxPopupMemo(TComponent* AOwner = nullptr) : TcxMemo(AOwner) {}
    TcxCustomBlobEdit* BlobEdit = nullptr;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

class TcxPopupImage : public TcxImage {
    QZ_CLASS(TcxPopupImage, TcxImage)
public:
    explicit TcxPopupImage(TComponent* AOwner = nullptr) : TcxImage(AOwner) {}
    TcxCustomBlobEdit* BlobEdit = nullptr;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
    QZ_CLASS(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)
public:
    explicit TcxBlobEditPopupWindow(TWinControl* AOwnerControl = nullptr) : TcxPopupEditPopupWindow(AOwnerControl) {}
    void ForwardChar(char32_t ACh) override;
};

class TcxBlobEditViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxBlobEditViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxBlobEditViewInfo() = default;
    void Assign(TObject* Source) override;
    void Paint(TcxCanvas* ACanvas) override;
    void OffsetBounds(int DX, int DY) override;
    TRect IconRect;
    int IconIndex = -1;   // -1: the text shows
};

class TcxBlobEditViewData : public TcxCustomDropDownEditViewData {
    QZ_CLASS(TcxBlobEditViewData, TcxCustomDropDownEditViewData)
public:
    using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                     const TcxEditSizeProperties& AEditSizeProperties) override;
    TcxCustomBlobEdit* Edit = nullptr;

private:
    TcxCustomBlobEditProperties* BlobProperties() const
    {
        return static_cast<TcxCustomBlobEditProperties*>(Properties());
    }
};

class TcxCustomBlobEdit : public TcxCustomPopupEdit {
    QZ_CLASS(TcxCustomBlobEdit, TcxCustomPopupEdit)
public:
    explicit TcxCustomBlobEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomBlobEdit() override;
    TClass GetPropertiesClass() const override { return TcxBlobEditProperties::StaticClass(); }
    TcxCustomBlobEditProperties* Properties() const
    {
        return static_cast<TcxCustomBlobEditProperties*>(ActiveProperties());
    }

    bool IsInnerEditVisible() override { return false; }
    void PropertiesChanged(TObject* Sender) override;
    void SynchronizeDisplayValue() override;
    std::string GetTextForLookup() override;
    bool SetTextForLookup(const std::string& AText) override;
    void SetEditingText(const std::string& AText);
    void GetPopupWindowClientPreferredSize(TSize& ASize) override;
    void PopupWindowClosed(TObject* Sender) override;

    // The popup's editor and buttons, while the popup is prepared or open.
    TcxCustomEdit* PopupEditor() const { return FPopupEditor.get(); }
    TcxPopupMemo* PopupMemo() const { return dynamic_cast<TcxPopupMemo*>(FPopupEditor.get()); }
    TcxPopupImage* PopupImage() const { return dynamic_cast<TcxPopupImage*>(FPopupEditor.get()); }
    TcxButton* OKButton() const { return FOKButton.get(); }
    TcxButton* CancelButton() const { return FCancelButton.get(); }
    // A key pressed in the popup editor: 1 keeps the edited data and closes,
    // 2 drops it and closes, 0 goes on to the editor.
    int PopupEditorKeyResult(WORD AKey, TShiftState AShift, bool AEnterCloses);
    // Sets the popup window's result for a key of the popup editor (a
    // closing key is consumed).
    void PopupEditorKeyDown(WORD& Key, TShiftState Shift, bool AEnterCloses);

protected:
    void SynchronizeEditValue() override {}
    void DoInitPopup() override;
    bool CanDropDown() override;
    TWinControl* GetPopupFocusedControl() override;
    void UpdatePopupWindow() override;
    void InitializeViewData(TcxCustomEditViewData* AViewData) override;
    void ColorChanged() override;
    void FontChanged() override;
    virtual void InitPopupControls();
    virtual void FreePopupControls();
    virtual void PopupEditorEditing(TObject* Sender, bool& CanEdit);

private:
    void EnableOK(TObject* Sender);
    int FButtonWidth = 0;
    int FButtonHeight = 0;
    std::unique_ptr<TcxButton> FCancelButton;
    std::unique_ptr<TcxButton> FOKButton;
    std::unique_ptr<TcxCustomEdit> FPopupEditor;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
    QZ_CLASS(TcxBlobEdit, TcxCustomBlobEdit)
public:
    explicit TcxBlobEdit(TComponent* AOwner = nullptr, bool AIsInplace = false) : TcxCustomBlobEdit(AOwner, AIsInplace) {}
};

#define CX_EDIT_REPOSITORY_ITEM_EXTRA
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryBlobItem, TcxBlobEditProperties)
#undef CX_EDIT_REPOSITORY_ITEM_EXTRA

namespace cxBlobEdit {
// The text shown for a value: the whole memo text with AFullText, else by
// the paint style ("(MEMO)", the start of the memo text, or nothing).
std::string GetBlobDisplayText(const Variant& AValue, TcxCustomBlobEditProperties* AProperties, bool AFullText);
// The edit kind of a value source's blob kind (masked with 0x7F).
TcxBlobEditKind BlobKindOfProviderKind(int AKind);
// The icon of a kind: blob 0, memo 2, picture 4, OLE 6, one more with a value.
int IconIndex(TcxBlobEditKind AKind, const Variant& AValue);
TCustomImageList* BlobImages();
// Registers the properties class, the item class and the default editor of
// the large-value field types. Starting again registers nothing twice.
void Initialize();
void Finalize();
}  // namespace cxBlobEdit
