#include "cxGridTableRows.h"

#include "cxGrid.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxGridExpandButtonCellViewInfo, TcxGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridDetailsAreaViewInfo, TcxGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
QZ_CLASS_IMPL(TcxGridMasterDataRowViewInfo, TcxGridDataRowViewInfo)
QZ_CLASS_IMPL(TcxGridGroupCellViewInfo, TcxGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridGroupRowViewInfo, TcxCustomGridRowViewInfo)

// ---- expand button cell ---------------------------------------------------------------------------------

TcxGridMasterDataRowViewInfo* TcxGridExpandButtonCellViewInfo::MasterRowViewInfo() const
{
    return static_cast<TcxGridMasterDataRowViewInfo*>(RecordViewInfo());
}

int TcxGridExpandButtonCellViewInfo::GetIndentWidth() { return MasterRowViewInfo()->LevelIndent(); }

int TcxGridExpandButtonCellViewInfo::CalculateHeight()
{
    TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
    int height = row->GetDataHeight();
    if (row->DetailsSiteVisible()) height += row->DetailsAreaViewInfo()->CalculateHeight();
    return height;
}

int TcxGridExpandButtonCellViewInfo::CalculateWidth()
{
    // The part of the row scrolled out on the left is added, so that the
    // right edge stays where it is while the rows scroll sideways.
    TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
    int scrolled = row->TableViewInfo()->ClientBounds.Left - row->Bounds.Left;
    return GetIndentWidth() + std::max(scrolled, 0);
}

TcxBorders TcxGridExpandButtonCellViewInfo::GetBorders()
{
    TcxGridMasterDataRowViewInfo* row = MasterRowViewInfo();
    TcxBorders borders = row->TableViewInfo()->GetCellBorders(false);
    if (row->DetailsSiteVisible() && borders.Contains(bBottom))
        borders.Include(bRight);
    else
        borders.Exclude(bRight);
    return borders;
}

TBitmap* TcxGridExpandButtonCellViewInfo::GetBackgroundBitmap() { return MasterRowViewInfo()->GetBackgroundBitmap(); }

void TcxGridExpandButtonCellViewInfo::GetBorderBounds(TcxBorder ABorder, TRect& R)
{
    TcxGridCellViewInfo::GetBorderBounds(ABorder, R);
    if (ABorder != bRight) return;
    int top = Bounds.Top + MasterRowViewInfo()->GetDataHeight();
    if (Borders.Contains(bBottom)) top -= GetBorderWidth(bBottom);
    R.Top = std::min(std::max(R.Top, top), R.Bottom);
}

// ---- details area ------------------------------------------------------------------------------------------

TcxGridMasterDataRowViewInfo* TcxGridDetailsAreaViewInfo::MasterRowViewInfo() const
{
    return static_cast<TcxGridMasterDataRowViewInfo*>(RecordViewInfo());
}

int TcxGridDetailsAreaViewInfo::CalculateHeight() { return MasterRowViewInfo()->DetailsSiteViewInfo()->GetHeight(); }
int TcxGridDetailsAreaViewInfo::CalculateWidth() { return MasterRowViewInfo()->DetailsSiteViewInfo()->GetMaxWidth(); }

TcxBorders TcxGridDetailsAreaViewInfo::GetBorders()
{
    TcxGridLines lines = MasterRowViewInfo()->TableView()->OptionsView()->GridLines();
    return lines == glBoth || lines == glHorizontal ? TcxBorders{bBottom} : TcxBorders{};
}

// ---- details site ------------------------------------------------------------------------------------------

TcxGridDetailsSiteViewInfo::TcxGridDetailsSiteViewInfo(TcxGridMasterDataRowViewInfo* AMasterDataRowViewInfo)
    : TcxCustomGridDetailsSiteViewInfo(AMasterDataRowViewInfo->TableView()->Level()),
      FMasterDataRowViewInfo(AMasterDataRowViewInfo)
{
}

TcxGridMasterDataRow* TcxGridDetailsSiteViewInfo::MasterDataRow() const { return FMasterDataRowViewInfo->MasterDataRow(); }

