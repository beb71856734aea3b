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
