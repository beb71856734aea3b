#include "cxGridCustomView.h"

#include "Forms.h"
#include "cxGrid.h"
#include "cxGridGuardPrivate.h"
#include "cxGridLevel.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxCustomGridHitTest, TObject)
QZ_CLASS_IMPL(TcxCustomGridViewHitTest, TcxCustomGridHitTest)
QZ_CLASS_IMPL(TcxGridNoneHitTest, TcxCustomGridHitTest)
QZ_CLASS_IMPL(TcxGridViewNoneHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TGridHitTests, TObject)
QZ_CLASS_IMPL(TcxGridViewHandler, TcxInterfacedPersistent)
QZ_CLASS_IMPL(TcxCustomGridViewData, TcxGridViewHandler)
QZ_CLASS_IMPL(TcxCustomGridDragAndDropObject, TcxDragAndDropObject)
QZ_CLASS_IMPL(TcxCustomGridController, TcxGridViewHandler)
QZ_CLASS_IMPL(TcxCustomGridPainter, TcxGridViewHandler)
QZ_CLASS_IMPL(TcxCustomGridCellViewInfo, TObject)
QZ_CLASS_IMPL(TcxCustomGridViewCellViewInfo, TcxCustomGridCellViewInfo)
QZ_CLASS_IMPL(TcxCustomGridCellPainter, TObject)
QZ_CLASS_IMPL(TcxCustomGridViewInfo, TcxGridViewHandler)
QZ_CLASS_IMPL(TcxCustomGridViewInfoCacheItem, TObject)
QZ_CLASS_IMPL(TcxCustomGridViewInfoCache, TcxGridViewHandler)
QZ_CLASS_IMPL(TcxCustomGridOptions, TPersistent)
QZ_CLASS_IMPL(TcxCustomGridBackgroundBitmaps, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridOptionsSelection, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridOptionsView, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridStyles, TcxStyles)
QZ_CLASS_IMPL(TcxCustomGridViewStyles, TcxCustomGridStyles)
QZ_CLASS_IMPL(TcxGridSite, TcxControl)
QZ_CLASS_IMPL(TcxCustomGridView, TcxControlChildComponent)

namespace {
std::unique_ptr<TGridHitTests> GHitTests;
std::unique_ptr<TcxRegisteredClasses> GRegisteredViews;
}  // namespace

namespace cxGridCustomView {
TGridHitTests* GridHitTests()
{
    if (!GHitTests) GHitTests = std::make_unique<TGridHitTests>();
    return GHitTests.get();
}
TcxRegisteredClasses* cxGridRegisteredViews()
{
    if (!GRegisteredViews) GRegisteredViews = std::make_unique<TcxRegisteredClasses>(true);
    return GRegisteredViews.get();
}
void Finalize()
{
    GHitTests.reset();
    GRegisteredViews.reset();
}
}  // namespace cxGridCustomView

// ---- hit tests -------------------------------------------------------------------------------------

TGridHitTests::~TGridHitTests()
{
    for (TcxCustomGridHitTest* h : FItems) FreeObject(h);
}

TcxCustomGridHitTest* TGridHitTests::Instance(TClass AClass)
{
    for (TcxCustomGridHitTest* h : FItems)
        if (h->ClassType() == AClass) return h;
    if (!AClass || !AClass->InheritsFrom(TcxCustomGridHitTest::StaticClass()))
        throw EInvalidCast("Invalid hit test class");
    auto* h = static_cast<TcxCustomGridHitTest*>(AClass->Create());
    FItems.push_back(h);
    return h;
}

TcxCustomGridHitTest* TcxCustomGridHitTest::Instance(TClass AClass, const TPoint& APos)
{
    TcxCustomGridHitTest* h = cxGridCustomView::GridHitTests()->Instance(AClass);
    h->Pos = APos;
    return h;
}

// ---- handlers ----------------------------------------------------------------------------------------

TcxGridViewHandler::TcxGridViewHandler(TcxCustomGridView* AGridView)
    : TcxInterfacedPersistent(AGridView), FGridView(AGridView)
{
}
TcxCustomGrid* TcxGridViewHandler::Control() const { return FGridView->Grid(); }
TcxCustomGridController* TcxGridViewHandler::Controller() const { return FGridView->Controller(); }
TcxCustomDataController* TcxGridViewHandler::DataController() const { return FGridView->DataController(); }
TcxCustomGridPainter* TcxGridViewHandler::Painter() const { return FGridView->Painter(); }
TcxCustomGridViewData* TcxGridViewHandler::ViewData() const { return FGridView->ViewData(); }
TcxCustomGridViewInfo* TcxGridViewHandler::ViewInfo() const { return FGridView->ViewInfo(); }
TcxGridSite* TcxGridViewHandler::Site() const { return FGridView->Site(); }
TcxCustomLookAndFeelPainterClass TcxGridViewHandler::LookAndFeelPainter() const
{
    return FGridView->LookAndFeelPainter();
}
void TcxGridViewHandler::BeginUpdate() { FGridView->BeginUpdate(); }
void TcxGridViewHandler::EndUpdate() { FGridView->EndUpdate(); }

void TcxCustomGridDragAndDropObject::SetDirty(bool AValue)
{
    if (FDirty == AValue) return;
    FDirty = AValue;
    DirtyChanged();
}

void TcxCustomGridDragAndDropObject::EndDragAndDrop(bool Accepted)
{
    TcxDragAndDropObject::EndDragAndDrop(Accepted);
    if (Accepted && Control()) Control()->DesignerModified();
}

// ---- controller --------------------------------------------------------------------------------------

TcxCustomGridController::~TcxCustomGridController() { HideHint(); }

void TcxCustomGridController::AfterPaint()
{
    TcxGridSite* site = Site();
    if (site && site->DragAndDropState() == ddsInProcess)
        if (auto* obj = DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject())) obj->SetDirty(false);
}

void TcxCustomGridController::BeforePaint()
{
    TcxGridSite* site = Site();
    if (site && site->DragAndDropState() == ddsInProcess)
        if (auto* obj = DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject())) obj->SetDirty(true);
}

bool TcxCustomGridController::CanHandleHitTest(TcxCustomGridHitTest* AHitTest)
{
    auto* vh = DynamicCast<TcxCustomGridViewHitTest>(AHitTest);
    return !(vh && vh->GridView != GridView());
}

bool TcxCustomGridController::GetDesignHitTest(TcxCustomGridHitTest* AHitTest)
{
    return AHitTest->DragAndDropObjectClass() != nullptr;
}

void TcxCustomGridController::ViewFocusLost()
{
    BeforeKillFocus();
    GridView()->UpdateSiteTabStop(false);
    if (!GridView()->IsVisible() && Site()) Site()->SetParent(nullptr);
}

void TcxCustomGridController::ViewFocusGained()
{
    TcxCustomGridView* view = GridView();
    view->UpdateSiteTabStop(true);
    ViewInfo()->UpdateSiteVisibility(true);
    TcxGridSite* site = Site();
    if (view->Grid() && view->Grid()->IsFocused() && site && site->CanFocus()) site->SetFocus();
    if (view->IsDetail())
        if (TcxCustomGridView* master = view->MasterGridView()) master->Controller()->DetailFocused(view);
}

void TcxCustomGridController::ControlFocusChanged() { ViewInfo()->ControlFocusChanged(); }

TCursor TcxCustomGridController::GetCursor(int X, int Y)
{
    TcxCustomGridHitTest* h = ViewInfo()->GetHitTest(X, Y);
    return CanHandleHitTest(h) ? h->Cursor() : crDefault;
}

bool TcxCustomGridController::StartDragAndDrop(const TPoint& P)
{
    TcxCustomGridHitTest* h = ViewInfo()->GetHitTest(P);
    TClass cls = CanHandleHitTest(h) ? h->DragAndDropObjectClass() : nullptr;
    if (!cls) return false;
    TcxGridSite* site = Site();
    site->DragAndDropObjectClass = cls;
    if (auto* obj = DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject())) obj->Init(P, h);
    return true;
}

void TcxCustomGridController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FIsDblClick = Shift.Contains(ssDouble);
    TcxCustomGridHitTest* h = ViewInfo()->GetHitTest(X, Y);
    if (h->ViewInfo) h->ViewInfo->MouseDown(h, Button, Shift);
}

void TcxCustomGridController::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomGridHitTest* h = ViewInfo()->GetHitTest(X, Y);
    if (auto* captured = DynamicCast<TcxCustomGridCellViewInfo>(Site()->MouseCaptureObject()))
        captured->MouseMove(h, Shift);
    else if (h->ViewInfo)
        h->ViewInfo->MouseMove(h, Shift);
}

