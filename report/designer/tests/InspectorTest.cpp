// The object inspector over a small layout: the rows it shows for one and
// for several objects, the property it keeps selected, descriptions,
// committing and refusing values, keys and the mouse on the grid.
#include "GuiTesting.h"
#include "Lists.h"
#include "SysUtils.h"
#include "RecordingHost.h"
#include "TestDesigner.h"
#include "frxClass.h"
#include "frxDesgnEditors.h"
#include "frxDsgnIntf.h"
#include "frxInsp.h"
#include "frxPopupForm.h"
#include "Graphics.h"
#include "frxrcDesgn.h"
#include "frxrcInsp.h"
#include "Windows.h"

#include <gtest/gtest.h>

namespace {

struct InspectorFixture : ::testing::Test {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page;
    TfrxMasterData* Band;
    TfrxMemoView* Memo;
    TfrxPictureView* Picture;
    std::unique_ptr<TTestDesigner> Designer;
    TfrxObjectInspector* Insp;

    InspectorFixture()
    {
        GuiTest::Init();
        frxClass::Initialize();
        frxrcDesgn::Initialize();
        frxrcInsp::Initialize();
        frxDesgnEditors::Initialize();
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        Band = new TfrxMasterData(Page);
        Band->SetName("MasterData1");
        Band->SetBounds(0, 100, 700, 40);
        Memo = new TfrxMemoView(Band);
        Memo->SetName("Memo1");
        Memo->SetBounds(10, 0, 96, 20);
        Picture = new TfrxPictureView(Band);
        Picture->SetName("Picture1");
        Picture->SetBounds(200, 0, 50, 20);
        Designer = std::make_unique<TTestDesigner>(&Report);
        Designer->FillObjects();
        Insp = new TfrxObjectInspector(Designer.get());
        Insp->SetBounds(0, 0, 240, 500);
        Insp->SetObjectList(Designer->Objects());
        Insp->OnModify = [this](TObject*) { ++Modifies; };
        Insp->OnSelectionChanged = [this](TObject*) { ++SelectionChanges; };
    }
    int Modifies = 0, SelectionChanges = 0;
    // Selects the row (at the top level) and answers its value as shown.
    std::string Shown(const std::string& name)
    {
        EXPECT_TRUE(Insp->SelectProperty(name)) << name;
        return Insp->Edit1->Text();
    }
    int ErrorBoxes() const
    {
        int n = 0;
        for (const THostCall& c : Host->Calls) n += c.Kind == THostCallKind::MessageBox;
        return n;
    }
    void Show(std::vector<TObject*> objects)
    {
        Designer->Select(objects);
        Insp->UpdateProperties();
    }
    int RowOf(const std::string& name) const
    {
        for (int i = 0; i < Insp->RowCount(); ++i)
            if (Insp->RowName(i) == name) return i;
        return -1;
    }
};

TEST(InspectorOwner, AnOwnerThatIsNoDesignerIsRefused)
{
    GuiTest::Init();
    TForm form(nullptr);
    try {
        TfrxObjectInspector insp(&form);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ("The Owner of the object inspector should be TfrxCustomDesigner", e.Message());
    }
}

TEST_F(InspectorFixture, OneObjectShowsItsPropertiesAndEventsApart)
{
    Show({Memo});
    ASSERT_GT(Insp->RowCount(), 10);
    EXPECT_GE(RowOf("Name"), 0);
    EXPECT_GE(RowOf("Height"), 0);
    EXPECT_LT(RowOf("OnBeforePrint"), 0);
    for (int i = 0; i + 1 < Insp->PropertyList()->Count(); ++i)
        EXPECT_LE(CompareText(Insp->PropertyList()->Items(i)->Editor->GetName(),
                              Insp->PropertyList()->Items(i + 1)->Editor->GetName()),
                  0);
    EXPECT_EQ("Memo1: TfrxMemoView", Insp->ObjectsCB->Text());
    Insp->Tab->SetTabIndex(1);
    Insp->Tab->OnChange(Insp->Tab);
    EXPECT_GE(RowOf("OnBeforePrint"), 0);
    EXPECT_LT(RowOf("Height"), 0);
    EXPECT_EQ(-1, Insp->SelectedRow());
}

TEST_F(InspectorFixture, ThePropertySelectedLastStaysSelectedForTheNextObject)
{
    Show({Band});
    ASSERT_TRUE(Insp->SelectProperty("Height"));
    Show({Memo});
    EXPECT_EQ("Height", Insp->RowName(Insp->SelectedRow()));
    EXPECT_EQ("Height", Insp->PropertyText());
    // A name the next object lacks falls back to its first row.
    ASSERT_TRUE(Insp->SelectProperty("Memo"));
    Show({Band});
    EXPECT_EQ(0, Insp->SelectedRow());
}

TEST_F(InspectorFixture, SeveralObjectsShowOnlyWhatTheyShareAndNoComboItem)
{
    Show({Memo, Picture});
    EXPECT_LT(RowOf("Name"), 0);
    EXPECT_GE(RowOf("Left"), 0);
    EXPECT_LT(RowOf("Memo"), 0);
    EXPECT_EQ(-1, Insp->ObjectsCB->ItemIndex());
}

TEST_F(InspectorFixture, AnEmptySelectionShowsNoRowsAndHidesTheEditor)
{
    Show({});
    EXPECT_EQ(0, Insp->RowCount());
    EXPECT_FALSE(Insp->Edit1->Visible());
    EXPECT_FALSE(Insp->EditPanel->Visible());
    EXPECT_FALSE(Insp->ComboPanel->Visible());
}

TEST_F(InspectorFixture, DescriptionsPreferTheOwningClassText)
{
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Color"));
    EXPECT_EQ("对象的颜色。", Insp->DescriptionText());
    ASSERT_TRUE(Insp->SelectProperty("Font"));
    Insp->ToggleExpanded(Insp->SelectedRow());
    const int font = Insp->SelectedRow();
    int color = -1;
    for (int i = font + 1; i < Insp->RowCount() && Insp->RowDepth(i) == 1; ++i)
        if (Insp->RowName(i) == "Color") color = i;
    ASSERT_GE(color, 0);
    Insp->SelectRow(color);
    EXPECT_EQ("文本的颜色。", Insp->DescriptionText());
    EXPECT_EQ("Color", Insp->PropertyText());
    ASSERT_TRUE(Insp->SelectProperty("Name"));
    EXPECT_EQ("对象名称", Insp->DescriptionText());
}

TEST_F(InspectorFixture, SubRowsOpenAndCloseUnderTheirRow)
{
    Show({Memo});
    const int rows = Insp->RowCount();
    ASSERT_TRUE(Insp->SelectProperty("Frame"));
    const int frame = Insp->SelectedRow();
    Insp->ToggleExpanded(frame);
    EXPECT_GT(Insp->RowCount(), rows);
    EXPECT_EQ(1, Insp->RowDepth(frame + 1));
    EXPECT_EQ(0, Insp->RowDepth(frame));
    // The frame's line set opens one level further down.
    int typ = -1;
    for (int i = frame + 1; i < Insp->RowCount() && Insp->RowDepth(i) > 0; ++i)
        if (Insp->RowName(i) == "Typ") typ = i;
    ASSERT_GE(typ, 0);
    Insp->ToggleExpanded(typ);
    EXPECT_EQ(2, Insp->RowDepth(typ + 1));
    EXPECT_EQ("ftLeft", Insp->RowName(typ + 1));
    Insp->ToggleExpanded(frame);
    EXPECT_EQ(rows, Insp->RowCount());
}

TEST_F(InspectorFixture, AnAcceptedValueIsWrittenAndReported)
{
    Designer->Units = duPixels;
    Show({Memo, Picture});
    ASSERT_TRUE(Insp->SelectProperty("Top"));
    EXPECT_TRUE(Insp->SetSelectedValue("7"));
    EXPECT_EQ(7, Memo->Top());
    EXPECT_EQ(7, Picture->Top());
    EXPECT_EQ(1, Modifies);
    EXPECT_EQ(0, ErrorBoxes());
}

TEST_F(InspectorFixture, ARefusedValueShowsTheErrorAndBringsTheOldTextBack)
{
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("HAlign"));
    const std::string before = Insp->Edit1->Text();
    EXPECT_FALSE(Insp->SetSelectedValue("haSideways"));
    EXPECT_EQ(1, ErrorBoxes());
    EXPECT_EQ("非法属性值", Host->Calls.back().Text);
    EXPECT_EQ(before, Insp->Edit1->Text());
    EXPECT_FALSE(Insp->Edit1->Modified());
    EXPECT_EQ(0, Modifies);
}

