// Dragging in the table view: a column header moved to reorder, group,
// ungroup, hide or show its column, a column sized on its header's right
// edge, a row sized on its indicator edge, and holding a drag over a master
// row's detail tab to open that detail.
//
// What the drags show goes on the screen overlay: the moved header's
// picture follows the mouse, two green arrows mark where it would land, and
// an inverted line marks the new edge of a sized column or row.
#pragma once

#include "cxGrid.h"
#include "cxGridTableController.h"
#include "cxGridTableLayout.h"

#include <memory>
#include <vector>

class TBitmap;
class TcxCanvas;
class TcxGridMasterDataRow;

// The base of the table view's drags: the table's controller, view and layout.
class TcxGridDragAndDropObject : public TcxCustomGridTableDragAndDropObject {
    QZ_CLASS(TcxGridDragAndDropObject, TcxCustomGridTableDragAndDropObject)
public:
    using TcxCustomGridTableDragAndDropObject::TcxCustomGridTableDragAndDropObject;
    TcxGridTableController* Controller() const;
    TcxGridTableView* GridView() const;
    TcxGridTableViewInfo* ViewInfo() const;
    // Around each step of the controller's drag scrolling.
    virtual void BeforeScrolling() {}
    virtual void AfterScrolling() {}
};

// Where an insertion arrow stands against its area: above it pointing down,
// below it pointing up, or beside it pointing right (on its left) or left.
enum TcxGridArrowPlace { apTop, apBottom, apLeft, apRight };

// A drag that shows a picture of the dragged item and insertion arrows.
class TcxCustomGridMovingObject : public TcxGridDragAndDropObject {
    QZ_CLASS(TcxCustomGridMovingObject, TcxGridDragAndDropObject)
public:
    using TcxGridDragAndDropObject::TcxGridDragAndDropObject;
    ~TcxCustomGridMovingObject() override;

    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    void DirtyChanged() override;

    // ---- the drag image
    TBitmap* DragImage() const { return FDragImage.get(); }
    TcxCanvas* DragImageCanvas() const { return FDragImageCanvas.get(); }
    // The press point's place inside the image.
    TPoint HotSpot() const { return FHotSpot; }
    // The image's top left on the screen; (-1, -1) before it was first shown.
    TPoint DragImagePoint() const { return FDragImagePoint; }
    bool DragImageVisible() const { return FDragImageId != 0; }
    bool ArrowsVisible() const { return FArrowIds[0] != 0; }

    // The press point scaled from the source's bounds into an image of
    // AImageSize, rounded half away from zero; (0, 0) for an empty source.
    static TPoint CalculateHotSpot(const TPoint& APressPoint, const TRect& ASourceBounds, const TPoint& AImageSize);
    // The 11-pixel arrow next to AArea at APlace.
    static TRect GetArrowBounds(const TRect& AArea, TcxGridArrowPlace APlace);
    // The 7 corners of the arrow filling R, pointing away from APlace's side.
    static std::vector<TPoint> GetArrowPoints(const TRect& R, TcxGridArrowPlace APlace);
    static constexpr int ArrowWidth = 11, ArrowHeight = 9;
    static constexpr TColor ArrowColor = clLime;

protected:
    // The dragged item's rectangle in the site and its picture drawn into ACanvas at (0, 0).
    virtual TRect GetSourceItemBounds() = 0;
    virtual void PaintSourceItem(TcxCanvas* ACanvas, const TRect& ABounds) = 0;
    // The area the arrows mark (site coordinates); false when there is none.
    virtual bool GetArrowAreaBounds(TRect& R) = 0;
    // Arrows show only where the drop would change something.
    virtual bool CanShowArrows() = 0;
    // Above and below the area (the table), or on either side of it.
    virtual bool ArrowsAboveAndBelow() { return true; }
    // The arrows' place is kept within this rectangle of the site (the view's bounds).
    virtual TRect GetArrowsClipBounds();

