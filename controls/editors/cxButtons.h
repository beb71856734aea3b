// The look-and-feel push button: a button that draws itself through the
// look-and-feel painters with a colour per state, a glyph beside its
// caption, hot tracking, and two drop-down kinds that open a popup menu
// under it. A plain standard button is left to the system.
#pragma once

#include "Buttons.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <functional>
#include <memory>
#include <vector>

class TcxCanvas;
class TcxCustomButton;

enum TcxButtonKind { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
using TcxButtonAssignedColors = TSet<TcxButtonState, 8>;
using TcxButtonGetDrawParamsEvent =
    std::function<void(TcxCustomButton* Sender, TcxButtonState AState, TColor& AColor, TFont* AFont)>;

// The background colour of each state (clDefault: the painter's).
class TcxButtonColors : public TPersistent {
    QZ_CLASS(TcxButtonColors, TPersistent)
public:
    explicit TcxButtonColors(TcxCustomButton* AButton = nullptr) : FButton(AButton) {}
    void Assign(TPersistent* Source) override;
    TColor Color(TcxButtonState AState) const { return FColors[AState]; }
    // clNone and clDefault go back to the painter's colour.
    void SetColor(TcxButtonState AState, TColor Value);
    TColor Default() const { return FColors[cxbsDefault]; }
    TColor Normal() const { return FColors[cxbsNormal]; }
    TColor Hot() const { return FColors[cxbsHot]; }
    TColor Pressed() const { return FColors[cxbsPressed]; }
    TColor Disabled() const { return FColors[cxbsDisabled]; }
    TcxButtonAssignedColors AssignedColors() const { return FAssignedColors; }
    // Has an effect only while the button is designed.
    void SetAssignedColors(TcxButtonAssignedColors Value);

private:
    void Changed();
    TcxCustomButton* FButton;
    TcxButtonAssignedColors FAssignedColors;
    TColor FColors[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
};

// An image list of one glyph size whose slots are taken and given back.
class TcxGlyphList : public TImageList {
    QZ_CLASS(TcxGlyphList, TImageList)
public:
    TcxGlyphList(int AWidth = 16, int AHeight = 16) : TImageList(AWidth, AHeight) {}
    // Puts the image (masked by the transparent colour) in the first free slot.
    int AddMaskedGlyph(TBitmap* AImage, TColor ATransparentColor);
    void Remove(int AIndex);
    int UsedCount() const { return FUsedCount; }

private:
    std::vector<bool> FUsed;
    int FUsedCount = 0;
};

// The glyph lists of all buttons, one per glyph size.
namespace cxButtons {
TcxGlyphList* GetGlyphList(int AWidth, int AHeight);
// Gives a slot back; a list with none used is freed.
void ReturnGlyph(TcxGlyphList* AList, int AIndex);
// How many glyph lists the buttons hold now.
int GlyphListCount();
}  // namespace cxButtons

// A button's glyph: a bitmap of NumGlyphs images side by side (up, disabled,
// down, exclusive) and the images made from it for the states.
class TcxButtonGlyph {
public:
    TcxButtonGlyph();
    ~TcxButtonGlyph();
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TColor TransparentColor = clOlive;
    TSize Size() const;
    // The image of a state, made on first use (nil without a glyph): the up
    // image for default, normal and hot; the down image when pressed (the up
    // one with fewer than three); the disabled image, embossed from a single
    // glyph or the second image in the system colours.
    TBitmap* StateImage(TcxButtonState AState);
    void Draw(TCanvas* ACanvas, int X, int Y, TcxButtonState AState);
    std::function<void()> OnChange;

private:
    int ImageIndexOf(TcxButtonState AState);
    void Invalidate();
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TcxGlyphList* FList = nullptr;
    int FIndexes[4] = {-1, -1, -1, -1};
    std::unique_ptr<TBitmap> FImages[4];
};

class TcxCustomButton : public TButton {
    QZ_CLASS(TcxCustomButton, TButton)
public:
    explicit TcxCustomButton(TComponent* AOwner = nullptr);
    ~TcxCustomButton() override;

    TcxButtonColors* Colors() const { return FColors.get(); }
    void SetColors(TcxButtonColors* Value) { FColors->Assign(Value); }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu.Get(); }
    void SetDropDownMenu(TPopupMenu* Value) { FDropDownMenu = Value; }
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    // An empty or missing bitmap clears the glyph; a bitmap whose width is a
    // multiple (below 5) of its height sets NumGlyphs.
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    TcxButtonKind Kind() const { return FKind; }
    void SetKind(TcxButtonKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool UseSystemPaint() const { return FUseSystemPaint; }
    void SetUseSystemPaint(bool Value);
    TcxButtonGetDrawParamsEvent OnGetDrawParams;

    // A plain standard button the system paints.
    bool IsSystemPainted() const;
    TcxCustomLookAndFeelPainterClass GetPainter() const;
    // The state the button draws in now.
    TcxButtonState DrawState(bool APressed, bool AFocused) const;
    bool Hot() const { return FHot; }
    bool DroppedDown() const { return FDroppedDown; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    virtual void DrawButton(TcxCanvas* ACanvas, const TRect& R, bool APressed, bool AFocused);
    // Asks for the menu once the current mouse or key handling is over.
    void DropDown();

private:
    void DoDropDownMenu();
    void CloseUp();
    bool CanHotTrack() const;
    void SetHot(bool Value);
    TRect ArrowRect() const;
    void Changed();
    std::unique_ptr<TcxButtonColors> FColors;
    std::unique_ptr<TcxButtonGlyph> FGlyph;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    TWeakRef<TPopupMenu> FDropDownMenu;
    TcxButtonKind FKind = cxbkStandard;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FUseSystemPaint = true;
    bool FHot = false;
    bool FDroppedDown = false;
    bool FDropDownPending = false;
    bool FMenuJustClosed = false;
};

class TcxButton : public TcxCustomButton {
    QZ_CLASS(TcxButton, TcxCustomButton)
public:
    explicit TcxButton(TComponent* AOwner = nullptr) : TcxCustomButton(AOwner) {}
};

namespace cxButtons {
// The messages a button posts to itself to open its menu and after it closed.
constexpr UINT CM_DROPDOWNPOPUPMENU = WM_APP + 300;
constexpr UINT CM_CLOSEUPPOPUPMENU = WM_APP + 301;
// The width of the arrow part of a cxbkDropDownButton button.
constexpr int DropDownButtonWidth = 15;

// Places glyph and caption in the content area: the glyph's top-left
// corner and the caption's rectangle. Margin -1 centres them together;
// Spacing -1 spreads them evenly.
void CalcButtonLayout(const TRect& AClient, TSize ACaptionSize, TSize AGlyphSize, TButtonLayout ALayout, int AMargin,
                      int ASpacing, TPoint& AGlyphPos, TRect& ACaptionRect);
// Where a menu of the estimated height opens: under the button, or above it
// when it would pass the bottom of the screen.
TPoint DropDownMenuPoint(const TRect& AButtonScreenRect, int AMenuHeight, int AScreenHeight);
// The estimated height of a popup menu.
int EstimateMenuHeight(TPopupMenu* AMenu);
}  // namespace cxButtons
