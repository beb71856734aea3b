#include "DBLookupGridsEh.h"

#include "Messages.h"
#include "TextUtils.h"
#include "TypInfo.h"
#include "ToolCtrlsEh.h"
#include "Windows.h"

#include <algorithm>

using ToolCtrlsEh::SameVariantValue;

namespace {
// When the last search key came, shared by every lookup grid.
uint32_t LastSearchTick = 0;
}

QZ_CLASS_IMPL(TLookupGridDataLinkEh, TDataLink)
QZ_CLASS_IMPL(TDBLookupGridEh, TCustomDBGridEh)
QZ_CLASS_IMPL(TPopupDataGridEh, TDBLookupGridEh)

QZ_CLASS_IMPL_PROPS(TGridColumnSpecCellEh, TPersistent, [](std::vector<TPropInfo>& p) {
    using C = TGridColumnSpecCellEh;
    p.push_back(PublishString<C>("Text", &C::Text, [](C* c, const std::string& v) { c->SetText(v); }));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->TextAssigned(); });
    p.push_back(PublishObject<C>("Font", &C::Font, [](C* c, TFont* v) { c->SetFont(v); }));
    p.back().StoredBy([](TObject* o) { return static_cast<C*>(o)->FontAssigned(); });
})
QZ_CLASS_IMPL(TDBLookupGridColumnEh, TColumnEh)
QZ_CLASS_IMPL_PROPS(TDBLookupGridColumnDefValuesEh, TColumnDefValuesEh, [](std::vector<TPropInfo>& p) {
    using C = TColumnDefValuesEh;
    p.push_back(PublishBool<C>("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis, false));
    p.push_back(PublishObject<C>("Title", &C::Title, &C::SetTitle));
    p.push_back(PublishBool<C>("ToolTips", &C::ToolTips, &C::SetToolTips, false));
})

// ---- the special-row cells of the columns ---------------------------------------------------------

TGridColumnSpecCellEh::TGridColumnSpecCellEh(TColumnEh* column) : FColumn(column), FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TObject*) {
        if (!FRefreshing) FFontAssigned = true;
    };
}

TGridColumnSpecCellEh::~TGridColumnSpecCellEh() { FFont->OnChange = nullptr; }

TSpecRowEh* TGridColumnSpecCellEh::GridSpecRow() const
{
    auto* g = FColumn ? DynamicCast<TDBLookupGridEh>(FColumn->Grid()) : nullptr;
    return g ? g->SpecRow() : nullptr;
}

std::string TGridColumnSpecCellEh::Text() const
{
    if (FTextAssigned) return FText;
    if (TSpecRowEh* row = GridSpecRow()) return row->CellText(FColumn->Index());
    return FText;
}

void TGridColumnSpecCellEh::SetText(const std::string& v)
{
    if (FTextAssigned && v == FText) return;
    FText = v;
    FTextAssigned = true;
}

TColor TGridColumnSpecCellEh::Color() const
{
    if (FColorAssigned) return FColor;
    if (TSpecRowEh* row = GridSpecRow()) return row->Color();
    return FColor;
}

void TGridColumnSpecCellEh::SetColor(TColor v)
{
    if (FColorAssigned && v == FColor) return;
    FColor = v;
    FColorAssigned = true;
}

TFont* TGridColumnSpecCellEh::Font() const
{
    if (!FFontAssigned) {
        TSpecRowEh* row = GridSpecRow();
        if (row && !row->Font()->IsEqual(FFont.get())) {
            auto* self = const_cast<TGridColumnSpecCellEh*>(this);
            self->FRefreshing = true;
            self->FFont->Assign(row->Font());
            self->FRefreshing = false;
        }
    }
    return FFont.get();
}

void TGridColumnSpecCellEh::Assign(TPersistent* source)
{
    if (auto* s = DynamicCast<TGridColumnSpecCellEh>(source)) {
        SetText(s->Text());
        SetColor(s->Color());
        if (s->FontAssigned()) SetFont(s->Font());
        return;
    }
    TPersistent::Assign(source);
}

TDBLookupGridColumnEh::TDBLookupGridColumnEh(TCollection* collection)
    : TColumnEh(collection), FSpecCell(std::make_unique<TGridColumnSpecCellEh>(this))
{
}

TDBLookupGridColumnEh::~TDBLookupGridColumnEh() = default;

void TDBLookupGridColumnEh::Assign(TPersistent* source)
{
    TColumnEh::Assign(source);
    if (auto* c = DynamicCast<TDBLookupGridColumnEh>(source)) FSpecCell->Assign(c->SpecCell());
}

// ---- the value side's link --------------------------------------------------------------------------

void TLookupGridDataLinkEh::ActiveChanged()
{
    if (FGrid) FGrid->DataLinkChanged();
}

void TLookupGridDataLinkEh::LayoutChanged()
{
    if (FGrid) FGrid->DataLinkChanged();
}

void TLookupGridDataLinkEh::RecordChanged(TField* field)
{
    if (!FGrid) return;
    const bool ours = !field || std::find(FGrid->FDataFields.begin(), FGrid->FDataFields.end(), field) !=
                                    FGrid->FDataFields.end();
    if (!ours || FGrid->FValueKeyNames.empty()) return;
    TDataSet* ds = DataSet();
    FGrid->SetKeyValue(ds ? ds->FieldValues(FGrid->FValueKeyNames) : Null());
}

