#include "cxGroupBox.h"

#include "EditOnForm.h"
#include "StdCtrls.h"

namespace {

// A button group whose buttons are plain controls, to see the base at work.
class TTestButtonGroupViewData : public TcxButtonGroupViewData {
public:
    using TcxButtonGroupViewData::TcxButtonGroupViewData;
    TcxButtonGroupButtonMetrics GetButtonMetrics() override
    {
        TcxButtonGroupButtonMetrics m;
        m.TextGap = 3;
        m.HorizontalSpace = 7;
        m.ExtraTotalWidth = 6;
        m.LeftMargin = 6;
        m.PositionWidthAdjustment = -6;
        m.GlyphWidth = 13;
        m.GlyphHeight = 13;
        return m;
    }
    void CalculateButtonNativeState(TcxButtonGroupViewInfo*, int) override {}
};

class TTestButtonGroupProperties : public TcxCustomButtonGroupProperties {
public:
    using TcxCustomButtonGroupProperties::TcxCustomButtonGroupProperties;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override
    {
        return std::make_unique<TTestButtonGroupViewData>(this, AStyle, AIsInplace);
    }
    TClass GetViewInfoClass() const override { return TcxButtonGroupViewInfo::StaticClass(); }
};

void AddItems(TcxCustomButtonGroupProperties& p, int n)
{
    for (int i = 0; i < n; ++i) p.Items()->AddAs<TcxButtonGroupItem>()->SetCaption("项" + std::to_string(i));
}

}  // namespace

TEST(GroupBox, CaptionRectangleByAlignment)
{
    // A 185 x 105 box, a caption 40 wide and 12 high, no shadow.
    struct Case {
        TcxCaptionAlignment A;
        TRect R;
    };
    const Case cases[] = {
        {alTopLeft, {8, 0, 48, 12}},       {alTopCenter, {72, 0, 112, 12}},    {alTopRight, {137, 0, 177, 12}},
        {alBottomLeft, {8, 91, 48, 103}},  {alBottomCenter, {72, 91, 112, 103}}, {alBottomRight, {137, 91, 177, 103}},
        {alLeftTop, {-1, 8, 11, 48}},      {alLeftCenter, {-1, 33, 11, 73}},   {alLeftBottom, {-1, 57, 11, 97}},
        {alRightTop, {174, 8, 186, 48}},   {alRightCenter, {174, 32, 186, 72}}, {alRightBottom, {174, 57, 186, 97}},
        {alCenterCenter, {72, 46, 112, 58}},
    };
    for (const Case& c : cases) EXPECT_EQ(TcxGroupBoxViewInfo::CaptionRect(c.A, 185, 105, 40, 12, 0), c.R) << int(c.A);
    // A shadow takes 3 pixels from the right and the bottom.
    EXPECT_EQ(TcxGroupBoxViewInfo::CaptionRect(alTopRight, 185, 105, 40, 12, 3), (TRect{134, 0, 174, 12}));
}

TEST(GroupBox, FrameStylesAndShadow)
{
    const TcxContainerBorderStyle idle[6] = {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsSingle};
    const TcxContainerBorderStyle active[6] = {cbsFlat, cbsThick, cbsThick, cbsFlat, cbs3D, cbsSingle};
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(TcxGroupBoxViewData::FrameStyle(TcxEditBorderStyle(s), 0), idle[s]) << s;
        EXPECT_EQ(TcxGroupBoxViewData::FrameStyle(TcxEditBorderStyle(s), 1), idle[s]) << s;
        EXPECT_EQ(TcxGroupBoxViewData::FrameStyle(TcxEditBorderStyle(s), 2), active[s]) << s;
    }
    TcxCustomGroupBoxProperties p;
    TcxGroupBoxStyle style(nullptr, true);
    style.SetShadow(true);
    TcxGroupBoxViewData d(&p, &style, false);
    for (int a = alTopLeft; a <= alCenterCenter; ++a) {
        d.Alignment = TcxCaptionAlignment(a);
        bool bottomOrRight = (a >= alBottomLeft && a <= alBottomRight) || (a >= alRightTop && a <= alRightBottom);
        EXPECT_EQ(d.HasShadow(), !bottomOrRight) << a;
    }
}

TEST(GroupBox, ExtentsMakeRoomForTheCaption)
{
    TcxCustomGroupBoxProperties p;
    TcxGroupBoxStyle style(nullptr, true);
    TcxGroupBoxViewData d(&p, &style, false);
    d.CaptionHeight = 14;
    TcxGroupBoxViewInfo vi;
    struct Case {
        TcxCaptionAlignment A;
        TRect Border, Client;
    };
    const Case cases[] = {
        {alTopLeft, {2, 8, 2, 2}, {2, 19, 2, 2}},   {alBottomRight, {2, 2, 2, 8}, {2, 2, 2, 19}},
        {alLeftCenter, {7, 2, 2, 2}, {19, 2, 2, 2}}, {alRightTop, {2, 2, 7, 2}, {2, 2, 19, 2}},
        {alCenterCenter, {2, 2, 2, 2}, {2, 2, 2, 2}},
    };
    for (const Case& c : cases) {
        d.Alignment = c.A;
        EXPECT_EQ(d.GetBorderExtent(), c.Border) << int(c.A);
        EXPECT_EQ(d.GetClientExtent(nullptr, &vi), c.Client) << int(c.A);
    }
    TcxGroupBoxViewData inplace(&p, &style, true);
    inplace.CaptionHeight = 14;
    EXPECT_EQ(inplace.GetClientExtent(nullptr, &vi), TRect{});
}

