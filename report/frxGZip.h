// Whole-stream compression for the exports: the source stream's content,
// deflated, onto a target stream.
#pragma once

#include "frxZLib.h"

namespace frxGZip {
// Deflates the whole of source (from its start) onto dest at its current
// position; raises EZCompressionError on a zlib error.
void CompressStream(TStream* source, TStream* dest, TZCompressionLevel level);
}
