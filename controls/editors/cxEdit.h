// The shareable settings object of every editor and what travels with it:
// alignment, buttons, assigned values, the default-values provider through
// which a bound data field supplies defaults, the edit style and its
// controller, the repository of editor settings, the registry of editor
// properties classes and the default repository.
//
// Every change of a setting is reported through one handler the owner
// installs; BeginUpdate and EndUpdate batch changes into one report.
#pragma once

#include "Classes.h"
#include "Components.h"
#include "Graphics.h"
#include "Lists.h"
#include "ShortCuts.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxContainer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTimer;
class TcxEditRepositoryItem;
class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxCustomEditViewData;

enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph };
enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat };
enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat };

// The edit style's own style values, after the container style's eight.
constexpr TcxContainerStyleValue svButtonStyle = 8;
constexpr TcxContainerStyleValue svButtonTransparency = 9;
constexpr TcxContainerStyleValue svPopupBorderStyle = 10;

using TcxEditButtonClickEvent = std::function<void(TObject* Sender, int AButtonIndex)>;
using TcxEditValidateEvent =
    std::function<void(TObject* Sender, Variant& DisplayValue, std::string& ErrorText, bool& Error)>;

// Display-format options: a field's display format may apply (bit 0);
// currency values are not accepted (bit 1).
constexpr int dfoSupports = 0x1;
constexpr int dfoNoCurrencyValue = 0x2;

// Operations an editor supports inside a grid; bit 4: it has buttons.
constexpr uint16_t esoHasButtons = 0x10;

// ---- default values --------------------------------------------------------------------------

// Through it a value source (a bound field) supplies defaults to the
// properties. Freeing the implementing object detaches it from every
// properties object first.
class IcxEditDefaultValuesProvider {
public:
    virtual ~IcxEditDefaultValuesProvider() = default;
    virtual void DoChanged() = 0;
    virtual void ClearUsers() = 0;
    virtual TAlignment DefaultAlignment() = 0;
    virtual int DefaultBlobKind() = 0;
    virtual bool CanModify() = 0;
    virtual std::string DefaultDisplayFormat() = 0;
    virtual std::string DefaultEditFormat() = 0;
    virtual std::string DefaultEditMask() = 0;
    virtual bool DefaultIsFloatValue() = 0;
    virtual int DefaultMaxLength() = 0;
    virtual double DefaultMaxValue() = 0;
    virtual double DefaultMinValue() = 0;
    virtual int DefaultPrecision() = 0;
    virtual bool DefaultReadOnly() = 0;
    virtual bool DefaultRequired() = 0;
    virtual TObject* GetInstance() = 0;
    virtual TNotifyEvent GetOnChanged() = 0;
    virtual bool IsDataAware() = 0;
    virtual bool IsBlob() = 0;
    virtual bool HasDisplayFormat(bool AIsCurrencyValueAccepted) = 0;
    virtual bool HasGetTextHandler() = 0;
    virtual bool IsValidChar(char32_t AChar) = 0;
    virtual void SetOnChanged(TNotifyEvent Value) = 0;
};

class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent,
                                           public IcxEditDefaultValuesProvider {
    QZ_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
public:
    explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner = nullptr)
        : TcxInterfacedPersistent(AOwner) {}
    ~TcxCustomEditDefaultValuesProvider() override;

    void DoChanged() override;
    void ClearUsers() override;
    TAlignment DefaultAlignment() override { return taLeftJustify; }
    int DefaultBlobKind() override { return 3; }
    bool CanModify() override { return true; }
    std::string DefaultDisplayFormat() override { return std::string(); }
    std::string DefaultEditFormat() override { return std::string(); }
    std::string DefaultEditMask() override { return std::string(); }
    bool DefaultIsFloatValue() override { return false; }
    int DefaultMaxLength() override { return 0; }
    double DefaultMaxValue() override { return 0.0; }
    double DefaultMinValue() override { return 0.0; }
    int DefaultPrecision() override { return 15; }
    bool DefaultReadOnly() override { return false; }
    bool DefaultRequired() override { return false; }
    TObject* GetInstance() override { return this; }
    TNotifyEvent GetOnChanged() override { return OnChanged; }
    bool IsDataAware() override { return false; }
    bool IsBlob() override { return false; }
    bool HasDisplayFormat(bool) override { return false; }
    bool HasGetTextHandler() override { return false; }
    bool IsValidChar(char32_t) override { return true; }
    void SetOnChanged(TNotifyEvent Value) override { OnChanged = std::move(Value); }

    TNotifyEvent OnChanged;
};

// ---- alignment, assigned values, buttons -------------------------------------------------------