TcxGridMasterTableViewInfoCacheItem* TcxGridDetailsSiteViewInfo::CacheItem() const
{
    if (FMasterDataRowViewInfo->IsNewItemRecord()) return nullptr;
    TcxCustomGridViewInfoCache* cache = FMasterDataRowViewInfo->TableView()->ViewInfoCache();
    return cache ? DynamicCast<TcxGridMasterTableViewInfoCacheItem>(cache->Items(FMasterDataRowViewInfo->RecordIndex()))
                 : nullptr;
}

void TcxGridDetailsSiteViewInfo::GetDetailsFocusChanged()
{
    if (TcxCustomGridView* view = GetActiveGridView())
        if (TcxCustomGridController* controller = view->Controller()) controller->ControlFocusChanged();
}

int TcxGridDetailsSiteViewInfo::CalculateHeight()
{
    // The detail view measures what it laid out: it is laid out first in
    // the room it may have, the site's width and its maximum height.
    if (TcxCustomGridView* view = GetActiveGridView()) {
        TRect client;
        GetClientBounds(client);
        int extraWidth = Bounds.Width() - client.Width();
        int extraHeight = Bounds.Height() - client.Height();
        int width = std::max(GetWidth() - extraWidth, 0);
        int height = std::max(GetMaxHeight() - extraHeight, 0);
        TRect site = view->Site()->BoundsRect();
        view->ViewInfo()->Calculate(TRect{site.Left, site.Top, site.Left + width, site.Top + height});
    }
    int result = TcxCustomGridDetailsSiteViewInfo::CalculateHeight();
    if (TcxGridMasterTableViewInfoCacheItem* item = CacheItem()) item->DetailsSiteFullyVisible = FullyVisible();
    return result;
}

int TcxGridDetailsSiteViewInfo::GetHeight()
{
    TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
    if (!item) return CalculateHeight();
    if (!item->IsDetailsSiteHeightAssigned) {
        item->DetailsSiteHeight = CalculateHeight();
        item->IsDetailsSiteHeightAssigned = true;
        item->DetailsSiteNormalHeight = NormalHeight;
        item->IsDetailsSiteNormalHeightAssigned = true;
    }
    return item->DetailsSiteHeight;
}

int TcxGridDetailsSiteViewInfo::GetNormalHeight()
{
    TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
    if (!item) {
        CalculateHeight();
        return NormalHeight;
    }
    if (!item->IsDetailsSiteNormalHeightAssigned) {
        if (item->IsDetailsSiteHeightAssigned) CalculateHeight();
        else GetHeight();
        item->DetailsSiteNormalHeight = NormalHeight;
        item->IsDetailsSiteNormalHeightAssigned = true;
    }
    return item->DetailsSiteNormalHeight;
}

int TcxGridDetailsSiteViewInfo::GetWidth()
{
    TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
    if (!item) return CalculateWidth();
    if (!item->IsDetailsSiteWidthAssigned) {
        item->DetailsSiteWidth = CalculateWidth();
        item->IsDetailsSiteWidthAssigned = true;
    }
    return item->DetailsSiteWidth;
}

bool TcxGridDetailsSiteViewInfo::IsFullyVisible()
{
    TcxGridMasterTableViewInfoCacheItem* item = CacheItem();
    if (item && item->IsDetailsSiteHeightAssigned) return item->DetailsSiteFullyVisible;
    GetHeight();
    return item ? item->DetailsSiteFullyVisible : FullyVisible();
}

TcxCanvas* TcxGridDetailsSiteViewInfo::GetCanvas() { return FMasterDataRowViewInfo->TableViewInfo()->Canvas(); }

TcxCustomLookAndFeelPainterClass TcxGridDetailsSiteViewInfo::GetLookAndFeelPainter()
{
    return FMasterDataRowViewInfo->TableView()->LookAndFeelPainter();
}

int TcxGridDetailsSiteViewInfo::GetMaxHeight()
{
    int height = FMasterDataRowViewInfo->MaxDetailHeight();
    Level()->CheckHeight(height);
    return height;
}

