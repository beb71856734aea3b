// A white bitmap for the painting tests to draw on, with counts of the pixels
// of a colour.
#pragma once

#include "Graphics.h"
#include "cxGraphics.h"

#include <algorithm>
#include <memory>

struct TEditTestSurface {
    TBitmap Bitmap;
    std::unique_ptr<TcxCanvas> Canvas;
    TEditTestSurface(int w, int h)
    {
        Bitmap.SetSize(w, h);
        Bitmap.Canvas()->Brush()->SetColor(clWhite);
        Bitmap.Canvas()->FillRect(TRect{0, 0, w, h});
        Canvas = std::make_unique<TcxCanvas>(Bitmap.Canvas());
    }
    // The pixels of colour c inside r (the whole bitmap by default).
    int Count(TColor c, TRect r = TRect{0, 0, 1 << 20, 1 << 20})
    {
        int n = 0;
        for (int y = std::max(0, r.Top); y < std::min(Bitmap.Height(), r.Bottom); ++y)
            for (int x = std::max(0, r.Left); x < std::min(Bitmap.Width(), r.Right); ++x)
                if (ColorToRGB(Bitmap.Canvas()->Pixels(x, y)) == ColorToRGB(c)) ++n;
        return n;
    }
    TColor At(int x, int y) { return ColorToRGB(Bitmap.Canvas()->Pixels(x, y)); }
};
