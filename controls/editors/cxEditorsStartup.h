// Start-up and shut-down of the editors as one step: every editor unit
// registers its properties class, the repository item classes are
// registered for streaming, and the default-editor registries by value type
// and by field type are filled; shut-down frees them in the reverse order.
#pragma once

namespace cxEditorsStartup {
// Starts the editor units in the order they build on each other, the
// default-editor registries after the editors whose items they make and the
// lookup combo box after them. A second call while started does nothing;
// a unit that fails undoes the units started before it.
void StartUp();
// Shuts them down in the reverse order: the lookup items first, while the
// registries their lists use are still there, then the registries, the
// editors' shared images and brushes, and last the editor registry with
// the default repository and the display-format controller. Every unit is
// shut down even when one raises; the first error is raised afterwards.
// Does nothing unless started.
void ShutDown();
bool Started();
}  // namespace cxEditorsStartup
