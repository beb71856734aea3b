// Actions, their lists and the links that clients keep to them.
#include "ActnList.h"

#include <algorithm>

QZ_CLASS_IMPL(TBasicActionLink, TObject)
QZ_CLASS_IMPL(TBasicAction, TComponent)
QZ_CLASS_IMPL(TContainedAction, TBasicAction)
QZ_CLASS_IMPL(TCustomAction, TContainedAction)
QZ_CLASS_IMPL(TAction, TCustomAction)
QZ_CLASS_IMPL(TCustomActionList, TComponent)
QZ_CLASS_IMPL(TActionList, TCustomActionList)

namespace {
std::vector<TCustomActionList*>& Lists()
{
    static auto* v = new std::vector<TCustomActionList*>();
    return *v;
}
}

const std::vector<TCustomActionList*>& ActnList::AllActionLists() { return Lists(); }

void ActnList::UpdateAllActions()
{
    for (TCustomActionList* l : std::vector<TCustomActionList*>(Lists()))
        if (std::find(Lists().begin(), Lists().end(), l) != Lists().end()) l->UpdateActions();
}

// ---- links ----------------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink()
{
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* a)
{
    if (a == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = a;
    if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* target)
{
    if (!FAction) return false;
    FAction->SetActionComponent(target);
    TWeakRef<TBasicAction> guard(FAction);
    bool done = false;
    try {
        done = FAction->Execute();
    } catch (...) {
        if (guard) guard->SetActionComponent(nullptr);
        throw;
    }
    if (guard) guard->SetActionComponent(nullptr);
    return done;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change()
{
    if (OnChange) {
        TNotifyEvent keep = OnChange;
        keep(this);
    }
}

// ---- actions ----------------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction()
{
    // Clients stop following an action that goes away.
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients)) {
        l->ActionGone();
        l->Change();
    }
}

bool TBasicAction::Execute()
{
    if (!OnExecute) return false;
    TNotifyEvent keep = OnExecute;
    keep(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate) return false;
    TNotifyEvent keep = OnUpdate;
    keep(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link)
{
    if (std::find(FClients.begin(), FClients.end(), link) == FClients.end()) FClients.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link)
{
    FClients.erase(std::remove(FClients.begin(), FClients.end(), link), FClients.end());
}

void TBasicAction::Change()
{
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients))
        if (std::find(FClients.begin(), FClients.end(), l) != FClients.end()) l->Change();
}

TContainedAction::~TContainedAction()
{
    if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* list)
{
    if (list == FActionList) return;
    if (FActionList) FActionList->RemoveAction(this);
    if (list) list->AddAction(this);
}

int TContainedAction::Index() const { return FActionList ? FActionList->IndexOf(this) : -1; }

bool TContainedAction::Execute()
{
    // The list has its say first; then the action's own handler.
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (FActionList && FActionList->UpdateAction(this)) return true;
    return TBasicAction::Update();
}

void TCustomAction::SetCaption(const std::string& v)
{
    if (v == FCaption) return;
    FCaption = v;
    Change();
}

void TCustomAction::SetChecked(bool v)
{
    if (v == FChecked) return;
    FChecked = v;
    if (v && FGroupIndex > 0 && ActionList()) {
        for (int i = 0; i < ActionList()->ActionCount(); ++i) {
            auto* a = DynamicCast<TCustomAction>(ActionList()->Actions(i));
            if (a && a != this && a->FGroupIndex == FGroupIndex && a->FChecked) a->SetChecked(false);
        }
    }
    Change();
}

void TCustomAction::SetEnabled(bool v)
{
    if (v == FEnabled) return;
    FEnabled = v;
    Change();
}

void TCustomAction::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    Change();
}

void TCustomAction::SetHint(const std::string& v)
{
    if (v == FHint) return;
    FHint = v;
    Change();
}

void TCustomAction::SetImageIndex(int v)
{
    if (v == FImageIndex) return;
    FImageIndex = v;
    Change();
}

void TCustomAction::SetShortCut(TShortCut v)
{
    if (v == FShortCut) return;
    FShortCut = v;
    Change();
}

TCustomImageList* TCustomAction::Images() const { return ActionList() ? ActionList()->Images() : nullptr; }

bool TCustomAction::Execute()
{
    // A disabled action does nothing, whoever asks.
    if (!FEnabled) return false;
    if (FAutoCheck) SetChecked(!FChecked);
    return TContainedAction::Execute();
}

// ---- action lists ------------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner) { Lists().push_back(this); }

TCustomActionList::~TCustomActionList()
{
    Lists().erase(std::remove(Lists().begin(), Lists().end(), this), Lists().end());
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) RemoveAction(a);
}

int TCustomActionList::IndexOf(const TContainedAction* a) const
{
    auto it = std::find(FActions.begin(), FActions.end(), a);
    return it == FActions.end() ? -1 : int(it - FActions.begin());
}

void TCustomActionList::SetImages(TCustomImageList* v)
{
    FImages = v;
    for (TContainedAction* a : FActions)
        if (auto* c = DynamicCast<TCustomAction>(a)) c->SetImageIndex(c->ImageIndex());
}

void TCustomActionList::AddAction(TContainedAction* a)
{
    if (IndexOf(a) >= 0) return;
    if (a->FActionList && a->FActionList != this) a->FActionList->RemoveAction(a);
    FActions.push_back(a);
    a->FActionList = this;
    // The list hears when an action goes away.
    a->FreeNotification(this);
}

void TCustomActionList::RemoveAction(TContainedAction* a)
{
    FActions.erase(std::remove(FActions.begin(), FActions.end(), a), FActions.end());
    if (a->FActionList == this) a->FActionList = nullptr;
    a->RemoveFreeNotification(this);
}

void TCustomActionList::Notification(TComponent* component, TOperation op)
{
    TComponent::Notification(component, op);
    if (op == opRemove) {
        FActions.erase(std::remove(FActions.begin(), FActions.end(), component), FActions.end());
    }
}

bool TCustomActionList::ExecuteAction(TBasicAction* action)
{
    bool handled = false;
    if (OnExecute) {
        TActionEvent keep = OnExecute;
        keep(action, handled);
    }
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action)
{
    bool handled = false;
    if (OnUpdate) {
        TActionEvent keep = OnUpdate;
        keep(action, handled);
    }
    return handled;
}

bool TCustomActionList::IsShortCut(TShortCut shortCut)
{
    if (shortCut == 0) return false;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        auto* c = DynamicCast<TCustomAction>(a);
        if (!c || c->ShortCut() != shortCut) continue;
        TWeakRef<TCustomAction> guard(c);
        c->Update();
        if (!guard || !c->Enabled()) return false;
        c->Execute();
        return true;
    }
    return false;
}

void TCustomActionList::UpdateActions()
{
    TWeakRef<TCustomActionList> guard(this);
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        if (!guard) return;
        if (IndexOf(a) >= 0) a->Update();
    }
}
