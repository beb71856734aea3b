// Image export: one picture per page, read back with the platform's image
// readers at the page's size or cut to its objects.
#include "ExportTestSupport.h"
#include "GuiTesting.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "frxExportImage.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace exporttest;

namespace {
void ThreePages(TExportReport& r)
{
    for (int i = 0; i < 3; ++i) {
        TfrxMemoView* m = r.AddMemo(r.AddPage(), 10, 20, 200, 30, "第" + std::to_string(i + 1) + "页");
        m->Color = clNavy;
        m->Font()->SetColor(clWhite);
    }
}
}  // namespace

TEST(ImageExport, JpegPagesAtThePageSize)
{
    TScratch dir("jpeg");
    TExportReport r;
    ThreePages(r);
    TfrxJPEGExport jpeg;
    jpeg.ShowDialog = false;
    jpeg.CropImages = false;
    jpeg.FileName = dir.Dir + "out.jpg";
    ASSERT_TRUE(r.Report->Export(&jpeg));
    for (int i = 1; i <= 3; ++i) {
        const std::string name = dir.Dir + "out." + std::to_string(i) + ".jpg";
        ASSERT_TRUE(std::filesystem::exists(name)) << name;
        TJPEGImage img;
        img.LoadFromFile(name);
        EXPECT_EQ(img.Width(), 794);
        EXPECT_EQ(img.Height(), 1123);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Dir + "out.4.jpg"));
    GuiTest::KeepFile(dir.Dir + "out.1.jpg");
    // Quality is kept within 1..100.
    jpeg.SetJPEGQuality(300);
    EXPECT_EQ(jpeg.JPEGQuality(), 100);
    jpeg.SetJPEGQuality(-5);
    EXPECT_EQ(jpeg.JPEGQuality(), 1);
}

TEST(ImageExport, CroppedMonochromeBitmaps)
{
    TScratch dir("bmp");
    TExportReport r;
    ThreePages(r);
    TfrxBMPExport bmp;
    bmp.ShowDialog = false;
    bmp.Monochrome = true;
    bmp.FileName = dir.Dir + "out.bmp";
    ASSERT_TRUE(r.Report->Export(&bmp));
    TBitmap img;
    img.LoadFromFile(dir.Dir + "out.2.bmp");
    // The printable-area background (A4 less 10 mm margins) is the widest
    // object: 190 x 277 mm, plus one pixel.
    EXPECT_EQ(img.Width(), 719);
    EXPECT_EQ(img.Height(), 1048);
    bool onlyBlackAndWhite = true, anyBlack = false;
    for (int y = 0; y < img.Height(); y += 3)
        for (int x = 0; x < img.Width(); x += 3) {
            const TColor c = img.Canvas()->Pixels(x, y) & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF) onlyBlackAndWhite = false;
            if (c == 0) anyBlack = true;
        }
    EXPECT_TRUE(onlyBlackAndWhite);
    EXPECT_TRUE(anyBlack);
}
