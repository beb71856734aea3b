#include "main.h"

#include "DBConfig.h"
#include "DateUtils.h"
#include "Facade.h"
#include "InfoDlgs.h"
#include "Login.h"
#include "Objs.h"
#include "SmallDlgs.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "UisGrids.h"
#include "qzLib.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TmainFrm, TaFrm)
QZ_CLASS_IMPL(TDetailTabHandler, TObject)
QZ_CLASS_IMPL(MainUnit::TTreeView, ::TTreeView)

// ---- the navigation tree --------------------------------------------------------------------

namespace MainUnit {

TTreeView::~TTreeView()
{
    // The records go with their nodes, before the tree itself.
    Items()->Clear();
    FRecords.clear();
}

TTreeNode* TTreeView::AddNode(TTreeNode* parent, const std::string& text, const TNodeData& data, int image)
{
    FRecords.push_back(std::make_unique<TNodeData>(data));
    TTreeNode* node = Items()->AddChildObject(parent, text, FRecords.back().get());
    node->SetImageIndex(image);
    node->SetSelectedIndex(image);
    return node;
}

TNodeData* TTreeView::NodeData(const TTreeNode* node)
{
    return node ? static_cast<TNodeData*>(node->Data()) : nullptr;
}

}  // namespace MainUnit

// ---- the window -------------------------------------------------------------------------------

namespace {

TPanel* MakePanel(TComponent* owner, TWinControl* parent, TAlign align)
{
    auto* p = new TPanel(owner);
    p->SetParent(parent);
    p->SetAlign(align);
    p->SetBevelOuter(bvNone);
    p->SetCaption("");
    return p;
}

}  // namespace

TmainFrm::TmainFrm(TComponent* owner) : TaFrm(owner)
{
    SetName("mainFrm");
    for (int i = 1; i <= ParamCount(); ++i) FArgs.push_back(ParamStr(i));
    SetCaption(Format("%s - %s", {qzProj::ProductTitle, qzProj::ProductEdition}));
    SetPosition(poDefault);
    SetBounds(0, 0, 1024, 740);

    BuildActions();
    BuildMenu();
    BuildToolBar();

    Panel1 = MakePanel(this, this, alBottom);
    Panel1->SetHeight(6);
    TabControl1 = UiKit::Make<TTabControl>(this, this, 0, 0, 210, 400);
    TabControl1->SetAlign(alLeft);
    TreeView1 = new MainUnit::TTreeView(this);
    TreeView1->SetParent(TabControl1);
    TreeView1->SetAlign(alClient);
    TreeView1->SetReadOnly(true);
    TreeView1->SetShowRoot(false);
    TreeView1->SetIndent(19);
    TreeView1->SetHideSelection(false);
    if (PubFrm) TreeView1->SetImages(PubFrm->ImageList1);
    TreeView1->OnChange = [this](TObject*, TTreeNode* node) {
        // The selection change: the node's own query, if it has one.
        if (node && node->Selected())
            if (TNodeData* d = MainUnit::TTreeView::NodeData(node); d && d->OnSelect) d->OnSelect(node);
    };
    TreeView1->OnDblClick = [this](TObject*) {
        TTreeNode* node = TreeView1->Selected();
        if (TNodeData* d = MainUnit::TTreeView::NodeData(node); d && d->OnDblClick) d->OnDblClick(node);
    };
    Splitter1 = UiKit::Make<TSplitter>(this, this, 210, 0, 4, 400);
    Splitter1->SetAlign(alLeft);
    pnlMain1 = MakePanel(this, this, alClient);
    TabControl3 = UiKit::Make<TTabControl>(this, pnlMain1, 0, 400, 800, 230);
    TabControl3->SetAlign(alBottom);
    TabControl3->SetTabHeight(23);
    TabControl3->OnChange = [this](TObject*) { TabControl3Change(); };
    TabControl2 = UiKit::Make<TTabControl>(this, pnlMain1, 0, 0, 800, 400);
    TabControl2->SetAlign(alClient);
    pnlFind1 = MakePanel(this, TabControl2, alTop);
    pnlFind1->SetVisible(false);
    pnlGrid1 = MakePanel(this, TabControl2, alClient);
    BuildPanels();

    SetWindowState(wsMaximized);
    BuildTree();
    FStudentList = std::make_unique<TStudentList>();
    FStudentList->DataSet()->AfterOpen = [this](TDataSet*) { StudentsAfterOpen(); };
    StudentGrid = static_cast<TGridcx*>(
        TqzGridcx::CreateWithLayout(this, 1006, FStudentList->DataSet(), pnlGrid1, TGridcx::StaticClass()));
    TqzPopupMenu::AddSeparator(StudentGrid->PopupMenuQz(), -1, nullptr);
    TqzPopupMenu::AddActionItem(StudentGrid->PopupMenuQz(), DeleteAction1, -1, nullptr);
    StudentGrid->OnDblClick = [this](TObject*) { EditAction1->Execute(); };
    StudentGrid->OnSelectChanged = [this](bool selected) { StudentSelected(selected); };
    DetailButton(Button10, &TStudentList::EditClass, &TmainFrm::ShowClass);
    DetailButton(Button11, &TStudentList::DeleteClass, &TmainFrm::ShowClass);
    DetailButton(Button12, &TStudentList::CreateClass, &TmainFrm::ShowClass);
    DetailButton(Button8, &TStudentList::EditGraduation, &TmainFrm::ShowGraduation);
    DetailButton(Button9, &TStudentList::UndoGraduation, &TmainFrm::ShowGraduation);
    DetailButton(Button7, &TStudentList::Graduate, &TmainFrm::ShowGraduation);
    DetailButton(Button15, &TStudentList::Dropout, &TmainFrm::ShowGraduation);
    DetailButton(Button13, &TStudentList::EditDropout, &TmainFrm::ShowGraduation);
    DetailButton(Button14, &TStudentList::UndoDropout, &TmainFrm::ShowGraduation);

    AddDetailTab("考试情况", [this](const RStudent& s) { ShowExams(s); });
    AddDetailTab("收费记录", [this](const RStudent& s) { ShowReceipts(s); });
    AddDetailTab("分班信息", [this](const RStudent& s) { ShowClass(s); });
    AddDetailTab("毕业情况", [this](const RStudent& s) { ShowGraduation(s); });
    TabControl3->SetTabIndex(0);
    NoStudent();
}

