#include "cxLookupGrid.h"

#include "TypInfo.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxEditRepositoryItems.h"
#include "cxTextEdit.h"

#include <algorithm>

namespace {

void DefineOptionsProps(std::vector<TPropInfo>& props)
{
    using O = TcxLookupGridOptions;
    props.push_back(PublishBool<O>("AnsiSort", &O::AnsiSort, &O::SetAnsiSort, false).StoredBy(nullptr));
    props.push_back(
        PublishBool<O>("CaseInsensitive", &O::CaseInsensitive, &O::SetCaseInsensitive, false).StoredBy(nullptr));
    props.push_back(PublishBool<O>("ColumnSorting", &O::ColumnSorting, &O::SetColumnSorting, true));
    props.push_back(PublishBool<O>("RowSelect", &O::RowSelect, &O::SetRowSelect, true));
    props.push_back(PublishBool<O>("ShowHeader", &O::ShowHeader, &O::SetShowHeader, true));
}

void DefineColumnProps(std::vector<TPropInfo>& props)
{
    using C = TcxLookupGridColumn;
    props.push_back(PublishString<C>("Caption", &C::Caption, &C::SetCaption).StoredBy(StoredWhen(&C::IsCaptionStored)));
    props.push_back(PublishBool<C>("Fixed", &C::Fixed, &C::SetFixed, false));
    props.push_back(PublishInt<C>("MinWidth", &C::MinWidth, &C::SetMinWidth, 20));
    props.push_back(PublishBool<C>("Sorting", &C::Sorting, &C::SetSorting, true));
    props.push_back(PublishObject<C>("RepositoryItem", &C::RepositoryItem, &C::SetRepositoryItem));
    props.push_back(PublishInt<C>("Width", &C::Width, &C::SetWidth).StoredBy(StoredWhen(&C::IsWidthStored)));
}

// The default editor being freed: while it tells its listeners the
// registry still holds it, and no column may take it again meanwhile.
TcxEditRepositoryItem* GRemovingDefaultItem = nullptr;

}  // namespace

QZ_CLASS_IMPL_PROPS(TcxLookupGridOptions, TPersistent, DefineOptionsProps)
QZ_CLASS_IMPL(TcxLookupGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
QZ_CLASS_IMPL_PROPS(TcxLookupGridColumn, TCollectionItem, DefineColumnProps)
QZ_CLASS_IMPL(TcxLookupGridColumns, TCollection)
QZ_CLASS_IMPL(TcxLookupGridDataController, TcxDataController)
QZ_CLASS_IMPL(TcxLookupGridColumnViewInfo, TObject)
QZ_CLASS_IMPL(TcxLookupGridCellViewInfo, TObject)
QZ_CLASS_IMPL(TcxLookupGridRowViewInfo, TObject)
QZ_CLASS_IMPL(TcxLookupGridViewInfo, TObject)
QZ_CLASS_IMPL(TcxLookupGridPainter, TObject)
QZ_CLASS_IMPL(TcxCustomLookupGrid, TcxControl)

// ---- options -------------------------------------------------------------------------------------------

TPersistent* TcxLookupGridOptions::GetOwner() const { return FGrid; }

void TcxLookupGridOptions::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxLookupGridOptions>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (FGrid) FGrid->BeginUpdate();
    try {
        SetAnsiSort(src->AnsiSort());
        SetCaseInsensitive(src->CaseInsensitive());
        SetColumnSorting(src->ColumnSorting());
        SetGridLines(src->GridLines());
        SetRowSelect(src->RowSelect());
        SetShowHeader(src->ShowHeader());
    } catch (...) {
        if (FGrid) FGrid->EndUpdate();
        throw;
    }
    if (FGrid) FGrid->EndUpdate();
}

bool TcxLookupGridOptions::AnsiSort() const
{
    return FGrid && FGrid->DataController() && FGrid->DataController()->Options().Contains(dcoAnsiSort);
}

void TcxLookupGridOptions::SetAnsiSort(bool Value) { SetDataControllerOption(dcoAnsiSort, Value); }

bool TcxLookupGridOptions::CaseInsensitive() const
{
    return FGrid && FGrid->DataController() && FGrid->DataController()->Options().Contains(dcoCaseInsensitive);
}

void TcxLookupGridOptions::SetCaseInsensitive(bool Value) { SetDataControllerOption(dcoCaseInsensitive, Value); }

void TcxLookupGridOptions::SetDataControllerOption(TcxDataControllerOption AOption, bool Value)
{
    if (!FGrid || !FGrid->DataController()) return;
    TcxDataControllerOptions o = FGrid->DataController()->Options();
    if (Value) o.Include(AOption);
    else o.Exclude(AOption);
    FGrid->DataController()->SetOptions(o);
}

void TcxLookupGridOptions::SetGridLines(TcxGridLines Value)
{
    if (FGridLines == Value) return;
    FGridLines = Value;
    Changed();
}

void TcxLookupGridOptions::SetRowSelect(bool Value)
{
    if (FRowSelect == Value) return;
    FRowSelect = Value;
    if (Value && FGrid) FGrid->SetFocusedColumn(nullptr);
}

void TcxLookupGridOptions::SetShowHeader(bool Value)
{
    if (FShowHeader == Value) return;
    FShowHeader = Value;
    Changed();
}

void TcxLookupGridOptions::Changed()
{
    if (FGrid) FGrid->Changed(TcxLookupGridChanges{lgcLayout});
    if (OnChanged) OnChanged(this);
}

// ---- columns ---------------------------------------------------------------------------------------------

bool TcxLookupGridDefaultValuesProvider::HasDisplayFormat(bool)
{
    auto* column = DynamicCast<TcxLookupGridColumn>(Owner());
    TcxCustomDataController* dc = column ? column->DataController() : nullptr;
    if (!dc || column->ItemIndex() < 0 || column->ItemIndex() >= dc->GetItemCount()) return false;
    return dc->GetItemTextStored(column->ItemIndex());
}

void TcxLookupGridDefaultValuesProvider::SetColumn(TcxLookupGridColumn* AColumn) { SetOwner(AColumn); }

TcxLookupGridColumn::TcxLookupGridColumn(TCollection* ACollection) : TCollectionItem(nullptr)
{
    if (ACollection) SetCollection(ACollection);
}

TcxLookupGridColumn::~TcxLookupGridColumn()
{
    // The column leaves its item and its collection together, inside one
    // update of the grid, while it is still a column: the layout that
    // follows sees neither.
    TcxCustomLookupGrid* grid = Grid();
    const bool notify = grid && FAttached && !grid->IsGridDestroying();
    if (notify) {
        grid->BeginUpdate();
        grid->ColumnRemoved(this);
    }
    FAttached = false;
    if (Collection()) SetCollection(nullptr);
    if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
    FRepositoryItem = nullptr;
    FreeInternalDefaultRepositoryItem();
    if (FDefaultValuesProvider) FDefaultValuesProvider->ClearUsers();
    FDefaultValuesProvider.reset();
    if (notify) grid->EndUpdate();
}

void TcxLookupGridColumn::Attach()
{
    if (FAttached) return;
    TcxCustomLookupGrid* grid = Grid();
    if (!grid) return;
    grid->BeginUpdate();
    try {
        auto* p = static_cast<TcxCustomEditDefaultValuesProvider*>(GetDefaultValuesProviderClass()->Create());
        FDefaultValuesProvider.reset(p);
        AttachDefaultValuesProvider(p);
        FCaption.clear();
        FIsCaptionAssigned = false;
        FWidth = 0;
        FIsWidthAssigned = false;
        grid->ColumnAdded(this);
        FAttached = true;
    } catch (...) {
        grid->EndUpdate();
        throw;
    }
    grid->EndUpdate();
}