void TcxCustomGridController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomGridHitTest* h = ViewInfo()->GetHitTest(X, Y);
    if (auto* captured = DynamicCast<TcxCustomGridCellViewInfo>(Site()->MouseCaptureObject()))
        captured->MouseUp(h, Button, Shift);
    else if (h->ViewInfo)
        h->ViewInfo->MouseUp(h, Button, Shift);
}

void TcxCustomGridController::ShowHint(const TRect& ATrackBounds, const TRect& ATextBounds, const std::string& AText,
                                       TFont* AFont, bool AMultiLine)
{
    if (!FHintWindow) {
        TClass cls = GetHintWindowClass();
        TObject* obj = cls ? cls->Create(nullptr) : nullptr;
        auto* hint = DynamicCast<THintWindow>(obj);
        if (!hint) {
            FreeObject(obj);
            hint = new THintWindow(nullptr);
        }
        FHintWindow.reset(hint);
        FHintWindow->SetColor(Application->HintColor);
    } else {
        if (FHintWindow->Active() && FHintText == AText && FHintTextBounds == ATextBounds) return;
        cxControls::EndMouseTracking(this);
    }
    FHintTextBounds = ATextBounds;
    FHintText = AText;
    if (AFont) FHintWindow->Canvas()->SetFont(AFont);
    TRect R = FHintWindow->CalcHintRect(AMultiLine ? ATextBounds.Width() : 107374182, AText);
    R.Right -= 6;
    R.Bottom -= 2;
    TPoint origin = Site()->ClientToScreen({ATextBounds.Left, ATextBounds.Top});
    OffsetRect(R, origin.X, origin.Y);
    TPoint clientOrigin = FHintWindow->ClientToScreen({0, 0});
    int bx = clientOrigin.X - FHintWindow->Left() + 2;
    int by = clientOrigin.Y - FHintWindow->Top() + 2;
    InflateRect(R, bx, by);
    TRect work = cxControls::GetDesktopWorkArea({R.Left, R.Top});
    if (R.Right > work.Right) OffsetRect(R, work.Right - R.Right, 0);
    if (R.Bottom > work.Bottom) OffsetRect(R, 0, work.Bottom - R.Bottom);
    if (R.Left < work.Left) OffsetRect(R, work.Left - R.Left, 0);
    if (R.Top < work.Top) OffsetRect(R, 0, work.Top - R.Top);
    R.Bottom -= 4;
    FHintWindow->ActivateHint(R, AText);
    cxControls::BeginMouseTracking(Site(), ATrackBounds, this);
}

void TcxCustomGridController::HideHint()
{
    cxControls::EndMouseTracking(this);
    FHintWindow.reset();
    FHintText.clear();
}

// ---- painter ------------------------------------------------------------------------------------------

TcxCustomGridPainter::~TcxCustomGridPainter() = default;

void TcxCustomGridPainter::Paint() { Paint(Site()->Canvas()); }

void TcxCustomGridPainter::Paint(TcxCanvas* ACanvas)
{
    FCanvas = ACanvas;
    BeforePaint();
    try {
        PaintContent();
    } catch (...) {
        AfterPaint();
        throw;
    }
    AfterPaint();
}

void TcxCustomGridPainter::BeforePaint()
{
    Controller()->BeforePaint();
    FSavedClipRegion = FCanvas->GetClipRegion();
    FBackgroundRegion = std::make_unique<TcxRegion>(ViewInfo()->ClientBounds);
}

void TcxCustomGridPainter::ExcludeFromBackground(const TRect& R)
{
    if (FBackgroundRegion) FBackgroundRegion->Combine(new TcxRegion(R), rcmDifference);
}

void TcxCustomGridPainter::DrawBackground()
{
    if (!FBackgroundRegion) return;
    TcxCustomGridViewInfo* vi = ViewInfo();
    if (TBitmap* bmp = vi->GetBackgroundBitmap()) {
        FCanvas->SaveClipRegion();
        FCanvas->SetClipRegion(FBackgroundRegion.release(), rcmIntersect);
        FCanvas->FillRect(vi->ClientBounds, bmp);
        FCanvas->RestoreClipRegion();
    } else {
        FCanvas->SaveClipRegion();
        FCanvas->SetClipRegion(FBackgroundRegion.release(), rcmIntersect);
        FCanvas->FillRect(vi->ClientBounds, vi->GetBackgroundColor());
        FCanvas->RestoreClipRegion();
    }
    FBackgroundRegion.reset();
    FCanvas->ExcludeClipRect(vi->ClientBounds);
}

void TcxCustomGridPainter::AfterPaint()
{
    DrawBackground();
    if (FSavedClipRegion) FCanvas->SetClipRegion(FSavedClipRegion.release(), rcmCopy);
    Controller()->AfterPaint();
}

void TcxCustomGridPainter::DrawFocusRect(const TRect& R, bool AHideFocusRect)
{
    if (GridView()->IsControlFocused()) {
        FCanvas->DrawFocusRect(R);
    } else if (!AHideFocusRect) {
        FCanvas->InvertRect({R.Left, R.Top, R.Right, R.Top + 1});
        FCanvas->InvertRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
        FCanvas->InvertRect({R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1});
        FCanvas->InvertRect({R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1});
    }
}

// ---- cells --------------------------------------------------------------------------------------------

TcxCustomGridCellViewInfo::~TcxCustomGridCellViewInfo()
{
    if (!FDestroying) cxControls::EndMouseTracking(this);
}

void TcxCustomGridCellViewInfo::BeforeDestruction()
{
    if (HasMouseCapture()) SetMouseCapture(false);
    SetState(gcsNormal);
    cxControls::EndMouseTracking(this);
    FDestroying = true;
    TObject::BeforeDestruction();
}

void TcxCustomGridCellViewInfo::MouseLeave()
{
    if (FState == gcsHot && !HasMouseCapture()) SetState(gcsNormal);
}

void TcxCustomGridCellViewInfo::AfterCustomDraw(TcxCanvas* ACanvas)
{
    Params.Color = ACanvas->Brush()->Color();
    Params.Font = ACanvas->Font();
    Params.TextColor = ACanvas->Font()->Color();
}

void TcxCustomGridCellViewInfo::BeforeCustomDraw(TcxCanvas* ACanvas)
{
    ACanvas->SetBrushColor(Params.Color);
    if (Params.Font) ACanvas->SetFont(Params.Font);
    ACanvas->Font()->SetColor(Params.TextColor);
}

void TcxCustomGridCellViewInfo::CalculateContentBounds(TRect& R)
{
    R = Bounds;
    if (Borders.Contains(bLeft)) R.Left += GetBorderWidth(bLeft);
    if (Borders.Contains(bTop)) R.Top += GetBorderWidth(bTop);
    if (Borders.Contains(bRight)) R.Right -= GetBorderWidth(bRight);
    if (Borders.Contains(bBottom)) R.Bottom -= GetBorderWidth(bBottom);
}

int TcxCustomGridCellViewInfo::CalculateHeight() { throw EcxGridAbstractError("Abstract Error"); }
int TcxCustomGridCellViewInfo::CalculateWidth() { throw EcxGridAbstractError("Abstract Error"); }
TColor TcxCustomGridCellViewInfo::GetBorderColor(TcxBorder) { throw EcxGridAbstractError("Abstract Error"); }
int TcxCustomGridCellViewInfo::GetBorderWidth(TcxBorder) { throw EcxGridAbstractError("Abstract Error"); }
TcxCanvas* TcxCustomGridCellViewInfo::GetCanvas() { throw EcxGridAbstractError("Abstract Error"); }
TClass TcxCustomGridCellViewInfo::GetHitTestClass() { return nullptr; }

void TcxCustomGridCellViewInfo::CalculateValues()
{
    AlignmentHorz = GetAlignmentHorz();
    AlignmentVert = GetAlignmentVert();
    GetViewParams(Params);
    Borders = GetBorders();
    Text = GetText();
    MultiLine = GetMultiLine();
    MultiLinePainting = GetMultiLinePainting();
    SetWidth(CalculateWidth());
}

void TcxCustomGridCellViewInfo::CheckValuesCalculated()
{
    if (FCalculatingValues || FValuesCalculated) return;
    FCalculatingValues = true;
    try {
        CalculateValues();
    } catch (...) {
        FCalculatingValues = false;
        throw;
    }
    FCalculatingValues = false;
    FValuesCalculated = true;
}

bool TcxCustomGridCellViewInfo::DoCustomDraw(TcxCanvas* ACanvas)
{
    if (!HasCustomDraw()) return false;
    BeforeCustomDraw(ACanvas);
    bool done = CustomDraw(ACanvas);
    if (!done) AfterCustomDraw(ACanvas);
    return done;
}