TEST_F(InspectorFixture, RenamingAnObjectRenamesItsComboItem)
{
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Name"));
    ASSERT_TRUE(Insp->SetSelectedValue("Amount"));
    EXPECT_EQ("Amount", Memo->Name());
    EXPECT_EQ("Amount: TfrxMemoView", Insp->ObjectsCB->Text());
}

TEST_F(InspectorFixture, ChangingRowsCommitsTheTypedValue)
{
    Designer->Units = duPixels;
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Left"));
    Insp->Edit1->SetText("33");
    Insp->Edit1->SetModified(true);
    Insp->SelectProperty("Top");
    EXPECT_EQ(33, Memo->Left());
    EXPECT_EQ(1, Modifies);
}

TEST_F(InspectorFixture, KeysMoveTheSelectionWithinTheRows)
{
    Insp->Show();
    Show({Memo});
    const int last = Insp->RowCount() - 1;
    auto key = [this](uint16_t k) { Insp->Edit1->OnKeyDown(Insp->Edit1, k, {}); };
    Insp->SelectRow(last);
    key(VK_DOWN);
    EXPECT_EQ(last, Insp->SelectedRow());
    key(VK_UP);
    EXPECT_EQ(last - 1, Insp->SelectedRow());
    Insp->SelectRow(last - 2);
    key(VK_NEXT);
    EXPECT_EQ(last, Insp->SelectedRow());
    key(VK_PRIOR);
    const int page = Insp->Box->ClientHeight() / Insp->RowHeight();
    EXPECT_EQ(std::max(0, last - page), Insp->SelectedRow());
    Insp->SelectRow(0);
    key(VK_UP);
    EXPECT_EQ(0, Insp->SelectedRow());
    // Esc gives the text typed over back.
    const std::string shown = Insp->Edit1->Text();
    Insp->Edit1->SetText("typed");
    Insp->Edit1->SetModified(true);
    key(VK_ESCAPE);
    EXPECT_EQ(shown, Insp->Edit1->Text());
    EXPECT_FALSE(Insp->Edit1->Modified());
}

