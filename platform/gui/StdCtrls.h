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
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault };
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 8>;

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
