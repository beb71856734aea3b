#include "frxEditTabOrder.h"

#include "Lists.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxTabOrderEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditTabOrder {

void SetChildOrder(TfrxComponent* parent, const std::vector<TfrxComponent*>& order)
{
    const std::vector<TfrxComponent*> now = parent->Objects();
    size_t same = 0;
    while (same < now.size() && same < order.size() && now[same] == order[same]) ++same;
    // A child joins its parent at the end: the ones from the first
    // difference on leave and come back in the new order.
    for (size_t i = same; i < order.size(); ++i) order[i]->SetParent(nullptr);
    for (size_t i = same; i < order.size(); ++i) order[i]->SetParent(parent);
}

bool EditTabOrder(TComponent* owner, TfrxCustomDesigner* designer)
{
    TfrxTabOrderEditorForm f(owner, designer);
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditTabOrder

TfrxTabOrderEditorForm::TfrxTabOrderEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(300, 260);
    Label1 = MakeControl<TLabel>(this, this, "Label1", 8, 8, 200, 16);
    ControlsLB = MakeControl<TListBox>(this, this, "ControlsLB", 8, 26, 200, 226);
    UpB = MakeControl<TButton>(this, this, "UpB", 216, 26, 75, 25);
    DownB = MakeControl<TButton>(this, this, "DownB", 216, 56, 75, 25);
    OkB = MakeControl<TButton>(this, this, "OKB", 216, 196, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 216, 227, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    // Only controls of a dialog page over windowed controls have a tab
    // order; the classes register under this name.
    IsListed = [](TfrxComponent* c) {
        TClass dc = GetClass("TfrxDialogControl");
        return dc && c->InheritsFrom(dc);
    };
    UpB->OnClick = [this](TObject*) { MoveUp(); };
    DownB->OnClick = [this](TObject*) { MoveDown(); };
}

void TfrxTabOrderEditorForm::DoShow()
{
    TForm::DoShow();
    FParent = nullptr;
    if (FDesigner) {
        TList* sel = FDesigner->SelectedObjects();
        if (sel && sel->Count() > 0) FParent = dynamic_cast<TfrxComponent*>(static_cast<TObject*>(sel->Items(0)));
        if (!FParent || FParent == FDesigner->Page()) FParent = FDesigner->Page();
    }
    ControlsLB->Items()->Clear();
    if (!FParent) return;
    FSaved = FParent->Objects();
    for (TfrxComponent* c : FSaved)
        if (IsListed && IsListed(c)) ControlsLB->Items()->AddObject(c->Name() + ": " + c->GetDescription(), c);
}

void TfrxTabOrderEditorForm::Swap(int a, int b)
{
    auto* ca = static_cast<TfrxComponent*>(ControlsLB->Items()->Objects(a));
    auto* cb = static_cast<TfrxComponent*>(ControlsLB->Items()->Objects(b));
    ControlsLB->Items()->Exchange(a, b);
    std::vector<TfrxComponent*> order = FParent->Objects();
    for (auto& c : order) {
        if (c == ca) c = cb;
        else if (c == cb) c = ca;
    }
    frxEditTabOrder::SetChildOrder(FParent, order);
}

void TfrxTabOrderEditorForm::MoveUp()
{
    const int i = ControlsLB->ItemIndex();
    if (i <= 0) return;
    Swap(i, i - 1);
    ControlsLB->SetItemIndex(i - 1);
}

void TfrxTabOrderEditorForm::MoveDown()
{
    const int i = ControlsLB->ItemIndex();
    if (i < 0 || i >= ControlsLB->Items()->Count() - 1) return;
    Swap(i, i + 1);
    ControlsLB->SetItemIndex(i + 1);
}

void TfrxTabOrderEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk && FParent) frxEditTabOrder::SetChildOrder(FParent, FSaved);
}