void TLookupGridDataLinkEh::FocusControl(TField*& field)
{
    if (!FGrid || FGrid->FDataFields.empty() || field != FGrid->FDataFields[0] || !FGrid->CanFocus()) return;
    field = nullptr;
    FGrid->SetFocus();
}

// ---- the lookup grid ----------------------------------------------------------------------------------

TDBLookupGridEh::TDBLookupGridEh(TComponent* owner) : TCustomDBGridEh(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetParentColor(false);
    SetColumnsItemClass(TDBLookupGridColumnEh::StaticClass());
    FLookupSource = std::make_unique<TDataSource>();
    FDataLink = std::make_unique<TLookupGridDataLinkEh>(this);
    FSpecRow = std::make_unique<TSpecRowEh>(this);
    FSpecRow->OnSpecRowChanged = [this](TSpecRowEh*) { SpecRowChanged(); };
    SetOptions({dgColLines, dgRowSelect});
    SetOptionsEh(OptionsEh() + TDBGridEhOptions{dghTraceColSizing});
    HorzScrollBar()->SetTracking(true);
    VertScrollBar()->SetTracking(true);
    SetFlat(true);
    SetDrawMemoText(true);
    SetTabStop(false);
    SetVTitleMargin(5);
}

TColumnDefValuesEh* TDBLookupGridEh::MakeColumnDefValues() { return new TDBLookupGridColumnDefValuesEh(this); }

TDBLookupGridEh::~TDBLookupGridEh()
{
    FSpecRow->OnSpecRowChanged = nullptr;
    FDataLink->SetDataSource(nullptr);
}

// ---- settings

void TDBLookupGridEh::SetListSource(TDataSource* v)
{
    if (FLookupMode) DatabaseError(DBLookupGridsEh::SPropDefByLookup, this);
    if (FDataLink->DataSourceFixed()) DatabaseError(DBLookupGridsEh::SDataSourceFixed, this);
    SetDataSource(v);
}

void TDBLookupGridEh::SetKeyField(const std::string& v)
{
    if (FLookupMode) DatabaseError(DBLookupGridsEh::SPropDefByLookup, this);
    if (FDataLink->DataSourceFixed()) DatabaseError(DBLookupGridsEh::SDataSourceFixed, this);
    if (v == FKeyFieldName) return;
    FKeyFieldName = v;
    ListLinkChanged();
    UpdateColumnWidths();
}

void TDBLookupGridEh::SetListField(const std::string& v)
{
    if (v == FListFieldName) return;
    FListFieldName = v;
    ListLinkChanged();
    UpdateColumnWidths();
}

void TDBLookupGridEh::SetListFieldIndex(int v)
{
    if (v == FListFieldIndex) return;
    FListFieldIndex = v;
    ListLinkChanged();
}

void TDBLookupGridEh::SetValueSource(TDataSource* v)
{
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
}

void TDBLookupGridEh::SetValueField(const std::string& v)
{
    if (v == FDataFieldName) return;
    FDataFieldName = v;
    DataLinkChanged();
}

