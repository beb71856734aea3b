#include "EditForms.h"

#include "SysUtils.h"

QZ_CLASS_IMPL(TEditFrm, TaFrm)
QZ_CLASS_IMPL(TEmployeeEditFrm, TEditFrm)
QZ_CLASS_IMPL(TCarEditFrm, TEditFrm)
QZ_CLASS_IMPL(TStudentEditFrm, TEditFrm)
QZ_CLASS_IMPL(TItemEditFrm, TEditFrm)
QZ_CLASS_IMPL(TRecitemEditFrm, TItemEditFrm)
QZ_CLASS_IMPL(TExamitemEditFrm, TItemEditFrm)
QZ_CLASS_IMPL(TReceiptEditFrm, TEditFrm)
QZ_CLASS_IMPL(TExamEditFrm, TEditFrm)
QZ_CLASS_IMPL(TGraduateEditFrm, TEditFrm)
QZ_CLASS_IMPL(TClassEditFrm, TEditFrm)
QZ_CLASS_IMPL(TDropoutEditFrm, TEditFrm)

namespace {

// The form on the record, modal and freed afterwards; true when it closed with OK.
template <class F, class R> bool RunForm(const R& r, TRecordCallback<R> callback)
{
    std::unique_ptr<F> f(new F(nullptr));
    f->Callback = std::move(callback);
    f->SetData(r);
    return f->ShowModal() == mrOk;
}

// The record offered to the callback; without one nothing is accepted.
template <class R> bool Offer(const TRecordCallback<R>& callback, R r) { return callback && callback(r); }

Variant AsNumber(const Uis::TEdit* e) { return Variant(e->AsDouble()); }
void ShowNumber(Uis::TEdit* e, const Variant& v) { e->SetAsDouble(v.AsDouble()); }

}  // namespace

// ---- the shared frame ---------------------------------------------------------------------

TEditFrm::TEditFrm(TComponent* owner) : TaFrm(owner)
{
    SetBorderStyle(fbsDialog);
    btnOk1 = UiKit::MakeButton(this, this, "确定", 0, 0);
    btnOk1->OnClick = [this](TObject* s) { btnOk1Click(s); };
    btnCancel1 = UiKit::MakeButton(this, this, "取消", 0, 0);
    btnCancel1->SetModalResult(mrCancel);
    btnCancel1->SetCancel(true);
}

void TEditFrm::btnOk1Click(TObject*)
{
    try {
        if (Accept()) SetModalResult(mrOk);
    } catch (...) {
        // The operator sees why the record was not taken, once, and keeps
        // what he typed.
        if (Application) Application->HandleException(this);
    }
}

Uis::TLabel* TEditFrm::RowLabel(const std::string& caption, int column, int row)
{
    auto* l = new Uis::TLabel(this);
    l->SetParent(this);
    l->SetCaption(caption);
    l->SetLeft(column * ColumnWidth + LabelLeft);
    l->SetTop(TopMargin + row * RowHeight + 3);
    return l;
}

TButton* TEditFrm::DotButton(TControl* beside)
{
    return UiKit::MakeButton(this, this, "...", beside->Left() + beside->Width() + 4, beside->Top(), 24,
                             beside->Height());
}

Uis::TComboBox* TEditFrm::DropDownList(Uis::TComboBox* c)
{
    c->SetStyle(csDropDownList);
    return c;
}

Uis::TDateTimePicker* TEditFrm::Optional(Uis::TDateTimePicker* p)
{
    p->SetShowCheckbox(true);
    return p;
}

void TEditFrm::Finish(int rows, int width)
{
    const int top = TopMargin + rows * RowHeight + 8;
    btnOk1->SetBounds(width - 176, top, 75, 25);
    btnCancel1->SetBounds(width - 91, top, 75, 25);
    SetClientSize(width, top + 25 + 12);
}

// ---- employee -----------------------------------------------------------------------------

