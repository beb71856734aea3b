#include "cxEditUtils.h"

#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include "EditSurface.h"

#include <gtest/gtest.h>

using namespace cxEditUtils;

namespace {

using Surface = TEditTestSurface;

}  // namespace

TEST(CheckBoxPainting, StatesAndGlyphImages)
{
    // Theme states: unchecked 1-4, checked 5-8, grayed by how it shows.
    EXPECT_EQ(GetCheckBoxThemeState(cbsUnchecked, 0, nssGrayedChecked), 1);
    EXPECT_EQ(GetCheckBoxThemeState(cbsChecked, 3, nssGrayedChecked), 8);
    EXPECT_EQ(GetCheckBoxThemeState(cbsGrayed, 1, nssUnchecked), 2);
    EXPECT_EQ(GetCheckBoxThemeState(cbsGrayed, 2, nssInactive), 4);
    EXPECT_EQ(GetCheckBoxThemeState(cbsGrayed, 2, nssGrayedChecked), 11);
    // Six images show the pressed ones while pressed; three wrap back.
    EXPECT_EQ(GetCheckBoxGlyphIndex(cbsChecked, true, 6), 4);
    EXPECT_EQ(GetCheckBoxGlyphIndex(cbsChecked, true, 3), 1);
    EXPECT_EQ(GetCheckBoxGlyphIndex(cbsGrayed, false, 3), 2);
    TBitmap strip;
    strip.SetSize(60, 12);
    EXPECT_EQ(GetCheckBoxSize(&strip, 6).cx, 10);
    EXPECT_EQ(GetCheckBoxSize(nullptr, 0).cx, 13);
}

TEST(CheckBoxPainting, MarksAndFocus)
{
    GuiTest::Init();
    struct Case {
        TcxCheckBoxState State;
        bool AllowGrayed;
        TcxEditBorderStyle Border;
        int Ticks;   // tick pixels (7 columns of 3)
    };
    const Case cases[] = {
        {cbsChecked, true, ebs3D, 21},
        {cbsUnchecked, true, ebs3D, 0},
        {cbsGrayed, true, ebsSingle, 21},    // grayed shown checked, in grey
        {cbsGrayed, false, ebsSingle, 0},    // grayed not allowed: an empty mark
        {cbsChecked, true, ebsUltraFlat, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.State) * 10 + int(c.Border));
        Surface s(40, 20);
        TcxCheckBoxPaintData d;
        d.Bounds = TRect{0, 0, 40, 20};
        d.CheckRect = TRect{2, 3, 15, 16};
        d.State = c.State;
        d.AllowGrayed = c.AllowGrayed;
        d.BorderStyle = c.Border;
        DrawCheckBox(s.Canvas.get(), d);
        TRect mark{4, 5, 13, 14};
        TColor tick = c.State == cbsGrayed ? clBtnShadow : (c.Border == ebsUltraFlat ? clBtnText : clWindowText);
        EXPECT_EQ(s.Count(tick, mark), c.Ticks);
        // The rest of the mark is the window colour.
        EXPECT_EQ(s.Count(clWindow, mark), 81 - c.Ticks);
    }
    TcxCheckBoxPaintData d;
    d.Bounds = TRect{0, 0, 40, 20};
    d.Focused = true;
    d.Caption = "是";
    d.TextRect = TRect{18, 0, 40, 18};
    TRect f = CalculateCheckBoxFocusRect(d);
    EXPECT_EQ(f.Left, 17);
    EXPECT_EQ(f.Top, 0);
    EXPECT_EQ(f.Right, 40);
    EXPECT_EQ(f.Bottom, 19);
}

