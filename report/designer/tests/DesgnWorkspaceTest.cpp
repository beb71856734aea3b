// The design surface: band stacking and re-parenting, the caption and gap
// sizes per grid kind, grouping, deleting, painting, and mouse and key input
// driven through synthetic events on an offscreen surface.
#include "Forms.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxDesgnWorkspace.h"
#include "SurfaceFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double Mm = 3.77953;

struct Surface : TSurfaceFixture<TfrxDesignerWorkspace> {
    std::vector<TfrxRect> Positions;
    int Inserts = 0, Modifies = 0, Edits = 0;

    Surface()
    {
        Ws->OnPositionChanged = [this](TObject*, const TfrxRect& r) { Positions.push_back(r); };
        Ws->OnInsert = [this](TObject*) { ++Inserts; };
        Ws->OnModify = [this](TObject*) { ++Modifies; };
        Ws->OnEdit = [this](TObject*) { ++Edits; };
        Form.Show();
    }
    void Select(std::initializer_list<TfrxComponent*> cs)
    {
        Selected.Clear();
        for (TfrxComponent* c : cs) Selected.Add(c);
        if (Selected.Count() == 0) Selected.Add(Page);
    }
    TfrxComponent* Sel(int i) const { return static_cast<TfrxComponent*>(Selected.Items(i)); }
    // A move with shift keys held. The synthetic move carries no keyboard
    // state, so moves with modifiers go straight to the surface's handler.
    void Move(TPoint p, TShiftState shift = {})
    {
        if (shift.Empty()) GuiTest::MouseMove(Ws, p);
        else Ws->DoMouseMove(shift, p.X, p.Y);
    }
    // Hover, press, drag (with the shift keys given) and release as the
    // mouse does them. The hover comes from a pixel off, as a repeated move
    // to one point is dropped.
    void Drag(TPoint from, TPoint to, TShiftState shift = {})
    {
        Move(::Point(from.X - 1, from.Y - 1));
        Move(from);
        GuiTest::MouseDown(Ws, mbLeft, from);
        Move(to, shift);
        GuiTest::MouseUp(Ws, mbLeft, to);
    }
};

// ---- band stacking ----------------------------------------------------------------------------

TEST(WorkspaceBands, ArrangeStacksSortsAndReparents)
{
    struct Case {
        const char* Name;
        TfrxGridType Grid;
        double GridY;
        bool Captions, TitleBeforeHeader, FreeBands;
        int Gap;
        std::vector<std::string> Order;   // band names, top to bottom
        std::vector<double> Tops;
    };
    const Case cases[] = {
        // A data band placed below the page footer still ends above it.
        {"title first", gtCm, Mm, true, true, false, 4, {"RT", "PH", "MD", "PF"},
         {18.89765, 71.81107, 162.51979, 253.22851}},
        {"header first", gtCm, Mm, true, false, false, 4, {"PH", "RT", "MD", "PF"},
         {18.89765, 71.81107, 162.51979, 253.22851}},
        {"no captions", gtCm, Mm, false, true, false, 0, {"RT", "PH", "MD", "PF"},
         {0, 30.23624, 98.26778, 166.29932}},
        {"chars", gtChar, 17, true, true, false, 4, {"RT", "PH", "MD", "PF"}, {17, 68, 136, 204}},
        // Free bands keep their places; only the order of the list changes.
        {"free", gtCm, Mm, true, true, true, 4, {"PH", "RT", "PF", "MD"}, {10, 60, 400, 500}},
    };
    for (const Case& c : cases) {
        Surface s;
        auto* ph = s.Add<TfrxPageHeader>(s.Page, "PH", 0, 10, 700, 30);
        auto* rt = s.Add<TfrxReportTitle>(s.Page, "RT", 0, 60, 700, 30);
        auto* pf = s.Add<TfrxPageFooter>(s.Page, "PF", 0, 400, 700, 30);
        auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 500, 700, 30);
        auto* memo = s.Add<TfrxMemoView>(md, "Memo1", 10, 5, 50, 10);
        s.Fill();
        s.Page->TitleBeforeHeader = c.TitleBeforeHeader;
        s.Ws->GridY = c.GridY;
        s.Ws->BandsGap = c.Gap;
        s.Ws->FreeBands = c.FreeBands;
        s.Ws->SetShowBandCaptions(c.Captions);
        s.Ws->SetGridType(c.Grid);
        std::map<std::string, TfrxBand*> byName{{"PH", ph}, {"RT", rt}, {"PF", pf}, {"MD", md}};
        for (size_t i = 0; i < c.Order.size(); ++i)
            EXPECT_NEAR(byName[c.Order[i]]->Top(), c.Tops[i], 1e-8) << c.Name << " " << c.Order[i];
        // The band's memo travels with it.
        EXPECT_EQ(memo->Parent(), md) << c.Name;
        EXPECT_NEAR(memo->Top(), 5, 1e-8) << c.Name;
        // Bands come first in the list, in their previous order.
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(DynamicCast<TfrxBand>(static_cast<TObject*>(s.Objects.Items(i)))) << c.Name;
        EXPECT_EQ(s.Objects.Items(0), ph) << c.Name;
    }
}

