#include "cxGridBandedTableView.h"

#include "StringLists.h"
#include "cxGrid.h"
#include "cxGridBandedController.h"
#include "cxGridBandedLayout.h"
#include "cxGridBandedPainters.h"
#include "cxLookAndFeelPainters.h"

#include <algorithm>
#include <tuple>

QZ_CLASS_IMPL(TcxGridBandOptions, TPersistent)
QZ_CLASS_IMPL(TcxGridBandRow, TObject)
QZ_CLASS_IMPL(TcxGridBandRows, TObject)
QZ_CLASS_IMPL(TcxGridBandStyles, TcxCustomGridStyles)
QZ_CLASS_IMPL(TcxGridBand, TCollectionItem)
QZ_CLASS_IMPL(TcxGridBands, TOwnedCollection)
QZ_CLASS_IMPL(TcxGridBandedColumnPosition, TcxCustomGridTableItemCustomOptions)
QZ_CLASS_IMPL(TcxGridBandedColumnOptions, TcxGridColumnOptions)
QZ_CLASS_IMPL(TcxGridBandedColumnStyles, TcxGridColumnStyles)
QZ_CLASS_IMPL(TcxGridBandedColumn, TcxGridColumn)
QZ_CLASS_IMPL(TcxGridBandedTableOptionsCustomize, TcxGridTableOptionsCustomize)
QZ_CLASS_IMPL(TcxGridBandedTableOptionsView, TcxGridTableOptionsView)
QZ_CLASS_IMPL(TcxGridBandedTableViewStyles, TcxGridTableViewStyles)
QZ_CLASS_IMPL(TcxGridBandedTableViewStyleSheet, TcxCustomStyleSheet)
QZ_CLASS_IMPL(TcxGridBandedTableBackgroundBitmaps, TcxGridTableBackgroundBitmaps)
QZ_CLASS_IMPL(TcxGridBandedTableView, TcxGridTableView)

namespace {

template <class T> int IndexIn(const std::vector<T*>& AList, const T* AItem)
{
    auto it = std::find(AList.begin(), AList.end(), AItem);
    return it == AList.end() ? -1 : int(it - AList.begin());
}

using cxGridBandedTableView::InViewUpdate;

}  // namespace

// ---- options -----------------------------------------------------------------------------------------

void TcxGridBandOptions::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxGridBandOptions>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    HoldOwnColumnsOnly = src->HoldOwnColumnsOnly;
    Moving = src->Moving;
    Sizing = src->Sizing;
}

// ---- band rows ---------------------------------------------------------------------------------------

TcxGridBandRow::~TcxGridBandRow() = default;

int TcxGridBandRow::IndexOf(TcxGridBandedColumn* AColumn) const { return IndexIn(FColumns, AColumn); }
int TcxGridBandRow::VisibleIndexOf(TcxGridBandedColumn* AColumn) const { return IndexIn(FVisibleColumns, AColumn); }
int TcxGridBandRow::Index() const { return FOwner ? FOwner->IndexOfRow(this) : -1; }
int TcxGridBandRow::VisibleIndex() const { return FOwner ? FOwner->VisibleIndexOfRow(this) : -1; }
bool TcxGridBandRow::IsLast() const { return FOwner && VisibleIndex() + 1 == FOwner->VisibleCount(); }

int TcxGridBandRow::LineCount() const
{
    int result = 1;
    for (TcxGridBandedColumn* c : FVisibleColumns) result = std::max(result, c->Position()->LineCount());
    return result;
}

int TcxGridBandRow::FirstLine() const
{
    int line = 0;
    const int visibleIndex = VisibleIndex();
    for (int i = 0; i < visibleIndex; ++i) line += FOwner->VisibleItems(i)->LineCount();
    return line;
}

int TcxGridBandRow::ClampIndex(int AIndex, bool AMoving) const
{
    const int limit = Count() - (AMoving ? 1 : 0);
    return std::max(0, std::min(AIndex, limit));
}

void TcxGridBandRow::Insert(int AIndex, TcxGridBandedColumn* AColumn)
{
    FColumns.insert(FColumns.begin() + ClampIndex(AIndex, false), AColumn);
    RebuildVisibleList();
}

void TcxGridBandRow::Move(int ACurIndex, int ANewIndex)
{
    if (ACurIndex < ANewIndex) --ANewIndex;
    ANewIndex = ClampIndex(ANewIndex, true);
    TcxGridBandedColumn* column = FColumns[size_t(ACurIndex)];
    FColumns.erase(FColumns.begin() + ACurIndex);
    FColumns.insert(FColumns.begin() + ANewIndex, column);
    RebuildVisibleList();
}

void TcxGridBandRow::Delete(int AIndex)
{
    FColumns.erase(FColumns.begin() + AIndex);
    if (!FColumns.empty())
        RebuildVisibleList();
    else if (FOwner)
        FOwner->RemoveRow(this);   // frees this row
}

void TcxGridBandRow::RebuildVisibleList()
{
    FVisibleColumns.clear();
    for (TcxGridBandedColumn* c : FColumns)
        if (c->Visible()) FVisibleColumns.push_back(c);
    if (FOwner) FOwner->RebuildVisibleList();
}

TcxGridBandRows::~TcxGridBandRows()
{
    FVisibleRows.clear();
    FRows.clear();
}

void TcxGridBandRows::SetCount(int AValue)
{
    AValue = std::max(AValue, 0);
    while (Count() < AValue) FRows.push_back(std::make_unique<TcxGridBandRow>(this));
    if (Count() > AValue) FRows.resize(size_t(AValue));
    RebuildVisibleList();
}

TcxGridBandRow* TcxGridBandRows::Insert(int AIndex)
{
    AIndex = std::max(0, std::min(AIndex, Count()));
    auto row = std::make_unique<TcxGridBandRow>(this);
    TcxGridBandRow* result = row.get();
    FRows.insert(FRows.begin() + AIndex, std::move(row));
    RebuildVisibleList();
    return result;
}

