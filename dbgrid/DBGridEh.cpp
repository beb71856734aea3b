#include "DBGridEh.h"
#include "StdCtrls.h"
#include "DBGridEhInplaceEdit.h"
#include "DBGridEhFilter.h"
#include "DBGridEhRes.h"
#include "DBSumLst.h"

#include "DateUtils.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(TGridDataLinkEh, TDataLink)
QZ_CLASS_IMPL(TCustomDBGridEh, TCustomGrid)
QZ_CLASS_IMPL(TDBGridEh, TCustomDBGridEh)

TColor DBGridEh::BrightenColor(TColor c, int amount)
{
    TColorRef rgb = ColorToRGB(c);
    auto up = [amount](int v) { return std::min(255, v + (amount > 0 ? v / amount : 0)); };
    int r = up(GetRValue(rgb)), g = up(GetGValue(rgb)), b = up(GetBValue(rgb));
    return TColor(RGB(r, g, b));
}

namespace {

// Whether a ';'-separated list holds the text.
bool ListHasValue(const std::string& list, const std::string& text)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (Trim(list.substr(start, end - start)) == text) return true;
        start = end + 1;
    }
    return false;
}

bool IsIntegerType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}

} // namespace

// ---- cell values of a column --------------------------------------------------------------------

TCellKindEh TColumnEh::CellKind() const
{
    if (Checkboxes()) return ckCheckboxes;
    TField* f = Field();
    if (f && f->FieldKind() == fkLookup) return ckLookup;
    if (HasPickList() && !HasKeyList()) return ckPickList;
    if (ImageList() && !ShowImageAndText()) return ckKeyImageList;
    if (HasPickList() && HasKeyList()) return ckKeyList;
    return ckPlain;
}

std::string TColumnEh::FormatFieldText() const
{
    TField* f = Field();
    if (!f) return {};
    if (FDisplayFormat.empty()) return f->DisplayText();
    if (f->IsNull()) return {};
    if (f->InheritsFrom(TNumericField::StaticClass())) return FormatFloat(FDisplayFormat, f->AsFloat());
    if (f->InheritsFrom(TDateTimeField::StaticClass())) return FormatDateTime(FDisplayFormat, f->AsDateTime());
    if (auto* a = DynamicCast<TAggregateField>(f)) {
        if (a->ResultType() == ftFloat || a->ResultType() == ftCurrency)
            return FormatFloat(FDisplayFormat, f->AsFloat());
        if (a->ResultType() == ftDate || a->ResultType() == ftTime || a->ResultType() == ftDateTime)
            return FormatDateTime(FDisplayFormat, f->AsDateTime());
    }
    return {};
}

std::string TColumnEh::CellDisplayText() const
{
    TField* f = Field();
    if (!f || CellKind() == ckKeyImageList) return {};
    if (HasKeyList()) {
        int i = KeyList()->IndexOf(f->Text());
        TStrings* pick = PickList();
        if (i >= 0 && i < pick->Count()) return pick->Strings(i);
        if (FNotInKeyListIndex >= 0 && FNotInKeyListIndex < pick->Count()) return pick->Strings(FNotInKeyListIndex);
        return {};
    }
    TCustomDBGridEh* g = Grid();
    if (g && g->DrawMemoText() && f->DataType() == ftMemo) return f->AsString();
    return FormatFieldText();
}

QZ_CLASS_IMPL(TColCellParamsEh, TObject)

TCheckBoxState TColumnEh::CellCheckState() const
{
    TField* f = Field();
    if (!f) return cbUnchecked;
    if (f->IsNull()) return cbGrayed;
    if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
    std::string t = f->Text();
    TStrings* keys = FKeyList.get();
    int n = keys ? keys->Count() : 0;
    if (n > 0 && ListHasValue(keys->Strings(0), t)) return cbChecked;
    if (n < 2) return cbGrayed;
    return ListHasValue(keys->Strings(1), t) ? cbUnchecked : cbGrayed;
}

int TColumnEh::CellImageIndex() const
{
    TField* f = Field();
    if (!f) return -1;
    int i = -1;
    if (FKeyList && FKeyList->Count() > 0) {
        i = FKeyList->IndexOf(f->Text());
    } else if (FPickList && FPickList->Count() > 0) {
        i = FPickList->IndexOf(f->Text());
    } else {
        switch (f->DataType()) {
        case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
            i = f->IsNull() ? -1 : f->AsInteger();
            break;
        default: break;
        }
    }
    return i == -1 ? FNotInKeyListIndex : i;
}

void TColumnEh::FillCellParams(TColCellParamsEh* params) const
{
    params->Row = -1;
    params->Col = -1;
    params->State = TGridDrawState();
    params->Font = Font();
    params->Background = Color();
    params->Alignment = Alignment();
    params->ImageIndex = CellImageIndex();
    params->Text = CellDisplayText();
    params->CheckboxState = CellCheckState();
    params->ReadOnly = ReadOnly();
}

void TColumnEh::DoGetCellParams(bool editMode, TColCellParamsEh* params)
{
    if (OnGetCellParams) OnGetCellParams(this, editMode, params);
}

void TColumnEh::SetCellCheckState(TCheckBoxState v)
{
    TField* f = Field();
    if (!f) return;
    if (!CanModify(true)) return;
    if (v == cbGrayed) {
        WriteCellValue("", Null(), false);
    } else if (f->DataType() == ftBoolean) {
        WriteCellValue("", v == cbChecked, false);
    } else {
        TStrings* keys = FKeyList.get();
        int n = keys ? keys->Count() : 0;
        std::string item;
        if (v == cbChecked && n > 0) item = keys->Strings(0);
        if (v == cbUnchecked && n > 1) item = keys->Strings(1);
        item = Trim(item.substr(0, item.find(';')));
        WriteCellValue(item, item, true);
    }
}

void TColumnEh::WriteCellValue(std::string text, Variant value, bool useText)
{
    TCustomDBGridEh* g = Grid();
    if (!g) return;
    if (OnUpdateData) {
        bool handled = false;
        OnUpdateData(this, text, value, useText, handled);
        if (handled) return;
    }
    TField* f = Field();
    if (!f) return;
    if (useText) {
        if (g->DrawMemoText() && f->DataType() == ftMemo) f->SetAsString(text);
        else f->SetText(text);
    } else if (f->FieldKind() == fkLookup && !f->KeyFields().empty() && f->DataSet()) {
        f->DataSet()->SetFieldValues(f->KeyFields(), value);
    } else {
        f->SetAsVariant(value);
    }
    TInplaceEdit* editor = g->InplaceEditor();
    if (FMRUList->AutoAdd() && FMRUList->Active() && editor && editor->Visible() && editor->Showing())
        FMRUList->AddItem(text);
}

void TColumnEh::StepCellValue(double increment)
{
    TCustomDBGridEh* g = Grid();
    TField* f = Field();
    if (!g || !f || !CanModify(true)) return;
    bool forward = increment == 1;
    std::string current = g->InplaceEditor() && g->EditorMode() ? g->EditorText() : f->Text();
    // The next or previous item of a list, wrapping at both ends.
    auto stepIndex = [forward](int i, int n, bool& wrapped) {
        wrapped = forward ? (i < 0 || i == n - 1) : (i <= 0);
        if (wrapped) return forward ? 0 : n - 1;
        return forward ? i + 1 : i - 1;
    };
    bool wrapped = false;
    switch (CellKind()) {
    case ckCheckboxes:
        SetCellCheckState(CellCheckState() == cbChecked ? cbUnchecked : cbChecked);
        return;
    case ckKeyList:
    case ckKeyImageList: {
        TStrings* keys = KeyList();
        if (keys->Count() == 0) return;
        std::string key = keys->Strings(stepIndex(keys->IndexOf(f->Text()), keys->Count(), wrapped));
        WriteCellValue(current, key, false);
        return;
    }
    case ckPickList: {
        TStrings* picks = PickList();
        if (picks->Count() == 0) return;
        std::string item = picks->Strings(stepIndex(picks->IndexOf(f->Text()), picks->Count(), wrapped));
        if (wrapped) f->SetText(item);
        else WriteCellValue(item, item, true);
        return;
    }
    case ckLookup: {
        TDataSet* list = f->LookupDataSet();
        if (!list || !list->Active() || f->KeyFields().empty()) return;
        Variant keys = f->DataSet()->FieldValues(f->KeyFields());
        bool found = !VarIsNull(keys) && list->Locate(f->LookupKeyFields(), keys, {});
        if (!found) {
            list->First();
        } else if (forward) {
            if (list->Eof()) list->First();
            else {
                list->Next();
                if (list->Eof()) list->First();
            }
        } else {
            if (list->Bof()) list->Last();
            else {
                list->Prior();
                if (list->Bof()) list->Last();
            }
        }
        WriteCellValue(current, list->FieldValues(f->LookupKeyFields()), false);
        return;
    }
    case ckPlain: break;
    }
    switch (f->DataType()) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: {
        double now = f->IsNull() ? -increment : f->AsFloat();
        try {
            WriteCellValue(current, now + increment, false);
        } catch (const EDatabaseError&) {
            // A value the field refuses (out of its range) leaves it as it was.
        }
        break;
    }
    default: break;
    }
}

