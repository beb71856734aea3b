// The texts of the export filters in the library's text table.
#pragma once

namespace frxrcExports {
// Adds the export texts (descriptions, save-dialog filters, progress texts), once.
void Initialize();
}
