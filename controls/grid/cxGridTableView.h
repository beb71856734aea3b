// The table view: records as rows, items as columns. Its options with their
// defaults and clamps, the preview line, styles and background bitmaps, the
// view's events, the column class with its options and styles, the summary
// item classes, the view data with its row classes (data, new-item, master
// and group rows), and the registration of the view under "Table".
#pragma once

#include "cxGridCustomTableView.h"

#include <functional>
#include <memory>
#include <string>

class TcxGridTableView;
class TcxGridColumn;
class TcxGridViewData;
class TcxGridColumnHeaderViewInfo;
class TcxCustomGridIndicatorItemViewInfo;
class TcxGridTableViewInfo;

// ---- options ------------------------------------------------------------------------------------------

// TcxGridLines comes with the canvas (cxGraphics).
enum TcxGridGroupFootersMode { gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible };
enum TcxGridPreviewPlace { ppBottom, ppTop };

class TcxGridTableOptionsView : public TcxCustomGridTableOptionsView {
    QZ_CLASS(TcxGridTableOptionsView, TcxCustomGridTableOptionsView)
public:
    explicit TcxGridTableOptionsView(TcxCustomGridView* AGridView);
    void Assign(TPersistent* Source) override;
    TcxGridTableView* TableView() const;

    bool ColumnAutoWidth() const { return FColumnAutoWidth; }
    void SetColumnAutoWidth(bool AValue);
    int DataRowHeight() const { return FDataRowHeight; }
    void SetDataRowHeight(int AValue);
    bool ExpandButtonsForEmptyDetails() const { return FExpandButtonsForEmptyDetails; }
    void SetExpandButtonsForEmptyDetails(bool AValue);
    bool Footer() const { return FFooter; }
    void SetFooter(bool AValue);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor AValue);
    TcxGridLines GridLines() const { return FGridLines; }
    void SetGridLines(TcxGridLines AValue);
    bool GroupByBox() const { return FGroupByBox; }
    void SetGroupByBox(bool AValue);
    TcxGridGroupFootersMode GroupFooters() const { return FGroupFooters; }
    void SetGroupFooters(TcxGridGroupFootersMode AValue);
    int GroupRowHeight() const { return FGroupRowHeight; }
    void SetGroupRowHeight(int AValue);
    bool Header() const { return FHeader; }
    void SetHeader(bool AValue);
    // The header's own names for the item caption settings of the base.
    bool HeaderAutoHeight() const { return ItemCaptionAutoHeight(); }
    void SetHeaderAutoHeight(bool AValue) { SetItemCaptionAutoHeight(AValue); }
    bool HeaderEndEllipsis() const { return ItemCaptionEndEllipsis(); }
    void SetHeaderEndEllipsis(bool AValue) { SetItemCaptionEndEllipsis(AValue); }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int AValue);
    bool Indicator() const { return FIndicator; }
    void SetIndicator(bool AValue);
    int IndicatorWidth() const { return FIndicatorWidth; }
    void SetIndicatorWidth(int AValue);
    bool NewItemRow() const { return FNewItemRow; }
    void SetNewItemRow(bool AValue);
    std::string NewItemRowInfoText() const { return FNewItemRowInfoText; }
    void SetNewItemRowInfoText(const std::string& AValue);
    bool IsNewItemRowInfoTextStored() const;
    TColor NewItemRowSeparatorColor() const { return FNewItemRowSeparatorColor; }
    void SetNewItemRowSeparatorColor(TColor AValue);
    int NewItemRowSeparatorWidth() const { return FNewItemRowSeparatorWidth; }
    void SetNewItemRowSeparatorWidth(int AValue);
    TColor RowSeparatorColor() const { return FRowSeparatorColor; }
    void SetRowSeparatorColor(TColor AValue);
    int RowSeparatorWidth() const { return FRowSeparatorWidth; }
    void SetRowSeparatorWidth(int AValue);

    // The colours as drawn: clDefault takes the look and feel's.
    TColor GetGridLineColor() const;
    TColor GetNewItemRowSeparatorColor() const;
    TColor GetRowSeparatorColor() const;

protected:
    // The header follows its captions' heights without a size change: a layout change.
    void ItemCaptionAutoHeightChanged() override;

