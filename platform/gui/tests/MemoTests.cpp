// The memo: lines, typing across lines, word wrap, Enter and Tab as text
// or not, line scrolling with its notices and scroll bars, replace-selection.
#include "StdCtrls.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

struct MemoTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TMemo* M = nullptr;
    int Changes = 0;
    std::vector<WORD> Notices;
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        M = new TMemo(Form.get());
        M->SetParent(Form.get());
        M->SetBounds(10, 10, 200, 100);
        M->OnChange = [this](TObject*) { ++Changes; };
        Form->WindowProc = [this](TMessage& m) {
            if (m.Msg == WM_COMMAND && M->HandleAllocated() && m.LParam == LPARAM(M->Handle()))
                Notices.push_back(HIWORD(m.WParam));
            Form->WndProc(m);
        };
        Form->Show();
        GuiTest::ProcessEvents();
        M->SetFocus();
    }
    void TearDown() override { Form->WindowProc = nullptr; }
    int Count(WORD code) const { return int(std::count(Notices.begin(), Notices.end(), code)); }
};

TEST_F(MemoTest, LinesAreTheParagraphsOfTheText)
{
    M->SetText("第一行\r\n第二行\nthird");
    EXPECT_EQ(M->Text(), "第一行\r\n第二行\r\nthird");
    ASSERT_EQ(M->Lines()->Count(), 3);
    EXPECT_EQ(M->Lines()->Strings(1), "第二行");
    M->Lines()->Add("四");
    M->Lines()->Insert(0, "零");
    M->Lines()->Delete(2);
    M->Lines()->SetStrings(1, "一");
    EXPECT_EQ(M->Lines()->Text(), "零\r\n一\r\nthird\r\n四\r\n");
    M->Lines()->Clear();
    EXPECT_EQ(M->Lines()->Count(), 0);
    M->Lines()->SetText("a\r\nb\r\n");
    EXPECT_EQ(M->Lines()->Count(), 2);
    EXPECT_THROW(M->Lines()->Strings(5), Exception);
}

TEST_F(MemoTest, TypingAcrossLinesKeepsTheColumnAndCountsBreaksAsTwo)
{
    GuiTest::TypeText("abcd");
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::TypeText("学员");
    EXPECT_EQ(M->Text(), "abcd\r\n学员");
    EXPECT_EQ(M->SelStart(), 8);
    EXPECT_EQ(M->CaretPos(), Point(2, 1));
    GuiTest::KeyPress(VK_UP);
    EXPECT_EQ(M->CaretPos().Y, 0);
    GuiTest::KeyPress(VK_END);
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(M->CaretPos(), Point(2, 1));
    // Backspace at a line's start joins the lines; Delete at a line's end too.
    GuiTest::KeyPress(VK_HOME);
    GuiTest::KeyPress(VK_BACK);
    EXPECT_EQ(M->Text(), "abcd学员");
    EXPECT_EQ(M->SelStart(), 4);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::KeyPress(VK_LEFT);
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_EQ(M->Text(), "abcd学员");
    // Shift+Right over a line break selects it whole.
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::KeyPress(VK_LEFT);
    GuiTest::KeyPress(VK_RIGHT, {ssShift});
    EXPECT_EQ(M->SelLength(), 2);
    EXPECT_EQ(Changes, 11);
}

