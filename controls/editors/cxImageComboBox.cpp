#include "cxImageComboBox.h"

#include "SysUtils.h"
#include "cxVariants.h"

#include <algorithm>

const TcxResourceStringRec scxSEditRepositoryImageComboBoxItem = {
    "scxSEditRepositoryImageComboBoxItem",
    "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"};

QZ_CLASS_IMPL(TcxImageComboBoxItem, TCollectionItem)
QZ_CLASS_IMPL(TcxImageComboBoxItems, TOwnedCollection)
QZ_CLASS_IMPL(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)
QZ_CLASS_IMPL(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)
QZ_CLASS_IMPL(TcxImageComboBoxViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxImageComboBoxViewData, TcxCustomComboBoxViewData)
QZ_CLASS_IMPL(TcxImageComboBoxListBox, TcxComboBoxListBox)
QZ_CLASS_IMPL(TcxImageComboBoxLookupData, TcxComboBoxLookupData)
QZ_CLASS_IMPL(TcxCustomImageComboBox, TcxCustomComboBox)
QZ_CLASS_IMPL(TcxImageComboBox, TcxCustomImageComboBox)

// ---- items -----------------------------------------------------------------------------------------------

TcxImageComboBoxItem::TcxImageComboBoxItem(TCollection* ACollection) : TCollectionItem(ACollection)
{
    FValue = Null();
}

void TcxImageComboBoxItems::Added(TCollectionItem* AItem)
{
    // A new item takes its own picture when the owner's list has one for every item.
    auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(Owner());
    auto* it = dynamic_cast<TcxImageComboBoxItem*>(AItem);
    if (p && it && p->Images() && p->Images()->Count() >= Count()) it->SetImageIndex(it->Index());
}

void TcxImageComboBoxItem::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxImageComboBoxItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FDescription = s->FDescription;
    FImageIndex = s->FImageIndex;
    FValue = s->FValue;
    Changed(false);
}

void TcxImageComboBoxItem::SetDescription(const std::string& Value)
{
    if (FDescription == Value) return;
    FDescription = Value;
    Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& Value)
{
    if (cxEdit::VarEqualsExact(FValue, Value)) return;
    FValue = Value;
    Changed(false);
}

void TcxImageComboBoxItems::Update(TCollectionItem*)
{
    if (auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(Owner())) p->Changed();
}

// ---- properties ------------------------------------------------------------------------------------------

TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties(TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner)
{
    FItems = std::make_unique<TcxImageComboBoxItems>(this);
    FImagesLink = std::make_unique<TChangeLink>();
    FImagesLink->OnChange = [this](TObject*) { Changed(); };
    FLargeImagesLink = std::make_unique<TChangeLink>();
    FLargeImagesLink->OnChange = [this](TObject*) { Changed(); };
    FNotificator = std::make_unique<TcxFreeNotificator>();
    FNotificator->OnFreeNotification = [this](TComponent* c) { FreeNotification(c); };
    SetDropDownListStyle(lsFixedList);
    SetIncrementalSelection(true);
    SetValidateOnEnter(true);
}

TcxCustomImageComboBoxProperties::~TcxCustomImageComboBoxProperties()
{
    SetImages(nullptr);
    SetLargeImages(nullptr);
    FItems.reset();
}

TClass TcxCustomImageComboBoxProperties::GetEditClass() const { return TcxImageComboBox::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetLookupDataClass() const
{
    return TcxImageComboBoxLookupData::StaticClass();
}
TClass TcxCustomImageComboBoxProperties::GetViewInfoClass() const { return TcxImageComboBoxViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomImageComboBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                        bool AIsInplace)
{
    return std::make_unique<TcxImageComboBoxViewData>(this, AStyle, AIsInplace);
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& AValue) const
{
    for (int i = 0; i < FItems->Count(); ++i)
        if (cxVariants::VarEqualsEx(FItems->Items(i)->Value(), AValue)) return FItems->Items(i);
    return nullptr;
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByText(const std::string& AText) const
{
    if (!FShowDescriptions) return nullptr;
    for (int i = 0; i < FItems->Count(); ++i)
        if (AnsiCompareText(FItems->Items(i)->Description(), AText) == 0) return FItems->Items(i);
    return nullptr;
}

bool TcxCustomImageComboBoxProperties::FindLookupText(const std::string& AText) { return FindItemByText(AText); }

void TcxCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool)
{
    TcxImageComboBoxItem* it = FindItemByValue(AEditValue);
    DisplayValue = Variant(it ? it->Description() : FDefaultDescription);
}

std::string TcxCustomImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool)
{
    Variant v;
    PrepareDisplayValue(AEditValue, v, false);
    return VarToStr(v);
}

