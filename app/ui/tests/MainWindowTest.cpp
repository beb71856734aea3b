// The main window: the navigation tree's nodes and the students each lists,
// the detail panels of the current student, the menus with their rights,
// the login step and the road out when the window closes; the program's
// start from the splash to the shown window.
#include "DBConfig.h"
#include "DateUtils.h"
#include "EditForms.h"
#include "Facade.h"
#include "HostServices.h"
#include "Login.h"
#include "Objs.h"
#include "QryWin.h"
#include "SmallDlgs.h"
#include "TreePath.h"
#include "UiTestDb.h"
#include "UisGrids.h"
#include "cxGridDBTableView.h"
#include "cxGridTableLayout.h"
#include "cxGridTableView.h"
#include "main.h"

#include <cstdlib>

namespace {

// A small school: two salesmen and a trainer, a car, two exam items and
// five students in every state the tree tells apart.
//   1 张三  in training, salesman 1, C1, class with trainer 3 and car 1, passed item 1, booked item 2
//   2 李四  in training, salesman 2, B2
//   3 王五  graduated this month (licence not collected) and also dropped out
//   4 赵六  dropped out
//   5 孙七  graduated in November 2012, licence collected
const char* const kSchool =
    "insert into employees(Id, Name, Duty) values (1, '钱业务', '业务员');"
    "insert into employees(Id, Name, Duty) values (2, '周业务', '业务员');"
    "insert into employees(Id, Name, Duty) values (3, '吴教练', '教练员');"
    "insert into cars(Id, CarNo) values (1, '粤A-1234');"
    "insert into examitems(Id, Name) values (1, '科目一');"
    "insert into examitems(Id, Name) values (2, '科目二');"
    "insert into students(Id, Name, Sex, Drivetype, SalemanId, Signdate, Passinfo, Appsinfo) values "
    "(1, '张三', '男', 'C1', 1, '2012-12-03', ',1,', ',2,');"
    "insert into students(Id, Name, Sex, Drivetype, SalemanId, Signdate) values (2, '李四', '女', 'B2', 2, '2012-12-04');"
    "insert into students(Id, Name, Drivetype) values (3, '王五', 'C1');"
    "insert into students(Id, Name, Drivetype) values (4, '赵六', 'C1');"
    "insert into students(Id, Name, Drivetype) values (5, '孙七', 'C1');"
    "insert into classes(StudentId, Classdate, Classname, TeacherId, CarId, Notes) values "
    "(1, '2012-12-05', '周末班', 3, 1, '早上');"
    "insert into exams(Id, StudentId, ItemId, IsPass, Examdate) values (1, 1, 1, 1, '2012-12-20');"
    "insert into exams(Id, StudentId, ItemId, IsPass, Appdate) values (2, 1, 2, 0, '2013-01-20');"
    "insert into graduates(StudentId, Grantdate, Validate, Valimonth, DocumentNo, Drivetype, Handman, Notes) values "
    "(3, '2013-01-10 09:30:00', '2013-01-10', 6, 'D-3', 'C1', '老陈', '');"
    "insert into dropouts(StudentId, Dropdate, Reasons, Retfund, Handman) values (3, '2013-01-11', '搬家', 200.5, '老陈');"
    "insert into dropouts(StudentId, Dropdate, Reasons, Retfund, Handman) values (4, '2013-01-12', '工作', 1000, '老李');"
    "insert into graduates(StudentId, Grantdate, Validate, Valimonth, Takedate) values "
    "(5, '2012-11-20', '2012-11-20', 6, '2012-11-25');";

class MainWindowTest : public UiDbTest {
protected:
    void SetUp() override
    {
        UiDbTest::SetUp();
        // 15 January 2013 on the workstation's clock.
        FOldClock = SetClock(std::make_shared<TFixedClock>(EncodeDate(2013, 1, 15) + EncodeTime(10, 0, 0, 0)));
        Exec(kSchool);
        if (!PubFrm) PubFrm = new TPubFrm(Application);
        if (!GMall) GMall = new Tmall(Application);
        Login::CopyOperator(TOperator(), *GOperator);
        GOperator->Load("sa");
    }
    void TearDown() override
    {
        Frm.reset();
        SetClock(FOldClock);
        UiDbTest::TearDown();
    }
    TmainFrm* Make()
    {
        Frm = std::make_unique<TmainFrm>(nullptr);
        Frm->SetCommandLine({});
        return Frm.get();
    }
    // A logged-in window listing the students in training.
    TmainFrm* MakeLoggedIn()
    {
        Make();
        Frm->SetCommandLine({"sa", "", "x"});
        EXPECT_TRUE(Frm->Login(true));
        return Frm.get();
    }
    TTreeNode* Node(const std::string& path) const { return NodeAt(Frm->TreeView1, path); }
    // The names of the listed students, in their order.
    std::string Listed() const
    {
        TDataSet* ds = Frm->StudentList()->DataSet();
        if (!ds->Active()) return "<closed>";
        return Join(Frm->StudentList()->NameFld);
    }
    void Select(const std::string& path)
    {
        TTreeNode* n = Node(path);
        ASSERT_NE(n, nullptr) << path;
        Frm->TreeView1->SetSelected(n);
        GuiTest::ProcessEvents();
    }
    void Locate(const std::string& name)
    {
        ASSERT_TRUE(Frm->StudentList()->DataSet()->Locate("Name", Variant(name), {}));
    }

