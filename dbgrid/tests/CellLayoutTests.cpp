// Where a cell's text stands: across by its alignment, down by its column's
// layout in rows taller than the text, on one line or word wrapped.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>

namespace {

using namespace DBGridTest;

// The first text drawn with that content (null when none).
const TCanvasOp* TextOp(TRecordingCanvas& rec, const std::string& text, int left = INT_MIN, int right = INT_MAX)
{
    for (const TCanvasOp& op : rec.Ops())
        if (op.Op == "DrawText" && op.Text == text && op.Rect.Left >= left && op.Rect.Left < right) return &op;
    return nullptr;
}

TEST(CellText, ALineStandsByLayoutAndAlignment)
{
    GuiTest::Init();
    TRecordingCanvas rec(300, 200);
    const int th = rec.TextHeight("学员");
    const TRect cell{10, 10, 110, 70};
    struct TCase {
        const char* Name;
        TRect Rect;
        TAlignment Alignment;
        TTextLayout Layout;
        int Top;
        int Left, Right;   // of the rectangle the line is laid out in
        UINT Align;
    } cases[] = {
        {"top left", cell, taLeftJustify, tlTop, 12, 12, 110, DT_LEFT},
        {"centred", cell, taLeftJustify, tlCenter, (10 + 70 - th) / 2, 12, 110, DT_LEFT},
        {"bottom", cell, taLeftJustify, tlBottom, 70 - th, 12, 110, DT_LEFT},
        {"right: 3 pixels from the edge", cell, taRightJustify, tlTop, 12, 10, 107, DT_RIGHT},
        {"centre across", cell, taCenter, tlBottom, 70 - th, 10, 110, DT_CENTER},
        {"too low to centre: stays at the top", TRect{10, 10, 110, 10 + th + 1}, taLeftJustify, tlCenter, 12, 12, 110,
         DT_LEFT},
        {"too low for the bottom too", TRect{10, 10, 110, 10 + th + 1}, taLeftJustify, tlBottom, 12, 12, 110, DT_LEFT},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        rec.Clear();
        DBGridEh::WriteCellText(&rec, c.Rect, false, 2, 2, "学员", c.Alignment, c.Layout, false, false);
        const TCanvasOp* op = TextOp(rec, "学员");
        ASSERT_NE(op, nullptr);
        EXPECT_EQ(op->Rect.Top, c.Top);
        EXPECT_EQ(op->Rect.Left, c.Left);
        EXPECT_EQ(op->Rect.Right, c.Right);
        EXPECT_EQ(op->Rect.Bottom, c.Rect.Bottom) << "clipped to the cell";
        EXPECT_TRUE(op->Flags & DT_SINGLELINE);
        EXPECT_EQ(op->Flags & (DT_LEFT | DT_CENTER | DT_RIGHT), c.Align);
        EXPECT_EQ(rec.CountOf("FillRect"), 0) << "nothing filled unless asked";
    }
}

TEST(CellText, WrappedTextStandsAsABlock)
{
    GuiTest::Init();
    TRecordingCanvas rec(300, 200);
    const int th = rec.TextHeight("Wg");
    // Two lines in a 60-pixel-high cell: the block of both is placed.
    const std::string text = "第一行\r\n第二行";
    const TRect cell{0, 0, 120, 60};
    struct TCase {
        const char* Name;
        TTextLayout Layout;
        TRect Rect;
        int Top;
    } cases[] = {
        {"top", tlTop, cell, 2},
        {"centred", tlCenter, cell, 2 + 56 / 2 - (2 * th) / 2},
        {"bottom", tlBottom, cell, 58 - 2 * th},
        {"taller than the cell: its first line stays in sight", tlBottom, TRect{0, 0, 120, th}, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        rec.Clear();
        rec.Brush()->SetColor(clYellow);
        DBGridEh::WriteCellText(&rec, c.Rect, true, 2, 2, text, taLeftJustify, c.Layout, true, true);
        const TCanvasOp* op = TextOp(rec, text);
        ASSERT_NE(op, nullptr);
        EXPECT_EQ(op->Rect.Top, c.Top);
        EXPECT_EQ(op->Rect.Left, 2);
        EXPECT_EQ(op->Rect.Right, 118);
        EXPECT_EQ(op->Rect.Bottom, c.Rect.Bottom - 2 + 1) << "one pixel more at the bottom";
        EXPECT_TRUE(op->Flags & DT_WORDBREAK);
        EXPECT_TRUE(op->Flags & DT_END_ELLIPSIS);
        EXPECT_FALSE(op->Flags & DT_SINGLELINE);
        const TCanvasOp* fill = rec.Find("FillRect");
        ASSERT_NE(fill, nullptr);
        EXPECT_EQ(fill->Rect, c.Rect);
        EXPECT_EQ(rec.Brush()->Style(), bsSolid) << "the brush comes back";
    }
}

// A grid with rows three lines high: the same names at the top, in the
// middle and at the bottom of their cells, wrapped (Name) and on one line (Id).
class CellLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get(), 520, 260);
        G = Host->Grid;
        G->LockLayout();
        G->Columns()->Clear();
        G->SetRowLines(3);
        const std::pair<const char*, TTextLayout> cols[] = {
            {"Name", tlTop}, {"Name", tlCenter}, {"Name", tlBottom}, {"Id", tlTop}, {"Id", tlCenter}, {"Id", tlBottom},
        };
        for (auto [field, layout] : cols) {
            TColumnEh* c = G->Columns()->Add();
            c->SetFieldName(field);
            c->SetWidth(std::string(field) == "Name" ? 90 : 60);
            c->SetLayout(layout);
            c->Title()->SetCaption(layout == tlTop ? "上" : layout == tlCenter ? "中" : "下");
        }
        G->UnlockLayout();
        GuiTest::ProcessEvents();
        TRecordingCanvas probe(10, 10);
        probe.Font()->Assign(G->Font());
        Th = probe.TextHeight("Wg");
    }
    // A cell's rectangle where the window's painting puts it (inside the border).
    TRect Painted(int dataCol, int row) const
    {
        TRect r = G->CellRect(G->DataToRawColumn(dataCol), row);
        TPoint client = G->ClientToScreen(Point(0, 0));
        TPoint window = G->Parent()->ClientToScreen(Point(G->Left(), G->Top()));
        OffsetRect(r, client.X - window.X, client.Y - window.Y);
        return r;
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    int Th = 0;
};

