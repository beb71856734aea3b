// Views drawn on a canvas: frames, lines, shapes, pictures, expressions in
// their tag and link texts.
#include "EngineFixture.h"

#include "Graphics.h"
#include "ImgList.h"
#include "RecordingCanvas.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxUtils.h"
#include "fs_iinterpreter.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

TColorRef PixelOf(TCanvas* c, int x, int y) { return ColorToRGB(c->Pixels(x, y)) & 0xFFFFFF; }

std::string BitmapBytes(int w, int h, TColor color)
{
    TBitmap bmp(w, h);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(Rect(0, 0, w, h));
    TMemoryStream ms;
    bmp.SaveToStream(&ms);
    return std::string(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
}

}  // namespace

TEST(Views, FrameLinesFollowTheirSides)
{
    struct Case {
        TfrxFrameTypes Typ;
        TColor Color;
        double Width;
        int Lines;   // LineTo operations drawn
    } cases[] = {{{}, 0, 1, 0},
                 {{ftLeft, ftRight, ftTop, ftBottom}, clNone, 1, 0},
                 {{ftLeft, ftRight, ftTop, ftBottom}, 0, 0, 0},
                 {{ftTop}, 0, 1, 1},
                 {{ftLeft, ftBottom}, 0, 3, 6}};
    for (const Case& c : cases) {
        TfrxMemoView v(nullptr);
        v.SetBounds(10, 10, 50, 20);
        v.Frame()->Typ = c.Typ;
        v.Frame()->Color = c.Color;
        v.Frame()->Width = c.Width;
        TRecordingCanvas canvas(100, 100);
        v.TfrxView::Draw(&canvas, 1, 1, 0, 0);
        EXPECT_EQ(canvas.CountOf("LineTo"), c.Lines) << int(c.Typ.ToInt()) << " " << c.Width;
    }
    // A one-pixel bottom side reaches one pixel further right than the top.
    TfrxMemoView v(nullptr);
    v.SetBounds(10, 10, 50, 20);
    v.Frame()->Typ = TfrxFrameTypes{ftTop, ftBottom};
    TBitmap bmp(100, 100);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 100, 100));
    v.TfrxView::Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 59, 10), 0u);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 60, 10), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 60, 30), 0u);
}

TEST(Views, LinesNormaliseAndShapesDraw)
{
    TfrxLineView line(nullptr);
    line.SetBounds(10, 10, 5, 80);
    TRecordingCanvas canvas(200, 200);
    line.Draw(&canvas, 1, 1, 0, 0);
    EXPECT_EQ(line.Width(), 0);
    EXPECT_TRUE(line.Frame()->Typ.Contains(ftLeft));

    TfrxShapeView shape(nullptr);
    shape.SetBounds(10, 10, 40, 40);
    shape.Shape = skEllipse;
    shape.Color = clRed;
    TBitmap bmp(100, 100);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 100, 100));
    shape.Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 30, 30), 0x0000FFu);   // red inside
    EXPECT_EQ(PixelOf(bmp.Canvas(), 11, 11), 0xFFFFFFu);   // the corner outside the ellipse
}

TEST(Views, PicturesKeepTheirAspectAndCentre)
{
    TfrxPictureView pic(nullptr);
    pic.SetBounds(0, 0, 200, 200);
    pic.Color = clNone;
    pic.Center = true;
    pic.Picture()->SetData(BitmapBytes(100, 50, clBlue));
    TBitmap bmp(220, 220);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 220, 220));
    pic.Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 100, 100), 0xFF0000u);   // blue in the middle
    EXPECT_EQ(PixelOf(bmp.Canvas(), 100, 45), 0xFFFFFFu);    // above the 200 x 100 picture
    EXPECT_EQ(PixelOf(bmp.Canvas(), 100, 55), 0xFF0000u);
    EXPECT_EQ(PixelOf(bmp.Canvas(), 100, 155), 0xFFFFFFu);
}

TEST(Views, PictureFromABlobAndTagExpressions)
{
    TReportFixture f;
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 40);
    TfrxMemoView* m = f.AddMemo(title, "Memo1", 0, 0, 100, 18, "x");
    m->TagStr = "id=[1+1]";
    m->URL = "@[1+2]";
    m->OnAfterData = "Check";
    f.Report->ScriptText()->SetStrings({"var tag: String;", "procedure Check(Sender: TfrxComponent);",
                                         "begin tag := TfrxMemoView(Sender).TagStr; end;", "begin end."});
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(VarToStr(f.Report->Script()->FindLocal("tag")->GetValue()), "id=2");
    auto* after = DynamicCast<TfrxMemoView>(f.Report->FindObject("Memo1"));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->TagStr, "id=[1+1]");
    EXPECT_EQ(after->URL, "@[1+2]");
}

TEST(Views, SlicedImagesAndTransparentBitmaps)
{
    TBitmap strip(48, 16);
    strip.Canvas()->Brush()->SetColor(clWhite);
    strip.Canvas()->FillRect(Rect(0, 0, 48, 16));
    TImageList list(nullptr), disabled(nullptr);
    list.SetWidth(16);
    list.SetHeight(16);
    disabled.SetWidth(16);
    disabled.SetHeight(16);
    frxUtils::SliceBitmapToImageList(&strip, 16, 16, nullptr, &list);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    frxUtils::SliceBitmapToImageList(&strip, 16, 16, &disabled, &list);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(disabled.Count(), 1);
}