bool TcxCustomGridCellViewInfo::DoCustomDrawBackground(TcxCanvas* ACanvas)
{
    if (!HasCustomDrawBackground()) return false;
    BeforeCustomDraw(ACanvas);
    bool done = CustomDrawBackground(ACanvas);
    if (!done) AfterCustomDraw(ACanvas);
    return done;
}

TRect TcxCustomGridCellViewInfo::ContentBounds()
{
    if (!FContentBoundsKnown) {
        CalculateContentBounds(FContentBounds);
        FContentBoundsKnown = true;
    }
    return FContentBounds;
}

void TcxCustomGridCellViewInfo::GetBorderBounds(TcxBorder ABorder, TRect& R)
{
    const TRect c = ContentBounds();
    switch (ABorder) {
    case bLeft:
        R = {c.Left - GetBorderWidth(bLeft), c.Top, c.Left, c.Bottom};
        break;
    case bTop:
        R = {c.Left, c.Top - GetBorderWidth(bTop), c.Right, c.Top};
        break;
    case bRight:
        R = {c.Right, c.Top, c.Right + GetBorderWidth(bRight), c.Bottom};
        break;
    case bBottom:
        R = {c.Left, c.Bottom, c.Right, c.Bottom + GetBorderWidth(bBottom)};
        break;
    }
    if (ABorder == bLeft || ABorder == bRight) {
        // The vertical borders cover the corners.
        if (Borders.Contains(bTop)) R.Top -= GetBorderWidth(bTop);
        if (Borders.Contains(bBottom)) R.Bottom += GetBorderWidth(bBottom);
    }
}

bool TcxCustomGridCellViewInfo::HasMouseCapture()
{
    TcxControl* c = GetControl();
    return c && c->MouseCaptureObject() == this;
}

TcxCustomGridCellPainterClass TcxCustomGridCellViewInfo::GetPainterClass()
{
    return TcxCustomGridCellPainterClass::Of<TcxCustomGridCellPainter>();
}

void TcxCustomGridCellViewInfo::GetTextAreaBounds(TRect& R)
{
    R = ContentBounds();
    InflateRect(R, -2, -2);
}

bool TcxCustomGridCellViewInfo::IsOwnHitTest(TcxCustomGridHitTest* AHitTest)
{
    TClass cls = GetHitTestClass();
    return cls && AHitTest && AHitTest->InheritsFrom(cls);
}

void TcxCustomGridCellViewInfo::DoOffset(int DX, int DY)
{
    OffsetRect(Bounds, DX, DY);
    if (FContentBoundsKnown) OffsetRect(FContentBounds, DX, DY);
}

void TcxCustomGridCellViewInfo::SetMouseCapture(bool AValue)
{
    TcxControl* c = GetControl();
    if (c && AValue != HasMouseCapture()) c->SetMouseCaptureObject(AValue ? this : nullptr);
}

void TcxCustomGridCellViewInfo::StateChanged()
{
    if (InvalidateOnStateChange()) Invalidate();
    if (FState == gcsNormal)
        cxControls::EndMouseTracking(this);
    else if (FState == gcsHot)
        if (TcxControl* c = GetControl()) cxControls::BeginMouseTracking(c, Bounds, this);
}

void TcxCustomGridCellViewInfo::SetState(TcxGridCellState AValue)
{
    if (FState == AValue) return;
    StateChanging();
    FState = AValue;
    StateChanged();
}

void TcxCustomGridCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    CheckValuesCalculated();
    if (AWidth == -1) AWidth = CalculateWidth();
    if (AHeight == -1) AHeight = CalculateHeight();
    Bounds = {ALeft, ATop, ALeft + AWidth, ATop + AHeight};
    FContentBoundsKnown = false;
    AdjustBounds(Bounds);
    Calculated = true;
}

void TcxCustomGridCellViewInfo::Offset(int DX, int DY)
{
    DoOffset(DX, DY);
    SetState(gcsNormal);
    MouseLeave();
}

void TcxCustomGridCellViewInfo::Recalculate()
{
    BeforeRecalculation();
    Calculate(Bounds);
}

TcxCustomGridHitTest* TcxCustomGridCellViewInfo::GetHitTest(const TPoint& P)
{
    TClass cls = GetHitTestClass();
    if (!cls || !PtInRect(Bounds, P)) return nullptr;
    TcxCustomGridHitTest* h = TcxCustomGridHitTest::Instance(cls, P);
    InitHitTest(h);
    return h;
}

void TcxCustomGridCellViewInfo::Invalidate()
{
    if (TcxControl* c = GetControl()) c->InvalidateRect(Bounds, false);
}

bool TcxCustomGridCellViewInfo::MouseDown(TcxCustomGridHitTest*, TMouseButton AButton, TShiftState)
{
    if (!GetHotTrack() || AButton != mbLeft) return false;
    if (GetIsCheck()) {
        if (FState == gcsHot)
            SetState(gcsPressed);
        else if (FState == gcsPressed)
            SetState(gcsHot);
    } else if (FState == gcsNormal || FState == gcsHot) {
        SetState(gcsPressed);
    }
    return true;
}

bool TcxCustomGridCellViewInfo::MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState)
{
    if (!GetHotTrack()) return false;
    if (GetIsCheck()) {
        if (FState == gcsPressed) return false;
        SetState(gcsHot);
        return true;
    }
    if (IsOwnHitTest(AHitTest) && AHitTest->ViewInfo == this)
        SetState(HasMouseCapture() ? gcsPressed : gcsHot);
    else
        SetState(HasMouseCapture() ? gcsHot : gcsNormal);
    return true;
}

bool TcxCustomGridCellViewInfo::MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton, TShiftState)
{
    if (!GetHotTrack() || GetIsCheck()) return false;
    // Released elsewhere, a press is no click.
    bool click = FState == gcsPressed && IsOwnHitTest(AHitTest) && AHitTest->ViewInfo == this;
    SetState(gcsNormal);
    if (click) Click();
    return click;
}

void TcxCustomGridCellViewInfo::Paint(TcxCanvas* ACanvas)
{
    if (!GetVisible()) return;
    TcxCustomGridCellPainterClass cls = GetPainterClass();
    if (!cls) return;
    std::unique_ptr<TcxCustomGridCellPainter> painter(cls.Create(ACanvas ? ACanvas : GetCanvas(), this));
    painter->MainPaint();
}

int TcxCustomGridCellViewInfo::GetTextHeight()
{
    TRect R;
    GetTextAreaBounds(R);
    R.Bottom = R.Top;
    TcxCanvas* c = GetCanvas();
    if (Params.Font) c->SetFont(Params.Font);
    c->CalculateTextRect(Text, R, GetDrawTextFlags(false));
    return R.Height();
}

int TcxCustomGridCellViewInfo::GetTextWidth()
{
    TcxCanvas* c = GetCanvas();
    if (Params.Font) c->SetFont(Params.Font);
    return c->TextWidth(Text);
}

int TcxCustomGridCellViewInfo::GetDrawTextFlags(bool AForPainting)
{
    static const int Horz[] = {ctfLeft, ctfRight, ctfCenterH};
    static const int Vert[] = {ctfTop, ctfBottom, ctfCenterV};
    int flags = Horz[AlignmentHorz] | Vert[AlignmentVert];
    flags |= ((AForPainting && MultiLinePainting) || (!AForPainting && MultiLine)) ? ctfWordBreak : ctfSingleLine;
    if (GetShowEndEllipsis()) flags |= ctfEndEllipsis;
    return flags;
}

// ---- view cells ----------------------------------------------------------------------------------------

TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* AGridViewInfo)
    : FGridViewInfo(AGridViewInfo)
{
    if (FGridViewInfo) FGridViewInfo->AddCell(this);
}

TcxCustomGridViewCellViewInfo::~TcxCustomGridViewCellViewInfo()
{
    if (FGridViewInfo) FGridViewInfo->RemoveCell(this);
}

TcxCustomGridView* TcxCustomGridViewCellViewInfo::GridView() const { return FGridViewInfo->GridView(); }
TcxCanvas* TcxCustomGridViewCellViewInfo::GetCanvas() { return FGridViewInfo->Canvas(); }
TcxControl* TcxCustomGridViewCellViewInfo::GetControl() { return FGridViewInfo->Site(); }

bool TcxCustomGridViewCellViewInfo::IsOwnHitTest(TcxCustomGridHitTest* AHitTest)
{
    if (!TcxCustomGridCellViewInfo::IsOwnHitTest(AHitTest)) return false;
    auto* vh = DynamicCast<TcxCustomGridViewHitTest>(AHitTest);
    return !vh || vh->GridView == GridView();
}

void TcxCustomGridViewCellViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridCellViewInfo::InitHitTest(AHitTest);
    FGridViewInfo->InitHitTest(AHitTest);
}

