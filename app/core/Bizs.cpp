#include "Bizs.h"

#include "SysUtils.h"
#include "qzLib.h"

using Database::MakeParam;

QZ_CLASS_IMPL(TEmployeeWhere, TCustomWhere)
QZ_CLASS_IMPL(TCarWhere, TCustomWhere)
QZ_CLASS_IMPL(TStudentWhere, TCustomWhere)
QZ_CLASS_IMPL(TReceiptWhere, TCustomWhere)
QZ_CLASS_IMPL(TExamWhere, TCustomWhere)
QZ_CLASS_IMPL(TGraduateWhere, TCustomWhere)
QZ_CLASS_IMPL(TDropoutWhere, TCustomWhere)
QZ_CLASS_IMPL(TEmployeeSet, TRecordSet)
QZ_CLASS_IMPL(TCarSet, TRecordSet)
QZ_CLASS_IMPL(TRecitemSet, TRecordSet)
QZ_CLASS_IMPL(TExamitemSet, TRecordSet)
QZ_CLASS_IMPL(TStudentSet, TQuerySet)
QZ_CLASS_IMPL(TReceiptSet, TQuerySet)
QZ_CLASS_IMPL(TExamSet, TQuerySet)
QZ_CLASS_IMPL(TClassSet, TQuerySet)
QZ_CLASS_IMPL(TGraduateSet, TQuerySet)
QZ_CLASS_IMPL(TDropoutSet, TQuerySet)

// ---- query conditions ---------------------------------------------------------------------------

void TCondition::Int(TField* f, const std::string& fmt)
{
    if (W->IsSet(f)) Add(Format(fmt, {f->AsInteger()}));
}

void TCondition::Text(TField* f, const std::string& fmt)
{
    if (W->HasText(f)) Add(Format(fmt, {qzLib::SqlText(f->AsString())}));
}

void TCondition::Float(TField* f, const std::string& fmt)
{
    if (W->IsSet(f)) Add(Format(fmt, {f->AsFloat()}));
}

void TCondition::DateFrom(TField* f, const std::string& column)
{
    if (W->IsSet(f)) Add(" and " + column + ">=" + GDatabase->DateToSql(f->AsDateTime()));
}

void TCondition::DateTo(TField* f, const std::string& column)
{
    // Stored dates may carry a time of day: the column lies before the next day.
    if (W->IsSet(f)) Add(" and " + column + "<" + GDatabase->DateToSql(DateOf(f->AsDateTime()) + 1));
}

void TCondition::Bool(TField* f, const std::string& whenTrue, const std::string& whenFalse)
{
    if (W->IsSet(f)) Add(f->AsBoolean() ? whenTrue : whenFalse);
}

std::string TCondition::Result() const { return StringReplace(FText, " and ", " where ", TReplaceFlags{}); }

std::string TCondition::Apply(const std::string& statement) const
{
    return StringReplace(statement, "%where", Result(), TReplaceFlags{});
}

namespace {

TClass WideStr() { return TWideStringField::StaticClass(); }
TClass IntCls() { return TIntegerField::StaticClass(); }
TClass FloatCls() { return TFloatField::StaticClass(); }
TClass DateCls() { return TDateTimeField::StaticClass(); }
TClass MemoCls() { return TMemoField::StaticClass(); }
TClass BoolCls() { return TBooleanField::StaticClass(); }

// A field's value as a record keeps it: Null stays Null.
Variant Var(const TField* f) { return f->IsNull() ? Null() : f->Value(); }
Variant VarOf(TDataSet* ds, const std::string& name) { return Var(ds->FieldByName(name)); }
std::string TextOf(TDataSet* ds, const std::string& name) { return ds->FieldByName(name)->AsString(); }

void Put(TField* f, const Variant& v)
{
    if (v.IsNull() || v.IsEmpty())
        f->Clear();
    else
        f->SetValue(v);
}


// ---- saving -------------------------------------------------------------------------------------
//
// Several workstations share one database. A new row takes the largest id
// plus one, so two workstations saving at the same moment can pick the
// same id; the table's key refuses the second row. A save that meets a
// duplicate key takes the next id and tries again (or, for the tables of
// one row a student, updates the row the other workstation just inserted).
// What still fails reaches the operator once, in the program's words, with
// the database's message.

// How often a save tries another id before it gives up.
constexpr int kSaveAttempts = 20;

// The program's words for a save the database refused.
[[noreturn]] void SaveFailed(const std::string& databaseMessage)
{
    throw Exception(Format("保存时失败,提示如下:\r\n%s", {databaseMessage}));
}

// Runs a save; a database failure inside it is reported through SaveFailed.
template <class Fn> bool Saving(Fn&& save)
{
    try {
        return save();
    } catch (const EStatementError& e) {
        SaveFailed(e.DriverMessage);
    }
}

// The next free id of an Id-keyed table (an empty table reads 0).
int NextId(const std::string& table)
{
    const Variant v = GDatabase->ReadValue("select max(Id) from " + table);
    return (v.IsNull() ? 0 : v.AsInteger()) + 1;
}

// The family rule of saving: update a positive id, insert otherwise with
// max(Id)+1; the id is written back only when exactly one row changed. An
// id another workstation took meanwhile makes the insert try the next one.
template <class R>
bool SaveById(R& r, const std::string& table, const std::string& updateSql, const std::string& insertSql,
              TDBParameters params)
{
    return Saving([&] {
        if (r.Id > 0) {
            params.push_back(MakeParam("Id", r.Id));
            return GDatabase->ExecSQL(updateSql, params) == 1;
        }
        params.push_back(MakeParam("Id", 0));
        int id = 0;
        for (int attempt = 1;; ++attempt) {
            // Past the id that collided, even if the other row is not yet
            // visible to this connection.
            id = std::max(NextId(table), id + 1);
            params.back().Value = id;
            try {
                if (GDatabase->ExecSQL(insertSql, params) != 1) return false;
                r.Id = id;
                return true;
            } catch (const EStatementError& e) {
                if (!e.DuplicateKey || attempt == kSaveAttempts) throw;
            }
        }
    });
}

bool DeleteById(const std::string& sql, int id) { return GDatabase->ExecSQL(sql, {MakeParam("Id", id)}) == 1; }

// Whether a per-student table holds a row of the student.
bool StudentRowExists(const std::string& sql, int studentId)
{
    return !GDatabase->ReadValue(sql, {MakeParam("StudentId", studentId)}).IsNull();
}

// The per-student rule of saving: one row a student, inserted the first time
// and updated after; params carry StudentId. When another workstation
// inserted the student's row between the test and the insert, this save
// updates that row.
bool SaveByStudent(int studentId, const std::string& existsSql, const std::string& insertSql,
                   const std::string& updateSql, const TDBParameters& params)
{
    return Saving([&] {
        if (!StudentRowExists(existsSql, studentId))
            return Database::InsertOrUpdate(insertSql, updateSql, params) == 1;
        return GDatabase->ExecSQL(updateSql, params) == 1;
    });
}

// Loads the student's one row: texts and variants are emptied first, the
// student id is the caller's until a row is found; fill reads the fields
// beyond StudentId and StudentName.
template <class R, class Fill>
bool LoadByStudentRow(int studentId, R& r, const std::string& sql, Fill fill)
{
    const int keep = r.StudentId;
    r = R{};
    r.StudentId = keep;
    const int n = GRecordSet->Open(sql, {MakeParam("StudentId", studentId)});
    TDataSet* ds = GRecordSet->DataSet();
    if (n == 1) {
        ds->First();
        r.StudentId = ds->FieldByName("StudentId")->AsInteger();
        r.StudentName = TextOf(ds, "StudentName");
        fill(ds);
    }
    ds->Close();
    return n == 1;
}

}  // namespace