TEST(WorkspaceBands, MemoFollowsItsBandAndLeavesItWhenOutside)
{
    Surface s;
    auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 100, 700, 40);
    auto* memo = s.Add<TfrxMemoView>(md, "Memo1", 10, 5, 50, 10);
    s.Fill();
    s.Ws->ArrangeBands();   // the band moves to the top; its memo moves with it
    EXPECT_EQ(memo->Parent(), md);
    EXPECT_DOUBLE_EQ(memo->Top(), 5);
    EXPECT_DOUBLE_EQ(md->Top(), 0);
    // Pulled below the band the memo returns to the page at its absolute top.
    memo->SetTop(100);
    s.Ws->ArrangeBands();
    EXPECT_EQ(memo->Parent(), s.Page);
    EXPECT_DOUBLE_EQ(memo->Top(), 100);
}

TEST(WorkspaceBands, CaptionHeightGapAndKeyStepPerGrid)
{
    struct Case { TfrxGridType Grid; double Caption, Gap, StepX, StepY; };
    const Case cases[] = {
        {gtPixels, 16, 40, 1, 1}, {gtCm, 18.89765, 37.7953, 1, 1}, {gtInch, 19.2, 38.4, 1, 1},
        {gtDialog, 16, 0, 1, 1}, {gtChar, 17, 17, 9.6, 17},
    };
    Surface s;
    s.Fill();
    for (const Case& c : cases) {
        s.Ws->SetShowBandCaptions(true);
        s.Ws->SetGridType(c.Grid);
        EXPECT_DOUBLE_EQ(s.Ws->BandCaptionHeight(), c.Caption) << c.Grid;
        EXPECT_DOUBLE_EQ(s.Ws->BandGroupGap(), c.Gap) << c.Grid;
        EXPECT_DOUBLE_EQ(s.Ws->KeyStep().X, c.StepX) << c.Grid;
        EXPECT_DOUBLE_EQ(s.Ws->KeyStep().Y, c.StepY) << c.Grid;
        s.Ws->SetShowBandCaptions(false);
        EXPECT_DOUBLE_EQ(s.Ws->BandCaptionHeight(), 0) << c.Grid;
    }
}

TEST(WorkspaceBands, FittingGrowsTheBandAndMovesChildrenDown)
{
    Surface s;
    auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 100, 700, 40);
    auto* a = s.Add<TfrxMemoView>(md, "A", 0, 30, 50, 30);    // reaches 60
    auto* b = s.Add<TfrxMemoView>(md, "B", 0, -10, 50, 10);   // 10 above the top
    s.Ws->FitBandToChildren(md);
    EXPECT_DOUBLE_EQ(md->Height(), 70);
    EXPECT_DOUBLE_EQ(a->Top(), 40);
    EXPECT_DOUBLE_EQ(b->Top(), 0);
}

// ---- selection, grouping, deleting --------------------------------------------------------------

