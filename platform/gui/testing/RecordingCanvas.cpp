#include "RecordingCanvas.h"
#include "QzGuiPrivate.h"

#include <algorithm>

using namespace qzgui;

QZ_CLASS_IMPL(TRecordingCanvas, TCanvas)

TRecordingCanvas::TRecordingCanvas(int w, int h) : FBitmap(std::make_unique<TBitmap>(w, h)) {}
TRecordingCanvas::~TRecordingCanvas()
{
    if (FHandle && ValidDC(FHandle)) {
        delete FHandle->Record;
        FHandle->Image = nullptr;
        DeleteDC(FHandle);
    }
}
void TRecordingCanvas::CreateHandle()
{
    HDC dc = NewDC();
    dc->Image = &FBitmap->Image()->Img;
    dc->Size = dc->Image->size();
    dc->Record = new std::vector<TCanvasOp>();
    FHandle = dc;
}
std::vector<TCanvasOp>& TRecordingCanvas::Ops() { return *Handle()->Record; }
const TCanvasOp* TRecordingCanvas::Find(const std::string& op, int from) const
{
    auto* rec = Recording();
    if (!rec) return nullptr;
    for (size_t i = size_t(std::max(0, from)); i < rec->size(); ++i)
        if ((*rec)[i].Op == op) return &(*rec)[i];
    return nullptr;
}
int TRecordingCanvas::CountOf(const std::string& op) const
{
    auto* rec = Recording();
    if (!rec) return 0;
    return int(std::count_if(rec->begin(), rec->end(), [&](const TCanvasOp& o) { return o.Op == op; }));
}
void TRecordingCanvas::Clear() { Ops().clear(); }
