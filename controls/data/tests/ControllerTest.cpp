#include "TestController.h"
#include "cxDataConsts.h"
#include "cxVariants.h"

#include <gtest/gtest.h>

using V = Variant;

namespace {

std::unique_ptr<TTestController> NameAge(const std::vector<std::pair<std::string, int>>& rows)
{
    auto c = MakeController();
    c->AddColumn("Name", TcxStringValueType::Class());
    c->AddColumn("Age", TcxIntegerValueType::Class());
    std::vector<std::vector<Variant>> r;
    for (auto& p : rows) r.push_back({V(p.first), V(p.second)});
    c->AddRows(r);
    return c;
}

}  // namespace

TEST(Controller, FreshControllerAndRangeChecks)
{
    auto c = MakeController();
    EXPECT_EQ(c->GetRecordCount(), 0);
    EXPECT_EQ(c->BookmarkRecordIndex(), -1);
    EXPECT_TRUE(c->Options() ==
                (TcxDataControllerOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding}));
    c->AddColumn("A", TcxIntegerValueType::Class());
    try {
        c->GetValue(0, 0);
        FAIL();
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_STREQ(e.what(), "RecordIndex out of range");
    }
    EXPECT_NO_THROW(c->GetValue(-1, 0));   // the new-item record is made by the check
    EXPECT_THROW(c->GetValue(-2, 0), EcxInvalidDataControllerOperation);
    EXPECT_THROW(c->GetValue(-1, 5), EcxInvalidDataControllerOperation);
    EXPECT_EQ(c->InsertRecord(0), 0);
    EXPECT_THROW(c->InsertRecord(2), EcxInvalidDataControllerOperation);
    EXPECT_THROW(c->AddItem(c->GetItem(0)), EcxInvalidDataControllerOperation);
    EXPECT_EQ(c->GetItemCount(), 1);
    c->AddItem(nullptr);
    EXPECT_EQ(c->GetItemCount(), 2);
}

TEST(Controller, RecordValuesByFields)
{
    auto c = NameAge({{"a", 1}});
    Variant v;
    std::vector<TcxCustomDataField*> two{c->GetItemField(0), c->GetItemField(1)};
    c->GetRecordValuesByFields(0, two, v);
    ASSERT_TRUE(v.IsArray());
    EXPECT_EQ(VarArrayHighBound(v, 1), 1);
    c->GetRecordValuesByFields(0, {c->GetItemField(1)}, v);
    EXPECT_EQ(v.AsInteger(), 1);
}

TEST(Controller, SetRecordCountRecordsTheChange)
{
    auto c = NameAge({{"a", 1}, {"b", 2}});
    c->Log.clear();
    c->SetRecordCount(2);
    EXPECT_TRUE(c->Log.empty());
    c->SetRecordCount(-5);
    EXPECT_EQ(c->GetRecordCount(), 0);
    ASSERT_FALSE(c->Log.empty());
    EXPECT_EQ(c->Log[0], "data:3,-1,-1");
}

TEST(Notification, ValuesInOneLockGiveOneDataChange)
{
    auto c = NameAge({{"a", 1}, {"b", 2}});
    std::vector<std::pair<int, int>> recordChanges;
    c->OnRecordChanged = [&](TcxCustomDataController*, int r, int i) { recordChanges.push_back({r, i}); };
    struct Case {
        std::vector<std::pair<int, int>> writes;   // (record, item)
        std::string info;
        size_t recordEvents;
    } cases[] = {
        {{{1, 0}, {1, 0}}, "data:0,0,1", 1},
        {{{1, 0}, {1, 1}}, "data:1,-1,1", 1},
        {{{0, 0}, {1, 0}}, "data:4,0,1", 0},
    };
    for (const auto& k : cases) {
        c->Log.clear();
        recordChanges.clear();
        c->BeginUpdate();
        for (auto [r, i] : k.writes) c->SetValue(r, i, i == 0 ? V("x") : V(9));
        EXPECT_TRUE(c->Log.empty());
        c->EndUpdate();
        ASSERT_FALSE(c->Log.empty());
        EXPECT_EQ(c->Log[0], k.info);
        EXPECT_EQ(std::count_if(c->Log.begin(), c->Log.end(), [](auto& s) { return s.rfind("data", 0) == 0; }), 1);
        EXPECT_EQ(recordChanges.size(), k.recordEvents);
    }
}