TEST(WorkspaceSelection, CountBoundsAndAnchor)
{
    Surface s;
    auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 100, 700, 40);
    auto* a = s.Add<TfrxMemoView>(md, "A", 10, 5, 50, 20);
    auto* b = s.Add<TfrxMemoView>(s.Page, "B", 200, 300, 60, 10);
    auto* c = s.Add<TfrxMemoView>(s.Page, "C", 220, 250, 40, 60);   // same right edge, same bottom
    s.Fill();
    EXPECT_EQ(s.Ws->SelectionCount(), 0);   // the page alone
    s.Select({&s.Report});
    EXPECT_EQ(s.Ws->SelectionCount(), 0);
    s.Select({a});
    TfrxRect r = s.Ws->SelectionBounds();   // one object: relative to its band
    EXPECT_DOUBLE_EQ(r.Left, 10);
    EXPECT_DOUBLE_EQ(r.Top, 5);
    s.Select({a, b, c});
    r = s.Ws->SelectionBounds();
    EXPECT_DOUBLE_EQ(r.Left, 10);
    EXPECT_DOUBLE_EQ(r.Top, 105);
    EXPECT_DOUBLE_EQ(r.Right, 250);    // width
    EXPECT_DOUBLE_EQ(r.Bottom, 205);   // height
    EXPECT_EQ(s.Ws->GroupAnchor(), b);   // exact tie: the earlier one
}

TEST(WorkspaceSelection, GroupingTakesTheSmallestFreeIndexAndPullsMembers)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 0, 0, 10, 10);
    auto* b = s.Add<TfrxMemoView>(s.Page, "B", 20, 0, 10, 10);
    auto* c = s.Add<TfrxMemoView>(s.Page, "C", 40, 0, 10, 10);
    auto* d = s.Add<TfrxMemoView>(s.Page, "D", 60, 0, 10, 10);
    s.Fill();
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    c->SetGroupIndex(3);
    s.Select({a, b});
    s.Ws->GroupSelection();
    EXPECT_EQ(a->GroupIndex(), 1);   // its own index was freed first
    s.Select({d});
    s.Ws->GroupSelection();
    EXPECT_EQ(d->GroupIndex(), 2);
    s.Select({b});
    s.Ws->SelectionChanged();
    EXPECT_EQ(s.Selected.Count(), 2);
    EXPECT_GE(s.Selected.IndexOf(a), 0);
    s.Ws->UngroupSelection();
    EXPECT_EQ(a->GroupIndex(), 0);
    EXPECT_EQ(b->GroupIndex(), 0);
}

TEST(WorkspaceSelection, DeleteKeepsUndeletableObjectsAndFreesBandsWithTheirChildren)
{
    Surface s;
    auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 100, 700, 40);
    auto* a = s.Add<TfrxMemoView>(md, "A", 10, 5, 50, 20);
    auto* keep = s.Add<TfrxMemoView>(s.Page, "Keep", 10, 300, 50, 20);
    keep->SetRestrictions({rfDontDelete});
    auto* gone = s.Add<TfrxMemoView>(s.Page, "Gone", 100, 300, 50, 20);
    s.Fill();
    s.Select({keep, gone});
    s.Ws->DeleteSelection();
    ASSERT_EQ(s.Selected.Count(), 1);
    EXPECT_EQ(s.Sel(0), keep);
    EXPECT_EQ(s.Objects.IndexOf(gone), -1);
    EXPECT_EQ(s.Modifies, 1);
    // The band and its separately selected child: both go, each freed once.
    s.Select({a, md});
    s.Ws->DeleteSelection();
    EXPECT_EQ(s.Objects.IndexOf(a), -1);
    EXPECT_EQ(s.Objects.IndexOf(md), -1);
    EXPECT_EQ(s.Page->FindObject("MD"), nullptr);
    EXPECT_EQ(s.Sel(0), s.Page);
    // Nothing selected: nothing happens.
    s.Ws->DeleteSelection();
    EXPECT_EQ(s.Modifies, 2);
}

TEST(WorkspaceSelection, HandleMirroring)
{
    using frxDesgnWorkspace::MirrorHandle;
    EXPECT_EQ(MirrorHandle(hkTopLeft, true, true), hkBottomRight);
    EXPECT_EQ(MirrorHandle(hkTopLeft, true, false), hkTopRight);
    EXPECT_EQ(MirrorHandle(hkBottomRight, false, true), hkTopRight);
    EXPECT_EQ(MirrorHandle(hkBottomLeft, true, true), hkTopRight);
    EXPECT_EQ(MirrorHandle(hkRight, true, false), hkLeft);
    EXPECT_EQ(MirrorHandle(hkRight, false, true), hkRight);
    EXPECT_EQ(MirrorHandle(hkTop, false, true), hkBottom);
}

