// The common controls: progress bar, up-down, status bar, tab control, page
// control with tab sheets, tree view, list view, date-time picker, month
// calendar and tool bar. The tree, the list view, the picker and the
// calendar wrap the window system's own widgets; the others draw themselves.
#pragma once

#include "ExtCtrls.h"
#include "ImgList.h"
#include "StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

class QIcon;
class QSize;
class TPopupMenu;

// ==== progress bar ========================================================================

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
    QZ_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* owner = nullptr);
    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    // Kept between Min and Max.
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool v);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation v);
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
private:
    void Push();
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

// ==== up-down ============================================================================

enum TUDBtnType { btNext, btPrev };
enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// Two arrow buttons that step a position, shown in an associated control
// (usually an edit) and read back from it when the user typed there.
class TUpDown : public TCustomControl {
    QZ_CLASS(TUpDown, TCustomControl)
public:
    explicit TUpDown(TComponent* owner = nullptr);
    ~TUpDown() override;
    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    bool Thousands() const { return FThousands; }
    void SetThousands(bool v);
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool v) { FArrowKeys = v; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation v);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton v);
    // The control that shows the position; the up-down sits at its side.
    TWinControl* Associate() const { return FAssociate.Get(); }
    void SetAssociate(TWinControl* v);
    // Steps as a press of the button would.
    void Press(TUDBtnType button);
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
protected:
    void Paint() override;
private:
    void UpdateAssociate();
    void StopRepeat();
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false, FThousands = true, FArrowKeys = true;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    TWeakRef<TWinControl> FAssociate;
    int FPressed = -1;   // the button held down, -1 for none
    uintptr_t FRepeat = 0;
};

// ==== status bar =========================================================================

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
    QZ_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle v);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel v);
private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelStyle FStyle = psText;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
    QZ_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* bar = nullptr);
    TStatusPanel* Add() { return AddAs<TStatusPanel>(); }
    TStatusPanel* Items(int index) const { return ItemAs<TStatusPanel>(index); }
    TStatusPanel* operator[](int index) const { return Items(index); }
    TPersistent* GetOwner() const override;
protected:
    void Update(TCollectionItem* item) override;
private:
    TStatusBar* FBar;
};

using TDrawPanelEvent = std::function<void(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect)>;

// A bar at the bottom of a form: panels of text (or drawn by the owner), or
// one simple text across the whole bar; a size grip at the right.
class TStatusBar : public TCustomControl {
    QZ_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* owner = nullptr);
    ~TStatusBar() override;
    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v);
    // Where a panel lies (the last one takes what is left); the panel under a point, -1 for none.
    TRect PanelRect(int index) const;
    int PanelAt(TPoint p) const;
    TDrawPanelEvent OnDrawPanel;
    virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);
protected:
    void Paint() override;
    void WMNCHitTest(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_NCHITTEST, WMNCHitTest)
    QZ_END_MESSAGE_MAP
private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    std::string FSimpleText;
};

// ==== tab control and page control ========================================================

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TTabGetImageEvent = std::function<void(TObject* sender, int tabIndex, int& imageIndex)>;

class TCustomTabControl;

// The tab captions of a tab control, each with an object.
class TTabStrings : public TStringList {
    QZ_CLASS(TTabStrings, TStringList)
public:
    explicit TTabStrings(TCustomTabControl* owner = nullptr) : FOwner(owner) {}
protected:
    void Changed() override;
private:
    TCustomTabControl* FOwner;
};

