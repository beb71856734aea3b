// Test support of the data-aware grid: a small in-memory data set of
// students (integer, string, Boolean, date, memo and float fields, Chinese
// names) and a shown form holding a grid bound to it.
#pragma once

#include "DBGridEh.h"
#include "Forms.h"

#include <memory>
#include <string>
#include <vector>

namespace DBGridTest {

struct TStudentRow {
    int Id;
    std::string Name;
    bool Passed;
    double Fee;   // NaN: Null
};

// Fields: Id (integer), Name (string 20), Passed (Boolean), Enrolled (date),
// Note (memo), Fee (float). Enrolled is 2026-03-01 plus the row's index.
std::unique_ptr<TDataSet> MakeStudents(const std::vector<TStudentRow>& rows);
// Five students with Chinese names.
std::unique_ptr<TDataSet> FiveStudents();
// n students named "学员<i>", fee i.
std::unique_ptr<TDataSet> ManyStudents(int n);

// Coaches (CoachId, CoachName) and students (Id, CoachId) with a lookup
// field Coach showing the student's coach's name; student i (from 1) has
// the coach coachOf[i - 1].
struct TCoachLookup {
    std::unique_ptr<TDataSet> Coaches, Students;
};
TCoachLookup MakeCoachLookup(const std::vector<std::string>& coachNames, const std::vector<int>& coachOf);

// A shown form with a grid filling width x height, bound to the data set.
struct TGridHost {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TDataSource> Source;
    TDBGridEh* Grid = nullptr;
    TGridHost(TDataSet* ds, int width = 600, int height = 300);
    ~TGridHost();
};

} // namespace DBGridTest
