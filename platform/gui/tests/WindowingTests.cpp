// Window-level behaviour: capture, cursors, hints, shapes, the loop, the
// window system's dialogs, keys with Alt and mouse tracking.
#include "Forms.h"
#include "GuiTesting.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QAbstractButton>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class TSpy : public TCustomControl {
    QZ_CLASS(TSpy, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    std::vector<TMessage> Got;
    std::vector<UINT> Ids() const
    {
        std::vector<UINT> r;
        for (auto& m : Got) r.push_back(m.Msg);
        return r;
    }
    const TMessage* Last(UINT id) const
    {
        for (auto it = Got.rbegin(); it != Got.rend(); ++it)
            if (it->Msg == id) return &*it;
        return nullptr;
    }
    void WndProc(TMessage& m) override
    {
        Got.push_back(m);
        TCustomControl::WndProc(m);
    }
protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};
QZ_CLASS_IMPL(TSpy, TCustomControl)

class WindowingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        form = new TForm(nullptr);
        form->SetBounds(200, 150, 300, 200);
        a = new TSpy(form);
        a->SetParent(form);
        a->SetBounds(10, 10, 60, 40);
        b = new TSpy(form);
        b->SetParent(form);
        b->SetBounds(150, 10, 60, 40);
        form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete form;
        GuiTest::ProcessEvents();
    }
    TForm* form = nullptr;
    TSpy* a = nullptr;
    TSpy* b = nullptr;
};

