#include "frxExportMatrix.h"

#include "Graphics.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxDrawText.h"

#include <algorithm>
#include <cmath>

// ---- style and object ------------------------------------------------------------------------

TfrxIEMStyle::TfrxIEMStyle() : Font(std::make_unique<TfrxFont>()) {}
TfrxIEMStyle::~TfrxIEMStyle() = default;

void TfrxIEMStyle::Assign(const TfrxIEMStyle& s)
{
    Font->Assign(s.Font.get());
    LineSpacing = s.LineSpacing;
    VAlign = s.VAlign;
    HAlign = s.HAlign;
    FrameTyp = s.FrameTyp;
    FrameWidth = s.FrameWidth;
    FrameColor = s.FrameColor;
    FrameStyle = s.FrameStyle;
    Color = s.Color;
    Rotation = s.Rotation;
    GapX = s.GapX;
    GapY = s.GapY;
}

bool TfrxIEMStyle::IsEqual(const TfrxIEMStyle& o) const
{
    // The font's character set does not take part.
    return Font->Color() == o.Font->Color() && Font->Name() == o.Font->Name() && Font->Size() == o.Font->Size() &&
           Font->Style() == o.Font->Style() && LineSpacing == o.LineSpacing && GapX == o.GapX && GapY == o.GapY &&
           HAlign == o.HAlign && VAlign == o.VAlign && FrameTyp == o.FrameTyp && FrameWidth == o.FrameWidth &&
           FrameColor == o.FrameColor && FrameStyle == o.FrameStyle && Rotation == o.Rotation && Color == o.Color;
}

TfrxIEMObject::TfrxIEMObject() : Memo(std::make_unique<TStringList>()) {}
TfrxIEMObject::~TfrxIEMObject() = default;

std::string TfrxIEMObject::Text() const { return Memo->Text(); }

// ---- matrix ----------------------------------------------------------------------------------------

TfrxIEMatrix::TfrxIEMatrix() = default;
TfrxIEMatrix::~TfrxIEMatrix() { Clear(); }

void TfrxIEMatrix::Clear()
{
    FObjects.clear();
    FStyles.clear();
    FXPos.clear();
    FYPos.clear();
    FPages.clear();
    FCells.clear();
    FColCount = FRowCount = 0;
    FPageOffset = 0;
}

int TfrxIEMatrix::AddStyle(std::unique_ptr<TfrxIEMStyle> style)
{
    for (size_t i = 0; i < FStyles.size(); ++i)
        if (FStyles[i]->IsEqual(*style)) return int(i);
    FStyles.push_back(std::move(style));
    return int(FStyles.size()) - 1;
}

bool TfrxIEMatrix::IsTextMemo(TfrxView* view) const
{
    auto* m = DynamicCast<TfrxCustomMemoView>(view);
    return m && (m->BrushStyle == frxEnums::bsSolid || m->BrushStyle == frxEnums::bsClear) &&
           !(m->Rotation() != 0 && RotatedAsImage);
}

namespace {
bool IsLine(TfrxView* v) { return DynamicCast<TfrxCustomLineView>(v) && (v->Width() == 0 || v->Height() == 0); }
// A negative width or height becomes positive, the left or top edge moving by it.
void MakeExtentsPositive(TfrxIEMObject& o)
{
    if (o.Width < 0) {
        o.Left += o.Width;
        o.Width = -o.Width;
    }
    if (o.Height < 0) {
        o.Top += o.Height;
        o.Height = -o.Height;
    }
}
bool IsRectangle(TfrxView* v)
{
    auto* s = DynamicCast<TfrxShapeView>(v);
    return s && s->Shape == skRectangle;
}
}  // namespace

