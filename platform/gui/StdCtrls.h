// Standard controls over the window system's own widgets: the list box.
// The list keeps its items in a native list widget; what a program does to
// it (adding, selecting, scrolling) goes through the list-box messages, so a
// descendant that watches its own messages sees every change.
#pragma once

#include "Controls.h"
#include "StringLists.h"

#include <memory>
#include <string>
#include <vector>

// ---- list-box messages and notifications ----------------------------------------------

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_ERR = -1;
constexpr WPARAM LBN_SELCHANGE = 1;
constexpr WPARAM LBN_DBLCLK = 2;

// Owner drawing: CN_DRAWITEM carries a pointer to this in LParam.
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;
struct TDrawItemStruct {
    UINT CtlType = 2;        // a list box
    int ItemID = -1;         // -1: no item (an empty list being focused)
    UINT ItemState = 0;      // ODS_ flags
    HDC DC = nullptr;
    TRect RcItem;            // client coordinates
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                          odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;

class TCustomListBox;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// The items of a list box, kept by its window (or held until it has one).
class TListBoxStrings : public TStrings {
    QZ_CLASS(TListBoxStrings, TStrings)
public:
    explicit TListBoxStrings(TCustomListBox* listBox = nullptr) : FListBox(listBox) {}
    std::string Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    void Put(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(const std::string& s) const override;
private:
    TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
    QZ_CLASS(TCustomListBox, TWinControl)
    friend class TListBoxStrings;
public:
    explicit TCustomListBox(TComponent* owner = nullptr);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    int Count() const { return FItems->Count(); }
    void Clear() { FItems->Clear(); }

    // The focused item in a multi-select list, the selected one otherwise; -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    int TopIndex() const;
    void SetTopIndex(int v);
    int ItemHeight() const;
    void SetItemHeight(int v);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    // The width the horizontal bar scrolls over (0: no horizontal scrolling).
    int ScrollWidth() const;
    void SetScrollWidth(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    // The item at a client point; -1 (or, with existing false, the count) when none.
    int ItemAtPos(TPoint p, bool existing) const;
    TRect ItemRect(int index) const;
    TCanvas* Canvas() const { return FCanvas.get(); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    // Draws one item (owner-drawn styles): OnDrawItem, or the text.
    virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);

    // The layer's own: the widget's scroll state copied to the window's bars.
    void UpdateScrollState();

protected:
    void CreateParams(TCreateParams& params) override;
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void DefaultHandler(TMessage& message) override;

    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    // The mouse reaches the native list after the control's own handling.
    void WMMouse(TMessage& m);
    void WMLButtonDblClk(TMessage& m);
    void WMMouseWheel(TMessage& m);
    // The list takes the arrows and characters (typing selects by the first letter).
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_RBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_RBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMLButtonDblClk)
        QZ_MESSAGE_HANDLER(WM_MOUSEWHEEL, WMMouseWheel)
        QZ_MESSAGE_HANDLER(CN_COMMAND, CNCommand)
        QZ_MESSAGE_HANDLER(CN_DRAWITEM, CNDrawItem)
    QZ_END_MESSAGE_MAP

public:
    struct TImpl;
private:
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TListBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    // Held while there is no window.
    std::vector<std::pair<std::string, TObject*>> FSaved;
    int FSavedIndex = -1;
    int FSavedTopIndex = 0;
    int FItemHeight = 16;
    int FScrollWidth = 0;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
};

class TListBox : public TCustomListBox {
    QZ_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* owner = nullptr) : TCustomListBox(owner) {}
};

// ==== labels, buttons, check boxes, radio buttons and group boxes ====================
// (StdButtons.cpp). Buttons, check boxes and radio buttons wrap the window
// system's own buttons; what the user does reaches the control as the button
// notifications (CN_COMMAND with BN_CLICKED, BN_DOUBLECLICKED), and a button
// whose style a descendant turns to BS_OWNERDRAW is painted through
// CN_DRAWITEM like an owner-drawn list.

#include "Classes.h"
#include "HostServices.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
constexpr UINT ODT_BUTTON = 4;

// Text on the parent's surface: aligned, laid out, wrapped or sized to the
// text; transparent shows the parent through; an accelerator focuses
// FocusControl. A link is a label with the link colour, underline and the
// hand cursor that calls OnClick.
class TCustomLabel : public TGraphicControl {
    QZ_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* owner = nullptr);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    TWinControl* FocusControl() const { return FFocusControl.Get(); }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    void SetAutoSize(bool v) override;
    // Link look: link colour, underlined, hand cursor (or back to plain text).
    void SetLinkStyle(bool v);
    bool LinkStyle() const { return FLink; }
    // The DT_ flags the label draws its text with.
    UINT DrawTextFlags() const;
    // Sizes the label to its text (when AutoSize).
    void AdjustBounds();
protected:
    void Paint() override;
    void CMTextChanged2(TMessage& m);
    void CMFontChanged2(TMessage& m);
    void CMDialogChar(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged2)
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
    QZ_END_MESSAGE_MAP
private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    bool FLink = false;
    TWeakRef<TWinControl> FFocusControl;
};

