#include "cxContainer.h"

#include <algorithm>

namespace {
void DefineContainerStyleProps(std::vector<TPropInfo>& props)
{
    using S = TcxContainerStyle;
    TPropInfo bc = PublishInt<S>("BorderColor", &S::BorderColor, &S::SetBorderColor);
    bc.TypeName = "TColor";
    props.push_back(bc.StoredBy(StoredWhen(&S::IsBorderColorStored)));
    props.push_back(PublishEnum<S>("BorderStyle", &S::BorderStyle, &S::SetBorderStyle)
                        .StoredBy(StoredWhen(&S::IsBorderStyleStored)));
    TPropInfo c = PublishInt<S>("Color", &S::Color, &S::SetColor);
    c.TypeName = "TColor";
    props.push_back(c.StoredBy(StoredWhen(&S::IsColorStored)));
    props.push_back(PublishSet<S>("Edges", &S::Edges, &S::SetEdges, std::nullopt, "TcxBorders")
                        .StoredBy(StoredWhen(&S::IsEdgesStored)));
    props.push_back(PublishObject<S>("Font", &S::Font, &S::SetFont).StoredBy(StoredWhen(&S::IsFontStored)));
    props.push_back(PublishBool<S>("HotTrack", &S::HotTrack, &S::SetHotTrack)
                        .StoredBy(StoredWhen(&S::IsHotTrackStored)));
    props.push_back(PublishObject<S>("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel));
    props.push_back(PublishBool<S>("Shadow", &S::Shadow, &S::SetShadow).StoredBy(StoredWhen(&S::IsShadowStored)));
    props.push_back(PublishObject<S>("StyleController", &S::StyleController, &S::SetStyleController));
    props.push_back(PublishBool<S>("TransparentBorder", &S::TransparentBorder, &S::SetTransparentBorder)
                        .StoredBy(StoredWhen(&S::IsTransparentBorderStored)));
}
}  // namespace

QZ_CLASS_IMPL_PROPS(TcxContainerStyle, TPersistent, DefineContainerStyleProps)
QZ_CLASS_IMPL(TcxStyleController, TComponent)

// ---- TcxContainerStyle ---------------------------------------------------------------------------------

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner, bool APaintOnly) : FPaintOnly(APaintOnly), FOwner(AOwner)
{
    if (!FPaintOnly) {
        FOwnFont = std::make_unique<TFont>();
        FOwnFont->OnChange = [this](TObject* s) { FontChanged(s); };
    }
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->AfterConstruction();
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); };
    FStyleController = GetDefaultStyleController();
    if (FPaintOnly) FAssignedValues = TcxContainerStyleValues{csvColor, csvFont};
}

TcxContainerStyle* TcxContainerStyle::CreateFromClass(TClass AClass, TPersistent* AOwner, bool APaintOnly)
{
    if (!AClass || !AClass->InheritsFrom(TcxContainerStyle::StaticClass()))
        throw EConvertError("Invalid container style class");
    // Descendant styles take the same (owner, paint-only) pair; the class
    // record makes them without arguments, so the pair is set here.
    auto* s = static_cast<TcxContainerStyle*>(AClass->Create(nullptr));
    s->FOwner = AOwner;
    if (APaintOnly && !s->FPaintOnly) {
        s->FPaintOnly = true;
        s->FOwnFont.reset();
        s->FAssignedValues = TcxContainerStyleValues{csvColor, csvFont};
    }
    return s;
}

void TcxContainerStyle::BeforeDestruction()
{
    FIsDestroying = true;
    TPersistent::BeforeDestruction();
}

TcxContainerStyle::~TcxContainerStyle()
{
    FIsDestroying = true;
    if (FOwnFont) FOwnFont->OnChange = nullptr;
    if (FStyleController) FStyleController->RemoveListener(this);
    FLookAndFeel.reset();
}

bool TcxContainerStyle::IsValueStored(TcxContainerStyleValue AValue) const
{
    if (!FAssignedValues.Contains(AValue)) return false;
    if (auto* c = dynamic_cast<TcxContainer*>(FOwner)) return !c->GetHiddenStyleValues().Contains(AValue);
    return true;
}

void TcxContainerStyle::EndUpdate()
{
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0 && FModified) Changed();
}

void TcxContainerStyle::Changed()
{
    if (FUpdateCount > 0) {
        FModified = true;
        return;
    }
    if (!FPaintOnly && !FIsDestroying && OnChanged) OnChanged(this);
    FModified = false;
}

void TcxContainerStyle::RestoreDefaults()
{
    BeginUpdate();
    if (auto* c = dynamic_cast<TControl*>(FOwner)) {
        c->SetParentColor(false);
        c->SetParentFont(true);
    }
    FLookAndFeel->ResetAssignedValues();
    SetAssignedValues({});
    EndUpdate();
}

TcxContainerBorderStyle TcxContainerStyle::GetDefaultBorderStyle() const
{
    switch (FLookAndFeel->GetEffectiveKind()) {
    case lfFlat: return cbsFlat;
    case lfStandard: return cbs3D;
    default: return cbsUltraFlat;
    }
}

template <class T, class F>
bool TcxContainerStyle::Lookup(TcxContainerStyleValue AValue, T& V, F AGet) const
{
    // Bounded: controllers refuse cycles of one or two steps; a longer one
    // ends here instead of recursing for ever.
    const TcxContainerStyle* s = this;
    for (int depth = 0; s && depth < 64; ++depth) {
        if (s->FAssignedValues.Contains(AValue)) {
            V = AGet(s);
            return true;
        }
        s = s->FStyleController ? s->FStyleController->Style() : nullptr;
    }
    return false;
}

bool TcxContainerStyle::FindAssignedBorderColor(TColor& V) const
{
    return Lookup(csvBorderColor, V, [](const TcxContainerStyle* s) { return s->FBorderColor; });
}
bool TcxContainerStyle::FindAssignedBorderStyle(TcxContainerBorderStyle& V) const
{
    return Lookup(csvBorderStyle, V, [](const TcxContainerStyle* s) { return s->FBorderStyle; });
}
bool TcxContainerStyle::FindAssignedColor(TColor& V) const
{
    return Lookup(csvColor, V, [](const TcxContainerStyle* s) { return s->FColor; });
}
bool TcxContainerStyle::FindAssignedEdges(TcxBorders& V) const
{
    return Lookup(csvEdges, V, [](const TcxContainerStyle* s) { return s->FEdges; });
}
bool TcxContainerStyle::FindAssignedFont(TFont*& V) const
{
    return Lookup(csvFont, V, [](const TcxContainerStyle* s) { return s->Font(); });
}
bool TcxContainerStyle::FindAssignedHotTrack(bool& V) const
{
    return Lookup(csvHotTrack, V, [](const TcxContainerStyle* s) { return s->FHotTrack; });
}
bool TcxContainerStyle::FindAssignedShadow(bool& V) const
{
    return Lookup(csvShadow, V, [](const TcxContainerStyle* s) { return s->FShadow; });
}
bool TcxContainerStyle::FindAssignedTransparentBorder(bool& V) const
{
    return Lookup(csvTransparentBorder, V, [](const TcxContainerStyle* s) { return s->FTransparentBorder; });
}

bool TcxContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) const
{
    TColor c;
    TcxContainerBorderStyle bs;
    TcxBorders e;
    TFont* f;
    bool b;
    switch (AValue) {
    case csvBorderColor: return FindAssignedBorderColor(c);
    case csvBorderStyle: return FindAssignedBorderStyle(bs);
    case csvColor: return FindAssignedColor(c);
    case csvEdges: return FindAssignedEdges(e);
    case csvFont: return FindAssignedFont(f);
    case csvHotTrack: return FindAssignedHotTrack(b);
    case csvShadow: return FindAssignedShadow(b);
    case csvTransparentBorder: return FindAssignedTransparentBorder(b);
    default: return false;
    }
}

