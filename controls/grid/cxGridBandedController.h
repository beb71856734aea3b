// What the user does with a banded view: pressing and clicking band
// headers, moving the focus through columns that stand in several band
// rows and bands, and the customization form's page of bands taken off the
// header. The hit tests name what lies under a point of the band header
// area: a band, its header and the header's sizing edge, and the bottom
// edge of a column header that sizes the column in whole lines.
#pragma once

#include "cxGridBandedTableView.h"
#include "cxGridTableController.h"
#include "cxGridTableCustomizationForm.h"
#include "cxGridTableHitTests.h"
#include "cxGridTableMoving.h"

#include <functional>
#include <vector>

namespace cxGridBandedController {
// Where a moved column goes in the header: into band ABand, in a new row
// inserted at visible row position ARowPos (ANewRow), or into the visible
// row ARowPos at visible column position AColPos.
struct TcxGridBandedColumnDrop {
    TcxGridBand* Band = nullptr;
    bool NewRow = false;
    int RowPos = 0;
    int ColPos = 0;
};
}  // namespace cxGridBandedController

// ---- hit tests --------------------------------------------------------------------------------------

// The strip over a column header's bottom edge that sizes the column in lines.
class TcxGridColumnHeaderVertSizingEdgeHitTest : public TcxCustomGridColumnHitTest {
    QZ_CLASS(TcxGridColumnHeaderVertSizingEdgeHitTest, TcxCustomGridColumnHitTest)
public:
    int HitTestCode() const override { return 251; }
    TCursor Cursor() const override;
    TClass DragAndDropObjectClass() const override;
};

// Where a band hit test came from.
constexpr int bpHeader = 0;
constexpr int bpCustomizationForm = 1;

// A band under the point.
class TcxGridBandHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridBandHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 252; }
    // The shared instance of AClass filled with the view and the band, as the header shows it.
    static TcxGridBandHitTest* Instance(TClass AClass, const TPoint& APos, TcxGridBand* ABand);
    TcxGridBand* Band = nullptr;
    // bpHeader, or bpCustomizationForm for an entry of the form's band list.
    int BandPlace = bpHeader;
    // The visible band row under the point; -1 when none.
    int VisibleRowIndex = -1;
};

// A band's header: pressing and dragging it moves the band, when the band may be moved.
class TcxGridBandHeaderHitTest : public TcxGridBandHitTest {
    QZ_CLASS(TcxGridBandHeaderHitTest, TcxGridBandHitTest)
public:
    int HitTestCode() const override { return 253; }
    TClass DragAndDropObjectClass() const override;
};

// The right edge of a band's header: dragging it sizes the band.
class TcxGridBandHeaderSizingEdgeHitTest : public TcxGridBandHitTest {
    QZ_CLASS(TcxGridBandHeaderSizingEdgeHitTest, TcxGridBandHitTest)
public:
    int HitTestCode() const override { return 254; }
    TCursor Cursor() const override;
    TClass DragAndDropObjectClass() const override;
};

// ---- the controller -----------------------------------------------------------------------------------

class TcxGridBandedTableController : public TcxGridTableController {
    QZ_CLASS(TcxGridBandedTableController, TcxGridTableController)
public:
    explicit TcxGridBandedTableController(TcxCustomGridView* AGridView);
    TcxGridBandedTableView* GridView() const;
    TcxGridBandedColumn* FocusedColumn() const;

    // ---- what is going on with the bands (all null while idle)
    TcxGridBand* PressedBand() const { return FPressedBand.Get(); }
    // The header of the band that stops being pressed and of the one that becomes so is drawn again.
    void PressBand(TcxGridBand* ABand);
    TcxGridBand* MovingBand() const { return FMovingBand.Get(); }
    void SetMovingBand(TcxGridBand* ABand) { FMovingBand = ABand; }
    TcxGridBand* SizingBand() const { return FSizingBand.Get(); }
    void SetSizingBand(TcxGridBand* ABand) { FSizingBand = ABand; }
    bool BandBeingSized() const { return SizingBand() != nullptr; }
    TcxGridBandedColumn* VertSizingColumn() const { return FVertSizingColumn.Get(); }
    void SetVertSizingColumn(TcxGridBandedColumn* AColumn) { FVertSizingColumn = AColumn; }

