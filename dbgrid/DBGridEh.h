// DBGridEh: the data-aware grid. It shows the records of one data set,
// reached through a data source, as rows, and a collection of columns as
// columns: an indicator column at the left, one title row (or a multi-level
// title built from captions split at "|"), the data rows that fit the
// client area (the data link's buffer) and optional footer rows with sums.
//
// Column, title and footer properties are kept as assigned or default: a
// property whose flag is not in the owner's assigned set follows a default
// taken from the grid, its column defaults or the bound field. Columns the
// grid builds from the fields write alignment, read-only state, width and
// caption through to the field.
//
// Every structural change goes through the layout lock: the layout is
// rebuilt once, when the outermost UnlockLayout releases the last lock.
#pragma once

#include "DB.h"
#include "DBCtrlsEh.h"
#include "DBSumLst.h"
#include "Grids.h"
#include "MemTableEh.h"
#include "ShortCuts.h"
#include "ToolCtrlsEh.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomDBGridEh;
class TColumnEh;
class TDBGridColumnsEh;
class TPopupMenu;
class TCustomImageList;
class TGridDataLinkEh;
class THeadTreeNode;
class TSTDBGridEhFilter;
class TSTColumnFilterEh;
class TSpecRowEh;
class TPopupDataGridEh;
class TColumnDefValuesEh;

// ---- option sets ---------------------------------------------------------------

enum TDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
    dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption, 16>;

enum TDBGridEhOption {
    dghFixed3D, dghFrozen3D, dghFooter3D, dghData3D, dghResizeWholeRightPart, dghHighlightFocus,
    dghClearSelection, dghFitRowHeightToText, dghAutoSortMarking, dghMultiSortMarking, dghEnterAsTab,
    dghTraceColSizing, dghIncSearch, dghPreferIncSearch, dghRowHighlight, dghDblClickOptimizeColWidth,
    dghDialogFind
};
using TDBGridEhOptions = TSet<TDBGridEhOption, 32>;

enum TDBGridEhAllowedOperation { alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh };
using TDBGridEhAllowedOperations = TSet<TDBGridEhAllowedOperation, 8>;

enum TDBGridEhSelectionType { gstNon, gstRecordBookmarks, gstRectangle, gstColumns, gstAll };
// One byte, the bits at the kinds' ordinal positions.
using TDBGridEhAllowedSelections = TSet<TDBGridEhSelectionType, 8>;

enum TDBGridEhEditAction { geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh };
using TDBGridEhEditActions = TSet<TDBGridEhEditAction, 8>;

enum TSortMarkerEh { smNoneEh, smDownEh, smUpEh };
enum TTextOrientationEh { tohHorizontal, tohVertical };
enum TFooterValueType { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };
enum TColumnsStateEh { cssCustomized, cssDefault };

// The properties of a column (its title's included) that fall back to a
// default while unassigned.
enum TColumnEhValue {
    cvColor, cvWidth, cvFont, cvAlignment, cvReadOnly, cvTitleColor, cvTitleCaption,
    cvTitleAlignment, cvTitleFont, cvTitleButton, cvTitleEndEllipsis, cvTitleToolTips,
    cvTitleOrientation, cvImeMode, cvImeName, cvWordWrap, cvLookupDisplayFields, cvCheckboxes,
    cvAlwaysShowEditButton, cvEndEllipsis, cvAutoDropDown, cvDblClickNextVal, cvToolTips,
    cvDropDownSizing, cvDropDownShowTitles, cvLayout, cvHighlightRequired
};
using TColumnEhValues = TSet<TColumnEhValue, 32>;

// What a cell shows (first match wins): a check box, a lookup, a pick list,
// an image from the key list, a key list, plain text.
enum TCellKindEh { ckPlain, ckPickList, ckLookup, ckKeyList, ckKeyImageList, ckCheckboxes };

// The button a column's cells edit with: chosen from the field (auto), an
// ellipsis, none, an up-down pair or a drop-down.
// (Scoped: another library of the tree has a cbsNone of its own.)
enum class TColumnButtonStyleEh { cbsAuto, cbsEllipsis, cbsNone, cbsUpDown, cbsDropDown };
QZ_ENUM_TYPEINFO(TColumnButtonStyleEh, "cbsAuto", "cbsEllipsis", "cbsNone", "cbsUpDown", "cbsDropDown")

using TCheckDrawRequiredStateEventEh = std::function<void(TObject* sender, const std::string& text, bool& drawState)>;

// ---- events ------------------------------------------------------------------------

using TDBGridEhClickEvent = std::function<void(TColumnEh* column)>;
using TTitleEhClickEvent = std::function<void(TObject* sender, int aCol, TColumnEh* column)>;
using TCheckTitleEhBtnEvent = std::function<void(TObject* sender, int aCol, TColumnEh* column, bool& enabled)>;
using TDrawColumnEhCellEvent = std::function<void(TObject* sender, const TRect& rect, int dataCol,
                                                  TColumnEh* column, TGridDrawState state)>;
using TDrawDataCellEvent = std::function<void(TObject* sender, const TRect& rect, TField* field,
                                              TGridDrawState state)>;
using TDrawFooterCellEvent = std::function<void(TObject* sender, int dataCol, int row, TColumnEh* column,
                                                const TRect& rect, TGridDrawState state)>;
using TGetCellEhParamsEvent = std::function<void(TObject* sender, TColumnEh* column, TFont* font,
                                                 TColor& background, TGridDrawState state)>;
using TGetFooterParamsEvent = std::function<void(TObject* sender, int dataCol, int row, TColumnEh* column,
                                                 TFont* font, TColor& background, TAlignment& alignment,
                                                 TGridDrawState state, std::string& text)>;
using TGetBtnEhParamsEvent = std::function<void(TObject* sender, TColumnEh* column, TFont* font,
                                                TColor& background, TSortMarkerEh& sortMarker, bool isDown)>;

// ---- the title tree ------------------------------------------------------------------

// A node of the multi-level title: siblings form a ring (the last sibling's
// NextSibling is the first); the root owns the whole tree.
class THeadTreeNode : public TObject {
    QZ_CLASS(THeadTreeNode, TObject)
public:
    THeadTreeNode();
    THeadTreeNode(const std::string& text, int width, int height);
    ~THeadTreeNode() override;
    THeadTreeNode(const THeadTreeNode&) = delete;
    THeadTreeNode& operator=(const THeadTreeNode&) = delete;

    THeadTreeNode* FirstChild = nullptr;
    THeadTreeNode* NextSibling = nullptr;
    THeadTreeNode* ParentNode = nullptr;
    std::string NodeText;
    int NodeWidth = 0;
    int NodeHeight = 0;
    int SeparatorWidth = 0;
    int MarkerIndent = 0;
    TColumnEh* LeafColumn = nullptr;

    // Raise "Node not in Tree" when the given node is not in this tree.
    THeadTreeNode* InsertAfter(THeadTreeNode* after, const std::string& text, int width, int height);
    THeadTreeNode* AppendChild(THeadTreeNode* parent, const std::string& text, int width, int height);
    void ClearChildren();
    bool ContainsNode(const THeadTreeNode* node) const;
    int NodeDepth() const;
    // Puts the siblings from aFrom to aTo under a new group node; raises
    // "ATo not in level" when aTo does not follow aFrom in its ring.
    void GroupSiblings(THeadTreeNode* aFrom, THeadTreeNode* aTo, int height, const std::string& text);
    // Rebuilds the tree from the grid's columns and their captions.
    void BuildFromColumns(TCustomDBGridEh* grid);
    void ForEachNode(const std::function<void(TCustomDBGridEh*, THeadTreeNode*)>& proc, TCustomDBGridEh* grid);
    // The children in ring order.
    std::vector<THeadTreeNode*> Children() const;

private:
    THeadTreeNode* LastChild() const;
    THeadTreeNode* PrevSibling() const;
};

// ---- titles and footers ------------------------------------------------------------------