class TcxCustomEditPropertiesValues : public TPersistent {
    QZ_CLASS(TcxCustomEditPropertiesValues, TPersistent)
public:
    explicit TcxCustomEditPropertiesValues(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;
    virtual void RestoreDefaults() { ReadOnly = false; }
    TPersistent* GetOwner() const override { return FOwner; }
    bool ReadOnly = false;

private:
    TPersistent* FOwner;
};

class TcxEditAlignment : public TPersistent {
    QZ_CLASS(TcxEditAlignment, TPersistent)
public:
    explicit TcxEditAlignment(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;
    void Reset();
    TPersistent* GetOwner() const override { return FOwner; }

    TAlignment Horz() const { return FHorz; }
    void SetHorz(TAlignment Value);
    TcxEditVertAlignment Vert() const { return FVert; }
    void SetVert(TcxEditVertAlignment Value);
    bool IsHorzAssigned() const { return FIsHorzAssigned; }
    bool IsVertStored() const { return FVert != taTopJustify; }
    // Without notifying (a working copy filled in by its owner).
    void SetHorzSilently(TAlignment Value) { FHorz = Value; }

    TNotifyEvent OnChanged;

private:
    void DoChanged();
    TAlignment FHorz = taLeftJustify;
    bool FIsHorzAssigned = false;
    TPersistent* FOwner;
    TcxEditVertAlignment FVert = taTopJustify;
};

class TcxEditButton : public TCollectionItem {
    QZ_CLASS(TcxEditButton, TCollectionItem)
public:
    explicit TcxEditButton(TCollection* ACollection = nullptr);
    ~TcxEditButton() override;
    void Assign(TPersistent* Source) override;

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TBitmap* Glyph();
    bool HasGlyph() const { return FGlyph != nullptr; }
    void SetGlyph(TBitmap* Value);
    TcxEditButtonKind Kind() const { return FKind; }
    void SetKind(TcxEditButtonKind Value);
    bool LeftAlignment() const { return FLeftAlignment; }
    void SetLeftAlignment(bool Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    friend class TcxEditButtons;
    void GlyphChanged(TObject*) { Changed(false); }
    bool FDefault = false;
    std::unique_ptr<TBitmap> FGlyph;
    TcxEditButtonKind FKind = bkDown;
    bool FLeftAlignment = false;
    TColor FTextColor = clBtnText;
    bool FVisible = true;
    int FWidth = 0;
};

class TcxEditButtons : public TOwnedCollection {
    QZ_CLASS(TcxEditButtons, TOwnedCollection)
public:
    explicit TcxEditButtons(TPersistent* AOwner = nullptr)
        : TOwnedCollection(AOwner, TcxEditButton::StaticClass()) {}
    ~TcxEditButtons() override { Clear(); }
    TcxEditButton* Items(int Index) const { return ItemAs<TcxEditButton>(Index); }
    TcxEditButton* Add() { return AddAs<TcxEditButton>(); }
    int VisibleCount() const;
    TNotifyEvent OnChange;

protected:
    void Added(TCollectionItem* AItem) override;
    void Update(TCollectionItem* AItem) override;
};

// ---- the properties -------------------------------------------------------------------------------

class TcxCustomEditProperties : public TcxInterfacedPersistent {
    QZ_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
public:
    explicit TcxCustomEditProperties(TPersistent* AOwner = nullptr);
    ~TcxCustomEditProperties() override;
    void Assign(TPersistent* Source) override;

    virtual void AlignmentChanged();
    virtual void SetAlignment(TcxEditAlignment* Value);
    virtual void ButtonsChanged() { Changed(); }
    virtual bool CanValidate() { return false; }
    virtual void Changed();
    virtual bool CanCompareEditValue() { return false; }
    virtual bool DefaultUseLeftAlignmentOnEditing() const { return true; }
    virtual void FreeNotification(TComponent* AComponent) {}
    virtual TClass GetAssignedValuesClass() const { return TcxCustomEditPropertiesValues::StaticClass(); }
    virtual TAlignment GetDefaultHorzAlignment();
    virtual int GetDisplayFormatOptions() { return 0; }
    virtual std::string GetValidationErrorText(int AErrorKind);
    virtual bool IsDisplayFormatDefined(bool AIsEditing);
    virtual bool SuppressChangeOnEditValue() { return false; }
    virtual bool HandlesTabKey() { return false; }
    virtual bool IsDisplayTextEqual(const Variant& AEditValue1, TcxCustomEditProperties* AProperties2,
                                    const Variant& AEditValue2) { return false; }
    virtual std::string GetDisplayText(const Variant& AEditValue, bool AFullText = false) { return std::string(); }
    virtual uint16_t GetSupportedOperations();
    virtual bool IsEditValueValid(const Variant& AEditValue) { return true; }
    virtual bool CanResetEditValue() { return false; }
    virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused)
    {
        DisplayValue = AEditValue;
    }
    virtual void RestoreDefaults();
    virtual void Update(TcxCustomEditProperties* AProperties) {}
    virtual void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error,
                                      TObject* AEdit);
    // 0 no; 1 the text properties; 2 the data-aware lookups while focused.
    virtual unsigned UsesDisplayFormatting(bool AFocused) { return 0; }
    // A short-lived view data for a style: calculates and measures.
    virtual std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace);
    virtual TClass GetViewInfoClass() const;
    virtual TClass GetStyleClass() const;
    // The class of the edit these properties describe (nil: none).
    virtual TClass GetEditClass() const { return nullptr; }

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate(bool AInvokeChanged = true);
    bool IsChangeLocked() const { return FChangedLocked || FUpdateCount > 0; }
    void SetChangedLocked(bool Value) { FChangedLocked = Value; }

