// Data sources, data links and field data links.
#include "DB.h"
#include "SysUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(TDataSource, TComponent)
QZ_CLASS_IMPL(TDataLink, TPersistent)
QZ_CLASS_IMPL(TFieldDataLink, TDataLink)

// ---- TDataSource -----------------------------------------------------------------------

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource()
{
    Destroying();
    // Links are told first (as the set is still there), then the set forgets us.
    std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* l : links) {
        l->FDataSource = nullptr;
        FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), l), FDataLinks.end());
        l->UpdateState();
    }
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* ds)
{
    if (ds == FDataSet) return;
    if (FDataSet) {
        FDataSet->RemoveFreeNotification(this);
        FDataSet->RemoveDataSource(this);
        FDataSet = nullptr;
        // Links hear that the old set is gone before the new one comes, so
        // that moving between two open sets is not a silent change of rows.
        UpdateState();
    }
    if (ds) {
        FDataSet = ds;
        ds->FreeNotification(this);
        ds->AddDataSource(this);
    }
    UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) SetDataSet(nullptr);
}

void TDataSource::SetEnabled(bool v)
{
    FEnabled = v;
    UpdateState();
}

void TDataSource::Edit()
{
    if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ds) const
{
    // Whether ds is reached by following master links back from this
    // source's set; there are no master links here, so only the set itself.
    return ds && ds == FDataSet;
}

void TDataSource::UpdateState()
{
    if (FEnabled && FDataSet) SetState(FDataSet->State());
    else SetState(dsInactive);
}

void TDataSource::SetState(TDataSetState s)
{
    if (FState == s) return;
    TDataSetState prior = FState;
    FState = s;
    NotifyDataLinks(deUpdateState, 0);
    if (!ComponentState().Contains(csDestroying)) {
        if (OnStateChange) OnStateChange(this);
        if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
    }
}

void TDataSource::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (event == deDisabledStateChange) {
        NotifyDataLinks(event, info);
        return;
    }
    if (FState == dsInactive) return;
    NotifyDataLinks(event, info);
    switch (event) {
    case deFieldChange:
        if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(info));
        break;
    case deRecordChange: case deDataSetChange: case deDataSetScroll: case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::NotifyLinkTypes(TDataEvent event, intptr_t info, bool linkType)
{
    // A link may leave the list while it is told; walk a copy and skip the gone.
    std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* l : links) {
        if (std::find(FDataLinks.begin(), FDataLinks.end(), l) == FDataLinks.end()) continue;
        if (l->VisualControl() == linkType) l->DataEvent(event, info);
        // A focus request ends with the first control that takes it.
        if (event == deFocusControl && info && *reinterpret_cast<TField**>(info) == nullptr) return;
    }
}

void TDataSource::NotifyDataLinks(TDataEvent event, intptr_t info)
{
    // Links that are not controls (details, reports) hear first.
    NotifyLinkTypes(event, info, false);
    if (event == deFocusControl && info && *reinterpret_cast<TField**>(info) == nullptr) return;
    NotifyLinkTypes(event, info, true);
}

void TDataSource::AddDataLink(TDataLink* link)
{
    FDataLinks.push_back(link);
    link->FDataSource = this;
    if (FDataSet) FDataSet->UpdateBufferCount();
    link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* link)
{
    link->FDataSource = nullptr;
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), link), FDataLinks.end());
    link->UpdateState();
    if (FDataSet) FDataSet->UpdateBufferCount();
}

// ---- TDataLink ----------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink()
{
    FActive = false;
    FEditing = false;
    FDataSourceFixed = false;
    if (FDataSource) {
        TDataSource* ds = FDataSource;
        FDataSource = nullptr;
        // Leave quietly: no notices to a half-destroyed link.
        auto& links = ds->FDataLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
        if (ds->DataSet()) ds->DataSet()->UpdateBufferCount();
    }
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* ds)
{
    if (ds == FDataSource) return;
    if (FDataSourceFixed) DatabaseError(DBConsts::SDataSourceChange, FDataSource);
    if (FDataSource) FDataSource->RemoveDataLink(this);
    if (ds) ds->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool v)
{
    if (FReadOnly == v) return;
    FReadOnly = v;
    UpdateState();
}