void TDBLookupGridEh::Notification(TComponent* component, TOperation operation)
{
    TCustomDBGridEh::Notification(component, operation);
    if (operation == opRemove && FDataLink && component == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBLookupGridEh::SetKeyValue(const Variant& v)
{
    if (SameVariantValue(v, FKeyValue) && VarIsNull(v) == VarIsNull(FKeyValue)) return;
    FKeyValue = v;
    KeyValueChanged();
}

void TDBLookupGridEh::SetListRowCount(int v)
{
    FListRowCount = std::clamp(v, 1, 100);
    ApplyListRowCount();
}

void TDBLookupGridEh::ApplyListRowCount()
{
    const bool rowLines = Options().Contains(dgRowLines);
    const int lw = rowLines ? GridLineWidth() : 0;
    int h = 0;
    if (Options().Contains(dgTitles)) h += RowHeights(0) + lw;
    h += FListRowCount * (DefaultRowHeight() + lw);
    h += BorderHeight();
    if (FSpecRow->Visible()) h += SpecRowHeight();
    TCustomDBGridEh::SetBounds(Left(), Top(), Width(), h);
}

void TDBLookupGridEh::SetShowTitleRow(bool v)
{
    TDBGridOptions o = Options();
    if (v) o.Include(dgTitles);
    else o.Exclude(dgTitles);
    SetOptions(o);
    ApplyListRowCount();
}

void TDBLookupGridEh::SetAutoFitList(bool v)
{
    if (v == FAutoFitList) return;
    FAutoFitList = v;
    HorzScrollBar()->SetVisible(!v);
    ApplyListRowCount();
    RefreshVertScrollBar();
    UpdateColumnWidths();
}

void TDBLookupGridEh::SetLookupOptions(TDBLookupGridEhOptions v)
{
    FLookupOptions = v;
    TDBGridOptions o = Options();
    auto put = [&](bool on, TDBGridOption opt) {
        if (on) o.Include(opt);
        else o.Exclude(opt);
    };
    put(v.Contains(dlgColumnResizeEh), dgColumnResize);
    put(v.Contains(dlgColLinesEh), dgColLines);
    put(v.Contains(dlgRowLinesEh), dgRowLines);
    SetOptions(o);
    TDBGridEhOptions e = OptionsEh();
    if (v.Contains(dlgAutoSortMarkingEh)) e.Include(dghAutoSortMarking);
    else e.Exclude(dghAutoSortMarking);
    if (v.Contains(dlgMultiSortMarkingEh)) e.Include(dghMultiSortMarking);
    else e.Exclude(dghMultiSortMarking);
    SetOptionsEh(e);
}

int TDBLookupGridEh::TotalColumnWidth() const
{
    int w = 0;
    const int lw = Options().Contains(dgColLines) ? GridLineWidth() : 0;
    for (int i = 0; i < Columns()->Count(); ++i) {
        TColumnEh* c = Columns()->Items(i);
        if (c->Visible()) w += FAutoFitList ? c->BaseWidth() : c->Width();
        w += lw;
    }
    return w;
}

int TDBLookupGridEh::ListRowHeight() const
{
    return DefaultRowHeight() + (Options().Contains(dgRowLines) ? GridLineWidth() : 0);
}

int TDBLookupGridEh::SpecRowHeight() const { return ListRowHeight(); }

int TDBLookupGridEh::BorderHeight() const { return HandleAllocated() ? Height() - ClientHeight() : 0; }

// ---- the links

void TDBLookupGridEh::DataLinkChanged()
{
    FValueKeyNames.clear();
    FDataFields.clear();
    if (FDataLink->Active() && !FDataFieldName.empty()) {
        TDataSet* ds = FDataLink->DataSet();
        if (DataLink()->Active() && FDataLink->DataSource()->IsLinkedTo(DataLink()->DataSet()))
            DatabaseError(DBLookupGridsEh::SCircularDataLink, this);
        ds->GetFieldList(FDataFields, FDataFieldName);
        if (FDataFields.size() == 1 && FDataFields[0]->Lookup()) FValueKeyNames = FDataFields[0]->KeyFields();
        else FValueKeyNames = FDataFieldName;
    }
    const bool lookup = FDataFields.size() == 1 && FDataFields[0]->Lookup();
    if (lookup) {
        TField* f = FDataFields[0];
        FLookupMode = true;
        FLookupSource->SetDataSet(f->LookupDataSet());
        FKeyFieldName = f->LookupKeyFields();
        SetDataSource(FLookupSource.get());
    } else if (FLookupMode) {
        FLookupMode = false;
        SetDataSource(nullptr);
        FKeyFieldName.clear();
        FLookupSource->SetDataSet(nullptr);
    }
    ListLinkChanged();
    Variant key = Null();
    if (!FValueKeyNames.empty() && FDataLink->DataSet()) key = FDataLink->DataSet()->FieldValues(FValueKeyNames);
    SetKeyValue(key);
}

void TDBLookupGridEh::ListLinkChanged()
{
    FListActive = false;
    FListField = nullptr;
    FListFields.clear();
    FKeyFields.clear();
    auto finish = [this] {
        if (FListActive) KeyValueChanged();
        else UpdateListInfo();
    };
    try {
        if (DataLink()->Active() && !FKeyFieldName.empty()) {
            TDataSet* list = DataLink()->DataSet();
            if (FDataLink->Active() && !FDataFields.empty() && FDataLink->DataSource()->IsLinkedTo(list))
                DatabaseError(DBLookupGridsEh::SCircularDataLink, this);
            list->GetFieldList(FKeyFields, FKeyFieldName);
            if (!FLookupMode) {
                try {
                    list->GetFieldList(FListFields, FListFieldName);
                } catch (const EDatabaseError&) {
                    FListFields.clear();
                    DatabaseErrorFmt(DBConsts::SFieldNotFound, {FListFieldName}, this);
                }
                if (FListFieldName.empty()) FListFields = FKeyFields;
                if (!FListFields.empty())
                    FListField = FListFieldIndex >= 0 && FListFieldIndex < int(FListFields.size())
                                     ? FListFields[size_t(FListFieldIndex)]
                                     : FListFields[0];
            } else {
                FListField = list->FieldByName(FDataFields[0]->LookupResultField());
                if (std::find(FListFields.begin(), FListFields.end(), FListField) == FListFields.end())
                    FListFields.insert(FListFields.begin(), FListField);
            }
            FListActive = true;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// ---- the key

bool TDBLookupGridEh::KeyValueFits(const std::vector<TField*>& fields, const Variant& value) const
{
    if (fields.size() == 1) return !VarIsArray(value);
    if (fields.size() > 1 && VarIsArray(value))
        return VarArrayHighBound(value, 1) - VarArrayLowBound(value, 1) + 1 == int(fields.size());
    return false;
}

bool TDBLookupGridEh::FindKeyRecord()
{
    const Variant saved = FKeyValue;
    TDataSet* list = DataLink()->DataSet();
    try {
        if (VarIsNull(FKeyValue) || !list || !list->Active() || !KeyValueFits(FKeyFields, FKeyValue)) return false;
        if (!list->Locate(FKeyFieldName, FKeyValue, {})) return false;
        FKeyValue = saved;
        return true;
    } catch (...) {
        return false;
    }
}

Variant TDBLookupGridEh::CurrentKey() const
{
    TDataSet* list = DataLink()->DataSet();
    return list && !FKeyFieldName.empty() ? list->FieldValues(FKeyFieldName) : Null();
}

void TDBLookupGridEh::KeyValueChanged()
{
    if (FSpecRow->Visible()) {
        FSpecRowSelected = SameVariantValue(FKeyValue, FSpecRow->Value()) &&
                           VarIsNull(FKeyValue) == VarIsNull(FSpecRow->Value());
        if (!FSpecRowSelected && !FSelecting && FSpecRow->ShowIfNotInKeyList()) {
            // A key the list does not hold shows as the special row.
            if (FindKeyRecord()) UpdateListInfo();
            else FSpecRowSelected = true;
        }
    } else {
        FSpecRowSelected = false;
    }
    if (FListActive && !FSelecting) {
        if (FindKeyRecord() || FSpecRowSelected) UpdateListInfo();
        else if (TDataSet* list = DataLink()->DataSet()) list->First();
    }
    if (FListField) {
        FSelectedText = FSpecRow->Visible() && FSpecRowSelected ? FSpecRow->CellText(FListFieldIndex)
                                                                 : FListField->DisplayText();
    } else {
        FSelectedText.clear();
    }
    SyncCurrentRow();
    Invalidate();
}

void TDBLookupGridEh::SelectKeyValue(const Variant& value)
{
    if (FValueKeyNames.empty()) {
        SetKeyValue(value);
    } else if (FDataLink->Edit()) {
        FDataLink->DataSet()->SetFieldValues(FValueKeyNames, value);
    }
    SyncCurrentRow();
    Invalidate();
    if (OnClick) OnClick(this);
}

void TDBLookupGridEh::SelectCurrent()
{
    FSelecting = true;
    try {
        const Variant key = CurrentKey();
        if (!SameVariantValue(key, FKeyValue) || VarIsNull(FKeyValue) || FSpecRowSelected) {
            FSpecRowSelected = false;
            SelectKeyValue(key);
        }
    } catch (...) {
        FSelecting = false;
        throw;
    }
    FSelecting = false;
    FSpecRowSelected = false;
    if (FListField) FSelectedText = FListField->DisplayText();
}

void TDBLookupGridEh::SelectSpecRow()
{
    FSelecting = true;
    try {
        if (!SameVariantValue(FSpecRow->Value(), FKeyValue) || VarIsNull(FSpecRow->Value()) != VarIsNull(FKeyValue))
            SelectKeyValue(FSpecRow->Value());
    } catch (...) {
        FSelecting = false;
        throw;
    }
    FSelecting = false;
    FSpecRowSelected = true;
    FSelectedText = FSpecRow->CellText(FListFieldIndex);
    Invalidate();
}

void TDBLookupGridEh::SpecRowChanged()
{
    if (ComponentState().Contains(csLoading)) return;
    RequestLayout();
    Invalidate();
}

bool TDBLookupGridEh::CanSelectKey() const
{
    if (!FListActive || FDataLink->ReadOnly()) return false;
    if (!FDataLink->DataSource()) return true;
    if (FValueKeyNames.empty()) return false;
    std::vector<TField*> keys;
    FDataLink->DataSet()->GetFieldList(keys, FValueKeyNames);
    for (TField* f : keys)
        if (!f->CanModify()) return false;
    return true;
}

void TDBLookupGridEh::UpdateListInfo()
{
    if (FListActive) {
        FRecordIndex = DataLink()->ActiveRecord();
        FRecordCount = DataLink()->RecordCount();
    } else {
        FRecordIndex = FRecordCount = 0;
    }
    if (HandleAllocated()) {
        RefreshVertScrollBar();
        RequestLayout();
    }
}

void TDBLookupGridEh::UpdateColumnWidths()
{
    if (FUpdatingWidths) return;
    FUpdatingWidths = true;
    try {
        if (FAutoFitList) SetAutoFitColWidths(true);
        for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->SetBaseWidth(Columns()->Items(i)->Width());
        SetAutoFitColWidths(false);
        ApplyListRowCount();
    } catch (...) {
        FUpdatingWidths = false;
        throw;
    }
    FUpdatingWidths = false;
}

void TDBLookupGridEh::ColWidthsChanged()
{
    TCustomDBGridEh::ColWidthsChanged();
    if (!FAutoFitList || FUpdatingWidths) return;
    SetClientWidth(TotalColumnWidth() - (Options().Contains(dgColLines) ? 0 : 0));
    for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->SetBaseWidth(Columns()->Items(i)->Width());
}

// ---- the grid's work, redefined

int TDBLookupGridEh::FilterRowCount() const { return FSpecRow && FSpecRow->Visible() ? 1 : 0; }

void TDBLookupGridEh::SetBounds(int left, int top, int width, int height)
{
    const bool rowLines = Options().Contains(dgRowLines);
    const int title = Options().Contains(dgTitles) ? RowHeights(0) + (rowLines ? GridLineWidth() : 0) : 0;
    const int specialRow = FSpecRow && FSpecRow->Visible() ? SpecRowHeight() : 0;
    const int rowH = std::max(1, ListRowHeight());
    FListRowCount = std::clamp((height - BorderHeight() - title - specialRow) / rowH, 1, 100);
    const int h = title + BorderHeight() + rowH * FListRowCount + specialRow;
    const bool fit = FAutoFitList && !AutoFitColWidths();
    if (fit) SetAutoFitColWidths(true);
    TCustomDBGridEh::SetBounds(left, top, width, h);
    if (fit) SetAutoFitColWidths(false);
}

void TDBLookupGridEh::CreateWnd()
{
    TCustomDBGridEh::CreateWnd();
    ApplyListRowCount();
}

void TDBLookupGridEh::LinkActiveChanged(bool active)
{
    ListLinkChanged();
    TCustomDBGridEh::LinkActiveChanged(active);
    UpdateColumnWidths();
}

void TDBLookupGridEh::RefreshFromData()
{
    TCustomDBGridEh::RefreshFromData();
    UpdateListInfo();
}

void TDBLookupGridEh::DataScrolled(int distance)
{
    LockPaint();
    try {
        TCustomDBGridEh::DataScrolled(distance);
    } catch (...) {
        UnlockPaint();
        throw;
    }
    UnlockPaint();
    UpdateListInfo();
}

void TDBLookupGridEh::RecalcRowCount()
{
    if (FInRecalc) return;
    FInRecalc = true;
    try {
        TCustomDBGridEh::RecalcRowCount();
        UpdateListInfo();
    } catch (...) {
        FInRecalc = false;
        throw;
    }
    FInRecalc = false;
}

void TDBLookupGridEh::BuildFieldMap()
{
    if (Columns()->ColumnsState() == cssCustomized || FListFields.empty()) {
        TCustomDBGridEh::BuildFieldMap();
        return;
    }
    DataLink()->SetByColumnNames(false);
    for (TField* f : FListFields) DataLink()->MapField(f->FieldName());
}

bool TDBLookupGridEh::RowIsKey() const
{
    if (VarIsNull(FKeyValue) || !DataLink()->Active() || FSpecRowSelected) return false;
    return SameVariantValue(CurrentKey(), FKeyValue);
}

void TDBLookupGridEh::SyncCurrentRow()
{
    if (!DataLink()->Active() || !HandleAllocated() || ComponentState().Contains(csLoading)) return;
    TCustomDBGridEh::SyncCurrentRow();
}

void TDBLookupGridEh::GetCellParams(TColumnEh* column, TFont* font, TColor& background, TGridDrawState state)
{
    // Only the record of the key is highlighted, wherever the list's cursor is.
    if (RowIsKey() && LayoutLockCount() == 0) {
        background = clHighlight;
        font->SetColor(clHighlightText);
    } else {
        background = column->Color();
        font->SetColor(column->Font()->Color());
    }
    TCustomDBGridEh::GetCellParams(column, font, background, state);
}

void TDBLookupGridEh::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (!FSpecRow->Visible() || row != FirstDataRow() - 1) {
        TCustomDBGridEh::DrawCell(col, row, rect, state);
        return;
    }
    TCanvas* c = Canvas();
    const int dataCol = col - IndicatorColCount();
    auto* column = dataCol >= 0 && dataCol < Columns()->Count() ? DynamicCast<TDBLookupGridColumnEh>(Columns()->Items(dataCol))
                                                                 : nullptr;
    c->Font()->Assign(column ? column->SpecCell()->Font() : FSpecRow->Font());
    TColor bg = column ? column->SpecCell()->Color() : FSpecRow->Color();
    if (FSpecRowSelected) {
        bg = clHighlight;
        c->Font()->SetColor(clHighlightText);
    }
    c->Brush()->SetColor(bg);
    c->FillRect(rect);
    if (!column) return;
    const std::string text = column->SpecCell()->Text();
    const int tw = c->TextWidth(text);
    int x = rect.Left + 2;
    if (column->Alignment() == taRightJustify) x = rect.Right - 2 - tw;
    else if (column->Alignment() == taCenter) x = rect.Left + (rect.Width() - tw) / 2;
    c->Brush()->SetStyle(bsClear);
    c->TextRect(rect, x, rect.Top + 2, text);
    c->Brush()->SetStyle(bsSolid);
    if (FSpecRowSelected && Focused()) {
        TRect whole{0, rect.Top, ClientWidth(), rect.Bottom};
        c->DrawFocusRect(whole);
    }
}

void TDBLookupGridEh::ColumnMoved(int fromIndex, int toIndex)
{
    const int from = RawToDataColumn(fromIndex), to = RawToDataColumn(toIndex);
    const int n = Columns()->Count();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n) {
        TCustomDBGridEh::ColumnMoved(fromIndex, toIndex);
        return;
    }
    LockPaint();
    try {
        std::vector<std::string> cells;
        for (int i = 0; i < n; ++i) cells.push_back(FSpecRow->CellText(i));
        std::string moved = cells[size_t(from)];
        cells.erase(cells.begin() + from);
        cells.insert(cells.begin() + to, moved);
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i) text += ';';
            const std::string& c = cells[i];
            if (c.find_first_of(";\"") == std::string::npos) {
                text += c;
                continue;
            }
            text += '"';
            for (char ch : c) text += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            text += '"';
        }
        FSpecRow->SetCellsText(text);
        const bool active = DataLink()->Active();
        if (active) {
            int idx = FListFieldIndex;
            if (idx == from) idx = to;
            else {
                if (from < idx) --idx;
                if (to <= idx) ++idx;
            }
            FListFieldIndex = idx;
        }
        TCustomDBGridEh::ColumnMoved(fromIndex, toIndex);
        if (active) {
            std::string names;
            for (int i = 0; i < n; ++i) names += (i ? ";" : "") + Columns()->Items(i)->FieldName();
            SetListField(names);
        }
    } catch (...) {
        UnlockPaint();
        throw;
    }
    UnlockPaint();
    Invalidate();
}

// ---- keys

void TDBLookupGridEh::MoveList(int distance)
{
    if (TDataSet* list = DataLink()->DataSet()) list->MoveBy(distance);
}

bool TDBLookupGridEh::AtKeyRow()
{
    // The list's cursor goes to the key's record when it is shown.
    if (RowIsKey()) return true;
    return false;
}

void TDBLookupGridEh::KeyDown(WORD& key, TShiftState shift)
{
    if (!CanSelectKey()) {
        TCustomDBGridEh::KeyDown(key, shift);
        return;
    }
    const bool horzBar = HorzScrollBar()->Visible() && (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth);
    const int rows = std::max(1, VisibleDataRowCount());
    int distance = 0;
    bool up = false, move = true, first = false, last = false;
    switch (key) {
    case VK_PRIOR: distance = 1 - rows; up = true; break;
    case VK_NEXT: distance = rows - 1; break;
    case VK_HOME: first = up = true; break;
    case VK_END: last = true; break;
    case VK_UP: distance = -1; up = true; break;
    case VK_DOWN: distance = 1; break;
    case VK_LEFT:
        if (horzBar) move = false;
        else { distance = -1; up = true; }
        break;
    case VK_RIGHT:
        if (horzBar) move = false;
        else distance = 1;
        break;
    default: move = false; break;
    }
    if (!move) {
        TCustomDBGridEh::KeyDown(key, shift);
        return;
    }
    FSearchText.clear();
    TDataSet* list = DataLink()->DataSet();
    key = 0;
    if (!list) return;
    if (up && FSpecRow->Visible() && (list->Bof() || list->RecNo() <= 1 || FSpecRowSelected)) {
        list->First();
        SelectSpecRow();
        return;
    }
    if (FSpecRowSelected && !up) {
        // Down from the special row starts at the first record.
        list->First();
        if (last) list->Last();
        else if (distance > 1) list->MoveBy(distance - 1);
        SelectCurrent();
        return;
    }
    if (!VarIsNull(FKeyValue) && !RowIsKey() && !FindKeyRecord()) {
        KeyValueChanged();
        distance = 0;
    }
    if (first) list->First();
    else if (last) list->Last();
    else list->MoveBy(distance);
    SelectCurrent();
}

void TDBLookupGridEh::KeyPress(char& key)
{
    if (FListField) {
        SearchKey(key);
        // A lead byte stays so that its trail byte follows.
        if (FSearchLead) return;
        if (key == 8 || key == 27 || static_cast<unsigned char>(key) >= 32) {
            key = 0;
            return;
        }
    }
    TCustomDBGridEh::KeyPress(key);
}

void TDBLookupGridEh::SearchKey(char key)
{
    if (!FListField) return;
    const TFieldType t = FListField->DataType();
    if (t != ftString && t != ftWideString && t != ftFixedChar) return;
    if (FListField->FieldKind() != fkData && FListField->FieldKind() != fkInternalCalc) return;
    if (key == 8 || key == 27) {
        FSearchText.clear();
        return;
    }
    if (static_cast<unsigned char>(key) < 32 || !CanSelectKey()) return;
    const uint32_t now = GetTickCount();
    if (now - LastSearchTick > DBLookupGridsEh::SearchTimeout) FSearchText.clear();
    LastSearchTick = now;
    if (Length(FSearchText) >= DBLookupGridsEh::MaxSearchLength) return;
    // A Chinese character arrives as its two GBK bytes; the lead byte waits.
    const auto byte = static_cast<unsigned char>(key);
    if (!FSearchLead && byte >= 0x81 && byte <= 0xFE) {
        FSearchLead = key;
        return;
    }
    const std::string typed = FSearchLead ? GbkToUtf8(std::string{FSearchLead, key}) : std::string(1, key);
    FSearchLead = 0;
    const std::string candidate = FSearchText + typed;
    TDataSet* list = DataLink()->DataSet();
    try {
        const std::string wanted = AnsiUpperCase(candidate);
        TBookmarkStr here = list->Bookmark();
        bool found = false;
        Variant key;
        list->DisableControls();
        try {
            for (list->First(); !list->Eof(); list->Next()) {
                if (AnsiUpperCase(FListField->DisplayText()).rfind(wanted, 0) == 0) {
                    found = true;
                    key = CurrentKey();
                    break;
                }
            }
            if (!found) list->SetBookmark(here);
        } catch (...) {
            list->EnableControls();
            throw;
        }
        list->EnableControls();
        if (found) {
            SelectCurrent();
            FSearchText = candidate;
        }
    } catch (...) {
        FSearchText = candidate;
    }
}

// ---- the mouse

void TDBLookupGridEh::SelectAt(int y)
{
    TDataSet* list = DataLink()->DataSet();
    if (!list) return;
    const TRect specialRow = FSpecRow->Visible() ? CellRect(IndicatorColCount(), FirstDataRow() - 1) : TRect{0, 0, 0, 0};
    if (FSpecRow->Visible() && y >= specialRow.Top && y < specialRow.Bottom) {
        SelectSpecRow();
        return;
    }
    const int top = FSpecRow->Visible() ? specialRow.Bottom : CellRect(IndicatorColCount(), FirstDataRow()).Top;
    y = std::clamp(y, top, std::max(top, ClientHeight() - 1));
    const int row = (y - top) / std::max(1, ListRowHeight());
    const int target = std::min(row, std::max(0, DataLink()->RecordCount() - 1));
    list->MoveBy(target - DataLink()->ActiveRecord());
    SelectCurrent();
}

void TDBLookupGridEh::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const TGridCoord cell = MouseCoord(x, y);
    const bool onSpec = FSpecRow->Visible() && cell.Y == FirstDataRow() - 1;
    if (!onSpec && (cell.Y < FirstDataRow() || cell.X < IndicatorColCount())) {
        TCustomDBGridEh::MouseDown(button, shift, x, y);
        return;
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    if (button != mbLeft) return;
    FSearchText.clear();
    if (!FInDropDown) {
        if (CanFocus() && !Focused()) SetFocus();
        if (!Focused()) return;
    }
    if (!CanSelectKey()) return;
    if (shift.Contains(ssDouble) && (onSpec ? FSpecRowSelected : cell.Y == Row())) {
        if (OnDblClick) OnDblClick(this);
        return;
    }
    SetMouseCapture(true);
    FTracking = true;
    SelectAt(y);
}

void TDBLookupGridEh::MouseMove(TShiftState shift, int x, int y)
{
    if (!FTracking) {
        TCustomDBGridEh::MouseMove(shift, x, y);
        return;
    }
    FDragY = y;
    if (y >= 0 && y < ClientHeight()) {
        if (HandleAllocated()) KillTimer(Handle(), DBGridEh::AutoScrollTimerId);
        SelectAt(y);
    } else {
        AutoScrollStep();
    }
}

void TDBLookupGridEh::AutoScrollStep()
{
    TDataSet* list = DataLink()->DataSet();
    if (!FTracking || !list || !HandleAllocated()) return;
    int distance;
    if (FDragY < 0) {
        if (FSpecRow->Visible() && list->RecNo() <= 1) SelectSpecRow();
        else {
            list->MoveBy(-1);
            SelectCurrent();
        }
        distance = -FDragY;
    } else if (FDragY >= ClientHeight()) {
        list->MoveBy(1);
        SelectCurrent();
        distance = FDragY - ClientHeight() + 1;
    } else {
        KillTimer(Handle(), DBGridEh::AutoScrollTimerId);
        return;
    }
    SetTimer(Handle(), DBGridEh::AutoScrollTimerId, UINT(std::max(0, 200 - 15 * distance)));
}

void TDBLookupGridEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FTracking) {
        TCustomDBGridEh::MouseUp(button, shift, x, y);
        return;
    }
    FTracking = false;
    if (HandleAllocated()) KillTimer(Handle(), DBGridEh::AutoScrollTimerId);
    SetMouseCapture(false);
    if (y >= 0 && y < ClientHeight()) SelectAt(y);
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TDBLookupGridEh::DoMouseWheelDown(TShiftState, TPoint)
{
    // The window scrolls by a row; the key stays.
    if (TDataSet* list = DataLink()->DataSet())
        list->MoveBy(DataLink()->RecordCount() - DataLink()->ActiveRecord());
    return true;
}

