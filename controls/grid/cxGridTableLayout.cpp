#include "cxGridTableLayout.h"

#include "cxGridTableHitTests.h"

#include "cxClasses.h"
#include "cxGridStrs.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxCustomGridPartViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridColumnContainerZone, TObject)
QZ_CLASS_IMPL(TcxGridColumnContainerViewInfo, TcxCustomGridPartViewInfo)
QZ_CLASS_IMPL(TcxGridHeaderViewInfoSpecific, TObject)
QZ_CLASS_IMPL(TcxGridHeaderViewInfo, TcxGridColumnContainerViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderAreaViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderHorzSizingEdgeViewInfo, TcxGridColumnHeaderAreaViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderFilterButtonViewInfo, TcxGridColumnHeaderAreaViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderSortingMarkViewInfo, TcxGridColumnHeaderAreaViewInfo)
QZ_CLASS_IMPL(TcxGridColumnHeaderGlyphViewInfo, TcxGridColumnHeaderAreaViewInfo)
QZ_CLASS_IMPL(TcxGridGroupByBoxViewInfo, TcxGridColumnContainerViewInfo)
QZ_CLASS_IMPL(TcxGridGroupByBoxColumnHeaderViewInfo, TcxGridColumnHeaderViewInfo)
QZ_CLASS_IMPL(TcxGridFooterViewInfo, TcxGridHeaderViewInfo)
QZ_CLASS_IMPL(TcxGridFooterCellViewInfo, TcxGridColumnHeaderViewInfo)
QZ_CLASS_IMPL(TcxCustomGridFilterButtonViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridFilterCloseButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
QZ_CLASS_IMPL(TcxGridFilterActivateButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
QZ_CLASS_IMPL(TcxGridFilterCustomizeButtonViewInfo, TcxCustomGridFilterButtonViewInfo)
QZ_CLASS_IMPL(TcxGridFilterButtonsViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridFilterViewInfo, TcxCustomGridPartViewInfo)
QZ_CLASS_IMPL(TcxGridIndicatorViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxCustomGridIndicatorItemViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridIndicatorHeaderItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
QZ_CLASS_IMPL(TcxGridIndicatorRowItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
QZ_CLASS_IMPL(TcxGridIndicatorFooterItemViewInfo, TcxCustomGridIndicatorItemViewInfo)
QZ_CLASS_IMPL(TcxGridRowFootersViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridRowFooterViewInfo, TcxGridFooterViewInfo)
QZ_CLASS_IMPL(TcxGridRowFooterCellViewInfo, TcxGridFooterCellViewInfo)
QZ_CLASS_IMPL(TcxCustomGridRowViewInfo, TcxCustomGridRecordViewInfo)
QZ_CLASS_IMPL(TcxGridCellViewInfo, TcxGridTableCellViewInfo)
QZ_CLASS_IMPL(TcxGridDataRowCellsAreaViewInfo, TcxGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridDataCellViewInfo, TcxGridTableDataCellViewInfo)
QZ_CLASS_IMPL(TcxGridPreviewCellViewInfo, TcxGridDataCellViewInfo)
QZ_CLASS_IMPL(TcxGridPreviewHitTest, TcxGridRecordCellHitTest)
QZ_CLASS_IMPL(TcxGridDataRowViewInfo, TcxCustomGridRowViewInfo)
QZ_CLASS_IMPL(TcxGridNewItemRowViewInfo, TcxGridDataRowViewInfo)
QZ_CLASS_IMPL(TcxGridRowsViewInfo, TcxCustomGridRecordsViewInfo)
QZ_CLASS_IMPL(TcxGridTableViewInfo, TcxCustomGridTableViewInfo)
QZ_CLASS_IMPL(TcxGridTableViewInfoCacheItem, TcxCustomGridTableViewInfoCacheItem)
QZ_CLASS_IMPL(TcxGridMasterTableViewInfoCacheItem, TcxGridTableViewInfoCacheItem)
QZ_CLASS_IMPL(TcxGridTableViewInfoCache, TcxCustomGridTableViewInfoCache)

namespace {
std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& ShowFilterPopupSlot()
{
    static std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)> slot;
    return slot;
}

std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& HideFilterPopupSlot()
{
    static std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)> slot;
    return slot;
}

bool HasHorzGridLines(TcxGridTableView* AView)
{
    TcxGridLines lines = AView->OptionsView()->GridLines();
    return lines == glBoth || lines == glHorizontal;
}

bool IsRectEmptyArea(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
}  // namespace

namespace cxGridTableLayout {
void SetShowFilterPopup(const std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& AProc)
{
    ShowFilterPopupSlot() = AProc;
}
void SetHideFilterPopup(const std::function<void(TcxGridColumnHeaderFilterButtonViewInfo*)>& AProc)
{
    HideFilterPopupSlot() = AProc;
}
}  // namespace cxGridTableLayout

// ---- parts ---------------------------------------------------------------------------------------------

TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo(TcxGridTableViewInfo* AGridViewInfo)
    : TcxCustomGridViewCellViewInfo(AGridViewInfo)
{
}

TcxCustomGridPartViewInfo::~TcxCustomGridPartViewInfo()
{
    if (FInPartList) TableViewInfo()->RemovePart(this);
}

void TcxCustomGridPartViewInfo::AfterConstruction()
{
    TcxCustomGridViewCellViewInfo::AfterConstruction();
    if (IsInPartList()) {
        TableViewInfo()->AddPart(this);
        FInPartList = true;
    }
}

TcxGridTableViewInfo* TcxCustomGridPartViewInfo::TableViewInfo() const
{
    return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridTableView* TcxCustomGridPartViewInfo::TableView() const { return TableViewInfo()->TableView(); }

TRect TcxCustomGridPartViewInfo::GetPartBounds() { return TableViewInfo()->GetPartBounds(this); }

void TcxCustomGridPartViewInfo::CalculateInvisible()
{
    CalculatedHeight = 0;
    TcxCustomGridViewCellViewInfo::Calculate(0, 0, 0, 0);
}

void TcxCustomGridPartViewInfo::CalculateVisible()
{
    CalculatedHeight = CalculateHeight();
    Calculate(GetPartBounds());
}

void TcxCustomGridPartViewInfo::MainCalculate()
{
    if (GetVisible())
        CalculateVisible();
    else
        CalculateInvisible();
}

int TcxCustomGridPartViewInfo::CalculateWidth() { return TableViewInfo()->ViewBounds.Width(); }

int TcxCustomGridPartViewInfo::GetHeight() { return IsRectEmptyArea(Bounds) ? CalculatedHeight : Bounds.Height(); }

bool TcxCustomGridPartViewInfo::HasCustomDrawBackground() { return TableView()->HasCustomDrawPartBackground(); }

bool TcxCustomGridPartViewInfo::CustomDrawBackground(TcxCanvas* ACanvas)
{
    bool done = false;
    TableView()->DoCustomDrawPartBackground(ACanvas, this, done);
    return done;
}

// ---- column containers ------------------------------------------------------------------------------------

TcxGridColumnContainerViewInfo::~TcxGridColumnContainerViewInfo() = default;

int TcxGridColumnContainerViewInfo::Count()
{
    if (!FItemsMade) {
        FItemsMade = true;
        FItems.resize(size_t(std::max(GetColumnCount(), 0)));
    }
    return int(FItems.size());
}

TcxGridColumnHeaderViewInfo* TcxGridColumnContainerViewInfo::Items(int AIndex)
{
    if (AIndex < 0 || AIndex >= Count()) return nullptr;
    auto& slot = FItems[size_t(AIndex)];
    if (!slot) slot.reset(GetItemClass().Create(this, GetColumn(AIndex)));
    return slot.get();
}

TFont* TcxGridColumnContainerViewInfo::GetFont()
{
    CheckValuesCalculated();
    return Params.Font;
}

int TcxGridColumnContainerViewInfo::CalculateItemHeight()
{
    int textHeight = GridViewInfo()->GetFontHeight(GetFont());
    int border = TableView()->LookAndFeelPainter()->HeaderFrameWidth();
    return textHeight + 4 + 2 * border;
}

int TcxGridColumnContainerViewInfo::ItemHeight()
{
    if (FItemHeight == -1) FItemHeight = CalculateItemHeight();
    return FItemHeight;
}

int TcxGridColumnContainerViewInfo::GetColumnWidth(TcxGridColumn* AColumn)
{
    int width = AColumn->Width();
    if (AColumn->VisibleIndex() == 0) width += TableViewInfo()->GetLevelIndentsWidth();
    return width;
}

int TcxGridColumnContainerViewInfo::GetColumnMinWidth(TcxGridColumn* AColumn)
{
    int width = AColumn->MinWidth();
    if (AColumn->VisibleIndex() == 0) width += TableViewInfo()->GetLevelIndentsWidth();
    return width;
}

TcxGridColumnHeaderViewInfoClass TcxGridColumnContainerViewInfo::GetItemClass()
{
    return TcxGridColumnHeaderViewInfoClass::Of<TcxGridColumnHeaderViewInfo>();
}

TRect TcxGridColumnContainerViewInfo::GetZonesAreaBounds()
{
    TRect r = Bounds;
    r.Right = TableViewInfo()->ClientBounds.Right;
    return r;
}

std::unique_ptr<TcxGridColumnContainerZone> TcxGridColumnContainerViewInfo::GetZone(const TPoint& P)
{
    TRect area = GetZonesAreaBounds();
    if (!GetVisible() || !PtInRect(area, P)) return nullptr;
    int left = area.Left;
    for (int i = 0; i < Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = Items(i);
        int right = (cell->Bounds.Left + cell->Bounds.Right) / 2;
        if (P.X >= left && P.X < right) return std::make_unique<TcxGridColumnContainerZone>(i);
        left = right;
    }
    if (P.X >= left && P.X < area.Right) return std::make_unique<TcxGridColumnContainerZone>(Count());
    return nullptr;
}

TcxCustomGridHitTest* TcxGridColumnContainerViewInfo::GetHitTest(const TPoint& P)
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)] && FItems[size_t(i)]->Calculated)
            if (TcxCustomGridHitTest* hit = FItems[size_t(i)]->GetHitTest(P)) return hit;
    return TcxCustomGridPartViewInfo::GetHitTest(P);
}

void TcxGridColumnContainerViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridPartViewInfo::DoOffset(DX, DY);
    for (auto& item : FItems)
        if (item) item->Offset(DX, DY);
}

// ---- header -------------------------------------------------------------------------------------------------

int TcxGridHeaderViewInfoSpecific::GetItemHeight() { return FHeader->ItemHeight(); }

TcxGridHeaderViewInfo::~TcxGridHeaderViewInfo() = default;

void TcxGridHeaderViewInfo::AfterConstruction()
{
    TcxGridColumnContainerViewInfo::AfterConstruction();
    FSpecific.reset(TableViewInfo()->GetHeaderViewInfoSpecificClass().Create(this));
}

bool TcxGridHeaderViewInfo::IsAutoWidth() { return TableView()->OptionsView()->ColumnAutoWidth(); }
TBitmap* TcxGridHeaderViewInfo::GetItemsBackgroundBitmap() { return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbHeader); }
bool TcxGridHeaderViewInfo::IsHeightAssigned() { return TableView()->OptionsView()->HeaderHeight() != 0; }
bool TcxGridHeaderViewInfo::IsItemAutoHeight() { return TableView()->OptionsView()->HeaderAutoHeight(); }
bool TcxGridHeaderViewInfo::IsItemMultiLinePainting() { return IsHeightAssigned(); }
TcxGridColumn* TcxGridHeaderViewInfo::GetColumn(int AIndex) { return TableView()->VisibleColumns(AIndex); }
int TcxGridHeaderViewInfo::GetColumnCount() { return TableView()->VisibleColumnCount(); }
bool TcxGridHeaderViewInfo::GetVisible() { return TableView()->OptionsView()->Header(); }

TcxNeighbors TcxGridHeaderViewInfo::GetColumnNeighbors(TcxGridColumn* AColumn)
{
    TcxNeighbors result;
    if (AColumn->VisibleIndex() > 0) result.Include(nLeft);
    if (AColumn->VisibleIndex() < TableView()->VisibleColumnCount() - 1) result.Include(nRight);
    return result;
}

void TcxGridHeaderViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetViewParams(TcxGridTableViewStyles::vsHeader, nullptr, nullptr, AParams);
}

TRect TcxGridHeaderViewInfo::GetZonesAreaBounds()
{
    TRect r = TcxGridColumnContainerViewInfo::GetZonesAreaBounds();
    InflateRect(r, 0, 15);
    return r;
}

int TcxGridHeaderViewInfo::CalculateItemHeight()
{
    if (IsHeightAssigned()) return TableView()->OptionsView()->HeaderHeight();
    int height = 0;
    for (int i = 0; i < Count(); ++i) height = std::max(height, Items(i)->CalculateHeight());
    return height > 0 ? height : TcxGridColumnContainerViewInfo::CalculateItemHeight();
}

int TcxGridHeaderViewInfo::CalculateHeight() { return FSpecific->GetHeight(); }

int TcxGridHeaderViewInfo::CalculateWidth()
{
    int width = 0;
    for (int i = 0; i < Count(); ++i) width += Items(i)->GetWidth();
    return width;
}

void TcxGridHeaderViewInfo::CalculateColumnAutoWidths()
{
    TcxAutoWidthObject distributor(Count());
    for (int i = 0; i < Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = Items(i);
        TcxAutoWidthItem* item = distributor.NewItem();
        item->MinimumWidth = cell->GetMinWidth();
        item->Width = cell->GetWidth();
        item->IsFixed = cell->Column()->IsWidthFixed();
    }
    distributor.AvailableSpace = TableViewInfo()->ClientBounds.Width();
    distributor.Calculate();
    for (int i = 0; i < Count(); ++i) Items(i)->SetWidth(distributor.ItemAt(i)->ResultWidth);
}

void TcxGridHeaderViewInfo::CheckColumnAutoWidths()
{
    if (IsAutoWidth()) CalculateColumnAutoWidths();
}

void TcxGridHeaderViewInfo::CalculateItems()
{
    TRect area = GetItemsAreaBounds();
    int left = area.Left;
    for (int i = 0; i < Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = Items(i);
        int width = cell->GetWidth();
        cell->Calculate(left, area.Top, width, ItemHeight());
        left += width;
    }
}

void TcxGridHeaderViewInfo::MainCalculate()
{
    CheckColumnAutoWidths();
    // Hidden, the header is still laid out: the rows take their columns from it.
    CalculateVisible();
    if (!GetVisible()) {
        CalculatedHeight = 0;
        Bounds = TRect{Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Top};
    }
}

