// The special row of lookup lists, field lists and the size grip of drop-down windows.
#include "ToolCtrlsEhSpecRow.h"
#include "DBGridTesting.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

TEST(SpecRow, CellsTextSplitsAtSemicolonsOutsideQuotes)
{
    struct {
        const char* Text;
        std::vector<std::string> Cells;
    } cases[] = {
        {"a;\"b;c\";d", {"a", "b;c", "d"}},
        {"", {}},
        {" a ; b", {" a ", " b"}},                // blanks belong to the cells
        {"\r\n(无);全部\t", {"(无)", "全部"}},       // control characters between cells go
        {"\"say \"\"hi\"\"\";x", {"say \"hi\"", "x"}},
        {"a;;b", {"a", "", "b"}},
        {"\"open", {"open"}},                      // an unclosed quote runs to the end
        {"a;", {"a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ToolCtrlsEh::SplitCellsText(c.Text), c.Cells) << c.Text;
    TSpecRowEh row;
    row.SetCellsText("(无);\"x;y\"");
    EXPECT_EQ(row.CellText(0), "(无)");
    EXPECT_EQ(row.CellText(1), "x;y");
    EXPECT_EQ(row.CellText(2), "");
    EXPECT_EQ(row.CellText(-1), "");
}

TEST(SpecRow, ColourAndFontFollowTheOwnerUntilSet)
{
    GuiTest::Init();
    TForm form(nullptr);
    auto* owner = new TPanel(&form);
    owner->SetParent(&form);
    owner->SetColor(clYellow);
    owner->Font()->SetSize(9);
    TSpecRowEh row(owner);
    EXPECT_EQ(row.Color(), clYellow);
    owner->SetColor(clAqua);
    owner->Font()->SetSize(14);
    EXPECT_EQ(row.Color(), clAqua);
    EXPECT_EQ(row.Font()->Size(), 14);
    EXPECT_FALSE(row.HasOwnFont()) << "following the owner is not a font of its own";
    int changes = 0;
    row.OnSpecRowChanged = [&](TSpecRowEh*) { ++changes; };
    row.SetColor(clRed);
    row.Font()->SetSize(20);
    owner->SetColor(clLime);
    owner->Font()->SetSize(8);
    EXPECT_EQ(row.Color(), clRed);
    EXPECT_EQ(row.Font()->Size(), 20);
    EXPECT_TRUE(row.HasOwnColor());
    EXPECT_TRUE(row.HasOwnFont());
    EXPECT_EQ(changes, 2);
}

TEST(SpecRow, ChangesAreAnnouncedOnceOutsideAnUpdate)
{
    TSpecRowEh row;
    int changes = 0;
    row.OnSpecRowChanged = [&](TSpecRowEh* r) {
        EXPECT_EQ(r, &row);
        ++changes;
    };
    EXPECT_EQ(row.ShortCut(), 32814);
    EXPECT_TRUE(row.ShowIfNotInKeyList());
    EXPECT_TRUE(VarIsNull(row.Value()));
    row.SetVisible(true);
    row.SetVisible(true);   // unchanged: no announcement
    row.SetValue(Variant(0));
    row.SetShortCut(0);     // stored silently
    EXPECT_EQ(changes, 2);
    TSpecRowEh source;
    source.SetCellsText("(空)");
    source.SetValue(Variant(7));
    source.SetShowIfNotInKeyList(false);
    source.Font()->SetSize(17);
    changes = 0;
    row.Assign(&source);
    EXPECT_EQ(changes, 1) << "one announcement for the whole assignment";
    EXPECT_EQ(row.CellText(0), "(空)");
    EXPECT_TRUE(VarSameValue(row.Value(), Variant(7)));
    EXPECT_FALSE(row.ShowIfNotInKeyList());
    EXPECT_FALSE(row.Visible());
    EXPECT_EQ(row.Font()->Size(), 17);
    EXPECT_TRUE(row.HasOwnColor()) << "the source's colour becomes the row's own";
}

TEST(FieldLists, NamesBecomeFieldsOrRaise)
{
    auto ds = DBGridTest::FiveStudents();
    std::vector<TField*> f = ParseFieldArray(ds.get(), nullptr, " Id ; Name;Fee ");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0]->FieldName(), "Id");
    EXPECT_EQ(f[2]->FieldName(), "Fee");
    EXPECT_TRUE(ParseFieldArray(ds.get(), nullptr, "").empty());
    TComponent owner(nullptr);
    owner.SetName("LookupGrid1");
    try {
        ParseFieldArray(ds.get(), &owner, "Id;Nope;Name");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("Field 'Nope' not found"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("LookupGrid1"), std::string::npos) << e.Message();
    }
    ParseFieldList(nullptr, ds.get(), nullptr, "Id");   // only checks
}

TEST(FieldLists, AssignFieldValuesSetsOrClearsThemTogether)
{
    auto ds = DBGridTest::FiveStudents();
    ds->Edit();
    AssignFieldValues(ds.get(), "Id;Name", VarArrayOf({Variant(9), Variant("新")}));
    EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 9);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "新");
    AssignFieldValues(ds.get(), "Id;Name", Null());
    EXPECT_TRUE(ds->FieldByName("Id")->IsNull());
    EXPECT_TRUE(ds->FieldByName("Name")->IsNull());
    AssignFieldValues(ds.get(), "Fee", Variant(3.5));
    EXPECT_DOUBLE_EQ(ds->FieldByName("Fee")->AsFloat(), 3.5);
    ds->Cancel();
}

