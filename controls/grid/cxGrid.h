// The grid control: the window that hosts the views. It owns the level tree,
// the views registered with it, its own controller, painter and view info,
// and the change queue through which the grid and every view ask for
// relayout, size processing and repainting (merged, covered and deferred
// between BeginUpdate and EndUpdate). It decides the active top level and
// the view that holds the keyboard focus.
#pragma once

#include "ExtCtrls.h"
#include "cxControls.h"
#include "cxGridCommon.h"
#include "cxGridCustomView.h"
#include "cxGridDetailsSite.h"
#include "cxGridLevel.h"
#include "cxNavigator.h"

#include <functional>
#include <memory>
#include <vector>

class TcxCustomGrid;

// ---- changes ---------------------------------------------------------------------------------------

// A request queued with the grid. The queue owns it once submitted and frees
// it after it ran or was dropped.
class TcxCustomGridChange : public TObject {
    QZ_CLASS(TcxCustomGridChange, TObject)
public:
    TcxCustomGridChange() = default;
    virtual void Execute() = 0;
    virtual bool IsCoveredBy(TcxCustomGridChange* AChange) { return false; }
    virtual bool IsMergeable() { return true; }
    virtual bool IsSameAs(TcxCustomGridChange* AChange) { return AChange->ClassType() == ClassType(); }
    virtual bool IsDeferrable() { return true; }
    // The grid, set just before the change runs (null without a grid).
    TcxControl* Control = nullptr;
};

class TcxCustomGridViewChange : public TcxCustomGridChange {
    QZ_CLASS(TcxCustomGridViewChange, TcxCustomGridChange)
public:
    // A null view stands for the whole grid.
    explicit TcxCustomGridViewChange(TcxCustomGridView* AGridView) : GridView(AGridView) {}
    bool IsSameAs(TcxCustomGridChange* AChange) override;
    TcxCustomGrid* Grid() const;
    TcxCustomGridView* GridView;
};

class TcxGridLayoutChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridLayoutChange, TcxCustomGridViewChange)
public:
    using TcxCustomGridViewChange::TcxCustomGridViewChange;
    void Execute() override;
    bool IsCoveredBy(TcxCustomGridChange* AChange) override;
};

class TcxGridSizeChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridSizeChange, TcxCustomGridViewChange)
public:
    TcxGridSizeChange(TcxCustomGridView* AGridView, bool AViewOnly = false, bool APreserveMasterCache = false)
        : TcxCustomGridViewChange(AGridView), ViewOnly(AViewOnly), PreserveMasterCache(APreserveMasterCache)
    {
    }
    void Execute() override;
    bool IsCoveredBy(TcxCustomGridChange* AChange) override;
    bool IsSameAs(TcxCustomGridChange* AChange) override;
    bool ViewOnly;
    bool PreserveMasterCache;
};

class TcxGridViewChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridViewChange, TcxCustomGridViewChange)
public:
    explicit TcxGridViewChange(TcxCustomGridView* AGridView) : TcxCustomGridViewChange(AGridView) {}
    TcxGridViewChange(TcxCustomGridView* AGridView, const TRect& ABounds)
        : TcxCustomGridViewChange(AGridView), UpdateBounds(ABounds)
    {
    }
    void Execute() override;
    bool IsMergeable() override { return false; }
    TRect UpdateBounds;
};

class TcxGridControlFocusChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridControlFocusChange, TcxCustomGridViewChange)
public:
    using TcxCustomGridViewChange::TcxCustomGridViewChange;
    void Execute() override;
};

// ---- drag-opening of tabs -------------------------------------------------------------------------

class TcxCustomGridDragOpenInfo : public TObject {
    QZ_CLASS(TcxCustomGridDragOpenInfo, TObject)
public:
    TcxCustomGridDragOpenInfo() = default;
    virtual bool Equals(TcxCustomGridDragOpenInfo* AInfo) { return AInfo->ClassType() == ClassType(); }
    virtual void Run() = 0;
};

