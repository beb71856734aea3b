// The report's data dialog: which of the offered data sets the report uses.
#pragma once

#include "Forms.h"

#include <string>
#include <vector>

class TButton;
class TCheckListBox;
class TfrxDataSet;
class TfrxReport;

class TfrxReportDataForm : public TForm {
    QZ_CLASS(TfrxReportDataForm, TForm)
public:
    explicit TfrxReportDataForm(TComponent* owner = nullptr);
    TfrxReport* Report = nullptr;
    TCheckListBox* DatasetsLB;
    TButton *OKB, *CancelB;

protected:
    void DoShow() override;
    void DoHide() override;
};

namespace frxEditReportData {
// The data sets offered: the report's list of enabled data sets, or, when
// that is empty, every enabled data set of the program with a user name;
// sorted by user name.
std::vector<std::pair<std::string, TfrxDataSet*>> Candidates(TfrxReport* report);
// The report's data sets become the ticked ones, in list order.
void ApplyTicked(TfrxReport* report, const std::vector<TfrxDataSet*>& ticked);
bool EditReportData(TComponent* owner, TfrxReport* report);
}  // namespace frxEditReportData