// ---- mouse ------------------------------------------------------------------------------------

TEST(WorkspaceMouse, DragStepsSnapToTheGridAndAltInvertsIt)
{
    struct Case { int Dx; TShiftState Shift; double Moved; };
    const Case cases[] = {
        {3, {}, 0}, {4, {}, Mm}, {8, {}, 2 * Mm}, {-4, {}, -Mm}, {4, {ssAlt}, 4}, {3, {ssAlt}, 3},
    };
    for (const Case& c : cases) {
        Surface s;
        auto* m = s.Add<TfrxMemoView>(s.Page, "M", 100, 400, 80, 40);
        s.Fill();
        s.Select({m});
        s.Drag(::Point(140, 420), ::Point(140 + c.Dx, 420), c.Shift);
        EXPECT_NEAR(m->Left(), 100 + c.Moved, 1e-8) << c.Dx << " alt " << c.Shift.Contains(ssAlt);
        EXPECT_DOUBLE_EQ(m->Top(), 400);
        EXPECT_EQ(s.Ws->Mode(), wmIdle);
        EXPECT_EQ(s.Modifies, c.Moved != 0 ? 1 : 0);
    }
}

TEST(WorkspaceMouse, ResizePastTheCornerFlipsTheHandle)
{
    Surface s;
    s.Ws->GridAlign = false;
    auto* m = s.Add<TfrxMemoView>(s.Page, "M", 100, 400, 50, 30);
    s.Fill();
    s.Select({m});
    GuiTest::MouseMove(s.Ws, ::Point(101, 401));
    EXPECT_EQ(s.Ws->Mode(), wmResize);
    EXPECT_EQ(s.Ws->HandleKind(), hkTopLeft);
    EXPECT_EQ(s.Ws->Cursor(), crSizeNWSE);
    GuiTest::MouseDown(s.Ws, mbLeft, ::Point(101, 401));
    GuiTest::MouseMove(s.Ws, ::Point(171, 451));
    EXPECT_EQ(s.Ws->HandleKind(), hkBottomRight);
    EXPECT_DOUBLE_EQ(m->Left(), 150);
    EXPECT_DOUBLE_EQ(m->Width(), 20);
    EXPECT_DOUBLE_EQ(m->Top(), 430);
    EXPECT_DOUBLE_EQ(m->Height(), 20);
    // The drag goes on smoothly with the mirrored handle.
    GuiTest::MouseMove(s.Ws, ::Point(181, 461));
    GuiTest::MouseUp(s.Ws, mbLeft, ::Point(181, 461));
    EXPECT_DOUBLE_EQ(m->Width(), 30);
    EXPECT_DOUBLE_EQ(m->Height(), 30);
    EXPECT_EQ(s.Ws->HandleKind(), hkNone);
}

TEST(WorkspaceMouse, GroupResizeOfLinesInOneRowStaysFinite)
{
    Surface s;
    s.Ws->GridAlign = false;
    auto* a = s.Add<TfrxLineView>(s.Page, "L1", 50, 600, 100, 0);
    auto* b = s.Add<TfrxLineView>(s.Page, "L2", 200, 600, 100, 0);
    s.Fill();
    s.Select({a, b});
    GuiTest::MouseMove(s.Ws, ::Point(300, 600));
    ASSERT_EQ(s.Ws->Mode(), wmResizeGroup);
    GuiTest::MouseDown(s.Ws, mbLeft, ::Point(300, 600));
    GuiTest::MouseMove(s.Ws, ::Point(350, 610));
    ASSERT_FALSE(s.Positions.empty());
    const TfrxRect r = s.Positions.back();   // group width, height, factors
    EXPECT_DOUBLE_EQ(r.Left, 300);
    EXPECT_DOUBLE_EQ(r.Top, 10);
    EXPECT_DOUBLE_EQ(r.Right, 1.2);
    EXPECT_DOUBLE_EQ(r.Bottom, 1);   // zero start height: the factor stays 1
    GuiTest::MouseUp(s.Ws, mbLeft, ::Point(350, 610));
    for (TfrxComponent* l : {static_cast<TfrxComponent*>(a), static_cast<TfrxComponent*>(b)}) {
        EXPECT_TRUE(std::isfinite(l->Top()) && std::isfinite(l->Height()));
        EXPECT_DOUBLE_EQ(l->Top(), 600);
        EXPECT_DOUBLE_EQ(l->Height(), 0);
        EXPECT_DOUBLE_EQ(l->Width(), 120);
    }
    EXPECT_DOUBLE_EQ(b->Left(), 230);
}