int TcxGridBandRows::IndexOf(TcxGridBandedColumn* AColumn) const
{
    for (int i = 0; i < Count(); ++i)
        if (FRows[size_t(i)]->IndexOf(AColumn) >= 0) return i;
    return -1;
}

int TcxGridBandRows::IndexOfRow(const TcxGridBandRow* ARow) const
{
    for (int i = 0; i < Count(); ++i)
        if (FRows[size_t(i)].get() == ARow) return i;
    return -1;
}

int TcxGridBandRows::VisibleIndexOfRow(const TcxGridBandRow* ARow) const { return IndexIn(FVisibleRows, ARow); }

int TcxGridBandRows::RowAtLine(int ALine) const
{
    int first = 0;
    for (int i = 0; i < VisibleCount(); ++i) {
        const int lines = FVisibleRows[size_t(i)]->LineCount();
        if (ALine >= first && ALine < first + lines) return i;
        first += lines;
    }
    return -1;
}

int TcxGridBandRows::LineCount() const
{
    int lines = 0;
    for (TcxGridBandRow* r : FVisibleRows) lines += r->LineCount();
    return lines;
}

void TcxGridBandRows::RemoveRow(TcxGridBandRow* ARow)
{
    const int index = IndexOfRow(ARow);
    if (index < 0) return;
    FVisibleRows.erase(std::remove(FVisibleRows.begin(), FVisibleRows.end(), ARow), FVisibleRows.end());
    FRows.erase(FRows.begin() + index);
    RebuildVisibleList();
}

void TcxGridBandRows::RebuildVisibleList()
{
    FVisibleRows.clear();
    for (auto& r : FRows)
        if (r->Visible()) FVisibleRows.push_back(r.get());
}

void TcxGridBandRows::PlaceColumn(TcxGridBandedColumn* AColumn, int ARowIndex, int AColIndex)
{
    const int r = IndexOf(AColumn);
    const int c = r >= 0 ? Items(r)->IndexOf(AColumn) : -1;
    if (ARowIndex != r) {
        if (r != -1) {
            const int count = Count();
            Items(r)->Delete(c);
            if (r < ARowIndex && Count() != count) --ARowIndex;
        }
        if (ARowIndex == -1) return;
        if (ARowIndex > Count()) ARowIndex = Count();
        if (ARowIndex == Count()) SetCount(Count() + 1);
        if (AColIndex == -1) AColIndex = Items(ARowIndex)->Count();
        Items(ARowIndex)->Insert(AColIndex, AColumn);
        return;
    }
    if (r == -1 || AColIndex == c) return;
    if (AColIndex == -1) {
        Items(r)->Delete(c);
        return;
    }
    Items(r)->Move(c, AColIndex);
}

void TcxGridBandRows::ColumnShownChanged(TcxGridBandedColumn* AColumn)
{
    const int r = IndexOf(AColumn);
    if (r >= 0) Items(r)->RebuildVisibleList();
}

void TcxGridBandRows::FitToContent()
{
    for (TcxGridBandRow* row : std::vector<TcxGridBandRow*>(FVisibleRows))
        for (int i = 0; i < row->VisibleCount(); ++i) row->VisibleItems(i)->ApplyBestFit();
}

// ---- band styles ---------------------------------------------------------------------------------------

TcxGridBand* TcxGridBandStyles::Band() const { return DynamicCast<TcxGridBand>(GetOwner()); }

TcxCustomGridView* TcxGridBandStyles::GetGridView() const
{
    TcxGridBand* band = Band();
    return band ? band->GridView() : nullptr;
}

void TcxGridBandStyles::Assign(TPersistent* Source)
{
    TcxCustomGridStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxGridBandStyles>(Source)) {
        SetBackground(src->Background());
        SetContent(src->Content());
        SetHeader(src->Header());
        OnGetHeaderStyle = src->OnGetHeaderStyle;
    }
}

void TcxGridBandStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxGridBand* band = Band();
    TcxGridBandedTableView* view = band ? band->GridView() : nullptr;
    if (!view) {
        TcxCustomGridStyles::GetDefaultViewParams(Index, AData, AParams);
        return;
    }
    switch (Index) {
    case bsBackground: view->Styles()->GetViewParams(TcxGridBandedTableViewStyles::vsBandBackground, AData, nullptr, AParams); break;
    case bsContent: view->Styles()->GetContentParams(DynamicCast<TcxCustomGridRecord>(AData), nullptr, AParams); break;
    case bsHeader: view->Styles()->GetBandHeaderParams(band, AParams); break;
    default: TcxCustomGridStyles::GetDefaultViewParams(Index, AData, AParams);
    }
}

void TcxGridBandStyles::GetHeaderParams(TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    TcxGridBand* band = Band();
    if (OnGetHeaderStyle && band) OnGetHeaderStyle(band->GridView(), band, style);
    GetViewParams(bsHeader, nullptr, style, AParams);
}

// ---- bands ----------------------------------------------------------------------------------------------

TcxGridBand::TcxGridBand(TCollection* ACollection) : TCollectionItem(nullptr)
{
    FOptions = std::make_unique<TcxGridBandOptions>(this);
    FStyles = std::make_unique<TcxGridBandStyles>(this);
    FRows = std::make_unique<TcxGridBandRows>(this);
    if (ACollection) SetCollection(ACollection);
}

TcxGridBand::~TcxGridBand()
{
    TcxGridBandedTableView* view = GridView();
    if (view && !view->ComponentState().Contains(csDestroying) && !FColumns.empty())
        InViewUpdate(view, [this] {
            for (int i = ColumnCount() - 1; i >= 0; --i) Columns(i)->Position()->SetBandIndex(-1);
        });
    for (TcxGridBandedColumn* c : FColumns) c->Position()->FBand = nullptr;
    FStyles.reset();
    FRows.reset();
    FOptions.reset();
    FColumns.clear();
    TcxGridBands* bands = Bands();
    SetCollection(nullptr);
    if (bands) bands->RebuildVisibleList();
}

