// Interpreter speed: a loop of ten million integer additions, a string
// concatenation loop and a recursive Fibonacci(25), each next to the same
// program in Lua 5.4 when lua5.4 is installed (it is not a dependency; the
// Lua runs time themselves and report through manual timing).
#include "fs_iinit.h"
#include "fs_iinterpreter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const char* const kLoop =
    "var i, s: Integer;\nbegin\n  s := 0;\n  for i := 1 to 10000000 do s := s + i;\nend.";
const char* const kConcat =
    "var i: Integer; s: String;\nbegin\n  s := '';\n  for i := 1 to 100000 do s := s + 'x';\nend.";
const char* const kFib =
    "function Fib(n: Integer): Integer;\nbegin\n  if n < 2 then Result := n\n"
    "  else Result := Fib(n - 1) + Fib(n - 2);\nend;\nvar r: Integer;\nbegin\n  r := Fib(25);\nend.";

const char* const kLuaLoop = "local s = 0 for i = 1, 10000000 do s = s + i end";
const char* const kLuaConcat = "local s = '' for i = 1, 100000 do s = s .. 'x' end";
const char* const kLuaFib =
    "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end local r = fib(25)";

void RunScript(benchmark::State& state, const char* text)
{
    fs_iinit::InitializeScriptEngine();
    TfsScript script(nullptr);
    script.SetText(text);
    if (!script.Compile()) {
        state.SkipWithError(script.ErrorMessage.c_str());
        return;
    }
    for (auto _ : state) script.Execute();
}

// Runs the Lua program in lua5.4, which times the program itself.
void RunLua(benchmark::State& state, const char* program)
{
    std::string cmd = std::string("lua5.4 -e \"local t = os.clock() ") + program +
                      " print(os.clock() - t)\" 2>/dev/null";
    for (auto _ : state) {
        std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
        char buf[64] = {};
        if (!p || !fgets(buf, sizeof buf, p.get())) {
            state.SkipWithError("lua5.4 is not installed");
            return;
        }
        state.SetIterationTime(atof(buf));
    }
}

void BM_Script_IntegerLoop(benchmark::State& s) { RunScript(s, kLoop); }
void BM_Script_StringConcat(benchmark::State& s) { RunScript(s, kConcat); }
void BM_Script_Fib25(benchmark::State& s) { RunScript(s, kFib); }
void BM_Lua_IntegerLoop(benchmark::State& s) { RunLua(s, kLuaLoop); }
void BM_Lua_StringConcat(benchmark::State& s) { RunLua(s, kLuaConcat); }
void BM_Lua_Fib25(benchmark::State& s) { RunLua(s, kLuaFib); }

}  // namespace

BENCHMARK(BM_Script_IntegerLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lua_IntegerLoop)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Script_StringConcat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lua_StringConcat)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Script_Fib25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lua_Fib25)->Unit(benchmark::kMillisecond)->UseManualTime();