    // ---- focus movement across bands
    // The shown columns read line by line across the bands: the rows that
    // start on a line, band after band, each row's columns in place order.
    std::vector<TcxGridBandedColumn*> LineOrder();
    // The column after (before) AColumn in that order; with no column, the
    // first (last) of them; null past the ends.
    TcxGridBandedColumn* AdjacentColumn(TcxGridBandedColumn* AColumn, bool AGoForward);
    // Every column in that order from AItem (not itself), or from the start.
    virtual void NavigationOrder(TcxGridBandedColumn* AItem, bool AGoForward, std::vector<TcxGridBandedColumn*>& AList);
    // Tab, Left and Right follow the navigation order.
    int FindNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle, bool& ACycleChanged) override;
    // The focusable column above or below a visible column at its place in
    // the other rows of its band (a shorter row gives its last column); -1 when none.
    virtual int ItemAboveOrBelow(int AItemVisibleIndex, bool AGoForward, bool AGoOnCycle);
    // Focuses what ItemAboveOrBelow finds; false when it finds nothing.
    bool FocusItemAboveOrBelow(int AItemVisibleIndex, bool AGoForward, bool AGoOnCycle);

    // ---- sizing rules
    bool IsColumnFixedDuringHorzSizing(TcxGridColumn* AColumn) override;
    // While a band is sized: it keeps its width, and so do the bands left of
    // it unless it is the last band.
    virtual bool BandKeepsWidthWhileSizing(TcxGridBand* ABand);
    // With fixed bands the preview's width follows the scrolled area, so the sizes are worked out again.
    void LeftPosChanged() override;

    // Column headers move by the banded moving object.
    TClass GetColumnHeaderMovingObjectClass() override;
    // A press on a band header: the band is pressed and told of the click, a
    // double click on its sizing edge fits it. Runs once per press, whether
    // the band header's layout or the controller sees the press first.
    bool BandHeaderMouseDown(TcxGridBandHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);

    // ---- keys and mouse
    bool StartDragAndDrop(const TPoint& P) override;
    void DoKeyDown(WORD& Key, TShiftState Shift) override;
    // A band header pressed is drawn pressed and tells its band; a double
    // click on its sizing edge fits the band to its columns.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CancelMouseOperations() override;
    void EndDragAndDrop(bool Accepted) override;

private:
    bool IsCellMode();
    bool FBandPressHandled = false;
    TWeakRef<TcxGridBand> FPressedBand;
    TWeakRef<TcxGridBand> FMovingBand;
    TWeakRef<TcxGridBand> FSizingBand;
    TWeakRef<TcxGridBandedColumn> FVertSizingColumn;
};

// ---- moving and sizing -----------------------------------------------------------------------------------

class TcxGridBandedTableViewInfo;
class TcxGridBandViewInfo;
class TcxGridBandedColumnContainerZone;

// Moving a column of a banded view: in the header it goes into a band, a
// band row or a new row between rows.
class TcxGridBandedColumnHeaderMovingObject : public TcxGridColumnHeaderMovingObject {
    QZ_CLASS(TcxGridBandedColumnHeaderMovingObject, TcxGridColumnHeaderMovingObject)
public:
    using TcxGridColumnHeaderMovingObject::TcxGridColumnHeaderMovingObject;
    TcxGridBandedTableView* BandedView() const;
    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    TcxGridBandedColumn* BandedColumn() const { return DynamicCast<TcxGridBandedColumn>(Column()); }
    // The header zone the column would be dropped in; null elsewhere.
    TcxGridBandedColumnContainerZone* HeaderZone() const;
    // The band of the header zone takes the column and the column's band lets it go.
    bool IsDropAllowed();
    bool ChangesSomething() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;

protected:
    void CalculateDropPlace(const TPoint& P, TcxGridColumnDropPlace& APlace,
                            std::unique_ptr<TcxGridColumnContainerZone>& AZone) override;
    bool IsSameZone(const TcxGridColumnContainerZone* A, const TcxGridColumnContainerZone* B) override;
    bool GetArrowAreaBounds(TRect& R) override;
    // A new row is marked by arrows beside its line, a place in a row by arrows above and below.
    bool ArrowsAboveAndBelow() override;
    TRect GetArrowsClipBounds() override;
    void ApplyDrop() override;
    void MoveToHeaderZone(TcxGridColumn* AColumn) override;

private:
    cxGridBandedController::TcxGridBandedColumnDrop DropOfZone() const;
};

