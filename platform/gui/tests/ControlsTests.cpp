// Controls and forms driven through the window system's input path.
#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

// A control that notes the messages it gets and paints a colour.
class TProbe : public TCustomControl {
    QZ_CLASS(TProbe, TCustomControl)
public:
    explicit TProbe(TComponent* owner = nullptr) : TCustomControl(owner) { SetBounds(0, 0, 50, 40); }
    std::vector<UINT> Msgs;
    std::vector<std::string> Log;
    LRESULT DlgCode = 0;
    TColor Fill = clAqua;
    int Paints = 0;
    bool Has(UINT m) const { return std::find(Msgs.begin(), Msgs.end(), m) != Msgs.end(); }
    int Count(UINT m) const { return int(std::count(Msgs.begin(), Msgs.end(), m)); }

    void WndProc(TMessage& m) override
    {
        Msgs.push_back(m.Msg);
        TCustomControl::WndProc(m);
    }
    void KeyDown(WORD& key, TShiftState shift) override
    {
        Log.push_back("down " + std::to_string(key));
        TCustomControl::KeyDown(key, shift);
    }
    void KeyPress(char& key) override
    {
        Log.push_back(std::string("press ") + std::to_string(uint8_t(key)));
        TCustomControl::KeyPress(key);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        Log.push_back("mousedown " + std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssDouble) ? " double" : ""));
        TCustomControl::MouseDown(b, s, x, y);
    }

protected:
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
    void WMGetDlgCode2(TMessage& m) { m.Result = DlgCode; }
    void WMTimer(TMessage& m) { Log.push_back("timer " + std::to_string(m.WParam)); }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode2)
        QZ_MESSAGE_HANDLER(WM_TIMER, WMTimer)
    QZ_END_MESSAGE_MAP
};
QZ_CLASS_IMPL(TProbe, TCustomControl)

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        host = std::make_shared<TRecordingHost>();
        scope = std::make_unique<THostScope>(host);
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 300, 200);
        a = new TProbe(form);
        a->SetParent(form);
        a->SetBounds(10, 10, 50, 40);
        a->SetTabStop(true);
        b = new TProbe(form);
        b->SetParent(form);
        b->SetBounds(100, 10, 50, 40);
        b->SetTabStop(true);
    }
    void TearDown() override
    {
        delete form;
        GuiTest::ProcessEvents();
        scope.reset();
    }
    void ShowForm()
    {
        form->Show();
        GuiTest::ProcessEvents();
    }
    std::shared_ptr<TRecordingHost> host;
    std::unique_ptr<THostScope> scope;
    TForm* form = nullptr;
    TProbe* a = nullptr;
    TProbe* b = nullptr;
};

// ---- messages

class TMapped : public TProbe {
    QZ_CLASS(TMapped, TProbe)
public:
    using TProbe::TProbe;
    std::vector<std::string> Trace;
protected:
    void CMColor(TMessage& m)
    {
        Trace.push_back("derived");
        inherited::Dispatch(m);   // what the parent classes do for it
        Trace.push_back("after");
    }
    void Private(TMessage& m) { m.Result = LRESULT(m.WParam + m.LParam); }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_COLORCHANGED, CMColor)
        QZ_MESSAGE_HANDLER(WM_APP + 0x66, Private)
    QZ_END_MESSAGE_MAP
};
QZ_CLASS_IMPL(TMapped, TProbe)

TEST_F(ControlsTest, MessageMapsDispatchAndPassOnToTheParentClass)
{
    auto* m = new TMapped(form);
    m->SetParent(form);
    EXPECT_EQ(m->Perform(WM_APP + 0x66, 2, 3), 5);
    m->Trace.clear();
    m->SetColor(clRed);
    EXPECT_EQ(m->Trace, (std::vector<std::string>{"derived", "after"}));
    EXPECT_EQ(m->Brush()->Color(), clRed);   // the window control's own handler ran too
    // Unknown messages reach DefaultHandler and answer 0.
    EXPECT_EQ(m->Perform(WM_USER + 77), 0);
    // SendMessage goes through the window procedure by handle; stale handles answer 0.
    HWND h = m->Handle();
    EXPECT_EQ(SendMessage(h, WM_APP + 0x66, 4, 5), 9);
    delete m;
    EXPECT_EQ(SendMessage(h, WM_APP + 0x66, 4, 5), 0);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(ControlsTest, ReplacedWindowProcSeesAndCanSwallowMessages)
{
    std::vector<UINT> seen;
    auto old = a->WindowProc;
    a->WindowProc = [&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == CM_TEXTCHANGED) return;   // swallowed
        a->WndProc(m);
    };
    a->SetText("x");
    EXPECT_NE(std::find(seen.begin(), seen.end(), CM_TEXTCHANGED), seen.end());
    EXPECT_FALSE(a->Has(CM_TEXTCHANGED));
    a->WindowProc = old;
    a->SetText("y");
    EXPECT_TRUE(a->Has(CM_TEXTCHANGED));
}

