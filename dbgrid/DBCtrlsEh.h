// DBCtrlsEh: the data-aware controls of the grid suite and the field data
// link they share. A control bound through the link shows and writes a
// field (or a list of fields); with neither a data source nor a field name
// it works on its own, holding its value in the link.
#pragma once

#include "DB.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "ToolCtrlsEh.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFieldDataLinkEh;
using TFieldDataLinkEhEvent = std::function<void(TFieldDataLinkEh* link)>;

class TFieldDataLinkEh : public TDataLink {
    QZ_CLASS(TFieldDataLinkEh, TDataLink)
public:
    TFieldDataLinkEh();
    ~TFieldDataLinkEh() override;

    // Independent: starts editing unless read-only. Bound: puts the data set
    // into edit state when the field may be changed. True when editing.
    bool Edit();
    // Independent, or bound to at least one field of an active data set.
    bool Active() const;
    bool CanModify() const;
    bool Editing() const { return FEditing; }
    bool Modified() const { return FModified; }
    void MarkModified() { FModified = true; }
    // Makes the control reload its value.
    void Reset();

    TField* Field() const { return FFields.empty() ? nullptr : FFields.front(); }
    int FieldCount() const { return int(FFields.size()); }
    TField* FieldAt(int index) const { return FFields.at(size_t(index)); }
    bool HasField(const TField* field) const;

    void SetDataSource(TDataSource* v);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    // FieldName names several fields, separated by ';'.
    bool AllowFieldList() const { return FAllowFieldList; }
    void SetAllowFieldList(bool v) { FAllowFieldList = v; }
    // The owning control: focused for its field, named in errors.
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* c) { FControl = c; }
    bool Independent() const { return FIndependent; }
    const Variant& IndependentValue() const { return FIndependentValue; }

    // Writes text: the independent value, a memo's whole text, or the
    // field's text setter (which parses it by the field's type).
    void SetFieldText(const std::string& text);
    // Writes a value: the independent value, the field's value, or with
    // several fields Null to all or element i of an array to field i.
    void SetFieldValue(const Variant& value);

    void DataEvent(TDataEvent event, intptr_t info) override;

    TFieldDataLinkEhEvent OnDataChange, OnEditingChange, OnUpdateData, OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void LayoutChanged() override;
    void FocusControl(TField*& field) override;
    void UpdateData() override;

private:
    void UpdateIndependence();
    void RebindFields();
    void DoDataChange();
    std::vector<TField*> FFields;
    std::string FFieldName;
    TComponent* FControl = nullptr;
    bool FAllowFieldList = false;
    bool FIndependent = true;
    bool FEditing = false;
    bool FModified = false;
    Variant FIndependentValue;
};

using TUpdateDataEventEh = std::function<void(TObject* sender, bool& handled)>;

// A control that uses an edit as its in-place editor: it says whether the
// edit may be written, where (screen) and when its last mouse press was, sees
// every message of the edit first (a message it answers with a non-zero
// result goes no further) and the keys before the edit handles them.
class IInplaceEditHolderEh {
public:
    virtual ~IInplaceEditHolderEh() = default;
    virtual bool InplaceEditCanModify(TControl* editor) = 0;
    virtual void GetMouseDownInfo(TPoint& screenPoint, uint32_t& time) = 0;
    virtual void InplaceEditWndProc(TControl* editor, TMessage& message) = 0;
    virtual void InplaceEditKeyDown(TControl* editor, WORD& key, TShiftState shift) = 0;
    virtual void InplaceEditKeyPress(TControl* editor, char& key) = 0;
    virtual void InplaceEditKeyUp(TControl* editor, WORD& key, TShiftState shift) = 0;
};

namespace DBCtrlsEh {
inline constexpr const char* SHolderNotSupported = "InplaceEditHolder have to support IInplaceEditHolderEh interface";
}

// A single-line edit bound to a field, or working on a value of its own.
// Focused it shows the field's edit text, unfocused its display text; what
// is typed goes to the field when the record is written (or at once through
// the Text and Value setters).
class TCustomDBEditEh : public TCustomEdit {
    QZ_CLASS(TCustomDBEditEh, TCustomEdit)
public:
    explicit TCustomDBEditEh(TComponent* owner = nullptr);
    ~TCustomDBEditEh() override;