bool TcxContainerStyle::GetStyleValueName(TcxContainerStyleValue AValue, std::string& AName) const
{
    static const char* const names[8] = {"BorderColor", "BorderStyle", "Color", "Edges", "Font", "HotTrack",
                                         "Shadow", "TransparentBorder"};
    if (AValue < 0 || AValue > 7) {
        AName.clear();
        return false;
    }
    AName = names[AValue];
    return true;
}

TColor TcxContainerStyle::BorderColor() const
{
    if (FPaintOnly) return clDefault;
    TColor v;
    return FindAssignedBorderColor(v) ? v : GetDefaultBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() const
{
    if (FPaintOnly) return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : GetDefaultBorderStyle();
    TcxContainerBorderStyle v;
    return FindAssignedBorderStyle(v) ? v : GetDefaultBorderStyle();
}

TColor TcxContainerStyle::Color() const
{
    if (FPaintOnly) return FColor;
    auto* c = dynamic_cast<TControl*>(FOwner);
    if (c && c->ParentColor() && c->Parent()) return c->Parent()->Color();
    TColor v;
    return FindAssignedColor(v) ? v : GetDefaultColor();
}

TColor TcxContainerStyle::GetEffectiveColor() const
{
    if (FPaintOnly) return FColor;
    TColor v;
    if (FindAssignedColor(v)) return v;
    auto* c = dynamic_cast<TControl*>(FOwner);
    if (c && c->ParentColor() && c->Parent()) return c->Parent()->Color();
    return GetDefaultColor();
}

TcxBorders TcxContainerStyle::Edges() const
{
    if (FPaintOnly) return {};
    TcxBorders v;
    return FindAssignedEdges(v) ? v : GetDefaultEdges();
}

TFont* TcxContainerStyle::Font() const
{
    return FPaintOnly ? FFontRef : FOwnFont.get();
}

bool TcxContainerStyle::HotTrack() const
{
    if (FPaintOnly) return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : GetDefaultHotTrack();
    bool v;
    return FindAssignedHotTrack(v) ? v : GetDefaultHotTrack();
}

bool TcxContainerStyle::Shadow() const
{
    if (FPaintOnly) return false;
    bool v;
    return FindAssignedShadow(v) ? v : GetDefaultShadow();
}

bool TcxContainerStyle::TransparentBorder() const
{
    if (FPaintOnly) return true;
    bool v;
    return FindAssignedTransparentBorder(v) ? v : GetDefaultTransparentBorder();
}

TcxContainerStyleValues TcxContainerStyle::AssignedValues() const
{
    if (!FPaintOnly) return FAssignedValues;
    TcxContainerStyleValues all;
    for (int i = 0; i < GetStyleValueCount(); ++i) all.Include(i);
    return all;
}

namespace {
template <class T>
bool SetValue(TcxContainerStyleValues& assigned, TcxContainerStyleValue bit, T& field, const T& value)
{
    if (assigned.Contains(bit) && field == value) return false;
    field = value;
    assigned.Include(bit);
    return true;
}
}  // namespace

void TcxContainerStyle::SetBorderColor(TColor Value)
{
    if (SetValue(FAssignedValues, csvBorderColor, FBorderColor, Value)) Changed();
}
void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle Value)
{
    if (SetValue(FAssignedValues, csvBorderStyle, FBorderStyle, Value)) Changed();
}
void TcxContainerStyle::SetColor(TColor Value)
{
    if (SetValue(FAssignedValues, csvColor, FColor, Value)) Changed();
}
void TcxContainerStyle::SetEdges(TcxBorders Value)
{
    if (SetValue(FAssignedValues, csvEdges, FEdges, Value)) Changed();
}
void TcxContainerStyle::SetHotTrack(bool Value)
{
    if (SetValue(FAssignedValues, csvHotTrack, FHotTrack, Value)) Changed();
}
void TcxContainerStyle::SetShadow(bool Value)
{
    if (SetValue(FAssignedValues, csvShadow, FShadow, Value)) Changed();
}
void TcxContainerStyle::SetTransparentBorder(bool Value)
{
    if (SetValue(FAssignedValues, csvTransparentBorder, FTransparentBorder, Value)) Changed();
}

void TcxContainerStyle::SetFont(TFont* Value)
{
    if (FPaintOnly) {
        FFontRef = Value;
        return;
    }
    if (!Value) return;
    BeginUpdate();
    FOwnFont->Assign(Value);
    FAssignedValues.Include(csvFont);
    Changed();
    EndUpdate();
}

void TcxContainerStyle::FontChanged(TObject*)
{
    if (!FFontUpdating) FAssignedValues.Include(csvFont);
    Changed();
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues Value)
{
    if (Value == FAssignedValues) return;
    FAssignedValues = Value;
    UpdateFont();
    Changed();
}

void TcxContainerStyle::UpdateFont()
{
    if (FPaintOnly || FAssignedValues.Contains(csvFont)) return;
    TFont* f = nullptr;
    if (!FindAssignedFont(f) || !f || f == FOwnFont.get()) return;
    FFontUpdating = true;
    try {
        FOwnFont->Assign(f);
    } catch (...) {
        FFontUpdating = false;
        throw;
    }
    FFontUpdating = false;
}

TcxStyleController* TcxContainerStyle::StyleController() const
{
    return FStyleController == GetDefaultStyleController() ? nullptr : FStyleController;
}

void TcxContainerStyle::SetStyleController(TcxStyleController* Value)
{
    if (!Value) Value = GetDefaultStyleController();
    if (Value) {
        if (Value->Style() == this) return;
        TcxStyleController* next = Value->Style()->FStyleController;
        if (next && next->Style() == this) return;
    }
    if (Value == FStyleController) return;
    if (FStyleController) FStyleController->RemoveListener(this);
    FStyleController = Value;
    if (FStyleController) FStyleController->AddListener(this);
    StyleControllerChanged();
}

void TcxContainerStyle::StyleControllerChanged()
{
    UpdateFont();
    Changed();
}

void TcxContainerStyle::ControllerStyleChanged(TObject*)
{
    UpdateFont();
    Changed();
}

void TcxContainerStyle::ControllerFreeNotification(TcxStyleController* AController)
{
    if (AController && AController == FStyleController) SetStyleController(nullptr);
}

void TcxContainerStyle::Assign(TPersistent* Source)
{
    auto* s = DynamicCast<TcxContainerStyle>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    SetStyleController(s->StyleController());
    FLookAndFeel->Assign(s->LookAndFeel());
    FBorderColor = s->FBorderColor;
    FBorderStyle = s->FBorderStyle;
    FEdges = s->FEdges;
    FHotTrack = s->FHotTrack;
    FShadow = s->FShadow;
    FTransparentBorder = s->FTransparentBorder;
    FColor = s->FColor;
    const TColor textColor = s->FPaintOnly ? s->FTextColor : (s->Font() ? s->Font()->Color() : clWindowText);
    if (FPaintOnly) {
        FFontRef = s->Font();
        FTextColor = textColor;
    } else if (s->Font()) {
        FOwnFont->Assign(s->Font());
        FOwnFont->SetColor(textColor);
    }
    FAssignedValues = s->FAssignedValues;
    Changed();
    EndUpdate();
}

// ---- TcxStyleController -----------------------------------------------------------------------------------

TcxStyleController::TcxStyleController(TComponent* AOwner) : TComponent(AOwner) {}

void TcxStyleController::AfterConstruction()
{
    TComponent::AfterConstruction();
    Style();
}