TEST_F(WindowingTest, CaptureSendsTheMouseToTheCapturingWindowWherever)
{
    SetCapture(a->Handle());
    EXPECT_EQ(GetCapture(), a->Handle());
    a->Got.clear();
    b->Got.clear();
    GuiTest::MouseMove(b, Point(5, 6));
    const TMessage* mv = a->Last(WM_MOUSEMOVE);
    ASSERT_NE(mv, nullptr);
    // In a's coordinates: b's (5,6) is 140 to the right of a's origin.
    EXPECT_EQ(GET_X_LPARAM(mv->LParam), 145);
    EXPECT_EQ(GET_Y_LPARAM(mv->LParam), 6);
    EXPECT_EQ(b->Last(WM_MOUSEMOVE), nullptr);
    ReleaseCapture();
    ASSERT_NE(a->Last(WM_CAPTURECHANGED), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    GuiTest::MouseMove(b, Point(7, 7));
    EXPECT_NE(b->Last(WM_MOUSEMOVE), nullptr);
}

TEST_F(WindowingTest, CancelModeReleasesTheMouse)
{
    a->SetMouseCapture(true);
    EXPECT_TRUE(a->MouseCapture());
    a->Perform(WM_CANCELMODE);
    EXPECT_FALSE(a->MouseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowingTest, CursorsFollowTheControlUnlessTheScreenSetsOne)
{
    a->SetCursor(crHandPoint);
    GuiTest::MouseMove(a, Point(5, 5));
    EXPECT_EQ(a->Widget()->cursor().shape(), Qt::PointingHandCursor);
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A cursor of the program's own, registered by number.
    TBitmap img(16, 16);
    HCURSOR own = CreateCursorFromBitmap(&img, Point(3, 4));
    Screen->SetCursors(2109, own);
    EXPECT_EQ(Screen->Cursors(2109), own);
    b->SetCursor(2109);
    GuiTest::MouseMove(b, Point(5, 5));
    EXPECT_EQ(b->Widget()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(b->Widget()->cursor().hotSpot(), QPoint(3, 4));
    Screen->SetCursors(2109, nullptr);
}

TEST_F(WindowingTest, HintsShowAfterThePauseAndGoWithTheMouse)
{
    GuiTest::TManualTime clock;
    std::vector<std::string> shown;
    SetHintHandler([&](TControl* c, const std::string& h, TPoint) { shown.push_back(h); });
    a->SetHint("保存|保存当前学员");
    a->SetShowHint(true);
    GuiTest::MouseMove(form, Point(100, 150));
    GuiTest::MouseMove(a, Point(5, 5));
    clock.Advance(Application->HintPause - 1);
    EXPECT_TRUE(shown.empty());
    clock.Advance(1);
    EXPECT_EQ(shown, (std::vector<std::string>{"保存"}));
    GuiTest::MouseMove(form, Point(100, 150));
    EXPECT_EQ(shown.back(), "");   // taken away
    // Without ShowHint (here or on a parent) nothing shows.
    a->SetShowHint(false);
    GuiTest::MouseMove(a, Point(6, 6));
    clock.Advance(Application->HintPause * 2);
    EXPECT_EQ(shown.size(), 2u);
    form->SetShowHint(true);
    a->SetParentShowHint(true);
    GuiTest::MouseMove(form, Point(100, 150));
    GuiTest::MouseMove(a, Point(7, 7));
    clock.Advance(Application->HintPause);
    EXPECT_EQ(shown.back(), "保存");
    SetHintHandler(nullptr);
    EXPECT_EQ(GetLongHint("保存|保存当前学员"), "保存当前学员");
}

TEST_F(WindowingTest, WindowShapesComeFromRegions)
{
    HRGN r = CreateEllipticRgn(0, 0, 60, 40);
    EXPECT_TRUE(SetWindowRgn(a->Handle(), r, 1));
    EXPECT_FALSE(DeleteObject(r));   // the window owns it now
    HRGN back = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(a->Handle(), back), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(back, 1, 1));
    EXPECT_TRUE(PtInRegion(back, 30, 20));
    EXPECT_FALSE(a->Widget()->mask().isEmpty());
    TRegion two(Rect(0, 0, 10, 10));
    two.Combine(Rect(20, 0, 30, 10), RGN_OR);
    a->SetWindowRegion(&two);
    GetWindowRgn(a->Handle(), back);
    EXPECT_TRUE(PtInRegion(back, 25, 5));
    EXPECT_FALSE(PtInRegion(back, 15, 5));
    a->SetWindowRegion(nullptr);
    EXPECT_EQ(GetWindowRgn(a->Handle(), back), ERROR);
    DeleteObject(back);
}

TEST_F(WindowingTest, AltKeysComeAsSystemKeysAndMouseLeaveIsTracked)
{
    a->SetFocus();
    GuiTest::ProcessEvents();
    a->Got.clear();
    GuiTest::KeyPress(VK_DOWN, {ssAlt});
    const TMessage* sk = a->Last(WM_SYSKEYDOWN);
    ASSERT_NE(sk, nullptr);
    EXPECT_EQ(sk->WParam, WPARAM(VK_DOWN));
    EXPECT_TRUE(sk->LParam & (1 << 29));
    EXPECT_NE(a->Last(CN_SYSKEYDOWN), nullptr);
    // The Alt key itself is a system key too.
    auto firstSys = std::find_if(a->Got.begin(), a->Got.end(), [](const TMessage& m) { return m.Msg == WM_SYSKEYDOWN; });
    ASSERT_NE(firstSys, a->Got.end());
    EXPECT_EQ(firstSys->WParam, WPARAM(VK_MENU));

    GuiTest::MouseMove(a, Point(5, 5));
    TTrackMouseEvent tme{TME_LEAVE, a->Handle()};
    EXPECT_TRUE(TrackMouseEvent(&tme));
    a->Got.clear();
    GuiTest::MouseMove(b, Point(5, 5));
    auto ids = a->Ids();
    EXPECT_NE(std::find(ids.begin(), ids.end(), CM_MOUSELEAVE), ids.end());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), WM_MOUSELEAVE), 1);
    GuiTest::MouseMove(a, Point(6, 6));
    GuiTest::MouseMove(form, Point(120, 150));
    ids = a->Ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), WM_MOUSELEAVE), 1);   // once per request
}

TEST_F(WindowingTest, TheLoopEndsOnQuitAndRunsIdleWork)
{
    // An application of its own: a terminated one stays terminated.
    TApplication* saved = Application;
    Application = new TApplication(nullptr);
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& done) {
        ++idles;
        done = true;
    };
    PostQuitMessage(0);
    GuiTest::Later([] {});
    while (!Application->Terminated()) Application->HandleMessage();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_GT(idles, 0);
    delete Application;
    Application = saved;
}

TEST_F(WindowingTest, StayOnTopAndBorderStylesReachTheWindow)
{
    auto* f = new TForm(nullptr);
    f->SetFormStyle(fsStayOnTop);
    f->SetBorderStyle(bsNone);
    f->Show();
    QWidget* w = f->Widget();
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    f->SetFormStyle(fsNormal);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->isVisible());
    f->SetCaption("学员档案");
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("学员档案"));
    delete f;
}

