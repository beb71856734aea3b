#include "GraduateQry.h"

#include "Bizs.h"
#include "ExtCtrls.h"

QZ_CLASS_IMPL(TGraduateQryFrm, TQryWinFrm)

TGraduateQryFrm::TGraduateQryFrm(TComponent* owner) : TQryWinFrm(owner, "毕业学员", 1002)
{
    edtGrantdate1 = Optional(Criterion<Uis::TDateTimePicker>("领证日期", 0, 0));
    edtGrantdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 0, 1));
    edtTakeIf1 = DropDownList(Criterion<Uis::TComboBox>("是否领取", 0, 2));
    edtSaleman1 = DropDownList(Criterion<Uis::TComboBox>("业务员", 1, 0));
    edtTeacher1 = DropDownList(Criterion<Uis::TComboBox>("教练员", 1, 1));
    edtDrivetype1 = Criterion<Uis::TComboBox>("驾照类型", 2, 0);
    edtClassname1 = Criterion<Uis::TComboBox>("班级类别", 2, 1);
    FinishPanel(3, 3);

    edtDrivetype1->FillDrivetypes();
    edtTakeIf1->FillTakeState();
    edtSaleman1->FillSalesmen();
    edtTeacher1->FillTrainers();
    edtClassname1->FillClassnames();

    FGraduates = MakeResult<TGraduateSet>(1018);
}

void TGraduateQryFrm::CopyCriteria()
{
    TGraduateWhere* w = FGraduates->Where();
    Put(w->Grantdate1Fld, DateOf(edtGrantdate1));
    Put(w->Grantdate2Fld, DateOf(edtGrantdate2));
    Put(w->DrivetypeFld, TextOf(edtDrivetype1->GetText()));
    Put(w->TakeIfFld, edtTakeIf1->GetBoolean());
    Put(w->SalesmanIdFld, edtSaleman1->GetEmployeeId());
    Put(w->TeacherIdFld, edtTeacher1->GetEmployeeId());
    Put(w->ClassnameFld, TextOf(edtClassname1->GetText()));
}

void TGraduateQryFrm::RunQuery() { FGraduates->Query(); }
