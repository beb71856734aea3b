// The exam statistics window over a school of 10,000 students with 6 exam
// items in a database file of the built-in engine: from "查找" to the rows
// painted in the shown window's grid, against the sqlite3 shell running the
// statement that reads the same students (with their classes) and printing
// them: target at most 2 times. The counter "ratio" of BM_ExamTotalRatio
// gives the quotient, the two measured in turn in one run.
#include "Database.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Objs.h"
#include "TotalQry.h"
#include "Tots.h"
#include "UisGrids.h"
#include "qzProj.h"
#include "qzStartup.h"

#include "BenchApp.h"
#include "BenchFiles.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace {

constexpr int kStudents = 10000;
constexpr int kItems = 6;

void Check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

const std::string& File()
{
    static std::string f = BenchFiles::ScratchDir() + "/school.mdb";
    return f;
}

// The school: trainers, exam items, students with the items they passed,
// and a class for each.
void MakeSchool()
{
    sqlite3* db = nullptr;
    Check(sqlite3_open(File().c_str(), &db), db);
    std::ifstream in(std::string(QZ_SOURCE_ROOT) + "/app/schema/sqlite.sql");
    std::stringstream schema;
    schema << in.rdbuf();
    Check(sqlite3_exec(db, ("pragma synchronous=off; begin;" + schema.str()).c_str(), nullptr, nullptr, nullptr), db);
    Check(sqlite3_exec(db,
                       "insert into employees (Id, Name, Duty) values (1, '王教练', '教练员'), (2, '刘业务', '业务员');"
                       "insert into examitems (Id, Name) values (1, '科目一'), (2, '科目二'), (3, '科目三'),"
                       " (4, '路考'), (5, '夜考'), (6, '理论补考');",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "insert into students (Id, Name, Sex, LinkTel, Signdate, Drivetype, SalemanId, Passinfo) "
                             "values (?, ?, ?, '13900000000', ?, ?, 2, ?)",
                             -1, &st, nullptr),
          db);
    const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    std::mt19937 rng(7);
    for (int i = 1; i <= kStudents; ++i) {
        const std::string name = std::string(surnames[i % 10]) + "学员" + std::to_string(i);
        char date[16];
        snprintf(date, sizeof date, "2008-%02d-%02d", 1 + int(rng() % 12), 1 + int(rng() % 28));
        std::string passed = ",";
        for (int item = 1; item <= kItems; ++item)
            if (rng() % 2) passed += std::to_string(item) + ",";
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, i % 2 ? "男" : "女", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, i % 3 ? "C1" : "B2", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 6, passed.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_exec(db,
                       "insert into classes (StudentId, Classname, TeacherId) select Id, '普通班', 1 from students;"
                       "commit;",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_close(db);
}

void StartUp() { BenchApp::StartUp(File(), MakeSchool); }

// The shown window, made once: construction is not what is measured.
TExamTotalFrm& Window()
{
    static TExamTotalFrm* f = [] {
        auto* made = new TExamTotalFrm(nullptr);
        made->Show();
        GuiTest::ProcessEvents();
        return made;
    }();
    return *f;
}

// "查找", then the grid painted with the rows.
void SearchAndShow(benchmark::State& state, TExamTotalFrm& f)
{
    f.Button1->Click();
    f.DBGrid1->Repaint();
    GuiTest::ProcessEvents();
    if (f.ResultDataSet()->RecordCount() != kStudents) state.SkipWithError("the window lost students");
}

// The statement the pivot reads its students with, as the window's
// criteria (none) make it, run by the shell with every row printed.
void ShellStatement(benchmark::State& state, const std::string& sql)
{
    const std::string cmd = "sqlite3 '" + File() + "' \"" + sql + ";\" > /dev/null";
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("the sqlite3 shell failed");
}

std::string PivotStatement()
{
    TExamTotalFrm& f = Window();
    f.Pivot()->Where()->Clear();
    return f.Pivot()->StudentSql();
}

void BM_ExamTotalSearch(benchmark::State& state)
{
    StartUp();
    TExamTotalFrm& f = Window();
    for (auto _ : state) SearchAndShow(state, f);
}
BENCHMARK(BM_ExamTotalSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ExamTotalStatementInTheShell(benchmark::State& state)
{
    StartUp();
    const std::string sql = PivotStatement();
    for (auto _ : state) ShellStatement(state, sql);
}
BENCHMARK(BM_ExamTotalStatementInTheShell)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ExamTotalRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    StartUp();
    TExamTotalFrm& f = Window();
    const std::string sql = PivotStatement();
    Clock::duration ours{}, peer{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        SearchAndShow(state, f);
        auto t1 = Clock::now();
        ShellStatement(state, sql);
        auto t2 = Clock::now();
        ours += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(ours.count()) / double(peer.count());
}
BENCHMARK(BM_ExamTotalRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The window, then the program's shut-down in reverse, before the scratch
// folder goes.
void ShutDown()
{
    if (!BenchApp::Started()) return;
    delete &Window();
    BenchApp::ShutDown();
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ShutDown();
    return 0;
}
