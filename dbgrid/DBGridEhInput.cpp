// Keyboard and mouse input of the data-aware grid, and the selected rows.
// Rows are records: moving up and down moves the data set, not the base
// grid's current row, which follows the data set's active record.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"

#include "Forms.h"
#include "Clipbrd.h"
#include "DBGridEhRes.h"
#include "HostServices.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Messages.h"
#include "TextUtils.h"
#include "TypInfo.h"

#include <algorithm>

QZ_CLASS_IMPL_PROPS(TDBGridEhScrollBar, TPersistent, [](std::vector<TPropInfo>& p) {
    using C = TDBGridEhScrollBar;
    p.push_back(PublishObject<C>("ExtScrollBar", &C::ExtScrollBar, &C::SetExtScrollBar));
    p.push_back(PublishBool<C>("Tracking", &C::Tracking, &C::SetTracking, false));
    // The vertical bar keeps its visible mode in place of this.
    p.push_back(PublishBool<C>("Visible", &C::Visible, &C::SetVisible, true));
    p.back().StoredBy([](TObject* o) { return !static_cast<C*>(o)->Vertical(); });
})
QZ_CLASS_IMPL_PROPS(TVertDBGridEhScrollBar, TDBGridEhScrollBar, [](std::vector<TPropInfo>& p) {
    using C = TVertDBGridEhScrollBar;
    p.push_back(PublishEnum<C>("VisibleMode", &C::VisibleMode, &C::SetVisibleMode, sbAutoShowEh));
})

// ---- selection helpers of the grid ----------------------------------------------------------------

bool TCustomDBGridEh::SelectionAllowed(TDBGridEhSelectionType kind) const
{
    if (!FOptions.Contains(dgMultiSelect) || !FAllowedSelections.Contains(kind)) return false;
    if ((kind == gstRectangle || kind == gstColumns) && FOptions.Contains(dgRowSelect)) return false;
    return true;
}

bool TCustomDBGridEh::RowSelected() const
{
    return FSelection->Rows()->Count() > 0 && FDataLink->Active() && FSelection->Rows()->CurrentRowSelected();
}

void TCustomDBGridEh::ClearSelection()
{
    if (FOptionsEh.Contains(dghClearSelection)) {
        if (FOptions.Contains(dgMultiSelect)) FSelection->Rows()->Clear();
        if (FSelection->SelectionKind() != gstNon) FSelection->ClearAll();
    }
    FShiftSelecting = false;
}

int TCustomDBGridEh::VisibleDataRowCount() const
{
    int visible = FDataLink->Active() && !RowsFromMemTable() ? FDataLink->RecordCount() : VisibleRowCount();
    if (FFooterRowCount == 0) return std::max(1, visible);
    return std::max(1, visible);
}

// ---- row movement ----------------------------------------------------------------------------------

void TCustomDBGridEh::MoveBySelecting(bool select, int distance, bool rowMode, bool toEnd)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (!(rowMode || FOptions.Contains(dgRowSelect))) {
        // Rectangle mode: the rectangle follows the current cell.
        if (select && SelectionAllowed(gstRectangle)) {
            LockPaint();
            try {
                AnchorRectAtCurrentCell();
                if (toEnd) distance > 0 ? ds->Last() : ds->First();
                else ds->MoveBy(distance);
                ExtendRectToCurrentCell();
            } catch (...) {
                UnlockPaint();
                throw;
            }
            UnlockPaint();
            Invalidate();
            return;
        }
        if (toEnd) distance > 0 ? ds->Last() : ds->First();
        else ds->MoveBy(distance);
        return;
    }
    if (!FOptions.Contains(dgMultiSelect)) {
        if (toEnd) distance > 0 ? ds->Last() : ds->First();
        else ds->MoveBy(distance);
        return;
    }
    bool selecting = select && SelectionAllowed(gstRecordBookmarks);
    TBookmarkListEh* rows = FSelection->Rows();
    int step = distance < 0 ? -1 : 1;
    int steps = toEnd ? -1 : std::abs(distance);
    LockPaint();
    try {
        while (steps != 0) {
            if (!selecting) {
                ClearSelection();
            } else if (!FShiftSelecting) {
                FAnchor = ds->Bookmark();
                FAnchorWasSelected = rows->CurrentRowSelected();
                rows->SetCurrentRowSelected(FToggleMode ? !FAnchorWasSelected : true);
                FShiftSelecting = true;
            } else {
                int towards = ds->CompareBookmarks(ds->Bookmark(), FAnchor);
                if ((towards > 0 && step < 0) || (towards < 0 && step > 0))
                    rows->SetCurrentRowSelected(FToggleMode ? FAnchorWasSelected : false);
            }
            if (ds->MoveBy(step) == 0) break;
            if (selecting) {
                int side = ds->CompareBookmarks(ds->Bookmark(), FAnchor);
                if ((side > 0 && step > 0) || (side < 0 && step < 0))
                    rows->SetCurrentRowSelected(FToggleMode ? !FAnchorWasSelected : true);
            }
            if (steps > 0) --steps;
        }
    } catch (...) {
        UnlockPaint();
        throw;
    }
    UnlockPaint();
    Invalidate();
}

void TCustomDBGridEh::NextRow(bool select)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (ds->State() == dsInsert && !ds->Modified() && !FDataLink->EditPending()) {
        if (ds->Eof()) return;
        ds->Cancel();
    } else if (select && FShiftHeld) {
        MoveBySelecting(true, 1, !FAllowedSelections.Contains(gstRectangle), false);
    } else {
        MoveBySelecting(false, 1, true, false);
    }
    if (ds->Eof() && ds->CanModify() && !FReadOnly && FOptions.Contains(dgEditing) &&
        FAllowedOperations.Contains(alopAppendEh))
        ds->Append();
}

void TCustomDBGridEh::PriorRow(bool select)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (ds->State() == dsInsert && !ds->Modified() && !FDataLink->EditPending() && ds->Eof()) {
        ds->Cancel();
        return;
    }
    if (select && FShiftHeld) MoveBySelecting(true, -1, !FAllowedSelections.Contains(gstRectangle), false);
    else MoveBySelecting(false, -1, true, false);
}

void TCustomDBGridEh::AnchorRectAtCurrentCell()
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || ds->IsEmpty()) return;
    if (FSelection->SelectionKind() != gstRectangle) {
        FSelection->ClearAll();
        FSelection->SelectedRect()->SelectCell(SelectedIndex(), ds->Bookmark(), false);
    }
}

void TCustomDBGridEh::ExtendRectToCurrentCell()
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || ds->IsEmpty()) return;
    FSelection->SelectedRect()->SelectCell(SelectedIndex(), ds->Bookmark(), true);
}