// The window system's message box: buttons, default and answer.
TEST_F(WindowingTest, RealMessageBoxAnswersWithThePressedButton)
{
    THostScope real(MakeWindowSystemHost());
    std::string texts;
    GuiTest::Later([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* btn : box->buttons()) texts += btn->text().toStdString() + ";";
        EXPECT_EQ(box->defaultButton()->text(), QString::fromUtf8("否(&N)"));
        box->defaultButton()->click();
    });
    EXPECT_EQ(MessageBox("删除该学员？", "恒岳驾校", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    EXPECT_NE(texts.find("是(&Y)"), std::string::npos);
    GuiTest::Later([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->reject();   // Esc
    });
    EXPECT_EQ(MessageBox("继续？", "恒岳驾校", MB_OKCANCEL), IDCANCEL);
}

TEST_F(WindowingTest, NonClientClicksComeAsNonClientMessages)
{
    class TBordered : public TSpy {
    public:
        using TSpy::TSpy;
    protected:
        void CreateParams(TCreateParams& p) override
        {
            TSpy::CreateParams(p);
            p.Style |= WS_BORDER;
        }
    };
    auto* c = new TBordered(form);
    c->SetParent(form);
    c->SetBounds(20, 100, 50, 30);
    GuiTest::ProcessEvents();
    EXPECT_EQ(c->ClientRect(), Rect(0, 0, 48, 28));
    c->Got.clear();
    // The border pixel is left of the client area.
    GuiTest::Click(c, Point(-1, 5));
    EXPECT_NE(c->Last(WM_NCLBUTTONDOWN), nullptr);
    EXPECT_EQ(c->Last(WM_LBUTTONDOWN), nullptr);
    GuiTest::Click(c, Point(0, 0));
    EXPECT_NE(c->Last(WM_LBUTTONDOWN), nullptr);
}

TEST_F(WindowingTest, ControlCanvasMeasuresLikeBitmaps)
{
    TControlCanvas cc;
    cc.SetControl(a);
    TBitmap bmp(4, 4);
    for (const char* s : {"Wg", "学员管理", "00"}) EXPECT_EQ(cc.TextExtent(s), bmp.Canvas()->TextExtent(s)) << s;
}

} // namespace

namespace {

// A key handler can take the character its key makes out of the queue.
class TEater : public TSpy {
public:
    using TSpy::TSpy;
    bool Eat = false;
    void KeyDown(WORD& key, TShiftState shift) override
    {
        TMsg pending;
        if (Eat) EXPECT_TRUE(PeekMessage(&pending, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE));
        TSpy::KeyDown(key, shift);
    }
};

TEST_F(WindowingTest, KeyHandlersCanRemoveThePendingCharacter)
{
    auto* e = new TEater(form);
    e->SetParent(form);
    e->SetBounds(10, 100, 30, 30);
    e->SetFocus();
    GuiTest::ProcessEvents();
    e->Got.clear();
    GuiTest::KeyPress('K');
    EXPECT_NE(e->Last(WM_CHAR), nullptr);
    e->Eat = true;
    e->Got.clear();
    GuiTest::KeyPress('K');
    EXPECT_NE(e->Last(WM_KEYDOWN), nullptr);
    EXPECT_EQ(e->Last(WM_CHAR), nullptr);
    TMsg left;
    EXPECT_FALSE(PeekMessage(&left, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE));
}

TEST_F(WindowingTest, HiddenWindowsAndControlsHearOfSystemChanges)
{
    std::vector<UINT> hidden;
    HWND h = AllocateHWnd([&](TMessage& m) { hidden.push_back(m.Msg); });
    ASSERT_TRUE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h));
    PostMessage(h, WM_APP + 9, 0, 0);
    GuiTest::ProcessEvents();
    a->Got.clear();
    BroadcastSystemChange(WM_SYSCOLORCHANGE);
    BroadcastSystemChange(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
    EXPECT_NE(std::find(hidden.begin(), hidden.end(), WM_APP + 9), hidden.end());
    EXPECT_NE(std::find(hidden.begin(), hidden.end(), WM_SYSCOLORCHANGE), hidden.end());
    EXPECT_NE(a->Last(CM_SYSCOLORCHANGE), nullptr);
    ASSERT_NE(a->Last(CM_WININICHANGE), nullptr);
    EXPECT_EQ(a->Last(CM_WININICHANGE)->WParam, WPARAM(SPI_SETNONCLIENTMETRICS));
    DeallocateHWnd(h);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(PostMessage(h, WM_APP, 0, 0));
}

