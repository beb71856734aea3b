#include "cxGridCustomTableView.h"

#include "cxControls.h"
#include "cxGrid.h"
#include "cxGridCommon.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
QZ_CLASS_IMPL(TcxGridItemDataBinding, TPersistent)
QZ_CLASS_IMPL(TcxGridDataController, TcxDataController)
QZ_CLASS_IMPL(TcxGridDataChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxCustomGridRecord, TObject)
QZ_CLASS_IMPL(TcxGridRecordHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridRecordCellHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridExpandButtonHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridNavigatorHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxCustomGridTableViewData, TcxCustomGridViewData)
QZ_CLASS_IMPL(TcxCustomGridTableItemCustomOptions, TPersistent)
QZ_CLASS_IMPL(TcxCustomGridTableItemOptions, TcxCustomGridTableItemCustomOptions)
QZ_CLASS_IMPL(TcxCustomGridTableItem, TComponent)
QZ_CLASS_IMPL(TcxCustomGridTableView, TcxCustomGridView)

namespace cxGridCustomTableView {
void Initialize() { RegisterClasses({TcxGridItemDataBinding::StaticClass()}); }
TcxEditRepositoryItem* GetDefaultEditDataRepositoryItem(TcxValueTypeClass) { return nullptr; }
}  // namespace cxGridCustomTableView

namespace {
// The wait cursor for the duration of a regrouping or resorting.
struct THourglass {
    THourglass() { cxControls::ShowHourglassCursor(); }
    ~THourglass() { cxControls::HideHourglassCursor(); }
};
}  // namespace

// ---- data binding -------------------------------------------------------------------------------------

bool TcxGridDefaultValuesProvider::HasDisplayFormat(bool)
{
    auto* binding = DynamicCast<TcxGridItemDataBinding>(Owner());
    if (!binding || !binding->DataController()) return false;
    TcxCustomGridTableItem* item = binding->Item();
    return binding->DataController()->GetItemTextStored(item->Index()) || bool(item->OnGetDisplayText);
}

TcxGridItemDataBinding::TcxGridItemDataBinding(TcxCustomGridTableItem* AItem) : FItem(AItem)
{
    FDefaultValuesProvider = std::make_unique<TcxGridDefaultValuesProvider>(this);
}

TcxGridItemDataBinding::~TcxGridItemDataBinding() = default;

TPersistent* TcxGridItemDataBinding::GetOwner() const { return FItem; }

void TcxGridItemDataBinding::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridItemDataBinding>(Source)) {
        Data = src->Data;
        if (DataController() && src->DataController()) SetValueTypeClass(src->ValueTypeClass());
        return;
    }
    TPersistent::Assign(Source);
}

TcxGridDataController* TcxGridItemDataBinding::DataController() const
{
    return FItem->GridView() ? FItem->GridView()->DataController() : nullptr;
}

TcxValueTypeClass TcxGridItemDataBinding::ValueTypeClass() const
{
    TcxGridDataController* dc = DataController();
    return dc ? dc->GetItemValueTypeClass(FItem->Index()) : nullptr;
}

void TcxGridItemDataBinding::SetValueTypeClass(TcxValueTypeClass AValue)
{
    if (TcxGridDataController* dc = DataController()) dc->ChangeValueTypeClass(FItem->Index(), AValue);
}

bool TcxGridItemDataBinding::Filtered() const
{
    TcxGridDataController* dc = DataController();
    return dc && dc->Filter()->FindItemByItemLink(FItem) != nullptr;
}

void TcxGridItemDataBinding::SetFiltered(bool AValue)
{
    if (AValue || !Filtered()) return;
    DataController()->Filter()->RemoveItemByItemLink(FItem);
}

// ---- data controller ------------------------------------------------------------------------------------

TcxCustomGridTableView* TcxGridDataController::GridView() const { return DynamicCast<TcxCustomGridTableView>(Owner()); }

TObject* TcxGridDataController::GetItem(int AIndex)
{
    TcxCustomGridTableView* view = GridView();
    return view && AIndex >= 0 && AIndex < view->ItemCount() ? view->GetItem(AIndex) : nullptr;
}

int TcxGridDataController::GetItemID(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->ID() : -1;
}

std::string TcxGridDataController::GetFilterItemDisplayText(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->Caption() : std::string();
}

TcxGridItemDataBindingClass TcxGridDataController::GetItemDataBindingClass()
{
    return TcxGridItemDataBindingClass::Of<TcxGridItemDataBinding>();
}

