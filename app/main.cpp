// Entry point of 恒岳驾校管理系统: the main block, in its fixed order of steps.
#include "Database.h"
#include "DBConfig.h"
#include "ExtCtrls.h"
#include "Facade.h"
#include "Forms.h"
#include "main.h"
#include "qzProj.h"
#include "qzStartup.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// PEMTAL_STARTUP_PROBE=1 makes the program report and end once the login
// dialog shows, PEMTAL_STARTUP_PROBE=main once the main window is up with
// its students listed and painted: the start-up benchmarks measure the time
// to those points.
void InstallStartupProbe()
{
    const char* v = std::getenv("PEMTAL_STARTUP_PROBE");
    if (!v) return;
    const std::string what = v;
    if (what != "1" && what != "main") return;
    auto* t = new TTimer(Application);
    t->SetInterval(1);
    t->OnTimer = [what](TObject*) {
        if (what == "1") {
            TCustomForm* f = Screen->ActiveForm();
            if (!f || !f->Visible() || f->ClassName() != "TLoginFrm") return;
            std::fputs("login dialog shown\n", stdout);
        } else {
            auto* f = dynamic_cast<TmainFrm*>(Application->MainForm());
            if (!f || !f->Visible()) return;
            f->Repaint();
            std::fprintf(stdout, "main window shown with %d students\n", f->StudentList()->DataSet()->RecordCount());
        }
        std::fflush(stdout);
        _exit(0);
    };
}

}  // namespace

int main(int argc, char** argv)
{
    // 1. The application object.
    InitGui();
    Application->Initialize();
    Application->SetTitle("恒岳驾校管理系统");
    Application->SetHelpFile("pemtal.chm");
    Application->ProcessMessages();

    // 2. Product globals.
    qzProj::ProductTitle = "恒岳驾校管理系统";
    qzProj::ProductEdition = "网络版 1.0.0.1";
    qzProj::ProductCode = "QZPEM100";
    qzProj::ProductBuild = "Build261210";
    qzProj::ProjectName = "pemtal";

    // The libraries start before the application's own units that use them:
    // the editors' registries, the grids' dialogs and exchange formats, the
    // script bindings and the report engine with its password form.
    try {
        qzStartup::StartUpLibraries();
    } catch (const std::exception& e) {
        Application->ShowException(e);
        return 1;
    }

    // The data objects of the application core, made in their order.
    Database::Initialize();
    qzProj::Initialize();
    InstallStartupProbe();

    int exitCode = 0;
    try {
        // 3 to 10: the facade, the splash, the connection, the shared
        // objects, the main window and the login; then the message loop
        // until the main window closes through its exit road.
        std::vector<std::string> args(argv + 1, argv + argc);
        if (TmainFrm* f = MainUnit::StartProgram(args)) {
            Application->SetMainForm(f);
            Application->Run();
        }
    } catch (const std::exception& e) {
        Application->ShowException(e);
        exitCode = 1;
    }
    delete GSplash;
    GSplash = nullptr;
    // 12. The end: the data objects go in reverse order.
    qzProj::Finalize();
    Database::Finalize();
    // Then the libraries, in the reverse order of their start-up.
    try {
        qzStartup::ShutDownLibraries();
    } catch (const std::exception& e) {
        Application->ShowException(e);
        exitCode = 1;
    }
    return exitCode;
}