private:
    void SizeChanged();
    bool FColumnAutoWidth = false;
    int FDataRowHeight = 0;
    bool FExpandButtonsForEmptyDetails = true;
    bool FFooter = false;
    TColor FGridLineColor = clDefault;
    TcxGridLines FGridLines = glBoth;
    bool FGroupByBox = true;
    TcxGridGroupFootersMode FGroupFooters = gfInvisible;
    int FGroupRowHeight = 0;
    bool FHeader = true;
    int FHeaderHeight = 0;
    bool FIndicator = false;
    int FIndicatorWidth = 12;
    bool FNewItemRow = false;
    std::string FNewItemRowInfoText;
    TColor FNewItemRowSeparatorColor = clDefault;
    int FNewItemRowSeparatorWidth = 6;
    TColor FRowSeparatorColor = clDefault;
    int FRowSeparatorWidth = 0;
};

class TcxGridTableOptionsCustomize : public TcxCustomGridTableOptionsCustomize {
    QZ_CLASS(TcxGridTableOptionsCustomize, TcxCustomGridTableOptionsCustomize)
public:
    using TcxCustomGridTableOptionsCustomize::TcxCustomGridTableOptionsCustomize;
    void Assign(TPersistent* Source) override;
    bool ColumnFiltering() const { return FColumnFiltering; }
    void SetColumnFiltering(bool AValue);
    bool ColumnGrouping() const { return ItemGrouping; }
    void SetColumnGrouping(bool AValue) { ItemGrouping = AValue; }
    bool ColumnHiding() const { return FColumnHiding; }
    void SetColumnHiding(bool AValue) { FColumnHiding = AValue; }
    bool ColumnHidingOnGrouping() const { return FColumnHidingOnGrouping; }
    void SetColumnHidingOnGrouping(bool AValue) { FColumnHidingOnGrouping = AValue; }
    bool ColumnHorzSizing() const { return FColumnHorzSizing; }
    void SetColumnHorzSizing(bool AValue);
    bool ColumnMoving() const { return ItemMoving; }
    void SetColumnMoving(bool AValue) { ItemMoving = AValue; }
    bool ColumnSorting() const { return ItemSorting; }
    void SetColumnSorting(bool AValue) { ItemSorting = AValue; }
    bool DataRowSizing() const { return FDataRowSizing; }
    void SetDataRowSizing(bool AValue) { FDataRowSizing = AValue; }
    bool GroupRowSizing() const { return FGroupRowSizing; }
    void SetGroupRowSizing(bool AValue) { FGroupRowSizing = AValue; }

private:
    bool FColumnFiltering = true;
    bool FColumnHiding = false;
    bool FColumnHidingOnGrouping = true;
    bool FColumnHorzSizing = true;
    bool FDataRowSizing = false;
    bool FGroupRowSizing = false;
};

class TcxGridTableOptionsBehavior : public TcxCustomGridTableOptionsBehavior {
    QZ_CLASS(TcxGridTableOptionsBehavior, TcxCustomGridTableOptionsBehavior)
public:
    using TcxCustomGridTableOptionsBehavior::TcxCustomGridTableOptionsBehavior;
    void Assign(TPersistent* Source) override;
    bool ExpandMasterRowOnDblClick = true;
};

class TcxGridTableFiltering : public TcxCustomGridTableFiltering {
    QZ_CLASS(TcxGridTableFiltering, TcxCustomGridTableFiltering)
public:
    using TcxCustomGridTableFiltering::TcxCustomGridTableFiltering;
};

class TcxGridTableOptionsSelection : public TcxCustomGridTableOptionsSelection {
    QZ_CLASS(TcxGridTableOptionsSelection, TcxCustomGridTableOptionsSelection)
public:
    using TcxCustomGridTableOptionsSelection::TcxCustomGridTableOptionsSelection;
};

