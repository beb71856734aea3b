// Menus and actions: items and their structure, popups run modally and
// chosen from by the test while they are up, right clicks and the keyboard,
// images and owner-drawn items, short-cuts, the form's menu bar, and actions
// updating the menu items and controls linked to them.
#include "ActnList.h"
#include "Clipbrd.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

struct MenuTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TEdit* Edit = nullptr;
    void SetUp() override
    {
        GuiTest::Init();
        // Tests elsewhere put handlers of their own in place: the menus' come back.
        Menus::InitMenus();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 320, 240);
        Edit = new TEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 120, 21);
        Form->Show();
        GuiTest::ProcessEvents();
        Edit->SetFocus();
    }
    TMenuItem* Item(TComponent* owner, const std::string& caption, std::vector<std::string>* log = nullptr)
    {
        auto* i = new TMenuItem(owner);
        i->SetCaption(caption);
        if (log) i->OnClick = [log, caption](TObject*) { log->push_back(caption); };
        return i;
    }
    std::vector<std::string> Captions(const std::vector<GuiTest::TShownMenuItem>& items)
    {
        std::vector<std::string> r;
        for (auto& i : items) r.push_back(i.Caption);
        return r;
    }
};

TEST_F(MenuTest, ItemsInsertDeleteFindAndGroups)
{
    TPopupMenu pm(Form.get());
    TMenuItem* root = pm.Items();
    root->Add(Item(Form.get(), "&Open"));
    root->Add(Item(Form.get(), "-"));
    root->Add(Item(Form.get(), "退出(&X)"));
    root->Insert(1, Item(Form.get(), "&Save"));
    ASSERT_EQ(root->Count(), 4);
    EXPECT_EQ(root->Items(1)->Caption(), "&Save");
    EXPECT_TRUE(root->Items(2)->IsLine());
    EXPECT_EQ(root->Find("Save"), root->Items(1));
    EXPECT_EQ(root->Find("退出(X)"), root->Items(3));
    EXPECT_EQ(root->Items(3)->MenuIndex(), 3);
    EXPECT_EQ(root->Items(3)->GetParentMenu(), &pm);
    root->Items(3)->SetMenuIndex(0);
    EXPECT_EQ(root->Items(0)->Caption(), "退出(&X)");
    root->Delete(2);
    EXPECT_EQ(root->Count(), 3);
    EXPECT_THROW(root->Delete(7), EMenuError);
    EXPECT_THROW(root->Insert(9, Item(Form.get(), "x")), EMenuError);
    TMenuItem* sub = root->Items(0);
    EXPECT_THROW(root->Add(sub), EMenuError);
    // An item freed by itself leaves its menu.
    delete root->Items(1);
    EXPECT_EQ(root->Count(), 2);
    // Radio items of one group: checking one unchecks the others.
    TMenuItem* a = Item(Form.get(), "a");
    TMenuItem* b = Item(Form.get(), "b");
    for (TMenuItem* i : {a, b}) {
        i->SetRadioItem(true);
        i->SetGroupIndex(1);
        root->Add(i);
    }
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(StripHotkey("Save && &Close"), "Save & Close");
    EXPECT_EQ(StripHotkey("确定(&O)"), "确定(O)");
    EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F10, {ssShift})), "Shift+F10");
    EXPECT_EQ(TextToShortCut("Ctrl+Shift+Del"), ShortCut(VK_DELETE, {ssCtrl, ssShift}));
    EXPECT_EQ(TextToShortCut("nonsense"), 0);
}

