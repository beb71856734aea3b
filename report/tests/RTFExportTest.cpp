// The RTF export read back by LibreOffice: Chinese text, escaped braces and
// backslashes, merged cells once, sections per page.
#include "ExportTestSupport.h"
#include "GuiTesting.h"
#include "frxExportRTF.h"

#include <gtest/gtest.h>

using namespace exporttest;

TEST(RTFExport, LibreOfficeReadsTheTextBack)
{
    TScratch dir("rtf");
    TExportReport r;
    TfrxReportPage* p1 = r.AddPage();
    TfrxMemoView* title = r.AddMemo(p1, 0, 0, 200, 60, "学员{名单}\\2026");
    title->Font()->SetStyle(TfrxFont::Bold | TfrxFont::Italic | TfrxFont::Underline);
    title->Color = clYellow;
    title->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    r.AddMemo(p1, 200, 0, 100, 20, "一");
    r.AddMemo(p1, 200, 20, 100, 20, "二");
    r.AddMemo(p1, 200, 40, 100, 20, "三");
    r.AddMemo(p1, 0, 70, 300, 40, "first line\r\nsecond line");
    auto* shape = new TfrxShapeView(p1->Objects().front());
    shape->Shape = skEllipse;
    shape->Color = clBlue;
    shape->SetBounds(0, 120, 60, 40);
    TfrxReportPage* p2 = r.AddPage();
    r.AddMemo(p2, 0, 0, 300, 20, "第二页");
    r.Report->ReportOptions()->Name = "名单 {x}";
    TfrxRTFExport rtf;
    rtf.ShowDialog = false;
    rtf.FileName = dir.Dir + "list.rtf";
    ASSERT_TRUE(r.Report->Export(&rtf));
    const std::string doc = ReadFile(rtf.FileName);
    EXPECT_EQ(doc.rfind("{\\rtf1\\ansi\\ansicpg936", 0), 0u);
    EXPECT_NE(doc.find("\\fcharset134"), std::string::npos);
    EXPECT_NE(doc.find("\\pgwsxn11926\\pghsxn16867\\marglsxn567\\margrsxn567\\margtsxn567\\margbsxn567"),
              std::string::npos);
    EXPECT_NE(doc.find("{\\title \\u21517?\\u21333? \\{x\\}}"), std::string::npos);
    EXPECT_NE(doc.find("\\i\\b\\ul"), std::string::npos);
    EXPECT_NE(doc.find("\\clvmgf"), std::string::npos);
    EXPECT_NE(doc.find("\\pard\\sect"), std::string::npos);
    EXPECT_NE(doc.find("{\\pict\\wmetafile8"), std::string::npos);
    EXPECT_NE(doc.find("\r\n010009000003"), std::string::npos);

    RunTool("cd '" + dir.Dir + "' && HOME='" + dir.Dir + "' timeout 120 soffice --headless --convert-to " +
            "'txt:Text (encoded):UTF8' --outdir '" + dir.Dir + "' list.rtf >/dev/null 2>&1");
    const std::string text = ReadFile(dir.Dir + "list.txt");
    EXPECT_NE(text.find("学员{名单}\\2026"), std::string::npos) << text;
    EXPECT_NE(text.find("first line\nsecond line"), std::string::npos) << text;
    EXPECT_NE(text.find("第二页"), std::string::npos) << text;
    size_t count = 0;
    for (size_t at = text.find("学员"); at != std::string::npos; at = text.find("学员", at + 1)) ++count;
    EXPECT_EQ(count, 1u) << "a merged text appears once";
    GuiTest::KeepFile(rtf.FileName);
}

TEST(RTFExport, Escaping)
{
    EXPECT_EQ(frxExportRTF::EscapeText("a{b}\\c\r\nd"), "a\\{b\\}\\\\c\\line\r\nd");
    EXPECT_EQ(frxExportRTF::EscapeText("学"), "\\u23398?");
}
