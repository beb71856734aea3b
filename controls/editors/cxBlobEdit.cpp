// The blob edit, its properties, popup editors, view data and view info.
#include "cxBlobEdit.h"

#include "cxButtons.h"
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxEditTextUtils.h"
#include "cxEditUtils.h"

#include "ComponentStreams.h"
#include "ImgList.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"

#include <cstring>

using cxClasses::GetResourceString;

QZ_ENUM_TYPEINFO(TcxBlobEditKind, "bekAuto", "bekMemo", "bekPict", "bekOle", "bekBlob")
QZ_ENUM_TYPEINFO(TcxBlobPaintStyle, "bpsDefault", "bpsIcon", "bpsText")

namespace {
const TcxResourceStringRec scxSEditRepositoryBlobItem = {"scxSEditRepositoryBlobItem",
                                                         "BlobEdit|Represents the BLOB editor"};
const TcxResourceStringRec cxSBlobButtonOK = {"cxSBlobButtonOK", "&OK"};
const TcxResourceStringRec cxSBlobButtonCancel = {"cxSBlobButtonCancel", "&Cancel"};
const TcxResourceStringRec cxSBlobButtonClose = {"cxSBlobButtonClose", "&Close"};
const TcxResourceStringRec cxSBlobMemo = {"cxSBlobMemo", "(MEMO)"};
const TcxResourceStringRec cxSBlobMemoEmpty = {"cxSBlobMemoEmpty", "(memo)"};
const TcxResourceStringRec cxSBlobPicture = {"cxSBlobPicture", "(PICTURE)"};
const TcxResourceStringRec cxSBlobPictureEmpty = {"cxSBlobPictureEmpty", "(picture)"};

constexpr int BlobIconWidth = 18;
constexpr int BlobIconHeight = 16;

void DefineBlobPropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomBlobEditProperties;
    props.push_back(PublishBool<P>("AlwaysSaveData", &P::AlwaysSaveData, &P::SetAlwaysSaveData, true));
    props.push_back(PublishEnum<P>("BlobEditKind", &P::BlobEditKind, &P::SetBlobEditKind, bekAuto));
    props.push_back(PublishEnum<P>("BlobPaintStyle", &P::BlobPaintStyle, &P::SetBlobPaintStyle, bpsIcon));
    props.push_back(PublishBool<P>("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup, true));
    props.push_back(PublishBool<P>("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost, false));
    props.push_back(PublishBool<P>("MemoAutoReplace", &P::MemoAutoReplace, &P::SetMemoAutoReplace, false));
    props.push_back(PublishInt<P>("MemoMaxLength", &P::MemoMaxLength, &P::SetMemoMaxLength, 0));
    props.push_back(PublishBool<P>("MemoOEMConvert", &P::MemoOEMConvert, &P::SetMemoOEMConvert, false));
    props.push_back(PublishBool<P>("MemoWantReturns", &P::MemoWantReturns, &P::SetMemoWantReturns, true));
    props.push_back(PublishBool<P>("MemoWantTabs", &P::MemoWantTabs, &P::SetMemoWantTabs, true));
    props.push_back(PublishBool<P>("MemoWordWrap", &P::MemoWordWrap, &P::SetMemoWordWrap, true));
    props.push_back(PublishBool<P>("PictureAutoSize", &P::PictureAutoSize, &P::SetPictureAutoSize, true));
    props.push_back(PublishString<P>("PictureFilter", &P::PictureFilter, &P::SetPictureFilter));
    props.push_back(PublishString<P>("PictureGraphicClassName", &P::PictureGraphicClassName,
                                     &P::SetPictureGraphicClassName)
                        .StoredBy([](TObject* o) { return static_cast<P*>(o)->IsPictureGraphicClassNameStored(); }));
    props.push_back(PublishBool<P>("ShowExPopupItems", &P::ShowExPopupItems, &P::SetShowExPopupItems, true));
    props.push_back(PublishBool<P>("ShowPicturePopup", &P::ShowPicturePopup, &P::SetShowPicturePopup, true));
}

// Sets a flag for a scope.
struct TFlagScope {
    bool& Flag;
    bool Old;
    TFlagScope(bool& AFlag, bool AValue) : Flag(AFlag), Old(AFlag) { Flag = AValue; }
    ~TFlagScope() { Flag = Old; }
};

// The memo's text as it holds it (its lines joined would end with a line
// break the text does not have).
std::string MemoText(TcxPopupMemo* AMemo)
{
    return AMemo->InnerEdit() ? AMemo->InnerEdit()->Text() : VarToStr(AMemo->EditValue());
}

bool HasValue(const Variant& AValue)
{
    return !AValue.IsNull() && !AValue.IsEmpty() && !(VarIsStr(AValue) && VarToStr(AValue).empty());
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties, DefineBlobPropertiesProps)
QZ_CLASS_IMPL(TcxBlobEditProperties, TcxCustomBlobEditProperties)
QZ_CLASS_IMPL(TcxPopupMemo, TcxMemo)
QZ_CLASS_IMPL(TcxPopupImage, TcxImage)
QZ_CLASS_IMPL(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)
QZ_CLASS_IMPL(TcxBlobEditViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxBlobEditViewData, TcxCustomDropDownEditViewData)
QZ_CLASS_IMPL(TcxCustomBlobEdit, TcxCustomPopupEdit)
QZ_CLASS_IMPL(TcxBlobEdit, TcxCustomBlobEdit)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryBlobItem, TcxBlobEditProperties)

// ---- unit routines ---------------------------------------------------------------------------------------

namespace cxBlobEdit {

namespace {
std::unique_ptr<TImageList>& ImageList()
{
    static std::unique_ptr<TImageList> list;
    return list;
}

// 18 by 16 icons, empty and filled for blob, memo, picture and OLE values:
// '.' shows the background, the letters are colours.
const char* const IconArt[4][16] = {
    {// blob: a sheet of binary digits
     "..................", "...##########.....", "...#wwwwwwww##....", "...#wwwwwwww#w#...", "...#w1w0w1w####...",
     "...#wwwwwwwwww#...", "...#w0w1w1w0ww#...", "...#wwwwwwwwww#...", "...#w1w1w0w1ww#...", "...#wwwwwwwwww#...",
     "...#w0w0w1w0ww#...", "...#wwwwwwwwww#...", "...#wwwwwwwwww#...", "...############...", "..................",
     ".................."},
    {// memo: a sheet of lines
     "..................", "...##########.....", "...#wwwwwwww##....", "...#wwwwwwww#w#...", "...#w######w####..",
     "...#wwwwwwwwww#...", "...#w########w#...", "...#wwwwwwwwww#...", "...#w#######ww#...", "...#wwwwwwwwww#...",
     "...#w########w#...", "...#wwwwwwwwww#...", "...#wwwwwwwwww#...", "...############...", "..................",
     ".................."},
    {// picture: a framed landscape
     "..................", ".################.", ".#cccccccccccccc#.", ".#cccccccccyycc#.", ".#ccccccccyyyyc#.",
     ".#cccccccccyycc#.", ".#cccgcccccccc#..", ".#ccgggcccccccc#.", ".#cgggggccgcccc#.", ".#gggggggggggcc#.",
     ".#gggggggggggggg#.", ".#gggggggggggggg#.", ".################.", "..................", "..................",
     ".................."},
    {// OLE: a window with a gear-like mark
     "..................", ".################.", ".#bbbbbbbbbbbbbb#.", ".################.", ".#wwwwwwwwwwwwww#.",
     ".#wwwwwrrrrwwwww#.", ".#wwwwrwwwwrwwww#.", ".#wwwrwwwwwwrwww#.", ".#wwwrwwwwwwrwww#.", ".#wwwwrwwwwrwwww#.",
     ".#wwwwwrrrrwwwww#.", ".#wwwwwwwwwwwwww#.", ".################.", "..................", "..................",
     ".................."},
};

TColor IconColour(char c, bool AFilled)
{
    if (!AFilled && c != '.' && c != '#') return c == 'w' ? clWhite : clSilver;
    switch (c) {
    case '#': return clBlack;
    case 'w': return clWhite;
    case '0':
    case '1': return clNavy;
    case 'c': return clAqua;
    case 'y': return clYellow;
    case 'g': return clGreen;
    case 'b': return clNavy;
    case 'r': return clRed;
    default: return clGray;   // the see-through colour
    }
}
}  // namespace

TCustomImageList* BlobImages()
{
    auto& list = ImageList();
    if (!list) {
        list = std::make_unique<TImageList>(BlobIconWidth, BlobIconHeight);
        for (const auto& art : IconArt)
            for (bool filled : {false, true}) {
                TBitmap b(BlobIconWidth, BlobIconHeight);
                for (int y = 0; y < BlobIconHeight; ++y)
                    for (int x = 0; x < BlobIconWidth; ++x) {
                        char c = x < int(std::strlen(art[y])) ? art[y][x] : '.';
                        b.Canvas()->SetPixels(x, y, IconColour(c, filled));
                    }
                list->AddMasked(&b, clGray);
            }
    }
    return list.get();
}

TcxBlobEditKind BlobKindOfProviderKind(int AKind)
{
    static const TcxBlobEditKind table[5] = {bekBlob, bekBlob, bekPict, bekMemo, bekOle};
    const int k = AKind & 0x7F;
    return k < 5 ? table[k] : bekBlob;
}

int IconIndex(TcxBlobEditKind AKind, const Variant& AValue)
{
    int base;
    switch (AKind) {
    case bekMemo: base = 2; break;
    case bekPict: base = 4; break;
    case bekOle: base = 6; break;
    default: base = 0; break;
    }
    return base + (HasValue(AValue) ? 1 : 0);
}

std::string GetBlobDisplayText(const Variant& AValue, TcxCustomBlobEditProperties* AProperties, bool AFullText)
{
    const TcxBlobEditKind kind = AProperties->BlobEditKind();
    const bool isString = VarIsStr(AValue);
    if (AFullText && kind == bekMemo && isString) return VarToStr(AValue);
    switch (AProperties->BlobPaintStyle()) {
    case bpsDefault:
        if (kind == bekMemo) return GetResourceString(AValue.IsNull() ? &cxSBlobMemoEmpty : &cxSBlobMemo);
        if (kind == bekPict) return GetResourceString(AValue.IsNull() ? &cxSBlobPictureEmpty : &cxSBlobPicture);
        return std::string();
    case bpsText: {
        if (kind != bekMemo || !isString) return std::string();
        // At most 80 characters (not bytes) from the first visible one, control characters as blanks.
        std::string s = Copy(TrimLeft(VarToStr(AValue)), 1, 80);
        for (char& c : s)
            if (uint8_t(c) < 32) c = ' ';
        return s;
    }
    default: return std::string();
    }
}

void Initialize()
{
    cxImage::Initialize();
    cxEditRepositoryItems::RegisterItemClasses({TcxEditRepositoryBlobItem::StaticClass()});
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxBlobEditProperties::StaticClass()) < 0)
        r->Register(TcxBlobEditProperties::StaticClass(), GetResourceString(&scxSEditRepositoryBlobItem));
    cxEditDBRegisteredRepositoryItems::RegisterFieldTypeItems(
        TcxEditRepositoryBlobItem::StaticClass(),
        {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary});
}

void Finalize() { ImageList().reset(); }

}  // namespace cxBlobEdit

// ---- properties ------------------------------------------------------------------------------------------

TcxCustomBlobEditProperties::TcxCustomBlobEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner)
{
    FPictureGraphicClass = GetDefaultPictureGraphicClass();
    SetImmediatePopup(true);
    SetPopupMinWidth(160);
    SetPopupMinHeight(140);
    if (Buttons()->Count() > 0) Buttons()->Items(0)->SetKind(bkEllipsis);
}

