// The common dialogs through the host services: what each asks, and what
// the program gets back for OK and for Cancel.
#include "Dialogs.h"
#include "GuiTesting.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

namespace {

struct DialogsTest : ::testing::Test {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    std::unique_ptr<THostScope> Scope;
    void SetUp() override
    {
        GuiTest::Init();
        Scope = std::make_unique<THostScope>(Host);
    }
};

TEST_F(DialogsTest, SaveAddsTheDefaultExtensionToANameWithoutOne)
{
    TSaveDialog d;
    d.DefaultExt = "xls";
    d.Filter = "Excel 文件 (*.xls)|*.xls|所有文件 (*.*)|*.*";
    d.InitialDir = "/tmp";
    d.Options.Include(ofOverwritePrompt);
    Host->QueueSaveFile({"/tmp/学员名单"});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/学员名单.xls");
    Host->QueueSaveFile({"/tmp/v1.2/list.csv"});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/v1.2/list.csv");
    Host->QueueSaveFile({"/tmp/v1.2/list"});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/v1.2/list.xls");
    auto calls = Host->CallsOf(THostCallKind::SaveFile);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Request.Filter, d.Filter);
    EXPECT_EQ(calls[0].Request.InitialDir, "/tmp");
    EXPECT_TRUE(calls[0].Request.Options.Contains(ofOverwritePrompt));
}

TEST_F(DialogsTest, PictureDialogsOfferThePictureFormats)
{
    TOpenPictureDialog o;
    TSavePictureDialog s;
    for (const std::string& f : {o.Filter, s.Filter}) {
        EXPECT_NE(f.find("*.bmp"), std::string::npos) << f;
        EXPECT_NE(f.find("*.jpg"), std::string::npos) << f;
    }
    Host->QueueOpenFile({"/tmp/photo.jpg"});
    ASSERT_TRUE(o.Execute());
    EXPECT_EQ(o.FileName, "/tmp/photo.jpg");
    EXPECT_EQ(Host->CallsOf(THostCallKind::OpenFile).at(0).Request.Filter, o.Filter);
}

TEST_F(DialogsTest, FontDialogChangesTheFontOnlyOnOk)
{
    TFontDialog fd;
    fd.Font()->SetName("宋体");
    fd.Font()->SetSize(9);
    fd.Font()->SetColor(clRed);
    Host->QueueFontDialog([](TFontDialogData& d) {
        d.Name = "黑体";
        return false;
    });
    EXPECT_FALSE(fd.Execute());
    EXPECT_EQ(fd.Font()->Name(), "宋体");
    Host->QueueFontDialog([](TFontDialogData& d) {
        d.Name = "Courier New";
        d.Size = 10;
        d.Bold = true;
        d.Color = 0x00FF00;
        return true;
    });
    ASSERT_TRUE(fd.Execute());
    EXPECT_EQ(fd.Font()->Name(), "Courier New");
    EXPECT_EQ(fd.Font()->Size(), 10);
    EXPECT_TRUE(fd.Font()->Style().Contains(fsBold));
    EXPECT_EQ(ColorToRGB(fd.Font()->Color()), 0x00FF00u);
    auto asked = Host->CallsOf(THostCallKind::FontDialog);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Font.Name, "宋体");
    EXPECT_EQ(asked[0].Font.Color, ColorToRGB(clRed));
    // Only existing fonts, when asked; sizes within the limits.
    fd.Options.Include(fdForceFontExist);
    fd.Options.Include(fdLimitSize);
    fd.MinFontSize = 8;
    fd.MaxFontSize = 12;
    Host->QueueFontDialog([](TFontDialogData& d) {
        d.Name = "没有这种字体";
        return true;
    });
    EXPECT_FALSE(fd.Execute());
    EXPECT_EQ(fd.Font()->Name(), "Courier New");
    Host->QueueFontDialog([](TFontDialogData& d) {
        d.Name = "宋体";
        d.Size = 30;
        return d.ExistingOnly && d.MaxSize == 12;
    });
    ASSERT_TRUE(fd.Execute());
    EXPECT_EQ(fd.Font()->Size(), 12);
}

TEST_F(DialogsTest, ColourDialogKeepsTheCustomColours)
{
    TColorDialog cd;
    cd.Color = clYellow;
    cd.CustomColors()->Add("ColorA=FF0000");
    Host->QueueColorDialog([](TColorDialogData& d) {
        d.Color = 0x800000;
        d.CustomColors.push_back(0x123456);
        return true;
    });
    ASSERT_TRUE(cd.Execute());
    EXPECT_EQ(cd.Color, TColor(0x800000));
    EXPECT_EQ(cd.CustomColors()->CommaText(), "ColorA=FF0000,ColorB=123456");
    EXPECT_EQ(Host->CallsOf(THostCallKind::ColorDialog).at(0).Color.Color, ColorToRGB(clYellow));
    Host->QueueColorDialog([](TColorDialogData& d) {
        d.Color = 0;
        return false;
    });
    EXPECT_FALSE(cd.Execute());
    EXPECT_EQ(cd.Color, TColor(0x800000));
}

TEST_F(DialogsTest, FindAndReplaceSendEachRequestWhileTheyAreUp)
{
    TReplaceDialog rd;
    rd.FindText = "学员";
    rd.Options = TFindOptions{frDown, frHideWholeWord};
    std::vector<std::string> log;
    rd.OnFind = [&](TObject*) {
        log.push_back("find " + rd.FindText + (rd.Options.Contains(frMatchCase) ? " case" : ""));
    };
    rd.OnReplace = [&](TObject*) {
        log.push_back(std::string(rd.Options.Contains(frReplaceAll) ? "all " : "one ") + rd.FindText + ">" +
                      rd.ReplaceText);
    };
    int closed = 0;
    rd.OnClose = [&](TObject*) { ++closed; };
    TFindDialogData d;
    d.Replace = true;
    d.FindText = "张三";
    d.MatchCase = true;
    d.ReplaceText = "李四";
    Host->QueueFindRequests({{TFindRequest::FindNext, d}, {TFindRequest::Replace, d}, {TFindRequest::ReplaceAll, d}});
    EXPECT_TRUE(rd.Execute());
    EXPECT_TRUE(rd.Showing());
    EXPECT_EQ(log, (std::vector<std::string>{"find 张三 case", "one 张三>李四", "all 张三>李四"}));
    auto asked = Host->CallsOf(THostCallKind::FindDialog);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Find.FindText, "学员");
    EXPECT_TRUE(asked[0].Find.Replace);
    EXPECT_TRUE(asked[0].Find.HideWholeWord);
    rd.CloseDialog();
    EXPECT_FALSE(rd.Showing());
    EXPECT_FALSE(Host->FindDialogOpen());
    EXPECT_EQ(closed, 1);
    // The user closing it.
    TFindDialog fd;
    fd.OnClose = [&](TObject*) { ++closed; };
    Host->QueueFindRequests({{TFindRequest::Close, TFindDialogData{}}});
    EXPECT_TRUE(fd.Execute());
    EXPECT_FALSE(fd.Showing());
    EXPECT_EQ(closed, 2);
}

} // namespace
