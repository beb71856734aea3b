#include "Uis.h"

#include "DB.h"
#include "DateUtils.h"
#include "EditForms.h"
#include "HostServices.h"
#include "Objs.h"
#include "Picker.h"
#include "SmallDlgs.h"
#include "StringLists.h"
#include "StuFind.h"
#include "SysUtils.h"
#include "qzLib.h"

#include <map>

QZ_CLASS_IMPL(TRecitemList, TRecitemSet)
QZ_CLASS_IMPL(TExamitemList, TExamitemSet)
QZ_CLASS_IMPL(TDutyList, TEmployeeSet)
QZ_CLASS_IMPL(TTrainerList, TDutyList)
QZ_CLASS_IMPL(TSalesmanList, TDutyList)
QZ_CLASS_IMPL(TCarList, TCarSet)
QZ_CLASS_IMPL(TStudentList, TStudentSet)
QZ_CLASS_IMPL(TReceiptList, TReceiptSet)
QZ_CLASS_IMPL(TExamList, TExamSet)

namespace {

constexpr const char* DeleteText = "\r\n确定要删除记录吗?\t";
constexpr const char* DutyTrainer = "教练员";
constexpr const char* DutySalesman = "业务员";

std::map<TImportKind, TImportRoutine>& ImportRoutines()
{
    static std::map<TImportKind, TImportRoutine> routines;
    return routines;
}

bool RunImport(TImportKind kind)
{
    const TImportRoutine& r = ImportRoutines()[kind];
    return r ? r() : false;
}

bool Confirm(const char* text)
{
    return MessageBox(text, "警告", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool HasRows(TDataSet* ds) { return ds->Active() && !ds->IsEmpty(); }

// The second half of every save: the list's row of the record's Id (a new
// row when there is none) gets the record, so a grid over the list shows the
// change at once. A list that was never opened has no rows to patch.
template <class Write> void PatchRow(TDataSet* ds, int id, Write write)
{
    if (!ds->Active()) return;
    if (ds->Locate("Id", Variant(id), TLocateOptions{}))
        ds->Edit();
    else
        ds->Append();
    try {
        write();
        ds->Post();
    } catch (...) {
        ds->Cancel();
        throw;
    }
}

// After a confirmation, the current row's record deleted in the database
// and, when that worked, the row.
template <class Del> void DeleteRow(TDataSet* ds, TField* idField, const char* text, Del del)
{
    if (!HasRows(ds)) return;
    if (!Confirm(text)) return;
    if (del(idField->AsInteger())) ds->Delete();
}

// The current row to the pick handler; false without a handler or a row
// (an empty list has no record to hand over).
template <class R, class Get> bool Pick(const TPickEvent<R>& onPick, TDataSet* ds, Get get)
{
    return onPick && HasRows(ds) ? onPick(get()) : false;
}

// The opener's form made, shown modally and freed; true when it closed with OK.
template <class F> bool ShowForm(F* form)
{
    std::unique_ptr<F> f(form);
    return f->ShowModal() == mrOk;
}

}  // namespace

namespace Uis {

void SetImportRoutine(TImportKind kind, TImportRoutine routine) { ImportRoutines()[kind] = std::move(routine); }

}  // namespace Uis

// ---- fee items and exam items -------------------------------------------------------------

TRecitemList::TRecitemList(TComponent* owner) : TRecitemSet(owner) {}

bool TRecitemList::SaveRecitem(RRecitem& r)
{
    if (!TRecitemSet::Save(r)) return false;
    PatchRow(DataSet(), r.Id, [&] { SetData(r); });
    return true;
}

void TRecitemList::Add()
{
    TRecitemEditFrm::Execute(Uis::InitRecitem(), [this](RRecitem& r) { return SaveRecitem(r); });
}

void TRecitemList::Edit()
{
    TRecitemEditFrm::Execute(HasRows(DataSet()) ? GetData() : Uis::InitRecitem(),
                             [this](RRecitem& r) { return SaveRecitem(r); });
}

void TRecitemList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TRecitemSet::Delete); }

bool TRecitemList::Select() { return Pick(OnPick, DataSet(), [this] { return GetData(); }); }

TExamitemList::TExamitemList(TComponent* owner) : TExamitemSet(owner) {}