// A line of text from one column's value under (or above) each data row.
class TcxGridPreview : public TcxCustomGridOptions {
    QZ_CLASS(TcxGridPreview, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    void Notification(TComponent* AComponent, TOperation AOperation) override;
    TcxGridTableView* TableView() const;

    bool AutoHeight() const { return FAutoHeight; }
    void SetAutoHeight(bool AValue);
    TcxGridColumn* Column() const { return FColumn; }
    // A column of another view is not taken: the preview then has none.
    void SetColumn(TcxGridColumn* AValue);
    int LeftIndent() const { return FLeftIndent; }
    void SetLeftIndent(int AValue);
    int MaxLineCount() const { return FMaxLineCount; }
    void SetMaxLineCount(int AValue);
    TcxGridPreviewPlace Place() const { return FPlace; }
    void SetPlace(TcxGridPreviewPlace AValue);
    int RightIndent() const { return FRightIndent; }
    void SetRightIndent(int AValue);
    bool Visible() const { return FVisible; }
    void SetVisible(bool AValue);
    // Shown, and with a column to show.
    bool Active() const { return FVisible && FColumn; }

private:
    // Only a shown preview changes the picture.
    void PropertyChanged();
    bool FAutoHeight = true;
    TcxGridColumn* FColumn = nullptr;
    int FLeftIndent = 20;
    int FMaxLineCount = 3;
    TcxGridPreviewPlace FPlace = ppBottom;
    int FRightIndent = 5;
    bool FVisible = false;
};

// ---- styles and background bitmaps --------------------------------------------------------------------

using TcxGridGetGroupStyleEvent =
    std::function<void(TcxGridTableView* Sender, TcxCustomGridRecord* ARecord, int ALevel, TcxStyle*& AStyle)>;
using TcxGridGetHeaderStyleEvent =
    std::function<void(TcxGridTableView* Sender, TcxGridColumn* AColumn, TcxStyle*& AStyle)>;

class TcxGridTableViewStyles : public TcxCustomGridTableViewStyles {
    QZ_CLASS(TcxGridTableViewStyles, TcxCustomGridTableViewStyles)
public:
    static constexpr int vsFilterBox = 7, vsFooter = 8, vsGroup = 9, vsGroupByBox = 10, vsHeader = 11,
                         vsNewItemRowInfoText = 12, vsIndicator = 13, vsPreview = 14;
    explicit TcxGridTableViewStyles(TPersistent* AOwner = nullptr) : TcxCustomGridTableViewStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxGridTableView* TableView() const;

    // The content of a preview column is the preview; a group row's record
    // content is its group's.
    void GetContentParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem, TcxViewParams& AParams);
    void GetFooterParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem, TcxViewParams& AParams);
    void GetGroupParams(TcxCustomGridRecord* ARecord, int ALevel, TcxViewParams& AParams);
    void GetHeaderParams(TcxGridColumn* AColumn, TcxViewParams& AParams);
    void GetPreviewParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem, TcxViewParams& AParams);
    void GetRecordContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams);

    TcxStyle* FilterBox() const { return Style(vsFilterBox); }
    void SetFilterBox(TcxStyle* AValue) { SetStyle(vsFilterBox, AValue); }
    TcxStyle* Footer() const { return Style(vsFooter); }
    void SetFooter(TcxStyle* AValue) { SetStyle(vsFooter, AValue); }
    TcxStyle* Group() const { return Style(vsGroup); }
    void SetGroup(TcxStyle* AValue) { SetStyle(vsGroup, AValue); }
    TcxStyle* GroupByBox() const { return Style(vsGroupByBox); }
    void SetGroupByBox(TcxStyle* AValue) { SetStyle(vsGroupByBox, AValue); }
    TcxStyle* Header() const { return Style(vsHeader); }
    void SetHeader(TcxStyle* AValue) { SetStyle(vsHeader, AValue); }
    TcxStyle* Indicator() const { return Style(vsIndicator); }
    void SetIndicator(TcxStyle* AValue) { SetStyle(vsIndicator, AValue); }
    TcxStyle* NewItemRowInfoText() const { return Style(vsNewItemRowInfoText); }
    void SetNewItemRowInfoText(TcxStyle* AValue) { SetStyle(vsNewItemRowInfoText, AValue); }
    TcxStyle* Preview() const { return Style(vsPreview); }
    void SetPreview(TcxStyle* AValue) { SetStyle(vsPreview, AValue); }

    TcxGridGetCellStyleEvent OnGetFooterStyle;
    TcxGridGetGroupStyleEvent OnGetGroupStyle;
    TcxGridGetHeaderStyleEvent OnGetHeaderStyle;
    TcxGridGetCellStyleEvent OnGetPreviewStyle;
};

class TcxGridTableViewStyleSheet : public TcxCustomStyleSheet {
    QZ_CLASS(TcxGridTableViewStyleSheet, TcxCustomStyleSheet)
public:
    explicit TcxGridTableViewStyleSheet(TComponent* AOwner = nullptr) : TcxCustomStyleSheet(AOwner) {}
    TClass StylesClass() const override { return TcxGridTableViewStyles::StaticClass(); }
    TcxGridTableViewStyles* Styles() const { return DynamicCast<TcxGridTableViewStyles>(TcxCustomStyleSheet::Styles()); }
};