TEST_F(MenuTest, PopupRunsModallyAndTheChosenItemRunsAfterItCloses)
{
    std::vector<std::string> log;
    TPopupMenu pm(Form.get());
    pm.Items()->Add(Item(Form.get(), "添加(&A)", &log));
    pm.Items()->Add(Item(Form.get(), "-"));
    TMenuItem* del = Item(Form.get(), "删除(&D)", &log);
    del->SetEnabled(false);
    pm.Items()->Add(del);
    TMenuItem* more = Item(Form.get(), "更多");
    more->Add(Item(Form.get(), "打印", &log));
    pm.Items()->Add(more);
    TMenuItem* hidden = Item(Form.get(), "隐藏", &log);
    hidden->SetVisible(false);
    pm.Items()->Add(hidden);
    bool popupFired = false, closeFired = false;
    pm.OnPopup = [&](TObject*) { popupFired = true; };
    pm.OnClose = [&](TObject*) { closeFired = log.empty(); };
    std::vector<std::string> shown;
    bool refused = false;
    GuiTest::Later([&] {
        shown = Captions(GuiTest::ShownPopupMenu());
        refused = !GuiTest::ChoosePopupMenuItem("删除(&D)");
        GuiTest::ChoosePopupMenuItem("更多|打印");
    });
    pm.Popup(150, 160);
    EXPECT_EQ(shown, (std::vector<std::string>{"添加(&A)", "-", "删除(&D)", "更多"}));
    EXPECT_TRUE(refused);
    EXPECT_TRUE(popupFired);
    EXPECT_TRUE(closeFired);
    EXPECT_EQ(log, (std::vector<std::string>{"打印"}));
    EXPECT_EQ(pm.PopupPoint(), Point(150, 160));
    // Closing without a choice runs nothing.
    GuiTest::Later([] { GuiTest::ClosePopupMenu(); });
    pm.Popup(10, 10);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(MenuTest, RightClickAndTheMenuKeyShowTheControlsPopupMenu)
{
    std::vector<std::string> log;
    auto* pm = new TPopupMenu(Form.get());
    pm->Items()->Add(Item(Form.get(), "修改", &log));
    auto* box = new TPaintBox(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(10, 60, 100, 50);
    box->SetPopupMenu(pm);
    GuiTest::Later([] { GuiTest::ChoosePopupMenuItem("修改"); });
    GuiTest::Click(box, Point(20, 20), mbRight);
    EXPECT_EQ(log, (std::vector<std::string>{"修改"}));
    EXPECT_EQ(pm->PopupComponent(), box);
    EXPECT_EQ(pm->PopupPoint(), box->ClientToScreen(Point(20, 20)));
    // The keyboard asks at (-1, -1): the menu comes up at the control.
    Edit->SetPopupMenu(pm);
    // The menu key asks when it goes up.
    GuiTest::KeyDown(VK_APPS);
    GuiTest::Later([] { GuiTest::ChoosePopupMenuItem("修改"); });
    GuiTest::KeyUp(VK_APPS);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(pm->PopupComponent(), Edit);
    EXPECT_EQ(pm->PopupPoint(), Edit->ClientToScreen(Point(0, 0)));
}

TEST_F(MenuTest, EditWithoutMenuShowsItsOwnClipboardMenu)
{
    Edit->SetText("学员");
    Edit->SelectAll();
    std::vector<GuiTest::TShownMenuItem> shown;
    GuiTest::KeyDown(VK_APPS);
    GuiTest::Later([&] {
        shown = GuiTest::ShownPopupMenu();
        GuiTest::ChoosePopupMenuItem("剪切(&T)");
    });
    GuiTest::KeyUp(VK_APPS);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_TRUE(shown[0].Enabled);
    EXPECT_EQ(Edit->Text(), "");
    EXPECT_EQ(Clipboard()->AsText(), "学员");
}

TEST_F(MenuTest, ImagesAndOwnerDrawnItems)
{
    TImageList images(16, 16, Form.get());
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images.Add(&b, nullptr);
    TPopupMenu pm(Form.get());
    pm.SetImages(&images);
    pm.SetOwnerDraw(true);
    TMenuItem* pic = Item(Form.get(), "图片");
    pic->SetImageIndex(0);
    pm.Items()->Add(pic);
    TMenuItem* own = Item(Form.get(), "自绘");
    int measured = 0, drawn = 0;
    own->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
        ++measured;
        w = 90;
        h = 30;
    };
    own->OnDrawItem = [&](TObject*, TCanvas* c, TRect r, bool) {
        ++drawn;
        c->Brush()->SetColor(clLime);
        c->FillRect(r);
    };
    bool clicked = false;
    own->OnClick = [&](TObject*) { clicked = true; };
    pm.Items()->Add(own);
    std::vector<GuiTest::TShownMenuItem> shown;
    bool lime = false;
    GuiTest::Later([&] {
        shown = GuiTest::ShownPopupMenu();
        std::unique_ptr<TBitmap> g(GuiTest::GrabPopupMenu());
        if (g)
            for (int y = 0; y < g->Height() && !lime; ++y)
                for (int x = 0; x < g->Width() && !lime; ++x)
                    lime = g->Canvas()->Pixels(x, y) == ColorToRGB(clLime);
        GuiTest::ChoosePopupMenuItem("自绘");
    });
    pm.Popup(50, 50);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].HasIcon);
    EXPECT_GT(measured, 0);
    EXPECT_GT(drawn, 0);
    EXPECT_TRUE(lime);
    EXPECT_TRUE(clicked);
}

