#include "cxLookupEdit.h"

#include "SysUtils.h"
#include "cxCustomData.h"
#include "cxRegExpr.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxCustomLookupEditProperties, TcxCustomComboBoxProperties)
QZ_CLASS_IMPL(TcxCustomLookupEditLookupData, TcxCustomTextEditLookupData)
QZ_CLASS_IMPL(TcxCustomLookupEdit, TcxCustomComboBox)

namespace {

bool SameTextNoCase(const std::string& A, const std::string& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

}  // namespace

// ---- the properties --------------------------------------------------------------------------------------

TcxCustomLookupEditProperties::TcxCustomLookupEditProperties(TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner)
{
    SetPopupHeight(0);
    SetPopupWidth(0);
    SetDropDownListStyle(lsEditFixedList);
    SetPopupAutoSize(false);
    SetPopupSizeable(false);
    SetIncrementalSelection(true);
}

TcxCustomLookupEditProperties::~TcxCustomLookupEditProperties() = default;

TClass TcxCustomLookupEditProperties::GetEditClass() const { return TcxCustomLookupEdit::StaticClass(); }

TClass TcxCustomLookupEditProperties::GetLookupDataClass() const
{
    return TcxCustomLookupEditLookupData::StaticClass();
}

void TcxCustomLookupEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomLookupEditProperties*>(Source);
    if (!s) {
        TcxCustomComboBoxProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomComboBoxProperties::Assign(Source);
        if (!IsDefinedByLookup()) SetListFieldIndex(s->GetListFieldIndex());
        SetIncrementalFiltering(s->IncrementalFiltering());
    });
}

void TcxCustomLookupEditProperties::SetIncrementalFiltering(bool Value)
{
    if (FIncrementalFiltering == Value) return;
    FIncrementalFiltering = Value;
    Changed();
}

uint16_t TcxCustomLookupEditProperties::GetSupportedOperations()
{
    uint16_t r = TcxCustomComboBoxProperties::GetSupportedOperations();
    // A list text that is not the value itself cannot be formatted as one.
    if (UsesDisplayFormatting(false) == 0) r |= 256;
    return r;
}

void TcxCustomLookupEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                        bool AEditFocused)
{
    if (KeyIsListText() || (IsLookupField() && !AEditFocused)) {
        TcxCustomComboBoxProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
        return;
    }
    DisplayValue = Variant(GetDisplayTextByKey(AEditValue));
}

bool TcxCustomLookupEditProperties::FindLookupText(const std::string& AText)
{
    int index = GetListIndex();
    return index != -1 && GetListDataController() && FindByText(index, AText, false) != -1;
}

bool TcxCustomLookupEditProperties::IsPopupKey(uint16_t AKey, TShiftState AShift)
{
    switch (AKey) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: return !AShift.Contains(ssAlt);
    case VK_HOME:
    case VK_END: return AShift.Contains(ssCtrl);
    default: return false;
    }
}

void TcxCustomLookupEditProperties::SubscribeDataChanged()
{
    if (TcxCustomDataController* c = GetListDataController())
        c->AddDataChangedListener(this, [this](TObject* Sender) { DataChanged(Sender); });
}

void TcxCustomLookupEditProperties::UnsubscribeDataChanged()
{
    if (TcxCustomDataController* c = GetListDataController()) c->RemoveDataChangedListener(this);
}

int TcxCustomLookupEditProperties::FindByText(int AListIndex, const std::string& AText, bool APartial)
{
    TcxCustomDataController* c = GetListDataController();
    if (!c || AListIndex < 0 || AListIndex >= c->GetItemCount()) return -1;
    // Every text begins with the empty one: the first record.
    if (AText.empty() && APartial) return c->GetFilteredRecordCount() > 0 ? c->GetFilteredRecordIndex(0) : -1;
    return c->FindRecordIndexByText(0, AListIndex, AText, APartial, false, true);
}

int TcxCustomLookupEditProperties::GetListIndex()
{
    int index = GetListFieldIndex();
    int count = GetListColumnCount();
    return index < count ? index : count - 1;
}