bool TExamitemList::SaveExamitem(RExamitem& r)
{
    if (!TExamitemSet::Save(r)) return false;
    PatchRow(DataSet(), r.Id, [&] { SetData(r); });
    return true;
}

void TExamitemList::Add()
{
    TExamitemEditFrm::Execute(Uis::InitExamitem(), [this](RExamitem& r) { return SaveExamitem(r); });
}

void TExamitemList::Edit()
{
    TExamitemEditFrm::Execute(HasRows(DataSet()) ? GetData() : Uis::InitExamitem(),
                              [this](RExamitem& r) { return SaveExamitem(r); });
}

void TExamitemList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TExamitemSet::Delete); }

bool TExamitemList::Select() { return Pick(OnPick, DataSet(), [this] { return GetData(); }); }

// ---- trainers and salesmen ------------------------------------------------------------------

TDutyList::TDutyList(TComponent* owner, const std::string& duty) : TEmployeeSet(owner), FDuty(duty) {}

void TDutyList::Query()
{
    Where()->DutyFld->SetAsString(FDuty);
    TEmployeeSet::Query();
}

bool TDutyList::SaveEmployee(REmployee& r)
{
    if (!TEmployeeSet::Save(r)) return false;
    PatchRow(DataSet(), r.Id, [&] { SetAsData(r); });
    return true;
}

void TDutyList::Add()
{
    REmployee r = Uis::InitEmployee();
    r.Duty = FDuty;
    TEmployeeEditFrm::Execute(r, [this](REmployee& e) { return SaveEmployee(e); });
}

void TDutyList::Edit()
{
    // With no row to edit the form starts a new employee of the list's duty,
    // so that he shows in this list when it is queried again.
    if (!HasRows(DataSet())) {
        Add();
        return;
    }
    TEmployeeEditFrm::Execute(AsData(), [this](REmployee& e) { return SaveEmployee(e); });
}

void TDutyList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TEmployeeSet::Delete); }

bool TDutyList::Import() { return RunImport(TImportKind::Employees); }

bool TDutyList::Select() { return Pick(OnPick, DataSet(), [this] { return AsData(); }); }

int TDutyList::GetAll(TDutyList& list, REmployees& out)
{
    out.clear();
    list.Query();
    TDataSet* ds = list.DataSet();
    out.resize(ds->RecordCount());
    for (ds->First(); !ds->Eof(); ds->Next()) out.at(ds->RecNo() - 1) = list.AsData();
    ds->Close();
    return int(out.size());
}

TTrainerList::TTrainerList(TComponent* owner) : TDutyList(owner, DutyTrainer) {}

int TTrainerList::GetTrainers(REmployees& out)
{
    TTrainerList list;
    return GetAll(list, out);
}

TSalesmanList::TSalesmanList(TComponent* owner) : TDutyList(owner, DutySalesman) {}

int TSalesmanList::GetSalesmen(REmployees& out)
{
    TSalesmanList list;
    return GetAll(list, out);
}

// ---- cars -------------------------------------------------------------------------------------

TCarList::TCarList(TComponent* owner) : TCarSet(owner) {}

void TCarList::Add()
{
    TCarEditFrm::Execute(Uis::InitCar(), [this](RCar& r) { return SaveToList(r); });
}

void TCarList::Edit()
{
    if (!HasRows(DataSet())) return;
    TCarEditFrm::Execute(GetData(), [this](RCar& r) { return SaveToList(r); });
}

void TCarList::Delete() { DeleteRow(DataSet(), IdFld, "\r\n确定要删除记录吗?\t\t", &TCarSet::Delete); }

void TCarList::Refresh() { Query(); }

bool TCarList::Import() { return RunImport(TImportKind::Cars); }

bool TCarList::Select() { return Pick(OnPick, DataSet(), [this] { return GetData(); }); }

// ---- students ---------------------------------------------------------------------------------

TStudentList::TStudentList(TComponent* owner) : TStudentSet(owner) {}

bool TStudentList::SaveStudent(RStudent& r)
{
    if (!TStudentSet::Save(r)) return false;
    PatchRow(DataSet(), r.Id, [&] { SetAsData(r); });
    return true;
}

