// The driving school's records: employees, cars, fee items and exam items;
// students; receipts and exams; class placements, graduations and
// drop-outs. Each kind has a record that edit forms exchange, a criteria
// record where it is searched, and a set that queries, saves and deletes.
//
// New rows of the Id-keyed tables take max(Id)+1; save means update when the
// id is positive and insert otherwise; a save or delete succeeds when
// exactly one row changed.
#pragma once

#include "Database.h"

#include <string>
#include <vector>

// ---- records ------------------------------------------------------------------------------

struct REmployee {
    int Id = 0;
    std::string Name, Duty, Sex, Tel;
    Variant Birthday = Null();
    std::string Addr, Notes;
};
using REmployees = std::vector<REmployee>;

struct RCar {
    int Id = 0;
    std::string CarNo, Brand, PartNo, Engino, BedNo, Cartype, Color;
    Variant Manudate = Null(), Seats = Null(), Weight = Null();
    std::string Notes;
    Variant BuyFund = Null(), Buydate = Null();
};
using RCars = std::vector<RCar>;

struct RRecitem {
    int Id = 0;
    std::string Name, Notes;
};

struct RExamitem {
    int Id = 0;
    std::string Name, Notes;
};
using RExamitems = std::vector<RExamitem>;

struct RStudent {
    int Id = 0;
    std::string Name, Sex, Idcode, LinkTel, Addr, Native, Notes;
    Variant Signdate = Null();
    std::string Drivetype;
    Variant SalemanId = Null();
    std::string SalemanName;   // joined in by the query; never saved
};
using RDrivetypes = std::vector<std::string>;

struct RReceipt {
    int Id = 0;
    int StudentId = 0;
    std::string StudentName;
    Variant Signdate = Null();
    std::string Drivetype, Sex, LinkTel, Classname;
    Variant Recdate = Null(), RecItemId = Null();
    std::string RecItemName;
    int RecSign = 0;
    Variant Recfund = Null();
    std::string Treasurer, dlNote;
};

struct RExam {
    int Id = 0;
    Variant StudentId = Null();
    std::string StudentName;
    Variant Signdate = Null();
    std::string Drivetype, Sex, LinkTel, IdCode;
    Variant Appdate = Null(), Examdate = Null(), ItemId = Null();
    std::string ItemName;
    int Point = 0;
    bool IsPass = false;
    std::string dlNote;
};

struct RClass {
    int StudentId = 0;
    std::string StudentName;
    Variant Classdate = Null();
    std::string Classname;
    Variant TeacherId = Null(), CarId = Null();
    std::string TeacherName, CarNo, Notes;
};

struct RGraduate {
    int StudentId = 0;
    std::string StudentName;
    Variant Grantdate = Null(), Validate = Null(), Valimonth = Null();
    std::string DocumentNo, Drivetype;
    Variant Takedate = Null();
    std::string Handman, Notes;
};

struct RDropout {
    int StudentId = 0;
    std::string StudentName;
    Variant Dropdate = Null();
    std::string Reasons;
    Variant Retfund = Null();
    std::string Handman, Notes;
};

// ---- query conditions ------------------------------------------------------------------------

// Builds the condition of a query from a criteria row: clauses appended in
// a fixed order, the first " and " turned into " where ". Texts reach the
// statement with their single quotes doubled; an upper date bound takes in
// the whole of its day.
class TCondition {
public:
    explicit TCondition(TCustomWhere* where) : W(where) {}

    void Add(const std::string& clause) { FText += clause; }
    // A clause with the criterion's integer (fmt holds one %d).
    void Int(TField* f, const std::string& fmt);
    // A clause with the criterion's text, quoted (fmt holds '%s').
    void Text(TField* f, const std::string& fmt);
    void Float(TField* f, const std::string& fmt);
    void DateFrom(TField* f, const std::string& column);
    void DateTo(TField* f, const std::string& column);
    void Bool(TField* f, const std::string& whenTrue, const std::string& whenFalse);
    std::string Result() const;
    // The statement with its first "%where" replaced by the condition.
    std::string Apply(const std::string& statement) const;

private:
    TCustomWhere* W;
    std::string FText;
};

