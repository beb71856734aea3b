// The data controller over one million records of (integer, float, GBK
// text, date): sorting, filtering with LIKE, grouping with a sum summary,
// and std::sort over the same integers as the yardstick.
#include "cxData.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRecords = 1000000;

struct TColumn : TObject {};

class TBenchController : public TcxDataController {
public:
    std::vector<std::unique_ptr<TColumn>> Columns;
    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
};

struct TData {
    std::unique_ptr<TBenchController> Controller;
    std::vector<int> Integers;
};

TData& Data()
{
    static TData data = [] {
        TData d;
        d.Controller.reset(cxCreateDataController<TBenchController>());
        TBenchController* c = d.Controller.get();
        TcxValueTypeClass types[] = {TcxIntegerValueType::Class(), TcxFloatValueType::Class(),
                                     TcxStringValueType::Class(), TcxDateTimeValueType::Class()};
        for (int i = 0; i < 4; ++i) {
            c->Columns.push_back(std::make_unique<TColumn>());
            c->AddItem(c->Columns.back().get());
            c->ChangeValueTypeClass(i, types[i]);
        }
        static const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴",
                                         "徐", "孙", "胡", "朱", "高", "林", "何", "郭", "马", "罗"};
        static const char* given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋",
                                      "勇", "艳", "杰", "涛", "明", "超", "秀英", "霞", "平", "刚"};
        std::mt19937 rng(20261210);
        c->BeginUpdate();
        c->SetRecordCount(kRecords);
        TcxDataStorage* st = c->Storage();
        TcxValueDef* defs[4];
        for (int i = 0; i < 4; ++i) defs[i] = c->GetItemField(i)->ValueDef();
        d.Integers.resize(kRecords);
        for (int r = 0; r < kRecords; ++r) {
            int v = int(rng() % 1000000);
            d.Integers[size_t(r)] = v;
            st->WriteValue(r, defs[0], Variant(v));
            st->WriteValue(r, defs[1], Variant(double(rng() % 100000) / 100.0));
            std::string name = std::string(surnames[rng() % 20]) + given[rng() % 20] + given[rng() % 20];
            st->WriteValue(r, defs[2], Variant(name));
            st->WriteValue(r, defs[3], Variant::FromDate(40000 + double(rng() % 3000)));
        }
        c->EndUpdate();
        return d;
    }();
    return data;
}

void ResetController(TBenchController* c)
{
    c->BeginUpdate();
    c->ClearSorting(false);
    while (c->Groups()->GetGroupingItemCount() > 0) c->Groups()->ChangeGroupIndex(c->Groups()->GetGroupingItemIndex(0), -1);
    c->Filter()->SetActive(false);
    c->Filter()->Clear();
    c->Summary()->DefaultGroupSummaryItems()->Clear();
    c->Summary()->FooterSummaryItems()->Clear();
    c->EndUpdate();
}

void BM_StdSortIntegers(benchmark::State& state)
{
    const std::vector<int>& src = Data().Integers;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<int> v = src;
        state.ResumeTiming();
        std::sort(v.begin(), v.end());
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_StdSortIntegers)->Unit(benchmark::kMillisecond);

void SortBy(benchmark::State& state, std::vector<std::pair<int, TcxDataSortOrder>> keys)
{
    TBenchController* c = Data().Controller.get();
    for (auto _ : state) {
        state.PauseTiming();
        ResetController(c);
        state.ResumeTiming();
        c->BeginUpdate();
        for (auto [item, order] : keys) c->ChangeSorting(item, order);
        c->EndUpdate();
        benchmark::DoNotOptimize(c->GetFilteredRecordIndex(0));
    }
    ResetController(c);
}

void BM_SortByInteger(benchmark::State& state) { SortBy(state, {{0, soAscending}}); }
BENCHMARK(BM_SortByInteger)->Unit(benchmark::kMillisecond);

void BM_SortByText(benchmark::State& state) { SortBy(state, {{2, soAscending}}); }
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);

void BM_SortByTextThenDate(benchmark::State& state) { SortBy(state, {{2, soAscending}, {3, soDescending}}); }
BENCHMARK(BM_SortByTextThenDate)->Unit(benchmark::kMillisecond);

void BM_FilterLike(benchmark::State& state)
{
    TBenchController* c = Data().Controller.get();
    int passed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetController(c);
        state.ResumeTiming();
        c->Filter()->BeginUpdate();
        c->Filter()->AddItem(nullptr, c->GetItem(2), foLike, Variant("%伟%"), "%伟%");
        c->Filter()->SetActive(true);
        c->Filter()->EndUpdate();
        passed = c->GetFilteredRecordCount();
    }
    state.counters["passed"] = passed;
    ResetController(c);
}
BENCHMARK(BM_FilterLike)->Unit(benchmark::kMillisecond);

void BM_GroupWithSum(benchmark::State& state)
{
    TBenchController* c = Data().Controller.get();
    int groups = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetController(c);
        state.ResumeTiming();
        c->BeginUpdate();
        c->Summary()->DefaultGroupSummaryItems()->Add(c->GetItem(1), spGroup, skSum);
        c->Summary()->FooterSummaryItems()->Add(c->GetItem(1), spFooter, skSum);
        c->Groups()->ChangeGroupIndex(2, 0);
        c->EndUpdate();
        groups = c->GetRowCount();
    }
    state.counters["groups"] = groups;
    ResetController(c);
}
BENCHMARK(BM_GroupWithSum)->Unit(benchmark::kMillisecond);

}  // namespace