bool TcxGridDataController::IsFirstRecord()
{
    // Without a record controller yet: no row precedes the focused one.
    return GetFocusedRowIndex() <= 0;
}

bool TcxGridDataController::IsLastRecord() { return GetFocusedRowIndex() >= GetRowCount() - 1; }

// ---- changes ---------------------------------------------------------------------------------------------

void TcxGridDataChange::Execute()
{
    if (auto* view = DynamicCast<TcxCustomGridTableView>(GridView)) view->RecordCountChanged();
}

// ---- item options ------------------------------------------------------------------------------------------

TPersistent* TcxCustomGridTableItemCustomOptions::GetOwner() const { return FItem; }

void TcxCustomGridTableItemCustomOptions::Assign(TPersistent* Source)
{
    if (DynamicCast<TcxCustomGridTableItemCustomOptions>(Source)) return;
    TPersistent::Assign(Source);
}

void TcxCustomGridTableItemCustomOptions::Changed() { FItem->Changed(false); }

void TcxCustomGridTableItemOptions::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridTableItemOptions>(Source)) {
        SetEditing(src->Editing());
        SetFiltering(src->Filtering());
        SetFocusing(src->Focusing());
        FGrouping = src->Grouping();
        SetIncSearch(src->IncSearch());
        FMoving = src->Moving();
        SetShowEditButtons(src->ShowEditButtons());
        FSorting = src->Sorting();
        return;
    }
    TcxCustomGridTableItemCustomOptions::Assign(Source);
}

void TcxCustomGridTableItemOptions::SetFiltering(bool AValue)
{
    if (FFiltering == AValue) return;
    FFiltering = AValue;
    if (Item()->GridView()) Item()->GridView()->RefreshFilterableItemsList();
    Changed();
}

void TcxCustomGridTableItemOptions::SetShowEditButtons(TcxGridItemShowEditButtons AValue)
{
    if (FShowEditButtons == AValue) return;
    FShowEditButtons = AValue;
    Changed();
}

// ---- items ---------------------------------------------------------------------------------------------------

TcxCustomGridTableItem::TcxCustomGridTableItem(TComponent* AOwner) : TComponent(AOwner) {}

void TcxCustomGridTableItem::AfterConstruction()
{
    TComponent::AfterConstruction();
    FOptions.reset(GetOptionsClass().Create(this));
}

TcxCustomGridTableItem::~TcxCustomGridTableItem()
{
    if (!FTornDown) BeforeDestruction();
}

void TcxCustomGridTableItem::BeforeDestruction()
{
    if (FTornDown) return;
    FTornDown = true;
    TComponent::BeforeDestruction();
    SetRepositoryItem(nullptr);
    if (FGridView) FGridView->RemoveItem(this);
    if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
    FDefaultRepositoryItem = nullptr;
    FEffectiveProperties = nullptr;
    FProperties.reset();
}

// ---- the editor description

