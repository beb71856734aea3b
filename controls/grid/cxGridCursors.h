// The two drag cursors of record views, drawn by us and registered with the
// screen on first use: one record being dragged, and several.
#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <memory>

namespace cxGridCursors {

constexpr TCursor crGridRecordDrag = 4005;
constexpr TCursor crGridRecordsDrag = 4006;

// The picture of one of the two cursors (clFuchsia is see-through), null
// for another id; its hot spot is the top left corner.
std::unique_ptr<TBitmap> DragCursorBitmap(TCursor ACursor);
// Registers both cursors with the screen unless they are there already.
void LoadDragCursors();

}  // namespace cxGridCursors
