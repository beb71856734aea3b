// The data-aware grid over a memtable: every record of the set's view is a
// grid row, read in place; the grid scrolls like a plain grid, asks the set
// for records only as the window needs them, and draws and expands the
// nodes of a tree set.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"

#include <algorithm>

using DBGridEh::TreeBoxWidth;

// ---- reading the record of another data row ---------------------------------------------------------

void TCustomDBGridEh::BeginRowRead(int dataRow)
{
    if (RowsFromMemTable()) {
        FMemTable->InstantReadEnter(dataRow);
        return;
    }
    FReadSavedRecords.push_back(FDataLink->ActiveRecord());
    FDataLink->SetActiveRecord(dataRow);
}

void TCustomDBGridEh::EndRowRead()
{
    if (RowsFromMemTable()) {
        FMemTable->InstantReadLeave();
        return;
    }
    if (FReadSavedRecords.empty()) return;
    FDataLink->SetActiveRecord(FReadSavedRecords.back());
    FReadSavedRecords.pop_back();
}

bool TCustomDBGridEh::RowIsCurrent(int dataRow) const
{
    return dataRow == CurrentDataRowIndex();
}

int TCustomDBGridEh::DataRowCount() const
{
    if (!FDataLink->Active()) return 0;
    if (RowsFromMemTable()) return std::max(0, FMemTable->ViewRowCount());
    return FDataLink->RecordCount();
}

int TCustomDBGridEh::CurrentDataRowIndex() const
{
    if (!FDataLink->Active()) return -1;
    // Reading another row moves the link's active record: the current one is the saved one.
    if (RowsFromMemTable()) return FMemTable->ViewCurrentRow();
    return FReadSavedRecords.empty() ? FDataLink->ActiveRecord() : FReadSavedRecords.front();
}

// ---- probing ------------------------------------------------------------------------------------------

bool TCustomDBGridEh::MemTableIsTree() const
{
    return FMemTable && FDataLink->Active() && FMemTable->IsTreeView();
}

void TCustomDBGridEh::ProbeMemTable()
{
    TDataSet* before = FMemTableSet;
    TDataSet* ds = FDataLink->DataSet();
    IMemTableEh* found = nullptr;
    if (ds && !ds->ComponentState().Contains(csDestroying)) found = dynamic_cast<IMemTableEh*>(ds);
    if (found == FMemTable) return;
    FMemTable = found;
    FMemTableSet = found ? ds : nullptr;
    if (FMemTableSet && FMemTableSet != before) FMemTableSet->FreeNotification(this);
    RequestLayout();
}

// ---- rows -------------------------------------------------------------------------------------------------

void TCustomDBGridEh::RecalcMemTableRows()
{
    int n = FDataLink->Active() ? std::max(1, FMemTable->ViewRowCount()) : 1;
    int rows = FFirstDataRow + n;
    if (Row() >= rows) MoveColRow(Col(), rows - 1, true, false);
    SetRowCount(rows);
    if (!HandleAllocated()) return;
    ClampTopRow();
    if (FDataLink->Active()) FollowMemTableRow(!FTreeClicking);
    FetchVisibleRecords();
    Invalidate();
}

void TCustomDBGridEh::FollowMemTableRow(bool moveAnchor)
{
    int current = FMemTable->ViewCurrentRow();
    int target = current < 0 ? FixedRows() : FFirstDataRow + current;
    if (target == Row() || target >= RowCount()) return;
    InvalidateRow(Row());
    MoveColRow(std::max(Col(), FixedCols()), target, moveAnchor, !FTreeClicking);
    InvalidateRow(target);
}

void TCustomDBGridEh::SyncMemTableCurrentRow()
{
    int rows = FFirstDataRow + std::max(1, FDataLink->Active() ? FMemTable->ViewRowCount() : 1);
    if (Row() >= rows) MoveColRow(Col(), rows - 1, true, false);
    SetRowCount(rows);
    if (FDataLink->Active()) {
        InvalidateRow(Row());
        if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
            int before = Row();
            if (!FOptions.Contains(dgAlwaysShowEditor) && FMemTable->ViewCurrentRow() + FFirstDataRow != before)
                HideEditor();
            FollowMemTableRow(!FTreeClicking);
            RefreshEditorFromField(nullptr);
        }
    }
    RefreshVertScrollBar();
}

