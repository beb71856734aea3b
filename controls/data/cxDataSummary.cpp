// Footer and group summaries: accumulation, default formats and texts.
#include "cxCustomData.h"

#include "DateUtils.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "cxDataUtils.h"
#include "cxVariants.h"

#include <cmath>

QZ_CLASS_IMPL(TcxCustomDataSummaryItem, TCollectionItem)
QZ_CLASS_IMPL(TcxDataSummaryItem, TcxCustomDataSummaryItem)
QZ_CLASS_IMPL(TcxDataSummaryItems, TCollection)
QZ_CLASS_IMPL(TcxDataFooterSummaryItems, TcxDataSummaryItems)
QZ_CLASS_IMPL(TcxDataGroupSummaryItems, TcxDataSummaryItems)
QZ_CLASS_IMPL(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
QZ_CLASS_IMPL(TcxDataSummaryGroupItemLinks, TCollection)
QZ_CLASS_IMPL(TcxDataSummaryGroup, TCollectionItem)
QZ_CLASS_IMPL(TcxDataSummaryGroups, TCollection)
QZ_CLASS_IMPL(TcxDataSummary, TPersistent)

// ---- items ---------------------------------------------------------------------------------------

TObject* TcxCustomDataSummaryItem::ItemLink() const { return FField ? FField->Item() : nullptr; }

void TcxCustomDataSummaryItem::SetField(TcxCustomDataField* field)
{
    if (FField == field) return;
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    ItemLinkChanged(field);
    FField = field;
    ReportLinkChange();
    if (c) c->EndUpdate();
}

void TcxCustomDataSummaryItem::SetItemLink(TObject* item)
{
    if (ItemLink() == item && (item || !FField)) return;
    TcxCustomDataController* dc = GetDataController();
    SetField(item && dc ? dc->FieldByItem(item) : nullptr);
}

void TcxCustomDataSummaryItem::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxCustomDataSummaryItem>(source);
    if (!src) {
        TCollectionItem::Assign(source);
        return;
    }
    TcxCustomDataController* dc = GetDataController();
    TcxCustomDataController* sdc = src->GetDataController();
    TObject* item = nullptr;
    if (dc && src->ItemLink()) {
        item = dc == sdc ? src->ItemLink() : dc->FindItemByData(src->ItemLink());
    }
    SetItemLink(item);
}

TcxCustomDataController* TcxDataSummaryItem::GetDataController() const
{
    auto* items = SummaryItems();
    return items && items->Summary() ? items->Summary()->DataController() : nullptr;
}

TcxDataSummaryItems* TcxDataSummaryItem::SummaryItems() const { return DynamicCast<TcxDataSummaryItems>(Collection()); }

void TcxDataSummaryItem::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxDataSummaryItem>(source);
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    try {
        TcxCustomDataSummaryItem::Assign(source);
        if (src) {
            FFormat = src->FFormat;
            FKind = src->FKind;
            FPosition = src->FPosition;
            OnGetText = src->OnGetText;
            Changed(true);
        }
    } catch (...) {
        if (c) c->EndUpdate();
        throw;
    }
    if (c) c->EndUpdate();
}

bool TcxDataSummaryItem::IsPositionStored()
{
    auto* items = SummaryItems();
    return items ? items->IsItemPositionStored(this) : FPosition != spGroup;
}

TcxSummaryPosition TcxDataSummaryItem::Position() const
{
    auto* items = SummaryItems();
    return items ? items->GetItemPosition(this) : FPosition;
}

void TcxDataSummaryItem::SetFormat(const std::string& v)
{
    if (FFormat == v) return;
    FFormat = v;
    Changed(false);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind v)
{
    if (FKind == v) return;
    FKind = v;
    Changed(true);
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition v)
{
    if (FPosition == v) return;
    FPosition = v;
    Changed(false);
}

