// The designer's own editors and the registration the designer starts
// with: the objects of the palette, the component editors, the property
// editors and the properties the inspector hides.
#pragma once

namespace frxDesgnEditors {
// Fills the registries, once.
void Initialize();
}  // namespace frxDesgnEditors
