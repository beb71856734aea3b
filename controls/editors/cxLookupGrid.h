// The lookup grid: a small read-only grid over a data controller of its own,
// with columns whose cells are drawn by each column's editor, an optional
// header row whose clicks sort, a vertical scroll bar, keyboard and mouse
// navigation and a close-up event. As the drop-down list of a lookup editor
// it is a popup control: borderless, the row under the pointer becomes the
// focused row, and a click or Enter closes the popup.
#pragma once

#include "ExtCtrls.h"
#include "cxControls.h"
#include "cxData.h"
#include "cxEdit.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxCustomLookupGrid;
class TcxLookupGridColumn;
class TcxLookupGridColumns;

enum TcxLookupGridChange { lgcLayout };
using TcxLookupGridChanges = TSet<TcxLookupGridChange, 8>;

using TcxLookupGridCloseUpEvent = std::function<void(TObject* Sender, bool AAccept)>;

// ---- options -----------------------------------------------------------------------------------

class TcxLookupGridOptions : public TPersistent {
    QZ_CLASS(TcxLookupGridOptions, TPersistent)
public:
    explicit TcxLookupGridOptions(TcxCustomLookupGrid* AGrid = nullptr) : FGrid(AGrid) {}
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    // Kept in the grid data controller's options, not here.
    bool AnsiSort() const;
    void SetAnsiSort(bool Value);
    bool CaseInsensitive() const;
    void SetCaseInsensitive(bool Value);

    bool ColumnSorting() const { return FColumnSorting; }
    void SetColumnSorting(bool Value) { FColumnSorting = Value; }
    TcxGridLines GridLines() const { return FGridLines; }
    void SetGridLines(TcxGridLines Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool ShowHeader() const { return FShowHeader; }
    void SetShowHeader(bool Value);
    TcxCustomLookupGrid* Grid() const { return FGrid; }

    TNotifyEvent OnChanged;

protected:
    virtual void Changed();

private:
    void SetDataControllerOption(TcxDataControllerOption AOption, bool Value);
    bool FColumnSorting = true;
    TcxCustomLookupGrid* FGrid;
    TcxGridLines FGridLines = glBoth;
    bool FRowSelect = true;
    bool FShowHeader = true;
};

// ---- columns -------------------------------------------------------------------------------------

// A column's properties answer whether their values carry a display format
// through this provider: the data controller stores display texts for it.
class TcxLookupGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
    QZ_CLASS(TcxLookupGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
public:
    explicit TcxLookupGridDefaultValuesProvider(TPersistent* AOwner = nullptr)
        : TcxCustomEditDefaultValuesProvider(AOwner) {}
    bool HasDisplayFormat(bool AIsCurrencyValueAccepted) override;
    // A provider made from its class record gets its column after.
    void SetColumn(TcxLookupGridColumn* AColumn);
};

class TcxLookupGridColumn : public TCollectionItem, public IcxEditRepositoryItemListener {
    QZ_CLASS(TcxLookupGridColumn, TCollectionItem)
public:
    explicit TcxLookupGridColumn(TCollection* ACollection = nullptr);
    ~TcxLookupGridColumn() override;
    void Assign(TPersistent* Source) override;

    virtual void CheckWidth(int& AWidth);
    virtual TClass GetDefaultValuesProviderClass() const;
    virtual TcxValueTypeClass GetValueTypeClass();
    virtual void ChangeValueTypeClass(TcxValueTypeClass AValueTypeClass);
    virtual std::string GetDefaultCaption();
    virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();
    virtual int GetDefaultWidth();
    virtual TFont* GetFont();
    virtual TcxEditRepositoryItem* GetInternalDefaultRepositoryItem();
    virtual TcxEditRepositoryItem* GetRepositoryItem();
    virtual bool IsFirst() const { return Index() == 0; }
    virtual bool IsLast() const;
    virtual void RestoreDefaults();

