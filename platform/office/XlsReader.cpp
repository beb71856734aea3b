#include "XlsReader.h"

#include "DateUtils.h"
#include "SysUtils.h"

#include <freexl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS", as the library gives
// the cells whose number format shows a date or a time.
Variant DateValue(int type, const char* text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    TDateTime value = 0;
    bool ok = false;
    if (type == FREEXL_CELL_DATE)
        ok = std::sscanf(text, "%d-%d-%d", &y, &mo, &d) == 3 && TryEncodeDate(y, mo, d, value);
    else if (type == FREEXL_CELL_DATETIME)
        ok = std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) == 6 &&
             TryEncodeDateTime(y, mo, d, h, mi, s, 0, value);
    else
        ok = std::sscanf(text, "%d:%d:%d", &h, &mi, &s) == 3 && TryEncodeTime(h, mi, s, 0, value);
    // A serial the calendar cannot hold stays the text the library made of it.
    return ok ? Variant::FromDate(value) : Variant(std::string(text));
}

Variant CellValue(const FreeXL_CellValue& v)
{
    switch (v.type) {
    case FREEXL_CELL_INT: return Variant(v.value.int_value);
    case FREEXL_CELL_DOUBLE: return Variant(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        if (!v.value.text_value || !*v.value.text_value) return Null();
        return Variant(std::string(v.value.text_value));
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        if (!v.value.text_value) return Null();
        return DateValue(v.type, v.value.text_value);
    default: return Null();
    }
}

}  // namespace

TXlsReader::TXlsReader(const std::string& fileName) : FFileName(fileName)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(fileName, ec);
    if (ec) throw EXlsReadError("The workbook " + Quoted(fileName) + " cannot be found or read.");
    if (size > uintmax_t(kMaxFileBytes))
        throw EXlsReadError("The workbook " + Quoted(fileName) + " is too large to be read (" +
                            std::to_string(size >> 20) + " MB; at most " + std::to_string(kMaxFileBytes >> 20) +
                            " MB).");
    const void* handle = nullptr;
    const int rc = freexl_open(fileName.c_str(), &handle);
    // The library may report success and yet give no workbook, when it gave
    // up part way; both mean the file is not a workbook it can read.
    if (rc != FREEXL_OK || !handle) {
        if (handle) freexl_close(handle);
        throw EXlsReadError("The workbook " + Quoted(fileName) +
                            " cannot be read: it is damaged, truncated or not an Excel workbook (.xls).");
    }
    FHandle = handle;
    try {
        unsigned info = 0;
        if (freexl_get_info(FHandle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
            throw EXlsReadError("The workbook " + Quoted(fileName) + " is protected by a password.");
        unsigned count = 0;
        if (freexl_get_info(FHandle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            throw EXlsReadError("The workbook " + Quoted(fileName) + " lists no sheets.");
        if (count > unsigned(kMaxSheets))
            throw EXlsReadError("The workbook " + Quoted(fileName) + " lists " + std::to_string(count) +
                                " sheets; at most " + std::to_string(kMaxSheets) + " are read.");
        for (unsigned i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(FHandle, static_cast<unsigned short>(i), &name) != FREEXL_OK)
                throw EXlsReadError("The workbook " + Quoted(fileName) + " is damaged: sheet " +
                                    std::to_string(i + 1) + " has no name.");
            FSheets.push_back(name ? name : std::string());
        }
    } catch (...) {
        freexl_close(FHandle);
        throw;
    }
}

TXlsReader::~TXlsReader()
{
    if (FHandle) freexl_close(FHandle);
}

std::vector<std::string> TXlsReader::SheetNames() { return FSheets; }

void TXlsReader::ReadSheet(const std::string& sheet, std::vector<std::string>& titles,
                           std::vector<std::vector<Variant>>& rows)
{
    titles.clear();
    rows.clear();
    size_t index = 0;
    while (index < FSheets.size() && FSheets[index] != sheet) ++index;
    if (index == FSheets.size())
        throw EXlsReadError("The workbook " + Quoted(FFileName) + " has no sheet " + Quoted(sheet) + ".");
    unsigned rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_select_active_worksheet(FHandle, static_cast<unsigned short>(index)) != FREEXL_OK ||
        freexl_worksheet_dimensions(FHandle, &rowCount, &columnCount) != FREEXL_OK)
        throw EXlsReadError("The sheet " + Quoted(sheet) + " of the workbook " + Quoted(FFileName) +
                            " is damaged.");
    if (rowCount > kMaxRows || columnCount > kMaxColumns)
        throw EXlsReadError("The sheet " + Quoted(sheet) + " has " + std::to_string(rowCount) + " rows and " +
                            std::to_string(columnCount) + " columns; a workbook sheet holds at most " +
                            std::to_string(kMaxRows) + " rows and " + std::to_string(kMaxColumns) + " columns.");
    if (size_t(rowCount) * columnCount > kMaxCells)
        throw EXlsReadError("The sheet " + Quoted(sheet) + " has too many cells to be imported at once (" +
                            std::to_string(size_t(rowCount) * columnCount) + "; at most " +
                            std::to_string(kMaxCells) + ").");
    auto cell = [&](unsigned row, unsigned short col) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(FHandle, row, col, &v) != FREEXL_OK) return Variant(Null());
        return CellValue(v);
    };
    // Columns past the last one with a title or a value carry nothing.
    std::vector<std::vector<Variant>> body;
    size_t used = 0;
    if (rowCount > 0) {
        titles.resize(columnCount);
        for (unsigned short c = 0; c < columnCount; ++c) {
            const Variant v = cell(0, c);
            titles[c] = v.IsNull() ? std::string() : VarToStr(v);
            if (!titles[c].empty()) used = size_t(c) + 1;
        }
    }
    body.reserve(rowCount > 0 ? rowCount - 1 : 0);
    for (unsigned r = 1; r < rowCount; ++r) {
        std::vector<Variant> values(columnCount);
        for (unsigned short c = 0; c < columnCount; ++c) {
            values[c] = cell(r, c);
            if (!values[c].IsNull()) used = std::max(used, size_t(c) + 1);
        }
        body.push_back(std::move(values));
    }
    titles.resize(used);
    for (auto& values : body) values.resize(used);
    rows = std::move(body);
}

namespace XlsReader {

void Install()
{
    qzAdo::SetWorkbookOpener([](const std::string& fileName) { return std::make_unique<TXlsReader>(fileName); });
}

void Uninstall() { qzAdo::SetWorkbookOpener(nullptr); }

}  // namespace XlsReader