class TLabel : public TCustomLabel {
    QZ_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* owner = nullptr) : TCustomLabel(owner) {}
};

// What buttons, check boxes and radio buttons share: the native button
// window, its notifications and owner drawing.
class TButtonControl : public TWinControl {
    QZ_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* owner = nullptr);
    ~TButtonControl() override;
    // Whether the button shows checked (check boxes and radio buttons).
    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool v) {}
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // Check boxes and radio buttons: taRightJustify (the default) puts the
    // box at the left and the text to its right.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    // For the layer: the native button was pressed or needs painting.
    virtual void NativeClicked();
    void PaintOwnerDrawn(HDC dc, bool down, bool focused);
    bool OwnerDrawn() const;
protected:
    bool FClicksDisabled = false;
    bool FWordWrap = false;
    TAlignment FAlignment = taRightJustify;
    virtual void UpdateNative();   // pushes the control's state to its window
    void CreateParams(TCreateParams& params) override;
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void CNCommand(TMessage& m);
    void WMMouse(TMessage& m);
    void CMTextChanged2(TMessage& m);
    void CMFontChanged2(TMessage& m);
    void CMColorChanged3(TMessage& m);
    void WMLButtonDblClk(TMessage& m);
    void CMDialogChar(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_COMMAND, CNCommand)
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged2)
        QZ_MESSAGE_HANDLER(CM_COLORCHANGED, CMColorChanged3)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMLButtonDblClk)
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
    QZ_END_MESSAGE_MAP
public:
    void DefaultHandler(TMessage& message) override;
    struct TImpl;
protected:
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A push button. Clicking it sets its form's ModalResult to the button's
// (when it has one); Enter clicks the default button (unless another
// button has the focus) and Esc the cancel button, through CM_DIALOGKEY
// from the form.
class TCustomButton : public TButtonControl {
    QZ_CLASS(TCustomButton, TButtonControl)
public:
    explicit TCustomButton(TComponent* owner = nullptr);
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    void Click() override;
protected:
    void CreateParams(TCreateParams& params) override;
    void UpdateNative() override;
    void CMDialogKey(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_DIALOGKEY, CMDialogKey)
    QZ_END_MESSAGE_MAP
private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TButton : public TCustomButton {
    QZ_CLASS(TButton, TCustomButton)
public:
    explicit TButton(TComponent* owner = nullptr) : TCustomButton(owner) {}
};

// A check box with two states, or three with AllowGrayed (a click goes
// unchecked, grayed, checked, unchecked). Changing the state calls Click.
class TCustomCheckBox : public TButtonControl {
    QZ_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* owner = nullptr);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool Checked() const override { return FState == cbChecked; }
    void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v);
    virtual void Toggle();
    void NativeClicked() override { Toggle(); }
protected:
    void CreateParams(TCreateParams& params) override;
    void UpdateNative() override;
    void BMGetCheck(TMessage& m) { m.Result = LRESULT(FState); }
    void BMSetCheck(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(BM_GETCHECK, BMGetCheck)
        QZ_MESSAGE_HANDLER(BM_SETCHECK, BMSetCheck)
    QZ_END_MESSAGE_MAP
private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
};

class TCheckBox : public TCustomCheckBox {
    QZ_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* owner = nullptr) : TCustomCheckBox(owner) {}
};