    TcxEditAlignment* Alignment();
    bool IsAlignmentStored() const;
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value);
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    TcxEditButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(TcxEditButtons* Value) { FButtons->Assign(Value); }
    TShortCut ClearKey() const { return FClearKey; }
    void SetClearKey(TShortCut Value) { FClearKey = Value; }
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    bool ImmediatePost() const { return FImmediatePost; }
    void SetImmediatePost(bool Value) { FImmediatePost = Value; }
    bool ReadOnly();
    void SetReadOnly(bool Value);
    bool IsReadOnlyStored() const { return FAssignedValues->ReadOnly; }
    bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
    void SetUseLeftAlignmentOnEditing(bool Value);
    bool IsUseLeftAlignmentOnEditingStored() const;
    bool ValidateOnEnter() const { return FValidateOnEnter; }
    void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }
    bool InplaceWheel() const { return FInplaceWheel; }
    void SetInplaceWheel(bool Value) { FInplaceWheel = Value; }
    TcxCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues.get(); }

    IcxEditDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider; }
    void SetDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider);
    void DefaultValuesProviderChanged(TObject* Sender) { Changed(); }
    // The edit that owns properties made from their class record.
    void SetOwnerEdit(TPersistent* AOwner) { SetOwner(AOwner); }
    // Used by in-place edits.
    bool CanModify();
    bool IsValueTextFromDisplayFormat();
    void DoValidate(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit,
                    bool& ADisplayValueChanged);

    TcxEditButtonClickEvent OnButtonClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnEditValueChanged;
    TcxEditValidateEvent OnValidate;
    // Installed by the owner (the edit's or repository item's PropertiesChanged).
    TNotifyEvent OnPropertiesChanged;

protected:
    bool FValidateOnEnter = false;
    void DropProvider() { FDefaultValuesProvider = nullptr; }
    // A descendant's own assigned-values object, made in its constructor
    // (the base constructor cannot ask the descendant for its class).
    void ReplaceAssignedValues(std::unique_ptr<TcxCustomEditPropertiesValues> AValues)
    {
        AValues->Assign(FAssignedValues.get());
        FAssignedValues = std::move(AValues);
    }
    friend class TcxCustomEditDefaultValuesProvider;

private:
    bool OwnerIsEdit() const;
    bool FAutoSelect = true;
    bool FBeepOnError = false;
    std::unique_ptr<TcxEditButtons> FButtons;
    TShortCut FClearKey = 0;
    TShortCut FClickKey = 16397;
    std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
    bool FImmediatePost = false;
    std::unique_ptr<TcxEditAlignment> FStoredAlignment;
    bool FReadOnlyValue = false;
    int FUpdateCount = 0;
    bool FUseLeftAlignmentOnEditing = true;
    bool FInplaceWheel = true;
    std::unique_ptr<TcxEditAlignment> FWorkingAlignment;
    std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
    bool FChangedLocked = false;
    IcxEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};

// ---- the edit style ---------------------------------------------------------------------------------

class TcxCustomEditStyle : public TcxContainerStyle {
    QZ_CLASS(TcxCustomEditStyle, TcxContainerStyle)
public:
    explicit TcxCustomEditStyle(TPersistent* AOwner = nullptr, bool ADefaultValues = false);
    void Assign(TPersistent* Source) override;
    TColor GetEffectiveColor() const override;
    bool IsValueAssigned(TcxContainerStyleValue AValue) const override;
    int GetStyleValueCount() const override { return 11; }
    bool GetStyleValueName(TcxContainerStyleValue AValue, std::string& AName) const override;
    virtual TcxEditButtonStyle DefaultButtonStyle() const { return btsDefault; }
    virtual TcxEditButtonTransparency DefaultButtonTransparency() const { return ebtNone; }
    virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle() const { return epbsDefault; }

    TcxEditButtonStyle ButtonStyle() const;
    void SetButtonStyle(TcxEditButtonStyle Value);
    TcxEditButtonTransparency ButtonTransparency() const;
    void SetButtonTransparency(TcxEditButtonTransparency Value);
    TcxEditPopupBorderStyle PopupBorderStyle() const;
    void SetPopupBorderStyle(TcxEditPopupBorderStyle Value);
    TcxEditBorderStyle EditBorderStyle() const { return TcxEditBorderStyle(BorderStyle()); }
    void SetEditBorderStyle(TcxEditBorderStyle Value) { SetBorderStyle(TcxContainerBorderStyle(Value)); }
    bool PopupCloseButton() const { return FPopupCloseButton; }
    void SetPopupCloseButton(bool Value) { FPopupCloseButton = Value; }
    bool IsButtonStyleStored() const { return IsValueStored(svButtonStyle); }
    bool IsButtonTransparencyStored() const { return IsValueStored(svButtonTransparency); }
    bool IsPopupBorderStyleStored() const { return IsValueStored(svPopupBorderStyle); }

