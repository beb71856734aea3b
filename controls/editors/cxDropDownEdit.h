// The drop-down editors: an edit that opens a window below (or above)
// itself, with the keys and mouse actions that open and close it, the
// borderless popup window with its shadow, system panel, close button and
// size grip, resizing by an outline frame, and the look-and-feel the
// controls inside the popup follow.
//
// A popup only writes its selection back into the edit when it is closed
// accepting; closing otherwise leaves the value as it was before opening.
#pragma once

#include "Forms.h"
#include "cxContainer.h"
#include "cxEditUtils.h"
#include "cxLookAndFeels.h"
#include "cxMaskEdit.h"
#include "cxTextEditLookupData.h"

#include <functional>
#include <memory>
#include <string>

class TcxCustomDropDownEdit;
class TcxCustomEditPopupWindow;

// Private messages of the drop-down editors (the show request is the popup
// window base's DXM_SHOWPOPUPWINDOW).
constexpr UINT DXM_DROPDOWNEDIT = WM_APP + 0x67;     // to the edit: DropDown
constexpr UINT DXM_FORWARDCHAR = WM_APP + 0x6B;      // to the popup: WM_CHAR of wParam to its focus
constexpr UINT DXM_LOCATETEXTINPOPUP = WM_APP + 0x6C;  // to the edit: LocateTextInPopup

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
    QZ_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)
public:
    explicit TcxCustomDropDownEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    void Changed() override;
    TClass GetEditClass() const override;
    bool IsLookupDataVisual() override { return true; }
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;

    virtual int GetDropDownButtonIndex() const { return 0; }
    // A left click into the text opens the popup.
    virtual bool DropDownOnClick() { return false; }
    // ImmediatePost posts once the popup has closed, not at the selection.
    virtual bool PostEditValueOnClosed() { return false; }
    virtual TClass GetPopupWindowClass() const;
    // The popup takes the keyboard while open (else the edit keeps it).
    virtual bool PopupWindowTakesFocus() { return false; }

    // The glyph of the drop-down button (nil when there is no such button).
    TBitmap* ButtonGlyph() const;
    void SetButtonGlyph(TBitmap* Value);
    int DropDownButtonIndex() const { return FDropDownButtonIndex; }
    // Moves the glyph to the button at AIndex, which opens the popup from now on.
    void SetDropDownButtonIndex(int AIndex);
    bool ImmediateDropDown() const { return FImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
    bool ImmediatePopup() const { return FImmediatePopup; }
    void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
    TAlignment PopupAlignment() const { return FPopupAlignment; }
    void SetPopupAlignment(TAlignment Value);
    bool PopupAutoSize() const { return FPopupAutoSize; }
    void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
    bool PopupClientEdge() const { return FPopupClientEdge; }
    void SetPopupClientEdge(bool Value);
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int Value);
    int PopupMinHeight() const { return FPopupMinHeight; }
    void SetPopupMinHeight(int Value);
    int PopupMinWidth() const { return FPopupMinWidth; }
    void SetPopupMinWidth(int Value);
    bool PopupSizeable() const { return FPopupSizeable; }
    void SetPopupSizeable(bool Value);
    bool PopupSysPanelStyle() const { return FPopupSysPanelStyle; }
    void SetPopupSysPanelStyle(bool Value);
    // 0: as wide as the edit.
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value);

    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnInitPopup;
    TNotifyEvent OnPopup;

private:
    // A drop-down button with a picture shows it; without one it shows the arrow.
    void UpdateDropDownButtonKind();
    int FDropDownButtonIndex = 0;
    bool FImmediateDropDown = true;
    bool FImmediatePopup = false;
    bool FChangedLocked = false;
    TAlignment FPopupAlignment = taLeftJustify;
    bool FPopupAutoSize = true;
    bool FPopupClientEdge = false;
    int FPopupHeight = 0;
    int FPopupMinHeight = 0;
    int FPopupMinWidth = 0;
    bool FPopupSizeable = false;
    bool FPopupSysPanelStyle = false;
    int FPopupWidth = 0;
};

// What an in-place edit keeps from one activation to the next: the size the
// user gave the popup.
class TcxCustomDropDownEditData : public TcxCustomEditData {
    QZ_CLASS(TcxCustomDropDownEditData, TcxCustomEditData)
public:
    explicit TcxCustomDropDownEditData(TcxCustomEdit* AEdit = nullptr) : TcxCustomEditData(AEdit) {}
    bool PopupSizedByUser = false;
    int PopupWidth = 0;
    int PopupHeight = 0;
};

class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
    QZ_CLASS(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)
