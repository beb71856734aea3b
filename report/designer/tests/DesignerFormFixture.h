// A designer window over a small layout, with the report library and the
// designer started, a recording host for message boxes and file dialogs,
// and the settings store in a scratch folder.
#pragma once

#include "Forms.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "RecordingHost.h"
#include "Streams.h"
#include "StringLists.h"
#include "frxClass.h"
#include "frxDesgnForm.h"
#include "frxDesignerStartup.h"
#include "frxStartup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

struct TDesignerFormFixture : ::testing::Test {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    std::string Dir;
    std::unique_ptr<TfrxReport> Report;
    std::unique_ptr<TfrxCustomDesigner> Window;

    void SetUp() override
    {
        GuiTest::Init();
        frxStartup::StartUp();
        frxDesignerStartup::StartUp();
        char tmpl[] = "/tmp/dsgn-form-XXXXXX";
        Dir = mkdtemp(tmpl);
        Report = std::make_unique<TfrxReport>(nullptr);
        Report->IniFile = Dir + "/designer.ini";
        Report->EngineOptions()->SilentMode = true;
        BuildLayout(*Report);
    }
    void TearDown() override
    {
        Window.reset();
        Report.reset();
        std::filesystem::remove_all(Dir);
    }

    // Page1: a title with a caption, a master data band with one text, a page footer.
    static void BuildLayout(TfrxReport& r)
    {
        auto* page = new TfrxReportPage(&r);
        page->SetName("Page1");
        page->SetDefaults();
        auto* title = new TfrxReportTitle(page);
        title->SetName("ReportTitle1");
        title->SetBounds(0, 20, 718, 30);
        auto* caption = new TfrxMemoView(title);
        caption->SetName("Memo1");
        caption->SetBounds(10, 0, 200, 20);
        caption->SetText("学员名单");
        auto* data = new TfrxMasterData(page);
        data->SetName("MasterData1");
        data->SetBounds(0, 80, 718, 20);
        auto* field = new TfrxMemoView(data);
        field->SetName("Memo2");
        field->SetBounds(10, 0, 150, 18);
        field->SetText("[Line#]");
        auto* footer = new TfrxPageFooter(page);
        footer->SetName("PageFooter1");
        footer->SetBounds(0, 140, 718, 20);
    }

    TfrxDesignerForm* Open(bool previewPageMode = false)
    {
        Window.reset();
        Window = std::make_unique<TfrxDesignerForm>(nullptr, Report.get(), previewPageMode);
        return static_cast<TfrxDesignerForm*>(Window.get());
    }
    TfrxDesignerForm* Form() const { return static_cast<TfrxDesignerForm*>(Window.get()); }

    std::string Saved(TfrxReport& r)
    {
        TMemoryStream m;
        r.SaveToStream(&m, true, false);
        return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    }
    // The layout as saved, without its time of last change.
    std::string Layout(TfrxReport& r)
    {
        const double keep = r.ReportOptions()->LastChange;
        r.ReportOptions()->LastChange = 0;
        std::string s = Saved(r);
        r.ReportOptions()->LastChange = keep;
        return s;
    }
    void Select(std::initializer_list<TfrxComponent*> objects)
    {
        Form()->SelectedObjects()->Clear();
        for (TfrxComponent* c : objects) Form()->SelectedObjects()->Add(c);
        Form()->SelectionChanged(nullptr);
    }
    TfrxComponent* Find(const char* name) { return Report->FindObject(name); }
    std::vector<std::string> MessageTexts() const { return Host->Messages(); }
};
