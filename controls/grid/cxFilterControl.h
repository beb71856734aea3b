// The filter builder control: a filter criteria tree shown as indented rows
// (groups with their boolean operator, conditions with an item, an operator
// and values) that the user edits with the mouse and the keyboard, applies to
// a linked component, and saves to and loads from *.flt files (the criteria
// stream of the data controller).
#pragma once

#include "cxControls.h"
#include "cxFilter.h"
#include "cxFilterControlUtils.h"
#include "cxGridCustomTableView.h"
#include "cxLookAndFeelPainters.h"

#include <memory>
#include <string>
#include <vector>

class TcxCustomEdit;
class TcxCustomEditData;
class TcxCustomEditProperties;
class TcxComboBox;
class TcxCustomFilterControl;
class TcxGroupViewInfo;
class TcxInplaceEditList;
class TcxTextEditProperties;
class TFont;
class TPopupMenu;
class TStream;

// The one operation through which a host (the filter builder dialog) links a
// filter control to a component.
class IcxFilterLinkTarget {
public:
    virtual ~IcxFilterLinkTarget() = default;
    virtual void SetLinkComponent(TComponent* AValue) = 0;
};

// ---- the criteria the control edits -----------------------------------------------------------

// Item links are kept in the stream unchanged: the ID of a link is the link
// itself, so a *.flt file carries IcxFilterControl::GetItemLink values.
class TcxFilterControlCriteria : public TcxFilterCriteria {
    QZ_CLASS(TcxFilterControlCriteria, TcxFilterCriteria)
public:
    explicit TcxFilterControlCriteria(TcxCustomFilterControl* AControl = nullptr) : FControl(AControl) {}
    TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                      TcxFilterOperatorKind AKind, const Variant& AValue,
                                      const std::string& ADisplayValue) override;
    // The criteria's item link of the link's item at AIndex.
    static TObject* ItemLinkOf(IcxFilterControl* ALink, int AIndex)
    {
        return reinterpret_cast<TObject*>(intptr_t(ALink->GetItemLink(AIndex)));
    }
    int GetIDByItemLink(TObject* AItemLink) override { return int(reinterpret_cast<intptr_t>(AItemLink)); }
    TObject* GetItemLinkByID(int AID) override { return reinterpret_cast<TObject*>(intptr_t(AID)); }
    void AssignEvents(TcxFilterCriteria*) override {}
    TcxCustomFilterControl* Control() const { return FControl; }

private:
    TcxCustomFilterControl* FControl;
};

class TcxFilterControlCriteriaItem : public TcxFilterCriteriaItem {
    QZ_CLASS(TcxFilterControlCriteriaItem, TcxFilterCriteriaItem)
public:
    using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
    std::string GetFieldCaption() override;
    std::string GetFieldName() override;

private:
    IcxFilterControl* Link(int& AIndex);
};

// ---- rows ---------------------------------------------------------------------------------------

// Hit kinds, which are also the parts the control's focus can be on.
enum TcxFilterControlHitKind : uint8_t {
    fhtNone, fhtButton, fhtBoolOperator, fhtItem, fhtOperator, fhtValue, fhtAddCondition, fhtAddValue
};

class TcxCustomRowViewInfo;

struct TcxFilterControlHitInfo {
    TcxFilterControlHitKind HitType = fhtNone;
    TPoint Point{};
    TShiftState Shift;
    TcxCustomRowViewInfo* Row = nullptr;
    int ValueIndex = -1;
};

class TcxCustomRowViewInfo : public TObject {
    QZ_CLASS(TcxCustomRowViewInfo, TObject)
public:
    // Appends the row to AParent's rows (the parent owns it).
    TcxCustomRowViewInfo(TcxCustomFilterControl* AControl, TcxCustomFilterCriteriaItem* ACriteriaItem,
                         TcxGroupViewInfo* AParent);
    ~TcxCustomRowViewInfo() override;

    virtual int RowWidth() const;
    virtual void Calculate(const TRect& ARowRect);
    virtual void HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo);
    virtual bool IsComplete() const { return true; }

    TcxCustomFilterControl* Control() const { return FControl; }
    TcxCustomFilterCriteriaItem* CriteriaItem() const { return FCriteriaItem; }
    TcxGroupViewInfo* Parent() const { return FParent; }
    int Indent() const { return FIndent; }
    int Level() const { return FLevel; }
    const TRect& RowRect() const { return FRowRect; }
    const TRect& ButtonRect() const { return FButtonRect; }
    TcxButtonState ButtonState() const { return FButtonState; }
    const std::string& ButtonText() const { return FButtonText; }
    void SetButtonText(const std::string& AValue) { FButtonText = AValue; }
    void Offset(int DY);
    bool IsLast() const;

