// The student list's query over 100,000 students on the built-in file engine:
// opening it into a data set (with the joins of the student list) against
// the sqlite3 shell running the same statement to /dev/null, and locating
// 1,000 ids in the open set.
#include "ADODB.h"
#include "BenchStudents.h"
#include "StringLists.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <malloc.h>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

using namespace BenchStudents;

// The shell running the same statement, its output thrown away.
double ShellSeconds()
{
    std::string cmd = "sqlite3 '" + Database() + "' \"" + kStudentQuery + "\" > /dev/null";
    auto t0 = std::chrono::steady_clock::now();
    int rc = std::system(cmd.c_str());
    auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) return -1;
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_OpenStudentQuery(benchmark::State& state)
{
    TADOConnection conn;
    conn.SetConnectionString(JetString());
    conn.Open();
    double shellBest = 1e9;
    for (int i = 0; i < 3; ++i) shellBest = std::min(shellBest, ShellSeconds());
    for (auto _ : state) {
        auto q = std::make_unique<TADOQuery>();
        q->SetConnection(&conn);
        q->SetLockType(ltBatchOptimistic);
        q->SQL()->SetText(kStudentQuery);
        q->Open();
        benchmark::DoNotOptimize(q->RecordCount());
        // Freeing the rows is not part of opening them.
        state.PauseTiming();
        if (q->RecordCount() != kStudents) state.SkipWithError("wrong row count");
        q.reset();
        state.ResumeTiming();
    }
    state.counters["shell_s"] = shellBest;
}
BENCHMARK(BM_OpenStudentQuery)->Unit(benchmark::kMillisecond)->Iterations(5);

// The students' list as the program opens it, on the benchmark's file.
void OpenStudents(TADOConnection& conn, TADOQuery& q)
{
    conn.SetConnectionString(JetString());
    conn.Open();
    q.SetConnection(&conn);
    q.SetLockType(ltBatchOptimistic);
    q.SQL()->SetText(kStudentQuery);
    q.Open();
}

void BM_Locate1000Ids(benchmark::State& state)
{
    TADOConnection conn;
    TADOQuery q;
    OpenStudents(conn, q);
    std::mt19937 rng(7);
    std::vector<int> ids(1000);
    for (int& id : ids) id = 1 + int(rng() % kStudents);
    TField* idField = q.FieldByName("Id");
    for (auto _ : state) {
        for (int id : ids) {
            if (!q.Locate("Id", id, {}) || idField->AsInteger() != id) state.SkipWithError("locate failed");
        }
    }
    state.counters["per_locate_us"] =
        benchmark::Counter(double(ids.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Locate1000Ids)->Unit(benchmark::kMillisecond);

// The memory the open student list holds (heap bytes in use after opening
// less those before) against the bytes of the database file it came from.
void BM_StudentRowsMemory(benchmark::State& state)
{
    const double fileBytes = double(std::filesystem::file_size(Database()));
    size_t held = 0;
    for (auto _ : state) {
        TADOConnection conn;
        conn.SetConnectionString(JetString());
        conn.Open();
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        auto q = std::make_unique<TADOQuery>();
        q->SetConnection(&conn);
        q->SetLockType(ltBatchOptimistic);
        q->SQL()->SetText(kStudentQuery);
        q->Open();
        held = mallinfo2().uordblks - before;
        if (q->RecordCount() != kStudents) state.SkipWithError("wrong row count");
    }
    state.counters["held_MB"] = double(held) / 1e6;
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["held_per_file"] = double(held) / fileBytes;
}
BENCHMARK(BM_StudentRowsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}

namespace {
// A search right after a change (the form's save: post, then locate) scans
// the rows instead of using an index.
void BM_LocateAfterPost(benchmark::State& state)
{
    TADOConnection conn;
    TADOQuery q;
    OpenStudents(conn, q);
    std::mt19937 rng(11);
    TField* idField = q.FieldByName("Id");
    TField* notes = q.FieldByName("Notes");
    for (auto _ : state) {
        q.Edit();
        notes->SetAsString("checked");
        q.Post();
        int id = 1 + int(rng() % kStudents);
        if (!q.Locate("Id", id, {}) || idField->AsInteger() != id) state.SkipWithError("locate failed");
    }
}
BENCHMARK(BM_LocateAfterPost)->Unit(benchmark::kMicrosecond);
}
