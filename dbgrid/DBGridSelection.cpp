// The grid's selection: rows kept as bookmarks in data-set order, a
// rectangle between two corner cells, a set of columns, or everything. It is
// held by bookmarks and columns, not screen rows, so it survives scrolling.
#include "DBGridEh.h"

#include <algorithm>

QZ_CLASS_IMPL(TBookmarkListEh, TObject)
QZ_CLASS_IMPL(TDBGridEhSelectionCols, TObject)
QZ_CLASS_IMPL(TDBGridEhSelectionRect, TObject)
QZ_CLASS_IMPL(TDBGridEhSelection, TObject)

namespace {

constexpr TGridRect NoCells{-1, -1, -1, -1};

// The data set of an active link, or null.
TDataSet* LinkedDataSet(const TCustomDBGridEh* grid)
{
    TGridDataLinkEh* link = grid ? grid->DataLink() : nullptr;
    return link && link->Active() ? link->DataSet() : nullptr;
}

// Runs fn with the fields reading each shown record in turn (given its data
// row), the current record read again afterwards (also when fn raises):
// the link's buffered records, or over a memtable the rows in the window.
template <class Fn>
void ForEachBufferedRow(TCustomDBGridEh* grid, Fn fn)
{
    int first = 0, last = grid->DataLink()->RecordCount() - 1;
    if (grid->RowsFromMemTable()) {
        first = grid->TopRow() - grid->FirstDataRow();
        last = std::min(first + grid->VisibleDataRowCount(), grid->DataRowCount() - 1);
    }
    for (int i = first; i <= last; ++i) {
        grid->BeginRowRead(i);
        bool more;
        try {
            more = fn(i);
        } catch (...) {
            grid->EndRowRead();
            throw;
        }
        grid->EndRowRead();
        if (!more) break;
    }
}

} // namespace

// ---- the selected rows ---------------------------------------------------------------------------

TBookmarkListEh::~TBookmarkListEh() = default;

TDBGridEhSelection* TBookmarkListEh::Owner() const { return FGrid ? FGrid->Selection() : nullptr; }

TDataSet* TBookmarkListEh::CheckedDataSet() const
{
    TDataSet* ds = LinkedDataSet(FGrid);
    if (!ds) throw EInvalidGridOperation(DBConsts::SDataSetClosed);
    return ds;
}

