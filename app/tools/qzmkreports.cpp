// Makes the first layout of every report group for the built-in database,
// as an SQL script of rows for the table report:
//   qzmkreports <script.sql>
// A school that starts the program then finds a ready layout behind every
// print button. Each lists the window's rows (d0) under the school's name
// (the company variables of "u"), with column captions on every page, page
// numbers and, for the fee windows, sums; the windows that search by period
// say which period (d1). The statistics windows' item columns depend on the
// school's own items: their layouts make one column per item when they run.
// The script is written under a temporary name and renamed into place.
#include "Graphics.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxGraphicData.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TColumn {
    std::string Caption;
    std::string Text;     // the data cell's text (expressions in brackets)
    double Width;         // pixels
    frxClass::TfrxHAlign Align = frxClass::haLeft;
    std::string Sum;      // the footer's text, when the column is summed
    std::string Format;   // a date or number format of the cell
};

// Item columns the layout makes at run time, one per field "Item<id>" of d0.
struct TItems {
    double Width = 0;     // 0: none
    bool Summed = false;
    std::string Format;
};

struct TLayout {
    int Id;
    int Group;
    std::string Title;
    bool Landscape;
    std::string Period;   // a line under the title naming d1's period (empty: none)
    std::vector<TColumn> Columns;
    TItems Items;
    std::vector<TColumn> After;   // columns after the item columns
};

const double kRow = 20;
const std::string kDate = "yyyy-mm-dd";
const std::string kMoney = "#,##0.00";
const std::string kTick = "√,";

TfrxMemoView* Memo(TfrxComponent* parent, const std::string& name, double left, double top, double width,
                   double height, const std::string& text)
{
    auto* m = new TfrxMemoView(parent);
    m->SetName(name);
    m->SetBounds(left, top, width, height);
    m->SetText(text);
    m->Font()->SetName("宋体");
    m->Font()->SetSize(9);
    m->VAlign = frxClass::vaCenter;
    return m;
}

void Boxed(TfrxMemoView* m) { m->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}; }

// A number ("#,##0.00"), a date ("yyyy-mm-dd") or a yes/no ("√," is a tick
// for yes and nothing for no).
void Formatted(TfrxMemoView* m, const std::string& format)
{
    if (format.empty()) return;
    if (format == kTick)
        m->DisplayFormat()->Kind = fkBoolean;
    else if (format.find('#') != std::string::npos)
        m->DisplayFormat()->Kind = fkNumeric;
    else
        m->DisplayFormat()->Kind = fkDateTime;
    m->DisplayFormat()->FormatStr = format;
}

template <class B> B* Band(TfrxReportPage* page, const std::string& name, double top, double height)
{
    auto* b = new B(page);
    b->SetName(name);
    b->SetTop(top);
    b->SetHeight(height);
    return b;
}

// The script that adds a header, a cell and (summed) a footer memo for each
// item field of d0, copied from the hidden templates, from X on; the memos
// named in after (with their offsets) then follow the last item column.
std::string ItemScript(double start, double width, bool summed,
                       const std::vector<std::pair<std::string, double>>& after)
{
    std::string s =
        "var\r\n"
        "  Names: TStringList;\r\n"
        "  Data: TfrxDataSet;\r\n"
        "  I: Integer;\r\n"
        "  X: Extended;\r\n"
        "  Name: String;\r\n"
        "\r\n"
        "procedure AddCell(Template: TfrxMemoView; Band: TfrxBand; Left: Extended; Text: String);\r\n"
        "var\r\n"
        "  M: TfrxMemoView;\r\n"
        "begin\r\n"
        "  M := TfrxMemoView.Create(Band);\r\n"
        "  M.Assign(Template);\r\n"
        "  M.Name := '';\r\n"
        "  M.Left := Left;\r\n"
        "  M.Visible := True;\r\n"
        "  M.Text := Text;\r\n"
        "end;\r\n"
        "\r\n"
        "begin\r\n"
        "  Data := Report.GetDataset('d0');\r\n"
        "  Names := TStringList.Create;\r\n"
        "  Data.GetFieldList(Names);\r\n"
        "  X := " + FloatToStr(start) + ";\r\n"
        "  for I := 0 to Names.Count - 1 do\r\n"
        "  begin\r\n"
        "    Name := Names[I];\r\n"
        "    if Copy(Name, 1, 4) = 'Item' then\r\n"
        "    begin\r\n"
        "      AddCell(ItemHeader, PageHeader1, X, Data.DisplayLabel[Name]);\r\n"
        "      AddCell(ItemCell, MasterData1, X, '[d0.\"' + Name + '\"]');\r\n";
    if (summed)
        s += "      AddCell(ItemSum, Footer1, X, '[SUM(<d0.\"' + Name + '\">, MasterData1)]');\r\n";
    s += "      X := X + " + FloatToStr(width) + ";\r\n"
         "    end;\r\n"
         "  end;\r\n"
         "  Names.Free;\r\n";
    for (const auto& [name, offset] : after) s += "  " + name + ".Left := X + " + FloatToStr(offset) + ";\r\n";
    s += "end.\r\n";
    return s;
}