TmainFrm::~TmainFrm()
{
    // The controls go first: nothing shows the lists while they are freed.
    DestroyComponents();
    FReceiptList.reset();
    FExamList.reset();
    FStudentList.reset();
}

// ---- actions, menu and tool bar ------------------------------------------------------------

void TmainFrm::BuildActions()
{
    ActionList1 = new TActionList(this);
    if (PubFrm) ActionList1->SetImages(PubFrm->ImageList32);
    auto make = [this](const std::string& name, const std::string& caption, int image, std::function<void()> run) {
        auto* a = new TAction(this);
        a->SetName(name);
        a->SetCaption(caption);
        a->SetImageIndex(image);
        a->SetActionList(ActionList1);
        a->OnExecute = [run](TObject*) { run(); };
        return a;
    };
    CarListAction1 = make("CarListAction1", "车辆资料", 2, [] { Facade::ShowCars(); });
    LoadExcelAction1 = make("LoadExcelAction1", "从Excel导入...", 7, [this] { FStudentList->Import(); });
    AddAction1 = make("AddAction1", "添加", 3, [this] { FStudentList->Add(); });
    EditAction1 = make("EditAction1", "修改", 4, [this] { FStudentList->Edit(); });
    DeleteAction1 = make("DeleteAction1", "删除", 5, [this] { FStudentList->Delete(); });
    RecitemListAction1 = make("RecitemListAction1", "收费项目", 6, [] { Facade::ShowRecitems(); });
    ExamitemListAction1 = make("ExamitemListAction1", "考试科目", 6, [] { Facade::ShowExamitems(); });
    // The receipt and exam actions act on their tab's list, which exists
    // once the tab has shown a student; adding needs a current student.
    ReceiptAddAction1 = make("ReceiptAddAction1", "添加", 3, [this] {
        if (FReceiptList && !NoStudent()) FReceiptList->Add(FStudentList->AsData());
    });
    ReceiptEditAction1 = make("ReceiptEditAction1", "修改", 4, [this] { if (FReceiptList) FReceiptList->Edit(); });
    ReceiptDeleteAction1 = make("ReceiptDeleteAction1", "删除", 5, [this] { if (FReceiptList) FReceiptList->Delete(); });
    ExamAddAction1 = make("ExamAddAction1", "添加", 3, [this] {
        if (FExamList && !NoStudent()) FExamList->Add(FStudentList->AsData());
    });
    ExamEditAction1 = make("ExamEditAction1", "修改", 4, [this] { if (FExamList) FExamList->Edit(); });
    ExamDeleteAction1 = make("ExamDeleteAction1", "删除", 5, [this] { if (FExamList) FExamList->Delete(); });
}

