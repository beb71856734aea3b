// A designer stand-in for the editor dialogs: a report with one page, the
// page's object lists, queued answers of the expression editor and an
// in-memory settings store; plus a data set over an in-memory table and the
// lookup of the modal dialog up now.
#pragma once

#include "DB.h"
#include "Forms.h"
#include "GuiTesting.h"
#include "IniFiles.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "frxClass.h"
#include "frxDBSet.h"
#include "TestDesigner.h"
#include "frxCustomDesigner.h"
#include "frxrcDesgn.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

// The test designer window with queued answers of the expression editor.
struct TEditorHost : TTestDesigner {
    explicit TEditorHost(TfrxReport* report) : TTestDesigner(report) {}
    std::deque<std::string> Expressions;      // answers of the expression editor
    std::vector<std::string> ExpressionAsked;  // texts it was opened on
    std::string InsertExpression(const std::string& text) override
    {
        ExpressionAsked.push_back(text);
        if (Expressions.empty()) return std::string();
        std::string s = Expressions.front();
        Expressions.pop_front();
        return s;
    }
    void Fill() { FillObjects(); }
};

struct TEditorFixture {
    // The window system first: it installs its host services, which the
    // recording host then stands in for.
    bool GuiUp = (GuiTest::Init(), true);
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page;
    std::string SettingsFile;
    std::unique_ptr<TEditorHost> DesignerWindow;
    TEditorHost& Designer;
    std::vector<std::unique_ptr<TDataSet>> Tables;
    std::vector<std::unique_ptr<TfrxDBDataset>> Sets;

    TEditorFixture() : Designer(MakeDesigner())
    {
        frxClass::Initialize();
        frxrcDesgn::Initialize();
        Report.EngineOptions()->SilentMode = true;
    }
    ~TEditorFixture()
    {
        DesignerWindow.reset();
        std::filesystem::remove(SettingsFile);
    }
    TEditorHost& MakeDesigner()
    {
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        // The designer's settings go to a scratch file of the test's own.
        SettingsFile = (std::filesystem::temp_directory_path() /
                        ("designer_dialogs_" + std::to_string(::getpid()) + ".ini")).string();
        std::filesystem::remove(SettingsFile);
        Report.IniFile = SettingsFile;
        DesignerWindow = std::make_unique<TEditorHost>(&Report);
        return *DesignerWindow;
    }
    bool StoredBool(const std::string& section, const std::string& key)
    {
        return Report.OpenSettingsStore()->ReadBool(section, key, false);
    }
    // A data set of the report named name with string fields.
    TfrxDBDataset* AddDataSet(const std::string& name, std::initializer_list<const char*> fields,
                              bool inReport = true)
    {
        auto t = std::make_unique<TDataSet>();
        for (const char* f : fields) t->FieldDefs()->Add(f, ftString, 20);
        t->CreateDataSet();
        auto ds = std::make_unique<TfrxDBDataset>();
        ds->SetUserName(name);
        ds->SetDataSet(t.get());
        if (inReport) Report.DataSets()->Add(ds.get());
        Tables.push_back(std::move(t));
        Sets.push_back(std::move(ds));
        return Sets.back().get();
    }
};

// The modal dialog of the class up now.
template <class D> D* ModalDialog()
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* d = dynamic_cast<D*>(Screen->Forms(i)))
            if (d->FormState().Contains(fsModal)) return d;
    return nullptr;
}

// Runs fn once the next modal dialog of the class is up.
template <class D, class F> void WhenUp(F fn)
{
    GuiTest::Later([fn] {
        D* d = ModalDialog<D>();
        ASSERT_NE(d, nullptr);
        fn(d);
    });
}