    std::string Caption();
    void SetCaption(const std::string& Value);
    bool IsCaptionStored() const { return FIsCaptionAssigned; }
    bool Fixed() const { return FFixed; }
    void SetFixed(bool Value);
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    bool Sorting() const { return FSorting; }
    void SetSorting(bool Value);
    TcxDataSortOrder SortOrder() const;
    void SetSortOrder(TcxDataSortOrder Value);
    TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
    void SetRepositoryItem(TcxEditRepositoryItem* Value);
    int Width();
    void SetWidth(int Value);
    bool IsWidthStored() const { return FIsWidthAssigned; }

    // The properties of the editor that draws the column's cells.
    TcxCustomEditProperties* Properties();
    TcxCustomEditDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
    TcxCustomLookupGrid* Grid() const;
    TcxCustomDataController* DataController() const;
    // The index of the column's item in the data controller.
    int ItemIndex() const { return Index(); }

    // IcxEditRepositoryItemListener
    void ItemRemoved(TObject* Sender) override;
    void PropertiesChanged(TObject* Sender) override;

protected:
    void Changed() { TCollectionItem::Changed(false); }
    // Makes a new provider of GetDefaultValuesProviderClass the column's.
    virtual void AttachDefaultValuesProvider(TcxCustomEditDefaultValuesProvider* AProvider);

private:
    friend class TcxLookupGridColumns;
    // Joining a grid's collection: the provider, the defaults and the item.
    void Attach();
    void FreeInternalDefaultRepositoryItem();
    std::string FCaption;
    bool FIsCaptionAssigned = false;
    TAlignment FHeaderAlignment = taLeftJustify;
    int FMinWidth = 20;
    int FWidth = 0;
    bool FIsWidthAssigned = false;
    bool FFixed = false;
    bool FSorting = true;
    TcxEditRepositoryItem* FRepositoryItem = nullptr;
    // The registry's item in use, heard so that its going is noticed.
    TcxEditRepositoryItem* FDefaultRepositoryItem = nullptr;
    std::unique_ptr<TcxEditRepositoryItem> FInternalDefaultRepositoryItem;
    std::unique_ptr<TcxCustomEditDefaultValuesProvider> FDefaultValuesProvider;
    bool FAttached = false;
};

class TcxLookupGridColumns : public TCollection {
    QZ_CLASS(TcxLookupGridColumns, TCollection)
public:
    explicit TcxLookupGridColumns(TcxCustomLookupGrid* AGrid = nullptr, TClass AColumnClass = nullptr);
    ~TcxLookupGridColumns() override;
    TPersistent* GetOwner() const override;
    void RestoreDefaults();

    TcxCustomLookupGrid* Grid() const { return FGrid; }
    TcxLookupGridColumn* Items(int Index) const { return ItemAs<TcxLookupGridColumn>(Index); }
    TcxLookupGridColumn* operator[](int Index) const { return Items(Index); }
    TcxLookupGridColumn* Add() { return AddAs<TcxLookupGridColumn>(); }

protected:
    void Notify(TCollectionItem* AItem, TCollectionNotification AAction) override;
    void Update(TCollectionItem* AItem) override;

private:
    TcxCustomLookupGrid* FGrid;
};

// ---- data controller -------------------------------------------------------------------------------

class TcxLookupGridDataController : public TcxDataController {
    QZ_CLASS(TcxLookupGridDataController, TcxDataController)
public:
    explicit TcxLookupGridDataController(TComponent* AOwner = nullptr) : TcxDataController(AOwner) {}
    TObject* GetItem(int Index) override;
    int GetItemID(TObject* AItem) override;
    TPersistent* GetOwner() const override;
    TcxCustomLookupGrid* Grid() const { return FGrid; }
    // A controller made from its class record gets its grid after.
    void SetGrid(TcxCustomLookupGrid* AGrid) { FGrid = AGrid; }

private:
    TcxCustomLookupGrid* FGrid = nullptr;
};

// ---- view info -----------------------------------------------------------------------------------------

class TcxLookupGridColumnViewInfo : public TObject {
    QZ_CLASS(TcxLookupGridColumnViewInfo, TObject)
public:
    TcxLookupGridColumnViewInfo() = default;
    ~TcxLookupGridColumnViewInfo() override;
    int Index = -1;
    TRect Bounds;
    TRect ContentBounds;
    TAlignment Alignment = taLeftJustify;
    TcxNeighbors Neighbors;
    TcxBorders Borders;
    TcxDataSortOrder SortOrder = soNone;
    std::string Text;
    std::unique_ptr<TcxCustomEditStyle> EditStyle;
    std::unique_ptr<TcxCustomEditViewData> EditViewData;
};

class TcxLookupGridCellViewInfo : public TObject {
    QZ_CLASS(TcxLookupGridCellViewInfo, TObject)
public:
    TcxLookupGridCellViewInfo() = default;
    ~TcxLookupGridCellViewInfo() override;
    int ColumnIndex = -1;
    bool Focused = false;
    TRect Bounds;
    TRect ContentBounds;
    TcxBorders Borders;
    std::unique_ptr<TcxCustomEditViewInfo> EditViewInfo;
};

class TcxLookupGridRowViewInfo : public TObject {
    QZ_CLASS(TcxLookupGridRowViewInfo, TObject)
public:
    TcxLookupGridRowViewInfo() = default;
    ~TcxLookupGridRowViewInfo() override;
    std::vector<std::unique_ptr<TcxLookupGridCellViewInfo>> Cells;
    int RowIndex = -1;
    int RecordIndex = -1;
    bool Focused = false;
    TRect Bounds;
    TRect ContentBounds;
    TcxBorders Borders;
};

enum TcxLookupGridTopRowCalculation { trcNone, trcForward, trcBackward };

class TcxLookupGridViewInfo : public TObject {
    QZ_CLASS(TcxLookupGridViewInfo, TObject)
public:
    explicit TcxLookupGridViewInfo(TcxCustomLookupGrid* AGrid = nullptr) : FGrid(AGrid) {}
    ~TcxLookupGridViewInfo() override;

