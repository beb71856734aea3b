#include "frxPreview.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDsgnIntf.h"
#include "frxPreviewPages.h"
#include "frxPrintDialog.h"
#include "frxPrinter.h"
#include "frxPreviewPageSettings.h"
#include "frxRes.h"
#include "frxSearchDialog.h"
#include "frxDMPClass.h"
#include "frxUtils.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TfrxPreviewWorkspace, TfrxScrollWin)
QZ_CLASS_IMPL(TfrxPreview, TCustomControl)
QZ_CLASS_IMPL(TfrxPreviewForm, TForm)

namespace {

constexpr TColor kWorkspaceColor = TColor(8421504);   // gray
constexpr TCursor kHandCursor = 50, kZoomCursor = 51;

int RoundI(double v) { return int(std::lround(v)); }

TRect Shifted(const TRect& r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

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
        return TRect{left, top, left + w, top + RoundI(1123 * zoom)};
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
    return TRect{left, top, left + RoundI(zoom * item.Width), top + RoundI(zoom * item.Height)};
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
    if (FItems.empty()) return Point(0, 0);
    const TfrxPageItem& last = FItems.back();
    return Point(RoundI(zoom * FMaxWidth), RoundI(zoom * (last.Top + last.Height)));
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
    if (!pages || FPageList.Count() == 0 || FPreview->Locked()) return;
    const double z = FPreview->Zoom();
    const int n = FPageList.FindPage(VertPosition(), z, false);
    // While a build runs, the page being built shows empty until it is done.
    const int finished = FPreview->Busy() ? pages->Count() - 1 : pages->Count();
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
        if (i < finished) pages->DrawPage(i, c, z, z, r.Left, r.Top);
        if (FPreview->Found() && FPreview->FoundPage() == i) {
            // The found text, marked so that it stays readable.
            const TRect f = FPreview->FoundRect();
            c->Pen()->SetColor(clWhite);
            c->Pen()->SetMode(pmXor);
            c->Brush()->SetStyle(bsClear);
            const int x0 = r.Left + RoundI(f.Left * z) - 1, y0 = r.Top + RoundI(f.Top * z);
            const int x1 = r.Left + RoundI(f.Right * z) + 1, y1 = r.Top + RoundI(f.Bottom * z);
            c->InvertRect(TRect{x0, y0, x1, y1});
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
    FOutline = new TTreeView(this);
    FOutline->SetParent(this);
    FOutline->SetAlign(alLeft);
    FOutline->SetWidth(120);
    FOutline->SetReadOnly(true);
    FOutline->SetVisible(false);
    FOutline->OnChange = [this](TObject*, TTreeNode* node) { OutlineClicked(node); };
    FSplitter = new TSplitter(this);
    FSplitter->SetParent(this);
    FSplitter->SetLeft(120);
    FSplitter->SetAlign(alLeft);
    FSplitter->SetMinSize(1);
    FSplitter->SetVisible(false);
    FWorkspace = new TfrxPreviewWorkspace(this);
    FWorkspace->SetParent(this);
    FWorkspace->SetAlign(alClient);
    FMessagePanel = new TPanel(this);
    FMessagePanel->SetParent(FWorkspace);
    FMessagePanel->SetBounds(0, 0, 260, 75);
    FMessagePanel->SetVisible(false);
    FMessageL = new TLabel(this);
    FMessageL->SetParent(FMessagePanel);
    FMessageL->SetAutoSize(false);
    FMessageL->SetAlignment(taCenter);
    FMessageL->SetBounds(4, 14, 252, 20);
    FMessageCancelB = new TButton(this);
    FMessageCancelB->SetParent(FMessagePanel);
    FMessageCancelB->SetBounds(92, 42, 75, 25);
    FMessageCancelB->SetCaption(frxRes::Resources().Get("clCancel"));
    FMessageCancelB->SetVisible(false);
    FMessageCancelB->OnClick = [this](TObject*) { Cancel(); };
    FPageNo = 1;
}

TfrxPreview::~TfrxPreview() { SetReport(nullptr); }

std::function<uint32_t()> TfrxPreview::TickCount = [] { return GetTickCount(); };

void TfrxPreview::SetReport(TfrxReport* report)
{
    if (FReport == report) return;
    if (TfrxPreviewPages* old = PreviewPages()) old->Preview = {};
    TfrxReport* oldReport = FReport;
    if (FReport) FReport->RemoveFreeNotification(this);
    FReport = report;
    FBusy = false;
    // The report shows its builds here, and forgets a preview that went.
    if (oldReport && oldReport->Preview() == this) oldReport->SetPreview(nullptr);
    if (FReport && FReport->Preview() != this) FReport->SetPreview(this);
    if (FReport) {
        SetOutlineVisible(FReport->PreviewOptions()->OutlineVisible);
        FOutline->SetWidth(std::max(FReport->PreviewOptions()->OutlineWidth, 1));
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
        FBusy = false;
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
    UpdateOutline();
    First();
}

bool TfrxPreview::OutlineVisible() const { return FOutline->Visible(); }

void TfrxPreview::SetOutlineVisible(bool v)
{
    FOutline->SetVisible(v);
    FSplitter->SetVisible(v);
    if (v) FSplitter->SetLeft(FOutline->Left() + FOutline->Width());
}

namespace {

// A node keeps its page (1-based) and its top within the page together.
void* PackPosition(int page, int top)
{
    return reinterpret_cast<void*>(uintptr_t(uint32_t(page)) | (uintptr_t(uint32_t(top)) << 32));
}

}  // namespace

void TfrxPreview::UpdateOutline()
{
    FOutline->Items()->Clear();
    TfrxPreviewPages* pages = PreviewPages();
    if (!pages || !pages->Outline()) return;
    TfrxCustomOutline* outline = pages->Outline();
    std::function<void(TTreeNode*, int)> add = [&](TTreeNode* parent, int depth) {
        // Outlines come from layouts; their depth is bounded like any input's.
        if (depth > 64) return;
        const int n = outline->Count();
        for (int i = 0; i < n; ++i) {
            std::string text;
            int page = 0, top = 0;
            outline->GetItem(i, text, page, top);
            TTreeNode* node = FOutline->Items()->AddChildObject(parent, text, PackPosition(page + 1, top));
            outline->LevelDown(i);
            add(node, depth + 1);
            outline->LevelUp();
        }
    };
    outline->LevelRoot();
    add(nullptr, 0);
    FOutline->FullExpand();
    if (TTreeNode* first = FOutline->Items()->GetFirstNode()) first->MakeVisible();
}

void TfrxPreview::OutlineClicked(TTreeNode* node)
{
    if (!node) return;
    const uintptr_t v = reinterpret_cast<uintptr_t>(node->Data());
    SetPosition(int(uint32_t(v & 0xFFFFFFFFu)), int(int32_t(uint32_t(v >> 32))));
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
            FFoundRect = TRect{RoundI(ml + m->AbsLeft()), RoundI(mt + m->AbsTop()),
                               RoundI(ml + m->AbsLeft() + m->Width()), RoundI(mt + m->AbsTop() + m->Height())};
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
    if (FBusy || !pages || !filter) return false;
    pages->ShownPage = FPageNo;
    const bool done = pages->Export(filter);
    FWorkspace->Invalidate();
    return done;
}

namespace {
std::string Fp3Filter() { return frxRes::Resources().Get("clFP3files") + " (*.fp3)|*.fp3"; }
}  // namespace

void TfrxPreview::Save()
{
    if (FBusy) return;
    TSaveDialog dlg(nullptr);
    dlg.Filter = Fp3Filter();
    dlg.DefaultExt = "fp3";
    if (dlg.Execute()) SaveToFile(ChangeFileExt(dlg.FileName, ".fp3"));
}

void TfrxPreview::SaveToFile(const std::string& fileName)
{
    if (FBusy) return;
    if (TfrxPreviewPages* pages = PreviewPages()) pages->SaveToFile(fileName);
}

void TfrxPreview::Load()
{
    if (FBusy) return;
    TOpenDialog dlg(nullptr);
    dlg.Filter = Fp3Filter();
    if (dlg.Execute()) LoadFromFile(dlg.FileName);
}

void TfrxPreview::LoadFromFile(const std::string& fileName)
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages) return;
    try {
        pages->LoadFromFile(fileName, true);
    } catch (...) {
        // A broken file leaves the pages empty: the preview shows that, then
        // the error goes to the caller.
        Init();
        throw;
    }
    SetOutlineVisible(FReport->PreviewOptions()->OutlineVisible);
    Init();
}

bool TfrxPreview::Print()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages) return false;
    pages->ShownPage = FPageNo;
    bool done = false;
    try {
        done = pages->Print();
    } catch (const Exception& e) {
        // A job the printer refused, or a file that could not be written,
        // must not look printed: the user is told why and the call fails.
        FWorkspace->Invalidate();
        frxUtils::ShowErrorBox(e.Message());
        return false;
    }
    FWorkspace->Invalidate();
    return done;
}