void TStudentList::Add()
{
    TStudentEditFrm::Execute(Uis::InitStudent(), [this](RStudent& r) { return SaveStudent(r); });
}

void TStudentList::Edit()
{
    TStudentEditFrm::Execute(HasRows(DataSet()) ? AsData() : Uis::InitStudent(),
                             [this](RStudent& r) { return SaveStudent(r); });
}

void TStudentList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TStudentSet::Delete); }

bool TStudentList::Import() { return RunImport(TImportKind::Students); }

// The graduation, class and drop-out operations work on the current
// student; with none (a closed or empty list) they do nothing, so no record
// of a student that does not exist is made.
namespace {

// The form of a student's record (graduation, class, drop-out) on the
// record, saved by its set; true when it closed with OK.
template <class Form, class Set, class R> bool OpenStudentForm(const R& r)
{
    return ShowForm(Form::CreateFor(nullptr, [](R& x) { return Set::Save(x); }, r));
}

// A new record of the current student, filled further by the caller.
template <class Form, class Set, class R, class Fill> bool NewOfStudent(TStudentList& list, Fill fill)
{
    if (!HasRows(list.DataSet())) return false;
    const RStudent s = list.AsData();
    R r;
    r.StudentId = s.Id;
    r.StudentName = s.Name;
    fill(r);
    return OpenStudentForm<Form, Set>(r);
}

// The stored record of the current student; false when there is none.
template <class Form, class Set, class R> bool EditOfStudent(TStudentList& list)
{
    if (!HasRows(list.DataSet())) return false;
    R r;
    if (!Set::LoadByStudent(list.IdFld->AsInteger(), r)) return false;
    return OpenStudentForm<Form, Set>(r);
}

template <class Set> bool DeleteOfStudent(TStudentList& list, const char* text)
{
    if (!HasRows(list.DataSet()) || !Confirm(text)) return false;
    return Set::Delete(list.IdFld->AsInteger());
}

}  // namespace

bool TStudentList::Graduate()
{
    return NewOfStudent<TGraduateEditFrm, TGraduateSet, RGraduate>(*this, [](RGraduate& g) {
        g.Grantdate = VarFromDateTime(Now());
        g.Validate = VarFromDateTime(Now());
        g.Valimonth = 6;
        g.Takedate = Null();
    });
}

bool TStudentList::EditGraduation() { return EditOfStudent<TGraduateEditFrm, TGraduateSet, RGraduate>(*this); }

bool TStudentList::UndoGraduation() { return DeleteOfStudent<TGraduateSet>(*this, "\r\n确定要删除毕业记录吗?\t"); }

bool TStudentList::CreateClass()
{
    return NewOfStudent<TClassEditFrm, TClassSet, RClass>(*this,
                                                          [](RClass& c) { c.Classdate = VarFromDateTime(Now()); });
}

bool TStudentList::EditClass() { return EditOfStudent<TClassEditFrm, TClassSet, RClass>(*this); }

bool TStudentList::DeleteClass() { return DeleteOfStudent<TClassSet>(*this, "\r\n确定要删除分班记录吗?\t"); }

bool TStudentList::Dropout()
{
    return NewOfStudent<TDropoutEditFrm, TDropoutSet, RDropout>(
        *this, [](RDropout& d) { d.Dropdate = VarFromDateTime(Now()); });
}

bool TStudentList::EditDropout() { return EditOfStudent<TDropoutEditFrm, TDropoutSet, RDropout>(*this); }

bool TStudentList::UndoDropout() { return DeleteOfStudent<TDropoutSet>(*this, "\r\n确定要撤消退学记录吗?\t"); }

void TStudentList::Find()
{
    ShowForm(TStuFindFrm::CreateFor(nullptr, [this](RStufind& f) { return ApplyFind(f); }));
}

