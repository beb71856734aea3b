// Menus: the menu bar of a form (TMainMenu), popup menus (TPopupMenu) and
// their items. An item's caption marks its accelerator with '&'; "-" is a
// separator. Items may show an image of the menu's image list, be drawn by
// their owner, follow an action, and carry a short-cut the form runs.
#pragma once

#include "Controls.h"
#include "ImgList.h"
#include "ShortCuts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMenu;
class TMenuItem;

// A menu item inserted twice, an index out of range, an item not in its menu.
QZ_EXCEPTION(EMenuError, Exception)

using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;

class TMenuItem : public TComponent {
    QZ_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group.
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    // A picture of the item's own, used when the menu has no image for it.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* v);
    bool HasBitmap() const { return FBitmap && !FBitmap->Empty(); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool IsLine() const { return FCaption == "-"; }

    // ---- the items below this one
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* operator[](int index) const { return Items(index); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out (the caller then owns it) or frees it.
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The item with this caption (accelerator marks ignored), or null.
    TMenuItem* Find(const std::string& caption) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int v);
    TMenu* GetParentMenu() const;

    // ---- actions
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    void InitiateAction();

    virtual void Click();
    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // The menu shows it changed.
    void Changed();

private:
    friend class TMenu;
    std::string FCaption, FHint;
    bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false, FAutoCheck = false,
         FDefault = false;
    int FGroupIndex = 0, FImageIndex = -1;
    TShortCut FShortCut = 0;
    std::unique_ptr<TBitmap> FBitmap;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;   // set on the root item
    std::unique_ptr<TBasicActionLink> FActionLink;
};

class TMenu : public TComponent {
    QZ_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* owner = nullptr);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool v) { FOwnerDraw = v; }
    // The enabled, visible item with this short-cut anywhere in the menu.
    TMenuItem* FindItem(TShortCut shortCut) const;
    // Runs the item with this short-cut (after its action's update); true when one ran.
    bool IsShortCut(TShortCut shortCut);
    TNotifyEvent OnChange;
    // An item changed (null: the menu as a whole).
    virtual void MenuChanged(TMenuItem* item);
protected:
    std::unique_ptr<TMenuItem> FItems;
    TWeakRef<TCustomImageList> FImages;
    bool FOwnerDraw = false;
};

// The menu bar of the form it is set on (TCustomForm::SetMenu).
class TMainMenu : public TMenu {
    QZ_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* owner = nullptr) : TMenu(owner) {}
    // The forms showing it lose their bar.
    ~TMainMenu() override;
    void MenuChanged(TMenuItem* item) override;
};

class TPopupMenu : public TMenu {
    QZ_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* owner = nullptr) : TMenu(owner) {}
    // Shows the menu at a point of the screen and waits until it closes;
    // the item chosen runs after that.
    virtual void Popup(int x, int y);
    TComponent* PopupComponent() const { return FPopupComponent.Get(); }
    void SetPopupComponent(TComponent* c) { FPopupComponent = c; }
    // Where the last Popup showed it.
    TPoint PopupPoint() const { return FPopupPoint; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    TNotifyEvent OnPopup, OnClose;
protected:
    virtual void DoPopup();
private:
    TWeakRef<TComponent> FPopupComponent;
    TPoint FPopupPoint;
    bool FAutoPopup = true;
};

// A caption without its accelerator marks ("&&" stays one '&').
std::string StripHotkey(const std::string& caption);
// "Ctrl+S", "Shift+F10", "Alt+Enter"… and back (0 when not understood).
std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::string& text);

namespace Menus {
// Installs how popup menus show for the control layer (right clicks and the
// edits' own menu); InitGui calls it.
void InitMenus();
}
