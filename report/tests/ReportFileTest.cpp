// Layout files: a report built in code saves, loads and saves again byte
// for byte; malformed files raise and leave the report as it was; the
// password; external XML tools accept the files.
#include "frxClass.h"
#include "frxVariables.h"
#include "frxXML.h"

#include "HostServices.h"
#include "Streams.h"
#include "StringLists.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

std::string Bytes(TMemoryStream& m)
{
    std::string s(size_t(m.Size()), '\0');
    m.SetPosition(0);
    if (!s.empty()) m.ReadBuffer(s.data(), int(s.size()));
    return s;
}

std::string SaveText(TfrxReport& r)
{
    TMemoryStream m;
    r.SaveToStream(&m);
    return Bytes(m);
}

void LoadText(TfrxReport& r, const std::string& bytes)
{
    TStringStream s(bytes);
    r.LoadFromStream(&s);
}

// A tiny 2 x 1 bitmap file.
std::string TinyBmp()
{
    std::string b = {'B', 'M'};
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF); };
    auto u16 = [&](uint16_t v) { b += char(v & 0xFF); b += char(v >> 8); };
    u32(62); u32(0); u32(54);
    u32(40); u32(2); u32(1); u16(1); u16(24); u32(0); u32(8); u32(2835); u32(2835); u32(0); u32(0);
    b += std::string("\x00\x00\xff\xff\xff\xff\x00\x00", 8);
    return b;
}

std::string TinyJpeg()
{
    // SOI, a start-of-frame giving 3 x 5 pixels, EOI: enough to be recognised and sized.
    return std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x05\x00\x03\x01\x01\x11\x00\xFF\xD9", 17);
}

struct Fixture {
    std::unique_ptr<TComponent> Glue = std::make_unique<TComponent>(nullptr);
    TfrxReport* Report = new TfrxReport(Glue.get());
    TfrxUserDataSet* Vars = new TfrxUserDataSet(Glue.get());
    TfrxUserDataSet* D0 = new TfrxUserDataSet(Glue.get());

    Fixture()
    {
        Vars->SetName("u");
        D0->SetName("d0");
        D0->Fields()->SetStrings({"Name", "Fee"});
        Report->DataSets()->Add(Vars);
        Report->DataSets()->Add(D0);
    }

    // Pages, every band kind, memos, pictures, shapes, lines, a subreport,
    // styles, variables, data-set links and a script.
    void Build()
    {
        TfrxReport& r = *Report;
        r.ReportOptions()->Name = "收费明细";
        r.ReportOptions()->Author = "Hengyue \"QA\" <test> & co";
        r.ReportOptions()->CreateDate = 46000.5;
        r.ReportOptions()->LastChange = 46001.25;
        r.ReportOptions()->Description()->SetStrings({"第一行", "second line"});
        r.ReportOptions()->Picture()->SetData(TinyJpeg());
        r.EngineOptions()->DoublePass = true;
        r.ScriptText()->SetStrings({"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin",
                                    "  Set('x', 1);", "end;", "", "begin", "end."});
        auto* style = r.Styles()->Add();
        style->SetName("标题");
        style->Color = 0xEEEEEE;
        style->Font()->SetName("宋体");
        style->Font()->SetStyle(TfrxFont::Bold);
        style->Frame()->Typ = TfrxFrameTypes{ftTop, ftBottom};
        r.Variables()->SetVariables(" 收费", Null());
        r.Variables()->SetVariables("Total", Variant("1+2"));
        r.Variables()->SetVariables("School", Variant("'恒岳'"));

        auto* page = new TfrxReportPage(&r);
        page->SetName("Page1");
        page->SetDefaults();
        page->SetColumns(2);
        page->BackPicture()->SetData(TinyBmp());
        page->HGuides()->SetStrings({"10", "20.5"});
        page->OnBeforePrint = "Page1OnBeforePrint";

        const TClass kinds[] = {
            TfrxReportTitle::StaticClass(),  TfrxReportSummary::StaticClass(), TfrxPageHeader::StaticClass(),
            TfrxPageFooter::StaticClass(),   TfrxHeader::StaticClass(),        TfrxFooter::StaticClass(),
            TfrxMasterData::StaticClass(),   TfrxDetailData::StaticClass(),    TfrxSubdetailData::StaticClass(),
            TfrxDataBand4::StaticClass(),    TfrxDataBand5::StaticClass(),     TfrxDataBand6::StaticClass(),
            TfrxGroupHeader::StaticClass(),  TfrxGroupFooter::StaticClass(),   TfrxChild::StaticClass(),
            TfrxColumnHeader::StaticClass(), TfrxColumnFooter::StaticClass(),  TfrxOverlay::StaticClass()};
        double top = 0;
        for (TClass k : kinds) {
            auto* b = static_cast<TfrxBand*>(k->Create(page));
            b->MakeUniqueName();
            b->SetTop(top);
            b->SetHeight(22.67718);
            top += 30;
        }
        auto* master = static_cast<TfrxMasterData*>(page->FindBand(TfrxMasterData::StaticClass()));
        master->SetDataSet(D0);
        master->SetRowCount(3);
        auto* child = static_cast<TfrxChild*>(page->FindBand(TfrxChild::StaticClass()));
        master->SetChild(child);
        auto* group = static_cast<TfrxGroupHeader*>(page->FindBand(TfrxGroupHeader::StaticClass()));
        group->Condition = "d0.\"Name\"";

        auto* memo = new TfrxMemoView(master);
        memo->SetName("Memo1");
        memo->SetBounds(10, 0, 120.5, 18.89765);
        memo->SetText("姓名: [d0.\"Name\"]\r\n合计 <b>[Total]</b> & \"more\"");
        memo->OnBeforePrint = "Memo1OnBeforePrint";
        memo->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight};
        memo->Frame()->Width = 0.5;
        memo->HAlign = haCenter;
        memo->DisplayFormat()->Kind = fkNumeric;
        memo->DisplayFormat()->FormatStr = "%2.2f";
        memo->Highlight()->Condition = "Value > 100";
        memo->SetStyle("标题");
        auto* data = new TfrxMemoView(master);
        data->SetName("Memo2");
        data->SetBounds(140, 0, 80, 18.9);
        data->SetDataSet(D0);
        data->DataField = "Fee";
        data->SetParentFont(true);
        memo->SetFlowTo(data);
        auto* sys = new TfrxSysMemoView(page->FindBand(TfrxPageFooter::StaticClass()));
        sys->SetName("SysMemo1");
        sys->SetText("[Page#]");
        auto* pic = new TfrxPictureView(page->FindBand(TfrxReportTitle::StaticClass()));
        pic->SetName("Picture1");
        pic->Picture()->SetData(TinyBmp());
        pic->SetBounds(0, 0, 50, 50);
        auto* shape = static_cast<TfrxShapeView*>(
            TfrxComponent::CreateDesigned(TfrxShapeView::StaticClass(), page->FindBand(TfrxHeader::StaticClass()),
                                          int(skEllipse)));
        shape->SetName("Shape1");
        shape->BrushStyle = 2;
        auto* line = new TfrxLineView(page->FindBand(TfrxFooter::StaticClass()));
        line->SetName("Line1");
        line->SetBounds(0, 0, 300, 0);
        line->Frame()->Style = fsDouble;

