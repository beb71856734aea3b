// The common frame of the grid tests: a form with a grid on it, views made
// for the grid, and the log of what the views did, emptied before each test.
#pragma once

#include "Forms.h"
#include "GridTesting.h"
#include "GuiTesting.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxGrid.h"
#include "cxTextEdit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The default editors for the length of a test: they are freed before the
// process ends, while the editors' shared services still exist.
struct TDefaultEditorsScope {
    TDefaultEditorsScope()
    {
        cxEdit::Initialize();
        cxTextEdit::Initialize();
        cxEditDataRegisteredRepositoryItems::Initialize();
    }
    ~TDefaultEditorsScope()
    {
        cxEditDataRegisteredRepositoryItems::Finalize();
        cxEdit::Finalize();
    }
};

// Counts the grid's notifications of one kind.
class TGridNotificationCounter : public TcxCustomGridNotification {
public:
    explicit TGridNotificationCounter(int AKind) : FKind(AKind) {}
    TSet<int, 8> NotificationKinds() override { return {FKind}; }
    void Notify(int, void*, bool&) override { ++Count; }
    int Count = 0;

private:
    int FKind;
};

class GridTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        GridTesting::Init();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Grid = static_cast<TcxGrid*>(TcxGrid::StaticClass()->Create(Form));
        Grid->SetName("Grid1");
        Grid->SetParent(Form);
        Grid->OnLayoutChanged = [](TcxCustomGrid*, TcxCustomGridView* AView) {
            GridTesting::Log().push_back("layout:" + (AView ? AView->Name() : std::string("grid")));
        };
        GridTesting::Log().clear();
    }
    void TearDown() override
    {
        FreeAndNil(Form);
        GuiTest::ProcessEvents();
        GridTesting::Log().clear();
    }
    // A top level showing a new view named AName.
    TcxGridTestView* AddTopView(const std::string& AName, TcxGridLevel** ALevel = nullptr)
    {
        TcxGridTestView* view = GridTesting::MakeView(Grid, AName);
        TcxGridLevel* level = Grid->RootLevel()->Add();
        level->SetGridView(view);
        if (ALevel) *ALevel = level;
        return view;
    }
    void ShowForm()
    {
        Form->Show();
        GuiTest::ProcessEvents();
    }
    std::vector<std::string> TakeLog()
    {
        std::vector<std::string> log;
        log.swap(GridTesting::Log());
        return log;
    }
    TForm* Form = nullptr;
    TcxGrid* Grid = nullptr;
};
