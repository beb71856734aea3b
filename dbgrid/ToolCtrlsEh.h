// ToolCtrlsEh: the small button faces of the grid suite (drop-down arrow,
// ellipsis, up-down pair, plus, minus and check box), drawn with the visual
// theme when there is one and in the classic look otherwise, each with a flat
// variant whose thin border shows only while its owner is active. Finished
// faces are kept in one shared cache keyed by everything that changes their
// look, so a grid with hundreds of equal buttons draws each face once.
#pragma once

#include "Buttons.h"
#include "Classes.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Menus.h"
#include "ShortCuts.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "TypInfo.h"
#include "Variants.h"
#include "Windows.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TButtonDrawStyleEh { bdsDropDownEh, bdsEllipsisEh, bdsUpDownEh, bdsCheckBoxEh, bdsPlusEh, bdsMinusEh };

// Everything that changes the look of a face; compared field by field.
struct ButtonBitmapKey {
    int Width = 0;
    int Height = 0;
    uint8_t DrawStyle = bdsDropDownEh;
    bool Flat = false;
    bool Down = false;
    bool Active = false;
    bool Enabled = true;
    bool LowerHalf = false;  // which half of an up-down pair
    uint8_t CheckState = cbUnchecked;
    bool operator==(const ButtonBitmapKey&) const = default;
};

struct TButtonBitmapInfoBitmapEh {
    ButtonBitmapKey Key;
    std::unique_ptr<TBitmap> Bitmap;
};

// The faces drawn so far, searched in the order they were made. It only
// grows until Clear (a change of the system colours).
class TButtonsBitmapCache {
public:
    // The face for the key, drawn on first request; the cache keeps it.
    TBitmap* GetButtonBitmap(ButtonBitmapKey key);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<std::unique_ptr<TButtonBitmapInfoBitmapEh>> FItems;
};

namespace ToolCtrlsEh {

// With it off every face is drawn straight into the target.
inline bool UseButtonBitmapCache = true;

TButtonsBitmapCache& SharedButtonBitmaps();

// The size of one image of the platform's check-box strip.
int CheckBoxWidth();
int CheckBoxHeight();

void RenderCheckBox(HDC dc, TRect r, TCheckBoxState state, bool enabled, bool flat, bool down, bool active);
void RenderDropDownButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down);
void RenderEllipsisButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down);
// One half of an up-down pair.
void RenderUpDownButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down, bool lowerHalf);
void RenderPlusMinusButton(HDC dc, TRect r, bool enabled, bool flat, bool active, bool down, bool plus);
// One face of any style but the check box.
void RenderSingleButton(HDC dc, TButtonDrawStyleEh style, TRect r, bool enabled, bool flat, bool active, bool down,
                        bool lowerHalf);
// The face of an edit button or a check box as its owner shows it. heldButton:
// 0 none, 1 the whole button or the upper half of an up-down pair, 2 the lower half.
void RenderButtonControl(HDC dc, TRect r, TColor parentColor, TButtonDrawStyleEh style, int heldButton, bool flat,
                         bool active, bool enabled, TCheckBoxState state);

TBitmap* GetCachedButtonBitmap(const ButtonBitmapKey& key);
// Called when the system colours change: faces are drawn anew on demand.
void FlushButtonBitmapCache();

// Where a check box stands in a cell.
TRect PlaceCheckBoxRect(const TRect& cell, TAlignment alignment, TTextLayout layout);

// The glyphs, as the filled rectangles they are made of, in an inner area.
std::vector<TRect> EllipsisDots(const TRect& inner, bool down);
std::vector<TRect> PlusMinusBars(const TRect& inner, bool flat, bool plus, bool down);

// Two thirds of the font height, made odd, at most the scroll bar's width.
int FlatButtonWidthFor(int fontHeight, int scrollBarWidth);
// The default width of a flat edit button, from the screen's default font.
int MeasureFlatButtonWidth();
int FlatEditButtonWidth();
// The height of an edit button of the given width.
int EditButtonHeightFor(int width, bool flat);

}  // namespace ToolCtrlsEh