TcxGridBands* TcxGridBand::Bands() const { return static_cast<TcxGridBands*>(Collection()); }
TcxGridBandedTableView* TcxGridBand::GridView() const { return Bands() ? Bands()->GridView() : nullptr; }
int TcxGridBand::VisibleIndex() const { return Bands() ? Bands()->VisibleIndexOf(this) : -1; }
bool TcxGridBand::IsLast() const { return Bands() && VisibleIndex() >= 0 && VisibleIndex() + 1 == Bands()->VisibleCount(); }
bool TcxGridBand::IsFirstWithRows() const { return Bands() && Bands()->FirstBandWithRows() == this; }
bool TcxGridBand::IsLastWithRows() const { return Bands() && Bands()->LastBandWithRows() == this; }

void TcxGridBand::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxGridBand>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetHeaderAlignmentHorz(src->HeaderAlignmentHorz());
    SetHeaderAlignmentVert(src->HeaderAlignmentVert());
    SetCaption(src->Caption());
    SetFixedKind(src->FixedKind());
    FOptions->Assign(src->Options());
    FStyles->Assign(src->Styles());
    SetVisible(src->Visible());
    SetWidth(src->Width());
    OnHeaderClick = src->OnHeaderClick;
}

void TcxGridBand::Changed(bool ASize)
{
    if (TcxGridBandedTableView* view = GridView()) {
        if (ASize)
            view->SizeChanged();
        else
            view->LayoutChanged();
    }
}

void TcxGridBand::SetCaption(const std::string& AValue)
{
    if (FCaption == AValue) return;
    FCaption = AValue;
    Changed(false);
}

void TcxGridBand::SetFixedKind(TcxGridBandFixedKind AValue)
{
    if (FFixedKind == AValue) return;
    FFixedKind = AValue;
    if (TcxGridBandedTableView* view = GridView()) view->RefreshVisibleItemsList();
    if (Bands()) Bands()->RebuildVisibleList();
}

void TcxGridBand::SetHeaderAlignmentHorz(TAlignment AValue)
{
    if (FHeaderAlignmentHorz == AValue) return;
    FHeaderAlignmentHorz = AValue;
    Changed(false);
}

void TcxGridBand::SetHeaderAlignmentVert(TcxAlignmentVert AValue)
{
    if (FHeaderAlignmentVert == AValue) return;
    FHeaderAlignmentVert = AValue;
    Changed(false);
}

void TcxGridBand::SetHidden(bool AValue)
{
    if (FHidden == AValue) return;
    FHidden = AValue;
    RefreshCustomization();
}

void TcxGridBand::SetVisible(bool AValue)
{
    if (FVisible == AValue) return;
    TcxGridBandedTableView* view = GridView();
    std::vector<bool> shown;
    for (TcxGridBandedColumn* c : FColumns) shown.push_back(c->GetActuallyVisible());
    FVisible = AValue;
    if (view) view->RefreshVisibleItemsList();
    if (Bands()) Bands()->RebuildVisibleList();
    if (view) {
        const std::vector<TcxGridBandedColumn*> columns = FColumns;
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i]->GetActuallyVisible() != shown[i])
                view->ItemVisibilityChanged(columns[i], columns[i]->GetActuallyVisible());
    }
    RefreshCustomization();
}

void TcxGridBand::SetWidth(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FWidth == AValue) return;
    FWidth = AValue;
    Changed(true);
}

void TcxGridBand::SetIndex(int AValue)
{
    const int before = Index();
    TCollectionItem::SetIndex(AValue);
    if (FVisible && Index() != before && Bands()) Bands()->RebuildVisibleList();
}

void TcxGridBand::ReleaseColumns()
{
    for (TcxGridBandedColumn* c : FColumns) c->Position()->FBand = nullptr;
    FColumns.clear();
    FRows->SetCount(0);
}

void TcxGridBand::AttachColumn(TcxGridBandedColumn* AColumn)
{
    FColumns.push_back(AColumn);
    AColumn->Position()->FBand = this;
    AColumn->Position()->SetRowIndex(0);
}

void TcxGridBand::DetachColumn(TcxGridBandedColumn* AColumn)
{
    FRows->PlaceColumn(AColumn, -1, -1);
    AColumn->Position()->FBand = nullptr;
    FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), AColumn), FColumns.end());
}

void TcxGridBand::PlaceColumn(TcxGridBandedColumn* AColumn, int ARowIndex, int AColIndex)
{
    AColumn->Position()->SetBandIndex(Index());
    FRows->PlaceColumn(AColumn, ARowIndex, AColIndex);
}

int TcxGridBand::ColIndexOfColumn(TcxGridBandedColumn* AColumn) const
{
    const int r = RowIndexOfColumn(AColumn);
    return r < 0 ? -1 : FRows->Items(r)->IndexOf(AColumn);
}

bool TcxGridBand::IsHidable() { return Bands() && Bands()->VisibleCount() > 1; }

bool TcxGridBand::IsMovable()
{
    TcxGridBandedTableView* view = GridView();
    return view && view->OptionsCustomize()->BandMoving && FOptions->Moving;
}

bool TcxGridBand::IsSizable()
{
    TcxGridBandedTableView* view = GridView();
    return view && view->OptionsCustomize()->BandSizing && FOptions->Sizing;
}

