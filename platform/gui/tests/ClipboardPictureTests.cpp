// The clipboard's pictures: a graphic comes back as its own class, a
// metafile is offered as EMF to other programs, and broken picture blocks
// are refused without touching the picture.
#include "Clipbrd.h"
#include "GuiTesting.h"
#include "Jpeg.h"
#include "Metafile.h"

#include <gtest/gtest.h>

namespace {

class ClipboardPictureTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }
};

TEST_F(ClipboardPictureTest, GraphicsComeBackAsTheirOwnClass)
{
    TMetafile mf;
    mf.SetWidth(40);
    mf.SetHeight(20);
    {
        TMetafileCanvas c(&mf);
        c.Brush()->SetColor(clRed);
        c.FillRect(Rect(0, 0, 40, 20));
    }
    TPicture src;
    src.SetGraphic(&mf);
    Clipboard()->Assign(&src);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE()));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));   // for other programs

    TPicture back;
    back.Assign(Clipboard());
    auto* got = DynamicCast<TMetafile>(back.Graphic());
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->Width(), 40);
    TBitmap shown(40, 20);
    shown.Canvas()->Draw(0, 0, got);
    EXPECT_EQ(shown.Canvas()->Pixels(20, 10), clRed);

    // A metafile asked for directly, and a bitmap from the same content.
    TMetafile direct;
    direct.Assign(Clipboard());
    EXPECT_EQ(direct.Width(), 40);
    TBitmap bmp;
    bmp.Assign(Clipboard());
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), clRed);

    // A bitmap put on the clipboard can be taken as a metafile too.
    TBitmap blue(6, 4);
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(Rect(0, 0, 6, 4));
    Clipboard()->Assign(&blue);
    TMetafile fromBitmap;
    fromBitmap.Assign(Clipboard());
    EXPECT_EQ(fromBitmap.Width(), 6);
}

TEST_F(ClipboardPictureTest, BrokenPictureBlocksLeaveThePictureAlone)
{
    TBitmap b(3, 3);
    std::string good = PictureClipboardBlock(&b);
    TPicture p;
    ReadPictureClipboardBlock(good, &p);
    ASSERT_NE(DynamicCast<TBitmap>(p.Graphic()), nullptr);

    std::string wrongLength = good;
    wrongLength[1 + 7] = char(wrongLength[1 + 7] + 1);
    std::string notAGraphic = good;
    notAGraphic.replace(1, 7, "TStrngs");
    const std::string cases[] = {"", std::string(1, '\x20'), good.substr(0, good.size() - 1), wrongLength,
                                 notAGraphic, std::string("\x09TMetafile\x03\0\0\0abc", 17)};
    for (const std::string& c : cases) {
        EXPECT_THROW(ReadPictureClipboardBlock(c, &p), EInvalidGraphic);
        EXPECT_NE(DynamicCast<TBitmap>(p.Graphic()), nullptr);
        EXPECT_EQ(p.Width(), 3);
    }
}

} // namespace
