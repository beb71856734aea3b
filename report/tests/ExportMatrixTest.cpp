// The export matrix: boundaries and their merging, cells of objects, pages
// stacked, covered objects cut into visible pieces, styles kept once.
#include "Graphics.h"
#include "StringLists.h"
#include "frxExportMatrix.h"

#include <gtest/gtest.h>

namespace {

struct TViews {
    std::vector<std::unique_ptr<TfrxView>> Items;
    TfrxMemoView* Memo(double l, double t, double w, double h, const std::string& text, TColor color = clNone)
    {
        auto m = std::make_unique<TfrxMemoView>(nullptr);
        m->SetBounds(l, t, w, h);
        m->SetText(text);
        m->Color = color;
        Items.push_back(std::move(m));
        return static_cast<TfrxMemoView*>(Items.back().get());
    }
    template <class V> V* Add(double l, double t, double w, double h)
    {
        auto v = std::make_unique<V>(nullptr);
        v->SetBounds(l, t, w, h);
        Items.push_back(std::move(v));
        return static_cast<V*>(Items.back().get());
    }
};

// Objects whose cells hold them, by text.
std::vector<std::string> VisibleTexts(const TfrxIEMatrix& m)
{
    std::vector<std::string> r;
    std::vector<TfrxIEMObject*> seen;
    for (int row = 0; row < m.RowCount(); ++row)
        for (int col = 0; col < m.ColCount(); ++col) {
            TfrxIEMObject* o = m.GetObject(col, row);
            if (o && std::find(seen.begin(), seen.end(), o) == seen.end()) {
                seen.push_back(o);
                r.push_back(o->Memo->Text());
            }
        }
    return r;
}

}  // namespace

TEST(ExportMatrix, BoundariesMergeWithinToleranceKeepingTheLater)
{
    TViews v;
    TfrxIEMatrix m;
    m.Tolerance = 0.5;
    m.AddObject(v.Memo(10, 10, 50, 20, "a"));
    m.AddObject(v.Memo(10.3, 30, 49.9, 20, "b"));   // left 10.3 within 0.5 of 10
    m.Prepare();
    ASSERT_EQ(m.ColCount(), 2);   // 10.3 and 60.2 (60 merged away)
    EXPECT_DOUBLE_EQ(m.GetXPos(0), 10.3);
    EXPECT_DOUBLE_EQ(m.GetXPos(1), 60.2);
    EXPECT_EQ(m.RowCount(), 3);
    int c, r, cs, rs;
    m.GetObjectPos(0, c, r, cs, rs);
    EXPECT_EQ(std::make_tuple(c, r, cs, rs), std::make_tuple(0, 0, 1, 1));
    EXPECT_EQ(m.Cell(0, 1), 1);
    EXPECT_EQ(m.Cell(5, 5), -1);
    EXPECT_EQ(m.GetObject(-1, 0), nullptr);
}

TEST(ExportMatrix, PagesStackAndTallGapsAreCut)
{
    TViews v;
    TfrxIEMatrix m;
    m.MaxCellHeight = 535.79;
    m.AddObject(v.Memo(0, 0, 100, 1200, "tall"));
    m.AddPage(0, 794, 1123, 10, 10, 10, 10);
    m.AddObject(v.Memo(0, 0, 100, 20, "next"));
    m.AddPage(1, 1123, 794, 5, 6, 7, 8);
    m.Prepare();
    EXPECT_DOUBLE_EQ(m.GetPageBreak(0), 1200);
    EXPECT_DOUBLE_EQ(m.GetPageBreak(1), 1220);
    EXPECT_EQ(m.GetPageOrientation(1), 1);
    EXPECT_DOUBLE_EQ(m.GetPageBottomMargin(1), 8);
    EXPECT_DOUBLE_EQ(m.GetPageWidth(2), 0);
    // 0, 535.79, 1071.58, 1200, 1220
    ASSERT_EQ(m.RowCount(), 5);
    EXPECT_NEAR(m.GetYPos(1), 535.79, 1e-9);
    EXPECT_NEAR(m.GetYPos(2), 1071.58, 1e-9);
    EXPECT_DOUBLE_EQ(m.GetObjectById(1)->Top, 1200);
}

