// Layout and painting of three recurring editor pieces: the check mark box
// of check boxes and radio groups, the frame of drop-down popup windows with
// their system panel, size grip and close button, and spin buttons. The
// editors that show them own the view infos; these routines take what they
// need of them as small records.
#pragma once

#include "Graphics.h"
#include "cxEdit.h"
#include "cxEditPaintUtils.h"
#include "cxGraphics.h"

#include <string>

enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
// How a grayed (Null) value shows.
enum TcxCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };
enum TcxSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };

// What a check box paints.
struct TcxCheckBoxPaintData {
    TRect Bounds;               // the client area
    TRect CheckRect;            // the mark box
    TcxCheckBoxState State = cbsUnchecked;
    int ButtonState = 0;        // 0 normal, 1 hot, 2 pressed, 3 disabled
    bool Focused = false;
    bool AllowGrayed = true;
    TcxCheckBoxNullValueShowingStyle NullValueShowingStyle = nssGrayedChecked;
    TcxEditBorderStyle BorderStyle = ebs3D;
    bool HotTracked = false;    // the ultra-flat frame shows as hot
    bool DrawBackgroundFrame = false;
    TColor BackgroundColor = clWindow;
    TColor BorderColor = clBtnShadow;
    bool Transparent = false;
    TBitmap* Glyph = nullptr;   // a strip of GlyphCount images, or none
    int GlyphCount = 0;
    std::string Caption;
    TRect TextRect;
    TFont* Font = nullptr;
    TColor TextColor = clWindowText;
    TRect FocusRect;            // set by CalculateCheckBoxFocusRect
};

// What the popup window layout reads and fills.
struct TcxPopupWindowLayout {
    TRect Bounds;
    bool Native = false;
    bool Shadow = false;
    TcxEditPopupBorderStyle BorderStyle = epbsSingle;
    bool ClientEdge = false;
    bool SysPanel = false;
    bool Sizeable = false;
    int SizeGripCorner = 3;     // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
    bool CloseButton = false;
    TcxButtonState CloseButtonState = cxbsNormal;
    // Results.
    TRect ClientRect;
    int SysPanelHeight = 0;
    int SizingOffset = 0;
    TRect SizingRegionBounds;
    TRect SizeGripSizingRect;
    TRect SizeGripRect;
    TRect CloseButtonRect;
    TRect SysPanelRect;
};

// What a spin button paints.
struct TcxSpinButtonPaintData {
    TRect BorderRect;            // the edit's border rectangle
    int Index = 0;               // 0, 1: the pair; 2, 3: the fast buttons
    int ButtonCount = 2;
    TcxSpinEditButtonsPosition Position = sbpVert;
    TcxButtonState State = cxbsNormal;
    bool Inplace = false;
    bool Transparent = false;
    TColor BackgroundColor = clWindow;   // the edit's background
    TColor ButtonBackgroundColor = clBtnFace;
    int ArrowSize = 4;
};

namespace cxEditUtils {

// ---- check box ----
// The size of one image of the system check-box strip.
TSize GetSystemCheckBoxSize();
// A custom glyph strip's image size, else the system check box's.
TSize GetCheckBoxSize(TBitmap* AGlyph, int AGlyphCount);
// The theme state of the mark (0 without theme).
int GetCheckBoxThemeState(TcxCheckBoxState AState, int AButtonState, TcxCheckBoxNullValueShowingStyle ANullStyle);
// The image of a custom glyph strip: the check state, plus 3 while
// pressed, wrapped back below the image count.
int GetCheckBoxGlyphIndex(TcxCheckBoxState AState, bool APressed, int AGlyphCount);
// The caption's text rectangle inflated by 1 and kept in the client area
// (empty without a focused caption).
TRect CalculateCheckBoxFocusRect(const TcxCheckBoxPaintData& AData);
void DrawCheckBox(TcxCanvas* ACanvas, const TcxCheckBoxPaintData& AData);

// ---- popup window ----
int GetPopupWindowBorderWidth(const TcxPopupWindowLayout& ALayout, bool AClientEdge);
TRect GetPopupWindowBorderExtent(TcxPopupWindowLayout& ALayout);
int GetPopupWindowSysPanelHeight(const TcxPopupWindowLayout& ALayout);
void CalculatePopupWindowViewInfo(TcxPopupWindowLayout& ALayout);
void DrawPopupWindowBorder(TcxCanvas* ACanvas, const TcxPopupWindowLayout& ALayout, TRect& R);
void DrawPopupWindowFrame(TcxCanvas* ACanvas, const TcxPopupWindowLayout& ALayout);

// ---- spin buttons ----
// The frame kind of a hot-flat or ultra-flat spin button (see the drawing).
int GetSpinButtonFrameKind(bool AUltraFlat, int AIndex, int AButtonCount, TcxSpinEditButtonsPosition APosition);
// The arrows' direction of a button.
TcxArrowDirection GetSpinButtonArrowDirection(int AIndex, TcxSpinEditButtonsPosition APosition);
// Draws the frame of a hot-flat or ultra-flat spin button and returns the
// content rectangle; AFill is the content's fill colour.
TRect DrawSpinEditButtonFrame(TcxCanvas* ACanvas, const TcxSpinButtonPaintData& AData, TRect R,
                              TcxEditButtonStyle AStyle, TColor AFill);
// The fill colour of a hot-flat or ultra-flat spin button.
TColor GetSpinButtonFillColor(const TcxSpinButtonPaintData& AData, TcxEditButtonStyle AStyle);
void DrawSpinEditButton(TcxCanvas* ACanvas, const TcxSpinButtonPaintData& AData, TRect R, TcxEditButtonStyle AStyle);
void DrawSpinEditButtonContent(TcxCanvas* ACanvas, const TcxSpinButtonPaintData& AData, const TRect& R,
                               TColor AFill, TColor AContent);

}  // namespace cxEditUtils