TEST(PopupWindowLayout, BordersPanelGripAndCloseButton)
{
    TcxPopupWindowLayout l;
    l.Bounds = TRect{100, 100, 300, 250};
    struct Width {
        TcxEditPopupBorderStyle Style;
        bool ClientEdge;
        int Expected;
    };
    for (Width w : {Width{epbsDefault, false, 0}, Width{epbsSingle, false, 1}, Width{epbsFrame3D, false, 4},
                    Width{epbsFlat, false, 2}, Width{epbsSingle, true, 3}, Width{epbsFlat, true, 3}}) {
        l.BorderStyle = w.Style;
        EXPECT_EQ(GetPopupWindowBorderWidth(l, w.ClientEdge), w.Expected) << int(w.Style);
    }
    l.Native = true;
    EXPECT_EQ(GetPopupWindowBorderWidth(l, true), 3);
    l.Native = false;

    // A grip at the bottom right: the panel at the bottom, the close button at its left end.
    l.BorderStyle = epbsSingle;
    l.Shadow = true;
    l.SysPanel = l.Sizeable = l.CloseButton = true;
    l.SizeGripCorner = 3;
    CalculatePopupWindowViewInfo(l);
    int h = l.SysPanelHeight;
    EXPECT_EQ(h, std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE)));
    EXPECT_EQ(l.ClientRect.Left, 1);
    EXPECT_EQ(l.ClientRect.Top, 1);
    EXPECT_EQ(l.ClientRect.Right, 200 - 1 - 3);
    EXPECT_EQ(l.ClientRect.Bottom, 150 - 1 - 3 - h - 1);
    EXPECT_EQ(l.SizingRegionBounds.Right, 196);
    EXPECT_EQ(l.SizingRegionBounds.Bottom, 146);
    EXPECT_EQ(l.SizeGripSizingRect.Right, 196);
    EXPECT_EQ(l.SizeGripSizingRect.Bottom, 146);
    EXPECT_EQ(l.SizeGripSizingRect.Right - l.SizeGripSizingRect.Left, h - 2);
    EXPECT_EQ(l.CloseButtonRect.Left, 1 + 3);
    EXPECT_EQ(l.CloseButtonRect.Bottom, 146 - 2);
    EXPECT_EQ(l.CloseButtonRect.Right - l.CloseButtonRect.Left, h - 4);
    EXPECT_GE(l.CloseButtonRect.Top, l.ClientRect.Bottom);
    // A grip at the top left: the panel on top, the close button at the right end.
    l.SizeGripCorner = 0;
    CalculatePopupWindowViewInfo(l);
    EXPECT_EQ(l.ClientRect.Top, 1 + h + 1);
    EXPECT_EQ(l.SizeGripSizingRect.Left, 1);
    EXPECT_EQ(l.SizeGripSizingRect.Top, 1);
    EXPECT_EQ(l.CloseButtonRect.Right, 196 - 3);
    EXPECT_EQ(l.CloseButtonRect.Top, 1 + 2);

    GuiTest::Init();
    cxLookAndFeelPainters::Initialize();
    Surface s(200, 150);
    l.SizeGripCorner = 3;
    CalculatePopupWindowViewInfo(l);
    DrawPopupWindowFrame(s.Canvas.get(), l);
    EXPECT_EQ(s.At(0, 50), ColorToRGB(clBtnText));        // the single border
    EXPECT_EQ(s.At(198, 50), ColorToRGB(clBtnShadow));    // the shadow
    EXPECT_EQ(s.At(50, l.SysPanelRect.Top - 1), ColorToRGB(clBtnText));   // the panel's line
    EXPECT_EQ(s.At(50, 50), ColorToRGB(clBtnFace));       // the client area
    EXPECT_GT(s.Count(clBtnHighlight, l.SizeGripSizingRect), 0);          // the grip's lines
    // For the eye: editors_popup_frame.png in the build folder.
    GuiTest::SavePng(&s.Bitmap, "editors_popup_frame.png");
}

TEST(SpinButtonPainting, FrameKindsArrowsAndFrames)
{
    // The frame kinds by style, button count, index and position.
    EXPECT_EQ(GetSpinButtonFrameKind(false, 0, 2, sbpVert), 7);
    EXPECT_EQ(GetSpinButtonFrameKind(false, 1, 2, sbpHorzRight), 2);
    EXPECT_EQ(GetSpinButtonFrameKind(false, 2, 4, sbpHorzRight), 3);
    EXPECT_EQ(GetSpinButtonFrameKind(true, 0, 2, sbpVert), 6);
    EXPECT_EQ(GetSpinButtonFrameKind(true, 1, 4, sbpVert), 3);
    EXPECT_EQ(GetSpinButtonFrameKind(true, 3, 4, sbpHorzLeftRight), 2);
    EXPECT_EQ(GetSpinButtonArrowDirection(0, sbpVert), adDown);
    EXPECT_EQ(GetSpinButtonArrowDirection(1, sbpVert), adUp);
    EXPECT_EQ(GetSpinButtonArrowDirection(0, sbpHorzRight), adLeft);
    EXPECT_EQ(GetSpinButtonArrowDirection(3, sbpVert), adRight);

    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    // A vertical pair: the down arrow on button 0 (below), the up arrow on button 1.
    Surface s(17, 21);
    TcxSpinButtonPaintData d;
    d.BorderRect = TRect{0, 0, 17, 21};
    d.Index = 0;
    TRect down{0, 10, 17, 21}, up{0, 0, 17, 10};
    DrawSpinEditButton(s.Canvas.get(), d, down, btsHotFlat);
    d.Index = 1;
    DrawSpinEditButton(s.Canvas.get(), d, up, btsHotFlat);
    // Kind 7 (down) is open at the top, kind 6 (up) a full frame.
    EXPECT_EQ(s.At(8, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(s.At(0, 15), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.At(8, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.At(8, 9), ColorToRGB(clBtnShadow));
    // The arrows: widest row at the top for down, at the bottom for up.
    auto rowCount = [&](int y) {
        int n = 0;
        for (int x = 0; x < 17; ++x) n += s.At(x, y) == ColorToRGB(clBtnText);
        return n;
    };
    int firstDown = 11, lastUp = 8;
    while (firstDown < 20 && rowCount(firstDown) == 0) ++firstDown;
    while (lastUp > 1 && rowCount(lastUp) == 0) --lastUp;
    EXPECT_GT(rowCount(firstDown), rowCount(firstDown + 1));
    EXPECT_GT(rowCount(lastUp), rowCount(lastUp - 1));
    GuiTest::SavePng(&s.Bitmap, "editors_spin_buttons.png");

    // Ultra-flat, hot, stand-alone, kind 6 at the border's left: the top
    // line in the highlight, the bottom line and the right side in the fill.
    Surface u(17, 10);
    d.Index = 0;
    d.State = cxbsHot;
    d.BorderRect = TRect{0, 0, 17, 10};
    TColor fill = GetSpinButtonFillColor(d, btsUltraFlat);
    DrawSpinEditButton(u.Canvas.get(), d, TRect{0, 0, 17, 10}, btsUltraFlat);
    EXPECT_EQ(u.At(8, 0), ColorToRGB(clHighlight));
    EXPECT_EQ(u.At(8, 9), ColorToRGB(fill));
    EXPECT_EQ(u.At(16, 5), ColorToRGB(fill));
    EXPECT_EQ(u.At(0, 5), ColorToRGB(fill));
}
