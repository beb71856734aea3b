// Several workstations saving into one database at once: each is a process
// of its own with its own connection to the one built-in database file.
// Every save must succeed, new ids must not collide, and the rows in the
// file must be exactly the saves reported. The workstations also meet each
// other's locks all the time: a connection that did not wait for a locked
// file fails here with "database is locked".
#include "Bizs.h"
#include "Objs.h"
#include "TestDb.h"

#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kWorkstations = 6;
constexpr int kStudentsEach = 40;
constexpr int kShared = 3;   // students every workstation graduates and places

// Writes the whole text to a pipe.
void WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

std::string ReadAll(int fd)
{
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    return out;
}

// One workstation's work; the report has a line a save: "S id" for a
// student, "R id" for a receipt, "G id" and "C id" for a graduation and a
// class placement, "K key" for a setting or pick list, "X what" for a
// failure.
std::string Workstation(const std::string& connStr, int number)
{
    std::ostringstream out;
    auto fail = [&](std::string what) {
        for (char& ch : what)
            if (ch == '\r' || ch == '\n') ch = ' ';
        out << "X " << what << "\n";
    };
    if (!GDatabase->Connect(connStr)) {
        fail("no connection");
        return out.str();
    }
    try {
        // every workstation saves the first graduation and placement of the
        // same students at once
        for (int s = 1; s <= kShared; ++s) {
            RGraduate g;
            g.StudentId = s;
            g.DocumentNo = "W" + std::to_string(number);
            g.Valimonth = 72;
            if (TGraduateSet::Save(g)) out << "G " << s << "\n";
            else fail("graduation of " + std::to_string(s));
            RClass c;
            c.StudentId = s;
            c.Classname = "W" + std::to_string(number);
            if (TClassSet::Save(c)) out << "C " << s << "\n";
            else fail("placement of " + std::to_string(s));
            // settings and pick lists new to the database, keyed by number
            if (TKeyValue2::WriteValues(100 + s, "W" + std::to_string(number), true, 1.5, number))
                out << "K " << s << "\n";
            else fail("setting " + std::to_string(s));
            if (TPickListSet::SetList(100 + s, "W" + std::to_string(number))) out << "K " << s << "\n";
            else fail("pick list " + std::to_string(s));
        }
        for (int i = 0; i < kStudentsEach; ++i) {
            RStudent st;
            st.Name = "W" + std::to_string(number) + "-" + std::to_string(i);
            if (!TStudentSet::Save(st)) {
                fail("student " + st.Name);
                continue;
            }
            out << "S " << st.Id << "\n";
            RReceipt r;
            r.StudentId = st.Id;
            r.RecSign = 1;
            r.Recfund = 100 + i;
            if (TReceiptSet::Save(r)) out << "R " << r.Id << "\n";
            else fail("receipt of " + st.Name);
        }
    } catch (const std::exception& e) {
        fail(e.what());
    }
    GDatabase->SetConnected(false);
    return out.str();
}

// The database file lies in memory where the system has such a folder: the
// test is about locks and keys, not about the disk's write-through, which
// would make it slow. Locking is the same there.
class ConcurrentSaves : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::error_code ec;
        if (std::filesystem::is_directory("/dev/shm", ec)) {
            Dir = std::filesystem::path("/dev/shm") / ("appcore-" + std::to_string(getpid()));
            std::filesystem::create_directories(Dir, ec);
        }
        if (Dir.empty() || ec) Dir = Scratch.Path();
        File = (Dir / "school.mdb").string();
        RawExec(File, "begin;\n" + ReadFileBytes(SchemaFile()) + "\ncommit;");
    }
    void TearDown() override
    {
        GDatabase->SetConnected(false);
        std::error_code ec;
        if (Dir != std::filesystem::path(Scratch.Path())) std::filesystem::remove_all(Dir, ec);
    }
    std::string ConnStr() const { return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + File + ";"; }
    void Exec(const std::string& sql) { RawExec(File, sql); }
    std::string Value(const std::string& sql) { return RawValue(File, sql); }
    int Count(const std::string& table) { return std::stoi(Value("select count(*) from " + table)); }

    TTempDir Scratch;
    std::filesystem::path Dir;
    std::string File;
    THostRecorder Rec;
};

