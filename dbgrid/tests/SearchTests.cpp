// Incremental search on a headless grid with a manual clock, and rows sized
// by dragging an edge over the indicator.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = ManyStudents(40);
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 300);
        G = Host->Grid;
        G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghIncSearch});
        // Id and Name cannot be edited: typing there searches.
        G->Columns()->Items(0)->SetReadOnly(true);
        G->Columns()->Items(1)->SetReadOnly(true);
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    int Id() const { return Ds->FieldByName("Id")->AsInteger(); }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridSearch, TypingFindsTheFirstRecordThatStartsWithTheText)
{
    GuiTest::TManualTime time;
    struct TStep {
        const char* Typed;   // text typed, or a key below
        int Key;
        TShiftState Shift;
        int ExpectId;
        const char* ExpectText;
    } steps[] = {
        {"1", 0, {}, 1, "1"},               // the current record matches
        {"2", 0, {}, 12, "12"},
        {"9", 0, {}, 12, "12"},             // nothing starts with 129: dropped
        {nullptr, VK_BACK, {}, 12, "1"},
        {nullptr, VK_RETURN, {ssCtrl}, 13, "1"},            // the next match
        {nullptr, VK_RETURN, {ssCtrl, ssShift}, 12, "1"},   // the previous one
        {"3", 0, {}, 13, "13"},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Typed ? s.Typed : std::to_string(s.Key));
        if (s.Typed) GuiTest::TypeText(s.Typed);
        else GuiTest::KeyPress(s.Key, s.Shift);
        EXPECT_TRUE(G->IncSearching());
        EXPECT_EQ(Id(), s.ExpectId);
        EXPECT_EQ(G->IncSearchText(), s.ExpectText);
        EXPECT_FALSE(G->EditorMode());
    }
    // 1.5 s after the last key the search ends.
    time.Advance(1499);
    EXPECT_TRUE(G->IncSearching());
    time.Advance(2);
    EXPECT_FALSE(G->IncSearching());
    EXPECT_EQ(G->IncSearchText(), "");
    EXPECT_EQ(Id(), 13);
    // A new search starts from the first record, in letters of either case.
    G->SetSelectedIndex(1);
    GuiTest::TypeText("学员3");
    EXPECT_EQ(Id(), 3);
    GuiTest::TypeText("5");
    EXPECT_EQ(Id(), 35);
    EXPECT_EQ(G->IncSearchText(), "学员35");
    // A change of column ends it.
    GuiTest::KeyPress(VK_LEFT);
    EXPECT_FALSE(G->IncSearching());
}

TEST_F(GridSearch, EditableColumnsTakeTheTextUnlessTheSearchIsPreferred)
{
    G->SetSelectedIndex(5);   // Fee may be changed
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghPreferIncSearch});
    GuiTest::TypeText("7");
    EXPECT_TRUE(G->IncSearching());
    EXPECT_EQ(Id(), 7);
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(G->IncSearching());
    G->SetOptionsEh(G->OptionsEh() - TDBGridEhOptions{dghPreferIncSearch});
    GuiTest::TypeText("9");
    EXPECT_FALSE(G->IncSearching());
    EXPECT_TRUE(G->EditorMode());
    EXPECT_EQ(Ds->State(), dsEdit);
}

TEST_F(GridSearch, CtrlFStartsASearchWithoutTimeoutThenOpensTheFindDialog)
{
    GuiTest::TManualTime time;
    int opened = 0;
    DBGridEh::FindDialogProc = [&](TCustomDBGridEh*, const std::string&) { ++opened; };
    struct TReset {
        ~TReset() { DBGridEh::FindDialogProc = nullptr; }
    } reset;
    GuiTest::KeyPress('F', {ssCtrl});
    EXPECT_TRUE(G->IncSearching());
    time.Advance(5000);
    EXPECT_TRUE(G->IncSearching()) << "no timeout";
    GuiTest::TypeText("2");
    EXPECT_EQ(Id(), 2);
    time.Advance(5000);
    EXPECT_TRUE(G->IncSearching()) << "still none after typing";
    GuiTest::KeyPress('F', {ssCtrl});
    EXPECT_FALSE(G->IncSearching());
    EXPECT_EQ(opened, 1);
    // Without the search option Ctrl+F opens the dialog at once.
    G->SetOptionsEh(G->OptionsEh() - TDBGridEhOptions{dghIncSearch});
    GuiTest::KeyPress('F', {ssCtrl});
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(G->IncSearching());
}

TEST_F(GridSearch, TheMatchedTextShowsMarked)
{
    GuiTest::TypeText("2");
    GuiTest::TypeText("5");
    ASSERT_EQ(Id(), 25);
    GuiTest::ProcessEvents();
    // Numbers stand at the right, 3 pixels in: so does the mark.
    TRect cell = G->CellRect(G->Col(), G->Row());
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Right - 4, cell.Top + 3))), ColorToRGB(clYellow));
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Left + 3, cell.Top + 3))), ColorToRGB(clYellow));
    ASSERT_TRUE(GuiTest::SavePng(G, std::string(QZ_BINARY_DIR) + "/dbgrid-incsearch.png"));
    GuiTest::KeyPress(VK_ESCAPE);
    GuiTest::ProcessEvents();
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Right - 4, cell.Top + 3))), ColorToRGB(clYellow));
}

TEST_F(GridSearch, ARowEdgeDraggedOverTheIndicatorSizesEveryRow)
{
    G->SetRowSizingAllowed(true);
    GuiTest::ProcessEvents();
    int r0 = G->FirstDataRow();
    int before = G->DefaultRowHeight();
    // Over the data cells a row edge is no sizing zone.
    TRect data = G->CellRect(2, r0 + 1);
    EXPECT_FALSE(G->Sizing((data.Left + data.Right) / 2, data.Bottom));
    TRect ind = G->CellRect(0, r0 + 1);
    TPoint edge = Point(ind.Left + 4, ind.Bottom);
    ASSERT_TRUE(G->Sizing(edge.X, edge.Y));
    GuiTest::MouseDown(G, mbLeft, edge);
    GuiTest::MouseMove(G, Point(edge.X, edge.Y + 12), {ssLeft});
    GuiTest::MouseUp(G, mbLeft, Point(edge.X, edge.Y + 12));
    GuiTest::ProcessEvents();
    EXPECT_EQ(G->RowLines(), 0);
    EXPECT_EQ(G->RowHeight(), before + 12);
    EXPECT_EQ(G->DefaultRowHeight(), before + 12);
    for (int r = r0; r < r0 + G->VisibleDataRowCount() - 1; ++r) EXPECT_EQ(G->RowHeights(r), before + 12) << r;
}

} // namespace
