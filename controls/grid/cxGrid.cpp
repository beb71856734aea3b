#include "cxGrid.h"

#include "Forms.h"
#include "cxGridCustomTableView.h"
#include "cxGridGuardPrivate.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxCustomGridChange, TObject)
QZ_CLASS_IMPL(TcxCustomGridViewChange, TcxCustomGridChange)
QZ_CLASS_IMPL(TcxGridLayoutChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxGridSizeChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxGridViewChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxGridControlFocusChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxCustomGridDragOpenInfo, TObject)
QZ_CLASS_IMPL(TcxGridDragOpenInfoTab, TcxCustomGridDragOpenInfo)
QZ_CLASS_IMPL(TcxCustomGridHandler, TObject)
QZ_CLASS_IMPL(TcxGridController, TcxCustomGridHandler)
QZ_CLASS_IMPL(TcxGridPainter, TcxCustomGridHandler)
QZ_CLASS_IMPL(TcxGridTopDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
QZ_CLASS_IMPL(TcxGridViewInfo, TcxCustomGridHandler)
QZ_CLASS_IMPL(TcxCustomGridNotification, TObject)
QZ_CLASS_IMPL(TcxCustomGrid, TcxControl)
QZ_CLASS_IMPL(TcxGrid, TcxCustomGrid)

namespace cxGrid {
void Initialize() { RegisterClass(TcxGridLevel::StaticClass()); }
}  // namespace cxGrid

// ---- changes -------------------------------------------------------------------------------------------

TcxCustomGrid* TcxCustomGridViewChange::Grid() const { return DynamicCast<TcxCustomGrid>(Control); }

bool TcxCustomGridViewChange::IsSameAs(TcxCustomGridChange* AChange)
{
    return TcxCustomGridChange::IsSameAs(AChange) &&
           static_cast<TcxCustomGridViewChange*>(AChange)->GridView == GridView;
}

void TcxGridLayoutChange::Execute()
{
    TcxCustomGrid* grid = Grid();
    if (!GridView) {
        if (grid) {
            grid->ViewInfo()->Calculate();
            grid->Painter()->Invalidate(true);
        }
    } else if (GridView->IsAvailable()) {
        TRect R = GridView->Site()->BoundsRect();
        if (!IsRectEmpty(R)) {
            GridView->ViewInfo()->Calculate(R);
            GridView->Site()->Invalidate();
        }
    }
    if (grid) grid->DoLayoutChanged(GridView);
}

bool TcxGridLayoutChange::IsCoveredBy(TcxCustomGridChange* AChange)
{
    if (AChange->InheritsFrom(TcxGridLayoutChange::StaticClass())) {
        TcxCustomGridView* other = static_cast<TcxGridLayoutChange*>(AChange)->GridView;
        return !other || (GridView && GridView->HasAsMaster(other));
    }
    if (AChange->InheritsFrom(TcxGridSizeChange::StaticClass()) && GridView) {
        TcxCustomGridView* other = static_cast<TcxGridSizeChange*>(AChange)->GridView;
        return !other || GridView->HasAsMaster(other);
    }
    return false;
}

void TcxGridSizeChange::Execute()
{
    TcxCustomGrid* grid = Grid();
    if (!GridView) {
        if (!grid) return;
        if (TcxCustomGridView* active = grid->ActiveView())
            active->SizeChanged(false, PreserveMasterCache);
        else
            grid->LayoutChanged();
        return;
    }
    if (!GridView->IsAvailable()) return;
    GridView->ViewInfoCache()->UnassignValues(PreserveMasterCache);
    if (ViewOnly && PreserveMasterCache) {
        GridView->LayoutChanged(true);
    } else if (TcxCustomGridView* master = GridView->MasterGridView()) {
        if (!master->SizeChanged(false, PreserveMasterCache)) GridView->LayoutChanged(true);
    } else if (GridView->Grid()) {
        GridView->Grid()->LayoutChanged();
    } else {
        GridView->LayoutChanged(true);
    }
}

bool TcxGridSizeChange::IsCoveredBy(TcxCustomGridChange* AChange)
{
    // The data change of the same view recalculates the sizes anyway.
    return AChange->InheritsFrom(TcxGridDataChange::StaticClass()) &&
           static_cast<TcxCustomGridViewChange*>(AChange)->GridView == GridView;
}

bool TcxGridSizeChange::IsSameAs(TcxCustomGridChange* AChange)
{
    return TcxCustomGridViewChange::IsSameAs(AChange) && static_cast<TcxGridSizeChange*>(AChange)->ViewOnly == ViewOnly;
}

void TcxGridViewChange::Execute()
{
    if (!GridView || !GridView->Site()) return;
    if (IsRectEmpty(UpdateBounds))
        GridView->Site()->Invalidate();
    else
        GridView->Site()->InvalidateRect(UpdateBounds, false);
}

void TcxGridControlFocusChange::Execute()
{
    if (GridView && GridView->IsAvailable()) GridView->Controller()->ControlFocusChanged();
}

// ---- drag-opening ---------------------------------------------------------------------------------------

bool TcxGridDragOpenInfoTab::Equals(TcxCustomGridDragOpenInfo* AInfo)
{
    return TcxCustomGridDragOpenInfo::Equals(AInfo) && static_cast<TcxGridDragOpenInfoTab*>(AInfo)->Level == Level;
}

void TcxGridDragOpenInfoTab::Run() { Level->SetActive(true); }

// ---- controller -------------------------------------------------------------------------------------------

TcxGridController::~TcxGridController() { CancelDragOpen(); }

void TcxGridController::ControlFocusChanged()
{
    if (TcxCustomGridView* view = Control()->ActiveView()) view->Changed(new TcxGridControlFocusChange(view));
}

void TcxGridController::CancelMouseOperations()
{
    if (TcxCustomGridView* view = Control()->ActiveView()) view->Controller()->CancelMouseOperations();
}

TcxCustomGridDragOpenInfo* TcxGridController::GetDragOpenInfo(TcxCustomGridHitTest* AHitTest)
{
    if (auto* tab = DynamicCast<TcxGridDetailsSiteTabHitTest>(AHitTest)) return new TcxGridDragOpenInfoTab(tab->Level);
    return nullptr;
}

void TcxGridController::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (!Control()->DragOpening()) return;
    TcxCustomGridDragOpenInfo* info = nullptr;
    if (State != dsDragLeave) info = GetDragOpenInfo(Control()->ViewInfo()->GetHitTest(X, Y));
    if (info)
        SetDragOpenInfo(info);
    else
        CancelDragOpen();
}

