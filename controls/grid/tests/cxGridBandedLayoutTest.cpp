// The banded view's layout: bands fixed to the edges while the others
// scroll, band and column widths, line counts in the header and in data
// rows, the one-line options that several lines switch off, bands sharing
// the client width, hit tests over bands and where dropped columns and
// bands would go.
#include "GridBandedViewFixture.h"

namespace {

class GridBandedLayoutTest : public GridBandedViewFixture {};

struct TPlacementCase {
    const char* Name;
    std::vector<std::pair<TcxGridBandFixedKind, int>> Bands;   // in collection order
    int LeftPos;
    std::pair<int, int> Header;                                 // left and right, from the client's left edge
    std::vector<std::pair<int, int>> Placed;                    // per band, in collection order
    std::pair<int, int> Scrollable;
};

TEST_F(GridBandedLayoutTest, FixedBandsStayAtTheEdgesWhileTheOthersScroll)
{
    const std::vector<TPlacementCase> cases = {
        {"left, unfixed, right", {{fkLeft, 100}, {fkNone, 800}, {fkRight, 100}}, 200, {0, 600},
         {{0, 100}, {-100, 700}, {500, 600}}, {100, 500}},
        {"not scrolled", {{fkLeft, 100}, {fkNone, 800}, {fkRight, 100}}, 0, {0, 600},
         {{0, 100}, {100, 900}, {500, 600}}, {100, 500}},
        {"right only", {{fkNone, 800}, {fkRight, 100}}, 200, {-200, 600}, {{-200, 600}, {500, 600}}, {0, 500}},
        {"left only", {{fkLeft, 100}, {fkNone, 800}}, 200, {0, 700}, {{0, 100}, {-100, 700}}, {100, 600}},
        {"none fixed", {{fkNone, 800}}, 200, {-200, 600}, {{-200, 600}}, {0, 600}},
    };
    for (const TPlacementCase& c : cases) {
        SCOPED_TRACE(c.Name);
        View->Bands()->Clear();
        View->OptionsView()->SetFixedBandSeparatorWidth(0);
        std::vector<TcxGridBand*> bands;
        for (auto& b : c.Bands) bands.push_back(AddBand("B" + std::to_string(bands.size()), b.first, b.second));
        SetClientWidth(600);
        Controller()->SetLeftPos(c.LeftPos);
        Layout();
        ASSERT_EQ(Controller()->LeftPos(), c.LeftPos);
        int origin = VI()->ClientBounds.Left;
        EXPECT_EQ(Header()->Bounds.Left - origin, c.Header.first);
        EXPECT_EQ(Header()->Bounds.Right - origin, c.Header.second);
        for (size_t i = 0; i < bands.size(); ++i) {
            TcxGridBandViewInfo* band = BandVI(bands[i]);
            ASSERT_NE(band, nullptr);
            EXPECT_EQ(band->Bounds.Left - origin, c.Placed[i].first) << "band " << i;
            EXPECT_EQ(band->Bounds.Right - origin, c.Placed[i].second) << "band " << i;
        }
        TRect scrollable = VI()->GetScrollableAreaBounds();
        EXPECT_EQ(scrollable.Left - origin, c.Scrollable.first);
        EXPECT_EQ(scrollable.Right - origin, c.Scrollable.second);
        Controller()->SetLeftPos(0);
    }
}

TEST_F(GridBandedLayoutTest, ABandWithoutColumnsIsFiftyWidePlusItsSeparator)
{
    TcxGridBand* left = AddBand("L", fkLeft);
    TcxGridBand* middle = AddBand("N");
    TcxGridBand* right = AddBand("R", fkRight);
    AddColumn("c", middle, 120);
    for (int separator : {2, 0, 5}) {
        SCOPED_TRACE(separator);
        View->OptionsView()->SetFixedBandSeparatorWidth(separator);
        Layout();
        EXPECT_EQ(BandVI(left)->Width(), 50 + separator);
        EXPECT_EQ(BandVI(left)->InnerWidth(), 50);
        EXPECT_EQ(BandVI(right)->Width(), 50 + separator);
        // The separators sit where the fixed bands meet the scrolling ones.
        EXPECT_EQ(BandVI(left)->GetBorderWidth(bRight), separator);
        EXPECT_EQ(BandVI(right)->GetBorderWidth(bLeft), separator);
        EXPECT_EQ(BandVI(left)->GetBorderWidth(bLeft), 0);
        // A band with columns is as wide as they are, without separator.
        EXPECT_EQ(BandVI(middle)->Width(), 120);
        EXPECT_EQ(BandVI(middle)->Bounds.Left, BandVI(left)->Bounds.Right);
        EXPECT_EQ(Header()->Items(0)->Bounds.Left, BandVI(middle)->Bounds.Left);
    }
}

TEST_F(GridBandedLayoutTest, TheColumnsOfEveryRowFillTheirBand)
{
    TcxGridBand* band = AddBand("学员信息");
    TcxGridBandedColumn* name = AddColumn("姓名", band, 100, 0);
    TcxGridBandedColumn* sex = AddColumn("性别", band, 50, 0);
    TcxGridBandedColumn* id = AddColumn("身份证号", band, 80, 1);
    // Without a width of its own the band is as wide as its widest row.
    Layout();
    EXPECT_EQ(BandVI(band)->Width(), 150);
    EXPECT_EQ(ColumnVI(name)->Bounds.Width(), 100);
    EXPECT_EQ(ColumnVI(sex)->GetWidth(), 50);
    EXPECT_EQ(ColumnVI(id)->Bounds.Width(), 150);
    EXPECT_EQ(ColumnVI(id)->Bounds.Left, ColumnVI(name)->Bounds.Left);
    EXPECT_EQ(ColumnVI(id)->Bounds.Top, ColumnVI(name)->Bounds.Bottom);
    // A band of a set width shares it among each row's columns in proportion.
    band->SetWidth(300);
    Layout();
    EXPECT_EQ(ColumnVI(name)->Bounds.Width(), 200);
    EXPECT_EQ(ColumnVI(sex)->GetWidth(), 100);
    EXPECT_EQ(ColumnVI(sex)->Bounds.Right, BandVI(band)->Bounds.Right);
    EXPECT_EQ(ColumnVI(id)->Bounds.Width(), 300);
    // The data cells stand under their headers.
    Fill({{"张三", "男", "110101199001011234"}});
    Layout();
    ASSERT_NE(Row(0), nullptr);
    TcxGridDataCellViewInfo* cell = Row(0)->Cells(id->VisibleIndex());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Bounds.Left, ColumnVI(id)->Bounds.Left);
    EXPECT_EQ(cell->Bounds.Right, ColumnVI(id)->Bounds.Right);
    // A set band width bounds how far a column of the row may grow.
    EXPECT_EQ(ColumnVI(name)->GetMaxWidth(), 300 - sex->MinWidth());
    band->SetWidth(0);
    Layout();
    EXPECT_GT(ColumnVI(name)->GetMaxWidth(), 100000);
}

