// The report design surface: guide snapping and dragging, the zoom, text
// and format-painter tools, drops from the data tree and the rulers, the
// field chooser, and a deleted subreport taking its page along.
#include "Forms.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "StdCtrls.h"
#include "frxClass.h"
#include "frxDataTree.h"
#include "frxDesgnCtrls.h"
#include "frxDesgnWorkspace1.h"
#include "frxrcDesgn.h"
#include "SurfaceFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double Mm = 3.77953;

struct TWindowDouble : IfrxReportDesignerWindow {
    TfrxDataTreeForm* Tree = nullptr;
    TDesignerWorkspace* Ws = nullptr;
    int Reloads = 0;
    TfrxDataTreeForm* DataTree() const override { return Tree; }
    double DefaultObjectHeight() const override { return 18.9; }
    void SetDesignerScale(double s) override { Ws->SetScale(s); }
    void ApplyDefaultFormat(TfrxCustomMemoView*) override {}
    void ReloadPages() override { ++Reloads; }
};

struct Surface : TSurfaceFixture<TDesignerWorkspace> {
    TfrxDataTreeForm Tree{nullptr};
    TWindowDouble Window;
    int Inserts = 0;

    Surface()
    {
        Window.Tree = &Tree;
        Window.Ws = Ws;
        Ws->SetDesigner(&Window);
        Tree.SetReport(&Report);
        Ws->OnInsert = [this](TObject*) { ++Inserts; };
        Form.Show();
    }
    void Select(TfrxComponent* c)
    {
        Selected.Clear();
        Selected.Add(c ? c : Page);
    }
    void Move(TPoint p) { Ws->DoMouseMove({}, p.X, p.Y); }
    void Drag(TPoint from, TPoint to, TMouseButton b = mbLeft)
    {
        Move(from);
        Ws->DoMouseDown(b, {}, from.X, from.Y);
        Move(to);
        Ws->DoMouseUp(b, {}, to.X, to.Y);
    }
    TfrxUserDataSet* AddDataSet(const char* name, std::initializer_list<const char*> fields)
    {
        return AddUserDataSet(Report, name, fields);
    }
};

TEST(ReportWorkspace, MovedEdgesSnapToGuidesFarEdgesWinning)
{
    struct Case { std::vector<const char*> Guides; int Dx; double Left; };
    const Case cases[] = {
        {{"100"}, 8, 100},         // the left edge comes within 6: it lands on the guide
        {{"100", "147"}, 8, 97},   // then the right edge does, and wins
        {{"200"}, 8, 98},          // too far: the plain step
    };
    for (const Case& c : cases) {
        Surface s;
        s.Ws->GridAlign = false;
        s.Ws->SetShowGuides(true);
        for (const char* g : c.Guides) s.Page->VGuides()->Add(g);
        auto* m = s.Add<TfrxMemoView>(s.Page, "M", 90, 400, 50, 20);
        s.Fill();
        s.Select(m);
        s.Drag(::Point(110, 410), ::Point(110 + c.Dx, 410));
        EXPECT_NEAR(m->Left(), c.Left, 1e-9) << c.Guides.size() << " " << c.Left;
    }
}

TEST(ReportWorkspace, GuidesDragAndVanishNearTheEdge)
{
    Surface s;
    s.Ws->GridAlign = false;
    s.Ws->SetShowGuides(true);
    s.Page->VGuides()->Add("50");
    s.Page->HGuides()->Add("300");
    s.Fill();
    s.Move(::Point(52, 600));
    EXPECT_EQ(s.Ws->Mode(), wmDragGuide);
    EXPECT_TRUE(s.Ws->DraggingVerticalGuide());
    EXPECT_EQ(s.Ws->Cursor(), crHSplit);
    s.Ws->DoMouseDown(mbLeft, {}, 52, 600);
    s.Move(::Point(82, 600));
    s.Ws->DoMouseUp(mbLeft, {}, 82, 600);
    EXPECT_EQ(s.Page->VGuides()->Strings(0), "80");
    // Dragged to within 3 units of the edge it goes.
    s.Drag(::Point(400, 301), ::Point(400, 999));
    EXPECT_EQ(s.Page->HGuides()->Count(), 0);
    s.Drag(::Point(80, 600), ::Point(2, 600));
    EXPECT_EQ(s.Page->VGuides()->Count(), 0);
}

