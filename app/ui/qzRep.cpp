#include "qzRep.h"

#include "Dialogs.h"
#include "Forms.h"
#include "Objs.h"
#include "Reporter.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxBarcode.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "frxDesgn.h"
#include "frxExportImage.h"
#include "frxExportPDF.h"
#include "frxExportRTF.h"
#include "frxExportXLS.h"
#include "qzLib.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TRep, TObject)
QZ_CLASS_IMPL(TProjRep, TRep)
QZ_CLASS_IMPL(TRepSet, TRecordSet)

using Database::MakeParam;

namespace qzRep {
const char* const RowGoneText =
    "该报表已被删除, 无法保存到数据库.\r\n报表仍在设计器中, 可用\"另存为\"把它保存为文件.";
}

namespace {

const char* const kFr3Filter = "Fr3文件|*.Fr3|所有文件|*.*";

// Windows that stay on top step back while the designer is open, so that
// it is not hidden under them, and return afterwards whatever happens.
class TTopMostsNormalized {
public:
    TTopMostsNormalized()
    {
        if (!Screen) return;
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f->FormStyle() == fsStayOnTop) {
                FForms.emplace_back(f);
                f->SetFormStyle(fsNormal);
            }
        }
    }
    ~TTopMostsNormalized()
    {
        for (auto& f : FForms)
            if (TCustomForm* form = f.Get()) form->SetFormStyle(fsStayOnTop);
    }

private:
    std::vector<TWeakRef<TCustomForm>> FForms;
};

}  // namespace

// ---- TRep ---------------------------------------------------------------------------------

TRep::TRep()
{
    FReport = std::make_unique<TfrxReport>(nullptr);
    FDesigner = new TfrxDesigner(FReport.get());
    FDesigner->OnLoadReport = [this](TfrxReport* r) { return DesignerLoadReport(r); };
    FDesigner->OnSaveReport = [this](TfrxReport* r, bool saveAs) { return DesignerSaveReport(r, saveAs); };
    FDesigner->Restrictions = {drDontCreateReport};
    FReport->OnGetValue = [this](const std::string& name, Variant& value) { ReportGetValue(name, value); };
    FReport->PreviewOptions()->Buttons.Exclude(pbEdit);
    FXLSExport = std::make_unique<TfrxXLSExport>(nullptr);
    FJPEGExport = std::make_unique<TfrxJPEGExport>(nullptr);
    FRTFExport = std::make_unique<TfrxRTFExport>(nullptr);
    FPDFExport = std::make_unique<TfrxPDFExport>(nullptr);
    FUserDataSet = std::make_unique<TfrxUserDataSet>(nullptr);
    FUserDataSet->SetUserName("u");
    FUserDataSet->OnGetValue = [this](const std::string& name, Variant& value) { UserDataGetValue(name, value); };
    FBarCodeObject = std::make_unique<TfrxBarCodeObject>(nullptr);
}

TRep::~TRep()
{
    FreeDataSets();
    // The report (with the designer settings it owns) goes before the data
    // sets and exports it may still name.
    FReport.reset();
    FDesigner = nullptr;
}

void TRep::AddVariable(const std::string& name, const std::string& value)
{
    if (name.empty()) return;
    FValues.push_back(value.empty() ? std::string(" ") : value);
    FUserDataSet->Fields()->Add(name);
}

void TRep::AddDataSet(const std::string& name, TDataSet* dataSet)
{
    auto* link = new TfrxDBDataset(nullptr);
    link->SetName(name);
    link->SetDataSet(dataSet);
    FReport->DataSets()->Add(link);
    FDataSets.push_back(link);
}

void TRep::AddDataSets(const std::vector<TDataSet*>& dataSets)
{
    for (size_t i = 0; i < dataSets.size(); ++i) AddDataSet(Format("d%d", {int(i)}), dataSets[i]);
}

void TRep::FreeDataSets()
{
    while (!FDataSets.empty()) {
        TfrxDBDataset* link = FDataSets.back();
        FDataSets.pop_back();
        delete link;
    }
}

void TRep::ReportGetValue(const std::string& name, Variant& value)
{
    const int i = FUserDataSet->Fields()->IndexOf(name);
    if (i >= 0 && size_t(i) < FValues.size()) value = Variant(FValues[size_t(i)]);
}

void TRep::UserDataGetValue(const std::string& name, Variant& value)
{
    const int i = FUserDataSet->Fields()->IndexOf(name);
    value = i >= 0 && size_t(i) < FValues.size() ? Variant(FValues[size_t(i)]) : Variant(name);
}

void TRep::LoadReport(int id)
{
    FReport->Clear();
    GRecordSet->Open("select * from report where Id=:Id", {MakeParam("Id", id)});
    TMemoryStream stream;
    TDataSet* ds = GRecordSet->DataSet();
    if (!ds->IsEmpty()) {
        if (auto* blob = DynamicCast<TBlobField>(ds->FieldByName("Fr3File")))
            blob->SaveToStream(&stream);
        else if (!ds->FieldByName("Fr3File")->IsNull())
            stream.WriteString(ds->FieldByName("Fr3File")->AsString());
    }
    if (stream.Size() > 0) {
        stream.SetPosition(0);
        FReport->LoadFromStream(&stream);
    }
    // A layout never says what the preview offers: no editing from it.
    FReport->PreviewOptions()->Buttons.Exclude(pbEdit);
    FReport->SetTag(id);
}