    bool FindAssignedButtonStyle(TcxEditButtonStyle& V) const;
    bool FindAssignedButtonTransparency(TcxEditButtonTransparency& V) const;
    bool FindAssignedPopupBorderStyle(TcxEditPopupBorderStyle& V) const;

private:
    bool FDefaultValues;
    TcxEditButtonStyle FButtonStyle = btsDefault;
    TcxEditButtonTransparency FButtonTransparency = ebtNone;
    TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
    bool FPopupCloseButton = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
    QZ_CLASS(TcxEditStyle, TcxCustomEditStyle)
public:
    using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
    QZ_CLASS(TcxEditStyleController, TcxStyleController)
public:
    explicit TcxEditStyleController(TComponent* AOwner = nullptr) : TcxStyleController(AOwner) {}
    TClass GetStyleClass() const override { return TcxEditStyle::StaticClass(); }
    TcxEditStyle* EditStyle() const { return static_cast<TcxEditStyle*>(Style()); }
};

// ---- view data and view info ------------------------------------------------------------------

class TcxCustomEditViewData;

// One visible button of an edit as calculated.
class TcxEditButtonViewInfo : public TPersistent {
    QZ_CLASS(TcxEditButtonViewInfo, TPersistent)
public:
    TcxEditButtonViewInfo() = default;
    void Assign(TPersistent* Source) override;
    // Whether it looks different from APrev (style, state, colour, theme state).
    bool Differs(const TcxEditButtonViewInfo* APrev) const;

    TRect Bounds;
    TColor BackgroundColor = clBtnFace;
    bool Default = false;
    bool IsInplace = false;
    TcxEditButtonKind Kind = bkDown;
    bool LeftAlignment = false;
    bool HasLeftEdge = false;
    bool Native = false;
    bool HasRightEdge = false;
    int State = 1;   // 0 disabled, 1 normal, 2 pressed, 3 hot
    TcxEditButtonStyle ButtonStyle = bts3D;
    bool Transparent = false;
    bool BackgroundPartiallyTransparent = false;
    bool IsSingleDownButton = false;
    int ThemePart = 0;
    int ThemeState = 0;
    TBitmap* Glyph = nullptr;
    bool Erase = false;
    int ButtonIndex = -1;
    TRect VisibleBounds;
    int Width = 0;
};

constexpr int ebsDisabled = 0;
constexpr int ebsNormal = 1;
constexpr int ebsPressed = 2;
constexpr int ebsHot = 3;

// Editor option bits of view data and view info.
constexpr int evoEmptyTextNoHeight = 0x01;
constexpr int evoWordWrap = 0x02;
constexpr int evoEndEllipsis = 0x04;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
    QZ_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
public:
    TcxCustomEditViewInfo() = default;
    ~TcxCustomEditViewInfo() override;
    void Assign(TObject* Source) override;
    void Paint(TcxCanvas* ACanvas) override;
    void OffsetBounds(int DX, int DY) override;

    virtual TClass GetButtonViewInfoClass() const { return TcxEditButtonViewInfo::StaticClass(); }
    virtual void DrawButton(TcxCanvas* ACanvas, int AIndex);
    virtual void DrawButtonBorder(TcxCanvas* ACanvas, int AIndex, TRect& ARect, TcxEditButtonStyle AButtonStyle);
    virtual void DrawButtonContent(TcxCanvas* ACanvas, int AIndex, TColor ABackgroundColor,
                                   TColor AContentColor, TRect ARect);
    virtual bool IsHotTrack() const;
    virtual bool IsButtonAtPoint(const TPoint& P) const;
    virtual void PrepareCanvasFont(TCanvas* ACanvas) {}
    // Whether painting or hit tests differ from APrev: the border or any button.
    bool NeedsRepaint(const TcxCustomEditViewInfo* APrev) const;

    int ButtonCount() const { return int(ButtonsInfo.size()); }
    TcxEditButtonViewInfo* Button(int AIndex) const { return ButtonsInfo.at(size_t(AIndex)).get(); }

    // Bounds, the border rectangle and the client rectangle are the container
    // view info's OuterRect, InnerRect and ContentRect.
    TRect BorderExtent;
    TcxContainerBorderStyle BorderStyle = cbsNone;
    std::vector<std::unique_ptr<TcxEditButtonViewInfo>> ButtonsInfo;
    int EditThemeState = 0;
    TcxCustomEditProperties* EditProperties = nullptr;
    int ContainerState = 0;
    bool Enabled = true;
    bool Focused = false;
    TFont* Font = nullptr;
    bool Erase = false;
    bool InnerEditVisible = false;
    int HotTrackState = 0;   // 0 none, 1 idle, 2 active
    TRect InnerEditRect;
    bool IsMousePressed = false;
    bool IsInnerTextEdit = false;
    bool IsDesigning = false;
    bool IsInplace = false;
    bool EditorFlag = false;
    int HorzOffset = 0;
    bool Native = false;
    int EditorOptions = 0;
    TcxEditPopupBorderStyle PopupBorderStyle = epbsSingle;
    int PressedButtonIndex = -1;
    bool HasInplaceBorder = false;
    int HotButtonIndex = -1;
    TRect TextArea;
    TColor TextColor = clWindowText;
    int VertOffset = 0;
    bool Transparent = false;
    bool Shadow = false;
    bool ReadOnly = false;
};

