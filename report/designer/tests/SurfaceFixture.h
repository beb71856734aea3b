// A report page on a design surface at scale 1 inside a shown form, with
// the window's two object lists, for the surface tests.
#pragma once

#include "Forms.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "frxClass.h"
#include "frxrcDesgn.h"

#include <memory>

template <class TSurface> struct TSurfaceFixture {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page;
    TForm Form{nullptr};
    TSurface* Ws;
    TList Objects, Selected;

    TSurfaceFixture()
    {
        GuiTest::Init();
        frxClass::Initialize();
        frxrcDesgn::Initialize();
        Report.EngineOptions()->SilentMode = true;
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        Form.SetBounds(0, 0, 900, 1100);
        Ws = new TSurface(&Form);
        Ws->SetParent(&Form);
        Ws->SetBounds(0, 0, 800, 1000);
        Ws->SetObjects(&Objects);
        Ws->SetSelectedObjects(&Selected);
        Ws->SetPage(Page);
    }
    // The window's list: every object of the page, then the page; the page selected.
    void Fill()
    {
        Objects.Clear();
        for (TfrxComponent* c : Page->AllObjects()) Objects.Add(c);
        Objects.Add(Page);
        Selected.Clear();
        Selected.Add(Page);
    }
    template <class T> T* Add(TfrxComponent* parent, const char* name, double l, double t, double w, double h)
    {
        auto* c = new T(parent);
        c->SetName(name);
        c->SetBounds(l, t, w, h);
        return c;
    }
};

// A data set of the report with the given fields.
inline TfrxUserDataSet* AddUserDataSet(TfrxReport& report, const char* name, std::initializer_list<const char*> fields)
{
    auto* ds = new TfrxUserDataSet(&report);
    ds->SetUserName(name);
    for (const char* f : fields) ds->Fields()->Add(f);
    report.DataSets()->Add(ds);
    return ds;
}
