// The lists of the school's records as the windows drive them, and the
// application's own input controls.
//
// A list is an entity set that also knows how to add, edit and delete its
// records through their edit forms: a form hands its record back to the
// list's save callback, which saves it and patches the list's own row, so a
// grid over the list shows the change without a new query. The five
// reference lists (fee items, exam items, trainers, salesmen, cars) do this
// through IViewList, which the list window and the record picker drive
// without knowing the entity; the student, receipt and exam lists of the
// main window have the same operations as plain methods.
//
// The controls: an edit that holds one picked record (a salesman, trainer,
// car or student) and opens the picker for it, a combo box that fills
// itself from the school's lists and reads back typed values, and a label
// that shows dates and numbers. The grids of the list windows are in
// UisGrids.h.
#pragma once

#include "Bizs.h"
#include "qzCtrls.h"

#include <functional>
#include <memory>
#include <string>

class TDataSet;

// ---- hand-over of records ---------------------------------------------------------------

// What an edit form calls on OK with the record built from its controls;
// the form closes only when it returns true. The callback may change the
// record (a new record gets its Id).
template <class R> using TRecordCallback = std::function<bool(R& record)>;

// What a list calls with its current record when it is asked to select one
// (the record picker's OK); true when the record was taken.
template <class R> using TPickEvent = std::function<bool(const R& record)>;

// The student search criteria the search form builds. Null in a Variant
// means no condition.
struct RStufind {
    Variant Signdate1 = Null(), Signdate2 = Null();
    std::string Stuname, Stusex, Stutel, Classname, Drivetype;
    Variant Graduated = Null(), Dropouted = Null();
    Variant TeacherId = Null(), SalemanId = Null();
    Variant ClassIf = Null();
    Variant AppItemId = Null(), UnappItemId = Null(), PassItemId = Null(), UnpassItemId = Null();
};

// ---- the list interface -----------------------------------------------------------------

// Seven operations any reference list offers, in this order. Holding the
// interface does not keep the list alive: the list's owner frees it.
class IViewList {
public:
    // The edit form on a new record.
    virtual void Add() = 0;
    // The edit form on the current record.
    virtual void Edit() = 0;
    // After a confirmation, the current record deleted in the database and its row.
    virtual void Delete() = 0;
    // The list's query run again.
    virtual void Refresh() = 0;
    virtual void Print() = 0;
    // Records imported from a workbook; true when some were.
    virtual bool Import() = 0;
    // The current record handed to the list's pick handler; its answer,
    // false without a handler.
    virtual bool Select() = 0;

protected:
    ~IViewList() = default;
};

// The workbook imports of cars, employees and students: true when records
// were imported. The import wizard installs them when it starts; without
// one a list's Import imports nothing and returns false.
enum class TImportKind { Cars, Employees, Students };
using TImportRoutine = std::function<bool()>;
namespace Uis {
void SetImportRoutine(TImportKind kind, TImportRoutine routine);
}

// ---- reference lists --------------------------------------------------------------------

class TRecitemList : public TRecitemSet, public IViewList {
    QZ_CLASS(TRecitemList, TRecitemSet)
public:
    explicit TRecitemList(TComponent* owner = nullptr);

    TPickEvent<RRecitem> OnPick;

    bool SaveRecitem(RRecitem& r);

    void Add() override;
    void Edit() override;
    void Delete() override;
    void Refresh() override {}
    void Print() override {}
    bool Import() override { return false; }
    bool Select() override;
};

class TExamitemList : public TExamitemSet, public IViewList {
    QZ_CLASS(TExamitemList, TExamitemSet)
public:
    explicit TExamitemList(TComponent* owner = nullptr);

    TPickEvent<RExamitem> OnPick;

    bool SaveExamitem(RExamitem& r);

    void Add() override;
    void Edit() override;
    void Delete() override;
    void Refresh() override {}
    void Print() override {}
    bool Import() override { return false; }
    bool Select() override;
};

// The employees of one duty: the list's query shows only them, and a new
// employee made through the list gets that duty.
class TDutyList : public TEmployeeSet, public IViewList {
    QZ_CLASS(TDutyList, TEmployeeSet)
public:
    TDutyList(TComponent* owner, const std::string& duty);

    TPickEvent<REmployee> OnPick;
    const std::string& Duty() const { return FDuty; }

    // The duty's criterion set, then the employees' query.
    void Query() override;
    bool SaveEmployee(REmployee& r);

