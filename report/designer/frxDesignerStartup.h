// Start-up and shut-down of the report designer as one step; it runs after
// the report engine's start-up and shuts down before it.
#pragma once

namespace frxDesignerStartup {
// Adds the designer's texts and the event-handler templates to the report
// library's text table. A second call while started does nothing.
void StartUp();
void ShutDown();
bool Started();
}  // namespace frxDesignerStartup
