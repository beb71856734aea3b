#include "cxFilterControlUtils.h"

#include "cxCalc.h"
#include "cxCheckBox.h"
#include "cxCurrencyEdit.h"
#include "cxDBLookupComboBox.h"
#include "cxDateEdit.h"
#include "cxDropDownEdit.h"
#include "cxEdit.h"
#include "cxFilterConsts.h"
#include "cxHyperLinkEdit.h"
#include "cxImageComboBox.h"
#include "cxMRUEdit.h"
#include "cxMaskEdit.h"
#include "cxMemo.h"
#include "cxRadioGroup.h"
#include "cxSpinEdit.h"
#include "cxTextEdit.h"
#include "cxTimeEdit.h"

const TcxResourceStringRec cxSFilterBoolOperatorAnd{"cxSFilterBoolOperatorAnd", "AND"};
const TcxResourceStringRec cxSFilterBoolOperatorOr{"cxSFilterBoolOperatorOr", "OR"};
const TcxResourceStringRec cxSFilterBoolOperatorNotAnd{"cxSFilterBoolOperatorNotAnd", "NOT AND"};
const TcxResourceStringRec cxSFilterBoolOperatorNotOr{"cxSFilterBoolOperatorNotOr", "NOT OR"};
const TcxResourceStringRec cxSFilterRootButtonCaption{"cxSFilterRootButtonCaption", "Filter"};
const TcxResourceStringRec cxSFilterGroupCaption{"cxSFilterGroupCaption", "applies to the following conditions"};
const TcxResourceStringRec cxSFilterRootGroupCaption{"cxSFilterRootGroupCaption", "<root>"};
const TcxResourceStringRec cxSFilterFooterAddCondition{"cxSFilterFooterAddCondition",
                                                        "press the button to add a new condition"};
const TcxResourceStringRec cxSFilterAddCondition{"cxSFilterAddCondition", "Add &Condition"};
const TcxResourceStringRec cxSFilterAddGroup{"cxSFilterAddGroup", "Add &Group"};
const TcxResourceStringRec cxSFilterRemoveRow{"cxSFilterRemoveRow", "&Remove Row"};
const TcxResourceStringRec cxSFilterClearAll{"cxSFilterClearAll", "Clear &All"};
const TcxResourceStringRec cxSFilterControlNullString{"cxSFilterControlNullString", "<empty>"};
const TcxResourceStringRec cxSFilterErrorInvalidValue{"cxSFilterErrorInvalidValue", "Invalid value"};
const TcxResourceStringRec cxSFilterErrorBuilding{"cxSFilterErrorBuilding", "Can't build filter from source"};
const TcxResourceStringRec cxSFilterDialogCaption{"cxSFilterDialogCaption", "Custom Filter"};
const TcxResourceStringRec cxSFilterDialogRows{"cxSFilterDialogRows", "Show rows where:"};
const TcxResourceStringRec cxSFilterDialogUse{"cxSFilterDialogUse", "Use"};
const TcxResourceStringRec cxSFilterDialogSingleCharacter{"cxSFilterDialogSingleCharacter",
                                                           "to represent any single character"};
const TcxResourceStringRec cxSFilterDialogCharactersSeries{"cxSFilterDialogCharactersSeries",
                                                            "to represent any series of characters"};
const TcxResourceStringRec cxSFilterDialogOperationAnd{"cxSFilterDialogOperationAnd", "AND"};
const TcxResourceStringRec cxSFilterDialogOperationOr{"cxSFilterDialogOperationOr", "OR"};
const TcxResourceStringRec cxSFilterControlDialogCaption{"cxSFilterControlDialogCaption", "Filter builder"};
const TcxResourceStringRec cxSFilterControlDialogNewFile{"cxSFilterControlDialogNewFile", "untitled.flt"};
const TcxResourceStringRec cxSFilterControlDialogOpenDialogCaption{"cxSFilterControlDialogOpenDialogCaption",
                                                                    "Open an existing filter"};
const TcxResourceStringRec cxSFilterControlDialogSaveDialogCaption{"cxSFilterControlDialogSaveDialogCaption",
                                                                    "Save the active filter to file"};
const TcxResourceStringRec cxSFilterControlDialogFileExt{"cxSFilterControlDialogFileExt", "flt"};
const TcxResourceStringRec cxSFilterControlDialogFileFilter{"cxSFilterControlDialogFileFilter",
                                                             "Filters (*.flt)|*.flt"};
