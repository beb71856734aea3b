// Any bytes as a workbook file opened for an import: the reader refuses it
// with EXlsReadError, or gives its sheets; every sheet then reads as titles
// and rows of one width within the format's limits, and opens as a table of
// the workbook connection (or is refused there with the layer's error).
#include "ADODB.h"
#include "Exceptions.h"
#include "XlsReader.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string file = FuzzScratchDir("xlsread") + "/book.xls";
    static bool installed = (XlsReader::Install(), true);
    (void)installed;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    std::vector<std::string> sheets;
    try {
        TXlsReader reader(file);
        sheets = reader.SheetNames();
        Check(sheets.size() <= size_t(TXlsReader::kMaxSheets), "sheet count bounded");
        for (const std::string& sheet : sheets) {
            std::vector<std::string> titles;
            std::vector<std::vector<Variant>> rows;
            try {
                reader.ReadSheet(sheet, titles, rows);
            } catch (const EXlsReadError&) {
                continue;
            }
            Check(titles.size() <= TXlsReader::kMaxColumns, "columns bounded");
            Check(rows.size() < TXlsReader::kMaxRows, "rows bounded");
            for (const auto& row : rows) Check(row.size() == titles.size(), "every row as wide as the titles");
        }
    } catch (const EXlsReadError&) {
        return 0;
    }
    try {
        TADOConnection conn;
        conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Excel 8.0;DATABASE=" + file);
        conn.Open();
        for (const std::string& sheet : sheets) {
            TADOTable t;
            t.SetConnection(&conn);
            t.SetReadOnly(true);
            t.SetTableName("[" + sheet + "$]");
            try {
                t.Open();
            } catch (const Exception&) {
                continue;
            }
            for (t.First(); !t.Eof(); t.Next())
                for (int i = 0; i < t.FieldCount(); ++i) (void)t.Fields()->Fields(i)->AsString();
        }
    } catch (const Exception&) {
    }
    return 0;
}
