#include "frxPreview.h"

#include "Forms.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxPreviewPages.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TfrxPreviewWorkspace, TfrxScrollWin)
QZ_CLASS_IMPL(TfrxPreview, TCustomControl)

namespace {

constexpr TColor kWorkspaceColor = TColor(8421504);   // gray
constexpr TCursor kHandCursor = 50, kZoomCursor = 51;

int RoundI(double v) { return int(std::lround(v)); }

TRect Shifted(const TRect& r, int dx, int dy) { return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy); }

}  // namespace

// ---- page list -----------------------------------------------------------------------------------

void TfrxPageList::Clear()
{
    FItems.clear();
    FMaxWidth = 0;
}

void TfrxPageList::AddPage(int width, int height)
{
    TfrxPageItem item;
    item.Width = width;
    item.Height = height;
    if (FItems.empty()) {
        item.Top = 10;
    } else {
        const TfrxPageItem& prev = FItems.back();
        if (prev.Column < ColumnCount - 1) {
            item.Column = prev.Column + 1;
            item.Top = prev.Top;
        } else {
            int tallest = 0;
            for (auto it = FItems.rbegin(); it != FItems.rend() && it->Top == prev.Top; ++it)
                tallest = std::max(tallest, it->Height);
            item.Top = prev.Top + tallest + 10;
        }
    }
    FItems.push_back(item);
    int row = 0;
    for (auto it = FItems.rbegin(); it != FItems.rend() && it->Top == item.Top; ++it) row += it->Width + 10;
    FMaxWidth = std::max(FMaxWidth, row);
}

TRect TfrxPageList::GetPageBounds(int index, int clientWidth, double zoom) const
{
    if (index < 0 || index >= Count()) {
        const int w = RoundI(794 * zoom);
        const int left = clientWidth >= w ? (clientWidth - w) / 2 : 10;
        const int top = RoundI(10 * zoom);
        return TRect(left, top, left + w, top + RoundI(1123 * zoom));
    }
    const TfrxPageItem& item = FItems[size_t(index)];
    // The row's width and the width of the pages before this one in it.
    int rowWidth = 0, before = 0;
    if (ColumnCount == 1) {
        rowWidth = item.Width;
    } else {
        const int first = index - item.Column;
        for (int i = first; i < Count() && FItems[size_t(i)].Top == item.Top; ++i) {
            rowWidth += FItems[size_t(i)].Width + (i > first ? 10 : 0);
            if (i < index) before += FItems[size_t(i)].Width + 10;
        }
    }
    const double rw = zoom * rowWidth;
    int left = clientWidth >= rw ? RoundI((clientWidth - rw) / 2) : 10;
    left += RoundI(zoom * before);
    const int top = RoundI(zoom * item.Top);
    return TRect(left, top, left + RoundI(zoom * item.Width), top + RoundI(zoom * item.Height));
}

