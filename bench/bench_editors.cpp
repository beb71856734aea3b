// The mask edits' regular-expression engine against std::regex_match: a date
// mask, a telephone mask and an identity-card-number mask, each compiled once
// and run over the same 100,000 generated inputs. The engine is fed character
// by character (as typing feeds it) and asked at the end whether the text is
// complete; std::regex_match answers the same question for the whole text.
#include "SysUtils.h"
#include "cxRegExpr.h"

#include <benchmark/benchmark.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr int kInputs = 100000;

struct TMaskCase {
    const char* Mask;         // the mask syntax
    const char* Ecma;         // the same as an ECMAScript pattern
};

// The date mask the format controller builds for "yyyy-mm-dd" (without the
// date words), a telephone mask and an identity-card-number mask.
const TMaskCase kCases[] = {
    {"\\d\\d\\d\\d'-'((0?[1-9]|1[012]))'-'([012]?[1-9]|[123]0|31)",
     "\\d\\d\\d\\d-((0?[1-9]|1[012]))-([012]?[1-9]|[123]0|31)"},
    {"('('\\d{3,4}')'|\\d{3,4}'-')?\\d{7,8}", "(\\(\\d{3,4}\\)|\\d{3,4}-)?\\d{7,8}"},
    {"[1-9]\\d{5}(19|20)\\d\\d(0[1-9]|1[012])(0[1-9]|[12]\\d|3[01])\\d\\d\\d[0-9Xx]",
     "[1-9]\\d{5}(19|20)\\d\\d(0[1-9]|1[012])(0[1-9]|[12]\\d|3[01])\\d\\d\\d[0-9Xx]"},
};

// Inputs near the mask: about half valid, the rest with one character
// changed, dropped or added.
std::vector<std::string> MakeInputs(int AKind)
{
    std::mt19937 rnd(20261210u + unsigned(AKind));
    auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rnd); };
    auto digits = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += char('0' + num(0, 9));
        return s;
    };
    auto two = [&](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    std::vector<std::string> r;
    r.reserve(kInputs);
    for (int i = 0; i < kInputs; ++i) {
        std::string s;
        if (AKind == 0) {
            s = std::to_string(num(1990, 2030)) + "-" + (num(0, 1) ? two(num(1, 12)) : std::to_string(num(1, 12))) +
                "-" + two(num(1, 31));
        } else if (AKind == 1) {
            int k = num(0, 2);
            s = (k == 0 ? "(" + digits(num(3, 4)) + ")" : k == 1 ? digits(num(3, 4)) + "-" : "") +
                digits(num(7, 8));
        } else {
            s = std::to_string(num(1, 9)) + digits(5) + std::to_string(num(19, 20)) + digits(2) +
                two(num(1, 12)) + two(num(1, 28)) + digits(3) + (num(0, 10) ? digits(1) : "X");
        }
        int damage = num(0, 5);
        if (damage == 1) s[size_t(num(0, int(s.size()) - 1))] = "0a-X("[num(0, 4)];
        else if (damage == 2) s.erase(size_t(num(0, int(s.size()) - 1)), 1);
        else if (damage == 3) s.insert(size_t(num(0, int(s.size()))), 1, char('0' + num(0, 9)));
        r.push_back(s);
    }
    return r;
}

const std::vector<std::string>& Inputs(int AKind)
{
    static std::vector<std::string> inputs[3] = {MakeInputs(0), MakeInputs(1), MakeInputs(2)};
    return inputs[AKind];
}

void BM_MaskEngine(benchmark::State& state)
{
    int kind = int(state.range(0));
    const auto& inputs = Inputs(kind);
    TcxRegExpr r;
    r.Compile(kCases[kind].Mask);
    int64_t matched = 0;
    for (auto _ : state) {
        matched = 0;
        for (const std::string& s : inputs) {
            r.Reset();
            bool ok = true;
            for (char c : s) {
                char32_t ch = static_cast<unsigned char>(c);
                if (!r.Next(ch)) { ok = false; break; }
            }
            if (ok && r.IsFinal()) ++matched;
        }
        benchmark::DoNotOptimize(matched);
    }
    state.counters["matched"] = double(matched);
    state.SetItemsProcessed(state.iterations() * int64_t(inputs.size()));
}

void BM_StdRegex(benchmark::State& state)
{
    int kind = int(state.range(0));
    const auto& inputs = Inputs(kind);
    std::regex re(kCases[kind].Ecma, std::regex::ECMAScript);
    int64_t matched = 0;
    for (auto _ : state) {
        matched = 0;
        for (const std::string& s : inputs)
            if (std::regex_match(s, re)) ++matched;
        benchmark::DoNotOptimize(matched);
    }
    state.counters["matched"] = double(matched);
    state.SetItemsProcessed(state.iterations() * int64_t(inputs.size()));
}

// 0 date, 1 telephone, 2 identity card.
BENCHMARK(BM_MaskEngine)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdRegex)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