class TColumnTitleEh : public TPersistent {
    QZ_CLASS(TColumnTitleEh, TPersistent)
public:
    explicit TColumnTitleEh(TColumnEh* column = nullptr);
    ~TColumnTitleEh() override;
    TColumnEh* Column() const { return FColumn; }

    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    std::string Caption() const;
    virtual void SetCaption(const std::string& v);
    TColor Color() const;
    void SetColor(TColor v);
    bool EndEllipsis() const;
    void SetEndEllipsis(bool v);
    TFont* Font() const;
    void SetFont(TFont* v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TTextOrientationEh Orientation() const;
    void SetOrientation(TTextOrientationEh v);
    int SortIndex() const { return FSortIndex; }
    void SetSortIndex(int v);
    TSortMarkerEh SortMarker() const { return FSortMarker; }
    void SetSortMarker(TSortMarkerEh v);
    bool TitleButton() const;
    void SetTitleButton(bool v);
    bool ToolTips() const;
    void SetToolTips(bool v);

    // The next marker of a title click: none, down, up, then none (keepOthers)
    // or down again; without keepOthers the other columns lose theirs.
    void CycleSortMarker(bool keepOthers);
    // The width the painter keeps for the marker (and the sort index).
    int SortMarkerWidth() const;
    virtual void ResetToDefaults();
    void Assign(TPersistent* source) override;

private:
    bool Assigned(TColumnEhValue v) const;
    void Mark(TColumnEhValue v);
    void Notify();
    TColumnEh* FColumn;
    std::string FCaption;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clBtnFace;
    bool FEndEllipsis = false, FTitleButton = false, FToolTips = false;
    TTextOrientationEh FOrientation = tohHorizontal;
    mutable std::unique_ptr<TFont> FFont;
    bool FFontAssigning = false;
    std::string FHint;
    int FImageIndex = -1;
    int FSortIndex = 0;
    TSortMarkerEh FSortMarker = smNoneEh;
};

class TColumnTitleDefValuesEh : public TPersistent {
    QZ_CLASS(TColumnTitleDefValuesEh, TPersistent)
public:
    explicit TColumnTitleDefValuesEh(TCustomDBGridEh* grid = nullptr) : FGrid(grid) {}
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    bool EndEllipsis() const { return FEndEllipsis; }
    void SetEndEllipsis(bool v);
    TTextOrientationEh Orientation() const { return FOrientation; }
    void SetOrientation(TTextOrientationEh v);
    bool TitleButton() const { return FTitleButton; }
    void SetTitleButton(bool v) { FTitleButton = v; }
    bool ToolTips() const { return FToolTips; }
    void SetToolTips(bool v) { FToolTips = v; }
    // Alignment and Color are kept only once set; until then they follow the grid.
    bool AlignmentAssigned() const { return FAlignmentAssigned; }
    bool ColorAssigned() const { return FColorAssigned; }
    TAlignment DefaultAlignment() const;
    TColor DefaultColor() const;
    void Assign(TPersistent* source) override;
private:
    TCustomDBGridEh* FGrid;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clBtnFace;
    bool FAlignmentAssigned = false, FColorAssigned = false;
    bool FEndEllipsis = false, FTitleButton = false, FToolTips = false;
    TTextOrientationEh FOrientation = tohHorizontal;
};

enum TColumnFooterValue { cfvAlignment, cfvColor, cfvFont, cfvToolTips };
using TColumnFooterValues = TSet<TColumnFooterValue, 8>;

class TDBSum;

// A footer cell of a column: a sum, average, count, the field's value or a
// fixed text; sums are kept by the grid's SumList.
class TColumnFooterEh : public TCollectionItem {
    QZ_CLASS(TColumnFooterEh, TCollectionItem)
public:
    explicit TColumnFooterEh(TCollection* collection = nullptr);
    TColumnFooterEh(TColumnEh* column);   // a column's own Footer
    ~TColumnFooterEh() override;
    TColumnEh* Column() const;

    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(TFont* v);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    const std::string& Value() const { return FValue; }
    void SetValue(const std::string& v);
    TFooterValueType ValueType() const { return FValueType; }
    void SetValueType(TFooterValueType v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    // Unassigned, the grid's footer defaults say.
    bool ToolTips() const;
    void SetToolTips(bool v);
    // The sum item of SumList this footer reads (null when none).
    TDBSum* DBSum() const { return FDBSum.Get(); }
    // Brings the sum item in line with the value type.
    void EnsureSumValue();
    TColumnFooterValues AssignedValues() const { return FAssigned; }
    void Assign(TPersistent* source) override;

private:
    void Changed();
    TColumnEh* FColumn = nullptr;
    TColumnFooterValues FAssigned;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clWindow;
    mutable std::unique_ptr<TFont> FFont;
    std::string FDisplayFormat, FFieldName, FValue;
    TFooterValueType FValueType = fvtNon;
    bool FWordWrap = false, FToolTips = false;
    TWeakRef<TDBSum> FDBSum;   // the sum list owns it
};

class TColumnFootersEh : public TCollection {
    QZ_CLASS(TColumnFootersEh, TCollection)
public:
    explicit TColumnFootersEh(TColumnEh* column = nullptr);
    ~TColumnFootersEh() override;
    TColumnEh* Column() const { return FColumn; }
    TColumnFooterEh* Add() { return static_cast<TColumnFooterEh*>(TCollection::Add()); }
    TColumnFooterEh* Items(int i) const { return static_cast<TColumnFooterEh*>(TCollection::Items(i)); }
    TPersistent* GetOwner() const override;
protected:
    void Update(TCollectionItem* item) override;
private:
    TColumnEh* FColumn;
};

class TColumnFooterDefValuesEh : public TPersistent {
    QZ_CLASS(TColumnFooterDefValuesEh, TPersistent)
public:
    bool ToolTips() const { return FToolTips; }
    void SetToolTips(bool v) { FToolTips = v; }
    void Assign(TPersistent* source) override;
private:
    bool FToolTips = false;
};

// ---- the column's drop-down box ------------------------------------------------------------

// The options of a lookup list grid.
enum TDBLookupGridEhOption { dlgColumnResizeEh, dlgColLinesEh, dlgRowLinesEh, dlgAutoSortMarkingEh, dlgMultiSortMarkingEh };
QZ_ENUM_TYPEINFO(TDBLookupGridEhOption, "dlgColumnResizeEh", "dlgColLinesEh", "dlgRowLinesEh", "dlgAutoSortMarkingEh",
                 "dlgMultiSortMarkingEh")
using TDBLookupGridEhOptions = TSet<TDBLookupGridEhOption, 8>;

// What a column offers its drop-down box: the lookup list grid it drops
// down, made on first use.
class IColumnLookupGridEh {
public:
    virtual ~IColumnLookupGridEh() = default;
    // Asks the column's grid to be told when the component is freed.
    virtual void LookupGridFreeNotify(TComponent* component) = 0;
    virtual TPopupDataGridEh* LookupGrid() = 0;
    virtual TDBLookupGridEhOptions LookupGridOptions() = 0;
    virtual void SetLookupGridOptions(TDBLookupGridEhOptions v) = 0;
};

// The settings of a lookup column's drop-down list. Columns, their
// defaults and the options hold nothing here: they are those of the
// column's lookup list grid, and an owner that is no column answers none.
class TColumnDropDownBoxEh : public TPersistent {
    QZ_CLASS(TColumnDropDownBoxEh, TPersistent)
public:
    explicit TColumnDropDownBoxEh(TPersistent* owner = nullptr);
    ~TColumnDropDownBoxEh() override;
    bool AutoFitColWidths() const { return FAutoFitColWidths; }
    void SetAutoFitColWidths(bool v) { FAutoFitColWidths = v; }
    TDBGridColumnsEh* Columns() const;
    void SetColumns(TDBGridColumnsEh* v);
    TColumnDefValuesEh* ColumnDefValues() const;
    void SetColumnDefValues(TColumnDefValuesEh* v);
    // The data set to choose from in place of the lookup field's own.
    TDataSource* ListSource() const { return FListSource.Get(); }
    void SetListSource(TDataSource* v);
    TDBLookupGridEhOptions Options() const;
    void SetOptions(TDBLookupGridEhOptions v);
    TSpecRowEh* SpecRow() const { return FSpecRow.get(); }
    bool UseMultiTitle() const { return FUseMultiTitle; }
    void SetUseMultiTitle(bool v) { FUseMultiTitle = v; }
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override { return FOwner; }
private:
    IColumnLookupGridEh* LookupOwner() const;
    TPersistent* FOwner;
    std::unique_ptr<TSpecRowEh> FSpecRow;
    bool FAutoFitColWidths = true;
    TWeakRef<TDataSource> FListSource;
    bool FUseMultiTitle = false;
};

// ---- columns -------------------------------------------------------------------------------

// The parameters of one data cell as it is drawn, exported, shown as a tip or
// edited, for the record the data set stands on; the grid's and the column's
// OnGetCellParams handlers may change them.
class TColCellParamsEh : public TObject {
    QZ_CLASS(TColCellParamsEh, TObject)
public:
    TAlignment Alignment = taLeftJustify;
    TColor Background = clWindow;
    TCheckBoxState CheckboxState = cbUnchecked;
    int Col = -1;
    TFont* Font = nullptr;   // not owned
    int ImageIndex = -1;
    bool ReadOnly = false;
    int Row = -1;
    TGridDrawState State;
    std::string Text;
};
// editMode: the parameters are the in-place editor's.
using TGetColCellParamsEventEh = std::function<void(TObject* sender, bool editMode, TColCellParamsEh* params)>;

class TColumnEh : public TCollectionItem, public IColumnLookupGridEh {
    QZ_CLASS(TColumnEh, TCollectionItem)
public:
    explicit TColumnEh(TCollection* collection = nullptr);
    ~TColumnEh() override;

    TCustomDBGridEh* Grid() const;
    TColumnEhValues AssignedValues() const { return FAssignedValues; }
    bool StoredColumn() const { return FStoredColumn; }
    void SetStoredColumn(bool v) { FStoredColumn = v; }
    virtual bool IsDefaultColumn() const { return !FStoredColumn; }

    TField* Field() const;
    virtual void BindField(TField* f);
    void SetField(TField* f) { BindField(f); }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);