bool TDBLookupGridEh::DoMouseWheelUp(TShiftState, TPoint)
{
    if (TDataSet* list = DataLink()->DataSet()) list->MoveBy(-DataLink()->ActiveRecord() - 1);
    return true;
}

void TDBLookupGridEh::RefreshVertScrollBar()
{
    if (HasMemTable()) {
        // A memtable list scrolls as the grid's own rows.
        TCustomDBGridEh::RefreshVertScrollBar();
        return;
    }
    if (!HandleAllocated() || !DataLink()) return;
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = si.nMax = si.nPos = 0;
    si.nPage = 0;
    TDataSet* ds = DataLink()->DataSet();
    bool scrolls = false;
    if (!FListActive || !ds) {
        si.fMask = SIF_RANGE;
        si.nMax = 2;
    } else if (ds->IsSequenced()) {
        const int rows = std::max(1, DataLink()->BufferCount());
        si.nPage = UINT(rows);
        si.nMax = std::max(0, ds->RecordCount() - 1);
        si.nPos = ds->State() == dsInsert ? 0 : std::max(0, ds->RecNo() - DataLink()->ActiveRecord() - 1);
        scrolls = ds->RecordCount() > rows;
    } else {
        // A list that cannot say where a record stands: top, middle or end.
        const bool allFit = DataLink()->RecordCount() < DataLink()->BufferCount() ||
                            (ds->Bof() && ds->Eof());
        si.nMax = allFit ? 0 : 4;
        si.nPos = allFit || ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
        scrolls = !allFit;
    }
    TScrollInfo old;
    old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const bool known = GetScrollInfo(Handle(), SB_VERT, &old) != 0;
    const bool changed = !known || old.nMin != si.nMin || old.nMax != si.nMax ||
                         ((si.fMask & SIF_PAGE) && old.nPage != si.nPage) || ((si.fMask & SIF_POS) && old.nPos != si.nPos);
    if (changed) SetScrollInfo(Handle(), SB_VERT, &si, 1);
    // While a list shows, its bar stays (disabled when every record fits):
    // a bar coming and going would change the width, bring or take the
    // horizontal bar and so cost the list a row it was sized for.
    const TScrollBarVisibleModeEh mode = VertScrollBar()->VisibleMode();
    const bool show = mode == sbAlwaysShowEh || (mode == sbAutoShowEh && FListActive && ds);
    ShowScrollBar(Handle(), SB_VERT, show ? 1 : 0);
    if (show) EnableScrollBar(Handle(), SB_VERT, scrolls ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

void TDBLookupGridEh::ScrollWindowTo(int first)
{
    TDataSet* ds = DataLink()->DataSet();
    const int count = ds->RecordCount();
    if (count <= 0) return;
    const int rows = std::max(1, DataLink()->BufferCount());
    first = std::clamp(first, 1, std::max(1, count - rows + 1));
    const int shownFirst = ds->RecNo() - DataLink()->ActiveRecord();
    // A record above the window comes in as its first row, one below it as its last.
    if (first < shownFirst) ds->MoveBy(first - ds->RecNo());
    else if (first > shownFirst) ds->MoveBy(std::min(count, first + rows - 1) - ds->RecNo());
}

void TDBLookupGridEh::WMVScroll(TMessage& m)
{
    m.Result = 0;
    FSearchText.clear();
    TDataSet* ds = DataLink()->DataSet();
    if (!FListActive || !ds) return;
    const int code = LOWORD(m.WParam);
    int thumb = int16_t(HIWORD(m.WParam));
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        if (HandleAllocated() && GetScrollInfo(Handle(), SB_VERT, &si)) thumb = si.nTrackPos;
    }
    const int index = DataLink()->ActiveRecord(), count = DataLink()->RecordCount();
    switch (code) {
    case SB_LINEUP: ds->MoveBy(-index - 1); break;
    case SB_LINEDOWN: ds->MoveBy(count - index); break;
    case SB_PAGEUP: ds->MoveBy(1 - index - count); break;
    case SB_PAGEDOWN: ds->MoveBy(2 * count - index - 2); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBTRACK:
        if (ds->IsSequenced()) ScrollWindowTo(thumb + 1);
        break;
    case SB_THUMBPOSITION:
        // A sequenced list's thumb names its first record; the three-place
        // thumb of another list names a move.
        if (ds->IsSequenced()) ScrollWindowTo(thumb + 1);
        else if (thumb == 0) ds->First();
        else if (thumb == 1) ds->MoveBy(1 - index - count);
        else if (thumb == 3) ds->MoveBy(2 * count - index - 2);
        else if (thumb == 4) ds->Last();
        break;
    default: break;
    }
}

void TDBLookupGridEh::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_VSCROLL:
        if (HasMemTable()) break;
        WMVScroll(message);
        return;

    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS:
        FSearchText.clear();
        Invalidate();
        break;
    case WM_KILLFOCUS:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomDBGridEh::Dispatch(message);
}