TEST_F(MenuTest, MainMenuBarTakesTheTopAndOpensWithAlt)
{
    std::vector<std::string> log;
    int before = Form->ClientHeight();
    auto* mm = new TMainMenu(Form.get());
    TMenuItem* file = Item(Form.get(), "文件(&F)");
    mm->Items()->Add(file);
    TMenuItem* open = Item(Form.get(), "打开(&O)", &log);
    open->SetShortCut(ShortCut('O', {ssCtrl}));
    file->Add(open);
    TMenuItem* save = Item(Form.get(), "保存(&S)", &log);
    save->SetShortCut(ShortCut('S', {ssCtrl}));
    save->SetEnabled(false);
    file->Add(save);
    Form->SetMenu(mm);
    GuiTest::ProcessEvents();
    EXPECT_LT(Form->ClientHeight(), before);
    TPoint editTop = Edit->ClientToScreen(Point(0, 0));
    EXPECT_GT(editTop.Y, Form->ClientToScreen(Point(0, 0)).Y - 1);
    // Short-cuts run the enabled items, wherever the focus is in the form.
    GuiTest::KeyPress('O', {ssCtrl});
    GuiTest::KeyPress('S', {ssCtrl});
    EXPECT_EQ(log, (std::vector<std::string>{"打开(&O)"}));
    EXPECT_EQ(Edit->Text(), "");
    // Alt and the accelerator open the bar's menu.
    GuiTest::KeyDown('F', {ssAlt}, "f");
    GuiTest::KeyUp('F', {ssAlt});
    auto shown = GuiTest::ShownPopupMenu();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Caption, "打开(&O)\tCtrl+O");
    EXPECT_FALSE(shown[1].Enabled);
    EXPECT_TRUE(GuiTest::ChoosePopupMenuItem("打开(&O)"));
    GuiTest::ProcessEvents();
    EXPECT_EQ(log.size(), 2u);
    // Items hidden away: the bar goes and the client area has the room again.
    file->SetVisible(false);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Form->ClientHeight(), before);
    file->SetVisible(true);
    EXPECT_LT(Form->ClientHeight(), before);
    // A menu freed takes its bar with it; short-cuts find nothing.
    delete mm;
    EXPECT_EQ(Form->Menu(), nullptr);
    EXPECT_EQ(Form->ClientHeight(), before);
    GuiTest::KeyPress('O', {ssCtrl});
    EXPECT_EQ(log.size(), 2u);
}

// A control showing an action: its caption, enabled state and hint follow
// it; checked goes through ActionChange as a button would do it.
class TActionButton : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool Checked = false;
    void ActionChange(TObject* sender, bool checkDefaults) override
    {
        TCustomControl::ActionChange(sender, checkDefaults);
        if (auto* a = DynamicCast<TCustomAction>(sender)) Checked = a->Checked();
    }
};

TEST_F(MenuTest, ActionsUpdateTheirMenuItemsAndControls)
{
    auto* list = new TActionList(Form.get());
    auto* act = new TAction(Form.get());
    act->SetActionList(list);
    act->SetCaption("保存(&S)");
    act->SetHint("保存|保存当前学员");
    act->SetShortCut(ShortCut('S', {ssCtrl}));
    std::vector<TObject*> runs;
    act->OnExecute = [&](TObject* s) { runs.push_back(s); };
    TMenuItem* item = Item(Form.get(), "");
    TPopupMenu pm(Form.get());
    pm.Items()->Add(item);
    item->SetAction(act);
    auto* btn = new TActionButton(Form.get());
    btn->SetParent(Form.get());
    btn->SetBounds(10, 100, 80, 25);
    btn->SetAction(act);
    EXPECT_EQ(item->Caption(), "保存(&S)");
    EXPECT_EQ(item->ShortCut(), ShortCut('S', {ssCtrl}));
    EXPECT_EQ(btn->Caption(), "保存(&S)");
    EXPECT_EQ(btn->Hint(), "保存|保存当前学员");
    // Changes of the action reach both.
    act->SetCaption("另存");
    act->SetChecked(true);
    act->SetEnabled(false);
    EXPECT_EQ(item->Caption(), "另存");
    EXPECT_TRUE(item->Checked());
    EXPECT_FALSE(item->Enabled());
    EXPECT_EQ(btn->Caption(), "另存");
    EXPECT_TRUE(btn->Checked);
    EXPECT_FALSE(btn->Enabled());
    // A disabled action does not run, from a click or its short-cut.
    btn->Click();
    GuiTest::KeyPress('S', {ssCtrl});
    EXPECT_TRUE(runs.empty());
    // OnUpdate on idle enables it again.
    act->OnUpdate = [&](TObject*) { act->SetEnabled(true); };
    Application->Idle();
    EXPECT_TRUE(btn->Enabled());
    EXPECT_TRUE(item->Enabled());
    btn->Click();
    GuiTest::KeyPress('S', {ssCtrl});
    GuiTest::Later([] { GuiTest::ChoosePopupMenuItem("另存"); });
    pm.Popup(20, 20);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], act);
    // The control's own OnClick comes first when it has one.
    bool own = false;
    btn->OnClick = [&](TObject*) { own = true; };
    btn->Click();
    EXPECT_TRUE(own);
    EXPECT_EQ(runs.size(), 3u);
    // The list sees executions first and may take them.
    list->OnExecute = [](TBasicAction*, bool& handled) { handled = true; };
    item->Click();
    EXPECT_EQ(runs.size(), 3u);
    list->OnExecute = nullptr;
    // An action that goes away leaves its clients as they were.
    delete act;
    EXPECT_EQ(btn->Action(), nullptr);
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(btn->Caption(), "另存");
    EXPECT_EQ(list->ActionCount(), 0);
}

