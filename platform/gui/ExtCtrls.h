// The timer component.
#pragma once

#include "Controls.h"

// Calls OnTimer every Interval milliseconds while enabled, on the program's
// thread, from the program's one timer schedule.
class TTimer : public TComponent {
    QZ_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    UINT Interval() const { return FInterval; }
    void SetInterval(UINT v);
    TNotifyEvent OnTimer;
protected:
    virtual void Timer();
private:
    void Update();
    bool FEnabled = true;
    UINT FInterval = 1000;
    uintptr_t FId = 0;
};

// ==== panels, bevels, shapes, images, splitters, radio groups, notebooks ===============
// (ExtControls.cpp)

#include "Buttons.h"
#include "StdCtrls.h"

// A raised (or lowered) area that holds other controls, with a caption in its middle.
class TCustomPanel : public TCustomControl {
    QZ_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* owner = nullptr);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    void AdjustClientRect(TRect& rect) override;
protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void CMTextChanged2(TMessage& m) { Invalidate(); }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged2)
    QZ_END_MESSAGE_MAP
private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
    QZ_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* owner = nullptr) : TCustomPanel(owner) {}
};

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

class TBevel : public TGraphicControl {
    QZ_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* owner = nullptr);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v);
protected:
    void Paint() override;
private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
    QZ_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* owner = nullptr);
    ~TShape() override;
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
protected:
    void Paint() override;
private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// Shows a picture: at its own size (AutoSize sizes the control to it), centred, or stretched.
class TImage : public TGraphicControl {
    QZ_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* owner = nullptr);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* v) { FPicture->Assign(v); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    void SetAutoSize(bool v) override;
    // Where the picture lands in the client area.
    TRect DestRect() const;
protected:
    void Paint() override;
private:
    void PictureChanged(TObject*);
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeSplitEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

// A bar between an aligned control and the rest: dragging it resizes the
// control it touches, keeping both sides at least MinSize.
class TSplitter : public TGraphicControl {
    QZ_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* owner = nullptr);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int v) { FMinSize = std::max(1, v); }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle v) { FResizeStyle = v; }
    // The control the splitter resizes (found when a drag starts).
    TControl* FindControl() const;
    TCanResizeSplitEvent OnCanResize;
    TNotifyEvent OnMoved;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
protected:
    void Paint() override;
    void RequestAlign() override;
private:
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsUpdate;
    TWeakRef<TControl> FControl;
    TPoint FDownPos;
    int FOldSize = 0;
    int FNewSize = 0;
    bool FDragging = false;
};

// A group box of radio buttons made from Items, in Columns; ItemIndex is the checked one.
class TCustomRadioGroup : public TCustomGroupBox {
    QZ_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* owner = nullptr);
    ~TCustomRadioGroup() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int index) const { return FButtons.at(size_t(index)); }
protected:
    void Resize() override;
    void CMEnabledChanged2(TMessage& m);
    void CMFontChanged3(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged2)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged3)
    QZ_END_MESSAGE_MAP
private:
    void ItemsChanged(TObject*);
    void ButtonClicked(TObject* sender);
    void ArrangeButtons();
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    QZ_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* owner = nullptr) : TCustomRadioGroup(owner) {}
};

class TNotebook;

// One page of a notebook: holds the page's controls, shows while active.
class TPage : public TCustomControl {
    QZ_CLASS(TPage, TCustomControl)
public:
    explicit TPage(TComponent* owner = nullptr);
protected:
    void Paint() override;
};

// Stacked pages, one showing at a time, chosen by index or by name.
class TNotebook : public TCustomControl {
    QZ_CLASS(TNotebook, TCustomControl)
public:
    explicit TNotebook(TComponent* owner = nullptr);
    ~TNotebook() override;
    // The page names; adding one makes a page, deleting one frees it.
    TStrings* Pages() const { return FPageNames.get(); }
    int PageCount() const { return int(FPages.size()); }
    TPage* Page(int index) const { return FPages.at(size_t(index)); }
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int v);
    std::string ActivePage() const;
    void SetActivePage(const std::string& name);
    TNotifyEvent OnPageChanged;
    // For the page list.
    TPage* InsertPage(int index, const std::string& name);
    void DeletePage(int index);
private:
    std::unique_ptr<TStrings> FPageNames;
    std::vector<TPage*> FPages;
    int FPageIndex = -1;
};
