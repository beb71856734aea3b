// What the benchmarks with windows share: the window system is started
// before any benchmark runs, so that every benchmark, a Qt peer too, also
// runs alone (--benchmark_filter); fixtures live for the whole run and are
// freed at the end of main, while the window system is still there, never
// among the statics that outlive it.
//   QZ_BENCH_GUI_MAIN(start) defines main; start() starts the window system.
//   BenchGui::Fixture<T>() is the run's one T, made on first use.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

namespace BenchGui {

// What main frees after the benchmarks, the latest made first.
inline std::vector<std::function<void()>>& AtEnd()
{
    static std::vector<std::function<void()>> v;
    return v;
}

template <class T> T& Fixture()
{
    static T* f = [] {
        T* made = new T;
        AtEnd().push_back([made] { delete made; });
        return made;
    }();
    return *f;
}

inline int Main(int argc, char** argv, void (*start)())
{
    start();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (!AtEnd().empty()) {
        std::function<void()> free = std::move(AtEnd().back());
        AtEnd().pop_back();
        free();
    }
    return 0;
}

}  // namespace BenchGui

#define QZ_BENCH_GUI_MAIN(start) \
    int main(int argc, char** argv) { return BenchGui::Main(argc, argv, start); }