int TcxGridDetailsSiteViewInfo::GetMaxNormalHeight()
{
    int height = INT_MAX;
    Level()->CheckHeight(height);
    return height;
}

int TcxGridDetailsSiteViewInfo::GetMaxWidth()
{
    TcxGridMasterDataRowViewInfo* row = FMasterDataRowViewInfo;
    TcxCustomGridRecord* record = row->GridRecord();
    int levels = (record ? record->Level() : 0) + 1;
    return std::max(row->TableViewInfo()->ClientBounds.Width() - levels * row->LevelIndent(), 0);
}

TcxCustomGridView* TcxGridDetailsSiteViewInfo::GetActiveGridViewValue()
{
    // The detail view of an expanded row is made on first use.
    TcxGridMasterDataRow* row = MasterDataRow();
    int index = row && row->HasValidRecordIndex() ? row->ActiveDetailIndex() : -1;
    if (index < 0) return nullptr;
    auto* view = DynamicCast<TcxCustomGridView>(row->DataController()->GetDetailLinkObject(row->RecordIndex(), index));
    return view && !view->IsDestroying() ? view : nullptr;
}

TcxCustomGridView* TcxGridDetailsSiteViewInfo::GetActiveGridView()
{
    TcxCustomGridView* view = TcxCustomGridDetailsSiteViewInfo::GetActiveGridView();
    if (view && view->ViewInfo()) {
        bool calculating = false;
        for (TcxCustomGridView* master = FMasterDataRowViewInfo->TableView(); master && !calculating;
             master = master->MasterGridView())
            calculating = master->ViewInfo() && master->ViewInfo()->IsCalculating();
        view->ViewInfo()->CalculatingForMaster = calculating;
    }
    return view;
}

TcxGridLevel* TcxGridDetailsSiteViewInfo::GetActiveLevel()
{
    TcxGridMasterDataRow* row = MasterDataRow();
    return row ? row->ActiveDetailLevel() : nullptr;
}

bool TcxGridDetailsSiteViewInfo::GetVisible()
{
    TcxGridMasterDataRow* row = MasterDataRow();
    return row && row->GetExpanded();
}

void TcxGridDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* AHitTest)
{
    AHitTest->Owner = MasterDataRow();
}

void TcxGridDetailsSiteViewInfo::SetActiveLevel(TcxGridLevel* ALevel)
{
    if (TcxGridMasterDataRow* row = MasterDataRow()) row->SetActiveDetailIndex(ALevel ? ALevel->Index() : -1);
}

void TcxGridDetailsSiteViewInfo::VisibilityChanged(bool AVisible)
{
    // A grid or master view on its way out has nothing left to show or hide.
    TcxCustomGridView* master = FMasterDataRowViewInfo->TableView();
    TcxCustomGrid* grid = master->Grid();
    if (master->IsDestroying() || (grid && grid->IsGridDestroying())) return;
    TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(AVisible);
}

// ---- master rows -------------------------------------------------------------------------------------------------

TcxGridMasterDataRowViewInfo::~TcxGridMasterDataRowViewInfo()
{
    FExpandButtonCell.reset();
    TcxGridDetailsSiteViewInfo* site = FDetailsSite;
    FDetailsSite = nullptr;
    FreeObject(site);
    FDetailsArea.reset();
}

void TcxGridMasterDataRowViewInfo::AfterConstruction()
{
    TcxGridDataRowViewInfo::AfterConstruction();
    FExpandButtonCell.reset(GetExpandButtonCellViewInfoClass().Create(this));
    FDetailsSite = GetDetailsSiteViewInfoClass().Create(this);
    FDetailsArea.reset(GetDetailsAreaViewInfoClass().Create(this));
}

TcxGridDetailsAreaViewInfoClass TcxGridMasterDataRowViewInfo::GetDetailsAreaViewInfoClass()
{
    return TcxGridDetailsAreaViewInfoClass::Of<TcxGridDetailsAreaViewInfo>();
}

TcxGridDetailsSiteViewInfoClass TcxGridMasterDataRowViewInfo::GetDetailsSiteViewInfoClass()
{
    return TcxGridDetailsSiteViewInfoClass::Of<TcxGridDetailsSiteViewInfo>();
}

