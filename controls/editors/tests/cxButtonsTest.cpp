#include "cxButtons.h"

#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 360, 160);
        Button = new TcxButton(Form);
        Button->SetParent(Form);
        Button->SetBounds(10, 10, 100, 30);
        Button->SetCaption("确定");
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    // A strip of n square glyphs of side h: each image a different colour on
    // the transparent olive, with a white and a grey pixel.
    static std::unique_ptr<TBitmap> Strip(int n, int w, int h)
    {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(w, h);
        const TColor colours[4] = {clRed, clBlue, clGreen, clYellow};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int k = std::min(x / std::max(1, w / n), 3);
                int lx = x % std::max(1, w / n);
                TColor c = lx < 2 ? clOlive : colours[k];
                if (lx == 3 && y == 3) c = clWhite;
                if (lx == 4 && y == 3) c = TColor(0x808080);
                b->Canvas()->SetPixels(x, y, c);
            }
        return b;
    }
    TForm* Form = nullptr;
    TcxButton* Button = nullptr;
};

// Runs AFn once the popup menu is up (inside its own loop).
void WhenMenuShows(std::function<void()> AFn, int ATries = 200)
{
    GuiTest::Later([AFn, ATries] {
        if (!GuiTest::ShownPopupMenu().empty()) AFn();
        else if (ATries > 0) WhenMenuShows(AFn, ATries - 1);
    });
}

}  // namespace

TEST_F(ButtonTest, ColoursPerState)
{
    TcxButtonColors* c = Button->Colors();
    c->SetColor(cxbsHot, clRed);
    c->SetColor(cxbsPressed, clBlue);
    EXPECT_EQ(c->Hot(), clRed);
    EXPECT_TRUE(c->AssignedColors().Contains(cxbsHot));
    c->SetColor(cxbsHot, clNone);   // back to the painter's
    EXPECT_EQ(c->Hot(), clDefault);
    EXPECT_FALSE(c->AssignedColors().Contains(cxbsHot));
    EXPECT_TRUE(c->AssignedColors().Contains(cxbsPressed));
    // The assigned set changes only at design time.
    c->SetAssignedColors(TcxButtonAssignedColors{});
    EXPECT_EQ(c->Pressed(), clBlue);
    TcxButtonColors copy;
    copy.Assign(c);
    EXPECT_EQ(copy.Pressed(), clBlue);
    EXPECT_EQ(copy.AssignedColors(), c->AssignedColors());
}

TEST_F(ButtonTest, GlyphsSetTheirCountAndTurnOwnerDrawingOn)
{
    Button->LookAndFeel()->SetKind(lfStandard);
    EXPECT_TRUE(Button->IsSystemPainted());
    struct Case {
        int W, H, Before, After;
    };
    for (const Case& c : {Case{64, 16, 1, 4}, Case{96, 16, 2, 1}, Case{40, 16, 2, 2}, Case{32, 16, 1, 2}}) {
        Button->SetNumGlyphs(c.Before);
        auto b = Strip(1, c.W, c.H);
        Button->SetGlyph(b.get());
        EXPECT_EQ(Button->NumGlyphs(), c.After) << c.W << "x" << c.H;
    }
    EXPECT_FALSE(Button->UseSystemPaint());
    EXPECT_FALSE(Button->IsSystemPainted());
    // Clearing the glyph leaves the button owner-drawn.
    Button->SetGlyph(nullptr);
    EXPECT_TRUE(Button->Glyph()->Empty());
    EXPECT_FALSE(Button->IsSystemPainted());
    Button->SetNumGlyphs(0);   // ignored
    Button->SetNumGlyphs(7);   // at most 4
    EXPECT_EQ(Button->NumGlyphs(), 4);

    // Other looks and the drop-down kinds are owner-drawn too.
    TcxButton plain(nullptr);
    plain.LookAndFeel()->SetKind(lfStandard);
    EXPECT_TRUE(plain.IsSystemPainted());
    plain.LookAndFeel()->SetKind(lfFlat);
    EXPECT_FALSE(plain.IsSystemPainted());
    plain.LookAndFeel()->SetKind(lfStandard);
    plain.SetKind(cxbkDropDown);
    EXPECT_FALSE(plain.IsSystemPainted());
}

