#include "frxDesgnWorkspace1.h"

#include "Lists.h"
#include "ScrollBox.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxDataTree.h"
#include "frxDesgnCtrls.h"
#include "frxGraphicData.h"
#include "frxUtils.h"

#include <cmath>

QZ_CLASS_IMPL(TDesignerWorkspace, TfrxDesignerWorkspace)

using frxDesgnWorkspace::AbsRect;
using frxDesgnWorkspace::Intersects;
using frxDesgnWorkspace::Round8;

namespace {

int RoundI(double v) { return int(std::nearbyint(v)); }

double GuideValue(TStringList* list, int i) { return frxUtils::StrToFloatAnySeparator(list->Strings(i)); }

// The data band a view lies in, when that band is bound to a data set.
TfrxDataBand* BoundBand(TfrxComponent* c)
{
    auto* b = DynamicCast<TfrxDataBand>(c->Parent());
    return b && b->DataSet() ? b : nullptr;
}

// An insert text of the data tree without its first and last character,
// split into data set and field name: "<d0."Name">" gives d0 and Name.
// Variables and functions give neither.
struct TDroppedText {
    std::string Inner, DataSet, Field;
};

TDroppedText SplitDroppedText(const std::string& text)
{
    TDroppedText r;
    r.Inner = text.size() >= 2 ? text.substr(1, text.size() - 2) : text;
    const size_t dot = r.Inner.find('.');
    if (dot == std::string::npos || text.empty() || text.front() != '<') return r;
    r.DataSet = r.Inner.substr(0, dot);
    r.Field = r.Inner.substr(dot + 1);
    if (r.Field.size() >= 2 && r.Field.front() == '"' && r.Field.back() == '"') r.Field = r.Field.substr(1, r.Field.size() - 2);
    return r;
}

TfrxDataSet* FindDataSet(TfrxComponent* page, const std::string& name)
{
    TfrxDataSetItem* item = name.empty() || !page->Report() ? nullptr : page->Report()->DataSets()->Find(name);
    return item ? item->DataSet() : nullptr;
}

}  // namespace

TDesignerWorkspace::TDesignerWorkspace(TComponent* owner) : TfrxDesignerWorkspace(owner)
{
    FFieldList = new TListBox(this);
    FFieldList->SetParent(this);
    FFieldList->SetVisible(false);
    FFieldList->SetItemHeight(16);
    FFieldList->OnClick = [this](TObject*) { FieldListClick(); };
}

void TDesignerWorkspace::SetToolMode(TfrxDesignerToolMode v)
{
    FToolMode = v;
    SetInsertion(nullptr, 0, 0, 0);
}

void TDesignerWorkspace::SetShowGuides(bool v)
{
    FShowGuides = v;
    Invalidate();
}

bool TDesignerWorkspace::OnReportPage() const { return DynamicCast<TfrxReportPage>(FPage) != nullptr; }

void TDesignerWorkspace::BeginMoveSelection()
{
    const TfrxRect b = SelectionBounds();
    FMode = wmMove;
    DoMouseDown(mbLeft, {}, RoundI(b.Left / FScale) + 20, RoundI(b.Top / FScale) + 20);
    FMode = wmMove;
}

// ---- drawing ----------------------------------------------------------------------------------

void TDesignerWorkspace::DrawObjects(TCanvas* c)
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (page && page->Columns() > 1) {
        c->Pen()->SetMode(pmCopy);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(clSilver);
        TStringList* cols = page->ColumnPositions();
        for (int i = 0; i < cols->Count(); ++i) {
            const int x = RoundI(GuideValue(cols, i) * 3.77953 * FScale);
            if (x == 0) continue;
            c->MoveTo(x, 0);
            c->LineTo(x, Height());
        }
    }
    if (page && FShowGuides) {
        c->Pen()->SetMode(pmCopy);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(TColor(0xFFCC00));
        for (int i = 0; i < page->HGuides()->Count(); ++i) {
            const int y = RoundI(GuideValue(page->HGuides(), i) * FScale);
            c->MoveTo(0, y);
            c->LineTo(Width(), y);
        }
        for (int i = 0; i < page->VGuides()->Count(); ++i) {
            const int x = RoundI(GuideValue(page->VGuides(), i) * FScale);
            c->MoveTo(x, 0);
            c->LineTo(x, Height());
        }
    }
    TfrxDesignerWorkspace::DrawObjects(c);
    if (FHotView) {
        const int l = RoundI((FHotView->Left() + FHotView->Width()) * FScale) - 16;
        const int t = RoundI(FHotView->AbsTop() * FScale) + 2;
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clBtnFace);
        c->Pen()->SetColor(clBtnShadow);
        c->Rectangle(l, t, l + 16, t + 16);
        c->Brush()->SetColor(clBlack);
        c->Pen()->SetColor(clBlack);
        c->Polygon({::Point(l + 4, t + 6), ::Point(l + 7, t + 9), ::Point(l + 10, t + 6)});
    }
}