// A control that keeps a one-pixel border of its own colour.
class TOwnBorder : public TSpy {
public:
    using TSpy::TSpy;
protected:
    void NCCalc(TMessage& m)
    {
        TRect& r = TWMNCCalcSize(m).Rect();
        InflateRect(r, -3, -3);
    }
    void NCPaint(TMessage& m)
    {
        HDC dc = TWMPaint(m).DC();
        HBRUSH br = CreateSolidBrush(ColorToRGB(clRed));
        TRect r = Rect(0, 0, Width(), Height());
        for (int i = 0; i < 3; ++i) {
            FrameRect(dc, r, br);
            InflateRect(r, -1, -1);
        }
        DeleteObject(br);
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_NCCALCSIZE) return NCCalc(m);
        if (m.Msg == WM_NCPAINT) return NCPaint(m);
        TSpy::Dispatch(m);
    }
};

TEST_F(WindowingTest, ControlsDrawTheirOwnNonClientArea)
{
    auto* c = new TOwnBorder(form);
    c->SetParent(form);
    c->SetBounds(100, 100, 40, 30);
    GuiTest::ProcessEvents();
    EXPECT_EQ(c->NonClientInsets(), Rect(3, 3, 3, 3));
    EXPECT_EQ(c->ClientRect(), Rect(0, 0, 34, 24));
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(c));
    EXPECT_EQ(shot->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(shot->Canvas()->Pixels(2, 15), clRed);
    EXPECT_EQ(shot->Canvas()->Pixels(3, 15), clWhite);
    EXPECT_EQ(GuiTest::PixelAt(c, Point(0, 0)), clWhite);   // client coordinates start inside
}

TEST(ShellAndFonts, ShellOpenReportsMissingFilesAndFontsResolve)
{
    GuiTest::Init();
    THostScope real(MakeWindowSystemHost());
    EXPECT_EQ(ShellExecute("open", "/nonexistent/学员名单.xls", "", ""), 2);
    TBitmap b(4, 4);
    b.Canvas()->Font()->SetName("Courier New");
    EXPECT_EQ(b.Canvas()->TextWidth("iii"), b.Canvas()->TextWidth("WWW"));
    b.Canvas()->Font()->SetName("Arial");
    EXPECT_LT(b.Canvas()->TextWidth("iii"), b.Canvas()->TextWidth("WWW"));
    EXPECT_GE(Screen->Fonts()->IndexOf("宋体"), 0);
}

TEST(StretchCopies, StretchAndMirrorFollowTheRectangles)
{
    GuiTest::Init();
    TBitmap src(2, 1), dst(4, 2);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    StretchBlt(dst.Canvas()->Handle(), 0, 0, 4, 2, src.Canvas()->Handle(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(2, 0), clBlue);
    // A negative width mirrors.
    StretchBlt(dst.Canvas()->Handle(), 3, 0, -4, 1, src.Canvas()->Handle(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(3, 0), clRed);
    dst.Canvas()->StretchDraw(Rect(0, 0, 4, 2), &src);
    EXPECT_EQ(dst.Canvas()->Pixels(3, 1), clBlue);
}

} // namespace

namespace {

// A borderless top-most window owned by a form, shown without taking the
// focus: the shape of the program's drop-down popups.
class TPopupWin : public TSpy {
public:
    using TSpy::TSpy;
    HWND Owner = nullptr;
protected:
    void CreateParams(TCreateParams& p) override
    {
        TSpy::CreateParams(p);
        p.Style = WS_POPUP | WS_BORDER;
        p.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
        p.WndParent = Owner;
    }
};

TEST_F(WindowingTest, OwnedPopupsShowWithoutTakingTheFocus)
{
    a->SetFocus();
    GuiTest::ProcessEvents();
    auto* p = new TPopupWin(nullptr);
    p->Owner = form->Handle();
    p->SetBounds(300, 300, 80, 60);
    QWidget* w = p->Widget();
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->parentWidget(), form->Widget());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(p->Showing());
    ShowWindow(p->Handle(), SW_SHOWNOACTIVATE);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(p->Showing());
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(p->ClientRect(), Rect(0, 0, 78, 58));
    GuiTest::Click(p, Point(5, 5));
    EXPECT_NE(p->Last(WM_LBUTTONDOWN), nullptr);
    ShowWindow(p->Handle(), SW_HIDE);
    EXPECT_FALSE(p->Showing());
    delete p;
}

TEST_F(WindowingTest, RedrawCanBeHeldAndPrintClientPaintsIntoAContext)
{
    a->Perform(WM_SETREDRAW, 0);
    EXPECT_FALSE(a->Widget()->updatesEnabled());
    a->Perform(WM_SETREDRAW, 1);
    EXPECT_TRUE(a->Widget()->updatesEnabled());
    TBitmap bmp(60, 40);
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->FillRect(Rect(0, 0, 60, 40));
    a->Perform(WM_PRINTCLIENT, WPARAM(bmp.Canvas()->Handle()), 0);
    EXPECT_EQ(bmp.Canvas()->Pixels(30, 20), clWhite);
    // Closing from the system menu goes through the form's close.
    auto* f = new TForm(nullptr);
    f->Show();
    bool asked = false;
    f->OnCloseQuery = [&](TObject*, bool& can) {
        asked = true;
        can = false;
    };
    SendMessage(f->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(f->Visible());
    delete f;
}

} // namespace

#include <QLineEdit>

namespace {

// The shape of the standard controls to come: a Qt control as the window,
// seeing first what the program's handlers leave.
class TWrappedEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    QLineEdit* Edit() { return static_cast<QLineEdit*>(Widget()); }
protected:
    QWidget* CreateWindowHandle(const TCreateParams&, QWidget* parent) override { return new QLineEdit(parent); }
};

TEST_F(WindowingTest, WrappedNativeControlsGetWhatHandlersLeave)
{
    auto* e = new TWrappedEdit(form);
    e->SetParent(form);
    e->SetBounds(10, 120, 120, 24);
    e->SetTabStop(true);
    a->SetTabStop(true);
    std::vector<std::string> seen;
    e->OnKeyPress = [&](TObject*, char& key) {
        seen.push_back(std::string(1, key));
        if (key == 'x') key = 0;          // refused
        if (key == 'a') key = 'A';        // changed
    };
    e->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(e->Focused());
    GuiTest::TypeText("bxa");
    EXPECT_EQ(e->Edit()->text(), QStringLiteral("bA"));
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "x", "a"}));
    // Text from an input method goes the same way; Chinese arrives whole.
    GuiTest::TypeText("x学", true);
    EXPECT_EQ(e->Edit()->text(), QString::fromUtf8("bA学"));
    // Keys the control does not take reach the native one (the caret moves);
    // Tab still moves the focus through the form.
    GuiTest::KeyPress(VK_HOME);
    EXPECT_EQ(e->Edit()->cursorPosition(), 0);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_FALSE(e->Focused());
    // A click reaches it too.
    int clicks = 0;
    e->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
    GuiTest::Click(e, Point(5, 5));
    EXPECT_EQ(clicks, 1);
}

} // namespace

