// The image editor, its properties, view data and view info, and the picture
// routines the blob edit shares.
#include "cxImage.h"

#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxEditUtils.h"

#include "ComponentStreams.h"
#include "Dialogs.h"
#include "ImgList.h"
#include "Jpeg.h"
#include "Menus.h"
#include "Metafile.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"

#include <cmath>
#include <cstring>

using cxClasses::GetResourceString;

QZ_ENUM_TYPEINFO(TcxImageTransparency, "gtDefault", "gtOpaque", "gtTransparent")

namespace {
const TcxResourceStringRec scxSEditRepositoryImageItem = {"scxSEditRepositoryImageItem",
                                                          "Image|Represents an image editor"};
const TcxResourceStringRec cxSMenuItemCaptionCut = {"cxSMenuItemCaptionCut", "Cu&t"};
const TcxResourceStringRec cxSMenuItemCaptionCopy = {"cxSMenuItemCaptionCopy", "&Copy"};
const TcxResourceStringRec cxSMenuItemCaptionPaste = {"cxSMenuItemCaptionPaste", "&Paste"};
const TcxResourceStringRec cxSMenuItemCaptionDelete = {"cxSMenuItemCaptionDelete", "&Delete"};
const TcxResourceStringRec cxSMenuItemCaptionLoad = {"cxSMenuItemCaptionLoad", "&Load..."};
const TcxResourceStringRec cxSMenuItemCaptionSave = {"cxSMenuItemCaptionSave", "Save &As..."};

// Sets a flag for a scope.
struct TFlagScope {
    bool& Flag;
    bool Old;
    TFlagScope(bool& AFlag, bool AValue) : Flag(AFlag), Old(AFlag) { Flag = AValue; }
    ~TFlagScope() { Flag = Old; }
};

// The menu's command tags.
enum { tagCut, tagCopy, tagPaste, tagDelete, tagLoad, tagSave, tagCustom };

void DefineImagePropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomImageProperties;
    props.push_back(PublishString<P>("Caption", &P::Caption, &P::SetCaption));
    props.push_back(PublishBool<P>("Center", &P::Center, &P::SetCenter, true));
    props.push_back(PublishString<P>("CustomFilter", &P::CustomFilter, &P::SetCustomFilter));
    props.push_back(PublishString<P>("GraphicClassName", &P::GraphicClassName, &P::SetGraphicClassName)
                        .StoredBy([](TObject* o) { return static_cast<P*>(o)->IsGraphicClassNameStored(); }));
    props.push_back(PublishEnum<P>("GraphicTransparency", &P::GraphicTransparency, &P::SetGraphicTransparency,
                                   gtDefault));
    props.push_back(PublishBool<P>("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost, false));
    props.push_back(PublishObject<P>("PopupMenuLayout", &P::PopupMenuLayout, &P::SetPopupMenuLayout));
    props.push_back(PublishBool<P>("ShowFocusRect", &P::ShowFocusRect, &P::SetShowFocusRect, true));
    props.push_back(PublishBool<P>("Stretch", &P::Stretch, &P::SetStretch, false));
}

void DefineImageProps(std::vector<TPropInfo>& props)
{
    using E = TcxCustomImage;
    props.push_back(PublishObject<E>("Properties", &E::Properties, &E::SetProperties));
}

void DefinePopupMenuLayoutProps(std::vector<TPropInfo>& props)
{
    using L = TcxPopupMenuLayout;
    props.push_back(PublishString<L>("CustomMenuItemCaption", &L::CustomMenuItemCaption, &L::SetCustomMenuItemCaption));
    props.push_back(PublishObject<L>("CustomMenuItemGlyph", &L::CustomMenuItemGlyph, &L::SetCustomMenuItemGlyph)
                        .StoredBy([](TObject* o) { return static_cast<L*>(o)->HasCustomMenuItemGlyph(); }));
}

// Little-endian 16- and 32-bit words of a byte string.
unsigned Word16(const std::string& s, size_t at)
{
    return unsigned(uint8_t(s[at])) | unsigned(uint8_t(s[at + 1])) << 8;
}
uint32_t Word32(const std::string& s, size_t at)
{
    return uint32_t(Word16(s, at)) | uint32_t(Word16(s, at + 2)) << 16;
}

bool StartsWith(const std::string& s, const char* prefix, size_t n)
{
    return s.size() >= n && std::memcmp(s.data(), prefix, n) == 0;
}
}  // namespace

QZ_CLASS_IMPL(TMemoryStreamReadOnly, TCustomMemoryStream)
QZ_CLASS_IMPL_PROPS(TcxPopupMenuLayout, TPersistent, DefinePopupMenuLayoutProps)
QZ_CLASS_IMPL_PROPS(TcxCustomImageProperties, TcxCustomEditProperties, DefineImagePropertiesProps)
QZ_CLASS_IMPL(TcxImageProperties, TcxCustomImageProperties)
QZ_CLASS_IMPL(TcxImageViewInfo, TcxCustomEditViewInfo)
QZ_CLASS_IMPL(TcxImageViewData, TcxCustomEditViewData)
QZ_CLASS_IMPL(TcxCustomImage, TcxCustomEdit)
QZ_CLASS_IMPL_PROPS(TcxImage, TcxCustomImage, DefineImageProps)
CX_EDIT_REPOSITORY_ITEM_IMPL(TcxEditRepositoryImageItem, TcxImageProperties)

// ---- picture routines ----------------------------------------------------------------------------------

namespace cxImage {

namespace {
std::unique_ptr<std::vector<TGraphicClass>>& ClassList()
{
    static std::unique_ptr<std::vector<TGraphicClass>> list;
    return list;
}
std::unique_ptr<TImageList>& MenuImageList()
{
    static std::unique_ptr<TImageList> list;
    return list;
}

// The bytes of a value after the header a graphic field may put before them.
std::pair<size_t, size_t> PictureBytes(const std::string& s)
{
    if (s.size() >= 8 && Word16(s, 0) == 1 && Word16(s, 2) == 0x0100 && Word32(s, 4) == s.size() - 8)
        return {8, s.size() - 8};
    return {0, s.size()};
}

bool IsListed(TGraphicClass AClass)
{
    const auto& l = GraphicClassList();
    return std::find(l.begin(), l.end(), AClass) != l.end();
}
}  // namespace

std::vector<TGraphicClass>& GraphicClassList()
{
    auto& l = ClassList();
    if (!l) {
        l = std::make_unique<std::vector<TGraphicClass>>();
        for (TGraphicClass c : {TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(),
                                TJPEGImage::StaticClass()})
            l->push_back(c);
    }
    return *l;
}

void AddGraphicClass(TGraphicClass AClass)
{
    if (AClass && !IsListed(AClass)) GraphicClassList().push_back(AClass);
}

TGraphicClass FindGraphicClass(const std::string& AName)
{
    for (TGraphicClass c : GraphicClassList())
        if (SameText(c->Name, AName)) return c;
    return nullptr;
}

TGraphicClass GraphicClassOfBytes(const std::string& ABytes)
{
    TGraphicClass c = nullptr;
    if (StartsWith(ABytes, "BM", 2))
        c = TBitmap::StaticClass();
    else if (StartsWith(ABytes, "\xFF\xD8\xFF", 3))
        c = TJPEGImage::StaticClass();
    else if (StartsWith(ABytes, "\0\0\1\0", 4))
        c = TIcon::StaticClass();
    else if (StartsWith(ABytes, "\xD7\xCD\xC6\x9A", 4) || StartsWith(ABytes, "\1\0\x09\0", 4) ||
             StartsWith(ABytes, "\2\0\x09\0", 4) ||
             (ABytes.size() >= 44 && Word32(ABytes, 0) == 1 && ABytes.compare(40, 4, " EMF") == 0))
        c = TMetafile::StaticClass();
    return c && IsListed(c) ? c : nullptr;
}

TRect FitPictureRect(const TRect& R, int AWidth, int AHeight)
{
    const int rw = R.Right - R.Left, rh = R.Bottom - R.Top;
    if (rw <= 0 || rh <= 0 || AWidth <= 0 || AHeight <= 0) return R;
    TRect r = R;
    if (double(rw) / rh >= double(AWidth) / AHeight) {
        r.Bottom = R.Top + rh;
        r.Right = R.Left + int(int64_t(rh) * AWidth / AHeight);
    } else {
        r.Right = R.Left + rw;
        r.Bottom = R.Top + int(int64_t(rw) * AHeight / AWidth);
    }
    return r;
}

bool IsPictureBlank(TPicture* APicture)
{
    return !APicture || !APicture->Graphic() || APicture->Graphic()->Empty();
}

bool LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue, std::string* AError)
{
    if (AError) AError->clear();
    if (VarType(AValue) != varString || AValue.RawString().empty()) {
        APicture->SetGraphic(nullptr);
        return true;
    }
    const std::string& s = AValue.RawString();
    auto [offset, size] = PictureBytes(s);
    const std::string bytes = s.substr(offset, size);
    // The bytes say what they are; the class asked for serves bytes that do not.
    TGraphicClass c = GraphicClassOfBytes(bytes);
    if (!c) c = AGraphicClass ? AGraphicClass : TBitmap::StaticClass();
    try {
        TMemoryStreamReadOnly stream;
        stream.SetPointer(s.data() + offset, int64_t(size));
        std::unique_ptr<TObject> o(c->Create(nullptr));
        auto* g = dynamic_cast<TGraphic*>(o.get());
        if (!g) throw EInvalidGraphic("Invalid graphic format");
        g->LoadFromStream(&stream);
        APicture->SetGraphic(g);
        return true;
    } catch (const std::exception& e) {
        APicture->SetGraphic(nullptr);
        if (AError) *AError = e.what();
        return false;
    }
}

std::string SavePictureToString(TPicture* APicture)
{
    if (IsPictureBlank(APicture)) return std::string();
    TMemoryStream stream;
    APicture->Graphic()->SaveToStream(&stream);
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void DrawFocusFrame(TcxCanvas* ACanvas, const TRect& R)
{
    ACanvas->Brush()->SetStyle(bsSolid);
    const TColor c = clBlack;
    ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, c);
    ACanvas->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, c);
    ACanvas->FillRect(TRect{R.Left, R.Top, R.Right, R.Top + 1}, c);
    ACanvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, c);
}