void TcxCustomLookupEditProperties::DataChanged(TObject*)
{
    if (FDataChanging || IsLocked() || IsLocating()) return;
    FDataChanging = true;
    try {
        Changed();
    } catch (...) {
        FDataChanging = false;
        throw;
    }
    FDataChanging = false;
}

bool TcxCustomLookupEditProperties::IsLocating()
{
    TcxCustomDataController* c = GetListDataController();
    return c && c->IsLocating();
}

void TcxCustomLookupEditProperties::BeginLocate()
{
    if (TcxCustomDataController* c = GetListDataController()) c->BeginLocate();
}

void TcxCustomLookupEditProperties::EndLocate()
{
    if (TcxCustomDataController* c = GetListDataController()) c->EndLocate();
}

void TcxCustomLookupEditProperties::SetListFieldIndex(int Value)
{
    int count = GetListColumnCount();
    if (Value >= count) Value = count - 1;
    if (Value < 0) Value = 0;
    if (Value == FListFieldIndex) return;
    FListFieldIndex = Value;
    Changed();
}

void TcxCustomLookupEditProperties::DetachList()
{
    if (TWinControl* g = GetLookupGrid()) g->SetParent(nullptr);
}

// ---- the lookup data -------------------------------------------------------------------------------------

TcxCustomLookupEditLookupData::~TcxCustomLookupEditLookupData() = default;

TcxCustomLookupEdit* TcxCustomLookupEditLookupData::Edit() const
{
    return LookupOwner() ? dynamic_cast<TcxCustomLookupEdit*>(LookupOwner()->LookupEdit()) : nullptr;
}

TcxCustomLookupEditProperties* TcxCustomLookupEditLookupData::Properties() const
{
    return LookupOwner() ? dynamic_cast<TcxCustomLookupEditProperties*>(LookupOwner()->LookupProperties()) : nullptr;
}

TcxCustomDataController* TcxCustomLookupEditLookupData::DataController() const
{
    TcxCustomLookupEditProperties* p = Properties();
    return p ? p->GetListDataController() : nullptr;
}

void TcxCustomLookupEditLookupData::Locked(const std::function<void()>& AAction)
{
    TcxCustomLookupEditProperties* p = Properties();
    if (!p) return;
    p->LockDataChanged();
    try {
        AAction();
    } catch (...) {
        p->UnlockDataChanged();
        throw;
    }
    p->UnlockDataChanged();
}

void TcxCustomLookupEditLookupData::SetCurrentKeyValue(const Variant& AKey)
{
    if (cxEdit::VarEqualsExact(FCurrentKey, AKey)) return;
    FCurrentKey = AKey;
    ++FKeyChanges;
    DoCurrentKeyChanged();
}

void TcxCustomLookupEditLookupData::DoCurrentKeyChanged()
{
    if (OnCurrentKeyChanged) OnCurrentKeyChanged(this);
}

void TcxCustomLookupEditLookupData::SetFocusedRowSelected(bool ASelected)
{
    if (TcxCustomDataController* c = DataController()) c->SetFocusedSelected(ASelected);
}

bool TcxCustomLookupEditLookupData::CanResizeList(TSize& ASize)
{
    TcxCustomLookupEditProperties* p = Properties();
    if (p && p->AdjustsListHeight()) ASize.cy = p->AdjustListHeight(ASize.cy);
    return true;
}

void TcxCustomLookupEditLookupData::SyncItemIndex()
{
    TcxCustomLookupEditProperties* p = Properties();
    if (!p) return;
    Locked([&] {
        ResetIncrementalFilter();
        ListVisible = false;
        p->SetListEvents(nullptr, nullptr, nullptr);
        p->ReleaseListMouse();
        p->ListClosed();
        // Only the locate the opening began: a close without an opening
        // must not end one it did not begin.
        if (FDropDownLocating) {
            FDropDownLocating = false;
            p->EndLocate();
        }
    });
}

void TcxCustomLookupEditLookupData::Deinitialize()
{
    if (TcxCustomLookupEditProperties* p = Properties()) p->DetachList();
}

