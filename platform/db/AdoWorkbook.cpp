// Workbooks read through the file provider: each sheet a read-only table.
// The reading itself is the spreadsheet layer's; this engine turns sheets
// into typed columns and rows.
#include "AdoEngine.h"
#include "SysUtils.h"

#include <algorithm>

namespace qzAdo {

namespace {

TWorkbookOpener& Opener()
{
    static TWorkbookOpener opener;
    return opener;
}

// "select * from [Sheet1$]", "[Sheet1$]" or "Sheet1$": the table named.
std::string TableOf(const std::string& sql)
{
    std::string s = Trim(sql);
    size_t from = std::string::npos;
    for (size_t i = 0; i + 4 <= s.size(); ++i)
        if (SameText(s.substr(i, 4), "from") && (i == 0 || isspace(static_cast<unsigned char>(s[i - 1]))) &&
            (i + 4 == s.size() || isspace(static_cast<unsigned char>(s[i + 4])) || s[i + 4] == '[')) {
            from = i + 4;
            break;
        }
    if (from != std::string::npos) s = Trim(s.substr(from));
    if (!s.empty() && (s.front() == '[' || s.front() == '`' || s.front() == '"')) {
        char close = s.front() == '[' ? ']' : s.front();
        size_t e = s.find(close, 1);
        return e == std::string::npos ? s.substr(1) : s.substr(1, e - 1);
    }
    size_t e = s.find_first_of(" \t\r\n;");
    return e == std::string::npos ? s : s.substr(0, e);
}

class TWorkbookEngine : public TEngine {
public:
    explicit TWorkbookEngine(std::string fileName) : FFileName(std::move(fileName)) {}

    void Open(int, int) override
    {
        if (!Opener()) throw EADOError("No workbook reader is installed; '" + FFileName + "' cannot be read.");
        if (!FileExists(FFileName)) throw EADOError("Could not find file '" + FFileName + "'.");
        FReader = Opener()(FFileName);
        if (!FReader) throw EADOError("The workbook '" + FFileName + "' cannot be read.");
    }
    void Close() override { FReader.reset(); }
    bool Connected() const override { return FReader != nullptr; }

    int Execute(const std::string&, const std::vector<TBind>&, int) override
    {
        throw EADOError("Cannot update. Database or object is read-only.");
    }

    void Query(const std::string& sql, const std::vector<TBind>&, int, TResult& out, bool describeOnly) override
    {
        CheckOpen();
        std::string table = TableOf(sql);
        std::string sheet = FindSheet(table);
        if (sheet.empty())
            throw EADOError("The Microsoft Jet database engine could not find the object '" + table + "'.");
        std::vector<std::string> titles;
        std::vector<std::vector<Variant>> rows;
        FReader->ReadSheet(sheet, titles, rows);
        size_t nc = titles.size();
        for (auto& r : rows) nc = std::max(nc, r.size());
        out.Columns.assign(nc, TColumn());
        for (size_t c = 0; c < nc; ++c) {
            std::string t = c < titles.size() ? Trim(titles[c]) : std::string();
            if (t.empty()) t = "F" + std::to_string(c + 1);
            for (size_t k = 0; k < c; ++k)
                if (SameText(out.Columns[k].Name, t)) t += std::to_string(c + 1);
            out.Columns[c].Name = t;
        }
        // A column's type is that of its values: numbers, dates, or text.
        for (size_t c = 0; c < nc; ++c) {
            bool anyText = false, anyDate = false, anyNum = false;
            int width = 1;
            for (auto& r : rows) {
                if (c >= r.size() || r[c].IsNull() || r[c].IsEmpty()) continue;
                TVarType t = r[c].VType();
                if (t == varDate) anyDate = true;
                else if (VarIsNumeric(r[c])) anyNum = true;
                else anyText = true;
            }
            TColumn& col = out.Columns[c];
            if (anyText || (anyDate && anyNum)) col.Type = ftWideString;
            else if (anyDate) col.Type = ftDateTime;
            else if (anyNum) col.Type = ftFloat;
            else col.Type = ftWideString;
            if (col.Type == ftWideString) {
                for (auto& r : rows)
                    if (c < r.size() && !r[c].IsNull() && !r[c].IsEmpty()) width = std::max(width, Length(VarToStr(r[c])));
                if (width > 255) {
                    col.Type = ftMemo;
                    col.Size = 0;
                } else {
                    col.Size = 255;
                }
            }
        }
        out.Rows.clear();
        if (describeOnly) return;
        out.Rows.reserve(rows.size());
        for (auto& r : rows) {
            std::vector<Variant> row(nc);
            for (size_t c = 0; c < nc; ++c) {
                if (c >= r.size() || r[c].IsNull() || r[c].IsEmpty()) {
                    row[c] = Null();
                    continue;
                }
                TFieldType t = out.Columns[c].Type;
                if (t == ftWideString || t == ftMemo) {
                    std::string text = VarToStr(r[c]);
                    row[c] = t == ftMemo ? Variant(text) : Variant::FromWide(text);
                } else {
                    row[c] = ConvertTo(t, std::move(r[c]));
                }
            }
            out.Rows.push_back(std::move(row));
        }
    }

    void BeginTrans(int) override { throw EADOError("Transactions are not supported on a workbook."); }
    void CommitTrans(int) override { throw EADOError("Transactions are not supported on a workbook."); }
    void RollbackTrans(int) override { throw EADOError("Transactions are not supported on a workbook."); }

    void GetTableNames(std::vector<std::string>& names, bool) override
    {
        CheckOpen();
        for (const std::string& s : FReader->SheetNames()) names.push_back(s + "$");
    }
    std::string DefaultDatabase() override { return FFileName; }
    void SetDefaultDatabase(const std::string&) override {}

private:
    void CheckOpen()
    {
        if (!FReader) throw EADOError("Operation is not allowed when the object is closed.");
    }
    std::string FindSheet(const std::string& table)
    {
        std::string want = table;
        if (!want.empty() && want.back() == '$') want.pop_back();
        for (const std::string& s : FReader->SheetNames())
            if (SameText(s, want) || SameText(s, table)) return s;
        return std::string();
    }

    std::string FFileName;
    std::unique_ptr<IWorkbookReader> FReader;
};

}

void SetWorkbookOpener(TWorkbookOpener opener) { Opener() = std::move(opener); }

std::unique_ptr<TEngine> CreateWorkbookEngine(const std::string& fileName)
{
    return std::make_unique<TWorkbookEngine>(fileName);
}

}