TEST_F(MenuTest, GroupedAndSelfCheckingActions)
{
    TActionList list(Form.get());
    TAction a(Form.get()), b(Form.get()), c(Form.get());
    for (TAction* x : {&a, &b, &c}) x->SetActionList(&list);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetChecked(true);
    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    c.SetAutoCheck(true);
    c.OnExecute = [](TObject*) {};
    c.Execute();
    EXPECT_TRUE(c.Checked());
    EXPECT_EQ(list.IndexOf(&b), 1);
    EXPECT_EQ(b.Index(), 1);
}

} // namespace

namespace {

// A small form with a menu bar, an edit and a memo, as a picture to look at;
// the pixels checked are where the edit's selection and the memo's text are.
TEST(EditMemoMenuDemo, FormWithMenuEditAndMemo)
{
    GuiTest::Init();
    Menus::InitMenus();
    TForm form(nullptr);
    form.SetCaption("学员资料");
    form.SetBounds(50, 50, 360, 240);
    auto* mm = new TMainMenu(&form);
    for (const char* c : {"文件(&F)", "编辑(&E)", "帮助(&H)"}) {
        auto* i = new TMenuItem(&form);
        i->SetCaption(c);
        auto* sub = new TMenuItem(&form);
        sub->SetCaption("打开(&O)");
        i->Add(sub);
        mm->Items()->Add(i);
    }
    form.SetMenu(mm);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 200, 21);
    edit->SetText("恒岳驾校 学员 ABC");
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->SetBounds(10, 40, 220, 120);
    memo->SetScrollBars(ssVertical);
    std::string t;
    for (int i = 1; i <= 12; ++i) t += "第" + std::to_string(i) + "行：科目一理论考试 " + std::to_string(i * 7) + " 分\r\n";
    memo->SetText(t);
    form.Show();
    edit->SetFocus();
    edit->Perform(EM_SETSEL, 0, 4);
    GuiTest::ProcessEvents();
    // The selected characters show in the highlight colour, behind the text.
    int x = int16_t(LOWORD(edit->Perform(EM_POSFROMCHAR, 1)));
    bool highlight = false;
    for (int y = 2; y < 16 && !highlight; ++y)
        highlight = GuiTest::PixelAt(edit, Point(x + 2, y)) == ColorToRGB(clHighlight);
    EXPECT_TRUE(highlight);
    // The memo's first line shows dark text on white; its bar is up.
    bool ink = false;
    for (int y = 1; y < 14 && !ink; ++y)
        for (int px = 3; px < 60 && !ink; ++px) ink = GuiTest::PixelAt(memo, Point(px, y)) == 0;
    EXPECT_TRUE(ink);
    EXPECT_EQ(GuiTest::PixelAt(memo, Point(memo->ClientWidth() - 20, memo->ClientHeight() - 2)), ColorToRGB(clWindow));
    TScrollBarInfo bi;
    ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &bi));
    EXPECT_EQ(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
    EXPECT_TRUE(GuiTest::SavePng(&form, std::string(QZ_BINARY_DIR) + "/gui_edit_memo_menu.png"));
}

} // namespace