void TcxGridBand::ImposeWidth(int AValue)
{
    TcxGridBandedTableView* view = GridView();
    // Under auto width every band first keeps the width it shows, so that
    // only this one changes.
    auto keepShownWidths = [&] {
        if (!view || !view->OptionsView()->ColumnAutoWidth() || !view->ViewInfo()) return;
        InViewUpdate(view, [&] {
            for (int i = 0; i < Bands()->VisibleCount(); ++i) {
                TcxGridBand* band = Bands()->VisibleItems(i);
                int width = 0;
                for (int r = 0; r < band->Rows()->VisibleCount(); ++r) {
                    int rowWidth = 0;
                    TcxGridBandRow* row = band->Rows()->VisibleItems(r);
                    for (int c = 0; c < row->VisibleCount(); ++c)
                        rowWidth += view->GetShownColumnWidth(row->VisibleItems(c));
                    width = std::max(width, rowWidth);
                }
                if (width > 0) band->SetWidth(width);
            }
        });
    };
    keepShownWidths();
    SetWidth(AValue);
    keepShownWidths();
}

void TcxGridBand::RefreshCustomization()
{
    if (TcxGridBandedTableView* view = GridView()) view->RefreshCustomizationForm();
}

void TcxGridBand::FireHeaderClick()
{
    if (OnHeaderClick) OnHeaderClick(this);
}

void TcxGridBand::FitToContent()
{
    SetWidth(0);
    FRows->FitToContent();
}

std::string TcxGridBand::GetStoredObjectName() { return "Band" + std::to_string(Index()); }

bool TcxGridBand::GetStoredProperties(TStrings* AProperties)
{
    for (const char* name : {"Caption", "Width", "Visible", "Hidden", "Index"}) AProperties->Add(name);
    return true;
}

Variant TcxGridBand::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "Caption") return Variant(FCaption);
    if (AName == "Width") return Variant(FWidth);
    if (AName == "Visible") return Variant(FVisible);
    if (AName == "Hidden") return Variant(FHidden);
    if (AName == "Index") return Variant(Index());
    return Null();
}

void TcxGridBand::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "Width")
        SetWidth(AValue.AsInteger());
    else if (AName == "Visible")
        SetVisible(AValue.AsBoolean());
    else if (AName == "Hidden")
        SetHidden(AValue.AsBoolean());
    else if (AName == "Index") {
        const int index = AValue.AsInteger();
        if (Bands() && index >= 0 && index < Bands()->Count()) SetIndex(index);
    } else if (AName == "Caption")
        SetCaption(VarToStr(AValue));
}

TcxGridBands::TcxGridBands(TcxGridBandedTableView* AGridView)
    : TOwnedCollection(AGridView, TcxGridBand::StaticClass()), FGridView(AGridView)
{
    FConstructed = true;
}

TcxGridBands::~TcxGridBands()
{
    FConstructed = false;
    FVisibleItems.clear();
    Clear();
}

void TcxGridBands::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxGridBands>(Source);
    if (!src) {
        TOwnedCollection::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->Items(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxGridBands::Added(TCollectionItem* AItem)
{
    TOwnedCollection::Added(AItem);
    RebuildVisibleList();
}

void TcxGridBands::Notify(TCollectionItem* AItem, TCollectionNotification AAction)
{
    TOwnedCollection::Notify(AItem, AAction);
    if (AAction != cnAdded) {
        FVisibleItems.erase(std::remove(FVisibleItems.begin(), FVisibleItems.end(), AItem), FVisibleItems.end());
    }
}

int TcxGridBands::VisibleIndexOf(const TcxGridBand* ABand) const { return IndexIn(FVisibleItems, ABand); }

void TcxGridBands::RebuildVisibleList()
{
    if (!FConstructed) return;
    FVisibleItems.clear();
    FLeftFixedCount = FRightFixedCount = 0;
    for (int i = 0; i < Count(); ++i) {
        TcxGridBand* band = Items(i);
        if (!band->Visible()) continue;
        switch (band->FixedKind()) {
        case fkLeft: FVisibleItems.insert(FVisibleItems.begin() + FLeftFixedCount++, band); break;
        case fkNone: FVisibleItems.insert(FVisibleItems.end() - FRightFixedCount, band); break;
        case fkRight:
            FVisibleItems.push_back(band);
            ++FRightFixedCount;
            break;
        }
    }
    if (FGridView) FGridView->SizeChanged();
}

int TcxGridBands::FirstVisibleIndexOfKind(TcxGridBandFixedKind AKind) const
{
    switch (AKind) {
    case fkLeft: return 0;
    case fkNone: return FLeftFixedCount;
    default: return VisibleCount() - FRightFixedCount;
    }
}

int TcxGridBands::LastVisibleIndexOfKind(TcxGridBandFixedKind AKind) const
{
    switch (AKind) {
    case fkLeft: return FirstVisibleIndexOfKind(fkNone) - 1;
    case fkNone: return FirstVisibleIndexOfKind(fkRight) - 1;
    default: return VisibleCount() - 1;
    }
}

int TcxGridBands::FixedSidesPresent() const { return (FLeftFixedCount > 0 ? 1 : 0) | (FRightFixedCount > 0 ? 2 : 0); }

int TcxGridBands::MaxVisibleRowCount() const
{
    int result = 0;
    for (TcxGridBand* b : FVisibleItems) result = std::max(result, b->Rows()->VisibleCount());
    return result;
}

TcxGridBand* TcxGridBands::FirstBandWithRows() const
{
    for (TcxGridBand* b : FVisibleItems)
        if (b->Rows()->VisibleCount() > 0) return b;
    return nullptr;
}

TcxGridBand* TcxGridBands::LastBandWithRows() const
{
    for (auto it = FVisibleItems.rbegin(); it != FVisibleItems.rend(); ++it)
        if ((*it)->Rows()->VisibleCount() > 0) return *it;
    return nullptr;
}

TObject* TcxGridBands::CreateStoredChild(const std::string&, const std::string& AClassName)
{
    if (AClassName != "TcxGridBand") return nullptr;
    return Add();
}

void TcxGridBands::DeleteStoredChild(const std::string&, TObject* AObject) { delete DynamicCast<TcxGridBand>(AObject); }

void TcxGridBands::GetStoredChildren(std::vector<TObject*>& AChildren)
{
    for (int i = 0; i < Count(); ++i) AChildren.push_back(Items(i));
}

// ---- positions -----------------------------------------------------------------------------------------

TcxGridBandedColumnPosition::TcxGridBandedColumnPosition(TcxCustomGridTableItem* AItem)
    : TcxCustomGridTableItemCustomOptions(AItem)
{
}

TcxGridBandedColumn* TcxGridBandedColumnPosition::Column() const { return static_cast<TcxGridBandedColumn*>(Item()); }
int TcxGridBandedColumnPosition::BandIndex() const { return FBand ? FBand->Index() : -1; }
int TcxGridBandedColumnPosition::RowIndex() const { return FBand ? FBand->RowIndexOfColumn(Column()) : -1; }
int TcxGridBandedColumnPosition::ColIndex() const { return FBand ? FBand->ColIndexOfColumn(Column()) : -1; }

TcxGridBandRow* TcxGridBandedColumnPosition::Row() const
{
    const int r = RowIndex();
    return r < 0 ? nullptr : FBand->Rows()->Items(r);
}

int TcxGridBandedColumnPosition::VisibleBandIndex() const { return FBand ? FBand->VisibleIndex() : -1; }
int TcxGridBandedColumnPosition::VisibleRowIndex() const { return Row() ? Row()->VisibleIndex() : -1; }
int TcxGridBandedColumnPosition::VisibleColIndex() const { return Row() ? Row()->VisibleIndexOf(Column()) : -1; }

void TcxGridBandedColumnPosition::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridBandedColumnPosition>(Source)) {
        SetBandIndex(src->BandIndex());
        SetRowIndex(src->RowIndex());
        SetColIndex(src->ColIndex());
    }
    TcxCustomGridTableItemCustomOptions::Assign(Source);
}