TEmployeeEditFrm::TEmployeeEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("EmployeeEditFrm");
    edtName1 = Row<Uis::TEdit>("姓名", 0);
    edtSex1 = Row<Uis::TComboBox>("性别", 1, 100);
    // The duty belongs to the list the employee is edited from: it is
    // carried, not shown.
    lblDuty1 = RowLabel("职务", 0, 1);
    lblDuty1->SetLeft(FieldLeft + 110);
    lblDuty1->SetVisible(false);
    edtDuty1 = UiKit::Make<Uis::TComboBox>(this, this, FieldLeft + 150, edtSex1->Top(), 70, 21);
    edtDuty1->SetVisible(false);
    edtBirthday1 = Optional(Row<Uis::TDateTimePicker>("出生日期", 2, 140));
    edtTel1 = Row<Uis::TEdit>("联系电话", 3);
    edtAddr1 = Row<Uis::TEdit>("联系地址", 4);
    edtNotes1 = Row<Uis::TMemo>("备注", 5, 220, 21 + 2 * RowHeight);
    Finish(8);
}

bool TEmployeeEditFrm::Execute(const REmployee& r, TRecordCallback<REmployee> callback)
{
    return RunForm<TEmployeeEditFrm>(r, std::move(callback));
}

void TEmployeeEditFrm::SetData(const REmployee& r)
{
    SetCaption(r.Id > 0 ? r.Name : "新建");
    edtName1->SetTag(r.Id);
    edtName1->SetText(r.Name);
    edtDuty1->SetText(r.Duty);
    edtSex1->SetText(r.Sex);
    edtBirthday1->SetAsDateTime(r.Birthday);
    edtTel1->SetText(r.Tel);
    edtAddr1->SetText(r.Addr);
    edtNotes1->SetText(r.Notes);
}

REmployee TEmployeeEditFrm::GetData() const
{
    REmployee r;
    r.Id = int(edtName1->Tag());
    r.Name = edtName1->GetText();
    r.Duty = edtDuty1->GetText();
    r.Sex = edtSex1->GetText();
    r.Birthday = edtBirthday1->AsDateTime();
    r.Tel = edtTel1->GetText();
    r.Addr = edtAddr1->GetText();
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TEmployeeEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- car ----------------------------------------------------------------------------------

TCarEditFrm::TCarEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("CarEditFrm");
    // The labels are the car list's own column captions.
    TCarSet captions;
    auto label = [](TField* f) { return f->DisplayLabel(); };
    edtCarNo1 = RowAt<Uis::TEdit>(label(captions.CarNoFld), 0, 0);
    edtBrand1 = RowAt<Uis::TComboBox>(label(captions.BrandFld), 0, 1);
    edtPartno1 = RowAt<Uis::TEdit>(label(captions.PartNoFld), 0, 2);
    edtEngino1 = RowAt<Uis::TEdit>(label(captions.EnginoFld), 0, 3);
    edtCartype1 = RowAt<Uis::TComboBox>(label(captions.CartypeFld), 0, 4);
    edtManudate1 = Optional(RowAt<Uis::TDateTimePicker>(label(captions.ManudateFld), 0, 5, 140));
    edtBedno1 = RowAt<Uis::TEdit>(label(captions.BedNoFld), 1, 0);
    edtColor1 = RowAt<Uis::TComboBox>(label(captions.ColorFld), 1, 1);
    edtSeats1 = RowAt<Uis::TEdit>(label(captions.SeatsFld), 1, 2, 100);
    edtSeats1->SetEditType(etInteger);
    edtWeight1 = RowAt<Uis::TEdit>(label(captions.WeightFld), 1, 3, 100);
    edtWeight1->SetEditType(etNumber);
    edtBuydate1 = Optional(RowAt<Uis::TDateTimePicker>(label(captions.BuydateFld), 1, 4, 140));
    edtBuyfund1 = RowAt<Uis::TEdit>(label(captions.BuyFundFld), 1, 5, 140);
    edtNotes1 = RowAt<Uis::TMemo>(label(captions.NotesFld), 0, 6, 2 * ColumnWidth - FieldLeft - 16, 21 + RowHeight);
    // Esc does not throw the car's many fields away.
    btnCancel1->SetCancel(false);
    Finish(8, 2 * ColumnWidth);
}

