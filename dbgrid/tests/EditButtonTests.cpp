// Edit buttons: what a stored button keeps and announces, and the control
// that shows one (halves of an up-down pair, auto-repeat, swallowed clicks,
// the held look of an open drop-down, flat borders).
#include "Forms.h"
#include "GuiTesting.h"
#include "ToolCtrlsEh.h"

#include <gtest/gtest.h>

using namespace ToolCtrlsEh;

namespace {

TEST(EditButton, DefaultsOfPlainAndVisibleButtons)
{
    TEditButtonEh plain;
    EXPECT_FALSE(plain.Visible());
    EXPECT_EQ(plain.ShortCut(), 0);
    EXPECT_EQ(plain.Style(), ebsDropDownEh);
    EXPECT_EQ(plain.NumGlyphs(), 1);
    EXPECT_TRUE(plain.Glyph()->Empty());
    TVisibleEditButtonEh shown;
    EXPECT_TRUE(shown.Visible());
    EXPECT_EQ(shown.ShortCut(), ShortCut(VK_DOWN, TShiftState{ssAlt}));
    // A collection's buttons are visible ones.
    TEditButtonsEh buttons;
    TEditButtonEh* added = buttons.Add();
    EXPECT_TRUE(added->InheritsFrom(TVisibleEditButtonEh::StaticClass()));
    EXPECT_TRUE(added->Visible());
}

TEST(EditButton, NumGlyphsStaysBetweenOneAndFour)
{
    struct Case {
        int Set, Read;
    } cases[] = {{0, 1}, {-3, 1}, {1, 1}, {3, 3}, {4, 4}, {9, 4}};
    for (const Case& c : cases) {
        TEditButtonEh b;
        b.SetNumGlyphs(c.Set);
        EXPECT_EQ(b.NumGlyphs(), c.Read) << c.Set;
    }
}

TEST(EditButton, ChangesThatRebuildTheControlsAreAnnounced)
{
    TBitmap picture(4, 4);
    TPopupMenu menu(nullptr);
    struct Case {
        const char* Name;
        std::function<void(TEditButtonEh&)> Change;
        bool Announced;
    } cases[] = {
        {"width", [](TEditButtonEh& b) { b.SetWidth(20); }, true},
        {"visible", [](TEditButtonEh& b) { b.SetVisible(true); }, true},
        {"style", [](TEditButtonEh& b) { b.SetStyle(ebsEllipsisEh); }, true},
        {"hint", [](TEditButtonEh& b) { b.SetHint("选择"); }, true},
        {"glyphs", [](TEditButtonEh& b) { b.SetNumGlyphs(2); }, true},
        {"glyph", [&](TEditButtonEh& b) { b.SetGlyph(&picture); }, true},
        {"same width", [](TEditButtonEh& b) { b.SetWidth(0); }, false},
        {"same style", [](TEditButtonEh& b) { b.SetStyle(ebsDropDownEh); }, false},
        {"menu", [&](TEditButtonEh& b) { b.SetDropdownMenu(&menu); }, false},
        {"shortcut", [](TEditButtonEh& b) { b.SetShortCut(ShortCut(VK_F4, {})); }, false},
    };
    for (const Case& c : cases) {
        TEditButtonEh b;
        int heard = 0;
        b.OnButtonChanged = [&](TEditButtonEh* changed) {
            EXPECT_EQ(changed, &b);
            ++heard;
        };
        c.Change(b);
        EXPECT_EQ(heard, c.Announced ? 1 : 0) << c.Name;
    }
    // In a collection without a handler of its own, the collection hears of the item.
    TEditButtonsEh buttons;
    TEditButtonEh* item = buttons.Add();
    std::vector<TCollectionItem*> heard;
    buttons.OnButtonsChanged = [&](TCollectionItem* i) { heard.push_back(i); };
    item->SetWidth(30);
    item->SetShortCut(0);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], item);
}