    TTimeLimit Limit{std::chrono::seconds(60), "MainWindowTest"};
    std::unique_ptr<TmainFrm> Frm;
    std::shared_ptr<IClock> FOldClock;
};

std::string DateVar(const Variant& v)
{
    return VarIsNull(v) ? "Null" : FormatDateTime("yyyy-mm-dd", VarToDateTime(v));
}

// ---- the tree --------------------------------------------------------------------------------

TEST_F(MainWindowTest, TreeHoldsEveryNodeWithItsImageAndExpansion)
{
    Make();
    // Every node in the order of a walk: depth, text, image, selected image, expanded.
    std::string walk;
    for (TTreeNode* n = Frm->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext()) {
        ASSERT_EQ(n->ImageIndex(), n->SelectedIndex()) << n->Text();
        walk += std::string(size_t(n->Level()) * 2, ' ') + n->Text() + " " + std::to_string(n->ImageIndex()) +
                (n->Expanded() ? " +" : "") + "\n";
    }
    EXPECT_EQ(walk,
              "培训中 5 +\n"
              "  业务员 17\n"
              "    钱业务 22\n"
              "    周业务 22\n"
              "  教练员 26\n"
              "    吴教练 22\n"
              "  驾照类型 19\n"
              "    C1 22\n"
              "    B2 22\n"
              "  指定车辆 18\n"
              "    粤A-1234 22\n"
              "  考试情况 18 +\n"
              "    未通过 18 +\n"
              "      科目一 22\n"
              "      科目二 22\n"
              "    约考中 18\n"
              "      科目一 22\n"
              "      科目二 22\n"
              "    已通过 18\n"
              "      科目一 22\n"
              "      科目二 22\n"
              "已毕业 23\n"
              "  未领证 22\n"
              "  本月毕业 22\n"
              "  近三个月 22\n"
              "  双击输入... 20\n"
              "已退学 23\n");
    EXPECT_FALSE(Frm->TreeView1->ShowRoot());
    EXPECT_TRUE(Frm->TreeView1->ReadOnly());
    EXPECT_EQ(Frm->TreeView1->Indent(), 19);
}

TEST_F(MainWindowTest, NodesCarryTheirFilters)
{
    Make();
    struct Case {
        const char* path;
        const char* filter;   // the criteria a node sets, all others Null
    };
    const Case cases[] = {
        {"培训中", "G0 D0"},
        {"培训中/业务员", "group"},
        {"培训中/业务员/周业务", "G0 D0 S2"},
        {"培训中/教练员/吴教练", "G0 D0 T3"},
        {"培训中/驾照类型/B2", "G0 D0 typeB2"},
        {"培训中/指定车辆/粤A-1234", "G0 D0 C1"},
        {"培训中/考试情况", "group"},
        {"培训中/考试情况/未通过/科目二", "G0 D0 U2"},
        {"培训中/考试情况/约考中/科目一", "G0 D0 A1"},
        {"培训中/考试情况/已通过/科目二", "G0 D0 P2"},
        {"已毕业", "G1"},
        {"已毕业/未领证", "G1 take0"},
        {"已毕业/本月毕业", "G1 2013-01-01..2013-01-31"},
        // The last three months: November and December before this January.
        {"已毕业/近三个月", "G1 2012-11-01..2013-01-31"},
        {"已毕业/双击输入...", "dbl"},
        {"已退学", "D1"},
    };
    for (const Case& c : cases) {
        TTreeNode* n = Node(c.path);
        ASSERT_NE(n, nullptr) << c.path;
        const TNodeData* d = MainUnit::TTreeView::NodeData(n);
        ASSERT_NE(d, nullptr) << c.path;
        std::string f;
        auto add = [&](const std::string& s) { f += (f.empty() ? "" : " ") + s; };
        auto flag = [&](const char* name, const Variant& v) {
            if (!VarIsNull(v)) add(std::string(name) + (bool(v) ? "1" : "0"));
        };
        auto id = [&](const char* name, const Variant& v) {
            if (!VarIsNull(v)) add(std::string(name) + std::to_string(int(v)));
        };
        if (!d->OnSelect && !d->OnDblClick) add("group");
        if (d->OnDblClick) add("dbl");
        flag("G", d->Graduated);
        flag("D", d->Dropouted);
        id("S", d->SalemanId);
        id("T", d->TeacherId);
        id("C", d->CarId);
        if (!d->Drivetype.empty()) add("type" + d->Drivetype);
        id("U", d->UnpassItemId);
        id("A", d->AppItemId);
        id("P", d->PassItemId);
        id("X", d->UnappItemId);
        flag("take", d->GraduateTakeIf);
        if (!VarIsNull(d->GraduateGrantdate1) || !VarIsNull(d->GraduateGrantdate2))
            add(DateVar(d->GraduateGrantdate1) + ".." + DateVar(d->GraduateGrantdate2));
        EXPECT_EQ(f, c.filter) << c.path;
    }
}

TEST_F(MainWindowTest, SelectingANodeListsItsStudents)
{
    MakeLoggedIn();
    Frm->Show();
    struct Case {
        const char* path;
        const char* listed;
    };
    const Case cases[] = {
        {"培训中", "张三,李四"},
        {"培训中/业务员/周业务", "李四"},
        {"培训中/教练员/吴教练", "张三"},
        {"培训中/驾照类型/C1", "张三"},
        {"培训中/指定车辆/粤A-1234", "张三"},
        {"培训中/考试情况/已通过/科目一", "张三"},
        {"培训中/考试情况/未通过/科目一", "李四"},
        {"培训中/考试情况/约考中/科目二", "张三"},
        // Graduates whether dropped out or not; drop-outs whether graduated or not.
        {"已毕业", "王五,孙七"},
        {"已毕业/未领证", "王五"},
        {"已毕业/本月毕业", "王五"},
        {"已毕业/近三个月", "王五,孙七"},
        {"已退学", "王五,赵六"},
    };
    for (const Case& c : cases) {
        Select(c.path);
        EXPECT_EQ(Listed(), c.listed) << c.path;
    }
    // A group node runs no query: the list keeps its rows; so does the
    // node that waits for a double click, which does nothing.
    Select("已退学");
    for (const char* group : {"培训中/业务员", "培训中/考试情况/约考中", "已毕业/双击输入..."}) {
        Select(group);
        EXPECT_EQ(Listed(), "王五,赵六") << group;
    }
    const TRect r = Node("已毕业/双击输入...")->DisplayRect(true);
    GuiTest::DoubleClick(Frm->TreeView1, Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_EQ(Listed(), "王五,赵六");
}

TEST_F(MainWindowTest, ANodeReplacesTheSearchCriteria)
{
    MakeLoggedIn();
    Frm->StudentList()->Where()->StunameFld->SetAsString("李四");
    Frm->StudentList()->Query();
    EXPECT_EQ(Listed(), "李四");
    Select("培训中/驾照类型/C1");
    EXPECT_TRUE(Frm->StudentList()->Where()->StunameFld->IsNull());
    EXPECT_EQ(Listed(), "张三");
}

// ---- the detail tabs ----------------------------------------------------------------------------

TEST_F(MainWindowTest, DetailTabsShowTheCurrentStudent)
{
    MakeLoggedIn();
    Frm->Show();
    ASSERT_EQ(Frm->TabControl3->Tabs()->CommaText(), "考试情况,收费记录,分班信息,毕业情况");
    EXPECT_EQ(Frm->TabControl3->TabHeight(), 23);

    Select("培训中");
    Locate("张三");
    Frm->TabControl3->SetTabIndex(2);
    Frm->TabControl3Change();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClass1);
    EXPECT_EQ(Frm->txtSigndate1->Caption(), "2012-12-03");
    EXPECT_EQ(Frm->txtDrivetype1->Caption(), "C1");
    EXPECT_EQ(Frm->txtSaleman1->Caption(), "钱业务");
    EXPECT_EQ(Frm->txtClassdate1->Caption(), "2012-12-05");
    EXPECT_EQ(Frm->txtClassname1->Caption(), "周末班");
    EXPECT_EQ(Frm->txtTeacher1->Caption(), "吴教练");
    EXPECT_EQ(Frm->txtCar1->Caption(), "粤A-1234");
    EXPECT_EQ(Frm->txtNotes1->Caption(), "早上");
    EXPECT_EQ(Frm->txtClassname1->Font()->Color(), clBlue);
    // The values keep their room: made empty, they still show the texts given later.
    for (Uis::TLabel* l : {Frm->txtSigndate1, Frm->txtClassname1, Frm->txtCar1, Frm->txtNotes1})
        EXPECT_GE(l->Width(), 150) << l->Caption();

    Locate("李四");
    Frm->StudentSelected(true);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClassNull1);