bool TCarEditFrm::Execute(const RCar& r, TRecordCallback<RCar> callback)
{
    return RunForm<TCarEditFrm>(r, std::move(callback));
}

void TCarEditFrm::SetData(const RCar& r)
{
    SetCaption(r.Id <= 0 ? "添加" : "修改");
    edtCarNo1->SetTag(r.Id);
    edtCarNo1->SetText(r.CarNo);
    edtBrand1->SetText(r.Brand);
    edtPartno1->SetText(r.PartNo);
    edtEngino1->SetText(r.Engino);
    edtCartype1->SetText(r.Cartype);
    edtManudate1->SetAsDateTime(r.Manudate);
    edtBedno1->SetText(r.BedNo);
    edtColor1->SetText(r.Color);
    edtSeats1->SetAsVariant(r.Seats);
    edtWeight1->SetAsVariant(r.Weight);
    edtBuydate1->SetAsDateTime(r.Buydate);
    ShowNumber(edtBuyfund1, r.BuyFund);
    edtNotes1->SetText(r.Notes);
}

RCar TCarEditFrm::GetData() const
{
    RCar r;
    r.Id = int(edtCarNo1->Tag());
    r.CarNo = edtCarNo1->GetText();
    r.Brand = edtBrand1->GetText();
    r.PartNo = edtPartno1->GetText();
    r.Engino = edtEngino1->GetText();
    r.Cartype = edtCartype1->GetText();
    r.Manudate = edtManudate1->AsDateTime();
    r.BedNo = edtBedno1->GetText();
    r.Color = edtColor1->GetText();
    r.Seats = edtSeats1->AsVariant();
    r.Weight = edtWeight1->AsVariant();
    r.Buydate = edtBuydate1->AsDateTime();
    r.BuyFund = AsNumber(edtBuyfund1);
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TCarEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- student ------------------------------------------------------------------------------

TStudentEditFrm::TStudentEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("StudentEditFrm");
    edtName1 = Row<Uis::TEdit>("姓名", 0);
    edtSex1 = Row<Uis::TComboBox>("性别", 1, 100);
    edtNative1 = Row<Uis::TEdit>("籍贯", 2);
    edtIdcode1 = Row<Uis::TEdit>("身份证号", 3);
    edtLinktel1 = Row<Uis::TEdit>("联系电话", 4);
    edtAddr1 = Row<Uis::TEdit>("联系地址", 5);
    edtSigndate1 = Optional(Row<Uis::TDateTimePicker>("报名日期", 6, 140));
    edtDrivetype1 = Row<Uis::TComboBox>("驾照类型", 7, 100);
    edtSaleman1 = Row<Uis::TEdit>("业务员", 8, 192);
    edtSaleman1->SetReadOnly(true);
    btnSaleman1 = DotButton(edtSaleman1);
    btnSaleman1->OnClick = [this](TObject* s) { btnSaleman1Click(s); };
    edtNotes1 = Row<Uis::TMemo>("备注", 9, 220, 21 + 2 * RowHeight);
    Finish(12);
    edtDrivetype1->FillDrivetypes();
    edtSex1->FillSex();
}

void TStudentEditFrm::btnSaleman1Click(TObject*) { edtSaleman1->PickSalesman(); }

bool TStudentEditFrm::Execute(const RStudent& r, TRecordCallback<RStudent> callback)
{
    return RunForm<TStudentEditFrm>(r, std::move(callback));
}

void TStudentEditFrm::SetData(const RStudent& r)
{
    SetCaption(r.Id > 0 ? r.Name : "新建");
    edtName1->SetTag(r.Id);
    edtName1->SetText(r.Name);
    edtSex1->SetText(r.Sex);
    edtNative1->SetText(r.Native);
    edtIdcode1->SetText(r.Idcode);
    edtLinktel1->SetText(r.LinkTel);
    edtAddr1->SetText(r.Addr);
    edtSigndate1->SetAsDateTime(r.Signdate);
    edtDrivetype1->SetText(r.Drivetype);
    edtSaleman1->SetEmployeeById(r.SalemanId, r.SalemanName);
    edtNotes1->SetText(r.Notes);
}

