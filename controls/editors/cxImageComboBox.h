// The image combo box: the edit value is the Value of one of a collection of
// items, each a picture of an image list and a description; the edit shows
// the picture and (optionally) the description, and the popup lists every
// item with its picture, optionally with word-wrapped descriptions of
// varying height.
#pragma once

#include "ImgList.h"
#include "cxDropDownEdit.h"

#include <memory>
#include <string>

enum TcxImageAlign { iaLeft, iaRight };

class TcxCustomImageComboBoxProperties;

class TcxImageComboBoxItem : public TCollectionItem {
    QZ_CLASS(TcxImageComboBoxItem, TCollectionItem)
public:
    explicit TcxImageComboBoxItem(TCollection* ACollection = nullptr);
    void Assign(TPersistent* Source) override;

    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Tag = 0;
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& Value);
    bool IsValueStored() const { return !VarIsNull(FValue); }

private:
    std::string FDescription;
    int FImageIndex = -1;
    Variant FValue;
};

class TcxImageComboBoxItems : public TOwnedCollection {
    QZ_CLASS(TcxImageComboBoxItems, TOwnedCollection)
public:
    explicit TcxImageComboBoxItems(TPersistent* AOwner = nullptr)
        : TOwnedCollection(AOwner, TcxImageComboBoxItem::StaticClass())
    {
    }
    ~TcxImageComboBoxItems() override { Clear(); }
    TcxImageComboBoxItem* Items(int Index) const { return ItemAs<TcxImageComboBoxItem>(Index); }
    TcxImageComboBoxItem* Add() { return AddAs<TcxImageComboBoxItem>(); }

protected:
    void Added(TCollectionItem* AItem) override;
    void Update(TCollectionItem* AItem) override;
};

class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
    QZ_CLASS(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)
public:
    explicit TcxCustomImageComboBoxProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomImageComboBoxProperties() override;
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    TClass GetLookupDataClass() const override;
    TClass GetViewInfoClass() const override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    int GetDisplayFormatOptions() override { return 0; }
    bool IsEditValueValid(const Variant&) override { return true; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    uint16_t GetSupportedOperations() override;
    unsigned UsesDisplayFormatting(bool AFocused) override;
    bool FindLookupText(const std::string& AText) override;
    void FreeNotification(TComponent* AComponent) override;

    // The first item whose value equals AValue (a Boolean compared as
    // text), or nil.
    TcxImageComboBoxItem* FindItemByValue(const Variant& AValue) const;
    // With descriptions shown: the first item whose description equals AText
    // without regard to case, or nil.
    TcxImageComboBoxItem* FindItemByText(const std::string& AText) const;

    const std::string& DefaultDescription() const { return FDefaultDescription; }
    void SetDefaultDescription(const std::string& Value);
    int DefaultImageIndex() const { return FDefaultImageIndex; }
    void SetDefaultImageIndex(int Value);
    TcxImageAlign ImageAlign() const { return FImageAlign; }
    void SetImageAlign(TcxImageAlign Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TcxImageComboBoxItems* Items() const { return FItems.get(); }
    void SetItems(TcxImageComboBoxItems* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool MultiLineText() const { return FMultiLineText; }
    void SetMultiLineText(bool Value);
    bool ShowDescriptions() const { return FShowDescriptions; }
    void SetShowDescriptions(bool Value);

private:
    void SetImageList(TCustomImageList*& AField, TChangeLink* ALink, TCustomImageList* Value);
    std::string FDefaultDescription;
    int FDefaultImageIndex = -1;
    TcxImageAlign FImageAlign = iaLeft;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImagesLink;
    std::unique_ptr<TcxImageComboBoxItems> FItems;
    TCustomImageList* FLargeImages = nullptr;
    std::unique_ptr<TChangeLink> FLargeImagesLink;
    bool FMultiLineText = false;
    bool FShowDescriptions = true;
    std::unique_ptr<TcxFreeNotificator> FNotificator;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
    QZ_CLASS(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)
public:
    explicit TcxImageComboBoxProperties(TPersistent* AOwner = nullptr) : TcxCustomImageComboBoxProperties(AOwner) {}
};

class TcxImageComboBoxViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxImageComboBoxViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxImageComboBoxViewInfo() = default;
    void Paint(TcxCanvas* ACanvas) override;
    void OffsetBounds(int DX, int DY) override;
    TRect ImageRect;
    int ImageIndex = -1;
    bool ShowDescriptions = true;
    TcxImageAlign ImageAlign = iaLeft;
    TCustomImageList* Images = nullptr;
};

class TcxImageComboBoxViewData : public TcxCustomComboBoxViewData {
    QZ_CLASS(TcxImageComboBoxViewData, TcxCustomComboBoxViewData)
public:
    using TcxCustomComboBoxViewData::TcxCustomComboBoxViewData;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                     const TcxEditSizeProperties& AEditSizeProperties) override;
    // The item the edit shows (the edit's current item while one edits).
    int CurrentKey = -2;
};

// The popup list: each item with its picture and description.
class TcxImageComboBoxListBox : public TcxComboBoxListBox {
    QZ_CLASS(TcxImageComboBoxListBox, TcxComboBoxListBox)
public:
    explicit TcxImageComboBoxListBox(TComponent* AOwner = nullptr);
    TcxCustomImageComboBoxProperties* ImageProperties() const;
    TCustomImageList* ImageList() const;
    int GetItemHeight(int AIndex = -1) override;
    bool DoDrawItem(int AIndex, const TRect& ARect, TOwnerDrawState AState) override;
    void UpdateItemHeights() override;
    // The width the descriptions are wrapped in (0: one line each).
    int TextWidth = 0;
    // Measures every item for a maximum list height, twice when a vertical
    // scroll bar will show.
    void MeasureRows(int AMaxHeight);
    int PreferredWidth();
};

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
    QZ_CLASS(TcxImageComboBoxLookupData, TcxComboBoxLookupData)
public:
    TcxImageComboBoxLookupData() = default;
    TClass GetListBoxClass() const override { return TcxImageComboBoxListBox::StaticClass(); }
    std::string GetItem(int AIndex) override;
    int GetItemCount() override;
    void TextChanged() override;
    TSize GetListPreferredSize(int AListWidth, int AMaxHeight) override;
};

class TcxCustomImageComboBox : public TcxCustomComboBox {
    QZ_CLASS(TcxCustomImageComboBox, TcxCustomComboBox)
public:
    explicit TcxCustomImageComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxImageComboBoxProperties::StaticClass(); }
    TcxCustomImageComboBoxProperties* Properties() const
    {
        return static_cast<TcxCustomImageComboBoxProperties*>(ActiveProperties());
    }
    Variant GetLookupItemValue(const Variant& AKey) override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    void SynchronizeDisplayValue() override;

protected:
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
};

class TcxImageComboBox : public TcxCustomImageComboBox {
    QZ_CLASS(TcxImageComboBox, TcxCustomImageComboBox)
public:
    explicit TcxImageComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false)
        : TcxCustomImageComboBox(AOwner, AIsInplace)
    {
    }
};

extern const TcxResourceStringRec scxSEditRepositoryImageComboBoxItem;

namespace cxImageComboBox {
// Registers the image combo box properties with the editor registry.
void Initialize();
}