// A row (or rows) of tabs over a display area. The tabs draw themselves;
// a click on one changes TabIndex (OnChanging may refuse), then OnChange.
class TCustomTabControl : public TCustomControl {
    QZ_CLASS(TCustomTabControl, TCustomControl)
public:
    explicit TCustomTabControl(TComponent* owner = nullptr);
    ~TCustomTabControl() override;
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int v);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle v);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v);
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { FHotTrack = v; }
    // The tab under a client point, -1 for none.
    int IndexOfTabAt(int x, int y) const;
    TRect TabRect(int index) const;
    // The area inside the tabs' frame where the pages (or the owner's controls) go.
    TRect DisplayRect() const;
    int RowCount() const;
    void AdjustClientRect(TRect& rect) override;
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TTabGetImageEvent OnGetImageIndex;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
protected:
    // The tabs shown: their captions; the chosen one.
    virtual int TabCount() const { return FTabs->Count(); }
    virtual std::string TabCaption(int index) const { return FTabs->Strings(index); }
    virtual int CurrentTab() const { return FTabIndex; }
    // The user chose a tab: true when it became the chosen one.
    virtual bool SelectTab(int index);
    virtual bool CanChange();
    virtual void Change();
    virtual int GetImageIndex(int tabIndex);
    void Paint() override;
    void LayoutTabs() const;
    void KeyDown(WORD& key, TShiftState shift) override;
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
protected:
    std::unique_ptr<TTabStrings> FTabs;
    int FTabIndex = -1;
public:
    void TabsChanged();
private:
    int FTabHeight = 0;    // 0: from the font
    int FTabWidth = 0;     // 0: from the caption
    bool FMultiLine = false;
    bool FHotTrack = false;
    TTabStyle FStyle = tsTabs;
    TTabPosition FTabPosition = tpTop;
    TWeakRef<TCustomImageList> FImages;
    mutable std::vector<TRect> FTabRects;
    mutable int FRows = 1;
    mutable bool FLayoutValid = false;
};

class TTabControl : public TCustomTabControl {
    QZ_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* owner = nullptr) : TCustomTabControl(owner) {}
    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* v) { FTabs->Assign(v); }
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int v);
};

class TPageControl;

// A page of a page control: holds the page's controls; its caption is the tab's.
class TTabSheet : public TCustomControl {
    QZ_CLASS(TTabSheet, TCustomControl)
public:
    explicit TTabSheet(TComponent* owner = nullptr);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* v);
    // Whether the sheet has a tab (a sheet without one can still be the active page).
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    int PageIndex() const;
    void SetPageIndex(int v);
    // The sheet's place among the tabs shown, -1 when it has none.
    int TabIndex() const;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
protected:
    void Paint() override;
    void CMTextChanged2(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
    QZ_END_MESSAGE_MAP
private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

class TPageControl : public TCustomTabControl {
    QZ_CLASS(TPageControl, TCustomTabControl)
    friend class TTabSheet;
public:
    explicit TPageControl(TComponent* owner = nullptr);
    ~TPageControl() override;
    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(size_t(index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // The next (or previous) sheet with a visible tab, wrapping round.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward, bool checkTabVisible = true);
protected:
    int TabCount() const override;
    std::string TabCaption(int index) const override;
    int CurrentTab() const override;
    bool SelectTab(int index) override;
    int GetImageIndex(int tabIndex) override;
    void AlignControls(TControl* control, TRect& rect) override;
private:
    TTabSheet* TabSheet(int tabIndex) const;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowActive();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// ==== tree view ===========================================================================

class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
    QZ_CLASS(TTreeNode, TPersistent)
    friend class TTreeNodes;
    friend class TCustomTreeView;
public:
    TTreeNode() = default;
    ~TTreeNode() override;
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v);
    // What the program hangs on the node (not owned; OnDeletion frees it where the owner wants).
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int v);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int v);
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return int(FChildren.size()); }
    TTreeNode* Item(int index) const { return FChildren.at(size_t(index)); }
    TTreeNode* operator[](int index) const { return Item(index); }
    bool HasChildren() const { return !FChildren.empty() || FHasChildren; }
    void SetHasChildren(bool v);
    int Index() const;
    int Level() const;
    // The place among all nodes, in the order of a walk through the tree.
    int AbsoluteIndex() const;
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool v);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const { return Selected(); }
    void MakeVisible();
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node of a walk through the whole tree (children first).
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    bool IsVisible() const;
    TRect DisplayRect(bool textOnly) const;
    // Starts editing the caption in place.
    bool EditText();
    void Delete();
    void DeleteChildren();
    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    // For the layer: the native item while the window lives.
    void* FItemPtr() const;
