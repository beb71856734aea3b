// How the data-aware grid paints itself: each cell by its kind (indicator,
// title, multi-level title, data, footer spacer, footer), then the grid
// lines, silver (grey on a silver grid), and the area past the last cell.
#include "DBGridEh.h"
#include "DBGridEhInplaceEdit.h"
#include "DBGridEhFilter.h"
#include "DBGridEhRes.h"
#include "DBSumLst.h"

#include <algorithm>
#include <cmath>

namespace {

UINT AlignFlags(TAlignment a)
{
    switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// Writes a cell's text inside the cell, 2 pixels in from its sides.
void WriteText(TCanvas* c, const TRect& rect, const std::string& text, TAlignment a, bool endEllipsis,
               bool vcenter)
{
    TRect r = rect;
    r.Left += 2;
    r.Right -= 2;
    r.Top += vcenter ? 0 : 2;
    UINT f = AlignFlags(a) | DT_SINGLELINE | DT_NOPREFIX | (vcenter ? DT_VCENTER : 0);
    if (endEllipsis) f |= DT_END_ELLIPSIS;
    if (r.Right > r.Left) c->DrawText(text, r, f);
}

// The top of a single line of text th high in rect by the layout; a line
// taller than the room below the margin stays at the top.
int SingleLineTop(const TRect& rect, int dy, int th, TTextLayout layout)
{
    int y = rect.Top;
    if (layout != tlTop && th < rect.Height() - dy)
        y = layout == tlCenter ? (rect.Top + rect.Bottom - th) / 2 - dy : rect.Bottom - th - dy;
    return y + dy;
}

void Fill(TCanvas* c, const TRect& r, TColor color)
{
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
}


} // namespace

void DBGridEh::WriteCellText(TCanvas* c, const TRect& rect, bool fillRect, int dx, int dy, const std::string& text,
                             TAlignment alignment, TTextLayout layout, bool multiLine, bool endEllipsis)
{
    TBrushStyle saved = c->Brush()->Style();
    if (fillRect) c->FillRect(rect);
    c->Brush()->SetStyle(bsClear);
    UINT f = AlignFlags(alignment) | DT_EXPANDTABS | DT_NOPREFIX | (endEllipsis ? DT_END_ELLIPSIS : 0);
    TRect t = rect;
    if (multiLine) {
        f |= DT_WORDBREAK;
        t = TRect{rect.Left + dx, rect.Top + dy, rect.Right - dx, rect.Bottom - dy};
        if (layout != tlTop) {
            TRect calc = t;
            c->DrawText(text, calc, f | DT_CALCRECT);
            int h = calc.Height();
            int top = layout == tlCenter ? t.Top + t.Height() / 2 - h / 2 : t.Bottom - h;
            // Text taller than the cell keeps its first line in sight.
            t.Top = std::max(t.Top, top);
        }
        if (dx > 0) ++t.Bottom;
    } else {
        f |= DT_SINGLELINE;
        // A right-aligned line keeps 3 pixels from the edge whatever the margin.
        if (alignment == taLeftJustify) t.Left += dx;
        else if (alignment == taRightJustify) t.Right -= 3;
        t.Top = SingleLineTop(rect, dy, c->TextHeight(text), layout);
    }
    if (t.Right > t.Left && t.Bottom > t.Top && !text.empty()) c->DrawText(text, t, f);
    c->Brush()->SetStyle(saved);
}

void DBGridEh::MakeRotatedFont(TFont* font)
{
    font->SetOrientation(900);
    if (SameText(font->Name(), "Default")) font->SetName("MS Sans Serif");
}

int DBGridEh::WriteCellTextVertical(TCanvas* c, const TRect& rect, bool fillRect, int dx, int dy,
                                    const std::string& text, TAlignment alignment, TTextLayout layout,
                                    bool measureOnly)
{
    TFont saved;
    saved.Assign(c->Font());
    MakeRotatedFont(c->Font());
    int length = c->TextWidth(text);
    if (!measureOnly) {
        int th = c->TextHeight(text);
        int x = alignment == taLeftJustify    ? rect.Left + dx
                : alignment == taRightJustify ? rect.Right - th
                                              : (rect.Left + rect.Right) / 2 - th / 2;
        // The text starts at its bottom end and runs upwards.
        int y = layout == tlTop ? rect.Top + length : layout == tlBottom ? rect.Bottom - dy : (rect.Top + rect.Bottom) / 2 + length / 2;
        TBrushStyle style = c->Brush()->Style();
        if (fillRect) c->FillRect(rect);
        c->Brush()->SetStyle(bsClear);
        HDC dc = c->Handle();
        int level = SaveDC(dc);
        IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
        c->TextOut(x, y, text);
        RestoreDC(dc, level);
        c->Brush()->SetStyle(style);
    }
    c->Font()->Assign(&saved);
    return length;
}

void DBGridEh::DrawImageClipped(TCustomImageList* images, TCanvas* c, TAlignment alignment, int xOffset, int index,
                                const TRect& rect)
{
    if (!images || index < 0 || index >= images->Count()) return;
    int w = images->Width(), h = images->Height();
    int x = alignment == taLeftJustify    ? rect.Left + xOffset
            : alignment == taRightJustify ? rect.Right - w + xOffset
                                          : (rect.Left + rect.Right - w) / 2 + xOffset;
    int y = (rect.Top + rect.Bottom - h) / 2;
    if (x >= rect.Left && y >= rect.Top && x + w <= rect.Right && y + h <= rect.Bottom) {
        images->Draw(c, x, y, index);
        return;
    }
    HDC dc = c->Handle();
    int level = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    images->Draw(c, x, y, index);
    RestoreDC(dc, level);
}

void TCustomDBGridEh::Paint()
{
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    TColor lineColor = Color() == clSilver ? clGray : clSilver;
    int lw = GridLineWidth();
    bool colLines = FOptions.Contains(dgColLines) && lw > 0;
    bool rowLines = FOptions.Contains(dgRowLines) && lw > 0;
    int right = 0, bottom = 0;
    std::vector<int> cols;
    for (int i = 0; i < FixedCols(); ++i) cols.push_back(i);
    for (int i = std::max(LeftCol(), FixedCols()); i < ColCount(); ++i) {
        TRect r = CellRect(i, 0);
        if (ColWidths(i) > 0 && r.Left >= client.Right) break;
        cols.push_back(i);
    }
    bool focused = Focused();
    for (int row = 0; row < RowCount(); ++row) {
        for (int col : cols) {
            TRect rect = CellRect(col, row);
            if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) continue;
            TGridDrawState st;
            if (col < FixedCols() || row < FixedRows()) st.Include(gdFixed);
            bool current = col == Col() && row == Row();
            if (current && focused) st.Include(gdFocused);
            if ((current || (FOptions.Contains(dgRowSelect) && row == Row())) &&
                (focused || FOptions.Contains(dgAlwaysShowSelection)))
                st.Include(gdSelected);
            c->Font()->Assign(Font());
            DrawCell(col, row, rect, st);
            if (colLines) Fill(c, TRect{rect.Right, rect.Top, rect.Right + lw, rect.Bottom + (rowLines ? lw : 0)}, lineColor);
            if (rowLines) Fill(c, TRect{rect.Left, rect.Bottom, rect.Right + (colLines ? lw : 0), rect.Bottom + lw}, lineColor);
            right = std::max(right, rect.Right + (colLines ? lw : 0));
            bottom = std::max(bottom, rect.Bottom + (rowLines ? lw : 0));
        }
    }
    if (right < client.Right) Fill(c, TRect{right, 0, client.Right, client.Bottom}, Color());
    if (bottom < client.Bottom) Fill(c, TRect{0, bottom, std::min(right, client.Right), client.Bottom}, Color());
    // A row-selecting grid frames its current row, from the frozen columns on.
    if (ShowsRowFocusRect() && (!FStyle || FStyle->FocusRectVisible()) && FDataLink->Active()) {
        int first = std::max(FIndicatorColCount, FixedCols() - FFrozenCols);
        TRect l = CellRect(first, Row()), r = CellRect(cols.empty() ? first : cols.back(), Row());
        TRect focus{l.Left, l.Top, r.Right, r.Bottom};
        if (focus.Right > focus.Left && focus.Bottom > focus.Top) {
            c->Font()->SetColor(clWindowText);
            c->Brush()->SetColor(clWindow);
            c->DrawFocusRect(focus);
        }
    }
}