TcxGridExpandButtonCellViewInfoClass TcxGridMasterDataRowViewInfo::GetExpandButtonCellViewInfoClass()
{
    return TcxGridExpandButtonCellViewInfoClass::Of<TcxGridExpandButtonCellViewInfo>();
}

bool TcxGridMasterDataRowViewInfo::DetailsSiteVisible()
{
    TcxCustomGridRecord* record = GridRecord();
    return FDetailsSite && record && record->GetExpanded();
}

int TcxGridMasterDataRowViewInfo::CalculateMaxDetailHeight(int AHeight)
{
    return RowsViewInfo()->GetLastRowAvailableHeight(Bounds.Top) - AHeight;
}

int TcxGridMasterDataRowViewInfo::CalculateHeight()
{
    int height = TcxGridDataRowViewInfo::CalculateHeight();
    if (DetailsSiteVisible()) {
        FMaxDetailHeight = CalculateMaxDetailHeight(height);
        height += FDetailsSite->GetHeight();
    }
    return height;
}

int TcxGridMasterDataRowViewInfo::GetCellsAreaLeft() { return GetContentLeft() + LevelIndent(); }
int TcxGridMasterDataRowViewInfo::GetCellsAreaWidth() { return GetContentWidth() - LevelIndent(); }

int TcxGridMasterDataRowViewInfo::GetDataHeight()
{
    int height = TcxGridDataRowViewInfo::GetDataHeight();
    if (DetailsSiteVisible()) height -= FDetailsSite->GetHeight();
    return height;
}

int TcxGridMasterDataRowViewInfo::GetFullHeight()
{
    int height = GetHeight();
    if (!DetailsSiteVisible()) return height;
    // Counting upwards a row whose details do not fit never fits, unless it is the first.
    if (!FDetailsSite->IsFullyVisible() && !TableViewInfo()->CalculateDown && RowsViewInfo()->IndexOfRow(this) != 0)
        return UnfittableHeight;
    return height + FDetailsSite->GetNormalHeight() - FDetailsSite->GetHeight();
}

void TcxGridMasterDataRowViewInfo::GetExpandButtonAreaBounds(TRect& R)
{
    int left = GetContentLeft();
    R = TRect{left, Bounds.Top, left + LevelIndent(), Bounds.Top + GetDataHeight()};
}

void TcxGridMasterDataRowViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridDataRowViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    FExpandButtonCell->Calculate(GetContentLeft(), Bounds.Top);
    if (!DetailsSiteVisible()) return;
    bool parked = false;
    if (TcxCustomGridView* detail = FDetailsSite->GetActiveGridView())
        parked = detail->Site() && detail->Site()->IsParked();
    if (TableViewInfo()->IsCalculating() || parked) {
        int left = FExpandButtonCell->Bounds.Right;
        int top = Bounds.Top + GetDataHeight();
        FDetailsSite->Calculate(left, top);
        FDetailsArea->Calculate(left, top);
    }
}

TcxCustomGridHitTest* TcxGridMasterDataRowViewInfo::GetHitTest(const TPoint& P)
{
    if (DetailsSiteVisible() && PtInRect(FDetailsSite->Bounds, P))
        if (TcxCustomGridHitTest* hit = FDetailsSite->GetHitTest(P)) return hit;
    return TcxGridDataRowViewInfo::GetHitTest(P);
}

void TcxGridMasterDataRowViewInfo::DoOffset(int DX, int DY)
{
    TcxGridDataRowViewInfo::DoOffset(DX, DY);
    if (DX != 0) {
        // Its width follows the scroll position: placed again rather than moved.
        FExpandButtonCell->BeforeRecalculation();
        FExpandButtonCell->Calculate(GetContentLeft(), Bounds.Top);
    } else {
        FExpandButtonCell->Offset(DX, DY);
    }
    if (DY != 0 && DetailsSiteVisible() && FDetailsArea->Calculated) {
        // The details stay at the left; the detail view goes with the row.
        FDetailsSite->Calculate(FDetailsSite->Bounds.Left, FDetailsSite->Bounds.Top + DY);
        FDetailsArea->Offset(0, DY);
    }
}

