// Opening the designer window on a layout of 200 text objects until the
// window has painted, against its peer in the same run: loading the same
// layout into a report and preparing it once.
#include "BenchGui.h"
#include "Forms.h"
#include "Graphics.h"
#include "GuiTesting.h"
#include "Streams.h"
#include "frxClass.h"
#include "frxDesgnForm.h"
#include "frxDesignerStartup.h"
#include "frxStartup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

void StartGui()
{
    GuiTest::Init();
    frxStartup::StartUp();
    frxDesignerStartup::StartUp();
}

// The layout (10 data bands of 20 text objects) as stored, and a scratch
// folder for the designer's settings, removed at the end of the run.
struct Layout {
    std::string Blob;
    std::string Dir;
    Layout()
    {
        char tmpl[] = "/tmp/bench-designer-XXXXXX";
        Dir = mkdtemp(tmpl);
        TfrxReport r(nullptr);
        auto* page = new TfrxReportPage(&r);
        page->SetName("Page1");
        page->SetDefaults();
        for (int b = 0; b < 10; ++b) {
            auto* band = new TfrxMasterData(page);
            band->SetName("MasterData" + std::to_string(b + 1));
            band->SetBounds(0, 20 + b * 40, 718, 30);
            band->SetRowCount(1);
            for (int m = 0; m < 20; ++m) {
                auto* memo = new TfrxMemoView(band);
                memo->SetName("Memo" + std::to_string(b * 20 + m + 1));
                memo->SetBounds(m * 35, 4, 33, 20);
                memo->SetText("学员" + std::to_string(m));
            }
        }
        TMemoryStream s;
        r.SaveToStream(&s, true, false);
        Blob.assign(static_cast<const char*>(s.Memory()), size_t(s.Size()));
    }
    ~Layout() { std::filesystem::remove_all(Dir); }
    void LoadInto(TfrxReport& r) const
    {
        TMemoryStream s;
        s.WriteBuffer(Blob.data(), int(Blob.size()));
        s.SetPosition(0);
        r.LoadFromStream(&s);
        r.IniFile = Dir + "/designer.ini";
        r.EngineOptions()->SilentMode = true;
    }
};

void BM_Designer_OpenUntilPainted(benchmark::State& state)
{
    const Layout& l = BenchGui::Fixture<Layout>();
    for (auto _ : state) {
        TfrxReport r(nullptr);
        l.LoadInto(r);
        auto f = std::make_unique<TfrxDesignerForm>(nullptr, &r);
        f->SetWindowState(wsNormal);
        f->SetBounds(0, 0, 1280, 860);
        f->Show();
        std::unique_ptr<TBitmap> shot(GuiTest::Grab(f.get()));
        benchmark::DoNotOptimize(shot->Canvas()->Pixels(1, 1));
        f.reset();
    }
}

void BM_Peer_LoadAndPrepare(benchmark::State& state)
{
    const Layout& l = BenchGui::Fixture<Layout>();
    for (auto _ : state) {
        TfrxReport r(nullptr);
        l.LoadInto(r);
        benchmark::DoNotOptimize(r.PrepareReport());
    }
}

}  // namespace

BENCHMARK(BM_Designer_OpenUntilPainted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_LoadAndPrepare)->Unit(benchmark::kMillisecond);

QZ_BENCH_GUI_MAIN(StartGui)