void TcxDataSummaryItem::GetDataDisplayText(const Variant& value, bool isFooter, std::string& text)
{
    text.clear();
    if (value.IsNull() || value.IsEmpty()) {
        // nothing
    } else if (FKind == skNone) {
        text = VarToStr(value);
    } else {
        std::string format = FFormat;
        if (format.empty() && SummaryItems()) SummaryItems()->GetDefaultFormat(value.VType(), FKind, format, isFooter);
        bool isDate = (value.VType() & varTypeMask) == varDate;
        if (!isDate || FKind == skCount) {
            text = FormatFloat(format, value.AsDouble());
        } else {
            TDateTime d = value.RawDouble();
            double datePart = cxDataUtils::DatePart(d), timePart = cxDataUtils::TimePart(d);
            if (datePart != 0 && timePart != 0) text = format + DateTimeToStr(d);
            else if (datePart == 0) text = format + TimeToStr(d);
            else text = format + DateToStr(d);
        }
    }
    if (OnGetText) OnGetText(this, value, isFooter, text);
}

// ---- collections -----------------------------------------------------------------------------------

TcxDataSummaryItems::TcxDataSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass)
    : TCollection(itemClass), FSummary(summary)
{
}

TPersistent* TcxDataSummaryItems::GetOwner() const { return FSummary; }

void TcxDataSummaryItems::Update(TCollectionItem* item)
{
    if (FSummary) FSummary->Changed(item != nullptr);
}

TcxDataSummaryItem* TcxDataSummaryItems::Add(TObject* itemLink, TcxSummaryPosition position, TcxSummaryKind kind,
                                             const std::string& format)
{
    BeginUpdate();
    auto* item = static_cast<TcxDataSummaryItem*>(TCollection::Add());
    try {
        item->SetItemLink(itemLink);
        item->SetPosition(position);
        item->SetKind(kind);
        item->SetFormat(format);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

int TcxDataSummaryItems::IndexOfItemLink(TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->ItemLink() == item) return i;
    return -1;
}

int TcxDataSummaryItems::IndexOfField(TcxCustomDataField* field) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Field() == field) return i;
    return -1;
}

void TcxDataSummaryItems::GetDefaultFormat(TVarType valueType, TcxSummaryKind kind, std::string& format, bool isFooter)
{
    format.clear();
    if (kind == skNone) return;
    static const char* currency[10] = {"SUM=%s;SUM=-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "COUNT=0",
                                       "AVG=%s;AVG=-%s", "%s;-%s",         "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s",
                                       "0",              "AVG=%s;AVG=-%s"};
    static const char* dates[10] = {"SUM=", "MIN=", "MAX=", "COUNT=0", "AVG=", "", "MIN=", "MAX=", "0", "AVG="};
    static const char* others[10] = {"SUM=0.00;SUM=-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "COUNT=0",
                                     "AVG=0.00;AVG=-0.00", "0.00;-0.00",         "MIN=0.00;MIN=-0.00",
                                     "MAX=0.00;MAX=-0.00", "0",                  "AVG=0.00;AVG=-0.00"};
    int index = (int(kind) - 1) + (isFooter ? 5 : 0);
    TVarType t = valueType & varTypeMask;
    if (t == varCurrency) {
        format = currency[index];
        std::string cf = cxDataUtils::CurrencyDisplayFormat();
        size_t pos;
        while ((pos = format.find("%s")) != std::string::npos) format.replace(pos, 2, cf);
    } else if (t == varDate) {
        format = dates[index];
    } else {
        format = others[index];
    }
}

void TcxDataGroupSummaryItems::GetGroupSummaryTextOfValues(const Variant& values, std::string& text)
{
    text.clear();
    for (int i = 0; i < Count(); ++i) {
        TcxDataSummaryItem* item = Items(i);
        if (item->Position() != spGroup) continue;
        if (!FSummary->IsValueIndexValid(values, i)) continue;
        std::string s;
        item->GetDataDisplayText(VarArrayGet(values, {i}), false, s);
        if (s.empty()) continue;
        if (!text.empty()) text += Separator + " ";
        text += s;
    }
    if (!text.empty()) text = BeginText + text + EndText;
}

void TcxDataGroupSummaryItems::SetBeginText(const std::string& v)
{
    if (BeginText == v) return;
    BeginText = v;
    if (FSummary) FSummary->Changed(true);
}

