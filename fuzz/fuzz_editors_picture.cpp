// The image editor's reader of stored picture values (a database's bytes):
// the value is decoded under each graphic class, as the image and blob
// editors and a grid cell do. A value either gives a picture or a message
// saying why not; a picture decoded once is stored in a form that decodes
// again to the same size; painting a cell of any value finishes.
#include "fuzz_gui_harness.h"

#include "cxEdit.h"
#include "cxGraphics.h"
#include "cxImage.h"

#include "Jpeg.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Variant value(std::string(reinterpret_cast<const char*>(data), size));
    for (TGraphicClass c : {static_cast<TGraphicClass>(nullptr), TBitmap::StaticClass(), TIcon::StaticClass(),
                            TJPEGImage::StaticClass()}) {
        TPicture picture;
        std::string error;
        const bool decoded = cxImage::LoadPictureFromValue(&picture, c, value, &error);
        Check(decoded == error.empty(), "a value decodes, or says why not");
        if (!decoded) {
            Check(picture.Graphic() == nullptr, "an undecodable value leaves no picture");
            continue;
        }
        if (cxImage::IsPictureBlank(&picture)) continue;
        TPicture again;
        Check(cxImage::LoadPictureFromValue(&again, c, Variant(cxImage::SavePictureToString(&picture))),
              "a stored picture decodes again");
        Check(again.Width() == picture.Width() && again.Height() == picture.Height(),
              "a stored picture keeps its size");
    }

    static TcxImageProperties* properties = [] {
        auto* p = new TcxImageProperties();
        p->SetStretch(true);
        return p;
    }();
    static TcxEditStyle style(nullptr, true);
    auto viewData = properties->CreateViewData(&style, true);
    TcxImageViewInfo viewInfo;
    TBitmap surface(40, 30);
    TcxCanvas canvas(surface.Canvas());
    viewData->Calculate(&canvas, TRect{0, 0, 40, 30}, TPoint{-1, -1}, 0, {}, &viewInfo, false);
    viewData->PrepareDrawValue(&canvas, value, &viewInfo);
    viewInfo.Paint(&canvas);
    return 0;
}