const TcxResourceStringRec cxSFilterControlDialogActionOpenCaption{"cxSFilterControlDialogActionOpenCaption",
                                                                    "&Open..."};
const TcxResourceStringRec cxSFilterControlDialogActionSaveCaption{"cxSFilterControlDialogActionSaveCaption",
                                                                    "&Save As..."};
const TcxResourceStringRec cxSFilterControlDialogActionApplyCaption{"cxSFilterControlDialogActionApplyCaption",
                                                                     "&Apply"};
const TcxResourceStringRec cxSFilterControlDialogActionOkCaption{"cxSFilterControlDialogActionOkCaption", "OK"};
const TcxResourceStringRec cxSFilterControlDialogActionCancelCaption{"cxSFilterControlDialogActionCancelCaption",
                                                                      "Cancel"};
const TcxResourceStringRec cxSFilterErrorIncompleteRow{"cxSFilterErrorIncompleteRow",
                                                        "The filter has an incomplete or invalid condition"};

using cxClasses::GetResourceString;

namespace cxFilterControlUtils {

std::string GetRowOperatorText(int AOperator)
{
    static const TcxResourceStringRec* const texts[cxFilterRowOperatorCount] = {
        nullptr,
        &cxSFilterOperatorEqual, &cxSFilterOperatorNotEqual, &cxSFilterOperatorLess,
        &cxSFilterOperatorLessEqual, &cxSFilterOperatorGreater, &cxSFilterOperatorGreaterEqual,
        &cxSFilterOperatorLike, &cxSFilterOperatorNotLike, &cxSFilterOperatorIsNull,
        &cxSFilterOperatorIsNotNull, &cxSFilterOperatorBetween, &cxSFilterOperatorNotBetween,
        &cxSFilterOperatorInList, &cxSFilterOperatorNotInList, &cxSFilterOperatorYesterday,
        &cxSFilterOperatorToday, &cxSFilterOperatorTomorrow, &cxSFilterOperatorLastWeek,
        &cxSFilterOperatorLastMonth, &cxSFilterOperatorLastYear, &cxSFilterOperatorThisWeek,
        &cxSFilterOperatorThisMonth, &cxSFilterOperatorThisYear, &cxSFilterOperatorNextWeek,
        &cxSFilterOperatorNextMonth, &cxSFilterOperatorNextYear};
    if (AOperator <= 0 || AOperator >= cxFilterRowOperatorCount) return std::string();
    return GetResourceString(texts[AOperator]);
}

bool RowOperatorHasValues(TcxFilterRowOperator AOperator)
{
    return AOperator != froBlank && AOperator != froNonBlank && AOperator < froYesterday;
}

TcxFilterRowOperators RowOperatorRange(TcxFilterRowOperator AFirst, TcxFilterRowOperator ALast)
{
    TcxFilterRowOperators r;
    for (int i = AFirst; i <= ALast; ++i) r.Include(TcxFilterRowOperator(i));
    return r;
}

void RaiseFilterControlError(const std::string& AMessage)
{
    throw EcxFilterControlError(AMessage);
}

bool IsStringValueType(TcxValueTypeClass AValueTypeClass)
{
    return AValueTypeClass && AValueTypeClass->IsText();
}

}  // namespace cxFilterControlUtils

using namespace cxFilterControlUtils;