TEST(ReportWorkspace, ZoomToolClicksAndBand)
{
    struct Case { double From; TMouseButton Button; double To; };
    const Case cases[] = {
        {1, mbLeft, 2}, {0.5, mbLeft, 0.75}, {2, mbLeft, 3}, {0.4, mbRight, 0.4}, {3, mbRight, 2}, {1, mbRight, 0.75},
    };
    for (const Case& c : cases) {
        Surface s;
        s.Fill();
        s.Ws->SetToolMode(tmZoom);
        s.Ws->SetScale(c.From);
        s.Ws->DoMouseDown(c.Button, {}, 100, 100);
        s.Ws->DoMouseUp(c.Button, {}, 100, 100);
        EXPECT_DOUBLE_EQ(s.Ws->Scale(), c.To) << c.From;
    }
    // A band fits into the parent's client area less 16 pixels.
    Surface s;
    s.Fill();
    s.Ws->SetToolMode(tmZoom);
    s.Drag(::Point(100, 100), ::Point(542, 200));   // 442 wide: (900 - 16) / 442 = 2
    EXPECT_DOUBLE_EQ(s.Ws->Scale(), 2);
}

TEST(ReportWorkspace, TextToolClickAndDrag)
{
    Surface s;
    s.Fill();
    s.Ws->SetToolMode(tmText);
    // The window creates the object from the insertion and selects it.
    TfrxMemoView* made = nullptr;
    s.Ws->OnInsert = [&](TObject*) {
        const TfrxInsertion& in = s.Ws->Insertion();
        made = new TfrxMemoView(s.Page);
        made->SetName("Memo1");
        made->SetBounds(in.Left, in.Top, in.Width, in.Height);
        s.Objects.Add(made);
        s.Select(made);
    };
    s.Drag(::Point(300, 300), ::Point(301, 301));   // a click on empty space
    EXPECT_EQ(made, nullptr);
    EXPECT_FALSE(s.Ws->InplaceMemo()->Editing());
    s.Drag(::Point(40, 40), ::Point(140, 70));
    ASSERT_NE(made, nullptr);
    EXPECT_NEAR(made->Left(), 10 * Mm, 1e-9);    // edges truncated to grid steps
    EXPECT_NEAR(made->Width(), 27 * Mm, 1e-9);
    EXPECT_TRUE(s.Ws->InplaceMemo()->Editing());
    EXPECT_EQ(s.Ws->InplaceMemo()->Memo(), made);
}

TEST(ReportWorkspace, FormatPainterSparesProtectedObjects)
{
    Surface s;
    auto* from = s.Add<TfrxMemoView>(s.Page, "From", 10, 300, 80, 20);
    from->Color = clYellow;
    from->HAlign = frxClass::haCenter;
    auto* to = s.Add<TfrxMemoView>(s.Page, "To", 200, 300, 80, 20);
    auto* locked = s.Add<TfrxMemoView>(s.Page, "Locked", 400, 300, 80, 20);
    locked->SetRestrictions({rfDontModify});
    s.Fill();
    s.Select(from);
    s.Ws->SetToolMode(tmFormat);
    GuiTest::Click(s.Ws, ::Point(220, 310));
    EXPECT_EQ(to->Color, clYellow);
    EXPECT_EQ(to->HAlign, frxClass::haCenter);
    GuiTest::Click(s.Ws, ::Point(420, 310));
    EXPECT_NE(locked->Color, clYellow);
}