void TcxGridHeaderViewInfo::CalculateVisible()
{
    CalculatedHeight = GetVisible() ? CalculateHeight() : 0;
    TRect r = GetPartBounds();
    if (!GetVisible()) r.Bottom = r.Top + CalculateHeight();
    Calculate(r.Left, r.Top, r.Width(), r.Height());
}

void TcxGridHeaderViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridColumnContainerViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    CalculateItems();
}

void TcxGridHeaderViewInfo::AssignColumnWidths()
{
    TcxGridTableView* view = TableView();
    view->BeginUpdate();
    try {
        for (int i = 0; i < Count(); ++i) Items(i)->Column()->SetWidth(Items(i)->DataWidth());
    } catch (...) {
        view->EndUpdate();
        throw;
    }
    view->EndUpdate();
}

// ---- header cells ---------------------------------------------------------------------------------------------------

TcxGridColumnHeaderViewInfo::TcxGridColumnHeaderViewInfo(TcxGridColumnContainerViewInfo* AContainer,
                                                         TcxGridColumn* AColumn)
    : TcxCustomGridViewCellViewInfo(AContainer->GridViewInfo()), FContainer(AContainer), FColumn(AColumn)
{
}

TcxGridColumnHeaderViewInfo::~TcxGridColumnHeaderViewInfo() = default;

void TcxGridColumnHeaderViewInfo::AfterConstruction()
{
    TcxCustomGridViewCellViewInfo::AfterConstruction();
    std::vector<TcxGridColumnHeaderAreaViewInfoClass> classes;
    GetAreaClasses(classes);
    for (auto& cls : classes) FAreas.emplace_back(cls.Create(this));
}

TcxGridTableView* TcxGridColumnHeaderViewInfo::TableView() const { return FContainer->TableView(); }

void TcxGridColumnHeaderViewInfo::GetAreaClasses(std::vector<TcxGridColumnHeaderAreaViewInfoClass>& AClasses)
{
    if (HasHorzSizingEdge())
        AClasses.push_back(TcxGridColumnHeaderAreaViewInfoClass::Of<TcxGridColumnHeaderHorzSizingEdgeViewInfo>());
    if (HasFilterButton())
        AClasses.push_back(TcxGridColumnHeaderAreaViewInfoClass::Of<TcxGridColumnHeaderFilterButtonViewInfo>());
    if (HasSortingMark())
        AClasses.push_back(TcxGridColumnHeaderAreaViewInfoClass::Of<TcxGridColumnHeaderSortingMarkViewInfo>());
    if (HasGlyph()) AClasses.push_back(TcxGridColumnHeaderAreaViewInfoClass::Of<TcxGridColumnHeaderGlyphViewInfo>());
}

bool TcxGridColumnHeaderViewInfo::HasHorzSizingEdge()
{
    return FContainer->GetKind() == ckHeader && FColumn->CanHorzSize();
}

bool TcxGridColumnHeaderViewInfo::HasFilterButton()
{
    TcxCustomEditProperties* p = FColumn->GetProperties();
    // The editor's operations name filtering with bit 1.
    constexpr uint16_t esoFiltering = 0x02;
    return FColumn->CanFilterFromHeader() && (!p || (p->GetSupportedOperations() & esoFiltering));
}

bool TcxGridColumnHeaderViewInfo::HasSortingMark() { return FColumn->SortOrder() != soNone; }

bool TcxGridColumnHeaderViewInfo::HasGlyph() { return FColumn->HeaderGlyph() && !FColumn->HeaderGlyph()->Empty(); }

bool TcxGridColumnHeaderViewInfo::HasLeftAreas()
{
    for (auto& area : FAreas)
        if (area->OccupiesSpace() && area->GetAlignmentHorz() == taLeftJustify) return true;
    return false;
}

bool TcxGridColumnHeaderViewInfo::HasRightAreas()
{
    for (auto& area : FAreas)
        if (area->OccupiesSpace() && area->GetAlignmentHorz() == taRightJustify) return true;
    return false;
}

int TcxGridColumnHeaderViewInfo::GetHeaderBorderSize() { return TableView()->LookAndFeelPainter()->HeaderFrameWidth(); }

std::string TcxGridColumnHeaderViewInfo::GetText() { return FColumn->Caption(); }
TAlignment TcxGridColumnHeaderViewInfo::GetAlignmentHorz() { return FColumn->HeaderAlignmentHorz(); }
TcxAlignmentVert TcxGridColumnHeaderViewInfo::GetAlignmentVert() { return FColumn->HeaderAlignmentVert(); }
bool TcxGridColumnHeaderViewInfo::GetShowEndEllipsis() { return TableView()->OptionsView()->HeaderEndEllipsis(); }
bool TcxGridColumnHeaderViewInfo::GetMultiLine() { return FContainer->IsItemAutoHeight(); }

bool TcxGridColumnHeaderViewInfo::GetMultiLinePainting()
{
    return GetMultiLine() || FContainer->IsItemMultiLinePainting();
}

bool TcxGridColumnHeaderViewInfo::GetHotTrack() { return TableView()->LookAndFeelPainter()->HeaderHotTrack(); }

void TcxGridColumnHeaderViewInfo::GetViewParams(TcxViewParams& AParams) { FColumn->Styles()->GetHeaderParams(AParams); }

TBitmap* TcxGridColumnHeaderViewInfo::GetBackgroundBitmap() { return FContainer->GetBackgroundBitmap(); }

TcxBorders TcxGridColumnHeaderViewInfo::GetBorders()
{
    return TableView()->LookAndFeelPainter()->HeaderSides(Neighbors);
}

int TcxGridColumnHeaderViewInfo::GetBorderWidth(TcxBorder) { return GetHeaderBorderSize(); }

TClass TcxGridColumnHeaderViewInfo::GetHitTestClass() { return cxGridTableHitTests::HitTestClassFor(this, TPoint{}); }

void TcxGridColumnHeaderViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    cxGridTableHitTests::InitHitTest(this, AHitTest);
}

bool TcxGridColumnHeaderViewInfo::HasCustomDraw()
{
    return FColumn->HasCustomDrawHeader() || TableView()->HasCustomDrawColumnHeader();
}

bool TcxGridColumnHeaderViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = false;
    FColumn->DoCustomDrawHeader(ACanvas, this, done);
    if (!done) TableView()->DoCustomDrawColumnHeader(ACanvas, this, done);
    return done;
}

int TcxGridColumnHeaderViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    int textHeight;
    if (GetMultiLine()) {
        // The height is asked before the header is laid out; until then the
        // caption wraps within the column's own width, not within no width.
        const TRect laidOut = Bounds;
        const bool measuring = !Calculated;
        if (measuring) Bounds = TRect{0, 0, GetWidth(), 0};
        TRect content;
        CalculateContentBounds(content);
        Bounds = laidOut;
        TRect r = TextAreaOf(content);
        r.Bottom = r.Top;
        TcxCanvas* c = GetCanvas();
        if (Params.Font) c->SetFont(Params.Font);
        c->CalculateTextRect(Text, r, GetDrawTextFlags(false));
        textHeight = r.Height();
    } else {
        textHeight = GridViewInfo()->GetFontHeight(Params.Font);
    }
    return textHeight + 4 + 2 * GetHeaderBorderSize();
}

int TcxGridColumnHeaderViewInfo::GetMinWidth() { return FContainer->GetColumnMinWidth(FColumn); }

int TcxGridColumnHeaderViewInfo::GetMaxWidth()
{
    auto* header = DynamicCast<TcxGridHeaderViewInfo>(FContainer);
    if (!header || !header->IsAutoWidth()) return INT_MAX;
    int result = FContainer->TableViewInfo()->ClientBounds.Width();
    int index = -1;
    for (int i = 0; i < FContainer->Count(); ++i)
        if (FContainer->Items(i) == this) index = i;
    bool last = index == FContainer->Count() - 1;
    for (int i = 0; i < FContainer->Count(); ++i) {
        if (i == index) continue;
        TcxGridColumnHeaderViewInfo* other = FContainer->Items(i);
        if (last || i > index)
            result -= other->GetMinWidth();
        else
            result -= other->GetWidth();
    }
    return std::max(result, GetMinWidth());
}

void TcxGridColumnHeaderViewInfo::CheckWidth(int& AWidth)
{
    AWidth = std::max(AWidth, GetMinWidth());
    AWidth = std::min(AWidth, GetMaxWidth());
}

int TcxGridColumnHeaderViewInfo::CalculateWidth()
{
    if (FWidth == -1) FWidth = FContainer->GetColumnWidth(FColumn);
    return FWidth;
}

int TcxGridColumnHeaderViewInfo::GetWidth()
{
    // The cell was widened over its neighbour's border; its own width is without that.
    if (Calculated) return Bounds.Width() - LeftOverlap;
    return CalculateWidth();
}

void TcxGridColumnHeaderViewInfo::SetWidth(int AWidth)
{
    if (FCalculatingParams) {
        TcxCustomGridViewCellViewInfo::SetWidth(AWidth);
        return;
    }
    FWidth = AWidth;
    FDataWidth = 0;
}

int TcxGridColumnHeaderViewInfo::DataWidth()
{
    if (FDataWidth == 0) {
        FDataWidth = CalculateWidth();
        if (FColumn->VisibleIndex() == 0 && FContainer->GetKind() != ckGroupByBox)
            FDataWidth -= FContainer->TableViewInfo()->GetLevelIndentsWidth();
    }
    return FDataWidth;
}

int TcxGridColumnHeaderViewInfo::GetDataLeft() { return Bounds.Right - DataWidth(); }

TRect TcxGridColumnHeaderViewInfo::RealBounds() const
{
    TRect r = Bounds;
    r.Left += LeftOverlap;
    return r;
}

bool TcxGridColumnHeaderViewInfo::IsPressed()
{
    return State() == gcsPressed || TableView()->PressedColumn == FColumn;
}

void TcxGridColumnHeaderViewInfo::CalculateVisibility(int ALeft, int AWidth)
{
    TRect client = FContainer->TableViewInfo()->ClientBounds;
    Visible = ALeft < client.Right && client.Left < ALeft + AWidth;
}

void TcxGridColumnHeaderViewInfo::CalculateTextAreaBounds()
{
    TextAreaBounds = TextAreaOf(ContentBounds());
}

TRect TcxGridColumnHeaderViewInfo::TextAreaOf(TRect AContent)
{
    InflateRect(AContent, -2, -2);
    for (auto& area : FAreas) area->CalculateArea(Bounds, AContent);
    if (FHasLeftAreas) AContent.Left += 2;
    if (FHasRightAreas) AContent.Right -= 2;
    return AContent;
}

void TcxGridColumnHeaderViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (AWidth == -1) AWidth = GetWidth();
    if (AHeight == -1) AHeight = CalculateHeight();
    CalculateVisibility(ALeft, AWidth);
    Neighbors = FContainer->GetColumnNeighbors(FColumn);
    FHasLeftAreas = HasLeftAreas();
    FHasRightAreas = HasRightAreas();
    FCalculatingParams = true;
    try {
        BeforeRecalculation();
        CheckValuesCalculated();
    } catch (...) {
        FCalculatingParams = false;
        throw;
    }
    FCalculatingParams = false;
    FWidth = AWidth;
    FDataWidth = 0;
    LeftOverlap = 0;
    TcxBorders all = cxBordersAll;
    if (!(Borders == all)) {
        if (!Borders.Contains(bLeft)) {
            LeftOverlap = GetHeaderBorderSize();
            ALeft -= LeftOverlap;
            AWidth += LeftOverlap;
        }
        if (!Borders.Contains(bTop)) {
            ATop -= GetHeaderBorderSize();
            AHeight += GetHeaderBorderSize();
        }
        Borders = all;
    }
    TcxCustomGridViewCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    CalculateTextAreaBounds();
}

TcxCustomGridHitTest* TcxGridColumnHeaderViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& area : FAreas)
        if (TcxCustomGridHitTest* hit = area->GetHitTest(P)) return hit;
    return TcxCustomGridViewCellViewInfo::GetHitTest(P);
}

bool TcxGridColumnHeaderViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    bool result = TcxCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (AButton == mbLeft && !AShift.Contains(ssDouble) && CanClick()) {
        TableView()->PressedColumn = FColumn;
        FColumn->DoHeaderClick();
        result = true;
    }
    return result;
}

void TcxGridColumnHeaderViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridViewCellViewInfo::DoOffset(DX, DY);
    OffsetRect(TextAreaBounds, DX, DY);
    for (auto& area : FAreas) area->Offset(DX, DY);
    CalculateVisibility(VisibleLeft(), GetWidth());
}

int TcxGridColumnHeaderViewInfo::GetNeededWidth()
{
    CheckValuesCalculated();
    int width = GetBorderWidth(bLeft) + GetTextWidth() + 4 + GetBorderWidth(bRight) - LeftOverlap;
    if (HasLeftAreas()) width += 2;
    if (HasRightAreas()) width += 2;
    for (auto& area : FAreas)
        if (area->OccupiesSpace()) width += area->CalculateWidth();
    return width;
}

// ---- header cell areas --------------------------------------------------------------------------------------------

TcxGridColumnHeaderAreaViewInfo::TcxGridColumnHeaderAreaViewInfo(TcxGridColumnHeaderViewInfo* AColumnHeaderViewInfo)
    : TcxCustomGridViewCellViewInfo(AColumnHeaderViewInfo->GridViewInfo()), FColumnHeaderViewInfo(AColumnHeaderViewInfo)
{
}

TcxCanvas* TcxGridColumnHeaderAreaViewInfo::GetCanvas() { return FColumnHeaderViewInfo->GetCanvas(); }

void TcxGridColumnHeaderAreaViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    cxGridTableHitTests::InitHitTest(this, AHitTest);
}

TClass TcxGridColumnHeaderAreaViewInfo::GetHitTestClass() { return cxGridTableHitTests::HitTestClassFor(this, TPoint{}); }

TClass TcxCustomGridPartViewInfo::GetHitTestClass() { return cxGridTableHitTests::HitTestClassFor(this, TPoint{}); }