void TfrxPreview::Find()
{
    if (FBusy) return;
    TfrxSearchDialog dlg(nullptr);
    const bool ok = dlg.ShowModal() == mrOk;
    if (ok) Find(dlg.TextE->Text(), dlg.CaseCB->Checked(), dlg.TopCB->Checked());
    // Closed either way, the search counts as started, for FindNext.
    FFindStarted = true;
}

// ---- building into the preview, page commands --------------------------------------------------------

void TfrxPreview::Lock() { FLocked = true; }

void TfrxPreview::Unlock()
{
    HideMessage();
    FLocked = false;
    FPageNo = PageCount() > 0 ? 1 : 0;
    UpdateZoom();
    FWorkspace->Invalidate();
}

void TfrxPreview::BuildStarted()
{
    FBusy = true;
    // Pages the build adds to (a build that does not clear the last one)
    // stay where they are.
    UpdatePageList();
    FPageNo = PageCount() > 0 ? 1 : 0;
    FFound = false;
    FFindStarted = false;
    UpdateScrollRanges();
    FWorkspace->Invalidate();
    if (OnBuildStateChanged) OnBuildStateChanged();
}

void TfrxPreview::BuildProgress(int pageIndex)
{
    TfrxPreviewPages* pages = PreviewPages();
    TfrxCustomEngine* engine = FReport ? FReport->Engine() : nullptr;
    if (pages && engine && engine->FinalPass) {
        // The layout follows the pages built in the final pass.
        TfrxPageList& list = FWorkspace->PageList();
        for (int i = list.Count(); i < pages->Count(); ++i) {
            const TSize sz = pages->GetPageSize(i);
            list.AddPage(sz.cx, sz.cy);
        }
    }
    if (pageIndex == 0) {
        FOutline->Items()->Clear();
        FPageNo = 1;
        UpdateZoom();
        FFirstTick = TickCount();
        DoPageChanged();
    } else if (pageIndex == 1) {
        const uint32_t passed = TickCount() - FFirstTick;
        FRefreshInterval = passed <= 4 ? 50 : passed <= 9 ? 20 : 5;
        FPageNo = 1;
        UpdateZoom();
        DoPageChanged();
    } else if (FRefreshInterval > 0 && pageIndex % FRefreshInterval == 0) {
        DoPageChanged();
        UpdateScrollRanges();
    }
    // The window system runs, so the pages show and the cancel button works.
    if (Application) Application->ProcessMessages();
}