void TCustomDBGridEh::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    int c = col, r = row;
    int type = GetCellType(c, r);
    int colKind = type & 0xFF, rowKind = type >> 8;
    TCanvas* cv = Canvas();
    bool frame = CellUses3DFrame(col, row, state, rect);
    bool sunken = false;
    if (colKind == 0) {
        if (rowKind == 2) sunken = DrawIndicatorCell(r, rect, state);
        else if (rowKind >= 3) Fill(cv, rect, FOptionsEh.Contains(dghFrozen3D) ? FixedColor() : Color());
        else Fill(cv, rect, FixedColor());
    } else if (c < 0 || c >= FColumns->Count()) {
        Fill(cv, rect, Color());
        return;
    } else {
        switch (rowKind) {
        case 0:
            if (FUseMultiTitle && LeafNode(c)) {
                DrawMultiTitleCell(c, rect, state);   // frames each of its levels itself
                frame = false;
            } else {
                sunken = DrawTitleCell(c, rect, state);
            }
            break;
        case 1: FSTFilter->DrawFilterCell(c, rect); break;
        case 2: DrawDataCell(c, r, rect, state); break;
        case 3: Fill(cv, rect, Color()); break;
        case 4: DrawFooterCell(c, r - 1, rect, state); break;
        default: Fill(cv, rect, FixedColor()); break;
        }
    }
    if (frame) DrawCellFrame3D(rect, sunken);
}

