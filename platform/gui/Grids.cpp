#include "Grids.h"
#include "Overlay.h"

#include <algorithm>

QZ_CLASS_IMPL(TCustomGrid, TCustomControl)
QZ_CLASS_IMPL(TDrawGrid, TCustomGrid)
QZ_CLASS_IMPL(TStringGrid, TDrawGrid)
QZ_CLASS_IMPL(TInplaceEdit, TCustomEdit)

namespace {

constexpr int MaxCells = 10000000;   // rows or columns one grid may have
constexpr int SizingZone = 2;        // pixels either side of a line where sizing starts
constexpr int MoveThreshold = 3;     // pixels the mouse moves before a row or column moves

void CalcAxis(TGridAxisDrawInfo& a, int fixedCount, int first, int count, int extent, int lineWidth,
              std::function<int(int)> getExtent)
{
    a.EffectiveLineWidth = lineWidth;
    a.FixedCellCount = fixedCount;
    a.FirstGridCell = first;
    a.GridCellCount = count;
    a.GridExtent = extent;
    a.GetExtent = getExtent;
    int pos = 0;
    for (int i = 0; i < fixedCount && i < count; ++i) {
        int e = getExtent(i);
        if (e >= 0) pos += e + lineWidth;
    }
    a.FixedBoundary = pos;
    a.FullVisBoundary = pos;
    a.LastFullVisibleCell = first;
    for (int i = first; i < count && pos < extent; ++i) {
        int e = getExtent(i);
        if (e < 0) continue;
        pos += e + lineWidth;
        if (pos <= extent) {
            a.FullVisBoundary = pos;
            a.LastFullVisibleCell = i;
        }
    }
    a.GridBoundary = std::min(pos, extent);
}

// Where a cell starts along an axis, and its extent; false when it does not show.
bool AxisCell(const TGridAxisDrawInfo& a, int index, int& start, int& extent)
{
    if (index < 0 || index >= a.GridCellCount) return false;
    extent = a.GetExtent(index);
    if (extent < 0) return false;
    int pos = 0;
    if (index < a.FixedCellCount) {
        for (int i = 0; i < index; ++i) {
            int e = a.GetExtent(i);
            if (e >= 0) pos += e + a.EffectiveLineWidth;
        }
    } else {
        if (index < a.FirstGridCell) return false;
        pos = a.FixedBoundary;
        for (int i = a.FirstGridCell; i < index; ++i) {
            int e = a.GetExtent(i);
            if (e >= 0) pos += e + a.EffectiveLineWidth;
            if (pos >= a.GridExtent) return false;
        }
    }
    if (pos >= a.GridExtent) return false;
    start = pos;
    return true;
}

// The cell at a position along an axis (its grid line belongs to it); -1 for none.
int AxisCoord(const TGridAxisDrawInfo& a, int pos)
{
    if (pos < 0 || pos >= a.GridBoundary) return -1;
    int p = 0;
    if (pos < a.FixedBoundary) {
        for (int i = 0; i < a.FixedCellCount; ++i) {
            int e = a.GetExtent(i);
            if (e < 0) continue;
            p += e + a.EffectiveLineWidth;
            if (pos < p) return i;
        }
        return -1;
    }
    p = a.FixedBoundary;
    for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
        int e = a.GetExtent(i);
        if (e < 0) continue;
        p += e + a.EffectiveLineWidth;
        if (pos < p) return i;
    }
    return -1;
}

} // namespace

// ---- TCustomGrid ------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner)
{
    FOptions = {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TControlStyle st = ControlStyle();
    st.Include(csCaptureMouse);
    st.Include(csOpaque);
    st.Include(csDoubleClicks);
    // Clicks are the grid's own: a click ends a selection with the mouse,
    // and a move of the current cell by keys is one too.
    st.Exclude(csClickEvents);
    SetControlStyle(st);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    ResizeAxis(FColWidths, FColCount, FDefaultColWidth);
    ResizeAxis(FRowHeights, FRowCount, FDefaultRowHeight);
    FTabStops.assign(size_t(FColCount), true);
    FTopLeft = {FFixedCols, FFixedRows};
    FCurrent = FAnchor = FTopLeft;
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid()
{
    StopTimer();
    ShowSizingLine(false);
    ShowMoveMark(false);
    // The editor goes while the grid it lies in is still whole.
    delete FInplaceEdit;
    FInplaceEdit = nullptr;
}

void TCustomGrid::ResizeAxis(std::vector<int>& sizes, int count, int def)
{
    sizes.resize(size_t(count), def);
}

void TCustomGrid::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    p.Style |= WS_TABSTOP;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) p.Style |= WS_VSCROLL;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
        else p.Style |= WS_BORDER;
    }
}

// ---- shape --------------------------------------------------------------------------------

void TCustomGrid::ChangeSize(int cols, int rows)
{
    if (cols < 1 || rows < 1 || cols > MaxCells || rows > MaxCells)
        throw EInvalidGridOperation("Grid index out of range");
    int oldCols = FColCount, oldRows = FRowCount;
    if (cols == oldCols && rows == oldRows) return;
    HideEditor();
    FColCount = cols;
    FRowCount = rows;
    if (FFixedCols >= cols) FFixedCols = cols - 1;
    if (FFixedRows >= rows) FFixedRows = rows - 1;
    ResizeAxis(FColWidths, cols, FDefaultColWidth);
    ResizeAxis(FRowHeights, rows, FDefaultRowHeight);
    FTabStops.resize(size_t(cols), true);
    // The current cell, the anchor and the top-left cell stay inside.
    auto clampCell = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, FFixedCols, std::max(FFixedCols, cols - 1));
        c.Y = std::clamp(c.Y, FFixedRows, std::max(FFixedRows, rows - 1));
    };
    clampCell(FCurrent);
    clampCell(FAnchor);
    clampCell(FTopLeft);
    SizeChanged(oldCols, oldRows);
    TGridCoord m = MaxTopLeft();
    FTopLeft.X = std::min(FTopLeft.X, m.X);
    FTopLeft.Y = std::min(FTopLeft.Y, m.Y);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetColCount(int v) { ChangeSize(v, FRowCount); }
void TCustomGrid::SetRowCount(int v) { ChangeSize(FColCount, v); }

void TCustomGrid::SetFixedCols(int v)
{
    if (v < 0) throw EInvalidGridOperation("Grid index out of range");
    if (v >= FColCount) throw EInvalidGridOperation("Fixed column count must be less than column count");
    if (v == FFixedCols) return;
    HideEditor();
    FFixedCols = v;
    FTopLeft.X = std::max(FTopLeft.X, v);
    FCurrent.X = std::max(FCurrent.X, v);
    FAnchor.X = std::max(FAnchor.X, v);
    FTopLeft.X = std::min(FTopLeft.X, MaxTopLeft().X);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int v)
{
    if (v < 0) throw EInvalidGridOperation("Grid index out of range");
    if (v >= FRowCount) throw EInvalidGridOperation("Fixed row count must be less than row count");
    if (v == FFixedRows) return;
    HideEditor();
    FFixedRows = v;
    FTopLeft.Y = std::max(FTopLeft.Y, v);
    FCurrent.Y = std::max(FCurrent.Y, v);
    FAnchor.Y = std::max(FAnchor.Y, v);
    FTopLeft.Y = std::min(FTopLeft.Y, MaxTopLeft().Y);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v)
{
    FDefaultColWidth = std::max(0, v);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v)
{
    FDefaultRowHeight = std::max(0, v);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int col) const
{
    return col >= 0 && col < FColCount ? FColWidths[size_t(col)] : FDefaultColWidth;
}