TEST_F(ControlsTest, PostedMessagesWaitForTheLoopAndCanBeTakenOut)
{
    ShowForm();
    HWND h = a->Handle();
    a->Msgs.clear();
    PostMessage(h, WM_APP + 1, 1, 0);
    PostMessage(h, WM_APP + 2, 2, 0);
    PostMessage(h, WM_APP + 1, 3, 0);
    EXPECT_FALSE(a->Has(WM_APP + 1));
    TMsg msg;
    // A duplicate is taken out before the loop sees it (de-duplicated deferred work).
    EXPECT_TRUE(PeekMessage(&msg, h, WM_APP + 1, WM_APP + 1, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(PeekMessage(&msg, h, WM_APP + 1, WM_APP + 1, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    GuiTest::ProcessEvents();
    EXPECT_EQ(a->Count(WM_APP + 1), 1);
    EXPECT_EQ(a->Count(WM_APP + 2), 1);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(uintptr_t(12345)), WM_APP, 0, 0));
}

TEST_F(ControlsTest, FiltersSeeAndStopMessagesAtTheirPoints)
{
    ShowForm();
    std::vector<UINT> called;
    int f1 = AddMessageFilter(TMessageFilterKind::GetMessage, [&](HWND, TMessage& m) {
        if (m.Msg == WM_KEYDOWN && m.WParam == 'Q') return true;   // dropped
        return false;
    });
    int f2 = AddMessageFilter(TMessageFilterKind::Mouse, [&](HWND, TMessage& m) {
        called.push_back(m.Msg);
        return m.Msg == WM_RBUTTONDOWN;
    });
    int f3 = AddMessageFilter(TMessageFilterKind::CallWndProc, [&](HWND, TMessage& m) {
        if (m.Msg == WM_APP + 5) {
            m.Result = 77;
            return true;
        }
        return false;
    });
    a->SetFocus();
    GuiTest::ProcessEvents();
    a->Log.clear();
    GuiTest::KeyPress('Q');
    GuiTest::KeyPress('W');
    EXPECT_EQ(std::count(a->Log.begin(), a->Log.end(), "down 81"), 0);
    EXPECT_EQ(std::count(a->Log.begin(), a->Log.end(), "down 87"), 1);
    a->Msgs.clear();
    GuiTest::Click(a, Point(5, 5), mbRight);
    EXPECT_FALSE(a->Has(WM_RBUTTONDOWN));
    EXPECT_TRUE(a->Has(WM_RBUTTONUP));
    EXPECT_NE(std::find(called.begin(), called.end(), WM_RBUTTONDOWN), called.end());
    EXPECT_EQ(SendMessage(a->Handle(), WM_APP + 5, 0, 0), 77);
    RemoveMessageFilter(f1);
    RemoveMessageFilter(f2);
    RemoveMessageFilter(f3);
    EXPECT_EQ(SendMessage(a->Handle(), WM_APP + 5, 0, 0), 0);
}

// ---- mouse

TEST_F(ControlsTest, ClickTurnsIntoButtonMessagesWithCaptureAndClick)
{
    ShowForm();
    int clicks = 0;
    bool capturedWhileDown = false;
    a->OnClick = [&](TObject*) { ++clicks; };
    a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { capturedWhileDown = a->MouseCapture(); };
    GuiTest::Click(a, Point(7, 9));
    EXPECT_TRUE(a->Has(WM_LBUTTONDOWN));
    EXPECT_TRUE(a->Has(WM_LBUTTONUP));
    EXPECT_EQ(a->Log.back(), "mousedown 7,9");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(capturedWhileDown);
    EXPECT_FALSE(a->MouseCapture());
    EXPECT_FALSE(b->Has(WM_LBUTTONDOWN));

    // Released outside the control: no click.
    GuiTest::MouseDown(a, mbLeft, Point(5, 5));
    GuiTest::MouseUp(a, mbLeft, Point(200, 5));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, DoubleClickGivesTheDoubleClickMessage)
{
    ShowForm();
    int dbl = 0;
    a->OnDblClick = [&](TObject*) { ++dbl; };
    GuiTest::DoubleClick(a, Point(3, 4));
    EXPECT_TRUE(a->Has(WM_LBUTTONDBLCLK));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(a->Log.back(), "mousedown 3,4 double");
}

class TBox : public TGraphicControl {
    QZ_CLASS(TBox, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string> Log;
protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(ClientRect());
    }
    void MouseDown(TMouseButton, TShiftState, int x, int y) override
    {
        Log.push_back(std::to_string(x) + "," + std::to_string(y));
    }
};
QZ_CLASS_IMPL(TBox, TGraphicControl)

TEST_F(ControlsTest, GraphicControlsPaintOnTheirParentAndGetItsMouse)
{
    auto* g = new TBox(form);
    g->SetParent(form);
    g->SetBounds(200, 100, 20, 10);
    int enter = 0, leave = 0;
    g->OnMouseEnter = [&](TObject*) { ++enter; };
    g->OnMouseLeave = [&](TObject*) { ++leave; };
    ShowForm();
    EXPECT_EQ(GuiTest::PixelAt(form, Point(205, 105)), clRed);
    EXPECT_EQ(GuiTest::PixelAt(form, Point(221, 105)), TColor(GetSysColor(COLOR_BTNFACE)));
    GuiTest::MouseMove(form, Point(150, 150));
    GuiTest::MouseMove(form, Point(205, 105));
    EXPECT_EQ(enter, 1);
    GuiTest::Click(form, Point(207, 106));
    ASSERT_EQ(g->Log.size(), 1u);
    EXPECT_EQ(g->Log[0], "7,6");
    GuiTest::MouseMove(form, Point(150, 150));
    EXPECT_EQ(leave, 1);
    // Hidden, it neither paints nor takes clicks.
    g->Hide();
    GuiTest::Click(form, Point(207, 106));
    EXPECT_EQ(g->Log.size(), 1u);
    EXPECT_EQ(GuiTest::PixelAt(form, Point(205, 105)), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(ControlsTest, WheelGoesToTheFocusedControlAndUpToItsParent)
{
    ShowForm();
    b->SetFocus();
    GuiTest::ProcessEvents();
    int down = 0, parentWheel = 0;
    b->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        ++down;
        handled = true;
    };
    GuiTest::Wheel(a, Point(5, 5), -120);
    EXPECT_EQ(down, 1);
    EXPECT_FALSE(a->Has(WM_MOUSEWHEEL));
    form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        parentWheel = delta;
        handled = true;
    };
    GuiTest::Wheel(a, Point(5, 5), 120);   // b does not take an upward turn
    EXPECT_EQ(parentWheel, 120);
}

TEST_F(ControlsTest, RightClickAsksForTheContextMenu)
{
    ShowForm();
    TPoint at{-1, -1};
    a->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        at = p;
        handled = true;
    };
    GuiTest::Click(a, Point(12, 13), mbRight);
    EXPECT_EQ(at, Point(12, 13));
    // The menu component goes to the installed menu handler.
    a->OnContextPopup = nullptr;
    TComponent menu(nullptr);
    a->SetPopupMenu(&menu);
    TComponent* shown = nullptr;
    TPoint screenAt;
    SetPopupMenuHandler([&](TComponent* m, TControl*, TPoint p) {
        shown = m;
        screenAt = p;
        return true;
    });
    GuiTest::Click(a, Point(2, 3), mbRight);
    EXPECT_EQ(shown, &menu);
    EXPECT_EQ(screenAt, a->ClientToScreen(Point(2, 3)));
    SetPopupMenuHandler(nullptr);
}

// ---- keys and focus

TEST_F(ControlsTest, KeysBecomeKeyDownCharacterAndKeyUp)
{
    ShowForm();
    a->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(form->ActiveControl(), a);
    a->Log.clear();
    a->Msgs.clear();
    GuiTest::KeyPress('A', {ssShift});
    // The shift key itself comes first, as typing it does.
    EXPECT_EQ(a->Log, (std::vector<std::string>{"down 16", "down 65", "press 65"}));
    EXPECT_TRUE(a->Has(WM_KEYUP));
    EXPECT_TRUE(a->Has(CN_KEYDOWN));
    // Ctrl+V comes as character 22.
    a->Log.clear();
    GuiTest::KeyPress('V', {ssCtrl});
    EXPECT_EQ(a->Log.back(), "press 22");
    // A Chinese character reaches KeyPress as its two GBK bytes.
    a->Log.clear();
    GuiTest::TypeText("学", true);
    EXPECT_EQ(a->Log, (std::vector<std::string>{"press 209", "press 167"}));
}

TEST_F(ControlsTest, KeyPreviewLetsTheFormSeeAndTakeKeysFirst)
{
    ShowForm();
    a->SetFocus();
    GuiTest::ProcessEvents();
    std::vector<std::string> order;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        order.push_back("form");
        if (key == VK_F3) key = 0;
    };
    a->OnKeyDown = [&](TObject*, WORD&, TShiftState) { order.push_back("control"); };
    GuiTest::KeyPress(VK_F2);
    EXPECT_EQ(order, (std::vector<std::string>{"form", "control"}));
    order.clear();
    GuiTest::KeyPress(VK_F3);
    EXPECT_EQ(order, (std::vector<std::string>{"form"}));
}