void TCustomDBGridEh::MoveCol(int rawCol, int direction, bool extendRect)
{
    extendRect = extendRect && SelectionAllowed(gstRectangle);
    if (extendRect) AnchorRectAtCurrentCell();
    if (FDataLink->Active()) FDataLink->UpdateRecord();
    int first = FIndicatorColCount, last = ColCount() - 1;
    if (last < first) return;
    rawCol = std::clamp(rawCol, first, last);
    if (direction != 0) {
        while (ColWidths(rawCol) < 1) {
            rawCol += direction;
            if (rawCol < first || rawCol > last) return;
        }
    }
    if (rawCol != Col()) {
        if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
        if (!FOptions.Contains(dgRowSelect) && rawCol >= FixedCols()) MoveColRow(rawCol, Row(), true, true);
    }
    if (extendRect) ExtendRectToCurrentCell();
    StopIncrementalSearch();
}

void TCustomDBGridEh::MoveToNextTabStop(bool forward)
{
    ClearSelection();
    int first = FIndicatorColCount, last = ColCount() - 1;
    int start = Col();
    int c = start;
    LockPaint();
    try {
        for (;;) {
            c += forward ? 1 : -1;
            if (c > last) {
                NextRow(false);
                c = first;
            } else if (c < first) {
                PriorRow(false);
                c = last;
            }
            if (c == start) break;
            if (TabStops(c) && ColWidths(c) > 0) {
                MoveCol(c, 0, false);
                break;
            }
        }
    } catch (...) {
        UnlockPaint();
        throw;
    }
    UnlockPaint();
}

void TCustomDBGridEh::RunClipboardAction(const std::function<void(TCustomDBGridEh*)>& action)
{
    if (action) action(this);
}

bool TCustomDBGridEh::ConfirmRecordDelete()
{
    std::string q = FSelection->Rows()->Count() >= 2 ? "Delete all selected records?" : "Delete record?";
    if (!FOptions.Contains(dgConfirmDelete)) return true;
    return ::MessageBox(q, Application ? Application->Title() : std::string(), MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL;
}

// ---- keys ---------------------------------------------------------------------------------------------

void TCustomDBGridEh::KeyDown(WORD& key, TShiftState shift)
{
    FToggleMode = shift.Contains(ssCtrl) || !FOptionsEh.Contains(dghClearSelection);
    struct TShiftScope {
        bool& Flag;
        ~TShiftScope() { Flag = false; }
    } shiftScope{FShiftHeld};
    FShiftHeld = shift.Contains(ssShift) && FOptions.Contains(dgMultiSelect);
    TWinControl::KeyDown(key, shift);   // OnKeyDown
    if (key == 0) return;
    if (FSTFilter->EnterFilterRow(key, shift)) key = 0;
    if (key == 0) return;
    // What the editor holds goes to the record before the record moves.
    UpdateText();
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || !CanGridAcceptKey(key, shift)) return;
    if (HandleSearchKeys(key, shift)) {
        key = 0;
        return;
    }
    bool selecting = shift.Contains(ssShift) && FOptions.Contains(dgMultiSelect);
    bool ctrl = shift.Contains(ssCtrl);
    WORD k = key;
    if (ctrl) {
        if (!shift.Contains(ssShift) &&
            (k == VK_PRIOR || k == VK_NEXT || k == VK_END || k == VK_HOME || k == VK_UP || k == VK_DOWN))
            ClearSelection();
        switch (k) {
        case VK_UP:
        case VK_PRIOR: {
            // To the top record shown: over a memtable, the top row's.
            int d = RowsFromMemTable() ? TopRow() - FFirstDataRow - CurrentDataRowIndex() : -FDataLink->ActiveRecord();
            if (selecting) MoveBySelecting(true, d, false, false);
            else ds->MoveBy(d);
            break;
        }
        case VK_DOWN:
        case VK_NEXT: {
            int d = FDataLink->BufferCount() - FDataLink->ActiveRecord() - 1;
            if (RowsFromMemTable()) {
                TGridDrawInfo info;
                CalcDrawInfo(info);
                d = std::min(info.Vert.LastFullVisibleCell, RowCount() - 1) - FFirstDataRow - CurrentDataRowIndex();
            }
            if (selecting) MoveBySelecting(true, d, false, false);
            else ds->MoveBy(d);
            break;
        }
        case VK_END:
            if (selecting) MoveBySelecting(true, 1, false, true);
            else ds->Last();
            break;
        case VK_HOME:
            if (selecting) MoveBySelecting(true, -1, false, true);
            else ds->First();
            break;
        case VK_LEFT: MoveCol(FIndicatorColCount, 1, false); break;
        case VK_RIGHT: MoveCol(ColCount() - 1, -1, false); break;
        case VK_INSERT:
        case 'C':
            if (FEditActions.Contains(geaCopyEh) && CanCopy()) RunClipboardAction(DBGridEh::CopyAction);
            break;
        case 'X':
            if (FEditActions.Contains(geaCutEh) && CanCut()) RunClipboardAction(DBGridEh::CutAction);
            break;
        case 'V':
            if (FIncSearching) IncrementalSearch(Clipboard()->AsText(), FIncSearchTimeout, 0);
            else if (FEditActions.Contains(geaPasteEh) && CanPaste()) RunClipboardAction(DBGridEh::PasteAction);
            break;
        case 'A':
            if (FEditActions.Contains(geaSelectAllEh) && CanSelectAll()) FSelection->SelectWholeGrid();
            break;
        case VK_DELETE:
            if (FEditActions.Contains(geaDeleteEh) && FSelection->SelectionKind() != gstNon) {
                if (CanDeleteSelection()) RunClipboardAction(DBGridEh::DeleteAction);
            } else if (!FReadOnly && !ds->IsEmpty() && ds->CanModify() && FAllowedOperations.Contains(alopDeleteEh) &&
                       ConfirmRecordDelete()) {
                if (FSelection->Rows()->Count() > 0) FSelection->Rows()->DeleteSelectedRecords();
                else ds->Delete();
            }
            break;
        default: break;
        }
    } else {
        switch (k) {
        case VK_TAB:
            if (!shift.Contains(ssAlt)) MoveToNextTabStop(!shift.Contains(ssShift));
            break;
        case VK_RETURN:
            if (FOptionsEh.Contains(dghEnterAsTab)) MoveToNextTabStop(!shift.Contains(ssShift));
            break;
        case VK_ESCAPE:
            FDataLink->ResetEdit();
            ClearSelection();
            if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            int d = k == VK_PRIOR ? -VisibleDataRowCount() : VisibleDataRowCount();
            if (selecting) MoveBySelecting(true, d, !FAllowedSelections.Contains(gstRectangle), false);
            else {
                ClearSelection();
                ds->MoveBy(d);
            }
            break;
        }
        case VK_END:
        case VK_HOME: {
            bool end = k == VK_END;
            if (FColumns->Count() > 1 && !FOptions.Contains(dgRowSelect))
                MoveCol(end ? ColCount() - 1 : FIndicatorColCount, end ? -1 : 1, selecting);
            else if (selecting) MoveBySelecting(true, end ? 1 : -1, false, true);
            else {
                ClearSelection();
                end ? ds->Last() : ds->First();
            }
            break;
        }
        case VK_LEFT:
        case VK_RIGHT: {
            bool left = k == VK_LEFT;
            if (FOptions.Contains(dgRowSelect)) {
                if (left && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
                if (!left && LeftCol() < ColCount() - 1 && CellRect(ColCount() - 1, 0).Right == 0)
                    SetLeftCol(LeftCol() + 1);
            } else {
                if (!selecting) ClearSelection();
                MoveCol(Col() + (left ? -1 : 1), left ? -1 : 1, selecting);
            }
            break;
        }
        case VK_UP: PriorRow(true); break;
        case VK_DOWN: NextRow(true); break;
        case VK_MULTIPLY: ExpandCurrentNode(0); break;
        case VK_ADD: ExpandCurrentNode(1); break;
        case VK_SUBTRACT: ExpandCurrentNode(-1); break;
        case VK_INSERT:
            if (shift.Contains(ssShift)) {
                if (FIncSearching) IncrementalSearch(Clipboard()->AsText(), FIncSearchTimeout, 0);
                else if (FEditActions.Contains(geaPasteEh) && CanPaste()) RunClipboardAction(DBGridEh::PasteAction);
            } else if (ds->CanModify() && !FReadOnly && FOptions.Contains(dgEditing)) {
                ClearSelection();
                if (FAllowedOperations.Contains(alopInsertEh)) ds->Insert();
                else if (FAllowedOperations.Contains(alopAppendEh)) ds->Append();
            }
            break;
        case VK_F2: SetEditorMode(true); break;
        case VK_DELETE:
            if (shift.Contains(ssShift) && FEditActions.Contains(geaCutEh) && CanCut())
                RunClipboardAction(DBGridEh::CutAction);
            break;
        default: break;
        }
        // Delete clears a check box that may be empty.
        if (k == VK_DELETE && !FOptions.Contains(dgRowSelect)) {
            TColumnEh* c = CurrentColumn();
            TField* f = c ? c->Field() : nullptr;
            if (c && f && (c->CellKind() == ckCheckboxes || c->CellKind() == ckKeyImageList) && !f->Required() &&
                c->CanModify(true))
                c->WriteCellValue("", Null(), false);
        }
    }
    key = 0;
}

