#include "DropoutQry.h"

#include "Bizs.h"
#include "ExtCtrls.h"

QZ_CLASS_IMPL(TDropoutQryFrm, TQryWinFrm)

TDropoutQryFrm::TDropoutQryFrm(TComponent* owner) : TQryWinFrm(owner, "退学学员记录表", 1001)
{
    edtDropdate1 = Optional(Criterion<Uis::TDateTimePicker>("退学日期", 0, 0));
    edtDropdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 0, 1));
    edtRetfund1 = NumberEdit(Criterion<Uis::TEdit>("退还费用", 0, 2, 62));
    edtRetfund2 = NumberEdit(Beside<Uis::TEdit>(edtRetfund1));
    edtSalesman1 = DropDownList(Criterion<Uis::TComboBox>("业务员", 1, 0));
    edtTeacher1 = DropDownList(Criterion<Uis::TComboBox>("教练员", 1, 1));
    edtReason1 = Criterion<Uis::TEdit>("退学原因", 1, 2);
    edtDrivetype1 = Criterion<Uis::TComboBox>("驾照类型", 2, 0);
    edtClassname1 = Criterion<Uis::TComboBox>("班级类别", 2, 1);
    FinishPanel(3, 3);

    edtDrivetype1->FillDrivetypes();
    edtClassname1->FillClassnames();
    edtSalesman1->FillSalesmen();
    edtTeacher1->FillTrainers();

    FDropouts = MakeResult<TDropoutSet>(1019);
}

void TDropoutQryFrm::CopyCriteria()
{
    TDropoutWhere* w = FDropouts->Where();
    Put(w->Dropdate1Fld, DateOf(edtDropdate1));
    Put(w->Dropdate2Fld, DateOf(edtDropdate2));
    Put(w->DrivetypeFld, TextOf(edtDrivetype1->GetText()));
    Put(w->ClassnameFld, TextOf(edtClassname1->GetText()));
    Put(w->SalesmanIdFld, edtSalesman1->GetEmployeeId());
    Put(w->TeacherIdFld, edtTeacher1->GetEmployeeId());
    Put(w->ReasonsFld, TextOf(edtReason1->GetText()));
    Put(w->Retfund1Fld, NumberOf(edtRetfund1));
    Put(w->Retfund2Fld, NumberOf(edtRetfund2));
}

void TDropoutQryFrm::RunQuery() { FDropouts->Query(); }
