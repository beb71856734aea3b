// Image lists, the clipboard, JPEG images and the common dialogs.
#include "Clipbrd.h"
#include "Dialogs.h"
#include "GuiTesting.h"
#include "ImgList.h"
#include "Jpeg.h"
#include "Streams.h"

#include <gtest/gtest.h>

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }
};

// A strip of two 4×4 glyphs on fuchsia: a blue square and a black one.
std::unique_ptr<TBitmap> Strip()
{
    auto b = std::make_unique<TBitmap>(9, 4);   // the odd ninth column is no whole image
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 9, 4));
    b->Canvas()->Brush()->SetColor(clBlue);
    b->Canvas()->FillRect(Rect(1, 1, 3, 3));
    b->Canvas()->Brush()->SetColor(clBlack);
    b->Canvas()->FillRect(Rect(5, 1, 7, 3));
    return b;
}

TEST_F(ResourcesTest, MaskedAddSlicesTheStripAndDrawsOnlyTheGlyph)
{
    TImageList il(4, 4);
    auto strip = Strip();
    EXPECT_EQ(il.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(il.Count(), 2);
    TBitmap dst(8, 4);
    dst.Canvas()->Brush()->SetColor(clGreen);
    dst.Canvas()->FillRect(Rect(0, 0, 8, 4));
    il.Draw(dst.Canvas(), 0, 0, 0);
    il.Draw(dst.Canvas(), 4, 0, 1);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clGreen);   // masked out
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(5, 1), clBlack);
    EXPECT_EQ(dst.Canvas()->Pixels(7, 3), clGreen);
    // A bad index draws nothing and raises nothing; editing one raises.
    il.Draw(dst.Canvas(), 0, 0, 5);
    EXPECT_THROW(il.Delete(5), EInvalidOperation);
}

TEST_F(ResourcesTest, DisabledDrawIsEmbossedInHighlightAndShadow)
{
    TImageList il(4, 4);
    auto strip = Strip();
    il.AddMasked(strip.get(), clDefault);   // the bottom-left pixel: fuchsia
    TBitmap dst(4, 4);
    dst.Canvas()->Brush()->SetColor(clGreen);
    dst.Canvas()->FillRect(Rect(0, 0, 4, 4));
    il.Draw(dst.Canvas(), 0, 0, 1, false);
    EXPECT_EQ(TColorRef(dst.Canvas()->Pixels(1, 1)), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(TColorRef(dst.Canvas()->Pixels(3, 3)), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clGreen);
}

TEST_F(ResourcesTest, ChangeLinksHearOfChangesOnceAfterAnUpdate)
{
    TImageList il(4, 4);
    int heard = 0;
    {
        TChangeLink link;
        link.OnChange = [&](TObject* s) {
            EXPECT_EQ(s, &il);
            ++heard;
        };
        il.RegisterChanges(&link);
        auto strip = Strip();
        il.BeginUpdate();
        il.AddMasked(strip.get(), clFuchsia);
        il.Delete(0);
        il.EndUpdate();
        EXPECT_EQ(heard, 1);
        il.SetSize(8, 8);   // empties the list
        EXPECT_EQ(il.Count(), 0);
        EXPECT_EQ(heard, 2);
    }
    il.Clear();   // the link is gone: nothing calls it
    EXPECT_EQ(heard, 2);
}

TEST_F(ResourcesTest, ClipboardKeepsTextAndTheProgramsOwnFormats)
{
    TClipboard* cb = Clipboard();
    cb->SetAsText("学员 A-01");
    EXPECT_TRUE(cb->HasFormat(CF_TEXT));
    EXPECT_EQ(cb->AsText(), "学员 A-01");
    TClipboardFormat mine = RegisterClipboardFormat("Report objects");
    EXPECT_EQ(RegisterClipboardFormat("Report objects"), mine);
    EXPECT_GE(mine, 0xC000u);
    // Several formats at once belong to one content.
    cb->Open();
    cb->Clear();
    cb->SetAsText("#FR3 clipboard#");
    cb->SetBuffer(mine, std::string("\x01\x00\x02", 3));
    cb->Close();
    EXPECT_TRUE(cb->HasFormat(mine));
    EXPECT_EQ(cb->GetBuffer(mine), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(cb->AsText(), "#FR3 clipboard#");
    cb->SetAsText("plain");
    EXPECT_FALSE(cb->HasFormat(mine));
    TBitmap b;
    EXPECT_THROW(b.Assign(cb), EConvertError);
}

TEST_F(ResourcesTest, ClipboardCarriesPictures)
{
    TBitmap b(3, 2);
    b.Canvas()->SetPixels(2, 1, clRed);
    Clipboard()->Assign(&b);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE()));
    TPicture p;
    p.Assign(Clipboard());
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(2, 1), clRed);
}