int TfrxIEMatrix::StyleOf(TfrxView* view)
{
    auto style = std::make_unique<TfrxIEMStyle>();
    if (IsTextMemo(view)) {
        auto* m = static_cast<TfrxCustomMemoView*>(view);
        TfrxHighlight* h = m->Highlight();
        if (h->Active && h->Font()) {
            style->Font->Assign(h->Font());
            style->Color = h->Color;
        } else {
            style->Font->Assign(m->Font());
            style->Color = m->Color;
        }
        style->HAlign = m->HAlign;
        style->VAlign = m->VAlign;
        style->LineSpacing = m->LineSpacing;
        style->GapX = m->GapX;
        style->GapY = m->GapY;
        style->Rotation = m->Rotation();
        style->FrameTyp = view->Frame()->Typ;
        style->FrameWidth = float(view->Frame()->Width);
        style->FrameColor = view->Frame()->Color;
        style->FrameStyle = view->Frame()->Style;
    } else if (IsLine(view)) {
        style->Color = view->Color;
        TfrxFrameTypes t;
        if (view->Width() == 0)
            t.Include(ftLeft);
        else
            t.Include(ftTop);
        style->FrameTyp = t;
        style->FrameWidth = float(view->Frame()->Width);
        style->FrameColor = view->Frame()->Color;
        style->FrameStyle = view->Frame()->Style;
        style->Font->SetName("Arial");
        style->Font->SetSize(1);
    } else if (IsRectangle(view)) {
        return -1;
    } else {
        style->Font->Assign(view->Font());
        style->Color = view->Color;
    }
    return AddStyle(std::move(style));
}

void TfrxIEMatrix::AddPos(std::vector<double>& list, double value)
{
    const size_t from = list.size() > 100 ? list.size() - 100 : 0;
    for (size_t i = list.size(); i-- > from;)
        if (list[i] == value) return;
    list.push_back(value);
}

void TfrxIEMatrix::AddObject(TfrxView* view)
{
    const bool text = IsTextMemo(view);
    if (!text && !IsLine(view) && IsRectangle(view)) {
        // A rectangle becomes its four edges, or one framed empty text when filled.
        const double l = view->AbsLeft(), t = view->AbsTop(), w = view->Width(), h = view->Height();
        if (view->Color == clNone) {
            const double edges[4][4] = {{l, t, w, 0}, {l, t, 0, h}, {l, t + h, w, 0}, {l + w, t, 0, h}};
            for (const auto& e : edges) {
                TfrxCustomLineView line(nullptr);
                line.SetFrame(view->Frame());
                line.SetBounds(e[0], e[1], e[2], e[3]);
                AddObject(&line);
            }
        } else {
            TfrxCustomMemoView m(nullptr);
            m.SetFrame(view->Frame());
            TfrxFrameTypes all;
            all.Include(ftLeft);
            all.Include(ftRight);
            all.Include(ftTop);
            all.Include(ftBottom);
            m.Frame()->Typ = all;
            m.Color = view->Color;
            m.Font()->SetSize(1);
            m.SetBounds(l, t, w, h);
            AddObject(&m);
        }
        return;
    }
    auto obj = std::make_unique<TfrxIEMObject>();
    obj->StyleIndex = StyleOf(view);
    obj->Style = obj->StyleIndex >= 0 ? FStyles[size_t(obj->StyleIndex)].get() : nullptr;
    obj->URL = view->URL;
    const double absLeft = view->AbsLeft(), absTop = view->AbsTop();
    obj->Left = absLeft >= 0 ? absLeft : 0;
    obj->Top = absTop >= 0 ? absTop + FPageOffset : FPageOffset;
    obj->Width = view->Width();
    obj->Height = view->Height();
    if (text) {
        auto* m = static_cast<TfrxCustomMemoView*>(view);
        // The lines as the preview shows them (the page count put in, broken
        // where drawing breaks them, what falls outside the memo left out);
        // without StripTags the memo's own lines, markup and all.
        if (StripTags)
            obj->Memo->SetText(m->ShownText().Text());
        else
            obj->Memo->SetText(m->GetComponentText());
        obj->IsText = true;
    } else if (IsLine(view)) {
        obj->IsText = true;
        MakeExtentsPositive(*obj);
        const double thin = Tolerance >= 1 ? Tolerance : 1;
        if (obj->Width == 0) obj->Width = thin;
        if (obj->Height == 0) obj->Height = thin;
    } else {
        obj->IsText = false;
        obj->Width = view->Width() + 1;
        obj->Height = view->Height() + 1;
        if (Round(obj->Width) == 0) obj->Width = 1;
        if (Round(obj->Height) == 0) obj->Height = 1;
        MakeExtentsPositive(*obj);
        const int bw = int(std::min<int64_t>(Round(obj->Width) + 1, 20000));
        const int bh = int(std::min<int64_t>(Round(obj->Height) + 1, 20000));
        obj->Image = std::make_unique<TBitmap>(bw, bh);
        obj->Image->SetPixelFormat(pf24bit);
        TCanvas* c = obj->Image->Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(Rect(0, 0, bw, bh));
        view->Draw(c, 1, 1, 1 - absLeft, 1 - absTop);
        obj->Image->FinishDrawing();
    }
    FMaxHeight = std::max(FMaxHeight, obj->Top + obj->Height);
    FMaxWidth = std::max(FMaxWidth, obj->Left + obj->Width);
    FMinLeft = std::min(FMinLeft, obj->Left);
    FMinTop = std::min(FMinTop, obj->Top);
    AddPos(FXPos, obj->Left);
    AddPos(FXPos, obj->Left + obj->Width);
    AddPos(FYPos, obj->Top);
    AddPos(FYPos, obj->Top + obj->Height);
    auto entry = std::make_unique<TfrxIEMObjectList>();
    entry->Obj = std::move(obj);
    FObjects.push_back(std::move(entry));
}