bool TColumnEh::CanModify(bool tryEdit) const
{
    TCustomDBGridEh* g = Grid();
    if (g && (g->ReadOnly() || !g->DataLink()->Active() || g->DataLink()->ReadOnly())) return false;
    if (ReadOnly()) return false;
    TField* f = Field();
    if (!f) return false;
    TField* target = f;
    if (f->FieldKind() == fkLookup) {
        if (f->KeyFields().empty() || !f->DataSet()) return false;
        std::vector<TField*> keys;
        f->DataSet()->GetFieldList(keys, f->KeyFields());
        for (TField* k : keys)
            if (!k->CanModify()) return false;
        target = keys.empty() ? nullptr : keys[0];
        if (!target) return false;
    }
    if (!target->CanModify()) return false;
    if (target->IsBlob() && !target->HasOnSetText() && !(g && g->DrawMemoText() && target->DataType() == ftMemo))
        return false;
    if (tryEdit && g) {
        bool editing = g->DataLink()->Edit();
        if (editing) g->DataLink()->MarkModified();
        return editing;
    }
    return true;
}

// ---- TGridDataLinkEh ----------------------------------------------------------------------------

TGridDataLinkEh::TGridDataLinkEh(TCustomDBGridEh* grid) : FGrid(grid) { SetVisualControl(true); }

TGridDataLinkEh::~TGridDataLinkEh() { ClearFieldMap(); }

bool TGridDataLinkEh::MapField(const std::string& fieldName)
{
    if (FMappedCount >= MaxMapSize) throw EInvalidGridOperation(DBGridEh::STooManyColumns);
    TDataSet* ds = DataSet();
    TField* f = nullptr;
    if (ds) f = FByColumnNames ? ds->FindField(fieldName) : ds->FieldByName(fieldName);
    if (FMappedCount == int(FColumnFieldIndexes.size())) {
        size_t cap = FColumnFieldIndexes.empty() ? 8 : FColumnFieldIndexes.size() * 2;
        cap = std::max(cap, size_t(FMappedCount) + 1);
        cap = std::min(cap, size_t(MaxMapSize));
        FColumnFieldIndexes.resize(cap, -1);
    }
    FColumnFieldIndexes[size_t(FMappedCount)] = f ? f->Index() : -1;
    ++FMappedCount;
    return true;
}

void TGridDataLinkEh::ClearFieldMap()
{
    FColumnFieldIndexes.clear();
    FColumnFieldIndexes.shrink_to_fit();
    FMappedCount = 0;
}

TField* TGridDataLinkEh::MappedField(int i) const
{
    if (i < 0 || i >= FMappedCount) return nullptr;
    int p = FColumnFieldIndexes[size_t(i)];
    TDataSet* ds = DataSet();
    if (p < 0 || !ds || p >= ds->FieldCount()) return nullptr;
    return ds->Fields()->Fields(p);
}

bool TGridDataLinkEh::FieldsAreDefault() const
{
    TDataSet* ds = DataSet();
    bool r = !ds || ds->DefaultFields();
    if (r && FByColumnNames)
        for (int i = 0; i < FMappedCount; ++i)
            if (FColumnFieldIndexes[size_t(i)] == -1) return false;
    return r;
}

void TGridDataLinkEh::ResetEdit()
{
    if (FEditPending) RecordChanged(nullptr);
    else if (DataSet()) DataSet()->Cancel();
}

void TGridDataLinkEh::ActiveChanged()
{
    FGrid->LinkActiveChanged(Active());
    FEditPending = false;
}

void TGridDataLinkEh::DataSetChanged()
{
    FGrid->RefreshFromData();
    FEditPending = false;
}

void TGridDataLinkEh::DataSetScrolled(int distance) { FGrid->DataScrolled(distance); }

void TGridDataLinkEh::LayoutChanged()
{
    bool saved = FGrid->FInLinkLayoutChange;
    FGrid->FInLinkLayoutChange = true;
    try {
        FGrid->RequestLayout();
    } catch (...) {
        FGrid->FInLinkLayoutChange = saved;
        throw;
    }
    FGrid->FInLinkLayoutChange = saved;
    TDataLink::LayoutChanged();
}

void TGridDataLinkEh::FocusControl(TField*& field)
{
    if (!field) return;
    FGrid->SelectFieldColumn(field);
    if (FGrid->CurrentField() == field && FGrid->CanFocus()) {
        FGrid->SetFocus();
        field = nullptr;
    }
}

void TGridDataLinkEh::EditingChanged() { FGrid->EditingStateChanged(); }

void TGridDataLinkEh::RecordChanged(TField* field)
{
    FGrid->RecordValuesChanged(field);
    FEditPending = false;
}

void TGridDataLinkEh::UpdateData()
{
    if (FPosting) return;
    FPosting = true;
    try {
        // A record written while the editor shows takes what was typed there.
        FGrid->UpdateText();
        if (FEditPending) FGrid->PostEditText();
    } catch (...) {
        FEditPending = false;
        FPosting = false;
        throw;
    }
    FEditPending = false;
    FPosting = false;
}

// ---- TCustomDBGridEh: construction ---------------------------------------------------------------

void TCustomDBGridEh::SetColumnsItemClass(TClass itemClass) { FColumns = std::make_unique<TDBGridColumnsEh>(this, itemClass); }

TColumnDefValuesEh* TCustomDBGridEh::MakeColumnDefValues() { return new TDBGridEhColumnDefValuesEh(this); }

// Made on first use rather than in the constructor: there the factory would
// not yet be a descendant's.
TColumnDefValuesEh* TCustomDBGridEh::ColumnDefValues() const
{
    if (!FColumnDefValues) FColumnDefValues.reset(const_cast<TCustomDBGridEh*>(this)->MakeColumnDefValues());
    return FColumnDefValues.get();
}

