#include "cxGridTableMoving.h"

#include "Forms.h"
#include "Overlay.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxGridGuardPrivate.h"
#include "cxGridLevel.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableHitTests.h"
#include "cxGridTablePainters.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridDragAndDropObject, TcxCustomGridTableDragAndDropObject)
QZ_CLASS_IMPL(TcxCustomGridMovingObject, TcxGridDragAndDropObject)
QZ_CLASS_IMPL(TcxGridColumnHeaderMovingObject, TcxCustomGridMovingObject)
QZ_CLASS_IMPL(TcxCustomGridSizingObject, TcxGridDragAndDropObject)
QZ_CLASS_IMPL(TcxCustomGridColumnSizingObject, TcxCustomGridSizingObject)
QZ_CLASS_IMPL(TcxGridColumnHorzSizingObject, TcxCustomGridColumnSizingObject)
QZ_CLASS_IMPL(TcxGridRowSizingObject, TcxCustomGridSizingObject)
QZ_CLASS_IMPL(TcxGridDragOpenInfoMasterDataRowTab, TcxGridDragOpenInfoTab)

namespace {
// The see-through colour of the arrow pictures.
constexpr TColor ArrowBackground = clFuchsia;

// Not the only visible column, and movable.
bool CanHideColumn(TcxGridColumn* AColumn)
{
    TcxGridTableView* view = AColumn->TableView();
    if (!view || !AColumn->CanMove()) return false;
    return !(AColumn->Visible() && view->VisibleColumnCount() <= 1);
}
}  // namespace

// ---- TcxGridDragAndDropObject -----------------------------------------------------------------------------

TcxGridTableController* TcxGridDragAndDropObject::Controller() const
{
    return DynamicCast<TcxGridTableController>(TcxCustomGridTableDragAndDropObject::Controller());
}

TcxGridTableView* TcxGridDragAndDropObject::GridView() const
{
    return DynamicCast<TcxGridTableView>(TcxCustomGridTableDragAndDropObject::GridView());
}

TcxGridTableViewInfo* TcxGridDragAndDropObject::ViewInfo() const
{
    return DynamicCast<TcxGridTableViewInfo>(TcxCustomGridTableDragAndDropObject::ViewInfo());
}

// ---- TcxCustomGridMovingObject ------------------------------------------------------------------------------

TcxCustomGridMovingObject::~TcxCustomGridMovingObject()
{
    // A drag cut short (the site freed on the way) leaves nothing on the screen.
    HideArrows();
    HideDragImage();
}

TPoint TcxCustomGridMovingObject::CalculateHotSpot(const TPoint& APressPoint, const TRect& ASourceBounds,
                                                   const TPoint& AImageSize)
{
    if (ASourceBounds.Width() <= 0 || ASourceBounds.Height() <= 0) return TPoint{0, 0};
    return TPoint{MulDiv(APressPoint.X - ASourceBounds.Left, AImageSize.X, ASourceBounds.Width()),
                  MulDiv(APressPoint.Y - ASourceBounds.Top, AImageSize.Y, ASourceBounds.Height())};
}

TRect TcxCustomGridMovingObject::GetArrowBounds(const TRect& AArea, TcxGridArrowPlace APlace)
{
    switch (APlace) {
    case apTop:
        return Rect(AArea.Left - ArrowWidth / 2, AArea.Top - ArrowHeight, AArea.Left - ArrowWidth / 2 + ArrowWidth,
                    AArea.Top);
    case apBottom:
        return Rect(AArea.Left - ArrowWidth / 2, AArea.Bottom, AArea.Left - ArrowWidth / 2 + ArrowWidth,
                    AArea.Bottom + ArrowHeight);
    case apLeft:
        return Rect(AArea.Left - ArrowHeight, AArea.Top - ArrowWidth / 2, AArea.Left,
                    AArea.Top - ArrowWidth / 2 + ArrowWidth);
    case apRight:
        return Rect(AArea.Right, AArea.Top - ArrowWidth / 2, AArea.Right + ArrowHeight,
                    AArea.Top - ArrowWidth / 2 + ArrowWidth);
    }
    return TRect{};
}