// Space steps a check box; Enter hands the editor's text on (or moves like
// Tab with dghEnterAsTab).
void TCustomDBGridEh::KeyPress(char& key)
{
    if (key == '\r' && FOptionsEh.Contains(dghEnterAsTab)) key = '\t';
    TColumnEh* c = CurrentColumn();
    bool checkBox = key == ' ' && !FOptions.Contains(dgRowSelect) && c && c->CellKind() == ckCheckboxes &&
                    FDataLink->Active();
    bool lead = FSearchLead != 0;
    bool search = !checkBox && (lead || CharGoesToSearch(key));
    TCustomGrid::KeyPress(key);
    if (key == 0) {
        FSearchLead = 0;
        return;
    }
    if (checkBox) {
        c->StepCellValue(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        key = 0;
        return;
    }
    if (!search) return;
    // A Chinese character comes as two bytes: the search waits for the second.
    if (!lead && static_cast<unsigned char>(key) >= 0x81) {
        FSearchLead = key;
        return;
    }
    std::string text = lead ? GbkToUtf8(std::string{FSearchLead, key}) : std::string(1, key);
    FSearchLead = 0;
    key = 0;
    if (text == "\b") return;   // Backspace is the search's own key (KeyDown)
    IncrementalSearch(text, FIncSearching ? FIncSearchTimeout : DBGridEh::IncSearchTimeout, 0);
}

void TCustomDBGridEh::KeyUp(WORD& key, TShiftState shift)
{
    if (FSortPending && key == VK_CONTROL) {
        FSortPending = false;
        DoSortMarkingChanged();
    }
    TCustomGrid::KeyUp(key, shift);
}

// ---- the mouse -------------------------------------------------------------------------------------------

void TCustomDBGridEh::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    FPressedTitleCol = -1;
    FPressedCell = {-1, -1};
    if (TGridCoord at = MouseCoord(x, y); (button == mbLeft || button == mbRight) && FSTFilter->FilterCellPressed(at.X, at.Y))
        return;
    // A double click on a title's right edge fits that column to its contents.
    if (button == mbLeft && shift.Contains(ssDouble) && Sizing(x, y) &&
        FOptionsEh.Contains(dghDblClickOptimizeColWidth)) {
        TGridCoord left = MouseCoord(x - 3, y);
        int d = RawToDataColumn(left.X);
        if (left.Y >= 0 && left.Y < TitleRowCount() && d >= 0 && d < FColumns->Count()) {
            FitColumnWidths({FColumns->Items(d)});
            return;
        }
    }
    if (button != mbLeft || Sizing(x, y)) {
        TCustomGrid::MouseDown(button, shift, x, y);
        return;
    }
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X < 0 || cell.Y < 0) {
        TCustomGrid::MouseDown(button, shift, x, y);
        return;
    }
    int c = cell.X, r = cell.Y;
    int type = GetCellType(c, r);
    int colKind = type & 0xFF, rowKind = type >> 8;
    if (CanFocus() && !Focused()) SetFocus();
    FLastMouse = Point(x, y);
    FTrackShift = shift;
    // The bottom edge of a title selects columns.
    if (int d = -1; InColumnSelectZone(x, y, d)) {
        TColumnEh* column = FColumns->Items(d);
        TDBGridEhSelectionCols* cols = FSelection->SelectedColumns();
        if (shift.Contains(ssShift)) cols->ExtendToColumn(column);
        else if (shift.Contains(ssCtrl)) cols->ToggleColumn(column);
        else {
            Invalidate();
            cols->SelectColumn(column, false);
        }
        FTracking = gtColumns;
        StartAutoScrollTimer(60);
        return;
    }
    if (rowKind == 0 && colKind == 1 && c < FColumns->Count()) {
        if (CheckTitleButton(c, FColumns->Items(c))) {
            FPressedTitleCol = cell.X;
            InvalidateCell(cell.X, cell.Y);
            return;
        }
        TCustomGrid::MouseDown(button, shift, x, y);   // column moving starts in the base
        return;
    }
    // The top left title cell selects everything, or clears the selection.
    if (rowKind == 0 && colKind == 0 && FOptions.Contains(dgColumnResize) && FOptions.Contains(dgMultiSelect) &&
        FDataLink->Active() && FAllowedSelections.Contains(gstAll)) {
        if (FSelection->SelectionKind() != gstNon) FSelection->ClearAll();
        else FSelection->SelectWholeGrid();
        InvalidateEditor();
        return;
    }
    if (rowKind != 2 || !FDataLink->Active()) return;
    if (HandleTreeClick(x, y, false)) return;
    TDataSet* ds = FDataLink->DataSet();
    if (r >= DataRowCount()) return;
    FToggleMode = shift.Contains(ssCtrl) || !FOptionsEh.Contains(dghClearSelection);
    bool rectAllowed = SelectionAllowed(gstRectangle);
    bool rowMode = colKind == 0 || FOptions.Contains(dgRowSelect) || !rectAllowed;
    bool rowSelection = SelectionAllowed(gstRecordBookmarks) && rowMode &&
                        (colKind == 0 || FOptions.Contains(dgRowSelect) || shift.Contains(ssCtrl) ||
                         shift.Contains(ssShift));
    TDBCell oldCell{SelectedIndex(), ds->IsEmpty() ? TBookmarkStr() : ds->Bookmark()};
    int distance = r - CurrentDataRowIndex();
    if (rowSelection && shift.Contains(ssShift) && distance != 0) {
        MoveBySelecting(true, distance, true, false);
    } else {
        if (!shift.Contains(ssCtrl) && !shift.Contains(ssShift)) ClearSelection();
        if (distance != 0) ds->MoveBy(distance);
        if (rowSelection && shift.Contains(ssCtrl)) {
            TBookmarkListEh* rows = FSelection->Rows();
            rows->SetCurrentRowSelected(!rows->CurrentRowSelected());
        } else if (rowSelection && colKind == 0) {
            FSelection->Rows()->SetCurrentRowSelected(true);
        }
    }
    if (colKind == 1) MoveCol(cell.X, 0, false);
    FPressedCell = cell;
    if (button != mbLeft) return;
    if (colKind == 1 && !rowMode && !ds->IsEmpty()) {
        // A press starts a rectangle at the cell, or with Shift stretches one
        // from the cell that was current.
        TDBGridEhSelectionRect* rect = FSelection->SelectedRect();
        if (shift.Contains(ssShift) && !oldCell.Row.empty()) {
            if (FSelection->SelectionKind() != gstRectangle) {
                FSelection->ClearAll();
                rect->SelectCell(oldCell.Col, oldCell.Row, false);
            }
            rect->SelectCell(SelectedIndex(), ds->Bookmark(), true);
        } else {
            rect->SelectCell(SelectedIndex(), ds->Bookmark(), false);
        }
        FTracking = gtRectangle;
    } else if (rowSelection || (SelectionAllowed(gstRecordBookmarks) && colKind == 0)) {
        // Dragging over the indicator goes on selecting rows from here.
        FTracking = gtRows;
        FAnchor = ds->Bookmark();
        FAnchorWasSelected = !FSelection->Rows()->CurrentRowSelected();
        FShiftSelecting = true;
    } else if (colKind == 1) {
        FTracking = gtData;
    }
}

