// The shared paint style of the data-aware grids and the grid's side of it:
// which cells show highlighted, in which colours, and the grids a style
// serves.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"
#include "DBGridEhInplaceEdit.h"
#include "Forms.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TDBGridEhStyle, TPersistent)

namespace {
TDBGridEhStyle* GDefaultStyle = nullptr;
bool GDefaultStyleMade = false;
}  // namespace

TDBGridEhStyle* DBGridEh::DefaultGridStyle()
{
    // Made once, with the first grid; once destroyed it stays gone.
    if (!GDefaultStyleMade) {
        GDefaultStyleMade = true;
        GDefaultStyle = new TDBGridEhStyle();
    }
    return GDefaultStyle;
}

void DBGridEh::FreeDefaultGridStyle() { delete GDefaultStyle; }

TDBGridEhStyle::TDBGridEhStyle()
{
    FNotifyWindow = AllocateHWnd([this](TMessage& m) { WindowProc(m); });
    ScreenColorsChanged();
}

TDBGridEhStyle::~TDBGridEhStyle()
{
    if (FNotifyWindow) DeallocateHWnd(FNotifyWindow);
    if (GDefaultStyle == this) GDefaultStyle = nullptr;
    // The grids fall back to the default style (none when this was it).
    while (!FGrids.empty()) {
        TCustomDBGridEh* g = FGrids.back();
        FGrids.pop_back();
        if (g->Style() == this) g->AttachStyle(nullptr);
    }
}

void TDBGridEhStyle::AddGrid(TCustomDBGridEh* grid)
{
    if (grid && !HasGrid(grid)) FGrids.push_back(grid);
}

bool TDBGridEhStyle::HasGrid(TCustomDBGridEh* grid) const
{
    return std::find(FGrids.begin(), FGrids.end(), grid) != FGrids.end();
}

void TDBGridEhStyle::RemoveGrid(TCustomDBGridEh* grid)
{
    auto it = std::find(FGrids.begin(), FGrids.end(), grid);
    if (it != FGrids.end()) FGrids.erase(it);
}

void TDBGridEhStyle::InvalidateGrids()
{
    for (TCustomDBGridEh* g : FGrids) g->Invalidate();
}

void TDBGridEhStyle::SetLuminateSelection(bool v)
{
    if (v == FLuminateSelection) return;
    FLuminateSelection = v;
    InvalidateGrids();
}

void TDBGridEhStyle::SetFocusRectVisible(bool v)
{
    if (v == FFocusRectVisible) return;
    FFocusRectVisible = v;
    InvalidateGrids();
}

void TDBGridEhStyle::WindowProc(TMessage& message)
{
    if (message.Msg == WM_SYSCOLORCHANGE) {
        try {
            ScreenColorsChanged();
        } catch (std::exception& e) {
            if (Application) Application->ShowException(e);
        }
        InvalidateGrids();
    }
}

void TDBGridEhStyle::ScreenColorsChanged()
{
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    FScreenColorCount = bits > 8 || bits <= 0 ? -1 : 1 << bits;
}

TColor TDBGridEhStyle::MixColor(TColor color, TColor highlight, bool contrast)
{
    TColorRef c = ColorToRGB(color), h = ColorToRGB(highlight);
    auto channel = [contrast](int cv, int hv) {
        double v = cv + (hv - cv) * 0.5;
        v = v + (225 - v) * 0.6;
        if (contrast) v = v - (122 - v) * 0.25;
        return std::clamp(int(std::nearbyint(v)), 0, 255);   // half to even
    };
    return TColor(RGB(channel(GetRValue(c), GetRValue(h)), channel(GetGValue(c), GetGValue(h)),
                      channel(GetBValue(c), GetBValue(h))));
}

void TDBGridEhStyle::GetDataCellColors(TCustomDBGridEh* grid, int dataCol, int dataRow, TFont* font,
                                       TColor& background, TGridDrawState state, bool currentCell)
{
    TDBGridOptions o = grid->Options();
    if (grid->HasInputFocus()) {
        if (FLuminateSelection && TrueColorScreen() && !currentCell) {
            background = MixColor(background, clHighlight, true);
        } else {
            background = clHighlight;
            font->SetColor(clHighlightText);
        }
        return;
    }
    bool focusHighlight = grid->OptionsEh().Contains(dghHighlightFocus) || o.Contains(dgAlwaysShowSelection);
    if (currentCell && focusHighlight) {
        background = clBtnShadow;
        font->SetColor(clHighlightText);
    } else if (TrueColorScreen()) {
        background = MixColor(background, clBtnShadow, false);
    } else {
        background = clBtnFace;
    }
}

bool TDBGridEhStyle::GetFixedCellColors(TCustomDBGridEh* grid, int col, int row, TFont* font, TColor& background,
                                        TGridDrawState state, bool dataColumnHeading)
{
    if (dataColumnHeading) {
        background = TColor(RGB(64, 64, 64));
        font->SetColor(clWhite);
    } else if (grid->HasInputFocus()) {
        if (FLuminateSelection && TrueColorScreen()) {
            background = MixColor(background, clHighlight, true);
        } else {
            background = clHighlight;
            font->SetColor(clHighlightText);
        }
    } else {
        background = TrueColorScreen() ? MixColor(background, clBtnShadow, false) : TColor(clBtnFace);
    }
    return true;
}