int TfrxPageList::FindPage(int y, double zoom, bool exact) const
{
    if (FItems.empty()) return 0;
    int lo = 0, hi = Count() - 1;
    // The last page whose top lies at most d below y.
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const TfrxPageItem& p = FItems[size_t(mid)];
        const double d = exact ? 0 : zoom * p.Height / 5;
        if (zoom * p.Top <= y + d)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

TPoint TfrxPageList::GetMaxBounds(double zoom) const
{
    if (FItems.empty()) return TPoint(0, 0);
    const TfrxPageItem& last = FItems.back();
    return TPoint(RoundI(zoom * FMaxWidth), RoundI(zoom * (last.Top + last.Height)));
}

// ---- workspace -----------------------------------------------------------------------------------

TfrxPreviewWorkspace::TfrxPreviewWorkspace(TfrxPreview* preview) : TfrxScrollWin(preview), FPreview(preview)
{
    SetColor(kWorkspaceColor);
    LargeChange = 300;
    SmallChange = 8;
    SetCursor(kHandCursor);
}

int TfrxPreviewWorkspace::PageAt(int x, int y, TRect& bounds) const
{
    const int count = FPageList.Count();
    if (count == 0) return -1;
    const double z = FPreview->Zoom();
    const int i = FPageList.FindPage(y + VertPosition(), z, true);
    bounds = FPageList.GetPageBounds(i, ClientWidth(), z);
    bounds = Shifted(bounds, -HorzPosition(), -VertPosition());
    if (x < bounds.Left || x >= bounds.Right || y < bounds.Top || y >= bounds.Bottom) return -1;
    return i;
}

void TfrxPreviewWorkspace::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(kWorkspaceColor);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    TfrxPreviewPages* pages = FPreview->PreviewPages();
    if (!pages || FPageList.Count() == 0) return;
    const double z = FPreview->Zoom();
    const int n = FPageList.FindPage(VertPosition(), z, false);
    for (int i = std::max(0, n - 20); i <= std::min(FPageList.Count() - 1, n + 20); ++i) {
        TRect r = FPageList.GetPageBounds(i, ClientWidth(), z);
        r = Shifted(r, -HorzPosition(), -VertPosition());
        if (r.Bottom < 0 || r.Top > ClientHeight() || r.Right < 0 || r.Left > ClientWidth()) continue;
        c->Pen()->SetColor(clBlack);
        c->Pen()->SetWidth(1);
        c->Pen()->SetMode(pmCopy);
        c->Brush()->SetColor(clWhite);
        c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        c->MoveTo(r.Left + 1, r.Bottom);
        c->LineTo(r.Right, r.Bottom);
        c->LineTo(r.Right, r.Top);
        pages->DrawPage(i, c, z, z, r.Left, r.Top);
        if (FPreview->Found() && FPreview->FoundPage() == i) {
            // The found text, marked so that it stays readable.
            const TRect f = FPreview->FoundRect();
            c->Pen()->SetColor(clWhite);
            c->Pen()->SetMode(pmXor);
            c->Brush()->SetStyle(bsClear);
            const int x0 = r.Left + RoundI(f.Left * z) - 1, y0 = r.Top + RoundI(f.Top * z);
            const int x1 = r.Left + RoundI(f.Right * z) + 1, y1 = r.Top + RoundI(f.Bottom * z);
            c->InvertRect(TRect(x0, y0, x1, y1));
            c->Pen()->SetMode(pmCopy);
            c->Brush()->SetStyle(bsSolid);
        }
    }
}

void TfrxPreviewWorkspace::Resize()
{
    TfrxScrollWin::Resize();
    SetHorzPageSize(ClientWidth());
    SetVertPageSize(ClientHeight());
}

void TfrxPreviewWorkspace::HorzPositionChanged(int) { Invalidate(); }

void TfrxPreviewWorkspace::VertPositionChanged(int)
{
    Invalidate();
    if (FUpdating || FPageList.Count() == 0) return;
    FPreview->SetPageNoFromScroll(FPageList.FindPage(VertPosition(), FPreview->Zoom(), false) + 1);
}

void TfrxPreviewWorkspace::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TfrxScrollWin::MouseDown(button, shift, x, y);
    if (CanFocus()) SetFocus();
    if (button == mbLeft && FPageList.Count() > 0) {
        FDragging = true;
        FLastX = x;
        FLastY = y;
    }
}

void TfrxPreviewWorkspace::MouseMove(TShiftState shift, int x, int y)
{
    TfrxScrollWin::MouseMove(shift, x, y);
    if (FDragging) {
        if (FPreview->Tool() == 0) {
            SetHorzScrollPos(HorzPosition() - (x - FLastX));
            SetVertScrollPos(VertPosition() - (y - FLastY));
        }
        FLastX = x;
        FLastY = y;
        return;
    }
    TfrxPreviewPages* pages = FPreview->PreviewPages();
    TCursor cursor = FPreview->Tool() == 0 ? kHandCursor : kZoomCursor;
    TRect r;
    const int i = PageAt(x, y, r);
    if (pages && i >= 0) {
        int c = cursor;
        pages->ObjectOver(i, x, y, 0, shift, FPreview->Zoom(), r.Left, r.Top, false, c);
        cursor = TCursor(c);
    }
    SetCursor(cursor);
}

