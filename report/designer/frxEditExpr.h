// The expression editor: the expression's text beside the data tree, whose
// entries go into the text by a double click or by dragging.
#pragma once

#include "Forms.h"

#include <string>

class TButton;
class TLabel;
class TMemo;
class TPanel;
class TfrxCustomDesigner;
class TfrxDataTreeForm;

class TfrxExprEditorForm : public TForm {
    QZ_CLASS(TfrxExprEditorForm, TForm)
public:
    explicit TfrxExprEditorForm(TfrxCustomDesigner* designer);
    ~TfrxExprEditorForm() override;

    TPanel* ExprPanel;
    TLabel* ExprL;
    TMemo* ExprMemo;
    TButton *OKB, *CancelB;
    TfrxDataTreeForm* DataTree() const { return FDataTree; }

protected:
    void DoShow() override;
    void DoHide() override;

private:
    TfrxCustomDesigner* FDesigner;
    TfrxDataTreeForm* FDataTree;
};

namespace frxEditExpr {
// The editor opened on the text: the edited text after OK, else "".
std::string EditExpression(TfrxCustomDesigner* designer, const std::string& text);
// Makes a data tree of the designer's report, moves its tabs into a
// dialog and inserts the tree's text into memo on a double click and on a
// drop from the tree.
TfrxDataTreeForm* EmbedDataTree(TfrxCustomDesigner* designer, TWinControl* parent, TMemo* memo);
}  // namespace frxEditExpr
