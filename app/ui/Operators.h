// The operators window: the login ids (all but the built-in "sa"), and
// adding, changing and deleting operators with their rights.
#pragma once

#include "ComCtrls.h"
#include "ImgList.h"
#include "a.h"

class TOperatorEditorFrm;
class TOperatorSet;

class TOperatorsFrm : public TAInfoDlgFrm {
    QZ_CLASS(TOperatorsFrm, TAInfoDlgFrm)
public:
    explicit TOperatorsFrm(TComponent* owner = nullptr);
    ~TOperatorsFrm() override;

    TLabel* Label1 = nullptr;
    TListView* ListView1 = nullptr;
    TButton* btnProp1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* btnDelete1 = nullptr;
    TImageList* ImageList1 = nullptr;   // the operator's picture, 32 x 32

    TOperatorEditorFrm* Editor() const { return FEditor; }
    TOperatorSet* Operators() const { return FOperators.get(); }

    // Adds the window's own rights to the editor, then shows it.
    TModalResult ShowModal() override;

    void EditSelected();
    void AddOperator();
    void DeleteSelected();

private:
    void UpdateButtons();
    bool LocateSelected();
    TOperatorEditorFrm* FEditor = nullptr;
    std::unique_ptr<TOperatorSet> FOperators;
};