// The container states of view data.
constexpr int cxesActive = 1;
constexpr int cxesDisabled = 2;
constexpr int cxesHot = 4;
constexpr int cxesNormal = 8;

// Measuring: the maximum line count and a width (below 0: no limit).
struct TcxEditSizeProperties {
    int MaxLineCount = 0;
    int Width = -1;
};

// Fills a view info for a rectangle, a mouse point, button and shift state.
// Hosts without an edit (grid cells, the filter control) set the state
// fields before Calculate.
class TcxCustomEditViewData : public TPersistent {
    QZ_CLASS(TcxCustomEditViewData, TPersistent)
public:
    TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace);

    virtual bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, int AIndex) { return true; }
    virtual TcxContainerBorderStyle GetContainerBorderStyle(int AHotTrackState);
    virtual void InitializeDefaults();
    virtual void CacheProperties();
    virtual void InternalGetEditConstantPartSize(TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
                                                 TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo, TSize& Size);
    virtual TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                             const TcxEditSizeProperties& AEditSizeProperties)
    {
        return TSize{0, 0};
    }
    virtual bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, int AIndex) { return false; }
    virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* AButtonViewInfo);
    // AButton: 0 none, 1 left, 2 right, 3 middle.
    virtual void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                           TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
    virtual void CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect, int AIndex);
    virtual void CalculateButtonsViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                          TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
    virtual void CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect, int AIndex);
    virtual void PrepareDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue, TcxCustomEditViewInfo* AViewInfo) {}
    virtual TRect GetBorderExtent();
    virtual TRect GetContentExtent(TcxCanvas* ACanvas);
    virtual TRect GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
    virtual bool HasShadow();
    // The size an editor needs for a value: borders and buttons plus content.
    TSize GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties);

    TcxCustomEditProperties* Properties() const { return FProperties; }
    TcxCustomEditStyle* Style() const { return FStyle; }
    bool IsInplace() const { return FIsInplace; }

    TRect InplaceEditBorderRect;
    int ContainerState = cxesNormal;
    bool Enabled = true;
    bool Focused = false;
    bool IsDesigning = false;
    bool EditorFlag = false;
    bool ReadOnly = false;
    bool InnerEditVisible = false;
    bool IsInnerTextEdit = false;
    // The button the edit's mouse capture belongs to, -1 when none.
    int CaptureButtonIndex = -1;
    int HorzScrollBarHeight = 0;   // shown scroll bars, 0 when none
    int VertScrollBarWidth = 0;
    int EditorOptions = 0;
    bool IsActiveOrHot = false;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelTextColor = clDefault;
    TColor SelBackgroundColor = clDefault;

protected:
    TcxEditBorderStyle FBorderStyle = ebsNone;
    TRect FBounds;
    int FVisibleButtonCount = 0;
    TAlignment FHorzAlignment = taLeftJustify;
    bool FNotUsesDisplayFormatting = true;
    bool FNative = false;
    TcxEditVertAlignment FVertAlignment = taTopJustify;

private:
    TcxCustomEditProperties* FProperties;
    TcxCustomEditStyle* FStyle;
    bool FIsInplace;
    int FFirstLeftButton = -1, FLastLeftButton = -1, FLastRightButton = -1, FFirstRightButton = -1;
};

// ---- the repository ------------------------------------------------------------------------------

class IcxEditRepositoryItemListener {
public:
    virtual ~IcxEditRepositoryItemListener() = default;
    virtual void ItemRemoved(TObject* Sender) = 0;
    virtual void PropertiesChanged(TObject* Sender) = 0;
};

class TcxEditRepository;

class TcxEditRepositoryItem : public TComponent {
    QZ_CLASS(TcxEditRepositoryItem, TComponent)
public:
    explicit TcxEditRepositoryItem(TComponent* AOwner = nullptr);
    ~TcxEditRepositoryItem() override;
    void AfterConstruction() override;

    virtual void PropertiesChanged(TObject* Sender);
    virtual void AddListener(IcxEditRepositoryItemListener* AListener);
    virtual TClass GetPropertiesClass() const { return TcxCustomEditProperties::StaticClass(); }
    virtual void RemoveListener(IcxEditRepositoryItemListener* AListener);

    TcxCustomEditProperties* Properties() const { return FProperties.get(); }
    void SetProperties(TcxCustomEditProperties* Value) { FProperties->Assign(Value); }
    TcxEditRepository* Repository() const { return FRepository; }
    void SetRepository(TcxEditRepository* ARepository);
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return FRepository != nullptr; }
    void SetParentComponent(TComponent* Value) override;

    TNotifyEvent PropertiesEvents;

private:
    std::vector<IcxEditRepositoryItemListener*> FListeners;
    std::unique_ptr<TcxCustomEditProperties> FProperties;
    TcxEditRepository* FRepository = nullptr;
};

