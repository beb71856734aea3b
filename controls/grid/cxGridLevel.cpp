#include "cxGridLevel.h"

#include "cxGrid.h"
#include "cxGridCustomView.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridLevelOptions, TPersistent)
QZ_CLASS_IMPL(TcxGridLevelStyles, TcxStyles)
QZ_CLASS_IMPL(TcxGridLevel, TComponent)

// ---- options ---------------------------------------------------------------------------------------

TPersistent* TcxGridLevelOptions::GetOwner() const { return FLevel; }

void TcxGridLevelOptions::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridLevelOptions>(Source)) {
        SetDetailFrameColor(src->DetailFrameColor());
        SetDetailFrameWidth(src->DetailFrameWidth());
        SetDetailTabsPosition(src->DetailTabsPosition());
        return;
    }
    TPersistent::Assign(Source);
}

void TcxGridLevelOptions::SetDetailFrameColor(TColor AValue)
{
    if (FDetailFrameColor == AValue) return;
    FDetailFrameColor = AValue;
    FLevel->Changed(false);
}

TColor TcxGridLevelOptions::GetDetailFrameColor() const
{
    // The painters draw the frame in the shadow colour of buttons.
    return FDetailFrameColor == clDefault ? clBtnShadow : FDetailFrameColor;
}

void TcxGridLevelOptions::SetDetailFrameWidth(int AValue)
{
    if (AValue < 0) AValue = 0;
    if (FDetailFrameWidth == AValue) return;
    FDetailFrameWidth = AValue;
    FLevel->Changed(true);
}

bool TcxGridLevelOptions::IsDetailFrameWidthStored() const
{
    return FDetailFrameWidth != (FLevel->IsRoot() ? 0 : 1);
}

void TcxGridLevelOptions::SetDetailTabsPosition(TcxGridDetailTabsPosition AValue)
{
    if (FDetailTabsPosition == AValue) return;
    FDetailTabsPosition = AValue;
    FLevel->Changed(true);
}

// ---- styles ----------------------------------------------------------------------------------------

TcxGridLevel* TcxGridLevelStyles::Level() const { return DynamicCast<TcxGridLevel>(static_cast<TObject*>(Owner())); }

void TcxGridLevelStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxStyles::GetDefaultViewParams(Index, AData, AParams);
    TcxGridLevel* level = Level();
    TcxCustomGrid* grid = level ? level->Control() : nullptr;
    TcxCustomLookAndFeelPainterClass painter =
        grid ? grid->LookAndFeelPainter() : TcxCustomLookAndFeelPainter::Instance();
    if (grid) AParams.Font = grid->Font();
    if (Index == lsTab) {
        AParams.Color = painter->TabColor();
        AParams.TextColor = painter->TabTextColor();
    } else if (Index == lsTabsBackground) {
        AParams.Color = painter->TabsBackgroundColor();
    }
}

void TcxGridLevelStyles::GetTabParams(TcxGridLevel* ATabLevel, TcxStyleParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetTabStyle) OnGetTabStyle(Level(), ATabLevel, style);
    GetViewParams(lsTab, ATabLevel, style, AParams);
}

void TcxGridLevelStyles::Changed(int Index)
{
    TcxStyles::Changed(Index);
    if (TcxGridLevel* level = Level()) level->Changed(true);
}

// ---- level -------------------------------------------------------------------------------------------

TcxGridLevel::TcxGridLevel(TComponent* AOwner)
    : TComponent(AOwner), FOptions(std::make_unique<TcxGridLevelOptions>(this)),
      FStyles(std::make_unique<TcxGridLevelStyles>(this))
{
}

TcxGridLevel::~TcxGridLevel()
{
    if (!FTornDown) BeforeDestruction();
}

void TcxGridLevel::BeforeDestruction()
{
    if (FTornDown) return;
    TComponent::BeforeDestruction();
    FTornDown = true;
    // Children are owned by the form; those still in the tree go with this level.
    while (!FItems.empty()) {
        TcxGridLevel* child = FItems.back();
        RemoveChild(child);
        FreeObject(child);
    }
    SetGridView(nullptr);
    if (FParent) FParent->RemoveChild(this);
}

void TcxGridLevel::SetControl(TcxCustomGrid* AControl)
{
    FControl = AControl;
    for (TcxGridLevel* child : FItems) child->SetControl(AControl);
}

TcxGridLevel* TcxGridLevel::Add()
{
    TClass cls = FControl ? FControl->GetLevelClass() : TcxGridLevel::StaticClass();
    TComponent* owner = FControl ? FControl->Owner() : Owner();
    auto* child = static_cast<TcxGridLevel*>(cls->Create(owner));
    AddChild(child);
    return child;
}

