// Any text as a script. The first byte chooses: bits 0-1 the language, bit 2
// whether the rest is source or the precompiled program tree of a unit (the
// text a host gives through OnGetILUnit), bit 3 whether the script finds a
// window to work on: Form1 with Edit1, Combo1, List1 and Button1, and
// Bitmap1, as global objects (it may free them, draw, show the form modally:
// a modal form is cancelled as soon as the loop idles).
// Source: its program tree, written out, reads back to the same text.
// Both: compiling succeeds or refuses with a message; a compiled script runs
// under a statement budget and ends normally or with an exception. A loop
// with an empty body runs no statement, so a watchdog also stops the run
// after a second, as a stop button would.
#include "Exceptions.h"
#include "Forms.h"
#include "RecordingHost.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "fs_iilparser.h"
#include "fs_iinit.h"
#include "fs_iinterpreter.h"
#include "fs_xml.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

void CheckTreeRoundTrip(TfsScript& script, const std::string& text)
{
    std::string tree;
    try {
        TfsILParser parser(&script);
        parser.SelectLanguage(script.SyntaxType());
        if (!parser.BuildProgramTree(text)) return;
        tree = parser.ProgramTree()->SaveToString();
    } catch (const Exception&) {
        return;
    }
    TfsXMLDocument again;
    again.LoadFromString(tree);   // a written tree always reads back
    if (again.SaveToString() != tree) abort();
}

// The window the script works on. Whatever the script leaves of it, and any
// form it made, is freed after the run.
class TWindowFixture {
public:
    explicit TWindowFixture(TfsScript& script)
    {
        auto* f = new TForm(nullptr);
        f->SetCaption("Form1");
        f->SetBounds(0, 0, 200, 160);
        auto* e = new TEdit(f);
        e->SetParent(f);
        auto* c = new TComboBox(f);
        c->SetParent(f);
        c->Items()->SetCommaText("a,b,c");
        auto* l = new TListBox(f);
        l->SetParent(f);
        l->Items()->SetCommaText("x,y");
        auto* b = new TButton(f);
        b->SetParent(f);
        b->SetModalResult(mrOk);
        auto* bmp = new TBitmap;
        bmp->SetSize(8, 8);
        FBitmap = bmp;
        script.AddObject("Form1", f);
        script.AddObject("Edit1", e);
        script.AddObject("Combo1", c);
        script.AddObject("List1", l);
        script.AddObject("Button1", b);
        script.AddObject("Bitmap1", bmp);
    }
    ~TWindowFixture()
    {
        if (TObject* b = FBitmap.Get()) FreeObject(b);
        Application->ProcessMessages();   // what scripts freed from events goes now
        while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
    }

private:
    TWeakRef<TObject> FBitmap;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InitGui();
    // The loop never waits, and a modal form ends at once.
    Timers::SetManualClock(true);
    Application->OnIdle = [](TObject*, bool&) {
        if (!Application->ModalLevel()) return;
        for (int i = 0; i < Screen->FormCount(); ++i) Screen->Forms(i)->SetModalResult(mrCancel);
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = [] {
        ApplyProgramDateFormats();
        fs_iinit::InitializeScriptEngine();
        return true;
    }();
    (void)started;
    if (size == 0) return 0;
    static const char* const languages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};
    const bool isTree = data[0] & 4;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfsScript script(nullptr);
    std::unique_ptr<TWindowFixture> window;
    if (data[0] & 8) window = std::make_unique<TWindowFixture>(script);
    if (isTree) {
        script.SetText("uses 'unit.pas';\nbegin\nend.");
        script.OnGetUnit = [](TfsScript*, const std::string&, std::string& unit) { unit = "begin end."; };
        script.OnGetILUnit = [&](TfsScript*, const std::string&, std::string& unit) { unit = text; };
    } else {
        script.SetSyntaxType(languages[data[0] % 4]);
        CheckTreeRoundTrip(script, text);
        script.SetText(text);
    }
    bool ok = false;
    try {
        ok = script.Compile();
    } catch (const Exception&) {
        return 0;
    }
    if (!ok) {
        if (script.ErrorMessage.empty()) abort();   // a refused script says why
        return 0;
    }
    int budget = 3000;
    script.OnRunLine = [&](TfsScript*, const std::string&, const std::string&) {
        if (--budget <= 0) script.Terminate();
    };
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(1), [&] { return done; })) script.Terminate();
    });
    try {
        script.Execute();
    } catch (const std::exception&) {
    }
    {
        std::lock_guard<std::mutex> lock(m);
        done = true;
    }
    cv.notify_one();
    watchdog.join();
    // Events the window raises while it goes still run the script's handlers,
    // under the same budget.
    window.reset();
    return 0;
}