TEST(SizeGrip, CornersFlipAndCursorsFollow)
{
    struct {
        TGripCornerEh From;
        TGripFlipEh Flip;
        TGripCornerEh To;
    } cases[] = {
        {gcTopRightEh, gfToLeftEh, gcTopLeftEh},     {gcBottomRightEh, gfToLeftEh, gcBottomLeftEh},
        {gcBottomLeftEh, gfToLeftEh, gcBottomLeftEh}, {gcTopLeftEh, gfToRightEh, gcTopRightEh},
        {gcBottomLeftEh, gfToRightEh, gcBottomRightEh}, {gcBottomRightEh, gfToTopEh, gcTopRightEh},
        {gcBottomLeftEh, gfToTopEh, gcTopLeftEh},   {gcTopLeftEh, gfToTopEh, gcTopLeftEh},
        {gcTopRightEh, gfToBottomEh, gcBottomRightEh}, {gcTopLeftEh, gfToBottomEh, gcBottomLeftEh},
    };
    for (const auto& c : cases) {
        TSizeGripEh g(nullptr);
        g.SetCorner(c.From);
        g.FlipCorner(c.Flip);
        EXPECT_EQ(g.Corner(), c.To);
        const bool nwse = c.To == gcTopLeftEh || c.To == gcBottomRightEh;
        EXPECT_EQ(g.CornerCursor(), nwse ? crSizeNWSE : crSizeNESW);
    }
}

TEST(SizeGrip, TheTriangleIsTheHitArea)
{
    TSizeGripEh g(nullptr);
    g.SetBounds(0, 0, 16, 16);
    struct {
        TGripCornerEh Corner;
        TPoint In, Out;
    } cases[] = {
        {gcBottomRightEh, {14, 14}, {1, 1}},
        {gcTopLeftEh, {1, 1}, {14, 14}},
        {gcBottomLeftEh, {1, 14}, {14, 1}},
        {gcTopRightEh, {14, 1}, {1, 14}},
    };
    for (const auto& c : cases) {
        g.SetCorner(c.Corner);
        EXPECT_TRUE(g.HitShape(c.In.X, c.In.Y)) << int(c.Corner);
        EXPECT_FALSE(g.HitShape(c.Out.X, c.Out.Y)) << int(c.Corner);
        EXPECT_EQ(g.ShapePoints().size(), 3u);
    }
    g.SetTriangularShape(false);
    EXPECT_TRUE(g.HitShape(1, 14));
    EXPECT_TRUE(g.HitShape(14, 1));
    EXPECT_FALSE(g.HitShape(16, 1));
}

TEST(SizeGrip, DraggingStaysInTheWorkArea)
{
    const TRect work{0, 0, 1000, 700};
    // A window at (100, 100), 200 x 150 with a client area of 196 x 146.
    const TRect start{100, 100, 300, 250};
    struct {
        TGripCornerEh Corner;
        TPoint Travel;
        TRect Bounds;
        int ClientW, ClientH;
    } cases[] = {
        {gcBottomRightEh, {50, 30}, {100, 100, 350, 280}, 246, 176},
        {gcBottomRightEh, {50, 900}, {100, 100, 350, 700}, 246, 596},   // stops at the bottom
        {gcBottomRightEh, {2000, 0}, {100, 100, 1000, 250}, 896, 146},  // and at the right
        {gcTopLeftEh, {-40, -60}, {60, 40, 300, 250}, 236, 206},        // grows up and left
        {gcTopLeftEh, {-400, -400}, {0, 0, 300, 250}, 296, 246},        // the far corner stays
        {gcBottomLeftEh, {-20, 10}, {80, 100, 300, 260}, 216, 156},
        {gcTopRightEh, {20, -10}, {100, 90, 320, 250}, 216, 156},
        {gcBottomRightEh, {-500, -500}, {100, 100, 104, 104}, 0, 0},    // never below the frame
    };
    for (const auto& c : cases) {
        int cw = 196, ch = 146;
        const TPoint from{500, 500};
        TRect r = TSizeGripEh::DragBounds(c.Corner, from, Point(from.X + c.Travel.X, from.Y + c.Travel.Y), start, cw,
                                          ch, work);
        EXPECT_EQ(r, c.Bounds) << int(c.Corner) << " " << c.Travel.X << "," << c.Travel.Y;
        EXPECT_EQ(cw, c.ClientW);
        EXPECT_EQ(ch, c.ClientH);
    }
}

TEST(SizeGrip, DraggingResizesTheParentAndKeepsTheGripInItsCorner)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    auto* grip = new TSizeGripEh(&form);
    grip->SetParent(&form);
    GuiTest::ProcessEvents();
    EXPECT_EQ(grip->Left(), form.ClientWidth() - grip->Width());
    EXPECT_EQ(grip->Top(), form.ClientHeight() - grip->Height());
    int resized = 0;
    grip->OnOwnerResized = [&](TObject*) { ++resized; };
    const int w0 = form.ClientWidth(), h0 = form.ClientHeight();
    TPoint p = Point(grip->Width() - 2, grip->Height() - 2);
    GuiTest::MouseDown(grip, mbLeft, p);
    GuiTest::MouseMove(grip, Point(p.X + 40, p.Y + 25), {ssLeft});
    GuiTest::MouseUp(grip, mbLeft, p);   // the grip moved along with the pointer
    GuiTest::ProcessEvents();
    EXPECT_EQ(form.ClientWidth(), w0 + 40);
    EXPECT_EQ(form.ClientHeight(), h0 + 25);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(grip->Left(), form.ClientWidth() - grip->Width());
    EXPECT_EQ(grip->Top(), form.ClientHeight() - grip->Height());
    // Moved to another corner it sticks there.
    grip->FlipCorner(gfToTopEh);
    GuiTest::ProcessEvents();
    EXPECT_EQ(grip->Top(), 0);
    EXPECT_EQ(grip->Left(), form.ClientWidth() - grip->Width());
}

} // namespace
