// Standard controls over the window system's own widgets: the list box.
// The list keeps its items in a native list widget; what a program does to
// it (adding, selecting, scrolling) goes through the list-box messages, so a
// descendant that watches its own messages sees every change.
#pragma once

#include "Controls.h"
#include "StringLists.h"

#include <algorithm>
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

// ---- the single-line edit and the memo ---------------------------------------------
// One text engine serves both: the text is counted in characters (a Chinese
// character is one), line breaks are CR LF and count two, and everything a
// program or a user does to it goes through the edit messages below, so a
// descendant or a replaced window procedure that watches them sees it all.
// Text passes as UTF-8 in a std::string pointed to by LParam (WM_SETTEXT,
// WM_GETTEXT, EM_REPLACESEL, EM_GETLINE). Notifications go to the parent as
// WM_COMMAND (the code in the high word, the edit's window in LParam), which
// comes back to the edit as CN_COMMAND.

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;     // LParam: const TRect*, or 0 for the client area; a new size resets it
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;
constexpr UINT WM_UNDO = 0x0304;

constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The default context menu of an edit (when it has no PopupMenu of its own):
// each item sends its message to the edit, so an owner that intercepts
// WM_CUT, WM_PASTE and WM_CLEAR sees the menu's requests too.
struct TEditMenuItem {
    std::string Caption;   // "-" for a separator
    UINT Msg = 0;          // sent to the edit when chosen
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    bool Enabled = true;
};
// How the default menu shows (the menu unit installs it): returns the index
// chosen, -1 for none.
using TEditMenuHandler = std::function<int(TWinControl* edit, const std::vector<TEditMenuItem>& items,
                                           TPoint screenPos)>;
void SetEditMenuHandler(TEditMenuHandler h);

class TCustomEdit : public TWinControl {
    QZ_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* owner = nullptr);
    ~TCustomEdit() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);           // recreates the window
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);         // converts the text there is
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    // The most characters typing or pasting may leave; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool Modified() const;
    void SetModified(bool v);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool v) { FOEMConvert = v; }
    // Shown in place of each character; 0: the text itself. Copy and cut are
    // refused while it is set.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);

    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SetSelText(const std::string& v);     // replaces the selection
    // The two ends of the selection: where it started and where the caret is.
    int SelAnchor() const;
    int CaretIndex() const;
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Clear();
    bool CanUndo() const { return false; }
    int GetTextLen() const;                    // in characters

    TNotifyEvent OnChange;

    std::string GetText() const override;
    void SetText(const std::string& v) override;

    // The engine's state, for the layer and tests.
    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }

protected:
    virtual void Change();
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void PaintWindow(HDC dc) override;
    void DefaultHandler(TMessage& message) override;
    void DoEnter() override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    virtual bool IsMultiLine() const { return false; }
    // The default context menu's items.
    virtual std::vector<TEditMenuItem> DefaultMenuItems();

    void CNCommand(TMessage& m);
    void WMMouse(TMessage& m);
    void WMEraseBkgnd(TMessage& m) { m.Result = 1; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_COMMAND, CNCommand)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
    QZ_END_MESSAGE_MAP

protected:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    std::unique_ptr<TImpl> FImpl;
};

class TEdit : public TCustomEdit {
    QZ_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* owner = nullptr) : TCustomEdit(owner) {}
};

// The lines of a memo, or of any multi-line edit (paragraphs: the text
// between line breaks, however word wrap shows them).
class TMemoStrings : public TStrings {
    QZ_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomEdit* memo = nullptr) : FMemo(memo) {}
    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;
private:
    TCustomEdit* FMemo;
};

class TCustomMemo : public TCustomEdit {
    QZ_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* owner = nullptr);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* v) { FLines->Assign(v); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);        // recreates the window
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    // The caret as column (X) and line (Y), lines being those shown.
    TPoint CaretPos() const;
    void SetCaretPos(TPoint p);

protected:
    void CreateParams(TCreateParams& params) override;
    bool IsMultiLine() const override { return true; }
    void KeyPress(char& key) override;
    void WMGetDlgCode(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP

private:
    std::unique_ptr<TMemoStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
    QZ_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* owner = nullptr) : TCustomMemo(owner) {}
};

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
    // 0: one column under a vertical bar; N: the items run top to bottom into
    // columns of a client width / N each, under a horizontal bar.
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    int ColumnWidth() const;
    // Tab characters in item texts jump to multiples of this distance, in
    // dialog units (a quarter of the average character width); 0: every 32.
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v);
    // Typing finds the item starting with all the characters typed in quick
    // succession; off, each character finds by its first letter alone.
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool v) { FAutoComplete = v; }
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
    int FColumns = 0;
    int FTabWidth = 0;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    bool FAutoComplete = true;
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
    // An action's checked state shows too (check boxes and radio buttons).
    void ActionChange(TObject* sender, bool checkDefaults) override;
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

// ==== scroll bar ===========================================================================

// A scroll bar control over the native one. What the user does with it goes
// to its parent as WM_HSCROLL or WM_VSCROLL (LParam: the bar's window), which
// the parent hands back to the bar as CN_HSCROLL or CN_VSCROLL; the bar then
// moves its position (OnScroll may change where to) and tells OnChange.
// GetScrollInfo and SetScrollInfo with SB_CTL read and set it by its window.
class TScrollBar : public TWinControl {
    QZ_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* owner = nullptr);
    ~TScrollBar() override;
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind v);
    int Min() const { return FMin; }
    void SetMin(int v) { SetParams(FPosition, v, FMax); }
    int Max() const { return FMax; }
    void SetMax(int v) { SetParams(FPosition, FMin, v); }
    // Kept between Min and the last place a page still fits (Max - PageSize + 1).
    int Position() const { return FPosition; }
    void SetPosition(int v) { SetParams(v, FMin, FMax); }
    // The part shown (0: none); at most the whole range.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int v) { FSmallChange = v; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int v) { FLargeChange = v; }
    // A maximum below the minimum is raised to it.
    void SetParams(int position, int min, int max);
    // Where the thumb stands while it is dragged (else the position).
    int TrackPos() const { return FTrackPos; }
    // SB_CTL's scroll information.
    void ApplyScrollInfo(const TScrollInfo& si);
    void ReadScrollInfo(TScrollInfo& si) const;

    TScrollEvent OnScroll;
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    virtual void Scroll(TScrollCode scrollCode, int& scrollPos);
    virtual void Change();
    void CNScroll(TMessage& m);
    void WMMouse(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_HSCROLL, CNScroll)
        QZ_MESSAGE_HANDLER(CN_VSCROLL, CNScroll)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
    QZ_END_MESSAGE_MAP

private:
    int LastPosition() const { return std::max(FMin, FPageSize > 0 ? FMax - FPageSize + 1 : FMax); }
    // Tells the parent of a move of the native bar (SB_ code).
    void Notify(int code);
    void Push();
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    int FSmallChange = 1, FLargeChange = 1;
    int FTrackPos = 0;
    int FPushing = 0;
};