void TCustomDBGridEh::CellHint(THintInfo& info)
{
    TGridCoord cell = MouseCoord(info.CursorPos.X, info.CursorPos.Y);
    if (cell.X < FIndicatorColCount || cell.Y < 0) return;
    int c = cell.X, r = cell.Y;
    int type = GetCellType(c, r);
    int rowKind = type >> 8;
    if ((type & 0xFF) != 1 || c >= FColumns->Count()) return;
    TColumnEh* column = FColumns->Items(c);
    bool title = rowKind == 0 && cell.Y == TitleRowCount() - 1;
    bool data = rowKind == 2 && FDataLink->Active() && r < DataRowCount();
    bool footer = rowKind == 4 && FDataLink->Active();
    if (title && !column->Title()->Hint().empty()) {
        info.HintStr = GetShortHint(column->Title()->Hint());
        info.CursorRect = CellRect(cell.X, cell.Y);
        return;
    }
    bool tips = (title && column->Title()->ToolTips()) || ((data || footer) && column->ToolTips());
    if (!tips || MouseCapture() || GetKeyState(VK_CONTROL) < 0) return;
    TRect rect = CellRect(cell.X, cell.Y);
    int edge = rect.Left + column->Width();
    std::string text;
    TAlignment align = taLeftJustify;
    bool wrap = false, alwaysTip = false;
    TFont font;
    if (title) {
        int w = column->Title()->SortMarkerWidth();
        if (w > 2) {
            rect.Right -= w - 2;
            edge -= w - 2;
        }
        THeadTreeNode* leaf = FUseMultiTitle ? LeafNode(c) : nullptr;
        text = leaf ? leaf->NodeText : column->Title()->Caption();
        align = column->Title()->Alignment();
        wrap = FUseMultiTitle || FTitleHeight != 0 || FTitleLines != 0;
        font.Assign(column->Title()->Font());
    } else if (data) {
        BeginRowRead(r);
        try {
            // The tree part before the first column's text takes no tip.
            if (!FShownColumns.empty() && column == FShownColumns.front()) rect.Left += TreeIndent();
            TCellKindEh kind = column->CellKind();
            if (kind == ckCheckboxes || kind == ckKeyImageList) {
                // The pick list names the states or the images.
                int i = kind == ckCheckboxes ? int(column->CellCheckState())
                                             : column->KeyList()->IndexOf(column->Field() ? column->Field()->Text() : "");
                TStrings* picks = column->PickList();
                if (i >= 0 && i < picks->Count()) text = picks->Strings(i);
                alwaysTip = true;
            } else {
                align = column->Alignment();
                if (column->Field()) text = column->CellDisplayText();
            }
            wrap = column->WordWrap() && DefaultRowHeight() > TextHeightOf(column->Font()) + FTextVerticalMargin;
            font.Assign(column->Font());
            TColor bg = column->Color();
            GetCellParams(column, &font, bg, {});
        } catch (...) {
            EndRowRead();
            throw;
        }
        EndRowRead();
    } else {
        TColumnFooterEh* f = column->FooterForRow(r - 1);
        text = FooterValueText(column, r - 1);
        align = f->Alignment();
        wrap = f->WordWrap();
        font.Assign(f->Font());
    }
    bool fits = false;
    if (!alwaysTip) {
        TCanvas* cv = FMeasureBitmap->Canvas();
        cv->Font()->Assign(&font);
        int room = rect.Right - rect.Left - 4;
        if (wrap) {
            TRect calc{0, 0, std::max(room, 1), 0};
            cv->DrawText(text, calc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            fits = calc.Bottom - calc.Top <= rect.Bottom - rect.Top && calc.Right - calc.Left <= room;
        } else {
            fits = cv->TextWidth(text) <= room;
        }
    }
    if (fits && !(align == taRightJustify && rect.Right < edge - 2)) {
        info.HintStr.clear();
        return;
    }
    TCanvas* cv = FMeasureBitmap->Canvas();
    cv->Font()->Assign(&font);
    int w = cv->TextWidth(text);
    int x = rect.Left - 1;
    if (align == taRightJustify) x = edge - w - 6;
    else if (align == taCenter) {
        int o = edge - rect.Left - 4;
        x = edge + w / 2 - w - o / 2 - 5;
    }
    info.HintStr = text;
    info.CursorRect = rect;
    info.HintPos = ClientToScreen(Point(x, rect.Top - (FFlat ? 2 : 1)));
    if (wrap) info.HintMaxWidth = rect.Right - rect.Left - 4;
}

TPopupMenu* TColumnEh::PopupMenu() const { return FPopupMenu.Get(); }
void TColumnEh::SetPopupMenu(TPopupMenu* v) { FPopupMenu = v; }

bool TCustomDBGridEh::ShowColumnPopupMenu(const TMessage& message)
{
    TPoint screen = Point(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
    if (screen.X == -1 && screen.Y == -1) return false;   // from the keyboard: the grid's own menu
    TPoint p = ScreenToClient(screen);
    TGridCoord cell = MouseCoord(p.X, p.Y);
    int d = RawToDataColumn(cell.X);
    if (cell.X < FIndicatorColCount || cell.Y < 0 || d < 0 || d >= FColumns->Count()) return false;
    TPopupMenu* menu = FColumns->Items(d)->PopupMenu();
    if (!menu || !menu->AutoPopup()) return false;
    Perform(WM_CANCELMODE, 0, 0);
    menu->SetPopupComponent(this);
    menu->Popup(screen.X, screen.Y);
    return true;
}

// Over the indicator the cursor says rows may be selected; over a title's
// bottom edge, columns.
void TCustomDBGridEh::UpdateSelectionCursor()
{
    TCursor wanted = crDefault;
    bool special = false;
    if (Mouse && HandleAllocated() && FDataLink->Active() && FOptions.Contains(dgMultiSelect) &&
        !ComponentState().Contains(csDesigning)) {
        TPoint p = ScreenToClient(Mouse->CursorPos());
        TGridCoord cell = MouseCoord(p.X, p.Y);
        int d = -1;
        if (Sizing(p.X, p.Y)) {
        } else if (cell.X >= 0 && cell.X < FIndicatorColCount && cell.Y >= FFirstDataRow &&
                   cell.Y < FFirstDataRow + FDataLink->RecordCount() && !FDataLink->DataSet()->IsEmpty() &&
                   FAllowedSelections.Contains(gstRecordBookmarks)) {
            wanted = IsRightToLeft() ? DBGridEh::RowSelectCursorRtl() : DBGridEh::RowSelectCursor();
            special = true;
        } else if (InColumnSelectZone(p.X, p.Y, d)) {
            wanted = DBGridEh::ColumnSelectCursor();
            special = true;
        }
    }
    if (special) {
        if (!FCursorOverridden) FUserCursor = Cursor();
        FCursorOverridden = true;
        SetCursor(wanted);
    } else if (FCursorOverridden) {
        FCursorOverridden = false;
        SetCursor(FUserCursor);
    }
}

bool TCustomDBGridEh::InColumnSelectZone(int x, int y, int& dataCol) const
{
    if (!FOptions.Contains(dgMultiSelect) || !FOptions.Contains(dgTitles) || FOptions.Contains(dgRowSelect) ||
        !FAllowedSelections.Contains(gstColumns) || !FDataLink->Active() || Sizing(x, y))
        return false;
    TGridCoord cell = MouseCoord(x, y);
    if (cell.Y != 0 || cell.X < FIndicatorColCount) return false;
    int d = RawToDataColumn(cell.X);
    if (d < 0 || d >= FColumns->Count()) return false;
    TRect r = CellRect(cell.X, 0);
    if (r.Bottom - r.Top >= 7 && y < r.Bottom - 7) return false;
    dataCol = d;
    return true;
}

TRect TCustomDBGridEh::DataCellsBox() const
{
    int lastRow = FFirstDataRow + std::max(1, VisibleDataRowCount()) - 1;
    return BoxRect(FixedCols(), FFirstDataRow, ColCount() - 1, lastRow);
}

void TCustomDBGridEh::MouseMove(TShiftState shift, int x, int y)
{
    bool moved = x != FLastMouse.X || y != FLastMouse.Y;
    FLastMouse = Point(x, y);
    if (FTracking == gtNone || !FDataLink->Active()) {
        TCustomGrid::MouseMove(shift, x, y);
        return;
    }
    TRect box = DataCellsBox();
    if (FTracking == gtColumns) {
        TGridCoord cell = MouseCoord(std::clamp(x, 0, ClientWidth() - 1), 0);
        int d = RawToDataColumn(cell.X);
        if (x < box.Left || x >= box.Right || d < 0 || d >= FColumns->Count()) AutoScrollStep();
        else FSelection->SelectedColumns()->ExtendToColumn(FColumns->Items(d));
        return;
    }
    int cx = std::clamp(x, 0, std::max(0, ClientWidth() - 1)), cy = std::clamp(y, 0, std::max(0, ClientHeight() - 1));
    TGridCoord cell = MouseCoord(cx, cy);
    if (cy >= box.Top && cy < box.Bottom && cell.Y >= FFirstDataRow && cell.Y != Row()) {
        int wanted = cell.Y - FFirstDataRow;
        if (wanted < FDataLink->RecordCount())
            MoveBySelecting(shift.Contains(ssLeft) && moved, wanted - FDataLink->ActiveRecord(),
                            FTracking != gtRectangle, false);
    }
    if ((FTracking == gtData || FTracking == gtRectangle) && cx >= box.Left && cx < box.Right &&
        cell.X >= FIndicatorColCount && cell.X != Col()) {
        MoveCol(cell.X, cell.X > Col() ? 1 : -1, false);
    }
    if (FTracking == gtRectangle && !FDataLink->DataSet()->IsEmpty())
        FSelection->SelectedRect()->SelectCell(SelectedIndex(), FDataLink->DataSet()->Bookmark(), moved);
    FTrackShift = shift;
    AutoScrollStep();
}

void TCustomDBGridEh::StartAutoScrollTimer(int ms)
{
    if (!HandleAllocated()) return;
    if (FAutoScrollInterval == ms) return;
    if (FAutoScrollInterval >= 0) KillTimer(Handle(), DBGridEh::AutoScrollTimerId);
    SetTimer(Handle(), DBGridEh::AutoScrollTimerId, UINT(std::max(0, ms)));
    FAutoScrollInterval = ms;
}

void TCustomDBGridEh::StopAutoScrollTimer()
{
    if (FAutoScrollInterval < 0) return;
    if (HandleAllocated()) KillTimer(Handle(), DBGridEh::AutoScrollTimerId);
    FAutoScrollInterval = -1;
}

void TCustomDBGridEh::EndMouseTracking()
{
    StopAutoScrollTimer();
    FTracking = gtNone;
    FShiftSelecting = false;
}

// One step of scrolling while the mouse, pressed in the grid, is held
// outside the data cells: the further out, the bigger and faster the steps.
void TCustomDBGridEh::AutoScrollStep()
{
    TDataSet* ds = FDataLink->DataSet();
    if (FTracking == gtNone || !FDataLink->Active() || !ds) {
        StopAutoScrollTimer();
        return;
    }
    TRect box = DataCellsBox();
    int x = FLastMouse.X, y = FLastMouse.Y;
    bool hiddenRight = LeftCol() + VisibleColCount() < ColCount();
    if (FTracking == gtColumns) {
        TDBGridEhSelectionCols* cols = FSelection->SelectedColumns();
        auto extendTo = [&](int raw) {
            int d = RawToDataColumn(raw);
            if (d >= 0 && d < FColumns->Count()) cols->ExtendToColumn(FColumns->Items(d));
        };
        if (x >= box.Right) {
            if (hiddenRight) {
                SetLeftCol(LeftCol() + 1);
                int lastFull = LeftCol() + VisibleColCount() - 1;
                int next = LeftCol() + VisibleColCount() + FixedCols();
                extendTo(next < ColCount() ? next : lastFull);
            } else {
                extendTo(LeftCol() + VisibleColCount() - 1);
            }
            StartAutoScrollTimer(std::max(0, 200 - 10 * (x - box.Right)));
        } else if (x < box.Left) {
            if (LeftCol() > FixedCols()) {
                SetLeftCol(LeftCol() - 1);
                extendTo(LeftCol() > FixedCols() ? LeftCol() - 1 : LeftCol());
            } else {
                extendTo(LeftCol());
            }
            StartAutoScrollTimer(std::max(0, 200 - 10 * (box.Left - x)));
        }
        return;
    }
    int dv = y < box.Top ? box.Top - y : (y >= box.Bottom ? y - box.Bottom + 1 : 0);
    int dh = x >= box.Right ? x - box.Right : (x < box.Left ? box.Left - x : 0);
    int d = std::max(dv, dh);
    if (d == 0) {
        StopAutoScrollTimer();
        return;
    }
    int rows = std::min(d / 6, 8) * (y < box.Top ? -1 : 1);
    LockPaint();
    try {
        if (dv > 0 && FTracking != gtRectangle)
            MoveBySelecting(FTrackShift.Contains(ssLeft), rows, true, false);
        if (dh > 0 && FTracking == gtData) {
            if (x < box.Left && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
            else if (x >= box.Right && hiddenRight) SetLeftCol(LeftCol() + 1);
        }
        if (dh > 0 && FTracking != gtRows) MoveCol(Col() + (x < box.Left ? -1 : 1), x < box.Left ? -1 : 1, false);
        if (FTracking == gtRectangle) {
            if (dv > 0) ds->MoveBy(rows);
            if (!ds->IsEmpty()) FSelection->SelectedRect()->SelectCell(SelectedIndex(), ds->Bookmark(), true);
        }
    } catch (...) {
        UnlockPaint();
        throw;
    }
    UnlockPaint();
    if (PaintLockCount() == 0) Invalidate();
    StartAutoScrollTimer(std::max(0, 200 - 15 * d));
}

void TCustomDBGridEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    EndMouseTracking();
    // A row edge dragged over the indicator sets the height of every row.
    if (GridState() == gsRowSizing) FRowSizingRelease = true;
    TGridCoord cell = MouseCoord(x, y);
    if (FPressedTitleCol >= 0) {
        int raw = FPressedTitleCol;
        FPressedTitleCol = -1;
        InvalidateCell(raw, 0);
        if (cell.X == raw && cell.Y >= 0 && cell.Y < TitleRowCount()) {
            int d = RawToDataColumn(raw);
            TColumnEh* column = FColumns->Items(d);
            if (FOptionsEh.Contains(dghAutoSortMarking)) {
                bool keep = shift.Contains(ssCtrl) && FOptionsEh.Contains(dghMultiSortMarking);
                column->Title()->CycleSortMarker(keep);
                if (keep) FSortPending = true;
                else DoSortMarkingChanged();
            }
            TitleBtnClick(d, column);
        }
        return;
    }
    TGridCoord pressed = FPressedCell;
    FPressedCell = {-1, -1};
    if (pressed.X >= 0 && cell == pressed) {
        int c = cell.X, r = cell.Y;
        int type = GetCellType(c, r);
        if ((type >> 8) == 2 && (type & 0xFF) == 1 && c < FColumns->Count()) {
            TColumnEh* column = FColumns->Items(c);
            if (column->CellKind() == ckCheckboxes && !FOptions.Contains(dgRowSelect)) {
                column->StepCellValue(shift.Contains(ssShift) ? -1 : 1);
            }
            CellClick(column);
        }
        return;
    }
    TCustomGrid::MouseUp(button, shift, x, y);
}

void TCustomDBGridEh::TimedScroll(TGridScrollDirections direction)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (direction.Contains(sdUp)) ds->MoveBy(-(FDataLink->ActiveRecord() + 1));
    else if (direction.Contains(sdDown)) ds->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
    TGridScrollDirections sideways = direction * TGridScrollDirections{sdLeft, sdRight};
    if (!sideways.Empty()) TCustomGrid::TimedScroll(sideways);
}

// ---- user row sizing ---------------------------------------------------------------------------------------

// Rows are sized only over the indicator.
void TCustomDBGridEh::CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                                      const TGridDrawInfo& fixedInfo)
{
    TCustomGrid::CalcSizingState(x, y, state, index, sizingPos, sizingOfs, fixedInfo);
    if (state == gsColSizing && index > ColCount() - 1) index = ColCount() - 1;
    if (state == gsRowSizing) {
        int indicatorRight = FIndicatorColCount > 0 ? CellRect(0, 0).Right : 0;
        if (FIndicatorColCount == 0 || x >= indicatorRight + LineWidth()) state = gsNormal;
    }
}