// Where a band dragged over the view would go.
constexpr int bdkView = 0;
constexpr int bdkCustomizationForm = 1;

// Moving a band by its header, from the header or the customization form's band list.
class TcxGridBandHeaderMovingObject : public TcxCustomGridMovingObject {
    QZ_CLASS(TcxGridBandHeaderMovingObject, TcxCustomGridMovingObject)
public:
    using TcxCustomGridMovingObject::TcxCustomGridMovingObject;
    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;

    TcxGridBandedTableView* BandedView() const;
    TcxGridBandedTableViewInfo* BandedViewInfo() const;
    TcxGridBandedTableController* BandedController() const;
    // Null once the band is gone.
    TcxGridBand* Band() const { return FBand.Get(); }
    // bpHeader or bpCustomizationForm.
    int SourceKind() const { return FSourceKind; }
    // bdkView or bdkCustomizationForm.
    int DestKind() const { return FDestKind; }
    // The shown place the band would be dropped before (-1: none).
    int DestIndex() const { return FDestIndex; }
    // A drop off the header hides the band.
    bool CanRemove();

protected:
    TRect GetSourceItemBounds() override;
    void PaintSourceItem(TcxCanvas* ACanvas, const TRect& ABounds) override;
    bool GetArrowAreaBounds(TRect& R) override;
    bool CanShowArrows() override;
    TRect GetArrowsClipBounds() override;

private:
    bool OverCustomizationForm(const TPoint& P);
    TWeakRef<TcxGridBand> FBand;
    int FSourceKind = bpHeader;
    int FDestKind = bdkView;
    int FDestIndex = -1;
};

// Sizing a column's height in whole lines on its header's bottom edge.
class TcxGridColumnVertSizingObject : public TcxCustomGridColumnSizingObject {
    QZ_CLASS(TcxGridColumnVertSizingObject, TcxCustomGridColumnSizingObject)
public:
    using TcxCustomGridColumnSizingObject::TcxCustomGridColumnSizingObject;
    void BeginDragAndDrop() override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;
    bool IsHorizontalSizing() override { return false; }
    void GetSizingLine(TPoint& A, TPoint& B) override;
    // The height of one line of column headers.
    int LineHeight() const { return FLineHeight; }

protected:
    int GetOriginalSize() override;
    void CheckSize(int& ASize) override;

private:
    void ForgetSizedColumn();
    int FLineHeight = 0;
};

// Sizing a band's width on its header's right edge.
class TcxGridBandSizingObject : public TcxCustomGridSizingObject {
    QZ_CLASS(TcxGridBandSizingObject, TcxCustomGridSizingObject)
public:
    using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
    ~TcxGridBandSizingObject() override;
    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;
    bool IsHorizontalSizing() override { return true; }
    // The band's new edge is marked by a strip two pixels wide, not a line.
    void GetSizingLine(TPoint& A, TPoint& B) override { A = B = TPoint{0, 0}; }
    // The strip marking the new edge, in site coordinates.
    TRect SizingStrip();
    bool SizingStripVisible() const { return FStripVisible; }
    TcxGridBand* Band() const { return FBand.Get(); }
    TcxGridBandViewInfo* BandViewInfo();

protected:
    int GetOriginalSize() override;
    void CheckSize(int& ASize) override;

private:
    void ShowStrip();
    void HideStrip();
    void ForgetSizedBand();
    TWeakRef<TcxGridBand> FBand;
    bool FStripVisible = false;
    TRect FStrip;
};