class TcxGridDragOpenInfoTab : public TcxCustomGridDragOpenInfo {
    QZ_CLASS(TcxGridDragOpenInfoTab, TcxCustomGridDragOpenInfo)
public:
    explicit TcxGridDragOpenInfoTab(TcxGridLevel* ALevel) : Level(ALevel) {}
    bool Equals(TcxCustomGridDragOpenInfo* AInfo) override;
    void Run() override;
    TcxGridLevel* Level;
};

// ---- the grid's handlers ---------------------------------------------------------------------------

class TcxCustomGridHandler : public TObject {
    QZ_CLASS(TcxCustomGridHandler, TObject)
public:
    explicit TcxCustomGridHandler(TcxCustomGrid* AControl) : FControl(AControl) {}
    TcxCustomGrid* Control() const { return FControl; }

private:
    TcxCustomGrid* FControl;
};
template <class T> using TcxGridHandlerClass = TcxGridClassRef<T, TcxCustomGrid*>;

class TcxGridController : public TcxCustomGridHandler {
    QZ_CLASS(TcxGridController, TcxCustomGridHandler)
public:
    explicit TcxGridController(TcxCustomGrid* AControl) : TcxCustomGridHandler(AControl) {}
    ~TcxGridController() override;
    virtual void ControlFocusChanged();
    virtual void CancelMouseOperations();
    virtual TCursor GetCursor(int X, int Y) { return crDefault; }
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void EndDrag(TObject* Target, int X, int Y) { CancelDragOpen(); }
    virtual void StartDrag(TDragObject*& DragObject) {}
    // A record for what lies under the hit test, or null.
    virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* AHitTest);
    virtual TClass GetDragAndDropObjectClass() { return nullptr; }
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift) {}
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y) {}
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DragAndDrop(const TPoint& P, bool& Accepted) {}
    virtual void EndDragAndDrop(bool Accepted) {}
    virtual bool StartDragAndDrop(const TPoint& P) { return false; }

    void SetDragOpenInfo(TcxCustomGridDragOpenInfo* AInfo);   // takes ownership
    void CancelDragOpen();
    TcxCustomGridDragOpenInfo* DragOpenInfo() const { return FDragOpenInfo.get(); }
    TTimer* DragOpenTimer() const { return FDragOpenTimer.get(); }

private:
    void DragOpenTimerFired(TObject* Sender);
    std::unique_ptr<TcxCustomGridDragOpenInfo> FDragOpenInfo;
    std::unique_ptr<TTimer> FDragOpenTimer;
};

class TcxGridPainter : public TcxCustomGridHandler {
    QZ_CLASS(TcxGridPainter, TcxCustomGridHandler)
public:
    using TcxCustomGridHandler::TcxCustomGridHandler;
    virtual void DrawDetailsSite(TcxCanvas* ACanvas);
    virtual void DrawBackground(TcxCanvas* ACanvas);
    virtual void Invalidate(bool AIncludingSites);
    virtual void InvalidateRect(const TRect& ARect);
    virtual void Paint(TcxCanvas* ACanvas);
};

// The details site of the root level: the grid's client area.
class TcxGridTopDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
    QZ_CLASS(TcxGridTopDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
public:
    explicit TcxGridTopDetailsSiteViewInfo(TcxGridLevel* ALevel) : TcxCustomGridDetailsSiteViewInfo(ALevel) {}
    TcxCustomGrid* Control() const;
    int CalculateHeight() override;
    int CalculateWidth() override;
    TcxCanvas* GetCanvas() override;
    TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override;
    int GetMaxHeight() override;
    int GetMaxWidth() override;
    TcxCustomGridView* GetActiveGridViewValue() override;
    TcxGridLevel* GetActiveLevel() override;
    void InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest) override;
    void SetActiveLevel(TcxGridLevel* ALevel) override;
    void VisibilityChanged(bool AVisible) override;
};

class TcxGridViewInfo : public TcxCustomGridHandler {
    QZ_CLASS(TcxGridViewInfo, TcxCustomGridHandler)
public:
    explicit TcxGridViewInfo(TcxCustomGrid* AControl);
    ~TcxGridViewInfo() override;
    void AfterConstruction() override { CreateDetailsSite(); }
    virtual void CreateDetailsSite();
    virtual void DestroyDetailsSite();
    virtual TcxGridClassRef<TcxGridTopDetailsSiteViewInfo, TcxGridLevel*> GetDetailsSiteClass();
    virtual void Calculate();
    virtual TcxCustomGridHitTest* GetHitTest(int X, int Y);
    TcxGridTopDetailsSiteViewInfo* DetailsSiteViewInfo() const { return FDetailsSiteViewInfo; }

private:
    TcxGridTopDetailsSiteViewInfo* FDetailsSiteViewInfo = nullptr;
};