// A row the user sized gives its height to every data row.
void TCustomDBGridEh::RowHeightsChanged()
{
    if (FRowSizingRelease) {
        FRowSizingRelease = false;
        int first = FOptions.Contains(dgTitles) ? 1 : 0;
        int last = FFooterRowCount > 0 ? RowCount() - FFooterRowCount - 2 : RowCount() - 1;
        for (int r = first; r <= last; ++r) {
            if (RowHeights(r) != DefaultRowHeight()) {
                int h = RowHeights(r);
                SetRowLines(0);
                SetRowHeight(h);
                RefreshVertScrollBar();
                break;
            }
        }
    }
    TCustomGrid::RowHeightsChanged();
}

// ---- the vertical scroll bar and the wheel ------------------------------------------------------------

// A flat grid draws a thin border of its own in place of the sunken edge.
void TCustomDBGridEh::CreateParams(TCreateParams& params)
{
    TCustomGrid::CreateParams(params);
    params.Style |= WS_VSCROLL | WS_CLIPCHILDREN;
    FFlatBorderWidth = 0;
    if (FFlat && Ctl3D()) {
        params.Style &= ~DWORD(WS_BORDER);
        params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
        if (BorderStyle() == bsSingle) FFlatBorderWidth = 1;
    }
}

void TCustomDBGridEh::PaintFlatBorder(HDC dc)
{
    if (!FFlat || BorderStyle() != bsSingle || !Ctl3D()) return;
    TRect r{0, 0, Width(), Height()};
    DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT);
}

