// The data-set dialog of a data band: no data set, a single line, or one
// of the report's data sets.
#pragma once

#include "Forms.h"

#include <string>
#include <vector>

class TButton;
class TImage;
class TListBox;
class TfrxDataBand;
class TfrxDataSet;
class TfrxReport;

class TfrxDataBandEditorForm : public TForm {
    QZ_CLASS(TfrxDataBandEditorForm, TForm)
public:
    TfrxDataBandEditorForm(TComponent* owner, TfrxReport* report);

    // The band whose DataSet and RowCount change on OK.
    TfrxDataBand* DataBand = nullptr;

    TListBox* DatasetsLB;
    TImage* Image1;
    TButton *OkB, *CancelB;

protected:
    void DoShow() override;
    void DoHide() override;

private:
    TfrxReport* FReport;
};

namespace frxEditDataBand {
// The entries the list shows: not assigned, single line, then the report's
// data sets (user data sets too) sorted by user name.
std::vector<std::pair<std::string, TfrxDataSet*>> Entries(TfrxReport* report);
// The entry a band opens on.
int EntryOf(const std::vector<std::pair<std::string, TfrxDataSet*>>& entries, TfrxDataBand* band);
// What choosing an entry sets on the band.
void ApplyEntry(const std::vector<std::pair<std::string, TfrxDataSet*>>& entries, int index, TfrxDataBand* band);
bool EditDataBand(TComponent* owner, TfrxReport* report, TfrxDataBand* band);
}  // namespace frxEditDataBand