TEST_F(InspectorFixture, AClickRightOfTheSplitTogglesABoolean)
{
    Insp->Show();
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Name"));
    int row = -1;
    for (int i = 0; i < Insp->RowCount(); ++i)
        if (Insp->RowName(i) == "AllowExpressions") row = i;
    ASSERT_GE(row, 0);
    ASSERT_TRUE(Memo->AllowExpressions);
    const TPoint p = ::Point(Insp->SplitPos() + 5, row * Insp->RowHeight() + 3);
    GuiTest::MouseDown(Insp->PB, mbLeft, p);
    GuiTest::MouseUp(Insp->PB, mbLeft, p);
    EXPECT_FALSE(Memo->AllowExpressions);
    EXPECT_EQ(1, Modifies);
    // The click toggles; it does not move the selection.
    EXPECT_EQ("Name", Insp->RowName(Insp->SelectedRow()));
    // Further right it only selects the row.
    const TPoint q = ::Point(Insp->SplitPos() + 40, row * Insp->RowHeight() + 3);
    GuiTest::MouseDown(Insp->PB, mbLeft, q);
    GuiTest::MouseUp(Insp->PB, mbLeft, q);
    EXPECT_FALSE(Memo->AllowExpressions);
    EXPECT_EQ(row, Insp->SelectedRow());
}

TEST_F(InspectorFixture, ANameTooLongForItsColumnShowsWholeInAHint)
{
    Insp->Show();
    Show({Memo});
    Insp->SetSplitPos(60);
    const int row = RowOf("AllowExpressions");
    ASSERT_GE(row, 0);
    GuiTest::MouseMove(Insp->PB, ::Point(20, row * Insp->RowHeight() + 4));
    EXPECT_TRUE(Insp->HintWindow()->Active());
    EXPECT_EQ("AllowExpressions", Insp->HintWindow()->Text());
    // A short one shows none.
    GuiTest::MouseMove(Insp->PB, ::Point(20, RowOf("Align") * Insp->RowHeight() + 4));
    EXPECT_FALSE(Insp->HintWindow()->Active());
    // Over the split the cursor offers to move it.
    GuiTest::MouseMove(Insp->PB, ::Point(59, row * Insp->RowHeight() + 4));
    EXPECT_EQ(crHSplit, Insp->PB->Cursor());
}

TEST_F(InspectorFixture, APressOnTheMarkerOpensTheSubRows)
{
    Insp->Show();
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Font"));
    const int row = Insp->SelectedRow();
    const int rows = Insp->RowCount();
    GuiTest::MouseDown(Insp->PB, mbLeft, ::Point(5, row * Insp->RowHeight() + 5));
    GuiTest::MouseUp(Insp->PB, mbLeft, ::Point(5, row * Insp->RowHeight() + 5));
    EXPECT_GT(Insp->RowCount(), rows);
}