protected:
    friend class TcxGroupViewInfo;
    // The row's rectangle centred vertically in the row, keeping its height.
    TRect CentreInRow(TRect R) const;
    TcxButtonState CalcButtonState(TcxFilterControlHitKind APart) const;
    void ForgetParent() { FParent = nullptr; }
    std::string FButtonText;
    TRect FButtonRect{};
    TcxButtonState FButtonState = cxbsNormal;
    TcxCustomFilterControl* FControl;
    TcxCustomFilterCriteriaItem* FCriteriaItem;
    TcxGroupViewInfo* FParent;
    int FIndent = 0;
    int FLevel = 0;
    TRect FRowRect{};
};

class TcxGroupViewInfo : public TcxCustomRowViewInfo {
    QZ_CLASS(TcxGroupViewInfo, TcxCustomRowViewInfo)
public:
    TcxGroupViewInfo(TcxCustomFilterControl* AControl, TcxFilterBoolOperatorKind ABoolOperator,
                     TcxCustomFilterCriteriaItem* ACriteriaItem, TcxGroupViewInfo* AParent);
    ~TcxGroupViewInfo() override;

    int RowWidth() const override;
    void Calculate(const TRect& ARowRect) override;
    void HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo) override;

    void Clear();
    int RowCount() const { return int(FRows.size()); }
    TcxCustomRowViewInfo* Rows(int AIndex) const { return FRows[size_t(AIndex)]; }
    TcxFilterBoolOperatorKind BoolOperator() const { return FBoolOperator; }
    void SetBoolOperator(TcxFilterBoolOperatorKind AValue) { FBoolOperator = AValue; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& AValue) { FCaption = AValue; }
    const TRect& BoolOperatorRect() const { return FBoolOperatorRect; }
    const TRect& CaptionRect() const { return FCaptionRect; }
    const std::string& BoolOperatorText() const { return FBoolOperatorText; }

private:
    friend class TcxCustomRowViewInfo;
    std::vector<TcxCustomRowViewInfo*> FRows;   // owned
    TRect FBoolOperatorRect{};
    std::string FBoolOperatorText;
    TRect FCaptionRect{};
    std::string FCaption;
    TcxFilterBoolOperatorKind FBoolOperator;
};

class TcxConditionViewInfo;

struct TcxValueInfo {
    Variant Value = Null();
    std::string ValueText;
    TRect ValueRect{};
    // What the value shows: the null text, the stored text or the value's display text.
    std::string ShownText;
    bool Active = false;
};

class TcxValuesViewInfo {
public:
    explicit TcxValuesViewInfo(TcxConditionViewInfo* ACondition) : FCondition(ACondition) {}
    void AddValue();
    void DeleteValue(int AIndex);   // ignored out of range
    void Clear() { FValues.clear(); }
    void Calculate();
    void HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo);

    int Count() const { return int(FValues.size()); }
    TcxValueInfo& Values(int AIndex) { return *FValues.at(size_t(AIndex)); }
    const TRect& AddButtonRect() const { return FAddButtonRect; }
    TcxButtonState AddButtonState() const { return FAddButtonState; }
    const std::string& Separator() const { return FSeparator; }

private:
    TcxConditionViewInfo* FCondition;
    TRect FAddButtonRect{};
    TcxButtonState FAddButtonState = cxbsNormal;
    std::vector<std::unique_ptr<TcxValueInfo>> FValues;
    std::string FSeparator;
};

class TcxConditionViewInfo : public TcxCustomRowViewInfo {
    QZ_CLASS(TcxConditionViewInfo, TcxCustomRowViewInfo)
public:
    // From a criteria condition (raising "Can't build filter from source"
    // when the link lacks its item), or, with none, a new row on the default item.
    TcxConditionViewInfo(TcxCustomFilterControl* AControl, TcxFilterCriteriaItem* ACriteriaItem,
                         TcxGroupViewInfo* AParent);
    ~TcxConditionViewInfo() override;

    int RowWidth() const override;
    void Calculate(const TRect& ARowRect) override;
    void HitTest(const TPoint& P, TcxFilterControlHitInfo& AHitInfo) override;
    bool IsComplete() const override { return !FItemText.empty() && !FOperatorText.empty(); }
    virtual bool HasValues() const { return cxFilterControlUtils::RowOperatorHasValues(FOperator); }
    virtual void RefreshEditor();