void TcxGridController::SetDragOpenInfo(TcxCustomGridDragOpenInfo* AInfo)
{
    std::unique_ptr<TcxCustomGridDragOpenInfo> info(AInfo);
    if (FDragOpenInfo && FDragOpenInfo->Equals(info.get())) return;
    FDragOpenInfo = std::move(info);
    if (FDragOpenTimer) {
        FDragOpenTimer->SetEnabled(false);
        FDragOpenTimer->SetEnabled(true);
    } else {
        FDragOpenTimer = std::make_unique<TTimer>(nullptr);
        FDragOpenTimer->SetInterval(UINT(Control()->DragOpeningWaitTime()));
        FDragOpenTimer->OnTimer = [this](TObject* Sender) { DragOpenTimerFired(Sender); };
    }
}

void TcxGridController::CancelDragOpen()
{
    FDragOpenTimer.reset();
    FDragOpenInfo.reset();
}

void TcxGridController::DragOpenTimerFired(TObject*)
{
    // The timer goes with the record, also when running it raises.
    std::unique_ptr<TcxCustomGridDragOpenInfo> info = std::move(FDragOpenInfo);
    std::unique_ptr<TTimer> timer = std::move(FDragOpenTimer);
    if (timer) timer->SetEnabled(false);
    if (info) info->Run();
}

void TcxGridController::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_APPS) Control()->NotifySubscribers(gnkContextMenu, (void*)1);
}

void TcxGridController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomGridHitTest* h = Control()->ViewInfo()->GetHitTest(X, Y);
    if (h->ViewInfo) h->ViewInfo->MouseDown(h, Button, Shift);
}

void TcxGridController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight) Control()->NotifySubscribers(gnkContextMenu, nullptr);
}

// ---- painter -------------------------------------------------------------------------------------------------