int TcxGridLevel::Index() const
{
    if (!FParent) return -1;
    auto it = std::find(FParent->FItems.begin(), FParent->FItems.end(), this);
    return it == FParent->FItems.end() ? -1 : int(it - FParent->FItems.begin());
}

int TcxGridLevel::VisibleIndex() const
{
    if (!FParent) return -1;
    auto it = std::find(FParent->FVisibleItems.begin(), FParent->FVisibleItems.end(), this);
    return it == FParent->FVisibleItems.end() ? -1 : int(it - FParent->FVisibleItems.begin());
}

bool TcxGridLevel::IsRoot() const { return FControl && FControl->RootLevel() == this; }
bool TcxGridLevel::IsTop() const { return FParent && FParent->IsRoot(); }
bool TcxGridLevel::IsActive() const { return FControl && FControl->ActiveLevel() == this; }

bool TcxGridLevel::ActuallyVisible() const
{
    if (!FVisible) return false;
    if (IsTop() && !IsActive()) return false;
    return !FParent || FParent->ActuallyVisible();
}

bool TcxGridLevel::VisibleWithParents() const
{
    for (const TcxGridLevel* l = this; l; l = l->FParent)
        if (!l->FVisible) return false;
    return true;
}

void TcxGridLevel::SetActive(bool AValue)
{
    if (!FControl || IsActive() == AValue) return;
    if (!AValue)
        FControl->SetActiveLevel(nullptr);
    else if (IsTop())
        FControl->SetActiveLevel(this);
}

TcxGridLevel* TcxGridLevel::GetFirstVisibleChild() const
{
    if (FVisibleItems.empty() || (FControl && FControl->IsGridDestroying())) return nullptr;
    return FVisibleItems.front();
}

void TcxGridLevel::Changed(bool ASize)
{
    if (!FControl) return;
    if (ASize)
        FControl->SizeChanged();
    else
        FControl->LayoutChanged();
}

void TcxGridLevel::CheckHeight(int& AHeight)
{
    if (AHeight < 0) AHeight = 0;
    if (FMaxDetailHeight != 0 && FMaxDetailHeight < AHeight) AHeight = FMaxDetailHeight;
}

void TcxGridLevel::RefreshVisibleItems()
{
    FVisibleItems.clear();
    for (TcxGridLevel* child : FItems)
        if (child->FVisible) FVisibleItems.push_back(child);
}

void TcxGridLevel::VisibleItemsChanged(TcxGridLevel* AChild)
{
    int oldCount = VisibleCount();
    RefreshVisibleItems();
    if (FGridView) FGridView->VisibleChildLevelsChanged(AChild, oldCount, VisibleCount());
}

void TcxGridLevel::TreeChanged()
{
    if (FControl) FControl->LevelTreeChanged();
}

void TcxGridLevel::AddDataRelation(TcxGridLevel* AChild)
{
    if (!FGridView || AChild->FDataRelation) return;
    AChild->FDataRelation = FGridView->DataController()->GetRelations()->Add(AChild);
}

void TcxGridLevel::RemoveDataRelation()
{
    if (!FDataRelation) return;
    TcxCustomDataRelation* relation = FDataRelation;
    FDataRelation = nullptr;
    if (TcxCustomDataRelationList* list = relation->OwnerRelationList()) list->Remove(relation);
}

void TcxGridLevel::SetMasterRelation()
{
    if (!FGridView) return;
    if (FVisible)
        FGridView->DataController()->SetMasterMode(FDataRelation, !IsTop());
    else
        FGridView->DataController()->SetMasterMode(nullptr, true);
}

void TcxGridLevel::ClearMasterRelation(TcxCustomGridView* AView)
{
    // A view that no visible level shows is a pattern: nothing shows it.
    if (AView && AView->DataController()) AView->DataController()->SetMasterMode(nullptr, true);
}

void TcxGridLevel::AddChild(TcxGridLevel* AChild)
{
    FItems.push_back(AChild);
    AChild->FParent = this;
    AChild->SetControl(FControl);
    AChild->FreeNotification(this);
    RefreshVisibleItems();
    if (FGridView) {
        AddDataRelation(AChild);
        if (AChild->FGridView) AChild->SetMasterRelation();
    }
    if (IsRoot() && FControl && !FControl->ActiveLevel()) FControl->SetActiveLevel(GetFirstVisibleChild());
    Changed(true);
    TreeChanged();
}

void TcxGridLevel::RemoveChild(TcxGridLevel* AChild)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), AChild), FItems.end());
    FVisibleItems.erase(std::remove(FVisibleItems.begin(), FVisibleItems.end(), AChild), FVisibleItems.end());
    AChild->FParent = nullptr;
    AChild->RemoveDataRelation();
    if (AChild->IsActive()) AChild->SetActive(false);
    Changed(true);
    TreeChanged();
}