TCustomDBGridEh::TCustomDBGridEh(TComponent* owner) : TCustomGrid(owner)
{
    FSTFilter = std::make_unique<TSTDBGridEhFilter>(this);
    FCellParams = std::make_unique<TColCellParamsEh>();
    UseDefaultStyle();
    SetDefaultDrawing(false);
    FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                dgConfirmDelete, dgCancelOnExit};
    SetDesignOptionsBoost({goColSizing});
    SetVirtualView(true);
    SetScrollBars(ssHorizontal);
    TCustomGrid::SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goColMoving,
                             goEditing, goTabs});
    FColumns = std::make_unique<TDBGridColumnsEh>(this);
    SetRowCount(2);
    SetColCount(2);
    FDataLink = std::make_unique<TGridDataLinkEh>(this);
    SetColor(clWindow);
    SetParentColor(false);
    FFooterColor = clWindow;
    FTitleFont = std::make_unique<TFont>();
    FTitleFont->Assign(Font());
    FTitleFont->OnChange = [this](TObject*) {
        if (FOptions.Contains(dgTitles)) RequestLayout();
    };
    SetSaveCellExtents(false);
    FHeadTree = std::make_unique<THeadTreeNode>("Root", 0, 10);
    FSumList = std::make_unique<TDBGridEhSumList>(this);
    FSumList->SumListChanged = [this](TObject*) {
        if (FFooterRowCount > 0) Invalidate();
    };
    FSumList->OnRecalcAll = [this](TObject* s) {
        if (OnSumListRecalcAll) OnSumListRecalcAll(s);
    };
    FSumList->OnAfterRecalcAll = [this](TObject* s) {
        if (OnSumListAfterRecalcAll) OnSumListAfterRecalcAll(s);
    };
    FHorzScrollBar = std::make_unique<TDBGridEhScrollBar>(this, false);
    FVertScrollBar = std::make_unique<TVertDBGridEhScrollBar>(this);
    FOptionsEh = {dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind};
    FAllowedOperations = {alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
    FFooterFont = std::make_unique<TFont>();
    FFooterFont->Assign(Font());
    FFooterFont->OnChange = [this](TObject*) {
        if (FFooterRowCount > 0) RequestLayout();
    };
    FAllowedSelections = {gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
    FFirstDataRow = TitleRowCount() + FilterRowCount();
    FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
    FSelection = std::make_unique<TDBGridEhSelection>(this);
}

TCustomDBGridEh::~TCustomDBGridEh()
{
    // External scroll bars get their own window procedures back, untouched otherwise.
    Destroying();
    if (FStyle) FStyle->RemoveGrid(this);
    FStyle = nullptr;
    FVertScrollBar->SetExtScrollBar(nullptr);
    FHorzScrollBar->SetExtScrollBar(nullptr);
    FShownColumns.clear();
    FSortColumnList.clear();
    FColumns.reset();
    FSumList.reset();
    FDataLink.reset();
    FHeadTree.reset();
}

void TCustomDBGridEh::Notification(TComponent* component, TOperation operation)
{
    TCustomGrid::Notification(component, operation);
    if (operation != opRemove || !FDataLink) return;
    if (component == static_cast<TComponent*>(FVertScrollBar->ExtScrollBar())) FVertScrollBar->ExtScrollBarFreed();
    else if (component == static_cast<TComponent*>(FHorzScrollBar->ExtScrollBar())) FHorzScrollBar->ExtScrollBarFreed();
    if (component == FMemTableSet) {
        FMemTable = nullptr;
        FMemTableSet = nullptr;
        RequestLayout();
    }
    if (component == DataSource()) SetDataSource(nullptr);
    else if (auto* f = DynamicCast<TField>(component)) {
        bool changed = false;
        for (int i = 0; FColumns && i < FColumns->Count(); ++i) {
            TColumnEh* c = FColumns->Items(i);
            if (c->FField == f) {
                c->FField = nullptr;
                changed = true;
            }
        }
        if (changed) RequestLayout();
    }
}

// ---- stored properties -------------------------------------------------------------------------

TDataSource* TCustomDBGridEh::DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }

void TCustomDBGridEh::SetDataSource(TDataSource* v)
{
    if (v == DataSource()) return;
    FSelection->Clear();
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
    LinkActiveChanged(FDataLink->Active());
    FSumList->SetDataSet(v ? v->DataSet() : nullptr);
}

void TCustomDBGridEh::SetOptions(TDBGridOptions v)
{
    if (v == FOptions) return;
    TGridOptions base;
    if (FRowSizingAllowed) base.Include(goRowSizing);
    if (v.Contains(dgColLines)) base += TGridOptions{goFixedVertLine, goVertLine};
    if (v.Contains(dgRowLines)) base += TGridOptions{goFixedHorzLine, goHorzLine};
    if (v.Contains(dgColumnResize)) base += TGridOptions{goColSizing, goColMoving};
    if (v.Contains(dgTabs)) base.Include(goTabs);
    if (v.Contains(dgRowSelect)) {
        base.Include(goRowSelect);
        v.Exclude(dgEditing);
        v.Exclude(dgAlwaysShowEditor);
    }
    if (v.Contains(dgEditing)) base.Include(goEditing);
    if (v.Contains(dgAlwaysShowEditor)) base.Include(goAlwaysShowEditor);
    TCustomGrid::SetOptions(base);
    TDBGridOptions old = FOptions;
    if (old.Contains(dgMultiSelect) && !v.Contains(dgMultiSelect)) FSelection->Clear();
    FOptions = v;
    const TDBGridOptions layoutOptions{dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColLines,
                                       dgRowLines, dgRowSelect, dgAlwaysShowSelection};
    TDBGridOptions changed = (old - v) + (v - old);
    if (!(changed * layoutOptions).Empty()) RequestLayout();
}

void TCustomDBGridEh::SetOptionsEh(TDBGridEhOptions v)
{
    if (v == FOptionsEh) return;
    bool multiOff = FOptionsEh.Contains(dghMultiSortMarking) && !v.Contains(dghMultiSortMarking);
    FOptionsEh = v;
    if (multiOff) {
        // Only the first sorted column keeps its marker.
        for (size_t i = FSortColumnList.size(); i-- > 1;)
            if (FSortColumnList[i]) FSortColumnList[i]->Title()->SetSortMarker(smNoneEh);
    }
    RequestLayout();
    Invalidate();
}

void TCustomDBGridEh::SetAllowedSelections(TDBGridEhAllowedSelections v)
{
    if (v == FAllowedSelections) return;
    FAllowedSelections = v;
    // A selection of a kind no longer allowed goes; the others stay.
    TDBGridEhSelectionType kind = FSelection->SelectionKind();
    if (kind != gstNon && !v.Contains(kind)) FSelection->ClearAll();
    if (!v.Contains(gstRecordBookmarks) && FSelection->Rows()->Count() > 0) FSelection->Rows()->Clear();
    Invalidate();
}

void TCustomDBGridEh::ChangeScale(int m, int d)
{
    if (m == d || d == 0) return;
    auto scale = [m, d](TFont* f) { f->SetSize(MulDiv(f->Size(), m, d)); };
    if (!ParentFont()) {
        FTitleFont->SetSize(MulDiv(Font()->Size(), m, d));
        scale(FFooterFont.get());
    }
    LockLayout();
    FColumns->BeginUpdate();
    try {
        int sum = 0;
        for (int i = 0; i < FColumns->Count(); ++i) {
            TColumnEh* c = FColumns->Items(i);
            if (c->AssignedValues().Contains(cvFont)) scale(c->Font());
            if (c->AssignedValues().Contains(cvTitleFont)) scale(c->Title()->Font());
            if (c->Footer()->AssignedValues().Contains(cfvFont)) scale(c->Footer()->Font());
            for (int k = 0; k < c->Footers()->Count(); ++k)
                if (c->Footers()->Items(k)->AssignedValues().Contains(cfvFont)) scale(c->Footers()->Items(k)->Font());
            int before = sum;
            sum += c->Width();
            c->SetWidth(MulDiv(sum, m, d) - MulDiv(before, m, d));
        }
    } catch (...) {
        FColumns->EndUpdate();
        UnlockLayout();
        throw;
    }
    FColumns->EndUpdate();
    scale(Font());
    SetBounds(MulDiv(Left(), m, d), MulDiv(Top(), m, d), MulDiv(Width(), m, d), MulDiv(Height(), m, d));
    UnlockLayout();
}

// Read from a stored form: the layout and the sums start now.
void TCustomDBGridEh::Loaded()
{
    TCustomGrid::Loaded();
    RequestLayout();
    FSumList->AfterOwnerLoaded();
}

void TCustomDBGridEh::SetAutoFitColWidths(bool v)
{
    if (v == FAutoFitColWidths) return;
    FAutoFitColWidths = v;
    if (ComponentState().Contains(csDesigning)) return;
    if (v) {
        if (!ComponentState().Contains(csLoading))
            for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->FBaseWidth = FColumns->Items(i)->Width();
        SetScrollBars(ssNone);
    } else {
        FColumns->BeginUpdate();
        for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->SetWidth(FColumns->Items(i)->FBaseWidth);
        FColumns->EndUpdate();
        SetScrollBars(ssHorizontal);
    }
    RequestLayout();
}