void TDesignerWorkspace::DrawOverlays(TCanvas* c)
{
    TfrxDesignerWorkspace::DrawOverlays(c);
    if (!FGuidePreview) return;
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clBlack);
    if (FGuidePreviewVertical) {
        c->MoveTo(FGuidePreviewAt, 0);
        c->LineTo(FGuidePreviewAt, Height());
    } else {
        c->MoveTo(0, FGuidePreviewAt);
        c->LineTo(Width(), FGuidePreviewAt);
    }
}

// ---- guides -----------------------------------------------------------------------------------

void TDesignerWorkspace::SnapEdge(double edge, double& d, bool vertical) const
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    TStringList* guides = vertical ? page->VGuides() : page->HGuides();
    for (int i = 0; i < guides->Count(); ++i) {
        const double g = GuideValue(guides, i);
        if (std::fabs(edge + d - g) < 6) {
            d = g - edge;
            return;
        }
    }
}

void TDesignerWorkspace::AdjustMove(double& dx, double& dy, bool&)
{
    if (!FShowGuides || !OnReportPage()) return;
    auto x = [&](double e) { SnapEdge(e, dx, true); };
    auto y = [&](double e) { SnapEdge(e, dy, false); };
    const TfrxInsertion& in = FInsertion;
    if (FMode == wmResizeBand && FMouseDown && FSizedBand) {
        y(FSizedBand->Top() + FSizedBand->Height());
    } else if ((FMode == wmPlaceObject || FMode == wmPlaceLine) && !FMouseDown) {
        x(in.Left);
        y(in.Top);
        x(in.Left + in.Width);
        y(in.Top + in.Height);
    } else if ((FMode == wmPlaceObject || FMode == wmPlaceLine) && FMouseDown) {
        x(in.Left);
        y(in.Top);
    } else if (FMode == wmMove) {
        for (int i = 0; i < SelectionCount(); ++i) {
            TfrxComponent* c = Selected(i);
            x(c->Left());
            y(c->AbsTop());
            y(c->Top());
            x(c->Left() + c->Width());
            y(c->AbsTop() + c->Height());
        }
    } else if (FMode == wmResize && SelectionCount() == 1) {
        TfrxComponent* c = Selected(0);
        const TfrxHandleKind h = FHandle;
        if (h == hkTopLeft || h == hkBottomLeft || h == hkLeft) x(c->Left());
        if (h == hkTopLeft || h == hkTopRight || h == hkTop) y(c->AbsTop());
        if (h == hkBottomRight || h == hkTopRight || h == hkRight) x(c->Left() + c->Width());
        if (h == hkBottomRight || h == hkBottomLeft || h == hkBottom) y(c->AbsTop() + c->Height());
    }
}

// ---- mouse ------------------------------------------------------------------------------------