void TcxGridColumnHeaderAreaViewInfo::CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds)
{
    TRect r = OccupiesSpace() ? ATextAreaBounds : AHeaderBounds;
    int width = CalculateWidth();
    int height = CalculateHeight();
    if (width != 0) {
        switch (GetAlignmentHorz()) {
        case taLeftJustify:
            r.Right = r.Left + width;
            if (OccupiesSpace()) ATextAreaBounds.Left = r.Right;
            break;
        case taRightJustify:
            r.Left = r.Right - width;
            if (OccupiesSpace()) ATextAreaBounds.Right = r.Left;
            break;
        case taCenter:
            r.Left += (r.Width() - width) / 2;
            r.Right = r.Left + width;
            break;
        }
    }
    if (height != 0) {
        switch (GetAlignmentVert()) {
        case vaTop: r.Bottom = r.Top + height; break;
        case vaBottom: r.Top = r.Bottom - height; break;
        case vaCenter:
            r.Top += (r.Height() - height) / 2;
            r.Bottom = r.Top + height;
            break;
        }
    }
    Calculate(r.Left, r.Top, r.Width(), r.Height());
}

void TcxGridColumnHeaderHorzSizingEdgeViewInfo::CalculateArea(const TRect& AHeaderBounds, TRect& ATextAreaBounds)
{
    TcxGridColumnHeaderAreaViewInfo::CalculateArea(AHeaderBounds, ATextAreaBounds);
    DoOffset(Width / 2, 0);
}

bool TcxGridColumnHeaderHorzSizingEdgeViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                           TShiftState AShift)
{
    if (AButton == mbLeft && AShift.Contains(ssDouble)) {
        Column()->ApplyBestFit();
        return true;
    }
    return TcxGridColumnHeaderAreaViewInfo::MouseDown(AHitTest, AButton, AShift);
}

TcxGridColumnHeaderFilterButtonViewInfo::~TcxGridColumnHeaderFilterButtonViewInfo()
{
    if (HideFilterPopupSlot()) HideFilterPopupSlot()(this);
}

int TcxGridColumnHeaderFilterButtonViewInfo::CalculateWidth()
{
    return ColumnHeaderViewInfo()->TableView()->LookAndFeelPainter()->FilterDropDownButtonWidth().X;
}

int TcxGridColumnHeaderFilterButtonViewInfo::CalculateHeight()
{
    return ColumnHeaderViewInfo()->TableView()->LookAndFeelPainter()->FilterDropDownButtonWidth().Y;
}

bool TcxGridColumnHeaderFilterButtonViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                        TShiftState AShift)
{
    if (AButton != mbLeft) return false;
    if (State() == gcsPressed)
        SetState(gcsHot);
    else
        SetState(gcsPressed);
    return true;
}

void TcxGridColumnHeaderFilterButtonViewInfo::StateChanged()
{
    TcxGridColumnHeaderAreaViewInfo::StateChanged();
    if (State() == gcsPressed && ShowFilterPopupSlot()) ShowFilterPopupSlot()(this);
}

bool TcxGridColumnHeaderFilterButtonViewInfo::Active() { return Column()->Filtered(); }

int TcxGridColumnHeaderSortingMarkViewInfo::CalculateWidth()
{
    return ColumnHeaderViewInfo()->TableView()->LookAndFeelPainter()->SortMarkAreaSize().X;
}

int TcxGridColumnHeaderSortingMarkViewInfo::CalculateHeight()
{
    return ColumnHeaderViewInfo()->TableView()->LookAndFeelPainter()->SortMarkSize().Y;
}

int TcxGridColumnHeaderGlyphViewInfo::CalculateWidth() { return Glyph() ? Glyph()->Width() : 0; }
int TcxGridColumnHeaderGlyphViewInfo::CalculateHeight() { return Glyph() ? Glyph()->Height() : 0; }

// ---- group-by box ---------------------------------------------------------------------------------------------------

TcxGridColumn* TcxGridGroupByBoxViewInfo::GetColumn(int AIndex) { return TableView()->GroupedColumns(AIndex); }
int TcxGridGroupByBoxViewInfo::GetColumnCount() { return TableView()->GroupedColumnCount(); }
bool TcxGridGroupByBoxViewInfo::GetVisible() { return TableView()->OptionsView()->GroupByBox(); }

int TcxGridGroupByBoxViewInfo::GetColumnWidth(TcxGridColumn* AColumn)
{
    TcxGridColumnHeaderViewInfo* cell = Items(AColumn->GroupIndex());
    return cell ? cell->GetNeededWidth() : 0;
}

TcxGridColumnHeaderViewInfoClass TcxGridGroupByBoxViewInfo::GetItemClass()
{
    return TcxGridColumnHeaderViewInfoClass::Of<TcxGridGroupByBoxColumnHeaderViewInfo>();
}

int TcxGridGroupByBoxViewInfo::CalculateItemHeight()
{
    int height = 0;
    for (int i = 0; i < Count(); ++i) height = std::max(height, Items(i)->TcxGridColumnHeaderViewInfo::CalculateHeight());
    return height > 0 ? height : TcxGridColumnContainerViewInfo::CalculateItemHeight();
}

int TcxGridGroupByBoxViewInfo::CalculateHeight()
{
    int n = Count();
    if (n == 0) return GridViewInfo()->GetFontHeight(GetFont()) + TextOffset + 2 * BottomSpace;
    int h = ItemHeight();
    return (n - 1) * (h / 2) + h + 2 * BottomSpace;
}

std::string TcxGridGroupByBoxViewInfo::GetText()
{
    return GetColumnCount() > 0 ? std::string() : cxClasses::GetResourceString(&cxSGridGroupByBoxCaption);
}

void TcxGridGroupByBoxViewInfo::GetTextAreaBounds(TRect& R)
{
    TcxGridColumnContainerViewInfo::GetTextAreaBounds(R);
    OffsetRect(R, TextOffset, 0);
}

void TcxGridGroupByBoxViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetViewParams(TcxGridTableViewStyles::vsGroupByBox, nullptr, nullptr, AParams);
}

TBitmap* TcxGridGroupByBoxViewInfo::GetBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroupByBox);
}

void TcxGridGroupByBoxViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridColumnContainerViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    int left = Bounds.Left + CellLeftOffset;
    int top = Bounds.Top + CellTopOffset;
    int h = ItemHeight();
    for (int i = 0; i < Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = Items(i);
        int width = cell->GetNeededWidth();
        cell->Calculate(left, top, width, h);
        left = cell->Bounds.Right + CellSpace;
        top += h / 2;
    }
}

void TcxGridGroupByBoxViewInfo::GetConnectorBounds(int AIndex, TRect& AVert, TRect& AHorz)
{
    TRect b = Items(AIndex)->Bounds;
    AVert = {b.Right - 8, b.Bottom, b.Right - 7, b.Bottom + 4};
    AHorz = {b.Right - 8, b.Bottom + 3, b.Right + 4, b.Bottom + 4};
}

int TcxGridGroupByBoxColumnHeaderViewInfo::CalculateHeight() { return Container()->ItemHeight(); }

// ---- footer ----------------------------------------------------------------------------------------------------------

TcxGridHeaderViewInfo* TcxGridFooterViewInfo::HeaderViewInfo() { return TableViewInfo()->HeaderViewInfo(); }

TcxGridColumnHeaderViewInfoClass TcxGridFooterViewInfo::GetItemClass()
{
    return TcxGridColumnHeaderViewInfoClass::Of<TcxGridFooterCellViewInfo>();
}

bool TcxGridFooterViewInfo::GetVisible() { return TableView()->OptionsView()->Footer(); }

TBitmap* TcxGridFooterViewInfo::GetItemsBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbFooter);
}

void TcxGridFooterViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetFooterParams(nullptr, nullptr, AParams);
}

TcxBorders TcxGridFooterViewInfo::GetBorders() { return TableView()->LookAndFeelPainter()->FooterSides(); }
int TcxGridFooterViewInfo::GetBorderWidth(TcxBorder) { return TableView()->LookAndFeelPainter()->FooterFrameWidth(); }

int TcxGridFooterViewInfo::CalculateItemHeight()
{
    int height = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->GetVisible()) height = std::max(height, Items(i)->CalculateHeight());
    if (height == 0) height = TcxGridColumnContainerViewInfo::CalculateItemHeight();
    return height + 2 * TableView()->LookAndFeelPainter()->FooterCellOffset();
}

int TcxGridFooterViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    int height = ItemHeight();
    if (Borders.Contains(bTop)) height += GetBorderWidth(bTop);
    if (Borders.Contains(bBottom)) height += GetBorderWidth(bBottom);
    if (HasFooterSeparator()) height += GetFooterSeparatorWidth();
    return height;
}

TRect TcxGridFooterViewInfo::GetFooterSeparatorBounds()
{
    TRect r = Bounds;
    r.Bottom = r.Top + (HasFooterSeparator() ? GetFooterSeparatorWidth() : 0);
    return r;
}

TColor TcxGridFooterViewInfo::GetFooterSeparatorColor() { return TableViewInfo()->GetGridLineColor(); }

TRect TcxGridFooterViewInfo::GetItemsVisibleBounds()
{
    TRect r = Bounds;
    if (HasFooterSeparator()) r.Top += GetFooterSeparatorWidth();
    CheckValuesCalculated();
    if (Borders.Contains(bLeft)) r.Left += GetBorderWidth(bLeft);
    if (Borders.Contains(bTop)) r.Top += GetBorderWidth(bTop);
    if (Borders.Contains(bRight)) r.Right -= GetBorderWidth(bRight);
    if (Borders.Contains(bBottom)) r.Bottom -= GetBorderWidth(bBottom);
    return r;
}

bool TcxGridFooterViewInfo::IsItemVisible(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = HeaderViewInfo()->Items(AIndex);
    return header && header->Visible;
}

int TcxGridFooterViewInfo::GetItemHeightAt(int AIndex)
{
    return TableViewInfo()->GetCellHeight(AIndex, ItemHeight() - 2 * TableView()->LookAndFeelPainter()->FooterCellOffset());
}

int TcxGridFooterViewInfo::GetItemTopBound(int AIndex)
{
    return GetItemsVisibleBounds().Top +
           TableViewInfo()->GetCellTopOffset(AIndex, ItemHeight() - 2 * TableView()->LookAndFeelPainter()->FooterCellOffset());
}

int TcxGridFooterViewInfo::GetItemLeftBound(int AIndex)
{
    if (AIndex == 0) return GetItemsVisibleBounds().Left;
    return HeaderViewInfo()->Items(AIndex)->VisibleLeft();
}

void TcxGridFooterViewInfo::CalculateItem(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = HeaderViewInfo()->Items(AIndex);
    int left = GetItemLeftBound(AIndex);
    int width = header->Bounds.Right - left;
    if (AIndex == Count() - 1 && Borders.Contains(bRight)) width -= GetBorderWidth(bRight);
    int offset = TableView()->LookAndFeelPainter()->FooterCellOffset();
    Items(AIndex)->Calculate(left, GetItemTopBound(AIndex), width, GetItemHeightAt(AIndex) + 2 * offset);
}

void TcxGridFooterViewInfo::CalculateItems()
{
    for (int i = 0; i < Count(); ++i)
        if (IsItemVisible(i)) CalculateItem(i);
}

void TcxGridFooterViewInfo::CalculateVisible()
{
    CalculatedHeight = CalculateHeight();
    TRect r = GetPartBounds();
    // The footer lines up with the header.
    TRect header = HeaderViewInfo()->Bounds;
    r.Left = header.Left;
    r.Right = header.Right;
    Calculate(r.Left, r.Top, r.Width(), r.Height());
}

void TcxGridFooterViewInfo::DoOffset(int DX, int DY)
{
    TcxGridHeaderViewInfo::DoOffset(DX, DY);
    if (DX == 0) return;
    for (int i = 0; i < Count(); ++i) {
        TcxGridColumnHeaderViewInfo* cell = Items(i);
        if (!IsItemVisible(i))
            cell->Calculated = false;
        else if (!cell->Calculated)
            CalculateItem(i);
    }
}

int TcxGridFooterCellViewInfo::GetSummaryItemIndex()
{
    TcxDataSummaryItems* items = TableView()->DataController()->Summary()->FooterSummaryItems();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->ItemLink() == Column()) return i;
    return -1;
}

TcxDataSummaryItem* TcxGridFooterCellViewInfo::SummaryItem()
{
    int index = GetSummaryItemIndex();
    return index < 0 ? nullptr : TableView()->DataController()->Summary()->FooterSummaryItems()->Items(index);
}

bool TcxGridFooterCellViewInfo::GetVisible() { return Visible && GetSummaryItemIndex() != -1; }

std::string TcxGridFooterCellViewInfo::GetText()
{
    int index = GetSummaryItemIndex();
    return index < 0 ? std::string() : TableView()->DataController()->Summary()->GetFooterSummaryText(index);
}

TAlignment TcxGridFooterCellViewInfo::GetAlignmentHorz() { return Column()->FooterAlignmentHorz(); }

int TcxGridFooterCellViewInfo::GetBorderWidth(TcxBorder)
{
    return TableView()->LookAndFeelPainter()->FooterCellFrameWidth();
}

void TcxGridFooterCellViewInfo::GetViewParams(TcxViewParams& AParams)
{
    Column()->Styles()->GetFooterParams(GridRecord(), AParams);
}

int TcxGridFooterCellViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    return GridViewInfo()->GetFontHeight(Params.Font) + 4 + 2 * GetBorderWidth(bTop);
}

int TcxGridFooterCellViewInfo::GetNeededWidth()
{
    return TcxGridColumnHeaderViewInfo::GetNeededWidth() + 2 * TableView()->LookAndFeelPainter()->FooterCellOffset();
}

bool TcxGridFooterCellViewInfo::HasCustomDraw()
{
    return Column()->HasCustomDrawFooterCell() || TableView()->HasCustomDrawFooterCell();
}

bool TcxGridFooterCellViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = false;
    Column()->DoCustomDrawFooterCell(ACanvas, this, done);
    if (!done) TableView()->DoCustomDrawFooterCell(ACanvas, this, done);
    return done;
}

void TcxGridFooterCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridColumnHeaderViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    int offset = TableView()->LookAndFeelPainter()->FooterCellOffset();
    InflateRect(Bounds, -offset, -offset);
    CalculateTextAreaBounds();
}

// ---- filter box ------------------------------------------------------------------------------------------------------

TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* AButtonsViewInfo)
    : TcxCustomGridViewCellViewInfo(AButtonsViewInfo->FilterViewInfo()->GridViewInfo()), FButtonsViewInfo(AButtonsViewInfo)
{
}

TcxGridTableView* TcxCustomGridFilterButtonViewInfo::TableView() const
{
    return FButtonsViewInfo->FilterViewInfo()->TableView();
}