void TcxGridPainter::DrawDetailsSite(TcxCanvas* ACanvas)
{
    if (auto* site = Control()->ViewInfo()->DetailsSiteViewInfo()) site->Paint(ACanvas);
}

void TcxGridPainter::DrawBackground(TcxCanvas* ACanvas)
{
    ACanvas->FillRect(Control()->GetClientBounds(), Control()->Color());
}

void TcxGridPainter::Invalidate(bool AIncludingSites)
{
    TcxCustomGrid* grid = Control();
    grid->InvalidateViews(false);
    if (!AIncludingSites) return;
    for (int i = 0; i < grid->ControlCount(); ++i)
        if (auto* site = DynamicCast<TcxGridSite>(grid->Controls(i))) site->Invalidate();
}

void TcxGridPainter::InvalidateRect(const TRect& ARect) { Control()->InvalidateRect(ARect, false); }

void TcxGridPainter::Paint(TcxCanvas* ACanvas)
{
    DrawDetailsSite(ACanvas);
    DrawBackground(ACanvas);
}

// ---- top details site and view info ---------------------------------------------------------------------------

TcxCustomGrid* TcxGridTopDetailsSiteViewInfo::Control() const { return Level()->Control(); }
int TcxGridTopDetailsSiteViewInfo::CalculateHeight()
{
    TcxCustomGridDetailsSiteViewInfo::CalculateHeight();
    return Control()->GetClientBounds().Height();
}
int TcxGridTopDetailsSiteViewInfo::CalculateWidth() { return Control()->GetClientBounds().Width(); }
TcxCanvas* TcxGridTopDetailsSiteViewInfo::GetCanvas() { return Control()->Canvas(); }
TcxCustomLookAndFeelPainterClass TcxGridTopDetailsSiteViewInfo::GetLookAndFeelPainter()
{
    return Control()->LookAndFeelPainter();
}
int TcxGridTopDetailsSiteViewInfo::GetMaxHeight() { return Control()->GetClientBounds().Height(); }
int TcxGridTopDetailsSiteViewInfo::GetMaxWidth() { return Control()->GetClientBounds().Width(); }
TcxCustomGridView* TcxGridTopDetailsSiteViewInfo::GetActiveGridViewValue() { return Control()->ActiveView(); }
TcxGridLevel* TcxGridTopDetailsSiteViewInfo::GetActiveLevel() { return Control()->ActiveLevel(); }
void TcxGridTopDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest) { AHitTest->Owner = Control(); }
void TcxGridTopDetailsSiteViewInfo::SetActiveLevel(TcxGridLevel* ALevel) { Control()->SetActiveLevel(ALevel); }
void TcxGridTopDetailsSiteViewInfo::VisibilityChanged(bool AVisible)
{
    if (!Control()->IsGridDestroying()) TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(AVisible);
}

TcxGridViewInfo::TcxGridViewInfo(TcxCustomGrid* AControl) : TcxCustomGridHandler(AControl) {}

TcxGridViewInfo::~TcxGridViewInfo() { DestroyDetailsSite(); }

TcxGridClassRef<TcxGridTopDetailsSiteViewInfo, TcxGridLevel*> TcxGridViewInfo::GetDetailsSiteClass()
{
    return TcxGridClassRef<TcxGridTopDetailsSiteViewInfo, TcxGridLevel*>::Of<TcxGridTopDetailsSiteViewInfo>();
}

void TcxGridViewInfo::CreateDetailsSite()
{
    FDetailsSiteViewInfo = GetDetailsSiteClass().Create(Control()->RootLevel());
}

void TcxGridViewInfo::DestroyDetailsSite()
{
    TcxGridTopDetailsSiteViewInfo* site = FDetailsSiteViewInfo;
    FDetailsSiteViewInfo = nullptr;
    FreeObject(site);
}

void TcxGridViewInfo::Calculate()
{
    // Made again so that a changed tab position or tab list takes effect.
    DestroyDetailsSite();
    CreateDetailsSite();
    TRect client = Control()->GetClientBounds();
    FDetailsSiteViewInfo->Calculate(client.Left, client.Top);
}