std::vector<TPoint> TcxCustomGridMovingObject::GetArrowPoints(const TRect& R, TcxGridArrowPlace APlace)
{
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    switch (APlace) {
    case apTop:   // points down
        return {{L + 3, T}, {Rt - 4, T}, {Rt - 4, T + 3}, {Rt - 1, T + 3}, {L + 5, B - 1}, {L, T + 3}, {L + 3, T + 3}};
    case apBottom:   // points up
        return {{L + 3, B - 1}, {Rt - 4, B - 1}, {Rt - 4, B - 4}, {Rt - 1, B - 4},
                {L + 5, T},     {L, B - 4},      {L + 3, B - 4}};
    case apLeft:   // points right
        return {{L + 3, T}, {L + 3, T + 3}, {L, T + 3}, {L, B - 4}, {L + 3, B - 4}, {L + 3, B - 1}, {Rt - 1, T + 5}};
    case apRight:   // points left
        return {{Rt - 4, T},     {Rt - 4, T + 3}, {Rt - 1, T + 3}, {Rt - 1, B - 4},
                {Rt - 4, B - 4}, {Rt - 4, B - 1}, {L, T + 5}};
    }
    return {};
}

void TcxCustomGridMovingObject::BeginDragAndDrop()
{
    TcxGridDragAndDropObject::BeginDragAndDrop();
    const TRect source = GetSourceItemBounds();
    FDragImage = std::make_unique<TBitmap>();
    FDragImage->SetSize(std::max(source.Width(), 0), std::max(source.Height(), 0));
    FDragImageCanvas = std::make_unique<TcxCanvas>(FDragImage->Canvas());
    if (!IsRectEmpty(source)) PaintSourceItem(FDragImageCanvas.get(), Rect(0, 0, source.Width(), source.Height()));
    FHotSpot = CalculateHotSpot(StartPoint(), source, TPoint{FDragImage->Width(), FDragImage->Height()});
    // The site shows the moved header as such before its picture goes over it.
    if (TcxGridSite* site = GridView() ? GridView()->Site() : nullptr) site->Update();
}

void TcxCustomGridMovingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxGridDragAndDropObject::DragAndDrop(P, Accepted);
    ShowDragImage(P);
    // A changed drop place is shown once the image stands at its new place.
    SetDirty(false);
}

void TcxCustomGridMovingObject::EndDragAndDrop(bool Accepted)
{
    HideArrows();
    HideDragImage();
    FDragImageCanvas.reset();
    FDragImage.reset();
    TcxGridDragAndDropObject::EndDragAndDrop(Accepted);
}

// What the drag shows lies over the windows and is not touched by their
// painting, so a paint of the site leaves it up; once the drop state is
// clean again, only what differs from what is shown changes: a change of
// the overlay repaints what lies under it, which would come back here.
void TcxCustomGridMovingObject::DirtyChanged()
{
    if (Dirty()) return;
    UpdateArrows();
    if (FMousePos.X != -1 || FMousePos.Y != -1) ShowDragImage(FMousePos);
}

void TcxCustomGridMovingObject::ShowDragImage(const TPoint& AMousePos)
{
    FMousePos = AMousePos;
    if (!FDragImage || FDragImage->Width() <= 0 || FDragImage->Height() <= 0 || Dirty()) return;
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    if (!site) return;
    const TPoint mouse = site->ClientToScreen(AMousePos);
    const TPoint topLeft{mouse.X - FHotSpot.X, mouse.Y - FHotSpot.Y};
    if (FDragImageId != 0) {
        if (topLeft.X != FDragImagePoint.X || topLeft.Y != FDragImagePoint.Y)
            ScreenOverlay()->MovePicture(FDragImageId, topLeft);
    } else {
        FDragImageId = ScreenOverlay()->ShowPicture(FDragImage.get(), topLeft);
    }
    FDragImagePoint = topLeft;
}

void TcxCustomGridMovingObject::HideDragImage()
{
    if (FDragImageId == 0) return;
    ScreenOverlay()->HidePicture(FDragImageId);
    FDragImageId = 0;
}