void TfrxPreviewWorkspace::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TfrxScrollWin::MouseUp(button, shift, x, y);
    if (FPreview->OnClick) FPreview->OnClick(FPreview);
    FDragging = false;
    if (FPreview->Tool() == 1) {
        if (button == mbLeft) FPreview->SetZoom(FPreview->Zoom() + 0.25);
        if (button == mbRight) FPreview->SetZoom(FPreview->Zoom() - 0.25);
        return;
    }
    TfrxPreviewPages* pages = FPreview->PreviewPages();
    TRect r;
    const int i = PageAt(x, y, r);
    if (!pages || i < 0) return;
    int cursor = Cursor();
    const int b = button == mbLeft ? 0 : button == mbRight ? 1 : 2;
    pages->ObjectOver(i, x, y, b, shift, FPreview->Zoom(), r.Left, r.Top, true, cursor);
}

void TfrxPreviewWorkspace::KeyDown(WORD& key, TShiftState shift)
{
    TfrxScrollWin::KeyDown(key, shift);
    switch (key) {
    case VK_PRIOR: SetVertScrollPos(VertPosition() - LargeChange); break;
    case VK_NEXT: SetVertScrollPos(VertPosition() + LargeChange); break;
    case VK_UP: SetVertScrollPos(VertPosition() - SmallChange); break;
    case VK_DOWN: SetVertScrollPos(VertPosition() + SmallChange); break;
    case VK_LEFT: SetHorzScrollPos(HorzPosition() - SmallChange); break;
    case VK_RIGHT: SetHorzScrollPos(HorzPosition() + SmallChange); break;
    case VK_HOME: FPreview->First(); break;
    case VK_END: FPreview->Last(); break;
    case VK_F3: FPreview->FindNext(); break;
    default: return;
    }
    key = 0;
}

bool TfrxPreviewWorkspace::DoMouseWheel(TShiftState, int wheelDelta, TPoint)
{
    FPreview->MouseWheelScroll(wheelDelta);
    return true;
}

// ---- preview -------------------------------------------------------------------------------------

TfrxPreview::TfrxPreview(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 100, 100);
    FWorkspace = new TfrxPreviewWorkspace(this);
    FWorkspace->SetParent(this);
    FWorkspace->SetAlign(alClient);
    FPageNo = 1;
}

TfrxPreview::~TfrxPreview() { SetReport(nullptr); }

void TfrxPreview::SetReport(TfrxReport* report)
{
    if (FReport == report) return;
    if (TfrxPreviewPages* old = PreviewPages()) old->Preview = {};
    if (FReport) FReport->RemoveFreeNotification(this);
    FReport = report;
    if (FReport) {
        FReport->FreeNotification(this);
        if (TfrxPreviewPages* pages = PreviewPages()) {
            pages->Preview.GoTo = [this](int page, int top) { SetPosition(page, top); };
            pages->Preview.Repaint = [this] { FWorkspace->Invalidate(); };
            pages->Preview.ShowMessage = [this](const std::string& text) {
                if (OnMessage) OnMessage(text);
            };
        }
    }
    Init();
}

void TfrxPreview::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FReport) {
        FReport = nullptr;
        FWorkspace->PageList().Clear();
        FPageNo = 0;
        FFound = false;
        if (!(ComponentState().Contains(csDestroying))) FWorkspace->Invalidate();
    }
}

TfrxPreviewPages* TfrxPreview::PreviewPages() const
{
    return FReport ? dynamic_cast<TfrxPreviewPages*>(FReport->PreviewPages()) : nullptr;
}

int TfrxPreview::PageCount() const
{
    TfrxPreviewPages* pages = PreviewPages();
    return pages ? pages->Count() : 0;
}

void TfrxPreview::Init()
{
    FFound = false;
    FFindStarted = false;
    FFindPage = 0;
    FLastFound = -1;
    UpdatePageList();
    UpdateZoom();
    First();
}

void TfrxPreview::UpdatePageList()
{
    FFindStarted = false;
    TfrxPageList& list = FWorkspace->PageList();
    list.Clear();
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages) return;
    list.ColumnCount = FZoomMode == zmManyPages ? 2 : 1;
    for (int i = 0; i < pages->Count(); ++i) {
        const TSize s = pages->GetPageSize(i);
        list.AddPage(s.cx, s.cy);
    }
}

