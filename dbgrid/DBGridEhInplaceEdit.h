// DBGridEhInplaceEdit: the editor the data-aware grid shows over its
// current cell. Besides the text it shows the column's buttons (a default
// one chosen from the column and field, then the column's extra buttons),
// drops down a pick list, a month calendar or a calculator, completes typed
// text from a pick list, key list or lookup data set, refuses pasted text a
// restricted list does not hold, offers the column's recent values while
// typing, shows an image left of the text and underlines an empty required
// field of a new record in red.
#pragma once

#include "CalculatorEh.h"
#include "ComCtrls.h"
#include "DBGridEh.h"
#include "DBLookupGridsEh.h"
#include "ExtCtrls.h"
#include "ToolCtrlsEh.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The editor's styles beyond the platform's simple, ellipsis and pick list.
enum TDBGridEditStyleEh : int { esLookupList = 3, esDateCalendar = 4, esUpDown = 5, esDropDownButton = 6 };

// A month calendar that drops down: Enter accepts, Esc cancels, a release
// on a day (or the blank area, the month name) accepts, a press outside it
// cancels and so does losing the focus to another window.
class TPopupMonthCalendarEh : public TMonthCalendar {
    QZ_CLASS(TPopupMonthCalendarEh, TMonthCalendar)
public:
    explicit TPopupMonthCalendarEh(TComponent* owner = nullptr);
    int FrameWidth() const { return Ctl3D() ? 2 : 0; }
    // Set by the owner; hears whether the date is accepted.
    std::function<void(bool accept)> CloseUp;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void DayClicked() override { Close(true); }
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

private:
    void Close(bool accept);
};

// The editor style a column's cells edit with: by its ButtonStyle, or for
// cbsAuto by its field (a lookup, a pick list, a date).
int ColumnEditStyleEh(TColumnEh* column);

// Whether a pressed hit-test code closes a popup calendar accepting the date.
bool CalendarHitAccepts(int hitCode);

class TDBGridInplaceEdit : public TInplaceEdit {
    QZ_CLASS(TDBGridInplaceEdit, TInplaceEdit)
public:
    explicit TDBGridInplaceEdit(TComponent* owner = nullptr);
    ~TDBGridInplaceEdit() override;

    TCustomDBGridEh* DBGrid() const;
    // The grid's current column (none without columns).
    TColumnEh* Column() const;

    // 0..2 the platform's TEditStyle, 3..6 TDBGridEditStyleEh.
    int DBEditStyle() const { return FDBEditStyle; }
    void SetDBEditStyle(int style);
    // The drop-down of the style, once made (none for the others).
    TWinControl* ActiveList() const { return FActiveList; }
    TPopupListboxEh* PickList() const { return FPickList.get(); }
    // The lookup list of a lookup column: the column's own lookup grid.
    TPopupDataGridEh* DataList() const { return FDataList.Get(); }
    TPopupMonthCalendarEh* PopupMonthCalendar() const { return FCalendar.get(); }
    TPopupCalculatorEh* PopupCalculator() const { return FCalculator.get(); }
    bool ListVisible() const { return FListVisible; }
    bool DroppedDown() const { return FListVisible; }
    // While set, CloseUp does nothing (the grid refreshes the editor).
    bool LockCloseList() const { return FLockCloseList; }
    void SetLockCloseList(bool v) { FLockCloseList = v; }

    void DropDown();
    // Hides the drop-down; accepting writes the chosen value.
    void CloseUp(bool accept);
    // The calculator is the drop-down (a drop-down button on a number field).
    bool CalculatorApplies() const;
    // The first of the column's buttons with that shortcut, or none.
    TEditButtonEh* ButtonForShortCut(TShortCut shortCut) const;

    // The button controls: entry 0 is the default button, 1..n the column's.
    int ButtonCount() const { return int(FButtons.Count()); }
    TEditButtonControlEh* ButtonControl(int i) const { return FButtons.Control(size_t(i)); }
    TShape* ButtonSeparator(int i) const { return FButtons.Separator(size_t(i)); }
    int ButtonsWidth() const { return FButtonsWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    int ImageIndex() const { return FImageIndex; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool ReadOnlyOverridden() const { return FReadOnlyOverridden; }
    // Where the text goes in the editor.
    virtual TRect GetEditRect() const;
    // Whether the red underline of an empty required field shows.
    bool RequiredStateShown() const;

    // The recent-values drop-down.
    TMRUListboxEh* MRUListControl() const { return FMRUListControl.get(); }
    bool MRUListDroppedDown() const;
    void CloseUpMRUList(bool accept);

    // The index of the first item equal to text, or (partial) starting with
    // it, compared without regard to case; -1 when none.
    static int StringsLocate(TStrings* strings, const std::string& text, bool partial);

    void UpdateContents() override;
    // Moves the text to the list's item (or the lookup key) as typed.
    void SyncListToText();

protected:
    void BoundsChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void PaintWindow(HDC dc) override;
    void Change() override;

    virtual void UpdateImageIndex();
    virtual TEditButtonControlEh* NewEditButtonControl();
    virtual void DefaultButtonDown(bool topButton);
    // Completion while typing; true when it took the character.
    virtual bool TypeAhead(const std::string& text);
    virtual void ButtonClicked(TObject* sender);
    virtual void ButtonPressed(TObject* sender, bool topButton, bool& autoRepeat, bool& handled);
    virtual void ButtonMouseReleased(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    virtual void DrawRequiredState(TCanvas* canvas);
    virtual void UserTextChanged();

private:
    void LayoutButtons();
    void ShowList(TWinControl* list, int width, int height);
    void UpDownStep(bool topButton);
    void StepValue(bool forward);
    bool ListKeys(TMessage& m);
    bool MRUKeys(TMessage& m);
    bool IsKeyListColumn() const;
    bool LookupKeysModifiable() const;
    bool HandlePaste();
    void DeleteOnList(WORD& key);
    void ChooseSpecRow();
    void BackspaceOnList(WORD& key);
    void DropDownMRUList();
    void SetTextKeepingList(const std::string& text, int selStart);
    bool HasFocusWithin() const;
    TCustomImageList* ColumnImages() const;
    // The width of the node's boxes before the text in a tree's first column (0 elsewhere).
    int TreeIndent() const;

    int FDBEditStyle = esSimple;
    TWinControl* FActiveList = nullptr;
    std::unique_ptr<TPopupListboxEh> FPickList;
    TWeakRef<TPopupDataGridEh> FDataList;   // the column owns it
    std::unique_ptr<TDataSource> FLookupSource;
    std::unique_ptr<TPopupMonthCalendarEh> FCalendar;
    std::unique_ptr<TPopupCalculatorEh> FCalculator;
    std::unique_ptr<TMRUListboxEh> FMRUListControl;
    TEditButtonStripEh FButtons;
    int FButtonsWidth = 0;
    int FButtonHeight = 0;
    int FImageIndex = -1;
    bool FListVisible = false;
    bool FLockCloseList = false;
    bool FNoClickCloseUp = false;
    bool FListColumnsMoved = false;
    bool FReadOnlyOverridden = false;
    bool FWordWrap = false;
    bool FUserTextChanged = false;
    bool FSettingText = false;
    char FPendingLead = 0;   // the first byte of a Chinese character typed
};
