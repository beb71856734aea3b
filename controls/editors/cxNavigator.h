// The data navigator: a strip of fifteen glyph buttons (first, prior page,
// prior, next, next page, last, insert, delete, edit, post, cancel, refresh,
// save bookmark, goto bookmark, filter) that a host draws inside its own
// control and forwards the mouse to. The record set behind the buttons is
// reached through IcxNavigator; the host answers IcxNavigatorOwner.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "ImgList.h"
#include "cxResStrings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxCanvas;
class TcxLookAndFeel;
class TcxCustomNavigatorButtons;
class TcxNavigatorControlNotifier;
class TTimer;

// The host that draws a navigator strip.
class IcxNavigatorOwner {
public:
    virtual ~IcxNavigatorOwner() = default;
    // Where the strip lies in the host.
    virtual TRect GetNavigatorRect() = 0;
    virtual TcxCustomNavigatorButtons* GetNavigatorButtonSet() = 0;
    virtual TCanvas* GetNavigatorPaintCanvas() = 0;
    // The host window control: its Enabled, window and parent form are used.
    virtual TWinControl* GetNavigatorWinControl() = 0;
    virtual bool IsNavigatorFocused() = 0;
    virtual TcxLookAndFeel* GetNavigatorLookAndFeel() = 0;
    // The component that owns the buttons (images notify it when freed).
    virtual TComponent* GetNavigatorOwnerComponent() = 0;
    virtual bool IsNavigatorHintEnabled() = 0;
    virtual bool IsNavigatorTabStop() = 0;
    // The buttons' enabled states may have changed.
    virtual void NavigatorButtonsStateChanged() = 0;
    // The buttons' set, sizes or images changed.
    virtual void NavigatorLayoutChanged() = 0;
};

// The record set behind the buttons.
class IcxNavigator {
public:
    virtual ~IcxNavigator() = default;
    virtual bool CanDelete() = 0;
    virtual bool CanEdit() = 0;
    virtual bool CanInsert() = 0;
    virtual bool IsBof() = 0;
    virtual bool IsBookmarkAvailable() = 0;
    virtual bool IsEditing() = 0;
    virtual bool IsEof() = 0;
    virtual void ClearBookmark() = 0;
    // Performs the action of the button of that index on the records.
    virtual void DoAction(int AButtonIndex) = 0;
    // The record set's notifier (the buttons do not use it).
    virtual TcxNavigatorControlNotifier* GetNotifier() = 0;
    // Whether the record set is active (the buttons do not use it).
    virtual bool IsActive() = 0;
};

namespace cxNavigator {
// The buttons' indexes, which are also the record set's actions.
enum : int {
    nbFirst,
    nbPriorPage,
    nbPrior,
    nbNext,
    nbNextPage,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh,
    nbSaveBookmark,
    nbGotoBookmark,
    nbFilter,
};
constexpr int ButtonCount = 15;
// The glyph size of the default images.
constexpr int DefaultGlyphWidth = 12;
constexpr int DefaultGlyphHeight = 11;
// The default images (created on first use, 12 by 11 each).
TCustomImageList* DefaultImages();
// Frees the default images (the unit's end).
void Finalize();
}  // namespace cxNavigator

// The default hints, one per button.
extern const TcxResourceStringRec* const cxNavigatorHints[cxNavigator::ButtonCount];

using TcxNavigatorButtonClickEvent = std::function<void(TObject* Sender, int AButtonIndex, bool& ADone)>;