    // Graduation before drop-out before neither.
    Frm->TabControl3->SetTabIndex(3);
    Frm->TabControl3Change();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlGraduateNull1);
    EXPECT_EQ(Frm->lblGraduateHint1->Caption(), "\r\n");
    Select("已退学");
    Locate("王五");
    Frm->StudentSelected(true);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlGraduated1);
    EXPECT_EQ(Frm->txtGrantdate1->Caption(), DateTimeToStr(EncodeDate(2013, 1, 10) + EncodeTime(9, 30, 0, 0)));
    EXPECT_EQ(Frm->txtValidate1->Caption(), "2013-01-10");
    EXPECT_EQ(Frm->txtValimonth1->Caption(), "6");
    EXPECT_EQ(Frm->txtDocumentNo1->Caption(), "D-3");
    EXPECT_EQ(Frm->txtTakedate1->Caption(), "");
    EXPECT_EQ(Frm->txtHandman1->Caption(), "老陈");
    Locate("赵六");
    Frm->StudentSelected(true);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlDropout1);
    EXPECT_EQ(Frm->txtDropdate1->Caption(), "2013-01-12");
    EXPECT_EQ(Frm->txtDropReason1->Caption(), "工作");
    EXPECT_EQ(Frm->txtRetfund1->Caption(), "1000");
    EXPECT_EQ(Frm->txtDropHandman1->Caption(), "老李");

    // A selection change that leaves no row shows nothing new.
    const TPanel* before = Frm->ShownDetail();
    Frm->StudentSelected(false);
    EXPECT_EQ(Frm->ShownDetail(), before);
}

