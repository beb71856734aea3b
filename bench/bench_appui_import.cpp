// The student import of a workbook of 10,000 students through the wizard's
// pages (open the workbook, map, stage every row, save in one transaction)
// into a database file of the built-in engine, against the sqlite3 shell
// importing the same rows from CSV (.import) into the same table: target
// at most 5 times. The counter "ratio" of BM_ImportRatio gives the
// quotient, the two measured in turn in one run; the table is emptied
// before each, outside the time measured.
#include "DataImport.h"
#include "DateUtils.h"
#include "Database.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "Objs.h"
#include "XlsWorkbook.h"
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
#include <sstream>

namespace {

constexpr int kStudents = 10000;

const std::string& File()
{
    static std::string f = BenchFiles::ScratchDir() + "/school.mdb";
    return f;
}
const std::string& Workbook()
{
    static std::string f = BenchFiles::ScratchDir() + "/students.xls";
    return f;
}
const std::string& Csv()
{
    static std::string f = BenchFiles::ScratchDir() + "/students.csv";
    return f;
}

void Sql(const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(File().c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    sqlite3_close(db);
}

int Students()
{
    sqlite3* db = nullptr;
    sqlite3_open(File().c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "select count(*) from students", -1, &st, nullptr);
    int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

// The school's schema and two salesmen; the workbook (titles equal to the
// import's labels) and the CSV of the same students, a row of the table each.
void MakeFiles()
{
    std::ifstream in(std::string(QZ_SOURCE_ROOT) + "/app/schema/sqlite.sql");
    std::stringstream schema;
    schema << in.rdbuf();
    Sql(schema.str() + "insert into employees (Id, Name, Duty) values (1, '刘业务', '业务员'), (2, '陈业务', '业务员');");
    TXlsWorkbook book;
    TXlsStyle dateStyle;
    dateStyle.NumberFormat = "yyyy-mm-dd";
    const int date = book.AddStyle(dateStyle);
    const char* titles[] = {"姓名", "性别", "身份证号", "联系电话", "联系地址", "籍贯", "备注", "报名日期", "报名车型", "业务员"};
    for (int c = 0; c < 10; ++c) book.SetText(0, c, titles[c]);
    std::string csv = "Id,Name,Sex,Idcode,LinkTel,Addr,Native,Notes,Signdate,Drivetype,SalemanId,Passinfo,Appsinfo\n";
    const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    for (int i = 1; i <= kStudents; ++i) {
        const std::string name = std::string(surnames[i % 10]) + "学员" + std::to_string(i);
        const std::string sex = i % 2 ? "男" : "女";
        const std::string idcode = "4401011988" + std::to_string(10000000 + i);
        const std::string tel = "139" + std::to_string(10000000 + i);
        const std::string addr = "广州市天河区" + std::to_string(i % 300) + "号";
        const std::string native = i % 3 ? "广东" : "湖南";
        const std::string notes = i % 7 ? "" : "周末班";
        const int month = 1 + i % 12, day = 1 + i % 28;
        const std::string type = i % 3 ? "C1" : "B2";
        const std::string salesman = i % 2 ? "刘业务" : "陈业务";
        const std::string values[] = {name, sex, idcode, tel, addr, native, notes};
        for (int c = 0; c < 7; ++c) book.SetText(i, c, values[c]);
        book.SetNumber(i, 7, EncodeDate(2008, month, day), date);
        book.SetText(i, 8, type);
        book.SetText(i, 9, salesman);
        char signdate[16];
        snprintf(signdate, sizeof signdate, "2008-%02d-%02d", month, day);
        csv += std::to_string(i) + "," + name + "," + sex + "," + idcode + "," + tel + "," + addr + "," + native + "," +
               notes + "," + signdate + "," + type + "," + (i % 2 ? "1" : "2") + ",,\n";
    }
    book.SaveToFile(Workbook());
    std::ofstream(Csv(), std::ios::binary) << csv;
}

void StartUp() { BenchApp::StartUp(File(), MakeFiles); }

void Empty(benchmark::State& state)
{
    state.PauseTiming();
    GDatabase->ExecSQL("delete from students");
    state.ResumeTiming();
}

// The wizard's pages as the operator goes through them.
void ImportThroughTheWizard(benchmark::State& state)
{
    TStudentImporter importer;
    TDataImportFrm wizard(nullptr);
    importer.Attach(&wizard);
    wizard.edtExcelFile1->SetText(Workbook());
    wizard.Button3Click();
    wizard.NxtBtn1Click();
    wizard.Button9Click();
    wizard.Button6Click();
    if (wizard.ModalResult() != mrOk) state.SkipWithError("the import failed");
}

void ShellImport(benchmark::State& state)
{
    const std::string cmd = "sqlite3 '" + File() + "' '.mode csv' '.import --skip 1 " + Csv() + " students' > /dev/null";
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("the sqlite3 shell failed");
}

void Verify(benchmark::State& state)
{
    state.PauseTiming();
    if (Students() != kStudents) state.SkipWithError("the students did not all arrive");
    state.ResumeTiming();
}

void BM_ImportStudentWorkbook(benchmark::State& state)
{
    StartUp();
    for (auto _ : state) {
        Empty(state);
        ImportThroughTheWizard(state);
        Verify(state);
    }
}
BENCHMARK(BM_ImportStudentWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ShellImportCsv(benchmark::State& state)
{
    StartUp();
    for (auto _ : state) {
        Empty(state);
        ShellImport(state);
        Verify(state);
    }
}
BENCHMARK(BM_ShellImportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    StartUp();
    Clock::duration ours{}, peer{};
    for (auto _ : state) {
        GDatabase->ExecSQL("delete from students");
        auto t0 = Clock::now();
        ImportThroughTheWizard(state);
        auto t1 = Clock::now();
        GDatabase->ExecSQL("delete from students");
        auto t2 = Clock::now();
        ShellImport(state);
        auto t3 = Clock::now();
        ours += t1 - t0;
        peer += t3 - t2;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(ours.count()) / double(peer.count());
}
BENCHMARK(BM_ImportRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);


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