void TcxLookupGridColumn::AttachDefaultValuesProvider(TcxCustomEditDefaultValuesProvider* AProvider)
{
    if (auto* p = DynamicCast<TcxLookupGridDefaultValuesProvider>(AProvider)) p->SetColumn(this);
}

TcxCustomLookupGrid* TcxLookupGridColumn::Grid() const
{
    auto* columns = DynamicCast<TcxLookupGridColumns>(Collection());
    return columns ? columns->Grid() : nullptr;
}

TcxCustomDataController* TcxLookupGridColumn::DataController() const
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->DataController() : nullptr;
}

void TcxLookupGridColumn::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxLookupGridColumn>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    try {
        RestoreDefaults();
        if (src->FIsCaptionAssigned) SetCaption(src->FCaption);
        SetHeaderAlignment(src->HeaderAlignment());
        SetMinWidth(src->MinWidth());
        SetFixed(src->Fixed());
        SetSorting(src->Sorting());
        SetSortOrder(src->SortOrder());
        SetRepositoryItem(src->RepositoryItem());
        if (src->FIsWidthAssigned) SetWidth(src->FWidth);
    } catch (...) {
        if (c) c->EndUpdate();
        throw;
    }
    if (c) c->EndUpdate();
}

void TcxLookupGridColumn::CheckWidth(int& AWidth)
{
    if (AWidth < FMinWidth) AWidth = FMinWidth;
}

TClass TcxLookupGridColumn::GetDefaultValuesProviderClass() const
{
    return TcxLookupGridDefaultValuesProvider::StaticClass();
}

TcxValueTypeClass TcxLookupGridColumn::GetValueTypeClass()
{
    TcxCustomDataController* dc = DataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return nullptr;
    return dc->GetItemValueTypeClass(Index());
}

void TcxLookupGridColumn::ChangeValueTypeClass(TcxValueTypeClass AValueTypeClass)
{
    if (TcxCustomDataController* dc = DataController()) dc->ChangeValueTypeClass(Index(), AValueTypeClass);
}

std::string TcxLookupGridColumn::GetDefaultCaption() { return std::string(); }

TcxEditRepositoryItem* TcxLookupGridColumn::GetDefaultRepositoryItem()
{
    return cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems()->GetDefaultItem();
}

int TcxLookupGridColumn::GetDefaultWidth() { return 64; }

TFont* TcxLookupGridColumn::GetFont()
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->Font() : nullptr;
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetInternalDefaultRepositoryItem()
{
    if (TcxEditRepositoryItem* item = GetDefaultRepositoryItem(); item && item != GRemovingDefaultItem) {
        if (item != FDefaultRepositoryItem) {
            if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
            FDefaultRepositoryItem = item;
            item->AddListener(this);
        }
        return item;
    }
    if (!FInternalDefaultRepositoryItem) {
        auto* item = new TcxEditRepositoryTextItem(nullptr);
        item->AfterConstruction();
        FInternalDefaultRepositoryItem.reset(item);
    }
    return FInternalDefaultRepositoryItem.get();
}