void TcxGridBandedColumnPosition::SetBandIndex(int AValue)
{
    if (AValue == BandIndex()) return;
    TcxGridBandedColumn* column = Column();
    TcxGridBandedTableView* view = column->BandedView();
    const bool wasShown = column->GetActuallyVisible();
    InViewUpdate(view, [&] {
        if (FBand) FBand->DetachColumn(column);
        if (view && AValue >= 0 && AValue < view->Bands()->Count()) view->Bands()->Items(AValue)->AttachColumn(column);
        if (column->ComponentState().Contains(csReading) || column->BeingUpdated()) SavedBandIndex = BandIndex();
        if (!view) return;
        if (column->GetActuallyVisible() != wasShown)
            view->ItemVisibilityChanged(column, column->GetActuallyVisible());
        else
            view->RefreshVisibleItemsList();
        view->SizeChanged();
    });
}

void TcxGridBandedColumnPosition::SetRowIndex(int AValue)
{
    TcxGridBandedColumn* column = Column();
    if (column->BeingUpdated() || !FBand || AValue == RowIndex()) return;
    if (column->BeingLoaded()) {
        SavedRowIndex = AValue;
        return;
    }
    if (AValue < 0) return;
    FBand->Rows()->PlaceColumn(column, AValue, -1);
    ColumnPlaced();
}

void TcxGridBandedColumnPosition::SetColIndex(int AValue)
{
    TcxGridBandedColumn* column = Column();
    if (column->BeingUpdated() || !FBand) return;
    if (column->BeingLoaded()) {
        SavedColIndex = AValue;
        return;
    }
    if (AValue < 0) return;
    const int row = RowIndex();
    if (row < 0) return;
    FBand->Rows()->PlaceColumn(column, row, AValue);
    ColumnPlaced();
}

void TcxGridBandedColumnPosition::ColumnPlaced()
{
    // The shown columns follow the new place at once.
    if (TcxGridBandedTableView* view = Column()->BandedView()) {
        view->RefreshVisibleItemsList();
        view->SizeChanged();
    }
}

void TcxGridBandedColumnPosition::SetLineCount(int AValue)
{
    AValue = std::max(AValue, 1);
    if (FLineCount == AValue) return;
    FLineCount = AValue;
    if (TcxGridBandedTableView* view = Column()->BandedView()) view->SizeChanged();
}

void TcxGridBandedColumnPosition::RememberIndexes()
{
    SavedBandIndex = BandIndex();
    SavedColIndex = ColIndex();
    SavedRowIndex = RowIndex();
}

// ---- columns -------------------------------------------------------------------------------------------

void TcxGridBandedColumnOptions::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridBandedColumnOptions>(Source)) FVertSizing = src->VertSizing();
    TcxGridColumnOptions::Assign(Source);
}

void TcxGridBandedColumnOptions::SetVertSizing(bool AValue)
{
    if (FVertSizing == AValue) return;
    FVertSizing = AValue;
    Changed();
}

void TcxGridBandedColumnStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    auto* column = DynamicCast<TcxGridBandedColumn>(Column());
    TcxGridBand* band = column ? column->Position()->Band() : nullptr;
    if (Index == TcxCustomGridTableItemStyles::isContent && band) {
        band->Styles()->GetViewParams(TcxGridBandStyles::bsContent, AData, nullptr, AParams);
        return;
    }
    TcxGridColumnStyles::GetDefaultViewParams(Index, AData, AParams);
}

TcxGridBandedColumn::TcxGridBandedColumn(TComponent* AOwner) : TcxGridColumn(AOwner)
{
    FPosition = std::make_unique<TcxGridBandedColumnPosition>(this);
}

TcxGridBandedColumn::~TcxGridBandedColumn()
{
    // Freed without its last rites: it still leaves its band.
    if (FPosition && FPosition->Band()) FPosition->Band()->DetachColumn(this);
}

void TcxGridBandedColumn::BeforeDestruction()
{
    // The column leaves its band and row before anything of it goes.
    if (FPosition) FPosition->SetBandIndex(-1);
    TcxGridColumn::BeforeDestruction();
}

TcxGridBandedTableView* TcxGridBandedColumn::BandedView() const { return DynamicCast<TcxGridBandedTableView>(GridView()); }