public:
    using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
    bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, int AIndex) override;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    bool IsPopupOpen = false;
    // The popup is open and the mouse is over the edit: a press of the
    // drop-down button must not open it again.
    bool IsHotAndPopup = false;
    // An incremental-search selection is shown.
    bool HasLookupSelection = false;
};

// The look-and-feel of the controls inside a popup: in place the edit
// style's; stand-alone derived from the style of the edit's first button.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
    QZ_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)
public:
    explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit = nullptr);
    TcxLookAndFeelKind GetEffectiveKind() const override;
    bool GetEffectiveNativeStyle() const override;
    // Reads the kind and native style again and tells the listeners when
    // either changed.
    void Refresh();
    // The kind of a button style (stand-alone edits).
    static TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle AStyle);

private:
    TcxCustomDropDownEdit* FEdit;
    TcxLookAndFeelKind FLastKind = lfStandard;
    bool FLastNativeStyle = false;
};

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
    QZ_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)
public:
    TcxCustomEditPopupWindowViewInfo() = default;
    virtual void Calculate();
    virtual void DrawBorder(TcxCanvas* ACanvas, TRect& R);
    // The borders, shadow and system panel around the client area.
    virtual TRect GetClientExtent();
    virtual int GetSysPanelHeight();
    // Whether (X, Y) lies in a sizing zone, and the directions it sizes
    // (-1 left/up, +1 right/down, 0 none).
    virtual bool GetSizingHitTest(int X, int Y, int& AHorz, int& AVert);
    void Paint(TcxCanvas* ACanvas) override;
    // The layout the painting routines read and fill.
    TcxPopupWindowLayout Layout;
    int MinSysPanelHeight = 0;
};

// The popup window of a drop-down edit.
class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
    QZ_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
public:
    explicit TcxCustomEditPopupWindow(TWinControl* AOwnerControl = nullptr);
    ~TcxCustomEditPopupWindow() override;
    TcxCustomDropDownEdit* Edit() const;
    TcxCustomEditPopupWindowViewInfo* EditViewInfo() const { return FViewInfo.get(); }

    void CalculatePosition(TPoint& P) override;
    void CalculateSize() override;
    void DoClosed() override;
    void DoClosing() override;
    bool CanResize(int& NewWidth, int& NewHeight) override;
    virtual void CalculateViewInfo();
    virtual void ForwardChar(char32_t ACh);
    virtual TSize GetMinSize();
    // The owner's frame and the view info again, the children placed, repainted.
    void UpdateLayout();
    // The edit's frame in screen coordinates.
    TRect OwnerScreenBounds() const;

    bool AutoSize = false;
    TcxEditPopupBorderStyle BorderStyle() const { return FViewInfo->Layout.BorderStyle; }
    void SetBorderStyle(TcxEditPopupBorderStyle Value);
    bool ClientEdge() const { return FViewInfo->Layout.ClientEdge; }
    void SetClientEdge(bool Value);
    bool CloseButton() const { return FViewInfo->Layout.CloseButton; }
    void SetCloseButton(bool Value);
    int MinHeight = 0;
    int MinWidth = 0;
    bool NativeStyle() const { return FNativeStyle; }
    void SetNativeStyle(bool Value);
    int PopupHeight = 0;
    int PopupWidth = 0;
    bool Shadow() const { return FViewInfo->Layout.Shadow; }
    void SetShadow(bool Value);
    bool Sizeable() const { return FViewInfo->Layout.Sizeable; }
    void SetSizeable(bool Value);
    bool SysPanelStyle() const { return FViewInfo->Layout.SysPanel; }
    void SetSysPanelStyle(bool Value);
    // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
    int SizeGripCorner() const { return FViewInfo->Layout.SizeGripCorner; }
    int CloseButtonState() const { return int(FViewInfo->Layout.CloseButtonState); }
    // The last outline frame drawn while resizing (empty when none).
    static TRect SizingFrame();
    static bool IsResizing();

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave(TControl* AControl) override;
    void Resize() override;
    void WndProc(TMessage& Message) override;

    // A descendant's own view info, made in its constructor.
    void ReplaceViewInfo(std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo);

private:
    void SetCloseButtonState(TcxButtonState AState);
    void SetSizingCursor(int AHorz, int AVert);
    std::unique_ptr<TcxCustomEditPopupWindowViewInfo> FViewInfo;
    bool FNativeStyle = false;
};

class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
    QZ_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)