void TcxCustomGridMovingObject::UpdateArrows()
{
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    TRect area;
    if (!site || !CanShowArrows() || !GetArrowAreaBounds(area)) {
        HideArrows();
        return;
    }
    // The arrows stay over the view, also for a place past its right edge.
    const TRect bounds = GetArrowsClipBounds();
    area.Left = std::max(bounds.Left, std::min(area.Left, bounds.Right - 1));
    const TcxGridArrowPlace places[2][2] = {{apTop, apBottom}, {apLeft, apRight}};
    const bool vertical = ArrowsAboveAndBelow();
    TRect wanted[2];
    for (int i = 0; i < 2; ++i) {
        wanted[i] = GetArrowBounds(area, places[vertical ? 0 : 1][i]);
        OffsetRect(wanted[i], site->ClientToScreen(TPoint{0, 0}).X, site->ClientToScreen(TPoint{0, 0}).Y);
    }
    if (ArrowsVisible() && wanted[0] == FArrowBounds[0] && wanted[1] == FArrowBounds[1]) return;
    HideArrows();
    // The image lies over the arrows.
    const bool imageShown = DragImageVisible();
    HideDragImage();
    for (int i = 0; i < 2; ++i) {
        const TcxGridArrowPlace place = places[vertical ? 0 : 1][i];
        const TRect r = wanted[i];
        TBitmap picture;
        picture.SetSize(r.Width(), r.Height());
        TCanvas* canvas = picture.Canvas();
        canvas->Brush()->SetColor(ArrowBackground);
        canvas->FillRect(Rect(0, 0, r.Width(), r.Height()));
        canvas->Brush()->SetColor(ArrowColor);
        canvas->Pen()->SetColor(clBlack);
        canvas->Polygon(GetArrowPoints(Rect(0, 0, r.Width(), r.Height()), place));
        FArrowIds[i] = ScreenOverlay()->ShowPicture(&picture, r.TopLeft(), ArrowBackground);
        FArrowBounds[i] = r;
    }
    if (imageShown) ShowDragImage(FMousePos);
}

TRect TcxCustomGridMovingObject::GetArrowsClipBounds()
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    return viewInfo ? viewInfo->ViewBounds : TRect{};
}

void TcxCustomGridMovingObject::HideArrows()
{
    for (int& id : FArrowIds) {
        if (id != 0) ScreenOverlay()->HidePicture(id);
        id = 0;
    }
}

// ---- TcxGridColumnHeaderMovingObject ----------------------------------------------------------------------------

TcxGridColumnHeaderMovingObject::~TcxGridColumnHeaderMovingObject() = default;

void TcxGridColumnHeaderMovingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridMovingObject::Init(AStartPoint, AHitTest);
    auto* hit = DynamicCast<TcxCustomGridColumnHitTest>(AHitTest);
    FColumn = hit ? hit->Column : nullptr;
    FSourceKind = hit ? hit->ColumnContainerKind : 0;
}

void TcxGridColumnHeaderMovingObject::BeginDragAndDrop()
{
    TcxGridTableController* controller = Controller();
    if (controller)
        if (auto* form = DynamicCast<TcxGridTableCustomizationForm>(controller->CustomizationForm()))
            form->ActivatePage(form->ColumnsPage());
    if (controller) controller->SetPressedColumn(Column());
    TcxCustomGridMovingObject::BeginDragAndDrop();
}

TcxCustomGridHitTest* TcxGridColumnHeaderMovingObject::HitTestAt(const TPoint& P)
{
    TcxGridTableController* controller = Controller();
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    if (controller && site)
        if (TForm* form = controller->CustomizationForm())
            if (form->Visible() && PtInRect(form->BoundsRect(), site->ClientToScreen(P))) {
                auto* hit = TcxCustomGridHitTest::Instance<TcxGridCustomozationFormHitTest>(P);
                hit->GridView = GridView();
                hit->ViewInfo = nullptr;
                return hit;
            }
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    return viewInfo ? viewInfo->GetHitTest(P) : nullptr;
}

void TcxGridColumnHeaderMovingObject::CalculateDropPlace(const TPoint& P, TcxGridColumnDropPlace& APlace,
                                                         std::unique_ptr<TcxGridColumnContainerZone>& AZone)
{
    APlace = dpNone;
    AZone.reset();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (DynamicCast<TcxGridCustomozationFormHitTest>(HitTestAt(P))) {
        APlace = dpCustomizationForm;
    } else if (viewInfo) {
        if (viewInfo->GroupByBoxViewInfo() && (AZone = viewInfo->GroupByBoxViewInfo()->GetZone(P)))
            APlace = dpGroupByBox;
        else if (viewInfo->HeaderViewInfo() && (AZone = viewInfo->HeaderViewInfo()->GetZone(P)))
            APlace = dpHeader;
    }
}

