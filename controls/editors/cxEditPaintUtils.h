// The editors' painting helpers: the process-wide cache of solid brushes by
// colour and the stateless drawing routines (ellipsis dots, filled arrows,
// pixel-exact lines, borders, button faces) that the edit view infos paint
// with.
//
// A brush from the cache is a shared handle: the cache may evict a colour
// (it keeps at most 128) or be cleared on a palette change, but a brush a
// caller still holds stays valid until the caller lets it go.
#pragma once

#include "Graphics.h"
#include "Types.h"
#include "Windows.h"

#include <memory>
#include <string>
#include <vector>

class TcxCanvas;
class TcxSystemPaletteChangedNotifier;

class TcxSolidBrush {
public:
    TcxSolidBrush(HBRUSH AHandle, bool AOwned) : FHandle(AHandle), FOwned(AOwned) {}
    ~TcxSolidBrush();
    TcxSolidBrush(const TcxSolidBrush&) = delete;
    TcxSolidBrush& operator=(const TcxSolidBrush&) = delete;
    HBRUSH Handle() const { return FHandle; }

private:
    HBRUSH FHandle;
    bool FOwned;
};
using TcxSolidBrushRef = std::shared_ptr<const TcxSolidBrush>;

class TcxSolidBrushCache : public TObject {
    QZ_CLASS(TcxSolidBrushCache, TObject)
public:
    explicit TcxSolidBrushCache(int AMaxDepth = 128);
    ~TcxSolidBrushCache() override;
    virtual void Clear();
    TcxSolidBrushRef Get(TColor AColor);
    int Depth() const { return int(FColors.size()); }
    int MaxDepth() const { return FMaxDepth; }
    int UseCount(TColor AColor) const;

private:
    std::vector<TColor> FColors;   // sorted ascending
    std::vector<TcxSolidBrushRef> FBrushes;
    std::vector<uint32_t> FUseCounts;
    int FMaxDepth;
    std::unique_ptr<TcxSystemPaletteChangedNotifier> FNotifier;
};

enum TcxArrowDirection { adUp, adDown, adLeft, adRight };

namespace cxEditPaintUtils {

// A brush of the colour: the stock brush of a system colour, else the
// cache's. Hold the returned reference while the brush is used.
TcxSolidBrushRef GetSolidBrush(TColor AColor);
TcxSolidBrushRef GetSolidBrushForCanvas(TCanvas* ACanvas, TColor AColor);
TcxSolidBrushRef GetSolidBrushForcxCanvas(TcxCanvas* ACanvas, TColor AColor);
TcxSolidBrushCache* BrushCache();
// Frees the cache (unit shutdown).
void Finalize();

}  // namespace cxEditPaintUtils

namespace cxEditUtils {

// The arrow's size in a rectangle: odd width (W) and W div 2 + 1 high,
// swapped for left and right arrows.
TSize CalculateArrowSize(const TSize& ASize, TcxArrowDirection ADirection);
// Filled arrows of unit size ASize (1 or more stacked), centred in R.
void DrawArrows(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, TColor AColor,
                int AArrowSize, int ACount = 1, bool APressed = false);
// Three square dots, 2 pixels a side when R is wider than 11 pixels, else 1.
void DrawEllipsisDots(TcxCanvas* ACanvas, const TRect& R, TColor AColor, bool AEnabled,
                      bool APressed = false);
// Horizontal and vertical segments as filled 1-pixel rectangles (pixel
// exact) or with the pen; the last point is set either way.
void DrawPolyline(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints, bool APixelExact,
                  TColor AColor);
// The top-left position of a size centred in R; odd space goes one pixel
// further right and down while pressed.
TPoint CenterInRect(const TRect& R, const TSize& ASize, bool APressed);
// Removes the accelerator prefix '&' keeping the character after it; one at
// the very end becomes '_'.
std::string RemoveAccelChars(const std::string& ACaption);
TColor GetHotLightColor();
// The horizontal and vertical content margins of a button of a style
// (btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat).
int GetButtonHorzContentMargin(int AButtonStyle);
int GetButtonVertContentMargin(int AButtonStyle);

}  // namespace cxEditUtils
