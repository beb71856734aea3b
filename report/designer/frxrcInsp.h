// The Chinese descriptions of the properties the object inspector shows.
#pragma once

namespace frxrcInsp {
// Adds the descriptions to the report library's text table.
void Initialize();
}  // namespace frxrcInsp