public:
    explicit TcxCustomDropDownEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomDropDownEdit() override;
    void BeforeDestruction() override;
    TClass GetPropertiesClass() const override { return TcxCustomDropDownEditProperties::StaticClass(); }
    TcxCustomDropDownEditProperties* Properties() const
    {
        return static_cast<TcxCustomDropDownEditProperties*>(ActiveProperties());
    }
    TClass GetEditDataClass() const override { return TcxCustomDropDownEditData::StaticClass(); }

    bool DroppedDown() { return HasPopupWindow(); }
    void SetDroppedDown(bool Value);
    // The popup window exists and is open.
    bool HasPopupWindow() const override;
    virtual void DropDown();
    // Closes an open popup; with AAccept the highlighted item becomes the value.
    virtual void CloseUp(bool AAccept);
    bool Focused() const override;
    TcxCustomEditPopupWindow* PopupWindow() const { return FPopupWindow.get(); }
    TcxEditPopupControlLookAndFeel* PopupControlsLookAndFeel() const { return FPopupControlsLookAndFeel.get(); }
    bool PopupSizedByUser() const { return FPopupSizedByUser; }
    void SetPopupSizedByUser(bool Value) { FPopupSizedByUser = Value; }
    bool IsHotAndPopup() const { return FIsHotAndPopup; }
    // Set when the program moved the list's selection: the next mouse move
    // over the list is ignored.
    bool PopupMouseMoveLocked = false;

    void Activate(std::unique_ptr<TcxCustomEditData>& AEditData) override;
    void ActivateByKey(char32_t AKey, std::unique_ptr<TcxCustomEditData>& AEditData) override;
    bool Deactivate() override;
    bool CanSendActivationKey(char32_t AKey) override;
    void PropertiesChanged(TObject* Sender) override;
    void PasteFromClipboard() override;
    void DoButtonDown(int AButtonIndex) override;
    // The lookup data's list may take keys and the wheel.
    virtual bool CanUseLookupNavigation(bool AForWheel);
    // The edit value of a lookup item: its text as a value.
    virtual Variant GetLookupItemValue(const Variant& AKey);
    // The lookup data chose an item: its value becomes the edit's.
    virtual void LookupDataChanged(TObject* Sender);

    // ---- what the popup window calls ----
    virtual TcxCustomEditPopupWindow* CreatePopupWindow();
    virtual void GetPopupWindowClientPreferredSize(TSize& ASize) { ASize = TSize{0, 0}; }
    virtual void PositionPopupWindowChildren(const TRect& AClientRect);
    virtual void PopupWindowClosed(TObject* Sender);
    virtual void PopupWindowCloseQuery(TObject* Sender, bool& CanClose);
    virtual void PopupWindowClosing(TObject* Sender) {}
    virtual void PopupWindowShowing(TObject* Sender) {}
    virtual void PopupWindowShowed(TObject* Sender);
    // The edit's frame as drawn, in its own client coordinates.
    TRect GetOwnerBounds();

protected:
    virtual bool CanDropDown() { return false; }
    virtual void DoInitPopup();
    virtual void DoPopup();
    virtual void DoCloseUp();
    virtual TWinControl* GetPopupFocusedControl();
    virtual void InitializeLookupData();
    virtual void SetupPopupWindow();
    virtual void PopupControlsLookAndFeelChanged() {}
    virtual void UpdatePopupWindow();
    virtual void LocateTextInPopup();
    void ResetEditData(TcxCustomEditData* AEditData) override;
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    // In place with the popup open, Alt and Ctrl keys and keys beyond the
    // character range are the popup's, not the host grid's.
    bool IsClickKey(WORD Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    // A character beyond ASCII opens the popup as a typed one does.
    bool InnerWideChar(char32_t ACh) override;
    // Alt released over the edit: the characters it left queued are dropped.
    void KeyUp(WORD& Key, TShiftState Shift) override;
    // The view data learns whether the popup is open and under the mouse.
    void InitializeViewData(TcxCustomEditViewData* AViewData) override;
    bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent) override;
    void DoExit() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CreateHandle() override;
    void WndProc(TMessage& Message) override;
    // A double click on the inner edit is the edit's double click.
    void InnerMouseEvent(UINT AMsg, WPARAM AKeys) override;
    void DblClick() override;
    // What a double click does in a descendant.
    virtual void EditDblClick() {}
    void UpdateHotAndPopup(const TPoint& P);
    // The popup's window exists (made on first use).
    TcxCustomEditPopupWindow* EnsurePopupWindow();

private:
    friend class TcxCustomEditPopupWindow;
    bool FActivatingByMouse = false;
    bool FIsHotAndPopup = false;
    bool FPopupSizedByUser = false;
    bool FPopupJustClosed = false;
    bool FInnerDblClickDone = false;
    std::unique_ptr<TcxEditPopupControlLookAndFeel> FPopupControlsLookAndFeel;
    std::unique_ptr<TcxCustomEditPopupWindow> FPopupWindow;
};