// ---- notifications ----------------------------------------------------------------------------------

constexpr int gnkFocusedViewChanged = 0;
constexpr int gnkContextMenu = 3;
constexpr int gnkKeyDown = 5;

// Hears of the grid's notifications of the kinds it wants (0..7).
class TcxCustomGridNotification : public TObject {
    QZ_CLASS(TcxCustomGridNotification, TObject)
public:
    TcxCustomGridNotification() = default;
    virtual TSet<int, 8> NotificationKinds() = 0;
    // AHandled tells the sender the notice was acted on (kind 5: the key is taken).
    virtual void Notify(int AKind, void* AData, bool& AHandled) = 0;
};

// ---- the control -------------------------------------------------------------------------------------

using TcxGridActiveTabChangedEvent = std::function<void(TcxCustomGrid* Sender, TcxGridLevel* ALevel)>;
using TcxGridFocusedViewChangedEvent =
    std::function<void(TcxCustomGrid* Sender, TcxCustomGridView* APrevFocusedView, TcxCustomGridView* AFocusedView)>;
using TcxGridLayoutChangedEvent = std::function<void(TcxCustomGrid* Sender, TcxCustomGridView* AGridView)>;

// Also the record set behind a navigator: it passes every question and
// action on to the focused view's own record set.
class TcxCustomGrid : public TcxControl, public IcxNavigator {
    QZ_CLASS(TcxCustomGrid, TcxControl)
public:
    explicit TcxCustomGrid(TComponent* AOwner = nullptr);
    ~TcxCustomGrid() override;
    // Handlers and the root level come from the class getters.
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // ---- updates and the change queue
    void BeginUpdate() { ++FUpdateLockCount; }
    void EndUpdate();
    void CancelUpdate();
    bool IsUpdateLocked() const { return FUpdateLockCount > 0; }
    void AddChange(TcxCustomGridChange* AChange);
    void RemoveViewChanges(TcxCustomGridView* AView);
    int ChangeCount() const { return int(FChanges.size()); }
    virtual void LayoutChanged();
    virtual void SizeChanged();

    // ---- levels, views and focus
    TcxGridLevel* ActiveLevel() const { return FActiveLevel; }
    void SetActiveLevel(TcxGridLevel* ALevel);
    TcxCustomGridView* ActiveView() const;
    TcxCustomGridView* FocusedView() const { return FFocusedView; }
    void SetFocusedView(TcxCustomGridView* AView);
    void CheckFocusedView();
    TcxCustomGridView* FindFocusableView(TcxCustomGridView* AOldView);
    TcxGridLevel* RootLevel() const { return FRootLevel; }
    TcxGridLevelOptions* RootLevelOptions() const;
    TcxGridLevelStyles* RootLevelStyles() const;
    void AddView(TcxCustomGridView* AView);
    void RemoveView(TcxCustomGridView* AView);
    int ViewCount() const { return int(FViews.size()); }
    TcxCustomGridView* Views(int AIndex) const { return FViews[size_t(AIndex)]; }
    // Makes a view of the class, owned by the grid's owner and registered here.
    TcxCustomGridView* CreateView(TClass AViewClass);
    void UpdateFocusState(bool AFocused);
    bool FocusFlag() const { return FFocused; }
    void RefreshNavigators();

    // ---- the record set of a navigator
    bool CanDelete() override;
    bool CanEdit() override;
    bool CanInsert() override;
    bool IsBof() override;
    bool IsBookmarkAvailable() override;
    bool IsEditing() override;
    bool IsEof() override;
    void ClearBookmark() override;
    void DoAction(int AButtonIndex) override;
    TcxNavigatorControlNotifier* GetNotifier() override { return FNavigatorNotifier.get(); }
    bool IsActive() override { return true; }
    void InvalidateViews(bool ARecalculate);
    void LevelTreeChanged() {}