TEST_F(InspectorFixture, ChoosingAnObjectInTheComboInspectsIt)
{
    Show({Memo});
    const int index = Insp->ObjectsCB->Items()->IndexOfObject(Band);
    ASSERT_GE(index, 0);
    EXPECT_EQ("MasterData1: TfrxMasterData", Insp->ObjectsCB->Items()->Strings(index));
    Insp->ObjectsCB->SetItemIndex(index);
    Insp->ObjectsCB->OnClick(Insp->ObjectsCB);
    ASSERT_EQ(1, Designer->SelectedObjects()->Count());
    EXPECT_EQ(Band, Designer->SelectedObjects()->Items(0));
    EXPECT_EQ(1, SelectionChanges);
    EXPECT_GE(RowOf("PrintIfDetailEmpty"), 0);
}

TEST_F(InspectorFixture, TheDropDownOffersTheValuesAndTakesTheOneClicked)
{
    Insp->Show();
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("ShiftMode"));
    EXPECT_TRUE(Insp->ComboPanel->Visible());
    EXPECT_FALSE(Insp->EditPanel->Visible());
    frxPopupForm::SetLastCloseTick(0);
    Insp->DropDown();
    TListBox* list = Insp->DropList();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(3, list->Items()->Count());
    EXPECT_EQ("smAlways", list->Items()->Strings(list->ItemIndex()));
    list->SetItemIndex(2);
    list->OnClick(list);
    EXPECT_EQ(smWhenOverlapped, Memo->ShiftMode);
    EXPECT_EQ("smWhenOverlapped", Insp->Edit1->Text());
    EXPECT_EQ(nullptr, Insp->DropList());
    EXPECT_EQ(1, Modifies);
    GuiTest::ProcessEvents();
}

TEST_F(InspectorFixture, ThePressThatClosedTheListDoesNotOpenItAgain)
{
    Insp->Show();
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("ShiftMode"));
    frxPopupForm::SetLastCloseTick(GetTickCount());
    Insp->DropDown();
    EXPECT_EQ(nullptr, Insp->DropList());
}

TEST_F(InspectorFixture, UnitsFollowTheDesigner)
{
    struct Case {
        TfrxDesignerUnits Units;
        double Pixels;
        const char* Shown;
    };
    const Case cases[] = {
        {duInches, 96, "1"}, {duCM, 100, "2.65"}, {duPixels, 100, "100"}, {duChars, 96, "10"}, {duInches, 120, "1.25"},
    };
    for (const Case& c : cases) {
        Designer->Units = c.Units;
        Memo->SetWidth(c.Pixels);
        Show({Memo});
        EXPECT_EQ(c.Shown, Shown("Width")) << c.Pixels;
    }
    Designer->Units = duInches;
    Show({Memo});
    ASSERT_TRUE(Insp->SelectProperty("Left"));
    ASSERT_TRUE(Insp->SetSelectedValue("2,5"));
    EXPECT_DOUBLE_EQ(240, Memo->Left());
    EXPECT_EQ("2.50", Insp->Edit1->Text());
    Designer->Units = duCM;
    Show({Page});
    EXPECT_EQ("21", Shown("PaperWidth"));
}

TEST_F(InspectorFixture, PictureOfTheInspector)
{
    Insp->Show();
    Designer->Units = duCM;
    Show({Memo});
    Insp->SelectProperty("Font");
    Insp->ToggleExpanded(Insp->SelectedRow());
    Insp->SelectProperty("DataField");
    GuiTest::ProcessEvents();
    Insp->PaintGrid();
    TBitmap* grid = Insp->GridBitmap();
    ASSERT_GT(grid->Width(), 100);
    // The selected row's name cell is filled with the face colour; others with the box colour.
    const int y = Insp->SelectedRow() * Insp->RowHeight() + 2;
    EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(grid->Canvas()->Pixels(2, y)));
    EXPECT_EQ(ColorToRGB(Insp->Box->Color()), ColorToRGB(grid->Canvas()->Pixels(2, y + Insp->RowHeight())));
    GuiTest::SavePng(Insp, "designer-inspector.png");
    Insp->Tab->SetTabIndex(1);
    Insp->Tab->OnChange(Insp->Tab);
    Insp->SelectRow(0);
    GuiTest::ProcessEvents();
    GuiTest::SavePng(Insp, "designer-inspector-events.png");
}

}  // namespace