namespace {
// A popup closes when its form moves or closes: it watches other windows
// through the window-procedure filter.
TEST_F(WindowingTest, WindowFiltersSeeMovesClosesAndDestruction)
{
    std::vector<std::pair<HWND, UINT>> seen;
    int id = AddMessageFilter(TMessageFilterKind::CallWndProc, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_WINDOWPOSCHANGED || m.Msg == WM_CLOSE || m.Msg == WM_DESTROY || m.Msg == WM_SHOWWINDOW)
            seen.push_back({h, m.Msg});
        return false;
    });
    HWND fh = form->Handle();
    form->SetBounds(form->Left() + 10, form->Top(), form->Width(), form->Height());
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(fh, WM_WINDOWPOSCHANGED)), seen.end());
    seen.clear();
    SetWindowPos(a->Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::make_pair(a->Handle(), WM_WINDOWPOSCHANGED)), 1);
    seen.clear();
    SetWindowPos(a->Handle(), nullptr, 1, 2, 30, 30, SWP_NOZORDER);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::make_pair(a->Handle(), WM_WINDOWPOSCHANGED)), 1);
    EXPECT_EQ(a->BoundsRect(), Rect(1, 2, 31, 32));
    HWND bh = b->Handle();
    delete b;
    b = nullptr;
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(bh, WM_DESTROY)), seen.end());
    form->Hide();
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(fh, WM_SHOWWINDOW)), seen.end());
    RemoveMessageFilter(id);
}
}

namespace {

class TScrolled : public TSpy {
public:
    using TSpy::TSpy;
    std::vector<std::pair<int, int>> Scrolls;   // code, position
protected:
    void CreateParams(TCreateParams& p) override
    {
        TSpy::CreateParams(p);
        p.Style |= WS_VSCROLL | WS_HSCROLL;
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_VSCROLL) {
            TWMScroll s(m);
            Scrolls.push_back({s.ScrollCode(), s.Pos()});
            if (s.ScrollCode() == SB_LINEDOWN) SetScrollPos(Handle(), SB_VERT, GetScrollPos(Handle(), SB_VERT) + 1, 1);
            if (s.ScrollCode() == SB_THUMBPOSITION) SetScrollPos(Handle(), SB_VERT, s.Pos(), 1);
            return;
        }
        TSpy::Dispatch(m);
    }
};