void TcxCustomGridViewCellViewInfo::Invalidate()
{
    if (IsDestroying()) return;
    CheckValuesCalculated();
    GridView()->ViewChanged(Bounds);
}

void TcxCustomGridViewCellViewInfo::AdjustBounds(TRect& ABounds)
{
    // A hot-tracking cell under the recorded mouse position is hot at once.
    if (IsHotTrackOnCalculate() && GetHotTrack() && PtInRect(ABounds, FGridViewInfo->MousePos())) {
        TRect saved = Bounds;
        Bounds = ABounds;
        TcxCustomGridHitTest* h = GetHitTest(FGridViewInfo->MousePos());
        if (h) MouseMove(h, {});
        Bounds = saved;
    }
}

bool TcxCustomGridViewCellViewInfo::MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift)
{
    bool result = TcxCustomGridCellViewInfo::MouseMove(AHitTest, AShift);
    if (CanShowHint()) CheckHint(AHitTest);
    return result;
}

void TcxCustomGridViewCellViewInfo::CheckHint(TcxCustomGridHitTest* AHitTest)
{
    std::string text;
    TRect textBounds;
    bool multiLine = false;
    TcxCustomGridController* controller = GridView()->Controller();
    if (AHitTest && GetHintInfo(AHitTest->Pos, text, textBounds, multiLine)) {
        TRect track;
        GetHintTrackBounds(track);
        controller->ShowHint(track, textBounds, text, Params.Font, multiLine);
    } else {
        controller->HideHint();
    }
}

// ---- cell painter ---------------------------------------------------------------------------------------

void TcxCustomGridCellPainter::DrawBackground()
{
    TcxCustomGridCellViewInfo* vi = FViewInfo;
    if (vi->HasBackgroundBitmap())
        DrawBackgroundBitmap(FCanvas, vi->ContentBounds());
    else
        FCanvas->FillRect(vi->ContentBounds(), vi->Params.Color);
}

bool TcxCustomGridCellPainter::DrawBackgroundBitmap(TcxCanvas* ACanvas, const TRect& R)
{
    TBitmap* bmp = FViewInfo->GetBackgroundBitmap();
    if (!bmp) return false;
    ACanvas->FillRect(R, bmp);
    return true;
}

void TcxCustomGridCellPainter::DrawBorder(TcxBorder ABorder)
{
    TRect R;
    FViewInfo->GetBorderBounds(ABorder, R);
    FCanvas->FillRect(R, FViewInfo->GetBorderColor(ABorder));
}

void TcxCustomGridCellPainter::DrawBorders()
{
    for (TcxBorder b : {bLeft, bTop, bRight, bBottom})
        if (FViewInfo->Borders.Contains(b)) DrawBorder(b);
}

void TcxCustomGridCellPainter::DrawContent()
{
    if (!FViewInfo->DoCustomDrawBackground(FCanvas)) DrawBackground();
    DrawText();
}

void TcxCustomGridCellPainter::DrawText()
{
    TcxCustomGridCellViewInfo* vi = FViewInfo;
    if (vi->Text.empty()) return;
    if (vi->Params.Font) FCanvas->SetFont(vi->Params.Font);
    FCanvas->Font()->SetColor(vi->Params.TextColor);
    FCanvas->Brush()->SetStyle(bsClear);
    TRect R;
    vi->GetTextAreaBounds(R);
    FCanvas->DrawText(vi->Text, R, vi->GetDrawTextFlags(true), true);
    FCanvas->Brush()->SetStyle(bsSolid);
}

bool TcxCustomGridCellPainter::IsVisible() { return FCanvas->RectVisible(FViewInfo->Bounds); }

void TcxCustomGridCellPainter::Paint()
{
    TcxViewParams saved;
    FViewInfo->SaveParams(saved);
    try {
        if (!FViewInfo->DoCustomDraw(FCanvas)) DrawContent();
    } catch (...) {
        FViewInfo->RestoreParams(saved);
        throw;
    }
    FViewInfo->RestoreParams(saved);
    DrawBorders();
}

void TcxCustomGridCellPainter::MainPaint()
{
    if (!IsVisible()) return;
    BeforePaint();
    Paint();
    AfterPaint();
    if (ExcludeFromClipRect()) FCanvas->ExcludeClipRect(FViewInfo->Bounds);
}

// ---- view info ------------------------------------------------------------------------------------------

TcxCustomGridViewInfo::TcxCustomGridViewInfo(TcxCustomGridView* AGridView) : TcxGridViewHandler(AGridView) {}

void TcxCustomGridViewInfo::AfterConstruction()
{
    TcxGridViewHandler::AfterConstruction();
    FSite = GetSiteClass().Create(this);
    CreateViewInfos();
}

void TcxCustomGridViewInfo::BeforeDestruction()
{
    DestroyViewInfos(false);
    TcxGridViewHandler::BeforeDestruction();
}

TcxCustomGridViewInfo::~TcxCustomGridViewInfo()
{
    TcxGridSite* site = FSite;
    FSite = nullptr;
    FreeObject(site);
}

TcxGridClassRef<TcxGridSite, TcxCustomGridViewInfo*> TcxCustomGridViewInfo::GetSiteClass()
{
    return TcxGridClassRef<TcxGridSite, TcxCustomGridViewInfo*>::Of<TcxGridSite>();
}

void TcxCustomGridViewInfo::RecreateViewInfos()
{
    FIsExplicitBounds = false;
    DestroyViewInfos(true);
    CreateViewInfos();
}

void TcxCustomGridViewInfo::AfterCalculating()
{
    if (!IsDetached() && FSite) FSite->UpdateScrollBars();
}

TRect TcxCustomGridViewInfo::GetClientBounds() { return FSite->GetClientBounds(); }

void TcxCustomGridViewInfo::GetHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible)
{
    if (FSite && FSite->IsHScrollBarVisible()) AHeight += FSite->HScrollBar()->Height();
}

void TcxCustomGridViewInfo::GetWidth(const TPoint& AMaxSize, int& AWidth)
{
    if (FSite && FSite->IsVScrollBarVisible()) AWidth += FSite->VScrollBar()->Width();
    if (AWidth > AMaxSize.X) AWidth = AMaxSize.X;
}

void TcxCustomGridViewInfo::MeasureHeight(const TPoint& AMaxSize, int& AHeight, bool& AFullyVisible)
{
    FMeasuring = true;
    try {
        GetHeight(AMaxSize, AHeight, AFullyVisible);
    } catch (...) {
        FMeasuring = false;
        throw;
    }
    FMeasuring = false;
}

void TcxCustomGridViewInfo::MeasureWidth(const TPoint& AMaxSize, int& AWidth)
{
    FMeasuring = true;
    try {
        GetWidth(AMaxSize, AWidth);
    } catch (...) {
        FMeasuring = false;
        throw;
    }
    FMeasuring = false;
}

TBitmap* TcxCustomGridViewInfo::GetBackgroundBitmap() { return GridView()->BackgroundBitmaps()->GetBitmap(0); }

TColor TcxCustomGridViewInfo::GetBackgroundColor()
{
    TcxViewParams p;
    GridView()->Styles()->GetViewParams(TcxCustomGridViewStyles::vsBackground, nullptr, nullptr, p);
    return p.Color;
}

void TcxCustomGridViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    if (auto* vh = DynamicCast<TcxCustomGridViewHitTest>(AHitTest)) vh->GridView = GridView();
}

TcxCustomGridHitTest* TcxCustomGridViewInfo::GetHitTest(const TPoint& P)
{
    auto* h = TcxCustomGridHitTest::Instance<TcxGridViewNoneHitTest>(P);
    h->ViewInfo = nullptr;
    InitHitTest(h);
    return h;
}

void TcxCustomGridViewInfo::Calculate(const TRect& ABounds)
{
    if (FCalculating) return;
    BeforeCalculating();
    FCalculating = true;
    try {
        FSite->SetBoundsRect(ABounds);
        ClientBounds = GetClientBounds();
        DoCalculate();
    } catch (...) {
        FCalculating = false;
        AfterCalculating();
        UpdateSiteVisibility(true);
        throw;
    }
    FCalculating = false;
    AfterCalculating();
    UpdateSiteVisibility(true);
    GridView()->ViewInfoCalculated();
}

bool TcxCustomGridViewInfo::IsCalculating() const
{
    // The recorded state only holds while a master's pass still runs.
    return FCalculating || (CalculatingForMaster && IsMasterCalculating());
}

bool TcxCustomGridViewInfo::IsMasterCalculating() const
{
    for (TcxCustomGridView* master = GridView()->MasterGridView(); master; master = master->MasterGridView())
        if (master->ViewInfo() && master->ViewInfo()->FCalculating) return true;
    return false;
}

