#include "DBClient.h"
#include "SysUtils.h"

QZ_CLASS_IMPL(TClientDataSet, TDataSet)

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner) {}

void TClientDataSet::SetIndexFieldNames(const std::string& v)
{
    std::string sort;
    for (const std::string& n : SplitFieldNames(v)) sort += (sort.empty() ? "" : ",") + n;
    SetSortText(sort);
    FIndexFieldNames = v;
}
