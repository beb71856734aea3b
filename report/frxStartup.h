// Start-up and shut-down of the report engine as one step; it runs after
// the script interpreter's start-up and shuts down before it.
#pragma once

namespace frxStartup {
// Registers the report classes for streaming, makes reports build with the
// engine and show in the preview, makes the password form ask for a
// layout's password, adds the export texts, registers the report classes
// with the global script and the barcode view. A second call while started
// does nothing; a unit that fails undoes the ones before it.
void StartUp();
// Removes the report classes from the global script. Does nothing unless
// started.
void ShutDown();
bool Started();
}  // namespace frxStartup
