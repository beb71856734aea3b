// The drawing rules of the looks. A painter is a table of class-level
// operations: default colours, metrics and the drawing of every recurring
// element. One instance per painter class exists (Instance()); controls hold
// the painter "class" and call its operations with a TcxCanvas. Overrides in
// a descendant reach the other operations of the most derived painter.
#pragma once

#include "Classes.h"   // TAlignment
#include "cxClasses.h"
#include "cxGraphics.h"
#include "cxStyles.h"

#include <functional>
#include <string>

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };
enum TcxPainterArrow { paUp, paDown, paLeft, paRight };
enum TcxNeighbor { nLeft, nTop, nRight, nBottom };
using TcxNeighbors = TSet<TcxNeighbor, 8>;
enum TcxScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };
enum TcxIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow };
enum TcxHeaderArrows { haNone, haLeft, haRight, haBoth };

// True when the caller painted the background itself.
using TcxDrawBackgroundEvent = std::function<bool(TcxCanvas* ACanvas, const TRect& ABounds)>;

class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

class TcxCustomLookAndFeelPainter : public TObject {
    QZ_CLASS(TcxCustomLookAndFeelPainter, TObject)
public:
    static TcxCustomLookAndFeelPainterClass Instance();

    // ---- content
    virtual void DrawFilterDropDownGlyph(TcxCanvas* ACanvas, const TRect& R, TColor AColor) const;
    virtual void DrawContent(TcxCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                             TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                             bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                             TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual TRect FooterCellContentBounds(const TRect& R) const;
    virtual TRect FooterCellTextAreaBounds(const TRect& R) const;
    virtual int PainterKind() const { return 1; }

    // ---- default colours
    virtual TColor DefaultColor5() const { return TColor(0xF0FBFF); }
    virtual TColor DefaultColor6() const { return clWindowText; }
    virtual TColor DefaultColor7() const { return TColor(0xF0FBFF); }
    virtual TColor DefaultColor8() const { return clWindowText; }
    virtual TColor DefaultColor9() const { return clBtnShadow; }
    virtual TColor DefaultColor10() const { return clWindowText; }
    virtual TColor DefaultGlyphColor() const { return clWindowText; }
    virtual TColor DefaultColor12() const { return clWindowText; }
    virtual TColor DefaultColor13() const { return TColor(0x00FF00); }
    virtual TColor DefaultColor14() const { return clWindow; }
    virtual TColor DefaultColor15() const { return TColor(0x00FF00); }
    virtual TColor DefaultColor16() const { return clWindowText; }
    virtual TColor ContentColor() const { return clWindow; }
    virtual TColor ContentTextColor() const { return clWindowText; }
    virtual TColor DefaultColor19() const { return clBtnFace; }
    virtual TColor DefaultColor20() const { return clBtnFace; }
    virtual TColor DefaultColor21() const { return clHighlight; }
    virtual TColor DefaultColor22() const { return clHighlightText; }
    virtual TColor FilterBoxColor() const { return clBtnShadow; }
    virtual TColor FilterBoxTextColor() const { return clBtnHighlight; }
    virtual TColor DefaultColor25() const { return clBtnText; }
    virtual TColor FooterColor() const { return clBtnFace; }
    virtual TColor FooterTextColor() const { return clBtnText; }
    virtual TColor DefaultColor28() const { return clBtnShadow; }
    virtual TColor GroupColor() const { return clBtnFace; }
    virtual TColor GroupTextColor() const { return clBtnText; }
    virtual TColor GroupByBoxColor() const { return clBtnShadow; }
    virtual TColor GroupByBoxTextColor() const { return clBtnFace; }
    virtual TColor HeaderColor() const { return clBtnFace; }
    virtual TColor HeaderTextColor() const { return clBtnText; }
    virtual TColor BandBackgroundColor() const { return clBtnShadow; }
    virtual TColor BandBackgroundTextColor() const { return clBtnFace; }
    virtual TColor InactiveColor() const { return clBtnFace; }
    virtual TColor InactiveTextColor() const { return clBtnText; }
    virtual TColor DefaultColor39() const { return clBtnFace; }
    virtual TColor DefaultColor40() const { return TColor(0x0000FF); }
    virtual TColor PreviewTextColor() const { return TColor(0xFF0000); }
    virtual TColor DefaultColor42() const { return DefaultColor28(); }
    virtual TColor SelectionColor() const { return clHighlight; }
    virtual TColor SelectionTextColor() const { return clHighlightText; }
    virtual TColor DefaultColor45() const { return clBtnFace; }
    virtual TColor TabColor() const { return clBtnFace; }
    virtual TColor TabTextColor() const { return clBtnText; }
    virtual TColor TabsBackgroundColor() const { return clBtnFace; }

    // ---- arrows
    virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxPainterArrow AArrowDirection, TColor AColor) const;
    virtual void DrawScrollArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                 TcxPainterArrow AArrowDirection, bool AWithFrame = true) const;
    virtual void DrawArrowButtonFace(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
    virtual void DrawScrollBarArrow(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                    TcxPainterArrow AArrowDirection) const;

    // ---- control frame
    virtual int FrameWidth() const { return 0; }
    virtual void DrawFrame(TcxCanvas* ACanvas, const TRect& R) const {}

    // ---- buttons
    virtual int ButtonFrameWidth(TcxButtonState AState = cxbsNormal) const { return 0; }
    virtual TColor ButtonFaceColor(TcxButtonState AState) const { return clBtnFace; }
    virtual TRect ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const;
    virtual TRect ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const;
    virtual int ButtonCaptionOffset() const { return 0; }
    virtual int ButtonPressedShift() const { return 0; }
    virtual TColor ButtonGlyphColor(TcxButtonState AState) const;
    virtual TcxButtonState ButtonGlyphState(TcxButtonState AState) const { return AState; }
    virtual void PaintButton(TcxCanvas* ACanvas, TRect R, const std::string& ACaption, TcxButtonState AState,
                             bool AWithFrame = true, TColor ABkColor = clDefault,
                             TColor ATextColor = clDefault) const;
    virtual void PaintGroupedButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState, int AButtonCount,
                                    int AButtonIndex, TColor ABorderColor) const;
    virtual void DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {}
    virtual void DrawNavigatorFrame(TcxCanvas* ACanvas, const TRect& R, bool AFocused, bool ASelected) const {}

    // ---- expand buttons
    virtual void DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor = clDefault) const {}
    virtual bool ExpandBoxFlag() const { return true; }
    virtual void DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                        TcxButtonState AState) const;
    virtual void DrawSmallExpandBox(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                    TColor AColor = clDefault) const;
    virtual int ExpandBoxSize() const { return 0; }
    virtual int GroupChevronButtonSize() const { return 15; }
    virtual bool HotTrackButtons() const { return false; }
    virtual bool IsPointInGroupChevronButton(const TRect& R, const TPoint& P) const { return PtInRect(R, P); }
    virtual int SmallExpandBoxSize() const { return 9; }

    // ---- check boxes and radio buttons
    virtual int CheckFrameWidth() const { return 2; }
    virtual TColor CheckFaceColor(TcxButtonState AState) const;
    virtual void DrawCheckMark(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                               TColor AColor) const;
    virtual void DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {}
    virtual void DrawCheckBox(TcxCanvas* ACanvas, TRect R, TcxButtonState AState, bool AChecked) const;
    virtual void DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AState, bool AChecked,
                                 bool AFocused, TColor ABkColor, bool AIsDesigning = false) const;

    // ---- headers
    virtual void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                            TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                            bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                            TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                              TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                              TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                              bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                              TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                 TcxBorders ABorders) const {}
    virtual void DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const;
    virtual void DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {}
    virtual TcxBorders HeaderSides(TcxNeighbors ANeighbors) const { return cxBordersAll; }
    virtual int HeaderFrameWidth() const { return 0; }
    virtual TRect HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors, TcxBorders ABorders) const;
    virtual TRect HeaderContentBounds(const TRect& ABounds, TcxBorders ABorders) const;
    virtual bool HeaderFlag() const { return true; }
    virtual int HeaderHeight(int AFontHeight) const;
    virtual int HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders, const std::string& AText, TFont* AFont) const;
    virtual bool HeaderHotTrack() const { return false; }
    virtual TPoint SortMarkAreaSize() const;
    virtual TPoint SortMarkSize() const { return {0, 0}; }

    // ---- footers
    virtual void DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                                TcxAlignmentVert AAlignmentVert, bool AMultiLine, const std::string& AText,
                                TFont* AFont, TColor ATextColor, TColor ABkColor,
                                const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual TcxBorders FooterSides() const { return cxBordersAll; }
    virtual int FooterFrameWidth() const { return 0; }
    virtual int FooterCellFrameWidth() const { return 0; }
    virtual int FooterCellOffset() const { return 0; }
    virtual bool FooterFlag() const { return true; }
    virtual TColor FooterSeparatorColor() const { return clBtnShadow; }
    virtual int FooterSeparatorSize() const { return 1; }
    virtual void DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const {}
    virtual void DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const {}
    virtual void DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const;

    // ---- filter-panel and small glyph buttons
    virtual void DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                          bool AChecked) const;
    virtual void DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const;
    virtual void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                          bool AIsFilterActive) const {}
    virtual TPoint FilterActivateButtonSize() const { return {13, 13}; }
    virtual TPoint FilterCloseButtonSize() const { return {16, 14}; }
    virtual TPoint FilterDropDownButtonWidth() const { return {15, 0}; }
    virtual bool FilterFlag() const { return true; }
    virtual TPoint ButtonSize115() const { return {16, 14}; }
    virtual TPoint ButtonSize116() const { return {16, 14}; }
    virtual TPoint ButtonSize117() const { return {13, 13}; }
    virtual TPoint AutoHideButtonSize() const { return {16, 14}; }
    virtual TPoint ButtonSize119() const { return {16, 14}; }
    virtual void DrawCrossGlyphButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const;
    virtual void DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const;
    virtual void DrawAutoHideButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState, bool AAlternate,
                                    TColor ABkColor) const;

    // ---- tabs
    virtual void DrawTab(TcxCanvas* ACanvas, TRect R, TcxBorders ABorders, const std::string& AText,
                         TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor,
                         TColor ABkColor) const {}
    virtual void DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                              bool AVertical) const {}
    virtual void DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const {}
    virtual int TabContentOffset() const { return 0; }
    virtual int TabsAreaOffset() const { return 0; }
    virtual int TabFrameWidth(bool AVertical = false) const { return 0; }

    // ---- indicator, scroll bar, header with arrows
    virtual void DrawIndicatorCell(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor ABkColor,
                                   const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawIndicatorCellEx(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor ABkColor,
                                     const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual bool IndicatorFlag() const { return true; }
    virtual void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                                   TcxButtonState AState) const {}
    virtual void DrawHeaderWithArrows(TcxCanvas* ACanvas, const TRect& R, const std::string& AText,
                                      TcxNeighbors ANeighbors, const TcxStyleParams& AViewParams,
                                      TcxHeaderArrows AArrows, int AArrowOffset,
                                      const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawControlFrame(TcxCanvas* ACanvas, const TRect& R) const { DrawFrame(ACanvas, R); }

protected:
    // Shared figures the concrete painters draw with.
    void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind) const;
    void DrawSortMarkFigure(TcxCanvas* ACanvas, const TRect& R, bool AAscending, TColor ALight, TColor ADark) const;
    void DrawHeaderSideArrows(TcxCanvas* ACanvas, TRect R, TcxHeaderArrows AArrows, int AArrowOffset,
                              TColor AColor) const;
    // The track of the classic looks: the first pattern, the second when pressed.
    void DrawScrollBarTrack(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const;
    // The flat scroll-bar parts; the ultra-flat look skips the shrink before the arrow.
    void DrawFlatScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                               TcxButtonState AState, bool AShrinkBeforeArrow) const;
};

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
    QZ_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