bool TcxGridColumnHeaderMovingObject::IsSameZone(const TcxGridColumnContainerZone* A,
                                                 const TcxGridColumnContainerZone* B)
{
    return (!A && !B) || TcxGridColumnContainerZone::IsEqual(A, B);
}

void TcxGridColumnHeaderMovingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TcxGridColumnDropPlace place = dpNone;
    std::unique_ptr<TcxGridColumnContainerZone> zone;
    CalculateDropPlace(P, place, zone);
    if (place != FDropPlace || !IsSameZone(zone.get(), FDropZone.get())) {
        SetDirty(true);
        FDropPlace = place;
        FDropZone = std::move(zone);
    }
    Accepted = FDropPlace != dpNone && Column();
    TcxCustomGridMovingObject::DragAndDrop(P, Accepted);
}

TCursor TcxGridColumnHeaderMovingObject::GetDragAndDropCursor(bool Accepted)
{
    if (Accepted) return crArrow;
    return CanRemove() ? crcxRemove : crcxNoDrop;
}

bool TcxGridColumnHeaderMovingObject::ChangesSomething()
{
    TcxGridColumn* column = Column();
    if (!column || !FDropZone) return false;
    const int zone = FDropZone->ItemIndex;
    switch (FDropPlace) {
    case dpHeader: {
        if (!column->Visible()) return true;
        const int index = column->VisibleIndex();
        return FSourceKind == ckGroupByBox || zone < index || zone > index + 1;
    }
    case dpGroupByBox: {
        const int index = column->GroupIndex();
        return index == -1 || zone < index || zone > index + 1;
    }
    default: return false;
    }
}

bool TcxGridColumnHeaderMovingObject::CanRemove()
{
    TcxGridColumn* column = Column();
    TcxGridTableView* view = GridView();
    if (!column || !view) return false;
    if (FSourceKind == ckGroupByBox) return column->CanGroup();
    if (FSourceKind == ckHeader) {
        TcxGridTableController* controller = Controller();
        return CanHideColumn(column) &&
               (view->OptionsCustomize()->ColumnHiding() || (controller && controller->Customization()));
    }
    return false;
}

TcxGridColumnHeaderViewInfo* TcxGridColumnHeaderMovingObject::SourceCell()
{
    TcxGridColumn* column = Column();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!column || !viewInfo) return nullptr;
    TcxGridColumnContainerViewInfo* container = nullptr;
    int index = -1;
    if (FSourceKind == ckHeader) {
        container = viewInfo->HeaderViewInfo();
        index = column->VisibleIndex();
    } else if (FSourceKind == ckGroupByBox) {
        container = viewInfo->GroupByBoxViewInfo();
        index = column->GroupIndex();
    }
    if (!container || index < 0 || index >= container->Count()) return nullptr;
    return container->Items(index);
}

TRect TcxGridColumnHeaderMovingObject::GetSourceItemBounds()
{
    if (FSourceKind == ckCustomizationForm) {
        TcxGridTableController* controller = Controller();
        auto* form = controller ? DynamicCast<TcxGridTableCustomizationForm>(controller->CustomizationForm()) : nullptr;
        TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
        if (!form || !site || !form->ColumnsListBox()) return TRect{};
        TcxGridTableColumnsListBox* list = form->ColumnsListBox();
        const int index = list->Items()->IndexOfObject(Column());
        if (index < 0) return TRect{};
        TRect r = list->ItemRect(index);
        const TPoint topLeft = site->ScreenToClient(list->ClientToScreen(r.TopLeft()));
        OffsetRect(r, topLeft.X - r.Left, topLeft.Y - r.Top);
        return r;
    }
    TcxGridColumnHeaderViewInfo* cell = SourceCell();
    return cell ? cell->Bounds : TRect{};
}

