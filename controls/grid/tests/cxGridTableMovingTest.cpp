// Dragging in the table view with the mouse: headers moved within the
// header, into and out of the group-by box and the customization form;
// column widths and row heights sized on their edges; what the drags show
// on the screen overlay; and the drag-open of a master row's detail tab.
#include "GridTableViewFixture.h"

#include "Overlay.h"
#include "cxControls.h"
#include "cxGridLevel.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableMoving.h"

#include <cstdlib>
#include <functional>

namespace {

class GridTableMovingTest : public GridTableViewFixture {
protected:
    void SetUp() override
    {
        GridTableViewFixture::SetUp();
        cxGridTableMoving::Initialize();
        View->OnColumnPosChanged = [this](TcxGridTableView*, TcxGridColumn* AColumn) {
            Events.push_back("pos:" + AColumn->Name());
        };
        View->OnColumnSizeChanged = [this](TcxGridTableView*, TcxGridColumn* AColumn) {
            Events.push_back("size:" + AColumn->Name());
        };
        Fill(4);
        for (int i = 0; i < 3; ++i) Cols[i] = Column(i);
        Layout();
    }
    void TearDown() override
    {
        if (View && Controller()->Customization()) Controller()->SetCustomization(false);
        cxGridTableCustomizationForm::Finalize();
        cxGridTableMoving::Finalize();
        ScreenOverlay()->Clear();
        GridTableViewFixture::TearDown();
    }
    TcxGridSite* Site() { return View->Site(); }
    TcxGridGroupByBoxViewInfo* Box() { return VI()->GroupByBoxViewInfo(); }

    // Visible columns in order, then " / " and the grouped ones in order.
    std::string Describe()
    {
        std::string s;
        for (int i = 0; i < View->VisibleColumnCount(); ++i) s += (i ? " " : "") + View->VisibleColumns(i)->Name();
        s += " /";
        for (int i = 0; i < View->GroupedColumnCount(); ++i) s += " " + View->GroupedColumns(i)->Name();
        return s;
    }
    // Presses at AFrom, goes past the drag threshold and on to ATo; ADuring
    // runs there with the drag still on, then the button is released.
    void Drag(TPoint AFrom, TPoint ATo, const std::function<void()>& ADuring = nullptr)
    {
        GuiTest::MouseDown(Site(), mbLeft, AFrom);
        GuiTest::MouseMove(Site(), TPoint{AFrom.X + 6, AFrom.Y + 6}, {ssLeft});
        GuiTest::MouseMove(Site(), ATo, {ssLeft});
        if (ADuring) ADuring();
        GuiTest::MouseUp(Site(), mbLeft, ATo);
    }
    // A point in the header zone before cell AIndex (the cell count: after the last).
    TPoint HeaderZone(int AIndex)
    {
        const int y = Center(Header()->Bounds).Y;
        if (AIndex < Header()->Count()) return TPoint{Header()->Items(AIndex)->Bounds.Left + 3, y};
        return TPoint{Header()->Items(Header()->Count() - 1)->Bounds.Right + 5, y};
    }
    TPoint HeaderCell(int AIndex) { return Center(Header()->Items(AIndex)->Bounds); }
    TPoint BoxZone(int AIndex)
    {
        if (Box()->Count() == 0) return Center(Box()->Bounds);
        if (AIndex < Box()->Count()) return TPoint{Box()->Items(AIndex)->Bounds.Left + 3, Center(Box()->Bounds).Y};
        return TPoint{Box()->Items(Box()->Count() - 1)->Bounds.Right + 20, Center(Box()->Bounds).Y};
    }
    TPoint BoxCell(int AIndex) { return Center(Box()->Items(AIndex)->Bounds); }
    // Among the rows, away from the header and group-by box.
    TPoint Nowhere() { return TPoint{150, Header()->Bounds.Bottom + 60}; }

