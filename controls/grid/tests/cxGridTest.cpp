// The grid control and its levels: active level and focused view, level
// visibility, renaming, tabs of the root level, drag-opening, painting,
// notifications and the navigator's record set.
#include "GridTestBase.h"

#include "RecordingCanvas.h"
#include "cxGraphics.h"

#include <memory>

namespace {

class GridTest : public GridTestBase {};

TEST_F(GridTest, NewGridDefaults)
{
    EXPECT_EQ(Grid->Width(), 250);
    EXPECT_EQ(Grid->Height(), 200);
    EXPECT_TRUE(Grid->DragOpening());
    EXPECT_EQ(Grid->DragOpeningWaitTime(), 500);
    EXPECT_TRUE(Grid->GridTabStop());
    EXPECT_EQ(Grid->RootLevelOptions()->DetailFrameWidth(), 0);
    EXPECT_EQ(Grid->RootLevelOptions()->DetailTabsPosition(), dtpNone);
    EXPECT_FALSE(Grid->RootLevelOptions()->IsDetailFrameWidthStored());
    EXPECT_EQ(Grid->ActiveLevel(), nullptr);
    EXPECT_EQ(Grid->FocusedView(), nullptr);
    EXPECT_FALSE(Grid->MayFocus());

    Grid->SetDragOpeningWaitTime(-5);
    EXPECT_EQ(Grid->DragOpeningWaitTime(), 0);
}

TEST_F(GridTest, FirstLevelBecomesActiveAndFocusesItsView)
{
    std::vector<std::string> events;
    TcxGridLevel* tabbed = nullptr;
    Grid->OnActiveTabChanged = [&](TcxCustomGrid*, TcxGridLevel* L) {
        tabbed = L;
        events.push_back("tab");
    };
    Grid->OnFocusedViewChanged = [&](TcxCustomGrid*, TcxCustomGridView* Prev, TcxCustomGridView* V) {
        events.push_back("focus:" + std::string(Prev ? Prev->Name() : "-") + ">" + (V ? V->Name() : "-"));
    };
    TcxGridLevel* level = Grid->RootLevel()->Add();
    level->SetName("Level1");
    EXPECT_EQ(Grid->ActiveLevel(), level);
    EXPECT_EQ(level->Owner(), Form) << "levels below the root belong to the form";
    TcxGridTestView* view = GridTesting::MakeView(Grid, "View1");
    level->SetGridView(view);
    EXPECT_EQ(Grid->FocusedView(), view);
    EXPECT_EQ(Grid->ActiveView(), view);
    EXPECT_TRUE(view->IsVisible());
    EXPECT_FALSE(view->IsPattern());
    EXPECT_EQ(tabbed, level);
    EXPECT_EQ(events, (std::vector<std::string>{"tab", "focus:->View1"}));
}

TEST_F(GridTest, AViewNoLevelShowsIsAPatternAndCannotTakeTheFocus)
{
    TcxGridTestView* shown = AddTopView("View1");
    TcxGridTestView* loose = GridTesting::MakeView(Grid, "Loose");
    EXPECT_TRUE(loose->IsPattern());
    EXPECT_FALSE(loose->CanFocus());
    Grid->SetFocusedView(loose);
    EXPECT_EQ(Grid->FocusedView(), shown);
}

TEST_F(GridTest, FocusingAViewBelowAHiddenLevelDoesNothing)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* v1 = AddTopView("View1", &l1);
    TcxGridLevel* l2 = nullptr;
    TcxGridTestView* v2 = AddTopView("View2", &l2);
    EXPECT_EQ(Grid->FocusedView(), v1);
    l2->SetVisible(false);
    Grid->SetFocusedView(v2);
    EXPECT_EQ(Grid->FocusedView(), v1);
    l2->SetVisible(true);
    Grid->SetFocusedView(v2);
    EXPECT_EQ(Grid->FocusedView(), v2);
    EXPECT_EQ(Grid->ActiveLevel(), l2) << "focusing a view activates its top level";
}

TEST_F(GridTest, DestroyingTheFocusedViewFocusesTheFirstTopLevelView)
{
    TcxGridTestView* v1 = AddTopView("View1");
    TcxGridLevel* l2 = nullptr;
    TcxGridTestView* v2 = AddTopView("View2", &l2);
    Grid->SetFocusedView(v2);
    ASSERT_EQ(Grid->FocusedView(), v2);
    FreeObject(v2);
    EXPECT_EQ(l2->GridView(), nullptr);
    EXPECT_EQ(Grid->FocusedView(), v1);
}