TcxCanvas* TcxCustomGridFilterButtonViewInfo::GetCanvas() { return FButtonsViewInfo->FilterViewInfo()->GetCanvas(); }

bool TcxCustomGridFilterButtonViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                  TShiftState AShift)
{
    bool result = TcxCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (State() == gcsPressed) SetMouseCapture(true);
    return result;
}

bool TcxCustomGridFilterButtonViewInfo::MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                TShiftState AShift)
{
    bool click = State() == gcsPressed && AButton == mbLeft;
    bool result = TcxCustomGridViewCellViewInfo::MouseUp(AHitTest, AButton, AShift);
    SetMouseCapture(false);
    if (click) DoClick();
    return result;
}

namespace {
bool FilterIsEmpty(TcxGridTableView* AView) { return AView->DataController()->Filter()->IsEmpty(); }
}  // namespace

int TcxGridFilterCloseButtonViewInfo::CalculateWidth() { return TableView()->LookAndFeelPainter()->FilterCloseButtonSize().X; }
int TcxGridFilterCloseButtonViewInfo::CalculateHeight() { return TableView()->LookAndFeelPainter()->FilterCloseButtonSize().Y; }
bool TcxGridFilterCloseButtonViewInfo::GetVisible() { return !FilterIsEmpty(TableView()); }
void TcxGridFilterCloseButtonViewInfo::DoClick() { TableView()->DataController()->Filter()->Clear(); }

int TcxGridFilterActivateButtonViewInfo::CalculateWidth() { return TableView()->LookAndFeelPainter()->FilterActivateButtonSize().X; }
int TcxGridFilterActivateButtonViewInfo::CalculateHeight() { return TableView()->LookAndFeelPainter()->FilterActivateButtonSize().Y; }
bool TcxGridFilterActivateButtonViewInfo::GetVisible() { return !FilterIsEmpty(TableView()); }
bool TcxGridFilterActivateButtonViewInfo::Checked() { return TableView()->DataController()->Filter()->Active(); }

void TcxGridFilterActivateButtonViewInfo::DoClick()
{
    TcxDataFilterCriteria* filter = TableView()->DataController()->Filter();
    filter->SetActive(!filter->Active());
}

std::string TcxGridFilterCustomizeButtonViewInfo::GetText()
{
    return cxClasses::GetResourceString(&cxSGridFilterCustomizeButtonCaption);
}

bool TcxGridFilterCustomizeButtonViewInfo::GetVisible() { return TableView()->Filtering()->CustomizeDialog(); }

int TcxGridFilterCustomizeButtonViewInfo::GetBorderWidth(TcxBorder)
{
    return TableView()->LookAndFeelPainter()->ButtonFrameWidth(cxbsPressed);
}

int TcxGridFilterCustomizeButtonViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    int offset = TableView()->LookAndFeelPainter()->ButtonCaptionOffset();
    return 2 * GetBorderWidth(bTop) + GridViewInfo()->GetFontHeight(Params.Font) + 4 + 2 * offset;
}

int TcxGridFilterCustomizeButtonViewInfo::CalculateWidth()
{
    CheckValuesCalculated();
    int offset = TableView()->LookAndFeelPainter()->ButtonCaptionOffset();
    return 2 * GetBorderWidth(bLeft) + GetTextWidth() + 4 + 2 * offset;
}

void TcxGridFilterCustomizeButtonViewInfo::GetViewParams(TcxViewParams& AParams)
{
    ButtonsViewInfo()->FilterViewInfo()->GetViewParams(AParams);
    TcxButtonState state = cxGridCommon::GridCellStateToButtonState(State());
    AParams.Color = TableView()->LookAndFeelPainter()->ButtonFaceColor(state);
    AParams.TextColor = TableView()->LookAndFeelPainter()->ButtonGlyphColor(state);
}

void TcxGridFilterCustomizeButtonViewInfo::GetTextAreaBounds(TRect& R)
{
    TcxCustomGridFilterButtonViewInfo::GetTextAreaBounds(R);
    if (State() == gcsPressed && TableView()->LookAndFeelPainter()->ButtonPressedShift() != 0) OffsetRect(R, 1, 1);
}

void TcxGridFilterCustomizeButtonViewInfo::DoClick() { TableView()->Filtering()->RunCustomizeDialog(); }

TcxGridFilterButtonsViewInfo::TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* AFilterViewInfo)
    : FFilterViewInfo(AFilterViewInfo)
{
}

TcxGridFilterButtonsViewInfo::~TcxGridFilterButtonsViewInfo() = default;

void TcxGridFilterButtonsViewInfo::CreateButtons()
{
    auto add = [this](TcxCustomGridFilterButtonViewInfo* AButton) {
        AButton->AfterConstruction();
        FItems.emplace_back(AButton);
    };
    add(new TcxGridFilterCloseButtonViewInfo(this));
    add(new TcxGridFilterActivateButtonViewInfo(this));
    add(new TcxGridFilterCustomizeButtonViewInfo(this));
}

int TcxGridFilterButtonsViewInfo::GetHeight()
{
    int height = 0;
    for (auto& b : FItems)
        if (b->GetVisible()) height = std::max(height, b->CalculateHeight());
    return height > 0 ? height + 8 : 0;
}

int TcxGridFilterButtonsViewInfo::GetSideWidth(bool ARight)
{
    int width = 0;
    for (auto& b : FItems)
        if (b->GetVisible() && b->IsRightAligned() == ARight) width += b->CalculateWidth() + 4;
    return width ? width + 4 : 0;
}

void TcxGridFilterButtonsViewInfo::Calculate(const TRect& ABounds)
{
    int left = ABounds.Left + 4, right = ABounds.Right - 4;
    for (auto& b : FItems) {
        if (!b->GetVisible()) continue;
        int width = b->CalculateWidth(), height = b->CalculateHeight();
        int top = MulDiv(ABounds.Top + ABounds.Bottom - height, 1, 2);
        if (b->IsRightAligned()) {
            b->Calculate(right - width, top, width, height);
            right = b->Bounds.Left - 4;
        } else {
            b->Calculate(left, top, width, height);
            left = b->Bounds.Right + 4;
        }
    }
}

TcxCustomGridHitTest* TcxGridFilterButtonsViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& b : FItems)
        if (b->GetVisible() && b->Calculated)
            if (TcxCustomGridHitTest* hit = b->GetHitTest(P)) return hit;
    return nullptr;
}

TcxGridFilterViewInfo::~TcxGridFilterViewInfo() = default;

void TcxGridFilterViewInfo::AfterConstruction()
{
    TcxCustomGridPartViewInfo::AfterConstruction();
    FButtons.reset(GetButtonsViewInfoClass().Create(this));
    FButtons->CreateButtons();
}

TcxGridFilterButtonsViewInfoClass TcxGridFilterViewInfo::GetButtonsViewInfoClass()
{
    return TcxGridFilterButtonsViewInfoClass::Of<TcxGridFilterButtonsViewInfo>();
}

bool TcxGridFilterViewInfo::GetVisible()
{
    switch (TableView()->Filtering()->Visible()) {
    case fvAlways: return true;
    case fvNonEmpty: return !FilterIsEmpty(TableView());
    default: return false;
    }
}

std::string TcxGridFilterViewInfo::GetText()
{
    std::string text = TableView()->DataController()->Filter()->GetFilterCaption();
    return text.empty() ? cxClasses::GetResourceString(&cxSGridFilterIsEmpty) : text;
}

int TcxGridFilterViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    return std::max(GridViewInfo()->GetFontHeight(Params.Font) + 4 + 6, FButtons->GetHeight());
}

int TcxGridFilterViewInfo::CalculateWidth() { return TableViewInfo()->ClientBounds.Width(); }

void TcxGridFilterViewInfo::GetTextAreaBounds(TRect& R)
{
    TcxCustomGridPartViewInfo::GetTextAreaBounds(R);
    R.Left += FButtons->GetSideWidth(false) + 3;
    R.Right -= FButtons->GetSideWidth(true) + 3;
}

void TcxGridFilterViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetViewParams(TcxGridTableViewStyles::vsFilterBox, nullptr, nullptr, AParams);
}

TBitmap* TcxGridFilterViewInfo::GetBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbFilterBox);
}

void TcxGridFilterViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxCustomGridPartViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    FButtons->Calculate(GetButtonsAreaBounds());
}

TcxCustomGridHitTest* TcxGridFilterViewInfo::GetHitTest(const TPoint& P)
{
    if (TcxCustomGridHitTest* hit = FButtons->GetHitTest(P)) return hit;
    return TcxCustomGridPartViewInfo::GetHitTest(P);
}

// ---- indicator ---------------------------------------------------------------------------------------------------------

TcxGridIndicatorViewInfo::TcxGridIndicatorViewInfo(TcxGridTableViewInfo* AGridViewInfo)
    : TcxCustomGridViewCellViewInfo(AGridViewInfo)
{
}

TcxGridIndicatorViewInfo::~TcxGridIndicatorViewInfo()
{
    FDestroyingItems = true;
    for (TcxCustomGridIndicatorItemViewInfo* item : FItems) delete item;
    FItems.clear();
}

TcxGridTableViewInfo* TcxGridIndicatorViewInfo::TableViewInfo() const
{
    return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxCustomGridIndicatorItemViewInfo* TcxGridIndicatorViewInfo::AddItem(const TcxGridIndicatorItemViewInfoClass& AClass)
{
    TcxCustomGridIndicatorItemViewInfo* item = AClass.Create(this);
    FItems.push_back(item);
    return item;
}

void TcxGridIndicatorViewInfo::RemoveItem(TcxCustomGridIndicatorItemViewInfo* AItem)
{
    if (FDestroyingItems) return;
    FItems.erase(std::remove(FItems.begin(), FItems.end(), AItem), FItems.end());
}

bool TcxGridIndicatorViewInfo::GetVisible() { return TableViewInfo()->TableView()->OptionsView()->Indicator(); }

int TcxGridIndicatorViewInfo::CalculateWidth()
{
    return GetVisible() ? TableViewInfo()->TableView()->OptionsView()->IndicatorWidth() : 0;
}

int TcxGridIndicatorViewInfo::CalculateHeight()
{
    TcxGridTableViewInfo* vi = TableViewInfo();
    int header = vi->HeaderViewInfo()->GetVisible() ? vi->HeaderViewInfo()->GetHeight() : 0;
    int footer = vi->FooterViewInfo()->GetVisible() ? vi->FooterViewInfo()->GetHeight() : 0;
    return header + vi->ClientBounds.Height() + footer;
}

void TcxGridIndicatorViewInfo::GetViewParams(TcxViewParams& AParams)
{
    AParams.Color = GridViewInfo()->GetBackgroundColor();
}

TBitmap* TcxGridIndicatorViewInfo::GetBackgroundBitmap()
{
    return TableViewInfo()->TableView()->BackgroundBitmaps()->GetBitmap(0);
}

void TcxGridIndicatorViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxCustomGridViewCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    if (!GetVisible()) return;
    TcxGridTableViewInfo* vi = TableViewInfo();
    if (vi->HeaderViewInfo()->GetVisible()) {
        TcxCustomGridIndicatorItemViewInfo* item =
            AddItem(TcxGridIndicatorItemViewInfoClass::Of<TcxGridIndicatorHeaderItemViewInfo>());
        item->Calculate(Bounds.Left, Bounds.Top, Bounds.Width(), vi->HeaderViewInfo()->GetHeight());
    }
    if (vi->FooterViewInfo()->GetVisible()) {
        TcxCustomGridIndicatorItemViewInfo* item =
            AddItem(TcxGridIndicatorItemViewInfoClass::Of<TcxGridIndicatorFooterItemViewInfo>());
        int height = vi->FooterViewInfo()->GetHeight();
        item->Calculate(Bounds.Left, Bounds.Bottom - height, Bounds.Width(), height);
    }
}

void TcxGridIndicatorViewInfo::CalculateRowItem(TcxCustomGridRowViewInfo* ARowViewInfo,
                                                TcxCustomGridIndicatorItemViewInfo* AItem)
{
    AItem->Calculate(Bounds.Left, ARowViewInfo->Bounds.Top, Bounds.Width(), ARowViewInfo->Bounds.Height());
}

TRect TcxGridIndicatorViewInfo::GetRowItemBounds(TcxCustomGridRecord* ARecord)
{
    for (TcxCustomGridIndicatorItemViewInfo* item : FItems)
        if (auto* row = DynamicCast<TcxGridIndicatorRowItemViewInfo>(item))
            if (row->RowViewInfo && row->RowViewInfo->GridRecord() == ARecord) return row->Bounds;
    return TRect{};
}

TcxCustomGridHitTest* TcxGridIndicatorViewInfo::GetHitTest(const TPoint& P)
{
    if (!GetVisible()) return nullptr;
    for (TcxCustomGridIndicatorItemViewInfo* item : FItems)
        if (item->Calculated)
            if (TcxCustomGridHitTest* hit = item->GetHitTest(P)) return hit;
    return TcxCustomGridViewCellViewInfo::GetHitTest(P);
}

void TcxGridIndicatorViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridViewCellViewInfo::DoOffset(DX, DY);
}

TcxCustomGridIndicatorItemViewInfo::TcxCustomGridIndicatorItemViewInfo(TcxGridIndicatorViewInfo* AIndicatorViewInfo)
    : TcxCustomGridViewCellViewInfo(AIndicatorViewInfo->GridViewInfo()), FIndicatorViewInfo(AIndicatorViewInfo)
{
}

TcxCustomGridIndicatorItemViewInfo::~TcxCustomGridIndicatorItemViewInfo() { FIndicatorViewInfo->RemoveItem(this); }

TcxGridTableView* TcxCustomGridIndicatorItemViewInfo::TableView() const
{
    return FIndicatorViewInfo->TableViewInfo()->TableView();
}

int TcxCustomGridIndicatorItemViewInfo::CalculateWidth() { return FIndicatorViewInfo->Bounds.Width(); }

void TcxCustomGridIndicatorItemViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetViewParams(TcxGridTableViewStyles::vsIndicator, nullptr, nullptr, AParams);
}

bool TcxCustomGridIndicatorItemViewInfo::HasCustomDraw() { return TableView()->HasCustomDrawIndicatorCell(); }

bool TcxCustomGridIndicatorItemViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = false;
    TableView()->DoCustomDrawIndicatorCell(ACanvas, this, done);
    return done;
}

TcxGridIndicatorRowItemViewInfo::~TcxGridIndicatorRowItemViewInfo()
{
    if (RowViewInfo) RowViewInfo->IndicatorItemGone();
}

