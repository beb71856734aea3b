// The statistics windows over the pivots: "学员考试情况表" (which exam items
// each student has passed) and "学员收费一览表" (what each student has paid
// per fee item, with the sums of the listed students under the rows). Both
// choose the students by sign-up dates, trainer, salesman, licence type and
// class; the fee window also limits the receipts to a period.
#pragma once

#include "QryWin.h"

class TCustomTotal;
class TExamTotal;
class TFareTotal;

class TCustomTotalFrm : public TQryWinFrm {
    QZ_CLASS(TCustomTotalFrm, TQryWinFrm)
public:
    Uis::TDateTimePicker* edtSigndate1 = nullptr;   // "报名日期"
    Uis::TDateTimePicker* edtSigndate2 = nullptr;   // "截止日期"
    Uis::TComboBox* edtTeacher1 = nullptr;          // "教练员"
    Uis::TComboBox* edtSalesman1 = nullptr;         // "业务员"
    Uis::TComboBox* edtDrivetype1 = nullptr;        // "驾照类型", typed or chosen
    Uis::TComboBox* edtClassname1 = nullptr;        // "班级类别", typed or chosen

protected:
    TCustomTotalFrm(TComponent* owner, const std::string& caption, int reportGroup);
    static void WidenColumns(TCustomTotal* pivot);
    void CopyCriteria() override;
    void RunQuery() override;

    TCustomTotal* FPivot = nullptr;
};

class TExamTotalFrm : public TCustomTotalFrm {
    QZ_CLASS(TExamTotalFrm, TCustomTotalFrm)
public:
    explicit TExamTotalFrm(TComponent* owner = nullptr);
    TExamTotal* Pivot() const;
};

class TFareTotalFrm : public TCustomTotalFrm {
    QZ_CLASS(TFareTotalFrm, TCustomTotalFrm)
public:
    explicit TFareTotalFrm(TComponent* owner = nullptr);
    TFareTotal* Pivot() const;

    Uis::TDateTimePicker* edtRecdate1 = nullptr;   // "收费日期"
    Uis::TDateTimePicker* edtRecdate2 = nullptr;   // "截止日期"

protected:
    void CopyCriteria() override;
};