TEST_F(ResourcesTest, JpegRoundTripKeepsTheSizeAndRoughlyTheColours)
{
    TBitmap src(16, 8);
    src.Canvas()->Brush()->SetColor(clRed);
    src.Canvas()->FillRect(Rect(0, 0, 8, 8));
    src.Canvas()->Brush()->SetColor(clBlue);
    src.Canvas()->FillRect(Rect(8, 0, 16, 8));
    TJPEGImage j;
    j.Assign(&src);
    j.SetCompressionQuality(95);
    TMemoryStream m;
    j.SaveToStream(&m);
    m.SetPosition(0);
    std::string head = m.ReadString(2);
    EXPECT_EQ(uint8_t(head[0]), 0xFF);
    EXPECT_EQ(uint8_t(head[1]), 0xD8);
    m.SetPosition(0);
    TJPEGImage k;
    k.LoadFromStream(&m);
    EXPECT_EQ(k.Width(), 16);
    EXPECT_EQ(k.Height(), 8);
    TBitmap back;
    back.Assign(&k);
    TColorRef left = ColorToRGB(back.Canvas()->Pixels(2, 4)), right = ColorToRGB(back.Canvas()->Pixels(13, 4));
    EXPECT_GT(GetRValue(left), 200);
    EXPECT_LT(GetBValue(left), 60);
    EXPECT_GT(GetBValue(right), 200);
    EXPECT_LT(GetRValue(right), 60);
}

TEST_F(ResourcesTest, BadJpegDataRaisesAndKeepsThePicture)
{
    TBitmap src(64, 64);
    for (int i = 0; i < 8; ++i) {
        src.Canvas()->Brush()->SetColor(i % 2 ? clBlue : clYellow);
        src.Canvas()->FillRect(Rect(i * 8, i * 5, 64 - i * 3, 64 - i * 4));
    }
    TJPEGImage j;
    j.Assign(&src);
    TStringStream good;
    j.SaveToStream(&good);
    const std::string photo = good.DataString();
    // The same picture with its frame header claiming 60000 x 60000 pixels.
    std::string huge = photo;
    const size_t frame = huge.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    huge.replace(frame + 5, 4, "\xEA\x60\xEA\x60");
    // The halfway cut below falls inside the picture's rows, past every header.
    ASSERT_LT(photo.find("\xFF\xDA"), photo.size() / 2);

    struct Case { const char* what; std::string data; };
    const Case cases[] = {
        {"garbage after the start marker", std::string("\xFF\xD8\xFF\xE0garbage", 10)},
        {"no data", ""},
        {"a size too large to hold", huge},
        {"data ending before the picture does", photo.substr(0, photo.size() - 40)},
        {"data ending halfway through the rows", photo.substr(0, photo.size() / 2 + 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream bad;
        bad.WriteString(c.data);
        bad.SetPosition(0);
        EXPECT_THROW(j.LoadFromStream(&bad), EInvalidGraphic);
        EXPECT_EQ(j.Width(), 64);
        EXPECT_EQ(j.Height(), 64);
    }
}

TEST_F(ResourcesTest, JpegWithoutItsEndMarkerStillLoads)
{
    // Some devices write every row but leave off the closing marker.
    TBitmap src(40, 30);
    src.Canvas()->Brush()->SetColor(clRed);
    src.Canvas()->FillRect(Rect(0, 0, 20, 30));
    TJPEGImage j;
    j.Assign(&src);
    TStringStream good;
    j.SaveToStream(&good);
    std::string photo = good.DataString();
    ASSERT_EQ(photo.substr(photo.size() - 2), "\xFF\xD9");
    TMemoryStream cut;
    cut.WriteString(photo.substr(0, photo.size() - 2));
    cut.SetPosition(0);
    TJPEGImage back;
    back.LoadFromStream(&cut);
    EXPECT_EQ(back.Width(), 40);
    EXPECT_EQ(back.Height(), 30);
}

TEST_F(ResourcesTest, PicturesReadJpegFilesByExtension)
{
    TBitmap src(5, 3);
    TJPEGImage j;
    j.Assign(&src);
    std::string file = std::string(QZ_BINARY_DIR) + "/gui_test_photo.jpg";
    j.SaveToFile(file);
    TPicture p;
    p.LoadFromFile(file);
    ASSERT_NE(DynamicCast<TJPEGImage>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_NE(GraphicFilter(nullptr).find("*.jpg"), std::string::npos);
}

TEST_F(ResourcesTest, FileDialogsAskTheHostAndKeepTheAnswer)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TSaveDialog d;
    d.DefaultExt = "flt";
    d.Filter = "Filters (*.flt)|*.flt";
    d.Options = {ofOverwritePrompt, ofHideReadOnly, ofEnableSizing};
    host->QueueSaveFile({"/tmp/a.flt"});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/a.flt");
    auto calls = host->CallsOf(THostCallKind::SaveFile);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Request.DefaultExt, "flt");
    EXPECT_TRUE(calls[0].Request.Options.Contains(ofOverwritePrompt));
    host->QueueSaveFile({});
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/a.flt");   // cancel keeps the last answer
}

} // namespace
