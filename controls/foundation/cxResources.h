// The bitmaps the controls load by name, drawn by us as small character
// pictures in cxResources.cpp and compiled in.
#pragma once

#include "Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace cxResources {

// A copy of the named bitmap; null for an unknown name.
std::unique_ptr<TBitmap> LoadBitmap(const std::string& AName);
// The names known, in the order they are listed.
std::vector<std::string> BitmapNames();

}  // namespace cxResources