public:
    static TcxCustomLookAndFeelPainterClass Instance();
    int PainterKind() const override { return 1; }
    int FrameWidth() const override { return 2; }
    void DrawFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    int ButtonFrameWidth(TcxButtonState AState = cxbsNormal) const override { return AState == cxbsDefault ? 3 : 2; }
    int ButtonCaptionOffset() const override { return 1; }
    int ButtonPressedShift() const override { return 1; }
    void DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor = clDefault) const override;
    int ExpandBoxSize() const override { return 12; }
    void DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                TcxButtonState AState) const override;
    void DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
    void DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                         TcxBorders ABorders) const override;
    int HeaderFrameWidth() const override { return 1; }
    void DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
    TPoint SortMarkSize() const override { return {8, 7}; }
    int FooterFrameWidth() const override { return 1; }
    int FooterCellFrameWidth() const override { return 1; }
    int FooterCellOffset() const override { return 1; }
    void DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                  bool AIsFilterActive) const override;
    void DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                      bool AVertical) const override;
    void DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
    int TabFrameWidth(bool AVertical = false) const override { return 1; }
    void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                           TcxButtonState AState) const override;
    void DrawHeaderWithArrows(TcxCanvas* ACanvas, const TRect& R, const std::string& AText,
                              TcxNeighbors ANeighbors, const TcxStyleParams& AViewParams,
                              TcxHeaderArrows AArrows, int AArrowOffset,
                              const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;

protected:
    void DrawScrollButtonFrame(TcxCanvas* ACanvas, const TRect& R, bool APressedArrow) const;
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
    QZ_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
public:
    static TcxCustomLookAndFeelPainterClass Instance();
    int PainterKind() const override { return 0; }
    int FrameWidth() const override { return 1; }
    void DrawFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    int ButtonFrameWidth(TcxButtonState AState = cxbsNormal) const override { return AState == cxbsDefault ? 2 : 1; }
    int ButtonCaptionOffset() const override { return 1; }
    int ButtonPressedShift() const override { return 1; }
    void DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor = clDefault) const override;
    int ExpandBoxSize() const override { return 11; }
    void DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
    void DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                         TcxBorders ABorders) const override;
    int HeaderFrameWidth() const override { return 1; }
    void DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
    TPoint SortMarkSize() const override { return {8, 7}; }
    int FooterFrameWidth() const override { return 1; }
    int FooterCellFrameWidth() const override { return 1; }
    int FooterCellOffset() const override { return 1; }
    void DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                  bool AIsFilterActive) const override;
    void DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                      bool AVertical) const override;
    void DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
    int TabFrameWidth(bool AVertical = false) const override { return 1; }
    void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                           TcxButtonState AState) const override;
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
    QZ_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
