// The drag image of the control base: drawn once per framework drag into a
// list of the control's size, shown beside the cursor, freed at the end.
#include "Forms.h"
#include "GuiTesting.h"
#include "cxControls.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

class TOwnDragImages : public TcxDragImageList {
    QZ_CLASS(TOwnDragImages, TcxDragImageList)
public:
    using TcxDragImageList::TcxDragImageList;
};
QZ_CLASS_IMPL(TOwnDragImages, TcxDragImageList)

// Draws a green bar on a fuchsia ground (the ground is the transparent colour).
class TImageControl : public TcxControl {
    QZ_CLASS(TImageControl, TcxControl)
public:
    explicit TImageControl(TComponent* AOwner = nullptr) : TcxControl(AOwner) {}
    bool Images = true;
    TClass ImagesClass = nullptr;
    std::vector<TRect> Drawn;
    std::vector<bool> ImageShownWhilePainting;
    bool HasDragImages() const override { return Images; }
    TPoint GetDragImagesSize() const override { return {24, 12}; }
    TClass GetDragImagesClass() const override { return ImagesClass ? ImagesClass : TcxControl::GetDragImagesClass(); }
    void DrawDragImage(TcxCanvas* ACanvas, const TRect& R) override
    {
        Drawn.push_back(R);
        ACanvas->Brush()->SetColor(clFuchsia);
        ACanvas->Canvas()->FillRect(R);
        ACanvas->Brush()->SetColor(clLime);
        ACanvas->Canvas()->FillRect(Rect(4, 2, 20, 10));
    }

protected:
    void Paint() override
    {
        TcxControl::Paint();
        if (DragImages()) ImageShownWhilePainting.push_back(DragImages()->DragImageShown());
    }
};
QZ_CLASS_IMPL(TImageControl, TcxControl)

class DragImageTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        cxControls::Initialize();
        MakeForm();
        C = static_cast<TImageControl*>(TImageControl::StaticClass()->Create(Form));
        C->SetParent(Form);
        C->SetBounds(10, 10, 150, 100);
        C->SetDragMode(dmAutomatic);
        Target = new TImageControl(Form);
        Target->Images = false;
        Target->SetParent(Form);
        Target->SetBounds(200, 10, 150, 100);
        Target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
        ShowForm();
    }
    TImageControl* C = nullptr;
    TImageControl* Target = nullptr;
};

TEST_F(DragImageTest, ListIsMadeOnFirstUseWithTheControlsSizeAndDrawing)
{
    EXPECT_TRUE(C->ControlStyle().Contains(csDisplayDragImage));
    EXPECT_FALSE(Target->ControlStyle().Contains(csDisplayDragImage));
    EXPECT_EQ(Target->GetDragImages(), nullptr);
    EXPECT_EQ(C->DragImages(), nullptr);

    TDragImageList* list = C->GetDragImages();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ClassType(), TcxDragImageList::StaticClass());
    EXPECT_EQ(list->Width(), 24);
    EXPECT_EQ(list->Height(), 12);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(C->Drawn, std::vector<TRect>{Rect(0, 0, 24, 12)});
    EXPECT_EQ(C->GetDragImages(), list);   // kept: drawn once
    EXPECT_EQ(C->Drawn.size(), 1u);

    // The ground is masked out by the bitmap's own transparent colour.
    TBitmap b;
    list->BkColor = clWhite;
    ASSERT_TRUE(list->GetBitmap(0, &b));
    EXPECT_EQ(b.Canvas()->Pixels(10, 5), clLime);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(23, 11), clWhite);
}

TEST_F(DragImageTest, ItsOwnListClass)
{
    C->ImagesClass = TOwnDragImages::StaticClass();
    ASSERT_NE(C->GetDragImages(), nullptr);
    EXPECT_EQ(C->GetDragImages()->ClassType(), TOwnDragImages::StaticClass());
}