TEST_F(ControlsTest, TabMovesFocusInTabOrderUnlessTheControlWantsTabs)
{
    ShowForm();
    std::vector<std::string> events;
    a->OnEnter = [&](TObject*) { events.push_back("enter a"); };
    a->OnExit = [&](TObject*) { events.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { events.push_back("enter b"); };
    a->SetFocus();
    GuiTest::ProcessEvents();
    events.clear();
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(events, (std::vector<std::string>{"exit a", "enter b"}));
    GuiTest::KeyPress(VK_TAB, {ssShift});
    EXPECT_TRUE(a->Focused());
    // Tab order, not creation order.
    b->SetTabOrder(0);
    GuiTest::KeyPress(VK_TAB);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(b->Focused());
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(a->Focused());
    // A control that wants tabs gets them as keys.
    a->DlgCode = DLGC_WANTTAB;
    a->Log.clear();
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(a->Log.front(), "down 9");
    // Controls without a tab stop, hidden or disabled are passed over.
    a->DlgCode = 0;
    b->SetEnabled(false);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(a->Focused());
}

TEST_F(ControlsTest, FocusIsKeptByTheFormUntilItShows)
{
    form->SetActiveControl(b);
    EXPECT_FALSE(b->Focused());
    ShowForm();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(Screen->ActiveForm(), form);
    EXPECT_EQ(Screen->ActiveControl(), b);
    b->Hide();
    EXPECT_FALSE(b->CanFocus());
    EXPECT_THROW(b->SetFocus(), EInvalidOperation);
}

// ---- layout

TEST_F(ControlsTest, AlignmentSharesTheClientAreaInOrder)
{
    auto* top = new TProbe(form);
    top->SetParent(form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* right = new TProbe(form);
    right->SetParent(form);
    right->SetWidth(40);
    right->SetAlign(alRight);
    auto* client = new TProbe(form);
    client->SetParent(form);
    client->SetAlign(alClient);
    TRect cr = form->ClientRect();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, cr.Right, 30));
    EXPECT_EQ(right->BoundsRect(), Rect(cr.Right - 40, 30, cr.Right, cr.Bottom));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, cr.Right - 40, cr.Bottom));
    form->SetBounds(form->Left(), form->Top(), 400, 300);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 360, 300));
    // Hidden aligned controls give their room back.
    top->Hide();
    EXPECT_EQ(client->Top(), 0);
}

