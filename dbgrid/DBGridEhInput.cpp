// Keyboard and mouse input of the data-aware grid, and the selected rows.
// Rows are records: moving up and down moves the data set, not the base
// grid's current row, which follows the data set's active record.
#include "DBGridEh.h"

#include "Forms.h"
#include "HostServices.h"

#include <algorithm>

QZ_CLASS_IMPL(TBookmarkListEh, TObject)
QZ_CLASS_IMPL(TDBGridEhSelection, TObject)
QZ_CLASS_IMPL(TDBGridEhScrollBar, TPersistent)
QZ_CLASS_IMPL(TVertDBGridEhScrollBar, TDBGridEhScrollBar)

// ---- the selected rows ---------------------------------------------------------------------------

TDataSet* TBookmarkListEh::CheckedDataSet() const
{
    TGridDataLinkEh* link = FGrid ? FGrid->DataLink() : nullptr;
    if (!link || !link->Active() || !link->DataSet())
        throw EInvalidGridOperation(DBConsts::SDataSetClosed);
    return link->DataSet();
}

bool TBookmarkListEh::Find(const TBookmarkStr& b, int& index) const
{
    TDataSet* ds = CheckedDataSet();
    int lo = 0, hi = int(FList.size()) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = ds->CompareBookmarks(FList[size_t(mid)], b);
        if (c == 0) {
            index = mid;
            return true;
        }
        if (c < 0) lo = mid + 1;
        else hi = mid - 1;
    }
    index = lo;
    return false;
}

int TBookmarkListEh::IndexOf(const TBookmarkStr& b) const
{
    int i = 0;
    return Find(b, i) ? i : -1;
}

bool TBookmarkListEh::CurrentRowSelected() const
{
    TDataSet* ds = CheckedDataSet();
    if (ds->IsEmpty()) return false;
    int i = 0;
    return Find(ds->Bookmark(), i);
}

void TBookmarkListEh::SetCurrentRowSelected(bool v)
{
    TDataSet* ds = CheckedDataSet();
    if (ds->IsEmpty()) return;
    TBookmarkStr b = ds->Bookmark();
    if (b.empty()) return;
    int i = 0;
    bool found = Find(b, i);
    if (found == v) return;
    if (v) FList.insert(FList.begin() + i, b);
    else FList.erase(FList.begin() + i);
    if (FGrid) FGrid->Invalidate();
}

void TBookmarkListEh::Clear()
{
    if (FList.empty()) return;
    FList.clear();
    if (FGrid) FGrid->Invalidate();
}

bool TBookmarkListEh::Refresh()
{
    TDataSet* ds = CheckedDataSet();
    size_t before = FList.size();
    FList.erase(std::remove_if(FList.begin(), FList.end(),
                               [ds](const TBookmarkStr& b) { return !ds->BookmarkValid(b); }),
                FList.end());
    if (FList.size() != before && FGrid) FGrid->Invalidate();
    return FList.size() != before;
}

TDBGridEhSelection::TDBGridEhSelection(TCustomDBGridEh* grid)
    : FGrid(grid), FRows(std::make_unique<TBookmarkListEh>(grid))
{
}

TDBGridEhSelection::~TDBGridEhSelection() = default;

TDBGridEhSelectionType TDBGridEhSelection::SelectionType() const
{
    return FRows->Count() > 0 ? gstRecordBookmarks : gstNon;
}

void TDBGridEhSelection::Clear() { FRows->Clear(); }

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
    }
    FShiftSelecting = false;
}

int TCustomDBGridEh::VisibleDataRowCount() const
{
    int visible = FDataLink->Active() ? FDataLink->RecordCount() : VisibleRowCount();
    if (FFooterRowCount == 0) return std::max(1, visible);
    return std::max(1, visible);
}

// ---- row movement ----------------------------------------------------------------------------------

