// The lists of the school's records with their edit forms and the student
// search, over a fresh school database: what each form shows and gives
// back, the save that patches the list's own row (new rows appended, edited
// rows replaced in place, joined columns kept), the delete after a
// confirmation, forms that stay open while a save is refused or fails, the
// list operations that do nothing, and the search criteria.
#include "EditForms.h"
#include "SmallDlgs.h"
#include "StuFind.h"
#include "Uis.h"
#include "UiTestDb.h"

#include "DateUtils.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "Objs.h"

namespace {

class ListsTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        Exec("insert into recitems (Id, Name, Notes) values (1, '学费', ''), (2, '补考费', '')");
        Exec("insert into examitems (Id, Name, Notes) values (1, '科目一', ''), (2, '科目二', '')");
        Exec("insert into employees (Id, Name, Duty) values (1, '王教练', '教练员'), (2, '李业务', '业务员'), "
             "(3, '赵教练', '教练员')");
        Exec("insert into students (Id, Name, Sex, LinkTel, Idcode, Drivetype, Signdate, SalemanId) values "
             "(1, '张三', '男', '13800000001', '440101199001011234', 'C1', '2008-03-05', 2), "
             "(2, '李四', '女', '13800000002', '', 'B2', '2008-04-01', null)");
        Exec("insert into classes (StudentId, Classdate, Classname, TeacherId) values (1, '2008-03-06', '一班', 1)");
    }

    // Closes the edit form shown now with its OK, after the step has filled it.
    template <class F> static std::function<void()> OnForm(std::function<void(F*)> step)
    {
        return [step] {
            F* f = ShownForm<F>();
            ASSERT_NE(f, nullptr);
            step(f);
        };
    }

    // A step that records the form it met and cancels it.
    static std::function<void()> CancelAny(bool& shown)
    {
        return [&shown] {
            shown = true;
            ModalForm()->SetModalResult(mrCancel);
        };
    }
};

TDateTime At(int y, int m, int d, int h = 0, int n = 0) { return EncodeDateTime(y, m, d, h, n, 0, 0); }

// Records of the school as the forms show them, Chinese included.
REmployee SampleEmployee()
{
    REmployee r;
    r.Id = 3;
    r.Name = "赵教练";
    r.Duty = "教练员";
    r.Sex = "男";
    r.Tel = "020-1234";
    r.Birthday = VarFromDateTime(At(1970, 5, 6));
    r.Addr = "广州市天河路1号";
    r.Notes = "老教练\r\n二十年驾龄";
    return r;
}

RCar SampleCar()
{
    RCar r;
    r.Id = 4;
    r.CarNo = "粤A12345";
    r.Brand = "桑塔纳";
    r.PartNo = "3000";
    r.Engino = "E123";
    r.BedNo = "B456";
    r.Cartype = "小型";
    r.Color = "白色";
    r.Manudate = VarFromDateTime(At(2005, 1, 2));
    r.Seats = 5;
    r.Weight = 1.5;
    r.Buydate = Null();
    r.BuyFund = 98000.5;
    r.Notes = "教练车";
    return r;
}

RStudent SampleStudent()
{
    RStudent r;
    r.Id = 1;
    r.Name = "张三";
    r.Sex = "男";
    r.Native = "广东";
    r.Idcode = "440101199001011234";
    r.LinkTel = "13800000001";
    r.Addr = "广州";
    r.Signdate = VarFromDateTime(At(2008, 3, 5));
    r.Drivetype = "C1";
    r.SalemanId = 2;
    r.SalemanName = "李业务";
    r.Notes = "备注";
    return r;
}

RReceipt SampleReceipt()
{
    RReceipt r;
    r.Id = 8;
    r.StudentId = 1;
    r.StudentName = "张三";
    r.Recdate = VarFromDateTime(At(2008, 3, 5, 9, 30));
    r.RecItemId = 2;
    r.RecItemName = "补考费";
    r.RecSign = -1;
    r.Recfund = 150.5;
    r.Treasurer = "陈会计";
    r.dlNote = "退回";
    return r;
}

RExam SampleExam()
{
    RExam r;
    r.Id = 0;
    r.StudentId = 2;
    r.StudentName = "李四";
    r.Appdate = VarFromDateTime(At(2008, 5, 1));
    r.Examdate = Null();
    r.ItemId = 1;
    r.ItemName = "科目一";
    r.Point = 95;
    r.IsPass = true;
    r.dlNote = "一次通过";
    return r;
}

RGraduate SampleGraduate()
{
    RGraduate r;
    r.StudentId = 1;
    r.StudentName = "张三";
    r.Grantdate = VarFromDateTime(At(2008, 9, 1));
    r.Validate = VarFromDateTime(At(2008, 9, 2));
    r.Valimonth = 6;
    r.Drivetype = "C1";
    r.DocumentNo = "档-001";
    r.Takedate = Null();
    r.Handman = "陈会计";
    r.Notes = "毕业";
    return r;
}

RClass SampleClass()
{
    RClass r;
    r.StudentId = 1;
    r.StudentName = "张三";
    r.Classdate = VarFromDateTime(At(2008, 3, 6));
    r.Classname = "一班";
    r.TeacherId = 1;
    r.TeacherName = "王教练";
    r.CarId = Null();
    r.Notes = "早班";
    return r;
}

RDropout SampleDropout()
{
    RDropout r;
    r.StudentId = 2;
    r.StudentName = "李四";
    r.Dropdate = VarFromDateTime(At(2008, 6, 1));
    r.Reasons = "搬家";
    r.Retfund = 800.0;
    r.Handman = "刘出纳";
    r.Notes = "退一半";
    return r;
}

// ---- controls ---------------------------------------------------------------------------