namespace {

TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, const std::string& caption, std::function<void()> run)
{
    auto* mi = new TMenuItem(owner);
    mi->SetCaption(caption);
    if (run) mi->OnClick = [run](TObject*) { run(); };
    parent->Add(mi);
    return mi;
}

TMenuItem* AddActionMenuItem(TComponent* owner, TMenuItem* parent, TBasicAction* action)
{
    auto* mi = new TMenuItem(owner);
    mi->SetAction(action);
    parent->Add(mi);
    return mi;
}

}  // namespace

void TmainFrm::BuildMenu()
{
    MainMenu1 = new TMainMenu(this);
    TMenuItem* root = MainMenu1->Items();
    auto menu = [&](const std::string& caption) { return AddMenuItem(this, root, caption, nullptr); };

    TMenuItem* m = menu("文件(&F)");
    // The company information is guarded by its right: the facade refuses
    // an operator without it.
    AddMenuItem(this, m, "公司信息", [] { GMall->EditCompany(); });
    AddMenuItem(this, m, "操作员及权限", [] { Facade::ShowOperators(); });
    AddMenuItem(this, m, "选项设置", nullptr)->SetEnabled(false);
    AddMenuItem(this, m, "初始化数据...", [] { Facade::ShowClearData(); });
    AddMenuItem(this, m, "备份与恢复", [] { Facade::ShowBackup(); });
    AddMenuItem(this, m, "更改密码", [] { PasswordChanger::ChangePassword(GOperator); });
    AddMenuItem(this, m, "重新登陆", [this] { Login(false); });
    AddMenuItem(this, m, "退出系统", [this] { Close(); });

    m = menu("资料(&O)");
    AddMenuItem(this, m, "业务员", [] { Facade::ShowSalesmen(); });
    AddMenuItem(this, m, "教练员", [] { Facade::ShowTrainers(); });
    AddActionMenuItem(this, m, CarListAction1);
    AddMenuItem(this, m, "-", nullptr);
    AddActionMenuItem(this, m, RecitemListAction1);
    AddActionMenuItem(this, m, ExamitemListAction1);

    m = menu("编辑(&E)");
    AddActionMenuItem(this, m, AddAction1);
    AddActionMenuItem(this, m, LoadExcelAction1);
    AddMenuItem(this, m, "-", nullptr);
    AddActionMenuItem(this, m, EditAction1);
    AddActionMenuItem(this, m, DeleteAction1);

    m = menu("查询(&D)");
    AddMenuItem(this, m, "科目考试明细表", [] { Facade::ShowExamQuery(); });
    AddMenuItem(this, m, "收费明细表", [] { Facade::ShowReceiptQuery(); });
    AddMenuItem(this, m, "-", nullptr);
    AddMenuItem(this, m, "毕业学员花名册", [] { Facade::ShowGraduates(); });
    AddMenuItem(this, m, "退学学员记录表", [] { Facade::ShowDropouts(); });

    m = menu("统计(&A)");
    AddMenuItem(this, m, "学员考试一览表", [] { Facade::ShowExamTotal(); });
    AddMenuItem(this, m, "学员缴费一览表", [] { Facade::ShowFareTotal(); });

    m = menu("工具(&T)");
    AddMenuItem(this, m, "记事本", [] { qzProjUi::RunNotepad(); });
    AddMenuItem(this, m, "计算器", [] { qzProjUi::RunCalculator(); });

    m = menu("帮助(&H)");
    AddMenuItem(this, m, "帮助文件", [this] { ShowHelp(""); });
    AddMenuItem(this, m, "常见问题", nullptr)->SetEnabled(false);
    AddMenuItem(this, m, "每日一贴", [] { qzProjUi::ShowTips(); });
    AddMenuItem(this, m, "自述文件", [] { qzProjUi::ShowReadme(); });
    AddMenuItem(this, m, "最新功能", [] { qzProjUi::ShowWhatsNew(); });
    AddMenuItem(this, m, "恒岳官方网站", [] { qzProjUi::OpenHomePage(); });
    AddMenuItem(this, m, "给恒岳发电子邮件...", [] { qzProjUi::MailSales(); });
    AddMenuItem(this, m, "在线反馈", [] { qzProjUi::ShowFeedbackForm(); });
    AddMenuItem(this, m, "关于...", [] { qzProjUi::ShowAboutBox(); });
    SetMenu(MainMenu1);
}