void TfrxIEMatrix::AddPage(int orientation, double width, double height, double leftMargin, double topMargin,
                           double rightMargin, double bottomMargin)
{
    FPageOffset = FMaxHeight;
    FPages.push_back({FMaxHeight, orientation, width, height, leftMargin, topMargin, bottomMargin, rightMargin});
}

void TfrxIEMatrix::MergePositions(std::vector<double>& list, double maxCell)
{
    std::sort(list.begin(), list.end());
    for (size_t i = 0; i + 1 < list.size();) {
        if (Tolerance > list[i + 1] - list[i])
            list.erase(list.begin() + long(i));   // the later boundary survives
        else
            ++i;
    }
    if (maxCell > 0) {
        const size_t n = list.size();
        bool added = false;
        for (size_t i = 0; i + 1 < n; ++i) {
            const double gap = list[i + 1] - list[i];
            if (gap > maxCell) {
                const int64_t pieces = int64_t(std::trunc(gap / maxCell));
                for (int64_t k = 1; k <= pieces && k < 1000000; ++k) {
                    list.push_back(list[i] + double(k) * maxCell);
                    added = true;
                }
            }
        }
        if (added) std::sort(list.begin(), list.end());
    }
}

namespace {
// The first boundary >= value, and the count of boundaries walked to reach end.
void Span(const std::vector<double>& list, double start, double end, int& index, int& span)
{
    index = int(std::lower_bound(list.begin(), list.end(), start) - list.begin());
    span = 0;
    for (size_t i = size_t(index) + 1; i < list.size(); ++i) {
        ++span;
        if (list[i] >= end) break;
    }
    if (span == 0) span = 1;
}
}  // namespace

void TfrxIEMatrix::Locate()
{
    for (auto& e : FObjects) {
        Span(FXPos, e->Obj->Left, e->Obj->Left + e->Obj->Width, e->Column, e->ColSpan);
        Span(FYPos, e->Obj->Top, e->Obj->Top + e->Obj->Height, e->Row, e->RowSpan);
    }
}

int TfrxIEMatrix::Cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount) return -1;
    return FCells[size_t(col) + size_t(row) * size_t(FColCount)];
}

void TfrxIEMatrix::SetStyleOf(TfrxIEMObject* obj, std::unique_ptr<TfrxIEMStyle> style)
{
    obj->StyleIndex = AddStyle(std::move(style));
    obj->Style = FStyles[size_t(obj->StyleIndex)].get();
}

void TfrxIEMatrix::FillCells()
{
    FCells.assign(size_t(FColCount) * size_t(FRowCount), -1);
    for (size_t i = 0; i < FObjects.size(); ++i) {
        TfrxIEMObjectList& e = *FObjects[i];
        TfrxIEMObject* o = e.Obj.get();
        if (o->Style && o->Style->Color == clNone) {
            const int under = Cell(e.Column, e.Row);
            if (under >= 0) {
                TfrxIEMObject* u = FObjects[size_t(under)]->Obj.get();
                const TColor c = u->Style ? u->Style->Color : clNone;
                if (c != clNone && c != o->Style->Font->Color()) {
                    auto s = std::make_unique<TfrxIEMStyle>();
                    s->Assign(*o->Style);
                    s->Color = c;
                    SetStyleOf(o, std::move(s));
                }
            }
        }
        for (int r = e.Row; r < e.Row + e.RowSpan && r < FRowCount; ++r)
            for (int c = e.Column; c < e.Column + e.ColSpan && c < FColCount; ++c)
                FCells[size_t(c) + size_t(r) * size_t(FColCount)] = int(i);
    }
}

