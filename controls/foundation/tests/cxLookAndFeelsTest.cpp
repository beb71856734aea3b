#include "GuiTesting.h"
#include "cxLookAndFeels.h"
#include "cxWinXPPainters.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A listener that logs what it hears.
struct TLog : IcxLookAndFeelListener, TObject {
    std::vector<TcxLookAndFeelValues> Changes;
    int Freed = 0;
    TObject* GetListenerObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues v) override { Changes.push_back(v); }
    void MasterLookAndFeelFreed(TcxLookAndFeel*) override { ++Freed; }
};

class LookAndFeelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Finalize();
        cxLookAndFeels::Initialize();
    }
    void TearDown() override
    {
        cxLookAndFeels::Finalize();
        cxLookAndFeels::Initialize();
    }
    static TcxLookAndFeel* Root() { return cxLookAndFeels::RootLookAndFeel(); }
};

TEST_F(LookAndFeelTest, NewObjectsCopyTheRoot)
{
    TcxLookAndFeelController controller(nullptr);
    controller.SetKind(lfStandard);
    TcxLookAndFeel laf;
    EXPECT_EQ(laf.Kind(), lfStandard);
    EXPECT_FALSE(laf.NativeStyle());
    EXPECT_TRUE(laf.AssignedValues().Empty());
    EXPECT_EQ(laf.GetPainter(), TcxStandardLookAndFeelPainter::Instance());
}

TEST_F(LookAndFeelTest, ControllerChangesReachAllButLocallyAssigned)
{
    TcxLookAndFeelController controller(nullptr);
    TcxLookAndFeel plain, local;
    local.SetKind(lfStandard);
    std::vector<TcxLookAndFeelValues> plainLog, localLog;
    plain.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { plainLog.push_back(v); };
    local.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { localLog.push_back(v); };
    controller.SetKind(lfFlat);
    ASSERT_EQ(plainLog.size(), 1u);
    EXPECT_TRUE(plainLog[0] == TcxLookAndFeelValues{lfvKind});
    EXPECT_TRUE(localLog.empty());
    EXPECT_EQ(plain.Kind(), lfFlat);
    EXPECT_EQ(local.Kind(), lfStandard);
    EXPECT_EQ(controller.Kind(), lfFlat);
}

TEST_F(LookAndFeelTest, SettingTheEffectiveValueMarksButTellsNobody)
{
    TcxLookAndFeel laf;
    int calls = 0;
    laf.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++calls; };
    laf.SetKind(lfUltraFlat);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(laf.AssignedValues().Contains(lfvKind));
    laf.SetKind(lfFlat);
    EXPECT_EQ(calls, 1);
    laf.ResetAssignedValues();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(laf.Kind(), lfUltraFlat);
}

TEST_F(LookAndFeelTest, MasterChainAndFreedMaster)
{
    auto* master = new TcxLookAndFeel;
    master->SetKind(lfStandard);
    TcxLookAndFeel child, childSame;
    child.SetMasterLookAndFeel(master);
    EXPECT_EQ(child.Kind(), lfStandard);
    TLog log;
    child.AddChangeListener(&log);
    child.AddChangeListener(&log);   // a second registration is ignored
    EXPECT_EQ(child.ChangeListenerCount(), 1);
    master->SetKind(lfFlat);
    EXPECT_EQ(child.Kind(), lfFlat);
    ASSERT_EQ(log.Changes.size(), 1u);

    childSame.SetMasterLookAndFeel(master);
    master->SetKind(lfUltraFlat);   // the root's kind too
    TLog sameLog;
    childSame.AddChangeListener(&sameLog);
    log.Changes.clear();
    delete master;
    EXPECT_EQ(child.MasterLookAndFeel(), nullptr);
    EXPECT_EQ(child.Kind(), lfUltraFlat);
    EXPECT_TRUE(log.Changes.empty());     // the move changed nothing it shows
    EXPECT_TRUE(sameLog.Changes.empty());
    child.RemoveChangeListener(&log);
    childSame.RemoveChangeListener(&sameLog);
}

