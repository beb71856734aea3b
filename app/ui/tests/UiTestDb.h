// The application-core test frame (a fresh school database in a scratch
// folder, the recording host) with the GUI started, for the windows' tests.
#pragma once

#include "../../core/tests/TestDb.h"
#include "GuiTesting.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

class UiDbTest : public DbTest {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        qzProj::SetProgramFolder(Dir.Path());
        DbTest::SetUp();
    }
    void TearDown() override
    {
        DbTest::TearDown();
        qzProj::SetProgramFolder("");
        GuiTest::ProcessEvents();
    }
};

// The shown form of a class (a modal dialog the code under test opened).
template <class F> F* ShownForm()
{
    for (int i = Screen->FormCount() - 1; i >= 0; --i)
        if (auto* f = dynamic_cast<F*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

// The modal form shown now, if any: of dialogs opened from dialogs, the
// last one (the screen keeps its forms most recently active first).
inline TCustomForm* ModalForm()
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Visible() && Screen->Forms(i)->FormState().Contains(fsModal)) return Screen->Forms(i);
    return nullptr;
}

// Steps run one after another, each once a modal form is up and has
// finished with the step before (a step that ends a dialog waits for the
// next one to show). Steps not run when the script goes out of scope are
// dropped.
class TDialogScript {
public:
    explicit TDialogScript(std::vector<std::function<void()>> steps)
    {
        Queue(std::make_shared<std::vector<std::function<void()>>>(std::move(steps)), FAlive, 0, nullptr);
    }
    ~TDialogScript() { *FAlive = false; }
    TDialogScript(const TDialogScript&) = delete;
    TDialogScript& operator=(const TDialogScript&) = delete;

private:
    using TSteps = std::shared_ptr<std::vector<std::function<void()>>>;
    static void Queue(TSteps steps, std::shared_ptr<bool> alive, size_t i, TCustomForm* last)
    {
        if (i >= steps->size()) return;
        GuiTest::Later([steps, alive, i, last] {
            if (!*alive) return;
            TCustomForm* f = ModalForm();
            if (!f || (f == last && f->ModalResult() != mrNone)) {
                Queue(steps, alive, i, last);
                return;
            }
            // The next step is queued first, so it can act on a dialog this one opens.
            Queue(steps, alive, i + 1, f);
            (*steps)[i]();
        });
    }
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Ends the next modal form shown with the result.
inline std::unique_ptr<TDialogScript> EndModal(TModalResult r)
{
    return std::make_unique<TDialogScript>(std::vector<std::function<void()>>{[r] { ModalForm()->SetModalResult(r); }});
}

// Ends the test program with a failure when the scope outlives its limit (a
// dialog no step answers, a loop that never ends), so that such a fault
// fails the run in place of hanging it.
class TTimeLimit {
public:
    TTimeLimit(std::chrono::seconds limit, std::string what) : FWhat(std::move(what))
    {
        FWatch = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(FMutex);
            if (FDone.wait_for(lock, limit, [this] { return FOver; })) return;
            std::fprintf(stderr, "%s: still running after %lld s (a dialog left unanswered?)\n", FWhat.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(1);
        });
    }
    ~TTimeLimit()
    {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FOver = true;
        }
        FDone.notify_one();
        FWatch.join();
    }
    TTimeLimit(const TTimeLimit&) = delete;
    TTimeLimit& operator=(const TTimeLimit&) = delete;

private:
    std::string FWhat;
    std::mutex FMutex;
    std::condition_variable FDone;
    bool FOver = false;
    std::thread FWatch;
};
