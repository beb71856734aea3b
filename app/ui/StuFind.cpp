#include "StuFind.h"

QZ_CLASS_IMPL(TStuFindFrm, TEditFrm)

namespace {

// An exam item and a state ("已通过"/"未通过" or "已约考"/"未约考"): the
// item's Id goes to the criterion of the chosen state; "不限", no state or
// no item sets neither.
void ExamCondition(const Uis::TComboBox* item, const Uis::TComboBox* state, Variant& yes, Variant& no)
{
    yes = Null();
    no = Null();
    const Variant id = item->GetExamitemId();
    const Variant b = state->GetBoolean();
    if (VarIsNull(id) || VarIsNull(b)) return;
    (b.AsBoolean() ? yes : no) = id;
}

}  // namespace

TStuFindFrm::TStuFindFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("StuFindFrm");
    SetCaption("查找");
    edtDrivetype1 = RowAt<Uis::TComboBox>("驾照类型", 0, 0, 100);
    edtExamitems1 = DropDownList(RowAt<Uis::TComboBox>("考试情况", 0, 1, 106));
    edtPassif1 = DropDownList(UiKit::Make<Uis::TComboBox>(this, this, FieldLeft + 114, edtExamitems1->Top(), 80, 21));
    edtExamItem2 = DropDownList(RowAt<Uis::TComboBox>("约考情况", 0, 2, 106));
    edtApps1 = DropDownList(UiKit::Make<Uis::TComboBox>(this, this, FieldLeft + 114, edtExamItem2->Top(), 80, 21));
    edtClassif1 = DropDownList(RowAt<Uis::TComboBox>("分班情况", 0, 3, 100));
    edtClassname1 = RowAt<Uis::TComboBox>("班级类别", 0, 4, 194);
    edtName1 = RowAt<Uis::TEdit>("姓名", 0, 5, 194);
    edtSigndate1 = Optional(RowAt<Uis::TDateTimePicker>("报名日期", 1, 0, 140));
    edtSigndate2 = Optional(RowAt<Uis::TDateTimePicker>("截止日期", 1, 1, 140));
    edtSex1 = RowAt<Uis::TComboBox>("性别", 1, 2, 100);
    edtLinkTel1 = RowAt<Uis::TEdit>("联系电话", 1, 3, 180);
    edtSalesman1 = DropDownList(RowAt<Uis::TComboBox>("业务员", 1, 4, 140));
    edtTeacher1 = DropDownList(RowAt<Uis::TComboBox>("教练员", 1, 5, 140));
    edtGraduate1 = UiKit::Make<TCheckBox>(this, this, FieldLeft, TopMargin + 6 * RowHeight, 120, 21);
    edtGraduate1->SetCaption("包括毕业学员");
    edtDropout1 = UiKit::Make<TCheckBox>(this, this, ColumnWidth + FieldLeft, TopMargin + 6 * RowHeight, 120, 21);
    edtDropout1->SetCaption("包括退学学员");
    Finish(7, 2 * ColumnWidth);

    edtDrivetype1->FillDrivetypes();
    edtExamitems1->FillExamitems();
    edtPassif1->FillPassState();
    edtClassname1->FillClassnames();
    edtSalesman1->FillSalesmen();
    edtTeacher1->FillTrainers();
    edtSex1->FillSex();
    edtClassif1->FillClassState();
    edtExamItem2->FillExamitems();
    edtApps1->FillAppState();

    edtClassif1->SetItemIndex(-1);
    edtSalesman1->SetItemIndex(-1);
    edtTeacher1->SetItemIndex(-1);
    edtSigndate1->Reset();
    edtSigndate2->Reset();
    edtClassname1->SetText("");
    edtName1->SetText("");
    edtSex1->SetText("");
    edtLinkTel1->SetText("");
    edtGraduate1->SetChecked(false);
    edtDropout1->SetChecked(false);
}

TStuFindFrm::~TStuFindFrm()
{
    for (Uis::TComboBox* c : {edtExamitems1, edtPassif1, edtSalesman1, edtTeacher1, edtClassif1, edtApps1})
        c->FreeItemObjects();
}

TStuFindFrm::TStuFindFrm(TComponent* owner, TRecordCallback<RStufind> callback) : TStuFindFrm(owner)
{
    Callback = std::move(callback);
}

TStuFindFrm* TStuFindFrm::CreateFor(TComponent* owner, TRecordCallback<RStufind> callback)
{
    return new TStuFindFrm(owner, std::move(callback));
}

RStufind TStuFindFrm::GetData() const
{
    RStufind f;
    ExamCondition(edtExamitems1, edtPassif1, f.PassItemId, f.UnpassItemId);
    ExamCondition(edtExamItem2, edtApps1, f.AppItemId, f.UnappItemId);
    f.Drivetype = edtDrivetype1->GetText();
    // Criteria are whole days: the day the range starts and the day it ends.
    f.Signdate1 = edtSigndate1->AsDate();
    f.Signdate2 = edtSigndate2->AsDate();
    f.TeacherId = edtTeacher1->GetEmployeeId();
    f.SalemanId = edtSalesman1->GetEmployeeId();
    f.Classname = edtClassname1->GetText();
    f.Stuname = edtName1->GetText();
    f.Stusex = edtSex1->GetText();
    f.Stutel = edtLinkTel1->GetText();
    f.ClassIf = edtClassif1->GetBoolean();
    f.Graduated = edtGraduate1->Checked() ? Null() : Variant(false);
    f.Dropouted = edtDropout1->Checked() ? Null() : Variant(false);
    return f;
}

bool TStuFindFrm::Accept()
{
    RStufind f = GetData();
    return Callback && Callback(f);
}