TEST_F(MainWindowTest, WithoutStudentsEveryTabShowsTheBlankPanel)
{
    Make();
    // Before the login the list is closed.
    for (int tab = 0; tab < 4; ++tab) {
        Frm->TabControl3->SetTabIndex(tab);
        Frm->TabControl3Change();
        EXPECT_EQ(Frm->ShownDetail(), Frm->pnlNull1) << tab;
    }
    Frm->SetCommandLine({"sa", "", "x"});
    ASSERT_TRUE(Frm->Login(true));
    Select("培训中/考试情况/约考中/科目一");
    EXPECT_EQ(Listed(), "");
    for (int tab = 0; tab < 4; ++tab) {
        Frm->TabControl3->SetTabIndex(tab);
        Frm->TabControl3Change();
        EXPECT_EQ(Frm->ShownDetail(), Frm->pnlNull1) << tab;
        EXPECT_EQ(Frm->pnlNull1->Caption(), "");
    }
}

TEST_F(MainWindowTest, ReceiptAndExamGridsAreMadeWhenTheirTabFirstShowsAStudent)
{
    Make();
    // No student yet: neither grid is made.
    for (int tab : {0, 1}) {
        Frm->TabControl3->SetTabIndex(tab);
        Frm->TabControl3Change();
    }
    EXPECT_EQ(Frm->ReceiptGrid, nullptr);
    EXPECT_EQ(Frm->ExamGrid, nullptr);
    Exec("insert into recitems(Id, Name) values (1, '培训费');"
         "insert into receipts(Id, StudentId, RecItemId, RecSign, Recfund) values (1, 1, 1, 1, 2800);"
         "insert into receipts(Id, StudentId, RecItemId, RecSign, Recfund) values (2, 2, 1, 1, 3000);"
         "insert into receipts(Id, StudentId, RecItemId, RecSign, Recfund) values (3, 1, 1, -1, 300);");
    Frm->SetCommandLine({"sa", "", "x"});
    ASSERT_TRUE(Frm->Login(true));
    Select("培训中");
    Locate("张三");
    Frm->TabControl3->SetTabIndex(1);
    Frm->TabControl3Change();
    ASSERT_NE(Frm->ReceiptGrid, nullptr);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlReceipts1);
    EXPECT_EQ(Frm->ReceiptGrid->Parent(), Frm->pnlReceipts1);
    EXPECT_EQ(Frm->ReceiptGrid->Tag(), 1011);
    EXPECT_EQ(Join(Frm->ReceiptList()->RecfundFld), "2800,300");
    TGridcx* receipts = Frm->ReceiptGrid;
    Locate("李四");
    Frm->StudentSelected(true);
    EXPECT_EQ(Frm->ReceiptGrid, receipts);
    EXPECT_EQ(Join(Frm->ReceiptList()->RecfundFld), "3000");

    // The receipt menu: its two actions on top, the grid's own items, the delete last.
    auto captions = [](TMenu* m) {
        std::string out;
        for (int i = 0; i < m->Items()->Count(); ++i) out += (i ? "|" : "") + m->Items()->Items(i)->Caption();
        return out;
    };
    EXPECT_EQ(captions(Frm->ReceiptGrid->PopupMenuQz()),
              "添加|修改|-|排序|-|列选择|保存表格样式|-|导出到Excel文档|导出到Html网页文件|-|删除");
    EXPECT_EQ(captions(Frm->StudentGrid->PopupMenuQz()),
              "排序|-|列选择|保存表格样式|-|导出到Excel文档|导出到Html网页文件|-|删除");
    EXPECT_EQ(Frm->StudentGrid->Tag(), 1006);
    EXPECT_EQ(Frm->StudentGrid->Parent(), Frm->pnlGrid1);

    Frm->TabControl3->SetTabIndex(0);
    Frm->TabControl3Change();
    ASSERT_NE(Frm->ExamGrid, nullptr);
    EXPECT_EQ(Frm->ExamGrid->Tag(), 1012);
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlExams1);
    EXPECT_EQ(captions(Frm->ExamGrid->PopupMenuQz()).rfind("添加|修改|-|排序", 0), 0u);
    Locate("张三");
    Frm->StudentSelected(true);
    EXPECT_EQ(Join(Frm->ExamList()->ItemNameFld), "科目一,科目二");
}