// ---- the drop-down --------------------------------------------------------------------------------

namespace {
constexpr LRESULT MaNoActivate = 3;   // a click does not activate the window
}

struct TPopupDataGridEh::TUserAction {
    int& Count;
    explicit TUserAction(int& c) : Count(c) { ++Count; }
    ~TUserAction() { --Count; }
};

TPopupDataGridEh::TPopupDataGridEh(TComponent* owner) : TDBLookupGridEh(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csNoDesignVisible, csReplicatable});
    SetInDropDown(true);
    FSizeGrip = new TSizeGripEh(this);
    FSizeGrip->SetParent(this);
    FSizeGrip->SetTriangularShape(true);
    SetShowHint(true);
}

TPopupDataGridEh::~TPopupDataGridEh() = default;

void TPopupDataGridEh::CreateParams(TCreateParams& params)
{
    TDBLookupGridEh::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN | (Ctl3D() ? 0 : WS_BORDER);
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    params.WindowClassStyle |= CS_SAVEBITS | CS_HREDRAW;
    params.WndParent = nullptr;
}

void TPopupDataGridEh::KeyValueChanged()
{
    TDBLookupGridEh::KeyValueChanged();
    if (OnKeyValueChangedByUser && FUserAction > 0) OnKeyValueChangedByUser(this);
}