void TfrxPreview::UpdateScrollRanges()
{
    const TPoint extent = FWorkspace->PageList().GetMaxBounds(FZoom);
    FWorkspace->SetHorzPageSize(FWorkspace->ClientWidth());
    FWorkspace->SetVertPageSize(FWorkspace->ClientHeight());
    FWorkspace->SetHorzScrollRange(extent.X > 0 ? extent.X + 10 : 0);
    FWorkspace->SetVertScrollRange(extent.Y > 0 ? extent.Y + 10 : 0);
}

void TfrxPreview::UpdateZoom()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages || pages->Count() == 0) {
        UpdateScrollRanges();
        FWorkspace->Invalidate();
        return;
    }
    const TSize s = pages->GetPageSize(std::clamp(FPageNo - 1, 0, pages->Count() - 1));
    // A fitted zoom may show or hide a scroll bar, which changes the room the
    // pages have: then the zoom is fitted once more.
    for (int pass = 0; pass < 2; ++pass) {
        const int width = FWorkspace->ClientWidth(), height = FWorkspace->ClientHeight();
        if (s.cx > 0 && s.cy > 0) {
            switch (FZoomMode) {
            case zmWholePage: FZoom = double(height - 20) / s.cy; break;
            case zmPageWidth: FZoom = double(width - 20) / s.cx; break;
            case zmManyPages: FZoom = double(width - 32) / (2.0 * s.cx); break;
            default: break;
            }
            // A window too small to fit a page still shows it, at the smallest zoom.
            FZoom = std::max(FZoom, 0.25);
        }
        UpdateScrollRanges();
        if (FZoomMode == zmDefault || (width == FWorkspace->ClientWidth() && height == FWorkspace->ClientHeight()))
            break;
    }
    FWorkspace->Invalidate();
}

void TfrxPreview::SetZoom(double v)
{
    FZoom = std::max(v, 0.25);
    const bool wasMany = FZoomMode == zmManyPages;
    FZoomMode = zmDefault;
    if (wasMany) UpdatePageList();
    UpdateZoom();
}

void TfrxPreview::SetZoomMode(TfrxZoomMode v)
{
    FZoomMode = v;
    UpdatePageList();
    UpdateZoom();
}

void TfrxPreview::SetTool(int v)
{
    FTool = v == 1 ? 1 : 0;
    FWorkspace->SetCursor(FTool == 0 ? kHandCursor : kZoomCursor);
}

void TfrxPreview::DoPageChanged()
{
    if (OnPageChanged) OnPageChanged(this, FPageNo);
}

void TfrxPreview::SetPageNo(int v)
{
    const int count = PageCount();
    FPageNo = count == 0 ? 0 : std::clamp(v, 1, count);
    if (count > 0) {
        const TRect r = FWorkspace->PageList().GetPageBounds(FPageNo - 1, FWorkspace->ClientWidth(), FZoom);
        FWorkspace->FUpdating = true;
        FWorkspace->SetVertScrollPos(r.Top - 10);
        FWorkspace->FUpdating = false;
    }
    DoPageChanged();
}

void TfrxPreview::SetPageNoFromScroll(int v)
{
    if (v == FPageNo) return;
    FPageNo = std::clamp(v, 1, std::max(PageCount(), 1));
    DoPageChanged();
}

void TfrxPreview::SetPosition(int pageNo, int top)
{
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages || pages->Count() == 0) return;
    pageNo = std::clamp(pageNo, 1, pages->Count());
    const TRect r = FWorkspace->PageList().GetPageBounds(pageNo - 1, FWorkspace->ClientWidth(), FZoom);
    int pos = r.Top - 10;
    if (top != 0) {
        TfrxReportPage* page = pages->GetPage(pageNo - 1);
        const double margin = page ? page->TopMargin * fr01cm : 0;
        pos = r.Top + RoundI((top + margin) * FZoom) - 10;
    }
    FWorkspace->SetVertScrollPos(pos);
    FPageNo = pageNo;
    DoPageChanged();
}

