#include "ToolCtrlsEhSpecRow.h"

#include "Forms.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "TypInfo.h"
#include "Windows.h"

#include <algorithm>

// ---- the special row ----------------------------------------------------------------------------

QZ_CLASS_IMPL_PROPS(TSpecRowEh, TPersistent, [](std::vector<TPropInfo>& p) {
    using C = TSpecRowEh;
    p.push_back(PublishString<C>("CellsText", &C::CellsText, [](C* r, const std::string& v) { r->SetCellsText(v); }));
    p.push_back(PublishInt<C>("ShortCut", &C::ShortCut, [](C* r, TShortCut v) { r->SetShortCut(v); },
                              TSpecRowEh::DefaultShortCut));
    p.push_back(PublishBool<C>("ShowIfNotInKeyList", &C::ShowIfNotInKeyList,
                               [](C* r, bool v) { r->SetShowIfNotInKeyList(v); }, true));
    p.push_back(PublishBool<C>("Visible", &C::Visible, [](C* r, bool v) { r->SetVisible(v); }, false));
})
QZ_CLASS_IMPL(TSizeGripEh, TCustomControl)

TSpecRowEh::TSpecRowEh(TPersistent* owner) : FOwner(owner), FFont(std::make_unique<TFont>())
{
    if (TFont* f = OwnerFont()) FFont->Assign(f);
    FColor = OwnerColor();
    FFont->OnChange = [this](TObject*) {
        if (FRefreshingFont) return;
        FHasOwnFont = true;
        Changed();
    };
}

TSpecRowEh::~TSpecRowEh() { FFont->OnChange = nullptr; }

void TSpecRowEh::Changed()
{
    if (FUpdateCount == 0 && OnSpecRowChanged) OnSpecRowChanged(this);
}

void TSpecRowEh::EndUpdate()
{
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TSpecRowEh::SetCellsText(const std::string& v)
{
    if (v == FCellsText) return;
    FCellsText = v;
    FCells = ToolCtrlsEh::SplitCellsText(v);
    Changed();
}

std::string TSpecRowEh::CellText(int index) const
{
    return index >= 0 && index < int(FCells.size()) ? FCells[size_t(index)] : std::string();
}

TColor TSpecRowEh::OwnerColor() const
{
    if (auto* c = DynamicCast<TCustomControl>(FOwner)) return c->Color();
    return FColor;
}

TFont* TSpecRowEh::OwnerFont() const
{
    if (auto* c = DynamicCast<TControl>(FOwner)) return c->Font();
    return FFont ? FFont.get() : nullptr;
}

TColor TSpecRowEh::Color() const { return FHasOwnColor ? FColor : OwnerColor(); }

void TSpecRowEh::SetColor(TColor v)
{
    FColor = v;
    FHasOwnColor = true;
    Changed();
}

TFont* TSpecRowEh::Font() const
{
    if (!FHasOwnFont) {
        TFont* owner = OwnerFont();
        if (owner && owner != FFont.get() && !owner->IsEqual(FFont.get())) {
            // Follow the owner without taking the font as the row's own.
            auto* self = const_cast<TSpecRowEh*>(this);
            self->FRefreshingFont = true;
            self->FFont->Assign(owner);
            self->FRefreshingFont = false;
        }
    }
    return FFont.get();
}

void TSpecRowEh::SetFont(TFont* v) { FFont->Assign(v); }

void TSpecRowEh::SetShowIfNotInKeyList(bool v)
{
    if (v == FShowIfNotInKeyList) return;
    FShowIfNotInKeyList = v;
    Changed();
}

void TSpecRowEh::SetValue(const Variant& v)
{
    if (VarSameValue(v, FValue) && VarType(v) == VarType(FValue)) return;
    FValue = v;
    Changed();
}

void TSpecRowEh::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    Changed();
}

void TSpecRowEh::Assign(TPersistent* source)
{
    auto* s = DynamicCast<TSpecRowEh>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        SetCellsText(s->CellsText());
        SetColor(s->Color());
        if (s->HasOwnFont()) SetFont(s->Font());
        SetShortCut(s->ShortCut());
        SetShowIfNotInKeyList(s->ShowIfNotInKeyList());
        SetValue(s->Value());
        SetVisible(s->Visible());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

namespace ToolCtrlsEh {

std::vector<std::string> SplitCellsText(const std::string& text)
{
    std::vector<std::string> cells;
    auto isControl = [](char c) { return c >= 1 && c <= 31; };
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && isControl(text[i])) ++i;
    while (i < n) {
        std::string cell;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i++];
            }
        } else {
            while (i < n && !isControl(text[i]) && text[i] != ';') cell += text[i++];
        }
        cells.push_back(cell);
        while (i < n && isControl(text[i])) ++i;
        if (i < n && text[i] == ';') {
            ++i;
            while (i < n && isControl(text[i])) ++i;
        } else if (i < n) {
            // Text after a closing quote up to the next separator belongs to no cell.
            while (i < n && text[i] != ';') ++i;
            if (i < n) ++i;
        }
    }
    return cells;
}

} // namespace ToolCtrlsEh