TEST_F(LookAndFeelTest, ListenerThatLeavesDuringNotificationDoesNotSkipTheNext)
{
    TcxLookAndFeel master;
    struct TLeaver : TLog {
        TcxLookAndFeel* From = nullptr;
        void MasterLookAndFeelChanged(TcxLookAndFeel* s, TcxLookAndFeelValues v) override
        {
            TLog::MasterLookAndFeelChanged(s, v);
            From->RemoveChangeListener(this);
        }
    } leaver;
    leaver.From = &master;
    TLog next;
    master.AddChangeListener(&leaver);
    master.AddChangeListener(&next);
    master.SetKind(lfFlat);
    EXPECT_EQ(leaver.Changes.size(), 1u);
    EXPECT_EQ(next.Changes.size(), 1u);
    master.RemoveChangeListener(&next);
}

TEST_F(LookAndFeelTest, ControllersRegisterOnlyWithTheRootAndTheLastResetsIt)
{
    TcxLookAndFeel other;
    TcxLookAndFeel watcher;
    int repaints = 0;
    watcher.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++repaints; };
    {
        TcxLookAndFeelController a(nullptr), b(nullptr);
        EXPECT_EQ(cxLookAndFeels::ControllerCount(), 2);
        other.AddChangeListener(&a);
        EXPECT_EQ(other.ChangeListenerCount(), 0);
        a.SetKind(lfStandard);
        b.SetNativeStyle(true);
        EXPECT_EQ(watcher.Kind(), lfStandard);
    }
    EXPECT_EQ(cxLookAndFeels::ControllerCount(), 0);
    EXPECT_TRUE(Root()->AssignedValues().Empty());
    EXPECT_EQ(watcher.Kind(), lfUltraFlat);
    EXPECT_FALSE(watcher.NativeStyle());
    EXPECT_EQ(repaints, 3);
}

TEST_F(LookAndFeelTest, ColourChangeTellsEveryLookAndFeel)
{
    TcxLookAndFeel a, b;
    std::vector<TcxLookAndFeelValues> seen;
    a.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { seen.push_back(v); };
    b.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues v) { seen.push_back(v); };
    BroadcastSystemChange(WM_SYSCOLORCHANGE);
    ASSERT_GE(seen.size(), 2u);
    for (auto& v : seen) EXPECT_TRUE(v == TcxLookAndFeelValues{lfvNativeStyle});
}

TEST_F(LookAndFeelTest, AssignCopiesValuesAndMaster)
{
    TcxLookAndFeel master, src, dst;
    src.SetMasterLookAndFeel(&master);
    src.SetNativeStyle(true);
    dst.Assign(&src);
    EXPECT_EQ(dst.MasterLookAndFeel(), &master);
    EXPECT_TRUE(dst.NativeStyle());
    EXPECT_TRUE(dst.AssignedValues() == TcxLookAndFeelValues{lfvNativeStyle});
    TComponent notALookAndFeel(nullptr);
    EXPECT_THROW(dst.Assign(&notALookAndFeel), EConvertError);
    // A master chain that would lead back is refused.
    master.SetMasterLookAndFeel(&src);
    EXPECT_EQ(master.MasterLookAndFeel(), nullptr);
}

TEST_F(LookAndFeelTest, PublishedKindIsStoredOnlyWhenAssigned)
{
    TcxLookAndFeel laf;
    EXPECT_FALSE(IsStoredProp(&laf, "Kind"));
    SetOrdProp(&laf, "Kind", lfFlat);
    EXPECT_TRUE(IsStoredProp(&laf, "Kind"));
    EXPECT_EQ(laf.Kind(), lfFlat);
    EXPECT_FALSE(IsStoredProp(&laf, "AssignedValues"));
}

// ---- the themed painter against a fake theme library --------------------------------------------------