namespace cxFilterControl {

TcxFilterOperatorKind RowOperatorToOperatorKind(TcxFilterRowOperator AOperator)
{
    switch (AOperator) {
    case froNone:
    case froEqual:
    case froBlank: return foEqual;
    case froNotEqual:
    case froNonBlank: return foNotEqual;
    case froLess: return foLess;
    case froLessEqual: return foLessEqual;
    case froGreater: return foGreater;
    case froGreaterEqual: return foGreaterEqual;
    case froLike: return foLike;
    case froNotLike: return foNotLike;
    case froBetween: return foBetween;
    case froNotBetween: return foNotBetween;
    case froInList: return foInList;
    case froNotInList: return foNotInList;
    default: return TcxFilterOperatorKind(foYesterday + (AOperator - froYesterday));
    }
}

TcxFilterRowOperator OperatorKindToRowOperator(TcxFilterOperatorKind AKind, bool AIsNull)
{
    switch (AKind) {
    case foEqual: return AIsNull ? froBlank : froEqual;
    case foNotEqual: return AIsNull ? froNonBlank : froNotEqual;
    case foLess: return froLess;
    case foLessEqual: return froLessEqual;
    case foGreater: return froGreater;
    case foGreaterEqual: return froGreaterEqual;
    case foLike: return froLike;
    case foNotLike: return froNotLike;
    case foBetween: return froBetween;
    case foNotBetween: return froNotBetween;
    case foInList: return froInList;
    case foNotInList: return froNotInList;
    case foNull: return froBlank;
    case foNotNull: return froNonBlank;
    default:
        if (AKind >= foYesterday && AKind <= foNextYear)
            return TcxFilterRowOperator(froYesterday + (AKind - foYesterday));
        return froNone;
    }
}

std::string GetBoolOperatorText(TcxFilterBoolOperatorKind ABoolOperator)
{
    static const TcxResourceStringRec* const texts[4] = {&cxSFilterBoolOperatorAnd, &cxSFilterBoolOperatorOr,
                                                         &cxSFilterBoolOperatorNotAnd, &cxSFilterBoolOperatorNotOr};
    return ABoolOperator <= fboNotOr ? GetResourceString(texts[ABoolOperator]) : std::string();
}

}  // namespace cxFilterControl

// ---- the base helper ------------------------------------------------------------------------

namespace {

const TcxFilterRowOperators kPlain = RowOperatorRange(froEqual, froNonBlank);
const TcxFilterRowOperators kExtended = RowOperatorRange(froEqual, froNotInList);
const TcxFilterRowOperators kOrdered = RowOperatorRange(froEqual, froGreaterEqual) + TcxFilterRowOperators{froBlank, froNonBlank};
const TcxFilterRowOperators kLists = RowOperatorRange(froBetween, froNotInList);
const TcxFilterRowOperators kEquality{froEqual, froNotEqual, froBlank, froNonBlank};

template <class T> T* As(TcxCustomEditProperties* p) { return dynamic_cast<T*>(p); }

// The numeric and date editors' set: comparisons and blank tests, with the range and list tests when extended.
TcxFilterRowOperators OrderedOperators(bool AExtended) { return AExtended ? kOrdered + kLists : kOrdered; }
// The fixed-list editors' set: equality and blank tests, with the list tests when extended.
TcxFilterRowOperators ChoiceOperators(bool AExtended)
{
    return AExtended ? kEquality + TcxFilterRowOperators{froInList, froNotInList} : kEquality;
}

}  // namespace

void TcxCustomFilterEditHelper::ResetPropertiesEvents(TcxCustomEditProperties* AProperties) const
{
    AProperties->OnButtonClick = nullptr;
    AProperties->OnChange = nullptr;
    AProperties->OnEditValueChanged = nullptr;
    AProperties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::PrepareEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties) const
{
    PrepareProperties(AEdit->ActiveProperties(), AItemProperties, KeepsButtons(AEdit->ActiveProperties()));
}

bool TcxCustomFilterEditHelper::KeepsButtons(TcxCustomEditProperties* AProperties) const
{
    return As<TcxCustomDropDownEditProperties>(AProperties) || As<TcxCustomSpinEditProperties>(AProperties);
}

void TcxCustomFilterEditHelper::ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                                          Variant& AValue, std::string& ADisplayText) const
{
    AValue = AEdit->EditValue();
    ADisplayText = AItemProperties->GetDisplayText(AValue);
}

TcxFilterRowOperators TcxCustomFilterEditHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return AExtended ? kExtended : kPlain;
}

void TcxCustomFilterEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                  TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    AProperties->BeginUpdate();
    try {
        AProperties->Assign(AItemProperties);
        AProperties->Alignment()->SetHorz(taLeftJustify);
        AProperties->Alignment()->SetVert(taTopJustify);
        AProperties->SetBeepOnError(false);
        if (!AKeepButtons) AProperties->Buttons()->Clear();
        AProperties->SetReadOnly(false);
        AProperties->SetValidateOnEnter(true);
        AProperties->SetDefaultValuesProvider(nullptr);
    } catch (...) {
        AProperties->EndUpdate(false);
        throw;
    }
    AProperties->EndUpdate(false);
    ResetPropertiesEvents(AProperties);
}