int TcxGridIndicatorRowItemViewInfo::GetIndicatorKind()
{
    TcxCustomGridRecord* record = RowViewInfo ? RowViewInfo->GridRecord() : nullptr;
    if (!record) return 0;
    if (record->IsNewItemRecord()) return 3;
    TcxGridTableView* view = TableView();
    bool multi = view->OptionsSelection()->MultiSelect();
    if (!record->IsEditing() || view->ViewData()->EditingRecord() != record) {
        bool focused = view->Controller()->GetFocusedRecord() == record;
        bool selected = multi && record->GetSelected();
        if (focused) return selected ? 5 : 1;
        return selected ? 4 : 0;
    }
    return (view->DataController()->GetEditState() & cesInserting) ? 3 : 2;
}

TRect TcxGridIndicatorRowItemViewInfo::GetSizingEdgeBounds()
{
    return TRect{Bounds.Left, Bounds.Bottom - 4, Bounds.Right, Bounds.Bottom + 4};
}

TBitmap* TcxGridIndicatorRowItemViewInfo::GetBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbIndicator);
}

TcxBorders TcxGridIndicatorFooterItemViewInfo::GetBorders() { return TableView()->LookAndFeelPainter()->FooterSides(); }

int TcxGridIndicatorFooterItemViewInfo::GetBorderWidth(TcxBorder ABorder)
{
    int width = TableView()->LookAndFeelPainter()->FooterFrameWidth();
    if (ABorder == bTop) width += 1;
    return width;
}

TRect TcxGridIndicatorFooterItemViewInfo::GetFooterSeparatorBounds()
{
    return TRect{Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Top + 1};
}

TRect TcxGridIndicatorFooterItemViewInfo::GetFooterContentBounds()
{
    TRect r = Bounds;
    r.Top += 1;
    return r;
}

TBitmap* TcxGridIndicatorFooterItemViewInfo::GetBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbFooter);
}

// ---- group footers ------------------------------------------------------------------------------------------------------

TcxGridRowFootersViewInfo::TcxGridRowFootersViewInfo(TcxCustomGridRowViewInfo* ARowViewInfo) : FRowViewInfo(ARowViewInfo) {}

TcxGridRowFootersViewInfo::~TcxGridRowFootersViewInfo() = default;

void TcxGridRowFootersViewInfo::AfterConstruction()
{
    TObject::AfterConstruction();
    int level = FRowViewInfo->GridRecord() ? FRowViewInfo->GridRecord()->Level() : 0;
    for (int i = 0; i <= level; ++i)
        if (FRowViewInfo->HasFooter(i)) FItems.emplace_back(GetFooterViewInfoClass().Create(this, i));
}

TcxGridRowFooterViewInfoClass TcxGridRowFootersViewInfo::GetFooterViewInfoClass()
{
    return TcxGridRowFooterViewInfoClass::Of<TcxGridRowFooterViewInfo>();
}

int TcxGridRowFootersViewInfo::CalculateHeight()
{
    int height = 0;
    for (auto& f : FItems) height += f->CalculateHeight();
    return height;
}

int TcxGridRowFootersViewInfo::Height()
{
    if (FHeight == -1) FHeight = CalculateHeight();
    return FHeight;
}

void TcxGridRowFootersViewInfo::Calculate(int ALeft, int ATop)
{
    int indent = FRowViewInfo->LevelIndent();
    for (auto& f : FItems) {
        int height = f->CalculateHeight();
        f->CalculatedHeight = height;
        f->Calculate(ALeft - f->Index() * indent, ATop, -1, height);
        ATop += height;
    }
}

TcxGridRowFooterViewInfo* TcxGridRowFootersViewInfo::FindFooter(int AIndex) const
{
    for (auto& f : FItems)
        if (f->Index() == AIndex) return f.get();
    return nullptr;
}

TcxCustomGridHitTest* TcxGridRowFootersViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& f : FItems)
        if (TcxCustomGridHitTest* hit = f->GetHitTest(P)) return hit;
    return nullptr;
}

void TcxGridRowFootersViewInfo::Offset(int DX, int DY)
{
    for (auto& f : FItems) f->Offset(DX, DY);
}

void TcxGridRowFootersViewInfo::Paint(TcxCanvas* ACanvas)
{
    for (auto& f : FItems) f->Paint(ACanvas);
}

TcxGridRowFooterViewInfo::TcxGridRowFooterViewInfo(TcxGridRowFootersViewInfo* AContainer, int AIndex)
    : TcxGridFooterViewInfo(AContainer->RowViewInfo()->TableViewInfo()), FContainer(AContainer), FIndex(AIndex)
{
}

int TcxGridRowFooterViewInfo::Indent()
{
    TcxCustomGridRecord* record = RowViewInfo()->GridRecord();
    int level = record ? record->Level() : 0;
    return (level - FIndex) * RowViewInfo()->LevelIndent();
}

int TcxGridRowFooterViewInfo::GroupLevel()
{
    TcxCustomGridRecord* record = RowViewInfo()->GridRecord();
    int level = (record ? record->Level() : 0) - FIndex;
    if (TableView()->OptionsView()->GroupFooters() == gfVisibleWhenExpanded) --level;
    return level;
}

int TcxGridRowFooterViewInfo::CalculateWidth() { return TableViewInfo()->DataWidth() - Indent(); }

int TcxGridRowFooterViewInfo::GetItemLeftBound(int AIndex)
{
    if (AIndex == 0) return GetItemsVisibleBounds().Left;
    return TcxGridFooterViewInfo::GetItemLeftBound(AIndex);
}

void TcxGridRowFooterViewInfo::CalculateItem(int AIndex)
{
    TcxGridFooterViewInfo::CalculateItem(AIndex);
}

TcxGridColumnHeaderViewInfoClass TcxGridRowFooterViewInfo::GetItemClass()
{
    return TcxGridColumnHeaderViewInfoClass::Of<TcxGridRowFooterCellViewInfo>();
}

void TcxGridRowFooterViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetFooterParams(RowViewInfo()->GridRecord(), nullptr, AParams);
}

int TcxGridRowFooterCellViewInfo::GetSummaryItemIndex()
{
    TcxDataSummary* summary = TableView()->DataController()->Summary();
    int level = FooterViewInfo()->GroupLevel();
    TcxDataSummaryItems* items = summary->GetGroupSummaryItems(level);
    if (!items) return -1;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->ItemLink() == Column() && items->Items(i)->Position() == spFooter) return i;
    return -1;
}

std::string TcxGridRowFooterCellViewInfo::GetText()
{
    int index = GetSummaryItemIndex();
    TcxCustomGridRecord* record = GridRecord();
    if (index < 0 || !record) return std::string();
    return TableView()->DataController()->Summary()->GetGroupFooterSummaryText(record->Index(),
                                                                              FooterViewInfo()->GroupLevel(), index);
}

void TcxGridRowFooterCellViewInfo::GetViewParams(TcxViewParams& AParams)
{
    Column()->Styles()->GetFooterParams(GridRecord(), AParams);
}

TcxCustomGridRecord* TcxGridRowFooterCellViewInfo::GridRecord() { return FooterViewInfo()->RowViewInfo()->GridRecord(); }

// ---- rows -----------------------------------------------------------------------------------------------------------------

TcxCustomGridRowViewInfo::TcxCustomGridRowViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo,
                                                   TcxCustomGridRecord* ARecord)
    : TcxCustomGridRecordViewInfo(ARecordsViewInfo, ARecord)
{
}

TcxCustomGridRowViewInfo::~TcxCustomGridRowViewInfo()
{
    FFooters.reset();
    if (FIndicatorItem) {
        FIndicatorItem->RowViewInfo = nullptr;
        delete FIndicatorItem;
    }
}

void TcxCustomGridRowViewInfo::AfterConstruction()
{
    TcxCustomGridRecordViewInfo::AfterConstruction();
    if (TcxGridIndicatorViewInfo* indicator = TableViewInfo()->IndicatorViewInfo()) {
        FIndicatorItem = static_cast<TcxGridIndicatorRowItemViewInfo*>(
            indicator->AddItem(TcxGridIndicatorItemViewInfoClass::Of<TcxGridIndicatorRowItemViewInfo>()));
        FIndicatorItem->RowViewInfo = this;
    }
    FFooters.reset(GetFootersViewInfoClass().Create(this));
}

TcxGridRowFootersViewInfoClassRef TcxCustomGridRowViewInfo::GetFootersViewInfoClass()
{
    return TcxGridRowFootersViewInfoClassRef::Of<TcxGridRowFootersViewInfo>();
}

TcxGridRowsViewInfo* TcxCustomGridRowViewInfo::RowsViewInfo() const
{
    return static_cast<TcxGridRowsViewInfo*>(RecordsViewInfo());
}

TcxGridTableViewInfo* TcxCustomGridRowViewInfo::TableViewInfo() const
{
    return static_cast<TcxGridTableViewInfo*>(RecordsViewInfo()->GridViewInfo());
}

TcxGridTableView* TcxCustomGridRowViewInfo::TableView() const { return TableViewInfo()->TableView(); }

int TcxCustomGridRowViewInfo::LevelIndent() { return TableViewInfo()->LevelIndent(); }

int TcxCustomGridRowViewInfo::CalculateWidth() { return TableViewInfo()->DataWidth(); }

int TcxCustomGridRowViewInfo::GetContentLeft()
{
    TcxCustomGridRecord* record = GridRecord();
    return Bounds.Left + (record ? record->Level() : 0) * LevelIndent();
}

int TcxCustomGridRowViewInfo::GetContentWidth()
{
    TcxCustomGridRecord* record = GridRecord();
    return Bounds.Width() - (record ? record->Level() : 0) * LevelIndent();
}

int TcxCustomGridRowViewInfo::GetBottomPartHeight()
{
    int height = FFooters ? FFooters->Height() : 0;
    if (HasSeparator()) height += TableView()->OptionsView()->RowSeparatorWidth();
    if (HasLastHorzGridLine()) height += TableViewInfo()->GetGridLineWidth();
    return height;
}

bool TcxCustomGridRowViewInfo::HasLastHorzGridLine()
{
    TcxCustomGridRecord* record = GridRecord();
    return RowsViewInfo()->HasLastHorzGridLine(this) && record && record->IsLast();
}

TRect TcxCustomGridRowViewInfo::GetLastHorzGridLineBounds()
{
    TRect r = Bounds;
    r.Top = r.Bottom - TableViewInfo()->GetGridLineWidth();
    return r;
}

bool TcxCustomGridRowViewInfo::IsLastOfGroup(int ALevel)
{
    TcxCustomGridRecord* record = GridRecord();
    if (!record) return true;
    TcxCustomGridTableViewData* data = record->ViewData();
    int next = record->Index() + 1;
    if (next >= data->RecordCount()) return true;
    return data->GetRecord(next)->Level() <= ALevel;
}

bool TcxCustomGridRowViewInfo::HasFooter(int ALevel)
{
    TcxGridGroupFootersMode mode = TableView()->OptionsView()->GroupFooters();
    if (mode == gfInvisible) return false;
    TcxCustomGridRecord* record = GridRecord();
    int level = record ? record->Level() : 0;
    if (mode == gfAlwaysVisible) --ALevel;
    return ALevel >= 0 && ALevel < level && IsLastOfGroup(level - ALevel - 1);
}

TRect TcxCustomGridRowViewInfo::GetSeparatorBounds()
{
    int width = TableView()->OptionsView()->RowSeparatorWidth();
    TcxCustomGridRecord* record = GridRecord();
    int left = GetContentLeft();
    int level = record ? record->Level() : 0;
    for (int k = level - 1; k >= 0 && IsLastOfGroup(k); --k) left -= LevelIndent();
    int bottom = Bounds.Bottom - (HasLastHorzGridLine() ? TableViewInfo()->GetGridLineWidth() : 0) -
                 (FFooters ? FFooters->Height() : 0);
    return TRect{left, bottom - width, GetContentLeft() + GetContentWidth(), bottom};
}

TColor TcxCustomGridRowViewInfo::GetSeparatorColor() { return TableView()->OptionsView()->GetRowSeparatorColor(); }

TRect TcxCustomGridRowViewInfo::GetLevelIndentBounds(int AIndex)
{
    if (AIndex < 0) return TRect{Bounds.Left, Bounds.Top, GetContentLeft(), Bounds.Bottom};
    int indent = LevelIndent();
    TRect r{Bounds.Left + AIndex * indent, Bounds.Top, Bounds.Left + (AIndex + 1) * indent, Bounds.Bottom};
    TcxCustomGridRecord* record = GridRecord();
    int level = record ? record->Level() : 0;
    if (FFooters)
        if (TcxGridRowFooterViewInfo* footer = FFooters->FindFooter(level - AIndex)) r.Bottom = footer->Bounds.Top;
    return r;
}

void TcxCustomGridRowViewInfo::GetLevelIndentLines(int AIndex, TRect& AInner, TRect& AHorzLine, TRect& AVertLine)
{
    TRect column = GetLevelIndentBounds(AIndex);
    AInner = column;
    int line = TableViewInfo()->GetGridLineWidth();
    bool horz = HasHorzGridLines(TableView());
    if (horz) AInner.Right -= line;
    if (IsLastOfGroup(AIndex)) {
        if (horz) AInner.Bottom -= line;
        TcxCustomGridRecord* record = GridRecord();
        int level = record ? record->Level() : 0;
        if (!(FFooters && FFooters->FindFooter(level - AIndex))) AInner.Bottom -= TableView()->OptionsView()->RowSeparatorWidth();
    }
    AHorzLine = TRect{column.Left, AInner.Bottom, column.Right, std::min(AInner.Bottom + line, column.Bottom)};
    AVertLine = TRect{AInner.Right, column.Top, AInner.Right + line, AInner.Bottom};
}

void TcxCustomGridRowViewInfo::GetFocusRectBounds(TRect& R)
{
    int line = TableViewInfo()->GetGridLineWidth();
    R = TRect{GetCellsAreaLeft(), Bounds.Top, Bounds.Right, Bounds.Top + GetDataHeight()};
    if (TableView()->OptionsView()->GridLines() != glNone) R.Right -= line;
    if (HasHorzGridLines(TableView())) R.Bottom -= line;
}

void TcxCustomGridRowViewInfo::GetExpandButtonAreaBounds(TRect& R)
{
    R = TRect{};
}

void TcxCustomGridRowViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    FFooters.reset(GetFootersViewInfoClass().Create(this));
    TcxCustomGridRecordViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    if (FIndicatorItem && TableViewInfo()->IndicatorViewInfo()->GetVisible())
        TableViewInfo()->IndicatorViewInfo()->CalculateRowItem(this, FIndicatorItem);
    if (FFooters) FFooters->Calculate(GetContentLeft(), Bounds.Top + Bounds.Height() - GetBottomPartHeight());
}

