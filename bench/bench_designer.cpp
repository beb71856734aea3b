// The designer's costs next to their peers in the same run: an undo
// snapshot of a 200-object layout against saving the same layout to a
// memory stream, and colouring a 5,000-line script in the code editor
// against the script tokenizer reading the same text once.
#include "Streams.h"
#include "frxClass.h"
#include "frxDesgnCtrls.h"
#include "frxSyntaxMemo.h"
#include "fs_iparser.h"
#include "fs_istartup.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// A page with 20 bands of 9 memos each (200 objects).
std::unique_ptr<TfrxReport> Layout()
{
    frxClass::Initialize();
    auto r = std::make_unique<TfrxReport>(nullptr);
    r->EngineOptions()->SilentMode = true;
    auto* page = new TfrxReportPage(r.get());
    page->SetName("Page1");
    for (int b = 0; b < 20; ++b) {
        auto* band = new TfrxMasterData(page);
        band->SetName("MasterData" + std::to_string(b + 1));
        band->SetBounds(0, b * 40, 700, 38);
        for (int m = 0; m < 9; ++m) {
            auto* memo = new TfrxMemoView(band);
            memo->SetName("Memo" + std::to_string(b * 9 + m + 1));
            memo->SetBounds(m * 75, 2, 70, 18);
            memo->Memo()->SetText("[d0.\"学员姓名\"] 第 " + std::to_string(m) + " 列");
        }
    }
    return r;
}

void BM_Designer_UndoSnapshot(benchmark::State& state)
{
    auto r = Layout();
    for (auto _ : state) {
        TfrxUndoBuffer undo;
        undo.AddUndo(r.get());
        benchmark::DoNotOptimize(undo.UndoCount());
    }
}

void BM_Peer_SaveToMemoryStream(benchmark::State& state)
{
    auto r = Layout();
    for (auto _ : state) {
        TMemoryStream m;
        r->SaveToStream(&m, true, false);
        benchmark::DoNotOptimize(m.Size());
    }
}

std::string Script()
{
    std::string s;
    for (int i = 0; i < 1000; ++i) {
        s += "procedure Memo" + std::to_string(i) + "OnBeforePrint(Sender: TfrxComponent);\r\n";
        s += "begin\r\n";
        s += "  // 学员 " + std::to_string(i) + " 的成绩\r\n";
        s += "  if <d0.\"Score\"> > " + std::to_string(i % 100) + " then Memo1.Text := '合格' + IntToStr($1F);\r\n";
        s += "end;\r\n";
    }
    return s;   // 5,000 lines
}

void BM_Designer_ColourScript(benchmark::State& state)
{
    fs_istartup::StartUp();
    TfrxSyntaxText t;
    t.SetSyntaxType("PascalScript");
    t.SetText(Script());
    for (auto _ : state) {
        t.UpdateView();
        benchmark::DoNotOptimize(t.ColorMap().size());
    }
    state.counters["lines"] = double(t.Lines()->Count());
}

void BM_Peer_TokenizeScript(benchmark::State& state)
{
    fs_istartup::StartUp();
    const std::string text = Script();
    TfsParser p;
    p.SetCommentBlock1("{,}");
    p.CommentLine1 = "//";
    p.StringQuotes = "'";
    for (auto _ : state) {
        p.SetText(text);
        int tokens = 0;
        for (;;) {
            p.SkipSpaces();
            int at = p.Position();
            if (at > p.Size()) break;
            if (p.GetWord().empty() && p.GetNumber().empty() && p.GetString().empty() && p.GetChar().empty())
                p.SetPosition(at + 1);
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
}

}  // namespace

BENCHMARK(BM_Designer_UndoSnapshot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_SaveToMemoryStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Designer_ColourScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_TokenizeScript)->Unit(benchmark::kMillisecond);
