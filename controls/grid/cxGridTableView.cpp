#include "cxGridTableView.h"

#include "SysUtils.h"
#include "cxGridLevel.h"
#include "cxGridTableLayout.h"
#include "cxGridTableRows.h"
#include "cxGridStrs.h"
#include "cxStorage.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridTableOptionsView, TcxCustomGridTableOptionsView)
QZ_CLASS_IMPL(TcxGridTableOptionsCustomize, TcxCustomGridTableOptionsCustomize)
QZ_CLASS_IMPL(TcxGridTableOptionsBehavior, TcxCustomGridTableOptionsBehavior)
QZ_CLASS_IMPL(TcxGridTableFiltering, TcxCustomGridTableFiltering)
QZ_CLASS_IMPL(TcxGridTableOptionsSelection, TcxCustomGridTableOptionsSelection)
QZ_CLASS_IMPL(TcxGridPreview, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxGridTableViewStyles, TcxCustomGridTableViewStyles)
QZ_CLASS_IMPL(TcxGridTableViewStyleSheet, TcxCustomStyleSheet)
QZ_CLASS_IMPL(TcxGridTableBackgroundBitmaps, TcxCustomGridTableBackgroundBitmaps)
QZ_CLASS_IMPL(TcxGridColumnOptions, TcxCustomGridTableItemOptions)
QZ_CLASS_IMPL(TcxGridColumnStyles, TcxCustomGridTableItemStyles)
QZ_CLASS_IMPL(TcxGridColumn, TcxCustomGridTableItem)
QZ_CLASS_IMPL(TcxGridTableSummaryItem, TcxDataSummaryItem)
QZ_CLASS_IMPL(TcxGridTableSummaryGroupItemLink, TcxDataSummaryGroupItemLink)
QZ_CLASS_IMPL(TcxCustomGridRow, TcxCustomGridRecord)
QZ_CLASS_IMPL(TcxGridDataRow, TcxCustomGridRow)
QZ_CLASS_IMPL(TcxGridNewItemRow, TcxGridDataRow)
QZ_CLASS_IMPL(TcxGridMasterDataRow, TcxGridDataRow)
QZ_CLASS_IMPL(TcxGridGroupRow, TcxCustomGridRow)
QZ_CLASS_IMPL(TcxGridViewData, TcxCustomGridTableViewData)
QZ_CLASS_IMPL(TcxGridTableView, TcxCustomGridTableView)

namespace {
TcxGridViewHandlerClass<TcxCustomGridController>& ControllerClassSlot()
{
    static TcxGridViewHandlerClass<TcxCustomGridController> slot;
    return slot;
}

TcxGridViewHandlerClass<TcxCustomGridPainter>& PainterClassSlot()
{
    static TcxGridViewHandlerClass<TcxCustomGridPainter> slot;
    return slot;
}

bool& Initialized()
{
    static bool done = false;
    return done;
}

// The numeric pad's multiply key.
constexpr WORD kVkMultiply = 0x6A;
}  // namespace

namespace cxGridTableView {
void Initialize()
{
    if (Initialized()) return;
    Initialized() = true;
    cxGridCustomView::cxGridRegisteredViews()->Register(TcxGridTableView::StaticClass(), "Table");
    RegisterClasses({TcxGridColumn::StaticClass(), TcxGridTableViewStyleSheet::StaticClass()});
}

void Finalize()
{
    if (!Initialized()) return;
    Initialized() = false;
    cxGridCustomView::cxGridRegisteredViews()->Unregister(TcxGridTableView::StaticClass());
}

void SetControllerClass(const TcxGridViewHandlerClass<TcxCustomGridController>& AClass) { ControllerClassSlot() = AClass; }
void SetPainterClass(const TcxGridViewHandlerClass<TcxCustomGridPainter>& AClass) { PainterClassSlot() = AClass; }
}  // namespace cxGridTableView

// ---- options view -------------------------------------------------------------------------------------

TcxGridTableOptionsView::TcxGridTableOptionsView(TcxCustomGridView* AGridView)
    : TcxCustomGridTableOptionsView(AGridView), FNewItemRowInfoText(cxClasses::GetResourceString(&cxSGridNewItemRowInfoText))
{
}

TcxGridTableView* TcxGridTableOptionsView::TableView() const { return DynamicCast<TcxGridTableView>(GridView()); }

void TcxGridTableOptionsView::SizeChanged()
{
    if (GridView()) GridView()->SizeChanged();
}

void TcxGridTableOptionsView::ItemCaptionAutoHeightChanged() { Changed(); }

void TcxGridTableOptionsView::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridTableOptionsView>(Source)) {
        SetColumnAutoWidth(src->ColumnAutoWidth());
        SetDataRowHeight(src->DataRowHeight());
        SetExpandButtonsForEmptyDetails(src->ExpandButtonsForEmptyDetails());
        SetFooter(src->Footer());
        SetGridLineColor(src->GridLineColor());
        SetGridLines(src->GridLines());
        SetGroupByBox(src->GroupByBox());
        SetGroupFooters(src->GroupFooters());
        SetGroupRowHeight(src->GroupRowHeight());
        SetHeader(src->Header());
        SetHeaderHeight(src->HeaderHeight());
        SetIndicator(src->Indicator());
        SetIndicatorWidth(src->IndicatorWidth());
        SetNewItemRow(src->NewItemRow());
        SetNewItemRowInfoText(src->NewItemRowInfoText());
        SetNewItemRowSeparatorColor(src->NewItemRowSeparatorColor());
        SetNewItemRowSeparatorWidth(src->NewItemRowSeparatorWidth());
        SetRowSeparatorColor(src->RowSeparatorColor());
        SetRowSeparatorWidth(src->RowSeparatorWidth());
    }
    TcxCustomGridTableOptionsView::Assign(Source);
}