void TcxCustomGridTableItem::ResolveProperties()
{
    if (FDefaultRepositoryItem) {
        FDefaultRepositoryItem->RemoveListener(this);
        FDefaultRepositoryItem = nullptr;
    }
    FEffectiveProperties = nullptr;
    if (!FGridView) return;
    if (FRepositoryItem) {
        FEffectiveProperties = FRepositoryItem->Properties();
    } else if (FProperties) {
        FEffectiveProperties = FProperties.get();
    } else if (!FTornDown && FDataBinding) {
        TcxEditRepositoryItem* def =
            cxGridCustomTableView::GetDefaultEditDataRepositoryItem(FDataBinding->ValueTypeClass());
        if (def) {
            def->AddListener(this);
            FDefaultRepositoryItem = def;
            FEffectiveProperties = def->Properties();
        }
    }
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetProperties()
{
    if (FEffectiveProperties) InitProperties(FEffectiveProperties);
    return FEffectiveProperties;
}

void TcxCustomGridTableItem::InitProperties(TcxCustomEditProperties* AProperties)
{
    if (!AProperties || !FDataBinding) return;
    bool locked = AProperties->IsChangeLocked();
    AProperties->SetChangedLocked(true);
    AProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
    AProperties->SetChangedLocked(locked);
}

void TcxCustomGridTableItem::SetPropertiesClass(TClass AValue)
{
    if (AValue == FPropertiesClass) return;
    if (AValue && !AValue->InheritsFrom(TcxCustomEditProperties::StaticClass()))
        throw EConvertError("Invalid editor properties class");
    FEffectiveProperties = nullptr;
    FProperties.reset();
    FPropertiesClass = AValue;
    if (AValue) {
        auto* props = static_cast<TcxCustomEditProperties*>(AValue->Create(nullptr));
        props->SetOwnerEdit(this);
        props->OnPropertiesChanged = [this](TObject*) { PropertiesChanged(); };
        FProperties.reset(props);
    }
    ResolveProperties();
    PropertiesChanged();
}

std::string TcxCustomGridTableItem::PropertiesClassName() const
{
    return FProperties ? FProperties->ClassName() : std::string();
}

void TcxCustomGridTableItem::SetPropertiesClassName(const std::string& AValue)
{
    // A name no editor registered leaves the item without own properties.
    SetPropertiesClass(cxEdit::GetRegisteredEditProperties()->FindByClassName(AValue));
}

void TcxCustomGridTableItem::SetProperties(TcxCustomEditProperties* AValue)
{
    if (FProperties && AValue) FProperties->Assign(AValue);
}

void TcxCustomGridTableItem::SetRepositoryItem(TcxEditRepositoryItem* AValue)
{
    if (FRepositoryItem == AValue) return;
    if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
    FRepositoryItem = AValue;
    if (FRepositoryItem) FRepositoryItem->AddListener(this);
    ResolveProperties();
    PropertiesChanged();
}

void TcxCustomGridTableItem::ItemRemoved(TObject* Sender)
{
    if (Sender == FDefaultRepositoryItem) {
        FDefaultRepositoryItem = nullptr;
        FEffectiveProperties = nullptr;
        ResolveProperties();
    }
    if (Sender == FRepositoryItem) SetRepositoryItem(nullptr);
}

void TcxCustomGridTableItem::PropertiesChanged()
{
    if (FTornDown) return;
    if (FGridView) FGridView->RefreshFilterableItemsList();
    Changed(true);
}

void TcxCustomGridTableItem::ValueTypeClassChanged()
{
    ResolveProperties();
    if (FProperties) FProperties->Changed();
}

TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> TcxCustomGridTableItem::GetOptionsClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*>::Of<TcxCustomGridTableItemOptions>();
}

TComponent* TcxCustomGridTableItem::GetParentComponent() const { return FGridView; }

void TcxCustomGridTableItem::SetParentComponent(TComponent* AValue)
{
    if (auto* view = DynamicCast<TcxCustomGridTableView>(AValue)) view->AddItem(this);
}

bool TcxCustomGridTableItem::IsLoading() const
{
    if (LoadingOverride) return false;
    return cxControls::IsComponentLoading(const_cast<TcxCustomGridTableItem*>(this)) ||
           (FGridView && cxControls::IsComponentLoading(FGridView));
}

std::string TcxCustomGridTableItem::GetDefaultCaption() const
{
    return FDataBinding ? FDataBinding->GetDefaultCaption() : std::string();
}

int TcxCustomGridTableItem::GetDefaultWidth() const { return FDataBinding ? FDataBinding->GetDefaultWidth() : 64; }

std::string TcxCustomGridTableItem::Caption() const { return FCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TcxCustomGridTableItem::SetCaption(const std::string& AValue)
{
    if (AValue == Caption() && FCaptionAssigned) return;
    if (AValue == Caption() && !FCaptionAssigned) {
        // The default text itself is no assignment: nothing to store.
        return;
    }
    FCaption = AValue;
    FCaptionAssigned = true;
    CaptionChanged();
}

bool TcxCustomGridTableItem::IsCaptionStored() const { return FCaptionAssigned && FCaption != GetDefaultCaption(); }

void TcxCustomGridTableItem::SetVisible(bool AValue)
{
    if (FVisible == AValue) return;
    FVisible = AValue;
    if (FGridView) FGridView->ItemVisibilityChanged(this, AValue);
}

int TcxCustomGridTableItem::MinWidth() const
{
    return const_cast<TcxCustomGridTableItem*>(this)->CanHorzSize() ? FMinWidth : Width();
}

void TcxCustomGridTableItem::SetMinWidth(int AValue)
{
    if (AValue < 0) AValue = 0;
    if (FMinWidth == AValue) return;
    int oldWidth = Width();
    FMinWidth = AValue;
    if (IsLoading()) return;
    if (oldWidth < FMinWidth)
        SetWidth(FMinWidth);
}

int TcxCustomGridTableItem::Width() const { return FWidthAssigned ? FWidth : GetDefaultWidth(); }

void TcxCustomGridTableItem::SetWidth(int AValue)
{
    int minimum = const_cast<TcxCustomGridTableItem*>(this)->CanHorzSize() ? FMinWidth : 0;
    if (AValue < minimum) AValue = minimum;
    if (!IsLoading() && FWidthAssigned && AValue == FWidth) return;
    FWidth = AValue;
    FWidthAssigned = true;
    Changed(true);
}

void TcxCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment AValue)
{
    if (FHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz == AValue) return;
    FHeaderAlignmentHorz = AValue;
    FHeaderAlignmentHorzAssigned = true;
    Changed(false);
}