TEST_F(GridTest, SetActiveLevelNilPicksTheFirstVisibleTopLevel)
{
    TcxGridLevel* l1 = nullptr;
    AddTopView("View1", &l1);
    TcxGridLevel* l2 = nullptr;
    TcxGridTestView* v2 = AddTopView("View2", &l2);
    Grid->SetActiveLevel(l2);
    EXPECT_EQ(Grid->FocusedView(), v2);
    Grid->SetActiveLevel(nullptr);
    EXPECT_EQ(Grid->ActiveLevel(), l1);
    l1->SetVisible(false);
    EXPECT_EQ(Grid->ActiveLevel(), l2);
}

TEST_F(GridTest, HidingTheOnlyTopLevelLeavesNoActiveLevelAndShowingItActivatesIt)
{
    TcxGridLevel* level = nullptr;
    TcxGridTestView* view = AddTopView("View1", &level);
    level->SetVisible(false);
    EXPECT_EQ(Grid->ActiveLevel(), nullptr);
    EXPECT_FALSE(view->CanFocus());
    level->SetVisible(true);
    EXPECT_EQ(Grid->ActiveLevel(), level);
    EXPECT_TRUE(view->IsVisible());
}

TEST_F(GridTest, FailingFocusLossRestoresTheOldFocusedView)
{
    TcxGridTestView* v1 = AddTopView("View1");
    TcxGridTestView* v2 = AddTopView("View2");
    ASSERT_EQ(Grid->FocusedView(), v1);
    v1->TestController()->FailFocusLoss = true;
    EXPECT_THROW(Grid->SetFocusedView(v2), Exception);
    EXPECT_EQ(Grid->FocusedView(), v1);
    v1->TestController()->FailFocusLoss = false;
}

TEST_F(GridTest, FreeingTheActiveLevelActivatesTheNextAndKeepsItsView)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* v1 = AddTopView("View1", &l1);
    TcxGridLevel* l2 = nullptr;
    TcxGridTestView* v2 = AddTopView("View2", &l2);
    FreeObject(l1);
    EXPECT_EQ(Grid->RootLevel()->Count(), 1);
    EXPECT_EQ(Grid->ActiveLevel(), l2);
    EXPECT_EQ(Grid->FocusedView(), v2);
    EXPECT_EQ(v1->Level(), nullptr);
    EXPECT_TRUE(v1->IsPattern()) << "a view no level shows";
    EXPECT_EQ(Grid->ViewCount(), 2) << "views belong to the grid, not to levels";
}

TEST_F(GridTest, AssigningAViewHeldByAnotherLevelMovesIt)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* view = AddTopView("View1", &l1);
    TcxGridLevel* l2 = Grid->RootLevel()->Add();
    l2->SetGridView(view);
    EXPECT_EQ(l1->GridView(), nullptr);
    EXPECT_EQ(l2->GridView(), view);
    EXPECT_EQ(view->Level(), l2);
}

TEST_F(GridTest, LevelSettingsClampAndStore)
{
    TcxGridLevel* level = Grid->RootLevel()->Add();
    struct {
        int MaxDetailHeight, Height, Expected;
    } cases[] = {{0, 400, 400}, {150, 400, 150}, {150, 100, 100}, {0, -7, 0}};
    for (const auto& c : cases) {
        level->SetMaxDetailHeight(c.MaxDetailHeight);
        int h = c.Height;
        level->CheckHeight(h);
        EXPECT_EQ(h, c.Expected) << c.MaxDetailHeight << " " << c.Height;
    }
    level->SetMaxDetailHeight(-3);
    EXPECT_EQ(level->MaxDetailHeight(), 0);
    EXPECT_FALSE(level->Options()->IsDetailFrameWidthStored()) << "a child level's 1 is the default";
    level->Options()->SetDetailFrameWidth(-2);
    EXPECT_EQ(level->Options()->DetailFrameWidth(), 0);
    EXPECT_TRUE(level->Options()->IsDetailFrameWidthStored());
    EXPECT_EQ(level->Options()->GetDetailFrameColor(), clBtnShadow);
}