void TPopupDataGridEh::KeyDown(WORD& key, TShiftState shift)
{
    TUserAction a(FUserAction);
    TDBLookupGridEh::KeyDown(key, shift);
}

void TPopupDataGridEh::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TUserAction a(FUserAction);
    FPressedInside = true;
    TDBLookupGridEh::MouseDown(button, shift, x, y);
}

void TPopupDataGridEh::MouseMove(TShiftState shift, int x, int y)
{
    TUserAction a(FUserAction);
    TDBLookupGridEh::MouseMove(shift, x, y);
    // The highlight follows the mouse while no button is held.
    const bool held = shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
    if (held || ValueReadOnly() || x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) return;
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.Y >= FirstDataRow() - (SpecRow()->Visible() ? 1 : 0) && cell.X >= IndicatorColCount() && CanSelectKey())
        SelectAt(y);
}

int TPopupDataGridEh::ReleaseOutcome(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.X < IndicatorColCount() || cell.Y < 0) return -1;
    if (cell.Y >= FirstDataRow()) return 1;
    if (SpecRow()->Visible() && cell.Y == FirstDataRow() - 1) return 1;
    return -1;
}

void TPopupDataGridEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TUserAction a(FUserAction);
    const TGridState before = GridState();
    TDBLookupGridEh::MouseUp(button, shift, x, y);
    if (before != gsNormal || !FPressedInside) return;
    FPressedInside = false;
    const int outcome = ReleaseOutcome(x, y);
    if (outcome >= 0 && OnMouseCloseUp) OnMouseCloseUp(this, outcome == 1);
}

void TPopupDataGridEh::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_MOUSEACTIVATE:
        message.Result = MaNoActivate;
        return;
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_GRIPFLIPEH:
        FSizeGrip->FlipCorner(static_cast<TGripFlipEh>(message.WParam & 0xFF));
        return;
    case WM_WINDOWPOSCHANGING:
        if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) && message.LParam) {
            auto* pos = reinterpret_cast<TWindowPos*>(message.LParam);
            if (!(pos->flags & SWP_NOSIZE)) {
                pos->cx = std::max(pos->cx, GetSystemMetrics(SM_CXVSCROLL));
                pos->cy = std::max(pos->cy, GetSystemMetrics(SM_CYHSCROLL));
            }
        }
        break;
    default:
        break;
    }
    TDBLookupGridEh::Dispatch(message);
    if (message.Msg == WM_SIZE) {
        FSizeGrip->StickToCorner();
        FSizeChanged = true;
    }
}
