#include "cxLookAndFeels.h"

#include "Controls.h"
#include "cxLookAndFeelPainters.h"
#include "cxWinXPPainters.h"

#include <algorithm>

namespace {
void DefineLookAndFeelProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishSet<TcxLookAndFeel>("AssignedValues", &TcxLookAndFeel::AssignedValues,
                                               &TcxLookAndFeel::SetAssignedValues)
                        .NotStored());
    props.push_back(PublishEnum<TcxLookAndFeel>("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind)
                        .StoredBy(StoredWhen(&TcxLookAndFeel::IsKindStored)));
    props.push_back(PublishBool<TcxLookAndFeel>("NativeStyle", &TcxLookAndFeel::NativeStyle,
                                                &TcxLookAndFeel::SetNativeStyle)
                        .StoredBy(StoredWhen(&TcxLookAndFeel::IsNativeStyleStored)));
}

void DefineControllerProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishEnum<TcxLookAndFeelController>("Kind", &TcxLookAndFeelController::Kind,
                                                          &TcxLookAndFeelController::SetKind, lfUltraFlat));
    props.push_back(PublishBool<TcxLookAndFeelController>("NativeStyle", &TcxLookAndFeelController::NativeStyle,
                                                          &TcxLookAndFeelController::SetNativeStyle, false));
}

struct TGlobals {
    TcxLookAndFeel* Root = nullptr;
    int ControllerCount = 0;
    TcxSystemPaletteChangedListener* PaletteListener = nullptr;
    int NotifierCount = 0;
};

TGlobals& G()
{
    static TGlobals g;
    return g;
}
}  // namespace

QZ_CLASS_IMPL(TcxSystemPaletteChangedNotifier, TObject)
QZ_CLASS_IMPL(TcxSystemPaletteChangedListener, TObject)
QZ_CLASS_IMPL_PROPS(TcxLookAndFeel, TcxInterfacedPersistent, DefineLookAndFeelProps)
QZ_CLASS_IMPL_PROPS(TcxLookAndFeelController, TComponent, DefineControllerProps)