int TCustomGrid::RowHeights(int row) const
{
    return row >= 0 && row < FRowCount ? FRowHeights[size_t(row)] : FDefaultRowHeight;
}

void TCustomGrid::SetColWidths(int col, int w)
{
    if (col < 0 || col >= FColCount) throw EInvalidGridOperation("Grid index out of range");
    w = std::max(-1, w);
    if (FColWidths[size_t(col)] == w) return;
    FColWidths[size_t(col)] = w;
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int row, int h)
{
    if (row < 0 || row >= FRowCount) throw EInvalidGridOperation("Grid index out of range");
    h = std::max(-1, h);
    if (FRowHeights[size_t(row)] == h) return;
    FRowHeights[size_t(row)] = h;
    RowHeightsChanged();
}

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollRange();
    if (FTopLeft.X > MaxTopLeft().X) MoveTopLeft(MaxTopLeft().X, FTopLeft.Y);
    UpdateEdit();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollRange();
    if (FTopLeft.Y > MaxTopLeft().Y) MoveTopLeft(FTopLeft.X, MaxTopLeft().Y);
    UpdateEdit();
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int v)
{
    v = std::max(0, v);
    if (v == FGridLineWidth) return;
    FGridLineWidth = v;
    ColWidthsChanged();
}

bool TCustomGrid::TabStops(int col) const { return col >= 0 && col < FColCount ? bool(FTabStops[size_t(col)]) : true; }

void TCustomGrid::SetTabStops(int col, bool v)
{
    if (col < 0 || col >= FColCount) throw EInvalidGridOperation("Grid index out of range");
    FTabStops[size_t(col)] = v;
}

void TCustomGrid::SetOptions(TGridOptions v)
{
    if (v == FOptions) return;
    if (v.Contains(goRowSelect)) v.Exclude(goAlwaysShowEditor);
    FOptions = v;
    if (!v.Contains(goEditing)) HideEditor();
    if (v.Contains(goRowSelect) || !v.Contains(goRangeSelect)) FAnchor = FCurrent;
    if (v.Contains(goAlwaysShowEditor) && v.Contains(goEditing) && Focused()) ShowEditor();
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle v)
{
    if (v == FScrollBars) return;
    FScrollBars = v;
    if (HandleAllocated()) {
        ShowScrollBar(Handle(), SB_HORZ, v == ssHorizontal || v == ssBoth);
        ShowScrollBar(Handle(), SB_VERT, v == ssVertical || v == ssBoth);
        UpdateNonClient();
    }
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor v)
{
    FFixedColor = v;
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    if (HandleAllocated()) RecreateWnd();
}

int TCustomGrid::GridWidth() const
{
    int w = 0;
    for (int c : FColWidths)
        if (c >= 0) w += c + FGridLineWidth;
    return w;
}

int TCustomGrid::GridHeight() const
{
    int h = 0;
    for (int r : FRowHeights)
        if (r >= 0) h += r + FGridLineWidth;
    return h;
}

// ---- layout ---------------------------------------------------------------------------------

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& info) const { CalcDrawInfoXY(info, ClientWidth(), ClientHeight()); }

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& info, int w, int h) const
{
    bool vLines = FOptions.Contains(goVertLine) || FOptions.Contains(goFixedVertLine);
    bool hLines = FOptions.Contains(goHorzLine) || FOptions.Contains(goFixedHorzLine);
    CalcAxis(info.Horz, FFixedCols, FTopLeft.X, FColCount, w, vLines ? FGridLineWidth : 0,
             [this](int i) { return ColWidths(i); });
    CalcAxis(info.Vert, FFixedRows, FTopLeft.Y, FRowCount, h, hLines ? FGridLineWidth : 0,
             [this](int i) { return RowHeights(i); });
}

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& info) const
{
    CalcDrawInfoXY(info, ClientWidth(), ClientHeight());
    info.Horz.GridBoundary = std::min(info.Horz.GridBoundary, info.Horz.GridExtent);
}

TRect TCustomGrid::CellRect(int col, int row) const { return BoxRect(col, row, col, row); }

