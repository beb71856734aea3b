#include "Tots.h"

#include "Bizs.h"
#include "SysUtils.h"

#include <unordered_map>

QZ_CLASS_IMPL(TTotalWhere, TCustomWhere)
QZ_CLASS_IMPL(TFareTotalWhere, TTotalWhere)
QZ_CLASS_IMPL(TCustomTotal, TQzClientDataSet)
QZ_CLASS_IMPL(TExamTotal, TCustomTotal)
QZ_CLASS_IMPL(TFareTotal, TCustomTotal)

namespace {

TField* Criterion(TCustomWhere* w, TClass cls, const std::string& name, int size, bool visible, TFieldType type)
{
    return w->AddFieldDef(cls, name, size, visible, type, name);
}

TClass DateCls() { return TDateTimeField::StaticClass(); }
TClass IntCls() { return TIntegerField::StaticClass(); }
TClass WideCls() { return TWideStringField::StaticClass(); }

}  // namespace

// ---- criteria ---------------------------------------------------------------------------------

TTotalWhere::TTotalWhere(TComponent* owner, NoRecord) : TCustomWhere(owner)
{
    DataSet()->FieldDefs()->Clear();
    Signdate1Fld = Criterion(this, DateCls(), "Signdate1", 0, false, ftDateTime);
    Signdate2Fld = Criterion(this, DateCls(), "Signdate2", 0, false, ftDateTime);
    TeacherIdFld = Criterion(this, IntCls(), "TeacherId", 0, false, ftInteger);
    DrivetypeFld = Criterion(this, WideCls(), "Drivetype", 30, true, ftWideString);
    SalesmanIdFld = Criterion(this, IntCls(), "SalesmanId", 0, false, ftInteger);
    ClassnameFld = Criterion(this, WideCls(), "Classname", 30, true, ftWideString);
}

TTotalWhere::TTotalWhere(TComponent* owner) : TTotalWhere(owner, NoRecord{}) { CreateRecord(); }

TFareTotalWhere::TFareTotalWhere(TComponent* owner) : TTotalWhere(owner, NoRecord{})
{
    Recdate1Fld = Criterion(this, DateCls(), "Recdate1", 0, false, ftDateTime);
    Recdate2Fld = Criterion(this, DateCls(), "Recdate2", 0, false, ftDateTime);
    CreateRecord();
}

// ---- the shared pivot -------------------------------------------------------------------------

TCustomTotal::TCustomTotal(TComponent* owner) : TQzClientDataSet(owner) {}

TCustomTotal::~TCustomTotal()
{
    // The data set closes before the criteria it was built for go.
    try {
        DataSet()->Close();
    } catch (...) {
    }
}

void TCustomTotal::AddStudentColumns()
{
    AddFieldDef(IntCls(), "StudentId", 0, false, ftInteger, "StudentId");
    AddFieldDef(WideCls(), "StudentName", 30, true, ftWideString, "学员姓名");
    AddFieldDef(DateCls(), "Signdate", 0, true, ftDateTime, "报名日期");
    AddFieldDef(WideCls(), "Drivetype", 30, true, ftWideString, "驾照类型");
    AddFieldDef(WideCls(), "Sex", 10, true, ftWideString, "性别");
    AddFieldDef(WideCls(), "LinkTel", 50, true, ftWideString, "联系电话");
    AddFieldDef(WideCls(), "Classname", 30, true, ftWideString, "班级类别");
}

std::vector<TField*> TCustomTotal::ItemFields() const
{
    std::vector<TField*> items;
    TFields* fields = DataSet()->Fields();
    for (int i = 0; i < fields->Count(); ++i)
        if (fields->Fields(i)->Tag() > 0) items.push_back(fields->Fields(i));
    return items;
}

std::string TCustomTotal::StudentSql() const
{
    TTotalWhere* w = FWhere.get();
    TCondition c(w);
    c.DateFrom(w->Signdate1Fld, "t.Signdate");
    c.DateTo(w->Signdate2Fld, "t.Signdate");
    c.Int(w->TeacherIdFld, " and l.TeacherId=%d");
    c.Text(w->DrivetypeFld, " and t.Drivetype='%s'");
    c.Int(w->SalesmanIdFld, " and t.SalemanId=%d");
    c.Text(w->ClassnameFld, " and l.Classname='%s'");
    return c.Apply("select t.*, l.Classname from (students t left join classes l on l.StudentId=t.Id) %where ");
}

