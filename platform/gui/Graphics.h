// Fonts, pens, brushes, the canvas, regions in object form, and the graphics
// (bitmaps, icons, pictures) that draw on a canvas. Text is UTF-8 throughout;
// fonts measure alike on screen, in bitmaps and off-screen.
#pragma once

#include "Classes.h"
#include "Windows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TGraphic;
class TBitmap;
class TStream;

// ---- fonts, pens and brushes ------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, 8>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
constexpr TFontCharset ARABIC_CHARSET = 178;
constexpr TFontCharset OEM_CHARSET = 255;

// What every drawing object shares: a change event and the owner's lock.
class TGraphicsObject : public TPersistent {
    QZ_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;
protected:
    virtual void Changed();
};

// The font as the program sees it. Height in pixels (negative: the
// character height without leading), Size in points at PixelsPerInch.
class TFont : public TGraphicsObject {
    QZ_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    void Assign(TPersistent* source) override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    int Size() const;
    void SetSize(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v > 0 ? v : 96; }
    // Rotation of the text in tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int v);
    bool IsEqual(const TFont* other) const;

private:
    std::string FName;
    int FHeight;
    TColor FColor;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch = 96;
    int FOrientation = 0;
};

// The program's default font for new controls and canvases.
constexpr const char* DefaultFontName = "宋体";
constexpr int DefaultFontHeight = -12;   // 9 points at 96 pixels per inch

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor,
                pmNotXor };

class TPen : public TGraphicsObject {
    QZ_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    void Assign(TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);
private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
                   bsDiagCross };

class TBrush : public TGraphicsObject {
    QZ_CLASS(TBrush, TGraphicsObject)
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    // A pattern bitmap tiles the brush (the brush keeps a copy); null clears it.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* v);
private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

// ---- regions ----------------------------------------------------------------------

// A region object that frees its handle; Handle() is for the flat routines.
class TRegion {
public:
    TRegion();                                 // empty
    explicit TRegion(const TRect& r);
    explicit TRegion(HRGN takeOwnership);
    ~TRegion();
    TRegion(const TRegion&) = delete;
    TRegion& operator=(const TRegion&) = delete;

    HRGN Handle() const { return FHandle; }
    bool IsEmpty() const;
    TRect BoundsRect() const;
    bool PtInRegion(TPoint p) const;
    bool RectInRegion(const TRect& r) const;
    bool IsEqual(const TRegion& other) const;
    void Offset(int dx, int dy);
    void Combine(const TRegion& other, int mode);   // RGN_AND, RGN_OR, RGN_DIFF, RGN_XOR, RGN_COPY
    void Combine(const TRect& r, int mode);
    std::vector<TRect> Rects() const;

private:
    HRGN FHandle;
};

// ---- the canvas -------------------------------------------------------------------

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates, 8>;
enum TFillStyle { fsSurface, fsBorder };

// One drawing operation, as a recording canvas keeps it: coordinates are
// device coordinates (after the window origin), ClipBox the bounds of the
// clip region in force (the whole target when unclipped).
struct TCanvasOp {
    std::string Op;              // "FillRect", "TextOut", "DrawText", "LineTo", …
    TRect Rect;
    std::vector<TPoint> Points;
    std::string Text;
    UINT Flags = 0;
    TColorRef Color = 0;         // brush colour for fills, pen for lines, text colour for text
    TColorRef BkColor = 0;
    TRect ClipBox;
    bool Clipped = false;        // a clip region was in force
};

class TCanvas : public TPersistent {
    QZ_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The device context; asks a descendant to make one when none is there.
    HDC Handle();
    void SetHandle(HDC dc);   // attaches a context the caller owns (null detaches)
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode v) { FCopyMode = v; }
    // The logical drawing area's bounds: the clip box of the context.
    TRect ClipRect();
    TCanvasState State() const;

    void Lock() { ++FLockCount; }
    void Unlock() { if (FLockCount > 0) --FLockCount; }
    bool TryLock() { Lock(); return true; }
    int LockCount() const { return FLockCount; }