bool TcxGridBandedColumn::BeingLoaded() const
{
    if (RestoringPosition) return false;
    if (ComponentState().Contains(csLoading)) return true;
    TcxGridBandedTableView* view = BandedView();
    return view && view->IsBandsLoading();
}

bool TcxGridBandedColumn::BeingUpdated() const { return ComponentState().Contains(csUpdating); }

void TcxGridBandedColumn::Assign(TPersistent* Source)
{
    TcxGridColumn::Assign(Source);
    if (auto* src = DynamicCast<TcxGridBandedColumn>(Source)) FPosition->Assign(src->Position());
}

bool TcxGridBandedColumn::IsVertSizable()
{
    TcxGridBandedTableView* view = BandedView();
    return view && view->OptionsCustomize()->ColumnVertSizing() && Options()->VertSizing();
}

bool TcxGridBandedColumn::GetActuallyVisible() const
{
    TcxGridBand* band = FPosition ? FPosition->Band() : nullptr;
    return TcxGridColumn::GetActuallyVisible() && band && band->Visible();
}

bool TcxGridBandedColumn::CanScroll()
{
    TcxGridBand* band = FPosition->Band();
    return TcxGridColumn::CanScroll() && band && band->FixedKind() == fkNone;
}

void TcxGridBandedColumn::ForceWidthHook()
{
    TcxGridBandedTableView* view = BandedView();
    if (TcxGridBandRow* row = FPosition->Row(); row && view)
        InViewUpdate(view, [&] {
            for (int i = 0; i < row->Count(); ++i) row->Items(i)->SetWidth(view->GetShownColumnWidth(row->Items(i)));
        });
    TcxGridColumn::ForceWidthHook();
}

bool TcxGridBandedColumn::IsBottom()
{
    TcxGridBandRow* row = FPosition->Row();
    return row && row->IsLast();
}

bool TcxGridBandedColumn::IsLeft() { return FPosition->VisibleColIndex() == 0; }

bool TcxGridBandedColumn::IsRight()
{
    TcxGridBandRow* row = FPosition->Row();
    return row && FPosition->VisibleColIndex() + 1 == row->VisibleCount();
}

bool TcxGridBandedColumn::IsMostBottom()
{
    TcxGridBandedTableView* view = BandedView();
    return IsBottom() && view && FPosition->VisibleRowIndex() + 1 == view->Bands()->MaxVisibleRowCount();
}

bool TcxGridBandedColumn::IsMostLeft() { return IsLeft() && FPosition->Band() && FPosition->Band()->IsFirst(); }
bool TcxGridBandedColumn::IsMostRight() { return IsRight() && FPosition->Band() && FPosition->Band()->IsLast(); }

bool TcxGridBandedColumn::GetStoredProperties(TStrings* AProperties)
{
    TcxGridColumn::GetStoredProperties(AProperties);
    for (const char* name : {"BandIndex", "ColIndex", "RowIndex", "LineCount"}) AProperties->Add(name);
    return true;
}

Variant TcxGridBandedColumn::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "BandIndex") return Variant(FPosition->BandIndex());
    if (AName == "ColIndex") return Variant(FPosition->ColIndex());
    if (AName == "RowIndex") return Variant(FPosition->RowIndex());
    if (AName == "LineCount") return Variant(FPosition->LineCount());
    return TcxGridColumn::GetStoredPropertyValue(AName);
}

void TcxGridBandedColumn::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    // Row and column take effect when ApplySavedPositions places the columns.
    if (AName == "BandIndex")
        FPosition->SetBandIndex(AValue.AsInteger());
    else if (AName == "ColIndex")
        FPosition->SavedColIndex = AValue.AsInteger();
    else if (AName == "RowIndex")
        FPosition->SavedRowIndex = AValue.AsInteger();
    else if (AName == "LineCount")
        FPosition->SetLineCount(AValue.AsInteger());
    else
        TcxGridColumn::SetStoredPropertyValue(AName, AValue);
}

TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> TcxGridBandedColumn::GetOptionsClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*>::Of<TcxGridBandedColumnOptions>();
}

TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> TcxGridBandedColumn::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*>::Of<TcxGridBandedColumnStyles>();
}

// ---- view options --------------------------------------------------------------------------------------

void TcxGridBandedTableOptionsCustomize::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridBandedTableOptionsCustomize>(Source)) {
        BandHiding = src->BandHiding;
        BandMoving = src->BandMoving;
        BandSizing = src->BandSizing;
        SetColumnVertSizing(src->ColumnVertSizing());
    }
    TcxGridTableOptionsCustomize::Assign(Source);
}

void TcxGridBandedTableOptionsCustomize::SetColumnVertSizing(bool AValue)
{
    if (FColumnVertSizing == AValue) return;
    FColumnVertSizing = AValue;
    if (GridView()) GridView()->LayoutChanged();
}

void TcxGridBandedTableOptionsView::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridBandedTableOptionsView>(Source)) {
        SetBandHeaderEndEllipsis(src->BandHeaderEndEllipsis());
        SetBandHeaderHeight(src->BandHeaderHeight());
        SetBandHeaderLineCount(src->BandHeaderLineCount());
        SetBandHeaders(src->BandHeaders());
        SetFixedBandSeparatorColor(src->FixedBandSeparatorColor());
        SetFixedBandSeparatorWidth(src->FixedBandSeparatorWidth());
    }
    TcxGridTableOptionsView::Assign(Source);
}

void TcxGridBandedTableOptionsView::Changed(bool ASize)
{
    if (!GridView()) return;
    if (ASize)
        GridView()->SizeChanged();
    else
        GridView()->LayoutChanged();
}

void TcxGridBandedTableOptionsView::SetBandHeaderEndEllipsis(bool AValue)
{
    if (FBandHeaderEndEllipsis == AValue) return;
    FBandHeaderEndEllipsis = AValue;
    Changed(false);
}

void TcxGridBandedTableOptionsView::SetBandHeaderHeight(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FBandHeaderHeight == AValue) return;
    FBandHeaderHeight = AValue;
    Changed(true);
}