bool TcxCustomFilterEditHelper::AcceptsValue(TcxValueTypeClass AValueTypeClass, Variant& AValue) const
{
    return AValueTypeClass->CoerceVariant(AValue);
}

std::unique_ptr<TcxCustomEdit> TcxCustomFilterEditHelper::CreateEdit(TcxCustomEditProperties* AItemProperties) const
{
    TClass cls = FilterEditClass();
    if (!cls) return nullptr;
    TObject* o = cls->Create(nullptr);
    std::unique_ptr<TcxCustomEdit> edit(dynamic_cast<TcxCustomEdit*>(o));
    if (!edit) {
        delete o;
        return nullptr;
    }
    PrepareEdit(edit.get(), AItemProperties);
    return edit;
}

TcxCustomEdit* TcxCustomFilterEditHelper::CreateEdit(TcxCustomEditProperties* AItemProperties,
                                                     TcxInplaceEditList* AInplaceEditList) const
{
    TClass cls = FilterEditPropertiesClass();
    if (!cls) return nullptr;
    TcxCustomEdit* edit = AInplaceEditList->GetEditByPropertiesClass(cls);
    PrepareEdit(edit, AItemProperties);
    return edit;
}

#define CX_FILTER_HELPER_CLASS(Cls)                   \
    TcxCustomFilterEditHelperClass Cls::Class()       \
    {                                                 \
        static const Cls instance;                    \
        return &instance;                             \
    }
#define CX_FILTER_HELPER_EDIT(Cls, Edit, Props)                                         \
    TClass Cls::FilterEditClass() const { return Edit::StaticClass(); }                 \
    TClass Cls::FilterEditPropertiesClass() const { return Props::StaticClass(); }

// ---- text ---------------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterTextEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterTextEditHelper, TcxTextEdit, TcxTextEditProperties)

void TcxFilterTextEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxCustomFilterEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* p = As<TcxCustomTextEditProperties>(AProperties)) {
        p->SetAutoSelect(true);
        p->SetHideCursor(false);
        p->SetHideSelection(true);
    }
}

void TcxFilterTextEditHelper::WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties*, const Variant& AValue) const
{
    AEdit->SetEditValue(AValue);
}

// ---- memo -----------------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterMemoHelper)

TcxFilterRowOperators TcxFilterMemoHelper::AllowedOperators(TcxCustomEditProperties*, bool) const
{
    return RowOperatorRange(froLike, froNonBlank);
}

// ---- mask -----------------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterMaskEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterMaskEditHelper, TcxMaskEdit, TcxMaskEditProperties)

TcxFilterRowOperators TcxFilterMaskEditHelper::AllowedOperators(TcxCustomEditProperties* AItemProperties,
                                                                bool AExtended) const
{
    auto* mask = As<TcxCustomMaskEditProperties>(AItemProperties);
    TcxFilterRowOperators r = mask && mask->IsMasked() ? kOrdered : kPlain;
    if (AExtended) r = r + kLists;
    return r;
}

void TcxFilterMaskEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterTextEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    auto* item = As<TcxCustomMaskEditProperties>(AItemProperties);
    auto* mask = As<TcxCustomMaskEditProperties>(AProperties);
    if (!mask) return;
    if (item && item->MaskKind() == emkRegExpr) mask->SetMaskKind(emkRegExprEx);
    mask->SetAutoSelect(!(item && item->IsMasked()));
}

// ---- combo box ------------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterComboBoxHelper)
CX_FILTER_HELPER_EDIT(TcxFilterComboBoxHelper, TcxComboBox, TcxComboBoxProperties)

void TcxFilterComboBoxHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterMaskEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* combo = As<TcxCustomComboBoxProperties>(AProperties)) {
        combo->SetButtonGlyph(nullptr);
        combo->SetDropDownRows(7);
        combo->SetDropDownListStyle(lsEditList);
        combo->SetImmediateDropDown(false);
        combo->SetPopupAlignment(taLeftJustify);
        combo->SetRevertable(false);
    }
}

// ---- check box ------------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterCheckBoxHelper)
CX_FILTER_HELPER_EDIT(TcxFilterCheckBoxHelper, TcxComboBox, TcxComboBoxProperties)