// ---- edit buttons ------------------------------------------------------------
// The buttons an edit shows at its right edge: what a form or a column stores
// of each (TEditButtonEh) and the control that shows one at run time
// (TEditButtonControlEh).

enum TEditButtonStyleEh { ebsDropDownEh, ebsEllipsisEh, ebsGlyphEh, ebsUpDownEh, ebsPlusEh, ebsMinusEh };
QZ_ENUM_TYPEINFO(TEditButtonStyleEh, "ebsDropDownEh", "ebsEllipsisEh", "ebsGlyphEh", "ebsUpDownEh", "ebsPlusEh",
                 "ebsMinusEh")

using TButtonClickEventEh = std::function<void(TObject* sender, bool& handled)>;
using TButtonDownEventEh = std::function<void(TObject* sender, bool topButton, bool& autoRepeat, bool& handled)>;

class TEditButtonControlEh;

class TEditButtonEh : public TCollectionItem {
    QZ_CLASS(TEditButtonEh, TCollectionItem)
public:
    explicit TEditButtonEh(TCollection* collection = nullptr);
    // A button of its own edit, outside any collection.
    explicit TEditButtonEh(TWinControl* editControl);
    ~TEditButtonEh() override;
    void Assign(TPersistent* source) override;

    TPopupMenu* DropdownMenu() const { return FDropdownMenu.Get(); }
    void SetDropdownMenu(TPopupMenu* v) { FDropdownMenu = v; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v) { FShortCut = v; }
    TEditButtonStyleEh Style() const { return FStyle; }
    void SetStyle(TEditButtonStyleEh v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TWinControl* EditControl() const { return FEditControl.Get(); }

    // A control showing this button, owned by and placed on the edit.
    virtual TEditButtonControlEh* MakeButtonControl();

    TButtonClickEventEh OnClick;
    TButtonDownEventEh OnDown;
    // Set by the owning edit: hears of every change that needs the button
    // controls rebuilt.
    std::function<void(TEditButtonEh*)> OnButtonChanged;

    // The stored properties, with the defaults of a button that shows (or not).
    static void DefineStoredProps(std::vector<TPropInfo>& p, bool visibleDefaults);

protected:
    void NotifyChanged();

private:
    TWeakRef<TPopupMenu> FDropdownMenu;
    std::unique_ptr<TBitmap> FGlyph;
    std::string FHint;
    int FNumGlyphs = 1;
    TShortCut FShortCut = 0;
    TEditButtonStyleEh FStyle = ebsDropDownEh;
    bool FVisible = false;
    int FWidth = 0;
    TWeakRef<TWinControl> FEditControl;
};

// Alt+Down: the key code of Down with the Alt bit.
constexpr TShortCut DefaultEditButtonShortCut = 32808;

// A button that shows unless hidden and answers Alt+Down.
class TVisibleEditButtonEh : public TEditButtonEh {
    QZ_CLASS(TVisibleEditButtonEh, TEditButtonEh)
public:
    explicit TVisibleEditButtonEh(TCollection* collection = nullptr);
    explicit TVisibleEditButtonEh(TWinControl* editControl);
};

class TEditButtonsEh : public TCollection {
    QZ_CLASS(TEditButtonsEh, TCollection)
public:
    explicit TEditButtonsEh(TPersistent* owner = nullptr, TCollectionItemClass itemClass = nullptr);
    TEditButtonEh* Items(int index) const { return static_cast<TEditButtonEh*>(TCollection::Items(index)); }
    TEditButtonEh* Add() { return static_cast<TEditButtonEh*>(TCollection::Add()); }
    TPersistent* GetOwner() const override { return FOwner; }
    // Hears of the changed button, or of none when the whole list changed.
    std::function<void(TCollectionItem*)> OnButtonsChanged;

protected:
    void Update(TCollectionItem* item) override;

private:
    TPersistent* FOwner;
};

// The control that shows one edit button. An up-down button is two halves:
// DownButton says which is held (1 upper, 2 lower; 1 for any other style).
class TEditButtonControlEh : public TSpeedButton {
    QZ_CLASS(TEditButtonControlEh, TSpeedButton)
public:
    explicit TEditButtonControlEh(TComponent* owner = nullptr);
    ~TEditButtonControlEh() override;

