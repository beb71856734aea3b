// The lookup editors' base: a combo editor whose drop-down shows the records
// of a list data controller in a small grid and whose edit value is a key
// naming one record. Here the key is the record index; the data-aware
// lookup edit uses key field values instead, and the lookup combo box
// supplies the grid.
//
// The properties reach the list and its data controller only through the
// virtual operations below (the lookup protocol), the lookup data keeps the
// current key, searches typed text (filtering the open list as the user
// types) and drives the drop-down's life cycle, and the edit keeps its
// value and its text in step.
#pragma once

#include "cxDropDownEdit.h"

#include <functional>
#include <string>

class TcxCustomDataController;
class TcxCustomLookupEdit;

// The list closed itself (a click on a row, Enter or Esc); AAccept says
// whether its row is taken.
using TcxLookupEditListCloseUpEvent = std::function<void(TObject* Sender, bool AAccept)>;

class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
    QZ_CLASS(TcxCustomLookupEditProperties, TcxCustomComboBoxProperties)
public:
    explicit TcxCustomLookupEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomLookupEditProperties() override;
    void Assign(TPersistent* Source) override;

    TClass GetEditClass() const override;
    TClass GetLookupDataClass() const override;
    int GetDisplayFormatOptions() override { return 0; }
    // Any key is a value the edit can hold: its text comes from the list.
    bool IsEditValueValid(const Variant&) override { return true; }
    bool IsEditValueValid(const Variant&, bool) override { return true; }
    // 1 when the key is the list text itself, else 0 (the data-aware
    // properties may also answer 2).
    unsigned UsesDisplayFormatting(bool AFocused) override { return KeyIsListText() ? 1 : 0; }
    uint16_t GetSupportedOperations() override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    bool FindLookupText(const std::string& AText) override;
    bool IsPopupKey(uint16_t AKey, TShiftState AShift) override;

    bool DropDownAutoSize() const { return PopupAutoSize(); }
    void SetDropDownAutoSize(bool Value) { SetPopupAutoSize(Value); }
    int DropDownHeight() const { return PopupHeight(); }
    void SetDropDownHeight(int Value) { SetPopupHeight(Value); }
    bool IncrementalFiltering() const { return FIncrementalFiltering; }
    void SetIncrementalFiltering(bool Value);
    int ListFieldIndex() { return GetListFieldIndex(); }

    // ---- the lookup protocol ----
    // The control shown in the drop-down.
    virtual TWinControl* GetListControl() { return GetLookupGrid(); }
    virtual bool AdjustsListHeight() { return true; }
    virtual int GetListColumnCount() { return 0; }
    virtual TWinControl* GetLookupGrid() { return nullptr; }
    virtual TcxCustomDataController* GetListDataController() { return nullptr; }
    virtual int GetListPreferredWidth() { return 0; }
    virtual int AdjustListHeight(int AHeight) { return AHeight; }
    // The list's height for ARowCount rows.
    virtual int GetListHeight(int ARowCount) { return 0; }
    // P in the list's client coordinates lies over one of its rows.
    virtual bool IsPointOverList(const TPoint& P) { return false; }
    virtual void ListClosed() {}
    virtual void ListPopupShown(const std::string& AText) {}
    virtual void SetListEvents(TcxLookupEditListCloseUpEvent ACloseUp, TNotifyEvent AFocusedRowChanged,
                               TNotifyEvent AClick)
    {
    }
    virtual void ListOpening() {}
    virtual void InitListAppearance(TcxLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) {}
    virtual void LockListMouseMove() {}
    virtual void MakeFocusedRowVisible() {}
    virtual void ReleaseListMouse() {}
    virtual void UnsubscribeDataChanged();
    // The first record from the top whose text in list column AListIndex is
    // AText (APartial: begins with it), without regard to case; -1 for none.
    virtual int FindByText(int AListIndex, const std::string& AText, bool APartial);
    virtual int GetListFieldIndex() { return FListFieldIndex; }
    virtual std::string GetDisplayTextByKey(const Variant& AKey) { return std::string(); }
    virtual bool GetIncrementalFiltering() { return FIncrementalFiltering; }
    // The list column whose text is the edit's: the list field index within
    // the columns (-1 without columns).
    virtual int GetListIndex();
    virtual Variant GetNullKey() { return Null(); }
    // The list data controller's data changed: every edit reads its text
    // again, unless the change came from a lookup itself.
    virtual void DataChanged(TObject* Sender);
    virtual void SubscribeDataChanged();
    virtual bool IsLocked() { return FLockCount > 0; }
    virtual bool IsLocating();
    virtual bool IsDefinedByLookup() { return IsLookupField(); }
    virtual bool KeyIsListText() { return false; }
    virtual void BeginLocate();
    // Clamped to the columns there are.
    virtual void SetListFieldIndex(int Value);
    virtual void EndLocate();
    virtual void DetachList();
    virtual bool IsLookupField() { return false; }

    // While locked, the list's data-change notices are the lookup's own.
    void LockDataChanged() { ++FLockCount; }
    void UnlockDataChanged() { --FLockCount; }
    bool DataChanging() const { return FDataChanging; }

