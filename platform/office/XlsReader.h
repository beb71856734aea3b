// Workbooks of the normal workbook format (.xls, BIFF5 and BIFF8) read
// back as sheets of values, over libfreexl. The workbook connection of the
// data layer reads its sheets through this reader once Install has run.
//
// A sheet's first row gives the column titles; the rows under it arrive as
// values: numbers (whole numbers as integers), dates and times (as dates),
// texts (8-bit texts of a workbook with a code page, such as GBK, come as
// UTF-8 like the Unicode ones), Null for an empty cell. Every count the file
// declares is bounded before anything is made of it; a workbook the reader
// cannot take raises EXlsReadError with the reason, never half a sheet.
#pragma once

#include "ADODB.h"

#include <memory>
#include <string>
#include <vector>

class EXlsReadError : public Exception {
public:
    using Exception::Exception;
};

class TXlsReader : public IWorkbookReader {
public:
    // The limits of the format itself, and of what one import may take.
    static constexpr int kMaxSheets = 1024;
    static constexpr unsigned kMaxRows = 65536;
    static constexpr unsigned kMaxColumns = 256;
    static constexpr size_t kMaxCells = 4u << 20;
    static constexpr long long kMaxFileBytes = 256ll << 20;

    // Reads the whole file; raises EXlsReadError when it is missing, too
    // large, damaged, protected by a password or not a workbook. The library
    // parses it in a child process, so that a file that breaks the library
    // is one more damaged file.
    explicit TXlsReader(const std::string& fileName);
    ~TXlsReader() override;

    std::vector<std::string> SheetNames() override;
    // Raises EXlsReadError for a sheet the workbook lacks or one past the limits.
    void ReadSheet(const std::string& sheet, std::vector<std::string>& titles,
                   std::vector<std::vector<Variant>>& rows) override;

private:
    struct TSheetData;
    std::string FFileName;
    std::vector<std::unique_ptr<TSheetData>> FSheets;
};

namespace XlsReader {
// Makes the data layer's workbook connections read through TXlsReader
// (Uninstall takes it away again).
void Install();
void Uninstall();
}  // namespace XlsReader
