// JPEG images, read and written with libjpeg.
#pragma once

#include "Graphics.h"

enum TJPEGPixelFormat { jf24Bit, jf8Bit };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

class TJPEGImage : public TGraphic {
    QZ_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override;    // a JPEG's size comes from its picture
    void SetHeight(int) override;
    // 1..100; used when the picture is compressed again.
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int v);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool v);
    TJPEGPixelFormat PixelFormat() const { return FGrayscale ? jf8Bit : jf24Bit; }
    TJPEGPerformance Performance = jpBestQuality;
    TJPEGScale Scale = jsFullSize;
    bool ProgressiveEncoding = false;

    // Raises EInvalidGraphic "JPEG error #n" style messages for bad data,
    // leaving the image as it was.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void Draw(TCanvas* canvas, const TRect& r) override;

    // Makes the compressed data from the pixels, or the pixels from the data.
    void JPEGNeeded();
    void DIBNeeded();
    // The pixels as a bitmap (owned by the image).
    TBitmap* Bitmap();
    // The compressed bytes.
    const std::string& Data();

private:
    std::unique_ptr<TBitmap> FBitmap;   // decoded pixels
    std::string FData;                  // compressed bytes
    bool FDataValid = false;
    int FQuality = 90;
    bool FGrayscale = false;
};

// Lets pictures read and write .jpg and .jpeg files (start-up calls it).
void RegisterJpegFormat();