TcxCustomGridHitTest* TcxGridViewInfo::GetHitTest(int X, int Y)
{
    if (FDetailsSiteViewInfo)
        if (TcxCustomGridHitTest* h = FDetailsSiteViewInfo->GetHitTest({X, Y})) return h;
    auto* h = TcxCustomGridHitTest::Instance<TcxGridNoneHitTest>({X, Y});
    h->ViewInfo = nullptr;
    return h;
}

// ---- the grid ------------------------------------------------------------------------------------------------

TcxCustomGrid::TcxCustomGrid(TComponent* AOwner) : TcxControl(AOwner) {}

TcxCustomGrid::~TcxCustomGrid()
{
    if (!FTornDown) TearDown();
}

void TcxCustomGrid::AfterConstruction()
{
    TcxControl::AfterConstruction();
    SetBorderStyle(cxcbsDefault);
    FRootLevel = static_cast<TcxGridLevel*>(GetLevelClass()->Create(nullptr));
    FRootLevel->Options()->SetDetailFrameWidth(0);
    FRootLevel->Options()->SetDetailTabsPosition(dtpNone);
    FRootLevel->SetControl(this);
    CreateHandlers();
    SetBounds(Left(), Top(), 250, 200);
}

void TcxCustomGrid::BeforeDestruction()
{
    FDestroying = true;
    TearDown();
    TcxControl::BeforeDestruction();
}

void TcxCustomGrid::TearDown()
{
    FTornDown = true;
    FDestroying = true;
    for (int i = 0; FRootLevel && i < FRootLevel->VisibleCount(); ++i)
        if (TcxCustomGridView* v = FRootLevel->VisibleItems(i)->GridView()) v->ViewInfo()->UpdateSiteVisibility(false);
    DestroyHandlers();
    FreeAndNil(FRootLevel);
    while (!FViews.empty()) {
        TcxCustomGridView* v = FViews.back();
        FViews.pop_back();
        FreeObject(v);
    }
    for (TcxCustomGridChange* c : FChanges) FreeObject(c);
    FChanges.clear();
}

void TcxCustomGrid::CreateHandlers()
{
    FController = GetControllerClass().Create(this);
    FPainter = GetPainterClass().Create(this);
    FViewInfo = GetViewInfoClass().Create(this);
    FNavigatorNotifier = std::make_unique<TcxNavigatorControlNotifier>();
}

void TcxCustomGrid::DestroyHandlers()
{
    FNavigatorNotifier.reset();
    FreeAndNil(FViewInfo);
    FreeAndNil(FPainter);
    FreeAndNil(FController);
}

TcxGridHandlerClass<TcxGridController> TcxCustomGrid::GetControllerClass()
{
    return TcxGridHandlerClass<TcxGridController>::Of<TcxGridController>();
}
TClass TcxCustomGrid::GetLevelClass() { return TcxGridLevel::StaticClass(); }
TcxGridHandlerClass<TcxGridPainter> TcxCustomGrid::GetPainterClass()
{
    return TcxGridHandlerClass<TcxGridPainter>::Of<TcxGridPainter>();
}
TcxGridHandlerClass<TcxGridViewInfo> TcxCustomGrid::GetViewInfoClass()
{
    return TcxGridHandlerClass<TcxGridViewInfo>::Of<TcxGridViewInfo>();
}

TcxGridLevelOptions* TcxCustomGrid::RootLevelOptions() const { return FRootLevel->Options(); }
TcxGridLevelStyles* TcxCustomGrid::RootLevelStyles() const { return FRootLevel->Styles(); }

// ---- the change queue

void TcxCustomGrid::RunChange(TcxCustomGridChange* AChange)
{
    std::unique_ptr<TcxCustomGridChange, void (*)(TcxCustomGridChange*)> owned(
        AChange, [](TcxCustomGridChange* c) { FreeObject(c); });
    if (IsGridDestroying() || !FViewInfo) return;
    AChange->Control = this;
    AChange->Execute();
}

void TcxCustomGrid::AddChange(TcxCustomGridChange* AChange)
{
    if (AChange->IsDeferrable() && IsUpdateLocked())
        FChanges.push_back(AChange);
    else
        RunChange(AChange);
}

