#include "GridPlatformEh.h"

#include "TypInfo.h"

namespace GridPlatformEh {

int CompareRecordBookmarks(const TDataSet* dataSet, const TBookmark& a, const TBookmark& b)
{
    return dataSet->CompareBookmarks(a, b);
}

bool IsBookmarkValid(const TDataSet* dataSet, const TBookmark& b) { return dataSet->BookmarkValid(b); }

TDataSet* MasterDataSetOf(TObject* obj, const std::string& propName)
{
    if (!obj) return nullptr;
    try {
        PPropInfo info = GetPropInfo(obj, propName);
        if (!info || info->Kind != tkClass) return nullptr;
        auto* source = DynamicCast<TDataSource>(GetObjectProp(obj, info));
        return source ? source->DataSet() : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace GridPlatformEh