bool TStudentList::ApplyFind(RStufind& f)
{
    TStudentWhere* w = Where();
    w->Clear();
    w->Signdate1Fld->SetValue(f.Signdate1);
    w->Signdate2Fld->SetValue(f.Signdate2);
    w->DropoutedFld->SetValue(f.Dropouted);
    w->GraduatedFld->SetValue(f.Graduated);
    w->TeacherIdFld->SetValue(f.TeacherId);
    w->SalemanIdFld->SetValue(f.SalemanId);
    w->ClassnameFld->SetAsString(f.Classname);
    w->StunameFld->SetAsString(f.Stuname);
    w->StusexFld->SetAsString(f.Stusex);
    w->StutelFld->SetAsString(f.Stutel);
    w->ClassIfFld->SetValue(f.ClassIf);
    w->DrivetypeFld->SetAsString(f.Drivetype);
    w->AppItemIdFld->SetValue(f.AppItemId);
    w->UnappItemIdFld->SetValue(f.UnappItemId);
    w->PassItemIdFld->SetValue(f.PassItemId);
    w->UnpassItemIdFld->SetValue(f.UnpassItemId);
    Query();
    return true;
}

// ---- receipts and exams -----------------------------------------------------------------------
//
// A receipt's or an exam's row also shows columns of its student, class and
// item that its form does not carry. After a save the row is read again
// from the database (with the student's other records), so those columns
// stay filled.
namespace {

template <class List, class R> void PatchSaved(List& list, const R& saved, const Variant& studentId)
{
    if (!list.DataSet()->Active()) return;
    R row = saved;
    typename List::inherited stored;
    stored.Where()->StudentIdFld->SetValue(studentId);
    stored.Query();
    if (stored.DataSet()->Locate("Id", Variant(saved.Id), TLocateOptions{})) row = stored.AsData();
    PatchRow(list.DataSet(), saved.Id, [&] { list.SetAsData(row); });
}

}  // namespace

TReceiptList::TReceiptList(TComponent* owner) : TReceiptSet(owner) {}

bool TReceiptList::SaveReceipt(RReceipt& r)
{
    if (!TReceiptSet::Save(r)) return false;
    PatchSaved(*this, r, Variant(r.StudentId));
    return true;
}

void TReceiptList::Add(const RStudent& student)
{
    RReceipt r;
    r.StudentId = student.Id;
    r.StudentName = student.Name;
    r.Recdate = VarFromDateTime(GDatabase->ServerNow());
    r.RecSign = 1;
    TReceiptEditFrm::Execute(r, [this](RReceipt& x) { return SaveReceipt(x); });
}

void TReceiptList::Edit()
{
    // Without a row there is no student to give a receipt to.
    if (!HasRows(DataSet())) return;
    TReceiptEditFrm::Execute(AsData(), [this](RReceipt& x) { return SaveReceipt(x); });
}

void TReceiptList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TReceiptSet::Delete); }

TExamList::TExamList(TComponent* owner) : TExamSet(owner) {}

bool TExamList::SaveExam(RExam& r)
{
    if (!TExamSet::Save(r)) return false;
    PatchSaved(*this, r, r.StudentId);
    return true;
}

void TExamList::Add(const RStudent& student)
{
    RExam r;
    r.StudentId = student.Id;
    r.StudentName = student.Name;
    r.Signdate = student.Signdate;
    r.Drivetype = student.Drivetype;
    r.Sex = student.Sex;
    r.LinkTel = student.LinkTel;
    r.IdCode = student.Idcode;
    TExamEditFrm::Execute(r, [this](RExam& x) { return SaveExam(x); });
}

void TExamList::Edit()
{
    if (!HasRows(DataSet())) return;
    TExamEditFrm::Execute(AsData(), [this](RExam& x) { return SaveExam(x); });
}

void TExamList::Delete() { DeleteRow(DataSet(), IdFld, DeleteText, &TExamSet::Delete); }

// ---- record routines --------------------------------------------------------------------------