void TcxGridColumnHeaderMovingObject::PaintSourceItem(TcxCanvas* ACanvas, const TRect& ABounds)
{
    if (FSourceKind == ckCustomizationForm) {
        TcxGridTableController* controller = Controller();
        auto* form = controller ? DynamicCast<TcxGridTableCustomizationForm>(controller->CustomizationForm()) : nullptr;
        if (!form || !form->ColumnsListBox()) return;
        TcxGridTableColumnsListBox* list = form->ColumnsListBox();
        const int index = list->Items()->IndexOfObject(Column());
        if (index >= 0) list->PaintItem(ACanvas, index, ABounds, false);
        return;
    }
    TcxGridColumnHeaderViewInfo* cell = SourceCell();
    if (!cell) return;
    const TPoint saved = ACanvas->WindowOrg();
    ACanvas->SetWindowOrg(cell->Bounds.TopLeft());
    cxGridTablePainters::PaintViewInfo(ACanvas, cell);
    ACanvas->SetWindowOrg(saved);
}

bool TcxGridColumnHeaderMovingObject::GetArrowAreaBounds(TRect& R)
{
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!viewInfo || !FDropZone) return false;
    const int zone = FDropZone->ItemIndex;
    if (FDropPlace == dpGroupByBox) {
        TcxGridGroupByBoxViewInfo* box = viewInfo->GroupByBoxViewInfo();
        if (!box) return false;
        const int count = box->Count();
        if (count == 0) {
            R = box->Bounds;
            R.Left += TcxGridGroupByBoxViewInfo::CellLeftOffset;
            R.Top += TcxGridGroupByBoxViewInfo::CellTopOffset;
            R.Bottom -= TcxGridGroupByBoxViewInfo::BottomSpace;
        } else if (zone >= count) {
            R = box->Items(count - 1)->Bounds;
            R.Left = R.Right + 2;
        } else {
            R = box->Items(zone)->Bounds;
            R.Left -= 2;
            // Between a cell and the one before it, which stands half a cell higher.
            if (zone != 0) R.Top -= box->ItemHeight() / 2 / 2;
        }
        return true;
    }
    if (FDropPlace == dpHeader) {
        TcxGridHeaderViewInfo* header = viewInfo->HeaderViewInfo();
        if (!header) return false;
        const int count = header->Count();
        if (count == 0) {
            R = header->Bounds;
        } else if (zone >= count) {
            R = header->Items(count - 1)->Bounds;
            R.Left = R.Right;
        } else {
            R = header->Items(zone)->Bounds;
        }
        return true;
    }
    return false;
}

void TcxGridColumnHeaderMovingObject::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridMovingObject::EndDragAndDrop(Accepted);
    if (TcxGridTableController* controller = Controller()) controller->SetPressedColumn(nullptr);
    if (Accepted) ApplyDrop();
}

void TcxGridColumnHeaderMovingObject::ApplyDrop()
{
    TcxGridColumn* column = Column();
    TcxGridTableView* view = GridView();
    if (!column || !view) return;
    const int oldIndex = column->Index(), oldGroupIndex = column->GroupIndex();
    const bool oldVisible = column->Visible();
    const int zone = FDropZone ? FDropZone->ItemIndex : -1;
    TcxGridViewGuard viewRef(view);
    view->BeginUpdate();
    try {
        switch (FDropPlace) {
        case dpHeader:
            if (ChangesSomething()) {
                MoveToHeaderZone(column);
                if (FSourceKind == ckGroupByBox && column->CanGroup()) column->SetGroupIndex(-1);
                column->SetVisible(true);
            }
            break;
        case dpGroupByBox:
            if (ChangesSomething() && column->CanGroup()) {
                int index = zone;
                if (oldGroupIndex != -1 && oldGroupIndex < zone) --index;
                column->SetGroupIndex(index);
                if (view->OptionsCustomize()->ColumnHidingOnGrouping() && CanHideColumn(column))
                    column->SetVisible(false);
            }
            break;
        case dpCustomizationForm:
        case dpNone:
            if (CanRemove()) {
                if (FSourceKind == ckHeader) {
                    column->SetVisible(false);
                } else if (FSourceKind == ckGroupByBox) {
                    const bool wasVisible = column->WasVisibleBeforeGrouping();
                    column->SetGroupIndex(-1);
                    if (FDropPlace != dpCustomizationForm && wasVisible) column->SetVisible(true);
                }
            }
            break;
        }
    } catch (...) {
        if (viewRef.Alive()) view->EndUpdate();
        throw;
    }
    view->EndUpdate();
    if (!viewRef.Alive() || !Column()) return;
    const bool groupChanged = column->GroupIndex() != oldGroupIndex;
    const bool changed = groupChanged || column->Index() != oldIndex || column->Visible() != oldVisible;
    if (groupChanged)
        if (TcxGridTableController* controller = Controller()) controller->MakeFocusedRecordVisible();
    if (changed && viewRef.Alive() && Column()) view->DoColumnPosChanged(column);
}