void TRep::Preview(int id)
{
    LoadReport(id);
    FReport->ShowReport(true);
}

void TRep::Design(int id)
{
    LoadReport(id);
    TTopMostsNormalized topMosts;
    FReport->OpenDesigner();
}

bool TRep::SaveToDatabase()
{
    TMemoryStream stream;
    FReport->SaveToStream(&stream, true, false);
    stream.SetPosition(0);
    const int id = int(FReport->Tag());
    try {
        // Only the row the layout came from takes it: a row deleted
        // meanwhile is not made anew, as no group's list would show it.
        const int rows = GDatabase->ExecSQL("update report set Fr3File=:Fr3File where Id=:Id",
                                            {MakeParam("Id", id)}, {TxDBParameter{"Fr3File", &stream}});
        if (rows == 0) {
            qzLib::ShowInfo(qzRep::RowGoneText);
            return false;
        }
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        qzLib::ShowInfo(e.what());
        return false;
    }
    return true;
}

bool TRep::DesignerLoadReport(TfrxReport* report)
{
    const intptr_t tag = report->Tag();
    TOpenDialog dialog(nullptr);
    dialog.Filter = kFr3Filter;
    if (!dialog.Execute()) return false;
    try {
        report->LoadFromFile(dialog.FileName, false);
    } catch (const EAbort&) {
        report->SetTag(tag);
        throw;
    } catch (const Exception& e) {
        report->SetTag(tag);
        qzLib::ShowInfo(e.what());
        return false;
    }
    // The file's layout goes to the row it was opened over on the next save.
    report->SetTag(tag);
    return true;
}

bool TRep::DesignerSaveReport(TfrxReport* report, bool saveAs)
{
    if (saveAs) {
        TSaveDialog dialog(nullptr);
        dialog.Filter = kFr3Filter;
        dialog.DefaultExt = "fr3";
        if (!dialog.Execute()) return false;
        try {
            report->SaveToFile(dialog.FileName);
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            qzLib::ShowInfo(e.what());
            return false;
        }
        return true;
    }
    if (report != FReport.get()) return false;
    return SaveToDatabase();
}

int TRep::AddReport(const std::string& title, int group)
{
    // The largest Id of every group: ids are unique across the table.
    const std::string last = GDatabase->IsSqlServer() ? "select top 1 Id from report order by Id desc"
                                                      : "select Id from report order by Id desc limit 1";
    GRecordSet->Open(last);
    TDataSet* ds = GRecordSet->DataSet();
    const int id = (ds->IsEmpty() ? 0 : ds->Fields()->Fields(0)->AsInteger()) + 1;
    GDatabase->Execute("insert into report(Id,GrpId,Title)values(:Id,:GroupId,:Title)",
                       {MakeParam("Id", id), MakeParam("GroupId", group), MakeParam("Title", title)});
    return id;
}

void TRep::RenameReport(int id, const std::string& title)
{
    GDatabase->Execute("update report set Title=:Title where Id=:Id", {MakeParam("Title", title), MakeParam("Id", id)});
}

void TRep::DeleteReport(int id) { GDatabase->Execute("delete from report where Id=:Id", {MakeParam("Id", id)}); }

// ---- TProjRep -----------------------------------------------------------------------------

TProjRep::TProjRep()
{
    AddVariable("u_Company", GCompany->CompanyName);
    AddVariable("u_Tel", GCompany->Tel);
    AddVariable("u_Fax", GCompany->Fax);
    AddVariable("u_Address", GCompany->Address);
    AddVariable("u_Zip", GCompany->Zip);
    AddVariable("u_Operator", GOperator->LoginId);
}

void TProjRep::ShowReports(const std::vector<TDataSet*>& dataSets, int group)
{
    GOperator->CheckRight(Rights::Print, true);
    auto rep = std::make_unique<TProjRep>();
    auto dialog = std::make_unique<TReporterFrm>(nullptr);
    dialog->SetCanDesign(GOperator->HasRight(Rights::ReportDesign));
    rep->AddDataSets(dataSets);
    dialog->SetGroupId(group);
    dialog->SetReper(rep.get());
    dialog->ShowModal();
}

// ---- TRepSet ------------------------------------------------------------------------------

TRepSet::TRepSet(TComponent* owner) : TRecordSet(owner)
{
    IdField = AddField(TIntegerField::StaticClass(), "Id", "Id", true);
    TitleField = AddField(TWideStringField::StaticClass(), "Title", "标题", true);
}

void TRepSet::OpenGroup(int group)
{
    Open("select Id,Title from report where GrpId=:GroupId order by Title", {MakeParam("GroupId", group)});
}