void TcxCustomGridTableItem::SetHeaderAlignmentVert(TcxAlignmentVert AValue)
{
    if (FHeaderAlignmentVertAssigned && FHeaderAlignmentVert == AValue) return;
    FHeaderAlignmentVert = AValue;
    FHeaderAlignmentVertAssigned = true;
    Changed(false);
}

int TcxCustomGridTableItem::GroupIndex() const
{
    if (!FGridView) return -1;
    return FGridView->DataController()->Groups()->GetItemGroupIndex(FIndex);
}

void TcxCustomGridTableItem::SetGroupIndex(int AValue)
{
    if (!FGridView || GroupIndex() == AValue) return;
    THourglass wait;
    if (GroupIndex() == -1) FWasVisibleBeforeGrouping = Visible();
    FGridView->DataController()->Groups()->ChangeGroupIndex(FIndex, AValue);
}

TcxDataSortOrder TcxCustomGridTableItem::SortOrder() const
{
    return FGridView ? FGridView->DataController()->GetItemSortOrder(FIndex) : soNone;
}

void TcxCustomGridTableItem::SetSortOrder(TcxDataSortOrder AValue)
{
    if (!FGridView || SortOrder() == AValue) return;
    THourglass wait;
    FGridView->DataController()->ChangeSorting(FIndex, AValue);
}

int TcxCustomGridTableItem::SortIndex() const
{
    return FGridView ? FGridView->DataController()->GetItemSortingIndex(FIndex) : -1;
}

void TcxCustomGridTableItem::SetSortIndex(int AValue)
{
    if (!FGridView || SortIndex() == AValue) return;
    THourglass wait;
    FGridView->DataController()->ChangeSortingIndex(FIndex, AValue);
}

void TcxCustomGridTableItem::SetIndex(int AValue)
{
    if (FGridView) FGridView->ChangeItemIndex(this, AValue);
}

bool TcxCustomGridTableItem::IsLast() const
{
    return FGridView && FVisibleIndex == FGridView->VisibleItemCount() - 1;
}

bool TcxCustomGridTableItem::CanFocus() { return GetActuallyVisible() && FOptions->Focusing(); }

bool TcxCustomGridTableItem::CanMove()
{
    if (IsFirst() && IsLast()) return false;
    return IsMovable();
}

bool TcxCustomGridTableItem::IsMovable() { return FOptions->Moving(); }

void TcxCustomGridTableItem::CaptionChanged()
{
    if (GetActuallyVisible() || GroupIndex() != -1) Changed(false);
}

void TcxCustomGridTableItem::Changed(bool ASize)
{
    if (!FGridView) return;
    if (ASize)
        FGridView->SizeChanged();
    else
        FGridView->LayoutChanged();
}

void TcxCustomGridTableItem::DataChanged()
{
    if (FDataBinding) FDataBinding->DataChanged();
}

void TcxCustomGridTableItem::SetGridView(TcxCustomGridTableView* AValue)
{
    FGridView = AValue;
    if (AValue)
        FDataBinding.reset(AValue->GetItemDataBindingClass().Create(this));
    else
        FDataBinding.reset();
    ResolveProperties();
}

void TcxCustomGridTableItem::DoGetDisplayText(TObject* ARecord, std::string& AText)
{
    if (OnGetDisplayText) OnGetDisplayText(this, ARecord, AText);
}

void TcxCustomGridTableItem::RestoreDefaults()
{
    FCaptionAssigned = false;
    FWidthAssigned = false;
    Changed(true);
}

std::string TcxCustomGridTableItem::GetStoredObjectName()
{
    if (FGridView && !FGridView->StoringName.empty()) return std::to_string(FID);
    return Name();
}