TEST_F(GridBandedLayoutTest, RowsAreAsManyLinesHighAsTheDeepestBand)
{
    TcxGridBand* single = AddBand("考试");
    TcxGridBand* deep = AddBand("学员信息");
    TcxGridBandedColumn* subject = AddColumn("科目一", single);
    TcxGridBandedColumn* name = AddColumn("姓名", deep, 100, 0, 1);
    TcxGridBandedColumn* address = AddColumn("住址", deep, 100, 1, 1);
    Fill({{"90", "张三", "北京"}, {"85", "李四", "上海"}});
    // Two rows of one line each in the deep band: the reference heights.
    name->Position()->SetLineCount(1);
    Layout();
    int headerLine = Header()->ItemHeight();
    int oneLineRows = VI()->RowsViewInfo()->GetDataRowHeight();
    ASSERT_EQ(Bands()->MaxLineCount(), 2);
    // The name takes two lines: the deep band has three.
    name->Position()->SetLineCount(2);
    Layout();
    ASSERT_EQ(Bands()->MaxLineCount(), 3);
    EXPECT_EQ(Header()->ItemHeight(), headerLine);
    EXPECT_EQ(Header()->Bounds.Height(), Bands()->BandHeaderHeight() + 3 * headerLine);
    EXPECT_EQ(ColumnVI(subject)->Bounds.Height(), headerLine);
    EXPECT_EQ(ColumnVI(name)->Bounds.Height(), 2 * headerLine);
    EXPECT_EQ(ColumnVI(address)->Bounds.Top, ColumnVI(name)->Bounds.Bottom);
    int line = oneLineRows / 2;
    EXPECT_EQ(VI()->RowsViewInfo()->GetDataRowHeight(), 3 * line);
    TcxGridDataRowViewInfo* row = Row(1);
    ASSERT_NE(row, nullptr);
    TRect top = row->CellsAreaBounds;
    EXPECT_EQ(row->Cells(subject->VisibleIndex())->Bounds.Top, top.Top);
    EXPECT_EQ(row->Cells(subject->VisibleIndex())->Bounds.Height(), line);
    EXPECT_EQ(row->Cells(name->VisibleIndex())->Bounds.Height(), 2 * line);
    EXPECT_EQ(row->Cells(address->VisibleIndex())->Bounds.Top, top.Top + 2 * line);
    EXPECT_EQ(row->Cells(address->VisibleIndex())->Bounds.Height(), line);
    // The band areas stand under the bands, as high as the row's cells.
    auto* area = DynamicCast<TcxGridBandedDataRowCellsAreaViewInfo>(row->CellsAreaViewInfo());
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->GetVisible());
    ASSERT_EQ(area->Count(), 2);
    EXPECT_EQ(area->Items(0)->Bounds.Right, BandVI(single)->Bounds.Right);
    EXPECT_EQ(area->Items(1)->Bounds.Left, BandVI(deep)->Bounds.Left);
    EXPECT_EQ(area->Items(0)->Bounds.Height(), top.Height());
    // The footer has the header's lines too, each footer cell at its column's line.
    View->OptionsView()->SetFooter(true);
    Layout();
    TcxGridFooterViewInfo* footer = VI()->FooterViewInfo();
    int footerLine = (footer->ItemHeight() - 2 * View->LookAndFeelPainter()->FooterCellOffset()) / 3;
    EXPECT_EQ(footer->GetItemHeightAt(address->VisibleIndex()), footerLine);
    EXPECT_EQ(footer->GetItemTopBound(address->VisibleIndex()) - footer->GetItemTopBound(name->VisibleIndex()),
              2 * footerLine);
}