void TDataLink::UpdateState()
{
    SetActive(FDataSource && FDataSource->State() != dsInactive);
    SetEditing(FDataSource && IsEditState(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool v)
{
    if (FActive == v) return;
    FActive = v;
    if (v) UpdateRange();
    else FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool v)
{
    if (FEditing == v) return;
    FEditing = v;
    EditingChanged();
}

void TDataLink::UpdateRange()
{
    TDataSet* ds = DataSet();
    if (!ds) return;
    int minFirst = ds->ActiveRecord() - FBufferCount + 1;
    if (minFirst < 0) minFirst = 0;
    int maxFirst = ds->BufferCount() - FBufferCount;
    if (maxFirst > ds->ActiveRecord()) maxFirst = ds->ActiveRecord();
    if (maxFirst < 0) maxFirst = 0;
    if (FFirstRecord < minFirst) FFirstRecord = minFirst;
    if (FFirstRecord > maxFirst) FFirstRecord = maxFirst;
}

int TDataLink::ActiveRecord() const
{
    TDataSet* ds = DataSet();
    if (!ds || !FActive || FDataSource->State() == dsSetKey) return 0;
    return ds->ActiveRecord() - FFirstRecord;
}

void TDataLink::SetActiveRecord(int v)
{
    TDataSet* ds = DataSet();
    if (!ds || FDataSource->State() == dsSetKey) return;
    ds->SetActiveRecord(v + FFirstRecord);
}

void TDataLink::SetBufferCount(int v)
{
    if (v < 1) v = 1;
    if (FBufferCount == v) return;
    FBufferCount = v;
    if (FActive) {
        UpdateRange();
        if (TDataSet* ds = DataSet()) ds->UpdateBufferCount();
        UpdateRange();
    }
}

int TDataLink::RecordCount() const
{
    TDataSet* ds = DataSet();
    if (!ds || !FActive) return 0;
    if (FDataSource->State() == dsSetKey) return 1;
    int n = ds->BufferRecordCount() - FFirstRecord;
    if (n > FBufferCount) n = FBufferCount;
    return n < 0 ? 0 : n;
}

bool TDataLink::Bof() const
{
    TDataSet* ds = DataSet();
    return !ds || ds->Bof();
}

bool TDataLink::Eof() const
{
    TDataSet* ds = DataSet();
    return !ds || ds->Eof();
}

bool TDataLink::Edit()
{
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord()
{
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (event) {
    case deFieldChange: case deRecordChange:
        if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange: case deDataSetScroll: case deLayoutChange: {
        int distance = 0;
        if (FDataSource->State() != dsSetKey) {
            int old = FFirstRecord;
            if (event == deDataSetScroll) FFirstRecord -= int(info);
            UpdateRange();
            if (event == deDataSetScroll) distance = int(info) + FFirstRecord - old;
        }
        if (event == deDataSetChange) DataSetChanged();
        else if (event == deDataSetScroll) DataSetScrolled(distance);
        else LayoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        if (FVisualControl && info) FocusControl(*reinterpret_cast<TField**>(info));
        break;
    default:
        break;
    }
}

// ---- TFieldDataLink ----------------------------------------------------------------------

TField* GetFieldProperty(TDataSet* dataSet, TComponent* control, const std::string& fieldName)
{
    TField* f = dataSet ? dataSet->FindField(fieldName) : nullptr;
    if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {fieldName}, control);
    return f;
}

void TFieldDataLink::SetFieldName(const std::string& v)
{
    if (v == FFieldName) return;
    FFieldName = v;
    UpdateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit()
{
    if (CanModify()) TDataLink::Edit();
    return FFieldEditing;
}

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::SetEditingFlag(bool v)
{
    if (FFieldEditing == v) return;
    FFieldEditing = v;
    FModified = false;
    if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::SetField(TField* f)
{
    if (FField == f) return;
    FField = f;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField()
{
    if (Active() && !FFieldName.empty()) {
        FField = nullptr;
        if (FControl) SetField(GetFieldProperty(DataSet(), FControl, FFieldName));
        else SetField(DataSet()->FieldByName(FFieldName));
    } else {
        SetField(nullptr);
    }
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { SetEditingFlag(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TField*& field)
{
    if (field && field == FField && OnFocusControl && OnFocusControl()) field = nullptr;
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field)
{
    if (!field || field == FField) {
        if (OnDataChange) OnDataChange(this);
        FModified = false;
    }
}

void TFieldDataLink::UpdateData()
{
    if (FModified) {
        if (FField && OnUpdateData) OnUpdateData(this);
        FModified = false;
    }
}
