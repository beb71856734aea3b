// The designer's docking: dock rows and sizes, moving bars within a dock,
// floating and docking again, turning in a side dock, and the places kept
// in the report library's settings store (a scratch ini file here).
#include "Docking.h"
#include "GuiTesting.h"
#include "IniFiles.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct ScratchIni {
    std::string Dir;
    TfrxReport Report{nullptr};
    ScratchIni()
    {
        char tmpl[] = "/tmp/dsgn-dock-XXXXXX";
        Dir = mkdtemp(tmpl);
        Report.IniFile = Dir + "/designer.ini";
    }
    ~ScratchIni() { std::filesystem::remove_all(Dir); }
    std::unique_ptr<TCustomIniFile> Store() { return Report.OpenSettingsStore(); }
};

// A designer-like window: a top dock and a left dock in a form.
struct Window {
    TForm Form{nullptr};
    TfrxDock* Top;
    TfrxDock* Left;
    Window()
    {
        GuiTest::Init();
        Form.SetBounds(50, 50, 600, 400);
        Top = new TfrxDock(&Form);
        Top->SetName("DockTop");
        Top->SetParent(&Form);
        Top->SetRowSize(27);
        Left = new TfrxDock(&Form);
        Left->SetName("DockLeft");
        Left->SetParent(&Form);
        Left->SetAlign(alLeft);
        Left->SetRowSize(27);
        Left->AdjustBounds();
        Top->AdjustBounds();
        Form.Show();
    }
    TfrxToolBar* Bar(const std::string& name, int width, int height = 27)
    {
        auto* b = new TfrxToolBar(&Form);
        b->SetName(name);
        b->SetCaption(name);
        for (int i = 0; i < 3; ++i) {
            auto* p = new TPanel(&Form);
            p->SetParent(b);
            p->SetBounds(8 + i * 23, 0, 23, 22);
            p->SetAlign(alLeft);
        }
        b->SetBounds(0, 0, width, height);
        return b;
    }
};

TEST(Dock, RowsAndSizes)
{
    Window w;
    EXPECT_EQ(w.Top->Height(), 1);   // empty
    EXPECT_EQ(w.Left->Width(), 1);
    TfrxToolBar* a = w.Bar("StandardTB", 200);
    TfrxToolBar* b = w.Bar("TextTB", 200);
    a->AddToDock(w.Top);
    EXPECT_EQ(w.Top->Height(), 28);
    b->AddToDock(w.Top);
    w.Top->AdjustBounds();
    EXPECT_EQ(w.Top->Height(), 55);   // two rows of 27
    EXPECT_EQ(b->Top(), 27);
    // A bar's width follows its visible controls.
    EXPECT_EQ(a->Width(), 8 + 3 * 23 + 4);
    // The first row emptied: the second comes up and the dock shrinks.
    a->Hide();
    w.Top->AdjustBounds();
    EXPECT_EQ(b->Top(), 0);
    EXPECT_EQ(w.Top->Height(), 28);
}

TEST(Dock, MovingWithinADockAndFloating)
{
    Window w;
    TfrxToolBar* a = w.Bar("StandardTB", 100);
    TfrxToolBar* b = w.Bar("TextTB", 100);
    a->DockTo(w.Top, 0, 0);
    b->DockTo(w.Top, 200, 0);
    // Onto another bar: it lands beside it.
    EXPECT_TRUE(b->MoveTo(a->Left() + 20, 0));
    EXPECT_EQ(b->Left(), a->Left() + a->Width());
    // Slightly before the start: docked at 0 (a is pushed nowhere, b goes after it).
    a->DockTo(w.Top, 300, 0);
    EXPECT_TRUE(a->MoveTo(-15, 0));
    EXPECT_FALSE(a->Floating());
    EXPECT_EQ(a->Left(), 0);
    // A bar that may not float stays however far it goes.
    b->CanFloat = false;
    EXPECT_TRUE(b->MoveTo(-40, 0));
    EXPECT_FALSE(b->Floating());
    // Far before the start it floats in a window of its own.
    EXPECT_TRUE(a->MoveTo(-25, 0));
    GuiTest::ProcessEvents();
    ASSERT_TRUE(a->Floating());
    ASSERT_NE(a->FloatWindow(), nullptr);
    EXPECT_EQ(a->Parent(), a->FloatWindow());
    EXPECT_EQ(a->Left(), 3);
    EXPECT_EQ(a->Top(), 18);
    EXPECT_EQ(a->FloatWindow()->ClientWidth(), a->Width() + 6);
    EXPECT_EQ(a->FloatWindow()->ClientHeight(), a->Height() + 21);
    EXPECT_FALSE(a->Grip()->Visible());
    if (GetCaptureControl()) SetCaptureControl(nullptr);
    // Over the left dock it docks again and turns vertical.
    TPoint over = ::Point(w.Left->Left() + 0, w.Left->Top() + 40);
    EXPECT_TRUE(a->TryDockAt(&w.Form, over));
    if (GetCaptureControl()) SetCaptureControl(nullptr);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(a->Floating());
    EXPECT_EQ(a->Dock(), w.Left);
    EXPECT_GT(a->Height(), a->Width());
    EXPECT_EQ(a->Width(), 27);
    EXPECT_EQ(w.Left->Width(), 28);
    EXPECT_TRUE(a->Grip()->Visible());
}