void TcxCustomLookupEditLookupData::DropDown()
{
    TcxCustomLookupEditProperties* p = Properties();
    if (!p) return;
    Locked([&] {
        // Left open until the popup closes (SyncItemIndex); an opening
        // again before that does not begin a second one.
        if (!FDropDownLocating) {
            FDropDownLocating = true;
            p->BeginLocate();
        }
        p->ListOpening();
        p->SetListEvents([this](TObject* s, bool a) { ListCloseUp(s, a); },
                         [this](TObject* s) { ListFocusedRowChanged(s); }, [this](TObject* s) { ListClick(s); });
        if (TcxCustomLookupEdit* e = Edit())
            p->InitListAppearance(e->Style()->LookAndFeel(), e->Style()->GetEffectiveColor(), e->Style()->Font());
        p->LockListMouseMove();
        ListVisible = true;
        SyncAndShowFocusedRecord();
        UpdateFocusedRecordByText();
    });
}

void TcxCustomLookupEditLookupData::PopupShown(const std::string& AText)
{
    if (TcxCustomLookupEditProperties* p = Properties()) p->ListPopupShown(AText);
}

bool TcxCustomLookupEditLookupData::ContainsText(const std::string& AText)
{
    TcxCustomLookupEditProperties* p = Properties();
    return p && p->FindLookupText(AText);
}

std::string TcxCustomLookupEditLookupData::GetDisplayText(const Variant& AKey)
{
    TcxCustomLookupEditProperties* p = Properties();
    return p ? p->GetDisplayTextByKey(AKey) : std::string();
}

TSize TcxCustomLookupEditLookupData::GetListPreferredSize(int, int)
{
    TcxCustomLookupEditProperties* p = Properties();
    if (!p) return TSize{0, 0};
    int rows = p->DropDownRows();
    if (TcxCustomDataController* c = DataController()) rows = std::min(rows, c->GetRowCount());
    return TSize{p->GetListPreferredWidth(), p->GetListHeight(std::max(rows, 1))};
}

void TcxCustomLookupEditLookupData::Go(TcxLookupDirection ADirection, bool ACycle)
{
    TcxCustomLookupEditProperties* p = Properties();
    TcxCustomDataController* c = DataController();
    if (!p || !c || c->GetRecordCount() == 0) return;
    Locked([&] {
        p->BeginLocate();
        try {
            ResetIncrementalFilter();
            UpdateDropDownHeight();
            switch (ADirection) {
            case ldFirst: c->GotoFirst(); break;
            case ldLast: c->GotoLast(); break;
            default:
                SyncAndShowFocusedRecord();
                if (ADirection == ldNext || ADirection == ldPageDown) {
                    if (ACycle && c->IsEOF()) c->GotoFirst();
                    else if (ADirection == ldNext) c->GotoNext();
                    else c->MoveBy(p->DropDownRows());
                } else {
                    if (ACycle && c->IsBOF()) c->GotoLast();
                    else if (ADirection == ldPrevious) c->GotoPrev();
                    else c->MoveBy(-p->DropDownRows());
                }
            }
            int record = c->GetFocusedRecordIndex();
            SetCurrentKeyByRecord(record);
            if (record != -1) SetFocusedRowSelected(true);
            DoSelectItem();
        } catch (...) {
            p->EndLocate();
            throw;
        }
        p->EndLocate();
    });
}

void TcxCustomLookupEditLookupData::InitializeList(TWinControl* AParent)
{
    if (TWinControl* l = GetListControl()) l->SetParent(AParent);
}

bool TcxCustomLookupEditLookupData::IsEmpty()
{
    TcxCustomLookupEditProperties* p = Properties();
    TcxCustomDataController* c = DataController();
    return !(p && p->GetListIndex() != -1 && c && c->GetRecordCount() > 0);
}

TWinControl* TcxCustomLookupEditLookupData::GetListControl()
{
    TcxCustomLookupEditProperties* p = Properties();
    return p ? p->GetListControl() : nullptr;
}

bool TcxCustomLookupEditLookupData::IsMouseOverListControl(const TPoint& P)
{
    TcxCustomLookupEditProperties* p = Properties();
    TWinControl* g = p ? p->GetLookupGrid() : nullptr;
    return g && p->IsPointOverList(g->ScreenToClient(P));
}