// ---- the grid's side --------------------------------------------------------------------------------

void TCustomDBGridEh::AttachStyle(TDBGridEhStyle* style)
{
    if (style && style == FStyle) return;
    if (FStyle) FStyle->RemoveGrid(this);
    FStyle = nullptr;
    if (style) {
        FStyle = style;
        style->AddGrid(this);
        Invalidate();
    } else {
        UseDefaultStyle();
    }
}

void TCustomDBGridEh::UseDefaultStyle()
{
    TDBGridEhStyle* d = DBGridEh::DefaultGridStyle();
    if (d && d == FStyle) return;
    if (FStyle) FStyle->RemoveGrid(this);
    FStyle = d;
    if (d) d->AddGrid(this);
    else RequestLayout();
}

bool TCustomDBGridEh::HasInputFocus() const
{
    HWND f = GetFocus();
    if (!f) return false;
    if (HandleAllocated() && f == const_cast<TCustomDBGridEh*>(this)->Handle()) return true;
    TInplaceEdit* e = InplaceEditor();
    return e && e->HandleAllocated() && f == e->Handle();
}

bool TCustomDBGridEh::IsFormActiveControl() const
{
    if (TCustomForm* form = GetParentForm(const_cast<TCustomDBGridEh*>(this)))
        return form->ActiveControl() == this;
    if (!HandleAllocated()) return false;
    HWND mine = const_cast<TCustomDBGridEh*>(this)->Handle();
    for (HWND w = GetFocus(); w; w = GetParent(w))
        if (w == mine) return true;
    return false;
}

bool TCustomDBGridEh::ShowsRowFocusRect()
{
    return !ComponentState().Contains(csDesigning) && FOptions.Contains(dgRowSelect) && Focused();
}

bool TCustomDBGridEh::GetDataCellColors(int dataCol, int dataRow, TFont* font, TColor& background,
                                        TGridDrawState& state)
{
    bool currentRow = RowIsCurrent(dataRow);
    bool currentCol = dataCol == SelectedIndex();
    bool rowSelect = FOptions.Contains(dgRowSelect);
    bool selected = false;
    if (FDataLink->Active() && FSelection->SelectionKind() != gstNon && FDataLink->DataSet())
        selected = FSelection->IsDataCellSelected(dataCol, FDataLink->DataSet()->Bookmark());
    bool focusHighlight = false;
    if (selected) {
        state.Include(gdSelected);
    } else {
        focusHighlight = Focused() && FOptionsEh.Contains(dghHighlightFocus);
        if (FOptionsEh.Contains(dghRowHighlight) && currentRow && FSelection->SelectionKind() == gstNon &&
            !currentCol) {
            focusHighlight = true;
            state.Include(gdSelected);
        }
    }
    bool highlight = selected ||
                     ((state.Contains(gdSelected) || (currentRow && rowSelect)) &&
                      (FOptions.Contains(dgAlwaysShowSelection) || focusHighlight) &&
                      (PaintLockCount() == 0 || rowSelect));
    if (!highlight) return false;
    bool currentCell = currentRow && (currentCol || rowSelect);
    if (FStyle) {
        FStyle->GetDataCellColors(this, dataCol, dataRow, font, background, state, currentCell);
    } else if (HasInputFocus()) {
        background = clHighlight;
        font->SetColor(clHighlightText);
    } else if (currentCell && (focusHighlight || FOptions.Contains(dgAlwaysShowSelection))) {
        background = clBtnShadow;
        font->SetColor(clHighlightText);
    } else {
        background = clBtnFace;
    }
    return true;
}

bool TCustomDBGridEh::GetFixedCellColors(int col, int row, TFont* font, TColor& background, bool selected,
                                         TGridDrawState state, bool dataColumnHeading)
{
    if (!selected) return false;
    if (FStyle) return FStyle->GetFixedCellColors(this, col, row, font, background, state, dataColumnHeading);
    if (dataColumnHeading) {
        background = TColor(RGB(64, 64, 64));
        font->SetColor(clWhite);
    } else if (HasInputFocus()) {
        background = clHighlight;
        font->SetColor(clHighlightText);
    } else {
        background = clBtnFace;
    }
    return true;
}

bool TCustomDBGridEh::CellUses3DFrame(int col, int row, TGridDrawState state, const TRect& rect)
{
    int c = col, r = row;
    int type = GetCellType(c, r);
    int colKind = type & 0xFF, rowKind = type >> 8;
    bool fixed = state.Contains(gdFixed);
    bool footer = rowKind == 4, spacer = rowKind == 3;
    if (rowKind == 1 && colKind == 1 && FSTFilter->ColumnHasFilterCell(c)) return false;
    if (FOptionsEh.Contains(dghFixed3D) && fixed && !spacer && (colKind == 0 || rowKind < 2)) return true;
    if (FOptionsEh.Contains(dghFooter3D) && footer) return true;
    if (FOptionsEh.Contains(dghData3D) && !fixed && !footer) return true;
    if ((FOptionsEh.Contains(dghFixed3D) || FOptionsEh.Contains(dghData3D) || FOptionsEh.Contains(dghFrozen3D)) &&
        FFooterRowCount > 0 && colKind == 0 && spacer)
        return true;
    if (FOptionsEh.Contains(dghFrozen3D) && fixed && colKind == 1 && rowKind == 2) return true;
    return false;
}