void TCustomDBGridEh::DrawCellFrame3D(const TRect& rect, bool sunken)
{
    TRect r = rect;
    DrawEdge(Canvas()->Handle(), r, sunken ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT);
}

bool TCustomDBGridEh::DrawIndicatorCell(int dataRow, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    if (!FDataLink->Active() || dataRow >= DataRowCount()) {
        Fill(c, rect, FixedColor());
        return false;
    }
    bool current = RowIsCurrent(dataRow);
    bool selected = FSelection->SelectionKind() == gstAll;
    if (!selected && FOptions.Contains(dgMultiSelect) && FSelection->Rows()->Count() > 0) {
        BeginRowRead(dataRow);
        selected = FSelection->Rows()->CurrentRowSelected();
        EndRowRead();
    }
    TColor face = FixedColor();
    TFont font;
    bool highlighted = GetFixedCellColors(0, FFirstDataRow + dataRow, &font, face, selected, state, true);
    Fill(c, rect, face);
    if (current) FIndicatorRow = FFirstDataRow + dataRow;
    if (!current && !selected) return highlighted;
    TDataSet* ds = FDataLink->DataSet();
    TDataSetState st = ds ? ds->State() : dsInactive;
    int image = -1;
    switch (st) {
    case dsBrowse: image = !current ? -1 : selected ? 5 : FIncSearching ? 6 : 0; break;
    case dsEdit: image = 1; break;
    case dsInsert: image = 2; break;
    case dsInactive: break;
    default: image = 0; break;
    }
    if (image < 0) return highlighted;
    TCustomImageList* images = DBGridEh::IndicatorImages();
    int x = rect.Left + (rect.Right - rect.Left - images->Width()) / 2;
    int y = rect.Top + (rect.Bottom - rect.Top - images->Height()) / 2;
    images->Draw(c, x, y, image);
    return highlighted;
}

TCustomImageList* TCustomDBGridEh::TitleImages() const { return FTitleImages.Get(); }

