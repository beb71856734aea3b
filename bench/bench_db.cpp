// The student list's query over 100,000 students on the built-in file engine:
// opening it into a data set (with the joins of the student list) against
// the sqlite3 shell running the same statement to /dev/null, and locating
// 1,000 ids in the open set.
#include "ADODB.h"
#include "StringLists.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int kStudents = 100000;

const char* const kStudentQuery =
    "select s.*, e1.Name as SalemanName  from ((((students s left join employees e1 on s.SalemanId=e1.Id) "
    "left join classes l on l.StudentId=s.Id)  left join graduates g on g.StudentId=s.Id)  left join dropouts p "
    "on p.StudentId=s.Id)   order by s.Id";

std::string SchemaFile()
{
    return std::string(QZ_SOURCE_ROOT) + "/app/schema/sqlite.sql";
}

void Check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A school with kStudents students, their salesmen, classes, graduations and drop-outs.
const std::string& Database()
{
    static std::string file;
    if (!file.empty()) return file;
    char tmpl[] = "/tmp/qzbenchXXXXXX";
    file = std::string(mkdtemp(tmpl)) + "/school.mdb";
    sqlite3* db = nullptr;
    Check(sqlite3_open(file.c_str(), &db), db);
    std::ifstream in(SchemaFile());
    std::stringstream ss;
    ss << in.rdbuf();
    Check(sqlite3_exec(db, ("pragma synchronous=off; begin;" + ss.str()).c_str(), nullptr, nullptr, nullptr), db);
    const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    const char* given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇"};
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "insert into employees(Id, Name, Duty) values (?, ?, '业务员')", -1, &st, nullptr), db);
    for (int i = 1; i <= 200; ++i) {
        std::string name = std::string(surnames[i % 10]) + given[i % 12] + std::to_string(i);
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_prepare_v2(db,
                             "insert into students(Id, Name, Sex, Idcode, LinkTel, Addr, Native, Notes, Signdate, "
                             "Drivetype, SalemanId, Passinfo, Appsinfo) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &st, nullptr),
          db);
    std::mt19937 rng(42);
    for (int i = 1; i <= kStudents; ++i) {
        std::string name = std::string(surnames[rng() % 10]) + given[rng() % 12] + given[rng() % 12];
        char idcode[32], tel[32], date[16];
        snprintf(idcode, sizeof idcode, "3101%014d", i);
        snprintf(tel, sizeof tel, "139%08u", unsigned(rng() % 100000000));
        snprintf(date, sizeof date, "20%02d-%02d-%02d", 5 + int(rng() % 8), 1 + int(rng() % 12), 1 + int(rng() % 28));
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, rng() % 2 ? "男" : "女", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, idcode, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, tel, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, "上海市浦东新区某某路123号", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 7, "上海", -1, SQLITE_STATIC);
        if (i % 5 == 0) sqlite3_bind_text(st, 8, "备注", -1, SQLITE_STATIC);
        else sqlite3_bind_null(st, 8);
        sqlite3_bind_text(st, 9, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 10, i % 3 ? "C1" : "C2", -1, SQLITE_STATIC);
        sqlite3_bind_int(st, 11, 1 + int(rng() % 200));
        sqlite3_bind_text(st, 12, i % 4 ? ",1,2," : ",", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 13, ",3,", -1, SQLITE_STATIC);
        Check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Check(sqlite3_exec(db,
                       "insert into classes(StudentId, Classdate, Classname, TeacherId, CarId) "
                       "select Id, Signdate, '一班', SalemanId, 1 from students where Id % 2 = 0;"
                       "insert into graduates(StudentId, Grantdate, Valimonth) "
                       "select Id, Signdate, 72 from students where Id % 5 = 0;"
                       "insert into dropouts(StudentId, Dropdate, Reasons) "
                       "select Id, Signdate, '个人原因' from students where Id % 20 = 1;"
                       "commit;",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_close(db);
    return file;
}

std::string JetString() { return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Database() + ";Persist Security Info=True"; }

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
