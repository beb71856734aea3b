// Actions: one command (caption, hint, image, enabled, checked, visible,
// short-cut, what it does) shared by the menu items, buttons and tool
// buttons linked to it. Whoever shows an action holds an action link; the
// action tells every link when it changes, and a click on any of them runs
// the action.
#pragma once

#include "ImgList.h"
#include "ShortCuts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBasicAction;
class TCustomActionList;

// What a client (control, menu item) keeps to follow an action.
class TBasicActionLink : public TObject {
    QZ_CLASS(TBasicActionLink, TObject)
public:
    explicit TBasicActionLink(TObject* client = nullptr) : FClient(client) {}
    ~TBasicActionLink() override;
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* a);
    TObject* Client() const { return FClient; }
    // Runs the action for the client; false when there is none or it did nothing.
    virtual bool Execute(TComponent* target = nullptr);
    virtual bool Update();
    // The action changed: the client takes its state again.
    virtual void Change();
    // For the action: it is going away.
    void ActionGone() { FAction = nullptr; }
    TNotifyEvent OnChange;
private:
    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
    QZ_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* owner = nullptr);
    ~TBasicAction() override;
    // Runs OnExecute (through the action list first); true when something handled it.
    virtual bool Execute();
    // Runs OnUpdate (through the action list first); true when something handled it.
    virtual bool Update();
    TComponent* ActionComponent() const { return FActionComponent.Get(); }
    void SetActionComponent(TComponent* c) { FActionComponent = c; }
    TNotifyEvent OnExecute, OnUpdate;

    // For links.
    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);
protected:
    void Change();
    std::vector<TBasicActionLink*> FClients;
    TWeakRef<TComponent> FActionComponent;
};

class TContainedAction : public TBasicAction {
    QZ_CLASS(TContainedAction, TBasicAction)
    friend class TCustomActionList;
public:
    explicit TContainedAction(TComponent* owner = nullptr) : TBasicAction(owner) {}
    ~TContainedAction() override;
    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* list);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& v) { FCategory = v; }
    int Index() const;
    bool Execute() override;
    bool Update() override;
private:
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
    QZ_CLASS(TCustomAction, TContainedAction)
public:
    explicit TCustomAction(TComponent* owner = nullptr) : TContainedAction(owner) {}

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    // Checking an item of a group (GroupIndex > 0) unchecks the others of its list.
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    int HelpContext = 0;
    // The action list's images.
    TCustomImageList* Images() const;

    bool Execute() override;
private:
    std::string FCaption, FHint;
    bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
    int FImageIndex = -1, FGroupIndex = 0;
    TShortCut FShortCut = 0;
};

class TAction : public TCustomAction {
    QZ_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* owner = nullptr) : TCustomAction(owner) {}
};

using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

class TCustomActionList : public TComponent {
    QZ_CLASS(TCustomActionList, TComponent)
public:
    explicit TCustomActionList(TComponent* owner = nullptr);
    ~TCustomActionList() override;
    int ActionCount() const { return int(FActions.size()); }
    TContainedAction* Actions(int index) const { return FActions.at(size_t(index)); }
    int IndexOf(const TContainedAction* a) const;
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    // Lets the list handle an action of its own first (OnExecute, OnUpdate of the list).
    virtual bool ExecuteAction(TBasicAction* action);
    virtual bool UpdateAction(TBasicAction* action);
    // The enabled action with this short-cut runs (after its update); true when one did.
    bool IsShortCut(TShortCut shortCut);
    // Runs every action's update, as the program does when it is idle.
    void UpdateActions();
    TActionEvent OnExecute, OnUpdate;
    TNotifyEvent OnChange;

    // For actions.
    void AddAction(TContainedAction* a);
    void RemoveAction(TContainedAction* a);
protected:
    void Notification(TComponent* component, TOperation operation) override;
private:
    std::vector<TContainedAction*> FActions;
    TWeakRef<TCustomImageList> FImages;
};

class TActionList : public TCustomActionList {
    QZ_CLASS(TActionList, TCustomActionList)
public:
    explicit TActionList(TComponent* owner = nullptr) : TCustomActionList(owner) {}
};

namespace ActnList {
// Every action list of the program, for short-cuts and idle updates.
const std::vector<TCustomActionList*>& AllActionLists();
// Updates the actions of every list (the program's idle step).
void UpdateAllActions();
}