// ---- system colour changes -----------------------------------------------------------------------

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary) : FPrimary(AIsPrimary)
{
    TGlobals& g = G();
    if (g.NotifierCount++ == 0 || !g.PaletteListener) g.PaletteListener = new TcxSystemPaletteChangedListener();
    g.PaletteListener->AddNotifier(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier()
{
    TGlobals& g = G();
    if (g.PaletteListener) g.PaletteListener->RemoveNotifier(this);
    if (--g.NotifierCount == 0) {
        delete g.PaletteListener;
        g.PaletteListener = nullptr;
    }
}

void TcxSystemPaletteChangedNotifier::SystemPaletteChanged()
{
    if (OnPaletteChanged) OnPaletteChanged(this);
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener()
{
    FWindowHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener()
{
    if (FWindowHandle) DeallocateHWnd(FWindowHandle);
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier)
{
    auto& list = ANotifier->Primary() ? FPrimaryNotifiers : FNotifiers;
    if (std::find(list.begin(), list.end(), ANotifier) == list.end()) list.push_back(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier)
{
    for (auto* list : {&FPrimaryNotifiers, &FNotifiers})
        list->erase(std::remove(list->begin(), list->end(), ANotifier), list->end());
}

void TcxSystemPaletteChangedListener::DoChanged()
{
    // Copies: a handler may free notifiers (a control repainting may go).
    for (const auto* source : {&FPrimaryNotifiers, &FNotifiers}) {
        std::vector<TcxSystemPaletteChangedNotifier*> list = *source;
        for (TcxSystemPaletteChangedNotifier* n : list) {
            if (std::find(source->begin(), source->end(), n) == source->end()) continue;
            n->SystemPaletteChanged();
        }
    }
}

void TcxSystemPaletteChangedListener::WndProc(TMessage& Message)
{
    Message.Result = 0;
    if (Message.Msg == WM_SYSCOLORCHANGE) DoChanged();
}

// ---- TcxLookAndFeel ----------------------------------------------------------------------------------

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FPaletteNotifier(std::make_unique<TcxSystemPaletteChangedNotifier>(false))
{
    FPaletteNotifier->OnPaletteChanged = [this](TObject*) { SystemPaletteChanged(); };
    // A new object starts out as a copy of the root.
    if (TcxLookAndFeel* root = G().Root) {
        root->AddChangeListener(this);
        FJoined = true;
        FCurrentKind = root->FCurrentKind;
        FCurrentNativeStyle = root->FCurrentNativeStyle;
    }
}

void TcxLookAndFeel::AfterConstruction()
{
    TcxInterfacedPersistent::AfterConstruction();
    if (!FJoined && G().Root && !FIsRoot) {
        G().Root->AddChangeListener(this);
        FJoined = true;
    }
    FCurrentKind = GetEffectiveKind();
    FCurrentNativeStyle = GetEffectiveNativeStyle();
}

TcxLookAndFeel::~TcxLookAndFeel()
{
    FPaletteNotifier.reset();
    FIsDestroying = true;
    std::vector<IcxLookAndFeelListener*> listeners = FChangeListeners;
    for (IcxLookAndFeelListener* l : listeners) l->MasterLookAndFeelFreed(this);
    FIsDestroying = false;
    FChangeListeners.clear();
    if (TcxLookAndFeel* m = GetMasterOrRoot()) m->RemoveChangeListener(this);
    if (FIsRoot) {
        if (G().Root == this) G().Root = nullptr;
        FIsRoot = false;
    }
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value)
{
    if (Value == FAssignedValues) return;
    SaveState();
    FAssignedValues = Value;
    NotifyStateChanges();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value)
{
    const TcxLookAndFeelKind before = FCurrentKind;
    FAssignedValues.Include(lfvKind);
    FKindValue = Value;
    if (GetEffectiveKind() != before) NotifyChanged(TcxLookAndFeelValues{lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value)
{
    const bool before = FCurrentNativeStyle;
    FAssignedValues.Include(lfvNativeStyle);
    FNativeStyleValue = Value;
    if (GetEffectiveNativeStyle() != before) NotifyChanged(TcxLookAndFeelValues{lfvNativeStyle});
}

TcxLookAndFeelKind TcxLookAndFeel::InheritedKind() const
{
    if (FIsRoot) return lfUltraFlat;
    TcxLookAndFeel* m = GetMasterOrRoot();
    return m ? m->FCurrentKind : lfUltraFlat;
}

bool TcxLookAndFeel::InheritedNativeStyle() const
{
    if (FIsRoot) return false;
    TcxLookAndFeel* m = GetMasterOrRoot();
    return m ? m->FCurrentNativeStyle : false;
}

TcxLookAndFeelKind TcxLookAndFeel::GetEffectiveKind() const
{
    return FAssignedValues.Contains(lfvKind) ? FKindValue : InheritedKind();
}

bool TcxLookAndFeel::GetEffectiveNativeStyle() const
{
    return FAssignedValues.Contains(lfvNativeStyle) ? FNativeStyleValue : InheritedNativeStyle();
}

TcxLookAndFeel* TcxLookAndFeel::GetMasterOrRoot() const
{
    if (FIsRoot) return nullptr;
    return FMasterLookAndFeel ? FMasterLookAndFeel : G().Root;
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value)
{
    if (FIsRoot || Value == this || Value == GetMasterOrRoot()) return;
    // A master chain that led back here would never settle.
    for (TcxLookAndFeel* m = Value; m; m = m->FMasterLookAndFeel)
        if (m == this) return;
    SaveState();
    if (TcxLookAndFeel* old = GetMasterOrRoot()) old->RemoveChangeListener(this);
    FMasterLookAndFeel = Value;
    if (TcxLookAndFeel* now = GetMasterOrRoot()) now->AddChangeListener(this);
    NotifyStateChanges();
}

void TcxLookAndFeel::Assign(TPersistent* Source)
{
    if (auto* s = DynamicCast<TcxLookAndFeel>(Source)) {
        SaveState();
        FKindValue = s->FKindValue;
        FNativeStyleValue = s->FNativeStyleValue;
        FAssignedValues = s->FAssignedValues;
        SetMasterLookAndFeel(s->GetMasterOrRoot());
        NotifyStateChanges();
        return;
    }
    TcxInterfacedPersistent::Assign(Source);
}

void TcxLookAndFeel::AddChangeListener(IcxLookAndFeelListener* Listener)
{
    if (!Listener) return;
    const bool isController = DynamicCast<TcxLookAndFeelController>(Listener->GetListenerObject()) != nullptr;
    if (isController && !FIsRoot) return;
    if (std::find(FChangeListeners.begin(), FChangeListeners.end(), Listener) != FChangeListeners.end()) return;
    FChangeListeners.push_back(Listener);
    if (isController) ++G().ControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(IcxLookAndFeelListener* Listener)
{
    if (!Listener || FIsDestroying) return;
    auto it = std::find(FChangeListeners.begin(), FChangeListeners.end(), Listener);
    if (it == FChangeListeners.end()) return;
    FChangeListeners.erase(it);
    if (FIsRoot && DynamicCast<TcxLookAndFeelController>(Listener->GetListenerObject())) {
        if (--G().ControllerCount == 0) ResetAssignedValues();
    }
}

void TcxLookAndFeel::NotifyChanged(TcxLookAndFeelValues AChangedValues)
{
    if (AChangedValues.Empty() || FIsDestroying) return;
    FCurrentKind = GetEffectiveKind();
    FCurrentNativeStyle = GetEffectiveNativeStyle();
    size_t i = 0;
    while (i < FChangeListeners.size()) {
        const size_t count = FChangeListeners.size();
        FChangeListeners[i]->MasterLookAndFeelChanged(this, AChangedValues);
        if (FChangeListeners.size() == count) ++i;
    }
    if (OnChanged) OnChanged(this, AChangedValues);
}

void TcxLookAndFeel::SaveState()
{
    FPreviousKind = FCurrentKind;
    FPreviousNativeStyle = FCurrentNativeStyle;
}

void TcxLookAndFeel::NotifyStateChanges()
{
    TcxLookAndFeelValues changed;
    if (GetEffectiveKind() != FPreviousKind) changed.Include(lfvKind);
    if (GetEffectiveNativeStyle() != FPreviousNativeStyle) changed.Include(lfvNativeStyle);
    NotifyChanged(changed);
}

void TcxLookAndFeel::MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)
{
    NotifyChanged(AChangedValues - FAssignedValues);
}

void TcxLookAndFeel::MasterLookAndFeelFreed(TcxLookAndFeel* Sender)
{
    if (Sender == G().Root && !FMasterLookAndFeel) {
        // The root itself goes (unit shutdown): nothing to move back to.
        return;
    }
    SetMasterLookAndFeel(nullptr);
}

void TcxLookAndFeel::SystemPaletteChanged()
{
    NotifyChanged(TcxLookAndFeelValues{lfvNativeStyle});
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetPainter() const
{
    if (FCurrentNativeStyle && dxThemeManager::AreVisualStylesAvailable())
        return TcxWinXPLookAndFeelPainter::Instance();
    return cxLookAndFeels::PainterOfKind(FCurrentKind);
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(
    TdxThemedObjectTypes ANeededThemedObjectTypes) const
{
    if (FCurrentNativeStyle && dxThemeManager::AreVisualStylesAvailable(ANeededThemedObjectTypes))
        return TcxWinXPLookAndFeelPainter::Instance();
    return cxLookAndFeels::PainterOfKind(FCurrentKind);
}

// ---- TcxLookAndFeelController ------------------------------------------------------------------------

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner)
{
    if (TcxLookAndFeel* root = G().Root) {
        root->AddChangeListener(this);
        FRegistered = true;
    }
}

TcxLookAndFeelController::~TcxLookAndFeelController()
{
    if (FRegistered && G().Root) G().Root->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const
{
    return G().Root ? G().Root->Kind() : lfUltraFlat;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value)
{
    if (G().Root) G().Root->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const
{
    return G().Root ? G().Root->NativeStyle() : false;
}

void TcxLookAndFeelController::SetNativeStyle(bool Value)
{
    if (G().Root) G().Root->SetNativeStyle(Value);
}

void TcxLookAndFeelController::MasterLookAndFeelFreed(TcxLookAndFeel* Sender)
{
    // Only a form designer would care (the form was modified); the root is
    // gone, so there is nothing left to unregister from.
    FRegistered = false;
}

// ---- unit ---------------------------------------------------------------------------------------------

namespace cxLookAndFeels {

void Initialize()
{
    TGlobals& g = G();
    if (g.Root) return;
    auto* root = new TcxLookAndFeel(nullptr);
    root->FIsRoot = true;   // set before it is published as the root
    g.Root = root;
    root->AfterConstruction();
}

void Finalize()
{
    TGlobals& g = G();
    delete g.Root;
    g.Root = nullptr;
    g.ControllerCount = 0;
}

TcxLookAndFeel* RootLookAndFeel() { return G().Root; }
int ControllerCount() { return G().ControllerCount; }

TcxCustomLookAndFeelPainterClass PainterOfKind(TcxLookAndFeelKind AKind)
{
    switch (AKind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Instance();
    case lfStandard: return TcxStandardLookAndFeelPainter::Instance();
    default: return TcxUltraFlatLookAndFeelPainter::Instance();
    }
}

TcxSystemPaletteChangedListener* SystemPaletteChangedListener() { return G().PaletteListener; }

}  // namespace cxLookAndFeels