TEST_F(GridBandedLayoutTest, SeveralLinesSwitchTheOneLineSizingOptionsOff)
{
    TcxGridBand* band = AddBand("学员信息");
    AddColumn("姓名", band);
    TcxGridBandedColumn* id = AddColumn("身份证号", band);
    Fill({{"张三", "110101199001011234"}});
    TcxGridBandedTableOptionsView* options = View->OptionsView();
    options->SetCellAutoHeight(true);
    options->SetHeaderAutoHeight(true);
    View->OptionsCustomize()->SetDataRowSizing(true);
    for (int lines : {1, 2}) {
        SCOPED_TRACE(lines);
        id->Position()->SetRowIndex(lines - 1);
        options->SetHeaderHeight(0);
        options->SetDataRowHeight(0);
        Layout();
        ASSERT_EQ(Bands()->MaxLineCount(), lines);
        int naturalHeader = Header()->ItemHeight();
        int naturalRow = VI()->RowsViewInfo()->GetDataRowHeight();
        bool oneLine = lines == 1;
        EXPECT_EQ(Row(0)->GetAutoHeight(), oneLine);
        EXPECT_EQ(Row(0)->CanSize(), oneLine);
        EXPECT_EQ(Header()->IsItemAutoHeight(), oneLine);
        options->SetHeaderHeight(naturalHeader + 17);
        options->SetDataRowHeight(naturalRow + 23);
        Layout();
        EXPECT_EQ(Header()->ItemHeight(), oneLine ? naturalHeader + 17 : naturalHeader);
        EXPECT_EQ(VI()->RowsViewInfo()->GetDataRowHeight(), oneLine ? naturalRow + 23 : naturalRow);
    }
}