class TcxGridTableBackgroundBitmaps : public TcxCustomGridTableBackgroundBitmaps {
    QZ_CLASS(TcxGridTableBackgroundBitmaps, TcxCustomGridTableBackgroundBitmaps)
public:
    static constexpr int bbFilterBox = 2, bbFooter = 3, bbHeader = 4, bbGroup = 5, bbGroupByBox = 6, bbIndicator = 7,
                         bbPreview = 8;
    using TcxCustomGridTableBackgroundBitmaps::TcxCustomGridTableBackgroundBitmaps;
    void Assign(TPersistent* Source) override;
    int GetBitmapStyleIndex(int AIndex) override;
    TBitmap* FilterBox() { return Bitmaps(bbFilterBox); }
    TBitmap* Footer() { return Bitmaps(bbFooter); }
    TBitmap* Header() { return Bitmaps(bbHeader); }
    TBitmap* Group() { return Bitmaps(bbGroup); }
    TBitmap* GroupByBox() { return Bitmaps(bbGroupByBox); }
    TBitmap* Indicator() { return Bitmaps(bbIndicator); }
    TBitmap* Preview() { return Bitmaps(bbPreview); }
};

// ---- columns ---------------------------------------------------------------------------------------------

class TcxGridColumnOptions : public TcxCustomGridTableItemOptions {
    QZ_CLASS(TcxGridColumnOptions, TcxCustomGridTableItemOptions)
public:
    using TcxCustomGridTableItemOptions::TcxCustomGridTableItemOptions;
    void Assign(TPersistent* Source) override;
    bool HorzSizing() const { return FHorzSizing; }
    void SetHorzSizing(bool AValue);

private:
    bool FHorzSizing = true;
};

class TcxGridColumnStyles : public TcxCustomGridTableItemStyles {
    QZ_CLASS(TcxGridColumnStyles, TcxCustomGridTableItemStyles)
public:
    static constexpr int isFooter = 1, isHeader = 2;
    explicit TcxGridColumnStyles(TPersistent* AOwner = nullptr) : TcxCustomGridTableItemStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxGridColumn* Column() const;
    // The column's handler, then its own style, else the view's parameters.
    void GetFooterParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams);
    void GetHeaderParams(TcxViewParams& AParams);
    TcxStyle* Footer() const { return DynamicCast<TcxStyle>(GetValue(isFooter)); }
    void SetFooter(TcxStyle* AValue) { SetValue(isFooter, AValue); }
    TcxStyle* Header() const { return DynamicCast<TcxStyle>(GetValue(isHeader)); }
    void SetHeader(TcxStyle* AValue) { SetValue(isHeader, AValue); }
    TcxGridGetCellStyleEvent OnGetFooterStyle;
    TcxGridGetHeaderStyleEvent OnGetHeaderStyle;
};

using TcxGridColumnEvent = std::function<void(TcxGridTableView* Sender, TcxGridColumn* AColumn)>;
using TcxGridColumnCustomDrawHeaderEvent = std::function<void(TcxGridTableView* Sender, TcxCanvas* ACanvas,
                                                              TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone)>;
using TcxGridTableCellCustomDrawEvent = std::function<void(TcxCustomGridTableView* Sender, TcxCanvas* ACanvas,
                                                           TcxGridTableCellViewInfo* AViewInfo, bool& ADone)>;
using TcxGridIndicatorCellCustomDrawEvent = std::function<void(
    TcxGridTableView* Sender, TcxCanvas* ACanvas, TcxCustomGridIndicatorItemViewInfo* AViewInfo, bool& ADone)>;
using TcxGridPartCustomDrawBackgroundEvent = std::function<void(TcxGridTableView* Sender, TcxCanvas* ACanvas,
                                                                TcxCustomGridCellViewInfo* AViewInfo, bool& ADone)>;
using TcxGridColumnUserFilteringEvent =
    std::function<void(TcxGridColumn* Sender, const Variant& AValue, const std::string& ADisplayText)>;

class TcxGridColumn : public TcxCustomGridTableItem {
    QZ_CLASS(TcxGridColumn, TcxCustomGridTableItem)
public:
    explicit TcxGridColumn(TComponent* AOwner = nullptr);
    ~TcxGridColumn() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;