TEST_F(ListsTest, ComboSignBooleanAndRecordItems)
{
    Uis::TComboBox c(nullptr);
    c.FillSign(false);
    struct {
        Variant Set;
        int Index;
        Variant Get;
    } signs[] = {{1, 0, 1}, {-1, 1, -1}, {Null(), -1, Null()}, {0, -1, Null()}, {7, -1, Null()}};
    for (const auto& s : signs) {
        c.SetSign(s.Set);
        EXPECT_EQ(c.ItemIndex(), s.Index) << VarToStr(s.Set);
        EXPECT_TRUE(VarSameValue(c.GetSign(), s.Get)) << VarToStr(s.Set);
    }
    c.FillSign(true);
    EXPECT_EQ(c.Items()->CommaText(), "收款,退款,不限");
    c.SetItemIndex(2);
    EXPECT_TRUE(VarIsNull(c.GetSign()));

    // The two-state lists: true, false, then "不限" with no value.
    c.FillPassState();
    EXPECT_EQ(c.Items()->CommaText(), "已通过,未通过,不限");
    const Variant expect[] = {Null(), true, false, Null()};
    for (int i = -1; i < 3; ++i) {
        c.SetItemIndex(i);
        EXPECT_TRUE(VarSameValue(c.GetBoolean(), expect[i + 1])) << i;
    }

    // Record items: an Id the list lacks is added and chosen; a known Id
    // keeps the name it was loaded with.
    c.FillRecitems();
    EXPECT_EQ(c.Items()->CommaText(), "学费,补考费");
    EXPECT_TRUE(VarIsNull(c.GetRecitemId()));
    EXPECT_EQ(c.GetRecitem().Id, 0);
    c.SetRecitemById(9, "资料费");
    EXPECT_EQ(c.Items()->Count(), 3);
    EXPECT_EQ(c.GetText(), "资料费");
    EXPECT_EQ(c.GetRecitemId().AsInteger(), 9);
    c.SetRecitemById(1, "改了名的学费");
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_EQ(c.GetRecitem().Name, "学费");
    c.SetRecitemById(Null(), "");
    EXPECT_EQ(c.ItemIndex(), -1);
    // A picked item is chosen and the change told.
    int changes = 0;
    c.OnChange = [&](TObject*) { ++changes; };
    RRecitem picked;
    picked.Id = 2;
    picked.Name = "补考费";
    EXPECT_TRUE(c.PickedRecitem(picked));
    EXPECT_EQ(c.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    // Another fill frees the items it had and starts afresh.
    c.FillExamitems();
    EXPECT_EQ(c.Items()->CommaText(), "科目一,科目二");
    EXPECT_TRUE(VarIsNull(c.GetRecitemId()));
    c.SetItemIndex(1);
    EXPECT_EQ(c.GetExamitemId().AsInteger(), 2);
}

TEST_F(ListsTest, ComboFillsFromTheSchoolsLists)
{
    Uis::TComboBox c(nullptr);
    c.FillTrainers();
    EXPECT_EQ(c.Items()->CommaText(), "王教练,赵教练");
    c.SetItemIndex(1);
    EXPECT_EQ(c.GetEmployeeId().AsInteger(), 3);
    c.FillSalesmen();
    EXPECT_EQ(c.Items()->CommaText(), "李业务");
    c.FillDrivetypes();
    EXPECT_EQ(c.Items()->Count(), 2);
    c.FillSex();
    EXPECT_EQ(c.Items()->CommaText(), "男,女");
    EXPECT_TRUE(VarIsNull(c.GetEmployeeId()));

    // Pick lists: "A,B" gives two items, an empty or missing list none.
    c.FillClassnames();
    EXPECT_EQ(c.Items()->Count(), 0);
    ASSERT_TRUE(TPickListSet::SetList(0, "一班,二班"));
    c.FillClassnames();
    EXPECT_EQ(c.Items()->CommaText(), "一班,二班");
    TPickListSet::SetList(0, "");
    c.FillClassnames();
    EXPECT_EQ(c.Items()->Count(), 0);

    // The list editor stores what it gives under the combo's key; the text
    // typed into the combo stays.
    c.FillTreasurers();
    c.SetText("陈会计");
    TDialogScript script({[] {
                              auto* f = ShownForm<TListItemEditFrm>();
                              ASSERT_NE(f, nullptr);
                              EXPECT_EQ(f->TabSheet1->Caption(), "收款人");
                              f->Memo1->SetText("陈会计\r\n刘出纳");
                              f->BitBtn1->Click();
                          },
                          [] { ShownForm<TListItemEditFrm>()->CancelBtn1->Click(); }});
    c.EditTreasurers();
    EXPECT_EQ(c.Items()->CommaText(), "陈会计,刘出纳");
    EXPECT_EQ(c.GetText(), "陈会计");
    std::string stored;
    EXPECT_TRUE(TPickListSet::GetList(1, stored));
    EXPECT_EQ(stored, "陈会计,刘出纳");
    c.EditTreasurers();   // cancelled: nothing changes
    EXPECT_EQ(c.Items()->Count(), 2);
}

TEST_F(ListsTest, EditHoldsOnePickedRecord)
{
    Uis::TEdit e(nullptr);
    EXPECT_TRUE(VarIsNull(e.GetEmployeeId()));
    EXPECT_EQ(e.GetEmployee().Id, 0);
    e.SetEmployeeById(3, "赵教练");
    EXPECT_EQ(e.GetText(), "赵教练");
    EXPECT_EQ(e.GetEmployeeId().AsInteger(), 3);
    // A car held in place of the employee: no employee any more.
    RCar car;
    car.Id = 5;
    car.CarNo = "粤A12345";
    EXPECT_TRUE(e.SetCar(car));
    EXPECT_EQ(e.GetText(), "粤A12345");
    EXPECT_TRUE(VarIsNull(e.GetEmployeeId()));
    EXPECT_EQ(e.GetCarId().AsInteger(), 5);
    // A Null Id holds nothing, so it reads back as Null rather than as 0.
    e.SetStudentById(Null(), "");
    EXPECT_EQ(e.Held(), nullptr);
    EXPECT_TRUE(VarIsNull(e.GetStudentId()));
    e.SetStudentById(1, "张三");
    EXPECT_EQ(e.GetStudent().Name, "张三");
    e.Clear();
    EXPECT_EQ(e.Held(), nullptr);
    EXPECT_EQ(e.GetText(), "");
}

TEST(UisLabel, DatesAndNumbers)
{
    GuiTest::Init();
    Uis::TLabel l(nullptr);
    struct {
        Variant Value;
        bool Date;
        const char* Shown;
    } cases[] = {
        {Null(), true, ""},
        {VarFromDateTime(EncodeDate(2008, 3, 5)), true, "2008-03-05"},
        {VarFromDateTime(EncodeDateTime(2008, 3, 5, 14, 30, 5, 0)), true, "2008-03-05 14:30:05"},
        {Null(), false, ""},
        {1500.0, false, "1500"},
        {0.1 + 0.2, false, "0.3"},
        {-2.5, false, "-2.5"},
    };
    for (const auto& c : cases) {
        l.SetCaption("x");
        if (c.Date)
            l.ShowDate(c.Value);
        else
            l.ShowFloat(c.Value);
        EXPECT_EQ(l.Caption(), c.Shown);
    }
    l.ShowString("张三");
    EXPECT_EQ(l.Caption(), "张三");
}

// ---- edit forms: what they show and give back ----------------------------------------------

TEST_F(ListsTest, FormCaptionsByRecord)
{
    struct {
        std::function<std::string(int id)> Caption;
        const char* New;
        const char* Old;   // empty: the record's name
    } cases[] = {
        {[](int id) { TEmployeeEditFrm f; REmployee r; r.Id = id; r.Name = "王教练"; f.SetData(r); return f.Caption(); }, "新建", ""},
        {[](int id) { TStudentEditFrm f; RStudent r; r.Id = id; r.Name = "张三"; f.SetData(r); return f.Caption(); }, "新建", ""},
        {[](int id) { TRecitemEditFrm f; RRecitem r; r.Id = id; r.Name = "学费"; f.SetData(r); return f.Caption(); }, "添加", ""},
        {[](int id) { TExamitemEditFrm f; RExamitem r; r.Id = id; r.Name = "科目一"; f.SetData(r); return f.Caption(); }, "添加", ""},
        {[](int id) { TCarEditFrm f; RCar r; r.Id = id; r.CarNo = "粤A1"; f.SetData(r); return f.Caption(); }, "添加", "修改"},
        {[](int id) { TReceiptEditFrm f; RReceipt r; r.Id = id; f.SetData(r); return f.Caption(); }, "添加", "修改"},
        {[](int id) { TExamEditFrm f; RExam r; r.Id = id; f.SetData(r); return f.Caption(); }, "添加", "修改"},
    };
    const char* names[] = {"王教练", "张三", "学费", "科目一"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].Caption(0), cases[i].New) << i;
        EXPECT_EQ(cases[i].Caption(7), *cases[i].Old ? std::string(cases[i].Old) : std::string(names[i])) << i;
    }
    EXPECT_EQ(TGraduateEditFrm().Caption(), "毕业");
    EXPECT_EQ(TClassEditFrm().Caption(), "分班");
    EXPECT_EQ(TDropoutEditFrm().Caption(), "退学");
    EXPECT_EQ(TStuFindFrm().Caption(), "查找");
}