// ---- criteria ---------------------------------------------------------------------------------

TEmployeeWhere::TEmployeeWhere(TComponent* owner) : TCustomWhere(owner)
{
    IdFld = Def("Id", ftInteger);
    DutyFld = Def("Duty", ftWideString, 30);
    CreateRecord();
}

TCarWhere::TCarWhere(TComponent* owner) : TCustomWhere(owner)
{
    IdFld = Def("Id", ftInteger);
    KeywordFld = Def("Keyword", ftWideString, 50);
    CreateRecord();
}

TStudentWhere::TStudentWhere(TComponent* owner) : TCustomWhere(owner)
{
    IdFld = Def("Id", ftInteger);
    Signdate1Fld = Def("Signdate1", ftDateTime);
    Signdate2Fld = Def("Signdate2", ftDateTime);
    ClassnameFld = Def("Classname", ftWideString, 30);
    StunameFld = Def("Stuname", ftWideString, 30);
    StusexFld = Def("Stusex", ftWideString, 30);
    StutelFld = Def("Stutel", ftWideString, 30);
    SalemanIdFld = Def("SalemanId", ftInteger);
    TeacherIdFld = Def("TeacherId", ftInteger);
    CarIdFld = Def("CarId", ftInteger);
    DrivetypeFld = Def("Drivetype", ftWideString, 30);
    PassItemIdFld = Def("PassItemId", ftInteger);
    UnpassItemIdFld = Def("UnpassItemId", ftInteger);
    AppItemIdFld = Def("AppItemId", ftInteger);
    UnappItemIdFld = Def("UnappItemId", ftInteger);
    GraduatedFld = Def("Graduated", ftBoolean);
    DropoutedFld = Def("Dropouted", ftBoolean);
    GraduateTakeIfFld = Def("GraduateTakeIf", ftBoolean);
    GraduateGrantdate1Fld = Def("GraduateGrantdate1", ftDateTime);
    GraduateGrantdate2Fld = Def("GraduateGrantdate2", ftDateTime);
    ClassIfFld = Def("ClassIf", ftBoolean);
    CreateRecord();
}

TReceiptWhere::TReceiptWhere(TComponent* owner) : TCustomWhere(owner)
{
    StudentIdFld = Def("StudentId", ftInteger);
    FareItemIdFld = Def("FareItemId", ftInteger);
    SignIdFld = Def("SignId", ftInteger);
    Fund1Fld = Def("Fund1", ftFloat);
    Fund2Fld = Def("Fund2", ftFloat);
    Recdate1Fld = Def("Recdate1", ftDateTime);
    Recdate2Fld = Def("Recdate2", ftDateTime);
    TreasurerFld = Def("Treasurer", ftWideString, 30);
    CreateRecord();
}

TExamWhere::TExamWhere(TComponent* owner) : TCustomWhere(owner)
{
    StudentIdFld = Def("StudentId", ftInteger);
    ItemIdFld = Def("ItemId", ftInteger);
    IsPassFld = Def("IsPass", ftBoolean);
    Point1Fld = Def("Point1", ftFloat);
    Point2Fld = Def("Point2", ftFloat);
    Examdate1Fld = Def("Examdate1", ftDateTime);
    Examdate2Fld = Def("Examdate2", ftDateTime);
    Appdate1Fld = Def("Appdate1", ftDateTime);
    Appdate2Fld = Def("Appdate2", ftDateTime);
    CreateRecord();
}

TGraduateWhere::TGraduateWhere(TComponent* owner) : TCustomWhere(owner)
{
    Grantdate1Fld = Def("Grantdate1", ftDateTime);
    Grantdate2Fld = Def("Grantdate2", ftDateTime);
    DrivetypeFld = Def("Drivetype", ftWideString, 30);
    TakeIfFld = Def("TakeIf", ftBoolean);
    SalesmanIdFld = Def("SalesmanId", ftInteger);
    TeacherIdFld = Def("TeacherId", ftInteger);
    ClassnameFld = Def("Classname", ftWideString, 30);
    CreateRecord();
}

TDropoutWhere::TDropoutWhere(TComponent* owner) : TCustomWhere(owner)
{
    Dropdate1Fld = Def("Dropdate1", ftDateTime);
    Dropdate2Fld = Def("Dropdate2", ftDateTime);
    ReasonsFld = Def("Reasons", ftWideString, 50);
    Retfund1Fld = Def("Retfund1", ftFloat);
    Retfund2Fld = Def("Retfund2", ftFloat);
    TeacherIdFld = Def("TeacherId", ftInteger);
    SalesmanIdFld = Def("SalesmanId", ftInteger);
    ClassnameFld = Def("Classname", ftWideString, 50);
    DrivetypeFld = Def("Drivetype", ftWideString, 30);
    CreateRecord();
}

// ---- TEmployeeSet -----------------------------------------------------------------------------

TEmployeeSet::TEmployeeSet(TComponent* owner) : TRecordSet(owner), FWhere(new TEmployeeWhere())
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    NameFld = AddField(WideStr(), "Name", "姓名", true, 20);
    DutyFld = AddField(WideStr(), "Duty", "职务", true, 30);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 10);
    TelFld = AddField(WideStr(), "Tel", "联系电话", true, 50);
    BirthdayFld = AddField(DateCls(), "Birthday", "出生日期", true);
    AddrFld = AddField(WideStr(), "Addr", "联系地址", true, 50);
    NotesFld = AddField(MemoCls(), "Notes", "备注", true);
}

TEmployeeSet::~TEmployeeSet() = default;

REmployee TEmployeeSet::AsData() const
{
    REmployee r;
    r.Id = IdFld->AsInteger();
    r.Name = NameFld->AsString();
    r.Duty = DutyFld->AsString();
    r.Sex = SexFld->AsString();
    r.Tel = TelFld->AsString();
    r.Birthday = Var(BirthdayFld);
    r.Addr = AddrFld->AsString();
    r.Notes = NotesFld->AsString();
    return r;
}

void TEmployeeSet::SetAsData(const REmployee& r)
{
    IdFld->SetAsInteger(r.Id);
    NameFld->SetAsString(r.Name);
    DutyFld->SetAsString(r.Duty);
    SexFld->SetAsString(r.Sex);
    TelFld->SetAsString(r.Tel);
    Put(BirthdayFld, r.Birthday);
    AddrFld->SetAsString(r.Addr);
    NotesFld->SetAsString(r.Notes);
}

