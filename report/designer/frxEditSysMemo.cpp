#include "frxEditSysMemo.h"

#include "ExtCtrls.h"
#include "Graphics.h"
#include "Lists.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxCustomDesigner.h"
#include "frxEditUtils.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxSysMemoEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditSysMemo {

std::string AggregateText(const std::string& function, const std::string& expression, const std::string& dataSet,
                          const std::string& field, const std::string& band, bool countInvisible,
                          bool runningTotal)
{
    const int flags = (countInvisible ? 1 : 0) + (runningTotal ? 2 : 0);
    std::string args;
    if (function != "COUNT") {
        args = !expression.empty() ? expression : "<" + dataSet + ".\"" + field + "\">";
        if (!band.empty()) {
            args += "," + band;
            if (flags != 0) args += "," + std::to_string(flags);
        }
    } else {
        args = band;
        if (flags != 0) args += "," + std::to_string(flags);
    }
    return "[" + function + "(" + args + ")]";
}

bool EditSysText(TComponent* owner, TfrxCustomDesigner* designer, std::string& text, bool aggregateOnly)
{
    TfrxSysMemoEditorForm f(owner, designer);
    f.Text = text;
    f.AggregateOnly = aggregateOnly;
    if (f.ShowModal() != mrOk) return false;
    text = f.Text;
    return true;
}

}  // namespace frxEditSysMemo

TfrxSysMemoEditorForm::TfrxSysMemoEditorForm(TComponent* owner, TfrxCustomDesigner* designer)
    : TForm(owner), FDesigner(designer)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(380, 372);
    GroupBox1 = MakeControl<TGroupBox>(this, this, "GroupBox1", 8, 4, 364, 52);
    SysVariableRB = MakeControl<TRadioButton>(this, this, "SysVariableRB", 16, 0, 100, 17);
    SysVariableCB = MakeControl<TComboBox>(this, GroupBox1, "SysVariableCB", 12, 20, 340, 21);
    AggregateRB = MakeControl<TRadioButton>(this, this, "AggregateRB", 16, 62, 100, 17);
    AggregatePanel = MakeControl<TPanel>(this, this, "AggregatePanel", 8, 80, 364, 190);
    AggregatePanel->SetBevelOuter(bvNone);
    DataBandL = MakeControl<TLabel>(this, AggregatePanel, "DataBandL", 8, 8, 90, 16);
    DataBandCB = MakeControl<TComboBox>(this, AggregatePanel, "DataBandCB", 104, 4, 252, 21);
    DataBandCB->SetStyle(csDropDownList);
    DataSetL = MakeControl<TLabel>(this, AggregatePanel, "DataSetL", 8, 36, 90, 16);
    DataSetCB = MakeControl<TComboBox>(this, AggregatePanel, "DataSetCB", 104, 32, 252, 21);
    DataSetCB->SetStyle(csDropDownList);
    DataFieldL = MakeControl<TLabel>(this, AggregatePanel, "DataFieldL", 8, 64, 90, 16);
    DataFieldCB = MakeControl<TComboBox>(this, AggregatePanel, "DataFieldCB", 104, 60, 252, 21);
    DataFieldCB->SetStyle(csDropDownList);
    FunctionL = MakeControl<TLabel>(this, AggregatePanel, "FunctionL", 8, 92, 90, 16);
    FunctionCB = MakeControl<TComboBox>(this, AggregatePanel, "FunctionCB", 104, 88, 252, 21);
    FunctionCB->SetStyle(csDropDownList);
    for (const char* f : {"SUM", "MIN", "MAX", "AVG", "COUNT"}) FunctionCB->Items()->Add(f);
    FunctionCB->SetItemIndex(0);
    ExpressionL = MakeControl<TLabel>(this, AggregatePanel, "ExpressionL", 8, 120, 90, 16);
    ExpressionE = MakeControl<TfrxComboEdit>(this, AggregatePanel, "ExpressionE", 104, 116, 252, 21);
    CountInvisibleCB = MakeControl<TCheckBox>(this, AggregatePanel, "CountInvisibleCB", 104, 144, 250, 17);
    RunningTotalCB = MakeControl<TCheckBox>(this, AggregatePanel, "RunningTotalCB", 104, 166, 250, 17);
    GroupBox2 = MakeControl<TGroupBox>(this, this, "GroupBox2", 8, 276, 364, 52);
    TextRB = MakeControl<TRadioButton>(this, this, "TextRB", 16, 272, 100, 17);
    TextE = MakeControl<TEdit>(this, GroupBox2, "TextE", 12, 20, 340, 21);
    OKB = MakeControl<TButton>(this, this, "OKB", 216, 340, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 297, 340, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
    for (int i = 1; i <= 6; ++i) SysVariableCB->Items()->Add(frxRes::Resources().Get("vt" + std::to_string(i)));

    DataBandCB->OnChange = [this](TObject*) { DataBandChanged(); };
    DataSetCB->OnChange = [this](TObject*) { DataSetChanged(); };
    DataFieldCB->OnChange = [this](TObject*) { ExpressionE->SetText(""); };
    ExpressionE->OnButtonClick = [this](TObject*) {
        if (!FDesigner) return;
        const std::string s = FDesigner->InsertExpression(ExpressionE->Text());
        if (!s.empty()) ExpressionE->SetText(s);
    };
}

