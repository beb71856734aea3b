#include "cxGridDetailsSite.h"

#include "cxGrid.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxGridDetailsSiteTabHitTest, TcxCustomGridHitTest)
QZ_CLASS_IMPL(TcxCustomGridDetailsSiteTabViewInfo, TcxCustomGridCellViewInfo)
QZ_CLASS_IMPL(TcxGridDetailsSiteLeftTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)
QZ_CLASS_IMPL(TcxGridDetailsSiteTopTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)
QZ_CLASS_IMPL(TcxCustomGridDetailsSiteTabsViewInfo, TObject)
QZ_CLASS_IMPL(TcxGridDetailsSiteLeftTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
QZ_CLASS_IMPL(TcxGridDetailsSiteTopTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)
QZ_CLASS_IMPL(TcxCustomGridDetailsSiteViewInfo, TcxComponent)
QZ_CLASS_IMPL(TcxGridDetailsSitePainter, TObject)
QZ_CLASS_IMPL(TcxGridDetailsSiteTabsPainter, TObject)
QZ_CLASS_IMPL(TcxGridDetailsSiteTabPainter, TcxCustomGridCellPainter)

// ---- one tab ------------------------------------------------------------------------------------------

TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo(
    TcxCustomGridDetailsSiteTabsViewInfo* ATabsViewInfo, TcxGridLevel* ALevel)
    : FTabsViewInfo(ATabsViewInfo), FLevel(ALevel), FIndex(ALevel->VisibleIndex())
{
}

TcxCustomGridDetailsSiteViewInfo* TcxCustomGridDetailsSiteTabViewInfo::SiteViewInfo() const
{
    return FTabsViewInfo->SiteViewInfo();
}

bool TcxCustomGridDetailsSiteTabViewInfo::IsActive() { return SiteViewInfo()->GetActiveLevel() == FLevel; }
bool TcxCustomGridDetailsSiteTabViewInfo::IsVertical() { return FTabsViewInfo->IsVertical(); }

int TcxCustomGridDetailsSiteTabViewInfo::BorderWidthB()
{
    return FTabsViewInfo->LookAndFeelPainter()->TabFrameWidth(IsVertical());
}

TcxGridCellState TcxCustomGridDetailsSiteTabViewInfo::GetActualState()
{
    return IsActive() ? gcsPressed : State();
}

bool TcxCustomGridDetailsSiteTabViewInfo::PreviousIsActive()
{
    return FIndex > 0 && FIndex - 1 < FTabsViewInfo->Count() && FTabsViewInfo->Items(FIndex - 1)->IsActive();
}

bool TcxCustomGridDetailsSiteTabViewInfo::NextIsActive()
{
    return FIndex + 1 < FTabsViewInfo->Count() && FTabsViewInfo->Items(FIndex + 1)->IsActive();
}

int TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    TcxCanvas* c = GetCanvas();
    if (Params.Font) c->SetFont(Params.Font);
    return c->TextHeight(Text.empty() ? std::string("Qq") : Text) + 4;
}

int TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth()
{
    CheckValuesCalculated();
    TcxCanvas* c = GetCanvas();
    if (Params.Font) c->SetFont(Params.Font);
    return c->TextWidth(Text) + 4 + 10;
}

TcxCanvas* TcxCustomGridDetailsSiteTabViewInfo::GetCanvas() { return SiteViewInfo()->GetCanvas(); }

TcxCustomGridCellPainterClass TcxCustomGridDetailsSiteTabViewInfo::GetPainterClass()
{
    return TcxCustomGridCellPainterClass::Of<TcxGridDetailsSiteTabPainter>();
}

std::string TcxCustomGridDetailsSiteTabViewInfo::GetText() { return FLevel->Caption(); }

void TcxCustomGridDetailsSiteTabViewInfo::GetTextAreaBounds(TRect& R)
{
    TcxCustomGridCellViewInfo::GetTextAreaBounds(R);
    R.Left += 5;
    R.Right -= 5;
}

void TcxCustomGridDetailsSiteTabViewInfo::GetViewParams(TcxViewParams& AParams)
{
    SiteViewInfo()->Level()->Styles()->GetTabParams(FLevel, AParams);
}

void TcxCustomGridDetailsSiteTabViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridCellViewInfo::InitHitTest(AHitTest);
    if (auto* h = DynamicCast<TcxGridDetailsSiteTabHitTest>(AHitTest)) {
        h->Level = FLevel;
        SiteViewInfo()->InitTabHitTest(h);
    }
}

bool TcxCustomGridDetailsSiteTabViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                    TShiftState AShift)
{
    TcxCustomGridCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    SiteViewInfo()->SetActiveLevel(FLevel);
    return true;
}

int TcxGridDetailsSiteLeftTabViewInfo::CalculateHeight()
{
    int B = BorderWidthB();
    int h = TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight();
    if (IsActive()) h += 2 * B;
    TcxBorders borders = GetBorders();
    if (borders.Contains(bTop)) h += B;
    if (borders.Contains(bBottom)) h += B;
    return h;
}

int TcxGridDetailsSiteLeftTabViewInfo::CalculateWidth()
{
    return TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth() + 2 * BorderWidthB();
}

TcxBorders TcxGridDetailsSiteLeftTabViewInfo::GetBorders()
{
    if (IsActive()) return {bLeft, bTop, bBottom};
    TcxBorders b{bLeft, bRight};
    if (!PreviousIsActive()) b.Include(bTop);
    if (!NextIsActive()) b.Include(bBottom);
    return b;
}

void TcxGridDetailsSiteLeftTabViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!IsActive()) {
        int offset = TabsViewInfo()->GetActiveTabOffset();
        ALeft += offset;
        if (AWidth != -1) AWidth -= offset;
    }
    TcxCustomGridDetailsSiteTabViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

int TcxGridDetailsSiteTopTabViewInfo::CalculateHeight()
{
    return TcxCustomGridDetailsSiteTabViewInfo::CalculateHeight() + 2 * BorderWidthB();
}

int TcxGridDetailsSiteTopTabViewInfo::CalculateWidth()
{
    int B = BorderWidthB();
    int w = TcxCustomGridDetailsSiteTabViewInfo::CalculateWidth();
    if (IsActive()) w += 2 * B;
    TcxBorders borders = GetBorders();
    if (borders.Contains(bLeft)) w += B;
    if (borders.Contains(bRight)) w += B;
    return w;
}

TcxBorders TcxGridDetailsSiteTopTabViewInfo::GetBorders()
{
    if (IsActive()) return {bLeft, bTop, bRight};
    TcxBorders b{bTop, bBottom};
    if (!PreviousIsActive()) b.Include(bLeft);
    if (!NextIsActive()) b.Include(bRight);
    return b;
}

void TcxGridDetailsSiteTopTabViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!IsActive()) {
        int offset = TabsViewInfo()->GetActiveTabOffset();
        ATop += offset;
        if (AHeight != -1) AHeight -= offset;
    }
    TcxCustomGridDetailsSiteTabViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

// ---- the strip -----------------------------------------------------------------------------------------

TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo(
    TcxCustomGridDetailsSiteViewInfo* ASiteViewInfo)
    : FSiteViewInfo(ASiteViewInfo)
{
}

TcxCustomGridDetailsSiteTabsViewInfo::~TcxCustomGridDetailsSiteTabsViewInfo() = default;

void TcxCustomGridDetailsSiteTabsViewInfo::AfterConstruction()
{
    TObject::AfterConstruction();
    TcxGridLevel* level = Level();
    TcxGridDetailsSiteTabViewInfoClass cls = GetTabViewInfoClass();
    for (int i = 0; i < level->VisibleCount(); ++i) FItems.emplace_back(cls.Create(this, level->VisibleItems(i)));
}

TcxGridLevel* TcxCustomGridDetailsSiteTabsViewInfo::Level() const { return FSiteViewInfo->Level(); }

TcxCustomLookAndFeelPainterClass TcxCustomGridDetailsSiteTabsViewInfo::LookAndFeelPainter() const
{
    return FSiteViewInfo->GetLookAndFeelPainter();
}

int TcxCustomGridDetailsSiteTabsViewInfo::CalculateHeight()
{
    int h = 4;
    for (auto& tab : FItems) h += GetTabLength(tab.get());
    return h;
}

int TcxCustomGridDetailsSiteTabsViewInfo::CalculateWidth()
{
    int w = 0;
    for (auto& tab : FItems) w = std::max(w, GetTabThickness(tab.get()));
    if (Count() >= 2) w += GetActiveTabOffset();
    return w + 5;
}

int TcxCustomGridDetailsSiteTabsViewInfo::Height()
{
    if (FHeight == 0) FHeight = CalculateHeight();
    return FHeight;
}