TMenuItem* TmainFrm::MenuItem(const std::string& menu, const std::string& item) const
{
    TMenuItem* m = MainMenu1->Items()->Find(menu);
    return m ? m->Find(item) : nullptr;
}

void TmainFrm::BuildToolBar()
{
    ToolBar1 = new TToolBar(this);
    ToolBar1->SetParent(this);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetFlat(true);
    ToolBar1->SetShowCaptions(true);
    if (PubFrm) ToolBar1->SetImages(PubFrm->ImageList32);
    ToolBar1->SetButtonWidth(55);
    ToolBar1->SetButtonHeight(51);
    ToolBar1->SetHeight(55);
    // Each button goes to the right of those before it.
    auto place = [this](TToolButton* b) {
        b->SetLeft(ToolBar1->ButtonCount() * 60 + 1);
        b->SetParent(ToolBar1);
    };
    auto button = [this, place](const std::string& caption, int image, std::function<void()> run) {
        auto* b = new TToolButton(this);
        place(b);
        b->SetCaption(caption);
        b->SetImageIndex(image);
        if (run) b->OnClick = [run](TObject*) { run(); };
        return b;
    };
    auto action = [this, place](TBasicAction* a) {
        auto* b = new TToolButton(this);
        place(b);
        b->SetAction(a);
        return b;
    };
    auto separator = [this, place] {
        auto* b = new TToolButton(this);
        place(b);
        b->SetStyle(tbsSeparator);
        b->SetWidth(8);
    };
    btnSalesmen1 = button("业务员", 0, [] { Facade::ShowSalesmen(); });
    btnTrainers1 = button("教练员", 1, [] { Facade::ShowTrainers(); });
    btnCars1 = action(CarListAction1);
    separator();
    btnAdd1 = action(AddAction1);
    btnEdit1 = action(EditAction1);
    separator();
    btnFind1 = button("查找", 6, [this] { FStudentList->Find(); });
    // The student grid's own menu, dropped down under the button.
    btnAdvanced1 = button("高级", 7, [this] {
        const TPoint p = btnAdvanced1->ClientToScreen(Point(0, btnAdvanced1->Height()));
        StudentGrid->PopupMenuQz()->Popup(p.X, p.Y);
    });
    separator();
    btnExit1 = button("退出", 8, [this] { Close(); });
}

// ---- the detail panels ---------------------------------------------------------------------

namespace {

// Caption and value labels in rows of two pairs.
Uis::TLabel* AddField(TComponent* owner, TPanel* panel, const std::string& caption, int index)
{
    const int col = index % 2, row = index / 2;
    const int left = 16 + col * 300, top = 14 + row * 30;
    UiKit::MakeLabel(owner, panel, caption + ":", left, top);
    auto* value = UiKit::Make<Uis::TLabel>(owner, panel, left + 90, top, 200, 18);
    value->Font()->SetColor(clBlue);
    // A fixed width: sized to its empty text it would show nothing later.
    value->SetAutoSize(false);
    value->SetBounds(left + 90, top, 200, 18);
    value->SetCaption("");
    return value;
}

}  // namespace