TEST(WorkspaceMouse, ClicksSelectShiftTogglesAndRubberBandSelects)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 100, 400, 50, 30);
    auto* b = s.Add<TfrxMemoView>(s.Page, "B", 200, 400, 50, 30);
    auto* c = s.Add<TfrxMemoView>(s.Page, "C", 100, 500, 50, 30);
    s.Fill();
    GuiTest::Click(s.Ws, ::Point(120, 410));
    ASSERT_EQ(s.Selected.Count(), 1);
    EXPECT_EQ(s.Sel(0), a);
    GuiTest::Click(s.Ws, ::Point(220, 410), mbLeft, {ssShift});
    EXPECT_EQ(s.Selected.Count(), 2);
    // Pressing on one of several selected keeps them all, and drags them all.
    s.Drag(::Point(120, 410), ::Point(128, 410));
    EXPECT_EQ(s.Selected.Count(), 2);
    EXPECT_NEAR(a->Left(), 100 + 2 * Mm, 1e-8);
    EXPECT_NEAR(b->Left(), 200 + 2 * Mm, 1e-8);
    // Shift-click on the only selected object leaves the page selected.
    s.Select({c});
    GuiTest::Click(s.Ws, ::Point(120, 510), mbLeft, {ssShift});
    EXPECT_EQ(s.Sel(0), s.Page);
    EXPECT_EQ(s.Ws->SelectionCount(), 0);
    // A rubber band from empty space takes what it touches, edges included.
    s.Drag(::Point(50, 350), ::Point(110, 400));
    ASSERT_EQ(s.Selected.Count(), 1);
    EXPECT_EQ(s.Sel(0), a);
    s.Drag(::Point(600, 800), ::Point(650, 850));
    EXPECT_EQ(s.Sel(0), s.Page);
    EXPECT_EQ(s.Ws->Mode(), wmIdle);
}

TEST(WorkspaceMouse, PlacingAnObject)
{
    struct Case { const char* Name; bool Align; int Drag; double W, H; };
    const Case cases[] = {
        {"click", true, 0, 94.5, 18.9},
        {"drag 2, snapped", true, 2, 94.5, 18.9},   // the step never comes
        {"drag 2, free", false, 2, 94.5, 18.9},     // too small: default size
        {"drag 30, snapped", true, 30, 8 * Mm, 8 * Mm},
    };
    for (const Case& c : cases) {
        Surface s;
        s.Ws->GridAlign = c.Align;
        s.Fill();
        s.Ws->SetInsertion(TfrxMemoView::StaticClass(), 0, 94.5, 18.9);
        EXPECT_EQ(s.Ws->Mode(), wmPlaceObject);
        EXPECT_EQ(s.Ws->Cursor(), crCross);
        EXPECT_LT(s.Ws->Insertion().Left, -1000);   // parked out of sight
        s.Drag(::Point(40, 40), ::Point(40 + c.Drag, 40 + c.Drag));
        ASSERT_EQ(s.Inserts, 1) << c.Name;
        const TfrxInsertion& in = s.Ws->Insertion();
        const double origin = c.Align ? 10 * Mm : 40;   // snapped from the parked origin
        EXPECT_NEAR(in.Left, origin, 1e-8) << c.Name;
        EXPECT_NEAR(in.Top, origin, 1e-8) << c.Name;
        EXPECT_NEAR(in.Width, c.W, 1e-8) << c.Name;
        EXPECT_NEAR(in.Height, c.H, 1e-8) << c.Name;
        EXPECT_EQ(s.Ws->Mode(), wmPlaceObject) << c.Name;   // stays armed until the window disarms it
        s.Ws->SetInsertion(nullptr, 0, 0, 0);
        EXPECT_EQ(s.Ws->Mode(), wmIdle);
    }
}

