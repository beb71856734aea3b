#include "XlsReader.h"

#include "DateUtils.h"
#include "SysUtils.h"

#include <freexl.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

// The sanitizers' hook for what runs when they stop a process; absent in a
// plain build.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

// The library parses a workbook in a child process. It is not safe on
// hostile bytes (a crafted workbook overruns one of its stack buffers), so
// a workbook that breaks it costs the child, never the program: the child
// sends the sheets' values back through a pipe, in the form below, and any
// way it ends other than a clean exit after a whole answer is a damaged file.
//
//   answer := 'E' text                        the workbook is refused
//           | 'W' u32 sheets (sheet)*
//   sheet  := text name ('X' text             this sheet is refused
//                       | 'S' u32 columns u32 rows value{columns*(rows+1)})
//   value  := 0 (empty) | 1 i32 | 2 f64 | 3 text | 4 f64 date
//   text   := u32 bytes, UTF-8 bytes

namespace {

constexpr int kChildSeconds = 120;

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

std::string Damaged(const std::string& fileName)
{
    return "The workbook " + Quoted(fileName) +
           " cannot be read: it is damaged, truncated or not an Excel workbook (.xls).";
}

// ---- the child's side ----------------------------------------------------------------------

class TAnswer {
public:
    explicit TAnswer(int fd) : FFd(fd) {}
    void Byte(char b) { FBuffer += b; Flush(false); }
    void U32(uint32_t v)
    {
        char b[4];
        std::memcpy(b, &v, 4);
        FBuffer.append(b, 4);
        Flush(false);
    }
    void F64(double v)
    {
        char b[8];
        std::memcpy(b, &v, 8);
        FBuffer.append(b, 8);
        Flush(false);
    }
    void Text(const std::string& s)
    {
        U32(uint32_t(s.size()));
        FBuffer += s;
        Flush(false);
    }
    // Writes what is gathered; false when the parent stopped listening.
    bool Flush(bool all)
    {
        if (!all && FBuffer.size() < 65536) return true;
        size_t at = 0;
        while (at < FBuffer.size()) {
            const ssize_t n = ::write(FFd, FBuffer.data() + at, FBuffer.size() - at);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(3);
            at += size_t(n);
        }
        FBuffer.clear();
        return true;
    }

private:
    int FFd;
    std::string FBuffer;
};

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS", as the library gives
// the cells whose number format shows a date or a time; false for a serial
// the calendar cannot hold.
bool DateValue(int type, const char* text, TDateTime& value)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (type == FREEXL_CELL_DATE)
        return std::sscanf(text, "%d-%d-%d", &y, &mo, &d) == 3 && TryEncodeDate(y, mo, d, value);
    if (type == FREEXL_CELL_DATETIME)
        return std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) == 6 &&
               TryEncodeDateTime(y, mo, d, h, mi, s, 0, value);
    return std::sscanf(text, "%d:%d:%d", &h, &mi, &s) == 3 && TryEncodeTime(h, mi, s, 0, value);
}

void SendCell(TAnswer& out, const void* handle, unsigned row, unsigned short col)
{
    FreeXL_CellValue v;
    if (freexl_get_cell_value(handle, row, col, &v) != FREEXL_OK) {
        out.Byte(0);
        return;
    }
    switch (v.type) {
    case FREEXL_CELL_INT:
        out.Byte(1);
        out.U32(uint32_t(v.value.int_value));
        return;
    case FREEXL_CELL_DOUBLE:
        out.Byte(2);
        out.F64(v.value.double_value);
        return;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        if (!v.value.text_value || !*v.value.text_value) break;
        out.Byte(3);
        out.Text(v.value.text_value);
        return;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        if (!v.value.text_value) break;
        TDateTime d = 0;
        if (DateValue(v.type, v.value.text_value, d)) {
            out.Byte(4);
            out.F64(d);
        } else {
            out.Byte(3);
            out.Text(v.value.text_value);
        }
        return;
    }
    default: break;
    }
    out.Byte(0);
}

