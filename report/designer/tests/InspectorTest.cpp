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
#include "frxrcDesgn.h"

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

}  // namespace
