// The data set: opening and closing, the buffer window, navigation, editing,
// bookmarks, searching, filtering, sorting and the notices to data sources.
#include "DBStoreImpl.h"
#include "SysUtils.h"
#include "StringLists.h"
#include "Streams.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TDataSet, TComponent)

namespace {

bool IsCalcKind(const TField* f) { return f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup; }

// Runs a data-set operation with its error event: the handler may ask to
// retry, to fail with the error, or to abort silently.
template <class Fn> void CheckOperation(TDataSet* ds, const TDataSetErrorEvent& onError, Fn&& op)
{
    for (;;) {
        try {
            op();
            return;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            if (!onError) throw;
            TDataAction action = daFail;
            onError(ds, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
}

// Restores a data set's temporary state and the row its handlers see.
struct TTempState {
    TDataSetState& State;
    TDataSetState Saved;
    TRowValues*& Override;
    TRowValues* SavedOverride;
    TTempState(TDataSetState& s, TDataSetState temp, TRowValues*& ov, TRowValues* row)
        : State(s), Saved(s), Override(ov), SavedOverride(ov)
    {
        State = temp;
        Override = row;
    }
    ~TTempState()
    {
        State = Saved;
        Override = SavedOverride;
    }
};

}

// ---- construction -----------------------------------------------------------------

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner), FFields(new TFields(this)), FAggFields(new TFields(this)),
      FFieldDefs(new TFieldDefs(this)), FStore(new TDataSetStore)
{
}

TDataSet::~TDataSet()
{
    Destroying();
    try {
        if (Active()) {
            // No handlers run while the set goes away.
            FState = dsInactive;
            CloseCursor();
        }
    } catch (...) {
    }
    while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
    // The set frees its fields, persistent ones included.
    while (FFields->Count() > 0) {
        TField* f = FFields->Fields(FFields->Count() - 1);
        FFields->Remove(f);
        f->FDataSet = nullptr;
        FreeObject(f);
    }
}

void TDataSet::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
}

// ---- opening and closing -----------------------------------------------------------

void TDataSet::CheckActive() const
{
    if (FState == dsInactive) DatabaseError(DBConsts::SDataSetClosed, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const
{
    if (FState != dsInactive && !FOpening) DatabaseError(DBConsts::SDataSetOpen, const_cast<TDataSet*>(this));
}

void TDataSet::Open() { SetActive(true); }
void TDataSet::Close() { SetActive(false); }

void TDataSet::SetActive(bool v)
{
    if (v == Active()) return;
    if (v) {
        if (BeforeOpen) BeforeOpen(this);
        OpenCursor();
        SetState(dsBrowse);
        OpenCursorComplete();
        if (AfterOpen) AfterOpen(this);
        if (!IsEmpty()) DoAfterScroll();
    } else {
        if (!ComponentState().Contains(csDestroying) && BeforeClose) BeforeClose(this);
        SetState(dsInactive);
        CloseCursor();
        if (!ComponentState().Contains(csDestroying) && AfterClose) AfterClose(this);
    }
}

void TDataSet::OpenCursor()
{
    FOpening = true;
    FStore->Clear();
    FStore->SlotCount = 0;
    FStore->DefToSlot.clear();
    FStore->SlotFields.clear();
    FStore->SlotConvert.clear();
    bool bound = false;
    try {
        InternalOpen();
        if (FStore->SlotFields.empty() && FStore->SlotCount == 0) BindFields(true);
        bound = true;
        if (FFilterExpr) qzDB::BindFilter(*FFilterExpr, this);
        RebuildOrder();
    } catch (...) {
        FOpening = false;
        try {
            InternalClose();
        } catch (...) {
        }
        FStore->Clear();
        if (bound || !FStore->SlotFields.empty()) BindFields(false);
        if (FDefaultFields) DestroyDefaultFields();
        throw;
    }
    FOpening = false;
    UpdateBufferCount();
    if (FStore->Order.empty()) {
        ClearWindow();
    } else {
        FillWindowAround(0, 0);
        FBof = true;
        FEof = false;
    }
}

void TDataSet::CloseCursor()
{
    try {
        InternalClose();
    } catch (...) {
        FStore->Clear();
        BindFields(false);
        if (FDefaultFields) DestroyDefaultFields();
        ClearWindow();
        throw;
    }
    FStore->Clear();
    BindFields(false);
    if (FDefaultFields) DestroyDefaultFields();
    ClearWindow();
    FModified = false;
}

void TDataSet::InternalOpen()
{
    // An unconnected set: its rows are the ones added after it opens.
    if (FFieldDefs->Count() == 0 && FFields->Count() == 0)
        DatabaseError(DBConsts::SNoFieldDefs, this);
    if (FFieldDefs->Count() == 0) {
        // Definitions from the persistent data fields.
        for (TField* f : *FFields)
            if (f->FieldKind() == fkData)
                FFieldDefs->Add(f->FieldName(), f->DataType(), f->IsBlob() ? 0 : f->Size(), f->Required());
    }
}

void TDataSet::CreateDataSet()
{
    CheckInactive();
    if (FFieldDefs->Count() == 0 && FFields->Count() == 0) DatabaseError(DBConsts::SNoFieldDefs, this);
    FInMemoryCreated = true;
    Open();
}

void TDataSet::EmptyDataSet()
{
    CheckActive();
    if (IsEditState(FState)) Cancel();
    FStore->Clear();
    ClearWindow();
    DataEvent(deDataSetChange, 0);
}

void TDataSet::CreateFields()
{
    for (int i = 0; i < FFieldDefs->Count(); ++i) {
        TFieldDef* d = FFieldDefs->Items(i);
        if (!DefaultFieldClass(d->DataType())) continue;
        d->CreateField(this);
    }
}

void TDataSet::DestroyDefaultFields()
{
    FDefaultFields = false;
    while (FFields->Count() > 0) {
        TField* f = FFields->Fields(FFields->Count() - 1);
        FFields->Remove(f);
        f->FDataSet = nullptr;
        FreeObject(f);
    }
}

void TDataSet::BindFields(bool binding)
{
    TDataSetStore& st = *FStore;
    st.SlotFields.clear();
    st.SlotConvert.clear();
    st.DefToSlot.clear();
    st.SlotCount = 0;
    if (!binding) {
        for (TField* f : *FFields) f->SetSlotIndex(-1);
        return;
    }
    if (FFields->Count() == 0) {
        FDefaultFields = true;
        CreateFields();
    }
    st.DefToSlot.assign(size_t(FFieldDefs->Count()), -1);
    // Data fields first, in field order, then calculated and lookup ones.
    for (int pass = 0; pass < 2; ++pass) {
        for (TField* f : *FFields) {
            bool calc = IsCalcKind(f) || f->FieldKind() == fkInternalCalc;
            if ((pass == 0) == calc) continue;
            int slot = st.SlotCount++;
            f->SetSlotIndex(slot);
            st.SlotFields.push_back(f);
            bool convert = false;
            if (!calc) {
                int di = FFieldDefs->IndexOf(f->FieldName());
                if (di < 0) {
                    BindFields(false);
                    DatabaseErrorFmt(DBConsts::SFieldNotFound, {f->FieldName()}, this);
                }
                st.DefToSlot[size_t(di)] = slot;
                f->SetFieldNo(di + 1);
                TFieldType dt = FFieldDefs->Items(di)->DataType();
                convert = dt != f->DataType() && !(f->IsBlob() && (dt == ftBlob || dt == ftMemo ||
                                                                   dt == ftGraphic || dt == ftFmtMemo));
            } else if (f->FieldKind() == fkLookup) {
                if (f->KeyFields().empty() || !f->LookupDataSet() || f->LookupKeyFields().empty() ||
                    f->LookupResultField().empty()) {
                    BindFields(false);
                    DatabaseErrorFmt(DBConsts::SLookupInfoError, {f->DisplayName()}, this);
                }
                f->SetFieldNo(-1);
            } else {
                f->SetFieldNo(-1);
            }
            st.SlotConvert.push_back(convert);
        }
    }
}

// ---- rows ----------------------------------------------------------------------------

void TDataSet::ReserveRows(size_t n)
{
    FStore->Rows.reserve(n);
    FStore->Live.reserve(n);
    FStore->CalcGen.reserve(n);
}

void TDataSet::AddRow(std::vector<Variant>&& values)
{
    TDataSetStore& st = *FStore;
    if (st.SlotFields.empty()) BindFields(true);
    size_t nd = st.DefToSlot.size();
    bool identity = values.size() == nd && int(nd) <= st.SlotCount;
    if (identity) {
        for (size_t i = 0; i < nd; ++i)
            if (st.DefToSlot[i] != int(i) || st.SlotConvert[i]) {
                identity = false;
                break;
            }
    }
    if (identity) {
        values.resize(size_t(st.SlotCount));
        st.Rows.push_back(values);
    } else {
        TRowValues row(size_t(st.SlotCount));
        for (size_t i = 0; i < nd && i < values.size(); ++i) {
            int slot = st.DefToSlot[i];
            if (slot < 0) continue;
            Variant& v = values[i];
            if (st.SlotConvert[size_t(slot)] && !v.IsNull() && !v.IsEmpty()) {
                try {
                    row[size_t(slot)] = st.SlotFields[size_t(slot)]->Normalize(v);
                } catch (const Exception&) {
                    row[size_t(slot)] = Null();
                }
            } else {
                row[size_t(slot)] = std::move(v);
            }
        }
        st.Rows.push_back(row);
    }
    // The values are held in the store's own form now; the caller's copies go.
    TRowValues().swap(values);
    st.Live.push_back(1);
    st.CalcGen.push_back(0);
    st.Natural.push_back(int(st.Rows.size()) - 1);
    st.Order.push_back(int(st.Rows.size()) - 1);
    st.OrderChanged();
}

void TDataSet::ClearRows()
{
    FStore->Clear();
}

bool TDataSet::RowPassesFilter(int row)
{
    bool hasExpr = FFilterExpr != nullptr && !FFilterText.empty();
    if (!FFiltered || (!hasExpr && !OnFilterRecord)) return true;
    CalcRow(row);
    TRowValues values = FStore->Rows.Row(size_t(row));
    TTempState temp(FState, dsFilter, FStore->Override, &values);
    bool accept = true;
    if (hasExpr)
        accept = qzDB::EvalFilter(*FFilterExpr, FFilterOptions.Contains(foCaseInsensitive),
                                  FFilterOptions.Contains(foNoPartialCompare));
    if (accept && OnFilterRecord) OnFilterRecord(this, accept);
    return accept;
}

void TDataSet::RebuildOrder()
{
    TDataSetStore& st = *FStore;
    std::vector<int> order;
    order.reserve(st.Natural.size());
    for (int r : st.Natural) {
        if (r == st.EditRow && IsEditState(FState)) {
            order.push_back(r);
            continue;
        }
        if (st.Live[size_t(r)] && RowPassesFilter(r)) order.push_back(r);
    }
    st.Order.swap(order);
    st.OrderChanged();
    if (!FSortText.empty()) ApplySort();
}

void TDataSet::CalcRow(int row) const
{
    TDataSetStore& st = *FStore;
    if (row < 0 || size_t(row) >= st.Rows.size() || st.CalcGen[size_t(row)] == st.Gen) return;
    bool hasCalc = false;
    for (TField* f : st.SlotFields)
        if (IsCalcKind(f)) {
            hasCalc = true;
            break;
        }
    st.CalcGen[size_t(row)] = st.Gen;
    if (!hasCalc) return;
    auto* self = const_cast<TDataSet*>(this);
    TRowValues values = st.Rows.Row(size_t(row));
    // The calculated values go back into the stored row however the handler ends.
    struct StoreBack {
        TRowStore& Rows;
        int Row;
        TRowValues& Values;
        ~StoreBack() { Rows.Set(size_t(Row), Values); }
    } storeBack{st.Rows, row, values};
    TTempState temp(self->FState, dsCalcFields, st.Override, &values);
    for (TField* f : st.SlotFields) {
        if (!IsCalcKind(f)) continue;
        values[size_t(f->SlotIndex())] = Null();
        if (f->FieldKind() == fkLookup) {
            TDataSet* lds = f->LookupDataSet();
            if (!lds || !lds->Active()) continue;
            try {
                Variant keys = self->FieldValues(f->KeyFields());
                values[size_t(f->SlotIndex())] = lds->Lookup(f->LookupKeyFields(), keys, f->LookupResultField());
            } catch (const Exception&) {
                // A key that cannot be compared finds nothing.
            }
        }
    }
    if (OnCalcFields) OnCalcFields(self);
}

// ---- the window of buffered records -----------------------------------------------------

void TDataSet::ClearWindow()
{
    FWindowTop = 0;
    FRecordCount = 0;
    FActiveRecord = 0;
    FBof = true;
    FEof = true;
}

void TDataSet::FillWindowAround(int pos, int slot)
{
    int n = int(FStore->Order.size());
    if (n == 0) {
        ClearWindow();
        return;
    }
    if (pos < 0) pos = 0;
    if (pos >= n) pos = n - 1;
    if (slot < 0) slot = 0;
    if (slot >= FBufferCount) slot = FBufferCount - 1;
    int top = pos - slot;
    int maxTop = std::max(0, n - FBufferCount);
    top = std::clamp(top, 0, maxTop);
    FWindowTop = top;
    FRecordCount = std::min(FBufferCount, n - top);
    FActiveRecord = pos - top;
}

int TDataSet::CurrentPos() const
{
    if (FState == dsInactive || FRecordCount == 0) return -1;
    int pos = FWindowTop + FActiveRecord;
    return pos >= 0 && pos < int(FStore->Order.size()) ? pos : -1;
}

int TDataSet::CurrentRow() const
{
    int pos = CurrentPos();
    return pos < 0 ? -1 : FStore->Order[size_t(pos)];
}

void TDataSet::SetActiveRecord(int v) { FActiveRecord = v; }

TDataSet::TInstantRead TDataSet::BeginInstantRead(int pos)
{
    TInstantRead saved{FWindowTop, FActiveRecord, FRecordCount, false};
    if (FState == dsInactive || pos < 0 || pos >= int(FStore->Order.size())) return saved;
    saved.Active = true;
    FWindowTop = pos;
    FActiveRecord = 0;
    FRecordCount = 1;
    return saved;
}

void TDataSet::EndInstantRead(const TInstantRead& saved)
{
    if (!saved.Active) return;
    FWindowTop = saved.WindowTop;
    FActiveRecord = saved.ActiveRecord;
    FRecordCount = saved.RecordCount;
}

void TDataSet::UpdateBufferCount()
{
    int n = 1;
    for (TDataSource* src : FDataSources)
        for (int i = 0; i < src->DataLinkCount(); ++i) n = std::max(n, src->DataLinks(i)->BufferCount());
    if (n == FBufferCount) return;
    int pos = CurrentPos();
    FBufferCount = n;
    if (pos < 0) {
        if (FState != dsInactive && !FStore->Order.empty()) FillWindowAround(0, 0);
        return;
    }
    int total = int(FStore->Order.size());
    int top = FWindowTop;
    if (pos - top >= n) top = pos - n + 1;
    if (total - top < n) top = std::max(0, total - n);
    if (top > pos) top = pos;
    FWindowTop = top;
    FRecordCount = std::min(n, total - top);
    FActiveRecord = pos - top;
}

void TDataSet::Resync(TResyncModes mode)
{
    ResyncInternal(mode);
}

void TDataSet::ResyncInternal(TResyncModes mode)
{
    int pos = CurrentPos();
    int n = int(FStore->Order.size());
    ++FStore->Gen;
    if (n == 0) {
        ClearWindow();
    } else {
        if (pos < 0) pos = std::min(FWindowTop + FActiveRecord, n - 1);
        if (pos < 0) pos = 0;
        int slot = mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
        FillWindowAround(pos, slot);
        FBof = false;
        FEof = false;
    }
    DataEvent(deDataSetChange, 0);
}

// ---- state and notices --------------------------------------------------------------------

void TDataSet::SetState(TDataSetState s)
{
    if (FState == s) return;
    FState = s;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info)
{
    switch (event) {
    case deFieldChange: {
        auto* f = reinterpret_cast<TField*>(info);
        if (f && (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc)) FModified = true;
        break;
    }
    default:
        break;
    }
    if (FDisableCount == 0 || event == deDisabledStateChange) {
        std::vector<TDataSource*> sources = FDataSources;
        for (TDataSource* src : sources) src->DataEvent(event, info);
    } else if ((event == deUpdateState && FState == dsInactive) || event == deLayoutChange) {
        FEnableEvent = deLayoutChange;
    }
}

void TDataSet::DisableControls()
{
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
    if (FDisableCount == 1) DataEvent(deDisabledStateChange, 0);
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0) return;
    if (--FDisableCount != 0) return;
    DataEvent(deDisabledStateChange, 1);
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::AddDataSource(TDataSource* ds)
{
    FDataSources.push_back(ds);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* ds)
{
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), ds), FDataSources.end());
    UpdateBufferCount();
}

