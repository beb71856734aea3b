// Layout loading speed: layouts of 10,000 and 100,000 text objects (bands of
// a hundred named text objects each) loaded into a new report, next to the
// time it takes to save the larger one. Loading grows in step with the
// number of objects: the larger loads within 15 times the smaller, and
// within 3 times its own saving.
#include "frxClass.h"

#include "Streams.h"
#include "SysUtils.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kPerBand = 100;

// The layout written as a layout file is, so that building it costs
// nothing that loading is measured against.
std::string Layout(int objects)
{
    std::string s = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<TfrxReport Name=\"\">\r\n"
                    "  <TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\" "
                    "PaperSize=\"9\">\r\n";
    int bands = (objects + kPerBand - 1) / kPerBand;
    int n = 0;
    for (int b = 1; b <= bands; ++b) {
        s += "    <TfrxMasterData Name=\"MasterData" + IntToStr(b) + "\" Height=\"18.9\" Left=\"0\" Top=\"" +
             IntToStr(b * 20) + "\" Width=\"718\" RowCount=\"1\">\r\n";
        for (int i = 0; i < kPerBand && n < objects; ++i) {
            ++n;
            s += "      <TfrxMemoView Name=\"Memo" + IntToStr(n) + "\" Left=\"" + IntToStr(i * 7) +
                 "\" Top=\"0\" Width=\"100\" Height=\"18.9\" Memo.Text=\"Text " + IntToStr(n) +
                 " [Line]\"/>\r\n";
        }
        s += "    </TfrxMasterData>\r\n";
    }
    s += "  </TfrxReportPage>\r\n</TfrxReport>\r\n";
    return s;
}

const std::string& CachedLayout(int objects)
{
    static std::map<int, std::string> cache;
    auto it = cache.find(objects);
    if (it == cache.end()) it = cache.emplace(objects, Layout(objects)).first;
    return it->second;
}

void BM_LoadLayout(benchmark::State& state)
{
    const std::string& text = CachedLayout(int(state.range(0)));
    for (auto _ : state) {
        auto report = std::make_unique<TfrxReport>(nullptr);
        TStringStream s(text);
        report->LoadFromStream(&s);
        if (report->AllObjects().size() < size_t(state.range(0))) state.SkipWithError("objects missing");
        state.PauseTiming();
        report.reset();
        state.ResumeTiming();
    }
    state.counters["objects"] = double(state.range(0));
}

void BM_SaveLayout(benchmark::State& state)
{
    const std::string& text = CachedLayout(int(state.range(0)));
    TfrxReport report(nullptr);
    TStringStream in(text);
    report.LoadFromStream(&in);
    for (auto _ : state) {
        TMemoryStream out;
        report.SaveToStream(&out);
        benchmark::DoNotOptimize(out.Size());
    }
    state.counters["objects"] = double(state.range(0));
}

}  // namespace

BENCHMARK(BM_LoadLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
