#include "cxEdit.h"
#include "cxEditPaintUtils.h"
#include "cxEditTextUtils.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include "Graphics.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

// Properties, a style and a view info for one calculation, as a grid cell
// or a stand-alone edit would hold them.
struct EditFixture {
    TcxCustomEditProperties Properties;
    TcxEditStyle Style{nullptr, false};
    TcxCustomEditViewInfo ViewInfo;

    std::unique_ptr<TcxCustomEditViewData> Data(bool AInplace = false)
    {
        return Properties.CreateViewData(&Style, AInplace);
    }
    void Calculate(const TRect& R, TPoint P = TPoint{-1, -1}, int AButton = 0, TShiftState AShift = {},
                   bool AFocused = false, bool AInplace = false, bool AMouse = false)
    {
        auto d = Data(AInplace);
        d->Focused = AFocused;
        d->Calculate(nullptr, R, P, AButton, AShift, &ViewInfo, AMouse);
    }
};

}  // namespace

TEST(EditViewData, BorderStyleByHotTrackState)
{
    const TcxContainerBorderStyle idle[6] = {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsSingle};
    const TcxContainerBorderStyle active[6] = {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsSingle};
    for (int k = 0; k < 6; ++k) {
        EditFixture f;
        f.Style.SetEditBorderStyle(TcxEditBorderStyle(k));
        auto d = f.Data();
        EXPECT_EQ(d->GetContainerBorderStyle(0), idle[k]) << k;
        EXPECT_EQ(d->GetContainerBorderStyle(1), idle[k]) << k;
        EXPECT_EQ(d->GetContainerBorderStyle(2), active[k]) << k;
        EXPECT_EQ(f.Data(true)->GetContainerBorderStyle(2), cbsNone);
    }
    // Hot tracking: idle, then active with the focus.
    EditFixture f;
    f.Style.SetEditBorderStyle(ebsFlat);
    f.Calculate(TRect{0, 0, 100, 21});
    EXPECT_EQ(f.ViewInfo.HotTrackState, 1);
    EXPECT_EQ(f.ViewInfo.BorderStyle, cbsFlat);
    f.Calculate(TRect{0, 0, 100, 21}, TPoint{-1, -1}, 0, {}, true);
    EXPECT_EQ(f.ViewInfo.HotTrackState, 2);
    EXPECT_EQ(f.ViewInfo.BorderStyle, cbs3D);
    // Ultra-flat: single borders, highlighted when active.
    EditFixture u;
    u.Style.SetEditBorderStyle(ebsUltraFlat);
    u.Properties.Buttons()->Add();
    u.Calculate(TRect{0, 0, 100, 21});
    EXPECT_EQ(u.ViewInfo.DrawnBorderColor, clBtnShadow);
    EXPECT_EQ(u.ViewInfo.Button(0)->ButtonStyle, btsUltraFlat);
    u.Calculate(TRect{0, 0, 100, 21}, TPoint{-1, -1}, 0, {}, true);
    EXPECT_EQ(u.ViewInfo.DrawnBorderColor, clHighlight);
}