TRect TCustomGrid::BoxRect(int left, int top, int right, int bottom) const
{
    TGridDrawInfo d;
    CalcDrawInfo(d);
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    // The first and last cells of the range that show.
    auto span = [](const TGridAxisDrawInfo& a, int lo, int hi, int& s, int& e) {
        bool any = false;
        for (int i = lo; i <= hi && i < a.GridCellCount; ++i) {
            int start, ext;
            if (!AxisCell(a, i, start, ext)) continue;
            if (!any) s = start;
            e = std::min(start + ext, a.GridExtent);
            any = true;
        }
        return any;
    };
    int l = 0, r = 0, t = 0, b = 0;
    if (!span(d.Horz, std::max(0, left), right, l, r) || !span(d.Vert, std::max(0, top), bottom, t, b)) return TRect();
    return Rect(l, t, r, b);
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    TGridDrawInfo d;
    CalcDrawInfo(d);
    TGridCoord c{AxisCoord(d.Horz, x), AxisCoord(d.Vert, y)};
    if (c.X < 0 || c.Y < 0) c = {-1, -1};
    return c;
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

int TCustomGrid::VisibleColCount() const
{
    TGridDrawInfo d;
    CalcDrawInfo(d);
    return std::max(0, d.Horz.LastFullVisibleCell - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount() const
{
    TGridDrawInfo d;
    CalcDrawInfo(d);
    return std::max(0, d.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
}

// The furthest the top-left cell may go: the last cells then fill the room.
TGridCoord TCustomGrid::MaxTopLeft() const
{
    TGridDrawInfo d;
    CalcDrawInfo(d);
    auto axis = [](const TGridAxisDrawInfo& a, int fixed, int count) {
        int room = a.GridExtent - a.FixedBoundary;
        int i = count - 1, used = 0;
        while (i > fixed) {
            int e = a.GetExtent(i);
            int add = e >= 0 ? e + a.EffectiveLineWidth : 0;
            int prev = a.GetExtent(i - 1);
            int addPrev = prev >= 0 ? prev + a.EffectiveLineWidth : 0;
            used += add;
            if (used + addPrev > room) break;
            --i;
        }
        return std::max(fixed, i);
    };
    return {axis(d.Horz, FFixedCols, FColCount), axis(d.Vert, FFixedRows, FRowCount)};
}

void TCustomGrid::SetLeftCol(int v) { MoveTopLeft(v, FTopLeft.Y); }
void TCustomGrid::SetTopRow(int v) { MoveTopLeft(FTopLeft.X, v); }

void TCustomGrid::MoveTopLeft(int left, int top)
{
    TGridCoord m = MaxTopLeft();
    left = std::clamp(left, FFixedCols, std::max(FFixedCols, m.X));
    top = std::clamp(top, FFixedRows, std::max(FFixedRows, m.Y));
    if (left == FTopLeft.X && top == FTopLeft.Y) return;
    FTopLeft = {left, top};
    UpdateScrollPos();
    Invalidate();
    UpdateEdit();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {}

void TCustomGrid::ClampInView(TGridCoord c)
{
    if (c.X < FFixedCols || c.Y < FFixedRows) return;
    TGridDrawInfo d;
    CalcDrawInfo(d);
    int left = FTopLeft.X, top = FTopLeft.Y;
    auto fit = [](const TGridAxisDrawInfo& a, int cell, int first) {
        if (cell < first) return cell;
        if (cell <= a.LastFullVisibleCell) return first;
        // The first cell from which `cell` still fits whole.
        int room = a.GridExtent - a.FixedBoundary, used = 0, i = cell;
        for (; i >= a.FixedCellCount; --i) {
            int e = a.GetExtent(i);
            used += e >= 0 ? e + a.EffectiveLineWidth : 0;
            if (used > room) break;
        }
        return std::max(std::min(i + 1, cell), first);
    };
    left = fit(d.Horz, c.X, left);
    top = fit(d.Vert, c.Y, top);
    MoveTopLeft(left, top);
}

void TCustomGrid::UpdateScrollRange()
{
    if (!HandleAllocated()) return;
    TGridCoord m = MaxTopLeft();
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
        SetScrollRange(Handle(), SB_HORZ, 0, std::max(0, m.X - FFixedCols), 0);
        ShowScrollBar(Handle(), SB_HORZ, m.X > FFixedCols);
    }
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
        SetScrollRange(Handle(), SB_VERT, 0, std::max(0, m.Y - FFixedRows), 0);
        ShowScrollBar(Handle(), SB_VERT, m.Y > FFixedRows);
    }
    UpdateScrollPos();
}

void TCustomGrid::UpdateScrollPos()
{
    if (!HandleAllocated()) return;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) SetScrollPos(Handle(), SB_HORZ, FTopLeft.X - FFixedCols, 1);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) SetScrollPos(Handle(), SB_VERT, FTopLeft.Y - FFixedRows, 1);
}

void TCustomGrid::Resize()
{
    TCustomControl::Resize();
    UpdateScrollRange();
    TGridCoord m = MaxTopLeft();
    if (FTopLeft.X > m.X || FTopLeft.Y > m.Y) MoveTopLeft(std::min(FTopLeft.X, m.X), std::min(FTopLeft.Y, m.Y));
    UpdateEdit();
}

// The scroll bars move the top-left cell by cells.
static int ScrollTarget(int code, int first, int fixed, int page, int maxFirst, int thumb, bool track)
{
    switch (code) {
    case SB_LINEUP: return first - 1;
    case SB_LINEDOWN: return first + 1;
    case SB_PAGEUP: return first - std::max(1, page);
    case SB_PAGEDOWN: return first + std::max(1, page);
    case SB_THUMBPOSITION: return fixed + thumb;
    case SB_THUMBTRACK: return track ? fixed + thumb : first;
    case SB_TOP: return fixed;
    case SB_BOTTOM: return maxFirst;
    default: return first;
    }
}

void TCustomGrid::ScrollMessage(TMessage& m, int bar)
{
    int code = LOWORD(m.WParam), thumb = int16_t(HIWORD(m.WParam));
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), bar, &si)) thumb = si.nTrackPos;
    }
    bool horz = bar == SB_HORZ;
    int to = ScrollTarget(code, horz ? FTopLeft.X : FTopLeft.Y, horz ? FFixedCols : FFixedRows,
                          horz ? VisibleColCount() : VisibleRowCount(), horz ? MaxTopLeft().X : MaxTopLeft().Y,
                          thumb, FOptions.Contains(goThumbTracking));
    if (horz) MoveTopLeft(to, FTopLeft.Y);
    else MoveTopLeft(FTopLeft.X, to);
    m.Result = 0;
}

void TCustomGrid::WMHScroll(TMessage& m) { ScrollMessage(m, SB_HORZ); }
void TCustomGrid::WMVScroll(TMessage& m) { ScrollMessage(m, SB_VERT); }

// ---- the current cell and the selection --------------------------------------------------

TGridRect TCustomGrid::Selection() const
{
    TGridRect r = Rect(std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y),
                       std::max(FAnchor.X, FCurrent.X), std::max(FAnchor.Y, FCurrent.Y));
    if (FOptions.Contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& r)
{
    TGridRect old = Selection();
    auto inside = [&](int c, int lo, int hi) { return std::clamp(c, lo, std::max(lo, hi)); };
    FAnchor = {inside(r.Left, FFixedCols, FColCount - 1), inside(r.Top, FFixedRows, FRowCount - 1)};
    FCurrent = {inside(r.Right, FFixedCols, FColCount - 1), inside(r.Bottom, FFixedRows, FRowCount - 1)};
    if (!FOptions.Contains(goRangeSelect) && !FOptions.Contains(goRowSelect)) FAnchor = FCurrent;
    ClampInView(FCurrent);
    SelectionMoved(old);
}

void TCustomGrid::SelectionMoved(const TGridRect& old)
{
    if (!HandleAllocated()) return;
    TRect a = CellRangeRect(old), b = CellRangeRect(Selection());
    // The focus frame of a whole row reaches into the cells' lines.
    InvalidateRect(Rect(a.Left - 1, a.Top - 1, a.Right + 1, a.Bottom + 1));
    InvalidateRect(Rect(b.Left - 1, b.Top - 1, b.Right + 1, b.Bottom + 1));
}

void TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show)
{
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    if (col < FFixedCols || row < FFixedRows) return;
    if (!SelectCell(col, row)) return;
    TGridRect old = Selection();
    bool moved = col != FCurrent.X || row != FCurrent.Y;
    if (moved && FEditorMode) UpdateText();
    FCurrent = {col, row};
    if (moveAnchor || !FOptions.Contains(goRangeSelect)) FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.Y = FCurrent.Y;
    if (show) ClampInView(FCurrent);
    SelectionMoved(old);
    if (moved) {
        if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) UpdateEdit();
        else HideEditor();
    }
}

void TCustomGrid::MoveAnchor(TGridCoord c)
{
    // Extends the selection: the anchor stays, the current cell moves.
    if (!FOptions.Contains(goRangeSelect)) {
        MoveCurrent(c.X, c.Y, true, true);
        return;
    }
    MoveCurrent(c.X, c.Y, false, true);
}