    TcxGridTableCustomizationForm* OpenCustomizationForm()
    {
        cxGridTableCustomizationForm::Initialize();
        Controller()->SetCustomization(true);
        GuiTest::ProcessEvents();
        auto* form = DynamicCast<TcxGridTableCustomizationForm>(Controller()->CustomizationForm());
        if (form)
            form->OnStartColumnDrag = [this](TcxGridTableCustomizationForm*, TcxGridColumn* AColumn, const TPoint& P) {
                cxGridTableMoving::StartColumnDragFromCustomizationForm(Controller(), AColumn, P);
            };
        return form;
    }
    TPoint InCustomizationForm()
    {
        TForm* form = Controller()->CustomizationForm();
        return Site()->ScreenToClient(CenterPoint(form->BoundsRect()));
    }
    // Presses the list item of AColumn in the form, drags it out onto the
    // site and releases it at ATo.
    void DragFromCustomizationForm(TcxGridColumn* AColumn, TPoint ATo, const std::function<void()>& ADuring = nullptr)
    {
        auto* form = DynamicCast<TcxGridTableCustomizationForm>(Controller()->CustomizationForm());
        ASSERT_NE(form, nullptr);
        TcxGridTableColumnsListBox* list = form->ColumnsListBox();
        const int index = list->Items()->IndexOfObject(AColumn);
        ASSERT_GE(index, 0);
        const TRect item = list->ItemRect(index);
        const TPoint press{item.Left + 5, item.Top + 3};
        GuiTest::MouseDown(list, mbLeft, press);
        GuiTest::MouseMove(list, TPoint{press.X + 30, press.Y}, {ssLeft});
        ASSERT_EQ(Site()->DragAndDropState(), ddsInProcess);
        GuiTest::MouseMove(Site(), ATo, {ssLeft});
        if (ADuring) ADuring();
        GuiTest::MouseUp(Site(), mbLeft, ATo);
    }
    TcxGridColumnHeaderMovingObject* MovingObject()
    {
        return DynamicCast<TcxGridColumnHeaderMovingObject>(Site()->DragAndDropObject());
    }

    std::vector<std::string> Events;
    // ColA, ColB, ColC, whatever their places.
    TcxGridColumn* Cols[3] = {};
};

// ---- the drop outcome ---------------------------------------------------------------------------------------

TEST_F(GridTableMovingTest, AHeaderDroppedInTheHeaderMovesItsColumn)
{
    struct Case {
        int from;      // visible index of the dragged header
        int zone;      // header zone it is dropped in
        const char* result;
        bool event;
    };
    const Case cases[] = {
        {0, 2, "ColB ColA ColC /", true},
        {0, 3, "ColB ColC ColA /", true},
        {2, 0, "ColC ColA ColB /", true},
        {2, 1, "ColA ColC ColB /", true},
        // On its own place or right after itself: nothing changes.
        {0, 0, "ColA ColB ColC /", false},
        {0, 1, "ColA ColB ColC /", false},
        {2, 3, "ColA ColB ColC /", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.zone));
        for (int i = 0; i < 3; ++i) Cols[i]->SetIndex(i);
        Layout();
        Events.clear();
        Drag(HeaderCell(c.from), HeaderZone(c.zone));
        Layout();
        EXPECT_EQ(Describe(), c.result);
        const std::string moved = "pos:" + std::string("Col") + char('A' + c.from);
        EXPECT_EQ(Events, c.event ? std::vector<std::string>{moved} : std::vector<std::string>{});
        EXPECT_EQ(Controller()->PressedColumn(), nullptr);
    }
}