namespace Uis {

QZ_CLASS_IMPL(TEdit, TqzEdit)
QZ_CLASS_IMPL(TComboBox, TqzComboBox)
QZ_CLASS_IMPL(TDateTimePicker, TqzDateTimePicker)
QZ_CLASS_IMPL(TMemo, TqzMemo)
QZ_CLASS_IMPL(TLabel, ::TLabel)

std::unique_ptr<TBooleanCell> NewBoolean(bool v) { return std::make_unique<TBooleanCell>(v); }
std::unique_ptr<TRecordCell<RStudent>> CopyStudent(const RStudent& r) { return std::make_unique<TRecordCell<RStudent>>(r); }
std::unique_ptr<TRecordCell<RRecitem>> CopyRecitem(const RRecitem& r) { return std::make_unique<TRecordCell<RRecitem>>(r); }
std::unique_ptr<TRecordCell<RExamitem>> CopyExamitem(const RExamitem& r) { return std::make_unique<TRecordCell<RExamitem>>(r); }
std::unique_ptr<TRecordCell<REmployee>> CopyEmployee(const REmployee& r) { return std::make_unique<TRecordCell<REmployee>>(r); }
std::unique_ptr<TRecordCell<RCar>> CopyCar(const RCar& r) { return std::make_unique<TRecordCell<RCar>>(r); }

// The records' own initial values are the new ones: Id 0, optional values Null.
RStudent InitStudent() { return RStudent(); }
RRecitem InitRecitem() { return RRecitem(); }
RExamitem InitExamitem() { return RExamitem(); }
REmployee InitEmployee() { return REmployee(); }
RCar InitCar() { return RCar(); }

namespace {

// A record's Id that is not set: nothing is held for it, so reading the
// edit back gives Null again rather than an Id 0 that names nobody.
bool NoId(const Variant& id) { return VarIsNull(id) || VarIsEmpty(id); }

template <class R> const R* HeldAs(TObject* held)
{
    auto* cell = dynamic_cast<TRecordCell<R>*>(held);
    return cell ? &cell->Value : nullptr;
}

template <class R> Variant HeldId(TObject* held)
{
    const R* r = HeldAs<R>(held);
    return r ? Variant(r->Id) : Null();
}

template <class R> R HeldOrNew(TObject* held)
{
    const R* r = HeldAs<R>(held);
    return r ? *r : R();
}

// A list of the wanted kind whose pick handler is the control's; the picker
// runs over it, then the list is freed.
template <class L, class Handler> void RunPicker(Handler onPick, int layoutId)
{
    std::unique_ptr<L> list(new L(nullptr));
    list->OnPick = onPick;
    list->Query();
    TPickerFrm::Execute(list.get(), list->DataSet(), layoutId);
}

}  // namespace

// ---- TEdit ------------------------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TqzEdit(owner) {}
TEdit::~TEdit() = default;

void TEdit::Clear()
{
    TqzEdit::Clear();
    FHeld.reset();
    SetText("");
}

void TEdit::Hold(std::unique_ptr<TObject> r, const std::string& text)
{
    FHeld = std::move(r);
    SetText(text);
}

bool TEdit::SetEmployee(const REmployee& r)
{
    Hold(CopyEmployee(r), r.Name);
    return true;
}

void TEdit::SetEmployeeById(const Variant& id, const std::string& name)
{
    if (NoId(id)) return Clear();
    REmployee r = InitEmployee();
    r.Id = id.AsInteger();
    r.Name = name;
    SetEmployee(r);
}

Variant TEdit::GetEmployeeId() const { return HeldId<REmployee>(FHeld.get()); }
REmployee TEdit::GetEmployee() const { return HeldOrNew<REmployee>(FHeld.get()); }

void TEdit::PickSalesman()
{
    RunPicker<TSalesmanList>([this](const REmployee& r) { return SetEmployee(r); }, 1002);
}

void TEdit::PickTrainer()
{
    RunPicker<TTrainerList>([this](const REmployee& r) { return SetEmployee(r); }, 1002);
}

bool TEdit::SetCar(const RCar& r)
{
    Hold(CopyCar(r), r.CarNo);
    return true;
}

void TEdit::SetCarById(const Variant& id, const std::string& carNo)
{
    if (NoId(id)) return Clear();
    RCar r = InitCar();
    r.Id = id.AsInteger();
    r.CarNo = carNo;
    SetCar(r);
}

Variant TEdit::GetCarId() const { return HeldId<RCar>(FHeld.get()); }
RCar TEdit::GetCar() const { return HeldOrNew<RCar>(FHeld.get()); }

void TEdit::PickCar()
{
    RunPicker<TCarList>([this](const RCar& r) { return SetCar(r); }, 1005);
}

void TEdit::SetStudent(const RStudent& r) { Hold(CopyStudent(r), r.Name); }

void TEdit::SetStudentById(const Variant& id, const std::string& name)
{
    if (NoId(id)) return Clear();
    RStudent r = InitStudent();
    r.Id = id.AsInteger();
    r.Name = name;
    SetStudent(r);
}

Variant TEdit::GetStudentId() const { return HeldId<RStudent>(FHeld.get()); }
RStudent TEdit::GetStudent() const { return HeldOrNew<RStudent>(FHeld.get()); }

// ---- TComboBox --------------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TqzComboBox(owner) {}

TComboBox::~TComboBox() { FreeItemObjects(); }

void TComboBox::FreeItemObjects()
{
    TStrings* items = Items();
    for (int i = items->Count() - 1; i >= 0; --i) {
        std::unique_ptr<TObject> obj(items->Objects(i));
        items->Delete(i);
    }
}

void TComboBox::FillSex()
{
    FreeItemObjects();
    Items()->Add("男");
    Items()->Add("女");
}

void TComboBox::FillTwoState(const char* yes, const char* no)
{
    FreeItemObjects();
    Items()->AddObject(yes, NewBoolean(true).release());
    Items()->AddObject(no, NewBoolean(false).release());
    Items()->Add("不限");
}

void TComboBox::FillClassState() { FillTwoState("已分班", "未分班"); }
void TComboBox::FillPassState() { FillTwoState("已通过", "未通过"); }
void TComboBox::FillAppState() { FillTwoState("已约考", "未约考"); }
void TComboBox::FillTakeState() { FillTwoState("已领取", "未领取"); }

void TComboBox::FillSign(bool withAny)
{
    FreeItemObjects();
    Items()->Add("收款");
    Items()->Add("退款");
    if (withAny) Items()->Add("不限");
}

void TComboBox::FillDrivetypes()
{
    FreeItemObjects();
    RDrivetypes types;
    TStudentSet::GetDrivetypes(types);
    for (const std::string& t : types) Items()->Add(t);
}

void TComboBox::FillRecitems()
{
    FreeItemObjects();
    TRecitemSet set;
    set.Query();
    TDataSet* ds = set.DataSet();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        const RRecitem r = set.GetData();
        Items()->AddObject(r.Name, CopyRecitem(r).release());
    }
}

