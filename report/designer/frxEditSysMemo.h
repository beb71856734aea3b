// The system-text dialog: a system variable, a plain text, or an aggregate
// (a function over a data field or an expression on a data band). From the
// memo dialog it shows the aggregate part alone.
#pragma once

#include "Forms.h"

#include <string>

class TfrxCustomDesigner;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPanel;
class TRadioButton;
class TfrxComboEdit;

class TfrxSysMemoEditorForm : public TForm {
    QZ_CLASS(TfrxSysMemoEditorForm, TForm)
public:
    TfrxSysMemoEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    // In: the object's text; out, after OK: the text to store.
    std::string Text;
    bool AggregateOnly = false;

    TRadioButton *SysVariableRB, *AggregateRB, *TextRB;
    TComboBox* SysVariableCB;
    TEdit* TextE;
    TGroupBox *GroupBox1, *GroupBox2;
    TPanel* AggregatePanel;
    TLabel *DataBandL, *DataSetL, *DataFieldL, *FunctionL, *ExpressionL;
    TComboBox *DataBandCB, *DataSetCB, *DataFieldCB, *FunctionCB;
    TfrxComboEdit* ExpressionE;
    TCheckBox *CountInvisibleCB, *RunningTotalCB;
    TButton *OKB, *CancelB;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void DataBandChanged();
    void DataSetChanged();
    TfrxCustomDesigner* FDesigner;
};

namespace frxEditSysMemo {
// "[F(arguments)]": for functions other than COUNT the expression (or the
// data field "<set."field">"), then ",band" and ",flags" when a band is
// named; for COUNT the band and ",flags". Flags: 1 counts invisible bands,
// 2 keeps a running total, 3 both; 0 is left out.
std::string AggregateText(const std::string& function, const std::string& expression, const std::string& dataSet,
                          const std::string& field, const std::string& band, bool countInvisible,
                          bool runningTotal);
// The dialog over a text: true and the new text after OK.
bool EditSysText(TComponent* owner, TfrxCustomDesigner* designer, std::string& text, bool aggregateOnly = false);
}  // namespace frxEditSysMemo