bool TcxCustomLookupEditLookupData::Locate(std::string& AText, std::string& ATail, bool)
{
    bool found = false;
    Locked([&] {
        TcxCustomLookupEditProperties* p = Properties();
        TcxCustomDataController* c = DataController();
        int index = p->GetListIndex();
        if (index == -1 || !c) return;
        int record;
        if (ListVisible && p->GetIncrementalFiltering()) {
            if (!AText.empty()) {
                std::string old = c->GetIncrementalFilterText();
                record = c->ChangeIncrementalFilterText(index, AText);
                // Nothing passes the new filter: the list keeps showing what
                // it showed (a free-text list shows its empty filter).
                if (record == -1 && p->DropDownListStyle() != lsEditList) {
                    if (old.empty()) c->ResetIncrementalFilter();
                    else c->ChangeIncrementalFilterText(index, old);
                }
            } else {
                ResetIncrementalFilter();
                record = p->FindByText(index, AText, true);
            }
            UpdateDropDownHeight();
        } else {
            record = p->FindByText(index, AText, true);
        }
        if (record == -1) {
            SetFocusedRowSelected(false);
            return;
        }
        c->ChangeFocusedRecordIndex(record);
        SetCurrentKeyByRecord(record);
        // The typed part takes the letter case of the list's text.
        std::u32string text = cxRegExpr::ToU32(c->GetDisplayText(record, index));
        size_t typed = std::min(cxRegExpr::ToU32(AText).size(), text.size());
        AText = cxRegExpr::ToUtf8(text.substr(0, typed));
        ATail = cxRegExpr::ToUtf8(text.substr(typed));
        SetFocusedRowSelected(true);
        found = true;
    });
    return found;
}

