// DBSumLst: sums, averages and counts over every record of a data set,
// kept current while the data set is edited. One pass computes them when
// the set opens or its filter changes; afterwards each edit, insert and
// delete adjusts them by its difference. The producer takes over the data
// set's event handlers and calls the previous ones in turn.
#pragma once

#include "DB.h"

#include <memory>
#include <string>
#include <vector>

enum TGroupOperation { goSum, goAvg, goCount };

class TDBSumListProducer;

class TDBSum : public TCollectionItem {
    QZ_CLASS(TDBSum, TCollectionItem)
public:
    explicit TDBSum(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    TGroupOperation GroupOperation() const { return FGroupOperation; }
    void SetGroupOperation(TGroupOperation v);
    // Takes part in the computation: a count, or an item naming a field.
    bool TakesPart() const { return FGroupOperation == goCount || !FFieldName.empty(); }
    void Assign(TPersistent* source) override;

    Currency AggregateValue;
    Currency RecordValue;      // the edited record's contribution before the edit
    Variant PrevFieldValue;    // averages: the field's value before the edit
    Currency AvgSum;
    int ValueCount = 0;
    // Used by a delete: the contribution taken off once the delete went through.
    Currency PendingDelete;
    bool PendingDeleteCounted = false;

private:
    std::string FFieldName;
    TGroupOperation FGroupOperation = goSum;
};

class TDBSumCollection : public TCollection {
    QZ_CLASS(TDBSumCollection, TCollection)
public:
    explicit TDBSumCollection(TDBSumListProducer* producer = nullptr);
    ~TDBSumCollection() override;
    TDBSum* Add() { return static_cast<TDBSum*>(TCollection::Add()); }
    TDBSum* Items(int i) const { return static_cast<TDBSum*>(TCollection::Items(i)); }
    // The first item of that operation over that field (case-insensitive); null when none.
    TDBSum* FindSum(TGroupOperation op, const std::string& fieldName) const;
    TPersistent* GetOwner() const override;
protected:
    void Update(TCollectionItem* item) override;
private:
    TDBSumListProducer* FProducer;
};

class TDBSumListProducer : public TPersistent {
    QZ_CLASS(TDBSumListProducer, TPersistent)
public:
    explicit TDBSumListProducer(TComponent* owner = nullptr);
    ~TDBSumListProducer() override;
    TPersistent* GetOwner() const override { return FOwner; }

    bool Active() const { return FActive; }
    void SetActive(bool v);
    TDataSet* DataSet() const { return FDataSet.Get(); }
    void SetDataSet(TDataSet* v);
    bool ExternalRecalc() const { return FExternalRecalc; }
    void SetExternalRecalc(bool v);
    TDBSumCollection* SumCollection() const { return FSums.get(); }
    bool Hooked() const { return FHooked; }
    bool WorksWhileDesigning() const { return FWorksWhileDesigning; }
    void SetWorksWhileDesigning(bool v) { FWorksWhileDesigning = v; }

    void AfterOwnerLoaded();
    // One pass over every record; the data set stays on the record it was on.
    virtual void RecalculateAll();
    virtual void ResetSums();
    void Update();

    TNotifyEvent OnRecalcAll, OnAfterRecalcAll, SumListChanged;

protected:
    virtual void HookDataSetEvents();
    virtual void UnhookDataSetEvents();
    virtual void HandleAfterEdit(TDataSet* ds);
    virtual void HandleAfterInsert(TDataSet* ds);
    virtual void HandleAfterPost(TDataSet* ds);
    virtual void HandleBeforeDelete(TDataSet* ds);
    virtual void HandleAfterDelete(TDataSet* ds);
    virtual void HandleAfterOpen(TDataSet* ds);
    virtual void HandleAfterClose(TDataSet* ds);
    virtual void HandleAfterCancel(TDataSet* ds);
    virtual void HandleAfterScroll(TDataSet* ds);
    bool CanWork() const;
    void Changed();
    // The items that take part in the computation.
    std::vector<TDBSum*> TakingPart() const;

private:
    void StartProduce(bool recalc);
    void StopProduce(bool reset);
    TComponent* FOwner;
    TWeakRef<TDataSet> FDataSet;
    std::unique_ptr<TDBSumCollection> FSums;
    bool FActive = true;
    bool FExternalRecalc = false;
    bool FWorksWhileDesigning = false;
    bool FHooked = false;
    bool FInRecalc = false;
    bool FDeletePending = false;
    std::string FLastFilter;
    bool FLastFiltered = false;
    TDataSetNotifyEvent FAfterEdit, FAfterInsert, FAfterOpen, FAfterPost, FAfterScroll, FBeforeDelete,
        FAfterDelete, FAfterClose, FAfterCancel;
};

// The grid's producer: made inactive, works while designing.
class TDBGridEhSumList : public TDBSumListProducer {
    QZ_CLASS(TDBGridEhSumList, TDBSumListProducer)
public:
    explicit TDBGridEhSumList(TComponent* owner = nullptr);
};