void TfrxPreview::BuildFinished()
{
    FBusy = false;
    // The whole build: every page of the final pass, none of a first one.
    UpdatePageList();
    if (FPageNo > PageCount()) FPageNo = PageCount();
    if (FPageNo == 0 && PageCount() > 0) FPageNo = 1;
    DoPageChanged();
    UpdateZoom();
    UpdateOutline();
    FWorkspace->Invalidate();
    if (OnBuildStateChanged) OnBuildStateChanged();
}

void TfrxPreview::CloseHostWindow()
{
    if (OnCloseHost) OnCloseHost();
}

void TfrxPreview::Cancel()
{
    if (FBusy && FReport) FReport->SetTerminated(true);
}

void TfrxPreview::AfterPagesChanged()
{
    UpdatePageList();
    UpdateZoom();
    if (FPageNo > PageCount()) FPageNo = PageCount();
    DoPageChanged();
    FWorkspace->Invalidate();
}

void TfrxPreview::Clear()
{
    if (FBusy) return;
    Lock();
    if (TfrxPreviewPages* pages = PreviewPages()) pages->Clear();
    UpdatePageList();
    Unlock();
    UpdateOutline();
    FPageNo = 0;
    FWorkspace->SetHorzScrollRange(0);
    FWorkspace->SetVertScrollRange(0);
    DoPageChanged();
}