TEST_F(GridTableMovingTest, DropsBetweenTheHeaderTheGroupByBoxAndElsewhere)
{
    enum Source { Header_, Box_ };
    enum Target { HeaderZone_, BoxZone_, Nowhere_ };
    struct Case {
        const char* what;
        std::function<void(TcxGridTableView*)> setup;
        Source source;
        int from;
        Target target;
        int zone;
        const char* result;
        int events;
    };
    auto none = [](TcxGridTableView*) {};
    auto groupB = [](TcxGridTableView* V) { V->Columns(1)->SetGroupIndex(0); };
    auto groupAB = [](TcxGridTableView* V) {
        V->OptionsCustomize()->SetColumnHidingOnGrouping(false);
        V->Columns(0)->SetGroupIndex(0);
        V->Columns(1)->SetGroupIndex(1);
    };
    const Case cases[] = {
        {"header to the empty group-by box groups and hides", none, Header_, 1, BoxZone_, 0, "ColA ColC / ColB", 1},
        {"grouping keeps the column shown without hiding on grouping",
         [](TcxGridTableView* V) { V->OptionsCustomize()->SetColumnHidingOnGrouping(false); }, Header_, 1, BoxZone_, 0,
         "ColA ColB ColC / ColB", 1},
        {"header off the header hides with column hiding on",
         [](TcxGridTableView* V) { V->OptionsCustomize()->SetColumnHiding(true); }, Header_, 0, Nowhere_, 0,
         "ColB ColC /", 1},
        {"header off the header stays without column hiding", none, Header_, 0, Nowhere_, 0, "ColA ColB ColC /", 0},
        {"grouped column back onto the header ungroups and shows it", groupB, Box_, 0, HeaderZone_, 0,
         "ColB ColA ColC /", 1},
        {"grouped column dropped elsewhere ungroups and shows it", groupB, Box_, 0, Nowhere_, 0,
         "ColA ColB ColC /", 1},
        {"a group moved after the next one", groupAB, Box_, 0, BoxZone_, 2, "ColA ColB ColC / ColB ColA", 1},
        {"a group moved before the previous one", groupAB, Box_, 1, BoxZone_, 0, "ColA ColB ColC / ColB ColA", 1},
        {"a group dropped on its own place", groupAB, Box_, 1, BoxZone_, 1, "ColA ColB ColC / ColA ColB", 0},
        {"a second header joins the grouping before the first", groupAB, Header_, 2, BoxZone_, 0,
         "ColA ColB ColC / ColC ColA ColB", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < 3; ++i) {
            Cols[i]->SetGroupIndex(-1);
            Cols[i]->SetVisible(true);
            Cols[i]->SetIndex(i);
        }
        View->OptionsCustomize()->SetColumnHiding(false);
        View->OptionsCustomize()->SetColumnHidingOnGrouping(true);
        c.setup(View);
        Layout();
        Events.clear();
        const TPoint from = c.source == Header_ ? HeaderCell(c.from) : BoxCell(c.from);
        const TPoint to = c.target == HeaderZone_ ? HeaderZone(c.zone) : c.target == BoxZone_ ? BoxZone(c.zone) : Nowhere();
        Drag(from, to);
        Layout();
        EXPECT_EQ(Describe(), c.result);
        EXPECT_EQ(int(Events.size()), c.events);
    }
}

TEST_F(GridTableMovingTest, TheCustomizationFormHidesAndShowsColumns)
{
    // A header dropped on the open form hides its column, even with column hiding off.
    ASSERT_NE(OpenCustomizationForm(), nullptr);
    Drag(HeaderCell(2), InCustomizationForm());
    Layout();
    EXPECT_EQ(Describe(), "ColA ColB /");
    EXPECT_EQ(Events, std::vector<std::string>{"pos:ColC"});
    // Out of the form onto the header: shown where it is dropped.
    Events.clear();
    DragFromCustomizationForm(Cols[2], HeaderZone(0));
    Layout();
    EXPECT_EQ(Describe(), "ColC ColA ColB /");
    EXPECT_EQ(Events, std::vector<std::string>{"pos:ColC"});
    // Out of the form and dropped nowhere: nothing changes.
    Drag(HeaderCell(0), InCustomizationForm());
    Layout();
    Events.clear();
    DragFromCustomizationForm(Cols[2], Nowhere());
    Layout();
    EXPECT_EQ(Describe(), "ColA ColB /");
    EXPECT_TRUE(Events.empty());
    // Out of the form into the group-by box: grouped, still hidden.
    DragFromCustomizationForm(Cols[2], BoxZone(0));
    Layout();
    EXPECT_EQ(Describe(), "ColA ColB / ColC");
}

TEST_F(GridTableMovingTest, AGroupedColumnDroppedOnTheFormIsUngroupedWithoutShowingIt)
{
    // Grouped by a drag, which hides the column.
    Drag(HeaderCell(1), BoxZone(0));
    Layout();
    ASSERT_EQ(Describe(), "ColA ColC / ColB");
    ASSERT_NE(OpenCustomizationForm(), nullptr);
    Layout();
    Events.clear();
    Drag(BoxCell(0), InCustomizationForm());
    Layout();
    EXPECT_EQ(Describe(), "ColA ColC /");
    EXPECT_EQ(Column(1)->GroupIndex(), -1);
    EXPECT_EQ(Events, std::vector<std::string>{"pos:ColB"});
}

