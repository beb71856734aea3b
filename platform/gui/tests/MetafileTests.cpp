// Metafiles: recorded drawing replayed at other sizes, saved as EMF and WMF
// and read back, and broken bytes refused.
#include "Metafile.h"
#include "GuiTesting.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

class MetafileTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }

    // The drawing every test uses: fills, outlines, lines, text and a bitmap.
    static void DrawScene(TCanvas* c, int k)
    {
        c->Pen()->SetColor(clBlack);
        c->Pen()->SetWidth(k);
        c->Brush()->SetColor(clYellow);
        c->Rectangle(4 * k, 4 * k, 60 * k, 40 * k);
        c->Brush()->SetColor(clBlue);
        c->Ellipse(70 * k, 6 * k, 110 * k, 46 * k);
        c->Pen()->SetColor(clRed);
        c->MoveTo(4 * k, 56 * k);
        c->LineTo(116 * k, 56 * k);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetName("宋体");
        c->Font()->SetHeight(-14 * k);
        c->Font()->SetColor(clGreen);
        c->TextOut(8 * k, 62 * k, "学员ABC");
        TBitmap bmp(10, 10);
        bmp.Canvas()->Brush()->SetColor(clFuchsia);
        bmp.Canvas()->FillRect(Rect(0, 0, 10, 10));
        c->StretchDraw(Rect(100 * k, 64 * k, 116 * k, 76 * k), &bmp);
    }

    static std::unique_ptr<TBitmap> Canvas(int w, int h, const std::function<void(TCanvas*)>& draw)
    {
        auto b = std::make_unique<TBitmap>(w, h);
        b->Canvas()->Brush()->SetColor(clWhite);
        b->Canvas()->FillRect(Rect(0, 0, w, h));
        draw(b->Canvas());
        return b;
    }

    // The share of pixels (0..1) that differ clearly between two pictures of one size.
    static double Difference(TBitmap& a, TBitmap& b)
    {
        EXPECT_EQ(a.Width(), b.Width());
        EXPECT_EQ(a.Height(), b.Height());
        int differ = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) {
                TColorRef p = ColorToRGB(a.Canvas()->Pixels(x, y)), q = ColorToRGB(b.Canvas()->Pixels(x, y));
                int d = std::abs(int(GetRValue(p)) - GetRValue(q)) + std::abs(int(GetGValue(p)) - GetGValue(q)) +
                        std::abs(int(GetBValue(p)) - GetBValue(q));
                if (d > 120) ++differ;
            }
        return double(differ) / (a.Width() * a.Height());
    }

    static std::unique_ptr<TMetafile> Recorded()
    {
        auto mf = std::make_unique<TMetafile>();
        mf->SetWidth(120);
        mf->SetHeight(80);
        {
            TMetafileCanvas c(mf.get(), nullptr, "qz", "test");
            DrawScene(&c, 1);
        }
        return mf;
    }

    static std::string Bytes(TMetafile& mf, bool enhanced)
    {
        mf.SetEnhanced(enhanced);
        TStringStream s;
        mf.SaveToStream(&s);
        return s.DataString();
    }
};

TEST_F(MetafileTest, ReplaysAtTwoScalesLikeDirectDrawing)
{
    auto mfp = Recorded();
    TMetafile& mf = *mfp;
    EXPECT_EQ(mf.Width(), 120);
    EXPECT_EQ(mf.Height(), 80);
    EXPECT_GE(mf.OperationCount(), 5);

    auto direct1 = Canvas(120, 80, [](TCanvas* c) { DrawScene(c, 1); });
    auto replay1 = Canvas(120, 80, [&](TCanvas* c) { c->Draw(0, 0, &mf); });
    EXPECT_LT(Difference(*direct1, *replay1), 0.02);

    auto direct2 = Canvas(240, 160, [](TCanvas* c) { DrawScene(c, 2); });
    auto replay2 = Canvas(240, 160, [&](TCanvas* c) { c->StretchDraw(Rect(0, 0, 240, 160), &mf); });
    // Outlines one pixel wide stay one pixel wide, where direct drawing at
    // twice the size draws them two wide: a few per cent of the pixels.
    EXPECT_LT(Difference(*direct2, *replay2), 0.08);
    // Spot checks at the doubled size: the yellow box, the blue ellipse, the bitmap.
    EXPECT_EQ(replay2->Canvas()->Pixels(60, 40), clYellow);
    EXPECT_EQ(replay2->Canvas()->Pixels(180, 52), clBlue);
    EXPECT_EQ(replay2->Canvas()->Pixels(216, 140), clFuchsia);

    // Placed elsewhere on the canvas, the picture moves along.
    auto shifted = Canvas(200, 120, [&](TCanvas* c) { c->Draw(50, 30, &mf); });
    EXPECT_EQ(shifted->Canvas()->Pixels(50 + 30, 30 + 20), clYellow);
    EXPECT_EQ(shifted->Canvas()->Pixels(30, 20), clWhite);
}

