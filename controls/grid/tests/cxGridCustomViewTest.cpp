// The view framework: shared hit tests, references, the site's size and
// events, the painter's focus rectangle and background; cells: their border
// rectangles, calculation and the normal/hot/pressed feedback; the view-info
// cache and background bitmaps.
#include "GridTestBase.h"

#include "RecordingCanvas.h"
#include "cxGraphics.h"

#include <memory>

namespace {

class GridViewTest : public GridTestBase {};

TEST_F(GridViewTest, HitTestsOfOneClassAreOneSharedObject)
{
    auto* a = TcxCustomGridHitTest::Instance<TcxGridNoneHitTest>({1, 2});
    auto* b = TcxCustomGridHitTest::Instance<TcxGridNoneHitTest>({7, 8});
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->Pos, (TPoint{7, 8})) << "the second request rewrites the position";
    auto* v = TcxCustomGridHitTest::Instance<TcxGridViewNoneHitTest>({0, 0});
    EXPECT_NE(static_cast<TcxCustomGridHitTest*>(v), static_cast<TcxCustomGridHitTest*>(a));
    EXPECT_EQ(v->HitTestCode(), 0);
}

TEST_F(GridViewTest, AHitTestOfAnotherViewIsNotHandled)
{
    TcxGridTestView* v1 = AddTopView("View1");
    TcxGridTestView* v2 = GridTesting::MakeView(Grid, "View2");
    auto* h = TcxCustomGridHitTest::Instance<TcxGridViewNoneHitTest>({0, 0});
    h->GridView = v2;
    EXPECT_FALSE(v1->Controller()->CanHandleHitTest(h));
    h->GridView = v1;
    EXPECT_TRUE(v1->Controller()->CanHandleHitTest(h));
    EXPECT_FALSE(v1->Controller()->StartDragAndDrop({0, 0})) << "nothing under the point drags";
}

TEST_F(GridViewTest, DestroyingAViewClearsTheRegisteredReferences)
{
    TcxGridTestView* view = AddTopView("View1");
    TcxCustomGridView* ref1 = view;
    TcxCustomGridView* ref2 = view;
    TcxCustomGridView* dropped = view;
    view->AddReference(&ref1);
    view->AddReference(&ref2);
    view->AddReference(&dropped);
    view->RemoveReference(&dropped);
    FreeObject(view);
    EXPECT_EQ(ref1, nullptr);
    EXPECT_EQ(ref2, nullptr);
    EXPECT_NE(dropped, nullptr);
}

TEST_F(GridViewTest, SiteEventsAreKeptByTheSite)
{
    TcxGridTestView* view = AddTopView("View1");
    int clicks = 0;
    view->SetOnDblClick([&](TObject*) { ++clicks; });
    ASSERT_TRUE(bool(view->Site()->OnDblClick));
    view->Site()->OnDblClick(view->Site());
    EXPECT_EQ(clicks, 1);
    view->SetDragMode(dmAutomatic);
    EXPECT_EQ(view->Site()->DragMode(), dmAutomatic);
    view->DestroyHandlers();
    view->CreateHandlers();
    EXPECT_FALSE(bool(view->OnDblClick())) << "gone with the old site";
}

TEST_F(GridViewTest, SiteResizeSendsASizeChangeOnlyAfterItsFirstSize)
{
    TcxGridTestView* view = AddTopView("View1");
    view->SizeDependent = true;
    Grid->SetBounds(0, 0, 300, 200);
    TcxGridSite* site = view->Site();
    // The grid sizes the site; the site itself asks for nothing the first time.
    auto* loose = static_cast<TcxGridTestView*>(TcxGridTestView::StaticClass()->Create(nullptr));
    loose->SetName("Loose");
    loose->Site()->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(loose->TestViewInfo()->CalculateCount, 0);
    FreeObject(loose);

    TakeLog();
    site->SetBounds(site->Left(), site->Top(), site->Width() + 10, site->Height());
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "calc:View1"), 1) << ::testing::PrintToString(log);
}

TEST_F(GridViewTest, ResizesDuringAScrollBarUpdateAreHandledOnceLater)
{
    TcxGridTestView* view = AddTopView("View1");
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    TcxGridSite* site = view->Site();
    ASSERT_TRUE(site->HandleAllocated());
    TakeLog();
    site->SizeChangedLater();
    site->SizeChangedLater();
    site->SizeChangedLater();
    EXPECT_TRUE(TakeLog().empty());
    GuiTest::ProcessEvents();
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "calc:View1"), 1) << ::testing::PrintToString(log);
}