void TCustomDBGridEh::RefreshVertScrollBar()
{
    if (!FDataLink || !HandleAllocated()) return;
    if (RowsFromMemTable()) {
        RefreshMemTableScrollBar();
        return;
    }
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    TDataSet* ds = FDataLink->DataSet();
    if (FDataLink->Active() && ds) {
        if (ds->IsSequenced()) {
            si.nMin = 1;
            si.nPage = UINT(VisibleDataRowCount());
            si.nMax = ds->RecordCount() + int(si.nPage) - 1;
            if (ds->State() >= dsInsert) si.fMask &= ~SIF_POS;   // the thumb stays while inserting
            si.nPos = std::max(1, ds->RecNo());
        } else {
            si.nMin = 0;
            si.nPage = 0;
            si.nMax = 4;
            si.nPos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
        }
    }
    ApplyVertScrollInfo(si, si.nMax - si.nMin + 1 <= int(si.nPage) || !FDataLink->Active());
}

void TCustomDBGridEh::ApplyVertScrollInfo(TScrollInfo si, bool nothingToScroll)
{
    TScrollBarVisibleModeEh mode = FVertScrollBar->VisibleMode();
    TScrollBar* ext = FVertScrollBar->ExtScrollBar();
    const TScrollInfo wanted = si;
    // An external bar, or none at all: the window's own bar collapses.
    if (ext || mode == sbNeverShowEh) si.nMax = si.nMin;
    const bool alwaysShown = mode == sbAlwaysShowEh && !ext;
    if (alwaysShown) si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(Handle(), SB_VERT, &si, 1);
    bool show = alwaysShown || (mode == sbAutoShowEh && !ext && !nothingToScroll);
    ShowScrollBar(Handle(), SB_VERT, show ? 1 : 0);
    if (alwaysShown) EnableScrollBar(Handle(), SB_VERT, nothingToScroll ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    if (!ext) return;
    const int pos = wanted.fMask & SIF_POS ? wanted.nPos : ext->Position();
    ext->SetPageSize(0);
    ext->SetParams(pos, std::min(wanted.nMin, wanted.nMax), wanted.nMax);
    ext->SetPosition(pos);
    ext->SetPageSize(int(wanted.nPage));
}

int TCustomDBGridEh::LastLeftCol(int col) const
{
    if (col < FixedCols()) return col;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    return FirstOfLastPage(d.Horz, col, FixedCols());
}

void TCustomDBGridEh::RefreshHorzExtScrollBar()
{
    TScrollBar* ext = FHorzScrollBar->ExtScrollBar();
    if (!ext) return;
    const int last = LastLeftCol(ColCount() - 1);
    const bool allShown = VisibleColCount() + FixedCols() >= ColCount() || last <= FixedCols();
    const int max = allShown ? 0 : 127;
    const int pos = allShown ? 0 : MulDiv(LeftCol() - FixedCols(), 127, last - FixedCols());
    if (ext->Min() == 0 && ext->Max() == max && ext->Position() == pos) return;
    ext->SetPageSize(0);
    ext->SetParams(pos, 0, max);
}

// With Tracking the columns follow the thumb; an external bar's thumb
// (0 to 127) stands for the left column's share of the way.
void TCustomDBGridEh::WMHScrollEh(TMessage& m)
{
    const int code = LOWORD(m.WParam);
    TScrollBar* ext = FHorzScrollBar->ExtScrollBar();
    const bool fromExt = ext && ext->HandleAllocated() && reinterpret_cast<HWND>(m.LParam) == ext->Handle();
    const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    if (fromExt && thumb) {
        if (code == SB_THUMBPOSITION || FHorzScrollBar->Tracking()) {
            TScrollInfo si;
            si.fMask = SIF_TRACKPOS;
            FHorzScrollBar->ReadScrollInfo(si);
            const int last = LastLeftCol(ColCount() - 1);
            SetLeftCol(FixedCols() + MulDiv(std::clamp(si.nTrackPos, 0, 127), last - FixedCols(), 127));
        }
        m.Result = 0;
    } else if (code == SB_THUMBTRACK && FHorzScrollBar->Tracking()) {
        TMessage p{m.Msg, MAKEWPARAM(SB_THUMBPOSITION, HIWORD(m.WParam)), m.LParam, 0};
        TCustomGrid::Dispatch(p);
    } else {
        TCustomGrid::Dispatch(m);
    }
    RefreshHorzExtScrollBar();
}

bool TDBGridEhScrollBar::ReadScrollInfo(TScrollInfo& info) const
{
    if (FExtScrollBar) return FExtScrollBar->HandleAllocated() && GetScrollInfo(FExtScrollBar->Handle(), SB_CTL, &info) != 0;
    if (!FGrid || !FGrid->HandleAllocated()) return false;
    return GetScrollInfo(FGrid->Handle(), FVertical ? SB_VERT : SB_HORZ, &info) != 0;
}

TDBGridEhScrollBar::~TDBGridEhScrollBar()
{
    if (FExtScrollBar) SetExtScrollBar(nullptr);
}

void TDBGridEhScrollBar::SetVisible(bool v)
{
    SetVisibleMode(v ? sbAutoShowEh : sbNeverShowEh);
    RefreshExtScrollBarVisible();
}

bool TDBGridEhScrollBar::ScrollBarShown() const
{
    if (FExtScrollBar) return FExtScrollBar->Visible();
    if (!Visible() || !FGrid || !FGrid->HandleAllocated()) return false;
    TScrollBarInfo info;
    if (!GetScrollBarInfo(FGrid->Handle(), FVertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info)) return false;
    return !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

void TDBGridEhScrollBar::RefreshExtScrollBarVisible()
{
    if (FExtScrollBar) FExtScrollBar->SetVisible(Visible());
}

void TDBGridEhScrollBar::SetExtScrollBar(TScrollBar* v)
{
    if (v == FExtScrollBar) return;
    const bool designing = FGrid && FGrid->ComponentState().Contains(csDesigning);
    // The bar answers to one window procedure hook at a time.
    if (v && !designing && v->WindowProc)
        throw Exception("Possible " + v->Name() + " already attached to the other control.");
    if (FExtScrollBar && !designing) FExtScrollBar->WindowProc = nullptr;
    if (FExtScrollBar && FGrid) FExtScrollBar->RemoveFreeNotification(FGrid);
    FExtScrollBar = v;
    if (v) {
        if (FGrid) v->FreeNotification(FGrid);
        if (!designing) v->WindowProc = [this](TMessage& m) { ExtScrollBarWindowProc(m); };
    }
    RefreshExtScrollBarVisible();
    if (!FGrid || FGrid->ComponentState().Contains(csDestroying)) return;
    if (FGrid->HandleAllocated()) {
        if (FVertical) FGrid->RefreshVertScrollBar();
        else FGrid->RefreshHorzExtScrollBar();
    }
    FGrid->RequestLayout();
}

void TDBGridEhScrollBar::ExtScrollBarWindowProc(TMessage& message)
{
    TScrollBar* bar = FExtScrollBar;
    const bool scroll = FGrid && (message.Msg == CN_HSCROLL || message.Msg == CN_VSCROLL);
    if (scroll) FGrid->Perform(FVertical ? WM_VSCROLL : WM_HSCROLL, message.WParam, message.LParam);
    if (!bar) return;
    TWeakRef<TControl> alive(bar);
    bar->WndProc(message);
    // The bar's own step would move it past where the grid went: it shows
    // the grid's place again (not while its thumb is dragged).
    if (!scroll || !alive || FExtScrollBar != bar || LOWORD(message.WParam) == SB_THUMBTRACK) return;
    if (FVertical) FGrid->RefreshVertScrollBar();
    else FGrid->RefreshHorzExtScrollBar();
}

void TDBGridEhScrollBar::SetVisibleMode(TScrollBarVisibleModeEh v)
{
    if (v == FVisibleMode) return;
    FVisibleMode = v;
    if (!FGrid) return;
    if (FVertical) FGrid->RefreshVertScrollBar();
    FGrid->RequestLayout();
}

void TDBGridEhScrollBar::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TDBGridEhScrollBar*>(source)) {
        SetVisible(s->Visible());
        SetTracking(s->Tracking());
        SetExtScrollBar(s->ExtScrollBar());
        return;
    }
    TPersistent::Assign(source);
}

