#include "DBSumLst.h"

#include "TextUtils.h"

QZ_CLASS_IMPL(TDBSum, TCollectionItem)
QZ_CLASS_IMPL(TDBSumCollection, TCollection)
QZ_CLASS_IMPL(TDBSumListProducer, TPersistent)
QZ_CLASS_IMPL(TDBGridEhSumList, TDBSumListProducer)

namespace {

Currency Cur(double d) { return Currency::FromDouble(d); }

// The field an item reads on the active record (null for a count over records).
TField* SumField(TDataSet* ds, const TDBSum* s)
{
    if (s->FieldName().empty()) return nullptr;
    return ds->FieldByName(s->FieldName());
}

void RecomputeAverage(TDBSum* s)
{
    s->AggregateValue = s->ValueCount == 0 ? Currency() : Cur(s->AvgSum.ToDouble() / s->ValueCount);
}

// The contribution of the active record to an item, as the edit handlers take it.
void TakeRecordValue(TDataSet* ds, TDBSum* s, bool inserting)
{
    TField* f = SumField(ds, s);
    switch (s->GroupOperation()) {
    case goSum:
    case goAvg:
        if (inserting) {
            s->RecordValue = Currency();
            s->PrevFieldValue = Null();
        } else {
            s->RecordValue = f->IsNull() ? Currency() : Cur(f->AsFloat());
            s->PrevFieldValue = f->Value();
        }
        break;
    case goCount:
        if (!f) s->RecordValue = Currency::FromInt(inserting ? 0 : 1);
        else s->RecordValue = Currency::FromInt(f->IsNull() ? 0 : 1);
        break;
    }
}

} // namespace

// ---- TDBSum ------------------------------------------------------------------------------

void TDBSum::SetFieldName(const std::string& v)
{
    if (v == FFieldName) return;
    FFieldName = v;
    Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation v)
{
    if (v == FGroupOperation) return;
    FGroupOperation = v;
    Changed(false);
}

void TDBSum::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TDBSum*>(source)) {
        SetGroupOperation(s->GroupOperation());
        SetFieldName(s->FieldName());
        RecordValue = s->RecordValue;
        AggregateValue = s->AggregateValue;
        return;
    }
    TCollectionItem::Assign(source);
}

// ---- TDBSumCollection ------------------------------------------------------------------------

TDBSumCollection::TDBSumCollection(TDBSumListProducer* producer)
    : TCollection(TDBSum::StaticClass()), FProducer(producer)
{
}

TDBSumCollection::~TDBSumCollection()
{
    FProducer = nullptr;
    Clear();
}

TDBSum* TDBSumCollection::FindSum(TGroupOperation op, const std::string& fieldName) const
{
    for (int i = 0; i < Count(); ++i) {
        TDBSum* s = Items(i);
        if (s->GroupOperation() == op && AnsiSameText(s->FieldName(), fieldName)) return s;
    }
    return nullptr;
}

TPersistent* TDBSumCollection::GetOwner() const { return FProducer; }

void TDBSumCollection::Update(TCollectionItem*)
{
    if (FProducer) FProducer->Update();
}

// ---- TDBSumListProducer ---------------------------------------------------------------------

TDBSumListProducer::TDBSumListProducer(TComponent* owner)
    : FOwner(owner), FSums(std::make_unique<TDBSumCollection>(this))
{
}

TDBSumListProducer::~TDBSumListProducer()
{
    FActive = false;
    UnhookDataSetEvents();
    FSums.reset();
}

bool TDBSumListProducer::CanWork() const
{
    if (FOwner && FOwner->ComponentState().Contains(csLoading)) return false;
    if (FOwner && FOwner->ComponentState().Contains(csDestroying)) return false;
    if (FOwner && FOwner->ComponentState().Contains(csDesigning) && !FWorksWhileDesigning) return false;
    return true;
}

std::vector<TDBSum*> TDBSumListProducer::TakingPart() const
{
    std::vector<TDBSum*> r;
    for (int i = 0; i < FSums->Count(); ++i)
        if (FSums->Items(i)->TakesPart()) r.push_back(FSums->Items(i));
    return r;
}

void TDBSumListProducer::Changed()
{
    if (SumListChanged) SumListChanged(this);
}

void TDBSumListProducer::Update()
{
    if (FOwner && (FOwner->ComponentState().Contains(csLoading) ||
                   FOwner->ComponentState().Contains(csDestroying)))
        return;
    RecalculateAll();
}

void TDBSumListProducer::StartProduce(bool recalc)
{
    FActive = true;
    if (!CanWork()) return;
    HookDataSetEvents();
    if (recalc) RecalculateAll();
}

void TDBSumListProducer::StopProduce(bool reset)
{
    FActive = false;
    if (!CanWork()) return;
    UnhookDataSetEvents();
    if (reset) ResetSums();
}

void TDBSumListProducer::SetActive(bool v)
{
    if (v == FActive) return;
    if (v) StartProduce(true);
    else StopProduce(true);
}