void TcxGridTableOptionsView::SetColumnAutoWidth(bool AValue)
{
    if (FColumnAutoWidth == AValue) return;
    FColumnAutoWidth = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetDataRowHeight(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FDataRowHeight == AValue) return;
    FDataRowHeight = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetExpandButtonsForEmptyDetails(bool AValue)
{
    if (FExpandButtonsForEmptyDetails == AValue) return;
    FExpandButtonsForEmptyDetails = AValue;
    Changed();
}

void TcxGridTableOptionsView::SetFooter(bool AValue)
{
    if (FFooter == AValue) return;
    FFooter = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetGridLineColor(TColor AValue)
{
    if (FGridLineColor == AValue) return;
    FGridLineColor = AValue;
    Changed();
}

void TcxGridTableOptionsView::SetGridLines(TcxGridLines AValue)
{
    if (FGridLines == AValue) return;
    FGridLines = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetGroupByBox(bool AValue)
{
    if (FGroupByBox == AValue) return;
    FGroupByBox = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetGroupFooters(TcxGridGroupFootersMode AValue)
{
    if (FGroupFooters == AValue) return;
    FGroupFooters = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetGroupRowHeight(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FGroupRowHeight == AValue) return;
    FGroupRowHeight = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetHeader(bool AValue)
{
    if (FHeader == AValue) return;
    FHeader = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetHeaderHeight(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FHeaderHeight == AValue) return;
    FHeaderHeight = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetIndicator(bool AValue)
{
    if (FIndicator == AValue) return;
    FIndicator = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetIndicatorWidth(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FIndicatorWidth == AValue) return;
    FIndicatorWidth = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetNewItemRow(bool AValue)
{
    if (FNewItemRow == AValue) return;
    FNewItemRow = AValue;
    TcxGridTableView* view = TableView();
    if (!view) return;
    if (view->ViewData()) view->ViewData()->CheckNewItemRecord();
    if (view->DataController()) view->DataController()->SetNewItemRowEnabled(AValue);
    view->SizeChanged();
}

void TcxGridTableOptionsView::SetNewItemRowInfoText(const std::string& AValue)
{
    if (FNewItemRowInfoText == AValue) return;
    FNewItemRowInfoText = AValue;
    Changed();
}

bool TcxGridTableOptionsView::IsNewItemRowInfoTextStored() const
{
    return FNewItemRowInfoText != cxClasses::GetResourceString(&cxSGridNewItemRowInfoText);
}

void TcxGridTableOptionsView::SetNewItemRowSeparatorColor(TColor AValue)
{
    if (FNewItemRowSeparatorColor == AValue) return;
    FNewItemRowSeparatorColor = AValue;
    Changed();
}

void TcxGridTableOptionsView::SetNewItemRowSeparatorWidth(int AValue)
{
    AValue = std::max(AValue, 2);
    if (FNewItemRowSeparatorWidth == AValue) return;
    FNewItemRowSeparatorWidth = AValue;
    SizeChanged();
}

void TcxGridTableOptionsView::SetRowSeparatorColor(TColor AValue)
{
    if (FRowSeparatorColor == AValue) return;
    FRowSeparatorColor = AValue;
    Changed();
}

void TcxGridTableOptionsView::SetRowSeparatorWidth(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FRowSeparatorWidth == AValue) return;
    FRowSeparatorWidth = AValue;
    SizeChanged();
}

TColor TcxGridTableOptionsView::GetGridLineColor() const
{
    if (FGridLineColor != clDefault || !GridView()) return FGridLineColor;
    return GridView()->LookAndFeelPainter()->DefaultColor28();
}

TColor TcxGridTableOptionsView::GetNewItemRowSeparatorColor() const
{
    if (FNewItemRowSeparatorColor != clDefault || !GridView()) return FNewItemRowSeparatorColor;
    return GridView()->LookAndFeelPainter()->HeaderColor();
}

TColor TcxGridTableOptionsView::GetRowSeparatorColor() const
{
    if (FRowSeparatorColor != clDefault || !GridView()) return FRowSeparatorColor;
    return GridView()->LookAndFeelPainter()->DefaultColor42();
}

// ---- customize, behaviour ---------------------------------------------------------------------------------

void TcxGridTableOptionsCustomize::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridTableOptionsCustomize>(Source)) {
        SetColumnFiltering(src->ColumnFiltering());
        FColumnHiding = src->FColumnHiding;
        FColumnHidingOnGrouping = src->FColumnHidingOnGrouping;
        SetColumnHorzSizing(src->ColumnHorzSizing());
        FDataRowSizing = src->FDataRowSizing;
        FGroupRowSizing = src->FGroupRowSizing;
    }
    TcxCustomGridTableOptionsCustomize::Assign(Source);
}

void TcxGridTableOptionsCustomize::SetColumnFiltering(bool AValue)
{
    if (FColumnFiltering == AValue) return;
    FColumnFiltering = AValue;
    Changed();
}

void TcxGridTableOptionsCustomize::SetColumnHorzSizing(bool AValue)
{
    if (FColumnHorzSizing == AValue) return;
    FColumnHorzSizing = AValue;
    Changed();
}

void TcxGridTableOptionsBehavior::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridTableOptionsBehavior>(Source))
        ExpandMasterRowOnDblClick = src->ExpandMasterRowOnDblClick;
    TcxCustomGridTableOptionsBehavior::Assign(Source);
}

// ---- preview ------------------------------------------------------------------------------------------------

TcxGridTableView* TcxGridPreview::TableView() const { return DynamicCast<TcxGridTableView>(GridView()); }

void TcxGridPreview::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridPreview>(Source)) {
        SetAutoHeight(src->AutoHeight());
        SetColumn(src->Column());
        SetLeftIndent(src->LeftIndent());
        SetMaxLineCount(src->MaxLineCount());
        SetPlace(src->Place());
        SetRightIndent(src->RightIndent());
        SetVisible(src->Visible());
        return;
    }
    TcxCustomGridOptions::Assign(Source);
}

void TcxGridPreview::Notification(TComponent* AComponent, TOperation AOperation)
{
    TcxCustomGridOptions::Notification(AComponent, AOperation);
    if (AOperation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FColumn)) SetColumn(nullptr);
}

void TcxGridPreview::PropertyChanged()
{
    if (FVisible && GridView()) GridView()->SizeChanged();
}

void TcxGridPreview::SetAutoHeight(bool AValue)
{
    if (FAutoHeight == AValue) return;
    FAutoHeight = AValue;
    PropertyChanged();
}

void TcxGridPreview::SetColumn(TcxGridColumn* AValue)
{
    if (AValue && AValue->GridView() != GridView()) AValue = nullptr;
    if (FColumn == AValue) return;
    TcxGridTableView* view = TableView();
    TcxGridColumn* old = FColumn;
    if (view) view->BeginUpdate();
    try {
        FColumn = AValue;
        if (view && old) {
            view->ItemVisibilityChanged(old, old->VisibleFlag());
            old->HiddenChanged();
        }
        if (view && FColumn) {
            view->ItemVisibilityChanged(FColumn, false);
            FColumn->HiddenChanged();
        }
        PropertyChanged();
    } catch (...) {
        if (view) view->EndUpdate();
        throw;
    }
    if (view) view->EndUpdate();
}

void TcxGridPreview::SetLeftIndent(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FLeftIndent == AValue) return;
    FLeftIndent = AValue;
    PropertyChanged();
}

void TcxGridPreview::SetMaxLineCount(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FMaxLineCount == AValue) return;
    FMaxLineCount = AValue;
    PropertyChanged();
}

void TcxGridPreview::SetPlace(TcxGridPreviewPlace AValue)
{
    if (FPlace == AValue) return;
    FPlace = AValue;
    PropertyChanged();
}

void TcxGridPreview::SetRightIndent(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FRightIndent == AValue) return;
    FRightIndent = AValue;
    PropertyChanged();
}

void TcxGridPreview::SetVisible(bool AValue)
{
    if (FVisible == AValue) return;
    FVisible = AValue;
    if (GridView()) GridView()->SizeChanged();
}

// ---- styles --------------------------------------------------------------------------------------------------

TcxGridTableView* TcxGridTableViewStyles::TableView() const { return DynamicCast<TcxGridTableView>(GetGridView()); }

void TcxGridTableViewStyles::Assign(TPersistent* Source)
{
    TcxCustomGridTableViewStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxGridTableViewStyles>(Source)) {
        for (int i = vsFilterBox; i <= vsPreview; ++i) SetValue(i, src->GetValue(i));
        OnGetFooterStyle = src->OnGetFooterStyle;
        OnGetGroupStyle = src->OnGetGroupStyle;
        OnGetHeaderStyle = src->OnGetHeaderStyle;
        OnGetPreviewStyle = src->OnGetPreviewStyle;
    }
}

void TcxGridTableViewStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxCustomGridTableViewStyles::GetDefaultViewParams(Index, AData, AParams);
    TcxGridTableView* view = TableView();
    if (!view) return;
    TcxCustomLookAndFeelPainterClass painter = view->LookAndFeelPainter();
    auto* record = DynamicCast<TcxCustomGridRecord>(AData);
    switch (Index) {
    case vsFilterBox:
        AParams.Color = painter->FilterBoxColor();
        AParams.TextColor = painter->FilterBoxTextColor();
        break;
    case vsFooter:
        AParams.Color = painter->FooterColor();
        AParams.TextColor = painter->FooterTextColor();
        break;
    case vsGroup:
        TcxCustomGridTableViewStyles::GetRecordContentParams(record, AParams);
        AParams.Color = painter->GroupColor();
        AParams.TextColor = painter->GroupTextColor();
        break;
    case vsGroupByBox:
        AParams.Color = painter->GroupByBoxColor();
        AParams.TextColor = painter->GroupByBoxTextColor();
        break;
    case vsHeader:
        AParams.Color = painter->HeaderColor();
        AParams.TextColor = painter->HeaderTextColor();
        break;
    case vsNewItemRowInfoText:
        TcxCustomGridTableViewStyles::GetRecordContentParams(record, AParams);
        AParams.TextColor = clGrayText;
        break;
    case vsIndicator: AParams.Color = painter->HeaderColor(); break;
    case vsPreview:
        TcxCustomGridTableViewStyles::GetContentParams(record, view->Preview()->Column(), AParams);
        AParams.TextColor = painter->PreviewTextColor();
        break;
    default: break;
    }
}

void TcxGridTableViewStyles::GetContentParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                              TcxViewParams& AParams)
{
    TcxGridTableView* view = TableView();
    if (AItem && view && view->IsPreviewColumn(AItem))
        GetPreviewParams(ARecord, AItem, AParams);
    else
        TcxCustomGridTableViewStyles::GetContentParams(ARecord, AItem, AParams);
}

void TcxGridTableViewStyles::GetRecordContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams)
{
    if (auto* group = DynamicCast<TcxGridGroupRow>(ARecord))
        GetGroupParams(group, group->Level(), AParams);
    else
        TcxCustomGridTableViewStyles::GetRecordContentParams(ARecord, AParams);
}

void TcxGridTableViewStyles::GetFooterParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                             TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetFooterStyle) OnGetFooterStyle(TableView(), ARecord, AItem, style);
    GetViewParams(vsFooter, ARecord, style, AParams);
}

void TcxGridTableViewStyles::GetGroupParams(TcxCustomGridRecord* ARecord, int ALevel, TcxViewParams& AParams)
{
    if (ARecord) ALevel = ARecord->Level();
    TcxStyle* style = nullptr;
    if (OnGetGroupStyle) OnGetGroupStyle(TableView(), ARecord, ALevel, style);
    GetViewParams(vsGroup, ARecord, style, AParams);
}

void TcxGridTableViewStyles::GetHeaderParams(TcxGridColumn* AColumn, TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetHeaderStyle) OnGetHeaderStyle(TableView(), AColumn, style);
    GetViewParams(vsHeader, AColumn, style, AParams);
}

void TcxGridTableViewStyles::GetPreviewParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                              TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetPreviewStyle) OnGetPreviewStyle(TableView(), ARecord, AItem, style);
    GetViewParams(vsPreview, ARecord, style, AParams);
}

// ---- background bitmaps -----------------------------------------------------------------------------------

void TcxGridTableBackgroundBitmaps::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridTableBackgroundBitmaps>(Source))
        for (int i = bbFilterBox; i <= bbPreview; ++i) SetBitmaps(i, src->Bitmaps(i));
    TcxCustomGridTableBackgroundBitmaps::Assign(Source);
}

int TcxGridTableBackgroundBitmaps::GetBitmapStyleIndex(int AIndex)
{
    switch (AIndex) {
    case bbFilterBox: return TcxGridTableViewStyles::vsFilterBox;
    case bbFooter: return TcxGridTableViewStyles::vsFooter;
    case bbHeader: return TcxGridTableViewStyles::vsHeader;
    case bbGroup: return TcxGridTableViewStyles::vsGroup;
    case bbGroupByBox: return TcxGridTableViewStyles::vsGroupByBox;
    case bbIndicator: return TcxGridTableViewStyles::vsIndicator;
    case bbPreview: return TcxGridTableViewStyles::vsPreview;
    default: return TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(AIndex);
    }
}

// ---- column options and styles -------------------------------------------------------------------------------

void TcxGridColumnOptions::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridColumnOptions>(Source)) SetHorzSizing(src->HorzSizing());
    TcxCustomGridTableItemOptions::Assign(Source);
}

void TcxGridColumnOptions::SetHorzSizing(bool AValue)
{
    if (FHorzSizing == AValue) return;
    FHorzSizing = AValue;
    Changed();
}

TcxGridColumn* TcxGridColumnStyles::Column() const { return DynamicCast<TcxGridColumn>(Item()); }

void TcxGridColumnStyles::Assign(TPersistent* Source)
{
    TcxCustomGridTableItemStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxGridColumnStyles>(Source)) {
        SetFooter(src->Footer());
        SetHeader(src->Header());
        OnGetFooterStyle = src->OnGetFooterStyle;
        OnGetHeaderStyle = src->OnGetHeaderStyle;
    }
}

void TcxGridColumnStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxGridColumn* column = Column();
    TcxGridTableView* view = column ? column->TableView() : nullptr;
    if (view && Index == isFooter) {
        view->Styles()->GetFooterParams(DynamicCast<TcxCustomGridRecord>(AData), column, AParams);
        return;
    }
    if (view && Index == isHeader) {
        view->Styles()->GetHeaderParams(column, AParams);
        return;
    }
    TcxCustomGridTableItemStyles::GetDefaultViewParams(Index, AData, AParams);
}

void TcxGridColumnStyles::GetFooterParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetFooterStyle) OnGetFooterStyle(DynamicCast<TcxCustomGridTableView>(GetGridView()), ARecord, Item(), style);
    GetViewParams(isFooter, ARecord, style, AParams);
}

void TcxGridColumnStyles::GetHeaderParams(TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    TcxGridColumn* column = Column();
    if (OnGetHeaderStyle) OnGetHeaderStyle(column ? column->TableView() : nullptr, column, style);
    GetViewParams(isHeader, nullptr, style, AParams);
}

// ---- columns -------------------------------------------------------------------------------------------------

TcxGridColumn::TcxGridColumn(TComponent* AOwner) : TcxCustomGridTableItem(AOwner) {}

TcxGridColumn::~TcxGridColumn() = default;

void TcxGridColumn::AfterConstruction()
{
    TcxCustomGridTableItem::AfterConstruction();
    FHeaderGlyph = std::make_unique<TBitmap>();
    FHeaderGlyph->OnChange = [this](TObject*) { Changed(false); };
}

void TcxGridColumn::BeforeDestruction()
{
    // The preview lets its column go before the column leaves the view.
    if (TcxGridTableView* view = TableView())
        if (view->Preview() && view->Preview()->Column() == this) view->Preview()->SetColumn(nullptr);
    if (TcxGridTableView* view = TableView())
        if (view->SizingColumn == this) view->SizingColumn = nullptr;
    if (TcxGridTableView* view = TableView())
        if (view->PressedColumn == this) view->PressedColumn = nullptr;
    FHeaderGlyph.reset();
    TcxCustomGridTableItem::BeforeDestruction();
}

