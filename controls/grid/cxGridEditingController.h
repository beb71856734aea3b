// The in-place editor of a record view. Edits are not made per cell: one
// hidden edit per editor properties object is taken from an in-place edit
// list, placed over the focused item's cell in the focused record, loaded
// from the data controller and hooked up so that keys it does not use reach
// the table controller and posted values go back into the data controller.
#pragma once

#include "cxEdit.h"

#include <memory>

class TcxCustomGridTableController;
class TcxCustomGridTableItem;
class TcxCustomGridTableView;
class TTimer;

class TcxGridEditingController : public TObject {
    QZ_CLASS(TcxGridEditingController, TObject)
public:
    explicit TcxGridEditingController(TcxCustomGridTableController* AController);
    ~TcxGridEditingController() override;

    TcxCustomGridTableController* Controller() const { return FController; }
    TcxCustomGridTableView* GridView() const;
    bool IsEditing() const { return FEditingItem != nullptr; }
    TcxCustomGridTableItem* EditingItem() const { return FEditingItem; }
    // Starts editing an item (refused by its CanEdit or the view's
    // OnEditing; the item takes the focus) or, with null, ends editing
    // without taking the edit's value.
    void SetEditingItem(TcxCustomGridTableItem* AValue);
    bool IsSettingEditingItem() const { return FSettingEditingItem; }
    // The active edit, null while none is shown.
    TcxCustomEdit* Edit() const { return FEdit; }
    TcxInplaceEditList* EditList() const { return FEditList.get(); }
    bool IsEditFocused() const;

    // A null item means the table controller's focused item.
    void ShowEdit(TcxCustomGridTableItem* AItem = nullptr);
    void ShowEditByKey(TcxCustomGridTableItem* AItem, char32_t AKey);
    void ShowEditByMouse(TcxCustomGridTableItem* AItem, TShiftState AShift, int X, int Y);
    // With AAccept the edit validates first: an invalid value raises EAbort
    // and the editor stays open.
    virtual void HideEdit(bool AAccept);
    // The edit shows the editing item's value from the data controller again.
    void UpdateEditValue();
    // Posts a value changed since the edit was entered into the data controller.
    void UpdateValue();
    // Places the edit over its cell at once while it is being prepared, else
    // before the next paint.
    void UpdateEditPosition();
    // Applies a pending placement (the table controller runs it before painting).
    void ApplyEditUpdate();
    bool EditUpdateNeeded() const { return FEditUpdateNeeded; }
    void SetEditUpdateNeeded(bool AValue) { FEditUpdateNeeded = AValue; }
    bool EditPlaced() const { return FEditPlaced; }
    // Shows the item's editor after the double-click time, so that a double
    // click is not taken for two single clicks.
    void StartEditShowingTimer(TcxCustomGridTableItem* AItem);
    void StopEditShowingTimer();
    TTimer* ShowTimer() const { return FShowTimer.get(); }
    bool ErrorOnExit() const { return FErrorOnExit; }
    bool IsHiding() const { return FHiding; }
    bool IsPreparing() const { return FPreparing; }
    // An item that goes stops being edited and loses a pending delayed show.
    void ItemRemoved(TcxCustomGridTableItem* AItem);

    // The edit of a scrolled view whose cell is out of sight moves away.
    virtual void HideEditOnScroll();
    virtual void EditNotPlaced() { FEditPlaced = false; }
    virtual bool CanRemoveEditFocus();
    virtual bool CanHideEditOnExit() { return true; }
    virtual bool IsEditHideNeededOnRecordChange();
    // Frees the edit made for AProperties (ending editing first when it is the active one).
    virtual void RemoveEdit(TcxCustomEditProperties* AProperties);

    // Left coordinate of an edit moved out of sight.
    static constexpr int ParkedLeft = 30000;

protected:
    virtual void InitEdit();
    // True when the caller may activate the edit.
    virtual bool PrepareEdit(TcxCustomGridTableItem* AItem, bool AIsMouseEvent);
    virtual void EditAfterKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void EditChanged(TObject* Sender);
    virtual void EditEditing(TObject* Sender, bool& CanEdit);
    virtual void EditExit(TObject* Sender);
    virtual void EditFocusChanged(TObject* Sender);
    virtual void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void EditPostEditValue(TObject* Sender);
    virtual void EditValueChanged(TObject* Sender);

private:
    // The grid's handlers leave the edit; the properties get their own back.
    // An edit hidden while its exit runs stays on the site until the exit
    // has reached the site too.
    void ReleaseEdit(bool AKeepParent = false);
    TcxCustomGridTableItem* ResolveItem(TcxCustomGridTableItem* AItem) const;
    TcxCustomGridTableController* FController;
    TcxCustomEdit* FEdit = nullptr;
    // The properties object the edit list made FEdit for.
    TcxCustomEditProperties* FEditProperties = nullptr;
    bool FHiding = false;
    TcxCustomGridTableItem* FEditingItem = nullptr;
    bool FSettingEditingItem = false;
    std::unique_ptr<TcxInplaceEditList> FEditList;
    bool FPreparing = false;
    std::unique_ptr<TTimer> FShowTimer;
    TcxCustomGridTableItem* FShowTimerItem = nullptr;
    bool FErrorOnExit = false;
    bool FInitiatingEditing = false;
    bool FEditPlaced = false;
    bool FEditUpdateNeeded = false;
    bool FUpdatingValue = false;
    // Set while the edit's exit hides it: the focus is on its way elsewhere.
    bool FExiting = false;
    TNotifyEvent FSavedChange;
    TNotifyEvent FSavedEditValueChanged;
};
