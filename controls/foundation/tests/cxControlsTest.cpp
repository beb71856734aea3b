#include "Forms.h"
#include "GuiTesting.h"
#include "cxControls.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

// A control with content of a given pixel size that logs its scroll requests.
class TContentControl : public TcxControl {
    QZ_CLASS(TContentControl, TcxControl)
public:
    explicit TContentControl(TComponent* AOwner = nullptr) : TcxControl(AOwner) {}
    int ContentW = 100, ContentH = 100;
    bool HideAllowed = true;
    std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
    bool Focusable = true;
    bool DragOnPress = false;
    void InitScrollBarsParameters() override
    {
        const TRect c = GetClientBounds();
        SetScrollBarInfo(sbHorizontal, 0, ContentW - 1, 1, c.Width(), 0, true, HideAllowed);
        SetScrollBarInfo(sbVertical, 0, ContentH - 1, 1, c.Height(), 0, true, HideAllowed);
    }
    void Scroll(TScrollBarKind k, TScrollCode code, int& pos) override { Scrolls.push_back({k, code}); }
    bool MayFocus() const override { return Focusable; }
    bool StartDragAndDrop(const TPoint&) override { return DragOnPress; }
    void Refresh() { BoundsChanged(); }
};
QZ_CLASS_IMPL(TContentControl, TcxControl)

// A drag-and-drop object that logs its steps.
struct TDragLog {
    std::vector<std::string> Steps;
};
TDragLog* GDragLog = nullptr;
class TLoggingDragObject : public TcxDragAndDropObject {
    QZ_CLASS(TLoggingDragObject, TcxDragAndDropObject)
public:
    TLoggingDragObject() = default;
    void BeginDragAndDrop() override { GDragLog->Steps.push_back("begin"); }
    void DragAndDrop(const TPoint& P, bool& Accepted) override
    {
        Accepted = true;
        TcxDragAndDropObject::DragAndDrop(P, Accepted);
        GDragLog->Steps.push_back("move " + std::to_string(P.X));
    }
    void EndDragAndDrop(bool Accepted) override { GDragLog->Steps.push_back(Accepted ? "end ok" : "end cancel"); }
};
QZ_CLASS_IMPL(TLoggingDragObject, TcxDragAndDropObject)

class TMenu : public TComponent, public IcxPopupMenu {
    QZ_CLASS(TMenu, TComponent)
public:
    using TComponent::TComponent;
    std::vector<TPoint> Shown;
    void Popup(int X, int Y) override { Shown.push_back({X, Y}); }
};
QZ_CLASS_IMPL(TMenu, TComponent)

class ControlTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        cxControls::Initialize();
        MakeForm();
        C = new TContentControl(Form);
        C->SetParent(Form);
        C->SetBounds(10, 10, 200, 150);
        Other = new TContentControl(Form);
        Other->SetParent(Form);
        Other->SetBounds(250, 10, 100, 100);
        ShowForm();
    }
    TContentControl* C = nullptr;
    TContentControl* Other = nullptr;
};

TEST_F(ControlTest, BarsFollowContentAndScrollStyle)
{
    C->ContentW = 500;
    C->ContentH = 50;
    C->Refresh();
    EXPECT_TRUE(C->IsHScrollBarVisible());
    EXPECT_FALSE(C->IsVScrollBarVisible());
    const TRect client = C->GetClientBounds();
    EXPECT_EQ(client.Bottom, C->Height() - 1 - 17);   // ultra-flat frame of 1, then the bar
    EXPECT_EQ(C->HScrollBar()->BoundsRect(), Rect(1, client.Bottom, client.Right, client.Bottom + 17));
    EXPECT_FALSE(C->SizeGrip()->Visible());

    C->ContentH = 500;
    C->Refresh();
    EXPECT_TRUE(C->IsVScrollBarVisible());
    EXPECT_TRUE(C->SizeGrip()->Visible());
    EXPECT_EQ(C->SizeGrip()->BoundsRect(), Rect(C->Width() - 1 - 17, C->Height() - 1 - 17, C->Width() - 1, C->Height() - 1));

    C->SetScrollBars(ssNone);
    EXPECT_FALSE(C->IsHScrollBarVisible());
    EXPECT_FALSE(C->IsVScrollBarVisible());
    C->SetScrollBars(ssHorizontal);
    EXPECT_TRUE(C->IsHScrollBarVisible());
    EXPECT_FALSE(C->IsVScrollBarVisible());
}