// A radio button: checking one unchecks the radio buttons beside it (same
// parent). Becoming checked calls Click; a double click calls DblClick.
class TRadioButton : public TButtonControl {
    QZ_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* owner = nullptr);
    bool Checked() const override { return FChecked; }
    void SetChecked(bool v) override;
    void NativeClicked() override;
protected:
    void CreateParams(TCreateParams& params) override;
    void UpdateNative() override;
    void BMGetCheck(TMessage& m) { m.Result = FChecked ? BST_CHECKED : BST_UNCHECKED; }
    void BMSetCheck(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(BM_GETCHECK, BMGetCheck)
        QZ_MESSAGE_HANDLER(BM_SETCHECK, BMSetCheck)
    QZ_END_MESSAGE_MAP
private:
    bool FChecked = false;
};

// A frame with a caption around other controls.
class TCustomGroupBox : public TCustomControl {
    QZ_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* owner = nullptr);
    void AdjustClientRect(TRect& rect) override;
protected:
    void Paint() override;
    void CMTextChanged2(TMessage& m);
    void CMDialogChar(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
    QZ_END_MESSAGE_MAP
};

class TGroupBox : public TCustomGroupBox {
    QZ_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* owner = nullptr) : TCustomGroupBox(owner) {}
};

// ==== combo boxes (StdCombo.cpp) ======================================================
// A combo box over the window system's own: an edit with a drop-down list
// (csDropDown, csSimple), a list only (csDropDownList) or an owner-drawn
// list (csOwnerDrawFixed, csOwnerDrawVariable: items and the closed box are
// painted through CN_DRAWITEM, heights asked through MeasureItem). The user's
// choice comes as CBN_SELCHANGE (Click, then OnSelect, else OnChange),
// typing as CBN_EDITCHANGE (OnChange), the list opening and closing as
// CBN_DROPDOWN and CBN_CLOSEUP.

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_ERR = -1;
constexpr WPARAM CBN_SELCHANGE = 1;
constexpr WPARAM CBN_DBLCLK = 2;
constexpr WPARAM CBN_EDITCHANGE = 5;
constexpr WPARAM CBN_DROPDOWN = 7;
constexpr WPARAM CBN_CLOSEUP = 8;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

// CN_MEASUREITEM carries a pointer to this in LParam.
struct TMeasureItemStruct {
    UINT CtlType = 3;
    int ItemID = 0;
    int ItemHeight = 0;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox;

// The items of a combo box, with an object each.
class TComboBoxStrings : public TStrings {
    QZ_CLASS(TComboBoxStrings, TStrings)
public:
    explicit TComboBoxStrings(TCustomComboBox* combo = nullptr) : FCombo(combo) {}
    std::string Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
private:
    TCustomComboBox* FCombo;
};

class TCustomComboBox : public TWinControl {
    QZ_CLASS(TCustomComboBox, TWinControl)
    friend class TComboBoxStrings;
public:
    explicit TCustomComboBox(TComponent* owner = nullptr);
    ~TCustomComboBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v);
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v);
    // Characters the edit takes (0: no limit).
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool v);
    // The edit's selection (styles with an edit), in characters.
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SelectAll();
    void Clear();
    TCanvas* Canvas() const { return FCanvas.get(); }
    std::string GetText() const override;
    void SetText(const std::string& v) override;

    TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

    // For the layer.
    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void DefaultHandler(TMessage& message) override;
protected:
    void CreateParams(TCreateParams& params) override;
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    void CNMeasureItem(TMessage& m);
    void WMMouse(TMessage& m);
    void CMFontChanged2(TMessage& m);
    void CMColorChanged3(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_COMMAND, CNCommand)
        QZ_MESSAGE_HANDLER(CN_DRAWITEM, CNDrawItem)
        QZ_MESSAGE_HANDLER(CN_MEASUREITEM, CNMeasureItem)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged2)
        QZ_MESSAGE_HANDLER(CM_COLORCHANGED, CMColorChanged3)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
private:
    void PushItems();
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TComboBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<std::pair<std::string, TObject*>> FList;
    TComboBoxStyle FStyle = csDropDown;
    int FItemIndex = -1;
    int FDropDownCount = 8;
    int FItemHeight = 16;
    int FMaxLength = 0;
    bool FSorted = false;
    bool FAutoComplete = true;
};

class TComboBox : public TCustomComboBox {
    QZ_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* owner = nullptr) : TCustomComboBox(owner) {}
};