void TcxGridColumnHeaderMovingObject::MoveToHeaderZone(TcxGridColumn* AColumn)
{
    TcxGridTableView* view = GridView();
    if (!view || !FDropZone) return;
    const int zone = FDropZone->ItemIndex;
    int index;
    if (zone >= view->VisibleColumnCount()) {
        index = view->ColumnCount() - 1;
    } else {
        index = view->VisibleColumns(zone)->Index();
        if (AColumn->Index() < index) --index;
    }
    AColumn->SetIndex(index);
}

// ---- TcxCustomGridSizingObject ------------------------------------------------------------------------------

TcxCustomGridSizingObject::~TcxCustomGridSizingObject() { HideSizingLine(); }

void TcxCustomGridSizingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxGridDragAndDropObject::Init(AStartPoint, AHitTest);
    FDestPoint = AStartPoint;
}

void TcxCustomGridSizingObject::BeginDragAndDrop()
{
    FOriginalSize = GetOriginalSize();
    TcxGridDragAndDropObject::BeginDragAndDrop();
    UpdateSizingLine();
}

int TcxCustomGridSizingObject::CurrentSize()
{
    const int delta = IsHorizontalSizing() ? FDestPoint.X - StartPoint().X : FDestPoint.Y - StartPoint().Y;
    int size = FOriginalSize + delta;
    CheckSize(size);
    return size;
}

void TcxCustomGridSizingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    const bool moved = IsHorizontalSizing() ? P.X != FDestPoint.X : P.Y != FDestPoint.Y;
    if (moved) {
        SetDirty(true);
        if (IsHorizontalSizing())
            FDestPoint.X = P.X;
        else
            FDestPoint.Y = P.Y;
        SetDirty(false);
    }
    Accepted = true;
    TcxGridDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxCustomGridSizingObject::EndDragAndDrop(bool Accepted)
{
    HideSizingLine();
    TcxGridDragAndDropObject::EndDragAndDrop(Accepted);
}

// As with the moving objects' pictures, the line stays up while the site
// paints and changes only where it has to.
void TcxCustomGridSizingObject::DirtyChanged()
{
    if (!Dirty()) UpdateSizingLine();
}

void TcxCustomGridSizingObject::UpdateSizingLine()
{
    TcxGridSite* site = GridView() ? GridView()->Site() : nullptr;
    TPoint a{0, 0}, b{0, 0};
    if (site) GetSizingLine(a, b);
    if (!site || (a.X == b.X && a.Y == b.Y)) {
        HideSizingLine();
        return;
    }
    a = site->ClientToScreen(a);
    b = site->ClientToScreen(b);
    if (FLineVisible && a == FLineA && b == FLineB) return;
    HideSizingLine();
    FLineA = a;
    FLineB = b;
    ScreenOverlay()->InvertLine(FLineA, FLineB);
    FLineVisible = true;
}

void TcxCustomGridSizingObject::HideSizingLine()
{
    if (!FLineVisible) return;
    // Inverting the same line again takes it away.
    ScreenOverlay()->InvertLine(FLineA, FLineB);
    FLineVisible = false;
}

// ---- column sizing ------------------------------------------------------------------------------------------

void TcxCustomGridColumnSizingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridSizingObject::Init(AStartPoint, AHitTest);
    auto* hit = DynamicCast<TcxCustomGridColumnHitTest>(AHitTest);
    FColumn = hit ? hit->Column : nullptr;
}

TcxGridColumnHeaderViewInfo* TcxCustomGridColumnSizingObject::ColumnHeaderViewInfo()
{
    TcxGridColumn* column = Column();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    TcxGridHeaderViewInfo* header = viewInfo ? viewInfo->HeaderViewInfo() : nullptr;
    if (!column || !header) return nullptr;
    const int index = column->VisibleIndex();
    if (index < 0 || index >= header->Count()) return nullptr;
    return header->Items(index);
}