void TcxCustomLookupEditLookupData::PositionList(const TRect& ARect)
{
    TcxCustomLookupEditProperties* p = Properties();
    TWinControl* g = p ? p->GetLookupGrid() : nullptr;
    if (!g) return;
    g->SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
    g->HandleNeeded();
    p->MakeFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::SelectItem()
{
    if (!IsFocusedRowSelected()) return;
    SetCurrentKeyByRecord(DataController()->GetFocusedRecordIndex());
    DoSelectItem();
}

void TcxCustomLookupEditLookupData::SelectItemByKey(const Variant& AKey)
{
    SetCurrentKeyValue(AKey);
    SyncAndShowFocusedRecord();
}

void TcxCustomLookupEditLookupData::TextChanged()
{
    Locked([&] { UpdateFocusedRecordByText(); });
}

void TcxCustomLookupEditLookupData::SetCurrentKeyByRecord(int ARecordIndex)
{
    SetCurrentKeyValue(Variant(ARecordIndex));
}

void TcxCustomLookupEditLookupData::SyncFocusedRecord()
{
    TcxCustomDataController* c = DataController();
    if (!c) return;
    int record = -1;
    if (VarIsNumeric(FCurrentKey)) record = int(FCurrentKey.AsDouble());
    if (record >= c->GetRecordCount()) record = -1;
    c->ChangeFocusedRecordIndex(record);
}

void TcxCustomLookupEditLookupData::ListCloseUp(TObject*, bool AAccept)
{
    if (TcxCustomLookupEdit* e = Edit()) e->CloseUp(AAccept);
}

bool TcxCustomLookupEditLookupData::IsFocusedRowSelected()
{
    TcxCustomDataController* c = DataController();
    return c && c->GetSelectedCount() == 1 && c->GetSelectedRowIndex(0) == c->GetFocusedRowIndex();
}

bool TcxCustomLookupEditLookupData::LocateText(const std::string& AText)
{
    TcxCustomLookupEditProperties* p = Properties();
    TcxCustomDataController* c = DataController();
    int index = p ? p->GetListIndex() : -1;
    int record = index != -1 && c ? p->FindByText(index, AText, false) : -1;
    if (record == -1) {
        SetFocusedRowSelected(false);
        return false;
    }
    c->ChangeFocusedRecordIndex(record);
    SetCurrentKeyByRecord(record);
    SetFocusedRowSelected(true);
    return true;
}

void TcxCustomLookupEditLookupData::ResetIncrementalFilter()
{
    if (TcxCustomDataController* c = DataController()) c->ResetIncrementalFilter();
}

void TcxCustomLookupEditLookupData::SyncAndShowFocusedRecord()
{
    SyncFocusedRecord();
    if (TcxCustomLookupEditProperties* p = Properties()) p->MakeFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::UpdateFocusedRecordByText()
{
    TcxCustomLookupEditProperties* p = Properties();
    if (!p || p->DataChanging()) return;
    TcxCustomDataController* c = DataController();
    std::string text = LookupOwner() ? LookupOwner()->LookupText() : std::string();
    if (ListVisible && p->GetIncrementalFiltering() && c && c->CheckIncrementalFilterText(text))
        UpdateDropDownHeight();
    bool matched = false;
    int index = p->GetListIndex();
    if (c && index != -1) {
        int record = c->GetFocusedRecordIndex();
        matched = record != -1 && SameTextNoCase(c->GetDisplayText(record, index), text);
        if (!matched || !ListVisible) {
            record = p->FindByText(index, text, false);
            matched = record != -1;
            if (matched) {
                c->ChangeFocusedRecordIndex(record);
                SetCurrentKeyByRecord(record);
            }
        }
    }
    SetFocusedRowSelected(matched);
}

void TcxCustomLookupEditLookupData::UpdateDropDownHeight()
{
    TcxCustomLookupEditProperties* p = Properties();
    TcxCustomLookupEdit* e = Edit();
    TcxCustomDataController* c = DataController();
    if (!p || !e || !c || !ListVisible || !e->HasPopupWindow()) return;
    int rows = std::max(std::min(c->GetRowCount(), p->DropDownRows()), 1);
    TWinControl* g = p->GetLookupGrid();
    if (!g || p->GetListHeight(rows) == g->ClientHeight()) return;
    if (!e->PopupSizedByUser()) cxDropDownEdit::ResetPopupHeight(e);
    e->UpdateDropDownWindow();
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomLookupEdit::TcxCustomLookupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace)
{
    InitializeEdit();
    SetWidth(145);
    PropertiesChanged(ActiveProperties());
}

TcxCustomLookupEditLookupData* TcxCustomLookupEdit::ILookupData()
{
    return HasLookupProperties() ? dynamic_cast<TcxCustomLookupEditLookupData*>(LookupData()) : nullptr;
}

Variant TcxCustomLookupEdit::DisplayValueToEditValue(const std::string& AText)
{
    TcxCustomLookupEditLookupData* d = ILookupData();
    if (!d) return TcxCustomComboBox::DisplayValueToEditValue(AText);
    TcxCustomLookupEditProperties* p = Properties();
    if (p->KeyIsListText()) return Variant(AText);
    Variant key = d->GetCurrentKey();
    if (d->GetDisplayText(key) == AText) return key;
    if (d->LocateText(AText)) return d->GetCurrentKey();
    return p->GetNullKey();
}

void TcxCustomLookupEdit::SynchronizeDisplayValue()
{
    TcxCustomComboBox::SynchronizeDisplayValue();
    TcxCustomLookupEditLookupData* d = ILookupData();
    if (!d) return;
    if (HasPopupWindow()) d->SelectItemByKey(GetEditValue());
    else d->ChangeCurrentKey(GetEditValue());
    if (!Properties()->KeyIsListText()) SetInnerDisplayValue(Variant(d->GetDisplayText(GetEditValue())));
}

void TcxCustomLookupEdit::PropertiesChanged(TObject* Sender)
{
    // While a descendant's constructor replaces the properties, the old
    // ones (of a base class) may still report.
    if (HasLookupProperties() && !(Focused() && ModifiedAfterEnter())) SynchronizeDisplayValue();
    TcxCustomComboBox::PropertiesChanged(Sender);
}

void TcxCustomLookupEdit::DropDown()
{
    TcxCustomComboBox::DropDown();
    if (TcxCustomLookupEditLookupData* d = ILookupData()) d->SelectItemByKey(GetEditValue());
}

void TcxCustomLookupEdit::BeforeRepositoryItemChange()
{
    if (HasLookupProperties()) Properties()->DetachList();
    TcxCustomComboBox::BeforeRepositoryItemChange();
}