TcxCustomGridHitTest* TcxCustomGridRowViewInfo::GetHitTest(const TPoint& P)
{
    if (FFooters)
        if (TcxCustomGridHitTest* hit = FFooters->GetHitTest(P)) return hit;
    return cxGridTableHitTests::CheckLevelIndentHitTest(this, TcxCustomGridRecordViewInfo::GetHitTest(P));
}

TcxCustomGridHitTest* TcxCustomGridIndicatorItemViewInfo::GetHitTest(const TPoint& P)
{
    return cxGridTableHitTests::GetHitTest(this, P);
}

TClass TcxGridIndicatorViewInfo::GetHitTestClass() { return cxGridTableHitTests::HitTestClassFor(this, TPoint{}); }

TClass TcxCustomGridFilterButtonViewInfo::GetHitTestClass()
{
    return cxGridTableHitTests::HitTestClassFor(this, TPoint{});
}

void TcxCustomGridRowViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridRecordViewInfo::DoOffset(DX, DY);
    if (FIndicatorItem && DY != 0) FIndicatorItem->Offset(0, DY);
    if (FFooters) FFooters->Offset(DX, DY);
}

bool TcxCustomGridRowViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    TcxCustomGridRecord* record = GridRecord();
    bool result = TcxCustomGridRecordViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (result && AShift.Contains(ssDouble)) {
        auto* row = DynamicCast<TcxCustomGridRow>(record);
        if (row && row->ExpandOnDblClick()) row->SetExpanded(!row->GetExpanded());
    }
    return result;
}

// ---- cells of rows ---------------------------------------------------------------------------------------------------------

TColor TcxGridCellViewInfo::GetBorderColor(TcxBorder) { return RowViewInfo()->TableViewInfo()->GetGridLineColor(); }
int TcxGridCellViewInfo::GetBorderWidth(TcxBorder) { return RowViewInfo()->TableViewInfo()->GetGridLineWidth(); }

void TcxGridCellViewInfo::GetViewParams(TcxViewParams& AParams)
{
    RowViewInfo()->TableView()->Styles()->GetContentParams(GridRecord(), nullptr, AParams);
}

bool TcxGridDataRowCellsAreaViewInfo::CalculateVisible()
{
    return RowViewInfo()->TableViewInfo()->HeaderViewInfo()->Count() == 0;
}

bool TcxGridDataRowCellsAreaViewInfo::HasBottomBorder()
{
    auto* row = static_cast<TcxGridDataRowViewInfo*>(RecordViewInfo());
    TcxGridTableView* view = row->TableView();
    TcxGridPreviewCellViewInfo* preview = row->PreviewViewInfo();
    return !(preview && view->Preview()->Place() == ppBottom && preview->Bounds.Height() > 0);
}

TcxBorders TcxGridDataRowCellsAreaViewInfo::GetBorders() { return RowViewInfo()->TableViewInfo()->GetCellBorders(true); }

void TcxGridDataRowCellsAreaViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    FVisibleCalculated = CalculateVisible();
    TcxGridCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

TcxGridDataRowViewInfo* TcxGridDataCellViewInfo::RowViewInfo() const
{
    return static_cast<TcxGridDataRowViewInfo*>(RecordViewInfo());
}

namespace {
int CellIndexOf(TcxGridDataCellViewInfo* ACell) { return ACell->Item() ? ACell->Item()->VisibleIndex() : -1; }
}  // namespace

int TcxGridDataCellViewInfo::CalculateWidth()
{
    int index = CellIndexOf(this);
    return index < 0 ? 0 : RowViewInfo()->GetCellWidth(index);
}

TcxBorders TcxGridDataCellViewInfo::GetBorders()
{
    TcxGridDataRowViewInfo* row = RowViewInfo();
    bool last = Item() && Item()->IsLast();
    bool bottom = row->CellsAreaViewInfo() ? row->CellsAreaViewInfo()->HasBottomBorder() : true;
    return row->GetCellBorders(last, bottom);
}

TColor TcxGridDataCellViewInfo::GetBorderColor(TcxBorder) { return RowViewInfo()->TableViewInfo()->GetGridLineColor(); }
int TcxGridDataCellViewInfo::GetBorderWidth(TcxBorder) { return RowViewInfo()->TableViewInfo()->GetGridLineWidth(); }
bool TcxGridDataCellViewInfo::GetMultiLine() { return RowViewInfo()->GetAutoHeight(); }

void TcxGridDataCellViewInfo::BeforeRecalculation()
{
    TcxGridTableDataCellViewInfo::BeforeRecalculation();
    RowViewInfo()->CellReset(this);
}

int TcxGridPreviewCellViewInfo::CalculateHeight()
{
    TcxGridDataRowViewInfo* row = RowViewInfo();
    TcxGridTableView* view = row->TableView();
    auto* cacheItem = DynamicCast<TcxGridTableViewInfoCacheItem>(
        row->IsNewItemRecord() ? nullptr : view->ViewInfoCache()->Items(row->RecordIndex()));
    if (cacheItem && cacheItem->IsPreviewHeightAssigned) return cacheItem->PreviewHeight;
    int height;
    if (view->Preview()->AutoHeight()) {
        height = TcxGridDataCellViewInfo::CalculateHeight();
    } else {
        CheckValuesCalculated();
        height = GridViewInfo()->GetFontHeight(Params.Font) * view->Preview()->MaxLineCount() + 4;
    }
    if (height != 0) height = row->RowsViewInfo()->AdjustHeight(height);
    if (cacheItem) {
        cacheItem->PreviewHeight = height;
        cacheItem->IsPreviewHeightAssigned = true;
    }
    return height;
}

int TcxGridPreviewCellViewInfo::CalculateWidth() { return RowViewInfo()->GetCellsAreaWidth(); }
TcxBorders TcxGridPreviewCellViewInfo::GetBorders() { return RowViewInfo()->TableViewInfo()->GetCellBorders(true); }
int TcxGridPreviewCellViewInfo::GetMaxLineCount() { return RowViewInfo()->TableView()->Preview()->MaxLineCount(); }
bool TcxGridPreviewCellViewInfo::GetAutoHeight() { return RowViewInfo()->TableView()->Preview()->AutoHeight(); }

void TcxGridPreviewCellViewInfo::GetTextAreaBounds(TRect& R)
{
    R = ContentBounds();
    R.Top += 2;
    R.Bottom -= 2;
    R.Left += RowViewInfo()->TableView()->Preview()->LeftIndent();
    R.Right -= RowViewInfo()->TableView()->Preview()->RightIndent();
}

void TcxGridPreviewCellViewInfo::GetEditViewDataContentOffsets(TRect& R)
{
    TcxGridPreview* preview = RowViewInfo()->TableView()->Preview();
    R = TRect{preview->LeftIndent(), 1, preview->RightIndent(), 1};
}

TBitmap* TcxGridPreviewCellViewInfo::GetBackgroundBitmap()
{
    return RowViewInfo()->TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbPreview);
}

TClass TcxGridPreviewCellViewInfo::GetHitTestClass() { return TcxGridPreviewHitTest::StaticClass(); }

// ---- data rows --------------------------------------------------------------------------------------------------------------

TcxGridDataRowViewInfo::TcxGridDataRowViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo,
                                               TcxCustomGridRecord* ARecord)
    : TcxCustomGridRowViewInfo(ARecordsViewInfo, ARecord)
{
}

TcxGridDataRowViewInfo::~TcxGridDataRowViewInfo()
{
    FPreview.reset();
    FCellsArea.reset();
    FCells.clear();
}

void TcxGridDataRowViewInfo::AfterConstruction()
{
    TcxCustomGridRowViewInfo::AfterConstruction();
    FCells.resize(size_t(TableViewInfo()->HeaderViewInfo()->Count()));
    FCellsArea.reset(RowsViewInfo()->GetCellsAreaViewInfoClass().Create(this));
    if (HasPreview()) {
        FPreview = std::make_unique<TcxGridPreviewCellViewInfo>(this, TableView()->Preview()->Column());
        FPreview->AfterConstruction();
    }
}

bool TcxGridDataRowViewInfo::HasPreview()
{
    TcxGridPreview* preview = TableView()->Preview();
    return preview->Visible() && preview->Column();
}

bool TcxGridDataRowViewInfo::GetAutoHeight() { return RowsViewInfo()->GetAutoCellHeight(); }
bool TcxGridDataRowViewInfo::CanSize() { return RowsViewInfo()->CanSizeDataRows(); }

void TcxGridDataRowViewInfo::CheckHeight(int& AHeight)
{
    int nonCells = GetNonCellsHeight();
    AHeight = std::max(AHeight - nonCells, 0) + nonCells;
}

void TcxGridDataRowViewInfo::SetSizedHeight(int AHeight)
{
    if (AHeight == Bounds.Height()) return;
    TableView()->OptionsView()->SetDataRowHeight(AHeight - GetNonCellsHeight());
}

int TcxGridDataRowViewInfo::GetCellsHeight()
{
    return GetDataHeight() - (FPreview ? FPreview->CalculateHeight() : 0);
}

TcxGridDataCellViewInfo* TcxGridDataRowViewInfo::InternalGetCell(int AIndex)
{
    if (AIndex < 0 || AIndex >= int(FCells.size())) return nullptr;
    auto& slot = FCells[size_t(AIndex)];
    if (!slot) {
        slot = std::make_unique<TcxGridDataCellViewInfo>(this, TableViewInfo()->HeaderViewInfo()->Items(AIndex)->Column());
        slot->AfterConstruction();
    }
    return slot.get();
}

int TcxGridDataRowViewInfo::CalculateCellsHeight()
{
    if (GetAutoHeight()) {
        int height = 0;
        for (int i = 0; i < int(FCells.size()); ++i) height = std::max(height, InternalGetCell(i)->CalculateHeight());
        height = RowsViewInfo()->AdjustHeight(height);
        return std::max(height, RowsViewInfo()->GetDataRowHeight());
    }
    return RowsViewInfo()->GetDataRowHeight();
}

int TcxGridDataRowViewInfo::CalculateHeight()
{
    int height = CalculateCellsHeight();
    if (FPreview) height += FPreview->CalculateHeight();
    return height + GetBottomPartHeight();
}

int TcxGridDataRowViewInfo::GetCellWidth(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo()->Items(AIndex);
    return header ? header->DataWidth() : 0;
}

int TcxGridDataRowViewInfo::GetCellLeftBound(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo()->Items(AIndex);
    return header ? header->Bounds.Right - GetCellWidth(AIndex) : 0;
}

int TcxGridDataRowViewInfo::GetCellTopBound(int AIndex)
{
    return CellsAreaBounds.Top + TableViewInfo()->GetCellTopOffset(AIndex, CellsHeight);
}

int TcxGridDataRowViewInfo::GetCellViewInfoHeight(int AIndex) { return TableViewInfo()->GetCellHeight(AIndex, CellsHeight); }

bool TcxGridDataRowViewInfo::IsCellVisible(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo()->Items(AIndex);
    return header && header->Visible;
}

TRect TcxGridDataRowViewInfo::GetCellsAreaBounds()
{
    TRect r{GetCellsAreaLeft(), Bounds.Top, GetCellsAreaLeft() + GetCellsAreaWidth(), Bounds.Top + GetDataHeight()};
    if (FPreview) {
        int preview = FPreview->CalculateHeight();
        if (TableView()->Preview()->Place() == ppTop)
            r.Top += preview;
        else
            r.Bottom -= preview;
    }
    return r;
}

TcxBorders TcxGridDataRowViewInfo::GetCellBorders(bool AIsLastColumn, bool) { return TableViewInfo()->GetCellBorders(AIsLastColumn); }

void TcxGridDataRowViewInfo::CalculateCell(int AIndex)
{
    TcxGridDataCellViewInfo* cell = InternalGetCell(AIndex);
    if (!cell) return;
    cell->Calculate(GetCellLeftBound(AIndex), GetCellTopBound(AIndex), GetCellWidth(AIndex), GetCellViewInfoHeight(AIndex));
}

void TcxGridDataRowViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxCustomGridRowViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    CellsAreaBounds = GetCellsAreaBounds();
    if (FPreview) {
        int height = FPreview->CalculateHeight();
        int top = TableView()->Preview()->Place() == ppTop ? Bounds.Top : CellsAreaBounds.Bottom;
        FPreview->Calculate(CellsAreaBounds.Left, top, -1, height);
    }
    CellsHeight = GetAutoHeight() ? GetDataHeight() - (FPreview ? FPreview->CalculateHeight() : 0)
                                  : RowsViewInfo()->GetDataRowHeight();
    for (int i = 0; i < int(FCells.size()); ++i)
        if (IsCellVisible(i)) CalculateCell(i);
    FCellsArea->Calculate(CellsAreaBounds.Left, CellsAreaBounds.Top, CellsAreaBounds.Width(), CellsAreaBounds.Height());
}

TcxCustomGridHitTest* TcxGridDataRowViewInfo::GetHitTest(const TPoint& P)
{
    TcxCustomGridHitTest* hit = TcxCustomGridRowViewInfo::GetHitTest(P);
    if (!hit || hit->ClassType() != TcxGridRecordHitTest::StaticClass()) return hit;
    for (auto& cell : FCells)
        if (cell && cell->Calculated)
            if (TcxCustomGridHitTest* cellHit = cell->GetHitTest(P)) return cellHit;
    if (FPreview && FPreview->Calculated)
        if (TcxCustomGridHitTest* previewHit = FPreview->GetHitTest(P)) return previewHit;
    // The cells asked the shared instance for their own class; ask the row again.
    return TcxCustomGridRowViewInfo::GetHitTest(P);
}

void TcxGridDataRowViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridRowViewInfo::DoOffset(DX, DY);
    OffsetRect(CellsAreaBounds, DX, DY);
    for (int i = 0; i < int(FCells.size()); ++i) {
        auto& cell = FCells[size_t(i)];
        if (IsCellVisible(i)) {
            if (cell && cell->Calculated)
                cell->Offset(DX, DY);
            else
                CalculateCell(i);
        } else if (DX != 0) {
            cell.reset();
        }
    }
    FCellsArea->Offset(DX, DY);
    if (FPreview) FPreview->Offset(DX, DY);
}