void TDesignerWorkspace::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (FLocked) return;
    if (FFieldList->Visible()) FFieldList->SetVisible(false);
    switch (FToolMode) {
    case tmHand:
        FMode = wmIdle;
        FMouseDown = true;
        LastX = X;
        LastY = Y;
        return;
    case tmZoom:
    case tmText:
        FMode = wmRubberBand;
        FSelectionRect = ::Rect(X, Y, X, Y);
        break;
    case tmFormat:
        FMode = wmIdle;
        return;
    default:
        break;
    }
    if (!FInserting && FHotView) {
        const double x = X / FScale, y = Y / FScale;
        const double right = FHotView->Left() + FHotView->Width();
        if (x >= right - 16 && x <= right && y >= FHotView->AbsTop() && y <= FHotView->AbsTop() + 16) {
            ShowFieldList();
            FMode = wmIdle;
            FMouseDown = false;
            return;
        }
    }
    if (FToolMode == tmZoom || FToolMode == tmText) {
        FMouseDown = true;
        LastX = X / FScale;
        LastY = Y / FScale;
        if (FToolMode == tmText && FInplaceMemo->Editing()) FInplaceMemo->EditDone(true);
        return;
    }
    TfrxDesignerWorkspace::MouseDown(button, shift, X, Y);
}

void TDesignerWorkspace::ShowFieldList()
{
    const int right = RoundI((FHotView->Left() + FHotView->Width()) * FScale);
    int left = right - 140;
    const int top = RoundI(FHotView->AbsTop() * FScale) + 18;
    if (left < 0) left = 0;
    FFieldList->SetBounds(left, top, 140, 162);
    if (TfrxDataBand* band = BoundBand(FHotView)) {
        band->DataSet()->GetFieldList(FFieldList->Items());
        FFieldList->SetItemIndex(FFieldList->Items()->IndexOf(FHotView->DataField));
        FFieldList->SetVisible(true);
    }
}

void TDesignerWorkspace::FieldListClick()
{
    const int i = FFieldList->ItemIndex();
    if (!FHotView || i < 0) return;
    if (TfrxDataBand* band = BoundBand(FHotView)) FHotView->SetDataSet(band->DataSet());
    FHotView->DataField = FFieldList->Items()->Strings(i);
    FFieldList->SetVisible(false);
    Modified = true;
    NotifyModified();
    Invalidate();
}

void TDesignerWorkspace::MouseMove(TShiftState shift, int X, int Y)
{
    if (FLocked) return;
    TfrxDesignerWorkspace::MouseMove(shift, X, Y);
    const double x = X / FScale, y = Y / FScale;
    switch (FToolMode) {
    case tmHand:
        SetCursor(crHand);
        if (FMouseDown)
            if (auto* box = DynamicCast<TScrollBox>(Parent())) {
                const int dx = RoundI(X - LastX), dy = RoundI(Y - LastY);
                TControlScrollBar* hs = box->HorzScrollBar();
                TControlScrollBar* vs = box->VertScrollBar();
                const int oldH = hs->Position(), oldV = vs->Position();
                hs->SetPosition(oldH - dx);
                vs->SetPosition(oldV - dy);
                if (hs->Position() == oldH) LastX = X;
                if (vs->Position() == oldV) LastY = Y;
            }
        return;
    case tmZoom: SetCursor(crZoom); break;
    case tmText: SetCursor(crIBeam); break;
    case tmFormat: SetCursor(crFormat); break;
    default: break;
    }
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (!FMouseDown && !FInserting && (FMode == wmIdle || FMode == wmDragGuide) && !FFieldList->Visible()) {
        if (FMode == wmDragGuide) FMode = wmIdle;
        if (page && FShowGuides) {
            for (int i = 0; i < page->HGuides()->Count(); ++i)
                if (std::fabs(y - GuideValue(page->HGuides(), i)) < 5) {
                    FMode = wmDragGuide;
                    SetCursor(crVSplit);
                    FDraggedGuide = i;
                    FGuideVertical = false;
                }
            for (int i = 0; i < page->VGuides()->Count(); ++i)
                if (std::fabs(x - GuideValue(page->VGuides(), i)) < 5) {
                    FMode = wmDragGuide;
                    SetCursor(crHSplit);
                    FDraggedGuide = i;
                    FGuideVertical = true;
                }
            if (FMode == wmDragGuide) {
                LastX = x;
                LastY = y;
            }
        }
        if (FMode == wmIdle) {
            TfrxCustomMemoView* hot = nullptr;
            for (int i = FObjects->Count() - 1; i >= 0 && !hot; --i) {
                auto* m = DynamicCast<TfrxMemoView>(static_cast<TObject*>(FObjects->Items(i)));
                if (!m || !BoundBand(m)) continue;
                TStringList fields;
                BoundBand(m)->DataSet()->GetFieldList(&fields);
                if (fields.Count() == 0) continue;
                if (x >= m->Left() && x <= m->Left() + m->Width() - 4 && y >= m->AbsTop() && y <= m->AbsTop() + m->Height())
                    hot = m;
            }
            if (hot != FHotView) {
                FHotView = hot;
                Invalidate();
            }
        }
    }
    if (FMouseDown && FMode == wmDragGuide && page && FDraggedGuide >= 0) {
        TStringList* guides = FGuideVertical ? page->VGuides() : page->HGuides();
        if (FDraggedGuide >= guides->Count()) return;
        double d = FGuideVertical ? x - LastX : y - LastY;
        const double grid = FGuideVertical ? GridX : GridY;
        if (GridAlign) {
            if (std::fabs(d) < grid) return;
            d = std::trunc(d / grid) * grid;
        }
        guides->SetStrings(FDraggedGuide, FloatToStr(Round8(GuideValue(guides, FDraggedGuide) + d)));
        (FGuideVertical ? LastX : LastY) += d;
        Modified = true;
        Invalidate();
    }
}