    virtual int GetHeaderHeight();
    virtual void CalculateHeaders();
    virtual void CalculateEmptyAreas();
    virtual void CalculateColumns();
    virtual void CalculateRows();
    virtual void Calculate();
    virtual int CalculateTopRowIndex(int AIndex);
    virtual void InitColumnStyle(TcxLookupGridColumnViewInfo* AColumnViewInfo, TcxLookupGridColumn* AColumn);
    virtual void CreateColumnViewData(TcxLookupGridColumnViewInfo* AColumnViewInfo, TcxLookupGridColumn* AColumn);
    virtual void DestroyColumnViewData(TcxLookupGridColumnViewInfo* AColumnViewInfo, TcxLookupGridColumn* AColumn);
    virtual TColor GetContentColor();
    virtual TFont* GetContentFont();
    virtual TColor GetContentTextColor();
    virtual TColor GetGridLineColor() { return clBtnFace; }
    virtual int GetGridLineWidth() { return 1; }
    virtual TColor GetHeaderColor();
    virtual TFont* GetHeaderFont();
    virtual TColor GetHeaderTextColor();
    virtual TColor GetSelectionColor();
    virtual TColor GetSelectionTextColor();

    // The height of one row with its line below, when one is drawn.
    int GetRowStep() const;
    // Recomputes one laid-out row's focused state and its cells' contents.
    void RecalculateRow(TcxLookupGridRowViewInfo* ARow);
    // The laid-out row of a row index, or null.
    TcxLookupGridRowViewInfo* FindRow(int ARowIndex) const;

    TcxCustomLookupGrid* Grid() const { return FGrid; }
    // For a view info made from its class record.
    void SetGrid(TcxCustomLookupGrid* AGrid) { FGrid = AGrid; }
    std::vector<std::unique_ptr<TcxLookupGridColumnViewInfo>> Columns;
    std::vector<std::unique_ptr<TcxLookupGridRowViewInfo>> Rows;
    int BorderSize = 0;
    TRect HeadersRect;
    TRect RowsRect;
    TRect VisibleRowsRect;
    TRect EmptyRectRight;
    TRect EmptyRectBottom;
    int RowMinHeight = 0;
    int VisibleRowCount = 0;
    int PartialVisibleRowCount = 0;
    TcxLookupGridTopRowCalculation TopRowCalculation = trcNone;
    int TopRowCalculationIndex = 0;

private:
    void CalculateRowMinHeight();
    void CalculateCells(TcxLookupGridRowViewInfo* ARow, bool ALastDataRow);
    TcxCustomLookupGrid* FGrid;
};

// ---- painter ---------------------------------------------------------------------------------------------

class TcxLookupGridPainter : public TObject {
    QZ_CLASS(TcxLookupGridPainter, TObject)
public:
    explicit TcxLookupGridPainter(TcxCustomLookupGrid* AGrid = nullptr) : FGrid(AGrid) {}
    ~TcxLookupGridPainter() override;
    virtual void DrawBorder();
    virtual void DrawCell(TcxLookupGridCellViewInfo* ACellViewInfo);
    virtual void DrawContent();
    virtual void DrawEmptyArea();
    virtual void DrawHeaders();
    virtual void DrawRow(TcxLookupGridRowViewInfo* ARowViewInfo);
    virtual void DrawRows();
    void Paint();