void TfrxPreview::AddPage()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages || FPageNo < 1) return;
    pages->AddEmptyPage(FPageNo - 1);
    UpdatePageList();
    UpdateZoom();
    SetPageNo(FPageNo);
}

void TfrxPreview::DeletePage()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages || FPageNo < 1) return;
    pages->DeletePage(FPageNo - 1);
    if (FPageNo >= PageCount()) FPageNo = PageCount();
    AfterPagesChanged();
}

void TfrxPreview::PageSetupDialog()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages || FPageNo < 1) return;
    TfrxReportPage* page = pages->GetPage(FPageNo - 1);
    if (!page) return;
    TfrxPageSettingsForm dlg(nullptr);
    dlg.SetPage(page);
    if (dlg.ShowModal() != mrOk) return;
    if (dlg.ApplyToAll()) {
        // Every page of the layout takes the settings, and the report is
        // built again with them.
        for (int i = 0; i < FReport->PagesCount(); ++i) {
            TfrxReportPage* p = FReport->Pages(i);
            if (!p) continue;
            p->SetOrientation(page->Orientation());
            p->SetPaperWidth(page->PaperWidth());
            p->SetPaperHeight(page->PaperHeight());
            p->SetPaperSize(page->PaperSize());
            p->LeftMargin = page->LeftMargin;
            p->RightMargin = page->RightMargin;
            p->TopMargin = page->TopMargin;
            p->BottomMargin = page->BottomMargin;
            p->AlignChildren();
        }
        const int pageNo = FPageNo;
        FReport->PrepareReport();
        if (!FBusy && PageCount() > 0) SetPageNo(std::min(pageNo, PageCount()));
        return;
    }
    const int pageNo = FPageNo;
    Lock();
    pages->ModifyPage(pageNo - 1, page);
    Unlock();
    AfterPagesChanged();
    SetPageNo(pageNo);
}

void TfrxPreview::EditPage()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages || FPageNo < 1) return;
    TfrxReportPage* page = pages->GetPage(FPageNo - 1);
    if (!page) return;
    TfrxReport temp(nullptr);
    TfrxReportPage* copy = page->Is<TfrxDMPPage>() ? new TfrxDMPPage(&temp) : new TfrxReportPage(&temp);
    copy->SetParent(&temp);
    copy->AssignAll(page);
    // One flat page: no data links, every object directly on the page where
    // it stood, the bands gone.
    for (TfrxComponent* c : copy->AllObjects()) {
        if (auto* v = DynamicCast<TfrxView>(c)) {
            v->DataField.clear();
            v->SetDataSet(nullptr);
        }
    }
    for (TfrxComponent* c : copy->AllObjects()) {
        if (c->Parent() == copy || c->Is<TfrxBand>()) continue;
        const double left = c->AbsLeft() - copy->AbsLeft(), top = c->AbsTop() - copy->AbsTop();
        c->SetParentFont(false);
        c->SetParent(copy);
        c->SetLeft(left);
        c->SetTop(top);
    }
    for (TfrxComponent* c : std::vector<TfrxComponent*>(copy->Objects()))
        if (c->Is<TfrxBand>()) delete c;
    if (!temp.OpenPreviewDesigner()) return;
    // The page as the designer left it (it may have made a new one).
    TfrxReportPage* designed = temp.Pages(0);
    if (!designed) return;
    const int pageNo = FPageNo;
    Lock();
    pages->ModifyPage(pageNo - 1, designed);
    Unlock();
    AfterPagesChanged();
    SetPageNo(pageNo);
}