    void Add() override;
    void Edit() override;
    void Delete() override;
    void Refresh() override {}
    void Print() override {}
    bool Import() override;
    bool Select() override;

protected:
    // The employees of the duty, each at its row's place; the count.
    static int GetAll(TDutyList& list, REmployees& out);

private:
    std::string FDuty;
};

class TTrainerList : public TDutyList {
    QZ_CLASS(TTrainerList, TDutyList)
public:
    explicit TTrainerList(TComponent* owner = nullptr);
    // Every trainer (the array emptied first); the count.
    static int GetTrainers(REmployees& out);
};

class TSalesmanList : public TDutyList {
    QZ_CLASS(TSalesmanList, TDutyList)
public:
    explicit TSalesmanList(TComponent* owner = nullptr);
    // Every salesman (the array emptied first); the count.
    static int GetSalesmen(REmployees& out);
};

class TCarList : public TCarSet, public IViewList {
    QZ_CLASS(TCarList, TCarSet)
public:
    explicit TCarList(TComponent* owner = nullptr);

    TPickEvent<RCar> OnPick;

    void Add() override;
    // Nothing while the list is empty.
    void Edit() override;
    void Delete() override;
    void Refresh() override;
    void Print() override {}
    bool Import() override;
    bool Select() override;
};

// ---- the main window's lists ------------------------------------------------------------

class TStudentList : public TStudentSet {
    QZ_CLASS(TStudentList, TStudentSet)
public:
    explicit TStudentList(TComponent* owner = nullptr);

    bool SaveStudent(RStudent& r);

    void Add();
    void Edit();
    void Delete();
    bool Import();

    // The current student's graduation, class placement and drop-out: a new
    // one, the stored one (false when there is none or the form was
    // cancelled) and, after a confirmation, its removal.
    bool Graduate();
    bool EditGraduation();
    bool UndoGraduation();
    bool CreateClass();
    bool EditClass();
    bool DeleteClass();
    bool Dropout();
    bool EditDropout();
    bool UndoDropout();

    // The search form; its OK runs ApplyFind.
    void Find();
    // The criteria replaced by the search's, then the query run again.
    bool ApplyFind(RStufind& f);
};

class TReceiptList : public TReceiptSet {
    QZ_CLASS(TReceiptList, TReceiptSet)
public:
    explicit TReceiptList(TComponent* owner = nullptr);

    // Saves; the row shows the saved receipt with the columns its student
    // and fee item give it.
    bool SaveReceipt(RReceipt& r);

    // A new receipt of the student, dated by the server's clock.
    void Add(const RStudent& student);
    // Nothing while the list is closed or empty.
    void Edit();
    void Delete();
};

class TExamList : public TExamSet {
    QZ_CLASS(TExamList, TExamSet)
public:
    explicit TExamList(TComponent* owner = nullptr);

    // Saves (the student's exam summaries follow); the row shows the saved
    // exam with the columns its student and exam item give it.
    bool SaveExam(RExam& r);

    void Add(const RStudent& student);
    // Nothing while the list is closed or empty.
    void Edit();
    void Delete();
};

// ---- record routines and item objects ---------------------------------------------------

namespace Uis {

// A heap copy of a record, as an item object of a combo box or the record
// an edit holds.
template <class R> class TRecordCell : public TObject {
public:
    explicit TRecordCell(const R& r) : Value(r) {}
    R Value;
};

// One Boolean, the item object of a two-state list.
class TBooleanCell : public TObject {
public:
    explicit TBooleanCell(bool v) : Value(v) {}
    bool Value;
};

std::unique_ptr<TBooleanCell> NewBoolean(bool v);
std::unique_ptr<TRecordCell<RStudent>> CopyStudent(const RStudent& r);
std::unique_ptr<TRecordCell<RRecitem>> CopyRecitem(const RRecitem& r);
std::unique_ptr<TRecordCell<RExamitem>> CopyExamitem(const RExamitem& r);
std::unique_ptr<TRecordCell<REmployee>> CopyEmployee(const REmployee& r);
std::unique_ptr<TRecordCell<RCar>> CopyCar(const RCar& r);

// New records: Id 0 and every optional value Null.
RStudent InitStudent();
RRecitem InitRecitem();
RExamitem InitExamitem();
REmployee InitEmployee();
RCar InitCar();

// ---- controls ---------------------------------------------------------------------------

// An edit holding one record, shown by its name (a car by its number).
class TEdit : public TqzEdit {
    QZ_CLASS(TEdit, TqzEdit)
public:
    explicit TEdit(TComponent* owner = nullptr);
    ~TEdit() override;

