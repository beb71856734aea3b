// Makes the example workbooks of the imports, shipped beside the program:
//   qzmkxls <folder>
// writes cars.xls, employees.xls and students.xls there. Each has one
// sheet whose first row holds the display labels of the fields an import
// maps (so the wizard maps every column by itself) and a few rows of the
// kind a school keeps. Each file is written whole.
#include "Bizs.h"
#include "DB.h"
#include "DateUtils.h"
#include "Database.h"
#include "Exceptions.h"
#include "XlsWorkbook.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TExampleColumn {
    TField* Field;
    std::vector<Variant> Values;
};

Variant D(int y, int m, int d) { return Variant::FromDate(EncodeDate(y, m, d)); }

void Write(const std::string& file, const std::string& sheet, const std::vector<TExampleColumn>& columns)
{
    TXlsWorkbook book;
    book.SheetName = sheet;
    TXlsStyle title;
    title.Font.Bold = true;
    const int titleStyle = book.AddStyle(title);
    TXlsStyle date;
    date.NumberFormat = "yyyy-mm-dd";
    const int dateStyle = book.AddStyle(date);
    for (size_t c = 0; c < columns.size(); ++c) {
        book.SetText(0, int(c), columns[c].Field->DisplayLabel(), titleStyle);
        book.SetColumnWidth(int(c), 14);
        for (size_t r = 0; r < columns[c].Values.size(); ++r) {
            const Variant& v = columns[c].Values[r];
            if (v.IsNull()) continue;
            if (v.VType() == varDate)
                book.SetNumber(int(r) + 1, int(c), v.AsDate(), dateStyle);
            else if (VarIsNumeric(v))
                book.SetNumber(int(r) + 1, int(c), v.AsDouble());
            else
                book.SetText(int(r) + 1, int(c), VarToStr(v));
        }
    }
    book.SaveToFile(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qzmkxls <folder>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        Database::Initialize();
        {
            TCarSet c;
            Write(dir + "cars.xls", "车辆",
                  {{c.CarNoFld, {"粤A12345学", "粤A23456学", "粤A34567学"}},
                   {c.BrandFld, {"桑塔纳", "捷达", "东风"}},
                   {c.PartNoFld, {"SVW7180", "FV7160", "EQ1092"}},
                   {c.EnginoFld, {"E0012345", "E0023456", "E0034567"}},
                   {c.CartypeFld, {"小型汽车", "小型汽车", "大型货车"}},
                   {c.ManudateFld, {D(2005, 6, 1), D(2006, 3, 15), D(2004, 11, 20)}},
                   {c.BedNoFld, {"LSVAA123", "LFVBB234", "LGACC345"}},
                   {c.ColorFld, {"白", "红", "蓝"}},
                   {c.SeatsFld, {5, 5, 3}},
                   {c.WeightFld, {0.5, 0.5, 5}},
                   {c.NotesFld, {"", "教练车", ""}},
                   {c.BuydateFld, {D(2005, 8, 1), D(2006, 5, 10), D(2005, 1, 8)}},
                   {c.BuyFundFld, {128000, 112000, 96000}}});
            TEmployeeSet e;
            Write(dir + "employees.xls", "员工",
                  {{e.NameFld, {"张国强", "李晓梅", "王建华"}},
                   {e.DutyFld, {"教练员", "业务员", "教练员"}},
                   {e.SexFld, {"男", "女", "男"}},
                   {e.TelFld, {"13800138001", "13900139002", "020-87654321"}},
                   {e.BirthdayFld, {D(1970, 5, 12), D(1982, 9, 3), D(1975, 1, 28)}},
                   {e.AddrFld, {"广州市天河区", "广州市越秀区", "佛山市禅城区"}},
                   {e.NotesFld, {"", "", "C1 教练"}}});
            TStudentSet s;
            Write(dir + "students.xls", "学员",
                  {{s.NameFld, {"陈小明", "刘芳", "赵磊"}},
                   {s.SexFld, {"男", "女", "男"}},
                   {s.IdcodeFld, {"440101198801011234", "440102199002022345", "440103198512123456"}},
                   {s.LinkTelFld, {"13600136001", "13700137002", "13500135003"}},
                   {s.AddrFld, {"广州市海珠区", "广州市白云区", "广州市番禺区"}},
                   {s.NativeFld, {"广东", "湖南", "广西"}},
                   {s.NotesFld, {"", "周末班", ""}},
                   {s.SigndateFld, {D(2008, 3, 5), D(2008, 3, 6), D(2008, 3, 8)}},
                   {s.DrivetypeFld, {"C1", "C1", "B2"}},
                   {s.SalemanNameFld, {"李晓梅", "李晓梅", ""}}});
        }
        Database::Finalize();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qzmkxls: %s\n", e.what());
        return 1;
    }
    return 0;
}
