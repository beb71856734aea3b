// The frame of the standard-control tests: the GUI started, a form to place
// controls on (shown on demand, freed after each test), and helpers.
#pragma once

#include "Forms.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class StdFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(clBtnFace);
    }
    void TearDown() override
    {
        delete Form;
        Form = nullptr;
        GuiTest::ProcessEvents();
    }
    void ShowForm()
    {
        Form->Show();
        GuiTest::ProcessEvents();
    }
    template <class C>
    C* Make(int left, int top, int width, int height, TWinControl* parent = nullptr)
    {
        auto* c = new C(Form);
        c->SetParent(parent ? parent : Form);
        c->SetBounds(left, top, width, height);
        return c;
    }
    // A log of events ("click", "dblclick"…) a test reads back.
    std::vector<std::string> Log;
    TNotifyEvent Logger(const std::string& what)
    {
        return [this, what](TObject*) { Log.push_back(what); };
    }
    TForm* Form = nullptr;
};