TEST_F(ListsTest, EmployeeCarAndStudentFormsGiveBackWhatTheyShow)
{
    REmployee e = SampleEmployee();
    TEmployeeEditFrm ef;
    ef.SetData(e);
    EXPECT_FALSE(ef.edtDuty1->Visible());
    EXPECT_EQ(ef.edtName1->Tag(), 3);
    const REmployee e2 = ef.GetData();
    EXPECT_EQ(e2.Id, 3);
    EXPECT_EQ(e2.Name, e.Name);
    EXPECT_EQ(e2.Duty, "教练员");   // carried although not shown
    EXPECT_EQ(e2.Sex, e.Sex);
    EXPECT_EQ(e2.Tel, e.Tel);
    EXPECT_EQ(e2.Birthday, e.Birthday);
    EXPECT_EQ(e2.Addr, e.Addr);
    EXPECT_EQ(e2.Notes, e.Notes);
    e.Birthday = Null();
    ef.SetData(e);
    EXPECT_TRUE(VarIsNull(ef.GetData().Birthday));

    RCar c = SampleCar();
    TCarEditFrm cf;
    EXPECT_FALSE(cf.btnCancel1->Cancel());   // Esc keeps the car's fields
    cf.SetData(c);
    const RCar c2 = cf.GetData();
    EXPECT_EQ(c2.Id, 4);
    for (auto [a, b] : {std::pair{c2.CarNo, c.CarNo}, {c2.Brand, c.Brand}, {c2.PartNo, c.PartNo}, {c2.Engino, c.Engino},
                        {c2.BedNo, c.BedNo}, {c2.Cartype, c.Cartype}, {c2.Color, c.Color}, {c2.Notes, c.Notes}})
        EXPECT_EQ(a, b);
    EXPECT_EQ(c2.Manudate, c.Manudate);
    EXPECT_EQ(c2.Seats.AsInteger(), 5);
    EXPECT_DOUBLE_EQ(c2.Weight.AsDouble(), 1.5);
    EXPECT_TRUE(VarIsNull(c2.Buydate));
    EXPECT_DOUBLE_EQ(c2.BuyFund.AsDouble(), 98000.5);
    // The labels are the car list's captions.
    std::vector<std::string> labels;
    for (int i = 0; i < cf.ControlCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(cf.Controls(i))) labels.push_back(l->Caption());
    EXPECT_EQ(labels, (std::vector<std::string>{"车牌号", "品牌", "型号", "发动机号", "车辆类型", "出厂日期", "底盘号",
                                                "颜色", "座位数", "载重", "购买日期", "购买金额", "备注"}));

    RStudent s = SampleStudent();
    TStudentEditFrm sf;
    EXPECT_EQ(sf.edtSex1->Items()->CommaText(), "男,女");
    EXPECT_EQ(sf.edtDrivetype1->Items()->Count(), 2);
    sf.SetData(s);
    EXPECT_TRUE(sf.edtSaleman1->ReadOnly());
    RStudent s2 = sf.GetData();
    EXPECT_EQ(s2.Id, 1);
    for (auto [a, b] : {std::pair{s2.Name, s.Name}, {s2.Sex, s.Sex}, {s2.Native, s.Native}, {s2.Idcode, s.Idcode},
                        {s2.LinkTel, s.LinkTel}, {s2.Addr, s.Addr}, {s2.Drivetype, s.Drivetype},
                        {s2.SalemanName, s.SalemanName}, {s2.Notes, s.Notes}})
        EXPECT_EQ(a, b);
    EXPECT_EQ(s2.Signdate, s.Signdate);
    EXPECT_EQ(s2.SalemanId.AsInteger(), 2);
    // A student without a salesman is saved without one.
    s.SalemanId = Null();
    s.SalemanName = "";
    sf.SetData(s);
    s2 = sf.GetData();
    EXPECT_TRUE(VarIsNull(s2.SalemanId));
    EXPECT_EQ(sf.edtSaleman1->GetText(), "");
}

