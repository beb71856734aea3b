// The group dialog: what a group header breaks on (a data field or an
// expression) and how the group is printed.
#pragma once

#include "Forms.h"

#include <string>

class TfrxCustomDesigner;
class TButton;
class TCheckBox;
class TComboBox;
class TGroupBox;
class TRadioButton;
class TfrxComboEdit;
class TfrxGroupHeader;

class TfrxGroupEditorForm : public TForm {
    QZ_CLASS(TfrxGroupEditorForm, TForm)
public:
    TfrxGroupEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    TfrxGroupHeader* GroupHeader = nullptr;

    TGroupBox *BreakOnL, *OptionsL;
    TRadioButton *DataFieldRB, *ExpressionRB;
    TComboBox *DataSetCB, *DataFieldCB;
    TfrxComboEdit* ExpressionE;
    TCheckBox *KeepGroupTogetherCB, *StartNewPageCB, *OutlineCB;
    TButton *OKB, *CancelB;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void RadioClick();
    void FillFields();
    TfrxCustomDesigner* FDesigner;
};

namespace frxEditGroup {
// The condition of a group on a data field: set."field".
std::string FieldCondition(const std::string& dataSet, const std::string& field);
bool EditGroup(TComponent* owner, TfrxCustomDesigner* designer, TfrxGroupHeader* header);
}  // namespace frxEditGroup