void TfrxPreview::EditTemplate()
{
    TfrxPreviewPages* pages = PreviewPages();
    if (FBusy || !pages || pages->SourcePageCount() == 0) return;
    TfrxReport temp(nullptr);
    for (int i = 0; i < pages->SourcePageCount(); ++i) {
        TfrxReportPage* src = pages->SourcePage(i);
        TfrxReportPage* copy = src->Is<TfrxDMPPage>() ? new TfrxDMPPage(&temp) : new TfrxReportPage(&temp);
        copy->SetParent(&temp);
        copy->AssignAll(src);
    }
    // The designer shows copies: the prepared pages keep pointing at their
    // own source objects, which must not change under them.
    temp.OpenDesigner();
}

void TfrxPreview::ShowMessage(const std::string& text)
{
    FMessageL->SetCaption(text);
    FMessagePanel->SetLeft((FWorkspace->ClientWidth() - FMessagePanel->Width()) / 2);
    FMessagePanel->SetTop(FWorkspace->ClientHeight() / 3);
    FMessagePanel->SetVisible(true);
    FMessagePanel->Update();
}

void TfrxPreview::HideMessage()
{
    FMessagePanel->SetVisible(false);
    FMessageCancelB->SetVisible(false);
}

// ---- preview window ------------------------------------------------------------------------------

namespace {

// The bar places a button after those to its left: each new one goes
// further right than the last.
int& NextLeft()
{
    static int left = 0;
    return left;
}

TToolButton* AddButton(TfrxPreviewForm* form, TToolBar* bar, const std::string& name,
                       TToolButtonStyle style = tbsButton)
{
    auto* b = new TToolButton(form);
    b->SetName(name);
    b->SetStyle(style);
    b->SetLeft(NextLeft() += 10000);
    b->SetParent(bar);
    return b;
}

// The tool buttons take their captions and hints from the window's text
// block too (they publish neither, so the form's localisation passes them by).
void LocalizeToolButtons(TForm* form)
{
    TStringList lines;
    lines.SetText(frxRes::Resources().Get(form->ClassName()));
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines[i];
        const size_t dot = line.find('.'), eq = line.find('=');
        if (dot == std::string::npos || eq == std::string::npos || dot > eq) continue;
        auto* b = dynamic_cast<TToolButton*>(form->FindComponent(line.substr(0, dot)));
        if (!b) continue;
        const std::string prop = line.substr(dot + 1, eq - dot - 1), value = line.substr(eq + 1);
        if (prop == "Caption") b->SetCaption(value);
        if (prop == "Hint") b->SetHint(value);
    }
}

// A gap in the bar, as wide as asked (a box stands in a wide one).
TToolButton* AddSeparator(TfrxPreviewForm* form, TToolBar* bar, int width = 8)
{
    auto* b = new TToolButton(form);
    b->SetStyle(tbsSeparator);
    b->SetWidth(width);
    b->SetLeft(NextLeft() += 10000);
    b->SetParent(bar);
    return b;
}

}  // namespace