void TCustomDBGridEh::SetDrawMemoText(bool v)
{
    if (v == FDrawMemoText) return;
    FDrawMemoText = v;
    Invalidate();
}

void TCustomDBGridEh::SetFlat(bool v)
{
    if (v == FFlat) return;
    FFlat = v;
    FTextVerticalMargin = v ? 2 : 4;
    if (HandleAllocated()) RecreateWnd();
    RequestLayout();
}

void TCustomDBGridEh::SetFooterColor(TColor v)
{
    if (!ComponentState().Contains(csLoading)) SetParentColor(false);
    FFooterColor = v;
    if (FFooterRowCount > 0) Invalidate();
}

void TCustomDBGridEh::SetFooterFont(TFont* v) { FFooterFont->Assign(v); }

void TCustomDBGridEh::SetFooterRowCount(int v)
{
    if (v < 0 || v == FFooterRowCount) return;
    FFooterRowCount = v;
    RequestLayout();
}

void TCustomDBGridEh::SetFrozenCols(int v)
{
    if (v < 0 || v == FFrozenCols) return;
    FFrozenCols = v;
    RequestLayout();
}

void TCustomDBGridEh::SetMinAutoFitWidth(int v)
{
    FMinAutoFitWidth = v;
    RequestLayout();
}

void TCustomDBGridEh::SetReadOnly(bool v)
{
    if (v == FReadOnly) return;
    FReadOnly = v;
    Invalidate();
}

void TCustomDBGridEh::SetRowHeight(int v)
{
    v = std::max(0, v);
    if (v == FRowHeight) return;
    FRowHeight = v;
    RequestLayout();
}

void TCustomDBGridEh::SetRowLines(int v)
{
    v = std::max(0, v);
    if (v == FRowLines) return;
    FRowLines = v;
    RequestLayout();
}

void TCustomDBGridEh::SetRowSizingAllowed(bool v)
{
    if (v == FRowSizingAllowed) return;
    FRowSizingAllowed = v;
    TGridOptions o = TCustomGrid::Options();
    if (v) o.Include(goRowSizing);
    else o.Exclude(goRowSizing);
    TCustomGrid::SetOptions(o);
}

void TCustomDBGridEh::SetTitleFont(TFont* v) { FTitleFont->Assign(v); }

void TCustomDBGridEh::SetTitleHeight(int v)
{
    FTitleHeight = v;
    RequestLayout();
}

void TCustomDBGridEh::SetTitleLines(int v)
{
    FTitleLines = v;
    RequestLayout();
}

void TCustomDBGridEh::SetUseMultiTitle(bool v)
{
    FUseMultiTitle = v;
    RequestLayout();
}

void TCustomDBGridEh::SetVTitleMargin(int v)
{
    FVTitleMargin = v;
    RequestLayout();
}

// ---- the column map --------------------------------------------------------------------------------

void TCustomDBGridEh::SetSelectedIndex(int d)
{
    int raw = DataToRawColumn(d);
    if (raw < FixedCols() || raw >= ColCount()) return;
    MoveColRow(raw, Row(), true, true);
}

TColumnEh* TCustomDBGridEh::CurrentColumn() const
{
    int d = SelectedIndex();
    return d >= 0 && d < FColumns->Count() ? FColumns->Items(d) : nullptr;
}

TField* TCustomDBGridEh::CurrentField() const
{
    TColumnEh* c = CurrentColumn();
    return c ? c->Field() : nullptr;
}

void TCustomDBGridEh::SelectFieldColumn(TField* f)
{
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Field() == f) SetSelectedIndex(i);
}

THeadTreeNode* TCustomDBGridEh::LeafNode(int columnIndex) const
{
    return columnIndex >= 0 && columnIndex < int(FLeafNodes.size()) ? FLeafNodes[size_t(columnIndex)] : nullptr;
}

// ---- row structure -------------------------------------------------------------------------------

TGridRect TCustomDBGridEh::DataCellRange() const
{
    TGridRect r;
    r.Left = FIndicatorColCount;
    r.Top = FFirstDataRow;
    r.Right = ColCount() - 1;
    r.Bottom = FFooterRowCount > 0 ? RowCount() - FFooterRowCount - 2 : RowCount();
    return r;
}

int TCustomDBGridEh::GetCellType(int& col, int& row) const
{
    int colKind;
    if (col < FIndicatorColCount) colKind = 0;
    else {
        colKind = 1;
        col -= FIndicatorColCount;
    }
    TGridRect d = DataCellRange();
    int rowKind;
    int titles = TitleRowCount();
    if (row < titles) rowKind = 0;
    else if (row < titles + FilterRowCount()) {
        rowKind = 1;
        row -= titles;
    } else if (row >= d.Top && row <= d.Bottom) {
        rowKind = 2;
        row -= FFirstDataRow;
    } else if (row == d.Bottom + 1) {
        rowKind = 3;
        row = 0;
    } else if (row > d.Bottom + 1) {
        rowKind = 4;
        row -= d.Bottom + 1;
    } else {
        throw Exception(DBGridEh::SGetCellTypeError);
    }
    return colKind | (rowKind << 8);
}

// ---- the layout lock ------------------------------------------------------------------------------

void TCustomDBGridEh::LockLayout()
{
    LockPaint();
    if (FLayoutLockCount == 0) FColumns->BeginUpdate();
    ++FLayoutLockCount;
}

bool TCustomDBGridEh::TryLockLayout()
{
    if (FLayoutLockCount != 0 || FPaintLockCount != 0) return false;
    LockLayout();
    return true;
}

void TCustomDBGridEh::UnlockLayout()
{
    if (FLayoutLockCount == 0) return;
    auto release = [this] {
        if (FLayoutLockCount == 1) {
            // The columns' held-back notices are dropped: the rebuild just
            // made the layout from them.
            while (FColumns->UpdateCount() > 0) {
                ++FLayoutLockCount;   // keep the notices from rebuilding again
                FColumns->EndUpdate();
                --FLayoutLockCount;
            }
        }
        --FLayoutLockCount;
        UnlockPaint();
    };
    if (FLayoutLockCount == 1) {
        try {
            RebuildLayout();
        } catch (...) {
            release();
            throw;
        }
    }
    release();
    if (FLayoutLockCount == 0) FSTFilter->PlaceFilterEditor(false);
}

void TCustomDBGridEh::UnlockLayoutQuietly()
{
    if (FLayoutLockCount == 0) return;
    if (FLayoutLockCount == 1) {
        ++FLayoutLockCount;
        FColumns->EndUpdate();
        --FLayoutLockCount;
    }
    --FLayoutLockCount;
    UnlockPaint();
}

void TCustomDBGridEh::RequestLayout()
{
    if (TryLockLayout()) UnlockLayout();
}

void TCustomDBGridEh::DeferLayout()
{
    if (HandleAllocated()) {
        TMsg m;
        if (!PeekMessage(&m, Handle(), DBGridEh::WM_DEFERLAYOUT, DBGridEh::WM_DEFERLAYOUT, PM_NOREMOVE))
            PostMessage(Handle(), DBGridEh::WM_DEFERLAYOUT, 0, 0);
    }
    UnlockLayoutQuietly();
    UnlockPaint();
}

void TCustomDBGridEh::DropPendingLayout()
{
    if (!HandleAllocated()) return;
    TMsg m;
    while (PeekMessage(&m, Handle(), DBGridEh::WM_DEFERLAYOUT, DBGridEh::WM_DEFERLAYOUT, PM_REMOVE)) {
    }
}

int TCustomDBGridEh::LineWidth() const { return FOptions.Contains(dgRowLines) ? GridLineWidth() : 0; }

int TCustomDBGridEh::TextHeightOf(TFont* font)
{
    TCanvas* c = FMeasureBitmap->Canvas();
    c->Font()->Assign(font);
    return c->TextHeight("Wg");
}

int TCustomDBGridEh::TextWidthOf(TFont* font, const std::string& text)
{
    TCanvas* c = FMeasureBitmap->Canvas();
    c->Font()->Assign(font);
    return c->TextWidth(text);
}