uint16_t TcxCustomImageComboBoxProperties::GetSupportedOperations()
{
    uint16_t r = Buttons()->Count() > 0 ? 0x19C : 0x18C;
    if (FShowDescriptions) r |= 0x20;
    return r;
}

unsigned TcxCustomImageComboBoxProperties::UsesDisplayFormatting(bool)
{
    // Currency values are not accepted here.
    return DefaultValuesProvider() && DefaultValuesProvider()->HasDisplayFormat(false) ? 1 : 0;
}

void TcxCustomImageComboBoxProperties::SetDefaultDescription(const std::string& Value)
{
    if (FDefaultDescription == Value) return;
    FDefaultDescription = Value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultImageIndex(int Value)
{
    if (FDefaultImageIndex == Value) return;
    FDefaultImageIndex = Value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetImageAlign(TcxImageAlign Value)
{
    if (FImageAlign == Value) return;
    FImageAlign = Value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetMultiLineText(bool Value)
{
    if (FMultiLineText == Value) return;
    FMultiLineText = Value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetShowDescriptions(bool Value)
{
    if (FShowDescriptions == Value) return;
    FShowDescriptions = Value;
    Changed();
}

void TcxCustomImageComboBoxProperties::SetImageList(TCustomImageList*& AField, TChangeLink* ALink,
                                                    TCustomImageList* Value)
{
    if (AField == Value) return;
    if (AField) {
        AField->UnRegisterChanges(ALink);
        FNotificator->RemoveSender(AField);
    }
    AField = Value;
    if (AField) {
        AField->RegisterChanges(ALink);
        FNotificator->AddSender(AField);
    }
    Changed();
}

void TcxCustomImageComboBoxProperties::SetImages(TCustomImageList* Value)
{
    SetImageList(FImages, FImagesLink.get(), Value);
}

void TcxCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* Value)
{
    SetImageList(FLargeImages, FLargeImagesLink.get(), Value);
}

void TcxCustomImageComboBoxProperties::SetItems(TcxImageComboBoxItems* Value)
{
    FItems->Assign(Value);
    Changed();
}

void TcxCustomImageComboBoxProperties::FreeNotification(TComponent* AComponent)
{
    TcxCustomComboBoxProperties::FreeNotification(AComponent);
    // The list is gone: no link to unregister any more.
    if (AComponent == FImages) {
        FImages = nullptr;
        Changed();
    }
    if (AComponent == FLargeImages) {
        FLargeImages = nullptr;
        Changed();
    }
}

void TcxCustomImageComboBoxProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomImageComboBoxProperties*>(Source);
    if (!s) {
        TcxCustomComboBoxProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomComboBoxProperties::Assign(Source);
        SetDefaultDescription(s->DefaultDescription());
        SetDefaultImageIndex(s->DefaultImageIndex());
        SetImageAlign(s->ImageAlign());
        SetImages(s->Images());
        SetItems(s->Items());
        SetLargeImages(s->LargeImages());
        SetMultiLineText(s->MultiLineText());
        SetShowDescriptions(s->ShowDescriptions());
    });
}

// ---- view data and view info -------------------------------------------------------------------------------

void TcxImageComboBoxViewInfo::OffsetBounds(int DX, int DY)
{
    TcxCustomTextEditViewInfo::OffsetBounds(DX, DY);
    OffsetRect(ImageRect, DX, DY);
}

void TcxImageComboBoxViewInfo::Paint(TcxCanvas* ACanvas)
{
    if (!RectVisible(ACanvas->Handle(), OuterRect)) return;
    TcxCustomTextEditViewInfo::Paint(ACanvas);
    if (!Images || ImageIndex < 0 || ImageIndex >= Images->Count() || IsRectEmpty(ImageRect)) return;
    int saved = SaveDC(ACanvas->Handle());
    IntersectClipRect(ACanvas->Handle(), InnerRect.Left, InnerRect.Top, InnerRect.Right, InnerRect.Bottom);
    IntersectClipRect(ACanvas->Handle(), ImageRect.Left, ImageRect.Top, ImageRect.Right, ImageRect.Bottom);
    Images->Draw(ACanvas->Canvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
    RestoreDC(ACanvas->Handle(), saved);
}

void TcxImageComboBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                         TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxCustomComboBoxViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
    auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(Properties());
    if (!vi || !p) return;
    vi->ShowDescriptions = p->ShowDescriptions();
    vi->ImageAlign = p->ImageAlign();
    vi->Images = p->Images();
    TRect r = vi->ContentRect;
    vi->ImageRect = TRect{};
    if (TCustomImageList* il = p->Images()) {
        const int w = il->Width(), h = il->Height();
        if (!p->ShowDescriptions()) {
            int x = r.Left + (r.Width() - w) / 2;
            vi->ImageRect = TRect{x, 0, x + w, 0};
        } else if (p->ImageAlign() == iaLeft) {
            vi->ImageRect = TRect{r.Left + 2, 0, r.Left + 2 + w, 0};
            r.Left += w + 4;
        } else {
            vi->ImageRect = TRect{r.Right - 2 - w, 0, r.Right - 2, 0};
            r.Right -= w + 4;
        }
        vi->ImageRect.Top = r.Top + (r.Height() - h) / 2;
        vi->ImageRect.Bottom = vi->ImageRect.Top + h;
    }
    if (!IsInplace()) vi->ContentRect = r;
    vi->TextRect = TRect{r.Left + 2, r.Top + 1, r.Right - 2, r.Bottom - 1};
    if (!p->ShowDescriptions()) vi->Text.clear();
    if (!IsInplace()) vi->TextHighlighted = false;
}

void TcxImageComboBoxViewData::PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                TcxCustomEditViewInfo* AViewInfo)
{
    TcxCustomComboBoxViewData::PrepareDrawValue(ACanvas, AEditValue, AViewInfo);
    auto* vi = dynamic_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
    auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(Properties());
    if (!vi || !p) return;
    TcxImageComboBoxItem* it = CurrentKey >= -1
                                   ? (CurrentKey >= 0 && CurrentKey < p->Items()->Count() ? p->Items()->Items(CurrentKey)
                                                                                          : nullptr)
                                   : p->FindItemByValue(AEditValue);
    vi->ImageIndex = it ? it->ImageIndex() : p->DefaultImageIndex();
    vi->Text = p->ShowDescriptions() ? (it ? it->Description() : p->DefaultDescription()) : std::string();
}