void TcxCustomGridViewInfo::Recalculate() { Calculate(FSite->BoundsRect()); }

void TcxCustomGridViewInfo::UpdateSiteVisibility(bool AShow)
{
    if (IsDetached() || FMeasuring) return;
    FChangingVisibility = true;
    try {
        DoUpdateSiteVisibility(AShow && GridView()->IsVisible());
    } catch (...) {
        FChangingVisibility = false;
        throw;
    }
    FChangingVisibility = false;
}

TWinControl* TcxCustomGridViewInfo::GetSiteParent()
{
    TcxCustomGridView* view = GridView();
    if (view->IsDetail())
        if (TcxCustomGridView* master = view->MasterGridView()) return master->Site();
    return view->Grid();
}

void TcxCustomGridViewInfo::DoUpdateSiteVisibility(bool AShow)
{
    RecordMousePos();
    TcxCustomGridView* view = GridView();
    if (AShow) {
        FSite->SetParent(GetSiteParent());
        return;
    }
    TcxCustomGrid* grid = view->Grid();
    bool keepFocus = false;
    if (grid && !view->IsDestroying()) {
        keepFocus = FSite->IsFocused();
        if (!keepFocus && grid->FocusedView() && grid->FocusedView() != view) {
            // The site holds the focused view's site (a detail inside it).
            for (TWinControl* p = grid->FocusedView()->Site(); p; p = p->Parent())
                if (p == FSite) {
                    keepFocus = true;
                    break;
                }
        }
    }
    if (keepFocus)
        FSite->SetLeft(30000);
    else
        FSite->SetParent(nullptr);
}

void TcxCustomGridViewInfo::RecordMousePos()
{
    if (!FSite || FSite->IsParked()) return;
    if (FSite->HandleAllocated() && !(GridView()->Grid() && GridView()->Grid()->IsDesigning()))
        FMousePos = FSite->ScreenToClient(cxControls::GetMouseCursorPos());
    else
        FMousePos = {INT_MAX, INT_MAX};
}

int TcxCustomGridViewInfo::GetFontHeight(TFont* AFont)
{
    TcxCanvas* c = Canvas();
    if (AFont) c->SetFont(AFont);
    return c->TextHeight("Qq");
}

TcxCanvas* TcxCustomGridViewInfo::Canvas() const { return FSite->Canvas(); }

void TcxCustomGridViewInfo::AddCell(TcxCustomGridViewCellViewInfo* ACell) { FCells.push_back(ACell); }

void TcxCustomGridViewInfo::RemoveCell(TcxCustomGridViewCellViewInfo* ACell)
{
    FCells.erase(std::remove(FCells.begin(), FCells.end(), ACell), FCells.end());
}

bool TcxCustomGridViewInfo::HasCell(TcxCustomGridViewCellViewInfo* ACell) const
{
    return std::find(FCells.begin(), FCells.end(), ACell) != FCells.end();
}

// ---- view info cache ---------------------------------------------------------------------------------

TcxCustomGridViewInfoCache::~TcxCustomGridViewInfoCache() = default;

TcxCustomGridViewInfoCacheItemClass TcxCustomGridViewInfoCache::GetItemClass()
{
    return TcxCustomGridViewInfoCacheItemClass::Of<TcxCustomGridViewInfoCacheItem>();
}

TcxCustomGridViewInfoCacheItem* TcxCustomGridViewInfoCache::Items(int AIndex)
{
    if (AIndex < 0 || AIndex >= Count()) return nullptr;
    auto& slot = FItems[size_t(AIndex)];
    if (!slot) slot.reset(GetItemClass().Create(this, AIndex));
    return slot.get();
}

bool TcxCustomGridViewInfoCache::ItemExists(int AIndex) const
{
    return AIndex >= 0 && AIndex < Count() && FItems[size_t(AIndex)] != nullptr;
}

void TcxCustomGridViewInfoCache::SetCount(int ACount)
{
    FItems.clear();
    FItems.resize(size_t(std::max(ACount, 0)));
}

void TcxCustomGridViewInfoCache::Clear() { FItems.clear(); }

void TcxCustomGridViewInfoCache::UnassignValues(bool APreserveMasterCache)
{
    if (FUnassigning) return;
    FUnassigning = true;
    try {
        for (auto& item : FItems)
            if (item) item->UnassignValues(APreserveMasterCache);
        if (!APreserveMasterCache) {
            // A detail's size decides its master row's height: forget those up the chain.
            TcxCustomGridView* view = GridView();
            while (view && view->IsDetail()) {
                TcxCustomGridView* master = view->MasterGridView();
                int row = view->MasterGridRecordIndex();
                if (!master) break;
                if (row != -1)
                    if (TcxCustomGridViewInfoCacheItem* item = master->ViewInfoCache()->Items(row))
                        item->UnassignValues(false);
                view = master;
            }
        }
    } catch (...) {
        FUnassigning = false;
        throw;
    }
    FUnassigning = false;
}

// ---- options and styles ------------------------------------------------------------------------------

TcxCustomGridOptions::TcxCustomGridOptions(TcxCustomGridView* AGridView) : FGridView(AGridView)
{
    if (FGridView) FGridView->AddOptions(this);
}

TcxCustomGridOptions::~TcxCustomGridOptions()
{
    if (FGridView) FGridView->RemoveOptions(this);
}

TPersistent* TcxCustomGridOptions::GetOwner() const { return FGridView; }

void TcxCustomGridOptions::Assign(TPersistent* Source)
{
    if (DynamicCast<TcxCustomGridOptions>(Source)) return;
    TPersistent::Assign(Source);
}

void TcxCustomGridOptions::Changed()
{
    if (FGridView) FGridView->LayoutChanged(true);
}

TcxCustomGridBackgroundBitmaps::~TcxCustomGridBackgroundBitmaps() = default;

TBitmap* TcxCustomGridBackgroundBitmaps::Bitmaps(int AIndex)
{
    if (AIndex < 0) return nullptr;
    if (size_t(AIndex) >= FBitmaps.size()) FBitmaps.resize(size_t(AIndex) + 1);
    auto& slot = FBitmaps[size_t(AIndex)];
    if (!slot) {
        slot = std::make_unique<TBitmap>();
        slot->OnChange = [this](TObject*) { Changed(); };
    }
    return slot.get();
}

void TcxCustomGridBackgroundBitmaps::SetBitmaps(int AIndex, TBitmap* AValue)
{
    TBitmap* b = Bitmaps(AIndex);
    if (b) b->Assign(AValue);
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetDefaultBitmap(int AIndex)
{
    int styleIndex = GetBitmapStyleIndex(AIndex);
    if (styleIndex == -1 || !GridView()) return nullptr;
    return GridView()->Styles()->GetBitmap(styleIndex);
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetBitmap(int AIndex)
{
    if (AIndex >= 0 && size_t(AIndex) < FBitmaps.size()) {
        TBitmap* own = FBitmaps[size_t(AIndex)].get();
        if (own && !own->Empty()) return own;
    }
    return GetDefaultBitmap(AIndex);
}

void TcxCustomGridBackgroundBitmaps::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridBackgroundBitmaps>(Source)) {
        SetBackground(src->Background());
        return;
    }
    TcxCustomGridOptions::Assign(Source);
}

TScrollStyle TcxCustomGridOptionsView::ScrollBars() const
{
    return GridView() && GridView()->Site() ? GridView()->Site()->ScrollBars() : ssBoth;
}

void TcxCustomGridOptionsView::SetScrollBars(TScrollStyle AValue)
{
    if (GridView() && GridView()->Site()) GridView()->Site()->SetScrollBars(AValue);
}

void TcxCustomGridOptionsView::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridOptionsView>(Source)) {
        SetScrollBars(src->ScrollBars());
        return;
    }
    TcxCustomGridOptions::Assign(Source);
}

void TcxCustomGridStyles::Changed(int Index)
{
    TcxStyles::Changed(Index);
    if (TcxCustomGridView* view = GetGridView()) {
        view->UpdateFakeLinks();
        view->SizeChanged(false, false);
    }
}

void TcxCustomGridStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxStyles::GetDefaultViewParams(Index, AData, AParams);
    TcxCustomGridView* view = GetGridView();
    if (view && view->Grid())
        AParams.Font = view->Grid()->Font();
    else if (view && view->Site())
        AParams.Font = view->Site()->Canvas()->Font();
}

void TcxCustomGridStyles::GetFakeComponentLinks(std::vector<TComponent*>& AList)
{
    TcxCustomGridView* view = GetGridView();
    for (int i = 0; i < PairCount(); ++i) {
        TcxCustomStyle* s = Pair(i).Style;
        if (!s || !s->Owner() || (view && s->Owner() == view->Owner())) continue;
        if (std::find(AList.begin(), AList.end(), s->Owner()) == AList.end()) AList.push_back(s->Owner());
    }
}