TEST_F(WindowingTest, WindowScrollBarsTakeRoomAndReportTheMouse)
{
    GuiTest::TManualTime clock;
    auto* s = new TScrolled(form);
    s->SetParent(form);
    s->SetBounds(10, 60, 100, 120);
    GuiTest::ProcessEvents();
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(s->ClientRect(), Rect(0, 0, 100 - sb, 120 - sb));
    HWND h = s->Handle();
    // Nothing to scroll sideways: that bar goes and the client grows.
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = 5;
    si.nPage = 10;
    SetScrollInfo(h, SB_HORZ, &si, 1);
    EXPECT_EQ(s->ClientRect(), Rect(0, 0, 100 - sb, 120));
    TScrollBarInfo info;
    GetScrollBarInfo(h, OBJID_HSCROLL, &info);
    EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    si.fMask = SIF_ALL;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 0;
    SetScrollInfo(h, SB_VERT, &si, 1);
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    EXPECT_EQ(info.rgstate[0], 0u);
    EXPECT_EQ(info.rcScrollBar.Width(), sb);
    EXPECT_EQ(info.dxyLineButton, sb);
    // The down arrow: a line, repeated while held, then the end.
    TPoint arrow = Point(s->ClientWidth() + 3, s->ClientHeight() - 4);
    GuiTest::MouseDown(s, mbLeft, arrow);
    ASSERT_FALSE(s->Scrolls.empty());
    EXPECT_EQ(s->Scrolls[0].first, SB_LINEDOWN);
    clock.Advance(400);
    clock.Advance(100);
    GuiTest::MouseUp(s, mbLeft, arrow);
    int lines = int(std::count(s->Scrolls.begin(), s->Scrolls.end(), std::make_pair(int(SB_LINEDOWN), 0)));
    EXPECT_EQ(lines, 4);   // the press, after 400 ms, and twice 50 ms later
    EXPECT_EQ(s->Scrolls.back().first, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 4);
    EXPECT_EQ(s->Last(WM_LBUTTONDOWN), nullptr);   // the bar is not the client area
    // The thumb follows the mouse and lands where it is let go.
    s->Scrolls.clear();
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    int thumbMid = (info.xyThumbTop + info.xyThumbBottom) / 2;
    TPoint onThumb = Point(s->ClientWidth() + 3, thumbMid);
    GuiTest::MouseDown(s, mbLeft, onThumb);
    GuiTest::MouseMove(s, Point(onThumb.X, thumbMid + 30));
    GuiTest::MouseUp(s, mbLeft, Point(onThumb.X, thumbMid + 30));
    ASSERT_GE(s->Scrolls.size(), 3u);
    EXPECT_EQ(s->Scrolls.front().first, SB_THUMBTRACK);
    auto pos = s->Scrolls[s->Scrolls.size() - 2];
    EXPECT_EQ(pos.first, SB_THUMBPOSITION);
    EXPECT_GT(pos.second, 4);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), pos.second);
    // Below the thumb is a page.
    s->Scrolls.clear();
    GuiTest::Click(s, Point(s->ClientWidth() + 3, s->ClientHeight() - sb - 2));
    EXPECT_EQ(s->Scrolls.front().first, SB_PAGEDOWN);
    // The arrows are painted.
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(s));
    EXPECT_EQ(TColorRef(shot->Canvas()->Pixels(100 - sb, 0)), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(TColorRef(shot->Canvas()->Pixels(100 - sb + 1, 1)), GetSysColor(COLOR_BTNHIGHLIGHT));
}

} // namespace

namespace {
TEST_F(WindowingTest, ThreadTimersCallTheirProcedureUntilKilled)
{
    GuiTest::TManualTime clock;
    std::vector<uintptr_t> calls;
    uintptr_t id = SetTimer(nullptr, 0, 20, [&](HWND w, UINT msg, uintptr_t tid, DWORD) {
        EXPECT_EQ(w, nullptr);
        EXPECT_EQ(msg, WM_TIMER);
        calls.push_back(tid);
    });
    ASSERT_NE(id, 0u);
    clock.Advance(60);
    EXPECT_EQ(calls, (std::vector<uintptr_t>{id, id, id}));
    EXPECT_TRUE(KillTimer(nullptr, id));
    clock.Advance(60);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(SetTimer(nullptr, 0, 20), 0u);   // no procedure, no window: refused
}

TEST_F(WindowingTest, ADialogEndsWhatTheMouseWasHolding)
{
    THostScope real(MakeWindowSystemHost());
    a->SetMouseCapture(true);
    GuiTest::Later([] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
    });
    MessageBox("提示", "恒岳驾校", MB_OK);
    EXPECT_NE(a->Last(WM_CANCELMODE), nullptr);
    EXPECT_FALSE(a->MouseCapture());
}
}

