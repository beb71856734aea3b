// The main window over a school of 100,000 students.
//
// Start: from starting the program (logged in by its command line, headless)
// to its main window shown with every student listed in the grid, against a
// minimal Qt program that opens the same database file, reads the same
// query's rows and shows them in a table view; both started as new processes
// the same way, the peer ending at the same point.
//
// Node: selecting the tree node of the students in training with drive type
// C1 (about 50,000 of them) in a main window made in this process, until the
// grid shows them, against the sqlite3 shell running the same statement over
// the same file.
#include "BenchStudents.h"

#include "Bizs.h"
#include "DBConfig.h"
#include "Database.h"
#include "Facade.h"
#include "Forms.h"
#include "Objs.h"
#include "main.h"
#include "qzProj.h"
#include "qzStartup.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Runs the program with its arguments and the extra environment, its
// standard input from a file when one is given; false when it failed.
bool Spawn(const std::string& exe, const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
           const std::string& input = {})
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const auto& e : extraEnv) env.push_back(e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> all{exe};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!input.empty()) posix_spawn_file_actions_addopen(&fa, 0, input.c_str(), 0, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", 1, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The school's file with its company filled in (so the login asks for
// nothing), and a program folder whose cfg.ini connects to it: the program
// is linked into that folder, since it finds its settings beside itself.
struct TSchool {
    std::string File;
    std::string Folder;
    std::string Program;

    TSchool()
    {
        File = BenchStudents::Database();
        sqlite3* db = nullptr;
        sqlite3_open(File.c_str(), &db);
        sqlite3_exec(db, "insert or replace into Company(Id, CompanyName) values (1, '恒岳驾校测试分校')", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
        Folder = fs::path(File).parent_path() / "program";
        fs::create_directories(Folder);
        Program = Folder + "/pemtal";
        std::error_code ec;
        fs::remove(Program, ec);
        fs::create_hard_link(QZ_PEMTAL, Program, ec);
        if (ec) fs::copy_file(QZ_PEMTAL, Program, fs::copy_options::overwrite_existing);
        qzProj::SetProgramFolder(Folder);
        TConfiger c;
        c.providerIdx = TConfiger::kindJet;
        c.defaultCon = false;
        c.jetfile = File;
        c.Save();
        qzProj::SetProgramFolder("");
    }
    ~TSchool()
    {
        std::error_code ec;
        fs::remove_all(fs::path(File).parent_path(), ec);
    }
};

TSchool& School()
{
    static TSchool s;
    return s;
}

const std::vector<std::string> kMainProbe = {"QT_QPA_PLATFORM=offscreen", "PEMTAL_STARTUP_PROBE=main"};

bool RunProgram()
{
    return Spawn(School().Program, {"sa", "", "x"}, kMainProbe);
}

bool RunPeer()
{
    return Spawn(QZ_MAINWIN_PEER, {School().File, BenchStudents::kStudentQuery}, kMainProbe);
}

void BM_ProgramToMainWindow(benchmark::State& state)
{
    for (auto _ : state)
        if (!RunProgram()) state.SkipWithError("the program failed");
}
BENCHMARK(BM_ProgramToMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_QtTableViewOfTheStudents(benchmark::State& state)
{
    for (auto _ : state)
        if (!RunPeer()) state.SkipWithError("the peer failed");
}
BENCHMARK(BM_QtTableViewOfTheStudents)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Both started in turn, so a change of load falls on both alike; the
// counter is the program's time over the peer's (target: at most 1.5).
void BM_MainWindowRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration program{}, peer{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (!RunProgram()) state.SkipWithError("the program failed");
        auto t1 = Clock::now();
        if (!RunPeer()) state.SkipWithError("the peer failed");
        auto t2 = Clock::now();
        program += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(program.count()) / double(peer.count());
}
BENCHMARK(BM_MainWindowRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// ---- selecting a node ---------------------------------------------------------------------------

// The program's objects in this process, over the school, with a main
// window logged in as sa and shown.
struct TWindow {
    std::unique_ptr<TmainFrm> Frm;
    TTreeNode* Node = nullptr;
    TTreeNode* Other = nullptr;

    TWindow()
    {
        School();
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        InitGui();
        Application->Initialize();
        qzStartup::StartUpLibraries();
        Database::Initialize();
        qzProj::Initialize();
        GDatabase->Connect(BenchStudents::JetString());
        GOperator->Load("sa");
        PubFrm = new TPubFrm(Application);
        GMall = new Tmall(Application);
        Frm = std::make_unique<TmainFrm>(nullptr);
        Frm->SetCommandLine({"sa", "", "x"});
        Frm->Login(true);
        Frm->Show();
        Application->ProcessMessages();
        for (TTreeNode* n = Frm->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext()) {
            if (n->Text() == "C1" && n->Parent() && n->Parent()->Text() == "驾照类型") Node = n;
            if (n->Text() == "已退学") Other = n;
        }
        // The node's own statement, for the shell.
        Select(Node);
        std::ofstream(School().Folder + "/query.sql")
            << ".output /dev/null\n" << Frm->StudentList()->QuerySql() << ";\n";
    }
    ~TWindow()
    {
        Frm.reset();
        GDatabase->SetConnected(false);
        qzProj::Finalize();
        Database::Finalize();
        qzStartup::ShutDownLibraries();
    }
    // Selects the node and brings the window up to date.
    int Select(TTreeNode* n)
    {
        Frm->TreeView1->SetSelected(n);
        Frm->Repaint();
        Application->ProcessMessages();
        return Frm->StudentList()->DataSet()->RecordCount();
    }
};

TWindow& Window()
{
    static TWindow w;
    return w;
}

void SelectNode(benchmark::State& state)
{
    TWindow& w = Window();
    if (!w.Node) {
        state.SkipWithError("no node");
        return;
    }
    state.PauseTiming();
    w.Select(w.Other);
    state.ResumeTiming();
    const int n = w.Select(w.Node);
    if (n < 45000 || n > 55000) state.SkipWithError("the node does not list about 50,000 students");
}

bool RunShell()
{
    Window();
    return Spawn("/usr/bin/sqlite3", {School().File}, {}, School().Folder + "/query.sql");
}

void BM_SelectNodeOf50000(benchmark::State& state)
{
    for (auto _ : state) SelectNode(state);
}
BENCHMARK(BM_SelectNodeOf50000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Sqlite3ShellSameStatement(benchmark::State& state)
{
    for (auto _ : state)
        if (!RunShell()) state.SkipWithError("sqlite3 failed");
}
BENCHMARK(BM_Sqlite3ShellSameStatement)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SelectNodeRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration program{}, peer{};
    TWindow& w = Window();
    for (auto _ : state) {
        w.Select(w.Other);
        auto t0 = Clock::now();
        const int n = w.Select(w.Node);
        auto t1 = Clock::now();
        if (!RunShell()) state.SkipWithError("sqlite3 failed");
        auto t2 = Clock::now();
        if (n < 45000) state.SkipWithError("the node does not list about 50,000 students");
        program += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(program.count()) / double(peer.count());
}
BENCHMARK(BM_SelectNodeRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