RStudent TStudentEditFrm::GetData() const
{
    RStudent r;
    r.Id = int(edtName1->Tag());
    r.Name = edtName1->GetText();
    r.Sex = edtSex1->GetText();
    r.Native = edtNative1->GetText();
    r.Idcode = edtIdcode1->GetText();
    r.LinkTel = edtLinktel1->GetText();
    r.Addr = edtAddr1->GetText();
    r.Signdate = edtSigndate1->AsDateTime();
    r.Drivetype = edtDrivetype1->GetText();
    r.SalemanId = edtSaleman1->GetEmployeeId();
    r.SalemanName = edtSaleman1->GetEmployee().Name;
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TStudentEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- fee item and exam item ---------------------------------------------------------------

TItemEditFrm::TItemEditFrm(TComponent* owner, const std::string& nameLabel) : TEditFrm(owner)
{
    edtName1 = Row<Uis::TEdit>(nameLabel, 0);
    edtNotes1 = Row<Uis::TMemo>("备注", 1, 220, 21 + RowHeight);
    Finish(3);
}

TRecitemEditFrm::TRecitemEditFrm(TComponent* owner) : TItemEditFrm(owner, "费用名称") { SetName("RecitemEditFrm"); }

bool TRecitemEditFrm::Execute(const RRecitem& r, TRecordCallback<RRecitem> callback)
{
    return RunForm<TRecitemEditFrm>(r, std::move(callback));
}

bool TRecitemEditFrm::Accept() { return Offer(Callback, GetData()); }

TExamitemEditFrm::TExamitemEditFrm(TComponent* owner) : TItemEditFrm(owner, "考试科目") { SetName("ExamitemEditFrm"); }

bool TExamitemEditFrm::Execute(const RExamitem& r, TRecordCallback<RExamitem> callback)
{
    return RunForm<TExamitemEditFrm>(r, std::move(callback));
}

bool TExamitemEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- receipt ------------------------------------------------------------------------------

TReceiptEditFrm::TReceiptEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("ReceiptEditFrm");
    edtStudent1 = Row<Uis::TEdit>("学员", 0);
    edtStudent1->SetReadOnly(true);
    edtRecdate1 = Row<Uis::TDateTimePicker>("日期", 1, 140);
    edtItem1 = DropDownList(Row<Uis::TComboBox>("收费项目", 2, 192));
    Button3 = DotButton(edtItem1);
    Button3->OnClick = [this](TObject*) { edtItem1->PickRecitem(); };
    edtSign1 = DropDownList(Row<Uis::TComboBox>("方向", 3, 100));
    edtFund1 = Row<Uis::TEdit>("金额", 4, 140);
    edtFund1->SetEditType(etNumber);
    edtNotes1 = Row<Uis::TEdit>("备注", 5);
    edtTreasurer1 = Row<Uis::TComboBox>("收款人", 6, 192);
    Button4 = DotButton(edtTreasurer1);
    Button4->OnClick = [this](TObject*) { edtTreasurer1->EditTreasurers(); };
    Finish(7);
    edtItem1->FillRecitems();
    edtSign1->FillSign(false);
    edtTreasurer1->FillTreasurers();
}

bool TReceiptEditFrm::Execute(const RReceipt& r, TRecordCallback<RReceipt> callback)
{
    return RunForm<TReceiptEditFrm>(r, std::move(callback));
}