    TcxGridTableView* TableView() const;
    TcxGridColumnOptions* Options() const { return static_cast<TcxGridColumnOptions*>(TcxCustomGridTableItem::Options()); }
    TcxGridColumnStyles* Styles() const { return static_cast<TcxGridColumnStyles*>(TcxCustomGridTableItem::Styles()); }

    // ---- visibility: the preview's column is neither visible nor offered for filtering
    bool GetVisible() const override;
    bool IsVisibleStored() const;
    bool Hidden() const;
    void SetHidden(bool AValue);
    bool IsHiddenStored() const { return FHidden && !IsPreview(); }
    bool IsPreview() const;
    // The visibility flag as set, whatever the preview says.
    bool VisibleFlag() const { return TcxCustomGridTableItem::GetVisible(); }
    virtual void HiddenChanged();
    bool IsFilterable() override;
    // The header's filter button: the item may be filtered and the view lets columns filter.
    bool CanFilterFromHeader();

    // ---- width
    bool CanHorzSize() override;
    // The auto-width distribution leaves such a column as it is.
    bool IsWidthFixed();
    // User sizing and best fit: with auto width on, every shown column first
    // takes the width its header shows, so that only this one changes.
    void ImposeWidth(int AValue);
    virtual void ForceWidthHook();
    // The width that shows the column's content, header and footers whole.
    int GetBestFitWidth();
    void ApplyBestFit();

    // ---- edges, for the borders of headers and cells
    virtual bool IsBottom() { return true; }
    virtual bool IsLeft() { return VisibleIndex() == 0; }
    virtual bool IsMostBottom() { return IsBottom(); }
    virtual bool IsMostLeft() { return IsLeft(); }
    virtual bool IsMostRight() { return IsRight(); }
    virtual bool IsRight() { return GridView() && VisibleIndex() == GridView()->VisibleItemCount() - 1; }

    // ---- grouping and captions
    virtual bool HideOnGrouping();
    void CaptionChanged() override;

    // ---- footer and header glyph
    TAlignment FooterAlignmentHorz() const;
    void SetFooterAlignmentHorz(TAlignment AValue);
    bool IsFooterAlignmentHorzStored() const;
    TBitmap* HeaderGlyph() const { return FHeaderGlyph.get(); }
    void SetHeaderGlyph(TBitmap* AValue);
    TAlignment HeaderGlyphAlignmentHorz() const { return FHeaderGlyphAlignmentHorz; }
    void SetHeaderGlyphAlignmentHorz(TAlignment AValue);
    TcxAlignmentVert HeaderGlyphAlignmentVert() const { return FHeaderGlyphAlignmentVert; }
    void SetHeaderGlyphAlignmentVert(TcxAlignmentVert AValue);

    // ---- events
    virtual bool DoCustomDrawFooterCell(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone);
    virtual bool DoCustomDrawHeader(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone);
    bool HasCustomDrawFooterCell() const { return bool(OnCustomDrawFooterCell); }
    bool HasCustomDrawHeader() const { return bool(OnCustomDrawHeader); }
    virtual void DoHeaderClick();
    virtual void DoUserFiltering(const Variant& AValue, const std::string& ADisplayText);
    TcxGridColumnCustomDrawHeaderEvent OnCustomDrawFooterCell;
    TcxGridColumnCustomDrawHeaderEvent OnCustomDrawHeader;
    TNotifyEvent OnHeaderClick;
    TcxGridColumnUserFilteringEvent OnUserFiltering;

    // ---- stored layout: the item's names, then "GroupIndex" and "Width"
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;

    TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> GetOptionsClass() override;
    TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> GetStylesClass() override;

private:
    TAlignment FFooterAlignmentHorz = taLeftJustify;
    bool FFooterAlignmentHorzAssigned = false;
    std::unique_ptr<TBitmap> FHeaderGlyph;
    TAlignment FHeaderGlyphAlignmentHorz = taLeftJustify;
    TcxAlignmentVert FHeaderGlyphAlignmentVert = vaCenter;
    bool FHidden = false;
};

// ---- summaries ------------------------------------------------------------------------------------------

// A footer or group summary of a column. Lives in the data controller's
// summary collections; the column is its data-controller item.
class TcxGridTableSummaryItem : public TcxDataSummaryItem, public IcxStoredObject {
    QZ_CLASS(TcxGridTableSummaryItem, TcxDataSummaryItem)
public:
    explicit TcxGridTableSummaryItem(TCollection* ACollection = nullptr) : TcxDataSummaryItem(ACollection) {}
    TcxGridColumn* Column() const { return DynamicCast<TcxGridColumn>(ItemLink()); }
    void SetColumn(TcxGridColumn* AValue) { SetItemLink(AValue); }
    // The view whose data controller holds the item.
    TcxGridTableView* TableView() const;
    std::string GetStoredObjectName() override { return std::string(); }
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
};

