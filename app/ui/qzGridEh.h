// The second copy of the application's data-aware grid wrapper, the one the
// workbook import derives its grids from: the same grid and services, but
// no column lookup by field and no footer sums.
#pragma once

#include "qzDBGrids.h"

namespace qzGridEh {

class TqzDBGrid : public ::TqzDBGrid {
    QZ_CLASS(TqzDBGrid, ::TqzDBGrid)
public:
    explicit TqzDBGrid(TComponent* AOwner = nullptr) : ::TqzDBGrid(AOwner) {}

private:
    using ::TqzDBGrid::FindColumnByField;
    using ::TqzDBGrid::SetFooterSum;
};

}  // namespace qzGridEh