TcxContainerStyle* TcxStyleController::Style() const
{
    // Made on first use: the style class comes from a virtual call.
    if (!FStyle) {
        FStyle.reset(TcxContainerStyle::CreateFromClass(GetStyleClass(), const_cast<TcxStyleController*>(this), false));
        auto* self = const_cast<TcxStyleController*>(this);
        FStyle->OnChanged = [self](TObject*) { self->Changed(); };
    }
    return FStyle.get();
}

void TcxStyleController::BeforeDestruction()
{
    FIsBeingDestroyed = true;
    TComponent::BeforeDestruction();
}

TcxStyleController::~TcxStyleController()
{
    FIsBeingDestroyed = true;
    // Each listener drops its reference; the list stays whole meanwhile.
    for (TcxContainerStyle* s : std::vector<TcxContainerStyle*>(FListeningStyles)) s->ControllerFreeNotification(this);
    FListeningStyles.clear();
    FStyle.reset();
}

void TcxStyleController::Loaded()
{
    TComponent::Loaded();
    Changed();
}

void TcxStyleController::AddListener(TcxContainerStyle* AStyle)
{
    if (!AStyle || std::find(FListeningStyles.begin(), FListeningStyles.end(), AStyle) != FListeningStyles.end())
        return;
    FListeningStyles.push_back(AStyle);
    AStyle->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
}

void TcxStyleController::RemoveListener(TcxContainerStyle* AStyle)
{
    auto it = std::find(FListeningStyles.begin(), FListeningStyles.end(), AStyle);
    if (it == FListeningStyles.end()) return;
    if (!FIsBeingDestroyed) FListeningStyles.erase(it);
    if (AStyle->LookAndFeel()) AStyle->LookAndFeel()->SetMasterLookAndFeel(nullptr);
}

void TcxStyleController::NotifyListener(TcxContainerStyle* AStyle)
{
    AStyle->ControllerStyleChanged(this);
    if (OnStyleChanged) OnStyleChanged(this, AStyle);
}

void TcxStyleController::Changed()
{
    if (OnStyleChanged) OnStyleChanged(this, Style());
    if (FIsBeingDestroyed) return;
    for (TcxContainerStyle* s : std::vector<TcxContainerStyle*>(FListeningStyles))
        if (std::find(FListeningStyles.begin(), FListeningStyles.end(), s) != FListeningStyles.end()) NotifyListener(s);
}

// ---- unit routines ------------------------------------------------------------------------------------------

#include "SysUtils.h"

namespace cxContainer {

void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R)
{
    const TRect below{R.Left + 3, R.Bottom, R.Right, R.Bottom + 3};
    const TRect right{R.Right, R.Top + 3, R.Right + 3, R.Bottom + 3};
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(below, clBtnShadow);
    ACanvas->ExcludeClipRect(below);
    ACanvas->FillRect(right, clBtnShadow);
    ACanvas->ExcludeClipRect(right);
}

void InvalidateFrameArea(HWND AWindow, const TRect& AOuter, const TRect& AInner, bool AErase)
{
    if (!AWindow) return;
    if (AInner.Right <= AInner.Left || AInner.Bottom <= AInner.Top) {
        InvalidateRect(AWindow, &AOuter, AErase);
        return;
    }
    const TRect strips[4] = {{AOuter.Left, AOuter.Top, AInner.Left, AOuter.Bottom},
                             {AInner.Left, AOuter.Top, AInner.Right, AInner.Top},
                             {AInner.Right, AOuter.Top, AOuter.Right, AOuter.Bottom},
                             {AInner.Left, AInner.Bottom, AInner.Right, AOuter.Bottom}};
    for (const TRect& r : strips)
        if (r.Right > r.Left && r.Bottom > r.Top) InvalidateRect(AWindow, &r, AErase);
}

bool StringsEqual(const std::string& S1, const std::string& S2, bool ACaseSensitive)
{
    return ACaseSensitive ? S1 == S2 : AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

int BorderWidthOf(TcxContainerBorderStyle AStyle)
{
    switch (AStyle) {
    case cbsNone: return 0;
    case cbsSingle: return 1;
    case cbsThick: return 2;
    case cbsFlat: return 2;
    case cbs3D: return 2;
    case cbsUltraFlat: return 1;
    }
    return 0;
}

TcxContainerBorderStyle DrawnBorderStyle(TcxContainerBorderStyle AStyle, int AHotLevel)
{
    switch (AStyle) {
    case cbsNone: return AHotLevel == 2 ? cbsFlat : cbsNone;
    case cbsSingle: return AHotLevel == 2 ? cbsThick : cbsSingle;
    case cbsThick: return cbsThick;
    case cbsFlat: return AHotLevel == 2 ? cbs3D : cbsFlat;
    case cbs3D: return cbs3D;
    case cbsUltraFlat: return cbsSingle;
    }
    return cbsNone;
}

}  // namespace cxContainer

// ---- TcxContainerViewInfo --------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxContainerViewInfo, TObject)
QZ_CLASS_IMPL(TcxFreeNotificator, TComponent)
QZ_CLASS_IMPL(TcxContainer, TcxControl)

void TcxContainerViewInfo::DrawContainerBorder(TcxCanvas* ACanvas, const TRect& R)
{
    switch (DrawnBorderStyle) {
    case cbsSingle:
    case cbsThick:
        ACanvas->FrameRect(R, DrawnBorderColor, DrawnBorderWidth, cxBordersAll);
        break;
    case cbsFlat: {
        ACanvas->DrawEdge(R, true, true, BorderSides);
        TRect r = R;
        InflateRect(r, -1, -1);
        ACanvas->FrameRect(r, clBtnFace, 1, cxBordersAll);
        break;
    }
    case cbs3D: {
        ACanvas->DrawEdge(R, true, true, BorderSides);
        TRect r = R;
        InflateRect(r, -1, -1);
        ACanvas->DrawComplexFrame(r, cl3DDkShadow, cl3DLight, BorderSides, 1);
        break;
    }
    default:
        break;
    }
}

void TcxContainerViewInfo::InternalPaint(TcxCanvas* ACanvas)
{
    if (UseThemes) {
        HTHEME t = dxThemeManager::OpenTheme(ThemeObjectType);
        TRect content = OuterRect;
        dxUxTheme::GetThemeBackgroundContentRect(t, ACanvas->Handle(), ThemePart, ThemeState, OuterRect, content);
        TColorRef border = ColorToRGB(clWindowFrame);
        dxUxTheme::GetThemeColor(dxThemeManager::OpenTheme(themeComboBox), 1, 1, 3801, border);
        ACanvas->SaveClipRegion();
        ACanvas->ExcludeClipRect(content);
        ACanvas->FillRect(OuterRect, TColor(border));
        ACanvas->RestoreClipRegion();
        ACanvas->FillRect(content, FillColor);
        return;
    }
    TRect r = InnerRect;
    r.Left -= DrawnBorderWidth;
    r.Top -= DrawnBorderWidth;
    if (BorderSides.Contains(bRight)) r.Right += DrawnBorderWidth;
    if (BorderSides.Contains(bBottom)) r.Bottom += DrawnBorderWidth;
    if (DrawShadow) cxContainer::DrawContainerShadow(ACanvas, r);
    if (!BorderSides.Contains(bRight)) r.Right += DrawnBorderWidth;
    if (!BorderSides.Contains(bBottom)) r.Bottom += DrawnBorderWidth;
    DrawContainerBorder(ACanvas, r);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(InnerRect, FillColor);
}

void TcxContainerViewInfo::Assign(TObject* Source)
{
    if (auto* s = DynamicCast<TcxContainerViewInfo>(Source)) ContentRect = s->ContentRect;
}