TEST(EditButton, AssignCopiesEveryStoredSetting)
{
    TBitmap picture(6, 5);
    TPopupMenu menu(nullptr);
    TEditButtonEh from;
    from.SetDropdownMenu(&menu);
    from.SetGlyph(&picture);
    from.SetHint("提示");
    from.SetNumGlyphs(2);
    from.SetShortCut(ShortCut(VK_F4, {}));
    from.SetStyle(ebsUpDownEh);
    from.SetVisible(true);
    from.SetWidth(18);
    int clicks = 0;
    from.OnClick = [&](TObject*, bool&) { ++clicks; };
    TEditButtonEh to;
    int heard = 0;
    to.OnButtonChanged = [&](TEditButtonEh*) { ++heard; };
    to.Assign(&from);
    EXPECT_EQ(to.DropdownMenu(), &menu);
    EXPECT_EQ(to.Glyph()->Width(), 6);
    EXPECT_NE(to.Glyph(), from.Glyph());
    EXPECT_EQ(to.Hint(), "提示");
    EXPECT_EQ(to.NumGlyphs(), 2);
    EXPECT_EQ(to.ShortCut(), ShortCut(VK_F4, {}));
    EXPECT_EQ(to.Style(), ebsUpDownEh);
    EXPECT_TRUE(to.Visible());
    EXPECT_EQ(to.Width(), 18);
    bool handled = false;
    ASSERT_TRUE(to.OnClick);
    to.OnClick(&to, handled);
    EXPECT_EQ(clicks, 1);
    EXPECT_GT(heard, 0);
    // A freed menu leaves the button.
    {
        TPopupMenu gone(nullptr);
        to.SetDropdownMenu(&gone);
    }
    EXPECT_EQ(to.DropdownMenu(), nullptr);
    TStringList other;
    EXPECT_ANY_THROW(to.Assign(&other));
}

TEST(EditButton, DefaultSizes)
{
    GuiTest::Init();
    TEditButtonEh hidden, own, plain;
    own.SetVisible(true);
    own.SetWidth(25);
    plain.SetVisible(true);
    EXPECT_EQ(EditButtonWidth(&hidden, false), 0);
    EXPECT_EQ(EditButtonWidth(&own, true), 25);
    EXPECT_EQ(EditButtonWidth(&plain, true), FlatEditButtonWidth());
    EXPECT_EQ(EditButtonWidth(&plain, false), GetSystemMetrics(SM_CXVSCROLL));
    struct Case {
        int W, ClientHeight;
        bool Flat;
        int Expected;
    } cases[] = {
        {11, 16, true, 16},   // one and a half times 11 reaches the client height
        {11, 21, true, 16},   // 16.5 rounds to the even 16
        {11, 21, false, 11},
        {17, 20, false, 20},
        {13, 30, true, 20},   // 19.5 rounds to the even 20
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditButtonHeight(c.W, c.ClientHeight, c.Flat), c.Expected) << c.W << " " << c.ClientHeight;
}

// A button control on a form, with its presses noted on a manual clock.
struct TButtonHost {
    std::unique_ptr<TForm> Form;
    TEditButtonControlEh* Button = nullptr;
    std::vector<bool> Downs;   // TopButton of each press
    int Clicks = 0;
    std::function<void(bool& autoRepeat)> OnDown;
    TButtonHost(TEditButtonStyleEh style, int height)
    {
        GuiTest::Init();
        Timers::SetManualClock(true);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 200, 100);
        Button = new TEditButtonControlEh(Form.get());
        Button->SetParent(Form.get());
        Button->SetBounds(10, 10, 17, height);
        Button->SetStyle(style);
        Button->OnDown = [this](TObject*, bool top, bool& autoRepeat) {
            Downs.push_back(top);
            if (OnDown) OnDown(autoRepeat);
        };
        Button->OnClick = [this](TObject*) { ++Clicks; };
    }
    ~TButtonHost() { Timers::SetManualClock(false); }
};