TEST_F(GridBandedLayoutTest, UnderAutoWidthTheBandsShareTheClientWidth)
{
    TcxGridBand* a = AddBand("A", fkNone, 100);
    TcxGridBand* b = AddBand("B", fkNone, 100);
    TcxGridBand* c = AddBand("C", fkNone, 100);
    for (TcxGridBand* band : {a, b, c}) AddColumn(band->Caption(), band, 60);
    View->OptionsView()->SetColumnAutoWidth(true);
    SetClientWidth(400);
    EXPECT_EQ(BandVI(a)->Width(), 133);
    EXPECT_EQ(BandVI(b)->Width(), 134);
    EXPECT_EQ(BandVI(c)->Width(), 133);
    EXPECT_EQ(BandVI(c)->Bounds.Right, VI()->ClientBounds.Right);
    // The column of each band fills it.
    EXPECT_EQ(ColumnVI(View->Columns(1))->Bounds.Width(), 134);
    // A band that may not be sized keeps its width; the others share the rest.
    a->Options()->Sizing = false;
    Layout();
    EXPECT_EQ(BandVI(a)->Width(), 100);
    EXPECT_EQ(BandVI(b)->Width(), 150);
    EXPECT_EQ(BandVI(c)->Width(), 150);
    a->Options()->Sizing = true;
    // While the middle band is sized, it and the band before it keep their widths.
    a->SetWidth(80);
    b->SetWidth(200);
    Controller()->SetSizingBand(b);
    Layout();
    EXPECT_EQ(BandVI(a)->Width(), 80);
    EXPECT_EQ(BandVI(b)->Width(), 200);
    EXPECT_EQ(BandVI(c)->Width(), 120);
    // While the last band is sized, the others give way.
    c->SetWidth(300);
    Controller()->SetSizingBand(c);
    Layout();
    EXPECT_EQ(BandVI(c)->Width(), 300);
    EXPECT_EQ(BandVI(a)->Width() + BandVI(b)->Width(), 100);
    Controller()->SetSizingBand(nullptr);
    // Widths the bands show become their own, less the separators.
    Bands()->StoreBandWidths();
    EXPECT_EQ(a->Width() + b->Width() + c->Width(), 400);
    EXPECT_EQ(c->Width(), BandVI(c)->InnerWidth());
}

