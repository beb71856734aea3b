#include "TotalQry.h"

#include "DB.h"
#include "DBGridEh.h"
#include "DBSumLst.h"
#include "Tots.h"
#include "UisGrids.h"

QZ_CLASS_IMPL(TCustomTotalFrm, TQryWinFrm)
QZ_CLASS_IMPL(TExamTotalFrm, TCustomTotalFrm)
QZ_CLASS_IMPL(TFareTotalFrm, TCustomTotalFrm)

TCustomTotalFrm::TCustomTotalFrm(TComponent* owner, const std::string& caption, int reportGroup)
    : TQryWinFrm(owner, caption, reportGroup)
{
    edtSigndate1 = Optional(Criterion<Uis::TDateTimePicker>("报名日期", 0, 0));
    edtSigndate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 0, 1));
    edtTeacher1 = DropDownList(Criterion<Uis::TComboBox>("教练员", 1, 0));
    edtSalesman1 = DropDownList(Criterion<Uis::TComboBox>("业务员", 1, 1));
    edtDrivetype1 = Criterion<Uis::TComboBox>("驾照类型", 2, 0);
    edtClassname1 = Criterion<Uis::TComboBox>("班级类别", 2, 1);

    edtTeacher1->FillTrainers();
    edtSalesman1->FillSalesmen();
    edtDrivetype1->FillDrivetypes();
    edtClassname1->FillClassnames();
}

void TCustomTotalFrm::WidenColumns(TCustomTotal* pivot)
{
    // Columns as wide as those of the entity sets' grids until a layout is
    // stored: the pivot's own widths are those of its field types, a few
    // pixels for the item columns.
    TFields* fields = pivot->DataSet()->Fields();
    for (int i = 0; i < fields->Count(); ++i) fields->Fields(i)->SetDisplayWidth(75);
}

void TCustomTotalFrm::CopyCriteria()
{
    TTotalWhere* w = FPivot->Where();
    Put(w->Signdate1Fld, DateOf(edtSigndate1));
    Put(w->Signdate2Fld, DateOf(edtSigndate2));
    Put(w->TeacherIdFld, edtTeacher1->GetEmployeeId());
    Put(w->SalesmanIdFld, edtSalesman1->GetEmployeeId());
    Put(w->DrivetypeFld, TextOf(edtDrivetype1->GetText()));
    Put(w->ClassnameFld, TextOf(edtClassname1->GetText()));
}

void TCustomTotalFrm::RunQuery() { FPivot->Refresh(); }

// ---- exam statistics ------------------------------------------------------------------------

TExamTotalFrm::TExamTotalFrm(TComponent* owner) : TCustomTotalFrm(owner, "学员考试情况表", 1005)
{
    FinishPanel(2, 3);
    FPivot = MakeResult<TExamTotal>(1016, [](TExamTotal* p) { WidenColumns(p); });
}

TExamTotal* TExamTotalFrm::Pivot() const { return static_cast<TExamTotal*>(FPivot); }

// ---- fee statistics -------------------------------------------------------------------------

TFareTotalFrm::TFareTotalFrm(TComponent* owner) : TCustomTotalFrm(owner, "学员收费一览表", 1006)
{
    edtRecdate1 = Optional(Criterion<Uis::TDateTimePicker>("收费日期", 0, 2));
    edtRecdate2 = Optional(Criterion<Uis::TDateTimePicker>("截止日期", 1, 2));
    FinishPanel(3, 3);
    FPivot = MakeResult<TFareTotal>(1017, [](TFareTotal* p) { WidenColumns(p); });

    // Each fee item's column and the total show their sums under the rows.
    TFareTotal* pivot = Pivot();
    TFields* fields = pivot->DataSet()->Fields();
    for (int i = 0; i < fields->Count(); ++i)
        if (fields->Fields(i)->Tag() > 0) DBGrid1->SetFooterSum(fields->Fields(i));
    DBGrid1->SetFooterSum(pivot->AmountFld);
    DBGrid1->SetFooterRowCount(1);
    DBGrid1->SumList()->SetActive(true);
}

TFareTotal* TFareTotalFrm::Pivot() const { return static_cast<TFareTotal*>(FPivot); }

void TFareTotalFrm::CopyCriteria()
{
    TCustomTotalFrm::CopyCriteria();
    TFareTotalWhere* w = Pivot()->Where();
    Put(w->Recdate1Fld, DateOf(edtRecdate1));
    Put(w->Recdate2Fld, DateOf(edtRecdate2));
}
