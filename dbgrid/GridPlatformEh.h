// GridPlatformEh: the few platform look-ups the grid suite shares that hold
// a decision of their own (bookmark order and validity, the master data set
// behind an object's data-source property).
#pragma once

#include "DB.h"

#include <string>

namespace GridPlatformEh {

// 0 when both name the same record.
int CompareRecordBookmarks(const TDataSet* dataSet, const TBookmark& a, const TBookmark& b);
bool IsBookmarkValid(const TDataSet* dataSet, const TBookmark& b);
// The data set of the data source an object's published property holds;
// null when the property is missing, holds anything else or cannot be read.
TDataSet* MasterDataSetOf(TObject* obj, const std::string& propName);

}  // namespace GridPlatformEh
