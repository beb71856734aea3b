// The data tree's nodes and insert texts, the collapsed data sets kept from
// one window to the next, and the report tree in step with the selection.
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "fs_iinterpreter.h"
#include "frxClass.h"
#include "frxDataTree.h"
#include "frxDesgnCtrls.h"
#include "frxVariables.h"
#include "frxrcDesgn.h"
#include "SurfaceFixture.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    Fixture()
    {
        GuiTest::Init();
        frxClass::Initialize();
        frxrcDesgn::Initialize();
        Report.EngineOptions()->SilentMode = true;
    }
    TfrxUserDataSet* AddDataSet(const char* name, std::initializer_list<const char*> fields)
    {
        return AddUserDataSet(Report, name, fields);
    }
};

TTreeNode* FindNode(TTreeView* t, const std::string& prefix)
{
    for (TTreeNode* n = t->Items()->Count() ? t->Items()->Item(0) : nullptr; n; n = n->GetNext())
        if (n->Text().rfind(prefix, 0) == 0) return n;
    return nullptr;
}

std::string InsertFor(TfrxDataTreeForm& f, TTabSheet* page, TTreeView* tree, const std::string& prefix)
{
    f.Tabs->SetActivePage(page);
    TTreeNode* n = FindNode(tree, prefix);
    if (!n) return "(no node " + prefix + ")";
    tree->SetSelected(n);
    return f.GetInsertText();
}