    // ---- notifications
    void AddNotification(TcxCustomGridNotification* ASubscriber);
    void RemoveNotification(TcxCustomGridNotification* ASubscriber);
    bool NotifySubscribers(int AKind, void* AData);

    // ---- settings
    bool DragOpening() const { return FDragOpening; }
    void SetDragOpening(bool AValue) { FDragOpening = AValue; }
    int DragOpeningWaitTime() const { return FDragOpeningWaitTime; }
    void SetDragOpeningWaitTime(int AValue) { FDragOpeningWaitTime = AValue < 0 ? 0 : AValue; }
    bool GridTabStop() const { return FTabStop; }
    void SetGridTabStop(bool AValue);

    // ---- handlers
    TcxGridController* Controller() const { return FController; }
    TcxGridPainter* Painter() const { return FPainter; }
    TcxGridViewInfo* ViewInfo() const { return FViewInfo; }
    virtual void CreateHandlers();
    virtual void DestroyHandlers();
    virtual void DoActiveTabChanged(TcxGridLevel* ALevel);
    virtual void DoLayoutChanged(TcxCustomGridView* AGridView);
    virtual void DoFocusedViewChanged(TcxCustomGridView* APrevView, TcxCustomGridView* AView);
    virtual TcxGridHandlerClass<TcxGridController> GetControllerClass();
    virtual TClass GetLevelClass();
    virtual TcxGridHandlerClass<TcxGridPainter> GetPainterClass();
    virtual TcxGridHandlerClass<TcxGridViewInfo> GetViewInfoClass();

    // ---- inherited behaviour
    void Loaded() override;
    void SetName(const std::string& ANewName) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void AddChildComponent(TcxControlChildComponent* AComponent) override;
    void RemoveChildComponent(TcxControlChildComponent* AComponent) override;
    void BoundsChanged() override;
    void CancelMouseOperations() override;
    void FocusChanged() override;
    bool MayFocus() const override { return false; }
    bool GetDesignHitTest(int X, int Y, TShiftState Shift) const override;
    TCursor GetCurrentCursor(int X, int Y) override;
    bool IsFocused() const override;
    void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
    TClass GetDragAndDropObjectClass() const override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    bool StartDragAndDrop(const TPoint& P) override { return FController->StartDragAndDrop(P); }
    void DoStartDrag(TDragObject*& ADragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    bool IsGridDestroying() const { return FDestroying || IsDestroying(); }

    TcxGridActiveTabChangedEvent OnActiveTabChanged;
    TcxGridFocusedViewChangedEvent OnFocusedViewChanged;
    TcxGridLayoutChangedEvent OnLayoutChanged;
    TNotifyEvent RootLevelStylesEvents;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void RunChange(TcxCustomGridChange* AChange);
    void ProcessChanges();
    void TearDown();

    TcxGridLevel* FActiveLevel = nullptr;
    std::vector<TcxCustomGridChange*> FChanges;
    TcxGridController* FController = nullptr;
    bool FDragOpening = true;
    int FDragOpeningWaitTime = 500;
    TcxCustomGridView* FFocusedView = nullptr;
    bool FFocused = false;
    TcxGridLevel* FRootLevel = nullptr;
    std::vector<TcxCustomGridNotification*> FSubscribers;
    std::unique_ptr<TcxNavigatorControlNotifier> FNavigatorNotifier;
    IcxNavigator* FocusedNavigator() const;
    TcxGridPainter* FPainter = nullptr;
    bool FTabStop = true;
    int FUpdateLockCount = 0;
    TcxGridViewInfo* FViewInfo = nullptr;
    std::vector<TcxCustomGridView*> FViews;
    bool FDestroying = false;
    bool FTornDown = false;
};

class TcxGrid : public TcxCustomGrid {
    QZ_CLASS(TcxGrid, TcxCustomGrid)
public:
    explicit TcxGrid(TComponent* AOwner = nullptr) : TcxCustomGrid(AOwner) {}
};

namespace cxGrid {
// Unit start-up: the level class can be created by name.
void Initialize();
}  // namespace cxGrid