TEST_F(ControlsTest, AnchorsKeepDistancesAndConstraintsLimitSize)
{
    a->SetAnchors({akLeft, akTop, akRight, akBottom});
    b->SetAnchors({akRight, akBottom});
    form->SetBounds(form->Left(), form->Top(), 400, 260);   // 100 wider, 60 taller
    EXPECT_EQ(a->BoundsRect(), Rect(10, 10, 160, 110));
    EXPECT_EQ(b->BoundsRect(), Rect(200, 70, 250, 110));
    a->Constraints()->SetMaxWidth(60);
    EXPECT_EQ(a->Width(), 60);
    a->SetWidth(10);
    a->Constraints()->SetMinWidth(20);
    EXPECT_EQ(a->Width(), 20);
}

TEST_F(ControlsTest, ColourAndFontFollowTheParentUntilSet)
{
    form->SetColor(clTeal);
    form->Font()->SetName("黑体");
    EXPECT_EQ(a->Color(), clTeal);
    EXPECT_EQ(a->Font()->Name(), "黑体");
    a->SetColor(clYellow);
    a->Font()->SetSize(12);
    EXPECT_FALSE(a->ParentColor());
    EXPECT_FALSE(a->ParentFont());
    form->SetColor(clMaroon);
    form->Font()->SetName("宋体");
    EXPECT_EQ(a->Color(), clYellow);
    EXPECT_EQ(a->Font()->Name(), "黑体");
    EXPECT_EQ(b->Color(), clMaroon);
    EXPECT_EQ(b->Font()->Name(), "宋体");
    a->SetParentFont(true);
    EXPECT_EQ(a->Font()->Name(), "宋体");
}