int TCustomDBGridEh::SortIndexTextWidth(int index)
{
    return TextWidthOf(DBGridEh::SortIndexFont(), std::to_string(index));
}

void TCustomDBGridEh::SetTitleRowHeight(int h)
{
    FTitleRowHeight = h;
    if (FOptions.Contains(dgTitles) && RowCount() > 0) SetRowHeights(0, h);
}

int TCustomDBGridEh::MeasureTitleNodeHeights(THeadTreeNode* node)
{
    std::vector<THeadTreeNode*> children = node->Children();
    if (children.empty()) return 0;
    std::vector<int> subtree(children.size());
    int level = 0;
    TFont* font = FTitleFont.get();
    for (size_t i = 0; i < children.size(); ++i) {
        THeadTreeNode* c = children[i];
        subtree[i] = MeasureTitleNodeHeights(c);
        if (c->LeafColumn) font = c->LeafColumn->Title()->Font();
        int textH;
        if (c->NodeWidth <= 0) textH = FVTitleMargin;
        else {
            TCanvas* cv = FMeasureBitmap->Canvas();
            cv->Font()->Assign(font);
            TRect r{0, 0, std::max(1, c->NodeWidth - c->MarkerIndent - 4), 0};
            std::string text = c->NodeText.empty() ? " " : c->NodeText;
            cv->DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            textH = r.Height() + FVTitleMargin;
        }
        level = std::max(level, subtree[i] + textH);
    }
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->NodeHeight = children[i]->FirstChild ? level - subtree[i] : level;
    node->NodeHeight = level;
    return level;
}

// ---- the layout rebuild ---------------------------------------------------------------------------

void TCustomDBGridEh::RebuildLayout()
{
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    ++FRebuildCount;
    DropPendingLayout();   // a rebuild now makes a deferred one needless
    FNoPaint = true;
    struct TNoPaintReset {
        bool& Flag;
        ~TNoPaintReset() { Flag = false; }
    } noPaintReset{FNoPaint};

    // Default columns go once stored columns follow them.
    bool seenDefault = false;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumnEh* c = FColumns->Items(i);
        if (!c->StoredColumn()) seenDefault = true;
        else if (seenDefault) {
            for (int j = FColumns->Count() - 1; j >= 0; --j)
                if (!FColumns->Items(j)->StoredColumn()) delete FColumns->Items(j);
            break;
        }
    }

    FIndicatorColCount = FOptions.Contains(dgIndicator) ? 1 : 0;
    FDataLink->ClearFieldMap();
    bool active = FDataLink->Active();
    if (active) BuildFieldMap();
    if (FColumns->ColumnsState() == cssCustomized) {
        for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->FField = nullptr;
    } else {
        TDataSet* ds = FDataLink->DataSet();
        if (active || (ds && !ds->DefaultFields())) {
            for (int i = FColumns->Count() - 1; i >= 0; --i) {
                TColumnEh* c = FColumns->Items(i);
                bool mapped = false;
                for (int k = 0; k < FDataLink->MappedCount() && !mapped; ++k)
                    mapped = c->FField && FDataLink->MappedField(k) == c->FField;
                if (!mapped) delete c;
            }
        } else {
            FColumns->Clear();
        }
        int positions = std::max(FDataLink->MappedCount(), FColumns->Count() == 0 ? 1 : 0);
        for (int i = 0; i < positions; ++i) {
            TField* f = FDataLink->MappedField(i);
            TColumnEh* found = nullptr;
            for (int j = i; j < FColumns->Count() && !found; ++j)
                if (f && FColumns->Items(j)->FField == f) found = FColumns->Items(j);
            if (!found) {
                found = FColumns->AddDefaultColumn();
                found->BindField(f);
            }
            found->SetIndex(i);
        }
    }

    // Shown columns, column count and the frozen zone.
    FShownColumns.clear();
    int hidden = 0;
    bool inZone = true;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumnEh* c = FColumns->Items(i);
        if (c->Visible()) FShownColumns.push_back(c);
        if (!c->Visible()) {
            if (i < FFrozenCols + hidden || (inZone && i == FFrozenCols + hidden)) ++hidden;
        } else if (i >= FFrozenCols + hidden) {
            inZone = false;
        }
    }
    SetColCount(std::max(1, FColumns->Count() + FIndicatorColCount));
    int fixedCols = (active || FColumns->ColumnsState() == cssCustomized)
                        ? FIndicatorColCount + FFrozenCols + hidden
                        : FIndicatorColCount + hidden;
    if (FShownColumns.empty()) --fixedCols;
    fixedCols = std::clamp(fixedCols, 0, ColCount() - 1);

    FFirstDataRow = TitleRowCount() + FilterRowCount();
    if (RowCount() <= FFirstDataRow) SetRowCount(FFirstDataRow + 1);

    // Row heights.
    int m = (FFlat ? 1 : 3) + LineWidth();
    int h = TextHeightOf(Font());
    int rowHeight;
    if (FRowHeight > 0 || FRowLines > 0) rowHeight = FRowHeight + h * FRowLines;
    else rowHeight = h + m;
    if (FOptionsEh.Contains(dghFitRowHeightToText) && h > 0) {
        int n = (rowHeight - m) / h, r = (rowHeight - m) % h;
        rowHeight = (r <= h / 2 && n != 0) ? n * h + m : (n + 1) * h + m;
        FRowLines = (rowHeight - m) / h;
        FRowHeight = m;
    }
    SetDefaultRowHeight(rowHeight);

    // The title row.
    int titleHeight = 0;
    if (FOptions.Contains(dgTitles)) {
        if (FColumns->Count() == 0) titleHeight = TextHeightOf(FTitleFont.get()) + FTextVerticalMargin;
        for (int i = 0; i < FColumns->Count(); ++i)
            titleHeight = std::max(titleHeight, TextHeightOf(FColumns->Items(i)->Title()->Font()) + FTextVerticalMargin);
    }
    SetTitleRowHeight(titleHeight);

    bool wantHorz = FHorzScrollBar->Visible() && !FHorzScrollBar->ExtScrollBar() &&
                    (!FAutoFitColWidths || ComponentState().Contains(csDesigning));
    SetScrollBars(wantHorz ? ssHorizontal : ssNone);
    RefreshVertScrollBar();   // the base grid's bar style leaves the vertical bar to the grid
    SetFixedCols(fixedCols);
    ApplyColumnWidthsAndTabStops();
    if (FAutoFitColWidths && !ComponentState().Contains(csDesigning)) AutoFitWidths();

    if (FOptions.Contains(dgTitles)) {
        if (FTitleHeight != 0 || FTitleLines != 0) {
            int th = TextHeightOf(FTitleFont.get());
            for (int i = 0; i < FColumns->Count(); ++i)
                th = std::max(th, TextHeightOf(FColumns->Items(i)->Title()->Font()));
            titleHeight = FTitleLines * th + FTitleHeight + 2 + (FOptions.Contains(dgRowLines) ? 1 : 0);
            SetTitleRowHeight(titleHeight);
        }
        FLeafNodes.clear();
        if (FUseMultiTitle) {
            FHeadTree->BuildFromColumns(this);
            FLeafNodes.resize(size_t(FColumns->Count()), nullptr);
            FHeadTree->ForEachNode(
                [this](TCustomDBGridEh*, THeadTreeNode* n) {
                    if (n->LeafColumn) FLeafNodes[size_t(n->LeafColumn->Index())] = n;
                },
                this);
            int treeHeight = MeasureTitleNodeHeights(FHeadTree.get());
            SetTitleRowHeight(std::max(0, treeHeight - (FOptionsEh.Contains(dghFixed3D) ? 1 : 3)));
        }
        ApplyColumnWidthsAndTabStops();
    }
    FSelection->SelectedColumns()->PruneAndSort();
    FSelection->DropEmptyKind();
    RecalcRowCount();
    SyncCurrentRow();
    Invalidate();
}