TEST_F(DragImageTest, ImageFollowsTheDragHidesWhileThePaintRunsAndIsFreedAtTheEnd)
{
    bool listAliveAtEnd = false;
    C->OnEndDrag = [&](TObject*, TObject*, int, int) { listAliveAtEnd = C->DragImages() != nullptr; };
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(40, 20));
    ASSERT_TRUE(C->Dragging());
    TPoint s = C->ClientToScreen(Point(40, 20));
    auto shown = GuiTest::ShownDragImages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Bounds, Rect(s.X, s.Y, s.X + 24, s.Y + 12));
    TColor colour = clNone;
    int alpha = 0;
    ASSERT_TRUE(GuiTest::DragImagePixel(Point(10, 5), colour, alpha));
    EXPECT_EQ(colour, clLime);
    EXPECT_GT(alpha, 0);
    EXPECT_LT(alpha, 255);

    // Over itself the control knows the drag; its painting takes the image down meanwhile.
    GuiTest::MouseMove(C, Point(60, 30));
    s = C->ClientToScreen(Point(60, 30));
    EXPECT_EQ(GuiTest::ShownDragImages().at(0).Bounds, Rect(s.X, s.Y, s.X + 24, s.Y + 12));
    C->ImageShownWhilePainting.clear();
    C->Repaint();
    EXPECT_EQ(C->ImageShownWhilePainting, std::vector<bool>{false});
    ASSERT_NE(C->DragImages(), nullptr);
    EXPECT_TRUE(C->DragImages()->DragImageShown());
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::ShownDragImages().size(), 1u);

    GuiTest::MouseMove(Target, Point(30, 30));
    s = Target->ClientToScreen(Point(30, 30));
    EXPECT_EQ(GuiTest::ShownDragImages().at(0).Bounds, Rect(s.X, s.Y, s.X + 24, s.Y + 12));
    GuiTest::MouseUp(Target, mbLeft, Point(30, 30));
    EXPECT_FALSE(C->Dragging());
    EXPECT_TRUE(listAliveAtEnd);
    EXPECT_EQ(C->DragImages(), nullptr);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());

    // The next drag draws a fresh image.
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(40, 20));
    EXPECT_EQ(C->Drawn.size(), 2u);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_EQ(C->DragImages(), nullptr);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
}

TEST_F(DragImageTest, ControlFreedDuringTheDragTakesItsImageAlong)
{
    GuiTest::MouseDown(C, mbLeft, Point(20, 20));
    GuiTest::MouseMove(C, Point(40, 20));
    ASSERT_EQ(GuiTest::ShownDragImages().size(), 1u);
    delete C;
    C = nullptr;
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    GuiTest::MouseMove(Target, Point(30, 30));   // the drag goes on without an image
    GuiTest::MouseUp(Target, mbLeft, Point(30, 30));
    EXPECT_EQ(DragObject(), nullptr);
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
}

TEST_F(DragImageTest, NoImageForAControlWithoutDragImages)
{
    Target->SetDragMode(dmAutomatic);
    GuiTest::MouseDown(Target, mbLeft, Point(20, 20));
    GuiTest::MouseMove(Target, Point(40, 20));
    ASSERT_TRUE(Target->Dragging());
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
    Target->Repaint();   // painting with no image about is harmless
    GuiTest::MouseUp(Target, mbLeft, Point(40, 20));
    EXPECT_TRUE(Target->Drawn.empty());
    EXPECT_EQ(Target->DragImages(), nullptr);
}

TEST_F(DragImageTest, AControlMadeWithoutTheFactoryGetsTheStyleWhenItsDragStarts)
{
    auto* d = new TImageControl(Form);
    d->SetParent(Form);
    d->SetBounds(10, 150, 100, 80);
    d->SetDragMode(dmAutomatic);
    GuiTest::ProcessEvents();
    GuiTest::MouseDown(d, mbLeft, Point(20, 20));
    GuiTest::MouseMove(d, Point(40, 20));
    EXPECT_TRUE(d->ControlStyle().Contains(csDisplayDragImage));
    EXPECT_EQ(GuiTest::ShownDragImages().size(), 1u);
    GuiTest::MouseUp(d, mbLeft, Point(40, 20));
    EXPECT_TRUE(GuiTest::ShownDragImages().empty());
}

}  // namespace
