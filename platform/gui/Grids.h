// Grids: TCustomGrid lays out rows and columns of cells (fixed ones at the
// top and left that do not scroll), keeps the current cell and the selected
// range, scrolls, sizes and moves rows and columns with the mouse, hosts an
// in-place editor and paints itself through its canvas, asking DrawCell for
// each cell. TDrawGrid hands the cells to events; TStringGrid keeps a text
// and an object per cell.
#pragma once

#include "Controls.h"
#include "StdCtrls.h"
#include "StringLists.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TInplaceEdit;

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
    goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
    goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption, 16>;
enum TGridDrawStates { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStates, 8>;
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TGridScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirections = TSet<TGridScrollDirection, 8>;
enum TEditStyle { esSimple, esEllipsis, esPickList };

struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord&) const = default;
};
// A range of cells: Left and Right are columns, Top and Bottom rows, all inclusive.
using TGridRect = TRect;

// The layout along one axis (columns across, rows down).
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0;        // where the fixed cells end
    int GridBoundary = 0;         // where the last drawn cell ends
    int GridExtent = 0;           // the room there is
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;      // where the last fully visible cell ends
    int FixedCellCount = 0;
    int FirstGridCell = 0;        // the first scrolling cell shown (LeftCol, TopRow)
    int GridCellCount = 0;
    std::function<int(int)> GetExtent;   // a cell's width or height (-1: hidden with its line)
};
struct TGridDrawInfo {
    TGridAxisDrawInfo Horz, Vert;
};

QZ_EXCEPTION(EInvalidGridOperation, Exception)

using TDrawCellEvent = std::function<void(TObject* sender, int col, int row, const TRect& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;
using TMovedEvent = std::function<void(TObject* sender, int fromIndex, int toIndex)>;
using TGetEditEvent = std::function<void(TObject* sender, int col, int row, std::string& value)>;
using TSetEditEvent = std::function<void(TObject* sender, int col, int row, const std::string& value)>;

class TCustomGrid : public TCustomControl {
    QZ_CLASS(TCustomGrid, TCustomControl)
    friend class TInplaceEdit;
public:
    explicit TCustomGrid(TComponent* owner = nullptr);
    ~TCustomGrid() override;

    // ---- shape
    int ColCount() const { return FColCount; }
    void SetColCount(int v);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int v);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int v);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int v);      // resets every column's width
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int v);     // resets every row's height
    // -1 hides the column (or row) together with its grid line; 0 keeps the line.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    bool TabStops(int col) const;
    void SetTabStops(int col, bool v);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v) { FDefaultDrawing = v; Invalidate(); }
    // Settings grids built on this one keep: whether the widths and heights
    // are stored with the grid, the options added while designing, and
    // whether the rows stand for records kept elsewhere.
    bool SaveCellExtents() const { return FSaveCellExtents; }
    void SetSaveCellExtents(bool v) { FSaveCellExtents = v; }
    TGridOptions DesignOptionsBoost() const { return FDesignOptionsBoost; }
    void SetDesignOptionsBoost(TGridOptions v) { FDesignOptionsBoost = v; }
    bool VirtualView() const { return FVirtualView; }
    void SetVirtualView(bool v) { FVirtualView = v; }
    // The whole grid's size when every column and row is shown.
    int GridWidth() const;
    int GridHeight() const;

    // ---- the current cell, the selection and scrolling
    int Col() const { return FCurrent.X; }
    void SetCol(int v);
    int Row() const { return FCurrent.Y; }
    void SetRow(int v);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int v);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int v);
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // Moves the current cell (asking SelectCell); the anchor of the selection
    // moves along unless extending it; show scrolls it into view.
    void MoveColRow(int col, int row, bool moveAnchor, bool show);
    void FocusCell(int col, int row, bool moveAnchor);

    // ---- geometry
    // The cell's rectangle in client coordinates, without its grid line;
    // empty when the cell does not show.
    TRect CellRect(int col, int row) const;
    // The rectangle a range of cells covers where it shows.
    TRect BoxRect(int left, int top, int right, int bottom) const;
    TRect CellRangeRect(const TGridRect& r) const { return BoxRect(r.Left, r.Top, r.Right, r.Bottom); }
    // The cell under a client point; -1 where there is none.
    TGridCoord MouseCoord(int x, int y) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    void CalcDrawInfo(TGridDrawInfo& info) const;
    void CalcDrawInfoXY(TGridDrawInfo& info, int width, int height) const;
    void CalcFixedInfo(TGridDrawInfo& info) const;

    // ---- state of the mouse
    TGridState GridState() const { return FGridState; }
    // Whether a point lies on a line that can be dragged to size a row or column.
    bool Sizing(int x, int y) const;
    int SizingIndex() const { return FSizingIndex; }
    int SizingPos() const { return FSizingPos; }
    int SizingOfs() const { return FSizingOfs; }
    void SetSizingIndex(int v) { FSizingIndex = v; }
    void SetSizingPos(int v) { FSizingPos = v; }
    void SetSizingOfs(int v) { FSizingOfs = v; }
    // Where the row or column being moved would go.
    int MoveIndex() const { return FMoveIndex; }
    int MovePos() const { return FMovePos; }

    // ---- the in-place editor
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool v);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    void ShowEditor();
    void HideEditor();
    void InvalidateEditor();

    // ---- repainting
    void InvalidateCell(int col, int row);
    void InvalidateCol(int col);
    void InvalidateRow(int row);
    void InvalidateGrid() { Invalidate(); }

    // ---- moving whole rows and columns
    void MoveColumn(int fromIndex, int toIndex);
    void MoveRow(int fromIndex, int toIndex);
    void DeleteColumn(int col);
    void DeleteRow(int row);

    // Hooks the grid calls; descendants and the events answer them.
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) = 0;
    virtual bool SelectCell(int col, int row) { return true; }
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return true; }
    virtual bool CanEditAcceptKey(char key) { return true; }
    virtual bool CanGridAcceptKey(WORD key, TShiftState shift) { return true; }
    virtual std::string GetEditText(int col, int row) { return {}; }
    virtual void SetEditText(int col, int row, const std::string& value) {}
    virtual std::string GetEditMask(int col, int row) { return {}; }
    virtual int GetEditLimit() { return 0; }
    virtual TEditStyle GetEditStyle(int col, int row) { return esSimple; }
    virtual void ColumnMoved(int fromIndex, int toIndex) {}
    virtual void RowMoved(int fromIndex, int toIndex) {}
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual void SizeChanged(int oldColCount, int oldRowCount) {}
    virtual void TimedScroll(TGridScrollDirections direction);
    virtual void CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                                 const TGridDrawInfo& fixedInfo);

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

