// What the filter builder and the custom filter dialog share: their texts,
// the row operators a filter row shows (and their criteria operator kinds),
// the filter control's error, the editor helpers that turn an item's editor
// properties into a value editor with its own operator set, the registry
// that finds the helper for a properties class, and the value check.
#pragma once

#include "Exceptions.h"
#include "System.h"
#include "Variants.h"
#include "cxDataStorage.h"
#include "cxFilter.h"
#include "cxResStrings.h"

#include <memory>
#include <string>

class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxInplaceEditList;

// ---- texts ------------------------------------------------------------------------------

extern const TcxResourceStringRec cxSFilterBoolOperatorAnd;
extern const TcxResourceStringRec cxSFilterBoolOperatorOr;
extern const TcxResourceStringRec cxSFilterBoolOperatorNotAnd;
extern const TcxResourceStringRec cxSFilterBoolOperatorNotOr;
extern const TcxResourceStringRec cxSFilterRootButtonCaption;
extern const TcxResourceStringRec cxSFilterGroupCaption;
extern const TcxResourceStringRec cxSFilterRootGroupCaption;
extern const TcxResourceStringRec cxSFilterFooterAddCondition;
extern const TcxResourceStringRec cxSFilterAddCondition;
extern const TcxResourceStringRec cxSFilterAddGroup;
extern const TcxResourceStringRec cxSFilterRemoveRow;
extern const TcxResourceStringRec cxSFilterClearAll;
extern const TcxResourceStringRec cxSFilterControlNullString;
extern const TcxResourceStringRec cxSFilterErrorInvalidValue;
extern const TcxResourceStringRec cxSFilterErrorBuilding;
extern const TcxResourceStringRec cxSFilterDialogCaption;
extern const TcxResourceStringRec cxSFilterDialogRows;
extern const TcxResourceStringRec cxSFilterDialogUse;
extern const TcxResourceStringRec cxSFilterDialogSingleCharacter;
extern const TcxResourceStringRec cxSFilterDialogCharactersSeries;
extern const TcxResourceStringRec cxSFilterDialogOperationAnd;
extern const TcxResourceStringRec cxSFilterDialogOperationOr;
extern const TcxResourceStringRec cxSFilterControlDialogCaption;
extern const TcxResourceStringRec cxSFilterControlDialogNewFile;
extern const TcxResourceStringRec cxSFilterControlDialogOpenDialogCaption;
extern const TcxResourceStringRec cxSFilterControlDialogSaveDialogCaption;
extern const TcxResourceStringRec cxSFilterControlDialogFileExt;
extern const TcxResourceStringRec cxSFilterControlDialogFileFilter;
extern const TcxResourceStringRec cxSFilterControlDialogActionOpenCaption;
extern const TcxResourceStringRec cxSFilterControlDialogActionSaveCaption;
extern const TcxResourceStringRec cxSFilterControlDialogActionApplyCaption;
extern const TcxResourceStringRec cxSFilterControlDialogActionOkCaption;
extern const TcxResourceStringRec cxSFilterControlDialogActionCancelCaption;
// Why a filter is not saved or applied while a row is incomplete or holds a
// value its item does not take.
extern const TcxResourceStringRec cxSFilterErrorIncompleteRow;

// ---- row operators --------------------------------------------------------------------------

enum TcxFilterRowOperator : uint8_t {
    froNone, froEqual, froNotEqual, froLess, froLessEqual, froGreater, froGreaterEqual, froLike,
    froNotLike, froBlank, froNonBlank, froBetween, froNotBetween, froInList, froNotInList,
    froYesterday, froToday, froTomorrow, froLastWeek, froLastMonth, froLastYear, froThisWeek,
    froThisMonth, froThisYear, froNextWeek, froNextMonth, froNextYear
};
constexpr int cxFilterRowOperatorCount = 27;
using TcxFilterRowOperators = TSet<TcxFilterRowOperator, 32>;

QZ_EXCEPTION(EcxFilterControlError, Exception)

namespace cxFilterControlUtils {

// The operator's text; empty for froNone and values out of range.
std::string GetRowOperatorText(int AOperator);
// Whether a row with the operator takes values (froNone counts as taking them).
bool RowOperatorHasValues(TcxFilterRowOperator AOperator);
// The set of the operators AFirst..ALast.
TcxFilterRowOperators RowOperatorRange(TcxFilterRowOperator AFirst, TcxFilterRowOperator ALast);
[[noreturn]] void RaiseFilterControlError(const std::string& AMessage);
// Whether the value type holds text (like then applies to the item).
bool IsStringValueType(TcxValueTypeClass AValueTypeClass);

}  // namespace cxFilterControlUtils

namespace cxFilterControl {

TcxFilterOperatorKind RowOperatorToOperatorKind(TcxFilterRowOperator AOperator);
TcxFilterRowOperator OperatorKindToRowOperator(TcxFilterOperatorKind AKind, bool AIsNull);
std::string GetBoolOperatorText(TcxFilterBoolOperatorKind ABoolOperator);

}  // namespace cxFilterControl

// ---- editor helpers ---------------------------------------------------------------------------

class TcxCustomFilterEditHelper;
// A helper is used through its class: a pointer to its one stateless instance.
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

class TcxCustomFilterEditHelper {
public:
    virtual ~TcxCustomFilterEditHelper() = default;
    virtual const char* ClassName() const { return "TcxCustomFilterEditHelper"; }

