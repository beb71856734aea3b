#include "cxGridFilterPopup.h"

#include "cxFilterConsts.h"
#include "cxGrid.h"
#include "cxGridTableLayout.h"
#include "cxGridTableView.h"
#include "cxListBox.h"
#include "cxLookAndFeels.h"
#include "StringLists.h"
#include "Windows.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxGridFilterPopup, TcxCustomPopupWindow)

IcxGridFilterPopupButton::~IcxGridFilterPopupButton()
{
    if (FFilterPopup) FFilterPopup->DetachButton(true);
}

namespace {

// The frame the drop-down draws around its list for a look and feel.
TcxPopupFrameStyle FilterPopupFrameStyle(TcxLookAndFeel* ALookAndFeel)
{
    switch (ALookAndFeel ? ALookAndFeel->GetEffectiveKind() : lfStandard) {
    case lfStandard: return pfsRaised3D;
    case lfFlat: return pfsRaised;
    default: return pfsSingle;
    }
}

}  // namespace

TcxGridFilterPopup::TcxGridFilterPopup(TcxCustomGridTableView* AGridView)
    : TcxCustomPopupWindow(AGridView->Site()), FGridView(AGridView)
{
    // No modal loop: choosing an entry lays the view out anew, which frees
    // the header cell whose click opened the drop-down; that click must
    // have returned by then.
    Modal = false;
    HorzAlignment = phaRight;
    VertAlignment = pvaBottom;
    SetTakesFocus(true);
    SetTopMostWithOwner(true);
    FDisplayStrings = std::make_unique<TStringList>();
    FValueList.reset(static_cast<TcxDataFilterValueList*>(AGridView->DataController()->Filter()->CreateValueList()));
    FListBox = new TcxListBox(this);
    FListBox->SetParent(this);
    FListBox->SetListStyle(lbOwnerDrawFixed);
    FListBox->Style()->SetBorderStyle(cbsNone);
    FListBox->Style()->SetHotTrack(false);
    FListBox->Style()->SetTransparentBorder(false);
    FListBox->OnDrawItem = [this](TcxListBox*, TcxCanvas* ACanvas, int AIndex, TRect ARect, TOwnerDrawState AState) {
        DrawItem(ACanvas, AIndex, ARect, AState);
    };
    FListBox->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) {
        FListBox->SetItemIndex(FListBox->ItemAtPos(Point(X, Y), true));
    };
    FListBox->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int X, int Y) {
        ApplyFilter(FListBox->ItemAtPos(Point(X, Y), true));
    };
    FListBox->OnKeyDown = [this](TObject*, uint16_t& AKey, TShiftState) {
        if (AKey == VK_RETURN) {
            AKey = 0;
            ApplyFilter(FListBox->ItemIndex());
        } else if (AKey == VK_ESCAPE) {
            AKey = 0;
            ClosePopup();
        }
    };
}

TcxGridFilterPopup::~TcxGridFilterPopup()
{
    if (FFilterButton) FFilterButton->FFilterPopup = nullptr;
    FFilterButton = nullptr;
}

void TcxGridFilterPopup::DetachButton(bool AButtonGoing)
{
    IcxGridFilterPopupButton* old = FFilterButton;
    if (!old) return;
    // A button that goes is not asked anything more: it is forgotten before
    // the drop-down closes.
    old->FFilterPopup = nullptr;
    FFilterButton = nullptr;
    if (IsPoppedUp()) ClosePopup();
    if (!AButtonGoing) old->FilterPopupClosed();
}

void TcxGridFilterPopup::SetFilterButton(IcxGridFilterPopupButton* AValue)
{
    if (AValue == FFilterButton) return;
    DetachButton(false);
    FFilterButton = AValue;
    if (AValue) {
        if (AValue->FFilterPopup && AValue->FFilterPopup != this) AValue->FFilterPopup->DetachButton(false);
        AValue->FFilterPopup = this;
    }
}

void TcxGridFilterPopup::Popup(IcxGridFilterPopupButton* AButton)
{
    SetFilterButton(AButton);
    if (!FFilterButton) return;
    TcxCustomPopupWindow::Popup(FListBox);
}