void TfrxSysMemoEditorForm::DoShow()
{
    TForm::DoShow();
    // The radio buttons take just the width of their captions.
    for (TRadioButton* rb : {SysVariableRB, AggregateRB, TextRB})
        rb->SetWidth(Canvas()->TextWidth(rb->Caption()) + 24);
    TfrxReport* report = FDesigner ? FDesigner->Report() : nullptr;
    DataBandCB->Items()->Clear();
    if (FDesigner && FDesigner->Objects())
        for (int i = 0; i < FDesigner->Objects()->Count(); ++i) {
            auto* c = static_cast<TfrxComponent*>(FDesigner->Objects()->Items(i));
            if (c && c->Is<TfrxDataBand>()) DataBandCB->Items()->Add(c->Name());
        }
    if (report) report->ListReportDataSets(DataSetCB->Items(), true);
    std::string text = Text;
    // The stored text ends with a line end.
    if (text.size() >= 2) text.resize(text.size() - 2);
    else text.clear();

    if (AggregateOnly) {
        SetCaption(frxRes::Resources().Get("agAggregate"));
        AggregateRB->SetChecked(true);
        for (TControl* c : std::initializer_list<TControl*>{SysVariableRB, AggregateRB, TextRB, SysVariableCB, TextE,
                                                            GroupBox1, GroupBox2})
            c->SetVisible(false);
        AggregatePanel->SetTop(4);
        OKB->SetTop(AggregatePanel->Height() + 18);
        CancelB->SetTop(OKB->Top());
        SetClientHeight(CancelB->Top() + 33);
        return;
    }
    if (!text.empty() && SysVariableCB->Items()->IndexOf(text) < 0) {
        TextRB->SetChecked(true);
        TextE->SetText(text);
        if (TextE->CanFocus()) TextE->SetFocus();
    } else {
        SysVariableRB->SetChecked(true);
        SysVariableCB->SetText(text);
    }
}

void TfrxSysMemoEditorForm::DataBandChanged()
{
    if (!FDesigner || !FDesigner->Page()) return;
    TfrxComponent* c = FDesigner->Page()->FindObject(DataBandCB->Text());
    auto* band = dynamic_cast<TfrxDataBand*>(c);
    if (!band || !band->DataSet() || band->DataSet()->Is<TfrxUserDataSet>()) return;
    DataSetCB->SetItemIndex(DataSetCB->Items()->IndexOf(band->DataSet()->UserName()));
    DataSetChanged();
}

void TfrxSysMemoEditorForm::DataSetChanged()
{
    DataFieldCB->Items()->Clear();
    TfrxReport* report = FDesigner ? FDesigner->Report() : nullptr;
    TfrxDataSet* ds = report ? report->GetDataset(DataSetCB->Text()) : nullptr;
    if (ds) ds->GetFieldList(DataFieldCB->Items());
    ExpressionE->SetText("");
}

void TfrxSysMemoEditorForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk) return;
    if (SysVariableRB->Checked() && !AggregateOnly)
        Text = SysVariableCB->Text();
    else if (TextRB->Checked() && !AggregateOnly)
        Text = TextE->Text();
    else if (AggregateRB->Checked())
        Text = frxEditSysMemo::AggregateText(FunctionCB->Text(), ExpressionE->Text(), DataSetCB->Text(),
                                             DataFieldCB->Text(), DataBandCB->Text(), CountInvisibleCB->Checked(),
                                             RunningTotalCB->Checked());
}