TcxGridTableView* TcxGridColumn::TableView() const { return DynamicCast<TcxGridTableView>(GridView()); }

TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> TcxGridColumn::GetOptionsClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*>::Of<TcxGridColumnOptions>();
}

TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> TcxGridColumn::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*>::Of<TcxGridColumnStyles>();
}

bool TcxGridColumn::IsPreview() const
{
    TcxGridTableView* view = TableView();
    return view && view->Preview() && view->Preview()->Column() == this;
}

bool TcxGridColumn::GetVisible() const { return TcxCustomGridTableItem::GetVisible() && !IsPreview(); }

bool TcxGridColumn::IsVisibleStored() const { return !VisibleFlag() && !IsPreview(); }

bool TcxGridColumn::Hidden() const { return FHidden || IsPreview(); }

void TcxGridColumn::SetHidden(bool AValue)
{
    if (Hidden() == AValue) return;
    FHidden = AValue;
    HiddenChanged();
}

void TcxGridColumn::HiddenChanged()
{
    if (!GridView()) return;
    GridView()->RefreshFilterableItemsList();
    if (TcxGridTableView* view = TableView()) view->RefreshCustomizationForm();
}

bool TcxGridColumn::IsFilterable() { return TcxCustomGridTableItem::IsFilterable() && !Hidden(); }

bool TcxGridColumn::CanFilterFromHeader()
{
    TcxGridTableView* view = TableView();
    return view && TcxCustomGridTableItem::IsFilterable() && view->OptionsCustomize()->ColumnFiltering();
}

bool TcxGridColumn::CanHorzSize()
{
    TcxGridTableView* view = TableView();
    return Options()->HorzSizing() && (!view || view->OptionsCustomize()->ColumnHorzSizing());
}

bool TcxGridColumn::IsWidthFixed()
{
    if (!Options()->HorzSizing()) return true;
    TcxGridTableView* view = TableView();
    TcxGridColumn* sized = view ? view->SizingColumn : nullptr;
    if (!sized) return false;
    if (sized == this) return true;
    return !sized->IsLast() && VisibleIndex() < sized->VisibleIndex();
}

void TcxGridColumn::ForceWidthHook()
{
    TcxGridTableView* view = TableView();
    if (!view || !view->OptionsView()->ColumnAutoWidth()) return;
    // What the headers show becomes every column's own width.
    TcxGridTableViewInfo* viewInfo = view->ViewInfo();
    if (viewInfo && viewInfo->HeaderViewInfo()) viewInfo->HeaderViewInfo()->AssignColumnWidths();
}

void TcxGridColumn::ImposeWidth(int AValue)
{
    TcxGridTableView* view = TableView();
    TcxGridColumn* previous = view ? view->SizingColumn : nullptr;
    ForceWidthHook();
    if (view) view->SizingColumn = this;
    try {
        SetWidth(AValue);
    } catch (...) {
        if (view) view->SizingColumn = previous;
        throw;
    }
    if (view) view->SizingColumn = previous;
    ForceWidthHook();
}

bool TcxGridColumn::HideOnGrouping()
{
    TcxGridTableView* view = TableView();
    return view && view->OptionsCustomize()->ColumnHidingOnGrouping();
}

void TcxGridColumn::CaptionChanged()
{
    TcxCustomGridTableItem::CaptionChanged();
    if (TcxGridTableView* view = TableView()) view->RefreshCustomizationForm();
}

TAlignment TcxGridColumn::FooterAlignmentHorz() const
{
    if (FFooterAlignmentHorzAssigned) return FFooterAlignmentHorz;
    TcxCustomEditProperties* p = const_cast<TcxGridColumn*>(this)->GetProperties();
    return p ? p->Alignment()->Horz() : taLeftJustify;
}

void TcxGridColumn::SetFooterAlignmentHorz(TAlignment AValue)
{
    if (FooterAlignmentHorz() == AValue && !IsLoading()) {
        return;
    }
    FFooterAlignmentHorz = AValue;
    FFooterAlignmentHorzAssigned = true;
    Changed(false);
}

bool TcxGridColumn::IsFooterAlignmentHorzStored() const
{
    if (!FFooterAlignmentHorzAssigned) return false;
    TcxCustomEditProperties* p = const_cast<TcxGridColumn*>(this)->GetProperties();
    return FFooterAlignmentHorz != (p ? p->Alignment()->Horz() : taLeftJustify);
}

void TcxGridColumn::SetHeaderGlyph(TBitmap* AValue)
{
    if (!FHeaderGlyph) return;
    if (AValue && AValue != FHeaderGlyph.get()) FHeaderGlyph->Assign(AValue);
}

void TcxGridColumn::SetHeaderGlyphAlignmentHorz(TAlignment AValue)
{
    if (FHeaderGlyphAlignmentHorz == AValue) return;
    FHeaderGlyphAlignmentHorz = AValue;
    Changed(false);
}

void TcxGridColumn::SetHeaderGlyphAlignmentVert(TcxAlignmentVert AValue)
{
    if (FHeaderGlyphAlignmentVert == AValue) return;
    FHeaderGlyphAlignmentVert = AValue;
    Changed(false);
}

bool TcxGridColumn::DoCustomDrawFooterCell(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawFooterCell) return false;
    OnCustomDrawFooterCell(TableView(), ACanvas, AViewInfo, ADone);
    return true;
}

bool TcxGridColumn::DoCustomDrawHeader(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawHeader) return false;
    OnCustomDrawHeader(TableView(), ACanvas, AViewInfo, ADone);
    return true;
}

void TcxGridColumn::DoHeaderClick()
{
    TcxGridTableView* view = TableView();
    if (OnHeaderClick) OnHeaderClick(this);
    if (view) view->DoColumnHeaderClick(this);
}

void TcxGridColumn::DoUserFiltering(const Variant& AValue, const std::string& ADisplayText)
{
    if (OnUserFiltering) OnUserFiltering(this, AValue, ADisplayText);
}

void TcxGridColumn::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridColumn>(Source)) {
        FFooterAlignmentHorz = src->FFooterAlignmentHorz;
        FFooterAlignmentHorzAssigned = src->FFooterAlignmentHorzAssigned;
        SetHeaderGlyph(src->HeaderGlyph());
        FHeaderGlyphAlignmentHorz = src->FHeaderGlyphAlignmentHorz;
        FHeaderGlyphAlignmentVert = src->FHeaderGlyphAlignmentVert;
        SetHidden(src->FHidden);
        OnCustomDrawFooterCell = src->OnCustomDrawFooterCell;
        OnCustomDrawHeader = src->OnCustomDrawHeader;
        OnHeaderClick = src->OnHeaderClick;
        OnUserFiltering = src->OnUserFiltering;
    }
    TcxCustomGridTableItem::Assign(Source);
}

bool TcxGridColumn::GetStoredProperties(TStrings* AProperties)
{
    TcxCustomGridTableItem::GetStoredProperties(AProperties);
    AProperties->Add("GroupIndex");
    AProperties->Add("Width");
    return true;
}