TEST_F(MetafileTest, SavedAsEmfAndWmfDrawsTheSame)
{
    auto mfp = Recorded();
    TMetafile& mf = *mfp;
    auto original = Canvas(120, 80, [&](TCanvas* c) { c->Draw(0, 0, &mf); });
    for (bool enhanced : {true, false}) {
        SCOPED_TRACE(enhanced ? "EMF" : "WMF");
        std::string bytes = Bytes(mf, enhanced);
        ASSERT_TRUE(IsMetafileData(bytes));
        if (enhanced) EXPECT_EQ(bytes.substr(40, 4), " EMF");
        else EXPECT_EQ(bytes.substr(0, 4), std::string("\xD7\xCD\xC6\x9A", 4));
        TMetafile back;
        TStringStream s(bytes);
        back.LoadFromStream(&s);
        EXPECT_EQ(back.Enhanced(), enhanced);
        EXPECT_NEAR(back.Width(), 120, 1);
        EXPECT_NEAR(back.Height(), 80, 1);
        auto again = Canvas(120, 80, [&](TCanvas* c) { c->StretchDraw(Rect(0, 0, 120, 80), &back); });
        // Curves come back as polygons and text through the font again.
        EXPECT_LT(Difference(*original, *again), 0.10);
        EXPECT_EQ(again->Canvas()->Pixels(30, 20), clYellow);
        EXPECT_EQ(again->Canvas()->Pixels(90, 26), clBlue);
        EXPECT_EQ(again->Canvas()->Pixels(108, 70), clFuchsia);
        // A picture read from bytes saves those bytes unchanged.
        TStringStream out;
        back.SaveToStream(&out);
        EXPECT_EQ(out.DataString(), bytes);
    }
}

TEST_F(MetafileTest, ThePictureClassesReadMetafilesByExtension)
{
    auto mfp = Recorded();
    TMetafile& mf = *mfp;
    std::string dir = ::testing::TempDir();
    mf.SetEnhanced(true);
    mf.SaveToFile(dir + "qz-pic.emf");
    mf.SetEnhanced(false);
    mf.SaveToFile(dir + "qz-pic.wmf");
    for (const char* ext : {"emf", "wmf"}) {
        TPicture pic;
        pic.LoadFromFile(dir + "qz-pic." + ext);
        ASSERT_NE(DynamicCast<TMetafile>(pic.Graphic()), nullptr) << ext;
        EXPECT_NEAR(pic.Width(), 120, 1);
    }
    EXPECT_NE(GraphicFilter(TMetafile::StaticClass()).find("*.emf"), std::string::npos);
    // A bitmap assigned to a metafile becomes a recording of it.
    TBitmap b(8, 6);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 8, 6));
    TMetafile fromBitmap;
    fromBitmap.Assign(&b);
    EXPECT_EQ(fromBitmap.Width(), 8);
    auto shown = Canvas(8, 6, [&](TCanvas* c) { c->Draw(0, 0, &fromBitmap); });
    EXPECT_EQ(shown->Canvas()->Pixels(4, 3), clRed);
}

