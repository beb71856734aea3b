// The record info: the filtered and sorted record list, the group tree, row
// numbering, expansion with its save and restore, focus and selection upkeep.
#include "cxCustomData.h"

#include "TextUtils.h"
#include "cxDataConsts.h"
#include "cxVariants.h"

#include <algorithm>
#include <cstring>
#include <numeric>

QZ_CLASS_IMPL(TcxSortingFieldList, TObject)
QZ_CLASS_IMPL(TcxGroupingFieldList, TcxSortingFieldList)
QZ_CLASS_IMPL(TcxDataGroups, TObject)
QZ_CLASS_IMPL(TcxDataFocusingInfo, TObject)
QZ_CLASS_IMPL(TcxDataSelection, TObject)
QZ_CLASS_IMPL(TcxCustomDataControllerInfo, TObject)
QZ_CLASS_IMPL(TcxDataControllerGroups, TObject)

// ---- field lists -----------------------------------------------------------------------------

void TcxSortingFieldList::SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder order)
{
    int i = Find(field);
    if (i >= 0) {
        if (order == soNone) Delete(i);
        else SetSortOrder(i, order);
    } else if (order != soNone) {
        Add(field, order);
    }
}

void TcxSortingFieldList::Add(TcxCustomDataField* field, TcxDataSortOrder order)
{
    FItems.push_back({field, order});
    Changed();
}

void TcxSortingFieldList::Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order)
{
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, {field, order});
    Changed();
}

void TcxSortingFieldList::Delete(int index)
{
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* field)
{
    int i = Find(field);
    if (i >= 0) Delete(i);
}

void TcxSortingFieldList::Move(int from, int to)
{
    if (from == to) return;
    TcxSortingFieldEntry e = FItems[size_t(from)];
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, e);
    Changed();
}

int TcxSortingFieldList::Find(const TcxCustomDataField* field) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Field == field) return int(i);
    return -1;
}

void TcxSortingFieldList::Clear()
{
    while (!FItems.empty()) Delete(0);
}

TcxDataSortOrder TcxSortingFieldList::SortOrderOf(const TcxCustomDataField* field) const
{
    int i = Find(field);
    return i < 0 ? soNone : FItems[size_t(i)].SortOrder;
}

void TcxSortingFieldList::SetSortOrder(int index, TcxDataSortOrder order)
{
    if (FItems[size_t(index)].SortOrder == order) return;
    FItems[size_t(index)].SortOrder = order;
    Changed();
}

void TcxSortingFieldList::FieldChanged(TcxCustomDataField* field)
{
    if (Find(field) >= 0) Changed();
}

void TcxSortingFieldList::MoveField(TcxCustomDataField* field, int position)
{
    int i = Find(field);
    if (position < 0) {
        if (i >= 0) Delete(i);
    } else if (i < 0) {
        Insert(std::min(position, Count()), field, soAscending);
    } else {
        Move(i, std::min(position, Count() - 1));
    }
}

void TcxSortingFieldList::AddMissingFields(const TcxSortingFieldList* other)
{
    for (const auto& e : other->FItems)
        if (Find(e.Field) < 0) FItems.push_back(e);
    Changed();
}

void TcxGroupingFieldList::SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder order)
{
    TcxSortingFieldList::SetFieldSortOrder(field, order == soNone ? soAscending : order);
}

void TcxGroupingFieldList::SyncSortOrders(const TcxSortingFieldList* sorting)
{
    for (int i = 0; i < Count(); ++i) {
        TcxDataSortOrder o = sorting->SortOrderOf(FItems[size_t(i)].Field);
        SetSortOrder(i, o == soNone ? soAscending : o);
    }
}

// ---- the group tree --------------------------------------------------------------------------

void TcxDataGroups::Clear()
{
    FItems.clear();
    Fields.clear();
}

int TcxDataGroups::Add(int row, int level, int beginIndex)
{
    TcxDataGroupInfo g;
    g.RowIndex = row;
    g.Level = level;
    g.BeginIndex = beginIndex;
    FItems.push_back(g);
    return int(FItems.size()) - 1;
}

void TcxDataGroups::RenumberRows()
{
    int counter = 0;
    int deepest = LevelCount() - 1;
    std::function<int(int, int, bool, int)> walk = [&](int i, int level, bool visible, int shownRow) -> int {
        while (i < Count() && FItems[size_t(i)].Level == level) {
            TcxDataGroupInfo& g = FItems[size_t(i)];
            if (visible) {
                g.RowIndex = counter++;
            } else {
                // Hidden inside a collapsed ancestor: the row of that ancestor.
                g.RowIndex = shownRow;
            }
            if (level == deepest) {
                if (visible && g.Expanded) counter += g.EndIndex - g.BeginIndex + 1;
                ++i;
            } else {
                i = walk(i + 1, level + 1, visible && g.Expanded, visible ? g.RowIndex : shownRow);
            }
        }
        return i;
    };
    walk(0, 0, true, 0);
}

int TcxDataGroups::GetShownGroup(int row, int index) const
{
    int shown = -1, shownLevel = 1 << 30;
    for (int i = index; i >= 0 && FItems[size_t(i)].RowIndex == row; --i) {
        const TcxDataGroupInfo& g = FItems[size_t(i)];
        if (!g.Expanded && g.Level < shownLevel) {
            shown = i;
            shownLevel = g.Level;
        }
        if (g.Level == 0) break;
    }
    return shown >= 0 ? shown : index;
}

