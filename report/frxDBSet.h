// The report's data source over a data set of the data-access layer: links a
// TDataSet (directly or through a TDataSource) so that data bands walk its
// rows and text objects read its fields, with field aliases and ranges.
#pragma once

#include "DB.h"
#include "frxClass.h"

#include <unordered_map>


class TfrxDBDataset : public TfrxCustomDBDataSet {
    QZ_CLASS(TfrxDBDataset, TfrxCustomDBDataSet)
public:
    explicit TfrxDBDataset(TComponent* owner = nullptr);
    ~TfrxDBDataset() override;

    TDataSet* DataSet() const { return FDataSet.Get(); }
    // A data set clears the data source and the other way round.
    void SetDataSet(TDataSet* v);
    TDataSource* DataSource() const { return FDataSource.Get(); }
    void SetDataSource(TDataSource* v);
    // DataSet, else the data source's data set, else null.
    TDataSet* EffectiveDataSet() const;

    std::string GetDisplayText(const std::string& field) override;
    int GetDisplayWidth(const std::string& field) override;
    std::string GetDisplayLabel(const std::string& field) override;
    TfrxFieldType GetFieldType(const std::string& field) override;
    Variant GetValue(const std::string& field) override;
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    bool IsBlobField(const std::string& field) override;
    void AssignBlobTo(const std::string& field, TStream* stream) override;
    void GetFieldList(TStrings* list) override;

private:
    void BindFields(bool raiseMissing);
    TField* ListedField(const std::string& field, bool& listed) const;
    void FieldMissing(const std::string& field, bool toErrors, std::string* text);
    TWeakRef<TDataSet> FDataSet;
    TWeakRef<TDataSource> FDataSource;
    TWeakRef<TDataSet> FLinked;   // the data set hooked for the run
    std::string FBookmark;
    bool FHasBookmark = false;
    bool FAtRangeEnd = false;
    bool FOpened = false;
    // Between Initialize and Finalize: reads open the data set when needed
    // (outside a run, the designer asks without opening a database).
    bool FRunning = false;
    std::function<void(TDataSet*)> FSavedAfterOpen;
    mutable std::unordered_map<std::string, TField*> FLookup;
};
