// Field-name lists (';'-separated), data-set field capabilities, field
// values by name lists, and the registry of data-set adapters.
#pragma once

#include "DB.h"

#include <string>
#include <vector>

namespace cxDB {

bool IsMultipleFieldNames(const std::string& names);
int GetFieldNamesCount(const std::string& names);
void GetFieldNames(const std::string& names, std::vector<std::string>& list);
bool CanModifyLookupKeyFields(TField* lookupField);
bool CanModifyDataSetField(TField* field, bool byValue);
bool IsTextStoredDataSetField(TField* field, bool editsText);
void GetDataSetFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields, Variant& value);
void SetDataSetFieldValues(TDataSet* dataSet, const std::vector<TField*>& fields, const Variant& value);
// The name a data-set filter text uses for the field: its origin (unless
// ignored), else its name, bracketed when it is no plain identifier; a name
// with a closing bracket is quoted so that it stays one token.
std::string GetFilterFieldName(TField* field, bool ignoreOrigin);
bool SameFieldName(const std::string& a, const std::string& b);

}  // namespace cxDB

// An adapter serves a data-set class (and its descendants).
class TcxDBAdapterItem : public TObject {
    QZ_CLASS(TcxDBAdapterItem, TObject)
public:
    explicit TcxDBAdapterItem(TClass servedClass = nullptr) : FServedClass(servedClass) {}
    TClass ServedClass() const { return FServedClass; }
private:
    TClass FServedClass;
};

using TcxDBAdapterFactory = TcxDBAdapterItem* (*)(TClass dataSetClass);

class TcxDBAdapterList : public TObject {
    QZ_CLASS(TcxDBAdapterList, TObject)
public:
    TcxDBAdapterList() = default;
    ~TcxDBAdapterList() override;
    // True with the index of the most derived registered ancestor of the class.
    virtual bool FindIndex(TClass dataSetClass, int& index);
    virtual void RegisterAdapter(TClass dataSetClass, TcxDBAdapterFactory make, TClass adapterClass);
    virtual void UnregisterAdapter(TClass dataSetClass, TClass adapterClass);
    int Count() const { return int(FItems.size()); }
    TcxDBAdapterItem* Items(int i) const { return FItems[size_t(i)]; }
    TcxDBAdapterItem* FindAdapter(TClass dataSetClass);
private:
    std::vector<TcxDBAdapterItem*> FItems;
};