void SendSheet(TAnswer& out, const void* handle, unsigned short index)
{
    unsigned rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        out.Byte('X');
        out.Text("is damaged.");
        return;
    }
    if (rows > TXlsReader::kMaxRows || columns > TXlsReader::kMaxColumns) {
        out.Byte('X');
        out.Text("has " + std::to_string(rows) + " rows and " + std::to_string(columns) +
                 " columns; a workbook sheet holds at most " + std::to_string(TXlsReader::kMaxRows) + " rows and " +
                 std::to_string(TXlsReader::kMaxColumns) + " columns.");
        return;
    }
    if (size_t(rows) * columns > TXlsReader::kMaxCells) {
        out.Byte('X');
        out.Text("has too many cells to be imported at once (" + std::to_string(size_t(rows) * columns) +
                 "; at most " + std::to_string(TXlsReader::kMaxCells) + ").");
        return;
    }
    out.Byte('S');
    out.U32(columns);
    out.U32(rows > 0 ? rows - 1 : 0);
    for (unsigned r = 0; r < std::max(rows, 1u); ++r)
        for (unsigned short c = 0; c < columns; ++c)
            if (rows == 0) out.Byte(0);
            else SendCell(out, handle, r, c);
}

[[noreturn]] void ReadInChild(const std::string& fileName, int fd)
{
    TAnswer out(fd);
    const void* handle = nullptr;
    const int rc = freexl_open(fileName.c_str(), &handle);
    // The library may report success and yet give no workbook, when it gave
    // up part way: that too is a file it cannot read.
    if (rc != FREEXL_OK || !handle) {
        out.Byte('E');
        out.Text(Damaged(fileName));
        out.Flush(true);
        _exit(0);
    }
    unsigned info = 0;
    unsigned count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
        out.Byte('E');
        out.Text("The workbook " + Quoted(fileName) + " is protected by a password.");
    } else if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
        out.Byte('E');
        out.Text(Damaged(fileName));
    } else if (count > unsigned(TXlsReader::kMaxSheets)) {
        out.Byte('E');
        out.Text("The workbook " + Quoted(fileName) + " lists " + std::to_string(count) + " sheets; at most " +
                 std::to_string(TXlsReader::kMaxSheets) + " are read.");
    } else {
        out.Byte('W');
        out.U32(count);
        for (unsigned i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) != FREEXL_OK) name = nullptr;
            out.Text(name ? name : "");
            if (!name) {
                out.Byte('X');
                out.Text("is damaged.");
            } else {
                SendSheet(out, handle, static_cast<unsigned short>(i));
            }
        }
    }
    out.Flush(true);
    _exit(0);
}

// ---- the parent's side ---------------------------------------------------------------------

// Reads the child's whole answer; false when it is longer than any answer
// within the limits can be, or the child takes too long.
bool ReadAnswer(int fd, std::string& answer)
{
    // Every cell a tag and at most a text of the format's longest (32767
    // characters, 3 bytes each in UTF-8) would be far beyond this; real
    // workbooks are a small fraction of it.
    constexpr size_t kMaxAnswer = size_t(1) << 30;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kChildSeconds);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (answer.size() + size_t(n) > kMaxAnswer) return false;
        answer.append(buffer, size_t(n));
    }
}

class TAnswerReader {
public:
    TAnswerReader(const std::string& data, const std::string& fileName) : FData(data), FFileName(fileName) {}
    char Byte()
    {
        Need(1);
        return FData[FAt++];
    }
    uint32_t U32()
    {
        Need(4);
        uint32_t v;
        std::memcpy(&v, FData.data() + FAt, 4);
        FAt += 4;
        return v;
    }
    double F64()
    {
        Need(8);
        double v;
        std::memcpy(&v, FData.data() + FAt, 8);
        FAt += 8;
        return v;
    }
    std::string Text()
    {
        const uint32_t n = U32();
        Need(n);
        std::string s = FData.substr(FAt, n);
        FAt += n;
        return s;
    }
    Variant Value()
    {
        switch (Byte()) {
        case 0: return Null();
        case 1: return Variant(int(int32_t(U32())));
        case 2: return Variant(F64());
        case 3: return Variant(Text());
        case 4: return Variant::FromDate(F64());
        default: throw EXlsReadError(Damaged(FFileName));
        }
    }
    bool AtEnd() const { return FAt == FData.size(); }

private:
    void Need(size_t n)
    {
        if (FData.size() - FAt < n) throw EXlsReadError(Damaged(FFileName));
    }
    const std::string& FData;
    const std::string& FFileName;
    size_t FAt = 0;
};

}  // namespace

struct TXlsReader::TSheetData {
    std::string Name;
    std::string Error;
    std::vector<std::string> Titles;
    std::vector<std::vector<Variant>> Rows;
};