int TcxCustomGridDetailsSiteTabsViewInfo::Width()
{
    if (FWidth == 0) FWidth = CalculateWidth();
    return FWidth;
}

TColor TcxCustomGridDetailsSiteTabsViewInfo::GetBkColor()
{
    TcxViewParams p;
    Level()->Styles()->GetViewParams(TcxGridLevelStyles::lsTabsBackground, nullptr, nullptr, p);
    return p.Color;
}

void TcxCustomGridDetailsSiteTabsViewInfo::Calculate(const TRect& ABounds)
{
    Bounds = ABounds;
    if (FItems.empty()) return;
    bool vertical = IsVertical();
    TPoint pos{Bounds.Left + 2, Bounds.Top + 2};
    if (FItems.front()->IsActive()) {
        int B = FItems.front()->BorderWidthB();
        if (vertical)
            pos.Y -= B;
        else
            pos.X -= B;
    }
    int across = Thickness() - 5;
    for (auto& tab : FItems) {
        if (vertical) {
            tab->Calculate(pos.X, pos.Y, across, -1);
            pos.Y += tab->Bounds.Height();
        } else {
            tab->Calculate(pos.X, pos.Y, -1, across);
            pos.X += tab->Bounds.Width();
        }
    }
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteTabsViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& tab : FItems)
        if (TcxCustomGridHitTest* h = tab->GetHitTest(P)) return h;
    return nullptr;
}

void TcxCustomGridDetailsSiteTabsViewInfo::Paint(TcxCanvas* ACanvas)
{
    TcxGridDetailsSiteTabsPainter painter(ACanvas, this);
    painter.MainPaint();
}

void TcxGridDetailsSiteLeftTabsViewInfo::AdjustSiteHeight(int& AHeight)
{
    if (AHeight < Height()) AHeight = Height();
}

TcxGridDetailsSiteTabViewInfoClass TcxGridDetailsSiteLeftTabsViewInfo::GetTabViewInfoClass()
{
    return TcxGridDetailsSiteTabViewInfoClass::Of<TcxGridDetailsSiteLeftTabViewInfo>();
}

void TcxGridDetailsSiteLeftTabsViewInfo::GetRootBounds(TRect& R)
{
    R = Bounds;
    R.Left = R.Right - 4;
}

void TcxGridDetailsSiteLeftTabsViewInfo::Calculate(const TRect& ABounds)
{
    TcxCustomGridDetailsSiteTabsViewInfo::Calculate(ABounds);
    Bounds.Right = Bounds.Left + Width();
}

int TcxGridDetailsSiteTopTabsViewInfo::CalculateHeight() { return TcxCustomGridDetailsSiteTabsViewInfo::CalculateWidth(); }
int TcxGridDetailsSiteTopTabsViewInfo::CalculateWidth() { return TcxCustomGridDetailsSiteTabsViewInfo::CalculateHeight(); }

void TcxGridDetailsSiteTopTabsViewInfo::AdjustSiteWidth(int& AWidth)
{
    if (AWidth < Width()) AWidth = Width();
}

TcxGridDetailsSiteTabViewInfoClass TcxGridDetailsSiteTopTabsViewInfo::GetTabViewInfoClass()
{
    return TcxGridDetailsSiteTabViewInfoClass::Of<TcxGridDetailsSiteTopTabViewInfo>();
}

void TcxGridDetailsSiteTopTabsViewInfo::GetRootBounds(TRect& R)
{
    R = Bounds;
    R.Top = R.Bottom - 4;
}

void TcxGridDetailsSiteTopTabsViewInfo::Calculate(const TRect& ABounds)
{
    TcxCustomGridDetailsSiteTabsViewInfo::Calculate(ABounds);
    Bounds.Bottom = Bounds.Top + Height();
}

// ---- the site ---------------------------------------------------------------------------------------------

TcxCustomGridDetailsSiteViewInfo::TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* ALevel)
    : TcxComponent(nullptr), FLevel(ALevel)
{
}

void TcxCustomGridDetailsSiteViewInfo::AfterConstruction()
{
    TcxComponent::AfterConstruction();
    if (TcxGridDetailsSiteTabsViewInfoClass cls = GetTabsViewInfoClass()) FTabsViewInfo.reset(cls.Create(this));
}