class TRecordingTheme : public TdxThemeLibrary {
public:
    struct Call { std::u16string Class; int Part, State; TRect R; };
    std::map<HTHEME, std::u16string> Open;
    std::vector<Call> Drawn;
    std::vector<std::u16string> Texts;
    std::u16string Unknown;
    HTHEME Next = 1;
    HTHEME OpenThemeData(HWND, const std::u16string& cls) override
    {
        if (cls == Unknown) return 0;
        Open[Next] = cls;
        return Next++;
    }
    HRESULT CloseThemeData(HTHEME t) override { Open.erase(t); return dxS_OK; }
    HRESULT DrawThemeBackground(HTHEME t, HDC, int part, int state, const TRect& r, const TRect*) override
    {
        Drawn.push_back({Open[t], part, state, r});
        return dxS_OK;
    }
    HRESULT DrawThemeText(HTHEME, HDC, int, int, const std::u16string& text, int, DWORD, DWORD, const TRect&) override
    {
        Texts.push_back(text);
        return dxS_OK;
    }
    HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const TRect& b, TRect& c) override
    {
        c = b;
        InflateRect(c, -3, -3);
        return dxS_OK;
    }
    HRESULT GetThemePartSize(HTHEME, HDC, int, int, const TRect*, int, TSize& s) override
    {
        s = {10, 11};
        return dxS_OK;
    }
    BOOL IsThemeActive() override { return 1; }
};

class ThemedPainterTest : public LookAndFeelTest {
protected:
    void SetUp() override
    {
        LookAndFeelTest::SetUp();
        dxUxTheme::LoadThemeLibrary(&Lib);
        dxThemeManager::Initialize();
    }
    void TearDown() override
    {
        dxThemeManager::Finalize();
        dxUxTheme::UnloadThemeLibrary();
        LookAndFeelTest::TearDown();
    }
    TRecordingTheme Lib;
    TBitmap Surface{100, 100};
    TcxCanvas C{Surface.Canvas()};
    static TcxCustomLookAndFeelPainterClass P() { return TcxWinXPLookAndFeelPainter::Instance(); }
};

TEST_F(ThemedPainterTest, NativeStyleChoosesTheThemedPainterOnlyWithThemes)
{
    TcxLookAndFeel laf;
    laf.SetNativeStyle(true);
    EXPECT_EQ(laf.GetPainter(), TcxWinXPLookAndFeelPainter::Instance());
    Lib.Unknown = u"Header";
    EXPECT_EQ(laf.GetAvailablePainter(TdxThemedObjectTypes{themeHeader}), TcxUltraFlatLookAndFeelPainter::Instance());
    dxUxTheme::UnloadThemeLibrary();
    EXPECT_EQ(laf.GetPainter(), TcxUltraFlatLookAndFeelPainter::Instance());
}

TEST_F(ThemedPainterTest, PartsAndStates)
{
    P()->PaintButton(&C, {0, 0, 40, 20}, "好", cxbsDefault);
    ASSERT_EQ(Lib.Drawn.size(), 1u);
    EXPECT_EQ(Lib.Drawn[0].Class, u"Button");
    EXPECT_EQ(Lib.Drawn[0].Part, 1);
    EXPECT_EQ(Lib.Drawn[0].State, 5);
    EXPECT_EQ(Lib.Texts, std::vector<std::u16string>{u"好"});

    struct Case { std::function<void()> draw; const char16_t* cls; int part, state; };
    const Case cases[] = {
        {[&] { P()->DrawHeader(&C, {0, 0, 50, 20}, {0, 0, 50, 20}, {}, cxBordersAll, cxbsDisabled, taLeftJustify,
                               vaCenter, false, false, "", nullptr, clBlack, clBtnFace); }, u"Header", 1, 1},
        {[&] { P()->DrawScrollArrow(&C, {0, 0, 16, 16}, cxbsPressed, paLeft); }, u"ScrollBar", 1, 11},
        {[&] { P()->DrawScrollBarPart(&C, true, {0, 0, 30, 16}, sbpPageDown, cxbsHot); }, u"ScrollBar", 5, 2},
        {[&] { P()->DrawScrollBarPart(&C, false, {0, 0, 16, 30}, sbpPageUp, cxbsNormal); }, u"ScrollBar", 6, 1},
        {[&] { P()->DrawCheckMark(&C, {0, 0, 13, 13}, cxbsHot, true, clBlack); }, u"Button", 3, 6},
        {[&] { P()->DrawFilterDropDownButton(&C, {0, 0, 15, 18}, cxbsDisabled, true); }, u"ComboBox", 1, 4},
        {[&] { P()->DrawGroupChevronButton(&C, {0, 0, 15, 15}, true, cxbsDefault); }, u"ExplorerBar", 6, 1},
        {[&] { P()->DrawExpandBox(&C, {0, 0, 9, 9}, true); }, u"TreeView", 2, 2},
        {[&] { P()->DrawFilterCloseButton(&C, {0, 0, 16, 14}, cxbsPressed); }, u"Window", 19, 3},
    };
    for (const Case& c : cases) {
        Lib.Drawn.clear();
        c.draw();
        ASSERT_FALSE(Lib.Drawn.empty());
        EXPECT_EQ(Lib.Drawn[0].Class, c.cls);
        EXPECT_EQ(Lib.Drawn[0].Part, c.part);
        EXPECT_EQ(Lib.Drawn[0].State, c.state);
    }
    Lib.Drawn.clear();
    P()->DrawScrollBarPart(&C, false, {0, 0, 16, 30}, sbpThumbnail, cxbsNormal);
    ASSERT_EQ(Lib.Drawn.size(), 2u);
    EXPECT_EQ(Lib.Drawn[1].Part, 9);   // the gripper
}