TEST(WorkspaceMouse, PlacingAStraightLineKeepsItsDominantAxis)
{
    Surface s;
    s.Ws->GridAlign = false;
    s.Fill();
    s.Ws->SetInsertion(TfrxLineView::StaticClass(), 0, 0, 0);
    EXPECT_EQ(s.Ws->Mode(), wmPlaceLine);
    EXPECT_EQ(s.Ws->Cursor(), crPencil);
    s.Drag(::Point(100, 100), ::Point(40, 110));   // leftwards, a little down
    const TfrxInsertion& in = s.Ws->Insertion();
    EXPECT_DOUBLE_EQ(in.Left, 40);
    EXPECT_DOUBLE_EQ(in.Top, 100);
    EXPECT_DOUBLE_EQ(in.Width, 60);
    EXPECT_DOUBLE_EQ(in.Height, 0);
}

TEST(WorkspaceMouse, BandEdgeHoverAndResize)
{
    Surface s;
    s.Ws->GridAlign = false;
    auto* md = s.Add<TfrxMasterData>(s.Page, "MD", 0, 0, 700, 40);
    s.Fill();
    GuiTest::MouseMove(s.Ws, ::Point(300, 41));
    EXPECT_EQ(s.Ws->Mode(), wmResizeBand);
    EXPECT_EQ(s.Ws->SizedBand(), md);
    EXPECT_EQ(s.Ws->Cursor(), crVSplit);
    GuiTest::MouseDown(s.Ws, mbLeft, ::Point(300, 41));
    GuiTest::MouseMove(s.Ws, ::Point(300, 61));
    GuiTest::MouseUp(s.Ws, mbLeft, ::Point(300, 61));
    EXPECT_DOUBLE_EQ(md->Height(), 60);
    EXPECT_EQ(s.Modifies, 1);
}

TEST(WorkspaceMouse, LockedIgnoresInputAndDoubleClickEdits)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 100, 400, 50, 30);
    s.Fill();
    s.Ws->Lock();
    GuiTest::Click(s.Ws, ::Point(120, 410));
    EXPECT_EQ(s.Sel(0), s.Page);
    s.Ws->Unlock();
    GuiTest::DoubleClick(s.Ws, ::Point(120, 410));
    EXPECT_EQ(s.Sel(0), a);
    EXPECT_EQ(s.Edits, 1);
}

// ---- keyboard ---------------------------------------------------------------------------------

TEST(WorkspaceKeys, NudgeResizeAndNeighbours)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 10, 400, 50, 20);
    auto* b = s.Add<TfrxMemoView>(s.Page, "B", 100, 405, 50, 20);
    auto* c = s.Add<TfrxMemoView>(s.Page, "C", 30, 500, 50, 20);
    auto* d = s.Add<TfrxMemoView>(s.Page, "D", 400, 700, 50, 20);   // far off, beside the corridor
    s.Fill();
    s.Select({a});
    s.Ws->SetGridType(gtChar);
    s.Ws->DoKeyDown(VK_RIGHT, {ssCtrl});
    EXPECT_DOUBLE_EQ(a->Left(), 19.6);
    s.Ws->DoKeyDown(VK_DOWN, {ssCtrl});
    EXPECT_DOUBLE_EQ(a->Top(), 417);
    EXPECT_EQ(s.Modifies, 0);   // reported once, on key release
    s.Ws->DoKeyUp(VK_DOWN, {});
    EXPECT_EQ(s.Modifies, 1);
    s.Ws->SetGridType(gtCm);
    a->SetBounds(10, 400, 0.5, 20);
    s.Ws->DoKeyDown(VK_LEFT, {ssShift});   // would go negative: unchanged
    EXPECT_DOUBLE_EQ(a->Width(), 0.5);
    a->SetWidth(3);
    s.Ws->DoKeyDown(VK_LEFT, {ssShift});
    EXPECT_DOUBLE_EQ(a->Width(), 2);
    a->SetBounds(10, 400, 50, 20);
    s.Ws->DoKeyDown(VK_RIGHT, {});
    EXPECT_EQ(s.Sel(0), b);
    s.Select({a});
    s.Ws->DoKeyDown(VK_DOWN, {});
    EXPECT_EQ(s.Sel(0), c);
    s.Ws->DoKeyDown(VK_UP, {});
    EXPECT_EQ(s.Sel(0), a);
    s.Ws->DoKeyDown(VK_LEFT, {});   // nothing to the left: selection stays
    EXPECT_EQ(s.Sel(0), a);
    (void)d;
}