// Names a grouping column a group summary is linked to.
class TcxGridTableSummaryGroupItemLink : public TcxDataSummaryGroupItemLink, public IcxStoredObject {
    QZ_CLASS(TcxGridTableSummaryGroupItemLink, TcxDataSummaryGroupItemLink)
public:
    explicit TcxGridTableSummaryGroupItemLink(TCollection* ACollection = nullptr)
        : TcxDataSummaryGroupItemLink(ACollection)
    {
    }
    TcxGridColumn* Column() const { return DynamicCast<TcxGridColumn>(ItemLink()); }
    void SetColumn(TcxGridColumn* AValue) { SetItemLink(AValue); }
    TcxGridTableView* TableView() const;
    std::string GetStoredObjectName() override { return std::string(); }
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
};

// ---- rows --------------------------------------------------------------------------------------------------

class TcxCustomGridRow : public TcxCustomGridRecord {
    QZ_CLASS(TcxCustomGridRow, TcxCustomGridRecord)
public:
    using TcxCustomGridRecord::TcxCustomGridRecord;
    TcxGridViewData* GridViewData() const;
    TcxGridTableView* TableView() const;
    // A double click on the row expands or collapses it.
    virtual bool ExpandOnDblClick() { return GetExpandable(); }
    void Expand(bool) override {}
    void Collapse(bool) override {}
};

class TcxGridDataRow : public TcxCustomGridRow {
    QZ_CLASS(TcxGridDataRow, TcxCustomGridRow)
public:
    using TcxCustomGridRow::TcxCustomGridRow;
    bool HasCells() override { return true; }
    TcxCustomGridRecordViewInfoClass GetViewInfoClass() override;

    // ---- details, one per relation (child level) of the view's level
    int DetailGridViewCount();
    TcxCustomGridView* DetailGridViews(int AIndex);
    // A hidden active level gives way to the view's first visible child level.
    int ActiveDetailIndex();
    void SetActiveDetailIndex(int AValue);
    TcxGridLevel* ActiveDetailLevel();
    TcxCustomGridView* ActiveDetailGridView();
    bool ActiveDetailGridViewExists();
    // The record focus moves into when going down into (up into) the row.
    virtual TcxCustomGridRecord* GetFirstFocusableChild() { return nullptr; }
    virtual TcxCustomGridRecord* GetLastFocusableChild(bool ARecursive) { return nullptr; }
};

class TcxGridNewItemRow : public TcxGridDataRow {
    QZ_CLASS(TcxGridNewItemRow, TcxGridDataRow)
public:
    using TcxGridDataRow::TcxGridDataRow;
};

class TcxGridMasterDataRow : public TcxGridDataRow {
    QZ_CLASS(TcxGridMasterDataRow, TcxGridDataRow)
public:
    using TcxGridDataRow::TcxGridDataRow;
    bool GetExpandable() override;
    bool GetExpanded() override;
    bool HasChildRecords() override { return HasDetailRows(); }
    virtual bool HasDetailRows();
    bool ExpandOnDblClick() override;
    // Expanding renews every row object: the row of the same record is found again.
    void Expand(bool ARecursive) override;
    void Collapse(bool ARecursive) override;
    TcxCustomGridRecordViewInfoClass GetViewInfoClass() override;
    TcxCustomGridRecord* GetFirstFocusableChild() override;
    TcxCustomGridRecord* GetLastFocusableChild(bool ARecursive) override;
};

class TcxGridGroupRow : public TcxCustomGridRow {
    QZ_CLASS(TcxGridGroupRow, TcxCustomGridRow)
public:
    using TcxCustomGridRow::TcxCustomGridRow;
    bool GetExpandable() override { return true; }
    bool GetExpanded() override { return RowInfo().Expanded; }
    bool IsData() override { return false; }
    bool HasChildRecords() override { return true; }
    bool KeepsCharacterAfterKey() override { return true; }
    void Expand(bool ARecursive) override;
    void Collapse(bool ARecursive) override;
    void KeyDown(WORD& AKey, TShiftState AShift) override;
    TcxCustomGridRecordViewInfoClass GetViewInfoClass() override;
    // The grouped column at the row's level.
    TcxGridColumn* GroupedColumn();
    // "Caption : value", then the group summary after a space when there is one.
    std::string DisplayText();
};