TEST(Notification, FocusNotificationsComeInOrder)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}, {"f", 6}});
    c->ChangeFocusedRowIndex(2);
    c->Log.clear();
    c->ChangeFocusedRowIndex(5);
    ASSERT_GE(c->Log.size(), 2u);
    EXPECT_EQ(c->Log[0], "row:2->5");
    EXPECT_EQ(c->Log[1], "record:2->5");
    // With multi-selection, a search hit moves the focus and then the selection.
    c->SetMultiSelect(true);
    c->Log.clear();
    c->Search()->Locate(0, "b");
    ASSERT_GE(c->Log.size(), 3u);
    EXPECT_EQ(c->Log[0], "row:5->1");
    EXPECT_EQ(c->Log[1], "record:5->1");
    EXPECT_EQ(std::find(c->Log.begin(), c->Log.end(), "search") - c->Log.begin() > 1, true);
    EXPECT_NE(std::find(c->Log.begin(), c->Log.end(), "selection:1;"), c->Log.end());
}

TEST(Notification, PreviousFocusIsTheOneBeforeTheFirstMoveOfAnUpdate)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}});
    c->ChangeFocusedRowIndex(0);
    c->Log.clear();
    c->BeginUpdate();
    c->ChangeFocusedRowIndex(1);
    c->ChangeFocusedRowIndex(2);
    c->EndUpdate();
    ASSERT_FALSE(c->Log.empty());
    EXPECT_EQ(c->Log[0], "row:0->2");
}

TEST(Notification, SelectionInfosListChangedRowsOnlyForSingleSelections)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}});
    c->SetMultiSelect(true);
    c->ChangeRowSelection(3, true);
    c->Log.clear();
    c->ChangeRowSelection(3, false);
    c->ChangeRowSelection(4, true);
    EXPECT_EQ(c->Log.back(), "selection:4;");
    c->Log.clear();
    c->ChangeRowSelection(1, true);
    EXPECT_EQ(c->Log.back(), "selection:");
}

TEST(Notification, DataAndLayoutTogetherGiveOnlyData)
{
    auto c = NameAge({{"a", 1}});
    c->Log.clear();
    c->BeginUpdate();
    c->Change(dcfLayout);
    c->SetValue(0, 0, V("b"));
    c->EndUpdate();
    EXPECT_EQ(std::count(c->Log.begin(), c->Log.end(), "layout"), 0);
    EXPECT_EQ(c->Log[0], "data:0,0,0");
}

TEST(Notification, ListenersAreRemovedByTheirOwnObject)
{
    auto c = NameAge({{"a", 1}});
    TObject a, b;
    int calledA = 0, calledB = 0;
    // Both objects register "the same method": only the object tells them apart.
    c->AddDataChangedListener(&a, [&](TObject*) { ++calledA; });
    c->AddDataChangedListener(&b, [&](TObject*) { ++calledB; });
    c->RemoveDataChangedListener(&b);
    c->SetValue(0, 1, V(3));
    EXPECT_EQ(calledA, 1);
    EXPECT_EQ(calledB, 0);
}

TEST(Notification, SortingChangedIsNotReentered)
{
    auto c = NameAge({{"b", 1}, {"a", 2}});
    int calls = 0;
    c->OnSortingChanged = [&](TObject*) {
        ++calls;
        c->ChangeSorting(1, soDescending);
    };
    c->ChangeSorting(0, soAscending);
    EXPECT_EQ(calls, 1);
}

