// Start-up and shut-down of the grid views as one step.
#pragma once

namespace cxGridStartup {
// Registers the level and item data binding classes for creation by name
// and installs the filter dialogs record views open. A second call while
// started does nothing; a unit that fails undoes the ones before it.
void StartUp();
// Frees the shared hit tests and the registered view classes. Does nothing
// unless started.
void ShutDown();
bool Started();
}  // namespace cxGridStartup
