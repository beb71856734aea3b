// Combo boxes and check list boxes: items, choices through the keyboard and
// the mouse, the notifications the forms hear, owner drawing.
#include "CheckLst.h"
#include "StdCtrls.h"
#include "StdFormFixture.h"

namespace {

using ComboTest = StdFormTest;

TEST_F(ComboTest, ItemsWithObjectsOutliveTheWindowAndSortedPlacesThem)
{
    auto* cb = new TComboBox(nullptr);
    cb->Items()->AddObject("员工", Form);
    cb->Items()->Add("车辆");
    cb->SetItemIndex(1);
    EXPECT_EQ(cb->Text(), "车辆");   // no window yet: the choice is kept
    cb->SetParent(Form);
    cb->SetStyle(csDropDownList);
    ShowForm();
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->Text(), "车辆");
    EXPECT_EQ(cb->Items()->Objects(0), Form);
    cb->RecreateWnd();
    EXPECT_EQ(cb->Items()->CommaText(), "员工,车辆");
    EXPECT_EQ(cb->ItemIndex(), 1);
    cb->SetSorted(true);
    cb->Items()->Add("b");
    cb->Items()->Add("a");
    // In the 8-bit order Chinese sorts by its reading: che before yuan.
    EXPECT_EQ(cb->Items()->CommaText(), "a,b,车辆,员工");
    EXPECT_EQ(cb->Text(), "车辆");
    EXPECT_EQ(cb->ItemIndex(), 2);
    cb->Items()->Delete(2);
    EXPECT_EQ(cb->ItemIndex(), -1);
    EXPECT_EQ(cb->Text(), "");
    EXPECT_THROW(cb->Items()->Delete(7), Exception);
    std::string b = "B";
    EXPECT_EQ(cb->Perform(CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(&b)), 1);   // case folded
    delete cb;
}

TEST_F(ComboTest, ProgramChoicesAreSilentUserChoicesSelectThenChange)
{
    auto* cb = Make<TComboBox>(10, 10, 150, 24);
    cb->SetStyle(csDropDownList);
    for (const char* s : {"Sheet1$", "Sheet2$", "Sheet3$"}) cb->Items()->Add(s);
    cb->OnClick = Logger("click");
    cb->OnChange = Logger("change");
    ShowForm();
    cb->SetItemIndex(0);
    cb->SetText("Sheet3$");
    EXPECT_EQ(cb->ItemIndex(), 2);
    EXPECT_TRUE(Log.empty());
    // Down arrow on the closed list chooses the next item: click, then change (no OnSelect set).
    cb->SetItemIndex(0);
    cb->SetFocus();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->Text(), "Sheet2$");
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "change"}));
    // With OnSelect set, a choice calls it in place of OnChange.
    cb->OnSelect = Logger("select");
    Log.clear();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "select"}));
}

TEST_F(ComboTest, TypingInTheEditChangesTheTextAndTellsOnChange)
{
    auto* cb = Make<TComboBox>(10, 10, 150, 24);
    cb->Items()->Add("张三");
    cb->Items()->Add("李四");
    cb->SetAutoComplete(false);
    cb->SetMaxLength(4);
    int changes = 0;
    cb->OnChange = [&](TObject*) { ++changes; };
    ShowForm();
    cb->SetFocus();
    GuiTest::TypeText("王五abcd");
    EXPECT_EQ(cb->Text(), "王五ab");   // four characters at the most
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(cb->ItemIndex(), -1);
    cb->SelectAll();
    EXPECT_EQ(cb->SelLength(), 4);
    EXPECT_EQ(cb->SelText(), "王五ab");
    // Text spelled like an item chooses it.
    cb->SetText("李四");
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->Items()->Count(), 2);   // Enter adds nothing to the list
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(cb->Items()->Count(), 2);
}

TEST_F(ComboTest, DropDownAndCloseUpAreReported)
{
    auto* cb = Make<TComboBox>(10, 10, 150, 24);
    cb->SetStyle(csDropDownList);
    cb->Items()->Add("一");
    cb->Items()->Add("二");
    cb->OnDropDown = Logger("drop");
    cb->OnCloseUp = Logger("close");
    ShowForm();
    cb->SetDroppedDown(true);
    GuiTest::ProcessEvents();
    EXPECT_TRUE(cb->DroppedDown());
    EXPECT_EQ(cb->Perform(CB_GETDROPPEDSTATE), 1);
    cb->SetDroppedDown(false);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(cb->DroppedDown());
    EXPECT_EQ(Log, (std::vector<std::string>{"drop", "close"}));
}

TEST_F(ComboTest, OwnerDrawnComboDrawsTheChosenItemInItsBox)
{
    auto* cb = Make<TComboBox>(10, 10, 150, 24);
    cb->SetStyle(csOwnerDrawFixed);
    cb->Items()->Add("红");
    cb->Items()->Add("绿");
    std::vector<std::pair<int, bool>> drawn;
    cb->OnDrawItem = [&](TWinControl* c, int index, TRect r, TOwnerDrawState st) {
        drawn.emplace_back(index, st.Contains(odComboBoxEdit));
        auto* combo = static_cast<TComboBox*>(c);
        combo->Canvas()->Brush()->SetColor(index == 0 ? clRed : clLime);
        combo->Canvas()->FillRect(r);
    };
    cb->SetItemIndex(1);
    ShowForm();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), std::make_pair(1, true));
    EXPECT_EQ(GuiTest::PixelAt(cb, Point(20, 12)), clLime);
    // Variable heights come from OnMeasureItem.
    cb->SetStyle(csOwnerDrawVariable);
    cb->OnMeasureItem = [](TWinControl*, int index, int& h) { h = 20 + index * 10; };
    EXPECT_EQ(cb->Perform(CB_GETITEMHEIGHT, 1), 30);
}