TEST_F(CellLayout, EachColumnPlacesItsTextDownTheRow)
{
    ASSERT_GE(G->DefaultRowHeight(), 3 * Th);
    TRecordingCanvas rec(G->Width(), G->Height());
    G->PaintTo(&rec, 0, 0);
    Ds->First();
    const std::string name = Ds->FieldByName("Name")->AsString();
    const std::string id = Ds->FieldByName("Id")->AsString();
    const int row = G->FirstDataRow();
    struct TCase {
        int DataCol;
        const std::string* Text;
        bool Wrapped;
        std::function<int(const TRect&)> Top;
    } cases[] = {
        {0, &name, true, [](const TRect& r) { return r.Top + 2; }},
        {1, &name, true, [this](const TRect& r) { return r.Top + 2 + (r.Height() - 4) / 2 - Th / 2; }},
        {2, &name, true, [this](const TRect& r) { return r.Bottom - 2 - Th; }},
        {3, &id, false, [](const TRect& r) { return r.Top + 2; }},
        {4, &id, false, [this](const TRect& r) { return (r.Top + r.Bottom - Th) / 2; }},
        {5, &id, false, [this](const TRect& r) { return r.Bottom - Th; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.DataCol);
        TRect cell = Painted(c.DataCol, row);
        const TCanvasOp* op = TextOp(rec, *c.Text, cell.Left, cell.Right);
        ASSERT_NE(op, nullptr);
        EXPECT_EQ(op->Rect.Top, c.Top(cell));
        EXPECT_EQ(bool(op->Flags & DT_WORDBREAK), c.Wrapped);
    }

    // The picture of it, to look at (with QZ_KEEP_PICTURES).
    std::string out = std::string(QZ_BINARY_DIR) + "/dbgrid-cell-layout.png";
    ASSERT_TRUE(GuiTest::SavePng(G, out));
}

TEST_F(CellLayout, FootersStandAsTheirColumnSays)
{
    G->SetFooterRowCount(1);
    for (int i = 0; i < G->Columns()->Count(); ++i) {
        TColumnFooterEh* f = G->Columns()->Items(i)->Footer();
        f->SetValueType(fvtStaticText);
        f->SetValue("合计");
    }
    GuiTest::ProcessEvents();
    TRecordingCanvas rec(G->Width(), G->Height());
    G->PaintTo(&rec, 0, 0);
    int footer = G->RowCount() - 1;
    TRect top = Painted(3, footer), bottom = Painted(5, footer);
    const TCanvasOp* a = TextOp(rec, "合计", top.Left, top.Right);
    const TCanvasOp* b = TextOp(rec, "合计", bottom.Left, bottom.Right);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->Rect.Top, top.Top + 2);
    const int h = bottom.Height();
    EXPECT_EQ(b->Rect.Top, Th < h - 2 ? bottom.Bottom - Th : bottom.Top + 2);
    EXPECT_GT(b->Rect.Top, a->Rect.Top);
}

} // namespace