void TcxDataGroupSummaryItems::SetEndText(const std::string& v)
{
    if (EndText == v) return;
    EndText = v;
    if (FSummary) FSummary->Changed(true);
}

void TcxDataGroupSummaryItems::SetSeparator(const std::string& v)
{
    if (Separator == v) return;
    Separator = v;
    if (FSummary) FSummary->Changed(true);
}

// ---- summary groups ---------------------------------------------------------------------------------

TcxCustomDataController* TcxDataSummaryGroupItemLink::GetDataController() const
{
    auto* links = DynamicCast<TcxDataSummaryGroupItemLinks>(Collection());
    TcxDataSummary* s = links && links->Group() ? links->Group()->Summary() : nullptr;
    return s ? s->DataController() : nullptr;
}

void TcxDataSummaryGroupItemLink::ItemLinkChanged(TcxCustomDataField* field)
{
    if (!field) return;
    auto* links = DynamicCast<TcxDataSummaryGroupItemLinks>(Collection());
    TcxDataSummary* s = links && links->Group() ? links->Group()->Summary() : nullptr;
    if (!s) return;
    // An item is linked to one summary group at most.
    for (int g = 0; g < s->SummaryGroups()->Count(); ++g) {
        TcxDataSummaryGroupItemLinks* other = s->SummaryGroups()->Items(g)->Links();
        for (int i = other->Count() - 1; i >= 0; --i) {
            TcxDataSummaryGroupItemLink* l = other->Items(i);
            if (l != this && l->Field() == field) l->SetField(nullptr);
        }
    }
}

TPersistent* TcxDataSummaryGroupItemLinks::GetOwner() const { return FGroup; }

TcxDataSummaryGroupItemLink* TcxDataSummaryGroupItemLinks::Add(TObject* itemLink)
{
    auto* l = static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Add());
    l->SetItemLink(itemLink);
    return l;
}

int TcxDataSummaryGroupItemLinks::IndexOfItemLink(TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->ItemLink() == item) return i;
    return -1;
}

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem*)
{
    if (FGroup && FGroup->Summary()) FGroup->Summary()->Changed(false);
}

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* collection) : TCollectionItem(collection) {}

// Made on first use: the group learns its summary when it joins its collection.
TcxDataSummaryGroupItemLinks* TcxDataSummaryGroup::Links()
{
    if (!FLinks) FLinks = new TcxDataSummaryGroupItemLinks(this, TcxDataSummaryGroupItemLink::StaticClass());
    return FLinks;
}

TcxDataGroupSummaryItems* TcxDataSummaryGroup::SummaryItems()
{
    if (!FSummaryItems) FSummaryItems = new TcxDataGroupSummaryItems(Summary(), Summary()->DataController()->GetSummaryItemClass(), this);
    return FSummaryItems;
}

TcxDataSummaryGroup::~TcxDataSummaryGroup()
{
    delete FLinks;
    delete FSummaryItems;
}

TcxDataSummary* TcxDataSummaryGroup::Summary() const
{
    auto* groups = DynamicCast<TcxDataSummaryGroups>(Collection());
    return groups ? groups->Summary() : nullptr;
}

void TcxDataSummaryGroup::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxDataSummaryGroup>(source);
    if (!src) {
        TCollectionItem::Assign(source);
        return;
    }
    Links()->Assign(src->Links());
    SummaryItems()->Assign(src->SummaryItems());
}

TcxDataSummaryGroups::TcxDataSummaryGroups(TcxDataSummary* summary)
    : TCollection(TcxDataSummaryGroup::StaticClass()), FSummary(summary)
{
}

TPersistent* TcxDataSummaryGroups::GetOwner() const { return FSummary; }

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Links()->IndexOfItemLink(item) >= 0) return Items(i);
    return nullptr;
}

void TcxDataSummaryGroups::Update(TCollectionItem* item)
{
    // A new group gets its collections once it knows its summary.
    for (int i = 0; i < Count(); ++i) {
        TcxDataSummaryGroup* g = Items(i);
        (void)g;
    }
    if (FSummary) FSummary->Changed(false);
}