std::string Build(const TLayout& l)
{
    TfrxReport report(nullptr);
    report.Clear();
    // The data sets the layout names; the program puts its own behind the names.
    std::vector<std::unique_ptr<TfrxUserDataSet>> names;
    for (const char* n : {"d0", "d1", "u"}) {
        auto ds = std::make_unique<TfrxUserDataSet>(nullptr);
        ds->SetUserName(n);
        report.DataSets()->Add(ds.get());
        names.push_back(std::move(ds));
    }
    report.EngineOptions()->DoublePass = true;   // "共 n 页" needs the page count
    // An empty value prints as nothing (a date or a fee item never paid, not 0).
    report.EngineOptions()->ConvertNulls = false;
    report.ReportOptions()->Name = l.Title;
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    page->SetDefaults();
    if (l.Landscape) page->SetOrientation(frxEnums::poLandscape);
    const double width = (page->PaperWidth() - page->LeftMargin - page->RightMargin) * fr01cm;

    double top = 0;
    const double titleHeight = l.Period.empty() ? 68 : 88;
    auto* title = Band<TfrxReportTitle>(page, "ReportTitle1", top, titleHeight);
    TfrxMemoView* school = Memo(title, "SchoolName", 0, 0, width, 32, "[u.\"u_Company\"]");
    school->Font()->SetSize(15);
    school->Font()->SetStyle(TfrxFont::Bold);
    school->HAlign = frxClass::haCenter;
    TfrxMemoView* caption = Memo(title, "Title", 0, 34, width, 24, l.Title);
    caption->Font()->SetSize(12);
    caption->HAlign = frxClass::haCenter;
    if (!l.Period.empty()) {
        TfrxMemoView* period = Memo(title, "Period", 0, 60, width, 18, l.Period);
        period->HAlign = frxClass::haCenter;
        Formatted(period, kDate);
    }
    Memo(title, "Printed", 0, titleHeight - 18, width, 18, "制表: [u.\"u_Operator\"]    打印日期: [Date]")
        ->HAlign = frxClass::haRight;
    top += titleHeight + 4;

    auto* header = Band<TfrxPageHeader>(page, "PageHeader1", top, kRow);
    top += kRow + 4;
    auto* data = Band<TfrxMasterData>(page, "MasterData1", top, kRow);
    data->SetDataSetName("d0");
    top += kRow + 4;
    const bool summed = l.Items.Summed ||
                        [&] {
                            for (const auto& c : l.Columns)
                                if (!c.Sum.empty()) return true;
                            for (const auto& c : l.After)
                                if (!c.Sum.empty()) return true;
                            return false;
                        }();
    TfrxBand* footer = nullptr;
    if (summed) {
        footer = Band<TfrxFooter>(page, "Footer1", top, kRow);
        top += kRow + 4;
    }
    auto* pageFooter = Band<TfrxPageFooter>(page, "PageFooter1", top, kRow);
    Memo(pageFooter, "PageNo", 0, 2, width, 18, "第 [Page#] 页 / 共 [TotalPages#] 页")->HAlign = frxClass::haCenter;

    int n = 0;
    double x = 0;
    auto place = [&](const TColumn& c, double left) {
        ++n;
        TfrxMemoView* h = Memo(header, Format("Header%d", {n}), left, 0, c.Width, kRow, c.Caption);
        Boxed(h);
        h->HAlign = frxClass::haCenter;
        h->Font()->SetStyle(TfrxFont::Bold);
        h->Color = TColor(0xE0E0E0);
        TfrxMemoView* cell = Memo(data, Format("Cell%d", {n}), left, 0, c.Width, kRow, c.Text);
        Boxed(cell);
        cell->HAlign = c.Align;
        cell->WordWrap = false;
        Formatted(cell, c.Format);
        if (footer && !c.Sum.empty()) {
            TfrxMemoView* s = Memo(footer, Format("Sum%d", {n}), left, 0, c.Width, kRow, c.Sum);
            Boxed(s);
            s->HAlign = c.Align;
            Formatted(s, c.Format);
        }
    };
    for (const auto& c : l.Columns) {
        place(c, x);
        x += c.Width;
    }
    if (footer) {
        // "合计" under the first column.
        TfrxMemoView* total = Memo(footer, "Total", 0, 0, l.Columns.front().Width, kRow, "合计");
        Boxed(total);
        total->HAlign = frxClass::haCenter;
        total->Font()->SetStyle(TfrxFont::Bold);
    }
    if (l.Items.Width > 0) {
        // Hidden templates of the item columns; the script copies them.
        TColumn item{"", "", l.Items.Width, frxClass::haCenter, l.Items.Summed ? "0" : "", l.Items.Format};
        TfrxMemoView* h = Memo(header, "ItemHeader", x, 0, item.Width, kRow, "");
        Boxed(h);
        h->HAlign = frxClass::haCenter;
        h->Font()->SetStyle(TfrxFont::Bold);
        h->Color = TColor(0xE0E0E0);
        h->SetVisible(false);
        TfrxMemoView* cell = Memo(data, "ItemCell", x, 0, item.Width, kRow, "");
        Boxed(cell);
        cell->HAlign = frxClass::haCenter;
        cell->WordWrap = false;
        cell->HideZeros = l.Items.Summed;
        Formatted(cell, l.Items.Format);
        cell->SetVisible(false);
        if (footer) {
            TfrxMemoView* s = Memo(footer, "ItemSum", x, 0, item.Width, kRow, "");
            Boxed(s);
            s->HAlign = frxClass::haCenter;
            Formatted(s, l.Items.Format);
            s->SetVisible(false);
        }
    }
    // The columns after the items move along with them when they are made.
    std::vector<std::pair<std::string, double>> after;
    const double itemsStart = x;
    for (const auto& c : l.After) {
        place(c, x);
        for (const char* kind : {"Header", "Cell", "Sum"})
            if (report.FindObject(Format("%s%d", {kind, n}))) after.emplace_back(Format("%s%d", {kind, n}), x - itemsStart);
        x += c.Width;
    }
    if (l.Items.Width > 0) report.ScriptText()->SetText(ItemScript(itemsStart, l.Items.Width, l.Items.Summed, after));
    TMemoryStream stream;
    report.SaveToStream(&stream, true, false);
    report.Clear();
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::vector<TLayout> Layouts()
{
    using frxClass::haCenter;
    using frxClass::haRight;
    const TColumn name{"学员姓名", "[d0.\"StudentName\"]", 80};
    const TColumn sex{"性别", "[d0.\"Sex\"]", 36, haCenter};
    const TColumn drivetype{"驾照类型", "[d0.\"Drivetype\"]", 60, haCenter};
    const TColumn classname{"班级类别", "[d0.\"Classname\"]", 70};
    const TColumn tel{"联系电话", "[d0.\"LinkTel\"]", 96};
    const TColumn signdate{"报名日期", "[d0.\"Signdate\"]", 76, haCenter, "", kDate};
    return {
        {1, 1001, "退学学员记录表", false, "退学日期: [d1.\"Dropdate1\"] 至 [d1.\"Dropdate2\"]",
         {name, sex, drivetype, classname,
          {"退学日期", "[d0.\"Dropdate\"]", 76, haCenter, "", kDate},
          {"退学原因", "[d0.\"Reasons\"]", 160},
          {"退还费用", "[d0.\"Retfund\"]", 76, haRight, "[SUM(<d0.\"Retfund\">, MasterData1)]", kMoney},
          {"经办人", "[d0.\"Handman\"]", 64}},
         {}, {}},
        {2, 1002, "毕业学员名册", true, "领证日期: [d1.\"Grantdate1\"] 至 [d1.\"Grantdate2\"]",
         {name, sex, tel, classname,
          {"驾照类型", "[d0.\"Drivetype\"]", 60, haCenter},
          {"领证日期", "[d0.\"Grantdate\"]", 76, haCenter, "", kDate},
          {"有效起始日期", "[d0.\"Validate\"]", 86, haCenter, "", kDate},
          {"档案编号", "[d0.\"DocumentNo\"]", 110},
          {"领取日期", "[d0.\"Takedate\"]", 76, haCenter, "", kDate},
          {"经办人", "[d0.\"Handman\"]", 64},
          {"备注", "[d0.\"Notes\"]", 150}},
         {}, {}},
        {3, 1003, "收费明细表", false, "收费日期: [d1.\"Recdate1\"] 至 [d1.\"Recdate2\"]",
         {name, classname,
          {"收费日期", "[d0.\"Recdate\"]", 76, haCenter, "", kDate},
          {"收费项目", "[d0.\"RecItemName\"]", 90},
          {"方向", "[IIF(<d0.\"RecSign\"> < 0, '退款', '收款')]", 44, haCenter},
          {"金额", "[<d0.\"RecSign\"> * <d0.\"Recfund\">]", 84, haRight,
           "[SUM(<d0.\"RecSign\"> * <d0.\"Recfund\">, MasterData1)]", kMoney},
          {"收款人", "[d0.\"Treasurer\"]", 64},
          {"备注", "[d0.\"dlNote\"]", 206}},
         {}, {}},
        {4, 1004, "考试明细表", false, "考试日期: [d1.\"Examdate1\"] 至 [d1.\"Examdate2\"]",
         {name, sex, drivetype,
          {"科目", "[d0.\"ItemName\"]", 90},
          {"预约日期", "[d0.\"Appdate\"]", 76, haCenter, "", kDate},
          {"考试日期", "[d0.\"Examdate\"]", 76, haCenter, "", kDate},
          {"分数", "[d0.\"Point\"]", 44, haCenter},
          {"是否通过", "[IIF(<d0.\"IsPass\">, '通过', '')]", 60, haCenter},
          {"备注", "[d0.\"dlNote\"]", 172}},
         {}, {}},
        {5, 1005, "学员考试情况表", true, "报名日期: [d1.\"Signdate1\"] 至 [d1.\"Signdate2\"]",
         {name, sex, signdate, drivetype, classname, tel},
         {64, false, kTick}, {}},
        {6, 1006, "学员收费一览表", true, "收费日期: [d1.\"Recdate1\"] 至 [d1.\"Recdate2\"]",
         {name, sex, signdate, drivetype, classname},
         {72, true, kMoney},
         {{"小计", "[d0.\"Amount\"]", 84, haRight, "[SUM(<d0.\"Amount\">, MasterData1)]", kMoney}}},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <script.sql>\n", argv[0]);
        return 2;
    }
    try {
        frxClass::Initialize();
        std::string sql = "-- The first layout of every report group (made by qzmkreports).\n";
        for (const TLayout& l : Layouts())
            sql += Format("insert into report (Id, GrpId, Title, Fr3File) values (%d, %d, %s, X'%s');\n",
                          {l.Id, l.Group, Quoted(l.Title), Hex(Build(l))});
        const std::string target = argv[1];
        const std::string temp = target + ".tmp";
        FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f || std::fwrite(sql.data(), 1, sql.size(), f) != sql.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "%s: cannot write the script\n", temp.c_str());
            std::remove(temp.c_str());
            return 1;
        }
        if (std::rename(temp.c_str(), target.c_str()) != 0) {
            std::fprintf(stderr, "%s: cannot move the script into place\n", target.c_str());
            std::remove(temp.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qzmkreports: %s\n", e.what());
        return 1;
    }
    return 0;
}