namespace {
TEST_F(WindowingTest, TheHintWindowShowsTheTextInTheInfoColours)
{
    GuiTest::TManualTime clock;
    THintWindow w(nullptr);
    TRect r = w.CalcHintRect(1000, "保存当前学员");
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(w.Font());
    EXPECT_EQ(r.Width(), probe.Canvas()->TextWidth("保存当前学员") + 6);
    TRect narrow = w.CalcHintRect(probe.Canvas()->TextWidth("保存"), "保存当前学员");
    EXPECT_GT(narrow.Height(), r.Height());
    OffsetRect(r, 300, 300);
    w.ActivateHint(r, "保存当前学员");
    GuiTest::ProcessEvents();
    EXPECT_TRUE(w.Showing());
    EXPECT_EQ(w.BoundsRect(), r);
    EXPECT_EQ(TColorRef(GuiTest::PixelAt(&w, Point(0, 0))), GetSysColor(COLOR_INFOBK));
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(&w));
    EXPECT_EQ(TColorRef(shot->Canvas()->Pixels(0, 0)), GetSysColor(COLOR_WINDOWFRAME));
    bool ink = false;
    for (int x = 3; x < shot->Width() - 3; ++x)
        if (TColorRef(shot->Canvas()->Pixels(x, shot->Height() / 2)) != GetSysColor(COLOR_INFOBK)) ink = true;
    EXPECT_TRUE(ink);
    w.ReleaseHandle();
    EXPECT_FALSE(w.Showing());
    // Without a handler, hovering shows the program's hint window.
    a->SetHint("学员");
    a->SetShowHint(true);
    GuiTest::MouseMove(form, Point(120, 150));
    GuiTest::MouseMove(a, Point(5, 5));
    clock.Advance(Application->HintPause);
    TControl* shownFor = HintControl();
    EXPECT_EQ(shownFor, a);
    GuiTest::MouseMove(form, Point(120, 150));
}
}

#include <QFileDialog>
#include <QInputDialog>

namespace {
TEST_F(WindowingTest, RealInputAndFileDialogsCarryTheRequest)
{
    THostScope real(MakeWindowSystemHost());
    GuiTest::Later([] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->labelText(), QString::fromUtf8("学员姓名"));
        EXPECT_EQ(d->textValue(), QString::fromUtf8("张三"));
        d->setTextValue(QString::fromUtf8("李四"));
        d->accept();
    });
    std::string name = "张三";
    EXPECT_TRUE(InputQuery("查找", "学员姓名", name));
    EXPECT_EQ(name, "李四");
    GuiTest::Later([] {
        if (auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) d->reject();
    });
    EXPECT_EQ(InputBox("查找", "学员姓名", "默认"), "默认");

    std::string dir = QZ_BINARY_DIR;
    QStringList filters;
    GuiTest::Later([&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        filters = d->nameFilters();
        d->selectFile(QString::fromStdString(dir + "/saved"));
        QMetaObject::invokeMethod(d, "accept");
    });
    TFileDialogRequest req;
    req.Title = "保存过滤条件";
    req.Filter = "Filters (*.flt)|*.flt|学员名单|*.xls;*.csv";
    req.DefaultExt = "flt";
    req.InitialDir = dir;
    TFileDialogResult res;
    ASSERT_TRUE(HostServices().SaveFileDialog(req, res));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Filters (*.flt)"), QString::fromUtf8("学员名单 (*.xls *.csv)")}));
    ASSERT_EQ(res.Files.size(), 1u);
    EXPECT_EQ(res.Files[0], dir + "/saved.flt");   // the default extension added
    EXPECT_EQ(res.FilterIndex, 1);
}
}

namespace {
// A control with a hint per cell of 20 pixels.
class TCells : public TSpy {
public:
    using TSpy::TSpy;
protected:
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CM_HINTSHOW) {
            auto* info = reinterpret_cast<THintInfo*>(m.LParam);
            int cell = info->CursorPos.X / 20;
            if (cell == 2) {
                m.Result = 1;   // no hint there
                return;
            }
            info->HintStr = "格 " + std::to_string(cell);
            info->CursorRect = Rect(cell * 20, 0, cell * 20 + 20, Height());
            return;
        }
        TSpy::Dispatch(m);
    }
};