// ---- the summary ------------------------------------------------------------------------------------

TcxDataSummary::TcxDataSummary(TcxCustomDataController* controller) : FController(controller)
{
    FDefaultGroupSummaryItems = new TcxDataGroupSummaryItems(this, FController->GetSummaryItemClass(), this);
    FFooterSummaryItems = new TcxDataFooterSummaryItems(this, FController->GetSummaryItemClass());
    FSummaryGroups = new TcxDataSummaryGroups(this);
}

TcxDataSummary::~TcxDataSummary()
{
    FDestroying = true;
    delete FSummaryGroups;
    delete FFooterSummaryItems;
    delete FDefaultGroupSummaryItems;
}

TPersistent* TcxDataSummary::GetOwner() const { return FController; }

void TcxDataSummary::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxDataSummary>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    BeginSummaryUpdate();
    try {
        FDefaultGroupSummaryItems->Assign(src->FDefaultGroupSummaryItems);
        FFooterSummaryItems->Assign(src->FFooterSummaryItems);
        FSummaryGroups->Clear();
        for (int i = 0; i < src->FSummaryGroups->Count(); ++i) {
            TcxDataSummaryGroup* g = FSummaryGroups->Add();
            g->Assign(src->FSummaryGroups->Items(i));
        }
        FOptions = src->FOptions;
        AssignEvents(src);
    } catch (...) {
        EndUpdateAndChange();
        throw;
    }
    EndUpdateAndChange();
}

void TcxDataSummary::BeginSummaryUpdate()
{
    FController->BeginUpdate();
    ++FLockCount;
}

void TcxDataSummary::EndSummaryUpdate()
{
    FController->EndUpdate();
    --FLockCount;
}

void TcxDataSummary::EndUpdateAndChange()
{
    --FLockCount;
    Changed(false);
    FController->EndUpdate();
}

void TcxDataSummary::Changed(bool redrawOnly)
{
    if (FInAfterSummary || FLockCount > 0) return;
    SummaryChanged(redrawOnly);
}

void TcxDataSummary::SummaryChanged(bool redrawOnly)
{
    if (!FDestroying && FController && FController->Info()) FController->ExpandingChanged(redrawOnly);
}

void TcxDataSummary::SetOptions(TcxSummaryOptions v)
{
    if (FOptions == v) return;
    FOptions = v;
    Changed(false);
}

void TcxDataSummary::DoAfterSummary()
{
    if (!OnAfterSummary) return;
    if (FController->IsLoading()) {
        FController->FAfterSummaryPending = true;
        return;
    }
    FController->FAfterSummaryPending = false;
    if (FController->IsPattern() || FController->LockOnAfterSummary()) return;
    FInAfterSummary = true;
    try {
        OnAfterSummary(this);
    } catch (...) {
        FInAfterSummary = false;
        throw;
    }
    FInAfterSummary = false;
}

void TcxDataSummary::BeginCalculate(TcxDataSummaryItems* items, std::vector<int>& counts, std::vector<Variant>& values)
{
    counts.assign(size_t(items->Count()), 0);
    values.assign(size_t(items->Count()), Variant());
}

int TcxDataSummary::GetRecordIndex(int filteredIndex)
{
    int r = FController->GetFilteredRecordIndex(filteredIndex);
    if (FOptions.Contains(soSelectedRecords) && !FController->Info()->Selection()->IsRecordSelected(r)) return -1;
    return r;
}

void TcxDataSummary::CalculateRange(TcxDataSummaryItems* items, int first, int last, std::vector<int>& counts,
                                    std::vector<Variant>& values)
{
    if (items->Count() == 0) return;
    for (int p = first; p <= last; ++p) {
        int r = GetRecordIndex(p);
        if (r == -1) continue;
        for (int i = 0; i < items->Count(); ++i) DoSummaryValue(items->Items(i), r, counts[size_t(i)], values[size_t(i)]);
    }
}