TEST_F(ComboTest, SimpleComboShowsItsListUnderTheEditAllTheTime)
{
    auto* cb = Make<TComboBox>(10, 10, 160, 120);
    cb->SetStyle(csSimple);
    for (const char* s : {"宋体", "黑体", "楷体"}) cb->Items()->Add(s);
    cb->OnSelect = Logger("select");
    cb->OnDropDown = Logger("drop");
    cb->OnDblClick = Logger("dbl");
    ShowForm();
    EXPECT_EQ(cb->Height(), 120);
    // Down in the edit chooses the next item; the list shows it chosen.
    cb->SetFocus();
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(cb->ItemIndex(), 0);
    EXPECT_EQ(cb->Text(), "宋体");
    // The list lies under the edit: its rows are painted there (a selected row's highlight).
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(cb));
    int highlight = 0;
    for (int y = 30; y < 60; ++y)
        for (int x = 5; x < 150; ++x) {
            TColor c = ColorToRGB(shot->Canvas()->Pixels(x, y));
            if (GetBValue(c) > 150 && GetRValue(c) < 120) ++highlight;
        }
    EXPECT_GT(highlight, 50);
    cb->SetDroppedDown(true);   // nothing drops: the list is always there
    EXPECT_EQ(Log, (std::vector<std::string>{"select"}));
    // Typing goes to the edit.
    cb->SelectAll();
    GuiTest::TypeText("仿宋");
    EXPECT_EQ(cb->Text(), "仿宋");
}

TEST_F(ComboTest, ListBoxTellsItsParentOfChoicesAndDoubleClicks)
{
    auto* lb = Make<TListBox>(10, 10, 150, 100);
    for (const char* s : {"科目一", "科目二"}) lb->Items()->Add(s);
    lb->OnClick = Logger("click");
    lb->OnDblClick = Logger("dbl");
    std::vector<WORD> codes;
    Form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_COMMAND && reinterpret_cast<HWND>(m.LParam) == lb->Handle()) codes.push_back(HIWORD(m.WParam));
        Form->WndProc(m);
    };
    ShowForm();
    TRect second = lb->ItemRect(1);
    GuiTest::Click(lb, Point(20, second.Top + 3));
    GuiTest::DoubleClick(lb, Point(20, second.Top + 3));
    Form->WindowProc = nullptr;
    EXPECT_EQ(codes, (std::vector<WORD>{WORD(LBN_SELCHANGE), WORD(LBN_DBLCLK)}));
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "dbl"}));
}

using CheckListTest = StdFormTest;

TEST_F(CheckListTest, ChecksFollowTheirItemsAndClicksOnTheBoxToggle)
{
    auto* cl = Make<TCheckListBox>(10, 10, 200, 150);
    for (const char* s : {"学员", "员工", "车辆"}) cl->Items()->Add(s);
    cl->SetChecked(2, true);
    cl->Items()->Insert(0, "班级");
    EXPECT_TRUE(cl->Checked(3));
    EXPECT_FALSE(cl->Checked(0));
    cl->Items()->Delete(1);
    EXPECT_TRUE(cl->Checked(2));
    EXPECT_THROW(cl->Checked(9), Exception);
    int checks = 0;
    cl->OnClickCheck = [&](TObject*) { ++checks; };
    cl->OnDblClick = Logger("dbl");
    ShowForm();
    // A click on the box toggles; a click on the text only selects.
    TRect box = cl->CheckRect(0);
    GuiTest::Click(cl, Point(box.Left + 5, box.Top + 5));
    EXPECT_TRUE(cl->Checked(0));
    EXPECT_EQ(checks, 1);
    GuiTest::Click(cl, Point(120, cl->ItemRect(1).Top + 4));
    EXPECT_FALSE(cl->Checked(1));
    EXPECT_EQ(cl->ItemIndex(), 1);
    // Space toggles the current item; a disabled item stays as it is.
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_TRUE(cl->Checked(1));
    EXPECT_EQ(checks, 2);
    cl->SetItemEnabled(1, false);
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_TRUE(cl->Checked(1));
    EXPECT_EQ(checks, 2);
    GuiTest::DoubleClick(cl, Point(120, cl->ItemRect(0).Top + 4));
    EXPECT_EQ(Log, (std::vector<std::string>{"dbl"}));
    // Grayed with AllowGrayed: unchecked, grayed, checked.
    cl->SetAllowGrayed(true);
    cl->SetState(2, cbUnchecked);
    TRect b2 = cl->CheckRect(2);
    GuiTest::Click(cl, Point(b2.Left + 5, b2.Top + 5));
    EXPECT_EQ(cl->State(2), cbGrayed);
    GuiTest::Click(cl, Point(b2.Left + 5, b2.Top + 5));
    EXPECT_EQ(cl->State(2), cbChecked);
    // The box shows: a checked item has dark pixels in its box, an unchecked one not.
    cl->SetState(2, cbChecked);
    cl->SetState(0, cbUnchecked);
    GuiTest::ProcessEvents();
    auto dark = [&](int item) {
        TRect r = cl->CheckRect(item);
        int n = 0;
        for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
            for (int x = r.Left + 2; x < r.Right - 2; ++x) {
                TColor c = GuiTest::PixelAt(cl, Point(x, y));
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++n;
            }
        return n;
    };
    EXPECT_GT(dark(2), 5);
    EXPECT_EQ(dark(0), 0);
}

} // namespace