TcxCustomGridView* TcxCustomGridViewStyles::GetGridView() const
{
    return DynamicCast<TcxCustomGridView>(static_cast<TObject*>(Owner()));
}

void TcxCustomGridViewStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxCustomGridStyles::GetDefaultViewParams(Index, AData, AParams);
    if (Index == vsBackground) {
        TcxCustomGridView* view = GetGridView();
        AParams.Color = view ? view->LookAndFeelPainter()->ContentColor() : clWindow;
    }
}

void TcxCustomGridViewStyles::Assign(TPersistent* Source)
{
    TcxCustomGridStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxCustomGridViewStyles>(Source)) SetBackground(src->Background());
}

// ---- site ------------------------------------------------------------------------------------------------

TcxGridSite::TcxGridSite(TcxCustomGridViewInfo* AViewInfo) : TcxControl(nullptr), FViewInfo(AViewInfo)
{
    SetWantedKeys({wkArrows, wkChars});
    SetParentColor(false);
}

TcxGridSite::~TcxGridSite() = default;

TcxCustomGridView* TcxGridSite::GridView() const { return FViewInfo->GridView(); }
TcxCustomGridController* TcxGridSite::Controller() const { return GridView()->Controller(); }
TcxCustomGrid* TcxGridSite::Container() const { return GridView()->Grid(); }
bool TcxGridSite::IsParked() const { return Left() == 30000; }

void TcxGridSite::SetParent(TWinControl* AParent)
{
    if (AParent != Parent()) {
        TcxCustomGridView* view = GridView();
        if (AParent) {
            if (view->Grid()) LookAndFeel()->SetMasterLookAndFeel(view->Grid()->LookAndFeel());
            if (view->Level()) view->UpdateSiteTabStop(view->Level()->IsTop());
        } else if (view->Grid() && view->Grid()->FocusedView() == view) {
            TWinControl* old = Parent();
            if (old && !old->ComponentState().Contains(csDestroying) && Focused() && old->CanFocus()) old->SetFocus();
        }
    }
    TcxControl::SetParent(AParent);
}

void TcxGridSite::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    int oldW = Width(), oldH = Height();
    TcxControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Width() != oldW || Height() != oldH) {
        FLastClientWidth = ClientWidth();
        FLastClientHeight = ClientHeight();
    }
}

void TcxGridSite::BoundsChanged()
{
    int oldW = FLastClientWidth, oldH = FLastClientHeight;
    TRect cb = GetClientBounds();
    FLastClientWidth = cb.Width();
    FLastClientHeight = cb.Height();
    if (!(oldW == 0 && oldH == 0) && (oldW != FLastClientWidth || oldH != FLastClientHeight)) {
        bool canNow = true;
        for (TcxCustomGridView* v = GridView(); v; v = v->IsDetail() ? v->MasterGridView() : nullptr)
            if (!v->ViewInfo()->CanCalculate()) {
                canNow = false;
                break;
            }
        if (canNow)
            GridView()->BoundsChanged(true, false);
        else if (FUpdatingScrollBars)
            SizeChangedLater();
    }
    TcxControl::BoundsChanged();
}

void TcxGridSite::SizeChangedLater()
{
    if (HandleAllocated()) PostMessage(Handle(), CM_GRIDSITESIZECHANGED, 0, 0);
}

void TcxGridSite::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_GRIDSITESIZECHANGED) {
        TMsg pending;
        while (PeekMessage(&pending, Handle(), CM_GRIDSITESIZECHANGED, CM_GRIDSITESIZECHANGED, PM_REMOVE)) {
        }
        GridView()->BoundsChanged(true, true);
        return;
    }
    if ((Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) && Container()) {
        // A subscriber may take the key before the site sees it.
        if (Container()->NotifySubscribers(gnkKeyDown, &Message)) {
            if (Message.Result == 0) Message.Result = 1;
            return;
        }
    }
    TcxGridControlGuard guard(this);
    Controller()->WndProc(Message);
    if (guard.Alive()) TcxControl::WndProc(Message);
}

void TcxGridSite::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxGridControlGuard guard(this);
    TcxControl::KeyDown(Key, Shift);
    if (!guard.Alive()) return;
    WORD key = Key;
    Controller()->KeyDown(Key, Shift);
    if (guard.Alive() && key == VK_APPS && Container()) Container()->NotifySubscribers(gnkContextMenu, (void*)1);
}

void TcxGridSite::KeyPress(char& Key)
{
    TcxGridControlGuard guard(this);
    TcxControl::KeyPress(Key);
    if (guard.Alive()) Controller()->KeyPress(Key);
}

void TcxGridSite::KeyUp(WORD& Key, TShiftState Shift)
{
    TcxGridControlGuard guard(this);
    TcxControl::KeyUp(Key, Shift);
    if (guard.Alive()) Controller()->KeyUp(Key, Shift);
}

void TcxGridSite::BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (HandleAllocated()) Controller()->MouseDown(Button, Shift, X, Y);
}

void TcxGridSite::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxGridControlGuard guard(this);
    TcxControl::MouseMove(Shift, X, Y);
    if (guard.Alive() && DragAndDropState() != ddsInProcess) Controller()->MouseMove(Shift, X, Y);
}

void TcxGridSite::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxGridControlGuard guard(this);
    if (DragAndDropState() == ddsInProcess) {
        TcxControl::MouseUp(Button, Shift, X, Y);
        if (!guard.Alive()) return;
        Controller()->MouseUp(Button, Shift, X, Y);
    } else {
        Controller()->MouseUp(Button, Shift, X, Y);
        if (!guard.Alive()) return;
        TcxControl::MouseUp(Button, Shift, X, Y);
    }
    if (guard.Alive() && Button == mbRight && Container()) Container()->NotifySubscribers(gnkContextMenu, nullptr);
}

void TcxGridSite::DoEnter()
{
    TcxControl::DoEnter();
    Controller()->DoEnter();
}

void TcxGridSite::DoExit()
{
    TcxGridControlGuard guard(this);
    Controller()->DoExit();
    if (guard.Alive()) TcxControl::DoExit();
}

void TcxGridSite::FocusChanged()
{
    TcxGridControlGuard guard(this);
    TcxControl::FocusChanged();
    if (!guard.Alive()) return;
    TcxCustomGridView* view = GridView();
    if (Focused()) {
        view->SetFocused(true);
        if (!guard.Alive()) return;
    }
    if (TcxCustomGrid* grid = Container()) grid->UpdateFocusState(view->IsControlFocused());
}

void TcxGridSite::SetFocus()
{
    TcxGridControlGuard guard(this);
    TcxCustomGrid* grid = Container();
    if (grid && grid->FocusedView() && grid->FocusedView() != GridView())
        grid->FocusedView()->Controller()->BeforeKillFocus();
    if (guard.Alive()) TcxControl::SetFocus();
}

bool TcxGridSite::MayFocus() const { return TcxControl::MayFocus() && Controller()->MayFocus(); }

TCursor TcxGridSite::GetCurrentCursor(int X, int Y)
{
    TCursor c = Controller()->GetCursor(X, Y);
    return c == crDefault ? TcxControl::GetCurrentCursor(X, Y) : c;
}

bool TcxGridSite::GetDesignHitTest(int X, int Y, TShiftState Shift) const
{
    if (TcxControl::GetDesignHitTest(X, Y, Shift)) return true;
    if (IsDesigning() && Shift.Contains(ssLeft))
        return Controller()->GetDesignHitTest(FViewInfo->GetHitTest(X, Y));
    return false;
}

bool TcxGridSite::CanDrag(int X, int Y) const { return TcxControl::CanDrag(X, Y) && Controller()->CanDrag(X, Y); }

void TcxGridSite::CancelMouseOperations()
{
    TcxControl::CancelMouseOperations();
    Controller()->CancelMouseOperations();
}

void TcxGridSite::BeginDragAndDrop()
{
    Controller()->BeginDragAndDrop();
    TcxControl::BeginDragAndDrop();
}

void TcxGridSite::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxControl::DragAndDrop(P, Accepted);
    Controller()->DragAndDrop(P, Accepted);
}

void TcxGridSite::EndDragAndDrop(bool Accepted)
{
    Controller()->EndDragAndDrop(Accepted);
    TcxControl::EndDragAndDrop(Accepted);
}

bool TcxGridSite::StartDragAndDrop(const TPoint& P) { return Controller()->StartDragAndDrop(P); }

void TcxGridSite::DoStartDrag(TDragObject*& ADragObject)
{
    Controller()->BeforeStartDrag();
    TcxControl::DoStartDrag(ADragObject);
    Controller()->StartDrag(ADragObject);
}

