// The drag image: a translucent window of its own that follows the drag.
#include "Forms.h"
#include "GuiTesting.h"
#include "ImgList.h"

#include <gtest/gtest.h>

namespace {

// Two images 20 x 10: red and blue, each with a white (masked) first column.
std::unique_ptr<TDragImageList> MakeList()
{
    auto list = std::make_unique<TDragImageList>(20, 10);
    TBitmap strip;
    strip.SetSize(40, 10);
    strip.Canvas()->Brush()->SetColor(clRed);
    strip.Canvas()->FillRect(Rect(0, 0, 20, 10));
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(Rect(20, 0, 40, 10));
    strip.Canvas()->Brush()->SetColor(clWhite);
    strip.Canvas()->FillRect(Rect(0, 0, 1, 10));
    strip.Canvas()->FillRect(Rect(20, 0, 21, 10));
    list->AddMasked(&strip, clWhite);
    return list;
}

TRect Shown()
{
    auto shown = GuiTest::ShownDragImages();
    return shown.size() == 1 ? shown[0].Bounds : TRect{};
}

TEST(DragImageList, ShowsTheChosenImageTranslucentAtTheHotSpot)
{
    GuiTest::Init();
    TDragImageList empty(16, 16);
    EXPECT_FALSE(empty.BeginDrag(nullptr, 10, 10));
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());

    auto list = MakeList();
    EXPECT_FALSE(list->SetDragImage(2, 0, 0));
    EXPECT_FALSE(list->DragMove(5, 5));   // no drag yet
    ASSERT_TRUE(list->SetDragImage(1, 3, 4));
    ASSERT_TRUE(list->BeginDrag(nullptr, 200, 150));
    EXPECT_TRUE(list->Dragging());
    auto shown = GuiTest::ShownDragImages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Bounds, Rect(197, 146, 217, 156));
    EXPECT_TRUE(shown[0].InputTransparent);
    EXPECT_FALSE(shown[0].Activates);

    TColor c = clNone;
    int alpha = -1;
    ASSERT_TRUE(GuiTest::DragImagePixel(Point(10, 5), c, alpha));
    EXPECT_EQ(c, clBlue);
    EXPECT_GT(alpha, 60);
    EXPECT_LT(alpha, 220);   // the picture below shows through
    ASSERT_TRUE(GuiTest::DragImagePixel(Point(0, 5), c, alpha));
    EXPECT_EQ(alpha, 0);     // masked out

    ASSERT_TRUE(list->DragMove(300, 40));
    EXPECT_EQ(Shown(), Rect(297, 36, 317, 46));
    EXPECT_TRUE(list->EndDrag());
    EXPECT_FALSE(list->Dragging());
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    EXPECT_FALSE(list->EndDrag());
}

TEST(DragImageList, LockedCoordinatesFollowTheWindowAndUnlockTakesTheImageDown)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(100, 100, 200, 150);
    form.Show();
    GuiTest::ProcessEvents();
    auto list = MakeList();
    ASSERT_TRUE(list->BeginDrag(form.Handle(), 10, 20));
    TPoint o = form.ClientOrigin();
    EXPECT_EQ(Shown(), Rect(o.X + 10, o.Y + 20, o.X + 30, o.Y + 30));
    list->DragUnlock();
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    EXPECT_TRUE(list->Dragging());
    list->DragMove(400, 300);   // unlocked: screen coordinates, still down
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    ASSERT_TRUE(list->DragLock(form.Handle(), 1, 2));
    EXPECT_EQ(Shown(), Rect(o.X + 1, o.Y + 2, o.X + 21, o.Y + 12));
    list.reset();   // freed while dragging: the window goes with it
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
}