void TCustomDBGridEh::AutoFitWidths()
{
    if (!HandleAllocated()) return;
    for (TColumnEh* c : FShownColumns) c->FWidthSettled = false;
    int a = 0, s = 0;
    for (size_t pass = 0; pass <= FShownColumns.size(); ++pass) {
        int fixedSum = 0, baseSum = 0;
        for (TColumnEh* c : FShownColumns) {
            if (!c->AutoFitColWidth() || c->FWidthSettled) fixedSum += c->Width();
            else baseSum += c->FBaseWidth;
        }
        a = std::max(0, std::max(FMinAutoFitWidth, ClientWidth()) - fixedSum);
        if (FOptions.Contains(dgIndicator)) a -= DBGridEh::IndicatorWidth;
        if (FOptions.Contains(dgColLines)) a -= int(FShownColumns.size());
        if (FOptions.Contains(dgIndicator) && FOptions.Contains(dgColLines)) a -= 1;
        a = std::max(0, a);
        s = 0;
        bool settled = false;
        for (TColumnEh* c : FShownColumns) {
            if (!c->AutoFitColWidth() || c->FWidthSettled) continue;
            int w = baseSum > 0 ? MulDiv(c->FBaseWidth, a, baseSum) : 0;
            int clamped = c->ClampedWidth(w);
            c->FWidth = clamped;
            c->Mark(cvWidth);
            if (clamped != w) {
                c->FWidthSettled = true;
                settled = true;
            }
            s += clamped;
        }
        if (!settled) break;
    }
    if (s != a) {
        for (auto it = FShownColumns.rbegin(); it != FShownColumns.rend(); ++it) {
            TColumnEh* c = *it;
            if (c->AutoFitColWidth() && !c->FWidthSettled) {
                c->FWidth = std::max(0, c->FWidth + a - s);
                break;
            }
        }
    }
    ApplyColumnWidthsAndTabStops();
}

void TCustomDBGridEh::FitColumnWidths(const TColumnsEhList& columns)
{
    std::vector<int> widths;
    for (TColumnEh* c : columns) {
        int marker = c->Title()->SortMarkerWidth();
        int w = marker >= 3 ? marker + 2 : 4;
        widths.push_back(w + TextWidthOf(c->Title()->Font(), c->Title()->Caption()));
    }
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    ds->DisableControls();
    TBookmark here = ds->Bookmark();
    try {
        for (ds->First(); !ds->Eof(); ds->Next()) {
            for (size_t i = 0; i < columns.size(); ++i) {
                TColumnEh* c = columns[i];
                int w = 4;
                if (c->CellKind() == ckCheckboxes) w += 13;
                else {
                    TFont font;
                    font.Assign(c->Font());
                    TColor bg = c->Color();
                    GetCellParams(c, &font, bg, {});
                    w += TextWidthOf(&font, c->CellDisplayText());
                }
                if (!FShownColumns.empty() && c == FShownColumns.front()) w += TreeIndent();
                widths[i] = std::max(widths[i], w);
            }
        }
    } catch (...) {
        if (!here.empty() && ds->BookmarkValid(here)) ds->GotoBookmark(here);
        ds->EnableControls();
        throw;
    }
    if (!here.empty() && ds->BookmarkValid(here)) ds->GotoBookmark(here);
    ds->EnableControls();
    bool lock = !FAutoFitColWidths;
    if (lock) LockLayout();
    try {
        for (size_t i = 0; i < columns.size(); ++i) {
            TColumnEh* c = columns[i];
            for (int r = 0; r < FFooterRowCount; ++r)
                widths[i] = std::max(widths[i], TextWidthOf(c->FooterForRow(r)->Font(), FooterValueText(c, r)) + 5);
            c->SetWidth(widths[i]);
        }
    } catch (...) {
        if (lock) UnlockLayout();
        throw;
    }
    if (lock) UnlockLayout();
}

void TCustomDBGridEh::ApplyColumnWidthsAndTabStops()
{
    bool active = FDataLink->Active();
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumnEh* c = FColumns->Items(i);
        int raw = DataToRawColumn(i);
        if (raw >= ColCount()) break;
        TField* f = c->Field();
        bool fieldReadOnly = f && f->ReadOnly();
        SetTabStops(raw, c->Visible() && !c->ReadOnly() && active && f && !f->Calculated() && !fieldReadOnly);
        SetColWidths(raw, c->Visible() ? c->Width() : (FOptions.Contains(dgColLines) ? -1 : 0));
    }
    if (FOptions.Contains(dgIndicator) && ColCount() > 0) SetColWidths(0, DBGridEh::IndicatorWidth);
}

void TCustomDBGridEh::RecalcRowCount()
{
    if (!FDataLink) return;
    int entryRows = RowCount();
    auto setRows = [this](int n) {
        if (Row() >= n) MoveColRow(Col(), n - 1, true, false);
        SetRowCount(n);
    };
    if (RowCount() <= FFirstDataRow) setRows(FFirstDataRow + 1);
    SetFixedRows(FFirstDataRow);
    int lw = LineWidth();
    int pitch = DefaultRowHeight() + lw;
    int used = 0;
    if (FOptions.Contains(dgTitles)) used += FTitleRowHeight + lw;
    used += FilterRowCount() * pitch;
    used += FFooterRowCount * pitch + (FFooterRowCount > 0 ? lw : 0);
    SetDefaultRowHeight(DefaultRowHeight());
    if (FOptions.Contains(dgTitles)) SetRowHeights(0, FTitleRowHeight);
    if (RowsFromMemTable()) {
        // Every record is a row of its own, read in place: no buffer to fill.
        if (FDataLink->Active()) FDataLink->SetBufferCount(1);
        RecalcMemTableRows();
        if (RowCount() != entryRows) Invalidate();
        return;
    }
    SetTopRow(FixedRows());
    bool window = HandleAllocated();
    int clientH = ClientHeight();
    if (FDataLink->Active() && window) {
        int fit = std::max(1, (clientH - used) / std::max(1, pitch));
        FDataLink->SetBufferCount(fit);
        int d = std::max(1, FDataLink->RecordCount());
        used += d * pitch;
        if (FFooterRowCount == 0) setRows(FFirstDataRow + d);
        else {
            setRows(FFirstDataRow + d + 1 + FFooterRowCount);
            SetRowHeights(FFirstDataRow + d, std::max(0, clientH - used));
        }
        SyncCurrentRow();
    } else {
        used += pitch;
        if (window && FFooterRowCount > 0) {
            setRows(FFirstDataRow + 1 + FFooterRowCount + 1);
            SetRowHeights(FFirstDataRow + 1, std::max(0, clientH - used));
        } else {
            setRows(FFirstDataRow + 1);
        }
    }
    if (RowCount() != entryRows) Invalidate();
}

void TCustomDBGridEh::CreateWnd()
{
    TCustomGrid::CreateWnd();
    if (FDataLink->Active()) RecalcRowCount();
}

void TCustomDBGridEh::Resize()
{
    TCustomGrid::Resize();
    if (FAutoFitColWidths) RequestLayout();
    else RecalcRowCount();
    FSTFilter->PlaceFilterEditor(false);
    RefreshHorzExtScrollBar();
}

// ---- data reactions -------------------------------------------------------------------------------

void TCustomDBGridEh::BuildFieldMap()
{
    if (FColumns->ColumnsState() == cssCustomized) {
        FDataLink->SetByColumnNames(true);
        for (int i = 0; i < FColumns->Count(); ++i) FDataLink->MapField(FColumns->Items(i)->FieldName());
    } else {
        FDataLink->SetByColumnNames(false);
        TDataSet* ds = FDataLink->DataSet();
        for (int i = 0; ds && i < ds->FieldCount(); ++i) {
            TField* f = ds->Fields()->Fields(i);
            if (f->Visible()) FDataLink->MapField(f->FieldName());
        }
    }
}

void TCustomDBGridEh::LinkActiveChanged(bool active)
{
    if (!active) HideEditor();
    FSTFilter->DropValueLists();
    FSelection->SetLinkActive(active);
    FSumList->SetDataSet(DataSource() ? DataSource()->DataSet() : nullptr);
    if (RowsFromMemTable()) RecalcRowCount();
    RequestLayout();
    RefreshVertScrollBar();
    ProbeMemTable();
}

