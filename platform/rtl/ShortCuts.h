// Keyboard shortcuts as 16-bit values: the key code in the low byte and the
// shift keys as bits of the high byte (Alt+Down is 40 + scAlt = 32808,
// Ctrl+Enter is 13 + scCtrl = 16397), as stored layouts and menus hold them.
#pragma once

#include "Components.h"

#include <cstdint>

using TShortCut = uint16_t;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of a key with shift keys (ssShift, ssCtrl, ssAlt; mouse
// buttons and ssDouble are not part of a shortcut). 0 when the key does not
// fit in the low byte.
TShortCut ShortCut(uint16_t key, TShiftState shift);
// The key and shift keys of a shortcut.
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);