TClass TcxCustomBlobEditProperties::GetEditClass() const { return TcxBlobEdit::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetViewInfoClass() const { return TcxBlobEditViewInfo::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetPopupWindowClass() const { return TcxBlobEditPopupWindow::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomBlobEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                    bool AIsInplace)
{
    auto d = std::make_unique<TcxBlobEditViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

void TcxCustomBlobEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomBlobEditProperties*>(Source);
    if (!s) {
        TcxCustomPopupEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomPopupEditProperties::Assign(Source);
        FAlwaysSaveData = s->FAlwaysSaveData;
        SetBlobEditKind(s->FBlobEditKind);
        SetBlobPaintStyle(s->FBlobPaintStyle);
        FMemoAutoReplace = s->FMemoAutoReplace;
        FMemoCharCase = s->FMemoCharCase;
        FMemoMaxLength = s->FMemoMaxLength;
        FMemoOEMConvert = s->FMemoOEMConvert;
        FMemoScrollBars = s->FMemoScrollBars;
        FMemoWantReturns = s->FMemoWantReturns;
        FMemoWantTabs = s->FMemoWantTabs;
        FMemoWordWrap = s->FMemoWordWrap;
        FPictureAutoSize = s->FPictureAutoSize;
        FPictureFilter = s->FPictureFilter;
        SetPictureGraphicClass(s->FPictureGraphicClass);
        FPictureTransparency = s->FPictureTransparency;
        FShowExPopupItems = s->FShowExPopupItems;
        FShowPicturePopup = s->FShowPicturePopup;
        OnAssignPicture = s->OnAssignPicture;
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomBlobEditProperties::DefineProperties(TFiler* Filer)
{
    TcxCustomPopupEditProperties::DefineProperties(Filer);
    Filer->DefineProperty(
        "IsPictureGraphicClassNameEmpty",
        [this](TReader* r) {
            if (r->ReadBoolean()) SetPictureGraphicClass(nullptr);
        },
        [](TWriter* w) { w->WriteBoolean(true); }, FPictureGraphicClass == nullptr);
}

std::string TcxCustomBlobEditProperties::GetDisplayText(const Variant& AEditValue, bool AFullText)
{
    if (AEditValue.IsNull()) return std::string();
    switch (FBlobEditKind) {
    case bekMemo: return cxBlobEdit::GetBlobDisplayText(AEditValue, this, AFullText);
    case bekPict: return GetResourceString(&cxSBlobPicture);
    case bekOle: return "OLE";
    case bekBlob: return "BLOB";
    default: return std::string();
    }
}

uint16_t TcxCustomBlobEditProperties::GetSupportedOperations() { return Buttons()->Count() > 0 ? 16 : 0; }

unsigned TcxCustomBlobEditProperties::UsesDisplayFormatting(bool)
{
    ResolveBlobEditKind();
    IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
    return FBlobEditKind == bekMemo && (!p || !p->IsBlob()) ? 1 : 0;
}

TGraphicClass TcxCustomBlobEditProperties::GetDefaultPictureGraphicClass() const
{
    const auto& l = cxImage::GraphicClassList();
    return l.empty() ? nullptr : l.front();
}

void TcxCustomBlobEditProperties::ResolveBlobEditKind()
{
    if (FBlobEditKind != bekAuto) return;
    IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
    const bool locked = IsChangeLocked();
    SetChangedLocked(true);
    SetBlobEditKind(p ? cxBlobEdit::BlobKindOfProviderKind(p->DefaultBlobKind()) : bekBlob);
    SetChangedLocked(locked);
}

TGraphicClass TcxCustomBlobEditProperties::GetPictureGraphicClass(bool AIsPasting) const
{
    if (!FPictureGraphicClass && AIsPasting) return TBitmap::StaticClass();
    return FPictureGraphicClass;
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind Value)
{
    if (FBlobEditKind == Value) return;
    FBlobEditKind = Value;
    if (Buttons()->Count() > 0)
        Buttons()->Items(0)->SetKind(Value == bekMemo || Value == bekPict ? bkDown : bkEllipsis);
    Changed();
}

void TcxCustomBlobEditProperties::SetBlobPaintStyle(TcxBlobPaintStyle Value)
{
    if (FBlobPaintStyle == Value) return;
    FBlobPaintStyle = Value;
    Changed();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClass(TGraphicClass Value)
{
    if (FPictureGraphicClass == Value) return;
    FPictureGraphicClass = Value;
    Changed();
}

std::string TcxCustomBlobEditProperties::PictureGraphicClassName() const
{
    return FPictureGraphicClass ? FPictureGraphicClass->Name : std::string();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const std::string& Value)
{
    if (Value.empty()) {
        SetPictureGraphicClass(nullptr);
        return;
    }
    if (TGraphicClass c = cxImage::FindGraphicClass(Value)) SetPictureGraphicClass(c);
}

// ---- the popup editors and window ------------------------------------------------------------------------

void TcxPopupMemo::KeyDown(WORD& Key, TShiftState Shift)
{
    if (BlobEdit) BlobEdit->PopupEditorKeyDown(Key, Shift, !Properties()->WantReturns());
    if (Key != 0) TcxMemo::KeyDown(Key, Shift);
}

void TcxPopupImage::KeyDown(WORD& Key, TShiftState Shift)
{
    if (BlobEdit) BlobEdit->PopupEditorKeyDown(Key, Shift, true);
    if (Key != 0) TcxImage::KeyDown(Key, Shift);
}

void TcxBlobEditPopupWindow::ForwardChar(char32_t ACh)
{
    auto* edit = dynamic_cast<TcxCustomBlobEdit*>(Edit());
    TcxPopupMemo* memo = edit ? edit->PopupMemo() : nullptr;
    if (memo && !memo->Properties()->ReadOnly() && edit->Properties()->MemoAutoReplace()) {
        std::u16string u;
        if (ACh < 0x10000) {
            u.push_back(char16_t(ACh));
        } else {
            u.push_back(char16_t(0xD800 + ((ACh - 0x10000) >> 10)));
            u.push_back(char16_t(0xDC00 + ((ACh - 0x10000) & 0x3FF)));
        }
        memo->SetInnerDisplayValue(Variant(Utf16ToUtf8(u)));
        memo->SetSelStart(1);
        memo->SetModifiedAfterEnter(true);
        return;
    }
    TcxPopupEditPopupWindow::ForwardChar(ACh);
}

// ---- view info -------------------------------------------------------------------------------------------

void TcxBlobEditViewInfo::Assign(TObject* Source)
{
    TcxCustomTextEditViewInfo::Assign(Source);
    if (auto* s = dynamic_cast<TcxBlobEditViewInfo*>(Source)) {
        IconRect = s->IconRect;
        IconIndex = s->IconIndex;
    }
}

void TcxBlobEditViewInfo::OffsetBounds(int DX, int DY)
{
    TcxCustomTextEditViewInfo::OffsetBounds(DX, DY);
    OffsetRect(IconRect, DX, DY);
}

void TcxBlobEditViewInfo::Paint(TcxCanvas* ACanvas)
{
    if (!ACanvas->RectVisible(OuterRect)) return;
    if (IconIndex == -1 && !Text.empty()) {
        cxEditUtils::DrawEditButtons(ACanvas, this, true, 2);
        ACanvas->Brush()->SetStyle(bsClear);
        ACanvas->SetFont(Font);
        TRect r = TextRect;
        if (!Enabled) {
            ACanvas->Font()->SetColor(clBtnHighlight);
            TRect shadow = r;
            OffsetRect(shadow, 1, 1);
            cxEditTextUtils::DrawEditText(ACanvas->Canvas(), Text, shadow, 0, 0, 0, 0xA10);
        }
        ACanvas->Font()->SetColor(TextColor);
        cxEditTextUtils::DrawEditText(ACanvas->Canvas(), Text, r, 0, 0, 0, 0xA10);
        ACanvas->Brush()->SetStyle(bsSolid);
    } else {
        if (IconIndex >= 0) {
            TRect clip;
            IntersectRect(clip, IconRect, ContentRect);
            ACanvas->SaveClipRegion();
            ACanvas->IntersectClipRect(clip);
            TCustomImageList* images = cxBlobEdit::BlobImages();
            if (Transparent) {
                images->Draw(ACanvas->Canvas(), IconRect.Left, IconRect.Top, IconIndex, Enabled);
            } else {
                ACanvas->FillRect(IconRect, BackgroundColor());
                images->Draw(ACanvas->Canvas(), IconRect.Left, IconRect.Top, IconIndex, Enabled);
            }
            ACanvas->RestoreClipRegion();
            if (!Transparent) ACanvas->ExcludeClipRect(clip);
        }
        cxEditUtils::DrawEditButtons(ACanvas, this, true, 2);
    }
    if (Focused && !IsInplace && !PopupOpen) {
        TRect r = ContentRect;
        InflateRect(r, -1, -1);
        ACanvas->Font()->SetColor(clWhite);
        ACanvas->Brush()->SetColor(clBlack);
        ACanvas->DrawFocusRect(r);
    }
}

// ---- view data -------------------------------------------------------------------------------------------

void TcxBlobEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                    TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxCustomDropDownEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxBlobEditViewInfo*>(AViewInfo);
    if (!vi) return;
    const TRect& c = vi->ContentRect;
    vi->IconRect.Left = c.Left + ((c.Right - c.Left) - BlobIconWidth) / 2;
    vi->IconRect.Top = c.Top + ((c.Bottom - c.Top) - BlobIconHeight) / 2;
    vi->IconRect.Right = vi->IconRect.Left + BlobIconWidth;
    vi->IconRect.Bottom = vi->IconRect.Top + BlobIconHeight;
    if (Edit) PrepareDrawValue(ACanvas, Edit->EditValue(), AViewInfo);
}

void TcxBlobEditViewData::PrepareDrawValue(TcxCanvas*, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo)
{
    auto* vi = dynamic_cast<TcxBlobEditViewInfo*>(AViewInfo);
    if (!vi) return;
    TcxCustomBlobEditProperties* p = BlobProperties();
    p->ResolveBlobEditKind();
    if (p->BlobPaintStyle() == bpsIcon) {
        vi->Text.clear();
        vi->IconIndex = cxBlobEdit::IconIndex(p->BlobEditKind(), AEditValue);
    } else {
        vi->Text = cxBlobEdit::GetBlobDisplayText(AEditValue, p, false);
        vi->IconIndex = -1;
    }
}

TSize TcxBlobEditViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                      const TcxEditSizeProperties& AEditSizeProperties)
{
    TcxCustomBlobEditProperties* p = BlobProperties();
    p->ResolveBlobEditKind();
    TSize size = TcxCustomDropDownEditViewData::InternalGetEditContentSize(
        ACanvas, Variant(cxBlobEdit::GetBlobDisplayText(AEditValue, p, false)), AEditSizeProperties);
    if (p->BlobPaintStyle() == bpsIcon) size.cx += BlobIconWidth;
    return size;
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomBlobEdit::TcxCustomBlobEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    TControlStyle cs = ControlStyle();
    cs.Exclude(csSetCaption);
    SetControlStyle(cs);
    SetTabStop(true);
    if (InnerEdit()) InnerEdit()->SetVisible(false);
    ShortRefreshContainer(false);
}

TcxCustomBlobEdit::~TcxCustomBlobEdit()
{
    if (Properties() && Properties()->PopupControl()) Properties()->SetPopupControl(nullptr);
    FOKButton.reset();
    FCancelButton.reset();
    FPopupEditor.reset();
}

void TcxCustomBlobEdit::InitializeViewData(TcxCustomEditViewData* AViewData)
{
    TcxCustomPopupEdit::InitializeViewData(AViewData);
    if (auto* d = dynamic_cast<TcxBlobEditViewData*>(AViewData)) d->Edit = this;
}

void TcxCustomBlobEdit::PropertiesChanged(TObject* Sender)
{
    if (IsContainerDestroying()) return;
    TcxCustomPopupEdit::PropertiesChanged(Sender);
    ShortRefreshContainer(false);
    if (HasPopupWindow())
        if (TcxPopupImage* image = PopupImage())
            image->Properties()->SetGraphicClass(Properties()->GetPictureGraphicClass(false));
}

void TcxCustomBlobEdit::SynchronizeDisplayValue() { ShortRefreshContainer(false); }

std::string TcxCustomBlobEdit::GetTextForLookup()
{
    if (IsDesigning()) return VarToStr(EditValue());
    if (Properties()->BlobEditKind() == bekMemo) {
        if (HasPopupWindow() && PopupMemo()) return MemoText(PopupMemo());
        if (VarIsStr(EditValue())) return VarToStr(EditValue());
    }
    return std::string();
}

bool TcxCustomBlobEdit::SetTextForLookup(const std::string& AText)
{
    if (IsDesigning()) {
        SetEditValue(Variant(AText));
        return true;
    }
    if (Properties()->BlobEditKind() != bekMemo) return false;
    if (HasPopupWindow() && PopupMemo())
        PopupMemo()->SetTextForLookup(AText);
    else
        SetEditValue(Variant(AText));
    return true;
}

void TcxCustomBlobEdit::SetEditingText(const std::string& AText)
{
    if (Properties()->BlobEditKind() != bekMemo) return;
    if (HasPopupWindow() && PopupMemo())
        PopupMemo()->SetTextForLookup(AText);
    else
        SetTextForLookup(AText);
}

void TcxCustomBlobEdit::PopupEditorEditing(TObject*, bool& CanEdit) { CanEdit = CanModify(); }

void TcxCustomBlobEdit::EnableOK(TObject*)
{
    if (!FOKButton) return;
    FOKButton->SetEnabled(true);
    FOKButton->SetDefault(FOKButton->Enabled());
}

bool TcxCustomBlobEdit::CanDropDown() { return FPopupEditor != nullptr; }

void TcxCustomBlobEdit::DoInitPopup()
{
    InitPopupControls();
    TcxCustomPopupEdit::DoInitPopup();
}

void TcxCustomBlobEdit::InitPopupControls()
{
    TcxCustomBlobEditProperties* p = Properties();
    p->ResolveBlobEditKind();
    const TcxBlobEditKind kind = p->BlobEditKind();
    if (kind != bekMemo && kind != bekPict) return;
    TcxCustomEditPopupWindow* window = EnsurePopupWindow();
    auto editing = [this](TObject* s, bool& can) { PopupEditorEditing(s, can); };
    if (kind == bekMemo) {
        if (!PopupMemo()) {
            FPopupEditor.reset();
            auto memo = std::make_unique<TcxPopupMemo>(nullptr);
            memo->OnEditing = editing;
            FPopupEditor = std::move(memo);
        }
        TcxPopupMemo* memo = PopupMemo();
        memo->SetParent(window);
        memo->BlobEdit = this;
        memo->EditStyle()->SetEditBorderStyle(ebsNone);
        TcxCustomMemoProperties* mp = memo->Properties();
        mp->SetCharCase(p->MemoCharCase());
        mp->SetMaxLength(p->MemoMaxLength());
        mp->SetOEMConvert(p->MemoOEMConvert());
        mp->SetScrollBars(p->MemoScrollBars());
        mp->SetWantReturns(p->MemoWantReturns());
        mp->SetWantTabs(p->MemoWantTabs());
        mp->SetWordWrap(p->MemoWordWrap());
        mp->SetReadOnly(p->ReadOnly());
        p->SetPopupSysPanelStyle(true);
        p->SetPopupAutoSize(false);
        p->SetPopupControl(memo);
        memo->SetEditValue(EditValue());
        memo->EditStyle()->LookAndFeel()->SetMasterLookAndFeel(PopupControlsLookAndFeel());
        memo->EditStyle()->Font()->Assign(EditStyle()->Font());
        memo->EditStyle()->SetColor(EditStyle()->Color());
        mp->OnChange = [this](TObject* s) { EnableOK(s); };
    } else {
        if (!PopupImage()) {
            FPopupEditor.reset();
            auto image = std::make_unique<TcxPopupImage>(nullptr);
            image->OnEditing = editing;
            FPopupEditor = std::move(image);
        }
        TcxPopupImage* image = PopupImage();
        image->SetParent(window);
        image->BlobEdit = this;
        image->EditStyle()->SetEditBorderStyle(ebsNone);
        TcxCustomImageProperties* ip = image->Properties();
        ip->SetShowFocusRect(false);
        ip->SetStretch(true);
        ip->SetCustomFilter(p->PictureFilter());
        ip->SetGraphicTransparency(p->PictureTransparency());
        if (!p->ShowPicturePopup())
            ip->PopupMenuLayout()->SetMenuItems(TcxPopupMenuItems{});
        else if (!p->ShowExPopupItems())
            ip->PopupMenuLayout()->SetMenuItems(TcxPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiCustom} *
                                                ip->PopupMenuLayout()->MenuItems());
        ip->SetReadOnly(p->ReadOnly());
        ip->SetGraphicClass(p->GetPictureGraphicClass(false));
        p->SetPopupControl(image);
        p->SetPopupSysPanelStyle(true);
        // Through the edit value, so that bytes no decoder takes are kept
        // and reported there instead of becoming an empty picture.
        image->SetEditValue(EditValue());
        image->SetModified(false);
        image->EditStyle()->LookAndFeel()->SetMasterLookAndFeel(PopupControlsLookAndFeel());
        ip->OnChange = [this](TObject* s) { EnableOK(s); };
        p->SetPopupAutoSize(p->PictureAutoSize());
    }

    // The dialog buttons.
    auto makeButton = [&](std::unique_ptr<TcxButton>& AButton) {
        if (!AButton) AButton = std::make_unique<TcxButton>(nullptr);
        AButton->SetParent(window);
        AButton->SetUseSystemPaint(false);
        AButton->Font()->Assign(EditStyle()->Font());
        AButton->LookAndFeel()->SetMasterLookAndFeel(PopupControlsLookAndFeel());
    };
    makeButton(FCancelButton);
    FCancelButton->SetCaption(GetResourceString(p->ReadOnly() ? &cxSBlobButtonClose : &cxSBlobButtonCancel));
    FCancelButton->SetCancel(true);
    FCancelButton->SetModalResult(mrCancel);
    TcxCanvas* canvas = Canvas();
    canvas->SetFont(EditStyle()->Font());
    const int H = MulDiv(canvas->TextHeight("Wg"), 20, 13);
    int W = canvas->TextWidth(FCancelButton->Caption() + "00");
    if (!p->ReadOnly()) {
        makeButton(FOKButton);
        FOKButton->SetCaption(GetResourceString(&cxSBlobButtonOK));
        FOKButton->SetEnabled(FPopupEditor->Modified());
        FOKButton->SetModalResult(mrOk);
        W = std::max(W, canvas->TextWidth(FOKButton->Caption() + "00"));
        FOKButton->SetBounds(0, 0, W, H);
    } else {
        FOKButton.reset();
    }
    FCancelButton->SetBounds(FCancelButton->Left(), FCancelButton->Top(), W, H);
    FButtonWidth = W;
    FButtonHeight = H;
    window->EditViewInfo()->MinSysPanelHeight = H + H / 3;
    p->SetPopupMinWidth((FOKButton ? (H / 3 + W) * 2 : H / 3 + W) + GetSystemMetrics(SM_CXVSCROLL) + H / 2);
}

void TcxCustomBlobEdit::FreePopupControls()
{
    if (Properties()->PopupControl() == FPopupEditor.get()) Properties()->SetPopupControl(nullptr);
    FOKButton.reset();
    FCancelButton.reset();
    FPopupEditor.reset();
}

TWinControl* TcxCustomBlobEdit::GetPopupFocusedControl()
{
    return FPopupEditor ? FPopupEditor.get() : TcxCustomPopupEdit::GetPopupFocusedControl();
}

void TcxCustomBlobEdit::GetPopupWindowClientPreferredSize(TSize& ASize)
{
    if (Properties()->BlobEditKind() == bekPict && Properties()->PictureAutoSize() && PopupImage()) {
        ASize = TSize{PopupImage()->Picture()->Width() + 4, PopupImage()->Picture()->Height() + 4};
        return;
    }
    TcxCustomPopupEdit::GetPopupWindowClientPreferredSize(ASize);
}

void TcxCustomBlobEdit::UpdatePopupWindow()
{
    if (!FCancelButton) {
        TcxCustomPopupEdit::UpdatePopupWindow();
        return;
    }
    EditStyle()->SetPopupCloseButton(false);
    TcxCustomPopupEdit::UpdatePopupWindow();
    TcxCustomEditPopupWindow* window = PopupWindow();
    if (!window) return;
    const int H = FButtonHeight, W = FButtonWidth;
    const TcxPopupWindowLayout& layout = window->EditViewInfo()->Layout;
    const int corner = layout.SizeGripCorner;
    const TRect& G = layout.SizeGripRect;
    const int minPanel = window->EditViewInfo()->MinSysPanelHeight;
    const int A = W + H / 6 + (corner == 1 || corner == 3 ? G.Right - G.Left : H / 6);
    int top;
    TAnchors anchors;
    if (corner == 0 || corner == 1) {
        top = G.Top + (minPanel - H) / 2 - 2;
        anchors = TAnchors{akTop, akRight};
    } else {
        top = G.Bottom - H - (minPanel - H) / 2 + 2;
        anchors = TAnchors{akRight, akBottom};
    }
    FCancelButton->SetBounds(window->Width() - A, top, W, H);
    FCancelButton->SetAnchors(anchors);
    if (FOKButton) {
        FOKButton->SetBounds(FCancelButton->Left() - H / 3 - W, FCancelButton->Top(), W, H);
        FOKButton->SetAnchors(anchors);
    }
}

int TcxCustomBlobEdit::PopupEditorKeyResult(WORD AKey, TShiftState AShift, bool AEnterCloses)
{
    const bool keep = Properties()->AlwaysSaveData();
    const bool alt = AShift.Contains(ssAlt);
    if ((AKey == VK_F4 && !alt) || AKey == VK_ESCAPE || ((AKey == VK_UP || AKey == VK_DOWN) && alt))
        return keep && AKey != VK_ESCAPE ? 1 : 2;
    if (AKey == VK_RETURN && (AEnterCloses || AShift.Contains(ssCtrl))) return 1;
    return 0;
}

void TcxCustomBlobEdit::PopupEditorKeyDown(WORD& Key, TShiftState Shift, bool AEnterCloses)
{
    const int result = PopupEditorKeyResult(Key, Shift, AEnterCloses);
    if (result != 0) Key = 0;
    if (TcxCustomEditPopupWindow* window = PopupWindow()) {
        window->SetModalResult(result);
        if (result != 0) window->ClosePopup(true);
    }
}

void TcxCustomBlobEdit::PopupWindowClosed(TObject* Sender)
{
    LockChangeEvents(true);
    try {
        TcxCustomPopupEdit::PopupWindowClosed(Sender);
        TcxCustomEditPopupWindow* window = PopupWindow();
        const int result = window ? window->ModalResult() : 0;
        const bool keep = result == mrOk || (result != mrCancel && Properties()->AlwaysSaveData());
        // Only a changed value is taken: an untouched popup leaves the value
        // as it was, whatever closed it.
        if (FPopupEditor && FPopupEditor->Modified() && keep && DoEditing()) {
            Variant value;
            if (TcxPopupMemo* memo = PopupMemo())
                value = Variant(MemoText(memo));
            else
                value = FPopupEditor->EditValue();
            UserChange([&] { ChangeEditValue(value); });
            SetModifiedAfterEnter(true);
            if (TcxPopupImage* image = PopupImage()) {
                if (Properties()->OnAssignPicture) Properties()->OnAssignPicture(this, image->Picture());
                PushModifiedState();
                SetModified(false);
                try {
                    DoEditing();
                } catch (...) {
                    PopModifiedState();
                    throw;
                }
                PopModifiedState();
            }
            if (Properties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
        }
        FreePopupControls();
        ShortRefreshContainer(false);
    } catch (...) {
        FreePopupControls();
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
}

void TcxCustomBlobEdit::ColorChanged()
{
    TcxCustomPopupEdit::ColorChanged();
    if (IsContainerDestroying() || !HasPopupWindow()) return;
    if (TcxPopupMemo* memo = PopupMemo()) memo->EditStyle()->SetColor(EditStyle()->Color());
}

void TcxCustomBlobEdit::FontChanged()
{
    TcxCustomPopupEdit::FontChanged();
    if (IsContainerDestroying() || !HasPopupWindow()) return;
    if (TcxPopupMemo* memo = PopupMemo()) memo->EditStyle()->Font()->Assign(EditStyle()->Font());
    for (TcxButton* b : {FOKButton.get(), FCancelButton.get()})
        if (b) b->Font()->Assign(EditStyle()->Font());
}