TEST_F(ButtonTest, StateImages)
{
    TcxButtonGlyph g;
    auto two = Strip(2, 32, 16);
    g.SetGlyph(two.get());
    g.SetNumGlyphs(2);
    // Pressed shows the up image with fewer than three glyphs.
    EXPECT_EQ(g.StateImage(cxbsPressed)->Canvas()->Pixels(8, 8), clRed);
    EXPECT_EQ(g.StateImage(cxbsHot)->Canvas()->Pixels(8, 8), clRed);
    // Disabled: the second image, white and grey in the system colours, the
    // see-through colour on the face.
    TBitmap* d = g.StateImage(cxbsDisabled);
    EXPECT_EQ(d->Canvas()->Pixels(8, 8), clBlue);
    EXPECT_EQ(d->Canvas()->Pixels(3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(d->Canvas()->Pixels(4, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(d->Canvas()->Pixels(0, 8), ColorToRGB(clBtnFace));

    auto three = Strip(3, 48, 16);
    g.SetGlyph(three.get());
    g.SetNumGlyphs(3);
    EXPECT_EQ(g.StateImage(cxbsPressed)->Canvas()->Pixels(8, 8), clGreen);

    // One glyph: embossed, shadow in place and highlight one pixel down right.
    auto one = std::make_unique<TBitmap>();
    one->SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) one->Canvas()->SetPixels(x, y, x == 2 && y == 2 ? clBlack : clOlive);
    g.SetGlyph(one.get());
    g.SetNumGlyphs(1);
    d = g.StateImage(cxbsDisabled);
    EXPECT_EQ(d->Canvas()->Pixels(2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(d->Canvas()->Pixels(3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(d->Canvas()->Pixels(5, 5), ColorToRGB(clBtnFace));
}

TEST_F(ButtonTest, GlyphListsAreSharedAndFreed)
{
    int before = cxButtons::GlyphListCount();
    {
        TcxButtonGlyph a, b;
        auto s1 = Strip(1, 16, 16), s2 = Strip(1, 16, 16);
        a.SetGlyph(s1.get());
        b.SetGlyph(s2.get());
        TBitmap target;
        target.SetSize(20, 20);
        a.Draw(target.Canvas(), 0, 0, cxbsNormal);
        b.Draw(target.Canvas(), 0, 0, cxbsNormal);
        EXPECT_EQ(cxButtons::GlyphListCount(), before + 1);   // one list of 16 by 16
        EXPECT_EQ(target.Canvas()->Pixels(8, 8), clRed);
        EXPECT_NE(target.Canvas()->Pixels(0, 8), clOlive);   // see-through
    }
    EXPECT_EQ(cxButtons::GlyphListCount(), before);
}

TEST(ButtonLayout, GlyphAndCaption)
{
    struct Case {
        TButtonLayout Layout;
        int Margin, Spacing;
        TPoint Glyph;
        int CaptionLeft, CaptionTop;
    };
    const TRect client{0, 0, 100, 30};
    const TSize caption{40, 12}, glyph{16, 16};
    const Case cases[] = {
        {blGlyphLeft, -1, -1, {14, 7}, 44, 9},    // margin and spacing 14 each
        {blGlyphLeft, -1, 4, {20, 7}, 40, 9},     // (100 - 16 - 4 - 40 + 1) div 2 = 20
        {blGlyphLeft, 5, -1, {5, 7}, 40, 9},      // spacing (100 - 5 - 16 - 40) div 2 = 19
        {blGlyphRight, 5, 4, {79, 7}, 35, 9},
        {blGlyphTop, 0, 2, {42, 0}, 30, 18},
        {blGlyphBottom, 0, 2, {42, 14}, 30, 0},
    };
    for (const Case& c : cases) {
        TPoint g;
        TRect t;
        cxButtons::CalcButtonLayout(client, caption, glyph, c.Layout, c.Margin, c.Spacing, g, t);
        EXPECT_EQ(g, c.Glyph) << c.Layout << " " << c.Margin << " " << c.Spacing;
        EXPECT_EQ(t.Left, c.CaptionLeft) << c.Layout;
        EXPECT_EQ(t.Top, c.CaptionTop) << c.Layout;
        EXPECT_EQ(t.Width(), 40);
    }
    // Without a caption there is no spacing: the glyph is centred.
    TPoint g;
    TRect t;
    cxButtons::CalcButtonLayout(TRect{10, 10, 110, 40}, TSize{0, 0}, glyph, blGlyphLeft, -1, 4, g, t);
    EXPECT_EQ(g, (TPoint{52, 17}));
}

TEST(ButtonDropDown, TheMenuOpensAboveWhenItDoesNotFitBelow)
{
    const TRect button{100, 500, 180, 525};
    EXPECT_EQ(cxButtons::DropDownMenuPoint(button, 100, 768), (TPoint{100, 525}));
    EXPECT_EQ(cxButtons::DropDownMenuPoint(button, 300, 768), (TPoint{100, 525 - 300 - 25 - 2}));
}

TEST_F(ButtonTest, StatesAndPainters)
{
    Button->SetEnabled(false);
    EXPECT_EQ(Button->DrawState(true, true), cxbsDisabled);
    Button->SetEnabled(true);
    EXPECT_EQ(Button->DrawState(true, false), cxbsPressed);
    EXPECT_EQ(Button->DrawState(false, true), cxbsDefault);
    EXPECT_EQ(Button->DrawState(false, false), cxbsNormal);
    Button->SetDefault(true);
    EXPECT_EQ(Button->DrawState(false, false), cxbsDefault);
    Button->LookAndFeel()->SetKind(lfUltraFlat);
    EXPECT_EQ(Button->GetPainter(), TcxUltraFlatLookAndFeelPainter::Instance());
    Button->LookAndFeel()->SetKind(lfFlat);
    EXPECT_EQ(Button->GetPainter(), TcxFlatLookAndFeelPainter::Instance());
    // Hot tracking in a look whose painter tracks: the mouse over the button.
    Button->LookAndFeel()->SetKind(lfUltraFlat);
    GuiTest::ProcessEvents();
    GuiTest::MouseMove(Button, TPoint{20, 10});
    EXPECT_TRUE(Button->Hot());
    EXPECT_EQ(Button->DrawState(false, false), cxbsHot);
    Button->SetEnabled(false);
    EXPECT_FALSE(Button->Hot());
}

TEST_F(ButtonTest, DropDownKinds)
{
    auto* menu = new TPopupMenu(Form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("打印");
    menu->Items()->Add(item);
    int clicks = 0, shown = 0;
    Button->OnClick = [&](TObject*) { ++clicks; };
    Button->SetDropDownMenu(menu);

    // The standard kind clicks as an ordinary button.
    Button->Click();
    EXPECT_EQ(clicks, 1);

    // The whole button opens the menu, once the click is over; no click.
    Button->SetKind(cxbkDropDown);
    GuiTest::ProcessEvents();
    bool pressWhileOpen = false;
    WhenMenuShows([&] {
        ++shown;
        EXPECT_TRUE(Button->DroppedDown());
        EXPECT_EQ(GuiTest::ShownPopupMenu().size(), 1u);
        // A press on the button while the menu is open closes it.
        if (pressWhileOpen) Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        GuiTest::ClosePopupMenu();
    });
    Button->Click();
    EXPECT_EQ(clicks, 1);
    GuiTest::ProcessEvents();
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(Button->DroppedDown());

    // The click of the press that closed the menu neither opens it again nor clicks.
    pressWhileOpen = true;
    WhenMenuShows([&] {
        ++shown;
        Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        GuiTest::ClosePopupMenu();
    });
    Button->Click();
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, 2);
    Button->Click();
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(clicks, 1);

    // The arrow part of the other kind opens it; the rest clicks.
    Button->SetKind(cxbkDropDownButton);
    GuiTest::ProcessEvents();
    WhenMenuShows([&] {
        ++shown;
        GuiTest::ClosePopupMenu();
    });
    GuiTest::Click(Button, TPoint{Button->Width() - 5, 10});
    GuiTest::ProcessEvents();
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, 3);
    GuiTest::Click(Button, TPoint{20, 10});
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, 3);
    EXPECT_GE(clicks, 2);
}

// Buttons in three looks with glyphs, for the eye: editors_buttons.png in
// the build folder.
TEST_F(ButtonTest, PaintsTheLooks)
{
    auto glyph = Strip(1, 16, 16);
    const TcxLookAndFeelKind kinds[3] = {lfStandard, lfFlat, lfUltraFlat};
    const TcxButtonKind buttonKinds[3] = {cxbkStandard, cxbkDropDown, cxbkDropDownButton};
    for (int k = 0; k < 3; ++k) {
        auto* b = k == 0 ? Button : new TcxButton(Form);
        b->SetParent(Form);
        b->SetBounds(10 + 115 * k, 10, 105, 30);
        b->SetCaption(k == 0 ? "确定" : k == 1 ? "打印" : "导出");
        b->LookAndFeel()->SetKind(kinds[k]);
        b->SetKind(buttonKinds[k]);
        b->SetGlyph(glyph.get());
    }
    auto* off = new TcxButton(Form);
    off->SetParent(Form);
    off->SetBounds(10, 60, 105, 30);
    off->SetCaption("取消");
    off->SetGlyph(glyph.get());
    off->SetEnabled(false);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Form, "editors_buttons.png"));
    // The glyph shows red in an enabled button and never in a disabled one.
    auto redIn = [](TcxButton* b) {
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) n += GuiTest::PixelAt(b, TPoint{x, y}) == clRed;
        return n;
    };
    EXPECT_GT(redIn(Button), 50);
    EXPECT_EQ(redIn(off), 0);
}