std::string TEmployeeSet::QuerySql()
{
    FWhere->FlushEdits();
    TCondition c(FWhere.get());
    c.Int(FWhere->IdFld, " and Id=%d");
    c.Text(FWhere->DutyFld, " and Duty='%s'");
    return Format("select * from employees %s order by Id", {c.Result()});
}

void TEmployeeSet::Query() { Open(QuerySql()); }

bool TEmployeeSet::Save(REmployee& r)
{
    return SaveById(r, "employees",
                    "update employees set Name=:Name, Duty=:Duty, Sex=:Sex, Tel=:Tel, Birthday=:Birthday, "
                    "Addr=:Addr, Notes=:Notes where Id=:Id",
                    "insert into employees(Name, Duty, Sex, Tel, Birthday, Addr, Notes, Id)"
                    "values(:Name,:Duty,:Sex,:Tel,:Birthday,:Addr,:Notes,:Id)",
                    {MakeParam("Name", r.Name), MakeParam("Duty", r.Duty), MakeParam("Sex", r.Sex),
                     MakeParam("Tel", r.Tel), MakeParam("Birthday", r.Birthday), MakeParam("Addr", r.Addr),
                     MakeParam("Notes", r.Notes)});
}

bool TEmployeeSet::Delete(int id) { return DeleteById("delete from employees where Id=:Id", id); }

// ---- TCarSet ----------------------------------------------------------------------------------

TCarSet::TCarSet(TComponent* owner) : TRecordSet(owner), FWhere(new TCarWhere())
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    CarNoFld = AddField(WideStr(), "CarNo", "车牌号", true, 50);
    BrandFld = AddField(WideStr(), "Brand", "品牌", true, 50);
    PartNoFld = AddField(WideStr(), "PartNo", "型号", true, 50);
    EnginoFld = AddField(WideStr(), "Engino", "发动机号", true, 50);
    CartypeFld = AddField(WideStr(), "Cartype", "车辆类型", true, 50);
    ManudateFld = AddField(DateCls(), "Manudate", "出厂日期", true);
    BedNoFld = AddField(WideStr(), "BedNo", "底盘号", true, 50);
    ColorFld = AddField(WideStr(), "Color", "颜色", true, 50);
    SeatsFld = AddField(IntCls(), "Seats", "座位数", true);
    WeightFld = AddField(FloatCls(), "Weight", "载重", true);
    NotesFld = AddField(MemoCls(), "Notes", "备注", true);
    BuydateFld = AddField(DateCls(), "Buydate", "购买日期", true);
    BuyFundFld = AddField(FloatCls(), "BuyFund", "购买金额", true);
}

TCarSet::~TCarSet() = default;

RCar TCarSet::GetData() const
{
    RCar r;
    r.Id = IdFld->AsInteger();
    r.CarNo = CarNoFld->AsString();
    r.Brand = BrandFld->AsString();
    r.PartNo = PartNoFld->AsString();
    r.Engino = EnginoFld->AsString();
    r.BedNo = BedNoFld->AsString();
    r.Cartype = CartypeFld->AsString();
    r.Color = ColorFld->AsString();
    r.Manudate = Var(ManudateFld);
    r.Seats = Var(SeatsFld);
    r.Weight = Var(WeightFld);
    r.Notes = NotesFld->AsString();
    r.BuyFund = Var(BuyFundFld);
    r.Buydate = Var(BuydateFld);
    return r;
}

void TCarSet::SetData(const RCar& r)
{
    IdFld->SetAsInteger(r.Id);
    CarNoFld->SetAsString(r.CarNo);
    BrandFld->SetAsString(r.Brand);
    PartNoFld->SetAsString(r.PartNo);
    EnginoFld->SetAsString(r.Engino);
    BedNoFld->SetAsString(r.BedNo);
    CartypeFld->SetAsString(r.Cartype);
    ColorFld->SetAsString(r.Color);
    Put(ManudateFld, r.Manudate);
    Put(SeatsFld, r.Seats);
    Put(WeightFld, r.Weight);
    NotesFld->SetAsString(r.Notes);
    Put(BuyFundFld, r.BuyFund);
    Put(BuydateFld, r.Buydate);
}

std::string TCarSet::QuerySql()
{
    FWhere->FlushEdits();
    TCondition c(FWhere.get());
    c.Int(FWhere->IdFld, " and Id=%d");
    if (FWhere->HasText(FWhere->KeywordFld)) {
        const std::string k = qzLib::SqlText(FWhere->KeywordFld->AsString());
        c.Add(Format(" and (CarNo like '%%%s%%' or Brand like '%%%s%%' or PartNo like '%%%s%%' or "
                     "Engino like '%%%s%%' or Cartype like '%%%s%%' or BedNo like '%%%s%%' or "
                     "Notes like '%%%s%%')",
                     {k, k, k, k, k, k, k}));
    }
    return "select * from cars" + c.Result();
}

void TCarSet::Query() { Open(QuerySql()); }

bool TCarSet::Save(RCar& r)
{
    return SaveById(r, "cars",
                    "update cars set CarNo=:CarNo, Brand=:Brand, PartNo=:PartNo, Engino=:Engino, "
                    "Cartype=:Cartype, Manudate=:Manudate, BedNo=:BedNo, Color=:Color, Seats=:Seats, "
                    "Weight=:Weight, Notes=:Notes, Buydate=:Buydate, Buyfund=:Buyfund where Id=:Id",
                    "insert into cars(CarNo, Brand, PartNo, Engino, Cartype, Manudate, BedNo, Color, Seats, "
                    "Weight, Notes, Buydate, Buyfund, Id)values(:CarNo,:Brand,:PartNo,:Engino,:Cartype,"
                    ":Manudate,:BedNo,:Color,:Seats,:Weight,:Notes,:Buydate,:Buyfund,:Id)",
                    {MakeParam("CarNo", r.CarNo), MakeParam("Brand", r.Brand), MakeParam("Partno", r.PartNo),
                     MakeParam("Engino", r.Engino), MakeParam("Cartype", r.Cartype),
                     MakeParam("Manudate", r.Manudate), MakeParam("BedNo", r.BedNo), MakeParam("Color", r.Color),
                     MakeParam("Seats", r.Seats), MakeParam("Weight", r.Weight), MakeParam("Notes", r.Notes),
                     MakeParam("Buydate", r.Buydate), MakeParam("BuyFund", r.BuyFund)});
}

bool TCarSet::Delete(int id) { return DeleteById("delete from cars where Id=:Id", id); }

bool TCarSet::SaveToList(RCar& r)
{
    if (!Save(r)) return false;
    TDataSet* ds = DataSet();
    if (!ds->Active()) return true;
    if (ds->Locate("Id", Variant(r.Id), TLocateOptions{}))
        ds->Edit();
    else
        ds->Append();
    SetData(r);
    ds->Post();
    return true;
}

