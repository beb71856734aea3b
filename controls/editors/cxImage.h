// The image editor: shows and edits a picture whose edit value is the bytes
// of its stored form (or Null). Stand-alone it scrolls a picture larger than
// its client area, offers a context menu (cut, copy, paste, delete, load,
// save and a custom command) and the clipboard keys; in a grid cell it
// decodes and paints the cell's value. A stored value is decoded by the
// format its bytes announce; bytes no decoder takes are reported where the
// picture would show and kept as the value, never dropped for an empty picture.
#pragma once

#include "cxEdit.h"
#include "cxEditRepositoryItems.h"

#include "Clipbrd.h"
#include "Graphics.h"
#include "Streams.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPopupMenu;
class TMenuItem;
class TcxCustomImage;

// A stream over memory it does not own; writing writes nothing.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
    QZ_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
public:
    TMemoryStreamReadOnly() = default;
    void SetPointer(const void* APtr, int64_t ASize) { TCustomMemoryStream::SetPointer(const_cast<void*>(APtr), ASize); }
    int Write(const void*, int) override { return 0; }
};

enum TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = TSet<TcxPopupMenuItem>;

class TcxPopupMenuLayout : public TPersistent {
    QZ_CLASS(TcxPopupMenuLayout, TPersistent)
public:
    explicit TcxPopupMenuLayout(TcxCustomImage* AImage = nullptr);
    ~TcxPopupMenuLayout() override;
    void Assign(TPersistent* Source) override;

    TcxPopupMenuItems MenuItems() const { return FMenuItems; }
    void SetMenuItems(TcxPopupMenuItems Value) { FMenuItems = Value; }
    const std::string& CustomMenuItemCaption() const { return FCustomMenuItemCaption; }
    void SetCustomMenuItemCaption(const std::string& Value) { FCustomMenuItemCaption = Value; }
    // Made empty on first read; setting null frees it, else copies the bitmap.
    virtual TBitmap* CustomMenuItemGlyph();
    void SetCustomMenuItemGlyph(TBitmap* Value);
    bool HasCustomMenuItemGlyph() const { return FCustomMenuItemGlyph != nullptr; }

private:
    TcxCustomImage* FImage;
    TcxPopupMenuItems FMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
    std::string FCustomMenuItemCaption;
    std::unique_ptr<TBitmap> FCustomMenuItemGlyph;
};

enum TcxImageTransparency { gtDefault, gtOpaque, gtTransparent };

using TcxImageAssignPictureEvent = std::function<void(TObject* Sender, TPicture* Picture)>;

class TcxCustomImageProperties : public TcxCustomEditProperties {
    QZ_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)
public:
    explicit TcxCustomImageProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomImageProperties() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    bool CanValidate() override { return true; }
    TClass GetEditClass() const override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    unsigned UsesDisplayFormatting(bool) override { return 0; }
    uint16_t GetSupportedOperations() override;
    TClass GetViewInfoClass() const override;
    bool CanResetEditValue() override { return true; }
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    // The first class of the graphic class list (null when it is empty).
    virtual TGraphicClass GetDefaultGraphicClass() const;
    // GraphicClass, or TBitmap when it is null and a picture is being pasted.
    virtual TGraphicClass GetGraphicClass(bool AIsPasting) const;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    const std::string& CustomFilter() const { return FCustomFilter; }
    void SetCustomFilter(const std::string& Value) { FCustomFilter = Value; }
    int DefaultHeight() const { return FDefaultHeight; }
    TGraphicClass GraphicClass() const { return FGraphicClass; }
    void SetGraphicClass(TGraphicClass Value);
    // The class's name, "" for none; an unknown name leaves the class as it is.
    std::string GraphicClassName() const;
    void SetGraphicClassName(const std::string& Value);
    bool IsGraphicClassNameStored() const { return FGraphicClass != GetDefaultGraphicClass(); }
    TcxImageTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TcxImageTransparency Value);
    TcxPopupMenuLayout* PopupMenuLayout() const { return FPopupMenuLayout.get(); }
    void SetPopupMenuLayout(TcxPopupMenuLayout* Value) { FPopupMenuLayout->Assign(Value); }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);

    TcxImageAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;

private:
    std::string FCaption;
    bool FCenter = true;
    std::string FCustomFilter;
    int FDefaultHeight = 15;
    TGraphicClass FGraphicClass = nullptr;
    TcxImageTransparency FGraphicTransparency = gtDefault;
    std::unique_ptr<TcxPopupMenuLayout> FPopupMenuLayout;
    bool FShowFocusRect = true;
    bool FStretch = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
    QZ_CLASS(TcxImageProperties, TcxCustomImageProperties)
public:
    explicit TcxImageProperties(TPersistent* AOwner = nullptr) : TcxCustomImageProperties(AOwner) {}
};

class TcxImageViewInfo : public TcxCustomEditViewInfo {
    QZ_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)
public:
    TcxImageViewInfo() = default;
    ~TcxImageViewInfo() override;
    void Assign(TObject* Source) override;
    void Paint(TcxCanvas* ACanvas) override;

    // The picture painted: the edit's, or one this view info made (a host
    // painting a value without an edit).
    TPicture* Picture() const { return FPicture; }
    void SetPicture(TPicture* APicture);
    TPicture* OwnPicture();
    // Where the picture goes in R.
    TRect PictureRect(const TRect& R) const;

    TPoint ScrollOffset;
    std::string Caption;
    // Why the value shows no picture: its bytes could not be decoded.
    std::string LoadError;
    bool Center = true;
    bool ShowFocusFrame = false;
    bool Stretch = false;