TfrxPreviewForm::TfrxPreviewForm(TComponent* owner) : TForm(owner)
{
    SetName("frxPreviewForm");
    TForm::SetPosition(poScreenCenter);
    SetClientSize(1000, 700);
    SetKeyPreview(true);
    ToolBar = new TToolBar(this);
    ToolBar->SetName("ToolBar");
    ToolBar->SetParent(this);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    PrintB = AddButton(this, ToolBar, "PrintB");
    OpenB = AddButton(this, ToolBar, "OpenB");
    SaveB = AddButton(this, ToolBar, "SaveB");
    ExportB = AddButton(this, ToolBar, "ExportB", tbsDropDown);
    ExportPopup = new TPopupMenu(this);
    ExportPopup->SetName("ExportPopup");
    ExportB->SetDropdownMenu(ExportPopup);
    FindB = AddButton(this, ToolBar, "FindB");
    AddSeparator(this, ToolBar);
    ZoomWholePageB = AddButton(this, ToolBar, "ZoomWholePageB");
    ZoomPageWidthB = AddButton(this, ToolBar, "ZoomPageWidthB");
    Zoom100B = AddButton(this, ToolBar, "Zoom100B");
    Zoom50B = AddButton(this, ToolBar, "Zoom50B");
    FZoomHolder = AddSeparator(this, ToolBar, 74);
    ZoomCB = new TfrxComboBox(this);
    ZoomCB->SetName("ZoomCB");
    ZoomCB->SetParent(ToolBar);
    AddSeparator(this, ToolBar);
    PageSettingsB = AddButton(this, ToolBar, "PageSettingsB");
    OutlineB = AddButton(this, ToolBar, "OutlineB", tbsCheck);
    HandToolB = AddButton(this, ToolBar, "HandToolB", tbsCheck);
    ZoomToolB = AddButton(this, ToolBar, "ZoomToolB", tbsCheck);
    HandToolB->SetGrouped(true);
    ZoomToolB->SetGrouped(true);
    HandToolB->SetDown(true);
    FEditSeparator = AddSeparator(this, ToolBar);
    NewPageB = AddButton(this, ToolBar, "NewPageB");
    DelPageB = AddButton(this, ToolBar, "DelPageB");
    DesignerB = AddButton(this, ToolBar, "DesignerB");
    HiddenMenu = new TPopupMenu(this);
    HiddenMenu->SetName("HiddenMenu");
    Showtemplate1 = new TMenuItem(this);
    Showtemplate1->SetName("Showtemplate1");
    Showtemplate1->SetCaption("Show template");
    Showtemplate1->OnClick = [this](TObject*) { FPreview->EditTemplate(); };
    HiddenMenu->Items()->Add(Showtemplate1);
    DesignerB->SetPopupMenu(HiddenMenu);
    AddSeparator(this, ToolBar);
    FirstB = AddButton(this, ToolBar, "FirstB");
    PriorB = AddButton(this, ToolBar, "PriorB");
    FPageHolder = AddSeparator(this, ToolBar, 44);
    PageE = new TEdit(this);
    PageE->SetName("PageE");
    PageE->SetParent(ToolBar);
    NextB = AddButton(this, ToolBar, "NextB");
    LastB = AddButton(this, ToolBar, "LastB");
    AddSeparator(this, ToolBar);
    CancelB = AddButton(this, ToolBar, "CancelB");
    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->Panels()->Add()->SetWidth(150);
    StatusBar->Panels()->Add()->SetWidth(50);
    FPreview = new TfrxPreview(this);
    FPreview->SetName("Preview");
    FPreview->SetParent(this);
    FPreview->SetAlign(alClient);
    frxRes::Resources().LocalizeForm(this);
    LocalizeToolButtons(this);
    const TfrxResources& res = frxRes::Resources();
    for (const char* z : {"25%", "50%", "75%", "100%", "150%", "200%"}) ZoomCB->Items()->Add(z);
    ZoomCB->Items()->Add(res.Get("zmPageWidth"));
    ZoomCB->Items()->Add(res.Get("zmWholePage"));

    PrintB->OnClick = [this](TObject*) {
        if (!Printers().HasPhysicalPrinters()) {
            frxUtils::ShowErrorBox(frxRes::Resources().Get("clNoPrinters"));
            return;
        }
        FPreview->Print();
    };
    FindB->OnClick = [this](TObject*) { FPreview->Find(); };
    OpenB->OnClick = [this](TObject*) { FPreview->Load(); };
    SaveB->OnClick = [this](TObject*) { FPreview->Save(); };
    ZoomWholePageB->OnClick = [this](TObject*) { FPreview->SetZoomMode(zmWholePage); UpdateZoomText(); };
    ZoomPageWidthB->OnClick = [this](TObject*) { FPreview->SetZoomMode(zmPageWidth); UpdateZoomText(); };
    Zoom100B->OnClick = [this](TObject*) { FPreview->SetZoom(1); UpdateZoomText(); };
    Zoom50B->OnClick = [this](TObject*) { FPreview->SetZoomMode(zmManyPages); UpdateZoomText(); };
    ZoomCB->OnChange = [this](TObject*) { ApplyZoomText(); };
    OutlineB->OnClick = [this](TObject*) {
        FPreview->SetOutlineVisible(OutlineB->Down());
        FPreview->UpdateZoom();
    };
    HandToolB->OnClick = [this](TObject*) { FPreview->SetTool(0); };
    ZoomToolB->OnClick = [this](TObject*) { FPreview->SetTool(1); };
    FirstB->OnClick = [this](TObject*) { FPreview->First(); };
    PriorB->OnClick = [this](TObject*) { FPreview->Prior(); };
    NextB->OnClick = [this](TObject*) { FPreview->Next(); };
    LastB->OnClick = [this](TObject*) { FPreview->Last(); };
    PageSettingsB->OnClick = [this](TObject*) { FPreview->PageSetupDialog(); };
    NewPageB->OnClick = [this](TObject*) { FPreview->AddPage(); };
    DelPageB->OnClick = [this](TObject*) { FPreview->DeletePage(); };
    DesignerB->OnClick = [this](TObject*) { FPreview->EditPage(); };
    // Cancels a running build, else closes the window.
    CancelB->OnClick = [this](TObject*) {
        if (FPreview->Busy())
            FPreview->Cancel();
        else
            Close();
    };
    PageE->OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        ApplyPageText();
    };
    OnKeyDown = [this](TObject*, uint16_t& key, TShiftState shift) {
        if (key == VK_ESCAPE) {
            key = 0;
            CancelB->Click();
        } else if (shift.Contains(ssCtrl) && key == 'F') {
            key = 0;
            FPreview->Find();
        }
    };
    FPreview->OnPageChanged = [this](TObject*, int pageNo) { PageChanged(pageNo); };
    FPreview->OnMessage = [this](const std::string& text) { StatusBar->Panels()->Items(1)->SetText(text); };
    FPreview->OnBuildStateChanged = [this] { UpdateControls(); };
    FPreview->OnCloseHost = [this] { Close(); };
    PlaceBoxes();
    UpdateControls();
}

