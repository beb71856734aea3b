// Master-detail: relations, the per-record detail objects and the save
// object that keeps expanded details and the selection across reloads.
#include "cxCustomData.h"

#include "cxDataConsts.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxCustomDataRelation, TObject)
QZ_CLASS_IMPL(TcxCustomDataRelationList, TObject)
QZ_CLASS_IMPL(TcxDetailInfoObject, TObject)
QZ_CLASS_IMPL(TcxDetailObject, TObject)
QZ_CLASS_IMPL(TcxKeys, TObject)
QZ_CLASS_IMPL(TcxDetailKeys, TcxKeys)
QZ_CLASS_IMPL(TcxSelectedKeys, TcxKeys)
QZ_CLASS_IMPL(TcxSaveObject, TObject)

// ---- relations ----------------------------------------------------------------------------------

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* list, TObject* item) : FItem(item), FList(list)
{
}

TcxCustomDataRelation::~TcxCustomDataRelation()
{
    if (PatternController) {
        TcxCustomDataController* p = PatternController;
        PatternController = nullptr;
        if (p->GetMasterRelation() == this) p->SetMasterMode(nullptr, p->IsPattern());
    }
    if (FList) {
        TcxCustomDataRelationList* list = FList;
        FList = nullptr;
        auto it = std::find(list->FItems.begin(), list->FItems.end(), this);
        if (it != list->FItems.end()) {
            list->Controller()->ClearDetailsMasterRelation(this);
            list->FItems.erase(it);
            list->Changed(nullptr);
        }
    }
}

TcxCustomDataController* TcxCustomDataRelation::GetDataController() const { return FList ? FList->Controller() : nullptr; }

int TcxCustomDataRelation::GetIndex() const
{
    if (!FList) return -1;
    auto it = std::find(FList->FItems.begin(), FList->FItems.end(), this);
    return it == FList->FItems.end() ? -1 : int(it - FList->FItems.begin());
}

void TcxCustomDataRelation::Changed()
{
    if (FList) FList->Changed(this);
}

TcxCustomDataRelationList::~TcxCustomDataRelationList()
{
    ++FUpdateLock;
    while (!FItems.empty()) {
        TcxCustomDataRelation* r = FItems.back();
        FItems.pop_back();
        r->FList = nullptr;
        delete r;
    }
}

TcxCustomDataRelation* TcxCustomDataRelationList::Add(TObject* item)
{
    TcxCustomDataRelation* r = FController->CreateRelation(this, item);
    FItems.push_back(r);
    Changed(r);
    return r;
}

