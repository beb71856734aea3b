#include "frxCustomEditors.h"

#include "Lists.h"
#include "Menus.h"
#include "frxClass.h"
#include "frxCustomDesigner.h"
#include "frxDMPClass.h"
#include "frxDesgnEditors.h"
#include "frxRes.h"

namespace {

std::string Text(const char* key) { return frxRes::Resources().Get(key); }

template <class T> T* As(TObject* o) { return DynamicCast<T>(o); }

}  // namespace

// ---- views ----------------------------------------------------------------------------------

std::vector<TfrxComponent*> TfrxViewEditor::Targets(TClass cls) const
{
    std::vector<TfrxComponent*> result;
    auto take = [&](TObject* o) {
        auto* c = DynamicCast<TfrxComponent>(o);
        if (c && c->InheritsFrom(cls) && !c->Restrictions().Contains(rfDontModify)) result.push_back(c);
    };
    if (auto* d = DynamicCast<TfrxCustomDesigner>(Designer)) {
        TList* selected = d->SelectedObjects();
        for (int i = 0; i < selected->Count(); ++i) take(static_cast<TObject*>(selected->Items(i)));
    } else {
        take(Component);
    }
    return result;
}

void TfrxViewEditor::FillMenu()
{
    auto* v = As<TfrxView>(Component);
    if (!v) return;
    AddMenuItem(Text("mvShift"), 50, v->ShiftMode == smAlways);
    AddMenuItem(Text("mvShiftOver"), 51, v->ShiftMode == smWhenOverlapped);
    AddMenuItem(Text("mvVisible"), 52, v->Visible());
    AddMenuItem(Text("mvPrintable"), 53, v->Printable);
}

bool TfrxViewEditor::RunMenuCommand(int tag)
{
    if (tag < 50 || tag > 53) return false;
    const bool on = MenuItemChecked(tag);
    bool changed = false;
    for (TfrxComponent* c : Targets(TfrxView::StaticClass())) {
        auto* v = static_cast<TfrxView*>(c);
        switch (tag) {
        case 50: v->ShiftMode = on ? smAlways : smDontShift; break;
        case 51: v->ShiftMode = on ? smWhenOverlapped : smDontShift; break;
        case 52: v->SetVisible(on); break;
        case 53: v->Printable = on; break;
        }
        changed = true;
    }
    return changed;
}

// ---- text objects ---------------------------------------------------------------------------

void TfrxCustomMemoEditor::FillMenu()
{
    auto* m = As<TfrxCustomMemoView>(Component);
    if (!m) return;
    AddMenuItem(Text("mvFormat"), 1, false);
    AddMenuItem(Text("mvClear"), 2, false);
    AddMenuItem("-", -1, false);
    AddMenuItem(Text("mvAutoWidth"), 3, m->AutoWidth);
    AddMenuItem(Text("mvWWrap"), 4, m->WordWrap);
    AddMenuItem(Text("mvSuppress"), 5, m->SuppressRepeated);
    AddMenuItem(Text("mvHideZ"), 6, m->HideZeros);
    AddMenuItem(Text("mvExpr"), 7, m->AllowExpressions);
    if (!m->InheritsFrom(TfrxDMPMemoView::StaticClass())) AddMenuItem(Text("mvHTML"), 8, m->AllowHTMLTags);
    AddMenuItem("-", -1, false);
    AddMenuItem(Text("mvStretch"), 40, m->StretchMode == smActualHeight);
    AddMenuItem(Text("mvStretchToMax"), 41, m->StretchMode == smMaxHeight);
    TfrxViewEditor::FillMenu();
}