void TcxGridSite::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TcxControl::DragOver(Source, X, Y, State, Accept);
    Controller()->DragOver(Source, X, Y, State, Accept);
}

void TcxGridSite::DoEndDrag(TObject* Target, int X, int Y)
{
    Controller()->EndDrag(Target, X, Y);
    TcxControl::DoEndDrag(Target, X, Y);
}

void TcxGridSite::DragDrop(TObject* Source, int X, int Y)
{
    Controller()->DragDrop(Source, X, Y);
    TcxControl::DragDrop(Source, X, Y);
}

bool TcxGridSite::ExecuteAction(TObject* Action)
{
    TcxCustomGrid* grid = Container();
    if (grid && grid->FocusedView() == GridView()) return GridView()->DataController()->ExecuteAction(Action);
    return false;
}

bool TcxGridSite::UpdateAction(TObject* Action)
{
    TcxCustomGrid* grid = Container();
    if (grid && grid->FocusedView() == GridView()) return GridView()->DataController()->UpdateAction(Action);
    return false;
}

void TcxGridSite::InitScrollBarsParameters() { Controller()->InitScrollBarsParameters(); }

void TcxGridSite::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    Controller()->Scroll(AScrollBarKind, AScrollCode, AScrollPos);
}

TcxMouseWheelScrollingKind TcxGridSite::GetMouseWheelScrollingKind() const
{
    return Controller()->GetMouseWheelScrollingKind();
}

bool TcxGridSite::IsScrollBarPageAdjustable(TScrollBarKind AKind)
{
    return Controller()->IsScrollBarPageAdjustable(AKind);
}

void TcxGridSite::UpdateScrollBars()
{
    if (FViewInfo->IsCalculating()) return;
    FUpdatingScrollBars = true;
    try {
        TcxControl::UpdateScrollBars();
    } catch (...) {
        FUpdatingScrollBars = false;
        throw;
    }
    FUpdatingScrollBars = false;
}

TRect TcxGridSite::GetHScrollBarBounds() const
{
    TRect R = TcxControl::GetHScrollBarBounds();
    FViewInfo->AdjustHScrollBarBounds(R);
    return R;
}

bool TcxGridSite::IsDesigning() const
{
    TcxCustomGrid* grid = Container();
    return grid ? grid->IsDesigning() : TcxControl::IsDesigning();
}

bool TcxGridSite::IsFocused() const { return TcxControl::IsFocused() || Controller()->HasFocusedControls(); }

void TcxGridSite::Paint()
{
    if (FViewInfo->IsCalculating() || IsParked()) return;
    GridView()->Painter()->Paint(Canvas());
}

// ---- view --------------------------------------------------------------------------------------------------

TcxCustomGridView::TcxCustomGridView(TComponent* AOwner) : TcxControlChildComponent(AOwner) {}

TcxCustomGridView::~TcxCustomGridView()
{
    if (!FTornDown) TearDown();
}

void TcxCustomGridView::AfterConstruction()
{
    TcxControlChildComponent::AfterConstruction();
    CreateOptions();
    CreateHandlers();
}

void TcxCustomGridView::BeforeDestruction()
{
    // The focus moves on while the level still shows this view (its free
    // notices make the level let go of it).
    FDestroyingView = true;
    LeaveFocus();
    TcxControlChildComponent::BeforeDestruction();
    TearDown();
}

void TcxCustomGridView::LeaveFocus()
{
    try {
        SetFocused(false);
    } catch (...) {
        // Leaving the focus must not keep a view alive that is being freed.
    }
}

void TcxCustomGridView::TearDown()
{
    FTornDown = true;
    FDestroyingView = true;
    LeaveFocus();
    if (FPatternGridView) FPatternGridView->RemoveClone(this);
    if (FLevel && FLevel->GridView() == this) FLevel->SetGridView(nullptr);
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) clone->FPatternGridView = nullptr;
    FClones.clear();
    if (Control()) Control()->RemoveChildComponent(this);
    DestroyHandlers();
    DestroyOptions();
    for (TcxCustomGridView** ref : FReferences) *ref = nullptr;
    FReferences.clear();
}

bool TcxCustomGridView::IsDestroying() const
{
    if (TcxControlChildComponent::IsDestroying() || FDestroyingView) return true;
    TcxCustomGridView* master = IsDetail() ? MasterGridView() : nullptr;
    return master && master != this && master->IsDestroying();
}

std::string TcxCustomGridView::GetStoredObjectName() { return StoringName.empty() ? Name() : StoringName; }

void TcxCustomGridView::CreateOptions()
{
    FBackgroundBitmaps = GetBackgroundBitmapsClass().Create(this);
    FOptionsSelection = GetOptionsSelectionClass().Create(this);
    FOptionsView = GetOptionsViewClass().Create(this);
    FStyles = GetStylesClass().Create(this);
    FOptionsCreated = true;
}

void TcxCustomGridView::DestroyOptions()
{
    if (!FOptionsCreated) return;
    FreeAndNil(FStyles);
    FreeAndNil(FOptionsView);
    FreeAndNil(FOptionsSelection);
    FreeAndNil(FBackgroundBitmaps);
    FOptionsList.clear();
    FOptionsCreated = false;
}

void TcxCustomGridView::CreateHandlers()
{
    FController = GetControllerClass().Create(this);
    FDataController = GetDataControllerClass().Create(this);
    BindDataController();
    FPainter = GetPainterClass().Create(this);
    FViewData = GetViewDataClass().Create(this);
    FViewInfo = GetViewInfoClass().Create(this);
    FViewInfoCache = GetViewInfoCacheClass().Create(this);
}

void TcxCustomGridView::BindDataController()
{
    FDataController->OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) { DataControllerNotify(AInfo); };
}

void TcxCustomGridView::DestroyHandlers()
{
    FreeAndNil(FDataController);
    FreeAndNil(FViewInfoCache);
    FreeAndNil(FViewInfo);
    FreeAndNil(FViewData);
    FreeAndNil(FPainter);
    FreeAndNil(FController);
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxCustomGridView::GetControllerClass() { return {}; }
TcxGridClassRef<TcxCustomDataController, TComponent*> TcxCustomGridView::GetDataControllerClass() { return {}; }
TcxGridViewHandlerClass<TcxCustomGridPainter> TcxCustomGridView::GetPainterClass() { return {}; }
TcxGridViewHandlerClass<TcxCustomGridViewData> TcxCustomGridView::GetViewDataClass() { return {}; }
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxCustomGridView::GetViewInfoClass() { return {}; }

TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> TcxCustomGridView::GetViewInfoCacheClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfoCache>::Of<TcxCustomGridViewInfoCache>();
}
TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> TcxCustomGridView::GetBackgroundBitmapsClass()
{
    return TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps>::Of<TcxCustomGridBackgroundBitmaps>();
}
TcxGridOptionsClass<TcxCustomGridOptionsSelection> TcxCustomGridView::GetOptionsSelectionClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsSelection>::Of<TcxCustomGridOptionsSelection>();
}
TcxGridOptionsClass<TcxCustomGridOptionsView> TcxCustomGridView::GetOptionsViewClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsView>::Of<TcxCustomGridOptionsView>();
}
TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> TcxCustomGridView::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*>::Of<TcxCustomGridViewStyles>();
}

