// The second copy of the application's data-aware grid wrapper, the one the
// workbook import derives its grids from: the same grid without the footer
// sums' column lookup.
#pragma once

#include "qzDBGrids.h"

namespace qzGridEh {

class TqzDBGrid : public TqzCustomDBGrid {
    QZ_CLASS(TqzDBGrid, TqzCustomDBGrid)
public:
    explicit TqzDBGrid(TComponent* AOwner = nullptr) : TqzCustomDBGrid(AOwner) {}
};

}  // namespace qzGridEh