TEST_F(GridBandedLayoutTest, BandsAnswerHitTestsForTheirHeadersEdgesAndRows)
{
    TcxGridBand* band = AddBand("学员信息", fkNone, 200);
    TcxGridBand* other = AddBand("考试", fkNone, 200);
    TcxGridBandedColumn* name = AddColumn("姓名", band, 100, 0);
    AddColumn("性别", band, 100, 0);
    AddColumn("科目一", other, 100, 0, 2);
    Layout();
    TRect header = BandVI(band)->HeaderViewInfo()->Bounds;
    TRect column = ColumnVI(name)->Bounds;
    int y = (header.Top + header.Bottom) / 2;
    struct TCase {
        const char* Name;
        TPoint P;
        int Code;
    };
    const std::vector<TCase> cases = {
        {"band header", {header.Left + 20, y}, 253},
        {"4 pixels left of the header's right edge", {header.Right - 4, y}, 254},
        {"3 pixels right of it", {header.Right + 3, y}, 254},
        {"5 pixels left of it", {header.Right - 5, y}, 253},
        {"column header", Center(column), 202},
        {"just above the column's bottom edge", {column.Left + 10, column.Bottom - 3}, 251},
        {"the band's empty second line", {column.Left + 10, column.Bottom + 5}, 252},
    };
    for (const TCase& c : cases) {
        TcxCustomGridHitTest* hit = VI()->GetHitTest(c.P);
        ASSERT_NE(hit, nullptr) << c.Name;
        EXPECT_EQ(hit->HitTestCode(), c.Code) << c.Name;
    }
    // A band hit test names its band and the band row under the point.
    auto* hit = DynamicCast<TcxGridBandHitTest>(VI()->GetHitTest({column.Left + 10, column.Bottom + 5}));
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Band, band);
    EXPECT_EQ(hit->VisibleRowIndex, 1);
    // A band that may not be sized has no sizing edge.
    band->Options()->Sizing = false;
    Layout();
    EXPECT_EQ(VI()->GetHitTest({header.Right - 2, y})->HitTestCode(), 253);
    // The vertical sizing edge straddles the column's bottom edge, as wide as the header.
    TcxGridBandedColumnHeaderViewInfo* cell = ColumnVI(name);
    TcxGridColumnHeaderAreaViewInfo* edge = nullptr;
    for (int i = 0; i < cell->AreaCount(); ++i)
        if (cell->Areas(i)->InheritsFrom(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo::StaticClass())) edge = cell->Areas(i);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->Bounds, (TRect{cell->Bounds.Left, cell->Bounds.Bottom - 4, cell->Bounds.Right, cell->Bounds.Bottom + 4}));
    // Without vertical sizing there is none.
    name->Options()->SetVertSizing(false);
    Layout();
    for (int i = 0; i < ColumnVI(name)->AreaCount(); ++i)
        EXPECT_FALSE(ColumnVI(name)->Areas(i)->InheritsFrom(TcxGridBandedColumnHeaderVertSizingEdgeViewInfo::StaticClass()));
}

TEST_F(GridBandedLayoutTest, DroppedColumnsGoBeforeOrAfterAColumnOrIntoANewRow)
{
    TcxGridBand* band = AddBand("学员信息", fkNone, 200);
    TcxGridBand* deep = AddBand("考试", fkNone, 100);
    TcxGridBandedColumn* name = AddColumn("姓名", band, 100, 0, 1);
    TcxGridBandedColumn* sex = AddColumn("性别", band, 100, 0, 2);
    TcxGridBandedColumn* id = AddColumn("身份证号", band, 200, 1, 1);
    AddColumn("科目一", deep, 100, 0, 4);
    Layout();
    TRect n = ColumnVI(name)->Bounds, s = ColumnVI(sex)->Bounds, i = ColumnVI(id)->Bounds;
    int middle = (n.Left + n.Right) / 2;
    struct TCase {
        const char* Name;
        TPoint P;
        int ColumnIndex;   // -2: no zone
        int Col, Row;
    };
    const std::vector<TCase> cases = {
        {"left half of 姓名", {n.Left + 3, n.Top + 3}, name->VisibleIndex(), 0, 0},
        {"just left of its middle", {middle - 1, n.Top + 3}, name->VisibleIndex(), 0, 0},
        {"its middle", {middle, n.Top + 3}, name->VisibleIndex(), 1, 0},
        {"right half of 性别", {s.Right - 3, s.Top + 3}, sex->VisibleIndex(), 2, 0},
        {"right half of 身份证号", {i.Right - 3, (i.Top + i.Bottom) / 2}, id->VisibleIndex(), 1, 1},
        {"under 姓名 in the first row's second line", {n.Left + 3, n.Bottom + 6}, -1, 0, 1},
        {"under the band's last row", {i.Left + 3, i.Bottom + 6}, -1, 0, 2},
        {"the band's header", Center(BandVI(band)->HeaderViewInfo()->Bounds), -2, 0, 0},
    };
    for (const TCase& c : cases) {
        std::unique_ptr<TcxGridBandedColumnContainerZone> zone = Header()->ZoneAt(c.P);
        if (c.ColumnIndex == -2) {
            EXPECT_EQ(zone, nullptr) << c.Name;
            continue;
        }
        ASSERT_NE(zone, nullptr) << c.Name;
        EXPECT_EQ(zone->Band, band) << c.Name;
        EXPECT_EQ(zone->ItemIndex, c.ColumnIndex) << c.Name;
        EXPECT_EQ(zone->ColIndex, c.Col) << c.Name;
        EXPECT_EQ(zone->RowIndex, c.Row) << c.Name;
    }
    // Zones are equal when all their values are.
    auto a = Header()->ZoneAt({n.Left + 3, n.Top + 3});
    auto b = Header()->ZoneAt({n.Left + 5, n.Top + 5});
    auto c = Header()->ZoneAt({n.Right - 3, n.Top + 3});
    EXPECT_TRUE(TcxGridBandedColumnContainerZone::IsEqual(a.get(), b.get()));
    EXPECT_FALSE(TcxGridBandedColumnContainerZone::IsEqual(a.get(), c.get()));
    TcxGridColumnContainerZone plain(a->ItemIndex);
    EXPECT_FALSE(TcxGridBandedColumnContainerZone::IsEqual(a.get(), &plain));
}