TcxCustomGridViewCellViewInfo* TcxGridDataRowViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* AItem)
{
    if (FPreview && TableView()->IsPreviewColumn(AItem)) return FPreview.get();
    int index = AItem ? AItem->VisibleIndex() : -1;
    if (index < 0 || index >= int(FCells.size())) return nullptr;
    return FCells[size_t(index)].get();
}

void TcxGridDataRowViewInfo::GetItemBounds(TcxCustomGridTableItem* AItem, TRect& R)
{
    TcxCustomGridViewCellViewInfo* cell = GetCellViewInfoByItem(AItem);
    R = cell ? cell->Bounds : TRect{};
}

void TcxGridDataRowViewInfo::Paint(TcxCanvas* ACanvas)
{
    for (auto& cell : FCells)
        if (cell && cell->Calculated && cell->Visible) cell->Paint(ACanvas);
    if (FPreview && FPreview->Bounds.Height() > 0) FPreview->Paint(ACanvas);
    if (FCellsArea->GetVisible()) FCellsArea->Paint(ACanvas);
}

// ---- the new-item row ----------------------------------------------------------------------------------------------------------

int TcxGridNewItemRowViewInfo::GetHeight()
{
    if (FHeight == -1) FHeight = CalculateHeight();
    return FHeight;
}

int TcxGridNewItemRowViewInfo::CalculateHeight()
{
    return RowsViewInfo()->GetDataRowHeight() + GetBottomPartHeight();
}

int TcxGridNewItemRowViewInfo::GetBottomPartHeight()
{
    return TcxGridDataRowViewInfo::GetBottomPartHeight() + TableView()->OptionsView()->NewItemRowSeparatorWidth();
}

TRect TcxGridNewItemRowViewInfo::GetNewItemRowSeparatorBounds()
{
    TRect r = Bounds;
    r.Top = r.Bottom - TableView()->OptionsView()->NewItemRowSeparatorWidth();
    return r;
}

bool TcxGridNewItemRowViewInfo::GetVisible() { return RowsViewInfo()->IsNewItemRowVisible(); }

bool TcxGridNewItemRowViewInfo::ShowInfoText()
{
    TcxGridTableView* view = TableView();
    TcxCustomGridRecord* record = GridRecord();
    return !(record && view->Controller()->GetFocusedRecord() == record && view->IsControlFocused());
}

int TcxGridNewItemRowViewInfo::GetCellLeftBound(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo()->Items(AIndex);
    return header ? header->VisibleLeft() : 0;
}

int TcxGridNewItemRowViewInfo::GetCellWidth(int AIndex)
{
    TcxGridColumnHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo()->Items(AIndex);
    return header ? header->GetWidth() : 0;
}

bool TcxGridNewItemRowViewInfo::CalculateSelected()
{
    TcxCustomGridRecord* record = GridRecord();
    return record && record->GetSelected();
}

std::string TcxGridNewItemRowViewInfo::GetText()
{
    return ShowInfoText() ? TableView()->OptionsView()->NewItemRowInfoText() : std::string();
}

void TcxGridNewItemRowViewInfo::GetTextAreaBounds(TRect& R)
{
    R = ContentBounds();
    TRect area = TableViewInfo()->GetHorzScrollArea();
    R.Left = area.Left;
    R.Right = std::min(R.Right, area.Right);
}

void TcxGridNewItemRowViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TableView()->Styles()->GetViewParams(TcxGridTableViewStyles::vsNewItemRowInfoText, GridRecord(), nullptr, AParams);
}

// ---- the rows area ----------------------------------------------------------------------------------------------------------------

TcxGridRowsViewInfo::TcxGridRowsViewInfo(TcxCustomGridTableViewInfo* AGridViewInfo)
    : TcxCustomGridRecordsViewInfo(AGridViewInfo)
{
}

TcxGridRowsViewInfo::~TcxGridRowsViewInfo() = default;

TcxGridTableViewInfo* TcxGridRowsViewInfo::TableViewInfo() const
{
    return static_cast<TcxGridTableViewInfo*>(GridViewInfo());
}

TcxGridTableView* TcxGridRowsViewInfo::TableView() const { return TableViewInfo()->TableView(); }

int TcxGridRowsViewInfo::AdjustHeight(int AHeight) { return HasHorzGridLines(TableView()) ? AHeight + 1 : AHeight; }

int TcxGridRowsViewInfo::GetTextRowHeight(const TcxViewParams& AParams)
{
    int text = GridViewInfo()->GetFontHeight(AParams.Font);
    return AdjustHeight(std::max(text, TableViewInfo()->ExpandButtonSize()) + 4);
}

bool TcxGridRowsViewInfo::IsDataRowHeightAssigned() { return TableView()->OptionsView()->DataRowHeight() != 0; }

int TcxGridRowsViewInfo::CalculateDataRowHeight()
{
    TcxGridTableView* view = TableView();
    if (IsDataRowHeightAssigned()) return view->OptionsView()->DataRowHeight();
    int height = 0;
    TcxGridHeaderViewInfo* header = TableViewInfo()->HeaderViewInfo();
    if (header->Count() > 0) {
        for (int i = 0; i < header->Count(); ++i) {
            TcxGridColumn* column = header->Items(i)->Column();
            TcxViewParams params;
            view->Styles()->GetContentParams(nullptr, column, params);
            height = std::max(height, column->CalculateDefaultCellHeight(GridViewInfo()->Canvas(), params.Font));
        }
    }
    // Without columns, or with columns no editor measures, one line of the content font.
    if (height == 0) {
        TcxViewParams params;
        view->Styles()->GetViewParams(TcxCustomGridTableViewStyles::vsContent, nullptr, nullptr, params);
        height = GridViewInfo()->GetFontHeight(params.Font) + 4;
    }
    return AdjustHeight(height);
}

int TcxGridRowsViewInfo::CalculateGroupRowHeight()
{
    TcxGridTableView* view = TableView();
    if (view->OptionsView()->GroupRowHeight() != 0) return view->OptionsView()->GroupRowHeight();
    TcxViewParams params;
    view->Styles()->GetGroupParams(nullptr, 0, params);
    return GetTextRowHeight(params);
}

void TcxGridRowsViewInfo::CalculateConstantHeights()
{
    FDataRowHeight = CalculateDataRowHeight();
    FGroupRowHeight = CalculateGroupRowHeight();
}

int TcxGridRowsViewInfo::GetRowStep() { return FDataRowHeight + TableView()->OptionsView()->RowSeparatorWidth(); }

TBitmap* TcxGridRowsViewInfo::GetGroupBackgroundBitmap()
{
    return TableView()->BackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbGroup);
}

int TcxGridRowsViewInfo::GetDataWidth() { return TableViewInfo()->DataWidth(); }
int TcxGridRowsViewInfo::GetRowSeparatorWidth() { return TableView()->OptionsView()->RowSeparatorWidth(); }
bool TcxGridRowsViewInfo::IsNewItemRowVisible() { return TableView()->OptionsView()->NewItemRow(); }
bool TcxGridRowsViewInfo::CanSizeDataRows() { return TableView()->OptionsCustomize()->DataRowSizing(); }

bool TcxGridRowsViewInfo::GetAutoCellHeight()
{
    return TcxCustomGridRecordsViewInfo::GetAutoCellHeight() && !IsDataRowHeightAssigned();
}

bool TcxGridRowsViewInfo::HasLastHorzGridLine(TcxCustomGridRowViewInfo* ARow)
{
    TcxGridTableView* view = TableView();
    if (view->OptionsView()->GridLines() != glVertical) return false;
    if (!ARow) return view->OptionsView()->RowSeparatorWidth() == 0;
    return !ARow->HasSeparator() || view->OptionsView()->RowSeparatorWidth() == 0;
}

TcxGridDataRowCellsAreaViewInfoClass TcxGridRowsViewInfo::GetCellsAreaViewInfoClass()
{
    return TcxGridDataRowCellsAreaViewInfoClass::Of<TcxGridDataRowCellsAreaViewInfo>();
}

int TcxGridRowsViewInfo::GetLastRowAvailableHeight(int ATop)
{
    if (FCounting && FCountingIndex >= 0 && FCountingIndex < int(FAvailableHeights.size()))
        return FAvailableHeights[size_t(FCountingIndex)];
    return GetAvailableHeight(ATop);
}

TRect TcxGridRowsViewInfo::GetRowsAreaBounds()
{
    TRect r = Bounds;
    if (FNewItemRow) r.Top += FNewItemRow->GetHeight();
    return r;
}

void TcxGridRowsViewInfo::BeforeCalculate()
{
    TcxCustomGridRecordsViewInfo::BeforeCalculate();
    CalculateConstantHeights();
}

void TcxGridRowsViewInfo::Calculate()
{
    TcxGridTableViewInfo* vi = TableViewInfo();
    TRect records = vi->ClientBounds;
    if (IsHeaderScrollable()) records.Left -= vi->LeftPos();
    records.Right = records.Left + vi->DataWidth();
    Bounds = records;
    FNewItemRow.reset();
    TcxCustomGridRecord* newItem = ViewData()->NewItemRecord();
    if (IsNewItemRowVisible() && newItem) {
        FNewItemRow = std::make_unique<TcxGridNewItemRowViewInfo>(this, newItem);
        FNewItemRow->AfterConstruction();
    }
    RowsAreaBounds = GetRowsAreaBounds();
    if (FNewItemRow && vi->CalculateDown) FNewItemRow->Calculate(Bounds.Left, Bounds.Top);

    // Count the rows from the top record: partly visible ones are laid out, not counted as visible.
    FPartVisibleCount = 0;
    FAvailableHeights.clear();
    int visible = 0;
    int available = VisibleRecordCount();
    if (vi->FirstRecordIndex() != -1) {
        int top = RowsAreaBounds.Top;
        FCounting = true;
        try {
            for (int i = 0; i < available; ++i) {
                FCountingIndex = i;
                FAvailableHeights.push_back(RowsAreaBounds.Bottom - top);
                TcxCustomGridRecordViewInfo* item = Items(i);
                if (!item) break;
                ++FPartVisibleCount;
                auto* row = DynamicCast<TcxCustomGridRowViewInfo>(item);
                top += row ? row->GetFullHeight() : item->GetHeight();
                if (top > RowsAreaBounds.Bottom) break;
                ++visible;
                if (top == RowsAreaBounds.Bottom) break;
            }
        } catch (...) {
            FCounting = false;
            throw;
        }
        FCounting = false;
        FCountingIndex = -1;
    }
    if (visible == 0 && FPartVisibleCount > 0) visible = 1;
    SetVisibleCount(visible);
    if (vi->CalculateDown && vi->FirstRecordIndex() != -1)
        for (int i = 0; i < FPartVisibleCount; ++i)
            if (TcxCustomGridRecordViewInfo* item = ItemAt(i)) item->Calculate(GetItemLeftBound(i), GetItemTopBound(i));
}

void TcxGridRowsViewInfo::CalculateVisibleCount() {}

int TcxGridRowsViewInfo::GetItemLeftBound(int) { return RowsAreaBounds.Left; }

int TcxGridRowsViewInfo::GetItemTopBound(int AIndex)
{
    if (AIndex == 0) return RowsAreaBounds.Top;
    TcxCustomGridRecordViewInfo* prev = ItemAt(AIndex - 1);
    if (!prev) return RowsAreaBounds.Top;
    if (prev->Calculated) return prev->Bounds.Bottom;
    return GetItemTopBound(AIndex - 1) + prev->GetHeight();
}

int TcxGridRowsViewInfo::GetPixelScrollSize(int ARecordCountDelta)
{
    int n = std::abs(ARecordCountDelta);
    int size = 0;
    for (int i = 0; i < n && i < Count(); ++i)
        if (TcxCustomGridRecordViewInfo* item = ItemAt(i)) size += item->Bounds.Height();
    return ARecordCountDelta > 0 ? -size : size;
}

void TcxGridRowsViewInfo::OffsetItem(int AIndex, int AOffset)
{
    if (TcxCustomGridRecordViewInfo* item = ItemAt(AIndex)) item->Offset(0, AOffset);
}

int TcxGridRowsViewInfo::IndexOfRow(const TcxCustomGridRowViewInfo* ARow) const
{
    for (int i = 0; i < Count(); ++i)
        if (ItemAt(i) == ARow) return i;
    return -1;
}

TcxCustomGridHitTest* TcxGridRowsViewInfo::GetHitTest(const TPoint& P)
{
    if (TcxCustomGridHitTest* hit = TcxCustomGridRecordsViewInfo::GetHitTest(P)) return hit;
    if (FNewItemRow && FNewItemRow->Calculated) return FNewItemRow->GetHitTest(P);
    return nullptr;
}

TcxCustomGridRecordViewInfo* TcxGridRowsViewInfo::GetRealItem(int ARecordIndex)
{
    if (FNewItemRow && ViewData()->NewItemRecord() && ARecordIndex == -1) return FNewItemRow.get();
    return TcxCustomGridRecordsViewInfo::GetRealItem(ARecordIndex);
}

// ---- the view's layout ----------------------------------------------------------------------------------------------------------

TcxGridTableViewInfo::~TcxGridTableViewInfo() = default;

TcxGridTableView* TcxGridTableViewInfo::TableView() const { return static_cast<TcxGridTableView*>(GridView()); }

TcxGridRowsViewInfo* TcxGridTableViewInfo::RowsViewInfo() const
{
    return static_cast<TcxGridRowsViewInfo*>(RecordsViewInfo());
}

TcxCustomGridRecordsViewInfoClass TcxGridTableViewInfo::GetRecordsViewInfoClass()
{
    return TcxCustomGridRecordsViewInfoClass::Of<TcxGridRowsViewInfo>();
}

TcxGridHeaderViewInfoSpecificClass TcxGridTableViewInfo::GetHeaderViewInfoSpecificClass()
{
    return TcxGridHeaderViewInfoSpecificClass::Of<TcxGridHeaderViewInfoSpecific>();
}

TcxGridHeaderViewInfoClass TcxGridTableViewInfo::GetHeaderViewInfoClass()
{
    return TcxGridHeaderViewInfoClass::Of<TcxGridHeaderViewInfo>();
}

TcxGridFooterViewInfoClass TcxGridTableViewInfo::GetFooterViewInfoClass()
{
    return TcxGridFooterViewInfoClass::Of<TcxGridFooterViewInfo>();
}

void TcxGridTableViewInfo::RemovePart(TcxCustomGridPartViewInfo* APart)
{
    FParts.erase(std::remove(FParts.begin(), FParts.end(), APart), FParts.end());
}