void TfrxPreviewForm::UpdateControls()
{
    const bool busy = FPreview->Busy();
    for (TToolButton* b : {PrintB, OpenB, SaveB, ExportB, FindB, PageSettingsB}) b->SetEnabled(!busy);
    for (TToolButton* b : {NewPageB, DelPageB, DesignerB}) b->SetEnabled(!busy && FAllowEdit);
    CancelB->SetCaption(frxRes::Resources().Get(busy ? "clCancel" : "clClose"));
    if (!busy) StatusBar->Panels()->Items(1)->SetText("");
}

bool TfrxPreviewForm::CloseQuery()
{
    if (FPreview->Busy()) return false;
    return TForm::CloseQuery();
}

void TfrxPreviewForm::PlaceBoxes()
{
    // The boxes stand in the gaps the bar keeps for them, centred in its row.
    if (!FZoomHolder || !FPageHolder || !ZoomCB || !PageE) return;   // still being made
    auto place = [](TWinControl* box, TToolButton* holder) {
        const int h = std::min(22, holder->Height());
        box->SetBounds(holder->Left() + 2, holder->Top() + (holder->Height() - h) / 2, holder->Width() - 4, h);
        box->SetVisible(holder->Visible());
    };
    place(ZoomCB, FZoomHolder);
    place(PageE, FPageHolder);
}

void TfrxPreviewForm::Resize()
{
    TForm::Resize();
    PlaceBoxes();
}

void TfrxPreviewForm::SetReport(TfrxReport* report)
{
    FillExportMenu();
    if (report) {
        TfrxPreviewOptions* o = report->PreviewOptions();
        if (o->Maximized) SetWindowState(wsMaximized);
        const TfrxPreviewButtons b = o->Buttons;
        PrintB->SetVisible(b.Contains(pbPrint));
        OpenB->SetVisible(b.Contains(pbLoad));
        SaveB->SetVisible(b.Contains(pbSave));
        ExportB->SetVisible(b.Contains(pbExport));
        FindB->SetVisible(b.Contains(pbFind));
        for (TToolButton* z : {ZoomWholePageB, ZoomPageWidthB, Zoom100B, Zoom50B}) z->SetVisible(b.Contains(pbZoom));
        FZoomHolder->SetVisible(b.Contains(pbZoom));
        OutlineB->SetVisible(b.Contains(pbOutline));
        HandToolB->SetVisible(b.Contains(pbTools));
        ZoomToolB->SetVisible(b.Contains(pbTools));
        for (TToolButton* n : {FirstB, PriorB, NextB, LastB}) n->SetVisible(b.Contains(pbNavigator));
        PageSettingsB->SetVisible(b.Contains(pbPageSetup));
        for (TToolButton* e : {NewPageB, DelPageB, DesignerB}) e->SetVisible(b.Contains(pbEdit));
        FEditSeparator->SetVisible(b.Contains(pbEdit));
        FAllowEdit = o->AllowEdit;
        FPageHolder->SetVisible(b.Contains(pbNavigator));
        if (!report->ReportOptions()->Name.empty()) SetCaption(report->ReportOptions()->Name);
    }
    PlaceBoxes();
    FPreview->SetReport(report);
    if (report) {
        const TfrxPreviewOptions* o = report->PreviewOptions();
        if (o->ZoomMode != zmDefault)
            FPreview->SetZoomMode(o->ZoomMode);
        else
            FPreview->SetZoom(o->Zoom);
    }
    OutlineB->SetDown(FPreview->OutlineVisible());
    UpdateZoomText();
    PageChanged(FPreview->PageNo());
    UpdateControls();
}

