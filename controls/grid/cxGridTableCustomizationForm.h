// The customization form of a table view: a small tool window listing the
// columns the user has taken off the header, from which they are dragged
// back; headers dragged into it hide their columns.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "cxGridTableView.h"

#include <functional>
#include <memory>

class TcxCustomGridTableController;
class TcxGridTableCustomizationForm;

// A list of a view's items drawn like column headers. An item pressed and
// dragged out of it starts moving that item.
class TcxCustomGridTableItemsListBox : public TListBox {
    QZ_CLASS(TcxCustomGridTableItemsListBox, TListBox)
public:
    // Made on the form that owns it.
    explicit TcxCustomGridTableItemsListBox(TComponent* AOwner = nullptr);
    ~TcxCustomGridTableItemsListBox() override;
    TcxGridTableCustomizationForm* Form() const { return FForm; }
    TcxGridTableView* GridView() const;
    TcxCanvas* CxCanvas() const { return FCxCanvas.get(); }
    // Fills the list again and takes the item height anew.
    virtual void RefreshItems() {}
    // What the item at AIndex shows and stands for.
    TcxCustomGridTableItem* ItemObject(int AIndex) const;
    // The press waiting to become a drag (-1: none).
    int DragItemIndex() const { return FDragItemIndex; }
    // Draws item AIndex as a header, unfocused when AFocused is false (the drag image uses it).
    void PaintItem(TcxCanvas* ACanvas, int AIndex, const TRect& ARect, bool AFocused);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void WndProc(TMessage& Message) override;
    void CalculateItemHeight();
    int HeaderBorderSize() const;
    // Hands the item to the view to move, from the press point in list coordinates.
    virtual void StartItemDrag(TcxCustomGridTableItem* AItem, const TPoint& APressPoint);

private:
    TcxGridTableCustomizationForm* FForm;
    std::unique_ptr<TcxCanvas> FCxCanvas;
    int FDragItemIndex = -1;
    TPoint FDragPoint;
};

class TcxGridTableColumnsListBox : public TcxCustomGridTableItemsListBox {
    QZ_CLASS(TcxGridTableColumnsListBox, TcxCustomGridTableItemsListBox)
public:
    using TcxCustomGridTableItemsListBox::TcxCustomGridTableItemsListBox;
    // The columns neither shown nor hidden from the form, by caption.
    void RefreshItems() override;
};

using TcxGridColumnDragStartEvent =
    std::function<void(TcxGridTableCustomizationForm* Sender, TcxGridColumn* AColumn, const TPoint& ASitePoint)>;

class TcxGridTableCustomizationForm : public TForm {
    QZ_CLASS(TcxGridTableCustomizationForm, TForm)
public:
    explicit TcxGridTableCustomizationForm(TcxCustomGridTableController* AController);
    ~TcxGridTableCustomizationForm() override;

    TcxCustomGridTableController* Controller() const { return FController; }
    TcxGridTableView* GridView() const;
    TPageControl* PageControl() const { return FPageControl; }
    TTabSheet* ColumnsPage() const { return FColumnsPage; }
    TcxGridTableColumnsListBox* ColumnsListBox() const { return FColumnsListBox; }
    TTimer* Timer() const { return FTimer.get(); }
    int Offset() const { return FOffset; }
    int Spacing() const { return 2 * FOffset; }

    // The lists again, and the tabs shown by the view's options.
    virtual void RefreshData();
    // Makes APage the active page when its tab shows.
    void ActivatePage(TTabSheet* APage);
    // 180 x 300, its bottom-right corner at that of the site's client area (screen coordinates).
    static TRect DefaultBounds(TcxGridSite* ASite);

    // The form went away on its own (closed, or freed with its owner): the
    // controller ends customizing.
    TNotifyEvent OnCustomizationEnded;
    // A column dragged out of the list: the controller starts moving it
    // from a point of the view's site.
    TcxGridColumnDragStartEvent OnStartColumnDrag;

protected:
    void CreateParams(TCreateParams& Params) override;
    void DoShow() override;
    void DoClose(TCloseAction& Action) override;
    virtual void TimerTick();
    virtual TClass GetColumnsListBoxClass() const { return TcxGridTableColumnsListBox::StaticClass(); }

private:
    TcxCustomGridTableController* FController;
    int FOffset = 0;
    TPageControl* FPageControl = nullptr;
    TTabSheet* FColumnsPage = nullptr;
    TcxGridTableColumnsListBox* FColumnsListBox = nullptr;
    std::unique_ptr<TTimer> FTimer;
    bool FEnding = false;
};

namespace cxGridTableCustomizationForm {
// Unit start-up: a table controller switched to customizing shows this form.
void Initialize();
void Finalize();
}  // namespace cxGridTableCustomizationForm