TXlsReader::TXlsReader(const std::string& fileName) : FFileName(fileName)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(fileName, ec);
    if (ec) throw EXlsReadError("The workbook " + Quoted(fileName) + " cannot be found or read.");
    if (size > uintmax_t(kMaxFileBytes))
        throw EXlsReadError("The workbook " + Quoted(fileName) + " is too large to be read (" +
                            std::to_string(size >> 20) + " MB; at most " + std::to_string(kMaxFileBytes >> 20) +
                            " MB).");
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw EXlsReadError("The workbook " + Quoted(fileName) + " cannot be read now: " + std::strerror(errno));
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int e = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw EXlsReadError("The workbook " + Quoted(fileName) + " cannot be read now: " + std::strerror(e));
    }
    if (pid == 0) {
        ::close(fds[0]);
        // A fault in the library ends the child quietly: no report, no
        // handler of the parent's (such as a fuzzer's) taking it for its own.
        if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(nullptr);
        for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) std::signal(sig, SIG_DFL);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) ::dup2(devNull, 2);
        ReadInChild(fileName, fds[1]);
    }
    ::close(fds[1]);
    std::string answer;
    const bool whole = ReadAnswer(fds[0], answer);
    ::close(fds[0]);
    if (!whole) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!whole || !WIFEXITED(status) || WEXITSTATUS(status) != 0) throw EXlsReadError(Damaged(fileName));
    TAnswerReader in(answer, fileName);
    const char kind = in.Byte();
    if (kind == 'E') throw EXlsReadError(in.Text());
    if (kind != 'W') throw EXlsReadError(Damaged(fileName));
    const uint32_t count = in.U32();
    if (count > uint32_t(kMaxSheets)) throw EXlsReadError(Damaged(fileName));
    for (uint32_t i = 0; i < count; ++i) {
        auto sheet = std::make_unique<TSheetData>();
        sheet->Name = in.Text();
        const char state = in.Byte();
        if (state == 'X') {
            sheet->Error = "The sheet " + Quoted(sheet->Name) + " of the workbook " + Quoted(fileName) + " " + in.Text();
        } else if (state == 'S') {
            const uint32_t columns = in.U32(), rows = in.U32();
            if (columns > kMaxColumns || rows >= kMaxRows || size_t(rows + 1) * columns > kMaxCells)
                throw EXlsReadError(Damaged(fileName));
            // Columns past the last one with a title or a value carry nothing.
            size_t used = 0;
            sheet->Titles.resize(columns);
            for (uint32_t c = 0; c < columns; ++c) {
                const Variant v = in.Value();
                sheet->Titles[c] = v.IsNull() ? std::string() : VarToStr(v);
                if (!sheet->Titles[c].empty()) used = c + 1;
            }
            sheet->Rows.reserve(rows);
            for (uint32_t r = 0; r < rows; ++r) {
                std::vector<Variant> values(columns);
                for (uint32_t c = 0; c < columns; ++c) {
                    values[c] = in.Value();
                    if (!values[c].IsNull()) used = std::max(used, size_t(c) + 1);
                }
                sheet->Rows.push_back(std::move(values));
            }
            sheet->Titles.resize(used);
            for (auto& values : sheet->Rows) values.resize(used);
        } else {
            throw EXlsReadError(Damaged(fileName));
        }
        FSheets.push_back(std::move(sheet));
    }
    if (!in.AtEnd()) throw EXlsReadError(Damaged(fileName));
}

TXlsReader::~TXlsReader() = default;

std::vector<std::string> TXlsReader::SheetNames()
{
    std::vector<std::string> names;
    for (const auto& s : FSheets) names.push_back(s->Name);
    return names;
}

void TXlsReader::ReadSheet(const std::string& sheet, std::vector<std::string>& titles,
                           std::vector<std::vector<Variant>>& rows)
{
    titles.clear();
    rows.clear();
    for (const auto& s : FSheets) {
        if (s->Name != sheet) continue;
        if (!s->Error.empty()) throw EXlsReadError(s->Error);
        titles = s->Titles;
        rows = s->Rows;
        return;
    }
    throw EXlsReadError("The workbook " + Quoted(FFileName) + " has no sheet " + Quoted(sheet) + ".");
}

namespace XlsReader {

void Install()
{
    qzAdo::SetWorkbookOpener([](const std::string& fileName) { return std::make_unique<TXlsReader>(fileName); });
}

void Uninstall() { qzAdo::SetWorkbookOpener(nullptr); }

}  // namespace XlsReader
