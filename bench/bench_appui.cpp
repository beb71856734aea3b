// Start-up: the time from starting the program to its login dialog being
// shown (on the built-in database, headless), against a plain Qt program
// showing a dialog with the login window's texts and controls
// (startup_peer.cpp), both started as a new process the same way.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Starts the program with the environment plus the extra settings and waits for it.
void RunOnce(benchmark::State& state, const std::string& exe, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const auto& e : extraEnv) env.push_back(e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = exe;
    char* argv[] = {arg0.data(), nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", 1, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv, envp.data()) != 0) {
        state.SkipWithError(("cannot start " + exe).c_str());
        return;
    }
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError((exe + " failed").c_str());
}

const std::vector<std::string> kHeadless = {"QT_QPA_PLATFORM=offscreen", "PEMTAL_STARTUP_PROBE=1"};

void BM_ProgramToLoginDialog(benchmark::State& state)
{
    for (auto _ : state) RunOnce(state, QZ_PEMTAL, kHeadless);
}
BENCHMARK(BM_ProgramToLoginDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_PeerLoginDialog(benchmark::State& state)
{
    for (auto _ : state) RunOnce(state, QZ_STARTUP_PEER, kHeadless);
}
BENCHMARK(BM_PeerLoginDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Both programs started in turn, so a change of load on the machine falls
// on both alike; the counter is the program's time over the peer's (target:
// at most 2).
void BM_StartupRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration program{}, peer{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        RunOnce(state, QZ_PEMTAL, kHeadless);
        auto t1 = Clock::now();
        RunOnce(state, QZ_STARTUP_PEER, kHeadless);
        auto t2 = Clock::now();
        program += t1 - t0;
        peer += t2 - t1;
    }
    if (peer.count() > 0) state.counters["ratio"] = double(program.count()) / double(peer.count());
}
BENCHMARK(BM_StartupRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