TEST_F(GridViewTest, FocusRectIsInvertedFrameWhenTheGridHasNoFocus)
{
    TcxGridTestView* view = AddTopView("View1");
    TRecordingCanvas rec(50, 50);
    TcxCanvas canvas(&rec);
    view->Painter()->Paint(&canvas);   // binds the canvas
    rec.Clear();
    view->Painter()->DrawFocusRect({10, 10, 30, 20}, false);
    ASSERT_EQ(rec.CountOf("InvertRect"), 4);
    EXPECT_EQ(rec.CountOf("DrawFocusRect"), 0);
    rec.Clear();
    view->Painter()->DrawFocusRect({10, 10, 30, 20}, true);
    EXPECT_TRUE(rec.Ops().empty()) << "hidden when asked";
}

TEST_F(GridViewTest, UpdatesBracketTheGridAndTheDataController)
{
    TcxGridTestView* view = AddTopView("View1");
    view->BeginUpdate();
    EXPECT_TRUE(Grid->IsUpdateLocked());
    EXPECT_EQ(view->DataController()->GetLockCount(), 1);
    view->EndUpdate();
    EXPECT_FALSE(Grid->IsUpdateLocked());
    EXPECT_EQ(view->DataController()->GetLockCount(), 0);
}

TEST_F(GridViewTest, ViewsAreRegisteredUnderTheirNames)
{
    TcxRegisteredClasses* views = cxGridCustomView::cxGridRegisteredViews();
    views->Register(TcxGridTestView::StaticClass(), "Test");
    EXPECT_EQ(views->GetDescription(views->IndexOfClass(TcxGridTestView::StaticClass())), "Test");
    EXPECT_EQ(GetClass("TcxGridTestView"), TcxGridTestView::StaticClass());
    views->Unregister(TcxGridTestView::StaticClass());
}

// ---- cells

// A cell with fixed sizes and borders, optionally hot-tracking or a check box.
class TTestCell : public TcxCustomGridCellViewInfo {
public:
    int CalculateHeight() override
    {
        ++HeightCalls;
        return 18;
    }
    int CalculateWidth() override
    {
        ++WidthCalls;
        return 40;
    }
    int GetBorderWidth(TcxBorder) override { return 1; }
    TColor GetBorderColor(TcxBorder) override { return clBlack; }
    TcxBorders GetBorders() override { return CellBorders; }
    TClass GetHitTestClass() override { return TcxGridNoneHitTest::StaticClass(); }
    bool GetHotTrack() override { return HotTrack; }
    bool GetIsCheck() override { return IsCheck; }
    void Click() override { ++Clicks; }
    bool InvalidateOnStateChange() override { return false; }
    TcxCanvas* GetCanvas() override { return Canvas; }
    std::string GetText() override { return "Cell"; }
    void GetViewParams(TcxViewParams& AParams) override { AParams.Color = clYellow; }
    bool HasCustomDraw() override { return bool(OnCustomDraw); }
    bool CustomDraw(TcxCanvas* ACanvas) override { return OnCustomDraw(ACanvas); }
    TcxBorders CellBorders;
    bool HotTrack = true, IsCheck = false;
    int Clicks = 0, HeightCalls = 0, WidthCalls = 0;
    TcxCanvas* Canvas = nullptr;
    std::function<bool(TcxCanvas*)> OnCustomDraw;
};

TEST(GridCellTest, VerticalBordersCoverTheCorners)
{
    TTestCell cell;
    cell.CellBorders = {bLeft, bTop};
    cell.Calculate(10, 20, 50, 18);
    TRect left, top;
    cell.GetBorderBounds(bLeft, left);
    cell.GetBorderBounds(bTop, top);
    EXPECT_EQ(cell.ContentBounds(), (TRect{11, 21, 60, 38}));
    EXPECT_EQ(left, (TRect{10, 20, 11, 38})) << "one pixel higher than the content";
    EXPECT_EQ(top, (TRect{11, 20, 60, 21}));
}

TEST(GridCellTest, CalculateMeasuresOnlyWhatIsNotGiven)
{
    TTestCell fixed;
    fixed.Calculate(10, 20, 50, 18);
    EXPECT_EQ(fixed.HeightCalls, 0);
    EXPECT_EQ(fixed.WidthCalls, 1) << "once, as the values are taken";
    TTestCell measured;
    measured.Calculate(10, 20);
    EXPECT_EQ(measured.Bounds, (TRect{10, 20, 50, 38}));
    EXPECT_EQ(measured.HeightCalls, 1);
    EXPECT_EQ(measured.Text, "Cell");
}