void TcxCustomGridDetailsSiteViewInfo::BeforeDestruction()
{
    VisibilityChanged(false);
    FTabsViewInfo.reset();
    if (FActiveGridView) FActiveGridView->RemoveFreeNotification(this);
    FActiveGridView = nullptr;
    TcxComponent::BeforeDestruction();
}

TcxCustomGridDetailsSiteViewInfo::~TcxCustomGridDetailsSiteViewInfo()
{
    if (FActiveGridView) FActiveGridView->RemoveFreeNotification(this);
}

void TcxCustomGridDetailsSiteViewInfo::Notification(TComponent* AComponent, TOperation AOperation)
{
    TcxComponent::Notification(AComponent, AOperation);
    if (AOperation == opRemove && AComponent == FActiveGridView) FActiveGridView = nullptr;
}

TcxGridDetailsSiteTabsViewInfoClass TcxCustomGridDetailsSiteViewInfo::GetTabsViewInfoClass()
{
    switch (FLevel->Options()->DetailTabsPosition()) {
    case dtpLeft:
        return TcxGridDetailsSiteTabsViewInfoClass::Of<TcxGridDetailsSiteLeftTabsViewInfo>();
    case dtpTop:
        return TcxGridDetailsSiteTabsViewInfoClass::Of<TcxGridDetailsSiteTopTabsViewInfo>();
    default:
        return {};
    }
}

TColor TcxCustomGridDetailsSiteViewInfo::GetBkColor()
{
    TcxCustomGrid* grid = FLevel->Control();
    return grid ? grid->Color() : clBtnFace;
}

void TcxCustomGridDetailsSiteViewInfo::GetClientBounds(TRect& R)
{
    R = Bounds;
    if (FTabsViewInfo) FTabsViewInfo->AdjustClientBounds(R);
    int fw = GetFrameWidth();
    InflateRect(R, -fw, -fw);
}

TColor TcxCustomGridDetailsSiteViewInfo::GetFrameColor() { return FLevel->Options()->GetDetailFrameColor(); }
int TcxCustomGridDetailsSiteViewInfo::GetFrameWidth() { return FLevel->Options()->DetailFrameWidth(); }
int TcxCustomGridDetailsSiteViewInfo::GetMaxNormalHeight() { return INT_MAX; }

bool TcxCustomGridDetailsSiteViewInfo::GetActiveGridViewExists()
{
    return FActiveGridView && !FActiveGridView->IsDestroying();
}

TcxCustomGridView* TcxCustomGridDetailsSiteViewInfo::GetActiveGridView()
{
    if (!FActiveGridView) {
        FActiveGridView = GetActiveGridViewValue();
        if (FActiveGridView) FActiveGridView->FreeNotification(this);
    }
    return FActiveGridView && !FActiveGridView->IsDestroying() ? FActiveGridView : nullptr;
}

int TcxCustomGridDetailsSiteViewInfo::CalculateHeight()
{
    TRect client;
    GetClientBounds(client);
    int extraH = Bounds.Height() - client.Height();
    int extraW = Bounds.Width() - client.Width();
    TPoint maxClient{GetMaxWidth() - extraW, GetMaxHeight() - extraH};
    int h = 0;
    bool fully = true;
    if (TcxCustomGridView* view = GetActiveGridView())
        view->ViewInfo()->MeasureHeight(maxClient, h, fully);
    else
        h = GetEmptyClientHeight();
    h += extraH;
    if (FTabsViewInfo) FTabsViewInfo->AdjustSiteHeight(h);
    NormalHeight = std::min(h, GetMaxNormalHeight());
    int result;
    if (fully) {
        result = std::min(h, GetMaxHeight());
        if (result < 0) result = 0;
    } else {
        result = GetMaxHeight();
    }
    FFullyVisible = fully;
    NormalHeight = std::max(NormalHeight, result);
    return result;
}

int TcxCustomGridDetailsSiteViewInfo::CalculateWidth()
{
    TRect client;
    GetClientBounds(client);
    int extraH = Bounds.Height() - client.Height();
    int extraW = Bounds.Width() - client.Width();
    TPoint maxClient{GetMaxWidth() - extraW, GetMaxHeight() - extraH};
    int w = 0;
    if (TcxCustomGridView* view = GetActiveGridView())
        view->ViewInfo()->MeasureWidth(maxClient, w);
    else
        w = GetEmptyClientWidth();
    w += extraW;
    if (FTabsViewInfo) FTabsViewInfo->AdjustSiteWidth(w);
    w = std::max(w, GetMinWidth());
    return std::min(w, GetMaxWidth());
}

