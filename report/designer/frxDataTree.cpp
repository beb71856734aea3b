#include "frxDataTree.h"

#include "Classes.h"
#include "Graphics.h"
#include "Lists.h"
#include "SysUtils.h"
#include "fs_iinterpreter.h"
#include "fs_itools.h"
#include "fs_xml.h"
#include "frxClass.h"
#include "frxDesgnCtrls.h"
#include "frxRes.h"
#include "frxVariables.h"

#include <algorithm>
#include <cctype>

QZ_CLASS_IMPL(TfrxDataTreeForm, TForm)
QZ_CLASS_IMPL(TfrxReportTreeForm, TForm)

namespace {

std::string Res(const char* key) { return frxRes::Resources().Get(key); }

void SetImage(TTreeNode* n, int index)
{
    n->SetImageIndex(index);
    n->SetSelectedIndex(index);
    n->SetStateIndex(index);
}

TTreeView* MakeTree(TComponent* owner, TWinControl* parent)
{
    auto* t = new TTreeView(owner);
    t->SetParent(parent);
    t->SetAlign(alClient);
    t->SetReadOnly(true);
    t->SetShowRoot(false);
    t->SetIndent(19);
    t->SetDragMode(dmAutomatic);
    // Nodes with children are drawn in bold.
    t->OnCustomDrawItem = [](TCustomTreeView* sender, TTreeNode* node, TCustomDrawState, bool&) {
        TFontStyles st;
        if (node->Count() > 0) st.Include(fsBold);
        sender->Canvas()->Font()->SetStyle(st);
    };
    return t;
}

std::string Lower(std::string s)
{
    for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

}  // namespace

// ---- data tree --------------------------------------------------------------------------------

std::string& TfrxDataTreeForm::CollapsedDataSets()
{
    static std::string collapsed;
    return collapsed;
}

TfrxDataTreeForm::TfrxDataTreeForm(TComponent* owner) : TForm(owner), FContents(std::make_unique<TfsXMLItem>())
{
    SetCaption("Data Fields");
    SetFormStyle(fsStayOnTop);
    SetBorderStyle(bsSizeToolWin);
    Tabs = new TPageControl(this);
    Tabs->SetName("Tabs");
    Tabs->SetParent(this);
    // The page control's frame lies just outside the window.
    OnResize = [this](TObject*) {
        Tabs->SetBounds(-4, 0, ClientWidth() + 8, ClientHeight() + 4);
    };
    auto sheet = [&](const char* name, const char* caption) {
        auto* s = new TTabSheet(this);
        s->SetName(name);
        s->SetPageControl(Tabs);
        s->SetCaption(caption);
        return s;
    };
    DataTS = sheet("DataTS", "Data");
    VariablesTS = sheet("VariablesTS", "Variables");
    FunctionsTS = sheet("FunctionsTS", "Functions");
    CBPanel = new TPanel(this);
    CBPanel->SetParent(DataTS);
    CBPanel->SetAlign(alBottom);
    CBPanel->SetHeight(40);
    CBPanel->SetVisible(false);
    InsFieldCB = new TCheckBox(this);
    InsFieldCB->SetName("InsFieldCB");
    InsFieldCB->SetParent(CBPanel);
    InsFieldCB->SetCaption("Insert field");
    InsFieldCB->SetBounds(4, 2, 150, 17);
    InsFieldCB->SetChecked(true);
    InsCaptionCB = new TCheckBox(this);
    InsCaptionCB->SetName("InsCaptionCB");
    InsCaptionCB->SetParent(CBPanel);
    InsCaptionCB->SetCaption("Insert caption");
    InsCaptionCB->SetBounds(4, 20, 150, 17);
    DataTree = MakeTree(this, DataTS);
    VariablesTree = MakeTree(this, VariablesTS);
    auto* hint = new TPanel(this);
    hint->SetParent(FunctionsTS);
    hint->SetAlign(alBottom);
    hint->SetHeight(80);
    auto* splitter = new TSplitter(this);
    splitter->SetParent(FunctionsTS);
    splitter->SetAlign(alBottom);
    FunctionNameL = new TLabel(this);
    FunctionNameL->SetParent(hint);
    FunctionNameL->SetAlign(alTop);
    FunctionNameL->Font()->SetStyle({fsBold});
    FunctionNameL->SetColor(clInfoBk);
    FunctionDescL = new TLabel(this);
    FunctionDescL->SetParent(hint);
    FunctionDescL->SetAlign(alClient);
    FunctionDescL->SetColor(clWhite);
    FunctionDescL->SetWordWrap(true);
    FunctionsTree = MakeTree(this, FunctionsTS);
    FunctionsTree->OnChange = [this](TObject*, TTreeNode* n) { FunctionsTreeChange(n); };
    for (TTreeView* t : {DataTree, VariablesTree, FunctionsTree})
        t->OnDblClick = [this](TObject* s) {
            if (OnTreeDblClick) OnTreeDblClick(s);
        };
    Tabs->SetActivePage(DataTS);
    frxRes::Resources().LocalizeForm(this);
}

TfrxDataTreeForm::~TfrxDataTreeForm()
{
    FUpdating = true;
    if (!FFirstFill) CollapsedDataSets() = CollapsedNow();
}

std::string TfrxDataTreeForm::CollapsedNow() const
{
    std::string list;
    TTreeNode* root = DataTree->Items()->Count() > 0 ? DataTree->Items()->Item(0) : nullptr;
    if (!root) return list;
    for (int i = 0; i < root->Count(); ++i)
        if (!root->Item(i)->Expanded()) list += root->Item(i)->Text() + ",";
    return list;
}

void TfrxDataTreeForm::SetTreeColor(TColor c)
{
    for (TTreeView* t : {DataTree, VariablesTree, FunctionsTree}) t->SetColor(c);
}

void TfrxDataTreeForm::UpdateItems()
{
    FillData();
    FillVariables();
    if (FFirstFill) FillFunctions();
    FFirstFill = false;
}

void TfrxDataTreeForm::FillData()
{
    const std::string collapsed = FFirstFill ? CollapsedDataSets() : CollapsedNow();
    TTreeNodes* items = DataTree->Items();
    items->Clear();
    TfrxReportDataSets* sets = FReport ? FReport->DataSets() : nullptr;
    const bool any = sets && sets->Count() > 0;
    TTreeNode* root = items->AddChild(nullptr, Res(any ? "dtData" : "dtNoData"));
    SetImage(root, 53);
    for (int i = 0; any && i < sets->Count(); ++i) {
        TfrxDataSet* ds = sets->Items(i)->DataSet();
        if (!ds) continue;
        TTreeNode* node = items->AddChildObject(root, ds->UserName(), ds);
        SetImage(node, 53);
        TStringList fields;
        ds->GetFieldList(&fields);
        for (int f = 0; f < fields.Count(); ++f) SetImage(items->AddChildObject(node, fields.Strings(f), ds), 54);
    }
    root->SetExpanded(true);
    for (int i = 0; i < root->Count(); ++i)
        if (collapsed.find(root->Item(i)->Text() + ",") == std::string::npos) root->Item(i)->SetExpanded(true);
}

void TfrxDataTreeForm::FillVariables()
{
    TTreeNodes* items = VariablesTree->Items();
    items->Clear();
    FScriptVariables.clear();
    TTreeNode* root = items->AddChild(nullptr, Res("dtVar"));
    SetImage(root, 66);
    if (FReport) {
        TfrxVariables* vars = FReport->Variables();
        TStringList cats;
        vars->ListCategories(&cats);
        for (int c = 0; c < cats.Count(); ++c) {
            TTreeNode* cat = items->AddChild(root, cats.Strings(c));
            SetImage(cat, 66);
            TStringList names;
            vars->ListCategoryVariables(cats.Strings(c), &names);
            for (int v = 0; v < names.Count(); ++v) SetImage(items->AddChild(cat, names.Strings(v)), 80);
        }
        if (cats.Count() == 0)
            for (int v = 0; v < vars->Count(); ++v) SetImage(items->AddChild(root, vars->Items(v)->Name), 80);
        if (TfsScript* script = FReport->Script()) {
            TfsXMLItem doc;
            fs_itools::WriteContentsXML(script, &doc, false);
            const int vi = doc.Find("Variables");
            TfsXMLItem* el = vi >= 0 ? doc.Items(vi) : nullptr;
            for (int i = 0; el && i < el->Count(); ++i) {
                std::string text = el->Items(i)->Prop("text");
                text = text.substr(0, text.find(':'));
                TTreeNode* n = items->AddChild(root, text);
                SetImage(n, 80);
                FScriptVariables.insert(n);
            }
        }
    }
    TTreeNode* sys = items->AddChild(root, Res("dtSysVar"));
    SetImage(sys, 66);
    for (const char* name : {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"})
        SetImage(items->AddChild(sys, name), 80);
    VariablesTree->FullExpand();
    root->MakeVisible();
}

void TfrxDataTreeForm::FillFunctions()
{
    FUpdating = true;
    FContents->Clear();
    if (TfsScript* global = fs_iinterpreter::GetGlobalScript()) fs_itools::WriteContentsXML(global, FContents.get(), true);
    if (FReport && FReport->Script()) fs_itools::WriteContentsXML(FReport->Script(), FContents.get(), true);
    FunctionsTree->Items()->Clear();
    const int fi = FContents->Find("Functions");
    if (fi >= 0) AddFunctions(FContents->Items(fi), nullptr, true);
    FunctionsTree->FullExpand();
    if (FunctionsTree->Items()->Count() > 0) FunctionsTree->Items()->Item(0)->MakeVisible();
    FUpdating = false;
}

void TfrxDataTreeForm::AddFunctions(TfsXMLItem* element, TTreeNode* parent, bool top)
{
    std::string text;
    if (top) text = Res("dtFunc");
    else if (element->Count() > 0) text = Res(element->Prop("text").c_str());
    else {
        const std::string decl = element->Prop("text");
        const size_t blank = decl.find(' ');
        text = blank == std::string::npos ? decl : decl.substr(blank + 1);
    }
    if (Lower(text) == "hidden") return;
    TTreeNodes* items = FunctionsTree->Items();
    if (element->Count() > 0 || top) {
        TTreeNode* node = items->AddChild(parent, text);
        SetImage(node, 66);
        for (int i = 0; i < element->Count(); ++i) AddFunctions(element->Items(i), node, false);
    } else
        SetImage(items->AddChildObject(parent, text, element), 80);
}

void TfrxDataTreeForm::FunctionsTreeChange(TTreeNode* node)
{
    if (FUpdating) return;
    if (node && node->Count() == 0 && node->Data()) {
        auto* el = static_cast<TfsXMLItem*>(node->Data());
        FunctionNameL->SetCaption(el->Prop("text"));
        FunctionDescL->SetCaption(frxRes::Resources().Get(el->Prop("description")));
    } else {
        FunctionNameL->SetCaption("");
        FunctionDescL->SetCaption("");
    }
}

std::string TfrxDataTreeForm::GetInsertText() const
{
    TTabSheet* page = Tabs->ActivePage();
    TTreeView* tree = page == DataTS ? DataTree : page == VariablesTS ? VariablesTree : FunctionsTree;
    TTreeNode* node = tree->Selected();
    if (!node || node->Count() > 0) return "";
    if (tree == DataTree) {
        if (!node->Data() || !node->Parent() || !node->Parent()->Parent()) return "";
        auto* ds = static_cast<TfrxDataSet*>(node->Data());
        return "<" + ds->UserName() + ".\"" + node->Text() + "\">";
    }
    if (tree == VariablesTree) {
        if (!node->Parent()) return "";
        return FScriptVariables.count(node) ? node->Text() : "<" + node->Text() + ">";
    }
    if (!node->Data()) return "";
    const std::string& t = node->Text();
    int n = int(std::count(t.begin(), t.end(), ',') + std::count(t.begin(), t.end(), ';'));
    const size_t paren = t.find('(');
    if (paren != std::string::npos) ++n;
    if (n > 0) return t.substr(0, paren + 1) + std::string(size_t(n - 1), ',') + ")";
    return t.substr(0, t.find(':'));
}

// ---- report tree ------------------------------------------------------------------------------

TfrxReportTreeForm::TfrxReportTreeForm(TComponent* owner) : TForm(owner)
{
    SetCaption("Report Tree");
    SetFormStyle(fsStayOnTop);
    SetBorderStyle(bsSizeToolWin);
    Tree = new TTreeView(this);
    Tree->SetParent(this);
    Tree->SetAlign(alClient);
    Tree->SetReadOnly(true);
    Tree->SetShowRoot(false);
    Tree->SetHideSelection(false);
    Tree->OnChange = [this](TObject*, TTreeNode* n) { TreeChange(n); };
    frxRes::Resources().LocalizeForm(this);
}

void TfrxReportTreeForm::SetTreeColor(TColor c)
{
    Tree->SetColor(c);
    UpdateItems();
}

void TfrxReportTreeForm::AddComponent(TfrxComponent* c, TTreeNode* parent)
{
    const bool isReport = DynamicCast<TfrxReport>(c) != nullptr;
    TTreeNode* node = Tree->Items()->AddChildObject(parent, isReport ? "Report" : c->Name(), c);
    const int image = isReport ? 76 : DynamicCast<TfrxReportPage>(c) ? 77 : DynamicCast<TfrxDialogPage>(c) ? 78
                                 : DynamicCast<TfrxBand>(c) ? 79 : 75;
    SetImage(node, image);
    FComponents.push_back(c);
    FNodes.push_back(node);
    for (TfrxComponent* child : c->Objects()) AddComponent(child, node);
}

void TfrxReportTreeForm::UpdateItems()
{
    FUpdating = true;
    Tree->Items()->Clear();
    FComponents.clear();
    FNodes.clear();
    if (FDesigner && FDesigner->Report()) AddComponent(FDesigner->Report(), nullptr);
    Tree->FullExpand();
    TList* sel = FDesigner ? FDesigner->SelectedObjects() : nullptr;
    if (sel && sel->Count() > 0) {
        auto it = std::find(FComponents.begin(), FComponents.end(), static_cast<TfrxComponent*>(sel->Items(0)));
        if (it != FComponents.end()) {
            TTreeNode* node = FNodes[size_t(it - FComponents.begin())];
            Tree->SetSelected(node);
            node->MakeVisible();
        }
    }
    FUpdating = false;
}

void TfrxReportTreeForm::TreeChange(TTreeNode* node)
{
    if (FUpdating || !node || !FDesigner) return;
    TList* sel = FDesigner->SelectedObjects();
    sel->Clear();
    sel->Add(node->Data());
    if (OnSelectionChanged) OnSelectionChanged(this);
}