void TcxLookupGridColumn::FreeInternalDefaultRepositoryItem()
{
    if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
    FDefaultRepositoryItem = nullptr;
    FInternalDefaultRepositoryItem.reset();
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetRepositoryItem()
{
    return FRepositoryItem ? FRepositoryItem : GetInternalDefaultRepositoryItem();
}

TcxCustomEditProperties* TcxLookupGridColumn::Properties()
{
    TcxEditRepositoryItem* item = GetRepositoryItem();
    return item ? item->Properties() : nullptr;
}

bool TcxLookupGridColumn::IsLast() const { return Collection() && Index() == Collection()->Count() - 1; }

void TcxLookupGridColumn::RestoreDefaults()
{
    FIsCaptionAssigned = false;
    FCaption.clear();
    FIsWidthAssigned = false;
    FWidth = 0;
    FHeaderAlignment = taLeftJustify;
    FMinWidth = 20;
    FFixed = false;
    FSorting = true;
    Changed();
}

std::string TcxLookupGridColumn::Caption() { return FIsCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TcxLookupGridColumn::SetCaption(const std::string& Value)
{
    if (FIsCaptionAssigned && FCaption == Value) return;
    FCaption = Value;
    FIsCaptionAssigned = true;
    Changed();
}

void TcxLookupGridColumn::SetFixed(bool Value)
{
    if (FFixed == Value) return;
    FFixed = Value;
    Changed();
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment Value)
{
    if (FHeaderAlignment == Value) return;
    FHeaderAlignment = Value;
    Changed();
}

void TcxLookupGridColumn::SetMinWidth(int Value)
{
    if (Value < 0) Value = 0;
    if (FMinWidth == Value) return;
    FMinWidth = Value;
    if (Width() < Value) {
        FWidth = Value;
        FIsWidthAssigned = true;
    }
    Changed();
}

void TcxLookupGridColumn::SetSorting(bool Value)
{
    if (FSorting == Value) return;
    FSorting = Value;
    Changed();
}

TcxDataSortOrder TcxLookupGridColumn::SortOrder() const
{
    TcxCustomDataController* dc = DataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return soNone;
    return dc->GetItemSortOrder(Index());
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder Value)
{
    TcxCustomDataController* dc = DataController();
    if (!dc || Index() < 0 || Index() >= dc->GetItemCount()) return;
    dc->ChangeSorting(Index(), Value);
}

void TcxLookupGridColumn::SetRepositoryItem(TcxEditRepositoryItem* Value)
{
    if (FRepositoryItem == Value) return;
    if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
    FRepositoryItem = Value;
    if (FRepositoryItem) FRepositoryItem->AddListener(this);
    Changed();
}

int TcxLookupGridColumn::Width() { return FIsWidthAssigned ? FWidth : GetDefaultWidth(); }

void TcxLookupGridColumn::SetWidth(int Value)
{
    CheckWidth(Value);
    if (FIsWidthAssigned && FWidth == Value) return;
    FWidth = Value;
    FIsWidthAssigned = true;
    Changed();
}

void TcxLookupGridColumn::ItemRemoved(TObject* Sender)
{
    if (Sender == FDefaultRepositoryItem) {
        // The registry may still hold the item while it tells its listeners:
        // the cells are laid out again at once without it, and nothing drawn
        // keeps its properties meanwhile.
        FDefaultRepositoryItem = nullptr;
        if (TcxCustomLookupGrid* grid = Grid(); grid && grid->ViewInfo()) {
            grid->ViewInfo()->Rows.clear();
            grid->ViewInfo()->Columns.clear();
        }
        TcxEditRepositoryItem* const outer = GRemovingDefaultItem;
        GRemovingDefaultItem = static_cast<TcxEditRepositoryItem*>(Sender);
        try {
            Changed();
        } catch (...) {
            GRemovingDefaultItem = outer;
            throw;
        }
        GRemovingDefaultItem = outer;
    }
    if (Sender == FRepositoryItem) SetRepositoryItem(nullptr);
}

void TcxLookupGridColumn::PropertiesChanged(TObject*) { Changed(); }

// ---- the columns ---------------------------------------------------------------------------------------------

TcxLookupGridColumns::TcxLookupGridColumns(TcxCustomLookupGrid* AGrid, TClass AColumnClass)
    : TCollection(AColumnClass ? AColumnClass : TcxLookupGridColumn::StaticClass()), FGrid(AGrid)
{
}

TcxLookupGridColumns::~TcxLookupGridColumns()
{
    // The columns leave while this is still their collection.
    Clear();
}

TPersistent* TcxLookupGridColumns::GetOwner() const { return FGrid; }

void TcxLookupGridColumns::Notify(TCollectionItem* AItem, TCollectionNotification AAction)
{
    TCollection::Notify(AItem, AAction);
    if (AAction == cnAdded)
        if (auto* column = DynamicCast<TcxLookupGridColumn>(AItem)) column->Attach();
}

void TcxLookupGridColumns::Update(TCollectionItem* AItem)
{
    if (!FGrid || FGrid->IsGridDestroying()) return;
    if (!AItem && FGrid->DataController() && FGrid->DataController()->GetItemCount() == Count())
        FGrid->DataController()->UpdateItemIndexes();
    if (!FGrid->ComponentState().Contains(csLoading)) FGrid->Changed(TcxLookupGridChanges{lgcLayout});
}

void TcxLookupGridColumns::RestoreDefaults()
{
    BeginUpdate();
    try {
        for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- the data controller ------------------------------------------------------------------------------------

TPersistent* TcxLookupGridDataController::GetOwner() const
{
    return FGrid ? static_cast<TPersistent*>(FGrid) : TcxDataController::GetOwner();
}

TObject* TcxLookupGridDataController::GetItem(int Index)
{
    TcxCustomLookupGrid* grid = Grid();
    return grid ? grid->Columns()->Items(Index) : nullptr;
}

int TcxLookupGridDataController::GetItemID(TObject* AItem)
{
    auto* column = DynamicCast<TcxLookupGridColumn>(AItem);
    return column ? column->ID() : -1;
}

// ---- view info ------------------------------------------------------------------------------------------------

TcxLookupGridColumnViewInfo::~TcxLookupGridColumnViewInfo() = default;
TcxLookupGridCellViewInfo::~TcxLookupGridCellViewInfo() = default;
TcxLookupGridRowViewInfo::~TcxLookupGridRowViewInfo() = default;

TcxLookupGridViewInfo::~TcxLookupGridViewInfo()
{
    Rows.clear();
    Columns.clear();
}

TColor TcxLookupGridViewInfo::GetContentColor() { return FGrid->Color(); }
TFont* TcxLookupGridViewInfo::GetContentFont() { return FGrid->Font(); }
TColor TcxLookupGridViewInfo::GetContentTextColor() { return GetContentFont()->Color(); }
TColor TcxLookupGridViewInfo::GetHeaderColor() { return FGrid->GetLookAndFeelPainter()->HeaderColor(); }
TFont* TcxLookupGridViewInfo::GetHeaderFont() { return FGrid->Font(); }
TColor TcxLookupGridViewInfo::GetHeaderTextColor() { return FGrid->GetLookAndFeelPainter()->HeaderTextColor(); }
TColor TcxLookupGridViewInfo::GetSelectionColor() { return FGrid->GetLookAndFeelPainter()->SelectionColor(); }
TColor TcxLookupGridViewInfo::GetSelectionTextColor()
{
    return FGrid->GetLookAndFeelPainter()->SelectionTextColor();
}

int TcxLookupGridViewInfo::GetHeaderHeight()
{
    TcxCanvas* canvas = FGrid->Painter()->Canvas();
    return FGrid->GetLookAndFeelPainter()->HeaderHeight(canvas->FontHeight(GetHeaderFont()));
}

int TcxLookupGridViewInfo::GetRowStep() const
{
    TcxGridLines lines = FGrid->Options()->GridLines();
    return RowMinHeight + ((lines == glBoth || lines == glHorizontal) ? 1 : 0);
}

void TcxLookupGridViewInfo::Calculate()
{
    BorderSize = FGrid->GetBorderWidth();
    CalculateHeaders();
    CalculateRows();
    CalculateEmptyAreas();
}

void TcxLookupGridViewInfo::CalculateHeaders()
{
    Rows.clear();
    for (size_t i = 0; i < Columns.size(); ++i)
        if (i < size_t(FGrid->Columns()->Count())) DestroyColumnViewData(Columns[i].get(), FGrid->Columns()->Items(int(i)));
    Columns.clear();
    const TRect client = FGrid->GetClientBounds();
    if (FGrid->Columns()->Count() == 0) {
        HeadersRect = TRect{client.Left, client.Top, client.Left, client.Top};
        RowMinHeight = 0;
        return;
    }
    HeadersRect = client;
    HeadersRect.Bottom = HeadersRect.Top + (FGrid->Options()->ShowHeader() ? GetHeaderHeight() : 0);
    CalculateColumns();
}

void TcxLookupGridViewInfo::CalculateColumns()
{
    TcxLookupGridColumns* columns = FGrid->Columns();
    TcxCustomLookAndFeelPainterClass lf = FGrid->GetLookAndFeelPainter();
    TcxAutoWidthObject widths(columns->Count());
    for (int i = 0; i < columns->Count(); ++i) {
        TcxAutoWidthItem* w = widths.NewItem();
        w->MinimumWidth = columns->Items(i)->MinWidth();
        w->Width = columns->Items(i)->Width();
        w->IsFixed = columns->Items(i)->Fixed();
    }
    widths.AvailableSpace = std::max(0, HeadersRect.Right - HeadersRect.Left);
    widths.Calculate();
    int x = HeadersRect.Left;
    for (int i = 0; i < columns->Count(); ++i) {
        TcxLookupGridColumn* column = columns->Items(i);
        auto cvi = std::make_unique<TcxLookupGridColumnViewInfo>();
        cvi->Index = i;
        cvi->Alignment = column->HeaderAlignment();
        if (!column->IsFirst()) cvi->Neighbors.Include(nLeft);
        if (!column->IsLast()) cvi->Neighbors.Include(nRight);
        cvi->Borders = lf->HeaderSides(cvi->Neighbors);
        cvi->SortOrder = column->SortOrder();
        cvi->Text = column->Caption();
        const int w = std::max(0, widths.ItemAt(i)->ResultWidth);
        cvi->Bounds = TRect{x, HeadersRect.Top, x + w, HeadersRect.Bottom};
        cvi->ContentBounds = lf->HeaderContentBounds(cvi->Bounds, cvi->Borders);
        x += w;
        InitColumnStyle(cvi.get(), column);
        CreateColumnViewData(cvi.get(), column);
        Columns.push_back(std::move(cvi));
    }
    if (x < HeadersRect.Right) HeadersRect.Right = x;
    CalculateRowMinHeight();
}

void TcxLookupGridViewInfo::InitColumnStyle(TcxLookupGridColumnViewInfo* AColumnViewInfo, TcxLookupGridColumn* AColumn)
{
    TcxCustomEditProperties* props = AColumn->Properties();
    TClass styleClass = props ? props->GetStyleClass() : TcxEditStyle::StaticClass();
    auto* style = DynamicCast<TcxCustomEditStyle>(styleClass->Create());
    if (!style) style = new TcxEditStyle(nullptr, false);
    AColumnViewInfo->EditStyle.reset(style);
    style->SetButtonTransparency(ebtHideInactive);
    if (TFont* font = AColumn->GetFont()) style->SetFont(font);
    if (style->LookAndFeel()) style->LookAndFeel()->SetMasterLookAndFeel(FGrid->LookAndFeel());
}

void TcxLookupGridViewInfo::CreateColumnViewData(TcxLookupGridColumnViewInfo* AColumnViewInfo,
                                                 TcxLookupGridColumn* AColumn)
{
    TcxCustomEditProperties* props = AColumn->Properties();
    if (props) AColumnViewInfo->EditViewData = props->CreateViewData(AColumnViewInfo->EditStyle.get(), true);
}

void TcxLookupGridViewInfo::DestroyColumnViewData(TcxLookupGridColumnViewInfo* AColumnViewInfo, TcxLookupGridColumn*)
{
    AColumnViewInfo->EditViewData.reset();
}

void TcxLookupGridViewInfo::CalculateRowMinHeight()
{
    int h = 0;
    TcxCanvas* canvas = FGrid->Painter()->Canvas();
    for (auto& c : Columns) {
        if (!c->EditViewData) continue;
        TcxEditSizeProperties size;
        size.MaxLineCount = 1;
        h = std::max(h, c->EditViewData->GetEditSize(canvas, Null(), size).cy);
    }
    RowMinHeight = h + 2;
}

TcxLookupGridRowViewInfo* TcxLookupGridViewInfo::FindRow(int ARowIndex) const
{
    for (auto& r : Rows)
        if (r->RowIndex == ARowIndex) return r.get();
    return nullptr;
}

void TcxLookupGridViewInfo::CalculateRows()
{
    Rows.clear();
    VisibleRowCount = 0;
    PartialVisibleRowCount = 0;
    RowsRect = TRect{HeadersRect.Left, HeadersRect.Bottom, HeadersRect.Right, HeadersRect.Bottom};
    VisibleRowsRect = RowsRect;
    if (HeadersRect.Right - HeadersRect.Left <= 0) return;
    const TRect client = FGrid->GetClientBounds();
    const int rowCount = FGrid->GetRowCount();
    const int step = std::max(1, GetRowStep());
    const bool backward = TopRowCalculation == trcBackward;
    int index = TopRowCalculation == trcNone ? FGrid->TopRowIndex() : TopRowCalculationIndex;
    int y = HeadersRect.Bottom;
    while (index >= 0 && index < rowCount && y < client.Bottom) {
        auto row = std::make_unique<TcxLookupGridRowViewInfo>();
        row->RowIndex = index;
        row->Bounds = TRect{HeadersRect.Left, y, HeadersRect.Right, y + step};
        ++PartialVisibleRowCount;
        const bool fits = row->Bounds.Bottom <= client.Bottom;
        if (fits) {
            ++VisibleRowCount;
            VisibleRowsRect.Bottom = row->Bounds.Bottom;
        }
        RowsRect.Bottom = row->Bounds.Bottom;
        if (TopRowCalculation == trcNone) {
            CalculateCells(row.get(), index == rowCount - 1);
            RowsRect.Bottom = std::max(RowsRect.Bottom, row->Bounds.Bottom);
        }
        Rows.push_back(std::move(row));
        if (!fits) break;
        y += step;
        index += backward ? -1 : 1;
    }
    if (PartialVisibleRowCount > 0 && VisibleRowCount == 0) VisibleRowCount = 1;
}

void TcxLookupGridViewInfo::CalculateCells(TcxLookupGridRowViewInfo* ARow, bool ALastDataRow)
{
    const TcxGridLines lines = FGrid->Options()->GridLines();
    const TRect client = FGrid->GetClientBounds();
    TcxCustomDataController* dc = FGrid->DataController();
    ARow->RecordIndex = dc->GetRowInfo(ARow->RowIndex).RecordIndex;
    ARow->ContentBounds = ARow->Bounds;
    if (lines == glBoth || lines == glHorizontal) {
        ARow->Borders.Include(bBottom);
        ARow->ContentBounds.Bottom -= 1;
    } else if (lines == glVertical && ALastDataRow && ARow->Bounds.Bottom != client.Bottom) {
        // The last row closes the grid with a line below it.
        ARow->Borders.Include(bBottom);
        ARow->Bounds.Bottom += 1;
    }
    if (lines != glNone) ARow->Borders.Include(bRight);
    for (size_t i = 0; i < Columns.size(); ++i) {
        auto cell = std::make_unique<TcxLookupGridCellViewInfo>();
        cell->ColumnIndex = int(i);
        cell->Bounds = TRect{Columns[i]->Bounds.Left, ARow->ContentBounds.Top, Columns[i]->Bounds.Right,
                             ARow->ContentBounds.Bottom};
        cell->ContentBounds = cell->Bounds;
        const bool last = i + 1 == Columns.size();
        if (lines == glBoth || lines == glVertical || (lines == glHorizontal && last)) {
            cell->Borders.Include(bRight);
            cell->ContentBounds.Right -= 1;
        }
        ARow->Cells.push_back(std::move(cell));
    }
    if (!ARow->Cells.empty()) ARow->ContentBounds.Right = ARow->Cells.back()->ContentBounds.Right;
    RecalculateRow(ARow);
}

void TcxLookupGridViewInfo::RecalculateRow(TcxLookupGridRowViewInfo* ARow)
{
    TcxCustomDataController* dc = FGrid->DataController();
    if (ARow->RowIndex < 0 || ARow->RowIndex >= dc->GetRowCount()) return;
    ARow->RecordIndex = dc->GetRowInfo(ARow->RowIndex).RecordIndex;
    ARow->Focused = ARow->RowIndex == dc->GetFocusedRowIndex();
    const bool selected = ARow->Focused && dc->IsRowSelected(ARow->RowIndex);
    TcxCanvas* canvas = FGrid->Painter()->Canvas();
    TcxLookupGridColumn* focusedColumn = FGrid->FocusedColumn();
    for (auto& cell : ARow->Cells) {
        TcxLookupGridColumnViewInfo* cvi = Columns[size_t(cell->ColumnIndex)].get();
        TcxLookupGridColumn* column = FGrid->Columns()->Items(cell->ColumnIndex);
        cell->Focused = focusedColumn && focusedColumn == column;
        TcxCustomEditProperties* props = column->Properties();
        if (!props || !cvi->EditViewData) {
            cell->EditViewInfo.reset();
            continue;
        }
        const bool selectionColours = selected && !cell->Focused;
        TcxCustomEditStyle* style = cvi->EditStyle.get();
        style->SetColor(selectionColours ? GetSelectionColor() : GetContentColor());
        style->Font()->SetColor(selectionColours ? GetSelectionTextColor() : GetContentTextColor());
        // The properties hear the column's defaults while its cells are made.
        const bool locked = props->IsChangeLocked();
        props->SetChangedLocked(true);
        props->SetDefaultValuesProvider(column->DefaultValuesProvider());
        try {
            if (!cell->EditViewInfo || cell->EditViewInfo->ClassType() != props->GetViewInfoClass())
                cell->EditViewInfo.reset(static_cast<TcxCustomEditViewInfo*>(props->GetViewInfoClass()->Create()));
            Variant value;
            if (props->UsesDisplayFormatting(false) != 0)
                value = Variant(dc->GetDisplayText(ARow->RecordIndex, cell->ColumnIndex));
            else
                value = dc->GetValue(ARow->RecordIndex, cell->ColumnIndex);
            TRect r = cell->ContentBounds;
            InflateRect(r, -1, -1);
            cvi->EditViewData->EditorFlag = selectionColours;
            cvi->EditViewData->Calculate(canvas, r, TPoint{-1, -1}, 0, {}, cell->EditViewInfo.get(), false);
            cvi->EditViewData->PrepareDrawValue(canvas, value, cell->EditViewInfo.get());
        } catch (...) {
            props->SetDefaultValuesProvider(nullptr);
            props->SetChangedLocked(locked);
            throw;
        }
        props->SetDefaultValuesProvider(nullptr);
        props->SetChangedLocked(locked);
    }
}

void TcxLookupGridViewInfo::CalculateEmptyAreas()
{
    const TRect client = FGrid->GetClientBounds();
    EmptyRectRight = TRect{};
    EmptyRectBottom = TRect{};
    if (HeadersRect.Right < client.Right)
        EmptyRectRight = TRect{std::max(HeadersRect.Right, client.Left), client.Top, client.Right, client.Bottom};
    const int rowsBottom = std::max(RowsRect.Bottom, HeadersRect.Bottom);
    if (rowsBottom < client.Bottom)
        EmptyRectBottom = TRect{client.Left, std::max(rowsBottom, client.Top), client.Right, client.Bottom};
}

int TcxLookupGridViewInfo::CalculateTopRowIndex(int AIndex)
{
    const int rowCount = FGrid->GetRowCount();
    const TRect client = FGrid->GetClientBounds();
    int result = AIndex;
    TopRowCalculation = trcForward;
    TopRowCalculationIndex = AIndex;
    try {
        CalculateRows();
        // Rows that end above the bottom waste space: move the last row down.
        if (AIndex > 0 && RowsRect.Bottom < client.Bottom && VisibleRowCount > 0 &&
            PartialVisibleRowCount == VisibleRowCount) {
            const int last = std::min(AIndex + VisibleRowCount - 1, rowCount - 1);
            TopRowCalculation = trcBackward;
            TopRowCalculationIndex = last;
            CalculateRows();
            result = std::max(0, last - VisibleRowCount + 1);
        }
    } catch (...) {
        TopRowCalculation = trcNone;
        throw;
    }
    TopRowCalculation = trcNone;
    return result;
}

// ---- painter --------------------------------------------------------------------------------------------------

TcxLookupGridPainter::~TcxLookupGridPainter() = default;

TcxCanvas* TcxLookupGridPainter::Canvas()
{
    if (FExternalCanvas) return FExternalCanvas;
    if (FGrid->HandleAllocated()) {
        FScreenCanvas.reset();
        return FGrid->Canvas();
    }
    if (!FScreenCanvas) FScreenCanvas = std::make_unique<TcxScreenCanvas>();
    return FScreenCanvas.get();
}

void TcxLookupGridPainter::Paint()
{
    DrawBorder();
    DrawContent();
}

void TcxLookupGridPainter::DrawBorder()
{
    const int b = FGrid->ViewInfo()->BorderSize;
    if (b <= 0) return;
    TcxCanvas* canvas = Canvas();
    LookAndFeelPainter->DrawFrame(canvas, FGrid->GetBounds());
    canvas->IntersectClipRect(FGrid->GetClientBounds());
}

void TcxLookupGridPainter::DrawContent()
{
    DrawHeaders();
    DrawEmptyArea();
    DrawRows();
}

void TcxLookupGridPainter::DrawHeaders()
{
    TcxLookupGridViewInfo* vi = FGrid->ViewInfo();
    if (!FGrid->Options()->ShowHeader()) return;
    TcxCanvas* canvas = Canvas();
    const TPoint markSize = LookAndFeelPainter->SortMarkSize();
    for (auto& c : vi->Columns) {
        if (c->Bounds.Bottom <= c->Bounds.Top) continue;
        TRect text = c->ContentBounds;
        InflateRect(text, -2, -2);
        TRect mark;
        if (c->SortOrder != soNone) {
            mark = text;
            mark.Left = std::max(text.Left, text.Right - markSize.X);
            text.Right = mark.Left;
        }
        LookAndFeelPainter->DrawHeader(canvas, c->Bounds, text, c->Neighbors, c->Borders, cxbsNormal, c->Alignment,
                                       vaCenter, false, true, c->Text, vi->GetHeaderFont(), vi->GetHeaderTextColor(),
                                       vi->GetHeaderColor());
        if (c->SortOrder != soNone) {
            TRect m = mark;
            m.Top = (mark.Top + mark.Bottom - markSize.Y) / 2;
            m.Bottom = m.Top + markSize.Y;
            LookAndFeelPainter->DrawSortMark(canvas, m, c->SortOrder == soAscending);
        }
    }
}

void TcxLookupGridPainter::DrawEmptyArea()
{
    TcxLookupGridViewInfo* vi = FGrid->ViewInfo();
    TcxCanvas* canvas = Canvas();
    if (!IsRectEmpty(vi->EmptyRectBottom)) canvas->FillRect(vi->EmptyRectBottom, FGrid->Color());
    if (!IsRectEmpty(vi->EmptyRectRight)) canvas->FillRect(vi->EmptyRectRight, FGrid->Color());
}

void TcxLookupGridPainter::DrawRows()
{
    TcxLookupGridViewInfo* vi = FGrid->ViewInfo();
    for (int i = 0; i < vi->PartialVisibleRowCount && i < int(vi->Rows.size()); ++i) DrawRow(vi->Rows[size_t(i)].get());
}

void TcxLookupGridPainter::DrawCell(TcxLookupGridCellViewInfo* ACellViewInfo)
{
    TcxCanvas* canvas = Canvas();
    TcxLookupGridViewInfo* vi = FGrid->ViewInfo();
    const TRect& b = ACellViewInfo->Bounds;
    if (ACellViewInfo->Borders.Contains(bRight))
        canvas->FillRect(TRect{b.Right - vi->GetGridLineWidth(), b.Top, b.Right, b.Bottom}, vi->GetGridLineColor());
    TColor back = vi->GetContentColor();
    if (ACellViewInfo->EditViewInfo) {
        back = ACellViewInfo->EditViewInfo->BackgroundColor();
        ACellViewInfo->EditViewInfo->Paint(canvas);
    } else {
        canvas->FillRect(ACellViewInfo->ContentBounds, back);
    }
    canvas->FrameRect(ACellViewInfo->ContentBounds, back);
}

void TcxLookupGridPainter::DrawRow(TcxLookupGridRowViewInfo* ARowViewInfo)
{
    TcxCanvas* canvas = Canvas();
    TcxLookupGridViewInfo* vi = FGrid->ViewInfo();
    for (auto& cell : ARowViewInfo->Cells) DrawCell(cell.get());
    if (ARowViewInfo->Borders.Contains(bBottom)) {
        const TRect& b = ARowViewInfo->Bounds;
        canvas->FillRect(TRect{b.Left, b.Bottom - vi->GetGridLineWidth(), b.Right, b.Bottom}, vi->GetGridLineColor());
    }
    if (ARowViewInfo->Focused && (FGrid->Focused() || FGrid->IsPopupControl())) {
        canvas->Font()->SetColor(clWhite);
        canvas->Brush()->SetColor(clBlack);
        canvas->DrawFocusRect(ARowViewInfo->ContentBounds);
    }
}

// ---- the grid ---------------------------------------------------------------------------------------------------

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* AOwner) : TcxControl(AOwner)
{
    SetBorderStyle(cxcbsNone);   // the grid draws its own border, none as a popup
    SetScrollBars(ssVertical);
    SetColor(clWindow);
    SetParentColor(false);
    SetWidth(250);
    SetHeight(200);
    SetWantedKeys(TcxWantedKeys{wkArrows});
}

void TcxCustomLookupGrid::AfterConstruction()
{
    TcxControl::AfterConstruction();
    FOptions = std::make_unique<TcxLookupGridOptions>(this);
    CreateSubClasses();
    CreateDataController();
    FColumns.reset(CreateColumns());
}

TcxLookupGridColumns* TcxCustomLookupGrid::CreateColumns()
{
    return new TcxLookupGridColumns(this, GetColumnClass());
}

void TcxCustomLookupGrid::BeforeDestruction()
{
    FDestroying = true;
    TcxControl::BeforeDestruction();
}

TcxCustomLookupGrid::~TcxCustomLookupGrid()
{
    FDestroying = true;
    SetScrollMode(0);
    FColumns.reset();
    DestroyDataController();
    DestroySubClasses();
    FOptions.reset();
}

void TcxCustomLookupGrid::CreateSubClasses()
{
    auto* painter = static_cast<TcxLookupGridPainter*>(GetPainterClass()->Create());
    painter->SetGrid(this);
    painter->LookAndFeelPainter = GetLookAndFeelPainter();
    FPainter.reset(painter);
    auto* viewInfo = static_cast<TcxLookupGridViewInfo*>(GetViewInfoClass()->Create());
    viewInfo->SetGrid(this);
    FViewInfo.reset(viewInfo);
}

void TcxCustomLookupGrid::DestroySubClasses()
{
    FViewInfo.reset();
    FPainter.reset();
}

void TcxCustomLookupGrid::CreateDataController()
{
    auto* dc = static_cast<TcxCustomDataController*>(GetDataControllerClass()->Create(this));
    FDataController.reset(dc);
    if (auto* own = DynamicCast<TcxLookupGridDataController>(dc)) own->SetGrid(this);
    dc->OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) { DataControllerNotify(AInfo); };
}

void TcxCustomLookupGrid::DestroyDataController()
{
    if (FDataController) FDataController->OnUpdateControl = nullptr;
    FDataController.reset();
}

TClass TcxCustomLookupGrid::GetColumnClass() const { return TcxLookupGridColumn::StaticClass(); }
TClass TcxCustomLookupGrid::GetColumnsClass() const { return TcxLookupGridColumns::StaticClass(); }
TClass TcxCustomLookupGrid::GetDataControllerClass() const { return TcxLookupGridDataController::StaticClass(); }
TcxCustomLookAndFeelPainterClass TcxCustomLookupGrid::GetLookAndFeelPainter() const
{
    return LookAndFeel()->GetPainter();
}
TClass TcxCustomLookupGrid::GetPainterClass() const { return TcxLookupGridPainter::StaticClass(); }
TClass TcxCustomLookupGrid::GetViewInfoClass() const { return TcxLookupGridViewInfo::StaticClass(); }

bool TcxCustomLookupGrid::IsGridMode() { return FDataController && FDataController->IsGridMode(); }

int TcxCustomLookupGrid::GetTopScrollOffset() { return IsGridMode() && !FDataController->IsBOF() ? 1 : 0; }
int TcxCustomLookupGrid::GetBottomScrollOffset() { return IsGridMode() && !FDataController->IsEOF() ? 1 : 0; }

void TcxCustomLookupGrid::ColumnAdded(TcxLookupGridColumn* AColumn) { FDataController->AddItem(AColumn); }

void TcxCustomLookupGrid::ColumnRemoved(TcxLookupGridColumn* AColumn)
{
    if (FDataController) FDataController->RemoveItem(AColumn);
    if (FFocusedColumn == AColumn) FFocusedColumn = nullptr;
}

// ---- changes and locking

void TcxCustomLookupGrid::BeginUpdate()
{
    ++FLockCount;
    if (FDataController) FDataController->BeginUpdate();
}

void TcxCustomLookupGrid::EndUpdate()
{
    if (FDataController) FDataController->EndUpdate();
    if (FLockCount > 0) --FLockCount;
    if (FLockCount == 0) ApplyChanges();
}

void TcxCustomLookupGrid::Changed(TcxLookupGridChanges AChanges)
{
    FChanges = FChanges + AChanges;
    if (FLockCount == 0) ApplyChanges();
}

void TcxCustomLookupGrid::ApplyChanges()
{
    if (FDestroying || FChanges.Empty()) return;
    const TcxLookupGridChanges changes = FChanges;
    FChanges = TcxLookupGridChanges{};
    if (changes.Contains(lgcLayout)) LayoutChanged();
}

void TcxCustomLookupGrid::LayoutChanged()
{
    if (FDestroying || !FViewInfo) return;
    if (FLockCount > 0) {
        // Applied once the update ends, when columns and items agree again.
        FChanges.Include(lgcLayout);
        return;
    }
    SetTopRowIndex(FTopRowIndex);
    LayoutRecalculated();
}

void TcxCustomLookupGrid::LayoutRecalculated()
{
    if (FDestroying || !HandleAllocated()) return;
    FViewInfo->Calculate();
    Invalidate();
    UpdateScrollBars();
}

void TcxCustomLookupGrid::DataChanged()
{
    LayoutChanged();
    if (OnDataChanged) OnDataChanged(this);
}

void TcxCustomLookupGrid::DataLayoutChanged() { LayoutChanged(); }

void TcxCustomLookupGrid::DataControllerNotify(TcxUpdateControlInfo* AInfo)
{
    if (FDestroying || !AInfo) return;
    if (auto* f = DynamicCast<TcxFocusedRowChangedInfo>(AInfo)) {
        FocusedRowChanged(f->OldRow, f->NewRow);
    } else if (auto* s = DynamicCast<TcxSelectionChangedInfo>(AInfo)) {
        SelectionChanged(s);
    } else if (DynamicCast<TcxLayoutChangedInfo>(AInfo)) {
        DataLayoutChanged();
    } else if (DynamicCast<TcxDataChangedInfo>(AInfo)) {
        DataChanged();
    }
}

void TcxCustomLookupGrid::FocusedRowChanged(int APrevFocusedRowIndex, int AFocusedRowIndex)
{
    if (FViewInfo->FindRow(AFocusedRowIndex) && IsRowVisible(AFocusedRowIndex)) {
        InvalidateRow(APrevFocusedRowIndex, true);
        InvalidateRow(AFocusedRowIndex, true);
    } else {
        LayoutChanged();
        MakeFocusedRowVisible();
    }
    DoFocusedRowChanged();
}

void TcxCustomLookupGrid::SelectionChanged(TcxSelectionChangedInfo* AInfo)
{
    if (AInfo->GetCount() == 0) {
        LayoutChanged();
        return;
    }
    for (int i = 0; i < AInfo->GetCount(); ++i) InvalidateRow(AInfo->GetRowIndex(i), true);
}

void TcxCustomLookupGrid::InvalidateFocusedRow() { InvalidateRow(GetFocusedRowIndex(), false); }

void TcxCustomLookupGrid::InvalidateRow(int ARowIndex, bool ARecalculate)
{
    TcxLookupGridRowViewInfo* row = FViewInfo ? FViewInfo->FindRow(ARowIndex) : nullptr;
    if (!row) return;
    if (ARecalculate) FViewInfo->RecalculateRow(row);
    InvalidateRect(row->Bounds, false);
}

void TcxCustomLookupGrid::DoClick()
{
    if (OnClick) OnClick(this);
}

void TcxCustomLookupGrid::DoCloseUp(bool AAccept)
{
    if (OnCloseUp) OnCloseUp(this, AAccept);
}

void TcxCustomLookupGrid::DoFocusedRowChanged()
{
    if (OnFocusedRowChanged) OnFocusedRowChanged(this);
}

void TcxCustomLookupGrid::SetFocusedRowSelected(bool ASelected) { FDataController->SetFocusedSelected(ASelected); }

// ---- rows, columns and scrolling

int TcxCustomLookupGrid::GetFocusedRowIndex() { return FDataController->GetFocusedRowIndex(); }
int TcxCustomLookupGrid::GetRowCount() { return FDataController->GetRowCount(); }
void TcxCustomLookupGrid::FocusRow(int ARowIndex) { FDataController->ChangeFocusedRowIndex(ARowIndex); }

void TcxCustomLookupGrid::FocusAndSelectRow(int ARowIndex)
{
    FocusRow(ARowIndex);
    SetFocusedRowSelected(true);
}

void TcxCustomLookupGrid::FocusColumn(int AColumnIndex)
{
    if (FColumns->Count() == 0) return;
    AColumnIndex = std::clamp(AColumnIndex, 0, FColumns->Count() - 1);
    SetFocusedColumn(FColumns->Items(AColumnIndex));
}

void TcxCustomLookupGrid::SetFocusedColumn(TcxLookupGridColumn* Value)
{
    if (FOptions && FOptions->RowSelect()) Value = nullptr;
    if (FFocusedColumn == Value) return;
    FFocusedColumn = Value;
    Changed(TcxLookupGridChanges{lgcLayout});
}

bool TcxCustomLookupGrid::IsRowVisible(int ARowIndex)
{
    return ARowIndex >= FTopRowIndex && ARowIndex < FTopRowIndex + FViewInfo->VisibleRowCount;
}

void TcxCustomLookupGrid::MakeFocusedRowVisible()
{
    const int row = GetFocusedRowIndex();
    if (row < 0) return;
    if (row < FTopRowIndex) {
        SetTopRowIndex(row);
    } else {
        const int visible = std::max(1, FViewInfo->VisibleRowCount);
        if (row > FTopRowIndex + visible - 1) SetTopRowIndex(row - visible + 1);
    }
}

int TcxCustomLookupGrid::CheckTopRowIndex(int AIndex)
{
    if (IsGridMode()) {
        if (AIndex < 0 && !FDataController->IsBOF()) {
            FDataController->Scroll(AIndex);
            AIndex = 0;
        } else {
            const int lastPageTop = GetRowCount() - std::max(1, FViewInfo->VisibleRowCount);
            if (AIndex > lastPageTop && lastPageTop >= 0 && !FDataController->IsEOF()) {
                FDataController->Scroll(AIndex - lastPageTop);
                AIndex = lastPageTop;
            }
        }
    }
    return std::max(0, std::min(AIndex, GetRowCount() - 1));
}

void TcxCustomLookupGrid::SetTopRowIndex(int Value)
{
    if (FDestroying || !FViewInfo) return;
    Value = CheckTopRowIndex(Value);
    if (HandleAllocated()) {
        // Lays out the headers for the current size first: the top row depends on them.
        FViewInfo->BorderSize = GetBorderWidth();
        FViewInfo->CalculateHeaders();
        Value = FViewInfo->CalculateTopRowIndex(Value);
    }
    if (Value == FTopRowIndex) {
        if (HandleAllocated()) FViewInfo->Calculate();
        return;
    }
    FTopRowIndex = Value;
    // The repaint must not move the focus to a row that slid under a still mouse.
    FPopupMouseMoveLocked = true;
    LayoutRecalculated();
}

int TcxCustomLookupGrid::AdjustHeight(int AHeight)
{
    EnsureRowHeights();
    const int header = FOptions->ShowHeader() ? FViewInfo->GetHeaderHeight() : 0;
    const int step = std::max(1, FViewInfo->GetRowStep());
    const int rows = GetRowCount();
    int n = (AHeight - header) / step;
    n = rows == 0 ? 1 : std::clamp(n, 1, rows);
    return header + n * step;
}

int TcxCustomLookupGrid::GetHeightForRows(int ARowCount)
{
    EnsureRowHeights();
    const int header = FOptions->ShowHeader() ? FViewInfo->GetHeaderHeight() : 0;
    return ARowCount * FViewInfo->GetRowStep() + header;
}

void TcxCustomLookupGrid::EnsureRowHeights()
{
    // Measured whether or not the window exists: a popup asks before it opens.
    FViewInfo->Calculate();
}

TcxLookupGridHitInfo TcxCustomLookupGrid::GetHitInfo(const TPoint& P)
{
    TcxLookupGridHitInfo hit;
    if (!PtInRect(GetClientBounds(), P)) return hit;
    if (PtInRect(FViewInfo->HeadersRect, P)) {
        for (auto& c : FViewInfo->Columns)
            if (PtInRect(c->Bounds, P)) {
                hit.HitKind = lghtHeader;
                hit.ColumnIndex = c->Index;
                return hit;
            }
        return hit;
    }
    if (!PtInRect(FViewInfo->RowsRect, P)) return hit;
    for (int i = 0; i < FViewInfo->PartialVisibleRowCount && i < int(FViewInfo->Rows.size()); ++i) {
        TcxLookupGridRowViewInfo* row = FViewInfo->Rows[size_t(i)].get();
        if (!PtInRect(row->Bounds, P)) continue;
        hit.HitKind = lghtRow;
        hit.RowIndex = row->RowIndex;
        for (auto& cell : row->Cells)
            if (P.X >= cell->Bounds.Left && P.X < cell->Bounds.Right) hit.ColumnIndex = cell->ColumnIndex;
        return hit;
    }
    return hit;
}

bool TcxCustomLookupGrid::IsRowAtPoint(const TPoint& P) { return GetHitInfo(P).HitKind == lghtRow; }

void TcxCustomLookupGrid::SetIsPopupControl(bool Value)
{
    if (FIsPopupControl == Value) return;
    FIsPopupControl = Value;
    Changed(TcxLookupGridChanges{lgcLayout});
}

// ---- scroll bar

void TcxCustomLookupGrid::InitScrollBarsParameters()
{
    if (!FViewInfo || !FDataController) return;
    SetScrollBarInfo(sbHorizontal, 0, -1, 1, 1, 0, false, true);
    const int top = GetTopScrollOffset();
    SetScrollBarInfo(sbVertical, 0, top + GetRowCount() + GetBottomScrollOffset() - 1, 1,
                     std::max(1, FViewInfo->VisibleRowCount), top + FTopRowIndex, true, true);
}

void TcxCustomLookupGrid::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (AScrollBarKind != sbVertical) return;
    const int page = FViewInfo->VisibleRowCount < 2 ? 1 : FViewInfo->VisibleRowCount - 1;
    switch (AScrollCode) {
    case scLineUp: SetTopRowIndex(FTopRowIndex - 1); break;
    case scLineDown: SetTopRowIndex(FTopRowIndex + 1); break;
    case scPageUp: SetTopRowIndex(FTopRowIndex - page); break;
    case scPageDown: SetTopRowIndex(FTopRowIndex + page); break;
    case scPosition:
        if (IsGridMode()) SetTopRowIndex(AScrollPos - GetTopScrollOffset());
        break;
    case scTrack:
        if (!IsGridMode()) SetTopRowIndex(AScrollPos);
        break;
    default: break;
    }
    AScrollPos = GetTopScrollOffset() + FTopRowIndex;
}

void TcxCustomLookupGrid::SetScrollMode(int AMode)
{
    if (FScrollMode == AMode) return;
    StopScrollTimer();
    FScrollMode = AMode;
    if (AMode == 0 || FDestroying) return;
    FScrollTimer = std::make_unique<TTimer>(nullptr);
    FScrollTimer->SetInterval(50);
    FScrollTimer->OnTimer = [this](TObject* Sender) { ScrollTimerHandler(Sender); };
    FScrollTimer->SetEnabled(true);
}

void TcxCustomLookupGrid::StopScrollTimer()
{
    if (!FScrollTimer) return;
    FScrollTimer->SetEnabled(false);
    FScrollTimer->OnTimer = nullptr;
    FScrollTimer.reset();
}

void TcxCustomLookupGrid::ScrollTimerHandler(TObject*) { ScrollTimerStep(); }

void TcxCustomLookupGrid::ScrollTimerStep()
{
    if (FScrollMode == 0) return;
    const TPoint p = FLastMousePos;
    int row;
    if (p.Y < FViewInfo->VisibleRowsRect.Top) row = FTopRowIndex - 1;
    else if (p.Y >= FViewInfo->VisibleRowsRect.Bottom) row = FTopRowIndex + FViewInfo->VisibleRowCount;
    else return;
    if (GetRowCount() == 0) return;
    row = std::clamp(row, 0, GetRowCount() - 1);
    FocusRow(row);
    MakeFocusedRowVisible();
    SetFocusedRowSelected(false);
}

// ---- keys and mouse

void TcxCustomLookupGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxControl::KeyDown(Key, Shift);
    const int rowCount = GetRowCount();
    switch (Key) {
    case VK_RETURN: DoCloseUp(GetFocusedRowIndex() != -1); break;
    case VK_PRIOR:
    case VK_NEXT: {
        if (rowCount == 0) break;
        MakeFocusedRowVisible();
        const int visible = std::max(1, FViewInfo->VisibleRowCount);
        const int page = visible < 2 ? 1 : visible - 1;
        if (Key == VK_PRIOR) {
            if (GetFocusedRowIndex() == FTopRowIndex) SetTopRowIndex(FTopRowIndex - page);
            FocusAndSelectRow(FTopRowIndex);
        } else {
            const int last = std::min(FTopRowIndex + visible - 1, rowCount - 1);
            if (GetFocusedRowIndex() == last) SetTopRowIndex(FTopRowIndex + page);
            FocusAndSelectRow(std::min(FTopRowIndex + std::max(1, FViewInfo->VisibleRowCount) - 1, GetRowCount() - 1));
        }
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        int row = GetFocusedRowIndex();
        if (Key == VK_DOWN) {
            if (IsGridMode() && row == rowCount - 1 && !FDataController->IsEOF()) {
                FDataController->Scroll(1);
                if (FDataController->IsEOF()) row = GetFocusedRowIndex() + 1;
                else row = GetFocusedRowIndex();
            } else {
                ++row;
            }
        } else {
            if (IsGridMode() && row == 0 && !FDataController->IsBOF()) {
                FDataController->Scroll(-1);
                row = FDataController->IsBOF() ? GetFocusedRowIndex() - 1 : 0;
            } else {
                --row;
            }
        }
        if (GetRowCount() == 0) break;
        FocusAndSelectRow(std::clamp(row, 0, GetRowCount() - 1));
        break;
    }
    case VK_HOME:
    case VK_END:
        if (Shift.Contains(ssCtrl) || FOptions->RowSelect()) {
            if (Key == VK_HOME) FDataController->GotoFirst();
            else FDataController->GotoLast();
        } else {
            FocusColumn(Key == VK_HOME ? 0 : FColumns->Count() - 1);
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        TcxLookupGridColumn* old = FFocusedColumn;
        const int index = FFocusedColumn ? FFocusedColumn->Index() : 0;
        FocusColumn(Key == VK_LEFT ? index - 1 : index + 1);
        if (FFocusedColumn != old) MakeFocusedRowVisible();
        break;
    }
    default: break;
    }
}