TEST_F(WindowingTest, ControlsGiveHintsPerArea)
{
    GuiTest::TManualTime clock;
    auto* c = new TCells(form);
    c->SetParent(form);
    c->SetBounds(10, 100, 100, 20);
    c->SetHint("x");
    c->SetShowHint(true);
    std::vector<std::string> shown;
    SetHintHandler([&](TControl*, const std::string& h, TPoint) { shown.push_back(h); });
    GuiTest::MouseMove(form, Point(200, 150));
    GuiTest::MouseMove(c, Point(5, 5));
    clock.Advance(Application->HintPause);
    GuiTest::MouseMove(c, Point(12, 5));   // same cell: stays
    clock.Advance(Application->HintPause);
    GuiTest::MouseMove(c, Point(25, 5));   // next cell: taken away, then its own
    clock.Advance(Application->HintPause);
    GuiTest::MouseMove(c, Point(45, 5));   // a cell without a hint
    clock.Advance(Application->HintPause);
    EXPECT_EQ(shown, (std::vector<std::string>{"格 0", "", "格 1", ""}));
    SetHintHandler(nullptr);
    GuiTest::MouseMove(form, Point(200, 150));
}
}

namespace {
class TPopupForm : public TForm {
public:
    using TForm::TForm;
protected:
    void CreateParams(TCreateParams& p) override
    {
        TForm::CreateParams(p);
        p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
    }
};

TEST_F(WindowingTest, FormsMadeNotToActivateLeaveTheFocusWhereItIs)
{
    a->SetFocus();
    GuiTest::ProcessEvents();
    auto* p = new TPopupForm(nullptr);
    p->SetBorderStyle(bsNone);
    p->SetBounds(300, 300, 100, 50);
    int activations = 0;
    p->OnActivate = [&](TObject*) { ++activations; };
    p->Show();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(p->Showing());
    EXPECT_TRUE(p->Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(Screen->ActiveForm(), form);
    EXPECT_EQ(activations, 0);
    delete p;
}

// A form put inside another control is a child window there: it shows and
// hides with the control, is placed in its parent's client area, takes the
// focus for its controls without activating anything, and becomes a window
// of its own again once it leaves.
TEST_F(WindowingTest, AFormInsideAnotherControlIsAChildWindow)
{
    a->SetFocus();
    GuiTest::ProcessEvents();
    auto* inner = new TForm(nullptr);
    inner->SetBounds(500, 400, 120, 80);
    auto* edit = new TEdit(inner);
    edit->SetParent(inner);
    edit->SetBounds(5, 5, 100, 21);
    int activations = 0, shows = 0, hides = 0;
    inner->OnActivate = [&](TObject*) { ++activations; };
    inner->OnShow = [&](TObject*) { ++shows; };
    inner->OnHide = [&](TObject*) { ++hides; };
    for (int round = 0; round < 2; ++round) {
        form->SetFocus();   // back from the round where the inner form was a window of its own
        a->SetFocus();
        GuiTest::ProcessEvents();
        const int activationsBefore = activations;
        inner->SetParent(form);
        inner->SetBounds(80, 60, 120, 80);
        inner->Show();
        GuiTest::ProcessEvents();
        ASSERT_TRUE(inner->HandleAllocated());
        EXPECT_FALSE(inner->Widget()->isWindow());
        EXPECT_EQ(inner->Widget()->window(), form->Widget());
        EXPECT_EQ(inner->ClientToScreen(TPoint{0, 0}), form->ClientToScreen(TPoint{80, 60}));
        EXPECT_TRUE(inner->Showing());
        EXPECT_TRUE(a->Focused());   // showing it takes nothing
        EXPECT_EQ(Screen->ActiveForm(), form);
        edit->SetFocus();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(edit->Focused());
        EXPECT_EQ(form->ActiveControl(), edit);
        a->SetFocus();
        inner->SetFocus();   // a child form hands the focus to its control
        GuiTest::ProcessEvents();
        EXPECT_TRUE(edit->Focused());
        inner->Hide();
        GuiTest::ProcessEvents();
        EXPECT_FALSE(inner->Showing());
        EXPECT_EQ(activations, activationsBefore);   // nothing activated it inside
        inner->SetParent(nullptr);
        inner->SetBounds(500, 400, 120, 80);
        inner->Show();
        GuiTest::ProcessEvents();
        EXPECT_TRUE(inner->Widget()->isWindow());
        inner->Hide();
        GuiTest::ProcessEvents();
    }
    EXPECT_EQ(shows, 4);
    EXPECT_EQ(hides, 4);
    delete inner;
}
}