    TcxCustomLookupGrid* Grid() const { return FGrid; }
    // For a painter made from its class record.
    void SetGrid(TcxCustomLookupGrid* AGrid) { FGrid = AGrid; }
    // The canvas drawn on: the grid's own, or one over the screen while the
    // grid has no window (or the one a test hands in).
    TcxCanvas* Canvas();
    void SetCanvas(TcxCanvas* ACanvas) { FExternalCanvas = ACanvas; }
    TcxCustomLookAndFeelPainterClass LookAndFeelPainter = nullptr;

private:
    TcxCustomLookupGrid* FGrid;
    TcxCanvas* FExternalCanvas = nullptr;
    std::unique_ptr<TcxScreenCanvas> FScreenCanvas;
};

// ---- hit test ---------------------------------------------------------------------------------------------

enum TcxLookupGridHitKind { lghtNone, lghtHeader, lghtRow };

struct TcxLookupGridHitInfo {
    TcxLookupGridHitKind HitKind = lghtNone;
    int ColumnIndex = -1;   // the header's column, or the cell's column in a row
    int RowIndex = -1;
};

// ---- the grid ----------------------------------------------------------------------------------------------

// Made whole by AfterConstruction (the class factories call it; code that
// uses new calls it too): the columns, options, painter, view info and data
// controller come from the class's factory operations.
class TcxCustomLookupGrid : public TcxControl {
    QZ_CLASS(TcxCustomLookupGrid, TcxControl)
public:
    explicit TcxCustomLookupGrid(TComponent* AOwner = nullptr);
    ~TcxCustomLookupGrid() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    virtual void ColumnAdded(TcxLookupGridColumn* AColumn);
    virtual void Changed(TcxLookupGridChanges AChanges);
    virtual void CreateSubClasses();
    virtual void CreateDataController();
    virtual void DestroySubClasses();
    virtual void DestroyDataController();
    virtual void RowMouseDown(int ARowIndex, int AColumnIndex, TShiftState AShift);
    virtual void HeaderClick(int AColumnIndex, TShiftState AShift);
    virtual TClass GetColumnClass() const;
    virtual TClass GetColumnsClass() const;
    virtual TClass GetDataControllerClass() const;
    virtual TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() const;
    virtual TClass GetPainterClass() const;
    virtual int GetTopScrollOffset();
    virtual int GetBottomScrollOffset();
    virtual TClass GetViewInfoClass() const;
    virtual bool IsMouseTracking() const { return FIsPopupControl; }
    virtual void ColumnRemoved(TcxLookupGridColumn* AColumn);
    virtual void SetScrollMode(int AMode);
    virtual void InvalidateFocusedRow();
    virtual void InvalidateRow(int ARowIndex, bool ARecalculate);
    virtual void LayoutRecalculated();
    virtual void DataChanged();
    virtual void DataLayoutChanged();
    virtual void DoClick();
    virtual void DoCloseUp(bool AAccept);
    virtual void DoFocusedRowChanged();
    virtual void FocusedRowChanged(int APrevFocusedRowIndex, int AFocusedRowIndex);
    virtual void LayoutChanged();
    virtual void SelectionChanged(TcxSelectionChangedInfo* AInfo);
    virtual void DataControllerNotify(TcxUpdateControlInfo* AInfo);
    virtual void SetFocusedRowSelected(bool ASelected);

