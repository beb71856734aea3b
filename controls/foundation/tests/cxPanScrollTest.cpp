#include "Forms.h"
#include "GuiTesting.h"
#include "cxControls.h"

#include <gtest/gtest.h>

namespace {

class TPanControl : public TcxControl {
    QZ_CLASS(TPanControl, TcxControl)
public:
    using TcxControl::TcxControl;
    std::vector<TScrollCode> Codes;
    void InitScrollBarsParameters() override
    {
        SetScrollBarInfo(sbHorizontal, 0, 999, 1, 100, 0, true, true);
        SetScrollBarInfo(sbVertical, 0, 999, 1, 100, 0, true, true);
    }
    void Scroll(TScrollBarKind, TScrollCode code, int&) override { Codes.push_back(code); }
};
QZ_CLASS_IMPL(TPanControl, TcxControl)

TEST(cxPanScrollingLoop, MiddleClickPansUntilALeftClick)
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    cxControls::Initialize();
    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 300);
    auto* c = new TPanControl(&form);
    c->SetParent(&form);
    c->SetBounds(10, 10, 300, 200);
    form.Show();
    GuiTest::ProcessEvents();
    c->SetScrollBars(ssBoth);
    c->UpdateScrollBars();
    ASSERT_TRUE(c->IsVScrollBarVisible());

    GuiTest::TManualTime clock;
    bool sawPanning = false;
    int step = 0;
    // The user's moves, run by the pan loop itself one after the other.
    std::function<void()> user = [&] {
        sawPanning = sawPanning || c->IsPanScrolling();
        switch (step++) {
        case 0: GuiTest::MouseMove(c, Point(100, 190)); break;   // well below the anchor
        case 1: clock.Advance(20 * 12); break;                   // a dozen ticks
        case 2: GuiTest::Click(c, Point(100, 190)); return;      // a left click ends it
        default: return;
        }
        GuiTest::Later(user);
    };
    c->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) {
        if (b == mbMiddle) GuiTest::Later(user);
    };
    GuiTest::MouseDown(c, mbMiddle, Point(100, 60));
    EXPECT_TRUE(sawPanning);
    EXPECT_FALSE(c->IsPanScrolling());
    EXPECT_FALSE(c->Codes.empty());
    for (TScrollCode code : c->Codes) EXPECT_EQ(code, scLineDown);
    GuiTest::MouseUp(c, mbMiddle, Point(100, 190));
}

}  // namespace