void TcxGridMasterDataRowViewInfo::ControlFocusChanged()
{
    TcxGridDataRowViewInfo::ControlFocusChanged();
    if (DetailsSiteVisible()) FDetailsSite->GetDetailsFocusChanged();
}

void TcxGridMasterDataRowViewInfo::VisibilityChanged(bool AVisible)
{
    TcxGridDataRowViewInfo::VisibilityChanged(AVisible);
    if (DetailsSiteVisible()) FDetailsSite->VisibilityChanged(AVisible);
}

bool TcxGridMasterDataRowViewInfo::IsDetailVisible(TcxCustomGridView* ADetail)
{
    return ADetail && DetailsSiteVisible() && FDetailsSite->GetActiveLevel() == ADetail->Level();
}

// ---- group cells -------------------------------------------------------------------------------------------------

TcxGridGroupRowViewInfo* TcxGridGroupCellViewInfo::GroupRowViewInfo() const
{
    return static_cast<TcxGridGroupRowViewInfo*>(RecordViewInfo());
}

int TcxGridGroupCellViewInfo::CalculateHeight() { return GroupRowViewInfo()->GetDataHeight(); }
int TcxGridGroupCellViewInfo::CalculateWidth() { return GroupRowViewInfo()->GetContentWidth(); }
std::string TcxGridGroupCellViewInfo::GetText() { return GroupRowViewInfo()->GetText(); }

void TcxGridGroupCellViewInfo::GetTextAreaBounds(TRect& R)
{
    TcxGridCellViewInfo::GetTextAreaBounds(R);
    R.Left += GroupRowViewInfo()->LevelIndent();
}

void TcxGridGroupCellViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TcxGridGroupRowViewInfo* row = GroupRowViewInfo();
    TcxGridTableView* view = row->TableView();
    TcxCustomGridRecord* record = row->GridRecord();
    // Selected with its record: cell selection does not apply to group rows.
    if (record && view->DrawRecordSelected(record))
        view->Styles()->GetViewParams(view->DrawRecordActive(record) ? TcxCustomGridTableViewStyles::vsSelection
                                                                     : TcxCustomGridTableViewStyles::vsInactive,
                                      record, nullptr, AParams);
    else
        view->Styles()->GetContentParams(record, nullptr, AParams);
}

TBitmap* TcxGridGroupCellViewInfo::GetBackgroundBitmap() { return GroupRowViewInfo()->GetBackgroundBitmap(); }

TcxBorders TcxGridGroupCellViewInfo::GetBorders() { return GroupRowViewInfo()->TableViewInfo()->GetCellBorders(true); }

void TcxGridGroupCellViewInfo::GetBorderBounds(TcxBorder ABorder, TRect& R)
{
    TcxGridCellViewInfo::GetBorderBounds(ABorder, R);
    TcxGridGroupRowViewInfo* row = GroupRowViewInfo();
    TcxCustomGridRecord* record = row->GridRecord();
    if (ABorder != bBottom || !record || !record->GetExpanded()) return;
    // It meets the vertical line of the indent column the group's rows stand right of.
    int start = Bounds.Left + row->LevelIndent() - row->TableViewInfo()->GetGridLineWidth();
    R.Left = std::min(std::max(R.Left, start), R.Right);
}

bool TcxGridGroupCellViewInfo::HasCustomDraw() { return GroupRowViewInfo()->TableView()->HasCustomDrawGroupCell(); }

bool TcxGridGroupCellViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = false;
    GroupRowViewInfo()->TableView()->DoCustomDrawGroupCell(ACanvas, this, done);
    return done;
}

// ---- group rows ----------------------------------------------------------------------------------------------------

TcxGridGroupRowViewInfo::~TcxGridGroupRowViewInfo() { FCell.reset(); }

void TcxGridGroupRowViewInfo::AfterConstruction()
{
    TcxCustomGridRowViewInfo::AfterConstruction();
    FCell.reset(GetCellViewInfoClass().Create(this));
}