void TcxCustomGrid::EndUpdate()
{
    if (FUpdateLockCount == 0) return;
    if (--FUpdateLockCount == 0) ProcessChanges();
}

void TcxCustomGrid::CancelUpdate()
{
    if (FUpdateLockCount == 0) return;
    if (--FUpdateLockCount == 0) {
        std::vector<TcxCustomGridChange*> dropped;
        dropped.swap(FChanges);
        for (TcxCustomGridChange* c : dropped) FreeObject(c);
    }
}

void TcxCustomGrid::ProcessChanges()
{
    std::vector<TcxCustomGridChange*> queue;
    queue.swap(FChanges);
    // Merge: a change like one already kept goes.
    std::vector<TcxCustomGridChange*> list;
    for (TcxCustomGridChange* c : queue) {
        bool merged = false;
        if (c->IsMergeable())
            for (TcxCustomGridChange* kept : list)
                if (kept->IsSameAs(c)) {
                    merged = true;
                    break;
                }
        if (merged)
            FreeObject(c);
        else
            list.push_back(c);
    }
    // Cover: a change a later one makes needless goes.
    for (size_t i = 0; i < list.size();) {
        bool covered = false;
        for (size_t j = i + 1; j < list.size(); ++j)
            if (list[i]->IsCoveredBy(list[j])) {
                covered = true;
                break;
            }
        if (covered) {
            FreeObject(list[i]);
            list.erase(list.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    // Run, in order; what remains after a failure is freed without running.
    for (size_t i = 0; i < list.size(); ++i) {
        try {
            RunChange(list[i]);
        } catch (...) {
            for (size_t k = i + 1; k < list.size(); ++k) FreeObject(list[k]);
            throw;
        }
    }
}

void TcxCustomGrid::RemoveViewChanges(TcxCustomGridView* AView)
{
    for (size_t i = FChanges.size(); i-- > 0;) {
        auto* vc = DynamicCast<TcxCustomGridViewChange>(FChanges[i]);
        if (vc && vc->GridView == AView) {
            FreeObject(vc);
            FChanges.erase(FChanges.begin() + std::ptrdiff_t(i));
        }
    }
}

void TcxCustomGrid::LayoutChanged()
{
    if (cxControls::IsComponentLoading(this)) return;
    AddChange(new TcxGridLayoutChange(nullptr));
}

void TcxCustomGrid::SizeChanged()
{
    if (cxControls::IsComponentLoading(this)) return;
    AddChange(new TcxGridSizeChange(nullptr));
}

// ---- levels, views, focus

TcxCustomGridView* TcxCustomGrid::ActiveView() const { return FActiveLevel ? FActiveLevel->GridView() : nullptr; }

void TcxCustomGrid::SetActiveLevel(TcxGridLevel* ALevel)
{
    if (ALevel && ALevel == FActiveLevel) return;
    if (!ALevel) ALevel = IsGridDestroying() || !FRootLevel ? nullptr : FRootLevel->GetFirstVisibleChild();
    if (ALevel == FActiveLevel) return;
    FActiveLevel = ALevel;
    SizeChanged();
    if (!cxControls::IsComponentLoading(this) && ALevel) DoActiveTabChanged(ALevel);
    SetFocusedView(ALevel ? ALevel->GridView() : nullptr);
}

TcxCustomGridView* TcxCustomGrid::FindFocusableView(TcxCustomGridView* AOldView)
{
    if (AOldView)
        for (TcxCustomGridView* m = AOldView->MasterGridView(); m; m = m->MasterGridView())
            if (!m->IsDestroying()) return m;
    for (int i = 0; FRootLevel && i < FRootLevel->Count(); ++i) {
        TcxCustomGridView* v = FRootLevel->Items(i)->GridView();
        if (v && !v->IsDestroying()) return v;
    }
    return nullptr;
}

void TcxCustomGrid::SetFocusedView(TcxCustomGridView* AView)
{
    if (AView && !AView->CanFocus() && !AView->IsDestroying()) return;
    if (AView == FFocusedView) return;
    if (!IsGridDestroying()) {
        bool needReplacement = (!AView && ActiveView()) || (AView && AView->IsDestroying());
        if (needReplacement) AView = FindFocusableView(FFocusedView);
        if (AView == FFocusedView) return;
    } else if (AView && AView->IsDestroying()) {
        AView = nullptr;
    }
    TcxCustomGridView* old = FFocusedView;
    FFocusedView = AView;
    if (old) {
        bool wasFocused = IsFocused();
        try {
            old->FocusChanged(false);
        } catch (...) {
            SetFocusedView(old);
            throw;
        }
        if (wasFocused && !IsFocused() && CanFocus() && !IsGridDestroying()) SetFocus();
    }
    if (FFocusedView) {
        FFocusedView->FocusChanged(true);
        if (FFocusedView && FFocusedView->Level()) {
            TcxGridLevel* top = FFocusedView->Level();
            while (top->Parent() && !top->IsTop()) top = top->Parent();
            if (top->IsTop()) top->SetActive(true);
        }
        // The site only shows once its level is active: the keyboard focus
        // follows it there rather than staying in the old view's parked site.
        if (FFocusedView && IsFocused()) {
            TcxGridSite* site = FFocusedView->Site();
            if (site && site->Parent() && !site->IsParked() && site->CanFocus() && !site->Focused()) site->SetFocus();
        }
    } else if (IsFocused() && CanFocus() && !IsGridDestroying()) {
        SetFocus();
    }
    DoFocusedViewChanged(old, FFocusedView);
}

void TcxCustomGrid::CheckFocusedView()
{
    if (!FFocusedView || FFocusedView->CanFocus()) return;
    TcxCustomGridView* active = ActiveView();
    if (active && active->CanFocus())
        SetFocusedView(active);
    else
        SetFocusedView(nullptr);
}

void TcxCustomGrid::AddView(TcxCustomGridView* AView)
{
    if (std::find(FViews.begin(), FViews.end(), AView) != FViews.end()) return;
    FViews.push_back(AView);
    // A view no level shows yet is a pattern: nothing shows it.
    if (AView->DataController() && !AView->Level()) AView->DataController()->SetMasterMode(nullptr, true);
}

void TcxCustomGrid::RemoveView(TcxCustomGridView* AView)
{
    FViews.erase(std::remove(FViews.begin(), FViews.end(), AView), FViews.end());
    RemoveViewChanges(AView);
}

TcxCustomGridView* TcxCustomGrid::CreateView(TClass AViewClass)
{
    auto* view = DynamicCast<TcxCustomGridView>(AViewClass->Create(Owner()));
    if (!view) throw EConvertError("Invalid grid view class");
    AddChildComponent(view);
    return view;
}

void TcxCustomGrid::AddChildComponent(TcxControlChildComponent* AComponent)
{
    TcxControl::AddChildComponent(AComponent);
    if (auto* view = DynamicCast<TcxCustomGridView>(AComponent)) AddView(view);
}

void TcxCustomGrid::RemoveChildComponent(TcxControlChildComponent* AComponent)
{
    TcxControl::RemoveChildComponent(AComponent);
    if (auto* view = DynamicCast<TcxCustomGridView>(AComponent)) RemoveView(view);
}

void TcxCustomGrid::UpdateFocusState(bool AFocused)
{
    if (IsGridDestroying()) return;
    bool changed = false;
    if (AFocused && !FFocused) {
        FFocused = true;
        changed = true;
    } else if (!AFocused && FFocused && !IsFocused()) {
        FFocused = false;
        changed = true;
    }
    if (changed) FController->ControlFocusChanged();
}

void TcxCustomGrid::SetGridTabStop(bool AValue)
{
    FTabStop = AValue;
    if (FFocusedView) FFocusedView->UpdateSiteTabStop(true);
}

void TcxCustomGrid::InvalidateViews(bool ARecalculate)
{
    if (ARecalculate)
        LayoutChanged();
    else
        Invalidate();
    std::function<void(TcxCustomGridView*)> walk = [&](TcxCustomGridView* view) {
        if (!view) return;
        if (view->IsPattern()) {
            for (int i = 0; i < view->CloneCount(); ++i) walk(view->Clones(i));
            return;
        }
        if (ARecalculate)
            view->LayoutChanged(true);
        else
            view->ViewChanged();
    };
    std::function<void(TcxGridLevel*)> walkLevel = [&](TcxGridLevel* level) {
        walk(level->GridView());
        for (int i = 0; i < level->VisibleCount(); ++i) walkLevel(level->VisibleItems(i));
    };
    if (FActiveLevel) walkLevel(FActiveLevel);
}

void TcxCustomGrid::DoActiveTabChanged(TcxGridLevel* ALevel)
{
    if (OnActiveTabChanged) OnActiveTabChanged(this, ALevel);
}

void TcxCustomGrid::DoLayoutChanged(TcxCustomGridView* AGridView)
{
    if (OnLayoutChanged) OnLayoutChanged(this, AGridView);
}

void TcxCustomGrid::DoFocusedViewChanged(TcxCustomGridView* APrevView, TcxCustomGridView* AView)
{
    if (IsGridDestroying()) return;
    RefreshNavigators();
    NotifySubscribers(gnkFocusedViewChanged, nullptr);
    if (OnFocusedViewChanged) OnFocusedViewChanged(this, APrevView, AView);
}

// ---- notifications

void TcxCustomGrid::AddNotification(TcxCustomGridNotification* ASubscriber)
{
    if (std::find(FSubscribers.begin(), FSubscribers.end(), ASubscriber) == FSubscribers.end())
        FSubscribers.push_back(ASubscriber);
}

void TcxCustomGrid::RemoveNotification(TcxCustomGridNotification* ASubscriber)
{
    FSubscribers.erase(std::remove(FSubscribers.begin(), FSubscribers.end(), ASubscriber), FSubscribers.end());
}

bool TcxCustomGrid::NotifySubscribers(int AKind, void* AData)
{
    bool handled = false;
    if (AKind < 0 || AKind > 7) return false;
    for (TcxCustomGridNotification* s : std::vector<TcxCustomGridNotification*>(FSubscribers))
        if (s->NotificationKinds().Contains(AKind)) s->Notify(AKind, AData, handled);
    return handled;
}

// ---- inherited behaviour

void TcxCustomGrid::Loaded()
{
    TcxControl::Loaded();
    BeginUpdate();
    try {
        LayoutChanged();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomGrid::SetName(const std::string& ANewName)
{
    std::string oldName = Name();
    TcxControl::SetName(ANewName);
    if (Name() == oldName) return;
    std::vector<TComponent*> views(FViews.begin(), FViews.end());
    cxGridCommon::RenameComponents(this, Owner(), Name(), [&](int i) { return views[size_t(i)]; }, int(views.size()),
                                   oldName);
    std::vector<TComponent*> levels;
    std::function<void(TcxGridLevel*)> collect = [&](TcxGridLevel* level) {
        for (int i = 0; i < level->Count(); ++i) {
            if (!level->Items(i)->Name().empty()) levels.push_back(level->Items(i));
            collect(level->Items(i));
        }
    };
    if (FRootLevel) collect(FRootLevel);
    cxGridCommon::RenameComponents(this, Owner(), Name(), [&](int i) { return levels[size_t(i)]; },
                                   int(levels.size()), oldName);
}

void TcxCustomGrid::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TcxControl::GetChildren(Proc, Root);
    for (TcxCustomGridView* v : FViews)
        if (v->Owner() == Root) Proc(v);
    for (int i = 0; FRootLevel && i < FRootLevel->Count(); ++i)
        if (FRootLevel->Items(i)->Owner() == Root) Proc(FRootLevel->Items(i));
}

void TcxCustomGrid::BoundsChanged()
{
    SizeChanged();
    TcxControl::BoundsChanged();
}

void TcxCustomGrid::CancelMouseOperations()
{
    TcxControl::CancelMouseOperations();
    FController->CancelMouseOperations();
}

void TcxCustomGrid::FocusChanged()
{
    TcxControl::FocusChanged();
    if (!IsGridDestroying() && Focused() && FFocusedView) FFocusedView->FocusChanged(true);
}

bool TcxCustomGrid::GetDesignHitTest(int X, int Y, TShiftState Shift) const
{
    if (TcxControl::GetDesignHitTest(X, Y, Shift)) return true;
    if (IsDesigning() && Shift.Contains(ssLeft)) {
        TcxCustomGridHitTest* h = FViewInfo->GetHitTest(X, Y);
        return h->HitTestCode() == htTab;
    }
    return false;
}

TCursor TcxCustomGrid::GetCurrentCursor(int X, int Y)
{
    TCursor c = FController->GetCursor(X, Y);
    return c == crDefault ? TcxControl::GetCurrentCursor(X, Y) : c;
}

bool TcxCustomGrid::IsFocused() const
{
    if (TcxControl::IsFocused()) return true;
    TCustomForm* form = GetParentForm(const_cast<TcxCustomGrid*>(this));
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (!active || active == this) return false;
    bool inside = false;
    for (TWinControl* p = active->Parent(); p; p = p->Parent())
        if (p == this) {
            inside = true;
            break;
        }
    if (!inside || !active->Focused()) return false;
    if (auto* cx = DynamicCast<TcxControl>(active)) return cx->IsFocused();
    return true;
}

void TcxCustomGrid::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)
{
    TcxControl::LookAndFeelChanged(Sender, AChangedValues);
    for (TcxCustomGridView* v : std::vector<TcxCustomGridView*>(FViews)) v->LookAndFeelChanged();
    SizeChanged();
}

TClass TcxCustomGrid::GetDragAndDropObjectClass() const { return FController->GetDragAndDropObjectClass(); }

void TcxCustomGrid::DragAndDrop(const TPoint& P, bool& Accepted) { FController->DragAndDrop(P, Accepted); }

void TcxCustomGrid::EndDragAndDrop(bool Accepted) { FController->EndDragAndDrop(Accepted); }

void TcxCustomGrid::DoStartDrag(TDragObject*& ADragObject)
{
    TcxControl::DoStartDrag(ADragObject);
    FController->StartDrag(ADragObject);
}

void TcxCustomGrid::DoEndDrag(TObject* Target, int X, int Y)
{
    FController->EndDrag(Target, X, Y);
    TcxControl::DoEndDrag(Target, X, Y);
}

void TcxCustomGrid::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TcxControl::DragOver(Source, X, Y, State, Accept);
    FController->DragOver(Source, X, Y, State, Accept);
}

void TcxCustomGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyDown(Key, Shift);
    FController->KeyDown(Key, Shift);
}

void TcxCustomGrid::KeyUp(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyUp(Key, Shift);
    FController->KeyUp(Key, Shift);
}

void TcxCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxGridControlGuard guard(this);
    TcxControl::MouseDown(Button, Shift, X, Y);
    if (guard.Alive()) FController->MouseDown(Button, Shift, X, Y);
}

void TcxCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl::MouseMove(Shift, X, Y);
    FController->MouseMove(Shift, X, Y);
}

void TcxCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxGridControlGuard guard(this);
    TcxControl::MouseUp(Button, Shift, X, Y);
    if (guard.Alive()) FController->MouseUp(Button, Shift, X, Y);
}

void TcxCustomGrid::Paint()
{
    TcxControl::Paint();
    FPainter->Paint(Canvas());
}

// ---- the record set of a navigator

IcxNavigator* TcxCustomGrid::FocusedNavigator() const { return dynamic_cast<IcxNavigator*>(FFocusedView); }

void TcxCustomGrid::RefreshNavigators()
{
    if (FNavigatorNotifier) FNavigatorNotifier->RefreshNavigatorButtons();
}

bool TcxCustomGrid::CanDelete()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->CanDelete();
}
bool TcxCustomGrid::CanEdit()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->CanEdit();
}
bool TcxCustomGrid::CanInsert()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->CanInsert();
}
bool TcxCustomGrid::IsBof()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->IsBof();
}
bool TcxCustomGrid::IsBookmarkAvailable()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->IsBookmarkAvailable();
}
bool TcxCustomGrid::IsEditing()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->IsEditing();
}
bool TcxCustomGrid::IsEof()
{
    IcxNavigator* n = FocusedNavigator();
    return n && n->IsEof();
}
void TcxCustomGrid::ClearBookmark()
{
    if (IcxNavigator* n = FocusedNavigator()) n->ClearBookmark();
}
void TcxCustomGrid::DoAction(int AButtonIndex)
{
    if (IcxNavigator* n = FocusedNavigator()) n->DoAction(AButtonIndex);
}