// The window over the small school, laid out and painted: the students in
// training in the grid, each tab's detail of the first of them. Pictures of
// the window are kept when QZ_KEEP_PICTURES names a folder.
TEST_F(MainWindowTest, APopulatedSchoolShowsInEveryTab)
{
    Exec("insert into recitems(Id, Name) values (1, '培训费');"
         "insert into receipts(Id, StudentId, RecItemId, RecSign, Recfund, Treasurer) values (1, 1, 1, 1, 2800, '李会计');");
    MakeLoggedIn();
    Frm->SetBounds(0, 0, 1024, 740);
    Frm->Show();
    // Every node open, as a user browsing the tree leaves it.
    for (TTreeNode* n = Frm->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext()) n->Expand(false);
    Select("培训中");
    Locate("张三");
    GuiTest::ProcessEvents();
    EXPECT_EQ(Frm->StudentGrid->View()->ViewInfo()->RecordsViewInfo()->Count(), 2);
    const char* const names[] = {"exams", "receipts", "class", "graduation"};
    TPanel* const panels[] = {Frm->pnlExams1, Frm->pnlReceipts1, Frm->pnlClass1, Frm->pnlGraduateNull1};
    for (int tab = 0; tab < 4; ++tab) {
        Frm->TabControl3->SetTabIndex(tab);
        Frm->TabControl3Change();
        GuiTest::ProcessEvents();
        EXPECT_EQ(Frm->ShownDetail(), panels[tab]) << names[tab];
        GuiTest::SavePng(Frm.get(), std::string("mainwin-school-") + names[tab] + ".png");
    }
    EXPECT_EQ(Frm->ExamGrid->View()->ViewInfo()->RecordsViewInfo()->Count(), 2);
    EXPECT_EQ(Frm->ReceiptGrid->View()->ViewInfo()->RecordsViewInfo()->Count(), 1);
}