void TfrxIEMatrix::FindRun(int col, int row, int& dx, int& dy) const
{
    const int a = Cell(col, row);
    dx = 0;
    while (Cell(col + dx, row) == a) ++dx;
    dy = 0;
    for (int r = row; r < FRowCount && Cell(col, r) == a; ++r) {
        int run = 0;
        while (run < dx && Cell(col + run, r) == a) ++run;
        if (run < dx) break;
        ++dy;
    }
}

void TfrxIEMatrix::SplitObjects()
{
    for (int row = 0; row < FRowCount; ++row) {
        for (int col = 0; col < FColCount; ++col) {
            const int index = Cell(col, row);
            if (index < 0 || FObjects[size_t(index)]->Placed) continue;
            int dx, dy;
            FindRun(col, row, dx, dy);
            TfrxIEMObjectList& e = *FObjects[size_t(index)];
            if (e.Column == col && e.Row == row && e.ColSpan == dx && e.RowSpan == dy) {
                e.Placed = true;
                continue;
            }
            TfrxIEMObject* src = e.Obj.get();
            auto piece = std::make_unique<TfrxIEMObject>();
            piece->StyleIndex = src->StyleIndex;
            piece->Style = src->Style;
            piece->Left = GetXPos(col);
            piece->Top = GetYPos(row);
            piece->Width = GetXPos(col + dx) - piece->Left;
            piece->Height = GetYPos(row + dy) - piece->Top;
            piece->Parent = src;
            piece->URL = src->URL;
            if (src->Top + src->Height - piece->Top > src->Height / 3 &&
                src->Left + src->Width - piece->Left > src->Width / 3) {
                piece->Image = std::move(src->Image);
                piece->IsText = src->IsText;
                piece->Memo->Assign(src->Memo.get());
                src->Memo->Clear();
                src->IsText = true;
            }
            if (src->Style && piece->Style) {
                TfrxFrameTypes sides;
                const TfrxFrameTypes f = src->Style->FrameTyp;
                if (f.Contains(ftTop) && piece->Top == src->Top) sides.Include(ftTop);
                if (f.Contains(ftLeft) && piece->Left == src->Left) sides.Include(ftLeft);
                if (f.Contains(ftBottom) && piece->Top + piece->Height == src->Top + src->Height)
                    sides.Include(ftBottom);
                if (f.Contains(ftRight) && piece->Left + piece->Width == src->Left + src->Width)
                    sides.Include(ftRight);
                if (!(sides == piece->Style->FrameTyp)) {
                    auto s = std::make_unique<TfrxIEMStyle>();
                    s->Assign(*src->Style);
                    s->FrameTyp = sides;
                    SetStyleOf(piece.get(), std::move(s));
                }
            }
            auto entry = std::make_unique<TfrxIEMObjectList>();
            entry->Obj = std::move(piece);
            entry->Column = col;
            entry->Row = row;
            entry->ColSpan = dx;
            entry->RowSpan = dy;
            entry->Placed = true;
            const int newIndex = int(FObjects.size());
            FObjects.push_back(std::move(entry));
            for (int r = row; r < row + dy; ++r)
                for (int c = col; c < col + dx; ++c) {
                    int& cell = FCells[size_t(c) + size_t(r) * size_t(FColCount)];
                    if (cell == index) cell = newIndex;
                }
        }
    }
}

void TfrxIEMatrix::DoOptimizeFrames()
{
    for (int row = 0; row < FRowCount; ++row)
        for (int col = 0; col < FColCount; ++col) {
            TfrxIEMObject* o = GetObject(col, row);
            if (!o || !o->Style) continue;
            TfrxFrameTypes sides = o->Style->FrameTyp;
            if (sides.Contains(ftTop) && row > 0) {
                TfrxIEMObject* a = GetObject(col, row - 1);
                if (a && a != o && a->Style && a->Style->FrameTyp.Contains(ftBottom) &&
                    a->Style->FrameWidth == o->Style->FrameWidth && a->Style->FrameColor == o->Style->FrameColor)
                    sides.Exclude(ftTop);
            }
            if (sides.Contains(ftLeft) && col > 0) {
                TfrxIEMObject* l = GetObject(col - 1, row);
                if (l && l != o && l->Style && l->Style->FrameTyp.Contains(ftRight) &&
                    l->Style->FrameWidth == o->Style->FrameWidth && l->Style->FrameColor == o->Style->FrameColor)
                    sides.Exclude(ftLeft);
            }
            if (!(sides == o->Style->FrameTyp)) {
                auto s = std::make_unique<TfrxIEMStyle>();
                s->Assign(*o->Style);
                s->FrameTyp = sides;
                SetStyleOf(o, std::move(s));
            }
        }
}