TEST(Sorting, EqualKeysKeepRecordOrderAndDescendingNegatesOnlyTheKey)
{
    auto c = NameAge({{"b", 1}, {"a", 2}, {"b", 3}, {"a", 4}, {"c", 5}});
    c->ChangeSorting(0, soAscending);
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{1, 3, 0, 2, 4}));
    c->ChangeSorting(0, soDescending);
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{4, 0, 2, 1, 3}));
    EXPECT_EQ(c->GetItemSortOrder(0), soDescending);
    c->ClearSorting(false);
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Sorting, FastAndComparisonPathsAgree)
{
    // The same data sorted with and without an OnCompare handler (which forces
    // the record comparison) must give identical orders.
    std::vector<std::pair<std::string, int>> rows;
    for (int i = 0; i < 300; ++i) rows.push_back({std::string(1, char('a' + (i * 7) % 5)) + (i % 3 ? "张" : "李"), (i * 37) % 11});
    auto fast = NameAge(rows);
    auto slow = NameAge(rows);
    slow->OnCompare = [&](TcxCustomDataController* dc, int a, int b, int item, const Variant& v1, const Variant& v2,
                          int& result) { result = cxVariants::VarCompare(v1, v2); };
    for (auto* c : {fast.get(), slow.get()}) {
        c->SetValue(7, 1, Null());
        c->SetValue(8, 0, Null());
        c->ChangeSorting(1, soDescending);
        c->ChangeSorting(0, soAscending);
    }
    EXPECT_EQ(fast->RowRecords(), slow->RowRecords());
}

TEST(Sorting, OneNumericKeyOfEveryKindAgreesWithTheRecordComparison)
{
    // Null cells, repeated keys and negative values, in both directions:
    // the order of the record comparison.
    struct Case {
        const char* Name;
        TcxValueTypeClass Type;
        Variant (*Make)(int i);
    };
    const Case cases[] = {
        {"Smallint", TcxSmallintValueType::Class(), [](int i) { return V(int16_t((i * 37) % 11 - 5) * 3000); }},
        {"Integer", TcxIntegerValueType::Class(), [](int i) { return V((i * 37) % 11 == 3 ? INT32_MIN : (i * 37) % 11 - 5); }},
        {"Word", TcxWordValueType::Class(), [](int i) { return V((i * 37) % 11 * 6000); }},
        {"Boolean", TcxBooleanValueType::Class(), [](int i) { return V(i % 3 == 0); }},
        {"LargeInt", TcxLargeIntValueType::Class(), [](int i) { return Variant::FromInt64(int64_t((i * 37) % 11 - 5) << 40); }},
        {"Float", TcxFloatValueType::Class(), [](int i) { return V(i % 13 == 0 ? -0.0 : ((i * 37) % 11 - 5) / 4.0); }},
        {"DateTime", TcxDateTimeValueType::Class(), [](int i) { return Variant::FromDate(40000 + (i * 37) % 11 - 0.5); }},
        {"Currency", TcxCurrencyValueType::Class(), [](int i) { return V(Currency::FromDouble((i * 37) % 11 - 5.5)); }},
    };
    for (const Case& k : cases) {
        for (TcxDataSortOrder order : {soAscending, soDescending}) {
            SCOPED_TRACE(std::string(k.Name) + (order == soAscending ? " ascending" : " descending"));
            std::vector<int> orders[2];
            for (int slow = 0; slow < 2; ++slow) {
                auto c = MakeController();
                c->AddColumn("K", k.Type);
                if (slow)
                    c->OnCompare = [](TcxCustomDataController*, int, int, int, const Variant& v1, const Variant& v2,
                                      int& result) { result = cxVariants::VarCompare(v1, v2); };
                c->BeginUpdate();
                for (int i = 0; i < 300; ++i) c->SetValue(c->AppendRecord(), 0, i % 7 == 2 ? Null() : k.Make(i));
                c->EndUpdate();
                c->ChangeSorting(0, order);
                orders[slow] = c->RowRecords();
            }
            EXPECT_EQ(orders[0], orders[1]);
        }
    }
}

