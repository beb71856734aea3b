// The application as the benchmarks over a school database need it: the
// libraries, the data unit and the project started as the program starts
// them, the database file made once, connected and logged in as sa; and the
// program's shut-down in reverse, before the benchmark's scratch folder goes.
//   BenchApp::StartUp(file, make) does it on the first call only.
//   BenchApp::Started() says whether it was done, for the shut-down.
#pragma once

#include "Database.h"
#include "GuiTesting.h"
#include "Objs.h"
#include "qzProj.h"
#include "qzStartup.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace BenchApp {

inline bool& Started()
{
    static bool started = false;
    return started;
}

// make() writes the database file (and whatever else the benchmark reads).
template <class Make> void StartUp(const std::string& file, Make make)
{
    if (Started()) return;
    Started() = true;
    GuiTest::Init();
    qzStartup::StartUpLibraries();
    Database::Initialize();
    qzProj::Initialize();
    make();
    if (!GDatabase->Connect("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Persist Security Info=False")) {
        fprintf(stderr, "cannot connect to %s\n", file.c_str());
        std::exit(1);
    }
    GOperator->Load("sa");
}

inline void ShutDown()
{
    if (!Started()) return;
    GDatabase->SetConnected(false);
    qzProj::Finalize();
    Database::Finalize();
    qzStartup::ShutDownLibraries();
}

}  // namespace BenchApp
