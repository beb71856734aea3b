// Start-up and shut-down of the data-aware grid as one step.
#pragma once

namespace DBGridEhStartup {
// Registers the exchange formats on the clipboard, makes the grids'
// clipboard keys copy, cut, paste and delete through the exchange routines
// and their find key open the find dialog. A second call while started
// does nothing.
void StartUp();
// The grids' shared images, cursors and find dialog live until the program
// ends, so shutting down only marks the library stopped (a later StartUp
// runs the start-up again). Does nothing unless started.
void ShutDown();
bool Started();
}  // namespace DBGridEhStartup