TEST(DataTree, NodesAndInsertTexts)
{
    Fixture x;
    x.AddDataSet("d0", {"Name", "Phone"});
    x.Report.Variables()->Add()->Name = " 学员";   // a category
    x.Report.Variables()->AddToCategory("学员", "Fee", 0);
    x.Report.Script()->AddVariable("Counter", "Integer", 0);
    TfrxDataTreeForm f(nullptr);
    f.SetReport(&x.Report);
    f.UpdateItems();
    TTreeNode* root = f.DataTree->Items()->Item(0);
    EXPECT_EQ(root->Text(), "数据");
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Item(0)->Text(), "d0");
    EXPECT_EQ(root->Item(0)->Count(), 2);
    EXPECT_TRUE(root->Item(0)->Expanded());
    EXPECT_EQ(root->Item(0)->ImageIndex(), 53);
    EXPECT_EQ(root->Item(0)->Item(0)->ImageIndex(), 54);

    struct Case { TTabSheet* Page; TTreeView* Tree; std::string Node, Want; };
    const Case cases[] = {
        {f.DataTS, f.DataTree, "Name", "<d0.\"Name\">"},
        {f.DataTS, f.DataTree, "d0", ""},   // not a leaf
        {f.DataTS, f.DataTree, "数据", ""},
        {f.VariablesTS, f.VariablesTree, "Page#", "<Page#>"},
        {f.VariablesTS, f.VariablesTree, "Fee", "<Fee>"},
        {f.VariablesTS, f.VariablesTree, "Counter", "Counter"},   // a script variable as it is
        {f.VariablesTS, f.VariablesTree, "系统变量", ""},
        {f.FunctionsTS, f.FunctionsTree, "Copy(", "Copy(,,)"},
        {f.FunctionsTS, f.FunctionsTree, "Date:", "Date"},
        {f.FunctionsTS, f.FunctionsTree, "函数", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(InsertFor(f, c.Page, c.Tree, c.Node), c.Want) << c.Node;
    EXPECT_TRUE(FindNode(f.VariablesTree, "学员"));
    EXPECT_FALSE(f.IsDataPageActive());
    // The window's texts come from the designer's text table.
    EXPECT_EQ(f.Caption(), "数据树");
    EXPECT_EQ(f.InsFieldCB->Caption(), "插入字段");
    // A function's declaration and description show under the tree.
    f.FunctionsTree->SetSelected(FindNode(f.FunctionsTree, "Copy("));
    EXPECT_EQ(f.FunctionNameL->Caption().rfind("function Copy(", 0), 0u) << f.FunctionNameL->Caption();
    f.FunctionsTree->SetSelected(FindNode(f.FunctionsTree, "函数"));
    EXPECT_EQ(f.FunctionNameL->Caption(), "");
}

TEST(DataTree, NoDataSetsAndHiddenFunctions)
{
    Fixture x;
    x.Report.Script()->AddMethod("function Secret: Integer", nullptr, "hidden", "");
    x.Report.Script()->AddMethod("function Visible: Integer", nullptr, "ctOther", "");
    TfrxDataTreeForm f(nullptr);
    f.SetReport(&x.Report);
    f.UpdateItems();
    EXPECT_EQ(f.DataTree->Items()->Item(0)->Text(), "没有数据库可以使用");
    EXPECT_EQ(f.DataTree->Items()->Item(0)->Count(), 0);
    EXPECT_FALSE(FindNode(f.FunctionsTree, "Secret"));
    EXPECT_TRUE(FindNode(f.FunctionsTree, "Visible"));
}

TEST(DataTree, CollapsedDataSetsOutliveTheWindow)
{
    Fixture x;
    x.AddDataSet("d0", {"A"});
    x.AddDataSet("d1", {"B"});
    TfrxDataTreeForm::CollapsedDataSets().clear();
    {
        TfrxDataTreeForm f(nullptr);
        f.SetReport(&x.Report);
        f.UpdateItems();
        FindNode(f.DataTree, "d0")->SetExpanded(false);
        f.UpdateItems();   // a refresh keeps what the operator collapsed
        EXPECT_FALSE(FindNode(f.DataTree, "d0")->Expanded());
    }
    EXPECT_EQ(TfrxDataTreeForm::CollapsedDataSets(), "d0,");
    TfrxDataTreeForm g(nullptr);
    g.SetReport(&x.Report);
    g.UpdateItems();
    EXPECT_FALSE(FindNode(g.DataTree, "d0")->Expanded());
    EXPECT_TRUE(FindNode(g.DataTree, "d1")->Expanded());
    TfrxDataTreeForm::CollapsedDataSets().clear();
}

struct TSelection : IfrxDesignerSelection {
    TfrxReport* R;
    TfrxPage* P;
    TList Objs, Sel;
    TSelection(TfrxReport* r, TfrxPage* p) : R(r), P(p) {}
    TfrxReport* Report() const override { return R; }
    TfrxPage* Page() const override { return P; }
    TList* Objects() const override { return const_cast<TList*>(&Objs); }
    TList* SelectedObjects() const override { return const_cast<TList*>(&Sel); }
};

TEST(ReportTree, MirrorsComponentsAndSelection)
{
    Fixture x;
    auto* page = new TfrxReportPage(&x.Report);
    page->SetName("Page1");
    auto* band = new TfrxMasterData(page);
    band->SetName("MasterData1");
    auto* memo = new TfrxMemoView(band);
    memo->SetName("Memo1");
    TSelection s(&x.Report, page);
    s.Sel.Add(memo);
    TfrxReportTreeForm f(nullptr);
    f.SetDesigner(&s);
    int events = 0;
    f.OnSelectionChanged = [&](TObject*) { ++events; };
    f.UpdateItems();
    std::vector<std::string> names;
    for (TTreeNode* n : f.Nodes()) names.push_back(n->Text());
    EXPECT_EQ(names, (std::vector<std::string>{"Report", "Page1", "MasterData1", "Memo1"}));
    EXPECT_EQ(f.Nodes()[0]->ImageIndex(), 76);
    EXPECT_EQ(f.Nodes()[1]->ImageIndex(), 77);
    EXPECT_EQ(f.Nodes()[2]->ImageIndex(), 79);
    EXPECT_EQ(f.Nodes()[3]->ImageIndex(), 75);
    EXPECT_EQ(f.Tree->Selected(), f.Nodes()[3]);
    EXPECT_EQ(events, 0);   // the refill's own selection raises nothing
    f.Tree->SetSelected(f.Nodes()[2]);
    EXPECT_EQ(events, 1);
    ASSERT_EQ(s.Sel.Count(), 1);
    EXPECT_EQ(s.Sel.Items(0), band);
}

}  // namespace
