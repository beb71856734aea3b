// The drop-down under a column header's filter button: the values the
// column can be filtered by, after "(All)", "(Custom...)", "(Blanks)" and
// "(NonBlanks)"; choosing one changes the view's filter at once.
#pragma once

#include "cxContainer.h"
#include "cxGridCustomTableView.h"

#include <memory>
#include <string>

class TcxGridFilterPopup;
class TcxListBox;
class TStringList;

// What the drop-down asks of the filter button it is shown for. A button
// that goes while the drop-down is open for it detaches itself, which
// closes the drop-down.
class IcxGridFilterPopupButton {
public:
    virtual ~IcxGridFilterPopupButton();
    // The column whose header holds the button.
    virtual TcxCustomGridTableItem* FilterPopupColumn() = 0;
    // The button's own bounds and those of the whole header cell, in the
    // site's client coordinates.
    virtual TRect FilterPopupButtonBounds() = 0;
    virtual TRect FilterPopupHeaderBounds() = 0;
    // The drop-down went out of sight: the button is drawn unpressed again.
    virtual void FilterPopupClosed() = 0;

private:
    friend class TcxGridFilterPopup;
    TcxGridFilterPopup* FFilterPopup = nullptr;
};

class TcxGridFilterPopup : public TcxCustomPopupWindow {
    QZ_CLASS(TcxGridFilterPopup, TcxCustomPopupWindow)
public:
    explicit TcxGridFilterPopup(TcxCustomGridTableView* AGridView);
    ~TcxGridFilterPopup() override;

    TcxCustomGridTableView* GridView() const { return FGridView; }
    IcxGridFilterPopupButton* FilterButton() const { return FFilterButton; }
    // Null detaches the button, closing the drop-down when it shows.
    void SetFilterButton(IcxGridFilterPopupButton* AValue);
    TcxCustomGridTableItem* Column() const { return FFilterButton ? FFilterButton->FilterPopupColumn() : nullptr; }
    TcxListBox* ListBox() const { return FListBox; }
    // The texts shown; string i is entry i of the value list.
    TStringList* DisplayStrings() const { return FDisplayStrings.get(); }
    TcxDataFilterValueList* ValueList() const { return FValueList.get(); }

    // Drops down for a filter button.
    void Popup(IcxGridFilterPopupButton* AButton);
    using TcxCustomPopupWindow::Popup;
    void ClosePopup(bool ACallCloseQuery = false) override;
    void InitPopup() override;
    void VisibleChanged() override;
    // Applies entry AIndex of the list (-1: nothing), closing the drop-down first.
    virtual void ApplyFilter(int AIndex);

protected:
    void Paint() override;
    virtual void LoadValues();
    virtual void CalculateListSize();
    virtual void DrawItem(TcxCanvas* ACanvas, int AIndex, const TRect& ARect, TOwnerDrawState AState);

private:
    friend class IcxGridFilterPopupButton;
    void DetachButton(bool AButtonGoing);
    TcxCustomGridTableView* FGridView;
    IcxGridFilterPopupButton* FFilterButton = nullptr;
    TcxListBox* FListBox = nullptr;
    std::unique_ptr<TStringList> FDisplayStrings;
    std::unique_ptr<TcxDataFilterValueList> FValueList;
};

namespace cxGridFilterPopup {
// Unit start-up: the table view's header filter buttons open the drop-down.
// Shutdown frees it.
void Initialize();
void Finalize();
// The drop-down the header buttons opened last (null when none is kept).
TcxGridFilterPopup* ShownPopup();
}  // namespace cxGridFilterPopup