void TcxGridBandedTableOptionsView::SetBandHeaderLineCount(int AValue)
{
    AValue = std::max(AValue, 1);
    if (FBandHeaderLineCount == AValue) return;
    FBandHeaderLineCount = AValue;
    Changed(true);
}

void TcxGridBandedTableOptionsView::SetBandHeaders(bool AValue)
{
    if (FBandHeaders == AValue) return;
    FBandHeaders = AValue;
    Changed(false);
}

void TcxGridBandedTableOptionsView::SetFixedBandSeparatorColor(TColor AValue)
{
    if (FFixedBandSeparatorColor == AValue) return;
    FFixedBandSeparatorColor = AValue;
    Changed(false);
}

void TcxGridBandedTableOptionsView::SetFixedBandSeparatorWidth(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FFixedBandSeparatorWidth == AValue) return;
    FFixedBandSeparatorWidth = AValue;
    Changed(true);
}

TColor TcxGridBandedTableOptionsView::GetFixedBandSeparatorColor() const
{
    // Every look and feel draws the separators in the button text colour.
    return FFixedBandSeparatorColor == clDefault ? clBtnText : FFixedBandSeparatorColor;
}

// ---- view styles ---------------------------------------------------------------------------------------

void TcxGridBandedTableViewStyles::Assign(TPersistent* Source)
{
    TcxGridTableViewStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxGridBandedTableViewStyles>(Source)) {
        SetBandBackground(src->BandBackground());
        SetBandHeader(src->BandHeader());
        OnGetBandHeaderStyle = src->OnGetBandHeaderStyle;
    }
}

void TcxGridBandedTableViewStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxGridTableViewStyles::GetDefaultViewParams(Index, AData, AParams);
    TcxGridTableView* view = TableView();
    if (!view) return;
    TcxCustomLookAndFeelPainterClass painter = view->LookAndFeelPainter();
    switch (Index) {
    case vsBandBackground:
        // The header background of every look and feel.
        AParams.Color = clBtnShadow;
        AParams.TextColor = clBtnFace;
        break;
    case vsBandHeader:
        AParams.Color = painter->HeaderColor();
        AParams.TextColor = painter->HeaderTextColor();
        break;
    default: break;
    }
}

void TcxGridBandedTableViewStyles::GetBandHeaderParams(TcxGridBand* ABand, TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetBandHeaderStyle) OnGetBandHeaderStyle(static_cast<TcxGridBandedTableView*>(TableView()), ABand, style);
    GetViewParams(vsBandHeader, ABand, style, AParams);
}

void TcxGridBandedTableBackgroundBitmaps::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridBandedTableBackgroundBitmaps>(Source))
        for (int i = bbBandBackground; i <= bbBandHeader; ++i) SetBitmaps(i, src->Bitmaps(i));
    TcxGridTableBackgroundBitmaps::Assign(Source);
}

int TcxGridBandedTableBackgroundBitmaps::GetBitmapStyleIndex(int AIndex)
{
    switch (AIndex) {
    case bbBandBackground: return TcxGridBandedTableViewStyles::vsBandBackground;
    case bbBandHeader: return TcxGridBandedTableViewStyles::vsBandHeader;
    default: return TcxGridTableBackgroundBitmaps::GetBitmapStyleIndex(AIndex);
    }
}

// ---- the view -----------------------------------------------------------------------------------------

TcxGridBandedTableView::TcxGridBandedTableView(TComponent* AOwner) : TcxGridTableView(AOwner)
{
    FBands.reset(CreateBands());
    if (AOwner && AOwner->ComponentState().Contains(csDesigning)) FBands->Add();
}

TcxGridBandedTableView::~TcxGridBandedTableView()
{
    // The bands go first, letting their columns go without telling the view,
    // which is going too.
    if (FBands)
        for (int i = 0; i < FBands->Count(); ++i) FBands->Items(i)->ReleaseColumns();
    FBands.reset();
}

TcxGridBands* TcxGridBandedTableView::CreateBands() { return new TcxGridBands(this); }

void TcxGridBandedTableView::CreateOptions() { TcxGridTableView::CreateOptions(); }
void TcxGridBandedTableView::DestroyOptions() { TcxGridTableView::DestroyOptions(); }

TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> TcxGridBandedTableView::GetOptionsCustomizeClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize>::Of<TcxGridBandedTableOptionsCustomize>();
}

TcxGridOptionsClass<TcxCustomGridOptionsView> TcxGridBandedTableView::GetOptionsViewClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsView>::Of<TcxGridBandedTableOptionsView>();
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridBandedTableView::GetControllerClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxGridBandedTableController>();
}

TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridBandedTableView::GetPainterClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxGridBandedTablePainter>();
}

TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridBandedTableView::GetViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridBandedTableViewInfo>();
}

TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> TcxGridBandedTableView::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*>::Of<TcxGridBandedTableViewStyles>();
}

TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> TcxGridBandedTableView::GetBackgroundBitmapsClass()
{
    return TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps>::Of<TcxGridBandedTableBackgroundBitmaps>();
}

TcxGridBandedTableOptionsCustomize* TcxGridBandedTableView::OptionsCustomize() const
{
    return static_cast<TcxGridBandedTableOptionsCustomize*>(TcxGridTableView::OptionsCustomize());
}

TcxGridBandedTableOptionsView* TcxGridBandedTableView::OptionsView() const
{
    return static_cast<TcxGridBandedTableOptionsView*>(TcxGridTableView::OptionsView());
}

TcxGridBandedTableViewStyles* TcxGridBandedTableView::Styles() const
{
    return static_cast<TcxGridBandedTableViewStyles*>(TcxGridTableView::Styles());
}

bool TcxGridBandedTableView::IsBandsLoading() const
{
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csReading);
}