    void SetItemIndex(int AIndex);
    void AdjustValueCount(bool AKeepValues);
    TcxCustomEditProperties* GetItemProperties() const;

    TcxFilterRowOperator Operator() const { return FOperator; }
    // Takes the operator (its text follows).
    void SetOperator(TcxFilterRowOperator AValue);
    int ItemIndex() const { return FItemIndex; }
    TObject* ItemLink() const { return FItemLink; }
    const std::string& ItemText() const { return FItemText; }
    const std::string& OperatorText() const { return FOperatorText; }
    const TRect& ItemRect() const { return FItemRect; }
    const TRect& OperatorRect() const { return FOperatorRect; }
    TcxCustomFilterEditHelperClass EditorHelper() const { return FEditorHelper; }
    TcxCustomEditProperties* EditorProperties() const { return FEditorProperties.get(); }
    TcxFilterRowOperators SupportedOperators() const { return FSupportedOperators; }
    TcxFilterRowOperators& SupportedOperatorsRef() { return FSupportedOperators; }
    TcxValueTypeClass ValueType() const { return FValueType; }
    TcxValuesViewInfo* Values() const { return FValues.get(); }
    std::unique_ptr<TcxCustomEditData>& EditData() { return FEditData; }

private:
    TcxFilterRowOperator FOperator = froNone;
    TRect FOperatorRect{};
    std::string FOperatorText;
    int FItemIndex = -1;
    TObject* FItemLink = nullptr;
    TRect FItemRect{};
    std::string FItemText;
    TcxCustomFilterEditHelperClass FEditorHelper = nullptr;
    std::unique_ptr<TcxCustomEditProperties> FEditorProperties;
    TcxFilterRowOperators FSupportedOperators;
    TcxValueTypeClass FValueType = nullptr;
    std::unique_ptr<TcxValuesViewInfo> FValues;
    std::unique_ptr<TcxCustomEditData> FEditData;
};

// ---- the control ---------------------------------------------------------------------------------------

class TcxFilterControlViewInfo;

class TcxFilterControlPainter {
public:
    explicit TcxFilterControlPainter(TcxCustomFilterControl* AControl) : FControl(AControl) {}
    virtual ~TcxFilterControlPainter() = default;
    virtual void PaintRow(TcxCanvas* ACanvas, TcxCustomRowViewInfo* ARow);

protected:
    void DrawText(TcxCanvas* ACanvas, const std::string& AText, int X, int Y, TFont* AFont);
    TcxCustomFilterControl* FControl;
};

class TcxFilterControlViewInfo {
public:
    explicit TcxFilterControlViewInfo(TcxCustomFilterControl* AControl);
    virtual ~TcxFilterControlViewInfo();
    virtual void Calculate();
    virtual void CalculateFocusRect();
    virtual void GetHitInfo(TShiftState AShift, const TPoint& P, TcxFilterControlHitInfo& AHitInfo);
    void Paint(TcxCanvas* ACanvas);
    void CalculateAddConditionButtonState();

    TcxCustomFilterControl* Control() const { return FControl; }
    TcxFilterControlPainter* Painter() const { return FPainter.get(); }
    const std::string& AddConditionCaption() const { return FAddConditionCaption; }
    void SetAddConditionCaption(const std::string& AValue) { FAddConditionCaption = AValue; }
    const TRect& AddConditionRect() const { return FAddConditionRect; }
    TcxButtonState AddConditionButtonState() const { return FAddConditionButtonState; }
    const TRect& FocusRect() const { return FFocusRect; }
    bool Enabled() const { return FEnabled; }
    int RowHeight() const { return FRowHeight; }
    int MaxRowWidth() const { return FMaxRowWidth; }
    int MinValueWidth() const { return FMinValueWidth; }

private:
    void PaintLevelLines(TcxCanvas* ACanvas, TcxCustomRowViewInfo* ARow);
    TcxCustomFilterControl* FControl;
    std::unique_ptr<TcxFilterControlPainter> FPainter;
    std::string FAddConditionCaption;
    TRect FAddConditionRect{};
    TcxButtonState FAddConditionButtonState = cxbsNormal;
    TRect FFocusRect{};
    bool FEnabled = false;
    int FRowHeight = 0;
    int FMaxRowWidth = 0;
    int FMinValueWidth = 0;
};

enum TcxFilterControlFont { fcfBoolOperator, fcfItem, fcfCondition, fcfValue };