TEST_F(ControlsTest, ControlsPaintIntoTheirWindowAndIntoCanvases)
{
    ShowForm();
    a->Fill = clLime;
    a->Invalidate();
    EXPECT_EQ(GuiTest::PixelAt(a, Point(1, 1)), clLime);
    EXPECT_EQ(GuiTest::PixelAt(form, Point(11, 11)), clLime);
    TBitmap bmp(300, 200);
    form->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas()->Pixels(11, 11), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(bmp.Canvas()->Pixels(101, 11), clAqua);
}

class TFramed : public TCustomControl {
    QZ_CLASS(TFramed, TCustomControl)
public:
    using TCustomControl::TCustomControl;
protected:
    void CreateParams(TCreateParams& p) override
    {
        TCustomControl::CreateParams(p);
        p.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};
QZ_CLASS_IMPL(TFramed, TCustomControl)

TEST_F(ControlsTest, NonClientBordersShrinkTheClientAreaAndArePainted)
{
    auto* f = new TFramed(form);
    f->SetParent(form);
    f->SetBounds(10, 60, 40, 30);
    ShowForm();
    EXPECT_EQ(f->ClientRect(), Rect(0, 0, 36, 26));
    EXPECT_EQ(f->ClientToScreen(Point(0, 0)), form->ClientToScreen(Point(12, 62)));
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(f));
    EXPECT_EQ(TColorRef(shot->Canvas()->Pixels(0, 0)), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(TColorRef(shot->Canvas()->Pixels(39, 29)), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shot->Canvas()->Pixels(2, 2), clWhite);
}

// ---- timers

TEST_F(ControlsTest, TimersFireOnTheManualClockInOrder)
{
    GuiTest::TManualTime clock;
    ShowForm();
    std::vector<std::string> fired;
    TTimer t(nullptr);
    t.SetInterval(100);
    t.OnTimer = [&](TObject*) { fired.push_back("t"); };
    SetTimer(a->Handle(), 7, 250);
    a->Log.clear();
    clock.Advance(99);
    EXPECT_TRUE(fired.empty());
    clock.Advance(1);
    EXPECT_EQ(fired.size(), 1u);
    clock.Advance(200);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_EQ(a->Log, (std::vector<std::string>{"timer 7"}));
    t.SetEnabled(false);
    KillTimer(a->Handle(), 7);
    clock.Advance(1000);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_EQ(a->Log.size(), 1u);
    // A timer that stops itself from its handler fires once.
    t.OnTimer = [&](TObject*) {
        fired.push_back("once");
        t.SetEnabled(false);
    };
    t.SetEnabled(true);
    clock.Advance(500);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "once"), 1);
}

// ---- forms

TEST_F(ControlsTest, ShowModalRunsUntilAModalResultAndCloseQueryCanRefuse)
{
    auto* dlg = new TForm(nullptr);
    dlg->SetBorderStyle(bsDialog);
    dlg->SetPosition(poScreenCenter);
    int queries = 0;
    dlg->OnCloseQuery = [&](TObject*, bool& can) { can = ++queries > 1; };
    std::vector<std::string> events;
    dlg->OnShow = [&](TObject*) { events.push_back("show"); };
    dlg->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
    GuiTest::Later([&] {
        EXPECT_TRUE(dlg->FormState().Contains(fsModal));
        dlg->SetModalResult(mrOk);   // refused by the first CloseQuery
        GuiTest::Later([&] { dlg->SetModalResult(mrCancel); });
    });
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(dlg->Visible());
    TRect work = Screen->WorkAreaRect();
    EXPECT_EQ(dlg->Left(), work.Left + (work.Width() - dlg->Width()) / 2);
    dlg->Show();
    EXPECT_THROW(dlg->ShowModal(), EInvalidOperation);
    delete dlg;
}