private:
    TTreeNodes* FOwner = nullptr;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
    std::string FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    int FStateIndex = -1;
    bool FExpanded = false;
    bool FHasChildren = false;
    void* FItem = nullptr;   // the native item while the window lives
};

class TTreeNodes : public TPersistent {
    QZ_CLASS(TTreeNodes, TPersistent)
    friend class TTreeNode;
    friend class TCustomTreeView;
public:
    explicit TTreeNodes(TCustomTreeView* owner = nullptr) : FOwner(owner) {}
    ~TTreeNodes() override;
    // Nodes at the top level (sibling null: at the end) or under a parent.
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
    TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
    TTreeNode* InsertObject(TTreeNode* sibling, const std::string& text, void* data);
    void Delete(TTreeNode* node);
    void Clear();
    // All nodes, counted in the order of a walk through the tree.
    int Count() const;
    TTreeNode* Item(int index) const;
    TTreeNode* operator[](int index) const { return Item(index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    int RootCount() const { return int(FRoots.size()); }
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    TCustomTreeView* Owner() const { return FOwner; }
private:
    TTreeNode* InsertAt(TTreeNode* parent, int index, const std::string& text, void* data);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent) { return parent ? parent->FChildren : FRoots; }
    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FUpdating = 0;
};

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
                            cdsMarked, cdsIndeterminate };
using TCustomDrawState = TSet<TCustomDrawStateItem, 16>;

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allow)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowEdit)>;
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, std::string& s)>;
using TTVCustomDrawItemEvent = std::function<void(TCustomTreeView* sender, TTreeNode* node,
                                                  TCustomDrawState state, bool& defaultDraw)>;

// A tree over the native tree widget. The nodes live with the control (the
// window may be made again); the user's selection, expanding and editing
// reach the program as the events below.
class TCustomTreeView : public TWinControl {
    QZ_CLASS(TCustomTreeView, TWinControl)
    friend class TTreeNode;
    friend class TTreeNodes;
public:
    explicit TCustomTreeView(TComponent* owner = nullptr);
    ~TCustomTreeView() override;
    TTreeNodes* Items() const { return FNodes.get(); }
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* node);
    TTreeNode* TopItem() const;
    TTreeNode* GetNodeAt(int x, int y) const;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool v);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool v);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool v);
    int Indent() const { return FIndent; }
    void SetIndent(int v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v);
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool v) { FAutoExpand = v; }
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    TCustomImageList* StateImages() const { return FStateImages.Get(); }
    void SetStateImages(TCustomImageList* v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool IsEditing() const;
    void FullExpand();
    void FullCollapse();
    TCanvas* Canvas() const { return FCanvas.get(); }

    TTVChangedEvent OnChange, OnExpanded, OnCollapsed, OnDeletion, OnGetImageIndex, OnGetSelectedIndex;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding, OnCollapsing;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVCustomDrawItemEvent OnCustomDrawItem;

    // For the layer.
    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeSelected(TTreeNode* node);
    bool NativeExpanding(TTreeNode* node, bool expand);
    void NativeEdited(TTreeNode* node, std::string text);
    void ApplyNode(TTreeNode* node);   // the node's caption and images on its native item
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void WMMouse(TMessage& m);
    void WMLButtonDblClk2(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_RBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMLButtonDblClk2)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
public:
    void DefaultHandler(TMessage& message) override;
private:
    void Attach(TTreeNode* node);    // makes the node's native item (and its children's)
    void Detach(TTreeNode* node);    // the node leaves: selection and native item
    void Rebuild();
    void ImagesChanged();
    QIcon NodeIcon(int image, int state) const;
    QSize IconSize() const;
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TTreeNodes> FNodes;
    std::unique_ptr<TControlCanvas> FCanvas;
    TTreeNode* FSelected = nullptr;
    TWeakRef<TCustomImageList> FImages, FStateImages;
    bool FReadOnly = false, FShowRoot = true, FShowLines = true, FShowButtons = true;
    bool FHideSelection = true, FRowSelect = false, FAutoExpand = false;
    int FIndent = 19;
    TBorderStyle FBorderStyle = bsSingle;
};

