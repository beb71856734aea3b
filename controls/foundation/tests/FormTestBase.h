// The common frame of the control tests: the GUI layer and the looks
// started, and a form to place controls on, freed after each test.
#pragma once

#include "Forms.h"
#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

class FormTestBase : public ::testing::Test {
protected:
    static void StartGui()
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
    }
    // The form, not yet shown.
    void MakeForm(int left = 100, int top = 100)
    {
        Form = new TForm(nullptr);
        Form->SetBounds(left, top, 400, 300);
    }
    void ShowForm()
    {
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        Form = nullptr;
        GuiTest::ProcessEvents();
    }
    TForm* Form = nullptr;
};