TEST_F(ThemedPainterTest, MetricsFromTheTheme)
{
    EXPECT_EQ(P()->PainterKind(), 3);
    EXPECT_EQ(P()->ButtonFrameWidth(cxbsNormal), 3);
    EXPECT_EQ(P()->HeaderFrameWidth(), 3);
    EXPECT_EQ(P()->CheckFrameWidth(), 0);
    EXPECT_EQ(P()->ExpandBoxSize(), 10);
    EXPECT_EQ(P()->FilterCloseButtonSize(), Point(14, 15));
    EXPECT_EQ(P()->ButtonGroupFrameWidths(2, 0), Rect(3, 3, 3, 3));
    EXPECT_EQ(P()->FrameWidth(), 1);
}

TEST_F(ThemedPainterTest, FallsBackWhenTheThemeDoesNotOpen)
{
    Lib.Unknown = u"Header";
    TRecordingCanvas rec(60, 30);
    TcxCanvas c(&rec);
    P()->DrawHeader(&c, {0, 0, 50, 20}, {0, 0, 50, 20}, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaCenter,
                    false, false, "学号", nullptr, clBlack, clBtnFace);
    EXPECT_TRUE(Lib.Drawn.empty());
    EXPECT_GT(rec.CountOf("FillRect"), 0);   // the standard raised frame and content
    EXPECT_EQ(P()->HeaderFrameWidth(), 1);

    // Themes switched off: the theme-changed message closes every handle and
    // everything draws classic.
    Lib.Unknown.clear();
    struct TOff : TRecordingTheme { BOOL IsThemeActive() override { return 0; } };
    dxThemeManager::OpenTheme(themeButton);
    TOff off;
    dxUxTheme::LoadThemeLibrary(&off);
    dxThemeManager::EventReceiver()->WndProc(WM_THEMECHANGED, 0, 0);
    Lib.Drawn.clear();
    P()->PaintButton(&c, {0, 0, 40, 20}, "", cxbsNormal);
    EXPECT_TRUE(Lib.Drawn.empty());
    EXPECT_TRUE(off.Drawn.empty());
    EXPECT_EQ(P()->ButtonFrameWidth(cxbsNormal), 2);
    dxUxTheme::LoadThemeLibrary(&Lib);
}

TEST(cxBitmapTurns, QuarterTurnAndTranspose)
{
    GuiTest::Init();
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(3, 2);
    b.Canvas()->SetPixels(2, 0, clRed);   // top-right corner
    b.Canvas()->SetPixels(0, 1, clBlue);  // bottom-left corner
    TBitmap t;
    t.Assign(&b);
    cxLookAndFeelPainters::RotateBitmapCounterClockwise(&b);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);    // top-right went to top-left
    EXPECT_EQ(b.Canvas()->Pixels(1, 2), clBlue);   // bottom-left went to bottom-right
    cxLookAndFeelPainters::TransposeBitmap(&t);
    EXPECT_EQ(t.Canvas()->Pixels(0, 2), clRed);
    EXPECT_EQ(t.Canvas()->Pixels(1, 0), clBlue);
}

}  // namespace