        auto* page2 = new TfrxReportPage(&r);
        page2->SetName("Page2");
        page2->SetOrientation(1);
        auto* sub = new TfrxSubreport(page->FindBand(TfrxReportSummary::StaticClass()));
        sub->SetName("Subreport1");
        sub->SetSubPage(page2);
        auto* dlg = new TfrxDialogPage(&r);
        dlg->SetName("DialogPage1");
        dlg->Caption = "选择日期";
        r.ReportOptions()->Password = "secret";
    }
};

TEST(ReportFile, BuiltLayoutRoundTripsByteForByte)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    Fixture f;
    f.Build();
    std::string first = SaveText(*f.Report);
    if (const char* dump = std::getenv("QZ_DUMP_LAYOUT")) { std::ofstream(dump, std::ios::binary) << first; }
    EXPECT_EQ(first.compare(0, 38, "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n"), 0) << first.substr(0, 60);

    Fixture g;
    host->QueueInput(true, "secret");
    LoadText(*g.Report, first);
    EXPECT_EQ(g.Report->Errors()->Count(), 0) << g.Report->Errors()->Text();
    std::string second = SaveText(*g.Report);
    EXPECT_EQ(first, second);

    // The loaded model holds what was built.
    TfrxReport& r = *g.Report;
    ASSERT_EQ(r.PagesCount(), 3);
    EXPECT_EQ(r.ReportOptions()->Password, "secret");
    EXPECT_EQ(r.ReportOptions()->Name, "收费明细");
    auto* memo = DynamicCast<TfrxMemoView>(r.FindObject("memo1"));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->Text(), "姓名: [d0.\"Name\"]\r\n合计 <b>[Total]</b> & \"more\"\r\n");
    EXPECT_EQ(memo->FlowTo(), r.FindObject("Memo2"));
    EXPECT_EQ(memo->Font()->Name(), "宋体");
    auto* master = DynamicCast<TfrxDataBand>(r.FindObject("MasterData1"));
    ASSERT_TRUE(master);
    EXPECT_EQ(master->DataSet(), g.D0);
    EXPECT_EQ(master->Child(), r.FindObject("Child1"));
    EXPECT_EQ(master->RowCount(), 3);
    auto* pic = DynamicCast<TfrxPictureView>(r.FindObject("Picture1"));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->Picture()->Kind(), gkBitmap);
    EXPECT_EQ(pic->Picture()->Data(), TinyBmp());
    EXPECT_EQ(r.ReportOptions()->Picture()->Kind(), gkJPEG);
    EXPECT_EQ(r.Pages(0)->BackPicture()->Width(), 2);
    auto* sub = DynamicCast<TfrxSubreport>(r.FindObject("Subreport1"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->SubPage(), r.Pages(1));
    EXPECT_EQ(r.DataSets()->Count(), 2);
    EXPECT_EQ(r.DataSets()->Items(1)->DataSet(), g.D0);
    EXPECT_EQ(VarToStr(r.Variables()->Variables("Total")), "1+2");
    ASSERT_EQ(r.Styles()->Count(), 1);
    EXPECT_EQ(r.Styles()->Items(0)->Font()->Style(), TfrxFont::Bold);
    EXPECT_TRUE(r.EngineOptions()->DoublePass);
}

}  // namespace