void TfrxIEMatrix::Prepare()
{
    if (FillArea) {
        auto style = std::make_unique<TfrxIEMStyle>();
        style->Color = clWhite;
        const int n = AddStyle(std::move(style));
        auto obj = std::make_unique<TfrxIEMObject>();
        obj->StyleIndex = n;
        obj->Style = FStyles[size_t(n)].get();
        obj->Left = CropFillArea ? FMinLeft : 0;
        obj->Top = CropFillArea ? FMinTop : 0;
        obj->Width = FMaxWidth;
        obj->Height = FMaxHeight;
        AddPos(FXPos, 0);
        AddPos(FYPos, 0);
        auto entry = std::make_unique<TfrxIEMObjectList>();
        entry->Obj = std::move(obj);
        FObjects.insert(FObjects.begin(), std::move(entry));
    }
    MergePositions(FXPos, MaxCellWidth);
    MergePositions(FYPos, MaxCellHeight);
    Locate();
    FColCount = int(FXPos.size());
    FRowCount = int(FYPos.size());
    FillCells();
    SplitObjects();
    if (OptimizeFrames) DoOptimizeFrames();
}

TfrxIEMObject* TfrxIEMatrix::GetObject(int col, int row) const
{
    const int i = Cell(col, row);
    return i < 0 ? nullptr : FObjects[size_t(i)]->Obj.get();
}

TfrxIEMObject* TfrxIEMatrix::GetObjectById(int index) const
{
    return index >= 0 && index < int(FObjects.size()) ? FObjects[size_t(index)]->Obj.get() : nullptr;
}

void TfrxIEMatrix::GetObjectPos(int index, int& col, int& row, int& colSpan, int& rowSpan) const
{
    col = row = colSpan = rowSpan = 0;
    if (index < 0 || index >= int(FObjects.size())) return;
    const TfrxIEMObjectList& e = *FObjects[size_t(index)];
    col = e.Column;
    row = e.Row;
    colSpan = e.ColSpan;
    rowSpan = e.RowSpan;
}

double TfrxIEMatrix::GetXPos(int index) const
{
    return index >= 0 && index < int(FXPos.size()) ? FXPos[size_t(index)] : 0;
}
double TfrxIEMatrix::GetYPos(int index) const
{
    return index >= 0 && index < int(FYPos.size()) ? FYPos[size_t(index)] : 0;
}
TfrxIEMStyle* TfrxIEMatrix::GetStyleById(int index) const
{
    return index >= 0 && index < int(FStyles.size()) ? FStyles[size_t(index)].get() : nullptr;
}

namespace frxExportMatrix {

void AddFilteredObject(TfrxIEMatrix* matrix, TfrxComponent* obj, bool pictures)
{
    auto* view = DynamicCast<TfrxView>(obj);
    if (!view || !matrix || view->Name() == "_pagebackground") return;
    if (DynamicCast<TfrxCustomMemoView>(view) || pictures) matrix->AddObject(view);
}

void AddReportPage(TfrxIEMatrix* matrix, TfrxReportPage* page)
{
    if (matrix)
        matrix->AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                        page->RightMargin, page->BottomMargin);
}

}  // namespace frxExportMatrix

#define QZ_PAGE_FIELD(Name, Field, Type)                                                      \
    Type TfrxIEMatrix::Name(int page) const                                                   \
    {                                                                                         \
        return page >= 0 && page < int(FPages.size()) ? FPages[size_t(page)].Field : Type(0); \
    }
QZ_PAGE_FIELD(GetPageBreak, PageEnd, double)
QZ_PAGE_FIELD(GetPageWidth, Width, double)
QZ_PAGE_FIELD(GetPageHeight, Height, double)
QZ_PAGE_FIELD(GetPageLeftMargin, LeftMargin, double)
QZ_PAGE_FIELD(GetPageTopMargin, TopMargin, double)
QZ_PAGE_FIELD(GetPageRightMargin, RightMargin, double)
QZ_PAGE_FIELD(GetPageBottomMargin, BottomMargin, double)
QZ_PAGE_FIELD(GetPageOrientation, Orientation, int)
#undef QZ_PAGE_FIELD