bool TcxCustomGridTableItem::GetStoredProperties(TStrings* AProperties)
{
    for (const char* name : {"AlignmentHorz", "Index", "Visible", "SortOrder", "SortIndex"}) AProperties->Add(name);
    return true;
}

Variant TcxCustomGridTableItem::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "AlignmentHorz") {
        TcxCustomEditProperties* p = GetProperties();
        return Variant(int(p ? p->Alignment()->Horz() : taLeftJustify));
    }
    if (AName == "Index") return Variant(FIndex);
    if (AName == "Visible") return Variant(Visible());
    if (AName == "SortOrder") return Variant(uint8_t(SortOrder()));
    if (AName == "SortIndex") return Variant(SortIndex());
    return Null();
}

void TcxCustomGridTableItem::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "AlignmentHorz") {
        TcxCustomEditProperties* p = GetProperties();
        auto horz = TAlignment(AValue.AsInteger());
        if (!p || p->Alignment()->Horz() == horz) return;
        // A default editor is shared: the item takes properties of its own first.
        if (!FRepositoryItem && !FProperties) {
            SetPropertiesClass(p->ClassType());
            FProperties->Assign(p);
            p = GetProperties();
        }
        p->Alignment()->SetHorz(horz);
    } else if (AName == "Index")
        SetIndex(AValue.AsInteger());
    else if (AName == "Visible")
        SetVisible(AValue.AsBoolean());
    else if (AName == "SortOrder")
        SetSortOrder(TcxDataSortOrder(AValue.AsInteger()));
    else if (AName == "SortIndex")
        SetSortIndex(AValue.AsInteger());
}

void TcxCustomGridTableItem::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableItem>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    if (FDataBinding && src->FDataBinding) FDataBinding->Assign(src->FDataBinding.get());
    FCaptionAssigned = src->FCaptionAssigned;
    FCaption = src->FCaption;
    SetGroupIndex(src->GroupIndex());
    FHeaderAlignmentHorz = src->FHeaderAlignmentHorz;
    FHeaderAlignmentHorzAssigned = src->FHeaderAlignmentHorzAssigned;
    FHeaderAlignmentVert = src->FHeaderAlignmentVert;
    FHeaderAlignmentVertAssigned = src->FHeaderAlignmentVertAssigned;
    SetMinWidth(src->FMinWidth);
    FOptions->Assign(src->FOptions.get());
    SetPropertiesClass(src->FPropertiesClass);
    SetProperties(src->Properties());
    SetRepositoryItem(src->FRepositoryItem);
    SetSortOrder(src->SortOrder());
    SetTag(src->Tag());
    SetVisible(src->Visible());
    FWidthAssigned = src->FWidthAssigned;
    if (FWidthAssigned) SetWidth(src->FWidth);
    OnGetDisplayText = src->OnGetDisplayText;
}

// ---- records -------------------------------------------------------------------------------------------------

void TcxCustomGridRecord::Collapse(bool) { throw EcxGridAbstractError("Abstract Error"); }
void TcxCustomGridRecord::Expand(bool) { throw EcxGridAbstractError("Abstract Error"); }

TcxCustomGridTableView* TcxCustomGridRecord::GridView() const { return FViewData->GridView(); }
TcxGridDataController* TcxCustomGridRecord::DataController() const { return FViewData->DataController(); }

bool TcxCustomGridRecord::HasValidRecordIndex() const
{
    return FRowInfo.RecordIndex >= 0 && FRowInfo.RecordIndex < DataController()->GetRecordCount();
}

bool TcxCustomGridRecord::IsLast() const { return FIndex == FViewData->RecordCount() - 1; }
bool TcxCustomGridRecord::IsNewItemRecord() const { return FViewData->NewItemRecord() == this; }
bool TcxCustomGridRecord::IsEditing() const { return FViewData->EditingRecord() == this; }

TcxCustomGridRecord* TcxCustomGridRecord::GetParentRecord()
{
    if (FRowInfo.Level == 0) {
        // A detail's top records hang below the master's record.
        TcxCustomGridView* master = GridView()->MasterGridView();
        auto* masterView = DynamicCast<TcxCustomGridTableView>(master);
        if (!masterView) return nullptr;
        return masterView->ViewData()->GetRecordByIndex(GridView()->MasterGridRecordIndex());
    }
    for (int i = FIndex - 1; i >= 0; --i) {
        TcxCustomGridRecord* r = FViewData->GetRecord(i);
        if (r->Level() < FRowInfo.Level) return r;
    }
    return nullptr;
}