TEST_F(GridTableMovingTest, TheOnlyVisibleColumnCannotBeHidden)
{
    View->OptionsCustomize()->SetColumnHiding(true);
    Column(1)->SetVisible(false);
    Column(2)->SetVisible(false);
    Layout();
    TCursor during = crDefault;
    Drag(HeaderCell(0), Nowhere(), [&] { during = Screen->Cursor(); });
    Layout();
    EXPECT_NE(during, crcxRemove);
    EXPECT_EQ(Describe(), "ColA /");
    EXPECT_TRUE(Events.empty());
    // With another column shown it may go, and the cursor says so; over the
    // header again it is a move.
    Column(1)->SetVisible(true);
    Layout();
    TCursor overHeader = crDefault;
    bool removable = false;
    Drag(HeaderCell(0), Nowhere(), [&] {
        during = Screen->Cursor();
        removable = MovingObject() && MovingObject()->CanRemove();
        GuiTest::MouseMove(Site(), HeaderZone(2), {ssLeft});
        overHeader = Screen->Cursor();
        GuiTest::MouseMove(Site(), Nowhere(), {ssLeft});
    });
    EXPECT_EQ(during, crcxRemove);
    EXPECT_EQ(overHeader, crArrow);
    EXPECT_TRUE(removable);
    EXPECT_EQ(Describe(), "ColB /");
    // Without column hiding and without the form, a column off the header is refused.
    View->OptionsCustomize()->SetColumnHiding(false);
    Column(0)->SetVisible(true);
    Layout();
    Drag(HeaderCell(0), Nowhere(), [&] { during = Screen->Cursor(); });
    EXPECT_EQ(during, crcxNoDrop);
    EXPECT_EQ(Describe(), "ColA ColB /");
}

TEST_F(GridTableMovingTest, ACursorPerDropPlace)
{
    TCursor overHeader = crDefault, overBox = crDefault;
    GuiTest::MouseDown(Site(), mbLeft, HeaderCell(0));
    GuiTest::MouseMove(Site(), HeaderZone(2), {ssLeft});
    overHeader = Screen->Cursor();
    GuiTest::MouseMove(Site(), BoxZone(0), {ssLeft});
    overBox = Screen->Cursor();
    ASSERT_NE(MovingObject(), nullptr);
    EXPECT_EQ(MovingObject()->DropPlace(), dpGroupByBox);
    // Esc ends the drag without dropping.
    Site()->Perform(WM_KEYDOWN, VK_ESCAPE);
    GuiTest::MouseUp(Site(), mbLeft, BoxZone(0));
    EXPECT_EQ(overHeader, crArrow);
    EXPECT_EQ(overBox, crArrow);
    EXPECT_EQ(Describe(), "ColA ColB ColC /");
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(ScreenOverlay()->PictureCount(), 0);
}

TEST_F(GridTableMovingTest, AColumnThatMayNotMoveStartsNoDrag)
{
    Column(0)->Options()->SetMoving(false);
    Drag(HeaderCell(0), HeaderZone(3));
    EXPECT_EQ(Describe(), "ColA ColB ColC /");
    EXPECT_TRUE(Events.empty());
}

// ---- what a header drag shows ---------------------------------------------------------------------------------

TEST_F(GridTableMovingTest, TheDragImageFollowsTheMouseAndArrowsMarkAChangingDrop)
{
    // Pressed near the left edge, so that the image stays right of the arrows it brings.
    const TPoint press{Header()->Items(0)->Bounds.Left + 2, Header()->Items(0)->Bounds.Top + 4};
    GuiTest::MouseDown(Site(), mbLeft, press);
    GuiTest::MouseMove(Site(), HeaderZone(1), {ssLeft});
    TcxGridColumnHeaderMovingObject* moving = MovingObject();
    ASSERT_NE(moving, nullptr);
    ASSERT_NE(moving->DragImage(), nullptr);
    EXPECT_EQ(moving->DragImage()->Width(), Header()->Items(0)->Bounds.Width());
    EXPECT_EQ(moving->HotSpot(), (TPoint{2, 4}));
    EXPECT_EQ(Controller()->PressedColumn(), Column(0));
    // Right after itself: the image only.
    EXPECT_TRUE(moving->DragImageVisible());
    EXPECT_FALSE(moving->ArrowsVisible());
    EXPECT_EQ(ScreenOverlay()->PictureCount(), 1);
    const TPoint at = HeaderZone(3);
    GuiTest::MouseMove(Site(), at, {ssLeft});
    const TPoint screen = Site()->ClientToScreen(at);
    EXPECT_EQ(moving->DragImagePoint(), (TPoint{screen.X - 2, screen.Y - 4}));
    EXPECT_TRUE(moving->ArrowsVisible());
    EXPECT_EQ(ScreenOverlay()->PictureCount(), 3);
    // The arrows straddle the right edge of the last header cell, above and below it.
    const TRect last = Header()->Items(2)->Bounds;
    const TPoint upper = Site()->ClientToScreen(TPoint{last.Right, last.Top - 3});
    const TPoint lower = Site()->ClientToScreen(TPoint{last.Right, last.Bottom + 3});
    EXPECT_EQ(ScreenOverlay()->PixelAt(upper), clLime);
    EXPECT_EQ(ScreenOverlay()->PixelAt(lower), clLime);
    // Moving on within the same zone moves the image, not the arrows.
    GuiTest::MouseMove(Site(), TPoint{at.X + 2, at.Y}, {ssLeft});
    EXPECT_EQ(ScreenOverlay()->PixelAt(upper), clLime);
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        std::unique_ptr<TBitmap> shot(ScreenOverlay()->Grab(Form->BoundsRect()));
        GuiTest::SavePng(shot.get(), std::string(dir) + "/grid-header-drag.png");
    }
    GuiTest::MouseUp(Site(), mbLeft, TPoint{at.X + 2, at.Y});
    // Everything the drag showed is gone.
    EXPECT_EQ(ScreenOverlay()->PictureCount(), 0);
    EXPECT_EQ(Describe(), "ColB ColC ColA /");
}