TEST_F(ConcurrentSaves, EveryWorkstationsSavesSucceedWithUniqueIds)
{
    for (int s = 1; s <= kShared; ++s)
        Exec("insert into students(Id, Name) values (" + std::to_string(s) + ", 'shared')");
    // The children make their own connections; none is carried over.
    ASSERT_FALSE(GDatabase->GetConnected());
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<std::pair<pid_t, int>> children;
    for (int w = 0; w < kWorkstations; ++w) {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(report[0]);
            close(go[1]);
            char c;
            (void)read(go[0], &c, 1);   // all start together
            std::string text = Workstation(ConnStr(), w);
            for (std::string m : Rec.Messages()) {
                for (char& ch : m)
                    if (ch == '\r' || ch == '\n') ch = ' ';
                text += "X message: " + m + "\n";
            }
            WriteAll(report[1], text);
            close(report[1]);
            _exit(0);
        }
        close(report[1]);
        children.push_back({pid, report[0]});
    }
    close(go[0]);
    close(go[1]);   // the start signal: the children's reads return

    std::set<int> students, receipts;
    std::map<char, int> saves;
    std::string failures;
    for (auto [pid, fd] : children) {
        std::istringstream in(ReadAll(fd));
        close(fd);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "workstation process ended abnormally";
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty()) continue;
            const char kind = line[0];
            ++saves[kind];
            if (kind == 'X') failures += line.substr(2) + "\n";
            const int id = kind == 'X' ? 0 : std::stoi(line.substr(2));
            if (kind == 'S') EXPECT_TRUE(students.insert(id).second) << "student id " << id << " given twice";
            if (kind == 'R') EXPECT_TRUE(receipts.insert(id).second) << "receipt id " << id << " given twice";
        }
    }
    EXPECT_EQ(failures, "");
    const int each = kWorkstations * kStudentsEach;
    EXPECT_EQ(saves['S'], each);
    EXPECT_EQ(saves['R'], each);
    EXPECT_EQ(saves['G'], kWorkstations * kShared);
    EXPECT_EQ(saves['C'], kWorkstations * kShared);
    EXPECT_EQ(saves['K'], 2 * kWorkstations * kShared);
    // the rows are the saves reported: one a new student and receipt, one
    // graduation and placement a shared student
    EXPECT_EQ(Count("students"), kShared + each);
    EXPECT_EQ(Count("receipts"), each);
    EXPECT_EQ(Count("graduates"), kShared);
    EXPECT_EQ(Count("classes"), kShared);
    EXPECT_EQ(Value("select count(*) from keyvalue where KeyId > 100"), std::to_string(kShared));
    EXPECT_EQ(Value("select count(*) from options where [Key] > 100"), std::to_string(kShared));
    EXPECT_EQ(Value("select count(*) from receipts r join students s on s.Id = r.StudentId"), std::to_string(each));
}

}  // namespace

namespace {

class FailedSaves : public DbTest {
protected:
    // The message of the save's error; empty when it raised none.
    template <class Fn> std::string ErrorOf(Fn&& save)
    {
        try {
            save();
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
};

// A save that fails for good says so once, in the program's words with the
// database's message: no message box besides, no statement text.
TEST_F(FailedSaves, ReportTheDatabasesMessageOnce)
{
    Exec("drop table receipts; drop table graduates");
    RReceipt r;
    r.StudentId = 1;
    EXPECT_EQ(ErrorOf([&] { TReceiptSet::Save(r); }), "保存时失败,提示如下:\r\nno such table: receipts");
    EXPECT_EQ(r.Id, 0) << "a failed save leaves the id as it was";
    RGraduate g;
    g.StudentId = 1;
    EXPECT_EQ(ErrorOf([&] { TGraduateSet::Save(g); }), "保存时失败,提示如下:\r\nno such table: graduates");
    EXPECT_TRUE(Rec.Messages().empty());
}

// A key that collides whatever the id (here a unique name) makes a save try a
// bounded number of ids and then fail with the database's message.
TEST_F(FailedSaves, TryOnlySoManyIds)
{
    Exec("create unique index students_name on students (Name)");
    RStudent a;
    a.Name = "张三";
    ASSERT_TRUE(TStudentSet::Save(a));
    RStudent b;
    b.Name = "张三";
    EXPECT_EQ(ErrorOf([&] { TStudentSet::Save(b); }), "保存时失败,提示如下:\r\nUNIQUE constraint failed: students.Name");
    EXPECT_EQ(b.Id, 0);
    EXPECT_EQ(Count("students"), 1);
    EXPECT_TRUE(Rec.Messages().empty());
}

}  // namespace