void TCustomGrid::MoveColRow(int col, int row, bool moveAnchor, bool show)
{
    TGridCoord before = FCurrent;
    MoveCurrent(col, row, moveAnchor, show);
    if (!(FCurrent == before)) Click();
}

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    MoveColRow(col, row, moveAnchor, true);
    UpdateEdit();
}

void TCustomGrid::SetCol(int v)
{
    if (v == FCurrent.X) return;
    FocusCell(v, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int v)
{
    if (v == FCurrent.Y) return;
    FocusCell(FCurrent.X, v, true);
}

// ---- repainting ---------------------------------------------------------------------------

void TCustomGrid::InvalidateCell(int col, int row)
{
    if (HandleAllocated()) InvalidateRect(CellRect(col, row));
}

void TCustomGrid::InvalidateCol(int col)
{
    if (HandleAllocated()) InvalidateRect(BoxRect(col, 0, col, FRowCount - 1));
}

void TCustomGrid::InvalidateRow(int row)
{
    if (HandleAllocated()) InvalidateRect(BoxRect(0, row, FColCount - 1, row));
}

void TCustomGrid::Paint()
{
    TCanvas* c = Canvas();
    TGridDrawInfo d;
    CalcDrawInfo(d);
    int lw = FGridLineWidth;
    bool focused = Focused();
    TGridRect sel = Selection();
    std::vector<int> cols, rows;
    for (int i = 0; i < FFixedCols; ++i) cols.push_back(i);
    for (int i = FTopLeft.X; i < FColCount; ++i) {
        int s, e;
        if (AxisCell(d.Horz, i, s, e)) cols.push_back(i);
        else if (ColWidths(i) >= 0) break;
    }
    for (int i = 0; i < FFixedRows; ++i) rows.push_back(i);
    for (int i = FTopLeft.Y; i < FRowCount; ++i) {
        int s, e;
        if (AxisCell(d.Vert, i, s, e)) rows.push_back(i);
        else if (RowHeights(i) >= 0) break;
    }
    bool editorShows = FEditorMode;
    for (int r : rows)
        for (int col : cols) {
            TRect rect = CellRect(col, r);
            if (IsRectEmpty(rect) && (ColWidths(col) != 0 && RowHeights(r) != 0)) continue;
            bool fixed = col < FFixedCols || r < FFixedRows;
            TGridDrawState st;
            if (fixed) st.Include(gdFixed);
            bool isCurrent = col == FCurrent.X && r == FCurrent.Y;
            if (isCurrent && focused) st.Include(gdFocused);
            bool inSel = !fixed && col >= sel.Left && col <= sel.Right && r >= sel.Top && r <= sel.Bottom;
            if (inSel && (!isCurrent || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect) ||
                          !focused))
                st.Include(gdSelected);
            if (inSel && isCurrent && focused && !FOptions.Contains(goDrawFocusSelected) &&
                !FOptions.Contains(goRowSelect))
                st.Exclude(gdSelected);
            c->Font()->Assign(Font());
            c->Brush()->SetStyle(bsSolid);
            if (FDefaultDrawing) {
                if (fixed) c->Brush()->SetColor(FFixedColor);
                else if (st.Contains(gdSelected)) {
                    c->Brush()->SetColor(clHighlight);
                    c->Font()->SetColor(clHighlightText);
                } else {
                    c->Brush()->SetColor(Color());
                }
                c->FillRect(rect);
            }
            DrawCell(col, r, rect, st);
            if (FDefaultDrawing && fixed && Ctl3D() &&
                (FOptions.Contains(goFixedVertLine) || FOptions.Contains(goFixedHorzLine))) {
                TRect e = rect;
                DrawEdge(c->Handle(), e, BDR_RAISEDINNER, BF_RECT);
            }
            if (FDefaultDrawing && isCurrent && focused && !fixed && !editorShows &&
                !FOptions.Contains(goRowSelect)) {
                c->Brush()->SetColor(Color());
                c->DrawFocusRect(rect);
            }
        }
    // Grid lines: black between fixed cells, grey between the others.
    if (lw > 0) {
        c->Brush()->SetStyle(bsSolid);
        int right = d.Horz.GridBoundary, bottom = d.Vert.GridBoundary;
        for (int col : cols) {
            int s, e;
            if (!AxisCell(d.Horz, col, s, e) || s + e >= d.Horz.GridExtent) continue;
            bool fixedCol = col < FFixedCols;
            bool fixedLine = fixedCol ? FOptions.Contains(goFixedVertLine) : false;
            bool normalLine = !fixedCol && FOptions.Contains(goVertLine);
            if (fixedCol && fixedLine) {
                c->Brush()->SetColor(clBlack);
                c->FillRect(Rect(s + e, 0, s + e + lw, bottom));
            } else if (!fixedCol) {
                if (FOptions.Contains(goFixedVertLine) && d.Vert.FixedBoundary > 0) {
                    c->Brush()->SetColor(clBlack);
                    c->FillRect(Rect(s + e, 0, s + e + lw, d.Vert.FixedBoundary));
                }
                if (normalLine) {
                    c->Brush()->SetColor(clSilver);
                    c->FillRect(Rect(s + e, d.Vert.FixedBoundary, s + e + lw, bottom));
                }
            }
        }
        for (int r : rows) {
            int s, e;
            if (!AxisCell(d.Vert, r, s, e) || s + e >= d.Vert.GridExtent) continue;
            bool fixedRow = r < FFixedRows;
            if (fixedRow && FOptions.Contains(goFixedHorzLine)) {
                c->Brush()->SetColor(clBlack);
                c->FillRect(Rect(0, s + e, right, s + e + lw));
            } else if (!fixedRow) {
                if (FOptions.Contains(goFixedHorzLine) && d.Horz.FixedBoundary > 0) {
                    c->Brush()->SetColor(clBlack);
                    c->FillRect(Rect(0, s + e, d.Horz.FixedBoundary, s + e + lw));
                }
                if (FOptions.Contains(goHorzLine)) {
                    c->Brush()->SetColor(clSilver);
                    c->FillRect(Rect(d.Horz.FixedBoundary, s + e, right, s + e + lw));
                }
            }
        }
    }
    // What lies beyond the last cells.
    c->Brush()->SetColor(Color());
    TRect client = ClientRect();
    if (d.Horz.GridBoundary < client.Right) c->FillRect(Rect(d.Horz.GridBoundary, 0, client.Right, client.Bottom));
    if (d.Vert.GridBoundary < client.Bottom) c->FillRect(Rect(0, d.Vert.GridBoundary, d.Horz.GridBoundary, client.Bottom));
    if (FDefaultDrawing && focused && FOptions.Contains(goRowSelect)) {
        TRect r = BoxRect(FFixedCols, FCurrent.Y, FColCount - 1, FCurrent.Y);
        if (!IsRectEmpty(r)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
            c->DrawFocusRect(r);
        }
    }
}

