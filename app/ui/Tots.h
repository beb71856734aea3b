// The statistics pivots: one row per student with one column per exam item
// (which items the student has passed) or per fee item (the net amount paid,
// with a total). Each owns the one-row criteria record that the statistics
// windows fill before they refresh it; the pivot and its criteria are also
// what those windows hand to the report centre.
#pragma once

#include "Database.h"

#include <memory>
#include <vector>

class TTotalWhere : public TCustomWhere {
    QZ_CLASS(TTotalWhere, TCustomWhere)
public:
    explicit TTotalWhere(TComponent* owner = nullptr);

    TField* Signdate1Fld;
    TField* Signdate2Fld;
    TField* TeacherIdFld;
    TField* DrivetypeFld;
    TField* SalesmanIdFld;
    TField* ClassnameFld;

protected:
    // The six student criteria; descendants add theirs before the row is made.
    struct NoRecord {};
    TTotalWhere(TComponent* owner, NoRecord);
};

class TFareTotalWhere : public TTotalWhere {
    QZ_CLASS(TFareTotalWhere, TTotalWhere)
public:
    explicit TFareTotalWhere(TComponent* owner = nullptr);

    TField* Recdate1Fld;
    TField* Recdate2Fld;
};

// The seven student columns both pivots begin with, and the refresh they share.
class TCustomTotal : public TQzClientDataSet {
    QZ_CLASS(TCustomTotal, TQzClientDataSet)
public:
    explicit TCustomTotal(TComponent* owner = nullptr);
    ~TCustomTotal() override;

    TTotalWhere* Where() const { return FWhere.get(); }
    // Rebuilds every row from the database according to the criteria row.
    // A failed query leaves the pivot without rows.
    void Refresh();
    // The statement of the students the criteria choose.
    std::string StudentSql() const;

protected:
    void AddStudentColumns();
    // Once per refresh, before the students are read.
    virtual void BeginFill() {}
    // Fills the item columns of the row being appended.
    virtual void FillItems(TDataSet* student) = 0;
    virtual void EndFill() {}
    // The item columns: those whose Tag holds the item's id.
    std::vector<TField*> ItemFields() const;

    std::unique_ptr<TTotalWhere> FWhere;
    std::vector<TField*> FItems;   // the item columns, during a refresh
};

// Which exam items each student has passed: a Boolean column Item<id> per
// exam item, shown as "√" or blank.
class TExamTotal : public TCustomTotal {
    QZ_CLASS(TExamTotal, TCustomTotal)
public:
    explicit TExamTotal(TComponent* owner = nullptr);

protected:
    void FillItems(TDataSet* student) override;
};

// What each student has paid per fee item (receipts less refunds), a float
// column Item<id> per fee item, and the total in Amount.
class TFareTotal : public TCustomTotal {
    QZ_CLASS(TFareTotal, TCustomTotal)
public:
    explicit TFareTotal(TComponent* owner = nullptr);
    ~TFareTotal() override;

    TFareTotalWhere* Where() const { return static_cast<TFareTotalWhere*>(FWhere.get()); }
    TField* AmountFld;
    // The statement of the net sums per student and fee item in the
    // criteria's receipt period.
    std::string ReceiptSql() const;

protected:
    void BeginFill() override;
    void FillItems(TDataSet* student) override;
    void EndFill() override;

private:
    struct TSums;
    std::unique_ptr<TSums> FSums;
};