protected:
    virtual TInplaceEdit* CreateEditor();
    // Puts the editor over the current cell with the text to edit.
    void UpdateEdit();
    // Hands the editor's text to SetEditText.
    void UpdateText();
    void Paint() override;
    void CreateParams(TCreateParams& params) override;
    void Resize() override;
    void DoExit() override;
    void DoEnter() override;

    void WMGetDlgCode(TMessage& m);
    void WMHScroll(TMessage& m);
    void WMVScroll(TMessage& m);
    void WMSetCursor(TMessage& m);
    void WMCancelMode(TMessage& m);
    void WMKillFocus(TMessage& m);
    void WMSetFocus(TMessage& m);
    void WMCommand(TMessage& m);
    void WMChar(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_HSCROLL, WMHScroll)
        QZ_MESSAGE_HANDLER(WM_VSCROLL, WMVScroll)
        QZ_MESSAGE_HANDLER(WM_SETCURSOR, WMSetCursor)
        QZ_MESSAGE_HANDLER(WM_CANCELMODE, WMCancelMode)
        QZ_MESSAGE_HANDLER(WM_KILLFOCUS, WMKillFocus)
        QZ_MESSAGE_HANDLER(WM_SETFOCUS, WMSetFocus)
        QZ_MESSAGE_HANDLER(WM_COMMAND, WMCommand)
        QZ_MESSAGE_HANDLER(WM_CHAR, WMChar)
        QZ_MESSAGE_HANDLER(WM_IME_CHAR, WMChar)
    QZ_END_MESSAGE_MAP

protected:
    TGridCoord FCurrent, FAnchor, FTopLeft;
    TGridState FGridState = gsNormal;
    int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
    int FMoveIndex = 0, FMovePos = 0;
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    TGridCoord FEditCell{-1, -1};   // the cell the editor shows