void TCustomDBGridEh::FetchVisibleRecords()
{
    if (!RowsFromMemTable() || FFetchingRecords || !FDataLink->Active() || !HandleAllocated()) return;
    FFetchingRecords = true;
    try {
        TGridDrawInfo d;
        CalcDrawInfo(d);
        if (d.Vert.GridBoundary < d.Vert.GridExtent)
            FMemTable->FetchRecords((d.Vert.GridExtent - d.Vert.GridBoundary) / std::max(1, DefaultRowHeight()) + 1);
        else if (d.Vert.LastFullVisibleCell >= RowCount() - 1)
            FMemTable->FetchRecords(1);
    } catch (...) {
        FFetchingRecords = false;
        throw;
    }
    FFetchingRecords = false;
}

// ---- scrolling ----------------------------------------------------------------------------------------------

int TCustomDBGridEh::FirstOfLastPage(const TGridAxisDrawInfo& a, int index, int fixedCount)
{
    int space = a.GridExtent + a.EffectiveLineWidth;
    int result = index;
    for (int i = index; i >= fixedCount; --i) {
        int e = a.GetExtent(i);
        if (e > 0) {
            space -= e + a.EffectiveLineWidth;
            if (space < a.FixedBoundary) break;
        }
        result = i;
    }
    return result;
}

int TCustomDBGridEh::LastTopRow(int row) const
{
    if (row < FixedRows()) return row;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    return FirstOfLastPage(d.Vert, row, FixedRows());
}

void TCustomDBGridEh::ClampTopRow()
{
    int last = LastTopRow(RowCount() - 1);
    if (last < TopRow()) SetTopRow(last);
}

void TCustomDBGridEh::MoveTopRowSafely(int top)
{
    top = std::clamp(top, FixedRows(), std::max(FixedRows(), RowCount() - 1));
    top = std::min(top, LastTopRow(RowCount() - 1));
    SetTopRow(top);
    RefreshMemTableScrollBar();
}

void TCustomDBGridEh::RefreshMemTableScrollBar()
{
    if (!HandleAllocated()) return;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 1;
    si.nMax = RowCount() - FixedRows();
    si.nPage = UINT(std::max(0, d.Vert.LastFullVisibleCell - TopRow() + 1));
    si.nPos = TopRow() - FixedRows() + 1;
    bool nothing = !FDataLink->Active() || si.nMin >= si.nMax || si.nMax - si.nMin + 1 <= int(si.nPage);
    ApplyVertScrollInfo(si, nothing);
}

void TCustomDBGridEh::MemTableVScroll(TMessage& message)
{
    if (!FDataLink->Active()) return;
    int top = TopRow();
    int target = top;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    switch (LOWORD(message.WParam)) {
    case SB_LINEUP: target = top - 1; break;
    case SB_LINEDOWN: target = top + 1; break;
    case SB_PAGEUP: target = top - std::max(1, top - LastTopRow(top)); break;
    case SB_PAGEDOWN: target = top + std::max(1, d.Vert.LastFullVisibleCell - top); break;
    case SB_TOP: target = FixedRows(); break;
    case SB_BOTTOM: target = RowCount(); break;
    case SB_THUMBTRACK:
        if (!FVertScrollBar->Tracking()) {
            RefreshMemTableScrollBar();
            return;
        }
        [[fallthrough]];
    case SB_THUMBPOSITION: {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        FVertScrollBar->ReadScrollInfo(si);
        target = FixedRows() + si.nTrackPos - 1;
        break;
    }
    default: return;
    }
    MoveTopRowSafely(target);
    RefreshMemTableScrollBar();
}

void TCustomDBGridEh::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    RefreshHorzExtScrollBar();
    if (RowsFromMemTable()) {
        FetchVisibleRecords();
        RefreshMemTableScrollBar();
    }
}

// ---- the tree ----------------------------------------------------------------------------------------------

int TCustomDBGridEh::TreeIndent() const
{
    if (!MemTableIsTree()) return 0;
    return std::max(0, FMemTable->NodeLevel() * TreeBoxWidth);
}