TEST(EditViewData, ButtonsLayOutFromBothSides)
{
    EditFixture f;
    f.Style.SetEditBorderStyle(ebs3D);
    f.Style.SetHotTrack(false);
    f.Style.SetTransparentBorder(false);
    for (int i = 0; i < 3; ++i) f.Properties.Buttons()->Add()->SetWidth(20);
    f.Properties.Buttons()->Items(0)->SetLeftAlignment(true);
    f.Calculate(TRect{0, 0, 100, 21});
    ASSERT_EQ(f.ViewInfo.ButtonCount(), 3);
    // Border 2 (3-D): the left button at 2, the right ones from the right edge in.
    EXPECT_EQ(f.ViewInfo.Button(0)->Bounds, (TRect{2, 2, 22, 19}));
    EXPECT_EQ(f.ViewInfo.Button(2)->Bounds, (TRect{78, 2, 98, 19}));
    EXPECT_EQ(f.ViewInfo.Button(1)->Bounds, (TRect{58, 2, 78, 19}));
    EXPECT_EQ(f.ViewInfo.ContentRect, (TRect{22, 2, 58, 19}));
    EXPECT_TRUE(f.ViewInfo.Button(0)->HasLeftEdge);
    EXPECT_TRUE(f.ViewInfo.Button(0)->HasRightEdge);
    EXPECT_TRUE(f.ViewInfo.Button(1)->HasLeftEdge);
    EXPECT_TRUE(f.ViewInfo.Button(2)->HasRightEdge);
    EXPECT_EQ(f.ViewInfo.Button(0)->ButtonStyle, bts3D);

    // Too narrow: the full width kept, the visible part clipped.
    EditFixture n;
    n.Style.SetHotTrack(false);
    n.Style.SetTransparentBorder(false);
    n.Style.SetEditBorderStyle(ebsSingle);
    n.Properties.Buttons()->Add()->SetWidth(30);
    n.Calculate(TRect{0, 0, 20, 21});
    EXPECT_EQ(n.ViewInfo.Button(0)->Bounds.Right - n.ViewInfo.Button(0)->Bounds.Left, 30 + 1);
    EXPECT_EQ(n.ViewInfo.Button(0)->VisibleBounds, (TRect{1, 1, 19, 20}));
    // The hot-flat button next to the text overlaps it by one pixel.
    EXPECT_EQ(n.ViewInfo.Button(0)->ButtonStyle, btsHotFlat);
    EXPECT_EQ(n.ViewInfo.Button(0)->Bounds.Left, 19 - 30 - 1);
}

TEST(EditViewData, ButtonStates)
{
    struct Case {
        const char* Name;
        TPoint P;
        int Button;
        TShiftState Shift;
        int Before;   // state before, -1 for a fresh view info
        int State;
    };
    const Case cases[] = {
        {"away", {5, 10}, 0, {}, -1, ebsNormal},
        {"over", {90, 10}, 0, {}, -1, ebsHot},
        {"over with a key held", {90, 10}, 0, {ssShift}, -1, ebsNormal},
        {"left down", {90, 10}, 1, {ssLeft}, -1, ebsPressed},
        {"double click", {90, 10}, 1, {ssLeft, ssDouble}, -1, ebsPressed},
        {"right down", {90, 10}, 2, {ssRight}, -1, ebsNormal},
        {"held and moved", {92, 8}, 0, {ssLeft}, ebsPressed, ebsPressed},
        {"dragged away", {5, 10}, 0, {ssLeft}, ebsPressed, ebsNormal},
    };
    for (const Case& c : cases) {
        EditFixture f;
        f.Properties.Buttons()->Add()->SetWidth(17);
        if (c.Before >= 0) {
            f.Calculate(TRect{0, 0, 100, 21}, TPoint{90, 10}, 1, {ssLeft}, false, false, true);
            ASSERT_EQ(f.ViewInfo.Button(0)->State, c.Before) << c.Name;
        }
        f.Calculate(TRect{0, 0, 100, 21}, c.P, c.Button, c.Shift, false, false, true);
        EXPECT_EQ(f.ViewInfo.Button(0)->State, c.State) << c.Name;
    }
    EditFixture d;
    d.Properties.Buttons()->Add();
    auto data = d.Data();
    data->Enabled = false;
    data->Calculate(nullptr, TRect{0, 0, 100, 21}, TPoint{90, 10}, 0, {}, &d.ViewInfo, false);
    EXPECT_EQ(d.ViewInfo.Button(0)->State, ebsDisabled);
    EXPECT_EQ(d.ViewInfo.FillColor, clBtnFace);
}

