// The group box: an editor that paints a captioned frame and holds child
// controls; its caption sits on any side (read upwards on the left, downwards
// on the right) or in the middle. The button group builds on it: a group of
// buttons described by a collection of items, laid out in columns, owning one
// child button per item, and painted by its view info where no control
// lives (grid cells).
#pragma once

#include "cxEdit.h"
#include "cxTextEdit.h"

#include <memory>
#include <string>
#include <vector>

enum TcxCaptionAlignment {
    alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight, alLeftTop, alLeftCenter,
    alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter
};

class TcxCustomGroupBox;
class TcxCustomButtonGroup;

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
    QZ_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
public:
    explicit TcxCustomGroupBoxProperties(TPersistent* AOwner = nullptr) : TcxCustomEditProperties(AOwner) {}
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override;
    TClass GetStyleClass() const override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
};

// A group box sits on its parent's face colour.
class TcxGroupBoxStyle : public TcxCustomEditStyle {
    QZ_CLASS(TcxGroupBoxStyle, TcxCustomEditStyle)
public:
    explicit TcxGroupBoxStyle(TPersistent* AOwner = nullptr, bool ADefaultValues = false)
        : TcxCustomEditStyle(AOwner, ADefaultValues) {}
    TColor GetDefaultColor() const override { return clBtnFace; }
};

// One button of a button group as calculated.
class TcxGroupBoxButtonViewInfo : public TcxEditButtonViewInfo {
    QZ_CLASS(TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo)
public:
    TcxGroupBoxButtonViewInfo() = default;
    TRect ButtonRect;
    std::string Caption;
    int Column = 0, Row = 0;
};

class TcxGroupBoxViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxGroupBoxViewInfo() = default;
    void Paint(TcxCanvas* ACanvas) override;
    TClass GetButtonViewInfoClass() const override { return TcxGroupBoxButtonViewInfo::StaticClass(); }
    // The caption's rectangle for a caption w wide and h high in a control
    // of AWidth x AHeight (AShadow: the 3-pixel shadow's width, or 0).
    static TRect CaptionRect(TcxCaptionAlignment AAlignment, int AWidth, int AHeight, int w, int h, int AShadow);

    TcxCaptionAlignment Alignment = alTopLeft;
    TFont* CaptionFont = nullptr;    // the edit's, rotated for side captions
    std::string VisibleCaption;
    bool HasCaptionShadow = false;   // the frame draws a shadow
    TColor ParentColor = clBtnFace;
    bool Ctl3D = true;
    TRect FrameRect;                 // calculated by Paint
    TRect CaptionBounds;             // calculated by Paint
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
    QZ_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)
public:
    TcxGroupBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
        : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}
    TcxContainerBorderStyle GetContainerBorderStyle(int AHotTrackState) override;
    bool HasShadow() override;
    TRect GetBorderExtent() override;
    TRect GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) override;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    // The frame style of the style's border style and a hot-track state.
    static TcxContainerBorderStyle FrameStyle(TcxEditBorderStyle AStyle, int AHotTrackState);
    // Whether the caption takes room on a side (stand-alone, not centred, with a caption).
    bool CaptionTakesRoom() const;

    TcxCaptionAlignment Alignment = alTopLeft;
    std::string VisibleCaption;
    // TextHeight("Qq") in the caption font (0 without a canvas to measure).
    int CaptionHeight = 0;
    TFont* CaptionFont = nullptr;
    TColor ParentColor = clBtnFace;
};

