// The data-aware edit's button strip and recent values: the order of the
// buttons from the right edge, presses and clicks of the main and extra
// buttons, shortcuts, a button's drop-down menu, and the list of recent
// values that drops down while typing.
#include "DBCtrlsEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "Menus.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

std::vector<std::string> Lines(std::initializer_list<const char*> texts)
{
    return std::vector<std::string>(texts.begin(), texts.end());
}

struct TStripHost {
    std::unique_ptr<TDataSet> Ds = FiveStudents();
    TDataSource Src;
    std::unique_ptr<TForm> Form;
    TDBEditEh* Edit = nullptr;
    TStripHost()
    {
        GuiTest::Init();
        Src.SetDataSet(Ds.get());
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 320, 120);
        Edit = new TDBEditEh(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 240, 24);
        Edit->SetDataSource(&Src);
        Edit->SetDataField("Name");
    }
    void Show()
    {
        Form->Show();
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    TPoint Center(int i) const
    {
        TControl* b = Edit->ButtonControl(i);
        return Point(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    }
};

TEST(DBEditStrip, ButtonsStandFromTheRightEdgeInwards)
{
    TStripHost h;
    h.Edit->EditButton()->SetVisible(true);
    h.Edit->EditButtons()->Add()->SetStyle(ebsPlusEh);
    h.Edit->EditButtons()->Add()->SetStyle(ebsMinusEh);
    h.Edit->SetFlat(true);
    h.Show();
    ASSERT_EQ(h.Edit->ButtonCount(), 3);
    TControl* main = h.Edit->ButtonControl(0);
    TControl* first = h.Edit->ButtonControl(1);
    TControl* second = h.Edit->ButtonControl(2);
    int right = h.Edit->ClientWidth();
    EXPECT_EQ(second->Left() + second->Width(), right) << "the last extra button at the edge";
    EXPECT_EQ(first->Left() + first->Width(), second->Left() - 1) << "then its separator and the first";
    EXPECT_EQ(main->Left() + main->Width(), first->Left() - 1) << "the main button innermost";
    EXPECT_TRUE(h.Edit->ButtonSeparator(0)->Visible());
    EXPECT_EQ(h.Edit->ButtonsWidth(), right - main->Left() + 1);
    EXPECT_EQ(dynamic_cast<TEditButtonControlEh*>(second)->Style(), ebsMinusEh);
    // A hidden main button takes no room; a change of the stored buttons rebuilds the strip.
    h.Edit->EditButton()->SetVisible(false);
    EXPECT_EQ(h.Edit->ButtonControl(0)->Width(), 0);
    EXPECT_FALSE(h.Edit->ButtonSeparator(0)->Visible());
    h.Edit->EditButtons()->Items(1)->SetVisible(false);
    EXPECT_EQ(h.Edit->ButtonControl(1)->Left() + h.Edit->ButtonControl(1)->Width(), right);
    h.Edit->SetFlat(false);
    EXPECT_FALSE(h.Edit->ButtonSeparator(1)->Visible());
    EXPECT_EQ(h.Edit->ButtonsWidth(), h.Edit->ButtonControl(1)->Width());
}

TEST(DBEditStrip, PressesAndClicksGoToTheirButtons)
{
    TStripHost h;
    h.Edit->EditButton()->SetVisible(true);
    TEditButtonEh* extra = h.Edit->EditButtons()->Add();
    extra->SetShortCut(ShortCut(VK_F3, {}));
    std::vector<std::string> heard;
    h.Edit->OnButtonDown = [&](TObject*, bool, bool&, bool&) { heard.push_back("main down"); };
    h.Edit->OnButtonClick = [&](TObject*, bool&) { heard.push_back("main click"); };
    extra->OnDown = [&](TObject*, bool, bool&, bool&) { heard.push_back("extra down"); };
    extra->OnClick = [&](TObject*, bool&) { heard.push_back("extra click"); };
    h.Show();
    // The main button holds the edit's drop-down open from its press until the next click.
    GuiTest::Click(h.Edit, h.Center(0));
    EXPECT_EQ(heard, Lines({"main down", "main click"}));
    EXPECT_TRUE(h.Edit->DropDownOpen()) << "the click that opened it does not close it";
    EXPECT_TRUE(h.Edit->ButtonControl(0)->AlwaysPressed());
    GuiTest::Click(h.Edit, h.Center(0));
    EXPECT_FALSE(h.Edit->DropDownOpen());
    EXPECT_FALSE(h.Edit->ButtonControl(0)->AlwaysPressed());
    heard.clear();
    GuiTest::Click(h.Edit, h.Center(1));
    GuiTest::KeyPress(VK_F3);
    EXPECT_EQ(heard, Lines({"extra down", "extra click", "extra down", "extra click"}));
    // A handled click keeps the drop-down open.
    h.Edit->OnButtonClick = [&](TObject*, bool& handled) { handled = true; };
    h.Edit->OpenDropDown();
    GuiTest::Click(h.Edit, h.Center(0));
    EXPECT_TRUE(h.Edit->DropDownOpen());
    // Without a data link to act on the buttons are disabled.
    h.Src.SetDataSet(nullptr);
    EXPECT_FALSE(h.Edit->ButtonControl(1)->Enabled());
}

TEST(DBEditStrip, ButtonMenuShowsBelowTheButtonAndItsClosingPressDoesNotReopen)
{
    TStripHost h;
    TPopupMenu menu(h.Form.get());
    auto* item = new TMenuItem(&menu);
    item->SetCaption("清空");
    menu.Items()->Add(item);
    TEditButtonEh* extra = h.Edit->EditButtons()->Add();
    extra->SetDropdownMenu(&menu);
    h.Show();
    int shown = 0;
    GuiTest::Later([&] {
        shown = int(GuiTest::ShownPopupMenu().size());
        GuiTest::ClosePopupMenu();
    });
    GuiTest::MouseDown(h.Edit, mbLeft, h.Center(1));
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(h.Edit->ButtonControl(1)->Down()) << "the button is let up";
    // The press that closed the menu finds the menu's note still waiting
    // (posted when the menu came down) and opens nothing; the next one does.
    shown = 0;
    auto closeIt = [&] {
        shown += int(GuiTest::ShownPopupMenu().size());
        GuiTest::ClosePopupMenu();
    };
    GuiTest::Later(closeIt);
    PostMessage(h.Edit->Handle(), WM_MENUCLOSEDEH, 1, 0);
    bool autoRepeat = false;
    h.Edit->ButtonControl(1)->OnDown(h.Edit->ButtonControl(1), true, autoRepeat);
    EXPECT_EQ(shown, 0);
    h.Edit->ButtonControl(1)->OnDown(h.Edit->ButtonControl(1), true, autoRepeat);
    EXPECT_EQ(shown, 1);
    GuiTest::ProcessEvents();
}

TEST(DBEditStrip, RecentValuesDropDownWhileTyping)
{
    TStripHost h;
    TMRUListEh* mru = h.Edit->MRUList();
    mru->SetActive(true);
    for (const char* s : {"abc", "abd", "xy"}) mru->Items()->Add(s);
    h.Show();
    h.Edit->SelectAll();
    GuiTest::TypeText("ab");
    ASSERT_TRUE(h.Edit->MRUListDroppedDown());
    TMRUListboxEh* list = h.Edit->MRUListControl();
    EXPECT_EQ(list->Count(), 2);
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(list->Top(), h.Edit->ClientToScreen(Point(0, h.Edit->Height())).Y) << "under the edit";
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_FALSE(h.Edit->MRUListDroppedDown());
    EXPECT_EQ(h.Edit->Text(), "abc");
    // Escape keeps what was typed; emptying the text closes the list.
    h.Edit->SelectAll();
    GuiTest::TypeText("x");
    ASSERT_TRUE(h.Edit->MRUListDroppedDown());
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(h.Edit->MRUListDroppedDown());
    EXPECT_EQ(h.Edit->Text(), "x");
    GuiTest::TypeText("y");
    ASSERT_TRUE(h.Edit->MRUListDroppedDown());
    GuiTest::KeyPress(VK_BACK);
    GuiTest::KeyPress(VK_BACK);
    EXPECT_FALSE(h.Edit->MRUListDroppedDown());
    // A click on an item chooses it.
    GuiTest::TypeText("a");
    ASSERT_TRUE(h.Edit->MRUListDroppedDown());
    GuiTest::Click(list, Point(5, list->ItemHeight() + list->ItemHeight() / 2));
    EXPECT_FALSE(h.Edit->MRUListDroppedDown());
    EXPECT_EQ(h.Edit->Text(), "abd");
}

TEST(DBEditStrip, ComboBoxButtonOpensItsList)
{
    TStripHost h;
    auto* box = new TDBComboBoxEh(h.Form.get());
    box->SetParent(h.Form.get());
    box->SetBounds(10, 50, 200, 24);
    box->Items()->SetText("男\n女");
    h.Show();
    box->SetFocus();
    ASSERT_GE(box->ButtonCount(), 1);
    TControl* b = box->ButtonControl(0);
    EXPECT_TRUE(b->Visible()) << "a combo box shows its drop-down button";
    EXPECT_EQ(box->EditButton()->ShortCut(), DefaultEditButtonShortCut);
    GuiTest::Click(box, Point(b->Left() + b->Width() / 2, b->Height() / 2));
    EXPECT_TRUE(box->ListVisible());
    EXPECT_TRUE(box->ListControl()->Visible());
    GuiTest::Click(box, Point(b->Left() + b->Width() / 2, b->Height() / 2));
    EXPECT_FALSE(box->ListVisible());
}

}  // namespace