void TComboBox::FillExamitems()
{
    FreeItemObjects();
    RExamitems items;
    TExamitemSet::GetExamitems(items);
    for (const RExamitem& r : items) Items()->AddObject(r.Name, CopyExamitem(r).release());
}

void TComboBox::FillTrainers()
{
    FreeItemObjects();
    REmployees all;
    TTrainerList::GetTrainers(all);
    for (const REmployee& r : all) Items()->AddObject(r.Name, CopyEmployee(r).release());
}

void TComboBox::FillSalesmen()
{
    FreeItemObjects();
    REmployees all;
    TSalesmanList::GetSalesmen(all);
    for (const REmployee& r : all) Items()->AddObject(r.Name, CopyEmployee(r).release());
}

void TComboBox::FillPickList(int key)
{
    FreeItemObjects();
    std::string list;
    TPickListSet::GetList(key, list);
    Items()->SetCommaText(list);
}

void TComboBox::FillClassnames() { FillPickList(0); }
void TComboBox::FillTreasurers() { FillPickList(1); }

template <class R> const R* TComboBox::ItemRecord(int index) const
{
    if (index < 0 || index >= Items()->Count()) return nullptr;
    return HeldAs<R>(Items()->Objects(index));
}

Variant TComboBox::GetBoolean() const
{
    const int i = ItemIndex();
    if (i < 0 || i >= Items()->Count()) return Null();
    auto* cell = dynamic_cast<TBooleanCell*>(Items()->Objects(i));
    return cell ? Variant(cell->Value) : Null();
}

Variant TComboBox::GetSign() const
{
    switch (ItemIndex()) {
    case 0: return 1;
    case 1: return -1;
    default: return Null();
    }
}

void TComboBox::SetSign(const Variant& sign)
{
    int index = -1;
    if (!VarIsNull(sign) && !VarIsEmpty(sign)) {
        const int s = sign.AsInteger();
        index = s == 1 ? 0 : s == -1 ? 1 : -1;
    }
    SetItemIndex(index);
}