class TcxCustomGroupBox : public TcxCustomEdit {
    QZ_CLASS(TcxCustomGroupBox, TcxCustomEdit)
public:
    explicit TcxCustomGroupBox(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomGroupBox() override;
    TClass GetPropertiesClass() const override { return TcxCustomGroupBoxProperties::StaticClass(); }
    TClass GetStyleClass() const override { return TcxGroupBoxStyle::StaticClass(); }
    TcxGroupBoxViewInfo* GroupViewInfo() const { return dynamic_cast<TcxGroupBoxViewInfo*>(ViewInfo()); }

    TcxCaptionAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TcxCaptionAlignment Value);
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    const std::string& VisibleCaption() const { return FVisibleCaption; }
    bool CanFocusOnClick() const override { return false; }
    void ContainerStyleChanged(TObject* Sender) override;

protected:
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
    // Fills the view data the edit's state reaches (caption, alignment).
    virtual void PrepareViewData(TcxGroupBoxViewData* AData);
    void UpdateCaptionFont();
    void UpdateVisibleCaption();

private:
    void CMDialogChar(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
        QZ_MESSAGE_HANDLER(CM_TEXTCHANGED, CMTextChanged)
    QZ_END_MESSAGE_MAP
    TcxCaptionAlignment FAlignment = alTopLeft;
    std::unique_ptr<TFont> FCaptionFont;
    bool FIsAccelCharHandling = false;
    std::string FVisibleCaption;
};

class TcxGroupBox : public TcxCustomGroupBox {
    QZ_CLASS(TcxGroupBox, TcxCustomGroupBox)
public:
    explicit TcxGroupBox(TComponent* AOwner = nullptr) : TcxCustomGroupBox(AOwner) {}
};

// ---- the button group ---------------------------------------------------------------------------------------

class TcxButtonGroupItem : public TCollectionItem {
    QZ_CLASS(TcxButtonGroupItem, TCollectionItem)
public:
    explicit TcxButtonGroupItem(TCollection* ACollection = nullptr) : TCollectionItem(ACollection) {}
    void Assign(TPersistent* Source) override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

protected:
    void ItemChanged() { Changed(false); }

private:
    std::string FCaption;
    bool FEnabled = true;
};

// The items tell their owner of every change; while it hears of one item
// added, deleted or changed, ChangedItemIndex and ChangedItemOperation say which.
class TcxButtonGroupItems : public TOwnedCollection {
    QZ_CLASS(TcxButtonGroupItems, TOwnedCollection)
public:
    explicit TcxButtonGroupItems(TPersistent* AOwner = nullptr, TClass AItemClass = nullptr);
    ~TcxButtonGroupItems() override { Clear(); }
    TcxButtonGroupItem* Items(int Index) const { return ItemAs<TcxButtonGroupItem>(Index); }
    std::string ItemCaption(int Index) const { return Items(Index)->Caption(); }
    // -1 while no single change is being told.
    int ChangedItemIndex() const { return FChangedItemIndex; }
    // 0 added, 1 deleted, 2 changed.
    int ChangedItemOperation() const { return FChangedItemOperation; }
    std::function<void()> OnChanged;

protected:
    void Notify(TCollectionItem* AItem, TCollectionNotification AAction) override;
    void Update(TCollectionItem* AItem) override;

private:
    int FChangedItemIndex = -1;
    int FChangedItemOperation = -1;
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
    QZ_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
public:
    explicit TcxCustomButtonGroupProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomButtonGroupProperties() override;
    void Assign(TPersistent* Source) override;
    TClass GetEditClass() const override;
    // The class of the items and of their collection.
    virtual std::unique_ptr<TcxButtonGroupItems> CreateItems();
    // The columns used: balanced, so no column stays empty.
    virtual int GetColumnCount();
    // Rows of the column layout.
    int GetRowCount();

    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    TcxButtonGroupItems* Items() const { return FItems.get(); }
    void SetItems(TcxButtonGroupItems* Value) { FItems->Assign(Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    // Made by the constructor of the concrete properties (the base one cannot
    // reach its CreateItems).
    void InitItems();

private:
    int FColumns = 1;
    std::unique_ptr<TcxButtonGroupItems> FItems;
    bool FWordWrap = false;
};

// What a concrete button group's buttons need, in this order.
struct TcxButtonGroupButtonMetrics {
    int TextGap = 0;
    int WidthAdjustment = 0;        // for a given width
    int HorizontalSpace = 0;        // per button
    int ExtraTotalWidth = 0;
    int LeftMargin = 0;
    int PositionWidthAdjustment = 0;
    int ColumnSpacing = 0;
    int GlyphWidth = 0;
    int GlyphHeight = 0;
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
    QZ_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
public:
    TcxButtonGroupViewInfo() = default;
    void Paint(TcxCanvas* ACanvas) override;
    // Draws one button in place (its glyph and caption).
    virtual void DrawGroupButton(TcxCanvas* ACanvas, int AIndex) {}
    std::vector<std::unique_ptr<TcxGroupBoxButtonViewInfo>> GroupButtons;
    TRect CaptionMargins;
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
    QZ_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)
public:
    using TcxGroupBoxViewData::TcxGroupBoxViewData;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void InternalGetEditConstantPartSize(TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
                                         TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo, TSize& Size) override;
    virtual void CalculateButtonPositions(TcxButtonGroupViewInfo* AViewInfo);
    virtual void CalculateButtonsInfo(TcxButtonGroupViewInfo* AViewInfo);
    virtual int GetDrawTextFlags();
    virtual TcxButtonGroupButtonMetrics GetButtonMetrics() = 0;
    virtual TRect GetCaptionMargins() { return TRect{}; }
    virtual void CalculateButtonNativeState(TcxButtonGroupViewInfo* AViewInfo, int AIndex) = 0;
    // The painter style of the buttons.
    TcxEditButtonStyle ButtonPainterStyle();

    bool WordWrapCalculation = false;

protected:
    TcxCustomButtonGroupProperties* GroupProperties() const
    {
        return static_cast<TcxCustomButtonGroupProperties*>(Properties());
    }
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
    QZ_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)
public:
    explicit TcxCustomButtonGroup(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomButtonGroup() override;
    // Nil while the edit is still being made (its properties are a plain group box's then).
    TcxCustomButtonGroupProperties* Properties() const
    {
        return dynamic_cast<TcxCustomButtonGroupProperties*>(ActiveProperties());
    }
    TcxButtonGroupViewInfo* ButtonGroupViewInfo() const { return dynamic_cast<TcxButtonGroupViewInfo*>(ViewInfo()); }
    int ButtonCount() const { return int(FButtons.size()); }
    TWinControl* Buttons(int AIndex) const { return FButtons.at(size_t(AIndex)); }
    void PropertiesChanged(TObject* Sender) override;
    bool Focused() const override;

    virtual void UpdateButtonBounds();
    virtual TWinControl* CreateButton() = 0;
    virtual void InitializeButton(TWinControl* AButton);
    virtual void SetButtonCount(int Value);
    virtual void UpdateButtons();
    // The index of a child button, -1 for another control.
    int IndexOfButton(TControl* AButton) const;
    // An arrow key on the focused button moves the focus through the
    // columns: Left and Right by a column, Up and Down within one; the key
    // is consumed when the focus moves.
    void MoveFocusByKey(WORD& Key);
    // In place: the click that started the editing goes to the button under it.
    void ActivateByMouse(TShiftState AShift, int X, int Y, std::unique_ptr<TcxCustomEditData>& AEditData) override;

protected:
    friend class TcxCustomRadioGroupButton;
    void EnabledChanged() override;
    bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent) override;
    void CreateWnd() override;
    void Loaded() override;
    // Buttons register and unregister themselves.
    void AddButton(TWinControl* AButton) { FButtons.push_back(AButton); }
    void RemoveButton(TWinControl* AButton);
    void DeleteButton(int AIndex);

private:
    std::vector<TWinControl*> FButtons;
    bool FUpdatingButtons = false;
};