// ---- criteria -----------------------------------------------------------------------------

class TEmployeeWhere : public TCustomWhere {
    QZ_CLASS(TEmployeeWhere, TCustomWhere)
public:
    explicit TEmployeeWhere(TComponent* owner = nullptr);
    TField* IdFld;
    TField* DutyFld;
};

class TCarWhere : public TCustomWhere {
    QZ_CLASS(TCarWhere, TCustomWhere)
public:
    explicit TCarWhere(TComponent* owner = nullptr);
    TField* IdFld;
    TField* KeywordFld;
};

class TStudentWhere : public TCustomWhere {
    QZ_CLASS(TStudentWhere, TCustomWhere)
public:
    explicit TStudentWhere(TComponent* owner = nullptr);
    TField* IdFld;
    TField* Signdate1Fld;
    TField* Signdate2Fld;
    TField* ClassnameFld;
    TField* StunameFld;
    TField* StusexFld;
    TField* StutelFld;
    TField* SalemanIdFld;
    TField* TeacherIdFld;
    TField* CarIdFld;
    TField* DrivetypeFld;
    TField* PassItemIdFld;
    TField* UnpassItemIdFld;
    TField* AppItemIdFld;
    TField* UnappItemIdFld;
    TField* GraduatedFld;
    TField* DropoutedFld;
    TField* GraduateTakeIfFld;
    TField* GraduateGrantdate1Fld;
    TField* GraduateGrantdate2Fld;
    TField* ClassIfFld;
};

class TReceiptWhere : public TCustomWhere {
    QZ_CLASS(TReceiptWhere, TCustomWhere)
public:
    explicit TReceiptWhere(TComponent* owner = nullptr);
    TField* StudentIdFld;
    TField* FareItemIdFld;
    TField* SignIdFld;
    TField* Fund1Fld;
    TField* Fund2Fld;
    TField* Recdate1Fld;
    TField* Recdate2Fld;
    TField* TreasurerFld;
};

class TExamWhere : public TCustomWhere {
    QZ_CLASS(TExamWhere, TCustomWhere)
public:
    explicit TExamWhere(TComponent* owner = nullptr);
    TField* StudentIdFld;
    TField* ItemIdFld;
    TField* IsPassFld;
    TField* Point1Fld;
    TField* Point2Fld;
    TField* Examdate1Fld;
    TField* Examdate2Fld;
    TField* Appdate1Fld;
    TField* Appdate2Fld;
};

class TGraduateWhere : public TCustomWhere {
    QZ_CLASS(TGraduateWhere, TCustomWhere)
public:
    explicit TGraduateWhere(TComponent* owner = nullptr);
    TField* Grantdate1Fld;
    TField* Grantdate2Fld;
    TField* DrivetypeFld;
    TField* TakeIfFld;
    TField* SalesmanIdFld;
    TField* TeacherIdFld;
    TField* ClassnameFld;
};

class TDropoutWhere : public TCustomWhere {
    QZ_CLASS(TDropoutWhere, TCustomWhere)
public:
    explicit TDropoutWhere(TComponent* owner = nullptr);
    TField* Dropdate1Fld;
    TField* Dropdate2Fld;
    TField* ReasonsFld;
    TField* Retfund1Fld;
    TField* Retfund2Fld;
    TField* TeacherIdFld;
    TField* SalesmanIdFld;
    TField* ClassnameFld;
    TField* DrivetypeFld;
};

// ---- reference sets -------------------------------------------------------------------------

class TEmployeeSet : public TRecordSet {
    QZ_CLASS(TEmployeeSet, TRecordSet)
public:
    explicit TEmployeeSet(TComponent* owner = nullptr);
    ~TEmployeeSet() override;

    TEmployeeWhere* Where() const { return FWhere.get(); }
    REmployee AsData() const;
    void SetAsData(const REmployee& r);