TEST_F(MainWindowTest, DetailButtonsShowTheDetailAgainAfterAChange)
{
    MakeLoggedIn();
    Frm->Show();
    Select("培训中");
    Locate("张三");
    Frm->TabControl3->SetTabIndex(2);
    Frm->TabControl3Change();
    ASSERT_EQ(Frm->ShownDetail(), Frm->pnlClass1);
    // A cancelled confirmation changes nothing; a confirmed one removes the class.
    Rec.Host->QueueMessageBox(IDCANCEL);
    Frm->Button11->Click();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClass1);
    EXPECT_EQ(Count("classes"), 1);
    Rec.Host->QueueMessageBox(IDOK);
    Frm->Button11->Click();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlClassNull1);
    EXPECT_EQ(Count("classes"), 0);

    // A drop-out of a student in training, then undone.
    Frm->TabControl3->SetTabIndex(3);
    Frm->TabControl3Change();
    ASSERT_EQ(Frm->ShownDetail(), Frm->pnlGraduateNull1);
    TDialogScript script({[] {
        auto* f = ShownForm<TDropoutEditFrm>();
        ASSERT_NE(f, nullptr);
        f->edtReasons1->SetText("出国");
        f->btnOk1->Click();
    }});
    Frm->Button15->Click();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlDropout1);
    EXPECT_EQ(Frm->txtDropReason1->Caption(), "出国");
    Rec.Host->QueueMessageBox(IDOK);
    Frm->Button14->Click();
    EXPECT_EQ(Frm->ShownDetail(), Frm->pnlGraduateNull1);
    EXPECT_EQ(Count("dropouts"), 2);
}

