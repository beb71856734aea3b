// Which installed fonts text is drawn with.
#pragma once

#include <string>
#include <vector>

// The installed font families text in a font of this name is drawn with:
// the one drawing takes first, then those it looks in for characters the
// first lacks (Chinese ones among them). A document that embeds its fonts
// takes these, so its text measures as drawing measures it.
std::vector<std::string> FontFamiliesOf(const std::string& name);