class TcxCustomFilterControl : public TcxControl {
    QZ_CLASS(TcxCustomFilterControl, TcxControl)
public:
    explicit TcxCustomFilterControl(TComponent* AOwner = nullptr);
    ~TcxCustomFilterControl() override;

    // Copies the edited filter into the link's criteria and fires
    // OnApplyFilter. A row that is incomplete or holds a value its item does
    // not take raises EcxFilterControlError, focuses that row and applies
    // nothing: an old filter is never passed off as the one shown.
    virtual void ApplyFilter();
    virtual void Clear();
    // Every row is complete.
    virtual bool IsValid();
    virtual void FillItemList(TStrings* AStrings);
    virtual void FillOperatorList(TStrings* AStrings);
    virtual void AdjustOperators(TcxFilterRowOperators& AOperators);
    virtual void AdjustOperatorClass(TcxFilterOperatorClass&) {}
    virtual void GetFilterCaption(std::string& AText);
    virtual void GetFilterText(std::string& AText);
    virtual IcxFilterControl* GetFilterLink() { return nullptr; }
    virtual void ShowRowMenu();
    virtual void EditBoolOperator();
    virtual void EditOperator();
    virtual void EditItem();
    // 0 plain, 1 by key (AKey), 2 by mouse (at the hot point).
    virtual void EditValue(int AActivationKind = 0, char32_t AKey = 0);

    // Reads a *.flt file or criteria stream. Everything is read and turned
    // into rows aside; the filter shown is replaced only when that
    // succeeded, so a damaged or foreign file changes nothing.
    void LoadFromFile(const std::string& AFileName);
    void LoadFromStream(TStream* AStream);
    // Builds and checks the criteria first (refusing an incomplete or invalid
    // row with EcxFilterControlError), then writes the file whole.
    void SaveToFile(const std::string& AFileName);
    void SaveToStream(TStream* AStream);

    // Row edits; each does nothing while the link has no items.
    void AddCondition(TcxCustomRowViewInfo* ARow);
    void AddGroup();
    void AddValue();
    void RemoveRow();
    void RemoveFocused();
    // Ends value editing and, when every row is complete, rewrites the criteria from the rows.
    void BuildCriteria();
    // Rebuilds the rows from the criteria.
    void RebuildRows();
    // The first incomplete row of the display order (nil: none).
    TcxCustomRowViewInfo* FirstIncompleteRow() const;
    // Focuses ARow's first editable part and scrolls it into view.
    void FocusRow(TcxCustomRowViewInfo* ARow);

    // A choice made in the open list (the bool operator, item or operator
    // list): the line's position among the lines the list was filled with.
    void ListChosen(int ALineIndex);
    // Ends value editing, storing the value when AAccept. A value its item
    // does not take raises "Invalid value" and is not stored; the editor
    // stays open.
    void EndValueEdit(bool AAccept);
    // The open value editor (nil: none) and the open list (nil: none).
    TcxCustomEdit* ValueEditor() const { return FValueEditor; }
    TcxComboBox* ComboBox() const { return FComboBox; }
    TPopupMenu* RowPopupMenu() const { return FMenu; }
    int EditingState() const { return FEditingState; }

    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void LayoutChanged();
    void MakeFocusedVisible();
    void UpdateScrollBars() override;

    bool HasItems();
    bool IsHotTrack();
    TcxFilterControlCriteria* Criteria() const { return FCriteria.get(); }
    TcxGroupViewInfo* Root() const { return FRoot.get(); }
    int RowCount() const { return int(FRows.size()); }
    TcxCustomRowViewInfo* Rows(int AIndex) const { return FRows[size_t(AIndex)]; }
    int IndexOfRow(TcxCustomRowViewInfo* ARow) const;
    TcxFilterControlHitInfo& FocusedInfo() { return FFocusedInfo; }
    TcxFilterControlHitInfo& HotTrack() { return FHotTrack; }
    void SetFocusedPart(TcxFilterControlHitKind AKind, TcxCustomRowViewInfo* ARow, int AValueIndex = -1);
    TcxFilterControlViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TcxTextEditProperties* DefaultProperties() const { return FDefaultProperties.get(); }
    TFont* Fonts(TcxFilterControlFont AIndex) const { return FFonts[AIndex].get(); }
    TFont* FontBoolOperator() const { return Fonts(fcfBoolOperator); }
    TFont* FontItem() const { return Fonts(fcfItem); }
    TFont* FontCondition() const { return Fonts(fcfCondition); }
    TFont* FontValue() const { return Fonts(fcfValue); }
    void SetFonts(TcxFilterControlFont AIndex, TFont* AValue);
    // A font is stored only when it differs from its default: another name
    // than the control font's (ignoring case), height, colour, character set
    // or style.
    bool IsFontStored(TcxFilterControlFont AIndex) const;
    // The canvas rows measure their texts with.
    TcxCanvas* MeasureCanvas();
    int TopRow() const { return FTopRow; }
    void SetTopRow(int AValue);
    int LeftOffset() const { return FLeftOffset; }
    void SetLeftOffset(int AValue);