TEST(ExportMatrix, CoveredObjectsAreCutIntoVisiblePieces)
{
    TViews v;
    TfrxIEMatrix m;
    // Fully covered: never visible.
    m.AddObject(v.Memo(0, 0, 100, 100, "hidden"));
    m.AddObject(v.Memo(0, 0, 100, 100, "top"));
    // Partly covered on its right half: the text goes into the left piece.
    m.AddObject(v.Memo(0, 200, 300, 30, "left part"));
    m.AddObject(v.Memo(150, 200, 150, 30, "cover"));
    m.Prepare();
    EXPECT_EQ(VisibleTexts(m), (std::vector<std::string>{"top\r\n", "left part\r\n", "cover\r\n"}));
    // A piece starting in the lower third of its object gets no text.
    TfrxIEMatrix n;
    n.AddObject(v.Memo(0, 0, 100, 90, "lower"));
    n.AddObject(v.Memo(0, 0, 100, 70, "over"));
    n.Prepare();
    EXPECT_EQ(VisibleTexts(n), (std::vector<std::string>{"over\r\n", ""}));
}

TEST(ExportMatrix, TransparentTextTakesTheColourBeneath)
{
    TViews v;
    TfrxIEMatrix m;
    m.AddObject(v.Memo(0, 0, 200, 100, "", clYellow));
    TfrxMemoView* t = v.Memo(10, 10, 50, 20, "on yellow");
    m.AddObject(t);
    TfrxMemoView* same = v.Memo(100, 10, 50, 20, "yellow text");
    same->Font()->SetColor(clYellow);
    m.AddObject(same);
    m.Prepare();
    EXPECT_EQ(m.GetObject(1, 1)->Style->Color, clYellow);
    EXPECT_EQ(m.GetObject(3, 1)->Style->Color, clNone);
    // Equal styles are kept once.
    m.AddStyle(std::make_unique<TfrxIEMStyle>());
    const int n = m.StylesCount();
    auto copy = std::make_unique<TfrxIEMStyle>();
    copy->Assign(*m.GetStyleById(n - 1));
    copy->Font->SetCharset(134);   // the character set does not count
    EXPECT_EQ(m.AddStyle(std::move(copy)), n - 1);
}

TEST(ExportMatrix, RectanglesAndLines)
{
    TViews v;
    TfrxIEMatrix m;
    m.Tolerance = 0.5;
    m.AddObject(v.Add<TfrxShapeView>(0, 0, 100, 50));   // unfilled: four edges
    auto* filled = v.Add<TfrxShapeView>(0, 100, 100, 50);
    filled->Color = clRed;
    m.AddObject(filled);
    m.AddObject(v.Add<TfrxLineView>(0, 200, 100, 0));
    ASSERT_EQ(m.ObjectsCount(), 6);
    EXPECT_TRUE(m.GetObjectById(0)->Style->FrameTyp.Contains(ftTop));
    EXPECT_TRUE(m.GetObjectById(1)->Style->FrameTyp.Contains(ftLeft));
    EXPECT_DOUBLE_EQ(m.GetObjectById(0)->Height, 1);
    EXPECT_EQ(m.GetObjectById(4)->Style->Color, clRed);
    EXPECT_EQ(m.GetObjectById(4)->Style->FrameTyp.ToInt(), 15u);
    TfrxIEMatrix wide;
    wide.Tolerance = 10;
    wide.AddObject(v.Add<TfrxLineView>(0, 200, 100, 0));
    EXPECT_DOUBLE_EQ(wide.GetObjectById(0)->Height, 10);
    // A picture is drawn into a bitmap one pixel larger on each side.
    TfrxIEMatrix pic;
    pic.AddObject(v.Add<TfrxPictureView>(10, 10, 40, 20));
    ASSERT_TRUE(pic.GetObjectById(0)->Image);
    EXPECT_FALSE(pic.GetObjectById(0)->IsText);
    EXPECT_EQ(pic.GetObjectById(0)->Image->Width(), 42);
}