void TmainFrm::BuildPanels()
{
    auto panel = [this] { return MakePanel(this, TabControl3, alClient); };
    pnlNull1 = panel();
    pnlClass1 = panel();
    pnlClassNull1 = panel();
    pnlReceipts1 = panel();
    pnlExams1 = panel();
    pnlGraduated1 = panel();
    pnlGraduateNull1 = panel();
    pnlDropout1 = panel();

    int i = 0;
    txtSigndate1 = AddField(this, pnlClass1, "报名日期", i++);
    txtDrivetype1 = AddField(this, pnlClass1, "驾照类型", i++);
    txtSaleman1 = AddField(this, pnlClass1, "业务员", i++);
    txtClassdate1 = AddField(this, pnlClass1, "分班日期", i++);
    txtClassname1 = AddField(this, pnlClass1, "班级类别", i++);
    txtTeacher1 = AddField(this, pnlClass1, "教练员", i++);
    txtCar1 = AddField(this, pnlClass1, "驾驶车辆", i++);
    txtNotes1 = AddField(this, pnlClass1, "备注", i++);
    Button10 = UiKit::MakeButton(this, pnlClass1, "修改", 640, 12);
    Button11 = UiKit::MakeButton(this, pnlClass1, "删除", 640, 44);
    Button12 = UiKit::MakeButton(this, pnlClassNull1, "建立", 16, 14);

    i = 0;
    txtGrantdate1 = AddField(this, pnlGraduated1, "领证日期", i++);
    txtValidate1 = AddField(this, pnlGraduated1, "有效起始日期", i++);
    txtValimonth1 = AddField(this, pnlGraduated1, "有效期", i++);
    txtDocumentNo1 = AddField(this, pnlGraduated1, "档案编号", i++);
    txtDrivetype2 = AddField(this, pnlGraduated1, "准驾类型", i++);
    txtTakedate1 = AddField(this, pnlGraduated1, "领取日期", i++);
    txtHandman1 = AddField(this, pnlGraduated1, "经办人", i++);
    txtGraduateNotes1 = AddField(this, pnlGraduated1, "备注", i++);
    Button8 = UiKit::MakeButton(this, pnlGraduated1, "修改", 640, 12);
    Button9 = UiKit::MakeButton(this, pnlGraduated1, "撤消", 640, 44);

    lblGraduateHint1 = UiKit::Make<Uis::TLabel>(this, pnlGraduateNull1, 16, 14, 400, 30);
    lblGraduateHint1->SetAutoSize(false);
    lblGraduateHint1->SetBounds(16, 14, 400, 30);
    lblGraduateHint1->SetCaption("");
    Button7 = UiKit::MakeButton(this, pnlGraduateNull1, "毕业", 16, 50);
    Button15 = UiKit::MakeButton(this, pnlGraduateNull1, "退学", 100, 50);

    i = 0;
    txtDropdate1 = AddField(this, pnlDropout1, "退学日期", i++);
    txtDropReason1 = AddField(this, pnlDropout1, "退学原因", i++);
    txtRetfund1 = AddField(this, pnlDropout1, "退还学费", i++);
    txtDropHandman1 = AddField(this, pnlDropout1, "经办人", i++);
    txtDropNotes1 = AddField(this, pnlDropout1, "备注", i++);
    Button13 = UiKit::MakeButton(this, pnlDropout1, "修改", 640, 12);
    Button14 = UiKit::MakeButton(this, pnlDropout1, "撤消", 640, 44);

    // The receipt and exam panels: the grid on the left, the buttons on the right.
    for (auto [p, add, edit, del] : {std::tuple{pnlReceipts1, ReceiptAddAction1, ReceiptEditAction1, ReceiptDeleteAction1},
                                     std::tuple{pnlExams1, ExamAddAction1, ExamEditAction1, ExamDeleteAction1}}) {
        TPanel* side = MakePanel(this, p, alRight);
        side->SetWidth(96);
        int top = 8;
        for (TAction* a : {add, edit, del}) {
            TButton* b = UiKit::MakeButton(this, side, "", 10, top);
            b->SetAction(a);
            top += 32;
        }
    }
}

void TmainFrm::AddDetailTab(const std::string& caption, std::function<void(const RStudent&)> handler)
{
    FTabHandlers.push_back(std::make_unique<TDetailTabHandler>(std::move(handler)));
    TabControl3->Tabs()->AddObject(caption, FTabHandlers.back().get());
}

void TmainFrm::ShowDetail(TPanel* panel)
{
    panel->BringToFront();
    FShownDetail = panel;
}

// ---- the tree -------------------------------------------------------------------------------

