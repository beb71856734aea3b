// The school the benchmarks open: 100,000 students with their salesmen,
// classes, graduations and drop-outs in a database file of the built-in
// engine, made once per run in the run's scratch folder (removed when the
// run ends), and the student list's query over it.
#pragma once

#include "BenchFiles.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace BenchStudents {

constexpr int kStudents = 100000;

const char* const kStudentQuery =
    "select s.*, e1.Name as SalemanName  from ((((students s left join employees e1 on s.SalemanId=e1.Id) "
    "left join classes l on l.StudentId=s.Id)  left join graduates g on g.StudentId=s.Id)  left join dropouts p "
    "on p.StudentId=s.Id)   order by s.Id";

inline std::string SchemaFile()
{
    return std::string(QZ_SOURCE_ROOT) + "/app/schema/sqlite.sql";
}

inline void Check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A school with kStudents students, their salesmen, classes, graduations and drop-outs.
inline const std::string& Database()
{
    static std::string file;
    if (!file.empty()) return file;
    file = BenchFiles::ScratchDir() + "/school.mdb";
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

// The connection text of the built-in engine for the school's file.
inline std::string JetString()
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Database() + ";Persist Security Info=True";
}

}  // namespace BenchStudents