TEST_F(ListsTest, ReceiptAndExamFormsGiveBackWhatTheyShow)
{
    TPickListSet::SetList(1, "陈会计,刘出纳");
    RReceipt r = SampleReceipt();
    TReceiptEditFrm rf;
    EXPECT_EQ(rf.edtItem1->Items()->CommaText(), "学费,补考费");
    EXPECT_EQ(rf.edtSign1->Items()->CommaText(), "收款,退款");
    EXPECT_EQ(rf.edtTreasurer1->Items()->CommaText(), "陈会计,刘出纳");
    rf.SetData(r);
    EXPECT_EQ(rf.Tag(), 8);
    EXPECT_EQ(rf.edtSign1->GetText(), "退款");
    EXPECT_EQ(rf.edtStudent1->GetText(), "张三");
    RReceipt r2 = rf.GetData();
    EXPECT_EQ(r2.Id, 8);
    EXPECT_EQ(r2.StudentId, 1);
    EXPECT_EQ(r2.StudentName, "张三");
    EXPECT_EQ(r2.Recdate, r.Recdate);
    EXPECT_EQ(r2.RecItemId.AsInteger(), 2);
    EXPECT_EQ(r2.RecItemName, "补考费");
    EXPECT_EQ(r2.RecSign, -1);
    EXPECT_DOUBLE_EQ(r2.Recfund.AsDouble(), 150.5);
    EXPECT_EQ(r2.Treasurer, "陈会计");
    EXPECT_EQ(r2.dlNote, "退回");
    // No direction shows none and gives 0; a fee item the list lacks is added.
    r.RecSign = 0;
    r.RecItemId = 9;
    r.RecItemName = "资料费";
    rf.SetData(r);
    EXPECT_EQ(rf.edtSign1->ItemIndex(), -1);
    r2 = rf.GetData();
    EXPECT_EQ(r2.RecSign, 0);
    EXPECT_EQ(r2.RecItemName, "资料费");

    RExam x = SampleExam();
    TExamEditFrm xf;
    xf.SetData(x);
    EXPECT_EQ(xf.Tag(), 0);
    const RExam x2 = xf.GetData();
    EXPECT_EQ(x2.StudentId.AsInteger(), 2);
    EXPECT_EQ(x2.StudentName, "李四");
    EXPECT_EQ(x2.Appdate, x.Appdate);
    EXPECT_TRUE(VarIsNull(x2.Examdate));
    EXPECT_EQ(x2.ItemId.AsInteger(), 1);
    EXPECT_EQ(x2.ItemName, "科目一");
    EXPECT_EQ(x2.Point, 95);
    EXPECT_TRUE(x2.IsPass);
    EXPECT_EQ(x2.dlNote, "一次通过");
    // Fields the form does not show stay empty in what it gives back.
    EXPECT_TRUE(VarIsNull(x2.Signdate));
    EXPECT_EQ(x2.Drivetype, "");
}

TEST_F(ListsTest, GraduationClassAndDropoutFormsGiveBackWhatTheyShow)
{
    RGraduate g = SampleGraduate();
    std::unique_ptr<TGraduateEditFrm> gf(TGraduateEditFrm::CreateFor(nullptr, nullptr, g));
    EXPECT_EQ(gf->txtStudentName1->Tag(), 1);
    const RGraduate g2 = gf->GetData();
    EXPECT_EQ(g2.StudentId, 1);
    EXPECT_EQ(g2.StudentName, "张三");
    EXPECT_EQ(g2.Grantdate, g.Grantdate);
    EXPECT_EQ(g2.Validate, g.Validate);
    EXPECT_EQ(g2.Valimonth.AsInteger(), 6);
    EXPECT_EQ(g2.Drivetype, "C1");
    EXPECT_EQ(g2.DocumentNo, "档-001");
    EXPECT_TRUE(VarIsNull(g2.Takedate));
    EXPECT_EQ(g2.Handman, "陈会计");
    EXPECT_EQ(g2.Notes, "毕业");

    TPickListSet::SetList(0, "一班,二班");
    RClass c = SampleClass();
    std::unique_ptr<TClassEditFrm> cf(TClassEditFrm::CreateFor(nullptr, nullptr, c));
    EXPECT_EQ(cf->edtClassname1->Items()->CommaText(), "一班,二班");
    const RClass c2 = cf->GetData();
    EXPECT_EQ(c2.StudentId, 1);
    EXPECT_EQ(c2.Classdate, c.Classdate);
    EXPECT_EQ(c2.Classname, "一班");
    EXPECT_EQ(c2.TeacherId.AsInteger(), 1);
    EXPECT_EQ(c2.TeacherName, "王教练");
    EXPECT_TRUE(VarIsNull(c2.CarId));
    EXPECT_EQ(c2.CarNo, "");
    EXPECT_EQ(c2.Notes, "早班");

    RDropout d = SampleDropout();
    std::unique_ptr<TDropoutEditFrm> df(TDropoutEditFrm::CreateFor(nullptr, nullptr, d));
    const RDropout d2 = df->GetData();
    EXPECT_EQ(d2.StudentId, 2);
    EXPECT_EQ(d2.Dropdate, d.Dropdate);
    EXPECT_EQ(d2.Reasons, "搬家");
    EXPECT_DOUBLE_EQ(d2.Retfund.AsDouble(), 800.0);
    EXPECT_EQ(d2.Handman, "刘出纳");
    EXPECT_EQ(d2.Notes, "退一半");
}

// ---- the OK handler -----------------------------------------------------------------------

TEST_F(ListsTest, FormStaysOpenWhileTheCallbackRefusesOrFails)
{
    std::vector<std::string> offered;
    int calls = 0;
    auto callback = [&](RRecitem& r) -> bool {
        offered.push_back(r.Name);
        switch (++calls) {
        case 1: return false;
        case 2: throw Exception("写入失败");
        default: r.Id = 42; return true;
        }
    };
    RRecitem start;
    start.Id = 0;
    start.Name = "学费";
    bool openAfterRefusal = false, openAfterError = false;
    std::string nameAfterError;
    TDialogScript script({OnForm<TRecitemEditFrm>([&](TRecitemEditFrm* f) {
        f->edtName1->SetText("资料费");
        f->btnOk1->Click();
        openAfterRefusal = f->ModalResult() == mrNone;
        f->btnOk1->Click();
        openAfterError = f->ModalResult() == mrNone;
        nameAfterError = f->edtName1->GetText();
        f->btnOk1->Click();
    })});
    EXPECT_TRUE(TRecitemEditFrm::Execute(start, callback));
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(nameAfterError, "资料费");
    EXPECT_EQ(offered, (std::vector<std::string>{"资料费", "资料费", "资料费"}));
    // The failure was shown once; the record the opener passed is unchanged.
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"写入失败"}));
    EXPECT_EQ(start.Id, 0);
    EXPECT_EQ(start.Name, "学费");

    // Cancel hands nothing over.
    calls = 0;
    TDialogScript cancel({OnForm<TRecitemEditFrm>([](TRecitemEditFrm* f) { f->btnCancel1->Click(); })});
    EXPECT_FALSE(TRecitemEditFrm::Execute(start, callback));
    EXPECT_EQ(calls, 0);
}