TEST_F(GridBandedLayoutTest, DroppedBandsGoBeforeTheBandWhoseHeaderHalfTheyAreOver)
{
    for (const char* caption : {"A", "B", "C"}) AddBand(caption, fkNone, 100);
    SetClientWidth(400);
    TRect first = Bands()->Items(0)->HeaderViewInfo()->Bounds;
    int x0 = first.Left, y = (first.Top + first.Bottom) / 2;
    struct TCase {
        TPoint P;
        int Index;
    };
    const std::vector<TCase> cases = {
        {{x0 + 10, y}, 0},  {{x0 + 49, y}, 0},  {{x0 + 50, y}, 1},          {{x0 + 149, y}, 1},
        {{x0 + 160, y}, 2}, {{x0 + 260, y}, 3}, {{x0 + 390, y}, 3},         {{x0 + 60, first.Top - 19}, 1},
        {{x0 + 60, first.Bottom + 19}, 1},      {{x0 + 60, first.Top - 21}, -1}, {{x0 - 1, y}, -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Bands()->BandDropIndexAt(c.P), c.Index) << c.P.X - x0 << "," << c.P.Y - y;
    View->Bands()->Clear();
    Layout();
    EXPECT_EQ(Bands()->BandDropIndexAt({x0 + 10, y}), -1);
}

TEST_F(GridBandedLayoutTest, TheHeaderShowsWhatItsOptionsAskFor)
{
    TcxGridBand* band = AddBand("学员信息");
    AddColumn("姓名", band);
    Layout();
    int bandHeader = Bands()->BandHeaderHeight();
    int columns = Header()->ItemHeight();
    ASSERT_GT(bandHeader, 0);
    EXPECT_EQ(Header()->Bounds.Height(), bandHeader + columns);
    View->OptionsView()->SetBandHeaderLineCount(2);
    Layout();
    EXPECT_EQ(Bands()->BandHeaderHeight(), 2 * bandHeader);
    View->OptionsView()->SetBandHeaderHeight(40);
    Layout();
    EXPECT_EQ(Bands()->BandHeaderHeight(), 40);
    View->OptionsView()->SetBandHeaders(false);
    Layout();
    EXPECT_TRUE(Header()->GetVisible());
    EXPECT_EQ(Header()->Bounds.Height(), columns);
    View->OptionsView()->SetHeader(false);
    Layout();
    EXPECT_FALSE(Header()->GetVisible());
    EXPECT_EQ(VI()->ClientBounds.Top, VI()->ViewBounds.Top);
}

}  // namespace