void TDBSumListProducer::SetDataSet(TDataSet* v)
{
    if (v == FDataSet.Get()) return;
    if (!CanWork()) {
        FDataSet = v;
        return;
    }
    bool wasActive = FActive;
    StopProduce(true);
    FDataSet = v;
    if (wasActive) StartProduce(true);
}

void TDBSumListProducer::SetExternalRecalc(bool v)
{
    if (v == FExternalRecalc) return;
    FExternalRecalc = v;
    RecalculateAll();
}

void TDBSumListProducer::AfterOwnerLoaded()
{
    if (FDataSet && FActive) StartProduce(true);
}

void TDBSumListProducer::HookDataSetEvents()
{
    TDataSet* ds = FDataSet.Get();
    if (!ds || FHooked) return;
    FAfterEdit = ds->AfterEdit;
    FAfterInsert = ds->AfterInsert;
    FAfterOpen = ds->AfterOpen;
    FAfterPost = ds->AfterPost;
    FAfterScroll = ds->AfterScroll;
    FBeforeDelete = ds->BeforeDelete;
    FAfterDelete = ds->AfterDelete;
    FAfterClose = ds->AfterClose;
    FAfterCancel = ds->AfterCancel;
    ds->AfterEdit = [this](TDataSet* d) { HandleAfterEdit(d); };
    ds->AfterInsert = [this](TDataSet* d) { HandleAfterInsert(d); };
    ds->AfterOpen = [this](TDataSet* d) { HandleAfterOpen(d); };
    ds->AfterPost = [this](TDataSet* d) { HandleAfterPost(d); };
    ds->AfterScroll = [this](TDataSet* d) { HandleAfterScroll(d); };
    ds->BeforeDelete = [this](TDataSet* d) { HandleBeforeDelete(d); };
    ds->AfterDelete = [this](TDataSet* d) { HandleAfterDelete(d); };
    ds->AfterClose = [this](TDataSet* d) { HandleAfterClose(d); };
    ds->AfterCancel = [this](TDataSet* d) { HandleAfterCancel(d); };
    FHooked = true;
}

void TDBSumListProducer::UnhookDataSetEvents()
{
    TDataSet* ds = FDataSet.Get();
    if (!FHooked) return;
    if (ds) {
        ds->AfterEdit = FAfterEdit;
        ds->AfterInsert = FAfterInsert;
        ds->AfterOpen = FAfterOpen;
        ds->AfterPost = FAfterPost;
        ds->AfterScroll = FAfterScroll;
        ds->BeforeDelete = FBeforeDelete;
        ds->AfterDelete = FAfterDelete;
        ds->AfterClose = FAfterClose;
        ds->AfterCancel = FAfterCancel;
    }
    FAfterEdit = FAfterInsert = FAfterOpen = FAfterPost = FAfterScroll = FBeforeDelete = FAfterDelete =
        FAfterClose = FAfterCancel = nullptr;
    FHooked = false;
}

void TDBSumListProducer::ResetSums()
{
    for (int i = 0; i < FSums->Count(); ++i) {
        TDBSum* s = FSums->Items(i);
        s->AggregateValue = s->RecordValue = s->AvgSum = Currency();
        s->ValueCount = 0;
    }
    Changed();
}

void TDBSumListProducer::RecalculateAll()
{
    TDataSet* ds = FDataSet.Get();
    if (!CanWork() || !FActive || !ds || !ds->Active() || !FHooked || FInRecalc) return;
    ResetSums();
    if (OnRecalcAll) OnRecalcAll(this);
    FInRecalc = true;
    try {
        if (!FExternalRecalc) {
            if (!TakingPart().empty()) {
                // The pass walks the whole set; the user stays on the record
                // he was on, and the set's controls come back even when the
                // pass fails.
                ds->DisableControls();
                TBookmark here = ds->Bookmark();
                try {
                    ds->First();
                    while (!ds->Eof()) {
                        for (TDBSum* s : TakingPart()) {
                            TField* f = SumField(ds, s);
                            switch (s->GroupOperation()) {
                            case goSum:
                                if (!f->IsNull()) s->AggregateValue += Cur(f->AsFloat());
                                break;
                            case goAvg:
                                if (!f->IsNull()) {
                                    s->AvgSum += Cur(f->AsFloat());
                                    ++s->ValueCount;
                                }
                                break;
                            case goCount:
                                if (!f || !f->IsNull()) s->AggregateValue += Currency::FromInt(1);
                                break;
                            }
                        }
                        ds->Next();
                    }
                    if (!here.empty() && ds->BookmarkValid(here)) ds->GotoBookmark(here);
                    else ds->First();
                } catch (...) {
                    if (!here.empty() && ds->BookmarkValid(here)) {
                        try { ds->GotoBookmark(here); } catch (...) {}
                    }
                    ds->EnableControls();
                    throw;
                }
                ds->EnableControls();
                for (int i = 0; i < FSums->Count(); ++i) {
                    TDBSum* s = FSums->Items(i);
                    if (s->TakesPart() && s->GroupOperation() == goAvg) RecomputeAverage(s);
                }
            }
            if (OnAfterRecalcAll) OnAfterRecalcAll(this);
        }
    } catch (...) {
        FLastFilter = ds->Filter();
        FLastFiltered = ds->Filtered();
        FInRecalc = false;
        Changed();
        throw;
    }
    FLastFilter = ds->Filter();
    FLastFiltered = ds->Filtered();
    FInRecalc = false;
    Changed();
}