TEST_F(ControlsTest, CloseActionsHideOrFreeTheForm)
{
    auto* f = new TForm(nullptr);
    TWeakRef<TForm> ref(f);
    f->Show();
    f->OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
    f->Close();
    EXPECT_TRUE(f->Visible());
    f->OnClose = [](TObject*, TCloseAction&) {};
    f->Close();
    EXPECT_FALSE(f->Visible());
    f->Show();
    f->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    f->Close();
    EXPECT_TRUE(ref);   // freed by the loop, not inside its own handler
    GuiTest::ProcessEvents();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(ref);
}

TEST_F(ControlsTest, FormEventsRunInOrder)
{
    std::vector<std::string> ev;
    auto* f = new TForm(nullptr);
    f->OnShow = [&](TObject*) { ev.push_back("show"); };
    f->OnActivate = [&](TObject*) { ev.push_back("activate"); };
    f->OnHide = [&](TObject*) { ev.push_back("hide"); };
    f->OnDestroy = [&](TObject*) { ev.push_back("destroy"); };
    f->Show();
    GuiTest::ProcessEvents();
    f->Hide();
    FreeObject(f);
    ASSERT_GE(ev.size(), 3u);
    EXPECT_EQ(ev.front(), "show");
    EXPECT_NE(std::find(ev.begin(), ev.end(), "activate"), ev.end());
    EXPECT_EQ(ev[ev.size() - 2], "hide");
    EXPECT_EQ(ev.back(), "destroy");
}

// ---- errors

TEST_F(ControlsTest, ExceptionsInHandlersAreShownAndDoNotEscapeTheLoop)
{
    ShowForm();
    a->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    GuiTest::Click(a, Point(5, 5));
    auto msgs = host->Messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0], "'x' is not a valid integer value.");
    auto boxes = host->CallsOf(THostCallKind::MessageBox);
    EXPECT_EQ(boxes[0].Flags & MB_ICONMASK, int64_t(MB_ICONSTOP));
    a->OnClick = [](TObject*) { throw EConvertError("学员编号无效！"); };
    GuiTest::Click(a, Point(5, 5));
    EXPECT_EQ(host->Messages().back(), "学员编号无效！");
    a->OnClick = [](TObject*) { Abort(); };
    GuiTest::Click(a, Point(5, 5));
    EXPECT_EQ(host->Messages().size(), 2u);
    std::string seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
    a->OnClick = [](TObject*) { throw std::runtime_error("boom"); };
    GuiTest::Click(a, Point(5, 5));
    EXPECT_EQ(seen, "boom");
    Application->OnException = nullptr;
}

// ---- dragging

TEST_F(ControlsTest, DragFromOneControlToAnotherThatAccepts)
{
    ShowForm();
    std::vector<std::string> ev;
    a->SetDragMode(dmAutomatic);
    b->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState st, bool& accept) {
        accept = src == a;
        if (st == dsDragEnter) ev.push_back("enter");
    };
    b->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        ev.push_back("drop " + std::to_string(x) + "," + std::to_string(y) + (src == a ? " from a" : ""));
    };
    a->OnEndDrag = [&](TObject*, TObject* target, int, int) { ev.push_back(target == b ? "end on b" : "end nowhere"); };
    GuiTest::MouseDown(a, mbLeft, Point(5, 5));
    EXPECT_TRUE(a->Dragging());
    GuiTest::MouseMove(a, Point(7, 5));   // under the threshold: not yet
    EXPECT_EQ(DragObject(), nullptr);
    GuiTest::MouseMove(a, Point(20, 5));
    ASSERT_NE(DragObject(), nullptr);
    GuiTest::MouseMove(b, Point(10, 12));
    GuiTest::MouseUp(b, mbLeft, Point(10, 12));
    EXPECT_EQ(ev, (std::vector<std::string>{"enter", "drop 10,12 from a", "end on b"}));
    EXPECT_FALSE(a->Dragging());

    // Esc cancels; the source hears of it with no target.
    ev.clear();
    a->BeginDrag(true);
    GuiTest::MouseMove(b, Point(14, 16));
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(ev, (std::vector<std::string>{"enter", "end nowhere"}));
    EXPECT_EQ(DragObject(), nullptr);
}