void TcxGridBandedTableView::AddItem(TcxCustomGridTableItem* AItem)
{
    TcxGridTableView::AddItem(AItem);
    auto* column = DynamicCast<TcxGridBandedColumn>(AItem);
    if (column && FBands && !IsBandsLoading() && FBands->VisibleCount() > 0)
        column->Position()->SetBandIndex(FBands->VisibleItems(0)->Index());
}

void TcxGridBandedTableView::ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible)
{
    auto* column = DynamicCast<TcxGridBandedColumn>(AItem);
    if (column && column->Position() && column->Position()->Band())
        column->Position()->Band()->Rows()->ColumnShownChanged(column);
    TcxGridTableView::ItemVisibilityChanged(AItem, AVisible);
}

void TcxGridBandedTableView::OrderVisibleItems(std::vector<TcxCustomGridTableItem*>& AItems)
{
    // Left-fixed columns, then right-fixed ones, then the scrolling ones.
    auto kindRank = [](TcxGridBandFixedKind AKind) { return AKind == fkLeft ? 0 : AKind == fkRight ? 1 : 2; };
    auto key = [&](TcxCustomGridTableItem* AItem) {
        auto* c = static_cast<TcxGridBandedColumn*>(AItem);
        TcxGridBandedColumnPosition* p = c->Position();
        return std::make_tuple(kindRank(p->Band()->FixedKind()), p->VisibleBandIndex(), p->VisibleRowIndex(),
                               p->VisibleColIndex(), c->VisibleIndex());
    };
    std::sort(AItems.begin(), AItems.end(),
              [&](TcxCustomGridTableItem* A, TcxCustomGridTableItem* B) { return key(A) < key(B); });
}

void TcxGridBandedTableView::ApplySavedPositions()
{
    std::vector<TcxGridBandedColumnPosition*> positions;
    for (int i = 0; i < ItemCount(); ++i)
        if (auto* c = DynamicCast<TcxGridBandedColumn>(GetItem(i))) positions.push_back(c->Position());
    // Equal keys keep the columns' order in the view.
    std::stable_sort(positions.begin(), positions.end(),
                     [](TcxGridBandedColumnPosition* A, TcxGridBandedColumnPosition* B) {
                         return std::make_tuple(A->BandIndex(), A->SavedRowIndex, A->SavedColIndex) <
                                std::make_tuple(B->BandIndex(), B->SavedRowIndex, B->SavedColIndex);
                     });
    for (TcxGridBandedColumnPosition* p : positions) {
        TcxGridBandedColumn* column = p->Column();
        column->RestoringPosition = true;
        try {
            p->SetRowIndex(p->SavedRowIndex);
            p->SetColIndex(p->SavedColIndex);
        } catch (...) {
            column->RestoringPosition = false;
            throw;
        }
        column->RestoringPosition = false;
    }
    RefreshVisibleItemsList();
}

void TcxGridBandedTableView::ReadingComplete()
{
    InViewUpdate(this, [this] {
        for (int i = 0; i < ItemCount(); ++i)
            if (auto* c = DynamicCast<TcxGridBandedColumn>(GetItem(i)))
                c->Position()->SetBandIndex(c->Position()->SavedBandIndex);
    });
    RefreshVisibleItemsList();
}

void TcxGridBandedTableView::LoadingComplete()
{
    TcxGridTableView::LoadingComplete();
    ApplySavedPositions();
}

void TcxGridBandedTableView::Updating()
{
    for (int i = 0; i < ItemCount(); ++i)
        if (auto* c = DynamicCast<TcxGridBandedColumn>(GetItem(i))) c->Position()->RememberIndexes();
}

void TcxGridBandedTableView::Updated()
{
    ReadingComplete();
    ApplySavedPositions();
}

void TcxGridBandedTableView::AssignLayout(TcxCustomGridView* ASource)
{
    if (auto* src = DynamicCast<TcxGridBandedTableView>(ASource)) {
        // The bands first, so that the columns copied next find theirs.
        FBands->Clear();
        for (int i = 0; i < src->Bands()->Count(); ++i) FBands->Add()->Assign(src->Bands()->Items(i));
        OnBandPosChanged = src->OnBandPosChanged;
        OnBandSizeChanged = src->OnBandSizeChanged;
        OnCustomDrawBandHeader = src->OnCustomDrawBandHeader;
    }
    TcxGridTableView::AssignLayout(ASource);
}

void TcxGridBandedTableView::FireBandPosChanged(TcxGridBand* ABand)
{
    if (OnBandPosChanged) OnBandPosChanged(this, ABand);
}

void TcxGridBandedTableView::FireBandSizeChanged(TcxGridBand* ABand)
{
    if (OnBandSizeChanged) OnBandSizeChanged(this, ABand);
}

TObject* TcxGridBandedTableView::CreateStoredChild(const std::string& AObjectName, const std::string& AClassName)
{
    if (AObjectName == "Bands") return FBands.get();
    return TcxGridTableView::CreateStoredChild(AObjectName, AClassName);
}

void TcxGridBandedTableView::GetStoredChildren(std::vector<TObject*>& AChildren)
{
    AChildren.push_back(FBands.get());
    TcxGridTableView::GetStoredChildren(AChildren);
}

namespace cxGridBandedTableView {

namespace {
bool& Initialized()
{
    static bool value = false;
    return value;
}
}  // namespace

void Initialize()
{
    if (Initialized()) return;
    Initialized() = true;
    cxGridTableView::Initialize();
    cxGridCustomView::cxGridRegisteredViews()->Register(TcxGridBandedTableView::StaticClass(), "Banded Table");
    RegisterClasses({TcxGridBandedColumn::StaticClass(), TcxGridBandedTableViewStyleSheet::StaticClass()});
}

void Finalize()
{
    if (!Initialized()) return;
    Initialized() = false;
    cxGridCustomView::cxGridRegisteredViews()->Unregister(TcxGridBandedTableView::StaticClass());
}

}  // namespace cxGridBandedTableView