class TcxGridViewData : public TcxCustomGridTableViewData {
    QZ_CLASS(TcxGridViewData, TcxCustomGridTableViewData)
public:
    using TcxCustomGridTableViewData::TcxCustomGridTableViewData;
    TcxGridTableView* TableView() const;
    TcxCustomGridRecordClass GetRecordClass(const TcxDataControllerRowInfo& ARowInfo) override;
    TcxCustomGridRecordClass GetNewItemRecordClass() override;
    bool HasNewItemRecord() override;
    TcxCustomGridRow* Rows(int AIndex) { return static_cast<TcxCustomGridRow*>(GetRecord(AIndex)); }
    int RowCount() const { return RecordCount(); }
};

// ---- the view ------------------------------------------------------------------------------------------------

class TcxGridTableView : public TcxCustomGridTableView {
    QZ_CLASS(TcxGridTableView, TcxCustomGridTableView)
public:
    explicit TcxGridTableView(TComponent* AOwner = nullptr) : TcxCustomGridTableView(AOwner) {}
    ~TcxGridTableView() override;
    void BeforeDestruction() override;
    void CreateOptions() override;
    void DestroyOptions() override;

    // ---- class getters
    TcxGridViewHandlerClass<TcxCustomGridController> GetControllerClass() override;
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TcxGridViewHandlerClass<TcxCustomGridPainter> GetPainterClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> GetViewInfoCacheClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfo> GetViewInfoClass() override;
    TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> GetBackgroundBitmapsClass() override;
    TcxGridOptionsClass<TcxCustomGridTableFiltering> GetFilteringClass() override;
    TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior> GetOptionsBehaviorClass() override;
    TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> GetOptionsCustomizeClass() override;
    TcxGridOptionsClass<TcxCustomGridOptionsSelection> GetOptionsSelectionClass() override;
    TcxGridOptionsClass<TcxCustomGridOptionsView> GetOptionsViewClass() override;
    TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> GetStylesClass() override;
    virtual TcxGridOptionsClass<TcxGridPreview> GetPreviewClass();
    TClass GetItemClass() override { return TcxGridColumn::StaticClass(); }
    TClass GetSummaryItemClass() override { return TcxGridTableSummaryItem::StaticClass(); }

    // ---- columns
    int ColumnCount() const { return ItemCount(); }
    TcxGridColumn* Columns(int AIndex) const { return static_cast<TcxGridColumn*>(GetItem(AIndex)); }
    int VisibleColumnCount() const { return VisibleItemCount(); }
    TcxGridColumn* VisibleColumns(int AIndex) const { return static_cast<TcxGridColumn*>(GetVisibleItem(AIndex)); }
    int GroupedColumnCount() const { return GroupedItemCount(); }
    TcxGridColumn* GroupedColumns(int AIndex) const { return static_cast<TcxGridColumn*>(GetGroupedItem(AIndex)); }
    TcxGridColumn* CreateColumn() { return static_cast<TcxGridColumn*>(CreateItem()); }

    // ---- parts
    TcxGridTableOptionsView* OptionsView() const;
    TcxGridTableOptionsCustomize* OptionsCustomize() const;
    TcxGridTableOptionsBehavior* OptionsBehavior() const;
    TcxGridTableFiltering* Filtering() const;
    TcxGridTableOptionsSelection* OptionsSelection() const;
    TcxGridTableViewStyles* Styles() const;
    TcxGridTableBackgroundBitmaps* BackgroundBitmaps() const;
    TcxGridPreview* Preview() const { return FPreview; }
    TcxGridViewData* ViewData() const { return static_cast<TcxGridViewData*>(TcxCustomGridTableView::ViewData()); }
    // The width a column's header shows now (auto width may differ from Width).
    virtual int GetShownColumnWidth(TcxGridColumn* AColumn);
    // The layout of the view.
    TcxGridTableViewInfo* ViewInfo() const;

