// The variables dialog: the report's variables in categories, edited on a
// working copy that replaces the report's list on OK; values are
// expressions, typed or taken from the data tree.
#pragma once

#include "Forms.h"

#include <memory>
#include <string>
#include <vector>

class TMemo;
class TPanel;
class TSplitter;
class TToolBar;
class TToolButton;
class TTreeNode;
class TTreeView;
class TfrxCustomDesigner;
class TfrxDataTreeForm;
class TfrxVariables;

class TfrxVarEditorForm : public TForm {
    QZ_CLASS(TfrxVarEditorForm, TForm)
public:
    explicit TfrxVarEditorForm(TfrxCustomDesigner* designer);
    ~TfrxVarEditorForm() override;

    // The working copy.
    TfrxVariables* Variables() const { return FVariables.get(); }

    TTreeView* VarTree;
    TToolBar* ToolBar;
    TToolButton *NewCategoryB, *NewVarB, *EditB, *DeleteB, *EditListB, *LoadB, *SaveB, *CancelB, *OkB;
    TPanel* ExprPanel;
    TMemo* ExprMemo;
    TSplitter *Splitter1, *Splitter2;
    TfrxDataTreeForm* DataTree() const { return FDataTree; }

    void BuildTree();
    void NewCategory();
    void NewVariable();
    void DeleteSelected();
    // What finishing an in-place edit of a node does: false (and an error
    // box) when the name is taken.
    bool RenameNode(TTreeNode* node, const std::string& newText);
    void EditList();
    void LoadFile();
    void SaveFile();

protected:
    void DoShow() override;
    void DoHide() override;

private:
    TTreeNode* Root() const;
    bool IsCategoryNode(TTreeNode* n) const;
    void StorePendingValue();
    void SelectionChanged(TTreeNode* node);
    TfrxCustomDesigner* FDesigner;
    std::unique_ptr<TfrxVariables> FVariables;
    TfrxDataTreeForm* FDataTree;
    TTreeNode* FValueNode = nullptr;   // the variable whose value ExprMemo shows
    bool FBuilding = false;
};

namespace frxEditVar {
// " New Category" and "New Variable" followed by the smallest number >= 1
// that no item's name has.
std::string NewCategoryName(const TfrxVariables* vars);
std::string NewVariableName(const TfrxVariables* vars);
// Renames an item (categories carry their leading blank): false, with
// nothing changed, when another item has the new name.
bool RenameItem(TfrxVariables* vars, const std::string& oldName, const std::string& newName);
// The list editor's lines: categories without their blank, variables with one.
std::vector<std::string> ListLines(const TfrxVariables* vars);
// The list back from lines: blank lines dropped, lines with a leading blank
// are variables (without it), the others categories (with one); items
// known before keep their values.
void ApplyListLines(TfrxVariables* vars, const std::vector<std::string>& lines);
bool EditVariables(TfrxCustomDesigner* designer);
}  // namespace frxEditVar