TEST(DragImageList, HiddenAroundPaintingWithoutBlinking)
{
    GuiTest::Init();
    auto list = MakeList();
    ASSERT_TRUE(list->BeginDrag(nullptr, 50, 50));
    list->HideDragImage();
    EXPECT_FALSE(list->DragImageShown());
    list->ShowDragImage();
    EXPECT_TRUE(list->DragImageShown());
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::ShownDragImages().size(), 1u);

    // Nested: the image comes back with the outermost show only.
    list->HideDragImage();
    list->HideDragImage();
    list->ShowDragImage();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(list->DragImageShown());
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    list->ShowDragImage();
    list->ShowDragImage();   // one too many does not count ahead
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::ShownDragImages().size(), 1u);
    list->HideDragImage();
    EXPECT_FALSE(list->DragImageShown());
    list->EndDrag();
    GuiTest::ProcessEvents();   // the queued sync finds no window
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
}

// A control that offers a drag image while its style asks for one.
class TImageSource : public TCustomControl {
    QZ_CLASS(TImageSource, TCustomControl)
public:
    explicit TImageSource(TComponent* owner = nullptr) : TCustomControl(owner)
    {
        Images = MakeList();
        Images->SetDragImage(0, 5, 5);   // the cursor over the image
    }
    std::unique_ptr<TDragImageList> Images;
    TDragImageList* GetDragImages() override { return Images.get(); }
};
QZ_CLASS_IMPL(TImageSource, TCustomControl)

class DragImageDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 300, 200);
        a = new TImageSource(form);
        a->SetParent(form);
        a->SetBounds(10, 10, 50, 40);
        a->SetDragMode(dmAutomatic);
        b = new TImageSource(form);
        b->SetParent(form);
        b->SetBounds(100, 10, 50, 40);
        b->OnDragOver = [this](TObject*, TObject* src, int, int, TDragState, bool& accept) { accept = src == a; };
        b->OnDragDrop = [this](TObject*, TObject*, int x, int y) { dropped = Point(x, y); };
        form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override { delete form; }
    TForm* form = nullptr;
    TImageSource* a = nullptr;
    TImageSource* b = nullptr;
    TPoint dropped{-1, -1};
};

TEST_F(DragImageDrag, TheImageFollowsTheDragAndGoesAtTheDrop)
{
    TControlStyle st = a->ControlStyle();
    st.Include(csDisplayDragImage);
    a->SetControlStyle(st);
    bool imageUpAtEnd = true;
    a->OnEndDrag = [&](TObject*, TObject*, int, int) { imageUpAtEnd = a->Images->Dragging(); };
    GuiTest::MouseDown(a, mbLeft, Point(5, 5));
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());   // not before the threshold
    GuiTest::MouseMove(a, Point(20, 5));
    TPoint s = a->ClientToScreen(Point(20, 5));
    EXPECT_EQ(Shown(), Rect(s.X - 5, s.Y - 5, s.X + 15, s.Y + 5));
    GuiTest::MouseMove(b, Point(10, 12));
    s = b->ClientToScreen(Point(10, 12));
    EXPECT_EQ(Shown(), Rect(s.X - 5, s.Y - 5, s.X + 15, s.Y + 5));
    // The image lies under the cursor; the drop still finds the control below it.
    GuiTest::MouseUp(b, mbLeft, Point(10, 12));
    EXPECT_EQ(dropped, Point(10, 12));
    EXPECT_FALSE(imageUpAtEnd);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());

    // Esc: gone as well.
    a->BeginDrag(true);
    EXPECT_EQ(GuiTest::ShownDragImages().size(), 1u);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    EXPECT_FALSE(a->Images->Dragging());
}

TEST_F(DragImageDrag, NoImageWithoutTheStyle)
{
    GuiTest::MouseDown(a, mbLeft, Point(5, 5));
    GuiTest::MouseMove(a, Point(20, 5));
    ASSERT_NE(DragObject(), nullptr);
    EXPECT_EQ(DragObject()->GetDragImages(), nullptr);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    GuiTest::MouseUp(b, mbLeft, Point(10, 12));
    EXPECT_EQ(dropped, Point(10, 12));
}

} // namespace