void TcxGridColumnHorzSizingObject::BeginDragAndDrop()
{
    if (TcxGridTableController* controller = Controller()) controller->ItemBeingSized = Column();
    TcxCustomGridColumnSizingObject::BeginDragAndDrop();
}

void TcxGridColumnHorzSizingObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    // A column freed during the drag is no longer the one being sized.
    if (!Column()) ForgetSizedColumn();
    TcxCustomGridColumnSizingObject::DragAndDrop(P, Accepted);
}

int TcxGridColumnHorzSizingObject::GetOriginalSize()
{
    TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo();
    return cell ? cell->GetWidth() : 0;
}

void TcxGridColumnHorzSizingObject::CheckSize(int& ASize)
{
    if (TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo()) cell->CheckWidth(ASize);
}

void TcxGridColumnHorzSizingObject::GetSizingLine(TPoint& A, TPoint& B)
{
    A = B = TPoint{0, 0};
    TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!cell || !viewInfo) return;
    int bottomParts = 0;
    for (int i = 0; i < viewInfo->PartCount(); ++i) {
        TcxCustomGridPartViewInfo* part = viewInfo->Parts(i);
        if (part->GetPosition() == 1 && part->GetVisible()) bottomParts += part->CalculatedHeight;
    }
    const int x = cell->RealBounds().Left + CurrentSize();
    A = TPoint{x, cell->Bounds.Top};
    B = TPoint{x, viewInfo->ViewBounds.Bottom - bottomParts};
}

TCursor TcxGridColumnHorzSizingObject::GetDragAndDropCursor(bool) { return crcxHorzSize; }

void TcxGridColumnHorzSizingObject::ForgetSizedColumn()
{
    if (TcxGridTableController* controller = Controller()) controller->ItemBeingSized = nullptr;
}

void TcxGridColumnHorzSizingObject::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridColumnSizingObject::EndDragAndDrop(Accepted);
    TcxGridColumn* column = Column();
    TcxGridColumnHeaderViewInfo* cell = ColumnHeaderViewInfo();
    TcxGridTableView* view = GridView();
    if (!Accepted || !column || !cell || !view) {
        ForgetSizedColumn();
        return;
    }
    const int size = CurrentSize();
    if (size == OriginalSize()) {
        ForgetSizedColumn();
        return;
    }
    // The cell's width holds the level indents the first column carries; the column's does not.
    const int width = size - (cell->GetWidth() - cell->DataWidth());
    TcxGridViewGuard viewRef(view);
    try {
        column->ImposeWidth(width);
    } catch (...) {
        if (viewRef.Alive()) ForgetSizedColumn();
        throw;
    }
    if (!viewRef.Alive()) return;
    ForgetSizedColumn();
    view->SizeChanged();
    if (viewRef.Alive() && Column()) view->DoColumnSizeChanged(column);
}

// ---- row sizing -----------------------------------------------------------------------------------------------

void TcxGridRowSizingObject::Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridSizingObject::Init(AStartPoint, AHitTest);
    auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest);
    FRowIndex = hit ? hit->RecordIndex : -1;
    FIsNewItemRow = hit && hit->IsNewItemRecord;
}

TcxCustomGridRowViewInfo* TcxGridRowSizingObject::RowViewInfo()
{
    TcxGridTableView* view = GridView();
    TcxCustomGridTableViewData* viewData = view ? view->ViewData() : nullptr;
    if (!viewData) return nullptr;
    TcxCustomGridRecord* row = FIsNewItemRow ? viewData->NewItemRecord() : viewData->GetRecordByIndex(FRowIndex);
    return row ? DynamicCast<TcxCustomGridRowViewInfo>(row->ViewInfo) : nullptr;
}

int TcxGridRowSizingObject::GetOriginalSize()
{
    TcxCustomGridRowViewInfo* row = RowViewInfo();
    return row ? row->GetHeight() : 0;
}

void TcxGridRowSizingObject::CheckSize(int& ASize)
{
    if (TcxCustomGridRowViewInfo* row = RowViewInfo()) row->CheckHeight(ASize);
}

void TcxGridRowSizingObject::GetSizingLine(TPoint& A, TPoint& B)
{
    A = B = TPoint{0, 0};
    TcxCustomGridRowViewInfo* row = RowViewInfo();
    TcxGridTableViewInfo* viewInfo = ViewInfo();
    if (!row || !viewInfo) return;
    const int y = row->Bounds.Top + CurrentSize();
    A = TPoint{viewInfo->ViewBounds.Left, y};
    B = TPoint{viewInfo->ViewBounds.Right, y};
}