TEST_F(ControlTest, FittingContentHidesOrGreysTheBar)
{
    C->ContentW = C->ContentH = 50;
    C->Refresh();
    EXPECT_FALSE(C->IsHScrollBarVisible());
    C->HideAllowed = false;
    C->Refresh();
    EXPECT_TRUE(C->IsHScrollBarVisible());
    EXPECT_FALSE(C->HScrollBar()->Enabled());
    EXPECT_TRUE(C->IsVScrollBarVisible());
}

TEST_F(ControlTest, WheelScrollsLinesOnlyWithAVerticalBar)
{
    C->ContentW = 500;
    C->ContentH = 50;
    C->Refresh();
    GuiTest::Wheel(C, Point(20, 20), 120);
    EXPECT_TRUE(C->Scrolls.empty());   // horizontal bar only: nothing in the base class
    C->ContentH = 500;
    C->Refresh();
    GuiTest::Wheel(C, Point(20, 20), -120);
    const int lines = Mouse->WheelScrollLines();
    ASSERT_EQ(int(C->Scrolls.size()), lines);
    for (auto& s : C->Scrolls) {
        EXPECT_EQ(s.first, sbVertical);
        EXPECT_EQ(s.second, scLineDown);
    }
    C->Scrolls.clear();
    C->ScrollContent(dirLeft);
    ASSERT_EQ(C->Scrolls.size(), 1u);
    EXPECT_EQ(C->Scrolls[0].first, sbHorizontal);
    EXPECT_EQ(C->Scrolls[0].second, scLineUp);
}

TEST_F(ControlTest, ScrollBarEventsReachTheControl)
{
    C->ContentW = C->ContentH = 1000;
    C->Refresh();
    GuiTest::Click(C->VScrollBar(), Point(5, C->VScrollBar()->Height() - 5));
    ASSERT_FALSE(C->Scrolls.empty());
    EXPECT_EQ(C->Scrolls[0].first, sbVertical);
    EXPECT_EQ(C->Scrolls[0].second, scLineDown);
    EXPECT_TRUE(C->Focused());   // a press on the bar focuses its control
}

TEST_F(ControlTest, FocusOnClickFollowsTheRules)
{
    GuiTest::Click(C, Point(20, 20));
    EXPECT_TRUE(C->Focused());
    Other->Focusable = false;
    GuiTest::Click(Other, Point(20, 20));
    EXPECT_TRUE(C->Focused());
    int focusChanges = 0;
    C->OnFocusChanged = [&](TObject*) { ++focusChanges; };
    Other->Focusable = true;
    GuiTest::Click(Other, Point(20, 20));
    EXPECT_TRUE(Other->Focused());
    EXPECT_GE(focusChanges, 1);
}

TEST_F(ControlTest, HandlerThatFreesTheControlEndsTheProcessing)
{
    TContentControl* victim = C;
    victim->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        delete victim;
        C = nullptr;
    };
    TcxControl* watched = victim;
    victim->AddDestroyGuard(&watched);
    GuiTest::MouseDown(victim, mbLeft, Point(20, 20));
    EXPECT_EQ(watched, nullptr);
    EXPECT_EQ(Form->ControlCount(), 1);
    GuiTest::MouseUp(Form, mbLeft, Point(30, 30));   // the button goes up somewhere
}

TEST_F(ControlTest, PopupMenuOnlyInsideTheClientArea)
{
    auto* menu = new TMenu(Form);
    auto* notAMenu = new TComponent(Form);
    C->SetPopupMenu(notAMenu);
    EXPECT_EQ(C->PopupMenu(), nullptr);
    C->SetPopupMenu(menu);
    EXPECT_EQ(C->PopupMenu(), menu);
    C->ContentW = C->ContentH = 1000;
    C->Refresh();
    GuiTest::Click(C, Point(30, 40), mbRight);
    ASSERT_EQ(menu->Shown.size(), 1u);
    EXPECT_EQ(menu->Shown[0], C->ClientToScreen(Point(30, 40)));
    // On the scroll bar (outside the control's own client area): not the control's menu.
    GuiTest::Click(C->VScrollBar(), Point(5, 40), mbRight);
    EXPECT_EQ(menu->Shown.size(), 1u);
    delete menu;
    EXPECT_EQ(C->PopupMenu(), nullptr);
}