void TReceiptEditFrm::SetData(const RReceipt& r)
{
    SetCaption(r.Id > 0 ? "修改" : "添加");
    SetTag(r.Id);
    edtStudent1->SetStudentById(r.StudentId, r.StudentName);
    edtRecdate1->SetAsDateTime(r.Recdate);
    edtItem1->SetRecitemById(r.RecItemId, r.RecItemName);
    edtSign1->SetSign(r.RecSign);
    ShowNumber(edtFund1, r.Recfund);
    edtNotes1->SetText(r.dlNote);
    edtTreasurer1->SetText(r.Treasurer);
}

RReceipt TReceiptEditFrm::GetData() const
{
    RReceipt r;
    r.Id = int(Tag());
    r.StudentId = edtStudent1->GetStudentId().AsInteger();
    r.StudentName = edtStudent1->GetStudent().Name;
    r.Recdate = edtRecdate1->AsDateTime();
    r.RecItemId = edtItem1->GetRecitemId();
    r.RecItemName = edtItem1->GetRecitem().Name;
    r.RecSign = edtSign1->GetSign().AsInteger();
    r.Recfund = AsNumber(edtFund1);
    r.dlNote = edtNotes1->GetText();
    r.Treasurer = edtTreasurer1->GetText();
    return r;
}

bool TReceiptEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- exam ---------------------------------------------------------------------------------

TExamEditFrm::TExamEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("ExamEditFrm");
    edtStudent1 = Row<Uis::TEdit>("学员", 0);
    edtStudent1->SetReadOnly(true);
    edtAppdate1 = Optional(Row<Uis::TDateTimePicker>("预约日期", 1, 140));
    edtExamdate1 = Optional(Row<Uis::TDateTimePicker>("考试日期", 2, 140));
    edtItem1 = DropDownList(Row<Uis::TComboBox>("考试科目", 3, 192));
    btnItem1 = DotButton(edtItem1);
    btnItem1->OnClick = [this](TObject*) { edtItem1->PickExamitem(); };
    edtPoint1 = Row<Uis::TEdit>("分数", 4, 100);
    edtPoint1->SetEditType(etInteger);
    edtIsPass1 = UiKit::Make<TCheckBox>(this, this, FieldLeft + 120, edtPoint1->Top(), 100, 21);
    edtIsPass1->SetCaption("是否通过");
    edtNotes1 = Row<Uis::TEdit>("备注", 5);
    Finish(6);
    edtItem1->FillExamitems();
}

bool TExamEditFrm::Execute(const RExam& r, TRecordCallback<RExam> callback)
{
    return RunForm<TExamEditFrm>(r, std::move(callback));
}

void TExamEditFrm::SetData(const RExam& r)
{
    SetCaption(r.Id > 0 ? "修改" : "添加");
    SetTag(r.Id);
    edtStudent1->SetStudentById(r.StudentId, r.StudentName);
    edtAppdate1->SetAsDateTime(r.Appdate);
    edtExamdate1->SetAsDateTime(r.Examdate);
    edtItem1->SetExamitemById(r.ItemId, r.ItemName);
    edtPoint1->SetAsInteger(r.Point);
    edtIsPass1->SetChecked(r.IsPass);
    edtNotes1->SetText(r.dlNote);
}

RExam TExamEditFrm::GetData() const
{
    RExam r;
    r.Id = int(Tag());
    r.StudentId = edtStudent1->GetStudentId();
    r.StudentName = edtStudent1->GetStudent().Name;
    r.Appdate = edtAppdate1->AsDateTime();
    r.Examdate = edtExamdate1->AsDateTime();
    r.ItemId = edtItem1->GetExamitemId();
    r.ItemName = edtItem1->GetExamitem().Name;
    r.Point = edtPoint1->AsInteger();
    r.IsPass = edtIsPass1->Checked();
    r.dlNote = edtNotes1->GetText();
    return r;
}

bool TExamEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- graduation ---------------------------------------------------------------------------

