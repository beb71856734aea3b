// The data service the grids sort and filter through.
#include "DBGridEh.h"

#include <memory>

QZ_CLASS_IMPL(TDBGridEhDataService, TPersistent)

void TDBGridEhDataService::RunFilter(TCustomDBGridEh* grid)
{
    if (FilterHandler) FilterHandler(grid);
    else FilterByFeatures(grid);
}

void TDBGridEhDataService::RunSort(TCustomDBGridEh* grid)
{
    if (SortHandler) SortHandler(grid);
    else SortByFeatures(grid);
}

// No data set class of this program comes with features of its own to sort
// or filter by: without a handler the data stays as it is.
void TDBGridEhDataService::FilterByFeatures(TCustomDBGridEh*) {}
void TDBGridEhDataService::SortByFeatures(TCustomDBGridEh*) {}

namespace DBGridEh {
TDBGridEhDataService* DataService()
{
    static const std::unique_ptr<TDBGridEhDataService> service = std::make_unique<TDBGridEhDataService>();
    return service.get();
}
} // namespace DBGridEh