    bool Active() const { return FActive; }
    void SetActive(bool v);
    TEditButtonStyleEh Style() const { return FStyle; }
    void SetStyle(TEditButtonStyleEh v);
    int DownButton() const { return FDownButton; }
    bool SuppressClick() const { return FSuppressClick; }
    // Held down while the owner's drop-down is open.
    bool AlwaysPressed() const { return FAlwaysPressed; }
    void SetAlwaysPressed(bool v);
    // The pressed look: the speed button's state, or up once the pointer has
    // left the held half of an up-down pair.
    TButtonState ButtonState() const { return FReleased ? bsUp : State(); }
    TTimer* RepeatTimer() const { return FRepeatTimer.get(); }

    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // Set by the owning edit.
    std::function<void(TObject* sender, bool topButton, bool& autoRepeat)> OnDown;

protected:
    void Paint() override;
    void DoDown(bool topButton, bool& autoRepeat);

private:
    void UpdateDownButton(int y);
    void StartRepeat(UINT interval);
    void RepeatTick();
    bool FActive = false;
    TEditButtonStyleEh FStyle = ebsDropDownEh;
    int FDownButton = 0;
    bool FSuppressClick = false;
    bool FAlwaysPressed = false;
    bool FReleased = false;
    bool FHeld = false;
    std::unique_ptr<TTimer> FRepeatTimer;
};

class TSpeedButtonEh : public TEditButtonControlEh {
    QZ_CLASS(TSpeedButtonEh, TEditButtonControlEh)
public:
    using TEditButtonControlEh::TEditButtonControlEh;
};

// The button controls an edit shows at its edge, each with the separator
// that stands before it; entry 0 is the main (default) button.
class TEditButtonStripEh {
public:
    using TDownHandler = std::function<void(TObject* sender, bool topButton, bool& autoRepeat, bool& handled)>;
    // Makes or drops entries up to count; new controls come from make and
    // are parented to the edit, their events going to the handlers.
    void Resize(TWinControl* edit, size_t count, const std::function<TEditButtonControlEh*()>& make);
    void Route(TDownHandler down, TNotifyEvent click, TMouseEvent mouseUp);
    // Places the entries from the edge inwards, the last one first, each
    // followed by its separator (one pixel, flat only); the width used.
    int Place(const std::vector<int>& widths, int clientWidth, int height, bool flat, bool rightToLeft);
    size_t Count() const { return FEntries.size(); }
    TEditButtonControlEh* Control(size_t i) const { return FEntries.at(i).Control.get(); }
    TShape* Separator(size_t i) const { return FEntries.at(i).Separator.get(); }
    void Clear() { FEntries.clear(); }

private:
    struct TEntry {
        std::unique_ptr<TEditButtonControlEh> Control;
        std::unique_ptr<TShape> Separator;
    };
    std::vector<TEntry> FEntries;
    TDownHandler FDown;
    TNotifyEvent FClick;
    TMouseEvent FMouseUp;
};

namespace ToolCtrlsEh {
// The width an edit gives a button: its own, or the default for flat and
// raised edits; 0 when hidden.
int EditButtonWidth(const TEditButtonEh* button, bool flatEdit);
// The height of a visible button of the given width in an edit whose client
// area is clientHeight high.
int EditButtonHeight(int width, int clientHeight, bool flatEdit);
// The face a button style is drawn with.
TButtonDrawStyleEh ButtonDrawStyle(TEditButtonStyleEh style);
}  // namespace ToolCtrlsEh

// ---- drop-down placement and drawing utilities ---------------------------------


// Which corner of a drop-down its size grip takes, sent to the drop-down
// window as the first parameter of WM_GRIPFLIPEH.
enum TGripFlipEh { gfToLeftEh, gfToRightEh, gfToTopEh, gfToBottomEh };
constexpr UINT WM_GRIPFLIPEH = WM_USER + 100;

// The image list's "no colour" and "default colour" values.
constexpr TColorRef ImageListNoColor = 0xFFFFFFFF;
constexpr TColorRef ImageListDefaultColor = 0xFF000000;

namespace ToolCtrlsEh {

// Where the drop-down's top-left corner goes (screen coordinates) next to
// the owner rectangle: below it, or above when it fits only there or there
// is more room there; cut to the work area of the nearest monitor.
TPoint PlaceDropDownByRect(const TRect& ownerRect, TControl* dropDown, TAlignment alignment);
// The same for a control's rectangle on the screen.
TPoint PlaceDropDownByControl(TControl* owner, TControl* dropDown, TAlignment alignment);
// The placement against a given work area.
TPoint PlaceDropDownInWorkArea(const TRect& ownerRect, const TRect& work, TControl* dropDown, TAlignment alignment);

TColorRef ImageListColor(TColor color);
// One image at a point; the selected look is blended with the highlight colour.
void PaintImageListItem(TCanvas* canvas, TCustomImageList* images, TPoint at, bool selected, int index);
// One image centred in a rectangle and clipped to it.
void PaintCentredImage(TCanvas* canvas, const TRect& r, TCustomImageList* images, bool selected, int index);

// One-pixel dots on the pixels whose x + y is odd (parity) or even, a step
// of twice the pen's width apart, in the pen's colour.
void DrawDottedLine(TCanvas* canvas, TPoint start, int length, bool parity, bool horizontal);
// A tree line element: kinds 0-5 a minus (0-2) or plus (3-5) box with lines
// above and below, above only or below only; 6 a tee to the right, 7 an ell
// from above, 8 an ell downward, 9 a straight vertical line.
void DrawTreeElement(TCanvas* canvas, const TRect& r, int kind, bool parity, double scaleX = 1, double scaleY = 1);

// Whether a second click (time in milliseconds after the first) makes a double click.
bool IsDoubleClickPair(TPoint first, TPoint second, uint32_t interval);

// Equal values: arrays element by element along their first dimension,
// an Empty value only to another, anything that cannot be compared unequal.
bool SameVariantValue(const Variant& a, const Variant& b);

}  // namespace ToolCtrlsEh

// ---- recent values and distinct values ------------------------------------------

// The texts a user entered lately, oldest first, newest last, at most Limit
// of them.
class TMRUListEh : public TPersistent {
    QZ_CLASS(TMRUListEh, TPersistent)
public:
    explicit TMRUListEh(TPersistent* owner = nullptr);
    ~TMRUListEh() override;
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override { return FOwner; }