protected:
    // The stored list field index, unclamped.
    int StoredListFieldIndex() const { return FListFieldIndex; }
    void StoreListFieldIndex(int Value) { FListFieldIndex = Value; }

private:
    int FListFieldIndex = 0;
    int FLockCount = 0;
    bool FDataChanging = false;
    bool FIncrementalFiltering = true;
};

class TcxCustomLookupEditLookupData : public TcxCustomTextEditLookupData {
    QZ_CLASS(TcxCustomLookupEditLookupData, TcxCustomTextEditLookupData)
public:
    TcxCustomLookupEditLookupData() = default;
    ~TcxCustomLookupEditLookupData() override;

    // ---- what the edit asks of its lookup data ----
    bool CanResizeList(TSize& ASize) override;
    // The popup closed.
    void SyncItemIndex() override;
    void Deinitialize() override;
    // The popup is about to open.
    void DropDown() override;
    void PopupShown(const std::string& AText) override;
    bool ContainsText(const std::string& AText) override;
    Variant GetCurrentKey() override { return FCurrentKey; }
    // Counts the changes of the key (the key itself need not be a number).
    int CurrentKey() const override { return FKeyChanges; }
    std::string GetDisplayText(const Variant& AKey) override;
    TSize GetListPreferredSize(int AListWidth, int AMaxHeight) override;
    void Go(TcxLookupDirection ADirection, bool ACycle) override;
    void InitializeList(TWinControl* AParent) override;
    bool IsEmpty() override;
    bool Locate(std::string& AText, std::string& ATail, bool ANext) override;
    bool Locate(std::string& AText, std::string& ATail, bool ANext, bool) override
    {
        return Locate(AText, ATail, ANext);
    }
    void PositionList(const TRect& ARect) override;
    void SelectItem() override;
    void SelectItemByKey(const Variant& AKey) override;
    void TextChanged() override;

    // Makes a key current without moving the list to it (the list follows
    // the key as it opens or as the keys move from it).
    void ChangeCurrentKey(const Variant& AKey) { SetCurrentKeyValue(AKey); }
    TWinControl* GetListControl();
    // P (screen) lies over a row of the list.
    bool IsMouseOverListControl(const TPoint& P);
    // The drop-down list is shown.
    bool Visible() const { return ListVisible; }

    // ---- the lookup data's own operations ----
    virtual void DoCurrentKeyChanged();
    virtual void SetCurrentKeyByRecord(int ARecordIndex);
    // Focuses the record of the current key.
    virtual void SyncFocusedRecord();
    virtual void ListClick(TObject* Sender) { SelectItem(); }
    virtual void ListCloseUp(TObject* Sender, bool AAccept);
    virtual void ListFocusedRowChanged(TObject* Sender) {}
    virtual bool IsFocusedRowSelected();
    // Focuses the record whose list text is AText as a whole and makes its
    // key current; false (nothing focused anew) when there is none.
    virtual bool LocateText(const std::string& AText);
    virtual void ResetIncrementalFilter();
    void SyncAndShowFocusedRecord();
    // After the edit's text changed: the record of that text is focused.
    virtual void UpdateFocusedRecordByText();
    // The open popup follows the filtered list's row count.
    virtual void UpdateDropDownHeight();

    TcxCustomLookupEdit* Edit() const;
    TcxCustomLookupEditProperties* Properties() const;
    TcxCustomDataController* DataController() const;

protected:
    // Stores the key, telling the handler when it is another one.
    void SetCurrentKeyValue(const Variant& AKey);
    void SetFocusedRowSelected(bool ASelected);
    // Runs AAction with the properties' data-change notices locked.
    void Locked(const std::function<void()>& AAction);

private:
    Variant FCurrentKey = Null();
    int FKeyChanges = 0;
    // The drop-down's locate is open.
    bool FDropDownLocating = false;
};

class TcxCustomLookupEdit : public TcxCustomComboBox {
    QZ_CLASS(TcxCustomLookupEdit, TcxCustomComboBox)
public:
    explicit TcxCustomLookupEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxCustomLookupEditProperties::StaticClass(); }
    TcxCustomLookupEditProperties* Properties() const
    {
        return static_cast<TcxCustomLookupEditProperties*>(ActiveProperties());
    }
    // The lookup data (nil while the properties are not a lookup edit's).
    TcxCustomLookupEditLookupData* ILookupData();

    void SynchronizeDisplayValue() override;
    void PropertiesChanged(TObject* Sender) override;
    void DropDown() override;
    // The open popup's size and place follow its content again.
    void UpdateDropDownWindow() { UpdatePopupWindow(); }
    Variant DisplayValueToEditValue(const std::string& AText) override;

protected:
    void BeforeRepositoryItemChange() override;
    // Lookup properties: the edit shows the text of its key.
    bool HasLookupProperties() const
    {
        return dynamic_cast<TcxCustomLookupEditProperties*>(ActiveProperties()) != nullptr;
    }
};