    TAlignment Alignment() const;
    virtual void SetAlignment(TAlignment v);
    bool AutoFitColWidth() const { return FAutoFitColWidth; }
    virtual void SetAutoFitColWidth(bool v);
    bool Checkboxes() const;
    void SetCheckboxes(bool v);
    TColor Color() const;
    void SetColor(TColor v);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& v);
    bool EndEllipsis() const;
    void SetEndEllipsis(bool v);
    TFont* Font() const;
    void SetFont(TFont* v);
    TStrings* KeyList() const;
    void SetKeyList(TStrings* v);
    TStrings* PickList() const;
    void SetPickList(TStrings* v);
    bool HasKeyList() const { return FKeyList && FKeyList->Count() > 0; }
    bool HasPickList() const { return FPickList && FPickList->Count() > 0; }
    int NotInKeyListIndex() const { return FNotInKeyListIndex; }
    void SetNotInKeyListIndex(int v);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int v);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int v);
    bool ReadOnly() const;
    virtual void SetReadOnly(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int Width() const;
    virtual void SetWidth(int v);
    bool WordWrap() const;
    virtual void SetWordWrap(bool v);
    // Whether a cell too narrow for its text shows it whole as a tip.
    bool ToolTips() const;
    void SetToolTips(bool v);
    double Increment() const { return FIncrement; }
    void SetIncrement(double v) { FIncrement = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    int BaseWidth() const { return FBaseWidth; }
    void SetBaseWidth(int v) { FBaseWidth = v; }
    // The menu a right click on the column's cells shows instead of the grid's.
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* v);

    // ---- editing in place
    TColumnButtonStyleEh ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TColumnButtonStyleEh v);
    // Extra buttons the cell's editor shows left of its own.
    TEditButtonsEh* EditButtons() const { return FEditButtons.get(); }
    void SetEditButtons(TEditButtonsEh* v) { FEditButtons->Assign(v); }
    bool AlwaysShowEditButton() const;
    void SetAlwaysShowEditButton(bool v);
    // Typing a character opens the drop-down.
    bool AutoDropDown() const;
    void SetAutoDropDown(bool v);
    // A double click in the editor steps the value.
    bool DblClickNextVal() const;
    void SetDblClickNextVal(bool v);
    bool DropDownShowTitles() const;
    void SetDropDownShowTitles(bool v);
    // The drop-down shows a size grip; its new size is kept for the next time.
    bool DropDownSizing() const;
    void SetDropDownSizing(bool v);
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int v) { FDropDownRows = std::max(0, v); }
    // 0: the editor's width; -1: as wide as the list needs.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v);
    // An empty required field of an inserted record is underlined in red.
    bool HighlightRequired() const;
    void SetHighlightRequired(bool v);
    // Where the cell's text stands in a row taller than the text.
    TTextLayout Layout() const;
    void SetLayout(TTextLayout v);
    // Assigned and different from the grid's default.
    bool LayoutStored() const;
    // The texts entered lately, offered while typing.
    TMRUListEh* MRUList() const { return FMRUList.get(); }
    void SetMRUList(TMRUListEh* v) { FMRUList->Assign(v); }
    // Images of the key list's entries (or of an integer field's values).
    TCustomImageList* ImageList() const;
    void SetImageList(TCustomImageList* v);
    // The image and the text both show (not the image alone).
    bool ShowImageAndText() const { return FShowImageAndText; }
    void SetShowImageAndText(bool v);
    // The data set a lookup column chooses from (none for other columns):
    // the drop-down box's list source, else the lookup field's own list.
    TDataSet* LookupListDataSet() const;
    // The fields a lookup column's drop-down shows (';'-separated); unset,
    // the lookup field's result field.
    std::string LookupDisplayFields() const;
    void SetLookupDisplayFields(const std::string& v);
    // The row above the drop-down's records standing for a value the list lacks.
    TSpecRowEh* DropDownSpecRow() const { return FDropDownSpecRow.get(); }
    void SetDropDownSpecRow(TSpecRowEh* v);
    TColumnDropDownBoxEh* DropDownBox() const { return FDropDownBox.get(); }
    void SetDropDownBox(TColumnDropDownBoxEh* v) { FDropDownBox->Assign(v); }
    // The lookup list grid the column drops down, made on first use.
    TPopupDataGridEh* LookupPopupGrid();
    // The drop-down's events, kept by the lookup list grid itself.
    const TCheckTitleEhBtnEvent& OnDropDownBoxCheckButton();
    void SetOnDropDownBoxCheckButton(TCheckTitleEhBtnEvent v);
    const TDrawColumnEhCellEvent& OnDropDownBoxDrawColumnCell();
    void SetOnDropDownBoxDrawColumnCell(TDrawColumnEhCellEvent v);
    const TGetCellEhParamsEvent& OnDropDownBoxGetCellParams();
    void SetOnDropDownBoxGetCellParams(TGetCellEhParamsEvent v);
    const TNotifyEvent& OnDropDownBoxSortMarkingChanged();
    void SetOnDropDownBoxSortMarkingChanged(TNotifyEvent v);
    const TTitleEhClickEvent& OnDropDownBoxTitleBtnClick();
    void SetOnDropDownBoxTitleBtnClick(TTitleEhClickEvent v);

    // IColumnLookupGridEh
    void LookupGridFreeNotify(TComponent* component) override;
    TPopupDataGridEh* LookupGrid() override { return LookupPopupGrid(); }
    TDBLookupGridEhOptions LookupGridOptions() override;
    void SetLookupGridOptions(TDBLookupGridEhOptions v) override;

    TNotInListEventEh OnNotInList;
    TButtonClickEventEh OnEditButtonClick;
    TButtonDownEventEh OnEditButtonDown;
    TCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;

    TColumnTitleEh* Title() const { return FTitle.get(); }
    void SetTitle(TColumnTitleEh* v) { FTitle->Assign(v); }
    TColumnFooterEh* Footer() const { return FFooter.get(); }
    void SetFooter(TColumnFooterEh* v) { FFooter->Assign(v); }
    TColumnFootersEh* Footers() const { return FFooters.get(); }
    // The column's cell of the filter row.
    TSTColumnFilterEh* STFilter() const { return FSTFilter.get(); }
    void SetFooters(TColumnFootersEh* v) { FFooters->Assign(v); }
    // Footer row `row` (from 0): an item of Footers when there is one, else Footer.
    TColumnFooterEh* FooterForRow(int row) const;
    void SyncFooterSums();

    // The width the column accepts for a proposed one (max first, then min).
    int ClampedWidth(int tryWidth) const;
    // The width an unassigned Width reads as.
    int DefaultWidth() const;
    virtual void ResetToDefaults();
    void Assign(TPersistent* source) override;
    // Moves the column; a default column moves its field along in the data set.
    void SetColumnIndex(int v);
    void DefineProperties(TFiler* filer) override;

    // ---- cell values of the active record
    TCellKindEh CellKind() const;
    // The text the cell shows for the data set's active record.
    std::string CellDisplayText() const;
    // The text of the field by the column's display format ("" when the
    // format does not apply to the field).
    std::string FormatFieldText() const;
    // The check state of the active record (cbUnchecked, cbChecked, cbGrayed).
    TCheckBoxState CellCheckState() const;
    // The image of the active record: its value's place in the key list (or
    // the pick list), else a number's own value; NotInKeyListIndex when none.
    int CellImageIndex() const;
    // The cell's parameters for the active record (row and column -1).
    void FillCellParams(TColCellParamsEh* params) const;
    // Fires the column's OnGetCellParams.
    virtual void DoGetCellParams(bool editMode, TColCellParamsEh* params);
    TGetColCellParamsEventEh OnGetCellParams;
    // Writes the check state (the key list's first two entries for a key-list
    // column, True/False otherwise).
    void SetCellCheckState(TCheckBoxState v);
    // Whether the active record's value of the column can be changed.
    bool CanModify(bool tryEdit) const;
    // Writes a value into the active record: through OnUpdateData first,
    // which may change what is written or take it over; with useText the
    // field parses text, else it takes value (a lookup column's value goes
    // to the key fields).
    void WriteCellValue(std::string text, Variant value, bool useText);
    // The next value of the cell (increment 1), or the previous one (any
    // other increment) for lists and check boxes; numbers get increment
    // added, an empty one counting as -increment.
    void StepCellValue(double increment);
    std::function<void(TColumnEh* sender, std::string& text, Variant& value, bool& useText, bool& handled)>
        OnUpdateData;


protected:
    std::string GetDisplayName() const override;
    virtual TColumnTitleEh* NewTitle() { return new TColumnTitleEh(this); }
    virtual TColumnFooterEh* NewFooter() { return new TColumnFooterEh(this); }
    virtual TColumnFootersEh* NewFooters() { return new TColumnFootersEh(this); }
    // The drop-down's special row changed.
    virtual void SpecRowChanged();

private:
    friend class TColumnTitleEh;
    friend class TColumnFooterEh;
    friend class TColumnFootersEh;
    friend class TCustomDBGridEh;
    friend class TDBGridColumnsEh;
    void Mark(TColumnEhValue v) { FAssignedValues.Include(v); }
    void Notify(bool allItems = false) { Changed(allItems); }
    bool LinkActive() const;
    TColumnEhValues FAssignedValues;
    bool FStoredColumn = true;
    mutable TField* FField = nullptr;
    std::string FFieldName;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoFitColWidth = true;
    bool FCheckboxes = false;
    TColor FColor = clWindow;
    std::string FDisplayFormat;
    bool FEndEllipsis = false;
    mutable std::unique_ptr<TFont> FFont;
    bool FFontAssigning = false;
    mutable std::unique_ptr<TStringList> FKeyList, FPickList;
    int FNotInKeyListIndex = -1;
    int FMaxWidth = 0, FMinWidth = 0;
    bool FReadOnly = false;
    bool FVisible = true;
    int FWidth = 0;
    bool FWordWrap = false;
    bool FToolTips = false;
    double FIncrement = 1;
    int FTag = 0;
    int FBaseWidth = 0;
    TWeakRef<TPopupMenu> FPopupMenu;
    bool FWidthSettled = false;
    TColumnButtonStyleEh FButtonStyle = TColumnButtonStyleEh::cbsAuto;
    std::unique_ptr<TEditButtonsEh> FEditButtons;
    bool FAlwaysShowEditButton = false, FAutoDropDown = false, FDblClickNextVal = false;
    bool FDropDownShowTitles = false, FDropDownSizing = false, FHighlightRequired = false;
    TTextLayout FLayout = tlTop;
    int FDropDownRows = 7, FDropDownWidth = 0;
    std::unique_ptr<TMRUListEh> FMRUList;
    TWeakRef<TCustomImageList> FImageList;
    bool FShowImageAndText = false;
    std::unique_ptr<TColumnTitleEh> FTitle;
    std::unique_ptr<TColumnFooterEh> FFooter;
    std::unique_ptr<TColumnFootersEh> FFooters;
    std::unique_ptr<TSTColumnFilterEh> FSTFilter;
    std::string FLookupDisplayFields;
    std::unique_ptr<TSpecRowEh> FDropDownSpecRow;
    std::unique_ptr<TColumnDropDownBoxEh> FDropDownBox;
    std::unique_ptr<TPopupDataGridEh> FLookupPopupGrid;
};