void TDesignerWorkspace::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (FLocked) return;
    if (FToolMode == tmHand) {
        FMouseDown = false;
        return;
    }
    if (FToolMode == tmZoom && (FMode == wmRubberBand || FMouseDown)) {
        ZoomRelease(button, X, Y);
        FMouseDown = false;
        return;
    }
    if (FToolMode == tmText) {
        if (FMouseDown) TextToolRelease();
        return;
    }
    if (FToolMode == tmFormat) FormatPainterRelease(X, Y);
    if (FMode == wmDragGuide) {
        if (auto* page = DynamicCast<TfrxReportPage>(FPage); page && FDraggedGuide >= 0) {
            TStringList* guides = FGuideVertical ? page->VGuides() : page->HGuides();
            const double limit = (FGuideVertical ? Width() : Height()) / FScale - 3;
            if (FDraggedGuide < guides->Count()) {
                const double g = GuideValue(guides, FDraggedGuide);
                if (g < 3 || g > limit) guides->Delete(FDraggedGuide);
            }
        }
        Invalidate();
    }
    TfrxDesignerWorkspace::MouseUp(button, shift, X, Y);
}

void TDesignerWorkspace::DblClick()
{
    if (FToolMode == tmSelect) TfrxDesignerWorkspace::DblClick();
}

void TDesignerWorkspace::ZoomRelease(TMouseButton button, int X, int Y)
{
    FMode = wmIdle;
    TRect r = FSelectionRect;
    r.Right = X;
    r.Bottom = Y;
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    const double old = FScale;
    auto* box = DynamicCast<TScrollBox>(Parent());
    const int cw = Parent() ? Parent()->ClientWidth() : Width(), ch = Parent() ? Parent()->ClientHeight() : Height();
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    const double ml = page ? page->LeftMargin : 0, mt = page ? page->TopMargin : 0;
    double scale;
    int sx, sy;
    if (r.Width() > 5 && r.Height() > 5) {
        const double bw = r.Width(), bh = r.Height();
        scale = bw / (cw - 16) >= bh / (ch - 16) ? (cw - 16) / bw * old : (ch - 16) / bh * old;
        sx = RoundI((r.Left / old + ml * 3.77953) * scale);
        sy = RoundI((r.Top / old + mt * 3.77953) * scale);
    } else {
        if (button == mbLeft) scale = old >= 1 ? old + 1 : old + 0.25;
        else scale = old >= 2 ? old - 1 : old > 0.4 ? old - 0.25 : old;
        sx = RoundI((X / old + ml * 3.77953) * scale - cw * 0.5);
        sy = RoundI((Y / old + mt * 3.77953) * scale - ch * 0.5);
    }
    if (FDesigner) FDesigner->SetDesignerScale(scale);
    else SetScale(scale);
    if (box) {
        box->HorzScrollBar()->SetPosition(sx);
        box->VertScrollBar()->SetPosition(sy);
    }
    Invalidate();
}