TcxGridGroupCellViewInfoClass TcxGridGroupRowViewInfo::GetCellViewInfoClass()
{
    return TcxGridGroupCellViewInfoClass::Of<TcxGridGroupCellViewInfo>();
}

bool TcxGridGroupRowViewInfo::CanSize() { return TableView()->OptionsCustomize()->GroupRowSizing(); }

void TcxGridGroupRowViewInfo::CheckHeight(int& AHeight)
{
    int nonCells = GetNonCellsHeight();
    AHeight = std::max(AHeight - nonCells, 0) + nonCells;
}

int TcxGridGroupRowViewInfo::CalculateHeight()
{
    TcxGridTableView* view = TableView();
    int height;
    if (view->OptionsView()->CellAutoHeight() && view->OptionsView()->GroupRowHeight() == 0) {
        TcxViewParams params;
        FCell->GetViewParams(params);
        height = RowsViewInfo()->GetTextRowHeight(params);
    } else {
        height = RowsViewInfo()->GroupRowHeight();
    }
    return height + GetBottomPartHeight();
}

std::string TcxGridGroupRowViewInfo::GetText()
{
    TcxGridGroupRow* row = GroupRow();
    return row ? row->DisplayText() : std::string();
}

void TcxGridGroupRowViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TcxCustomGridRecord* record = GridRecord();
    TableView()->Styles()->GetGroupParams(record, record ? record->Level() : 0, AParams);
}

TBitmap* TcxGridGroupRowViewInfo::GetBackgroundBitmap() { return RowsViewInfo()->GetGroupBackgroundBitmap(); }

bool TcxGridGroupRowViewInfo::HasFooter(int ALevel)
{
    TcxCustomGridRecord* record = GridRecord();
    // A collapsed group shows its own footer when footers always show.
    if (ALevel == 0 && TableView()->OptionsView()->GroupFooters() == gfAlwaysVisible && record && !record->GetExpanded())
        return true;
    return TcxCustomGridRowViewInfo::HasFooter(ALevel);
}

TRect TcxGridGroupRowViewInfo::GetSeparatorBounds()
{
    TRect r = TcxCustomGridRowViewInfo::GetSeparatorBounds();
    TcxCustomGridRecord* record = GridRecord();
    if (record && record->GetExpanded()) r.Left = GetContentLeft() + LevelIndent();
    return r;
}

TRect TcxGridGroupRowViewInfo::GetExpandButtonSeparatorBounds()
{
    TcxCustomGridRecord* record = GridRecord();
    if (!record || !record->GetExpanded()) return TRect{};
    TRect r = TcxCustomGridRowViewInfo::GetSeparatorBounds();
    r.Right = GetSeparatorBounds().Left;
    return IsRectEmpty(r) ? TRect{} : r;
}

void TcxGridGroupRowViewInfo::SetSizedHeight(int AHeight)
{
    if (AHeight == Bounds.Height()) return;
    TableView()->OptionsView()->SetGroupRowHeight(std::max(AHeight - GetNonCellsHeight(), 0));
}

void TcxGridGroupRowViewInfo::GetExpandButtonAreaBounds(TRect& R)
{
    if (FCell && FCell->Calculated) {
        R = FCell->ContentBounds();
    } else {
        int left = GetContentLeft();
        R = TRect{left, Bounds.Top, left + GetContentWidth(), Bounds.Top + GetDataHeight()};
    }
    R.Right = R.Left + LevelIndent();
}

void TcxGridGroupRowViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxCustomGridRowViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    FCell->Calculate(GetContentLeft(), Bounds.Top);
    // The button stands in the cell, known only now.
    TcxCustomGridRecord* record = GridRecord();
    if (record && record->GetExpandable()) {
        GetExpandButtonAreaBounds(ExpandButtonBounds);
        GetExpandButtonBounds(ExpandButtonBounds);
    }
}

void TcxGridGroupRowViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridRowViewInfo::DoOffset(DX, DY);
    FCell->Offset(DX, DY);
}

void TcxGridGroupRowViewInfo::BeforeRecalculation()
{
    TcxCustomGridRowViewInfo::BeforeRecalculation();
    FCell->BeforeRecalculation();
}