// ---- saves patch the list's own rows ----------------------------------------------------

TEST_F(ListsTest, AddingAndEditingAFeeItemPatchesItsRow)
{
    TRecitemList list(nullptr);
    list.Query();
    TDataSet* ds = list.DataSet();
    {
        TDialogScript script({OnForm<TRecitemEditFrm>([](TRecitemEditFrm* f) {
            EXPECT_EQ(f->Caption(), "添加");
            f->edtName1->SetText("资料费");
            f->edtNotes1->SetText("每人一套");
            f->btnOk1->Click();
        })});
        list.Add();
    }
    ASSERT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(list.IdFld->AsInteger(), 3);   // the new row holds the new Id and is current
    EXPECT_EQ(list.NameFld->AsString(), "资料费");
    EXPECT_EQ(Value("select Name || '|' || Notes from recitems where Id=3"), "资料费|每人一套");
    {
        TDialogScript script({OnForm<TRecitemEditFrm>([](TRecitemEditFrm* f) {
            EXPECT_EQ(f->Caption(), "资料费");
            f->edtName1->SetText("教材费");
            f->btnOk1->Click();
        })});
        list.Edit();
    }
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(Join(list.NameFld), "学费,补考费,教材费");
    EXPECT_EQ(Count("recitems"), 3);
    EXPECT_EQ(Value("select Name from recitems where Id=3"), "教材费");
}

TEST_F(ListsTest, ADutyListShowsItsDutyAndGivesItToNewEmployees)
{
    TTrainerList trainers(nullptr);
    trainers.Query();
    EXPECT_EQ(Join(trainers.NameFld), "王教练,赵教练");
    TSalesmanList salesmen(nullptr);
    salesmen.Query();
    EXPECT_EQ(Join(salesmen.NameFld), "李业务");

    TDialogScript script({OnForm<TEmployeeEditFrm>([](TEmployeeEditFrm* f) {
        EXPECT_EQ(f->Caption(), "新建");
        f->edtName1->SetText("孙教练");
        f->btnOk1->Click();
    })});
    trainers.Add();
    EXPECT_EQ(Join(trainers.NameFld), "王教练,赵教练,孙教练");
    EXPECT_EQ(Value("select Duty from employees where Name='孙教练'"), "教练员");

    REmployees all;
    EXPECT_EQ(TTrainerList::GetTrainers(all), 3);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[2].Name, "孙教练");
    EXPECT_EQ(TSalesmanList::GetSalesmen(all), 1);
    EXPECT_EQ(all.at(0).Name, "李业务");
    Exec("delete from employees");
    all.resize(5);
    EXPECT_EQ(TTrainerList::GetTrainers(all), 0);
    EXPECT_TRUE(all.empty());
}

TEST_F(ListsTest, AReceiptSaveKeepsTheColumnsItsStudentGivesTheRow)
{
    Exec("insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund, Treasurer, dlNote) "
         "values (1, 1, '2008-03-05', 1, 1, 2000, '陈会计', '')");
    TReceiptList list(nullptr);
    list.Where()->StudentIdFld->SetAsInteger(1);
    list.Query();
    ASSERT_EQ(list.DataSet()->RecordCount(), 1);
    {
        TDialogScript script({OnForm<TReceiptEditFrm>([](TReceiptEditFrm* f) {
            EXPECT_EQ(f->Caption(), "修改");
            f->edtFund1->SetText("2500");
            f->btnOk1->Click();
        })});
        list.Edit();
    }
    EXPECT_EQ(list.DataSet()->RecordCount(), 1);
    EXPECT_DOUBLE_EQ(list.RecfundFld->AsFloat(), 2500);
    for (auto [field, shown] : {std::pair{list.SexFld, "男"}, {list.LinkTelFld, "13800000001"},
                                {list.DrivetypeFld, "C1"}, {list.ClassnameFld, "一班"}, {list.RecItemNameFld, "学费"}})
        EXPECT_EQ(field->AsString(), shown) << field->FieldName();
    EXPECT_FALSE(list.SigndateFld->IsNull());

    // A new receipt of the student: dated by the server, money in, and its
    // row filled like the others.
    RStudent s;
    s.Id = 1;
    s.Name = "张三";
    {
        TDialogScript script({OnForm<TReceiptEditFrm>([](TReceiptEditFrm* f) {
            EXPECT_EQ(f->Caption(), "添加");
            EXPECT_EQ(f->edtSign1->GetText(), "收款");
            EXPECT_EQ(f->edtStudent1->GetText(), "张三");
            EXPECT_FALSE(VarIsNull(f->edtRecdate1->AsDateTime()));
            f->edtItem1->SetItemIndex(1);
            f->edtFund1->SetText("300");
            f->btnOk1->Click();
        })});
        list.Add(s);
    }
    ASSERT_EQ(list.DataSet()->RecordCount(), 2);
    EXPECT_EQ(list.IdFld->AsInteger(), 2);
    EXPECT_EQ(list.RecItemNameFld->AsString(), "补考费");
    EXPECT_EQ(list.ClassnameFld->AsString(), "一班");
    EXPECT_EQ(list.SexFld->AsString(), "男");
    EXPECT_EQ(Value("select StudentId || '|' || RecSign || '|' || Recfund from receipts where Id=2"), "1|1|300.0");
}

TEST_F(ListsTest, AnExamSaveKeepsTheStudentColumnsAndItsSummaries)
{
    TExamList list(nullptr);
    list.Where()->StudentIdFld->SetAsInteger(2);
    list.Query();
    RStudent s;
    s.Id = 2;
    s.Name = "李四";
    s.Sex = "女";
    s.LinkTel = "13800000002";
    s.Drivetype = "B2";
    s.Signdate = VarFromDateTime(At(2008, 4, 1));
    TDialogScript script({OnForm<TExamEditFrm>([](TExamEditFrm* f) {
        EXPECT_EQ(f->edtStudent1->GetText(), "李四");
        EXPECT_TRUE(VarIsNull(f->edtAppdate1->AsDateTime()));
        EXPECT_EQ(f->edtPoint1->GetText(), "");
        f->edtItem1->SetItemIndex(0);
        f->edtExamdate1->SetAsDateTime(VarFromDateTime(At(2008, 5, 2)));
        f->edtPoint1->SetText("90");
        f->edtIsPass1->SetChecked(true);
        f->btnOk1->Click();
    })});
    list.Add(s);
    ASSERT_EQ(list.DataSet()->RecordCount(), 1);
    EXPECT_EQ(list.ItemNameFld->AsString(), "科目一");
    EXPECT_EQ(list.SexFld->AsString(), "女");
    EXPECT_EQ(list.DrivetypeFld->AsString(), "B2");
    EXPECT_EQ(list.PointFld->AsInteger(), 90);
    EXPECT_EQ(Value("select Passinfo from students where Id=2"), ",1,");
}