TEST_F(ControlTest, InternalDragAndDrop)
{
    TDragLog log;
    GDragLog = &log;
    C->DragOnPress = true;
    C->DragAndDropObjectClass = TLoggingDragObject::StaticClass();
    // A press and release within the threshold never begins.
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    EXPECT_EQ(C->DragAndDropState(), ddsStarting);
    GuiTest::MouseMove(C, Point(21, 21));
    GuiTest::MouseUp(C, mbLeft, Point(21, 21));
    EXPECT_TRUE(log.Steps.empty());
    EXPECT_EQ(C->DragAndDropState(), ddsNone);

    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(40, 20));
    EXPECT_EQ(C->DragAndDropState(), ddsInProcess);
    // The internal drag and drop also works in the form designer.
    EXPECT_EQ(C->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(40, 20)), 1);
    GuiTest::MouseMove(C, Point(60, 20));
    GuiTest::MouseUp(C, mbLeft, Point(60, 20));
    EXPECT_EQ(log.Steps, (std::vector<std::string>{"begin", "move 40", "move 60", "end ok"}));
    EXPECT_EQ(C->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(40, 20)), 0);

    // Esc cancels and puts back the screen cursor saved at the start.
    log.Steps.clear();
    Screen->SetCursor(crHandPoint);
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(50, 20));
    EXPECT_EQ(Screen->Cursor(), crDrag);
    GuiTest::KeyDown(VK_ESCAPE);
    EXPECT_EQ(log.Steps.back(), "end cancel");
    EXPECT_EQ(Screen->Cursor(), crHandPoint);
    GuiTest::MouseUp(C, mbLeft, Point(50, 20));
    EXPECT_EQ(log.Steps.back(), "end cancel");
    Screen->SetCursor(crDefault);
    GDragLog = nullptr;
}