// ---- menus, tool bar and actions ---------------------------------------------------------------

TEST_F(MainWindowTest, MenusHoldEveryItemInOrder)
{
    Make();
    std::string menus;
    TMenuItem* root = Frm->MainMenu1->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* m = root->Items(i);
        menus += m->Caption() + ":";
        for (int j = 0; j < m->Count(); ++j) menus += " " + m->Items(j)->Caption() + (m->Items(j)->Enabled() ? "" : "(off)");
        menus += "\n";
    }
    EXPECT_EQ(menus,
              "文件(&F): 公司信息 操作员及权限 选项设置(off) 初始化数据... 备份与恢复 更改密码 重新登陆 退出系统\n"
              "资料(&O): 业务员 教练员 车辆资料 - 收费项目 考试科目\n"
              "编辑(&E): 添加 从Excel导入... - 修改 删除\n"
              "查询(&D): 科目考试明细表 收费明细表 - 毕业学员花名册 退学学员记录表\n"
              "统计(&A): 学员考试一览表 学员缴费一览表\n"
              "工具(&T): 记事本 计算器\n"
              "帮助(&H): 帮助文件 常见问题(off) 每日一贴 自述文件 最新功能 恒岳官方网站 给恒岳发电子邮件... 在线反馈 关于...\n");
    EXPECT_EQ(Frm->Menu(), Frm->MainMenu1);

    std::string bar;
    for (int i = 0; i < Frm->ToolBar1->ButtonCount(); ++i) {
        TToolButton* b = Frm->ToolBar1->Buttons(i);
        bar += (b->Style() == tbsSeparator ? std::string("|") : b->Caption()) + " ";
    }
    EXPECT_EQ(bar, "业务员 教练员 车辆资料 | 添加 修改 | 查找 高级 | 退出 ");
    EXPECT_EQ(Frm->ToolBar1->ButtonWidth(), 55);
    EXPECT_EQ(Frm->ToolBar1->ButtonHeight(), 51);
    EXPECT_EQ(Frm->Caption(), qzProj::ProductTitle + " - " + qzProj::ProductEdition);
}

TEST_F(MainWindowTest, QueryAndStatisticsItemsOpenTheirWindows)
{
    Make();
    const std::pair<const char*, const char*> items[] = {
        {"科目考试明细表", "考试明细表"},   {"收费明细表", "收费明细表"},         {"毕业学员花名册", "毕业学员"},
        {"退学学员记录表", "退学学员记录表"}, {"学员考试一览表", "学员考试情况表"}, {"学员缴费一览表", "学员收费一览表"},
    };
    for (const auto& [item, caption] : items) {
        TMenuItem* m = Frm->MenuItem("查询(&D)", item);
        if (!m) m = Frm->MenuItem("统计(&A)", item);
        ASSERT_NE(m, nullptr) << item;
        m->Click();
        GuiTest::ProcessEvents();
        TQryWinFrm* shown = ShownForm<TQryWinFrm>();
        ASSERT_NE(shown, nullptr) << item;
        EXPECT_EQ(shown->Caption(), caption);
        delete shown;
    }
}

TEST_F(MainWindowTest, CompanyInformationNeedsItsRight)
{
    Make();
    // An operator without the company right is refused and sees no dialog.
    Exec("insert into operator (LoginId, [Password], Name, Rights) values ('bob', '1', '鲍勃', ',10002,')");
    ASSERT_TRUE(GOperator->Load("bob"));
    bool shown = false;
    TDialogScript script({[&] {
        shown = true;
        ModalForm()->SetModalResult(mrCancel);
    }});
    // The refusal is shown once, then the click ends silently.
    EXPECT_THROW(Frm->MenuItem("文件(&F)", "公司信息")->Click(), EAbort);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(shown);
    ASSERT_EQ(Rec.Messages().size(), 1u);
    // With the right, the dialog opens editable.
    ASSERT_TRUE(GOperator->Load("sa"));
    TDialogScript script2({[&] {
        auto* f = ShownForm<TCompanyInfoFrm>();
        ASSERT_NE(f, nullptr);
        shown = true;
        EXPECT_TRUE(f->OkBtn1->Enabled());
        f->SetModalResult(mrCancel);
    }});
    Frm->MenuItem("文件(&F)", "公司信息")->Click();
    EXPECT_TRUE(shown);
}