TGraduateEditFrm::TGraduateEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("GraduateEditFrm");
    SetCaption("毕业");
    txtStudentName1 = RowAt<Uis::TLabel>("学员姓名", 0, 0, 220, 15);
    txtStudentName1->SetTop(txtStudentName1->Top() + 3);
    edtGrantdate1 = Row<Uis::TDateTimePicker>("领证日期", 1, 140);
    edtValidate1 = Row<Uis::TDateTimePicker>("有效起始日期", 2, 140);
    edtValimonth1 = Row<Uis::TEdit>("有效期", 3, 60);
    edtValimonth1->SetEditType(etInteger);
    UiKit::MakeLabel(this, this, "月", FieldLeft + 66, edtValimonth1->Top() + 3);
    edtDrivetype1 = Row<Uis::TEdit>("准驾类型", 4, 100);
    edtDocumentNo1 = Row<Uis::TEdit>("档案编号", 5);
    edtTakedate1 = Optional(Row<Uis::TDateTimePicker>("领取日期", 6, 140));
    edtHandman1 = Row<Uis::TComboBox>("经办人", 7, 140);
    edtNotes1 = Row<Uis::TEdit>("备注", 8);
    Finish(9);
}

TGraduateEditFrm::TGraduateEditFrm(TComponent* owner, TRecordCallback<RGraduate> callback, const RGraduate& r)
    : TGraduateEditFrm(owner)
{
    Callback = std::move(callback);
    SetData(r);
}

TGraduateEditFrm* TGraduateEditFrm::CreateFor(TComponent* owner, TRecordCallback<RGraduate> callback,
                                              const RGraduate& r)
{
    return new TGraduateEditFrm(owner, std::move(callback), r);
}

void TGraduateEditFrm::SetData(const RGraduate& r)
{
    txtStudentName1->SetTag(r.StudentId);
    txtStudentName1->ShowString(r.StudentName);
    edtGrantdate1->SetAsDateTime(r.Grantdate);
    edtValidate1->SetAsDateTime(r.Validate);
    edtValimonth1->SetAsInteger(r.Valimonth.AsInteger());
    edtDrivetype1->SetText(r.Drivetype);
    edtDocumentNo1->SetText(r.DocumentNo);
    edtTakedate1->SetAsDateTime(r.Takedate);
    edtHandman1->SetText(r.Handman);
    edtNotes1->SetText(r.Notes);
}

RGraduate TGraduateEditFrm::GetData() const
{
    RGraduate r;
    r.StudentId = int(txtStudentName1->Tag());
    r.StudentName = txtStudentName1->Caption();
    r.Grantdate = edtGrantdate1->AsDateTime();
    r.Validate = edtValidate1->AsDateTime();
    r.Valimonth = edtValimonth1->AsInteger();
    r.Drivetype = edtDrivetype1->GetText();
    r.DocumentNo = edtDocumentNo1->GetText();
    r.Takedate = edtTakedate1->AsDateTime();
    r.Handman = edtHandman1->GetText();
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TGraduateEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- class placement ----------------------------------------------------------------------

TClassEditFrm::TClassEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("ClassEditFrm");
    SetCaption("分班");
    txtStudentName1 = RowAt<Uis::TLabel>("学员姓名", 0, 0, 220, 15);
    txtStudentName1->SetTop(txtStudentName1->Top() + 3);
    edtClassdate1 = Row<Uis::TDateTimePicker>("分班日期", 1, 140);
    edtClassname1 = Row<Uis::TComboBox>("班级名称", 2, 192);
    Button5 = DotButton(edtClassname1);
    Button5->OnClick = [this](TObject*) { edtClassname1->EditClassnames(); };
    edtTeacher1 = Row<Uis::TEdit>("教练员", 3, 192);
    edtTeacher1->SetReadOnly(true);
    Button3 = DotButton(edtTeacher1);
    Button3->OnClick = [this](TObject*) { edtTeacher1->PickTrainer(); };
    edtCar1 = Row<Uis::TEdit>("驾驶车辆", 4, 192);
    edtCar1->SetReadOnly(true);
    Button4 = DotButton(edtCar1);
    Button4->OnClick = [this](TObject*) { edtCar1->PickCar(); };
    edtNotes1 = Row<Uis::TEdit>("备注", 5);
    Finish(6);
    edtClassname1->FillClassnames();
}