Variant TcxGridColumn::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "GroupIndex") return Variant(GroupIndex());
    if (AName == "Width") return Variant(Width());
    return TcxCustomGridTableItem::GetStoredPropertyValue(AName);
}

void TcxGridColumn::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "GroupIndex")
        SetGroupIndex(AValue.AsInteger());
    else if (AName == "Width")
        SetWidth(AValue.AsInteger());
    else
        TcxCustomGridTableItem::SetStoredPropertyValue(AName, AValue);
}

// ---- summaries -------------------------------------------------------------------------------------------------

namespace {
TcxGridTableView* ViewOfController(TcxCustomDataController* AController)
{
    return AController ? DynamicCast<TcxGridTableView>(AController->GetOwner()) : nullptr;
}
}  // namespace

TcxGridTableView* TcxGridTableSummaryItem::TableView() const { return ViewOfController(GetDataController()); }

bool TcxGridTableSummaryItem::GetStoredProperties(TStrings* AProperties)
{
    AProperties->Add("Column");
    return true;
}

Variant TcxGridTableSummaryItem::GetStoredPropertyValue(const std::string& AName)
{
    return AName == "Column" ? cxGridTableView::GetSummaryColumnStoredValue(Column()) : Null();
}

void TcxGridTableSummaryItem::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "Column")
        SetColumn(DynamicCast<TcxGridColumn>(cxGridTableView::FindSummaryColumn(GetDataController(), AValue)));
}

Variant cxGridTableView::GetSummaryColumnStoredValue(TcxCustomGridTableItem* AColumn)
{
    return Variant(AColumn ? AColumn->GetStoredObjectName() : std::string());
}

TcxCustomGridTableItem* cxGridTableView::FindSummaryColumn(TcxCustomDataController* AController, const Variant& AValue)
{
    auto* view = AController ? DynamicCast<TcxCustomGridTableView>(AController->GetOwner()) : nullptr;
    std::string name = VarToStr(AValue);
    if (!view || name.empty()) return nullptr;
    for (int i = 0; i < view->ItemCount(); ++i)
        if (view->GetItem(i)->GetStoredObjectName() == name) return view->GetItem(i);
    return nullptr;
}

TcxGridTableView* TcxGridTableSummaryGroupItemLink::TableView() const { return ViewOfController(GetDataController()); }

bool TcxGridTableSummaryGroupItemLink::GetStoredProperties(TStrings* AProperties)
{
    AProperties->Add("Column");
    return true;
}

Variant TcxGridTableSummaryGroupItemLink::GetStoredPropertyValue(const std::string& AName)
{
    if (AName != "Column") return Null();
    TcxGridColumn* column = Column();
    return Variant(column ? column->Name() : std::string());
}

void TcxGridTableSummaryGroupItemLink::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName != "Column") return;
    SetColumn(nullptr);
    TcxGridTableView* view = TableView();
    std::string name = VarToStr(AValue);
    if (!view) return;
    for (int i = 0; i < view->ItemCount(); ++i)
        if (view->GetItem(i)->Name() == name) {
            SetColumn(DynamicCast<TcxGridColumn>(view->GetItem(i)));
            return;
        }
}

// ---- rows ----------------------------------------------------------------------------------------------------------

TcxGridViewData* TcxCustomGridRow::GridViewData() const { return static_cast<TcxGridViewData*>(ViewData()); }
TcxGridTableView* TcxCustomGridRow::TableView() const { return DynamicCast<TcxGridTableView>(GridView()); }

int TcxGridDataRow::DetailGridViewCount()
{
    TcxCustomDataController* dc = DataController();
    return dc->HasRelations() ? dc->GetRelations()->Count() : 0;
}

TcxCustomGridView* TcxGridDataRow::DetailGridViews(int AIndex)
{
    if (!HasValidRecordIndex()) return nullptr;
    TcxCustomDataController* dc = DataController();
    if (!dc->IsDetailLinkObjectExists(RecordIndex(), AIndex)) return nullptr;
    return DynamicCast<TcxCustomGridView>(dc->GetDetailLinkObject(RecordIndex(), AIndex));
}

int TcxGridDataRow::ActiveDetailIndex()
{
    if (!HasValidRecordIndex()) return -1;
    TcxCustomDataController* dc = DataController();
    int index = dc->GetDetailActiveRelationIndex(RecordIndex());
    TcxCustomGridTableView* view = GridView();
    TcxGridLevel* level = view->Level();
    if (index != -1 && !view->IsDestroying() && level && index < level->Count() && !level->Items(index)->Visible()) {
        view->BeginUpdate();
        try {
            index = view->GetDefaultActiveDetailIndex();
            dc->ChangeDetailActiveRelationIndex(RecordIndex(), index);
        } catch (...) {
            view->EndUpdate();
            throw;
        }
        view->EndUpdate();
    }
    return index;
}

void TcxGridDataRow::SetActiveDetailIndex(int AValue)
{
    if (!HasValidRecordIndex() || DataController()->GetDetailActiveRelationIndex(RecordIndex()) == AValue) return;
    DataController()->ChangeDetailActiveRelationIndex(RecordIndex(), AValue);
    TcxGridLevel* level = GridView()->Level();
    if (GridView()->Grid() && level && AValue >= 0 && AValue < level->Count())
        GridView()->Grid()->DoActiveTabChanged(level->Items(AValue));
}

TcxGridLevel* TcxGridDataRow::ActiveDetailLevel()
{
    int index = ActiveDetailIndex();
    TcxGridLevel* level = GridView()->Level();
    return level && index >= 0 && index < level->Count() ? level->Items(index) : nullptr;
}

TcxCustomGridView* TcxGridDataRow::ActiveDetailGridView()
{
    int index = ActiveDetailIndex();
    return index == -1 ? nullptr : DetailGridViews(index);
}

bool TcxGridDataRow::ActiveDetailGridViewExists()
{
    if (!HasValidRecordIndex()) return false;
    int index = ActiveDetailIndex();
    return index != -1 && DataController()->IsDetailLinkObjectExists(RecordIndex(), index);
}

bool TcxGridMasterDataRow::GetExpanded()
{
    return HasValidRecordIndex() && DataController()->GetDetailExpanding(RecordIndex());
}

bool TcxGridMasterDataRow::HasDetailRows()
{
    if (!HasValidRecordIndex()) return false;
    TcxGridLevel* level = GridView()->Level();
    if (!level) return false;
    for (int i = 0; i < level->Count(); ++i) {
        if (!level->Items(i)->Visible()) continue;
        if (DataController()->IsDetailHasChildren(RecordIndex(), i)) return true;
    }
    return false;
}

bool TcxGridMasterDataRow::GetExpandable()
{
    TcxGridTableView* view = TableView();
    return (view && view->OptionsView()->ExpandButtonsForEmptyDetails()) || HasDetailRows() || GetExpanded();
}

bool TcxGridMasterDataRow::ExpandOnDblClick()
{
    TcxGridTableView* view = TableView();
    return TcxGridDataRow::ExpandOnDblClick() && view && view->OptionsBehavior()->ExpandMasterRowOnDblClick;
}

namespace {
// Every detail of the row that is a record view.
template <class F> void ForEachTableDetail(TcxGridDataRow* ARow, F AProc)
{
    for (int i = 0; i < ARow->DetailGridViewCount(); ++i)
        if (auto* detail = DynamicCast<TcxCustomGridTableView>(ARow->DetailGridViews(i))) AProc(detail);
}
}  // namespace