// The column class the grid's collection makes.
class TDBGridColumnEh : public TColumnEh {
    QZ_CLASS(TDBGridColumnEh, TColumnEh)
public:
    explicit TDBGridColumnEh(TCollection* collection = nullptr) : TColumnEh(collection) {}
};

class TDBGridColumnsEh : public TCollection {
    QZ_CLASS(TDBGridColumnsEh, TCollection)
public:
    explicit TDBGridColumnsEh(TCustomDBGridEh* grid = nullptr, TClass itemClass = nullptr);
    ~TDBGridColumnsEh() override;
    TCustomDBGridEh* Grid() const { return FGrid; }
    TColumnEh* Add();
    TColumnEh* AddDefaultColumn();
    TColumnEh* Items(int i) const { return static_cast<TColumnEh*>(TCollection::Items(i)); }
    TColumnEh* operator[](int i) const { return Items(i); }
    // Customized when the first column is a stored one.
    TColumnsStateEh ColumnsState() const;
    TPersistent* GetOwner() const override;
protected:
    void Update(TCollectionItem* item) override;
private:
    TCustomDBGridEh* FGrid;
};

// A list of columns that does not own them.
using TColumnsEhList = std::vector<TColumnEh*>;

// What a grid's columns read while their own value is unassigned. The
// flags that change a cell's look repaint the grid when they change.
class TColumnDefValuesEh : public TPersistent {
    QZ_CLASS(TColumnDefValuesEh, TPersistent)
public:
    explicit TColumnDefValuesEh(TCustomDBGridEh* grid = nullptr);
    ~TColumnDefValuesEh() override;
    TCustomDBGridEh* Grid() const { return FGrid; }
    bool AlwaysShowEditButton() const { return FAlwaysShowEditButton; }
    void SetAlwaysShowEditButton(bool v);
    bool EndEllipsis() const { return FEndEllipsis; }
    void SetEndEllipsis(bool v);
    bool ToolTips() const { return FToolTips; }
    void SetToolTips(bool v) { FToolTips = v; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool v) { FAutoDropDown = v; }
    bool DblClickNextVal() const { return FDblClickNextVal; }
    void SetDblClickNextVal(bool v) { FDblClickNextVal = v; }
    bool DropDownShowTitles() const { return FDropDownShowTitles; }
    void SetDropDownShowTitles(bool v) { FDropDownShowTitles = v; }
    bool DropDownSizing() const { return FDropDownSizing; }
    void SetDropDownSizing(bool v) { FDropDownSizing = v; }
    bool HighlightRequired() const { return FHighlightRequired; }
    void SetHighlightRequired(bool v);
    // Where a cell's text stands in a row taller than the text.
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    TColumnTitleDefValuesEh* Title() const { return FTitle.get(); }
    void SetTitle(TColumnTitleDefValuesEh* v) { FTitle->Assign(v); }
    TColumnFooterDefValuesEh* Footer() const { return FFooter.get(); }
    void SetFooter(TColumnFooterDefValuesEh* v) { FFooter->Assign(v); }
    // Copies the title defaults and the flags, but neither Layout,
    // HighlightRequired nor the footer defaults.
    void Assign(TPersistent* source) override;
private:
    void Repaint();
    TCustomDBGridEh* FGrid;
    bool FAlwaysShowEditButton = false, FEndEllipsis = false, FToolTips = false;
    bool FAutoDropDown = false, FDblClickNextVal = false, FDropDownShowTitles = false, FDropDownSizing = false;
    bool FHighlightRequired = false;
    TTextLayout FLayout = tlTop;
    std::unique_ptr<TColumnTitleDefValuesEh> FTitle;
    std::unique_ptr<TColumnFooterDefValuesEh> FFooter;
};

// The column defaults of the data-aware grid, with every value stored.
class TDBGridEhColumnDefValuesEh : public TColumnDefValuesEh {
    QZ_CLASS(TDBGridEhColumnDefValuesEh, TColumnDefValuesEh)
public:
    explicit TDBGridEhColumnDefValuesEh(TCustomDBGridEh* grid = nullptr) : TColumnDefValuesEh(grid) {}
};

// ---- the data link ------------------------------------------------------------------------------

class TGridDataLinkEh : public TDataLink {
    QZ_CLASS(TGridDataLinkEh, TDataLink)
public:
    explicit TGridDataLinkEh(TCustomDBGridEh* grid = nullptr);
    ~TGridDataLinkEh() override;
    TCustomDBGridEh* OwnerGrid() const { return FGrid; }

    // Appends an entry for the field of that name; raises "Grid requested to
    // display more than 256 columns" past the map's limit.
    bool MapField(const std::string& fieldName);
    void ClearFieldMap();
    TField* MappedField(int i) const;
    int MappedCount() const { return FMappedCount; }
    int MapCapacity() const { return int(FColumnFieldIndexes.size()); }
    bool ByColumnNames() const { return FByColumnNames; }
    void SetByColumnNames(bool v) { FByColumnNames = v; }
    bool FieldsAreDefault() const;
    bool EditPending() const { return FEditPending; }
    void MarkModified() { FEditPending = true; }
    void ResetEdit();

    static constexpr int MaxMapSize = 268435455;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void FocusControl(TField*& field) override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    TCustomDBGridEh* FGrid;
    std::vector<int> FColumnFieldIndexes;
    int FMappedCount = 0;
    bool FByColumnNames = false;
    bool FEditPending = false;
    bool FPosting = false;
};

// ---- selection ---------------------------------------------------------------------------------

class TDBGridEhSelection;

// The selected rows: bookmarks kept in data-set order.
class TBookmarkListEh : public TObject {
    QZ_CLASS(TBookmarkListEh, TObject)
public:
    explicit TBookmarkListEh(TCustomDBGridEh* grid = nullptr) : FGrid(grid) {}
    ~TBookmarkListEh() override;
    int Count() const { return int(FList.size()); }
    const TBookmarkStr& Items(int i) const { return FList.at(size_t(i)); }
    // Raise "Cannot perform this operation on a closed dataset" without an
    // active data link.
    bool CurrentRowSelected() const;
    // Marking a row makes the selection one of rows (another kind is
    // cleared first); unmarking the last one leaves no selection.
    void SetCurrentRowSelected(bool v);
    // Where the bookmark stands (true) or would go (false); the last answer
    // is kept until the list changes.
    bool Find(const TBookmarkStr& b, int& index) const;
    int IndexOf(const TBookmarkStr& b) const;
    void Clear();
    // Drops bookmarks of records that are gone; true when any went.
    bool Refresh();
    // Deletes the selected records, last first; a refused delete stops
    // there and leaves the records not yet deleted selected.
    void DeleteSelectedRecords();
    // The grid rows of the shown selected records, over all columns
    // ((-1, -1, -1, -1) when none is shown).
    TGridRect RowsToGridRect() const;
private:
    friend class TDBGridEhSelection;
    TDataSet* CheckedDataSet() const;
    TDBGridEhSelection* Owner() const;
    void Changed() { FCacheValid = false; }
    TCustomDBGridEh* FGrid;
    std::vector<TBookmarkStr> FList;
    mutable bool FCacheValid = false, FCacheFound = false;
    mutable TBookmarkStr FCacheKey;
    mutable int FCacheIndex = -1;
};

// A cell of a rectangle selection: a column index and a record's bookmark
// (column -1 and no bookmark when unset).
struct TDBCell {
    int Col = -1;
    TBookmarkStr Row;
    bool operator==(const TDBCell&) const = default;
};

// The selected columns, in column order, with the anchor of a shift
// selection and the columns shift selections since then changed (so that
// going back towards the anchor undoes exactly those).
class TDBGridEhSelectionCols : public TObject {
    QZ_CLASS(TDBGridEhSelectionCols, TObject)
public:
    explicit TDBGridEhSelectionCols(TCustomDBGridEh* grid = nullptr, TDBGridEhSelection* owner = nullptr)
        : FGrid(grid), FOwner(owner) {}
    int Count() const { return int(FList.size()); }
    TColumnEh* Items(int i) const { return FList.at(size_t(i)); }
    const TColumnsEhList& List() const { return FList; }
    bool Contains(const TColumnEh* c) const;
    TColumnEh* AnchorColumn() const { return FAnchorColumn; }
    TColumnEh* ShiftColumn() const { return FShiftColumn; }
    const TColumnsEhList& ShiftChangedColumns() const { return FShiftChanged; }
    void AddInOrder(TColumnEh* c);
    void Clear();
    // Ctrl+click: adds or removes the column.
    void ToggleColumn(TColumnEh* c);
    // A plain click: the column alone, or added with keep.
    void SelectColumn(TColumnEh* c, bool keep);
    // Shift+click: extends from the anchor to the column, undoing what
    // earlier shift selections added or removed on the way back.
    void ExtendToColumn(TColumnEh* c);
    // Drops columns no longer in the grid and sorts the rest by index.
    void PruneAndSort();
    // A column being destroyed leaves the lists.
    void Forget(const TColumnEh* c);
    TGridRect ToGridRect() const;
private:
    void Remove(TColumnEh* c);
    void RepaintColumn(TColumnEh* c);
    void KindFromCount();
    TCustomDBGridEh* FGrid;
    TDBGridEhSelection* FOwner;
    TColumnsEhList FList, FShiftChanged;
    TColumnEh* FAnchorColumn = nullptr;
    TColumnEh* FShiftColumn = nullptr;
};