void TcxContainerViewInfo::OffsetBounds(int DX, int DY)
{
    OffsetRect(InnerRect, DX, DY);
    OffsetRect(OuterRect, DX, DY);
    OffsetRect(ContentRect, DX, DY);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}

// ---- TcxContainer -------------------------------------------------------------------------------------------------

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner)
{
    FIsCreating = true;
    FStyle.reset(TcxContainerStyle::CreateFromClass(GetStyleClass(), this, IsPaintOnlyStyle()));
    FStyle->OnChanged = [this](TObject* s) { ContainerStyleChanged(s); };
    FViewInfo.reset(static_cast<TcxContainerViewInfo*>(GetViewInfoClass()->Create(nullptr)));
    LookAndFeel()->SetMasterLookAndFeel(FStyle->LookAndFeel());
    TControlStyle cs = ControlStyle();
    cs.Include(csCaptureMouse);
    cs.Include(csSetCaption);
    SetControlStyle(cs);
    SetTabStop(true);
    SetParentColor(false);
    FStyleApplying = true;
    SetColor(clWindow);
    FStyleApplying = false;
    FIsCreating = false;
    CalculateViewInfo({-1, -1}, false);
}

void TcxContainer::BeforeDestruction()
{
    cxControls::EndMouseTracking(this);
    FIsDestroyingContainer = true;
    TcxControl::BeforeDestruction();
}

TcxContainer::~TcxContainer()
{
    cxControls::EndMouseTracking(this);
    FIsDestroyingContainer = true;
    FViewInfo.reset();
    if (FStyle) FStyle->OnChanged = nullptr;
    FStyle.reset();
}

void TcxContainer::SetInnerControl(TWinControl* Value)
{
    if (FInnerControl == Value) return;
    if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
    FInnerControl = Value;
    if (FInnerControl) {
        FInnerControl->FreeNotification(this);
        ShortRefreshContainer(false);
    }
}

void TcxContainer::Notification(TComponent* AComponent, TOperation Operation)
{
    TcxControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FInnerControl) FInnerControl = nullptr;
}

void TcxContainer::LockAlignControls(bool ALock)
{
    if (ALock)
        ++FAlignLockCount;
    else if (FAlignLockCount > 0)
        --FAlignLockCount;
}

void TcxContainer::ShortRefreshContainer(bool AIsMouseEvent)
{
    if (!HandleAllocated() || IsContainerDestroying()) return;
    RefreshContainer(ScreenToClient(cxControls::GetMouseCursorPos()), 0, GetShiftState(), AIsMouseEvent);
}

TRect TcxContainer::GetBorderExtent() const
{
    int w;
    if (FStyle->TransparentBorder() || FStyle->HotTrack())
        w = 2;
    else
        w = cxContainer::BorderWidthOf(FViewInfo->DrawnBorderStyle);
    TRect r{w, w, w, w};
    if (HasShadow()) {
        r.Right += 3;
        r.Bottom += 3;
    }
    return r;
}

bool TcxContainer::HasShadow() const
{
    return FStyle->Shadow() && !FViewInfo->UseThemes;
}

TRect TcxContainer::GetVisibleBounds() const
{
    TRect r{0, 0, Width(), Height()};
    if (FViewInfo->UseThemes) return r;
    const TRect e = GetBorderExtent();
    r.Left += e.Left;
    r.Top += e.Top;
    r.Right -= e.Right;
    r.Bottom -= e.Bottom;
    const int w = FViewInfo->DrawnBorderWidth;
    const TcxBorders edges = FStyle->Edges();
    if (edges.Contains(bLeft)) r.Left -= w;
    if (edges.Contains(bTop)) r.Top -= w;
    if (edges.Contains(bRight)) r.Right += w;
    if (edges.Contains(bBottom)) r.Bottom += w;
    return r;
}

int TcxContainer::GetThemeState() const
{
    if (!Enabled()) return 4;
    if (FViewInfo->StateFlags & cxcsFocused) return 5;
    return (FViewInfo->StateFlags & cxcsHot) ? 2 : 1;
}

void TcxContainer::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    TcxContainerViewInfo& vi = *FViewInfo;
    vi.OuterRect = {0, 0, Width(), Height()};
    vi.UseThemes = FStyle->LookAndFeel()->GetEffectiveNativeStyle() &&
                   dxThemeManager::OpenTheme(GetThemedObjectType()) != 0;
    if (vi.UseThemes) {
        vi.ThemeObjectType = GetThemedObjectType();
        vi.ThemePart = GetThemePart();
    }
    vi.DrawShadow = HasShadow();
    if (Enabled()) {
        if (IsDesigning())
            vi.StateFlags = cxcsNotFocused;
        else
            vi.StateFlags = Focused() ? cxcsFocused : cxcsNotFocused;
        if (AAllowHot && PtInRect(GetVisibleBounds(), P)) vi.StateFlags |= cxcsHot;
    } else {
        vi.StateFlags = cxcsDisabled;
    }
    vi.HotLevel = 0;
    if (FStyle->HotTrack()) vi.HotLevel = (vi.StateFlags & (cxcsFocused | cxcsHot)) ? 2 : 1;
    vi.DrawnBorderStyle = cxContainer::DrawnBorderStyle(FStyle->BorderStyle(), vi.HotLevel);
    const TRect e = GetBorderExtent();
    vi.InnerRect = {vi.OuterRect.Left + e.Left, vi.OuterRect.Top + e.Top, vi.OuterRect.Right - e.Right,
                    vi.OuterRect.Bottom - e.Bottom};
    vi.DrawnBorderWidth = cxContainer::BorderWidthOf(vi.DrawnBorderStyle);
    vi.BorderSides = FStyle->Edges();
    vi.ContentRect = vi.InnerRect;
    if (vi.UseThemes) vi.ThemeState = GetThemeState();
    if (FStyle->BorderStyle() == cbsUltraFlat) {
        const bool lit = Focused() || ((vi.StateFlags & cxcsHot) && FStyle->HotTrack()) || (IsDesigning() && Enabled());
        vi.DrawnBorderColor = lit ? clHighlight : clBtnShadow;
    } else {
        vi.DrawnBorderColor = FStyle->BorderColor();
    }
    if (vi.UseThemes) {
        TColor fill = Color();
        if (!Enabled()) {
            TColorRef c = 0;
            if (dxUxTheme::GetThemeColor(dxThemeManager::OpenTheme(vi.ThemeObjectType), vi.ThemePart, vi.ThemePart,
                                         3802, c) == dxS_OK)
                fill = TColor(c);
        }
        vi.SetFillColor(fill);
    } else {
        vi.SetFillColor(Enabled() ? FStyle->Color() : clBtnFace);
    }
}

std::unique_ptr<TcxRegion> TcxContainer::CalcWindowRegion() const
{
    if (FViewInfo->UseThemes) return nullptr;
    const TRect e = GetBorderExtent();
    TRect r{FViewInfo->OuterRect.Left + e.Left, FViewInfo->OuterRect.Top + e.Top,
            FViewInfo->OuterRect.Right - e.Right, FViewInfo->OuterRect.Bottom - e.Bottom};
    const int w = FViewInfo->DrawnBorderWidth;
    if (FViewInfo->BorderSides.Contains(bLeft)) r.Left -= w;
    if (FViewInfo->BorderSides.Contains(bTop)) r.Top -= w;
    if (FViewInfo->BorderSides.Contains(bRight)) r.Right += w;
    if (FViewInfo->BorderSides.Contains(bBottom)) r.Bottom += w;
    auto rgn = std::make_unique<TcxRegion>(r);
    if (FViewInfo->DrawShadow) {
        TRect s = r;
        OffsetRect(s, 3, 3);
        rgn->Combine(new TcxRegion(s), rcmUnion);
    }
    return rgn;
}