TEST(Dock, TurningAndOrientationRefusal)
{
    Window w;
    TfrxToolBar* a = w.Bar("TextTB", 150);
    auto* combos = new TfrxTBPanel(&w.Form);
    combos->SetParent(a);
    combos->SetWidth(60);
    a->AddToDock(w.Top);
    EXPECT_EQ(combos->Align(), alLeft);
    const int thickness = a->Height();
    a->DockTo(w.Left, 0, 0);
    // Turned: as thick as it was high, and as long as its controls one under another.
    EXPECT_EQ(a->Width(), thickness);
    EXPECT_GT(a->Height(), a->Width());
    EXPECT_EQ(w.Left->Width(), thickness + 1);
    combos->SetParent(nullptr);
    combos->SetParent(a);             // a panel placed into a vertical bar aligns top
    EXPECT_EQ(combos->Align(), alTop);

    TfrxToolBar* h = w.Bar("ScaleTB", 120);
    h->Orientation = toHorzOnly;
    h->AddToDock(w.Top);
    h->MakeFloat(300, 300);
    EXPECT_FALSE(h->TryDockAt(&w.Form, ::Point(w.Left->Left(), w.Left->Top() + 100)));
    EXPECT_TRUE(h->Floating());
    EXPECT_TRUE(h->TryDockAt(&w.Form, ::Point(250, w.Top->Top())));
    if (GetCaptureControl()) SetCaptureControl(nullptr);
    EXPECT_EQ(h->Dock(), w.Top);
}

TEST(Dock, DraggingTheGripMovesInWholeRows)
{
    Window w;
    TfrxToolBar* a = w.Bar("StandardTB", 100);
    TfrxToolBar* b = w.Bar("TextTB", 100);
    a->AddToDock(w.Top);
    b->AddToDock(w.Top);
    w.Top->AdjustBounds();
    ASSERT_EQ(b->Top(), 27);
    // The cursor moves on the screen; the grip moves with the bar under it.
    const TPoint s0 = a->Grip()->ClientToScreen(::Point(3, 3));
    auto at = [&](int dx, int dy) { return a->Grip()->ScreenToClient(::Point(s0.X + dx, s0.Y + dy)); };
    // Down by 10 and right by 30: the row stays (10 is under a row), x follows.
    GuiTest::MouseDown(a->Grip(), mbLeft, at(0, 0));
    GuiTest::MouseMove(a->Grip(), at(30, 10), {ssLeft});
    EXPECT_EQ(a->Left(), 30);
    EXPECT_EQ(a->Top(), 0);
    // Down by a whole row: a joins b's row after it, and the emptied first
    // row goes, so both come up.
    GuiTest::MouseMove(a->Grip(), at(30, 37), {ssLeft});
    GuiTest::MouseUp(a->Grip(), mbLeft, at(30, 37));
    EXPECT_EQ(a->Left(), b->Left() + b->Width());
    EXPECT_EQ(a->Top(), 0);
    EXPECT_EQ(b->Top(), 0);
    EXPECT_FALSE(a->Dragging());
    EXPECT_EQ(w.Top->Height(), 28);
    w.Bar("AlignTB", 100)->AddToDock(w.Left);
    GuiTest::ProcessEvents();
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(&w.Form, std::string(dir) + "/designer-docks.png");
}