void TcxGridMasterDataRow::Collapse(bool ARecursive)
{
    if (!GetExpandable() || !HasValidRecordIndex()) return;
    if (ARecursive && GetExpanded())
        ForEachTableDetail(this, [](TcxCustomGridTableView* AView) { AView->ViewData()->CollapseAll(true); });
    DataController()->ChangeDetailExpanding(RecordIndex(), false);
}

void TcxGridMasterDataRow::Expand(bool ARecursive)
{
    if (!GetExpandable() || !HasValidRecordIndex()) return;
    int rowIndex = Index();
    TcxCustomGridTableViewData* viewData = ViewData();
    if (!DataController()->ChangeDetailExpanding(RecordIndex(), true)) return;
    // The expansion made the row objects anew: this one may be gone.
    TcxCustomGridRecord* row = viewData->GetRecord(rowIndex);
    if (row != this) {
        if (row) row->Expand(ARecursive);
        return;
    }
    if (ARecursive && GetExpanded())
        ForEachTableDetail(this, [](TcxCustomGridTableView* AView) { AView->ViewData()->ExpandAll(true); });
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetFirstFocusableChild()
{
    if (!GetExpanded()) return TcxGridDataRow::GetFirstFocusableChild();
    auto* detail = DynamicCast<TcxCustomGridTableView>(ActiveDetailGridView());
    if (!detail) return TcxGridDataRow::GetFirstFocusableChild();
    if (TcxCustomGridRecord* newItem = detail->ViewData()->NewItemRecord()) return newItem;
    for (int i = 0; i < detail->ViewData()->RecordCount(); ++i) {
        TcxCustomGridRecord* record = detail->ViewData()->GetRecord(i);
        if (record && record->CanFocus()) return record;
    }
    return TcxGridDataRow::GetFirstFocusableChild();
}

TcxCustomGridRecord* TcxGridMasterDataRow::GetLastFocusableChild(bool ARecursive)
{
    if (!GetExpanded()) return TcxGridDataRow::GetLastFocusableChild(ARecursive);
    auto* detail = DynamicCast<TcxCustomGridTableView>(ActiveDetailGridView());
    if (!detail) return TcxGridDataRow::GetLastFocusableChild(ARecursive);
    TcxCustomGridRecord* result = nullptr;
    for (int i = detail->ViewData()->RecordCount() - 1; i >= 0 && !result; --i) {
        TcxCustomGridRecord* record = detail->ViewData()->GetRecord(i);
        if (record && record->CanFocus()) result = record;
    }
    if (!result) {
        result = detail->ViewData()->NewItemRecord();
        if (!result) return TcxGridDataRow::GetLastFocusableChild(ARecursive);
    }
    if (ARecursive)
        if (auto* row = DynamicCast<TcxGridDataRow>(result))
            if (TcxCustomGridRecord* deeper = row->GetLastFocusableChild(true)) return deeper;
    return result;
}

void TcxGridGroupRow::Expand(bool ARecursive)
{
    DataController()->Groups()->ChangeExpanding(Index(), true, ARecursive);
}

void TcxGridGroupRow::Collapse(bool ARecursive)
{
    DataController()->Groups()->ChangeExpanding(Index(), false, ARecursive);
}

void TcxGridGroupRow::KeyDown(WORD& AKey, TShiftState AShift)
{
    TcxCustomGridRow::KeyDown(AKey, AShift);
    if (AKey == kVkMultiply) {
        Expand(true);
        AKey = 0;
    }
}

TcxGridColumn* TcxGridGroupRow::GroupedColumn()
{
    TcxGridTableView* view = TableView();
    if (!view || Level() < 0 || Level() >= view->GroupedColumnCount()) return nullptr;
    return view->GroupedColumns(Level());
}

std::string TcxGridGroupRow::DisplayText()
{
    TcxGridColumn* column = GroupedColumn();
    std::string caption = column ? column->Caption() : std::string();
    std::string value = column ? GetDisplayText(column->Index()) : std::string();
    std::string text = Format("%s : %s", {caption, value});
    std::string summary = DataController()->Summary()->GetGroupSummaryText(Index());
    if (!summary.empty()) text += " " + summary;
    return text;
}

TcxGridTableView* TcxGridViewData::TableView() const { return DynamicCast<TcxGridTableView>(GridView()); }

TcxCustomGridRecordClass TcxGridViewData::GetRecordClass(const TcxDataControllerRowInfo& ARowInfo)
{
    TcxGridTableView* view = TableView();
    if (ARowInfo.Level < DataController()->Groups()->GetGroupingItemCount())
        return TcxCustomGridRecordClass::Of<TcxGridGroupRow>();
    if (view && view->HasVisibleDetails()) return TcxCustomGridRecordClass::Of<TcxGridMasterDataRow>();
    return TcxCustomGridRecordClass::Of<TcxGridDataRow>();
}

TcxCustomGridRecordClass TcxGridViewData::GetNewItemRecordClass()
{
    return TcxCustomGridRecordClass::Of<TcxGridNewItemRow>();
}

bool TcxGridViewData::HasNewItemRecord()
{
    TcxGridTableView* view = TableView();
    return view && view->OptionsView() && view->OptionsView()->NewItemRow();
}

// ---- the view ----------------------------------------------------------------------------------------------------

TcxGridTableView::~TcxGridTableView() = default;

void TcxGridTableView::BeforeDestruction()
{
    // The customization form closes before anything of the view goes.
    if (OnRefreshCustomizationForm) OnRefreshCustomizationForm = nullptr;
    TcxCustomGridTableView::BeforeDestruction();
}

void TcxGridTableView::CreateOptions()
{
    TcxCustomGridTableView::CreateOptions();
    FPreview = GetPreviewClass().Create(this);
}

void TcxGridTableView::DestroyOptions()
{
    FreeAndNil(FPreview);
    TcxCustomGridTableView::DestroyOptions();
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridTableView::GetControllerClass()
{
    if (ControllerClassSlot()) return ControllerClassSlot();
    return TcxCustomGridTableView::GetControllerClass();
}

TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridTableView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridDataController>();
}

TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridTableView::GetPainterClass()
{
    if (PainterClassSlot()) return PainterClassSlot();
    return TcxCustomGridTableView::GetPainterClass();
}

TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTableView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxGridViewData>();
}

TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> TcxGridTableView::GetViewInfoCacheClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfoCache>::Of<TcxGridTableViewInfoCache>();
}

TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTableView::GetViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridTableViewInfo>();
}

TcxGridTableViewInfo* TcxGridTableView::ViewInfo() const
{
    return DynamicCast<TcxGridTableViewInfo>(TcxCustomGridTableView::ViewInfo());
}

TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> TcxGridTableView::GetBackgroundBitmapsClass()
{
    return TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps>::Of<TcxGridTableBackgroundBitmaps>();
}

TcxGridOptionsClass<TcxCustomGridTableFiltering> TcxGridTableView::GetFilteringClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableFiltering>::Of<TcxGridTableFiltering>();
}

TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior> TcxGridTableView::GetOptionsBehaviorClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior>::Of<TcxGridTableOptionsBehavior>();
}

TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> TcxGridTableView::GetOptionsCustomizeClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize>::Of<TcxGridTableOptionsCustomize>();
}