TTreeNode* TmainFrm::AddTreeNode(TTreeNode* parent, const std::string& text, const TNodeData& data, int image)
{
    return TreeView1->AddNode(parent, text, data, image);
}

void TmainFrm::BuildTree()
{
    TreeView1->Items()->BeginUpdate();
    auto query = [this](TTreeNode* n) { QueryByNode(n); };
    // Students in training: neither graduated nor dropped out.
    TNodeData training;
    training.OnSelect = query;
    training.Graduated = false;
    training.Dropouted = false;
    const TNodeData group;

    TTreeNode* nTraining = AddTreeNode(nullptr, "培训中", training, 5);

    TTreeNode* nSalesmen = AddTreeNode(nTraining, "业务员", group, 17);
    REmployees salesmen;
    TSalesmanList::GetSalesmen(salesmen);
    for (const REmployee& e : salesmen) {
        TNodeData d = training;
        d.SalemanId = e.Id;
        AddTreeNode(nSalesmen, e.Name, d, 22);
    }

    TTreeNode* nTrainers = AddTreeNode(nTraining, "教练员", group, 17);
    REmployees trainers;
    TTrainerList::GetTrainers(trainers);
    nTrainers->SetImageIndex(26);
    nTrainers->SetSelectedIndex(26);
    for (const REmployee& e : trainers) {
        TNodeData d = training;
        d.TeacherId = e.Id;
        AddTreeNode(nTrainers, e.Name, d, 22);
    }

    TTreeNode* nTypes = AddTreeNode(nTraining, "驾照类型", group, 19);
    RDrivetypes types;
    TStudentSet::GetDrivetypes(types);
    for (const std::string& t : types) {
        TNodeData d = training;
        d.Drivetype = t;
        AddTreeNode(nTypes, t, d, 22);
    }

    TTreeNode* nCars = AddTreeNode(nTraining, "指定车辆", group, 18);
    RCars cars;
    TCarSet::GetCars(cars);
    for (const RCar& c : cars) {
        TNodeData d = training;
        d.CarId = c.Id;
        AddTreeNode(nCars, c.CarNo, d, 22);
    }

    TTreeNode* nExams = AddTreeNode(nTraining, "考试情况", group, 18);
    RExamitems items;
    TExamitemSet::GetExamitems(items);
    TTreeNode* nUnpassed = AddTreeNode(nExams, "未通过", group, 18);
    for (const RExamitem& it : items) {
        TNodeData d = training;
        d.UnpassItemId = it.Id;
        AddTreeNode(nUnpassed, it.Name, d, 22);
    }
    TTreeNode* nBooked = AddTreeNode(nExams, "约考中", group, 18);
    for (const RExamitem& it : items) {
        TNodeData d = training;
        d.AppItemId = it.Id;
        AddTreeNode(nBooked, it.Name, d, 22);
    }
    TTreeNode* nPassed = AddTreeNode(nExams, "已通过", group, 18);
    for (const RExamitem& it : items) {
        TNodeData d = training;
        d.PassItemId = it.Id;
        AddTreeNode(nPassed, it.Name, d, 22);
    }

    TNodeData graduated;
    graduated.OnSelect = query;
    graduated.Graduated = true;
    TTreeNode* nGraduated = AddTreeNode(nullptr, "已毕业", graduated, 23);
    TNodeData d = graduated;
    d.GraduateTakeIf = false;
    AddTreeNode(nGraduated, "未领证", d, 22);
    // The month bounds are those of the day the tree is built.
    const TDateTime monthStart = qzLib::FirstDayOfMonth();
    d = graduated;
    d.GraduateGrantdate1 = VarFromDateTime(monthStart);
    d.GraduateGrantdate2 = VarFromDateTime(qzLib::LastDayOfMonth());
    AddTreeNode(nGraduated, "本月毕业", d, 22);
    // The last three months: this one and the two before it.
    d = graduated;
    d.GraduateGrantdate1 = VarFromDateTime(IncMonth(monthStart, -2));
    d.GraduateGrantdate2 = VarFromDateTime(qzLib::LastDayOfMonth());
    AddTreeNode(nGraduated, "近三个月", d, 22);
    d.Reset();
    d.OnDblClick = [this](TTreeNode* n) { DblClickInput(n); };
    AddTreeNode(nGraduated, "双击输入...", d, 20);

    TNodeData dropped;
    dropped.OnSelect = query;
    dropped.Dropouted = true;
    AddTreeNode(nullptr, "已退学", dropped, 23);

    nUnpassed->Expand(false);
    nExams->Expand(false);
    nTraining->Expand(false);
    TreeView1->Items()->EndUpdate();
}

