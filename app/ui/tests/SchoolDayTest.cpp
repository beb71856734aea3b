// A school office's day, run through the program's windows as a person
// would: the login, the company, the reference lists, a student from sign-up
// to graduation with a class, receipts, a refund and an exam, the search
// form and the tree, a receipt deleted, an operator without rights refused,
// and the close with the automatic backup. What the day wrote is checked in
// the windows and in the database; pictures of the main window are kept
// when QZ_KEEP_PICTURES names a folder.
#include "Backup.h"
#include "DateUtils.h"
#include "EditForms.h"
#include "Facade.h"
#include "HostServices.h"
#include "InfoList.h"
#include "Login.h"
#include "Objs.h"
#include "Picker.h"
#include "SmallDlgs.h"
#include "StuFind.h"
#include "TreePath.h"
#include "UiTestDb.h"
#include "UisGrids.h"
#include "cxGridCustomTableView.h"
#include "cxGridDBTableView.h"
#include "cxGridTableView.h"
#include "cxGridTableLayout.h"
#include "main.h"

#include <cstdlib>

namespace {

// Runs once, as soon as a modal form of the class is up (and has not been
// answered yet); never when the object goes before that.
template <class F> class TWhenShown {
public:
    explicit TWhenShown(std::function<void(F*)> step) { Poll(FState, std::move(step)); }
    ~TWhenShown() { FState->Alive = false; }
    TWhenShown(const TWhenShown&) = delete;
    TWhenShown& operator=(const TWhenShown&) = delete;
    bool Ran() const { return FState->Ran; }

private:
    struct TState {
        bool Alive = true;
        bool Ran = false;
    };
    static void Poll(std::shared_ptr<TState> state, std::function<void(F*)> step)
    {
        GuiTest::Later([state, step] {
            if (!state->Alive) return;
            auto* f = dynamic_cast<F*>(ModalForm());
            if (!f || f->ModalResult() != mrNone) {
                Poll(state, step);
                return;
            }
            state->Alive = false;
            state->Ran = true;
            step(f);
        });
    }
    std::shared_ptr<TState> FState = std::make_shared<TState>();
};

void Click(TControl* c)
{
    ASSERT_TRUE(c->Visible() && c->Enabled()) << c->Name();
    GuiTest::Click(c, Point(c->Width() / 2, c->Height() / 2));
}

void Type(TWinControl* c, const std::string& text)
{
    c->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::TypeText(text, true);
}

void Choose(TComboBox* c, const std::string& item)
{
    const int i = c->Items()->IndexOf(item);
    ASSERT_GE(i, 0) << item;
    c->SetItemIndex(i);
    if (c->OnChange) c->OnChange(c);
}

// A menu item chosen: a refusal ends the click silently, as the program's
// message loop does with it.
void Choose(TMenuItem* item)
{
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->Enabled()) << item->Caption();
    try {
        item->Click();
    } catch (const EAbort&) {
    }
    GuiTest::ProcessEvents();
}

// The texts of a grid's column, row after row.
std::string GridColumn(TGridcx* g, const std::string& field)
{
    TcxGridDBTableView* v = g->View();
    TcxGridColumn* col = v->GetColumnByFieldName(field);
    if (!col) return "<no column " + field + ">";
    std::string out;
    for (int i = 0; i < v->ViewData()->RecordCount(); ++i)
        out += (i ? "," : "") + v->ViewData()->GetRecordByIndex(i)->GetDisplayText(col->Index());
    return out;
}

// Clicks the grid's row (by its place among the rows shown).
void ClickRow(TGridcx* g, int row)
{
    TcxCustomGridRecordViewInfo* r = g->View()->ViewInfo()->RecordsViewInfo()->GetRealItem(row);
    ASSERT_NE(r, nullptr) << row;
    const TRect b = r->Bounds;
    GuiTest::Click(g, Point(b.Left + 60, (b.Top + b.Bottom) / 2));
}