TcxGridOptionsClass<TcxCustomGridOptionsSelection> TcxGridTableView::GetOptionsSelectionClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsSelection>::Of<TcxGridTableOptionsSelection>();
}

TcxGridOptionsClass<TcxCustomGridOptionsView> TcxGridTableView::GetOptionsViewClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsView>::Of<TcxGridTableOptionsView>();
}

TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> TcxGridTableView::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*>::Of<TcxGridTableViewStyles>();
}

TcxGridOptionsClass<TcxGridPreview> TcxGridTableView::GetPreviewClass()
{
    return TcxGridOptionsClass<TcxGridPreview>::Of<TcxGridPreview>();
}

TcxGridTableOptionsView* TcxGridTableView::OptionsView() const
{
    return static_cast<TcxGridTableOptionsView*>(TcxCustomGridTableView::OptionsView());
}

TcxGridTableOptionsCustomize* TcxGridTableView::OptionsCustomize() const
{
    return static_cast<TcxGridTableOptionsCustomize*>(TcxCustomGridTableView::OptionsCustomize());
}

TcxGridTableOptionsBehavior* TcxGridTableView::OptionsBehavior() const
{
    return static_cast<TcxGridTableOptionsBehavior*>(TcxCustomGridTableView::OptionsBehavior());
}

TcxGridTableFiltering* TcxGridTableView::Filtering() const
{
    return static_cast<TcxGridTableFiltering*>(TcxCustomGridTableView::Filtering());
}

TcxGridTableOptionsSelection* TcxGridTableView::OptionsSelection() const
{
    return static_cast<TcxGridTableOptionsSelection*>(TcxCustomGridTableView::OptionsSelection());
}

TcxGridTableViewStyles* TcxGridTableView::Styles() const
{
    return static_cast<TcxGridTableViewStyles*>(TcxCustomGridTableView::Styles());
}

TcxGridTableBackgroundBitmaps* TcxGridTableView::BackgroundBitmaps() const
{
    return static_cast<TcxGridTableBackgroundBitmaps*>(TcxCustomGridTableView::BackgroundBitmaps());
}

int TcxGridTableView::GetShownColumnWidth(TcxGridColumn* AColumn)
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    TcxGridHeaderViewInfo* header = viewInfo ? viewInfo->HeaderViewInfo() : nullptr;
    int index = AColumn->VisibleIndex();
    if (!header || index < 0 || index >= header->Count()) return AColumn->Width();
    return header->Items(index)->DataWidth();
}

bool TcxGridTableView::IsPreviewColumn(TcxCustomGridTableItem* AItem) const
{
    return FPreview && AItem && static_cast<TcxCustomGridTableItem*>(FPreview->Column()) == AItem;
}

bool TcxGridTableView::HasVisibleDetails() const { return IsMaster(); }

bool TcxGridTableView::IsDetailVisible(TcxCustomGridView* ADetail)
{
    if (!ADetail || IsDestroying()) return false;
    int index = ADetail->MasterGridRecordIndex();
    TcxCustomGridTableViewData* data = ViewData();
    if (!data || !data->IsRecordCreated(index)) return false;
    TcxCustomGridRecord* record = data->GetRecord(index);
    return record && record->ViewInfo && record->ViewInfo->IsDetailVisible(ADetail);
}

bool TcxGridTableView::IsControlFocused() { return TcxCustomGridTableView::IsControlFocused() || FilterPopupVisible; }

bool TcxGridTableView::HasSizeDependentLayout()
{
    return TcxCustomGridTableView::HasSizeDependentLayout() || OptionsView()->ColumnAutoWidth() ||
           (FPreview && FPreview->Active()) || IsMaster();
}

bool TcxGridTableView::CanOffset(int ARecordCountDelta)
{
    return TcxCustomGridTableView::CanOffset(ARecordCountDelta) && !IsMaster();
}

bool TcxGridTableView::CanOffsetHorz()
{
    if (Grid() && Grid()->IsUpdateLocked()) return false;
    return !(IsMaster() && GroupedItemCount() > 0);
}

bool TcxGridTableView::IsEqualHeightRecords()
{
    if (!TcxCustomGridTableView::IsEqualHeightRecords()) return false;
    if (OptionsView()->GridLines() == glVertical && OptionsView()->RowSeparatorWidth() == 0) return false;
    return !(FPreview && FPreview->Visible()) && GroupedItemCount() == 0 && !IsMaster();
}

bool TcxGridTableView::HasFixedRecordHeights() { return IsEqualHeightRecords(); }

void TcxGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible)
{
    TcxCustomGridTableView::ItemVisibilityChanged(AItem, AVisible);
    RefreshCustomizationForm();
}

void TcxGridTableView::RemoveItem(TcxCustomGridTableItem* AItem)
{
    if (FPreview && static_cast<TcxCustomGridTableItem*>(FPreview->Column()) == AItem) FPreview->SetColumn(nullptr);
    if (SizingColumn && static_cast<TcxCustomGridTableItem*>(SizingColumn) == AItem) SizingColumn = nullptr;
    if (PressedColumn && static_cast<TcxCustomGridTableItem*>(PressedColumn) == AItem) PressedColumn = nullptr;
    TcxCustomGridTableView::RemoveItem(AItem);
    RefreshCustomizationForm();
}

void TcxGridTableView::LookAndFeelChanged()
{
    TcxCustomGridTableView::LookAndFeelChanged();
    RefreshCustomizationForm();
}

void TcxGridTableView::RefreshCustomizationForm()
{
    if (OnRefreshCustomizationForm) OnRefreshCustomizationForm();
}

void TcxGridTableView::AssignLayout(TcxCustomGridView* ASource)
{
    TcxCustomGridTableView::AssignLayout(ASource);
    auto* src = DynamicCast<TcxGridTableView>(ASource);
    if (!src) return;
    OptionsView()->Assign(src->OptionsView());
    OptionsCustomize()->Assign(src->OptionsCustomize());
    OnColumnHeaderClick = src->OnColumnHeaderClick;
    OnColumnPosChanged = src->OnColumnPosChanged;
    OnColumnSizeChanged = src->OnColumnSizeChanged;
    OnCustomDrawColumnHeader = src->OnCustomDrawColumnHeader;
    OnCustomDrawFooterCell = src->OnCustomDrawFooterCell;
    OnCustomDrawGroupCell = src->OnCustomDrawGroupCell;
    OnCustomDrawIndicatorCell = src->OnCustomDrawIndicatorCell;
    OnCustomDrawPartBackground = src->OnCustomDrawPartBackground;
    OnCustomization = src->OnCustomization;
    OnLeftPosChanged = src->OnLeftPosChanged;
    // A clone shows the column at the pattern's preview column's place;
    // any other copy offers the source's own column, which another view refuses.
    TcxGridColumn* previewColumn = src->Preview()->Column();
    if (previewColumn && IsAssigningPattern()) {
        int index = previewColumn->Index();
        previewColumn = index >= 0 && index < ColumnCount() ? Columns(index) : nullptr;
    }
    FPreview->Assign(src->Preview());
    FPreview->SetColumn(previewColumn);
}

void TcxGridTableView::DoColumnHeaderClick(TcxGridColumn* AColumn)
{
    if (OnColumnHeaderClick) OnColumnHeaderClick(this, AColumn);
}