void TmainFrm::DblClickInput(TTreeNode*) {}

void TmainFrm::QueryByNode(TTreeNode* node)
{
    TStudentWhere* w = FStudentList->Where();
    w->Clear();
    if (const TNodeData* d = MainUnit::TTreeView::NodeData(node)) {
        w->SalemanIdFld->SetValue(d->SalemanId);
        w->TeacherIdFld->SetValue(d->TeacherId);
        w->CarIdFld->SetValue(d->CarId);
        w->DrivetypeFld->SetAsString(d->Drivetype);
        w->PassItemIdFld->SetValue(d->PassItemId);
        w->UnpassItemIdFld->SetValue(d->UnpassItemId);
        w->AppItemIdFld->SetValue(d->AppItemId);
        w->UnappItemIdFld->SetValue(d->UnappItemId);
        w->GraduatedFld->SetValue(d->Graduated);
        w->DropoutedFld->SetValue(d->Dropouted);
        w->GraduateTakeIfFld->SetValue(d->GraduateTakeIf);
        w->GraduateGrantdate1Fld->SetValue(d->GraduateGrantdate1);
        w->GraduateGrantdate2Fld->SetValue(d->GraduateGrantdate2);
    }
    FStudentList->Query();
}

// ---- the current student ---------------------------------------------------------------------

bool TmainFrm::NoStudent()
{
    TDataSet* ds = FStudentList->DataSet();
    if (ds->Active() && !ds->IsEmpty()) return false;
    pnlNull1->SetCaption("");
    ShowDetail(pnlNull1);
    return true;
}

void TmainFrm::StudentsAfterOpen() { NoStudent(); }

void TmainFrm::StudentSelected(bool selected)
{
    if (selected) TabControl3Change();
}

void TmainFrm::TabControl3Change()
{
    const int i = TabControl3->TabIndex();
    if (i < 0) return;
    auto* h = dynamic_cast<TDetailTabHandler*>(TabControl3->Tabs()->Objects(i));
    if (h && h->Handler) h->Handler(FStudentList->AsData());
}

void TmainFrm::ShowClass(const RStudent& student)
{
    if (NoStudent()) return;
    RClass c;
    if (!TClassSet::LoadByStudent(student.Id, c)) {
        ShowDetail(pnlClassNull1);
        return;
    }
    txtSigndate1->ShowDate(student.Signdate);
    txtDrivetype1->ShowString(student.Drivetype);
    txtSaleman1->ShowString(student.SalemanName);
    txtClassdate1->ShowDate(c.Classdate);
    txtClassname1->ShowString(c.Classname);
    txtTeacher1->ShowString(c.TeacherName);
    txtCar1->ShowString(c.CarNo);
    txtNotes1->ShowString(c.Notes);
    ShowDetail(pnlClass1);
}

TGridcx* TmainFrm::MakeDetailGrid(int layoutId, TDataSet* dataSet, TPanel* parent, TAction* add, TAction* edit,
                                  TAction* del)
{
    auto* grid =
        static_cast<TGridcx*>(TqzGridcx::CreateWithLayout(this, layoutId, dataSet, parent, TGridcx::StaticClass()));
    grid->OnDblClick = [edit](TObject*) { edit->Execute(); };
    // "添加", "修改", a line, the grid's own items, a line, "删除".
    TqzPopupMenu* menu = grid->PopupMenuQz();
    TqzPopupMenu::AddSeparator(menu, 0, nullptr);
    TqzPopupMenu::AddActionItem(menu, edit, 0, nullptr);
    TqzPopupMenu::AddActionItem(menu, add, 0, nullptr);
    TqzPopupMenu::AddSeparator(menu, -1, nullptr);
    TqzPopupMenu::AddActionItem(menu, del, -1, nullptr);
    return grid;
}

