#include "cxGridStartup.h"

#include "UnitSequence.h"
#include "cxFilterControlDialog.h"
#include "cxGrid.h"
#include "cxGridBandedController.h"
#include "cxGridBandedTableView.h"
#include "cxGridCustomTableView.h"
#include "cxGridCustomView.h"
#include "cxGridDBBandedTableView.h"
#include "cxGridDBTableView.h"
#include "cxGridFilterPopup.h"
#include "cxGridTableController.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableMoving.h"
#include "cxGridTablePainters.h"
#include "cxGridTableView.h"

namespace cxGridStartup {

namespace {
TUnitSequence& Units()
{
    static TUnitSequence units{
        {nullptr, cxGridCustomView::Finalize},
        {cxGridCustomTableView::Initialize, nullptr},
        {cxGrid::Initialize, nullptr},
        {cxGridTableView::Initialize, cxGridTableView::Finalize},
        {cxGridTableController::Initialize, nullptr},
        {cxGridTablePainters::Initialize, nullptr},
        {cxGridTableMoving::Initialize, cxGridTableMoving::Finalize},
        {cxGridDBTableView::Initialize, cxGridDBTableView::Finalize},
        {cxGridBandedTableView::Initialize, cxGridBandedTableView::Finalize},
        {cxGridDBBandedTableView::Initialize, cxGridDBBandedTableView::Finalize},
        {cxFilterControlDialog::Initialize, nullptr},
        {cxGridFilterPopup::Initialize, cxGridFilterPopup::Finalize},
        {cxGridTableCustomizationForm::Initialize, cxGridTableCustomizationForm::Finalize},
        {cxGridBandedController::Initialize, cxGridBandedController::Finalize},
    };
    return units;
}
}  // namespace

void StartUp() { Units().StartUp(); }
void ShutDown() { Units().ShutDown(); }
bool Started() { return Units().Started(); }

}  // namespace cxGridStartup