TCursor TcxGridRowSizingObject::GetDragAndDropCursor(bool) { return crcxVertSize; }

void TcxGridRowSizingObject::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridSizingObject::EndDragAndDrop(Accepted);
    if (!Accepted) return;
    // A row scrolled out of sight during the drag has no layout to take the height.
    if (TcxCustomGridRowViewInfo* row = RowViewInfo()) row->SetSizedHeight(CurrentSize());
}

// ---- TcxGridDragOpenInfoMasterDataRowTab --------------------------------------------------------------------

TcxGridDragOpenInfoMasterDataRowTab::TcxGridDragOpenInfoMasterDataRowTab(TcxGridLevel* ALevel,
                                                                         TcxGridMasterDataRow* AGridRow)
    : TcxGridDragOpenInfoTab(ALevel), FGridView(AGridRow ? AGridRow->GridView() : nullptr),
      FRowIndex(AGridRow ? AGridRow->Index() : -1)
{
    if (FGridView) FGridView->AddReference(&FGridView);
}

TcxGridDragOpenInfoMasterDataRowTab::~TcxGridDragOpenInfoMasterDataRowTab()
{
    if (FGridView) FGridView->RemoveReference(&FGridView);
}

TcxGridMasterDataRow* TcxGridDragOpenInfoMasterDataRowTab::GridRow() const
{
    auto* view = DynamicCast<TcxCustomGridTableView>(FGridView);
    if (!view || !view->ViewData()) return nullptr;
    return DynamicCast<TcxGridMasterDataRow>(view->ViewData()->GetRecordByIndex(FRowIndex));
}

bool TcxGridDragOpenInfoMasterDataRowTab::Equals(TcxCustomGridDragOpenInfo* AInfo)
{
    if (!TcxGridDragOpenInfoTab::Equals(AInfo)) return false;
    auto* other = static_cast<TcxGridDragOpenInfoMasterDataRowTab*>(AInfo);
    return other->FGridView == FGridView && other->FRowIndex == FRowIndex;
}

void TcxGridDragOpenInfoMasterDataRowTab::Run()
{
    TcxGridMasterDataRow* row = GridRow();
    if (row && Level) row->SetActiveDetailIndex(Level->Index());
}

// ---- start-up -------------------------------------------------------------------------------------------------

namespace cxGridTableMoving {

void Initialize()
{
    cxGridTableController::SetColumnHeaderMovingObjectClass(TcxGridColumnHeaderMovingObject::StaticClass());
    cxGridTableHitTests::SetColumnHorzSizingObjectClass(TcxGridColumnHorzSizingObject::StaticClass());
    cxGridTableHitTests::SetRowSizingObjectClass(TcxGridRowSizingObject::StaticClass());
}

void Finalize()
{
    cxGridTableController::SetColumnHeaderMovingObjectClass(nullptr);
    cxGridTableHitTests::SetColumnHorzSizingObjectClass(nullptr);
    cxGridTableHitTests::SetRowSizingObjectClass(nullptr);
}

bool StartColumnDragFromCustomizationForm(TcxGridTableController* AController, TcxGridColumn* AColumn,
                                          const TPoint& ASitePoint)
{
    TcxGridTableView* view = AController ? AController->GridView() : nullptr;
    TcxGridSite* site = view ? view->Site() : nullptr;
    if (!site || !AColumn || site->DragAndDropState() != ddsNone) return false;
    auto* hit = TcxCustomGridHitTest::Instance<TcxGridColumnHeaderHitTest>(TPoint{-1, -1});
    hit->GridView = view;
    hit->ViewInfo = nullptr;
    hit->Column = AColumn;
    hit->ColumnContainerKind = ckCustomizationForm;
    TClass cls = hit->DragAndDropObjectClass();
    if (!cls) return false;
    site->DragAndDropObjectClass = cls;
    if (auto* obj = DynamicCast<TcxCustomGridDragAndDropObject>(site->DragAndDropObject())) obj->Init(ASitePoint, hit);
    site->BeginDragAndDrop();
    return true;
}

}  // namespace cxGridTableMoving