TcxFilterRowOperators TcxFilterCheckBoxHelper::AllowedOperators(TcxCustomEditProperties*, bool) const
{
    return kEquality;
}

void TcxFilterCheckBoxHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool) const
{
    auto* combo = As<TcxCustomComboBoxProperties>(AProperties);
    auto* check = As<TcxCustomCheckBoxProperties>(AItemProperties);
    if (combo && check) {
        combo->Items()->Clear();
        combo->Items()->Add(check->GetDisplayText(check->ValueChecked()));
        combo->Items()->Add(check->GetDisplayText(check->ValueUnchecked()));
        combo->SetDropDownListStyle(lsFixedList);
    }
    AProperties->SetDefaultValuesProvider(nullptr);
    ResetPropertiesEvents(AProperties);
}

void TcxFilterCheckBoxHelper::ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                                        Variant& AValue, std::string& ADisplayText) const
{
    auto* combo = dynamic_cast<TcxComboBox*>(AEdit);
    auto* check = As<TcxCustomCheckBoxProperties>(AItemProperties);
    int index = combo ? combo->ItemIndex() : -1;
    if (index < 0 || !check) {
        AValue = Null();
        ADisplayText.clear();
        return;
    }
    AValue = index == 0 ? check->ValueChecked() : check->ValueUnchecked();
    ADisplayText = check->GetDisplayText(AValue);
}

void TcxFilterCheckBoxHelper::WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                                         const Variant& AValue) const
{
    auto* combo = dynamic_cast<TcxComboBox*>(AEdit);
    if (!combo) return;
    Variant state;
    AItemProperties->PrepareDisplayValue(AValue, state, AEdit->Focused());
    int index = -1;
    if (!state.IsNull() && !state.IsEmpty()) {
        int s = state.AsInteger();
        index = s == cbsChecked ? 0 : s == cbsUnchecked ? 1 : -1;
    }
    combo->SetItemIndex(index);
}

// ---- calc, date, currency, spin, time -------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterCalcEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterCalcEditHelper, TcxCalcEdit, TcxCalcEditProperties)

TcxFilterRowOperators TcxFilterCalcEditHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return OrderedOperators(AExtended);
}

void TcxFilterCalcEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterMaskEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* calc = As<TcxCustomCalcEditProperties>(AProperties)) calc->SetQuickClose(true);
}

CX_FILTER_HELPER_CLASS(TcxFilterDateEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterDateEditHelper, TcxDateEdit, TcxDateEditProperties)

TcxFilterRowOperators TcxFilterDateEditHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return AExtended ? OrderedOperators(true) + RowOperatorRange(froYesterday, froNextYear) : kOrdered;
}

void TcxFilterDateEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterMaskEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* date = As<TcxCustomDateEditProperties>(AProperties)) {
        date->SetDateButtons(TDateButtons{btnClear, btnToday});
        date->SetDateOnError(deNull);
        date->SetInputKind(ikRegExpr);
        date->SetSaveTime(true);
    }
}

CX_FILTER_HELPER_CLASS(TcxFilterCurrencyEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterCurrencyEditHelper, TcxCurrencyEdit, TcxCurrencyEditProperties)

TcxFilterRowOperators TcxFilterCurrencyEditHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return OrderedOperators(AExtended);
}

void TcxFilterCurrencyEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                    TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterTextEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* cur = As<TcxCustomCurrencyEditProperties>(AProperties)) {
        cur->SetMinValue(0);
        cur->SetMaxValue(0);
        cur->SetNullable(true);
        cur->SetNullString(std::string());
    }
}

CX_FILTER_HELPER_CLASS(TcxFilterSpinEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterSpinEditHelper, TcxSpinEdit, TcxSpinEditProperties)

TcxFilterRowOperators TcxFilterSpinEditHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return OrderedOperators(AExtended);
}

void TcxFilterSpinEditHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                TcxCustomEditProperties* AItemProperties, bool AKeepButtons) const
{
    TcxFilterMaskEditHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* spin = As<TcxCustomSpinEditProperties>(AProperties)) spin->SetCanEdit(true);
}

CX_FILTER_HELPER_CLASS(TcxFilterTimeEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterTimeEditHelper, TcxTimeEdit, TcxTimeEditProperties)

void TcxFilterTimeEditHelper::PrepareEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties) const
{
    TcxFilterSpinEditHelper::PrepareEdit(AEdit, AItemProperties);
    if (auto* time = dynamic_cast<TcxCustomTimeEdit*>(AEdit)) time->SetTime(0);
}

