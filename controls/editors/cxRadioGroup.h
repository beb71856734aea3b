// The radio group: a button group of radio buttons whose edit value is the
// chosen item's Value (or its caption, or DefaultValue when none is chosen),
// and the radio button it is made of, which also stands on its own, painted
// through the look-and-feel painters.
#pragma once

#include "StdCtrls.h"
#include "cxGroupBox.h"

#include <memory>
#include <string>

class TcxLookAndFeel;
class TcxCustomRadioGroup;

// Focuses the radio group's button whose index is in WParam.
constexpr UINT CM_FOCUSRADIOBUTTON = 0x806A;

class TcxRadioGroupItem : public TcxButtonGroupItem {
    QZ_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)
public:
    explicit TcxRadioGroupItem(TCollection* ACollection = nullptr);
    void Assign(TPersistent* Source) override;
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& AValue);
    bool IsValueStored() const { return !FValue.IsNull(); }
    int Tag = 0;

private:
    Variant FValue;
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
    QZ_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)
public:
    explicit TcxRadioGroupItems(TPersistent* AOwner = nullptr)
        : TcxButtonGroupItems(AOwner, TcxRadioGroupItem::StaticClass()) {}
    TcxRadioGroupItem* Items(int Index) const { return ItemAs<TcxRadioGroupItem>(Index); }
    TcxRadioGroupItem* Add() { return AddAs<TcxRadioGroupItem>(); }
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
    QZ_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
public:
    explicit TcxCustomRadioGroupProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    bool CanCompareEditValue() override { return true; }
    bool SuppressChangeOnEditValue() override { return true; }
    TClass GetEditClass() const override;
    TClass GetViewInfoClass() const override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    uint16_t GetSupportedOperations() override;
    bool CanResetEditValue() override { return true; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    std::unique_ptr<TcxButtonGroupItems> CreateItems() override;
    // Without balancing: Columns, at most one per item.
    int GetColumnCount() override;

    // The first item whose Value equals AEditValue, or whose caption equals
    // its text when the item has no Value; -1 when none.
    int FindItemIndex(const Variant& AEditValue);
    // The edit value of an item (its Value, else its caption); DefaultValue for -1.
    Variant ItemIndexToEditValue(int AIndex);

    TcxRadioGroupItems* Items() const { return static_cast<TcxRadioGroupItems*>(TcxCustomButtonGroupProperties::Items()); }
    const std::string& DefaultCaption() const { return FDefaultCaption; }
    void SetDefaultCaption(const std::string& Value);
    bool IsDefaultCaptionStored() const;
    const Variant& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const Variant& Value);

private:
    std::string FDefaultCaption;
    Variant FDefaultValue;
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
    QZ_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
public:
    explicit TcxRadioGroupProperties(TPersistent* AOwner = nullptr) : TcxCustomRadioGroupProperties(AOwner) {}
};

// A radio button drawn by the look-and-feel painters.
class TcxRadioButton : public TRadioButton {
    QZ_CLASS(TcxRadioButton, TRadioButton)
public:
    explicit TcxRadioButton(TComponent* AOwner = nullptr);
    ~TcxRadioButton() override;
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    // The caption's margins (left, top, right, bottom).
    virtual TRect GetTextMargins(bool ANative);
    virtual bool IsInplace() const { return false; }
    virtual void LookAndFeelChanged() { Invalidate(); }
    virtual void Paint(TcxCanvas* ACanvas);
    // 0 disabled, 1 hot, 2 normal, 3 pressed.
    virtual void UpdateButtonState(int AButton, TShiftState AShift, const TPoint& P);
    int GlyphState() const { return FGlyphState; }
    const TRect& GlyphRect() const { return FGlyphRect; }
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool Value) { FParentBackground = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    bool FInternalCheck = false;

private:
    void CNDrawItem(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CN_DRAWITEM, CNDrawItem)
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged)
    QZ_END_MESSAGE_MAP
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    TRect FGlyphRect;
    int FGlyphState = 2;
    bool FParentBackground = true;
    bool FCaptured = false;
};

// One button of a radio group.
class TcxCustomRadioGroupButton : public TcxRadioButton {
    QZ_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)
public:
    explicit TcxCustomRadioGroupButton(TComponent* AOwner = nullptr);
    ~TcxCustomRadioGroupButton() override;
    TcxCustomRadioGroup* RadioGroup() const { return FRadioGroup; }
    bool IsInplace() const override;
    void NativeClicked() override;
    int Column = 0, Row = 0;

protected:
    friend class TcxCustomRadioGroup;
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(char& Key) override;

private:
    void WMGetDlgCode(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(CN_KEYDOWN, CNKeyDown)
    QZ_END_MESSAGE_MAP
    TcxCustomRadioGroup* FRadioGroup = nullptr;
    bool FInClick = false;
};

class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
    QZ_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
public:
    TcxCustomRadioGroupViewInfo() = default;
    void DrawGroupButton(TcxCanvas* ACanvas, int AIndex) override;
    int ItemIndex = -1;
    bool GlyphOnLeft = true;
    TSize GlyphSize{13, 13};
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
    QZ_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
public:
    using TcxButtonGroupViewData::TcxButtonGroupViewData;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    TcxButtonGroupButtonMetrics GetButtonMetrics() override;
    void CalculateButtonNativeState(TcxButtonGroupViewInfo*, int) override {}
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
    QZ_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)
public:
    explicit TcxCustomRadioGroup(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxRadioGroupProperties::StaticClass(); }
    TcxCustomRadioGroupProperties* Properties() const
    {
        return static_cast<TcxCustomRadioGroupProperties*>(ActiveProperties());
    }
    TcxCustomRadioGroupButton* RadioButton(int AIndex) const
    {
        return static_cast<TcxCustomRadioGroupButton*>(Buttons(AIndex));
    }
    TWinControl* CreateButton() override;
    void UpdateButtons() override;
    void UpdateButtonBounds() override;
    void Clear() override { SetItemIndex(-1); }
    // In place: the checked button (or the first) takes the focus.
    void Activate(std::unique_ptr<TcxCustomEditData>& AEditData) override;

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The button at AIndex took the focus (the user chose it).
    void ButtonEntered(TcxCustomRadioGroupButton* AButton);
    // Whether a click on a button may check it.
    bool CanCheckButton(TcxCustomRadioGroupButton* AButton);

protected:
    void InternalSetEditValue(const Variant& Value, bool AValidate) override;
    void Loaded() override;

private:
    // WParam: the index of the button to focus.
    void CMFocusButton(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_FOCUSRADIOBUTTON, CMFocusButton)
    QZ_END_MESSAGE_MAP
    void CheckButton(int AIndex, bool AChecked);
    int FItemIndex = -1;
    int FStoredItemIndex = -1;
    bool FHasStoredItemIndex = false;
    bool FInternalUpdate = false;
    bool FUserSelection = false;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
    QZ_CLASS(TcxRadioGroup, TcxCustomRadioGroup)
public:
    explicit TcxRadioGroup(TComponent* AOwner = nullptr) : TcxCustomRadioGroup(AOwner) {}
};

namespace cxRadioGroup {
// Registers the radio group properties with the editor registry.
void Initialize();
// The size of the painters' radio glyph.
TSize MeasureRadioGlyph();
}  // namespace cxRadioGroup
