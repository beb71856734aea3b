// What every data-aware grid of the program shares, made once on first use
// and released at the end: the indicator images, the sort markers, the
// small font of sort numbers and the selection cursors.
#pragma once

#include "Controls.h"
#include "ImgList.h"

namespace DBGridEh {

// The indicator column's images: 0 the current record, 1 a record being
// edited, 2 one being inserted, 3 and 4 marks of multi-selection, 5 the
// current record when selected (light on dark), 6 the current record while
// an incremental search runs (in IncSearchColor).
TCustomImageList* IndicatorImages();
inline constexpr int IndicatorImageCount = 7;
// The title's sort markers: 0 descending (smDownEh), 1 ascending (smUpEh).
TCustomImageList* SortMarkerImages();
// The font of the sort numbers beside the markers.
TFont* SortIndexFont();
// Image 6 again in the present IncSearchColor (after the colour changed).
void RebuildSearchIndicator();

// The cursors over a title's bottom edge (columns may be selected) and over
// the indicator (rows may be selected; the right-to-left one points left).
TCursor ColumnSelectCursor();
TCursor RowSelectCursor();
TCursor RowSelectCursorRtl();

} // namespace DBGridEh