int TCarSet::GetCars(RCars& cars)
{
    cars.clear();
    TCarSet set;
    set.Query();
    TDataSet* ds = set.DataSet();
    ds->First();
    while (!ds->Eof()) {
        cars.push_back(set.GetData());
        ds->Next();
    }
    ds->Close();
    return int(cars.size());
}

// ---- fee items and exam items ----------------------------------------------------------------

TRecitemSet::TRecitemSet(TComponent* owner) : TRecordSet(owner)
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    NameFld = AddField(WideStr(), "Name", "名称", true, 30);
    NotesFld = AddField(WideStr(), "Notes", "备注", true, 50);
}

RRecitem TRecitemSet::GetData() const { return RRecitem{IdFld->AsInteger(), NameFld->AsString(), NotesFld->AsString()}; }

void TRecitemSet::SetData(const RRecitem& r)
{
    IdFld->SetAsInteger(r.Id);
    NameFld->SetAsString(r.Name);
    NotesFld->SetAsString(r.Notes);
}

void TRecitemSet::Query() { Open("select * from recitems order by Id"); }

bool TRecitemSet::Save(RRecitem& r)
{
    return SaveById(r, "recitems", "update recitems set Name=:Name, Notes=:Notes where Id=:Id",
                    "insert into recitems(Name, Notes, Id)values(:Name, :Notes, :Id)",
                    {MakeParam("Name", r.Name), MakeParam("Notes", r.Notes)});
}

bool TRecitemSet::Delete(int id) { return DeleteById("delete from recitems where Id=:Id", id); }

TExamitemSet::TExamitemSet(TComponent* owner) : TRecordSet(owner)
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    NameFld = AddField(WideStr(), "Name", "名称", true, 30);
    NotesFld = AddField(WideStr(), "Notes", "备注", true, 50);
}

RExamitem TExamitemSet::GetData() const
{
    return RExamitem{IdFld->AsInteger(), NameFld->AsString(), NotesFld->AsString()};
}

void TExamitemSet::SetData(const RExamitem& r)
{
    IdFld->SetAsInteger(r.Id);
    NameFld->SetAsString(r.Name);
    NotesFld->SetAsString(r.Notes);
}

void TExamitemSet::Query() { Open("select * from examitems order by Id"); }

bool TExamitemSet::Save(RExamitem& r)
{
    return SaveById(r, "examitems", "update examitems set Name=:Name, Notes=:Notes where Id=:Id",
                    "insert into examitems(Name, Notes, Id)values(:Name, :Notes, :Id)",
                    {MakeParam("Name", r.Name), MakeParam("Notes", r.Notes)});
}

bool TExamitemSet::Delete(int id) { return DeleteById("delete from examitems where Id=:Id", id); }

int TExamitemSet::GetExamitems(RExamitems& items)
{
    items.clear();
    TExamitemSet set;
    set.Query();
    TDataSet* ds = set.DataSet();
    ds->First();
    while (!ds->Eof()) {
        items.push_back(set.GetData());
        ds->Next();
    }
    ds->Close();
    return int(items.size());
}

// ---- TStudentSet ------------------------------------------------------------------------------

TStudentSet::TStudentSet(TComponent* owner) : TQuerySet(owner), FWhere(new TStudentWhere())
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    NameFld = AddField(WideStr(), "Name", "姓名", true, 30);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 6);
    IdcodeFld = AddField(WideStr(), "Idcode", "身份证号", true, 30);
    LinkTelFld = AddField(WideStr(), "LinkTel", "联系电话", true, 50);
    AddrFld = AddField(WideStr(), "Addr", "联系地址", true, 50);
    NativeFld = AddField(WideStr(), "Native", "籍贯", true, 20);
    NotesFld = AddField(MemoCls(), "Notes", "备注", true);
    SigndateFld = AddField(DateCls(), "Signdate", "报名日期", true);
    DrivetypeFld = AddField(WideStr(), "Drivetype", "报名车型", true, 20);
    SalemanIdFld = AddField(IntCls(), "SalemanId", "SalemanId", false);
    SalemanNameFld = AddField(WideStr(), "SalemanName", "业务员", true, 30);
}

TStudentSet::~TStudentSet() = default;

RStudent TStudentSet::AsData() const
{
    RStudent r;
    r.Id = IdFld->AsInteger();
    r.Name = NameFld->AsString();
    r.Sex = SexFld->AsString();
    r.Idcode = IdcodeFld->AsString();
    r.LinkTel = LinkTelFld->AsString();
    r.Addr = AddrFld->AsString();
    r.Native = NativeFld->AsString();
    r.Notes = NotesFld->AsString();
    r.Signdate = Var(SigndateFld);
    r.Drivetype = DrivetypeFld->AsString();
    r.SalemanId = Var(SalemanIdFld);
    r.SalemanName = SalemanNameFld->AsString();
    return r;
}

void TStudentSet::SetAsData(const RStudent& r)
{
    IdFld->SetAsInteger(r.Id);
    NameFld->SetAsString(r.Name);
    SexFld->SetAsString(r.Sex);
    IdcodeFld->SetAsString(r.Idcode);
    LinkTelFld->SetAsString(r.LinkTel);
    AddrFld->SetAsString(r.Addr);
    NativeFld->SetAsString(r.Native);
    NotesFld->SetAsString(r.Notes);
    Put(SigndateFld, r.Signdate);
    DrivetypeFld->SetAsString(r.Drivetype);
    Put(SalemanIdFld, r.SalemanId);
    SalemanNameFld->SetAsString(r.SalemanName);
}

std::string TStudentSet::QuerySql()
{
    TStudentWhere* w = FWhere.get();
    w->FlushEdits();
    TCondition c(w);
    c.DateFrom(w->Signdate1Fld, "s.Signdate");
    c.DateTo(w->Signdate2Fld, "s.Signdate");
    c.Text(w->ClassnameFld, " and l.Classname='%s'");
    c.Text(w->StunameFld, " and s.Name='%s'");
    c.Text(w->StutelFld, " and s.LinkTel like '%%%s%%'");
    c.Text(w->StusexFld, " and s.Sex='%s'");
    c.Bool(w->ClassIfFld, " and (not (l.Classdate is null))", " and (l.Classdate is null)");
    c.Bool(w->GraduatedFld, " and not (g.StudentId is null)", " and (g.StudentId is null)");
    c.Bool(w->GraduateTakeIfFld, " and not (g.Takedate is null)", " and (g.Takedate is null)");
    c.DateFrom(w->GraduateGrantdate1Fld, "g.Grantdate");
    c.DateTo(w->GraduateGrantdate2Fld, "g.Grantdate");
    c.Bool(w->DropoutedFld, " and not (p.StudentId is null)", " and (p.StudentId is null)");
    c.Int(w->IdFld, " and s.Id=%d");
    c.Int(w->SalemanIdFld, " and s.SalemanId=%d");
    c.Text(w->DrivetypeFld, " and s.Drivetype='%s'");
    c.Int(w->PassItemIdFld, " and s.Passinfo like '%%,%d,%%'");
    c.Int(w->UnpassItemIdFld, " and ((s.Passinfo is null) or (s.Passinfo not like '%%,%d,%%'))");
    c.Int(w->AppItemIdFld, " and s.Appsinfo like '%%,%d,%%'");
    c.Int(w->UnappItemIdFld, " and ((s.Appsinfo is null) or (s.Appsinfo not like '%%,%d,%%'))");
    // The trainer and car nodes of the main window list the students placed
    // with that trainer or car.
    c.Int(w->TeacherIdFld, " and l.TeacherId=%d");
    c.Int(w->CarIdFld, " and l.CarId=%d");
    return Format("select s.*, e1.Name as SalemanName  from ((((students s left join employees e1 on "
                  "s.SalemanId=e1.Id) left join classes l on l.StudentId=s.Id)  left join graduates g on "
                  "g.StudentId=s.Id)  left join dropouts p on p.StudentId=s.Id)  %s order by s.Id",
                  {c.Result()});
}