    // ---- queries
    bool IsControlFocused() override;
    bool HasSizeDependentLayout() override;
    bool IsEqualHeightRecords() override;
    bool CanOffset(int ARecordCountDelta) override;
    // Scrolling sideways may shift the painted image.
    virtual bool CanOffsetHorz();
    // Every record is as high as the others (page sizes, data-set scrolling).
    virtual bool HasFixedRecordHeights();
    bool IsPreviewColumn(TcxCustomGridTableItem* AItem) const;
    // Rows get master rows: the view's level has a visible child level.
    bool HasVisibleDetails() const;
    // A detail shows while its master row on screen shows it.
    bool IsDetailVisible(TcxCustomGridView* ADetail) override;
    // The column filter drop-down is showing (set by the drop-down).
    bool FilterPopupVisible = false;
    // The column the user is sizing (set by the controller while it sizes):
    // its width and those left of it stay as they are under auto width.
    TcxGridColumn* SizingColumn = nullptr;
    // The column whose header the mouse pressed (set by the header cell, cleared by the controller).
    TcxGridColumn* PressedColumn = nullptr;

    // ---- what items and options do to the view
    void ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible) override;
    void RemoveItem(TcxCustomGridTableItem* AItem) override;
    void LookAndFeelChanged() override;
    virtual void RefreshCustomizationForm();
    std::function<void()> OnRefreshCustomizationForm;
    void AssignLayout(TcxCustomGridView* ASource) override;

    // ---- events fired for the controller, the painters and the layout
    virtual void DoColumnHeaderClick(TcxGridColumn* AColumn);
    virtual void DoColumnPosChanged(TcxGridColumn* AColumn);
    virtual void DoColumnSizeChanged(TcxGridColumn* AColumn);
    virtual bool DoCustomDrawColumnHeader(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone);
    virtual bool DoCustomDrawFooterCell(TcxCanvas* ACanvas, TcxGridColumnHeaderViewInfo* AViewInfo, bool& ADone);
    virtual bool DoCustomDrawGroupCell(TcxCanvas* ACanvas, TcxGridTableCellViewInfo* AViewInfo, bool& ADone);
    virtual bool DoCustomDrawIndicatorCell(TcxCanvas* ACanvas, TcxCustomGridIndicatorItemViewInfo* AViewInfo,
                                           bool& ADone);
    virtual bool DoCustomDrawPartBackground(TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo, bool& ADone);
    virtual void DoCustomization();
    virtual void DoLeftPosChanged();
    bool HasCustomDrawColumnHeader() const { return bool(OnCustomDrawColumnHeader); }
    bool HasCustomDrawFooterCell() const { return bool(OnCustomDrawFooterCell); }
    bool HasCustomDrawGroupCell() const { return bool(OnCustomDrawGroupCell); }
    bool HasCustomDrawIndicatorCell() const { return bool(OnCustomDrawIndicatorCell); }
    bool HasCustomDrawPartBackground() const { return bool(OnCustomDrawPartBackground); }

    TcxGridColumnEvent OnColumnHeaderClick;
    TcxGridColumnEvent OnColumnPosChanged;
    TcxGridColumnEvent OnColumnSizeChanged;
    TcxGridColumnCustomDrawHeaderEvent OnCustomDrawColumnHeader;
    TcxGridColumnCustomDrawHeaderEvent OnCustomDrawFooterCell;
    TcxGridTableCellCustomDrawEvent OnCustomDrawGroupCell;
    TcxGridIndicatorCellCustomDrawEvent OnCustomDrawIndicatorCell;
    TcxGridPartCustomDrawBackgroundEvent OnCustomDrawPartBackground;
    TNotifyEvent OnCustomization;
    TNotifyEvent OnLeftPosChanged;

    // ---- stored layout: "Footer", "GroupByBox", "GroupFooters", "NewItemRow", then the inherited names
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;

private:
    TcxGridPreview* FPreview = nullptr;
};

namespace cxGridTableView {
// Unit start-up: "Table" among the grid's views, the column and style sheet
// classes for streaming. Idempotent.
void Initialize();
void Finalize();
// The table controller and painter have units of their own, which hand
// their classes in at start-up; until then the view uses the record view's.
void SetControllerClass(const TcxGridViewHandlerClass<TcxCustomGridController>& AClass);
void SetPainterClass(const TcxGridViewHandlerClass<TcxCustomGridPainter>& AClass);
// A summary item stores its column by the column's stored object name and
// finds it again among the items of the view that owns its data controller.
Variant GetSummaryColumnStoredValue(TcxCustomGridTableItem* AColumn);
TcxCustomGridTableItem* FindSummaryColumn(TcxCustomDataController* AController, const Variant& AValue);
}  // namespace cxGridTableView
