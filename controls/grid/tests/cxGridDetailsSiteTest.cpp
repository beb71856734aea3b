// The details site: sizes with and without a view, tabs and frame; the tab
// strips' geometry and borders; painting of the frame; activating tabs; and
// the view's site hidden or parked.
#include "GridTestBase.h"

#include "RecordingCanvas.h"
#include "cxGraphics.h"

#include <climits>
#include <memory>

namespace {

// A details site over a level of its own, measuring on a recording canvas.
class TTestSite : public TcxCustomGridDetailsSiteViewInfo {
public:
    TTestSite(TcxGridLevel* ALevel, TcxCanvas* ACanvas) : TcxCustomGridDetailsSiteViewInfo(ALevel), FCanvas(ACanvas) {}
    TcxCanvas* GetCanvas() override { return FCanvas; }
    TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() override
    {
        return TcxStandardLookAndFeelPainter::Instance();
    }
    int GetMaxHeight() override { return MaxHeight; }
    int GetMaxWidth() override { return MaxWidth; }
    int GetMaxNormalHeight() override { return MaxNormalHeight; }
    TcxCustomGridView* GetActiveGridViewValue() override { return nullptr; }
    TcxGridLevel* GetActiveLevel() override { return Active; }
    void InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest) override { AHitTest->Owner = this; }
    void SetActiveLevel(TcxGridLevel* ALevel) override { Activated.push_back(ALevel); }
    int MaxHeight = 500, MaxWidth = 400, MaxNormalHeight = INT_MAX;
    TcxGridLevel* Active = nullptr;
    std::vector<TcxGridLevel*> Activated;

private:
    TcxCanvas* FCanvas;
};

class GridDetailsSiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GridTesting::Init();
        Root = std::make_unique<TcxGridLevel>(nullptr);
        A = Root->Add();
        A->SetCaption("Orders");
        B = Root->Add();
        B->SetCaption("Payments and refunds");
    }
    std::unique_ptr<TTestSite> MakeSite(TcxGridDetailTabsPosition APosition, int AFrameWidth = 1)
    {
        Root->Options()->SetDetailTabsPosition(APosition);
        Root->Options()->SetDetailFrameWidth(AFrameWidth);
        auto site = std::make_unique<TTestSite>(Root.get(), &Canvas);
        site->AfterConstruction();
        return site;
    }
    int TabWidth(const std::string& AText) { return Canvas.TextWidth(AText) + 4 + 10; }
    TRecordingCanvas Rec{400, 300};
    TcxCanvas Canvas{&Rec};
    std::unique_ptr<TcxGridLevel> Root;
    TcxGridLevel* A = nullptr;
    TcxGridLevel* B = nullptr;
};

TEST_F(GridDetailsSiteTest, AnEmptySiteMeasuresTheEmptyClientPlusItsFrame)
{
    auto site = MakeSite(dtpNone, 1);
    EXPECT_EQ(site->TabsViewInfo(), nullptr);
    EXPECT_EQ(site->CalculateHeight(), 100 + 2);
    EXPECT_EQ(site->CalculateWidth(), 400) << "a site takes the whole width it may have";
    site->Calculate(10, 20);
    EXPECT_EQ(site->Bounds, (TRect{10, 20, 410, 122}));
    EXPECT_EQ(site->GetClientBounds(), (TRect{11, 21, 409, 121}));

    site->MaxHeight = 60;
    EXPECT_EQ(site->CalculateHeight(), 60) << "cut to the maximum";
    site->MaxNormalHeight = 80;
    site->MaxHeight = 500;
    site->CalculateHeight();
    EXPECT_EQ(site->NormalHeight, 102) << "the normal height is never below the result";
}

TEST_F(GridDetailsSiteTest, OneLeftTabMakesAStripOfItsWidthPlusFive)
{
    B->SetVisible(false);
    auto site = MakeSite(dtpLeft, 0);
    auto* tabs = site->TabsViewInfo();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->Count(), 1);
    int tabWidth = tabs->Items(0)->CalculateWidth();
    EXPECT_EQ(tabWidth, TabWidth("Orders") + 2) << "plus the standard painter's border of 1 on both sides";
    EXPECT_EQ(tabs->Width(), tabWidth + 5) << "the active-tab offset only counts from two tabs on";
    site->Calculate(0, 0);
    EXPECT_EQ(site->GetClientBounds().Left, tabs->Width());
}