void TCustomDBGridEh::RefreshFromData()
{
    if (!HandleAllocated() || FRefreshing) return;
    FRefreshing = true;
    try {
        RecalcRowCount();
        RefreshVertScrollBar();
        SyncCurrentRow();
    } catch (...) {
        FRefreshing = false;
        throw;
    }
    FRefreshing = false;
    Invalidate();
}

void TCustomDBGridEh::DataScrolled(int distance)
{
    if (RowsFromMemTable()) {
        SyncMemTableCurrentRow();
        return;
    }
    SyncCurrentRow();
    RefreshVertScrollBar();
    Invalidate();
}

void TCustomDBGridEh::RecordValuesChanged(TField* field)
{
    if (!HandleAllocated()) return;
    if (!field) {
        Invalidate();
        RefreshEditorFromField(nullptr);
        return;
    }
    int row = CurrentDataRow();
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Field() == field && row >= 0) InvalidateRow(row);
    RefreshEditorFromField(field);
}

// The editor shows the field's new value when the record changed under it.
void TCustomDBGridEh::RefreshEditorFromField(TField* field)
{
    TColumnEh* c = CurrentColumn();
    TField* current = c ? c->Field() : nullptr;
    if (!current || (field && field != current)) return;
    std::string now = c->HasKeyList() ? c->CellDisplayText()
                      : (FDrawMemoText && current->DataType() == ftMemo) ? AdjustLineBreaks(current->AsString())
                                                                          : current->Text();
    if (now == FEditorText) return;
    FEditorText = now;
    if (EditorMode() && InplaceEditor()) {
        InplaceEditor()->UpdateContents();
        InplaceEditor()->Deselect();
    }
}

void TCustomDBGridEh::EditingStateChanged()
{
    if (FOptions.Contains(dgIndicator) && FIndicatorRow >= 0 && FIndicatorRow < RowCount())
        InvalidateCell(0, FIndicatorRow);
}

int TCustomDBGridEh::CurrentDataRow() const
{
    if (!FDataLink->Active()) return -1;
    return FFirstDataRow + CurrentDataRowIndex();
}

void TCustomDBGridEh::SyncCurrentRow()
{
    if (RowsFromMemTable()) {
        SyncMemTableCurrentRow();
        return;
    }
    if (!FDataLink->Active()) return;
    int row = CurrentDataRow();
    if (row >= FixedRows() && row < RowCount() && row != Row()) {
        int col = std::max(Col(), FixedCols());
        MoveColRow(col, row, true, false);
    }
}

// ---- footers ----------------------------------------------------------------------------------------

std::string TCustomDBGridEh::FooterValueText(TColumnEh* column, int footerRow)
{
    TColumnFooterEh* f = column->FooterForRow(footerRow);
    TDataSet* ds = FDataLink->DataSet();
    switch (f->ValueType()) {
    case fvtNon: return {};
    case fvtStaticText: return f->Value();
    case fvtCount: {
        TDBSum* s = FSumList->SumCollection()->FindSum(goCount, "");
        double v = s ? s->AggregateValue.ToDouble() : 0;
        if (!f->DisplayFormat().empty()) return FormatFloat(f->DisplayFormat(), v);
        return FloatToStrF(v, ffGeneral, 15, 0);
    }
    case fvtFieldValue: {
        // A footer naming a field the data set lacks shows nothing: a paint
        // must not raise.
        if (!ds || !ds->Active() || f->FieldName().empty()) return {};
        TField* field = ds->FindField(f->FieldName());
        if (!field) return {};
        if (f->DisplayFormat().empty()) return field->DisplayText();
        if (field->IsNull()) return {};
        if (field->InheritsFrom(TNumericField::StaticClass())) return FormatFloat(f->DisplayFormat(), field->AsFloat());
        if (field->InheritsFrom(TDateTimeField::StaticClass()))
            return FormatDateTime(f->DisplayFormat(), field->AsDateTime());
        return {};
    }
    case fvtSum:
    case fvtAvg: {
        std::string name = f->FieldName().empty() ? column->FieldName() : f->FieldName();
        TField* field = ds ? ds->FindField(name) : nullptr;
        if (!field) return "0";
        TDBSum* s = FSumList->SumCollection()->FindSum(f->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
        double v = s ? s->AggregateValue.ToDouble() : 0;
        std::string fieldFormat;
        if (auto* n = DynamicCast<TNumericField>(field)) fieldFormat = n->DisplayFormat();
        TFieldType t = field->DataType();
        if (IsIntegerType(t)) {
            if (!f->DisplayFormat().empty()) return FormatFloat(f->DisplayFormat(), v);
            if (!fieldFormat.empty()) return FormatFloat(fieldFormat, v);
            return IntToStr(int64_t(v));
        }
        if (t == ftFloat || t == ftCurrency) {
            if (!f->DisplayFormat().empty()) return FormatFloat(f->DisplayFormat(), v);
            if (!fieldFormat.empty()) return FormatFloat(fieldFormat, v);
            auto* ff = DynamicCast<TFloatField>(field);
            if (ff && ff->Currency()) return FloatToStrF(v, ffCurrency, ff->Precision(), FormatSettings.CurrencyDecimals);
            return FloatToStrF(v, ffGeneral, ff ? ff->Precision() : 15, 0);
        }
        if (t == ftBCD || t == ftFMTBcd) {
            if (!f->DisplayFormat().empty()) return FormatFloat(f->DisplayFormat(), v);
            Currency c = s ? s->AggregateValue : Currency();
            if (!fieldFormat.empty()) return FormatFloat(fieldFormat, c.ToDouble());
            auto* bf = DynamicCast<TBCDField>(field);
            if (bf && bf->Currency()) return CurrToStrF(c, ffCurrency, FormatSettings.CurrencyDecimals);
            return CurrToStrF(c, ffGeneral, 0);
        }
        return "0";
    }
    }
    return {};
}

// ---- events ------------------------------------------------------------------------------------------

void TCustomDBGridEh::CellClick(TColumnEh* column)
{
    if (OnCellClick) OnCellClick(column);
}

bool TCustomDBGridEh::CheckTitleButton(int aCol, TColumnEh* column)
{
    bool enabled = column && column->Title()->TitleButton();
    if (OnCheckButton) OnCheckButton(this, aCol, column, enabled);
    return enabled;
}

void TCustomDBGridEh::TitleBtnClick(int aCol, TColumnEh* column)
{
    if (OnTitleBtnClick) OnTitleBtnClick(this, aCol, column);
}

void TCustomDBGridEh::TitleClick(TColumnEh* column)
{
    if (OnTitleClick) OnTitleClick(column);
}

void TCustomDBGridEh::DoSortMarkingChanged()
{
    if (!FOptionsEh.Contains(dghAutoSortMarking)) return;
    if (OnSortMarkingChanged) OnSortMarkingChanged(this);
    else SortByDataService();
}

void TCustomDBGridEh::SortByDataService() { DBGridEh::DataService()->RunSort(this); }

void TCustomDBGridEh::GetCellParams(TColumnEh* column, TFont* font, TColor& background, TGridDrawState state)
{
    if (OnGetCellParams) OnGetCellParams(this, column, font, background, state);
}

void TCustomDBGridEh::RebuildSortColumnList()
{
    FSortColumnList.clear();
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumnEh* c = FColumns->Items(i);
        int idx = c->Title()->SortIndex();
        if (idx <= 0) continue;
        if (FSortColumnList.size() < size_t(idx)) FSortColumnList.resize(size_t(idx), nullptr);
        FSortColumnList[size_t(idx - 1)] = c;
    }
}

// ---- hooks of the base --------------------------------------------------------------------------------

bool TCustomDBGridEh::CanEditShow()
{
    if (FLayoutLockCount > 0 || !TCustomGrid::CanEditShow()) return false;
    TColumnEh* c = CurrentColumn();
    if (!c || c->CellKind() == ckKeyImageList || c->CellKind() == ckCheckboxes) return false;
    return true;
}

