#include "DBGridTesting.h"

#include "GuiTesting.h"

#include <cmath>

namespace DBGridTest {

std::unique_ptr<TDataSet> MakeStudents(const std::vector<TStudentRow>& rows)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 20);
    ds->FieldDefs()->Add("Passed", ftBoolean);
    ds->FieldDefs()->Add("Enrolled", ftDate);
    ds->FieldDefs()->Add("Note", ftMemo);
    ds->FieldDefs()->Add("Fee", ftFloat);
    ds->CreateDataSet();
    int i = 0;
    for (const TStudentRow& r : rows) {
        ds->Append();
        ds->FieldByName("Id")->SetAsInteger(r.Id);
        ds->FieldByName("Name")->SetAsString(r.Name);
        ds->FieldByName("Passed")->SetAsBoolean(r.Passed);
        ds->FieldByName("Enrolled")->SetAsDateTime(46082.0 + i);   // 2026-03-01
        ds->FieldByName("Note")->SetAsString("备注 " + std::to_string(r.Id));
        if (!std::isnan(r.Fee)) ds->FieldByName("Fee")->SetAsFloat(r.Fee);
        ds->Post();
        ++i;
    }
    ds->First();
    return ds;
}

std::unique_ptr<TDataSet> FiveStudents()
{
    return MakeStudents({{1, "王小明", true, 1200}, {2, "李华", false, 800.5}, {3, "张伟", true, 1500},
                         {4, "赵丽", false, 0}, {5, "陈晨", true, 950}});
}

std::unique_ptr<TDataSet> ManyStudents(int n)
{
    std::vector<TStudentRow> rows;
    for (int i = 1; i <= n; ++i) rows.push_back({i, "学员" + std::to_string(i), i % 2 == 0, double(i)});
    return MakeStudents(rows);
}

TCoachLookup MakeCoachLookup(const std::vector<std::string>& coachNames, const std::vector<int>& coachOf)
{
    TCoachLookup r;
    r.Coaches = std::make_unique<TDataSet>();
    r.Coaches->FieldDefs()->Add("CoachId", ftInteger);
    r.Coaches->FieldDefs()->Add("CoachName", ftString, 20);
    r.Coaches->CreateDataSet();
    for (size_t i = 0; i < coachNames.size(); ++i) r.Coaches->AppendRecord({int(i) + 1, coachNames[i]});
    r.Coaches->First();
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("CoachId", ftInteger);
    for (const char* n : {"Id", "CoachId"}) {
        auto* f = new TIntegerField(ds.get());
        f->SetFieldName(n);
        f->SetDataSet(ds.get());
    }
    auto* coach = new TStringField(ds.get());
    coach->SetFieldName("Coach");
    coach->SetFieldKind(fkLookup);
    coach->SetKeyFields("CoachId");
    coach->SetLookupDataSet(r.Coaches.get());
    coach->SetLookupKeyFields("CoachId");
    coach->SetLookupResultField("CoachName");
    coach->SetDataSet(ds.get());
    ds->CreateDataSet();
    for (size_t i = 0; i < coachOf.size(); ++i) ds->AppendRecord({int(i) + 1, coachOf[i]});
    ds->First();
    r.Students = std::move(ds);
    return r;
}

TGridHost::TGridHost(TDataSet* ds, int width, int height)
{
    GuiTest::Init();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(50, 50, width + 40, height + 60);
    Grid = new TDBGridEh(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, width, height);
    Source = std::make_unique<TDataSource>();
    Source->SetDataSet(ds);
    Form->Show();
    GuiTest::ProcessEvents();
    Grid->SetDataSource(Source.get());
    GuiTest::ProcessEvents();
}

TGridHost::~TGridHost()
{
    Form.reset();
    Source.reset();
}

} // namespace DBGridTest