TfrxComponent* TDesignerWorkspace::NewTextObject()
{
    TClass cls = DynamicCast<TfrxDMPPage>(FPage) ? TfrxDMPMemoView::StaticClass() : TfrxMemoView::StaticClass();
    auto* c = TfrxComponent::CreateDesigned(cls, FPage);
    c->MakeUniqueName();
    return c;
}

void TDesignerWorkspace::TextToolRelease()
{
    FMode = wmIdle;
    FMouseDown = false;
    TRect r = FSelectionRect;
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    FSelectionRect = r;
    if (FInplaceMemo->Editing()) FInplaceMemo->EditDone(true);
    FEditedMemo = nullptr;
    if (r.Width() >= 5 && r.Height() >= 5) {
        double l = r.Left, t = r.Top, rr = r.Right, b = r.Bottom;
        if (GridAlign) {
            const double gx = GridX * FScale, gy = GridY * FScale;
            l = std::trunc(l / gx) * gx;
            rr = std::trunc(rr / gx) * gx;
            t = std::trunc(t / gy) * gy;
            b = std::trunc(b / gy) * gy;
        }
        FInsertion.ComponentClass =
            DynamicCast<TfrxDMPPage>(FPage) ? TfrxDMPMemoView::StaticClass() : TfrxMemoView::StaticClass();
        FInsertion.Left = l / FScale;
        FInsertion.Top = t / FScale;
        FInsertion.Width = (rr - l) / FScale;
        FInsertion.Height = (b - t) / FScale;
        FInsertion.Flags = 0;
        if (OnInsert) OnInsert(this);
        FInsertion.ComponentClass = nullptr;
        ArrangeBands();
        if (FSelectedObjects->Count() > 0)
            FEditedMemo = DynamicCast<TfrxCustomMemoView>(static_cast<TObject*>(FSelectedObjects->Items(0)));
    } else {
        const TfrxRect band{r.Left / FScale, r.Top / FScale, r.Right / FScale, r.Bottom / FScale};
        for (void* p : *FObjects) {
            auto* m = DynamicCast<TfrxCustomMemoView>(static_cast<TObject*>(p));
            if (m && Intersects(AbsRect(m), band)) FEditedMemo = m;
        }
    }
    if (FEditedMemo) {
        Select(FEditedMemo);
        SelectionChanged();
        FInplaceMemo->Edit(FEditedMemo);
    }
    Invalidate();
}

void TDesignerWorkspace::FormatPainterRelease(int X, int Y)
{
    FSelectionRect = ::Rect(X, Y, X + 1, Y + 1);
    if (FSelectedObjects->Count() == 0) return;
    auto* from = DynamicCast<TfrxCustomMemoView>(static_cast<TObject*>(FSelectedObjects->Items(0)));
    if (!from) return;
    const TfrxRect pt{X / FScale, Y / FScale, (X + 1) / FScale, (Y + 1) / FScale};
    for (int i = FObjects->Count() - 1; i >= 0; --i) {
        auto* m = DynamicCast<TfrxMemoView>(static_cast<TObject*>(FObjects->Items(i)));
        if (!m || m == from || m->Restrictions().Contains(rfDontModify) || !Intersects(AbsRect(m), pt)) continue;
        m->Color = from->Color;
        m->Font()->Assign(from->Font());
        m->Frame()->Assign(from->Frame());
        m->BrushStyle = from->BrushStyle;
        m->HAlign = from->HAlign;
        m->VAlign = from->VAlign;
        Modified = true;
        break;
    }
}

// ---- deleting ---------------------------------------------------------------------------------

void TDesignerWorkspace::DeleteSelection()
{
    FHotView = nullptr;
    bool subreport = false;
    for (int i = 0; i < SelectionCount(); ++i) {
        TfrxComponent* c = Selected(i);
        subreport = subreport || (DynamicCast<TfrxSubreport>(c) && !c->Restrictions().Contains(rfDontDelete));
    }
    TfrxDesignerWorkspace::DeleteSelection();
    if (subreport && FDesigner) FDesigner->ReloadPages();
}

// ---- drag and drop ----------------------------------------------------------------------------

