#include "EngineFixture.h"

#include "HostServices.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace enginetest {

std::unique_ptr<TDataSet> MakeStudents(const std::vector<std::tuple<int, std::string, std::string, double>>& rows)
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 40);
    ds->FieldDefs()->Add("Class", ftString, 10);
    ds->FieldDefs()->Add("Fee", ftFloat);
    ds->CreateDataSet();
    for (auto& [id, name, cls, fee] : rows) {
        ds->Append();
        ds->FieldByName("Id")->SetAsInteger(id);
        ds->FieldByName("Name")->SetAsString(name);
        ds->FieldByName("Class")->SetAsString(cls);
        ds->FieldByName("Fee")->SetAsFloat(fee);
        ds->Post();
    }
    ds->First();
    return ds;
}

std::unique_ptr<TDataSet> NumberedStudents(int n)
{
    std::vector<std::tuple<int, std::string, std::string, double>> rows;
    for (int i = 1; i <= n; ++i) rows.emplace_back(i, "学员" + std::to_string(i), "A", i);
    return MakeStudents(rows);
}

std::unique_ptr<TDataSet> SixStudents()
{
    return MakeStudents({{1, "王五", "A", 100}, {2, "李四", "A", 150}, {3, "张三", "A", 50},
                         {4, "Alice", "B", 200}, {5, "Bob", "B", 300}, {6, "赵六", "C", 80}});
}

TReportFixture::TReportFixture() : Report(std::make_unique<TfrxReport>())
{
    Report->EngineOptions()->SilentMode = true;
    Page = AddPage();
}

TReportFixture::~TReportFixture()
{
    Report.reset();
    Sets.clear();
}

TfrxReportPage* TReportFixture::AddPage()
{
    auto* p = new TfrxReportPage(Report.get());
    p->SetName("Page" + IntToStr(Report->PagesCount()));
    p->SetDefaults();
    return p;
}

TfrxDBDataset* TReportFixture::AddDataSet(TDataSet* ds, const std::string& name)
{
    auto set = std::make_unique<TfrxDBDataset>(nullptr);
    set->SetName(name);
    set->SetDataSet(ds);
    Report->DataSets()->Add(set.get());
    Sets.push_back(std::move(set));
    return Sets.back().get();
}

TfrxMemoView* TReportFixture::AddMemo(TfrxComponent* band, const std::string& name, double left, double top,
                                      double width, double height, const std::string& text)
{
    auto* m = new TfrxMemoView(band);
    m->SetName(name);
    m->SetBounds(left, top, width, height);
    m->SetText(text);
    return m;
}

TfrxPreviewPages* TReportFixture::Pages() const
{
    return static_cast<TfrxPreviewPages*>(Report->PreviewPages());
}

namespace {
std::string Num(double v)
{
    double r = std::round(v * 100) / 100;
    if (r == 0) r = 0;
    std::ostringstream s;
    s << r;
    return s.str();
}
}

std::string TReportFixture::Dump()
{
    std::string r;
    TfrxPreviewPages* pages = Pages();
    for (int i = 0; i < pages->Count(); ++i) {
        TfrxReportPage* p = pages->GetPage(i);
        r += "page " + IntToStr(i + 1) + "\n";
        std::function<void(TfrxComponent*, int)> walk = [&](TfrxComponent* c, int depth) {
            r += std::string(size_t(depth) * 2, ' ') + c->ClassName().substr(4) + " " + c->Name() + " " +
                 Num(c->Left()) + "," + Num(c->Top()) + " " + Num(c->Width()) + "x" + Num(c->Height());
            if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) {
                m->TotalPagesValue = pages->Count();   // as drawing and export tell it
                std::string t = m->GetComponentText();
                if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
                for (char& ch : t)
                    if (ch == '\r') ch = '|';
                t.erase(std::remove(t.begin(), t.end(), '\n'), t.end());
                r += " \"" + t + "\"";
            }
            r += "\n";
            for (TfrxComponent* k : c->Objects()) walk(k, depth + 1);
        };
        for (TfrxComponent* c : p->Objects()) walk(c, 1);
    }
    return r;
}

std::string Golden(const std::string& name, const std::string& actual)
{
    std::string path = std::string(QZ_TEST_DATA_DIR) + "/engine/" + name + ".txt";
    if (std::getenv("QZ_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return actual;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace enginetest