void TcxCustomGridDetailsSiteViewInfo::Calculate(int ALeft, int ATop)
{
    Bounds = {ALeft, ATop, ALeft, ATop};
    int w = GetWidth();
    int h = GetHeight();
    Bounds = {ALeft, ATop, ALeft + w, ATop + h};
    if (FTabsViewInfo) FTabsViewInfo->Calculate(Bounds);
    if (TcxCustomGridView* view = GetActiveGridView()) view->ViewInfo()->Calculate(GetClientBounds());
}

TcxCustomGridHitTest* TcxCustomGridDetailsSiteViewInfo::GetHitTest(const TPoint& P)
{
    if (FTabsViewInfo)
        if (TcxCustomGridHitTest* h = FTabsViewInfo->GetHitTest(P)) return h;
    if (TcxCustomGridView* view = GetActiveGridView()) {
        TcxGridSite* site = view->Site();
        return view->ViewInfo()->GetHitTest(TPoint{P.X - site->Left(), P.Y - site->Top()});
    }
    return nullptr;
}

void TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(bool AVisible)
{
    if (GetActiveGridViewExists()) FActiveGridView->ViewInfo()->UpdateSiteVisibility(AVisible);
}

void TcxCustomGridDetailsSiteViewInfo::Paint(TcxCanvas* ACanvas)
{
    TcxGridDetailsSitePainter painter(ACanvas, this);
    painter.Paint();
}

// ---- painters -------------------------------------------------------------------------------------------

void TcxGridDetailsSitePainter::DrawBackground()
{
    FCanvas->FillRect(FViewInfo->GetClientBounds(), FViewInfo->GetBkColor());
}

void TcxGridDetailsSitePainter::DrawFrame()
{
    TRect R = FViewInfo->GetClientBounds();
    int fw = FViewInfo->GetFrameWidth();
    InflateRect(R, fw, fw);
    FCanvas->FrameRect(R, FViewInfo->GetFrameColor(), fw);
}

void TcxGridDetailsSitePainter::DrawTabs()
{
    if (auto* tabs = FViewInfo->TabsViewInfo()) tabs->Paint(FCanvas);
}

void TcxGridDetailsSitePainter::Paint()
{
    if (FViewInfo->GetFrameWidth() != 0) DrawFrame();
    DrawTabs();
    DrawBackground();
    FCanvas->ExcludeClipRect(FViewInfo->Bounds);
}

void TcxGridDetailsSiteTabsPainter::DrawBackground() { FCanvas->FillRect(FViewInfo->Bounds, FViewInfo->GetBkColor()); }

void TcxGridDetailsSiteTabsPainter::DrawItems()
{
    for (int i = 0; i < FViewInfo->Count(); ++i) FViewInfo->Items(i)->Paint(FCanvas);
}

void TcxGridDetailsSiteTabsPainter::DrawRoot()
{
    TRect R;
    FViewInfo->GetRootBounds(R);
    FViewInfo->LookAndFeelPainter()->DrawTabsArea(FCanvas, R, FViewInfo->GetRootBorders(), FViewInfo->IsVertical());
}

void TcxGridDetailsSiteTabsPainter::Paint()
{
    DrawBackground();
    DrawRoot();
    DrawItems();
}

void TcxGridDetailsSiteTabsPainter::MainPaint()
{
    FCanvas->SaveClipRegion();
    try {
        FCanvas->IntersectClipRect(FViewInfo->Bounds);
        Paint();
    } catch (...) {
        FCanvas->RestoreClipRegion();
        throw;
    }
    FCanvas->RestoreClipRegion();
}

void TcxGridDetailsSiteTabPainter::DrawBorder(TcxBorder ABorder)
{
    auto* tab = static_cast<TcxCustomGridDetailsSiteTabViewInfo*>(ViewInfo());
    TRect R;
    tab->GetBorderBounds(ABorder, R);
    tab->TabsViewInfo()->LookAndFeelPainter()->DrawTabFrame(Canvas(), R, ABorder, tab->Borders, tab->IsVertical());
}

void TcxGridDetailsSiteTabPainter::DrawContent()
{
    // No painter here draws whole tabs (that needs the platform's themes):
    // the cell draws its background and text, the painter the tab's sides.
    TcxCustomGridCellPainter::DrawContent();
}
