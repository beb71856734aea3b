// The designer's two tool windows over the report: the data tree (data
// sets with their fields, variables, functions; it gives the text that
// inserting an entry puts into the layout or the code) and the report tree
// (the component tree, its selection kept in step with the designer's).
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class TfrxComponent;
class TfrxReport;
class TfsXMLItem;
class IfrxDesignerSelection;

class TfrxDataTreeForm : public TForm {
    QZ_CLASS(TfrxDataTreeForm, TForm)
public:
    explicit TfrxDataTreeForm(TComponent* owner = nullptr);
    ~TfrxDataTreeForm() override;

    TfrxReport* Report() const { return FReport; }
    void SetReport(TfrxReport* r) { FReport = r; }

    // Refills the data and variables tabs; the functions tab only the first time.
    void UpdateItems();
    // What inserting the selected entry of the active tab puts in; empty
    // unless a leaf is selected.
    std::string GetInsertText() const;
    bool IsDataPageActive() const { return Tabs->ActivePage() == DataTS; }
    void SetTreeColor(TColor c);

    // The data-set nodes the operator collapsed, each name followed by ",";
    // kept for the whole process.
    static std::string& CollapsedDataSets();

    TPageControl* Tabs;
    TTabSheet *DataTS, *VariablesTS, *FunctionsTS;
    TTreeView *DataTree, *VariablesTree, *FunctionsTree;
    TPanel* CBPanel;
    TCheckBox *InsFieldCB, *InsCaptionCB;
    TLabel *FunctionNameL, *FunctionDescL;
    TNotifyEvent OnTreeDblClick;

private:
    void FillData();
    void FillVariables();
    void FillFunctions();
    void AddFunctions(TfsXMLItem* element, TTreeNode* parent, bool top);
    void FunctionsTreeChange(TTreeNode* node);
    std::string CollapsedNow() const;
    TfrxReport* FReport = nullptr;
    std::unique_ptr<TfsXMLItem> FContents;
    bool FFirstFill = true;
    bool FUpdating = false;
    std::set<TTreeNode*> FScriptVariables;
};

class TfrxReportTreeForm : public TForm {
    QZ_CLASS(TfrxReportTreeForm, TForm)
public:
    explicit TfrxReportTreeForm(TComponent* owner = nullptr);

    IfrxDesignerSelection* Designer() const { return FDesigner; }
    void SetDesigner(IfrxDesignerSelection* d) { FDesigner = d; }
    // Refills the tree and selects the designer's first selected object.
    void UpdateItems();
    void SetTreeColor(TColor c);
    const std::vector<TfrxComponent*>& Components() const { return FComponents; }
    const std::vector<TTreeNode*>& Nodes() const { return FNodes; }

    TTreeView* Tree;
    TNotifyEvent OnSelectionChanged;

private:
    void AddComponent(TfrxComponent* c, TTreeNode* parent);
    void TreeChange(TTreeNode* node);
    IfrxDesignerSelection* FDesigner = nullptr;
    std::vector<TfrxComponent*> FComponents;
    std::vector<TTreeNode*> FNodes;
    bool FUpdating = false;
};
