// The grid classes of the application's windows: TGridcx, the row grid of
// the main window, the list windows and the record picker (whole rows
// selected, numbered rows), and Uis::TDBGrid, the data-aware grid of the
// query and statistics windows.
#pragma once

#include "qzDBGrids.h"
#include "qzGridcx.h"

class TGridcx : public TqzGridcx {
    QZ_CLASS(TGridcx, TqzGridcx)
public:
    explicit TGridcx(TComponent* owner = nullptr);
    void AfterConstruction() override;
};

namespace Uis {

class TDBGrid : public TqzDBGrid {
    QZ_CLASS(TDBGrid, TqzDBGrid)
public:
    explicit TDBGrid(TComponent* owner = nullptr) : TqzDBGrid(owner) {}
};

}  // namespace Uis
