// The Chinese user-interface texts of the report designer and its dialogs.
#pragma once

#include <string>

namespace frxrcDesgn {
// Adds the designer's form blocks and single texts to the report library's
// text table, in their fixed order; a later Add of a key replaces its text.
void Initialize();
// The entries in the order they are added.
int EntryCount();
std::string EntryKey(int index);
}  // namespace frxrcDesgn