void TStudentSet::Query() { Open(QuerySql()); }

bool TStudentSet::Save(RStudent& r)
{
    return SaveById(r, "students",
                    "update students set Name=:Name, Sex=:Sex, Idcode=:Idcode, LinkTel=:LinkTel, Addr=:Addr, "
                    "Native=:Native, Notes=:Notes, Signdate=:Signdate, Drivetype=:Drivetype, "
                    "SalemanId=:SalemanId where Id=:Id",
                    "insert into students(Name, Sex, Idcode, LinkTel, Addr, Native, Notes, Signdate, Drivetype, "
                    "SalemanId, Id)values(:Name,:Sex,:Idcode,:LinkTel,:Addr, :Native,:Notes,:Signdate,"
                    ":Drivetype,:SalemanId,:Id)",
                    {MakeParam("Name", r.Name), MakeParam("Sex", r.Sex), MakeParam("Idcode", r.Idcode),
                     MakeParam("LinkTel", r.LinkTel), MakeParam("Addr", r.Addr), MakeParam("Native", r.Native),
                     MakeParam("Notes", r.Notes), MakeParam("Signdate", r.Signdate),
                     MakeParam("Drivetype", r.Drivetype), MakeParam("SalemanId", r.SalemanId)});
}

bool TStudentSet::Delete(int id)
{
    static const char* const dependents[] = {
        "delete from dropouts where StudentId=:StudentId", "delete from graduates where StudentId=:StudentId",
        "delete from receipts where StudentId=:StudentId", "delete from exams where StudentId=:StudentId",
        "delete from classes where StudentId=:StudentId",
    };
    // Inside a caller's transaction the caller's commit or rollback decides.
    const bool own = !GDatabase->InTransaction();
    if (own) GDatabase->BeginTrans();
    bool deleted = false;
    try {
        for (const char* sql : dependents) GDatabase->ExecSQL(sql, {MakeParam("StudentId", id)});
        deleted = GDatabase->ExecSQL("delete from students where Id=:Id", {MakeParam("Id", id)}) == 1;
        if (own) GDatabase->CommitTrans();
    } catch (...) {
        if (own) {
            try {
                GDatabase->RollbackTrans();
            } catch (...) {
            }
        }
        throw;
    }
    return deleted;
}

int TStudentSet::GetDrivetypes(RDrivetypes& types)
{
    types.clear();
    GRecordSet->Open("select distinct Drivetype from students");
    TDataSet* ds = GRecordSet->DataSet();
    ds->First();
    while (!ds->Eof()) {
        types.push_back(ds->Fields()->Fields(0)->AsString());
        ds->Next();
    }
    ds->Close();
    return int(types.size());
}

bool TStudentSet::RefreshExamInfo(int studentId)
{
    auto collect = [studentId](const std::string& sql) {
        GRecordSet->Open(sql, {MakeParam("StudentId", studentId)});
        TDataSet* ds = GRecordSet->DataSet();
        std::string info = ",";
        ds->First();
        while (!ds->Eof()) {
            info += ds->Fields()->Fields(0)->AsString() + ",";
            ds->Next();
        }
        ds->Close();
        return info;
    };
    const std::string passinfo =
        collect("select distinct ItemId from exams where StudentId=:StudentId and abs(IsPass)=1 order by ItemId");
    const std::string appsinfo = collect("select distinct ItemId from exams where StudentId=:StudentId and "
                                         "(Examdate is null) and abs(IsPass)=0 order by ItemId");
    return GDatabase->ExecSQL("update students set Passinfo=:Passinfo, Appsinfo=:Appsinfo where Id=:Id",
                              {MakeParam("Passinfo", passinfo), MakeParam("Appsinfo", appsinfo),
                               MakeParam("Id", studentId)}) == 1;
}

// ---- TReceiptSet ------------------------------------------------------------------------------

TReceiptSet::TReceiptSet(TComponent* owner) : TQuerySet(owner), FWhere(new TReceiptWhere())
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    StudentIdFld = AddField(IntCls(), "StudentId", "StudentId", false);
    StudentNameFld = AddField(WideStr(), "StudentName", "学员姓名", true, 30);
    SigndateFld = AddField(DateCls(), "Signdate", "报名日期", true);
    DrivetypeFld = AddField(WideStr(), "Drivetype", "驾照类型", true, 30);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 10);
    LinkTelFld = AddField(WideStr(), "LinkTel", "联系电话", true, 50);
    ClassnameFld = AddField(WideStr(), "Classname", "班级类别", true, 30);
    RecdateFld = AddField(DateCls(), "Recdate", "收款日期", true);
    RecItemIdFld = AddField(IntCls(), "RecItemId", "RecItemId", false);
    RecItemNameFld = AddField(WideStr(), "RecItemName", "收费项目", true, 30);
    RecSignFld = AddField(IntCls(), "RecSign", "方向", true);
    RecfundFld = AddField(FloatCls(), "Recfund", "金额", true);
    TreasurerFld = AddField(WideStr(), "Treasurer", "收款人", true, 30);
    dlNoteFld = AddField(WideStr(), "dlNote", "备注", true, 50);
}

TReceiptSet::~TReceiptSet() = default;

RReceipt TReceiptSet::AsData() const
{
    RReceipt r;
    r.Id = IdFld->AsInteger();
    r.StudentId = StudentIdFld->AsInteger();
    r.StudentName = StudentNameFld->AsString();
    r.Signdate = Var(SigndateFld);
    r.Drivetype = DrivetypeFld->AsString();
    r.Sex = SexFld->AsString();
    r.LinkTel = LinkTelFld->AsString();
    r.Classname = ClassnameFld->AsString();
    r.Recdate = Var(RecdateFld);
    r.RecItemId = Var(RecItemIdFld);
    r.RecItemName = RecItemNameFld->AsString();
    r.RecSign = RecSignFld->AsInteger();
    r.Recfund = Var(RecfundFld);
    r.Treasurer = TreasurerFld->AsString();
    r.dlNote = dlNoteFld->AsString();
    return r;
}