// A rectangle of cells between an anchor corner and a shifted corner.
class TDBGridEhSelectionRect : public TObject {
    QZ_CLASS(TDBGridEhSelectionRect, TObject)
public:
    explicit TDBGridEhSelectionRect(TCustomDBGridEh* grid = nullptr, TDBGridEhSelection* owner = nullptr)
        : FGrid(grid), FOwner(owner) {}
    const TDBCell& AnchorCell() const { return FAnchor; }
    const TDBCell& ShiftedCell() const { return FShifted; }
    bool CanQuery() const;
    void ResetCells();
    // Sets the shifted corner (and the anchor too unless extending); one
    // cell alone is no selection.
    void SelectCell(int columnIndex, const TBookmarkStr& row, bool extend);
    // The corners in order; raise EInvalidGridOperation without an open data set.
    TBookmarkStr TopRow() const;
    TBookmarkStr BottomRow() const;
    int LeftColumnIndex() const;
    int RightColumnIndex() const;
    bool CellSelected(int columnIndex, const TBookmarkStr& row) const;
    TGridRect ToGridRect() const;
    // The window box of the cells between two corners (their shown part).
    TRect CellsBox(const TDBCell& a, const TDBCell& b) const;
    // The parts of r1 and r2 that only one of them covers, as up to four
    // rectangles (empty ones unused): what a change of selection repaints.
    static std::array<TRect, 4> XorBoxes(const TRect& r1, const TRect& r2);
private:
    void CheckQuery(const char* message) const;
    TCustomDBGridEh* FGrid;
    TDBGridEhSelection* FOwner;
    TDBCell FAnchor, FShifted;
};

// The grid's one selection: rows, a rectangle, columns or everything.
class TDBGridEhSelection : public TObject {
    QZ_CLASS(TDBGridEhSelection, TObject)
public:
    explicit TDBGridEhSelection(TCustomDBGridEh* grid = nullptr);
    ~TDBGridEhSelection() override;
    TDBGridEhSelectionType SelectionKind() const { return FKind; }
    TDBGridEhSelectionType SelectionType() const { return FKind; }
    // Stores the kind; a change refreshes the grid's editor.
    void SetSelectionKind(TDBGridEhSelectionType k);
    TBookmarkListEh* Rows() const { return FRows.get(); }
    TDBGridEhSelectionCols* SelectedColumns() const { return FColumns.get(); }
    TDBGridEhSelectionRect* SelectedRect() const { return FRect.get(); }
    bool IsDataCellSelected(int columnIndex, const TBookmarkStr& row) const;
    // Clears the part of the current kind; no selection remains.
    void ClearAll();
    void Clear() { ClearAll(); }
    void SelectWholeGrid();
    // Rows or columns with nothing left become no selection.
    void DropEmptyKind();
    void SetLinkActive(bool active);
    // The grid cells to repaint for the selection.
    TGridRect ToGridRect() const;
private:
    friend class TBookmarkListEh;
    TCustomDBGridEh* FGrid;
    TDBGridEhSelectionType FKind = gstNon;
    std::unique_ptr<TBookmarkListEh> FRows;
    std::unique_ptr<TDBGridEhSelectionCols> FColumns;
    std::unique_ptr<TDBGridEhSelectionRect> FRect;
};

// ---- scroll bar settings ------------------------------------------------------------------------

enum TScrollBarVisibleModeEh { sbAlwaysShowEh, sbNeverShowEh, sbAutoShowEh };
QZ_ENUM_TYPEINFO(TScrollBarVisibleModeEh, "sbAlwaysShowEh", "sbNeverShowEh", "sbAutoShowEh")

class TScrollBar;

// A direction's scroll bar: shown always, never or when there is something
// to scroll, and whether dragging its thumb moves the records at once. An
// external scroll bar control may stand in for the window's own: the grid
// feeds it and hears its moves as its own scroll messages.
class TDBGridEhScrollBar : public TPersistent {
    QZ_CLASS(TDBGridEhScrollBar, TPersistent)
public:
    explicit TDBGridEhScrollBar(TCustomDBGridEh* grid = nullptr, bool vertical = false)
        : FGrid(grid), FVertical(vertical) {}
    ~TDBGridEhScrollBar() override;
    bool Vertical() const { return FVertical; }
    TScrollBarKind Kind() const { return FVertical ? sbVertical : sbHorizontal; }
    bool Tracking() const { return FTracking; }
    void SetTracking(bool v) { FTracking = v; }
    bool Visible() const { return FVisibleMode != sbNeverShowEh; }
    void SetVisible(bool v);
    TScrollBarVisibleModeEh VisibleMode() const { return FVisibleMode; }
    void SetVisibleMode(TScrollBarVisibleModeEh v);
    void Assign(TPersistent* source) override;
    // The bar's range, page and positions as the window (or the external bar) holds them.
    bool ReadScrollInfo(TScrollInfo& info) const;
    // Whether the bar shows: the external one's visibility, else the window's own bar.
    bool ScrollBarShown() const;
    // Not owned. A bar whose window procedure another object has already
    // replaced is refused: "Possible <Name> already attached to the other control."
    TScrollBar* ExtScrollBar() const { return FExtScrollBar; }
    void SetExtScrollBar(TScrollBar* v);
    void RefreshExtScrollBarVisible();
    // The external bar is being freed: it is forgotten, not touched.
    void ExtScrollBarFreed() { FExtScrollBar = nullptr; }
private:
    void ExtScrollBarWindowProc(TMessage& message);
    TCustomDBGridEh* FGrid;
    bool FVertical;
    bool FTracking = false;
    TScrollBarVisibleModeEh FVisibleMode = sbAutoShowEh;
    TScrollBar* FExtScrollBar = nullptr;
};

class TVertDBGridEhScrollBar : public TDBGridEhScrollBar {
    QZ_CLASS(TVertDBGridEhScrollBar, TDBGridEhScrollBar)
public:
    explicit TVertDBGridEhScrollBar(TCustomDBGridEh* grid = nullptr) : TDBGridEhScrollBar(grid, true) {}
};

// ---- the data service ----------------------------------------------------------------------------

// Sorts and filters a grid's data set when the user changed the sort
// markers or the filter row: through the handlers when set, else through
// the features known for the data set's class (none in this program, so
// without handlers nothing is sorted or filtered).
class TDBGridEhDataService : public TPersistent {
    QZ_CLASS(TDBGridEhDataService, TPersistent)
public:
    TDBGridEhDataService() = default;
    std::function<void(TCustomDBGridEh*)> FilterHandler, SortHandler;
    virtual void RunFilter(TCustomDBGridEh* grid);
    virtual void RunSort(TCustomDBGridEh* grid);
    virtual void FilterByFeatures(TCustomDBGridEh* grid);
    virtual void SortByFeatures(TCustomDBGridEh* grid);
};

// ---- the grid ---------------------------------------------------------------------------------

// A paint style several grids share: the colours of highlighted cells (lighter,
// mixed selections on true-colour screens), whether grids draw focus
// rectangles, and whether a pick in the filter row's list filters at once.
// It follows the screen's colour depth through system colour changes.
class TDBGridEhStyle : public TPersistent {
    QZ_CLASS(TDBGridEhStyle, TPersistent)
public:
    TDBGridEhStyle();
    ~TDBGridEhStyle() override;
    // The colours of a data cell the grid decided to highlight.
    virtual void GetDataCellColors(TCustomDBGridEh* grid, int dataCol, int dataRow, TFont* font,
                                   TColor& background, TGridDrawState state, bool currentCell);
    // The colours of a selected fixed cell; true (it always recolours).
    virtual bool GetFixedCellColors(TCustomDBGridEh* grid, int col, int row, TFont* font, TColor& background,
                                    TGridDrawState state, bool dataColumnHeading);
    virtual void WindowProc(TMessage& message);
    // Reads how many colours the screen shows (-1: true colour).
    virtual void ScreenColorsChanged();
    // Half way to the highlight, then 60% of the way to a light grey; with
    // contrast pushed a quarter away from the middle.
    static TColor MixColor(TColor color, TColor highlight, bool contrast);

    void AddGrid(TCustomDBGridEh* grid);
    bool HasGrid(TCustomDBGridEh* grid) const;
    void RemoveGrid(TCustomDBGridEh* grid);
    int GridCount() const { return int(FGrids.size()); }
    bool LuminateSelection() const { return FLuminateSelection; }
    void SetLuminateSelection(bool v);
    bool FocusRectVisible() const { return FFocusRectVisible; }
    void SetFocusRectVisible(bool v);
    bool ApplyFilterOnPick() const { return FApplyFilterOnPick; }
    void SetApplyFilterOnPick(bool v) { FApplyFilterOnPick = v; }
    int ScreenColorCount() const { return FScreenColorCount; }
    bool TrueColorScreen() const { return FScreenColorCount == -1; }

protected:
    int FScreenColorCount = -1;

private:
    void InvalidateGrids();
    std::vector<TCustomDBGridEh*> FGrids;
    HWND FNotifyWindow = nullptr;
    bool FLuminateSelection = true;
    bool FFocusRectVisible = true;
    bool FApplyFilterOnPick = false;
};

