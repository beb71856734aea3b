#include "UisGrids.h"

#include "cxGridDBTableView.h"

QZ_CLASS_IMPL(TGridcx, TqzGridcx)

namespace Uis {
QZ_CLASS_IMPL(TDBGrid, TqzDBGrid)
}

TGridcx::TGridcx(TComponent* owner) : TqzGridcx(owner) {}

void TGridcx::AfterConstruction()
{
    TqzGridcx::AfterConstruction();
    // Lists are picked by the row: whole rows are selected, and numbered.
    View()->OptionsSelection()->SetCellSelect(false);
    View()->OptionsView()->SetIndicator(true);
}