class TcxEditRepository : public TComponent {
    QZ_CLASS(TcxEditRepository, TComponent)
public:
    explicit TcxEditRepository(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    ~TcxEditRepository() override;
    TcxEditRepositoryItem* CreateItem(TClass AClass);
    TcxEditRepositoryItem* CreateItemEx(TClass AClass, TComponent* AOwner);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TcxEditRepositoryItem* Items(int Index) const { return FItems.at(size_t(Index)); }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

private:
    friend class TcxEditRepositoryItem;
    std::vector<TcxEditRepositoryItem*> FItems;
};

// ---- the edit control ---------------------------------------------------------------------------

using TcxEditEditingEvent = std::function<void(TObject* Sender, bool& CanEdit)>;
using TcxEditKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

class TcxCustomEdit;

// Links an edit to the source of its value. Stand-alone edits use this
// class, which keeps the value in the edit; data-aware editors derive from
// it to read and write a field.
class TcxEditDataBinding : public TPersistent {
    QZ_CLASS(TcxEditDataBinding, TPersistent)
public:
    explicit TcxEditDataBinding(TcxCustomEdit* AEdit = nullptr);
    ~TcxEditDataBinding() override;
    TPersistent* GetOwner() const override;

    virtual bool IsEditDesigning();
    virtual bool CanModify() { return true; }
    virtual void DefaultValuesChanged();
    virtual Variant GetDisplayValue();
    virtual bool IsModified();
    virtual Variant GetStoredValue();
    virtual void Reset();
    virtual void SetDisplayValue(const Variant& Value);
    // The source agrees to be edited.
    virtual bool SetEditMode() { return true; }
    virtual void SetStoredValue(const Variant& Value) {}
    virtual void UpdateDisplayValue();
    virtual void EditLoaded() {}
    IcxEditDefaultValuesProvider* GetIDefaultValuesProvider() const { return FProvider.get(); }
    TcxCustomEdit* Edit() const { return FEdit; }

protected:
    // The provider a descendant binding supplies (the field's defaults).
    void SetProvider(std::unique_ptr<TcxCustomEditDefaultValuesProvider> AProvider);

private:
    friend class TcxCustomEdit;
    TcxCustomEdit* FEdit;
    std::unique_ptr<TcxCustomEditDefaultValuesProvider> FProvider;
};

// The state an edit keeps per activation, which a host may hold per row or
// field and hand to Activate again. A cleared object makes the edit reset
// what it keeps there.
class TcxCustomEditData : public TObject {
    QZ_CLASS(TcxCustomEditData, TObject)
public:
    explicit TcxCustomEditData(TcxCustomEdit* AEdit = nullptr) : Edit(AEdit) {}
    void Clear() { Cleared = true; }
    bool Cleared = true;
    TcxCustomEdit* Edit;
};

// The base control of every editor: a container that edits one Variant
// value, described by a properties object, painted from a view info, and
// validated and posted in one cycle. Concrete edits call InitializeEdit from
// their constructors (the base constructor cannot reach their class getters).
class TcxCustomEdit : public TcxContainer {
    QZ_CLASS(TcxCustomEdit, TcxContainer)
public:
    explicit TcxCustomEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    ~TcxCustomEdit() override;

    virtual TClass GetPropertiesClass() const { return TcxCustomEditProperties::StaticClass(); }
    // The class of the link to the value's source; made with the edit.
    virtual TClass GetDataBindingClass() const { return TcxEditDataBinding::StaticClass(); }
    TcxEditDataBinding* DataBinding() const { return FDataBinding.get(); }
    TClass GetStyleClass() const override { return TcxEditStyle::StaticClass(); }
    TClass GetViewInfoClass() const override;
    TcxContainerStyleValues GetHiddenStyleValues() const override
    {
        return TcxContainerStyleValues{svButtonStyle, svButtonTransparency, svPopupBorderStyle};
    }

    // The repository item's properties while one is assigned (and the
    // edit's state is not being read or written), else the edit's own.
    TcxCustomEditProperties* ActiveProperties() const;
    TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
    // Raises "The repository item is not acceptable" for an item whose
    // properties are not of the edit's properties class.
    void SetRepositoryItem(TcxEditRepositoryItem* Value);
    virtual bool CanUseRepositoryItem(TcxEditRepositoryItem* AItem);
    TcxCustomEditStyle* EditStyle() const { return static_cast<TcxCustomEditStyle*>(Style()); }
    TcxCustomEditViewInfo* EditViewInfo() const { return static_cast<TcxCustomEditViewInfo*>(ViewInfo()); }
    bool IsInplace() const { return FIsInplace; }

    // Sizing. An auto-sized edit takes the height its value needs (and the
    // width too when the editor says so); in place the host sizes the edit.
    void SetAutoSize(bool Value) override;
    using TControl::CanAutoSize;
    virtual bool CanAutoSize() { return true; }
    virtual bool CanAutoWidth() { return false; }
    // What the edit is measured for: one line in the current width.
    virtual TcxEditSizeProperties GetEditSizeProperties() { return TcxEditSizeProperties{1, Width()}; }
    // The size the edit needs for its current value, measured through view
    // data set up as for painting.
    TSize MeasureEditSize();
    // Whether the edit's popup is open (a Tab then stays in the edit).
    virtual bool HasPopupWindow() const { return false; }
    // Whether the value is shown again from its source as the edit is
    // entered and left (in its editing and its display form).
    virtual bool NeedsDisplayResetOnExit() const { return true; }
    // Set while the window's region is replaced.
    bool ChangingRegion() const { return FChangingRegion; }
    // Set while the validation error handler moves the focus back.
    bool FocusingByError() const { return FFocusingByError; }
    void WndProc(TMessage& Message) override;