TEST_F(GridTableMovingTest, TheArrowShapes)
{
    const TRect area{40, 20, 140, 40};
    struct Case {
        TcxGridArrowPlace place;
        TRect bounds;
        std::vector<TPoint> points;
    };
    const Case cases[] = {
        {apTop, TRect{35, 11, 46, 20}, {{38, 11}, {42, 11}, {42, 14}, {45, 14}, {40, 19}, {35, 14}, {38, 14}}},
        {apBottom, TRect{35, 40, 46, 49}, {{38, 48}, {42, 48}, {42, 45}, {45, 45}, {40, 40}, {35, 45}, {38, 45}}},
        {apLeft, TRect{31, 15, 40, 26}, {{34, 15}, {34, 18}, {31, 18}, {31, 22}, {34, 22}, {34, 25}, {39, 20}}},
        {apRight, TRect{140, 15, 149, 26}, {{145, 15}, {145, 18}, {148, 18}, {148, 22}, {145, 22}, {145, 25}, {140, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.place));
        const TRect r = TcxCustomGridMovingObject::GetArrowBounds(area, c.place);
        EXPECT_EQ(r, c.bounds);
        EXPECT_EQ(TcxCustomGridMovingObject::GetArrowPoints(r, c.place), c.points);
    }
}

TEST_F(GridTableMovingTest, TheHotSpotRoundsHalvesAwayFromZero)
{
    struct Case {
        TPoint press;
        TRect source;
        TPoint image;
        TPoint expected;
    };
    const Case cases[] = {
        {{15, 7}, {10, 0, 20, 10}, {10, 10}, {5, 7}},     // the usual case: the image is the source's size
        {{15, 7}, {10, 0, 20, 10}, {3, 3}, {2, 2}},       // 1.5 -> 2, 2.1 -> 2
        {{5, 0}, {10, 0, 20, 10}, {3, 3}, {-2, 0}},       // -1.5 -> -2
        {{11, 1}, {10, 0, 20, 10}, {5, 5}, {1, 1}},       // 0.5 -> 1
        {{15, 5}, {10, 0, 10, 10}, {0, 10}, {0, 0}},      // an empty source: no place inside it
    };
    for (const Case& c : cases)
        EXPECT_EQ(TcxCustomGridMovingObject::CalculateHotSpot(c.press, c.source, c.image), c.expected);
}

// ---- sizing ---------------------------------------------------------------------------------------------------

TEST_F(GridTableMovingTest, AColumnIsSizedOnItsHeadersEdge)
{
    struct Case {
        int delta;
        int width;
    };
    const Case cases[] = {{30, 130}, {-40, 60}, {-200, Column(0)->MinWidth()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delta);
        Column(0)->SetWidth(100);
        Layout();
        Events.clear();
        const TRect cell = Header()->Items(0)->Bounds;
        const TPoint edge{cell.Right - 2, Center(cell).Y};
        bool lineShown = false;
        Drag(edge, TPoint{edge.X + c.delta, edge.Y}, [&] {
            auto* sizing = DynamicCast<TcxGridColumnHorzSizingObject>(Site()->DragAndDropObject());
            lineShown = sizing && sizing->SizingLineVisible();
            EXPECT_EQ(Screen->Cursor(), crcxHorzSize);
            EXPECT_EQ(Controller()->ItemBeingSized, Column(0));
        });
        Layout();
        EXPECT_TRUE(lineShown);
        EXPECT_EQ(Column(0)->Width(), c.width);
        EXPECT_EQ(Events, std::vector<std::string>{"size:ColA"});
        EXPECT_EQ(Controller()->ItemBeingSized, nullptr);
        EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0) << "the sizing line is taken away";
    }
}