TClassEditFrm::TClassEditFrm(TComponent* owner, TRecordCallback<RClass> callback, const RClass& r)
    : TClassEditFrm(owner)
{
    Callback = std::move(callback);
    SetData(r);
}

TClassEditFrm* TClassEditFrm::CreateFor(TComponent* owner, TRecordCallback<RClass> callback, const RClass& r)
{
    return new TClassEditFrm(owner, std::move(callback), r);
}

void TClassEditFrm::SetData(const RClass& r)
{
    txtStudentName1->SetTag(r.StudentId);
    txtStudentName1->ShowString(r.StudentName);
    edtClassdate1->SetAsDateTime(r.Classdate);
    edtClassname1->SetText(r.Classname);
    edtTeacher1->SetEmployeeById(r.TeacherId, r.TeacherName);
    edtCar1->SetCarById(r.CarId, r.CarNo);
    edtNotes1->SetText(r.Notes);
}

RClass TClassEditFrm::GetData() const
{
    RClass r;
    r.StudentId = int(txtStudentName1->Tag());
    r.StudentName = txtStudentName1->Caption();
    r.Classdate = edtClassdate1->AsDateTime();
    r.Classname = edtClassname1->GetText();
    r.TeacherId = edtTeacher1->GetEmployeeId();
    r.TeacherName = edtTeacher1->GetEmployee().Name;
    r.CarId = edtCar1->GetCarId();
    r.CarNo = edtCar1->GetCar().CarNo;
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TClassEditFrm::Accept() { return Offer(Callback, GetData()); }

// ---- drop-out -----------------------------------------------------------------------------

TDropoutEditFrm::TDropoutEditFrm(TComponent* owner) : TEditFrm(owner)
{
    SetName("DropoutEditFrm");
    SetCaption("退学");
    txtStudentName1 = RowAt<Uis::TLabel>("学员姓名", 0, 0, 220, 15);
    txtStudentName1->SetTop(txtStudentName1->Top() + 3);
    edtDropdate1 = Row<Uis::TDateTimePicker>("退学日期", 1, 140);
    edtReasons1 = Row<Uis::TEdit>("退学原因", 2);
    edtRetfund1 = Row<Uis::TEdit>("退还学费", 3, 140);
    edtRetfund1->SetEditType(etNumber);
    edtHandman1 = Row<Uis::TComboBox>("经办人", 4, 140);
    edtNotes1 = Row<Uis::TEdit>("备注", 5);
    Finish(6);
}

TDropoutEditFrm::TDropoutEditFrm(TComponent* owner, TRecordCallback<RDropout> callback, const RDropout& r)
    : TDropoutEditFrm(owner)
{
    Callback = std::move(callback);
    SetData(r);
}

TDropoutEditFrm* TDropoutEditFrm::CreateFor(TComponent* owner, TRecordCallback<RDropout> callback, const RDropout& r)
{
    return new TDropoutEditFrm(owner, std::move(callback), r);
}

void TDropoutEditFrm::SetData(const RDropout& r)
{
    txtStudentName1->SetTag(r.StudentId);
    txtStudentName1->ShowString(r.StudentName);
    edtDropdate1->SetAsDateTime(r.Dropdate);
    edtReasons1->SetText(r.Reasons);
    ShowNumber(edtRetfund1, r.Retfund);
    edtHandman1->SetText(r.Handman);
    edtNotes1->SetText(r.Notes);
}

RDropout TDropoutEditFrm::GetData() const
{
    RDropout r;
    r.StudentId = int(txtStudentName1->Tag());
    r.StudentName = txtStudentName1->Caption();
    r.Dropdate = edtDropdate1->AsDateTime();
    r.Reasons = edtReasons1->GetText();
    r.Retfund = AsNumber(edtRetfund1);
    r.Handman = edtHandman1->GetText();
    r.Notes = edtNotes1->GetText();
    return r;
}

bool TDropoutEditFrm::Accept() { return Offer(Callback, GetData()); }