void TcxGridTableView::DoColumnPosChanged(TcxGridColumn* AColumn)
{
    if (OnColumnPosChanged) OnColumnPosChanged(this, AColumn);
}

void TcxGridTableView::DoColumnSizeChanged(TcxGridColumn* AColumn)
{
    if (OnColumnSizeChanged) OnColumnSizeChanged(this, AColumn);
}

bool TcxGridTableView::DoCustomDrawColumnHeader(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawColumnHeader) return false;
    OnCustomDrawColumnHeader(this, ACanvas, AViewInfo, ADone);
    return true;
}

bool TcxGridTableView::DoCustomDrawFooterCell(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawFooterCell) return false;
    OnCustomDrawFooterCell(this, ACanvas, AViewInfo, ADone);
    return true;
}

bool TcxGridTableView::DoCustomDrawGroupCell(TcxCanvas* ACanvas, TcxGridTableCellViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawGroupCell) return false;
    OnCustomDrawGroupCell(this, ACanvas, AViewInfo, ADone);
    return true;
}

bool TcxGridTableView::DoCustomDrawIndicatorCell(TcxCanvas* ACanvas, TcxCustomGridIndicatorItemViewInfo* AViewInfo,
                                                 bool& ADone)
{
    if (!OnCustomDrawIndicatorCell) return false;
    OnCustomDrawIndicatorCell(this, ACanvas, AViewInfo, ADone);
    return true;
}

bool TcxGridTableView::DoCustomDrawPartBackground(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo, bool& ADone)
{
    if (!OnCustomDrawPartBackground) return false;
    OnCustomDrawPartBackground(this, ACanvas, AViewInfo, ADone);
    return true;
}

void TcxGridTableView::DoCustomization()
{
    if (OnCustomization) OnCustomization(this);
}

void TcxGridTableView::DoLeftPosChanged()
{
    if (OnLeftPosChanged) OnLeftPosChanged(this);
}

// ---- stored layout -------------------------------------------------------------------------------------------------

namespace {
constexpr const char* kAlwaysVisibleText = "gfAlwaysVisible";

// Layouts stored before keep their meaning: True is visible when expanded,
// False invisible. Always visible is stored under its own name, which such
// older readers do not take for a Boolean.
Variant GroupFootersToStored(TcxGridGroupFootersMode AMode)
{
    if (AMode == gfAlwaysVisible) return Variant(std::string(kAlwaysVisibleText));
    return Variant(AMode == gfVisibleWhenExpanded);
}

TcxGridGroupFootersMode GroupFootersFromStored(const Variant& AValue)
{
    if (AValue.IsNull() || AValue.IsEmpty()) return gfInvisible;
    if (AValue.VType() == varBoolean) return AValue.AsBoolean() ? gfVisibleWhenExpanded : gfInvisible;
    if (VarIsNumeric(AValue)) {
        int n = AValue.AsInteger();
        return n == 2 ? gfAlwaysVisible : n != 0 ? gfVisibleWhenExpanded : gfInvisible;
    }
    std::string text = VarToStr(AValue);
    if (SameText(text, kAlwaysVisibleText)) return gfAlwaysVisible;
    return cxStorage::StringToBoolean(text) ? gfVisibleWhenExpanded : gfInvisible;
}

bool StoredBoolean(const Variant& AValue)
{
    if (VarIsNumeric(AValue)) return AValue.AsBoolean();
    return cxStorage::StringToBoolean(VarToStr(AValue));
}
}  // namespace

bool TcxGridTableView::GetStoredProperties(TStrings* AProperties)
{
    for (const char* name : {"Footer", "GroupByBox", "GroupFooters", "NewItemRow"}) AProperties->Add(name);
    return TcxCustomGridTableView::GetStoredProperties(AProperties);
}

Variant TcxGridTableView::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "Footer") return Variant(OptionsView()->Footer());
    if (AName == "GroupByBox") return Variant(OptionsView()->GroupByBox());
    if (AName == "GroupFooters") return GroupFootersToStored(OptionsView()->GroupFooters());
    if (AName == "NewItemRow") return Variant(OptionsView()->NewItemRow());
    return TcxCustomGridTableView::GetStoredPropertyValue(AName);
}

void TcxGridTableView::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    if (AName == "Footer")
        OptionsView()->SetFooter(StoredBoolean(AValue));
    else if (AName == "GroupByBox")
        OptionsView()->SetGroupByBox(StoredBoolean(AValue));
    else if (AName == "GroupFooters")
        OptionsView()->SetGroupFooters(GroupFootersFromStored(AValue));
    else if (AName == "NewItemRow")
        OptionsView()->SetNewItemRow(StoredBoolean(AValue));
    else
        TcxCustomGridTableView::SetStoredPropertyValue(AName, AValue);
}

// ---- the rows' layouts -----------------------------------------------------------------------------------------

TcxCustomGridRecordViewInfoClass TcxGridDataRow::GetViewInfoClass()
{
    return TcxCustomGridRecordViewInfoClass::Of<TcxGridDataRowViewInfo>();
}

TcxCustomGridRecordViewInfoClass TcxGridMasterDataRow::GetViewInfoClass()
{
    return TcxCustomGridRecordViewInfoClass::Of<TcxGridMasterDataRowViewInfo>();
}

TcxCustomGridRecordViewInfoClass TcxGridGroupRow::GetViewInfoClass()
{
    return TcxCustomGridRecordViewInfoClass::Of<TcxGridGroupRowViewInfo>();
}

// ---- best fit -----------------------------------------------------------------------------------------------------

int TcxGridColumn::GetBestFitWidth()
{
    TcxGridTableView* view = TableView();
    if (!view) return Width();
    TcxGridTableViewInfo* viewInfo = view->ViewInfo();
    // The content: the widest display text of the records looked at.
    int width = 0;
    if (viewInfo && view->DataController()) {
        TcxCanvas* canvas = viewInfo->Canvas();
        int count = view->ViewData()->RecordCount();
        int limit = view->OptionsBehavior()->BestFitMaxRecordCount();
        if (limit > 0) count = std::min(count, limit);
        TcxViewParams params;
        view->Styles()->GetContentParams(nullptr, this, params);
        if (params.Font) canvas->SetFont(params.Font);
        for (int i = 0; i < count; ++i) {
            TcxCustomGridRecord* record = view->ViewData()->GetRecord(i);
            if (!record || !record->HasCells()) continue;
            width = std::max(width, canvas->TextWidth(record->GetDisplayText(Index())) + 6);
        }
    }
    TcxBorders borders = viewInfo ? viewInfo->GetCellBorders(IsLast()) : TcxBorders{};
    if (borders.Contains(bLeft)) width += 1;
    if (borders.Contains(bRight)) width += 1;
    if (!Visible() || !viewInfo) return width;
    int index = VisibleIndex();
    if (view->OptionsView()->Header() && index < viewInfo->HeaderViewInfo()->Count())
        width = std::max(width, viewInfo->HeaderViewInfo()->Items(index)->GetNeededWidth());
    if (view->OptionsView()->Footer() && index < viewInfo->FooterViewInfo()->Count())
        width = std::max(width, viewInfo->FooterViewInfo()->Items(index)->GetNeededWidth());
    return width;
}

void TcxGridColumn::ApplyBestFit() { ImposeWidth(GetBestFitWidth()); }