TSize TcxImageComboBoxViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                           const TcxEditSizeProperties& AEditSizeProperties)
{
    auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(Properties());
    std::string text;
    if (p && p->ShowDescriptions()) {
        TcxImageComboBoxItem* it = p->FindItemByValue(AEditValue);
        text = it ? it->Description() : p->DefaultDescription();
    }
    TSize s = TcxCustomComboBoxViewData::InternalGetEditContentSize(ACanvas, Variant(text), AEditSizeProperties);
    s.cx += p && p->Images() ? p->Images()->Width() + 5 : 1;
    return s;
}

// ---- the popup list -----------------------------------------------------------------------------------------

TcxImageComboBoxListBox::TcxImageComboBoxListBox(TComponent* AOwner) : TcxComboBoxListBox(AOwner)
{
    SetStyle(lbOwnerDrawVariable);
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxListBox::ImageProperties() const
{
    TcxCustomComboBox* c = ComboBox();
    return c ? dynamic_cast<TcxCustomImageComboBoxProperties*>(c->Properties()) : nullptr;
}

TCustomImageList* TcxImageComboBoxListBox::ImageList() const
{
    TcxCustomImageComboBoxProperties* p = ImageProperties();
    if (!p) return nullptr;
    return p->LargeImages() ? p->LargeImages() : p->Images();
}

int TcxImageComboBoxListBox::GetItemHeight(int AIndex)
{
    TcxCustomImageComboBoxProperties* p = ImageProperties();
    if (!p) return TcxComboBoxListBox::GetItemHeight(AIndex);
    TCustomImageList* il = ImageList();
    const int imageMin = il ? il->Height() + 2 : 0;
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    int textWidth = TextWidth - 2 - (il ? il->Width() + 4 : 0);
    if (p->MultiLineText() && textWidth > 0 && AIndex >= 0 && AIndex < p->Items()->Count()) {
        TRect r{0, 0, textWidth, 0};
        DrawText(c->Handle(), p->Items()->Items(AIndex)->Description(), -1, &r,
                 DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        return std::max(imageMin, r.Height() + 2);
    }
    return std::max(c->TextHeight("Wg") + 2, imageMin);
}

void TcxImageComboBoxListBox::UpdateItemHeights()
{
    // Measuring may have changed: the window is always made again.
    if (HandleAllocated()) RecreateWnd();
}

void TcxImageComboBoxListBox::MeasureRows(int AMaxHeight)
{
    TcxCustomImageComboBoxProperties* p = ImageProperties();
    TcxCustomComboBox* c = ComboBox();
    if (!p || !c) return;
    if (!p->MultiLineText()) {
        TextWidth = 0;
        return;
    }
    auto* w = c->PopupWindow();
    TRect ext = w ? w->EditViewInfo()->GetClientExtent() : TRect{};
    TextWidth = c->GetOwnerBounds().Width() - ext.Left - ext.Right;
    const int count = p->Items()->Count(), rows = std::min(count, p->DropDownRows());
    int h = GetHeight(rows);
    if ((AMaxHeight > 0 && h > AMaxHeight) || rows < count) TextWidth -= GetSystemMetrics(SM_CXVSCROLL);
}

int TcxImageComboBoxListBox::PreferredWidth()
{
    TcxCustomImageComboBoxProperties* p = ImageProperties();
    if (!p || p->MultiLineText()) return 0;
    TCustomImageList* il = ImageList();
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    int widest = 0;
    for (int i = 0; i < p->Items()->Count(); ++i)
        widest = std::max(widest, c->TextWidth(p->Items()->Items(i)->Description()));
    int w = (il ? il->Width() + 8 : 4) + widest;
    if (p->DropDownRows() < p->Items()->Count()) w += GetSystemMetrics(SM_CXVSCROLL);
    return w;
}

bool TcxImageComboBoxListBox::DoDrawItem(int AIndex, const TRect& ARect, TOwnerDrawState AState)
{
    if (TcxComboBoxListBox::DoDrawItem(AIndex, ARect, AState)) return true;
    TcxCustomImageComboBoxProperties* p = ImageProperties();
    if (!p || AIndex < 0 || AIndex >= p->Items()->Count()) return false;
    TCanvas* c = Canvas();
    c->FillRect(ARect);
    TcxImageComboBoxItem* it = p->Items()->Items(AIndex);
    TRect text = ARect;
    if (p->ImageAlign() == iaLeft) text.Left += 2;
    else text.Right -= 2;
    if (TCustomImageList* il = ImageList()) {
        TRect img = p->ImageAlign() == iaLeft ? TRect{ARect.Left, ARect.Top, ARect.Left + il->Width() + 4, ARect.Bottom}
                                              : TRect{ARect.Right - il->Width() - 4, ARect.Top, ARect.Right, ARect.Bottom};
        if (it->ImageIndex() >= 0 && it->ImageIndex() < il->Count())
            il->Draw(c, img.Left + 1, img.Top + (img.Height() - il->Height()) / 2, it->ImageIndex(), Enabled());
        if (p->ImageAlign() == iaLeft) text.Left = img.Right;
        else text.Right = img.Left;
    }
    int mode = SetBkMode(c->Handle(), TRANSPARENT);
    UINT flags = p->MultiLineText() ? DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK : DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    DrawText(c->Handle(), it->Description(), -1, &text, flags);
    SetBkMode(c->Handle(), mode);
    return true;
}

// ---- lookup data -----------------------------------------------------------------------------------------

namespace {
TcxCustomImageComboBoxProperties* ImagePropertiesOf(IcxTextEditLookupOwner* AOwner)
{
    return AOwner ? dynamic_cast<TcxCustomImageComboBoxProperties*>(AOwner->LookupProperties()) : nullptr;
}
}  // namespace

std::string TcxImageComboBoxLookupData::GetItem(int AIndex)
{
    TcxCustomImageComboBoxProperties* p = ImagePropertiesOf(LookupOwner());
    if (!p || AIndex < 0 || AIndex >= p->Items()->Count()) return std::string();
    return p->Items()->Items(AIndex)->Description();
}

int TcxImageComboBoxLookupData::GetItemCount()
{
    TcxCustomImageComboBoxProperties* p = ImagePropertiesOf(LookupOwner());
    return p ? p->Items()->Count() : 0;
}

void TcxImageComboBoxLookupData::TextChanged()
{
    // The value, not the text, locates the item.
    TcxCustomImageComboBoxProperties* p = ImagePropertiesOf(LookupOwner());
    TcxCustomTextEdit* e = LookupOwner() ? LookupOwner()->LookupEdit() : nullptr;
    if (!p || !e) return;
    TcxImageComboBoxItem* it = p->FindItemByValue(e->EditValue());
    SetCurrentKey(it ? it->Index() : -1);
}

TSize TcxImageComboBoxLookupData::GetListPreferredSize(int AListWidth, int AMaxHeight)
{
    auto* l = dynamic_cast<TcxImageComboBoxListBox*>(GetList());
    if (l) l->MeasureRows(AMaxHeight);
    TSize s = TcxComboBoxLookupData::GetListPreferredSize(AListWidth, AMaxHeight);
    if (l) s.cx = l->ImageProperties() && l->ImageProperties()->MultiLineText() ? 0 : std::max(s.cx, l->PreferredWidth());
    return s;
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomImageComboBox::TcxCustomImageComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomComboBox(AOwner, AIsInplace)
{
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

Variant TcxCustomImageComboBox::GetLookupItemValue(const Variant& AKey)
{
    TcxCustomImageComboBoxProperties* p = Properties();
    int k = VarIsNumeric(AKey) ? int(AKey.AsDouble()) : -1;
    return k >= 0 && k < p->Items()->Count() ? p->Items()->Items(k)->Value() : Null();
}

Variant TcxCustomImageComboBox::DisplayValueToEditValue(const std::string&)
{
    TcxCustomTextEditLookupData* d = LookupData();
    return GetLookupItemValue(Variant(d ? d->CurrentKey() : -1));
}

void TcxCustomImageComboBox::SynchronizeDisplayValue()
{
    if (!dynamic_cast<TcxCustomImageComboBoxProperties*>(ActiveProperties())) {
        TcxCustomComboBox::SynchronizeDisplayValue();
        return;
    }
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d) return;
    PushModifiedState();
    const int before = d->CurrentKey();
    d->TextChanged();
    TcxImageComboBoxItem* it =
        d->CurrentKey() >= 0 && d->CurrentKey() < Properties()->Items()->Count() ? Properties()->Items()->Items(d->CurrentKey()) : nullptr;
    SetInnerDisplayValue(Variant(it ? it->Description() : Properties()->DefaultDescription()));
    PopModifiedState();
    if (d->CurrentKey() != before) Click();
    ShortRefreshContainer(false);
}

void TcxCustomImageComboBox::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    TcxCustomComboBox::CalculateViewInfo(P, AAllowHot);
    auto* vi = dynamic_cast<TcxImageComboBoxViewInfo*>(EditViewInfo());
    if (!vi || !dynamic_cast<TcxCustomImageComboBoxProperties*>(ActiveProperties())) return;
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d) return;
    TcxCustomImageComboBoxProperties* p = Properties();
    const int k = d->CurrentKey();
    TcxImageComboBoxItem* it = k >= 0 && k < p->Items()->Count() ? p->Items()->Items(k) : nullptr;
    vi->ImageIndex = it ? it->ImageIndex() : p->DefaultImageIndex();
    vi->Text = p->ShowDescriptions() ? (it ? it->Description() : p->DefaultDescription()) : std::string();
    vi->TextHighlighted = false;
}

namespace cxImageComboBox {

void Initialize()
{
    cxDropDownEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxImageComboBoxProperties::StaticClass()) < 0)
        r->Register(TcxImageComboBoxProperties::StaticClass(),
                    cxClasses::GetResourceString(&scxSEditRepositoryImageComboBoxItem));
}

}  // namespace cxImageComboBox
