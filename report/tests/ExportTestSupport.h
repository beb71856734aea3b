// What the export tests share: running the real programs that read what the
// exports write, a scratch folder per test, and small prepared reports.
#pragma once

#include "frxClass.h"

#include <memory>
#include <string>

namespace exporttest {

// The standard output of a shell command.
std::string RunTool(const std::string& cmd);
// A fresh empty folder under the temporary directory (with the trailing '/'),
// removed when the object goes.
struct TScratch {
    explicit TScratch(const std::string& name);
    ~TScratch();
    std::string Dir;
};
// The bytes of a file, empty when it cannot be read.
std::string ReadFile(const std::string& name);

// A report of pages A4 with 10 mm margins whose objects the test adds; Run
// prepares it.
struct TExportReport {
    TExportReport();
    ~TExportReport();
    TfrxReportPage* AddPage();
    TfrxMemoView* AddMemo(TfrxReportPage* page, double left, double top, double width, double height,
                          const std::string& text);
    void Prepare();
    std::unique_ptr<TfrxReport> Report;
};

}  // namespace exporttest