class TcxNavigatorButton : public TPersistent {
    QZ_CLASS(TcxNavigatorButton, TPersistent)
public:
    explicit TcxNavigatorButton(TcxCustomNavigatorButtons* AButtons = nullptr);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    TcxCustomNavigatorButtons* Buttons() const { return FButtons; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    std::string Hint;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool IsVisibleStored() const { return FVisibleAssigned; }
    int DefaultIndex() const { return FDefaultIndex; }
    void SetDefaultIndex(int Value) { FDefaultIndex = Value; }
    TNotifyEvent OnClick;

    // Enabled and the set's rule for this button.
    bool InternalEnabled() const;
    // Hint, or the set's default hint for this button.
    std::string InternalHint() const;
    // The glyph's image list and index: the set's Images with ImageIndex, or
    // the default image of this button.
    TCustomImageList* GetImageList() const;
    int GetImageListIndex() const;
    int GetWidth() const;
    int GetHeight() const;
    // OnClick alone when assigned; else the set's OnButtonClick, and the
    // set's own action unless the handler said it is done.
    void Click();

private:
    void LayoutChanged();
    TcxCustomNavigatorButtons* FButtons;
    bool FEnabled = true;
    int FImageIndex = -1;
    bool FVisible = true;
    bool FVisibleAssigned = false;
    int FDefaultIndex = -1;
};

class TcxCustomNavigatorButtons : public TPersistent {
    QZ_CLASS(TcxCustomNavigatorButtons, TPersistent)
public:
    explicit TcxCustomNavigatorButtons(IcxNavigatorOwner* ANavigator = nullptr);
    ~TcxCustomNavigatorButtons() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;

    IcxNavigatorOwner* Navigator() const { return FNavigator; }
    TcxNavigatorButton* Button(int AIndex) const;
    int ButtonCount() const { return int(FButtons.size()); }
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* Value);
    bool ConfirmDelete = true;
    TcxNavigatorButtonClickEvent OnButtonClick;

    virtual void DoButtonClick(int ADefaultIndex) {}
    virtual bool IsButtonEnabled(int ADefaultIndex);
    virtual std::string GetButtonHint(int ADefaultIndex);
    virtual void ReleaseBookmark() {}

protected:
    virtual void CreateButtons();
    virtual void DestroyButtons() { FButtons.clear(); }

private:
    IcxNavigatorOwner* FNavigator;
    std::vector<std::unique_ptr<TcxNavigatorButton>> FButtons;
    TWeakRef<TCustomImageList> FImages;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TcxNavigatorControlButtons : public TcxCustomNavigatorButtons {
    QZ_CLASS(TcxNavigatorControlButtons, TcxCustomNavigatorButtons)
public:
    using TcxCustomNavigatorButtons::TcxCustomNavigatorButtons;

    // How the set finds the record set to act on (none without a handler).
    std::function<IcxNavigator*()> OnGetNavigator;
    IcxNavigator* GetNavigator() const { return OnGetNavigator ? OnGetNavigator() : nullptr; }

    // The published buttons, by index; setting assigns into the button.
    TcxNavigatorButton* First() const { return Button(cxNavigator::nbFirst); }
    TcxNavigatorButton* PriorPage() const { return Button(cxNavigator::nbPriorPage); }
    TcxNavigatorButton* Prior() const { return Button(cxNavigator::nbPrior); }
    TcxNavigatorButton* Next() const { return Button(cxNavigator::nbNext); }
    TcxNavigatorButton* NextPage() const { return Button(cxNavigator::nbNextPage); }
    TcxNavigatorButton* Last() const { return Button(cxNavigator::nbLast); }
    TcxNavigatorButton* Insert() const { return Button(cxNavigator::nbInsert); }
    TcxNavigatorButton* Delete() const { return Button(cxNavigator::nbDelete); }
    TcxNavigatorButton* Edit() const { return Button(cxNavigator::nbEdit); }
    TcxNavigatorButton* Post() const { return Button(cxNavigator::nbPost); }
    TcxNavigatorButton* Cancel() const { return Button(cxNavigator::nbCancel); }
    TcxNavigatorButton* Refresh() const { return Button(cxNavigator::nbRefresh); }
    TcxNavigatorButton* SaveBookmark() const { return Button(cxNavigator::nbSaveBookmark); }
    TcxNavigatorButton* GotoBookmark() const { return Button(cxNavigator::nbGotoBookmark); }
    TcxNavigatorButton* Filter() const { return Button(cxNavigator::nbFilter); }
    void SetButton(int AIndex, TcxNavigatorButton* Value) { Button(AIndex)->Assign(Value); }

    void DoButtonClick(int ADefaultIndex) override;
    bool IsButtonEnabled(int ADefaultIndex) override;
    void ReleaseBookmark() override;
};

// Tells the navigators bound to a record set that their buttons' states
// may have changed.
class TcxNavigatorControlNotifier : public TObject {
    QZ_CLASS(TcxNavigatorControlNotifier, TObject)
public:
    void AddNavigator(IcxNavigatorOwner* ANavigator);
    void RemoveNavigator(IcxNavigatorOwner* ANavigator);
    void RefreshNavigatorButtons();

private:
    std::vector<IcxNavigatorOwner*> FList;
};

// One button of the strip as laid out.
struct TcxNavigatorButtonViewInfo {
    TcxNavigatorButton* Button = nullptr;
    TRect Bounds;
    bool Enabled = true;
    std::string Hint;
};

// The strip's layout, hot tracking, pressing with repeat, hints and painting.
class TcxNavigatorViewInfo : public TObject {
    QZ_CLASS(TcxNavigatorViewInfo, TObject)
public:
    explicit TcxNavigatorViewInfo(IcxNavigatorOwner* ANavigator = nullptr, bool AIsInplace = false);
    ~TcxNavigatorViewInfo() override;