TEST_F(GridTableMovingTest, AWidthDragThatEndsWhereItStartedChangesNothing)
{
    const TRect cell = Header()->Items(1)->Bounds;
    const TPoint edge{cell.Right - 2, Center(cell).Y};
    GuiTest::MouseDown(Site(), mbLeft, edge);
    GuiTest::MouseMove(Site(), TPoint{edge.X + 40, edge.Y}, {ssLeft});
    GuiTest::MouseMove(Site(), edge, {ssLeft});
    GuiTest::MouseUp(Site(), mbLeft, edge);
    EXPECT_EQ(Column(1)->Width(), 100);
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(Controller()->ItemBeingSized, nullptr);
}

TEST_F(GridTableMovingTest, TheSizingLineMarksTheNewEdgeDownToTheFooter)
{
    View->OptionsView()->SetFooter(true);
    Layout();
    const TRect cell = Header()->Items(0)->Bounds;
    const TPoint edge{cell.Right - 2, Center(cell).Y};
    GuiTest::MouseDown(Site(), mbLeft, edge);
    GuiTest::MouseMove(Site(), TPoint{edge.X + 25, edge.Y}, {ssLeft});
    auto* sizing = DynamicCast<TcxGridColumnHorzSizingObject>(Site()->DragAndDropObject());
    ASSERT_NE(sizing, nullptr);
    EXPECT_EQ(sizing->CurrentSize(), 125);
    TPoint a, b;
    sizing->GetSizingLine(a, b);
    EXPECT_EQ(a, (TPoint{cell.Left + 125, cell.Top}));
    EXPECT_EQ(b, (TPoint{cell.Left + 125, VI()->FooterViewInfo()->Bounds.Top}));
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 1);
    Site()->Perform(WM_KEYDOWN, VK_ESCAPE);
    GuiTest::MouseUp(Site(), mbLeft, TPoint{edge.X + 25, edge.Y});
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0);
    EXPECT_EQ(Column(0)->Width(), 100);
}

TEST_F(GridTableMovingTest, ARowIsSizedOnItsIndicatorEdge)
{
    View->OptionsView()->SetIndicator(true);
    View->OptionsCustomize()->SetDataRowSizing(true);
    Layout();
    auto* row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(1));
    ASSERT_TRUE(row && row->IndicatorItem());
    const int height = row->Bounds.Height();
    const int nonCells = row->GetNonCellsHeight();
    const TRect cell = row->IndicatorItem()->Bounds;
    const TPoint edge{Center(cell).X, cell.Bottom - 2};
    TCursor during = crDefault;
    Drag(edge, TPoint{edge.X, edge.Y + 14}, [&] { during = Screen->Cursor(); });
    Layout();
    EXPECT_EQ(during, crcxVertSize);
    EXPECT_EQ(View->OptionsView()->DataRowHeight(), height + 14 - nonCells);
    auto* after = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->Bounds.Height(), height + 14);
    // Dragged far up: no fixed height is left, and rows take their own again.
    row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(1));
    ASSERT_TRUE(row && row->IndicatorItem());
    const TRect cell2 = row->IndicatorItem()->Bounds;
    const TPoint edge2{Center(cell2).X, cell2.Bottom - 2};
    Drag(edge2, TPoint{edge2.X, edge2.Y - 200});
    Layout();
    EXPECT_EQ(View->OptionsView()->DataRowHeight(), 0);
    EXPECT_EQ(Rows()->ItemAt(0)->Bounds.Height(), height);
}

// ---- opening a detail by a drag ----------------------------------------------------------------------------------

TEST_F(GridTableMovingTest, DragOpenInfosOfDetailTabsCompareByLevelAndRow)
{
    TcxGridLevel* level = Grid->RootLevel()->Items(0);
    TcxGridDragOpenInfoMasterDataRowTab a(level, nullptr), b(level, nullptr);
    EXPECT_TRUE(a.Equals(&b));
    TcxGridDragOpenInfoTab plain(level);
    EXPECT_FALSE(a.Equals(&plain));
    EXPECT_EQ(a.GridRow(), nullptr);
    a.Run();   // no row: nothing to open
}

}  // namespace