// ---- field lists ---------------------------------------------------------------------------------

void ParseFieldList(std::vector<TField*>* list, TDataSet* dataSet, TComponent* component, const std::string& names)
{
    size_t pos = 0;
    while (pos <= names.size()) {
        size_t end = names.find(';', pos);
        if (end == std::string::npos) end = names.size();
        const std::string name = Trim(names.substr(pos, end - pos));
        pos = end + 1;
        if (name.empty()) {
            if (end == names.size()) break;
            continue;
        }
        TField* f = dataSet ? dataSet->FindField(name) : nullptr;
        if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, component);
        if (list) list->push_back(f);
    }
}

std::vector<TField*> ParseFieldArray(TDataSet* dataSet, TComponent* component, const std::string& names)
{
    std::vector<TField*> fields;
    ParseFieldList(&fields, dataSet, component, names);
    return fields;
}

void AssignFieldValues(TDataSet* dataSet, const std::string& names, const Variant& value)
{
    if (VarIsNull(value)) {
        for (TField* f : ParseFieldArray(dataSet, nullptr, names)) f->Clear();
        return;
    }
    dataSet->SetFieldValues(names, value);
}

// ---- the size grip --------------------------------------------------------------------------------

TSizeGripEh::TSizeGripEh(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable, csCaptureMouse});
    SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
    SetColor(clBtnFace);
    SetCursor(crSizeNWSE);
}

void TSizeGripEh::SetCorner(TGripCornerEh v)
{
    if (v == FCorner) return;
    FCorner = v;
    if (HandleAllocated()) RecreateWnd();
    else SetCursor(CornerCursor());
}

void TSizeGripEh::SetTriangularShape(bool v)
{
    if (v == FTriangularShape) return;
    FTriangularShape = v;
    UpdateShape();
}

void TSizeGripEh::FlipCorner(TGripFlipEh flip)
{
    TGripCornerEh c = FCorner;
    switch (flip) {
    case gfToLeftEh:
        if (c == gcTopRightEh) c = gcTopLeftEh;
        else if (c == gcBottomRightEh) c = gcBottomLeftEh;
        break;
    case gfToRightEh:
        if (c == gcTopLeftEh) c = gcTopRightEh;
        else if (c == gcBottomLeftEh) c = gcBottomRightEh;
        break;
    case gfToTopEh:
        if (c == gcBottomRightEh) c = gcTopRightEh;
        else if (c == gcBottomLeftEh) c = gcTopLeftEh;
        break;
    case gfToBottomEh:
        if (c == gcTopRightEh) c = gcBottomRightEh;
        else if (c == gcTopLeftEh) c = gcBottomLeftEh;
        break;
    }
    SetCorner(c);
}

void TSizeGripEh::ShowGrip(bool visible) { SetVisible(visible); }

TCursor TSizeGripEh::CornerCursor() const
{
    return FCorner == gcTopLeftEh || FCorner == gcBottomRightEh ? crSizeNWSE : crSizeNESW;
}

std::vector<TPoint> TSizeGripEh::ShapePoints() const
{
    const int w = Width(), h = Height();
    if (!FTriangularShape) return {Point(0, 0), Point(w, 0), Point(w, h), Point(0, h)};
    switch (FCorner) {
    case gcBottomRightEh: return {Point(0, h), Point(w, h), Point(w, 0)};
    case gcBottomLeftEh: return {Point(w, h), Point(0, h), Point(0, 0)};
    case gcTopLeftEh: return {Point(w - 1, 0), Point(0, 0), Point(0, h - 1)};
    case gcTopRightEh: return {Point(w, h - 1), Point(w, 0), Point(1, 0)};
    }
    return {};
}

bool TSizeGripEh::HitShape(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
    if (!FTriangularShape) return true;
    const int w = std::max(1, Width()), h = std::max(1, Height());
    // The half of the grip on its corner's side of the diagonal.
    switch (FCorner) {
    case gcBottomRightEh: return x * h + y * w >= w * h;
    case gcTopLeftEh: return x * h + y * w < w * h;
    case gcBottomLeftEh: return y * w >= x * h;
    case gcTopRightEh: return y * w <= x * h;
    }
    return false;
}