namespace {
// 16 by 16 menu images: '.' is see-through, the letters are colours.
const char* const MenuArt[6][16] = {
    {// cut: scissors
     "................", "...#.......#....", "...#.......#....", "....#.....#.....", "....#.....#.....",
     ".....#...#......", ".....#...#......", "......#.#.......", ".......#........", "......#.#.......",
     "...rrr...rrr....", "..r...r.r...r...", "..r...r.r...r...", "..r...r.r...r...", "...rrr...rrr....",
     "................"},
    {// copy: two sheets
     "................", ".#######........", ".#wwwww#........", ".#w####Y####....", ".#w#wwwwwwww#...",
     ".#w#w######w#...", ".#w#wwwwwwww#...", ".###w######w#...", "...#wwwwwwww#...", "...#w######w#...",
     "...#wwwwwwww#...", "...#w######w#...", "...#wwwwwwww#...", "...##########...", "................",
     "................"},
    {// paste: a board and a sheet
     "................", "......###.......", "..####y#y####...", "..#yy#####yy#...", "..#yyyyyyyyy#...",
     "..#yyy#######...", "..#yyy#wwwww##..", "..#yyy#w###w#w#.", "..#yyy#wwwww###.", "..#yyy#w#####w#.",
     "..#yyy#wwwwwww#.", "..#yyy#w#####w#.", "..#####wwwwwww#.", "......#########.", "................",
     "................"},
    {// delete: a red cross
     "................", "................", "...rr......rr...", "....rr....rr....", ".....rr..rr.....",
     "......rrrr......", ".......rr.......", "......rrrr......", ".....rr..rr.....", "....rr....rr....",
     "...rr......rr...", "................", "................", "................", "................",
     "................"},
    {// load: an open folder
     "................", "................", "................", ".####...........", "#yyyy#..........",
     "#yyyyy#######...", "#yyyyyyyyyyy#...", "#yyy###########.", "#yy#yyyyyyyyy#..", "#y#yyyyyyyyy#...",
     "##yyyyyyyyy#....", "#yyyyyyyyy#.....", "###########.....", "................", "................",
     "................"},
    {// save: a disk
     "................", ".##############.", ".#b#wwwwwwww#b#.", ".#b#wwwwwwww#b#.", ".#b#wwwwwwww#b#.",
     ".#b#wwwwwwww#b#.", ".#bb########bb#.", ".#bbbbbbbbbbbb#.", ".#bbb######bbb#.", ".#bbb#ww#w#bbb#.",
     ".#bbb#ww#w#bbb#.", ".#bbb#ww#w#bbb#.", "..############..", "................", "................",
     "................"},
};

TColor ArtColour(char c)
{
    switch (c) {
    case '#': return clBlack;
    case 'w': return clWhite;
    case 'r': return clRed;
    case 'y': return TColor(0x00C0FF);   // a warm yellow (BGR)
    case 'Y': return clBlack;
    case 'b': return clNavy;
    default: return clFuchsia;
    }
}
}  // namespace