std::string TCustomDBGridEh::GetEditText(int col, int row)
{
    if (!FDataLink->Active()) return {};
    int d = RawToDataColumn(col);
    if (d < 0 || d >= FColumns->Count()) return {};
    TColumnEh* c = FColumns->Items(d);
    TField* f = c->Field();
    if (!f) return {};
    FEditorValue = Null();
    if (f->FieldKind() == fkLookup && !f->KeyFields().empty() && f->DataSet())
        FEditorValue = f->DataSet()->FieldValues(f->KeyFields());
    if (c->HasKeyList()) {
        FEditorValue = f->IsNull() ? Variant(Null()) : Variant(f->Text());
        int i = c->KeyList()->IndexOf(f->Text());
        FEditorText = i >= 0 && i < c->PickList()->Count() ? c->PickList()->Strings(i) : std::string();
    } else if (FDrawMemoText && f->DataType() == ftMemo) {
        FEditorText = AdjustLineBreaks(f->AsString());
    } else {
        FEditorText = f->Text();
    }
    return FEditorText;
}

void TCustomDBGridEh::SetEditText(int col, int row, const std::string& value) { FEditorText = value; }

std::string TCustomDBGridEh::GetEditMask(int col, int row)
{
    if (!FDataLink->Active()) return {};
    int d = RawToDataColumn(col);
    if (d < 0 || d >= FColumns->Count()) return {};
    TColumnEh* c = FColumns->Items(d);
    TField* f = c->Field();
    return f && !c->HasKeyList() ? f->EditMask() : std::string();
}

bool TCustomDBGridEh::CanEditAcceptKey(char key)
{
    TColumnEh* c = CurrentColumn();
    TField* f = c ? c->Field() : nullptr;
    if (!FDataLink->Active() || !f) return false;
    if (c->HasKeyList()) return true;
    return f->IsValidChar(char32_t(uint8_t(key)));
}

bool TCustomDBGridEh::PrepareEdit()
{
    TColumnEh* c = CurrentColumn();
    if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly() || !c || !FOptions.Contains(dgEditing))
        return false;
    if (!c->CanModify(false)) return false;
    bool editing = FDataLink->Edit();
    if (editing) FDataLink->MarkModified();
    return editing;
}

bool TCustomDBGridEh::CanEditModify()
{
    TColumnEh* c = CurrentColumn();
    if (c && c->CellKind() == ckCheckboxes) return false;
    return PrepareEdit();
}

void TCustomDBGridEh::PostEditText()
{
    TColumnEh* c = CurrentColumn();
    if (!c) return;
    TField* f = c->Field();
    if (!f) {
        c->WriteCellValue(FEditorText, FEditorText, true);
        return;
    }
    auto askNotInList = [&] {
        bool accept = false;
        if (c->OnNotInList) c->OnNotInList(c, FEditorText, accept);
        return accept;
    };
    if (c->HasKeyList()) {
        // The text is one of the pick list's; the field takes the key beside it.
        auto keyOf = [&](int i) { return i >= 0 && i < c->KeyList()->Count() ? Variant(c->KeyList()->Strings(i)) : Variant(Null()); };
        int i = c->PickList()->IndexOf(FEditorText);
        if (i >= 0 && i < c->KeyList()->Count()) {
            FEditorValue = keyOf(i);
        } else if (i < 0 && c->OnNotInList && !FEditorText.empty()) {
            FEditorValue = askNotInList() ? keyOf(c->PickList()->IndexOf(FEditorText)) : Variant(Null());
        } else if (FEditorText.empty()) {
            FEditorValue = Null();
        }
        c->WriteCellValue(FEditorText, FEditorValue, false);
        return;
    }
    if (c->HasPickList()) {
        if (c->OnNotInList && c->PickList()->IndexOf(FEditorText) < 0) askNotInList();
        c->WriteCellValue(FEditorText, FEditorText, true);
        return;
    }
    if (f->FieldKind() == fkLookup && !f->KeyFields().empty() && f->DataSet()) {
        TDataSet* list = c->LookupListDataSet();
        if (VarIsNull(FEditorValue) && !FEditorText.empty() && c->OnNotInList && list) {
            TLocateOptions ci{loCaseInsensitive};
            if (!list->Locate(f->LookupResultField(), FEditorText, ci) && askNotInList() &&
                list->Locate(f->LookupResultField(), FEditorText, ci))
                FEditorValue = list->FieldValues(f->LookupKeyFields());
        }
        std::vector<TField*> keys;
        f->DataSet()->GetFieldList(keys, f->KeyFields());
        bool writable = !keys.empty();
        for (TField* k : keys) writable = writable && k->CanModify();
        if (writable) {
            f->DataSet()->Edit();
            c->WriteCellValue(FEditorText, FEditorValue, false);
        }
        return;
    }
    c->WriteCellValue(FEditorText, FEditorText, true);
}

bool TCustomDBGridEh::CanEditCurrentRecord() const
{
    if (!FDataLink->Active()) return false;
    TDataSet* ds = FDataLink->DataSet();
    if (!FAllowedOperations.Contains(alopUpdateEh) && ds->State() != dsInsert) return false;
    return !ds->IsEmpty() || FAllowedOperations.Contains(alopInsertEh) || FAllowedOperations.Contains(alopAppendEh);
}

void TCustomDBGridEh::DoEditButtonClick()
{
    if (OnEditButtonClick) OnEditButtonClick(this);
}

void TCustomDBGridEh::GetEditCellParams(TColumnEh* column, TFont* font, TColor& background)
{
    background = column->Color();
    GetCellParams(column, font, background, TGridDrawState{gdFocused});
}

TInplaceEdit* TCustomDBGridEh::CreateEditor() { return new TDBGridInplaceEdit(this); }

int TCustomDBGridEh::GetEditLimit()
{
    TColumnEh* c = CurrentColumn();
    if (!c || c->HasKeyList()) return 0;
    TField* f = c->Field();
    return f && f->InheritsFrom(TStringField::StaticClass()) ? f->Size() : 0;
}

void TCustomDBGridEh::ColWidthsChanged()
{
    if ((FDataLink->Active() || FColumns->ColumnsState() == cssCustomized) && TryLockLayout()) {
        try {
            TCustomGrid::ColWidthsChanged();
            for (int i = 0; i < FColumns->Count(); ++i) {
                int raw = DataToRawColumn(i);
                if (raw >= ColCount()) break;
                TColumnEh* c = FColumns->Items(i);
                int w = ColWidths(raw);
                if (w > 0 && c->ClampedWidth(w) != w) SetColWidths(raw, c->ClampedWidth(w));
            }
            for (size_t k = 0; k < FShownColumns.size(); ++k) {
                TColumnEh* c = FShownColumns[k];
                int w = ColWidths(DataToRawColumn(c->Index()));
                if (!FAutoFitColWidths) {
                    if (c->Width() != w) c->SetWidth(w);
                } else if (c->Width() != w) {
                    if (c->AutoFitColWidth() && c->Width() > 0) {
                        int old = c->FBaseWidth;
                        c->FBaseWidth = MulDiv(c->FBaseWidth, w, c->Width());
                        if (k + 1 < FShownColumns.size()) {
                            TColumnEh* n = FShownColumns[k + 1];
                            n->FBaseWidth = std::max(0, n->FBaseWidth + old - c->FBaseWidth);
                        }
                    } else {
                        c->SetWidth(w);
                    }
                }
            }
        } catch (...) {
            UnlockLayout();
            throw;
        }
        UnlockLayout();
    } else {
        TCustomGrid::ColWidthsChanged();
    }
    // An external horizontal bar shows how much of the new widths is out of sight.
    RefreshHorzExtScrollBar();
    if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TCustomDBGridEh::ColumnMoved(int fromIndex, int toIndex)
{
    int from = RawToDataColumn(fromIndex), to = RawToDataColumn(toIndex);
    if (from < 0 || to < 0 || from >= FColumns->Count() || to >= FColumns->Count()) return;
    FColumns->Items(from)->SetColumnIndex(to);
    if (OnColumnMoved) OnColumnMoved(this, from, to);
}