void TDBSumListProducer::HandleAfterEdit(TDataSet* ds)
{
    if (!FActive) return;
    for (TDBSum* s : TakingPart()) TakeRecordValue(ds, s, false);
    if (FAfterEdit) FAfterEdit(ds);
}

void TDBSumListProducer::HandleAfterInsert(TDataSet* ds)
{
    if (FActive)
        for (TDBSum* s : TakingPart()) TakeRecordValue(ds, s, true);
    if (FAfterInsert) FAfterInsert(ds);
}

void TDBSumListProducer::HandleAfterPost(TDataSet* ds)
{
    if (FActive) {
        for (TDBSum* s : TakingPart()) {
            TField* f = SumField(ds, s);
            switch (s->GroupOperation()) {
            case goSum:
                if (f->IsNull()) s->AggregateValue -= s->RecordValue;
                else s->AggregateValue += Cur(f->AsFloat()) - s->RecordValue;
                break;
            case goAvg:
                if (f->IsNull()) {
                    s->AvgSum -= s->RecordValue;
                    if (!s->PrevFieldValue.IsNull()) --s->ValueCount;
                } else {
                    s->AvgSum += Cur(f->AsFloat()) - s->RecordValue;
                    if (s->PrevFieldValue.IsNull()) ++s->ValueCount;
                }
                RecomputeAverage(s);
                break;
            case goCount:
                if (f && f->IsNull()) s->AggregateValue -= s->RecordValue;
                else s->AggregateValue += Currency::FromInt(1) - s->RecordValue;
                break;
            }
            s->RecordValue = Currency();
            s->PrevFieldValue = Null();
        }
        Changed();
    }
    if (FAfterPost) FAfterPost(ds);
}

// The record's share is noted before the delete and taken off only after
// it: a data set that refuses the delete leaves the sums as they were.
void TDBSumListProducer::HandleBeforeDelete(TDataSet* ds)
{
    if (FBeforeDelete) FBeforeDelete(ds);
    FDeletePending = false;
    if (!FActive) return;
    for (TDBSum* s : TakingPart()) {
        TField* f = SumField(ds, s);
        switch (s->GroupOperation()) {
        case goSum:
        case goAvg:
            s->PendingDelete = f->IsNull() ? Currency() : Cur(f->AsFloat());
            s->PendingDeleteCounted = !f->IsNull();
            break;
        case goCount:
            s->PendingDelete = Currency::FromInt(!f || !f->IsNull() ? 1 : 0);
            s->PendingDeleteCounted = false;
            break;
        }
    }
    FDeletePending = true;
}

void TDBSumListProducer::HandleAfterDelete(TDataSet* ds)
{
    if (FActive && FDeletePending) {
        for (TDBSum* s : TakingPart()) {
            switch (s->GroupOperation()) {
            case goSum:
            case goCount:
                s->AggregateValue -= s->PendingDelete;
                break;
            case goAvg:
                s->AvgSum -= s->PendingDelete;
                if (s->PendingDeleteCounted) --s->ValueCount;
                RecomputeAverage(s);
                break;
            }
            s->PendingDelete = Currency();
        }
        Changed();
    }
    FDeletePending = false;
    if (FAfterDelete) FAfterDelete(ds);
}

void TDBSumListProducer::HandleAfterOpen(TDataSet* ds)
{
    if (FActive) RecalculateAll();
    if (FAfterOpen) FAfterOpen(ds);
}

void TDBSumListProducer::HandleAfterClose(TDataSet* ds)
{
    if (FActive) {
        ResetSums();
        FInRecalc = false;
    }
    if (FAfterClose) FAfterClose(ds);
}

void TDBSumListProducer::HandleAfterCancel(TDataSet* ds)
{
    if (FAfterCancel) FAfterCancel(ds);
}

void TDBSumListProducer::HandleAfterScroll(TDataSet* ds)
{
    if (FAfterScroll) FAfterScroll(ds);
    if (!FActive || FInRecalc) return;
    if (ds->Filtered() != FLastFiltered || (ds->Filtered() && ds->Filter() != FLastFilter)) RecalculateAll();
}

// ---- TDBGridEhSumList --------------------------------------------------------------------------

TDBGridEhSumList::TDBGridEhSumList(TComponent* owner) : TDBSumListProducer(owner)
{
    SetWorksWhileDesigning(true);
    SetActive(false);
}
