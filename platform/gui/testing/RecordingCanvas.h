// A canvas for tests: draws into an image of its own and records every
// operation, so a test can assert what a control drew. Only tests link it.
#pragma once

#include "Graphics.h"

#include <memory>
#include <string>
#include <vector>

// A canvas that draws into an image of its own and records every operation.
class TRecordingCanvas : public TCanvas {
    QZ_CLASS(TRecordingCanvas, TCanvas)
public:
    TRecordingCanvas(int width, int height);
    ~TRecordingCanvas() override;
    std::vector<TCanvasOp>& Ops();
    const TCanvasOp* Find(const std::string& op, int from = 0) const;   // first of a kind
    int CountOf(const std::string& op) const;
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void Clear();
protected:
    void CreateHandle() override;
private:
    std::unique_ptr<TBitmap> FBitmap;
};