// ---- keys -----------------------------------------------------------------------------------

void TCustomGrid::WMGetDlgCode(TMessage& m)
{
    m.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goRowSelect)) return;
    if (FOptions.Contains(goTabs)) m.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing)) m.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0) return;
    if (!CanGridAcceptKey(key, shift)) {
        key = 0;
        return;
    }
    bool ctrl = shift.Contains(ssCtrl);
    bool rowSelect = FOptions.Contains(goRowSelect);
    TGridCoord to = FCurrent;
    int pageRows = std::max(1, VisibleRowCount());
    switch (key) {
    case VK_UP: if (ctrl) { MoveTopLeft(FTopLeft.X, FTopLeft.Y - 1); return; } --to.Y; break;
    case VK_DOWN: if (ctrl) { MoveTopLeft(FTopLeft.X, FTopLeft.Y + 1); return; } ++to.Y; break;
    case VK_LEFT:
        if (rowSelect || ctrl) { MoveTopLeft(FTopLeft.X - 1, FTopLeft.Y); return; }
        --to.X;
        break;
    case VK_RIGHT:
        if (rowSelect || ctrl) { MoveTopLeft(FTopLeft.X + 1, FTopLeft.Y); return; }
        ++to.X;
        break;
    case VK_PRIOR:
        if (ctrl) to.Y = FTopLeft.Y;
        else {
            to.Y -= pageRows;
            MoveTopLeft(FTopLeft.X, FTopLeft.Y - pageRows);
        }
        break;
    case VK_NEXT:
        if (ctrl) to.Y = FTopLeft.Y + pageRows - 1;
        else {
            to.Y += pageRows;
            MoveTopLeft(FTopLeft.X, FTopLeft.Y + pageRows);
        }
        break;
    case VK_HOME:
        if (ctrl) to.Y = FFixedRows;
        if (ctrl || !rowSelect) to.X = FFixedCols;
        break;
    case VK_END:
        if (ctrl) to.Y = FRowCount - 1;
        if (ctrl || !rowSelect) to.X = FColCount - 1;
        break;
    case VK_TAB: {
        if (ctrl || !FOptions.Contains(goTabs) || rowSelect) return;
        // The next (Shift: previous) column that takes the tab, row by row.
        bool back = shift.Contains(ssShift);
        TGridCoord c = FCurrent;
        for (int guard = 0; guard < FColCount * 2; ++guard) {
            c.X += back ? -1 : 1;
            if (c.X >= FColCount) {
                if (c.Y + 1 >= FRowCount) return;
                c.X = FFixedCols;
                ++c.Y;
            } else if (c.X < FFixedCols) {
                if (c.Y - 1 < FFixedRows) return;
                c.X = FColCount - 1;
                --c.Y;
            }
            if (TabStops(c.X)) break;
        }
        to = c;
        shift.Exclude(ssShift);
        key = 0;
        break;
    }
    case VK_F2:
        SetEditorMode(true);
        return;
    default: return;
    }
    to.X = std::clamp(to.X, FFixedCols, FColCount - 1);
    to.Y = std::clamp(to.Y, FFixedRows, FRowCount - 1);
    if (to == FCurrent) return;
    bool extend = shift.Contains(ssShift) && FOptions.Contains(goRangeSelect) && !rowSelect;
    FocusCell(to.X, to.Y, !extend);
}

void TCustomGrid::KeyPress(char& key)
{
    TCustomControl::KeyPress(key);
    if (key == 0) return;
    if (key == 13 && FEditorMode) {
        UpdateText();
        key = 0;
    }
}

// ---- the mouse -----------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                                  const TGridDrawInfo& d)
{
    state = gsNormal;
    index = -1;
    auto lineAt = [](const TGridAxisDrawInfo& a, int pos, int& idx, int& line) {
        // Fixed cells and the scrolling ones shown, each line where it lies.
        auto test = [&](int i, int start) {
            int e = a.GetExtent(i);
            if (e < 0) return false;
            int l = start + e;
            if (pos >= l - SizingZone && pos <= l + a.EffectiveLineWidth + SizingZone - 1) {
                idx = i;
                line = l;
                return true;
            }
            return false;
        };
        int p = 0;
        for (int i = 0; i < a.FixedCellCount; ++i) {
            if (test(i, p)) return true;
            int e = a.GetExtent(i);
            if (e >= 0) p += e + a.EffectiveLineWidth;
        }
        for (int i = a.FirstGridCell; i < a.GridCellCount && p < a.GridExtent; ++i) {
            if (test(i, p)) return true;
            int e = a.GetExtent(i);
            if (e >= 0) p += e + a.EffectiveLineWidth;
        }
        return false;
    };
    int idx, line;
    if (FOptions.Contains(goColSizing) && y >= 0 && y < d.Vert.FixedBoundary && lineAt(d.Horz, x, idx, line)) {
        state = gsColSizing;
        index = idx;
        sizingPos = line;
        sizingOfs = line - x;
    } else if (FOptions.Contains(goRowSizing) && x >= 0 && x < d.Horz.FixedBoundary &&
               lineAt(d.Vert, y, idx, line)) {
        state = gsRowSizing;
        index = idx;
        sizingPos = line;
        sizingOfs = line - y;
    }
}

bool TCustomGrid::Sizing(int x, int y) const
{
    TGridDrawInfo d;
    CalcFixedInfo(d);
    TGridState st;
    int idx, pos, ofs;
    const_cast<TCustomGrid*>(this)->CalcSizingState(x, y, st, idx, pos, ofs, d);
    return st == gsColSizing || st == gsRowSizing;
}

// The sizing line and the moving mark show on the screen overlay, inverted,
// as lines drawn on the screen would.
void TCustomGrid::ShowSizingLine(bool show)
{
    if (show == FSizingLineShown) return;
    if (show) {
        TRect c = ClientRect();
        TPoint a, b;
        if (FGridState == gsColSizing) {
            a = ClientToScreen(Point(FSizingPos, 0));
            b = ClientToScreen(Point(FSizingPos, c.Bottom));
        } else {
            a = ClientToScreen(Point(0, FSizingPos));
            b = ClientToScreen(Point(c.Right, FSizingPos));
        }
        FSizingLine = Rect(a.X, a.Y, b.X, b.Y);
    }
    ScreenOverlay()->InvertLine(Point(FSizingLine.Left, FSizingLine.Top), Point(FSizingLine.Right, FSizingLine.Bottom),
                                std::max(1, FGridLineWidth));
    FSizingLineShown = show;
}