TEST_F(ListsTest, EditOnAnEmptyReceiptExamOrCarListOpensNothing)
{
    TReceiptList receipts(nullptr);
    TExamList exams(nullptr);
    TCarList cars(nullptr);
    bool shown = false;
    TDialogScript script({CancelAny(shown)});
    receipts.Edit();   // closed
    exams.Edit();
    cars.Edit();
    receipts.Where()->StudentIdFld->SetAsInteger(1);
    receipts.Query();
    exams.Where()->StudentIdFld->SetAsInteger(1);
    exams.Query();
    cars.Query();
    receipts.Edit();   // open and empty
    exams.Edit();
    cars.Edit();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(Count("receipts") + Count("exams") + Count("cars"), 0);
}

// ---- delete -----------------------------------------------------------------------------

TEST_F(ListsTest, DeleteAsksFirstAndRemovesTheRowOnlyWhenTheRecordWent)
{
    TRecitemList list(nullptr);
    list.Query();
    list.DataSet()->Last();
    Rec.Host->QueueMessageBox(IDCANCEL);
    list.Delete();
    EXPECT_EQ(list.DataSet()->RecordCount(), 2);
    EXPECT_EQ(Count("recitems"), 2);
    Rec.Host->QueueMessageBox(IDOK);
    list.Delete();
    EXPECT_EQ(Join(list.NameFld), "学费");
    EXPECT_EQ(Column("select Name from recitems"), (std::vector<std::string>{"学费"}));
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"\r\n确定要删除记录吗?\t", "\r\n确定要删除记录吗?\t"}));

    // A record someone else deleted meanwhile: the row stays.
    Exec("delete from recitems");
    Rec.Host->QueueMessageBox(IDOK);
    list.Delete();
    EXPECT_EQ(list.DataSet()->RecordCount(), 1);
}

TEST_F(ListsTest, DeleteFromAClosedOrEmptyListDoesNothingAndShowsNothing)
{
    Exec("insert into cars (Id, CarNo) values (1, '粤A1')");
    TStudentList students(nullptr);
    TReceiptList receipts(nullptr);
    TExamList exams(nullptr);
    TCarList cars(nullptr);
    students.Delete();
    receipts.Delete();
    exams.Delete();
    cars.Delete();   // closed: no confirmation, no error
    EXPECT_TRUE(Rec.Messages().empty());
    receipts.Where()->StudentIdFld->SetAsInteger(1);
    receipts.Query();
    receipts.Delete();
    EXPECT_TRUE(Rec.Messages().empty());

    // The car list asks with its own text.
    cars.Query();
    Rec.Host->QueueMessageBox(IDOK);
    cars.Delete();
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"\r\n确定要删除记录吗?\t\t"}));
    EXPECT_EQ(Count("cars"), 0);
    EXPECT_TRUE(cars.DataSet()->IsEmpty());
}

TEST_F(ListsTest, DeletingAStudentTakesHisRecordsAlong)
{
    Exec("insert into receipts (Id, StudentId, RecSign, Recfund) values (1, 1, 1, 100)");
    TStudentList list(nullptr);
    list.Query();
    ASSERT_TRUE(list.DataSet()->Locate("Id", 1, {}));
    Rec.Host->QueueMessageBox(IDOK);
    list.Delete();
    EXPECT_EQ(Join(list.NameFld), "李四");
    EXPECT_EQ(Count("receipts") + Count("classes"), 0);
}

// ---- what the reference lists do through their interface ---------------------------------

TEST_F(ListsTest, ListOperationsThatDoNothingAndImport)
{
    Exec("insert into cars (Id, CarNo) values (1, '粤A1')");
    std::vector<TImportKind> imported;
    for (TImportKind k : {TImportKind::Cars, TImportKind::Employees, TImportKind::Students})
        Uis::SetImportRoutine(k, [&imported, k] {
            imported.push_back(k);
            return true;
        });
    struct {
        std::function<TComponent*()> Make;
        bool RefreshQueries;
        std::vector<TImportKind> Imports;
    } cases[] = {
        {[] { return new TRecitemList(nullptr); }, false, {}},
        {[] { return new TExamitemList(nullptr); }, false, {}},
        {[] { return new TTrainerList(nullptr); }, false, {TImportKind::Employees}},
        {[] { return new TSalesmanList(nullptr); }, false, {TImportKind::Employees}},
        {[] { return new TCarList(nullptr); }, true, {TImportKind::Cars}},
    };
    for (auto& c : cases) {
        std::unique_ptr<TComponent> owner(c.Make());
        auto* list = dynamic_cast<IViewList*>(owner.get());
        ASSERT_NE(list, nullptr);
        auto* set = dynamic_cast<TRecordSet*>(owner.get());
        if (auto* cars = dynamic_cast<TCarSet*>(set)) cars->Query();
        else if (auto* e = dynamic_cast<TEmployeeSet*>(set)) e->Query();
        else if (auto* r = dynamic_cast<TRecitemSet*>(set)) r->Query();
        else if (auto* x = dynamic_cast<TExamitemSet*>(set)) x->Query();
        const int rows = set->DataSet()->RecordCount();
        Exec("insert into cars (Id, CarNo) values (99, '粤A99'); insert into recitems (Id, Name) values (99, 'x');"
             "insert into examitems (Id, Name) values (99, 'x');"
             "insert into employees (Id, Name, Duty) values (98, 'x', '教练员'), (99, 'y', '业务员')");
        list->Refresh();
        list->Print();
        EXPECT_EQ(set->DataSet()->RecordCount(), rows + (c.RefreshQueries ? 1 : 0)) << set->ClassName();
        imported.clear();
        EXPECT_EQ(list->Import(), !c.Imports.empty()) << set->ClassName();
        EXPECT_EQ(imported, c.Imports) << set->ClassName();
        // Without a pick handler nothing is selected.
        EXPECT_FALSE(list->Select()) << set->ClassName();
        Exec("delete from cars where Id=99; delete from recitems where Id=99; delete from examitems where Id=99;"
             "delete from employees where Id>=98");
    }
    for (TImportKind k : {TImportKind::Cars, TImportKind::Employees, TImportKind::Students}) Uis::SetImportRoutine(k, nullptr);
    TCarList cars(nullptr);
    EXPECT_FALSE(cars.Import());
    EXPECT_TRUE(Rec.Messages().empty());
}