// ---- image combo box, MRU, hyperlink ---------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterImageComboBoxHelper)
CX_FILTER_HELPER_EDIT(TcxFilterImageComboBoxHelper, TcxImageComboBox, TcxImageComboBoxProperties)

TcxFilterRowOperators TcxFilterImageComboBoxHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return ChoiceOperators(AExtended);
}

void TcxFilterImageComboBoxHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                     TcxCustomEditProperties* AItemProperties,
                                                     bool AKeepButtons) const
{
    TcxFilterComboBoxHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* combo = As<TcxCustomComboBoxProperties>(AProperties)) {
        combo->SetDropDownListStyle(lsFixedList);
        combo->SetImmediateDropDown(true);
    }
    if (auto* image = As<TcxCustomImageComboBoxProperties>(AProperties)) image->SetShowDescriptions(true);
}

CX_FILTER_HELPER_CLASS(TcxFilterMRUEditHelper)

CX_FILTER_HELPER_CLASS(TcxFilterHyperLinkEditHelper)
CX_FILTER_HELPER_EDIT(TcxFilterHyperLinkEditHelper, TcxHyperLinkEdit, TcxHyperLinkEditProperties)

// ---- lookup combo box ---------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterLookupComboBoxHelper)
CX_FILTER_HELPER_EDIT(TcxFilterLookupComboBoxHelper, TcxLookupComboBox, TcxLookupComboBoxProperties)

TcxFilterRowOperators TcxFilterLookupComboBoxHelper::AllowedOperators(TcxCustomEditProperties*, bool) const
{
    return kEquality;
}

void TcxFilterLookupComboBoxHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                      TcxCustomEditProperties* AItemProperties,
                                                      bool AKeepButtons) const
{
    TcxFilterComboBoxHelper::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
    if (auto* lookup = As<TcxCustomLookupEditProperties>(AProperties)) {
        lookup->SetDropDownAutoSize(true);
        lookup->SetDropDownListStyle(lsFixedList);
        lookup->SetPopupSizeable(true);
        lookup->SetIncrementalFiltering(true);
    }
}

void TcxFilterLookupComboBoxHelper::ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties*, Variant& AValue,
                                              std::string& ADisplayText) const
{
    AValue = AEdit->EditValue();
    ADisplayText = AEdit->ActiveProperties()->GetDisplayText(AValue);
}

// ---- radio group -----------------------------------------------------------------------------------

CX_FILTER_HELPER_CLASS(TcxFilterRadioGroupHelper)
CX_FILTER_HELPER_EDIT(TcxFilterRadioGroupHelper, TcxComboBox, TcxComboBoxProperties)

TcxFilterRowOperators TcxFilterRadioGroupHelper::AllowedOperators(TcxCustomEditProperties*, bool AExtended) const
{
    return ChoiceOperators(AExtended);
}

void TcxFilterRadioGroupHelper::PrepareProperties(TcxCustomEditProperties* AProperties,
                                                  TcxCustomEditProperties* AItemProperties, bool) const
{
    auto* combo = As<TcxCustomComboBoxProperties>(AProperties);
    auto* radio = As<TcxCustomRadioGroupProperties>(AItemProperties);
    if (combo && radio) {
        combo->Items()->Clear();
        for (int i = 0; i < radio->Items()->Count(); ++i) combo->Items()->Add(radio->Items()->Items(i)->Caption());
        combo->SetDropDownListStyle(lsFixedList);
    }
    AProperties->SetDefaultValuesProvider(nullptr);
    ResetPropertiesEvents(AProperties);
}

void TcxFilterRadioGroupHelper::ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                                          Variant& AValue, std::string& ADisplayText) const
{
    auto* combo = dynamic_cast<TcxComboBox*>(AEdit);
    auto* radio = As<TcxCustomRadioGroupProperties>(AItemProperties);
    if (!radio) {
        AValue = Null();
        ADisplayText.clear();
        return;
    }
    int index = combo ? combo->ItemIndex() : -1;
    if (index < 0 || index >= radio->Items()->Count()) {
        AValue = radio->DefaultValue();
        ADisplayText = radio->DefaultCaption();
    } else {
        AValue = radio->Items()->Items(index)->Value();
        ADisplayText = radio->Items()->Items(index)->Caption();
    }
}

