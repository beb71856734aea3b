// The workbook import: a four-page wizard that opens a workbook (.xls),
// lets the operator choose a sheet, map its columns onto the application's
// fields, review and trim the rows, and then hands them to an importer that
// stores them all in one transaction (all or nothing). The three importers
// (cars, employees, students) each stage the rows in an empty set of their
// entity and save them with the entity's own save.
#pragma once

#include "a.h"
#include "qzGridEh.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TADOConnection;
class TADOTable;
class TCarSet;
class TComboBox;
class TDataSource;
class TEmployeeSet;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TProgressBar;
class TStudentSet;
class TValueListEditor;
class TqzPopupMenu;

namespace DataImport {
// The wizard's grids: the second copy of the data-aware grid wrapper.
using TDBGrid = qzGridEh::TqzDBGrid;

// Makes the data layer read workbooks and installs the three imports behind
// the lists' Import; ShutDown takes them away again.
void StartUp();
void ShutDown();

// The example workbook of an import beside the program ("cars.xls",
// "employees.xls", "students.xls").
std::string ExamplePath(const std::string& fileName);
}  // namespace DataImport

// The target fields of an import, in the order the mapping shows them.
using TTargetFields = std::vector<TField*>;
using TGetFieldsEvent = std::function<void(TTargetFields& fields)>;
using TSetValueEvent = std::function<void(TField* target, const Variant& value)>;
using TSaveEvent = std::function<bool()>;

class TDataImportFrm : public TaFrm {
    QZ_CLASS(TDataImportFrm, TaFrm)
public:
    explicit TDataImportFrm(TComponent* AOwner = nullptr);
    ~TDataImportFrm() override;

    // The importer's side, set before the wizard shows.
    TGetFieldsEvent OnGetFields;
    TSetValueEvent OnSetValue;
    TSaveEvent OnSave;

    // The file page.
    TPanel* pnlExcel1 = nullptr;
    TEdit* edtExcelFile1 = nullptr;
    TButton* Button1 = nullptr;
    TEdit* edtExample1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    // The sheet page.
    TPanel* pnlTable1 = nullptr;
    TComboBox* cmbTables1 = nullptr;
    DataImport::TDBGrid* SourceDBGrid1 = nullptr;
    TButton* NxtBtn1 = nullptr;
    TButton* PriBtn1 = nullptr;
    TButton* Button5 = nullptr;
    // The mapping page.
    TPanel* pnlFields1 = nullptr;
    TValueListEditor* ValueListEditor1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button9 = nullptr;
    TButton* Button10 = nullptr;
    // The result page.
    TPanel* pnlDone1 = nullptr;
    DataImport::TDBGrid* DBGrid1 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button11 = nullptr;
    TProgressBar* ProgressBar2 = nullptr;
    TqzPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* N2 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    // The workbook.
    TADOConnection* ADOConnection1 = nullptr;
    TADOTable* SourceTable1 = nullptr;
    TDataSource* SourceDataSource1 = nullptr;

    // The page in front.
    TPanel* ActivePage() const { return FActivePage; }
    // The staging set the result grid shows.
    TDataSet* StagingSet() const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void cmbTables1Select();
    void NxtBtn1Click();
    void PriBtn1Click();
    void Button8Click();
    void Button9Click();
    void Button11Click();
    void Button6Click();
    void N2Click();

private:
    void ShowPage(TPanel* page);
    bool SourceRowBlank() const;
    // The source column chosen for mapping row k, -1 for none.
    int ChosenSource(int k) const;
    TTargetFields FFields;
    TPanel* FActivePage = nullptr;
};

// ---- the importers ----------------------------------------------------------------------

// What the three importers share: the wizard run over the staging set, and
// the save of every staged row in one transaction.
class TImporter {
public:
    virtual ~TImporter();
    // Shows the wizard; true when it closed with the rows saved.
    bool Execute();
    // Connects the wizard to this importer: its hooks, the example file and
    // the result grid over the staging set.
    void Attach(TDataImportFrm* wizard);
    TDataSet* Staging() const { return FStaging; }
    virtual void GetFields(TTargetFields& fields) = 0;
    virtual void SetValue(TField* target, const Variant& value);
    // Every staged row saved, or none: true when all were.
    bool Save();

protected:
    TImporter(TDataSet* staging, const char* exampleFile) : FStaging(staging), FExampleFile(exampleFile) {}
    // Saves the current staged row; false when the database took no row.
    virtual bool SaveCurrent() = 0;
    TDataSet* FStaging;

private:
    const char* FExampleFile;
};

class TCarImporter : public TImporter {
public:
    TCarImporter();
    ~TCarImporter() override;
    void GetFields(TTargetFields& fields) override;
    TCarSet* Set() const { return FSet.get(); }

protected:
    bool SaveCurrent() override;

private:
    std::unique_ptr<TCarSet> FSet;
};

class TEmployeeImporter : public TImporter {
public:
    TEmployeeImporter();
    ~TEmployeeImporter() override;
    void GetFields(TTargetFields& fields) override;
    TEmployeeSet* Set() const { return FSet.get(); }

protected:
    bool SaveCurrent() override;

private:
    std::unique_ptr<TEmployeeSet> FSet;
};

class TStudentImporter : public TImporter {
public:
    TStudentImporter();
    ~TStudentImporter() override;
    void GetFields(TTargetFields& fields) override;
    // The salesman's name sets the salesman's id when an employee has
    // exactly that name, and clears it otherwise.
    void SetValue(TField* target, const Variant& value) override;
    TStudentSet* Set() const { return FSet.get(); }

protected:
    bool SaveCurrent() override;

private:
    std::unique_ptr<TStudentSet> FSet;
    std::unique_ptr<TEmployeeSet> FEmployees;
};