    // Empty text and no record held.
    void Clear();

    // Holds a copy, shows its name; true, so it can take a picker's choice.
    bool SetEmployee(const REmployee& r);
    void SetEmployeeById(const Variant& id, const std::string& name);
    // The held employee's Id; Null when none is held.
    Variant GetEmployeeId() const;
    // The held employee; a new one when none is held.
    REmployee GetEmployee() const;
    // The salesman or trainer picker; its choice is held.
    void PickSalesman();
    void PickTrainer();

    bool SetCar(const RCar& r);
    void SetCarById(const Variant& id, const std::string& carNo);
    Variant GetCarId() const;
    RCar GetCar() const;
    void PickCar();

    void SetStudent(const RStudent& r);
    void SetStudentById(const Variant& id, const std::string& name);
    Variant GetStudentId() const;
    RStudent GetStudent() const;

    // The record held now, if any.
    TObject* Held() const { return FHeld.get(); }

private:
    void Hold(std::unique_ptr<TObject> r, const std::string& text);
    std::unique_ptr<TObject> FHeld;
};

// A combo box filled from the school's lists; its item objects (Booleans,
// records) belong to it.
class TComboBox : public TqzComboBox {
    QZ_CLASS(TComboBox, TqzComboBox)
public:
    explicit TComboBox(TComponent* owner = nullptr);
    ~TComboBox() override;

    // Deletes the items from the last to the first, freeing their objects.
    void FreeItemObjects();

    void FillSex();
    // "已分班"/"未分班", "已通过"/"未通过", "已约考"/"未约考", "已领取"/"未领取":
    // true, false, then "不限" (no value).
    void FillClassState();
    void FillPassState();
    void FillAppState();
    void FillTakeState();
    // "收款", "退款", and "不限" when asked for.
    void FillSign(bool withAny);
    void FillDrivetypes();
    void FillRecitems();
    void FillExamitems();
    void FillTrainers();
    void FillSalesmen();
    // The stored class names and treasurers (empty when none are stored).
    void FillClassnames();
    void FillTreasurers();

    // The chosen item's Boolean; Null for none or "不限".
    Variant GetBoolean() const;
    // 1 for "收款", -1 for "退款", Null otherwise.
    Variant GetSign() const;
    void SetSign(const Variant& sign);
    // The chosen item's record's Id; Null when none is chosen.
    Variant GetRecitemId() const;
    Variant GetExamitemId() const;
    Variant GetEmployeeId() const;
    RRecitem GetRecitem() const;
    RExamitem GetExamitem() const;
    // Null chooses nothing; else the item of that Id (added when missing).
    void SetRecitemById(const Variant& id, const std::string& name);
    void SetExamitemById(const Variant& id, const std::string& name);
    // Chooses the first item of the record's Id, or adds one for it. Only
    // Ids are compared: an item keeps the name it was loaded with.
    void SelectRecitem(const RRecitem& r);
    void SelectExamitem(const RExamitem& r);
    // The picker's choice taken as above, then the change told; true.
    bool PickedRecitem(const RRecitem& r);
    bool PickedExamitem(const RExamitem& r);
    // The fee-item or exam-item picker, opened on the chosen item.
    void PickRecitem();
    void PickExamitem();
    // The stored class names or treasurers edited; the items follow.
    void EditClassnames();
    void EditTreasurers();

private:
    void FillTwoState(const char* yes, const char* no);
    void FillPickList(int key);
    void EditPickList(int key, const std::string& title);
    template <class R> const R* ItemRecord(int index) const;
    template <class R> void SelectRecord(const R& r);
};

class TDateTimePicker : public TqzDateTimePicker {
    QZ_CLASS(TDateTimePicker, TqzDateTimePicker)
public:
    explicit TDateTimePicker(TComponent* owner = nullptr) : TqzDateTimePicker(owner) {}
};

class TMemo : public TqzMemo {
    QZ_CLASS(TMemo, TqzMemo)
public:
    explicit TMemo(TComponent* owner = nullptr) : TqzMemo(owner) {}
};

class TLabel : public ::TLabel {
    QZ_CLASS(TLabel, ::TLabel)
public:
    explicit TLabel(TComponent* owner = nullptr) : ::TLabel(owner) {}
    // Empty for Null; the date, with its time when it has one.
    void ShowDate(const Variant& v);
    // Empty for Null; the number's shortest text.
    void ShowFloat(const Variant& v);
    void ShowString(const std::string& s);
};

}  // namespace Uis
