// The drawing routines of the report library's utilities.
#include "frxUtils.h"

#include "Graphics.h"
#include "ImgList.h"
#include "Metafile.h"

namespace frxUtils {

void SliceBitmapToImageList(TBitmap* bitmap, int width, int height, TCustomImageList* disabled,
                            TCustomImageList* list)
{
    if (!bitmap || !list || width <= 0 || height <= 0) return;
    bool second = false;
    for (int y = 0; y < bitmap->Height(); y += height)
        for (int x = 0; x + width <= bitmap->Width(); x += width) {
            TBitmap tile(width, height);
            tile.Canvas()->CopyRect(Rect(0, 0, width, height), bitmap->Canvas(), Rect(x, y, x + width, y + height));
            if (disabled && second) {
                for (int ty = 0; ty < height; ++ty)
                    for (int tx = 0; tx < width; ++tx)
                        if ((ColorToRGB(tile.Canvas()->Pixels(tx, ty)) & 0xFFFFFF) == 0xFFFFFF)
                            tile.Canvas()->SetPixels(tx, ty, TColor(0xE0E0E0));
                disabled->AddMasked(&tile, tile.TransparentColor());
            } else {
                list->AddMasked(&tile, tile.TransparentColor());
            }
            if (disabled) second = !second;
        }
}

void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap)
{
    if (!canvas || !bitmap || bitmap->Empty()) return;
    TImageList list(nullptr);
    list.SetWidth(bitmap->Width());
    list.SetHeight(bitmap->Height());
    list.AddMasked(bitmap, bitmap->TransparentColor());
    list.Draw(canvas, x, y, 0);
}

void StretchDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap)
{
    if (!canvas || !bitmap || bitmap->Empty()) return;
    canvas->StretchDraw(r, bitmap);
}

void DrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic)
{
    if (!canvas || !graphic || graphic->Empty()) return;
    if (graphic->InheritsFrom(TMetafile::StaticClass())) {
        canvas->StretchDraw(r, graphic);
        return;
    }
    TBitmap bmp(graphic->Width(), graphic->Height());
    bmp.SetPixelFormat(pf32bit);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, graphic->Width(), graphic->Height()));
    bmp.Canvas()->Draw(0, 0, graphic);
    StretchDrawBitmap(canvas, r, &bmp);
}

}  // namespace frxUtils