void TcxCustomLookupGrid::RowMouseDown(int ARowIndex, int AColumnIndex, TShiftState)
{
    if (ARowIndex != -1) FocusRow(ARowIndex);
    if (AColumnIndex != -1) FocusColumn(AColumnIndex);
}

void TcxCustomLookupGrid::HeaderClick(int AColumnIndex, TShiftState AShift)
{
    if (AColumnIndex < 0 || AColumnIndex >= FColumns->Count()) return;
    TcxLookupGridColumn* column = FColumns->Items(AColumnIndex);
    if (!FOptions->ColumnSorting() || !column->Sorting()) return;
    BeginUpdate();
    try {
        if (AShift.Contains(ssCtrl)) {
            column->SetSortOrder(soNone);
        } else {
            const TcxDataSortOrder old = column->SortOrder();
            if (!AShift.Contains(ssShift)) FDataController->ClearSorting(false);
            column->SetSortOrder(old == soAscending ? soDescending : soAscending);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    MakeFocusedRowVisible();
}

void TcxCustomLookupGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TcxLookupGridHitInfo hit = GetHitInfo(TPoint{X, Y});
    if (hit.HitKind == lghtHeader) {
        HeaderClick(hit.ColumnIndex, Shift);
    } else if (hit.HitKind == lghtRow) {
        RowMouseDown(hit.RowIndex, hit.ColumnIndex, Shift);
        FRowPressed = true;
    }
}

void TcxCustomLookupGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl::MouseMove(Shift, X, Y);
    FLastMousePos = TPoint{X, Y};
    const bool captured = MouseCapture();
    if (!captured && FPopupMouseMoveLocked) {
        FPopupMouseMoveLocked = false;
        return;
    }
    if (!captured && !FIsPopupControl) return;
    if (FRowPressed && captured &&
        (Y < FViewInfo->VisibleRowsRect.Top || Y >= FViewInfo->VisibleRowsRect.Bottom)) {
        SetScrollMode(Y < FViewInfo->VisibleRowsRect.Top ? 1 : 2);
        return;
    }
    SetScrollMode(0);
    const TcxLookupGridHitInfo hit = GetHitInfo(TPoint{X, Y});
    if (hit.HitKind == lghtRow) FocusAndSelectRow(hit.RowIndex);
}

void TcxCustomLookupGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    SetScrollMode(0);
    const bool pressed = FRowPressed;
    FRowPressed = false;
    TcxControl::MouseUp(Button, Shift, X, Y);
    if (pressed) DoCloseUp(IsRowAtPoint(TPoint{X, Y}));
}

void TcxCustomLookupGrid::CancelMouseOperations()
{
    SetScrollMode(0);
    FRowPressed = false;
    TcxControl::CancelMouseOperations();
}

// ---- the control's notices

int TcxCustomLookupGrid::GetBorderWidth() const
{
    return FIsPopupControl ? 0 : GetLookAndFeelPainter()->FrameWidth();
}

void TcxCustomLookupGrid::ColorChanged()
{
    LayoutChanged();
    TcxControl::ColorChanged();
}

void TcxCustomLookupGrid::BoundsChanged()
{
    LayoutChanged();
    TcxControl::BoundsChanged();
}

void TcxCustomLookupGrid::FontChanged()
{
    TcxControl::FontChanged();
    LayoutChanged();
}

void TcxCustomLookupGrid::FocusChanged()
{
    InvalidateFocusedRow();
    TcxControl::FocusChanged();
}

void TcxCustomLookupGrid::InitScrollBars()
{
    TcxControl::InitScrollBars();
    LayoutChanged();
}

void TcxCustomLookupGrid::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)
{
    TcxControl::LookAndFeelChanged(Sender, AChangedValues);
    if (FPainter) FPainter->LookAndFeelPainter = GetLookAndFeelPainter();
    Changed(TcxLookupGridChanges{lgcLayout});
}

void TcxCustomLookupGrid::Loaded()
{
    TcxControl::Loaded();
    Changed(TcxLookupGridChanges{lgcLayout});
}

void TcxCustomLookupGrid::Paint()
{
    TcxControl::Paint();
    FPainter->Paint();
}