    TField* IdFld;
    TField* NameFld;
    TField* DutyFld;
    TField* SexFld;
    TField* TelFld;
    TField* BirthdayFld;
    TField* AddrFld;
    TField* NotesFld;

    // The statement of the current criteria.
    std::string QuerySql();
    virtual void Query();
    static bool Save(REmployee& r);
    static bool Delete(int id);

private:
    std::unique_ptr<TEmployeeWhere> FWhere;
};

class TCarSet : public TRecordSet {
    QZ_CLASS(TCarSet, TRecordSet)
public:
    explicit TCarSet(TComponent* owner = nullptr);
    ~TCarSet() override;

    TCarWhere* Where() const { return FWhere.get(); }
    RCar GetData() const;
    void SetData(const RCar& r);

    TField* IdFld;
    TField* CarNoFld;
    TField* BrandFld;
    TField* PartNoFld;
    TField* EnginoFld;
    TField* CartypeFld;
    TField* ManudateFld;
    TField* BedNoFld;
    TField* ColorFld;
    TField* SeatsFld;
    TField* WeightFld;
    TField* NotesFld;
    TField* BuydateFld;
    TField* BuyFundFld;

    std::string QuerySql();
    void Query();
    static bool Save(RCar& r);
    static bool Delete(int id);
    // Saves and shows the change in the open rows without a new query.
    bool SaveToList(RCar& r);
    static int GetCars(RCars& cars);

private:
    std::unique_ptr<TCarWhere> FWhere;
};

class TRecitemSet : public TRecordSet {
    QZ_CLASS(TRecitemSet, TRecordSet)
public:
    explicit TRecitemSet(TComponent* owner = nullptr);
    RRecitem GetData() const;
    void SetData(const RRecitem& r);
    TField* IdFld;
    TField* NameFld;
    TField* NotesFld;
    void Query();
    static bool Save(RRecitem& r);
    static bool Delete(int id);
};

class TExamitemSet : public TRecordSet {
    QZ_CLASS(TExamitemSet, TRecordSet)
public:
    explicit TExamitemSet(TComponent* owner = nullptr);
    RExamitem GetData() const;
    void SetData(const RExamitem& r);
    TField* IdFld;
    TField* NameFld;
    TField* NotesFld;
    void Query();
    static bool Save(RExamitem& r);
    static bool Delete(int id);
    static int GetExamitems(RExamitems& items);
};

// ---- students --------------------------------------------------------------------------------

class TStudentSet : public TQuerySet {
    QZ_CLASS(TStudentSet, TQuerySet)
public:
    explicit TStudentSet(TComponent* owner = nullptr);
    ~TStudentSet() override;

    TStudentWhere* Where() const { return FWhere.get(); }
    RStudent AsData() const;
    void SetAsData(const RStudent& r);

    TField* IdFld;
    TField* NameFld;
    TField* SexFld;
    TField* IdcodeFld;
    TField* LinkTelFld;
    TField* AddrFld;
    TField* NativeFld;
    TField* NotesFld;
    TField* SigndateFld;
    TField* DrivetypeFld;
    TField* SalemanIdFld;
    TField* SalemanNameFld;

    // The statement of the current criteria.
    std::string QuerySql();
    void Query();
    static bool Save(RStudent& r);
    // Deletes the student with his drop-out, graduation, receipts, exams and
    // class placement, all in one transaction: all of it or none of it.
    static bool Delete(int id);
    static int GetDrivetypes(RDrivetypes& types);
    // Rebuilds Passinfo and Appsinfo from the student's exams.
    static bool RefreshExamInfo(int studentId);

private:
    std::unique_ptr<TStudentWhere> FWhere;
};

// ---- receipts and exams ---------------------------------------------------------------------

class TReceiptSet : public TQuerySet {
    QZ_CLASS(TReceiptSet, TQuerySet)
public:
    explicit TReceiptSet(TComponent* owner = nullptr);
    ~TReceiptSet() override;

    TReceiptWhere* Where() const { return FWhere.get(); }
    RReceipt AsData() const;
    void SetAsData(const RReceipt& r);

