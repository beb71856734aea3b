// Docking headless: tool windows and controls docked, floated and docked
// again, by calls and by dragging; the layout stream of a site.
#include "Docking.h"
#include "GuiTesting.h"
#include "Overlay.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TBox : public TCustomControl {
    QZ_CLASS(TBox, TCustomControl)
public:
    explicit TBox(TComponent* owner = nullptr) : TCustomControl(owner) {}
protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};
QZ_CLASS_IMPL(TBox, TCustomControl)

class DockingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Main = std::make_unique<TForm>(nullptr);
        Main->SetName("Designer");
        Main->SetBounds(50, 50, 500, 360);
        Site = new TBox(Main.get());
        Site->SetName("LeftSite");
        Site->SetParent(Main.get());
        Site->SetBounds(0, 0, 160, 300);
        Site->SetDockSite(true);
        Inspector = std::make_unique<TForm>(nullptr);
        Inspector->SetName("Inspector");
        Inspector->SetBounds(600, 60, 150, 200);
        Tree = std::make_unique<TForm>(nullptr);
        Tree->SetName("DataTree");
        Tree->SetBounds(600, 300, 150, 120);
        Main->Show();
        Inspector->Show();
        Tree->Show();
        GuiTest::ProcessEvents();
        SetDockControlFinder([this](const std::string& n) -> TControl* {
            if (n == "Inspector") return Inspector.get();
            if (n == "DataTree") return Tree.get();
            return nullptr;
        });
    }
    void TearDown() override
    {
        CancelDockDrag();
        SetDockControlFinder(nullptr);
        Tree.reset();
        Inspector.reset();
        Main.reset();
        GuiTest::ProcessEvents();
    }
    std::unique_ptr<TForm> Main, Inspector, Tree;
    TBox* Site = nullptr;
};

TEST_F(DockingTest, ToolWindowsDockFloatAndDockAgain)
{
    EXPECT_TRUE(Inspector->Floating());
    Inspector->ManualDock(Site);
    EXPECT_EQ(Inspector->HostDockSite(), Site);
    EXPECT_EQ(Inspector->Parent(), Site);
    EXPECT_FALSE(Inspector->Floating());
    EXPECT_EQ(Inspector->BoundsRect(), Rect(0, 0, 160, 300));
    Tree->ManualDock(Site);
    ASSERT_EQ(Site->DockClientCount(), 2);
    EXPECT_EQ(Site->DockClients(1), Tree.get());
    // Stacked top to bottom: the first keeps its height, the last takes the rest.
    EXPECT_EQ(Inspector->BoundsRect(), Rect(0, 0, 160, 200));
    EXPECT_EQ(Tree->BoundsRect(), Rect(0, 200, 160, 300));

    Inspector->ManualFloat(Bounds(620, 80, 150, 220));
    EXPECT_TRUE(Inspector->Floating());
    EXPECT_EQ(Inspector->Parent(), nullptr);
    EXPECT_EQ(Inspector->HostDockSite(), nullptr);
    EXPECT_EQ(Inspector->BoundsRect(), Bounds(620, 80, 150, 220));
    EXPECT_EQ(Site->DockClientCount(), 1);
    EXPECT_EQ(Tree->BoundsRect(), Rect(0, 0, 160, 300));
    EXPECT_TRUE(Inspector->Showing());

    // Dropped before the tree.
    Inspector->ManualDock(Site, Tree.get(), alTop);
    EXPECT_EQ(Site->DockClients(0), Inspector.get());
    // Floating again without a place takes the size it had floating.
    Inspector->ManualFloat(TRect());
    EXPECT_EQ(Inspector->Width(), 150);
    EXPECT_EQ(Inspector->Height(), 220);
}

TEST_F(DockingTest, ControlsFloatInAWindowOfTheirOwn)
{
    auto* bar = new TBox(Main.get());
    bar->SetName("ToolBar1");
    bar->SetCaption("标准");
    bar->SetParent(Main.get());
    bar->SetBounds(200, 0, 120, 26);
    EXPECT_FALSE(bar->Floating());
    bar->ManualFloat(Bounds(300, 400, 120, 26));
    ASSERT_TRUE(bar->Floating());
    auto* window = DynamicCast<TCustomForm>(bar->Parent());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Caption(), "标准");
    EXPECT_EQ(window->ClientWidth(), 120);
    EXPECT_EQ(bar->BoundsRect(), Rect(0, 0, 120, 26));
    EXPECT_TRUE(window->Showing());

    bar->ManualDock(Site);
    EXPECT_FALSE(bar->Floating());
    EXPECT_EQ(bar->Parent(), Site);
    GuiTest::ProcessEvents();   // the float window goes once the loop is idle
    EXPECT_EQ(Site->DockClientCount(), 1);

    // A site may refuse to let a control go.
    Site->OnUnDock = [](TObject*, TControl*, TWinControl*, bool& allow) { allow = false; };
    bar->ManualFloat(Bounds(300, 400, 120, 26));
    EXPECT_EQ(bar->Parent(), Site);
    Site->OnUnDock = nullptr;
    EXPECT_THROW(Site->ManualDock(Site), EInvalidOperation);
}