bool TcxCustomGridRecord::GetSelected()
{
    if (IsNewItemRecord()) return DataController()->IsNewItemRowFocused();
    return DataController()->IsRowSelected(FIndex);
}

void TcxCustomGridRecord::SetSelected(bool AValue)
{
    if (IsNewItemRecord()) {
        if (AValue != GetSelected()) DataController()->SetNewItemRowFocused(AValue);
        return;
    }
    if (DataController()->MultiSelect()) DataController()->ChangeRowSelection(FIndex, AValue);
}

std::string TcxCustomGridRecord::GetDisplayText(int AItemIndex)
{
    std::string text = DataController()->GetRowDisplayText(FRowInfo, AItemIndex);
    GridView()->DoGetDisplayText(this, AItemIndex, text);
    return text;
}

int TcxCustomGridRecord::GetValueCount() { return DataController()->GetItemCount(); }

Variant TcxCustomGridRecord::GetValue(int AItemIndex) { return DataController()->GetRowValue(FRowInfo, AItemIndex); }

void TcxCustomGridRecord::RefreshRecordInfo()
{
    if (IsNewItemRecord()) {
        FRowInfo = TcxDataControllerRowInfo{};
        FRowInfo.Level = 0;
        FRowInfo.RecordIndex = DataController()->GetNewItemRecordIndex();
    } else {
        FRowInfo = DataController()->GetRowInfo(FIndex);
    }
}

void TcxCustomGridRecord::SetExpanded(bool AValue)
{
    if (GetExpanded() == AValue || !GetExpandable()) return;
    if (AValue)
        Expand(false);
    else
        Collapse(false);
}

TcxCustomGridTableViewData::~TcxCustomGridTableViewData()
{
    FNewItemRecord.reset();
    FRecords.clear();
}

TcxCustomGridRecordClass TcxCustomGridTableViewData::GetRecordClass(const TcxDataControllerRowInfo&) { return {}; }
TcxCustomGridRecordClass TcxCustomGridTableViewData::GetNewItemRecordClass() { return {}; }

TcxCustomGridTableView* TcxCustomGridTableViewData::GridView() const
{
    return static_cast<TcxCustomGridTableView*>(TcxCustomGridViewData::GridView());
}