struct TStateCase {
    const char* Name;
    bool IsCheck;
    // p: press inside, r: release inside, o: release outside, m: move inside, x: move outside
    const char* Steps;
    const char* States;   // n, h, p after each step
    int Clicks;
};

class GridCellStateTable : public ::testing::TestWithParam<TStateCase> {};

TEST_P(GridCellStateTable, FollowsTheMouse)
{
    const TStateCase& c = GetParam();
    TTestCell cell;
    cell.IsCheck = c.IsCheck;
    cell.Calculate(0, 0, 40, 18);
    auto* inside = cell.GetHitTest({5, 5});
    ASSERT_NE(inside, nullptr);
    std::string states;
    for (const char* s = c.Steps; *s; ++s) {
        TcxCustomGridHitTest* h = (*s == 'o' || *s == 'x') ? nullptr : inside;
        if (!h) {
            h = TcxCustomGridHitTest::Instance<TcxGridViewNoneHitTest>({100, 100});
            h->ViewInfo = nullptr;
        } else {
            h = cell.GetHitTest({5, 5});
        }
        switch (*s) {
        case 'p': cell.MouseDown(h, mbLeft, {}); break;
        case 'r':
        case 'o': cell.MouseUp(h, mbLeft, {}); break;
        default: cell.MouseMove(h, {}); break;
        }
        states += "nhp"[cell.State()];
    }
    EXPECT_EQ(states, c.States);
    EXPECT_EQ(cell.Clicks, c.Clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridCellStateTable,
    ::testing::Values(TStateCase{"PlainClick", false, "mpr", "hpn", 1},
                      TStateCase{"PlainReleasedOutside", false, "mpo", "hpn", 0},
                      TStateCase{"PlainMoveOutWithoutCapture", false, "mx", "hn", 0},
                      TStateCase{"CheckPressReleasePress", true, "mprp", "hpph", 0},
                      TStateCase{"CheckPressedIgnoresMoves", true, "mpm", "hpp", 0}),
    [](const ::testing::TestParamInfo<TStateCase>& info) { return std::string(info.param.Name); });

TEST(GridCellTest, ACellThatDoesNotTrackIgnoresTheMouse)
{
    TTestCell cell;
    cell.HotTrack = false;
    cell.Calculate(0, 0, 40, 18);
    EXPECT_FALSE(cell.MouseDown(cell.GetHitTest({1, 1}), mbLeft, {}));
    EXPECT_EQ(cell.State(), gcsNormal);
    EXPECT_EQ(cell.GetHitTest({50, 50}), nullptr) << "outside the bounds";
}

TEST(GridCellTest, CustomDrawColourLastsForOnePaint)
{
    TRecordingCanvas rec(60, 30);
    TcxCanvas canvas(&rec);
    TTestCell cell;
    cell.Canvas = &canvas;
    cell.Calculate(0, 0, 40, 18);
    cell.OnCustomDraw = [](TcxCanvas* c) {
        c->SetBrushColor(clRed);
        return false;
    };
    cell.Paint(&canvas);
    const TCanvasOp* fill = rec.Find("FillRect");
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->Color, ColorToRGB(clRed));
    EXPECT_EQ(cell.Params.Color, clYellow) << "the style's colour is back";
    rec.Clear();
    cell.OnCustomDraw = nullptr;
    cell.Paint(&canvas);
    fill = rec.Find("FillRect");
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->Color, ColorToRGB(clYellow));
}

TEST(GridCellTest, DrawTextFlagsFollowAlignmentAndLines)
{
    TTestCell cell;
    cell.AlignmentHorz = taRightJustify;
    cell.AlignmentVert = vaCenter;
    EXPECT_EQ(cell.GetDrawTextFlags(true), ctfRight | ctfCenterV | ctfSingleLine);
    cell.MultiLinePainting = true;
    EXPECT_EQ(cell.GetDrawTextFlags(true), ctfRight | ctfCenterV | ctfWordBreak);
    EXPECT_EQ(cell.GetDrawTextFlags(false), ctfRight | ctfCenterV | ctfSingleLine) << "measuring follows MultiLine";
}

// ---- view cells and hints

class TTestViewCell : public TcxCustomGridViewCellViewInfo {
public:
    using TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo;
    int CalculateHeight() override { return 18; }
    int CalculateWidth() override { return 40; }
    int GetBorderWidth(TcxBorder) override { return 0; }
    TColor GetBorderColor(TcxBorder) override { return clBlack; }
    TClass GetHitTestClass() override { return TcxGridViewNoneHitTest::StaticClass(); }
    bool GetHotTrack() override { return true; }
    bool IsHotTrackOnCalculate() override { return true; }
};