void TcxCustomDataRelationList::Assign(TcxCustomDataRelationList* source)
{
    BeginUpdate();
    try {
        Clear();
        for (auto* r : source->FItems) Add(r->Item())->AssignRelation(r);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataRelationList::EndUpdate()
{
    --FUpdateLock;
    Changed(nullptr);
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindRelation(TObject* item) const
{
    for (auto* r : FItems)
        if (r->Item() == item) return r;
    return nullptr;
}

void TcxCustomDataRelationList::Clear()
{
    BeginUpdate();
    while (!FItems.empty()) delete FItems.back();
    EndUpdate();
}

void TcxCustomDataRelationList::Remove(TcxCustomDataRelation* relation) { delete relation; }

bool TcxCustomDataRelationList::HasDetailControllers() const
{
    for (auto* r : FItems)
        if (r->PatternController) return true;
    return false;
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* relation)
{
    if (FUpdateLock != 0) return;
    FController->BeginUpdate();
    try {
        if (FItems.empty()) {
            if (LinkField) {
                TcxCustomDataField* f = LinkField;
                LinkField = nullptr;
                delete f;
            }
        } else if (LinkField) {
            FController->ClearDetails();
        } else {
            LinkField = FController->AddInternalField();
            LinkField->SetValueType(TcxObjectValueType::Class());
        }
    } catch (...) {
        FController->EndUpdate();
        throw;
    }
    FController->EndUpdate();
    FController->UpdateRelations(relation);
}

void TcxCustomDataRelationList::FieldRemoved(TcxCustomDataField* field)
{
    if (field == LinkField) LinkField = nullptr;
    for (auto* r : FItems) r->DataFieldRemoved(field);
}

// ---- detail objects -------------------------------------------------------------------------------

bool TcxDetailObject::ClearInfos(int relationIndex)
{
    bool any = false;
    for (size_t i = 0; i < Infos.size(); ++i) {
        if (relationIndex != -1 && int(i) != relationIndex) continue;
        if (Infos[i]) {
            delete Infos[i];
            Infos[i] = nullptr;
            any = true;
        }
    }
    return any;
}

TcxCustomDataRelationList* TcxCustomDataController::GetRelations()
{
    if (!FRelations) FRelations = new TcxCustomDataRelationList(this);
    return FRelations;
}

namespace {
TcxDetailObject* StoredDetailObject(TcxCustomDataController* c, int record)
{
    TcxCustomDataField* f = c->GetRelations()->LinkField;
    if (!f || !f->ValueDef()) return nullptr;
    Variant v = c->Storage()->ReadValue(record, f->ValueDef());
    if (v.IsNull() || v.IsEmpty()) return nullptr;
    return DynamicCast<TcxDetailObject>(ObjectHandles::Resolve(uint32_t(v.AsInt64())));
}
}  // namespace

TcxDetailObject* TcxCustomDataController::GetDetailObject(int record)
{
    CheckRecordRange(record);
    TcxCustomDataField* link = GetRelations()->LinkField;
    if (!link || !link->ValueDef()) return nullptr;
    TcxDetailObject* obj = StoredDetailObject(this, record);
    TcxCustomDataController* pattern = GetPatternDataController();
    bool details = pattern && pattern->FRelations && pattern->FRelations->HasDetailControllers();
    if (details) {
        if (!obj) {
            obj = new TcxDetailObject();
            obj->ActiveRelation = GetDefaultActiveRelationIndex();
            // The cell owns the object and holds it by its handle.
            FStorage->WriteValue(record, link->ValueDef(), Variant(int(ObjectHandles::HandleOf(obj))));
        }
        int count = FRelations->Count();
        if (int(obj->Infos.size()) < count) obj->Infos.resize(size_t(count), nullptr);
        if (obj->Infos.empty()) obj->ActiveRelation = -1;
        else obj->ActiveRelation = std::clamp(obj->ActiveRelation, 0, int(obj->Infos.size()) - 1);
        return obj;
    }
    if (obj) {
        for (auto* info : obj->Infos)
            if (info && info->Link)
                if (auto* d = GetDetailDataControllerByLinkObject(info->Link)) d->SetMasterRelation(nullptr, -1);
        FStorage->WriteValue(record, link->ValueDef(), Null());
    }
    return nullptr;
}

bool TcxCustomDataController::ClearDetailObject(int record, int relationIndex)
{
    CheckRecordRange(record);
    if (!GetRelations()->LinkField) return false;
    TcxDetailObject* obj = StoredDetailObject(this, record);
    if (!obj) return false;
    obj->ClearInfos(relationIndex);
    return true;
}

// The records from `from` on moved by `delta` in the storage: so do the master
// record indexes of their existing detail controllers.
void TcxCustomDataController::ShiftDetailMasters(int from, int delta)
{
    if (!FRelations || !FRelations->LinkField) return;
    for (int r = std::max(from, 0); r < GetRecordCount(); ++r) {
        TcxDetailObject* obj = StoredDetailObject(this, r);
        if (!obj) continue;
        for (auto* info : obj->Infos)
            if (info && info->Link)
                if (TcxCustomDataController* d = GetDetailDataControllerByLinkObject(info->Link))
                    d->FMasterRecordIndex += delta;
    }
}

void TcxCustomDataController::CorrectDetailsAfterInsert(int record) { ShiftDetailMasters(record + 1, 1); }

void TcxCustomDataController::CorrectDetailsAfterDelete(int record)
{
    CorrectEditingRecord(record);
    if (record >= 0) ShiftDetailMasters(record, -1);
}

void TcxCustomDataController::ClearDetailLinkObject(int record, int relationIndex)
{
    if (ClearDetailObject(record, relationIndex)) Change(dcfDetails);
}

void TcxCustomDataController::ClearDetails()
{
    if (!FRelations || !FRelations->LinkField) return;
    BeginUpdate();
    try {
        for (int r = 0; r < GetRecordCount(); ++r) ClearDetailLinkObject(r, -1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::CollapseDetails()
{
    CheckBrowseMode();
    if (!FRelations || !FRelations->LinkField) return;
    BeginUpdate();
    try {
        for (int r = 0; r < GetRecordCount(); ++r)
            if (TcxDetailObject* obj = StoredDetailObject(this, r)) {
                obj->ClearInfos(-1);
                obj->Expanded = false;
                Change(dcfDetails);
            }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TcxCustomDataController::GetDetailExpanding(int record)
{
    if (record < 0 || record >= GetRecordCount() || !FRelations || !FRelations->LinkField) return false;
    TcxDetailObject* obj = StoredDetailObject(this, record);
    return obj && obj->Expanded;
}

bool TcxCustomDataController::CanChangeDetailExpanding(int record, bool expanding)
{
    bool allow = true;
    if (expanding && OnDetailExpanding) OnDetailExpanding(this, record, allow);
    if (!expanding && OnDetailCollapsing) OnDetailCollapsing(this, record, allow);
    return allow;
}

bool TcxCustomDataController::ChangeDetailExpanding(int record, bool expand)
{
    if (GetDetailExpanding(record) == expand) return false;
    CheckBrowseMode();
    if (record < 0 || record >= GetRecordCount()) return false;
    TcxDetailObject* obj = GetDetailObject(record);
    if (!obj || !CanChangeDetailExpanding(record, expand)) return false;
    obj->Expanded = expand;
    Change(dcfDetails);
    if (expand && OnDetailExpanded) OnDetailExpanded(this, record);
    if (!expand && OnDetailCollapsed) OnDetailCollapsed(this, record);
    return true;
}

int TcxCustomDataController::GetDetailActiveRelationIndex(int record)
{
    TcxCustomDataController* pattern = GetPatternDataController();
    if (!pattern || !pattern->FRelations || !pattern->FRelations->HasDetailControllers()) return -1;
    TcxDetailObject* obj = GetDetailObject(record);
    return obj ? obj->ActiveRelation : -1;
}

void TcxCustomDataController::ChangeDetailActiveRelationIndex(int record, int index)
{
    if (GetDetailActiveRelationIndex(record) == index) return;
    CheckBrowseMode();
    if (TcxDetailObject* obj = GetDetailObject(record)) {
        obj->ActiveRelation = index;
        Change(dcfDetails);
    }
}

TObject* TcxCustomDataController::GetDetailLinkObject(int record, int relationIndex)
{
    TcxDetailObject* obj = GetDetailObject(record);
    if (!obj || relationIndex < 0 || relationIndex >= int(obj->Infos.size())) return nullptr;
    if (obj->Infos[size_t(relationIndex)] && obj->Infos[size_t(relationIndex)]->Link)
        return obj->Infos[size_t(relationIndex)]->Link;
    if (FCreatingLink) return nullptr;
    TObject* link = nullptr;
    FCreatingLink = true;
    try {
        link = CreateDetailLinkObject(FRelations->Items(relationIndex), record);
    } catch (...) {
        FCreatingLink = false;
        throw;
    }
    FCreatingLink = false;
    // A link made for a record that went away or changed meanwhile is not kept.
    if (link && (record < 0 || record >= GetRecordCount() || StoredDetailObject(this, record) != obj)) {
        FreeObject(link);
        link = nullptr;
    }
    if (link) {
        if (!obj->Infos[size_t(relationIndex)]) obj->Infos[size_t(relationIndex)] = new TcxDetailInfoObject();
        obj->Infos[size_t(relationIndex)]->Link = link;
    } else if (!FRetryingLink) {
        FRetryingLink = true;
        try {
            link = GetDetailLinkObject(record, relationIndex);
        } catch (...) {
            FRetryingLink = false;
            throw;
        }
        FRetryingLink = false;
    }
    return link;
}

bool TcxCustomDataController::IsDetailLinkObjectExists(int record, int relationIndex)
{
    CheckRecordRange(record);
    if (!FRelations || !FRelations->LinkField) return false;
    TcxDetailObject* obj = StoredDetailObject(this, record);
    if (!obj) return false;
    for (size_t i = 0; i < obj->Infos.size(); ++i)
        if ((relationIndex == -1 || int(i) == relationIndex) && obj->Infos[i] && obj->Infos[i]->Link) return true;
    return false;
}

TcxCustomDataController* TcxCustomDataController::GetDetailDataController(int record, int relationIndex)
{
    TObject* link = GetDetailLinkObject(record, relationIndex);
    return link ? GetDetailDataControllerByLinkObject(link) : nullptr;
}

bool TcxCustomDataController::IsDetailHasChildren(int record, int relationIndex)
{
    if (IsDetailLinkObjectExists(record, relationIndex)) {
        TcxDetailObject* obj = StoredDetailObject(this, record);
        TcxCustomDataController* d = GetDetailDataControllerByLinkObject(obj->Infos[size_t(relationIndex)]->Link);
        return d && d->GetRecordCount() > 0;
    }
    if (!FProvider->IsSourceOpen()) return false;
    TcxDetailObject* obj = GetDetailObject(record);
    if (!obj || relationIndex < 0 || relationIndex >= int(obj->Infos.size())) return false;
    if (!obj->Infos[size_t(relationIndex)]) obj->Infos[size_t(relationIndex)] = new TcxDetailInfoObject();
    TcxDetailInfoObject* info = obj->Infos[size_t(relationIndex)];
    if (!info->HasDetailRowsKnown) {
        info->HasDetailRows = FProvider->GetDetailHasChildren(record, relationIndex);
        info->HasDetailRowsKnown = true;
    }
    return info->HasDetailRows;
}

void TcxCustomDataController::ResetHasChildrenFlags()
{
    if (!FRelations || !FRelations->LinkField) return;
    bool any = false;
    for (int r = 0; r < GetRecordCount(); ++r)
        if (TcxDetailObject* obj = StoredDetailObject(this, r))
            for (auto* info : obj->Infos)
                if (info && info->HasDetailRowsKnown) {
                    info->HasDetailRowsKnown = false;
                    any = true;
                }
    if (any) Change(dcfLayout);
}

void TcxCustomDataController::ClearDetailsMasterRelation(TcxCustomDataRelation* relation)
{
    if (!FRelations || !FRelations->LinkField) return;
    int index = relation->GetIndex();
    for (int r = 0; r < GetRecordCount(); ++r)
        if (TcxDetailObject* obj = StoredDetailObject(this, r))
            if (index >= 0 && index < int(obj->Infos.size()) && obj->Infos[size_t(index)] &&
                obj->Infos[size_t(index)]->Link)
                if (auto* d = GetDetailDataControllerByLinkObject(obj->Infos[size_t(index)]->Link))
                    d->SetMasterRelation(nullptr, -1);
}

void TcxCustomDataController::ResetRelationItemDetails(TObject* item)
{
    if (FRelations && FRelations->FindRelation(item)) {
        ClearDetails();
        return;
    }
    if (!FRelations || !FRelations->LinkField) return;
    for (int r = 0; r < GetRecordCount(); ++r)
        if (TcxDetailObject* obj = StoredDetailObject(this, r))
            for (auto* info : obj->Infos)
                if (info && info->Link)
                    if (auto* d = GetDetailDataControllerByLinkObject(info->Link)) d->ResetRelationItemDetails(item);
}

void TcxCustomDataController::ForEachDetail(TcxCustomDataRelation* relation,
                                            const std::function<void(TcxCustomDataController*)>& proc)
{
    // The relation indexes from the root controller down to the relation.
    std::vector<int> path;
    TcxCustomDataController* c = relation ? relation->GetDataController() : nullptr;
    if (!c) return;
    path.push_back(relation->GetIndex());
    for (TcxCustomDataRelation* r = c->GetMasterRelation(); r; r = r->GetDataController()->GetMasterRelation())
        path.insert(path.begin(), r->GetIndex());
    std::function<void(TcxCustomDataController*, size_t)> walk = [&](TcxCustomDataController* ctl, size_t level) {
        if (!ctl->FRelations || !ctl->FRelations->LinkField) return;
        int index = path[level];
        for (int rec = 0; rec < ctl->GetRecordCount(); ++rec) {
            TcxDetailObject* obj = StoredDetailObject(ctl, rec);
            if (!obj || index < 0 || index >= int(obj->Infos.size()) || !obj->Infos[size_t(index)] ||
                !obj->Infos[size_t(index)]->Link)
                continue;
            TcxCustomDataController* d = ctl->GetDetailDataControllerByLinkObject(obj->Infos[size_t(index)]->Link);
            if (!d) continue;
            if (level + 1 == path.size()) proc(d);
            else walk(d, level + 1);
        }
    };
    walk(GetRootDataController(), 0);
}

void TcxCustomDataController::UpdateRelations(TcxCustomDataRelation*)
{
    if (FDestroying) return;
    Change(dcfData);
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecord)
{
    if (!relation && !FMasterRelation && masterRecord == -1 && FMasterRecordIndex == -1) return;
    BeginUpdate();
    try {
        if (FMasterRelation && FMasterRelation->PatternController == this && (masterRecord == -1 || !relation))
            FMasterRelation->PatternController = nullptr;
        FMasterRelation = relation;
        if (relation && masterRecord == -1) {
            relation->PatternController = this;
            relation->Changed();
        }
        FMasterRecordIndex = masterRecord;
        StructureChanged(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::SetMasterMode(TcxCustomDataRelation* relation, bool isPattern)
{
    BeginUpdate();
    try {
        SetMasterRelation(relation, -1);
        SetIsPattern(isPattern);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TcxCustomDataController::GetPatternKind() const
{
    if (FMasterRelation) return FMasterRecordIndex == -1 ? 1 : 2;
    return FPatternMode ? 1 : 0;
}

void TcxCustomDataController::SetIsPattern(bool value)
{
    bool was = IsPattern();
    FPatternMode = value;
    if (IsPattern() != was && !IsDestroying()) RestructData();
}

TcxCustomDataController* TcxCustomDataController::GetRootDataController()
{
    TcxCustomDataController* c = this;
    while (c->GetMasterDataController()) c = c->GetMasterDataController();
    return c;
}

TcxCustomDataController* TcxCustomDataController::FindPatternByRelationItem(TObject* item)
{
    if (FRelations) {
        if (TcxCustomDataRelation* r = FRelations->FindRelation(item)) return r->PatternController;
        for (int i = 0; i < FRelations->Count(); ++i)
            if (TcxCustomDataController* d = FRelations->Items(i)->PatternController)
                if (TcxCustomDataController* p = d->FindPatternByRelationItem(item)) return p;
    }
    return nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetPatternDataController()
{
    if (!FMasterRelation) return this;
    TcxCustomDataController* p = GetRootDataController()->FindPatternByRelationItem(FMasterRelation->Item());
    return p ? p : this;
}

// ---- the save object ----------------------------------------------------------------------------------

void TcxSaveObject::SaveFrom(TcxCustomDataController* c)
{
    if (c->CreatingLink() || c->IsDestroying() || !c->IsKeyNavigation()) return;
    ExpandedKeys.SaveFrom(c);
    SelectionKeys.SaveFrom(c);
}

void TcxSaveObject::RestoreTo(TcxCustomDataController* c)
{
    if (c->CreatingLink()) return;
    if (c->IsKeyNavigation()) {
        ExpandedKeys.RestoreTo(c);
        SelectionKeys.RestoreTo(c);
    } else {
        c->Info()->TrimSelection();
        c->CheckBookmarkValid(-1);
    }
}

void TcxKeys::SaveFrom(TcxCustomDataController* c)
{
    Clear();
    FController = c;
    FKeyFields.clear();
    c->GetKeyFieldsForSave(FKeyFields);
    if (FKeyFields.empty()) return;
    SaveKeys();
    std::stable_sort(FKeys.begin(), FKeys.end(), [](const std::unique_ptr<TKey>& a, const std::unique_ptr<TKey>& b) {
        return cxVariants::VarCompare(a->Value, b->Value) < 0;
    });
}

void TcxKeys::RestoreTo(TcxCustomDataController* c)
{
    FController = c;
    FKeyFields.clear();
    c->GetKeyFieldsForSave(FKeyFields);
    if (!FKeys.empty() && !FKeyFields.empty()) {
        RestoreKeys();
        Clear();
    }
}

int TcxKeys::FindKey(int record)
{
    Variant v;
    FController->GetRecordValuesByFields(record, FKeyFields, v);
    for (size_t i = 0; i < FKeys.size(); ++i)
        if (FKeys[i] && cxVariants::VarEquals(FKeys[i]->Value, v)) return int(i);
    return -1;
}

void TcxDetailKeys::SaveKeys()
{
    TcxCustomDataController* c = FController;
    for (int r = 0; r < c->GetRecordCount(); ++r) {
        if (!c->GetDetailExpanding(r)) continue;
        auto key = std::make_unique<TKey>();
        c->GetRecordValuesByFields(r, FKeyFields, key->Value);
        key->Index = c->GetDetailActiveRelationIndex(r);
        key->Detail = std::make_unique<TcxSaveObject>();
        if (key->Index >= 0 && c->IsDetailLinkObjectExists(r, key->Index)) {
            TcxCustomDataController* d = c->GetDetailDataController(r, key->Index);
            if (d && d->ClassType() == c->ClassType()) key->Detail->SaveFrom(d);
        }
        FKeys.push_back(std::move(key));
    }
}

void TcxDetailKeys::RestoreKeys()
{
    TcxCustomDataController* c = FController;
    for (int r = 0; r < c->GetRecordCount(); ++r) {
        int k = FindKey(r);
        if (k < 0) continue;
        TKey* key = FKeys[size_t(k)].get();
        c->ChangeDetailExpanding(r, true);
        c->ChangeDetailActiveRelationIndex(r, key->Index);
        if (key->Detail && c->GetDetailExpanding(r) && c->GetDetailActiveRelationIndex(r) == key->Index &&
            c->IsDetailLinkObjectExists(r, key->Index)) {
            TcxCustomDataController* d = c->GetDetailDataController(r, key->Index);
            if (d && d->ClassType() == c->ClassType()) key->Detail->RestoreTo(d);
        }
    }
}

void TcxSelectedKeys::SaveKeys()
{
    TcxCustomDataController* c = FController;
    TcxDataSelection* sel = c->Info()->Selection();
    for (int i = 0; i < sel->Count(); ++i) {
        const TcxDataSelectionEntry& e = sel->Items(i);
        if (e.Level == -1 || e.Index >= c->GetRecordCount() || e.Index < 0) continue;
        auto key = std::make_unique<TKey>();
        c->GetRecordValuesByFields(e.Index, FKeyFields, key->Value);
        key->Index = i;
        FKeys.push_back(std::move(key));
    }
    c->Info()->SaveExpandingStates(3);
}

void TcxSelectedKeys::RestoreKeys()
{
    TcxCustomDataController* c = FController;
    TcxDataSelection* sel = c->Info()->Selection();
    if (sel->Count() == 0) return;
    std::vector<int> records(size_t(sel->Count()), -1);
    std::vector<bool> isData(size_t(sel->Count()), false);
    for (int i = 0; i < sel->Count(); ++i) isData[size_t(i)] = sel->Items(i).Level != -1;
    for (int r = 0; r < c->GetRecordCount(); ++r) {
        int k = FindKey(r);
        if (k < 0) continue;
        int pos = FKeys[size_t(k)]->Index;
        if (pos >= 0 && pos < sel->Count()) records[size_t(pos)] = r;
        FKeys[size_t(k)].reset();   // consumed
        FKeys.erase(FKeys.begin() + k);
    }
    for (int i = sel->Count() - 1; i >= 0; --i) {
        if (!isData[size_t(i)]) continue;
        if (records[size_t(i)] == -1) sel->DeleteEntry(i);
        else sel->Items(i).Index = records[size_t(i)];
    }
    c->Info()->MarkExpandingChanged();
}
