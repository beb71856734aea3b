// Stepping a cell's value (lists wrap, numbers add, an empty number starts
// at 0) and writing it through OnUpdateData.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridCellValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = MakeStudents({{1, "甲", true, NAN}, {2, "乙", false, 10}, {3, "丁", true, 2.5}});
        Host = std::make_unique<TGridHost>(Ds.get(), 500, 200);
        G = Host->Grid;
        G->Columns()->Clear();
        for (const char* f : {"Id", "Name", "Fee", "Passed"}) G->Columns()->Add()->SetFieldName(f);
        TStringList picks;
        for (const char* p : {"甲", "乙", "丙"}) picks.Add(p);
        G->Columns()->Items(1)->SetPickList(&picks);
        GuiTest::ProcessEvents();
    }
    TColumnEh* Col(int i) const { return G->Columns()->Items(i); }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridCellValues, StepsWrapInListsAndAddToNumbers)
{
    struct TStep {
        int Id, Col;
        double Increment;
        const char* Expect;   // the field's text afterwards
    } steps[] = {
        {1, 1, 1, "乙"},     // pick list: the next item
        {1, 1, 1, "丙"},
        {1, 1, 1, "甲"},     // past the last: the first
        {1, 1, -1, "丙"},    // back from the first: the last
        {3, 1, 1, "甲"},     // a text not in the list starts at the first
        {1, 2, 1, "0"},      // an empty number steps to 0
        {2, 2, 1, "11"},
        {2, 2, 0.5, "11.5"},
        {3, 2, -1, "1.5"},
        {1, 3, 1, "False"},  // a check box turns over
        {1, 3, 1, "True"},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(std::to_string(s.Id) + "/" + std::to_string(s.Col) + "/" + std::to_string(s.Increment));
        Ds->Locate("Id", s.Id, {});
        Col(s.Col)->StepCellValue(s.Increment);
        EXPECT_EQ(Ds->State(), dsEdit);
        EXPECT_EQ(Col(s.Col)->Field()->Text(), s.Expect);
        Ds->Post();
    }
    // A read-only column does not step.
    Col(2)->SetReadOnly(true);
    Ds->Locate("Id", 2, {});
    Col(2)->StepCellValue(1);
    EXPECT_EQ(Ds->State(), dsBrowse);
    EXPECT_EQ(Col(2)->Field()->Text(), "11.5");
}

TEST_F(GridCellValues, OnUpdateDataMayChangeOrTakeOverTheWrite)
{
    std::vector<std::string> seen;
    bool take = false;
    Col(2)->OnUpdateData = [&](TColumnEh* sender, std::string& text, Variant& value, bool& useText, bool& handled) {
        EXPECT_EQ(sender, Col(2));
        seen.push_back(VarToStr(value));
        if (take) handled = true;
        else value = double(value) * 2;
    };
    Ds->Locate("Id", 2, {});
    Col(2)->StepCellValue(1);
    EXPECT_EQ(seen.back(), "11");
    EXPECT_EQ(Col(2)->Field()->AsFloat(), 22) << "the handler's value is written";
    take = true;
    Col(2)->WriteCellValue("5", 5, false);
    EXPECT_EQ(Col(2)->Field()->AsFloat(), 22) << "a handled write writes nothing";
    Ds->Cancel();
    // Space on a check box column steps it through the same path; Delete empties it.
    G->SetSelectedIndex(3);
    G->SetFocus();
    Ds->Locate("Id", 1, {});
    GuiTest::KeyPress(VK_SPACE);
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean());
    GuiTest::KeyPress(VK_DELETE);
    EXPECT_TRUE(Ds->FieldByName("Passed")->IsNull());
}

TEST_F(GridCellValues, CtrlQuoteCopiesTheValueOfTheRecordAbove)
{
    // Ctrl+' (the test keyboard has no such key: straight to the grid's key handling).
    auto ctrlQuote = [this] {
        WORD key = 0xDE;
        G->KeyDown(key, {ssCtrl});
    };
    G->SetSelectedIndex(2);
    Ds->Locate("Id", 3, {});
    ctrlQuote();
    EXPECT_EQ(Ds->State(), dsEdit);
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 10);
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 3) << "still on its own record";
    Ds->Cancel();
    // The first record shown has nothing above it; a read-only column takes nothing.
    Ds->First();
    ctrlQuote();
    EXPECT_EQ(Ds->State(), dsBrowse);
    Col(2)->SetReadOnly(true);
    Ds->Locate("Id", 3, {});
    ctrlQuote();
    EXPECT_EQ(Ds->State(), dsBrowse);
    EXPECT_EQ(Ds->FieldByName("Fee")->AsFloat(), 2.5);
}

} // namespace
