// The screen overlay: what controls draw "on the screen" over windows (the
// inverted sizing lines of grids, rubber bands, insertion arrows, drag
// pictures) shows in a layer of its own above every window, which takes no
// input and never the activation, and leaves the windows' own painting alone.
//
// Inverted drawing toggles as inverting the screen does: drawing the same
// line or rectangle again takes it away, and where two inverted shapes
// overlap they cancel. Pictures lie over everything else and, hidden, give
// back what lay under them. HideAll/ShowAll take everything down around
// scrolling or repainting underneath and put it back as it was.
// Coordinates are screen coordinates.
#pragma once

#include "Graphics.h"

#include <memory>
#include <vector>

class TScreenOverlay : public TObject {
    QZ_CLASS(TScreenOverlay, TObject)
public:
    TScreenOverlay();
    ~TScreenOverlay() override;

    void InvertLine(TPoint a, TPoint b, int width = 1);
    void InvertRect(const TRect& r);
    // A frame `width` pixels wide inside r (a rubber band).
    void InvertFrame(const TRect& r, int width = 1);
    // The dotted rectangle of a focus or a band selection.
    void DrawFocusRect(const TRect& r);

    // Shows a picture (copied); pixels of the transparent colour let what
    // lies under show. Returns an id, never 0.
    int ShowPicture(TBitmap* picture, TPoint topLeft, TColor transparent = clNone);
    void MovePicture(int id, TPoint topLeft);
    void HidePicture(int id);

    // Nested: each HideAll needs its ShowAll.
    void HideAll();
    void ShowAll();
    bool Hidden() const { return FHideLevel > 0; }
    // Takes every shape and picture away.
    void Clear();

    // How many inverted shapes and pictures are up.
    int ShapeCount() const;
    int PictureCount() const;
    // What the screen shows at a point or in a rectangle, the overlay over
    // the windows (for tests and for saving what lies under something).
    TColor PixelAt(TPoint p);
    TBitmap* Grab(const TRect& r);   // caller frees
    // The area the overlay covers now (empty when nothing shows).
    TRect Bounds() const;

private:
    struct TImpl;
    void Changed();
    std::unique_ptr<TImpl> F;
    int FHideLevel = 0;
};

// The program's overlay.
TScreenOverlay* ScreenOverlay();
