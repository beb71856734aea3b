#include "frxEditVar.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "IniFiles.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxDataTree.h"
#include "frxDock.h"
#include "frxEditExpr.h"
#include "frxEditStrings.h"
#include "frxEditUtils.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxVariables.h"

QZ_CLASS_IMPL(TfrxVarEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditVar {

namespace {
bool IsCategory(const std::string& name) { return !name.empty() && name[0] == ' '; }

std::string FirstFree(const TfrxVariables* vars, const std::string& stem)
{
    for (int n = 1;; ++n) {
        const std::string name = stem + std::to_string(n);
        if (vars->IndexOf(name) < 0) return name;
    }
}
}  // namespace

std::string NewCategoryName(const TfrxVariables* vars) { return FirstFree(vars, " New Category"); }
std::string NewVariableName(const TfrxVariables* vars) { return FirstFree(vars, "New Variable"); }

bool RenameItem(TfrxVariables* vars, const std::string& oldName, const std::string& newName)
{
    if (vars->IndexOf(newName) >= 0) return false;
    const int i = vars->IndexOf(oldName);
    if (i >= 0) vars->Items(i)->Name = newName;
    return true;
}

std::vector<std::string> ListLines(const TfrxVariables* vars)
{
    std::vector<std::string> out;
    for (int i = 0; i < vars->Count(); ++i) {
        const std::string& n = vars->Items(i)->Name;
        out.push_back(IsCategory(n) ? n.substr(1) : " " + n);
    }
    return out;
}

void ApplyListLines(TfrxVariables* vars, const std::vector<std::string>& lines)
{
    TfrxVariables next;
    for (const std::string& line : lines) {
        if (Trim(line).empty()) continue;
        const std::string name = IsCategory(line) ? line.substr(1) : " " + line;
        TfrxVariable* v = next.Add();
        v->Name = name;
        const int old = vars->IndexOf(name);
        v->Value = old >= 0 ? vars->Items(old)->Value : Variant(std::string());
    }
    vars->Assign(&next);
}

bool EditVariables(TfrxCustomDesigner* designer)
{
    TfrxVarEditorForm f(designer);
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditVar

namespace {
const char* const Section = "Form.TfrxVarEditorForm";
constexpr int CategoryImage = 66, VariableImage = 80;

std::unique_ptr<TCustomIniFile> StoreOf(TfrxCustomDesigner* d)
{
    return d && d->Report() ? d->Report()->OpenSettingsStore() : nullptr;
}

void SetImages(TTreeNode* n, int image)
{
    n->SetImageIndex(image);
    n->SetSelectedIndex(image);
    n->SetStateIndex(image);
}
}  // namespace

TfrxVarEditorForm::TfrxVarEditorForm(TfrxCustomDesigner* designer)
    : TForm(designer), FDesigner(designer), FVariables(std::make_unique<TfrxVariables>())
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(760, 420);
    ToolBar = MakeControl<TToolBar>(this, this, "ToolBar", 0, 0, 760, 26);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetList(true);
    ToolBar->SetButtonWidth(64);
    using frxEditUtils::AddToolButton;
    NewCategoryB = AddToolButton(this, ToolBar, "NewCategoryB");
    NewVarB = AddToolButton(this, ToolBar, "NewVarB");
    EditB = AddToolButton(this, ToolBar, "EditB");
    DeleteB = AddToolButton(this, ToolBar, "DeleteB");
    EditListB = AddToolButton(this, ToolBar, "EditListB");
    LoadB = AddToolButton(this, ToolBar, "LoadB");
    SaveB = AddToolButton(this, ToolBar, "SaveB");
    CancelB = AddToolButton(this, ToolBar, "CancelB");
    OkB = AddToolButton(this, ToolBar, "OkB");
    ExprPanel = MakeControl<TPanel>(this, this, "ExprPanel", 0, 320, 360, 100);
    ExprPanel->SetAlign(alBottom);
    ExprPanel->SetAlignment(taLeftJustify);
    ExprPanel->SetBevelOuter(bvNone);
    ExprMemo = MakeControl<TMemo>(this, ExprPanel, "ExprMemo", 0, 18, 360, 76);
    ExprMemo->SetAlign(alBottom);
    ExprMemo->SetScrollBars(ssVertical);
    Splitter1 = MakeControl<TSplitter>(this, this, "Splitter1", 0, 316, 360, 4);
    Splitter1->SetAlign(alBottom);
    Splitter1->SetHeight(4);
    frxRes::Resources().LocalizeForm(this);
    frxEditUtils::CaptionButtonsFromHints(ToolBar);
    CancelB->SetCaption("取消");
    OkB->SetCaption("确定");

    FDataTree = frxEditExpr::EmbedDataTree(designer, this, ExprMemo);
    FDataTree->Tabs->SetAlign(alRight);
    FDataTree->Tabs->SetWidth(400);
    Splitter2 = MakeControl<TSplitter>(this, this, "Splitter2", 356, 26, 4, 290);
    Splitter2->SetAlign(alRight);
    Splitter2->SetWidth(4);
    VarTree = MakeControl<TTreeView>(this, this, "VarTree", 0, 26, 356, 290);
    VarTree->SetAlign(alClient);
    VarTree->SetHideSelection(false);

    if (designer && designer->Report()) FVariables->Assign(designer->Report()->Variables());

    NewCategoryB->OnClick = [this](TObject*) { NewCategory(); };
    NewVarB->OnClick = [this](TObject*) { NewVariable(); };
    EditB->OnClick = [this](TObject*) {
        TTreeNode* n = VarTree->Selected();
        if (n && n != Root()) n->EditText();
    };
    DeleteB->OnClick = [this](TObject*) { DeleteSelected(); };
    EditListB->OnClick = [this](TObject*) { EditList(); };
    LoadB->OnClick = [this](TObject*) { LoadFile(); };
    SaveB->OnClick = [this](TObject*) { SaveFile(); };
    OkB->OnClick = [this](TObject*) {
        if (Root()) VarTree->SetSelected(Root());
        StorePendingValue();
        if (FDesigner && FDesigner->Report()) FDesigner->Report()->Variables()->Assign(FVariables.get());
        SetModalResult(mrOk);
    };
    CancelB->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
    VarTree->OnChanging = [this](TObject*, TTreeNode*, bool&) {
        if (!FBuilding) StorePendingValue();
    };
    VarTree->OnChange = [this](TObject*, TTreeNode* n) {
        if (!FBuilding) SelectionChanged(n);
    };
    VarTree->OnEditing = [this](TObject*, TTreeNode* n, bool& allow) { allow = n && n != Root(); };
    VarTree->OnEdited = [this](TObject*, TTreeNode* n, std::string& s) {
        if (!RenameNode(n, s)) s = n->Text();
    };
    VarTree->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (VarTree->IsEditing()) return;
        bool hasCategory = false;
        for (int i = 0; i < FVariables->Count(); ++i)
            hasCategory |= !FVariables->Items(i)->Name.empty() && FVariables->Items(i)->Name[0] == ' ';
        if (key == VK_INSERT) {
            if (hasCategory) NewVariable();
            else NewCategory();
        } else if (key == VK_DELETE) {
            DeleteSelected();
        } else if (key == VK_RETURN) {
            TTreeNode* n = VarTree->Selected();
            if (n && n != Root()) n->EditText();
        } else {
            return;
        }
        key = 0;
    };
}

TfrxVarEditorForm::~TfrxVarEditorForm()
{
    if (FDataTree) {
        FDataTree->Tabs->SetParent(FDataTree);
        delete FDataTree;
    }
}

TTreeNode* TfrxVarEditorForm::Root() const { return VarTree->Items()->GetFirstNode(); }

bool TfrxVarEditorForm::IsCategoryNode(TTreeNode* n) const { return n && n->Parent() == Root(); }

void TfrxVarEditorForm::DoShow()
{
    TForm::DoShow();
    if (auto store = StoreOf(FDesigner)) {
        store->WriteBool(Section, "Visible", true);
        frxDock::RestoreFormPosition(store.get(), this);
        ExprMemo->SetHeight(store->ReadInteger(Section, "Split1Pos", 76));
        FDataTree->Tabs->SetWidth(store->ReadInteger(Section, "Split2Pos", 400));
    }
    BuildTree();
    if (VarTree->CanFocus()) VarTree->SetFocus();
}

void TfrxVarEditorForm::DoHide()
{
    TForm::DoHide();
    if (auto store = StoreOf(FDesigner)) {
        frxDock::SaveFormPosition(store.get(), this);
        store->WriteInteger(Section, "Split1Pos", ExprMemo->Height());
        store->WriteInteger(Section, "Split2Pos", FDataTree->Tabs->Width());
    }
}

void TfrxVarEditorForm::BuildTree()
{
    FBuilding = true;
    FValueNode = nullptr;
    VarTree->Items()->Clear();
    TTreeNode* root = VarTree->Items()->Add(nullptr, "");
    SetImages(root, CategoryImage);
    TTreeNode* category = nullptr;
    bool anyCategory = false;
    for (int i = 0; i < FVariables->Count(); ++i)
        anyCategory |= !FVariables->Items(i)->Name.empty() && FVariables->Items(i)->Name[0] == ' ';
    for (int i = 0; i < FVariables->Count(); ++i) {
        const std::string& name = FVariables->Items(i)->Name;
        if (!name.empty() && name[0] == ' ') {
            category = VarTree->Items()->AddChild(root, name.substr(1));
            SetImages(category, CategoryImage);
        } else if (category || !anyCategory) {
            TTreeNode* n = VarTree->Items()->AddChild(category ? category : root, name);
            SetImages(n, VariableImage);
        }
    }
    root->SetText(frxRes::Resources().Get(root->Count() > 0 ? "vaVar" : "vaNoVar"));
    VarTree->FullExpand();
    VarTree->SetSelected(root);
    ExprMemo->SetText("");
    FBuilding = false;
}

void TfrxVarEditorForm::StorePendingValue()
{
    if (!FValueNode || !ExprMemo->Modified()) return;
    const int i = FVariables->IndexOf(FValueNode->Text());
    std::string text = ExprMemo->Text();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (i >= 0) FVariables->Items(i)->Value = Variant(text);
    ExprMemo->SetModified(false);
}

void TfrxVarEditorForm::SelectionChanged(TTreeNode* node)
{
    // The variable left keeps what was typed for it (a selection made by
    // the program announces no change beforehand).
    StorePendingValue();
    FValueNode = nullptr;
    if (node && node != Root() && !IsCategoryNode(node)) {
        const int i = FVariables->IndexOf(node->Text());
        ExprMemo->SetText(i >= 0 ? VarToStr(FVariables->Items(i)->Value) : std::string());
        FValueNode = node;
    } else {
        ExprMemo->SetText("");
    }
    ExprMemo->SetModified(false);
}

void TfrxVarEditorForm::NewCategory()
{
    const std::string name = frxEditVar::NewCategoryName(FVariables.get());
    TTreeNode* n = VarTree->Items()->AddChild(Root(), name.substr(1));
    SetImages(n, CategoryImage);
    FVariables->Add()->Name = name;
    Root()->SetText(frxRes::Resources().Get("vaVar"));
    VarTree->SetSelected(n);
}

void TfrxVarEditorForm::NewVariable()
{
    TTreeNode* root = Root();
    if (!root || root->Count() == 0) return;
    TTreeNode* sel = VarTree->Selected();
    TTreeNode* category = nullptr;
    if (IsCategoryNode(sel)) category = sel;
    else if (sel && sel != root && IsCategoryNode(sel->Parent())) category = sel->Parent();
    else {
        // Nothing or the root selected: the last category.
        for (int i = root->Count() - 1; i >= 0 && !category; --i)
            if (FVariables->IndexOf(" " + root->Item(i)->Text()) >= 0) category = root->Item(i);
    }
    if (!category) return;
    StorePendingValue();
    const std::string name = frxEditVar::NewVariableName(FVariables.get());
    FVariables->AddToCategory(category->Text(), name, Variant(std::string()));
    TTreeNode* n = VarTree->Items()->AddChild(category, name);
    SetImages(n, VariableImage);
    category->Expand(false);
    VarTree->SetSelected(n);
}

void TfrxVarEditorForm::DeleteSelected()
{
    TTreeNode* n = VarTree->Selected();
    if (!n || n == Root()) return;
    if (n == FValueNode) FValueNode = nullptr;
    if (IsCategoryNode(n) && FVariables->IndexOf(" " + n->Text()) >= 0) {
        FVariables->RemoveCategory(n->Text());
    } else {
        FVariables->RemoveVariable(n->Text());
    }
    n->Delete();
}

bool TfrxVarEditorForm::RenameNode(TTreeNode* node, const std::string& newText)
{
    if (!node || newText == node->Text() || Root()->Count() == 0) return true;
    const bool category = IsCategoryNode(node) && FVariables->IndexOf(" " + node->Text()) >= 0;
    const std::string oldName = (category ? " " : "") + node->Text();
    const std::string newName = (category ? " " : "") + newText;
    if (!frxEditVar::RenameItem(FVariables.get(), oldName, newName)) {
        frxUtils::ShowErrorBox(frxRes::Resources().Get("vaDupName"));
        return false;
    }
    node->SetText(newText);
    return true;
}

void TfrxVarEditorForm::EditList()
{
    StorePendingValue();
    TStringList lines;
    for (const std::string& l : frxEditVar::ListLines(FVariables.get())) lines.Add(l);
    if (!frxEditStrings::EditStrings(this, &lines)) return;
    std::vector<std::string> v;
    for (int i = 0; i < lines.Count(); ++i) v.push_back(lines[i]);
    frxEditVar::ApplyListLines(FVariables.get(), v);
    BuildTree();
}

void TfrxVarEditorForm::LoadFile()
{
    TOpenDialog dlg(this);
    dlg.Filter = "字典 (*.fd3)|*.fd3";
    dlg.DefaultExt = "fd3";
    if (!dlg.Execute()) return;
    TfrxVariables loaded;
    try {
        loaded.LoadFromFile(dlg.FileName);
    } catch (const std::exception& e) {
        // A file that is no variables file leaves the list as it was.
        frxUtils::ShowErrorBox(e.what());
        return;
    }
    FVariables->Assign(&loaded);
    BuildTree();
}

void TfrxVarEditorForm::SaveFile()
{
    if (Root()) VarTree->SetSelected(Root());
    StorePendingValue();
    TSaveDialog dlg(this);
    dlg.Filter = "字典 (*.fd3)|*.fd3";
    dlg.DefaultExt = "fd3";
    dlg.Options.Include(ofOverwritePrompt);
    if (!dlg.Execute()) return;
    FVariables->SaveToFile(dlg.FileName);
}
