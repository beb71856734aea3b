#include "cxGridTableCustomizationForm.h"

#include "cxControls.h"
#include "cxGraphics.h"
#include "cxGridCustomTableView.h"
#include "cxGridStrs.h"
#include "cxGridTableController.h"
#include "cxLookAndFeelPainters.h"
#include "Windows.h"

#include <cstdlib>

QZ_CLASS_IMPL(TcxCustomGridTableItemsListBox, TListBox)
QZ_CLASS_IMPL(TcxGridTableColumnsListBox, TcxCustomGridTableItemsListBox)
QZ_CLASS_IMPL(TcxGridTableCustomizationForm, TForm)

// ---- the item lists ------------------------------------------------------------------------------------

TcxCustomGridTableItemsListBox::TcxCustomGridTableItemsListBox(TComponent* AOwner)
    : TListBox(AOwner), FForm(DynamicCast<TcxGridTableCustomizationForm>(AOwner))
{
    FCxCanvas = std::make_unique<TcxCanvas>(Canvas());
    SetColor(clBtnFace);
    SetSorted(true);
    SetStyle(lbOwnerDrawFixed);
    SetBorderStyle(HeaderBorderSize() > 1 ? bsSingle : bsNone);
    CalculateItemHeight();
}

TcxCustomGridTableItemsListBox::~TcxCustomGridTableItemsListBox() = default;

TcxGridTableView* TcxCustomGridTableItemsListBox::GridView() const { return FForm ? FForm->GridView() : nullptr; }

TcxCustomGridTableItem* TcxCustomGridTableItemsListBox::ItemObject(int AIndex) const
{
    return DynamicCast<TcxCustomGridTableItem>(Items()->Objects(AIndex));
}

int TcxCustomGridTableItemsListBox::HeaderBorderSize() const
{
    TcxGridTableView* view = GridView();
    return view ? view->LookAndFeelPainter()->HeaderFrameWidth() : 1;
}

void TcxCustomGridTableItemsListBox::CalculateItemHeight()
{
    Canvas()->Font()->Assign(Font());
    SetItemHeight(Canvas()->TextHeight("Qq") + 2 * HeaderBorderSize() + 4);
}

void TcxCustomGridTableItemsListBox::CreateParams(TCreateParams& Params)
{
    TListBox::CreateParams(Params);
    Params.WindowClassStyle |= CS_HREDRAW;
}

void TcxCustomGridTableItemsListBox::CreateWnd()
{
    TListBox::CreateWnd();
    CalculateItemHeight();
}

void TcxCustomGridTableItemsListBox::PaintItem(TcxCanvas* ACanvas, int AIndex, const TRect& ARect, bool AFocused)
{
    TcxGridTableView* view = GridView();
    if (!view || AIndex < 0 || AIndex >= Items()->Count()) return;
    const int border = HeaderBorderSize();
    TRect inner = ARect;
    InflateRect(inner, -border, -border);
    TRect text = inner;
    InflateRect(text, -2, 0);
    ACanvas->Font()->SetColor(clBtnText);
    TcxCustomLookAndFeelPainterClass painter = view->LookAndFeelPainter();
    painter->DrawHeader(ACanvas, ARect, text, {}, cxBordersAll, AFocused ? cxbsHot : cxbsNormal, taLeftJustify,
                        vaCenter, false, view->OptionsView()->HeaderEndEllipsis(), Items()->Strings(AIndex),
                        ACanvas->Font(), clBtnText, clBtnFace);
    if (AFocused) {
        painter->DrawHeaderPressed(ACanvas, inner);
        ACanvas->DrawFocusRect(ARect);
    }
}

void TcxCustomGridTableItemsListBox::DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState)
{
    FCxCanvas->Font()->Assign(Font());
    PaintItem(FCxCanvas.get(), AIndex, ARect, AState.Contains(odFocused));
}

void TcxCustomGridTableItemsListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TListBox::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FDragItemIndex = ItemAtPos(Point(X, Y), true);
    FDragPoint = Point(X, Y);
}

void TcxCustomGridTableItemsListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TListBox::MouseMove(Shift, X, Y);
    if (FDragItemIndex < 0) return;
    const int index = FDragItemIndex;
    if (cxControls::IsWithinDragThreshold(FDragPoint, X, Y) && ItemAtPos(Point(X, Y), true) == index) return;
    FDragItemIndex = -1;
    if (index < Items()->Count()) StartItemDrag(ItemObject(index), FDragPoint);
}

void TcxCustomGridTableItemsListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FDragItemIndex = -1;
    TListBox::MouseUp(Button, Shift, X, Y);
}

void TcxCustomGridTableItemsListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE) {
        TcxGridTableView* view = GridView();
        if (view && view->Site() && view->Site()->DragAndDropState() != ddsNone) {
            view->Site()->FinishDragAndDrop(false);
            Key = 0;
            return;
        }
    }
    TListBox::KeyDown(Key, Shift);
}

void TcxCustomGridTableItemsListBox::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_CANCELMODE) FDragItemIndex = -1;
    TListBox::WndProc(Message);
}

void TcxCustomGridTableItemsListBox::StartItemDrag(TcxCustomGridTableItem* AItem, const TPoint& APressPoint)
{
    auto* column = DynamicCast<TcxGridColumn>(AItem);
    TcxGridTableView* view = GridView();
    if (!column || !view || !view->Site() || !FForm || !FForm->OnStartColumnDrag) return;
    // The press point as the view's site sees it.
    const TPoint p = view->Site()->ScreenToClient(ClientToScreen(APressPoint));
    FForm->OnStartColumnDrag(FForm, column, p);
}