TEST(EditButtonControl, HoldingAHalfRepeatsAfter400ThenEvery100Ms)
{
    TButtonHost h(ebsUpDownEh, 20);
    h.Button->MouseDown(mbLeft, {ssLeft}, 5, 15);
    EXPECT_EQ(h.Button->DownButton(), 2);
    ASSERT_EQ(h.Downs, std::vector<bool>{false});
    Timers::Advance(399);
    EXPECT_EQ(h.Downs.size(), 1u);
    Timers::Advance(1);
    EXPECT_EQ(h.Downs.size(), 2u);
    Timers::Advance(100);
    EXPECT_EQ(h.Downs.size(), 3u);
    Timers::Advance(300);
    EXPECT_EQ(h.Downs.size(), 6u);
    EXPECT_EQ(h.Downs, std::vector<bool>(6, false));
    h.Button->MouseUp(mbLeft, {}, 5, 15);
    EXPECT_EQ(h.Clicks, 1);
    EXPECT_EQ(h.Button->DownButton(), 0);
    Timers::Advance(1000);
    EXPECT_EQ(h.Downs.size(), 6u);
}

TEST(EditButtonControl, AHandlerThatClearsAutoRepeatStopsIt)
{
    TButtonHost h(ebsUpDownEh, 20);
    h.OnDown = [&](bool& autoRepeat) { autoRepeat = h.Downs.size() < 2; };
    h.Button->MouseDown(mbLeft, {ssLeft}, 5, 3);
    Timers::Advance(2000);
    EXPECT_EQ(h.Downs, (std::vector<bool>{true, true}));
    h.Button->MouseUp(mbLeft, {}, 5, 3);

    // Cleared at the press itself: no repetition at all.
    TButtonHost once(ebsUpDownEh, 20);
    once.OnDown = [](bool& autoRepeat) { autoRepeat = false; };
    once.Button->MouseDown(mbLeft, {ssLeft}, 5, 3);
    Timers::Advance(2000);
    EXPECT_EQ(once.Downs.size(), 1u);
    once.Button->MouseUp(mbLeft, {}, 5, 3);
}

TEST(EditButtonControl, OtherStylesDoNotRepeat)
{
    TButtonHost h(ebsDropDownEh, 20);
    h.Button->MouseDown(mbLeft, {ssLeft}, 5, 15);
    EXPECT_EQ(h.Button->DownButton(), 1);
    EXPECT_EQ(h.Downs, std::vector<bool>{true});
    Timers::Advance(2000);
    EXPECT_EQ(h.Downs.size(), 1u);
    h.Button->MouseUp(mbLeft, {}, 5, 15);
    EXPECT_EQ(h.Clicks, 1);
}

TEST(EditButtonControl, DraggingIntoTheOtherHalfLetsTheButtonUpWithoutAClick)
{
    TButtonHost h(ebsUpDownEh, 20);
    h.Button->MouseDown(mbLeft, {ssLeft}, 5, 3);
    EXPECT_EQ(h.Button->DownButton(), 1);
    h.Button->MouseMove({ssLeft}, 5, 15);
    EXPECT_EQ(h.Button->ButtonState(), bsUp);
    EXPECT_EQ(h.Button->DownButton(), 1);   // never takes the other half
    Timers::Advance(1000);
    h.Button->MouseUp(mbLeft, {}, 5, 15);
    EXPECT_EQ(h.Clicks, 0);
    EXPECT_EQ(h.Downs.size(), 1u);
    EXPECT_FALSE(h.Button->SuppressClick());
    // Back into the held half before the release: the click comes.
    h.Button->MouseDown(mbLeft, {ssLeft}, 5, 3);
    h.Button->MouseMove({ssLeft}, 5, 15);
    h.Button->MouseMove({ssLeft}, 5, 4);
    EXPECT_EQ(h.Button->ButtonState(), bsDown);
    h.Button->MouseUp(mbLeft, {}, 5, 4);
    EXPECT_EQ(h.Clicks, 1);
}

TEST(EditButtonControl, TheRowsBetweenTheHalvesHoldNeither)
{
    struct Case {
        int Height, Y, Down;
    } cases[] = {{20, 9, 1}, {20, 10, 0}, {20, 11, 2}, {21, 9, 1}, {21, 10, 0}, {21, 11, 0}, {21, 12, 2}};
    for (const Case& c : cases) {
        TButtonHost h(ebsUpDownEh, c.Height);
        h.Button->MouseDown(mbLeft, {ssLeft}, 5, c.Y);
        EXPECT_EQ(h.Button->DownButton(), c.Down) << c.Height << " " << c.Y;
        Timers::Advance(1000);
        EXPECT_EQ(h.Downs.size(), c.Down ? 8u : 0u) << c.Height << " " << c.Y;
        h.Button->MouseUp(mbLeft, {}, 5, c.Y);
    }
}