TCustomImageList* MenuImages()
{
    auto& list = MenuImageList();
    if (!list) {
        list = std::make_unique<TImageList>(16, 16);
        for (const auto& art : MenuArt) {
            TBitmap b(16, 16);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) b.Canvas()->SetPixels(x, y, ArtColour(art[y][x]));
            list->AddMasked(&b, clFuchsia);
        }
    }
    return list.get();
}

void Initialize()
{
    // Each step is done once however often the unit starts (the editor
    // registry may have been made again since).
    cxEditRepositoryItems::RegisterItemClasses({TcxEditRepositoryImageItem::StaticClass()});
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxImageProperties::StaticClass()) < 0)
        r->Register(TcxImageProperties::StaticClass(), GetResourceString(&scxSEditRepositoryImageItem));
    cxEditDBRegisteredRepositoryItems::RegisterFieldTypeItems(TcxEditRepositoryImageItem::StaticClass(), {ftGraphic});
}

void Finalize()
{
    ClassList().reset();
    MenuImageList().reset();
}

}  // namespace cxImage

// ---- the menu layout -----------------------------------------------------------------------------------

TcxPopupMenuLayout::TcxPopupMenuLayout(TcxCustomImage* AImage) : FImage(AImage) {}

TcxPopupMenuLayout::~TcxPopupMenuLayout() = default;

TBitmap* TcxPopupMenuLayout::CustomMenuItemGlyph()
{
    if (!FCustomMenuItemGlyph) FCustomMenuItemGlyph = std::make_unique<TBitmap>();
    return FCustomMenuItemGlyph.get();
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value)
{
    if (!Value)
        FCustomMenuItemGlyph.reset();
    else if (Value != FCustomMenuItemGlyph.get())
        CustomMenuItemGlyph()->Assign(Value);
}

void TcxPopupMenuLayout::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxPopupMenuLayout*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FMenuItems = s->FMenuItems;
    FCustomMenuItemCaption = s->FCustomMenuItemCaption;
    SetCustomMenuItemGlyph(s->CustomMenuItemGlyph());
}

