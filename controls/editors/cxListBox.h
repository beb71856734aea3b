// The stand-alone list box of the look-and-feel controls: a container with
// its border, style and hot tracking around an inner list box with
// painter-drawn scroll bars; owner drawing through its own events with a
// framework canvas; an integral height that counts the scroll bars; and a
// data binding through which a data-aware descendant shows and stores the
// chosen item's text (the plain binding changes nothing).
#pragma once

#include "cxContainer.h"
#include "cxDataUtils.h"
#include "cxInnerListBox.h"

#include <functional>
#include <memory>

class TcxListBox;

using TcxListBoxDrawItemEvent =
    std::function<void(TcxListBox* AControl, TcxCanvas* ACanvas, int AIndex, TRect ARect, TOwnerDrawState AState)>;
using TcxListBoxMeasureItemEvent = std::function<void(TcxListBox* AControl, int AIndex, int& Height)>;

class TcxInnerListBox : public TcxCustomInnerListBox {
    QZ_CLASS(TcxInnerListBox, TcxCustomInnerListBox)
public:
    explicit TcxInnerListBox(TComponent* AOwner = nullptr);
    TcxListBox* ListBox() const;
    bool CanFocus() const override;
    void Click() override;

protected:
    void DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState) override;
    void WndProc(TMessage& Message) override;
};

class TcxListBox : public TcxContainer {
    QZ_CLASS(TcxListBox, TcxContainer)
public:
    explicit TcxListBox(TComponent* AOwner = nullptr);
    ~TcxListBox() override;

    virtual bool DoDrawItem(TcxCanvas* ACanvas, int AIndex, TOwnerDrawState AState, const TRect& ARect);
    virtual TClass GetDataBindingClass() const { return TcxDataBinding::StaticClass(); }
    // A binding of that class for this list box.
    virtual std::unique_ptr<TcxCustomDataBinding> CreateDataBinding()
    {
        return std::make_unique<TcxDataBinding>(this, this);
    }
    virtual TClass GetInnerListBoxClass() const { return TcxInnerListBox::StaticClass(); }

    TcxInnerListBox* InnerListBox() const { return FInnerListBox; }
    TcxCustomDataBinding* DataBinding() const { return FDataBinding.get(); }
    int Count() const;
    void Clear();
    // The item at a point of the list box (-1, or the count when not Existing).
    int ItemAtPos(const TPoint& Pos, bool Existing) const;

    bool ExtendedSelect() const;
    void SetExtendedSelect(bool Value);
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TStrings* Items() const;
    // Writing also tells the binding, which selects its stored text.
    void SetItems(TStrings* Value);
    TListBoxStyle ListStyle() const;
    void SetListStyle(TListBoxStyle Value);
    bool MultiSelect() const;
    void SetMultiSelect(bool Value);
    int ScrollWidth() const;
    void SetScrollWidth(int Value);
    bool Sorted() const;
    void SetSorted(bool Value);
    bool AutoComplete() const;
    void SetAutoComplete(bool Value);
    // Writing also lays the painter bars out again.
    int Columns() const;
    void SetColumns(int Value);
    int TabWidth() const;
    void SetTabWidth(int Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    // The height a requested one snaps to: whole rows and the border, with
    // a horizontal bar's height when one shows (unchanged unless integral
    // heights apply).
    int GetIntegralHeight(int ARequestedHeight);
    // The row height of row AIndex for the list style.
    int GetRowHeight(int AIndex);

    TcxListBoxDrawItemEvent OnDrawItem;
    TcxListBoxMeasureItemEvent OnMeasureItem() const { return FOnMeasureItem; }
    void SetOnMeasureItem(TcxListBoxMeasureItemEvent Value);

    // The binding's notifications.
    void DataChange();
    void UpdateData();

protected:
    // Makes the binding again: the base constructor only reaches its own
    // CreateDataBinding, so a descendant with another binding calls this
    // from its constructor.
    void RecreateDataBinding();
    void AdjustInnerControl() override;
    bool CanResize(int& NewWidth, int& NewHeight) override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void FontChanged() override;
    void UpdateInnerControlAppearance() override;
    void WndProc(TMessage& Message) override;

private:
    bool IntegralHeightApplies() const;
    TcxInnerListBox* FInnerListBox = nullptr;
    bool FIsExitProcessing = false;
    std::unique_ptr<TcxCustomDataBinding> FDataBinding;
    TcxListBoxMeasureItemEvent FOnMeasureItem;
    bool FIntegralHeight = false;
    bool FAdjusting = false;
};