TEST_F(ListsTest, SelectHandsTheCurrentRowToThePickHandler)
{
    TExamitemList list(nullptr);
    std::vector<std::string> picked;
    list.OnPick = [&](const RExamitem& r) {
        picked.push_back(IntToStr(r.Id) + r.Name);
        return r.Id == 2;
    };
    EXPECT_FALSE(list.Select());   // closed: nothing to hand over
    list.Query();
    EXPECT_FALSE(list.Select());
    list.DataSet()->Last();
    EXPECT_TRUE(list.Select());
    EXPECT_EQ(picked, (std::vector<std::string>{"1科目一", "2科目二"}));
}

// ---- the student's class, graduation and drop-out ------------------------------------------

TEST_F(ListsTest, GraduationClassAndDropoutOfTheCurrentStudent)
{
    SetClock(std::make_shared<TFixedClock>(At(2008, 9, 1, 10, 15)));
    TStudentList list(nullptr);
    EXPECT_FALSE(list.Graduate());   // no student: nothing made
    list.Query();
    ASSERT_TRUE(list.DataSet()->Locate("Id", 2, {}));
    {
        TDialogScript script({OnForm<TGraduateEditFrm>([](TGraduateEditFrm* f) {
            EXPECT_EQ(f->txtStudentName1->Caption(), "李四");
            EXPECT_EQ(f->edtValimonth1->GetText(), "6");
            EXPECT_TRUE(VarIsNull(f->edtTakedate1->AsDateTime()));
            f->edtDocumentNo1->SetText("档-002");
            f->btnOk1->Click();
        })});
        EXPECT_TRUE(list.Graduate());
    }
    EXPECT_EQ(Value("select StudentId || '|' || Valimonth || '|' || DocumentNo || '|' || Grantdate from graduates"),
              "2|6|档-002|2008-09-01 10:15:00");
    {
        TDialogScript script({OnForm<TGraduateEditFrm>([](TGraduateEditFrm* f) {
            EXPECT_EQ(f->edtDocumentNo1->GetText(), "档-002");
            f->btnCancel1->Click();
        })});
        EXPECT_FALSE(list.EditGraduation());
    }
    Rec.Host->QueueMessageBox(IDOK);
    EXPECT_TRUE(list.UndoGraduation());
    EXPECT_EQ(Count("graduates"), 0);
    EXPECT_FALSE(list.EditGraduation());   // none stored: no form

    {
        TDialogScript script({OnForm<TClassEditFrm>([](TClassEditFrm* f) {
            f->edtClassname1->SetText("二班");
            f->btnOk1->Click();
        })});
        EXPECT_TRUE(list.CreateClass());
    }
    EXPECT_EQ(Value("select Classname from classes where StudentId=2"), "二班");
    Rec.Host->QueueMessageBox(IDCANCEL);
    EXPECT_FALSE(list.DeleteClass());
    EXPECT_EQ(Count("classes"), 2);

    {
        TDialogScript script({OnForm<TDropoutEditFrm>([](TDropoutEditFrm* f) {
            f->edtReasons1->SetText("搬家");
            f->edtRetfund1->SetText("800");
            f->btnOk1->Click();
        })});
        EXPECT_TRUE(list.Dropout());
    }
    EXPECT_EQ(Value("select Reasons || '|' || Retfund from dropouts where StudentId=2"), "搬家|800.0");
    Rec.Host->QueueMessageBox(IDOK);
    EXPECT_TRUE(list.UndoDropout());
    EXPECT_EQ(Count("dropouts"), 0);
    EXPECT_EQ(Rec.Messages(), (std::vector<std::string>{"\r\n确定要删除毕业记录吗?\t", "\r\n确定要删除分班记录吗?\t",
                                                        "\r\n确定要撤消退学记录吗?\t"}));
    ResetClock();
}

// ---- search -----------------------------------------------------------------------------

TEST_F(ListsTest, SearchFormBuildsTheCriteria)
{
    TStuFindFrm f;
    EXPECT_EQ(f.edtPassif1->Items()->CommaText(), "已通过,未通过,不限");
    EXPECT_EQ(f.edtApps1->Items()->CommaText(), "已约考,未约考,不限");
    EXPECT_EQ(f.edtClassif1->Items()->CommaText(), "已分班,未分班,不限");
    EXPECT_EQ(f.edtTeacher1->Items()->CommaText(), "王教练,赵教练");
    EXPECT_EQ(f.edtSalesman1->Items()->CommaText(), "李业务");
    // Untouched, it searches every student that is neither graduated nor dropped out.
    RStufind r = f.GetData();
    for (const Variant& v : {r.Signdate1, r.Signdate2, r.TeacherId, r.SalemanId, r.ClassIf, r.PassItemId,
                             r.UnpassItemId, r.AppItemId, r.UnappItemId})
        EXPECT_TRUE(VarIsNull(v));
    EXPECT_FALSE(r.Graduated.AsBoolean());
    EXPECT_FALSE(VarIsNull(r.Graduated));
    EXPECT_FALSE(VarIsNull(r.Dropouted));
    EXPECT_EQ(r.Stuname + r.Stusex + r.Stutel + r.Classname + r.Drivetype, "");

    // An exam item with a state: the item goes to the state's criterion;
    // "不限", no state or no item sets none.
    struct {
        int Item, State;
        int Pass, Unpass;   // 0: Null
    } exams[] = {{0, 0, 1, 0}, {1, 1, 0, 2}, {0, 2, 0, 0}, {0, -1, 0, 0}, {-1, 0, 0, 0}};
    auto id = [](const Variant& v) { return VarIsNull(v) ? 0 : v.AsInteger(); };
    for (const auto& c : exams) {
        f.edtExamitems1->SetItemIndex(c.Item);
        f.edtPassif1->SetItemIndex(c.State);
        f.edtExamItem2->SetItemIndex(c.Item);
        f.edtApps1->SetItemIndex(c.State);
        r = f.GetData();
        EXPECT_EQ(id(r.PassItemId), c.Pass) << c.Item << "/" << c.State;
        EXPECT_EQ(id(r.UnpassItemId), c.Unpass) << c.Item << "/" << c.State;
        EXPECT_EQ(id(r.AppItemId), c.Pass) << c.Item << "/" << c.State;
        EXPECT_EQ(id(r.UnappItemId), c.Unpass) << c.Item << "/" << c.State;
    }

    f.edtGraduate1->SetChecked(true);
    f.edtDropout1->SetChecked(true);
    f.edtSigndate2->SetAsDateTime(VarFromDateTime(At(2008, 3, 31, 16, 20)));
    f.edtTeacher1->SetItemIndex(1);
    f.edtClassif1->SetItemIndex(0);
    f.edtName1->SetText("张");
    r = f.GetData();
    EXPECT_TRUE(VarIsNull(r.Graduated));
    EXPECT_TRUE(VarIsNull(r.Dropouted));
    EXPECT_EQ(VarToDateTime(r.Signdate2), EncodeDate(2008, 3, 31));   // the whole last day
    EXPECT_EQ(r.TeacherId.AsInteger(), 3);
    EXPECT_TRUE(r.ClassIf.AsBoolean());
    EXPECT_EQ(r.Stuname, "张");
}