void TDataSet::FieldAdded(TField* f)
{
    FFields->Add(f);
    if (!FOpening) FDefaultFields = false;
}

void TDataSet::FieldRemoved(TField* f) { FFields->Remove(f); }

void TDataSet::DoBeforeScroll()
{
    if (BeforeScroll) BeforeScroll(this);
}

void TDataSet::DoAfterScroll()
{
    if (AfterScroll) AfterScroll(this);
}

// ---- navigation -------------------------------------------------------------------------

bool TDataSet::IsEmpty() const { return FRecordCount == 0; }

int TDataSet::RecordCount() const
{
    CheckActive();
    int n = int(FStore->Order.size());
    if (FState == dsInsert && FStore->EditRow >= 0) --n;
    return n;
}

int TDataSet::RecNo() const
{
    int pos = CurrentPos();
    return pos < 0 ? -1 : pos + 1;
}

void TDataSet::SetRecNo(int v)
{
    CheckBrowseMode();
    int n = int(FStore->Order.size());
    if (v < 1 || v > n || v == RecNo()) return;
    DoBeforeScroll();
    FillWindowAround(v - 1, (FBufferCount - 1) / 2);
    FBof = false;
    FEof = false;
    ++FStore->Gen;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::First()
{
    CheckBrowseMode();
    DoBeforeScroll();
    int n = int(FStore->Order.size());
    if (n == 0) {
        ClearWindow();
    } else {
        FillWindowAround(0, 0);
        FEof = false;
    }
    FBof = true;
    ++FStore->Gen;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    DoBeforeScroll();
    int n = int(FStore->Order.size());
    if (n == 0) {
        ClearWindow();
    } else {
        FillWindowAround(n - 1, FBufferCount - 1);
        FBof = false;
    }
    FEof = true;
    ++FStore->Gen;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    int result = 0;
    DoBeforeScroll();
    if ((distance > 0 && !FEof) || (distance < 0 && !FBof)) {
        FBof = false;
        FEof = false;
        int oldCount = FRecordCount;
        int scroll = 0;
        int n = int(FStore->Order.size());
        while (distance > 0) {
            if (FActiveRecord < FRecordCount - 1) {
                ++FActiveRecord;
            } else if (FWindowTop + FRecordCount < n) {
                if (FRecordCount < FBufferCount) {
                    ++FRecordCount;
                    ++FActiveRecord;
                } else {
                    ++FWindowTop;
                    ++scroll;
                }
            } else {
                FEof = true;
                break;
            }
            --distance;
            ++result;
        }
        while (distance < 0) {
            if (FActiveRecord > 0) {
                --FActiveRecord;
            } else if (FWindowTop > 0) {
                --FWindowTop;
                if (FRecordCount < FBufferCount) ++FRecordCount;
                --scroll;
            } else {
                FBof = true;
                break;
            }
            ++distance;
            --result;
        }
        if (FRecordCount != oldCount) DataEvent(deDataSetChange, 0);
        else DataEvent(deDataSetScroll, scroll);
    }
    DoAfterScroll();
    return result;
}

// ---- editing --------------------------------------------------------------------------------

bool TDataSet::CanModify() const { return Active() && !FReadOnly; }

void TDataSet::CheckCanModify() const
{
    if (!CanModify()) DatabaseError(DBConsts::SDataSetReadOnly, const_cast<TDataSet*>(this));
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    if (IsEditState(FState)) {
        UpdateRecord();
        if (FModified) Post();
        else Cancel();
    }
}

void TDataSet::UpdateRecord()
{
    if (!IsEditState(FState)) DatabaseError(DBConsts::SNotEditing, this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit()
{
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    if (BeforeEdit) BeforeEdit(this);
    CheckOperation(this, OnEditError, [] {});
    int row = CurrentRow();
    if (row < 0) DatabaseError(DBConsts::SDataSetEmpty, this);
    TDataSetStore& st = *FStore;
    CalcRow(row);
    st.EditRow = row;
    st.EditBuf = st.Rows.Row(size_t(row));
    st.OldBuf = st.EditBuf;
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    if (AfterEdit) AfterEdit(this);
}

void TDataSet::BeginInsertAppend()
{
    CheckBrowseMode();
    CheckCanModify();
    if (BeforeInsert) BeforeInsert(this);
    DoBeforeScroll();
}

void TDataSet::DoOnNewRecord()
{
    if (OnNewRecord) OnNewRecord(this);
}

void TDataSet::EndInsertAppend()
{
    SetState(dsInsert);
    try {
        UpdateEditCalcFields();
        DoOnNewRecord();
    } catch (...) {
        TDataSetStore& st = *FStore;
        int pos = st.PosOfRow(st.EditRow);
        if (pos >= 0) st.Order.erase(st.Order.begin() + pos);
        st.DropPendingRow(st.EditRow);
        st.EditRow = -1;
        st.OrderChanged();
        SetState(dsBrowse);
        if (pos >= 0) {
            FillWindowAround(std::min(pos, int(st.Order.size()) - 1), FActiveRecord);
        }
        ResyncInternal({});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    if (AfterInsert) AfterInsert(this);
    DoAfterScroll();
}

namespace {
int NewPendingRow(TDataSetStore& st)
{
    st.Rows.push_back(TRowValues(size_t(st.SlotCount)));
    st.Live.push_back(0);
    st.CalcGen.push_back(0);
    int id = int(st.Rows.size()) - 1;
    st.EditRow = id;
    st.EditBuf.assign(size_t(st.SlotCount), Null());
    st.OldBuf = st.EditBuf;
    return id;
}
}

void TDataSet::Insert()
{
    BeginInsertAppend();
    TDataSetStore& st = *FStore;
    int pos = CurrentPos();
    if (pos < 0) pos = 0;
    int slot = FRecordCount == 0 ? 0 : FActiveRecord;
    int before = pos < int(st.Order.size()) ? st.Order[size_t(pos)] : -1;
    int id = NewPendingRow(st);
    auto nat = before < 0 ? st.Natural.end() : std::find(st.Natural.begin(), st.Natural.end(), before);
    st.Natural.insert(nat, id);
    st.Order.insert(st.Order.begin() + pos, id);
    st.OrderChanged();
    FillWindowAround(pos, slot);
    FBof = false;
    FEof = false;
    EndInsertAppend();
}

void TDataSet::Append()
{
    BeginInsertAppend();
    TDataSetStore& st = *FStore;
    int id = NewPendingRow(st);
    st.Natural.push_back(id);
    st.Order.push_back(id);
    st.RowAppended(id);
    FillWindowAround(int(st.Order.size()) - 1, FBufferCount - 1);
    FBof = false;
    FEof = true;
    EndInsertAppend();
}

void TDataSet::CheckRequiredFields()
{
    for (TField* f : *FFields)
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
            f->FocusControl();
            DatabaseErrorFmt(DBConsts::SFieldRequired, {f->DisplayName()});
        }
}

void TDataSet::Post()
{
    UpdateRecord();
    if (!IsEditState(FState)) return;
    DataEvent(deCheckBrowseMode, 0);
    if (BeforePost) BeforePost(this);
    CheckRequiredFields();
    CheckOperation(this, OnPostError, [this] { InternalPost(); });
    TDataSetStore& st = *FStore;
    int row = st.EditRow;
    int pos = st.PosOfRow(row);
    st.Rows.Set(size_t(row), st.EditBuf);
    st.Live[size_t(row)] = 1;
    st.CalcGen[size_t(row)] = 0;
    st.EditRow = -1;
    st.EditBuf.clear();
    st.OldBuf.clear();
    st.ValuesChanged();   // a posted row keeps its place (an inserted one has it already)
    if (!RowPassesFilter(row) && pos >= 0) {
        st.Order.erase(st.Order.begin() + pos);
        st.OrderChanged();
    }
    SetState(dsBrowse);
    if (pos >= 0) FillWindowAround(std::min(pos, int(st.Order.size()) - 1), FActiveRecord);
    ResyncInternal({});
    if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel()
{
    if (!IsEditState(FState)) return;
    DataEvent(deCheckBrowseMode, 0);
    if (BeforeCancel) BeforeCancel(this);
    TDataSetStore& st = *FStore;
    int row = st.EditRow;
    int pos = st.PosOfRow(row);
    bool wasInsert = FState == dsInsert;
    if (wasInsert && row >= 0) {
        if (pos >= 0) st.Order.erase(st.Order.begin() + pos);
        st.DropPendingRow(row);
        st.OrderChanged();
    }
    st.EditRow = -1;
    st.EditBuf.clear();
    st.OldBuf.clear();
    SetState(dsBrowse);
    if (pos >= 0 && !st.Order.empty()) FillWindowAround(std::min(pos, int(st.Order.size()) - 1), FActiveRecord);
    ResyncInternal({});
    if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete()
{
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError(DBConsts::SDataSetEmpty, this);
    DataEvent(deCheckBrowseMode, 0);
    if (BeforeDelete) BeforeDelete(this);
    DoBeforeScroll();
    CheckOperation(this, OnDeleteError, [this] { InternalDelete(); });
    TDataSetStore& st = *FStore;
    int row = FState == dsEdit ? st.EditRow : CurrentRow();
    int pos = st.PosOfRow(row);
    if (row >= 0) st.Live[size_t(row)] = 0;
    if (pos >= 0) st.Order.erase(st.Order.begin() + pos);
    st.OrderChanged();
    st.EditRow = -1;
    st.EditBuf.clear();
    st.OldBuf.clear();
    SetState(dsBrowse);
    if (!st.Order.empty()) FillWindowAround(std::min(pos, int(st.Order.size()) - 1), FActiveRecord);
    else ClearWindow();
    ResyncInternal({});
    if (AfterDelete) AfterDelete(this);
    DoAfterScroll();
}

void TDataSet::ClearFields()
{
    if (!IsEditState(FState)) DatabaseError(DBConsts::SNotEditing, this);
    for (TField* f : *FFields)
        if (f->FieldKind() == fkData) FStore->EditBuf[size_t(f->SlotIndex())] = Null();
    DataEvent(deRecordChange, 0);
}

void TDataSet::SetFields(const std::vector<Variant>& values)
{
    int n = std::min(int(values.size()), FFields->Count());
    for (int i = 0; i < n; ++i) {
        const Variant& v = values[size_t(i)];
        if (!v.IsEmpty()) FFields->Fields(i)->SetAsVariant(v);
    }
}

void TDataSet::InsertRecord(const std::vector<Variant>& values)
{
    Insert();
    SetFields(values);
    Post();
}

void TDataSet::AppendRecord(const std::vector<Variant>& values)
{
    Append();
    SetFields(values);
    Post();
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    if (BeforeRefresh) BeforeRefresh(this);
    int pos = CurrentPos();
    InternalRefresh();
    RebuildOrder();   // filter and order apply to the rows read afresh
    if (!FStore->Order.empty()) FillWindowAround(std::max(0, std::min(pos, int(FStore->Order.size()) - 1)), FActiveRecord);
    else ClearWindow();
    ResyncInternal({});
    if (AfterRefresh) AfterRefresh(this);
}

// ---- field values ------------------------------------------------------------------

Variant TDataSet::GetFieldData(const TField* field) const
{
    int slot = field->SlotIndex();
    if (slot < 0 || FState == dsInactive) return Null();
    const TDataSetStore& st = *FStore;
    const TRowValues* buf = st.Override;
    if (!buf) {
        if (FRecordCount == 0 || FActiveRecord < 0 || FActiveRecord >= FRecordCount) return Null();
        int pos = FWindowTop + FActiveRecord;
        if (pos < 0 || pos >= int(st.Order.size())) return Null();
        int row = st.Order[size_t(pos)];
        if (row == st.EditRow && IsEditState(FState)) {
            buf = &st.EditBuf;
        } else {
            if (IsCalcKind(field)) CalcRow(row);
            return st.Rows.Get(size_t(row), size_t(slot));
        }
    }
    if (size_t(slot) >= buf->size()) return Null();
    return (*buf)[size_t(slot)];
}

Variant TDataSet::GetOldFieldData(const TField* field) const
{
    int slot = field->SlotIndex();
    if (slot < 0) return Null();
    if (IsEditState(FState) && FStore->EditRow >= 0 && size_t(slot) < FStore->OldBuf.size())
        return FStore->OldBuf[size_t(slot)];
    return GetFieldData(field);
}

void TDataSet::SetFieldData(TField* field, const Variant& value)
{
    TDataSetStore& st = *FStore;
    int slot = field->SlotIndex();
    if (FState == dsCalcFields && IsCalcKind(field)) {
        if (st.Override && slot >= 0) (*st.Override)[size_t(slot)] = value;
        return;
    }
    if (field->FieldKind() == fkLookup) {
        // A lookup value is written through its key fields.
        TDataSet* lds = field->LookupDataSet();
        if (!lds) DatabaseErrorFmt(DBConsts::SLookupInfoError, {field->DisplayName()}, this);
        Variant keys = value.IsNull() ? Null() : lds->Lookup(field->LookupResultField(), value, field->LookupKeyFields());
        SetFieldValues(field->KeyFields(), keys);
        return;
    }
    if (!IsEditState(FState) || st.EditRow < 0) DatabaseError(DBConsts::SNotEditing, this);
    if (field->ReadOnly() || (IsCalcKind(field) && FState != dsCalcFields))
        DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
    if (slot < 0 || size_t(slot) >= st.EditBuf.size()) DatabaseErrorFmt(DBConsts::SFieldNotFound, {field->FieldName()}, this);
    Variant old = st.EditBuf[size_t(slot)];
    st.EditBuf[size_t(slot)] = value;
    try {
        field->Validate(value);
    } catch (...) {
        st.EditBuf[size_t(slot)] = old;
        throw;
    }
    UpdateEditCalcFields();
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
    field->Change();
}

void TDataSet::UpdateEditCalcFields()
{
    // Calculated fields of the edited record follow its values.
    TDataSetStore& st = *FStore;
    bool hasCalc = false;
    for (TField* f : st.SlotFields)
        if (IsCalcKind(f)) {
            hasCalc = true;
            break;
        }
    if (!hasCalc || st.EditRow < 0) return;
    TTempState temp(FState, dsCalcFields, st.Override, &st.EditBuf);
    for (TField* f : st.SlotFields) {
        if (!IsCalcKind(f)) continue;
        st.EditBuf[size_t(f->SlotIndex())] = Null();
        if (f->FieldKind() == fkLookup && f->LookupDataSet() && f->LookupDataSet()->Active()) {
            try {
                st.EditBuf[size_t(f->SlotIndex())] = f->LookupDataSet()->Lookup(
                    f->LookupKeyFields(), FieldValues(f->KeyFields()), f->LookupResultField());
            } catch (const Exception&) {
            }
        }
    }
    if (OnCalcFields) OnCalcFields(this);
}

TField* TDataSet::FieldByName(const std::string& name) const
{
    TField* f = FFields->FindField(name);
    if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, const_cast<TDataSet*>(this));
    return f;
}

void TDataSet::GetFieldList(std::vector<TField*>& list, const std::string& fieldNames) const
{
    for (const std::string& n : SplitFieldNames(fieldNames)) list.push_back(FieldByName(n));
}

void TDataSet::GetFieldNames(TStrings* list) const
{
    if (FFields->Count() > 0) {
        FFields->GetFieldNames(list);
        return;
    }
    const_cast<TDataSet*>(this)->FFieldDefs->Update();
    FFieldDefs->GetItemNames(list);
}

Variant TDataSet::FieldValues(const std::string& fieldNames) const
{
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    if (fields.size() == 1) return fields[0]->AsVariant();
    std::vector<Variant> values;
    values.reserve(fields.size());
    for (TField* f : fields) values.push_back(f->AsVariant());
    return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const std::string& fieldNames, const Variant& value)
{
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    if (fields.size() == 1) {
        fields[0]->SetAsVariant(value);
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        Variant v = value.IsArray() ? VarArrayGet(value, {VarArrayLowBound(value, 1) + int(i)}) : Null();
        fields[i]->SetAsVariant(v);
    }
}

// ---- bookmarks ------------------------------------------------------------------------

TBookmarkStr TDataSet::Bookmark() const
{
    if (!BookmarkAvailable()) return TBookmarkStr();
    return std::to_string(FStore->Generation) + ":" + std::to_string(CurrentRow());
}

bool TDataSet::BookmarkAvailable() const
{
    return FState != dsInactive && FState != dsInsert && CurrentRow() >= 0;
}

int TDataSet::RowOfBookmark(const TBookmark& b) const
{
    size_t colon = b.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= b.size()) return -1;
    int64_t gen = 0, row = -1;
    if (!TryStrToIntRange(b.substr(0, colon), 0, UINT32_MAX, gen) ||
        !TryStrToIntRange(b.substr(colon + 1), 0, INT32_MAX, row))
        return -1;
    const TDataSetStore& st = *FStore;
    if (gen != st.Generation || row < 0 || size_t(row) >= st.Rows.size() || !st.Live[size_t(row)]) return -1;
    return int(row);
}

bool TDataSet::BookmarkValid(const TBookmark& b) const
{
    if (FState == dsInactive || b.empty()) return false;
    int row = RowOfBookmark(b);
    return row >= 0 && FStore->PosOfRow(row) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& b)
{
    CheckBrowseMode();
    int row = RowOfBookmark(b);
    int pos = row < 0 ? -1 : FStore->PosOfRow(row);
    if (pos < 0) DatabaseError(DBConsts::SRecordNotFound, this);
    DoBeforeScroll();
    FillWindowAround(pos, (FBufferCount - 1) / 2);
    FBof = false;
    FEof = false;
    ++FStore->Gen;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    if (a.empty() && b.empty()) return 0;
    if (a.empty()) return -1;
    if (b.empty()) return 1;
    int ra = RowOfBookmark(a), rb = RowOfBookmark(b);
    int pa = ra < 0 ? INT_MAX : FStore->PosOfRow(ra);
    int pb = rb < 0 ? INT_MAX : FStore->PosOfRow(rb);
    if (pa < 0) pa = INT_MAX - 1;
    if (pb < 0) pb = INT_MAX - 1;
    if (pa == pb) {
        if (ra == rb) return 0;
        return ra < rb ? -1 : 1;
    }
    return pa < pb ? -1 : 1;
}

// ---- searching -----------------------------------------------------------------------------

namespace {

bool IsTextField(const TField* f)
{
    switch (f->DataType()) {
    case ftString: case ftWideString: case ftFixedChar: case ftMemo: case ftFmtMemo: case ftGuid:
        return true;
    default:
        return false;
    }
}

bool IsIntField(const TField* f)
{
    switch (f->DataType()) {
    case ftInteger: case ftSmallint: case ftWord: case ftAutoInc: case ftLargeint:
        return true;
    default:
        return false;
    }
}

// The key as the field stores it; false when it cannot be one of its values.
bool NormalizeKey(const TField* f, const Variant& key, Variant& out)
{
    if (key.IsNull() || key.IsEmpty()) {
        out = Null();
        return true;
    }
    if (IsTextField(f)) {
        try {
            out = Variant(key.AsString());
        } catch (const Exception&) {
            return false;
        }
        return true;
    }
    try {
        out = f->Normalize(key);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

bool KeyMatches(const Variant& stored, const Variant& key, const TField* f, TLocateOptions options)
{
    bool sn = stored.IsNull() || stored.IsEmpty();
    bool kn = key.IsNull() || key.IsEmpty();
    if (sn || kn) return sn && kn;
    if (IsTextField(f)) {
        const std::string& s = stored.RawString();
        const std::string& k = key.RawString();
        bool ci = options.Contains(loCaseInsensitive);
        if (options.Contains(loPartialKey)) {
            if (k.size() > s.size()) return false;
            return ci ? SameText(s.substr(0, k.size()), k) : s.compare(0, k.size(), k) == 0;
        }
        return ci ? SameText(s, k) : s == k;
    }
    if (IsIntField(f)) return stored.RawInt() == key.RawInt() || VarCompareValue(stored, key) == vrEqual;
    return VarCompareValue(stored, key) == vrEqual;
}

}

int TDataSet::FindRecord(const std::vector<TField*>& fields, const Variant& keyValues,
                         TLocateOptions options) const
{
    TDataSetStore& st = *FStore;
    size_t nf = fields.size();
    if (nf == 0) return -1;
    std::vector<Variant> keys(nf);
    for (size_t i = 0; i < nf; ++i) {
        Variant k;
        if (nf == 1) {
            k = keyValues;
            if (k.IsArray() && VarArrayDimCount(k) == 1 &&
                VarArrayHighBound(k, 1) == VarArrayLowBound(k, 1))
                k = VarArrayGet(k, {VarArrayLowBound(k, 1)});
        } else {
            if (!keyValues.IsArray()) return -1;
            int lo = VarArrayLowBound(keyValues, 1), hi = VarArrayHighBound(keyValues, 1);
            if (lo + int(i) > hi) return -1;
            k = VarArrayGet(keyValues, {lo + int(i)});
        }
        if (!NormalizeKey(fields[i], k, keys[i])) return -1;
    }
    bool anyCalc = false;
    for (TField* f : fields)
        if (IsCalcKind(f)) anyCalc = true;

    // One data field searched exactly: a hash index over the visible rows,
    // dropped whenever the rows change. It is made once a few searches have
    // run on unchanged rows, so that a single search after each change (open,
    // locate, post) stays a plain scan.
    bool indexable = nf == 1 && !anyCalc && !options.Contains(loPartialKey) && !keys[0].IsNull() &&
                     (IsIntField(fields[0]) || IsTextField(fields[0]));
    bool ci = options.Contains(loCaseInsensitive);
    int indexKey = indexable ? fields[0]->SlotIndex() * 2 + (ci ? 1 : 0) : -1;
    if (indexable && st.Indexes.find(indexKey) == st.Indexes.end() && st.ScansSinceChange < 2) {
        ++st.ScansSinceChange;
        if (IsIntField(fields[0])) {
            int slot = fields[0]->SlotIndex();
            int64_t key = keys[0].AsInt64();
            for (size_t pos = 0; pos < st.Order.size(); ++pos) {
                int r = st.Order[pos];
                if (r == st.EditRow && IsEditState(FState)) continue;
                const Variant v = st.Rows.Get(size_t(r), size_t(slot));
                TVarType t = v.VType();
                if ((t == varInteger || t == varInt64 || t == varSmallint) && v.RawInt() == key) return int(pos);
                if (t != varInteger && t != varInt64 && t != varSmallint && KeyMatches(v, keys[0], fields[0], options))
                    return int(pos);
            }
            return -1;
        }
        indexable = false;   // a text key: the general scan below
    }
    if (indexable) {
        int slot = fields[0]->SlotIndex();
        auto it = st.Indexes.find(indexKey);
        if (it == st.Indexes.end()) {
            TDataSetStore::TKeyIndex idx;
            idx.IntKeys = IsIntField(fields[0]);
            idx.CaseInsensitive = ci;
            for (int r : st.Order) {
                if (r == st.EditRow) continue;
                const Variant v = st.Rows.Get(size_t(r), size_t(slot));
                if (v.IsNull() || v.IsEmpty()) continue;
                if (idx.IntKeys) idx.Ints.emplace(v.AsInt64(), r);
                else idx.Texts.emplace(ci ? UpperCase(v.RawString()) : v.RawString(), r);
            }
            it = st.Indexes.emplace(indexKey, std::move(idx)).first;
        }
        const TDataSetStore::TKeyIndex& idx = it->second;
        int row = -1;
        if (idx.IntKeys) {
            auto f = idx.Ints.find(keys[0].AsInt64());
            if (f != idx.Ints.end()) row = f->second;
        } else {
            auto f = idx.Texts.find(ci ? UpperCase(keys[0].RawString()) : keys[0].RawString());
            if (f != idx.Texts.end()) row = f->second;
        }
        return row < 0 ? -1 : st.PosOfRow(row);
    }

    for (size_t pos = 0; pos < st.Order.size(); ++pos) {
        int r = st.Order[pos];
        if (r == st.EditRow && IsEditState(FState)) continue;
        if (anyCalc) CalcRow(r);
        bool ok = true;
        for (size_t i = 0; i < nf && ok; ++i)
            ok = KeyMatches(st.Rows.Get(size_t(r), size_t(fields[i]->SlotIndex())), keys[i], fields[i], options);
        if (ok) return int(pos);
    }
    return -1;
}

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    CheckBrowseMode();
    DoBeforeScroll();
    std::vector<TField*> fields;
    GetFieldList(fields, keyFields);
    int pos = FindRecord(fields, keyValues, options);
    if (pos < 0) return false;
    FillWindowAround(pos, (FBufferCount - 1) / 2);
    FBof = false;
    FEof = false;
    ++FStore->Gen;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
    return true;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues,
                         const std::string& resultFields)
{
    CheckBrowseMode();
    std::vector<TField*> fields;
    GetFieldList(fields, keyFields);
    int pos = FindRecord(fields, keyValues, {});
    if (pos < 0) return Null();
    int row = FStore->Order[size_t(pos)];
    CalcRow(row);
    TRowValues values = FStore->Rows.Row(size_t(row));
    TTempState temp(FState, dsCalcFields, FStore->Override, &values);
    return FieldValues(resultFields);
}

// ---- filtering and sorting --------------------------------------------------------------------

void TDataSet::SetFilter(const std::string& v)
{
    std::shared_ptr<TFilterExpr> expr;
    if (!Trim(v).empty()) expr = qzDB::ParseFilter(v);
    if (expr && Active()) qzDB::BindFilter(*expr, this);
    if (Active() && FFiltered) CheckBrowseMode();
    FFilterText = v;
    FFilterExpr = expr;
    if (Active() && FFiltered) {
        RebuildOrder();
        First();
    }
}

void TDataSet::SetFiltered(bool v)
{
    if (v == FFiltered) return;
    if (Active()) {
        CheckBrowseMode();
        if (v && FFilterExpr) qzDB::BindFilter(*FFilterExpr, this);
        FFiltered = v;
        RebuildOrder();
        First();
    } else {
        FFiltered = v;
    }
}

void TDataSet::SetFilterOptions(TFilterOptions v)
{
    if (v == FFilterOptions) return;
    if (Active() && FFiltered) CheckBrowseMode();
    FFilterOptions = v;
    if (Active() && FFiltered) {
        RebuildOrder();
        First();
    }
}

void TDataSet::SetSortText(const std::string& sortText)
{
    if (Active()) CheckBrowseMode();
    std::string old = FSortText;
    FSortText = Trim(sortText);
    if (!Active()) return;
    try {
        int row = CurrentRow();
        if (FSortText.empty()) RebuildOrder();   // back to the order the rows came in
        else ApplySort();
        int pos = row < 0 ? 0 : FStore->PosOfRow(row);
        if (!FStore->Order.empty()) FillWindowAround(std::max(pos, 0), FActiveRecord);
        ResyncInternal({});
    } catch (...) {
        FSortText = old;
        throw;
    }
}

void TDataSet::ApplySort()
{
    struct TKey {
        bool Desc = false;
        bool Text = false;
        std::vector<std::string> Texts;   // GBK, ASCII upper-cased
        std::vector<double> Nums;
        std::vector<uint8_t> Nulls;
    };
    std::vector<TKey> keys;
    TDataSetStore& st = *FStore;
    size_t start = 0;
    const std::string& s = FSortText;
    while (start < s.size()) {
        size_t comma = s.find(',', start);
        if (comma == std::string::npos) comma = s.size();
        std::string part = Trim(s.substr(start, comma - start));
        start = comma + 1;
        if (part.empty()) continue;
        TKey k;
        std::string name = part;
        size_t sp = part.find_last_of(" \t");
        if (sp != std::string::npos) {
            std::string dir = UpperCase(Trim(part.substr(sp + 1)));
            if (dir == "DESC" || dir == "ASC") {
                k.Desc = dir == "DESC";
                name = Trim(part.substr(0, sp));
            }
        }
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
        TField* f = FindField(name);
        if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, this);
        int slot = f->SlotIndex();
        k.Text = IsTextField(f);
        size_t nrows = st.Rows.size();
        k.Nulls.assign(nrows, 0);
        if (k.Text) k.Texts.resize(nrows);
        else k.Nums.assign(nrows, 0);
        for (int r : st.Order) {
            if (IsCalcKind(f)) CalcRow(r);
            const Variant v = (r == st.EditRow && IsEditState(FState)) ? st.EditBuf[size_t(slot)]
                                                                       : st.Rows.Get(size_t(r), size_t(slot));
            if (v.IsNull() || v.IsEmpty()) {
                k.Nulls[size_t(r)] = 1;
                continue;
            }
            try {
                if (k.Text) k.Texts[size_t(r)] = Utf8ToGbk(UpperCase(v.AsString()));
                else k.Nums[size_t(r)] = v.AsDouble();
            } catch (const Exception&) {
                k.Nulls[size_t(r)] = 1;
            }
        }
        keys.push_back(std::move(k));
    }
    if (keys.empty()) return;
    std::stable_sort(st.Order.begin(), st.Order.end(), [&](int a, int b) {
        for (const TKey& k : keys) {
            int c;
            bool na = k.Nulls[size_t(a)], nb = k.Nulls[size_t(b)];
            if (na || nb) c = na == nb ? 0 : (na ? -1 : 1);
            else if (k.Text) c = k.Texts[size_t(a)].compare(k.Texts[size_t(b)]);
            else c = k.Nums[size_t(a)] < k.Nums[size_t(b)] ? -1 : (k.Nums[size_t(a)] > k.Nums[size_t(b)] ? 1 : 0);
            if (c != 0) return k.Desc ? c > 0 : c < 0;
        }
        return false;
    });
    st.OrderChanged();
}

// ---- blob streams ----------------------------------------------------------------------------

class TBlobStreamImpl : public TMemoryStream {
public:
    TBlobStreamImpl(TField* field, TBlobStreamMode mode) : FField(field), FMode(mode)
    {
        if (mode != bmWrite) {
            Variant v = field->GetData();
            if (!v.IsNull() && !v.IsEmpty()) {
                const std::string& s = v.RawString();
                if (!s.empty()) TMemoryStream::Write(s.data(), int(s.size()));
                SetPosition(0);
            }
        } else {
            FModified = true;
        }
    }
    ~TBlobStreamImpl() override
    {
        if (FMode == bmRead || !FModified || !FField) return;
        try {
            std::string bytes(static_cast<const char*>(Memory()), size_t(Size()));
            FField->SetAsVariant(Variant(std::move(bytes)));
            if (auto* b = DynamicCast<TBlobField>(FField)) b->SetModified(true);
        } catch (...) {
            // The data set refused the value after the stream was made (it
            // left edit state); the content is dropped, nothing else changes.
        }
    }
    int Write(const void* buffer, int count) override
    {
        if (FMode == bmRead) throw EStreamError("Stream write error");
        FModified = true;
        return TMemoryStream::Write(buffer, count);
    }
    void SetSize(int64_t newSize) override
    {
        if (FMode != bmRead) FModified = true;
        TMemoryStream::SetSize(newSize);
    }

private:
    TField* FField;
    TBlobStreamMode FMode;
    bool FModified = false;
};

TStream* TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode)
{
    CheckActive();
    if (!field || field->DataSet() != this) DatabaseError("Invalid field", this);
    if (!field->IsBlob()) DatabaseErrorFmt(DBConsts::SNotABlobField, {field->DisplayName()}, this);
    if (mode != bmRead) {
        if (!IsEditState(FState)) DatabaseError(DBConsts::SNotEditing, this);
        if (field->ReadOnly()) DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
    }
    auto* s = new TBlobStreamImpl(field, mode);
    return s;
}