    void ShowDragImage(const TPoint& AMousePos);
    void HideDragImage();
    // Shows the arrows where the drop place wants them, leaving arrows already there alone.
    void UpdateArrows();
    void HideArrows();

private:
    std::unique_ptr<TBitmap> FDragImage;
    std::unique_ptr<TcxCanvas> FDragImageCanvas;
    TPoint FHotSpot{0, 0};
    TPoint FDragImagePoint{-1, -1};
    TPoint FMousePos{-1, -1};
    int FDragImageId = 0;
    int FArrowIds[2] = {0, 0};
    TRect FArrowBounds[2];
};

// The drop places of a moved column header.
enum TcxGridColumnDropPlace { dpNone, dpHeader, dpGroupByBox, dpCustomizationForm };

// Moving a column by its header, from the header, the group-by box or the customization form.
class TcxGridColumnHeaderMovingObject : public TcxCustomGridMovingObject {
    QZ_CLASS(TcxGridColumnHeaderMovingObject, TcxCustomGridMovingObject)
public:
    using TcxCustomGridMovingObject::TcxCustomGridMovingObject;
    ~TcxGridColumnHeaderMovingObject() override;

    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;

    // Null once the column is gone.
    TcxGridColumn* Column() const { return FColumn.Get(); }
    // Where the column came from: ckHeader, ckGroupByBox or ckCustomizationForm.
    int SourceKind() const { return FSourceKind; }
    TcxGridColumnDropPlace DropPlace() const { return FDropPlace; }
    // The insertion place in the drop container (null off the header and group-by box).
    TcxGridColumnContainerZone* DropZone() const { return FDropZone.get(); }

    // Dropping at the current place and zone would change the column.
    virtual bool ChangesSomething();
    // A drop off the header and group-by box would hide or ungroup the column.
    virtual bool CanRemove();

protected:
    TRect GetSourceItemBounds() override;
    void PaintSourceItem(TcxCanvas* ACanvas, const TRect& ABounds) override;
    bool GetArrowAreaBounds(TRect& R) override;
    bool CanShowArrows() override { return ChangesSomething(); }
    // The drop place and zone at P.
    virtual void CalculateDropPlace(const TPoint& P, TcxGridColumnDropPlace& APlace,
                                    std::unique_ptr<TcxGridColumnContainerZone>& AZone);
    // Two zones (either may be null) stand for the same drop.
    virtual bool IsSameZone(const TcxGridColumnContainerZone* A, const TcxGridColumnContainerZone* B);
    // The column is moved, grouped, ungrouped, hidden or shown by the drop.
    virtual void ApplyDrop();
    // Puts the column where the header zone says (its visibility and grouping aside).
    virtual void MoveToHeaderZone(TcxGridColumn* AColumn);
    // The source header cell (header or group-by box), null for the customization form.
    TcxGridColumnHeaderViewInfo* SourceCell();
    // The hit test at P, the customization form's first.
    TcxCustomGridHitTest* HitTestAt(const TPoint& P);

private:
    TWeakRef<TcxGridColumn> FColumn;
    int FSourceKind = 0;
    TcxGridColumnDropPlace FDropPlace = dpNone;
    std::unique_ptr<TcxGridColumnContainerZone> FDropZone;
};

// Sizing by a drag: the size follows the mouse along one direction and an
// inverted line shows the new edge until the drop.
class TcxCustomGridSizingObject : public TcxGridDragAndDropObject {
    QZ_CLASS(TcxCustomGridSizingObject, TcxGridDragAndDropObject)
public:
    using TcxGridDragAndDropObject::TcxGridDragAndDropObject;
    ~TcxCustomGridSizingObject() override;

    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    void DirtyChanged() override;

