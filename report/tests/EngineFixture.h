// Small layouts built in code against in-memory data sets, and the text
// dump of prepared pages the golden engine tests compare.
#pragma once

#include "DB.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "frxEngine.h"
#include "frxPreviewPages.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace enginetest {

// Students: Id, Name, Class, Fee.
std::unique_ptr<TDataSet> MakeStudents(const std::vector<std::tuple<int, std::string, std::string, double>>& rows);
// Students 1 to n named 学员1, 学员2, … of class A, each paying his number.
std::unique_ptr<TDataSet> NumberedStudents(int n);
std::unique_ptr<TDataSet> SixStudents();

// A report with one A4 page (10 mm margins). A run reloads the layout
// afterwards, so Page and objects made before it are gone once it is over.
struct TReportFixture {
    TReportFixture();
    ~TReportFixture();
    TfrxDBDataset* AddDataSet(TDataSet* ds, const std::string& name);
    TfrxReportPage* AddPage();
    template <class B> B* AddBand(TfrxReportPage* page, const std::string& name, double top, double height)
    {
        auto* b = new B(page);
        b->SetName(name);
        b->SetTop(top);
        b->SetHeight(height);
        return b;
    }
    TfrxMemoView* AddMemo(TfrxComponent* band, const std::string& name, double left, double top, double width,
                          double height, const std::string& text);
    // The prepared pages as text: one line per object, indented by depth.
    std::string Dump();
    TfrxPreviewPages* Pages() const;

    std::unique_ptr<TfrxReport> Report;
    TfrxReportPage* Page = nullptr;
    std::vector<std::unique_ptr<TDataSet>> Data;
    std::vector<std::unique_ptr<TfrxDBDataset>> Sets;
};

// The checked-in dump tests/data/engine/<name>.txt; with QZ_UPDATE_GOLDEN set
// in the environment the file is written instead.
std::string Golden(const std::string& name, const std::string& actual);

}  // namespace enginetest