    void BeginUpdate();
    void EndUpdate();
    bool IsLocked() const { return FLockCount > 0; }
    int GetFocusedRowIndex();
    int GetRowCount();
    void FocusRow(int ARowIndex);
    void FocusColumn(int AColumnIndex);
    TcxLookupGridColumn* FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TcxLookupGridColumn* Value);
    void MakeFocusedRowVisible();
    bool IsRowVisible(int ARowIndex);
    TcxLookupGridHitInfo GetHitInfo(const TPoint& P);
    int AdjustHeight(int AHeight);
    int GetHeightForRows(int ARowCount);
    bool IsRowAtPoint(const TPoint& P);
    bool IsPopupControl() const { return FIsPopupControl; }
    void SetIsPopupControl(bool Value);
    int TopRowIndex() const { return FTopRowIndex; }
    void SetTopRowIndex(int Value);
    bool IsGridMode();

    TcxLookupGridColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TcxLookupGridColumns* Value) { FColumns->Assign(Value); }
    TcxLookupGridOptions* Options() const { return FOptions.get(); }
    void SetOptions(TcxLookupGridOptions* Value) { FOptions->Assign(Value); }
    TcxCustomDataController* DataController() const { return FDataController.get(); }
    TcxLookupGridViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TcxLookupGridPainter* Painter() const { return FPainter.get(); }
    TcxLookupGridChanges PendingChanges() const { return FChanges; }
    bool PopupMouseMoveLocked() const { return FPopupMouseMoveLocked; }
    void SetPopupMouseMoveLocked(bool Value) { FPopupMouseMoveLocked = Value; }
    bool RowPressed() const { return FRowPressed; }
    int ScrollMode() const { return FScrollMode; }
    TTimer* ScrollTimer() const { return FScrollTimer.get(); }
    bool IsGridDestroying() const { return FDestroying; }
    // Runs the scroll timer's step once (the timer calls it every 50 ms).
    void ScrollTimerStep();

    // OnClick is the control's own.
    TcxLookupGridCloseUpEvent OnCloseUp;
    TNotifyEvent OnDataChanged;
    TNotifyEvent OnFocusedRowChanged;

    // TcxControl
    int GetBorderWidth() const override;
    void ColorChanged() override;
    void BoundsChanged() override;
    void FontChanged() override;
    void FocusChanged() override;
    void CancelMouseOperations() override;
    bool CanProcessMouseDownUnfocused() const override { return true; }
    void InitScrollBars() override;
    void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
    void InitScrollBarsParameters() override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    void Loaded() override;

    // Key and mouse handling, reachable without a window.
    void DoKeyDown(WORD& Key, TShiftState Shift) { KeyDown(Key, Shift); }

protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The top row for a wanted one, clamped and, in grid mode, scrolling
    // the data controller's buffer when asked beyond it.
    int CheckTopRowIndex(int AIndex);
    void ApplyChanges();
    // The columns of GetColumnsClass holding GetColumnClass.
    virtual TcxLookupGridColumns* CreateColumns();
    // Header and row heights measured before the window exists.
    void EnsureRowHeights();
    // Focuses a row and marks it selected.
    void FocusAndSelectRow(int ARowIndex);

private:
    void ScrollTimerHandler(TObject*);
    void StopScrollTimer();
    std::unique_ptr<TcxLookupGridColumns> FColumns;
    std::unique_ptr<TcxLookupGridOptions> FOptions;
    std::unique_ptr<TcxCustomDataController> FDataController;
    std::unique_ptr<TcxLookupGridViewInfo> FViewInfo;
    std::unique_ptr<TcxLookupGridPainter> FPainter;
    std::unique_ptr<TTimer> FScrollTimer;
    TcxLookupGridChanges FChanges;
    TcxLookupGridColumn* FFocusedColumn = nullptr;
    bool FIsPopupControl = false;
    int FLockCount = 0;
    bool FPopupMouseMoveLocked = false;
    bool FRowPressed = false;
    int FScrollMode = 0;
    int FTopRowIndex = 0;
    bool FDestroying = false;
    TPoint FLastMousePos{-1, -1};   // where the mouse last moved, for the scroll timer
};
