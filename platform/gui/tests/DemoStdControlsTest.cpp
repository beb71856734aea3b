// A form with one of each standard control, Chinese captions throughout,
// written as a PNG for a person to look at, with a few pixels checked.
#include "Buttons.h"
#include "CheckLst.h"
#include "ComCtrls.h"
#include "DateUtils.h"
#include "DirPicker.h"
#include "ScrollBox.h"
#include "ValEdit.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "StdFormFixture.h"

namespace {

using DemoStdControls = StdFormTest;

TEST_F(DemoStdControls, OneOfEachWithChineseCaptions)
{
    Form->SetCaption("标准控件演示");
    Form->SetBounds(40, 40, 640, 420);
    auto* label = Make<TLabel>(10, 10, 10, 10);
    label->SetCaption("学员姓名(&N):");
    auto* link = Make<TLabel>(10, 32, 10, 10);
    link->SetCaption("官方网站");
    link->SetLinkStyle(true);
    auto* ok = Make<TButton>(10, 56, 80, 26);
    ok->SetCaption("确定");
    ok->SetDefault(true);
    auto* bit = Make<TBitBtn>(100, 56, 90, 26);
    bit->SetKind(bkCancel);
    bit->SetCaption("取消");
    auto* speed = Make<TSpeedButton>(200, 56, 60, 26);
    speed->SetCaption("查询");
    speed->SetGroupIndex(1);
    speed->SetDown(true);
    auto* check = Make<TCheckBox>(10, 92, 120, 20);
    check->SetCaption("已缴费");
    check->SetChecked(true);
    auto* grey = Make<TCheckBox>(140, 92, 120, 20);
    grey->SetCaption("部分缴费");
    grey->SetAllowGrayed(true);
    grey->SetState(cbGrayed);
    auto* radio = Make<TRadioButton>(10, 116, 120, 20);
    radio->SetCaption("仅明细数据");
    radio->SetChecked(true);
    auto* radio2 = Make<TRadioButton>(140, 116, 120, 20);
    radio2->SetCaption("所有数据");
    auto* group = Make<TGroupBox>(10, 144, 250, 70);
    group->SetCaption("备份目录");
    auto* inGroup = Make<TLabel>(10, 24, 10, 10, group);
    inGroup->SetCaption("注意：这里指的是数据库所在机器的目录.");
    auto* rg = Make<TRadioGroup>(10, 220, 250, 110);
    rg->SetCaption("备份计划");
    for (const char* s : {"不备份", "每次系统退出时备份", "每周星期一备份", "每月一号备份"}) rg->Items()->Add(s);
    rg->SetItemIndex(1);
    auto* panel = Make<TPanel>(280, 10, 160, 50);
    panel->SetCaption("面板");
    auto* bevel = Make<TBevel>(280, 70, 160, 30);
    bevel->SetShape(bsFrame);
    auto* shape = Make<TShape>(280, 110, 70, 50);
    shape->SetShape(stRoundRect);
    shape->Brush()->SetColor(clSkyBlue);
    auto* circle = Make<TShape>(360, 110, 50, 50);
    circle->SetShape(stCircle);
    circle->Brush()->SetColor(clRed);
    auto* img = Make<TImage>(450, 10, 10, 10);
    TBitmap pic(64, 48);
    pic.Canvas()->Brush()->SetColor(clTeal);
    pic.Canvas()->FillRect(Rect(0, 0, 64, 48));
    pic.Canvas()->Brush()->SetColor(clYellow);
    pic.Canvas()->Ellipse(8, 8, 56, 40);
    img->SetAutoSize(true);
    img->Picture()->SetGraphic(&pic);
    auto* nb = Make<TNotebook>(280, 170, 200, 80);
    nb->Pages()->Clear();
    nb->Pages()->Add("第一页");
    nb->Pages()->Add("第二页");
    nb->SetPageIndex(1);
    auto* onPage = Make<TLabel>(10, 10, 10, 10, nb->Page(1));
    onPage->SetCaption("笔记本的第二页");
    nb->Page(1)->SetColor(clInfoBk);
    auto* side = Make<TPanel>(0, 0, 120, 10);
    side->SetAlign(alRight);
    side->SetCaption("右侧");
    auto* split = Make<TSplitter>(0, 0, 4, 10);
    split->SetAlign(alRight);
    split->SetColor(clGray);
    ShowForm();

    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/demo-std-controls.png"));
    // Pixels that are the point: the shapes' fills, the splitter, the image, the notebook page.
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(385, 135)), clRed);
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(315, 135)), ColorToRGB(clSkyBlue));
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(split->Left() + 1, 200)), clGray);
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(452, 12)), clTeal);
    EXPECT_EQ(GuiTest::PixelAt(Form, Point(482, 34)), clYellow);
    EXPECT_EQ(GuiTest::PixelAt(nb->Page(1), Point(190, 70)), ColorToRGB(clInfoBk));
    EXPECT_TRUE(rg->Buttons(1)->Checked());
}

