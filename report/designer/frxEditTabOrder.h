// The tab-order dialog of a dialog page: the order of its controls, changed
// on the parent at once and put back on Cancel.
#pragma once

#include "Forms.h"

#include <functional>
#include <vector>

class TButton;
class TLabel;
class TListBox;
class TfrxComponent;
class TfrxCustomDesigner;

class TfrxTabOrderEditorForm : public TForm {
    QZ_CLASS(TfrxTabOrderEditorForm, TForm)
public:
    TfrxTabOrderEditorForm(TComponent* owner, TfrxCustomDesigner* designer);

    // Which children take part: dialog controls over windowed controls.
    std::function<bool(TfrxComponent*)> IsListed;

    TLabel* Label1;
    TListBox* ControlsLB;
    TButton *UpB, *DownB, *OkB, *CancelB;

    TfrxComponent* Parent() const { return FParent; }
    void MoveUp();
    void MoveDown();

protected:
    void DoShow() override;
    void DoHide() override;

private:
    void Swap(int a, int b);
    TfrxCustomDesigner* FDesigner;
    TfrxComponent* FParent = nullptr;
    std::vector<TfrxComponent*> FSaved;
};

namespace frxEditTabOrder {
// Puts the parent's children into the order given (the same objects).
void SetChildOrder(TfrxComponent* parent, const std::vector<TfrxComponent*>& order);
bool EditTabOrder(TComponent* owner, TfrxCustomDesigner* designer);
}  // namespace frxEditTabOrder