    bool HotTrackOnUnfocused() const { return FHotTrackOnUnfocused; }
    void SetHotTrackOnUnfocused(bool AValue) { FHotTrackOnUnfocused = AValue; }
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& AValue);
    bool IsNullStringStored() const;
    bool ShowLevelLines() const { return FShowLevelLines; }
    void SetShowLevelLines(bool AValue);
    bool SortItems() const { return FSortItems; }
    void SetSortItems(bool AValue) { FSortItems = AValue; }
    bool WantTabs() const { return FWantTabs; }
    // Arrows and characters always reach the control, Tab keys only with WantTabs.
    void SetWantTabs(bool AValue);

    TNotifyEvent OnApplyFilter;

    // Texts that the window's creation refreshes (captions, operator texts).
    void RefreshTexts();

protected:
    virtual void CreateInnerObjects();
    virtual void DestroyInnerObjects();
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void BoundsChanged() override;
    void FocusChanged() override;
    void CreateWnd() override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    void FontChanged() override;
    // Leaving the control ends hot tracking.
    void MouseLeave(TControl* AControl) override;

private:
    friend class TcxCustomRowViewInfo;
    friend class TcxConditionViewInfo;
    void RebuildFlatList();
    void BuildRowsInto(TcxFilterCriteriaItemList* AList, TcxGroupViewInfo* AGroup);
    void DoRowMenuClick(int ATag);
    void RunFocusedAction(bool AByMouse);
    // The focus moves to the next (previous) part; AWrap carries on into the
    // neighbouring rows as Tab does.
    bool FocusNextPart(bool AWrap);
    bool FocusPrevPart(bool AWrap);
    void FocusRowLastPart(TcxCustomRowViewInfo* ARow);
    void FocusRowFirstPart(TcxCustomRowViewInfo* ARow);
    void WriteCriteriaFrom(TcxFilterCriteria* ACriteria);
    void CheckComplete();
    void ValueEditorKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ValueEditorAfterKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void HideComboBox();

    TPopupMenu* FMenu = nullptr;       // owned through the component tree
    TcxComboBox* FComboBox = nullptr;  // owned through the component tree
    std::unique_ptr<TcxFilterControlCriteria> FCriteria;
    TcxFilterControlHitInfo FFocusedInfo;
    std::unique_ptr<TFont> FFonts[4];
    TcxFilterControlHitInfo FHotTrack;
    std::unique_ptr<TcxInplaceEditList> FInplaceEditList;
    int FLeftOffset = 0;
    int FLockCount = 0;
    std::unique_ptr<TcxGroupViewInfo> FRoot;
    std::vector<TcxCustomRowViewInfo*> FRows;
    bool FSortItems = false;
    int FEditingState = 0;
    std::unique_ptr<TcxTextEditProperties> FDefaultProperties;
    int FTopRow = 0;
    TcxCustomEdit* FValueEditor = nullptr;
    std::unique_ptr<TcxFilterControlViewInfo> FViewInfo;
    bool FHotTrackOnUnfocused = true;
    std::string FNullString;
    bool FShowLevelLines = true;
    bool FWantTabs = false;
    std::unique_ptr<TcxCanvas> FMeasureCanvas;
    std::unique_ptr<TBitmap> FMeasureBitmap;
    // The list open in the combo box: 3 bool operators, 2 items, 4 operators.
    std::vector<int> FListObjects;
    bool FCommitting = false;
};

class TcxFilterControl : public TcxCustomFilterControl, public IcxFilterLinkTarget {
    QZ_CLASS(TcxFilterControl, TcxCustomFilterControl)
public:
    explicit TcxFilterControl(TComponent* AOwner = nullptr) : TcxCustomFilterControl(AOwner) {}
    ~TcxFilterControl() override;
    IcxFilterControl* GetFilterLink() override;
    TComponent* LinkComponent() const { return FLinkComponent; }
    // A component without IcxFilterControl is ignored.
    void SetLinkComponent(TComponent* AValue) override;

protected:
    // The linked component going clears the link, as setting nil does.
    void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
    TComponent* FLinkComponent = nullptr;
};