// ---- the combo box -----------------------------------------------------------------------------------------

enum TcxEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };

class TcxCustomComboBox;

using TcxEditDrawItemEvent = std::function<void(TcxCustomComboBox* AControl, TcxCanvas* ACanvas, int AIndex,
                                                const TRect& ARect, TOwnerDrawState AState)>;
using TcxComboBoxMeasureItemEvent =
    std::function<void(TcxCustomComboBox* AControl, int AIndex, TcxCanvas* ACanvas, int& AHeight)>;

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
    QZ_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
public:
    explicit TcxCustomComboBoxProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    TClass GetLookupDataClass() const override;
    bool UseLookupData() override { return true; }
    int GetDropDownRowCount() override { return FDropDownRows; }
    TcxTextEditingStyle GetEditingStyle() override;
    bool DropDownOnClick() override { return FDropDownListStyle == lsFixedList; }
    TClass GetPopupWindowClass() const override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;

    TcxEditDropDownListStyle DropDownListStyle() const { return FDropDownListStyle; }
    void SetDropDownListStyle(TcxEditDropDownListStyle Value);
    int DropDownRows() const { return FDropDownRows; }
    // Values below 1 are ignored.
    void SetDropDownRows(int Value);
    // 0: the list's own height.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    bool Revertable() const { return FRevertable; }
    void SetRevertable(bool Value) { FRevertable = Value; }
    TStringList* Items() const { return LookupItems(); }
    void SetItems(TStrings* Value) { SetLookupItems(Value); }
    bool Sorted() const { return LookupItemsSorted(); }
    void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
    bool DropDownAutoWidth() const { return PopupAutoSize(); }
    void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
    bool DropDownSizeable() const { return PopupSizeable(); }
    void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
    int DropDownWidth() const { return PopupWidth(); }
    void SetDropDownWidth(int Value) { SetPopupWidth(Value); }

    TcxEditDrawItemEvent OnDrawItem;
    TcxComboBoxMeasureItemEvent OnMeasureItem;

private:
    TcxEditDropDownListStyle FDropDownListStyle = lsEditList;
    int FDropDownRows = 8;
    int FItemHeight = 0;
    bool FRevertable = false;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
    QZ_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
public:
    explicit TcxComboBoxProperties(TPersistent* AOwner = nullptr) : TcxCustomComboBoxProperties(AOwner) {}
};

class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
    QZ_CLASS(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)
public:
    using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
    // Drawn as a combo box.
    bool IsComboBoxStyle() { return true; }
    bool HasComboBoxFrame() override { return true; }
};

// The list in a combo box's popup.
class TcxComboBoxListBox : public TcxCustomEditListBox {
    QZ_CLASS(TcxComboBoxListBox, TcxCustomEditListBox)
public:
    explicit TcxComboBoxListBox(TComponent* AOwner = nullptr);
    TcxCustomComboBox* ComboBox() const;
    int GetItemHeight(int AIndex = -1) override;
    bool DoDrawItem(int AIndex, const TRect& ARect, TOwnerDrawState AState) override;
    // The height of the first ARowCount rows.
    virtual int GetHeight(int ARowCount);
    // Run each time the popup is prepared: the window is made again when
    // the items' heights may have changed.
    virtual void UpdateItemHeights();
    void SetItemIndexLocked(int AIndex);
    // How many times the window was made again for new item heights.
    int RecreateCount() const { return FRecreateCount; }

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FFirstWindowCreation = true;
    bool FPrevMeasureAssigned = false;
    int FPrevItemHeight = 0;
    int FRecreateCount = 0;
};

class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
    QZ_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
public:
    TcxComboBoxLookupData() = default;
    TClass GetListBoxClass() const override { return TcxComboBoxListBox::StaticClass(); }
    bool CanResizeList(TSize& ASize) override;
    TSize GetListPreferredSize(int AListWidth, int AMaxHeight) override;
    void InitializeList(TWinControl* AParent) override;

protected:
    void UpdateItemHeights() override;
};

class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
    QZ_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
public:
    explicit TcxComboBoxPopupWindow(TWinControl* AOwnerControl = nullptr) : TcxCustomEditPopupWindow(AOwnerControl) {}
    void CalculateSize() override;
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
    QZ_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