// ---- the customization form ---------------------------------------------------------------------------

class TcxGridBandedTableCustomizationForm;

// The bands neither shown nor hidden from the form, by caption, in collection order.
class TcxGridBandedTableBandsListBox : public TcxCustomGridTableItemsListBox {
    QZ_CLASS(TcxGridBandedTableBandsListBox, TcxCustomGridTableItemsListBox)
public:
    explicit TcxGridBandedTableBandsListBox(TComponent* AOwner = nullptr);
    TcxGridBandedTableView* BandedView() const;
    TcxGridBand* Band(int AIndex) const;
    void RefreshItems() override;

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void StartItemDrag(TcxCustomGridTableItem* AItem, const TPoint& APressPoint) override;

private:
    // The entry pressed, kept for the drag the base starts after forgetting it.
    int FDraggedIndex = -1;
};

using TcxGridBandDragStartEvent =
    std::function<void(TcxGridBandedTableCustomizationForm* Sender, TcxGridBand* ABand, const TPoint& ASitePoint)>;

class TcxGridBandedTableCustomizationForm : public TcxGridTableCustomizationForm {
    QZ_CLASS(TcxGridBandedTableCustomizationForm, TcxGridTableCustomizationForm)
public:
    explicit TcxGridBandedTableCustomizationForm(TcxGridBandedTableController* AController);
    TcxGridBandedTableView* BandedView() const;
    TTabSheet* BandsPage() const { return FBandsPage; }
    TcxGridBandedTableBandsListBox* BandsListBox() const { return FBandsListBox; }
    void RefreshData() override;
    // A band dragged out of the list: the controller starts moving it from a point of the view's site.
    TcxGridBandDragStartEvent OnStartBandDrag;

protected:
    virtual TClass BandsListBoxClass() const { return TcxGridBandedTableBandsListBox::StaticClass(); }

private:
    TTabSheet* FBandsPage = nullptr;
    TcxGridBandedTableBandsListBox* FBandsListBox = nullptr;
};

namespace cxGridBandedController {
// Unit start-up: the banded view makes this controller, and a banded
// controller switched to customizing shows the banded form.
void Initialize();
void Finalize();

// ---- what a drop does, worked out on the band model alone

// The collection index a band dropped before visible band ADropVisibleIndex
// takes (ADropVisibleIndex may be the number of visible bands: after the last).
int BandDropCollectionIndex(TcxGridBand* ABand, int ADropVisibleIndex);
// A band stays among the bands of its fixed kind, and a shown band dropped
// at its own place or just after it changes nothing.
bool IsBandDropIndexValid(TcxGridBand* ABand, int ADropVisibleIndex);
// Applies a band drop: the band shows at the drop place. False when the
// index is not valid; nothing changes then.
bool DropBand(TcxGridBand* ABand, int ADropVisibleIndex);
// A band dragged off the header may be hidden when another band still
// shows and the user may hide bands (or the customization form is open).
bool CanHideBand(TcxGridBand* ABand, int ASourcePlace, bool ACustomizationFormOpen);

// The height a column header dragged to ADraggedHeight takes: whole lines,
// the nearest count (halves away from zero), at least one.
int SnapToLines(int ADraggedHeight, int ALineHeight);

// Starts moving ABand from the customization form, pressed at ASitePoint of
// the view's site; false when the band may not be moved.
bool StartBandDragFromCustomizationForm(TcxGridBandedTableController* AController, TcxGridBand* ABand,
                                        const TPoint& ASitePoint);

// A band holding its own columns only neither takes columns of other bands nor gives its own away.
bool CanDropColumn(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop);
// The drop would put the column elsewhere than it stands.
bool ColumnDropChangesPosition(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop);
// Moves the column there (the caller shows it and tells the view).
void ApplyColumnDrop(TcxGridBandedColumn* AColumn, const TcxGridBandedColumnDrop& ADrop);
}  // namespace cxGridBandedController