void TfrxPreviewForm::FillExportMenu()
{
    while (ExportPopup->Items()->Count() > 0) delete ExportPopup->Items()->Items(0);
    TfrxExportFilterCollection& filters = frxDsgnIntf::ExportFilterRegistry();
    for (int i = 0; i < filters.Count(); ++i) {
        TfrxCustomExportFilter* f = filters.GetItems(i);
        auto* item = new TMenuItem(this);
        item->SetCaption(f->GetDescription() + "...");
        // The filter may go before the menu does: it is looked up again.
        TWeakRef<TfrxCustomExportFilter> ref(f);
        item->OnClick = [this, ref](TObject*) {
            if (TfrxCustomExportFilter* filter = ref.Get()) FPreview->Export(filter);
        };
        ExportPopup->Items()->Add(item);
    }
}

void TfrxPreviewForm::UpdateZoomText() { ZoomCB->SetText(IntToStr(int(std::lround(FPreview->Zoom() * 100))) + "%"); }

void TfrxPreviewForm::ApplyZoomText()
{
    const int index = ZoomCB->ItemIndex();
    if (index == 6) {
        FPreview->SetZoomMode(zmPageWidth);
    } else if (index == 7) {
        FPreview->SetZoomMode(zmWholePage);
    } else {
        std::string text;
        for (char c : ZoomCB->Text())
            if (c != '%' && c != ' ') text += c;
        if (!text.empty()) {
            try {
                FPreview->SetZoom(frxUtils::StrToFloatAnySeparator(text) / 100);
            } catch (const EConvertError&) {
                // Not a number: the zoom stays and the box shows it again.
            }
        }
    }
    UpdateZoomText();
}

void TfrxPreviewForm::ApplyPageText() { FPreview->SetPageNo(StrToInt(Trim(PageE->Text()))); }

void TfrxPreviewForm::PageChanged(int pageNo)
{
    TfrxReport* report = FPreview->Report();
    TfrxCustomEngine* engine = report ? report->Engine() : nullptr;
    if (FPreview->Busy() && engine && !engine->FinalPass)
        StatusBar->Panels()->Items(0)->SetText(frxRes::Resources().Get("clFirstPass") +
                                               IntToStr(FPreview->PageCount()));
    else
        StatusBar->Panels()->Items(0)->SetText(
            Format(frxRes::Resources().Get("clPageOf"), {pageNo, FPreview->PageCount()}));
    PageE->SetText(IntToStr(pageNo));
}

namespace frxPreview {
void Initialize()
{
    if (!TfrxPreviewPages::PrintDialogHook) TfrxPreviewPages::PrintDialogHook = frxPrintDialog::Execute;
    if (frxClass::PreviewRunner) return;
    frxClass::PreviewRunner = [](TfrxReport* report) {
        if (!report->PreviewOptions()->Modal) {
            // A window of its own that goes when it is closed.
            auto* form = new TfrxPreviewForm(Application);
            form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
            form->SetReport(report);
            form->Show();
            return;
        }
        TfrxPreviewForm form(nullptr);
        form.SetReport(report);
        form.ShowModal();
    };
}
}  // namespace frxPreview