void TcxDataSummary::DoSummaryValue(TcxDataSummaryItem* item, int record, int& count, Variant& accumulated)
{
    TcxCustomDataField* field = item->GetField();
    if (!field) return;
    TcxSummaryEventOutArguments out;
    FController->GetValueCore(record, field, out.RecordValue);
    auto* items = item->SummaryItems();
    if (items && items->OnSummary) {
        TcxSummaryEventArguments args{record, item};
        out.AccumulatedValue = accumulated;
        out.AccumulatedCount = count;
        items->OnSummary(items, args, out);
        accumulated = out.AccumulatedValue;
        count = out.AccumulatedCount;
    }
    TcxSummaryKind kind = item->Kind();
    if (out.Handled || kind == skNone) return;
    const Variant& v = out.RecordValue;
    if (FOptions.Contains(soNullIgnore) && v.IsNull()) return;
    if (accumulated.IsEmpty()) {
        if (kind == skCount) {
        } else if ((kind == skMin || kind == skMax) && v.IsNull()) {
        } else if (v.IsNull()) {
            accumulated = Variant(0);
        } else {
            accumulated = v;
        }
    } else if (!v.IsNull() && !accumulated.IsNull()) {
        switch (kind) {
        case skSum:
        case skAverage: accumulated = accumulated + v; break;
        case skMin: if (v < accumulated) accumulated = v; break;
        case skMax: if (v > accumulated) accumulated = v; break;
        default: break;
        }
    }
    ++count;
}

void TcxDataSummary::CalculateValue(TcxDataSummaryItem* item, Variant& accumulated, int count)
{
    if (!item->GetField()) return;
    if (accumulated.IsEmpty()) accumulated = Null();
    if (item->Kind() == skCount) {
        accumulated = Variant(count);
    } else if (item->Kind() == skAverage && count > 0 && !accumulated.IsNull()) {
        bool isDate = (accumulated.VType() & varTypeMask) == varDate;
        Variant r = Variant(accumulated.AsDouble() / count);
        accumulated = isDate ? Variant::FromDate(r.RawDouble()) : r;
    }
}

void TcxDataSummary::EndCalculate(TcxDataSummaryItems* items, std::vector<int>& counts, std::vector<Variant>& values,
                                  Variant& result)
{
    for (int i = 0; i < items->Count(); ++i) {
        if (!items->Items(i)->GetField()) values[size_t(i)] = Null();
        CalculateValue(items->Items(i), values[size_t(i)], counts[size_t(i)]);
    }
    result = VarArrayOf(values);
}

bool TcxDataSummary::IsValueIndexValid(const Variant& values, int index)
{
    return values.IsArray() && index >= VarArrayLowBound(values, 1) && index <= VarArrayHighBound(values, 1);
}

void TcxDataSummary::Calculate()
{
    CalculateFooterSummary();
    CalculateGroupSummaries();
    DoAfterSummary();
}

void TcxDataSummary::CalculateFooterSummary()
{
    std::vector<int> counts;
    std::vector<Variant> values;
    BeginCalculate(FFooterSummaryItems, counts, values);
    if (!FController->IsGridMode())
        CalculateRange(FFooterSummaryItems, 0, FController->GetFilteredRecordCount() - 1, counts, values);
    Variant result;
    EndCalculate(FFooterSummaryItems, counts, values, result);
    FFooterValues = result;
}

void TcxDataSummary::CalculateGroupSummaries()
{
    TcxDataGroups* groups = FController->Info()->Groups();
    int levels = groups->LevelCount();
    int deepest = levels - 1;
    for (int level = 0; level < levels; ++level) {
        TcxDataSummaryItems* items = GetGroupSummaryItems(level);
        if (!items) continue;
        std::vector<int> counts;
        std::vector<Variant> values;
        int open = -1;
        for (int i = 0; i < groups->Count(); ++i) {
            TcxDataGroupInfo& g = groups->Items(i);
            if (g.Level == level) {
                if (open >= 0) EndCalculate(items, counts, values, groups->Items(open).SummaryValues);
                BeginCalculate(items, counts, values);
                open = i;
            }
            if (g.Level == deepest && open >= 0) CalculateRange(items, g.BeginIndex, g.EndIndex, counts, values);
        }
        if (open >= 0) EndCalculate(items, counts, values, groups->Items(open).SummaryValues);
    }
}

