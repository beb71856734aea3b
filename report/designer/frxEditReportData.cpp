#include "frxEditReportData.h"

#include "CheckLst.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxRes.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxReportDataForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditReportData {

std::vector<std::pair<std::string, TfrxDataSet*>> Candidates(TfrxReport* report)
{
    std::vector<std::pair<std::string, TfrxDataSet*>> out;
    if (!report) return out;
    TfrxReportDataSets* offered = report->EnabledDataSets();
    for (int i = 0; i < offered->Count(); ++i)
        if (TfrxDataSet* ds = offered->Items(i)->DataSet()) out.emplace_back(ds->UserName(), ds);
    if (offered->Count() == 0) {
        TStringList all;
        frxClass::ListEnabledDataSets(&all);
        for (int i = 0; i < all.Count(); ++i) out.emplace_back(all[i], static_cast<TfrxDataSet*>(all.Objects(i)));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareStr(a.first, b.first) < 0; });
    return out;
}

void ApplyTicked(TfrxReport* report, const std::vector<TfrxDataSet*>& ticked)
{
    report->DataSets()->Clear();
    for (TfrxDataSet* ds : ticked) report->DataSets()->Add(ds);
}

bool EditReportData(TComponent* owner, TfrxReport* report)
{
    TfrxReportDataForm f(owner);
    f.Report = report;
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditReportData

TfrxReportDataForm::TfrxReportDataForm(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(fbsDialog);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(260, 280);
    DatasetsLB = MakeControl<TCheckListBox>(this, this, "DatasetsLB", 8, 8, 244, 232);
    OKB = MakeControl<TButton>(this, this, "OKB", 96, 248, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = MakeControl<TButton>(this, this, "CancelB", 177, 248, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    frxRes::Resources().LocalizeForm(this);
}

void TfrxReportDataForm::DoShow()
{
    TForm::DoShow();
    DatasetsLB->Items()->Clear();
    if (!Report) return;
    for (auto& [name, ds] : frxEditReportData::Candidates(Report)) {
        const int i = DatasetsLB->Items()->AddObject(name, ds);
        DatasetsLB->SetChecked(i, Report->DataSets()->Find(ds) != nullptr);
    }
}

void TfrxReportDataForm::DoHide()
{
    TForm::DoHide();
    if (ModalResult() != mrOk || !Report) return;
    std::vector<TfrxDataSet*> ticked;
    for (int i = 0; i < DatasetsLB->Items()->Count(); ++i)
        if (DatasetsLB->Checked(i)) ticked.push_back(static_cast<TfrxDataSet*>(DatasetsLB->Items()->Objects(i)));
    frxEditReportData::ApplyTicked(Report, ticked);
}