void TcxContainer::SetWindowShadowRegion()
{
    if (!HandleAllocated()) return;
    std::unique_ptr<TcxRegion> wanted = CalcWindowRegion();
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const bool hasCurrent = GetWindowRgn(Handle(), current) != ERROR;
    const bool same = wanted ? hasCurrent && EqualRgn(current, wanted->Handle()) : !hasCurrent;
    DeleteObject(current);
    if (same) return;
    if (!wanted) {
        SetWindowRegion(nullptr);
        return;
    }
    // The window keeps a copy; the region object frees the handle it was given.
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, wanted->Handle(), nullptr, RGN_COPY);
    TRegion shape(copy);
    SetWindowRegion(&shape);
}

bool TcxContainer::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    if (FAdjustingInnerControl || IsContainerDestroying()) return true;
    CalculateViewInfo(P, AShift.Empty() && FStyle->HotTrack());
    AdjustInnerControl();
    UpdateInnerControlAppearance();
    SetScrollBarsParameters();
    SetWindowShadowRegion();
    if (HandleAllocated()) {
        if (FInnerControl)
            cxContainer::InvalidateFrameArea(Handle(), {0, 0, Width(), Height()}, FViewInfo->InnerRect, false);
        else
            InvalidateRect({0, 0, Width(), Height()}, false);
    }
    return true;
}

void TcxContainer::AdjustInnerControl()
{
    if (!FInnerControl || FInnerControl->BoundsRect() == FViewInfo->ContentRect) return;
    FAdjustingInnerControl = true;
    try {
        FInnerControl->SetBoundsRect(FViewInfo->ContentRect);
    } catch (...) {
        FAdjustingInnerControl = false;
        throw;
    }
    FAdjustingInnerControl = false;
}

void TcxContainer::SetScrollBarsParameters()
{
    if (!FInnerControl || !HasScrollBars() || IsContainerDestroying() || FUpdatingInnerScrollBars) return;
    FUpdatingInnerScrollBars = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FUpdatingInnerScrollBars};
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        TcxControlScrollBar* bar = kind == sbHorizontal ? HScrollBar() : VScrollBar();
        const int bartype = kind == sbHorizontal ? SB_HORZ : SB_VERT;
        bool shown = false;
        if (Parent() && HandleAllocated() && FInnerControl->HandleAllocated()) {
            TScrollBarInfo info;
            if (GetScrollBarInfo(FInnerControl->Handle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL,
                                 &info) &&
                !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
                shown = true;
                bar->SetEnabled(Enabled() && !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE));
                const TPoint a = ScreenToClient(info.rcScrollBar.TopLeft());
                const TPoint b = ScreenToClient(info.rcScrollBar.BottomRight());
                const TRect r{a.X, a.Y, b.X, b.Y};
                if (r.Left < 0 || r.Top < 0 || r.Right > Width() || r.Bottom > Height()) {
                    shown = false;
                    bar->SetBounds(0, 0, 0, 0);
                } else {
                    bar->SetBoundsRect(r);
                }
            }
        }
        if (shown) {
            bar->SetCtl3D(false);
            bar->SetVisible(true);
            bar->BringToFront();
            TScrollInfo si;
            si.fMask = SIF_ALL;
            if (GetScrollInfo(FInnerControl->Handle(), bartype, &si))
                bar->SetScrollParams(si.nMin, si.nMax, si.nPos, std::min(int(si.nPage), si.nMax));
        } else {
            bar->SetVisible(false);
        }
    }
}

void TcxContainer::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    // The painter bars stand for the inner control's own: it scrolls itself.
    if (!FInnerControl || !FInnerControl->HandleAllocated()) return;
    const UINT msg = AScrollBarKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
    FInnerControl->Perform(msg, WPARAM((uint32_t(uint16_t(AScrollPos)) << 16) | uint16_t(AScrollCode)), 0);
    AScrollPos = GetScrollPos(FInnerControl->Handle(), AScrollBarKind == sbHorizontal ? SB_HORZ : SB_VERT);
}

void TcxContainer::UpdateInnerControlAppearance()
{
    if (!FInnerControl) return;
    FInnerControl->SetColor(FViewInfo->BackgroundColor());
    FInnerControl->Font()->Assign(Font());
    FInnerControl->Font()->SetColor(Enabled() ? Font()->Color() : clBtnShadow);
}

void TcxContainer::CalculateInnerControlVisibleRect(const TRect& AAreaRect, TControl* AControl, TRect& R,
                                                    bool& AHasRect) const
{
    AHasRect = false;
    if (!AControl) return;
    const TRect b = AControl->BoundsRect();
    R = {0, 0, b.Width(), b.Height()};
    if (b.Left < AAreaRect.Left) R.Left += AAreaRect.Left - b.Left;
    if (b.Top < AAreaRect.Top) R.Top += AAreaRect.Top - b.Top;
    if (b.Right > AAreaRect.Right) R.Right -= b.Right - AAreaRect.Right;
    if (b.Bottom > AAreaRect.Bottom) R.Bottom -= b.Bottom - AAreaRect.Bottom;
    AHasRect = !(R == TRect{0, 0, b.Width(), b.Height()});
}

void TcxContainer::AlignControls(TControl* AControl, TRect& Rect)
{
    if (ControlStyle().Contains(csAcceptsControls)) {
        TcxControl::AlignControls(AControl, Rect);
        return;
    }
    if (FAlignLockCount > 0 || IsInternalControl(AControl)) return;
    if (!AControl) TcxControl::AlignControls(AControl, Rect);
    auto* w = DynamicCast<TWinControl>(AControl);
    if (FIsCreating || !w || !w->HandleAllocated()) return;
    TRect r;
    bool has = false;
    CalculateInnerControlVisibleRect(Rect, w, r, has);
    const bool changed = w != FInnerControl || has != FHasInnerVisibleRect || (has && !(r == FInnerVisibleRect));
    if (!changed) return;
    if (has) {
        TRegion shape(r);
        w->SetWindowRegion(&shape);
    } else {
        w->SetWindowRegion(nullptr);
    }
    if (w == FInnerControl) {
        FHasInnerVisibleRect = has;
        FInnerVisibleRect = r;
    }
}

void TcxContainer::ContainerStyleChanged(TObject*)
{
    if (FIsCreating || ComponentState().Contains(csLoading)) return;
    ShortRefreshContainer(false);
    if (FStyle->GetEffectiveColor() != Color()) {
        if (ParentColor()) SetParentColor(false);
        FStyleApplying = true;
        SetColor(FStyle->Color());
        FStyleApplying = false;
    }
    FStyleApplying = true;
    Font()->Assign(FStyle->Font());
    FStyleApplying = false;
    if (!HandleAllocated()) CalculateViewInfo({-1, -1}, false);
    Invalidate();
}

void TcxContainer::ColorChanged()
{
    TcxControl::ColorChanged();
    if (!FStyleApplying && !FIsCreating && FStyle) {
        FStyle->SetColor(Color());
        return;
    }
    ShortRefreshContainer(false);
}

void TcxContainer::FontChanged()
{
    if (!FStyleApplying && !FIsCreating && FStyle) {
        const bool wasAssigned = FStyle->AssignedValues().Contains(csvFont);
        FStyleApplying = true;
        FStyle->SetFont(Font());
        if (!wasAssigned) {
            TcxContainerStyleValues v = FStyle->AssignedValues();
            v.Exclude(csvFont);
            FStyle->SetAssignedValues(v);
        }
        FStyleApplying = false;
    }
    TcxControl::FontChanged();
    AdjustInnerControl();
    if (HandleAllocated()) {
        ShortRefreshContainer(false);
        if (FInnerControl) FInnerControl->Font()->Assign(Font());
    }
}