void TcxGridTableColumnsListBox::RefreshItems()
{
    TcxGridTableView* view = GridView();
    Items()->BeginUpdate();
    try {
        Items()->Clear();
        if (view)
            for (int i = 0; i < view->ColumnCount(); ++i) {
                TcxGridColumn* column = view->Columns(i);
                if (!column->Hidden() && !column->Visible()) Items()->AddObject(column->Caption(), column);
            }
    } catch (...) {
        Items()->EndUpdate();
        throw;
    }
    Items()->EndUpdate();
    CalculateItemHeight();
}

// ---- the form ----------------------------------------------------------------------------------------------

TcxGridTableCustomizationForm::TcxGridTableCustomizationForm(TcxCustomGridTableController* AController)
    : TForm(nullptr), FController(AController)
{
    SetCaption(cxClasses::GetResourceString(&cxSGridCustomizationFormCaption));
    SetBorderStyle(bsSizeToolWin);
    if (TcxCustomGrid* grid = GridView()->Grid()) Font()->Assign(grid->Font());
    Canvas()->Font()->Assign(Font());
    FOffset = Canvas()->TextHeight("Qq") / 6;
    FPageControl = new TPageControl(this);
    FPageControl->SetParent(this);
    FPageControl->SetBounds(FOffset, FOffset, ClientWidth() - 2 * FOffset, ClientHeight() - 2 * FOffset);
    FPageControl->SetAnchors({akLeft, akTop, akRight, akBottom});
    FColumnsPage = new TTabSheet(this);
    FColumnsPage->SetPageControl(FPageControl);
    FColumnsPage->SetCaption(cxClasses::GetResourceString(&cxSGridCustomizationFormColumnsPageCaption));
    FColumnsListBox = static_cast<TcxGridTableColumnsListBox*>(GetColumnsListBoxClass()->Create(this));
    FColumnsListBox->SetParent(FColumnsPage);
    FColumnsListBox->SetAlign(alClient);
    RefreshData();
    // The view tells the open form when its columns change.
    GridView()->OnRefreshCustomizationForm = [this] { RefreshData(); };
}

TcxGridTableCustomizationForm::~TcxGridTableCustomizationForm()
{
    FTimer.reset();
    if (GridView()) GridView()->OnRefreshCustomizationForm = nullptr;
    if (!FEnding && OnCustomizationEnded) {
        FEnding = true;
        // Whoever ends customizing sees the form going and does not free it again.
        Destroying();
        TNotifyEvent ended = OnCustomizationEnded;
        ended(this);
    }
}

TcxGridTableView* TcxGridTableCustomizationForm::GridView() const
{
    return static_cast<TcxGridTableView*>(FController->GridView());
}

void TcxGridTableCustomizationForm::RefreshData()
{
    FColumnsPage->SetTabVisible(GridView()->OptionsCustomize()->ColumnMoving());
    FColumnsListBox->RefreshItems();
}

void TcxGridTableCustomizationForm::ActivatePage(TTabSheet* APage)
{
    if (APage && APage->TabVisible()) FPageControl->SetActivePage(APage);
}

TRect TcxGridTableCustomizationForm::DefaultBounds(TcxGridSite* ASite)
{
    const TRect client = ASite->ClientRect();
    const TPoint corner = ASite->ClientToScreen(client.BottomRight());
    return TRect{corner.X - 180, corner.Y - 300, corner.X, corner.Y};
}

void TcxGridTableCustomizationForm::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.Style |= WS_POPUP;
    if (TcxGridSite* site = GridView()->Site()) Params.WndParent = site->Handle();
}

void TcxGridTableCustomizationForm::DoShow()
{
    if (!FTimer) {
        FTimer = std::make_unique<TTimer>(nullptr);
        FTimer->SetInterval(100);
        FTimer->OnTimer = [this](TObject*) { TimerTick(); };
    }
    TForm::DoShow();
}

void TcxGridTableCustomizationForm::TimerTick()
{
    TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
    TcxGridSite* site = GridView()->Site();
    if (mainForm && mainForm->WindowState() == wsMinimized) {
        if (Visible()) Hide();
    } else if (!site || !site->HandleAllocated() || !IsWindowVisible(site->Handle())) {
        // Ending customization frees the form: nothing of it is used after this.
        FEnding = true;
        FTimer.reset();
        TNotifyEvent ended = OnCustomizationEnded;
        if (ended) ended(this);
    } else if (!Visible()) {
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        SetVisible(true);
    }
}

void TcxGridTableCustomizationForm::DoClose(TCloseAction& Action)
{
    TForm::DoClose(Action);
    FTimer.reset();
    Action = caFree;
}

namespace cxGridTableCustomizationForm {

void Initialize()
{
    cxGridTableController::SetCustomizationFormFactory([](TcxGridTableController* AController) -> TForm* {
        auto* form = new TcxGridTableCustomizationForm(AController);
        form->OnCustomizationEnded = [AController, form](TObject*) { AController->CustomizationFormDestroying(form); };
        return form;
    });
}

void Finalize() { cxGridTableController::SetCustomizationFormFactory(nullptr); }

}  // namespace cxGridTableCustomizationForm