void TCustomDBGridEh::MoveBySelecting(bool select, int distance, bool rowMode, bool toEnd)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds) return;
    if (!(rowMode || FOptions.Contains(dgRowSelect)) || !FOptions.Contains(dgMultiSelect)) {
        if (!select) ClearSelection();
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

void TCustomDBGridEh::MoveCol(int rawCol, int direction, bool extendRect)
{
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
    if (rawCol == Col()) return;
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    if (!FOptions.Contains(dgRowSelect)) {
        if (rawCol < FixedCols()) return;
        MoveColRow(rawCol, Row(), true, true);
    }
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
    // What the editor holds goes to the record before the record moves.
    UpdateText();
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || !CanGridAcceptKey(key, shift)) return;
    bool selecting = shift.Contains(ssShift) && FOptions.Contains(dgMultiSelect);
    bool ctrl = shift.Contains(ssCtrl);
    WORD k = key;
    if (ctrl) {
        if (!shift.Contains(ssShift) &&
            (k == VK_PRIOR || k == VK_NEXT || k == VK_END || k == VK_HOME || k == VK_UP || k == VK_DOWN))
            ClearSelection();
        switch (k) {
        case VK_UP:
        case VK_PRIOR:
            if (selecting) MoveBySelecting(true, -FDataLink->ActiveRecord(), false, false);
            else ds->MoveBy(-FDataLink->ActiveRecord());
            break;
        case VK_DOWN:
        case VK_NEXT: {
            int d = FDataLink->BufferCount() - FDataLink->ActiveRecord() - 1;
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
        case VK_DELETE:
            if (!FReadOnly && !ds->IsEmpty() && ds->CanModify() && FAllowedOperations.Contains(alopDeleteEh) &&
                ConfirmRecordDelete()) {
                TBookmarkListEh* rows = FSelection->Rows();
                if (rows->Count() > 0) {
                    ds->DisableControls();
                    try {
                        for (int i = rows->Count() - 1; i >= 0; --i) {
                            if (!ds->BookmarkValid(rows->Items(i))) continue;
                            ds->GotoBookmark(rows->Items(i));
                            ds->Delete();
                        }
                    } catch (...) {
                        ds->EnableControls();
                        rows->Refresh();
                        throw;
                    }
                    ds->EnableControls();
                    rows->Clear();
                } else {
                    ds->Delete();
                }
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
        case VK_INSERT:
            if (!shift.Contains(ssShift) && ds->CanModify() && !FReadOnly && FOptions.Contains(dgEditing)) {
                ClearSelection();
                if (FAllowedOperations.Contains(alopInsertEh)) ds->Insert();
                else if (FAllowedOperations.Contains(alopAppendEh)) ds->Append();
            }
            break;
        case VK_F2: SetEditorMode(true); break;
        default: break;
        }
        // Delete clears a check box that may be empty.
        if (k == VK_DELETE && !FOptions.Contains(dgRowSelect)) {
            TColumnEh* c = CurrentColumn();
            TField* f = c ? c->Field() : nullptr;
            if (c && f && c->CellKind() == ckCheckboxes && !f->Required() && c->CanModify(true)) f->Clear();
        }
    }
    key = 0;
}

// Space steps a check box; Enter hands the editor's text on (or moves like
// Tab with dghEnterAsTab).
void TCustomDBGridEh::KeyPress(char& key)
{
    if (key == '\r' && FOptionsEh.Contains(dghEnterAsTab)) key = '\t';
    TCustomGrid::KeyPress(key);
    if (key != ' ' || FOptions.Contains(dgRowSelect)) return;
    TColumnEh* c = CurrentColumn();
    if (!c || c->CellKind() != ckCheckboxes || !FDataLink->Active()) return;
    c->SetCellCheckState(c->CellCheckState() == cbChecked ? cbUnchecked : cbChecked);
    key = 0;
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
    if (rowKind == 0 && colKind == 1 && c < FColumns->Count()) {
        if (CheckTitleButton(c, FColumns->Items(c))) {
            FPressedTitleCol = cell.X;
            InvalidateCell(cell.X, cell.Y);
            return;
        }
        TCustomGrid::MouseDown(button, shift, x, y);   // column moving starts in the base
        return;
    }
    if (rowKind != 2 || !FDataLink->Active()) return;
    TDataSet* ds = FDataLink->DataSet();
    if (r >= FDataLink->RecordCount()) return;
    FToggleMode = shift.Contains(ssCtrl) || !FOptionsEh.Contains(dghClearSelection);
    bool rowSelection = SelectionAllowed(gstRecordBookmarks) &&
                        (colKind == 0 || FOptions.Contains(dgRowSelect) || shift.Contains(ssCtrl) ||
                         shift.Contains(ssShift));
    int distance = r - FDataLink->ActiveRecord();
    if (rowSelection && shift.Contains(ssShift) && distance != 0) {
        MoveBySelecting(true, distance, true, false);
    } else {
        if (!shift.Contains(ssCtrl)) ClearSelection();
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
}

void TCustomDBGridEh::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
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
                TCheckBoxState st = column->CellCheckState();
                column->SetCellCheckState(st == cbChecked ? cbUnchecked : cbChecked);
            }
            CellClick(column);
        }
        return;
    }
    TCustomGrid::MouseUp(button, shift, x, y);
}

// ---- the vertical scroll bar and the wheel ------------------------------------------------------------

void TCustomDBGridEh::CreateParams(TCreateParams& params)
{
    TCustomGrid::CreateParams(params);
    params.Style |= WS_VSCROLL;
}

void TCustomDBGridEh::RefreshVertScrollBar()
{
    if (!FDataLink || !HandleAllocated()) return;
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
    TScrollBarVisibleModeEh mode = FVertScrollBar->VisibleMode();
    bool nothingToScroll = si.nMax - si.nMin + 1 <= int(si.nPage) || !FDataLink->Active();
    if (mode == sbAlwaysShowEh) si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(Handle(), SB_VERT, &si, 1);
    bool show = mode == sbAlwaysShowEh || (mode == sbAutoShowEh && !nothingToScroll);
    ShowScrollBar(Handle(), SB_VERT, show ? 1 : 0);
    if (mode == sbAlwaysShowEh) EnableScrollBar(Handle(), SB_VERT, nothingToScroll ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
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
        return;
    }
    TPersistent::Assign(source);
}

void TCustomDBGridEh::Dispatch(TMessage& message)
{
    if (message.Msg == WM_VSCROLL) WMVScroll(message);
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
    if (!FDataLink->Active() || !ds) return;
    if (CanFocus() && !Focused()) SetFocus();
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
        GetScrollInfo(Handle(), SB_VERT, &si);
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
    if (FDataLink->Active() && FDataLink->DataSet()) FDataLink->DataSet()->Next();
    return true;
}

bool TCustomDBGridEh::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheelUp(shift, mousePos)) return true;
    if (FDataLink->Active() && FDataLink->DataSet()) FDataLink->DataSet()->Prior();
    return true;
}