public:
    explicit TcxCustomComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxComboBoxProperties::StaticClass(); }
    TcxCustomComboBoxProperties* Properties() const
    {
        return static_cast<TcxCustomComboBoxProperties*>(ActiveProperties());
    }
    void GetPopupWindowClientPreferredSize(TSize& ASize) override;
    void PopupWindowShowed(TObject* Sender) override;
    void Activate(std::unique_ptr<TcxCustomEditData>& AEditData) override;
    // The lookup data (the filter control reads its items).
    TcxCustomTextEditLookupData* GetLookupData() { return LookupData(); }

protected:
    bool CanDropDown() override;
    void ChangeHandler(TObject* Sender) override;
    void SetupPopupWindow() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void EditDblClick() override;
};

class TcxComboBox : public TcxCustomComboBox {
    QZ_CLASS(TcxComboBox, TcxCustomComboBox)
public:
    explicit TcxComboBox(TComponent* AOwner = nullptr, bool AIsInplace = false)
        : TcxCustomComboBox(AOwner, AIsInplace)
    {
    }
    TcxComboBoxProperties* Properties() const { return static_cast<TcxComboBoxProperties*>(ActiveProperties()); }
    // The current item (-1 for none). Setting another index selects it,
    // leaves the edit unmodified and fires OnClick.
    int ItemIndex();
    void SetItemIndex(int Value);
};

// ---- the popup edit ---------------------------------------------------------------------------------------

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
    QZ_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
public:
    explicit TcxCustomPopupEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomPopupEditProperties() override;
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    bool IsLookupDataVisual() override { return false; }
    bool PopupWindowTakesFocus() override { return true; }
    TClass GetPopupWindowClass() const override;
    void FreeNotification(TComponent* AComponent) override;

    TControl* PopupControl() const { return FPopupControl; }
    void SetPopupControl(TControl* Value);

private:
    TControl* FPopupControl = nullptr;
    std::unique_ptr<TcxFreeNotificator> FNotificator;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
    QZ_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
public:
    explicit TcxPopupEditProperties(TPersistent* AOwner = nullptr);
};

class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
    QZ_CLASS(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)
public:
    TcxPopupEditPopupWindowViewInfo() = default;
    void DrawBorder(TcxCanvas* ACanvas, TRect& R) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
    QZ_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
public:
    explicit TcxPopupEditPopupWindow(TWinControl* AOwnerControl = nullptr);
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
    QZ_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
public:
    explicit TcxCustomPopupEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomPopupEdit() override;
    TClass GetPropertiesClass() const override { return TcxPopupEditProperties::StaticClass(); }
    TcxCustomPopupEditProperties* Properties() const
    {
        return static_cast<TcxCustomPopupEditProperties*>(ActiveProperties());
    }
    void GetPopupWindowClientPreferredSize(TSize& ASize) override;
    void PositionPopupWindowChildren(const TRect& AClientRect) override;
    void PopupWindowClosed(TObject* Sender) override;

protected:
    bool CanDropDown() override;
    void DoInitPopup() override;
    TWinControl* GetPopupFocusedControl() override;
    void UpdatePopupWindow() override;
    virtual void RestorePopupControl();
    virtual void SavePopupControlState();

private:
    bool FStateSaved = false;
    TAlign FSavedAlign = alNone;
    TFormBorderStyle FSavedBorderStyle = fbsSizeable;
    TRect FSavedBounds;
    TWeakRef<TWinControl> FSavedParent;
    bool FSavedVisible = false;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
    QZ_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
public:
    explicit TcxPopupEdit(TComponent* AOwner = nullptr, bool AIsInplace = false)
        : TcxCustomPopupEdit(AOwner, AIsInplace)
    {
    }
};

extern const TcxResourceStringRec scxSEditRepositoryComboBoxItem;
extern const TcxResourceStringRec scxSEditRepositoryPopupItem;
extern const TcxResourceStringRec cxSEditPopupCircularReferencingError;

namespace cxEditUtils {
// Gives the popup its window region: the window, less the corner the shadow
// leaves, and less the shadow strip over the edit when it opens above.
void SetPopupWindowRegion(TcxCustomEditPopupWindow* AWindow);
}  // namespace cxEditUtils

namespace cxDropDownEdit {
// R moved and cut into the work area of the monitor of AOwner (screen).
TRect ClipToWorkArea(const TRect& R, const TRect& AOwner);
// The cursor of sizing directions.
TCursor SizingCursor(int AHorz, int AVert);
// Runs AAction inside one update of AProperties: one change report at the
// end, also when it fails.
void InUpdate(TcxCustomEditProperties* AProperties, const std::function<void()>& AAction);
// Forgets the popup height: in place the activation's, else the properties'.
void ResetPopupHeight(TcxCustomDropDownEdit* AEdit);
// Registers the combo box and popup edit properties with the editor registry.
void Initialize();
}  // namespace cxDropDownEdit
