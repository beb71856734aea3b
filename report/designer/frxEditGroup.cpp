#include "frxEditGroup.h"

#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxGroupEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditGroup {

std::string FieldCondition(const std::string& dataSet, const std::string& field)
{
    return dataSet + ".\"" + field + "\"";
}

bool EditGroup(TComponent* owner, TfrxCustomDesigner* designer, TfrxGroupHeader* header)
{
    TfrxGroupEditorForm f(owner, designer);
    f.GroupHeader = header;
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditGroup

TfrxGroupEditorForm::TfrxGroupEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(300, 290);
    BreakOnL = MakeControl<TGroupBox>(this, this, "BreakOnL", 8, 4, 284, 150);
    DataFieldRB = MakeControl<TRadioButton>(this, BreakOnL, "DataFieldRB", 10, 20, 260, 17);
    DataSetCB = MakeControl<TComboBox>(this, BreakOnL, "DataSetCB", 26, 42, 118, 21);
    DataSetCB->SetStyle(csDropDownList);
    DataFieldCB = MakeControl<TComboBox>(this, BreakOnL, "DataFieldCB", 150, 42, 122, 21);
    DataFieldCB->SetStyle(csDropDownList);
    ExpressionRB = MakeControl<TRadioButton>(this, BreakOnL, "ExpressionRB", 10, 80, 260, 17);
    ExpressionE = MakeControl<TfrxComboEdit>(this, BreakOnL, "ExpressionE", 26, 102, 246, 21);
    OptionsL = MakeControl<TGroupBox>(this, this, "OptionsL", 8, 160, 284, 90);
    KeepGroupTogetherCB = MakeControl<TCheckBox>(this, OptionsL, "KeepGroupTogetherCB", 10, 20, 260, 17);
    StartNewPageCB = MakeControl<TCheckBox>(this, OptionsL, "StartNewPageCB", 10, 42, 260, 17);
    OutlineCB = MakeControl<TCheckBox>(this, OptionsL, "OutlineCB", 10, 64, 260, 17);
    OKB = MakeControl<TButton>(this, this, "OKB", 136, 258, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 217, 258, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    DataFieldRB->SetChecked(true);

    DataFieldRB->OnClick = [this](TObject*) { RadioClick(); };
    ExpressionRB->OnClick = [this](TObject*) { RadioClick(); };
    DataSetCB->OnChange = [this](TObject*) { FillFields(); };
    ExpressionE->OnButtonClick = [this](TObject*) {
        if (!FDesigner) return;
        const std::string s = FDesigner->InsertExpression(ExpressionE->Text());
        if (!s.empty()) ExpressionE->SetText(s);
    };
}

void TfrxGroupEditorForm::RadioClick()
{
    const bool field = DataFieldRB->Checked();
    DataSetCB->SetEnabled(field);
    DataFieldCB->SetEnabled(field);
    ExpressionE->SetEnabled(!field);
}

void TfrxGroupEditorForm::FillFields()
{
    DataFieldCB->Items()->Clear();
    const int i = DataSetCB->ItemIndex();
    auto* ds = i >= 0 ? static_cast<TfrxDataSet*>(DataSetCB->Items()->Objects(i)) : nullptr;
    if (ds) ds->GetFieldList(DataFieldCB->Items());
}

void TfrxGroupEditorForm::DoShow()
{
    TForm::DoShow();
    TfrxReport* report = FDesigner ? FDesigner->Report() : nullptr;
    if (report) report->ListReportDataSets(DataSetCB->Items(), true);
    if (!GroupHeader) return;
    const std::string cond = GroupHeader->Condition;
    TfrxDataSet* ds = nullptr;
    std::string field;
    if (report && !cond.empty()) report->SplitFieldReference(cond, ds, field);
    if (cond.empty()) {
        DataSetCB->SetItemIndex(DataSetCB->Items()->Count() > 0 ? 0 : -1);
        FillFields();
        if (DataFieldCB->CanFocus()) DataFieldCB->SetFocus();
    } else if (ds && !field.empty() && frxEditGroup::FieldCondition(ds->UserName(), field) == cond) {
        DataSetCB->SetItemIndex(DataSetCB->Items()->IndexOf(ds->UserName()));
        FillFields();
        DataFieldCB->SetItemIndex(DataFieldCB->Items()->IndexOf(field));
    } else {
        ExpressionRB->SetChecked(true);
        ExpressionE->SetText(cond);
        if (ExpressionE->CanFocus()) ExpressionE->SetFocus();
    }
    RadioClick();
    KeepGroupTogetherCB->SetChecked(GroupHeader->KeepTogether);
    StartNewPageCB->SetChecked(GroupHeader->StartNewPage);
    OutlineCB->SetChecked(!Trim(GroupHeader->OutlineText).empty());
}

void TfrxGroupEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !GroupHeader) return;
    GroupHeader->Condition = DataFieldRB->Checked()
                                 ? frxEditGroup::FieldCondition(DataSetCB->Text(), DataFieldCB->Text())
                                 : ExpressionE->Text();
    GroupHeader->KeepTogether = KeepGroupTogetherCB->Checked();
    GroupHeader->StartNewPage = StartNewPageCB->Checked();
    GroupHeader->OutlineText = OutlineCB->Checked() ? GroupHeader->Condition : std::string();
}
