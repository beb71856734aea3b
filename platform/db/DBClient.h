// The unconnected in-memory data set: rows live in memory only, the set is
// made from field definitions (or persistent fields) by CreateDataSet.
#pragma once

#include "DB.h"

class TClientDataSet : public TDataSet {
    QZ_CLASS(TClientDataSet, TDataSet)
public:
    explicit TClientDataSet(TComponent* owner = nullptr);

    // The order of the rows: field names separated by ';' (ascending).
    const std::string& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& v);

private:
    std::string FIndexFieldNames;
};