TcxDataSummaryItems* TcxDataSummary::GetGroupSummaryItems(int level)
{
    auto* list = FController->Info()->GroupingList();
    if (level < 0 || level >= list->Count()) return nullptr;
    TcxCustomDataField* f = list->Items(level).Field;
    for (int i = 0; i < FSummaryGroups->Count(); ++i) {
        TcxDataSummaryGroup* g = FSummaryGroups->Items(i);
        for (int j = 0; j < g->Links()->Count(); ++j)
            if (g->Links()->Items(j)->Field() == f) return g->SummaryItems();
    }
    return FDefaultGroupSummaryItems;
}

Variant TcxDataSummary::GetFooterSummaryValue(int index)
{
    if (!IsValueIndexValid(FFooterValues, index)) return Null();
    return VarArrayGet(FFooterValues, {index});
}

std::string TcxDataSummary::GetFooterSummaryText(int index)
{
    std::string s;
    if (index < 0 || index >= FFooterSummaryItems->Count()) return s;
    FFooterSummaryItems->Items(index)->GetDataDisplayText(GetFooterSummaryValue(index), true, s);
    return s;
}

Variant TcxDataSummary::GetGroupSummaryValues(int group)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    if (group < 0 || group >= groups->Count()) return Variant();
    return groups->Items(group).SummaryValues;
}

std::string TcxDataSummary::GetGroupSummaryText(int row)
{
    int g = FController->Groups()->GetGroupIndexByRowIndex(row);
    if (g < 0) return std::string();
    TcxDataSummaryItems* items = GetGroupSummaryItems(FController->Info()->Groups()->Items(g).Level);
    const Variant& values = FController->Info()->Groups()->Items(g).SummaryValues;
    std::string s;
    if (items && !values.IsEmpty()) items->GetGroupSummaryTextOfValues(values, s);
    return s;
}

std::string TcxDataSummary::GetGroupFooterSummaryText(int row, int level, int index)
{
    TcxDataGroups* groups = FController->Info()->Groups();
    int g = FController->Groups()->GetGroupIndexByRowIndex(row);
    if (g < 0) return std::string();
    if (groups->Items(g).Level < level) {
        int i = g + 1;
        while (i < groups->Count() && groups->Items(i).Level != level) ++i;
        g = i < groups->Count() ? i : -1;
    } else {
        while (g >= 0 && groups->Items(g).Level != level) --g;
    }
    if (g < 0) return std::string();
    TcxDataSummaryItems* items = GetGroupSummaryItems(level);
    const Variant& values = groups->Items(g).SummaryValues;
    std::string s;
    if (items && index < items->Count() && IsValueIndexValid(values, index))
        items->Items(index)->GetDataDisplayText(VarArrayGet(values, {index}), true, s);
    return s;
}

int TcxDataSummary::GetGroupFooterIndexOfItemLink(int level, TObject* item)
{
    TcxDataSummaryItems* items = GetGroupSummaryItems(level);
    if (!items) return -1;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Position() == spFooter && items->Items(i)->ItemLink() == item) return i;
    return -1;
}

void TcxDataSummary::ClearFieldLinks(TcxCustomDataField* field)
{
    BeginSummaryUpdate();
    bool any = false;
    auto clear = [&](TCollection* c) {
        for (int i = 0; i < c->Count(); ++i)
            if (auto* item = DynamicCast<TcxCustomDataSummaryItem>(c->Items(i)))
                if (item->Field() == field) {
                    item->SetField(nullptr);
                    any = true;
                }
    };
    try {
        clear(FFooterSummaryItems);
        clear(FDefaultGroupSummaryItems);
        for (int g = 0; g < FSummaryGroups->Count(); ++g) {
            clear(FSummaryGroups->Items(g)->SummaryItems());
            clear(FSummaryGroups->Items(g)->Links());
        }
    } catch (...) {
        EndSummaryUpdate();
        throw;
    }
    if (any) EndUpdateAndChange();
    else EndSummaryUpdate();
}