void TCustomDBGridEh::Dispatch(TMessage& message)
{
    if (message.Msg == WM_VSCROLL) WMVScroll(message);
    else if (message.Msg == WM_HSCROLL) WMHScrollEh(message);
    else if (message.Msg == WM_IME_STARTCOMPOSITION) {
        TCustomGrid::Dispatch(message);
        // What is being composed goes to the cell editor, unless typing here
        // searches: then the committed text comes to the search.
        if (!CharGoesToSearch('a')) {
            if (FSTFilter->FilterEditorActive()) FSTFilter->CloseFilterEditor();
            ShowEditor();
        }
    }
    else if (message.Msg == WM_CHAR && MemTableIsTree() &&
             (message.WParam == '*' || message.WParam == '+' || message.WParam == '-'))
        DoKeyPress(message);   // the tree's keys open no editor
    else if (message.Msg == WM_TIMER && message.WParam == DBGridEh::IncSearchTimerId) StopIncrementalSearch();
    else if (message.Msg == WM_TIMER && message.WParam == DBGridEh::AutoScrollTimerId) AutoScrollStep();
    else if (message.Msg == CM_HINTSHOW) {
        TCustomGrid::Dispatch(message);
        if (message.Result == 0 && message.LParam) CellHint(*reinterpret_cast<THintInfo*>(message.LParam));
    } else if (message.Msg == WM_CONTEXTMENU && message.Result == 0 && ShowColumnPopupMenu(message))
        message.Result = 1;
    else if (message.Msg == WM_NCCALCSIZE) {
        TCustomGrid::Dispatch(message);
        if (auto* r = reinterpret_cast<TRect*>(message.LParam); r && FFlatBorderWidth > 0)
            InflateRect(*r, -FFlatBorderWidth, -FFlatBorderWidth);
    } else if (message.Msg == WM_NCPAINT) {
        TCustomGrid::Dispatch(message);
        if (message.WParam) PaintFlatBorder(reinterpret_cast<HDC>(message.WParam));
    } else if (message.Msg == WM_SETCURSOR) {
        UpdateSelectionCursor();
        TCustomGrid::Dispatch(message);
    } else if (message.Msg == WM_CANCELMODE) {
        EndMouseTracking();
        TCustomGrid::Dispatch(message);
    }
    else if (message.Msg == DBGridEh::WM_DEFERLAYOUT) RequestLayout();
    else TCustomGrid::Dispatch(message);
}

