// A test fixture: a form on the screen holding one control of class T (made
// with the form as owner and parent), with the looks initialised.
#pragma once

#include "Forms.h"
#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

#include <gtest/gtest.h>

template <class T>
class TEditOnForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new T(Form);
        Edit->SetParent(Form);
        Edit->SetLeft(10);
        Edit->SetTop(10);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    // Presses and releases a key, and lets what it posted run.
    void Key(int vk, TShiftState shift = {})
    {
        GuiTest::KeyDown(vk, shift);
        GuiTest::KeyUp(vk, shift);
        GuiTest::ProcessEvents();
    }
    TForm* Form = nullptr;
    T* Edit = nullptr;
};
