// Hints of the grid's cells: a title's own hint, and the whole text of a
// cell too narrow for it, placed over the cell.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "Messages.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridHints : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = MakeStudents({{1, "王小明同学的名字", true, 1200}, {2, "李华", false, 800.5}});
        Host = std::make_unique<TGridHost>(Ds.get(), 500, 200);
        G = Host->Grid;
        G->Columns()->Clear();
        for (const char* f : {"Id", "Name", "Fee"}) G->Columns()->Add()->SetFieldName(f);
        G->Columns()->Items(1)->SetWidth(60);
        G->Columns()->Items(1)->SetToolTips(true);
        GuiTest::ProcessEvents();
    }
    THintInfo HintAt(int col, int row)
    {
        THintInfo info;
        info.HintControl = G;
        TRect r = G->CellRect(col, row);
        info.CursorPos = Point(r.Left + 5, r.Top + 3);
        info.CursorRect = G->ClientRect();
        info.HintStr = "grid";
        G->Perform(CM_HINTSHOW, 0, LPARAM(&info));
        return info;
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridHints, ANarrowCellShowsItsWholeText)
{
    int r0 = G->FirstDataRow();
    THintInfo info = HintAt(2, r0);
    EXPECT_EQ(info.HintStr, "王小明同学的名字");
    TRect cell = G->CellRect(2, r0);
    EXPECT_EQ(info.CursorRect, cell);
    EXPECT_EQ(info.HintPos, G->ClientToScreen(Point(cell.Left - 1, cell.Top - 1)));
    // Text that fits: no hint at all.
    EXPECT_EQ(HintAt(2, r0 + 1).HintStr, "");
    // A column without tips keeps the grid's hint.
    EXPECT_EQ(HintAt(1, r0).HintStr, "grid");
    // A title's own hint, its short part.
    G->Columns()->Items(0)->Title()->SetHint("编号|学员的编号");
    THintInfo title = HintAt(1, 0);
    EXPECT_EQ(title.HintStr, "编号");
    EXPECT_EQ(title.CursorRect, G->CellRect(1, 0));
}

} // namespace
