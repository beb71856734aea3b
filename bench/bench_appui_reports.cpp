// The report centre and the statistics pivots over a school of 10,000
// students with 8 fee items and 50,000 receipts in a database file of the
// built-in engine (the built-in database's layouts included).
//
// The fee pivot is measured against the sqlite3 shell running one group-by
// statement that computes the same sums (per student and fee item): target
// at most 3 times. The report centre is
// measured from ShowReports to the receipt layout's first previewed page
// (the list dialog's "预览" pressed as soon as it shows) against preparing
// the same layout over the same rows without the centre (the layout read
// from its file into a report with one data-set link): target at most 1.2
// times. The counters "ratio" give the quotients of each pair, measured in
// turn in one run.
#include "Bizs.h"
#include "Database.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Objs.h"
#include "Reporter.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Tots.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "frxPreviewPages.h"
#include "qzProj.h"
#include "qzRep.h"
#include "qzStartup.h"

#include "BenchApp.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr int kStudents = 10000;
constexpr int kItems = 8;
constexpr int kReceipts = 50000;

void Check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// The folder of the run's database; removed when the run ends.
struct TScratch {
    std::string Dir;
    TScratch()
    {
        char tmpl[] = "/tmp/qzbenchrepXXXXXX";
        Dir = mkdtemp(tmpl);
    }
    ~TScratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

TScratch& Scratch()
{
    static TScratch s;
    return s;
}

const std::string& File() { static std::string f = Scratch().Dir + "/school.mdb"; return f; }

// The built-in database with its layouts, filled with the school.
void MakeSchool()
{
    std::filesystem::copy_file(QZ_BUILTIN_DB, File(), std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    Check(sqlite3_open(File().c_str(), &db), db);
    Check(sqlite3_exec(db, "pragma synchronous=off; begin; insert into Company (Id, CompanyName) values (1, '恒岳驾校');",
                       nullptr, nullptr, nullptr), db);
    const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "insert into recitems (Id, Name) values (?, ?)", -1, &st, nullptr), db);
    for (int i = 1; i <= kItems; ++i) {
        sqlite3_bind_int(st, 1, i);
        const std::string name = "费用" + std::to_string(i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_prepare_v2(db, "insert into students (Id, Name, Sex, LinkTel, Signdate, Drivetype) values "
                                 "(?, ?, '男', '13900000000', '2008-03-01', 'C1')", -1, &st, nullptr), db);
    for (int i = 1; i <= kStudents; ++i) {
        sqlite3_bind_int(st, 1, i);
        const std::string name = std::string(surnames[i % 10]) + "学员" + std::to_string(i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_exec(db, "insert into classes (StudentId, Classname, TeacherId) select Id, '普通班', 1 from students",
                       nullptr, nullptr, nullptr), db);
    Check(sqlite3_prepare_v2(db, "insert into receipts (Id, StudentId, Recdate, RecItemId, RecSign, Recfund, Treasurer) "
                                 "values (?, ?, '2008-03-05', ?, ?, ?, '张会计')", -1, &st, nullptr), db);
    for (int i = 1; i <= kReceipts; ++i) {
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_int(st, 2, 1 + (i * 7919) % kStudents);
        sqlite3_bind_int(st, 3, 1 + i % kItems);
        sqlite3_bind_int(st, 4, i % 10 == 0 ? -1 : 1);
        sqlite3_bind_double(st, 5, 100 + i % 900);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

void StartUp()
{
    if (BenchApp::Started()) return;
    BenchApp::StartUp(File(), MakeSchool);
    GCompany->Load();
}

using Clock = std::chrono::steady_clock;

// ---- the fee pivot against the sqlite3 shell -----------------------------------------------------

// The net sums per student and fee item: the least work that gives the
// pivot's numbers.
const char* const kShellSums =
    "select StudentId, RecItemId, sum(RecSign*Recfund) from receipts group by StudentId, RecItemId;";

void ShellSums(benchmark::State& state)
{
    const std::string cmd = "sqlite3 '" + File() + "' '" + kShellSums + "' > /dev/null";
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("the sqlite3 shell failed");
}

void FeePivot(benchmark::State& state, TFareTotal& pivot)
{
    pivot.Refresh();
    if (pivot.DataSet()->RecordCount() != kStudents) state.SkipWithError("the pivot lost students");
}

void BM_FeePivot(benchmark::State& state)
{
    StartUp();
    TFareTotal pivot;
    for (auto _ : state) FeePivot(state, pivot);
}
BENCHMARK(BM_FeePivot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_FeeSumsInTheShell(benchmark::State& state)
{
    StartUp();
    for (auto _ : state) ShellSums(state);
}
BENCHMARK(BM_FeeSumsInTheShell)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_FeePivotRatio(benchmark::State& state)
{
    StartUp();
    TFareTotal pivot;
    Clock::duration ours{}, peer{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        FeePivot(state, pivot);
        auto t1 = Clock::now();
        ShellSums(state);
        auto t2 = Clock::now();
        ours += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(ours.count()) / double(peer.count());
}
BENCHMARK(BM_FeePivotRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// ---- the report centre against preparing the layout alone -----------------------------------------

int ReceiptLayoutId()
{
    return GDatabase->ReadValue("select Id from report where GrpId=1003").AsInteger();
}

// The receipt layout's file, written once from its row.
const std::string& ReceiptLayoutFile()
{
    static std::string file;
    if (!file.empty()) return file;
    file = Scratch().Dir + "/receipts.fr3";
    TRep rep;
    rep.LoadReport(ReceiptLayoutId());
    rep.Report()->SaveToFile(file);
    return file;
}

int PageCount(TfrxReport* r)
{
    return r->PreviewPages() ? r->PreviewPages()->Count() : 0;
}

// ShowReports with the list dialog's "预览" pressed at once; the preview
// builds the pages and shows the first.
void CentreToFirstPage(benchmark::State& state, TReceiptSet& receipts)
{
    int pages = 0;
    frxClass::PreviewRunner = [&](TfrxReport* r) {
        r->PrepareForPreview();
        pages = PageCount(r);
    };
    GuiTest::Later([] {
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            if (auto* f = dynamic_cast<TReporterFrm*>(Screen->Forms(i))) {
                f->Button4Click(nullptr);
                return;
            }
    });
    TProjRep::ShowReports({receipts.DataSet(), receipts.Where()->DataSet()}, qzRep::GroupReceipts);
    frxClass::PreviewRunner = nullptr;
    if (pages == 0) state.SkipWithError("nothing was previewed");
}

void PrepareAlone(benchmark::State& state, TReceiptSet& receipts)
{
    TfrxReport report(nullptr);
    report.EngineOptions()->SilentMode = true;
    TfrxDBDataset d0(nullptr), d1(nullptr);
    d0.SetName("d0");
    d0.SetDataSet(receipts.DataSet());
    d1.SetName("d1");
    d1.SetDataSet(receipts.Where()->DataSet());
    TfrxUserDataSet u(nullptr);
    u.SetUserName("u");
    report.LoadFromFile(ReceiptLayoutFile(), true);
    if (!report.PrepareReport() || PageCount(&report) == 0) state.SkipWithError("the layout did not prepare");
}

void BM_ShowReportsToFirstPage(benchmark::State& state)
{
    StartUp();
    TReceiptSet receipts;
    receipts.Query();
    for (auto _ : state) CentreToFirstPage(state, receipts);
}
BENCHMARK(BM_ShowReportsToFirstPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PrepareReceiptLayoutAlone(benchmark::State& state)
{
    StartUp();
    TReceiptSet receipts;
    receipts.Query();
    for (auto _ : state) PrepareAlone(state, receipts);
}
BENCHMARK(BM_PrepareReceiptLayoutAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ShowReportsRatio(benchmark::State& state)
{
    StartUp();
    TReceiptSet receipts;
    receipts.Query();
    Clock::duration ours{}, peer{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        CentreToFirstPage(state, receipts);
        auto t1 = Clock::now();
        PrepareAlone(state, receipts);
        auto t2 = Clock::now();
        ours += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(ours.count()) / double(peer.count());
}
BENCHMARK(BM_ShowReportsRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BenchApp::ShutDown();
    return 0;
}