public:
    static TcxCustomLookAndFeelPainterClass Instance();
    int PainterKind() const override { return 2; }
    TColor DefaultGlyphColor() const override { return TColor(0x800000); }
    int FrameWidth() const override { return 1; }
    void DrawFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    int ButtonFrameWidth(TcxButtonState AState = cxbsNormal) const override { return AState == cxbsDefault ? 2 : 1; }
    TColor ButtonFaceColor(TcxButtonState AState) const override;
    TRect ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const override;
    TRect ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const override;
    int ButtonCaptionOffset() const override { return 2; }
    int ButtonPressedShift() const override { return 0; }
    TColor ButtonGlyphColor(TcxButtonState AState) const override;
    TcxButtonState ButtonGlyphState(TcxButtonState AState) const override { return cxbsNormal; }
    void PaintGroupedButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState, int AButtonCount,
                            int AButtonIndex, TColor ABorderColor) const override;
    void DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const override;
    void DrawNavigatorFrame(TcxCanvas* ACanvas, const TRect& R, bool AFocused, bool ASelected) const override;
    void DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor = clDefault) const override;
    int ExpandBoxSize() const override { return 11; }
    bool HotTrackButtons() const override { return true; }
    void DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const override;
    void DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                      bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                      TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                         TcxBorders ABorders) const override;
    TcxBorders HeaderSides(TcxNeighbors ANeighbors) const override;
    int HeaderFrameWidth() const override { return 1; }
    int FooterFrameWidth() const override { return 1; }
    int FooterCellFrameWidth() const override { return 1; }
    int TabFrameWidth(bool AVertical = false) const override { return 1; }
    void DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const override;
    TPoint SortMarkSize() const override { return {7, 8}; }
    TcxBorders FooterSides() const override { return TcxBorders{bRight, bBottom}; }
    int FooterCellOffset() const override { return 2; }
    void DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const override;
    void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                  bool AIsFilterActive) const override;
    TPoint FilterCloseButtonSize() const override;
    TPoint ButtonSize117() const override;
    void DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                      bool AVertical) const override;
    void DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const override;
    void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
                           TcxButtonState AState) const override;

    // Added by this look.
    virtual TColor ButtonBorderColor(TcxButtonState AState) const;
    virtual TColor TabsAreaColor() const { return clBtnShadow; }
    virtual TColor TabDarkSideColor() const { return clBtnText; }
    virtual TColor HotBorderColor() const { return clHighlight; }
};