TEST_F(DockingTest, TheLayoutStreamDocksByNameAndRefusesBrokenBytes)
{
    Tree->ManualDock(Site);
    Inspector->ManualDock(Site);
    Site->DockManager()->SetZoneSize(0, 90);
    TMemoryStream saved;
    Site->DockManager()->SaveToStream(&saved);
    auto entries = [&] {
        saved.SetPosition(0);
        return ReadDockLayout(&saved);
    }();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Name, "DataTree");
    EXPECT_EQ(entries[0].Size, 90);

    Tree->ManualFloat(TRect());
    Inspector->ManualFloat(TRect());
    ASSERT_EQ(Site->DockClientCount(), 0);
    saved.SetPosition(0);
    Site->DockManager()->LoadFromStream(&saved);
    ASSERT_EQ(Site->DockClientCount(), 2);
    EXPECT_EQ(Site->DockClients(0), Tree.get());
    EXPECT_EQ(Tree->Height(), 90);
    EXPECT_EQ(Inspector->HostDockSite(), Site);

    std::string good = [&] {
        TStringStream s;
        Site->DockManager()->SaveToStream(&s);
        return s.DataString();
    }();
    for (std::string bad : {std::string(), std::string("QZDK"), good.substr(0, good.size() - 3),
                            std::string("XXXX") + good.substr(4)}) {
        TStringStream s(bad);
        EXPECT_THROW(Site->DockManager()->LoadFromStream(&s), EReadError);
        EXPECT_EQ(Site->DockClientCount(), 2);
    }
    // Names nobody knows are passed over.
    std::string unknown = good;
    unknown.replace(unknown.find("DataTree"), 8, "Vanished");
    TStringStream s(unknown);
    Site->DockManager()->LoadFromStream(&s);
    EXPECT_EQ(Site->DockClientCount(), 2);
}

TEST_F(DockingTest, DraggingShowsWhereItGoesAndDocksOrFloats)
{
    Inspector->ManualDock(Site);
    // Out of the site onto the empty screen: it floats there. A drag starts
    // with the button down on the window it moves.
    GuiTest::MouseDown(Main.get(), mbLeft, Point(10, 10));
    BeginDockDrag(Inspector.get());
    ASSERT_TRUE(DockDragging());
    GuiTest::MouseMove(Main.get(), Point(700, 100));
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 1) << "a frame shows where it would go";
    GuiTest::MouseUp(Main.get(), mbLeft, Point(700, 100));
    EXPECT_FALSE(DockDragging());
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0);
    EXPECT_TRUE(Inspector->Floating());
    TPoint screenDrop = Main->ClientToScreen(Point(700, 100));
    EXPECT_EQ(Inspector->Left(), screenDrop.X);

    // Back over the site: docked again.
    GuiTest::MouseDown(Inspector.get(), mbLeft, Point(10, 10));
    BeginDockDrag(Inspector.get());
    GuiTest::MouseMove(Site, Point(40, 40));
    GuiTest::MouseUp(Site, mbLeft, Point(40, 40));
    EXPECT_EQ(Inspector->HostDockSite(), Site);

    // Esc leaves everything as it was; a site that refuses takes nothing.
    GuiTest::MouseDown(Main.get(), mbLeft, Point(10, 10));
    BeginDockDrag(Inspector.get());
    GuiTest::MouseMove(Main.get(), Point(700, 100));
    Main->SetFocus();
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(DockDragging());
    GuiTest::MouseUp(Main.get(), mbLeft, Point(700, 100));
    EXPECT_EQ(Inspector->HostDockSite(), Site);
    Site->OnDockOver = [](TObject*, TDragDockObject*, int, int, TDragState, bool& accept) { accept = false; };
    Tree->ManualFloat(TRect());
    GuiTest::MouseDown(Tree.get(), mbLeft, Point(10, 10));
    BeginDockDrag(Tree.get());
    GuiTest::MouseMove(Site, Point(40, 40));
    GuiTest::MouseUp(Site, mbLeft, Point(40, 40));
    EXPECT_TRUE(Tree->Floating());
}

} // namespace