bool TDesignerWorkspace::DataTreeSource(TObject* source) const
{
    TfrxDataTreeForm* tree = FDesigner ? FDesigner->DataTree() : nullptr;
    return tree && (source == tree->DataTree || source == tree->VariablesTree || source == tree->FunctionsTree) &&
           !tree->GetInsertText().empty();
}

void TDesignerWorkspace::DragOver(TObject* source, int X, int Y, TDragState state, bool& accept)
{
    auto* ruler = DynamicCast<TfrxRuler>(source);
    accept = OnReportPage() && (ruler || DataTreeSource(source));
    if (!accept) {
        FGuidePreview = false;
        return;
    }
    if (ruler) {
        int x = X, y = Y;
        if (GridAlign) {
            x = RoundI(std::trunc(X / (GridX * FScale)) * GridX * FScale);
            y = RoundI(std::trunc(Y / (GridY * FScale)) * GridY * FScale);
        }
        FGuidePreview = state != dsDragLeave;
        FGuidePreviewVertical = ruler->Align() == alLeft;
        FGuidePreviewAt = FGuidePreviewVertical ? x : y;
        Invalidate();
        DoMouseMove({}, X, Y);
        return;
    }
    TfrxDataTreeForm* tree = FDesigner->DataTree();
    if (!FInserting && (tree->InsFieldCB->Checked() || tree->InsCaptionCB->Checked() || !tree->IsDataPageActive())) {
        const TDroppedText t = SplitDroppedText(tree->GetInsertText());
        int chars = 10;
        if (TfrxDataSet* ds = FindDataSet(FPage, t.DataSet)) {
            try {
                chars = ds->GetDisplayWidth(t.Field);
            } catch (const Exception&) {
                chars = 10;
            }
        }
        const double width = std::nearbyint(chars * 8 / GridX) * GridX;
        SetInsertion(TfrxMemoView::StaticClass(), 0, width, FDesigner->DefaultObjectHeight());
    }
    DoMouseMove({}, X - 8, Y - 8);
}

void TDesignerWorkspace::DragDrop(TObject* source, int X, int Y)
{
    FGuidePreview = false;
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (auto* ruler = DynamicCast<TfrxRuler>(source); ruler && page) {
        const bool vertical = ruler->Align() == alLeft;
        double v = (vertical ? X : Y) / FScale;
        if (GridAlign) {
            const double g = vertical ? GridX : GridY;
            v = std::trunc(v / g) * g;
        }
        (vertical ? page->VGuides() : page->HGuides())->Add(FloatToStr(Round8(v)));
    } else if (page && DataTreeSource(source)) {
        TfrxDataTreeForm* tree = FDesigner->DataTree();
        const bool dataPage = tree->IsDataPageActive();
        if (tree->InsFieldCB->Checked() || tree->InsCaptionCB->Checked() || !dataPage) {
            FSelectedObjects->Clear();
            const std::string text = tree->GetInsertText();
            const TDroppedText t = SplitDroppedText(text);
            TfrxDataSet* ds = FindDataSet(page, t.DataSet);
            auto place = [&](TfrxCustomMemoView* m) {
                m->SetBounds(Round8(FInsertion.Left), Round8(FInsertion.Top), Round8(FInsertion.Width),
                             Round8(FInsertion.Height));
                FDesigner->ApplyDefaultFormat(m);
                FObjects->Add(m);
                FSelectedObjects->Add(m);
            };
            auto* memo = static_cast<TfrxCustomMemoView*>(NewTextObject());
            if (!dataPage || tree->InsFieldCB->Checked()) {
                if (ds) {
                    memo->SetDataSet(ds);
                    memo->DataField = t.Field;
                } else
                    memo->SetText("[" + (text.front() == '<' ? t.Inner : text) + "]");
                place(memo);
                FInsertion.Top -= FInsertion.Height;
            } else
                delete memo;
            if (dataPage && tree->InsCaptionCB->Checked()) {
                auto* caption = static_cast<TfrxCustomMemoView*>(NewTextObject());
                caption->SetText(t.Field);
                place(caption);
            }
            SetInsertion(nullptr, 0, 0, 0);
        }
    }
    Modified = true;
    DoMouseUp(mbLeft, {}, X, Y);
    SelectionChanged();
}