void TcxCustomGridView::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridView>(Source);
    if (!src) {
        TcxControlChildComponent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        AssignDataController(src);
        AssignLayout(src);
        AssignDataControllerAfterLayout(src);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomGridView::Loaded()
{
    TcxControlChildComponent::Loaded();
    LoadingComplete();
    if (FDataController) FDataController->CheckPendingChanges();
    AfterLayoutAssigned();
}

void TcxCustomGridView::Notification(TComponent* AComponent, TOperation Operation)
{
    TcxControlChildComponent::Notification(AComponent, Operation);
    for (TcxCustomGridOptions* o : std::vector<TcxCustomGridOptions*>(FOptionsList))
        o->Notification(AComponent, Operation);
}

void TcxCustomGridView::SetControl(TcxControl* Value)
{
    auto* oldGrid = DynamicCast<TcxCustomGrid>(Control());
    if (Value == Control()) return;
    if (oldGrid && FViewInfo && FViewInfo->Site() && FViewInfo->Site()->Owner() == oldGrid)
        oldGrid->RemoveComponent(FViewInfo->Site());
    TcxControlChildComponent::SetControl(Value);
    if (auto* grid = DynamicCast<TcxCustomGrid>(Value)) {
        if (!FStreamingParent.Get()) FStreamingParent = grid;
        if (FViewInfo && FViewInfo->Site() && !FViewInfo->Site()->Owner()) grid->InsertComponent(FViewInfo->Site());
    }
}

void TcxCustomGridView::Updating()
{
    BeginUpdate();
    TcxControlChildComponent::Updating();
}

void TcxCustomGridView::Updated()
{
    TcxControlChildComponent::Updated();
    EndUpdate();
}

TcxCustomGrid* TcxCustomGridView::Grid() const { return DynamicCast<TcxCustomGrid>(Control()); }

TcxCustomLookAndFeelPainterClass TcxCustomGridView::LookAndFeelPainter() const
{
    if (Grid()) return Grid()->LookAndFeelPainter();
    if (Site()) return Site()->LookAndFeelPainter();
    return TcxCustomLookAndFeelPainter::Instance();
}

bool TcxCustomGridView::IsVisibleFor(bool ALevelVisible)
{
    if (!ALevelVisible || IsPattern()) return false;
    if (IsDetail()) {
        TcxCustomGridView* master = MasterGridView();
        if (!master || !master->IsDetailVisible(this)) return false;
    }
    return true;
}

bool TcxCustomGridView::IsVisible()
{
    if (IsDestroying()) return false;
    return IsVisibleFor(FLevel && FLevel->ActuallyVisible());
}

bool TcxCustomGridView::CanFocus() { return IsVisibleFor(FLevel && FLevel->VisibleWithParents()); }

bool TcxCustomGridView::IsAvailable() { return (IsVisible() || IsPattern()) && Grid(); }

bool TcxCustomGridView::GetGridTabStop() { return Grid() ? Grid()->GridTabStop() : true; }

bool TcxCustomGridView::IsControlFocused() { return Grid() && Grid()->IsFocused(); }

void TcxCustomGridView::FocusChanged(bool AFocused)
{
    if (AFocused) {
        FController->ViewFocusGained();
    } else {
        FController->ViewFocusLost();
    }
}

void TcxCustomGridView::LookAndFeelChanged()
{
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) clone->LookAndFeelChanged();
}

void TcxCustomGridView::SetLevel(TcxGridLevel* ALevel)
{
    if (FLevel == ALevel) return;
    FLevel = ALevel;
    if (Site() && Site()->Parent() && FLevel) UpdateSiteTabStop(FLevel->IsTop());
}

void TcxCustomGridView::UpdateSiteTabStop(bool AFocused)
{
    if (Site()) Site()->SetTabStop(AFocused && GetGridTabStop());
}

void TcxCustomGridView::BoundsChanged(bool AViewOnly, bool APreserveMasterCache)
{
    if (HasSizeDependentLayout())
        SizeChanged(AViewOnly, APreserveMasterCache);
    else
        LayoutChanged(AViewOnly);
}

void TcxCustomGridView::BeginUpdate()
{
    if (Grid()) Grid()->BeginUpdate();
    if (FDataController) FDataController->BeginUpdate();
}

void TcxCustomGridView::EndUpdate()
{
    try {
        if (FDataController) FDataController->EndUpdate();
    } catch (...) {
        if (Grid()) Grid()->EndUpdate();
        throw;
    }
    if (Grid()) Grid()->EndUpdate();
}

void TcxCustomGridView::CancelUpdate()
{
    if (FDataController) FDataController->EndUpdate();
    if (Grid()) Grid()->CancelUpdate();
}

bool TcxCustomGridView::Changed(TcxCustomGridChange* AChange)
{
    bool calculating = FViewInfo && FViewInfo->IsCalculating();
    if (cxControls::IsComponentLoading(this) || IsDestroying() || calculating) {
        FreeObject(AChange);
        return false;
    }
    if (TcxCustomGrid* grid = Grid()) {
        grid->AddChange(AChange);
    } else {
        AChange->Control = nullptr;
        try {
            AChange->Execute();
        } catch (...) {
            FreeObject(AChange);
            throw;
        }
        FreeObject(AChange);
    }
    return true;
}

bool TcxCustomGridView::LayoutChanged(bool AThisViewOnly)
{
    return Changed(new TcxGridLayoutChange(AThisViewOnly ? this : nullptr));
}

bool TcxCustomGridView::SizeChanged(bool AViewOnly, bool APreserveMasterCache)
{
    return Changed(new TcxGridSizeChange(this, AViewOnly || !Grid(), APreserveMasterCache));
}

bool TcxCustomGridView::ViewChanged() { return Changed(new TcxGridViewChange(this)); }

bool TcxCustomGridView::ViewChanged(const TRect& R)
{
    if (IsRectEmpty(R)) return false;
    return Changed(new TcxGridViewChange(this, R));
}

void TcxCustomGridView::ChangeForClones(bool ARecalculate)
{
    if (!IsPattern()) {
        if (ARecalculate)
            LayoutChanged(true);
        else
            ViewChanged();
        return;
    }
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) {
        if (ARecalculate)
            clone->LayoutChanged(true);
        else
            clone->ViewChanged();
    }
}

bool TcxCustomGridView::IsFocusedView() const { return Grid() && Grid()->FocusedView() == this; }

void TcxCustomGridView::SetFocused(bool AValue)
{
    if (AValue == IsFocusedView() || !Grid()) return;
    Grid()->SetFocusedView(AValue ? this : nullptr);
}

bool TcxCustomGridView::IsDetail() const
{
    return FDataController && FDataController->GetMasterDataController() != nullptr;
}

TcxCustomGridView* TcxCustomGridView::MasterGridView() const
{
    if (!IsDetail()) return nullptr;
    return DynamicCast<TcxCustomGridView>(FDataController->GetMasterDataController()->Owner());
}

int TcxCustomGridView::MasterRecordIndex() const
{
    return FDataController ? FDataController->GetMasterRecordIndex() : -1;
}

int TcxCustomGridView::MasterGridRecordIndex() const
{
    int record = MasterRecordIndex();
    TcxCustomGridView* master = MasterGridView();
    if (record == -1 || !master) return -1;
    return master->DataController()->GetRowIndexByRecordIndex(record, false);
}

bool TcxCustomGridView::IsMaster() const { return FLevel && FLevel->IsMaster(); }

bool TcxCustomGridView::IsPattern() const { return FDataController && FDataController->IsPattern(); }

bool TcxCustomGridView::HasAsMaster(TcxCustomGridView* AView) const
{
    for (TcxCustomGridView* m = MasterGridView(); m; m = m->MasterGridView())
        if (m == AView) return true;
    return false;
}

TcxGridSite* TcxCustomGridView::Site() const { return FViewInfo ? FViewInfo->Site() : nullptr; }

void TcxCustomGridView::AddClone(TcxCustomGridView* AClone)
{
    FClones.push_back(AClone);
    AClone->FPatternGridView = this;
}

void TcxCustomGridView::RemoveClone(TcxCustomGridView* AClone)
{
    FClones.erase(std::remove(FClones.begin(), FClones.end(), AClone), FClones.end());
    AClone->FPatternGridView = nullptr;
}

void TcxCustomGridView::AssignPattern(TcxCustomGridView* APattern)
{
    FAssigningPattern = true;
    try {
        Assign(APattern);
    } catch (...) {
        FAssigningPattern = false;
        throw;
    }
    FAssigningPattern = false;
}

void TcxCustomGridView::AddReference(TcxCustomGridView** APointer) { FReferences.push_back(APointer); }

void TcxCustomGridView::RemoveReference(TcxCustomGridView** APointer)
{
    FReferences.erase(std::remove(FReferences.begin(), FReferences.end(), APointer), FReferences.end());
}

void TcxCustomGridView::AddOptions(TcxCustomGridOptions* AOptions) { FOptionsList.push_back(AOptions); }

void TcxCustomGridView::RemoveOptions(TcxCustomGridOptions* AOptions)
{
    FOptionsList.erase(std::remove(FOptionsList.begin(), FOptionsList.end(), AOptions), FOptionsList.end());
}

TDragMode TcxCustomGridView::DragMode() const { return Site()->DragMode(); }
void TcxCustomGridView::SetDragMode(TDragMode AValue) { Site()->SetDragMode(AValue); }
TNotifyEvent TcxCustomGridView::OnDblClick() const { return Site()->OnDblClick; }
void TcxCustomGridView::SetOnDblClick(const TNotifyEvent& AValue) { Site()->OnDblClick = AValue; }
TKeyEvent TcxCustomGridView::OnKeyDown() const { return Site()->OnKeyDown; }
void TcxCustomGridView::SetOnKeyDown(const TKeyEvent& AValue) { Site()->OnKeyDown = AValue; }
TMouseEvent TcxCustomGridView::OnMouseDown() const { return Site()->OnMouseDown; }
void TcxCustomGridView::SetOnMouseDown(const TMouseEvent& AValue) { Site()->OnMouseDown = AValue; }