void ClickTab(TTabControl* t, int index)
{
    const TRect r = t->TabRect(index);
    GuiTest::Click(t, Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

class SchoolDayTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        // Tuesday 15 January 2013, half past nine.
        FOldClock = SetClock(std::make_shared<TFixedClock>(EncodeDate(2013, 1, 15) + EncodeTime(9, 30, 0, 0)));
        // An operator the administrator keeps: he may print and nothing else.
        Exec("insert into operator (LoginId, [Password], Name, Contact, [Note], Rights) "
             "values ('bob', 'pw', '鲍勃', '', '', ',10002,')");
        TConfiger c;
        c.providerIdx = TConfiger::kindJet;
        c.defaultCon = false;
        c.jetfile = File;
        c.Save();
        GDatabase->SetConnected(false);
        if (!GMall) GMall = new Tmall(Application);
        Login::CopyOperator(TOperator(), *GOperator);
        BackupDir = Dir.File("backups") + "/";
        ForceDirectories(BackupDir);
    }
    void TearDown() override
    {
        Frm.reset();
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            if (dynamic_cast<TInfoListFrm*>(Screen->Forms(i))) delete Screen->Forms(i);
        SetClock(FOldClock);
        UiDbTest::TearDown();
    }
    void Picture(const std::string& name)
    {
        if (const char* dir = std::getenv("QZ_KEEP_PICTURES")) {
            Frm->Repaint();
            GuiTest::ProcessEvents();
            GuiTest::SavePng(Frm.get(), std::string(dir) + "/mainwin-" + name + ".png");
        }
    }
    // A reference list window from the menu or tool bar, a record added
    // through its form, the window closed again.
    template <class Form> void AddThroughList(std::function<void()> open, std::function<void(Form*)> fill)
    {
        open();
        GuiTest::ProcessEvents();
        TInfoListFrm* list = ShownForm<TInfoListFrm>();
        ASSERT_NE(list, nullptr);
        TWhenShown<Form> form([&](Form* f) {
            fill(f);
            Click(f->btnOk1);
        });
        Click(list->ToolButton1);
        EXPECT_TRUE(form.Ran());
        Click(list->ToolButton10);
        GuiTest::ProcessEvents();
    }
    std::string Detail(Uis::TLabel* l) { return l->Caption(); }
    std::string Listed() { return Join(Frm->StudentList()->NameFld); }
    // A tree node clicked; the grid then lists these students.
    void Select(const std::string& path, const std::string& listed)
    {
        TTreeNode* n = NodeAt(Frm->TreeView1, path);
        ASSERT_NE(n, nullptr) << path;
        const TRect r = n->DisplayRect(true);
        GuiTest::Click(Frm->TreeView1, Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        EXPECT_EQ(Frm->TreeView1->Selected(), n) << path;
        EXPECT_EQ(GridColumn(Frm->StudentGrid, "Name"), listed) << path;
    }
    std::vector<std::string> Rows(const std::string& sql) { return Column(sql); }

    // The day takes well under a second; a dialog nobody answers ends it.
    TTimeLimit Limit{std::chrono::seconds(120), "SchoolDayTest"};
    std::unique_ptr<TmainFrm> Frm;
    std::shared_ptr<IClock> FOldClock;
    std::string BackupDir;
};

TEST_F(SchoolDayTest, ADayAtTheOffice)
{
    // ---- the login as sa, and the company the program asks for at once.
    TWhenShown<TLoginFrm> login([](TLoginFrm* f) {
        f->edtLoginId1->SetText("sa");
        Type(f->edtPassword1, "");
        Click(f->OkBtn1);
    });
    TWhenShown<TCompanyInfoFrm> company([](TCompanyInfoFrm* f) {
        Type(f->edtCompanyName1, "恒岳驾校东城分校");
        Type(f->edtLawman1, "陈东");
        Type(f->edtTel1, "010-12345678");
        Type(f->edtAddress1, "东城区和平路1号");
        Click(f->OkBtn1);
    });
    Frm.reset(MainUnit::StartProgram({}));
    ASSERT_NE(Frm, nullptr);
    EXPECT_TRUE(login.Ran());
    EXPECT_TRUE(company.Ran());
    EXPECT_TRUE(Frm->Visible());
    EXPECT_EQ(GOperator->LoginId, "sa");
    EXPECT_EQ(Value("select CompanyName from Company"), "恒岳驾校东城分校");
    EXPECT_EQ(Listed(), "");
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlNull1);

    // ---- the automatic backup: every day, into the backup folder.
    {
        TWhenShown<TFrmBackup> plan([&](TFrmBackup* f) {
            f->RadioGroup1->SetItemIndex(1);
            f->edtBackDir1->SetText(BackupDir);
            Click(f->OkBtn1);
        });
        Choose(Frm->MenuItem("文件(&F)", "备份与恢复"));
        EXPECT_TRUE(plan.Ran());
        EXPECT_EQ(Value("select TypeId || ' ' || BackDir from [backup]"), "1 " + BackupDir);
    }

    // ---- the reference lists.
    AddThroughList<TEmployeeEditFrm>([&] { Click(Frm->btnSalesmen1); },
                                     [](TEmployeeEditFrm* f) {
                                         Type(f->edtName1, "钱业务");
                                         Type(f->edtSex1, "男");
                                     });
    AddThroughList<TEmployeeEditFrm>([&] { Click(Frm->btnTrainers1); },
                                     [](TEmployeeEditFrm* f) {
                                         Type(f->edtName1, "吴教练");
                                         Type(f->edtSex1, "女");
                                         Type(f->edtTel1, "13900001111");
                                     });
    AddThroughList<TCarEditFrm>([&] { Click(Frm->btnCars1); },
                                [](TCarEditFrm* f) {
                                    Type(f->edtCarNo1, "京A-12345");
                                    f->edtBrand1->SetText("捷达");
                                });
    for (const char* item : {"报名费", "培训费"})
        AddThroughList<TRecitemEditFrm>([&] { Choose(Frm->MenuItem("资料(&O)", "收费项目")); },
                                        [&](TRecitemEditFrm* f) { Type(f->edtName1, item); });
    for (const char* item : {"科目一", "科目二"})
        AddThroughList<TExamitemEditFrm>([&] { Choose(Frm->MenuItem("资料(&O)", "考试科目")); },
                                         [&](TExamitemEditFrm* f) { Type(f->edtName1, item); });
    EXPECT_EQ(Rows("select Id || ':' || Name || ':' || Duty from employees order by Id"),
              (std::vector<std::string>{"1:钱业务:业务员", "2:吴教练:教练员"}));
    EXPECT_EQ(Rows("select Id || ':' || CarNo from cars"), (std::vector<std::string>{"1:京A-12345"}));
    EXPECT_EQ(Rows("select Name from recitems order by Id"), (std::vector<std::string>{"报名费", "培训费"}));
    EXPECT_EQ(Rows("select Name from examitems order by Id"), (std::vector<std::string>{"科目一", "科目二"}));

    // ---- a student signs up; the salesman is picked from his list.
    {
        TWhenShown<TStudentEditFrm> form([](TStudentEditFrm* f) {
            Type(f->edtName1, "张小明");
            Choose(f->edtSex1, "男");
            Type(f->edtIdcode1, "110101199001011234");
            Type(f->edtLinktel1, "13800138000");
            f->edtSigndate1->SetAsDate(VarFromDateTime(EncodeDate(2013, 1, 15)));
            f->edtDrivetype1->SetText("C1");
            TWhenShown<TPickerFrm> picker([](TPickerFrm* p) { Click(p->btnOk1); });
            Click(f->btnSaleman1);
            EXPECT_TRUE(picker.Ran());
            EXPECT_EQ(f->edtSaleman1->GetText(), "钱业务");
            Click(f->btnOk1);
        });
        Click(Frm->btnAdd1);
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(GridColumn(Frm->StudentGrid, "Name"), "张小明");
    EXPECT_EQ(GridColumn(Frm->StudentGrid, "SalemanName"), "钱业务");
    EXPECT_EQ(Value("select Name || ' ' || Sex || ' ' || Drivetype || ' ' || SalemanId || ' ' || "
                    "substr(Signdate, 1, 10) from students"),
              "张小明 男 C1 1 2013-01-15");
    ClickRow(Frm->StudentGrid, 0);

    // ---- a class: the class panel offers to make one.
    ClickTab(Frm->TabControl3, 2);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClassNull1);
    {
        TWhenShown<TClassEditFrm> form([](TClassEditFrm* f) {
            EXPECT_EQ(f->txtStudentName1->Caption(), "张小明");
            f->edtClassname1->SetText("周末班");
            TWhenShown<TPickerFrm> trainer([](TPickerFrm* p) { Click(p->btnOk1); });
            Click(f->Button3);
            EXPECT_TRUE(trainer.Ran());
            TWhenShown<TPickerFrm> car([](TPickerFrm* p) { Click(p->btnOk1); });
            Click(f->Button4);
            EXPECT_TRUE(car.Ran());
            Type(f->edtNotes1, "周六上午");
            Click(f->btnOk1);
        });
        Click(Frm->Button12);
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClass1);
    EXPECT_EQ(Detail(Frm->txtClassname1), "周末班");
    EXPECT_EQ(Detail(Frm->txtTeacher1), "吴教练");
    EXPECT_EQ(Detail(Frm->txtCar1), "京A-12345");
    EXPECT_EQ(Detail(Frm->txtSaleman1), "钱业务");
    EXPECT_EQ(Detail(Frm->txtSigndate1), "2013-01-15");
    EXPECT_EQ(Value("select Classname || ' ' || TeacherId || ' ' || CarId || ' ' || Notes from classes"),
              "周末班 2 1 周六上午");
    Picture("class");

    // ---- two receipts and a refund.
    ClickTab(Frm->TabControl3, 1);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlReceipts1);
    ASSERT_NE(Frm->ReceiptGrid, nullptr);
    struct Receipt {
        const char* item;
        const char* sign;
        const char* fund;
    };
    for (const Receipt& r : {Receipt{"报名费", "收款", "300"}, Receipt{"培训费", "收款", "2800"},
                             Receipt{"培训费", "退款", "500"}}) {
        TWhenShown<TReceiptEditFrm> form([&](TReceiptEditFrm* f) {
            EXPECT_EQ(f->edtStudent1->GetText(), "张小明");
            Choose(f->edtItem1, r.item);
            Choose(f->edtSign1, r.sign);
            Type(f->edtFund1, r.fund);
            f->edtTreasurer1->SetText("李会计");
            Click(f->btnOk1);
        });
        Frm->ReceiptAddAction1->Execute();
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(GridColumn(Frm->ReceiptGrid, "RecItemName"), "报名费,培训费,培训费");
    EXPECT_EQ(Rows("select RecItemId || ' ' || RecSign || ' ' || Recfund || ' ' || Treasurer || ' ' || "
                   "substr(Recdate, 1, 10) from receipts order by Id"),
              (std::vector<std::string>{"1 1 300.0 李会计 2013-01-15", "2 1 2800.0 李会计 2013-01-15",
                                        "2 -1 500.0 李会计 2013-01-15"}));
    Picture("receipts");

    // ---- an exam booked, then its pass recorded.
    ClickTab(Frm->TabControl3, 0);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlExams1);
    {
        TWhenShown<TExamEditFrm> form([](TExamEditFrm* f) {
            Choose(f->edtItem1, "科目一");
            f->edtAppdate1->SetAsDate(VarFromDateTime(EncodeDate(2013, 1, 20)));
            Click(f->btnOk1);
        });
        Frm->ExamAddAction1->Execute();
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(Value("select Appsinfo || Passinfo from students"), ",1,,");
    // The tree was built before the exam items existed: they show in it
    // from the next start on.
    EXPECT_EQ(NodeAt(Frm->TreeView1, "培训中/考试情况/约考中")->Count(), 0);
    {
        ClickRow(Frm->ExamGrid, 0);
        TWhenShown<TExamEditFrm> form([](TExamEditFrm* f) {
            f->edtExamdate1->SetAsDate(VarFromDateTime(EncodeDate(2013, 1, 20)));
            Type(f->edtPoint1, "95");
            f->edtIsPass1->SetChecked(true);
            Click(f->btnOk1);
        });
        Frm->ExamEditAction1->Execute();
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(Rows("select ItemId || ' ' || Point || ' ' || abs(IsPass) || ' ' || substr(Examdate, 1, 10) from exams"),
              (std::vector<std::string>{"1 95 1 2013-01-20"}));
    EXPECT_EQ(Value("select Passinfo from students"), ",1,");
    Picture("exams");

    // ---- the graduation.
    ClickTab(Frm->TabControl3, 3);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlGraduateNull1);
    {
        TWhenShown<TGraduateEditFrm> form([](TGraduateEditFrm* f) {
            Type(f->edtDocumentNo1, "DA-2013-001");
            f->edtDrivetype1->SetText("C1");
            f->edtHandman1->SetText("陈东");
            Click(f->btnOk1);
        });
        Click(Frm->Button7);
        EXPECT_TRUE(form.Ran());
    }
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlGraduated1);
    EXPECT_EQ(Detail(Frm->txtDocumentNo1), "DA-2013-001");
    EXPECT_EQ(Detail(Frm->txtValimonth1), "6");
    EXPECT_EQ(Detail(Frm->txtTakedate1), "");
    EXPECT_EQ(Value("select DocumentNo || ' ' || Valimonth || ' ' || Handman from graduates"), "DA-2013-001 6 陈东");
    Picture("graduation");

    // ---- found again: by the search form, and by the tree's nodes.
    Select("培训中", "");
    {
        TWhenShown<TStuFindFrm> find([](TStuFindFrm* f) {
            Type(f->edtName1, "张小明");
            f->edtGraduate1->SetChecked(true);
            Click(f->btnOk1);
        });
        Click(Frm->btnFind1);
        EXPECT_TRUE(find.Ran());
    }
    EXPECT_EQ(GridColumn(Frm->StudentGrid, "Name"), "张小明");
    Select("已退学", "");
    Select("已毕业", "张小明");
    // The graduates' node opens with the right arrow key.
    Frm->TreeView1->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown(VK_RIGHT);
    GuiTest::KeyUp(VK_RIGHT);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(NodeAt(Frm->TreeView1, "已毕业")->Expanded());
    Select("已毕业/本月毕业", "张小明");
    Select("已毕业/近三个月", "张小明");
    Select("已毕业/未领证", "张小明");
    Picture("tree");

    // ---- the refund was a mistake: deleted, after the confirmation.
    ClickRow(Frm->StudentGrid, 0);
    ClickTab(Frm->TabControl3, 1);
    ClickRow(Frm->ReceiptGrid, 2);
    Rec.Host->QueueMessageBox(IDOK);
    Frm->ReceiptDeleteAction1->Execute();
    EXPECT_EQ(GridColumn(Frm->ReceiptGrid, "Recfund"), "300,2800");
    EXPECT_EQ(Value("select count(*) from receipts where RecSign=-1"), "0");

    // ---- bob logs in and is refused what he has no right to.
    {
        TWhenShown<TLoginFrm> relogin([](TLoginFrm* f) {
            f->edtLoginId1->SetText("bob");
            Type(f->edtPassword1, "pw");
            Click(f->OkBtn1);
        });
        Choose(Frm->MenuItem("文件(&F)", "重新登陆"));
        EXPECT_TRUE(relogin.Ran());
    }
    EXPECT_EQ(GOperator->LoginId, "bob");
    const size_t before = Rec.Messages().size();
    for (const char* item : {"公司信息", "操作员及权限", "初始化数据...", "备份与恢复"}) {
        Choose(Frm->MenuItem("文件(&F)", item));
        EXPECT_EQ(ModalForm(), nullptr) << item;
    }
    EXPECT_EQ(Rec.Messages().size(), before + 4);

    // ---- the day ends: the window closes, the backup of the plan is made.
    Frm->Close();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Frm->Visible());
    EXPECT_FALSE(GDatabase->GetConnected());
    EXPECT_TRUE(FileExists(BackupDir + "bak20130115.bak"));

    // What the day wrote, and nothing else.
    const std::pair<const char*, int> tables[] = {
        {"Company", 1}, {"operator", 2}, {"employees", 2}, {"cars", 1},      {"recitems", 2},
        {"examitems", 2}, {"students", 1}, {"receipts", 2}, {"exams", 1},    {"classes", 1},
        {"graduates", 1}, {"dropouts", 0}, {"report", 0},   {"[backup]", 1},
    };
    for (const auto& [table, rows] : tables) EXPECT_EQ(Count(table), rows) << table;
}

}  // namespace