TEST_F(GridTest, DetailViewsComeFromTheLevelsView)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* master = AddTopView("View1", &l1);
    TcxGridLevel* l2 = l1->Add();
    TcxGridTestView* pattern = GridTesting::MakeView(Grid, "Detail");
    l2->SetGridView(pattern);
    EXPECT_TRUE(pattern->IsPattern());
    EXPECT_TRUE(master->IsMaster());

    auto* clone = l2->CreateLinkObject(l2->DataRelation(), 3);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->ClassType(), pattern->ClassType());
    EXPECT_EQ(clone->MasterGridView(), master);
    EXPECT_EQ(clone->MasterRecordIndex(), 3);
    EXPECT_EQ(pattern->CloneCount(), 1);
    FreeObject(clone);
    EXPECT_EQ(pattern->CloneCount(), 0);

    l2->OnGetGridView = [](TcxGridLevel*, TObject*, TcxCustomGridView*& AView) { AView = nullptr; };
    EXPECT_EQ(l2->CreateLinkObject(l2->DataRelation(), 0), nullptr);
    l2->OnGetGridView = nullptr;
    l2->SetVisible(false);
    EXPECT_EQ(l2->CreateLinkObject(l2->DataRelation(), 0), nullptr);
}

TEST_F(GridTest, RenamingTheGridRenamesWhatCarriesItsName)
{
    TcxGridLevel* level = nullptr;
    TcxGridTestView* prefixed = AddTopView("Grid1DBTableView1", &level);
    level->SetName("Grid1Level1");
    TComponent other(nullptr);
    auto* foreign = static_cast<TcxGridTestView*>(TcxGridTestView::StaticClass()->Create(&other));
    foreign->SetName("Grid1Foreign");
    Grid->AddChildComponent(foreign);
    TcxGridTestView* clash = GridTesting::MakeView(Grid, "grid1Clash");
    TcxGridTestView* taken = GridTesting::MakeView(Grid, "Grid2Clash");   // the new name is taken

    Grid->SetName("Grid2");
    EXPECT_EQ(prefixed->Name(), "Grid2DBTableView1");
    EXPECT_EQ(level->Name(), "Grid2Level1");
    EXPECT_EQ(foreign->Name(), "Grid1Foreign");
    EXPECT_EQ(clash->Name(), "grid1Clash") << "a refused name is skipped";
    EXPECT_EQ(taken->Name(), "Grid2Clash");
    Grid->RemoveChildComponent(foreign);
    FreeObject(foreign);
}

class TKindRecorder : public TcxCustomGridNotification {
public:
    explicit TKindRecorder(TSet<int, 8> AKinds) : FKinds(AKinds) {}
    TSet<int, 8> NotificationKinds() override { return FKinds; }
    void Notify(int AKind, void* AData, bool& AHandled) override { Seen.push_back({AKind, AData}); }
    std::vector<std::pair<int, void*>> Seen;

private:
    TSet<int, 8> FKinds;
};

TEST_F(GridTest, NotificationsReachOnlyTheKindsWanted)
{
    TKindRecorder focusOnly({gnkFocusedViewChanged});
    TKindRecorder menuOnly({gnkContextMenu});
    Grid->AddNotification(&focusOnly);
    Grid->AddNotification(&menuOnly);
    AddTopView("View1");
    EXPECT_EQ(focusOnly.Seen.size(), 1u);
    EXPECT_TRUE(menuOnly.Seen.empty());
    WORD key = VK_APPS;
    Grid->Controller()->KeyDown(key, {});
    Grid->Controller()->MouseUp(mbRight, {}, 5, 5);
    ASSERT_EQ(menuOnly.Seen.size(), 2u);
    EXPECT_EQ(menuOnly.Seen[0].second, (void*)1);
    EXPECT_EQ(menuOnly.Seen[1].second, nullptr);
    EXPECT_FALSE(Grid->NotifySubscribers(9, nullptr));
    Grid->RemoveNotification(&focusOnly);
    Grid->RemoveNotification(&menuOnly);
}

TEST_F(GridTest, ALookChangeReachesTheViewsAndTheirSites)
{
    TcxGridTestView* view = AddTopView("View1");
    Grid->SetBounds(0, 0, 300, 200);
    Grid->LayoutChanged();
    TakeLog();
    const TcxLookAndFeelKind other = Grid->LookAndFeel()->Kind() == lfFlat ? lfUltraFlat : lfFlat;
    Grid->LookAndFeel()->SetKind(other);
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "layout:grid"), 1) << ::testing::PrintToString(log);
    EXPECT_EQ(view->Site()->LookAndFeel()->Kind(), other) << "a shown site looks like its grid";
}

