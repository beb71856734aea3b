#include "cxContainer.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxContainerStyle, TPersistent)
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