    // Clears the handlers through which a value editor would fire the item's events.
    virtual void ResetPropertiesEvents(TcxCustomEditProperties* AProperties) const;
    virtual void PrepareEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties) const;
    virtual bool KeepsButtons(TcxCustomEditProperties* AProperties) const;
    // The edit class values are entered with, and its properties class (nil: none).
    virtual TClass FilterEditClass() const { return nullptr; }
    virtual TClass FilterEditPropertiesClass() const { return nullptr; }
    virtual void ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties, Variant& AValue,
                           std::string& ADisplayText) const;
    virtual TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const;
    virtual void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                                   bool AKeepButtons) const;
    virtual bool AcceptsValue(TcxValueTypeClass AValueTypeClass, Variant& AValue) const;
    virtual void WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                            const Variant& AValue) const {}
    virtual bool ValueAsText() const { return false; }

    // A value editor of its own, with no owner.
    std::unique_ptr<TcxCustomEdit> CreateEdit(TcxCustomEditProperties* AItemProperties) const;
    // The list's in-place edit for FilterEditPropertiesClass (the list owns it).
    TcxCustomEdit* CreateEdit(TcxCustomEditProperties* AItemProperties, TcxInplaceEditList* AInplaceEditList) const;
};

#define CX_FILTER_HELPER(Cls, Parent)                                                         \
    class Cls : public Parent {                                                               \
    public:                                                                                   \
        static TcxCustomFilterEditHelperClass Class();                                        \
        const char* ClassName() const override { return #Cls; }

CX_FILTER_HELPER(TcxFilterTextEditHelper, TcxCustomFilterEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
    void WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                    const Variant& AValue) const override;
};
CX_FILTER_HELPER(TcxFilterMemoHelper, TcxFilterTextEditHelper)
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
};
CX_FILTER_HELPER(TcxFilterMaskEditHelper, TcxFilterTextEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterComboBoxHelper, TcxFilterMaskEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterCheckBoxHelper, TcxCustomFilterEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
    void ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties, Variant& AValue,
                   std::string& ADisplayText) const override;
    void WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                    const Variant& AValue) const override;
    bool ValueAsText() const override { return true; }
};
CX_FILTER_HELPER(TcxFilterCalcEditHelper, TcxFilterMaskEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterDateEditHelper, TcxFilterMaskEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterCurrencyEditHelper, TcxFilterTextEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterSpinEditHelper, TcxFilterMaskEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterImageComboBoxHelper, TcxFilterComboBoxHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
};
CX_FILTER_HELPER(TcxFilterTimeEditHelper, TcxFilterSpinEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    void PrepareEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties) const override;
};
CX_FILTER_HELPER(TcxFilterMRUEditHelper, TcxFilterTextEditHelper)
    bool KeepsButtons(TcxCustomEditProperties* AProperties) const override { return false; }
};
CX_FILTER_HELPER(TcxFilterHyperLinkEditHelper, TcxFilterTextEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
};
CX_FILTER_HELPER(TcxFilterLookupComboBoxHelper, TcxFilterComboBoxHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
    // The key, and as text the list's text for it.
    void ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties, Variant& AValue,
                   std::string& ADisplayText) const override;
    // Any key is taken: the list decides what exists.
    bool AcceptsValue(TcxValueTypeClass AValueTypeClass, Variant& AValue) const override { return true; }
};
CX_FILTER_HELPER(TcxFilterRadioGroupHelper, TcxCustomFilterEditHelper)
    TClass FilterEditClass() const override;
    TClass FilterEditPropertiesClass() const override;
    TcxFilterRowOperators AllowedOperators(TcxCustomEditProperties* AItemProperties, bool AExtended) const override;
    void PrepareProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AItemProperties,
                           bool AKeepButtons) const override;
    void ReadValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties, Variant& AValue,
                   std::string& ADisplayText) const override;
    void WriteValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AItemProperties,
                    const Variant& AValue) const override;
    bool ValueAsText() const override { return true; }
};

#undef CX_FILTER_HELPER

// The one registry from a properties class to its helper. Entries are kept
// under the parent of the class registered, and a look-up walks up from the
// parent of the class asked for, so every class derived from a registered
// properties class's parent finds that helper.
class TcxFilterEditsController {
public:
    void Register(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper);
    void Unregister(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper);
    // The helper of the nearest registered ancestor; nil when none.
    TcxCustomFilterEditHelperClass FindHelper(TClass APropertiesClass) const;

private:
    struct TEntry {
        TClass PropertiesClass;
        TcxCustomFilterEditHelperClass Helper;
    };
    std::vector<TEntry> FItems;
};

namespace cxFilterControlUtils {

// The registry, made with the helpers of the value editors on first use.
TcxFilterEditsController* GetFilterEditsController();

// Checks a committed value against the item's value type: an empty text on a
// non-text item becomes Null; a like pattern is not checked; a value the type
// does not take focuses AEdit (when it can take the focus) and raises
// "Invalid value".
void ValidateFilterValue(TcxCustomEdit* AEdit, Variant& AValue, TcxFilterRowOperator AOperator,
                         TcxCustomFilterEditHelperClass AHelper, TcxValueTypeClass AValueTypeClass);

}  // namespace cxFilterControlUtils