TEST_F(GridTest, AKeySubscriberMayTakeKeysBeforeTheSite)
{
    class TKeyTaker : public TcxCustomGridNotification {
    public:
        TSet<int, 8> NotificationKinds() override { return {gnkKeyDown}; }
        void Notify(int, void* AData, bool& AHandled) override
        {
            auto* m = static_cast<TMessage*>(AData);
            Keys.push_back(int(m->WParam));
            AHandled = m->WParam == VK_F5;
        }
        std::vector<int> Keys;
    } taker;
    TcxGridTestView* view = AddTopView("View1");
    std::vector<int> siteKeys;
    view->SetOnKeyDown([&](TObject*, WORD& Key, TShiftState) { siteKeys.push_back(Key); });
    Grid->AddNotification(&taker);
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    Grid->LayoutChanged();
    view->Site()->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown(VK_F5);
    GuiTest::KeyDown(VK_F6);
    GuiTest::ProcessEvents();
    EXPECT_EQ(taker.Keys, (std::vector<int>{VK_F5, VK_F6}));
    EXPECT_EQ(siteKeys, std::vector<int>{VK_F6});
    Grid->RemoveNotification(&taker);
}

TEST_F(GridTest, NavigatorQueriesWithoutAFocusedViewAnswerNo)
{
    IcxNavigator* nav = Grid;
    EXPECT_FALSE(nav->CanDelete());
    EXPECT_FALSE(nav->IsEof());
    EXPECT_FALSE(nav->IsBookmarkAvailable());
    nav->DoAction(cxNavigator::nbNext);   // nothing to do it on
    EXPECT_TRUE(nav->IsActive());
    EXPECT_NE(nav->GetNotifier(), nullptr);
}

// A view that is also a record set: at its last record, not editing.
class TNavigableView : public TcxGridTestView, public IcxNavigator {
public:
    using TcxGridTestView::TcxGridTestView;
    bool CanDelete() override { return true; }
    bool CanEdit() override { return true; }
    bool CanInsert() override { return false; }
    bool IsBof() override { return false; }
    bool IsBookmarkAvailable() override { return false; }
    bool IsEditing() override { return false; }
    bool IsEof() override { return true; }
    void ClearBookmark() override { Actions.push_back(-1); }
    void DoAction(int AButtonIndex) override { Actions.push_back(AButtonIndex); }
    TcxNavigatorControlNotifier* GetNotifier() override { return nullptr; }
    bool IsActive() override { return false; }
    std::vector<int> Actions;
};

TEST_F(GridTest, NavigatorQueriesAndActionsGoToTheFocusedView)
{
    auto* view = new TNavigableView(Form);
    view->AfterConstruction();
    Grid->AddChildComponent(view);
    Grid->RootLevel()->Add()->SetGridView(view);
    ASSERT_EQ(Grid->FocusedView(), view);
    IcxNavigator* nav = Grid;
    EXPECT_TRUE(nav->CanDelete());
    EXPECT_FALSE(nav->CanInsert());
    EXPECT_TRUE(nav->IsEof());
    nav->DoAction(cxNavigator::nbLast);
    nav->ClearBookmark();
    EXPECT_EQ(view->Actions, (std::vector<int>{cxNavigator::nbLast, -1}));
    EXPECT_EQ(nav->GetNotifier(), Grid->GetNotifier()) << "the grid's own notifier";
    EXPECT_TRUE(nav->IsActive());
}

// ---- the root level's tabs

class GridTabsTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Grid->RootLevelOptions()->SetDetailTabsPosition(dtpTop);
        V1 = AddTopView("View1", &L1);
        L1->SetCaption("First");
        V2 = AddTopView("View2", &L2);
        L2->SetCaption("Second");
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
        Grid->LayoutChanged();
    }
    TcxCustomGridDetailsSiteTabsViewInfo* Tabs() { return Grid->ViewInfo()->DetailsSiteViewInfo()->TabsViewInfo(); }
    TcxGridLevel *L1 = nullptr, *L2 = nullptr;
    TcxGridTestView *V1 = nullptr, *V2 = nullptr;
};