TEST(Sorting, CaseInsensitiveEqualityFallsBackToRecordOrder)
{
    auto c = NameAge({{"b", 1}, {"ABC", 2}, {"abc", 3}, {"a", 4}});
    c->SetOptions(TcxDataControllerOptions{dcoCaseInsensitive});
    c->ChangeSorting(0, soDescending);
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(Sorting, UnorderableValuesDoNotBreakTheSort)
{
    auto c = MakeController();
    c->AddColumn("V", TcxVariantValueType::Class());
    std::vector<std::vector<Variant>> rows;
    for (int i = 0; i < 200; ++i) rows.push_back({i % 3 == 0 ? V("text") : V(i)});
    c->AddRows(rows);
    EXPECT_NO_THROW(c->ChangeSorting(0, soAscending));
    std::vector<int> r = c->RowRecords();
    std::sort(r.begin(), r.end());
    for (int i = 0; i < 200; ++i) EXPECT_EQ(r[size_t(i)], i);
}

TEST(Sorting, FocusFollowsItsRecord)
{
    auto c = NameAge({{"c", 1}, {"a", 2}, {"b", 3}});
    c->ChangeFocusedRowIndex(0);   // record 0, "c"
    c->ChangeSorting(0, soAscending);
    EXPECT_EQ(c->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(c->GetFocusedRowIndex(), 2);
}

TEST(Grouping, OneLevel)
{
    auto c = NameAge({{"B", 0}, {"A", 1}, {"B", 2}, {"A", 3}});
    c->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:A", "g0:B"}));
    c->Groups()->ChangeExpanding(0, true, false);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:A", "r1", "r3", "g0:B"}));
    EXPECT_EQ(c->Groups()->GetChildCount(-1), 2);
    EXPECT_EQ(c->Groups()->GetChildRecordIndex(0, 1), 3);
}

TEST(Grouping, TwoLevels)
{
    auto c = MakeController();
    c->AddColumn("K1", TcxStringValueType::Class());
    c->AddColumn("K2", TcxIntegerValueType::Class());
    c->AddRows({{V("x"), V(1)}, {V("x"), V(1)}, {V("x"), V(2)}, {V("y"), V(1)}, {V("y"), V(2)}, {V("y"), V(2)}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->Groups()->ChangeGroupIndex(1, 1);
    TcxDataGroups* g = c->Info()->Groups();
    ASSERT_EQ(g->Count(), 6);
    std::vector<int> levels;
    for (int i = 0; i < 6; ++i) levels.push_back(g->Items(i).Level);
    EXPECT_EQ(levels, (std::vector<int>{0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(c->GetRowCount(), 2);
    c->Groups()->ChangeExpanding(0, true, false);
    c->Groups()->ChangeExpanding(1, true, false);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:x", "g1:1", "r0", "r1", "g1:2", "g0:y"}));
    EXPECT_EQ(g->Items(4).RowIndex, 5);
    EXPECT_EQ(g->Items(5).RowIndex, 5);
    // Collapsing x hides everything below it.
    c->Groups()->ChangeExpanding(0, false, false);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:x", "g0:y"}));
}

TEST(Grouping, RowOfARecordInACollapsedGroup)
{
    auto c = NameAge({{"B", 0}, {"A", 1}});
    c->Groups()->ChangeGroupIndex(0, 0);
    EXPECT_EQ(c->GetRowIndexByRecordIndex(0, false), -1);
    EXPECT_EQ(c->GetRowIndexByRecordIndex(0, true), 2);
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:A", "g0:B", "r0"}));
}

TEST(Grouping, CollapsingMovesTheFocusToTheGroupRow)
{
    auto c = NameAge({{"B", 0}, {"A", 1}, {"A", 2}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->Groups()->FullExpand();
    c->ChangeFocusedRowIndex(2);   // record 2 in group A
    EXPECT_EQ(c->GetFocusedRecordIndex(), 2);
    c->Groups()->ChangeExpanding(0, false, false);
    EXPECT_EQ(c->GetFocusedRowIndex(), 0);
}

TEST(Grouping, ExpansionSurvivesARegroup)
{
    auto c = NameAge({{"B", 0}, {"A", 1}, {"C", 2}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->Groups()->ChangeExpanding(1, true, false);   // B
    c->SetValue(1, 0, V("D"));                          // a refilter and regroup
    EXPECT_EQ(c->Rows(), (std::vector<std::string>{"g0:B", "r0", "g0:C", "g0:D"}));
}

TEST(Grouping, DeletingAGroupRowDeletesExactlyItsRecords)
{
    // Records of group "x" are 4, 2, 0 in display order (sorted by Age
    // descending within the group): not ascending record indexes.
    auto c = NameAge({{"x", 1}, {"y", 9}, {"x", 2}, {"y", 8}, {"x", 3}, {"z", 7}});
    c->ChangeSorting(1, soDescending);
    c->Groups()->ChangeGroupIndex(0, 0);
    c->ChangeFocusedRowIndex(0);
    std::vector<int> deleted;
    c->OnBeforeDelete = [&](TcxCustomDataController*, int r) { deleted.push_back(r); };
    c->DeleteFocused();
    EXPECT_EQ(deleted, (std::vector<int>{4, 2, 0}));
    ASSERT_EQ(c->GetRecordCount(), 3);
    for (int r = 0; r < 3; ++r) EXPECT_NE(c->GetValue(r, 0).AsString(), "x");
}

TEST(Selection, SelectionAcrossGroupsDeletesEachRecordOnce)
{
    auto c = NameAge({{"x", 1}, {"y", 2}, {"x", 3}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->Groups()->FullExpand();
    c->SetMultiSelect(true);
    c->ChangeRowSelection(0, true);   // group x
    c->ChangeRowSelection(1, true);   // record 0 in x
    c->DeleteSelection();
    EXPECT_EQ(c->GetRecordCount(), 1);
    EXPECT_EQ(c->GetValue(0, 0).AsString(), "y");
}

TEST(Selection, RulesWithAndWithoutMultiSelect)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}, {"f", 6}});
    c->ChangeFocusedRowIndex(3);
    EXPECT_EQ(c->GetSelectedCount(), 1);
    EXPECT_EQ(c->GetSelectedRowIndex(0), 3);
    EXPECT_EQ(c->GetSelectedRowIndex(1), -1);
    c->SetMultiSelect(true);
    c->SelectRows(5, 2);
    EXPECT_EQ(c->GetSelectedCount(), 4);
    EXPECT_EQ(c->GetSelectedRowIndex(0), 2);
    EXPECT_THROW(c->ChangeRowSelection(10, true), EcxInvalidDataControllerOperation);
    c->SetSelectionAnchor(2);
    c->ChangeRowSelection(2, false);
    EXPECT_FALSE(c->IsSelectionAnchorExist());
    c->SetMultiSelect(false);
    c->SetMultiSelect(true);
    EXPECT_EQ(c->GetSelectedCount(), 0);
}

TEST(Selection, GroupRowEntryFollowsItsGroup)
{
    auto c = NameAge({{"B", 0}, {"A", 1}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->SetMultiSelect(true);
    c->ChangeRowSelection(1, true);   // group B
    EXPECT_EQ(c->Info()->Selection()->Items(0).Level, -1);
    c->Groups()->ChangeExpanding(0, true, false);   // A opens above it
    EXPECT_TRUE(c->IsRowSelected(2));
}

TEST(Selection, StaleEntriesAreDroppedOnResync)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}});
    c->SetMultiSelect(true);
    c->ChangeRowSelection(2, true);
    c->Info()->Selection()->Items(0).Index = 99;   // a record that no longer exists
    c->Groups()->ChangeGroupIndex(0, 0);
    for (int i = 0; i < c->Info()->Selection()->Count(); ++i) {
        const auto& e = c->Info()->Selection()->Items(i);
        if (e.Level == -1) EXPECT_LT(e.Index, c->Info()->Groups()->Count());
        else EXPECT_LT(e.Index, c->GetRecordCount());
    }
}

TEST(Navigation, GotoAndMoveBy)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}});
    auto e = MakeController();
    EXPECT_TRUE(e->IsBOF());
    EXPECT_TRUE(e->IsEOF());
    c->GotoFirst();
    c->GotoPrev();
    EXPECT_EQ(c->GetFocusedRowIndex(), 0);
    c->GotoLast();
    c->GotoNext();
    EXPECT_EQ(c->GetFocusedRowIndex(), 3);
    EXPECT_TRUE(c->IsEOF());
    c->MoveBy(-10);
    EXPECT_EQ(c->GetFocusedRowIndex(), 0);
    c->ChangeFocusedRowIndex(1000);
    EXPECT_EQ(c->GetFocusedRowIndex(), 3);
    c->ChangeFocusedRowIndex(-5);
    EXPECT_EQ(c->GetFocusedRowIndex(), -1);
}

TEST(Bookmark, ClearedWhenItsRecordIsFilteredOut)
{
    auto c = NameAge({{"a", 1}, {"b", 2}});
    c->ChangeFocusedRowIndex(1);
    c->SaveBookmark();
    EXPECT_TRUE(c->IsBookmarkAvailable());
    c->Filter()->AddItem(nullptr, c->GetItem(0), foEqual, V("a"), "a");
    c->Filter()->SetActive(true);
    EXPECT_FALSE(c->IsBookmarkAvailable());
}

TEST(Editing, InsertPostAndCancel)
{
    auto c = NameAge({{"a", 1}, {"b", 2}});
    c->ChangeFocusedRowIndex(1);
    int afterPost = 0;
    c->OnAfterPost = [&](TObject*) { ++afterPost; };
    c->Insert();
    EXPECT_EQ(c->Provider()->EditNeighbourAfter, 2);
    EXPECT_EQ(c->GetRecordCount(), 3);
    c->Post();   // untouched: dropped again
    EXPECT_EQ(c->GetRecordCount(), 2);
    EXPECT_EQ(afterPost, 0);
    c->Append();
    EXPECT_TRUE(c->SetEditValue(0, V("z"), 0));
    c->Post();
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(c->GetRecordCount(), 3);
    EXPECT_EQ(c->GetValue(2, 0).AsString(), "z");
    // Cancel of an edit restores the values from before.
    c->ChangeFocusedRecordIndex(0);
    c->Edit();
    c->SetEditValue(1, V(77), 0);
    c->Cancel();
    EXPECT_EQ(c->GetValue(0, 1).AsInteger(), 1);
    // An empty display text is stored as Null.
    c->Edit();
    c->SetEditValue(0, V(""), 1);
    c->Post();
    EXPECT_TRUE(c->GetValue(0, 0).IsNull());
}

TEST(Editing, InsertAssignsGroupingValues)
{
    auto c = NameAge({{"x", 1}, {"y", 2}});
    c->Groups()->ChangeGroupIndex(0, 0);
    c->Groups()->FullExpand();
    c->ChangeFocusedRecordIndex(1);
    c->Insert();
    int e = c->Provider()->EditRecordIndex;
    EXPECT_EQ(c->GetValue(e, 0).AsString(), "y");
    c->Cancel();
    EXPECT_EQ(c->GetRecordCount(), 2);
}

TEST(Search, IncrementalSearchWrapsOnceAndIgnoresCase)
{
    auto c = NameAge({{"Apple", 1}, {"apricot", 2}, {"Banana", 3}});
    c->ChangeFocusedRowIndex(2);
    EXPECT_FALSE(c->Search()->Locate(0, ""));
    EXPECT_TRUE(c->Search()->Locate(0, "ap"));
    EXPECT_EQ(c->GetFocusedRecordIndex(), 0);
    EXPECT_TRUE(c->Search()->Searching());
    EXPECT_TRUE(c->Search()->LocateNext(true));
    EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
    EXPECT_FALSE(c->Search()->LocateNext(true));
    c->ChangeFocusedRowIndex(2);   // a move from outside ends the search
    EXPECT_FALSE(c->Search()->Searching());
}

TEST(Search, FindRecordIndexByText)
{
    auto c = NameAge({{"ab", 0}, {"x", 1}, {"ab", 2}, {"x", 3}, {"ab", 4}, {"x", 5}});
    EXPECT_EQ(c->FindRecordIndexByText(3, 0, "ab", false, true, false), 2);
    EXPECT_EQ(c->FindRecordIndexByText(5, 0, "ab", false, false, true), -1);
    EXPECT_EQ(c->FindRecordIndexByText(5, 0, "ab", false, true, true), 0);
    EXPECT_EQ(c->FindRecordIndexByText(6, 0, "ab", false, true, true), -1);
}

TEST(Filtering, IncrementalFilter)
{
    auto c = NameAge({{"Apple", 1}, {"Banana", 2}, {"apricot", 3}});
    EXPECT_EQ(c->ChangeIncrementalFilterText(0, "AP"), 0);
    EXPECT_EQ(c->GetFilteredRecordCount(), 2);
    EXPECT_EQ(c->ChangeIncrementalFilterText(0, "zz"), -1);
    EXPECT_EQ(c->GetFilteredRecordCount(), 0);
    c->ResetIncrementalFilter();
    EXPECT_EQ(c->GetFilteredRecordCount(), 3);
}

TEST(Filtering, FilterCriteriaOnTheController)
{
    auto c = NameAge({{"Wang", 30}, {"Li", 17}, {"O'Brien", 40}});
    c->Filter()->BeginUpdate();
    c->Filter()->Root()->SetBoolOperatorKind(fboOr);
    c->Filter()->AddItem(nullptr, c->GetItem(0), foEqual, V("O'Brien"), "O'Brien");
    c->Filter()->AddItem(nullptr, c->GetItem(1), foLess, V(18), "18");
    c->Filter()->SetActive(true);
    c->Filter()->EndUpdate();
    EXPECT_EQ(c->RowRecords(), (std::vector<int>{1, 2}));
    EXPECT_EQ(c->Filter()->GetFilterText(), "(Name = 'O''Brien') OR (Age < 18)");
    // The stream carries the items' IDs and finds them again in another controller.
    auto other = NameAge({{"Li", 1}});
    other->Filter()->Assign(c->Filter());
    EXPECT_EQ(other->Filter()->GetFilterText(), c->Filter()->GetFilterText());
    EXPECT_EQ(other->GetFilteredRecordCount(), 1);
    // Removing a column removes its conditions.
    c->RemoveItem(c->GetItem(1));
    EXPECT_EQ(c->Filter()->GetFilterText(), "(Name = 'O''Brien')");
}

TEST(Filtering, ValueListOfAColumn)
{
    auto c = MakeController();
    c->AddColumn("N", TcxIntegerValueType::Class());
    c->AddRows({{V(3)}, {V(1)}, {V(3)}, {Null()}});
    std::unique_ptr<TcxFilterValueList> list(c->Filter()->CreateValueList());
    static_cast<TcxDataFilterValueList*>(list.get())->Load(0);
    std::vector<std::string> texts;
    for (int i = 0; i < list->Count(); ++i) texts.push_back(list->Items(i)->DisplayText);
    EXPECT_EQ(texts, (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "3"}));
    c->Filter()->SetMaxValueListCount(3);
    static_cast<TcxDataFilterValueList*>(list.get())->Load(0);
    EXPECT_EQ(list->Count(), 5);
    auto* cond = c->Filter()->AddItem(nullptr, c->GetItem(0), foEqual, V(7), "7");
    EXPECT_EQ(list->GetItemIndexByCriteriaItem(cond), list->IndexOfKind(fviAll));
    auto* blank = c->Filter()->AddItem(nullptr, c->GetItem(0), foNotEqual, Null(), "");
    EXPECT_EQ(list->GetItemIndexByCriteriaItem(blank), list->IndexOfKind(fviNonBlanks));
}

TEST(Locate, GroupAndKeyLocate)
{
    auto c = NameAge({{"a", 1}, {"b", 2}, {"c", 3}});
    TcxDataControllerKeyLocateObject locate(c.get());
    EXPECT_EQ(locate.FindRecordIndex(), -1);
    locate.KeyFields = {c->GetItemField(1)};
    TcxValueDefUnboundReader reader;
    reader.StoreValue(c->GetItemField(1)->ValueDef(), V(3));
    locate.ReadKeyValues(&reader);
    EXPECT_EQ(locate.FindRecordIndex(), 2);
    EXPECT_EQ(c->FindRecordByFields(locate.KeyRecord(), {}), -1);
}

TEST(ChangeInfos, SelectionInfoConstructors)
{
    TcxSelectionChangedInfo a(3, 3), b(-1, 5);
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(b.GetCount(), 1);
    EXPECT_EQ(b.GetRowIndex(0), 5);
}