class TCustomDBGridEh : public TCustomGrid {
    QZ_CLASS(TCustomDBGridEh, TCustomGrid)
    friend class TGridDataLinkEh;
    friend class TColumnEh;
    friend class TColumnTitleEh;
    friend class TDBGridColumnsEh;
public:
    explicit TCustomDBGridEh(TComponent* owner = nullptr);
    ~TCustomDBGridEh() override;

    // ---- stored properties
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* v);
    TDBGridColumnsEh* Columns() const { return FColumns.get(); }
    void SetColumns(TDBGridColumnsEh* v) { FColumns->Assign(v); }
    // Made on first use by MakeColumnDefValues, so a descendant's own kind is the one made.
    TColumnDefValuesEh* ColumnDefValues() const;
    void SetColumnDefValues(TColumnDefValuesEh* v) { ColumnDefValues()->Assign(v); }
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions v);
    TDBGridEhOptions OptionsEh() const { return FOptionsEh; }
    void SetOptionsEh(TDBGridEhOptions v);
    TDBGridEhAllowedOperations AllowedOperations() const { return FAllowedOperations; }
    void SetAllowedOperations(TDBGridEhAllowedOperations v) { FAllowedOperations = v; }
    TDBGridEhAllowedSelections AllowedSelections() const { return FAllowedSelections; }
    // Selected rows go when row selection is no longer allowed.
    void SetAllowedSelections(TDBGridEhAllowedSelections v);
    TDBGridEhEditActions EditActions() const { return FEditActions; }
    void SetEditActions(TDBGridEhEditActions v) { FEditActions = v; }
    bool AutoFitColWidths() const { return FAutoFitColWidths; }
    void SetAutoFitColWidths(bool v);
    bool DrawMemoText() const { return FDrawMemoText; }
    void SetDrawMemoText(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TColor FooterColor() const { return FFooterColor; }
    void SetFooterColor(TColor v);
    TFont* FooterFont() const { return FFooterFont.get(); }
    void SetFooterFont(TFont* v);
    int FooterRowCount() const { return FFooterRowCount; }
    void SetFooterRowCount(int v);
    int FrozenCols() const { return FFrozenCols; }
    void SetFrozenCols(int v);
    int MinAutoFitWidth() const { return FMinAutoFitWidth; }
    void SetMinAutoFitWidth(int v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int v);
    int RowLines() const { return FRowLines; }
    void SetRowLines(int v);
    bool RowSizingAllowed() const { return FRowSizingAllowed; }
    void SetRowSizingAllowed(bool v);
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(TFont* v);
    int TitleHeight() const { return FTitleHeight; }
    void SetTitleHeight(int v);
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int v);
    bool UseMultiTitle() const { return FUseMultiTitle; }
    void SetUseMultiTitle(bool v);
    int VTitleMargin() const { return FVTitleMargin; }
    void SetVTitleMargin(int v);
    // The images a title shows in place of its caption (Title.ImageIndex).
    TCustomImageList* TitleImages() const;
    void SetTitleImages(TCustomImageList* v);
    TDBGridEhSumList* SumList() const { return FSumList.get(); }
    // Scales the grid from d to m pixels per inch: its fonts, its bounds and
    // its columns' fonts and widths (rounded so that their sum is scaled as a whole).
    void ChangeScale(int m, int d);
    TDBGridEhSelection* Selection() const { return FSelection.get(); }

    // ---- the column map
    int IndicatorColCount() const { return FIndicatorColCount; }
    int RawToDataColumn(int c) const { return c - FIndicatorColCount; }
    int DataToRawColumn(int d) const { return d + FIndicatorColCount; }
    int SelectedIndex() const { return RawToDataColumn(Col()); }
    void SetSelectedIndex(int d);
    TField* CurrentField() const;
    TColumnEh* CurrentColumn() const;
    void SelectFieldColumn(TField* f);
    const TColumnsEhList& VisibleColumns() const { return FShownColumns; }
    const TColumnsEhList& SortColumnList() const { return FSortColumnList; }
    TGridDataLinkEh* DataLink() const { return FDataLink.get(); }
    THeadTreeNode* TitleRoot() const { return FHeadTree.get(); }
    // The leaf node of each column (with UseMultiTitle).
    THeadTreeNode* LeafNode(int columnIndex) const;

    // ---- row structure
    virtual int TitleRowCount() const { return FOptions.Contains(dgTitles) ? 1 : 0; }
    virtual int FilterRowCount() const;
    // The filter row under the titles and its editing.
    TSTDBGridEhFilter* STFilter() const { return FSTFilter.get(); }
    int FirstDataRow() const { return FFirstDataRow; }
    TGridRect DataCellRange() const;
    // Kind of cell: column kind in the low byte (0 indicator, 1 data), row
    // kind in the high byte (0 title, 1 filter, 2 data, 3 footer spacer, 4
    // footer); col and row become indexes inside their areas.
    int GetCellType(int& col, int& row) const;

    // ---- layout lock
    void LockPaint() { ++FPaintLockCount; }
    void UnlockPaint() { if (FPaintLockCount > 0) --FPaintLockCount; }
    void LockLayout();
    bool TryLockLayout();
    void UnlockLayout();
    void UnlockLayoutQuietly();
    virtual void RequestLayout();
    // Rebuilds later, from a message posted once however often it is asked;
    // releases one layout lock and one paint lock without rebuilding.
    void DeferLayout();
    int LayoutLockCount() const { return FLayoutLockCount; }
    int PaintLockCount() const { return FPaintLockCount; }
    // How often the layout was rebuilt (for tests and the diagnostics).
    int LayoutRebuildCount() const { return FRebuildCount; }
    virtual void RecalcRowCount();
    virtual void ApplyColumnWidthsAndTabStops();
    // Widens each column to its title, every record's text and its footers.
    void FitColumnWidths(const TColumnsEhList& columns);
    // Heights of the title tree's levels below the node; returns the subtree's height.
    int MeasureTitleNodeHeights(THeadTreeNode* node);

    // ---- data reactions
    virtual void LinkActiveChanged(bool active);
    virtual void RefreshFromData();
    virtual void DataScrolled(int distance);
    virtual void RecordValuesChanged(TField* field);
    virtual void EditingStateChanged();
    virtual void BuildFieldMap();
    virtual void SyncCurrentRow();
    // The grid row of the data set's active record.
    int CurrentDataRow() const;

    // ---- keyboard and mouse
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Moves the current record by distance (to the end with toEnd), keeping
    // the row selection from its anchor when select is set.
    void MoveBySelecting(bool select, int distance, bool rowMode, bool toEnd);
    void NextRow(bool select);
    void PriorRow(bool select);
    void MoveToNextTabStop(bool forward);
    // Makes a grid column current, skipping zero-width columns in direction.
    void MoveCol(int rawCol, int direction, bool extendRect);
    // Asks "Delete record?" or "Delete all selected records?" (with dgConfirmDelete).
    bool ConfirmRecordDelete();
    void ClearSelection();
    int VisibleDataRowCount() const;
    // Whether multi-selection of that kind may be made.
    bool SelectionAllowed(TDBGridEhSelectionType kind) const;
    // Whether the active record is among the selected rows.
    bool RowSelected() const;
    // What the selection and clipboard keys may do now.
    bool CanCopy() const;
    bool CanPaste() const;
    bool CanCut() const;
    bool CanSelectAll() const;
    bool CanDeleteSelection() const;
    // Keeps where the current record stands in the view, and goes back there.
    void SaveViewPosition();
    void RestoreViewPosition();
    // Copies into the current cell the value of the record shown above it.
    void CopyPriorValue();

    // ---- incremental search
    // Extends the search text by text and looks for a record whose text in
    // the current column starts with it (upper-cased): mode 0 from the first
    // record (the current one when it matches), 1 the next match, 2 the
    // previous one. A text that matches nothing is dropped. The search ends
    // timeout ms after the last call (never when negative).
    void IncrementalSearch(const std::string& text, int timeout, int mode);
    void StopIncrementalSearch();
    bool IncSearching() const { return FIncSearching; }
    const std::string& IncSearchText() const { return FIncSearchText; }

    // ---- the vertical scroll bar: a data-set position
    // Sequenced data sets: 1 .. record count, page the visible rows, the
    // record number as position; others: 0, 2 or 4 of 4 (first, inside, last).
    virtual void RefreshVertScrollBar();
    // An external horizontal bar: 0 to 127 (0 when every column shows), the
    // first shown column's place in between.
    virtual void RefreshHorzExtScrollBar();
    // The smallest left column from which the columns up to col fit the window.
    int LastLeftCol(int col) const;
    TDBGridEhScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TDBGridEhScrollBar* v) { FHorzScrollBar->Assign(v); }
    TDBGridEhScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TDBGridEhScrollBar* v) { FVertScrollBar->Assign(v); }
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
    void Dispatch(TMessage& message) override;
    void TopLeftChanged() override;
    // The smallest top row from which the rows down to row fit the window.
    int LastTopRow(int row) const;
    // Along one axis: the smallest first scrolling cell from which the cells up to index
    // fit the window (index itself when it is fixed).
    static int FirstOfLastPage(const TGridAxisDrawInfo& axis, int index, int fixedCount);

    // ---- reading the record of another data row
    // Makes the fields read the record of a data row (from 0) until EndRowRead.
    void BeginRowRead(int dataRow);
    void EndRowRead();
    bool RowIsCurrent(int dataRow) const;
    // The data rows holding records, and the current record's data row (-1: none).
    int DataRowCount() const;
    int CurrentDataRowIndex() const;

    // ---- the memtable view
    // A data set offering IMemTableEh shows, while there are no footer rows,
    // every record of its view as a grid row; the grid scrolls itself, the
    // set fetches only what the window needs, and a tree set's nodes draw
    // in 18-pixel boxes before the first column's text and expand there.
    bool HasMemTable() const { return FMemTable != nullptr; }
    IMemTableEh* MemTable() const { return FMemTable; }
    bool RowsFromMemTable() const { return HasMemTable() && FFooterRowCount == 0; }
    bool MemTableIsTree() const;
    void ProbeMemTable();
    void RecalcMemTableRows();
    void SyncMemTableCurrentRow();
    void FetchVisibleRecords();
    void RefreshMemTableScrollBar();
    void MoveTopRowSafely(int top);
    void MemTableVScroll(TMessage& message);
    void ClampTopRow();
    // The width of the tree part before the first column's text in the row read.
    int TreeIndent() const;
    virtual void DrawTreeCell(const TRect& rect, TColumnEh* column, TGridDrawState state, bool selected);
    // The node's boxes of the row read, on any canvas (the cell editor draws them too).
    void DrawTreeBoxes(TCanvas* canvas, const TRect& rect, TColor background, bool selected);
    // Whether the point lies in the tree part of a row; unless onlyTest, a
    // press on the node's own box shows or hides its children.
    virtual bool HandleTreeClick(int x, int y, bool onlyTest);
    // What the tree keys do to the current node: 0 toggles, 1 expands, -1 collapses.
    void ExpandCurrentNode(int how);

    // ---- footers
    // The text a footer cell shows ("" where nothing can be computed).
    virtual std::string FooterValueText(TColumnEh* column, int footerRow);

    // ---- events through overridable operations
    virtual void CellClick(TColumnEh* column);
    virtual bool CheckTitleButton(int aCol, TColumnEh* column);
    virtual void TitleBtnClick(int aCol, TColumnEh* column);
    virtual void TitleClick(TColumnEh* column);
    // With dghAutoSortMarking: OnSortMarkingChanged, or else the data service sorts.
    virtual void DoSortMarkingChanged();
    virtual void SortByDataService();
    // After the grid drew a data cell: OnDrawDataCell and OnDrawColumnCell.
    virtual void DrawColumnCell(const TRect& rect, int dataCol, TColumnEh* column, TGridDrawState state);
    // Draws the cell's content the grid's own way (text, check box).
    void DefaultDrawColumnCell(const TRect& rect, int dataCol, TColumnEh* column, TGridDrawState state);
    virtual void GetCellParams(TColumnEh* column, TFont* font, TColor& background, TGridDrawState state);

    // ---- paint style and highlight colours
    TDBGridEhStyle* Style() const { return FStyle; }
    // Joins a style (nil: the default one).
    void AttachStyle(TDBGridEhStyle* style);
    void UseDefaultStyle();
    // Whether a data cell shows highlighted, and its colours (a style's, when attached).
    virtual bool GetDataCellColors(int dataCol, int dataRow, TFont* font, TColor& background, TGridDrawState& state);
    // The colours of a selected fixed, filter-row, spacer or footer cell; true when recoloured.
    virtual bool GetFixedCellColors(int col, int row, TFont* font, TColor& background, bool selected,
                                    TGridDrawState state, bool dataColumnHeading);
    // The window with the input focus is the grid or its in-place editor.
    virtual bool HasInputFocus() const;
    // The grid is its form's active control (the focused window's chain without a form).
    bool IsFormActiveControl() const;
    // A whole-row focus rectangle: a focused row-selecting grid that draws itself.
    virtual bool ShowsRowFocusRect();
    // Whether a cell gets a raised 3-D frame (dghFixed3D, dghFooter3D, dghData3D, dghFrozen3D).
    virtual bool CellUses3DFrame(int col, int row, TGridDrawState state, const TRect& rect);

    // ---- hooks of the base
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool CanEditAcceptKey(char key) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    std::string GetEditMask(int col, int row) override;
    // Puts the data set into edit state for the current column when it may
    // be changed; true when the link is editing.
    bool PrepareEdit();
    // Writes the editor's text into the current column's field: a pick
    // list's text, a key list's key, a lookup's key values (EditorValue).
    virtual void PostEditText();
    const std::string& EditorText() const { return FEditorText; }
    void SetEditorText(const std::string& v) { FEditorText = v; }
    // The key values the editor chose for a lookup or key-list column.
    const Variant& EditorValue() const { return FEditorValue; }
    void SetEditorValue(const Variant& v) { FEditorValue = v; }
    // Whether the current record may be changed at all: updates allowed (or
    // inserting), and records to change or new ones allowed.
    bool CanEditCurrentRecord() const;
    // Raises OnEditButtonClick (the ellipsis or drop-down button of a cell).
    virtual void DoEditButtonClick();
    // The in-place editor asks the grid for a cell's look while editing.
    void GetEditCellParams(TColumnEh* column, TFont* font, TColor& background);
    int GetEditLimit() override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    // Up goes to the record before the shown ones, down to the one after.
    void TimedScroll(TGridScrollDirections direction) override;
    void CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                         const TGridDrawInfo& fixedInfo) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RebuildSortColumnList();
    // The width of a sort index written in the sort-index font.
    int SortIndexTextWidth(int index);

    TNotifyEvent OnColWidthsChanged;
    TMovedEvent OnColumnMoved;
    TDBGridEhClickEvent OnCellClick, OnTitleClick;
    TTitleEhClickEvent OnTitleBtnClick;
    TCheckTitleEhBtnEvent OnCheckButton;
    TDrawColumnEhCellEvent OnDrawColumnCell;
    TDrawDataCellEvent OnDrawDataCell;
    TDrawFooterCellEvent OnDrawFooterCell;
    TGetCellEhParamsEvent OnGetCellParams;
    TGetFooterParamsEvent OnGetFooterParams;
    TGetBtnEhParamsEvent OnGetBtnParams;
    TNotifyEvent OnSortMarkingChanged;
    TNotifyEvent OnApplyFilter;   // filters in place of the data service
    TNotifyEvent OnSumListRecalcAll, OnSumListAfterRecalcAll;
    TNotifyEvent OnEditButtonClick;