TEST_F(GridTabsTest, TwoTopLevelsShowTwoTabsAndTheViewBelowThem)
{
    ASSERT_NE(Tabs(), nullptr);
    ASSERT_EQ(Tabs()->Count(), 2);
    auto* first = Tabs()->Items(0);
    auto* second = Tabs()->Items(1);
    EXPECT_TRUE(first->IsActive());
    EXPECT_EQ(first->Text, "First");
    // The active tab stands out by the offset; the other sits 2 pixels lower.
    EXPECT_EQ(second->Bounds.Top, first->Bounds.Top + 2);
    EXPECT_EQ(second->Bounds.Left, first->Bounds.Right);
    EXPECT_EQ(first->Borders, (TcxBorders{bLeft, bTop, bRight}));
    EXPECT_EQ(second->Borders, (TcxBorders{bTop, bBottom, bRight}));
    TRect client = Grid->ViewInfo()->DetailsSiteViewInfo()->GetClientBounds();
    EXPECT_EQ(client.Top, Grid->GetClientBounds().Top + Tabs()->Height());
    EXPECT_EQ(V1->Site()->BoundsRect(), client);
    EXPECT_EQ(V1->Site()->Parent(), Grid);
    EXPECT_EQ(V2->Site()->Parent(), nullptr) << "the inactive level's view is not shown";
}

TEST_F(GridTabsTest, ClickingATabActivatesItsLevelAndFocusesItsView)
{
    TRect tab = Tabs()->Items(1)->Bounds;
    TcxCustomGridHitTest* h = Grid->ViewInfo()->GetHitTest(tab.Left + 3, tab.Top + 3);
    ASSERT_EQ(h->HitTestCode(), htTab);
    EXPECT_EQ(static_cast<TcxGridDetailsSiteTabHitTest*>(h)->Level, L2);
    EXPECT_EQ(static_cast<TcxGridDetailsSiteTabHitTest*>(h)->Owner, Grid);

    GuiTest::Click(Grid, {tab.Left + 3, tab.Top + 3});
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->ActiveLevel(), L2);
    EXPECT_EQ(Grid->FocusedView(), V2);
    EXPECT_EQ(V2->Site()->Parent(), Grid);
    EXPECT_EQ(V1->Site()->Parent(), nullptr);
}

TEST_F(GridTabsTest, DragRestingOverATabOpensItAfterTheWaitTime)
{
    GuiTest::TManualTime clock;
    Grid->SetDragOpeningWaitTime(300);
    TRect tab1 = Tabs()->Items(0)->Bounds;
    TRect tab2 = Tabs()->Items(1)->Bounds;
    bool accept = false;
    Grid->DragOver(nullptr, tab2.Left + 2, tab2.Top + 3, dsDragMove, accept);
    TTimer* timer = Grid->Controller()->DragOpenTimer();
    ASSERT_NE(timer, nullptr);
    clock.Advance(200);
    Grid->DragOver(nullptr, tab2.Left + 4, tab2.Top + 3, dsDragMove, accept);
    EXPECT_EQ(Grid->Controller()->DragOpenTimer(), timer) << "hovering the same tab keeps the timer";
    clock.Advance(150);
    EXPECT_EQ(Grid->ActiveLevel(), L2) << "the rest time counts from the first hover";

    Grid->DragOver(nullptr, tab1.Left + 2, tab1.Top + 3, dsDragMove, accept);
    Grid->DragOver(nullptr, tab1.Left + 2, tab1.Top + 3, dsDragLeave, accept);
    EXPECT_EQ(Grid->Controller()->DragOpenTimer(), nullptr) << "leaving cancels";
    clock.Advance(400);
    EXPECT_EQ(Grid->ActiveLevel(), L2);

    Grid->SetDragOpening(false);
    Grid->DragOver(nullptr, tab1.Left + 2, tab1.Top + 3, dsDragMove, accept);
    EXPECT_EQ(Grid->Controller()->DragOpenTimer(), nullptr);
}

TEST_F(GridTabsTest, PaintsTabsThenBackgroundAndExcludesTheSite)
{
    TRecordingCanvas rec(300, 200);
    TcxCanvas canvas(&rec);
    Grid->Painter()->Paint(&canvas);
    // Each tab draws its caption; the site and grid backgrounds come last.
    std::vector<std::string> texts;
    int lastText = -1, lastFill = -1;
    for (int i = 0; i < int(rec.Ops().size()); ++i) {
        const TCanvasOp& op = rec.Ops()[size_t(i)];
        if (op.Op == "TextOut") {
            texts.push_back(op.Text);
            lastText = i;
        }
        if (op.Op == "FillRect") lastFill = i;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"First", "Second"}));
    EXPECT_GT(lastFill, lastText);
    EXPECT_EQ(rec.Ops().back().Rect, Grid->GetClientBounds()) << "the grid's own background";
}