void TcxGridFilterPopup::InitPopup()
{
    TcxCustomPopupWindow::InitPopup();
    TcxCustomGrid* grid = FGridView->Grid();
    SetFrameStyle(FilterPopupFrameStyle(grid ? grid->LookAndFeel() : nullptr));
    if (grid) Font()->Assign(grid->Font());
    const TRect button = FFilterButton->FilterPopupButtonBounds();
    const TRect header = FFilterButton->FilterPopupHeaderBounds();
    AnchorBounds = TRect{header.Left, button.Top, header.Right, button.Bottom};
    AnchorParent = FGridView->Site();
    if (grid) FListBox->Style()->LookAndFeel()->SetMasterLookAndFeel(grid->LookAndFeel());
    FListBox->SetFont(Font());
    FListBox->InnerListBox()->Canvas()->Font()->Assign(Font());
    LoadValues();
    CalculateListSize();
    FListBox->SetItems(FDisplayStrings.get());
    TcxCustomGridTableItem* column = Column();
    TcxFilterCriteriaItem* condition = FGridView->DataController()->Filter()->FindItemByItemLink(column);
    FListBox->SetItemIndex(condition ? FValueList->GetItemIndexByCriteriaItem(condition) : -1);
}

void TcxGridFilterPopup::LoadValues()
{
    Column()->DataBinding()->GetFilterStrings(FDisplayStrings.get(), FValueList.get());
}

void TcxGridFilterPopup::CalculateListSize()
{
    TCanvas* canvas = FListBox->InnerListBox()->Canvas();
    const int count = FDisplayStrings->Count();
    const int rows = FGridView->Filtering()->GetDropDownCount(count);
    const int itemHeight = canvas->TextHeight("Qq");
    FListBox->SetItemHeight(itemHeight);
    int width = FGridView->Filtering()->DropDownWidth();
    if (width == 0) {
        for (int i = 0; i < count; ++i) width = std::max(width, canvas->TextWidth(FDisplayStrings->Strings(i)));
        width += 4;
    }
    if (rows < count) width += GetSystemMetrics(SM_CXVSCROLL);
    const int borders = GetHorzFramesWidth();
    const int headerWidth = FFilterButton->FilterPopupHeaderBounds().Width();
    if (width + borders < headerWidth) width = headerWidth - borders;
    // The base sizes the window around the list and moves the list inside
    // the frame, from the origin every time.
    FListBox->SetBounds(0, 0, width, rows * itemHeight);
}

void TcxGridFilterPopup::DrawItem(TcxCanvas* ACanvas, int AIndex, const TRect& ARect, TOwnerDrawState AState)
{
    ACanvas->FillRect(ARect);
    TRect text = ARect;
    text.Left += 2;
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->DrawText(FDisplayStrings->Strings(AIndex), text, ctfLeft | ctfTop | ctfSingleLine);
    ACanvas->Brush()->SetStyle(bsSolid);
    if (AState.Contains(odFocused)) ACanvas->DrawFocusRect(ARect);
}

void TcxGridFilterPopup::ClosePopup(bool ACallCloseQuery)
{
    const bool wasOpen = IsPoppedUp();
    TcxCustomPopupWindow::ClosePopup(ACallCloseQuery);
    if (!wasOpen || IsPoppedUp()) return;
    FListBox->Clear();
    if (TcxGridSite* site = FGridView->Site()) site->FocusChanged();
}

void TcxGridFilterPopup::VisibleChanged()
{
    TcxCustomPopupWindow::VisibleChanged();
    if (!Visible() && FFilterButton) FFilterButton->FilterPopupClosed();
}

void TcxGridFilterPopup::Paint() { DrawPopupFrame(); }

void TcxGridFilterPopup::ApplyFilter(int AIndex)
{
    TcxCustomGridTableItem* column = Column();
    ClosePopup();
    if (AIndex < 0 || AIndex >= FValueList->Count() || !column) return;
    // The entry is copied: what follows may load the list again.
    const TcxFilterValueItem entry = *FValueList->Items(AIndex);
    const std::string displayText = AIndex < FDisplayStrings->Count() ? FDisplayStrings->Strings(AIndex) : entry.DisplayText;
    switch (entry.Kind) {
    case fviCustom:
        // The dialog runs outside an update of the filter, so that what it
        // applies while it is open shows at once.
        FGridView->Filtering()->RunCustomizeDialog(column);
        return;
    case fviUser:
        // The application's own entry changes no condition: its handler decides.
        column->DoUserFiltering(entry.Value, displayText);
        return;
    default: break;
    }
    TcxDataFilterCriteria* filter = FGridView->DataController()->Filter();
    filter->BeginUpdate();
    try {
        if (entry.Kind == fviBlanks || entry.Kind == fviNonBlanks || entry.Kind == fviValue) filter->SetActive(true);
        switch (entry.Kind) {
        case fviAll: filter->RemoveItemByItemLink(column); break;
        case fviBlanks:
        case fviNonBlanks:
            column->DataBinding()->AddToFilter(entry.Kind == fviBlanks ? foEqual : foNotEqual, entry.Value,
                                               cxFilterConsts::GetFilterString(&cxSFilterBlankCaption));
            break;
        case fviValue: column->DataBinding()->AddToFilter(foEqual, entry.Value, entry.DisplayText); break;
        default: break;
        }
    } catch (...) {
        filter->EndUpdate();
        throw;
    }
    filter->EndUpdate();
}