    Variant EditValue() const { return GetEditValue(); }
    virtual Variant GetEditValue() const { return FEditValue; }
    virtual void SetEditValue(const Variant& Value);
    virtual void ChangeEditValue(const Variant& Value);
    virtual void Clear() { SetEditValue(Null()); }
    virtual std::string GetDisplayText() { return std::string(); }
    virtual void SetDisplayValue(const Variant& Value);
    virtual void SetInnerDisplayValue(const Variant& Value) {}
    virtual void SynchronizeDisplayValue() {}
    virtual void SelectAll() {}
    virtual void RefreshDisplay() {}
    virtual void Reset();
    virtual bool CanModify();
    virtual bool IsEditingAllowed() { return true; }
    bool DoEditing();
    bool ValidateEdit(bool ARaiseExceptionOnError);
    void PostEditValue(bool AValidate = true);
    // The value source has a change to take, and the edit is not designed.
    bool CanPostEditValue();
    virtual void HandleValidationError(const std::string& AErrorText);
    void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
    virtual void PropertiesChanged(TObject* Sender);

    bool Modified() const { return FModified; }
    void SetModified(bool Value);
    bool ModifiedAfterEnter() const { return FModifiedAfterEnter; }
    void SetModifiedAfterEnter(bool Value);
    void PushModifiedState() { FModifiedStack.emplace_back(FModified, FModifiedAfterEnter); }
    void PopModifiedState();
    bool Validated() const { return FValidated; }
    bool IsUserChange() const { return FUserChange; }
    // Runs AAction as a change the user makes.
    void UserChange(const std::function<void()>& AAction);

    TcxEditEditingEvent OnEditing;
    TcxEditKeyEvent OnAfterKeyDown;
    TNotifyEvent OnPostEditValue;

    // In-place editing. An edit of AEditClass made for a host, without an
    // owner and with the in-place flag.
    static TcxCustomEdit* CreateInplace(TClass AEditClass);
    // The class of the per-activation state (nil: none).
    virtual TClass GetEditDataClass() const { return nullptr; }
    // Shows the edit, focuses it, and shows the value unmodified; AEditData
    // is made when missing and the edit has a state class.
    virtual void Activate(std::unique_ptr<TcxCustomEditData>& AEditData);
    // Activates and types the key that started the editing.
    virtual void ActivateByKey(char32_t AKey, std::unique_ptr<TcxCustomEditData>& AEditData);
    // Activates and presses the mouse at (X, Y) of the parent's client area;
    // a second click within the double-click time becomes a double click.
    virtual void ActivateByMouse(TShiftState AShift, int X, int Y, std::unique_ptr<TcxCustomEditData>& AEditData);
    // Validates (raising the error of an invalid value); true when valid.
    virtual bool Deactivate();
    virtual bool CanSendActivationKey(char32_t AKey) { return AKey >= 32 || AKey == 8; }
    TcxCustomEditData* EditData() const { return FEditData; }
    // A left press inside the double-click time after an activation by the
    // mouse: it counts as the second click of a double click (and the time
    // is over).
    bool TakeActivationClick();
    // Whether the wheel may change the value: a stand-alone edit always, an
    // in-place one when its properties let the wheel through or Ctrl is held
    // (a grid scrolls with the wheel otherwise).
    virtual bool CanProcessMouseWheel(TShiftState Shift);

    // Edit buttons: fires the properties' OnButtonClick with the button's
    // index in Buttons.
    virtual void DoButtonClick(int AButtonIndex);
    virtual void DoButtonDown(int AButtonIndex) {}
    virtual void DoButtonUp(int AButtonIndex) {}
    // The pressed and hot buttons changed from APrevPressed and APrevHot: a
    // button released over itself is clicked (indexes of the view info's buttons).
    void ProcessButtonStateChanges(int APrevPressed, int APrevHot);
    int CaptureButtonIndex() const { return FCaptureButtonIndex; }

protected:
    void InitializeEdit();
    virtual void InternalSetEditValue(const Variant& Value, bool AValidate);
    virtual void InternalSetDisplayValue(const Variant& Value) {}
    virtual void DoChange();
    virtual void DoEditValueChanged();
    virtual void DoAfterKeyDown(WORD& Key, TShiftState Shift);
    virtual void DoEditKeyDown(WORD& Key, TShiftState Shift);
    // A key the edit keeps to itself: it skips OnKeyDown and so the host.
    virtual bool IsClickKey(WORD Key, TShiftState Shift);
    virtual void DoEditKeyPress(char& Key) {}
    virtual void BeforeRepositoryItemChange() {}
    virtual void AfterRepositoryItemChange() {}
    // What the edit keeps in a cleared per-activation state is set up again.
    virtual void ResetEditData(TcxCustomEditData* AEditData) {}
    // The window that takes the replayed key and mouse of an activation.
    virtual TWinControl* ActivationTarget() { return this; }
    virtual bool WantNavigationKeys() const { return false; }
    virtual void ChangeHandler(TObject* Sender);
    virtual void InitializeViewData(TcxCustomEditViewData* AViewData);
    void CalculateViewInfo(const TPoint& P, bool AAllowHot) override;
    // Sizes an auto-sized edit for its value, then places the inner edit.
    void AdjustInnerControl() override;
    // Places the inner control on the view info's client rectangle.
    virtual void AdjustInnerEditPosition() { TcxContainer::AdjustInnerControl(); }
    bool CanResize(int& NewWidth, int& NewHeight) override;
    void SetWindowShadowRegion() override;
    // Validates and posts a changed value as the focus leaves; an invalid
    // value raises and the focus stays.
    void HandleExit(bool ACallDoExit);
    bool RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void FocusChanged() override;
    bool HandlesTab() const override { return true; }