TEST(GridPaintTest, AGridWithoutLevelsPaintsOnlyItsBackground)
{
    GridTesting::Init();
    std::unique_ptr<TcxGrid> grid(static_cast<TcxGrid*>(TcxGrid::StaticClass()->Create(nullptr)));
    grid->SetColor(clWindow);
    grid->ViewInfo()->Calculate();
    TRecordingCanvas rec(250, 200);
    TcxCanvas canvas(&rec);
    grid->Painter()->Paint(&canvas);
    ASSERT_EQ(rec.CountOf("FillRect"), 2) << "the details site's empty client, then what is left";
    EXPECT_EQ(rec.CountOf("DrawText"), 0);
    EXPECT_EQ(rec.CountOf("FrameRect"), 0) << "the root level has no frame";
}

}  // namespace

namespace {
TEST_F(GridTabsTest, LeftTabsPictureForAPerson)
{
    Grid->RootLevelOptions()->SetDetailTabsPosition(dtpLeft);
    Grid->RootLevelOptions()->SetDetailFrameWidth(2);
    Grid->LayoutChanged();
    GuiTest::ProcessEvents();
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(Grid, std::string(dir) + "/grid-left-tabs.png");
    auto* tabs = Tabs();
    ASSERT_EQ(tabs->Count(), 2);
    EXPECT_TRUE(tabs->IsVertical());
    // The active tab reaches the strip's edge; the other is 3 pixels in.
    EXPECT_EQ(tabs->Items(1)->Bounds.Left, tabs->Items(0)->Bounds.Left + 3);
    TRect client = Grid->ViewInfo()->DetailsSiteViewInfo()->GetClientBounds();
    EXPECT_EQ(client.Left, Grid->GetClientBounds().Left + tabs->Width() + 2);
    EXPECT_EQ(tabs->Width(),
              std::max(tabs->Items(0)->CalculateWidth(), tabs->Items(1)->CalculateWidth()) + 3 + 5);
}
}  // namespace

namespace {

class GridFocusTest : public GridTestBase {};

TEST_F(GridFocusTest, SiteFocusMakesItsViewFocusedAndTheGridFocused)
{
    TcxGridTestView* v1 = AddTopView("View1");
    TcxGridTestView* v2 = AddTopView("View2");
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    Grid->LayoutChanged();
    EXPECT_TRUE(v1->Site()->TabStop()) << "the focused view's site takes part in tabbing";
    Grid->SetGridTabStop(false);
    EXPECT_FALSE(v1->Site()->TabStop());
    Grid->SetGridTabStop(true);

    v1->Site()->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Grid->IsFocused()) << "a control inside the grid has the focus";
    EXPECT_TRUE(Grid->FocusFlag());
    EXPECT_TRUE(v1->IsControlFocused());

    // Focusing the grid window hands the focus to the focused view's site.
    Grid->SetFocusedView(v2);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->ActiveView(), v2);
    EXPECT_TRUE(v2->Site()->Focused()) << "the keyboard focus follows into the new view's site";
    EXPECT_TRUE(Grid->IsFocused());
}

TEST_F(GridFocusTest, NothingIsLaidOutWhileLoadingAndOnceAfter)
{
    AddTopView("View1");
    TakeLog();
    Grid->SetComponentStateFlag(csLoading, true);
    Grid->LayoutChanged();
    Grid->SizeChanged();
    EXPECT_TRUE(TakeLog().empty());
    Grid->SetComponentStateFlag(csLoading, false);
    Grid->Loaded();
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "layout:grid"), 1) << ::testing::PrintToString(log);
}

TEST_F(GridFocusTest, ViewsAreWrittenBeforeLevels)
{
    TcxGridLevel* level = nullptr;
    AddTopView("View1", &level);
    level->SetName("Level1");
    std::vector<std::string> children;
    Grid->GetChildren([&](TComponent* C) { children.push_back(C->Name()); }, Form);
    EXPECT_EQ(children, (std::vector<std::string>{"View1", "Level1"}));
}

TEST_F(GridFocusTest, InvalidatingViewsRecalculatesTheActiveOnes)
{
    TcxGridTestView* v1 = AddTopView("View1");
    AddTopView("View2");
    Grid->SetBounds(0, 0, 300, 200);
    TakeLog();
    Grid->InvalidateViews(true);
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "layout:View1"), 1) << ::testing::PrintToString(log);
    EXPECT_EQ(std::count(log.begin(), log.end(), "layout:View2"), 0) << "only the active level's views";
    (void)v1;
}

}  // namespace