// ---- login and closing -----------------------------------------------------------------------------

TEST_F(MainWindowTest, LoginReadsTheCommandLineOnlyOnTheFirstStart)
{
    struct Case {
        std::vector<std::string> args;
        bool firstTime;
        bool dialog;
    };
    const Case cases[] = {
        {{"sa", "", "x"}, true, false},
        {{"sa", ""}, true, true},
        {{"sa", "", "x", "y"}, true, true},
        {{"sa", "wrong", "x"}, true, true},
        {{"sa", "", "x"}, false, true},
    };
    for (const Case& c : cases) {
        Make();
        Frm->SetCommandLine(c.args);
        bool dialog = false;
        TDialogScript script({[&] {
            dialog = true;
            ModalForm()->SetModalResult(mrCancel);
        }});
        const bool ok = Frm->Login(c.firstTime);
        GuiTest::ProcessEvents();
        EXPECT_EQ(dialog, c.dialog) << c.args.size() << c.firstTime;
        EXPECT_EQ(ok, !c.dialog);
        // A login lists the students of the current criteria; a failed one leaves the list closed.
        EXPECT_EQ(Listed(), ok ? "张三,李四,王五,赵六,孙七" : "<closed>");
    }
}

TEST_F(MainWindowTest, ClosingTakesTheExitRoad)
{
    MakeLoggedIn();
    Frm->Show();
    // The automatic backup runs by the stored plan: every day, into the
    // scratch folder.
    Exec("update [backup] set TypeId=1, BackDir='" + Dir.Path() + "/'");
    Frm->Close();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Frm->Visible());
    EXPECT_FALSE(GDatabase->GetConnected());
    EXPECT_TRUE(FileExists(Dir.File("bak20130115.bak")));
    EXPECT_TRUE(Rec.Messages().empty());
}

}  // namespace

namespace {

// ---- the program's start ---------------------------------------------------------------------------

class ProgramStartTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        TConfiger c;
        c.providerIdx = TConfiger::kindJet;
        c.defaultCon = false;
        c.jetfile = File;
        c.Save();
        GDatabase->SetConnected(false);
    }
};

TEST_F(ProgramStartTest, TheWindowShowsAfterTheLoginAndTheCompanyPrompt)
{
    // The company name is not filled in, so sa is asked for it first.
    bool company = false;
    TDialogScript script({[&] {
        auto* f = ShownForm<TCompanyInfoFrm>();
        ASSERT_NE(f, nullptr);
        company = true;
        f->SetModalResult(mrCancel);
    }});
    std::unique_ptr<TmainFrm> f(MainUnit::StartProgram({"sa", "", "x"}));
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(company);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(GSplash, nullptr);
    EXPECT_EQ(Join(f->StudentList()->NameFld), "张三,李四,王五,赵六,孙七");
    f->Close();
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(GDatabase->GetConnected());
}

TEST_F(ProgramStartTest, AGivenUpLoginEndsThroughTheExitRoad)
{
    bool dialog = false;
    TDialogScript script({[&] {
        dialog = ShownForm<TLoginFrm>() != nullptr;
        ModalForm()->SetModalResult(mrCancel);
    }});
    EXPECT_EQ(MainUnit::StartProgram({"sa", "wrong", "x"}), nullptr);
    EXPECT_TRUE(dialog);
    EXPECT_EQ(GSplash, nullptr);
    EXPECT_FALSE(GDatabase->GetConnected());
    for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_FALSE(dynamic_cast<TmainFrm*>(Screen->Forms(i)));
}

}  // namespace