void TcxGridTableViewInfo::CreateViewInfos()
{
    auto make = [this](auto* APart) {
        APart->AfterConstruction();
        return APart;
    };
    FGroupByBox.reset(make(new TcxGridGroupByBoxViewInfo(this)));
    FHeader.reset(GetHeaderViewInfoClass().Create(this));
    FFilter.reset(make(new TcxGridFilterViewInfo(this)));
    FFooter.reset(GetFooterViewInfoClass().Create(this));
    FIndicator.reset(make(new TcxGridIndicatorViewInfo(this)));
    TcxCustomGridTableViewInfo::CreateViewInfos();
}

void TcxGridTableViewInfo::DestroyViewInfos(bool AIsRecreating)
{
    TcxCustomGridTableViewInfo::DestroyViewInfos(AIsRecreating);
    FIndicator.reset();
    FFooter.reset();
    FHeader.reset();
    FGroupByBox.reset();
    FFilter.reset();
}

int TcxGridTableViewInfo::LeftPos() { return HorzOffset; }

int TcxGridTableViewInfo::GetLevelIndentsWidth()
{
    int levels = TableView()->GroupedColumnCount() + (TableView()->IsMaster() ? 1 : 0);
    return levels * LevelIndent();
}

TColor TcxGridTableViewInfo::GetGridLineColor() { return TableView()->OptionsView()->GetGridLineColor(); }

int TcxGridTableViewInfo::CalculateDataWidth()
{
    int width = FHeader ? FHeader->CalculateWidth() : 0;
    if (width == 0 && TableView()->OptionsView()->ColumnAutoWidth()) width = ClientBounds.Width();
    return width;
}

int TcxGridTableViewInfo::DataWidth()
{
    if (FDataWidth == 0) FDataWidth = CalculateDataWidth();
    return FDataWidth;
}

TcxBorders TcxGridTableViewInfo::GetCellBorders(bool AAddRight)
{
    switch (TableView()->OptionsView()->GridLines()) {
    case glBoth: return TcxBorders{bRight, bBottom};
    case glVertical: return TcxBorders{bRight};
    case glHorizontal: return AAddRight ? TcxBorders{bRight, bBottom} : TcxBorders{bBottom};
    default: return TcxBorders{};
    }
}

TRect TcxGridTableViewInfo::GetClientBounds()
{
    if (FClientBoundsFrozen) return FFrozenClientBounds;
    TRect r = ViewBounds;
    if (FIndicator) r.Left += FIndicator->CalculateWidth();
    for (TcxCustomGridPartViewInfo* part : FParts) {
        if (part->GetPosition() == 0)
            r.Top += part->GetHeight();
        else
            r.Bottom -= part->GetHeight();
    }
    return r;
}

TRect TcxGridTableViewInfo::GetPartBounds(TcxCustomGridPartViewInfo* APart)
{
    TRect r = GetClientBounds();
    if (APart->IsHorzScrollable())
        r.Left -= LeftPos();
    else if (APart->IsFullWidth()) {
        r.Left = ViewBounds.Left;
        r.Right = ViewBounds.Right;
    }
    if (!APart->IsFullWidth()) r.Right = r.Left + APart->CalculateWidth();
    int index = -1;
    for (int i = 0; i < PartCount(); ++i)
        if (FParts[size_t(i)] == APart) index = i;
    for (int i = PartCount() - 1; i >= index && i >= 0; --i) {
        TcxCustomGridPartViewInfo* part = FParts[size_t(i)];
        if (part->GetPosition() == 0)
            r.Top -= part->GetHeight();
        else
            r.Bottom += part->GetHeight();
    }
    if (APart->GetPosition() == 0)
        r.Bottom = r.Top + APart->GetHeight();
    else
        r.Top = r.Bottom - APart->GetHeight();
    return r;
}

int TcxGridTableViewInfo::GetNonRecordsAreaHeight(bool ACheckScrollBar)
{
    int height = 0;
    for (TcxCustomGridPartViewInfo* part : FParts) height += part->GetHeight();
    if (RowsViewInfo() && RowsViewInfo()->NewItemRowViewInfo()) height += RowsViewInfo()->NewItemRowViewInfo()->GetHeight();
    if (ACheckScrollBar && Site() && Site()->IsHScrollBarVisible()) height += Site()->GetHScrollBarBounds().Height();
    return height;
}

void TcxGridTableViewInfo::BeforeCalculating()
{
    TcxCustomGridTableViewInfo::BeforeCalculating();
    FPrevDataRowHeight = RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 0;
}

void TcxGridTableViewInfo::AfterCalculating()
{
    TcxCustomGridTableViewInfo::AfterCalculating();
    FClientBoundsFrozen = false;
    int now = RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 0;
    if (now != FPrevDataRowHeight && !IsDetached() && !IsMeasuring()) RequestGridModeBufferRefresh();
}

void TcxGridTableViewInfo::RequestGridModeBufferRefresh()
{
    if (!TableView()->DataController()->IsGridMode()) return;
    if (!FGridModeRefreshTimer) {
        FGridModeRefreshTimer = std::make_unique<TTimer>();
        FGridModeRefreshTimer->SetInterval(1);
        FGridModeRefreshTimer->OnTimer = [this](TObject*) {
            FGridModeRefreshTimer->SetEnabled(false);
            if (IcxGridDataController* dc = TableView()->GridDataController()) dc->CheckGridModeBufferCount();
        };
    }
    FGridModeRefreshTimer->SetEnabled(true);
}

void TcxGridTableViewInfo::DoCalculate()
{
    // The site's client rectangle; the rows get what the parts leave of it.
    ViewBounds = TcxCustomGridTableViewInfo::GetClientBounds();
    FClientBoundsFrozen = false;
    try {
        RecreateViewInfos();
        FDataWidth = 0;
        for (TcxCustomGridPartViewInfo* part : std::vector<TcxCustomGridPartViewInfo*>(FParts)) part->MainCalculate();
        ClientBounds = GetClientBounds();
        FFrozenClientBounds = ClientBounds;
        FClientBoundsFrozen = true;
        int headerHeight = FHeader->GetVisible() ? FHeader->GetHeight() : 0;
        FIndicator->Calculate(ViewBounds.Left, ClientBounds.Top - headerHeight);
    } catch (...) {
        TcxCustomGridTableViewInfo::DoCalculate();
        throw;
    }
    TcxCustomGridTableViewInfo::DoCalculate();
}

TcxCustomGridHitTest* TcxGridTableViewInfo::GetHitTest(const TPoint& P)
{
    if (Site() && PtInRect(Site()->GetClientBounds(), P)) {
        if (FIndicator)
            if (TcxCustomGridHitTest* hit = FIndicator->GetHitTest(P)) return hit;
        for (TcxCustomGridPartViewInfo* part : FParts)
            if (part->GetVisible())
                if (TcxCustomGridHitTest* hit = part->GetHitTest(P)) return hit;
    }
    return TcxCustomGridTableViewInfo::GetHitTest(P);
}

void TcxGridTableViewInfo::GetRowsPerPage(int& ACount, int& ARemainder)
{
    int available = Bounds().Height() - GetNonRecordsAreaHeight(false);
    int step = RowsViewInfo() ? RowsViewInfo()->GetRowStep() : 0;
    if (step <= 0) {
        ACount = 0;
        ARemainder = available;
        return;
    }
    ACount = available / step;
    ARemainder = available % step;
}

int TcxGridTableViewInfo::GetRecordsPerPage()
{
    int count = 0, remainder = 0;
    GetRowsPerPage(count, remainder);
    return count;
}

int TcxGridTableViewInfo::GetRecordBufferEstimate()
{
    int rowHeight = RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 0;
    if (rowHeight == 0) {
        RequestGridModeBufferRefresh();
        return 0;
    }
    return cxControls::GetDesktopWorkArea({0, 0}).Height() / rowHeight + 2;
}

int TcxGridTableViewInfo::GetNearestPopupHeight(int AHeight, bool AAdditionalRecord)
{
    int nonRecords = GetNonRecordsAreaHeight(true);
    int rowHeight = std::max(RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 1, 1);
    int n = (AHeight - nonRecords) / rowHeight;
    n = std::min(std::max(n, 1), TableView()->ViewData()->RecordCount() + (AAdditionalRecord ? 1 : 0));
    return nonRecords + n * rowHeight;
}

int TcxGridTableViewInfo::GetPopupHeight(int ARecordCount)
{
    int rowHeight = RowsViewInfo() ? RowsViewInfo()->GetDataRowHeight() : 0;
    return GetNonRecordsAreaHeight(true) + ARecordCount * rowHeight;
}

TRect TcxGridTableViewInfo::GetHorzScrollArea()
{
    TRect r = ClientBounds;
    if (FHeader && FHeader->GetVisible()) r.Top -= FHeader->GetHeight();
    if (FFooter && FFooter->GetVisible()) r.Bottom += FFooter->GetHeight();
    return r;
}

TRect TcxGridTableViewInfo::GetVertScrollArea()
{
    TRect r = ClientBounds;
    r.Left = ViewBounds.Left;
    if (RowsViewInfo()) r.Top = RowsViewInfo()->RowsAreaBounds.Top;
    return r;
}

void TcxGridTableViewInfo::CalculateVertScrollRects(int ADelta, TRect& AScrollRect, TRect& AUpdateRect)
{
    AScrollRect = GetVertScrollArea();
    TcxGridRowsViewInfo* rows = RowsViewInfo();
    if (ADelta < 0) {
        AScrollRect.Top -= ADelta;
        if (rows->VisibleCount() > 1 && rows->ItemAt(rows->VisibleCount() - 2))
            AScrollRect.Bottom = rows->ItemAt(rows->VisibleCount() - 2)->Bounds.Bottom;
        AUpdateRect = AScrollRect;
        AUpdateRect.Top = AScrollRect.Bottom + ADelta;
        AUpdateRect.Bottom = GetVertScrollArea().Bottom;
    } else {
        AScrollRect.Bottom -= ADelta;
        if (rows->PartVisibleCount() > 1 && rows->ItemAt(1)) AScrollRect.Top = rows->ItemAt(1)->Bounds.Top;
        AUpdateRect = AScrollRect;
        AUpdateRect.Bottom = AScrollRect.Top + ADelta;
        AUpdateRect.Top = GetVertScrollArea().Top;
    }
}

void TcxGridTableViewInfo::CalculateHorzScrollRects(int ADelta, TRect& AScrollRect, TRect& AUpdateRect)
{
    AScrollRect = GetHorzScrollArea();
    AUpdateRect = AScrollRect;
    if (ADelta < 0) {
        AScrollRect.Left -= ADelta;
        AUpdateRect.Left = AScrollRect.Right + ADelta;
    } else {
        AScrollRect.Right -= ADelta;
        AUpdateRect.Right = AScrollRect.Left + ADelta;
    }
}

void TcxGridTableViewInfo::GetHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible)
{
    TcxCustomGridTableViewInfo::GetHeight(AMaxSize, AHeight, AFullyVisible);
    TcxGridRowsViewInfo* rows = RowsViewInfo();
    int bottomParts = 0;
    for (TcxCustomGridPartViewInfo* part : FParts)
        if (part->GetPosition() == 1) bottomParts += part->GetHeight();
    if (!rows || rows->PartVisibleCount() == 0) {
        AHeight = GetNonRecordsAreaHeight(false) + (rows ? rows->GetDataRowHeight() : 0);
        AFullyVisible = true;
    } else {
        TcxCustomGridRecordViewInfo* last = rows->ItemAt(rows->PartVisibleCount() - 1);
        AHeight = (last ? last->Bounds.Bottom : ClientBounds.Bottom) - ViewBounds.Top + bottomParts;
        AFullyVisible = rows->VisibleCount() == rows->PartVisibleCount() &&
                        Controller()->TopRecordIndex() + rows->VisibleCount() >= TableView()->ViewData()->RecordCount() &&
                        Controller()->IsDataFullyVisible();
    }
    if (Site() && Site()->IsHScrollBarVisible()) AHeight += Site()->GetHScrollBarBounds().Height();
    // The site's own frame lies outside what the view measured.
    if (Site()) AHeight += 2 * Site()->GetBorderWidth();
}

void TcxGridTableViewInfo::GetWidth(const TPoint& AMaxSize, int& AWidth)
{
    if (TableView()->OptionsView()->ColumnAutoWidth())
        AWidth = ClientBounds.Width();
    else
        AWidth = (FIndicator ? FIndicator->CalculateWidth() : 0) + DataWidth();
    if (Site() && Site()->IsVScrollBarVisible()) AWidth += Site()->GetVScrollBarBounds().Width();
    if (Site()) AWidth += 2 * Site()->GetBorderWidth();
    AWidth = std::min(AWidth, AMaxSize.X);
}

void TcxGridTableViewInfo::DoOffset(int ARecordCountDelta, int DX, int DY)
{
    if (DX != 0) {
        for (TcxCustomGridPartViewInfo* part : FParts)
            if (part->IsHorzScrollable()) part->Offset(DX, 0);
    }
    TcxCustomGridTableViewInfo::DoOffset(ARecordCountDelta, DX, DY);
}

// ---- layout cache ------------------------------------------------------------------------------------------------------------------

void TcxGridTableViewInfoCacheItem::UnassignValues(bool APreserveMasterCache)
{
    TcxCustomGridTableViewInfoCacheItem::UnassignValues(APreserveMasterCache);
    IsPreviewHeightAssigned = false;
}

void TcxGridMasterTableViewInfoCacheItem::UnassignValues(bool APreserveMasterCache)
{
    if (FUnassigning) return;
    FUnassigning = true;
    try {
        TcxGridTableViewInfoCacheItem::UnassignValues(APreserveMasterCache);
        IsDetailsSiteHeightAssigned = IsDetailsSiteNormalHeightAssigned = IsDetailsSiteWidthAssigned = false;
        auto* row = DynamicCast<TcxGridDataRow>(GridRecord());
        if (row && row->ActiveDetailGridViewExists())
            if (TcxCustomGridView* detail = row->ActiveDetailGridView())
                if (detail->ViewInfoCache()) detail->ViewInfoCache()->UnassignValues(APreserveMasterCache);
    } catch (...) {
        FUnassigning = false;
        throw;
    }
    FUnassigning = false;
}

TcxCustomGridViewInfoCacheItemClass TcxGridTableViewInfoCache::GetItemClass()
{
    TcxCustomGridView* view = GridView();
    if (view && view->Level() && view->Level()->Count() > 0)
        return TcxCustomGridViewInfoCacheItemClass::Of<TcxGridMasterTableViewInfoCacheItem>();
    return TcxCustomGridViewInfoCacheItemClass::Of<TcxGridTableViewInfoCacheItem>();
}
