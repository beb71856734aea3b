#include "ExamQry.h"

#include "Bizs.h"
#include "ExtCtrls.h"

QZ_CLASS_IMPL(TExamQryFrm, TQryWinFrm)

TExamQryFrm::TExamQryFrm(TComponent* owner) : TQryWinFrm(owner, "考试明细表", 1004)
{
    edtItem1 = DropDownList(Criterion<Uis::TComboBox>("科目", 0, 0));
    edtIsPass1 = DropDownList(Criterion<Uis::TComboBox>("通过", 0, 1));
    edtPoint1 = NumberEdit(Criterion<Uis::TEdit>("分数", 0, 2, 62));
    edtPoint2 = NumberEdit(Beside<Uis::TEdit>(edtPoint1));
    edtExamdate1 = Optional(Criterion<Uis::TDateTimePicker>("考试日期", 1, 0));
    edtExamdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 1, 1));
    edtAppdate1 = Optional(Criterion<Uis::TDateTimePicker>("预约日期", 2, 0));
    edtAppdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 2, 1));
    FinishPanel(3, 3);

    edtItem1->FillExamitems();
    edtIsPass1->FillPassState();

    FExams = MakeResult<TExamSet>(1014);
}

void TExamQryFrm::CopyCriteria()
{
    TExamWhere* w = FExams->Where();
    Put(w->ItemIdFld, edtItem1->GetExamitemId());
    Put(w->IsPassFld, edtIsPass1->GetBoolean());
    Put(w->Examdate1Fld, DateOf(edtExamdate1));
    Put(w->Examdate2Fld, DateOf(edtExamdate2));
    Put(w->Appdate1Fld, DateOf(edtAppdate1));
    Put(w->Appdate2Fld, DateOf(edtAppdate2));
    Put(w->Point1Fld, NumberOf(edtPoint1));
    Put(w->Point2Fld, NumberOf(edtPoint2));
}

void TExamQryFrm::RunQuery() { FExams->Query(); }