TEST_F(MemoTest, WantReturnsAndWantTabs)
{
    M->SetWantReturns(false);
    GuiTest::TypeText("a");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(M->Text(), "a");
    GuiTest::KeyPress(VK_RETURN, {ssCtrl});
    EXPECT_EQ(M->Text(), "a\r\n");
    // Tab leaves the memo unless it wants tabs.
    auto* other = new TEdit(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(10, 150, 80, 21);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(other->Focused());
    M->SetFocus();
    M->SetWantTabs(true);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_TRUE(M->Focused());
    EXPECT_EQ(M->Text(), "a\r\n\t");
}

TEST_F(MemoTest, WordWrapBreaksLinesForTheEyeOnly)
{
    std::string words;
    for (int i = 0; i < 20; ++i) words += "word" + std::to_string(i) + " ";
    M->SetText(words + "\r\n" + std::string(30, 'x') + "驾驶员培训考试");
    EXPECT_EQ(M->Lines()->Count(), 2);
    int shown = int(M->Perform(EM_GETLINECOUNT));
    EXPECT_GT(shown, 3);
    // Words are not cut: every shown line of the first paragraph starts a word.
    for (int l = 1; l < shown; ++l) {
        int start = int(M->Perform(EM_LINEINDEX, l));
        std::string line;
        M->Perform(EM_GETLINE, l, LPARAM(&line));
        if (start < int(words.size())) EXPECT_EQ(line.rfind("word", 0), 0u) << l << ": " << line;
    }
    // Horizontal scroll bars turn wrapping off.
    M->SetScrollBars(ssBoth);
    EXPECT_EQ(M->Perform(EM_GETLINECOUNT), 2);
    M->SetScrollBars(ssVertical);
    EXPECT_GE(M->Perform(EM_GETLINECOUNT), shown);   // the bar takes some of the width
    M->SetWordWrap(false);
    EXPECT_EQ(M->Perform(EM_GETLINECOUNT), 2);
    EXPECT_EQ(M->Lines()->Count(), 2);
}

TEST_F(MemoTest, LineScrollingSendsItsNoticesAndMovesTheBars)
{
    M->SetScrollBars(ssVertical);
    std::string t;
    for (int i = 0; i < 40; ++i) t += "line " + std::to_string(i) + "\r\n";
    M->SetText(t);
    Notices.clear();
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(M->Perform(EM_LINESCROLL, 0, 5), 1);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 5);
    EXPECT_EQ(Count(EN_VSCROLL), 1);
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(M->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nPos, 5);
    EXPECT_EQ(si.nMax, 40);   // 41 lines: the empty one after the last break too
    TScrollBarInfo bi;
    ASSERT_TRUE(GetScrollBarInfo(M->Handle(), OBJID_VSCROLL, &bi));
    EXPECT_EQ(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
    ASSERT_TRUE(GetScrollBarInfo(M->Handle(), OBJID_HSCROLL, &bi));
    EXPECT_NE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
    M->Perform(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 4);
    M->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 20);
    M->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    int last = int(M->Perform(EM_GETFIRSTVISIBLELINE));
    EXPECT_GT(last, 20);
    M->Perform(EM_LINESCROLL, 0, 100);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), last);
    EXPECT_EQ(Count(EN_VSCROLL), 4);
    // The caret moving off the view scrolls it.
    M->Perform(EM_SETSEL, 0, 0);
    M->Perform(EM_SCROLLCARET);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 0);
    GuiTest::Wheel(M, Point(10, 10), -120);
    EXPECT_EQ(M->Perform(EM_GETFIRSTVISIBLELINE), 3);
}

TEST_F(MemoTest, ReplaceSelectionMakesLineBreaksOfAnyKind)
{
    M->SetText("ab");
    M->Perform(EM_SETSEL, 1, 1);
    std::string lfcr = "\n\r";
    M->Perform(EM_REPLACESEL, 0, LPARAM(&lfcr));
    EXPECT_EQ(M->Text(), "a\r\n\r\nb");
    EXPECT_EQ(M->Lines()->Count(), 3);
    EXPECT_EQ(M->SelStart(), 5);
    M->SetMaxLength(8);
    std::string more = "xyz";
    M->Perform(EM_REPLACESEL, 0, LPARAM(&more));
    EXPECT_EQ(M->Text(), "a\r\n\r\nxyb");   // room for two characters only
    EXPECT_EQ(M->Perform(EM_LINEFROMCHAR, 6), 2);
    EXPECT_EQ(M->Perform(EM_LINELENGTH, 6), 3);
}

} // namespace