// Leaving the grid writes what the editor holds, or drops a new record
// nothing was typed into (with dgCancelOnExit). A failure takes the focus
// back to the grid and goes on to the caller.
void TCustomDBGridEh::DoExit()
{
    TDataSet* ds = FDataLink->DataSet();
    if (FDataLink->Active() && ds) {
        try {
            UpdateText();
            if (FOptions.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() &&
                !FDataLink->EditPending())
                ds->Cancel();
            else
                FDataLink->UpdateRecord();
        } catch (...) {
            if (CanFocus()) SetFocus();
            throw;
        }
    }
    TCustomGrid::DoExit();
}

void TCustomDBGridEh::WMVScroll(TMessage& m)
{
    m.Result = 0;
    TDataSet* ds = FDataLink->DataSet();
    if (CanFocus() && !Focused()) SetFocus();
    if (RowsFromMemTable()) {
        MemTableVScroll(m);
        return;
    }
    if (!FDataLink->Active() || !ds) return;
    int code = LOWORD(m.WParam);
    int active = FDataLink->ActiveRecord(), count = FDataLink->RecordCount();
    switch (code) {
    case SB_LINEUP: ds->MoveBy(-active - 1); break;
    case SB_LINEDOWN: ds->MoveBy(count - active); break;
    case SB_PAGEUP: ds->MoveBy(-VisibleDataRowCount()); break;
    case SB_PAGEDOWN: ds->MoveBy(VisibleDataRowCount()); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        FVertScrollBar->ReadScrollInfo(si);
        int t = si.nTrackPos;
        if (code == SB_THUMBTRACK) {
            if (!FVertScrollBar->Tracking() || !ds->IsSequenced()) break;
            ds->MoveBy(t - ds->RecNo());
            FThumbTracked = true;
            break;
        }
        if (FThumbTracked) {
            FThumbTracked = false;
            break;
        }
        if (!ds->IsSequenced()) {
            if (t == 0) ds->First();
            else if (t == 1) ds->MoveBy(-VisibleDataRowCount());
            else if (t == 3) ds->MoveBy(VisibleDataRowCount());
            else if (t == 4) ds->Last();
        } else if (t > 1 && t < ds->RecordCount()) {
            ds->SetRecNo(t);
        } else if (t >= ds->RecordCount()) {
            ds->Last();
        } else {
            ds->First();
        }
        break;
    }
    default: break;
    }
}

bool TCustomDBGridEh::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheelDown(shift, mousePos)) return true;
    WheelStep(shift, 1);
    return true;
}

bool TCustomDBGridEh::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheelUp(shift, mousePos)) return true;
    WheelStep(shift, -1);
    return true;
}

// The wheel moves the record; over a memtable it scrolls the rows (a page
// with Ctrl) and moves the record only with Shift.
void TCustomDBGridEh::WheelStep(TShiftState shift, int direction)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (!RowsFromMemTable()) {
        direction > 0 ? ds->Next() : ds->Prior();
        return;
    }
    if (shift.Contains(ssShift)) {
        if (shift.Contains(ssCtrl)) ds->MoveBy(direction * VisibleRowCount());
        else direction > 0 ? ds->Next() : ds->Prior();
        return;
    }
    if (!shift.Contains(ssCtrl)) {
        MoveTopRowSafely(TopRow() + direction);
        return;
    }
    int page = std::max(1, VisibleRowCount());
    if (direction > 0) {
        int below = RowCount() - TopRow();
        if (below < page) FMemTable->FetchRecords(page - below);
    }
    MoveTopRowSafely(TopRow() + direction * page);
}