void TcxGridLevel::Notification(TComponent* AComponent, TOperation AOperation)
{
    TComponent::Notification(AComponent, AOperation);
    if (AOperation != opRemove) return;
    if (AComponent == FGridView && !FTornDown) {
        // The view went without telling the level (it was freed by its owner).
        SetGridView(nullptr);
    }
}

void TcxGridLevel::SetCaption(const std::string& AValue)
{
    if (FCaption == AValue) return;
    FCaption = AValue;
    Changed(true);
    TreeChanged();
}

void TcxGridLevel::SetMaxDetailHeight(int AValue)
{
    if (AValue < 0) AValue = 0;
    if (FMaxDetailHeight == AValue) return;
    FMaxDetailHeight = AValue;
    Changed(true);
}

void TcxGridLevel::SetGridView(TcxCustomGridView* AValue)
{
    if (FGridView == AValue) return;
    if (AValue && AValue->Level() && AValue->Level() != this) AValue->Level()->SetGridView(nullptr);
    TcxCustomGridView* old = FGridView;
    if (old) {
        old->BeginUpdate();
        try {
            for (TcxGridLevel* child : FItems) child->RemoveDataRelation();
        } catch (...) {
            old->EndUpdate();
            throw;
        }
        old->EndUpdate();
        old->SetLevel(nullptr);
        old->RemoveFreeNotification(this);
    }
    FGridView = AValue;
    if (AValue) {
        AValue->FreeNotification(this);
        if (FControl && AValue->Control() != FControl) FControl->AddChildComponent(AValue);
    }
    if (FParent) FParent->VisibleItemsChanged(this);
    if (AValue) {
        AValue->BeginUpdate();
        try {
            ClearMasterRelation(old);
            AValue->SetLevel(this);
            SetMasterRelation();
            for (TcxGridLevel* child : FItems) {
                AddDataRelation(child);
                if (child->FGridView) child->SetMasterRelation();
            }
        } catch (...) {
            AValue->EndUpdate();
            throw;
        }
        AValue->EndUpdate();
        Changed(false);
    } else if (old) {
        ClearMasterRelation(old);
    }
    if (FControl && !FControl->IsGridDestroying()) {
        if (AValue) {
            if ((!old && !FControl->FocusedView()) || (old && FControl->FocusedView() == old))
                FControl->SetFocusedView(AValue);
        } else if (old && FControl->FocusedView() == old) {
            old->SetFocused(false);
        }
    }
    TreeChanged();
}

void TcxGridLevel::SetVisible(bool AValue)
{
    if (FVisible == AValue) return;
    FVisible = AValue;
    if (AValue && FGridView) SetMasterRelation();
    if (FParent) FParent->VisibleItemsChanged(this);
    if (FControl) {
        if (!AValue) {
            SetActive(false);
        } else if (!FControl->ActiveLevel() && IsTop()) {
            SetActive(true);
        }
        Changed(true);
        FControl->CheckFocusedView();
    }
    if (!AValue && FGridView) SetMasterRelation();
    TreeChanged();
}

TcxCustomGridView* TcxGridLevel::CreateLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex)
{
    TcxCustomGridView* candidate = FGridView;
    if (OnGetGridView) {
        TObject* masterRecord = nullptr;
        OnGetGridView(this, masterRecord, candidate);
    }
    if (!candidate || !FVisible || !FControl) return nullptr;
    auto* clone = static_cast<TcxCustomGridView*>(candidate->ClassType()->Create(FControl));
    FControl->AddChildComponent(clone);
    clone->BeginUpdate();
    try {
        clone->AssignPattern(candidate);
        TcxCustomDataRelationList* relations = clone->DataController()->GetRelations();
        relations->BeginUpdate();
        relations->Assign(candidate->DataController()->GetRelations());
        relations->EndUpdate();
        clone->DataController()->SetMasterRelation(ARelation, ARecordIndex);
        clone->SetLevel(this);
    } catch (...) {
        clone->CancelUpdate();
        FreeObject(clone);
        throw;
    }
    clone->CancelUpdate();
    candidate->AddClone(clone);
    return clone;
}

TComponent* TcxGridLevel::GetParentComponent() const
{
    if (IsTop()) return FControl;
    return FParent;
}

void TcxGridLevel::SetParentComponent(TComponent* AValue)
{
    if (auto* grid = DynamicCast<TcxCustomGrid>(AValue))
        grid->RootLevel()->AddChild(this);
    else if (auto* level = DynamicCast<TcxGridLevel>(AValue))
        level->AddChild(this);
}

void TcxGridLevel::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TComponent::GetChildren(Proc, Root);
    for (TcxGridLevel* child : FItems)
        if (child->Owner() == Root) Proc(child);
}

void TcxGridLevel::SetName(const std::string& AValue)
{
    TComponent::SetName(AValue);
    TreeChanged();
}
