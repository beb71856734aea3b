// Any bytes as a stored report layout, prepared on a small data set of six
// students (Id, Name, Class, Fee) named d0: the layout's script, its
// bracketed expressions, aggregates and bands all run. Loading raises or
// succeeds; preparing ends, normally or with the report's own errors, under
// a budget of script lines and pages and a watchdog (a layout may loop for
// ever, as a stop button would end it); dialog pages are cancelled once
// shown; every prepared page draws.
#include "DB.h"
#include "Forms.h"
#include "Graphics.h"
#include "RecordingHost.h"
#include "Streams.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "frxPreviewPages.h"
#include "fs_iinterpreter.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::unique_ptr<TDataSet> Students()
{
    auto ds = std::make_unique<TDataSet>();
    ds->FieldDefs()->Add("Id", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 40);
    ds->FieldDefs()->Add("Class", ftString, 10);
    ds->FieldDefs()->Add("Fee", ftFloat);
    ds->CreateDataSet();
    const struct {
        int Id;
        const char* Name;
        const char* Class;
        double Fee;
    } rows[] = {{1, "王五", "A", 100}, {2, "李四", "A", 150.5}, {3, "张三", "B", -50},
                {4, "Alice", "B", 0},  {5, "", "C", 1e9},    {6, "赵六", "C", 80}};
    for (const auto& r : rows) ds->AppendRecord({r.Id, r.Name, r.Class, r.Fee});
    ds->First();
    return ds;
}

void InitOnce()
{
    static bool done = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        InitGui();
        Application->Initialize();
        // A dialog page shown while preparing is cancelled at once.
        Application->OnIdle = [](TObject*, bool&) {
            if (!Application->ModalLevel()) return;
            for (int i = 0; i < Screen->FormCount(); ++i) Screen->Forms(i)->SetModalResult(mrCancel);
        };
        return true;
    }();
    (void)done;
}

constexpr int kScriptLines = 5000;
constexpr int kPages = 30;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InitOnce();
    static auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    host->Calls.clear();

    std::unique_ptr<TDataSet> students = Students();
    TfrxDBDataset set(nullptr);
    set.SetName("d0");
    set.SetUserName("d0");
    set.SetDataSet(students.get());
    TfrxReport report;
    report.EngineOptions()->SilentMode = true;
    report.ShowProgress = false;
    report.DataSets()->Add(&set);
    try {
        TStringStream s(std::string(reinterpret_cast<const char*>(data), size));
        report.LoadFromStream(&s);
    } catch (const Exception&) {
        return 0;
    }
    report.EngineOptions()->SilentMode = true;
    report.ShowProgress = false;
    if (!report.DataSets()->Find(&set)) report.DataSets()->Add(&set);

    int lines = kScriptLines;
    report.Script()->OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (--lines <= 0) report.SetTerminated(true);
    };
    report.OnProgress = [&](TfrxReport* r, TfrxProgressType, int progress) {
        if (progress > kPages) r->SetTerminated(true);
    };
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(2), [&] { return done; })) report.SetTerminated(true);
    });
    try {
        report.PrepareReport();
    } catch (const Exception&) {
    }
    {
        std::lock_guard<std::mutex> lock(m);
        done = true;
    }
    cv.notify_one();
    watchdog.join();

    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    TBitmap bmp(64, 64);
    for (int i = 0; i < pages->Count() && i < 4; ++i) {
        try {
            pages->DrawPage(i, bmp.Canvas(), 0.1, 0.1, 0, 0);
        } catch (const Exception&) {
        }
    }
    report.DataSets()->Clear();
    return 0;
}
