// Layout loading speed: layouts of 10,000 and 100,000 text objects (bands of
// a hundred named text objects each) loaded into a new report, next to the
// time it takes to save the larger one. Loading grows in step with the
// number of objects: the larger loads within 15 times the smaller, and
// within 3 times its own saving.
//
// A 10,000-row list report (page header, a group header and footer with a
// sum, a master band with six text objects bound to fields, a page footer
// with "page N of total") prepared headless from the built-in database kind
// (an SQLite file read through the data-access layer), against the bare work:
// reading the same rows through the data set and formatting the same six
// values per row as text. Run both and compare: report / bare.
//
// The same report prepared and exported to PDF, against LibreOffice turning
// the same rows, as a CSV table, into a PDF.
#include "frxClass.h"
#include "frxDBSet.h"
#include "frxExportPDF.h"
#include "frxPreviewPages.h"

#include "ADODB.h"
#include "BenchFiles.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kPerBand = 100;

// The layout written as a layout file is, so that building it costs
// nothing that loading is measured against.
std::string Layout(int objects)
{
    std::string s = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<TfrxReport Name=\"\">\r\n"
                    "  <TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\" "
                    "PaperSize=\"9\">\r\n";
    int bands = (objects + kPerBand - 1) / kPerBand;
    int n = 0;
    for (int b = 1; b <= bands; ++b) {
        s += "    <TfrxMasterData Name=\"MasterData" + IntToStr(b) + "\" Height=\"18.9\" Left=\"0\" Top=\"" +
             IntToStr(b * 20) + "\" Width=\"718\" RowCount=\"1\">\r\n";
        for (int i = 0; i < kPerBand && n < objects; ++i) {
            ++n;
            s += "      <TfrxMemoView Name=\"Memo" + IntToStr(n) + "\" Left=\"" + IntToStr(i * 7) +
                 "\" Top=\"0\" Width=\"100\" Height=\"18.9\" Memo.Text=\"Text " + IntToStr(n) +
                 " [Line]\"/>\r\n";
        }
        s += "    </TfrxMasterData>\r\n";
    }
    s += "  </TfrxReportPage>\r\n</TfrxReport>\r\n";
    return s;
}

const std::string& CachedLayout(int objects)
{
    static std::map<int, std::string> cache;
    auto it = cache.find(objects);
    if (it == cache.end()) it = cache.emplace(objects, Layout(objects)).first;
    return it->second;
}

void BM_LoadLayout(benchmark::State& state)
{
    const std::string& text = CachedLayout(int(state.range(0)));
    for (auto _ : state) {
        auto report = std::make_unique<TfrxReport>(nullptr);
        TStringStream s(text);
        report->LoadFromStream(&s);
        if (report->AllObjects().size() < size_t(state.range(0))) state.SkipWithError("objects missing");
        state.PauseTiming();
        report.reset();
        state.ResumeTiming();
    }
    state.counters["objects"] = double(state.range(0));
}

void BM_SaveLayout(benchmark::State& state)
{
    const std::string& text = CachedLayout(int(state.range(0)));
    TfrxReport report(nullptr);
    TStringStream in(text);
    report.LoadFromStream(&in);
    for (auto _ : state) {
        TMemoryStream out;
        report.SaveToStream(&out);
        benchmark::DoNotOptimize(out.Size());
    }
    state.counters["objects"] = double(state.range(0));
}

}  // namespace