TEST(ButtonGroup, ColumnsAndPositions)
{
    struct Case {
        int Items, Columns, UsedColumns, Rows;
    };
    const Case cases[] = {{5, 3, 3, 2}, {9, 4, 3, 3}, {9, 3, 3, 3}, {2, 5, 2, 1}, {0, 3, 1, 1}, {7, 0, 1, 7}};
    for (const Case& c : cases) {
        TTestButtonGroupProperties p;
        AddItems(p, c.Items);
        p.SetColumns(c.Columns);
        EXPECT_EQ(p.GetColumnCount(), c.UsedColumns) << c.Items << "/" << c.Columns;
        EXPECT_EQ(p.GetRowCount(), c.Rows) << c.Items << "/" << c.Columns;
    }
    // Five items in three columns: [0,1], [2,3], [4], by column then row.
    TTestButtonGroupProperties p;
    AddItems(p, 5);
    p.SetColumns(3);
    TcxGroupBoxStyle style(nullptr, true);
    TTestButtonGroupViewData d(&p, &style, true);
    TcxButtonGroupViewInfo vi;
    d.Calculate(nullptr, TRect{0, 0, 306, 40}, TPoint{-1, -1}, 0, {}, &vi, false);
    ASSERT_EQ(vi.GroupButtons.size(), 5u);
    const int col[5] = {0, 0, 1, 1, 2}, row[5] = {0, 1, 0, 1, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(vi.GroupButtons[size_t(i)]->Column, col[i]);
        EXPECT_EQ(vi.GroupButtons[size_t(i)]->Row, row[i]);
        EXPECT_EQ(vi.GroupButtons[size_t(i)]->Caption, "项" + std::to_string(i));
    }
    // In place: (306 - 6) / 3 = 100 wide, 40 / 2 = 20 high, 6 pixels in.
    EXPECT_EQ(vi.GroupButtons[0]->Bounds, (TRect{6, 0, 106, 20}));
    EXPECT_EQ(vi.GroupButtons[3]->Bounds, (TRect{106, 20, 206, 40}));
    EXPECT_EQ(vi.GroupButtons[4]->Bounds, (TRect{206, 0, 306, 20}));
}

TEST(ButtonGroup, EditSize)
{
    TTestButtonGroupProperties p;
    TcxGroupBoxStyle style(nullptr, true);
    TTestButtonGroupViewData d(&p, &style, false);
    TBitmap b;
    b.SetSize(10, 10);
    TcxCanvas canvas(b.Canvas());
    canvas.SetFont(style.Font());
    int line = canvas.TextHeight("Zg") + 4;
    TSize empty = d.GetEditSize(&canvas, Null(), TcxEditSizeProperties{});
    TSize minContent, constant;
    TcxButtonGroupViewInfo vi;
    d.InternalGetEditConstantPartSize(&canvas, TcxEditSizeProperties{}, minContent, &vi, constant);
    EXPECT_EQ(constant.cx, 0);   // no items: no width, one line
    EXPECT_EQ(constant.cy, line);
    AddItems(p, 4);
    p.SetColumns(2);
    d.InternalGetEditConstantPartSize(&canvas, TcxEditSizeProperties{}, minContent, &vi, constant);
    int widest = canvas.TextWidth("项0");
    EXPECT_EQ(constant.cx, (widest + 7 + 13) * 2 + 6);
    EXPECT_EQ(constant.cy, std::max(13, line) * 2);
    (void)empty;
}

using GroupBoxTest = TEditOnForm<TcxGroupBox>;

TEST_F(GroupBoxTest, ChildrenSitInsideTheFrameAndTheAcceleratorFocusesThem)
{
    Edit->SetCaption("学员(&S)");
    auto* child = new TEdit(Form);
    child->SetParent(Edit);
    child->SetAlign(alClient);
    GuiTest::ProcessEvents();
    const TRect& content = Edit->EditViewInfo()->ContentRect;
    EXPECT_EQ(child->Left(), content.Left);
    EXPECT_EQ(child->Top(), content.Top);
    EXPECT_GT(content.Top, 10);   // below the caption
    EXPECT_EQ(Edit->VisibleCaption(), "学员(&S)");
    Edit->SetAlignment(alLeftCenter);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->VisibleCaption(), "学员(S)");   // no accelerator on a side
    EXPECT_EQ(Edit->CaptionFont()->Orientation(), 900);
    EXPECT_GT(child->Left(), 10);
    EXPECT_LE(child->Top(), 3);
    TMessage m{CM_DIALOGCHAR, 'S', 0, 0};
    Edit->Dispatch(m);
    GuiTest::ProcessEvents();
    EXPECT_EQ(m.Result, 1);
    EXPECT_TRUE(child->Focused());
}