TEST(WorkspaceKeys, AltSnapsAgainstTheNeighbourLeavingACellForAFrameLine)
{
    struct Case { bool RightLine; double Left; };
    // Text-mode objects stand on character cells.
    const Case cases[] = {{false, 22 * 9.6 - 96}, {true, 22 * 9.6 - 96 - 9.6}};
    for (const Case& c : cases) {
        Surface s;
        auto* a = s.Add<TfrxDMPMemoView>(s.Page, "A", 9.6, 17 * 20, 96, 17);
        s.Add<TfrxDMPMemoView>(s.Page, "B", 22 * 9.6, 17 * 20, 96, 17);
        if (c.RightLine) a->Frame()->Typ.Include(ftRight);
        s.Fill();
        s.Select({a});
        s.Ws->DoKeyDown(VK_RIGHT, {ssAlt});
        EXPECT_NEAR(a->Left(), c.Left, 1e-9) << c.RightLine;
    }
}

TEST(WorkspaceKeys, EnterEditsDeleteDeletes)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 10, 400, 50, 20);
    s.Fill();
    s.Select({a});
    s.Ws->DoKeyDown(VK_RETURN, {});
    EXPECT_EQ(s.Edits, 1);
    s.Ws->DoKeyDown(VK_DELETE, {});
    EXPECT_EQ(s.Objects.IndexOf(a), -1);
}

// ---- in-place editing -------------------------------------------------------------------------

TEST(WorkspaceInplace, AltClickEditsAndCommitsOnTheNextPress)
{
    Surface s;
    auto* a = s.Add<TfrxMemoView>(s.Page, "A", 100, 400, 80, 20);
    a->SetText("旧文本\r\n");
    s.Fill();
    s.Move(::Point(120, 410), {ssAlt});
    EXPECT_EQ(s.Ws->Mode(), wmTextEdit);
    EXPECT_EQ(s.Ws->EditedMemo(), a);
    GuiTest::MouseDown(s.Ws, mbLeft, ::Point(120, 410), {ssAlt});
    GuiTest::MouseUp(s.Ws, mbLeft, ::Point(120, 410), {ssAlt});
    TInplaceMemo* ed = s.Ws->InplaceMemo();
    ASSERT_TRUE(ed->Editing());
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Lines()->Count(), 1);
    EXPECT_EQ(ed->Left(), 100);
    EXPECT_EQ(ed->Width(), 81);
    ed->Lines()->SetText("新文本");
    GuiTest::MouseDown(s.Ws, mbLeft, ::Point(500, 900));
    GuiTest::MouseUp(s.Ws, mbLeft, ::Point(500, 900));
    EXPECT_FALSE(ed->Editing());
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(a->Text(), "新文本\r\n");
    EXPECT_DOUBLE_EQ(a->Width(), 80);
    EXPECT_GE(s.Modifies, 1);
    // Esc discards.
    s.Ws->InplaceMemo()->Edit(a);
    ed->Lines()->SetText("丢弃");
    ed->EditDone(false);
    EXPECT_EQ(a->Text(), "新文本\r\n");
}

// ---- painting ---------------------------------------------------------------------------------