TEST(EditViewData, TransparencyPopupBorderAndSize)
{
    EditFixture f;
    f.Properties.Buttons()->Add();
    f.Style.SetButtonTransparency(ebtHideInactive);
    f.Calculate(TRect{0, 0, 100, 21});
    EXPECT_EQ(f.ViewInfo.ButtonCount(), 0);
    f.Calculate(TRect{0, 0, 100, 21}, TPoint{-1, -1}, 0, {}, true);
    EXPECT_EQ(f.ViewInfo.ButtonCount(), 1);
    f.Style.SetButtonTransparency(ebtHideUnselected);
    f.Calculate(TRect{0, 0, 100, 21}, TPoint{50, 10});
    EXPECT_EQ(f.ViewInfo.ButtonCount(), 1);
    f.Calculate(TRect{0, 0, 100, 21}, TPoint{500, 10});
    EXPECT_EQ(f.ViewInfo.ButtonCount(), 0);

    EditFixture p;
    p.Style.SetEditBorderStyle(ebsFlat);
    p.Style.SetHotTrack(false);
    p.Calculate(TRect{0, 0, 100, 21});
    EXPECT_EQ(p.ViewInfo.PopupBorderStyle, epbsFlat);
    p.Style.SetEditBorderStyle(ebs3D);
    p.Calculate(TRect{0, 0, 100, 21});
    EXPECT_EQ(p.ViewInfo.PopupBorderStyle, epbsSingle);
    p.Style.LookAndFeel()->SetKind(lfStandard);
    p.Calculate(TRect{0, 0, 100, 21}, TPoint{-1, -1}, 0, {}, false, true);
    EXPECT_EQ(p.ViewInfo.PopupBorderStyle, epbsFrame3D);

    // Borders and a 17-pixel button around an empty content.
    EditFixture s;
    s.Properties.Buttons()->Add()->SetWidth(17);
    auto d = s.Data();
    TSize size = d->GetEditSize(nullptr, Variant(), TcxEditSizeProperties{});
    EXPECT_EQ(size, (TSize{2 + 17 + 2, 4}));
    TSize limited = d->GetEditSize(nullptr, Variant(), TcxEditSizeProperties{0, 10});
    EXPECT_EQ(limited.cx, 10);

    EXPECT_EQ(cxEditUtils::GetEditBorderWidth(cbsThick), 2);
    EXPECT_EQ(cxEditUtils::GetEditBorderWidth(cbsUltraFlat), 1);
}

// A few edits in the four looks, with Chinese text, for the eye:
// written to the test output folder as editors_looks.png.
TEST(EditViewData, PaintsTheFourLooks)
{
    TBitmap bmp;
    bmp.SetSize(300, 170);
    TcxCanvas canvas(bmp.Canvas());
    canvas.FillRect(TRect{0, 0, 300, 170}, clBtnFace);
    const char* texts[4] = {"驾校学员 张三", "科目二 预约", "教练：李四", "2026-12-10"};
    const TcxLookAndFeelKind kinds[4] = {lfStandard, lfFlat, lfUltraFlat, lfStandard};
    const TcxEditButtonKind buttons[4] = {bkDown, bkEllipsis, bkDown, bkEllipsis};
    int ellipsisPixels = 0;
    for (int i = 0; i < 4; ++i) {
        EditFixture f;
        f.Style.LookAndFeel()->SetKind(kinds[i]);
        if (i == 3) f.Style.LookAndFeel()->SetNativeStyle(true);   // classic here: no themes
        f.Style.Font()->SetName("宋体");
        f.Style.Font()->SetSize(10);
        f.Properties.Buttons()->Add()->SetKind(buttons[i]);
        TRect r{10, 10 + i * 38, 290, 10 + i * 38 + 24};
        f.Calculate(r, TPoint{-1, -1}, 0, {}, i == 2);
        f.ViewInfo.Paint(&canvas);
        bmp.Canvas()->Font()->Assign(f.Style.Font());
        TRect text = f.ViewInfo.ContentRect;
        cxEditTextUtils::DrawEditText(bmp.Canvas(), texts[i], text, 2, 2, 0,
                                      cxSingleLine | cxAlignVCenter);
        if (buttons[i] == bkEllipsis) {
            const TRect& b = f.ViewInfo.Button(0)->Bounds;
            for (int y = b.Top; y < b.Bottom; ++y)
                for (int x = b.Left; x < b.Right; ++x)
                    if (ColorToRGB(bmp.Canvas()->Pixels(x, y)) == ColorToRGB(clBtnText)) ++ellipsisPixels;
        }
    }
    EXPECT_EQ(ellipsisPixels, 2 * 12);   // two ellipsis buttons of three 2 x 2 dots
    EXPECT_TRUE(GuiTest::SavePng(&bmp, std::string(QZ_BINARY_DIR) + "/editors_looks.png"));
}