TEST_F(ListsTest, ApplyFindReplacesTheCriteriaAndQueries)
{
    Exec("insert into students (Id, Name, Signdate) values (3, '张五', '2008-03-31 17:45:00')");
    TStudentList list(nullptr);
    list.Where()->IdFld->SetAsInteger(1);
    list.Where()->CarIdFld->SetAsInteger(5);
    RStufind f;
    f.Stuname = "张";
    f.Signdate1 = VarFromDateTime(EncodeDate(2008, 3, 1));
    f.Signdate2 = VarFromDateTime(EncodeDate(2008, 3, 31));
    f.Graduated = false;
    f.Dropouted = false;
    f.TeacherId = 7;
    f.SalemanId = 8;
    f.ClassIf = true;
    f.Classname = "一班";
    f.Stusex = "男";
    f.Stutel = "138";
    f.Drivetype = "C1";
    f.AppItemId = 1;
    f.UnappItemId = 2;
    f.PassItemId = 3;
    f.UnpassItemId = 4;
    TStudentWhere* w = list.Where();
    // The query is run; check the criteria it ran with first.
    EXPECT_TRUE(list.ApplyFind(f));
    EXPECT_TRUE(VarIsNull(w->IdFld->Value()));
    EXPECT_TRUE(VarIsNull(w->CarIdFld->Value()));
    EXPECT_EQ(w->StunameFld->AsString(), "张");
    EXPECT_EQ(w->ClassnameFld->AsString(), "一班");
    EXPECT_EQ(w->StusexFld->AsString(), "男");
    EXPECT_EQ(w->StutelFld->AsString(), "138");
    EXPECT_EQ(w->DrivetypeFld->AsString(), "C1");
    EXPECT_EQ(w->TeacherIdFld->AsInteger(), 7);
    EXPECT_EQ(w->SalemanIdFld->AsInteger(), 8);
    EXPECT_TRUE(w->ClassIfFld->AsBoolean());
    EXPECT_FALSE(w->GraduatedFld->AsBoolean());
    EXPECT_FALSE(w->DropoutedFld->AsBoolean());
    EXPECT_EQ(w->AppItemIdFld->AsInteger(), 1);
    EXPECT_EQ(w->UnappItemIdFld->AsInteger(), 2);
    EXPECT_EQ(w->PassItemIdFld->AsInteger(), 3);
    EXPECT_EQ(w->UnpassItemIdFld->AsInteger(), 4);
    EXPECT_TRUE(list.DataSet()->Active());

    // A search by sign-up dates finds the student signed up late on its last day.
    RStufind byDate;
    byDate.Signdate1 = f.Signdate1;
    byDate.Signdate2 = f.Signdate2;
    list.ApplyFind(byDate);
    EXPECT_EQ(Join(list.NameFld), "张三,张五");

    // Through the search form.
    TDialogScript script({OnForm<TStuFindFrm>([](TStuFindFrm* s) {
        s->edtName1->SetText("李四");
        s->btnOk1->Click();
    })});
    list.Find();
    EXPECT_EQ(Join(list.NameFld), "李四");
}

// ---- pictures -----------------------------------------------------------------------------

TEST_F(ListsTest, PicturesOfTheEditForms)
{
    TPickListSet::SetList(0, "一班,二班");
    std::vector<std::unique_ptr<TEditFrm>> forms;
    auto add = [&](auto* f, const auto& r) {
        f->SetData(r);
        forms.emplace_back(f);
    };
    add(new TEmployeeEditFrm(nullptr), SampleEmployee());
    add(new TCarEditFrm(nullptr), SampleCar());
    add(new TStudentEditFrm(nullptr), SampleStudent());
    RRecitem fee;
    fee.Id = 1;
    fee.Name = "学费";
    fee.Notes = "报名时收取";
    add(new TRecitemEditFrm(nullptr), fee);
    RExamitem item;
    item.Name = "科目二";
    add(new TExamitemEditFrm(nullptr), item);
    add(new TReceiptEditFrm(nullptr), SampleReceipt());
    add(new TExamEditFrm(nullptr), SampleExam());
    forms.emplace_back(TGraduateEditFrm::CreateFor(nullptr, nullptr, SampleGraduate()));
    forms.emplace_back(TClassEditFrm::CreateFor(nullptr, nullptr, SampleClass()));
    forms.emplace_back(TDropoutEditFrm::CreateFor(nullptr, nullptr, SampleDropout()));
    forms.emplace_back(new TStuFindFrm(nullptr));
    const char* dir = getenv("QZ_KEEP_PICTURES");
    for (auto& f : forms) {
        f->Show();
        GuiTest::ProcessEvents();
        if (dir) {
            EXPECT_TRUE(GuiTest::SavePng(f.get(), std::string(dir) + "/" + f->Name() + ".png"));
        }
        // Every control shown lies inside the client area and below the one
        // before it, or beside it.
        for (int i = 0; i < f->ControlCount(); ++i) {
            TControl* c = f->Controls(i);
            if (!c->Visible()) continue;
            EXPECT_LE(c->Left() + c->Width(), f->ClientWidth()) << f->Name() << " " << c->Name() << c->ClassName();
            EXPECT_LE(c->Top() + c->Height(), f->ClientHeight()) << f->Name() << " " << c->ClassName();
        }
        EXPECT_GT(f->btnOk1->Top(), 0);
        f->Hide();
    }
}

}  // namespace