class TTreeView : public TCustomTreeView {
    QZ_CLASS(TTreeView, TCustomTreeView)
public:
    explicit TTreeView(TComponent* owner = nullptr) : TCustomTreeView(owner) {}
};

// ==== list view ===========================================================================

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange { ctText, ctImage, ctState };
class TCustomListView;
class TListItems;

class TListColumn : public TCollectionItem {
    QZ_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    int Width() const;
    void SetWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; Changed(false); }
    int FWidthRaw() const { return FWidth; }   // as set, whatever the user dragged
private:
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
};

class TListColumns : public TCollection {
    QZ_CLASS(TListColumns, TCollection)
public:
    explicit TListColumns(TCustomListView* owner = nullptr);
    TListColumn* Add() { return AddAs<TListColumn>(); }
    TListColumn* Items(int index) const { return ItemAs<TListColumn>(index); }
    TListColumn* operator[](int index) const { return Items(index); }
    TPersistent* GetOwner() const override;
    TCustomListView* Owner() const { return FOwner; }
protected:
    void Update(TCollectionItem* item) override;
private:
    TCustomListView* FOwner;
};

class TListItem : public TPersistent {
    QZ_CLASS(TListItem, TPersistent)
    friend class TListItems;
    friend class TCustomListView;
public:
    explicit TListItem(TListItems* owner = nullptr);
    ~TListItem() override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    // The texts of the columns after the first (report view).
    TStrings* SubItems() const { return FSubItems.get(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const;
    void SetFocused(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    int Index() const;
    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    void MakeVisible(bool partialOK);
    TRect DisplayRect() const;
    void Delete();
    void Update();
private:
    TListItems* FOwner;
    std::string FCaption;
    std::unique_ptr<TStringList> FSubItems;
    int FImageIndex = -1;
    void* FData = nullptr;
    bool FChecked = false;
};

class TListItems : public TPersistent {
    QZ_CLASS(TListItems, TPersistent)
    friend class TListItem;
    friend class TCustomListView;
public:
    explicit TListItems(TCustomListView* owner = nullptr) : FOwner(owner) {}
    ~TListItems() override;
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TListItem* Item(int index) const { return FItems.at(size_t(index)); }
    TListItem* operator[](int index) const { return Item(index); }
    int IndexOf(const TListItem* item) const;
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    TCustomListView* Owner() const { return FOwner; }
private:
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FUpdating = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;
using TLVDeletedEvent = std::function<void(TObject* sender, TListItem* item)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVEditedEvent = std::function<void(TObject* sender, TListItem* item, std::string& s)>;

// A list of items shown as large icons, small icons, a list or a report
// with columns. Items live with the control; selecting (by the user or the
// program) reports OnSelectItem for each item that changes.
class TCustomListView : public TWinControl {
    QZ_CLASS(TCustomListView, TWinControl)
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;
    friend class TListColumn;
public:
    explicit TCustomListView(TComponent* owner = nullptr);
    ~TCustomListView() override;
    TListItems* Items() const { return FItems.get(); }
    TListColumns* Columns() const { return FColumns.get(); }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle v);
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    int ItemIndex() const;
    void SetItemIndex(int v);
    int SelCount() const;
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool v);
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool v);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    TCustomImageList* LargeImages() const { return FLargeImages.Get(); }
    void SetLargeImages(TCustomImageList* v);
    TCustomImageList* SmallImages() const { return FSmallImages.Get(); }
    void SetSmallImages(TCustomImageList* v);
    TListItem* GetItemAt(int x, int y) const;
    void ClearSelection();
    void SelectAll();
    TCanvas* Canvas() const { return FCanvas.get(); }

    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVDeletedEvent OnDeletion, OnInsert;
    TLVColumnClickEvent OnColumnClick;
    TLVEditedEvent OnEdited;

    // For the layer.
    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeSelectionChanged();
    void NativeEdited(int row, std::string text);
    void NativeChecked(int row, bool checked);
    void NativeColumnClick(int column);
    void DefaultHandler(TMessage& message) override;
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void WMMouse(TMessage& m);
    void WMLButtonDblClk2(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_RBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMLButtonDblClk2)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
private:
    void ItemInserted(int index);
    void ItemDeleting(int index);
    void ItemChanged(TListItem* item, TItemChange change);
    void ColumnsChanged();
    void Rebuild();
    void SetItemSelected(int index, bool v);
    bool ItemSelected(int index) const;
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TListItems> FItems;
    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<bool> FSelection;   // kept while there is no window, and compared to tell what changed
    int FFocused = -1;
    TViewStyle FViewStyle = vsIcon;
    TWeakRef<TCustomImageList> FLargeImages, FSmallImages;
    bool FMultiSelect = false, FReadOnly = false, FRowSelect = false, FGridLines = false;
    bool FCheckboxes = false, FShowColumnHeaders = true, FHideSelection = true;
};

class TListView : public TCustomListView {
    QZ_CLASS(TListView, TCustomListView)
public:
    explicit TListView(TComponent* owner = nullptr) : TCustomListView(owner) {}
};

// ==== date-time picker and month calendar ==================================================

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };
enum TDTDateMode { dmComboBox, dmUpDown };