// ---- caret

TEST_F(ControlsTest, CaretShowsInvertedInItsWindow)
{
    GuiTest::TManualTime clock;
    ShowForm();
    a->Fill = clWhite;
    a->Invalidate();
    HWND h = a->Handle();
    ASSERT_TRUE(CreateCaret(h, nullptr, 2, 10));
    SetCaretPos(5, 5);
    EXPECT_EQ(GuiTest::PixelAt(a, Point(5, 6)), clWhite);   // hidden until shown
    ShowCaret(h);
    EXPECT_EQ(GuiTest::PixelAt(a, Point(5, 6)), clBlack);
    TPoint p;
    GetCaretPos(&p);
    EXPECT_EQ(p, Point(5, 5));
    clock.Advance(GetCaretBlinkTime());   // blinks off
    EXPECT_EQ(GuiTest::PixelAt(a, Point(5, 6)), clWhite);
    clock.Advance(GetCaretBlinkTime());
    EXPECT_EQ(GuiTest::PixelAt(a, Point(5, 6)), clBlack);
    HideCaret(h);
    EXPECT_EQ(GuiTest::PixelAt(a, Point(5, 6)), clWhite);
    DestroyCaret();
    EXPECT_FALSE(GetCaretPos(&p));
}

// ---- system settings

TEST(SystemSettings, MetricsAndColoursHaveTheClassicValues)
{
    GuiTest::Init();
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 10);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetDoubleClickTime(), 0u);
    TRect work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, Screen->WorkAreaRect());
    EXPECT_EQ(Screen->MonitorFromPoint(Point(-5000, -5000)), Screen->Monitors(0));
    EXPECT_EQ(Mouse->DragThreshold(), 5);
    EXPECT_GT(Mouse->WheelScrollLines(), 0);
    EXPECT_EQ(GetNearestColor(nullptr, 0x123456), 0x123456u);
}

} // namespace
namespace {
TEST_F(ControlsTest, FreedChildrenLeaveNoTraceInTheParent)
{
    ShowForm();
    delete a;
    a = nullptr;
    EXPECT_EQ(form->ControlCount(), 1);
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{b}));
    GuiTest::KeyPress(VK_TAB);   // walks the tab list: must not touch the freed control
    EXPECT_TRUE(b->Focused());
    // A child owned elsewhere survives its parent, without a window.
    auto* orphan = new TProbe(nullptr);
    orphan->SetParent(b);
    EXPECT_TRUE(orphan->HandleAllocated());
    delete b;
    b = nullptr;
    EXPECT_EQ(orphan->Parent(), nullptr);
    EXPECT_FALSE(orphan->HandleAllocated());
    delete orphan;
}
}
namespace {
TEST_F(ControlsTest, ContextMenuRequestsGoToGraphicChildrenAndUpToParents)
{
    auto* g = new TBox(form);
    g->SetParent(form);
    g->SetBounds(200, 100, 20, 10);
    ShowForm();
    std::vector<std::string> ev;
    g->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        ev.push_back("box " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = true;
    };
    form->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        ev.push_back("form " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = true;
    };
    GuiTest::Click(form, Point(203, 104), mbRight);
    // a does not take it: its parent does, at the point in its own coordinates.
    GuiTest::Click(a, Point(5, 6), mbRight);
    EXPECT_EQ(ev, (std::vector<std::string>{"box 3,4", "form 15,16"}));
}
}
namespace {
TEST_F(ControlsTest, OnResizeSeesTheChildrenAlreadyInPlace)
{
    a->SetAlign(alClient);
    int seen = -1, calls = 0;
    form->OnResize = [&](TObject*) {
        seen = a->Width();
        ++calls;
    };
    form->SetBounds(form->Left(), form->Top(), 420, 200);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, form->ClientWidth());
    form->SetBounds(form->Left() + 5, form->Top(), 420, 200);   // moved only
    EXPECT_EQ(calls, 1);
}
}