bool TfrxCustomMemoEditor::RunMenuCommand(int tag)
{
    bool changed = TfrxViewEditor::RunMenuCommand(tag);
    const std::vector<TfrxComponent*> targets = Targets(TfrxCustomMemoView::StaticClass());
    const bool on = MenuItemChecked(tag);
    if (tag == 1) {
        // One dialog for all of them, opened on the edited object's format.
        auto* m = As<TfrxCustomMemoView>(Component);
        if (!m || targets.empty() || !frxEditorForms::FormatEditor) return changed;
        TfrxFormat format;
        format.Assign(m->DisplayFormat());
        if (!frxEditorForms::FormatEditor(DynamicCast<TfrxCustomDesigner>(Designer), &format)) return changed;
        for (TfrxComponent* c : targets) static_cast<TfrxCustomMemoView*>(c)->SetDisplayFormat(&format);
        return true;
    }
    for (TfrxComponent* c : targets) {
        auto* m = static_cast<TfrxCustomMemoView*>(c);
        switch (tag) {
        case 2: m->Memo()->Clear(); break;
        case 3: m->AutoWidth = on; break;
        case 4: m->WordWrap = on; break;
        case 5: m->SuppressRepeated = on; break;
        case 6: m->HideZeros = on; break;
        case 7: m->AllowExpressions = on; break;
        case 8: m->AllowHTMLTags = on; break;
        case 40: m->StretchMode = on ? smActualHeight : smDontStretch; break;
        case 41: m->StretchMode = on ? smMaxHeight : smDontStretch; break;
        default: continue;
        }
        changed = true;
    }
    return changed;
}

bool TfrxMemoEditor::Edit()
{
    auto* m = As<TfrxCustomMemoView>(Component);
    if (!m || !frxEditorForms::MemoEditor) return false;
    std::string text = m->Text();
    if (!frxEditorForms::MemoEditor(DynamicCast<TfrxCustomDesigner>(Designer), m, text)) return false;
    m->SetText(text);
    m->DataField.clear();
    return true;
}

bool TfrxSysMemoEditor::Edit()
{
    auto* m = As<TfrxCustomMemoView>(Component);
    if (!m || !frxEditorForms::SysMemoEditor) return false;
    std::string text = m->Text();
    if (!frxEditorForms::SysMemoEditor(DynamicCast<TfrxCustomDesigner>(Designer), text)) return false;
    m->SetText(text);
    return true;
}

// ---- lines and pictures ---------------------------------------------------------------------

void TfrxLineEditor::FillMenu()
{
    if (auto* l = As<TfrxLineView>(Component)) {
        AddMenuItem(Text("lvDiagonal"), 0, l->Diagonal);
        AddMenuItem(Text("mvStretch"), 1, l->StretchMode == smMaxHeight);
    }
    TfrxViewEditor::FillMenu();
}

bool TfrxLineEditor::RunMenuCommand(int tag)
{
    bool changed = TfrxViewEditor::RunMenuCommand(tag);
    if (tag != 0 && tag != 1) return changed;
    const bool on = MenuItemChecked(tag);
    for (TfrxComponent* c : Targets(TfrxCustomLineView::StaticClass())) {
        auto* l = static_cast<TfrxCustomLineView*>(c);
        if (tag == 0)
            l->Diagonal = on;
        else
            l->StretchMode = on ? smMaxHeight : smDontStretch;
        changed = true;
    }
    return changed;
}

bool TfrxPictureEditor::Edit()
{
    auto* p = As<TfrxPictureView>(Component);
    if (!p || !frxEditorForms::PictureEditor) return false;
    TfrxPicture copy;
    copy.Assign(p->Picture());
    if (!frxEditorForms::PictureEditor(DynamicCast<TfrxCustomDesigner>(Designer), &copy)) return false;
    p->Picture()->Assign(&copy);
    return true;
}

void TfrxPictureEditor::FillMenu()
{
    if (auto* p = As<TfrxPictureView>(Component)) {
        AddMenuItem(Text("pvAutoSize"), 0, p->AutoSize());
        AddMenuItem(Text("mvStretch"), 1, p->Stretched);
        AddMenuItem(Text("pvCenter"), 2, p->Center);
        AddMenuItem(Text("pvAspect"), 3, p->KeepAspectRatio);
        AddMenuItem("-", -1, false);
    }
    TfrxViewEditor::FillMenu();
}

bool TfrxPictureEditor::RunMenuCommand(int tag)
{
    bool changed = TfrxViewEditor::RunMenuCommand(tag);
    if (tag < 0 || tag > 3) return changed;
    const bool on = MenuItemChecked(tag);
    for (TfrxComponent* c : Targets(TfrxPictureView::StaticClass())) {
        auto* p = static_cast<TfrxPictureView*>(c);
        switch (tag) {
        case 0: p->SetAutoSize(on); break;
        case 1: p->Stretched = on; break;
        case 2: p->Center = on; break;
        case 3: p->KeepAspectRatio = on; break;
        }
        changed = true;
    }
    return changed;
}
