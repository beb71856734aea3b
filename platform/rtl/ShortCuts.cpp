#include "ShortCuts.h"

TShortCut ShortCut(uint16_t key, TShiftState shift)
{
    if (key > 0xFF) return scNone;
    TShortCut r = key;
    if (shift.Contains(ssShift)) r |= scShift;
    if (shift.Contains(ssCtrl)) r |= scCtrl;
    if (shift.Contains(ssAlt)) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift)
{
    key = shortCut & uint16_t(~(scShift | scCtrl | scAlt));
    shift = TShiftState();
    if (shortCut & scShift) shift.Include(ssShift);
    if (shortCut & scCtrl) shift.Include(ssCtrl);
    if (shortCut & scAlt) shift.Include(ssAlt);
}
