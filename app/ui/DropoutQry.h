// The drop-outs window "退学学员记录表": drop-outs by date, licence type,
// class, salesman, trainer, reason and refund.
#pragma once

#include "QryWin.h"

class TDropoutSet;

class TDropoutQryFrm : public TQryWinFrm {
    QZ_CLASS(TDropoutQryFrm, TQryWinFrm)
public:
    explicit TDropoutQryFrm(TComponent* owner = nullptr);

    TDropoutSet* Dropouts() const { return FDropouts; }

    Uis::TDateTimePicker* edtDropdate1 = nullptr;   // "退学日期"
    Uis::TDateTimePicker* edtDropdate2 = nullptr;   // "截止日期"
    Uis::TComboBox* edtDrivetype1 = nullptr;        // "驾照类型", typed or chosen
    Uis::TComboBox* edtClassname1 = nullptr;        // "班级类别", typed or chosen
    Uis::TComboBox* edtSalesman1 = nullptr;         // "业务员"
    Uis::TComboBox* edtTeacher1 = nullptr;          // "教练员"
    Uis::TEdit* edtReason1 = nullptr;               // "退学原因", contained in the reason
    Uis::TEdit* edtRetfund1 = nullptr;              // "退还费用", from
    Uis::TEdit* edtRetfund2 = nullptr;              // to

protected:
    void CopyCriteria() override;
    void RunQuery() override;

private:
    TDropoutSet* FDropouts = nullptr;
};