    // A bound edit puts its data set into edit state, then stores and writes;
    // a failed write reloads the edit and passes the error on.
    void SetText(const std::string& v) override;
    Variant Value() const { return GetValue(); }
    virtual void SetValue(const Variant& v);

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* v);
    const std::string& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& v);
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    // The assigned alignment, else the field's.
    TAlignment Alignment() const { return FAlignmentAssigned ? FAlignment : FieldAlignment(); }
    void SetAlignment(TAlignment v);
    // Kept for the field's edit format; the edit does not enforce masks.
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v);
    bool FocusedState() const { return FFocusedState; }
    bool IsDataIndependent() const { return FDataLink->Independent(); }
    TFieldDataLinkEh* DataLink() const { return FDataLink.get(); }
    // Writes the edit's value back: OnUpdateData first, which may do it instead.
    virtual void CommitEdit();
    virtual void DataChanged();
    virtual void UpdateReadOnlyState();
    // A length taken from one string field does not stay for another.
    virtual void ResetFieldMaxLength();
    void SetFocusedState(bool v);

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;

    // ---- buttons: the main button and the extra ones, from the right edge
    // inwards the last extra button first and the main button last.
    TEditButtonEh* EditButton() const { return FEditButton.get(); }
    void SetEditButton(TEditButtonEh* v) { FEditButton->Assign(v); }
    TEditButtonsEh* EditButtons() const { return FEditButtons.get(); }
    void SetEditButtons(TEditButtonsEh* v) { FEditButtons->Assign(v); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // Entry 0 is the main button's control, 1..n those of EditButtons.
    int ButtonCount() const { return int(FButtons.Count()); }
    TEditButtonControlEh* ButtonControl(int i) const { return FButtons.Control(size_t(i)); }
    TShape* ButtonSeparator(int i) const { return FButtons.Separator(size_t(i)); }
    int ButtonsWidth() const { return FButtonsWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    // The buttons may act: the edit is enabled and its data link active.
    bool ButtonsEnabled() const;
    // The main button, else the first extra button, with that shortcut.
    TEditButtonEh* ButtonForShortCut(TShortCut shortCut) const;
    // Rebuilds the button controls from the stored buttons.
    void UpdateButtonControls();
    void UpdateButtonsState();
    // The edit's own drop-down only holds the main button down; a combo box
    // shows its list.
    virtual void OpenDropDown();
    virtual void CloseUp(bool accept);
    virtual bool DropDownOpen() const { return FDropDownOpen; }
    bool DroppedByPress() const { return FDroppedByPress; }

    // ---- recent values
    TMRUListEh* MRUList() const { return FMRUList.get(); }
    void SetMRUList(TMRUListEh* v) { FMRUList->Assign(v); }
    TMRUListboxEh* MRUListControl() const { return FMRUListControl.get(); }
    bool MRUListDroppedDown() const;
    void CloseUpMRUList(bool accept);

    // ---- hosting: a holder shows, hides and places the edit and sees its
    // messages and keys first.
    TComponent* InplaceEditHolder() const { return FHolderComponent.Get(); }
    // None ends hosting; another object must be an IInplaceEditHolderEh.
    void SetInplaceEditHolder(TComponent* v);
    bool Hosted() const { return FHolder && FHolderComponent; }
    // An empty rectangle hides the edit.
    void ShowHosted(const TRect& r, bool redraw);
    void HideHosted();
    void SetHostedBounds(const TRect& r);
    void KeyUp(WORD& key, TShiftState shift) override;

    TUpdateDataEventEh OnUpdateData;
    TButtonClickEventEh OnButtonClick;
    TButtonDownEventEh OnButtonDown;

protected:
    void Change() override;
    void CreateWnd() override;
    void Resize() override;
    void WndProc(TMessage& m) override;
    virtual TEditButtonControlEh* NewEditButtonControl();
    virtual void HandleButtonDown(TObject* sender, bool topButton, bool& autoRepeat, bool& handled);
    virtual void HandleButtonClick(TObject* sender);
    virtual void HandleButtonMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoButtonAction(bool topButton);
    // After every change the user made: the recent values follow the text.
    virtual void TextEdited();
    virtual void DropDownMRUList();
    // The main button of this kind of edit (a combo box's shows).
    void ReplaceEditButton(TEditButtonEh* button);
    void Notification(TComponent* component, TOperation operation) override;
    virtual Variant GetValue() const { return Variant(Text()); }
    virtual TAlignment FieldAlignment() const;
    virtual bool IsValidChar(char key) const;
    // Set the content without writing it.
    virtual void StoreText(const std::string& v) { TCustomEdit::SetText(v); }
    virtual void StoreValue(const Variant& v) { StoreText(VarIsNull(v) ? std::string() : VarToStr(v)); }
    virtual void PostToDataLink();
    // Puts the data link into editing unless the edit is read-only.
    void EditIfWritable();
    bool FInUpdateData = false;

private:
    void WriteThrough(const std::function<void()>& store);
    void ButtonsChanged();
    std::unique_ptr<TFieldDataLinkEh> FDataLink;
    std::unique_ptr<TEditButtonEh> FEditButton;
    std::unique_ptr<TEditButtonsEh> FEditButtons;
    std::unique_ptr<TMRUListEh> FMRUList;
    std::unique_ptr<TMRUListboxEh> FMRUListControl;
    TEditButtonStripEh FButtons;
    int FButtonsWidth = 0, FButtonHeight = 0;
    bool FFlat = false;
    bool FDropDownOpen = false, FDroppedByPress = false;
    bool FStoringText = false;
    TWeakRef<TComponent> FHolderComponent;
    IInplaceEditHolderEh* FHolder = nullptr;
    bool FReadOnly = false;
    bool FAlignmentAssigned = false;
    TAlignment FAlignment = taLeftJustify;
    std::string FEditMask;
    bool FFocusedState = false;
};

class TDBEditEh : public TCustomDBEditEh {
    QZ_CLASS(TDBEditEh, TCustomDBEditEh)
public:
    explicit TDBEditEh(TComponent* owner = nullptr) : TCustomDBEditEh(owner) {}
};

using TNotInListEventEh = std::function<void(TObject* sender, const std::string& newText, bool& recheckInList)>;
using TCloseUpEventEh = std::function<void(TObject* sender, bool accept)>;

enum TDropDownAlign { daLeft, daRight, daCenter };

// How a combo box's list drops down: its alignment to the box, whether
// typing opens it, its visible rows and its width (0: the box's, -1: the
// widest item's).
class TDropDownBoxEh : public TPersistent {
    QZ_CLASS(TDropDownBoxEh, TPersistent)
public:
    TDropDownAlign Align() const { return FAlign; }
    void SetAlign(TDropDownAlign v) { FAlign = v; }
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool v) { FAutoDrop = v; }
    int Rows() const { return FRows; }
    void SetRows(int v) { FRows = v; }
    bool Sizable() const { return FSizable; }
    void SetSizable(bool v) { FSizable = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    void Assign(TPersistent* source) override;
private:
    TDropDownAlign FAlign = daLeft;
    bool FAutoDrop = false;
    int FRows = 7;
    bool FSizable = false;
    int FWidth = 0;
};

class TComboListEh;

// The edit with a list of items: typing completes from the list, Up and
// Down step through it. With KeyItems the field stores the key of the shown
// item and the text changes only by choosing an item.
class TCustomDBComboBoxEh : public TCustomDBEditEh {
    QZ_CLASS(TCustomDBComboBoxEh, TCustomDBEditEh)
public:
    explicit TCustomDBComboBoxEh(TComponent* owner = nullptr);
    ~TCustomDBComboBoxEh() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    TStrings* KeyItems() const { return FKeyItems.get(); }
    void SetKeyItems(TStrings* v) { FKeyItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    // A bound box puts its data set into edit state, then selects and writes.
    void SetItemIndex(int v);
    int ItemCount() const { return FItemCount; }
    bool UseKeys() const { return FUseKeys; }
    const Variant& KeyValue() const { return FKeyValue; }
    void Clear();
    // Up: the previous item (the last from none); down: the next.
    void StepItem(bool up);
    // Completes what is typed before the caret followed by text ("\b": one
    // character less) from the items; true when the item changed.
    bool TypeAhead(const std::string& text);
    bool SelectByPrefix(const std::string& text, bool partial);

    TDropDownBoxEh* DropDownBox() const { return FDropDownBox.get(); }
    void SetDropDownBox(TDropDownBoxEh* v) { FDropDownBox->Assign(v); }
    // Shows the items below the box (above when there is no room below).
    void OpenDropDown() override;
    // Hides the list; accepting selects the list's item when the box may change.
    void CloseUp(bool accept) override;
    bool DropDownOpen() const override { return FListVisible; }
    bool ListVisible() const { return FListVisible; }
    // The list window, once it was made.
    TCustomControl* ListControl() const;
    int ListItemIndex() const;

    void CommitEdit() override;
    void DataChanged() override;
    void UpdateReadOnlyState() override;
    void ResetFieldMaxLength() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoExit() override;

    TNotInListEventEh OnNotInList;
    TNotifyEvent OnDropDown;
    TCloseUpEventEh OnCloseUp;

protected:
    Variant GetValue() const override { return FUseKeys ? FKeyValue : Variant(Text()); }
    TAlignment FieldAlignment() const override;
    bool IsValidChar(char key) const override { return FUseKeys || TCustomDBEditEh::IsValidChar(key); }
    void StoreText(const std::string& v) override;
    void StoreValue(const Variant& v) override;
    void PostToDataLink() override;
    void Change() override;

private:
    void ItemsChanged(bool keys);
    void SelectItem(int index);
    void SyncItemIndex();
    bool CanModifyBox() const;
    std::unique_ptr<TStringList> FItems, FKeyItems;
    std::unique_ptr<TDropDownBoxEh> FDropDownBox;
    std::unique_ptr<TComboListEh> FList;
    bool FListVisible = false;
    int FItemIndex = -1;
    int FItemCount = 0;
    bool FUseKeys = false;
    Variant FKeyValue;
    bool FSyncing = false;
    // The lead byte of a Chinese character whose trail byte is still to come:
    // completion works on whole characters.
    char FPendingLead = 0;
};

class TDBComboBoxEh : public TCustomDBComboBoxEh {
    QZ_CLASS(TDBComboBoxEh, TCustomDBComboBoxEh)
public:
    explicit TDBComboBoxEh(TComponent* owner = nullptr) : TCustomDBComboBoxEh(owner) {}
};

// A check box bound to a field: a Boolean field directly, any other field
// through ';'-separated texts meaning checked and unchecked; Null shows
// grayed. Unbound it keeps its state as a Boolean value of its own.
class TCustomDBCheckBoxEh : public TCustomCheckBox {
    QZ_CLASS(TCustomDBCheckBoxEh, TCustomCheckBox)
public:
    explicit TCustomDBCheckBoxEh(TComponent* owner = nullptr);
    ~TCustomDBCheckBoxEh() override;

    // A bound box puts its data set into edit state and writes the state;
    // a failed write reloads the box from its field and passes the error on.
    void SetState(TCheckBoxState v);
    TCheckBoxState State() const { return TCustomCheckBox::State(); }
    void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* v);
    const std::string& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& v) { FDataLink->SetFieldName(v); }
    TField* Field() const { return FDataLink->Field(); }
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool v) { FDataLink->SetReadOnly(v); }
    const std::string& ValueChecked() const { return FValueCheck; }
    void SetValueChecked(const std::string& v);
    const std::string& ValueUnchecked() const { return FValueUncheck; }
    void SetValueUnchecked(const std::string& v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; Invalidate(); }
    bool AlwaysShowBorder() const { return FAlwaysShowBorder; }
    void SetAlwaysShowBorder(bool v) { FAlwaysShowBorder = v; Invalidate(); }
    bool Modified() const { return FModified; }
    TFieldDataLinkEh* DataLink() const { return FDataLink.get(); }
    bool IsDataIndependent() const { return FDataLink->Independent(); }

    // What the field (or the box's own value) says the state is.
    TCheckBoxState FieldState() const;
    // A click, Space: the next state, when the data link may edit.
    virtual void ToggleState();
    // Writes the state: OnUpdateData first, which may do it instead.
    virtual void CommitState();

    void Toggle() override { ToggleState(); }
    void KeyPress(char& key) override;
    void DoExit() override;

    TUpdateDataEventEh OnUpdateData;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    virtual void ChangeState(TCheckBoxState v);
    virtual void PostToDataLink();

private:
    void Reload();
    std::unique_ptr<TFieldDataLinkEh> FDataLink;
    std::string FValueCheck = "True", FValueUncheck = "False";
    bool FFlat = false, FAlwaysShowBorder = false;
    bool FModified = false;
    bool FInUpdateData = false;
};

class TDBCheckBoxEh : public TCustomDBCheckBoxEh {
    QZ_CLASS(TDBCheckBoxEh, TCustomDBCheckBoxEh)
public:
    explicit TDBCheckBoxEh(TComponent* owner = nullptr) : TCustomDBCheckBoxEh(owner) {}
};