// A date or a time, typed or picked from a calendar; with ShowCheckbox a
// check box before it says whether there is a value at all (Checked).
class TDateTimePicker : public TWinControl {
    QZ_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* owner = nullptr);
    ~TDateTimePicker() override;
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind v);
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime v);
    TDateTime Date() const;
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat v);
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode v);
    // A display format in the platform's letters (yyyy, MM, dd, HH, mm, ss); empty: from DateFormat.
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& v);
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime v);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime v);
    TNotifyEvent OnChange, OnCloseUp, OnDropDown;

    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeChanged(TDateTime v);
    void NativeChecked(bool v);
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void WMMouse(TMessage& m);
    void CMFontChanged2(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged2)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
private:
    void Push();
    std::unique_ptr<TImpl> FImpl;
    TDateTimeKind FKind = dtkDate;
    TDateTime FDateTime = 0;
    bool FShowCheckbox = false;
    bool FChecked = true;
    TDTDateFormat FDateFormat = dfShort;
    TDTDateMode FDateMode = dmComboBox;
    std::string FFormat;
    TDateTime FMinDate = 0, FMaxDate = 0;   // 0: no limit
};

// What lies under a point of a month calendar (TMonthCalendar::HitTest).
constexpr int MCHT_NOWHERE = 0;
constexpr int MCHT_TITLE = 0x00010000;
constexpr int MCHT_CALENDAR = 0x00020000;
constexpr int MCHT_TODAYLINK = 0x00030000;
constexpr int MCHT_NEXT = 0x01000000;
constexpr int MCHT_PREV = 0x02000000;
constexpr int MCHT_TITLEBK = MCHT_TITLE;
constexpr int MCHT_TITLEMONTH = MCHT_TITLE | 1;
constexpr int MCHT_TITLEYEAR = MCHT_TITLE | 2;
constexpr int MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 3;
constexpr int MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 3;
constexpr int MCHT_CALENDARBK = MCHT_CALENDAR;
constexpr int MCHT_CALENDARDATE = MCHT_CALENDAR | 1;
constexpr int MCHT_CALENDARDAY = MCHT_CALENDAR | 2;
constexpr int MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 3;