void TReceiptSet::SetAsData(const RReceipt& r)
{
    IdFld->SetAsInteger(r.Id);
    StudentIdFld->SetAsInteger(r.StudentId);
    StudentNameFld->SetAsString(r.StudentName);
    Put(SigndateFld, r.Signdate);
    DrivetypeFld->SetAsString(r.Drivetype);
    SexFld->SetAsString(r.Sex);
    LinkTelFld->SetAsString(r.LinkTel);
    ClassnameFld->SetAsString(r.Classname);
    Put(RecdateFld, r.Recdate);
    Put(RecItemIdFld, r.RecItemId);
    RecItemNameFld->SetAsString(r.RecItemName);
    RecSignFld->SetAsInteger(r.RecSign);
    Put(RecfundFld, r.Recfund);
    TreasurerFld->SetAsString(r.Treasurer);
    dlNoteFld->SetAsString(r.dlNote);
}

std::string TReceiptSet::QuerySql()
{
    TReceiptWhere* w = FWhere.get();
    TCondition c(w);
    c.Int(w->StudentIdFld, " and r.StudentId=%d");
    c.Int(w->FareItemIdFld, " and r.RecItemId=%d");
    c.Int(w->SignIdFld, " and r.RecSign=%d");
    c.Float(w->Fund1Fld, " and r.Recfund>=%f");
    c.Float(w->Fund2Fld, " and r.Recfund<=%f");
    c.DateFrom(w->Recdate1Fld, "r.Recdate");
    c.DateTo(w->Recdate2Fld, "r.Recdate");
    c.Text(w->TreasurerFld, " and r.Treasurer='%s'");
    return Format("select r.*, s.Name as StudentName, s.Signdate, s.Sex, s.LinkTel, s.Drivetype, l.Classname, "
                  "m.Name as RecItemName from (((receipts r left join students s on r.StudentId=s.Id) left join "
                  "recitems m on r.RecitemId=m.Id)  left join classes l on l.StudentId=r.StudentId)  %s "
                  "order by r.Id",
                  {c.Result()});
}

void TReceiptSet::Query() { Open(QuerySql()); }

bool TReceiptSet::Save(RReceipt& r)
{
    return SaveById(r, "receipts",
                    "update receipts set StudentId=:StudentId, Recdate=:Recdate, RecItemId=:RecItemId, "
                    "RecSign=:RecSign, Recfund=:Recfund, Treasurer=:Treasurer, dlNote=:dlNote where Id=:Id",
                    "insert into receipts(StudentId, Recdate, RecItemId, RecSign, Recfund, Treasurer, dlNote, Id)"
                    "values(:StudentId,:Recdate,:RecItemId,:RecSign,:Recfund,:Treasurer,:dlNote,:Id)",
                    {MakeParam("StudentId", r.StudentId), MakeParam("Recdate", r.Recdate),
                     MakeParam("RecItemId", r.RecItemId), MakeParam("RecSign", r.RecSign),
                     MakeParam("Recfund", r.Recfund), MakeParam("Treasurer", r.Treasurer),
                     MakeParam("dlNote", r.dlNote)});
}

bool TReceiptSet::Delete(int id) { return DeleteById("delete from receipts where Id=:Id", id); }

// ---- TExamSet ---------------------------------------------------------------------------------

TExamSet::TExamSet(TComponent* owner) : TQuerySet(owner), FWhere(new TExamWhere())
{
    IdFld = AddField(IntCls(), "Id", "Id", false);
    StudentIdFld = AddField(IntCls(), "StudentId", "StudentId", false);
    StudentNameFld = AddField(WideStr(), "StudentName", "学员姓名", true, 30);
    SigndateFld = AddField(DateCls(), "Signdate", "报名日期", true);
    DrivetypeFld = AddField(WideStr(), "Drivetype", "驾照类型", true, 30);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 10);
    LinkTelFld = AddField(WideStr(), "LinkTel", "联系电话", true, 50);
    IdCodeFld = AddField(WideStr(), "IdCode", "身份证号", true, 50);
    ClassnameFld = AddField(WideStr(), "Classname", "班级类别", true, 30);
    AppdateFld = AddField(DateCls(), "Appdate", "预约日期", true);
    ExamdateFld = AddField(DateCls(), "Examdate", "考试日期", true);
    ItemIdFld = AddField(IntCls(), "ItemId", "ItemId", false);
    ItemNameFld = AddField(WideStr(), "ItemName", "科目", true, 30);
    PointFld = AddField(IntCls(), "Point", "分数", true);
    IsPassFld = AddField(BoolCls(), "IsPass", "是否通过", true);
    IsPassFld->SetAlignment(taCenter);
    static_cast<TBooleanField*>(IsPassFld)->SetDisplayValues("√;-");
    dlNoteFld = AddField(WideStr(), "dlNote", "备注", true, 50);
}

TExamSet::~TExamSet() = default;

RExam TExamSet::AsData() const
{
    RExam r;
    r.Id = IdFld->AsInteger();
    r.StudentId = Var(StudentIdFld);
    r.StudentName = StudentNameFld->AsString();
    r.Signdate = Var(SigndateFld);
    r.Drivetype = DrivetypeFld->AsString();
    r.Sex = SexFld->AsString();
    r.LinkTel = LinkTelFld->AsString();
    r.IdCode = IdCodeFld->AsString();
    r.Appdate = Var(AppdateFld);
    r.Examdate = Var(ExamdateFld);
    r.ItemId = Var(ItemIdFld);
    r.ItemName = ItemNameFld->AsString();
    r.Point = PointFld->AsInteger();
    r.IsPass = !IsPassFld->IsNull() && IsPassFld->AsBoolean();
    r.dlNote = dlNoteFld->AsString();
    return r;
}

void TExamSet::SetAsData(const RExam& r)
{
    IdFld->SetAsInteger(r.Id);
    Put(StudentIdFld, r.StudentId);
    StudentNameFld->SetAsString(r.StudentName);
    Put(SigndateFld, r.Signdate);
    DrivetypeFld->SetAsString(r.Drivetype);
    SexFld->SetAsString(r.Sex);
    LinkTelFld->SetAsString(r.LinkTel);
    IdCodeFld->SetAsString(r.IdCode);
    Put(AppdateFld, r.Appdate);
    Put(ExamdateFld, r.Examdate);
    Put(ItemIdFld, r.ItemId);
    ItemNameFld->SetAsString(r.ItemName);
    PointFld->SetAsInteger(r.Point);
    IsPassFld->SetAsBoolean(r.IsPass);
    dlNoteFld->SetAsString(r.dlNote);
}

