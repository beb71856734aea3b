// The graduates window "毕业学员": graduations by licence date, licence type,
// whether the licence was collected, salesman, trainer and class.
#pragma once

#include "QryWin.h"

class TGraduateSet;

class TGraduateQryFrm : public TQryWinFrm {
    QZ_CLASS(TGraduateQryFrm, TQryWinFrm)
public:
    explicit TGraduateQryFrm(TComponent* owner = nullptr);

    TGraduateSet* Graduates() const { return FGraduates; }

    Uis::TDateTimePicker* edtGrantdate1 = nullptr;   // "领证日期"
    Uis::TDateTimePicker* edtGrantdate2 = nullptr;   // "截止日期"
    Uis::TComboBox* edtDrivetype1 = nullptr;         // "驾照类型", typed or chosen
    Uis::TComboBox* edtTakeIf1 = nullptr;            // "是否领取"
    Uis::TComboBox* edtSaleman1 = nullptr;           // "业务员"
    Uis::TComboBox* edtTeacher1 = nullptr;           // "教练员"
    Uis::TComboBox* edtClassname1 = nullptr;         // "班级类别", typed or chosen

protected:
    void CopyCriteria() override;
    void RunQuery() override;

private:
    TGraduateSet* FGraduates = nullptr;
};