namespace {

// A holder that records what it sees and may eat every message or key.
class TProbeHolder : public TComponent, public IInplaceEditHolderEh {
public:
    using TComponent::TComponent;
    bool EatMessages = false, EatKeys = false, CanModify = true;
    TPoint LastDown{-100, -100};
    uint32_t LastDownTime = 0;
    std::vector<std::string> Keys;
    bool InplaceEditCanModify(TControl*) override { return CanModify; }
    void GetMouseDownInfo(TPoint& p, uint32_t& t) override
    {
        p = LastDown;
        t = LastDownTime;
    }
    void InplaceEditWndProc(TControl*, TMessage& m) override
    {
        if (EatMessages) m.Result = 1;
    }
    void InplaceEditKeyDown(TControl*, WORD& key, TShiftState) override
    {
        Keys.push_back("down " + std::to_string(key));
        if (EatKeys) key = 0;
    }
    void InplaceEditKeyPress(TControl*, char& key) override
    {
        Keys.push_back(std::string("press ") + key);
        if (EatKeys) key = 0;
    }
    void InplaceEditKeyUp(TControl*, WORD& key, TShiftState) override { Keys.push_back("up " + std::to_string(key)); }
};

// A shown edit hosted by a probe holder.
struct THostedEdit : TStripHost {
    TProbeHolder Holder{nullptr};
    THostedEdit()
    {
        Edit->SetInplaceEditHolder(&Holder);
        Show();
    }
};

TEST(DBEditHosting, AHolderSeesMessagesAndKeysFirst)
{
    TStripHost h;
    h.Show();
    TComponent plain(nullptr);
    try {
        h.Edit->SetInplaceEditHolder(&plain);
        ADD_FAILURE() << "a component that is no holder is refused";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "InplaceEditHolder have to support IInplaceEditHolderEh interface");
    }
    EXPECT_FALSE(h.Edit->Hosted());
    TProbeHolder holder(nullptr);
    h.Edit->SetInplaceEditHolder(&holder);
    ASSERT_TRUE(h.Edit->Hosted());
    h.Edit->SetFocus();
    h.Edit->SelectAll();
    GuiTest::TypeText("a");
    EXPECT_EQ(h.Edit->Text(), "a");
    ASSERT_FALSE(holder.Keys.empty());
    EXPECT_EQ(holder.Keys.front(), "press a") << holder.Keys.size();
    // Eaten keys and messages do not reach the edit.
    holder.EatKeys = true;
    GuiTest::TypeText("b");
    EXPECT_EQ(h.Edit->Text(), "a");
    holder.EatKeys = false;
    holder.EatMessages = true;
    GuiTest::TypeText("c");
    holder.EatMessages = false;   // (reading the text is a message too)
    EXPECT_EQ(h.Edit->Text(), "a") << "a holder that answers every message leaves the edit without input";
    // A holder that refuses changes makes the edit read-only.
    holder.CanModify = false;
    h.Edit->UpdateReadOnlyState();
    EXPECT_TRUE(static_cast<TCustomEdit*>(h.Edit)->ReadOnly());
    holder.CanModify = true;
    h.Edit->SetInplaceEditHolder(nullptr);
    EXPECT_FALSE(h.Edit->Hosted());
}

