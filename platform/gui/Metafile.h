// Metafiles: recorded drawing that replays on any canvas at any size. A
// metafile is drawn through a TMetafileCanvas, or read from the Windows
// metafile formats stored pictures hold (WMF, placeable or not, and EMF);
// it saves as EMF (Enhanced) or as placeable WMF. Pictures read from bytes
// keep those bytes and save them back unchanged.
#pragma once

#include "Graphics.h"

#include <memory>
#include <string>

struct TMetafileData;   // the recorded operations (private)

class TMetafile : public TGraphic {
    QZ_CLASS(TMetafile, TGraphic)
public:
    TMetafile();
    ~TMetafile() override;
    void Assign(TPersistent* source) override;
    void Clear();

    bool Empty() const override;
    // The picture's size in screen pixels (96 per inch).
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    // The size in hundredths of a millimetre.
    int MMWidth() const;
    int MMHeight() const;
    void SetMMWidth(int v);
    void SetMMHeight(int v);
    // Saving writes EMF when set, placeable WMF otherwise.
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool v) { FEnhanced = v; }
    // Logical units per inch of a WMF (placeable header), 96 when made here.
    int Inch() const { return FInch; }
    std::string Description;
    std::string CreatedBy;

    // Raises EInvalidGraphic "Metafile is not valid" for bytes that are
    // neither WMF nor EMF, or whose records break their bounds.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    // Replays the recording stretched to r.
    void Draw(TCanvas* canvas, const TRect& r) override;

    // The number of drawing operations recorded (for tests and callers that
    // want to know whether anything was drawn).
    int OperationCount() const;

    // For TMetafileCanvas: the recording becomes the content.
    void Recorded(std::shared_ptr<TMetafileData> data, int width, int height);

private:
    std::shared_ptr<TMetafileData> FData;
    std::string FBytes;    // the bytes read, saved back unchanged while nothing is redrawn
    bool FBytesEnhanced = true;
    int FWidth = 0, FHeight = 0;
    bool FEnhanced = true;
    int FInch = 96;
};

// A canvas that records into a metafile: what is drawn on it becomes the
// metafile's content when the canvas is freed (or Finish is called). The
// metafile's size is kept when set, otherwise it is the drawing's extent.
class TMetafileCanvas : public TCanvas {
    QZ_CLASS(TMetafileCanvas, TCanvas)
public:
    explicit TMetafileCanvas(TMetafile* metafile, HDC referenceDevice = nullptr);
    TMetafileCanvas(TMetafile* metafile, HDC referenceDevice, const std::string& createdBy,
                    const std::string& description);
    ~TMetafileCanvas() override;
    void Finish();
protected:
    void CreateHandle() override;
private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
    TMetafile* FMetafile;
};

// The metafile formats as bytes, for callers that hold them (the clipboard,
// stored pictures): true when the bytes look like a WMF or an EMF.
bool IsMetafileData(const std::string& bytes);