class TMonthCalendar : public TWinControl {
    QZ_CLASS(TMonthCalendar, TWinControl)
public:
    explicit TMonthCalendar(TComponent* owner = nullptr);
    ~TMonthCalendar() override;
    // The part under a client point: a day, the day-name row, the title's
    // month, year or buttons (MCHT_*); MCHT_NOWHERE without a window.
    int HitTest(TPoint p) const;
    // The smallest size that shows a whole month (the current size without a window).
    TPoint MinimalSize() const;
    // The user clicked a day (also the one already chosen).
    virtual void DayClicked() {}
    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime v);
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime v);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime v);
    // The user picking a day calls Click (OnClick).
    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeChanged(TDateTime v);
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void WMMouse(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
private:
    void Push();
    std::unique_ptr<TImpl> FImpl;
    TDateTime FDate = 0;
    TDateTime FMinDate = 0, FMaxDate = 0;
};

// ==== tool bar ============================================================================

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
class TToolBar;

// A button of a tool bar: a picture from the bar's image list, a caption
// when the bar shows them; a check button stays down (one at a time when
// Grouped with its neighbours); separators leave a gap.
class TToolButton : public TGraphicControl {
    QZ_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* owner = nullptr);
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool v) { FGrouped = v; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v) { FAllowAllUp = v; }
    bool Indeterminate() const { return FIndeterminate; }
    void SetIndeterminate(bool v);
    bool Marked() const { return FMarked; }
    void SetMarked(bool v);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v);
    TToolBar* ToolBar() const;
    // The menu a drop-down button shows under itself when its arrow is pressed.
    TPopupMenu* DropdownMenu() const;
    void SetDropdownMenu(TPopupMenu* v);
    // Shows the drop-down menu under the button (as the arrow does); false without one.
    bool CheckMenuDropdown();
    // An action's image and checked state show too.
    void ActionChange(TObject* sender, bool checkDefaults) override;
    // Where the drop-down arrow of a tbsDropDown button lies (client coordinates).
    TRect DropDownRect() const;
    bool MouseInControl() const { return FMouseInControl; }
    void SetParent(TWinControl* parent) override;
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The arrow of a drop-down button was pressed.
    TNotifyEvent OnDropDownClick;
protected:
    void Paint() override;
    void CMMouseEnter2(TMessage& m);
    void CMMouseLeave2(TMessage& m);
    void CMTextChanged2(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter2)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave2)
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
    QZ_END_MESSAGE_MAP
private:
    friend class TToolBar;
    void UpdateGroup();
    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false, FGrouped = false, FAllowAllUp = false, FIndeterminate = false, FMarked = false;
    bool FWrap = false;
    bool FPressed = false, FMouseInControl = false, FArrowPressed = false;
    TWeakRef<TComponent> FDropdownMenu;
};

class TToolBar : public TCustomControl {
    QZ_CLASS(TToolBar, TCustomControl)
    friend class TToolButton;
public:
    explicit TToolBar(TComponent* owner = nullptr);
    ~TToolBar() override;
    int ButtonCount() const { return int(FButtons.size()); }
    TToolButton* Buttons(int index) const { return FButtons.at(size_t(index)); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int v);
    TCustomImageList* Images() const { return FImages.Get(); }
    void SetImages(TCustomImageList* v);
    TCustomImageList* DisabledImages() const { return FDisabledImages.Get(); }
    void SetDisabledImages(TCustomImageList* v);
    TCustomImageList* HotImages() const { return FHotImages.Get(); }
    void SetHotImages(TCustomImageList* v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool v);
    // Captions beside the pictures rather than under them.
    bool List() const { return FList; }
    void SetList(bool v);
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool v);
    int Indent() const { return FIndent; }
    void SetIndent(int v);
    // The size every button takes (from the images and, shown, the captions).
    TSize ButtonSize() const;
    // Places the buttons in their order, wrapping where asked (or where the bar ends, when Wrapable).
    void ArrangeButtons();
protected:
    void Paint() override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;
private:
    void InsertButton(TToolButton* b);
    void RemoveButton(TToolButton* b);
    std::vector<TToolButton*> FButtons;
    int FButtonWidth = 23, FButtonHeight = 22, FIndent = 0;
    TWeakRef<TCustomImageList> FImages, FDisabledImages, FHotImages;
    bool FFlat = false, FShowCaptions = false, FList = false, FWrapable = true;
    bool FArranging = false;
};