    TPoint DestPoint() const { return FDestPoint; }
    int OriginalSize() const { return FOriginalSize; }
    // The starting size plus the way the mouse went, within the limits of the sized object.
    int CurrentSize();
    virtual bool IsHorizontalSizing() = 0;
    // The line marking the new edge, in site coordinates (empty when there is nothing to mark).
    virtual void GetSizingLine(TPoint& A, TPoint& B) = 0;
    bool SizingLineVisible() const { return FLineVisible; }

protected:
    virtual int GetOriginalSize() = 0;
    virtual void CheckSize(int& ASize) = 0;
    // Draws the line where it belongs now, leaving a line already there alone.
    void UpdateSizingLine();
    void HideSizingLine();

private:
    TPoint FDestPoint{0, 0};
    int FOriginalSize = 0;
    bool FLineVisible = false;
    TPoint FLineA, FLineB;
};

class TcxCustomGridColumnSizingObject : public TcxCustomGridSizingObject {
    QZ_CLASS(TcxCustomGridColumnSizingObject, TcxCustomGridSizingObject)
public:
    using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    // Null once the column is gone.
    TcxGridColumn* Column() const { return FColumn.Get(); }
    // The column's header cell in the layout as it stands now.
    TcxGridColumnHeaderViewInfo* ColumnHeaderViewInfo();

private:
    TWeakRef<TcxGridColumn> FColumn;
};

// Sizing a column's width on its header's right edge.
class TcxGridColumnHorzSizingObject : public TcxCustomGridColumnSizingObject {
    QZ_CLASS(TcxGridColumnHorzSizingObject, TcxCustomGridColumnSizingObject)
public:
    using TcxCustomGridColumnSizingObject::TcxCustomGridColumnSizingObject;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;
    bool IsHorizontalSizing() override { return true; }
    void GetSizingLine(TPoint& A, TPoint& B) override;

protected:
    int GetOriginalSize() override;
    void CheckSize(int& ASize) override;

private:
    void ForgetSizedColumn();
};

// Sizing a row's height on its indicator cell's bottom edge. The row is
// kept by its place among the view's rows, as its layout is made anew
// whenever the view scrolls.
class TcxGridRowSizingObject : public TcxCustomGridSizingObject {
    QZ_CLASS(TcxGridRowSizingObject, TcxCustomGridSizingObject)
public:
    using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
    void Init(const TPoint& AStartPoint, TcxCustomGridHitTest* AHitTest) override;
    void EndDragAndDrop(bool Accepted) override;
    TCursor GetDragAndDropCursor(bool Accepted) override;
    bool IsHorizontalSizing() override { return false; }
    void GetSizingLine(TPoint& A, TPoint& B) override;
    // The row's layout while it is shown, else null.
    TcxCustomGridRowViewInfo* RowViewInfo();

protected:
    int GetOriginalSize() override;
    void CheckSize(int& ASize) override;

private:
    int FRowIndex = -1;
    bool FIsNewItemRow = false;
};

// Holding a drag over a master row's detail tab makes that detail the row's active one.
class TcxGridDragOpenInfoMasterDataRowTab : public TcxGridDragOpenInfoTab {
    QZ_CLASS(TcxGridDragOpenInfoMasterDataRowTab, TcxGridDragOpenInfoTab)
public:
    TcxGridDragOpenInfoMasterDataRowTab(TcxGridLevel* ALevel, TcxGridMasterDataRow* AGridRow);
    ~TcxGridDragOpenInfoMasterDataRowTab() override;
    bool Equals(TcxCustomGridDragOpenInfo* AInfo) override;
    void Run() override;
    // Null once the row or its view is gone.
    TcxGridMasterDataRow* GridRow() const;

private:
    TcxCustomGridView* FGridView;
    int FRowIndex;
};

namespace cxGridTableMoving {
// Unit start-up: the table's hit tests name these drags.
void Initialize();
void Finalize();
// Starts moving AColumn from the customization form, pressed at ASitePoint
// of the view's site; false when the column may not be moved.
bool StartColumnDragFromCustomizationForm(TcxGridTableController* AController, TcxGridColumn* AColumn,
                                          const TPoint& ASitePoint);
}  // namespace cxGridTableMoving