void TCustomTotal::Refresh()
{
    FWhere->FlushEdits();
    const std::string sql = StudentSql();
    TADODataSet* ds = DataSet();
    ds->DisableControls();
    try {
        ds->Close();
        ds->CreateDataSet();
        FItems = ItemFields();
        BeginFill();
        TQuerySet students;
        students.Open(sql);
        TDataSet* s = students.DataSet();
        struct Copy {
            TField* from;
            TField* to;
        };
        const std::vector<Copy> copies{
            {s->FieldByName("Id"), ds->FieldByName("StudentId")},
            {s->FieldByName("Name"), ds->FieldByName("StudentName")},
            {s->FieldByName("Sex"), ds->FieldByName("Sex")},
            {s->FieldByName("LinkTel"), ds->FieldByName("LinkTel")},
            {s->FieldByName("Signdate"), ds->FieldByName("Signdate")},
            {s->FieldByName("Drivetype"), ds->FieldByName("Drivetype")},
            {s->FieldByName("Classname"), ds->FieldByName("Classname")},
        };
        for (s->First(); !s->Eof(); s->Next()) {
            ds->Append();
            for (const Copy& c : copies) {
                if (c.from->IsNull())
                    c.to->Clear();
                else
                    c.to->SetValue(c.from->Value());
            }
            FillItems(s);
            ds->Post();
        }
        EndFill();
    } catch (...) {
        EndFill();
        if (IsEditState(ds->State())) ds->Cancel();
        if (ds->Active()) ds->EmptyDataSet();
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

// ---- exam pivot -------------------------------------------------------------------------------

TExamTotal::TExamTotal(TComponent* owner) : TCustomTotal(owner)
{
    FWhere = std::make_unique<TTotalWhere>();
    AddStudentColumns();
    TExamitemSet items;
    items.Query();
    TDataSet* it = items.DataSet();
    for (it->First(); !it->Eof(); it->Next()) {
        const int id = items.IdFld->AsInteger();
        TField* f = AddFieldDef(TBooleanField::StaticClass(), Format("Item%d", {id}), 0, true, ftBoolean,
                                items.NameFld->AsString());
        f->SetTag(id);
        static_cast<TBooleanField*>(f)->SetDisplayValues("√; ");
        f->SetAlignment(taCenter);
    }
    DataSet()->CreateDataSet();
}

void TExamTotal::FillItems(TDataSet* student)
{
    const std::string passinfo = student->FieldByName("Passinfo")->AsString();
    for (TField* f : FItems)
        f->SetAsBoolean(passinfo.find(Format(",%d,", {int(f->Tag())})) != std::string::npos);
}

// ---- fee pivot --------------------------------------------------------------------------------

// The net sums of the period by student and fee item, read once per refresh.
struct TFareTotal::TSums {
    static uint64_t Key(int student, int item) { return (uint64_t(uint32_t(student)) << 32) | uint32_t(item); }
    std::unordered_map<uint64_t, double> Fundt;
};

TFareTotal::TFareTotal(TComponent* owner) : TCustomTotal(owner)
{
    FWhere = std::make_unique<TFareTotalWhere>();
    AddStudentColumns();
    TRecitemSet items;
    items.Query();
    TDataSet* it = items.DataSet();
    for (it->First(); !it->Eof(); it->Next()) {
        const int id = items.IdFld->AsInteger();
        TField* f = AddFieldDef(TFloatField::StaticClass(), Format("Item%d", {id}), 0, true, ftFloat,
                                items.NameFld->AsString());
        f->SetTag(id);
        f->SetAlignment(taCenter);
    }
    AmountFld = AddFieldDef(TFloatField::StaticClass(), "Amount", 0, true, ftFloat, "小计");
    DataSet()->CreateDataSet();
}

TFareTotal::~TFareTotal() = default;

std::string TFareTotal::ReceiptSql() const
{
    TFareTotalWhere* w = Where();
    TCondition c(w);
    c.DateFrom(w->Recdate1Fld, "Recdate");
    c.DateTo(w->Recdate2Fld, "Recdate");
    return c.Apply("select StudentId, RecItemId, sum(RecSign*Recfund) as Fundt from receipts %where "
                   "group by StudentId, RecItemId");
}

void TFareTotal::BeginFill()
{
    // The receipts are grouped by the database once; each cell then finds
    // its sum by student and item instead of asking again.
    FSums = std::make_unique<TSums>();
    TQuerySet sums;
    sums.Open(ReceiptSql());
    TDataSet* r = sums.DataSet();
    TField* student = r->FieldByName("StudentId");
    TField* item = r->FieldByName("RecItemId");
    TField* fundt = r->FieldByName("Fundt");
    for (r->First(); !r->Eof(); r->Next())
        if (!student->IsNull() && !item->IsNull())
            FSums->Fundt[TSums::Key(student->AsInteger(), item->AsInteger())] = fundt->AsFloat();
}

void TFareTotal::FillItems(TDataSet* student)
{
    const int id = student->FieldByName("Id")->AsInteger();
    double amount = 0;
    for (TField* f : FItems) {
        auto found = FSums->Fundt.find(TSums::Key(id, int(f->Tag())));
        if (found != FSums->Fundt.end()) {
            f->SetAsFloat(found->second);
            amount += found->second;
        }
    }
    AmountFld->SetAsFloat(amount);
}

void TFareTotal::EndFill() { FSums.reset(); }