void TCustomDBGridEh::SetTitleImages(TCustomImageList* v)
{
    if (v == TitleImages()) return;
    FTitleImages = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TCustomDBGridEh::DrawSortMarker(TColumnEh* column, TRect& textRect)
{
    TColumnTitleEh* t = column->Title();
    int w = t->SortMarkerWidth();
    if (w < 3 || t->SortMarker() == smNoneEh) return;
    TCanvas* c = Canvas();
    TRect m{textRect.Right - w, textRect.Top, textRect.Right, textRect.Bottom};
    textRect.Right = m.Left;
    if (w >= 16) {
        TCustomImageList* markers = DBGridEh::SortMarkerImages();
        int y = (m.Top + m.Bottom - markers->Height()) / 2;
        markers->Draw(c, m.Left + 2, y, t->SortMarker() == smDownEh ? 0 : 1);
    }
    if (FSortColumnList.size() >= 2) {
        c->Font()->Assign(DBGridEh::SortIndexFont());
        c->Brush()->SetStyle(bsClear);
        TRect r{m.Right - SortIndexTextWidth(t->SortIndex()) - 1, m.Top, m.Right, m.Bottom};
        c->DrawText(std::to_string(t->SortIndex()), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
    }
}

bool TCustomDBGridEh::DrawTitleCell(int dataCol, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    TColumnEh* col = FColumns->Items(dataCol);
    TColumnTitleEh* t = col->Title();
    TColor bg = t->Color();
    c->Font()->Assign(t->Font());
    if (OnGetBtnParams && col->Field()) {
        TSortMarkerEh marker = t->SortMarker();
        OnGetBtnParams(this, col, c->Font(), bg, marker, false);
    }
    bool selected = FSelection->SelectionKind() == gstAll ||
                    (FSelection->SelectionKind() == gstColumns && FSelection->SelectedColumns()->Contains(col));
    TFont titleFont;
    titleFont.Assign(c->Font());
    bool highlighted = GetFixedCellColors(DataToRawColumn(dataCol), 0, &titleFont, bg, selected, state, true);
    Fill(c, rect, bg);
    TRect tr = rect;
    // A title button held down shows pressed, its contents a pixel lower and right.
    bool down = FPressedTitleCol == DataToRawColumn(dataCol);
    if (down) OffsetRect(tr, 1, 1);
    DrawSortMarker(col, tr);
    c->Font()->Assign(&titleFont);
    TCustomImageList* images = TitleImages();
    if (images && t->ImageIndex() >= 0) {
        // The image stands in for the caption, placed as the caption would be.
        TRect ir{tr.Left + 2, tr.Top, tr.Right - 2, tr.Bottom};
        DBGridEh::DrawImageClipped(images, c, t->Alignment(), 0, t->ImageIndex(), ir);
    } else if (t->Orientation() == tohVertical) {
        // Read upwards from the bottom of the cell.
        c->Brush()->SetStyle(bsClear);
        DBGridEh::WriteCellTextVertical(c, tr, false, CellTextMargin(), CellTextVerticalMargin() + 2, t->Caption(),
                                        taCenter, tlBottom);
        c->Brush()->SetStyle(bsSolid);
    } else {
        c->Brush()->SetStyle(bsClear);
        WriteText(c, tr, t->Caption(), t->Alignment(), t->EndEllipsis(), true);
        c->Brush()->SetStyle(bsSolid);
    }
    if (down && !CellUses3DFrame(DataToRawColumn(dataCol), 0, state, rect)) {
        TRect e = rect;
        DrawEdge(c->Handle(), e, BDR_SUNKENOUTER, BF_RECT);
    }
    return down || highlighted;
}

void TCustomDBGridEh::DrawMultiTitleCell(int dataCol, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    THeadTreeNode* leaf = LeafNode(dataCol);
    std::vector<THeadTreeNode*> chain;
    for (THeadTreeNode* n = leaf; n && n->ParentNode; n = n->ParentNode) chain.insert(chain.begin(), n);
    int lw = FOptions.Contains(dgColLines) ? GridLineWidth() : 0;
    TColumnEh* column = FColumns->Items(dataCol);
    HDC dc = c->Handle();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom + lw);
    int y = rect.Top;
    for (THeadTreeNode* n : chain) {
        bool isLeaf = n == leaf;
        int h = isLeaf ? rect.Bottom - y : n->NodeHeight;
        // The group spans its leaves: find how far this cell lies into it.
        int before = 0;
        std::vector<TColumnEh*> leaves;
        std::function<void(THeadTreeNode*)> collect = [&](THeadTreeNode* x) {
            if (x->LeafColumn) leaves.push_back(x->LeafColumn);
            for (THeadTreeNode* ch : x->Children()) collect(ch);
        };
        collect(n);
        for (TColumnEh* lc : leaves) {
            if (lc == column) break;
            if (lc->Visible()) before += lc->Width() + lw;
        }
        TRect g{rect.Left - before, y, rect.Left - before + n->NodeWidth, y + h};
        if (isLeaf) g = TRect{rect.Left, y, rect.Right, rect.Bottom};
        TColumnTitleEh* t = column->Title();
        Fill(c, g, t->Color());
        TRect tr = g;
        if (isLeaf) DrawSortMarker(column, tr);
        c->Font()->Assign(t->Font());
        c->Brush()->SetStyle(bsClear);
        TRect wr = tr;
        wr.Left += 2;
        wr.Right -= 2;
        UINT f = AlignFlags(isLeaf ? t->Alignment() : taCenter) | DT_WORDBREAK | DT_NOPREFIX;
        TRect calc = wr;
        c->DrawText(n->NodeText, calc, f | DT_CALCRECT);
        wr.Top += std::max(0, (wr.Height() - calc.Height()) / 2);
        c->DrawText(n->NodeText, wr, f);
        c->Brush()->SetStyle(bsSolid);
        if (FOptionsEh.Contains(dghFixed3D)) DrawCellFrame3D(g, false);
        if (!isLeaf && lw > 0 && FOptions.Contains(dgRowLines))
            Fill(c, TRect{g.Left, g.Bottom - lw, g.Right + lw, g.Bottom}, Color() == clSilver ? clGray : clSilver);
        y += h;
    }
    RestoreDC(dc, saved);
}

// A check box centred in the cell, as the grid suite draws its check boxes
// (shrunk to the cell when the cell is smaller).
void TCustomDBGridEh::DrawCheckBox(const TRect& rect, TCheckBoxState st)
{
    int w = std::min(ToolCtrlsEh::CheckBoxWidth(), rect.Width());
    int h = std::min(ToolCtrlsEh::CheckBoxHeight(), rect.Height());
    int x = (rect.Left + rect.Right - w) / 2, y = (rect.Top + rect.Bottom - h) / 2;
    ToolCtrlsEh::RenderButtonControl(Canvas()->Handle(), TRect{x, y, x + w, y + h}, Color(), bdsCheckBoxEh, 0, FFlat,
                                     false, true, st);
}

namespace {

// The size of a button drawn in a cell.
int CellButtonWidthOf(bool flat)
{
    return flat ? ToolCtrlsEh::FlatEditButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

int CellButtonHeightOf(bool flat, int rowHeight)
{
    int w = CellButtonWidthOf(flat);
    return rowHeight > int(std::nearbyint(w * 1.5)) ? ToolCtrlsEh::EditButtonHeightFor(w, flat) : rowHeight;
}

TButtonDrawStyleEh DrawStyleOfEditStyle(int style)
{
    return style == esEllipsis ? bdsEllipsisEh : style == esUpDown ? bdsUpDownEh : bdsDropDownEh;
}

}  // namespace

// The buttons of a column that shows them always, at the cell's right:
// its own button first, then its visible edit buttons. Returns the width
// they take (0 when the column shows none).
int TCustomDBGridEh::DrawCellButtons(TColumnEh* column, const TRect& rect, TColor background)
{
    if (!column->AlwaysShowEditButton() || column->CellKind() == ckCheckboxes) return 0;
    int own = ColumnEditStyleEh(column);
    int w = CellButtonWidthOf(FFlat);
    int h = std::min(CellButtonHeightOf(FFlat, DefaultRowHeight()), rect.Height());
    int extra = FFlat ? 1 : 0;
    struct TButtonBox {
        TButtonDrawStyleEh Style;
        int Width;
    };
    std::vector<TButtonBox> boxes;
    if (own != esSimple) boxes.push_back({DrawStyleOfEditStyle(own), w + extra});
    for (int i = 0; i < column->EditButtons()->Count(); ++i) {
        TEditButtonEh* b = column->EditButtons()->Items(i);
        if (!b->Visible()) continue;
        boxes.push_back({ToolCtrlsEh::ButtonDrawStyle(b->Style()), (b->Width() < 1 ? w : b->Width()) + extra});
    }
    int total = 0;
    for (const TButtonBox& b : boxes) total += b.Width;
    total = std::min(total, rect.Width());
    if (total <= 0) return 0;
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    int x = rect.Right - total;
    Fill(c, TRect{x, rect.Top, rect.Right, rect.Bottom}, background);
    for (const TButtonBox& b : boxes) {
        TRect r{x, rect.Top, std::min(x + b.Width, rect.Right), rect.Top + h};
        if (FFlat) {
            // A one-pixel separator in the cell's colour before each flat button.
            Fill(c, TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, background);
            ++r.Left;
        }
        if (r.Right > r.Left) ToolCtrlsEh::RenderButtonControl(dc, r, background, b.Style, 0, FFlat, false, true, cbUnchecked);
        x += b.Width;
    }
    return total;
}

void TCustomDBGridEh::DrawDataCell(int dataCol, int dataRow, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    TColumnEh* col = FColumns->Items(dataCol);
    if (!FDataLink->Active() || dataRow >= DataRowCount()) {
        Fill(c, rect, col->Color());
        return;
    }
    bool current = RowIsCurrent(dataRow);
    FPaintActiveRecord = FDataLink->ActiveRecord();
    FPaintingCurrentRow = current;
    BeginRowRead(dataRow);
    try {
        c->Font()->Assign(col->Font());
        // The cell's parameters: the column's, then the grid's and the column's handlers.
        TColCellParamsEh& p = *FCellParams;
        col->FillCellParams(&p);
        p.Col = DataToRawColumn(dataCol);
        p.Row = FFirstDataRow + dataRow;
        p.State = state;
        p.Font = c->Font();
        GetCellParams(col, c->Font(), p.Background, state);
        col->DoGetCellParams(false, &p);
        TColor bg = p.Background;
        bool highlight = GetDataCellColors(dataCol, dataRow, c->Font(), bg, state);
        p.Background = bg;
        p.State = state;
        TRect cellRect = rect;
        // The first shown column of a tree starts with the node's boxes.
        if (MemTableIsTree() && !FShownColumns.empty() && col == FShownColumns.front()) {
            int indent = std::min(TreeIndent(), int(rect.Right - rect.Left));
            DrawTreeCell(TRect{rect.Left, rect.Top, rect.Left + indent, rect.Bottom}, col, state,
                         highlight && FOptions.Contains(dgRowSelect));
            cellRect.Left += indent;
        }
        Fill(c, cellRect, bg);
        TRect textRect = cellRect;
        textRect.Right -= DrawCellButtons(col, cellRect, bg);
        DrawCellContent(textRect, dataCol, col, p);
        DrawColumnCell(textRect, dataCol, col, state);
        // The focused cell of a grid that has the focus shows a focus rectangle.
        if (state.Contains(gdFocused) && !FOptions.Contains(dgRowSelect) && HasInputFocus() &&
            PaintLockCount() == 0 && IsFormActiveControl() && (!FStyle || FStyle->FocusRectVisible()) &&
            !ComponentState().Contains(csDesigning)) {
            c->Brush()->SetColor(bg);
            c->DrawFocusRect(rect);
        }
    } catch (...) {
        EndRowRead();
        FPaintingCurrentRow = false;
        throw;
    }
    EndRowRead();
    FPaintingCurrentRow = false;
}

void TCustomDBGridEh::DefaultDrawColumnCell(const TRect& rect, int dataCol, TColumnEh* column,
                                            TGridDrawState state)
{
    // As the grid draws the cell: the column's text, the image and colour of the cell drawn last.
    TColCellParamsEh p;
    p.Text = column->CellDisplayText();
    p.Alignment = column->Alignment();
    p.CheckboxState = column->CellCheckState();
    p.ImageIndex = FCellParams->ImageIndex;
    p.Background = FCellParams->Background;
    p.State = state;
    TRect r = rect;
    if (FOptionsEh.Contains(dghFooter3D)) InflateRect(r, -1, -1);
    DrawCellContent(r, dataCol, column, p);
}

void TCustomDBGridEh::DrawCellContent(const TRect& rect, int dataCol, TColumnEh* column, const TColCellParamsEh& p)
{
    TCanvas* c = Canvas();
    TCustomImageList* images = column->ImageList();
    TCellKindEh kind = column->CellKind();
    if (kind == ckCheckboxes) {
        DrawCheckBox(rect, p.CheckboxState);
        return;
    }
    if (kind == ckKeyImageList) {
        if (images) DBGridEh::DrawImageClipped(images, c, taCenter, 0, p.ImageIndex, rect);
        return;
    }
    TRect textArea = rect;
    if (images && column->ShowImageAndText()) {
        // The image in a box of its own at the left, on the column's colour.
        TRect box{rect.Left, rect.Top, std::min(int(rect.Right), rect.Left + images->Width() + 4), rect.Bottom};
        Fill(c, box, column->Color());
        DBGridEh::DrawImageClipped(images, c, taCenter, 0, p.ImageIndex, box);
        c->Brush()->SetColor(p.Background);
        textArea.Left = box.Right + 1;
    }
    const std::string& text = p.Text;
    const int dx = CellTextMargin(), dy = CellTextVerticalMargin();
    bool wrap = column->WordWrap() && RowHoldsSeveralLines(column->Font());
    DBGridEh::WriteCellText(c, textArea, false, dx, dy, text, p.Alignment, column->Layout(), wrap,
                            column->EndEllipsis());
    // The text an incremental search matched shows marked, where it stands in the cell.
    if (FIncSearching && !FIncSearchText.empty() && dataCol == SelectedIndex() && PaintLockCount() == 0 &&
        FPaintingCurrentRow && (Focused() || FOptions.Contains(dgAlwaysShowSelection)) &&
        text.compare(0, FIncSearchText.size(), FIncSearchText) == 0) {
        TRect r = textArea;
        int rest = c->TextWidth(text.substr(FIncSearchText.size()));
        int all = c->TextWidth(text), mark = all - rest;
        // Where WriteCellText put the line.
        int left = r.Left + dx;
        if (p.Alignment == taRightJustify) left = r.Right - 3 - all;
        else if (p.Alignment == taCenter) left = r.Left + r.Width() / 2 - all / 2;
        TRect m{std::max(left, r.Left), r.Top + 1, std::min(left + mark, r.Right), r.Bottom - 1};
        if (m.Right > m.Left) {
            c->Brush()->SetColor(DBGridEh::IncSearchColor);
            c->Font()->SetColor(DBGridEh::IncSearchFontColor);
            c->FillRect(m);
            c->Brush()->SetStyle(bsClear);
            c->TextRect(m, left, SingleLineTop(r, dy, c->TextHeight(text), column->Layout()), FIncSearchText);
            c->Brush()->SetStyle(bsSolid);
        }
    }
}

bool TCustomDBGridEh::RowHoldsSeveralLines(TFont* font)
{
    return DefaultRowHeight() > TextHeightOf(font) + FTextVerticalMargin;
}

void TCustomDBGridEh::DrawColumnCell(const TRect& rect, int dataCol, TColumnEh* column, TGridDrawState state)
{
    if (FColumns->ColumnsState() == cssDefault && OnDrawDataCell) OnDrawDataCell(this, rect, column->Field(), state);
    if (OnDrawColumnCell) OnDrawColumnCell(this, rect, dataCol, column, state);
}

void TCustomDBGridEh::DrawFooterCell(int dataCol, int footerRow, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    TColumnEh* col = FColumns->Items(dataCol);
    TColumnFooterEh* f = col->FooterForRow(footerRow);
    TColor bg = f->Color();
    TAlignment a = f->Alignment();
    std::string text = FooterValueText(col, footerRow);
    c->Font()->Assign(f->Font());
    if (OnGetFooterParams) OnGetFooterParams(this, dataCol, footerRow, col, c->Font(), bg, a, state, text);
    Fill(c, rect, bg);
    DBGridEh::WriteCellText(c, rect, false, CellTextMargin(), CellTextVerticalMargin(), text, a, col->Layout(),
                            f->WordWrap() && RowHoldsSeveralLines(f->Font()), false);
    if (OnDrawFooterCell) OnDrawFooterCell(this, dataCol, footerRow, col, rect, state);
}