void TCustomGrid::ShowMoveMark(bool show)
{
    if (show == FMoveMarkShown) return;
    if (show) {
        TGridDrawInfo d;
        CalcDrawInfo(d);
        bool cols = FGridState == gsColMoving;
        const TGridAxisDrawInfo& a = cols ? d.Horz : d.Vert;
        int s = 0, e = 0;
        if (!AxisCell(a, FMovePos, s, e)) return;
        // The mark lies on the edge the row or column would land beside.
        int at = FMovePos > FMoveIndex ? s + e : s;
        TRect c = ClientRect();
        TPoint p1 = cols ? ClientToScreen(Point(at, 0)) : ClientToScreen(Point(0, at));
        TPoint p2 = cols ? ClientToScreen(Point(at, c.Bottom)) : ClientToScreen(Point(c.Right, at));
        FMoveMark = Rect(p1.X, p1.Y, p2.X, p2.Y);
    }
    ScreenOverlay()->InvertLine(Point(FMoveMark.Left, FMoveMark.Top), Point(FMoveMark.Right, FMoveMark.Bottom), 2);
    FMoveMarkShown = show;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Focused() && CanFocus()) SetFocus();
    if (button != mbLeft) {
        TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    if (shift.Contains(ssDouble)) {
        DblClick();
        TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    FLastMouse = Point(x, y);
    TGridDrawInfo d;
    CalcFixedInfo(d);
    TGridState st;
    int idx, pos, ofs;
    CalcSizingState(x, y, st, idx, pos, ofs, d);
    if (st != gsNormal) {
        HideEditor();
        FGridState = st;
        FSizingIndex = idx;
        FSizingPos = pos;
        FSizingOfs = ofs;
        ShowSizingLine(true);
        TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    TGridCoord cell = MouseCoord(x, y);
    if (cell.X >= 0 && cell.Y >= 0) {
        if (cell.Y < FFixedRows && cell.X >= FFixedCols && FOptions.Contains(goColMoving)) {
            HideEditor();
            FGridState = gsColMoving;
            FMoveIndex = FMovePos = cell.X;
            FMoveStart = Point(x, y);
            FMoveStarted = false;
        } else if (cell.X < FFixedCols && cell.Y >= FFixedRows && FOptions.Contains(goRowMoving)) {
            HideEditor();
            FGridState = gsRowMoving;
            FMoveIndex = FMovePos = cell.Y;
            FMoveStart = Point(x, y);
            FMoveStarted = false;
        } else if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
            if (FOptions.Contains(goEditing) && cell == FCurrent && !shift.Contains(ssShift)) {
                ShowEditor();
            } else {
                FGridState = gsSelecting;
                StartTimer();
                if (shift.Contains(ssShift)) MoveAnchor(cell);
                else MoveCurrent(cell.X, cell.Y, true, true);
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    FLastMouse = Point(x, y);
    switch (FGridState) {
    case gsSelecting: {
        TGridDrawInfo d;
        CalcDrawInfo(d);
        int cx = std::clamp(x, d.Horz.FixedBoundary, std::max(d.Horz.FixedBoundary, d.Horz.GridBoundary - 1));
        int cy = std::clamp(y, d.Vert.FixedBoundary, std::max(d.Vert.FixedBoundary, d.Vert.GridBoundary - 1));
        TGridCoord cell = MouseCoord(cx, cy);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && !(cell == FCurrent)) MoveAnchor(cell);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        int p = (FGridState == gsColSizing ? x : y) + FSizingOfs;
        if (p != FSizingPos) {
            ShowSizingLine(false);
            FSizingPos = p;
            ShowSizingLine(true);
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        if (!FMoveStarted && std::abs(x - FMoveStart.X) < MoveThreshold && std::abs(y - FMoveStart.Y) < MoveThreshold)
            break;
        FMoveStarted = true;
        TGridDrawInfo d;
        CalcDrawInfo(d);
        bool cols = FGridState == gsColMoving;
        const TGridAxisDrawInfo& a = cols ? d.Horz : d.Vert;
        int p = std::clamp(cols ? x : y, a.FixedBoundary, std::max(a.FixedBoundary, a.GridBoundary - 1));
        int target = AxisCoord(a, p);
        int fixed = cols ? FFixedCols : FFixedRows;
        if (target >= fixed && target != FMovePos) {
            ShowMoveMark(false);
            FMovePos = target;
        }
        ShowMoveMark(true);
        break;
    }
    default: {
        // The sizing cursor over a line that can be dragged.
        bool sizing = Sizing(x, y);
        if (sizing && !FSizingCursor) {
            FSavedCursor = Cursor();
            FSizingCursor = true;
        } else if (!sizing && FSizingCursor) {
            FSizingCursor = false;
            SetCursor(FSavedCursor);
        }
        if (sizing) {
            TGridDrawInfo d;
            CalcFixedInfo(d);
            TGridState st;
            int idx, pos, ofs;
            CalcSizingState(x, y, st, idx, pos, ofs, d);
            SetCursor(st == gsColSizing ? crHSplit : crVSplit);
        }
        break;
    }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGridState st = FGridState;
    FGridState = gsNormal;
    switch (st) {
    case gsSelecting:
        FGridState = gsSelecting;
        MouseMove(shift, x, y);
        FGridState = gsNormal;
        StopTimer();
        UpdateEdit();
        Click();
        break;
    case gsColSizing:
    case gsRowSizing: {
        FGridState = st;
        ShowSizingLine(false);
        FGridState = gsNormal;
        TGridDrawInfo d;
        CalcDrawInfo(d);
        const TGridAxisDrawInfo& a = st == gsColSizing ? d.Horz : d.Vert;
        int s, e;
        if (AxisCell(a, FSizingIndex, s, e)) {
            int size = std::max(0, FSizingPos - s);
            if (st == gsColSizing) SetColWidths(FSizingIndex, size);
            else SetRowHeights(FSizingIndex, size);
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving:
        FGridState = st;
        ShowMoveMark(false);
        FGridState = gsNormal;
        if (FMoveStarted && FMovePos != FMoveIndex) {
            if (st == gsColMoving) MoveColumn(FMoveIndex, FMovePos);
            else MoveRow(FMoveIndex, FMovePos);
        }
        break;
    default: break;
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::WMCancelMode(TMessage& m)
{
    StopTimer();
    ShowSizingLine(false);
    ShowMoveMark(false);
    FGridState = gsNormal;
    inherited::Dispatch(m);
}

void TCustomGrid::WMSetCursor(TMessage& m) { inherited::Dispatch(m); }

bool TCustomGrid::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheelDown(shift, mousePos)) return true;
    if (FCurrent.Y < FRowCount - 1) FocusCell(FCurrent.X, FCurrent.Y + 1, true);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheelUp(shift, mousePos)) return true;
    if (FCurrent.Y > FFixedRows) FocusCell(FCurrent.X, FCurrent.Y - 1, true);
    return true;
}

// Selecting beyond the edges scrolls on a timer.
void TCustomGrid::StartTimer()
{
    StopTimer();
    FTimer = Timers::Start(60, [this] {
        if (FGridState != gsSelecting) return;
        TGridDrawInfo d;
        CalcDrawInfo(d);
        TGridScrollDirections dirs;
        if (FLastMouse.X < d.Horz.FixedBoundary) dirs.Include(sdLeft);
        else if (FLastMouse.X >= d.Horz.FullVisBoundary) dirs.Include(sdRight);
        if (FLastMouse.Y < d.Vert.FixedBoundary) dirs.Include(sdUp);
        else if (FLastMouse.Y >= d.Vert.FullVisBoundary) dirs.Include(sdDown);
        if (!dirs.Empty()) TimedScroll(dirs);
    });
}

void TCustomGrid::StopTimer()
{
    if (FTimer) Timers::Stop(FTimer);
    FTimer = 0;
}

void TCustomGrid::TimedScroll(TGridScrollDirections dirs)
{
    TGridCoord c = FCurrent;
    if (dirs.Contains(sdLeft)) c.X = std::max(FFixedCols, c.X - 1);
    if (dirs.Contains(sdRight)) c.X = std::min(FColCount - 1, c.X + 1);
    if (dirs.Contains(sdUp)) c.Y = std::max(FFixedRows, c.Y - 1);
    if (dirs.Contains(sdDown)) c.Y = std::min(FRowCount - 1, c.Y + 1);
    if (!(c == FCurrent)) MoveAnchor(c);
}

// ---- focus ------------------------------------------------------------------------------------

void TCustomGrid::WMSetFocus(TMessage& m)
{
    inherited::Dispatch(m);
    InvalidateCell(FCurrent.X, FCurrent.Y);
    if (FOptions.Contains(goRowSelect)) InvalidateRow(FCurrent.Y);
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) ShowEditor();
}

void TCustomGrid::WMKillFocus(TMessage& m)
{
    inherited::Dispatch(m);
    Invalidate();
}

void TCustomGrid::DoEnter() { TCustomControl::DoEnter(); }

void TCustomGrid::DoExit()
{
    TCustomControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

void TCustomGrid::WMCommand(TMessage& m) { inherited::Dispatch(m); }

// ---- moving rows and columns ---------------------------------------------------------------

namespace {
// Where an index ends up when the entry at `from` moves to `to`.
int Shifted(int i, int from, int to)
{
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (from > to && i >= to && i < from) return i + 1;
    return i;
}
template <class V> void MoveEntry(V& v, int from, int to)
{
    auto item = v[size_t(from)];
    v.erase(v.begin() + from);
    v.insert(v.begin() + to, item);
}
}

void TCustomGrid::MoveColumn(int from, int to)
{
    if (from < 0 || to < 0 || from >= FColCount || to >= FColCount) throw EInvalidGridOperation("Grid index out of range");
    if (from == to) return;
    HideEditor();
    MoveEntry(FColWidths, from, to);
    bool stop = FTabStops[size_t(from)];
    FTabStops.erase(FTabStops.begin() + from);
    FTabStops.insert(FTabStops.begin() + to, stop);
    FCurrent.X = Shifted(FCurrent.X, from, to);
    FAnchor.X = Shifted(FAnchor.X, from, to);
    ColumnMoved(from, to);
    Invalidate();
}

void TCustomGrid::MoveRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= FRowCount || to >= FRowCount) throw EInvalidGridOperation("Grid index out of range");
    if (from == to) return;
    HideEditor();
    MoveEntry(FRowHeights, from, to);
    FCurrent.Y = Shifted(FCurrent.Y, from, to);
    FAnchor.Y = Shifted(FAnchor.Y, from, to);
    RowMoved(from, to);
    Invalidate();
}

void TCustomGrid::DeleteColumn(int col)
{
    MoveColumn(col, FColCount - 1);
    SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int row)
{
    MoveRow(row, FRowCount - 1);
    SetRowCount(FRowCount - 1);
}

// ---- the in-place editor --------------------------------------------------------------------

bool TCustomGrid::CanEditShow()
{
    bool active = Focused() || (FInplaceEdit && FInplaceEdit->Focused()) || FOptions.Contains(goAlwaysShowEditor);
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FCurrent.X >= FFixedCols &&
           FCurrent.Y >= FFixedRows && HandleAllocated() && active;
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::SetEditorMode(bool v)
{
    if (v) ShowEditor();
    else HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow()) return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        if (!FInplaceEdit) return;
        // Parented once made, so that its window comes from the most derived
        // CreateParams (a descendant's editor may wrap its words).
        FInplaceEdit->SetParent(this);
    }
    FEditorMode = true;
    FEditCell = {-1, -1};
    UpdateEdit();
}

void TCustomGrid::HideEditor()
{
    if (!FEditorMode) return;
    UpdateText();
    FEditorMode = false;
    FEditCell = {-1, -1};
    if (FInplaceEdit) {
        bool hadFocus = FInplaceEdit->Focused();
        FInplaceEdit->Hide();
        if (hadFocus && CanFocus()) SetFocus();
    }
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::InvalidateEditor()
{
    FEditCell = {-1, -1};
    UpdateEdit();
}

// The editor follows the current cell: loaded when it comes to a new cell,
// placed again when the cell moves, hidden while the cell does not show.
void TCustomGrid::UpdateEdit()
{
    if (!FEditorMode || !FInplaceEdit) return;
    TRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (IsRectEmpty(r)) {
        FInplaceEdit->Hide();
        return;
    }
    bool fresh = !(FEditCell == FCurrent);
    if (fresh) {
        FEditCell = FCurrent;
        FInplaceEdit->UpdateContents();
    }
    bool grab = Focused() || FInplaceEdit->Focused();
    FInplaceEdit->Move(r);
    if (grab && FInplaceEdit->CanFocus()) FInplaceEdit->SetFocus();
    if (fresh) FInplaceEdit->SelectAll();
}

// The text goes to the cell once it was changed there.
void TCustomGrid::UpdateText()
{
    if (!FEditorMode || !FInplaceEdit || FEditCell.X < 0 || !FInplaceEdit->Modified()) return;
    std::string text = FInplaceEdit->Text();
    FInplaceEdit->SetModified(false);
    SetEditText(FEditCell.X, FEditCell.Y, text);
}

// A character typed on the grid opens the editor, which takes it.
void TCustomGrid::WMChar(TMessage& m)
{
    // Characters that reach the grid while its editor is open (the rest of
    // what an input method composed) belong to the editor.
    if (FEditorMode && FInplaceEdit && FInplaceEdit->Visible() && m.WParam >= 32) {
        FInplaceEdit->Perform(m.Msg, m.WParam, m.LParam);
        m.Result = 0;
        return;
    }
    bool opens = FOptions.Contains(goEditing) && !FEditorMode && m.WParam >= 32 && m.WParam != 127;
    if (!opens) {
        inherited::Dispatch(m);
        return;
    }
    char probe = m.WParam < 0x80 ? char(m.WParam) : char(0x80);
    if (!CanEditAcceptKey(probe) || !CanEditShow()) {
        inherited::Dispatch(m);
        return;
    }
    // The grid's own key handlers see the character first and may take it.
    if (m.Msg == WM_CHAR && DoKeyPress(m)) return;
    ShowEditor();
    if (FEditorMode && FInplaceEdit && FInplaceEdit->Visible()) {
        FInplaceEdit->Perform(m.Msg, m.WParam, m.LParam);
        m.Result = 0;
    }
}

TInplaceEdit::TInplaceEdit(TComponent* owner) : TCustomEdit(owner)
{
    FGrid = DynamicCast<TCustomGrid>(owner);
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetVisible(false);
}

void TInplaceEdit::CreateParams(TCreateParams& p)
{
    TCustomEdit::CreateParams(p);
    p.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::UpdateContents()
{
    if (!FGrid) return;
    int col = FGrid->Col(), row = FGrid->Row();
    SetMaxLength(FGrid->GetEditLimit());
    FEditMask = FGrid->GetEditMask(col, row);
    FEditStyle = FGrid->GetEditStyle(col, row);
    SetReadOnly(!FGrid->CanEditModify());
    SetText(FGrid->GetEditText(col, row));
    SetModified(false);
}

void TInplaceEdit::Move(const TRect& r)
{
    UpdateLoc(r);
    if (!Visible()) Show();
}

void TInplaceEdit::UpdateLoc(const TRect& r)
{
    if (PosEqual(r)) return;
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    BoundsChanged();
}

void TInplaceEdit::Hide()
{
    SetVisible(false);
}

void TInplaceEdit::SendToGrid(WORD& key, TShiftState shift)
{
    if (!FGrid) return;
    WORD k = key;
    FGrid->KeyDown(k, shift);
    key = 0;
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    if (!key || !FGrid) return;
    bool ctrl = shift.Contains(ssCtrl);
    int len = GetTextLen();
    bool noSel = SelLength() == 0;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        SendToGrid(key, shift);
        break;
    case VK_TAB:
        if (FGrid->Options().Contains(goTabs) && !ctrl) SendToGrid(key, shift);
        break;
    case VK_LEFT:
        if (noSel && CaretIndex() == 0 && !shift.Contains(ssShift)) SendToGrid(key, shift);
        break;
    case VK_RIGHT:
        if (noSel && CaretIndex() == len && !shift.Contains(ssShift)) SendToGrid(key, shift);
        break;
    case VK_HOME:
    case VK_END:
        if (ctrl) SendToGrid(key, shift);
        break;
    case VK_F2:
        // The caret to the end, as editing goes on.
        SetSelStart(len);
        SetSelLength(0);
        key = 0;
        break;
    case VK_DELETE:
    case VK_BACK:
        if (!FGrid->CanEditModify()) key = 0;
        break;
    default: break;
    }
}

void TInplaceEdit::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    if (!key || !FGrid) return;
    if (key == 13) {
        // Enter hands the text to the grid and keeps editing.
        FGrid->UpdateText();
        SelectAll();
        key = 0;
    } else if (key == 27) {
        // Esc gives back what the cell holds.
        SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
        SetModified(false);
        key = 0;
        if (FGrid->Options().Contains(goAlwaysShowEditor)) SelectAll();
        else FGrid->HideEditor();
    } else if (uint8_t(key) >= 32 && (!FGrid->CanEditModify() || !FGrid->CanEditAcceptKey(key))) {
        key = 0;
    }
}

// ---- TDrawGrid -----------------------------------------------------------------------------------

void TDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row)
{
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

void TDrawGrid::ColumnMoved(int from, int to)
{
    if (OnColumnMoved) OnColumnMoved(this, from, to);
}

void TDrawGrid::RowMoved(int from, int to)
{
    if (OnRowMoved) OnRowMoved(this, from, to);
}

void TDrawGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

std::string TDrawGrid::GetEditText(int col, int row)
{
    std::string v;
    if (OnGetEditText) OnGetEditText(this, col, row, v);
    return v;
}

void TDrawGrid::SetEditText(int col, int row, const std::string& value)
{
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

std::string TDrawGrid::GetEditMask(int col, int row)
{
    std::string v;
    if (OnGetEditMask) OnGetEditMask(this, col, row, v);
    return v;
}

// ---- TStringGrid ---------------------------------------------------------------------------------

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner)
{
    SizeChanged(0, 0);
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SizeChanged(int, int)
{
    FData.resize(size_t(RowCount()));
    for (auto& row : FData) row.resize(size_t(ColCount()));
}

std::string TStringGrid::Cells(int col, int row) const
{
    if (row < 0 || col < 0 || row >= int(FData.size()) || col >= int(FData[size_t(row)].size())) return {};
    return FData[size_t(row)][size_t(col)].Text;
}

void TStringGrid::SetCells(int col, int row, const std::string& value)
{
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
    std::string& t = FData[size_t(row)][size_t(col)].Text;
    if (t == value) return;
    t = value;
    InvalidateCell(col, row);
    if (!FEditUpdate && FEditorMode && col == Col() && row == Row()) InvalidateEditor();
}

TObject* TStringGrid::Objects(int col, int row) const
{
    if (row < 0 || col < 0 || row >= int(FData.size()) || col >= int(FData[size_t(row)].size())) return nullptr;
    return FData[size_t(row)][size_t(col)].Object;
}

void TStringGrid::SetObjects(int col, int row, TObject* obj)
{
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
    FData[size_t(row)][size_t(col)].Object = obj;
}

std::vector<std::string> TStringGrid::Rows(int row) const
{
    std::vector<std::string> out;
    for (int c = 0; c < ColCount(); ++c) out.push_back(Cells(c, row));
    return out;
}

void TStringGrid::SetRows(int row, const std::vector<std::string>& texts)
{
    for (int c = 0; c < ColCount() && c < int(texts.size()); ++c) SetCells(c, row, texts[size_t(c)]);
}

std::vector<std::string> TStringGrid::Cols(int col) const
{
    std::vector<std::string> out;
    for (int r = 0; r < RowCount(); ++r) out.push_back(Cells(col, r));
    return out;
}

void TStringGrid::SetCols(int col, const std::vector<std::string>& texts)
{
    for (int r = 0; r < RowCount() && r < int(texts.size()); ++r) SetCells(col, r, texts[size_t(r)]);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (DefaultDrawing()) {
        TRect r = rect;
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->TextRect(r, r.Left + 2, r.Top + 2, Cells(col, row));
        Canvas()->Brush()->SetStyle(bsSolid);
    }
    TDrawGrid::DrawCell(col, row, rect, state);
}

std::string TStringGrid::GetEditText(int col, int row)
{
    std::string v = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, v);
    return v;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value)
{
    FEditUpdate = true;
    SetCells(col, row, value);
    FEditUpdate = false;
    TDrawGrid::SetEditText(col, row, value);
}

void TStringGrid::ColumnMoved(int from, int to)
{
    for (auto& row : FData) MoveEntry(row, from, to);
    TDrawGrid::ColumnMoved(from, to);
}

void TStringGrid::RowMoved(int from, int to)
{
    MoveEntry(FData, from, to);
    TDrawGrid::RowMoved(from, to);
}
