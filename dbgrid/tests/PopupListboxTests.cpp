// The drop-down list box: typed search, hot tracking, whole rows, images.
#include "Forms.h"
#include "GuiTesting.h"
#include "ToolCtrlsEh.h"

#include <gtest/gtest.h>

namespace {

struct TListHost {
    std::unique_ptr<TForm> Form;
    TPopupListboxEh* List = nullptr;
    TListHost()
    {
        GuiTest::Init();
        Timers::SetManualClock(true);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 300, 300);
        List = new TPopupListboxEh(Form.get());
        List->SetParent(Form.get());
        List->SetItemHeight(16);
        List->SetBounds(10, 10, 150, 100);
        for (const char* s : {"apple", "banana", "Abacus", "cherry", "abc", "cab"}) List->Items()->Add(s);
        Form->Show();
    }
    ~TListHost() { Timers::SetManualClock(false); }
    void Type(char ch)
    {
        char k = ch;
        List->KeyPress(k);
        EXPECT_EQ(k, 0);
    }
};

TEST(PopupListbox, TypingSelectsTheFirstItemStartingWithTheText)
{
    TListHost h;
    h.Type('a');
    EXPECT_EQ(h.List->ItemIndex(), 0);
    Timers::Advance(300);
    h.Type('b');
    EXPECT_EQ(h.List->IncSearchText(), "ab");
    EXPECT_EQ(h.List->ItemIndex(), 2);   // "Abacus", case ignored
    // Three seconds later a new search starts.
    Timers::Advance(3000);
    h.Type('c');
    EXPECT_EQ(h.List->IncSearchText(), "c");
    EXPECT_EQ(h.List->ItemIndex(), 3);
    // Backspace and Esc empty the text; no match leaves the selection.
    char bs = '\b';
    h.List->KeyPress(bs);
    EXPECT_EQ(h.List->IncSearchText(), "");
    h.Type('z');
    EXPECT_EQ(h.List->ItemIndex(), 3);
    // The text stops growing at 32 characters.
    for (int i = 0; i < 40; ++i) h.Type('x');
    EXPECT_EQ(h.List->IncSearchText().size(), 32u);
}

TEST(PopupListbox, HeightSnapsToWholeRows)
{
    TListHost h;
    const int nc = h.List->NonClientHeight();
    EXPECT_EQ(nc, 4);   // the drop-down's own 3-D frame
    struct Case {
        int Requested, Height, Rows;
    } cases[] = {{100, 4 + 6 * 16, 6}, {84, 4 + 5 * 16, 5}, {83, 4 + 4 * 16, 4}, {10, 4 + 16, 1}};
    for (const Case& c : cases) {
        h.List->SetBounds(10, 10, 150, c.Requested);
        EXPECT_EQ(h.List->Height(), c.Height) << c.Requested;
        EXPECT_EQ(h.List->ShownRows(), c.Rows) << c.Requested;
    }
    h.List->SetShownRows(3);
    EXPECT_EQ(h.List->Height(), 4 + 3 * 16);
    h.List->SetShownRows(0);
    EXPECT_EQ(h.List->Height(), 4 + 16);
    EXPECT_TRUE(h.List->Resized());
    // Never narrower than a scroll bar.
    h.List->SetBounds(10, 10, 3, 50);
    EXPECT_EQ(h.List->Width(), GetSystemMetrics(SM_CXVSCROLL));
}

TEST(PopupListbox, TheItemUnderTheMouseIsSelected)
{
    TListHost h;
    h.List->SetTopIndex(0);
    const TRect second = h.List->ItemRect(1);
    h.List->MouseMove({}, second.Left + 5, second.Top + 3);
    EXPECT_EQ(h.List->ItemIndex(), 1);
    // With a button held the selection stays.
    const TRect fourth = h.List->ItemRect(3);
    h.List->MouseMove({ssLeft}, fourth.Left + 5, fourth.Top + 3);
    EXPECT_EQ(h.List->ItemIndex(), 1);
    // The wheel moves the top item.
    h.List->SetBounds(10, 10, 150, 4 + 2 * 16);
    GuiTest::Wheel(h.List, Point(20, 5), -120);
    EXPECT_EQ(h.List->TopIndex(), 1);
    GuiTest::Wheel(h.List, Point(20, 5), 120);
    EXPECT_EQ(h.List->TopIndex(), 0);
}

TEST(PopupListbox, ItemsShowTheirImageBeforeTheText)
{
    TListHost h;
    TImageList images(nullptr);
    images.SetSize(8, 8);
    TBitmap red(8, 8), blue(8, 8);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 8, 8));
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images.Add(&red, nullptr);
    images.Add(&blue, nullptr);
    h.List->SetImages(&images);
    std::vector<int> asked;
    h.List->OnGetImageIndex = [&](TObject* sender, int index, int& imageIndex) {
        EXPECT_EQ(sender, h.Form.get());
        asked.push_back(index);
        imageIndex = index == 1 ? 1 : 0;
    };
    h.List->SetTopIndex(0);
    h.List->Invalidate();
    const TRect first = h.List->ItemRect(0), second = h.List->ItemRect(1);
    const TPoint at = h.List->ClientToScreen(Point(0, 0));
    const TPoint formAt = h.Form->ScreenToClient(at);
    auto px = [&](int x, int y) { return ColorToRGB(GuiTest::PixelAt(h.Form.get(), Point(formAt.X + x, formAt.Y + y))); };
    EXPECT_EQ(px(first.Left + 6, first.Top + 8), ColorToRGB(clRed));
    EXPECT_EQ(px(second.Left + 6, second.Top + 8), ColorToRGB(clBlue));
    EXPECT_FALSE(asked.empty());
    GuiTest::SavePng(h.Form.get(), "/tmp/dg3-popuplist.png");
}

TEST(PopupListbox, VirtualItemsShowInPlaceOfItsOwn)
{
    TListHost h;
    TStringList texts;
    texts.Add("一");
    texts.Add("二");
    h.List->SetVirtualItems(&texts);
    EXPECT_EQ(h.List->Count(), 2);
    EXPECT_EQ(h.List->Items()->Strings(1), "二");
    h.List->SetVirtualItems(nullptr);
    EXPECT_EQ(h.List->Count(), 0);
}

}  // namespace