private:
    TPicture* FPicture = nullptr;
    std::unique_ptr<TPicture> FOwnedPicture;
    std::unique_ptr<TBitmap> FCachedBitmap;
};

class TcxImageViewData : public TcxCustomEditViewData {
    QZ_CLASS(TcxImageViewData, TcxCustomEditViewData)
public:
    TcxImageViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
        : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                     const TcxEditSizeProperties& AEditSizeProperties) override;

    // The edit being calculated (null for a host painting a value).
    TcxCustomImage* Edit = nullptr;

private:
    TcxCustomImageProperties* ImageProperties() const
    {
        return static_cast<TcxCustomImageProperties*>(Properties());
    }
};

class TcxCustomImage : public TcxCustomEdit {
    QZ_CLASS(TcxCustomImage, TcxCustomEdit)
public:
    explicit TcxCustomImage(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomImage() override;

    TClass GetPropertiesClass() const override { return TcxImageProperties::StaticClass(); }
    TcxCustomImageProperties* Properties() const
    {
        return static_cast<TcxCustomImageProperties*>(ActiveProperties());
    }
    void SetProperties(TcxCustomImageProperties* Value) { Properties()->Assign(Value); }
    TcxImageViewInfo* ImageViewInfo() const { return dynamic_cast<TcxImageViewInfo*>(ViewInfo()); }

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // The decoder's message while the value's bytes could not be decoded.
    const std::string& LoadError() const { return FLoadError; }

    // Null for a blank picture, else its stored form; undecodable bytes stay the value.
    Variant GetEditValue() const override;
    void Clear() override;
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    virtual bool CanPasteFromClipboard();
    virtual void DoOnCustomClick();
    virtual TGraphicClass GetGraphicClass(bool AIsPasting) const;
    // The menu commands that use a file dialog.
    void LoadFromFile();
    void SaveToFile();
    void PropertiesChanged(TObject* Sender) override;
    bool Focused() const override;
    bool CanAutoSize() override;
    bool CanAutoWidth() override { return true; }

    // The context menu, made on its first popup (null before); refreshed for
    // the state the edit is in.
    TPopupMenu* ContextMenu() const { return FContextMenu.get(); }
    void PrepareContextMenu();
    // Runs the context menu command of a tag as the user's change.
    void MenuCommand(int ATag);

protected:
    void InternalSetEditValue(const Variant& Value, bool AValidate) override;
    void InitializeViewData(TcxCustomEditViewData* AViewData) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    bool HasScrollBars() const override { return true; }
    void InitScrollBarsParameters() override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    void UpdateScrollBars() override;

private:
    void PictureChanged(TObject* Sender);
    void UpdateScrollOffsets();
    void CreateContextMenu();
    void ForgetUndecodedValue();

    TClipboardFormat FClipboardFormat = 0;
    std::unique_ptr<TPopupMenu> FContextMenu;
    bool FInternalSetting = false;
    bool FDialogOpen = false;
    std::unique_ptr<TPicture> FPicture;
    Variant FUndecodedValue;
    std::string FLoadError;
};

class TcxImage : public TcxCustomImage {
    QZ_CLASS(TcxImage, TcxCustomImage)
public:
    explicit TcxImage(TComponent* AOwner = nullptr, bool AIsInplace = false) : TcxCustomImage(AOwner, AIsInplace) {}
};

#define CX_EDIT_REPOSITORY_ITEM_EXTRA
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryImageItem, TcxImageProperties)
#undef CX_EDIT_REPOSITORY_ITEM_EXTRA

namespace cxImage {

// The graphic classes pictures may be of (TBitmap, TIcon, TMetafile,
// TJPEGImage), made on first use; the first is the default.
std::vector<TGraphicClass>& GraphicClassList();
void AddGraphicClass(TGraphicClass AClass);
// Case-insensitive by class name; null when none has the name.
TGraphicClass FindGraphicClass(const std::string& AName);
// The listed class whose stored form the bytes start with (null: none known).
TGraphicClass GraphicClassOfBytes(const std::string& ABytes);
// The largest rectangle of the picture's proportions in R, at R's top-left.
TRect FitPictureRect(const TRect& R, int AWidth, int AHeight);
bool IsPictureBlank(TPicture* APicture);
// Puts a value into the picture: a string of stored bytes (after a field
// header, when it has one) is decoded by the format the bytes announce, else
// by AGraphicClass (a bitmap when null); any other value clears the picture.
// Bytes no decoder takes clear it too: the result is then false and AError
// holds the decoder's message.
bool LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue,
                          std::string* AError = nullptr);
// The stored form ("" for a blank picture), without a header.
std::string SavePictureToString(TPicture* APicture);
void DrawFocusFrame(TcxCanvas* ACanvas, const TRect& R);
// The images of the context menu's commands, by tag (cut, copy, paste, delete, load, save).
TCustomImageList* MenuImages();
// Registers the properties class and the item class, and the default editor
// of picture fields. Starting again registers nothing twice.
void Initialize();
void Finalize();

}  // namespace cxImage