void TmainFrm::ShowReceipts(const RStudent& student)
{
    if (NoStudent()) return;
    if (!FReceiptList) {
        FReceiptList = std::make_unique<TReceiptList>();
        ReceiptGrid = MakeDetailGrid(1011, FReceiptList->DataSet(), pnlReceipts1, ReceiptAddAction1,
                                     ReceiptEditAction1, ReceiptDeleteAction1);
    }
    FReceiptList->Where()->StudentIdFld->SetAsInteger(student.Id);
    FReceiptList->Query();
    ShowDetail(pnlReceipts1);
}

void TmainFrm::ShowExams(const RStudent& student)
{
    if (NoStudent()) return;
    if (!FExamList) {
        FExamList = std::make_unique<TExamList>();
        ExamGrid = MakeDetailGrid(1012, FExamList->DataSet(), pnlExams1, ExamAddAction1, ExamEditAction1,
                                  ExamDeleteAction1);
        // The pass column shows the field's own text.
        ExamGrid->SetTextEditColumn(FExamList->IsPassFld, true);
    }
    FExamList->Where()->StudentIdFld->SetAsInteger(student.Id);
    FExamList->Query();
    ShowDetail(pnlExams1);
}

void TmainFrm::DetailButton(TButton* button, bool (TStudentList::*operation)(), void (TmainFrm::*show)(const RStudent&))
{
    button->OnClick = [this, operation, show](TObject*) {
        if ((FStudentList.get()->*operation)()) (this->*show)(FStudentList->AsData());
    };
}

void TmainFrm::ShowGraduation(const RStudent& student)
{
    if (NoStudent()) return;
    RGraduate g;
    if (TGraduateSet::LoadByStudent(student.Id, g)) {
        txtGrantdate1->ShowDate(g.Grantdate);
        txtValidate1->ShowDate(g.Validate);
        txtValimonth1->ShowFloat(g.Valimonth);
        txtDrivetype2->ShowString(g.Drivetype);
        txtDocumentNo1->ShowString(g.DocumentNo);
        txtTakedate1->ShowDate(g.Takedate);
        txtHandman1->ShowString(g.Handman);
        txtGraduateNotes1->ShowString(g.Notes);
        ShowDetail(pnlGraduated1);
        return;
    }
    RDropout d;
    if (TDropoutSet::LoadByStudent(student.Id, d)) {
        txtDropdate1->ShowDate(d.Dropdate);
        txtDropReason1->ShowString(d.Reasons);
        txtRetfund1->ShowFloat(d.Retfund);
        txtDropHandman1->ShowString(d.Handman);
        txtDropNotes1->ShowString(d.Notes);
        ShowDetail(pnlDropout1);
        return;
    }
    lblGraduateHint1->SetCaption("\r\n");
    ShowDetail(pnlGraduateNull1);
}

// ---- login and the way out -----------------------------------------------------------------------

bool TmainFrm::Login(bool firstTime)
{
    const bool ok = Login::LoginStep(firstTime, FArgs);
    if (ok) FStudentList->Query();
    return ok;
}

void TmainFrm::DoClose(TCloseAction& action)
{
    TaFrm::DoClose(action);
    Hide();
    Facade::ExitRoad();
}

// ---- the program's start ---------------------------------------------------------------------

namespace MainUnit {

TmainFrm* StartProgram(const std::vector<std::string>& args)
{
    if (!GMall) GMall = new Tmall(Application);
    GSplash = new TSplashFrm(Application);
    GSplash->Show();
    GSplash->ShowHint("正在连接数据库,请稍候...");
    if (!DBConfig::ConnectDatabase()) {
        delete GSplash;
        GSplash = nullptr;
        return nullptr;
    }
    GSplash->ShowHint("正在创建公共对象,请稍候...");
    GCompany->Load();
    GSplash->ShowHint("");
    GSplash->ShowHint("正在创建主程序,请稍候...");
    if (!PubFrm) PubFrm = new TPubFrm(Application);
    TmainFrm* f = nullptr;
    try {
        f = new TmainFrm(Application);
    } catch (...) {
        delete GSplash;
        GSplash = nullptr;
        throw;
    }
    f->SetCommandLine(args);
    delete GSplash;
    GSplash = nullptr;
    if (!f->Login(true)) {
        f->Close();
        delete f;
        return nullptr;
    }
    f->Show();
    GMall->AfterLogin();
    return f;
}

}  // namespace MainUnit