TEST(ReportWorkspace, DroppedFieldMakesABoundMemoAndItsCaption)
{
    Surface s;
    auto* ds = s.AddDataSet("d0", {"Name", "Phone"});
    s.Fill();
    s.Tree.UpdateItems();
    s.Tree.InsCaptionCB->SetChecked(true);
    TTreeNode* field = s.Tree.DataTree->Items()->Item(0)->Item(0)->Item(0);
    s.Tree.DataTree->SetSelected(field);
    bool accept = false;
    s.Ws->DragOver(s.Tree.DataTree, 100, 200, dsDragEnter, accept);
    ASSERT_TRUE(accept);
    EXPECT_EQ(s.Ws->Mode(), wmPlaceObject);
    s.Ws->DragDrop(s.Tree.DataTree, 100, 200);
    ASSERT_EQ(s.Selected.Count(), 2);
    auto* memo = DynamicCast<TfrxMemoView>(static_cast<TObject*>(s.Selected.Items(0)));
    auto* caption = DynamicCast<TfrxMemoView>(static_cast<TObject*>(s.Selected.Items(1)));
    ASSERT_TRUE(memo && caption);
    EXPECT_EQ(memo->DataSet(), ds);
    EXPECT_EQ(memo->DataField, "Name");
    EXPECT_NEAR(memo->Width(), 21 * Mm, 1e-8);   // 10 characters of 8 pixels, in grid steps
    EXPECT_DOUBLE_EQ(memo->Height(), 18.9);
    EXPECT_EQ(caption->Text(), "Name\r\n");
    EXPECT_DOUBLE_EQ(caption->Width(), memo->Width());
    EXPECT_NEAR(caption->Top(), memo->Top() - memo->Height(), 1e-8);   // directly above
    EXPECT_FALSE(s.Ws->Inserting());
    // A system variable becomes a bracketed text.
    s.Tree.Tabs->SetActivePage(s.Tree.VariablesTS);
    for (TTreeNode* n = s.Tree.VariablesTree->Items()->Item(0); n; n = n->GetNext())
        if (n->Text() == "Page#") s.Tree.VariablesTree->SetSelected(n);
    s.Ws->DragOver(s.Tree.VariablesTree, 300, 400, dsDragEnter, accept);
    s.Ws->DragDrop(s.Tree.VariablesTree, 300, 400);
    ASSERT_EQ(s.Selected.Count(), 1);
    EXPECT_EQ(static_cast<TfrxMemoView*>(s.Selected.Items(0))->Text(), "[Page#]\r\n");
}

TEST(ReportWorkspace, RulerDropAddsAGuide)
{
    Surface s;
    s.Fill();
    TfrxRuler left(nullptr), top(nullptr);
    left.SetAlign(alLeft);
    top.SetAlign(alTop);
    bool accept = false;
    s.Ws->DragOver(&left, 40, 50, dsDragMove, accept);
    EXPECT_TRUE(accept);
    s.Ws->DragDrop(&left, 40, 50);
    s.Ws->DragDrop(&top, 40, 50);
    ASSERT_EQ(s.Page->VGuides()->Count(), 1);
    EXPECT_NEAR(std::stod(s.Page->VGuides()->Strings(0)), 10 * Mm, 1e-8);
    EXPECT_NEAR(std::stod(s.Page->HGuides()->Strings(0)), 13 * Mm, 1e-8);
}

TEST(ReportWorkspace, FieldChooserOnBoundMemos)
{
    Surface s;
    auto* ds = s.AddDataSet("d0", {"Name", "Phone"});
    auto* band = s.Add<TfrxMasterData>(s.Page, "MasterData1", 0, 0, 700, 40);
    band->SetDataSet(ds);
    auto* memo = s.Add<TfrxMemoView>(band, "Memo1", 100, 10, 100, 20);
    s.Fill();
    s.Move(::Point(150, 15));
    EXPECT_EQ(s.Ws->HotView(), memo);
    s.Ws->DoMouseDown(mbLeft, {}, 195, 15);   // on the chooser button
    s.Ws->DoMouseUp(mbLeft, {}, 195, 15);
    TListBox* list = s.Ws->FieldList();
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(list->Items()->Count(), 2);
    list->SetItemIndex(1);
    list->OnClick(list);
    EXPECT_EQ(memo->DataField, "Phone");
    EXPECT_EQ(memo->DataSet(), ds);
    EXPECT_FALSE(list->Visible());
}

TEST(ReportWorkspace, DeletedSubreportReloadsThePages)
{
    Surface s;
    auto* sub = s.Add<TfrxSubreport>(s.Page, "Subreport1", 10, 300, 100, 50);
    s.Fill();
    s.Select(sub);
    s.Ws->DeleteSelection();
    EXPECT_EQ(s.Window.Reloads, 1);
    EXPECT_EQ(s.Objects.IndexOf(sub), -1);
}

}  // namespace