int TcxDataGroups::FindByRowIndex(int row, int& before) const
{
    // The last entry whose row is at or before the row.
    int lo = 0, hi = Count() - 1, found = -1;
    while (lo <= hi) {
        int mid = int((unsigned(lo) + unsigned(hi)) >> 1);
        if (FItems[size_t(mid)].RowIndex <= row) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    before = found;
    if (found >= 0 && FItems[size_t(found)].RowIndex == row) return GetShownGroup(row, found);
    return -1;
}

int TcxDataGroups::ParentOf(int index) const
{
    int level = FItems[size_t(index)].Level;
    for (int i = index - 1; i >= 0; --i)
        if (FItems[size_t(i)].Level < level) return i;
    return -1;
}

bool TcxDataGroups::IsShown(int index) const
{
    for (int p = ParentOf(index); p >= 0; p = ParentOf(p))
        if (!FItems[size_t(p)].Expanded) return false;
    return true;
}

int TcxDataGroups::DeepestGroupOfPosition(int position) const
{
    int deepest = LevelCount() - 1;
    // Deepest entries hold ascending, adjoining position ranges.
    int lo = 0, hi = Count() - 1, found = -1;
    while (lo <= hi) {
        int mid = int((unsigned(lo) + unsigned(hi)) >> 1);
        int m = mid;
        while (m < Count() && FItems[size_t(m)].Level != deepest) ++m;
        if (m >= Count()) {
            hi = mid - 1;
            continue;
        }
        const TcxDataGroupInfo& g = FItems[size_t(m)];
        if (position < g.BeginIndex) hi = mid - 1;
        else if (position > g.EndIndex) lo = m + 1;
        else {
            found = m;
            break;
        }
    }
    return found;
}

int TcxDataGroups::FirstRecordPosition(int index) const
{
    int deepest = LevelCount() - 1;
    while (index >= 0 && index < Count() && FItems[size_t(index)].Level != deepest) index = FItems[size_t(index)].BeginIndex;
    return index >= 0 && index < Count() ? FItems[size_t(index)].BeginIndex : -1;
}

bool TcxDataGroups::MakeVisible(int index, bool expandSelf)
{
    bool changed = false;
    if (expandSelf && !FItems[size_t(index)].Expanded) {
        FItems[size_t(index)].Expanded = true;
        changed = true;
    }
    for (int p = ParentOf(index); p >= 0; p = ParentOf(p))
        if (!FItems[size_t(p)].Expanded) {
            FItems[size_t(p)].Expanded = true;
            changed = true;
        }
    if (changed) RenumberRows();
    return changed;
}

void TcxDataGroups::SetAllExpanded(bool value)
{
    for (auto& g : FItems) g.Expanded = value;
    RenumberRows();
}

// ---- focusing info and selection ------------------------------------------------------------------

void TcxDataFocusingInfo::Assign(const TcxDataFocusingInfo* other)
{
    Level = other->Level;
    SavedRecordIndex = other->SavedRecordIndex;
    RecordIndex = other->RecordIndex;
    RowIndex = other->RowIndex;
    Changed = false;
}

void TcxDataFocusingInfo::Reset()
{
    Level = -1;
    RecordIndex = -1;
    RowIndex = -1;
}

bool TcxDataFocusingInfo::IsEqual(const TcxDataFocusingInfo* other) const
{
    if (RecordIndex != other->RecordIndex || Level != other->Level) return false;
    if (FOwner->Changes() & icSorting) return RowIndex == other->RowIndex;
    return true;
}

void TcxDataFocusingInfo::ResetToController()
{
    Level = -1;
    RecordIndex = FOwner->Controller()->GetFocusedRecordIndexForEdit();
}

void TcxDataFocusingInfo::RecomputeFromRow()
{
    if (RowIndex == -1) {
        Level = -1;
        RecordIndex = -1;
    } else {
        Level = FOwner->GetRowInfo(RowIndex).Level;
        RecordIndex = FOwner->Controller()->GetFocusedRecordIndexForEdit();
    }
    SavedRecordIndex = RecordIndex;
}

void TcxDataSelection::InsertEntry(int position, int row, int level, int index)
{
    TcxDataSelectionEntry e{level, index, row};
    if (position < 0 || position > Count()) FItems.push_back(e);
    else FItems.insert(FItems.begin() + position, e);
}

void TcxDataSelection::DeleteEntry(int position)
{
    if (FItems[size_t(position)].RowIndex == AnchorRowIndex) ClearAnchor();
    FItems.erase(FItems.begin() + position);
}

void TcxDataSelection::SetEntryCount(int count)
{
    while (Count() > count) DeleteEntry(Count() - 1);
    for (int i = Count(); i < count; ++i) FItems.push_back({0, i, i});
}

void TcxDataSelection::AddEntry(int position, int row, int level, int index)
{
    InsertEntry(position, row, level, index);
    Changed();
}

bool TcxDataSelection::FindRowIndex(int row, int& position) const
{
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        int mid = int((unsigned(lo) + unsigned(hi)) >> 1);
        int r = FItems[size_t(mid)].RowIndex;
        if (r == row) {
            position = mid;
            return true;
        }
        if (r < row) lo = mid + 1;
        else hi = mid - 1;
    }
    position = lo;
    return false;
}

void TcxDataSelection::ClearAllEntries()
{
    ClearEntries();
    Changed();
}

void TcxDataSelection::ClearWithAnchor()
{
    ClearAnchor();
    ClearEntries();
    Changed();
}

void TcxDataSelection::RemoveEntry(int position)
{
    DeleteEntry(position);
    Changed();
}

int TcxDataSelection::FindByGroupIndex(int group) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Level == -1 && FItems[i].Index == group) return int(i);
    return -1;
}

int TcxDataSelection::FindByRecordIndex(int record) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Level != -1 && FItems[i].Index == record) return int(i);
    return -1;
}

void TcxDataSelection::SortEntries()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const TcxDataSelectionEntry& a, const TcxDataSelectionEntry& b) { return a.RowIndex < b.RowIndex; });
}

// ---- the record info -----------------------------------------------------------------------------

TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(TcxCustomDataController* controller)
    : FController(controller)
{
    FGroupingList = new TcxGroupingFieldList([this] { GroupingListChanged(); });
    FSortingList = new TcxSortingFieldList([this] { SortingListChanged(); });
    FTotalSortingList = new TcxSortingFieldList();
    FGroups = new TcxDataGroups(this);
    FFocusingInfo = new TcxDataFocusingInfo(this);
    FPrevFocusingInfo = new TcxDataFocusingInfo(this);
    FSelection = controller->CreateSelection([this] { SelectionChanged(); });
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo()
{
    delete FSelection;
    delete FPrevFocusingInfo;
    delete FFocusingInfo;
    delete FGroups;
    delete FTotalSortingList;
    delete FSortingList;
    delete FGroupingList;
}

void TcxCustomDataControllerInfo::SelectionChanged()
{
    FChanges |= icSelection;
    if (FController->Summary() && FController->Summary()->Options().Contains(soSelectedRecords)) FChanges |= icSummary;
}

void TcxCustomDataControllerInfo::EndUpdate()
{
    --FLockCount;
    CheckChanges();
}

void TcxCustomDataControllerInfo::CheckChanges()
{
    if (FChanges != 0 && FLockCount == 0 && !FInUpdate) Update();
}

void TcxCustomDataControllerInfo::Refresh()
{
    FChanges |= icFilter | icSummary;
    if (FSortingList->Count() > 0) FChanges |= icSorting;
    if (FGroupingList->Count() > 0) FChanges |= icGrouping;
    CheckChanges();
}

void TcxCustomDataControllerInfo::UpdateFocused()
{
    FChanges |= icFocusUpdate;
    FFocusingInfo->Level = -1;
    FFocusingInfo->RecordIndex = FController->GetFocusedRecordIndexForEdit();
    CheckChanges();
}

void TcxCustomDataControllerInfo::ExpandingChanged(bool value)
{
    FChanges |= value ? icLayout : icSummary;
    CheckChanges();
}

void TcxCustomDataControllerInfo::MarkExpandingChanged()
{
    FChanges |= icExpanding;
    FExpandingChangedMark = true;
}

void TcxCustomDataControllerInfo::FocusingChanged(bool markPrevious)
{
    FChanges |= icFocusedRow;
    if (markPrevious) FPrevFocusingInfo->Changed = true;
}

void TcxCustomDataControllerInfo::ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order)
{
    FSortingList->SetFieldSortOrder(field, order);
    FGroupingList->SyncSortOrders(FSortingList);
    CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSortingIndex(TcxCustomDataField* field, int position)
{
    int i = FSortingList->Find(field);
    if (i >= 0 && FSortingList->Count() > 0) {
        position = std::clamp(position, 0, FSortingList->Count() - 1);
        if (position != i) {
            FSortingList->Move(i, position);
            FController->SortingRequested = true;
        }
    }
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSorting(bool keepGrouped)
{
    int before = FSortingList->Count();
    if (keepGrouped) {
        for (int i = FSortingList->Count() - 1; i >= 0; --i)
            if (FGroupingList->Find(FSortingList->Items(i).Field) < 0) FSortingList->Delete(i);
    } else {
        FSortingList->Clear();
        FGroupingList->SyncSortOrders(FSortingList);
    }
    if (FSortingList->Count() != before) FController->SortingRequested = true;
    CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeGroupIndex(TcxCustomDataField* field, int position)
{
    FGroupingList->MoveField(field, position);
    FGroupingList->SyncSortOrders(FSortingList);
    CheckChanges();
}

void TcxCustomDataControllerInfo::RemoveField(TcxCustomDataField* field)
{
    FSortingList->Remove(field);
    if (FGroupingList->Find(field) >= 0) FSelection->ClearWithAnchor();
    FGroupingList->Remove(field);
    FGroupingList->SyncSortOrders(FSortingList);
    FTotalSortingList->Remove(field);
    if (std::find(FExpandingFields.begin(), FExpandingFields.end(), field) != FExpandingFields.end()) {
        FExpandingInfos.clear();
        FExpandingFields.clear();
        FSavedStates = 0;
    }
    for (auto& f : FGroups->Fields)
        if (f == field) {
            // The tree refers to the field: it is rebuilt at the next update.
            FGroups->Clear();
            FChanges |= icGrouping;
            break;
        }
    CheckChanges();
}

void TcxCustomDataControllerInfo::FieldChanged(TcxCustomDataField* field)
{
    FChanges |= icLayout;
    FSortingList->FieldChanged(field);
    if (FGroupingList->Find(field) >= 0) FSelection->ClearWithAnchor();
    FGroupingList->FieldChanged(field);
    if (std::find(FExpandingFields.begin(), FExpandingFields.end(), field) != FExpandingFields.end()) {
        FExpandingInfos.clear();
        FExpandingFields.clear();
        FSavedStates = 0;
    }
    CheckChanges();
}

void TcxCustomDataControllerInfo::TrimSelection()
{
    if (FSelection->Count() == 0) return;
    if (FController->GetRecordCount() == 0) {
        FSelection->ClearWithAnchor();
        return;
    }
    if (FController->LoadingStorage && !FController->IsKeyNavigation()) {
        bool changed = false;
        for (int i = FSelection->Count() - 1; i >= 0; --i)
            if (FSelection->Items(i).Level != -1 && FSelection->Items(i).Index >= FController->GetRecordCount()) {
                FSelection->DeleteEntry(i);
                changed = true;
            }
        if (changed) FSelection->Changed();
    }
}

// ---- Update -------------------------------------------------------------------------------------

void TcxCustomDataControllerInfo::Update()
{
    FInUpdate = true;
    bool summary = false;
    try {
        FController->CheckGridModeChanged();
        summary = (FChanges & icSummary) != 0;
        FExpandingChangedMark = false;
        CheckExpandingStates();
        if (FChanges & icFilter) {
            ResetRecordList();
            FilterRecords();
        }
        if (FChanges & (icGrouping | icSorting)) SortRecords();
        if (FChanges & icGrouping) BuildGroups();
        if (FChanges & (icGrouping | icSorting)) CheckFocusTopRow();
        RestoreExpanding();
        CheckFocusedRow();
        FController->CheckBookmarkValid(-1);
    } catch (...) {
        FExpandingInfos.clear();
        FSavedStates = 0;
        FInUpdate = false;
        FChanges = 0;
        throw;
    }
    FExpandingInfos.clear();
    FExpandingFields.clear();
    FSavedStates = 0;
    try {
        if (FExpandingChangedMark) UpdateSelectionRows();
        if (FChanges & (icSorting | icExpanding)) FController->GetSelectionStateSnapshot();
        if (summary && !FController->IsLoading() && !FController->IsDestroying() && FController->Summary())
            FController->Summary()->Calculate();
    } catch (...) {
        FInUpdate = false;
        NotifyChanges();
        throw;
    }
    FInUpdate = false;
    NotifyChanges();
}

void TcxCustomDataControllerInfo::NotifyChanges()
{
    TcxDataControllerInfoChanges c = FChanges;
    FChanges = 0;
    TcxDataControllerChanges f = 0;
    if (c & (icSorting | icLayout)) f |= dcfLayout;
    if (c & (icFilter | icGrouping | icExpanding)) f |= dcfData;
    if (c & (icFocusedRecord | icFocusUpdate | icFocusedRow)) f |= dcfFocused;
    if (c & icSelection) f |= dcfSelection;
    if (c & icSummary) f |= dcfSummary;
    if (FController->GroupingRequested) f |= dcfGrouping;
    if (FController->SortingRequested) f |= dcfSorting;
    FController->GroupingRequested = false;
    FController->SortingRequested = false;
    FController->Reloaded = false;
    if (f) FController->Change(f);
}

void TcxCustomDataControllerInfo::ResetRecordList()
{
    FRecordList.resize(size_t(FController->GetRecordCount()));
    std::iota(FRecordList.begin(), FRecordList.end(), 0);
}

void TcxCustomDataControllerInfo::FilterRecords()
{
    bool incremental = FController->IsIncrementalFilter();
    bool filtering = FController->Filter() && FController->Filter()->IsFiltering();
    if (!incremental && !filtering) return;
    size_t before = FRecordList.size();
    int edited = FController->Provider()->EditRecordIndex;
    std::vector<int> kept;
    kept.reserve(FRecordList.size());
    for (int r : FRecordList) {
        bool keep = r == edited ||
                    ((!incremental || FController->DoIncrementalFilterRecord(r)) &&
                     (!filtering || FController->Filter()->RecordPasses(r)));
        if (keep) kept.push_back(r);
    }
    FRecordList.swap(kept);
    if (FRecordList.size() != before) FSelection->ClearWithAnchor();
}

void TcxCustomDataControllerInfo::PrepareCompareModes()
{
    for (int i = 0; i < FTotalSortingList->Count(); ++i) {
        TcxCustomDataField* f = FTotalSortingList->Items(i).Field;
        f->CompareMode = 0;
        f->CompareMode = !FController->IsConversionNeeded(f) ? -1 : (FController->IsSortByDisplayText(f) ? 2 : 1);
    }
}

void TcxCustomDataControllerInfo::ResetCompareModes()
{
    for (int i = 0; i < FTotalSortingList->Count(); ++i) FTotalSortingList->Items(i).Field->CompareMode = 0;
}

int TcxCustomDataControllerInfo::CompareRecordsByEntry(int a, int b, const TcxSortingFieldEntry& entry)
{
    return FController->CompareRecords(a, b, entry);
}

int TcxCustomDataControllerInfo::CompareRecordsForSort(int a, int b)
{
    if (a == b) return 0;
    TcxCustomDataProvider* p = FController->Provider();
    int e = p->EditRecordIndex, before = p->EditNeighbourBefore, after = p->EditNeighbourAfter;
    if (before != cxNullEditingRecordIndex || after != cxNullEditingRecordIndex) {
        if (e == a) {
            if (before != cxNullEditingRecordIndex) return 1;
            if (after == b) return -1;
            a = after;
        } else if (e == b) {
            if (before != cxNullEditingRecordIndex) return -1;
            if (after == a) return 1;
            b = after;
        }
        if (a == b) return e == a ? 1 : -1;
    }
    for (int i = 0; i < FTotalSortingList->Count(); ++i) {
        int r = CompareRecordsByEntry(a, b, FTotalSortingList->Items(i));
        if (r != 0) return r;
    }
    return FController->CompareEqualRecords(a, b);
}

void TcxCustomDataControllerInfo::QuickSort(int left, int right)
{
    // A comparison that cannot order two records answers -1 both ways; the
    // scans are bounded by the range so such answers cannot run past it.
    int i;
    do {
        i = left;
        int j = right;
        int pivot = FRecordList[size_t((unsigned(left) + unsigned(right)) >> 1)];
        do {
            while (i < right && CompareRecordsForSort(FRecordList[size_t(i)], pivot) < 0) ++i;
            while (j > left && CompareRecordsForSort(FRecordList[size_t(j)], pivot) > 0) --j;
            if (i <= j) {
                std::swap(FRecordList[size_t(i)], FRecordList[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j) QuickSort(left, j);
        left = i;
    } while (i < right);
}

namespace {

// A sort key of one record for one field: the presence class (0 no record
// buffer, 1 Null, 2 a value) and an order-preserving 64-bit image of the
// value, or the text's GBK bytes.
struct TSortKey {
    uint8_t Class;
    uint64_t Bits;
};

uint64_t SignedBits(int64_t v) { return uint64_t(v) ^ (uint64_t(1) << 63); }

uint64_t DoubleBits(double d)
{
    if (d == 0) d = 0;   // -0 and +0 are one value
    if (d != d) return ~uint64_t(0);
    uint64_t b;
    std::memcpy(&b, &d, 8);
    return (b & (uint64_t(1) << 63)) ? ~b : (b | (uint64_t(1) << 63));
}

enum class KeyKind { None, Int16, Int32, UInt16, Bool, Int64, Double, Text };

KeyKind KindOf(TcxValueTypeClass t)
{
    if (t == TcxSmallintValueType::Class()) return KeyKind::Int16;
    if (t == TcxIntegerValueType::Class()) return KeyKind::Int32;
    if (t == TcxWordValueType::Class()) return KeyKind::UInt16;
    if (t == TcxBooleanValueType::Class()) return KeyKind::Bool;
    if (t == TcxLargeIntValueType::Class() || t == TcxCurrencyValueType::Class()) return KeyKind::Int64;
    if (t == TcxFloatValueType::Class() || t == TcxDateTimeValueType::Class()) return KeyKind::Double;
    if (t == TcxStringValueType::Class()) return KeyKind::Text;
    return KeyKind::None;
}

// The order-preserving image of a numeric cell's value.
uint64_t NumberBits(KeyKind kind, const uint8_t* d)
{
    switch (kind) {
    case KeyKind::Int16: { int16_t v; std::memcpy(&v, d, 2); return SignedBits(v); }
    case KeyKind::Int32: { int32_t v; std::memcpy(&v, d, 4); return SignedBits(v); }
    case KeyKind::UInt16: { uint16_t v; std::memcpy(&v, d, 2); return v; }
    case KeyKind::Bool: return d[0];
    case KeyKind::Int64: { int64_t v; std::memcpy(&v, d, 8); return SignedBits(v); }
    case KeyKind::Double: { double v; std::memcpy(&v, d, 8); return DoubleBits(v); }
    default: return 0;
    }
}

// Sorts by one numeric key, ties broken by record index: the records without
// a buffer, then those holding Null (both in record order), then the values;
// the three runs come in reverse when descending. A key of 32 bits or fewer
// and its record share one 64-bit word, so the sort moves and compares plain
// integers as a sort of a bare list would.
void SortByNumber(std::vector<int>& list, const TcxDataStorage* st, int offset, KeyKind kind, bool desc)
{
    const bool narrow = kind == KeyKind::Int16 || kind == KeyKind::Int32 || kind == KeyKind::UInt16 ||
                        kind == KeyKind::Bool;
    std::vector<int> none, nulls;
    std::vector<uint64_t> packed;
    std::vector<std::pair<uint64_t, int>> wide;
    if (narrow) packed.reserve(list.size());
    else wide.reserve(list.size());
    for (int r : list) {
        const uint8_t* buf = st->PeekRecordBuffer(r);
        if (!buf) {
            none.push_back(r);
            continue;
        }
        const uint8_t* cell = buf + offset;
        if (!cell[0]) {
            nulls.push_back(r);
            continue;
        }
        uint64_t bits = NumberBits(kind, cell + 1);
        if (narrow) {
            // The 32-bit image: the signed kinds' images keep their order in the low half.
            uint32_t b = uint32_t(bits) ^ (kind == KeyKind::Int16 || kind == KeyKind::Int32 ? 0x80000000u : 0u);
            if (desc) b = ~b;
            packed.push_back(uint64_t(b) << 32 | uint32_t(r));
        } else {
            wide.push_back({desc ? ~bits : bits, r});
        }
    }
    std::sort(none.begin(), none.end());
    std::sort(nulls.begin(), nulls.end());
    std::sort(packed.begin(), packed.end());
    std::sort(wide.begin(), wide.end());
    size_t at = 0;
    auto put = [&](const std::vector<int>& run) {
        for (int r : run) list[at++] = r;
    };
    auto putValues = [&] {
        for (uint64_t k : packed) list[at++] = int(uint32_t(k));
        for (const auto& k : wide) list[at++] = k.second;
    };
    if (desc) {
        putValues();
        put(nulls);
        put(none);
    } else {
        put(none);
        put(nulls);
        putValues();
    }
}

}  // namespace

// Sorting by keys read once per record: the same order the record comparison
// gives (every tie broken by record index), at the cost of one read per
// record instead of one per comparison. Taken only when the comparison is the
// storage's own for every key and no edited record has to keep its place.
bool TcxCustomDataControllerInfo::FastSort()
{
    TcxCustomDataProvider* p = FController->Provider();
    if (FController->OnCompare || p->EditNeighbourBefore != cxNullEditingRecordIndex ||
        p->EditNeighbourAfter != cxNullEditingRecordIndex)
        return false;
    int entries = FTotalSortingList->Count();
    if (entries == 0) {
        // No key: the order of the records themselves.
        std::sort(FRecordList.begin(), FRecordList.end());
        return true;
    }
    std::vector<KeyKind> kinds;
    std::vector<TcxValueDef*> defs;
    std::vector<bool> desc;
    for (int e = 0; e < entries; ++e) {
        const TcxSortingFieldEntry& en = FTotalSortingList->Items(e);
        TcxValueDef* def = en.Field->ValueDef();
        if (en.Field->CompareMode != -1 || !def || !def->KeepsValue()) return false;
        KeyKind k = KindOf(def->ValueType());
        if (k == KeyKind::None) return false;
        kinds.push_back(k);
        defs.push_back(def);
        desc.push_back(en.SortOrder == soDescending);
    }
    TcxDataStorage* st = FController->Storage();
    if (entries == 1 && kinds[0] != KeyKind::Text) {
        SortByNumber(FRecordList, st, defs[0]->CellOffset(), kinds[0], desc[0]);
        return true;
    }
    size_t n = FRecordList.size();
    std::vector<TSortKey> keys(n * size_t(entries));
    std::vector<std::string> texts;
    bool hasText = std::find(kinds.begin(), kinds.end(), KeyKind::Text) != kinds.end();
    if (hasText) texts.resize(n * size_t(entries));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* buf = st->PeekRecordBuffer(FRecordList[i]);
        for (int e = 0; e < entries; ++e) {
            TSortKey& k = keys[i * size_t(entries) + size_t(e)];
            if (!buf) {
                k = {0, 0};
                continue;
            }
            const uint8_t* cell = buf + defs[size_t(e)]->CellOffset();
            if (!cell[0]) {
                k = {1, 0};
                continue;
            }
            const uint8_t* d = cell + 1;
            k.Class = 2;
            switch (kinds[size_t(e)]) {
            case KeyKind::Int16: case KeyKind::Int32: case KeyKind::UInt16: case KeyKind::Bool:
            case KeyKind::Int64: case KeyKind::Double:
                k.Bits = NumberBits(kinds[size_t(e)], d);
                break;
            case KeyKind::Text: {
                const std::string* s;
                std::memcpy(&s, d, sizeof(s));
                if (!s) {
                    // A value without text sorts before every text.
                    k.Bits = 0;
                    break;
                }
                bool ascii = true;
                for (unsigned char c : *s)
                    if (c >= 0x80) { ascii = false; break; }
                std::string& t = texts[i * size_t(entries) + size_t(e)];
                if (ascii) {
                    t = *s;
                } else {
                    t = Utf8ToGbk(*s);
                    // Characters GBK cannot hold would all read '?': leave such
                    // lists to the record comparison, which orders them apart.
                    if (std::count(t.begin(), t.end(), '?') != std::count(s->begin(), s->end(), '?')) return false;
                }
                k.Bits = 1;
                break;
            }
            case KeyKind::None: break;
            }
        }
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const std::vector<int>& list = FRecordList;
    auto less = [&](int x, int y) {
        for (int e = 0; e < entries; ++e) {
            const TSortKey& a = keys[size_t(x) * size_t(entries) + size_t(e)];
            const TSortKey& b = keys[size_t(y) * size_t(entries) + size_t(e)];
            int c = 0;
            if (a.Class != b.Class) c = a.Class < b.Class ? -1 : 1;
            else if (a.Class == 2) {
                if (a.Bits != b.Bits) c = a.Bits < b.Bits ? -1 : 1;
                else if (kinds[size_t(e)] == KeyKind::Text && a.Bits == 1) {
                    int r = texts[size_t(x) * size_t(entries) + size_t(e)].compare(
                        texts[size_t(y) * size_t(entries) + size_t(e)]);
                    c = r < 0 ? -1 : (r > 0 ? 1 : 0);
                }
            }
            if (c != 0) return desc[size_t(e)] ? c > 0 : c < 0;
        }
        return list[size_t(x)] < list[size_t(y)];
    };
    if (entries == 1) {
        // One text key: sort (class, text, record) entries held together.
        struct T {
            uint8_t Class;
            std::string Text;
            int Record;
        };
        std::vector<T> v(n);
        bool d0 = desc[0];
        for (size_t i = 0; i < n; ++i) {
            uint8_t cls = uint8_t(keys[i].Class * 2 + (keys[i].Class == 2 ? keys[i].Bits : 0));
            v[i] = {cls, std::move(texts[i]), FRecordList[i]};
        }
        std::sort(v.begin(), v.end(), [d0](const T& a, const T& b) {
            if (a.Class != b.Class) return d0 ? a.Class > b.Class : a.Class < b.Class;
            int c = a.Text.compare(b.Text);
            if (c != 0) return d0 ? c > 0 : c < 0;
            return a.Record < b.Record;
        });
        for (size_t i = 0; i < n; ++i) FRecordList[i] = v[i].Record;
        return true;
    }
    std::sort(order.begin(), order.end(), less);
    std::vector<int> sorted(n);
    for (size_t i = 0; i < n; ++i) sorted[i] = FRecordList[size_t(order[i])];
    FRecordList.swap(sorted);
    return true;
}

void TcxCustomDataControllerInfo::SortRecords()
{
    FTotalSortingList->Clear();
    FTotalSortingList->AddMissingFields(FGroupingList);
    FTotalSortingList->AddMissingFields(FSortingList);
    if (FController->IsGridMode() || FRecordList.empty()) return;
    PrepareCompareModes();
    try {
        if (!FastSort()) QuickSort(0, int(FRecordList.size()) - 1);
    } catch (...) {
        ResetCompareModes();
        throw;
    }
    ResetCompareModes();
}

void TcxCustomDataControllerInfo::BuildGroups()
{
    FGroups->Clear();
    for (int i = 0; i < FGroupingList->Count(); ++i) FGroups->Fields.push_back(FGroupingList->Items(i).Field);
    int n = int(FRecordList.size()), levels = FGroups->LevelCount();
    if (n == 0 || levels == 0) return;
    std::vector<int> cur(static_cast<size_t>(levels)), first(static_cast<size_t>(levels));
    for (int l = 0; l < levels; ++l) {
        cur[size_t(l)] = FGroups->Add(0, l, l < levels - 1 ? l + 1 : 0);
        first[size_t(l)] = FRecordList[0];
    }
    PrepareCompareModes();
    try {
        int top = 0;
        for (int p = 1; p < n; ++p) {
            int r = FRecordList[size_t(p)];
            int l = 0;
            while (l < levels && CompareRecordsByEntry(first[size_t(l)], r, FTotalSortingList->Items(l)) == 0) ++l;
            if (l == levels) continue;
            if (l == 0) ++top;
            for (int lv = l; lv < levels; ++lv) {
                if (lv < levels - 1) {
                    FGroups->Items(cur[size_t(lv)]).EndIndex = FGroups->Count() - 1;
                    cur[size_t(lv)] = FGroups->Add(top, lv, 0);
                    FGroups->Items(cur[size_t(lv)]).BeginIndex = FGroups->Count();
                } else {
                    FGroups->Items(cur[size_t(lv)]).EndIndex = p - 1;
                    cur[size_t(lv)] = FGroups->Add(top, lv, p);
                }
                first[size_t(lv)] = r;
            }
        }
    } catch (...) {
        ResetCompareModes();
        throw;
    }
    ResetCompareModes();
    FGroups->Items(cur[size_t(levels - 1)]).EndIndex = n - 1;
    if (levels >= 2) FGroups->Items(cur[size_t(levels - 2)]).EndIndex = FGroups->Count() - 1;
    for (int lv = levels - 3; lv >= 0; --lv) FGroups->Items(cur[size_t(lv)]).EndIndex = cur[size_t(lv + 1)];
}

// ---- rows -------------------------------------------------------------------------------------------

void TcxCustomDataControllerInfo::CheckRowIndex(int row)
{
    if (row < 0 || row >= GetRowCount()) cxDataControllerError(&cxSDataRowIndexError);
}

int TcxCustomDataControllerInfo::GetRowCount()
{
    if (!IsGrouped()) return int(FRecordList.size());
    int last = FGroups->Count() - 1;
    int shown = FGroups->GetShownGroup(FGroups->Items(last).RowIndex, last);
    TcxDataGroupInfo& g = FGroups->Items(shown);
    if (g.Expanded && g.Level == FGroups->LevelCount() - 1) return g.RowIndex + (g.EndIndex - g.BeginIndex + 1) + 1;
    return g.RowIndex + 1;
}

TcxDataControllerRowInfo TcxCustomDataControllerInfo::GetRowInfo(int row)
{
    CheckRowIndex(row);
    TcxDataControllerRowInfo info;
    if (!IsGrouped()) {
        info.RecordIndex = FRecordList[size_t(row)];
        return info;
    }
    int before;
    int g = FGroups->FindByRowIndex(row, before);
    if (g >= 0) {
        info.Level = FGroups->Items(g).Level;
        info.Expanded = FGroups->Items(g).Expanded;
        int pos = FGroups->FirstRecordPosition(g);
        info.RecordIndex = pos >= 0 ? FRecordList[size_t(pos)] : -1;
    } else {
        TcxDataGroupInfo& owner = FGroups->Items(before);
        info.Level = FGroups->LevelCount();
        int pos = row + owner.BeginIndex - owner.RowIndex - 1;
        info.RecordIndex = FRecordList[size_t(pos)];
    }
    return info;
}

int TcxCustomDataControllerInfo::GetFilteredIndexByRecordIndex(int record) const
{
    for (size_t i = 0; i < FRecordList.size(); ++i)
        if (FRecordList[i] == record) return int(i);
    return -1;
}

int TcxCustomDataControllerInfo::GetDataRowIndex(int group, int position, bool makeVisible)
{
    TcxDataGroupInfo* g = &FGroups->Items(group);
    if (!makeVisible) {
        if (!FGroups->IsShown(group) || !g->Expanded) return -1;
    } else if (FGroups->MakeVisible(group, true)) {
        MarkExpandingChanged();
        g = &FGroups->Items(group);
    }
    return g->RowIndex + position - g->BeginIndex + 1;
}

int TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(int record, bool makeVisible)
{
    int p = GetFilteredIndexByRecordIndex(record);
    if (p < 0) return -1;
    if (!IsGrouped()) return p;
    int g = FGroups->DeepestGroupOfPosition(p);
    if (g < 0) return -1;
    bool wasMarked = FExpandingChangedMark;
    FExpandingChangedMark = false;
    int row = GetDataRowIndex(g, p, makeVisible);
    bool changed = FExpandingChangedMark;
    FExpandingChangedMark = FExpandingChangedMark || wasMarked;
    if (makeVisible && changed) CheckChanges();
    return row;
}

std::vector<int> TcxCustomDataControllerInfo::AddGroupRecords(int group) const
{
    std::vector<int> out;
    if (group < 0 || group >= FGroups->Count()) return out;
    int deepest = FGroups->LevelCount() - 1;
    const TcxDataGroupInfo& g = const_cast<TcxDataGroups*>(FGroups)->Items(group);
    if (g.Level == deepest) {
        for (int p = g.BeginIndex; p <= g.EndIndex; ++p) out.push_back(FRecordList[size_t(p)]);
        return out;
    }
    for (int i = group + 1; i < FGroups->Count() && const_cast<TcxDataGroups*>(FGroups)->Items(i).Level > g.Level; ++i)
        if (const_cast<TcxDataGroups*>(FGroups)->Items(i).Level == deepest) {
            const TcxDataGroupInfo& d = const_cast<TcxDataGroups*>(FGroups)->Items(i);
            for (int p = d.BeginIndex; p <= d.EndIndex; ++p) out.push_back(FRecordList[size_t(p)]);
        }
    return out;
}

// ---- expansion -------------------------------------------------------------------------------------

void TcxCustomDataControllerInfo::ChangeExpanding(int row, bool expanded, bool recursive)
{
    CheckRowIndex(row);
    if (!IsGrouped() || FController->Options().Contains(dcoGroupsAlwaysExpanded)) return;
    int before;
    int g = FGroups->FindByRowIndex(row, before);
    if (g >= 0) {
        int level = FGroups->Items(g).Level;
        FGroups->Items(g).Expanded = expanded;
        if (recursive)
            for (int i = g + 1; i < FGroups->Count() && FGroups->Items(i).Level > level; ++i)
                FGroups->Items(i).Expanded = expanded;
        FGroups->RenumberRows();
    }
    MarkExpandingChanged();
    BeginUpdate();
    try {
        if (!expanded) RefocusAfterCollapse();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataControllerInfo::CheckExpandingStates()
{
    uint8_t states = 0;
    if (FController->Options().Contains(dcoSaveExpanding)) {
        if (FChanges & (icFilter | icGrouping)) states |= 1;
        if (FSelection->Count() > 0 && (FChanges & (icFilter | icGrouping | icSorting | icExpanding))) states |= 2;
    }
    SaveExpanding(states);
}

void TcxCustomDataControllerInfo::SaveExpanding(uint8_t states)
{
    if (states == FSavedStates && states != 0) return;
    bool matches = FGroups->LevelCount() == FGroupingList->Count() && !FRecordList.empty();
    for (int i = 0; matches && i < FGroupingList->Count(); ++i)
        if (FGroups->Fields[size_t(i)] != FGroupingList->Items(i).Field) matches = false;
    FExpandingInfos.clear();
    FExpandingFields.clear();
    FSavedStates = states;
    if (states == 0 || !matches) return;
    FExpandingFields = FGroups->Fields;
    if (!IsGrouped()) return;
    bool always = FController->Options().Contains(dcoGroupsAlwaysExpanded);
    int visibleDepth = 0;
    for (int i = 0; i < FGroups->Count(); ++i) {
        TcxDataGroupInfo& g = FGroups->Items(i);
        if (g.Level > visibleDepth && !(states & 2)) continue;
        bool shown = g.Level <= visibleDepth;
        if (!shown && !(states & 2)) continue;
        if (shown) visibleDepth = g.Expanded ? g.Level + 1 : g.Level;
        uint8_t state = 0;
        if (g.Expanded && !always && (states & 1)) state |= 1;
        if ((states & 2) && FSelection->FindByGroupIndex(i) >= 0) state |= 2;
        if (state == 0) continue;
        int pos = FGroups->FirstRecordPosition(i);
        if (pos < 0) continue;
        int rec = FRecordList[size_t(pos)];
        if (rec >= FController->GetRecordCount()) continue;
        Variant v;
        FController->GetComparedValue(rec, FGroups->Fields[size_t(g.Level)], v);
        FExpandingInfos.push_back({g.Level, v, state});
    }
}

void TcxCustomDataControllerInfo::RestoreExpanding()
{
    bool always = FController->Options().Contains(dcoGroupsAlwaysExpanded);
    if (always && IsGrouped()) FGroups->SetAllExpanded(true);
    if (FSavedStates == 0) return;
    if (FExpandingFields == FGroups->Fields) {
        if (IsGrouped()) {
            // Group selection is restored from the saved states; data rows are
            // re-synchronised below.
            for (int i = FSelection->Count() - 1; i >= 0; --i)
                if (FSelection->Items(i).Level == -1) FSelection->DeleteEntry(i);
            TcxDataControllerGroupLocateObject locate(FController);
            TcxValueDefUnboundReader reader;
            for (const TcxDataExpandingInfo& info : FExpandingInfos) {
                reader.TruncateValues(info.GroupLevel);
                locate.SetGroupLevel(info.GroupLevel);
                TcxCustomDataField* f = FGroups->Fields[size_t(info.GroupLevel)];
                if (!f->ValueDef()) continue;
                reader.StoreValue(f->ValueDef(), info.GroupValue);
                locate.ReadKeyValues(&reader);
                int rec = locate.FindRecordIndex();
                if (rec < 0) continue;
                int p = GetFilteredIndexByRecordIndex(rec);
                int g = p < 0 ? -1 : FGroups->DeepestGroupOfPosition(p);
                while (g >= 0 && FGroups->Items(g).Level > info.GroupLevel) g = FGroups->ParentOf(g);
                if (g < 0) continue;
                if ((info.SavedState & 1) && (FSavedStates & 1)) FGroups->Items(g).Expanded = true;
                if (info.SavedState & 2) FSelection->InsertEntry(-1, FGroups->Items(g).RowIndex, -1, g);
            }
            if (!always) FGroups->RenumberRows();
        }
        if (FSavedStates & 2) ResyncSelection(IsGrouped());
        if (FSelection->AnchorRowIndex != -1) {
            int pos;
            if (!FSelection->FindRowIndex(FSelection->AnchorRowIndex, pos)) FSelection->ClearAnchor();
        }
    } else if (FSavedStates & 2) {
        FSelection->ClearWithAnchor();
    }
}

void TcxCustomDataControllerInfo::ResyncSelection(bool grouped)
{
    TcxDataSelection* sel = FSelection;
    // Entries whose record is no longer listed cannot be shown: they go, so
    // that no entry is ever taken for a group row it is not.
    for (int i = sel->Count() - 1; i >= 0; --i) {
        TcxDataSelectionEntry& e = sel->Items(i);
        if (e.Level == -1) {
            if (e.Index < 0 || e.Index >= FGroups->Count()) sel->DeleteEntry(i);
            continue;
        }
        int p = GetFilteredIndexByRecordIndex(e.Index);
        if (p < 0) sel->DeleteEntry(i);
        else e.RowIndex = p;
    }
    if (!grouped) {
        if (!FController->IsGridMode()) sel->SortEntries();
        return;
    }
    // Data rows are kept only inside shown, expanded deepest groups.
    int deepest = FGroups->LevelCount() - 1;
    for (int i = sel->Count() - 1; i >= 0; --i) {
        TcxDataSelectionEntry& e = sel->Items(i);
        if (e.Level == -1) {
            e.RowIndex = FGroups->Items(e.Index).RowIndex;
            continue;
        }
        int g = FGroups->DeepestGroupOfPosition(e.RowIndex);
        if (g < 0 || FGroups->Items(g).Level != deepest || !FGroups->IsShown(g) || !FGroups->Items(g).Expanded) {
            sel->DeleteEntry(i);
            continue;
        }
        TcxDataGroupInfo& gi = FGroups->Items(g);
        e.RowIndex = gi.RowIndex + e.RowIndex - gi.BeginIndex + 1;
    }
    sel->SortEntries();
}

void TcxCustomDataControllerInfo::UpdateSelectionRows()
{
    for (int i = 0; i < FSelection->Count(); ++i) {
        TcxDataSelectionEntry& e = FSelection->Items(i);
        if (e.Level == -1) e.RowIndex = e.Index < FGroups->Count() ? FGroups->Items(e.Index).RowIndex : -1;
        else e.RowIndex = GetRowIndexByRecordIndex(e.Index, false);
    }
    for (int i = FSelection->Count() - 1; i >= 0; --i)
        if (FSelection->Items(i).RowIndex < 0) FSelection->DeleteEntry(i);
    FSelection->SortEntries();
}

// ---- focus ----------------------------------------------------------------------------------------

int TcxCustomDataControllerInfo::GetFocusedRecordIndex()
{
    int row = FFocusingInfo->RowIndex;
    if (row < 0 || row >= GetRowCount()) return -1;
    return GetRowInfo(row).RecordIndex;
}

bool TcxCustomDataControllerInfo::CanFocusRow(int row)
{
    return FController->CanFocusRecord(row == -1 ? -1 : GetRowInfo(row).RecordIndex);
}

void TcxCustomDataControllerInfo::UpdateFocusingRecord()
{
    FFocusingInfo->RecomputeFromRow();
    if (FFocusingInfo->RowIndex != -1 && GetRowInfo(FFocusingInfo->RowIndex).RecordIndex != FFocusingInfo->RecordIndex) {
        FFocusingInfo->RowIndex = FindFocusedRow(false);
        if (FFocusingInfo->RowIndex >= GetRowCount()) FFocusingInfo->RowIndex = -1;
    }
}

void TcxCustomDataControllerInfo::ChangeFocusedRow(int row, bool forced)
{
    int count = GetRowCount();
    if (row < -1) row = -1;
    if (row >= count) row = count - 1;
    if (row == FFocusingInfo->RowIndex) return;
    FFocusingMark = true;
    if (!(FChanges & icFocusedRecord)) FPrevFocusingInfo->Assign(FFocusingInfo);
    bool allowed = false;
    auto finish = [&] {
        if (FPrevFocusingInfo->RowIndex >= GetRowCount()) FPrevFocusingInfo->RowIndex = -1;
        if (FFocusingInfo->RowIndex >= GetRowCount()) FFocusingInfo->RowIndex = -1;
        if (allowed || FPrevFocusingInfo->RowIndex != -1) UpdateFocusingRecord();
        if (!FFocusingInfo->IsEqual(FPrevFocusingInfo)) {
            FChanges |= icFocusedRecord | icFocusedRow;
            FController->ResetNewItemRowFocusing();
            FController->SetFocusedSelected(true);
        }
        FFocusingMark = false;
    };
    try {
        allowed = forced || CanFocusRow(row);
        if (allowed) {
            FController->FocusedRowChanging(row);
            FFocusingInfo->RowIndex = row;
        }
    } catch (...) {
        allowed = false;
        finish();
        throw;
    }
    finish();
}

void TcxCustomDataControllerInfo::SetFocusedRowIndex(int row)
{
    ChangeFocusedRow(row, false);
    CheckChanges();
}

int TcxCustomDataControllerInfo::ShowGroupRow(int group, int level)
{
    int g = group;
    while (FGroups->Items(g).Level != level) {
        int parent = FGroups->ParentOf(g);
        if (parent < 0 || parent + 1 != g) break;   // only while g is its parent's first child
        g = parent;
        if (level >= 0 && FGroups->Items(g).Level == level) break;
    }
    if (FGroups->MakeVisible(g, false)) MarkExpandingChanged();
    return FGroups->Items(g).RowIndex;
}

int TcxCustomDataControllerInfo::FindFocusedRow(bool keep)
{
    int rec = FFocusingInfo->RecordIndex;
    if (rec < 0) return -1;
    int p = GetFilteredIndexByRecordIndex(rec);
    if (p < 0) return -1;
    if (!IsGrouped()) return p;
    int g = FGroups->DeepestGroupOfPosition(p);
    if (g < 0) return -1;
    int dataLevel = FGroups->LevelCount();
    int level = FFocusingInfo->Level;
    TcxDataGroupInfo& gi = FGroups->Items(g);
    if (keep) {
        bool shown = FGroups->IsShown(g);
        if (level == dataLevel) {
            if (shown && gi.Expanded) return gi.RowIndex + p - gi.BeginIndex + 1;
            level = gi.Level;
        }
        if (level < 0 && shown) return gi.RowIndex;
        // The shown ancestor (or the group itself) at that level.
        int a = g;
        while (a >= 0 && FGroups->Items(a).Level > std::max(level, 0)) a = FGroups->ParentOf(a);
        if (a < 0) return -1;
        int s = FGroups->GetShownGroup(FGroups->Items(a).RowIndex, a);
        return FGroups->Items(s).RowIndex;
    }
    if (level >= 0 && level < dataLevel && p == gi.BeginIndex) return ShowGroupRow(g, level);
    if (level == -1 && p == gi.BeginIndex) return ShowGroupRow(g, -1);
    return GetDataRowIndex(g, p, true);
}

void TcxCustomDataControllerInfo::CheckFocusedRow()
{
    int r = FindFocusedRow(false);
    int focused = FFocusingInfo->RowIndex;
    int count = GetRowCount();
    if (r != focused &&
        (focused < 0 || focused >= count || GetRowInfo(focused).RecordIndex != FFocusingInfo->RecordIndex))
        ChangeFocusedRow(r, true);
    if ((FChanges & icFocusedRecord) && FPrevFocusingInfo->RowIndex >= GetRowCount()) FPrevFocusingInfo->RowIndex = -1;
}

void TcxCustomDataControllerInfo::RefocusAfterCollapse()
{
    int r = FindFocusedRow(true);
    if (r != FFocusingInfo->RowIndex) ChangeFocusedRow(r, false);
}

void TcxCustomDataControllerInfo::CheckFocusTopRow()
{
    if (!FController->Options().Contains(dcoFocusTopRowAfterSorting)) return;
    if (!FController->GroupingRequested && !FController->SortingRequested && !FController->Reloaded) return;
    FController->Reloaded = false;
    FFocusingInfo->Reset();
    ChangeFocusedRow(0, false);
    if (FSelection->Count() > 0) FSelection->ClearWithAnchor();
}

// ---- selection ------------------------------------------------------------------------------------

void TcxCustomDataControllerInfo::ChangeRowSelection(int row, bool selected)
{
    CheckRowIndex(row);
    int pos;
    if (FSelection->FindRowIndex(row, pos)) {
        if (!selected) FSelection->RemoveEntry(pos);
    } else if (selected && FController->CanSelectRow(row)) {
        int before;
        int g = IsGrouped() ? FGroups->FindByRowIndex(row, before) : -1;
        if (g >= 0) {
            FSelection->AddEntry(pos, row, -1, g);
        } else {
            TcxDataControllerRowInfo info = GetRowInfo(row);
            FSelection->AddEntry(pos, row, info.Level, info.RecordIndex);
        }
    }
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSelection()
{
    FSelection->ClearAllEntries();
    CheckChanges();
}

bool TcxCustomDataControllerInfo::IsRowSelected(int row)
{
    CheckRowIndex(row);
    int pos;
    return FSelection->FindRowIndex(row, pos);
}

// ---- the grouping interface ------------------------------------------------------------------------

void TcxDataControllerGroups::ChangeGroupIndex(int item, int position)
{
    FController->CheckItemRange(item);
    TcxCustomDataField* f = FController->GetItemField(item);
    if (FController->Info()->GroupingList()->Find(f) == position) return;
    if (position < 0 && FController->Info()->GroupingList()->Find(f) < 0) return;
    FController->GroupingRequested = true;
    FController->Info()->ChangeGroupIndex(f, position);
}

void TcxDataControllerGroups::ChangeExpanding(int row, bool expanded, bool recursive)
{
    FController->Info()->ChangeExpanding(row, expanded, recursive);
}

void TcxDataControllerGroups::FullExpand()
{
    TcxCustomDataControllerInfo* info = FController->Info();
    if (!info->IsGrouped()) return;
    info->Groups()->SetAllExpanded(true);
    info->MarkExpandingChanged();
    info->CheckChanges();
}

void TcxDataControllerGroups::FullCollapse()
{
    TcxCustomDataControllerInfo* info = FController->Info();
    if (!info->IsGrouped()) return;
    info->Groups()->SetAllExpanded(false);
    info->MarkExpandingChanged();
    info->BeginUpdate();
    info->RefocusAfterCollapse();
    info->EndUpdate();
}

int TcxDataControllerGroups::GetGroupingItemCount() { return FController->Info()->GroupingList()->Count(); }

int TcxDataControllerGroups::GetGroupingItemIndex(int level)
{
    auto* list = FController->Info()->GroupingList();
    if (level < 0 || level >= list->Count()) return -1;
    return list->Items(level).Field->Index();
}

int TcxDataControllerGroups::GetItemGroupIndex(int item)
{
    FController->CheckItemRange(item);
    return FController->Info()->GroupingList()->Find(FController->GetItemField(item));
}

int TcxDataControllerGroups::GetGroupIndexByRowIndex(int row)
{
    TcxCustomDataControllerInfo* info = FController->Info();
    if (!info->IsGrouped() || row < 0 || row >= info->GetRowCount()) return -1;
    int before;
    int g = info->Groups()->FindByRowIndex(row, before);
    return g >= 0 ? g : before;
}

int TcxDataControllerGroups::GetLevelByGroupIndex(int group)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    return group >= 0 && group < groups->Count() ? groups->Items(group).Level : -1;
}

int TcxDataControllerGroups::GetChildCount(int group)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    int deepest = groups->LevelCount() - 1;
    int n = 0;
    if (group == -1) {
        for (int i = 0; i < groups->Count(); ++i)
            if (groups->Items(i).Level == 0) ++n;
        return n;
    }
    if (group < 0 || group >= groups->Count()) return 0;
    TcxDataGroupInfo& g = groups->Items(group);
    if (g.Level == deepest) return g.EndIndex - g.BeginIndex + 1;
    for (int i = group + 1; i < groups->Count() && groups->Items(i).Level > g.Level; ++i)
        if (groups->Items(i).Level == g.Level + 1) ++n;
    return n;
}

int TcxDataControllerGroups::GetChildGroupIndex(int group, int n)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    if (n < 0) return -1;
    int level = group == -1 ? 0 : (group >= 0 && group < groups->Count() ? groups->Items(group).Level + 1 : -1);
    if (level < 0 || level >= groups->LevelCount()) return -1;
    for (int i = group + 1; i < groups->Count(); ++i) {
        int l = groups->Items(i).Level;
        if (l < level) break;
        if (l == level && n-- == 0) return i;
    }
    return -1;
}

int TcxDataControllerGroups::GetChildRecordIndex(int group, int n)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    if (group < 0 || group >= groups->Count()) return -1;
    TcxDataGroupInfo& g = groups->Items(group);
    if (g.Level != groups->LevelCount() - 1 || n < 0 || n > g.EndIndex - g.BeginIndex) return -1;
    return FController->Info()->GetFilteredRecordIndex(g.BeginIndex + n);
}

void TcxDataControllerGroups::AddGroupRecords(std::vector<int>& list, int group)
{
    std::vector<int> r = FController->Info()->AddGroupRecords(group);
    list.insert(list.end(), r.begin(), r.end());
}

void TcxDataControllerGroups::AddRowRecords(std::vector<int>& list, int row)
{
    AddGroupRecords(list, GetGroupIndexByRowIndex(row));
}
