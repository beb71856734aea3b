// The custom filter dialog: the conditions of one item, one condition or two
// joined by AND or OR, entered with the item's own editor; and the test that
// decides whether a filter can be shown in it at all.
#pragma once

#include "Forms.h"
#include "cxDataStorage.h"
#include "cxFilter.h"
#include "cxFilterControlUtils.h"

#include <memory>
#include <string>

class TBevel;
class TLabel;
class TcxButton;
class TcxComboBox;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxLookAndFeel;
class TcxRadioButton;

class TcxFilterDialog : public TForm {
    QZ_CLASS(TcxFilterDialog, TForm)
public:
    explicit TcxFilterDialog(TComponent* AOwner = nullptr);
    ~TcxFilterDialog() override;

    // Sets the dialog up for one item (the helper must exist).
    void Init(TcxFilterCriteria* ACriteria, TObject* AItemLink, TcxCustomEditProperties* AItemProperties,
              TcxLookAndFeel* ALookAndFeel, TcxValueTypeClass AValueTypeClass, const std::string& AItemCaption,
              TcxCustomFilterEditHelperClass AHelper);
    // Writes the conditions read at closing into the criteria.
    void ApplyChanges();
    // The operator of a box: 0 without a selection or on the blank first line.
    TcxFilterRowOperator Operator1() const;
    TcxFilterRowOperator Operator2() const;
    // Selects the line of AOperator (none when the box lacks it).
    void SetOperator1(TcxFilterRowOperator AOperator);
    void SetOperator2(TcxFilterRowOperator AOperator);
    void UpdateWildcards();

    TLabel* lblTitle = nullptr;
    TLabel* lblColumnCaption = nullptr;
    TBevel* bvlLine = nullptr;
    TcxComboBox* cbOperator1 = nullptr;
    TLabel* lblEdit1PlaceHolder = nullptr;
    TcxRadioButton* rbAnd = nullptr;
    TcxRadioButton* rbOr = nullptr;
    TcxComboBox* cbOperator2 = nullptr;
    TLabel* lblEdit2PlaceHolder = nullptr;
    TLabel* lblSingle = nullptr;
    TLabel* lblSeries = nullptr;
    TcxButton* btnOK = nullptr;
    TcxButton* btnCancel = nullptr;
    TcxCustomEdit* Edit1() const { return FEdit1.get(); }
    TcxCustomEdit* Edit2() const { return FEdit2.get(); }

    // Closing with OK first validates both values; a failure is shown and keeps the dialog open.
    bool CloseQuery() override;

private:
    void FillOperators(TcxComboBox* ABox, bool ABlankFirst);
    void SetOperator(TcxComboBox* ABox, TcxFilterRowOperator AOperator);
    TcxFilterRowOperator OperatorOf(TcxComboBox* ABox) const;
    void WriteCondition(TcxFilterCriteriaItemList* AParent, TcxFilterRowOperator AOperator, const Variant& AValue,
                        const std::string& AText);
    TcxFilterCriteria* FCriteria = nullptr;
    TObject* FItemLink = nullptr;
    TcxCustomEditProperties* FItemProperties = nullptr;
    TcxCustomFilterEditHelperClass FHelper = nullptr;
    TcxValueTypeClass FValueTypeClass = nullptr;
    TcxFilterRowOperators FOperators;
    std::unique_ptr<TcxCustomEdit> FEdit1, FEdit2;
    Variant FValue1, FValue2;
    std::string FText1, FText2;
};

namespace cxFilterDialog {

// The filter cannot be shown in the custom filter dialog: the root is not
// AND, or a root child is neither a simple condition on an item not used
// before nor an AND/OR pair of simple conditions on one such item.
bool IsComplexFilter(TcxFilterCriteria* ACriteria);

// Runs the custom filter dialog for one item; true when closed with OK (the
// criteria then changed). False at once when no helper serves the item's properties.
bool ShowFilterDialog(TcxFilterCriteria* ACriteria, TObject* AItemLink, TcxCustomEditProperties* AItemProperties,
                      TcxLookAndFeel* ALookAndFeel, TcxValueTypeClass AValueTypeClass,
                      const std::string& AItemCaption);

}  // namespace cxFilterDialog
