// Buttons, check boxes, speed and tool buttons following actions, and the
// menu a tool button drops under itself.
#include "ActnList.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "StdFormFixture.h"

namespace {

using ActionLinksTest = StdFormTest;

TEST_F(ActionLinksTest, ButtonShowsItsActionAndRunsIt)
{
    auto* list = new TActionList(Form);
    auto* save = new TAction(Form);
    save->SetActionList(list);
    save->SetCaption("保存(&S)");
    save->SetHint("保存学员资料");
    int runs = 0;
    save->OnExecute = [&](TObject*) { ++runs; };
    auto* b = Make<TButton>(10, 10, 80, 25);
    b->SetAction(save);
    EXPECT_EQ(b->Caption(), "保存(&S)");
    EXPECT_EQ(b->Hint(), "保存学员资料");
    ShowForm();
    GuiTest::Click(b, Point(20, 10));
    EXPECT_EQ(runs, 1);
    save->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    save->SetEnabled(true);
    save->SetCaption("另存");
    EXPECT_EQ(b->Caption(), "另存");
    delete save;   // the button forgets it
    EXPECT_EQ(b->Action(), nullptr);
    GuiTest::Click(b, Point(20, 10));
    EXPECT_EQ(runs, 1);
}

TEST_F(ActionLinksTest, CheckBoxFollowsTheActionsCheckWithoutClicking)
{
    auto* act = new TAction(Form);
    act->SetCaption("显示网格");
    act->SetAutoCheck(true);
    int runs = 0;
    act->OnExecute = [&](TObject*) { ++runs; };
    auto* cb = Make<TCheckBox>(10, 10, 120, 20);
    cb->SetAction(act);
    act->SetChecked(true);
    EXPECT_TRUE(cb->Checked());
    EXPECT_EQ(runs, 0);   // following the action runs nothing
    ShowForm();
    GuiTest::Click(cb, Point(6, 10));
    EXPECT_FALSE(cb->Checked());
    EXPECT_FALSE(act->Checked());
    EXPECT_EQ(runs, 1);
}

TEST_F(ActionLinksTest, ToolAndSpeedButtonsTakeImageAndCheckFromTheirAction)
{
    auto images = std::make_unique<TImageList>(16, 16);
    auto* bar = Make<TToolBar>(0, 0, 300, 29);
    bar->SetImages(images.get());
    auto* bold = new TAction(Form);
    bold->SetCaption("粗体");
    bold->SetImageIndex(3);
    bold->SetAutoCheck(true);
    auto* tb = new TToolButton(Form);
    tb->SetParent(bar);
    tb->SetStyle(tbsCheck);
    tb->SetAction(bold);
    EXPECT_EQ(tb->ImageIndex(), 3);
    bold->SetChecked(true);
    EXPECT_TRUE(tb->Down());
    bold->SetChecked(false);
    EXPECT_FALSE(tb->Down());
    auto* sb = Make<TSpeedButton>(10, 60, 23, 22);
    sb->SetGroupIndex(5);
    sb->SetAction(bold);
    bold->SetChecked(true);
    EXPECT_TRUE(sb->Down());
    bold->SetChecked(false);
    EXPECT_FALSE(sb->Down());   // the action lifts it even alone in its group
    ShowForm();
    GuiTest::Click(bar, Point(tb->Left() + 5, 5));
    EXPECT_TRUE(bold->Checked());
    EXPECT_TRUE(tb->Down());
    EXPECT_TRUE(sb->Down());
}

TEST_F(ActionLinksTest, DropDownButtonShowsItsMenuUnderItself)
{
    auto* bar = Make<TToolBar>(0, 0, 300, 29);
    auto* menu = new TPopupMenu(Form);
    std::vector<std::string> chosen;
    for (const char* cap : {"数据栏", "页眉", "页脚"}) {
        auto* item = new TMenuItem(Form);
        item->SetCaption(cap);
        item->OnClick = [&chosen, cap](TObject*) { chosen.push_back(cap); };
        menu->Items()->Add(item);
    }
    auto* b = new TToolButton(Form);
    b->SetParent(bar);
    b->SetStyle(tbsDropDown);
    b->SetDropdownMenu(menu);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    ShowForm();
    std::vector<std::string> shown;
    GuiTest::Later([&] {
        for (auto& i : GuiTest::ShownPopupMenu()) shown.push_back(i.Caption);
        GuiTest::ChoosePopupMenuItem("页眉");
    });
    TRect arrow = b->DropDownRect();
    GuiTest::Click(bar, Point(b->Left() + arrow.Left + 4, 5));
    GuiTest::ProcessEvents();
    EXPECT_EQ(shown, (std::vector<std::string>{"数据栏", "页眉", "页脚"}));
    EXPECT_EQ(chosen, (std::vector<std::string>{"页眉"}));
    EXPECT_EQ(menu->PopupPoint(), b->ClientToScreen(Point(0, b->Height())));
    EXPECT_EQ(clicks, 0);   // the arrow is no click of the button
    // The button's own part still clicks.
    GuiTest::Click(bar, Point(b->Left() + 4, 5));
    EXPECT_EQ(clicks, 1);
    b->SetDropdownMenu(nullptr);
    EXPECT_FALSE(b->CheckMenuDropdown());
    delete menu;
}

} // namespace