protected:
    // Remakes the (still empty) columns as items of a descendant's class.
    void SetColumnsItemClass(TClass itemClass);
    // The column defaults a grid of this kind owns.
    virtual TColumnDefValuesEh* MakeColumnDefValues();
    TInplaceEdit* CreateEditor() override;
    void Paint() override;
    void Resize() override;
    // The rows to buffer depend on the window's height: a grid bound to an
    // open data set before it had a window counts them again once it has one.
    void CreateWnd() override;
    void CreateParams(TCreateParams& params) override;
    void DoExit() override;
    void WMVScroll(TMessage& m);
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    void DefineProperties(TFiler* filer) override;
    virtual void RebuildLayout();
    // The text height of "Wg" in a font, on the grid's canvas.
    int TextHeightOf(TFont* font);
    int TextWidthOf(TFont* font, const std::string& text);

private:
    // Both return whether the cell was drawn highlighted (or pressed).
    bool DrawIndicatorCell(int dataRow, const TRect& rect, TGridDrawState state);
    bool DrawTitleCell(int dataCol, const TRect& rect, TGridDrawState state);
    void DrawMultiTitleCell(int dataCol, const TRect& rect, TGridDrawState state);
    void DrawDataCell(int dataCol, int dataRow, const TRect& rect, TGridDrawState state);
    void DrawFooterCell(int dataCol, int footerRow, const TRect& rect, TGridDrawState state);
    void DrawSortMarker(TColumnEh* column, TRect& textRect);
    void DrawCheckBox(const TRect& rect, TCheckBoxState st);
    // A data cell's content by its kind: image and text, key-list image, check box or text.
    void DrawCellContent(const TRect& rect, int dataCol, TColumnEh* column, const TColCellParamsEh& params);
    // A raised (or sunken) 3-D frame round a cell.
    void DrawCellFrame3D(const TRect& rect, bool sunken);
    // The inner margins of a cell's text, across and down.
    int CellTextMargin() const { return 2; }
    int CellTextVerticalMargin() const { return FFlat ? 1 : 2; }
    // Whether the data rows are tall enough to wrap text in that font.
    bool RowHoldsSeveralLines(TFont* font);
    int DrawCellButtons(TColumnEh* column, const TRect& rect, TColor background);
    void SetTitleRowHeight(int h);
    void DropPendingLayout();
    void RefreshEditorFromField(TField* field);
    // A rectangle anchored at the current cell (replacing another kind of
    // selection), and its shifted corner moved to the current cell.
    void AnchorRectAtCurrentCell();
    void ExtendRectToCurrentCell();
    // What a held mouse button is selecting.
    enum TMouseTrackingEh { gtNone, gtRows, gtData, gtRectangle, gtColumns };
    // Whether the point is on the bottom edge of a title that selects its column.
    bool InColumnSelectZone(int x, int y, int& dataCol) const;
    void UpdateSelectionCursor();
    // The thin sunken edge of a flat grid, on the window's whole rectangle.
    virtual void PaintFlatBorder(HDC dc);
    // The hint of a cell: a title's own hint, or the whole text of a cell
    // too narrow for it (with ToolTips), placed over the cell.
    void CellHint(THintInfo& info);
    // A context menu request over a column with its own menu shows that one.
    bool ShowColumnPopupMenu(const TMessage& message);
    // The client box of the data cells shown.
    TRect DataCellsBox() const;
    virtual void AutoScrollStep();
    void StartAutoScrollTimer(int ms);
    void StopAutoScrollTimer();
    void EndMouseTracking();
    // Whether a typed character goes to the incremental search.
    bool CharGoesToSearch(char key);
    bool HandleSearchKeys(WORD key, TShiftState shift);
    void RestartIncSearchTimer();
    void RunClipboardAction(const std::function<void(TCustomDBGridEh*)>& action);
    void AutoFitWidths();
    int LineWidth() const;

    mutable std::unique_ptr<TColumnDefValuesEh> FColumnDefValues;
    std::unique_ptr<TDBGridColumnsEh> FColumns;
    std::unique_ptr<TGridDataLinkEh> FDataLink;
    std::unique_ptr<TFont> FTitleFont, FFooterFont;
    std::unique_ptr<THeadTreeNode> FHeadTree;
    std::unique_ptr<TDBGridEhSumList> FSumList;
    std::unique_ptr<TBitmap> FMeasureBitmap;   // text metrics with or without a window
    std::unique_ptr<TDBGridEhSelection> FSelection;
    std::unique_ptr<TSTDBGridEhFilter> FSTFilter;
    // Keyboard and mouse state.
    bool FToggleMode = false;
    bool FShiftSelecting = false;
    TBookmarkStr FAnchor;
    bool FAnchorWasSelected = false;
    int FPressedTitleCol = -1;
    TGridCoord FPressedCell{-1, -1};
    bool FSortPending = false;
    bool FShiftHeld = false;   // Shift with multi-select, while a key is handled
    std::unique_ptr<TDBGridEhScrollBar> FHorzScrollBar, FVertScrollBar;
    std::string FEditorText;
    Variant FEditorValue;
    bool FThumbTracked = false;
    bool FIncSearching = false;
    std::string FIncSearchText;
    int FIncSearchTimeout = -1;
    char FSearchLead = 0;
    int FPaintActiveRecord = -1;   // the current record's buffer row, while data cells paint
    bool FPaintingCurrentRow = false;   // the data cell painting is the current record's
    TMouseTrackingEh FTracking = gtNone;
    TPoint FLastMouse{0, 0};
    TShiftState FTrackShift;
    int FAutoScrollInterval = -1;   // -1: the auto-scroll timer is not armed
    bool FRowSizingRelease = false;
    int FFlatBorderWidth = 0;   // set when the window is made
    bool FCursorOverridden = false;   // a selection cursor stands in for the grid's own
    TCursor FUserCursor = crDefault;   // the first byte of a Chinese character typed into the search
    TBookmarkStr FViewBookmark;
    // The interface of the data set's memtable: the set's own, never counted,
    // dropped when the set goes (it may be half destroyed by then).
    IMemTableEh* FMemTable = nullptr;
    TDataSet* FMemTableSet = nullptr;
    std::vector<int> FReadSavedRecords;   // the link's active records before the row reads
    bool FFetchingRecords = false;
    bool FTreeClicking = false;
    // Shows or hides the children of a record's node and goes to the
    // record the memtable names, keeping the top row.
    void ToggleNodeOfRecord(int recNo);
    void FollowMemTableRow(bool moveAnchor);
    // Sets the vertical bar (the window's own) from si by the visible mode.
    void ApplyVertScrollInfo(TScrollInfo si, bool nothingToScroll);
    void WheelStep(TShiftState shift, int direction);
    void WMHScrollEh(TMessage& m);
    int FViewOffset = 0;
    std::vector<THeadTreeNode*> FLeafNodes;
    TColumnsEhList FShownColumns, FSortColumnList;
    TDBGridOptions FOptions;
    TDBGridEhOptions FOptionsEh;
    TDBGridEhAllowedOperations FAllowedOperations;
    TDBGridEhAllowedSelections FAllowedSelections;
    TDBGridEhEditActions FEditActions;
    bool FAutoFitColWidths = false, FDrawMemoText = false, FFlat = false, FReadOnly = false;
    TColor FFooterColor = clWindow;
    int FFooterRowCount = 0, FFrozenCols = 0, FMinAutoFitWidth = 0;
    int FRowHeight = 0, FRowLines = 0;
    bool FRowSizingAllowed = false;
    int FTitleHeight = 0, FTitleLines = 0, FVTitleMargin = 10;
    bool FUseMultiTitle = false;
    TWeakRef<TCustomImageList> FTitleImages;
    int FIndicatorColCount = 1;
    int FFirstDataRow = 1;
    int FLayoutLockCount = 0, FPaintLockCount = 0;
    int FRebuildCount = 0;
    int FTitleRowHeight = 0;
    int FTextVerticalMargin = 4;
    int FIndicatorRow = -1;
    bool FInLinkLayoutChange = false;
    bool FRefreshing = false;
    bool FNoPaint = false;
    bool FMeasuring = false;
    TDBGridEhStyle* FStyle = nullptr;
    std::unique_ptr<TColCellParamsEh> FCellParams;   // refilled for every data cell drawn   // whether the grid had the focus when its selection was last drawn
};

