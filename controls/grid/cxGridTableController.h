// The table view's controller: keys over rows and cells with the new-item
// row, the horizontal scroll position (LeftPos), sorting by a click on a
// column header, the scroll bars and paging by rows, scrolling while a
// column or row is dragged near the edges, the customization form switch
// and the column that keeps its width while another one is sized.
#pragma once

#include "cxGridTableView.h"

#include <functional>
#include <memory>

class TcxGridTableViewInfo;
class TForm;
class TTimer;

// Where a drag near the edges of the data scrolls the view.
enum TcxGridDragScrollDirection { dsdNone, dsdLeft, dsdRight, dsdUp, dsdDown };

class TcxGridTableController;
using TcxGridCustomizationFormFactory = std::function<TForm*(TcxGridTableController*)>;

class TcxGridTableController : public TcxCustomGridTableController {
    QZ_CLASS(TcxGridTableController, TcxCustomGridTableController)
public:
    explicit TcxGridTableController(TcxCustomGridView* AGridView);
    ~TcxGridTableController() override;
    void BeforeDestruction() override;

    TcxGridTableView* GridView() const;
    TcxGridTableViewInfo* ViewInfo() const;
    TcxGridColumn* FocusedColumn() const;
    void SetFocusedColumn(TcxGridColumn* AValue) { SetFocusedItem(AValue); }

    // ---- the horizontal scroll position, kept within 0 .. data width - client width
    int LeftPos() const { return FLeftPos; }
    void SetLeftPos(int AValue);
    // The largest LeftPos the layout allows.
    int GetMaxLeftPos();
    // A change the painted image cannot show by shifting: the layout is made anew.
    virtual void LeftPosChanged();

    // ---- the header the mouse pressed (kept in the view, where the header cells set it)
    TcxGridColumn* PressedColumn() const;
    void SetPressedColumn(TcxGridColumn* AValue);

    // ---- sorting by a click on a column header: Ctrl takes the column's
    // sorting off, Shift adds it to the others, a plain click sorts by it alone
    // (grouped columns keep theirs); a sorted column turns round.
    virtual void DoColumnHeaderSorting(TcxGridColumn* AColumn, TShiftState AShift);

    // ---- customization form
    bool Customization() const { return FCustomization; }
    void SetCustomization(bool AValue);
    TForm* CustomizationForm() const { return FCustomizationForm; }
    // The stored screen rectangle when set, else 180 x 300 at the bottom
    // right of the site's client area, not above the header's bottom.
    TRect GetCustomizationFormBounds();
    TRect CustomizationFormBounds;
    // Called by the form as it goes by itself: the switch goes off without freeing it again.
    void CustomizationFormDestroying(TForm* AForm);

    // ---- classes the controller makes
    virtual TClass GetColumnHeaderMovingObjectClass();
    // A column keeps its width while another is sized: it is the one being
    // sized, or it stands left of it and that one is not the last column.
    virtual bool IsColumnFixedDuringHorzSizing(TcxGridColumn* AColumn);

    // ---- keys, mouse, scrolling
    void DoKeyDown(WORD& Key, TShiftState Shift) override;
    bool IsKeyForMultiSelect(WORD AKey, TShiftState AShift, bool AFocusedRecordChanged) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CancelMouseOperations() override;
    void InitScrollBarsParameters() override;
    void Scroll(TScrollBarKind AKind, TScrollCode ACode, int& APosition) override;
    TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override { return mwskVertical; }
    bool IsScrollBarPageAdjustable(TScrollBarKind AKind) override { return AKind == sbHorizontal; }
    void ScrollPageDown() override;
    void ScrollPageUp() override;
    void MakeItemVisible(TcxCustomGridTableItem* AItem) override;
    bool CanAppend() override;
    bool CanDelete(bool ACheckOptions) override;
    void DoExit() override;

    // ---- scrolling while dragging (a column header or a row edge)
    TcxGridDragScrollDirection GetDragScrollDirectionAt(int X, int Y);
    TcxGridDragScrollDirection DragScrollDirection() const { return FDragScrollDirection; }
    void SetDragScrollDirection(TcxGridDragScrollDirection AValue);
    TTimer* TableDragScrollTimer() const { return FTableDragScrollTimer.get(); }
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;

    // ---- the new-item row
    bool IsNewItemRowFocused();
    void FocusNewItemRow();

private:
    void DragScrollTimerTick();
    bool CanScrollInDirection(TcxGridDragScrollDirection ADirection);
    void InvalidateColumnHeaders(TcxGridColumn* AColumn);
    bool HasNewItemRow();
    bool BeforeBaseKeyDown(WORD& Key, TShiftState Shift);
    void AfterBaseKeyDown(WORD& Key, TShiftState Shift);
    int FLeftPos = 0;
    bool FCustomization = false;
    TForm* FCustomizationForm = nullptr;
    TcxGridDragScrollDirection FDragScrollDirection = dsdNone;
    std::unique_ptr<TTimer> FTableDragScrollTimer;
};

namespace cxGridTableController {
// Unit start-up: the table view makes this controller.
void Initialize();
// The column moving object and the customization form come from units of
// their own, which hand them in at start-up.
void SetColumnHeaderMovingObjectClass(TClass AClass);
void SetCustomizationFormFactory(const TcxGridCustomizationFormFactory& AFactory);
// Drag scrolling: the timer's interval, the width of the edge zones and the step sideways.
constexpr int DragScrollInterval = 35;
constexpr int DragScrollZoneWidth = 15;
constexpr int HorzScrollStep = 10;
}  // namespace cxGridTableController