BENCHMARK(BM_LoadLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

namespace prepare {

constexpr int kRows = 10000;

const std::string& Database()
{
    static std::string file;
    if (!file.empty()) return file;
    file = BenchFiles::ScratchDir() + "/school.mdb";
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db,
                 "pragma synchronous=off; begin;"
                 "create table students(Id integer primary key, Name varchar(40), Class varchar(20), "
                 "Phone varchar(20), Fee float, Enrolled datetime);",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "insert into students values (?, ?, ?, ?, ?, ?)", -1, &st, nullptr);
    const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    for (int i = 1; i <= kRows; ++i) {
        std::string name = std::string(surnames[i % 10]) + "学员" + std::to_string(i);
        std::string cls = "班级" + std::to_string(i / 250);
        std::string phone = "1380000" + std::to_string(1000 + i % 9000);
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, cls.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, phone.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 5, 1000 + i % 37);
        sqlite3_bind_text(st, 6, "2026-03-01 08:30:00", -1, SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
}

const char* const kQuery = "select Id, Name, Class, Phone, Fee, Enrolled from students order by Class, Id";

// The built-in kind's connection and the students query over it.
struct TStudents {
    TADOConnection Conn;
    TADOQuery Query;
    TStudents()
    {
        Conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Database() +
                                 ";Persist Security Info=True");
        Conn.Open();
        Query.SetConnection(&Conn);
        Query.SQL()->SetText(kQuery);
        Query.Open();
    }
};

std::unique_ptr<TStudents> OpenStudents() { return std::make_unique<TStudents>(); }

TfrxMemoView* Memo(TfrxComponent* band, double left, double width, const std::string& text)
{
    auto* m = new TfrxMemoView(band);
    m->SetBounds(left, 0, width, 18);
    m->SetText(text);
    return m;
}

// The list report over the students: page header, group with a sum, six
// fields a row, page footer.
void BuildListReport(TfrxReport& report, TfrxDBDataset& ds)
{
    report.EngineOptions()->SilentMode = true;
    report.DataSets()->Add(&ds);
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    page->SetDefaults();
    auto* ph = new TfrxPageHeader(page);
    ph->SetName("PageHeader1");
    ph->SetBounds(0, 0, 0, 20);
    Memo(ph, 0, 300, "学员名单");
    auto* gh = new TfrxGroupHeader(page);
    gh->SetName("GroupHeader1");
    gh->SetBounds(0, 30, 0, 20);
    gh->Condition = "s.\"Class\"";
    Memo(gh, 0, 200, "[s.\"Class\"]");
    auto* md = new TfrxMasterData(page);
    md->SetName("MasterData1");
    md->SetBounds(0, 60, 0, 20);
    md->SetDataSet(&ds);
    const char* fields[] = {"Id", "Name", "Class", "Phone", "Fee", "Enrolled"};
    for (int i = 0; i < 6; ++i) {
        TfrxMemoView* m = Memo(md, i * 110, 105, "");
        m->SetDataSet(&ds);
        m->DataField = fields[i];
    }
    auto* gf = new TfrxGroupFooter(page);
    gf->SetName("GroupFooter1");
    gf->SetBounds(0, 90, 0, 20);
    Memo(gf, 0, 300, "合计 [SUM(<s.\"Fee\">)]");
    auto* pf = new TfrxPageFooter(page);
    pf->SetName("PageFooter1");
    pf->SetBounds(0, 200, 0, 20);
    Memo(pf, 0, 300, "第 [Page#] 页 共 [TotalPages#] 页");
}

void BM_ReportPrepare(benchmark::State& state)
{
    auto q = OpenStudents();
    TfrxReport report;
    TfrxDBDataset ds(nullptr);
    ds.SetName("s");
    ds.SetDataSet(&q->Query);
    BuildListReport(report, ds);
    int pages = 0;
    for (auto _ : state) {
        if (!report.PrepareReport()) {
            state.SkipWithError(report.Errors()->Text().c_str());
            return;
        }
        pages = report.PreviewPages()->Count();
    }
    state.counters["pages"] = pages;
    state.counters["rows"] = kRows;
}

void BM_BareWork(benchmark::State& state)
{
    auto q = OpenStudents();
    const char* fields[] = {"Id", "Name", "Class", "Phone", "Fee", "Enrolled"};
    size_t total = 0;
    for (auto _ : state) {
        TADOQuery& rows = q->Query;
        rows.First();
        while (!rows.Eof()) {
            for (const char* f : fields) {
                std::string text = rows.FieldByName(f)->DisplayText();
                total += text.size();
            }
            rows.Next();
        }
    }
    benchmark::DoNotOptimize(total);
    state.counters["rows"] = kRows;
}

}  // namespace prepare

BENCHMARK(prepare::BM_ReportPrepare)->Unit(benchmark::kMillisecond);
BENCHMARK(prepare::BM_BareWork)->Unit(benchmark::kMillisecond);

// The same list report prepared and exported to PDF, against the same rows
// as a CSV table converted to PDF by LibreOffice (headless) in the same run.
// Compare: export / LibreOffice; the target is at most one half.
namespace exportpdf {

void BM_ReportPrepareAndExportPDF(benchmark::State& state)
{
    auto q = prepare::OpenStudents();
    TfrxReport report;
    TfrxDBDataset ds(nullptr);
    ds.SetName("s");
    ds.SetDataSet(&q->Query);
    prepare::BuildListReport(report, ds);
    const std::string file = GetTempDir() + "qz_bench_list_" + std::to_string(getpid()) + ".pdf";
    for (auto _ : state) {
        TfrxPDFExport pdf;
        pdf.ShowDialog = false;
        pdf.FileName = file;
        if (!report.PrepareReport() || !report.Export(&pdf)) {
            state.SkipWithError("export failed");
            return;
        }
    }
    state.counters["pages"] = report.PreviewPages()->Count();
    std::remove(file.c_str());
}

void BM_LibreOfficeCsvToPDF(benchmark::State& state)
{
    auto q = prepare::OpenStudents();
    const std::string dir = GetTempDir() + "qz_bench_csv_" + std::to_string(getpid()) + "/";
    std::string csv;
    const char* fields[] = {"Id", "Name", "Class", "Phone", "Fee", "Enrolled"};
    for (TADOQuery& rows = q->Query; !rows.Eof(); rows.Next()) {
        for (int i = 0; i < 6; ++i) csv += (i ? "," : "") + rows.FieldByName(fields[i])->DisplayText();
        csv += "\n";
    }
    std::system(("mkdir -p '" + dir + "'").c_str());
    SaveFileWhole(dir + "list.csv", csv);
    const std::string cmd = "cd '" + dir + "' && HOME='" + dir + "' soffice --headless --convert-to pdf list.csv " +
                            ">/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("LibreOffice is not installed");
            return;
        }
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace exportpdf

BENCHMARK(exportpdf::BM_ReportPrepareAndExportPDF)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(exportpdf::BM_LibreOfficeCsvToPDF)->Unit(benchmark::kMillisecond)->Iterations(3);