TEST_F(ControlTest, WantedKeysAnswerTheDialogCodeQuery)
{
    EXPECT_EQ(C->Perform(WM_GETDLGCODE), 0);
    C->SetWantedKeys(TcxWantedKeys{wkArrows, wkChars, wkTab});
    EXPECT_EQ(C->Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
}

TEST_F(ControlTest, SystemScrollBarSizeChangeResizesTheBars)
{
    C->ContentW = C->ContentH = 1000;
    C->Refresh();
    C->HScrollBar()->SetHeight(10);
    ASSERT_NE(cxControls::SettingsControllerWindow(), nullptr);
    SendMessage(cxControls::SettingsControllerWindow(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    GuiTest::ProcessEvents();
    EXPECT_EQ(C->HScrollBar()->Height(), 17);
    EXPECT_EQ(C->GetClientBounds().Bottom, C->Height() - 1 - 17);
}

TEST_F(ControlTest, BorderIsThePaintersFrame)
{
    C->LookAndFeel()->SetKind(lfStandard);
    EXPECT_EQ(C->GetBorderWidth(), 2);
    C->SetBorderStyle(cxcbsNone);
    EXPECT_EQ(C->GetBorderWidth(), 0);
    C->SetBorderStyle(cxcbsDefault);
    C->LookAndFeel()->SetKind(lfUltraFlat);
    C->Repaint();
    GuiTest::ProcessEvents();
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(C, Point(0, 50))), ColorToRGB(clBtnShadow));
}

TEST(cxPanScrolling, DirectionSpeedAndCursor)
{
    const TRect screen{0, 0, 1000, 800};
    const TPoint anchor{500, 400};
    struct Case { TPoint p; bool h, v; TcxDirection dir; int speed; };
    const Case cases[] = {
        {{505, 405}, true, true, dirNone, 0},
        {{500, 350}, true, true, dirUp, (50 - 14) / 5 + 1},
        {{500, 1000}, true, true, dirDown, 12},
        {{440, 410}, true, true, dirLeft, (60 - 14) / 5 + 1},
        {{560, 430}, true, true, dirRight, (60 - 14) / 5 + 1},
        {{500, 100}, true, false, dirNone, 0},   // only horizontal: vertical moves stay neutral
        {{700, 100}, false, true, dirUp, 12},    // only vertical: always vertical
    };
    for (const Case& c : cases) {
        TcxDirection dir = dirNone;
        int speed = -1;
        bool moved = false;
        TcxControl::CalcPanDirection(anchor, 28, c.p, c.h, c.v, screen, dir, speed, moved);
        EXPECT_EQ(dir, c.dir) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(speed, c.speed) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(moved, c.dir != dirNone);
    }
    EXPECT_EQ(TcxControl::PanCursor(dirNone, true, true), 2101);
    EXPECT_EQ(TcxControl::PanCursor(dirNone, true, false), 2102);
    EXPECT_EQ(TcxControl::PanCursor(dirNone, false, true), 2103);
    EXPECT_EQ(TcxControl::PanCursor(dirUp, true, true), 2104);
    EXPECT_EQ(TcxControl::PanCursor(dirLeft, true, true), 2107);
}

struct TTracker : IcxMouseTrackingCaller {
    int Left = 0;
    void MouseLeave() override { ++Left; }
};

TEST_F(ControlTest, MouseTrackingByTimer)
{
    GuiTest::TManualTime clock;
    const TPoint cursor = cxControls::GetMouseCursorPos();
    TTracker inside, outside;
    cxControls::BeginMouseTracking(nullptr, {cursor.X - 5, cursor.Y - 5, cursor.X + 5, cursor.Y + 5}, &inside);
    cxControls::BeginMouseTracking(nullptr, {cursor.X + 100, cursor.Y + 100, cursor.X + 110, cursor.Y + 110}, &outside);
    cxControls::BeginMouseTracking(nullptr, {0, 0, 1, 1}, &outside);   // already tracked: nothing
    clock.Advance(10);
    EXPECT_EQ(outside.Left, 1);
    EXPECT_FALSE(cxControls::IsMouseTracking(&outside));
    EXPECT_EQ(inside.Left, 0);
    EXPECT_TRUE(cxControls::IsMouseTracking(&inside));
    EXPECT_THROW(cxControls::Finalize(), Exception);
    cxControls::EndMouseTracking(&inside);
    EXPECT_NO_THROW(cxControls::Finalize());
}

TEST_F(ControlTest, HourglassCounterAndCursors)
{
    Screen->SetCursor(crIBeam);
    cxControls::ShowHourglassCursor();
    cxControls::ShowHourglassCursor();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    cxControls::HideHourglassCursor();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    cxControls::HideHourglassCursor();
    EXPECT_EQ(Screen->Cursor(), crIBeam);
    cxControls::HideHourglassCursor();   // never below zero
    EXPECT_EQ(Screen->Cursor(), crIBeam);
    Screen->SetCursor(crDefault);
    for (int id = 2100; id <= 2113; ++id) EXPECT_NE(Screen->Cursors(id), nullptr) << id;
}

TEST(cxControlChildComponent, LinksToItsControl)
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    TComponent owner(nullptr);
    auto* control = new TcxControl(&owner);
    auto* child = TcxControlChildComponent::CreateForControl(TcxControlChildComponent::StaticClass(), control);
    EXPECT_EQ(child->Control(), control);
    EXPECT_EQ(child->Owner(), &owner);
    EXPECT_EQ(child->GetParentComponent(), control);
    FreeObject(child);
}

}  // namespace

namespace {

TEST_F(ControlTest, AutomaticDragWaitsForTheMouseToLeaveTheDeadZone)
{
    C->SetDragMode(dmAutomatic);
    int starts = 0;
    C->OnStartDrag = [&](TObject*, TDragObject*&) { ++starts; };
    // A press and release without moving: no drag.
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseUp(C, mbLeft, Point(20, 20));
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(C->Dragging());
    // Moving out of the dead zone starts the framework drag with the control's object.
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(40, 20));
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(C->Dragging());
    EXPECT_NE(DynamicCast<TcxDragControlObject>(DragObject()), nullptr);
    GuiTest::MouseUp(C, mbLeft, Point(40, 20));
    EXPECT_FALSE(C->Dragging());
}

}  // namespace