// ---- properties ------------------------------------------------------------------------------------------

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner), FPopupMenuLayout(std::make_unique<TcxPopupMenuLayout>(nullptr))
{
    FGraphicClass = GetDefaultGraphicClass();
}

TcxCustomImageProperties::~TcxCustomImageProperties() = default;

TClass TcxCustomImageProperties::GetEditClass() const { return TcxImage::StaticClass(); }
TClass TcxCustomImageProperties::GetViewInfoClass() const { return TcxImageViewInfo::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomImageProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                 bool AIsInplace)
{
    auto d = std::make_unique<TcxImageViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

void TcxCustomImageProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomImageProperties*>(Source);
    if (!s) {
        TcxCustomEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomEditProperties::Assign(Source);
        SetCaption(s->FCaption);
        SetCenter(s->FCenter);
        SetCustomFilter(s->FCustomFilter);
        SetGraphicClass(s->FGraphicClass);
        SetGraphicTransparency(s->FGraphicTransparency);
        SetPopupMenuLayout(s->FPopupMenuLayout.get());
        SetStretch(s->FStretch);
        OnAssignPicture = s->OnAssignPicture;
        OnCustomClick = s->OnCustomClick;
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomImageProperties::DefineProperties(TFiler* Filer)
{
    TcxCustomEditProperties::DefineProperties(Filer);
    // An empty class name is not stored: this says it was empty.
    Filer->DefineProperty(
        "IsGraphicClassNameEmpty",
        [this](TReader* r) {
            if (r->ReadBoolean()) SetGraphicClass(nullptr);
        },
        [](TWriter* w) { w->WriteBoolean(true); }, FGraphicClass == nullptr);
}

std::string TcxCustomImageProperties::GetDisplayText(const Variant& AEditValue, bool)
{
    return AEditValue.IsNull() ? std::string() : FCaption;
}

uint16_t TcxCustomImageProperties::GetSupportedOperations()
{
    return uint16_t(TcxCustomEditProperties::GetSupportedOperations() | 2);
}

TGraphicClass TcxCustomImageProperties::GetDefaultGraphicClass() const
{
    const auto& l = cxImage::GraphicClassList();
    return l.empty() ? nullptr : l.front();
}

TGraphicClass TcxCustomImageProperties::GetGraphicClass(bool AIsPasting) const
{
    if (!FGraphicClass && AIsPasting) return TBitmap::StaticClass();
    return FGraphicClass;
}

void TcxCustomImageProperties::ValidateDisplayValue(Variant&, std::string&, bool&, TObject* AEdit)
{
    auto* edit = dynamic_cast<TcxCustomImage*>(AEdit);
    if (!edit) return;
    if (OnAssignPicture) OnAssignPicture(this, edit->Picture());
    edit->PushModifiedState();
    edit->SetModified(false);
    try {
        edit->DoEditing();
    } catch (...) {
        edit->PopModifiedState();
        throw;
    }
    edit->PopModifiedState();
}

void TcxCustomImageProperties::SetCaption(const std::string& Value)
{
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TcxCustomImageProperties::SetCenter(bool Value)
{
    if (FCenter == Value) return;
    FCenter = Value;
    Changed();
}

void TcxCustomImageProperties::SetGraphicClass(TGraphicClass Value)
{
    if (FGraphicClass == Value) return;
    FGraphicClass = Value;
    Changed();
}

std::string TcxCustomImageProperties::GraphicClassName() const
{
    return FGraphicClass ? FGraphicClass->Name : std::string();
}

void TcxCustomImageProperties::SetGraphicClassName(const std::string& Value)
{
    if (Value.empty()) {
        SetGraphicClass(nullptr);
        return;
    }
    if (TGraphicClass c = cxImage::FindGraphicClass(Value)) SetGraphicClass(c);
}

void TcxCustomImageProperties::SetGraphicTransparency(TcxImageTransparency Value)
{
    if (FGraphicTransparency == Value) return;
    FGraphicTransparency = Value;
    Changed();
}

void TcxCustomImageProperties::SetShowFocusRect(bool Value)
{
    if (FShowFocusRect == Value) return;
    FShowFocusRect = Value;
    Changed();
}

void TcxCustomImageProperties::SetStretch(bool Value)
{
    if (FStretch == Value) return;
    FStretch = Value;
    Changed();
}

// ---- view info -------------------------------------------------------------------------------------------

TcxImageViewInfo::~TcxImageViewInfo() = default;

void TcxImageViewInfo::Assign(TObject* Source)
{
    TcxCustomEditViewInfo::Assign(Source);
    if (auto* s = dynamic_cast<TcxImageViewInfo*>(Source)) {
        ScrollOffset = s->ScrollOffset;
        Caption = s->Caption;
        LoadError = s->LoadError;
        Center = s->Center;
        ShowFocusFrame = s->ShowFocusFrame;
        Stretch = s->Stretch;
        // A copy only looks at the picture; it never owns it.
        FPicture = s->FPicture;
    }
}

void TcxImageViewInfo::SetPicture(TPicture* APicture)
{
    if (APicture != FOwnedPicture.get()) FOwnedPicture.reset();
    FPicture = APicture;
}

TPicture* TcxImageViewInfo::OwnPicture()
{
    if (!FPicture) {
        FOwnedPicture = std::make_unique<TPicture>();
        FPicture = FOwnedPicture.get();
    }
    return FPicture;
}

TRect TcxImageViewInfo::PictureRect(const TRect& R) const
{
    const int w = FPicture ? FPicture->Width() : 0, h = FPicture ? FPicture->Height() : 0;
    TRect p;
    if (Stretch) {
        p = cxImage::FitPictureRect(R, w, h);
        if (Center) OffsetRect(p, ((R.Right - R.Left) - (p.Right - p.Left)) / 2, ((R.Bottom - R.Top) - (p.Bottom - p.Top)) / 2);
    } else {
        p = TRect{R.Left, R.Top, R.Left + w, R.Top + h};
        if (Center)
            OffsetRect(p, ((R.Right - R.Left) - w) / 2, ((R.Bottom - R.Top) - h) / 2);
        else
            OffsetRect(p, -ScrollOffset.X, -ScrollOffset.Y);
    }
    return p;
}

void TcxImageViewInfo::Paint(TcxCanvas* ACanvas)
{
    TRect R = ContentRect;
    if (cxImage::IsPictureBlank(FPicture)) {
        TcxCustomEditViewInfo::Paint(ACanvas);
        ACanvas->Brush()->SetColor(BackgroundColor());
        ACanvas->Brush()->SetStyle(bsClear);
        // Bytes that could not be decoded say so where the picture would be.
        // (wrapped, so that the whole reason shows).
        ACanvas->SetFont(Font);
        if (!LoadError.empty())
            ACanvas->DrawText(LoadError, R, ctfCenterH | ctfCenterV | ctfWordBreak, Enabled);
        else if (!Caption.empty())
            ACanvas->DrawText(Caption, R, ctfCenterH | ctfCenterV | ctfSingleLine, Enabled);
        if (ShowFocusFrame) cxImage::DrawFocusFrame(ACanvas, R);
        ACanvas->Brush()->SetStyle(bsSolid);
        return;
    }
    TGraphic* graphic = FPicture->Graphic();
    const TRect P = PictureRect(R);
    ACanvas->SaveClipRegion();
    ACanvas->ExcludeClipRect(R);
    cxEditUtils::DrawEditButtons(ACanvas, this, false, 0);
    ACanvas->RestoreClipRegion();
    const bool useCache = !Transparent && graphic->Transparent();
    if (useCache) {
        if (!FCachedBitmap) FCachedBitmap = std::make_unique<TBitmap>();
        FCachedBitmap->SetSize(FPicture->Width(), FPicture->Height());
        FCachedBitmap->Canvas()->Brush()->SetColor(BackgroundColor());
        FCachedBitmap->Canvas()->FillRect(TRect{0, 0, FPicture->Width(), FPicture->Height()});
        FCachedBitmap->Canvas()->Draw(0, 0, graphic);
    }
    ACanvas->SaveClipRegion();
    TRect clip = R;
    if (ShowFocusFrame) {
        cxImage::DrawFocusFrame(ACanvas, R);
        InflateRect(clip, -1, -1);
    }
    ACanvas->IntersectClipRect(clip);
    ACanvas->Canvas()->StretchDraw(P, useCache ? static_cast<TGraphic*>(FCachedBitmap.get()) : graphic);
    if (!Transparent) {
        TRect both;
        IntersectRect(both, P, clip);
        if (!EqualRect(both, clip)) {
            ACanvas->ExcludeClipRect(P);
            ACanvas->FillRect(clip, BackgroundColor());
        }
    }
    ACanvas->RestoreClipRegion();
}

// ---- view data -------------------------------------------------------------------------------------------

void TcxImageViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxImageViewInfo*>(AViewInfo);
    if (!vi || IsRectEmpty(ABounds)) return;
    TcxCustomImageProperties* p = ImageProperties();
    vi->Caption = p->Caption();
    vi->Center = p->Center();
    vi->Font = Style()->Font();
    vi->ShowFocusFrame = p->ShowFocusRect() && vi->Focused && !IsInplace();
    vi->Stretch = p->Stretch();
    if (Edit) {
        vi->SetPicture(Edit->Picture());
        vi->LoadError = Edit->LoadError();
    }
    if (p->Center() || p->Stretch()) vi->ScrollOffset = TPoint{0, 0};
}

void TcxImageViewData::PrepareDrawValue(TcxCanvas*, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo)
{
    auto* vi = dynamic_cast<TcxImageViewInfo*>(AViewInfo);
    if (!vi || Edit) return;   // an edit's view info shows the edit's own picture
    if (VarType(AEditValue) != varString) {
        if (vi->Picture()) vi->Picture()->SetGraphic(nullptr);
        vi->LoadError.clear();
        return;
    }
    TPicture* picture = vi->OwnPicture();
    cxImage::LoadPictureFromValue(picture, ImageProperties()->GetGraphicClass(false), AEditValue, &vi->LoadError);
    TcxImageTransparency t = ImageProperties()->GraphicTransparency();
    if (t != gtDefault && picture->Graphic()) picture->Graphic()->SetTransparent(t == gtTransparent);
}

TSize TcxImageViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                   const TcxEditSizeProperties& AEditSizeProperties)
{
    TcxCustomImageProperties* p = ImageProperties();
    if (IsInplace() && Edit) {
        TRect b = GetBorderExtent();
        return TSize{Edit->Width() - b.Left - b.Right, Edit->Height() - b.Top - b.Bottom};
    }
    if (IsInplace()) {
        TSize size{0, p->DefaultHeight()};
        if (VarType(AEditValue) == varString) {
            TPicture picture;
            cxImage::LoadPictureFromValue(&picture, p->GetGraphicClass(false), AEditValue);
            size = TSize{picture.Width(), picture.Height()};
            if (p->Stretch() && AEditSizeProperties.Width > 0 && picture.Width() > 0)
                size = TSize{AEditSizeProperties.Width,
                             int(std::lround(double(picture.Height()) * AEditSizeProperties.Width / picture.Width()))};
        } else if (!p->Caption().empty() && ACanvas) {
            ACanvas->SetFont(Style()->Font());
            size = ACanvas->TextExtent(p->Caption());
        }
        return size;
    }
    if (Edit) return TSize{Edit->Picture()->Width(), Edit->Picture()->Height()};
    return TSize{0, 0};
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomImage::TcxCustomImage(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace), FPicture(std::make_unique<TPicture>())
{
    InitializeEdit();
    SetAutoSize(false);
    SetWidth(140);
    SetHeight(100);
    FClipboardFormat = CF_PICTURE();
    FPicture->OnChange = [this](TObject* s) {
        // The user's picture replaces whatever bytes the value held.
        if (!FInternalSetting) ForgetUndecodedValue();
        PictureChanged(s);
    };
    ShortRefreshContainer(false);
}

TcxCustomImage::~TcxCustomImage()
{
    if (FPicture) FPicture->OnChange = nullptr;
    if (ImageViewInfo()) ImageViewInfo()->SetPicture(nullptr);
    FContextMenu.reset();
}

TGraphicClass TcxCustomImage::GetGraphicClass(bool AIsPasting) const
{
    return Properties()->GetGraphicClass(AIsPasting);
}

bool TcxCustomImage::CanAutoSize()
{
    return !(cxImage::IsPictureBlank(FPicture.get()) && IsDesigning());
}

bool TcxCustomImage::Focused() const { return FDialogOpen || TcxCustomEdit::Focused(); }

void TcxCustomImage::InitializeViewData(TcxCustomEditViewData* AViewData)
{
    TcxCustomEdit::InitializeViewData(AViewData);
    if (auto* d = dynamic_cast<TcxImageViewData*>(AViewData)) d->Edit = this;
}

Variant TcxCustomImage::GetEditValue() const
{
    if (cxImage::IsPictureBlank(FPicture.get())) return FUndecodedValue.IsNull() ? Null() : FUndecodedValue;
    return Variant(cxImage::SavePictureToString(FPicture.get()));
}

void TcxCustomImage::ForgetUndecodedValue()
{
    FUndecodedValue = Null();
    FLoadError.clear();
}

void TcxCustomImage::InternalSetEditValue(const Variant& Value, bool)
{
    FInternalSetting = true;
    try {
        ForgetUndecodedValue();
        if (VarType(Value) == varString) {
            if (!cxImage::LoadPictureFromValue(FPicture.get(), GetGraphicClass(false), Value, &FLoadError))
                FUndecodedValue = Value;
        } else {
            FPicture->SetGraphic(nullptr);
        }
    } catch (...) {
        SetModified(false);
        FInternalSetting = false;
        throw;
    }
    SetModified(false);
    FInternalSetting = false;
    ShortRefreshContainer(false);
}

void TcxCustomImage::PictureChanged(TObject*)
{
    LockChangeEvents(true);
    try {
        TcxImageTransparency t = Properties()->GraphicTransparency();
        if (t != gtDefault && !cxImage::IsPictureBlank(FPicture.get())) {
            TNotifyEvent saved = std::move(FPicture->OnChange);
            FPicture->OnChange = nullptr;
            FPicture->Graphic()->SetTransparent(t == gtTransparent);
            FPicture->OnChange = std::move(saved);
        }
        if (!ComponentState().Contains(csLoading)) {
            if (HScrollBar()) HScrollBar()->Data.Position = 0;
            if (VScrollBar()) VScrollBar()->Data.Position = 0;
            if (HScrollBar()) HScrollBar()->SetPosition(0);
            if (VScrollBar()) VScrollBar()->SetPosition(0);
            UpdateScrollBars();
            AdjustInnerControl();
        }
        if (!FInternalSetting) {
            if (IsUserChange()) SetModifiedAfterEnter(true);
            DoChange();
            ShortRefreshContainer(false);
        }
        if (Properties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
    } catch (...) {
        LockChangeEvents(false);
        throw;
    }
    LockChangeEvents(false);
}

void TcxCustomImage::PropertiesChanged(TObject* Sender)
{
    if (IsContainerDestroying() || !FPicture) return;
    PictureChanged(Sender);
    UpdateScrollBars();
    TcxCustomEdit::PropertiesChanged(Sender);
}

void TcxCustomImage::Clear()
{
    if (!DoEditing()) return;
    const bool blank = cxImage::IsPictureBlank(FPicture.get());
    const bool bytes = !FUndecodedValue.IsNull();
    FPicture->SetGraphic(nullptr);
    // An empty picture may not change: the value's bytes go all the same.
    if (blank && bytes && !FUndecodedValue.IsNull()) {
        ForgetUndecodedValue();
        PictureChanged(this);
    }
}

void TcxCustomImage::CopyToClipboard()
{
    if (FPicture->Graphic()) Clipboard()->Assign(FPicture.get());
}

void TcxCustomImage::CutToClipboard()
{
    CopyToClipboard();
    Clear();
}

bool TcxCustomImage::CanPasteFromClipboard()
{
    TGraphicClass c = Properties()->GraphicClass();
    if (c == TBitmap::StaticClass() || c == TJPEGImage::StaticClass()) return Clipboard()->HasFormat(CF_BITMAP);
    if (c == TIcon::StaticClass()) return false;
    if (c == TMetafile::StaticClass()) return Clipboard()->HasFormat(CF_METAFILEPICT);
    if (!c) return Clipboard()->HasFormat(CF_PICTURE());
    return Clipboard()->HasFormat(FClipboardFormat);
}

void TcxCustomImage::PasteFromClipboard()
{
    if (!CanPasteFromClipboard() || !DoEditing()) return;
    if (!Clipboard()->HasFormat(CF_BITMAP)) {
        FPicture->Assign(Clipboard());
    } else if (GetGraphicClass(true) == TJPEGImage::StaticClass()) {
        TBitmap bitmap;
        bitmap.Assign(Clipboard());
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.JPEGNeeded();
        FPicture->SetGraphic(&jpeg);
    } else {
        FPicture->Bitmap()->Assign(Clipboard());
    }
}

void TcxCustomImage::DoOnCustomClick()
{
    if (Properties()->OnCustomClick) Properties()->OnCustomClick(this);
}

void TcxCustomImage::LoadFromFile()
{
    if (!CanModify()) return;
    TOpenPictureDialog dialog(nullptr);
    const std::string& custom = Properties()->CustomFilter();
    dialog.Filter = !custom.empty() ? custom : GraphicFilter(Properties()->GraphicClass());
    bool chosen;
    {
        TFlagScope open(FDialogOpen, true);
        chosen = dialog.Execute();
    }
    if (chosen && DoEditing()) FPicture->LoadFromFile(dialog.FileName);
}

void TcxCustomImage::SaveToFile()
{
    if (!FPicture->Graphic()) return;
    TSavePictureDialog dialog(nullptr);
    TGraphicClass c = FPicture->Graphic()->ClassType();
    const std::string& custom = Properties()->CustomFilter();
    dialog.Filter = !custom.empty() ? custom : GraphicFilter(c);
    dialog.DefaultExt = GraphicExtension(c);
    bool chosen;
    {
        TFlagScope open(FDialogOpen, true);
        chosen = dialog.Execute();
    }
    if (chosen) FPicture->SaveToFile(dialog.FileName);
}

void TcxCustomImage::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomEdit::KeyDown(Key, Shift);
    if (Key == 0) return;
    // Only the modifier keys count (the key's own flags may come along).
    const bool shift = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    const bool ctrl = Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
    UserChange([&] {
        if (Key == VK_INSERT && shift)
            PasteFromClipboard();
        else if (Key == VK_INSERT && ctrl)
            CopyToClipboard();
        else if (Key == VK_DELETE && shift)
            CutToClipboard();
    });
}

void TcxCustomImage::KeyPress(char& Key)
{
    TcxCustomEdit::KeyPress(Key);
    UserChange([&] {
        switch (Key) {
        case 3: CopyToClipboard(); break;
        case 22: PasteFromClipboard(); break;
        case 24: CutToClipboard(); break;
        default: break;
        }
    });
}

// ---- the context menu ------------------------------------------------------------------------------------

void TcxCustomImage::CreateContextMenu()
{
    FContextMenu = std::make_unique<TPopupMenu>(nullptr);
    FContextMenu->SetImages(cxImage::MenuImages());
    TMenuItem* root = FContextMenu->Items();
    auto add = [&](int ATag, const std::string& ACaption) {
        auto* item = new TMenuItem(FContextMenu.get());
        item->SetCaption(ACaption);
        item->SetTag(ATag);
        if (ATag >= 0) {
            item->SetImageIndex(ATag);
            item->OnClick = [this, ATag](TObject*) { MenuCommand(ATag); };
        }
        root->Add(item);
        return item;
    };
    for (int tag = tagCut; tag <= tagCustom; ++tag) {
        add(tag, std::string());
        if (tag == tagDelete || tag == tagSave) add(-1, "-");
    }
}

void TcxCustomImage::PrepareContextMenu()
{
    if (!FContextMenu) CreateContextMenu();
    TMenuItem* root = FContextMenu->Items();
    TcxPopupMenuLayout* layout = Properties()->PopupMenuLayout();
    const TcxPopupMenuItems items = layout->MenuItems();
    static const TcxResourceStringRec* const captions[] = {&cxSMenuItemCaptionCut,   &cxSMenuItemCaptionCopy,
                                                           &cxSMenuItemCaptionPaste, &cxSMenuItemCaptionDelete,
                                                           &cxSMenuItemCaptionLoad,  &cxSMenuItemCaptionSave};
    static const int position[] = {0, 1, 2, 3, 5, 6, 8};
    for (int tag = tagCut; tag <= tagCustom; ++tag) {
        TMenuItem* item = root->Items(position[tag]);
        if (tag != tagCustom) item->SetCaption(GetResourceString(captions[tag]));
        item->SetVisible(items.Contains(TcxPopupMenuItem(tag)));
    }
    root->Items(4)->SetVisible(root->Items(5)->Visible() || root->Items(6)->Visible());
    root->Items(7)->SetVisible(root->Items(8)->Visible());
    TMenuItem* custom = root->Items(8);
    custom->SetCaption(layout->CustomMenuItemCaption());
    if (layout->HasCustomMenuItemGlyph() && !layout->CustomMenuItemGlyph()->Empty()) {
        TBitmap glyph;
        glyph.Assign(layout->CustomMenuItemGlyph());
        glyph.SetTransparent(true);
        custom->SetBitmap(&glyph);
        custom->SetImageIndex(-1);
    } else {
        if (custom->HasBitmap()) {
            TBitmap none;
            custom->SetBitmap(&none);
        }
        custom->SetImageIndex(tagCustom);
    }
    const bool modify = CanModify();
    const bool blank = cxImage::IsPictureBlank(FPicture.get());
    const bool icon = Properties()->GraphicClass() == TIcon::StaticClass();
    root->Items(0)->SetEnabled(modify && !blank && !icon);
    root->Items(1)->SetEnabled(!blank && !icon);
    root->Items(2)->SetEnabled(modify && CanPasteFromClipboard());
    root->Items(3)->SetEnabled(modify && (!blank || !FUndecodedValue.IsNull()));
    root->Items(5)->SetEnabled(modify);
    root->Items(6)->SetEnabled(!blank);
}

void TcxCustomImage::MenuCommand(int ATag)
{
    UserChange([&] {
        switch (ATag) {
        case tagCut: CutToClipboard(); break;
        case tagCopy: CopyToClipboard(); break;
        case tagPaste: PasteFromClipboard(); break;
        case tagDelete: Clear(); break;
        case tagLoad: LoadFromFile(); break;
        case tagSave: SaveToFile(); break;
        case tagCustom: DoOnCustomClick(); break;
        default: break;
        }
    });
}

void TcxCustomImage::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (PopupMenu() || Properties()->PopupMenuLayout()->MenuItems().Empty()) {
        TcxCustomEdit::DoContextPopup(MousePos, Handled);
        return;
    }
    Handled = true;
    TPoint p = MousePos.X == -1 && MousePos.Y == -1 ? TPoint{10, 10} : MousePos;
    PrepareContextMenu();
    TPoint s = ClientToScreen(p);
    FContextMenu->SetPopupComponent(this);
    FContextMenu->Popup(s.X, s.Y);
}

// ---- scrolling ---------------------------------------------------------------------------------------------

void TcxCustomImage::InitScrollBarsParameters()
{
    const TRect client = ImageViewInfo() ? ImageViewInfo()->ContentRect : TRect{};
    if (IsInplace() || IsRectEmpty(client) || AutoSize() || Properties()->Center() || Properties()->Stretch() ||
        cxImage::IsPictureBlank(FPicture.get()))
        return;
    const TPoint offset = ImageViewInfo()->ScrollOffset;
    SetScrollBarInfo(sbHorizontal, 0, FPicture->Width() - 1, 8, client.Right - client.Left, offset.X, true, true);
    SetScrollBarInfo(sbVertical, 0, FPicture->Height() - 1, 8, client.Bottom - client.Top, offset.Y, true, true);
}

void TcxCustomImage::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (AScrollBarKind != sbHorizontal && AScrollBarKind != sbVertical) {
        UpdateScrollOffsets();
        return;
    }
    TcxControlScrollBar* bar = AScrollBarKind == sbHorizontal ? HScrollBar() : VScrollBar();
    if (AScrollCode == scLineUp)
        AScrollPos = bar->Position() - 8;
    else if (AScrollCode == scLineDown)
        AScrollPos = bar->Position() + 8;
    const int extent = AScrollBarKind == sbHorizontal ? FPicture->Width() : FPicture->Height();
    AScrollPos = std::min(AScrollPos, extent - bar->PageSize());
    bar->SetPosition(AScrollPos);
    AScrollPos = bar->Position();
    bar->Data.Position = AScrollPos;
    UpdateScrollOffsets();
}

void TcxCustomImage::UpdateScrollBars()
{
    TcxCustomEdit::UpdateScrollBars();
    UpdateScrollOffsets();
}

void TcxCustomImage::UpdateScrollOffsets()
{
    if (!HandleAllocated() || !ImageViewInfo()) return;
    ImageViewInfo()->ScrollOffset = TPoint{HScrollBar() && HScrollBar()->Visible() ? HScrollBar()->Position() : 0,
                                           VScrollBar() && VScrollBar()->Visible() ? VScrollBar()->Position() : 0};
    ShortRefreshContainer(false);
    Invalidate();
}