// ---- the drop-down of the table view's header filter buttons -------------------------------------------

namespace {

// A header's filter button as the drop-down sees it.
class TcxGridHeaderFilterButtonLink : public IcxGridFilterPopupButton {
public:
    explicit TcxGridHeaderFilterButtonLink(TcxGridColumnHeaderFilterButtonViewInfo* AButton) : Button(AButton) {}
    TcxCustomGridTableItem* FilterPopupColumn() override { return Button->Column(); }
    TRect FilterPopupButtonBounds() override { return Button->Bounds; }
    TRect FilterPopupHeaderBounds() override { return Button->ColumnHeaderViewInfo()->Bounds; }
    void FilterPopupClosed() override;
    TcxGridColumnHeaderFilterButtonViewInfo* Button;
};

// One drop-down at a time: made for the view whose button was pressed, kept
// while that view lives and another view's button is not pressed.
struct TcxGridShownFilterPopup {
    std::unique_ptr<TcxGridFilterPopup> Popup;
    TcxCustomGridView* View = nullptr;   // cleared by the view as it goes
    std::unique_ptr<TcxGridHeaderFilterButtonLink> Link;

    void Release()
    {
        Link.reset();
        Popup.reset();
        if (View) View->RemoveReference(&View);
        View = nullptr;
    }
};

TcxGridShownFilterPopup& ShownFilterPopup()
{
    static TcxGridShownFilterPopup shown;
    return shown;
}

void SetFilterPopupVisible(bool AValue)
{
    if (auto* view = DynamicCast<TcxGridTableView>(ShownFilterPopup().View)) view->FilterPopupVisible = AValue;
}

void TcxGridHeaderFilterButtonLink::FilterPopupClosed()
{
    SetFilterPopupVisible(false);
    if (Button->State() == gcsPressed) Button->SetState(gcsNormal);
}

void ShowHeaderFilterPopup(TcxGridColumnHeaderFilterButtonViewInfo* AButton)
{
    TcxGridShownFilterPopup& shown = ShownFilterPopup();
    TcxGridTableView* view = AButton->ColumnHeaderViewInfo()->TableView();
    if (shown.Popup && shown.View != view) shown.Release();
    if (!shown.Popup) {
        shown.Popup = std::make_unique<TcxGridFilterPopup>(view);
        shown.View = view;
        view->AddReference(&shown.View);
    }
    if (shown.Link) {
        // The last button is let go quietly; one still drawn pressed is drawn normal.
        TcxGridColumnHeaderFilterButtonViewInfo* last = shown.Link->Button;
        shown.Link.reset();
        if (last != AButton && last->State() == gcsPressed) last->SetState(gcsNormal);
    }
    auto link = std::make_unique<TcxGridHeaderFilterButtonLink>(AButton);
    shown.Popup->Popup(link.get());
    shown.Link = std::move(link);
    SetFilterPopupVisible(shown.Popup->IsPoppedUp());
}

void HeaderFilterButtonGoing(TcxGridColumnHeaderFilterButtonViewInfo* AButton)
{
    TcxGridShownFilterPopup& shown = ShownFilterPopup();
    if (!shown.Link || shown.Link->Button != AButton) return;
    // The link goes with the button: the drop-down closes without asking it anything.
    shown.Link.reset();
    SetFilterPopupVisible(false);
    if (shown.View && shown.View->IsDestroying()) shown.Release();
}

}  // namespace

namespace cxGridFilterPopup {

TcxGridFilterPopup* ShownPopup() { return ShownFilterPopup().Popup.get(); }

void Initialize()
{
    cxGridTableLayout::SetShowFilterPopup(ShowHeaderFilterPopup);
    cxGridTableLayout::SetHideFilterPopup(HeaderFilterButtonGoing);
}

void Finalize()
{
    cxGridTableLayout::SetShowFilterPopup(nullptr);
    cxGridTableLayout::SetHideFilterPopup(nullptr);
    ShownFilterPopup().Release();
}

}  // namespace cxGridFilterPopup
