#include "qzGridEh.h"

namespace qzGridEh {
QZ_CLASS_IMPL(TqzDBGrid, ::TqzDBGrid)
}