TEST(EditButtonControl, AlwaysPressedHoldsTheButtonDownUntilCleared)
{
    TButtonHost h(ebsDropDownEh, 20);
    h.Button->SetAlwaysPressed(true);
    EXPECT_TRUE(h.Button->Down());
    EXPECT_EQ(h.Button->GroupIndex(), 1);
    EXPECT_FALSE(h.Button->AllowAllUp());
    EXPECT_EQ(h.Button->DownButton(), 1);
    EXPECT_EQ(h.Button->ButtonState(), bsExclusive);
    h.Button->SetAlwaysPressed(false);
    EXPECT_FALSE(h.Button->Down());
    EXPECT_EQ(h.Button->GroupIndex(), 0);
    EXPECT_EQ(h.Button->DownButton(), 0);
    EXPECT_EQ(h.Button->ButtonState(), bsUp);
}

TEST(EditButtonControl, MadeForItsEditAndDrawnFlatOnlyWhileActive)
{
    GuiTest::Init();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 200, 100);
    form->SetColor(TColor(RGB(255, 0, 0)));
    TVisibleEditButtonEh stored(form.get());
    TEditButtonControlEh* c = stored.MakeButtonControl();
    EXPECT_EQ(c->Owner(), form.get());
    EXPECT_EQ(c->Parent(), form.get());
    EXPECT_EQ(c->Width(), 10);
    EXPECT_EQ(c->Height(), 17);
    EXPECT_TRUE(c->Visible());
    EXPECT_TRUE(c->ControlStyle().Contains(csReplicatable));
    c->SetBounds(20, 20, 15, 20);
    c->SetFlat(true);
    c->SetStyle(ebsEllipsisEh);
    form->Show();
    const TColor red = TColor(RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(form.get(), Point(20, 20))), ColorToRGB(red));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(form.get(), Point(34, 39))), ColorToRGB(red));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(form.get(), Point(27, 25))), ColorToRGB(clBtnFace));
    c->SetActive(true);
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(form.get(), Point(20, 20))), ColorToRGB(red));
    GuiTest::SavePng(form.get(), "/tmp/dg3-editbutton.png");
}

}  // namespace

namespace {

TEST(EditButton, StoredPropertiesAndTheirDefaults)
{
    std::vector<std::string> names;
    for (PPropInfo p : GetPropList(TEditButtonEh::StaticClass())) names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"DropdownMenu", "Glyph", "Hint", "NumGlyphs", "ShortCut", "Style",
                                               "Visible", "Width", "OnClick", "OnDown"}));
    struct Case {
        TClass Class;
        const char* Prop;
        int64_t Default;
    } cases[] = {
        {TEditButtonEh::StaticClass(), "Visible", 0},           {TEditButtonEh::StaticClass(), "ShortCut", 0},
        {TVisibleEditButtonEh::StaticClass(), "Visible", 1},    {TVisibleEditButtonEh::StaticClass(), "ShortCut", 32808},
        {TVisibleEditButtonEh::StaticClass(), "NumGlyphs", 1},  {TVisibleEditButtonEh::StaticClass(), "Width", 0},
    };
    for (const Case& c : cases) {
        PPropInfo p = GetPropInfo(c.Class, c.Prop);
        ASSERT_NE(p, nullptr) << c.Prop;
        EXPECT_TRUE(p->HasDefault) << c.Prop;
        EXPECT_EQ(p->Default, c.Default) << c.Class->Name << " " << c.Prop;
    }
    // Written through the properties, values go through the setters.
    TEditButtonEh b;
    int heard = 0;
    b.OnButtonChanged = [&](TEditButtonEh*) { ++heard; };
    SetEnumProp(&b, "Style", "ebsUpDownEh");
    SetOrdProp(&b, "NumGlyphs", 9);
    EXPECT_EQ(b.Style(), ebsUpDownEh);
    EXPECT_EQ(b.NumGlyphs(), 4);
    EXPECT_EQ(heard, 2);
}

}  // namespace