TEST_F(DemoStdControls, ListsTreesTabsAndBarsWithChineseCaptions)
{
    Form->SetCaption("常用控件演示");
    Form->SetBounds(40, 40, 720, 600);
    auto images = std::make_unique<TImageList>(16, 16);
    for (TColor c : {clRed, clGreen, clBlue, clOlive}) {
        TBitmap b(16, 16);
        b.Canvas()->Brush()->SetColor(clFuchsia);
        b.Canvas()->FillRect(Rect(0, 0, 16, 16));
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Ellipse(1, 1, 15, 15);
        images->AddMasked(&b, clFuchsia);
    }
    auto* bar = Make<TToolBar>(0, 0, 200, 29);
    bar->SetImages(images.get());
    bar->SetFlat(true);
    bar->SetShowCaptions(true);
    bar->SetList(true);
    int n = 0;
    for (const char* cap : {"新建", "打开", "-", "保存", "打印"}) {
        auto* b = new TToolButton(Form);
        b->SetLeft(1000 + n);
        b->SetParent(bar);
        if (std::string(cap) == "-") {
            b->SetStyle(tbsDivider);
        } else {
            b->SetCaption(cap);
            b->SetImageIndex(n % 4);
        }
        if (std::string(cap) == "打印") b->SetStyle(tbsDropDown);
        ++n;
    }
    auto* status = Make<TStatusBar>(0, 0, 200, 19);
    status->Panels()->Add()->SetWidth(200);
    status->Panels()->Add()->SetWidth(150);
    status->Panels()->Items(0)->SetText("操作员：管理员");
    status->Panels()->Items(1)->SetText("恒岳驾校");
    auto* combo = Make<TComboBox>(10, 50, 150, 24);
    for (const char* s : {"学员", "员工", "车辆"}) combo->Items()->Add(s);
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    auto* edit = Make<TComboBox>(170, 50, 150, 24);
    edit->SetText("可输入的组合框");
    auto* list = Make<TListBox>(10, 72, 150, 90);
    for (const char* s : {"科目一", "科目二", "科目三"}) list->Items()->Add(s);
    list->SetItemIndex(1);
    auto* checks = Make<TCheckListBox>(170, 72, 150, 90);
    for (const char* s : {"身份证", "照片", "体检表"}) checks->Items()->Add(s);
    checks->SetChecked(0, true);
    checks->SetChecked(2, true);
    auto* tree = Make<TTreeView>(10, 170, 150, 140);
    tree->SetImages(images.get());
    TTreeNode* root = tree->Items()->Add(nullptr, "报表中心");
    root->SetImageIndex(0);
    for (const char* s : {"学员名册", "收费明细", "考试成绩"}) tree->Items()->AddChild(root, s)->SetImageIndex(1);
    root->Expand(true);
    auto* lv = Make<TListView>(170, 170, 300, 140);
    lv->SetViewStyle(vsReport);
    lv->Columns()->Add()->SetCaption("姓名");
    lv->Columns()->Add()->SetCaption("车型");
    lv->Columns()->Items(0)->SetWidth(120);
    for (const char* s : {"张三", "李四"}) {
        TListItem* it = lv->Items()->Add();
        it->SetCaption(s);
        it->SubItems()->Add("C1");
    }
    lv->SetItemIndex(0);
    auto* pages = Make<TPageControl>(480, 50, 220, 150);
    for (const char* s : {"基本信息", "缴费", "考试"}) {
        auto* sheet = new TTabSheet(Form);
        sheet->SetPageControl(pages);
        sheet->SetCaption(s);
    }
    auto* onPage = Make<TLabel>(10, 10, 10, 10, pages->Pages(0));
    onPage->SetCaption("第一页的内容");
    auto* tabs = Make<TTabControl>(480, 200, 220, 60);
    for (const char* s : {"全部", "在学", "结业"}) tabs->Tabs()->Add(s);
    auto* progress = Make<TProgressBar>(10, 320, 310, 18);
    progress->SetPosition(60);
    auto* upText = Make<TPanel>(330, 320, 50, 22);
    upText->SetBevelOuter(bvLowered);
    upText->SetColor(clWindow);
    auto* ud = Make<TUpDown>(0, 0, 17, 22);
    ud->SetMax(99);
    ud->SetAssociate(upText);
    ud->SetPosition(12);
    auto* dtp = Make<TDateTimePicker>(480, 270, 200, 24);
    dtp->SetDateTime(EncodeDate(2026, 12, 10));
    dtp->SetShowCheckbox(true);
    auto* cal = Make<TMonthCalendar>(10, 345, 320, 190);
    auto* simple = Make<TComboBox>(340, 345, 130, 120);
    simple->SetStyle(csSimple);
    for (const char* s : {"宋体", "黑体", "楷体", "仿宋"}) simple->Items()->Add(s);
    simple->SetItemIndex(1);
    cal->SetDate(EncodeDate(2026, 12, 10));
    ShowForm();

    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/demo-common-controls.png"));
    // Pixels that are the point: the tool bar's pictures, the status bar's face and grip.
    TToolButton* first = bar->Buttons(0);
    bool red = false;
    for (int x = first->Left(); x < first->Left() + first->Width(); ++x)
        red |= ColorToRGB(shot->Canvas()->Pixels(x, first->Top() + first->Height() / 2)) == clRed;
    EXPECT_TRUE(red);
    EXPECT_EQ(GuiTest::PixelAt(status, Point(210, 1)), ColorToRGB(clBtnFace));
    EXPECT_EQ(pages->ActivePage(), pages->Pages(0));
    EXPECT_TRUE(checks->Checked(2));
}