TEST(DockSettings, ToolBarsSavedAndRestored)
{
    ScratchIni ini;
    {
        Window w;
        TfrxToolBar* a = w.Bar("StandardTB", 100);
        TfrxToolBar* b = w.Bar("AlignTB", 100);
        a->DockTo(w.Top, 40, 0);
        b->DockTo(w.Left, 0, 0);
        b->SetBarVisible(false);
        auto store = ini.Store();
        frxDock::SaveToolbarPosition(store.get(), a);
        frxDock::SaveToolbarPosition(store.get(), b);
        EXPECT_EQ(store->ReadString("ToolBar.StandardTB", "Dock", ""), "DockTop");
        EXPECT_EQ(store->ReadInteger("ToolBar.StandardTB", "Left", -1), 40);
        EXPECT_FALSE(store->ReadBool("ToolBar.StandardTB", "Float", true));
        EXPECT_TRUE(store->ReadBool("ToolBar.StandardTB", "Visible", false));
        EXPECT_FALSE(store->ReadBool("ToolBar.AlignTB", "Visible", true));
        EXPECT_EQ(store->ReadString("ToolBar.AlignTB", "Dock", ""), "DockLeft");
        a->MakeFloat(320, 210);
        frxDock::SaveToolbarPosition(store.get(), a);
        EXPECT_TRUE(store->ReadBool("ToolBar.StandardTB", "Float", false));
        EXPECT_EQ(store->ReadInteger("ToolBar.StandardTB", "Left", -1), 320);
        EXPECT_EQ(store->ReadString("ToolBar.StandardTB", "Dock", "none"), "DockTop");   // kept from before
        if (GetCaptureControl()) SetCaptureControl(nullptr);
    }
    // A fresh window: the bars go where the store says.
    Window w;
    TfrxToolBar* a = w.Bar("StandardTB", 100);
    TfrxToolBar* b = w.Bar("AlignTB", 100);
    a->AddToDock(w.Top);
    b->AddToDock(w.Top);
    auto store = ini.Store();
    frxDock::RestoreToolbarPosition(store.get(), a);
    frxDock::RestoreToolbarPosition(store.get(), b);
    EXPECT_TRUE(a->Floating());
    ASSERT_NE(a->FloatWindow(), nullptr);
    EXPECT_EQ(a->FloatWindow()->Left(), 320);
    EXPECT_EQ(b->Dock(), w.Left);
    EXPECT_FALSE(b->IsVisible());
    // A "Dock" that names no dock leaves the bar in its dock at the stored place.
    TfrxToolBar* c = w.Bar("ExtraToolsTB", 60);
    c->AddToDock(w.Top);
    store->WriteString("ToolBar.ExtraToolsTB", "Dock", "NoSuchDock");
    store->WriteInteger("ToolBar.ExtraToolsTB", "Left", 77);
    frxDock::RestoreToolbarPosition(store.get(), c);
    EXPECT_EQ(c->Dock(), w.Top);
    EXPECT_EQ(c->Left(), 77);
    EXPECT_TRUE(c->IsVisible());
}

TEST(DockSettings, DockSitesAndForms)
{
    ScratchIni ini;
    GuiTest::Init();
    TForm main(nullptr);
    main.SetName("DesignerWindow");
    main.SetBounds(0, 0, 700, 500);
    auto* site = new TfrxDockSite(&main);
    site->SetName("LeftDockSite2");
    site->SetParent(&main);
    auto* tool = new TForm(&main);
    tool->SetName("frxObjectInspector");
    tool->SetBounds(0, 0, 180, 300);
    SetDockControlFinder([&](const std::string& n) -> TControl* { return n == tool->Name() ? tool : nullptr; });
    main.Show();
    tool->ManualDock(site);
    GuiTest::ProcessEvents();
    ASSERT_EQ(tool->HostDockSite(), site);

    auto store = ini.Store();
    // Without "Data" nothing changes.
    frxDock::RestoreDockSite(store.get(), site);
    EXPECT_EQ(tool->HostDockSite(), site);
    frxDock::SaveDockSite(store.get(), site);
    std::string data = store->ReadString("Dock.LeftDockSite2", "Data", "");
    EXPECT_FALSE(data.empty());
    EXPECT_EQ(data.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    frxDock::SaveFormPosition(store.get(), tool);
    EXPECT_EQ(store->ReadString("Form.TForm", "Dock", ""), "LeftDockSite2");
    EXPECT_FALSE(store->ReadBool("Form.TForm", "Maximized", true));

    // Floated, then put back from the store by name.
    tool->ManualFloat(::Rect(100, 100, 280, 400));
    GuiTest::ProcessEvents();
    EXPECT_NE(tool->HostDockSite(), site);
    frxDock::RestoreDockSite(store.get(), site);
    GuiTest::ProcessEvents();
    EXPECT_EQ(tool->HostDockSite(), site);
    SetDockControlFinder(nullptr);

    // A form's own bounds and visibility.
    TForm other(nullptr);
    store->WriteInteger("Form.TForm", "Left", 33);
    store->WriteInteger("Form.TForm", "Width", 222);
    store->WriteString("Form.TForm", "Dock", "");
    store->WriteBool("Form.TForm", "Visible", false);
    frxDock::RestoreFormPosition(store.get(), &other);
    EXPECT_EQ(other.Left(), 33);
    EXPECT_EQ(other.Width(), 222);
    EXPECT_FALSE(other.Visible());
}

}  // namespace