private:
    void ClampInView(TGridCoord c);
    void ScrollMessage(TMessage& m, int bar);
    void MoveTopLeft(int left, int top);
    void UpdateScrollRange();
    void UpdateScrollPos();
    TGridCoord MaxTopLeft() const;
    void SelectionMoved(const TGridRect& old);
    void MoveAnchor(TGridCoord c);
    void MoveCurrent(int col, int row, bool moveAnchor, bool show);
    void ChangeSize(int newColCount, int newRowCount);
    void ShowSizingLine(bool show);
    void ShowMoveMark(bool show);
    void StartTimer();
    void StopTimer();
    void ResizeAxis(std::vector<int>& sizes, int count, int def);
    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    std::vector<int> FColWidths, FRowHeights;
    std::vector<bool> FTabStops;
    TGridOptions FOptions;
    TScrollStyle FScrollBars = ssBoth;
    TColor FFixedColor = clBtnFace;
    TBorderStyle FBorderStyle = bsSingle;
    bool FDefaultDrawing = true;
    bool FSaveCellExtents = true;
    TGridOptions FDesignOptionsBoost{goColSizing};
    bool FVirtualView = false;
    bool FSizingLineShown = false;
    TRect FSizingLine;       // screen
    bool FMoveMarkShown = false;
    TRect FMoveMark;         // screen
    TPoint FMoveStart;
    bool FMoveStarted = false;
    uintptr_t FTimer = 0;
    TPoint FLastMouse;
    TCursor FSavedCursor = crDefault;
    bool FSizingCursor = false;
};

// The single-line edit a grid shows over its current cell: owned by,
// parented to and placed by the grid. Keys that move between cells go to
// the grid; Enter hands the text to the grid, Esc gives back the cell's text.
class TInplaceEdit : public TCustomEdit {
    QZ_CLASS(TInplaceEdit, TCustomEdit)
public:
    explicit TInplaceEdit(TComponent* owner = nullptr);
    TCustomGrid* Grid() const { return FGrid; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle v) { FEditStyle = v; }
    // Kept for the grids that check their input by a mask.
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v) { FEditMask = v; }
    // Reloads the text, mask, limit and read-only state from the grid's hooks.
    virtual void UpdateContents();
    // Puts the editor over r (grid client coordinates) and shows it.
    void Move(const TRect& r);
    void UpdateLoc(const TRect& r);
    bool PosEqual(const TRect& r) const { return BoundsRect() == r; }
    void Deselect() { SetSelLength(0); }
    void Hide();
protected:
    virtual void BoundsChanged() {}
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void CreateParams(TCreateParams& params) override;
private:
    // Hands a key to the grid (focus stays with whoever has it after).
    void SendToGrid(WORD& key, TShiftState shift);
    TCustomGrid* FGrid = nullptr;
    TEditStyle FEditStyle = esSimple;
    std::string FEditMask;
};

// A grid whose cells events draw.
class TDrawGrid : public TCustomGrid {
    QZ_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* owner = nullptr) : TCustomGrid(owner) {}
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void TopLeftChanged() override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    std::string GetEditMask(int col, int row) override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TMovedEvent OnColumnMoved, OnRowMoved;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText, OnGetEditMask;
    TSetEditEvent OnSetEditText;
};

// A grid of texts, each cell with an object beside it.
class TStringGrid : public TDrawGrid {
    QZ_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* owner = nullptr);
    ~TStringGrid() override;
    // Cells outside the grid read as empty; writing one raises EInvalidGridOperation.
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& value);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* obj);
    // A row's or column's texts as a list (a copy); setting one fills the
    // cells from the list's first entries.
    std::vector<std::string> Rows(int row) const;
    void SetRows(int row, const std::vector<std::string>& texts);
    std::vector<std::string> Cols(int col) const;
    void SetCols(int col, const std::vector<std::string>& texts);

    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;

protected:
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    struct TCell {
        std::string Text;
        TObject* Object = nullptr;
    };
    // Rows of cells, made as the grid's shape asks.
    std::vector<std::vector<TCell>> FData;
    bool FEditUpdate = false;
};