TEST_F(DemoStdControls, ValueListDirectoryPickerAndScrollBox)
{
    Form->SetCaption("数据导入向导");
    Form->SetBounds(40, 40, 640, 300);
    auto* ve = Make<TValueListEditor>(10, 10, 330, 150);
    ve->TitleCaptions()->Clear();
    ve->TitleCaptions()->Add("目标字段");
    ve->TitleCaptions()->Add("源字段");
    ve->SetColWidths(0, 150);
    ve->SetColWidths(1, 165);
    ve->Strings()->Add("姓名=姓名");
    ve->Strings()->Add("性别=");
    ve->Strings()->Add("身份证号=身份证号");
    auto* dp = Make<TDirectoryPicker>(350, 10, 270, 150);
    dp->SetDirectory("/tmp");
    auto* box = Make<TScrollBox>(10, 170, 330, 90);
    auto* inner = Make<TLabel>(10, 120, 10, 10, box);
    inner->SetCaption("滚动框里的标签");
    ShowForm();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/demo-more-controls.png"));
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(dp->Directory(), "/tmp");
}

// The standard controls' tests once more on a real X server: forms and their
// modal loops, the edits' key scripts, menus, actions, dialogs and every
// control, and what grids, docking and the overlay put on the screen.
TEST(DemoStdControlsUnderX, RunTheSameOnARealDisplay)
{
    std::string out;
    int rc = GuiTest::RunUnderX("DemoStdControls.*:ActionLinksTest.*:ButtonsTest.*:ListBoxTest.*:ComboTest.*:"
                                "CheckListTest.*:MoreTest.*:ComCtrlsTest.*:Themes.*:DialogsTest.*:EditTest.*:"
                                "Keys/EditScripts.*:MemoTest.*:FormsTest.*:MenuTest.*:EditMemoMenuDemo.*:"
                                "GridTest.*:GridEditTest.*:DockingTest.*:OverlayTest.*",
                                out);
    if (rc < 0) GTEST_SKIP() << "no X server to run on";
    EXPECT_EQ(rc, 0) << out;
}

} // namespace
