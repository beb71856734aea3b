// The screen overlay over a form: inverted shapes toggle, pictures give back
// what lay under them, and hiding around repainting keeps everything.
#include "Overlay.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        FForm = std::make_unique<TForm>(nullptr);
        FForm->SetBounds(120, 80, 200, 120);
        FForm->SetColor(clYellow);
        FForm->Show();
        GuiTest::ProcessEvents();
        Org = FForm->ClientToScreen(Point(0, 0));
    }
    void TearDown() override
    {
        ScreenOverlay()->Clear();
        FForm.reset();
    }
    TColor At(int x, int y) { return ScreenOverlay()->PixelAt(Point(Org.X + x, Org.Y + y)); }
    std::unique_ptr<TForm> FForm;
    TPoint Org;
};

TColor Inverse(TColor c) { return TColor(~ColorToRGB(c) & 0xFFFFFF); }

TEST_F(OverlayTest, InvertedLinesToggleAndOverlapsCancel)
{
    TScreenOverlay* o = ScreenOverlay();
    ASSERT_EQ(At(50, 30), clYellow);
    TPoint a(Org.X + 50, Org.Y + 10), b(Org.X + 50, Org.Y + 60);
    o->InvertLine(a, b);   // a column sizing line
    EXPECT_EQ(At(50, 30), Inverse(clYellow));
    EXPECT_EQ(At(51, 30), clYellow);
    EXPECT_EQ(At(50, 60), clYellow) << "the end point is not drawn";
    EXPECT_EQ(FForm->Color(), clYellow) << "the window's own painting is untouched";
    // Moving the line: erase at the old place, draw at the new.
    o->InvertLine(a, b);
    o->InvertLine(Point(a.X + 20, a.Y), Point(b.X + 20, b.Y));
    EXPECT_EQ(At(50, 30), clYellow);
    EXPECT_EQ(At(70, 30), Inverse(clYellow));
    EXPECT_EQ(o->ShapeCount(), 1);
    // A rectangle over the line: where both lie the pixels flip twice.
    o->InvertRect(Rect(Org.X + 60, Org.Y + 20, Org.X + 80, Org.Y + 40));
    EXPECT_EQ(At(70, 30), clYellow);
    EXPECT_EQ(At(65, 30), Inverse(clYellow));
    o->InvertRect(Rect(Org.X + 60, Org.Y + 20, Org.X + 80, Org.Y + 40));
    o->InvertLine(Point(a.X + 20, a.Y), Point(b.X + 20, b.Y));
    EXPECT_EQ(o->ShapeCount(), 0);
    EXPECT_TRUE(IsRectEmpty(o->Bounds()));
}

TEST_F(OverlayTest, RubberBandAndFocusFrame)
{
    TScreenOverlay* o = ScreenOverlay();
    TRect band(Org.X + 10, Org.Y + 10, Org.X + 60, Org.Y + 40);
    o->InvertFrame(band, 2);
    EXPECT_EQ(At(10, 20), Inverse(clYellow));
    EXPECT_EQ(At(11, 20), Inverse(clYellow));
    EXPECT_EQ(At(12, 20), clYellow);
    EXPECT_EQ(At(30, 25), clYellow);
    o->InvertFrame(band, 2);
    o->DrawFocusRect(band);
    int inverted = 0;
    for (int x = 10; x < 60; ++x) inverted += At(x, 10) == Inverse(clYellow);
    EXPECT_EQ(inverted, 25);   // every other pixel
    o->DrawFocusRect(band);
    EXPECT_EQ(At(10, 10), clYellow);
}

TEST_F(OverlayTest, PicturesGiveBackWhatLayUnderAndHideAroundRepainting)
{
    TScreenOverlay* o = ScreenOverlay();
    TBitmap arrow(9, 5);
    arrow.Canvas()->Brush()->SetColor(clWhite);
    arrow.Canvas()->FillRect(Rect(0, 0, 9, 5));
    arrow.Canvas()->Brush()->SetColor(clRed);
    arrow.Canvas()->FillRect(Rect(2, 0, 7, 5));
    int id = o->ShowPicture(&arrow, Point(Org.X + 30, Org.Y + 30), clWhite);   // an insertion arrow
    EXPECT_EQ(At(33, 32), clRed);
    EXPECT_EQ(At(30, 32), clYellow) << "transparent pixels show what lies under";
    o->InvertLine(Point(Org.X + 20, Org.Y + 32), Point(Org.X + 50, Org.Y + 32));
    EXPECT_EQ(At(33, 32), clRed) << "pictures lie over inverted shapes";
    EXPECT_EQ(At(25, 32), Inverse(clYellow));

    // What the window under shows changes while everything is hidden.
    o->HideAll();
    EXPECT_TRUE(o->Hidden());
    EXPECT_EQ(At(33, 32), clYellow);
    FForm->SetColor(clAqua);
    FForm->Repaint();
    GuiTest::ProcessEvents();
    o->ShowAll();
    EXPECT_EQ(At(33, 32), clRed);
    EXPECT_EQ(At(25, 32), Inverse(clAqua)) << "inverted against what shows now";

    o->MovePicture(id, Point(Org.X + 100, Org.Y + 50));
    EXPECT_EQ(At(33, 32), Inverse(clAqua));
    EXPECT_EQ(At(103, 52), clRed);
    o->HidePicture(id);
    EXPECT_EQ(At(103, 52), clAqua);
    EXPECT_EQ(o->PictureCount(), 0);
    std::unique_ptr<TBitmap> shot(o->Grab(Rect(Org.X, Org.Y, Org.X + 100, Org.Y + 60)));
    GuiTest::SavePng(shot.get(), ::testing::TempDir() + "overlay.png");
}

} // namespace