    // Drawing. Rectangles exclude their right and bottom edges.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);   // the end point itself is not drawn
    void Polyline(const std::vector<TPoint>& points);
    void PolyPolyline(const std::vector<std::vector<TPoint>>& lines);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);
    void InvertRect(const TRect& r);
    void FloodFill(int x, int y, TColor color, TFillStyle style);
    TColor Pixels(int x, int y);             // -1 outside the surface
    void SetPixels(int x, int y, TColor c);

    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // DrawText with the DT_ flags; returns the text height (with DT_CALCRECT
    // r gets the size the text needs).
    int DrawText(const std::string& text, TRect& r, UINT format);

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);   // with CopyMode
    // Copies source with every pixel of colour transparent replaced by the
    // brush's colour.
    void BrushCopy(const TRect& dest, TBitmap* source, const TRect& src, TColor transparent);

    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // The operations drawn while recording is on (a canvas whose handle records).
    std::vector<TCanvasOp>* Recording() const;

protected:
    virtual void CreateHandle() {}
    void Changing();
    void Changed();
    void RequiredState();   // pushes pen, brush and font into the context
    HDC FHandle = nullptr;

private:
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    int FLockCount = 0;
};

// ---- graphics ----------------------------------------------------------------------

class TGraphic : public TInterfacedPersistent {
    QZ_CLASS(TGraphic, TInterfacedPersistent)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    bool Modified() const { return FModified; }
    void SetModified(bool v);

    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // Paints the graphic into r of the canvas (stretched to it).
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};
using TGraphicClass = TClass;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

struct TBitmapImage;   // the pixels (private)

// An image in memory. Raw rows (ScanLine) follow the platform's layouts: 24-bit
// rows are B,G,R triples, 32-bit rows B,G,R,A; rows run top to bottom.
class TBitmap : public TGraphic {
    QZ_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void SetSize(int w, int h);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat v);
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool v) { SetPixelFormat(v ? pf1bit : pfDevice); }
    // The colour drawn transparent: the bottom-left pixel under tmAuto.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);

    TCanvas* Canvas();
    // Row y of the pixels, to read and write directly; drawing through the
    // canvas is finished first.
    uint8_t* ScanLine(int y);
    int BytesPerLine() const;
    void Dormant() {}
    void FreeImage() {}

    void LoadFromStream(TStream* stream) override;   // BMP, and the formats the program reads
    void SaveToStream(TStream* stream) override;     // BMP
    void Draw(TCanvas* canvas, const TRect& r) override;

    // For the layer: the pixels.
    TBitmapImage* Image() const { return FImage.get(); }
    void FinishDrawing();   // ends pending drawing through the canvas
    void ImageChanged() { Changed(); }

private:
    int FEmptyWidth = 0, FEmptyHeight = 0;   // the size asked for while the image is empty
    std::unique_ptr<TBitmapImage> FImage;
    std::unique_ptr<TCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

class TIcon : public TGraphic {
    QZ_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    TBitmapImage* Image() const { return FImage.get(); }
private:
    std::unique_ptr<TBitmapImage> FImage;
};

// Holds one graphic of any registered class, loads by file extension.
class TPicture : public TInterfacedPersistent {
    QZ_CLASS(TPicture, TInterfacedPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* value);   // copies value
    TBitmap* Bitmap();                   // replaces a graphic of another class by an empty bitmap
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Raises EInvalidGraphic "Unknown picture file extension (.xyz)" for an
    // extension no class reads.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicClass graphicClass);
    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* dest) override;

private:
    void Changed(TObject* sender);
    void Take(TGraphic* g);
    std::unique_ptr<TGraphic> FGraphic;
};

// "Bitmaps (*.bmp)|*.bmp" … for the classes registered (null: all).
std::string GraphicFilter(TGraphicClass graphicClass);
std::string GraphicExtension(TGraphicClass graphicClass);   // "bmp"

QZ_EXCEPTION(EInvalidGraphic, Exception)
QZ_EXCEPTION(EInvalidGraphicOperation, Exception)
QZ_EXCEPTION(EOutOfResources, Exception)

// ---- canvases over other targets ----------------------------------------------------

// The canvas of the whole screen, for measuring and the sizing lines drawn
// over other windows (lines on it are not shown on a window system that
// does not let programs draw over others).
TCanvas* ScreenCanvas();

// ---- helpers ------------------------------------------------------------------------

TColor ColorToGray(TColor c);
// Fills, frames and 3-D edges built from solid strips, as the controls draw them.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);