TEST_F(GridDetailsSiteTest, TwoLeftTabsAddTheActiveTabOffsetAndBorderByNeighbour)
{
    auto site = MakeSite(dtpLeft, 1);
    site->Active = A;
    auto* tabs = site->TabsViewInfo();
    ASSERT_EQ(tabs->Count(), 2);
    int widest = std::max(tabs->Items(0)->CalculateWidth(), tabs->Items(1)->CalculateWidth());
    EXPECT_EQ(tabs->Width(), widest + 3 + 5);
    site->Calculate(0, 0);
    auto* active = tabs->Items(0);
    auto* other = tabs->Items(1);
    EXPECT_EQ(active->Borders, (TcxBorders{bLeft, bTop, bBottom}));
    EXPECT_EQ(other->Borders, (TcxBorders{bLeft, bRight, bBottom})) << "no top border under the active tab";
    EXPECT_EQ(active->Bounds.Top, 2 - 1) << "the first tab, when active, moves up by its border";
    EXPECT_EQ(other->Bounds.Left, active->Bounds.Left + 3);
    EXPECT_EQ(other->Bounds.Width(), active->Bounds.Width() - 3);
    EXPECT_EQ(other->Bounds.Top, active->Bounds.Bottom);
    EXPECT_EQ(site->CalculateHeight(), std::max(102, tabs->Height())) << "at least as high as the strip";
}

TEST_F(GridDetailsSiteTest, TopTabsWidenTheSiteAndSwapTheFormulas)
{
    auto site = MakeSite(dtpTop, 1);
    site->Active = B;
    auto* tabs = site->TabsViewInfo();
    site->MaxWidth = 50;
    int length = 4 + tabs->Items(0)->CalculateWidth() + tabs->Items(1)->CalculateWidth();
    EXPECT_EQ(tabs->Width(), length);
    EXPECT_EQ(tabs->Height(), std::max(tabs->Items(0)->CalculateHeight(), tabs->Items(1)->CalculateHeight()) + 2 + 5);
    EXPECT_EQ(tabs->Items(0)->GetBorders(), (TcxBorders{bLeft, bTop, bBottom}));
    EXPECT_EQ(tabs->Items(1)->GetBorders(), (TcxBorders{bLeft, bTop, bRight}));
}

TEST_F(GridDetailsSiteTest, ClickingATabActivatesItsLevelEvenWhenActive)
{
    auto site = MakeSite(dtpTop, 1);
    site->Active = A;
    site->Calculate(0, 0);
    TRect first = site->TabsViewInfo()->Items(0)->Bounds;
    TcxCustomGridHitTest* h = site->GetHitTest({first.Left + 2, first.Top + 2});
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(h->HitTestCode(), htTab);
    EXPECT_EQ(static_cast<TcxGridDetailsSiteTabHitTest*>(h)->Owner, site.get());
    h->ViewInfo->MouseDown(h, mbLeft, {});
    EXPECT_EQ(site->Activated, std::vector<TcxGridLevel*>{A});
    EXPECT_EQ(site->GetHitTest({399, 299}), nullptr) << "nothing shown there";
}

TEST_F(GridDetailsSiteTest, FrameIsDrawnOnlyWithAWidth)
{
    for (int width : {0, 2}) {
        auto site = MakeSite(dtpNone, width);
        site->Calculate(0, 0);
        Rec.Clear();
        site->Paint(&Canvas);
        EXPECT_EQ(Rec.CountOf("FrameRect") > 0 || Rec.CountOf("FillRect") > 1, width > 0) << width;
    }
}

// ---- the view's site shown, hidden and parked

class GridSiteVisibilityTest : public GridTestBase {};

TEST_F(GridSiteVisibilityTest, HidingTheFocusedSiteParksItInsteadOfRemovingIt)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* v1 = AddTopView("View1", &l1);
    TcxGridLevel* l2 = nullptr;
    TcxGridTestView* v2 = AddTopView("View2", &l2);
    Grid->SetBounds(0, 0, 300, 200);
    ShowForm();
    Grid->LayoutChanged();
    v1->Site()->SetFocus();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(v1->Site()->Focused());

    v1->ViewInfo()->DoUpdateSiteVisibility(false);
    EXPECT_EQ(v1->Site()->Parent(), Grid);
    EXPECT_EQ(v1->Site()->Left(), 30000);
    EXPECT_TRUE(v1->Site()->IsParked());
    v2->ViewInfo()->DoUpdateSiteVisibility(false);
    EXPECT_EQ(v2->Site()->Parent(), nullptr) << "a site without the focus leaves the window tree";
    (void)l2;
}

TEST_F(GridSiteVisibilityTest, ClearingADetailCacheClearsItsMasterRow)
{
    TcxGridLevel* l1 = nullptr;
    TcxGridTestView* master = AddTopView("View1", &l1);
    master->DataController()->SetRecordCount(3);
    TcxGridLevel* l2 = l1->Add();
    l2->SetGridView(GridTesting::MakeView(Grid, "Detail"));
    auto* clone = l2->CreateLinkObject(l2->DataRelation(), 2);
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->MasterGridRecordIndex(), 2);
    master->ViewInfoCache()->SetCount(3);
    EXPECT_FALSE(master->ViewInfoCache()->ItemExists(2));
    TakeLog();
    clone->ViewInfoCache()->UnassignValues(false);
    EXPECT_TRUE(master->ViewInfoCache()->ItemExists(2)) << "made to be cleared";
    clone->ViewInfoCache()->UnassignValues(true);
    FreeObject(clone);
}

}  // namespace