void TcxContainer::CursorChanged()
{
    TcxControl::CursorChanged();
    if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

void TcxContainer::CMParentColorChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (ParentColor()) {
        TcxContainerStyleValues v = FStyle->AssignedValues();
        v.Exclude(csvColor);
        FStyleApplying = true;
        FStyle->SetAssignedValues(v);
        FStyleApplying = false;
    }
    if (FStyle->Color() != Color()) ContainerStyleChanged(FStyle.get());
}

void TcxContainer::CMSysColorChange(TMessage& Message)
{
    inherited::Dispatch(Message);
    ShortRefreshContainer(false);
}

void TcxContainer::CMEnabledChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    EnabledChanged();
}

void TcxContainer::EnabledChanged()
{
    if (FInnerControl) FInnerControl->SetEnabled(Enabled());
    if (HasScrollBars() && HScrollBar()) {
        HScrollBar()->SetEnabled(Enabled());
        VScrollBar()->SetEnabled(Enabled());
    }
    ShortRefreshContainer(false);
    if (!HandleAllocated()) CalculateViewInfo({-1, -1}, false);
}

void TcxContainer::VisibleChanged()
{
    TcxControl::VisibleChanged();
    // A hidden child window gets no show-window message of its own on this
    // window system, so the container closes its popups itself.
    if (!Visible()) cxContainer::CloseOwnedPopups(this);
}

void TcxContainer::RecreateStyleAndViewInfo()
{
    FStyle.reset(TcxContainerStyle::CreateFromClass(GetStyleClass(), this, IsPaintOnlyStyle()));
    FStyle->OnChanged = [this](TObject* s) { ContainerStyleChanged(s); };
    FViewInfo.reset(static_cast<TcxContainerViewInfo*>(GetViewInfoClass()->Create(nullptr)));
    LookAndFeel()->SetMasterLookAndFeel(FStyle->LookAndFeel());
}

void TcxContainer::Paint()
{
    // The container draws its own frame: no control-base border here.
    if (Canvas()->RectVisible(FViewInfo->OuterRect)) FViewInfo->Paint(Canvas());
}

void TcxContainer::Resize()
{
    TcxControl::Resize();
    if (!FIsCreating) {
        if (HandleAllocated())
            ShortRefreshContainer(false);
        else
            CalculateViewInfo({-1, -1}, false);
    }
}

void TcxContainer::Loaded()
{
    TcxControl::Loaded();
    ContainerStyleChanged(FStyle.get());
}

void TcxContainer::CreateHandle()
{
    TcxControl::CreateHandle();
    ShortRefreshContainer(false);
}

// ---- focus ---------------------------------------------------------------------------------------------------------

bool TcxContainer::Focused() const
{
    if (IsDesigning()) return false;
    return TcxControl::Focused() || (FInnerControl && FInnerControl->Focused());
}

void TcxContainer::SetFocus()
{
    if (IsDesigning() || Focused()) return;
    TcxControl::SetFocus();
    if (TcxControl::Focused() && FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->CanFocus()) {
        FocusInnerControl();
        if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(FInnerControl);
    }
}

void TcxContainer::FocusInnerControl()
{
    if (FInnerControl) FInnerControl->SetFocus();
}

bool TcxContainer::MayFocus() const
{
    return !(FInnerControl && FInnerControl->Focused());
}

bool TcxContainer::CanFocusOnClick() const
{
    if ((FInnerControl && FInnerControl->Focused()) || InnerMouseDownForwarding) return false;
    return TcxControl::CanFocusOnClick();
}

void TcxContainer::FocusChanged()
{
    TcxControl::FocusChanged();
    ShortRefreshContainer(false);
}