namespace cxLookAndFeelPainters {

// Unit start-up and shutdown: the shared images and the palette notifier.
void Initialize();
void Finalize();

// Text flags of the alignment tables.
int AlignmentHorzFlags(TAlignment A);
int AlignmentVertFlags(TcxAlignmentVert A);
// The three points of an arrow in R (the square option makes R square first).
void GetArrowPoints(TRect R, TcxPainterArrow ADirection, bool ASquare, TPoint P[3]);
// The plus or minus sign of expand boxes.
void DrawPlusMinus(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor);

// The shared resources (made on first use when Initialize was not called).
TBitmap* IndicatorImage(TcxIndicatorKind AKind);      // null for ikNone
TBitmap* ScrollBarTrackPattern(bool APressed);        // 8 by 8 checkerboards
// Remakes the track patterns in the current system colours.
void RebuildScrollBarTrackPatterns();
TBitmap* AutoHideGlyph(bool AAlternate);
// The radio images: 96 of them, built on first use and dropped when the
// system colours change.
int RadioImageCount();
TBitmap* RadioImage(int AIndex);
int RadioImageIndex(bool AFocused, bool ADesignTime, int APainterKind, bool AChecked, TcxButtonState AState);
void ReleaseRadioImages();
TSize RadioButtonSize();

}  // namespace cxLookAndFeelPainters