TcxGridDataController* TcxCustomGridTableViewData::DataController() const { return GridView()->DataController(); }

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecord(int AIndex)
{
    auto& slot = FRecords[size_t(AIndex)];
    if (!slot) {
        TcxDataControllerRowInfo info = DataController()->GetRowInfo(AIndex);
        slot.reset(GetRecordClass(info).Create(this, AIndex, info));
    }
    return slot.get();
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecordByIndex(int AIndex)
{
    return IsRecordIndexValid(AIndex) ? GetRecord(AIndex) : nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecordByRecordIndex(int ARecordIndex)
{
    if (FNewItemRecord && ARecordIndex == DataController()->GetNewItemRecordIndex()) return FNewItemRecord.get();
    return GetRecordByIndex(DataController()->GetRowIndexByRecordIndex(ARecordIndex, false));
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetEditingRecord()
{
    TcxGridDataController* dc = DataController();
    return dc->IsEditing() ? GetRecordByRecordIndex(dc->GetEditingRecordIndex()) : nullptr;
}

void TcxCustomGridTableViewData::CheckNewItemRecord()
{
    if (!HasNewItemRecord()) {
        FNewItemRecord.reset();
        return;
    }
    if (FNewItemRecord) return;
    TcxDataControllerRowInfo info{};
    info.Level = 0;
    info.RecordIndex = DataController()->GetNewItemRecordIndex();
    FNewItemRecord.reset(GetNewItemRecordClass().Create(this, -1, info));
}

void TcxCustomGridTableViewData::RecreateNewItemRecord()
{
    if (!HasNewItemRecord()) return;
    FNewItemRecord.reset();
    CheckNewItemRecord();
}

void TcxCustomGridTableViewData::DestroyRecords()
{
    if (FEditingRecord && !FEditingRecord->IsNewItemRecord()) FEditingRecord = nullptr;
    for (auto& r : FRecords) r.reset();
}

void TcxCustomGridTableViewData::SetRecordCount(int ACount)
{
    RecreateNewItemRecord();
    DestroyRecords();
    FRecords.clear();
    FRecords.resize(size_t(std::max(ACount, 0)));
    UpdateEditingRecord();
    GridView()->SizeChanged(GridView()->IsPattern());
}

void TcxCustomGridTableViewData::ExpandAll(bool ARecursive)
{
    for (int i = 0; i < RecordCount(); ++i) {
        TcxCustomGridRecord* r = GetRecord(i);
        if (r->GetExpandable()) r->Expand(ARecursive);
    }
}

void TcxCustomGridTableViewData::CollapseAll(bool ARecursive)
{
    for (int i = RecordCount() - 1; i >= 0; --i) {
        if (!IsRecordIndexValid(i)) continue;
        TcxCustomGridRecord* r = GetRecord(i);
        if (r->GetExpandable()) r->Collapse(ARecursive);
    }
}

void TcxCustomGridTableViewData::RefreshRecords()
{
    if (FNewItemRecord) FNewItemRecord->RefreshRecordInfo();
    for (auto& r : FRecords)
        if (r && r->Index() < DataController()->GetRowCount()) r->RefreshRecordInfo();
    UpdateEditingRecord();
}

// ---- record hit tests -------------------------------------------------------------------------------------

TcxCustomGridRecord* TcxGridRecordHitTest::GridRecord() const
{
    if (!ViewData) return nullptr;
    if (IsNewItemRecord) return ViewData->NewItemRecord();
    return ViewData->GetRecordByIndex(RecordIndex);
}

void TcxGridRecordHitTest::SetGridRecord(TcxCustomGridRecord* ARecord)
{
    ViewData = ARecord ? ARecord->ViewData() : nullptr;
    RecordIndex = ARecord ? ARecord->Index() : -1;
    IsNewItemRecord = ARecord && ARecord->IsNewItemRecord();
}

// ---- the view's items --------------------------------------------------------------------------------------

TcxCustomGridTableView::~TcxCustomGridTableView() = default;

TcxGridClassRef<TcxCustomDataController, TComponent*> TcxCustomGridTableView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridDataController>();
}

TcxGridDataController* TcxCustomGridTableView::DataController() const
{
    return static_cast<TcxGridDataController*>(TcxCustomGridView::DataController());
}

void TcxCustomGridTableView::DestroyHandlers()
{
    ClearItems();
    TcxCustomGridView::DestroyHandlers();
}

TcxGridItemDataBindingClass TcxCustomGridTableView::GetItemDataBindingClass()
{
    return DataController()->GetItemDataBindingClass();
}

void TcxCustomGridTableView::RenumberItems()
{
    for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->SetIndexField(int(i));
}

void TcxCustomGridTableView::AddItem(TcxCustomGridTableItem* AItem)
{
    FItems.push_back(AItem);
    RenumberItems();
    AItem->SetID(FNextID++);
    DataController()->AddItem(AItem);
    AItem->SetGridView(this);
    AItem->SetVisible(true);
    RefreshFilterableItemsList();
}

void TcxCustomGridTableView::RemoveItem(TcxCustomGridTableItem* AItem)
{
    auto it = std::find(FItems.begin(), FItems.end(), AItem);
    if (it == FItems.end()) return;
    AItem->SetVisible(false);
    FItems.erase(std::find(FItems.begin(), FItems.end(), AItem));
    AItem->SetIndexField(-1);
    RenumberItems();
    AItem->SetGridView(nullptr);
    if (DataController()) DataController()->RemoveItem(AItem);
    // The last given identifier is given again; an earlier one leaves a gap.
    if (AItem->ID() == FNextID - 1) --FNextID;
    RefreshFilterableItemsList();
}

void TcxCustomGridTableView::ChangeItemIndex(TcxCustomGridTableItem* AItem, int AIndex)
{
    if (FItems.empty()) return;
    AIndex = std::clamp(AIndex, 0, ItemCount() - 1);
    if (AItem->Index() == AIndex) return;
    FItems.erase(FItems.begin() + AItem->Index());
    FItems.insert(FItems.begin() + AIndex, AItem);
    RenumberItems();
    if (AItem->Visible()) RefreshVisibleItemsList();
    DataController()->UpdateItemIndexes();
}

void TcxCustomGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible)
{
    RefreshVisibleItemsList();
    SizeChanged();
}

void TcxCustomGridTableView::RefreshVisibleItemsList()
{
    FVisibleItems.clear();
    for (TcxCustomGridTableItem* item : FItems) {
        if (item->GetActuallyVisible()) {
            item->SetVisibleIndexField(int(FVisibleItems.size()));
            FVisibleItems.push_back(item);
        } else {
            item->SetVisibleIndexField(-1);
        }
    }
}

void TcxCustomGridTableView::RefreshFilterableItemsList()
{
    FFilterableItems.clear();
    for (TcxCustomGridTableItem* item : FItems)
        if (item->IsFilterable()) FFilterableItems.push_back(item);
}

void TcxCustomGridTableView::ItemValueTypeClassChanged(int AItemIndex)
{
    if (AItemIndex >= 0 && AItemIndex < ItemCount()) GetItem(AItemIndex)->ValueTypeClassChanged();
}

TcxCustomGridTableItem* TcxCustomGridTableView::CreateItem()
{
    TClass cls = GetItemClass();
    if (!cls) throw EcxGridAbstractError("Abstract Error");
    auto* item = DynamicCast<TcxCustomGridTableItem>(cls->Create(Owner()));
    if (!item) throw EConvertError("Invalid grid item class");
    AddItem(item);
    return item;
}

void TcxCustomGridTableView::ClearItems()
{
    if (FItems.empty()) {
        FNextID = 0;
        return;
    }
    BeginUpdate();
    try {
        while (!FItems.empty()) FreeObject(FItems.back());
    } catch (...) {
        EndUpdate();
        throw;
    }
    FNextID = 0;
    EndUpdate();
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByID(int AID) const
{
    for (TcxCustomGridTableItem* item : FItems)
        if (item->ID() == AID) return item;
    return nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByName(const std::string& AName) const
{
    for (TcxCustomGridTableItem* item : FItems)
        if (item->Name() == AName) return item;
    return nullptr;
}

int TcxCustomGridTableView::IndexOfItem(TcxCustomGridTableItem* AItem) const
{
    auto it = std::find(FItems.begin(), FItems.end(), AItem);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TcxCustomGridTableView::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TcxCustomGridView::GetChildren(Proc, Root);
    for (TcxCustomGridTableItem* item : FItems)
        if (item->Owner() == Root) Proc(item);
}

void TcxCustomGridTableView::SetName(const std::string& ANewName)
{
    std::string oldName = Name();
    TcxCustomGridView::SetName(ANewName);
    if (Name() == oldName || oldName.empty()) return;
    std::vector<TComponent*> items(FItems.begin(), FItems.end());
    cxGridCommon::RenameComponents(this, Owner(), Name(), [&](int i) { return items[size_t(i)]; }, int(items.size()),
                                   oldName);
}

void TcxCustomGridTableView::DataControllerNotify(TcxUpdateControlInfo* AInfo)
{
    if (DynamicCast<TcxDataChangedInfo>(AInfo)) DataChanged();
}

void TcxCustomGridTableView::DataChanged()
{
    for (TcxCustomGridTableItem* item : std::vector<TcxCustomGridTableItem*>(FItems)) item->DataChanged();
    Changed(new TcxGridDataChange(this));
}

void TcxCustomGridTableView::RecordCountChanged()
{
    ViewInfoCache()->SetCount(DataController()->GetRowCount());
    ViewData()->SetRecordCount(DataController()->GetRowCount());
    if (Grid()) Grid()->NotifySubscribers(gnkRecordCountChanged, nullptr);
}

TcxGridViewHandlerClass<TcxCustomGridViewData> TcxCustomGridTableView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxCustomGridTableViewData>();
}

void TcxCustomGridTableView::DoGetDisplayText(TcxCustomGridRecord* ARecord, int AItemIndex, std::string& AText)
{
    if (AItemIndex >= 0 && AItemIndex < ItemCount()) GetItem(AItemIndex)->DoGetDisplayText(ARecord, AText);
}

void TcxCustomGridTableView::AssignLayout(TcxCustomGridView* ASource)
{
    auto* src = DynamicCast<TcxCustomGridTableView>(ASource);
    if (!src) {
        TcxCustomGridView::AssignLayout(ASource);
        return;
    }
    BeginUpdate();
    try {
        ClearItems();
        for (TcxCustomGridTableItem* srcItem : src->FItems) {
            TcxCustomGridTableItem* item = CreateItem();
            item->SetID(srcItem->ID());
            item->Assign(srcItem);
        }
        FNextID = src->FNextID;
        TcxCustomGridView::AssignLayout(ASource);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
