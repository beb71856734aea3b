// The completion items of a text edit: prefix search over the properties'
// lookup items, the current item, and stepping through the items with the
// keyboard or the wheel. The edit reaches it only through
// IcxTextEditLookupData, so descendants can supply other items.
#pragma once

#include "cxClasses.h"
#include "cxInnerListBox.h"
#include "cxTextEdit.h"

#include <string>

// What the lookup data needs of the edit that owns it.
class IcxTextEditLookupOwner {
public:
    virtual ~IcxTextEditLookupOwner() = default;
    virtual TcxCustomTextEditProperties* LookupProperties() = 0;
    // The edit's Text.
    virtual std::string LookupText() = 0;
    virtual bool LookupTextLock() = 0;
    virtual void SetLookupTextLock(bool AValue) = 0;
    // The edit itself (its style and font dress the list); nil when none.
    virtual TcxCustomTextEdit* LookupEdit() { return nullptr; }
};

class TcxCustomEditListBox;

// Directions of Go.
enum TcxLookupDirection { ldFirst, ldLast, ldNext, ldPrevious, ldPageUp, ldPageDown };

class IcxTextEditLookupData {
public:
    virtual ~IcxTextEditLookupData() = default;
    virtual bool ContainsText(const std::string& AText) = 0;
    virtual Variant GetCurrentKey() = 0;
    virtual std::string GetDisplayText(const Variant& AKey) = 0;
    virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
    virtual TNotifyEvent GetOnSelectItem() = 0;
    virtual void Go(TcxLookupDirection ADirection, bool ACycle) = 0;
    virtual bool IsEmpty() = 0;
    virtual bool Locate(std::string& AText, std::string& ATail, bool ANext) = 0;
    virtual void SelectItem() = 0;
    virtual void SelectItemByKey(const Variant& AKey) = 0;
    virtual void SetOnCurrentKeyChanged(TNotifyEvent Value) = 0;
    virtual void SetOnSelectItem(TNotifyEvent Value) = 0;
    virtual void SyncItemIndex() = 0;
    virtual void TextChanged() = 0;
};

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
    QZ_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)
public:
    explicit TcxCustomTextEditLookupData(IcxTextEditLookupOwner* AOwner = nullptr) : FOwner(AOwner) {}
    ~TcxCustomTextEditLookupData() override;
    // Data made from its class record gets its owner afterwards.
    void SetLookupOwner(IcxTextEditLookupOwner* AOwner) { FOwner = AOwner; }
    IcxTextEditLookupOwner* LookupOwner() const { return FOwner; }

    virtual std::string GetItem(int AIndex);
    virtual int GetItemCount();
    virtual bool Locate(std::string& AText, std::string& ATail, bool ANext, bool AResetOnFail);

    bool ContainsText(const std::string& AText) override;
    Variant GetCurrentKey() override { return Variant(FCurrentKey); }
    std::string GetDisplayText(const Variant& AKey) override;
    TNotifyEvent GetOnCurrentKeyChanged() override { return OnCurrentKeyChanged; }
    TNotifyEvent GetOnSelectItem() override { return OnSelectItem; }
    void Go(TcxLookupDirection ADirection, bool ACycle) override;
    bool IsEmpty() override { return GetItemCount() == 0; }
    bool Locate(std::string& AText, std::string& ATail, bool ANext) override
    {
        return Locate(AText, ATail, ANext, false);
    }
    void SelectItem() override;
    void SelectItemByKey(const Variant& AKey) override;
    void SetOnCurrentKeyChanged(TNotifyEvent Value) override { OnCurrentKeyChanged = std::move(Value); }
    void SetOnSelectItem(TNotifyEvent Value) override { OnSelectItem = std::move(Value); }
    void SyncItemIndex() override { SetItemIndex(FCurrentKey); }
    void TextChanged() override;

    // The current item's index. Data whose keys are not item indexes
    // answers a number that changes whenever its key does, so the edit can
    // still tell that a step or a choice changed the key.
    virtual int CurrentKey() const { return FCurrentKey; }
    void SetCurrentKey(int AKey);
    int ItemIndex() const { return FItemIndex; }
    // The highlighted item, shown by the list when there is one.
    void SetItemIndex(int AIndex);

    // ---- the list shown in a drop-down editor's popup ----
    // The class of the list (nil: the data shows no list).
    virtual TClass GetListBoxClass() const { return nullptr; }
    // Makes the list inside AParent when missing, dresses it as the edit,
    // fills it and highlights the item index.
    virtual void InitializeList(TWinControl* AParent);
    TcxCustomEditListBox* GetList() const { return FList.Get(); }
    virtual void PositionList(const TRect& ARect);
    // Whether the popup may take a client size (adjusted to whole items).
    virtual bool CanResizeList(TSize& ASize) { return true; }
    // The list's size for a width (0: its own) and a maximum height; empty
    // when the data has no opinion.
    virtual TSize GetListPreferredSize(int AListWidth, int AMaxHeight) { return TSize{0, 0}; }
    // Hooks: the popup is about to open; it has shown with the typed prefix;
    // the edit is about to go.
    virtual void DropDown() {}
    virtual void PopupShown(const std::string& APrefix) {}
    virtual void Deinitialize() {}
    // P (screen) lies over the list.
    bool IsMouseOverList(const TPoint& P);
    // The list's selection became the item index.
    virtual void ListSelectionChanged();
    // The list's rows follow the item count and texts.
    virtual void UpdateListItemCount();
    // An open list whose highlight moves without changing the text.
    bool ListVisible = false;

    TNotifyEvent OnCurrentKeyChanged;
    TNotifyEvent OnSelectItem;

protected:
    void DoSelectItem();
    TcxTextEditingStyle EditingStyle();

    // The list's item heights may have changed (a hook of InitializeList).
    virtual void UpdateItemHeights() {}

private:
    int FCurrentKey = -1;
    int FItemIndex = -1;
    IcxTextEditLookupOwner* FOwner;
    // The list belongs to the popup window it is made in.
    TWeakRef<TcxCustomEditListBox> FList;
};

// The owner-drawn list of the drop-down editors' items: one line of text
// per item, the item under the mouse selected while hot-tracking, the wheel
// scrolling by the system's wheel lines, and a handler told of every
// selection.
class TcxCustomEditListBox : public TcxCustomInnerListBox {
    QZ_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
public:
    explicit TcxCustomEditListBox(TComponent* AOwner = nullptr);
    // The height of an item: the font's line height plus 2 (AIndex -1: any item).
    virtual int GetItemHeight(int AIndex = -1);
    // Draws an item itself instead of the plain text; false leaves it to the list.
    virtual bool DoDrawItem(int AIndex, const TRect& ARect, TOwnerDrawState AState) { return false; }
    // Selects an item as a click does, telling the handler.
    void SelectItemIndex(int AIndex);
    bool HotTrack = false;
    TNotifyEvent OnSelectItem;

protected:
    void Click() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DrawItem(int AIndex, TRect ARect, TOwnerDrawState AState) override;
    void MeasureItem(int AIndex, int& AHeight) override;
};