std::string TExamSet::QuerySql()
{
    TExamWhere* w = FWhere.get();
    w->FlushEdits();
    TCondition c(w);
    c.Int(w->StudentIdFld, " and x.StudentId=%d");
    c.Int(w->ItemIdFld, " and x.Itemid=%d");
    c.Bool(w->IsPassFld, " and abs(x.IsPass)=1", " and abs(x.IsPass)=0");
    c.Float(w->Point1Fld, " and x.Point>=%f");
    c.Float(w->Point2Fld, " and x.Point<=%f");
    c.DateFrom(w->Examdate1Fld, "x.Examdate");
    c.DateTo(w->Examdate2Fld, "x.Examdate");
    c.DateFrom(w->Appdate1Fld, "x.Appdate");
    c.DateTo(w->Appdate2Fld, "x.Appdate");
    return Format("select x.*, s.Signdate, s.Sex, s.LinkTel, s.IdCode, s.Drivetype, s.Name as StudentName, "
                  "m.Name as ItemName, l.Classname  from (((exams x left join students s on x.StudentId=s.Id)  "
                  "left join examitems m on x.ItemId=m.Id)  left join classes l on l.StudentId=x.StudentId)  %s "
                  "order by x.Id",
                  {c.Result()});
}

void TExamSet::Query() { Open(QuerySql()); }

bool TExamSet::Save(RExam& r)
{
    const bool saved = SaveById(
        r, "exams",
        "update exams set StudentId=:StudentId, Appdate=:Appdate, Examdate=:Examdate, ItemId=:ItemId, "
        "Point=:Point, IsPass=:IsPass, dlNote=:dlNote where Id=:Id",
        "insert into exams(StudentId, Appdate, Examdate, ItemId, Point, IsPass, dlNote, Id)"
        "values(:StudentId,:Appdate,:Examdate,:ItemId,:Point,:IsPass,:dlNote,:Id)",
        {MakeParam("StudentId", r.StudentId), MakeParam("Appdate", r.Appdate), MakeParam("Examdate", r.Examdate),
         MakeParam("ItemId", r.ItemId), MakeParam("Point", r.Point), MakeParam("IsPass", r.IsPass),
         MakeParam("dlNote", r.dlNote)});
    if (!saved) return false;
    return TStudentSet::RefreshExamInfo(r.StudentId.IsNull() ? 0 : r.StudentId.AsInteger());
}

bool TExamSet::Delete(int id)
{
    GRecordSet->Open("select StudentId from exams where Id=:Id", {MakeParam("Id", id)});
    TDataSet* ds = GRecordSet->DataSet();
    const int studentId = ds->IsEmpty() ? 0 : ds->Fields()->Fields(0)->AsInteger();
    ds->Close();
    if (GDatabase->ExecSQL("delete from exams where Id=:Id", {MakeParam("Id", id)}) != 1) return false;
    return TStudentSet::RefreshExamInfo(studentId);
}

// ---- TClassSet --------------------------------------------------------------------------------

TClassSet::TClassSet(TComponent* owner) : TQuerySet(owner) {}

bool TClassSet::Save(const RClass& r)
{
    const TDBParameters params = {MakeParam("Classdate", r.Classdate), MakeParam("Classname", r.Classname),
                                  MakeParam("TeacherId", r.TeacherId), MakeParam("CarId", r.CarId),
                                  MakeParam("Notes", r.Notes),         MakeParam("StudentId", r.StudentId)};
    return SaveByStudent(r.StudentId, "select StudentId from classes where StudentId=:StudentId",
                         "insert into classes(Classdate, Classname, TeacherId, CarId, Notes, StudentId)"
                         "values(:Classdate,:Classname,:TeacherId,:CarId,:Notes,:StudentId)",
                         "update classes set Classdate=:Classdate, Classname=:Classname, "
                         "TeacherId=:TeacherId, CarId=:CarId, Notes=:Notes where StudentId=:StudentId",
                         params);
}

bool TClassSet::Delete(int studentId)
{
    return GDatabase->ExecSQL("delete from classes where StudentId=:Id", {MakeParam("Id", studentId)}) == 1;
}

bool TClassSet::LoadByStudent(int studentId, RClass& r)
{
    return LoadByStudentRow(
        studentId, r,
        "select c.*, n.Name as StudentName, e.Name as TeacherName, a.CarNo from (((classes c left join students n "
        "on n.Id=c.StudentId) left join employees e on e.Id=c.TeacherId) left join cars a on a.Id=c.CarId) "
        "where c.StudentId=:StudentId",
        [&r](TDataSet* ds) {
            r.Classdate = VarOf(ds, "Classdate");
            r.Classname = TextOf(ds, "Classname");
            r.TeacherId = VarOf(ds, "TeacherId");
            r.CarId = VarOf(ds, "CarId");
            r.TeacherName = TextOf(ds, "TeacherName");
            r.CarNo = TextOf(ds, "CarNo");
            r.Notes = TextOf(ds, "Notes");
        });
}

// ---- TGraduateSet -----------------------------------------------------------------------------

TGraduateSet::TGraduateSet(TComponent* owner) : TQuerySet(owner), FWhere(new TGraduateWhere())
{
    IdFld = AddField(IntCls(), "StudentId", "StudentId", false);
    StudentNameFld = AddField(WideStr(), "StudentName", "学员姓名", true, 30);
    SigndateFld = AddField(DateCls(), "Signdate", "报名日期", true);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 10);
    LinkTelFld = AddField(WideStr(), "LinkTel", "联系电话", true, 50);
    ClassnameFld = AddField(WideStr(), "Classname", "班级类别", true, 30);
    GrantdateFld = AddField(DateCls(), "Grantdate", "领证日期", true);
    ValidateFld = AddField(DateCls(), "Validate", "有效起始日期", true);
    ValimonthFld = AddField(IntCls(), "Valimonth", "有效月份", true);
    DocumentNoFld = AddField(WideStr(), "DocumentNo", "档案编号", true, 50);
    DrivetypeFld = AddField(WideStr(), "Drivetype", "驾照类型", true, 30);
    TakedateFld = AddField(DateCls(), "Takedate", "领取日期", true);
    HandmanFld = AddField(WideStr(), "Handman", "经办人", true);
    NotesFld = AddField(WideStr(), "Notes", "备注", true, 150);
}

TGraduateSet::~TGraduateSet() = default;

std::string TGraduateSet::QuerySql()
{
    TGraduateWhere* w = FWhere.get();
    TCondition c(w);
    c.DateFrom(w->Grantdate1Fld, "g.Grantdate");
    c.DateTo(w->Grantdate2Fld, "g.Grantdate");
    c.Text(w->DrivetypeFld, " and t.Drivetype='%s'");
    c.Bool(w->TakeIfFld, " and not (g.Takedate is null)", " and (g.Takedate is null)");
    c.Int(w->SalesmanIdFld, " and t.SalemanId=%d");
    c.Int(w->TeacherIdFld, " and l.TeacherId=%d");
    c.Text(w->ClassnameFld, " and l.Classname='%s'");
    const std::string stmt = "select g.*, t.Signdate, t.Sex, t.LinkTel, t.Name as StudentName, l.Classname  from "
                             "((graduates g left join students t on t.Id=g.StudentId) left join classes l on "
                             "l.StudentId=g.StudentId)  %where ";
    return StringReplace(stmt, "%where", c.Result(), TReplaceFlags{});
}

