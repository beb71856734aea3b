// A form with one of each standard control, Chinese captions throughout,
// written as a PNG for a person to look at, with a few pixels checked.
#include "Buttons.h"
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

} // namespace
