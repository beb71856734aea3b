#include "frxGZip.h"

namespace frxGZip {

void CompressStream(TStream* source, TStream* dest, TZCompressionLevel level)
{
    TZCompressionStream z(level, dest);
    z.CopyFrom(source, 0);
    z.Finish();
}

}  // namespace frxGZip