TEST(DBEditHosting, TheHolderShowsHidesAndPlacesTheEdit)
{
    THostedEdit h;
    h.Edit->ShowHosted(Rect(20, 30, 120, 52), true);
    EXPECT_TRUE(h.Edit->Visible());
    EXPECT_EQ(h.Edit->BoundsRect(), Rect(20, 30, 120, 52));
    h.Edit->SetHostedBounds(Rect(5, 6, 85, 28));
    EXPECT_EQ(h.Edit->BoundsRect(), Rect(5, 6, 85, 28));
    h.Edit->ShowHosted(Rect(0, 0, 0, 0), false);
    EXPECT_FALSE(h.Edit->Visible()) << "an empty rectangle hides it";
    h.Edit->ShowHosted(Rect(5, 6, 85, 28), false);
    h.Edit->HideHosted();
    EXPECT_FALSE(h.Edit->Visible());
}

TEST(DBEditHosting, APressCloseToTheHoldersPressIsADoubleClick)
{
    THostedEdit h;
    TProbeHolder& holder = h.Holder;
    int doubles = 0;
    h.Edit->OnDblClick = [&](TObject*) { ++doubles; };
    TPoint at = Point(10, 8);
    holder.LastDown = h.Edit->ClientToScreen(at);
    holder.LastDownTime = GetTickCount();
    h.Edit->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(at.X, at.Y));
    h.Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_EQ(doubles, 1);
    holder.LastDown = Point(-500, -500);
    h.Edit->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(at.X, at.Y));
    h.Edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_EQ(doubles, 1) << "far from the holder's press: a single click";
}

}  // namespace