bool TBookmarkListEh::Find(const TBookmarkStr& b, int& index) const
{
    TDataSet* ds = CheckedDataSet();
    if (FCacheValid && FCacheIndex >= 0 && FCacheKey == b) {
        index = FCacheIndex;
        return FCacheFound;
    }
    int lo = 0, hi = int(FList.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = ds->CompareBookmarks(FList[size_t(mid)], b);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    index = lo;
    FCacheKey = b;
    FCacheIndex = lo;
    FCacheFound = found;
    FCacheValid = true;
    return found;
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
    Changed();
    if (FGrid) FGrid->InvalidateRow(FGrid->CurrentDataRow());
    if (TDBGridEhSelection* sel = Owner()) {
        if (!FList.empty() && sel->FKind != gstRecordBookmarks) {
            // Marking a row ends a selection of another kind (its rows stay).
            std::vector<TBookmarkStr> keep;
            keep.swap(FList);
            sel->ClearAll();
            FList.swap(keep);
            Changed();
            sel->FKind = gstRecordBookmarks;
        }
        sel->DropEmptyKind();
    }
}

void TBookmarkListEh::Clear()
{
    if (FList.empty()) return;
    FList.clear();
    Changed();
    if (TDBGridEhSelection* sel = Owner()) sel->DropEmptyKind();
    if (FGrid) FGrid->Invalidate();
}

bool TBookmarkListEh::Refresh()
{
    TDataSet* ds = CheckedDataSet();
    size_t before = FList.size();
    FList.erase(std::remove_if(FList.begin(), FList.end(),
                               [ds](const TBookmarkStr& b) { return !ds->BookmarkValid(b); }),
                FList.end());
    if (FList.size() == before) return false;
    Changed();
    if (TDBGridEhSelection* sel = Owner()) sel->DropEmptyKind();
    if (FGrid) FGrid->Invalidate();
    return true;
}

void TBookmarkListEh::DeleteSelectedRecords()
{
    TDataSet* ds = CheckedDataSet();
    ds->DisableControls();
    try {
        while (!FList.empty()) {
            const TBookmarkStr& b = FList.back();
            if (ds->BookmarkValid(b)) {
                ds->GotoBookmark(b);
                ds->Delete();
            }
            FList.pop_back();
            Changed();
        }
    } catch (...) {
        ds->EnableControls();
        if (TDBGridEhSelection* sel = Owner()) sel->DropEmptyKind();
        if (FGrid) FGrid->Invalidate();
        throw;
    }
    ds->EnableControls();
    if (TDBGridEhSelection* sel = Owner()) sel->DropEmptyKind();
    if (FGrid) FGrid->Invalidate();
}

TGridRect TBookmarkListEh::RowsToGridRect() const
{
    TDataSet* ds = LinkedDataSet(FGrid);
    if (!ds || FList.empty()) return NoCells;
    int first = -1, last = -1;
    ForEachBufferedRow(FGrid, [&](int i) {
        if (IndexOf(ds->Bookmark()) >= 0) {
            if (first < 0) first = i;
            last = i;
        }
        return true;
    });
    if (first < 0) return NoCells;
    return {0, first + FGrid->FirstDataRow(), FGrid->ColCount() - 1, last + FGrid->FirstDataRow()};
}

// ---- the selected columns ---------------------------------------------------------------------------

bool TDBGridEhSelectionCols::Contains(const TColumnEh* c) const
{
    return std::find(FList.begin(), FList.end(), c) != FList.end();
}

void TDBGridEhSelectionCols::AddInOrder(TColumnEh* c)
{
    auto at = std::find_if(FList.begin(), FList.end(), [c](TColumnEh* x) { return x->Index() > c->Index(); });
    FList.insert(at, c);
}

void TDBGridEhSelectionCols::Remove(TColumnEh* c)
{
    FList.erase(std::remove(FList.begin(), FList.end(), c), FList.end());
}

void TDBGridEhSelectionCols::RepaintColumn(TColumnEh* c)
{
    if (FGrid && c) FGrid->InvalidateCol(FGrid->DataToRawColumn(c->Index()));
}

void TDBGridEhSelectionCols::Clear()
{
    for (TColumnEh* c : FList) RepaintColumn(c);
    FList.clear();
    FAnchorColumn = nullptr;
}

void TDBGridEhSelectionCols::KindFromCount()
{
    if (FOwner) FOwner->SetSelectionKind(FList.empty() ? gstNon : gstColumns);
}

void TDBGridEhSelectionCols::ToggleColumn(TColumnEh* c)
{
    if (FOwner && FOwner->SelectionKind() != gstColumns) FOwner->ClearAll();
    if (Contains(c)) Remove(c);
    else AddInOrder(c);
    RepaintColumn(c);
    FAnchorColumn = FShiftColumn = c;
    KindFromCount();
    FShiftChanged.clear();
}

void TDBGridEhSelectionCols::SelectColumn(TColumnEh* c, bool keep)
{
    if (FOwner && FOwner->SelectionKind() != gstColumns) FOwner->ClearAll();
    if (!keep) Clear();
    if (!Contains(c)) AddInOrder(c);
    RepaintColumn(c);
    FAnchorColumn = FShiftColumn = c;
    if (FOwner) FOwner->SetSelectionKind(gstColumns);
    FShiftChanged.clear();
}

void TDBGridEhSelectionCols::ExtendToColumn(TColumnEh* c)
{
    if (FOwner && FOwner->SelectionKind() != gstColumns) FOwner->ClearAll();
    if (!FAnchorColumn || !FShiftColumn) {
        SelectColumn(c, true);
        return;
    }
    TDBGridColumnsEh* columns = FGrid->Columns();
    int a = FAnchorColumn->Index(), s = FShiftColumn->Index(), target = c->Index();
    // The walk: from, to, direction, the mode it starts in and the index where
    // it switches to extending (-1: none).
    int from = s, to = target, step = target >= s ? 1 : -1;
    bool undo = false;
    int switchAt = -1;
    if (target == s && a != s) {
        from = to = target;
    } else if (a < s) {
        if (target < s) {
            undo = true;
            if (target < a) switchAt = a;
            else to = target + 1;
        }
    } else if (a > s) {
        if (target > s) {
            undo = true;
            if (target > a) switchAt = a;
            else to = target - 1;
        }
    } else {
        from = a;
    }
    bool anchorSelected = Contains(FAnchorColumn);
    auto recorded = [this](TColumnEh* x) {
        return std::find(FShiftChanged.begin(), FShiftChanged.end(), x) != FShiftChanged.end();
    };
    auto unrecord = [this](TColumnEh* x) {
        FShiftChanged.erase(std::remove(FShiftChanged.begin(), FShiftChanged.end(), x), FShiftChanged.end());
    };
    for (int i = from;; i += step) {
        if (i == switchAt) undo = false;
        if (i >= 0 && i < columns->Count()) {
            TColumnEh* x = columns->Items(i);
            bool selected = Contains(x);
            if (!undo) {
                if (anchorSelected && !selected && x->Visible()) {
                    AddInOrder(x);
                    RepaintColumn(x);
                    if (!recorded(x)) FShiftChanged.push_back(x);
                } else if (!anchorSelected && selected && x != FAnchorColumn) {
                    Remove(x);
                    RepaintColumn(x);
                    if (!recorded(x)) FShiftChanged.push_back(x);
                }
            } else if (anchorSelected && selected && x != FAnchorColumn) {
                if (recorded(x)) {
                    Remove(x);
                    unrecord(x);
                }
                RepaintColumn(x);
            } else if (!anchorSelected && !selected && x->Visible()) {
                if (recorded(x)) {
                    AddInOrder(x);
                    unrecord(x);
                }
                RepaintColumn(x);
            }
        }
        if (i == to) break;
    }
    FShiftColumn = c;
    KindFromCount();
}

void TDBGridEhSelectionCols::PruneAndSort()
{
    TDBGridColumnsEh* columns = FGrid ? FGrid->Columns() : nullptr;
    auto gone = [columns](TColumnEh* c) {
        if (!columns) return true;
        for (int i = 0; i < columns->Count(); ++i)
            if (columns->Items(i) == c) return false;
        return true;
    };
    FList.erase(std::remove_if(FList.begin(), FList.end(), gone), FList.end());
    FShiftChanged.erase(std::remove_if(FShiftChanged.begin(), FShiftChanged.end(), gone), FShiftChanged.end());
    if (FAnchorColumn && gone(FAnchorColumn)) FAnchorColumn = nullptr;
    if (FShiftColumn && gone(FShiftColumn)) FShiftColumn = nullptr;
    std::stable_sort(FList.begin(), FList.end(), [](TColumnEh* a, TColumnEh* b) { return a->Index() < b->Index(); });
}

void TDBGridEhSelectionCols::Forget(const TColumnEh* c)
{
    auto drop = [c](TColumnsEhList& l) { l.erase(std::remove(l.begin(), l.end(), c), l.end()); };
    drop(FList);
    drop(FShiftChanged);
    if (FAnchorColumn == c) FAnchorColumn = nullptr;
    if (FShiftColumn == c) FShiftColumn = nullptr;
}

TGridRect TDBGridEhSelectionCols::ToGridRect() const
{
    if (FList.empty() || !FGrid) return NoCells;
    auto [lo, hi] = std::minmax_element(FList.begin(), FList.end(),
                                        [](TColumnEh* a, TColumnEh* b) { return a->Index() < b->Index(); });
    return {FGrid->DataToRawColumn((*lo)->Index()), 0, FGrid->DataToRawColumn((*hi)->Index()), FGrid->RowCount()};
}

// ---- the rectangle -------------------------------------------------------------------------------------

bool TDBGridEhSelectionRect::CanQuery() const { return LinkedDataSet(FGrid) != nullptr; }

void TDBGridEhSelectionRect::CheckQuery(const char* message) const
{
    if (!CanQuery()) throw EInvalidGridOperation(message);
}

void TDBGridEhSelectionRect::ResetCells()
{
    FAnchor = {};
    FShifted = {};
    if (FGrid) FGrid->Invalidate();
}

TBookmarkStr TDBGridEhSelectionRect::TopRow() const
{
    CheckQuery("Error in TDBGridEhSelectionRect.GetBottomRow");
    TDataSet* ds = LinkedDataSet(FGrid);
    return ds->CompareBookmarks(FAnchor.Row, FShifted.Row) <= 0 ? FAnchor.Row : FShifted.Row;
}

TBookmarkStr TDBGridEhSelectionRect::BottomRow() const
{
    CheckQuery("Error in TDBGridEhSelectionRect.GetBottomRow");
    TDataSet* ds = LinkedDataSet(FGrid);
    return ds->CompareBookmarks(FAnchor.Row, FShifted.Row) < 0 ? FShifted.Row : FAnchor.Row;
}

int TDBGridEhSelectionRect::LeftColumnIndex() const
{
    CheckQuery("Error in TDBGridEhSelectionRect.GetBottomRow");
    return std::min(FAnchor.Col, FShifted.Col);
}

int TDBGridEhSelectionRect::RightColumnIndex() const
{
    CheckQuery("Error in TDBGridEhSelectionRect.GetBottomRow");
    return std::max(FAnchor.Col, FShifted.Col);
}

bool TDBGridEhSelectionRect::CellSelected(int columnIndex, const TBookmarkStr& row) const
{
    CheckQuery("Error in function TDBGridEhSelectionRect.CellSelected");
    TDataSet* ds = LinkedDataSet(FGrid);
    if (FAnchor.Col < 0 || FAnchor.Row.empty()) return false;
    if (ds->CompareBookmarks(row, TopRow()) < 0 || ds->CompareBookmarks(row, BottomRow()) > 0) return false;
    return columnIndex >= LeftColumnIndex() && columnIndex <= RightColumnIndex();
}

void TDBGridEhSelectionRect::SelectCell(int columnIndex, const TBookmarkStr& row, bool extend)
{
    if (FOwner && FOwner->SelectionKind() != gstRectangle) FOwner->ClearAll();
    TDBCell oldAnchor = FAnchor, oldShifted = FShifted;
    if (FAnchor.Col < 0 || FAnchor.Row.empty() || !extend) FAnchor = {columnIndex, row};
    FShifted = {columnIndex, row};
    bool single = FAnchor.Col == FShifted.Col && FAnchor.Row == FShifted.Row;
    if (FOwner) {
        if (single) {
            if (FOwner->SelectionKind() == gstRectangle) FOwner->SetSelectionKind(gstNon);
        } else {
            FOwner->SetSelectionKind(gstRectangle);
        }
    }
    if (!FGrid || !FGrid->HandleAllocated()) return;
    TRect before = oldAnchor.Col >= 0 && !oldAnchor.Row.empty() ? CellsBox(oldAnchor, oldShifted) : TRect{};
    TRect after = CellsBox(FAnchor, FShifted);
    for (const TRect& r : XorBoxes(before, after))
        if (!IsRectEmpty(r)) InvalidateRect(FGrid->Handle(), &r, false);
}

TRect TDBGridEhSelectionRect::CellsBox(const TDBCell& a, const TDBCell& b) const
{
    TDataSet* ds = LinkedDataSet(FGrid);
    if (!ds || a.Row.empty() || b.Row.empty()) return {};
    int left = std::min(a.Col, b.Col), right = std::max(a.Col, b.Col);
    const TBookmarkStr& top = ds->CompareBookmarks(a.Row, b.Row) <= 0 ? a.Row : b.Row;
    const TBookmarkStr& bottom = ds->CompareBookmarks(a.Row, b.Row) <= 0 ? b.Row : a.Row;
    std::vector<TBookmarkStr> rows;
    int firstRow = -1;
    ForEachBufferedRow(FGrid, [&](int i) {
        if (firstRow < 0) firstRow = i;
        rows.push_back(ds->Bookmark());
        return true;
    });
    if (rows.empty()) return {};
    const int count = int(rows.size());
    auto indexOf = [&](const TBookmarkStr& b) {
        for (int i = 0; i < count; ++i)
            if (ds->CompareBookmarks(rows[size_t(i)], b) == 0) return firstRow + i;
        return firstRow + count;
    };
    int topRow = ds->CompareBookmarks(top, rows.front()) < 0 ? firstRow : indexOf(top);
    int bottomRow = ds->CompareBookmarks(bottom, rows.back()) > 0 ? firstRow + FGrid->VisibleDataRowCount()
                                                                  : indexOf(bottom);
    return FGrid->BoxRect(FGrid->DataToRawColumn(left), topRow + FGrid->FirstDataRow(), FGrid->DataToRawColumn(right),
                          bottomRow + FGrid->FirstDataRow());
}

std::array<TRect, 4> TDBGridEhSelectionRect::XorBoxes(const TRect& r1, const TRect& r2)
{
    std::array<TRect, 4> out{};
    TRect x;
    if (!IntersectRect(x, r1, r2)) {
        out[0] = r1;
        out[1] = r2;
        return out;
    }
    TRect u;
    UnionRect(u, r1, r2);
    auto inside = [](const TRect& r, TPoint p) {
        return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
    };
    auto covered = [&](TPoint p) { return inside(r1, p) || inside(r2, p); };
    // A strip from three points along one side of the union: its corners are
    // the first covered point and the last covered one after it.
    auto strip = [&](TPoint p1, TPoint p2, TPoint p3, TRect& r) {
        if (covered(p1)) {
            TPoint q = covered(p3) ? p3 : p2;
            r = {p1.X, p1.Y, q.X, q.Y};
        } else if (covered(p2)) {
            r = {p2.X, p2.Y, p3.X, p3.Y};
        } else {
            return false;
        }
        return true;
    };
    if (strip({u.Left, u.Top}, {u.Left, x.Top}, {u.Left, x.Bottom}, out[0])) out[0].Right = x.Left;
    if (strip({x.Left, u.Top}, {x.Right, u.Top}, {u.Right, u.Top}, out[1])) out[1].Bottom = x.Top;
    if (strip({u.Right, x.Top}, {u.Right, x.Bottom}, {u.Right, u.Bottom}, out[2])) out[2].Left = x.Right;
    if (strip({u.Left, u.Bottom}, {x.Left, u.Bottom}, {x.Right, u.Bottom}, out[3])) out[3].Top = x.Bottom;
    return out;
}

TGridRect TDBGridEhSelectionRect::ToGridRect() const
{
    TDataSet* ds = LinkedDataSet(FGrid);
    if (!ds || FAnchor.Col < 0 || FAnchor.Row.empty()) return NoCells;
    TBookmarkStr top = TopRow(), bottom = BottomRow();
    int first = -1, last = -1;
    ForEachBufferedRow(FGrid, [&](int i) {
        TBookmarkStr b = ds->Bookmark();
        if (first < 0 && ds->CompareBookmarks(b, top) >= 0) first = i;
        if (ds->CompareBookmarks(b, bottom) <= 0) last = i;
        return true;
    });
    if (first < 0 || last < 0) return NoCells;
    return {FGrid->DataToRawColumn(LeftColumnIndex()), first + FGrid->FirstDataRow(),
            FGrid->DataToRawColumn(RightColumnIndex()), last + FGrid->FirstDataRow()};
}

// ---- the selection ------------------------------------------------------------------------------------

TDBGridEhSelection::TDBGridEhSelection(TCustomDBGridEh* grid)
    : FGrid(grid), FRows(std::make_unique<TBookmarkListEh>(grid)),
      FColumns(std::make_unique<TDBGridEhSelectionCols>(grid, this)),
      FRect(std::make_unique<TDBGridEhSelectionRect>(grid, this))
{
}

TDBGridEhSelection::~TDBGridEhSelection() = default;

void TDBGridEhSelection::SetSelectionKind(TDBGridEhSelectionType k)
{
    if (k == FKind) return;
    FKind = k;
    if (FGrid) FGrid->InvalidateEditor();
}

bool TDBGridEhSelection::IsDataCellSelected(int columnIndex, const TBookmarkStr& row) const
{
    switch (FKind) {
    case gstRecordBookmarks: return FRows->IndexOf(row) >= 0;
    case gstRectangle: return columnIndex >= 0 && FRect->CellSelected(columnIndex, row);
    case gstColumns:
        return columnIndex >= 0 && FGrid && columnIndex < FGrid->Columns()->Count() &&
               FColumns->Contains(FGrid->Columns()->Items(columnIndex));
    case gstAll: return true;
    case gstNon: return false;
    }
    return false;
}

void TDBGridEhSelection::ClearAll()
{
    try {
        switch (FKind) {
        case gstRecordBookmarks: FRows->Clear(); break;
        case gstRectangle: FRect->ResetCells(); break;
        case gstColumns: FColumns->Clear(); break;
        case gstAll:
            if (FGrid) FGrid->Invalidate();
            break;
        case gstNon: break;
        }
    } catch (...) {
        FKind = gstNon;
        throw;
    }
    FKind = gstNon;
    if (FGrid && FGrid->Options().Contains(dgAlwaysShowEditor) && FGrid->HandleAllocated() && FGrid->Focused())
        FGrid->ShowEditor();
}

void TDBGridEhSelection::SelectWholeGrid()
{
    if (FKind == gstAll) return;
    if (FKind != gstNon) ClearAll();
    FKind = gstAll;
    if (FGrid) FGrid->Invalidate();
}

void TDBGridEhSelection::DropEmptyKind()
{
    if ((FKind == gstRecordBookmarks && FRows->Count() == 0) || (FKind == gstColumns && FColumns->Count() == 0)) {
        FKind = gstNon;
        if (FGrid) FGrid->Invalidate();
    }
}

void TDBGridEhSelection::SetLinkActive(bool)
{
    // The bookmarks belong to the data set that was open: they go.
    if (FRows->Count() > 0) {
        FRows->FList.clear();
        FRows->Changed();
    }
    DropEmptyKind();
    ClearAll();
}

TGridRect TDBGridEhSelection::ToGridRect() const
{
    switch (FKind) {
    case gstRecordBookmarks: return FRows->RowsToGridRect();
    case gstRectangle: return FRect->ToGridRect();
    case gstColumns: return FColumns->ToGridRect();
    case gstAll: return FGrid ? TGridRect{0, 0, FGrid->ColCount(), FGrid->RowCount()} : NoCells;
    case gstNon: break;
    }
    return NoCells;
}