void TcxFilterRadioGroupHelper::WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                                           const Variant& AValue) const
{
    auto* combo = dynamic_cast<TcxComboBox*>(AEdit);
    if (!combo) return;
    Variant index;
    AItemProperties->PrepareDisplayValue(AValue, index, AEdit->Focused());
    combo->SetItemIndex(index.IsNull() || index.IsEmpty() ? -1 : index.AsInteger());
}

// ---- the registry ------------------------------------------------------------------------------------

void TcxFilterEditsController::Register(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper)
{
    if (!APropertiesClass || !APropertiesClass->Parent) return;
    TClass key = APropertiesClass->Parent;
    for (TEntry& e : FItems)
        if (e.PropertiesClass == key) {
            e.Helper = AHelper;
            return;
        }
    FItems.push_back(TEntry{key, AHelper});
}

void TcxFilterEditsController::Unregister(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper)
{
    if (!APropertiesClass || !APropertiesClass->Parent) return;
    TClass key = APropertiesClass->Parent;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].PropertiesClass == key && FItems[i].Helper == AHelper) {
            FItems.erase(FItems.begin() + std::ptrdiff_t(i));
            return;
        }
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(TClass APropertiesClass) const
{
    for (TClass c = APropertiesClass ? APropertiesClass->Parent : nullptr; c; c = c->Parent)
        for (const TEntry& e : FItems)
            if (e.PropertiesClass == c) return e.Helper;
    return nullptr;
}

namespace cxFilterControlUtils {

TcxFilterEditsController* GetFilterEditsController()
{
    static TcxFilterEditsController* controller = [] {
        static TcxFilterEditsController c;
        c.Register(TcxCalcEditProperties::StaticClass(), TcxFilterCalcEditHelper::Class());
        c.Register(TcxCheckBoxProperties::StaticClass(), TcxFilterCheckBoxHelper::Class());
        c.Register(TcxComboBoxProperties::StaticClass(), TcxFilterComboBoxHelper::Class());
        c.Register(TcxCurrencyEditProperties::StaticClass(), TcxFilterCurrencyEditHelper::Class());
        c.Register(TcxDateEditProperties::StaticClass(), TcxFilterDateEditHelper::Class());
        c.Register(TcxHyperLinkEditProperties::StaticClass(), TcxFilterHyperLinkEditHelper::Class());
        c.Register(TcxImageComboBoxProperties::StaticClass(), TcxFilterImageComboBoxHelper::Class());
        c.Register(TcxLookupComboBoxProperties::StaticClass(), TcxFilterLookupComboBoxHelper::Class());
        c.Register(TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::Class());
        c.Register(TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::Class());
        c.Register(TcxMRUEditProperties::StaticClass(), TcxFilterMRUEditHelper::Class());
        c.Register(TcxRadioGroupProperties::StaticClass(), TcxFilterRadioGroupHelper::Class());
        c.Register(TcxSpinEditProperties::StaticClass(), TcxFilterSpinEditHelper::Class());
        c.Register(TcxTextEditProperties::StaticClass(), TcxFilterTextEditHelper::Class());
        c.Register(TcxTimeEditProperties::StaticClass(), TcxFilterTimeEditHelper::Class());
        return &c;
    }();
    return controller;
}

void ValidateFilterValue(TcxCustomEdit* AEdit, Variant& AValue, TcxFilterRowOperator AOperator,
                         TcxCustomFilterEditHelperClass AHelper, TcxValueTypeClass AValueTypeClass)
{
    if (!AValueTypeClass) return;
    if (VarIsStr(AValue) && VarToStr(AValue).empty() && !IsStringValueType(AValueTypeClass)) AValue = Null();
    if (AValue.IsNull() || AOperator == froLike || AOperator == froNotLike) return;
    bool ok = false;
    try {
        Variant v = AValue;
        ok = AHelper ? AHelper->AcceptsValue(AValueTypeClass, v) : AValueTypeClass->CoerceVariant(v);
        if (ok) AValue = v;
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        if (AEdit && AEdit->CanFocus()) AEdit->SetFocus();
        RaiseFilterControlError(GetResourceString(&cxSFilterErrorInvalidValue));
    }
}

}  // namespace cxFilterControlUtils