    // Moves a text already held to the end, or appends it and trims the list.
    void AddItem(const std::string& s);
    // Fills target with the items that start with prefix, as far as the filter
    // lets them; false when it gave way to a key press waiting.
    bool CollectMatches(TStrings* target, const std::string& prefix);

    bool Active() const { return FActive; }
    void SetActive(bool v);
    bool AutoAdd() const { return FAutoAdd; }
    void SetAutoAdd(bool v) { FAutoAdd = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v);
    int Limit() const { return FLimit; }
    // A negative limit counts as 0.
    void SetLimit(int v);
    int Rows() const { return FRows; }
    void SetRows(int v) { FRows = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool v) { FDroppedDown = v; }
    bool GiveWay() const { return FGiveWay; }
    void SetGiveWay(bool v) { FGiveWay = v; }

    virtual void NotifyCloseUp(bool accept);
    virtual void NotifyDropDown();

    TNotifyEvent OnActiveChanged;
    std::function<void(TObject* sender, bool& accept)> OnFilterItem;
    std::function<void(TObject* sender, bool accept)> OnSetCloseUpEh;
    TNotifyEvent OnSetDropDownEh;

private:
    void Trim();
    TPersistent* FOwner;
    std::unique_ptr<TStringList> FItems;
    bool FActive = false;
    bool FAutoAdd = true;
    bool FCaseSensitive = false;
    int FLimit = 100;
    int FRows = 7;
    int FWidth = 0;
    bool FDroppedDown = false;
    bool FGiveWay = true;
};

// A data link that tells every data event on.
class TDataLinkEh : public TDataLink {
    QZ_CLASS(TDataLinkEh, TDataLink)
public:
    std::function<void(TDataEvent event, intptr_t info)> OnDataEvent;

protected:
    void DataEvent(TDataEvent event, intptr_t info) override;
};

// The distinct texts of one field of a data set, sorted, compared without
// regard to case; loaded again once the data set's data or fields change.
class TDatasetFieldValueListEh : public TObject {
    QZ_CLASS(TDatasetFieldValueListEh, TObject)
public:
    TDatasetFieldValueListEh();
    ~TDatasetFieldValueListEh() override;