void TSizeGripEh::UpdateShape()
{
    if (!HandleAllocated()) return;
    std::vector<TPoint> pts = ShapePoints();
    SetWindowRgn(Handle(), CreatePolygonRgn(pts.data(), int(pts.size())), 1);
    StickToCorner();
    SetCursor(CornerCursor());
}

void TSizeGripEh::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateShape();
}

void TSizeGripEh::StickToCorner()
{
    TWinControl* p = Parent();
    if (!p) return;
    const bool was = FRepositioning;
    FRepositioning = true;
    const int cw = p->ClientWidth(), ch = p->ClientHeight(), w = Width(), h = Height();
    switch (FCorner) {
    case gcTopLeftEh: SetBounds(0, 0, w, h); break;
    case gcTopRightEh: SetBounds(cw - w, 0, w, h); break;
    case gcBottomRightEh: SetBounds(cw - w, ch - h, w, h); break;
    case gcBottomLeftEh: SetBounds(0, ch - h, w, h); break;
    }
    FRepositioning = was;
}

void TSizeGripEh::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const TColor colours[4] = {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnFace};
    // Lines parallel to the inner diagonal, mirrored for the other corners.
    auto mapped = [&](int x, int y) {
        const bool left = FCorner == gcTopLeftEh || FCorner == gcBottomLeftEh;
        const bool top = FCorner == gcTopLeftEh || FCorner == gcTopRightEh;
        return Point(left ? w - x : x, top ? h - y : y);
    };
    for (int start = 1; start < w; start += 4)
        for (int k = 0; k < 4 && start + k <= w; ++k) {
            const int i = start + k - 1;
            c->Pen()->SetColor(colours[k]);
            c->MoveTo(mapped(i, w).X, mapped(i, w).Y);
            c->LineTo(mapped(w, i).X, mapped(w, i).Y);
        }
}

namespace {

// One axis of a grip drag. A grip on the far side (right or bottom) grows
// the client by the travel, cut where the far edge would leave the work
// area; a grip on the near side moves the near edge, the far edge staying.
void DragAxis(bool farSide, int travel, int& nearEdge, int& farEdge, int& client, int workNear, int workFar)
{
    const int frame = farEdge - nearEdge - client;
    if (farSide) {
        int c = client + travel;
        const int over = nearEdge + c + frame - workFar;
        if (over > 0) c -= over;
        client = std::max(0, c);
        farEdge = nearEdge + client + frame;
    } else {
        int size = farEdge - nearEdge - travel;
        size = std::max(frame, std::min(size, farEdge - workNear));
        nearEdge = farEdge - size;
        client = size - frame;
    }
}

} // namespace

TRect TSizeGripEh::DragBounds(TGripCornerEh corner, TPoint from, TPoint to, const TRect& bounds, int& clientWidth,
                              int& clientHeight, const TRect& work)
{
    TRect r = bounds;
    DragAxis(corner == gcTopRightEh || corner == gcBottomRightEh, to.X - from.X, r.Left, r.Right, clientWidth,
             work.Left, work.Right);
    DragAxis(corner == gcBottomLeftEh || corner == gcBottomRightEh, to.Y - from.Y, r.Top, r.Bottom, clientHeight,
             work.Top, work.Bottom);
    return r;
}

void TSizeGripEh::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    FDragFrom = ClientToScreen(Point(x, y));
    FLastDrag = FDragFrom;
    if (TWinControl* p = Parent()) {
        FStartBounds = p->BoundsRect();
        FStartClientWidth = p->ClientWidth();
        FStartClientHeight = p->ClientHeight();
    }
}

void TSizeGripEh::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    TWinControl* p = Parent();
    if (!p || !shift.Contains(ssLeft) || !MouseCapture() || FRepositioning) return;
    const TPoint at = ClientToScreen(Point(x, y));
    if (at.X == FLastDrag.X && at.Y == FLastDrag.Y) return;
    const TRect work = Screen ? Screen->WorkAreaRect() : TRect{-100000, -100000, 100000, 100000};
    int cw = FStartClientWidth, ch = FStartClientHeight;
    const int oldW = p->ClientWidth(), oldH = p->ClientHeight();
    TRect r = DragBounds(FCorner, FDragFrom, at, FStartBounds, cw, ch, work);
    p->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FLastDrag = at;
    if (p->ClientWidth() != oldW || p->ClientHeight() != oldH) OwnerResized();
    StickToCorner();
}

void TSizeGripEh::OwnerResized()
{
    if (OnOwnerResized) OnOwnerResized(this);
}

void TSizeGripEh::Dispatch(TMessage& message)
{
    if (message.Msg == WM_WINDOWPOSCHANGED && !FRepositioning) StickToCorner();
    TCustomControl::Dispatch(message);
}