void TGraduateSet::Query() { Open(QuerySql()); }

bool TGraduateSet::Save(const RGraduate& r)
{
    const TDBParameters params = {
        MakeParam("Grantdate", r.Grantdate),   MakeParam("Validate", r.Validate),
        MakeParam("Valimonth", r.Valimonth),   MakeParam("DocumentNo", r.DocumentNo),
        MakeParam("Drivetype", r.Drivetype),   MakeParam("Takedate", r.Takedate),
        MakeParam("Handman", r.Handman),       MakeParam("Notes", r.Notes),
        MakeParam("StudentId", r.StudentId)};
    return SaveByStudent(r.StudentId, "select StudentId from graduates where StudentId=:StudentId",
                         "insert into graduates(Grantdate, Validate, Valimonth, DocumentNo, Drivetype, "
                         "Takedate, Handman, Notes, StudentId)values(:Grantdate,:Validate,:Valimonth,"
                         ":DocumentNo,:Drivetype,:Takedate,:Handman,:Notes,:StudentId)",
                         "update graduates set Grantdate=:Grantdate, Validate=:Validate, "
                         "Valimonth=:Valimonth, DocumentNo=:DocumentNo, Drivetype=:Drivetype, "
                         "Takedate=:Takedate, Handman=:Handman, Notes=:Notes where StudentId=:StudentId",
                         params);
}

bool TGraduateSet::Delete(int studentId)
{
    return GDatabase->ExecSQL("delete from graduates where StudentId=:StudentId",
                              {MakeParam("StudentId", studentId)}) == 1;
}

bool TGraduateSet::LoadByStudent(int studentId, RGraduate& r)
{
    return LoadByStudentRow(
        studentId, r,
        "select g.*, n.Name as StudentName  from (graduates g left join students n on "
        "n.Id=g.StudentId) where g.StudentId=:StudentId",
        [&r](TDataSet* ds) {
            r.Grantdate = VarOf(ds, "Grantdate");
            r.Validate = VarOf(ds, "Validate");
            r.Valimonth = VarOf(ds, "Valimonth");
            r.DocumentNo = TextOf(ds, "DocumentNo");
            r.Drivetype = TextOf(ds, "Drivetype");
            r.Takedate = VarOf(ds, "Takedate");
            r.Handman = TextOf(ds, "Handman");
            r.Notes = TextOf(ds, "Notes");
        });
}

// ---- TDropoutSet ------------------------------------------------------------------------------

TDropoutSet::TDropoutSet(TComponent* owner) : TQuerySet(owner), FWhere(new TDropoutWhere())
{
    StudentIdFld = AddField(IntCls(), "StudentId", "StudentId", false);
    StudentNameFld = AddField(WideStr(), "StudentName", "学员姓名", true, 50);
    SigndateFld = AddField(DateCls(), "Signdate", "报名日期", true);
    DrivetypeFld = AddField(WideStr(), "Drivetype", "驾照类型", true, 50);
    SexFld = AddField(WideStr(), "Sex", "性别", true, 30);
    LinkTelFld = AddField(WideStr(), "LinkTel", "联系电话", true, 50);
    ClassnameFld = AddField(WideStr(), "Classname", "班级类别", true, 30);
    DropdateFld = AddField(DateCls(), "Dropdate", "退学日期", true);
    ReasonsFld = AddField(WideStr(), "Reasons", "退学事因", true, 50);
    RetfundFld = AddField(FloatCls(), "Retfund", "退还费用", true);
    HandmanFld = AddField(WideStr(), "Handman", "经办人", true, 30);
    NotesFld = AddField(WideStr(), "Notes", "备注", true, 50);
}

TDropoutSet::~TDropoutSet() = default;

std::string TDropoutSet::QuerySql()
{
    TDropoutWhere* w = FWhere.get();
    TCondition c(w);
    c.DateFrom(w->Dropdate1Fld, "p.Dropdate");
    c.DateTo(w->Dropdate2Fld, "p.Dropdate");
    c.Text(w->ReasonsFld, " and p.Reasons like '%%%s%%'");
    c.Float(w->Retfund1Fld, " and p.Retfund>=%f");
    c.Float(w->Retfund2Fld, " and p.Retfund<=%f");
    c.Int(w->TeacherIdFld, " and l.TeacherId=%d");
    c.Int(w->SalesmanIdFld, " and t.SalemanId=%d");
    c.Text(w->ClassnameFld, " and l.Classname='%s'");
    // The query window fills the licence class too; it restricts the list
    // to students of that class, as it does for graduates.
    c.Text(w->DrivetypeFld, " and t.Drivetype='%s'");
    const std::string stmt = "select p.*, t.Signdate, t.Sex, t.LinkTel, t.Drivetype, t.Name as StudentName, "
                             "l.Classname  from ((dropouts p left join students t on t.Id=p.StudentId)  left join "
                             "classes l on l.StudentId=p.StudentId)  %where ";
    return StringReplace(stmt, "%where", c.Result(), TReplaceFlags{});
}

void TDropoutSet::Query() { Open(QuerySql()); }

bool TDropoutSet::Save(const RDropout& r)
{
    const TDBParameters params = {MakeParam("Dropdate", r.Dropdate), MakeParam("Reasons", r.Reasons),
                                  MakeParam("Retfund", r.Retfund),   MakeParam("Handman", r.Handman),
                                  MakeParam("Notes", r.Notes),       MakeParam("StudentId", r.StudentId)};
    return SaveByStudent(r.StudentId, "select StudentId from dropouts where StudentId=:StudentId",
                         "insert into dropouts(Dropdate, Reasons, Retfund, Handman, Notes, StudentId)"
                         "values(:Dropdate,:Reasons,:Retfund,:Handman,:Notes,:StudentId)",
                         "update dropouts set Dropdate=:Dropdate, Reasons=:Reasons, Retfund=:Retfund, "
                         "Handman=:Handman, Notes=:Notes where StudentId=:StudentId",
                         params);
}

bool TDropoutSet::Delete(int studentId)
{
    return GDatabase->ExecSQL("delete from dropouts where StudentId=:StudentId",
                              {MakeParam("StudentId", studentId)}) == 1;
}

bool TDropoutSet::LoadByStudent(int studentId, RDropout& r)
{
    return LoadByStudentRow(
        studentId, r,
        "select d.*, u.Name as StudentName  from (dropouts d left join students u on "
        "u.Id=d.StudentId) where d.StudentId=:StudentId",
        [&r](TDataSet* ds) {
            r.Dropdate = VarOf(ds, "Dropdate");
            r.Reasons = TextOf(ds, "Reasons");
            r.Retfund = VarOf(ds, "Retfund");
            r.Handman = TextOf(ds, "Handman");
            r.Notes = TextOf(ds, "Notes");
        });
}
