// The themed look: the elements drawn with the system's visual styles, each
// falling back to the standard (or base) drawing when its theme does not
// open.
#pragma once

#include "cxLookAndFeelPainters.h"
#include "dxThemeManager.h"

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
    QZ_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
public:
    static TcxCustomLookAndFeelPainterClass Instance();

    int PainterKind() const override { return 3; }
    TColor DefaultGlyphColor() const override { return TColor(0x800000); }
    int FrameWidth() const override;
    int ButtonFrameWidth(TcxButtonState AState = cxbsNormal) const override;
    TColor ButtonFaceColor(TcxButtonState AState) const override;
    TRect ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const override;
    TRect ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const override;
    int ButtonCaptionOffset() const override { return 2; }
    int ButtonPressedShift() const override { return 0; }
    TColor ButtonGlyphColor(TcxButtonState AState) const override;
    bool ExpandBoxFlag() const override { return false; }
    int ExpandBoxSize() const override;
    int GroupChevronButtonSize() const override;
    bool HotTrackButtons() const override { return true; }
    bool IsPointInGroupChevronButton(const TRect& R, const TPoint& P) const override;
    int SmallExpandBoxSize() const override;
    int CheckFrameWidth() const override;
    int HeaderFrameWidth() const override;
    bool HeaderFlag() const override { return false; }
    bool HeaderHotTrack() const override { return true; }
    TPoint SortMarkSize() const override { return {7, 8}; }
    int FooterFrameWidth() const override { return 1; }
    int FooterCellFrameWidth() const override;
    int FooterCellOffset() const override { return 1; }
    bool FooterFlag() const override { return false; }
    TPoint FilterActivateButtonSize() const override;
    TPoint FilterCloseButtonSize() const override;
    TPoint ButtonSize117() const override { return {15, 15}; }
    TPoint AutoHideButtonSize() const override;
    int TabContentOffset() const override;
    int TabsAreaOffset() const override;
    int TabFrameWidth(bool AVertical = false) const override { return 1; }

    void DrawScrollArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, TcxPainterArrow AArrowDirection,
                         bool AWithFrame = true) const override;
    void DrawArrowButtonFace(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
    void DrawFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void PaintButton(TcxCanvas* ACanvas, TRect R, const std::string& ACaption, TcxButtonState AState,
                     bool AWithFrame = true, TColor ABkColor = clDefault, TColor ATextColor = clDefault) const override;
    void DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor = clDefault) const override;
    void DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                TcxButtonState AState) const override;
    void DrawSmallExpandBox(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                            TColor AColor = clDefault) const override;
    void DrawCheckMark(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                       TColor AColor) const override;
    void DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
    void DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AState, bool AChecked, bool AFocused,
                         TColor ABkColor, bool AIsDesigning = false) const override;
    void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                    const std::string& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                    const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const override {}
    void DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
    void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                        TcxAlignmentVert AAlignmentVert, bool AMultiLine, const std::string& AText, TFont* AFont,
                        TColor ATextColor, TColor ABkColor,
                        const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                  bool AIsFilterActive) const override;
    void DrawCrossGlyphButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawAutoHideButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState, bool AAlternate,
                            TColor ABkColor) const override;
    void DrawTab(TcxCanvas* ACanvas, TRect R, TcxBorders ABorders, const std::string& AText, TcxButtonState AState,
                 bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
    void DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                      bool AVertical) const override;
    void DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
    void DrawIndicatorCell(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor ABkColor,
                           const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                           TcxButtonState AState) const override;

    // Added by this look.
    virtual void DrawThemedText(TcxCanvas* ACanvas, HTHEME ATheme, int APartId, int AStateId, const TRect& R,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                TColor ATextColor) const;
};

namespace cxLookAndFeelPainters {
// Theme state of a push button.
int ButtonStateToThemeState(TcxButtonState AState);
// Theme text flags of the alignment and line options.
DWORD ThemedTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                      bool AShowEndEllipsis);
// A 32-bit bitmap turned a quarter turn counter-clockwise, onto itself.
void RotateBitmapCounterClockwise(TBitmap* ABitmap);
// A 32-bit bitmap with rows and columns exchanged, onto itself.
void TransposeBitmap(TBitmap* ABitmap);
}  // namespace cxLookAndFeelPainters