TEST_F(MetafileTest, BrokenBytesAreRefused)
{
    auto mfp = Recorded();
    TMetafile& mf = *mfp;
    std::string emf = Bytes(mf, true), wmf = Bytes(mf, false);
    std::vector<std::string> bad = {
        "",
        "not a metafile at all",
        emf.substr(0, 60),                       // cut inside the header
        wmf.substr(0, 30),                       // cut inside the header
    };
    // A record claiming more bytes than there are.
    std::string longRecord = emf;
    longRecord[emf.size() - 20 + 4] = char(0x7F);
    bad.push_back(longRecord);
    std::string wmfLong = wmf;
    wmfLong[22 + 18] = char(0xFF);
    wmfLong[22 + 19] = char(0xFF);
    wmfLong[22 + 20] = char(0xFF);
    bad.push_back(wmfLong);
    // A frame whose corners lie as far apart as the numbers go.
    std::string wideFrame = emf;
    wideFrame.replace(24, 4, std::string("\x00\x00\x00\x80", 4));
    wideFrame.replace(32, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    bad.push_back(wideFrame);
    for (size_t i = 0; i < bad.size(); ++i) {
        TMetafile m;
        TStringStream s(bad[i]);
        EXPECT_THROW(m.LoadFromStream(&s), EInvalidGraphic) << "case " << i;
        EXPECT_TRUE(m.Empty());
    }
    // Cut anywhere inside the records, the file still reads (what is there is drawn) or is refused.
    for (size_t cut = 100; cut < emf.size(); cut += 97) {
        TMetafile m;
        TStringStream s(emf.substr(0, cut));
        try {
            m.LoadFromStream(&s);
        } catch (EInvalidGraphic&) {
        }
    }
}

TEST_F(MetafileTest, MutatedFilesLoadOrAreRefused)
{
    auto mfp = Recorded();
    std::string files[] = {Bytes(*mfp, true), Bytes(*mfp, false)};
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (const std::string& f : files)
        for (int i = 0; i < 150; ++i) {
            std::string b = f;
            // A few bytes changed past the signature, sometimes the end cut off.
            for (int k = 0; k < 4; ++k) b[44 + next() % (b.size() - 44)] = char(next() >> 16);
            if (i % 3 == 0) b.resize(44 + next() % (b.size() - 44));
            TMetafile m;
            TStringStream s(b);
            try {
                m.LoadFromStream(&s);
            } catch (EInvalidGraphic&) {
                continue;
            }
            TBitmap out(16, 16);
            out.Canvas()->StretchDraw(Rect(0, 0, 16, 16), &m);
        }
}

// A picture whose clip and shapes reach the ends of the 32-bit range (one
// the EMF fuzzer made) saves in both formats without overflowing and loads again.
TEST_F(MetafileTest, ShapesAndClipsAtTheLimitsSaveAgain)
{
    TMetafile mf;
    mf.LoadFromFile(std::string(QZ_TEST_DATA_DIR) + "/emf-clip-at-the-limit.emf");
    for (bool enhanced : {true, false}) {
        SCOPED_TRACE(enhanced ? "EMF" : "WMF");
        mf.SetEnhanced(enhanced);
        TStringStream out;
        mf.SaveToStream(&out);
        TMetafile again;
        TStringStream back(out.DataString());
        again.LoadFromStream(&back);
        EXPECT_NEAR(again.Width(), mf.Width(), 1);
        EXPECT_NEAR(again.Height(), mf.Height(), 1);
    }
}

// Pictures another program wrote (tests/data/other-program.svg converted to
// EMF and WMF by make-other-program-metafiles.sh): a red box outlined in
// black, a blue ellipse and green text. That program crops the picture to
// what is drawn, which is close to the drawing's 200 x 100.
TEST_F(MetafileTest, FilesAnotherProgramWroteDrawWhereTheyShould)
{
    for (const char* ext : {"emf", "wmf"}) {
        SCOPED_TRACE(ext);
        TMetafile mf;
        mf.LoadFromFile(std::string(QZ_TEST_DATA_DIR) + "/other-program." + ext);
        EXPECT_EQ(mf.Enhanced(), std::string(ext) == "emf");
        ASSERT_GT(mf.Width(), 0);
        EXPECT_NEAR(double(mf.Height()) / mf.Width(), 0.46, 0.03);
        for (int scale : {1, 2}) {
            SCOPED_TRACE(scale);
            const int w = 200 * scale, h = 100 * scale;
            auto shot = Canvas(w, h, [&](TCanvas* c) { c->StretchDraw(Rect(0, 0, w, h), &mf); });
            GuiTest::SavePng(shot.get(), std::string("other-program-") + ext + "-" + std::to_string(scale) + ".png");
            auto at = [&](int x, int y) { return ColorToRGB(shot->Canvas()->Pixels(x * scale, y * scale)); };
            EXPECT_EQ(at(45, 35), clRed);
            EXPECT_EQ(at(150, 50), clBlue);
            EXPECT_EQ(at(100, 10), clWhite);   // between the box and the ellipse
            EXPECT_EQ(at(195, 5), clWhite);
            EXPECT_EQ(at(100, 95), clWhite);   // right of the text, under the ellipse
            // The box's outline: dark pixels at its left edge, none left of it in the text's rows.
            int dark = 0;
            for (int x = 0; x < 10 * scale; ++x) {
                TColorRef c = ColorToRGB(shot->Canvas()->Pixels(x, 35 * scale));
                dark += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
            }
            EXPECT_GE(dark, scale);
            // The text in green under the box.
            int green = 0;
            for (int y = 75 * scale; y < h; ++y)
                for (int x = 0; x < 90 * scale; ++x) {
                    TColorRef c = ColorToRGB(shot->Canvas()->Pixels(x, y));
                    green += GetGValue(c) > 90 && GetRValue(c) < 90 && GetBValue(c) < 90;
                }
            EXPECT_GT(green, 40 * scale * scale);
        }
    }
}

} // namespace