void TfrxPreview::MouseWheelScroll(int delta)
{
    if (delta > 0) FWorkspace->SetVertScrollPos(FWorkspace->VertPosition() - 20);
    else if (delta < 0) FWorkspace->SetVertScrollPos(FWorkspace->VertPosition() + 20);
}

void TfrxPreview::Resize()
{
    TCustomControl::Resize();
    if (PageCount() > 0) UpdateZoom();
}

// ---- search --------------------------------------------------------------------------------------

bool TfrxPreview::Find(const std::string& text, bool caseSensitive, bool fromTop)
{
    FFindText = text;
    FFindCase = caseSensitive;
    FFindStarted = true;
    FFindPage = fromTop ? 0 : std::max(FPageNo - 1, 0);
    FLastFound = -1;
    return SearchFrom(FFindPage);
}

bool TfrxPreview::FindNext()
{
    if (!FFindStarted || FFindText.empty()) return false;
    return SearchFrom(FFindPage);
}

bool TfrxPreview::SearchFrom(int page)
{
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages || FFindText.empty()) return false;
    const std::string want = FFindCase ? FFindText : UpperCase(FFindText);
    for (int p = page; p < pages->Count(); ++p) {
        TfrxReportPage* rp = pages->GetPage(p);
        if (!rp) continue;
        const bool mirror = rp->MirrorMargins && p % 2 == 1;
        const double ml = (mirror ? rp->RightMargin : rp->LeftMargin) * fr01cm, mt = rp->TopMargin * fr01cm;
        // The texts in drawing order, each counted; the match after the last one found.
        int counter = 0;
        for (TfrxComponent* c : rp->AllObjects()) {
            auto* m = DynamicCast<TfrxCustomMemoView>(c);
            if (!m || !m->Visible()) continue;
            const int k = counter++;
            if (k <= FLastFound) continue;
            const std::string text = FFindCase ? m->Text() : UpperCase(m->Text());
            if (text.find(want) == std::string::npos) continue;
            FFindPage = p;
            FLastFound = k;
            FFound = true;
            FFoundPage = p;
            FFoundRect = TRect(RoundI(ml + m->AbsLeft()), RoundI(mt + m->AbsTop()),
                               RoundI(ml + m->AbsLeft() + m->Width()), RoundI(mt + m->AbsTop() + m->Height()));
            // Scroll so that the found text lies inside the area, 20 pixels in.
            TRect r = FWorkspace->PageList().GetPageBounds(p, FWorkspace->ClientWidth(), FZoom);
            const int bottom = r.Top + RoundI(FFoundRect.Bottom * FZoom);
            const int top = r.Top + RoundI(FFoundRect.Top * FZoom);
            const int right = r.Left + RoundI(FFoundRect.Right * FZoom);
            FWorkspace->FUpdating = true;
            if (bottom > FWorkspace->VertPosition() + FWorkspace->ClientHeight() - 20 ||
                top < FWorkspace->VertPosition())
                FWorkspace->SetVertScrollPos(bottom - FWorkspace->ClientHeight() + 20);
            if (right > FWorkspace->HorzPosition() + FWorkspace->ClientWidth() - 20)
                FWorkspace->SetHorzScrollPos(right - FWorkspace->ClientWidth() + 20);
            FWorkspace->FUpdating = false;
            if (FPageNo != p + 1) {
                FPageNo = p + 1;
                DoPageChanged();
            }
            FWorkspace->Invalidate();
            return true;
        }
        FLastFound = -1;
    }
    return false;
}

// ---- commands ------------------------------------------------------------------------------------

bool TfrxPreview::Export(TfrxCustomExportFilter* filter)
{
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages || !filter) return false;
    pages->ShownPage = FPageNo;
    const bool done = pages->Export(filter);
    FWorkspace->Invalidate();
    return done;
}

bool TfrxPreview::Print()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages) return false;
    pages->ShownPage = FPageNo;
    const bool done = pages->Print();
    FWorkspace->Invalidate();
    return done;
}