Variant TComboBox::GetRecitemId() const { return HeldId<RRecitem>(ItemIndex() >= 0 ? Items()->Objects(ItemIndex()) : nullptr); }
Variant TComboBox::GetExamitemId() const { return HeldId<RExamitem>(ItemIndex() >= 0 ? Items()->Objects(ItemIndex()) : nullptr); }
Variant TComboBox::GetEmployeeId() const { return HeldId<REmployee>(ItemIndex() >= 0 ? Items()->Objects(ItemIndex()) : nullptr); }

RRecitem TComboBox::GetRecitem() const
{
    const RRecitem* r = ItemRecord<RRecitem>(ItemIndex());
    return r ? *r : InitRecitem();
}

RExamitem TComboBox::GetExamitem() const
{
    const RExamitem* r = ItemRecord<RExamitem>(ItemIndex());
    return r ? *r : InitExamitem();
}

template <class R> void TComboBox::SelectRecord(const R& r)
{
    for (int i = 0; i < Items()->Count(); ++i) {
        const R* item = ItemRecord<R>(i);
        if (item && item->Id == r.Id) {
            SetItemIndex(i);
            return;
        }
    }
    SetItemIndex(Items()->AddObject(r.Name, new TRecordCell<R>(r)));
}

void TComboBox::SelectRecitem(const RRecitem& r) { SelectRecord(r); }
void TComboBox::SelectExamitem(const RExamitem& r) { SelectRecord(r); }

void TComboBox::SetRecitemById(const Variant& id, const std::string& name)
{
    if (NoId(id)) {
        SetItemIndex(-1);
        return;
    }
    RRecitem r = InitRecitem();
    r.Id = id.AsInteger();
    r.Name = name;
    SelectRecitem(r);
}

void TComboBox::SetExamitemById(const Variant& id, const std::string& name)
{
    if (NoId(id)) {
        SetItemIndex(-1);
        return;
    }
    RExamitem r = InitExamitem();
    r.Id = id.AsInteger();
    r.Name = name;
    SelectExamitem(r);
}

bool TComboBox::PickedRecitem(const RRecitem& r)
{
    SelectRecitem(r);
    Change();
    return true;
}

bool TComboBox::PickedExamitem(const RExamitem& r)
{
    SelectExamitem(r);
    Change();
    return true;
}

void TComboBox::PickRecitem()
{
    std::unique_ptr<TRecitemList> list(new TRecitemList(nullptr));
    list->OnPick = [this](const RRecitem& r) { return PickedRecitem(r); };
    list->Query();
    const Variant id = GetRecitemId();
    if (!VarIsNull(id)) list->DataSet()->Locate("Id", id, TLocateOptions{});
    TPickerFrm::Execute(list.get(), list->DataSet(), 1007);
}

void TComboBox::PickExamitem()
{
    std::unique_ptr<TExamitemList> list(new TExamitemList(nullptr));
    list->OnPick = [this](const RExamitem& r) { return PickedExamitem(r); };
    list->Query();
    const Variant id = GetExamitemId();
    if (!VarIsNull(id)) list->DataSet()->Locate("Id", id, TLocateOptions{});
    TPickerFrm::Execute(list.get(), list->DataSet(), 1009);
}

void TComboBox::EditPickList(int key, const std::string& title)
{
    // The text typed into the combo stays; only its list changes.
    const std::string text = GetText();
    if (!TListItemEditFrm::Execute(title, Items())) return;
    TPickListSet::SetList(key, Items()->CommaText());
    SetText(text);
}

void TComboBox::EditClassnames() { EditPickList(0, "班级类别"); }
void TComboBox::EditTreasurers() { EditPickList(1, "收款人"); }

// ---- TLabel -----------------------------------------------------------------------------------

void TLabel::ShowDate(const Variant& v)
{
    SetCaption(VarIsNull(v) || VarIsEmpty(v) ? std::string() : DateTimeToStr(VarToDateTime(v)));
}

void TLabel::ShowFloat(const Variant& v)
{
    SetCaption(VarIsNull(v) || VarIsEmpty(v) ? std::string() : FloatToStr(v.AsDouble()));
}

void TLabel::ShowString(const std::string& s) { SetCaption(s); }

}  // namespace Uis