TEST_F(GridViewTest, AHotTrackingCellUnderTheMouseIsHotRightAfterItsLayout)
{
    TcxGridTestView* view = AddTopView("View1");
    TcxCustomGridViewInfo* vi = view->ViewInfo();
    {
        TTestViewCell under(vi), elsewhere(vi);
        EXPECT_TRUE(vi->HasCell(&under));
        vi->SetMousePos({5, 5});
        under.Calculate(0, 0);
        elsewhere.Calculate(100, 0);
        EXPECT_EQ(under.State(), gcsHot);
        EXPECT_EQ(elsewhere.State(), gcsNormal);
        under.BeforeDestruction();
        EXPECT_EQ(under.State(), gcsNormal) << "a cell that goes ends normal";
    }
    TTestViewCell later(vi);
    EXPECT_TRUE(vi->HasCell(&later));
}

TEST_F(GridViewTest, AHintForTheSameTextAndPlaceIsShownOnce)
{
    TcxGridTestView* view = AddTopView("View1");
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    Grid->LayoutChanged();
    TcxCustomGridController* c = view->Controller();
    c->ShowHint({0, 0, 80, 20}, {2, 2, 78, 18}, "A long cell text", nullptr, false);
    THintWindow* hint = c->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->Active());
    TRect shown = hint->BoundsRect();
    TPoint origin = view->Site()->ClientToScreen({2, 2});
    EXPECT_LE(std::abs(shown.Left - origin.X), 4) << "over the text, less the hint's border";
    c->ShowHint({0, 0, 80, 20}, {2, 2, 78, 18}, "A long cell text", nullptr, false);
    EXPECT_EQ(c->HintWindow(), hint);
    EXPECT_EQ(hint->BoundsRect(), shown);
    c->MouseLeave();
    EXPECT_EQ(c->HintWindow(), nullptr) << "leaving the tracked rectangle frees the hint";
}

// ---- cache and bitmaps

class TCountingCacheItem : public TcxCustomGridViewInfoCacheItem {
public:
    using TcxCustomGridViewInfoCacheItem::TcxCustomGridViewInfoCacheItem;
    void UnassignValues(bool) override { ++Unassigned; }
    int Unassigned = 0;
};

class TCountingCache : public TcxCustomGridViewInfoCache {
public:
    using TcxCustomGridViewInfoCache::TcxCustomGridViewInfoCache;
    TcxCustomGridViewInfoCacheItemClass GetItemClass() override
    {
        return TcxCustomGridViewInfoCacheItemClass::Of<TCountingCacheItem>();
    }
};

TEST_F(GridViewTest, CacheItemsAreMadeOnFirstUseAndSetCountFreesThem)
{
    TcxGridTestView* view = AddTopView("View1");
    TCountingCache cache(view);
    cache.SetCount(3);
    EXPECT_FALSE(cache.ItemExists(1));
    auto* item = static_cast<TCountingCacheItem*>(cache.Items(1));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Index(), 1);
    EXPECT_EQ(cache.Items(3), nullptr);
    cache.UnassignValues(true);
    EXPECT_EQ(item->Unassigned, 1);
    cache.SetCount(2);
    EXPECT_FALSE(cache.ItemExists(1));
}

TEST_F(GridViewTest, BackgroundBitmapFallsBackToTheStyle)
{
    TcxGridTestView* view = AddTopView("View1");
    EXPECT_EQ(view->BackgroundBitmaps()->GetBitmap(0), nullptr);
    TcxStyle style(nullptr);
    TBitmap picture;
    picture.SetWidth(4);
    picture.SetHeight(4);
    style.SetBitmap(&picture);
    view->Styles()->SetBackground(&style);
    TBitmap* fromStyle = view->BackgroundBitmaps()->GetBitmap(0);
    ASSERT_NE(fromStyle, nullptr);
    EXPECT_EQ(fromStyle, style.Bitmap());
    view->BackgroundBitmaps()->SetBackground(&picture);
    EXPECT_EQ(view->BackgroundBitmaps()->GetBitmap(0), view->BackgroundBitmaps()->Background());
    view->Styles()->SetBackground(nullptr);
}

TEST_F(GridViewTest, BackgroundColourIsTheContentColour)
{
    TcxGridTestView* view = AddTopView("View1");
    EXPECT_EQ(view->ViewInfo()->GetBackgroundColor(), clWindow);
}

}  // namespace
