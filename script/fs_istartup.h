// Start-up and shut-down of the script interpreter as one step of the
// program's start-up.
#pragma once

namespace fs_istartup {
// Starts the engine: the grammars, the global script and the bindings
// (made again when an earlier shut-down freed them). A second call while
// started does nothing.
void StartUp();
// Removes the bindings and frees the global script. Does nothing unless
// started.
void ShutDown();
bool Started();
}  // namespace fs_istartup
