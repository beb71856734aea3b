// The check box editor: a value that is one of three states (unchecked,
// checked, grayed), each stored as a value of the user's choice. It paints a
// mark box and a caption and toggles by the mouse, the Space key and the
// caption's accelerator. In place (grid cells) the mark is centred and no
// caption shows beside it.
#pragma once

#include "cxEdit.h"
#include "cxEditUtils.h"
#include "cxTextEdit.h"

#include <memory>
#include <string>

class TcxCustomCheckBox;

class TcxCheckEditPropertiesValues : public TcxCustomEditPropertiesValues {
    QZ_CLASS(TcxCheckEditPropertiesValues, TcxCustomEditPropertiesValues)
public:
    explicit TcxCheckEditPropertiesValues(TPersistent* AOwner = nullptr) : TcxCustomEditPropertiesValues(AOwner) {}
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool Caption = false;
};

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
    QZ_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
public:
    explicit TcxCustomCheckBoxProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomCheckBoxProperties() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    // In place the mark is centred unless a descendant says otherwise.
    virtual bool UseAlignmentInplace() const { return false; }
    bool CanCompareEditValue() override { return true; }
    TClass GetAssignedValuesClass() const override { return TcxCheckEditPropertiesValues::StaticClass(); }
    bool SuppressChangeOnEditValue() override { return true; }
    TClass GetEditClass() const override;
    TClass GetStyleClass() const override;
    TClass GetViewInfoClass() const override;
    std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
    uint16_t GetSupportedOperations() override { return 149; }
    bool IsEditValueValid(const Variant& AEditValue) override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void RestoreDefaults() override;
    std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) override;

    // The state a value shows: checked, unchecked, or grayed for anything else.
    TcxCheckBoxState GetState(const Variant& AEditValue) const;
    Variant StateToValue(TcxCheckBoxState AState) const;
    // Whether AValue is not one of the three state values.
    bool IsUnusedStateValue(const Variant& AValue) const;

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool IsCaptionAssigned() const { return AssignedValues_()->Caption; }
    // The caption an edit fills in while none is assigned (its name).
    void SetCaptionField(const std::string& Value) { FCaption = Value; }
    const std::string& DisplayChecked() const { return FDisplayChecked; }
    void SetDisplayChecked(const std::string& Value) { FDisplayChecked = Value; }
    const std::string& DisplayGrayed() const { return FDisplayGrayed; }
    void SetDisplayGrayed(const std::string& Value) { FDisplayGrayed = Value; }
    const std::string& DisplayUnchecked() const { return FDisplayUnchecked; }
    void SetDisplayUnchecked(const std::string& Value) { FDisplayUnchecked = Value; }
    bool IsDisplayCheckedStored() const;
    bool IsDisplayGrayedStored() const { return !FDisplayGrayed.empty(); }
    bool IsDisplayUncheckedStored() const;
    bool FullFocusRect() const { return FFullFocusRect; }
    void SetFullFocusRect(bool Value);
    // Made on first access.
    TBitmap* Glyph();
    bool HasGlyph() const { return FGlyph != nullptr; }
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TcxCheckBoxNullValueShowingStyle NullStyle() const { return FNullStyle; }
    void SetNullStyle(TcxCheckBoxNullValueShowingStyle Value);
    const Variant& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const Variant& Value);
    const Variant& ValueGrayed() const { return FValueGrayed; }
    void SetValueGrayed(const Variant& Value);
    const Variant& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const Variant& Value);
    bool IsValueCheckedStored() const;
    bool IsValueGrayedStored() const { return !FValueGrayed.IsNull(); }
    bool IsValueUncheckedStored() const;

private:
    TcxCheckEditPropertiesValues* AssignedValues_() const
    {
        return static_cast<TcxCheckEditPropertiesValues*>(AssignedValues());
    }
    void GlyphChanged(TObject*) { Changed(); }
    bool FAllowGrayed = false;
    std::string FCaption;
    std::string FDisplayChecked, FDisplayGrayed, FDisplayUnchecked;
    bool FFullFocusRect = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGlyphCount = 6;
    bool FMultiLine = false;
    TcxCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
    Variant FValueChecked, FValueGrayed, FValueUnchecked;
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
    QZ_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
public:
    explicit TcxCheckBoxProperties(TPersistent* AOwner = nullptr) : TcxCustomCheckBoxProperties(AOwner) {}
};

// A check box sits on its parent's face colour.
class TcxCheckBoxStyle : public TcxCustomEditStyle {
    QZ_CLASS(TcxCheckBoxStyle, TcxCustomEditStyle)
public:
    explicit TcxCheckBoxStyle(TPersistent* AOwner = nullptr, bool ADefaultValues = false)
        : TcxCustomEditStyle(AOwner, ADefaultValues) {}
    TColor GetDefaultColor() const override { return clBtnFace; }
};

class TcxCustomCheckBoxViewInfo : public TcxCustomTextEditViewInfo {
    QZ_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo)
