// The design surface's costs next to their peers in the same run: one full
// repaint of a page holding 500 text objects against drawing the same
// objects onto a bitmap of the same size as the report engine does, and one
// step of dragging 100 selected objects (the move and its repaint) against
// that full repaint; and selecting one object with the object inspector
// showing its properties against that full repaint.
#include "BenchGui.h"
#include "Forms.h"
#include "Graphics.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "frxClass.h"
#include "TestDesigner.h"
#include "frxDesgnEditors.h"
#include "frxDesgnWorkspace.h"
#include "frxInsp.h"
#include "frxrcInsp.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int W = 800, H = 1000;

void StartGui()
{
    GuiTest::Init();
    frxClass::Initialize();
    frxrcInsp::Initialize();
    frxDesgnEditors::Initialize();
}

// 25 bands of 20 text objects each on a shown surface.
struct Page {
    TfrxReport Report{nullptr};
    TfrxReportPage* RPage;
    TForm Form{nullptr};
    TfrxDesignerWorkspace* Ws;
    TList Objects, Selected;
    std::vector<TfrxComponent*> Views;
    Page()
    {
        Report.EngineOptions()->SilentMode = true;
        RPage = new TfrxReportPage(&Report);
        RPage->SetName("Page1");
        for (int b = 0; b < 25; ++b) {
            auto* band = new TfrxMasterData(RPage);
            band->SetName("MasterData" + std::to_string(b + 1));
            band->SetBounds(0, b * 40, W, 38);
            for (int m = 0; m < 20; ++m) {
                auto* memo = new TfrxMemoView(band);
                memo->SetName("Memo" + std::to_string(b * 20 + m + 1));
                memo->SetBounds(m * 39, 2, 36, 18);
                memo->Memo()->SetText("学员" + std::to_string(m));
                Views.push_back(memo);
            }
        }
        Form.SetBounds(0, 0, W + 20, H + 20);
        Ws = new TfrxDesignerWorkspace(&Form);
        Ws->SetParent(&Form);
        Ws->SetBounds(0, 0, W, H);
        Ws->SetObjects(&Objects);
        Ws->SetSelectedObjects(&Selected);
        Ws->SetPage(RPage);
        Ws->FreeBands = true;
        for (TfrxComponent* c : RPage->AllObjects()) Objects.Add(c);
        Selected.Add(RPage);
        Form.Show();
    }
};

void BM_Workspace_FullRepaint(benchmark::State& state)
{
    Page& p = BenchGui::Fixture<Page>();
    p.Selected.Clear();
    p.Selected.Add(p.RPage);
    TBitmap bmp(W, H);
    for (auto _ : state) {
        p.Ws->PaintTo(bmp.Canvas());
        benchmark::DoNotOptimize(bmp.Canvas()->Pixels(1, 1));
    }
}

void BM_Peer_EngineDrawsObjects(benchmark::State& state)
{
    Page& p = BenchGui::Fixture<Page>();
    TBitmap bmp(W, H);
    TCanvas* c = bmp.Canvas();
    for (auto _ : state) {
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, W, H));
        for (TfrxComponent* o : p.RPage->AllObjects()) o->Draw(c, 1, 1, 0, 0);
        benchmark::DoNotOptimize(c->Pixels(1, 1));
    }
}

// 100 selected objects dragged back and forth, each mouse move repainted.
void BM_Workspace_DragStep(benchmark::State& state)
{
    Page& p = BenchGui::Fixture<Page>();
    p.Ws->GridAlign = false;
    p.Selected.Clear();
    for (int i = 0; i < 100; ++i) p.Selected.Add(p.Views[size_t(i)]);
    TfrxComponent* first = p.Views[0];
    const int x = int(first->AbsLeft() + 10), y = int(first->AbsTop() + 8);
    p.Ws->DoMouseMove({}, x, y);
    p.Ws->DoMouseDown(mbLeft, {}, x, y);
    TBitmap bmp(W, H);
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ % 2) ? 0 : 4;
        p.Ws->DoMouseMove({ssLeft}, x + dx, y);
        p.Ws->PaintTo(bmp.Canvas());
        benchmark::DoNotOptimize(bmp.Canvas()->Pixels(1, 1));
    }
    p.Ws->DoMouseUp(mbLeft, {}, x, y);
    p.Selected.Clear();
    p.Selected.Add(p.RPage);
}

// The inspector of a designer window over the same page, shown.
struct Inspector {
    Page& P = BenchGui::Fixture<Page>();
    TTestDesigner Designer{&P.Report};
    TfrxObjectInspector* Insp;
    Inspector()
    {
        Designer.FillObjects();
        Insp = new TfrxObjectInspector(&Designer);
        Insp->SetBounds(0, 0, 240, 500);
        Insp->SetObjectList(Designer.Objects());
        Insp->Show();
    }
};

// Another text object selected each time; the inspector lists its
// properties and paints its grid.
void BM_Inspector_SelectObject(benchmark::State& state)
{
    Inspector& i = BenchGui::Fixture<Inspector>();
    size_t n = 0;
    for (auto _ : state) {
        i.Designer.Select({i.P.Views[n++ % i.P.Views.size()]});
        i.Insp->UpdateProperties();
        i.Insp->PaintGrid();
        benchmark::DoNotOptimize(i.Insp->GridBitmap()->Canvas()->Pixels(1, 1));
    }
}

}  // namespace

BENCHMARK(BM_Workspace_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer_EngineDrawsObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Workspace_DragStep)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_Inspector_SelectObject)->Unit(benchmark::kMillisecond);

QZ_BENCH_GUI_MAIN(StartGui)
