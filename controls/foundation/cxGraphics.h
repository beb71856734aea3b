// The one drawing surface of the controls: a thin wrapper over the canvas
// that adds frames and 3-D edges drawn as strips, transparent and disabled
// glyphs, text with a compact flag set (embossed when disabled), bitmap
// tiling anchored at the canvas origin and clip-region handling; regions
// with set operations; the blended highlight colours.
#pragma once

#include "Graphics.h"
#include "TypInfo.h"
#include "Windows.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TcxBorder { bLeft, bTop, bRight, bBottom };
QZ_ENUM_TYPEINFO(TcxBorder, "bLeft", "bTop", "bRight", "bBottom")
using TcxBorders = TSet<TcxBorder, 8>;
inline const TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

enum TcxGridLines { glBoth, glNone, glVertical, glHorizontal };

enum TcxRegionCombineMode { rcmCopy, rcmUnion, rcmDifference, rcmIntersect };

// An owned region handle with set operations.
class TcxRegion : public TObject {
    QZ_CLASS(TcxRegion, TObject)
public:
    explicit TcxRegion(HRGN AHandle);   // takes ownership
    explicit TcxRegion(const TRect& R);
    TcxRegion(int ALeft, int ATop, int ARight, int ABottom);
    TcxRegion();   // the empty rectangle (0, 0, 0, 0)
    ~TcxRegion() override;
    static std::unique_ptr<TcxRegion> CreateRect(const TRect& R) { return std::make_unique<TcxRegion>(R); }
    static std::unique_ptr<TcxRegion> CreateEmpty() { return std::make_unique<TcxRegion>(); }

    HRGN Handle() const { return FHandle; }
    bool IsEmptyRegion() const;
    TRect BoundsRect() const;
    void DeleteHandle();
    // Combines Region into this one; DestroyRegion frees Region afterwards.
    void Combine(TcxRegion* ARegion, TcxRegionCombineMode AOperation, bool ADestroyRegion = true);
    void Offset(int DX, int DY);

private:
    HRGN FHandle = nullptr;
};

// Text flags of DrawText and CalculateTextRect.
constexpr int ctfLeft = 0x0001;
constexpr int ctfRight = 0x0002;
constexpr int ctfCenterH = 0x0004;
constexpr int ctfTop = 0x0008;
constexpr int ctfBottom = 0x0010;
constexpr int ctfCenterV = 0x0020;
constexpr int ctfSingleLine = 0x0040;
constexpr int ctfNoClip = 0x0080;
constexpr int ctfExpandTabs = 0x0100;
constexpr int ctfShowPrefix = 0x0200;
constexpr int ctfWordBreak = 0x0400;
constexpr int ctfEndEllipsis = 0x0800;
constexpr int ctfCalcOnly = 0x1000;
constexpr int ctfPathEllipsis = 0x2000;

// The rectangle that stands for "no clip region".
constexpr int cxMaxRegionSize = 107374182;

class TcxCanvas : public TObject {
    QZ_CLASS(TcxCanvas, TObject)
public:
    explicit TcxCanvas(TCanvas* ACanvas);

    TCanvas* Canvas() const { return FCanvas; }
    TBrush* Brush() const { return FCanvas->Brush(); }
    TFont* Font() const { return FCanvas->Font(); }
    TPen* Pen() const { return FCanvas->Pen(); }
    HDC Handle() const { return FCanvas->Handle(); }
    void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
    TPoint WindowOrg() const;
    void SetWindowOrg(const TPoint& P);

    void SetBrushColor(TColor Value);
    void SetPixel(int X, int Y, TColor AColor) { FCanvas->SetPixels(X, Y, AColor); }
    void CopyRectFrom(const TRect& ADest, TCanvas* ACanvas, const TRect& ASource)
    {
        FCanvas->CopyRect(ADest, ACanvas, ASource);
    }
    void DrawGraphic(int X, int Y, TGraphic* AGraphic) { FCanvas->Draw(X, Y, AGraphic); }
    void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
    void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
    void Polygon(const std::vector<TPoint>& Points) { FCanvas->Polygon(Points); }
    void Polyline(const std::vector<TPoint>& Points) { FCanvas->Polyline(Points); }

    void FillRect(const TRect& R, TBitmap* ABitmap = nullptr);
    void FillRect(const TRect& R, TColor AColor);   // sets the brush colour first
    void FrameRect(const TRect& R, TColor AColor = clDefault, int ALineWidth = 1,
                   TcxBorders ABorders = cxBordersAll);
    void DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                          TcxBorders ABorders = cxBordersAll, int ABorderWidth = 1);
    void DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders = cxBordersAll);
    void DrawFocusRect(const TRect& R);
    void DrawGlyph(int X, int Y, TBitmap* AGlyph, bool AEnabled = true, TColor ABackgroundColor = clNone);
    void DrawText(const std::string& Text, TRect R, int AFlags, bool AEnabled = true);
    void CalculateTextRect(const std::string& Text, TRect& R, int AFlags);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
    int FontHeight(TFont* AFont);
    void InvertRect(const TRect& R);

    void ExcludeClipRect(const TRect& R);
    void IntersectClipRect(const TRect& R);
    // A new region owned by the caller: the clip region, or the unlimited
    // rectangle when there is none.
    std::unique_ptr<TcxRegion> GetClipRegion();
    void SetClipRegion(TcxRegion* ARegion, TcxRegionCombineMode AOperation, bool ADestroyRegion = true);
    // The save-change-restore pattern of painters.
    void SaveClipRegion();
    void RestoreClipRegion();
    bool RectVisible(const TRect& R);

protected:
    void SetCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }

private:
    TCanvas* FCanvas;
    std::vector<std::unique_ptr<TcxRegion>> FSavedRegions;
};

// Draws on the whole screen through a canvas of its own, whose screen
// context is taken when first needed and given back when this is freed.
class TcxScreenCanvas : public TcxCanvas {
    QZ_CLASS(TcxScreenCanvas, TcxCanvas)
public:
    TcxScreenCanvas();
    ~TcxScreenCanvas() override;

private:
    std::unique_ptr<TCanvas> FScreenCanvas;
};

namespace cxGraphics {
UINT TextFlagsToDrawTextFlags(int AFlags);
TColor LightHotColor();
TColor LightPressedColor();
// The face, highlight and window colours blended by signed percentages.
TColor BlendedSystemColor(int AFacePercent, int AHighlightPercent, int AWindowPercent);
}  // namespace cxGraphics