    // Lays the visible buttons out in the owner's rectangle; AWidth and
    // AHeight come in as the wanted size and go out as the strip's.
    void Calculate(int& AWidth, int& AHeight, bool AWithGlyphHeight);
    // Lays out for the owner's rectangle and caches the buttons' states.
    void Update();
    void MakeDirty() { FIsDirty = true; }
    bool IsDirty() const { return FIsDirty; }
    void Paint();
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp();
    // Repaints the buttons whose enabled state changed.
    void RefreshButtonsEnabled();

    int ButtonCount() const { return int(FButtons.size()); }
    const TcxNavigatorButtonViewInfo& ButtonInfo(int AIndex) const { return FButtons[AIndex]; }
    // The laid-out button at a point of the host, or -1.
    int ButtonAt(int X, int Y) const;
    TcxNavigatorButton* HotButton() const { return FHotButton; }
    TcxNavigatorButton* PressedButton() const { return FPressedButton; }
    TcxNavigatorButton* FocusedButton();
    bool Selected() const { return FSelected; }
    bool IsInplace() const { return FIsInplace; }
    // The hint shown now (empty when none).
    std::string ShownHint() const { return FHintShowing ? FHintText : std::string(); }
    TTimer* RepeatTimer() const { return FRepeatTimer.get(); }
    TTimer* HintTimer() const { return FHintTimer.get(); }

private:
    const TcxNavigatorButtonViewInfo* InfoOf(TcxNavigatorButton* AButton) const;
    void InvalidateButton(TcxNavigatorButton* AButton);
    void UpdateSelected();
    bool CanSelect() const;
    void RepeatTimerTick();
    void ShowHint();
    void HideHint();
    void PaintButton(TcxCanvas* ACanvas, int AIndex);

    IcxNavigatorOwner* FNavigator;
    bool FIsInplace;
    bool FIsDirty = true;
    std::vector<TcxNavigatorButtonViewInfo> FButtons;
    TcxNavigatorButton* FHotButton = nullptr;
    TcxNavigatorButton* FPressedButton = nullptr;
    TcxNavigatorButton* FFocusedButton = nullptr;
    bool FSelected = false;
    std::unique_ptr<TTimer> FRepeatTimer;
    std::unique_ptr<TTimer> FHintTimer;
    std::unique_ptr<THintWindow> FHintWindow;
    bool FHintShowing = false;
    std::string FHintText;
};
