// Start-up and shut-down of the control foundation as one step: the units'
// own start-up routines in the order they build on each other, and their
// shut-down routines in the reverse order.
#pragma once

namespace cxFoundationStartup {
// Starts the units (the window system first, as the cursors need the
// screen): the controls' cursors, the style class, the theme manager, the
// painters' shared images, the root look-and-feel and the popup filters.
// A second call while started does nothing.
void StartUp();
// Shuts them down in the reverse order. Every unit is shut down even when
// one of them raises; the first error is raised afterwards. Does nothing
// unless started.
void ShutDown();
bool Started();
}  // namespace cxFoundationStartup