void TCustomDBGridEh::DrawTreeCell(const TRect& rect, TColumnEh* column, TGridDrawState state, bool selected)
{
    DrawTreeBoxes(Canvas(), rect, selected ? clHighlight : column->Color(), selected);
}

void TCustomDBGridEh::DrawTreeBoxes(TCanvas* c, const TRect& rect, TColor bg, bool selected)
{
    if (!MemTableIsTree()) return;
    int level = FMemTable->NodeLevel();
    bool parity = (DefaultRowHeight() % 2 == 1) && (TopRow() % 2 == 1);
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetColor(selected ? clHighlightText : clGrayText);
    auto box = [&](int i) {
        TRect r{rect.Left + i * TreeBoxWidth, rect.Top, rect.Left + (i + 1) * TreeBoxWidth, rect.Bottom};
        r.Right = std::min(r.Right, rect.Right);
        c->Brush()->SetColor(bg);
        c->FillRect(r);
        return r;
    };
    for (int i = 1; i < level; ++i) {
        TRect r = box(i - 1);
        if (FMemTable->NodeHasNextSibling(i)) ToolCtrlsEh::DrawTreeElement(c, r, 9, parity);
    }
    if (level < 1) return;
    TRect own = box(level - 1);
    bool next = FMemTable->NodeHasNextSibling(level);
    int kind;
    if (FMemTable->NodeHasChildren()) kind = (FMemTable->NodeExpanded() ? 0 : 3) + (next ? 0 : 1);
    else kind = next ? 6 : 7;
    ToolCtrlsEh::DrawTreeElement(c, own, kind, parity);
}

bool TCustomDBGridEh::HandleTreeClick(int x, int y, bool onlyTest)
{
    if (!MemTableIsTree() || FShownColumns.empty()) return false;
    TGridCoord at = MouseCoord(x, y);
    int dataRow = at.Y - FFirstDataRow;
    if (at.X < 0 || dataRow < 0 || dataRow >= DataRowCount()) return false;
    int c = at.X, r = at.Y;
    if ((GetCellType(c, r) & 0xFF) != 1 || c < 0 || c >= FColumns->Count() ||
        FColumns->Items(c) != FShownColumns.front())
        return false;
    TRect cell = CellRect(at.X, at.Y);
    bool current = RowIsCurrent(dataRow);
    if (!current) BeginRowRead(dataRow);
    int indent = TreeIndent();
    if (!current) EndRowRead();
    if (x < cell.Left || x >= cell.Left + indent) return false;
    if (onlyTest) return true;
    if (x < cell.Left + indent - TreeBoxWidth) return true;
    int recNo = dataRow + 1;
    if (!RowsFromMemTable()) {
        BeginRowRead(dataRow);
        recNo = FDataLink->DataSet()->RecNo();
        EndRowRead();
    }
    ToggleNodeOfRecord(recNo);
    return true;
}

void TCustomDBGridEh::ToggleNodeOfRecord(int recNo)
{
    TDataSet* ds = FDataLink->DataSet();
    if (!ds) return;
    int top = TopRow();
    TBookmarkStr saved = ds->Bookmark();
    ds->DisableControls();
    FNoPaint = true;
    FTreeClicking = true;
    struct TRestore {
        TCustomDBGridEh* Grid;
        TDataSet* Set;
        int Top;
        ~TRestore()
        {
            Set->EnableControls();
            Grid->MoveTopRowSafely(Top);
            Grid->FNoPaint = false;
            Grid->FTreeClicking = false;
            Grid->Invalidate();
            Grid->RefreshVertScrollBar();
        }
    } restore{this, ds, top};
    int go = FMemTable->ToggleNodeExpanded(recNo);
    if (go > 0 && go != ds->RecNo()) ds->SetRecNo(go);
    else if (!saved.empty() && ds->BookmarkValid(saved)) ds->GotoBookmark(saved);
}

void TCustomDBGridEh::ExpandCurrentNode(int how)
{
    if (!MemTableIsTree() || !FMemTable->NodeHasChildren()) return;
    bool expanded = FMemTable->NodeExpanded();
    if ((how > 0 && expanded) || (how < 0 && !expanded)) return;
    if (TDataSet* ds = FDataLink->DataSet(); ds && ds->RecNo() > 0) ToggleNodeOfRecord(ds->RecNo());
}