    const std::string& ValueFieldName() const { return FValueFieldName; }
    void SetValueFieldName(const std::string& v);
    TDataSet* SourceDataSet() const { return FDataSource->DataSet(); }
    void SetSourceDataSet(TDataSet* v);
    bool Obsolete() const { return FObsolete; }
    // The values, read anew when obsolete. The data set's current record
    // stays where it was.
    TStrings* DistinctValues();

protected:
    virtual void DataSetEvent(TDataEvent event, intptr_t info);

private:
    void RefreshValues();
    std::unique_ptr<TStringList> FValues;
    std::unique_ptr<TDataSource> FDataSource;
    std::unique_ptr<TDataLinkEh> FDataLink;
    std::string FValueFieldName;
    bool FObsolete = true;
};

// ---- popup list box ---------------------------------------------------------------

// A drop-down list: typing selects the first item starting with what was
// typed (2 s between keys starts a new search), the item under the mouse
// follows it, its height snaps to whole rows, and each item may show an
// image before its text.
class TPopupListboxEh : public TCustomListBox {
    QZ_CLASS(TPopupListboxEh, TCustomListBox)
public:
    explicit TPopupListboxEh(TComponent* owner = nullptr);

    const std::string& IncSearchText() const { return FIncSearchText; }
    int FrameWidth() const { return Ctl3D() ? 2 : 0; }
    // The height of the frame around the rows.
    int NonClientHeight() const;
    // Makes the list show this many rows (at least one).
    void SetShownRows(int rows);
    int ShownRows() const { return FRowCount; }
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    // Texts shown in place of the list's own items (not owned).
    TStrings* VirtualItems() const { return FVirtualItems; }
    void SetVirtualItems(TStrings* v);
    bool Resized() const { return FResized; }
    void SetResized(bool v) { FResized = v; }
    // Up, Down, Page Up and Page Down without Alt or Shift, Ctrl+Home and
    // Ctrl+End move the selection (Up from none to the last item); false
    // for other keys.
    bool MoveByKey(WORD key, TShiftState shift);

    void SetBounds(int left, int top, int width, int height) override;
    void KeyPress(char& key) override;
    void MouseMove(TShiftState shift, int x, int y) override;

    // Sender is the list box's owner; the index starts as the item's.
    std::function<void(TObject* sender, int index, int& imageIndex)> OnGetImageIndex;

protected:
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

private:
    int RowHeight() const;
    std::string FIncSearchText;
    uint32_t FIncSearchTick = 0;
    TPoint FLastMousePos{-1, -1};
    int FRowCount = 0;
    bool FResized = false;
    TWeakRef<TCustomImageList> FImages;
    TStrings* FVirtualItems = nullptr;
};

// The list of recent values that drops down under an edit: a window of its
// own that never takes the focus. A release of the left button on it asks
// the owner to close it (accepting when the release lies inside).
class TMRUListboxEh : public TPopupListboxEh {
    QZ_CLASS(TMRUListboxEh, TPopupListboxEh)
public:
    explicit TMRUListboxEh(TComponent* owner = nullptr);
    // Shows the list below (or above) the owner rectangle (screen
    // coordinates); the first time with the colours, font, width and rows
    // given, later keeping the size the user gave it.
    void ShowUnder(const TRect& ownerRect, bool first, TColor color, TFont* font, int width, int rows);
    void HideList();
    std::string SelectedText() const;

    std::function<void(bool inside)> OnRelease;

protected:
    void CreateParams(TCreateParams& params) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
};

// The message an edit posts itself when a button's drop-down menu closed
// (its parameter the button's index), so that the press that closed the
// menu does not open it again.
constexpr UINT WM_MENUCLOSEDEH = WM_USER + 102;

namespace ToolCtrlsEh {
// Shows or hides a window of its own without taking the focus.
void ShowDropDownWindow(TWinControl* w, bool show);
}