public:
    TcxCustomCheckBoxViewInfo() = default;
    void Assign(TObject* Source) override;
    void Paint(TcxCanvas* ACanvas) override;
    void PaintText(TcxCanvas* ACanvas) override;
    void OffsetBounds(int DX, int DY) override;
    bool IsHotTrack() const override { return true; }
    bool IsButtonAtPoint(const TPoint&) const override { return true; }
    // Whether the mark looks different from APrev (then it is repainted).
    bool CheckDiffers(const TcxCustomCheckBoxViewInfo* APrev) const
    {
        return CheckBoxState != APrev->CheckBoxState || CheckBoxThemeState != APrev->CheckBoxThemeState;
    }
    // The paint data of the mark and caption.
    TcxCheckBoxPaintData PaintData() const;

    TAlignment EffectiveAlignment = taLeftJustify;
    TcxEditBorderStyle CheckBorderStyle = ebs3D;
    TColor CheckBorderColor = clBtnShadow;
    TBitmap* Glyph = nullptr;
    int GlyphCount = 0;
    TRect CheckBoxRect;
    int CheckBoxState = 0;   // 0 normal, 1 hot, 2 pressed, 3 disabled
    TRect CheckBoxFocusRect;
    bool FullFocusRect = false;
    bool IsGlyphValid = false;
    TcxCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
    TcxCheckBoxState State = cbsUnchecked;
    int CheckBoxThemeState = 0;
    bool IsTransparentBackground = false;
    bool AllowGrayed = true;
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
    QZ_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
public:
    TcxCustomCheckBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
        : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}
    TcxContainerBorderStyle GetContainerBorderStyle(int) override { return cbsNone; }
    void InternalGetEditConstantPartSize(TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
                                         TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo, TSize& Size) override;
    void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) override;
    // The caption's canvas text flags.
    virtual int GetCaptionTextFlags();
    // The effective alignment: centred in place unless the properties use theirs.
    TAlignment EffectiveAlignment();

    // The edit being calculated (nil for a host painting a value).
    TcxCustomCheckBox* Edit = nullptr;
    // The check button state the mark had before this calculation.
    int PrevCheckBoxState = 0;

private:
    TcxCustomCheckBoxProperties* CheckProperties() const
    {
        return static_cast<TcxCustomCheckBoxProperties*>(Properties());
    }
};

class TcxCustomCheckBox : public TcxCustomEdit {
    QZ_CLASS(TcxCustomCheckBox, TcxCustomEdit)
public:
    explicit TcxCustomCheckBox(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxCheckBoxProperties::StaticClass(); }
    TClass GetStyleClass() const override { return TcxCheckBoxStyle::StaticClass(); }
    TcxCustomCheckBoxProperties* Properties() const
    {
        return static_cast<TcxCustomCheckBoxProperties*>(ActiveProperties());
    }
    TcxCustomCheckBoxViewInfo* CheckViewInfo() const
    {
        return dynamic_cast<TcxCustomCheckBoxViewInfo*>(ViewInfo());
    }
    TcxContainerStyleValues GetHiddenStyleValues() const override
    {
        // Edges, buttons and popups mean nothing to a check box.
        return TcxContainerStyleValues{csvEdges, svButtonStyle, svButtonTransparency, svPopupBorderStyle};
    }

    // The caption: the assigned one, else (AUseAction) the action's, else the name.
    virtual std::string GetCaptionText(bool AUseAction);
    // One click: unchecked → (grayed when allowed) → checked → unchecked.
    virtual void Toggle();
    TcxCheckBoxState State();
    void SetState(TcxCheckBoxState Value);
    bool Checked() { return State() == cbsChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
    bool IsStateStored();
    // Sets Checked without firing click and change events.
    void SetCheckedWithoutEvents(bool Value);
    void Clear() override { SetChecked(false); }
    Variant DisplayValueToEditValue(TcxCheckBoxState AState) { return Properties()->StateToValue(AState); }
    void PropertiesChanged(TObject* Sender) override;
    bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    bool SpacePressed() const { return FSpacePressed; }
    // One line unless MultiLine, as wide as the caption's rectangle (AutoSize measures with it).
    TcxEditSizeProperties GetEditSizeProperties() override;
    void SetName(const std::string& Value) override;
    TNotifyEvent OnClick;

protected:
    void Loaded() override;
    void Paint() override;
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
    void DoEditKeyDown(WORD& Key, TShiftState Shift) override;
    void DoEditKeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void InternalSetEditValue(const Variant& Value, bool AValidate) override;
    void DoExit() override;
    void Click() override;
    void UpdateCaption();

private:
    void CMDialogChar(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(CM_DIALOGCHAR, CMDialogChar)
    QZ_END_MESSAGE_MAP

    void FireClick();
    void InvalidateCheck();
    bool FCaptionUpdating = false;
    bool FSpacePressed = false;
    bool FLoading = false;
    bool FHasStoredState = false;
    TcxCheckBoxState FStoredState = cbsUnchecked;
    int FClickLock = 0;
    // The mouse event being calculated.
    int FCalcButton = 0;
    TShiftState FCalcShift;
    bool FCalcMouseEvent = false;
};

class TcxCheckBox : public TcxCustomCheckBox {
    QZ_CLASS(TcxCheckBox, TcxCustomCheckBox)
public:
    explicit TcxCheckBox(TComponent* AOwner = nullptr) : TcxCustomCheckBox(AOwner) {}
};

namespace cxCheckBox {
// Registers the check box properties with the editor registry.
void Initialize();
}  // namespace cxCheckBox
