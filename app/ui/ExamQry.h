// The exam details window "考试明细表": the exams of every student by exam
// item, pass, exam and booking dates and points.
#pragma once

#include "QryWin.h"

class TExamSet;

class TExamQryFrm : public TQryWinFrm {
    QZ_CLASS(TExamQryFrm, TQryWinFrm)
public:
    explicit TExamQryFrm(TComponent* owner = nullptr);

    TExamSet* Exams() const { return FExams; }

    Uis::TComboBox* edtItem1 = nullptr;            // "科目"
    Uis::TComboBox* edtIsPass1 = nullptr;          // "通过"
    Uis::TDateTimePicker* edtExamdate1 = nullptr;  // "考试日期"
    Uis::TDateTimePicker* edtExamdate2 = nullptr;  // "截止日期"
    Uis::TDateTimePicker* edtAppdate1 = nullptr;   // "预约日期"
    Uis::TDateTimePicker* edtAppdate2 = nullptr;   // "截止日期"
    Uis::TEdit* edtPoint1 = nullptr;               // "分数", from
    Uis::TEdit* edtPoint2 = nullptr;               // to

protected:
    void CopyCriteria() override;
    void RunQuery() override;

private:
    TExamSet* FExams = nullptr;
};
