#include "cxButtonEdit.h"

#include "EditOnForm.h"

using ButtonEditTest = TEditOnForm<TcxButtonEdit>;

TEST_F(ButtonEditTest, OneEllipsisButtonThatClicks)
{
    ASSERT_EQ(Edit->Properties()->Buttons()->Count(), 1);
    EXPECT_EQ(Edit->Properties()->Buttons()->Items(0)->Kind(), bkEllipsis);
    int clicked = -1;
    Edit->Properties()->OnButtonClick = [&](TObject*, int i) { clicked = i; };
    ASSERT_EQ(Edit->EditViewInfo()->ButtonCount(), 1);
    const TRect b = Edit->EditViewInfo()->Button(0)->Bounds;
    GuiTest::Click(Edit, TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
    EXPECT_EQ(clicked, 0);
    // It is still a mask edit, reading its own properties: a mask shapes what is typed.
    Edit->Properties()->SetEditMask("000");
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::TypeText("1a2");
    EXPECT_EQ(Edit->InnerEdit()->Text(), "12_");
}

// The click key clicks the default button and never reaches OnKeyDown (nor a
// host listening there); other keys do.
TEST_F(ButtonEditTest, TheClickKeyClicksWithoutReachingOnKeyDown)
{
    int clicked = -1;
    std::vector<WORD> seen;
    Edit->Properties()->Buttons()->Items(0)->SetDefault(true);
    Edit->Properties()->OnButtonClick = [&](TObject*, int i) { clicked = i; };
    Edit->OnKeyDown = [&](TObject*, WORD& k, TShiftState) {
        if (k != VK_CONTROL) seen.push_back(k);
    };
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    Key(VK_RETURN, {ssCtrl});
    EXPECT_EQ(clicked, 0);
    EXPECT_TRUE(seen.empty());
    Key(VK_RETURN);
    EXPECT_EQ(seen, std::vector<WORD>{VK_RETURN});
    // Without buttons there is nothing to click: the key is an ordinary one.
    Edit->Properties()->Buttons()->Clear();
    seen.clear();
    clicked = -1;
    Key(VK_RETURN, {ssCtrl});
    EXPECT_EQ(clicked, -1);
    EXPECT_EQ(seen, std::vector<WORD>{VK_RETURN});
}
