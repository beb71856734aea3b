#include "TestController.h"
#include "Streams.h"
#include "cxDataConsts.h"

#include <gtest/gtest.h>

using V = Variant;

namespace {
std::unique_ptr<TTestController> Names(const std::vector<std::string>& names)
{
    auto c = MakeController();
    c->AddColumn("Name", TcxStringValueType::Class());
    std::vector<std::vector<Variant>> rows;
    for (auto& n : names) rows.push_back({V(n)});
    c->AddRows(rows);
    return c;
}
}  // namespace

TEST(ControllerMore, AssignCopiesFilterSummaryAndEventsButNotOptions)
{
    auto a = Names({"x", "y"});
    auto b = Names({"y"});
    a->SetOptions(TcxDataControllerOptions{dcoCaseInsensitive});
    a->Filter()->AddItem(nullptr, a->GetItem(0), foEqual, V("y"), "y");
    a->Summary()->FooterSummaryItems()->Add(a->GetItem(0), spFooter, skCount);
    int sorted = 0;
    a->OnSortingChanged = [&](TObject*) { ++sorted; };
    b->Assign(a.get());
    EXPECT_EQ(b->Filter()->GetFilterText(), a->Filter()->GetFilterText());
    EXPECT_EQ(b->Summary()->FooterSummaryItems()->Count(), 1);
    EXPECT_FALSE(b->Options().Contains(dcoCaseInsensitive));
    b->ChangeSorting(0, soAscending);
    EXPECT_EQ(sorted, 1);
}

// A controller's filter through the component stream: Active comes along,
// and conditions find the target's items again by ID.
TEST(ControllerMore, FilterComponentStreamCarriesActiveAndItems)
{
    auto a = Names({"x", "y"});
    auto b = Names({"y", "z", "y"});
    a->Filter()->AddItem(nullptr, a->GetItem(0), foEqual, V("y"), "y");
    a->Filter()->SetActive(true);
    TStringStream s;
    a->Filter()->SaveToStream(&s);
    EXPECT_NE(s.DataString().find("Active"), std::string::npos);
    int changes = 0;
    b->Filter()->OnChanged = [&](TObject*) { ++changes; };
    s.SetPosition(0);
    b->Filter()->LoadFromStream(&s);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b->Filter()->Active());
    EXPECT_EQ(b->Filter()->GetFilterText(), a->Filter()->GetFilterText());
    EXPECT_EQ(b->GetFilteredRecordCount(), 2);
}

TEST(ControllerMore, SettingTheSameOptionsDoesNotRefresh)
{
    auto c = Names({"a"});
    c->Log.clear();
    c->SetOptions(c->Options());
    EXPECT_TRUE(c->Log.empty());
}

TEST(ControllerMore, NewItemRowPostsIntoANewRecord)
{
    auto c = Names({"a", "b"});
    c->SetNewItemRowEnabled(true);
    c->SetNewItemRowFocused(true);
    EXPECT_TRUE(c->IsNewItemRowFocused());
    EXPECT_TRUE(c->GetEditValue(0, 0).IsNull());
    EXPECT_TRUE(c->SetEditValue(0, V("new"), 0));
    EXPECT_EQ(c->GetRecordCount(), 2);   // still in the new-item record
    c->Post();
    ASSERT_EQ(c->GetRecordCount(), 3);
    EXPECT_EQ(c->GetValue(2, 0).AsString(), "new");
}

TEST(ControllerMore, GroupsAlwaysExpanded)
{
    auto c = Names({"b", "a", "b"});
    c->SetOptions(TcxDataControllerOptions{dcoGroupsAlwaysExpanded});
    c->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:a", "r1", "g0:b", "r0", "r2"}));
    c->Groups()->ChangeExpanding(0, false, false);   // refused
    EXPECT_EQ(c->GetRowCount(), 5);
}

TEST(ControllerMore, OnCompareDecidesTheOrder)
{
    auto c = Names({"aaa", "b", "cc"});
    c->OnCompare = [](TcxCustomDataController*, int, int, int, const Variant& a, const Variant& b, int& r) {
        r = int(a.AsString().size()) - int(b.AsString().size());
    };
    c->ChangeSorting(0, soAscending);
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{1, 2, 0}));
}

TEST(ControllerMore, FocusTopRowAfterSorting)
{
    auto c = Names({"c", "a", "b"});
    c->SetOptions(TcxDataControllerOptions{dcoFocusTopRowAfterSorting});
    c->ChangeFocusedRowIndex(2);
    c->ChangeSorting(0, soAscending);
    EXPECT_EQ(c->GetFocusedRowIndex(), 0);
    EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
}

TEST(ControllerMore, ValueListByDisplayTextDropsRepeats)
{
    auto c = MakeController();
    c->AddColumn("N", TcxIntegerValueType::Class());
    c->ChangeTextStored(0, true);
    c->AddRows({{V(1)}, {V(2)}});
    c->SetDisplayText(0, 0, "same");
    c->SetDisplayText(1, 0, "same");
    c->SortByDisplayText = true;
    std::unique_ptr<TcxFilterValueList> list(c->Filter()->CreateValueList());
    static_cast<TcxDataFilterValueList*>(list.get())->Load(0);
    EXPECT_EQ(list->Count(), 3);   // (All), (Custom...), one value
}

TEST(ControllerMore, DeleteRecordsTakesAnyOrder)
{
    auto c = Names({"a", "b", "c", "d", "e"});
    std::vector<int> list{3, 0, 3, 1};
    c->Provider()->DeleteRecords(list);
    ASSERT_EQ(c->GetRecordCount(), 2);
    EXPECT_EQ(c->GetValue(0, 0).AsString(), "c");
    EXPECT_EQ(c->GetValue(1, 0).AsString(), "e");
}

TEST(ControllerMore, SelectionFollowsItsRecordsThroughResortAndRegroup)
{
    auto c = Names({"d", "a", "c", "b"});
    c->SetMultiSelect(true);
    c->ChangeRowSelection(0, true);   // record 0, "d"
    c->ChangeRowSelection(2, true);   // record 2, "c"
    c->ChangeSorting(0, soAscending);   // a b c d
    std::vector<int> rows;
    for (int i = 0; i < c->GetSelectedCount(); ++i) rows.push_back(c->GetSelectedRowIndex(i));
    EXPECT_EQ(rows, (std::vector<int>{2, 3}));
    // Grouped and collapsed, the data rows cannot be shown: they leave the selection.
    c->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c->GetSelectedCount(), 0);
}
