#include "cxEdit.h"

#include "Controls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "Windows.h"
#include "cxEditConsts.h"
#include "cxFilterConsts.h"
#include "cxVariants.h"

#include <algorithm>

using cxClasses::GetResourceString;

QZ_ENUM_TYPEINFO(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
QZ_ENUM_TYPEINFO(TcxEditVertAlignment, "taTopJustify", "taBottomJustify", "taVCenter")
QZ_ENUM_TYPEINFO(TcxEditButtonKind, "bkEllipsis", "bkDown", "bkGlyph")
QZ_ENUM_TYPEINFO(TcxEditButtonStyle, "btsDefault", "bts3D", "btsFlat", "btsSimple", "btsHotFlat",
                 "btsUltraFlat")
QZ_ENUM_TYPEINFO(TcxEditButtonTransparency, "ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive",
                 "ebtHideUnselected")
QZ_ENUM_TYPEINFO(TcxEditPopupBorderStyle, "epbsDefault", "epbsSingle", "epbsFrame3D", "epbsFlat")


namespace {

void DefineAlignmentProps(std::vector<TPropInfo>& props)
{
    using A = TcxEditAlignment;
    props.push_back(PublishEnum<A>("Horz", &A::Horz, &A::SetHorz).StoredBy(StoredWhen(&A::IsHorzAssigned)));
    props.push_back(PublishEnum<A>("Vert", &A::Vert, &A::SetVert).StoredBy(StoredWhen(&A::IsVertStored)));
}

void DefineButtonProps(std::vector<TPropInfo>& props)
{
    using B = TcxEditButton;
    props.push_back(PublishBool<B>("Default", &B::Default, &B::SetDefault, false));
    props.push_back(PublishEnum<B>("Kind", &B::Kind, &B::SetKind, bkDown));
    props.push_back(PublishBool<B>("LeftAlignment", &B::LeftAlignment, &B::SetLeftAlignment, false));
    props.push_back(PublishBool<B>("Visible", &B::Visible, &B::SetVisible, true));
    props.push_back(PublishInt<B>("Width", &B::Width, &B::SetWidth, 0));
}

void DefinePropertiesProps(std::vector<TPropInfo>& props)
{
    using P = TcxCustomEditProperties;
    props.push_back(PublishObject<P>("Alignment", &P::Alignment, &P::SetAlignment)
                        .StoredBy(StoredWhen(&P::IsAlignmentStored)));
    props.push_back(PublishBool<P>("AutoSelect", &P::AutoSelect, &P::SetAutoSelect, true));
    props.push_back(PublishBool<P>("BeepOnError", &P::BeepOnError, &P::SetBeepOnError, false));
    props.push_back(PublishObject<P>("Buttons", &P::Buttons, &P::SetButtons));
    props.push_back(PublishInt<P>("ClearKey", &P::ClearKey, &P::SetClearKey, 0));
    props.push_back(PublishInt<P>("ClickKey", &P::ClickKey, &P::SetClickKey, 16397));
    props.push_back(PublishBool<P>("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost, false));
    props.push_back(PublishBool<P>("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
                        .StoredBy(StoredWhen(&P::IsReadOnlyStored)));
    props.push_back(PublishBool<P>("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing,
                                   &P::SetUseLeftAlignmentOnEditing)
                        .StoredBy(StoredWhen(&P::IsUseLeftAlignmentOnEditingStored)));
    props.push_back(PublishBool<P>("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter));
}

void DefineEditStyleProps(std::vector<TPropInfo>& props)
{
    using S = TcxCustomEditStyle;
    props.push_back(PublishEnum<S>("ButtonStyle", &S::ButtonStyle, &S::SetButtonStyle)
                        .StoredBy(StoredWhen(&S::IsButtonStyleStored)));
    props.push_back(PublishEnum<S>("ButtonTransparency", &S::ButtonTransparency, &S::SetButtonTransparency)
                        .StoredBy(StoredWhen(&S::IsButtonTransparencyStored)));
    props.push_back(PublishEnum<S>("PopupBorderStyle", &S::PopupBorderStyle, &S::SetPopupBorderStyle)
                        .StoredBy(StoredWhen(&S::IsPopupBorderStyleStored)));
}

// Every properties object, for the providers' ClearUsers.
std::vector<TcxCustomEditProperties*>& PropertiesList()
{
    static std::vector<TcxCustomEditProperties*> list;
    return list;
}

}  // namespace

QZ_CLASS_IMPL(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
QZ_CLASS_IMPL(TcxCustomEditPropertiesValues, TPersistent)
QZ_CLASS_IMPL_PROPS(TcxEditAlignment, TPersistent, DefineAlignmentProps)
QZ_CLASS_IMPL_PROPS(TcxEditButton, TCollectionItem, DefineButtonProps)
QZ_CLASS_IMPL(TcxEditButtons, TOwnedCollection)
QZ_CLASS_IMPL_PROPS(TcxCustomEditProperties, TcxInterfacedPersistent, DefinePropertiesProps)
QZ_CLASS_IMPL_PROPS(TcxCustomEditStyle, TcxContainerStyle, DefineEditStyleProps)
QZ_CLASS_IMPL(TcxEditStyle, TcxCustomEditStyle)
QZ_CLASS_IMPL(TcxEditStyleController, TcxStyleController)
QZ_CLASS_IMPL(TcxEditRepositoryItem, TComponent)
QZ_CLASS_IMPL(TcxEditRepository, TComponent)

// ---- the default values provider -----------------------------------------------------------------

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsers(); }

void TcxCustomEditDefaultValuesProvider::DoChanged()
{
    if (OnChanged) OnChanged(this);
}

void TcxCustomEditDefaultValuesProvider::ClearUsers()
{
    for (TcxCustomEditProperties* p : PropertiesList())
        if (p->DefaultValuesProvider() && p->DefaultValuesProvider()->GetInstance() == this)
            p->DropProvider();
}

// ---- values, alignment, buttons ---------------------------------------------------------------------

void TcxCustomEditPropertiesValues::Assign(TPersistent* Source)
{
    if (auto* v = dynamic_cast<TcxCustomEditPropertiesValues*>(Source)) ReadOnly = v->ReadOnly;
    else TPersistent::Assign(Source);
}

void TcxEditAlignment::DoChanged()
{
    if (OnChanged) OnChanged(this);
}

void TcxEditAlignment::SetHorz(TAlignment Value)
{
    if (FIsHorzAssigned && FHorz == Value) return;
    FIsHorzAssigned = true;
    FHorz = Value;
    DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value)
{
    if (FVert == Value) return;
    FVert = Value;
    DoChanged();
}

void TcxEditAlignment::Assign(TPersistent* Source)
{
    auto* a = dynamic_cast<TcxEditAlignment*>(Source);
    if (!a) { TPersistent::Assign(Source); return; }
    FVert = a->FVert;
    FHorz = a->FHorz;
    FIsHorzAssigned = a->FIsHorzAssigned;
    DoChanged();
}

void TcxEditAlignment::Reset()
{
    FIsHorzAssigned = false;
    DoChanged();
}

TcxEditButton::TcxEditButton(TCollection* ACollection) : TCollectionItem(ACollection) {}

TcxEditButton::~TcxEditButton() = default;

TBitmap* TcxEditButton::Glyph()
{
    if (!FGlyph) {
        FGlyph = std::make_unique<TBitmap>();
        FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
    }
    return FGlyph.get();
}

void TcxEditButton::SetGlyph(TBitmap* Value)
{
    if (!Value) FGlyph.reset();
    else Glyph()->Assign(Value);
    Changed(false);
}

void TcxEditButton::SetDefault(bool Value)
{
    if (FDefault == Value) return;
    if (Value && Collection())
        for (int i = 0; i < Collection()->Count(); ++i)
            static_cast<TcxEditButton*>(Collection()->Items(i))->FDefault = false;
    FDefault = Value;
    Changed(true);
}

#define QZ_BUTTON_SETTER(Name, Type, Field)          \
    void TcxEditButton::Set##Name(Type Value)        \
    {                                                \
        if (Field == Value) return;                  \
        Field = Value;                               \
        Changed(false);                              \
    }
QZ_BUTTON_SETTER(Kind, TcxEditButtonKind, FKind)
QZ_BUTTON_SETTER(LeftAlignment, bool, FLeftAlignment)
QZ_BUTTON_SETTER(TextColor, TColor, FTextColor)
QZ_BUTTON_SETTER(Visible, bool, FVisible)
QZ_BUTTON_SETTER(Width, int, FWidth)
#undef QZ_BUTTON_SETTER

void TcxEditButton::Assign(TPersistent* Source)
{
    auto* b = dynamic_cast<TcxEditButton*>(Source);
    if (!b) { TCollectionItem::Assign(Source); return; }
    if (Collection()) Collection()->BeginUpdate();
    FDefault = b->FDefault;
    if (b->FGlyph) Glyph()->Assign(b->FGlyph.get());
    else FGlyph.reset();
    FKind = b->FKind;
    FLeftAlignment = b->FLeftAlignment;
    FTextColor = b->FTextColor;
    FVisible = b->FVisible;
    FWidth = b->FWidth;
    Changed(false);
    if (Collection()) Collection()->EndUpdate();
}

int TcxEditButtons::VisibleCount() const
{
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible()) ++n;
    return n;
}

void TcxEditButtons::Added(TCollectionItem* AItem)
{
    // The first button added while the form is designed is the default one.
    if (Count() != 1) return;
    TPersistent* o = GetOwner();
    while (o && !dynamic_cast<TComponent*>(o)) o = o->GetOwner();
    auto* c = dynamic_cast<TComponent*>(o);
    if (c && c->ComponentState().Contains(csDesigning) && !c->ComponentState().Contains(csLoading))
        static_cast<TcxEditButton*>(AItem)->FDefault = true;
}

void TcxEditButtons::Update(TCollectionItem*)
{
    if (OnChange) OnChange(this);
}

// ---- the properties --------------------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner)
{
    cxEdit::Initialize();
    PropertiesList().push_back(this);
    FFreeNotificator = std::make_unique<TcxFreeNotificator>();
    FFreeNotificator->OnFreeNotification = [this](TComponent* c) { FreeNotification(c); };
    FWorkingAlignment = std::make_unique<TcxEditAlignment>(this);
    FWorkingAlignment->OnChanged = [this](TObject*) { AlignmentChanged(); };
    FAssignedValues = std::make_unique<TcxCustomEditPropertiesValues>(this);
    FButtons = std::make_unique<TcxEditButtons>(this);
    FButtons->OnChange = [this](TObject*) { ButtonsChanged(); };
    FUseLeftAlignmentOnEditing = true;   // DefaultUseLeftAlignmentOnEditing, not virtual here yet
    FStoredAlignment = std::make_unique<TcxEditAlignment>(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties()
{
    FDefaultValuesProvider = nullptr;
    auto& list = PropertiesList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool TcxCustomEditProperties::OwnerIsEdit() const
{
    TPersistent* o = Owner();
    if (!o) return false;
    for (TClass c = o->ClassType(); c; c = c->Parent)
        if (c->Name == "TcxCustomEdit") return true;
    return false;
}

void TcxCustomEditProperties::Changed()
{
    if (IsChangeLocked()) return;
    if (auto* c = dynamic_cast<TComponent*>(Owner()))
        if (c->ComponentState().Contains(csDestroying)) return;
    if (OnPropertiesChanged) OnPropertiesChanged(this);
}

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged)
{
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0 && AInvokeChanged) Changed();
}

void TcxCustomEditProperties::AlignmentChanged()
{
    FStoredAlignment->OnChanged = nullptr;
    FStoredAlignment->Assign(FWorkingAlignment.get());
    Changed();
}

void TcxCustomEditProperties::SetAlignment(TcxEditAlignment* Value)
{
    FStoredAlignment->Assign(Value);
    Changed();
}

TcxEditAlignment* TcxCustomEditProperties::Alignment()
{
    FWorkingAlignment->OnChanged = nullptr;
    FWorkingAlignment->Assign(FStoredAlignment.get());
    auto* c = dynamic_cast<TComponent*>(Owner());
    // Written with the form: only what was assigned, without defaults.
    if (IsAlignmentStored() && c && c->ComponentState().Contains(csWriting))
        return FWorkingAlignment.get();
    if (!FStoredAlignment->IsHorzAssigned()) FWorkingAlignment->SetHorzSilently(GetDefaultHorzAlignment());
    FWorkingAlignment->OnChanged = [this](TObject*) { AlignmentChanged(); };
    return FWorkingAlignment.get();
}

bool TcxCustomEditProperties::IsAlignmentStored() const
{
    return FStoredAlignment->IsHorzAssigned() || FStoredAlignment->IsVertStored();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment()
{
    if (FDefaultValuesProvider) return FDefaultValuesProvider->DefaultAlignment();
    return FWorkingAlignment->Horz();
}

std::string TcxCustomEditProperties::GetValidationErrorText(int)
{
    return GetResourceString(&cxSEditValidateErrorText);
}

bool TcxCustomEditProperties::IsDisplayFormatDefined(bool AIsEditing)
{
    int options = GetDisplayFormatOptions();
    if (AIsEditing || !(options & dfoSupports) || !FDefaultValuesProvider) return false;
    return FDefaultValuesProvider->HasDisplayFormat(!(options & dfoNoCurrencyValue));
}

uint16_t TcxCustomEditProperties::GetSupportedOperations()
{
    return FButtons->Count() > 0 ? esoHasButtons : 0;
}

void TcxCustomEditProperties::RestoreDefaults()
{
    FStoredAlignment->Reset();
    FAssignedValues->RestoreDefaults();
    Changed();
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText,
                                                   bool& Error, TObject* AEdit)
{
    if (!CanValidate()) return;
    if (ErrorText.empty()) ErrorText = GetValidationErrorText(0);
    bool changed;
    DoValidate(DisplayValue, ErrorText, Error, AEdit, changed);
}

void TcxCustomEditProperties::DoValidate(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                         TObject* AEdit, bool& ADisplayValueChanged)
{
    ADisplayValueChanged = false;
    if (!OnValidate) return;
    Variant before = DisplayValue;
    OnValidate(AEdit, DisplayValue, ErrorText, Error);
    if (!Error) return;
    ADisplayValueChanged = VarToStr(DisplayValue) != VarToStr(before);
    // An unchanged value shows what the edit shows.
    if (!ADisplayValueChanged && AEdit) {
        if (auto* e = dynamic_cast<TcxCustomEdit*>(AEdit)) DisplayValue = Variant(e->GetDisplayText());
        else if (auto* p = dynamic_cast<TControl*>(AEdit)) DisplayValue = Variant(p->Text());
    }
}

void TcxCustomEditProperties::SetAutoSelect(bool Value)
{
    if (FAutoSelect == Value) return;
    FAutoSelect = Value;
    Changed();
}

bool TcxCustomEditProperties::ReadOnly()
{
    if (FAssignedValues->ReadOnly) return FReadOnlyValue;
    if (FDefaultValuesProvider) return FDefaultValuesProvider->DefaultReadOnly();
    return false;
}

void TcxCustomEditProperties::SetReadOnly(bool Value)
{
    if (FAssignedValues->ReadOnly && FReadOnlyValue == Value) return;
    FAssignedValues->ReadOnly = true;
    FReadOnlyValue = Value;
    Changed();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value)
{
    if (FUseLeftAlignmentOnEditing == Value) return;
    FUseLeftAlignmentOnEditing = Value;
    Changed();
}

bool TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored() const
{
    return FUseLeftAlignmentOnEditing != DefaultUseLeftAlignmentOnEditing();
}

void TcxCustomEditProperties::SetDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider)
{
    FDefaultValuesProvider = AProvider;
    if (!OwnerIsEdit()) return;
    if (AProvider) {
        AProvider->SetOnChanged([this](TObject* s) { DefaultValuesProviderChanged(s); });
        DefaultValuesProviderChanged(AProvider->GetInstance());
    } else {
        DefaultValuesProviderChanged(nullptr);
    }
}

bool TcxCustomEditProperties::CanModify()
{
    if (FAssignedValues->ReadOnly && !FReadOnlyValue) return true;
    if (ReadOnly()) return false;
    return FDefaultValuesProvider ? FDefaultValuesProvider->CanModify() : true;
}

bool TcxCustomEditProperties::IsValueTextFromDisplayFormat()
{
    int options = GetDisplayFormatOptions();
    return (options & dfoSupports) && UsesDisplayFormatting(true) == 0 &&
           UsesDisplayFormatting(false) == 1 && FDefaultValuesProvider &&
           FDefaultValuesProvider->HasDisplayFormat(!(options & dfoNoCurrencyValue));
}

void TcxCustomEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomEditProperties*>(Source);
    if (!s) { TcxInterfacedPersistent::Assign(Source); return; }
    BeginUpdate();
    try {
        SetAutoSelect(s->AutoSelect());
        FButtons->Assign(s->Buttons());
        FBeepOnError = s->FBeepOnError;
        FClearKey = s->FClearKey;
        FClickKey = s->FClickKey;
        SetUseLeftAlignmentOnEditing(s->FUseLeftAlignmentOnEditing);
        FDefaultValuesProvider = s->FDefaultValuesProvider;
        SetAlignment(s->Alignment());
        FAssignedValues->ReadOnly = false;
        if (s->FAssignedValues->ReadOnly) SetReadOnly(s->FReadOnlyValue);
        FImmediatePost = s->FImmediatePost;
        FInplaceWheel = s->FInplaceWheel;
        FValidateOnEnter = s->FValidateOnEnter;
        OnButtonClick = s->OnButtonClick;
        OnChange = s->OnChange;
        OnEditValueChanged = s->OnEditValueChanged;
        OnValidate = s->OnValidate;
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

// ---- the edit style -------------------------------------------------------------------------------------

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner, bool ADefaultValues)
    : TcxContainerStyle(AOwner, false), FDefaultValues(ADefaultValues)
{
}

namespace {
// The style value assigned here or along the style controllers' styles.
template <class T, class G>
bool FindAssigned(const TcxCustomEditStyle* AStyle, TcxContainerStyleValue AValue, T& V, G AGet)
{
    for (const TcxContainerStyle* s = AStyle; s;) {
        auto* es = dynamic_cast<const TcxCustomEditStyle*>(s);
        if (es && es->AssignedValues().Contains(AValue)) {
            V = AGet(es);
            return true;
        }
        TcxStyleController* c = s->StyleController();
        const TcxContainerStyle* next = c ? c->Style() : nullptr;
        if (next == s) break;
        s = next;
    }
    return false;
}
}  // namespace

bool TcxCustomEditStyle::FindAssignedButtonStyle(TcxEditButtonStyle& V) const
{
    return FindAssigned(this, svButtonStyle, V, [](const TcxCustomEditStyle* s) { return s->FButtonStyle; });
}

bool TcxCustomEditStyle::FindAssignedButtonTransparency(TcxEditButtonTransparency& V) const
{
    return FindAssigned(this, svButtonTransparency, V,
                        [](const TcxCustomEditStyle* s) { return s->FButtonTransparency; });
}

bool TcxCustomEditStyle::FindAssignedPopupBorderStyle(TcxEditPopupBorderStyle& V) const
{
    return FindAssigned(this, svPopupBorderStyle, V,
                        [](const TcxCustomEditStyle* s) { return s->FPopupBorderStyle; });
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() const
{
    if (FDefaultValues)
        return AssignedValues().Contains(svButtonStyle) ? FButtonStyle : DefaultButtonStyle();
    TcxEditButtonStyle v;
    return FindAssignedButtonStyle(v) ? v : DefaultButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() const
{
    if (FDefaultValues)
        return AssignedValues().Contains(svButtonTransparency) ? FButtonTransparency
                                                                : DefaultButtonTransparency();
    TcxEditButtonTransparency v;
    return FindAssignedButtonTransparency(v) ? v : DefaultButtonTransparency();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() const
{
    if (FDefaultValues)
        return AssignedValues().Contains(svPopupBorderStyle) ? FPopupBorderStyle : DefaultPopupBorderStyle();
    TcxEditPopupBorderStyle v;
    return FindAssignedPopupBorderStyle(v) ? v : DefaultPopupBorderStyle();
}

#define QZ_STYLE_SETTER(Name, Type, Field, Index)                                    \
    void TcxCustomEditStyle::Set##Name(Type Value)                                   \
    {                                                                                \
        if (AssignedValues().Contains(Index) && Field == Value) return;              \
        Field = Value;                                                               \
        TcxContainerStyleValues v = AssignedValues();                                \
        v.Include(Index);                                                            \
        SetAssignedValues(v);                                                        \
        Changed();                                                                   \
    }
QZ_STYLE_SETTER(ButtonStyle, TcxEditButtonStyle, FButtonStyle, svButtonStyle)
QZ_STYLE_SETTER(ButtonTransparency, TcxEditButtonTransparency, FButtonTransparency, svButtonTransparency)
QZ_STYLE_SETTER(PopupBorderStyle, TcxEditPopupBorderStyle, FPopupBorderStyle, svPopupBorderStyle)
#undef QZ_STYLE_SETTER

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) const
{
    switch (AValue) {
    case svButtonStyle: { TcxEditButtonStyle v; return FindAssignedButtonStyle(v); }
    case svButtonTransparency: { TcxEditButtonTransparency v; return FindAssignedButtonTransparency(v); }
    case svPopupBorderStyle: { TcxEditPopupBorderStyle v; return FindAssignedPopupBorderStyle(v); }
    default: return TcxContainerStyle::IsValueAssigned(AValue);
    }
}

bool TcxCustomEditStyle::GetStyleValueName(TcxContainerStyleValue AValue, std::string& AName) const
{
    switch (AValue) {
    case svButtonStyle: AName = "ButtonStyle"; return true;
    case svButtonTransparency: AName = "ButtonTransparency"; return true;
    case svPopupBorderStyle: AName = "PopupBorderStyle"; return true;
    default: return AValue < svButtonStyle && TcxContainerStyle::GetStyleValueName(AValue, AName);
    }
}

TColor TcxCustomEditStyle::GetEffectiveColor() const
{
    if (FDefaultValues) return Color();
    TColor c;
    if (FindAssignedColor(c)) return c;
    // A stand-alone edit with ParentColor takes its parent's colour.
    if (auto* ctl = dynamic_cast<TControl*>(Owner()))
        if (ctl->ParentColor() && ctl->Parent()) return ctl->Parent()->Color();
    return GetDefaultColor();
}

void TcxCustomEditStyle::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomEditStyle*>(Source);
    if (!s) { TcxContainerStyle::Assign(Source); return; }
    BeginUpdate();
    FButtonStyle = s->FButtonStyle;
    FButtonTransparency = s->FButtonTransparency;
    FPopupBorderStyle = s->FPopupBorderStyle;
    FPopupCloseButton = s->FPopupCloseButton;
    TcxContainerStyle::Assign(Source);
    EndUpdate();
    Changed();
}

// ---- the repository --------------------------------------------------------------------------------------

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}

void TcxEditRepositoryItem::AfterConstruction()
{
    TComponent::AfterConstruction();
    TClass pc = GetPropertiesClass();
    TObject* o = pc->Create(nullptr);
    auto* p = dynamic_cast<TcxCustomEditProperties*>(o);
    if (!p) {
        delete o;
        throw EConvertError("Invalid editor properties class");
    }
    FProperties.reset(p);
    FProperties->OnPropertiesChanged = [this](TObject* s) { PropertiesChanged(s); };
}

TcxEditRepositoryItem::~TcxEditRepositoryItem()
{
    // The last registered listener hears first.
    std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->ItemRemoved(this);
    SetRepository(nullptr);
}

void TcxEditRepositoryItem::PropertiesChanged(TObject*)
{
    std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->PropertiesChanged(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* AListener)
{
    if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
        FListeners.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* AListener)
{
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), AListener), FListeners.end());
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* ARepository)
{
    if (FRepository == ARepository) return;
    if (FRepository) {
        auto& l = FRepository->FItems;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
    FRepository = ARepository;
    if (FRepository && std::find(FRepository->FItems.begin(), FRepository->FItems.end(), this) ==
                           FRepository->FItems.end())
        FRepository->FItems.push_back(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* Value)
{
    if (ComponentState().Contains(csLoading)) return;
    SetRepository(dynamic_cast<TcxEditRepository*>(Value));
}

TcxEditRepository::~TcxEditRepository() { Clear(); }

void TcxEditRepository::Clear()
{
    while (!FItems.empty()) {
        TcxEditRepositoryItem* item = FItems.back();
        item->SetRepository(nullptr);
        if (item->Owner()) item->Owner()->RemoveComponent(item);
        delete item;
    }
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TClass AClass) { return CreateItemEx(AClass, this); }

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass AClass, TComponent* AOwner)
{
    if (!AClass || !AClass->InheritsFrom(TcxEditRepositoryItem::StaticClass()))
        throw EConvertError("Invalid repository item class");
    auto* item = static_cast<TcxEditRepositoryItem*>(AClass->Create(AOwner));
    item->SetRepository(this);
    return item;
}

void TcxEditRepository::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    for (TcxEditRepositoryItem* item : FItems)
        if (item->Owner() == Root) Proc(item);
}

// ---- the unit ---------------------------------------------------------------------------------------------

namespace cxEdit {

namespace {
bool& Initialized()
{
    static bool done = false;
    return done;
}
std::unique_ptr<TcxRegisteredClasses>& Registry()
{
    static std::unique_ptr<TcxRegisteredClasses> r;
    return r;
}
std::unique_ptr<TcxEditRepository>& DefaultRepository()
{
    static std::unique_ptr<TcxEditRepository> r;
    return r;
}
}  // namespace

void Initialize()
{
    if (Initialized()) return;
    Initialized() = true;
    cxFilterConsts::SetGetResourceStringFunc(&cxClasses::GetResourceString);
}

void Finalize()
{
    DefaultRepository().reset();
    Registry().reset();
}

TcxRegisteredClasses* GetRegisteredEditProperties()
{
    auto& r = Registry();
    if (!r) r = std::make_unique<TcxRegisteredClasses>(true);
    return r.get();
}

TcxEditRepository* GetDefaultEditRepository()
{
    auto& r = DefaultRepository();
    if (!r) r = std::make_unique<TcxEditRepository>(nullptr);
    return r.get();
}

bool VarEqualsExact(const Variant& V1, const Variant& V2)
{
    return VarType(V1) == VarType(V2) && cxVariants::VarEqualsEx(V1, V2);
}

TShiftState MouseButtonToShift(TMouseButton AButton)
{
    switch (AButton) {
    case mbLeft: return TShiftState{ssLeft};
    case mbRight: return TShiftState{ssRight};
    default: return TShiftState{ssMiddle};
    }
}

TShiftState ExtMouseButtonToShift(int AButton)
{
    switch (AButton) {
    case 1: return TShiftState{ssLeft};
    case 2: return TShiftState{ssRight};
    case 3: return TShiftState{ssMiddle};
    default: return TShiftState{};
    }
}

unsigned ShiftStateToMouseKeys(TShiftState AShift)
{
    unsigned r = 0;
    if (AShift.Contains(ssShift)) r |= MK_SHIFT;
    if (AShift.Contains(ssCtrl)) r |= MK_CONTROL;
    if (AShift.Contains(ssLeft)) r |= MK_LBUTTON;
    if (AShift.Contains(ssRight)) r |= MK_RBUTTON;
    if (AShift.Contains(ssMiddle)) r |= MK_MBUTTON;
    return r;
}

}  // namespace cxEdit