    Variant FEditValue;
    Variant FPrevEditValue;
    bool FUserChange = false;
    bool FEscHandled = false;

private:
    std::unique_ptr<TcxCustomEditProperties> FProperties;
    std::unique_ptr<TcxEditDataBinding> FDataBinding;
    bool FIsInplace;
    bool FModified = false;
    bool FModifiedAfterEnter = false;
    bool FValidated = false;
    std::vector<std::pair<bool, bool>> FModifiedStack;
    int FChangeEventsLock = 0;
    bool FPendingChange = false;
    bool FPendingEditValueChanged = false;
    int FEditValueChangingLock = 0;
    bool FFocusedAndActive = false;
    TcxCustomEditData* FEditData = nullptr;
    std::unique_ptr<TTimer> FActivateTimer;
    // The mouse event being calculated, and the button pressed while the
    // edit holds the mouse.
    int FMouseButton = 0;
    TShiftState FMouseShift;
    bool FMouseEvent = false;
    int FCaptureButtonIndex = -1;
    bool FFocusingByError = false;
    bool FChangingRegion = false;
    bool FAdjustingSize = false;
    class TRepositoryItemListener;
    friend class TRepositoryItemListener;
    void AfterItemDetached();
    std::unique_ptr<TRepositoryItemListener> FRepositoryItemListener;
    TcxEditRepositoryItem* FRepositoryItem = nullptr;
};

// The hidden edits of a host that shows many values and edits one at a
// time (grid cells, filter rows): one in-place edit per properties object,
// owned by the list.
class TcxInplaceEditList : public TObject {
    QZ_CLASS(TcxInplaceEditList, TObject)
public:
    struct TItem {
        std::unique_ptr<TcxCustomEdit> Edit;
        TcxCustomEditProperties* Properties;
    };
    TcxInplaceEditList() = default;
    ~TcxInplaceEditList() override;

    // The edit for AProperties (made hidden on first use), holding a copy of them.
    TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
    // The first edit whose properties are exactly of APropertiesClass, or a
    // new one with properties of its own.
    TcxCustomEdit* GetEditByPropertiesClass(TClass APropertiesClass);
    // Frees the edit of AProperties; nothing when there is none.
    void RemoveItem(TcxCustomEditProperties* AProperties);
    int Count() const { return int(FItems.size()); }
    const TItem& Items(int AIndex) const { return FItems.at(size_t(AIndex)); }

protected:
    virtual std::unique_ptr<TcxCustomEdit> CreateEdit(TcxCustomEditProperties* AProperties);

private:
    std::vector<TItem> FItems;
};

namespace cxEdit {

// Starts the unit: the filter captions are read through the resource-string
// lookup from now on. Runs once; later calls do nothing.
void Initialize();
// Frees the registry and the default repository.
void Finalize();
// The registry of editor properties classes, with their descriptions.
TcxRegisteredClasses* GetRegisteredEditProperties();
// The repository without owner that the default editors fill.
TcxEditRepository* GetDefaultEditRepository();

// Same variant type and equal.
bool VarEqualsExact(const Variant& V1, const Variant& V2);
TShiftState MouseButtonToShift(TMouseButton AButton);
// 0 no button, 1 left, 2 right, 3 middle.
TShiftState ExtMouseButtonToShift(int AButton);
unsigned ShiftStateToMouseKeys(TShiftState AShift);

}  // namespace cxEdit

namespace cxEditUtils {
// The border width of a container border style.
int GetEditBorderWidth(TcxContainerBorderStyle AStyle);
TRect GetEditBorderInnerRect(TcxCustomEditViewInfo* AViewInfo);
TRect GetEditVisibleBounds(TcxCustomEditViewInfo* AViewInfo, const TRect& ABounds);
int GetEditButtonWidth(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AButtonViewInfo);
// Paints an edit view info: background, border and buttons. AContentRectKind
// matters only for themed edits.
void DrawEditButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, bool ADrawBackground,
                     int AContentRectKind = 0);
}  // namespace cxEditUtils
