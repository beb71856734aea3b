// The report centre's glue between the database and the report engine:
// layouts kept in the table report (loaded and stored by Id), the caller's
// data sets shown to layouts as d0, d1, ..., named text variables served
// through the user data set "u", the four export filters and barcodes, and
// the designer's file hooks that store a designed layout back in its row.
#pragma once

#include "Database.h"

#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TfrxBarCodeObject;
class TfrxDBDataset;
class TfrxDesigner;
class TfrxJPEGExport;
class TfrxPDFExport;
class TfrxRTFExport;
class TfrxReport;
class TfrxUserDataSet;
class TfrxXLSExport;
class TStringList;

class TRep : public TObject {
    QZ_CLASS(TRep, TObject)
public:
    TRep();
    ~TRep() override;

    // Loads the layout, then builds and previews it.
    virtual void Preview(int id);
    // Loads the layout and opens the designer on it; windows that stay on
    // top step back meanwhile (and return also after an error).
    virtual void Design(int id);

    // Nothing for an empty name; an empty value is kept as one blank. A name
    // added twice keeps its first value.
    void AddVariable(const std::string& name, const std::string& value);
    void AddDataSet(const std::string& name, TDataSet* dataSet);
    // d0, d1, ... in order.
    void AddDataSets(const std::vector<TDataSet*>& dataSets);
    void FreeDataSets();

    // Empties the report and loads the layout stored in row id (an empty
    // report when the row has none); the report's Tag holds id afterwards.
    void LoadReport(int id);
    // Writes the report into its row (the report's Tag). False, with the
    // reason told, when nothing was written: the row is gone (deleted
    // meanwhile) or the database refused.
    bool SaveToDatabase();

    // A new row with the next Id across all groups; returns that Id.
    static int AddReport(const std::string& title, int group);
    static void RenameReport(int id, const std::string& title);
    static void DeleteReport(int id);

    // The designer's hooks.
    bool DesignerLoadReport(TfrxReport* report);
    bool DesignerSaveReport(TfrxReport* report, bool saveAs);
    // Variable look-ups of the report and of the user data set.
    void ReportGetValue(const std::string& name, Variant& value);
    void UserDataGetValue(const std::string& name, Variant& value);

    TfrxReport* Report() const { return FReport.get(); }
    TfrxDesigner* Designer() const { return FDesigner; }
    TfrxUserDataSet* UserDataSet() const { return FUserDataSet.get(); }
    const std::vector<TfrxDBDataset*>& DataSetLinks() const { return FDataSets; }
    const std::vector<std::string>& Values() const { return FValues; }

private:
    std::unique_ptr<TfrxReport> FReport;
    TfrxDesigner* FDesigner = nullptr;   // owned by the report
    std::unique_ptr<TfrxXLSExport> FXLSExport;
    std::unique_ptr<TfrxJPEGExport> FJPEGExport;
    std::unique_ptr<TfrxRTFExport> FRTFExport;
    std::unique_ptr<TfrxPDFExport> FPDFExport;
    std::unique_ptr<TfrxUserDataSet> FUserDataSet;
    std::vector<std::string> FValues;
    std::vector<TfrxDBDataset*> FDataSets;
    std::unique_ptr<TfrxBarCodeObject> FBarCodeObject;
};

// The report glue of the program: the school's and the operator's details
// as variables u_Company, u_Tel, u_Fax, u_Address, u_Zip and u_Operator.
class TProjRep : public TRep {
    QZ_CLASS(TProjRep, TRep)
public:
    TProjRep();

    // The report centre: with the print right, the list of the group's
    // layouts over the data sets (d0, d1, ...); the layouts can be changed
    // with the design right.
    static void ShowReports(const std::vector<TDataSet*>& dataSets, int group);
};

// The layouts of a group: Id and title.
class TRepSet : public TRecordSet {
    QZ_CLASS(TRepSet, TRecordSet)
public:
    explicit TRepSet(TComponent* owner = nullptr);

    TField* IdField;
    TField* TitleField;

    // The group's layouts in title order.
    void OpenGroup(int group);
};

namespace qzRep {
// Report groups: the windows that print.
inline constexpr int GroupDropouts = 1001;
inline constexpr int GroupGraduates = 1002;
inline constexpr int GroupReceipts = 1003;
inline constexpr int GroupExams = 1004;
inline constexpr int GroupExamTotal = 1005;
inline constexpr int GroupFareTotal = 1006;

// What saving tells when the layout's row was deleted meanwhile.
extern const char* const RowGoneText;
}  // namespace qzRep
