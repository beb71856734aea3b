// The libraries' start-up and shut-down, as the program runs them: after
// the window system is up and before the application core's data objects
// are made, and shut down after those are gone.
#pragma once

namespace qzStartup {
// Starts the libraries in the order calls run between them: the control
// foundation, the editors (on the foundation and the data controller), the
// grid views, the data-aware grid, the script interpreter and the report
// engine (on the interpreter). A second call while started does nothing;
// when one library fails, the ones started before it are shut down again
// and the error goes on to the caller.
void StartUpLibraries();
// Shuts them down in the reverse order, every one even when one raises;
// the first error is raised afterwards. Does nothing unless started.
void ShutDownLibraries();
bool LibrariesStarted();
}  // namespace qzStartup