TEST(WorkspacePaint, GridBandsCaptionsAndHandles)
{
    Surface s;
    auto* ph = s.Add<TfrxPageHeader>(s.Page, "PageHeader1", 0, 0, 700, 40);
    auto* md = s.Add<TfrxMasterData>(s.Page, "MasterData1", 0, 100, 700, 50);
    auto* m = s.Add<TfrxMemoView>(md, "Memo1", 40, 10, 120, 25);
    m->SetText("学员姓名");
    auto* m2 = s.Add<TfrxMemoView>(ph, "Memo2", 300, 8, 150, 22);
    m2->SetText("驾校学员名单");
    m2->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    s.Add<TfrxPageFooter>(s.Page, "PageFooter1", 0, 400, 700, 30);
    s.Fill();
    s.Ws->BandsGap = 4;
    s.Ws->SetShowBandCaptions(true);
    s.Ws->SetBounds(0, 0, 720, 560);
    s.Select({m, m2});
    s.Ws->SelectionChanged();

    TBitmap plain(720, 560), picked(720, 560);
    s.Select({});
    s.Ws->PaintTo(plain.Canvas());
    s.Select({m, m2});
    s.Ws->PaintTo(picked.Canvas());
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(&picked, std::string(dir) + "/designer-workspace.png");

    TCanvas* c = picked.Canvas();
    // Below the stack: the ruled grid, light every 5 mm, the base colour every 10 mm.
    EXPECT_EQ(c->Pixels(19, 540), TColor(0xF8F8F8));
    EXPECT_EQ(c->Pixels(38, 540), TColor(0xE8E8E8));
    EXPECT_EQ(c->Pixels(28, 540), clWhite);
    // The data band's caption strip, and the other bands' strips in the face colour.
    const int strip = int(std::nearbyint(md->Top() - 5));
    EXPECT_EQ(c->Pixels(690, strip), TColor(0xEEBB00));
    EXPECT_EQ(c->Pixels(690, int(std::nearbyint(ph->Top() - 5))), ColorToRGB(clBtnFace));
    // The handles: XOR squares at the corners, nothing just beside them.
    const int hx = int(std::nearbyint(m->AbsLeft())), hy = int(std::nearbyint(m->AbsTop()));
    EXPECT_NE(c->Pixels(hx, hy), plain.Canvas()->Pixels(hx, hy));
    EXPECT_EQ(c->Pixels(hx - 4, hy - 4), plain.Canvas()->Pixels(hx - 4, hy - 4));
    // The group anchor (greatest right edge) gets its bottom-right handle in teal.
    const int ax = int(std::nearbyint(m2->AbsLeft() + m2->Width())), ay = int(std::nearbyint(m2->AbsTop() + m2->Height()));
    EXPECT_EQ(c->Pixels(ax, ay), TColor((plain.Canvas()->Pixels(ax, ay) ^ 0x808000) & 0xFFFFFF));
    // Locked: the background alone.
    s.Ws->Lock();
    TBitmap locked(720, 560);
    s.Ws->PaintTo(locked.Canvas());
    EXPECT_EQ(locked.Canvas()->Pixels(690, strip), clWhite);
}

TEST(WorkspacePaint, DotGridDisappearsWhenTooDense)
{
    Surface s;
    s.Fill();
    s.Ws->SetGridType(gtPixels);
    s.Ws->GridX = s.Ws->GridY = 10;
    TBitmap b(100, 100);
    s.Ws->SetBounds(0, 0, 100, 100);
    s.Ws->PaintTo(b.Canvas());
    EXPECT_EQ(b.Canvas()->Pixels(20, 30), TColor(0x808080));
    EXPECT_EQ(b.Canvas()->Pixels(21, 30), clWhite);
    s.Ws->GridX = s.Ws->GridY = 2;
    s.Ws->PaintTo(b.Canvas());
    EXPECT_EQ(b.Canvas()->Pixels(20, 30), clWhite);
}

TEST(WorkspacePaint, ScaleSizesThePaperAndTheSurface)
{
    Surface s;
    int moves = 0;
    s.Ws->OnMove = [&](TObject*) { ++moves; };
    s.Ws->SetOrigin(::Point(10, 10));
    s.Ws->SetPageDimensions(794, 1123, ::Rect(38, 38, 38, 38));
    EXPECT_EQ(moves, 1);   // the surface moved with the paper; the rulers follow
    s.Ws->SetScale(1.5);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(s.Ws->MarginsPanel()->Width(), 1191);
    EXPECT_EQ(s.Ws->MarginsPanel()->Height(), 1684);
    EXPECT_EQ(s.Ws->Left(), 10 + 57);
    EXPECT_EQ(s.Ws->Top(), 10 + 57);
    EXPECT_EQ(s.Ws->Width(), 1191 - 114);
}

}  // namespace
