// Exports of a data set's records: the file formats the grids and the
// export wizard write (tab text, the same text under an .xls name, HTML and
// CSV), the grids' workbook export opened with the desktop's spreadsheet
// program, and the two-page export wizard.
#pragma once

#include "a.h"
#include "ComCtrls.h"
#include "Dialogs.h"

#include <functional>
#include <string>
#include <vector>

class TDataSet;
class TField;
class TListBox;
class TRadioGroup;

namespace DataExporter {

// The wizard's formats, in the order of its choice list.
enum TExportFormat { efText, efExcel, efHtml, efCsv };

struct TExportColumn {
    std::string Caption;
    TField* Field = nullptr;
};

// Runs the step on every record from the first with the data set's
// controls disabled, and gives the position and the controls back
// afterwards, also when a step raises. A closed data set raises.
void ForEachRecord(TDataSet* data, const std::function<void()>& step);

// A value made safe for its format: HTML escapes & < > and ", CSV quotes a
// value holding a comma, a quote or a line break (quotes doubled), tab text
// turns tabs and line breaks into blanks so that a record stays one line.
std::string HtmlText(const std::string& text);
std::string CsvField(const std::string& text);
std::string TabField(const std::string& text);

// The file's bytes: GBK text, every line ended by CR LF, a caption line and
// (withRecords) one line per record from the first, the data set's position
// and controls given back afterwards, also after an error.
std::string Render(TDataSet* data, const std::vector<TExportColumn>& columns, TExportFormat format, bool withRecords);
// Writes the file whole: an old file is replaced only once the new one is
// complete, so an export that fails part way leaves the old one in place.
void WriteFile(const std::string& fileName, TDataSet* data, const std::vector<TExportColumn>& columns,
               TExportFormat format, bool withRecords = true);

// The workbook the grids' spreadsheet export makes: the caption row and
// every record (withRecords), every cell text-formatted.
std::string WorkbookBytes(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords);
// Writes that workbook to a scratch file and opens it with the desktop's
// default program; "Excel 没有正确安装!" when nothing opens it. Returns
// the file written.
std::string ExportToWorkbook(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords);
// The grids' web page export: asks for the file, writes it, and offers to
// open it (the question tells the record count when countInQuestion).
// Returns the file written, empty when cancelled.
std::string ExportToHtmlFile(TDataSet* data, const std::vector<TExportColumn>& columns, bool withRecords,
                             bool countInQuestion);
// Opens the file through the shell (verb "Open", its folder as working folder).
void OpenFile(const std::string& fileName);

}  // namespace DataExporter

// The export wizard: the columns to export and their order on the first
// page, the format and the file on the second; it writes the file itself
// when closed with OK.
class TDataExporterFrm : public TaFrm {
    QZ_CLASS(TDataExporterFrm, TaFrm)
public:
    TDataExporterFrm(TComponent* AOwner, TDataSet* ADataSet);
    explicit TDataExporterFrm(TComponent* AOwner = nullptr) : TDataExporterFrm(AOwner, nullptr) {}

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TListBox* ListBox1 = nullptr;
    TListBox* ListBox2 = nullptr;
    TButton* AddBtn1 = nullptr;
    TButton* RemoveBtn1 = nullptr;
    TButton* upBtn1 = nullptr;
    TButton* downBtn1 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TEdit* edtFileName1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* PriBtn1 = nullptr;
    TButton* NxtBtn1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button6 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;

    // The chosen labels, one per line ended by CR LF; writing chooses the
    // available columns of those labels (case ignored) in that order.
    std::string SelectedFields() const;
    void SetSelectedFields(const std::string& AValue);

    void AddBtn1Click(bool AFromControl = true);
    void RemoveBtn1Click(bool AFromControl = true);
    void MoveSelected(int ADelta);
    void NxtBtn1Click();
    void PriBtn1Click();
    void FormatChanged();
    void Button2Click();
    bool CloseQuery() override;

private:
    void UpdateButtons();
    // The field index attached to an entry of a list.
    std::vector<int> FAvailable, FChosen;
    TDataSet* FDataSet;
};