void TcxContainer::WMSetFocus(TMessage& Message)
{
    if (!Visible()) return;
    HWND from = reinterpret_cast<HWND>(Message.WParam);
    if (FInnerControl && FInnerControl->HandleAllocated() && from == FInnerControl->Handle()) return;
    inherited::Dispatch(Message);
    if (FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::WMKillFocus(TMessage& Message)
{
    HWND to = reinterpret_cast<HWND>(Message.WParam);
    if (FInnerControl && FInnerControl->HandleAllocated() && to == FInnerControl->Handle()) return;
    inherited::Dispatch(Message);
}

// ---- keys and mouse ------------------------------------------------------------------------------------------------

void TcxContainer::WndProc(TMessage& Message)
{
    if (FInnerControl && FInnerControl->HandleAllocated() &&
        (Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP || Message.Msg == WM_CHAR ||
         Message.Msg == CN_KEYDOWN || Message.Msg == CN_KEYUP || Message.Msg == CN_CHAR)) {
        Message.Result = FInnerControl->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TcxControl::WndProc(Message);
}

void TcxContainer::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyDown(Key, Shift);
    if (Key == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && Focused() && !HandlesTab()) {
        Key = 0;
        FocusNextControl(!Shift.Contains(ssShift));
    }
}

void TcxContainer::FocusNextControl(bool AGoForward)
{
    TCustomForm* f = GetParentForm(this);
    if (!f) return;
    // The inner control stands in the container's place in the tab order:
    // the next control is the first one outside the container.
    TWinControl* cur = this;
    for (int guard = 0; guard < 1000; ++guard) {
        TWinControl* next = f->FindNextControl(cur, AGoForward, true, false);
        if (!next || next == this) break;
        if (next != FInnerControl && !ContainsControl(next) && !(FInnerControl && FInnerControl->ContainsControl(next))) {
            next->SetFocus();
            break;
        }
        cur = next;
    }
    if (Focused() && FInnerControl) FInnerControl->SetFocus();
}

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxContainer* self = this;
    TcxControl* guard = self;
    AddDestroyGuard(&guard);
    TcxControl::MouseDown(Button, Shift, X, Y);
    if (!guard) return;
    RemoveDestroyGuard(&guard);
    RefreshContainer({X, Y}, MouseButtonCode(Button), Shift, true);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl* guard = this;
    AddDestroyGuard(&guard);
    TcxControl::MouseUp(Button, Shift, X, Y);
    if (!guard) return;
    RemoveDestroyGuard(&guard);
    RefreshContainer({X, Y}, MouseButtonCode(Button), Shift, true);
}

void TcxContainer::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl* guard = this;
    AddDestroyGuard(&guard);
    TcxControl::MouseMove(Shift, X, Y);
    if (!guard) return;
    RemoveDestroyGuard(&guard);
    RefreshContainer({X, Y}, 0, Shift, true);
    cxControls::BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseEnter(TControl* AControl)
{
    TcxControl::MouseEnter(AControl);
    ShortRefreshContainer(true);
    cxControls::BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseLeave(TControl* AControl)
{
    TcxControl::MouseLeave(AControl);
    if (HandleAllocated() && !IsContainerDestroying()) RefreshContainer({-1, -1}, 0, {}, true);
    cxControls::EndMouseTracking(this);
}

void TcxContainer::TrackedMouseLeave()
{
    MouseLeave(static_cast<TControl*>(nullptr));
    cxControls::EndMouseTracking(this);
}

void TcxContainer::DoContextPopup(TPoint MousePos, bool& Handled)
{
    const bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
    if (FContextMenuLockCount > 0 || (!keyboard && !PtInRect(FViewInfo->ContentRect, MousePos))) {
        Handled = true;
        return;
    }
    TcxControl::DoContextPopup(MousePos, Handled);
}

// ---- TcxCustomPopupWindow ---------------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomPopupWindow, TcxPopupWindow)

namespace {
std::vector<TcxCustomPopupWindow*>& OpenList()
{
    static std::vector<TcxCustomPopupWindow*> list;
    return list;
}
bool InOpenList(const TcxCustomPopupWindow* p)
{
    auto& l = OpenList();
    return std::find(l.begin(), l.end(), p) != l.end();
}
void RemoveFromOpenList(const TcxCustomPopupWindow* p)
{
    auto& l = OpenList();
    l.erase(std::remove(l.begin(), l.end(), p), l.end());
}
bool GMouseHookClosing = false;
// Whether window belongs to control (its window or a descendant window).
bool WindowBelongsTo(TWinControl* control, HWND window)
{
    if (!control || !window || !control->HandleAllocated()) return false;
    return control->Handle() == window || IsChild(control->Handle(), window);
}
}  // namespace

const std::vector<TcxCustomPopupWindow*>& cxContainer::OpenPopups() { return OpenList(); }

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* AOwnerControl) : TcxPopupWindow()
{
    SetFormStyle(fsNormal);
    SetVisible(false);
    FStyle.reset(TcxContainerStyle::CreateFromClass(GetStyleClass(), this, false));
    FStyle->OnChanged = [this](TObject*) { PopupStyleChanged(); };
    FViewInfo.reset(static_cast<TcxContainerViewInfo*>(GetViewInfoClass()->Create(nullptr)));
    FTakesFocus = true;
    FOwnerControl = AOwnerControl;
    SetKeyPreview(true);
    Modal = true;
}

TcxCustomPopupWindow::~TcxCustomPopupWindow()
{
    RemoveFromOpenList(this);
    FViewInfo.reset();
    if (FStyle) FStyle->OnChanged = nullptr;
    FStyle.reset();
}

bool TcxCustomPopupWindow::IsPoppedUp() const { return InOpenList(this); }

void TcxCustomPopupWindow::SetTakesFocus(bool Value)
{
    if (FTakesFocus == Value) return;
    FTakesFocus = Value;
    const bool open = IsPoppedUp();
    TWinControl* focused = FFocusedControl.Get();
    if (open) ClosePopup(false);
    if (HandleAllocated()) RecreateWnd();
    if (open) Popup(focused);
}

void TcxCustomPopupWindow::SetTopMostWithOwner(bool Value)
{
    if (FTopMostWithOwner == Value) return;
    FTopMostWithOwner = Value;
    const bool open = IsPoppedUp();
    TWinControl* focused = FFocusedControl.Get();
    if (open) ClosePopup(false);
    if (HandleAllocated()) RecreateWnd();
    if (open) Popup(focused);
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params)
{
    TcxPopupWindow::CreateParams(Params);
    Params.Style &= ~WS_CHILD;
    Params.Style |= WS_POPUP | WS_CLIPCHILDREN;
    // No owner window: on this window system an owned window is destroyed
    // with its owner, which would pull the window from under a popup that
    // outlives its owner's form. Top-most placement keeps it in front.
    if (!FTakesFocus) {
        // Shown without taking the keyboard: the owner keeps the focus.
        Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
    if (FTopMostWithOwner || !FTakesFocus) Params.ExStyle |= WS_EX_TOPMOST;
}

void TcxCustomPopupWindow::Paint()
{
    FViewInfo->Paint(cxCanvas());
    DrawPopupFrame();
}

void TcxCustomPopupWindow::WMEraseBkgnd(TMessage& Message)
{
    if (HasBackground())
        inherited::Dispatch(Message);
    else
        Message.Result = 1;
}

void TcxCustomPopupWindow::CMMouseEnter(TMessage& Message)
{
    inherited::Dispatch(Message);
    auto* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseEnter(c ? c : this);
}

void TcxCustomPopupWindow::CMMouseLeave(TMessage& Message)
{
    inherited::Dispatch(Message);
    auto* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseLeave(c ? c : this);
}

void TcxCustomPopupWindow::Popup(TWinControl* AFocusedControl)
{
    if (IsPoppedUp()) return;
    InitPopup();
    CalculateSize();
    FViewInfo->OuterRect = {0, 0, Width(), Height()};
    FViewInfo->InnerRect = FViewInfo->ContentRect = FViewInfo->OuterRect;
    FViewInfo->SetFillColor(Color());
    TPoint p{Left(), Top()};
    CalculatePosition(p);
    SetBounds(p.X, p.Y, Width(), Height());
    OpenList().push_back(this);
    if (FTakesFocus) {
        if (!AFocusedControl)
            AFocusedControl = this;
        else if (!(AFocusedControl->CanFocus() && AFocusedControl->TabStop())) {
            TWinControl* first = FindNextControl(nullptr, true, true, false);
            AFocusedControl = first ? first : this;
        }
    }
    FFocusedControl = AFocusedControl;
    if (OnShowing) OnShowing(this);
    TcxCustomPopupWindow* self = this;
    TWeakRef<TcxCustomPopupWindow> alive(self);
    Show();
    if (!alive) return;
    if (FTakesFocus) {
        if (TWinControl* f = FFocusedControl.Get(); f && f != this)
            f->SetFocus();
        else
            SetFocus();
    } else if (TWinControl* f = FFocusedControl.Get()) {
        f->SetFocus();
    }
    if (!alive) return;
    SetModalResult(0);
    DoShowed();
    if (FTakesFocus && Modal) {
        while (alive && Visible() && IsPoppedUp() && Application && !Application->Terminated()) {
            TMsg m;
            while (PeekMessage(&m, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
                   (m.wParam == VK_RETURN || m.wParam == VK_MENU || m.wParam == VK_SPACE))
                PeekMessage(&m, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
            if (ModalResult() != 0) ClosePopup(true);
            if (!alive || !IsPoppedUp()) break;
            Application->HandleMessage();
        }
    }
}

void TcxCustomPopupWindow::ClosePopup(bool ACallCloseQuery)
{
    if (!IsPoppedUp()) return;
    if (ACallCloseQuery && !CloseQuery()) {
        SetModalResult(0);
        return;
    }
    RemoveFromOpenList(this);
    DoClosing();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    Hide();
    DoClosed();
    if (MouseCapture()) SetMouseCapture(false);
}

void TcxCustomPopupWindow::PostClosePopup()
{
    if (HandleAllocated()) PostMessage(Handle(), DXM_CLOSEPOPUPWINDOW, 0, 0);
}

void TcxCustomPopupWindow::DXMClosePopupWindow(TMessage&)
{
    FClosingExternally = true;
    ClosePopup(false);
    FClosingExternally = false;
    if (TWinControl* o = OwnerControl(); o && o->HandleAllocated()) SendMessage(o->Handle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomPopupWindow::DXMShowPopupWindow(TMessage& Message)
{
    Popup(reinterpret_cast<TWinControl*>(Message.WParam));
}

void TcxCustomPopupWindow::HidePopup()
{
    // A popup that does not take focus is never the active window, so its
    // losing the activation (where the window system gave it anyway) means
    // nothing.
    if (FClosingExternally || !FTakesFocus) return;
    auto& list = OpenList();
    if (list.empty()) return;
    TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
    for (auto it = list.rbegin(); it != list.rend();) {
        TcxCustomPopupWindow* p = *it;
        if (p == active) break;
        const size_t before = list.size();
        if (p->Enabled()) p->ClosePopup(false);
        if (list.size() != before)
            it = list.rbegin();
        else
            ++it;
    }
    if (!list.empty()) ClosePopup(false);
}

void TcxCustomPopupWindow::VisibleChanged()
{
    if (!HandleAllocated() || Visible()) return;
    TWinControl* o = OwnerControl();
    if (!o) return;
    TCustomForm* f = GetParentForm(o);
    if (f && Screen && Screen->ActiveForm() == f && o->CanFocus() && !f->ComponentState().Contains(csDesigning))
        o->SetFocus();
}

void TcxCustomPopupWindow::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE && IsPoppedUp() && MouseCapture()) {
        SetMouseCapture(false);
        Key = 0;
        return;
    }
    TcxPopupWindow::KeyDown(Key, Shift);
}

bool TcxCustomPopupWindow::Focused() const
{
    if (!IsPoppedUp() || !FTakesFocus) return false;
    HWND focus = GetFocus();
    return BelongsToPopup(focus) || (const_cast<TcxCustomPopupWindow*>(this)->HandleAllocated() &&
                                     focus == const_cast<TcxCustomPopupWindow*>(this)->Handle());
}

bool TcxCustomPopupWindow::BelongsToPopup(HWND AWindow) const
{
    auto* self = const_cast<TcxCustomPopupWindow*>(this);
    if (!AWindow || !self->HandleAllocated() || AWindow == self->Handle()) return false;
    if (IsChild(self->Handle(), AWindow)) return true;
    for (TcxCustomPopupWindow* p : OpenList()) {
        if (p == this || !p->OwnerControl()) continue;
        if (GetParentForm(p->OwnerControl()) != self) continue;
        if (WindowBelongsTo(p, AWindow) || p->BelongsToPopup(AWindow)) return true;
    }
    return false;
}

// ---- the closing rules, as dispatcher filters ---------------------------------------------------------------------

namespace {

int GFilters[3] = {0, 0, 0};

bool BelongsToOwnerForm(TWinControl* AControl, HWND AWindow)
{
    TCustomForm* f = AControl ? GetParentForm(AControl) : nullptr;
    return f && WindowBelongsTo(f, AWindow);
}

bool CallWndProcFilter(HWND w, TMessage& m)
{
    auto& list = OpenList();
    if (list.empty()) return false;
    switch (m.Msg) {
    case WM_DESTROY:
        for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(list))
            if (InOpenList(p) && p->HandleAllocated() && p->Handle() == w && !p->ComponentState().Contains(csDestroying)) {
                p->Close();
                break;
            }
        break;
    case WM_CLOSE:
        for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(list)) {
            if (!InOpenList(p) || p->ComponentState().Contains(csDestroying)) continue;
            if (p->HandleAllocated() && p->Handle() == w) {
                TWeakRef<TWinControl> owner(p->OwnerControl());
                const bool takesFocus = p->TakesFocus();
                p->Close();
                if (!InOpenList(p) && takesFocus && owner)
                    if (TCustomForm* f = GetParentForm(owner.Get()); f && f->HandleAllocated())
                        SendMessage(f->Handle(), WM_CLOSE, 0, 0);
                break;
            }
            if (p->TakesFocus()) continue;
            if (TWinControl* o = p->OwnerControl()) {
                TCustomForm* f = GetParentForm(o);
                if (!f || !f->HandleAllocated() || f->Handle() == w) p->ClosePopup(false);
            }
            break;
        }
        break;
    case WM_SHOWWINDOW:
        if (m.WParam == 0)
            if (TWinControl* c = FindControl(w)) cxContainer::CloseOwnedPopups(c);
        break;
    case WM_WINDOWPOSCHANGED:
        for (bool again = true; again;) {
            again = false;
            for (TcxCustomPopupWindow* p : list) {
                TWinControl* o = p->OwnerControl();
                if (o && o->HandleAllocated() && o->Handle() == w && !IsWindowVisible(w)) {
                    p->ClosePopup(false);
                    again = true;
                    break;
                }
            }
        }
        break;
    case WM_ACTIVATEAPP:
        if (m.WParam == 0)
            for (bool again = true; again;) {
                again = false;
                for (TcxCustomPopupWindow* p : list) {
                    TWinControl* o = p->OwnerControl();
                    if (TCustomForm* f = o ? GetParentForm(o) : nullptr; f && f->HandleAllocated())
                        PostMessage(f->Handle(), WM_NCACTIVATE, 0, 0);
                    if (p->TakesFocus() && Screen && Screen->ActiveForm() == p) continue;
                    p->ClosePopup(false);
                    if (auto* c = DynamicCast<TcxControl>(o)) c->FocusChanged();
                    again = true;
                    break;
                }
            }
        break;
    case WM_NCACTIVATE:
        if (m.WParam == 0) {
            bool keep = GMouseHookClosing;
            for (TcxCustomPopupWindow* p : list) {
                TCustomForm* f = p->OwnerControl() ? GetParentForm(p->OwnerControl()) : nullptr;
                if (f && f->HandleAllocated() && f->Handle() == w) keep = true;
            }
            if (keep) {
                // The caption stays active: the message is answered here.
                m.Result = 1;
                return true;
            }
        }
        break;
    default:
        break;
    }
    return false;
}

bool GetMessageFilter(HWND, TMessage& m)
{
    auto& list = OpenList();
    if (list.empty() || m.Msg != WM_SYSKEYDOWN) return false;
    TcxCustomPopupWindow* newest = list.back();
    if ((newest->TakesFocus() && newest->Modal) || newest->IsSysKeyAccepted(WORD(m.WParam))) return false;
    m.Msg = WM_NULL;
    return true;
}

bool MouseFilter(HWND w, TMessage& m)
{
    auto& list = OpenList();
    if (list.empty()) return false;
    if (m.Msg != WM_LBUTTONDOWN && m.Msg != WM_LBUTTONDBLCLK && m.Msg != WM_NCLBUTTONDOWN) return false;
    bool discard = false;
    for (bool again = true; again;) {
        again = false;
        for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(list)) {
            if (!InOpenList(p)) continue;
            if (p->TakesFocus() && Screen && Screen->ActiveForm() != p) continue;
            if ((p->HandleAllocated() && p->Handle() == w) || p->BelongsToPopup(w)) continue;
            TWinControl* o = p->OwnerControl();
            if (!BelongsToOwnerForm(o, w)) continue;
            bool onOwner = false;
            if (WindowBelongsTo(o, w)) {
                TPoint cursor = cxControls::GetMouseCursorPos();
                TRect anchor = p->AnchorBounds;
                if (p->AnchorParent) {
                    const TPoint a = p->AnchorParent->ClientToScreen(anchor.TopLeft());
                    const TPoint b = p->AnchorParent->ClientToScreen(anchor.BottomRight());
                    anchor = {a.X, a.Y, b.X, b.Y};
                }
                onOwner = PtInRect(anchor, cursor);
            }
            TWeakRef<TWinControl> owner(o);
            GMouseHookClosing = true;
            p->DXMClosePopupForHook();
            GMouseHookClosing = false;
            if (onOwner && (!owner || owner->ComponentState().Contains(csDestroying) || !owner->Visible()))
                discard = true;
            again = true;
            break;
        }
    }
    if (discard) m.Result = 0;
    return discard;
}

}  // namespace

void cxContainer::CloseOwnedPopups(TWinControl* AOwner)
{
    auto& list = OpenList();
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i]->OwnerControl() != AOwner) continue;
        // This popup and every newer one, the newest first.
        for (size_t k = list.size(); k-- > i;)
            if (k < list.size()) list[k]->ClosePopup(false);
        break;
    }
}

void cxContainer::Initialize()
{
    if (GFilters[0]) return;
    GFilters[0] = AddMessageFilter(TMessageFilterKind::CallWndProc, CallWndProcFilter);
    GFilters[1] = AddMessageFilter(TMessageFilterKind::GetMessage, GetMessageFilter);
    GFilters[2] = AddMessageFilter(TMessageFilterKind::Mouse, MouseFilter);
}

void cxContainer::Finalize()
{
    for (int& id : GFilters) {
        if (id) RemoveMessageFilter(id);
        id = 0;
    }
}