// The grid with its stored properties published.
class TDBGridEh : public TCustomDBGridEh {
    QZ_CLASS(TDBGridEh, TCustomDBGridEh)
public:
    explicit TDBGridEh(TComponent* owner = nullptr) : TCustomDBGridEh(owner) {}
};

namespace DBGridEh {
// The text of "Algorithm error in TCustomDBGridEh.GetCellType" and the other fixed messages.
inline constexpr const char* SGetCellTypeError = "Algorithm error in TCustomDBGridEh.GetCellType";
inline constexpr const char* STooManyColumns = "Grid requested to display more than 256 columns";
inline constexpr const char* SNodeNotInTree = "Node not in Tree";
inline constexpr const char* SAToNotInLevel = "ATo not in level";
// Keys and timing of the grids of the program (an application may change them).
extern TShortCut IncSearchShortCut;       // Ctrl+F: starts an incremental search
extern TShortCut FindDialogShortCut;      // Ctrl+F: opens the find dialog
extern TShortCut IncSearchNextShortCut;   // Ctrl+Enter
extern TShortCut IncSearchPriorShortCut;  // Shift+Ctrl+Enter
extern TShortCut CopyPriorValueShortCut;  // Ctrl+'
extern int IncSearchTimeout;              // ms, a search started by typing
extern TColor IncSearchColor;             // the matched text's background (yellow)
extern TColor IncSearchFontColor;         // and its colour (black)
// Opens the find dialog for a grid with a text to search for (set by the
// dialog's unit).
extern std::function<void(TCustomDBGridEh*, const std::string& text)> FindDialogProc;
// What the clipboard keys do with the grid's selection (copy, cut, paste,
// delete); the grid's exchange routines fill them in. The keys check first
// that the action is allowed (EditActions) and possible (CanCopy and the others).
extern std::function<void(TCustomDBGridEh*)> CopyAction, CutAction, PasteAction, DeleteAction;
// The program's one data service.
TDBGridEhDataService* DataService();
// The style every grid attaches when made; made with the first grid, nil once
// destroyed (grids then go without a style).
TDBGridEhStyle* DefaultGridStyle();
void FreeDefaultGridStyle();
// The window timer that scrolls while the mouse selects outside the cells.
inline constexpr uintptr_t AutoScrollTimerId = 1;
// The window timer that ends an incremental search.
inline constexpr uintptr_t IncSearchTimerId = 2;
// The width of the indicator column.
inline constexpr int IndicatorWidth = 11;
// The width of a tree node's box, one per level, before the first column's text.
inline constexpr int TreeBoxWidth = 18;
// The message a deferred layout rebuild is posted as.
inline constexpr UINT WM_DEFERLAYOUT = WM_USER + 100;
// Writes text into a cell's rectangle dx and dy inside its sides, placed
// across by the alignment and down by the layout (a single line, or word
// wrapped with multiLine), with an ellipsis where it is cut; fillRect fills
// the rectangle with the canvas brush first.
void WriteCellText(TCanvas* canvas, const TRect& rect, bool fillRect, int dx, int dy, const std::string& text,
                   TAlignment alignment, TTextLayout layout, bool multiLine, bool endEllipsis);
// A colour made lighter by `percent` of the way to white per step of 1/32
// (192 by 8 gives 216); white stays white.
TColor BrightenColor(TColor c, int amount);
// Text turned a quarter left (reading upwards) for vertical titles; returns
// its length along the rotated line, and with measureOnly draws nothing.
// An end ellipsis is not honoured by vertical text.
int WriteCellTextVertical(TCanvas* canvas, const TRect& rect, bool fillRect, int dx, int dy, const std::string& text,
                          TAlignment alignment, TTextLayout layout, bool measureOnly = false);
// The canvas font turned by 90 degrees.
void MakeRotatedFont(TFont* font);
// One image of a list, aligned across and centred down in rect, clipped to it
// (the clip region is left alone when the image fits).
void DrawImageClipped(TCustomImageList* images, TCanvas* canvas, TAlignment alignment, int xOffset, int index,
                      const TRect& rect);
}