    TField* IdFld;
    TField* StudentIdFld;
    TField* StudentNameFld;
    TField* SigndateFld;
    TField* DrivetypeFld;
    TField* SexFld;
    TField* LinkTelFld;
    TField* ClassnameFld;
    TField* RecdateFld;
    TField* RecItemIdFld;
    TField* RecItemNameFld;
    TField* RecSignFld;
    TField* RecfundFld;
    TField* TreasurerFld;
    TField* dlNoteFld;

    std::string QuerySql();
    void Query();
    static bool Save(RReceipt& r);
    static bool Delete(int id);

private:
    std::unique_ptr<TReceiptWhere> FWhere;
};

class TExamSet : public TQuerySet {
    QZ_CLASS(TExamSet, TQuerySet)
public:
    explicit TExamSet(TComponent* owner = nullptr);
    ~TExamSet() override;

    TExamWhere* Where() const { return FWhere.get(); }
    RExam AsData() const;
    void SetAsData(const RExam& r);

    TField* IdFld;
    TField* StudentIdFld;
    TField* StudentNameFld;
    TField* SigndateFld;
    TField* DrivetypeFld;
    TField* SexFld;
    TField* LinkTelFld;
    TField* IdCodeFld;
    TField* ClassnameFld;
    TField* AppdateFld;
    TField* ExamdateFld;
    TField* ItemIdFld;
    TField* ItemNameFld;
    TField* PointFld;
    TField* IsPassFld;
    TField* dlNoteFld;

    std::string QuerySql();
    void Query();
    // Saves and rebuilds the student's exam summaries.
    static bool Save(RExam& r);
    static bool Delete(int id);

private:
    std::unique_ptr<TExamWhere> FWhere;
};

// ---- class placements, graduations and drop-outs ----------------------------------------------

class TClassSet : public TQuerySet {
    QZ_CLASS(TClassSet, TQuerySet)
public:
    explicit TClassSet(TComponent* owner = nullptr);
    static bool Save(const RClass& r);
    static bool Delete(int studentId);
    static bool LoadByStudent(int studentId, RClass& r);
};

class TGraduateSet : public TQuerySet {
    QZ_CLASS(TGraduateSet, TQuerySet)
public:
    explicit TGraduateSet(TComponent* owner = nullptr);
    ~TGraduateSet() override;

    TGraduateWhere* Where() const { return FWhere.get(); }

    TField* IdFld;   // StudentId
    TField* StudentNameFld;
    TField* SigndateFld;
    TField* SexFld;
    TField* LinkTelFld;
    TField* ClassnameFld;
    TField* GrantdateFld;
    TField* ValidateFld;
    TField* ValimonthFld;
    TField* DocumentNoFld;
    TField* DrivetypeFld;
    TField* TakedateFld;
    TField* HandmanFld;
    TField* NotesFld;

    std::string QuerySql();
    void Query();
    static bool Save(const RGraduate& r);
    static bool Delete(int studentId);
    static bool LoadByStudent(int studentId, RGraduate& r);

private:
    std::unique_ptr<TGraduateWhere> FWhere;
};

class TDropoutSet : public TQuerySet {
    QZ_CLASS(TDropoutSet, TQuerySet)
public:
    explicit TDropoutSet(TComponent* owner = nullptr);
    ~TDropoutSet() override;

    TDropoutWhere* Where() const { return FWhere.get(); }

    TField* StudentIdFld;
    TField* StudentNameFld;
    TField* SigndateFld;
    TField* DrivetypeFld;
    TField* SexFld;
    TField* LinkTelFld;
    TField* ClassnameFld;
    TField* DropdateFld;
    TField* ReasonsFld;
    TField* RetfundFld;
    TField* HandmanFld;
    TField* NotesFld;

    std::string QuerySql();
    void Query();
    static bool Save(const RDropout& r);
    static bool Delete(int studentId);
    static bool LoadByStudent(int studentId, RDropout& r);

private:
    std::unique_ptr<TDropoutWhere> FWhere;
};
